// An item that edits a part of itself in a nested editor (a table edits a cell in an
// editor laid over it). While such an item is the chosen item of an editable document,
// the editor around it reaches the nested editor through it.
#pragma once

class TCustomRichDocEdit;

class TRDInplaceEditorHost {
 public:
  virtual ~TRDInplaceEditorHost() = default;
  // The nested editor, nullptr when none is open.
  virtual TCustomRichDocEdit* GetInplaceEditor() const = 0;
  // Closes the nested editor; what it holds goes back into the item.
  virtual void CloseInplaceEditor() = 0;
};

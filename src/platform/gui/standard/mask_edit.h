// The edit with a fixed mask: literals stand where the mask puts them and cannot be
// typed over or deleted, typing overwrites the place under the caret and the caret
// steps over the literals.
//
// The mask is written with '0' for a digit place, 'L' for a letter place (shown in
// upper case) and any other character as a literal. An empty place shows as a blank,
// and Text keeps it there, so every character keeps its position: "52\xB03 .00 N".
#pragma once

#include "platform/gui/standard/edit.h"

class TMaskEdit : public TCustomEdit {
 public:
  explicit TMaskEdit(TComponent* AOwner);

  const std::string& EditMask() const { return edit_mask_; }
  void SetEditMask(const std::string& Value);

  std::string ClassName() const override { return "TMaskEdit"; }

 protected:
  // Ctrl+A, Ctrl+Z and the clipboard keys are the edit's own commands, not typed
  // characters: they do not reach OnKeyPress, whose filter would drop them.
  void KeyPress(char& Key) override;

 private:
  std::string edit_mask_;
};

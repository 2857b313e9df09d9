// The undo records of the editable document: one class per kind of elementary change.
// Each record holds what its undo needs and undoes by calling the recording operation
// of the editable data that makes the change back, so that the inverse record lands in
// the opposite list. Records that hold items, checkpoints or string tags own them.
//
// Width rule: a record that may change how wide a line must be stores the minimal width
// of its item's line before it is undone; afterwards the document is laid out as a
// whole only when that width may have set, or now sets, the document's minimal width.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "richtext/model/item_info.h"
#include "richtext_edit/edit/undo_list.h"

class TRDNamedProperties;

class TRDUndoItemNoInfo : public TRDUndoInfo {
 public:
  int ItemNo = -1;
  int LastAffectedItemNo = -1;  // -1: the item alone
  void GetAffectedItems(int& startItemNo, int& endItemNo, TRDEditRDData&) const override;
};

// Holds the width test of the records that change one item's line.
class TRDUndoWidthInfo : public TRDUndoItemNoInfo {
 public:
  int SavedMinWidth = 0;
  bool NeedsFullFormatBeforeUndo(TRDEditRDData& data) override;
  bool NeedsFullFormatAfterUndo(TRDEditRDData& data) override;
};

// Marks paragraphs to lay out again (the whole root with FullRoot); changes nothing.
class TRDUndoReformateRange : public TRDUndoItemNoInfo {
 public:
  bool FullRoot = false;
  bool NeedsRootFormat() const override { return FullRoot; }
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoResizeInfo : public TRDUndoWidthInfo {
 public:
  int Width = 0;
  int Height = 0;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoStringInfo : public TRDUndoWidthInfo {
 public:
  std::string Text;
};

class TRDUndoChangeTextInfo : public TRDUndoStringInfo {
 public:
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoSubStringInfo : public TRDUndoStringInfo {
 public:
  int Pos = 0;
};

class TRDUndoDeleteSubstringInfo : public TRDUndoSubStringInfo {
 public:
  void Undo(TRDEditRDData& data) override;
};

// A deleted item and its text, owned until undo puts them back.
class TRDUndoDeleteItemInfo : public TRDUndoStringInfo {
 public:
  ~TRDUndoDeleteItemInfo() override;
  std::unique_ptr<TCustomRDItemInfo> Item;
  bool FullReformat = false;
  void Undo(TRDEditRDData& data) override;
  bool NeedsFullFormatBeforeUndo(TRDEditRDData&) override { return false; }
  bool NeedsFullFormatAfterUndo(TRDEditRDData& data) override;
  int ItemsAdded() const override { return 1; }
};

// Items with their texts, owned until undo puts them back.
class TRDUndoStringItemListInfo : public TRDUndoInfo {
 public:
  ~TRDUndoStringItemListInfo() override;
  std::vector<std::pair<std::string, std::unique_ptr<TCustomRDItemInfo>>> List;
};

class TRDUndoItemRangeInfo : public TRDUndoStringItemListInfo {
 public:
  int StartItemNo = -1;
  int LastAffectedItemNo = -1;
  void GetAffectedItems(int& startItemNo, int& endItemNo, TRDEditRDData&) const override;
};

// Deleted items, held from the last to the first.
class TRDUndoDeleteItemsInfo : public TRDUndoItemRangeInfo {
 public:
  int EndItemNo = -1;
  bool FullReformat = false;
  void Undo(TRDEditRDData& data) override;
  bool NeedsFullFormatAfterUndo(TRDEditRDData& data) override;
  int ItemsAdded() const override { return int(List.size()); }
};

// Neighbouring text items joined, or parted again, in one pass. It touches items
// FirstItemNo..LastItemNo in the numbering it is undone in; the width test runs over
// their lines.
class TRDUndoJoinRangeInfo : public TRDUndoInfo {
 public:
  int FirstItemNo = -1;
  int LastItemNo = -1;
  int Added = 0;  // items the undo adds
  int SavedMinWidth = 0;
  bool NeedsFullFormatBeforeUndo(TRDEditRDData& data) override;
  bool NeedsFullFormatAfterUndo(TRDEditRDData& data) override;
  void GetAffectedItems(int& startItemNo, int& endItemNo, TRDEditRDData&) const override;
  int ItemsAdded() const override { return Added; }
};

// Items joined into the item before them, in the order joined (falling item numbers,
// each the number the item had before any of them went), each with its own text and the
// length its host had before it came.
class TRDUndoJoinItemsInfo : public TRDUndoJoinRangeInfo {
 public:
  struct TJoined {
    int ItemNo = -1;
    int HostLength = 0;  // bytes of the host's text before the join
    std::string Text;
    std::unique_ptr<TCustomRDItemInfo> Item;
  };
  ~TRDUndoJoinItemsInfo() override;
  std::vector<TJoined> Joined;
  void Undo(TRDEditRDData& data) override;
};

// Items parted from the item before them: undoing joins them again. The numbers are the
// parted items', falling.
class TRDUndoPartItemsInfo : public TRDUndoJoinRangeInfo {
 public:
  std::vector<int> ItemNos;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoInsertSubstringInfo : public TRDUndoWidthInfo {
 public:
  int Pos = 0;
  int Length = 0;
  void Undo(TRDEditRDData& data) override;
};

// A run of characters typed one after another; undo takes back the last of them.
class TRDUndoTypingInfo : public TRDUndoInsertSubstringInfo {
 public:
  bool Unicode = false;
  void Undo(TRDEditRDData& data) override;
  bool UndoesInParts() const override { return true; }
};

// Characters taken back from typing, the last one taken first in line for redo.
class TRDRedoTypingInfo : public TRDUndoSubStringInfo {
 public:
  bool Unicode = false;
  void Undo(TRDEditRDData& data) override;
  bool UndoesInParts() const override { return true; }
};

class TRDUndoInsertItemsInfo : public TRDUndoItemNoInfo {
 public:
  bool FullReformat = false;
  int Count = 0;
  void Undo(TRDEditRDData& data) override;
  bool NeedsFullFormatBeforeUndo(TRDEditRDData& data) override;
  bool NeedsFullFormatAfterUndo(TRDEditRDData&) override { return FullReformat; }
  int ItemsAdded() const override { return -Count; }

 private:
  // The removed items' least width, as measured just before the undo (-1: not measured).
  int range_min_width_ = -1;
};

class TRDUndoInsertItemInfo : public TRDUndoItemNoInfo {
 public:
  bool FullReformat = false;
  void Undo(TRDEditRDData& data) override;
  bool NeedsFullFormatBeforeUndo(TRDEditRDData& data) override;
  bool NeedsFullFormatAfterUndo(TRDEditRDData&) override { return FullReformat; }
  int ItemsAdded() const override { return -1; }
};

class TRDUndoListInfo : public TRDUndoInfo {
 public:
  std::vector<int> List;
};

// The paragraph styles of items StartItemNo .. StartItemNo + List.size() - 1.
class TRDUndoParaListInfo : public TRDUndoListInfo {
 public:
  bool FullReformat = false;
  int StartItemNo = -1;
  void Undo(TRDEditRDData& data) override;
  void GetAffectedItems(int& startItemNo, int& endItemNo, TRDEditRDData&) const override;
  bool NeedsFullFormatAfterUndo(TRDEditRDData&) override { return FullReformat; }
};

class TRDUndoStyleNoInfo : public TRDUndoWidthInfo {
 public:
  int StyleNo = 0;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoAssociatedTextStyleNoInfo : public TRDUndoStyleNoInfo {
 public:
  void Undo(TRDEditRDData& data) override;
};

// Whether the item continued its paragraph, and the paragraph style it had.
class TRDUndoNewLineInfo : public TRDUndoItemNoInfo {
 public:
  bool FullReformat = false;
  bool SameAsPrev = false;
  int ParaNo = 0;
  void Undo(TRDEditRDData& data) override;
  bool NeedsFullFormatAfterUndo(TRDEditRDData&) override { return FullReformat; }
};

class TRDUndoBRInfo : public TRDUndoItemNoInfo {
 public:
  bool LineBreak = false;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoPageBreakInfo : public TRDUndoItemNoInfo {
 public:
  bool PageBreak = false;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoExtraIntProperty : public TRDUndoWidthInfo {
 public:
  int Value = 0;
  TRDExtraItemProperty Prop = rdepUnknown;
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoTagInfo : public TRDUndoItemNoInfo {
 public:
  TRDTag Tag;
  bool TagsArePChars = false;
  bool NeedsFormat() const override { return false; }
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoAddCPInfo : public TRDUndoItemNoInfo {
 public:
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoDeleteCPInfo : public TRDUndoItemNoInfo {
 public:
  std::unique_ptr<TRDCPInfo> Checkpoint;
  bool TagsArePChars = false;
  void Undo(TRDEditRDData& data) override;
};

// Changes of an item's (or of one of its parts') properties. The class of the record
// that the inverse change makes is the record's own unless a descendant says otherwise.
class TRDUndoModifyItemProps : public TRDUndoItemNoInfo {
 public:
  using TRecordClass = std::unique_ptr<TRDUndoModifyItemProps> (*)();
  int SavedMinWidth = 0;
  bool AffectsSize = false;
  bool AffectsWidth = false;
  TRDNamedProperties* SubObject = nullptr;  // nullptr: the item itself

  virtual TRecordClass GetOppositeClass() const = 0;
  // Copies into the inverse record what only this class knows.
  virtual void CompleteOpposite(TRDUndoModifyItemProps& /*newRecord*/) const {}
  bool NeedsFullFormatBeforeUndo(TRDEditRDData& data) override;
  bool NeedsFullFormatAfterUndo(TRDEditRDData& data) override;
  // A change of the item's size lays it out again, whether or not its width changed.
  bool NeedsFormat() const override { return AffectsSize; }
};

// Brackets a run of item property records, which a step then judges as one change.
class TRDUndoModifyItemTerminator : public TRDUndoModifyItemProps {
 public:
  TRDUndoModifyItemTerminator();
  static std::unique_ptr<TRDUndoModifyItemProps> Create();
  bool Opening = false;
  TRecordClass GetOppositeClass() const override { return &Create; }
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoModifyItemIntProperty : public TRDUndoModifyItemProps {
 public:
  static std::unique_ptr<TRDUndoModifyItemProps> Create();
  std::string PropertyName;
  int Value = 0;
  TRecordClass GetOppositeClass() const override { return &Create; }
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoModifyItemStrProperty : public TRDUndoModifyItemProps {
 public:
  static std::unique_ptr<TRDUndoModifyItemProps> Create();
  std::string PropertyName;
  std::string Value;
  TRecordClass GetOppositeClass() const override { return &Create; }
  void Undo(TRDEditRDData& data) override;
};

class TRDUndoModifyItemIntProperties : public TRDUndoModifyItemProps {
 public:
  static std::unique_ptr<TRDUndoModifyItemProps> Create();
  std::vector<std::pair<std::string, int>> Properties;
  TRecordClass GetOppositeClass() const override { return &Create; }
  void Undo(TRDEditRDData& data) override;
};

// The whole undo list of an item's inner document (a table cell's edits): undoing it
// undoes the last step of that list in the inner editable document.
class TRDCompositeUndo : public TRDUndoInfo {
 public:
  int ItemNo = -1;
  bool Flag = false;
  std::unique_ptr<TRDUndoList> UndoList;
  bool NeedsFormat() const override { return false; }
  void GetAffectedItems(int& startItemNo, int& endItemNo, TRDEditRDData&) const override;
  void Undo(TRDEditRDData& data) override;
  bool UndoesInParts() const override { return true; }
};

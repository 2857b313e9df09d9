// The editor of one table cell: a borderless editor laid exactly over the cell, holding
// the cell's items while it lives (the table moves them in when it opens the editor and
// back when it closes it). It asks the editor around the table for permission and for
// its read-only state, passes undo and redo on to it when it has nothing of its own, and
// asks the table to move on when Tab is pressed or the caret would leave the cell.
//
// Its document data answers for the cell: its absolute parent and root are those of the
// cell, so that the root editor's events and undo lists see the edit.
#pragma once

#include "richtext_edit/edit/rich_doc_edit.h"

class TRDTableCellData;
class TRDTableItemInfo;

class TRDTableInplaceRDData : public TRDEditRDData {
 public:
  using TRDEditRDData::TRDEditRDData;
  // The cell whose content the editor holds.
  TRDTableCellData* Cell = nullptr;
  TCustomRDData* GetAbsoluteParentData() override;
  TCustomRDData* GetAbsoluteRootData() override;
};

// Where the table moves the caret on from a cell (TRDGetOutDirection, then the reading
// order).
constexpr int kCellNext = 6;
constexpr int kCellPrevious = 7;

class TRDTableInplaceEdit : public TCustomRichDocEdit {
 public:
  // A hidden editor over the cell at (row, col) inside outer, the editor whose document
  // holds the table; the table shows it once its content is in.
  TRDTableInplaceEdit(TCustomRichDocEdit& outer, TRDTableItemInfo& table, int row, int col);
  ~TRDTableInplaceEdit() override;

  TRDTableInplaceRDData& InplaceData() { return static_cast<TRDTableInplaceRDData&>(RDData()); }
  TCustomRichDocEdit& Outer() const { return outer_; }
  TRDTableItemInfo& Table() const { return table_; }
  int Row() const { return row_; }
  int Col() const { return col_; }

  bool BeforeChange(bool FromOutside) override;
  void Change(bool ClearRedo) override;
  bool GetReadOnly() const override;
  void SetReadOnly(bool Value) override;
  // Its own step when it has one, else the outer editor's.
  void Undo() override;
  void Redo() override;
  // A press that the table hands on from the document around it, at the editor's
  // client point.
  void PressAt(TMouseButton Button, TShiftState Shift, int X, int Y);

  std::string ClassName() const override { return "TRDTableInplaceEdit"; }

 protected:
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  // Asks the table, once the key has been handled, to move on from this cell.
  void PostNavigation(int code);
  // The outer document's client point of one of the editor's.
  TPoint ToOuter(int X, int Y) const;
  TCustomRichDocEdit& outer_;
  TRDTableItemInfo& table_;
  int row_;
  int col_;
  bool pressed_ = false;
  bool ctrl_tab_ = false;
};

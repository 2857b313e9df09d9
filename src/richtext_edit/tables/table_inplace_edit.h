// The editor of one table cell: a borderless editor laid exactly over the cell, holding
// the cell's items while it lives (the table moves them in when it opens the editor and
// back when it closes it). It asks the editor around the table for permission and for
// its read-only state, passes undo and redo on to it when it has nothing of its own, and
// asks the table to move on when Tab is pressed or the caret would leave the cell.
//
// Its document data answers for the cell: its absolute parent and root are those of the
// cell, so that the root editor's events and undo lists see the edit. What the user does
// with the mouse in the cell (a link followed, a double click, a click, a press and a
// release) reaches the root editor's events once the editor's own handling is over.
#pragma once

#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/edit/rich_doc_edit.h"

class TRDTableCellData;
class TRDTableInplaceEdit;
class TRDTableItemInfo;

// A cell editor could not be closed: it is in the middle of handling input.
class ERDTableInplaceError : public ERichDocError {
 public:
  using ERichDocError::ERichDocError;
};

class TRDTableInplaceRDData : public TRDEditRDData {
 public:
  using TRDEditRDData::TRDEditRDData;
  // The cell whose content the editor holds.
  TRDTableCellData* Cell = nullptr;
  TCustomRDData* GetAbsoluteParentData() override;
  TCustomRDData* GetAbsoluteRootData() override;
  TCustomRDData* GetInplaceSourceData() override;
  // The cell's content is written as the cell writes it (binary inside the table's
  // block), also while it is in the editor.
  TRDFOptions GetRDFOptions() const override;
  void DoJump(int jumpNo) override;
  void DoRDDblClick(const std::string& word, int styleNo) override;
  bool IsDblClickEventAssigned() const override;
  void DoRDMouseDown(TMouseButton button, TShiftState shift, int itemNo, int x, int y) override;
  void DoRDMouseUp(TMouseButton button, TShiftState shift, int itemNo, int x, int y) override;
  // The root editor's handlers hear of links under the mouse, right clicks, hints and
  // copies in the cell as of its own, at once.
  void DoJumpHover(int id) override;
  void DoRDRightClick(const std::string& word, int styleNo, int x, int y) override;
  std::string GetItemHint(int itemNo) override;
  bool IsCopyEventAssigned() const override;
  void DoCopy() override;
  // The cell's picture while the cell is not among selected cells, else the editor's own.
  TRDBackground* GetBackground() override;
  // The cell's colour as it is now (it may change while the cell is edited), the
  // selection colour among selected cells.
  TColor GetBackgroundColor() const override;
  void DrawBackground(TRDCanvas& canvas, const TRect& rect) override;
  // The one colour DrawBackground leaves everywhere (the cell's fill where neither the
  // cell nor the table has a colour or picture of its own), clNone where it leaves more.
  TColor PlainBackgroundColor() const;
  // Rectangles of this document (the caret) are shown by scrolling the document around
  // the table, unless the editor is closing.
  void ScrollToRect(int left, int top, int height, int width) override;

 protected:
  void ScrollToCaret() override;

 private:
  TRDTableInplaceEdit* CellEditor() const;
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
  // A press that the table hands on from the document around it, at a point of the
  // cell's box (the editor's document area, a bar on its left aside).
  void PressAt(TMouseButton Button, TShiftState Shift, int X, int Y);
  // The editor was opened by the press at this time (GetTickCount): the next press that
  // follows within the desktop's double-click time completes a double click, although
  // the window system saw its first half go to the document around the table.
  void SetOpeningClickTime(std::uint64_t Time) { click_time_ = Time; }

  // The look of a cell among selected cells: the document selected as a whole on the
  // selection colour, no caret.
  void SetSelectedLook(bool Value);
  bool SelectedLook() const { return selected_look_; }

  // An event for the root editor to fire once the current input has been handled; points
  // in it are the root editor's client points.
  void PostToRoot(std::unique_ptr<TRDMessageData> Data);
  TPoint ToRootClient(int X, int Y) const;
  // A press (release) of the editor's document at its document-area point, for the root
  // editor's OnRDMouseDown (OnRDMouseUp).
  void PostMouse(bool Up, TMouseButton Button, TShiftState Shift, int X, int Y);

  // Set while the editor handles a key, a character, a press or release, or its change:
  // closing it then would pull the editor away from under that handling.
  bool Busy() const { return busy_ > 0; }
  // Set while the table takes the editor's content back.
  bool Closing() const { return closing_; }
  void SetClosing() { closing_ = true; }
  // Whether the editor scrolls its document: only when it is cut short (its content
  // taller than the room it has), when it shows its scroll bar. Otherwise the mouse wheel
  // goes to the window around it.
  bool MayScroll() const { return VScrollVisible(); }
  void ScrollTo(int Y, bool Redraw) override;
  bool WheelNotches(int Notches) override;
  // The editor lies exactly over its cell: it never scrolls sideways.
  void HScrollTo(int) override {}
  // A point of the editor's document area as a point of the outer editor's document.
  TPoint ToOuterDocument(int X, int Y) const;
  // The background of the outer editor's document where the editor lies over it, on the
  // editor's canvas.
  void DrawOuterBackground(TRDCanvas& Canvas, const TRect& Rect);

  std::string ClassName() const override { return "TRDTableInplaceEdit"; }

 protected:
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The root editor clicks, not the cell.
  void Click() override;
  // Laid out at another width the content may need another height: the table is laid
  // out for it once the resize is over.
  void BoundsChanged(const TRect& OldBounds) override;
  bool PaintsWholeBackground() const override;

 private:
  // Marks the editor busy for the time of one handler.
  class TBusyScope {
   public:
    explicit TBusyScope(TRDTableInplaceEdit& editor) : editor_(editor) { ++editor_.busy_; }
    ~TBusyScope() { --editor_.busy_; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

   private:
    TRDTableInplaceEdit& editor_;
  };
  void Press(TMouseButton Button, TShiftState Shift, int X, int Y);
  // While a release of this editor is passed to the document around the table, the
  // root editor does not hear it again.
  void HoldRelease(bool Value);
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
  // The press the table handed on is already the root editor's: it is not posted again.
  bool handed_on_ = false;
  bool release_held_ = false;
  decltype(TCustomRichDoc::OnRDMouseUp) held_mouse_up_;
  std::uint64_t click_time_ = 0;
  bool selected_look_ = false;
  bool closing_ = false;
  int busy_ = 0;
  TColor normal_color_ = clNone;
};

#include "richtext_edit/tables/table_inplace_edit.h"

#include <utility>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/sys/date_time.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/item_resizer.h"
#include "richtext_edit/tables/table_item.h"

namespace {

// The table of the root document that holds table, through the cells of the tables
// around it.
const TRDTableItemInfo& OutermostTable(const TRDTableItemInfo& table) {
  const TRDTableItemInfo* current = &table;
  for (;;) {
    TCustomRDData* document = current->GetDocument();
    const TRDTableCellData* cell = dynamic_cast<const TRDTableCellData*>(document);
    if (auto* inplace = dynamic_cast<TRDTableInplaceRDData*>(document)) cell = inplace->Cell;
    const TRDTableItemInfo* outer = cell ? cell->GetTable() : nullptr;
    if (!outer) return *current;
    current = outer;
  }
}

}  // namespace

TRDTableInplaceEdit::TRDTableInplaceEdit(TCustomRichDocEdit& outer, TRDTableItemInfo& table,
                                         int row, int col)
    : TCustomRichDocEdit(
          nullptr,
          [](TCustomRichDoc& doc) { return std::make_unique<TRDTableInplaceRDData>(doc); }),
      outer_(outer),
      table_(table),
      row_(row),
      col_(col) {
  SetVisible(false);
  SetBorderStyle(bsNone);
  SetVScrollVisible(false);
  SetHScrollVisible(false);
  Options = outer.Options;
  RDFOptions = outer.RDFOptions;
  RTFOptions = outer.RTFOptions;
  EditorOptions = outer.EditorOptions | rdoWantTabs;
  const int padding = table.CellPadding();
  LeftMargin = RightMargin = TopMargin = BottomMargin = padding;
  TRDTableInplaceRDData& data = InplaceData();
  data.Cell = table.Cells(row, col);
  SetColor(table.GetCellColor(*data.Cell));
  SetOpaqueFace(PaintsWholeBackground());
  // The steps recorded here end up in the root document's lists: the items they hold are
  // reported to that document when they are freed.
  TCustomRDData* root = data.GetAbsoluteRootData();
  data.UndoList = std::make_unique<TRDUndoList>(root);
  data.RedoList = std::make_unique<TRDRedoList>(root);
  data.UndoList->SetLimit(outer.UndoLimit() != 0 ? -1 : 0);
  SetStyle(outer.Style());
  SetParent(&outer);
  // A selection made in the cell is the root editor's to report.
  data.OnSelect = [this] {
    TCustomRichDocEdit& root = RootEditor();
    if (root.OnSelect) root.OnSelect(&root);
  };
}

TRDTableInplaceEdit::~TRDTableInplaceEdit() {
  // What the document does while it goes is no selection for the root editor to report.
  InplaceData().OnSelect = nullptr;
  // Nor does the document around the table follow a mouse this editor held.
  if (pressed_) outer_.StopAutoScrollTimer();
}

bool TRDTableInplaceEdit::BeforeChange(bool) {
  return outer_.BeforeChange(true);
}

void TRDTableInplaceEdit::Change(bool ClearRedo) {
  const TBusyScope busy(*this);
  TCustomRichDocEdit::Change(ClearRedo);
  outer_.Modified = true;
  // A new edit in the cell makes what the document could redo stale.
  if (ClearRedo) outer_.EditData().RedoList->Clear();
  table_.ResizeEditorAfterChange();
}

bool TRDTableInplaceEdit::GetReadOnly() const {
  return outer_.GetReadOnly();
}

void TRDTableInplaceEdit::SetReadOnly(bool Value) {
  outer_.SetReadOnly(Value);
}

// What a table inside this cell holds counts as this editor's own: asking only this
// editor's lists would send an undo meant for the inner cell to the outer editor, which
// hands it back here, and round again.
void TRDTableInplaceEdit::Undo() {
  if (UndoAction() != rdutNone)
    TCustomRichDocEdit::Undo();
  else
    outer_.Undo();
}

void TRDTableInplaceEdit::Redo() {
  if (RedoAction() != rdutNone)
    TCustomRichDocEdit::Redo();
  else
    outer_.Redo();
}

void TRDTableInplaceEdit::PostNavigation(int code) {
  // The table closes this editor to move on: not while its key is being handled.
  outer_.QueueCall([&outer = outer_, row = row_, col = col_, code] {
    if (auto* table = dynamic_cast<TRDTableItemInfo*>(outer.EditData().GetChosenItem()))
      table->MoveFromCell(row, col, code);
  });
}

void TRDTableInplaceEdit::KeyDown(TKeyCode& Key, TShiftState Shift) {
  const TBusyScope busy(*this);
  ctrl_tab_ = Key == VK_TAB && (Shift & ssCtrl);
  if (Key == VK_TAB && !(Shift & ssCtrl)) {
    PostNavigation((Shift & ssShift) ? kCellPrevious : kCellNext);
    Key = 0;
    return;
  }
  int direction = -1;
  if (!(Shift & ssShift)) switch (Key) {
      case VK_LEFT:
        direction = rddLeft;
        break;
      case VK_UP:
        direction = rddUp;
        break;
      case VK_RIGHT:
        direction = rddRight;
        break;
      case VK_DOWN:
        direction = rddDown;
        break;
      case VK_HOME:
        if (Shift & ssCtrl) direction = rddTop;
        break;
      case VK_END:
        if (Shift & ssCtrl) direction = rddBottom;
        break;
      default:
        break;
    }
  TRDEditRDData& data = EditData();
  const bool selected = data.HasSelection();
  const int itemNo = data.GetCurrentItemNo(), offset = data.GetOffsetInCurrentItem();
  TCustomRichDocEdit::KeyDown(Key, Shift);
  // A caret that could not move stands at the cell's edge: it leaves the cell.
  if (direction >= 0 && Key == 0 && !selected && data.GetCurrentItemNo() == itemNo &&
      data.GetOffsetInCurrentItem() == offset)
    PostNavigation(direction);
}

void TRDTableInplaceEdit::KeyPress(char& Key) {
  const TBusyScope busy(*this);
  // Tab moves between cells; only Ctrl+Tab types a tab.
  if (Key == '\t' && !ctrl_tab_) {
    Key = 0;
    return;
  }
  TCustomRichDocEdit::KeyPress(Key);
}

TPoint TRDTableInplaceEdit::ToOuter(int X, int Y) const {
  const TRect area = outer_.DocumentRect();
  return Point(Left() + X - area.Left, Top() + Y - area.Top);
}

TPoint TRDTableInplaceEdit::ToRootClient(int X, int Y) const {
  TCustomRichDocEdit& root = const_cast<TRDTableInplaceEdit*>(this)->RootEditor();
  return root.ScreenToClient(ClientToScreen(Point(X, Y)));
}

void TRDTableInplaceEdit::PostToRoot(std::unique_ptr<TRDMessageData> Data) {
  RootEditor().PostDeferredEvent(std::move(Data));
}

void TRDTableInplaceEdit::PostMouse(bool Up, TMouseButton Button, TShiftState Shift, int X, int Y) {
  // The press the table handed on reached the root editor's listeners from the document
  // around the table; a release passed out again is theirs already.
  if ((!Up && handed_on_) || (Up && release_held_)) return;
  const TRect area = DocumentRect();
  const TPoint p = ToRootClient(X + area.Left, Y + area.Top);
  PostToRoot(std::make_unique<TRDMouseUpDownMessageData>(
      Up, Button, Shift, OutermostTable(table_).GetMyItemNo(), p.X, p.Y));
}

void TRDTableInplaceEdit::PressAt(TMouseButton Button, TShiftState Shift, int X, int Y) {
  handed_on_ = true;
  const TRect area = DocumentRect();
  Press(Button, Shift, X + area.Left, Y + area.Top);
  handed_on_ = false;
}

void TRDTableInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // The first press of a double click went to the document around the table and opened
  // this editor; the window system sends the second here as a press of its own.
  const bool second =
      click_time_ != 0 && GetTickCount() - click_time_ <= std::uint64_t(Screen->DoubleClickTime());
  click_time_ = 0;
  if (Button == mbLeft && second && !(Shift & ssDouble)) {
    DblClick();
    Shift |= ssDouble;
  }
  Press(Button, Shift, X, Y);
}

void TRDTableInplaceEdit::Press(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TBusyScope busy(*this);
  TCustomRichDocEdit::MouseDown(Button, Shift, X, Y);
  // A press that starts no drag of the selection anchors a selection of cells here, so
  // that dragging on selects cells.
  TCustomRDData* root = EditData().GetAbsoluteRootData();
  if (Button == mbLeft && !(root && (root->State & rdsDragPending)) &&
      table_.SelectCell(row_, col_)) {
    pressed_ = true;
    // Dragging past the edge of the view scrolls the document around the table on.
    outer_.FollowMouseForAutoScroll(Shift, Left() + X, Top() + Y);
    outer_.StartAutoScrollTimer(false);
  }
}

void TRDTableInplaceEdit::ScrollTo(int Y, bool Redraw) {
  if (MayScroll()) TCustomRichDocEdit::ScrollTo(Y, Redraw);
}

bool TRDTableInplaceEdit::WheelNotches(int Notches) {
  return MayScroll() && TCustomRichDocEdit::WheelNotches(Notches);
}

TPoint TRDTableInplaceEdit::ToOuterDocument(int X, int Y) const {
  const TRDEditRDData& data = outer_.EditData();
  int ox, oy;
  data.GetOrigin(ox, oy);
  const TRect area = DocumentRect();
  const TPoint p = ToOuter(X + area.Left, Y + area.Top);
  return Point(p.X - ox + data.GetHOffs(), p.Y - oy + data.GetVOffs());
}

void TRDTableInplaceEdit::DrawOuterBackground(TRDCanvas& Canvas, const TRect& Rect) {
  TRDEditRDData& data = outer_.EditData();
  const TRect area = DocumentRect();
  const TPoint at = ToOuter(area.Left, area.Top);
  int ox, oy;
  data.GetOrigin(ox, oy);
  if (TRDBackground* background = data.GetBackground())
    background->Draw(Canvas, Rect, data.GetHOffs() + ox, data.GetVOffs() + oy, -at.X, -at.Y,
                     data.GetWidth(), data.GetHeight(), data.GetBackgroundColor(), true);
}

// Its background covers it whole (the cell's colour or picture, the table's, or the
// document's around the table) unless it shows a document without a colour.
bool TRDTableInplaceEdit::PaintsWholeBackground() const {
  return outer_.EditData().GetBackgroundColor() != clNone;
}

void TRDTableInplaceEdit::BoundsChanged(const TRect& OldBounds) {
  TCustomRichDocEdit::BoundsChanged(OldBounds);
  // Queued here, the call goes with the editor when the table closes it first.
  if (OldBounds.Width() != Width()) QueueCall([this] { table_.ResizeEditorAfterChange(); });
}

void TRDTableInplaceEdit::Click() {
  PostToRoot(std::make_unique<TRDClickMessageData>());
}

void TRDTableInplaceEdit::SetSelectedLook(bool Value) {
  if (Value == selected_look_) return;
  selected_look_ = Value;
  TRDEditRDData& data = EditData();
  if (Value) {
    normal_color_ = Color();
    data.State |= rddsSelectedAsWhole;
    if (TRDStyle* style = Style()) SetColor(style->SelColor);
  } else {
    data.State &= ~rddsSelectedAsWhole;
    SetColor(normal_color_);
  }
  data.ShowCaret(false, false, true, false);
  Invalidate();
}

void TRDTableInplaceEdit::MouseMove(TShiftState Shift, int X, int Y) {
  const bool outside = X < 0 || Y < 0 || X >= Width() || Y >= Height();
  // A picture being resized follows the pointer wherever it goes, over other cells too.
  const TRDItemResizer* resizer = EditData().Resizer.get();
  const bool resizing = resizer && resizer->Dragging;
  if (pressed_ && (Shift & ssLeft) && !resizing) {
    outer_.FollowMouseForAutoScroll(Shift, Left() + X, Top() + Y);
    if (outside || (table_.State & rdtsCellsSelected)) {
      const TPoint p = ToOuter(X, Y);
      outer_.EditData().MouseMove(Shift, p.X, p.Y);
      return;
    }
  }
  TCustomRichDocEdit::MouseMove(Shift, X, Y);
}

void TRDTableInplaceEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TBusyScope busy(*this);
  TCustomRichDocEdit::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (pressed_) {
    pressed_ = false;
    outer_.StopAutoScrollTimer();
    const TPoint p = ToOuter(X, Y);
    if (table_.State & rdtsCellsSelected) {
      HoldRelease(true);
      outer_.EditData().MouseUp(Button, Shift, p.X, p.Y);
      HoldRelease(false);
    } else {
      outer_.EditData().ReleaseCaptureItem(&table_);
      table_.MouseCaptured = false;
    }
  }
  // Among selected cells the editor gives way to the selection once this release is over.
  if (selected_look_) outer_.QueueCall([&outer = outer_] { outer.CloseInplaceEditor(); });
}

void TRDTableInplaceEdit::HoldRelease(bool Value) {
  // This editor and the editors around it up to the root: the root's own listener is
  // set aside for the time.
  for (TCustomRichDocEdit* editor = this;;) {
    auto* cellEditor = dynamic_cast<TRDTableInplaceEdit*>(editor);
    if (!cellEditor) {
      if (Value)
        held_mouse_up_ = std::exchange(editor->OnRDMouseUp, nullptr);
      else
        editor->OnRDMouseUp = std::move(held_mouse_up_);
      return;
    }
    cellEditor->release_held_ = Value;
    editor = &cellEditor->outer_;
  }
}

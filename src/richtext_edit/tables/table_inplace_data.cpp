// The document of the cell editor. It answers for the cell whose items it holds, hands
// what the mouse does in it to the root editor, paints what lies behind the cell (the
// table's and the cell's pictures, or the document around the table where the cell has
// no colour of its own) and, to show its caret, scrolls the document around the table.
#include "platform/gui/graphics/canvas.h"
#include "richtext/styles/rd_background.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

TCustomRDData* TRDTableInplaceRDData::GetAbsoluteParentData() {
  return Cell ? Cell->GetAbsoluteParentData() : nullptr;
}

TCustomRDData* TRDTableInplaceRDData::GetAbsoluteRootData() {
  return Cell ? Cell->GetAbsoluteRootData() : nullptr;
}

TCustomRDData* TRDTableInplaceRDData::GetInplaceSourceData() {
  return Cell ? static_cast<TCustomRDData*>(Cell) : this;
}

TRDFOptions TRDTableInplaceRDData::GetRDFOptions() const {
  return TRDEditRDData::GetRDFOptions() | (Cell ? Cell->GetRDFOptions() & rdfoSaveBinary : 0);
}

TRDTableInplaceEdit* TRDTableInplaceRDData::CellEditor() const {
  return static_cast<TRDTableInplaceEdit*>(Editor());
}

// --- the mouse ---------------------------------------------------------------------------------

void TRDTableInplaceRDData::DoJump(int jumpNo) {
  if (TRDTableInplaceEdit* editor = CellEditor())
    editor->PostToRoot(std::make_unique<TRDJumpMessageData>(jumpNo));
}

void TRDTableInplaceRDData::DoRDDblClick(const std::string& word, int styleNo) {
  if (TRDTableInplaceEdit* editor = CellEditor())
    editor->PostToRoot(std::make_unique<TRDDblClickMessageData>(word, styleNo));
}

bool TRDTableInplaceRDData::IsDblClickEventAssigned() const {
  TRDTableInplaceEdit* editor = CellEditor();
  return editor && editor->RootEditor().OnRDDblClick;
}

void TRDTableInplaceRDData::DoRDMouseDown(TMouseButton button, TShiftState shift, int, int x,
                                          int y) {
  if (TRDTableInplaceEdit* editor = CellEditor()) editor->PostMouse(false, button, shift, x, y);
}

void TRDTableInplaceRDData::DoRDMouseUp(TMouseButton button, TShiftState shift, int, int x, int y) {
  if (TRDTableInplaceEdit* editor = CellEditor()) editor->PostMouse(true, button, shift, x, y);
}

void TRDTableInplaceRDData::DoJumpHover(int id) {
  TRDTableInplaceEdit* editor = CellEditor();
  if (!editor) return;
  TCustomRichDocEdit& root = editor->RootEditor();
  if (root.OnRDMouseMove) root.OnRDMouseMove(&root, id);
}

void TRDTableInplaceRDData::DoRDRightClick(const std::string& word, int styleNo, int x, int y) {
  TRDTableInplaceEdit* editor = CellEditor();
  if (!editor) return;
  TCustomRichDocEdit& root = editor->RootEditor();
  if (!root.OnRDRightClick) return;
  const TRect area = editor->DocumentRect();
  const TPoint p = editor->ClientToScreen(Point(x + area.Left, y + area.Top));
  root.OnRDRightClick(&root, word, styleNo, p.X, p.Y);
}

std::string TRDTableInplaceRDData::GetItemHint(int itemNo) {
  std::string hint = TRDControlData::GetItemHint(itemNo);
  if (TRDTableInplaceEdit* editor = CellEditor()) {
    TCustomRichDocEdit& root = editor->RootEditor();
    if (root.OnItemHint) root.OnItemHint(&root, this, itemNo, hint);
  }
  return hint;
}

bool TRDTableInplaceRDData::IsCopyEventAssigned() const {
  TRDTableInplaceEdit* editor = CellEditor();
  return editor && editor->RootEditor().OnCopy;
}

void TRDTableInplaceRDData::DoCopy() {
  TRDTableInplaceEdit* editor = CellEditor();
  if (!editor) return;
  TCustomRichDocEdit& root = editor->RootEditor();
  if (root.OnCopy) root.OnCopy(&root);
}

// --- the background ----------------------------------------------------------------------------

TRDBackground* TRDTableInplaceRDData::GetBackground() {
  if (!(State & rddsSelectedAsWhole) && Cell && Cell->GetCellBackground())
    return Cell->GetCellBackground();
  return TRDEditRDData::GetBackground();
}

TColor TRDTableInplaceRDData::GetBackgroundColor() const {
  const TRDTableItemInfo* table = Cell ? Cell->GetTable() : nullptr;
  if (!table || (State & rddsSelectedAsWhole)) return TRDEditRDData::GetBackgroundColor();
  return table->GetCellColor(*Cell);
}

void TRDTableInplaceRDData::DrawBackground(TRDCanvas& canvas, const TRect& rect) {
  TRDTableInplaceEdit* editor = CellEditor();
  const TRDTableItemInfo* table = Cell ? Cell->GetTable() : nullptr;
  int ox, oy;
  GetOrigin(ox, oy);
  // Content aligned lower in the cell is shifted down; the cell's picture is not.
  const int shift = Cell ? Cell->GetExtraVOffs() : 0;
  auto drawOwn = [&](TRDBackground& background, TColor color) {
    background.Draw(canvas, rect, GetHOffs() + ox, GetVOffs() + oy, 0, -shift, GetWidth(),
                    GetHeight() + shift, color, true);
  };
  if (!editor || !table || Cell->Color != clNone || (State & rddsSelectedAsWhole)) {
    if (TRDBackground* background = GetBackground()) drawOwn(*background, GetBackgroundColor());
    return;
  }
  // A cell without a colour shows what lies behind it: the document around the table
  // where the table has no colour either, then the table's picture, then its own.
  if (table->IsCellTransparent(*Cell)) {
    editor->DrawOuterBackground(canvas, rect);
  } else {
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = GetBackgroundColor();
    canvas.FillRect(rect);
  }
  if (const TRDBackground* background = table->GetTableBackground())
    background->Draw(canvas, rect, 0, 0, -table->CellLeft(editor->Col()), -Cell->Top,
                     table->FormattingInfo->Width, table->FormattingInfo->Height, clNone, true);
  if (TRDBackground* picture = Cell->GetCellBackground()) drawOwn(*picture, clNone);
}

TColor TRDTableInplaceRDData::PlainBackgroundColor() const {
  const TRDTableItemInfo* table = Cell ? Cell->GetTable() : nullptr;
  if (!CellEditor() || !table || Cell->Color != clNone || (State & rddsSelectedAsWhole) ||
      table->IsCellTransparent(*Cell) || table->GetTableBackground() || Cell->GetCellBackground())
    return clNone;
  return GetBackgroundColor();
}

// --- scrolling ---------------------------------------------------------------------------------

void TRDTableInplaceRDData::ScrollToRect(int left, int top, int height, int width) {
  TRDTableInplaceEdit* editor = CellEditor();
  if (!editor || editor->Closing()) {
    TRDEditRDData::ScrollToRect(left, top, height, width);
    return;
  }
  // The editor does not scroll; the document around the table scrolls to show the
  // rectangle where the editor lies over it.
  int ox, oy;
  GetOrigin(ox, oy);
  const TPoint at = editor->ToOuterDocument(left - GetHOffs() + ox, top - GetVOffs() + oy);
  editor->Outer().EditData().ScrollToRect(at.X, at.Y, height, width);
}

void TRDTableInplaceRDData::ScrollToCaret() {
  TRDTableInplaceEdit* editor = CellEditor();
  if (!editor || editor->Closing() || editor->MayScroll()) TRDEditRDData::ScrollToCaret();
  TRect rect;
  if (!editor || editor->Closing() || !GetCaretRect(rect)) return;
  constexpr int kMargin = 5;
  int ox, oy;
  GetOrigin(ox, oy);
  ScrollToRect(rect.Left - ox + GetHOffs(), rect.Top - oy + GetVOffs() - kMargin,
               rect.Height() + 2 * kMargin, kMargin);
}

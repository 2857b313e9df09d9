#include "richtext_edit/tables/table_item.h"

#include <algorithm>
#include <cstring>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/text_routines.h"
#include "richtext/layout/format_params.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/para_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_stream.h"
#include "richtext_edit/tables/table_undo.h"

namespace {

std::unique_ptr<TCustomRDItemInfo> CreateTable(TCustomRDData* rdData) {
  return std::make_unique<TRDTableItemInfo>(rdData);
}

const bool kRegistered = (RegisterTableItemClass(), true);

}  // namespace

void RegisterTableItemClass() {
  RegisterRDItemClass(rdsTable, CreateTable);
  RegisterTableStreamClasses();
}

void TRDTableItemFormattingInfo::Clear() {
  ColWidths.Clear();
  RowHeights.Clear();
  ColStarts.Clear();
  RowStarts.Clear();
}

TRDTableItemInfo::TRDTableItemInfo(TCustomRDData* rdData) : TRDFullLineItemInfo(rdData) {
  Init(1, 1, rdData);
}

TRDTableItemInfo::TRDTableItemInfo(int rowCount, int colCount, TCustomRDData* rdData)
    : TRDFullLineItemInfo(rdData) {
  Init(std::max(rowCount, 0), std::max(colCount, 0), rdData);
}

TRDTableItemInfo::~TRDTableItemInfo() {
  // An open cell editor goes with the table, its content with it, and the editor around
  // the table forgets the edited cell: a click or the focus coming back must not find it.
  DestroyInplaceEditor(false);
  if (TRDEditRDData* data = EditData(); data && data->ChosenItem == this)
    data->ChosenItem = nullptr;
  // The grid must not report to the recorder while it goes.
  if (Rows) Rows->Undo = nullptr;
}

void TRDTableItemInfo::Init(int rowCount, int colCount, TCustomRDData* rdData) {
  (void)kRegistered;
  LoadTableSelectionCursors();
  FormattingInfo = std::make_unique<TRDTableItemFormattingInfo>();
  StyleNo = rdsTable;
  Rows = std::make_unique<TRDTableRows>(rowCount, colCount, rdData, this);
  State |= rdtsNewlyCreated;
}

std::unique_ptr<TCustomRDItemInfo> TRDTableItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDTableItemInfo>(rdData);
}

// --- properties -------------------------------------------------------------------------------

// Each setter names its property and says whether a change can alter the width the
// table needs and its size. Lengths are clamped to what a page can hold, whoever sets
// them (a file, an import, undo): layout sums them over every row and column, and
// painting draws a border one pixel ring at a time.
namespace {
int PageLength(int value) {
  return std::clamp(value, -TRDTableItemInfo::kMaxLength, TRDTableItemInfo::kMaxLength);
}
int CellGap(int value) {
  return std::clamp(value, -TRDTableItemInfo::kMaxCellGap, TRDTableItemInfo::kMaxCellGap);
}
}  // namespace

void TRDTableItemInfo::SetBestWidth(TRDHTMLLength value) {
  ChangeIntProperty("BestWidth", best_width_, std::clamp(value, -kMaxBestWidth, kMaxBestWidth),
                    true, true);
}
void TRDTableItemInfo::SetColor(TColor value) {
  ChangeIntProperty("Color", color_, value, false, false);
}
void TRDTableItemInfo::SetHeadingRowCount(int value) {
  ChangeIntProperty("HeadingRowCount", heading_row_count_, value, false, false);
}
void TRDTableItemInfo::SetBorderWidth(int value) {
  ChangeIntProperty("BorderWidth", border_width_, CellGap(value), true, true);
}
void TRDTableItemInfo::SetBorderColor(TColor value) {
  ChangeIntProperty("BorderColor", border_color_, value, false, false);
}
void TRDTableItemInfo::SetBorderLightColor(TColor value) {
  ChangeIntProperty("BorderLightColor", border_light_color_, value, false, false);
}
void TRDTableItemInfo::SetBorderStyle(TRDTableBorderStyle value) {
  int style = border_style_;
  ChangeIntProperty("BorderStyle", style, std::min<int>(value, rdtbLoweredColor), false, false);
  border_style_ = TRDTableBorderStyle(style);
}
void TRDTableItemInfo::SetBorderVSpacing(int value) {
  ChangeIntProperty("BorderVSpacing", border_v_spacing_, CellGap(value), false, true);
}
void TRDTableItemInfo::SetBorderHSpacing(int value) {
  ChangeIntProperty("BorderHSpacing", border_h_spacing_, CellGap(value), true, true);
}
void TRDTableItemInfo::SetVisibleBorders(const TRDBooleanRect& value) {
  visible_borders_ = value;
}
void TRDTableItemInfo::SetCellBorderWidth(int value) {
  ChangeIntProperty("CellBorderWidth", cell_border_width_, CellGap(value), true, true);
}
void TRDTableItemInfo::SetCellBorderColor(TColor value) {
  ChangeIntProperty("CellBorderColor", cell_border_color_, value, false, false);
}
void TRDTableItemInfo::SetCellBorderLightColor(TColor value) {
  ChangeIntProperty("CellBorderLightColor", cell_border_light_color_, value, false, false);
}
void TRDTableItemInfo::SetCellPadding(int value) {
  ChangeIntProperty("CellPadding", cell_padding_, CellGap(value), true, true);
  State |= rdtsPaddingChanged;
}
void TRDTableItemInfo::SetCellBorderStyle(TRDTableBorderStyle value) {
  int style = cell_border_style_;
  ChangeIntProperty("CellBorderStyle", style, std::min<int>(value, rdtbLoweredColor), false, false);
  cell_border_style_ = TRDTableBorderStyle(style);
}
void TRDTableItemInfo::SetVRuleWidth(int value) {
  ChangeIntProperty("VRuleWidth", v_rule_width_, PageLength(value), false, false);
}
void TRDTableItemInfo::SetVRuleColor(TColor value) {
  ChangeIntProperty("VRuleColor", v_rule_color_, value, false, false);
}
void TRDTableItemInfo::SetHRuleWidth(int value) {
  ChangeIntProperty("HRuleWidth", h_rule_width_, PageLength(value), false, false);
}
void TRDTableItemInfo::SetHRuleColor(TColor value) {
  ChangeIntProperty("HRuleColor", h_rule_color_, value, false, false);
}
void TRDTableItemInfo::SetCellVSpacing(int value) {
  ChangeIntProperty("CellVSpacing", cell_v_spacing_, CellGap(value), false, true);
}
void TRDTableItemInfo::SetCellHSpacing(int value) {
  ChangeIntProperty("CellHSpacing", cell_h_spacing_, CellGap(value), true, true);
}
void TRDTableItemInfo::SetVOutermostRule(bool value) {
  int rule = v_outermost_rule_;
  ChangeIntProperty("VOutermostRule", rule, value, false, false);
  v_outermost_rule_ = rule != 0;
}
void TRDTableItemInfo::SetHOutermostRule(bool value) {
  int rule = h_outermost_rule_;
  ChangeIntProperty("HOutermostRule", rule, value, false, false);
  h_outermost_rule_ = rule != 0;
}

const TRDPropertyTable& TRDTableItemInfo::GetPropertyTable() const {
  using T = TRDTableItemInfo;
#define TABLE_PROPERTY(name, cast) \
  AddInt<T>(                       \
      #name, [](const T& t) { return int(t.name()); }, [](T& t, int v) { t.Set##name(cast(v)); })
  static const TRDPropertyTable table =
      TRDPropertyTable()
          .TABLE_PROPERTY(BestWidth, int)
          .TABLE_PROPERTY(Color, TColor)
          .TABLE_PROPERTY(HeadingRowCount, int)
          .TABLE_PROPERTY(BorderWidth, int)
          .TABLE_PROPERTY(BorderColor, TColor)
          .TABLE_PROPERTY(BorderLightColor, TColor)
          .TABLE_PROPERTY(BorderStyle, TRDTableBorderStyle)
          .TABLE_PROPERTY(BorderVSpacing, int)
          .TABLE_PROPERTY(BorderHSpacing, int)
          .TABLE_PROPERTY(CellBorderWidth, int)
          .TABLE_PROPERTY(CellBorderColor, TColor)
          .TABLE_PROPERTY(CellBorderLightColor, TColor)
          .TABLE_PROPERTY(CellPadding, int)
          .TABLE_PROPERTY(CellBorderStyle, TRDTableBorderStyle)
          .TABLE_PROPERTY(VRuleWidth, int)
          .TABLE_PROPERTY(VRuleColor, TColor)
          .TABLE_PROPERTY(HRuleWidth, int)
          .TABLE_PROPERTY(HRuleColor, TColor)
          .TABLE_PROPERTY(CellVSpacing, int)
          .TABLE_PROPERTY(CellHSpacing, int)
          .TABLE_PROPERTY(VOutermostRule, bool)
          .TABLE_PROPERTY(HOutermostRule, bool)
          .AddInt<T>(
              "BackgroundStyle", [](const T& t) { return int(t.GetBackgroundStyle()); },
              [](T& t, int v) {
                t.SetBackgroundStyle(TRDItemBackgroundStyle(std::clamp(v, 0, 3)));
              });
#undef TABLE_PROPERTY
  return table;
}

// --- background -------------------------------------------------------------------------------

const TGraphic* TRDTableItemInfo::GetBackgroundImage() const {
  return background_ ? background_->GetBitmap() : nullptr;
}

void TRDTableItemInfo::SetBackgroundImage(const TGraphic* picture) {
  // In a document the change is recorded for undo, as any change of the table's look.
  if (State & rdtsInDocument)
    SetCellBackgroundImage(picture, -1, -1);
  else
    AssignBackgroundImage(picture);
}

void TRDTableItemInfo::AssignBackgroundImage(const TGraphic* picture) {
  if (picture && picture == GetBackgroundImage()) return;
  SetOptionalBackgroundImage(background_, picture);
  MarkChanged();
  // An open cell editor shows the table's picture behind a cell without colour.
  if (InplaceEditor) InplaceEditor->Invalidate();
}

TRDItemBackgroundStyle TRDTableItemInfo::GetBackgroundStyle() const {
  return background_ ? background_->GetItemBackgroundStyle() : rdbsColor;
}

void TRDTableItemInfo::SetBackgroundStyle(TRDItemBackgroundStyle value) {
  if (value == GetBackgroundStyle() || RecordChange("BackgroundStyle", value, false, false)) return;
  SetOptionalBackgroundStyle(background_, value);
  MarkChanged();
}

// --- access -----------------------------------------------------------------------------------

TRDTableCellData* TRDTableItemInfo::Cells(int row, int col) const {
  if (row < 0 || row >= Rows->Count() || col < 0 || col >= Rows->Items(row)->Count())
    throw ERichDocError("Invalid row or column index");
  return Rows->Cell(row, col);
}

void TRDTableItemInfo::CellMade(int row, int col) {
  TRDTableCellData& cell = *Rows->Object(row, col);
  if ((State & rdtsCellsSelected) && IsCellSelected(row, col)) {
    cell.InSelection = true;
    cell.State |= rddsSelectedAsWhole;
  }
  if (PlaceInSlot(cell, row, col))
    cell.FormatItems(false, true, false, 0, nullptr, false, true, false);
}

bool TRDTableItemInfo::CanEditCell(int row, int col, bool automatic) {
  bool allow = true;
  if (OnCellEditing) OnCellEditing(this, row, col, automatic, allow);
  return allow;
}

int TRDTableItemInfo::GetMyItemNo() const {
  const TCustomRDData* document = GetDocument();
  if (!document) return -1;
  if (cached_item_no_ >= 0 && cached_item_no_ < document->GetItemCount() &&
      document->GetItem(cached_item_no_) == this)
    return cached_item_no_;
  cached_item_no_ = document->GetItemNo(this);
  return cached_item_no_;
}

int TRDTableItemInfo::ScaleX(int v) const {
  return DeviceInfo
             ? RDMulDiv(v, DeviceInfo->DevicePixelsPerInchX, DeviceInfo->ScreenPixelsPerInchX)
             : v;
}

int TRDTableItemInfo::ScaleY(int v) const {
  if (!DeviceInfo) return v;
  // A cell as tall as a document may be stays within that bound on a printer of a finer
  // resolution instead of wrapping round.
  const int limit = RDMulDiv(kMaxLayoutHeight, DeviceInfo->ScreenPixelsPerInchY,
                             DeviceInfo->DevicePixelsPerInchY);
  if (limit > 0) v = std::clamp(v, -limit, limit);
  return RDMulDiv(v, DeviceInfo->DevicePixelsPerInchY, DeviceInfo->ScreenPixelsPerInchY);
}

// --- colours ----------------------------------------------------------------------------------

namespace {

TColor ParaBackColor(const TRDTableItemInfo& table) {
  const TCustomRDData* document = table.GetDocument();
  const TRDStyle* style = document ? document->GetRDStyle() : nullptr;
  if (!style || !dynamic_cast<const TCustomRDFormattedData*>(document)) return clNone;
  return style->ParaStyles()[table.ParaNo].Background.Color;
}

TColor DocumentColor(const TRDTableItemInfo& table) {
  const auto* document = dynamic_cast<const TCustomRDFormattedData*>(table.GetDocument());
  return document ? document->GetBackgroundColor() : clNone;
}

}  // namespace

TColor TRDTableItemInfo::GetCellColor(const TRDTableCellData& cell) const {
  if (cell.Color != clNone) return cell.Color;
  if (color_ != clNone) return color_;
  const TColor para = ParaBackColor(*this);
  return para != clNone ? para : DocumentColor(*this);
}

TColor TRDTableItemInfo::GetTableColor(bool useDocumentColor) const {
  if (color_ != clNone) return color_;
  const TColor para = ParaBackColor(*this);
  if (para != clNone || !useDocumentColor) return para;
  return DocumentColor(*this);
}

bool TRDTableItemInfo::IsCellTransparent(const TRDTableCellData& cell) const {
  return cell.Color == clNone && color_ == clNone && ParaBackColor(*this) == clNone;
}

// --- row groups -------------------------------------------------------------------------------

bool TRDTableItemInfo::IsRowGroupEnd(int row) const {
  const TRDTableRow& r = *Rows->Items(row);
  for (int c = r.Count() - 1; c >= 0;) {
    int mr, mc;
    const TRDTableCellData* cell = Rows->PeekMainCell(row, c, mr, mc);
    if (!cell) {
      --c;
      continue;
    }
    if (mr + cell->RowSpan - 1 > row) return false;
    c = mc - 1;
  }
  return true;
}

int TRDTableItemInfo::GetRowGroupEnd(int row) const {
  const int last = Rows->Count() - 1;
  for (;;) {
    int end = row;
    for (int c = 0; c < Rows->Items(row)->Count(); ++c) {
      int mr, mc;
      if (const TRDTableCellData* cell = Rows->PeekMainCell(row, c, mr, mc))
        end = std::max(end, mr + cell->RowSpan - 1);
    }
    end = std::min(end, last);
    if (end == row) return row;
    row = end;
  }
}

int TRDTableItemInfo::GetRowGroupStart(int row) const {
  for (;;) {
    int start = row;
    for (int c = 0; c < Rows->Items(row)->Count(); ++c) {
      int mr, mc;
      if (Rows->PeekMainCell(row, c, mr, mc)) start = std::min(start, mr);
    }
    if (start == row) return row;
    row = start;
  }
}

bool TRDTableItemInfo::HeadingRowsComplete() const {
  const int heading = std::min(heading_row_count_, Rows->Count());
  return heading > 0 && IsRowGroupEnd(heading - 1);
}

bool TRDTableItemInfo::HasPageBreakRows(int firstRow, int lastRow) const {
  if (firstRow < 0) firstRow = heading_row_count_ + 1;
  if (lastRow < 0) lastRow = Rows->Count() - 1;
  for (int r = std::max(firstRow, 0); r <= std::min(lastRow, Rows->Count() - 1); ++r)
    if (Rows->Items(r)->PageBreakBefore) return true;
  return false;
}

// --- editing queries --------------------------------------------------------------------------

bool TRDTableItemInfo::IsUndoEnabled() const {
  const TRDEditRDData* data = (State & rdtsInDocument) ? EditData() : nullptr;
  return data && data->UndoList->Limit() != 0;
}

int TRDTableItemInfo::GetEditorItemNo() const {
  return IsInEditor() && IsUndoEnabled() ? GetMyItemNo() : -1;
}

bool TRDTableItemInfo::IsInsideSelection() const {
  auto* document = dynamic_cast<TCustomRDFormattedData*>(GetDocument());
  if (!document || !document->HasSelection()) return false;
  const int itemNo = GetMyItemNo();
  int startItem, startOffs, endItem, endOffs;
  document->GetSelectionBounds(startItem, startOffs, endItem, endOffs, true);
  return (startItem < itemNo || (startItem == itemNo && startOffs == 0)) &&
         (endItem > itemNo || (endItem == itemNo && endOffs >= 1));
}

// --- the item ---------------------------------------------------------------------------------

bool TRDTableItemInfo::QueryItemFlag(std::uint8_t code) const {
  if (code == 4 || code == 5 || code == 6 || code == 10 || code == 12) return true;
  return TRDFullLineItemInfo::QueryItemFlag(code);
}

bool TRDTableItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const {
  return code == 0 ? false : TRDFullLineItemInfo::QueryItemFlagEx(code, rdStyle);
}

void TRDTableItemInfo::DetachFromDocument() {
  Rows->MainRDData = nullptr;
  Rows->Undo = nullptr;
  recorder_.reset();
  State &= TRDTableStates(~(rdtsInDocument | rdtsInEditor));
}

void TRDTableItemInfo::AttachToDocument(TCustomRDData* rdData) {
  DetachFromDocument();
  Rows->MainRDData = rdData;
  if (!rdData) return;
  State |= rdtsInDocument;
  if (auto* data = dynamic_cast<TRDEditRDData*>(rdData)) {
    State |= rdtsInEditor;
    recorder_ = std::make_unique<TRDTableUndoRecorder>(*this, *data);
    Rows->Undo = recorder_.get();
  }
}

void TRDTableItemInfo::NotifyData(TCustomRDData* rdData, std::string& text) {
  AttachToDocument(rdData);
  // The cells' items arrive in the document with the table.
  for (int r = 0; r < Rows->Count(); ++r) {
    TRDTableRow& row = *Rows->Items(r);
    for (int c = 0; c < row.Count(); ++c)
      if (TRDTableCellData* cell = row.Object(c)) {
        if (cell->GetItemCount() == 0) cell->AddText("", 0, 0);
        cell->SetRow(&row);
        cell->NotifyItemsInserting();
      }
  }
  TRDFullLineItemInfo::NotifyData(rdData, text);
}

void TRDTableItemInfo::NotifyDataEx(TCustomRDData* rdData) {
  TRDFullLineItemInfo::NotifyDataEx(rdData);
  if (!(State & rdtsNewlyCreated) || !rdData) return;
  // A table made for a cell is told once it has its place there; its cells' items learn
  // that they are in a document once, when the table first is.
  auto* formatted = dynamic_cast<TCustomRDFormattedData*>(rdData);
  const bool root =
      (formatted && (formatted->GetFlags() & rdfRoot)) || rdData->GetAbsoluteRootData() == rdData;
  if (!root && rdData->GetParentItemNo() < 0) return;
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < Rows->Items(r)->Count(); ++c)
      if (TRDTableCellData* cell = Rows->Object(r, c))
        for (int i = 0; i < cell->GetItemCount(); ++i) {
          cell->AddMarkerToList(i);
          cell->GetItem(i)->NotifyDataEx(cell);
        }
  State &= TRDTableStates(~rdtsNewlyCreated);
}

int TRDTableItemInfo::GetSubDocCount() const {
  return Rows->Count() * Rows->GetColCount();
}

TCustomRDData* TRDTableItemInfo::GetSubDoc(int index) const {
  const int cols = Rows->GetColCount();
  if (cols == 0 || index < 0 || index >= GetSubDocCount()) return nullptr;
  const int row = index / cols, col = index % cols;
  // A plain cell is answered by the stand-in: walks over documents read it as the cell.
  return col < Rows->Items(row)->Count() ? Rows->Peek(row, col) : nullptr;
}

void TRDTableItemInfo::MarkStylesInUse(TRDStyleUsage& usage) const {
  TRDFullLineItemInfo::MarkStylesInUse(usage);
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < Rows->Items(r)->Count(); ++c)
      if (const TRDTableCellData* cell = Rows->Peek(r, c)) cell->MarkStylesInUse(usage);
}

void TRDTableItemInfo::UpdateStyles(const TRDStyleUsage& usage) {
  TRDFullLineItemInfo::UpdateStyles(usage);
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < Rows->Items(r)->Count(); ++c)
      if (TRDTableCellData* cell = Rows->Object(r, c)) cell->UpdateStyles(usage);
}

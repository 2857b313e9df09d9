#include "richtext_edit/tables/table_item.h"

#include <algorithm>
#include <cstring>

#include "platform/gui/bitmap.h"
#include "richtext/formatted_data.h"
#include "richtext/item_factory.h"
#include "richtext/para_style.h"
#include "richtext/rd_style.h"
#include "richtext/text_routines.h"
#include "richtext_edit/tables/table_stream.h"

bool (*RDIsEditorData)(const TCustomRDData* rdData) = [](const TCustomRDData*) { return false; };

namespace {

// The published integer-valued properties, by the names files and undo records use.
struct TTableIntProperty {
  const char* Name;
  int (*Get)(const TRDTableItemInfo&);
  void (*Set)(TRDTableItemInfo&, int);
};

#define TABLE_PROPERTY(name, cast)                                                                \
  TTableIntProperty {                                                                             \
#name,                                                                                        \
        [](const TRDTableItemInfo& t) { return int(t.name()); },                                  \
                                                              [](TRDTableItemInfo & t,            \
                                                                 int v) { t.Set##name(cast(v)); } \
  }

const TTableIntProperty kIntProperties[] = {
    TABLE_PROPERTY(BestWidth, int),
    TABLE_PROPERTY(Color, TColor),
    TABLE_PROPERTY(HeadingRowCount, int),
    TABLE_PROPERTY(BorderWidth, int),
    TABLE_PROPERTY(BorderColor, TColor),
    TABLE_PROPERTY(BorderLightColor, TColor),
    TABLE_PROPERTY(BorderStyle, TRDTableBorderStyle),
    TABLE_PROPERTY(BorderVSpacing, int),
    TABLE_PROPERTY(BorderHSpacing, int),
    TABLE_PROPERTY(CellBorderWidth, int),
    TABLE_PROPERTY(CellBorderColor, TColor),
    TABLE_PROPERTY(CellBorderLightColor, TColor),
    TABLE_PROPERTY(CellPadding, int),
    TABLE_PROPERTY(CellBorderStyle, TRDTableBorderStyle),
    TABLE_PROPERTY(VRuleWidth, int),
    TABLE_PROPERTY(VRuleColor, TColor),
    TABLE_PROPERTY(HRuleWidth, int),
    TABLE_PROPERTY(HRuleColor, TColor),
    TABLE_PROPERTY(CellVSpacing, int),
    TABLE_PROPERTY(CellHSpacing, int),
    TABLE_PROPERTY(VOutermostRule, bool),
    TABLE_PROPERTY(HOutermostRule, bool),
    TTableIntProperty{"BackgroundStyle",
                      [](const TRDTableItemInfo& t) { return int(t.GetBackgroundStyle()); },
                      [](TRDTableItemInfo& t, int v) {
                        t.SetBackgroundStyle(TRDItemBackgroundStyle(std::clamp(v, 0, 3)));
                      }},
};
#undef TABLE_PROPERTY

const TTableIntProperty* FindIntProperty(const std::string& name) {
  for (const TTableIntProperty& p : kIntProperties)
    if (name == p.Name) return &p;
  return nullptr;
}

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

TRDTableItemInfo::~TRDTableItemInfo() = default;

void TRDTableItemInfo::Init(int rowCount, int colCount, TCustomRDData* rdData) {
  (void)kRegistered;
  FormattingInfo = std::make_unique<TRDTableItemFormattingInfo>();
  StyleNo = rdsTable;
  Rows = std::make_unique<TRDTableRows>(rowCount, colCount, rdData, this);
  State |= rdtsNewlyCreated;
}

std::unique_ptr<TCustomRDItemInfo> TRDTableItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDTableItemInfo>(rdData);
}

// --- properties -------------------------------------------------------------------------------

void TRDTableItemInfo::SetIntProperty(const char*, int& field, int value) {
  field = value;
  MarkChanged();
  if (auto* document = dynamic_cast<TCustomRDFormattedData*>(GetDocument()))
    if (State & rdtsInDocument) document->InvalidateControl();
}

void TRDTableItemInfo::SetColorProperty(const char* name, TColor& field, TColor value) {
  SetIntProperty(name, field, value);
}

void TRDTableItemInfo::SetBestWidth(TRDHTMLLength value) {
  SetIntProperty("BestWidth", best_width_, value);
}
void TRDTableItemInfo::SetColor(TColor value) {
  SetColorProperty("Color", color_, value);
}
void TRDTableItemInfo::SetHeadingRowCount(int value) {
  SetIntProperty("HeadingRowCount", heading_row_count_, value);
}
void TRDTableItemInfo::SetBorderWidth(int value) {
  SetIntProperty("BorderWidth", border_width_, value);
}
void TRDTableItemInfo::SetBorderColor(TColor value) {
  SetColorProperty("BorderColor", border_color_, value);
}
void TRDTableItemInfo::SetBorderLightColor(TColor value) {
  SetColorProperty("BorderLightColor", border_light_color_, value);
}
void TRDTableItemInfo::SetBorderStyle(TRDTableBorderStyle value) {
  border_style_ = TRDTableBorderStyle(std::min<int>(value, rdtbLoweredColor));
  MarkChanged();
}
void TRDTableItemInfo::SetBorderVSpacing(int value) {
  SetIntProperty("BorderVSpacing", border_v_spacing_, value);
}
void TRDTableItemInfo::SetBorderHSpacing(int value) {
  SetIntProperty("BorderHSpacing", border_h_spacing_, value);
}
void TRDTableItemInfo::SetVisibleBorders(const TRDBooleanRect& value) {
  visible_borders_ = value;
}
void TRDTableItemInfo::SetCellBorderWidth(int value) {
  SetIntProperty("CellBorderWidth", cell_border_width_, value);
}
void TRDTableItemInfo::SetCellBorderColor(TColor value) {
  SetColorProperty("CellBorderColor", cell_border_color_, value);
}
void TRDTableItemInfo::SetCellBorderLightColor(TColor value) {
  SetColorProperty("CellBorderLightColor", cell_border_light_color_, value);
}
void TRDTableItemInfo::SetCellPadding(int value) {
  SetIntProperty("CellPadding", cell_padding_, value);
  State |= rdtsPaddingChanged;
}
void TRDTableItemInfo::SetCellBorderStyle(TRDTableBorderStyle value) {
  cell_border_style_ = TRDTableBorderStyle(std::min<int>(value, rdtbLoweredColor));
  MarkChanged();
}
void TRDTableItemInfo::SetVRuleWidth(int value) {
  SetIntProperty("VRuleWidth", v_rule_width_, value);
}
void TRDTableItemInfo::SetVRuleColor(TColor value) {
  SetColorProperty("VRuleColor", v_rule_color_, value);
}
void TRDTableItemInfo::SetHRuleWidth(int value) {
  SetIntProperty("HRuleWidth", h_rule_width_, value);
}
void TRDTableItemInfo::SetHRuleColor(TColor value) {
  SetColorProperty("HRuleColor", h_rule_color_, value);
}
void TRDTableItemInfo::SetCellVSpacing(int value) {
  SetIntProperty("CellVSpacing", cell_v_spacing_, value);
}
void TRDTableItemInfo::SetCellHSpacing(int value) {
  SetIntProperty("CellHSpacing", cell_h_spacing_, value);
}
void TRDTableItemInfo::SetVOutermostRule(bool value) {
  v_outermost_rule_ = value;
  MarkChanged();
}
void TRDTableItemInfo::SetHOutermostRule(bool value) {
  h_outermost_rule_ = value;
  MarkChanged();
}

bool TRDTableItemInfo::SetIntPropertyByName(const std::string& name, int value) {
  const TTableIntProperty* p = FindIntProperty(name);
  if (!p) return false;
  p->Set(*this, value);
  return true;
}

bool TRDTableItemInfo::GetIntPropertyByName(const std::string& name, int& value) const {
  const TTableIntProperty* p = FindIntProperty(name);
  if (!p) return false;
  value = p->Get(*this);
  return true;
}

// --- background -------------------------------------------------------------------------------

const TGraphic* TRDTableItemInfo::GetBackgroundImage() const {
  return background_ ? background_->GetBitmap() : nullptr;
}

void TRDTableItemInfo::SetBackgroundImage(const TGraphic* picture) {
  if (picture && picture == GetBackgroundImage()) return;
  if (!background_ && picture && !picture->Empty())
    background_ = std::make_unique<TRDBackground>(false);
  if (!background_) return;
  background_->AssignImage(picture);
  if (background_->IsEmpty()) background_.reset();
  MarkChanged();
}

TRDItemBackgroundStyle TRDTableItemInfo::GetBackgroundStyle() const {
  return background_ ? background_->GetItemBackgroundStyle() : rdbsColor;
}

void TRDTableItemInfo::SetBackgroundStyle(TRDItemBackgroundStyle value) {
  if (value == GetBackgroundStyle()) return;
  if (!background_ && value != rdbsColor) background_ = std::make_unique<TRDBackground>(false);
  if (!background_) return;
  background_->SetItemBackgroundStyle(value);
  if (background_->IsEmpty()) background_.reset();
  MarkChanged();
}

// --- access -----------------------------------------------------------------------------------

TRDTableCellData* TRDTableItemInfo::Cells(int row, int col) const {
  if (row < 0 || row >= Rows->Count() || col < 0 || col >= Rows->Items(row)->Count())
    throw ERichDocError("Invalid row or column index");
  return Rows->Cell(row, col);
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
  return DeviceInfo
             ? RDMulDiv(v, DeviceInfo->DevicePixelsPerInchY, DeviceInfo->ScreenPixelsPerInchY)
             : v;
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
    const TRDTableCellData* cell = Rows->GetMainCell(row, c, mr, mc);
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
      if (const TRDTableCellData* cell = Rows->GetMainCell(row, c, mr, mc))
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
      if (Rows->GetMainCell(row, c, mr, mc)) start = std::min(start, mr);
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
  return (State & rdtsInDocument) && Rows->Undo != nullptr;
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

void TRDTableItemInfo::NotifyData(TCustomRDData* rdData, std::string& text) {
  Rows->MainRDData = rdData;
  State &= TRDTableStates(~(rdtsInDocument | rdtsInEditor));
  if (rdData) {
    State |= rdtsInDocument;
    if (RDIsEditorData(rdData)) State |= rdtsInEditor;
  }
  TRDFullLineItemInfo::NotifyData(rdData, text);
}

void TRDTableItemInfo::NotifyDataEx(TCustomRDData* rdData) {
  TRDFullLineItemInfo::NotifyDataEx(rdData);
  State &= TRDTableStates(~rdtsNewlyCreated);
}

int TRDTableItemInfo::GetSubDocCount() const {
  return Rows->Count() * Rows->GetColCount();
}

TCustomRDData* TRDTableItemInfo::GetSubDoc(int index) const {
  const int cols = Rows->GetColCount();
  if (cols == 0 || index < 0 || index >= GetSubDocCount()) return nullptr;
  const int row = index / cols, col = index % cols;
  return col < Rows->Items(row)->Count() ? Rows->Cell(row, col) : nullptr;
}

void TRDTableItemInfo::MarkStylesInUse(TRDStyleUsage& usage) const {
  TRDFullLineItemInfo::MarkStylesInUse(usage);
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < Rows->Items(r)->Count(); ++c)
      if (const TRDTableCellData* cell = Rows->Cell(r, c)) cell->MarkStylesInUse(usage);
}

void TRDTableItemInfo::UpdateStyles(const TRDStyleUsage& usage) {
  TRDFullLineItemInfo::UpdateStyles(usage);
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < Rows->Items(r)->Count(); ++c)
      if (TRDTableCellData* cell = Rows->Cell(r, c)) cell->UpdateStyles(usage);
}

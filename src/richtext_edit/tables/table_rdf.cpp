// The table's record in document files and the component stream it holds.
#include <algorithm>
#include <string_view>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/style_types.h"
#include "richtext/base/table_budget.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/rdf_item_record.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_print_part.h"
#include "richtext_edit/tables/table_stream.h"

namespace {

// The most a length of a table may be in a file; one within it but beyond what a page
// holds is cut to the page, as the table's setters cut it: the layout sums the lengths
// over every row and column of the largest grid.
constexpr int kMaxLength = 32767;
constexpr int kMaxCount = 1000000;

void TableLength(TRDPropertyFiler& filer, std::string_view name, int& value, int defaultValue,
                 int minValue) {
  filer.Ranged(name, value, defaultValue, minValue, kMaxLength);
  if (filer.Reading()) value = ClampToPage(value);
}

// A length between a cell's text and the next (padding, spacing, a border), cut as the
// table's setters cut it.
void CellGap(TRDPropertyFiler& filer, std::string_view name, int& value, int defaultValue,
             int minValue) {
  TableLength(filer, name, value, defaultValue, minValue);
  if (filer.Reading())
    value = std::clamp(value, -TRDTableItemInfo::kMaxCellGap, TRDTableItemInfo::kMaxCellGap);
}

[[noreturn]] void WrongCells() {
  throw EReadError("Wrong end of cells list");
}

}  // namespace

TRDTableStreamSaveInfo::TRDTableStreamSaveInfo(const TRDTableItemInfo& table)
    : RowCount(table.RowCount()), ColCount(table.ColCount()) {}

void RegisterTableStreamClasses() {
  RegisterStreamableClass("TD", [] { return std::make_unique<TD>(); });
}

void TD::DefineProperties(TRDPropertyFiler& filer) {
  if (C) filer.Nested("C", [this](TRDPropertyFiler& cell) { C->DefineProperties(cell); });
}

void TRDTableSW::DefineProperties(TRDPropertyFiler& filer) {
  if (!T) return;
  filer.Nested("T", [this](TRDPropertyFiler& table) { T->DefineTableProperties(table); });
  filer.DefineData(
      "C", true, [this](TRDValueWriter& writer) { WriteCells(writer); },
      [this](TRDValueReader& reader) { ReadCells(reader); });
  TRDTableStreamSaveInfo whole(*T);
  const TRDTableStreamSaveInfo& range = T->SaveInfo ? *T->SaveInfo : whole;
  // The rows a save writes: the heading rows first when asked, then the range.
  std::vector<TRDTableRow*> saved;
  if (range.SaveHeading)
    for (int r = 0; r < std::min(T->HeadingRowCount(), T->RowCount()); ++r)
      saved.push_back(T->Rows->Items(r));
  for (int r = range.StartRow; r < std::min(range.StartRow + range.RowCount, T->RowCount()); ++r)
    saved.push_back(T->Rows->Items(r));
  const bool anyVAlign = std::any_of(saved.begin(), saved.end(),
                                     [](const TRDTableRow* row) { return row->VAlign != rdcTop; });
  const bool anyBreak = std::any_of(saved.begin(), saved.end(),
                                    [](const TRDTableRow* row) { return row->PageBreakBefore; });
  filer.DefineData(
      "RowVAlign", anyVAlign,
      [&saved](TRDValueWriter& writer) {
        writer.WriteListBegin();
        for (const TRDTableRow* row : saved) writer.WriteInteger(row->VAlign);
        writer.WriteListEnd();
      },
      [this](TRDValueReader& reader) {
        reader.ReadListBegin();
        for (int r = 0; !reader.EndOfList(); ++r) {
          const int value = reader.ReadInteger();
          if (r >= std::max(T->RowCount(), declared_rows_) || value < rdcTop || value > rdcVDefault)
            throw EReadError("Invalid row alignment");
          if (r < T->RowCount()) T->Rows->Items(r)->VAlign = TRDCellVAlign(value);
        }
        reader.ReadListEnd();
      });
  filer.DefineData(
      "RowPageBreakBefore", anyBreak,
      [&saved](TRDValueWriter& writer) {
        writer.WriteListBegin();
        for (const TRDTableRow* row : saved) writer.WriteBoolean(row->PageBreakBefore);
        writer.WriteListEnd();
      },
      [this](TRDValueReader& reader) {
        reader.ReadListBegin();
        for (int r = 0; !reader.EndOfList(); ++r) {
          const bool value = reader.ReadBoolean();
          if (r >= std::max(T->RowCount(), declared_rows_))
            throw EReadError("Invalid row page breaks");
          if (r < T->RowCount()) T->Rows->Items(r)->PageBreakBefore = value;
        }
        reader.ReadListEnd();
      });
}

void TRDTableSW::WriteCells(TRDValueWriter& writer) {
  TRDTableItemInfo& table = *T;
  TRDTableRows& rows = *table.Rows;
  table.BeginBusy();
  TRDTableStreamSaveInfo whole(table);
  const TRDTableStreamSaveInfo& range = table.SaveInfo ? *table.SaveInfo : whole;
  const int heading = range.SaveHeading ? std::min(table.HeadingRowCount(), rows.Count()) : 0;
  const int rowCount = std::clamp(range.RowCount, 0, rows.Count() - range.StartRow);
  const int colCount = std::clamp(range.ColCount, 0, rows.GetColCount() - range.StartCol);
  const int n = rowCount > 0 && colCount > 0 ? rowCount + heading : 0;
  writer.WriteInteger(n);
  if (n > 0) {
    writer.WriteInteger(colCount);
    writer.WriteListBegin();
    auto writeRow = [&](int r, bool headingRow) {
      const int endRow = headingRow ? heading : range.StartRow + rowCount;
      TRDTableCellData* movedIn = nullptr;
      for (int c = range.StartCol; c < range.StartCol + colCount; ++c) {
        int mr = r, mc = c;
        TRDTableCellData* cell = rows.Peek(r, c);
        if (!cell) {
          if (headingRow || (r != range.StartRow && c != range.StartCol)) continue;
          cell = rows.PeekMainCell(r, c, mr, mc);
          // A cell that starts inside the range is written at its own slot.
          if (!cell || (mr >= range.StartRow && mc >= range.StartCol) || cell == movedIn) continue;
          movedIn = cell;
        }
        const int colSpan = std::min(cell->ColSpan + (mc - c), range.StartCol + colCount - c);
        const int rowSpan = std::min(cell->RowSpan + (mr - r), endRow - r);
        writer.WriteInteger(colSpan);
        writer.WriteInteger(rowSpan);
        TD wrapper;
        wrapper.C = cell;
        const bool wasEmpty = cell->SaveEmpty;
        if (range.SelectionOnly && !table.CellInSelection(mr, mc)) cell->SaveEmpty = true;
        writer.WriteComponent(wrapper);
        cell->SaveEmpty = wasEmpty;
      }
    };
    for (int r = 0; r < heading; ++r) writeRow(r, true);
    for (int r = range.StartRow; r < range.StartRow + rowCount; ++r) writeRow(r, false);
    writer.WriteListEnd();
  }
  table.EndBusy();
}

void TRDTableSW::ReadCells(TRDValueReader& reader) {
  TRDTableRows& rows = *T->Rows;
  rows.Clear();
  const int n = reader.ReadInteger();
  if (n == 0) return;
  const int m = reader.ReadInteger();
  if (n < 0 || m <= 0 || !TRDTableRows::HoldsSlots(n, m)) throw EReadError("Invalid table size");
  declared_rows_ = n;
  // The rows the read's budget pays for, at least the first, and of a row it cannot pay
  // for whole the columns it can, at least the first: the cells past them join the cell
  // they fall under or beside in the last row and column kept, and the document says so.
  const std::int64_t left = TRDTableBudget::Left();
  const std::int64_t rowBytes = TRDTableRows::GridBytes(1, m);
  const int keptRows = int(std::clamp<std::int64_t>(left / rowBytes, 1, n));
  const int keptCols =
      left >= rowBytes ? m
                       : int(std::clamp<std::int64_t>(
                             (left - TRDTableRows::kRowBytes) / TRDTableRows::kSlotBytes, 1, m));
  TRDTableBudget::Take(TRDTableRows::GridBytes(keptRows, keptCols));
  if ((keptRows < n || keptCols < m) && rows.MainRDData) {
    TCustomRDData& root = *rows.MainRDData->GetAbsoluteRootData();
    root.SetRDFWarnings(root.GetRDFWarnings() | rdfwTableCellsLeftOut);
  }
  // The grid starts empty and each cell is made as its entry comes, so that a merged cell
  // costs one cell whatever it covers.
  rows.ResetEmpty(keptRows, keptCols);
  TRDCutCellJoins joins;
  try {
    ReadCellList(reader, n, m, keptRows, keptCols, joins);
  } catch (...) {
    joins.Finish();
    throw;
  }
  joins.Finish();
}

void TRDTableSW::ReadCellList(TRDValueReader& reader, int n, int m, int keptRows, int keptCols,
                              TRDCutCellJoins& joins) {
  TRDTableRows& rows = *T->Rows;
  std::vector<char> covered(size_t(n) * size_t(m), 0);
  reader.ReadListBegin();
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < m; ++c) {
      if (covered[size_t(r) * size_t(m) + size_t(c)]) continue;
      if (reader.EndOfList()) WrongCells();
      const int colSpan = reader.ReadInteger();
      const int rowSpan = reader.ReadInteger();
      if (colSpan < 1 || rowSpan < 1 || colSpan > m - c || rowSpan > n - r)
        throw EReadError("Invalid cell span");
      // Every slot the cell covers must be free still, so that each ends up with exactly
      // one cell covering it.
      for (int rr = r; rr < r + rowSpan; ++rr)
        for (int cc = c; cc < c + colSpan; ++cc) {
          char& slot = covered[size_t(rr) * size_t(m) + size_t(cc)];
          if (slot) throw EReadError("Invalid cell span");
          slot = 1;
        }
      TRDTableRow& row = *rows.Items(std::min(r, keptRows - 1));
      auto read = std::make_unique<TRDTableCellData>(&row);
      read->ColSpan = std::min(colSpan, std::max(keptCols - c, 1));
      read->RowSpan = std::min(rowSpan, std::max(keptRows - r, 1));
      TD wrapper;
      wrapper.C = read.get();
      reader.ReadComponent(wrapper);
      if (r < keptRows && c < keptCols) {
        const bool plain = read->IsPlain();
        row.SetItem(c, std::move(read));
        // A cell as made keeps no object.
        if (plain) row.SetPlain(c);
      } else if (read->HasData(false)) {
        int mr, mc;
        if (TRDTableCellData* kept =
                rows.GetMainCell(std::min(r, keptRows - 1), std::min(c, keptCols - 1), mr, mc))
          joins.Join(*read, *kept);
      }
    }
  if (!reader.EndOfList()) WrongCells();
  reader.ReadListEnd();
}

std::string TableToComponentBytes(TRDTableItemInfo& table) {
  TRDTableSW wrapper(&table);
  TMemoryStream stream;
  WriteComponent(stream, wrapper);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

void TableFromComponentBytes(TRDTableItemInfo& table, const std::string& bytes) {
  TRDTableSW wrapper(&table);
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  stream.SetPosition(0);
  std::unique_ptr<TComponent> none;
  TComponent* target = &wrapper;
  ReadComponent(stream, none, target);
}

// --- the table's properties -------------------------------------------------------------------

void TRDTableItemInfo::DefineTableProperties(TRDPropertyFiler& filer) {
  int options = Options;
  filer.Integer("Options", options,
                rdtoEditing | rdtoRowSizing | rdtoColSizing | rdtoRowSelect | rdtoColSelect);
  if (filer.Reading()) {
    if (options & ~kAllTableOptions) throw EReadError("Invalid table options");
    Options = TRDTableOptions(options);
  }
  filer.Ranged("PrintOptions", PrintOptions,
               TRDTablePrintOptions(rdtoHalftoneBorders | rdtoRowsSplit), 0, kAllTablePrintOptions);
  filer.Ranged("BestWidth", best_width_, 0, -kMaxBestWidth, kMaxBestWidth);
  filer.Integer("Color", color_, clWindow);
  TRDItemBackgroundStyle style = GetBackgroundStyle();
  filer.Ranged("BackgroundStyle", style, rdbsColor, rdbsColor, rdbsCentered);
  if (filer.Reading() && style != GetBackgroundStyle()) SetBackgroundStyle(style);
  filer.Ranged("HeadingRowCount", heading_row_count_, 0, 0, kMaxCount);
  filer.String("TextRowSeparator", TextRowSeparator, "\r\n");
  filer.String("TextColSeparator", TextColSeparator, "\r\n");
  CellGap(filer, "BorderWidth", border_width_, 0, 0);
  filer.Integer("BorderColor", border_color_, clWindowText);
  filer.Integer("BorderLightColor", border_light_color_, clBtnHighlight);
  filer.Ranged("BorderStyle", border_style_, rdtbRaised, rdtbRaised, rdtbLoweredColor);
  CellGap(filer, "BorderVSpacing", border_v_spacing_, 2, -kMaxLength);
  CellGap(filer, "BorderHSpacing", border_h_spacing_, 2, -kMaxLength);
  filer.Nested("VisibleBorders", [this](TRDPropertyFiler& sides) {
    sides.Boolean("Left", visible_borders_.Left, true);
    sides.Boolean("Top", visible_borders_.Top, true);
    sides.Boolean("Right", visible_borders_.Right, true);
    sides.Boolean("Bottom", visible_borders_.Bottom, true);
  });
  CellGap(filer, "CellBorderWidth", cell_border_width_, 0, 0);
  filer.Integer("CellBorderColor", cell_border_color_, clWindowText);
  filer.Integer("CellBorderLightColor", cell_border_light_color_, clBtnHighlight);
  CellGap(filer, "CellPadding", cell_padding_, 1, 0);
  filer.Ranged("CellBorderStyle", cell_border_style_, rdtbLowered, rdtbRaised, rdtbLoweredColor);
  TableLength(filer, "VRuleWidth", v_rule_width_, 0, 0);
  filer.Integer("VRuleColor", v_rule_color_, clWindowText);
  TableLength(filer, "HRuleWidth", h_rule_width_, 0, 0);
  filer.Integer("HRuleColor", h_rule_color_, clWindowText);
  CellGap(filer, "CellVSpacing", cell_v_spacing_, 2, -kMaxLength);
  CellGap(filer, "CellHSpacing", cell_h_spacing_, 2, -kMaxLength);
  filer.Boolean("VOutermostRule", v_outermost_rule_, false);
  filer.Boolean("HOutermostRule", h_outermost_rule_, false);
  std::string picture;
  if (!filer.Reading() && GetBackgroundImage() && !GetBackgroundImage()->Empty())
    picture = BackgroundImageToBytes(*GetBackgroundImage());
  filer.Binary("BackgroundImg", picture);
  if (filer.Reading() && !picture.empty()) {
    std::unique_ptr<TGraphic> image = BackgroundImageFromBytes(picture);
    AssignBackgroundImage(image.get());
  }
  if (filer.Reading()) MarkChanged();
}

// --- the record -------------------------------------------------------------------------------

int TRDTableItemInfo::GetRDFExtraPropertyCount() const {
  return TRDFullLineItemInfo::GetRDFExtraPropertyCount() +
         (background_image_file_name_.empty() ? 0 : 1);
}

void TRDTableItemInfo::SaveRDFExtraProperties(TStream& stream) const {
  TRDFullLineItemInfo::SaveRDFExtraProperties(stream);
  if (!background_image_file_name_.empty())
    WriteRDFExtraStrProperty(stream, rdespImageFileName, background_image_file_name_);
}

bool TRDTableItemInfo::SetExtraStrProperty(TRDExtraItemStrProperty prop, const std::string& value) {
  if (prop != rdespImageFileName) return TRDFullLineItemInfo::SetExtraStrProperty(prop, value);
  background_image_file_name_ = value;
  return true;
}

bool TRDTableItemInfo::GetExtraStrProperty(TRDExtraItemStrProperty prop, std::string& value) const {
  if (prop != rdespImageFileName) return TRDFullLineItemInfo::GetExtraStrProperty(prop, value);
  value = background_image_file_name_;
  return true;
}

void TRDTableItemInfo::SaveRDF(TStream& stream, TCustomRDData* rdData, int itemNo,
                               const std::string& name, bool forceSameAsPrev) const {
  auto& self = const_cast<TRDTableItemInfo&>(*this);
  // Written for one printed page that holds a run of the table's rows: those rows, after
  // the heading rows when the print repeats them above every run.
  const auto* run =
      rdData ? dynamic_cast<const TRDTablePrintPart*>(rdData->GetOutputPart(itemNo)) : nullptr;
  TRDTableStreamSaveInfo pageRun(*this);
  TRDTableStreamSaveInfo* const previous = SaveInfo;
  if (run) {
    pageRun.StartRow = run->StartRow;
    pageRun.RowCount = run->RowCount;
    pageRun.SaveHeading =
        HeadingRowsComplete() && HeadingAbove(*run, std::min(HeadingRowCount(), RowCount())) > 0;
    self.SaveInfo = &pageRun;
  }
  struct TRestore {
    TRDTableItemInfo& Table;
    TRDTableStreamSaveInfo* Previous;
    ~TRestore() { Table.SaveInfo = Previous; }
  } restore{self, previous};
  const bool binary = rdData && (rdData->GetRDFOptions() & rdfoSaveBinary);
  StreamWriteLine(stream, RDFItemHeader(*this, rdData, GetRDFExtraPropertyCount() + 3,
                                        binary ? kRDFSaveBinary : kRDFSaveText, forceSameAsPrev));
  StreamWriteLine(stream, EncodeRDFLineBreaks(name));
  SaveRDFExtraProperties(stream);
  StreamWriteLine(stream, "1");
  TRDTableSW wrapper(&self);
  if (binary) {
    WriteComponentWithSize(stream, wrapper);
  } else {
    std::string hex;
    ComponentToHexString(wrapper, hex);
    StreamWriteLine(stream, hex);
  }
}

bool TRDTableItemInfo::ReadRDFLine(const std::string& line, TCustomRDData* rdData, int readMode,
                                   int lineNo, int lineCount, std::string& name, int&,
                                   int& readState) {
  if (lineNo == 0) {
    name = DecodeRDFLineBreaks(line);
    return true;
  }
  if (lineNo == lineCount - 2) return true;
  if (lineNo != lineCount - 1) {
    ReadRDFExtraProperty(*this, line);
    return true;
  }
  readState = 2;
  if (rdData) Rows->MainRDData = rdData;
  std::string bytes;
  if (readMode == kRDFSaveBinary) {
    bytes = line;
  } else {
    HexToString(line, bytes);
    if (bytes.size() * 2 != line.size()) return false;
  }
  try {
    TableFromComponentBytes(*this, bytes);
  } catch (const Exception&) {
    // What was read is dropped: the table keeps no half-read grid.
    Rows->Reset(0, 0);
    return false;
  }
  MarkChanged();
  return true;
}

// The table as RTF: one "\trowd" row definition per row with its cell definitions,
// followed by the cells' documents, each written by the document RTF writer one nesting
// level deeper. Tables inside cells use the nested forms: cells ending with "\nestcell",
// then the row definition alone in "{\*\nesttableprops ... \nestrow}". Lengths are screen
// pixels converted with the writer's twips-per-pixel scale, rounded half to even.
//
// Example: a 1 x 1 table with default properties opens its row with
//   {\trowd\trgaph30\trleft0\itap1\trpaddl15...
// ((1 padding + 0 border) * 2 + 2 spacing) * 15 / 2 = 30.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext/view/rd_platform_canvas.h"
#include "richtext_edit/tables/table_item.h"

namespace {

// A number as RTF holds it: the nearest integer (the default rounding mode: halves to
// even), within the 32 bits of a control word's parameter, whatever the table holds.
std::int64_t Round(double v) {
  constexpr double kMaxParameter = 2147483647.0;
  return std::llrint(std::clamp(v, -kMaxParameter, kMaxParameter));
}

// A percentage width in the fiftieths RTF counts it in.
std::string Fiftieths(int negativePercent) {
  return std::to_string(Round(-double(negativePercent) * 50));
}

class TTableRTF {
 public:
  // The cells' right edges come from columns, the layout of the table or of the table it
  // goes on from.
  TTableRTF(const TRDTableItemInfo& table, TCustomRDData* rdData, TRDRTFSaveContext& context,
            const TRDTableItemFormattingInfo& columns)
      : table_(table),
        data_(rdData),
        context_(context),
        scale_(context.TwipsPerPixel),
        rights_(ColumnRights(table, columns, scale_)) {}

  std::string Tw(double pixels) const { return std::to_string(Round(pixels * scale_)); }
  std::string Half(double pixels) const { return std::to_string(Round(pixels * scale_ / 2.0)); }

  std::string Extra(TRDRTFSaveArea area, int col, int row) const {
    if (!data_) return "";
    const TRDExportHooks& hooks = data_->GetAbsoluteRootData()->ExportHooks;
    return hooks.OnSaveRTFExtra ? hooks.OnSaveRTFExtra(area, col, row) : std::string();
  }

  std::string Border(const char* prefix, TRDTableBorderStyle style, int width, TColor color,
                     TColor lightColor, const TRDBooleanRect* visible) const {
    if (width <= 0) return "";
    const std::string w = Tw(width);
    TColor topLeft = color, bottomRight = color;
    if (style == rdtbRaisedColor) topLeft = lightColor;
    if (style == rdtbLoweredColor) bottomRight = lightColor;
    const auto kind = [&](TColor side) -> std::string {
      switch (style) {
        case rdtbRaised:
          return "\\brdroutset\\brdrw" + w;
        case rdtbLowered:
          return "\\brdrinset\\brdrw" + w;
        default:
          return "\\brdrs\\brdrw" + w + "\\brdrcf" + std::to_string(context_.ColorIndex(side));
      }
    };
    const std::string p = prefix;
    std::string out;
    if (!visible || visible->Left) out += "\\" + p + "brdrl" + kind(topLeft);
    if (!visible || visible->Top) out += "\\" + p + "brdrt" + kind(topLeft);
    if (!visible || visible->Right) out += "\\" + p + "brdrr" + kind(bottomRight);
    if (!visible || visible->Bottom) out += "\\" + p + "brdrb" + kind(bottomRight);
    return out;
  }

  std::string RowProperties(int r, const std::string& alignment) const {
    const TRDTableItemInfo& t = table_;
    const int level = context_.Level;
    std::string out = "\\trowd" + alignment + "\\trgaph" +
                      Half((double(t.CellPadding()) + t.CellBorderWidth()) * 2 + t.CellHSpacing()) +
                      "\\trleft0\\itap" + std::to_string(level + 1);
    if (r < t.HeadingRowCount()) out += "\\trhdr";
    if (const int h = t.Rows->Items(r)->GetBestHeight(); h > 0) out += "\\trrh" + Tw(h);
    const std::string pad = Tw(t.CellPadding());
    out += "\\trpaddl" + pad + "\\trpaddt" + pad + "\\trpaddr" + pad + "\\trpaddb" + pad +
           "\\trpaddfl3\\trpaddft3\\trpaddfr3\\trpaddfb3";
    const std::string hs = Half(t.CellHSpacing());
    out += "\\trspdl" + hs + "\\trspdr" + hs + "\\trspdfl3\\trspdfr3";
    const int last = t.RowCount() - 1;
    out += "\\trspdt" + Half(r == 0 ? t.BorderVSpacing() : t.CellVSpacing()) + "\\trspdft3";
    out += "\\trspdb" + Half(r == last ? t.BorderVSpacing() : t.CellVSpacing()) + "\\trspdfb3";
    if (t.BestWidth() > 0)
      out += "\\trwWidth" + Tw(double(t.BestWidth()) + 2.0 * t.BorderWidth()) + "\\trftsWidth3";
    else if (t.BestWidth() < 0)
      out += "\\trwWidth" + Fiftieths(t.BestWidth()) + "\\trftsWidth2";
    else
      out +=
          std::string("\\trftsWidth1") + ((t.Options & rdtoRTFAllowAutofit) ? "\\trautofit1" : "");
    if (!(t.PrintOptions & rdtoRowsSplit)) out += "\\trkeep\\trkeepfollow";
    out += "\\richviewtbw" + std::to_string(t.BestWidth());
    out += Border("tr", t.BorderStyle(), t.BorderWidth(), t.BorderColor(), t.BorderLightColor(),
                  &t.VisibleBorders());
    return out + Extra(rd_rtfs_Row, -1, r);
  }

  std::string CellDefinition(int r, int c, const TRDTableCellData& m, int mr, int mc) const {
    const TRDTableItemInfo& t = table_;
    const TRDTableCellData* slot = t.Rows->Peek(r, c);
    std::string out;
    if (!slot) {
      if (r > mr)
        out += "\\clvmrg";
      else if (m.RowSpan > 1)
        out += "\\clvmgf";
    } else {
      if (m.RowSpan > 1) out += "\\clvmgf";
      if (slot->BestWidth > 0)
        out += (t.Options & rdtoRTFSaveCellPixelBestWidth)
                   ? "\\clwWidth" + Tw(slot->BestWidth) + "\\clftsWidth3"
                   : std::string("\\clwWidth0");
      else if (slot->BestWidth < 0)
        out += "\\clwWidth" + Fiftieths(slot->BestWidth) + "\\clftsWidth2";
      else
        out += "\\clftsWidth1";
      out += "\\richviewcbw" + std::to_string(slot->BestWidth) + "\\richviewcbh" +
             std::to_string(slot->BestHeight);
    }
    out += Border("cl", t.CellBorderStyle(), t.CellBorderWidth(),
                  m.BorderColor != clNone ? m.BorderColor : t.CellBorderColor(),
                  m.BorderLightColor != clNone ? m.BorderLightColor : t.CellBorderLightColor(),
                  &m.VisibleBorders);
    if (const TColor color = t.GetCellColor(m); color != clNone)
      out += "\\clcbpat" + std::to_string(context_.ColorIndex(color));
    switch (m.GetRealVAlign()) {
      case rdcMiddle:
        out += "\\clvertalc";
        break;
      case rdcBottom:
        out += "\\clvertalb";
        break;
      default:
        break;
    }
    out += Extra(rd_rtfs_Cell, c, r);
    const int k = std::min(mc + m.ColSpan, int(rights_.size())) - 1;
    return out + "\\cellx" + std::to_string(k < 0 ? std::int64_t(0) : rights_[size_t(k)]);
  }

 private:
  // The right edge of each column in twips, half the spacing between cells beyond it.
  // Each edge lies a pixel or more beyond the one before: a column laid out without width
  // (every cell of it merged into a wider one) would else write a \cellx twice, which
  // readers take for one edge (LibreOffice then drops a vertical merge).
  static std::vector<std::int64_t> ColumnRights(const TRDTableItemInfo& table,
                                                const TRDTableItemFormattingInfo& columns,
                                                double scale) {
    const std::int64_t step = std::max<std::int64_t>(Round(scale), 2);
    std::vector<std::int64_t> rights;
    for (int k = 0; k < columns.ColStarts.Count(); ++k) {
      std::int64_t right = Round((double(columns.ColStarts[k]) + columns.ColWidths[k]) * scale +
                                 table.CellHSpacing() * scale / 2.0);
      if (!rights.empty()) right = std::max(right, Round(double(rights.back() + step)));
      rights.push_back(right);
    }
    return rights;
  }

  const TRDTableItemInfo& table_;
  TCustomRDData* data_;
  TRDRTFSaveContext& context_;
  double scale_;
  std::vector<std::int64_t> rights_;
};

// The table this writer wrote last: to which stream, as which item of which document.
struct TWrittenTable {
  const TStream* Stream = nullptr;
  const TCustomRDData* Data = nullptr;
  int ItemNo = -1;
  const TRDTableItemInfo* Table = nullptr;
};
thread_local TWrittenTable written_last;

// The colours a border names in RTF: none for a border that is not written (no width) or
// is written as outset or inset, which name no colour. A colour that nothing names would
// be an entry that no reader keeps.
void CollectBorderColors(TRDColorList& colors, TRDTableBorderStyle style, int width, TColor color,
                         TColor lightColor) {
  if (width <= 0 || style == rdtbRaised || style == rdtbLowered) return;
  colors.AddUniqueColor(color);
  if (style != rdtbColor) colors.AddUniqueColor(lightColor);
}

// Cell right edges come from the layout: a table never formatted is laid out first, on
// the canvas of the document that shows it, or, in a document never shown, on one of the
// screen's resolution (its cells, tables inside them too, are measured on the same).
void LayOutForExport(TRDTableItemInfo& table, TCustomRDData* rdData) {
  if (table.FormattingInfo->ColStarts.Count() == table.ColCount() || table.Rows->IsEmpty()) return;
  TCustomRDData* document = rdData ? rdData : table.GetDocument();
  TCustomRDData* root = document ? document->GetAbsoluteRootData() : nullptr;
  if (auto* formatted = dynamic_cast<TCustomRDFormattedData*>(root)) {
    table.Format(600, *table.FormattingInfo, formatted->GetCanvas(), true);
    return;
  }
  TBitmap bitmap;
  bitmap.SetSize(1, 1);
  TRDPlatformCanvas canvas(bitmap.Canvas());
  table.Format(600, *table.FormattingInfo, canvas, true);
}

}  // namespace

void TRDTableItemInfo::CollectRTFTables(TRDRTFSaveContext& context) const {
  TRDColorList& colors = context.ColorList;
  colors.AddUniqueColor(color_);
  CollectBorderColors(colors, border_style_, border_width_, border_color_, border_light_color_);
  CollectBorderColors(colors, cell_border_style_, cell_border_width_, cell_border_color_,
                      cell_border_light_color_);
  if (v_rule_width_ > 0) colors.AddUniqueColor(v_rule_color_);
  if (h_rule_width_ > 0) colors.AddUniqueColor(h_rule_color_);
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < Rows->GetColCount(); ++c)
      if (TRDTableCellData* cell = Rows->Peek(r, c)) {
        colors.AddUniqueColor(cell->Color);
        CollectBorderColors(colors, cell_border_style_, cell_border_width_, cell->BorderColor,
                            cell->BorderLightColor);
        // An edited cell's items are in its editor.
        CollectRTFItemTables(cell->Content(), context);
      }
}

// A table an RTF read made goes on in another after the largest table there is, its
// heading rows repeated at the top (rtf_importer_tables.cpp). RTF holds the two as the one
// table they came from: the second, written right after the first, takes the first's
// columns and leaves out its heading rows, when those write as the first's do.
const TRDTableItemInfo* TRDTableItemInfo::TableGoneOnFrom(const TStream& stream,
                                                          TCustomRDData* rdData, int itemNo,
                                                          TRDRTFSaveContext& context) const {
  // The item before this one, written last to this stream (the writer writes only the
  // start of this item's paragraph between them).
  const TRDTableItemInfo* before = written_last.Table;
  if (!rdData || itemNo < 1 || itemNo >= rdData->GetItemCount() || written_last.Data != rdData ||
      written_last.ItemNo != itemNo - 1 || rdData->GetItem(itemNo - 1) != before ||
      written_last.Stream != &stream || GetPageBreakBefore())
    return nullptr;
  const int h = HeadingRowCount();
  if (h <= 0 || h >= RowCount() || before->HeadingRowCount() != h || h > before->RowCount() ||
      before->ColCount() != ColCount() || before->FormattingInfo->ColStarts.Count() != ColCount())
    return nullptr;
  // Written aside, with what writing them changes in the context and the table written
  // last kept.
  const TWrittenTable kept = written_last;
  const int checkpointNo = context.CheckpointNo;
  const bool firstPara = context.FirstParaOfOutput;
  const auto row = [&](const TRDTableItemInfo& table, int r) {
    context.CheckpointNo = checkpointNo;
    context.FirstParaOfOutput = firstPara;
    return table.RowRTF(r, rdData, context, *before->FormattingInfo);
  };
  bool same = true;
  for (int r = 0; r < h && same; ++r) same = row(*this, r) == row(*before, r);
  written_last = kept;
  context.CheckpointNo = checkpointNo;
  context.FirstParaOfOutput = firstPara;
  return same ? before : nullptr;
}

std::string TRDTableItemInfo::RowRTF(int r, TCustomRDData* rdData, TRDRTFSaveContext& context,
                                     const TRDTableItemFormattingInfo& columns) const {
  TMemoryStream stream;
  WriteRowRTF(stream, r, rdData, context, columns);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

void TRDTableItemInfo::SaveRTF(TStream& stream, TCustomRDData* rdData, int itemNo,
                               TRDRTFSaveContext& context) const {
  LayOutForExport(const_cast<TRDTableItemInfo&>(*this), rdData);
  const TRDTableItemInfo* before = TableGoneOnFrom(stream, rdData, itemNo, context);
  const TRDTableItemFormattingInfo& columns = before ? *before->FormattingInfo : *FormattingInfo;
  for (int r = before ? HeadingRowCount() : 0; r < Rows->Count(); ++r)
    WriteRowRTF(stream, r, rdData, context, columns);
  // The paragraph after the table states all its properties again and is not preceded
  // by a paragraph end.
  context.FirstParaOfOutput = true;
  written_last = {&stream, rdData, itemNo, this};
}

void TRDTableItemInfo::WriteRowRTF(TStream& stream, int r, TCustomRDData* rdData,
                                   TRDRTFSaveContext& context,
                                   const TRDTableItemFormattingInfo& columns) const {
  const int level = context.Level;
  const bool nested = level > 0;
  const TTableRTF rtf(*this, rdData, context, columns);
  std::string alignment;
  if (const TRDStyle* rdStyle = rdData ? rdData->GetRDStyle() : nullptr) {
    const TRDAlignment a = rdStyle->ParaStyles().Items(ParaNo).Alignment;
    if (a == rdaRight) alignment = "\\trqr";
    if (a == rdaCenter) alignment = "\\trqc";
  }
  const std::string itap = "\\itap" + std::to_string(level + 1);
  const std::string cellEnd = nested ? "\\nestcell}" : "\\cell}";
  std::string definition = rtf.RowProperties(r, alignment);
  const int cols = Rows->Items(r)->Count();
  // The cell a slot shows: covered slots to the right of their cell write nothing.
  std::vector<bool> shown(size_t(cols), false);
  for (int c = 0; c < cols; ++c) {
    int mr, mc;
    const TRDTableCellData* main = Rows->PeekMainCell(r, c, mr, mc);
    if (!main || c > mc) continue;
    shown[size_t(c)] = true;
    definition += rtf.CellDefinition(r, c, *main, mr, mc);
  }
  // A nested row's cells come first and its definition after them, in the nesting
  // destination, which holds nothing else: readers that skip that destination, or read
  // no text from it, still find every cell. The group around the row gives the enclosing
  // cell its own paragraph properties back.
  StreamWriteString(
      stream, nested ? "{\\pard\\intbl" + itap : "{" + definition + "\\pard\\intbl" + itap + "{");
  for (int c = 0; c < cols; ++c) {
    if (!shown[size_t(c)]) continue;
    StreamWriteString(stream, "{");
    if (TRDTableCellData* cell = Rows->Peek(r, c)) {
      context.Level = level + 1;
      context.FirstParaOfOutput = true;
      SaveRTFBody(cell->Content(), stream, context, false);
      context.Level = level;
    }
    StreamWriteString(stream, cellEnd);
  }
  StreamWriteString(
      stream, nested ? "{\\*\\nesttableprops" + definition + "\\nestrow}{\\nonesttables\\par}}"
                     : "}\\pard\\intbl" + itap + "\\row}");
}

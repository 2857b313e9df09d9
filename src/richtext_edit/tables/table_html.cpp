// The table as HTML (one table element, presentational attributes, inline CSS when the
// writer uses it, background pictures, each cell's document written by the document
// HTML writer) and as plain text.
#include <cmath>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/html_image.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext_edit/tables/table_item.h"

namespace {

const char* const kVAlignNames[] = {"top", "middle", "bottom", ""};

bool IsPlainAttrValue(std::string_view value) {
  for (char c : value)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '%' && c != '#' && c != '.' &&
        c != '-')
      return false;
  return !value.empty();
}

// " name=value": empty when the value is empty or the default. Values we quoted are
// written as they are; anything else is escaped, and quoted unless it is a plain token.
std::string HTMLAttr(std::string_view name, const std::string& value, std::string_view def,
                     TRDSaveOptions options) {
  if (value.empty() || value == def) return "";
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  std::string out = " " + std::string(name) + "=";
  if (quoted)
    out += value;
  else if ((options & rdsoXHTML) || !IsPlainAttrValue(value))
    out += QuotedHTMLAttr(value);
  else
    out += value;
  return out;
}

std::string HTMLLength(int value, bool quoted) {
  if (value == 0) return "";
  if (value > 0) return std::to_string(value);
  const std::string text = std::to_string(-std::int64_t(value)) + "%";
  return quoted ? "\"" + text + "\"" : text;
}

void AppendWithSpace(std::string& s, const std::string& item) {
  if (item.empty()) return;
  if (!s.empty()) s += ' ';
  s += item;
}

std::string StyleAttr(const std::string& css) {
  return css.empty() ? "" : " style=" + QuotedHTMLAttr(css);
}

}  // namespace

namespace {

struct TTableHTML {
  const TRDTableItemInfo& table;
  TCustomRDData* data;
  TRDHTMLSaveContext& context;
  bool useCSS;
  bool cssMode;
  TRDSaveOptions options;

  // Where a background picture goes: the stored file name (relative to the output
  // folder) when asked for, else a file the export saves.
  std::string PictureLocation(const TRDBackground* background, const std::string& fileName,
                              TColor color, TColor parentColor) const {
    if (!background || !background->HasVisibleImage()) return "";
    std::string location;
    if (!fileName.empty() && (options & rdsoUseImageFileNames)) {
      location = HTMLFileLocation(fileName, context.Path);
    } else if (data) {
      const TColor saved = context.BackColor;
      context.BackColor = color == clNone ? parentColor : color;
      location = context.SaveImage(*data, *background->GetBitmap(), false);
      context.BackColor = saved;
    }
    return location.empty() ? "" : FilePathToHTML(location, options, context.CodePage);
  }

  std::string BackgroundAttrs(TColor own, TColor parent, const std::string& location) const {
    if (useCSS) return "";
    std::string out =
        HTMLAttr("bgcolor", ColorToHTMLString(own, true), ColorToHTMLString(parent, true), options);
    if (!location.empty()) out += " background=" + QuotedHTMLAttr(location);
    return out;
  }

  std::string CellBorderCSS(const TRDTableCellData* cell) const {
    if (!cssMode) return "";
    const TColor c =
        cell && cell->BorderColor != clNone ? cell->BorderColor : table.CellBorderColor();
    const TColor l = cell && cell->BorderLightColor != clNone ? cell->BorderLightColor
                                                              : table.CellBorderLightColor();
    const std::string cs = ColorToHTMLString(c, false), ls = ColorToHTMLString(l, false);
    std::string css;
    const int bw = table.BorderWidth(), cbw = table.CellBorderWidth();
    if ((bw != cbw || bw >= 2) && !(cbw == 1 && bw > 1))
      AppendWithSpace(css, "border-width : " + std::to_string(cbw) + "px;");
    if (cbw > 0) switch (table.CellBorderStyle()) {
        case rdtbRaised:
          AppendWithSpace(css, "border-style: outset;");
          break;
        case rdtbLowered:
          AppendWithSpace(css, "border-style: inset;");
          break;
        case rdtbColor:
          AppendWithSpace(css, "border-color: " + cs + "; border-style: solid;");
          break;
        case rdtbRaisedColor:
          AppendWithSpace(css, "border-color : " + ls + " " + cs + " " + cs + " " + ls +
                                   "; border-style: solid;");
          break;
        case rdtbLoweredColor:
          if (c == table.BorderColor() && l == table.BorderLightColor() &&
              (table.BorderStyle() == rdtbRaisedColor || table.BorderStyle() == rdtbLoweredColor))
            break;
          AppendWithSpace(css, "border-color : " + cs + " " + ls + " " + ls + " " + cs +
                                   "; border-style: solid;");
          break;
      }
    return css;
  }

  static void HiddenSides(std::string& css, const TRDBooleanRect& sides) {
    if (!sides.Top) AppendWithSpace(css, "border-top: none;");
    if (!sides.Right) AppendWithSpace(css, "border-right: none;");
    if (!sides.Bottom) AppendWithSpace(css, "border-bottom: none;");
    if (!sides.Left) AppendWithSpace(css, "border-left: none;");
  }

  std::string CellStyle(const TRDTableCellData& cell, const std::string& commonBorder,
                        const std::string& location) const {
    if (!cssMode) return "";
    std::string css = cell.BorderColor != clNone || cell.BorderLightColor != clNone
                          ? CellBorderCSS(&cell)
                          : commonBorder;
    const TRDBackground* background = cell.GetCellBackground();
    if (background && background->HasVisibleImage()) {
      const TRDItemBackgroundStyle style = cell.GetBackgroundStyle();
      if (style == rdbsStretched || style == rdbsCentered)
        AppendWithSpace(css, "background-position: center center; background-repeat: no-repeat;");
      else if (table.GetBackgroundStyle() == rdbsStretched ||
               table.GetBackgroundStyle() == rdbsCentered)
        AppendWithSpace(css, "background-position: left top; background-repeat: repeat;");
      if (useCSS && !location.empty())
        AppendWithSpace(css, "background-image: url(" + CSSQuotedString(location) + ");");
    }
    if (table.CellBorderWidth() > 0) HiddenSides(css, cell.VisibleBorders);
    if (cell.Color != table.Color() && !ColorToHTMLString(cell.Color, false).empty())
      AppendWithSpace(css, "background-color: " + ColorToHTMLString(cell.Color, false) + ";");
    if (useCSS && (options & rdsoCSSCellSizes)) {
      if (const std::string w = HTMLLength(cell.BestWidth, false); !w.empty())
        AppendWithSpace(css, "width: " + w + ";");
      if (const std::string h = HTMLLength(cell.BestHeight, false); !h.empty())
        AppendWithSpace(css, "height: " + h + ";");
    }
    return StyleAttr(css);
  }

  // zeroBorder: the table says border=1 so that browsers draw its cells' borders, and
  // takes its own border width back here, in its one style attribute.
  std::string TableStyle(int spacing, const std::string& location, bool zeroBorder) const {
    if (!cssMode) return "";
    std::string css = zeroBorder ? "border-width : 0px;" : "";
    const std::string bc = ColorToHTMLString(table.BorderColor(), false);
    const std::string lc = ColorToHTMLString(table.BorderLightColor(), false);
    if (table.BorderWidth() > 0) switch (table.BorderStyle()) {
        case rdtbLowered:
          AppendWithSpace(css, "border-style: inset;");
          break;
        case rdtbColor:
          if (useCSS) AppendWithSpace(css, "border-color: " + bc + "; border-style: solid;");
          break;
        case rdtbRaisedColor:
          AppendWithSpace(css, "border-color: " + lc + " " + bc + " " + bc + " " + lc +
                                   "; border-style: solid;");
          break;
        case rdtbLoweredColor:
          AppendWithSpace(css, "border-color: " + bc + " " + lc + " " + lc + " " + bc +
                                   "; border-style: solid;");
          break;
        default:
          break;
      }
    if (table.GetBackgroundStyle() == rdbsStretched || table.GetBackgroundStyle() == rdbsCentered)
      AppendWithSpace(css, "background-position: center center; background-repeat: no-repeat;");
    if (useCSS && !location.empty())
      AppendWithSpace(css, "background-image: url(" + CSSQuotedString(location) + ");");
    if (const std::string c = ColorToHTMLString(table.Color(), false); !c.empty())
      AppendWithSpace(css, "background-color: " + c + ";");
    if (spacing < 0) AppendWithSpace(css, "border-collapse: collapse;");
    if (table.BorderWidth() > 0) HiddenSides(css, table.VisibleBorders());
    return StyleAttr(css);
  }
};

}  // namespace

void TRDTableItemInfo::SaveHTML(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                                TRDHTMLSaveContext& context) const {
  const TRDSaveOptions options = context.SaveOptions;
  TTableHTML html{
      *this,  rdData, context, context.UseCSS, context.UseCSS || (options & rdsoInlineCSS) != 0,
      options};
  const std::string commonBorder = html.CellBorderCSS(nullptr);
  const int spacing = int(std::nearbyint((cell_v_spacing_ + cell_h_spacing_) / 2.0));
  const bool zeroBorder = html.cssMode && border_width_ < 1 && cell_border_width_ != 0;
  const std::string border = " border=" + IntToHTMLAttr(zeroBorder ? 1 : border_width_, options);
  std::string colors;
  if (!context.UseCSS) {
    const std::string c = ColorToHTMLString(border_color_, true);
    const std::string l = ColorToHTMLString(border_light_color_, true);
    switch (border_style_) {
      case rdtbColor:
        colors = HTMLAttr("bordercolor", c, "", options);
        break;
      case rdtbRaisedColor:
        colors = HTMLAttr("bordercolorlight", l, "", options) +
                 HTMLAttr("bordercolordark", c, "", options);
        break;
      case rdtbLoweredColor:
        colors = HTMLAttr("bordercolorlight", c, "", options) +
                 HTMLAttr("bordercolordark", l, "", options);
        break;
      default:
        break;
    }
  }
  const std::string tableLocation =
      html.PictureLocation(background_.get(), background_image_file_name_, color_, clNone);
  std::string out = "<table" + HTMLAttr("width", HTMLLength(best_width_, true), "", options) +
                    border + HTMLAttr("cellpadding", std::to_string(cell_padding_), "", options) +
                    colors + HTMLAttr("cellspacing", std::to_string(spacing), "", options) +
                    html.BackgroundAttrs(color_, clNone, tableLocation) +
                    html.TableStyle(spacing, tableLocation, zeroBorder) + ">";
  StreamWriteLine(stream, out);
  const TRDSaveOptions cellOptions =
      TRDSaveOptions((options | rdsoBodyOnly) & ~(rdsoHeadOnly | rdsoEndOnly));
  for (int r = 0; r < Rows->Count(); ++r) {
    const TRDTableRow& row = *Rows->Items(r);
    StreamWriteLine(stream,
                    "<tr" + HTMLAttr("valign", kVAlignNames[row.VAlign], "", options) + ">");
    for (int c = 0; c < row.Count(); ++c) {
      TRDTableCellData* cell = row.Peek(c);
      if (!cell) continue;
      std::string sizes;
      if (!(context.UseCSS && (options & rdsoCSSCellSizes)))
        sizes = HTMLAttr("width", HTMLLength(cell->BestWidth, true), "", options) +
                HTMLAttr("height", HTMLLength(cell->BestHeight, true), "", options);
      const TColor cellColor = GetCellColor(*cell);
      const std::string location = html.PictureLocation(
          cell->GetCellBackground(), cell->BackgroundImageFileName, cellColor, color_);
      StreamWriteString(
          stream, "<td" + HTMLAttr("colspan", std::to_string(cell->ColSpan), "1", options) +
                      HTMLAttr("rowspan", std::to_string(cell->RowSpan), "1", options) + sizes +
                      HTMLAttr("valign", kVAlignNames[cell->VAlign], "", options) +
                      html.BackgroundAttrs(cell->Color, color_, location) +
                      html.CellStyle(*cell, commonBorder, location) + ">");
      if (cell->HasData(true)) {
        TRDHTMLSaveParams params;
        params.Path = context.Path;
        params.ImagePrefix = context.ImagePrefix;
        params.Options = cellOptions;
        params.PageColor = cellColor;
        if (context.UseCSS)
          SaveHTMLExToStream(cell->Content(), stream, params);
        else
          SaveHTMLToStream(cell->Content(), stream, params);
      } else {
        StreamWriteLine(stream, "<br" + GetHTMLEmptyTagEnd(options) + ">");
      }
      StreamWriteLine(stream, "</td>");
    }
    StreamWriteLine(stream, "</tr>");
  }
  StreamWriteLine(stream, "</table>");
}

std::string TRDTableItemInfo::AsText(int, TCustomRDData*) const {
  return AsText(false);
}

std::string TRDTableItemInfo::AsUnicodeText(int, TCustomRDData*) const {
  return AsText(true);
}

std::string TRDTableItemInfo::AsText(bool unicode) const {
  std::string rowSeparator = TextRowSeparator, colSeparator = TextColSeparator;
  // Cells one a line keep no grid: a slot covered by a merged cell would only add a blank
  // line that no paragraph of the table has. Cells joined on a line keep their columns.
  const bool keepGrid = colSeparator.find_first_of("\r\n") == std::string::npos;
  if (unicode) {
    const TCustomRDData* document = GetDocument();
    const int codePage = document ? document->GetStyleCodePage(0) : CP_ACP;
    rowSeparator = AnsiToRawUnicode(codePage, rowSeparator);
    colSeparator = AnsiToRawUnicode(codePage, colSeparator);
  }
  // Separators stand between rows and between cells only: the writer that puts the table
  // out ends its line before whatever follows it.
  TMemoryStream out;
  bool firstRow = true;
  for (int r = 0; r < Rows->Count(); ++r) {
    const TRDTableRow& row = *Rows->Items(r);
    bool firstSlot = true;
    for (int c = 0; c < row.Count(); ++c) {
      TRDTableCellData* cell = row.Peek(c);
      if (!cell && !keepGrid) continue;
      if (firstSlot && !firstRow) StreamWriteString(out, rowSeparator);
      if (!firstSlot) StreamWriteString(out, colSeparator);
      if (cell) SaveTextToStream(cell->Content(), out, 80, false, false, unicode, false);
      firstSlot = firstRow = false;
    }
  }
  return std::string(static_cast<const char*>(out.Memory()), size_t(out.Size()));
}

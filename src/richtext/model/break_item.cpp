#include "richtext/model/break_item.h"

#include <algorithm>
#include <cmath>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/rd_colors.h"
#include "richtext/model/html_save_context.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/rdf_item_record.h"
#include "richtext/model/rtf_save_context.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {
constexpr int kBreakMargin = 5;
}  // namespace

std::unique_ptr<TCustomRDItemInfo> TRDBreakItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDBreakItemInfo>(rdData);
}

bool TRDBreakItemInfo::QueryItemFlag(std::uint8_t code) const {
  return code == 2 ? false : TRDFullLineItemInfo::QueryItemFlag(code);
}

bool TRDBreakItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const {
  return code == 0 ? false : TRDFullLineItemInfo::QueryItemFlagEx(code, rdStyle);
}

void DrawFrame3D(TRDCanvas& canvas, TRect r, TColor topColor, TColor bottomColor, int width) {
  const int rounds = std::max(width, 1);
  const bool full = rounds <= r.Bottom - r.Top;
  for (int i = 0; i < rounds; ++i) {
    canvas.PenColor = topColor;
    canvas.MoveTo(r.Left, r.Bottom);
    canvas.LineTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Top);
    if (full) {
      canvas.PenColor = bottomColor;
      canvas.LineTo(r.Right, r.Bottom);
      canvas.LineTo(r.Left, r.Bottom);
      r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    } else {
      r = TRect{r.Left, r.Top + 1, r.Right, r.Bottom - 1};
    }
  }
}

void TRDBreakItemInfo::DrawShape(TRDCanvas& canvas, int left, int right, int top, int w, int margin,
                                 int frameWidth, TColor color, TColor shadow, TColor face) const {
  const int x1 = left + margin, x2 = right - margin, y = top + margin;
  const int t = y - w / 2;
  canvas.PenColor = color;
  canvas.PenStyle = psInsideFrame;
  switch (Style) {
    case rdbrsRectangle:
      canvas.PenWidth = frameWidth;
      canvas.Rectangle(x1, t, x2, t + w);
      break;
    case rdbrs3D:
      canvas.PenWidth = 1;
      DrawFrame3D(canvas, TRect{x1, t, x2 - 1, t + w - 1}, shadow, face, frameWidth);
      break;
    case rdbrsDotted:
      canvas.BrushStyle = bsSolid;
      canvas.BrushColor = color;
      canvas.PenStyle = psClear;
      // A zero width would never advance: such a line has no dots at all.
      for (int x = x1; w > 0 && x + w < x2; x += 2 * w) {
        if (w > 2)
          canvas.Ellipse(x, t, x + w + 1, t + w + 1);
        else
          canvas.FillRect(TRect{x, t, x + w, t + w});
      }
      break;
    case rdbrsDashed:
      canvas.BrushStyle = bsSolid;
      canvas.BrushColor = color;
      canvas.PenStyle = psClear;
      for (int x = x1; w > 0 && x < x2; x += 3 * w)
        canvas.FillRect(TRect{x, t, std::min(x + 2 * w, x2), t + w});
      break;
    default:
      canvas.PenWidth = w;
      canvas.MoveTo(x1, y);
      canvas.LineTo(x2, y);
      break;
  }
  canvas.PenStyle = psSolid;
  canvas.PenWidth = 1;
  canvas.BrushStyle = bsClear;
}

void TRDBreakItemInfo::PaintFullWidth(int left, int right, int top, TRDCanvas& canvas,
                                      TRDItemPaintState state, TRDStyle& rdStyle) const {
  const TColor color = Color == clNone ? rdStyle.TextStyles().Items(0).Color : Color;
  DrawShape(canvas, left, right, top, LineWidth, kBreakMargin, 1, color, clBtnShadow, clBtnFace);
  if (!(state & rdipsSelected)) return;
  const TColor frame = (state & rdipsFocused) ? rdStyle.SelColor : rdStyle.InactiveSelColor;
  if (frame == clNone) return;
  const int x1 = left + kBreakMargin, x2 = right - kBreakMargin,
            t = top + kBreakMargin - LineWidth / 2;
  canvas.PenColor = frame;
  canvas.Rectangle(x1, t - 1, x2, t + LineWidth + 1);
}

void TRDBreakItemInfo::Print(TRDCanvas& canvas, int x, int y, int right, TRDColorMode colorMode,
                             const TRDResolution& r, TRDStyle& rdStyle,
                             const TRDDrawLineInfo*) const {
  const TColor base = Color == clNone ? rdStyle.TextStyles().Items(0).Color : Color;
  const int frameWidth =
      int(std::lround(double(r.DevicePixelsPerInchY) / std::max(r.ScreenPixelsPerInchY, 1)));
  canvas.PenMode = pmCopy;
  // Printed measures are device pixels: the margin and width grow by the device ratio.
  DrawShape(canvas, x, right, y, ScreenToDeviceY(LineWidth, r), ScreenToDeviceX(kBreakMargin, r),
            frameWidth, ConvertTextColor(base, colorMode), ConvertTextColor(clBtnShadow, colorMode),
            ConvertTextColor(clBtnFace, colorMode));
}

void TRDBreakItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  TRDFullLineItemInfo::AssignProperties(source);
  if (const auto* s = dynamic_cast<const TRDBreakItemInfo*>(&source)) {
    LineWidth = s->LineWidth;
    Style = s->Style;
    Color = s->Color;
  }
}

std::string TRDBreakItemInfo::GetRDFHeaderExtra(TCustomRDData*) const {
  return std::to_string(Color) + " " + std::to_string(int(Style)) + " " +
         std::to_string(int(LineWidth));
}

bool TRDBreakItemInfo::ReadRDFHeader(std::string_view& rest, TCustomRDData*) {
  if (rest.empty() || rest.front() == '\r' || rest.front() == '\n') {
    Color = clNone;
    Style = rdbrsLine;
    LineWidth = 1;
    return true;
  }
  int color, style, width;
  if (!RDFReadInteger(rest, color) || !RDFReadInteger(rest, style) || !RDFReadInteger(rest, width))
    return false;
  if (style < rdbrsLine || style > rdbrsDashed || width < 0 || width > 255) return false;
  Color = color;
  Style = TRDBreakStyle(style);
  LineWidth = std::uint8_t(width);
  return true;
}

void TRDBreakItemInfo::SaveRDF(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                               bool) const {
  StreamWriteLine(stream, RDFItemHeader(*this, rdData, GetRDFExtraPropertyCount(), 0, false));
  SaveRDFExtraProperties(stream);
}

std::string TRDBreakItemInfo::GetHTML(TCustomRDData* rdData, bool useCSS,
                                      TRDSaveOptions saveOptions) const {
  std::string hint;
  if (!Hint.empty()) {
    hint = HintToAttr(1, Hint) + " ";
    if (saveOptions & rdsoUTF8) hint = AnsiToUTF8(rdData ? rdData->GetDefaultCodePage() : 0, hint);
  }
  std::string style;
  if (useCSS || (saveOptions & rdsoInlineCSS)) {
    if (Color != clNone) style = "color : " + ColorToHTMLString(Color, false);
    if (Style == rdbrsDotted) AppendWithSeparator(style, "border-style: dotted", "; ");
    if (Style == rdbrsDashed) AppendWithSeparator(style, "border-style: dashed", "; ");
  }
  const std::string noShade = HTMLBooleanAttr("noshade", saveOptions);
  const std::string size = IntToHTMLAttr(LineWidth, saveOptions);
  const std::string end = GetHTMLEmptyTagEnd(saveOptions);
  if (!style.empty())
    return "<hr " + noShade + " size=" + size + " " + hint + "style=" + QuotedHTMLAttr(style) +
           end + ">";
  if (Color != clNone)
    return "<hr " + noShade + " size=" + size + " " + hint +
           "color=" + ColorToHTMLString(Color, true) + end + ">";
  return "<hr " + noShade + " " + hint + "size=" + size + end + ">";
}

void TRDBreakItemInfo::SaveHTML(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                                TRDHTMLSaveContext& context) const {
  StreamWriteString(stream, GetHTML(rdData, context.UseCSS, context.SaveOptions));
}

std::string TRDBreakItemInfo::GetRTF(int level, const TRDColorList& colorList,
                                     double twipsPerPixel) const {
  std::string table;
  if (level == 1) table = "\\intbl\\itap1";
  if (level > 1) table = "\\itap" + std::to_string(level);
  const int colorIndex = Color == clNone ? 0 : std::max(colorList.IndexOfColor(Color), 0);
  return "\\pard" + table + "\\plain\\fs6\\brdrb\\brdrs\\brdrw" +
         std::to_string(std::lround(LineWidth * twipsPerPixel)) + "\\brdrcf" +
         std::to_string(colorIndex) + "\\par\\pard" + table;
}

void TRDBreakItemInfo::SaveRTF(TStream& stream, TCustomRDData*, int,
                               TRDRTFSaveContext& context) const {
  StreamWriteString(stream, GetRTF(context.Level, context.ColorList, context.TwipsPerPixel));
}

void TRDBreakItemInfo::CollectRTFTables(TRDRTFSaveContext& context) const {
  context.ColorList.AddUniqueColor(Color);
}

std::string TRDBreakItemInfo::AsText(int lineWidth, TCustomRDData*) const {
  return std::string(size_t(std::max(lineWidth, 1)), LineWidth <= 1 ? '-' : '=');
}

#include "richtext/model/tab_item.h"

#include <algorithm>

#include "platform/text/streams.h"
#include "richtext/base/unicode_html.h"
#include "richtext/model/draw_lines.h"
#include "richtext/model/html_save_context.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/rdf_item_record.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {
constexpr int kDefaultSpacesInTab = 8;
constexpr int kArrowMinWidth = 5;
constexpr int kArrowMaxLength = 10;
}  // namespace

std::unique_ptr<TCustomRDItemInfo> TRDTabItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDTabItemInfo>(rdData);
}

int TRDTabItemInfo::ActualTextStyleNo(const TRDStyle& rdStyle) const {
  if (TextStyleNo != kFollowParaStyleNo) return TextStyleNo;
  int defStyleNo = rdStyle.ParaStyles().Items(ParaNo).DefStyleNo;
  return defStyleNo < 0 ? 0 : defStyleNo;
}

bool TRDTabItemInfo::QueryItemFlag(std::uint8_t code) const {
  return code == 4 || code == 6 || code == 13 || TRDRectItemInfo::QueryItemFlag(code);
}

bool TRDTabItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const {
  if (code == 0) return false;
  if (code == 5) return true;
  return TRDRectItemInfo::QueryItemFlagEx(code, rdStyle);
}

void TRDTabItemInfo::AdjustToDocWidth(TRDCanvas& canvas, TRDStyle& rdStyle, int, int& width,
                                      int& height, int& descent) const {
  const int styleNo = ActualTextStyleNo(rdStyle);
  rdStyle.ApplyStyle(canvas, styleNo, rdbdUnspecified, false);
  rdStyle.ApplyStyleColor(canvas, styleNo, 0, false, 0);
  TRDTextMetrics metrics;
  canvas.GetTextMetrics(metrics);
  height = metrics.Height;
  descent = metrics.Descent;
  width = 0;
}

void TRDTabItemInfo::DrawTab(int x, int y, int width, int height, TRDCanvas& canvas,
                             TRDItemPaintState state, TRDStyle& rdStyle, bool printing,
                             TRDColorMode colorMode) const {
  const int styleNo = ActualTextStyleNo(rdStyle);
  TRDTextDrawStates drawState = 0;
  if (state & rdipsSelected) drawState |= rdtsSelected;
  if (state & rdipsHover) drawState |= rdtsHover;
  if (state & rdipsFocused) drawState |= rdtsControlFocused;
  rdStyle.ApplyStyle(canvas, styleNo, rdbdUnspecified, false);
  rdStyle.ApplyStyleColor(canvas, styleNo, drawState, printing, colorMode);
  if (canvas.BrushColor != clNone && canvas.BrushStyle != bsClear)
    canvas.FillRect(Bounds(x, y, width, height));
  TRDOutlineTextMetrics outline;
  if ((canvas.Font.Style & fsUnderline) && canvas.GetOutlineTextMetrics(outline)) {
    TRDTextMetrics metrics;
    canvas.GetTextMetrics(metrics);
    canvas.PenColor = canvas.Font.Color;
    canvas.PenWidth = outline.UnderscoreSize;
    canvas.PenStyle = psInsideFrame;
    const int lineY = y + metrics.Ascent - outline.UnderscorePosition + outline.UnderscoreSize / 2;
    canvas.MoveTo(x - 1, lineY);
    canvas.LineTo(x + width + 1, lineY);
    canvas.PenStyle = psSolid;
    canvas.PenWidth = 1;
  }
  if (!printing && (state & rdipsSpecialCharacters)) {
    const int w = std::max(width, kArrowMinWidth);
    const int length = std::min(w, kArrowMaxLength);
    const int cx = (x + x + width + length) / 2;
    const int cy = (y + y + height) / 2;
    canvas.PenColor = canvas.Font.Color;
    canvas.MoveTo(cx, cy);
    canvas.LineTo(cx - length - 1, cy);
    const bool rightToLeft = rdStyle.TextStyles().Items(styleNo).BiDiMode == rdbdRightToLeft;
    for (int k = 1; k <= 3; ++k) {
      const int sx = rightToLeft ? cx - length + k : cx - k;
      const int reach = k == 1 ? 1 : 2;
      canvas.MoveTo(sx, cy - reach);
      canvas.LineTo(sx, cy + reach + 1);
    }
  }
  if (!Leader.empty()) {
    rdStyle.ApplyStyleColor(canvas, styleNo, drawState, printing, colorMode);
    canvas.BrushStyle = bsClear;
    const int leaderWidth = canvas.TextWidthA(Leader);
    if (leaderWidth > 0)
      for (int lx = x + leaderWidth; lx + leaderWidth <= x + width - leaderWidth; lx += leaderWidth)
        canvas.TextOutA(lx, y, Leader);
  }
}

void TRDTabItemInfo::Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state,
                           TRDStyle& rdStyle, const TRDDrawLineInfo& drawItem) const {
  DrawTab(x, y, drawItem.Width, drawItem.Height, canvas, state, rdStyle, false, 0);
}

void TRDTabItemInfo::Print(TRDCanvas& canvas, int x, int y, int, TRDColorMode colorMode,
                           const TRDResolution&, TRDStyle& rdStyle,
                           const TRDDrawLineInfo* drawItem) const {
  if (drawItem)
    DrawTab(x, y, drawItem->Width, drawItem->Height, canvas, 0, rdStyle, true, colorMode);
}

void TRDTabItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  TRDRectItemInfo::AssignProperties(source);
  if (const auto* s = dynamic_cast<const TRDTabItemInfo*>(&source)) {
    TextStyleNo = s->TextStyleNo;
    Leader = s->Leader;
  }
}

std::string TRDTabItemInfo::GetRDFHeaderExtra(TCustomRDData*) const {
  return std::to_string(TextStyleNo);
}

bool TRDTabItemInfo::ReadRDFHeader(std::string_view& rest, TCustomRDData*) {
  if (rest.empty() || rest.front() == '\r' || rest.front() == '\n') return true;
  int value;
  if (!RDFReadInteger(rest, value) || value < 0) return false;
  TextStyleNo = value;
  return true;
}

void TRDTabItemInfo::SaveRDF(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                             bool) const {
  StreamWriteLine(stream, RDFItemHeader(*this, rdData, GetRDFExtraPropertyCount(), 0, false));
  SaveRDFExtraProperties(stream);
}

std::string TRDTabItemInfo::GetHTML(const TRDStyle* rdStyle, TRDSaveOptions saveOptions) const {
  const int spaces =
      rdStyle && rdStyle->SpacesInTab >= 1 ? rdStyle->SpacesInTab : kDefaultSpacesInTab;
  std::string run;
  int copies;
  if (Leader.empty()) {
    run = std::string(" ") + HTMLNoBreakSpace(saveOptions & rdsoXHTML);
    copies = (spaces + 1) / 2;
  } else {
    run = EscapeHTML(Leader, false, saveOptions);
    copies = (spaces + int(Leader.size()) - 1) / int(Leader.size());
  }
  std::string out;
  for (int i = 0; i < copies; ++i) out += run;
  return out;
}

void TRDTabItemInfo::SaveHTML(TStream& stream, TCustomRDData* rdData, int, const std::string&,
                              TRDHTMLSaveContext& context) const {
  StreamWriteString(stream, GetHTML(rdData ? rdData->GetRDStyle() : nullptr, context.SaveOptions));
}

void TRDTabItemInfo::SaveRTF(TStream& stream, TCustomRDData*, int, TRDRTFSaveContext&) const {
  StreamWriteString(stream, "\\tab ");
}

std::string TRDTabItemInfo::AsText(int, TCustomRDData*) const {
  return "\t";
}

void TRDTabItemInfo::MarkStylesInUse(TRDStyleUsage& usage) const {
  TRDRectItemInfo::MarkStylesInUse(usage);
  if (TextStyleNo != kFollowParaStyleNo && TextStyleNo >= 0 &&
      TextStyleNo < usage.UsedTextStyles.Count())
    usage.UsedTextStyles.SetValue(TextStyleNo, 1);
}

void TRDTabItemInfo::UpdateStyles(const TRDStyleUsage& usage) {
  TRDRectItemInfo::UpdateStyles(usage);
  if (TextStyleNo != kFollowParaStyleNo) Renumber(TextStyleNo, usage.UsedTextStyles);
}

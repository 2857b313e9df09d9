#include "richtext/styles/rd_style.h"

#include <array>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/invalid_picture.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/unicode_html.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext/styles/style_template.h"

namespace {

constexpr int kPageBreakMarkSize = 8;
constexpr int kCheckpointRadius = 2;

// The stand-in for a picture that cannot be shown: a grey frame with a red cross.
std::unique_ptr<TGraphic> MakeInvalidPicture() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->Assign(InvalidPictureMark());
  return bitmap;
}

}  // namespace

TRDStyle::TRDStyle(TComponent* owner) : TComponent(owner) {
  text_styles_ =
      std::make_unique<TFontInfos>([this](TCustomRDInfos* c) { return CreateTextStyle(c); }, this);
  para_styles_ =
      std::make_unique<TParaInfos>([this](TCustomRDInfos* c) { return CreateParaStyle(c); }, this);
  list_styles_ = std::make_unique<TRDListInfos>(
      [this](TCustomRDInfos* c) { return CreateListStyle(c); }, this);
  style_templates_ = std::make_unique<TRDStyleTemplateCollection>(this);
}

TRDStyle::~TRDStyle() = default;

std::unique_ptr<TCustomRDInfo> TRDStyle::CreateTextStyle(TCustomRDInfos* collection) const {
  return CreateFontInfo(collection);
}
std::unique_ptr<TCustomRDInfo> TRDStyle::CreateParaStyle(TCustomRDInfos* collection) const {
  return CreateParaInfo(collection);
}
std::unique_ptr<TCustomRDInfo> TRDStyle::CreateListStyle(TCustomRDInfos* collection) const {
  return CreateListInfo(collection);
}

TParaInfos& TRDStyle::DefaultParaStyles() const {
  if (para_defaults_pending_) {
    para_defaults_pending_ = false;
    para_styles_->Clear();
    para_styles_->Add();
    TParaInfo& centered = para_styles_->Add();
    centered.SetStyleName("Centered");
    centered.Alignment = rdaCenter;
  }
  return *para_styles_;
}

TFontInfos& TRDStyle::DefaultTextStyles() const {
  if (!text_defaults_pending_) return *text_styles_;
  text_defaults_pending_ = false;
  text_styles_->Clear();
  text_styles_->Add().SetStyleName("Normal text");
  struct Default {
    const char* name;
    TFontStyles style;
    TColor color;
    bool jump;
  };
  constexpr Default kDefaults[] = {{"Heading", fsBold, 0xFF0000, false},
                                   {"Subheading", fsBold, 0x800000, false},
                                   {"Keywords", fsItalic, 0x000080, false},
                                   {"Jump 1", fsUnderline, 0x008000, true},
                                   {"Jump 2", fsUnderline, 0x008000, true}};
  for (const Default& d : kDefaults) {
    TFontInfo& style = text_styles_->Add();
    style.SetStyleName(d.name);
    style.Style = d.style;
    style.Color = d.color;
    style.Jump = d.jump;
    if (d.jump) style.JumpCursor = JumpCursor;
  }
  return *text_styles_;
}

const TGraphic& TRDStyle::InvalidPicture() {
  if (!invalid_picture_) invalid_picture_ = MakeInvalidPicture();
  return *invalid_picture_;
}

void TRDStyle::SetInvalidPicture(const TGraphic* picture) {
  if (picture == invalid_picture_.get()) return;
  invalid_picture_ = picture ? picture->Clone() : nullptr;
}

void TRDStyle::SetTextStyles(const TFontInfos& value) {
  text_defaults_pending_ = false;
  text_styles_->AssignItems(value);
}
void TRDStyle::SetParaStyles(const TParaInfos& value) {
  para_defaults_pending_ = false;
  para_styles_->AssignItems(value);
}

void TRDStyle::Loaded() {
  Loading = false;
  style_templates_->UpdateParents();
}

void TRDStyle::ApplyStyle(TRDCanvas& canvas, int styleNo, TRDBiDiMode defBiDiMode,
                          bool canUseCustomPPI) {
  bool doDefault = true;
  if (OnApplyStyle) OnApplyStyle(this, canvas, styleNo, doDefault);
  if (doDefault) TextStyles().Items(styleNo).Apply(canvas, defBiDiMode, canUseCustomPPI);
}

void TRDStyle::ApplyStyleColor(TRDCanvas& canvas, int styleNo, TRDTextDrawStates drawState,
                               bool printing, TRDColorMode colorMode) {
  bool doDefault = true;
  if (OnApplyStyleColor) OnApplyStyleColor(this, canvas, styleNo, drawState, doDefault);
  if (doDefault)
    TextStyles().Items(styleNo).ApplyColor(canvas, *this, drawState, printing, colorMode);
}

void TRDStyle::DrawStyleText(const std::string& s, TRDCanvas& canvas, int itemNo, int offsetInItem,
                             int styleNo, TCustomRDData* rdData, int spaceBefore, int left, int top,
                             int width, int height, TRDTextDrawStates drawState, bool printing,
                             bool previewCorrection, TRDColorMode colorMode,
                             TRDBiDiMode defBiDiMode) {
  bool doDefault = true;
  if (OnDrawStyleText) {
    drawing_data_ = rdData;
    drawing_item_no_ = itemNo;
    drawing_offset_in_item_ = offsetInItem;
    OnDrawStyleText(this, s, canvas, styleNo, spaceBefore, left, top, width, height, drawState,
                    doDefault);
  }
  if (doDefault)
    TextStyles().Items(styleNo).Draw(s, canvas, styleNo, spaceBefore, left, top, width, height,
                                     *this, drawState, printing, previewCorrection, colorMode,
                                     defBiDiMode);
}

void TRDStyle::DrawTextBack(TRDCanvas& canvas, int itemNo, int styleNo, TCustomRDData* rdData,
                            int left, int top, int width, int height, TRDTextDrawStates drawState) {
  if (!OnDrawTextBack) return;
  drawing_data_ = rdData;
  drawing_item_no_ = itemNo;
  bool doDefault = true;
  OnDrawTextBack(this, canvas, styleNo, left, top, width, height, drawState, doDefault);
}

TColor TRDStyle::GetHoverColorByStyleNo(int styleNo) const {
  return GetHoverColor(TextStyles().Items(styleNo).HoverColor);
}

bool TRDStyle::IsStyleHoverSensitive(int styleNo) {
  const TFontInfo& style = TextStyles().Items(styleNo);
  bool sensitive =
      GetHoverColorByStyleNo(styleNo) != clNone || style.HoverBackColor != style.BackColor;
  if (OnStyleHoverSensitive) OnStyleHoverSensitive(this, styleNo, sensitive);
  return sensitive;
}

void TRDStyle::DrawCheckpoint(TRDCanvas& canvas, int x, int y, int left, int width,
                              TCustomRDData* rdData, int itemNo, int xShift, bool raiseEvent) {
  drawing_data_ = rdData;
  drawing_item_no_ = itemNo;
  bool doDefault = true;
  if (OnDrawCheckpoint) OnDrawCheckpoint(this, canvas, x, y, itemNo, xShift, raiseEvent, doDefault);
  if (!doDefault) return;
  canvas.PenWidth = 1;
  canvas.PenColor = raiseEvent ? CheckpointEvColor : CheckpointColor;
  canvas.BrushStyle = bsClear;
  if (itemNo != -1) {
    canvas.PenStyle = psSolid;
    canvas.Ellipse(x - kCheckpointRadius, y - kCheckpointRadius, x + kCheckpointRadius,
                   y + kCheckpointRadius);
  } else {
    canvas.PenStyle = psDot;
    canvas.MoveTo(left - xShift, y);
    canvas.LineTo(left + width - xShift, y);
  }
  canvas.PenStyle = psSolid;
  canvas.BrushStyle = bsClear;
}

void TRDStyle::DrawPageBreak(TRDCanvas& canvas, int y, int xShift, TRDPageBreakType pageBreakType,
                             int clientWidth) {
  bool doDefault = true;
  if (OnDrawPageBreak) OnDrawPageBreak(this, canvas, y, xShift, pageBreakType, doDefault);
  if (!doDefault) return;
  const int end = clientWidth - xShift - kPageBreakMarkSize;
  canvas.PenWidth = 1;
  canvas.PenStyle = psSolid;
  canvas.PenColor = pageBreakType == rdpbPageBreak ? PageBreakColor : SoftPageBreakColor;
  canvas.MoveTo(-xShift, y);
  canvas.LineTo(end, y);
  const std::array<TPoint, 3> corner{TPoint{end, y},
                                     TPoint{end + kPageBreakMarkSize, y + kPageBreakMarkSize},
                                     TPoint{end, y + kPageBreakMarkSize}};
  canvas.BrushStyle = bsSolid;
  canvas.BrushColor = clWindow;
  canvas.Polygon(corner);
  canvas.PenStyle = psSolid;
  canvas.BrushStyle = bsClear;
}

void TRDStyle::DrawParaBack(TRDCanvas& canvas, int paraNo, const TRect& rect, bool printing,
                            TRDColorMode colorMode) {
  bool doDefault = true;
  if (OnDrawParaBack) OnDrawParaBack(this, canvas, paraNo, rect, doDefault);
  if (doDefault) ParaStyles().Items(paraNo).Background.Draw(rect, canvas, printing, colorMode);
}

void TRDStyle::GetNextTab(int paraNo, int x, const TRDResolution& scaleInfo, int origin,
                          int& position, std::string& leader, TRDTabAlign& align,
                          TRDBiDiMode defBiDiMode, int leftIndent, int rightIndent) const {
  const TParaInfo& para = ParaStyles().Items(paraNo);
  const TRDBiDiMode mode = defBiDiMode != rdbdUnspecified ? defBiDiMode : para.BiDiMode;
  const bool rightToLeft = mode == rdbdRightToLeft;
  int pos = x - origin;
  if (rightToLeft) pos += rightIndent - leftIndent;
  const int limit = rightToLeft ? rightIndent : leftIndent;
  leader.clear();
  align = rdtaLeft;
  bool found = false;
  for (int i = 0; i < para.Tabs.Count() && !found; ++i) {
    const TRDTabInfo& tab = para.Tabs.Items(i);
    int t = ScreenToDeviceX(tab.Position, scaleInfo);
    if (pos < limit && limit < t) {
      position = origin + limit;
      found = true;
    } else if (t > pos) {
      position = origin + t;
      leader = tab.Leader;
      align = tab.Align;
      found = true;
    }
  }
  if (!found) {
    int lastTab = para.Tabs.Count() > 0
                      ? ScreenToDeviceX(para.Tabs.Items(para.Tabs.Count() - 1).Position, scaleInfo)
                      : 0;
    if (pos < limit && (para.Tabs.Count() == 0 || limit > lastTab)) {
      position = origin + limit;
    } else {
      int step = ScreenToDeviceX(std::max(DefTabWidth, 1), scaleInfo);
      if (step < 1) step = 1;
      position = origin + (pos + step) / step * step;
    }
  }
  if (rightToLeft) position -= rightIndent - leftIndent;
}

std::string TRDStyle::GetCSS(unsigned options) const {
  const bool utf8 = options & cssUTF8;
  const bool plainFirst = options & cssPlainFirstStyles;
  std::string out;
  auto line = [&](const std::string& s) { out += s + "\r\n"; };
  auto comment = [&](const TCustomRDInfo& style) -> std::string {
    if (!style.Standard()) return "";
    // A name must neither end the comment nor, inside a style element, the element, and
    // holds nothing markup cannot carry.
    std::string name = style.StyleName();
    ReplaceAllStr(name, "*/", "*_");
    for (char& c : name)
      if (c == '<' || c == '>' || c == '&') c = '_';
    EraseNonMarkupChars(name);
    return " /* " + (utf8 ? AnsiToUTF8(DefCodePage, name) : name) + " */";
  };
  line("/* ========== Text Styles ========== */");
  line("hr { color: " + ColorToHTMLString(TextStyles().Items(0).Color, false) + "}");
  const TFontInfo& first = TextStyles().Items(0);
  const bool firstPlain =
      TextStyles().Count() > 0 && !first.Jump && first.BackColor == clNone && !plainFirst;
  for (int i = 0; i < TextStyles().Count(); ++i) {
    const TFontInfo& style = TextStyles().Items(i);
    if (i == 0 && firstPlain)
      line("body, table" + comment(style));
    else if (style.Jump)
      line("a.rdts" + std::to_string(i) + ", span.rdts" + std::to_string(i) + comment(style));
    else
      line("span.rdts" + std::to_string(i) + comment(style));
    const TFontInfo* base = nullptr;
    if ((options & cssUseBaseStyles) && style.BaseStyleNo() >= 0 &&
        style.BaseStyleNo() < TextStyles().Count())
      base = &TextStyles().Items(style.BaseStyleNo());
    else if (i > 0 && firstPlain)
      base = &first;
    line("{");
    out += style.GetCSS(base, true, utf8);
    line("}");
    TColor hover = GetHoverColor(style.HoverColor);
    if (style.Jump && (hover != clNone || style.HoverBackColor != clNone)) {
      out += "a.rdts" + std::to_string(i) + ":hover {";
      TColor baseHover = base ? GetHoverColor(base->HoverColor) : clNone;
      bool writeColor = !base        ? hover != clNone
                        : base->Jump ? hover != baseHover
                                     : (hover != clNone || hover != baseHover);
      if (writeColor) out += " color: " + ColorToHTMLString(hover, false) + ";";
      bool writeBack = !base        ? style.HoverBackColor != clNone
                       : base->Jump ? style.HoverBackColor != base->HoverBackColor
                                    : (style.HoverBackColor != clNone ||
                                       style.HoverBackColor != base->HoverBackColor);
      if (writeBack)
        out += " background-color: " + ColorToHTMLString(style.HoverBackColor, false) + ";";
      line(" }");
    }
  }
  line("/* ========== Para Styles ========== */");
  for (int i = 0; i < ParaStyles().Count(); ++i) {
    const TParaInfo& style = ParaStyles().Items(i);
    if (i == 0 && !plainFirst)
      line("p,ul,ol" + comment(style));
    else
      line(".rdps" + std::to_string(i) + comment(style));
    const TParaInfo* base = nullptr;
    if ((options & cssUseBaseStyles) && style.BaseStyleNo() >= 0 &&
        style.BaseStyleNo() < ParaStyles().Count())
      base = &ParaStyles().Items(style.BaseStyleNo());
    else if (i >= 1 && !plainFirst)
      base = &ParaStyles().Items(0);
    line("{");
    out += style.GetCSS(base, true, options & cssIgnoreLeftAlignment, false);
    line("}");
  }
  return out;
}

void TRDStyle::SaveCSSToStream(TStream& stream, unsigned options) const {
  RDWrite(stream, GetCSS(options));
}

void RDWrite(TStream& stream, std::string_view s) {
  StreamWriteString(stream, s);
}

void RDWriteLn(TStream& stream, std::string_view s) {
  StreamWriteLine(stream, s);
}

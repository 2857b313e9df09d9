#include "richtext/view/rd_platform_canvas.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/wide_text.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/symbol_fonts.h"

namespace {

TTextDirection ToTextDirection(TRDBiDiMode mode) {
  switch (mode) {
    case rdbdLeftToRight:
      return TTextDirection::LeftToRight;
    case rdbdRightToLeft:
      return TTextDirection::RightToLeft;
    default:
      return TTextDirection::Auto;
  }
}

}  // namespace

TRDPlatformCanvas::TRDPlatformCanvas(TCanvas& canvas) : canvas_(canvas) {}

TTextRunDirection TRDPlatformCanvas::RunDirection() const {
  return {ToTextDirection(ReadingDirection)};
}

TRDPlatformCanvas::~TRDPlatformCanvas() = default;

const TPreparedFont& TRDPlatformCanvas::Prepared() {
  if (last_prepared_ && Font.Name == last_font_.Name && Font.Height == last_font_.Height &&
      Font.Width == last_font_.Width && Font.Style == last_font_.Style &&
      Font.PixelsPerInch == last_font_.PixelsPerInch && CharacterExtra == last_extra_)
    return *last_prepared_;
  const TPreparedFont& prepared = PreparedAt(Stretch());
  last_font_ = Font;
  last_extra_ = CharacterExtra;
  last_prepared_ = &prepared;
  return prepared;
}

const TPreparedFont& TRDPlatformCanvas::PreparedAt(int stretch) {
  TFontKey key{Font.Name,      Font.Height, Font.PixelsPerInch, unsigned(Font.Style),
               CharacterExtra, stretch};
  auto& slot = fonts_[key];
  if (!slot) {
    TFont font;
    // Picture fonts are drawn as the Unicode characters they stand for (see Shown).
    font.SetName(SymbolFontOf(Font.Name) == TRDSymbolFont::None ? Font.Name : SymbolFontStandIn());
    font.SetHeight(Font.Height);
    font.SetStyle(Font.Style);
    slot = std::make_unique<TPreparedFont>(font, CharacterExtra, stretch);
  }
  return *slot;
}

int TRDPlatformCanvas::Stretch() {
  if (Font.Width <= 0) return 100;
  // A width is an average character's, as a style that scales its characters asks for
  // it: the face is stretched by it over the face's own average.
  const int natural = std::max(1, PreparedAt(100).Metrics().AveCharWidth);
  return int(
      std::clamp<std::int64_t>((std::int64_t(Font.Width) * 100 + natural / 2) / natural, 1, 4000));
}

const std::u16string& TRDPlatformCanvas::Wide(std::string_view text) {
  if (SymbolFontOf(Font.Name) != TRDSymbolFont::None) {
    // The codes of a picture font are no characters of a code page: Shown maps them.
    wide_.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) wide_[i] = std::uint8_t(text[i]);
    wide_per_byte_ = true;
    return wide_;
  }
  const int codePage = CharsetToCodePage(Font.Charset);
  if (codePage != table_code_page_) {
    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i) all[size_t(i)] = char(i);
    const std::u16string wide = RawUnicodeToWideString(AnsiToRawUnicode(codePage, all));
    // A code page with characters of two bytes has no one-to-one table.
    if (wide.size() != 256) {
      wide_ = RawUnicodeToWideString(AnsiToRawUnicode(codePage, text));
      wide_per_byte_ = false;
      return wide_;
    }
    std::copy(wide.begin(), wide.end(), table_);
    table_code_page_ = codePage;
  }
  wide_.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) wide_[i] = table_[std::uint8_t(text[i])];
  wide_per_byte_ = true;
  return wide_;
}

void TRDPlatformCanvas::SyncPenAndBrush() {
  canvas_.Brush().SetColor(BrushColor);
  canvas_.Brush().SetStyle(BrushStyle);
  canvas_.Pen().SetColor(PenColor);
  canvas_.Pen().SetWidth(PenWidth);
  canvas_.Pen().SetStyle(PenStyle);
  canvas_.Pen().SetMode(PenMode);
}

int TRDPlatformCanvas::TextWidthA(std::string_view text) {
  return TextWidthW(Wide(text));
}

int TRDPlatformCanvas::TextWidthW(std::u16string_view text) {
  return Prepared().TextWidth(Shown(text));
}

void TRDPlatformCanvas::PrefixWidthsA(std::string_view text, std::vector<int>& extents) {
  const std::u16string& wide = Wide(text);
  // A prefix of bytes of a double-byte code page may end inside a character: measured
  // one by one.
  if (wide_per_byte_)
    PrefixWidthsW(wide, extents);
  else
    TRDCanvas::PrefixWidthsA(text, extents);
}

void TRDPlatformCanvas::PrefixWidthsW(std::u16string_view text, std::vector<int>& extents) {
  // Shown maps character for character, so its prefixes are those of the text.
  Prepared().PrefixExtents(Shown(text), extents);
}

namespace {

class TPreparedPrefixes : public TRDCanvas::TTextPrefixes {
 public:
  TPreparedPrefixes(const TPreparedFont& font, std::u16string_view text) : widths_(font, text) {}
  int Width(size_t count) override { return widths_.Width(count); }

 private:
  TPreparedFont::TPrefixWidths widths_;
};

}  // namespace

std::unique_ptr<TRDCanvas::TTextPrefixes> TRDPlatformCanvas::TextPrefixesW(
    std::u16string_view text) {
  // A picture font shows other characters than the text's, in a buffer the next
  // measuring reuses.
  if (SymbolFontOf(Font.Name) != TRDSymbolFont::None) return TRDCanvas::TextPrefixesW(text);
  return std::make_unique<TPreparedPrefixes>(Prepared(), text);
}

std::u16string_view TRDPlatformCanvas::Shown(std::u16string_view text) {
  const TRDSymbolFont symbol = SymbolFontOf(Font.Name);
  if (symbol == TRDSymbolFont::None) return text;
  shown_ = SymbolFontToUnicode(symbol, text);
  return shown_;
}

bool TRDPlatformCanvas::GetTextMetrics(TRDTextMetrics& metrics) {
  const TFontCellMetrics& m = Prepared().Metrics();
  metrics.Height = m.Height;
  metrics.Ascent = m.Ascent;
  metrics.Descent = m.Descent;
  metrics.AveCharWidth = m.AveCharWidth;
  metrics.ExternalLeading = m.ExternalLeading;
  return m.Height > 0;
}

bool TRDPlatformCanvas::GetOutlineTextMetrics(TRDOutlineTextMetrics& metrics) {
  const TFontCellMetrics& m = Prepared().Metrics();
  metrics.UnderscoreSize = m.LineWidth;
  metrics.UnderscorePosition = -m.UnderlinePosition;
  return true;
}

bool TRDPlatformCanvas::GetCharacterPlacementW(std::u16string_view text, unsigned,
                                               TRDCharacterPlacement& result) {
  result = TRDCharacterPlacement{};
  // Placed as the font lays the characters out, the character extra left out.
  const int extra = CharacterExtra;
  CharacterExtra = 0;
  const TPreparedFont& font = Prepared();
  CharacterExtra = extra;
  TPreparedFont::TPlacement placement;
  font.Place(Shown(text), placement, RunDirection());
  result.Order = std::move(placement.Slots);
  result.Dx = std::move(placement.Advances);
  result.Class.resize(text.size());
  for (size_t k = 0; k < text.size(); ++k)
    result.Class[k] = placement.RightToLeft[k] ? GCPCLASS_RIGHTTOLEFT : GCPCLASS_LATIN;
  for (int dx : result.Dx) result.Width += dx;
  result.Height = font.Metrics().Height;
  return true;
}

bool TRDPlatformCanvas::GetCharacterPlacementA(std::string_view text, unsigned flags,
                                               TRDCharacterPlacement& result) {
  const std::u16string wide = Wide(text);
  // A character of two bytes has one place for both.
  if (!wide_per_byte_) return TRDCanvas::GetCharacterPlacementA(text, flags, result);
  return GetCharacterPlacementW(wide, flags, result);
}

void TRDPlatformCanvas::TextOutA(int x, int y, std::string_view text) {
  TextOutW(x, y, Wide(text));
}

void TRDPlatformCanvas::TextOutW(int x, int y, std::u16string_view text) {
  ExtTextOutW(x, y, 0, nullptr, text, {});
}

void TRDPlatformCanvas::ExtTextOutA(int x, int y, unsigned options, const TRect* clip,
                                    std::string_view text, std::span<const int> dx) {
  ExtTextOutW(x, y, options, clip, Wide(text), dx);
}

void TRDPlatformCanvas::ExtTextOutW(int x, int y, unsigned options, const TRect* clip,
                                    std::u16string_view text, std::span<const int> dx) {
  text = Shown(text);
  SyncPenAndBrush();
  // TextOut fills the text's box with a solid brush; ExtTextOut only with ETO_OPAQUE.
  const bool opaque = clip ? (options & ETO_OPAQUE) != 0 : BrushStyle == bsSolid;
  CanvasTextOutW(canvas_, Prepared(), Font.Color, x, y, text, dx,
                 clip && (options & (ETO_CLIPPED | ETO_OPAQUE)) ? clip : nullptr, opaque,
                 RunDirection());
}

void TRDPlatformCanvas::FillRect(const TRect& rect) {
  if (BrushStyle == bsClear || BrushColor == clNone) return;
  SyncPenAndBrush();
  canvas_.FillRect(rect);
}

void TRDPlatformCanvas::FillLinePattern(const TRect& line, bool vertical, std::uint8_t pattern) {
  if (BrushStyle == bsClear || BrushColor == clNone) return;
  SyncPenAndBrush();
  canvas_.FillLinePattern(line, vertical, pattern);
}

void TRDPlatformCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  SyncPenAndBrush();
  canvas_.Rectangle(x1, y1, x2, y2);
}

void TRDPlatformCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  SyncPenAndBrush();
  canvas_.Ellipse(x1, y1, x2, y2);
}

void TRDPlatformCanvas::MoveTo(int x, int y) {
  canvas_.MoveTo(x, y);
}

void TRDPlatformCanvas::LineTo(int x, int y) {
  SyncPenAndBrush();
  canvas_.LineTo(x, y);
}

void TRDPlatformCanvas::Polyline(std::span<const TPoint> points) {
  SyncPenAndBrush();
  canvas_.Polyline(points);
}

void TRDPlatformCanvas::Polygon(std::span<const TPoint> points) {
  SyncPenAndBrush();
  canvas_.Polygon(points);
}

void TRDPlatformCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) {
  canvas_.StretchDraw(rect, graphic);
}

void TRDPlatformCanvas::Draw(int x, int y, const TGraphic& graphic) {
  canvas_.Draw(x, y, graphic);
}

void TRDPlatformCanvas::TileDraw(const TRect& rect, const TRect& copy, const TGraphic& graphic) {
  canvas_.TileDraw(rect, copy, graphic);
}

void TRDPlatformCanvas::SaveState() {
  CanvasSaveState(canvas_);
}

void TRDPlatformCanvas::RestoreState() {
  CanvasRestoreState(canvas_);
}

void TRDPlatformCanvas::IntersectClipRect(const TRect& rect) {
  CanvasIntersectClip(canvas_, rect);
}

TRect TRDPlatformCanvas::VisibleRect() const {
  return canvas_.ClipRect();
}

bool TRDPlatformCanvas::RectVisible(const TRect& rect) const {
  return canvas_.RectVisible(rect);
}

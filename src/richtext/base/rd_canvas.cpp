#include "richtext/base/rd_canvas.h"

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/text_routines.h"

namespace {
constexpr int kPointsPerInch = 72;
}

int TRDFont::Size() const {
  return -RDMulDiv(Height, kPointsPerInch, PixelsPerInch);
}

void TRDFont::SetSize(int points) {
  Height = -RDMulDiv(points, PixelsPerInch, kPointsPerInch);
}

void TRDCanvas::PrefixWidthsA(std::string_view text, std::vector<int>& extents) {
  extents.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) extents[i] = TextWidthA(text.substr(0, i + 1));
}

void TRDCanvas::PrefixWidthsW(std::u16string_view text, std::vector<int>& extents) {
  extents.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) extents[i] = TextWidthW(text.substr(0, i + 1));
}

namespace {

class TEachPrefix : public TRDCanvas::TTextPrefixes {
 public:
  TEachPrefix(TRDCanvas& canvas, std::u16string_view text) : canvas_(canvas), text_(text) {}
  int Width(size_t count) override { return canvas_.TextWidthW(text_.substr(0, count)); }

 private:
  TRDCanvas& canvas_;
  std::u16string_view text_;
};

}  // namespace

std::unique_ptr<TRDCanvas::TTextPrefixes> TRDCanvas::TextPrefixesW(std::u16string_view text) {
  return std::make_unique<TEachPrefix>(*this, text);
}

bool TRDCanvas::GetCharacterPlacementW(std::u16string_view text, unsigned,
                                       TRDCharacterPlacement& result) {
  result = TRDCharacterPlacement{};
  for (size_t i = 0; i < text.size(); ++i) {
    result.Order.push_back(int(i));
    result.Dx.push_back(TextWidthW(text.substr(i, 1)) - CharacterExtra);
    result.Class.push_back(GCPCLASS_LATIN);
    result.Width += result.Dx.back();
  }
  TRDTextMetrics metrics;
  result.Height = GetTextMetrics(metrics) ? metrics.Height : 0;
  return true;
}

bool TRDCanvas::GetCharacterPlacementA(std::string_view text, unsigned flags,
                                       TRDCharacterPlacement& result) {
  return GetCharacterPlacementW(
      RawUnicodeToWideString(AnsiToRawUnicode(CharsetToCodePage(Font.Charset), text)), flags,
      result);
}

bool TRDCanvas::RectVisible(const TRect& rect) const {
  const TRect visible = VisibleRect();
  return rect.Left < visible.Right && visible.Left < rect.Right && rect.Top < visible.Bottom &&
         visible.Top < rect.Bottom;
}

void TRDCanvas::FillLinePattern(const TRect& line, bool vertical, std::uint8_t pattern) {
  const int first = vertical ? line.Top : line.Left, end = vertical ? line.Bottom : line.Right;
  for (std::int64_t p = first; p < end; ++p)
    if (pattern >> ((p - first) % 8) & 1)
      FillRect(vertical ? Rect(line.Left, int(p), line.Left + 1, int(p) + 1)
                        : Rect(int(p), line.Top, int(p) + 1, line.Top + 1));
}

void TRDCanvas::Draw(int x, int y, const TGraphic& graphic) {
  StretchDraw(Bounds(x, y, graphic.Width(), graphic.Height()), graphic);
}

void TRDCanvas::TileDraw(const TRect& rect, const TRect& copy, const TGraphic& graphic) {
  SaveState();
  IntersectClipRect(rect);
  const int width = copy.Width(), height = copy.Height();
  ForEachTile(rect, copy.Left, copy.Top, width, height,
              [&](int left, int top) { StretchDraw(Bounds(left, top, width, height), graphic); });
  RestoreState();
}

void GetResolutionInfo(TRDResolution& resolution, const TRDCanvas& canvas) {
  resolution.ScreenPixelsPerInchX = GetScreenLogPixelsX();
  resolution.ScreenPixelsPerInchY = GetScreenLogPixelsY();
  resolution.DevicePixelsPerInchX = canvas.PixelsPerInchX;
  resolution.DevicePixelsPerInchY = canvas.PixelsPerInchY;
}

#include "richtext/support/raster_canvas.h"

#include <algorithm>
#include <cstdlib>

#include "richtext/base/code_pages.h"

namespace {

bool IsZeroWidth(char16_t c) {
  return c == 0x200B || c == 0x200D || c == 0x2060;
}

std::u16string Widen(std::string_view text) {
  return RawUnicodeToWideString(AnsiToRawUnicode(1252, text));
}

}  // namespace

TRasterCanvas::TRasterCanvas(int width, int height, TColor background)
    : width_(width), height_(height), pixels_(size_t(width * height), background) {}

TColor TRasterCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
  return pixels_[size_t(y * width_ + x)];
}

int TRasterCanvas::CountPixels(TColor color) const {
  return int(std::count(pixels_.begin(), pixels_.end(), color));
}

void TRasterCanvas::Set(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || color == clNone) return;
  pixels_[size_t(y * width_ + x)] = ColorToRGB(color);
}

int TRasterCanvas::TextWidthA(std::string_view text) {
  return TextWidthW(Widen(text));
}

int TRasterCanvas::TextWidthW(std::u16string_view text) {
  int width = 0;
  for (char16_t c : text) width += (IsZeroWidth(c) ? 0 : kCharWidth) + CharacterExtra;
  return width;
}

bool TRasterCanvas::GetTextMetrics(TRDTextMetrics& metrics) {
  metrics =
      TRDTextMetrics{kLineHeight, kAscent, kLineHeight - kAscent, kCharWidth, kExternalLeading};
  return true;
}

bool TRasterCanvas::GetOutlineTextMetrics(TRDOutlineTextMetrics& metrics) {
  metrics = TRDOutlineTextMetrics{1, -1};
  return true;
}

void TRasterCanvas::Glyphs(int x, int y, const std::u16string& text, std::span<const int> dx) {
  int cx = x;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u' ' && !IsZeroWidth(text[i]))
      for (int gy = y + 1; gy < y + kAscent; ++gy)
        for (int gx = cx + 1; gx < cx + kCharWidth - 1; ++gx) Set(gx, gy, Font.Color);
    cx += i < dx.size() ? dx[i] : (IsZeroWidth(text[i]) ? 0 : kCharWidth) + CharacterExtra;
  }
}

void TRasterCanvas::TextOutA(int x, int y, std::string_view text) {
  Log.push_back("TextOut " + std::to_string(x) + "," + std::to_string(y) + " " + std::string(text));
  std::u16string wide = Widen(text);
  if (BrushStyle == bsSolid) {
    TColor saved = BrushColor;
    FillRect(Bounds(x, y, TextWidthW(wide), kLineHeight));
    BrushColor = saved;
  }
  Glyphs(x, y, wide, {});
}

void TRasterCanvas::TextOutW(int x, int y, std::u16string_view text) {
  Log.push_back("TextOutW " + std::to_string(x) + "," + std::to_string(y) + " " +
                std::to_string(text.size()));
  if (BrushStyle == bsSolid) FillRect(Bounds(x, y, TextWidthW(text), kLineHeight));
  Glyphs(x, y, std::u16string(text), {});
}

void TRasterCanvas::ExtTextOutA(int x, int y, unsigned options, const TRect* clip,
                                std::string_view text, std::span<const int> dx) {
  ExtTextOutW(x, y, options, clip, Widen(text), dx);
}

void TRasterCanvas::ExtTextOutW(int x, int y, unsigned options, const TRect* clip,
                                std::u16string_view text, std::span<const int> dx) {
  std::string advances;
  for (int d : dx) advances += " " + std::to_string(d);
  Log.push_back("ExtTextOut " + std::to_string(x) + "," + std::to_string(y) + advances);
  if ((options & ETO_OPAQUE) && clip) FillRect(*clip);
  Glyphs(x, y, std::u16string(text), dx);
}

void TRasterCanvas::FillRect(const TRect& rect) {
  Log.push_back("FillRect " + std::to_string(rect.Left) + "," + std::to_string(rect.Top) + "," +
                std::to_string(rect.Right) + "," + std::to_string(rect.Bottom));
  if (BrushStyle == bsClear) return;
  // Only the grid's part: a document may fill far beyond it.
  for (int y = std::max(rect.Top, 0); y < std::min(rect.Bottom, height_); ++y)
    for (int x = std::max(rect.Left, 0); x < std::min(rect.Right, width_); ++x)
      Set(x, y, BrushColor);
}

void TRasterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Log.push_back("Rectangle " + std::to_string(x1) + "," + std::to_string(y1) + "," +
                std::to_string(x2) + "," + std::to_string(y2));
  if (BrushStyle != bsClear) FillRect(TRect{x1, y1, x2, y2});
  if (PenStyle == psClear) return;
  Line(x1, y1, x2 - 1, y1, true);
  Line(x2 - 1, y1, x2 - 1, y2 - 1, true);
  Line(x2 - 1, y2 - 1, x1, y2 - 1, true);
  Line(x1, y2 - 1, x1, y1, true);
}

void TRasterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Log.push_back("Ellipse " + std::to_string(x1) + "," + std::to_string(y1) + "," +
                std::to_string(x2) + "," + std::to_string(y2));
  if (BrushStyle != bsClear) FillRect(TRect{x1, y1, x2, y2});
}

void TRasterCanvas::MoveTo(int x, int y) {
  pen_ = TPoint{x, y};
}

void TRasterCanvas::Line(int x1, int y1, int x2, int y2, bool includeEnd) {
  if (PenStyle == psClear) return;
  int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int step = 0;
  for (;;) {
    bool atEnd = x1 == x2 && y1 == y2;
    if (atEnd && !includeEnd) break;
    if (PenStyle != psDot || step % 2 == 0) Set(x1, y1, PenColor);
    ++step;
    if (atEnd) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y1 += sy;
    }
  }
}

void TRasterCanvas::LineTo(int x, int y) {
  Log.push_back("Line " + std::to_string(pen_.X) + "," + std::to_string(pen_.Y) + "-" +
                std::to_string(x) + "," + std::to_string(y) + (PenStyle == psDot ? " dotted" : ""));
  Line(pen_.X, pen_.Y, x, y, false);
  pen_ = TPoint{x, y};
}

void TRasterCanvas::Polyline(std::span<const TPoint> points) {
  Log.push_back("Polyline " + std::to_string(points.size()));
  for (size_t i = 1; i < points.size(); ++i)
    Line(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y, i + 1 == points.size());
}

void TRasterCanvas::Polygon(std::span<const TPoint> points) {
  Log.push_back("Polygon " + std::to_string(points.size()));
  for (size_t i = 0; i < points.size(); ++i) {
    const TPoint& a = points[i];
    const TPoint& b = points[(i + 1) % points.size()];
    Line(a.X, a.Y, b.X, b.Y, true);
  }
}

void TRasterCanvas::StretchDraw(const TRect& rect, const TGraphic&) {
  Log.push_back("StretchDraw " + std::to_string(rect.Left) + "," + std::to_string(rect.Top) + "," +
                std::to_string(rect.Right) + "," + std::to_string(rect.Bottom));
}

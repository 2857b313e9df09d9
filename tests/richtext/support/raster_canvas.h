// A canvas for tests: a pixel grid with fixed box metrics. Every character is
// kCharWidth pixels wide (zero-width characters 0) and kLineHeight high; a character is
// drawn as a block (x+1..x+kCharWidth-2, y+1..y+kAscent-1) in the font colour, a space as
// nothing; the font advises kExternalLeading pixels between lines. Lines are drawn
// pixel by pixel, one pixel wide whatever the pen width.
#pragma once

#include <string>
#include <vector>

#include "richtext/base/rd_canvas.h"

class TRasterCanvas : public TRDCanvas {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kLineHeight = 10;
  static constexpr int kAscent = 8;
  static constexpr int kExternalLeading = 3;

  TRasterCanvas(int width, int height, TColor background = clWhite);

  TColor Pixel(int x, int y) const;
  int CountPixels(TColor color) const;
  // Every call made, one line each (for checks of what was asked, not only its pixels).
  std::vector<std::string> Log;

  int TextWidthA(std::string_view text) override;
  int TextWidthW(std::u16string_view text) override;
  bool GetTextMetrics(TRDTextMetrics& metrics) override;
  bool GetOutlineTextMetrics(TRDOutlineTextMetrics& metrics) override;
  void TextOutA(int x, int y, std::string_view text) override;
  void TextOutW(int x, int y, std::u16string_view text) override;
  void ExtTextOutA(int x, int y, unsigned options, const TRect* clip, std::string_view text,
                   std::span<const int> dx) override;
  void ExtTextOutW(int x, int y, unsigned options, const TRect* clip, std::u16string_view text,
                   std::span<const int> dx) override;
  void FillRect(const TRect& rect) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Polyline(std::span<const TPoint> points) override;
  void Polygon(std::span<const TPoint> points) override;
  void StretchDraw(const TRect& rect, const TGraphic& graphic) override;

 private:
  void Set(int x, int y, TColor color);
  void Line(int x1, int y1, int x2, int y2, bool includeEnd);
  void Glyphs(int x, int y, const std::u16string& text, std::span<const int> dx);
  int width_;
  int height_;
  std::vector<TColor> pixels_;
  TPoint pen_;
};

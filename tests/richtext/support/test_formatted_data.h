// A formatted document shown in a window of a given client size with scroll ranges
// kept in pixels, measured on a raster canvas (every character 6 x 10 pixels): the
// layout rules can be checked by their numbers.
#pragma once

#include <algorithm>

#include "richtext/layout/formatted_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/raster_canvas.h"

class TTestFormattedData : public TCustomRDFormattedData {
 public:
  TTestFormattedData(int width, int height)
      : canvas(width, height), width_(width), height_(height) {
    SetRDStyle(&style);
  }
  ~TTestFormattedData() override { Clear(); }

  TRDStyle style;
  TRasterCanvas canvas;
  int margin = 5;
  int area_width = 0;
  int area_height = 0;
  int v_offs = 0;
  int area_calls = 0;
  // A scroll bar that takes this many pixels of width once the document is taller than
  // the window (0: none).
  int bar_width = 0;
  int max_length = 0;

  int GetMaxLength() const override { return max_length; }
  int GetAreaWidth() const override { return area_width; }
  int GetAreaHeight() const override { return area_height; }
  int GetLeftMargin() const override { return margin; }
  int GetRightMargin() const override { return margin; }
  int GetTopMargin() const override { return margin; }
  int GetBottomMargin() const override { return margin; }
  int GetMinTextWidth() const override { return 0; }
  int GetMaxTextWidth() const override { return 0; }
  int GetWidth() const override { return width_ - (area_height > height_ ? bar_width : 0); }
  int GetHeight() const override { return height_; }
  void SetDocumentAreaSize(int width, int height, bool) override {
    area_width = width;
    area_height = height;
    ++area_calls;
  }
  void AdjustVScrollUnits() override {}
  int GetVOffs() const override { return v_offs; }
  void ScrollTo(int y, bool) override {
    v_offs = std::clamp(y, 0, std::max(0, area_height - height_));
  }
  void HScrollTo(int) override {}
  int GetVSmallStep() const override { return 1; }
  TRDBackground* GetBackground() override { return nullptr; }
  TColor GetBackgroundColor() const override { return clWhite; }
  TRDCanvas& GetCanvas() override { return canvas; }

  void Format() { FormatItems(false, true, false, 0, nullptr, false, true, false); }
  // Lays the document out and paints its top and its end, as the window would show them.
  void FormatAndPaint() {
    Format();
    PaintTo(canvas, Rect(0, 0, width_, height_));
    ScrollTo(area_height, false);
    PaintTo(canvas, Rect(0, 0, width_, height_));
  }
  void FormatTail() { FormatItems(false, true, false, 0, nullptr, true, true, false); }
  const TRDDrawLineInfo& Line(int d) const { return *DrawItems[d]; }

 private:
  int width_;
  int height_;
};

// The flat bar gauge: signal levels, the log player's progress, beacon countdowns.
//
// A sunken trough with a raised bar growing to the right (pbHorizontal) or upward
// (pbVertical), optional two-tone fills (GlowPaint) and tiled pictures, and the
// percentage centred in the bar when it fits.
#pragma once

#include <memory>

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/bitmap.h"

enum TProgressBarOrientation { pbHorizontal, pbVertical };

// Bar length in pixels for Position in Min..Max on a trough of Extent pixels with
// Border pixels of margin at both ends. The fraction (Position - Min) / (Max - Min) is
// kept within 0..1; Max <= Min gives 0. Rounded to nearest, halves to even.
int ProgressBarLength(int Extent, int Border, int Min, int Max, int Position);
// The percentage shown in the bar, by the same fraction.
int ProgressPercent(int Min, int Max, int Position);

class TMyProgressBar : public TGraphicControl {
 public:
  explicit TMyProgressBar(TComponent* AOwner);
  ~TMyProgressBar() override;

  int Min() const { return min_; }
  // A value above Max becomes Max.
  void SetMin(int Value);
  int Max() const { return max_; }
  void SetMax(int Value);
  int Position() const { return position_; }
  // A value above Max becomes Max.
  void SetPosition(int Value);
  int Border() const { return border_; }
  void SetBorder(int Value);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation Value);
  const TBitmap& BitmapBack() const { return *bitmap_back_; }
  void SetBitmapBack(const TBitmap& Value);
  const TBitmap& BitmapBar() const { return *bitmap_bar_; }
  void SetBitmapBar(const TBitmap& Value);
  TColor Color3DLight() const { return color_3d_light_; }
  void SetColor3DLight(TColor Value);
  TColor Color3DDark() const { return color_3d_dark_; }
  void SetColor3DDark(TColor Value);
  TColor ColorFillBack() const { return color_fill_back_; }
  void SetColorFillBack(TColor Value);
  TColor ColorFillBack2() const { return color_fill_back2_; }
  void SetColorFillBack2(TColor Value);
  TColor ColorFillBar() const { return color_fill_bar_; }
  void SetColorFillBar(TColor Value);
  TColor ColorFillBar2() const { return color_fill_bar2_; }
  void SetColorFillBar2(TColor Value);
  bool GlowPaint() const { return glow_paint_; }
  void SetGlowPaint(bool Value);
  bool ShowPercent() const { return show_percent_; }
  void SetShowPercent(bool Value);

  std::string ClassName() const override { return "TMyProgressBar"; }

 protected:
  void Paint() override;

 private:
  void PaintTo(TCanvas& Canvas);
  void FillTwoTone(TCanvas& Canvas, const TRect& Rect, TColor First, TColor Second);

  std::unique_ptr<TBitmap> bitmap_back_;
  std::unique_ptr<TBitmap> bitmap_bar_;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int border_ = 1;
  TProgressBarOrientation orientation_ = pbHorizontal;
  TColor color_3d_light_ = clWhite;
  TColor color_3d_dark_ = clGray;
  TColor color_fill_back_;
  TColor color_fill_back2_;
  TColor color_fill_bar_;
  TColor color_fill_bar2_;
  bool glow_paint_ = false;
  bool show_percent_ = true;
};

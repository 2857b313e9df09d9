// The round dials drawn over a background picture: the compass and the hygrometer share
// this design and differ in their scale marks and in how the value turns the needle.
//
// Angles are degrees, 0 pointing up and growing clockwise. The dial face is drawn on
// magenta; with Transparent the magenta (and the picture's own transparent colour)
// vanishes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/bitmap.h"

// The kite-shaped needle, in the order it is outlined.
struct TDialNeedle {
  TPoint Tail;
  TPoint Side1;
  TPoint Tip;
  TPoint Side2;
};

class TDial : public TGraphicControl {
 public:
  ~TDial() override;

  // The dial face; when not empty, the control takes its size.
  const TBitmap& Background() const { return *background_; }
  void SetBackground(const TBitmap& Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  // The value: a direction in degrees, or a humidity in percent.
  std::uint16_t Degrees() const { return degrees_; }
  void SetDegrees(std::uint16_t Value);
  TColor Scale() const { return scale_; }
  void SetScale(TColor Value);
  TColor ScaleN() const { return scale_n_; }
  void SetScaleN(TColor Value);
  TColor ScalePin() const { return scale_pin_; }
  void SetScalePin(TColor Value);
  TColor ScalePinBorder() const { return scale_pin_border_; }
  void SetScalePinBorder(TColor Value);
  TColor ScalePinMarker() const { return scale_pin_marker_; }
  void SetScalePinMarker(TColor Value);

  // Where the needle points, in degrees.
  virtual int NeedleAngle() const = 0;
  // The needle for the control's current size and value.
  virtual TDialNeedle Needle() const = 0;

 protected:
  explicit TDial(TComponent* AOwner);

  void Paint() override;
  TPoint Centre() const { return Point(Width() / 2, Height() / 2); }
  // A 1-pixel scale mark of Length pixels at Angle, ending 3 pixels inside the rim.
  void DrawMark(TCanvas& Canvas, int Angle, int Length, TColor Color) const;
  virtual void DrawScale(TCanvas& Canvas) const = 0;

 private:
  std::unique_ptr<TBitmap> background_;
  bool transparent_ = false;
  std::uint16_t degrees_ = 0;
  TColor scale_ = clBlack;
  TColor scale_n_ = clRed;
  TColor scale_pin_ = clRed;
  TColor scale_pin_border_ = clBlack;
  TColor scale_pin_marker_ = clWhite;
};

// The point Radius pixels from Centre in the direction Angle (degrees, any value).
TPoint DialPoint(TPoint Centre, int Radius, int Angle);

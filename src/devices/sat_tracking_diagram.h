// The satellite sky plot of the GPS status window: the sky seen from above, north up,
// with rings for elevations 0, 30 and 60 degrees, every satellite in view as a round
// symbol carrying its number (filled in SatInUse when the receiver uses it in its
// solution), the fix kind at the top left, satellites used / in view at the top right,
// and course, altitude and speed captions at the bottom.
#pragma once

#include <memory>
#include <string>

#include "devices/gps_records.h"
#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/bitmap.h"

class TSatTrackingDiagram : public TGraphicControl {
 public:
  explicit TSatTrackingDiagram(TComponent* AOwner);
  ~TSatTrackingDiagram() override;

  // The sky image with and without data; the control grows to the image + 22 pixels.
  const TBitmap& BackgroundOn() const { return *background_on_; }
  void SetBackgroundOn(const TBitmap& Value);
  const TBitmap& BackgroundOff() const { return *background_off_; }
  void SetBackgroundOff(const TBitmap& Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value) { SetAndRepaint(transparent_, Value); }

  TColor Scale() const { return scale_; }
  void SetScale(TColor Value) { SetAndRepaint(scale_, Value); }
  TColor Scale0() const { return scale0_; }
  void SetScale0(TColor Value) { SetAndRepaint(scale0_, Value); }
  TColor Scale30() const { return scale30_; }
  void SetScale30(TColor Value) { SetAndRepaint(scale30_, Value); }
  TColor Scale60() const { return scale60_; }
  void SetScale60(TColor Value) { SetAndRepaint(scale60_, Value); }
  TColor SatInUse() const { return sat_in_use_; }
  void SetSatInUse(TColor Value) { SetAndRepaint(sat_in_use_, Value); }
  TColor SatNoInUse() const { return sat_no_in_use_; }
  void SetSatNoInUse(TColor Value) { SetAndRepaint(sat_no_in_use_, Value); }
  TColor SatFontInUse() const { return sat_font_in_use_; }
  void SetSatFontInUse(TColor Value) { SetAndRepaint(sat_font_in_use_, Value); }
  TColor SatFontNoInUse() const { return sat_font_no_in_use_; }
  void SetSatFontNoInUse(TColor Value) { SetAndRepaint(sat_font_no_in_use_, Value); }
  // The lower half of the background; Color is the upper half.
  TColor Color2() const { return color2_; }
  void SetColor2(TColor Value) { SetAndRepaint(color2_, Value); }

  // Copies taken without repainting; the window repaints once after all three.
  const TGpsGGA& GpsGGA() const { return gga_; }
  void SetGpsGGA(const TGpsGGA& Value) { gga_ = Value; }
  const TGpsGSV& GpsGSV() const { return gsv_; }
  void SetGpsGSV(const TGpsGSV& Value) { gsv_ = Value; }
  const TGpsGSA& GpsGSA() const { return gsa_; }
  void SetGpsGSA(const TGpsGSA& Value) { gsa_ = Value; }

  std::string CaptionDirection;
  std::string CaptionSpeed;
  std::string CaptionHeight;

  // Marks the three copies stale, clears the captions and repaints.
  void ClearData();
  // The satellite is among those the GSA copy lists as used (same number and system).
  bool IsPrnInUse(const TGpsSat& Sat) const;

  std::string ClassName() const override { return "TSatTrackingDiagram"; }

 protected:
  void Paint() override;

 private:
  template <class T>
  void SetAndRepaint(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  void GrowToBackground();
  void DrawSatellites(TCanvas& Canvas, TPoint Centre, int RadiusY) const;
  void DrawTexts(TCanvas& Canvas) const;

  std::unique_ptr<TBitmap> background_on_;
  std::unique_ptr<TBitmap> background_off_;
  bool transparent_ = false;
  TColor scale_ = clGray;
  TColor scale0_ = clGray;
  TColor scale30_ = clSilver;
  TColor scale60_ = clSilver;
  TColor sat_in_use_ = 16763844;
  TColor sat_no_in_use_ = 16770271;
  TColor sat_font_in_use_ = clBlack;
  TColor sat_font_no_in_use_ = clGray;
  TColor color2_ = 14803425;
  TGpsGGA gga_;
  TGpsGSV gsv_;
  TGpsGSA gsa_;
};

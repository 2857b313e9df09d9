#include "devices/sat_tracking_diagram.h"

#include <algorithm>
#include <cmath>

#include "controls/draw_tools.h"
#include "devices/nmea_dec.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/text/sysutils.h"

namespace {

constexpr int kSizeWithoutImage = 100;
constexpr int kImageMargin = 22;  // the control is this much larger than its sky image
constexpr int kSymbolRadius = 11;
constexpr int kSymbolBar = 14;  // half width of the solar-panel bar through a symbol

}  // namespace

TSatTrackingDiagram::TSatTrackingDiagram(TComponent* AOwner)
    : TGraphicControl(AOwner),
      background_on_(std::make_unique<TBitmap>()),
      background_off_(std::make_unique<TBitmap>()) {
  SetColor(16119285);
  SetBounds(Left(), Top(), kSizeWithoutImage, kSizeWithoutImage);
}

TSatTrackingDiagram::~TSatTrackingDiagram() = default;

void TSatTrackingDiagram::SetBackgroundOn(const TBitmap& Value) {
  background_on_->Assign(Value);
  GrowToBackground();
  Invalidate();
}

void TSatTrackingDiagram::SetBackgroundOff(const TBitmap& Value) {
  background_off_->Assign(Value);
  Invalidate();
}

void TSatTrackingDiagram::GrowToBackground() {
  if (background_on_->Empty()) return;
  SetBounds(Left(), Top(), std::max(Width(), background_on_->Width() + kImageMargin),
            std::max(Height(), background_on_->Height() + kImageMargin));
}

void TSatTrackingDiagram::ClearData() {
  gga_.Valid = false;
  gsv_.Valid = false;
  gsa_.Valid = false;
  CaptionDirection.clear();
  CaptionSpeed.clear();
  CaptionHeight.clear();
  Invalidate();
}

bool TSatTrackingDiagram::IsPrnInUse(const TGpsSat& Sat) const {
  return IsSatInUse(gsa_, Sat);
}

void TSatTrackingDiagram::Paint() {
  TBitmap buffer;
  buffer.SetSize(Width(), Height());
  TCanvas& c = buffer.Canvas();
  FillSplitHorizontal(c, Rect(0, 0, Width(), Height()), Color(), color2_);

  const TPoint centre = Point(Width() / 2, Height() / 2);
  // Without a sky image the rings fill the control as the image would.
  const int rx =
      background_on_->Empty() ? (Width() - kImageMargin) / 2 : background_on_->Width() / 2;
  const int ry =
      background_on_->Empty() ? (Height() - kImageMargin) / 2 : background_on_->Height() / 2;

  const bool noData = !gga_.Valid && !gsa_.Valid && !gsv_.Valid;
  const TBitmap& sky = noData && !background_on_->Empty() ? *background_off_ : *background_on_;
  if (!sky.Empty()) {
    TBitmap image;
    image.Assign(sky);
    image.SetTransparent(true);
    c.Draw(centre.X - sky.Width() / 2, centre.Y - sky.Height() / 2, image);
  }

  c.Brush().SetStyle(bsClear);
  c.Pen().SetColor(scale_);
  c.MoveTo(centre.X, centre.Y - ry);
  c.LineTo(centre.X, centre.Y + rx);
  c.MoveTo(centre.X - rx, centre.Y);
  c.LineTo(centre.X + rx, centre.Y);
  const TRect horizon = Rect(centre.X - ry, centre.Y - rx, centre.X + ry, centre.Y + rx);
  const int step = ry / 3;
  c.Pen().SetColor(scale0_);
  c.Ellipse(horizon);
  c.Pen().SetColor(scale30_);
  c.Ellipse(horizon.Left + step, horizon.Top + step, horizon.Right - step, horizon.Bottom - step);
  c.Pen().SetColor(scale60_);
  c.Ellipse(horizon.Left + 2 * step, horizon.Top + 2 * step, horizon.Right - 2 * step,
            horizon.Bottom - 2 * step);

  if (gsv_.Valid) DrawSatellites(c, centre, ry);
  DrawTexts(c);

  buffer.SetTransparent(transparent_);
  Canvas().Draw(0, 0, buffer);
}

void TSatTrackingDiagram::DrawSatellites(TCanvas& c, TPoint Centre, int RadiusY) const {
  c.Font().SetName("Courier New");
  c.Font().SetSize(10);
  c.Font().SetStyle(fsBold);
  const int count = std::min<int>(gsv_.InView, static_cast<int>(gsv_.Sat.size()));
  for (int k = 0; k < count; ++k) {
    const TGpsSat& sat = gsv_.Sat[k];
    // Slots the receiver left empty (a set shorter than its count) are no satellites.
    if (sat.Prn == 0) continue;
    TColor fill;
    TColor text;
    if (IsPrnInUse(sat)) {
      fill = sat_in_use_;
      text = sat_font_in_use_;
    } else {
      fill = sat.Snr > 0 ? sat_no_in_use_ : clWhite;
      text = gsa_.Valid ? sat_font_no_in_use_ : sat_font_in_use_;
    }
    // A satellite just below the horizon stands on it, inside the plot.
    const int elevation = std::clamp<int>(sat.Elevation, 0, 90);
    const int radius = static_cast<int>(std::nearbyint(RadiusY - RadiusY / 90.0 * elevation));
    TPoint p;
    PolarToPoint(Centre, radius, sat.Azimuth, p);
    c.Pen().SetColor(clBlack);
    c.MoveTo(p.X - kSymbolBar, p.Y);
    c.LineTo(p.X + kSymbolBar, p.Y);
    c.MoveTo(p.X - kSymbolBar, p.Y - 5);
    c.LineTo(p.X - kSymbolBar, p.Y + 6);
    c.MoveTo(p.X + kSymbolBar - 1, p.Y - 5);
    c.LineTo(p.X + kSymbolBar - 1, p.Y + 6);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(fill);
    c.Ellipse(p.X - kSymbolRadius, p.Y - kSymbolRadius, p.X + kSymbolRadius, p.Y + kSymbolRadius);
    const std::string prn = IntToStr(sat.Prn);
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(text);
    c.TextOut(p.X - c.TextWidth(prn) / 2, p.Y - c.TextHeight(prn) / 2, prn);
  }
}

void TSatTrackingDiagram::DrawTexts(TCanvas& c) const {
  c.Brush().SetStyle(bsClear);
  c.Font().SetName("Arial");
  c.Font().SetSize(8);
  c.Font().SetStyle(fsBold);
  c.Font().SetColor(clBlack);

  std::string sats;
  if (gga_.Valid) sats = IntToStr(gga_.Sats);
  if (gga_.Valid && gsv_.Valid) sats += "/";
  if (gsv_.Valid) sats += IntToStr(gsv_.InView);
  c.TextOut(Width() - 3 - c.TextWidth(sats), 3, sats);

  if (gsa_.Valid) {
    switch (gsa_.Fix) {
      case '1':
        c.Font().SetColor(clRed);
        c.TextOut(3, 3, "NO FIX");
        break;
      case '2':
        c.Font().SetColor(clBlack);
        c.TextOut(3, 3, "2D");
        break;
      case '3':
        c.Font().SetColor(clGreen);
        c.TextOut(3, 3, "3D");
        break;
      default:
        break;
    }
  }

  c.Font().SetColor(clBlack);
  const int h = c.TextHeight("0");
  c.TextOut(Width() - 6 - c.TextWidth(CaptionDirection), Height() - 6 - 2 * h, CaptionDirection);
  c.TextOut(Width() - 3 - c.TextWidth(CaptionHeight), Height() - 3 - h, CaptionHeight);
  c.TextOut(3, Height() - 3 - h, CaptionSpeed);
}

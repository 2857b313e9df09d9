#include "devices/wx_status.h"

#include <algorithm>
#include <cmath>

#include "controls/compass.h"
#include "controls/dial_face.h"
#include "controls/hydro.h"
#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "controls/thermometer_scale.h"
#include "core/aprs_position.h"
#include "platform/gui/controls/new_control.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

namespace {

constexpr double kMetresPerSecondPerMph = 0.44704;
constexpr int kThermoScaleHeight = 112;
constexpr int kFreezingF = 32;
const std::string kDegreeSign = "\xB0";

int RoundEven(double Value) {
  return static_cast<int>(std::nearbyint(Value));
}

}  // namespace

std::string TWxStatusSettings::TempUnitName() const {
  return kDegreeSign + "F";
}

TfrmWxStatus::TfrmWxStatus(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmWxStatus";
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  auto panel = [this](const char* name, int x, int y, int w, int h,
                      const std::string& caption = {}) {
    auto* p = NewControl<TMyPanel>(this, this, name, x, y, w, h);
    p->SetCaption(caption);
    return p;
  };
  mpnlTop = panel("mpnlTop", 0, 0, 153, 18, "WX Status");
  mpnlTop->SetMove(true);
  mbtnClose = NewControl<TMyButton>(this, mpnlTop, "mbtnClose", 136, 1, 16, 16);
  mbtnClose->SetCaption("x");
  mbtnClose->OnClick = [this](TComponent* s) { mbtnCloseClick(s); };

  CompassWind = NewControl<TCompass>(this, this, "CompassWind", 2, 20, 60, 60);
  SetDialFace(*CompassWind);
  mpnlWindDegWord = panel("mpnlWindDegWord", 2, 82, 60, 14);
  mpnlWindDeg = panel("mpnlWindDeg", 2, 96, 60, 14);
  mpnlWindSpeed = panel("mpnlWindSpeed", 2, 110, 60, 14);
  mpnlWindSpeedPeak = panel("mpnlWindSpeedPeak", 2, 124, 60, 14);

  mpnlTS = panel("mpnlTS", 64, 22, 12, kThermoScaleHeight);
  mpnlTemp = panel("mpnlTemp", 77, 22, 34, 14);
  SetThermometerScale(*mpnlTS, mpnlTemp->Height());

  Hydro = NewControl<THydro>(this, this, "Hydro", 113, 22, 38, 38);
  SetDialFace(*Hydro);
  mpnlHydroWord = panel("mpnlHydroWord", 113, 62, 38, 14);
  mpnlBarometic = panel("mpnlBarometic", 77, 124, 74, 14);
  SetClientSize(153, 141);
}

void TfrmWxStatus::DoShow() {
  TWxData data;
  if (settings_->GetWxData(data)) ShowWxData(data);
  TForm::DoShow();
}

void TfrmWxStatus::mbtnCloseClick(TComponent*) {
  Close();
}

std::string TfrmWxStatus::WindText(double MetresPerSecond) const {
  const int mph = RoundEven(MetresPerSecond / kMetresPerSecondPerMph);
  return IntToStr(settings_->WindFromMph(mph)) + " " + settings_->WindUnitName();
}

void TfrmWxStatus::ShowWxData(const TWxData& Data) {
  if (Data.Wind.Valid) {
    CompassWind->SetDegrees(Data.Wind.Dir);
    mpnlWindDeg->SetCaption(IntToStr(Data.Wind.Dir) + kDegreeSign);
    mpnlWindDegWord->SetCaption(CompassName(Data.Wind.Dir));
    mpnlWindSpeed->SetCaption(WindText(Data.Wind.Peak1Min));
    mpnlWindSpeedPeak->SetCaption(WindText(Data.Wind.Peak5Min));
  } else {
    CompassWind->SetDegrees(0);
    for (TMyPanel* p : {mpnlWindDeg, mpnlWindDegWord, mpnlWindSpeed, mpnlWindSpeedPeak})
      p->SetCaption("---");
  }

  if (Data.TempOut.Valid) {
    SetThermoBar(RoundEven(Data.TempOut.Cur * 1.8) + 32);
  } else {
    // An unmeasured temperature is no 0 degrees: the marker keeps the freezing point's
    // place (at the scale's foot the pressure would hide it) and shows no reading.
    PlaceThermoMarker(kFreezingF);
    mpnlTemp->SetCaption("---");
  }

  if (Data.HumOut.Valid) {
    Hydro->SetDegrees(Data.HumOut.Cur);
    mpnlHydroWord->SetCaption(IntToStr(Data.HumOut.Cur) + "%");
  } else {
    Hydro->SetDegrees(0);
    mpnlHydroWord->SetCaption("---");
  }

  mpnlBarometic->SetCaption(Data.Baro.Valid ? Format("%0.1f hPa", Data.Baro.Rel)
                                            : std::string("----"));
}

void TfrmWxStatus::SetThermoBar(int Fahrenheit) {
  PlaceThermoMarker(Fahrenheit);
  mpnlTemp->SetCaption(IntToStr(settings_->TempFromFahrenheit(Fahrenheit)) +
                       settings_->TempUnitName());
}

void TfrmWxStatus::PlaceThermoMarker(int Fahrenheit) {
  const int lowest = mpnlTS->Top() + mpnlTS->Height() - mpnlTemp->Height();
  const int travel = mpnlTS->Height() - mpnlTemp->Height();
  const int clamped = std::clamp(Fahrenheit, kThermometerLowF, kThermometerHighF);
  mpnlTemp->SetTop(lowest - RoundEven(double(travel) / (kThermometerHighF - kThermometerLowF) *
                                      (clamped - kThermometerLowF)));
}

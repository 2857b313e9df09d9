// The detail window's weather panel: dials, words, thermometers and the rain gauge.
#include "app/stations/frm_aprs_stn_info.h"

#include "app/language/frm_prg_msg.h"
#include "app/receive/wx_report.h"
#include "app/settings/frm_setup.h"
#include "app/stations/stn_info_weather.h"
#include "core/aprs_position.h"
#include "devices/wx_calc.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

namespace {

constexpr double kMetresPerSecondPerMph = 0.44704;
constexpr int kCompleteWeatherReport = 2;

double Celsius(int Fahrenheit) {
  return (Fahrenheit - 32) / 1.8;
}

std::string WindText(const TfrmSetup& Units, int Mph) {
  return IntToStr(Units.WindFromMph(Mph)) + " " + Units.WindUnitName();
}

std::string RainText(const TfrmSetup& Units, int HundredthInch) {
  return IntToStr(Units.RainFromHundredthInch(HundredthInch)) + " " + Units.RainUnitName();
}

}  // namespace

void TfrmAprsStnInfo::ShowWeather(const TWxInfo& Wx) {
  panel_mode_ = 2;
  lblMsgTyp->SetCaption(PrgMsgLine(&TfrmPrgMsg::lblWxReportStates, kCompleteWeatherReport));
  // A value the report does not carry shows no text: a zero there would read as a
  // measurement.
  CompassWind->SetDegrees(static_cast<uint16_t>(Wx.WindDir));
  Hydro->SetDegrees(static_cast<uint16_t>(Wx.Humidity));
  mpnlHydroWord->SetCaption(Wx.Has('h') ? IntToStr(Wx.Humidity) + "%" : "");
  mpnlBarometic->SetCaption(Wx.Has('b') ? Format("%0.1f hPa", Wx.Pressure / 10.0) : "");
  const int word = PressureTendencyWord(Wx.Pressure);
  if (word >= 0) mpnlTendenz->SetCaption(PrgMsgLine(&TfrmPrgMsg::lblWxPressureWords, word));
  if (!Wx.Has('b')) mpnlTendenz->SetCaption("");
  ShowRainGauge(Wx.Rain1h, Wx.RainMidnight);
  if (!Wx.Has('r')) mpnlRain1H->SetCaption("");
  if (!Wx.Has('r') && !Wx.Has('P')) mpnlRain24h->SetCaption("");
  mpnlWindDeg->SetCaption(Wx.Has('c') ? IntToStr(Wx.WindDir) + "\xB0" : "");
  mpnlWindDegWord->SetCaption(Wx.Has('c') ? CompassName(Wx.WindDir) : "");
  mpnlWindSpeed->SetCaption(Wx.Has('s') ? WindText(*Setup, Wx.WindSpeed) : "");
  mpnlWindSpeedPeak->SetCaption(Wx.Has('g') ? WindText(*Setup, Wx.WindGust) : "");
  ShowThermometers(Wx.Temp, Wx.Humidity, Wx.WindGust);
  if (!Wx.Has('t')) {
    mpnlTemp->SetCaption("");
    mpnlDewPoint->SetCaption("");
    mpnlWindChill->SetCaption("");
  }
  if (!Wx.Has('h')) mpnlDewPoint->SetCaption("");
  if (!Wx.Has('g')) mpnlWindChill->SetCaption("");
}

// The wind chill takes the gust, not the mean wind.
void TfrmAprsStnInfo::ShowThermometers(int Temp, int Humidity, int Gust) {
  PlaceThermometer(*mpnlTS, *mpnlTemp, Temp);
  const double dew_point = DewPoint(static_cast<uint8_t>(Humidity), Celsius(Temp));
  PlaceThermometer(*mpnlDPTS, *mpnlDewPoint, ThermometerFahrenheit(dew_point));
  const double wind_chill = WindChill(Celsius(Temp), Gust * kMetresPerSecondPerMph);
  PlaceThermometer(*mpnlWCTS, *mpnlWindChill, ThermometerFahrenheit(wind_chill));
}

void TfrmAprsStnInfo::PlaceThermometer(TMyPanel& Track, TMyPanel& Value, int Fahrenheit) {
  Value.SetTop(ThermometerValueTop(Track.Top(), Track.Height(), Value.Height(), Fahrenheit));
  Value.SetCaption(IntToStr(Setup->TempFromFahrenheit(Fahrenheit)) + Setup->TempUnitName());
}

void TfrmAprsStnInfo::ShowRainGauge(int Rain1h, int RainMidnight) {
  TBitmap gauge;
  gauge.SetSize(imgRain->Width(), imgRain->Height());
  const int midnight = DrawRainGauge(gauge, Rain1h, RainMidnight);
  gauge.SetTransparent(true);
  imgRain->Picture().SetGraphic(&gauge);
  mpnlRain1H->SetCaption(RainText(*Setup, Rain1h));
  mpnlRain24h->SetCaption(RainText(*Setup, midnight));
}

void TfrmAprsStnInfo::imgRainDblClick(TComponent*) {
  TrackBar1->SetVisible(true);
}

void TfrmAprsStnInfo::TrackBar1Change(TComponent*) {
  ShowRainGauge(TrackBar1->Position(), TrackBar1->Position() + 10);
}

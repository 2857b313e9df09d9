// The weather status window: the own station's current weather - wind on a compass
// dial with its direction and one- and five-minute peaks, the outdoor temperature on a
// thermometer, the outdoor humidity on a hygrometer dial, and the pressure. Small,
// borderless and always on top; it keeps no data of its own and shows each record it
// is given. Values the station has not reported show placeholders ("---", "----").
#pragma once

#include <string>

#include "devices/wx_data.h"
#include "platform/gui/controls/forms.h"

class TCompass;
class THydro;
class TMyButton;
class TMyPanel;

// The settings window's units and the weather component's record, as the weather
// window reads them; unless overridden, mph and degrees Fahrenheit, and no record.
class TWxStatusSettings {
 public:
  virtual ~TWxStatusSettings() = default;
  virtual int WindFromMph(int Mph) const { return Mph; }
  virtual std::string WindUnitName() const { return "mph"; }
  virtual int TempFromFahrenheit(int Fahrenheit) const { return Fahrenheit; }
  virtual std::string TempUnitName() const;  // "°F"
  // False when there is no record to show.
  virtual bool GetWxData(TWxData& /*Data*/) const { return false; }
};

class TfrmWxStatus : public TForm {
 public:
  explicit TfrmWxStatus(TComponent* AOwner = nullptr);

  void ShowWxData(const TWxData& Data);
  // Places the thermometer marker for a temperature in whole degrees Fahrenheit
  // (the scale runs from -40 to 122 F) and labels it in the chosen unit.
  void SetThermoBar(int Fahrenheit);
  void mbtnCloseClick(TComponent* Sender);

  // Not owned; none, mph and degrees Fahrenheit, and nothing fetched when shown.
  void SetSettings(const TWxStatusSettings* Settings) {
    settings_ = Settings ? Settings : &no_settings_;
  }

  TMyPanel* mpnlTop;
  TMyButton* mbtnClose;
  TCompass* CompassWind;
  TMyPanel* mpnlWindDegWord;
  TMyPanel* mpnlWindDeg;
  TMyPanel* mpnlWindSpeed;
  TMyPanel* mpnlWindSpeedPeak;
  TMyPanel* mpnlTS;
  TMyPanel* mpnlTemp;
  THydro* Hydro;
  TMyPanel* mpnlHydroWord;
  TMyPanel* mpnlBarometic;

  std::string ClassName() const override { return "TfrmWxStatus"; }

 protected:
  void DoShow() override;

 private:
  std::string WindText(double MetresPerSecond) const;
  // The marker's place for a temperature, clamped to the scale.
  void PlaceThermoMarker(int Fahrenheit);

  TWxStatusSettings no_settings_;
  const TWxStatusSettings* settings_ = &no_settings_;
};

// The weather status window: the own station's current weather - wind on a compass
// dial with its direction and one- and five-minute peaks, the outdoor temperature on a
// thermometer, the outdoor humidity on a hygrometer dial, and the pressure. Small,
// borderless and always on top; it keeps no data of its own and shows each record it
// is given. Values the station has not reported show placeholders ("---", "----").
#pragma once

#include <functional>
#include <string>

#include "devices/wx_data.h"
#include "platform/gui/forms.h"

class TCompass;
class THydro;
class TMyButton;
class TMyPanel;

class TfrmWxStatus : public TForm {
 public:
  explicit TfrmWxStatus(TComponent* AOwner = nullptr);

  void ShowWxData(const TWxData& Data);
  // Places the thermometer marker for a temperature in whole degrees Fahrenheit
  // (the scale runs from -40 to 122 F) and labels it in the chosen unit.
  void SetThermoBar(int Fahrenheit);
  void mbtnCloseClick(TComponent* Sender);

  // The settings window's units and the weather component's record; unassigned, the
  // window shows mph and degrees Fahrenheit and fetches nothing when shown.
  std::function<int(int Mph)> WindFromMph;
  std::function<std::string()> WindUnitName;
  std::function<int(int Fahrenheit)> TempFromFahrenheit;
  std::function<std::string()> TempUnitName;
  std::function<void(TWxData& Data)> GetWxData;

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
};

// The station detail window: everything known about one station - callsign, symbol,
// position in three forms, distance, how and when it was last heard, comment, status or
// owner, the raw AX.25 header and data - and beside it either a course/speed/altitude
// panel or a weather panel with wind dial, hygrometer, thermometers and rain gauge.
//
// Texts from received packets are shown as they are: labels take no '&' accelerators
// and the memo is plain text.
#pragma once

#include <functional>
#include <string>

#include "controls/compass.h"
#include "controls/hydro.h"
#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/image.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/memo.h"
#include "platform/gui/standard/track_bar.h"
#include "platform/sys/timer.h"
#include "platform/text/string_list.h"

struct TWxInfo;
class TfrmSetup;

// The key of the station the detail window shows; the station store compares it on
// every update and deletion.
extern std::string ShownKey;

class TfrmAprsStnInfo : public TForm {
 public:
  explicit TfrmAprsStnInfo(TComponent* AOwner);
  ~TfrmAprsStnInfo() override;

  // Title bar; the three switches are kept with the settings.
  TMyPanel* mpnlTop;
  TMyButton* mbtnClose;
  TMyButton* mbtnShowLock;
  TMyButton* mbtnShowAx25;
  TMyButton* mbtnFollowRx;
  // Main panel.
  TMyPanel* mpnlStnInfo;
  TImage* imgStnInfo;
  TLabel* lblCall;
  TLabel* lblAprsDesAdr;
  TLabel* lblTrx;
  TLabel* lblMsgTyp;
  TLabel* lblTime;
  TLabel* lblPos;
  TLabel* lblLoc;
  TLabel* lblQra;
  TLabel* lblVia;
  TLabel* lblStnComment;
  TLabel* lblStnStatus;
  TImage* imgKambrio;
  TMyButton* mbtnTxMsg;
  TMyButton* mbtnZoomIn;
  TMyButton* mbtnZoomOut;
  // Motion panel.
  TMyPanel* mpnlAdv;
  TCompass* Compass;
  TMyPanel* mpnlDeg;
  TMyPanel* mpnlDegWord;
  TMyPanel* mpnlSpeed;
  TMyPanel* mpnlAlt;
  // Weather panel, in the motion panel's place.
  TMyPanel* mpnlWx;
  TCompass* CompassWind;
  TMyPanel* mpnlWindDeg;
  TMyPanel* mpnlWindDegWord;
  TMyPanel* mpnlWindSpeed;
  TMyPanel* mpnlWindSpeedPeak;
  THydro* Hydro;
  TMyPanel* mpnlHydroWord;
  TMyPanel* mpnlBarometic;
  TMyPanel* mpnlTendenz;
  TMyPanel* mpnlTS;  // thermometer tracks and their moving value panels
  TMyPanel* mpnlTemp;
  TMyPanel* mpnlDPTS;
  TMyPanel* mpnlDewPoint;
  TMyPanel* mpnlWCTS;
  TMyPanel* mpnlWindChill;
  TImage* imgRain;
  TMyPanel* mpnlRain1H;
  TMyPanel* mpnlRain24h;
  // Hidden; a double click on the gauge shows it, to try the gauge out.
  TTrackBar* TrackBar1;
  // AX.25 panel.
  TMyPanel* mpnlAX25;
  TMemo* memAx25;
  // Alternates the temperature with dew point and wind chill every 5 s while shown.
  TTimer* Timer1;

  // What the window reads and asks of the others; see ShowStationInfo.
  const TStrings* Stations = nullptr;  // the station store's sorted list
  // The own position and the units the values are shown in.
  const TfrmSetup* Setup = nullptr;
  // The map draws the range circle of Key from a "PHG..." or "RNG..." group (or hides it).
  std::function<void(const std::string& Key, const std::string& PhgRng)> OnRangeCircle;
  // The map zooms in (true) or out around a position.
  std::function<void(bool ZoomIn, double Lat, double Lon)> OnZoom;
  // The messaging window takes Call as addressee with an empty text and is shown.
  std::function<void(const std::string& Call)> OnMessageTo;

  // Fills and shows the window for the station with Key.
  void ShowStationInfo(const std::string& Key);
  // The shown station is gone: hide the window and forget its key.
  void HideStationInfo();
  void ArrangeStnInfoPanels();
  void KeepStnInfoOnScreen();

  // 0 none, 1 motion panel, 2 weather panel.
  int PanelMode() const { return panel_mode_; }
  double ShownLat() const { return lat_; }
  double ShownLon() const { return lon_; }
  const std::string& ShownRecord() const { return record_; }
  // The PHG/RNG group of the shown station (the map redraws its range on a new map).
  const std::string& ShownPhgText() const { return phg_text_; }

  void ButtonClick(TComponent* Sender);
  void Timer1Timer(TComponent* Sender);
  // The thermometer panels: the same switch as the timer.
  void mpnlTempChangeClick(TComponent* Sender);
  void imgRainDblClick(TComponent* Sender);
  // The gauge with (position, position + 10).
  void TrackBar1Change(TComponent* Sender);

  std::string ClassName() const override { return "TfrmAprsStnInfo"; }

 protected:
  void DoShow() override;
  void DoClose(TCloseAction& Action) override;

 private:
  void BuildMainPanel();
  void BuildMotionPanel();
  void BuildWeatherPanel();
  void ClearStation();
  void ShowTexts(const std::string& Record);
  void ShowMotion(const std::string& Record);
  void ShowWeather(const TWxInfo& Wx);
  void ShowThermometers(int Temp, int Humidity, int Gust);
  void PlaceThermometer(TMyPanel& Track, TMyPanel& Value, int Fahrenheit);
  void ShowRainGauge(int Rain1h, int RainMidnight);
  void ShowSymbol(char Table, char Code);

  int panel_mode_ = 0;
  bool toggle_ = false;
  double lat_ = 0;
  double lon_ = 0;
  std::string record_;
  std::string phg_text_;
  std::string filled_key_;  // the station whose texts the window holds
};

extern TfrmAprsStnInfo* frmAprsStnInfo;

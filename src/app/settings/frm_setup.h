// The settings window, and at the same time the live store of almost every setting:
// the other windows and the TNC driver read the settings straight from its controls.
//
// The page list on the left (htmllbxSelect) chooses one of the sheets of apctrlSetup,
// whose tabs are hidden. Apply (mbtnChange) writes the TNC command files, sets the
// timers and the fixed position, and restarts the TNC link, the GPS receiver and the
// weather station; OK only connects a TNC that is not connected yet; Cancel (mbtnAbort)
// takes back every edit made since the window opened or was last applied.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "app/settings/setup_snapshot.h"
#include "app/transmit/beacons.h"
#include "controls/my_button.h"
#include "controls/my_flat_combobox.h"
#include "controls/my_panel.h"
#include "controls/number_edit.h"
#include "controls/path_dialog.h"
#include "core/locator.h"
#include "devices/wx_stn.h"
#include "html/html_list_box.h"
#include "html/picture_container.h"
#include "lists/ex_page_control.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/edit.h"
#include "platform/gui/standard/image.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/list_box.h"
#include "platform/gui/standard/mask_edit.h"
#include "platform/gui/standard/memo.h"
#include "platform/gui/standard/open_dialog.h"
#include "platform/gui/standard/track_bar.h"
#include "platform/sys/timer.h"

constexpr int kDeviceCount = 10;
constexpr int kWxDeviceCount = 5;
// Device types with two radio ports (mfcbxDevice item index).
constexpr int kDevicePtc2 = 5;
constexpr int kDeviceTnc3 = 8;
// Weather-station types (mfcbxWxDevice item index).
constexpr int kWxDeviceOff = 0;
constexpr int kWxDeviceWs2300 = 1;
constexpr int kWxDeviceWx200 = 2;
constexpr int kWxDeviceWmr918 = 3;
constexpr int kWxDeviceText = 4;

// The fixed position's masks (degrees, minutes, hemisphere) and their start texts.
inline constexpr const char* kLatMask =
    "00\xB0"
    "00.00 L";
inline constexpr const char* kLonMask =
    "000\xB0"
    "00.00 L";
inline constexpr const char* kLatMaskStart =
    "00\xB0"
    "00.00 N";
inline constexpr const char* kLonMaskStart =
    "000\xB0"
    "00.00 E";

extern std::array<std::string, kDeviceCount> DeviceNames;
extern std::array<std::string, kDeviceCount> DeviceShortNames;
extern std::array<std::string, kWxDeviceCount> WxDeviceNames;
// The own symbols of radio port 1 and 2: table and code character.
extern char SymTabP1, SymCodeP1, SymTabP2, SymCodeP2;

// Adds the page pictures the build drew into ProgramFolder's "Pictures/" to Container;
// a missing or unreadable one is left out.
void LoadPagePictures(TPictureContainer& Container, const std::string& ProgramFolder);

class TfrmAprs;
class TfrmAprsMsg;
class TfrmAprsStnInfo;
class TfrmGpsStatus;
class TfrmLog;
class TfrmWxStatus;

// The windows the settings apply to and whose values and places are stored with them
// (settings_store.h): the map window's timers, bars, lamps and map folder, the
// messaging window's second port, the GPS and weather windows, the detail window's
// buttons and transparency, and the log's filter. The wiring hands them over once they
// all exist and takes them back before they go; the apply, the device choice, the
// weather station's reports, loading and saving reach them only in between.
struct TSetupPeers {
  TfrmAprs* Map = nullptr;
  TfrmAprsMsg* Msg = nullptr;
  TfrmAprsStnInfo* StationInfo = nullptr;
  TfrmGpsStatus* Gps = nullptr;
  TfrmWxStatus* Wx = nullptr;
  TfrmLog* Log = nullptr;
};

class TfrmSetup : public TForm {
 public:
  explicit TfrmSetup(TComponent* AOwner);
  ~TfrmSetup() override;

  THtmlListBox* htmllbxSelect;
  TPictureContainer* PictureContainer1;
  TExPageControl* apctrlSetup;
  TExTabSheet* atabDev;
  TExTabSheet* atabGps;
  TExTabSheet* atabStn;
  TExTabSheet* atabPrg;
  TExTabSheet* atabTcp;
  TExTabSheet* atabWx;
  TExTabSheet* atabSym;

  // Device page.
  TMyFlatCombobox* mfcbxDevice;
  TLabel* lblPort;
  TMyFlatCombobox* mfcbxPort;
  TLabel* lblBaud;
  TMyFlatCombobox* mfcbxBaud;
  TLabel* lblIni;
  TMemo* memIni;
  TLabel* lblDeini;
  TMemo* memDeini;
  TMemo* memBytRx;   // raw KISS bytes, hidden
  TListBox* lbxByt;  // the byte-list test feed, hidden
  TMemo* memDebu;    // hidden

  // GPS page.
  TMyFlatCombobox* mfcbxPortGps;
  TMyFlatCombobox* mfcbxBaudGps;

  // Station page.
  TEdit* edtCallP1;
  TEdit* edtPathP1;
  TEdit* edtInfoP1;
  TEdit* edtStatusP1;
  TNumberEdit* nedtTimPosP1;
  TNumberEdit* nedtTimStatusP1;
  TImage* imgSymP1;
  TMyButton* mbtnTxPosP1;
  TMyButton* mbtnTxStatusP1;
  TMyPanel* mpnlStnP2;
  TLabel* lblStnP2;
  TEdit* edtCallP2;
  TEdit* edtPathP2;
  TEdit* edtInfoP2;
  TEdit* edtStatusP2;
  TNumberEdit* nedtTimPosP2;
  TNumberEdit* nedtTimStatusP2;
  TImage* imgSymP2;
  TMyButton* mbtnTxPosP2;
  TMyButton* mbtnTxStatusP2;
  TMaskEdit* medtLati;
  TMaskEdit* medtLong;
  TMyButton* mbtnSetGpsPos;
  TMyFlatCombobox* mfcbxPosAmbi;
  TMyButton* mbtnComp;
  TMyButton* mbtnRange;
  TNumberEdit* nedtPower;
  TNumberEdit* nedtHeight;
  TLabel* lblRangeHeight;
  TNumberEdit* nedtGain;
  TLabel* lblRangeResult;

  // Program page.
  TMyFlatCombobox* mfcbxSpk;
  TEdit* edtCrdDir;
  TMyButton* mbtnCrdDir;
  TNumberEdit* nedtStnDelete;
  TNumberEdit* nedtStnInfoTrans;
  TMyFlatCombobox* mfcbxSpeed;
  TMyFlatCombobox* mfcbxWindSpeed;
  TMyFlatCombobox* mfcbxTemp;
  TMyFlatCombobox* mfcbxHeight;
  TMyFlatCombobox* mfcbxRain;
  TMyButton* mbtnSoundRx;
  TMyButton* mbtnSoundCall;

  // TCP page.
  TMyFlatCombobox* mfcbxTcpServer;
  TNumberEdit* nedtVNR;
  TEdit* edtTcpFilter;
  TMyButton* mbtnTcpDigi;
  TMyButton* mbtnTcpNoOutData;
  TMyButton* mbtnTcpNoMon;

  // Weather page.
  TMyFlatCombobox* mfcbxWxDevice;
  TLabel* lblPortWx;
  TMyFlatCombobox* mfcbxPortWx;
  TMyButton* mbtnWind;
  TMyButton* mbtnRain;
  TMyButton* mbtnHuminity;
  TMyButton* mbtnBaro;
  TLabel* lblWxFile;
  TEdit* edtWxFile;
  TMyButton* mbtnWxFile;
  TLabel* lblWxCallP1;
  TMyFlatCombobox* mfcbxWxSsidP1;
  TImage* imgSymWxP1;
  TNumberEdit* nedtTimWxP1;
  TNumberEdit* nedtTimWxStatusP1;
  TEdit* edtWxStatusP1;
  TMyButton* mbtnTxWxP1;
  TMyButton* mbtnTxWxStatusP1;
  TMyPanel* mpnlWxP2;
  TLabel* lblWxP2;
  TLabel* lblWxCallP2;
  TMyFlatCombobox* mfcbxWxSsidP2;
  TImage* imgSymWxP2;
  TNumberEdit* nedtTimWxP2;
  TNumberEdit* nedtTimWxStatusP2;
  TEdit* edtWxStatusP2;
  TMyButton* mbtnTxWxP2;
  TMyButton* mbtnTxWxStatusP2;

  // Symbol page.
  TEdit* edtSymTab;
  TEdit* edtSymCode;
  TTrackBar* tbarSymCode;
  TNumberEdit* nedtSymNr;
  TImage* imgSym;
  TImage* imgSymA;
  TLabel* lblSymDes;
  TLabel* lblSymADes;
  TMyButton* mbtnSymSelect;
  TMyButton* mbtnSymASelect;
  TMyButton* mbtnSymSelectAbort;
  TMemo* memSymName;  // hidden: the symbol names, see symbol_names.h

  // Buttons under the pages.
  TMyButton* mbtnChange;
  TMyButton* mbtnOk;
  TMyButton* mbtnAbort;
  TMyButton* mbtnClose;

  TTimer* timPosP1;
  TTimer* timStatusP1;
  TTimer* timPosP2;
  TTimer* timStatusP2;
  TTimer* timWxP1;
  TTimer* timWxStatusP1;
  TTimer* timWxP2;
  TTimer* timWxStatusP2;
  TTimer* timPosDec;
  TPathDialog* PathDialog;
  TOpenDialog* OpenDialog;
  TWxStn* WxStn;

  // The beacon sender the TX buttons call (TBeacons::SendBeacon); nothing is sent while
  // it is unset.
  std::function<void(TBeaconKind Kind)> SendBeacon;
  // The TX button of a beacon.
  TMyButton* TxButton(TBeaconKind Kind) const;

  // The fixed own position, decimal degrees, north and east positive.
  double OwnLat = 0;
  double OwnLon = 0;
  // The current APRS weather text; empty until the first weather data.
  std::string WxText;
  // Which own symbol the symbol page chooses: 1 port 1, 2 port 2, 0 none.
  std::uint8_t SymSelectTarget = 0;
  // 0 until the start-up has applied the settings once; the apply button skips its
  // stop half while it is 0.
  std::uint8_t TncInitialised = 0;

  bool IsDualPortDevice() const;
  bool IsWxDeviceOn() const;

  // Unit conversions for display, rounded to the nearest integer (halves to even);
  // with no unit chosen they give 0 and the name "?".
  int WindFromMph(int Mph) const;
  std::string WindUnitName() const;
  int SpeedFromKnots(int Knots) const;
  std::string SpeedUnitName() const;
  int RainFromHundredthInch(int Value) const;
  std::string RainUnitName() const;
  int TempFromFahrenheit(int F) const;
  std::string TempUnitName() const;
  int HeightToFeet(int Value) const;
  int HeightFromFeet(int Feet) const;
  std::string HeightUnitName() const;

  // Distance (km) and bearing (degrees) from the fixed own position.
  bool QrbFromOwnPos(double Lat, double Lon, double& Distance, double& Bearing) const;

  // The fixed position as the APRS texts "DDMM.MMN" and "DDDMM.MME".
  std::string LatMaskToAprs() const;
  std::string LonMaskToAprs() const;

  void ApplySettings();
  // Draws the own symbols and the weather symbol into their images.
  void ShowSymbolImages();
  void LoadTncIniFiles();
  void SaveTncIniFiles();
  // The command file of the chosen device: program folder + short name + " ini.ini"
  // (Init) or " deini.ini"; empty for "OFF".
  std::string TncIniFileName(bool Init) const;
  // Refills the language list with the valid files of the language folder.
  void FillLanguageList();
  // "WX-TEXT": the weather text from the second line of the weather file.
  void ReadWxTextFile();

  // The main frame and its KISS switch (true: on), handed over by the wiring: the frame's
  // place is kept with the settings, the apply switches the KISS link off and on again,
  // and a close of the frame put off by the apply is made when it ends. Unset, neither
  // is touched.
  TForm* MainFrame = nullptr;
  std::function<void(bool On)> SwitchKiss;
  TSetupPeers Peers;
  // True while the apply sequence runs; a close of the main frame asked for meanwhile
  // is made when it ends.
  bool Applying() const { return applying_; }
  void CloseMainWhenApplied() { close_main_when_applied_ = true; }

  void FormShow(TComponent* Sender);
  void htmllbxSelectClick(TComponent* Sender);
  void mfcbxDeviceChange(TComponent* Sender);
  void mfcbxWxDeviceChange(TComponent* Sender);
  void UnitChange(TComponent* Sender);
  void RangeChange(TComponent* Sender);
  void mfcbxSpkChange(TComponent* Sender);
  // Loads the language file the box names when it is not the one in use.
  void FollowLanguageChoice();
  void edtCallP1Change(TComponent* Sender);
  void PosKeyPress(TComponent* Sender, char& Key);
  void ButtonClick(TComponent* Sender);
  void mbtnChangeClick(TComponent* Sender);
  void mbtnOkClick(TComponent* Sender);
  void SymbolClick(TComponent* Sender);
  void edtSymCodeChange(TComponent* Sender);
  void tbarSymCodeChange(TComponent* Sender);
  void nedtSymNrChange(TComponent* Sender);
  void edtSymCodeKeyPress(TComponent* Sender, char& Key);
  void edtSymTabKeyPress(TComponent* Sender, char& Key);
  void mbtnSymSelectClick(TComponent* Sender);
  void WxStnWxActivate(TComponent* Sender);
  void WxStnWxDeactivate(TComponent* Sender);
  void WxStnWxDataUpdate(TComponent* Sender);

  std::string ClassName() const override { return "TfrmSetup"; }

 private:
  void BuildDevicePage();
  void BuildGpsPage();
  void BuildStationPage();
  void BuildProgramPage();
  void BuildTcpPage();
  void BuildWeatherPage();
  void BuildSymbolPage();
  void BuildButtons();
  void ShowPort2Parts(bool Visible);

  bool applying_ = false;
  bool close_main_when_applied_ = false;
  // The settings as the window opened or were last applied: Cancel goes back to them.
  TSetupSnapshot snapshot_;
  // The own position as last read for distances, read again only when it moves: the
  // station list measures every row from it.
  mutable TQthOrigin own_origin_{""};
  mutable double own_origin_lat_ = 0;
  mutable double own_origin_lon_ = 0;
};

extern TfrmSetup* frmSetup;

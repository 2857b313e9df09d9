// The GPS status window: owns the program's GPS receiver, keeps the own GPS position
// that the map and the beacons use, and shows the receiver's state - status line,
// sentence lamps, position, locator, dilution of precision, twelve signal bars and the
// sky plot. Borderless and always on top.
//
// The own position (GpsLat, GpsLon) comes only from an RMC with status "A" and its
// position fields present; GpsPositionValid says whether it holds one. A receiver
// without a fix never moves the own position.
#pragma once

#include <array>
#include <string>

#include "devices/gps_records.h"
#include "platform/gui/controls/forms.h"
#include "platform/text/string_list.h"

class TGpsRx;
class TLabel;
class TMyButton;
class TMyPanel;
class TMyProgressBar;
class TSatTrackingDiagram;
class TTimer;

extern const char* const kGpsStatusNoReceiver;  // "no receiver connected..."
extern const char* const kGpsStatusWaiting;     // "to wait for position data..."
extern const char* const kGpsStatusDataError;   // "position data error..."
extern const char* const kGpsStatusNmeaError;   // "NMEA data error..."
extern const char* const kGpsStatusLost;        // "lost position data..."
// The lines of a signal bar's hint; each "%d" takes a number, in order.
extern const char* const kGpsSatInUse;   // "Satellit %d wird für die Berechnung verwendet"
extern const char* const kGpsSatInView;  // "Satellit %d in Sicht"
extern const char* const kGpsSatSignal;  // "Signalstärke: %d dBHz"
extern const char* const kGpsSatPlace;   // "Azimut: %d° Elevation: %d°"

constexpr int kGpsRefreshMs = 500;
constexpr int kGpsSignalBars = 12;

// The other windows as the GPS window reaches them; each does nothing unless overridden.
class TGpsStatusViews {
 public:
  virtual ~TGpsStatusViews() = default;
  virtual void ShowOwnPosition() {}                  // the map window redraws the own marker
  virtual void SetGpsLamp(int /*Picture*/) {}        // main window lamp: 0 off, 1 ok, 2 error
  virtual void EnableSetGpsPos(bool /*Enabled*/) {}  // the settings window's copy button
  virtual void ReceiverLost() {}  // unplugged: the map window's GPS button goes up
  // The status line and the bar hints in the program's language; Text is one of the
  // kGpsStatus or kGpsSat texts.
  virtual std::string StatusText(const char* Text) const { return Text; }
};

class TfrmGpsStatus : public TForm {
 public:
  explicit TfrmGpsStatus(TComponent* AOwner = nullptr);
  ~TfrmGpsStatus() override;

  // The last line from the receiver failed its check.
  bool GpsDataError = false;
  // A correct sentence arrived since the last error, activation or reset.
  bool GpsDataOk = false;
  // GpsLat and GpsLon hold a position from a valid fix (cleared with the display).
  bool GpsPositionValid = false;
  double GpsLat = 0;  // degrees, north positive
  double GpsLon = 0;  // degrees, east positive

  // What the map and the beacons ask: a receiver that talks and has a fix.
  bool HasGpsPosition() const { return GpsDataOk && GpsPositionValid; }

  TGpsRx* GpsRxMain;

  // Not owned; none, the other windows hear nothing.
  void SetViews(TGpsStatusViews* Views) { views_ = Views ? Views : &no_views_; }
  TGpsStatusViews& Views() const { return *views_; }

  void ResetGpsDisplay();
  void RefreshGpsStatus();

  // Handlers, public so the program and the tests can run them as events would.
  void GpsRxMainDataError(TComponent* Sender);
  void GpsRxMainGpsActivate(TComponent* Sender);
  void GpsRxMainGpsDeactivate(TComponent* Sender);
  void GpsRxMainGpsTimeOut(TComponent* Sender);
  void GpsRxMainNewDataOk(TComponent* Sender, const std::string& strNmeaMsg);
  void Timer1Timer(TComponent* Sender);
  void mbtnCloseClick(TComponent* Sender);
  // The hidden test controls: feed the recorded sentences, switch the receiver.
  void Button1Click(TComponent* Sender);
  void Button2Click(TComponent* Sender);

  TMyPanel* mpnlTop;
  TMyButton* mbtnClose;
  TMyPanel* mpnlStatus;
  TMyPanel* mpnlGPS;
  TMyPanel* mpnlRMC;
  TMyPanel* mpnlGGA;
  TMyPanel* mpnlGSA;
  TMyPanel* mpnlGSV;
  TMyPanel* mpnlLati;
  TMyPanel* mpnlLong;
  TMyPanel* mpnlSTD;
  TSatTrackingDiagram* stdMain;
  TMyPanel* mpnlSignal;
  std::array<TMyProgressBar*, kGpsSignalBars> mpbS{};
  std::array<TLabel*, kGpsSignalBars> lblS{};
  TMyPanel* mpnlLoc;
  TMyPanel* mpnlPDOP;
  TMyPanel* mpnlHDOP;
  TMyPanel* mpnlVDOP;
  // Hidden: switches for each sentence kind (all down), the raw sentences, DGPS data.
  TMyButton* mbtnGGA;
  TMyButton* mbtnGSA;
  TMyButton* mbtnGSV;
  TMyButton* mbtnRMC;
  TLabel* stxtDAT;
  TLabel* stxtDGPSAge;
  TLabel* stxtDGPSID;
  TStringList Memo1;  // recorded sample sentences for Button1Click
  TTimer* Timer1;

  std::string ClassName() const override { return "TfrmGpsStatus"; }

 private:
  TGpsStatusViews no_views_;
  TGpsStatusViews* views_ = &no_views_;

  void BuildControls();
  void ShowPanelError(TMyPanel* Panel);
  void SetPanelState(TMyPanel* Panel, bool On);
  void PlaceSignalLabels();
  void ShowSatBar(const TGpsSat& Sat, TMyProgressBar* Bar);
  void Lamp(int Picture);
  void SetGpsPosButton(bool Enabled);
  void OwnPositionChanged();
};

#include "app/program/wiring.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/language/frm_prg_msg.h"
#include "app/language/speak_file.h"
#include "app/map/aprs_symbols.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/monitor/monitor_styles.h"
#include "app/program/frm_info.h"
#include "app/program/frm_main.h"
#include "app/program/station_views.h"
#include "app/receive/frm_log.h"
#include "app/receive/tnc_link.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/device_windows.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "app/stations/frm_aprs_stn_select.h"
#include "app/transmit/transmit_wiring.h"
#include "controls/my_msg_dialog.h"
#include "core/aprs_is_reader.h"
#include "core/kiss_link.h"
#include "core/tnc_control.h"
#include "devices/gps_rx.h"
#include "devices/gps_status.h"
#include "platform/sys/application.h"
#include "platform/text/local_texts.h"
#include "platform/text/sysutils.h"

namespace {

std::vector<std::string> MemoLines(const TMemo& Memo) {
  std::vector<std::string> lines;
  for (int n = 0; n < Memo.Lines().Count(); ++n) lines.push_back(Memo.Lines().Get(n));
  return lines;
}

// The number Text holds where Pattern has "%d" ("device not reading, 3 writes dropped"
// against "device not reading, %d writes dropped"), or "" when Text is not of the pattern.
std::string NumberInPattern(const std::string& Text, const std::string& Pattern) {
  const size_t at = Pattern.find("%d");
  if (at == std::string::npos) return {};
  const std::string head = Pattern.substr(0, at), tail = Pattern.substr(at + 2);
  if (Text.size() <= head.size() + tail.size() || !Text.starts_with(head) || !Text.ends_with(tail))
    return {};
  const std::string number = Text.substr(head.size(), Text.size() - head.size() - tail.size());
  const bool digits =
      std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
  return digits ? number : std::string();
}

// Text in the program's language (LocalText). A text with a number stands for its
// pattern among Patterns; the number goes into the pattern's wording by replacement.
std::string TranslatedText(const std::string& Text, std::initializer_list<const char*> Patterns) {
  for (const char* pattern : Patterns) {
    if (const std::string number = NumberInPattern(Text, pattern); !number.empty())
      return StringReplace(LocalText(pattern), "%d", number);
  }
  return LocalText(Text);
}

std::string TncStatusText(const std::string& Status) {
  return TranslatedText(Status, {kTncStatusNotReading});
}

// The windows as CreateWindows made them: every one exists from ConnectWindows until
// DisconnectWindows has run. One rule keeps a late call harmless: every adapter below
// is made by a Connect step and handed the windows it reaches, and its Disconnect step
// takes it back from whatever calls it (a link, a reader, a timer) before it lets it
// go. A call that comes afterwards meets its caller's own do-nothing views, never an
// adapter or a window, so no adapter asks whether a window still exists.
struct TWindows {
  TfrmMain& Frame;
  TfrmAprs& Map;
  TfrmAprsStnList& List;
  TfrmAprsStnInfo& Info;
  TfrmAprsStnSelect& Select;
  TfrmAprsMsg& Msg;
  TfrmSetup& Setup;
  TfrmLog& Log;
  TfrmInfo& About;
  TfrmGpsStatus& Gps;
  TfrmWxStatus& Wx;
};

TWindows MadeWindows() {
  return {*frmMain,  *frmAprs, *frmAprsStnList, *frmAprsStnInfo, *frmAprsStnSelect, *frmAprsMsg,
          *frmSetup, *frmLog,  *frmInfo,        *frmGpsStatus,   *frmWxStatus};
}

// The map window opens the station, messaging, log, settings and device windows, and
// its Info button the about window; the station list shows its symbol pictures.
void ConnectMapWindow(const TWindows& W) {
  W.Map.Peers = {&W.Info, &W.Select, &W.List, &W.Msg, &W.Log, &W.Setup, &W.Gps, &W.Wx};
  W.Map.OnShowInfo = [&about = W.About] { about.ShowModal(); };
  AddSymbolPictures(*W.List.imglSym);
}

void DisconnectMapWindow(const TWindows& W) {
  W.Map.Peers = {};
  W.Map.OnShowInfo = nullptr;
}

// The map window's station store shows its stations in the map, the station windows,
// the counter, and asks the settings window.
std::unique_ptr<TWindowStationViews> station_views;

// The station windows show the map window's stations and reach its map, the messaging
// window and the settings window; the map reads the station shown in detail and the
// GPS.
void ConnectStationWindows(const TWindows& W) {
  TfrmAprs& map = W.Map;
  station_views = std::make_unique<TWindowStationViews>(map, W.List, W.Info, W.Select, W.Setup);
  map.Stations.SetViews(station_views->Views());
  // The count the window showed before it was connected.
  map.Stations.UpdateStationCount();
  map.Map->ShownKey = [] { return ::ShownKey; };
  map.Map->ShownPhgText = [&info = W.Info] { return info.ShownPhgText(); };
  map.Map->GpsRunning = [&gps = W.Gps] { return gps.GpsRxMain->Run(); };
  TfrmAprsStnInfo& info = W.Info;
  info.Stations = &map.Stations.StationList;
  info.Setup = &W.Setup;
  info.OnRangeCircle = [&map](const std::string& Key, const std::string& PhgRng) {
    map.Map->ShowRangeCircle(Key, PhgRng);
  };
  info.OnZoom = [&map](bool ZoomIn, double Lat, double Lon) {
    map.Map->ZoomMap(ZoomIn, false, Lon, Lat);
  };
  info.OnMessageTo = [&msg = W.Msg](const std::string& Call) { msg.OnMessageTo(Call); };
  W.List.QrbDistance = [&setup = W.Setup](double Lat, double Lon) {
    double distance = 0;
    double bearing = 0;
    return setup.QrbFromOwnPos(Lat, Lon, distance, bearing) ? distance : 0.0;
  };
  W.List.OnShowStation = [&info](const std::string& Key) {
    info.ShowStationInfo(Key);
    // Both windows stay on top: a station chosen in the list would otherwise be shown
    // behind the list, once it had been clicked, and the double-click seem lost.
    info.BringToFront();
  };
  W.Select.OnStationPicked = [&map](TComponent* Sender) { map.lboxStnSelectClick(Sender); };
  W.Select.lboxStnSelect->OnDrawItem = [&map](TWinControl* Control, int Index, const TRect& Rect,
                                              TOwnerDrawState State) {
    map.lboxStnSelectDrawItem(Control, Index, Rect, State);
  };
}

void DisconnectStationWindows(const TWindows& W) {
  W.Map.Stations.SetViews({});
  station_views.reset();
  W.Map.Map->ShownKey = nullptr;
  W.Map.Map->ShownPhgText = nullptr;
  W.Map.Map->GpsRunning = nullptr;
  W.Info.Stations = nullptr;
  W.Info.Setup = nullptr;
  W.Info.OnRangeCircle = nullptr;
  W.Info.OnZoom = nullptr;
  W.Info.OnMessageTo = nullptr;
  W.List.QrbDistance = nullptr;
  W.List.OnShowStation = nullptr;
  W.Select.OnStationPicked = nullptr;
  W.Select.lboxStnSelect->OnDrawItem = nullptr;
}

// The KISS link's views: the map window's dispatcher and monitor, the packet log's
// player, and the settings window's device choice and raw-byte list.
class TWindowKissViews : public TKissLinkViews {
 public:
  TWindowKissViews(TfrmAprs& Map, const TfrmLog& Log, const TfrmMain& Frame, TfrmSetup& Setup)
      : map_(Map), log_(Log), frame_(Frame), setup_(Setup) {}
  void AnalysePacket(const TReceivedPacket& Packet) override {
    map_.Dispatcher.AnalysePacket(Packet);
  }
  // The TNC's lines and the echo of what we send are bytes as they went over the wire:
  // our own text beyond the code page goes out in UTF-8, and reads as every receiver
  // reads it.
  void AddLogText(const std::string& Text, TLinkTraffic Traffic) override {
    map_.AddMonitorText(Text, MonitorStyleOf(Traffic), true);
  }
  bool IsPlayingBack() const override { return log_.Player.Playing(); }
  bool IsDebugChecked() const override { return frame_.cbxDebug->Checked(); }
  std::string RawByteText() const override { return setup_.memBytRx->Text(); }
  void SetRawByteText(const std::string& Text) override { setup_.memBytRx->SetText(Text); }
  int DeviceIndex() const override { return setup_.mfcbxDevice->ItemIndex(); }

 private:
  TfrmAprs& map_;
  const TfrmLog& log_;
  const TfrmMain& frame_;
  TfrmSetup& setup_;
};

// The dispatcher reads the settings window's controls and the map window's map when a
// packet comes.
class TWindowDispatcherSettings : public TDispatcherSettings {
 public:
  TWindowDispatcherSettings(const TfrmSetup& Setup, const TfrmAprs& Map)
      : setup_(Setup), map_(Map) {}
  std::string CallP1() const override { return setup_.edtCallP1->Text(); }
  std::string CallP2() const override { return setup_.edtCallP2->Text(); }
  std::string MapFile() const override { return map_.Map->MapFile; }
  bool TcpDigi() const override { return setup_.mbtnTcpDigi->Down(); }
  bool TcpNoOutData() const override { return setup_.mbtnTcpNoOutData->Down(); }
  bool TcpNoMon() const override { return setup_.mbtnTcpNoMon->Down(); }

 private:
  const TfrmSetup& setup_;
  const TfrmAprs& map_;
};

// The dispatcher lights the map window's receive lamps and hands packets to the IGate
// and the messaging window.
class TWindowDispatchTargets : public TDispatchTargets {
 public:
  TWindowDispatchTargets(TfrmAprs& Map, TfrmAprsMsg& Msg) : map_(Map), msg_(Msg) {}
  void LightRxLamp(int Port) override { map_.LightRxLamp(Port); }
  void IGateToTcp(const TAprsInfo& Info) override { map_.AprsIs.IGateToTcp(Info); }
  void ReceiveMessage(const TAprsInfo& Info) override { msg_.HandleRxMessage(Info); }

 private:
  TfrmAprs& map_;
  TfrmAprsMsg& msg_;
};

// The APRS-IS link reads the settings window and reports to the map window: its
// button, status text and lamp; its reader hands the lines to the dispatcher.
class TWindowAprsIsSettings : public TAprsIsSettings {
 public:
  explicit TWindowAprsIsSettings(const TfrmSetup& Setup) : setup_(Setup) {}
  std::string Server() const override { return setup_.mfcbxTcpServer->Text(); }
  std::string CallP1() const override { return setup_.edtCallP1->Text(); }
  std::string CallP2() const override { return setup_.edtCallP2->Text(); }
  std::string Passcode() const override { return setup_.nedtVNR->Text(); }
  std::string Filter() const override { return setup_.edtTcpFilter->Text(); }

 private:
  const TfrmSetup& setup_;
};

class TWindowAprsIsViews : public TAprsIsViews {
 public:
  explicit TWindowAprsIsViews(TfrmAprs& Map) : map_(Map) {}
  void AnalysePacket(const TReceivedPacket& Packet) override {
    map_.Dispatcher.AnalysePacket(Packet);
  }
  bool IgSeen() const override { return map_.Dispatcher.IgSeen; }
  void AddLogText(const std::string& Text, TLinkTraffic Traffic) override {
    map_.AddMonitorText(Text, MonitorStyleOf(Traffic), true);
  }
  // The monitor and the station list lay out a batch's packets once.
  void BeginLines() override { map_.Dispatcher.BeginPackets(); }
  void EndLines() override { map_.Dispatcher.EndPackets(); }
  void SetLinkState(TAprsIsState State) override {
    map_.mbtnTcp->SetColorDown(ConnectButtonColor(State));
  }
  void SetStatusText(const std::string& Text) override {
    status_ = Text;
    map_.Label1->SetCaption(LocalText(Text));
  }
  // The status shown stays until the link's next change; a new language says it anew.
  void FollowLanguage() {
    if (status_) SetStatusText(*status_);
  }
  void SetButtonDown(bool Down) override { map_.mbtnTcp->SetDown(Down); }
  void ShowError(const std::string& Text) override { MyShowError(Text); }
  void ClearIgSeen() override { map_.Dispatcher.IgSeen = false; }
  void TxLamp() override { map_.LightTxTcpLamp(); }

 private:
  TfrmAprs& map_;
  std::optional<std::string> status_;  // as the link said it, untranslated
};

// The TNC's connect and disconnect sequences read the settings window and report to
// the map window and the error box.
class TWindowTncViews : public TTncViews {
 public:
  TWindowTncViews(TfrmSetup& Setup, TfrmAprs& Map) : setup_(Setup), map_(Map) {}
  int PortNumber() const override { return setup_.mfcbxPort->ItemIndex() + 1; }
  unsigned BaudRate() const override {
    return static_cast<unsigned>(StrToIntDef(setup_.mfcbxBaud->Text(), 9600));
  }
  void SelectFirstBaud() override { setup_.mfcbxBaud->SetItemIndex(0); }
  std::vector<std::string> InitLines() const override { return MemoLines(*setup_.memIni); }
  std::vector<std::string> ExitLines() const override { return MemoLines(*setup_.memDeini); }
  void SetStatusText(const std::string& Status) override {
    status_ = Status;
    map_.UpdateCaption(TncStatusText(Status));
  }
  void FollowLanguage() {
    if (status_) SetStatusText(*status_);
  }
  void ShowError(const std::string& Text) override { MyShowError(Text); }
  void DeviceLost() override {
    map_.bmpmRxP1->SetActive(false);
    map_.bmpmRxP2->SetActive(false);
  }

 private:
  TfrmSetup& setup_;
  TfrmAprs& map_;
  std::optional<std::string> status_;  // as the TNC control said it, untranslated
};

// The GPS window moves the map window's own marker and GPS lamp and the settings
// window's copy button.
class TWindowGpsViews : public TGpsStatusViews {
 public:
  TWindowGpsViews(TfrmAprs& Map, TfrmSetup& Setup) : map_(Map), setup_(Setup) {}
  void ShowOwnPosition() override { map_.ShowGpsPosition(); }
  void SetGpsLamp(int Picture) override {
    // Picture 2, the fault, must stay: setting Active would show frame 1 again.
    map_.bmpmGps->SetActivePicture(Picture);
  }
  void EnableSetGpsPos(bool Enabled) override { setup_.mbtnSetGpsPos->SetEnabled(Enabled); }
  // The button says the receiver runs; a receiver gone does not, until the user presses
  // it again.
  void ReceiverLost() override { map_.mbtnGps->SetDown(false); }
  std::string StatusText(const char* Text) const override { return LocalText(Text); }

 private:
  TfrmAprs& map_;
  TfrmSetup& setup_;
};

// The weather window shows in the settings window's units the record of its weather
// component.
class TWindowWxSettings : public TWxStatusSettings {
 public:
  explicit TWindowWxSettings(const TfrmSetup& Setup) : setup_(Setup) {}
  int WindFromMph(int Mph) const override { return setup_.WindFromMph(Mph); }
  std::string WindUnitName() const override { return setup_.WindUnitName(); }
  int TempFromFahrenheit(int F) const override { return setup_.TempFromFahrenheit(F); }
  std::string TempUnitName() const override { return setup_.TempUnitName(); }
  bool GetWxData(TWxData& Data) const override {
    setup_.WxStn->GetWxData(Data);
    return true;
  }

 private:
  const TfrmSetup& setup_;
};

// The windows' side of the links, the dispatcher and the device windows.
struct TLinkViews {
  explicit TLinkViews(const TWindows& W)
      : Kiss(W.Map, W.Log, W.Frame, W.Setup),
        DispatcherSettings(W.Setup, W.Map),
        DispatchTargets(W.Map, W.Msg),
        AprsIsSettings(W.Setup),
        AprsIsViews(W.Map),
        Tnc(W.Setup, W.Map),
        Gps(W.Map, W.Setup),
        Wx(W.Setup) {}
  TWindowKissViews Kiss;
  TWindowDispatcherSettings DispatcherSettings;
  TWindowDispatchTargets DispatchTargets;
  TWindowAprsIsSettings AprsIsSettings;
  TWindowAprsIsViews AprsIsViews;
  TWindowTncViews Tnc;
  TWindowGpsViews Gps;
  TWindowWxSettings Wx;
};
std::unique_ptr<TLinkViews> link_views;

// The links, the dispatcher and the device windows report to the windows; the TNC's
// port hands its bytes to the KISS link.
void ConnectLinks(const TWindows& W) {
  link_views = std::make_unique<TLinkViews>(W);
  W.Map.Dispatcher.SetSettings(&link_views->DispatcherSettings);
  W.Map.Dispatcher.SetTargets(&link_views->DispatchTargets);
  W.Map.AprsIs.SetSettings(&link_views->AprsIsSettings);
  W.Map.AprsIs.SetViews(&link_views->AprsIsViews);
  TncControl().SetViews(&link_views->Tnc);
  KissLink.SetViews(&link_views->Kiss);
  AttachKissLink(TncRs232(), KissLink);
  W.Gps.SetViews(&link_views->Gps);
  W.Wx.SetSettings(&link_views->Wx);
}

// The TNC's port closes and its control goes, views and all; the adapters go last.
void DisconnectLinks(const TWindows& W) {
  W.Map.Dispatcher.SetSettings(nullptr);
  W.Map.Dispatcher.SetTargets(nullptr);
  // The reader was handed the link's views when it started; it ends before they go.
  W.Map.AprsIs.Stop();
  W.Map.AprsIs.SetSettings(nullptr);
  W.Map.AprsIs.SetViews(nullptr);
  W.Gps.SetViews(nullptr);
  W.Wx.SetSettings(nullptr);
  KissLink.SetViews(nullptr);
  FreeTncLink();
  link_views.reset();
}

// The beacons and the messaging window read the settings window; the beacons go out
// over the map window's APRS-IS link and show in its monitor and progress bars. The
// packet log sits between the dispatcher and the rest.
std::unique_ptr<TSetupBeaconSettings> setup_beacon_settings;
std::unique_ptr<TMapBeaconViews> map_beacon_views;

void ConnectTransmitting(const TWindows& W) {
  setup_beacon_settings = std::make_unique<TSetupBeaconSettings>(W.Setup, W.Gps);
  map_beacon_views = std::make_unique<TMapBeaconViews>(W.Map);
  W.Map.Beacons.SetSettings(setup_beacon_settings.get());
  W.Map.Beacons.SetViews(map_beacon_views.get());
  ConnectBeaconsToSetup(W.Map.Beacons, W.Setup);
  W.Msg.OwnCalls = setup_beacon_settings.get();
  W.Msg.Internet = &W.Map.Beacons;
  ConnectPacketLog(W.Log, W.Map.Dispatcher, &W.Msg);
  W.Msg.MsgLamp = [&map = W.Map](bool On) {
    // A message waiting blinks the lamp; read, it goes dark (frame 0).
    map.bmpmMsg->SetAnimation(On);
  };
}

void DisconnectTransmitting(const TWindows& W) {
  // The packet log may go before the map window: the dispatcher no longer records.
  W.Map.Dispatcher.SetLog(nullptr);
  // The beacons' settings are the settings window's: they go with the connection.
  W.Map.Beacons.SetSettings(nullptr);
  W.Map.Beacons.SetViews(nullptr);
  W.Msg.OwnCalls = nullptr;
  W.Msg.MsgLamp = nullptr;
  setup_beacon_settings.reset();
  map_beacon_views.reset();
}

// The settings window keeps the main frame's place and switches its KISS link; it
// applies to, and stores the values of, the windows of TSetupPeers.
void ConnectSettingsWindow(const TWindows& W) {
  W.Setup.MainFrame = &W.Frame;
  W.Setup.SwitchKiss = [&frame = W.Frame](bool On) {
    (On ? frame.btnKissOn : frame.btnKissOff)->Click();
  };
  W.Setup.Peers = {&W.Map, &W.Msg, &W.Info, &W.Gps, &W.Wx, &W.Log};
}

void DisconnectSettingsWindow(const TWindows& W) {
  W.Setup.MainFrame = nullptr;
  W.Setup.SwitchKiss = nullptr;
  W.Setup.Peers = {};
}

// Beyond the captions a language file sets: the desktop's own dialogs and date names,
// the GPS window's status line while no receiver runs, the station counter's word, and
// the link states shown.
void FollowLanguage(TfrmGpsStatus& Gps, TfrmAprs& Map) {
  if (Application) Application->SetLanguage(PrgMsg(&TfrmPrgMsg::lblWordLanguage));
  if (!Gps.GpsRxMain->Run()) Gps.ResetGpsDisplay();
  Map.Stations.UpdateStationCount();
  if (link_views) {
    link_views->AprsIsViews.FollowLanguage();
    link_views->Tnc.FollowLanguage();
  }
}

// Whether ConnectWindows has run and DisconnectWindows not yet: the owner of the
// windows lets go of them even when they were never all made.
bool connected = false;

}  // namespace

void ConnectWindows() {
  const TWindows W = MadeWindows();
  OnSpeakLinesApplied = [&gps = W.Gps, &map = W.Map] { FollowLanguage(gps, map); };
  ConnectLinks(W);
  ConnectSettingsWindow(W);
  ConnectMapWindow(W);
  ConnectStationWindows(W);
  ConnectTransmitting(W);
  connected = true;
}

void DisconnectWindows() {
  if (!connected) return;
  connected = false;
  const TWindows W = MadeWindows();
  OnSpeakLinesApplied = nullptr;
  DisconnectSettingsWindow(W);
  DisconnectMapWindow(W);
  DisconnectStationWindows(W);
  DisconnectTransmitting(W);
  DisconnectLinks(W);
}

#include "app/program/wiring.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/language/frm_prg_msg.h"
#include "app/language/speak_file.h"
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
#include "platform/text/sysutils.h"

namespace {

std::vector<std::string> MemoLines(const TMemo& Memo) {
  std::vector<std::string> lines;
  for (int n = 0; n < Memo.Lines().Count(); ++n) lines.push_back(Memo.Lines().Get(n));
  return lines;
}

// The KISS link's views: the map window's dispatcher and monitor, the packet log's
// player, and the settings window's device choice and raw-byte list.
class TWindowKissViews : public TKissLinkViews {
 public:
  void AnalysePacket(const TReceivedPacket& Packet) override {
    if (frmAprs) frmAprs->Dispatcher.AnalysePacket(Packet);
  }
  void AddLogText(const std::string& Text, TLinkTraffic Traffic) override {
    if (frmAprs) frmAprs->AddMonitorText(Text, MonitorStyleOf(Traffic));
  }
  bool IsPlayingBack() const override { return frmLog && frmLog->Player.Playing(); }
  bool IsDebugChecked() const override { return frmMain && frmMain->cbxDebug->Checked(); }
  std::string RawByteText() const override {
    return frmSetup ? frmSetup->memBytRx->Text() : std::string();
  }
  void SetRawByteText(const std::string& Text) override {
    if (frmSetup) frmSetup->memBytRx->SetText(Text);
  }
  int DeviceIndex() const override { return frmSetup ? frmSetup->mfcbxDevice->ItemIndex() : 0; }
};
TWindowKissViews window_kiss_views;

// The dispatcher reads the settings window's controls and the map window's map when a
// packet comes.
class TWindowDispatcherSettings : public TDispatcherSettings {
 public:
  std::string CallP1() const override { return frmSetup ? frmSetup->edtCallP1->Text() : ""; }
  std::string CallP2() const override { return frmSetup ? frmSetup->edtCallP2->Text() : ""; }
  std::string MapFile() const override {
    return frmAprs && frmAprs->Map ? frmAprs->Map->MapFile : std::string();
  }
  bool TcpDigi() const override { return frmSetup && frmSetup->mbtnTcpDigi->Down(); }
  bool TcpNoOutData() const override { return frmSetup && frmSetup->mbtnTcpNoOutData->Down(); }
  bool TcpNoMon() const override { return frmSetup && frmSetup->mbtnTcpNoMon->Down(); }
};
TWindowDispatcherSettings window_dispatcher_settings;

// The map window's station store shows its stations in the map, the station windows,
// the counter, and asks the settings window.
std::unique_ptr<TWindowStationViews> station_views;

// The station windows show the map window's stations and reach its map and the
// messaging window; the map reads the station shown in detail and the GPS.
void ConnectStationWindows() {
  TfrmAprs* map = frmAprs;
  station_views = std::make_unique<TWindowStationViews>(*map, *frmAprsStnList, *frmAprsStnInfo,
                                                        *frmAprsStnSelect, *frmSetup);
  map->Stations.SetViews(station_views->Views());
  // The count the window showed before it was connected.
  map->Stations.UpdateStationCount();
  map->Map->ShownKey = [] { return ::ShownKey; };
  map->Map->ShownPhgText = [] {
    return frmAprsStnInfo ? frmAprsStnInfo->ShownPhgText() : std::string();
  };
  map->Map->GpsRunning = [] { return frmGpsStatus && frmGpsStatus->GpsRxMain->Run(); };
  if (frmAprsStnInfo) {
    frmAprsStnInfo->Stations = &map->Stations.StationList;
    frmAprsStnInfo->OnRangeCircle = [map](const std::string& Key, const std::string& PhgRng) {
      map->Map->ShowRangeCircle(Key, PhgRng);
    };
    frmAprsStnInfo->OnZoom = [map](bool ZoomIn, double Lat, double Lon) {
      map->Map->ZoomMap(ZoomIn, false, Lon, Lat);
    };
    frmAprsStnInfo->OnMessageTo = [](const std::string& Call) {
      if (frmAprsMsg) frmAprsMsg->OnMessageTo(Call);
    };
  }
  if (frmAprsStnList) {
    frmAprsStnList->OnShowStation = [info = frmAprsStnInfo](const std::string& Key) {
      info->ShowStationInfo(Key);
      // Both windows stay on top: a station chosen in the list would otherwise be shown
      // behind the list, once it had been clicked, and the double-click seem lost.
      info->BringToFront();
    };
  }
  if (frmAprsStnSelect) {
    frmAprsStnSelect->OnStationPicked = [map](TComponent* Sender) {
      map->lboxStnSelectClick(Sender);
    };
    frmAprsStnSelect->lboxStnSelect->OnDrawItem = [map](TWinControl* Control, int Index,
                                                        const TRect& Rect, TOwnerDrawState State) {
      map->lboxStnSelectDrawItem(Control, Index, Rect, State);
    };
  }
}

void DisconnectStationWindows() {
  if (frmAprs) frmAprs->Stations.SetViews({});
  station_views.reset();
  if (frmAprsStnInfo) {
    frmAprsStnInfo->Stations = nullptr;
    frmAprsStnInfo->OnRangeCircle = nullptr;
    frmAprsStnInfo->OnZoom = nullptr;
    frmAprsStnInfo->OnMessageTo = nullptr;
  }
  if (frmAprsStnList) frmAprsStnList->OnShowStation = nullptr;
  if (frmAprsStnSelect) {
    frmAprsStnSelect->OnStationPicked = nullptr;
    frmAprsStnSelect->lboxStnSelect->OnDrawItem = nullptr;
  }
}

// The dispatcher lights the map window's receive lamps and hands packets to the IGate
// and the messaging window.
class TWindowDispatchTargets : public TDispatchTargets {
 public:
  void LightRxLamp(int Port) override {
    if (frmAprs) frmAprs->LightRxLamp(Port);
  }
  void IGateToTcp(const TAprsInfo& Info) override {
    if (frmAprs) frmAprs->AprsIs.IGateToTcp(Info);
  }
  void ReceiveMessage(const TAprsInfo& Info) override {
    if (frmAprsMsg) frmAprsMsg->HandleRxMessage(Info);
  }
};
TWindowDispatchTargets window_dispatch_targets;

// The APRS-IS link reads the settings window and reports to the map window: its
// button, status text and lamp; its reader hands the lines to the dispatcher.
class TWindowAprsIsSettings : public TAprsIsSettings {
 public:
  std::string Server() const override { return frmSetup->mfcbxTcpServer->Text(); }
  std::string CallP1() const override { return frmSetup->edtCallP1->Text(); }
  std::string Passcode() const override { return frmSetup->nedtVNR->Text(); }
  std::string Filter() const override { return frmSetup->edtTcpFilter->Text(); }
};
TWindowAprsIsSettings window_aprs_is_settings;

// Text in the program's language: the message text standing for it in Texts, or Text
// itself when none does.
template <size_t N>
std::string TranslatedText(const std::string& Text,
                           const std::pair<const char*, TPrgMsgLabel> (&Texts)[N]) {
  for (const auto& [fixed, label] : Texts) {
    if (Text == fixed) return PrgMsg(label, Text);
  }
  return Text;
}

class TWindowAprsIsViews : public TAprsIsViews {
 public:
  void AnalysePacket(const TReceivedPacket& Packet) override {
    if (frmAprs) frmAprs->Dispatcher.AnalysePacket(Packet);
  }
  bool IgSeen() const override { return frmAprs && frmAprs->Dispatcher.IgSeen; }
  void AddLogText(const std::string& Text, TLinkTraffic Traffic) override {
    if (frmAprs) frmAprs->AddMonitorText(Text, MonitorStyleOf(Traffic));
  }
  void SetLinkState(TAprsIsState State) override {
    if (frmAprs) frmAprs->mbtnTcp->SetColorDown(ConnectButtonColor(State));
  }
  void SetStatusText(const std::string& Text) override {
    const std::pair<const char*, TPrgMsgLabel> texts[] = {
        {TTcpClient::kStatusConnected, &TfrmPrgMsg::lblInfTcpConnected},
        {TTcpClient::kStatusDisconnected, &TfrmPrgMsg::lblInfTcpDisconnected},
        {kConnectionLostText, &TfrmPrgMsg::lblInfTcpLost},
        {kServerSilentText, &TfrmPrgMsg::lblInfTcpSilent}};
    if (frmAprs) frmAprs->Label1->SetCaption(TranslatedText(Text, texts));
  }
  void SetButtonDown(bool Down) override {
    if (frmAprs) frmAprs->mbtnTcp->SetDown(Down);
  }
  void ShowError(const std::string& Text) override { MyShowError(Text); }
  void ClearIgSeen() override {
    if (frmAprs) frmAprs->Dispatcher.IgSeen = false;
  }
  void TxLamp() override {
    if (frmAprs) frmAprs->LightTxTcpLamp();
  }
};
TWindowAprsIsViews window_aprs_is_views;

std::string TncStatusText(const std::string& Status) {
  const std::pair<const char*, TPrgMsgLabel> texts[] = {
      {kTncStatusConnecting, &TfrmPrgMsg::lblInfTncConnecting},
      {kTncStatusDisconnected, &TfrmPrgMsg::lblInfTncDisconnected},
      {kTncStatusLost, &TfrmPrgMsg::lblInfTncLost}};
  return TranslatedText(Status, texts);
}

// The TNC's connect and disconnect sequences read the settings window and report to
// the map window and the error box.
class TWindowTncViews : public TTncViews {
 public:
  int PortNumber() const override { return frmSetup->mfcbxPort->ItemIndex() + 1; }
  unsigned BaudRate() const override {
    return static_cast<unsigned>(StrToIntDef(frmSetup->mfcbxBaud->Text(), 9600));
  }
  void SelectFirstBaud() override { frmSetup->mfcbxBaud->SetItemIndex(0); }
  std::vector<std::string> InitLines() const override { return MemoLines(*frmSetup->memIni); }
  std::vector<std::string> ExitLines() const override { return MemoLines(*frmSetup->memDeini); }
  void SetStatusText(const std::string& Status) override {
    if (frmAprs) frmAprs->UpdateCaption(TncStatusText(Status));
  }
  void ShowError(const std::string& Text) override { MyShowError(Text); }
  void DeviceLost() override {
    if (!frmAprs) return;
    frmAprs->bmpmRxP1->SetActive(false);
    frmAprs->bmpmRxP2->SetActive(false);
  }
};
TWindowTncViews window_tnc_views;

// The TNC reports to the windows; the port's bytes go to the KISS link.
void ConnectTnc() {
  TncControl().SetViews(&window_tnc_views);
  KissLink.SetViews(&window_kiss_views);
  AttachKissLink(TncRs232(), KissLink);
}

// The GPS window moves the map window's own marker and GPS lamp and the settings
// window's copy button.
class TWindowGpsViews : public TGpsStatusViews {
 public:
  void ShowOwnPosition() override {
    if (frmAprs) frmAprs->ShowGpsPosition();
  }
  void SetGpsLamp(int Picture) override {
    if (!frmAprs) return;
    // Picture 2, the fault, must stay: setting Active would show frame 1 again.
    frmAprs->bmpmGps->SetActivePicture(Picture);
  }
  void EnableSetGpsPos(bool Enabled) override {
    if (frmSetup) frmSetup->mbtnSetGpsPos->SetEnabled(Enabled);
  }
  std::string StatusText(const char* Text) const override {
    const std::pair<const char*, TPrgMsgLabel> texts[] = {
        {kGpsStatusNoReceiver, &TfrmPrgMsg::lblInfGpsNoReceiver},
        {kGpsStatusWaiting, &TfrmPrgMsg::lblInfGpsWaiting},
        {kGpsStatusDataError, &TfrmPrgMsg::lblInfGpsDataError},
        {kGpsStatusNmeaError, &TfrmPrgMsg::lblInfGpsNmeaError},
        {kGpsStatusLost, &TfrmPrgMsg::lblInfGpsLost}};
    return TranslatedText(Text, texts);
  }
};
TWindowGpsViews window_gps_views;

// The weather window shows in the settings window's units the record of its weather
// component.
class TWindowWxSettings : public TWxStatusSettings {
 public:
  int WindFromMph(int Mph) const override { return frmSetup->WindFromMph(Mph); }
  std::string WindUnitName() const override { return frmSetup->WindUnitName(); }
  int TempFromFahrenheit(int F) const override { return frmSetup->TempFromFahrenheit(F); }
  std::string TempUnitName() const override { return frmSetup->TempUnitName(); }
  bool GetWxData(TWxData& Data) const override {
    frmSetup->WxStn->GetWxData(Data);
    return true;
  }
};
TWindowWxSettings window_wx_settings;

// Beacons, messages and the packet log reach the settings window, the APRS-IS link and
// the dispatcher.
// The beacons and the messaging window read the settings window; the beacons go out
// over the map window's APRS-IS link and show in its monitor and progress bars.
std::unique_ptr<TSetupBeaconSettings> setup_beacon_settings;
TMapBeaconViews map_beacon_views;

void ConnectTransmitting() {
  setup_beacon_settings = std::make_unique<TSetupBeaconSettings>(*frmSetup);
  frmAprs->Beacons.SetSettings(setup_beacon_settings.get());
  frmAprs->Beacons.SetViews(&map_beacon_views);
  ConnectBeaconsToSetup(frmAprs->Beacons, *frmSetup);
  frmAprsMsg->OwnCalls = setup_beacon_settings.get();
  frmAprsMsg->Internet = &frmAprs->Beacons;
  ConnectPacketLog(*frmLog, frmAprs->Dispatcher, frmAprsMsg);
  frmAprsMsg->MsgLamp = [](bool On) {
    // A message waiting blinks the lamp; read, it goes dark (frame 0).
    if (frmAprs) frmAprs->bmpmMsg->SetAnimation(On);
  };
}

// The main frame: the settings window keeps its place and switches its KISS link; the
// map window's Info button opens the about window.
void ConnectFrame() {
  frmSetup->MainFrame = frmMain;
  frmSetup->SwitchKiss = [frame = frmMain](bool On) {
    (On ? frame->btnKissOn : frame->btnKissOff)->Click();
  };
  frmAprs->OnShowInfo = [info = frmInfo] { info->ShowModal(); };
}

void DisconnectFrame() {
  if (frmSetup) {
    frmSetup->MainFrame = nullptr;
    frmSetup->SwitchKiss = nullptr;
  }
  if (frmAprs) frmAprs->OnShowInfo = nullptr;
}

// Beyond the captions a language file sets: the desktop's own dialogs and date names,
// and the GPS window's status line while no receiver runs.
void FollowLanguage() {
  if (Application) Application->SetLanguage(PrgMsg(&TfrmPrgMsg::lblWordLanguage));
  if (frmGpsStatus && !frmGpsStatus->GpsRxMain->Run()) frmGpsStatus->ResetGpsDisplay();
}

}  // namespace

void ConnectWindows() {
  OnSpeakLinesApplied = FollowLanguage;
  frmAprs->Dispatcher.SetSettings(&window_dispatcher_settings);
  frmAprs->Dispatcher.SetTargets(&window_dispatch_targets);
  ConnectFrame();
  ConnectStationWindows();
  frmAprs->AprsIs.SetSettings(&window_aprs_is_settings);
  frmAprs->AprsIs.SetViews(&window_aprs_is_views);
  ConnectTnc();
  frmGpsStatus->SetViews(&window_gps_views);
  frmWxStatus->SetSettings(&window_wx_settings);
  ConnectTransmitting();
}

void DisconnectWindows() {
  OnSpeakLinesApplied = nullptr;
  DisconnectFrame();
  DisconnectStationWindows();
  // The packet log may go before the map window: the dispatcher no longer records.
  if (frmAprs) frmAprs->Dispatcher.SetLog(nullptr);
  // The beacons' settings are the settings window's: they go with the connection.
  if (frmAprs) frmAprs->Beacons.SetSettings(nullptr);
  if (frmAprsMsg) frmAprsMsg->OwnCalls = nullptr;
  setup_beacon_settings.reset();
  if (frmGpsStatus) frmGpsStatus->SetViews(nullptr);
  if (frmWxStatus) frmWxStatus->SetSettings(nullptr);
  KissLink.SetViews(nullptr);
  FreeTncLink();
}

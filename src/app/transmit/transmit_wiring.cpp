#include "app/transmit/transmit_wiring.h"

#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/receive/frm_log.h"
#include "app/receive/packet_dispatcher.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/device_windows.h"
#include "app/transmit/beacons.h"
#include "platform/text/cp1252.h"

std::string TSetupBeaconSettings::Call(int Port) const {
  return (Port == 0 ? setup_.edtCallP1 : setup_.edtCallP2)->Text();
}
std::string TSetupBeaconSettings::Path(int Port) const {
  return (Port == 0 ? setup_.edtPathP1 : setup_.edtPathP2)->Text();
}
// The texts typed for the beacons go out as typed, in UTF-8 when the code page cannot
// hold them.
std::string TSetupBeaconSettings::Info(int Port) const {
  return TextToSend((Port == 0 ? setup_.edtInfoP1 : setup_.edtInfoP2)->TextW());
}
std::string TSetupBeaconSettings::Status(int Port) const {
  return TextToSend((Port == 0 ? setup_.edtStatusP1 : setup_.edtStatusP2)->TextW());
}
std::string TSetupBeaconSettings::WxStatus(int Port) const {
  return TextToSend((Port == 0 ? setup_.edtWxStatusP1 : setup_.edtWxStatusP2)->TextW());
}
std::string TSetupBeaconSettings::WxSsid(int Port) const {
  return (Port == 0 ? setup_.mfcbxWxSsidP1 : setup_.mfcbxWxSsidP2)->Text();
}
TBeaconSymbol TSetupBeaconSettings::Symbol(int Port) const {
  return Port == 0 ? TBeaconSymbol{SymTabP1, SymCodeP1} : TBeaconSymbol{SymTabP2, SymCodeP2};
}
TGeoPoint TSetupBeaconSettings::OwnPos() const {
  return {setup_.OwnLat, setup_.OwnLon};
}
bool TSetupBeaconSettings::GpsPos(TGeoPoint& Pos) const {
  if (!gps_.GpsRxMain->Run() || !gps_.HasGpsPosition()) return false;
  Pos = {gps_.GpsLat, gps_.GpsLon};
  return true;
}
int TSetupBeaconSettings::Ambiguity() const {
  return setup_.mfcbxPosAmbi->ItemIndex();
}
bool TSetupBeaconSettings::Compressed() const {
  return setup_.mbtnComp->Down();
}
bool TSetupBeaconSettings::RangeOn() const {
  return setup_.mbtnRange->Down();
}
double TSetupBeaconSettings::PowerWatts() const {
  return setup_.nedtPower->IntIst();
}
double TSetupBeaconSettings::HeightFeet() const {
  return setup_.HeightToFeet(setup_.nedtHeight->IntIst());
}
double TSetupBeaconSettings::GainDb() const {
  return setup_.nedtGain->IntIst();
}
bool TSetupBeaconSettings::DualPort() const {
  return setup_.IsDualPortDevice();
}
bool TSetupBeaconSettings::WxDeviceOn() const {
  return setup_.IsWxDeviceOn();
}
bool TSetupBeaconSettings::WxFromTextFile() const {
  return setup_.mfcbxWxDevice->ItemIndex() == kWxDeviceText;
}
void TSetupBeaconSettings::ReadWxTextFile() {
  setup_.ReadWxTextFile();
}
std::string TSetupBeaconSettings::WxText() const {
  return setup_.WxText;
}

TMyProgressBar* TMapBeaconViews::ProgressBar(TBeaconKind Kind) const {
  switch (Kind) {
    case bkPosP1:
      return map_.mpbTimPosP1;
    case bkStatusP1:
      return map_.mpbTimStaP1;
    case bkPosP2:
      return map_.mpbTimPosP2;
    case bkStatusP2:
      return map_.mpbTimStaP2;
    default:
      return nullptr;
  }
}
bool TMapBeaconViews::IsConnected() const {
  return map_.AprsIs.IsConnected();
}
bool TMapBeaconViews::WriteLine(const std::string& Line) {
  return map_.AprsIs.TCPClientIGate.WriteLine(Line);
}
// What we send reads in the monitor as every receiver reads it: our own text beyond the
// code page goes out in UTF-8.
void TMapBeaconViews::AddLogText(const std::string& Text, int Style) {
  map_.AddMonitorText(Text, Style, true);
}
void TMapBeaconViews::ResetProgress(TBeaconKind Kind) {
  if (TMyProgressBar* bar = ProgressBar(Kind)) bar->SetPosition(0);
}
void TMapBeaconViews::StepProgress(TBeaconKind Kind) {
  if (TMyProgressBar* bar = ProgressBar(Kind)) bar->SetPosition(bar->Position() + 1);
}

void ConnectBeaconsToSetup(TBeacons& Beacons, TfrmSetup& Setup) {
  TfrmSetup* s = &Setup;
  TBeacons* beacons = &Beacons;
  s->SendBeacon = [beacons](TBeaconKind Kind) { beacons->SendBeacon(Kind); };
  const std::pair<TTimer*, TBeaconKind> timers[] = {
      {s->timPosP1, bkPosP1}, {s->timStatusP1, bkStatusP1},
      {s->timWxP1, bkWxP1},   {s->timWxStatusP1, bkWxStatusP1},
      {s->timPosP2, bkPosP2}, {s->timStatusP2, bkStatusP2},
      {s->timWxP2, bkWxP2},   {s->timWxStatusP2, bkWxStatusP2}};
  for (const auto& [timer, kind] : timers)
    timer->OnTimer = [beacons, kind = kind](TComponent*) { beacons->OnAllTimer(kind); };
  s->timPosDec->SetInterval(1000);
  s->timPosDec->OnTimer = [beacons](TComponent*) { beacons->timPosDecTimer(); };
  s->WxStn->SetOnWxDataUpdate([s](TComponent* Sender) {
    s->WxStnWxDataUpdate(Sender);
    TWxData data;
    s->WxStn->GetWxData(data);
    s->WxText = BuildWxText(data, {s->mbtnWind->Down(), s->mbtnRain->Down(),
                                   s->mbtnHuminity->Down(), s->mbtnBaro->Down()});
  });
}

void ConnectPacketLog(TfrmLog& Log, TPacketDispatcher& Dispatcher, TfrmAprsMsg* Msg) {
  Dispatcher.SetLog(&Log);
  TPacketDispatcher* dispatcher = &Dispatcher;
  Log.AnalysePacket = [dispatcher](const TReceivedPacket& Packet) {
    dispatcher->AnalysePacket(Packet);
  };
  TfrmLog* log = &Log;
  if (Msg) Msg->IsReplaying = [log] { return log->Player.HandingOver(); };
}

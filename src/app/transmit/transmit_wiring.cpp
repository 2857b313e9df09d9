#include "app/transmit/transmit_wiring.h"

#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/program/device_windows.h"
#include "app/receive/frm_log.h"
#include "app/receive/packet_dispatcher.h"
#include "app/settings/frm_setup.h"
#include "app/transmit/beacons.h"

namespace {

TMyProgressBar* ProgressBar(TBeaconKind Kind) {
  if (!frmAprs) return nullptr;
  switch (Kind) {
    case bkPosP1:
      return frmAprs->mpbTimPosP1;
    case bkStatusP1:
      return frmAprs->mpbTimStaP1;
    case bkPosP2:
      return frmAprs->mpbTimPosP2;
    case bkStatusP2:
      return frmAprs->mpbTimStaP2;
    default:
      return nullptr;
  }
}

}  // namespace

void ConnectBeaconsToSetup(TBeacons& Beacons, TfrmSetup& Setup) {
  TfrmSetup* s = &Setup;
  TBeaconSettings& b = Beacons.Settings;
  b.CallP1 = [s] { return s->edtCallP1->Text(); };
  b.CallP2 = [s] { return s->edtCallP2->Text(); };
  b.PathP1 = [s] { return s->edtPathP1->Text(); };
  b.PathP2 = [s] { return s->edtPathP2->Text(); };
  b.InfoP1 = [s] { return s->edtInfoP1->Text(); };
  b.InfoP2 = [s] { return s->edtInfoP2->Text(); };
  b.StatusP1 = [s] { return s->edtStatusP1->Text(); };
  b.StatusP2 = [s] { return s->edtStatusP2->Text(); };
  b.WxStatusP1 = [s] { return s->edtWxStatusP1->Text(); };
  b.WxStatusP2 = [s] { return s->edtWxStatusP2->Text(); };
  b.WxSsidP1 = [s] { return s->mfcbxWxSsidP1->Text(); };
  b.WxSsidP2 = [s] { return s->mfcbxWxSsidP2->Text(); };
  b.Symbol = [](int Port) {
    return Port == 0 ? TBeaconSymbol{SymTabP1, SymCodeP1} : TBeaconSymbol{SymTabP2, SymCodeP2};
  };
  b.OwnPos = [s] { return TGeoPoint{s->OwnLat, s->OwnLon}; };
  b.GpsPos = [](TGeoPoint& Pos) {
    if (!frmGpsStatus || !frmGpsStatus->GpsRxMain->Run() || !frmGpsStatus->HasGpsPosition())
      return false;
    Pos = {frmGpsStatus->GpsLat, frmGpsStatus->GpsLon};
    return true;
  };
  b.Ambiguity = [s] { return s->mfcbxPosAmbi->ItemIndex(); };
  b.Compressed = [s] { return s->mbtnComp->Down(); };
  b.RangeOn = [s] { return s->mbtnRange->Down(); };
  b.PowerWatts = [s] { return double(s->nedtPower->IntIst()); };
  b.HeightFeet = [s] { return double(s->HeightToFeet(s->nedtHeight->IntIst())); };
  b.GainDb = [s] { return double(s->nedtGain->IntIst()); };
  b.DualPort = [s] { return s->IsDualPortDevice(); };
  b.WxDeviceOn = [s] { return s->IsWxDeviceOn(); };
  b.WxFromTextFile = [s] { return s->mfcbxWxDevice->ItemIndex() == kWxDeviceText; };
  b.ReadWxTextFile = [s] { s->ReadWxTextFile(); };
  b.WxText = [s] { return s->WxText; };

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
  Beacons.ResetProgress = [](TBeaconKind Kind) {
    if (TMyProgressBar* bar = ProgressBar(Kind)) bar->SetPosition(0);
  };
  Beacons.StepProgress = [](TBeaconKind Kind) {
    if (TMyProgressBar* bar = ProgressBar(Kind)) bar->SetPosition(bar->Position() + 1);
  };
  s->WxStn->SetOnWxDataUpdate([s](TComponent* Sender) {
    s->WxStnWxDataUpdate(Sender);
    TWxData data;
    s->WxStn->GetWxData(data);
    s->WxText = BuildWxText(data, {s->mbtnWind->Down(), s->mbtnRain->Down(),
                                   s->mbtnHuminity->Down(), s->mbtnBaro->Down()});
  });
}

void ConnectMsgToSetup(TfrmAprsMsg& Msg, TfrmSetup& Setup, TBeacons& Beacons) {
  TfrmSetup* s = &Setup;
  Msg.Settings.CallP1 = [s] { return s->edtCallP1->Text(); };
  Msg.Settings.CallP2 = [s] { return s->edtCallP2->Text(); };
  Msg.Settings.PathP1 = [s] { return s->edtPathP1->Text(); };
  Msg.Settings.PathP2 = [s] { return s->edtPathP2->Text(); };
  TBeacons* beacons = &Beacons;
  Msg.SendToIgate = [beacons](const std::string& Src, const std::string& Path,
                              const std::string& Data) {
    return beacons->SendToIgate(Src, Path, Data);
  };
}

void ConnectPacketLog(TfrmLog& Log, TPacketDispatcher& Dispatcher, TfrmAprsMsg* Msg) {
  Dispatcher.SetLog(&Log);
  TPacketDispatcher* dispatcher = &Dispatcher;
  Log.AnalysePacket = [dispatcher](const TStrings& Packet) { dispatcher->AnalysePacket(Packet); };
  TfrmLog* log = &Log;
  if (Msg) Msg->IsReplaying = [log] { return log->Player.HandingOver(); };
}

// Connects the beacons and the messaging window to the settings window (which holds
// their settings and timers) and to the map window (the APRS-IS link, the monitor and
// the beacon progress bars), as the program does at start-up.
#pragma once

#include <string>

#include "app/transmit/beacons.h"

class TMyProgressBar;
class TPacketDispatcher;
class TfrmAprs;
class TfrmAprsMsg;
class TfrmGpsStatus;
class TfrmLog;
class TfrmSetup;

// The settings window as the beacons and the messaging window read it, with the GPS
// window's fix when its receiver runs.
class TSetupBeaconSettings : public TBeaconSettings {
 public:
  TSetupBeaconSettings(TfrmSetup& Setup, const TfrmGpsStatus& Gps) : setup_(Setup), gps_(Gps) {}

  std::string Call(int Port) const override;
  std::string Path(int Port) const override;
  std::string Info(int Port) const override;
  std::string Status(int Port) const override;
  std::string WxStatus(int Port) const override;
  std::string WxSsid(int Port) const override;
  TBeaconSymbol Symbol(int Port) const override;
  TGeoPoint OwnPos() const override;
  bool GpsPos(TGeoPoint& Pos) const override;
  int Ambiguity() const override;
  bool Compressed() const override;
  bool RangeOn() const override;
  double PowerWatts() const override;
  double HeightFeet() const override;
  double GainDb() const override;
  bool DualPort() const override;
  bool WxDeviceOn() const override;
  bool WxFromTextFile() const override;
  void ReadWxTextFile() override;
  std::string WxText() const override;

 private:
  TfrmSetup& setup_;
  const TfrmGpsStatus& gps_;
};

// The map window as the beacons see it: its APRS-IS link, its monitor and its beacon
// progress bars.
class TMapBeaconViews : public TBeaconViews {
 public:
  explicit TMapBeaconViews(TfrmAprs& Map) : map_(Map) {}
  bool IsConnected() const override;
  bool WriteLine(const std::string& Line) override;
  void AddLogText(const std::string& Text, int Style) override;
  void ResetProgress(TBeaconKind Kind) override;
  void StepProgress(TBeaconKind Kind) override;

 private:
  TMyProgressBar* ProgressBar(TBeaconKind Kind) const;

  TfrmAprs& map_;
};

// The eight TX buttons and the eight beacon timers (each sends its beacon), timPosDec
// (the progress bars), and the weather text, rebuilt from the station's record after
// the settings window has shown each weather update.
void ConnectBeaconsToSetup(TBeacons& Beacons, TfrmSetup& Setup);
// The packet log between the dispatcher and the rest: the dispatcher records through
// it and gets the played packets; a played packet is shown, decoded and stored, but the
// IGate does not forward it and the messaging window (when given) does not answer it.
void ConnectPacketLog(TfrmLog& Log, TPacketDispatcher& Dispatcher, TfrmAprsMsg* Msg);

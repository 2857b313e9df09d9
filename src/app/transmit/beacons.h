// The own beacons: position, status, weather and weather status for radio port 1 and 2,
// each sent to the TNC as a KISS frame and, while the APRS-IS link is up, to the
// server as a TNC2 line echoed into the monitor. The TX buttons and the beacon timers of
// the settings window end in SendBeacon; the messaging window shares SendToIgate.
//
//   radio:    "0:N0CALL-9" via "APRS,WIDE1-1"  "=4903.50N/07201.75W>RNG0002/comment"
//   internet: "N0CALL-9>APRS,WIDE1-1:=4903.50N/07201.75W>RNG0002/comment"
//
// The settings are read through the hooks of TBeaconSettings, each called only when
// assigned (an unassigned text reads empty, a switch up, a number 0).
#pragma once

#include <functional>
#include <string>

#include "app/transmit/beacon_builder.h"
#include "core/aprs_position.h"
#include "core/kiss_link.h"

enum TBeaconKind {
  bkPosP1,
  bkStatusP1,
  bkWxP1,
  bkWxStatusP1,
  bkPosP2,
  bkStatusP2,
  bkWxP2,
  bkWxStatusP2,
};

// Why SendBeacon sent nothing.
enum class TBeaconResult {
  Sent,
  NoOwnPosition,  // the fixed own position is exactly 0/0
  NoCallsign,     // the port's own callsign is empty
  BadPosition,    // the position is not on the globe
  NotDualPort,    // a port-2 position or status without a dual-port device
  NoWxDevice,     // a weather beacon without a weather source
  NoWxText,       // no weather data (or no valid weather file) yet
  EmptyWxStatus,  // a weather status without its text
};

struct TBeaconSymbol {
  char Table = '/';
  char Code = '-';
};

struct TBeaconSettings {
  std::function<std::string()> CallP1, CallP2;          // edtCallP1/P2
  std::function<std::string()> PathP1, PathP2;          // edtPathP1/P2
  std::function<std::string()> InfoP1, InfoP2;          // edtInfoP1/P2
  std::function<std::string()> StatusP1, StatusP2;      // edtStatusP1/P2
  std::function<std::string()> WxStatusP1, WxStatusP2;  // edtWxStatusP1/P2
  std::function<std::string()> WxSsidP1, WxSsidP2;      // mfcbxWxSsidP1/P2 text, "-11"
  std::function<TBeaconSymbol(int Port)> Symbol;        // SymTabP1/SymCodeP1 (Port 0), P2
  std::function<TGeoPoint()> OwnPos;                    // OwnLat, OwnLon
  // The GPS status window's position while its receiver runs with data ok.
  std::function<bool(TGeoPoint& Pos)> GpsPos;
  std::function<int()> Ambiguity;                          // mfcbxPosAmbi item index, 0..3
  std::function<bool()> Compressed;                        // mbtnComp
  std::function<bool()> RangeOn;                           // mbtnRange
  std::function<double()> PowerWatts, HeightFeet, GainDb;  // nedtPower, nedtHeight, nedtGain
  std::function<bool()> DualPort;                          // IsDualPortDevice
  std::function<bool()> WxDeviceOn;                        // IsWxDeviceOn
  std::function<bool()> WxFromTextFile;                    // weather type "WX-TEXT"
  std::function<void()> ReadWxTextFile;                    // refreshes WxText from the weather file
  std::function<std::string()> WxText;
};

class TBeacons {
 public:
  TBeaconSettings Settings;
  // The TNC link the radio copies go to.
  TKissLink* Kiss = &KissLink;
  // The APRS-IS link: its state and its line writer (true when written).
  std::function<bool()> IsConnected;
  std::function<bool(const std::string& Line)> WriteLine;
  // The map window's monitor rdMain.
  std::function<void(const std::string& Text, int Style)> AddLogText;
  // The map window's beacon progress bars (mpbTimPosP1 ...): back to 0, one second on.
  std::function<void(TBeaconKind Kind)> ResetProgress;
  std::function<void(TBeaconKind Kind)> StepProgress;

  // A TX button or beacon timer: builds the beacon and sends it on the radio and the
  // internet. Nothing at all is sent while the own fixed position is exactly 0/0.
  TBeaconResult SendBeacon(TBeaconKind Kind);
  // The beacon timers (timPosP1 ... timWxStatusP2) each click their TX button.
  void OnAllTimer(TBeaconKind Kind) { SendBeacon(Kind); }
  // timPosDec, once a second: the position and status bars of port 1, and of port 2 for
  // a dual-port device, move one step towards their next beacon.
  void timPosDecTimer();

  // "RNG" and four digits from the range settings.
  std::string BuildRngText() const;
  // The position with symbol, from the GPS when it has a fix, ambiguous as set; the
  // weather form is always plain with the weather symbol. Empty when not on the globe.
  std::string BuildBeaconPos(int Port, bool Weather) const;

  // The common internet sender, only while connected: the port prefix ("0:") is
  // dropped, the path normalised, the TNC2 line written and the frame echoed. Nothing
  // goes out for an empty source. True when the line was written.
  bool SendToIgate(const std::string& Src, const std::string& Path, const std::string& Data);
  // The monitor echo of a line sent to the internet, in the internet style pair.
  void EchoIgateFrame(const std::string& Src, const std::string& Path, const std::string& Data);

 private:
  TBeaconResult SendPosition(int Port);
  TBeaconResult SendStatus(int Port);
  TBeaconResult SendWeather(int Port, bool Status);
  void SendBoth(const std::string& Call, int Port, const std::string& Path,
                const std::string& Data);
};

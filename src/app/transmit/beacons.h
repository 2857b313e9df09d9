// The own beacons: position, status, weather and weather status for radio port 1 and 2,
// each sent to the TNC as a KISS frame and, while the APRS-IS link is up, to the
// server as a TNC2 line echoed into the monitor. The TX buttons and the beacon timers of
// the settings window end in SendBeacon; the messaging window shares SendToIgate.
//
//   radio:    "0:N0CALL-9" via "APRS,WIDE1-1"  "=4903.50N/07201.75W>RNG0002/comment"
//   internet: "N0CALL-9>APRS,WIDE1-1:=4903.50N/07201.75W>RNG0002/comment"
//
// The settings are read through TBeaconSettings, whose every answer is empty, off or 0
// unless overridden.
#pragma once

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

// The own station on each radio port, Port 0 for port 1 and 1 for port 2: the
// callsign and the path its packets go out with (the beacons and the messages).
class TOwnCalls {
 public:
  virtual ~TOwnCalls() = default;
  virtual std::string Call(int /*Port*/) const { return {}; }  // edtCallP1/P2
  virtual std::string Path(int /*Port*/) const { return {}; }  // edtPathP1/P2
};

class TBeaconSettings : public TOwnCalls {
 public:
  virtual std::string Info(int /*Port*/) const { return {}; }      // edtInfoP1/P2
  virtual std::string Status(int /*Port*/) const { return {}; }    // edtStatusP1/P2
  virtual std::string WxStatus(int /*Port*/) const { return {}; }  // edtWxStatusP1/P2
  // mfcbxWxSsidP1/P2 text, "-11".
  virtual std::string WxSsid(int /*Port*/) const { return {}; }
  // SymTabP1/SymCodeP1, SymTabP2/SymCodeP2.
  virtual TBeaconSymbol Symbol(int /*Port*/) const { return {}; }
  virtual TGeoPoint OwnPos() const { return {}; }  // OwnLat, OwnLon
  // The GPS status window's position while its receiver runs with data ok.
  virtual bool GpsPos(TGeoPoint& /*Pos*/) const { return false; }
  virtual int Ambiguity() const { return 0; }            // mfcbxPosAmbi item index, 0..3
  virtual bool Compressed() const { return false; }      // mbtnComp
  virtual bool RangeOn() const { return false; }         // mbtnRange
  virtual double PowerWatts() const { return 0; }        // nedtPower
  virtual double HeightFeet() const { return 0; }        // nedtHeight
  virtual double GainDb() const { return 0; }            // nedtGain
  virtual bool DualPort() const { return false; }        // IsDualPortDevice
  virtual bool WxDeviceOn() const { return false; }      // IsWxDeviceOn
  virtual bool WxFromTextFile() const { return false; }  // weather type "WX-TEXT"
  virtual void ReadWxTextFile() {}                       // refreshes WxText from the weather file
  virtual std::string WxText() const { return {}; }
};

// Where the beacons go besides the TNC, and what shows them going; each does nothing
// (and reads not connected) unless overridden.
class TBeaconViews {
 public:
  virtual ~TBeaconViews() = default;
  // The APRS-IS link: its state and its line writer (true when written).
  virtual bool IsConnected() const { return false; }
  virtual bool WriteLine(const std::string& /*Line*/) { return false; }
  // The map window's monitor rdMain.
  virtual void AddLogText(const std::string& /*Text*/, int /*Style*/) {}
  // The map window's beacon progress bars (mpbTimPosP1 ...): back to 0, one second on.
  virtual void ResetProgress(TBeaconKind /*Kind*/) {}
  virtual void StepProgress(TBeaconKind /*Kind*/) {}
};

class TBeacons {
 public:
  // Not owned; none, the defaults of the interfaces hold.
  void SetSettings(TBeaconSettings* Settings) { settings_ = Settings ? Settings : &no_settings_; }
  void SetViews(TBeaconViews* Views) { views_ = Views ? Views : &no_views_; }
  // The TNC link the radio copies go to.
  TKissLink* Kiss = &KissLink;

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

  TBeaconSettings no_settings_;
  TBeaconViews no_views_;
  TBeaconSettings* settings_ = &no_settings_;
  TBeaconViews* views_ = &no_views_;
};

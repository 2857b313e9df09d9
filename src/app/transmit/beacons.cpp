#include "app/transmit/beacons.h"

#include <algorithm>

#include "app/monitor/monitor_styles.h"
#include "core/digi_path.h"
#include "core/kiss_link.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

namespace {

constexpr const char* kDefaultDestination = "APRS";
constexpr int kMaxAmbiguity = 3;
constexpr TBeaconSymbol kWeatherSymbol{'/', '_'};

}  // namespace

TBeaconResult TBeacons::SendBeacon(TBeaconKind Kind) {
  const TGeoPoint own = settings_->OwnPos();
  if (own.Lat == 0 && own.Lon == 0) return TBeaconResult::NoOwnPosition;
  switch (Kind) {
    case bkPosP1:
      return SendPosition(0);
    case bkStatusP1:
      return SendStatus(0);
    case bkWxP1:
      return SendWeather(0, false);
    case bkWxStatusP1:
      return SendWeather(0, true);
    case bkPosP2:
      return SendPosition(1);
    case bkStatusP2:
      return SendStatus(1);
    case bkWxP2:
      return SendWeather(1, false);
    case bkWxStatusP2:
      return SendWeather(1, true);
  }
  return TBeaconResult::Sent;
}

TBeaconResult TBeacons::SendPosition(int Port) {
  if (Port == 1 && !settings_->DualPort()) return TBeaconResult::NotDualPort;
  const std::string call = Trim(settings_->Call(Port));
  if (call.empty()) return TBeaconResult::NoCallsign;
  const std::string position = BuildBeaconPos(Port, false);
  if (position.empty()) return TBeaconResult::BadPosition;
  std::string comment = Trim(settings_->Info(Port));
  if (settings_->RangeOn()) comment = BuildRngText() + "/" + comment;
  SendBoth(call, Port, settings_->Path(Port), "=" + position + comment);
  views_->ResetProgress(Port == 0 ? bkPosP1 : bkPosP2);
  return TBeaconResult::Sent;
}

TBeaconResult TBeacons::SendStatus(int Port) {
  if (Port == 1 && !settings_->DualPort()) return TBeaconResult::NotDualPort;
  const std::string call = Trim(settings_->Call(Port));
  if (call.empty()) return TBeaconResult::NoCallsign;
  SendBoth(call, Port, settings_->Path(Port), ">" + settings_->Status(Port));
  views_->ResetProgress(Port == 0 ? bkStatusP1 : bkStatusP2);
  return TBeaconResult::Sent;
}

// Both weather ports send from the port-1 call with the weather SSID, whatever the
// device; they reset no progress bar.
TBeaconResult TBeacons::SendWeather(int Port, bool Status) {
  if (!settings_->WxDeviceOn()) return TBeaconResult::NoWxDevice;
  if (!Status && settings_->WxFromTextFile()) settings_->ReadWxTextFile();
  if (settings_->WxText().empty()) return TBeaconResult::NoWxText;
  std::string base;
  CallWithoutSsid(settings_->Call(0), base);
  if (base.empty()) return TBeaconResult::NoCallsign;
  const std::string source = base + Trim(settings_->WxSsid(Port));
  std::string data;
  if (Status) {
    const std::string status = settings_->WxStatus(Port);
    if (status.empty()) return TBeaconResult::EmptyWxStatus;
    data = ">" + status;
  } else {
    const std::string position = BuildBeaconPos(Port, true);
    if (position.empty()) return TBeaconResult::BadPosition;
    data = "=" + position + settings_->WxText();
  }
  SendBoth(source, Port, settings_->Path(Port), data);
  return TBeaconResult::Sent;
}

void TBeacons::SendBoth(const std::string& Call, int Port, const std::string& Path,
                        const std::string& Data) {
  if (Kiss) Kiss->SendKissFrame(Format("%d:%s", Port, Call), Path, Data);
  SendToIgate(Call, Path, Data);
}

void TBeacons::timPosDecTimer() {
  views_->StepProgress(bkPosP1);
  views_->StepProgress(bkStatusP1);
  if (!settings_->DualPort()) return;
  views_->StepProgress(bkPosP2);
  views_->StepProgress(bkStatusP2);
}

std::string TBeacons::BuildRngText() const {
  return ::BuildRngText(settings_->PowerWatts(), settings_->HeightFeet(), settings_->GainDb());
}

std::string TBeacons::BuildBeaconPos(int Port, bool Weather) const {
  TGeoPoint pos = settings_->OwnPos();
  TGeoPoint gps;
  if (settings_->GpsPos(gps)) pos = gps;
  const int digits = std::clamp(settings_->Ambiguity(), 0, kMaxAmbiguity);
  const double lat = AmbiguateLat(digits, pos.Lat);
  const double lon = AmbiguateLon(digits, pos.Lon);
  if (Weather) return BuildUncompressedPos(lat, lon, kWeatherSymbol.Table, kWeatherSymbol.Code);
  const TBeaconSymbol symbol = settings_->Symbol(Port);
  return settings_->Compressed() ? BuildCompressedPos(lat, lon, symbol.Table, symbol.Code)
                                 : BuildUncompressedPos(lat, lon, symbol.Table, symbol.Code);
}

bool TBeacons::SendToIgate(const std::string& Src, const std::string& Path,
                           const std::string& Data) {
  if (!views_->IsConnected()) return false;
  const size_t colon = Src.find(':');
  const std::string source = Trim(colon == std::string::npos ? Src : Src.substr(colon + 1));
  // A line without source is no packet; the server would drop the connection for it.
  if (source.empty()) return false;
  std::string path = NormalizeDigiPath(Path);
  // The destination may not be missing in a TNC2 line; the radio frame uses the same.
  if (path.empty() || path.front() == ',') path = kDefaultDestination + path;
  // The echo shows the data as the line carries it, up to a line end (Tnc2Line).
  const std::string data(LinePart(Data));
  bool written = false;
  if (views_->IsConnected()) written = views_->WriteLine(Tnc2Line(source, path, data));
  EchoIgateFrame(source, path, data);
  return written;
}

void TBeacons::EchoIgateFrame(const std::string& Src, const std::string& Path,
                              const std::string& Data) {
  std::string path = Path;
  ReplaceChar(',', ' ', path);
  const size_t blank = path.find(' ');
  std::string destination = Trim(path.substr(0, blank));
  const std::string via = blank == std::string::npos ? std::string() : Trim(path.substr(blank + 1));
  if (destination.empty()) destination = kDefaultDestination;
  const std::string header =
      via.empty() ? Format("ig %s to %s ctl %s pid %s", Src, destination, "UIv", "F0")
                  : Format("ig %s to %s via %s ctl %s pid %s", Src, destination, via, "UIv", "F0");
  // Each line starts with its line break, as every other writer of the monitor does, so
  // the echo never runs on from an unfinished line.
  views_->AddLogText("\r\n" + header, msIgHead);
  views_->AddLogText("\r\n" + Data, msIgData);
}

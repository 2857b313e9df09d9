#include "app/receive/packet_dispatcher.h"

#include <exception>
#include <utility>
#include <vector>

#include "app/monitor/monitor_appender.h"
#include "app/monitor/monitor_styles.h"
#include "app/receive/wx_report.h"
#include "app/stations/station_store.h"
#include "core/aprs_data.h"
#include "core/csv_ctrl.h"
#include "core/digi_path.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "platform/text/sysutils.h"

namespace {

bool IsRadioPort(int port) {
  return port == 1 || port == 2;
}

// The digipeater a packet was heard through: the call marked used ('*'), or a whole
// path that starts with a WIDEn-N or TRACEn-N some digipeater has already counted down.
std::string HeardViaOf(const std::string& path) {
  const size_t star = path.find('*');
  if (star != std::string::npos) {
    const size_t blank = path.rfind(' ', star);
    const size_t begin = blank == std::string::npos ? 0 : blank + 1;
    return path.substr(begin, star - begin);
  }
  auto counted_down = [&](const std::string& alias) {
    const size_t n = alias.size();
    return path.size() >= n + 3 && path.compare(0, n, alias) == 0 && path[n] != path[n + 2];
  };
  return counted_down("WIDE") || counted_down("TRACE") ? path : std::string();
}

void ParseHeader(const TPacketHeader& parts, TAprsInfo& info) {
  info.SrcCall = parts.Source;
  info.DestCall = parts.Dest;
  info.Path = parts.Via;
  info.PathAsHeard = parts.Via;
  if (info.Path.empty()) return;
  info.HeardVia = HeardViaOf(info.Path);
  RemoveChar('*', info.Path);
}

}  // namespace

bool TPacketDispatcher::Enabled() const {
  if (!settings_) return false;
  std::string call = Trim(settings_->CallP1());
  if (call.empty()) call = Trim(settings_->CallP2());
  return !call.empty() && !settings_->MapFile().empty();
}

void TPacketDispatcher::AnalysePacket(const TReceivedPacket& Packet) {
  // A malformed packet must never stop the program: whatever cannot be decoded is
  // dropped here, and counted.
  try {
    Dispatch(Packet);
  } catch (const std::exception&) {
    ++dropped_;
  }
}

void TPacketDispatcher::BeginPackets() {
  BeginLogBatch(Monitor);
  store_.BeginChanges();
}

void TPacketDispatcher::EndPackets() {
  store_.EndChanges();
  EndLogBatch(Monitor);
}

void TPacketDispatcher::Echo(const TAprsInfo& Info, const std::string& Header,
                             const std::string& Data) {
  if (Info.Port == -1 && settings_->TcpNoMon()) return;
  const TMonitorStylePair styles = MonitorStylePair(Info.Port);
  // Header and data laid out and trimmed once: this runs for every packet.
  std::vector<TLogLine> lines;
  lines.reserve(2);
  lines.push_back({Header, styles.Head});
  if (!Data.empty()) lines.push_back({Data, styles.Data, true});
  AddLogLines(Monitor, std::move(lines));
}

void TPacketDispatcher::Dispatch(const TReceivedPacket& Packet) {
  if (!Enabled()) return;
  const std::string header = Trim(Packet.Header);
  const std::string data = Trim(Packet.Data);
  // No header, no packet: a server's keep-alive or comment line comes as an empty pair,
  // and echoed or recorded it would only be an empty monitor line or a log line that
  // plays back as a packet from nobody.
  if (header.empty()) return;
  TAprsInfo info;
  NowToStamp(info.RxStamp);
  info.Header = header;
  info.Port = Packet.Parts.Port;
  Echo(info, header, data);
  // Judged on the frame's own control and PID bytes: header text can be made to read
  // like anything (digipeaters named CTL and UI).
  if (!Packet.Parts.UiFrame) return;
  if (info.Port == -1) IgSeen = true;
  if (IsRadioPort(info.Port) && targets_) targets_->LightRxLamp(info.Port);

  ParseHeader(Packet.Parts, info);
  info.Data = data;
  RecordLogPacket(info);
  const bool played = log_ && log_->HandingOver();
  if (settings_->TcpDigi() && targets_ && !played) targets_->IGateToTcp(info);

  if (data.empty()) return;
  if (data[0] == ':' && targets_) targets_->ReceiveMessage(info);
  if (info.Port == -1 && settings_->TcpNoOutData()) return;
  Decode(info);
}

void TPacketDispatcher::Decode(TAprsInfo& Info) {
  TAprsData d = DecodeAprsData(Info.DestCall, Info.Data);
  switch (d.Kind) {
    case TAprsDataKind::Status:
    case TAprsDataKind::PositionlessWeather:
      UpdateStationText(store_, Info.SrcCall, Info.Data);
      return;
    case TAprsDataKind::Other:
      return;
    case TAprsDataKind::Object:
    case TAprsDataKind::Item:
      Info.OwnerCall = Info.SrcCall;
      Info.SrcCall = std::move(d.Name);
      Info.ObjState = d.ObjState;
      break;
    case TAprsDataKind::Position:
    case TAprsDataKind::MicE:
      break;
  }
  Info.AprsTime = std::move(d.AprsTime);
  Info.PosFormat = d.PosFormat;
  Info.SymTable = d.SymTable;
  Info.SymCode = d.SymCode;
  Info.Comment = std::move(d.Comment);
  Info.MicEMsg = d.MicEMsg;
  Info.Course = d.Course;
  Info.Speed = d.SpeedKnots;
  Info.Range = d.RangeMiles;
  Info.Altitude = d.AltitudeFeet;
  Info.HasPosition = d.HasPosition;
  Info.Lat = d.Lat;
  Info.Lon = d.Lon;
  // The record is the store's from here on: the packet's texts are not copied again.
  store_.UpdateStation(std::move(Info));
}

void TPacketDispatcher::RecordLogPacket(const TAprsInfo& Info) {
  if (!log_ || !log_->Recording()) return;
  std::string filter = Trim(log_->FilterText());
  ReplaceChar(',', '~', filter);
  if (!filter.empty() && ("~" + filter + "~").find("~" + Info.SrcCall + "~") == std::string::npos)
    return;
  // Only the information field is escaped in a log line: an address cut at a line end
  // would play back as another packet.
  if (HoldsLineEnd(Info.SrcCall) || HoldsLineEnd(Info.DestCall) || HoldsLineEnd(Info.Path)) return;
  const std::string dest =
      Info.Path.empty() ? Info.DestCall : Info.DestCall + "," + NormalizeDigiPath(Info.Path);
  std::string escaped, stamp;
  CsvEscape(Info.Data, escaped);
  NowToStamp(stamp);
  log_->AddLogLine(stamp + ":" + Tnc2Line(Info.SrcCall, dest, escaped));
}

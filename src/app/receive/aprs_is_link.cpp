#include "app/receive/aprs_is_link.h"

#include <array>

#include "app/product.h"
#include "app/receive/packet_dispatcher.h"
#include "core/digi_path.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "platform/sys/thread.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/sysutils.h"

// "Please choose a server in the settings first!"
const char* const kNoServerText = "Bitte erst einen Server im Setup ausw\xE4hlen!";

namespace {

// A packet as the IGate judges it: the parts of its TNC2 line.
struct TGatePacket {
  std::string Source;
  std::string Dest;
  std::string Path;  // comma-separated, '*' marks kept
  std::string Data;
};

// A path that says the packet came from the internet (TCPIP, TCPXX) or must stay on the
// radio (NOGATE, RFONLY).
bool PathForbidsGating(const std::string& path) {
  static constexpr std::array<std::string_view, 4> kStops = {"TCPIP", "TCPXX", "NOGATE", "RFONLY"};
  size_t from = 0;
  while (from <= path.size()) {
    size_t end = path.find(',', from);
    if (end == std::string::npos) end = path.size();
    std::string call = UpperCase(path.substr(from, end - from));
    RemoveChar('*', call);
    for (std::string_view stop : kStops) {
      if (call == stop) return true;
    }
    from = end + 1;
  }
  return false;
}

// The packet a third-party packet carries ("}SRC>DEST,PATH:data"); none when its
// header is not one.
std::optional<TGatePacket> InnerPacket(const std::string& data) {
  const std::string inner = data.substr(1);
  const size_t colon = inner.find(':');
  const size_t gt = inner.find('>');
  if (colon == std::string::npos || gt == std::string::npos || gt > colon) return std::nullopt;
  TGatePacket packet;
  packet.Source = inner.substr(0, gt);
  const std::string address = inner.substr(gt + 1, colon - gt - 1);
  const size_t comma = address.find(',');
  packet.Dest = address.substr(0, comma);
  if (comma != std::string::npos) packet.Path = address.substr(comma + 1);
  packet.Data = inner.substr(colon + 1);
  if (packet.Source.empty() || packet.Dest.empty()) return std::nullopt;
  return packet;
}

// The packet to gate, after unwrapping third-party packets; none when the rules forbid.
std::optional<TGatePacket> GatedPacket(TGatePacket packet) {
  for (;;) {
    if (HoldsLineEnd(packet.Source) || HoldsLineEnd(packet.Dest) || HoldsLineEnd(packet.Path) ||
        HoldsLineEnd(packet.Data))
      return std::nullopt;
    if (PathForbidsGating(packet.Path)) return std::nullopt;
    if (packet.Data.empty() || packet.Data[0] != '}') break;
    std::optional<TGatePacket> inner = InnerPacket(packet.Data);
    if (!inner) return std::nullopt;
    packet = std::move(*inner);
  }
  // An empty information field is no APRS packet at all.
  if (packet.Data.empty() || packet.Data[0] == '?') return std::nullopt;
  return packet;
}

}  // namespace

TColor ConnectButtonColor(TAprsIsState State) {
  return State == TAprsIsState::Connected ? TColor{0x93FFA0} : TColor{0x6262FF};
}

std::string LoginLine(const std::string& Call, const std::string& Passcode,
                      const std::string& Filter) {
  std::string line = Format("user %s pass %s vers %s %s", std::string(LinePart(Call)),
                            std::string(LinePart(Passcode)), kProductName, kProgramVersion);
  const std::string filter = Trim(LinePart(Filter));
  if (!filter.empty()) line += " " + filter;
  return line;
}

// The reader connects on its own thread, so that the window never waits for the
// network; what the connection's events change belongs to the GUI thread.
TAprsIsLink::TAprsIsLink() {
  TCPClientIGate.OnConnected = [this] {
    TThread::Synchronize([this] {
      if (!closing_) TCPClientIGateConnected();
    });
  };
  TCPClientIGate.OnDisconnected = [this] {
    TThread::Synchronize([this] {
      if (!closing_) views_->ClearIgSeen();
    });
  };
  TCPClientIGate.OnStatus = [this](const std::string& text) {
    TThread::Synchronize([this, text] {
      if (!closing_) views_->SetStatusText(text);
    });
  };
}

// The window that wired the hooks may be half gone by now: nothing is reported.
TAprsIsLink::~TAprsIsLink() {
  closing_ = true;
  Stop();
}

void TAprsIsLink::Stop() {
  if (reader_) {
    reader_->Stop();
    reader_.reset();
  }
}

void TAprsIsLink::mbtnTcpClick() {
  if (reader_) {
    Stop();
    views_->SetButtonDown(false);
    return;
  }
  const std::string server = settings_ ? Trim(settings_->Server()) : std::string();
  if (server.empty()) {
    views_->ShowError(LocalText(kNoServerText));
    return;
  }
  views_->SetButtonDown(true);
  std::string host;
  HostOfAddress(server, host);
  reader_ = std::make_unique<TCPTheard>(TCPClientIGate, host, PortOfAddress(server), *views_,
                                        ReaderPassMs, ReaderIdleMs);
}

void TAprsIsLink::TCPClientIGateConnected() {
  views_->ClearIgSeen();
  // The reader only runs with a server from the settings.
  TCPClientIGate.WriteLine(
      LoginLine(Trim(settings_->CallP1()), Trim(settings_->Passcode()), settings_->Filter()));
}

bool TAprsIsLink::IsConnected() const {
  return TCPClientIGate.IsOpen();
}

std::optional<std::string> IGateLine(const TAprsInfo& Info, const std::string& OwnCall) {
  if (Info.Port == -1 || Info.SrcCall.empty() || OwnCall.empty()) return std::nullopt;
  const std::optional<TGatePacket> packet =
      GatedPacket({Info.SrcCall, Info.DestCall, NormalizeDigiPath(Info.PathAsHeard), Info.Data});
  // What the radio heard in our own name is not ours to vouch for: our own packets
  // reach the server from us, and a station sending under our call is a spoof.
  if (!packet || SameText(packet->Source, OwnCall)) return std::nullopt;
  std::string address = packet->Dest;
  if (!packet->Path.empty()) address += "," + packet->Path;
  address += ",qAR," + OwnCall;
  return Tnc2Line(packet->Source, address, packet->Data);
}

void TAprsIsLink::IGateToTcp(const TAprsInfo& Info) {
  if (!IsConnected() || !settings_) return;
  if (SameText(Info.SrcCall, Trim(LinePart(settings_->CallP2())))) return;
  const std::optional<std::string> line = IGateLine(Info, Trim(LinePart(settings_->CallP1())));
  // The lamp shows what went out, not what was tried.
  if (line && TCPClientIGate.WriteLine(*line)) views_->TxLamp();
}

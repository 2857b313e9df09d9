#include "app/receive/aprs_is_link.h"

#include "core/digi_path.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

namespace {

constexpr const char* kProductName = "Velmora";
constexpr const char* kProductVersion = "1.2";
// "Please choose a server in the settings first!"
constexpr const char* kNoServerText = "Bitte erst einen Server im Setup ausw\xE4hlen!";

std::string Text(const std::function<std::string()>& f) {
  return f ? f() : std::string();
}

}  // namespace

std::string LoginLine(const std::string& Call, const std::string& Passcode,
                      const std::string& Filter) {
  std::string line =
      Format("user %s pass %s vers %s %s", Call, Passcode, kProductName, kProductVersion);
  const std::string filter = Trim(Filter);
  if (!filter.empty()) line += " " + filter;
  return line;
}

TAprsIsLink::TAprsIsLink() {
  TCPClientIGate.OnConnected = [this] { TCPClientIGateConnected(); };
  TCPClientIGate.OnDisconnected = [this] {
    if (ClearIgSeen) ClearIgSeen();
  };
  TCPClientIGate.OnStatus = [this](const std::string& text) {
    if (SetStatusText) SetStatusText(text);
  };
}

// The window that wired the hooks may be half gone by now: nothing is reported.
TAprsIsLink::~TAprsIsLink() {
  TCPClientIGate.OnConnected = nullptr;
  TCPClientIGate.OnDisconnected = nullptr;
  TCPClientIGate.OnStatus = nullptr;
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
    if (SetButtonDown) SetButtonDown(false);
    return;
  }
  const std::string server = Trim(Text(Settings.Server));
  if (server.empty()) {
    if (ShowError) ShowError(kNoServerText);
    return;
  }
  if (SetButtonDown) SetButtonDown(true);
  std::string host;
  HostOfAddress(server, host);
  reader_ = std::make_unique<TCPTheard>(TCPClientIGate, host, PortOfAddress(server), ReaderHooks,
                                        ReaderPassMs);
}

void TAprsIsLink::TCPClientIGateConnected() {
  if (ClearIgSeen) ClearIgSeen();
  TCPClientIGate.WriteLine(
      LoginLine(Trim(Text(Settings.CallP1)), Trim(Text(Settings.Passcode)), Text(Settings.Filter)));
}

bool TAprsIsLink::IsConnected() const {
  return TCPClientIGate.IsOpen();
}

void TAprsIsLink::IGateToTcp(const TAprsInfo& Info) {
  if (Info.Port == -1 || Info.SrcCall.empty() || !IsConnected()) return;
  const std::string dest =
      Info.Path.empty() ? Info.DestCall : Info.DestCall + "," + NormalizeDigiPath(Info.Path);
  // A CR or LF from the radio would end the line early and make the rest of the data a
  // line of its own on the server: the packet is cut at the first one.
  const std::string data = Info.Data.substr(0, Info.Data.find_first_of("\r\n"));
  // The lamp shows what went out, not what was tried.
  if (TCPClientIGate.WriteLine(Tnc2Line(Info.SrcCall, dest, data)) && TxLamp) TxLamp();
}

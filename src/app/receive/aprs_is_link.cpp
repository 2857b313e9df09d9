#include "app/receive/aprs_is_link.h"

#include "core/digi_path.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "platform/sys/thread.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

namespace {

constexpr const char* kProductName = "Velmora";
constexpr const char* kProductVersion = "1.2";
// "Please choose a server in the settings first!"
constexpr const char* kNoServerText = "Bitte erst einen Server im Setup ausw\xE4hlen!";

}  // namespace

TColor ConnectButtonColor(TAprsIsState State) {
  return State == TAprsIsState::Connected ? TColor{0x93FFA0} : TColor{0x6262FF};
}

std::string LoginLine(const std::string& Call, const std::string& Passcode,
                      const std::string& Filter) {
  std::string line =
      Format("user %s pass %s vers %s %s", Call, Passcode, kProductName, kProductVersion);
  const std::string filter = Trim(Filter);
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
    views_->ShowError(kNoServerText);
    return;
  }
  views_->SetButtonDown(true);
  std::string host;
  HostOfAddress(server, host);
  reader_ = std::make_unique<TCPTheard>(TCPClientIGate, host, PortOfAddress(server), *views_,
                                        ReaderPassMs);
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

std::optional<std::string> IGateLine(const TAprsInfo& Info) {
  if (Info.Port == -1 || Info.SrcCall.empty()) return std::nullopt;
  const std::string dest =
      Info.Path.empty() ? Info.DestCall : Info.DestCall + "," + NormalizeDigiPath(Info.Path);
  // A CR, LF or NUL from the radio would end the line early and make the rest of the
  // data a line of its own on the server: Tnc2Line cuts the packet at the first one.
  return Tnc2Line(Info.SrcCall, dest, Info.Data);
}

void TAprsIsLink::IGateToTcp(const TAprsInfo& Info) {
  if (!IsConnected()) return;
  const std::optional<std::string> line = IGateLine(Info);
  // The lamp shows what went out, not what was tried.
  if (line && TCPClientIGate.WriteLine(*line)) views_->TxLamp();
}

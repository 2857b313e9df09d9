#include "core/aprs_is_reader.h"

#include <chrono>

#include "core/tnc2_line.h"

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kLineTimeoutMs = 100;
// Lines taken in one pass before they are handed over, so that a server that never
// pauses cannot keep the reader from handing anything over.
constexpr int kMaxLinesPerPass = 10000;

}  // namespace

const char* const kConnectionLostText = "TCPIP connection lost, try to reconnect now...";
const char* const kServerSilentText = "TCPIP server silent, try to reconnect now...";

TCPTheard::TCPTheard(TTcpClient& Client, std::string Host, int Port, TAprsIsReaderViews& Views,
                     int PassIntervalMs, int IdleTimeoutMs)
    : client_(Client),
      Host(std::move(Host)),
      Port(Port),
      views_(Views),
      pass_interval_ms_(PassIntervalMs),
      idle_timeout_ms_(IdleTimeoutMs) {
  Start();
}

TCPTheard::~TCPTheard() {
  Stop();
}

void TCPTheard::Stop() {
  Terminate();
  Active = false;
  {
    std::lock_guard lock(wake_mutex_);
    wake_.notify_all();
  }
  client_.Shutdown();
  // Runs the hand-overs the reader is waiting in; they see Active cleared and do nothing.
  WaitFor();
  client_.Disconnect();
  client_.ClearInputBuffer();
}

void TCPTheard::Pause() {
  std::unique_lock lock(wake_mutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(pass_interval_ms_),
                 [this] { return Terminated() || !Active; });
}

// Lines that came in before the connection dropped are handed over before the
// reconnect, which would drop them with the old connection.
void TCPTheard::Execute() {
  while (!Terminated() && Active) {
    // A pass that stopped at its limit left a backlog: the next one reads on at once, so
    // that a full feed goes as fast as the window takes it rather than a pass a second.
    if (!backlog_) Pause();
    if (Terminated() || !Active) break;
    const bool connected = client_.Connected();
    if (connected) {
      Synchronize([this] {
        if (Active) views_.SetLinkState(TAprsIsState::Connected);
      });
    }
    ReadWaitingLines();
    HandOverLines();
    if (Terminated() || !Active) continue;
    if (!connected) {
      ReportLost(kConnectionLostText);
    } else if (ServerSilent()) {
      ReportLost(kServerSilentText);
    } else {
      continue;
    }
    Reconnect();
  }
}

// Bytes still waiting came while the window was busy with earlier lines: a server
// that sent them is not silent, however long ago the last read was.
bool TCPTheard::ServerSilent() {
  return client_.IdleMs() >= idle_timeout_ms_ && !client_.HasData();
}

void TCPTheard::ReportLost(const char* Text) {
  Synchronize([this, Text] {
    if (!Active) return;
    views_.SetStatusText(Text);
    views_.SetLinkState(TAprsIsState::Reconnecting);
  });
}

void TCPTheard::ReadWaitingLines() {
  backlog_ = false;
  for (int taken = 0; Active && client_.HasData(); ++taken) {
    if (taken == kMaxLinesPerPass) {
      backlog_ = true;
      return;
    }
    std::optional<std::string> line = client_.ReadLine(kLineTimeoutMs);
    if (!line) break;
    RxQueue.push_back(std::move(*line));
  }
}

void TCPTheard::HandOverLines() {
  while (!RxQueue.empty()) {
    CurrentLine = std::move(RxQueue.front());
    RxQueue.pop_front();
    if (!CurrentLine.empty()) Synchronize([this] { ProcessLine(); });
  }
}

// On the reader's thread: a server that does not answer holds up the reader for the
// connect time-out, never the window; Stop cuts the wait short.
void TCPTheard::Reconnect() {
  if (!Active) return;
  client_.Disconnect();
  client_.Connect(Host, Port, kConnectTimeoutMs, [this] { return Terminated() || !Active; });
}

void TCPTheard::ProcessLine() {
  if (!Active) return;
  SplitIsLine(CurrentLine, WorkPacket);
  views_.AnalysePacket(WorkPacket);
  if (!views_.IgSeen()) views_.AddLogText("\r\n" + CurrentLine, TLinkTraffic::InternetData);
}

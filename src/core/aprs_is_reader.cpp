#include "core/aprs_is_reader.h"

#include <algorithm>
#include <chrono>

#include "core/tnc2_line.h"
#include "platform/sys/application.h"

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kLineTimeoutMs = 100;
// Lines taken in one pass before they are handed over, so that a server that never
// pauses cannot keep the reader from handing anything over.
constexpr int kMaxLinesPerPass = 10000;
// After a pass that took lines, or a connection made, the next comes this soon: a feed's
// lines are taken a screen frame's worth at a time, not a second's (which the window
// would then wait for).
constexpr int kBusyPassMs = 16;
// The longest the window gives one hand-over, and the reader's pause between two.
constexpr int kHandOverMs = 30;
constexpr int kBreathMs = 2;

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

void TCPTheard::Pause(int Ms) {
  std::unique_lock lock(wake_mutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(Ms), [this] { return Terminated() || !Active; });
}

// Lines that came in before the connection dropped are handed over before the
// reconnect, which would drop them with the old connection.
void TCPTheard::Execute() {
  while (!Terminated() && Active) {
    // A pass that stopped at its limit left a backlog: the next one reads on at once, so
    // that a full feed goes as fast as the window takes it rather than a pass a second.
    if (!backlog_) Pause(pass_soon_ ? std::min(kBusyPassMs, pass_interval_ms_) : pass_interval_ms_);
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
    pass_soon_ = client_.Connected();
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
  pass_soon_ = false;
  for (int taken = 0; Active && client_.HasData(); ++taken) {
    if (taken == kMaxLinesPerPass) {
      backlog_ = true;
      return;
    }
    std::optional<std::string> line = client_.ReadLine(kLineTimeoutMs);
    if (!line) break;
    RxQueue.push_back(std::move(*line));
    pass_soon_ = true;
  }
}

// The GUI thread takes the lines from the front of the queue while the reader waits in
// the hand-over. Between two hand-overs the reader pauses a moment: handed over back to
// back, the window's event loop would never go idle, and its timers (which wait for an
// idle loop once they fired) would stall for as long as a flood lasts.
void TCPTheard::HandOverLines() {
  while (Active && !RxQueue.empty()) {
    Synchronize([this] { ProcessLines(); });
    if (Active && !RxQueue.empty()) Pause(kBreathMs);
  }
}

// On the reader's thread: a server that does not answer holds up the reader for the
// connect time-out, never the window; Stop cuts the wait short.
void TCPTheard::Reconnect() {
  if (!Active) return;
  client_.Disconnect();
  client_.Connect(Host, Port, kConnectTimeoutMs, [this] { return Terminated() || !Active; });
}

// A line whose handling fails is reported as a hand-over of its own would be; the
// lines after it still come, in order. A hand-over ends at its line limit or once its
// time is up (long lines cost the monitor's layout more): the rest stays queued, in
// order, for the next.
void TCPTheard::ProcessLines() {
  if (!Active) return;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHandOverMs);
  views_.BeginLines();
  for (int taken = 0; taken < kMaxLinesPerHandOver && !RxQueue.empty(); ++taken) {
    // A line's handling may have let the user stop the link.
    if (!Active) break;
    CurrentLine = std::move(RxQueue.front());
    RxQueue.pop_front();
    if (!CurrentLine.empty()) Dispatch([this] { ProcessLine(); });
    if (std::chrono::steady_clock::now() >= end) break;
  }
  views_.EndLines();
}

void TCPTheard::ProcessLine() {
  SplitIsLine(CurrentLine, WorkPacket);
  views_.AnalysePacket(WorkPacket);
  if (!views_.IgSeen()) views_.AddLogText("\r\n" + CurrentLine, TLinkTraffic::InternetData);
}

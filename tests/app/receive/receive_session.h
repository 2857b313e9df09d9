// The receive path with its APRS-IS connection, wired as the map window wires it.
#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/receive/aprs_is_link.h"
#include "app/monitor/monitor_appender.h"
#include "app/monitor/monitor_styles.h"
#include "app/receive/receive_fixture.h"
#include "platform/io/loopback_tcp_server.h"
#include "platform/sys/thread.h"

// Runs the reader's hand-overs on this (the GUI) thread until the condition holds.
template <class Condition>
bool PumpUntil(Condition condition, int timeout_ms = 10000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    TThread::CheckSynchronize();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// The login, once the connect (made on the reader's thread) has had the GUI thread send
// it; empty when none came.
inline std::string PumpLogin(TLoopbackTcpServer& Server) {
  PumpUntil([&] { return Server.Received().find("\r\n") != std::string::npos; });
  return Server.Received();
}

class TReceiveSession {
 public:
  explicit TReceiveSession(int port) {
    link.ReaderPassMs = 20;
    link.Settings.Server = [port] { return "127.0.0.1:" + std::to_string(port) + " ;loopback"; };
    link.Settings.CallP1 = [] { return std::string(" N0CALL "); };
    link.Settings.Passcode = [] { return std::string("12345"); };
    link.Settings.Filter = [] { return std::string("r/52/13/100"); };
    link.SetStatusText = [this](const std::string& text) { statuses.push_back(text); };
    link.ClearIgSeen = [this] { path.dispatcher.IgSeen = false; };
    link.ReaderHooks.AnalysePacket = [this](TStrings& lines) {
      ++handed_over;
      path.dispatcher.AnalysePacket(lines);
    };
    link.ReaderHooks.IgSeen = [this] { return path.dispatcher.IgSeen; };
    link.ReaderHooks.AddLogText = [this](const std::string& text, TLinkTraffic traffic) {
      int para = -1;
      AddLogText(&path.monitor, text, MonitorStyleOf(traffic), para);
    };
    link.ReaderHooks.SetStatusText = [this](const std::string& text) { statuses.push_back(text); };
    path.on_igate = [this](const TAprsInfo& info) { link.IGateToTcp(info); };
  }

  TReceivePath path;
  TAprsIsLink link;
  std::vector<std::string> statuses;
  int handed_over = 0;
};

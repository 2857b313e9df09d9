// The receive path with its APRS-IS connection, wired as the map window wires it.
#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/monitor/monitor_appender.h"
#include "app/monitor/monitor_styles.h"
#include "app/receive/aprs_is_link.h"
#include "app/receive/receive_fixture.h"
#include "platform/sys/thread.h"
#include "platform/test_support/loopback_tcp_server.h"

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

// The link's settings and views are the session's: what the link reports is recorded.
class TReceiveSession : public TAprsIsSettings, public TAprsIsViews {
 public:
  explicit TReceiveSession(int port) : server("127.0.0.1:" + std::to_string(port) + " ;loopback") {
    link.ReaderPassMs = 20;
    link.SetSettings(this);
    link.SetViews(this);
    path.on_igate = [this](const TAprsInfo& info) { link.IGateToTcp(info); };
  }

  std::string Server() const override { return server; }
  std::string CallP1() const override { return " N0CALL "; }
  std::string Passcode() const override { return "12345"; }
  std::string Filter() const override { return filter; }

  void AnalysePacket(const TReceivedPacket& packet) override {
    ++handed_over;
    path.dispatcher.AnalysePacket(packet);
  }
  bool IgSeen() const override { return path.dispatcher.IgSeen; }
  void AddLogText(const std::string& text, TLinkTraffic traffic) override {
    int para = -1;
    AddReceivedLogText(&path.monitor, text, MonitorStyleOf(traffic), para);
  }
  void SetStatusText(const std::string& text) override { statuses.push_back(text); }
  void SetButtonDown(bool down) override { buttons.push_back(down); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ClearIgSeen() override { path.dispatcher.IgSeen = false; }
  void TxLamp() override { ++tx_lamps; }

  std::string server;
  std::string filter = "r/52/13/100";
  TReceivePath path;
  TAprsIsLink link;
  std::vector<std::string> statuses;
  std::vector<bool> buttons;
  std::vector<std::string> errors;
  int tx_lamps = 0;
  int handed_over = 0;
};

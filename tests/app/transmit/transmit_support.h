// Shared by the transmit tests: a TNC link whose frames are kept instead of written to
// a port, an APRS-IS side that records its lines, and direwolf's decode_aprs as the
// independent reader of what we send.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/monitor/monitor_styles.h"
#include "app/transmit/beacons.h"
#include "core/kiss_ax25.h"
#include "core/kiss_link.h"
#include "platform/sys/child_process.h"
#include "platform/text/format.h"
#include "support/kiss_link_double.h"

// Beacon settings set field by field, [0] for radio port 1 and [1] for port 2; the
// calls and paths serve the messaging window too.
struct TTestBeaconSettings : TBeaconSettings {
  std::string Call(int port) const override { return call[port]; }
  std::string Path(int port) const override { return path[port]; }
  std::string Info(int port) const override { return info[port]; }
  std::string Status(int port) const override { return status[port]; }
  std::string WxSsid(int port) const override { return wx_ssid[port]; }
  TBeaconSymbol Symbol(int port) const override { return symbol[port]; }
  TGeoPoint OwnPos() const override { return own; }
  bool WxDeviceOn() const override { return wx_on; }
  std::string WxText() const override { return wx_text; }

  std::string call[2], path[2], info[2], status[2], wx_ssid[2];
  TBeaconSymbol symbol[2];
  TGeoPoint own;
  bool wx_on = false;
  std::string wx_text;
};

// An APRS-IS side that is connected and keeps the lines it is given (or hands them to
// on_line, which says whether they were written).
struct TTestInternet : TBeaconViews {
  bool IsConnected() const override { return connected ? connected() : true; }
  bool WriteLine(const std::string& line) override {
    if (on_line) return on_line(line);
    lines.push_back(line);
    return true;
  }

  std::function<bool()> connected;
  std::function<bool(const std::string& line)> on_line;
  std::vector<std::string> lines;
};

// A TNC link with a TNC chosen whose port takes every frame.
class TCapturedKiss {
 public:
  TCapturedKiss() {
    views.Device = 1;
    views.OnFrame = [this](std::span<const uint8_t> bytes) {
      frames.emplace_back(bytes.begin(), bytes.end());
      return true;
    };
    views.OnLogText = [this](const std::string& text, TLinkTraffic traffic) {
      echo.push_back(std::to_string(MonitorStyleOf(traffic)) + " " + text);
    };
    link.SetViews(&views);
    link.SetWriter(&views);
  }
  // The frame in monitor form, "fm ... ctl UI pid F0" CR LF data, decoded by our own
  // AX.25 decoder (FENDs removed, escapes undone).
  std::string Decoded(size_t index) const {
    const std::vector<uint8_t>& frame = frames.at(index);
    std::vector<uint8_t> inner(frame.begin() + 1, frame.end() - 1);
    return DecodeAx25Frame(KissUnescape(inner));
  }
  // "c0 00 82 ..." as decode_aprs takes a KISS frame.
  std::string Hex(size_t index) const {
    std::string hex;
    for (uint8_t b : frames.at(index)) hex += Format("%02x ", static_cast<int>(b));
    return hex;
  }

  TKissLinkDouble views;
  TKissLink link;
  std::vector<std::vector<uint8_t>> frames;
  std::vector<std::string> echo;
};

inline bool HaveDecodeAprs() {
  return ProgramAvailable("decode_aprs");
}

// decode_aprs's reading of one TNC2 line or KISS hex line, colours removed.
inline std::string DecodeAprs(const std::string& line) {
  std::string quoted;
  for (char c : line) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return RunAndCapture("printf '%s\\n' '" + quoted +
                       "' | decode_aprs 2>&1 | sed -e 's/\\x1b\\[[0-9;]*[A-Za-z]//g'");
}

// Shared by the transmit tests: a TNC link whose frames are kept instead of written to
// a port, an APRS-IS side that records its lines, and direwolf's decode_aprs as the
// independent reader of what we send.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/monitor/monitor_styles.h"
#include "core/kiss_ax25.h"
#include "core/kiss_link.h"
#include "platform/sys/child_process.h"
#include "platform/text/format.h"
#include "support/kiss_link_double.h"

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

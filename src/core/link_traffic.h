// What the links write to the monitor, by kind of traffic. The links say what a line is;
// the program shows each kind in a style of its own (app/monitor/monitor_styles.h). Every
// kind is bytes as they went over the wire, received or sent.
#pragma once

#include <cstdint>

enum class TLinkTraffic : std::uint8_t {
  TncText,        // the TNC's own lines while it talks text
  InternetData,   // a line from the APRS-IS server
  TxHeaderPort1,  // a packet we send on radio port 1: its header line
  TxDataPort1,    // ... and its data
  TxHeaderPort2,  // the same on radio port 2
  TxDataPort2,
};

// The text styles of the monitor, one per kind of traffic line (the style sheet itself
// is made by MakeMonitorStyles, app/monitor/station_styles.h, in this order).
#pragma once

#include "core/link_traffic.h"

enum TMonitorStyleNo {
  msNormalText = 0,  // port 0 packets
  msRs232 = 1,       // TNC lines in text mode
  msKiss = 2,
  msIgHead = 3,  // internet
  msIgData = 4,
  msP1Head = 5,  // radio port 1
  msP1Data = 6,
  msP2Head = 7,  // radio port 2
  msP2Data = 8,
  kMonitorStyleCount = 9
};

// Each style has a twin after the nine that holds its text as Unicode: received text in
// UTF-8 goes there, as no code page holds Greek and Hebrew at once.
constexpr int UnicodeMonitorStyle(int StyleNo) {
  return StyleNo + kMonitorStyleCount;
}

struct TMonitorStylePair {
  int Head;
  int Data;
};

// The style of a kind of line a link writes.
TMonitorStyleNo MonitorStyleOf(TLinkTraffic Traffic);

// The header and data styles of a packet's port: -1 internet, 1 and 2 radio, others 0.
TMonitorStylePair MonitorStylePair(int Port);

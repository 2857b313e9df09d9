// A received packet on its way to the dispatcher: the monitor header text and the
// information field as they are shown and written, and beside them the header already
// taken apart where the packet was first read (a TNC2 line, an AX.25 frame), so that
// nothing after reads the text back.
#pragma once

#include <string>

// The address part of a header, upper case as the station store keys it.
struct TPacketHeader {
  int Port = 0;        // -1 internet, 1 or 2 radio port, 0 anything else
  std::string Source;  // sender's callsign
  std::string Dest;    // destination callsign
  std::string Via;     // via list as heard, each repeating digipeater's '*' kept
  // False for a radio frame that is not APRS: not a UI frame (control 0x03, P/F either
  // way) or with a PID other than 0xF0 (no layer 3). Such a frame is only shown.
  bool UiFrame = true;
};

struct TReceivedPacket {
  std::string
      Header;  // monitor header: "ig SRC to DEST via PATH", "2:fm SRC to DEST ... ctl UI pid F0"
  std::string Data;  // information field
  TPacketHeader Parts;
};

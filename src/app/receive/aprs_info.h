// One received packet after decoding: who sent it, how it came in, where the station
// is and what it said. A fresh record is filled for every packet by the dispatcher and
// read by the station store, the IGate, the packet log and the messaging window.
#pragma once

#include <cstdint>
#include <string>

struct TAprsInfo {
  std::string Key;          // "AAprs" + encoded owner and name, set by the station store
  std::string SrcCall;      // source callsign, or the object or item name
  std::string OwnerCall;    // sender of an object or item; empty for stations
  std::string HeardVia;     // digipeater it was heard through; empty when heard directly
  std::string DestCall;     // destination callsign (Mic-E latitude)
  std::string Path;         // via list, upper case, '*' removed
  std::string PathAsHeard;  // the same as heard, each repeating digipeater's '*' kept
  std::string AprsTime;     // the 7-character time stamp as received
  std::string RxStamp;      // "yymmddhhnnss" of reception
  std::string Comment;
  std::string Header;  // monitor header line as received
  std::string Data;    // information field, data type character first
  uint8_t MicEMsg = 0;
  int32_t Course = -1;    // degrees
  int32_t Altitude = -1;  // feet
  int32_t Port = 0;       // -1 internet, 1 or 2 radio port, 0 anything else
  char SymTable = '\0';
  char SymCode = '\0';
  char ObjState = '?';   // objects '*' / '_', items '!' / '_'
  char PosFormat = '?';  // 'A', 'C', 'E', ']' or '>'
  double Speed = -1;     // knots
  double Range = -1;     // miles
  // Where the station is, as decoded: the map places it from these numbers, and only
  // the station record turns them into text.
  bool HasPosition = false;
  double Lat = 0;  // decimal degrees, north positive
  double Lon = 0;  // decimal degrees, east positive
};

// The Mic-E message of a code (Emergency is 20); empty for codes without a text.
std::string MicEMsgText(uint8_t Code);
// "Raw Weather Report", "Wait For Positionless Weather Report", "Complete Weather
// Report" for 0..2; empty otherwise.
std::string WxReportStateText(int State);

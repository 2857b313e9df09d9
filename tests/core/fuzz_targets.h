// The inputs our fuzzers drive through the decoders, shared by the libFuzzer programs
// in fuzz/ and by the test that replays their saved corpus (fuzz_replay_test.cpp).
// Both must run to the end on any bytes: no crash, no sanitizer report, no hang.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "core/aprs_data.h"
#include "core/kiss_link.h"
#include "core/mic_e.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "platform/text/string_list.h"
#include "support/kiss_link_double.h"

// One APRS-IS line: split it, decode its information field with its destination,
// and the station comment extensions; also the Mic-E pieces on the raw bytes.
inline void FuzzAprsLine(const uint8_t* Data, size_t Size) {
  const std::string line(reinterpret_cast<const char*>(Data), Size);
  TReceivedPacket packet;
  std::string destination = "T2SP0W";
  std::string field = line;
  if (SplitIsLine(line, packet)) {
    destination = packet.Parts.Dest;
    field = packet.Data;
  }
  TAprsData decoded = DecodeAprsData(destination, field);
  int altitude = -1;
  ParseStationComment(decoded.Comment, decoded.Course, decoded.SpeedKnots, altitude);
  double speed = 0;
  int course = 0;
  MicESpeedCourse(line, speed, course);
  (void)MicELongitude(line, 100);
  (void)MicELatitude(line);
  (void)Base91Altitude(line);
}

// A byte stream from the TNC in KISS mode, then the same in text mode: the first
// byte picks how it is cut into pieces, so the streaming paths are fuzzed too.
inline void FuzzKissStream(const uint8_t* Data, size_t Size) {
  for (uint8_t mode : {1, 0}) {
    TKissLink link;
    link.KissActive = mode;
    size_t lines = 0;
    TKissLinkDouble views;
    views.OnPacket = [&lines](const TReceivedPacket&) { ++lines; };
    views.OnLogText = [&lines](const std::string&, TLinkTraffic) { ++lines; };
    views.Debug = true;
    link.SetViews(&views);
    const size_t piece = Size > 0 ? Data[0] % 7 + 1 : 1;
    for (size_t i = 0; i < Size; i += piece) {
      link.KissRxBytes(std::span<const uint8_t>(Data + i, std::min(piece, Size - i)));
      if (views.RawBytes.size() > 4096) views.RawBytes.clear();  // keeps long inputs fast
    }
  }
}

// "Server.dat": one server a line, "host:port ;comment", each taken apart as the
// connect button takes the chosen one.
inline void FuzzServerList(const uint8_t* Data, size_t Size) {
  TStringList servers;
  servers.SetText(std::string(reinterpret_cast<const char*>(Data), Size));
  for (int i = 0; i < servers.Count(); ++i) {
    const std::string entry = Trim(servers[i]);
    std::string host;
    HostOfAddress(entry, host);
    (void)PortOfAddress(entry);
    if (host.size() > entry.size()) std::abort();
  }
}

// A monitor header read back from its text, the way the dispatcher once read every
// header: the reference the parts carried from each source are held against, and a
// short way for tests to hand the dispatcher a packet written as text.
#pragma once

#include <string>

#include "core/packet_header.h"
#include "platform/text/sysutils.h"

// Port of a monitor header text: -1 "ig", 1 "fm" or "1:fm", 2 "2:fm", else 0.
inline int HeaderPort(const std::string& Header) {
  const std::string work = UpperCase(Header);
  int port = 0;
  if (work.rfind("IG", 0) == 0) port = -1;
  if (work.rfind("FM", 0) == 0) port = 1;
  if (work.rfind("1:FM", 0) == 0) port = 1;
  if (work.rfind("2:FM", 0) == 0) port = 2;
  return port;
}

// The frame type word after "ctl" starts with "UI" ("UI", "UIv", "UI^"); a header without
// " ctl " is judged on the word at its fourth character.
inline bool IsUiFrameHeader(const std::string& Header) {
  const std::string work = UpperCase(Header);
  const size_t ctl = work.find(" CTL ");
  const size_t from = ctl == std::string::npos ? 3 : ctl + 4;
  if (from >= work.size()) return false;
  std::string word = Trim(work.substr(from));
  word = word.substr(0, word.find(' '));
  return word.rfind("UI", 0) == 0;
}

// The header and data trimmed, and the header taken apart from its text.
inline TReceivedPacket MonitorTextPacket(const std::string& Header, const std::string& Data) {
  TReceivedPacket packet{Trim(Header), Trim(Data), {}};
  TPacketHeader& parts = packet.Parts;
  parts.Port = HeaderPort(packet.Header);
  parts.UiFrame = !(parts.Port == 1 || parts.Port == 2) || IsUiFrameHeader(packet.Header);
  // "FM A TO B VIA C CTL ..." or "IG A TO B VIA C,D"
  std::string work = UpperCase(packet.Header);
  const size_t mark = work.find(parts.Port == -1 ? "IG " : "FM ");
  const size_t start = mark == std::string::npos ? 2 : mark + 3;
  const size_t to = work.find(" TO ");
  if (to != std::string::npos && to > start) parts.Source = work.substr(start, to - start);
  if (to != std::string::npos) work.erase(0, to + 4);
  const size_t blank = work.find(' ');
  parts.Dest = work.substr(0, blank);
  work.erase(0, blank == std::string::npos ? work.size() : blank + 1);
  const size_t via = work.find("VIA");
  if (via == std::string::npos) return packet;
  const size_t from = via + 4;
  if (from >= work.size()) return packet;
  const bool radio = parts.Port == 1 || parts.Port == 2;
  const size_t end = radio ? work.find(" CTL ", from) : std::string::npos;
  parts.Via = work.substr(from, end == std::string::npos ? std::string::npos : end - from);
  return packet;
}

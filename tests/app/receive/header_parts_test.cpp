// The header parts each road carries to the dispatcher (the APRS-IS reader's line
// split, the KISS link's frame decode, the packet log's lines) must be the ones the
// dispatcher used to read back from the header text it echoes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/receive/packet_log.h"
#include "app/receive/receive_fixture.h"
#include "core/kiss_link.h"
#include "core/tnc2_line.h"
#include "support/kiss_link_double.h"
#include "support/monitor_header.h"

namespace {

// Tricky headers, as TNC2 lines. Every call fits an AX.25 address, so that each line
// can be heard on the radio as well.
const std::vector<std::string> kLines = {
    "N0CALL>APRS:>no path",
    "n0call-9>apdr16,wide1-1*,wide2-1:>lower case, digipeated once",
    "N0CALL-9>APDR16,DB0ABC-10*,WIDE1*,WIDE2-1:!5230.50N/01320.70E>twice",
    "DB0GW>APRS,TCPIP*,qAC,T2TEST:}N0CALL>APRS,TCPIP,DB0GW*:>third party",
    "N0CALL-15>APRS-1,D1,D2,D3,D4,D5,D6,D7,D8*:>eight digipeaters",
    "N0CALL>APRS,WIDE2-1::N0CALL-1 :to you: with colons{1",
    "N0CALL>APRS,VIA,TO:>calls that read like header words",
};

// What the station store is handed for a packet.
TAprsInfo Stored(const TReceivedPacket& packet) {
  TReceivePath r;
  r.tcp_digi = true;
  r.dispatcher.AnalysePacket(packet);
  EXPECT_EQ(r.igated.size(), 1u) << packet.Header;
  return r.igated.empty() ? TAprsInfo() : r.igated[0];
}

// The packet as it reaches the store, against the same texts read back as the
// dispatcher read them before.
void ExpectPartsOfItsText(const TReceivedPacket& packet) {
  const TReceivedPacket reread = MonitorTextPacket(packet.Header, packet.Data);
  const TPacketHeader& a = packet.Parts;
  const TPacketHeader& b = reread.Parts;
  EXPECT_EQ(a.Port, b.Port) << packet.Header;
  EXPECT_EQ(a.Source, b.Source) << packet.Header;
  EXPECT_EQ(a.Dest, b.Dest) << packet.Header;
  EXPECT_EQ(a.Via, b.Via) << packet.Header;
  const TAprsInfo ours = Stored(packet);
  const TAprsInfo theirs = Stored(reread);
  EXPECT_EQ(ours.Port, theirs.Port) << packet.Header;
  EXPECT_EQ(ours.SrcCall, theirs.SrcCall) << packet.Header;
  EXPECT_EQ(ours.DestCall, theirs.DestCall) << packet.Header;
  EXPECT_EQ(ours.Path, theirs.Path) << packet.Header;
  EXPECT_EQ(ours.HeardVia, theirs.HeardVia) << packet.Header;
  EXPECT_EQ(ours.PathAsHeard, theirs.PathAsHeard) << packet.Header;
  EXPECT_EQ(ours.Data, theirs.Data) << packet.Header;
}

// The KISS frame of a TNC2 line on KISS port Port: each '*' sets its digipeater's H bit.
std::vector<uint8_t> KissFrame(const std::string& line, uint8_t port, uint8_t control = 0x03,
                               uint8_t pid = 0xF0, uint8_t command = 0) {
  std::vector<uint8_t> frame{kFend, static_cast<uint8_t>(port << 4 | command)};
  const size_t colon = line.find(':');
  std::vector<std::string> calls;
  std::string head = line.substr(0, colon);
  const size_t gt = head.find('>');
  const std::string source = head.substr(0, gt);
  head.erase(0, gt + 1);
  for (size_t from = 0; from <= head.size();) {
    const size_t comma = std::min(head.find(',', from), head.size());
    calls.push_back(head.substr(from, comma - from));
    from = comma + 1;
  }
  calls.insert(calls.begin() + 1, source);
  for (size_t i = 0; i < calls.size(); ++i) {
    std::string call = calls[i];
    const bool repeated = !call.empty() && call.back() == '*';
    if (repeated) call.pop_back();
    const size_t dash = call.find('-');
    const int ssid = dash == std::string::npos ? 0 : std::stoi(call.substr(dash + 1));
    call = call.substr(0, dash);
    call.resize(6, ' ');
    for (char c : call) frame.push_back(static_cast<uint8_t>(c << 1));
    uint8_t ssid_byte = static_cast<uint8_t>(0x60 | ssid << 1);
    if (repeated || i == 0) ssid_byte |= 0x80;  // H bit, or C bit of a command
    if (i + 1 == calls.size()) ssid_byte |= 0x01;
    frame.push_back(ssid_byte);
  }
  frame.push_back(control);
  frame.push_back(pid);
  frame.insert(frame.end(), line.begin() + static_cast<std::ptrdiff_t>(colon) + 1, line.end());
  frame.push_back(kFend);
  return frame;
}

TEST(HeaderParts, InternetLinesCarryWhatTheirHeaderTextSays) {
  for (const std::string& line : kLines) {
    TReceivedPacket packet;
    ASSERT_TRUE(SplitIsLine(line, packet)) << line;
    ExpectPartsOfItsText(packet);
  }
}

std::vector<TReceivedPacket> Heard(uint8_t port) {
  TKissLink link;
  link.KissActive = 1;
  TKissLinkDouble views;
  std::vector<TReceivedPacket> heard;
  views.OnPacket = [&](const TReceivedPacket& packet) { heard.push_back(packet); };
  link.SetViews(&views);
  for (const std::string& line : kLines) link.KissRxBytes(KissFrame(line, port));
  EXPECT_EQ(heard.size(), kLines.size());
  return heard;
}

TEST(HeaderParts, RadioFramesCarryWhatTheirHeaderTextSays) {
  for (uint8_t port : {0, 1}) {
    for (const TReceivedPacket& packet : Heard(port)) {
      EXPECT_EQ(packet.Parts.Port, port + 1);
      ExpectPartsOfItsText(packet);
    }
  }
}

// Read back from its text, the header of a frame from any other KISS port kept the
// "ctl" and "pid" words in its via list; the frame's own parts end at the last call.
TEST(HeaderParts, FramesFromOtherPortsCarryOnlyTheirDigipeaters) {
  const std::vector<TReceivedPacket> heard = Heard(2);
  ASSERT_EQ(heard.size(), kLines.size());
  EXPECT_EQ(heard[0].Parts.Via, "");
  EXPECT_EQ(heard[2].Parts.Via, "DB0ABC-10 WIDE1* WIDE2-1");
  for (const TReceivedPacket& packet : heard) {
    EXPECT_EQ(packet.Parts.Port, 0);
    EXPECT_EQ(Stored(packet).Path.find("CTL"), std::string::npos) << packet.Header;
  }
}

TEST(HeaderParts, LogLinesCarryWhatTheirHeaderTextSays) {
  for (const std::string& line : kLines) {
    TReceivedPacket packet;
    ASSERT_TRUE(LogLineToPacket("070601143005:" + line, packet)) << line;
    ExpectPartsOfItsText(packet);
  }
}

// What is not an APRS frame is shown at most, never logged, gated or decoded: judged by
// the frame's control and PID bytes and its KISS command, not by the header text.
TEST(HeaderParts, FramesThatAreNotAprsAreNeverGated) {
  struct TCase {
    std::vector<uint8_t> frame;
    bool shown;
  };
  const std::string line = "N0CALL-9>APRS,CTL,UI:!5230.50N/01320.70E>x";
  const std::vector<TCase> cases = {
      {KissFrame(line, 0, 0x00), true},            // I frame, digipeaters named CTL and UI
      {KissFrame(line, 2, 0x00), true},            // I frame on KISS port 2
      {KissFrame(line, 1, 0x13, 0xCF), true},      // UI frame of another protocol
      {KissFrame(line, 0, 0x03, 0xF0, 6), false},  // a KISS command, not data
  };
  for (const TCase& c : cases) {
    TReceivePath r;
    r.tcp_digi = true;
    r.recording = true;
    TKissLink link;
    link.KissActive = 1;
    TKissLinkDouble views;
    views.OnPacket = [&](const TReceivedPacket& packet) { r.dispatcher.AnalysePacket(packet); };
    link.SetViews(&views);
    const int empty_lines = r.monitor.LineCount();
    link.KissRxBytes(c.frame);
    EXPECT_TRUE(r.igated.empty());
    EXPECT_TRUE(r.log_lines.empty());
    EXPECT_EQ(r.store.StationList.Count(), 0);
    EXPECT_EQ(r.monitor.LineCount() > empty_lines, c.shown);
  }
  // The same frame as a UI frame goes all the way.
  TReceivePath r;
  r.tcp_digi = true;
  TKissLink link;
  link.KissActive = 1;
  TKissLinkDouble views;
  views.OnPacket = [&](const TReceivedPacket& packet) { r.dispatcher.AnalysePacket(packet); };
  link.SetViews(&views);
  link.KissRxBytes(KissFrame(line, 0));
  EXPECT_EQ(r.igated.size(), 1u);
}

}  // namespace

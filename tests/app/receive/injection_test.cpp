// Hostile packets through the real receive path: radio frames and internet lines whose
// callsigns, message numbers and data hold line breaks and NULs. Whatever they hold,
// the IGate's lines to the server, the automatic acknowledgements on the radio and the
// internet, and the packet log's lines stay one line each, and nothing forged appears.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/messages/frm_aprs_msg.h"
#include "app/receive/packet_log.h"
#include "app/receive/receive_session.h"
#include "app/transmit/beacons.h"
#include "app/transmit/transmit_support.h"
#include "platform/test_support/loopback_tcp_server.h"

namespace {

using namespace std::string_literals;

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A radio frame from Source (any bytes) to APRS via WIDE1-1 with Data.
std::vector<uint8_t> RadioFrame(std::string_view Source, std::string_view Data) {
  TKissBuildResult frame = BuildKissFrame("0:N0SRC", "APRS,WIDE1-1", Data);
  EXPECT_EQ(frame.Error, TKissBuildError::None);
  // The source's six callsign bytes follow FEND, the command byte and the destination.
  for (size_t i = 0; i < 6; ++i) {
    const char c = i < Source.size() ? Source[i] : ' ';
    frame.Bytes[9 + i] = static_cast<uint8_t>(static_cast<uint8_t>(c) << 1);
  }
  return frame.Bytes;
}

class InjectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    log_file_ = (std::filesystem::temp_directory_path() /
                 ("velmora-injection-" + std::to_string(::getpid()) + ".log"))
                    .string();
    // The messaging window answers messages to N0CALL, over the radio and the internet.
    own_.call[0] = "N0CALL";
    own_.path[0] = "APRS,WIDE1-1";
    own_.path[1] = "APRS";
    msg_.OwnCalls = &own_;
    msg_.Kiss = &radio_out_.link;
    msg_.Internet = &internet_out_;
    internet_.connected = [this] { return session_.link.IsConnected(); };
    internet_.on_line = [this](const std::string& line) {
      return session_.link.TCPClientIGate.WriteLine(line);
    };
    internet_out_.SetViews(&internet_);
    TReceivePath& path = session_.path;
    path.tcp_digi = true;
    path.recording = true;
    path.on_message = [this](const TAprsInfo& info) { msg_.HandleRxMessage(info); };
    path.on_log_line = [this](const std::string& line) { recorder_.AddLine(line); };
    std::string error;
    ASSERT_TRUE(recorder_.Start(log_file_, false, error)) << error;
    radio_in_.KissActive = 1;
    radio_in_views_.OnPacket = [this](const TReceivedPacket& packet) {
      session_.path.dispatcher.AnalysePacket(packet);
    };
    radio_in_.SetViews(&radio_in_views_);
    session_.link.mbtnTcpClick();
    ASSERT_TRUE(PumpUntil([&] { return server_.Accept(5); }));
    ASSERT_FALSE(PumpLogin(server_).empty());  // the login
  }
  void TearDown() override {
    session_.link.Stop();
    std::filesystem::remove(log_file_);
  }

  // Everything the server received after the login, cut at CR LF.
  std::vector<std::string> ServerLines() {
    std::string all = server_.Received();
    all.erase(0, all.find("\r\n") + 2);
    std::vector<std::string> lines;
    for (size_t from = 0; from < all.size();) {
      const size_t end = all.find("\r\n", from);
      if (end == std::string::npos) {
        lines.push_back("<unterminated>" + all.substr(from));
        break;
      }
      lines.push_back(all.substr(from, end - from));
      from = end + 2;
    }
    return lines;
  }

  TLoopbackTcpServer server_;
  TReceiveSession session_{server_.Port()};
  TKissLinkDouble radio_in_views_;
  TKissLink radio_in_;
  TCapturedKiss radio_out_;
  TTestBeaconSettings own_;
  TTestInternet internet_;
  TBeacons internet_out_;
  TfrmAprsMsg msg_{nullptr};
  TPacketRecorder recorder_;
  std::string log_file_;
};

TEST_F(InjectionTest, NoPacketAddsALineToWhatWeSendOrWrite) {
  // A radio source with a line feed in its callsign: dropped as malformed.
  radio_in_.KissRxBytes(RadioFrame("X\nEVIL", ":N0CALL   :hi{1"));
  EXPECT_EQ(radio_in_.MalformedFrames, 1u);
  // Clean addresses, hostile message numbers and data.
  radio_in_.KissRxBytes(RadioFrame("DL1ABC", ":N0CALL   :hello{7\nEV"));
  radio_in_.KissRxBytes(RadioFrame("DL1ABD", ":N0CALL   :nul{8\0EVIL"s));
  radio_in_.KissRxBytes(RadioFrame("DL1ABE", ">status\rEVIL>APRS,TCPIP*::N0CALL   :forged"));
  // Internet lines keep a CR or NUL inside (only the line end is taken off).
  ASSERT_TRUE(server_.Send("X\rEVIL>APRS::N0CALL   :hi{2\r\n"));
  ASSERT_TRUE(server_.Send("DL2XYZ>APRS::N0CALL   :hi{3\0EVIL\r\n"s));
  ASSERT_TRUE(server_.Send("DL2XYZ>APRS::N0CALL   :hi{4\rEVIL>APRS:x\r\n"));
  ASSERT_TRUE(PumpUntil([&] { return session_.handed_over == 3; }));
  recorder_.FlushLog();

  // The server: the four acknowledgements, one line each; the IGate gates none of the
  // three radio packets, as each holds a line break or NUL.
  ASSERT_TRUE(PumpUntil([&] { return ServerLines().size() >= 4; }));
  const std::vector<std::string> lines = ServerLines();
  for (const std::string& line : lines) {
    EXPECT_FALSE(HoldsLineBreak(line)) << line;
    EXPECT_NE(line.rfind("EVIL", 0), 0u) << line;
    EXPECT_EQ(line.find("<unterminated>"), std::string::npos) << line;
  }
  for (const std::string& line : lines) EXPECT_NE(line.rfind("DL1AB", 0), 0u) << line;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "N0CALL>APRS,WIDE1-1::DL1ABC   :ack7"),
            lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "N0CALL>APRS,WIDE1-1::DL2XYZ   :ack3"),
            lines.end());
  // A sender that is no callsign gets no answer at all.
  for (const std::string& line : lines) EXPECT_EQ(line.find(":X"), std::string::npos) << line;

  // The radio: acknowledgements whose information field is one line.
  ASSERT_GE(radio_out_.frames.size(), 2u);
  for (size_t i = 0; i < radio_out_.frames.size(); ++i) {
    const std::string decoded = radio_out_.Decoded(i);
    const size_t data = decoded.find("\r\n") + 2;
    EXPECT_FALSE(HoldsLineBreak(decoded.substr(data))) << decoded;
  }
  EXPECT_EQ(radio_out_.Decoded(0),
            "1:fm N0CALL to APRS via WIDE1-1 ctl UI^ pid F0\r\n:DL1ABC   :ack7");

  // The log: one line per recorded packet, each read back as one packet.
  std::ifstream file(log_file_, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  TStringList log;
  log.SetText(content.str());
  // The internet packet whose source holds a CR is not recorded: cut there, it would
  // play back as a packet from another station.
  EXPECT_EQ(log.Count(), 5);
  TReceivedPacket packet;
  for (int i = 0; i < log.Count(); ++i) {
    EXPECT_TRUE(LogLineToPacket(log[i], packet)) << log[i];
    EXPECT_NE(log[i].find(">"), std::string::npos) << log[i];
    // The data is escaped: what followed a line break stays inside its packet.
    EXPECT_EQ(packet.Header.find("fm EVIL"), std::string::npos) << log[i];
  }
}

}  // namespace

#include "core/kiss_link.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

#include "core/rs232.h"
#include "platform/io/pseudo_terminal.h"
#include "platform/sys/pump.h"
#include "platform/sys/thread.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A link whose views and port record what they are given.
struct TRecordingLink : TKissLinkViews, TFrameWriter {
  TKissLink link;
  std::vector<std::string> lines;                             // header, data, ...
  std::vector<std::pair<std::string, TLinkTraffic>> monitor;  // AddLogText
  std::vector<Bytes> written;
  std::string raw_bytes;
  bool debug = false;
  bool playing = false;
  int device = 1;
  bool port_open = true;

  TRecordingLink() {
    link.SetViews(this);
    link.SetWriter(this);
  }
  void AnalysePacket(const TReceivedPacket& packet) override {
    lines.push_back(packet.Header);
    lines.push_back(packet.Data);
  }
  void AddLogText(const std::string& text, TLinkTraffic traffic) override {
    monitor.emplace_back(text, traffic);
  }
  bool IsPlayingBack() const override { return playing; }
  bool IsDebugChecked() const override { return debug; }
  std::string RawByteText() const override { return raw_bytes; }
  void SetRawByteText(const std::string& text) override { raw_bytes = text; }
  int DeviceIndex() const override { return device; }
  bool WriteFrame(std::span<const uint8_t> bytes) override {
    if (port_open) written.emplace_back(bytes.begin(), bytes.end());
    return port_open;
  }
};

const Bytes kStream = {0xC0, 0x00, 0x82, 0xA0, 0xA4, 0xA6, 0x40, 0x40, 0xE0, 0x9C,
                       0x60, 0x86, 0x82, 0x98, 0x98, 0x61, 0x03, 0xF0, 0x21, 0xC0};

// Feeds the bytes whole and one at a time; both must give the same lines.
std::vector<std::string> ReceivedLines(const Bytes& bytes) {
  TRecordingLink whole, single;
  whole.link.KissActive = single.link.KissActive = 1;
  whole.link.KissRxBytes(bytes);
  for (uint8_t b : bytes) single.link.KissRxBytes(std::span<const uint8_t>(&b, 1));
  EXPECT_EQ(whole.lines, single.lines);
  return whole.lines;
}

TEST(KissReceive, FrameBecomesHeaderAndDataLines) {
  EXPECT_EQ(ReceivedLines(kStream),
            (std::vector<std::string>{"1:fm N0CALL to APRS ctl UI^ pid F0", "!"}));
  Bytes twice = kStream;
  twice.insert(twice.end(), kStream.begin() + 1, kStream.end());  // the FEND is shared
  EXPECT_EQ(ReceivedLines(twice).size(), 4u);
}

TEST(KissReceive, OversizedFrameIsDroppedAndTheNextOneArrives) {
  Bytes bytes = {0xC0};
  bytes.insert(bytes.end(), 600, 0x41);
  bytes.insert(bytes.end(), kStream.begin(), kStream.end());
  EXPECT_EQ(ReceivedLines(bytes),
            (std::vector<std::string>{"1:fm N0CALL to APRS ctl UI^ pid F0", "!"}));
  // Exactly the buffer size still fits.
  Bytes full(kStream.begin(), kStream.end() - 1);
  full.insert(full.end(), kKissBufferSize - (full.size() - 1), 'x');
  full.push_back(0xC0);
  std::vector<std::string> lines = ReceivedLines(full);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].size(), kKissBufferSize - 17);
}

TEST(KissReceive, GarbageNeverCrashes) {
  Bytes noise;
  for (int i = 0; i < 3000; ++i) noise.push_back(static_cast<uint8_t>((i * 7919) ^ (i >> 3)));
  noise.push_back(0xDB);  // a FESC at the very end
  noise.push_back(0xC0);
  ReceivedLines(noise);
  // Every prefix of a valid stream gives nothing or the whole packet.
  for (size_t n = 0; n <= kStream.size(); ++n) {
    std::vector<std::string> lines = ReceivedLines(Bytes(kStream.begin(), kStream.begin() + n));
    EXPECT_EQ(lines.size(), n == kStream.size() ? 2u : 0u);
  }
}

TEST(KissReceive, MalformedFramesAreCountedNotPassedOn) {
  TRecordingLink r;
  r.link.KissActive = 1;
  Bytes hostile = kStream;
  hostile[10] = '\n' << 1;                        // the source's second character
  Bytes stream = {0xC0, 0xC0, 0x00, 0x82, 0xC0};  // an empty and a short frame
  stream.insert(stream.end(), hostile.begin(), hostile.end());
  stream.insert(stream.end(), kStream.begin(), kStream.end());
  r.link.KissRxBytes(stream);
  EXPECT_EQ(r.lines, (std::vector<std::string>{"1:fm N0CALL to APRS ctl UI^ pid F0", "!"}));
  EXPECT_EQ(r.link.MalformedFrames, 2u);
}

TEST(KissReceive, TextModeShowsTncLines) {
  TRecordingLink r;
  const std::string text = "cmd:\nKISS ON\r\r";
  r.link.KissRxBytes(Bytes(text.begin(), text.end()));
  ASSERT_EQ(r.monitor.size(), 2u);
  EXPECT_EQ(r.monitor[0], std::make_pair(std::string("cmd:\nKISS ON\r"), TLinkTraffic::TncText));
  EXPECT_EQ(r.monitor[1], std::make_pair(std::string("\r"), TLinkTraffic::TncText));
  EXPECT_TRUE(r.lines.empty());
  // A FEND in text mode is just a byte of the line.
  r.link.KissRxBytes(kStream);
  EXPECT_TRUE(r.lines.empty());
}

TEST(KissReceive, NothingWhilePlayingBack) {
  TRecordingLink r;
  r.link.KissActive = 1;
  r.playing = true;
  r.link.KissRxBytes(kStream);
  r.playing = false;
  r.link.KissRxBytes(Bytes{0xC0});
  EXPECT_TRUE(r.lines.empty());
}

TEST(KissReceive, DebugListsTheUnescapedBytes) {
  TRecordingLink r;
  r.link.KissActive = 1;
  r.debug = true;
  r.raw_bytes = "1,2  ";
  Bytes frame = kStream;
  frame.insert(frame.end() - 1, {0xDB, 0xDC});
  r.link.KissRxBytes(frame);
  EXPECT_EQ(r.raw_bytes,
            "1,2,192,0,130,160,164,166,64,64,224,156,96,134,130,152,152,97,3,240,33,192,192,");
  r.raw_bytes.clear();
  r.link.KissRxBytes(Bytes{0xDB, 0xDC, 0xC0});  // too short to decode: listed as received
  EXPECT_EQ(r.raw_bytes, "219,220,192,");
}

TEST(KissSend, WritesTheFrameAndEchoesIt) {
  TRecordingLink r;
  EXPECT_EQ(r.link.SendKissFrame(" 1:N0CALL-9 ", "APRS WIDE1-1", " >test "), TKissSendResult::Sent);
  ASSERT_EQ(r.written.size(), 1u);
  EXPECT_EQ(r.written[0], BuildKissFrame("1:N0CALL-9", "APRS,WIDE1-1", ">test").Bytes);
  ASSERT_EQ(r.monitor.size(), 2u);
  EXPECT_EQ(r.monitor[0].first, "\r\n2:fm N0CALL-9 to APRS via WIDE1-1 ctl UIv pid F0");
  EXPECT_EQ(r.monitor[0].second, TLinkTraffic::TxHeaderPort2);
  EXPECT_EQ(r.monitor[1], std::make_pair(std::string("\r\n>test"), TLinkTraffic::TxDataPort2));
}

TEST(KissSend, EchoForms) {
  TRecordingLink r;
  r.link.SendKissFrame("0:N0CALL", "", "x");
  ASSERT_EQ(r.monitor.size(), 2u);
  EXPECT_EQ(r.monitor[0], std::make_pair(std::string("\r\n1:fm N0CALL to APRS ctl UIv pid F0"),
                                         TLinkTraffic::TxHeaderPort1));
  EXPECT_EQ(r.monitor[1].second, TLinkTraffic::TxDataPort1);
  r.monitor.clear();
  r.link.EchoTxFrame("N0CALL", "APDW16,WIDE1-1,WIDE2-1", "y");
  EXPECT_EQ(r.monitor[0].first, "\r\nfm N0CALL to APDW16 via WIDE1-1 WIDE2-1 ctl UIv pid F0");
  EXPECT_EQ(r.monitor[0].second, TLinkTraffic::TxHeaderPort1);
}

TEST(KissSend, NoDeviceNoEcho) {
  TRecordingLink r;
  r.device = 0;
  EXPECT_EQ(r.link.SendKissFrame("N0CALL", "APRS", "x"), TKissSendResult::Sent);
  EXPECT_EQ(r.written.size(), 1u);
  EXPECT_TRUE(r.monitor.empty());
}

TEST(KissSend, RefusedOrUnwrittenFramesAreNotEchoed) {
  TRecordingLink r;
  EXPECT_EQ(r.link.SendKissFrame("N0CALL-99", "APRS", "x"), TKissSendResult::Refused);
  EXPECT_EQ(r.link.SendKissFrame("a:N0CALL", "APRS", "x"), TKissSendResult::Refused);
  r.port_open = false;
  EXPECT_EQ(r.link.SendKissFrame("N0CALL", "APRS", "x"), TKissSendResult::NotWritten);
  EXPECT_TRUE(r.written.empty());
  EXPECT_TRUE(r.monitor.empty());
}

TEST(KissSend, SentFrameReadsBackAsTheSameHeader) {
  TRecordingLink sender, receiver;
  sender.link.SendKissFrame("0:N0CALL-7", "APZ001,WIDE2-2", ":N0CALL   :hi{1");
  receiver.link.KissActive = 1;
  receiver.link.KissRxBytes(sender.written.at(0));
  EXPECT_EQ(receiver.lines,
            (std::vector<std::string>{"1:fm N0CALL-7 to APZ001 via WIDE2-2 ctl UI^ pid F0",
                                      ":N0CALL   :hi{1"}));
}

}  // namespace

// On a serial port the link hears the TNC's bytes as they come and writes its frames
// there; taken off the port it does neither.
TEST(KissPort, AnAttachedLinkHearsAndSpeaksThroughThePort) {
  TPseudoTerminal tnc;
  TRs232 port({});
  std::string error;
  ASSERT_TRUE(port.OpenRs232Device(tnc.DevicePath(), 9600, TSerialFlow::None, error)) << error;
  TRecordingLink r;
  r.link.KissActive = 1;
  AttachKissLink(port, r.link);

  tnc.Send(std::string(kStream.begin(), kStream.end()));
  ASSERT_TRUE(PumpUntil([&] { return r.lines.size() == 2; }));
  EXPECT_EQ(r.lines, (std::vector<std::string>{"1:fm N0CALL to APRS ctl UI^ pid F0", "!"}));
  TRecordingLink unattached;
  unattached.link.SendKissFrame("N0CALL", "APRS", "!");
  ASSERT_EQ(r.link.SendKissFrame("N0CALL", "APRS", "!"), TKissSendResult::Sent);
  EXPECT_EQ(tnc.Receive(unattached.written.at(0).size(), 1000), unattached.written.at(0));
  EXPECT_TRUE(r.written.empty());

  DetachKissLink(port, r.link);
  EXPECT_EQ(r.link.SendKissFrame("N0CALL", "APRS", "!"), TKissSendResult::NotWritten);
  tnc.Send(std::string(kStream.begin(), kStream.end()));
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(r.lines.size(), 2u);
  port.CloseRs232();
}

// A TNC that sends faster than the program decodes: each hand-over reads once and
// returns, so the window gets to its other events while the bytes keep coming.
TEST(KissPort, ATncThatNeverPausesLeavesTheWindowAnswering) {
  TPseudoTerminal tnc;
  TRs232 port({});
  std::string error;
  ASSERT_TRUE(port.OpenRs232Device(tnc.DevicePath(), 9600, TSerialFlow::None, error)) << error;
  struct TSlowLink : TRecordingLink {
    void AnalysePacket(const TReceivedPacket& packet) override {
      std::this_thread::sleep_for(std::chrono::microseconds(300));
      TRecordingLink::AnalysePacket(packet);
      decoding = true;
    }
    std::atomic<bool> decoding{false};
  } r;
  r.link.KissActive = 1;
  AttachKissLink(port, r.link);
  // The flood goes on until the window has answered (a send that finds no room for a
  // while, on a loaded machine, is tried again).
  std::atomic<bool> stop{false}, sending{true};
  std::thread sender([&] {
    std::string burst;
    for (int i = 0; i < 50; ++i) burst.append(kStream.begin(), kStream.end());
    while (!stop) tnc.Send(burst);
    sending = false;
  });
  // Another thread asks the window for an answer once it decodes the flood.
  std::atomic<bool> answered{false}, answered_while_sending{false};
  std::thread asker([&] {
    while (!r.decoding && !stop) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    TThread::Synchronize([&] {
      answered_while_sending = bool(sending);
      answered = true;
    });
  });
  PumpUntil([&] { return answered.load(); }, 60000);
  stop = true;
  // A window that never answered does once the flood ends; the asker waits for it.
  PumpUntil([&] { return answered.load(); }, 60000);
  asker.join();
  sender.join();
  DetachKissLink(port, r.link);
  port.CloseRs232();
  EXPECT_TRUE(answered_while_sending);
  EXPECT_GT(r.lines.size(), 0u);
}

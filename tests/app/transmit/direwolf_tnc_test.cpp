// Our beacons, messages and acknowledgements as KISS frames into direwolf, a real KISS
// TNC (Debian package direwolf, on its KISS TCP port with a silent audio input): it
// transmits each frame and prints it as the packet it took it for.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

#include "app/messages/frm_aprs_msg.h"
#include "app/transmit/beacons.h"
#include "app/transmit/transmit_support.h"
#include "core/kiss_link.h"
#include "platform/io/tcp_client.h"
#include "platform/sys/child_process.h"
#include "platform/test_support/loopback_tcp_server.h"
#include "support/kiss_link_double.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Waits for what direwolf prints. On a loaded machine it may be slow to start or to send;
// the bound only keeps a direwolf that never answers from holding the suite.
template <class Predicate>
bool WaitFor(Predicate done) {
  constexpr auto kNeverOnAnyMachine = std::chrono::minutes(2);
  const auto end = std::chrono::steady_clock::now() + kNeverOnAnyMachine;
  while (!done() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return done();
}

// direwolf listening for KISS clients on a free port, with a silent audio input.
struct TDirewolf {
  explicit TDirewolf(const fs::path& Work) : work(Work) {
    // The free port is given back before direwolf takes it, and another program may
    // take it meanwhile: then another port.
    for (int attempt = 0; attempt < 5 && !ready; ++attempt) {
      {
        TLoopbackTcpServer probe;
        port = probe.Port();
      }
      std::ofstream(work / "dw.conf") << "ADEVICE stdin null\nACHANNELS 1\nARATE 48000\nCHANNEL 0\n"
                                         "MYCALL N0CALL\nMODEM 1200\nAGWPORT 0\nKISSPORT "
                                      << port << "\n";
      // direwolf sends only while its audio clock runs: silence in real time, as long as
      // it runs. It cuts a configuration path beyond 99 characters, so it reads its file
      // from its own folder.
      process = std::make_unique<TChildProcess>(
          "(while :; do head -c 9600 /dev/zero; sleep 0.1; done) | (cd " + work.string() +
              " && stdbuf -oL direwolf -c dw.conf -t 0 -q d -)",
          Output().string());
      WaitFor([&] {
        const std::string out = ReadFile(Output());
        ready = out.find("Ready to accept KISS TCP") != std::string::npos;
        return ready || out.find("Bind failed") != std::string::npos ||
               out.find("Couldn't bind") != std::string::npos;
      });
    }
  }
  fs::path Output() const { return work / "direwolf.txt"; }

  fs::path work;
  int port = 0;
  bool ready = false;
  std::unique_ptr<TChildProcess> process;
};

}  // namespace

TEST(DirewolfTnc, TransmitsOurBeaconsMessagesAndAcknowledgements) {
  if (!ProgramAvailable("direwolf")) GTEST_SKIP() << "direwolf is not installed";
  const fs::path work =
      fs::temp_directory_path() / ("velmora-dw-tnc-" + std::to_string(std::random_device{}()));
  fs::create_directories(work);
  TDirewolf direwolf(work);
  ASSERT_TRUE(direwolf.ready) << ReadFile(direwolf.Output());
  const int port = direwolf.port;

  TTcpClient tnc;
  ASSERT_TRUE(tnc.Connect("127.0.0.1", port, 2000));
  TKissLinkDouble tcp_port;
  tcp_port.OnFrame = [&](std::span<const uint8_t> bytes) {
    return tnc.Write(std::string(bytes.begin(), bytes.end()));
  };
  TKissLink link;
  link.SetWriter(&tcp_port);

  TBeacons beacons;
  beacons.Kiss = &link;
  TTestBeaconSettings settings;
  settings.call[0] = "N0CALL-9";
  settings.path[0] = "APRS,WIDE1-1";
  settings.info[0] = "Velmora";
  settings.status[0] = "QRV 145.500";
  settings.own = {49.058333333, -72.029166667};
  settings.symbol[0] = {'/', '>'};
  settings.wx_on = true;
  settings.wx_ssid[0] = "-13";
  settings.wx_text = "220/004g005t-05h00b10132";
  beacons.SetSettings(&settings);
  ASSERT_EQ(beacons.SendBeacon(bkPosP1), TBeaconResult::Sent);
  ASSERT_EQ(beacons.SendBeacon(bkStatusP1), TBeaconResult::Sent);
  ASSERT_EQ(beacons.SendBeacon(bkWxP1), TBeaconResult::Sent);

  TfrmAprsMsg msg(nullptr);
  msg.Kiss = &link;
  msg.OwnCalls = &settings;
  msg.MsgNr = 17;
  msg.edtMsgAdr->SetText("WU2Z");
  msg.edtMsgTxt->SetText("Testing");
  msg.mbtnTxMsgClick(msg.mbtnTxMsg);
  TAprsInfo info;
  info.SrcCall = "WU2Z";
  info.Port = 1;
  info.Data = ":N0CALL-9 :Hi there{003";
  msg.HandleRxMessage(info);

  const std::vector<std::string> expected = {
      "[0L] N0CALL-9>APRS,WIDE1-1:=4903.50N/07201.75W>Velmora",
      "[0L] N0CALL-9>APRS,WIDE1-1:>QRV 145.500",
      "[0L] N0CALL-13>APRS,WIDE1-1:=4903.50N/07201.75W_220/004g005t-05h00b10132",
      "[0L] N0CALL-9>APRS,WIDE1-1::WU2Z     :Testing{17",
      "[0L] N0CALL-9>APRS,WIDE1-1::WU2Z     :ack003"};
  EXPECT_TRUE(WaitFor([&] {
    const std::string out = ReadFile(direwolf.Output());
    for (const std::string& line : expected) {
      if (out.find(line) == std::string::npos) return false;
    }
    return true;
  })) << ReadFile(direwolf.Output());
  tnc.Disconnect();
  direwolf.process.reset();
  fs::remove_all(work);
}

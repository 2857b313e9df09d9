// Our beacons, messages and acknowledgements as KISS frames into direwolf, a real KISS
// TNC (Debian package direwolf, on its KISS TCP port with a silent audio input): it
// transmits each frame and prints it as the packet it took it for.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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

template <class Predicate>
bool WaitFor(Predicate done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return done();
}

}  // namespace

TEST(DirewolfTnc, TransmitsOurBeaconsMessagesAndAcknowledgements) {
  if (!ProgramAvailable("direwolf")) GTEST_SKIP() << "direwolf is not installed";
  int port = 0;
  {
    TLoopbackTcpServer probe;  // a free port, given back at once
    port = probe.Port();
  }
  const fs::path work = fs::temp_directory_path() / ("velmora-dw-tnc-" + std::to_string(port));
  fs::create_directories(work);
  std::ofstream(work / "dw.conf") << "ADEVICE stdin null\nACHANNELS 1\nARATE 48000\nCHANNEL 0\n"
                                     "MYCALL N0CALL\nMODEM 1200\nAGWPORT 0\nKISSPORT "
                                  << port << "\n";
  // direwolf sends only while its audio clock runs: silence in real time. It cuts a
  // configuration path beyond 99 characters, so it reads its file from its own folder.
  TChildProcess direwolf(
      "(for i in $(seq 600); do head -c 9600 /dev/zero; sleep 0.1; done) | (cd " + work.string() +
          " && stdbuf -oL direwolf -c dw.conf -t 0 -q d -)",
      (work / "direwolf.txt").string());
  ASSERT_TRUE(WaitFor(
      [&] {
        return ReadFile(work / "direwolf.txt").find("Ready to accept KISS TCP") !=
               std::string::npos;
      },
      15000))
      << ReadFile(work / "direwolf.txt");

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
  EXPECT_TRUE(WaitFor(
      [&] {
        const std::string out = ReadFile(work / "direwolf.txt");
        for (const std::string& line : expected) {
          if (out.find(line) == std::string::npos) return false;
        }
        return true;
      },
      15000))
      << ReadFile(work / "direwolf.txt");
  tnc.Disconnect();
  direwolf.Stop();
  fs::remove_all(work);
}

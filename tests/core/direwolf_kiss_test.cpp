// The TNC path end to end against direwolf as a real KISS TNC (Debian package direwolf):
// a packet made into audio by gen_packets is decoded by direwolf, arrives as a KISS
// frame on its pseudo-terminal, passes our serial driver and KISS decoder and reaches
// the dispatcher's views; a frame we send is "transmitted" by direwolf, which prints it.
// direwolf makes one pseudo-terminal per start, so both directions run in one test; its
// name is read from direwolf's own report rather than the shared /tmp/kisstnc link, so
// that two test runs at once do not take each other's terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "core/kiss_link.h"
#include "core/rs232.h"
#include "platform/sys/application.h"
#include "platform/sys/child_process.h"
#include "platform/sys/pump.h"
#include "support/kiss_link_double.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The device direwolf reports as "Virtual KISS TNC is available on /dev/pts/N", or "".
std::string KissTncDevice(const std::string& report) {
  const std::string lead = "Virtual KISS TNC is available on ";
  const auto at = report.find(lead);
  if (at == std::string::npos) return {};
  const auto start = at + lead.size();
  const auto end = report.find_first_of(" \r\n", start);
  if (end == std::string::npos) return {};
  return report.substr(start, end - start);
}

bool HaveDirewolf() {
  return fs::exists("/usr/bin/direwolf") && fs::exists("/usr/bin/gen_packets");
}

}  // namespace

TEST(DirewolfKiss, PacketsCrossOurKissLinkInBothDirections) {
  if (!HaveDirewolf()) GTEST_SKIP() << "direwolf is not installed";
  const fs::path work =
      fs::temp_directory_path() / ("velmora-direwolf-" + std::to_string(std::random_device{}()));
  fs::create_directories(work);
  {
    std::ofstream(work / "packet.txt") << "N0CALL>APRS,WIDE2-1:>hello from direwolf";
    std::ofstream(work / "dw.conf") << "ADEVICE stdin null\nACHANNELS 1\nARATE 48000\n"
                                       "CHANNEL 0\nMYCALL N0CALL\nMODEM 1200\n"
                                       "AGWPORT 0\nKISSPORT 0\n";
  }
  // gen_packets runs to its end: on a loaded machine a file that had only begun to grow
  // was cut off, and direwolf heard no packet in it.
  int status = -1;
  const std::string gen =
      RunAndCapture("gen_packets -r 48000 -o " + (work / "packet.wav").string() + " " +
                        (work / "packet.txt").string() + " 2>&1",
                    &status);
  ASSERT_EQ(status, 0) << gen;
  ASSERT_GT(fs::file_size(work / "packet.wav"), 44u) << gen;

  // The audio waits until our port is open (the test then makes the file "go"), so the
  // frame cannot come before anyone listens however slow the machine is; then silence in
  // real time, because direwolf sends only while its audio clock runs. direwolf cuts a
  // configuration path beyond 99 characters, so it reads its file from its own folder.
  const fs::path go = work / "go";
  TChildProcess direwolf("(while [ ! -e " + go.string() + " ]; do sleep 0.05; done; cat " +
                             (work / "packet.wav").string() +
                             "; for i in $(seq 300); do head -c 9600 /dev/zero; sleep 0.1; done)"
                             " | (cd " +
                             work.string() + " && stdbuf -oL direwolf -c dw.conf -t 0 -p -)",
                         (work / "direwolf.txt").string());
  std::string device;
  ASSERT_TRUE(PumpUntil(
      [&] {
        device = KissTncDevice(ReadFile(work / "direwolf.txt"));
        return !device.empty();
      },
      10000))
      << ReadFile(work / "direwolf.txt");

  TRs232 port({.RaiseDtr = true});
  TKissLink link;
  link.KissActive = 1;
  std::vector<std::string> lines;
  TKissLinkDouble views;
  views.OnPacket = [&](const TReceivedPacket& packet) {
    lines.push_back(packet.Header);
    lines.push_back(packet.Data);
  };
  link.SetViews(&views);
  AttachKissLink(port, link);
  std::string error;
  ASSERT_TRUE(port.OpenRs232Device(device, 9600, TSerialFlow::None, error)) << error;
  std::ofstream(go).put('\n');

  ASSERT_TRUE(PumpUntil([&] { return lines.size() >= 2; }, 40000))
      << ReadFile(work / "direwolf.txt");
  EXPECT_EQ(lines[0].rfind("1:fm N0CALL to APRS via WIDE2-1", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1], ">hello from direwolf");

  EXPECT_EQ(link.SendKissFrame("0:N0CALL-7", "APRS,WIDE1-1", ">velmora calling"),
            TKissSendResult::Sent);
  EXPECT_TRUE(PumpUntil(
      [&] {
        return ReadFile(work / "direwolf.txt").find("N0CALL-7>APRS,WIDE1-1:>velmora calling") !=
               std::string::npos;
      },
      10000))
      << ReadFile(work / "direwolf.txt");

  port.CloseRs232();
  direwolf.Stop();
  fs::remove_all(work);
}

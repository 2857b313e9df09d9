#include "platform/io/serial_port.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/io/pseudo_terminal.h"
#include "platform/sys/child_process.h"

namespace {

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(i * 7 + i / 256);
  return bytes;
}

}  // namespace

TEST(SerialPortOpen, ReportsWhyAPortCannotBeUsed) {
  TSerialPort port;
  EXPECT_EQ(port.OpenDevice("/dev/no-such-serial-port", 9600, TSerialFlow::None),
            TSerialOpenResult::CannotOpen);
  EXPECT_EQ(port.OpenDevice("/dev/null", 9600, TSerialFlow::None), TSerialOpenResult::SetupFailed);
  TPseudoTerminal tnc;
  EXPECT_EQ(port.OpenDevice(tnc.DevicePath(), 12345, TSerialFlow::None),
            TSerialOpenResult::SettingsFailed);
  EXPECT_FALSE(port.IsOpen());
}

// The far end stays open throughout, as a software TNC's pseudo-terminal does: the use
// must end with our close, and with a kill of the program that had it, or the next open
// (the settings applied, the program started again) is refused. The terminal's own
// exclusive mark, which outlives both and refuses everyone but root, is never set.
TEST(SerialPortOpen, ASecondUserOfTheSameDeviceIsRefused) {
  TPseudoTerminal tnc;
  TSerialPort first, second;
  ASSERT_EQ(first.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::RtsCts), TSerialOpenResult::Ok);
  EXPECT_FALSE(tnc.MarkedExclusive());
  EXPECT_EQ(second.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None),
            TSerialOpenResult::CannotOpen);
  first.Close();
  ASSERT_EQ(first.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None), TSerialOpenResult::Ok);
  first.Close();
  EXPECT_EQ(second.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None), TSerialOpenResult::Ok);
  EXPECT_EQ(first.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None),
            TSerialOpenResult::CannotOpen);
  second.Close();
  TSerialPort fresh;
  EXPECT_EQ(fresh.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None), TSerialOpenResult::Ok);
  fresh.Close();
  ASSERT_TRUE(RunAndKillAfter(
      [&](const std::function<void()>& began) {
        TSerialPort killed;
        if (killed.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None) != TSerialOpenResult::Ok)
          return;
        began();  // one step, the open, begun and done: the kill comes at once
        began();
        for (;;) pause();
      },
      0));
  EXPECT_FALSE(tnc.MarkedExclusive());
  EXPECT_EQ(fresh.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None), TSerialOpenResult::Ok);
}

TEST(SerialPortOpen, ModemLinesOnAPseudoTerminalFailWithoutClosingThePort) {
  TPseudoTerminal tnc;
  TSerialPort port;
  ASSERT_EQ(port.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None), TSerialOpenResult::Ok);
  port.SetDtr(true);
  port.SetRts(true);
  EXPECT_TRUE(port.IsOpen());
}

TEST(SerialPortOpen, PortNumbersMapThroughTheUserTable) {
  const auto folder = std::filesystem::temp_directory_path() / "velmora-ports-test";
  std::filesystem::create_directories(folder / "Velmora");
  std::ofstream(folder / "Velmora" / "ports") << "COM1=/dev/ttyACM7\r\nCOM3=/dev/ttyUSB0\n";
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  EXPECT_EQ(TSerialPort::DevicePath(3), "/dev/ttyUSB0");
  EXPECT_EQ(TSerialPort::DevicePath(1), "/dev/ttyACM7");
  EXPECT_EQ(TSerialPort::DevicePath(13), "/dev/ttyS12");  // "COM1=" must not match COM13
  // A table that is no small regular file is no table, and asking never waits or reads
  // without end: a pipe nobody writes, a link to an endless device, a folder, a giant.
  const auto table = folder / "Velmora" / "ports";
  auto expect_defaults = [&](const char* what) {
    EXPECT_EQ(TSerialPort::DevicePath(3), "/dev/ttyS2") << what;
    std::filesystem::remove_all(table);
  };
  std::filesystem::remove(table);
  ASSERT_EQ(mkfifo(table.c_str(), 0600), 0);
  expect_defaults("fifo");
  std::filesystem::create_symlink("/dev/zero", table);
  expect_defaults("/dev/zero");
  std::filesystem::create_directory(table);
  expect_defaults("folder");
  std::ofstream(table) << "COM3=/dev/ttyUSB0\n" << std::string(1 << 20, '#') << "\n";
  expect_defaults("a megabyte");
  if (old)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  std::filesystem::remove_all(folder);
}

TEST(SerialPortTransfer, SixtyFourKibibytesPassUnchangedBothWays) {
  TPseudoTerminal tnc;
  TSerialPort port;
  ASSERT_EQ(port.OpenDevice(tnc.DevicePath(), 115200, TSerialFlow::None), TSerialOpenResult::Ok);
  const auto bytes = Pattern(64 * 1024);

  std::vector<std::uint8_t> heard;
  std::thread listener([&] { heard = tnc.Receive(bytes.size(), 10000); });
  EXPECT_TRUE(port.Write(bytes.data(), bytes.size(), 10000));
  listener.join();
  EXPECT_EQ(heard, bytes);

  std::thread talker([&] { tnc.Send(bytes); });
  std::vector<std::uint8_t> got;
  std::uint8_t buffer[2023];
  while (got.size() < bytes.size()) {
    const std::size_t n = port.Read(buffer, sizeof buffer, 2000);
    if (n == 0) break;
    got.insert(got.end(), buffer, buffer + n);
  }
  talker.join();
  EXPECT_EQ(got, bytes);
}

TEST(SerialPortWait, TimesOutCountsWaitingBytesAndSeesData) {
  TPseudoTerminal tnc;
  TSerialPort port;
  ASSERT_EQ(port.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None), TSerialOpenResult::Ok);
  EXPECT_EQ(port.WaitForData(100), TSerialWait::Timeout);
  tnc.Send(std::string("\xC0\x00hello\xC0", 8));
  EXPECT_EQ(port.WaitForData(1000), TSerialWait::DataReady);
  EXPECT_EQ(port.BytesWaiting(), 8);
  port.PurgeInput();
  EXPECT_EQ(port.BytesWaiting(), 0);
}

TEST(SerialPortWait, CloseWakesAWaitingReaderAtOnce) {
  TPseudoTerminal tnc;
  TSerialPort port;
  ASSERT_EQ(port.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None), TSerialOpenResult::Ok);
  TSerialWait result = TSerialWait::DataReady;
  std::thread reader([&] { result = port.WaitForData(60000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  port.Close();
  reader.join();  // would take a minute without the wake-up
  EXPECT_EQ(result, TSerialWait::Closed);
  EXPECT_EQ(port.BytesWaiting(), 0);
  std::uint8_t byte;
  EXPECT_EQ(port.Read(&byte, 1, 10), 0u);
}

TEST(SerialPortWait, AnUnpluggedDeviceEndsTheWaitWithAFailure) {
  TSerialPort port;
  {
    TPseudoTerminal tnc;
    ASSERT_EQ(port.OpenDevice(tnc.DevicePath(), 9600, TSerialFlow::None), TSerialOpenResult::Ok);
  }
  EXPECT_EQ(port.WaitForData(1000), TSerialWait::Failed);
}

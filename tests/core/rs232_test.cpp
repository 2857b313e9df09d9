#include "core/rs232.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/io/pseudo_terminal.h"
#include "platform/sys/application.h"
#include "platform/sys/pump.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

TEST(Rs232, APortThatCannotBeUsedGivesItsTextAndStaysClosed) {
  TRs232 tnc({});
  std::string error;
  EXPECT_FALSE(tnc.OpenRs232Device("/dev/no-such-port", 9600, TSerialFlow::None, error));
  EXPECT_EQ(error, kRs232OpenFailed);
  error.clear();
  EXPECT_FALSE(tnc.OpenRs232Device("/dev/null", 9600, TSerialFlow::None, error));
  EXPECT_EQ(error, kRs232SetupFailed);
  TPseudoTerminal device;
  error.clear();
  EXPECT_FALSE(tnc.OpenRs232Device(device.DevicePath(), 1234, TSerialFlow::None, error));
  EXPECT_EQ(error, kRs232DcbFailed);
  EXPECT_EQ(tnc.Rs232Open(), 0);
  tnc.CloseRs232();  // closing a closed port does nothing
}

TEST(Rs232, ReceivedBytesAreHandedOverOnTheGuiThread) {
  TPseudoTerminal device;
  TRs232 tnc({.RaiseDtr = true});
  std::string error;
  ASSERT_TRUE(tnc.OpenRs232Device(device.DevicePath(), 9600, TSerialFlow::None, error)) << error;
  EXPECT_TRUE(error.empty());

  const auto gui = std::this_thread::get_id();
  std::string received;
  bool onGuiThread = true;
  tnc.OnReceive = [&] {
    onGuiThread = onGuiThread && std::this_thread::get_id() == gui;
    uint8_t buffer[TRs232::kRs232MaxRead + 1];
    unsigned read = 0;
    if (tnc.ReadRs232(buffer, unsigned(tnc.Rs232BytesAvailable()), read)) {
      received.append(reinterpret_cast<char*>(buffer), read);
    }
  };
  device.Send("cmd:");
  EXPECT_TRUE(PumpUntil([&] { return received == "cmd:"; }));
  EXPECT_TRUE(onGuiThread);
  tnc.CloseRs232();
}

TEST(Rs232, ReadsAtMost2023BytesAndWritesLastIndexPlusOne) {
  TPseudoTerminal device;
  TRs232 tnc({});
  std::string error;
  ASSERT_TRUE(tnc.OpenRs232Device(device.DevicePath(), 9600, TSerialFlow::None, error));
  tnc.OnReceive = [] {};  // leave the bytes waiting for the direct read below
  device.Send(std::string(5000, 'x'));
  PumpUntil([&] { return tnc.Rs232BytesAvailable() >= 5000; });
  std::vector<uint8_t> buffer(5000);
  unsigned read = 0;
  EXPECT_TRUE(tnc.ReadRs232(buffer.data(), 5000, read));
  EXPECT_LE(read, TRs232::kRs232MaxRead);
  EXPECT_GT(read, 0u);

  const uint8_t frame[] = {0xC0, 0xFF, 0xC0};
  EXPECT_TRUE(tnc.WriteRs232Buf(frame, 0));
  EXPECT_EQ(device.Receive(3, 300), std::vector<uint8_t>{0xC0});
  tnc.CloseRs232();
}

TEST(Rs232, CloseJoinsTheReaderPromptly) {
  TPseudoTerminal device;
  TRs232 tnc({});
  std::string error;
  ASSERT_TRUE(tnc.OpenRs232Device(device.DevicePath(), 9600, TSerialFlow::None, error));
  const auto start = Clock::now();
  tnc.CloseRs232();
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(tnc.Rs232Open(), 0);
  // The device is free again for the next open.
  ASSERT_TRUE(tnc.OpenRs232Device(device.DevicePath(), 9600, TSerialFlow::None, error));
  tnc.CloseRs232();
}

TEST(Rs232, UnpluggingTheDeviceEndsTheReaderAndIsReported) {
  TRs232 tnc({});
  bool lost = false;
  tnc.OnDeviceLost = [&] { lost = true; };
  {
    TPseudoTerminal device;
    std::string error;
    ASSERT_TRUE(tnc.OpenRs232Device(device.DevicePath(), 9600, TSerialFlow::None, error));
  }
  EXPECT_TRUE(PumpUntil([&] { return lost; }));
  EXPECT_EQ(tnc.Rs232Open(), 0);
}

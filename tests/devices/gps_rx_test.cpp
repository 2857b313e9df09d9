#include "devices/gps_rx.h"

#include <gtest/gtest.h>

#include <deque>
#include <thread>

#include "devices/nmea_test_support.h"
#include "platform/io/pseudo_terminal.h"
#include "platform/sys/pump.h"
#include "platform/sys/timer.h"

namespace {

struct TGpsEvents {
  explicit TGpsEvents(TGpsRx& Rx) {
    Rx.OnGpsActivate = [this](TComponent*) { Events.push_back("activate"); };
    Rx.OnGpsDeactivate = [this](TComponent*) { Events.push_back("deactivate"); };
    Rx.OnGpsTimeOut = [this](TComponent*) { Events.push_back("timeout"); };
    Rx.OnGpsLost = [this](TComponent*) { Events.push_back("lost"); };
    Rx.SetOnDataError([this](TComponent*) { ++Errors; });
    Rx.SetOnNewDataOk([this](TComponent*, const std::string& Msg) {
      ++Ok;
      LastOk = Msg;
      OnGuiThread = OnGuiThread && std::this_thread::get_id() == gui;
    });
    Rx.SetOnNewData([this](TComponent*, const std::string&) { ++Lines; });
  }
  std::vector<std::string> Events;
  int Errors = 0;
  int Ok = 0;
  int Lines = 0;
  std::string LastOk;
  bool OnGuiThread = true;
  std::thread::id gui = std::this_thread::get_id();
};

}  // namespace

TEST(GpsRx, ReceivesAFixOverTheSerialPortAtItsPace) {
  TPseudoTerminal receiver;
  TGpsRx rx;
  TGpsEvents events(rx);
  rx.Device = receiver.DevicePath();
  rx.SetRun(true);
  ASSERT_TRUE(rx.Run());
  EXPECT_TRUE(rx.TimerEnabled());
  EXPECT_EQ(events.Events, std::vector<std::string>{"activate"});

  const auto lines = LogLines("nmea_fix.log");
  // A second of the receiver's output in pieces, as 4800 baud delivers it.
  for (const std::string& line : lines) {
    const std::string text = line + "\r\n";
    receiver.Send(text.substr(0, 20));
    PumpFor(2);
    receiver.Send(text.substr(20));
  }
  // Noise on the line: a bad checksum, an overlong line, a line without its end.
  std::string bad = lines[0];
  bad.back() = bad.back() == '0' ? '1' : '0';
  receiver.Send(bad + "\r\n" + Nmea("GPVTG," + std::string(80, '1')) + "\r\n");
  EXPECT_TRUE(PumpUntil([&] { return events.Lines == int(lines.size()) + 2; }));
  EXPECT_EQ(events.Ok, int(lines.size()));
  EXPECT_EQ(events.Errors, 2);
  EXPECT_TRUE(events.OnGuiThread);

  TGpsRMC rmc;
  rx.GetRMC(rmc);
  EXPECT_TRUE(rmc.Valid);
  EXPECT_TRUE(rmc.Active);
  EXPECT_EQ(rmc.Lat, "4807.049");
  TGpsGSV gsv;
  rx.GetGSV(gsv);
  EXPECT_EQ(gsv.InView, 11);

  rx.SetRun(false);
  EXPECT_FALSE(rx.Run());
  EXPECT_FALSE(rx.TimerEnabled());
  EXPECT_EQ(events.Events, (std::vector<std::string>{"activate", "deactivate"}));
  // The records keep their last values, marked stale.
  rx.GetRMC(rmc);
  EXPECT_FALSE(rmc.Valid);
  EXPECT_EQ(rmc.Lat, "4807.049");
  TGpsGGA gga;
  rx.GetGGA(gga);
  EXPECT_FALSE(gga.Valid);
  EXPECT_EQ(gga.Sats, 8);
}

TEST(GpsRx, APortThatCannotBeOpenedLeavesTheReceiverStopped) {
  TGpsRx rx;
  TGpsEvents events(rx);
  rx.Device = "/dev/no-such-gps";
  rx.SetRun(true);
  EXPECT_FALSE(rx.Run());
  EXPECT_FALSE(rx.TimerEnabled());
  EXPECT_TRUE(events.Events.empty());
}

TEST(GpsRx, SilenceTimesOutAtTheThirdTickAndEveryTickAfter) {
  TGpsRx rx;
  TGpsEvents events(rx);
  rx.FeedText(Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W") + "\r\n");
  rx.TimeOutTick();
  rx.TimeOutTick();
  EXPECT_TRUE(events.Events.empty());
  // Empty lines are no sign of life.
  rx.FeedText("\r\n\r\n");
  rx.TimeOutTick();
  EXPECT_EQ(events.Events, std::vector<std::string>{"timeout"});
  TGpsRMC rmc;
  rx.GetRMC(rmc);
  EXPECT_FALSE(rmc.Valid);
  EXPECT_EQ(rmc.Lat, "4807.038");
  rx.TimeOutTick();
  EXPECT_EQ(events.Events.size(), 2u);

  // A receiver sending only garbage is alive: every line resets the count.
  events.Events.clear();
  for (int tick = 0; tick < 10; ++tick) {
    rx.FeedText("garbage\r\n");
    rx.TimeOutTick();
  }
  EXPECT_TRUE(events.Events.empty());
  EXPECT_EQ(events.Errors, 10);
}

TEST(GpsRx, AnUnpluggedReceiverStops) {
  auto receiver = std::make_unique<TPseudoTerminal>();
  TGpsRx rx;
  TGpsEvents events(rx);
  rx.Device = receiver->DevicePath();
  rx.SetRun(true);
  ASSERT_TRUE(rx.Run());
  receiver->HangUp();
  EXPECT_TRUE(PumpUntil([&] { return !rx.Run(); }));
  EXPECT_EQ(events.Events, (std::vector<std::string>{"activate", "deactivate", "lost"}));
  EXPECT_FALSE(rx.TimerEnabled());
}

// Closing the port waits a second with window messages flowing, so clicks on the GPS
// button reach the receiver while it stops. Each row's first click is made at once, the
// others one a millisecond as the event loop runs: inside that wait where there is one. When all
// is over, the receiver is as last asked, and its port, its timer and the last event
// with it.
TEST(GpsRx, ClicksWhileThePortClosesEndAsLastAsked) {
  TPseudoTerminal receiver;
  TGpsRx rx;
  TGpsEvents events(rx);
  rx.Device = receiver.DevicePath();
  // The port as another program finds it: in use while the receiver holds it.
  auto portFree = [&] {
    TRs232 probe({});
    std::string error;
    return probe.OpenRs232Device(receiver.DevicePath(), 4800, TSerialFlow::None, error);
  };
  const std::string rmc =
      Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W") + "\r\n";
  const std::vector<std::vector<bool>> rows = {
      {true}, {false, true}, {true, false}, {false, true, false}};
  for (const std::vector<bool>& clicks : rows) {
    std::deque<bool> later(clicks.begin() + 1, clicks.end());
    TTimer clicker;
    clicker.SetInterval(1);
    clicker.OnTimer = [&](TComponent*) {
      if (later.empty()) return clicker.SetEnabled(false);
      const bool run = later.front();
      later.pop_front();
      rx.SetRun(run);
    };
    rx.SetRun(clicks.front());
    ASSERT_TRUE(PumpUntil([&] { return !clicker.Enabled(); }));
    const bool asked = clicks.back();
    const std::string row = ::testing::PrintToString(clicks);
    EXPECT_EQ(rx.Run(), asked) << row;
    EXPECT_EQ(rx.TimerEnabled(), asked) << row;
    EXPECT_EQ(events.Events.back(), asked ? "activate" : "deactivate") << row;
    EXPECT_EQ(portFree(), !asked) << row;
    if (asked) {
      const int ok = events.Ok;
      receiver.Send(rmc);
      EXPECT_TRUE(PumpUntil([&] { return events.Ok > ok; })) << row;
    }
  }
}

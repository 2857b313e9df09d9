#include "core/tnc_control.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "platform/io/pseudo_terminal.h"
#include "platform/sys/pump.h"
#include "platform/sys/timer.h"
#include "support/kiss_link_double.h"

namespace {

// The TNC on COM1 is a pseudo-terminal; every wait of a sequence is recorded with the
// bytes the TNC had received before it, which gives the sequence's transcript. The
// test is the control's views.
class TncControlTest : public ::testing::Test, public TTncViews {
 protected:
  void SetUp() override {
    // ctest runs the cases as parallel processes: each needs a folder of its own.
    folder_ = std::filesystem::temp_directory_path() /
              ("velmora-tnc-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_ / "Velmora");
    std::ofstream(folder_ / "Velmora" / "ports") << "COM1=" << tnc_.DevicePath() << "\n";
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);

    control_.SetViews(this);
    control_.Schedule = [this](unsigned ms, std::function<void()> next) {
      // The program has one timer for the waits: a second one would be lost.
      EXPECT_TRUE(pending_.empty()) << "a wait of " << ms << " ms while another runs";
      Heard();
      transcript_.push_back("wait " + std::to_string(ms));
      pending_.push_back(std::move(next));
    };
    link_.SetViews(&link_views_);
    link_views_.OnLogText = [this](const std::string& text, TLinkTraffic traffic) {
      monitor_.push_back(std::to_string(static_cast<int>(traffic)) + ":" + text);
    };
  }
  unsigned BaudRate() const override { return baud_; }
  void SelectFirstBaud() override { baud_ = 9600; }
  std::vector<std::string> InitLines() const override { return {"INIT A ; comment", ";skip"}; }
  std::vector<std::string> ExitLines() const override { return {"EXIT B"}; }
  void SetStatusText(const std::string& s) override { status_ = s; }
  void ShowError(const std::string& s) override { errors_.push_back(s); }

  void TearDown() override {
    port_.CloseRs232();
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(folder_);
  }

  // Runs the sequence to its end, as the timers would.
  void RunToEnd() {
    while (!pending_.empty()) {
      auto next = std::move(pending_.front());
      pending_.pop_front();
      next();
    }
    Heard();
  }
  // What the TNC received: the port's writer has handed it every queued write first.
  void Heard() {
    for (int waited = 0; port_.PendingWrites() > 0 && waited < 5000; ++waited)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto bytes = tnc_.Receive(4096, 50);
    if (!bytes.empty()) transcript_.push_back(Printable(bytes));
  }
  static std::string Printable(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (uint8_t b : bytes) {
      if (b == 0x1B)
        text += "<ESC>";
      else if (b == 0x0D)
        text += "<CR>";
      else if (b < 0x20 || b >= 0x7F)
        text += "<" + std::to_string(b) + ">";
      else
        text += char(b);
    }
    return text;
  }

  std::filesystem::path folder_;
  TPseudoTerminal tnc_;
  // The port settles after a close, with window messages flowing, as the program's does.
  TRs232 port_{{.RaiseDtr = true, .CloseWaitMs = 20}};
  TKissLinkDouble link_views_;
  TKissLink link_;
  TTncControl control_{port_, link_};
  unsigned baud_ = 38400;
  std::string status_;
  std::vector<std::string> errors_, transcript_, monitor_;
  std::deque<std::function<void()>> pending_;
};

using Transcript = std::vector<std::string>;

}  // namespace

TEST(TncCommandLines, SkipCommentsAndBlankLinesAndCutTrailingComments) {
  EXPECT_EQ(TTncControl::TncCommandLines({"KISS ON ; to kiss", ";all comment", "   ", ""}, false),
            std::vector<std::string>{"KISS ON\r"});
  EXPECT_EQ(TTncControl::TncCommandLines({" MYCALL N0CALL "}, true),
            std::vector<std::string>{"\x1BMYCALL N0CALL\r"});
  // A command file holding a NUL (or a line break the memo kept): the command ends there.
  EXPECT_EQ(TTncControl::TncCommandLines({std::string("D \0F", 4), "E\rF"}, false),
            (std::vector<std::string>{"D\r", "E\r"}));
}

TEST_F(TncControlTest, KenwoodTmD700ConnectAndDisconnect) {
  ASSERT_TRUE(control_.KissConnect(1));
  EXPECT_EQ(status_, "connecting device");
  RunToEnd();
  EXPECT_EQ(transcript_, (Transcript{"wait 250", "<CR>", "wait 500", "<CR>", "wait 500",
                                     "ECHO OFF<CR>SOFTDCD ON<CR>HBAUD 1200<CR>M OFF<CR>"
                                     "INIT A<CR>",
                                     "wait 500", "KISS ON<CR>RESTART<CR>", "wait 500"}));
  EXPECT_EQ(status_, "TM-D700/TS-2000");
  EXPECT_EQ(link_.KissActive, 1);
  EXPECT_EQ(link_.KissDeviceType, 1);
  EXPECT_FALSE(control_.Busy());

  transcript_.clear();
  control_.KissDisconnect();
  EXPECT_EQ(status_, "device disconnected");
  RunToEnd();
  EXPECT_EQ(transcript_, (Transcript{"wait 1000", "<192><255><192>", "wait 1000", "EXIT B<CR>",
                                     "wait 500", "wait 1000", "wait 1000"}));
  EXPECT_EQ(monitor_,
            Transcript{std::to_string(static_cast<int>(TLinkTraffic::TxHeaderPort1)) + ":\r\n"});
  EXPECT_EQ(link_.KissActive, 0);
  EXPECT_EQ(port_.Rs232Open(), 0);
}

TEST_F(TncControlTest, ThD7ConnectsAt9600WithoutTheDoubleReturn) {
  ASSERT_TRUE(control_.KissConnect(2));
  RunToEnd();
  EXPECT_EQ(baud_, 9600u);
  EXPECT_EQ(status_, "TH-D7");
  EXPECT_EQ(transcript_, (Transcript{"wait 250",
                                     "ECHO OFF<CR>SOFTDCD ON<CR>HBAUD 1200<CR>M OFF<CR>"
                                     "INIT A<CR>",
                                     "wait 500", "KISS ON<CR>RESTART<CR>", "wait 500"}));
}

TEST_F(TncControlTest, PtcConnectAndDisconnect) {
  ASSERT_TRUE(control_.KissConnect(4));
  RunToEnd();
  EXPECT_EQ(status_, "PTC-II");
  EXPECT_EQ(transcript_,
            (Transcript{"wait 250", "<ESC><ESC><ESC>", "wait 1000",
                        "<ESC><CR><ESC><CR><ESC><CR><ESC>Q<CR><ESC>PT<CR>", "wait 1000",
                        "<ESC>INIT A<CR>", "wait 500", "<ESC>PAC<CR><ESC>KISS<CR>", "wait 500"}));
  transcript_.clear();
  control_.KissDisconnect();
  RunToEnd();
  EXPECT_EQ(transcript_,
            (Transcript{"wait 1000", "<192><255><192>", "wait 1000", "<ESC><CR><ESC>Q<CR>",
                        "wait 500", "<ESC>EXIT B<CR>", "wait 500", "<ESC><CR>", "wait 1000"}));
}

TEST_F(TncControlTest, TncWithoutFlowSendsTheExitFrameButNoUserLines) {
  ASSERT_TRUE(control_.KissConnect(7));
  RunToEnd();
  EXPECT_EQ(status_, "TNC");
  EXPECT_EQ(transcript_, (Transcript{"wait 250", "<ESC><CR><ESC><CR><ESC><CR><ESC>INIT A<CR>",
                                     "wait 500", "<ESC>@K<CR>", "wait 500"}));
  transcript_.clear();
  control_.KissDisconnect();
  RunToEnd();
  EXPECT_EQ(transcript_, (Transcript{"wait 1000", "<192><255><192>", "wait 1000", "wait 1000"}));
}

TEST_F(TncControlTest, KambrioHasItsOwnStatus) {
  control_.KissConnect(9);
  RunToEnd();
  EXPECT_EQ(status_, "Kambrio");
}

TEST_F(TncControlTest, AFailedOpenEndsTheSequenceWithKissModeOff) {
  std::ofstream(folder_ / "Velmora" / "ports") << "COM1=/dev/no-such-tnc\n";
  ASSERT_TRUE(control_.KissConnect(6));
  RunToEnd();
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], std::string("TNC-KISS (FLOW ON):") + kRs232OpenFailed);
  EXPECT_EQ(link_.KissActive, 0);
  EXPECT_EQ(status_, "device disconnected");
  EXPECT_EQ(transcript_, Transcript{"wait 250"});
}

// A TNC that takes nothing (a pseudo-terminal nobody reads): sending never waits, the
// oldest writes make room for the newest, and the status says how many were dropped.
TEST_F(TncControlTest, ATncThatTakesNothingCostsTheSenderNothingAndIsReported) {
  std::string error;
  ASSERT_TRUE(port_.OpenRs232Device(tnc_.DevicePath(), 9600, TSerialFlow::None, error)) << error;
  const std::string frame(300, 'x');
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(port_.WriteRs232(frame)) << i;
  const size_t dropped = port_.DroppedWrites();
  ASSERT_GT(dropped, 0u);
  EXPECT_LE(port_.PendingWrites(), TRs232::kWriteQueueCapacity + 1);
  EXPECT_EQ(status_, "device not reading, " + std::to_string(dropped) + " writes dropped");
  // Closing ends the writer's wait for the TNC and drops what still waits.
  port_.CloseRs232();
  EXPECT_EQ(port_.PendingWrites(), 0u);
  EXPECT_FALSE(port_.WriteRs232(frame));
}

// A sequence asked for while one runs waits for it, and decides what to do when it
// starts: the disconnect queued behind a connect finds KISS mode on, the connect queued
// behind that disconnect opens the port again and ends in KISS mode.
TEST_F(TncControlTest, SequencesAskedForMeanwhileRunInTurn) {
  ASSERT_TRUE(control_.KissConnect(7));
  control_.KissDisconnect();
  ASSERT_TRUE(control_.KissConnect(7));
  EXPECT_TRUE(control_.Busy());
  RunToEnd();
  EXPECT_EQ(transcript_,
            (Transcript{"wait 250", "<ESC><CR><ESC><CR><ESC><CR><ESC>INIT A<CR>", "wait 500",
                        "<ESC>@K<CR>", "wait 500", "wait 1000", "<192><255><192>", "wait 1000",
                        "wait 1000", "wait 250", "<ESC><CR><ESC><CR><ESC><CR><ESC>INIT A<CR>",
                        "wait 500", "<ESC>@K<CR>", "wait 500"}));
  EXPECT_EQ(status_, "TNC");
  EXPECT_EQ(link_.KissActive, 1);
  EXPECT_NE(port_.Rs232Open(), 0);
  EXPECT_FALSE(control_.Busy());
}

// A connect clicked while the disconnect's close waits for the port to settle runs
// after the disconnect, in its own time: the TNC ends in KISS mode on an open port.
TEST_F(TncControlTest, AConnectClickedWhileThePortClosesFollowsTheDisconnect) {
  ASSERT_TRUE(control_.KissConnect(7));
  RunToEnd();
  transcript_.clear();
  control_.KissDisconnect();
  // Nothing but the close's wait runs the event loop: there the click comes.
  TTimer click;
  click.SetInterval(1);
  click.OnTimer = [&](TComponent*) {
    click.SetEnabled(false);
    control_.KissConnect(7);
  };
  RunToEnd();
  EXPECT_FALSE(click.Enabled());
  EXPECT_EQ(transcript_, (Transcript{"wait 1000", "<192><255><192>", "wait 1000", "wait 1000",
                                     "wait 250", "<ESC><CR><ESC><CR><ESC><CR><ESC>INIT A<CR>",
                                     "wait 500", "<ESC>@K<CR>", "wait 500"}));
  EXPECT_EQ(link_.KissActive, 1);
  EXPECT_NE(port_.Rs232Open(), 0);
  EXPECT_FALSE(control_.Busy());
}

TEST_F(TncControlTest, DisconnectWithoutConnectOnlySetsTheStatus) {
  control_.KissDisconnect();
  EXPECT_EQ(status_, "device disconnected");
  EXPECT_TRUE(pending_.empty());
  EXPECT_FALSE(control_.KissConnect(0));
}

// An unplugged TNC is reported like an unplugged GPS receiver: the status says so,
// the user is told, the link leaves KISS mode and the windows hear of it.
TEST(TncDeviceLost, UnpluggingTheTncIsReported) {
  TRs232 port({});
  TKissLink link;
  TTncControl control(port, link);
  struct TViews : TTncViews {
    int PortNumber() const override { return 3; }
    void SetStatusText(const std::string& s) override { status = s; }
    void ShowError(const std::string& s) override { errors.push_back(s); }
    void DeviceLost() override { windows_told = true; }
    std::string status;
    std::vector<std::string> errors;
    bool windows_told = false;
  } views;
  control.SetViews(&views);
  {
    TPseudoTerminal device;
    std::string error;
    ASSERT_TRUE(port.OpenRs232Device(device.DevicePath(), 9600, TSerialFlow::None, error));
    link.KissActive = 1;
  }
  ASSERT_TRUE(PumpUntil([&] { return views.windows_told; }));
  EXPECT_EQ(views.status, kTncStatusLost);
  EXPECT_EQ(views.errors, std::vector<std::string>{"TNC: the device on COM3 is gone (unplugged?)"});
  EXPECT_EQ(link.KissActive, 0);
  EXPECT_FALSE(control.Busy());
  EXPECT_EQ(port.Rs232Open(), 0);
}

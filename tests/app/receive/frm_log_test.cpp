// The packet log window: its three states, flushing on its own clock, playback through
// its timer with the progress display, and the filter keys.
#include "app/receive/frm_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/language/frm_prg_msg.h"
#include "app/my_msg_boxes.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/gui/standard/open_dialog.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

namespace {

namespace fs = std::filesystem;

class LogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmora-frmlog-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    log.AnalysePacket = [this](const TReceivedPacket& p) {
      played.push_back(p.Header + "|" + p.Data);
    };
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
  std::vector<std::string> played;
  TfrmLog log{nullptr};
};

// The bytes this process has read so far, from files and pipes alike.
int64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  for (std::string key; io >> key;) {
    int64_t value = 0;
    io >> value;
    if (key == "rchar:") return value;
  }
  return 0;
}

}  // namespace

TEST_F(LogWindowTest, RecordingFlushesEveryTwentySecondsOfItsOwnTimer) {
  EXPECT_FALSE(log.mbtnStop->Enabled());
  log.StartRecording(File("r.log"), false);
  EXPECT_TRUE(log.Recording());
  EXPECT_TRUE(log.mbtnStop->Enabled());
  EXPECT_FALSE(log.mbtnPlay->Enabled());
  EXPECT_TRUE(log.mbtnRecord->Down());
  EXPECT_TRUE(log.timFlush->Enabled());
  log.AddLogLine("070601143005:A>APRS:>1");
  for (int i = 0; i < 19; ++i) log.timFlush->OnTimer(log.timFlush);
  EXPECT_FALSE(fs::exists(File("r.log")));
  log.timFlush->OnTimer(log.timFlush);
  EXPECT_TRUE(fs::exists(File("r.log")));
  // Play is ignored while recording: no file chooser opens.
  const std::string other = File("other.log");
  { std::ofstream(other) << "070601140000:A>APRS:>1\r\n"; }
  AnswerNextOpenDialog(true, other);
  log.mbtnPlayClick(log.mbtnPlay);
  EXPECT_FALSE(log.Player.Playing());
  log.mbtnStopClick(log.mbtnStop);
  EXPECT_FALSE(log.Recording());
  EXPECT_FALSE(log.mbtnStop->Enabled());
  EXPECT_TRUE(log.mbtnPlay->Enabled());
  EXPECT_FALSE(log.timFlush->Enabled());
  // Now Play asks (taking the answer the ignored click left) and plays.
  log.mbtnPlayClick(log.mbtnPlay);
  EXPECT_TRUE(log.Player.Playing());
  EXPECT_FALSE(log.mbtnRecord->Enabled());
  log.mbtnStopClick(log.mbtnStop);
  EXPECT_FALSE(log.Player.Playing());
}

// A log folder taken away: the box that tells of it opens once the flush has returned,
// in a turn of the message loop of its own, once for the outage. While it stands
// unanswered the flushes go on, and once the folder is back the lines heard since are in
// the file. Lines lost meanwhile (more than the waiting room holds while the folder is
// gone, twice) are told in one box after it.
TEST_F(LogWindowTest, AWriteErrorBoxTellsButHoldsNoFlush) {
  TfrmPrgMsg texts(nullptr);
  const fs::path folder = dir_ / "logs";
  fs::create_directories(folder);
  const std::string file = (folder / "r.log").string();
  log.StartRecording(file, false);
  int errors = 0;
  const auto tell = log.Recorder.OnWriteError;
  log.Recorder.OnWriteError = [&](const std::string& Error) {
    ++errors;
    tell(Error);
  };
  bool in_flush = false;
  const auto flush = [&] {
    in_flush = true;
    for (int i = 0; i < kFlushTicks; ++i) log.timFlush->OnTimer(log.timFlush);
    in_flush = false;
  };
  log.AddLogLine("070601143005:A>APRS:>1");
  flush();
  fs::remove_all(folder);
  log.AddLogLine("070601143006:A>APRS:>2");
  const std::string filler(200, 'x');
  int lost = 0;
  int added = 1;
  const auto overflow = [&] {
    const int before = log.Recorder.LostCount();
    for (int n = 0; log.Recorder.LostCount() - before < 10; ++n, ++added)
      log.AddLogLine("070601143008:B>APRS:>" + std::to_string(added) + filler);
    lost += log.Recorder.LostCount() - before;
  };

  // Inside the first box: the outage goes on for another flush, then the folder is back.
  bool box_in_flush = false;
  std::vector<std::string> boxes;
  std::string written_meanwhile;
  int patience = 5000;
  auto answer = std::make_shared<std::function<void()>>();
  std::weak_ptr<std::function<void()>> self = answer;
  *answer = [&, self] {
    TfrmMyMsgDialog* box = OpenMyMsgBox();
    if (!box) {
      if (--patience > 0) QueueCall([me = self.lock()] { (*me)(); });
      return;
    }
    boxes.push_back(box->Text());
    if (boxes.size() == 1) {
      box_in_flush = in_flush;
      flush();
      for (int round = 0; round < 2; ++round) {
        overflow();
        flush();
      }
      fs::create_directories(folder);
      log.AddLogLine("070601143007:A>APRS:>3");
      ++added;
      flush();
      std::ifstream in(file, std::ios::binary);
      written_meanwhile.assign(std::istreambuf_iterator<char>(in), {});
    }
    box->SetModalResult(mrOk);
    patience = boxes.size() < 2 ? 5000 : 0;
    if (patience > 0) QueueCall([me = self.lock()] { (*me)(); });
  };
  QueueCall([answer] { (*answer)(); });
  flush();
  EXPECT_EQ(errors, 1);
  while (patience > 0) Application->ProcessMessages();
  EXPECT_FALSE(box_in_flush);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find("r.log"), std::string::npos) << boxes[0];
  // The second tells of the lost lines, all of them.
  EXPECT_NE(boxes[1].find(std::to_string(lost) + " "), std::string::npos) << boxes[1];
  // The lines heard meanwhile are in the file or told as lost, the newest kept.
  EXPECT_EQ(std::count(written_meanwhile.begin(), written_meanwhile.end(), '\n') + lost, added);
  EXPECT_TRUE(written_meanwhile.ends_with("\r\n070601143007:A>APRS:>3\r\n"));
  EXPECT_EQ(errors, 1);
  EXPECT_TRUE(log.Recorder.WriteError().empty());
  // Nothing more waits to be told.
  EXPECT_FALSE(log.timReport->Enabled());
  log.StopRecording();
}

TEST_F(LogWindowTest, RecordButtonAsksForTheFileAndStartsANewLog) {
  // A name the code page cannot hold is the file chosen, byte for byte.
  const std::string file = File("\xCE\xB1\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xBF.log");
  AnswerNextOpenDialog(true, file);
  log.mbtnRecordClick(log.mbtnRecord);
  EXPECT_TRUE(log.Recording());
  EXPECT_EQ(log.Recorder.LogFileName(), file);
  log.StopRecording();
  EXPECT_TRUE(fs::exists(file));
}

TEST_F(LogWindowTest, PlaybackRunsOnItsTimerAndShowsItsProgress) {
  {
    std::ofstream out(File("p.log"), std::ios::binary);
    out << "070601140000:A>APRS:>1\r\n070601140130:B>APRS:>2\r\n070601140300:C>APRS:>3\r\n";
  }
  ASSERT_TRUE(log.StartPlayback(File("p.log")));
  EXPECT_TRUE(log.timPlayBack->Enabled());
  EXPECT_FALSE(log.mbtnRecord->Enabled());
  EXPECT_TRUE(log.mbtnPlay->Down());
  EXPECT_EQ(log.lblGo->Caption(), FormatDateTime("dddd dd mmm yyyy - hh:nn:ss",
                                                 EncodeDate(2007, 6, 1) + EncodeTime(14, 0, 0, 0)));
  EXPECT_EQ(log.lblEnd->Caption().substr(log.lblEnd->Caption().size() - 8), "14:03:00");
  log.timPlayBack->OnTimer(log.timPlayBack);
  EXPECT_EQ(played.size(), 1u);
  // One line of three played: the bar stands a third of the way.
  EXPECT_NEAR(log.mpbPos->Position(), log.mpbPos->Max() / 3, 1);
  EXPECT_EQ(log.lblNow->Caption().substr(log.lblNow->Caption().size() - 8), "14:01:00");
  for (int i = 0; i < 5 && log.Player.Playing(); ++i) log.timPlayBack->OnTimer(log.timPlayBack);
  EXPECT_EQ(played, (std::vector<std::string>{"fm A to APRS ctl UI pid F0|>1",
                                              "fm B to APRS ctl UI pid F0|>2",
                                              "fm C to APRS ctl UI pid F0|>3"}));
  EXPECT_FALSE(log.Player.Playing());
  // Played to its end, the bar stands full, in a colour of its own: a full bar in the
  // trough's colour looked like an empty one.
  EXPECT_EQ(log.mpbPos->Position(), log.mpbPos->Max());
  EXPECT_NE(log.mpbPos->ColorFillBar(), log.mpbPos->ColorFillBack());
  EXPECT_NE(log.mpbPos->ColorFillBar2(), log.mpbPos->ColorFillBack2());
  EXPECT_FALSE(log.timPlayBack->Enabled());
  EXPECT_FALSE(log.mbtnStop->Enabled());
  EXPECT_TRUE(log.mbtnRecord->Enabled());
  EXPECT_FALSE(log.StartPlayback(File("missing.log")));
}

// A log whose clock was set back plays through the window to its last line, and the
// window shows the log's own first and last stamps.
TEST_F(LogWindowTest, ALogWhoseClockStepsBackPlaysToItsEnd) {
  {
    std::ofstream out(File("back.log"), std::ios::binary);
    for (const char* stamp : {"100000", "100500", "090000", "090100", "090200"})
      out << "070601" << stamp << ":S" << stamp << ">APRS:>x\r\n";
  }
  ASSERT_TRUE(log.StartPlayback(File("back.log")));
  const auto time_of = [](TLabel* label) {
    return label->Caption().substr(label->Caption().size() - 8);
  };
  EXPECT_EQ(time_of(log.lblGo), "10:00:00");
  EXPECT_EQ(time_of(log.lblEnd), "09:02:00");
  for (int i = 0; i < 20 && log.Player.Playing(); ++i) log.timPlayBack->OnTimer(log.timPlayBack);
  EXPECT_EQ(played.size(), 5u);
  EXPECT_FALSE(log.Player.Playing());
  EXPECT_EQ(time_of(log.lblNow), "09:02:00");
  EXPECT_EQ(log.mpbPos->Position(), log.mpbPos->Max());

  // A second holding more lines than one tick hands over: the rest follows at once.
  {
    std::ofstream out(File("busy.log"), std::ios::binary);
    for (int i = 0; i < TPacketPlayer::kMaxLinesPerTick + 50; ++i)
      out << "070601100000:N" << i << ">APRS:>x\r\n";
  }
  played.clear();
  ASSERT_TRUE(log.StartPlayback(File("busy.log")));
  log.timPlayBack->OnTimer(log.timPlayBack);
  EXPECT_EQ(played.size(), size_t(TPacketPlayer::kMaxLinesPerTick));
  EXPECT_LT(log.timPlayBack->Interval(), 1000u);
  log.timPlayBack->OnTimer(log.timPlayBack);
  EXPECT_EQ(played.size(), size_t(TPacketPlayer::kMaxLinesPerTick + 50));
  EXPECT_FALSE(log.Player.Playing());
}

TEST_F(LogWindowTest, FilterTakesCallsignCharactersInUpperCase) {
  std::string typed;
  for (char c : std::string("dl1abc-9, n0call!; x")) {
    char key = c;
    log.memFilterKeyPress(log.memFilter, key);
    if (key) typed += key;
  }
  EXPECT_EQ(typed, "DL1ABC-9,N0CALLX");
  // Typed in another script, the filter takes what a call holds, never a '?'.
  SimulateUnicodeKey(*log.memFilter, 0, u"\u0414\u041B1dl2x,");
  EXPECT_EQ(log.FilterText(), "1DL2X,");
  // Select all and paste from the keyboard: the calls as typed, the rest refused.
  SimulateKey(*log.memFilter, TKeyCode('A'), "\x01", ssCtrl);
  Clipboard().SetAsBytes(CF_TEXT, "dl1abc, db0xyz;");
  SimulateKey(*log.memFilter, TKeyCode('V'), "\x16", ssCtrl);
  EXPECT_EQ(log.FilterText(), "DL1ABC,DB0XYZ");
  log.mbtnFilter->Click();
  EXPECT_TRUE(log.mpnlFilter->Visible());
  log.mbtnFilter->Click();
  EXPECT_FALSE(log.mpnlFilter->Visible());
}

// A gigabyte without a line break inside a log, and a file of 20 GiB without one, made
// sparse: the window's own timer skips the long line a bounded piece a tick, so it never
// waits long on it, and the lines after it play. The event loop's own reads (a few
// bytes of its wake-up pipe) are all the room over the bound.
TEST_F(LogWindowTest, OverlongLinesCostManyShortTicksAndTheLinesAfterThemPlay) {
  constexpr int64_t kRoom = 64 * 1024;
  const std::string no_break = File("no_break.log");
  { std::ofstream(no_break, std::ios::binary) << "070601140000:A>APRS:>"; }
  fs::resize_file(no_break, int64_t(20) << 30);
  int64_t before = BytesReadSoFar();
  EXPECT_FALSE(log.StartPlayback(no_break));
  EXPECT_LE(BytesReadSoFar() - before, TPacketPlayer::kMaxReadBytesPerTick + kRoom);

  const std::string long_line = File("long_line.log");
  {
    std::ofstream(long_line, std::ios::binary) << "070601140000:A>APRS:>1\r\n070601140000:B>APRS:>";
  }
  fs::resize_file(long_line, fs::file_size(long_line) + (int64_t(1) << 30));
  {
    std::ofstream out(long_line, std::ios::binary | std::ios::app);
    out << "\r\n070601140000:C>APRS:>3\r\n070601140100:D>APRS:>4\r\n";
  }
  int64_t most = 0;
  const TNotifyEvent tick = log.timPlayBack->OnTimer;
  log.timPlayBack->OnTimer = [&](TComponent* Sender) {
    const int64_t start = BytesReadSoFar();
    tick(Sender);
    most = std::max(most, BytesReadSoFar() - start);
    if (!log.Player.Playing()) Application->Terminate();
  };
  TTimer guard(nullptr);
  guard.SetInterval(240000);
  guard.OnTimer = [](TComponent*) { Application->Terminate(); };
  guard.SetEnabled(true);
  before = BytesReadSoFar();
  ASSERT_TRUE(log.StartPlayback(long_line));
  EXPECT_LE(BytesReadSoFar() - before, 2 * TPacketPlayer::kMaxReadBytesPerTick + kRoom);
  Application->Run();
  EXPECT_EQ(played, (std::vector<std::string>{"fm A to APRS ctl UI pid F0|>1",
                                              "fm C to APRS ctl UI pid F0|>3",
                                              "fm D to APRS ctl UI pid F0|>4"}));
  EXPECT_FALSE(log.Player.Playing());
  EXPECT_LE(most, TPacketPlayer::kMaxReadBytesPerTick + kRoom);
}

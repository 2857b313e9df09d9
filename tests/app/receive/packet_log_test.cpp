// The packet log: line conversion, the recorder's flushing and write errors, playback in
// compressed time, and a recorded session played back into the same stations.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "app/receive/packet_log.h"
#include "app/receive/receive_fixture.h"
#include "core/tnc2_line.h"
#include "platform/sys/files.h"

namespace {

namespace fs = std::filesystem;

class PacketLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("velmora-log-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  static std::vector<std::string> ReadLines(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  static void WriteLines(const std::string& file, const std::vector<std::string>& lines) {
    std::ofstream out(file, std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
  }

  fs::path dir_;
};

std::vector<std::string> Played(TPacketPlayer& player, int& ticks) {
  std::vector<std::string> packets;
  player.AnalysePacket = [&](const TReceivedPacket& p) {
    EXPECT_TRUE(player.HandingOver());
    packets.push_back(p.Header + "|" + p.Data);
  };
  ticks = 0;
  while (player.Playing() && ticks < 1000) {
    player.Tick();
    ++ticks;
  }
  return packets;
}

}  // namespace

TEST(LogLine, ConvertsBackToTheRadioPacketForm) {
  TReceivedPacket p;
  ASSERT_TRUE(LogLineToPacket("070601143005:N0CALL>APRS:>Net$32Control$59x", p));
  EXPECT_EQ(p.Header, "fm N0CALL to APRS ctl UI pid F0");
  EXPECT_EQ(p.Data, ">Net Control;x");
  ASSERT_TRUE(
      LogLineToPacket("070601143005:N0CALL-9>APDR16,WIDE1-1,WIDE2-1::WU2Z$32$32$32$32$32:hi{3", p));
  EXPECT_EQ(p.Header, "fm N0CALL-9 to APDR16 via WIDE1-1,WIDE2-1 ctl UI pid F0");
  EXPECT_EQ(p.Data, ":WU2Z     :hi{3");
  TDateTime t = 0;
  ASSERT_TRUE(LogLineTime("070601143005:N0CALL>APRS:>x", t));
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", t), "2007-06-01 14:30:05");
}

TEST(LogLine, DamagedLinesGiveNoPacket) {
  TReceivedPacket p;
  EXPECT_FALSE(LogLineToPacket("070601143005:N0CALL APRS:>x", p));     // no '>'
  EXPECT_FALSE(LogLineToPacket("070601143005:N0CALL>APRS", p));        // no ':'
  EXPECT_FALSE(LogLineToPacket("070601143005:N0CALL>APRS:>50#x", p));  // broken escape
  EXPECT_FALSE(LogLineToPacket("", p));
  EXPECT_TRUE(p.Header.empty() && p.Data.empty());
  TDateTime t = 0;
  EXPECT_FALSE(LogLineTime("0706011430:N0CALL>APRS:>x", t));
  EXPECT_FALSE(LogLineTime("071301143005:N0CALL>APRS:>x", t));  // month 13
  EXPECT_FALSE(LogLineTime("garbage", t));
}

TEST_F(PacketLogTest, RecorderFlushesEveryTwentyTicksInTimeOrderWithoutDuplicates) {
  TPacketRecorder rec;
  std::string error;
  ASSERT_TRUE(rec.Start(File("a.log"), false, error));
  rec.AddLine("070601143007:B>APRS:>2");
  rec.AddLine("070601143005:Z>APRS:>0");  // within a second, the order they came in
  rec.AddLine("070601143005:A>APRS:>1");
  rec.AddLine("070601143005:A>APRS:>1");  // the same packet in the same second
  rec.AddLine("070601143005:A>APRS:>X");
  rec.AddLine("070601143005:A>APRS:>x");  // differs only in case: another packet
  for (int i = 0; i < kFlushTicks - 1; ++i) rec.FlushTick();
  EXPECT_FALSE(fs::exists(File("a.log")));
  rec.FlushTick();
  EXPECT_EQ(ReadLines(File("a.log")),
            (std::vector<std::string>{"070601143005:Z>APRS:>0", "070601143005:A>APRS:>1",
                                      "070601143005:A>APRS:>X", "070601143005:A>APRS:>x",
                                      "070601143007:B>APRS:>2"}));
  EXPECT_EQ(rec.FlushTicks(), 0);
  rec.AddLine("070601143006:C>APRS:>3");
  rec.Stop();
  EXPECT_FALSE(rec.Recording());
  EXPECT_EQ(ReadLines(File("a.log"))[4], "070601143006:C>APRS:>3");
  // Appending keeps the file's lines; starting afresh overwrites them at the first flush.
  ASSERT_TRUE(rec.Start(File("a.log"), true, error));
  EXPECT_EQ(rec.LineCount(), 6);
  rec.AddLine("070601143000:D>APRS:>0");
  rec.AddLine("070601143005:Z>APRS:>0");  // already in the file
  rec.Stop();
  EXPECT_EQ(ReadLines(File("a.log")).size(), 7u);
  EXPECT_EQ(ReadLines(File("a.log"))[0], "070601143000:D>APRS:>0");
  ASSERT_TRUE(rec.Start(File("a.log"), false, error));
  rec.AddLine("070601150000:E>APRS:>e");
  rec.FlushLog();
  EXPECT_EQ(ReadLines(File("a.log")), std::vector<std::string>{"070601150000:E>APRS:>e"});
  rec.Stop();
}

TEST_F(PacketLogTest, RecorderKeepsItsFirstWriteErrorAndTheLines) {
  TPacketRecorder rec;
  std::vector<std::string> errors;
  rec.OnWriteError = [&](const std::string& e) { errors.push_back(e); };
  std::string error;
  const std::string file = File("later/b.log");  // its folder does not exist yet
  ASSERT_TRUE(rec.Start(file, false, error));
  rec.AddLine("070601143005:A>APRS:>1");
  rec.FlushLog();
  rec.AddLine("070601143006:A>APRS:>2");
  rec.FlushLog();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(rec.WriteError().empty());
  EXPECT_EQ(rec.WriteError(), errors[0]);
  // Once the file can be written, nothing recorded meanwhile is missing, even without
  // a new line.
  fs::create_directories(dir_ / "later");
  rec.FlushLog();
  EXPECT_EQ(ReadLines(file).size(), 2u);
  rec.Stop();
}

// New lines are appended; the file is written whole only when a line belongs before
// its end (a clock set back) or the file was changed elsewhere. Whichever, it always
// holds the log in time order. (A file written in place keeps a second name given to it;
// one written whole is a new file under the old name.)
TEST_F(PacketLogTest, RecordingCleansWhatCutSavesLeftInTheLogsFolder) {
  const std::vector<std::string> stale = {"r.log~save-Ab12Cd", "old.log~save-zzzzzz"};
  const std::vector<std::string> kept = {"notes.txt", "r.log~save-", "r.log~save-toolong"};
  for (const auto& name : stale) std::ofstream(File(name)) << "cut";
  for (const auto& name : kept) std::ofstream(File(name)) << "mine";
  TPacketRecorder rec;
  std::string error;
  ASSERT_TRUE(rec.Start(File("r.log"), false, error));
  for (const auto& name : stale) EXPECT_FALSE(fs::exists(File(name))) << name;
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(File(name))) << name;
  rec.Stop();
}

TEST_F(PacketLogTest, RecorderAppendsAndItsFileAlwaysHoldsTheLogInOrder) {
  TPacketRecorder rec;
  std::vector<std::string> errors;
  rec.OnWriteError = [&](const std::string& e) { errors.push_back(e); };
  std::string error;
  const std::string file = File("r.log");
  ASSERT_TRUE(rec.Start(file, false, error));
  std::mt19937 random(54);
  std::vector<std::string> arrived;  // each line once, in the order it came
  auto expected = [&] {
    std::vector<std::string> lines = arrived;
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
      return a.compare(0, 12, b, 0, 12) < 0;
    });
    return lines;
  };
  const TDateTime start = EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0, 0);
  int second = 0;
  int latest = 0;  // the latest second recorded
  int appends = 0;
  for (int round = 0; round < 150; ++round) {
    // A line stamped half a minute late (a clock set back), or the file changed by hand.
    const bool late_line = round > 0 && random() % 8 == 0;
    const bool changed_elsewhere = round > 0 && random() % 10 == 0;
    bool in_order = round > 0 && !changed_elsewhere;
    if (changed_elsewhere) std::ofstream(file, std::ios::app) << "not ours\r\n";
    for (int n = int(random() % 4) + 1; n > 0; --n) {
      second += int(random() % 2);
      const int stamp = late_line && n == 1 ? second - 30 : second;
      if (stamp < latest) in_order = false;
      latest = std::max(latest, stamp);
      const std::string line = FormatDateTime("yymmddhhnnss", start + stamp / 86400.0) + ":N" +
                               std::to_string(random() % 5) + ">APRS:>" +
                               std::to_string(random() % 3);
      if (std::find(arrived.begin(), arrived.end(), line) == arrived.end()) arrived.push_back(line);
      rec.AddLine(line);
    }
    const std::string second_name = file + ".link";
    if (round > 0) fs::create_hard_link(file, second_name);
    rec.FlushLog();
    const bool written_in_place = round > 0 && fs::hard_link_count(file) == 2;
    fs::remove(second_name);
    ASSERT_EQ(ReadLines(file), expected()) << "round " << round;
    if (in_order) {
      EXPECT_TRUE(written_in_place) << "round " << round;
      ++appends;
    }
  }
  EXPECT_GT(appends, 90);
  EXPECT_TRUE(errors.empty());
  rec.Stop();
}

TEST_F(PacketLogTest, TenMinutesPlayInAboutTenTicksWithDamagedLinesSkipped) {
  WriteLines(File("p.log"), {"070601140000:A>APRS:>first", "garbage without stamp",
                             "070601140130:B>APRS,WIDE1-1:>second", "070601140200:C APRS:>no head",
                             "070601140500:D>APRS:>50#x broken escape",
                             "070601140530:E>APRS:>third$32word", "070601141000:F>APRS:>last"});
  TPacketPlayer player;
  int stopped = 0;
  player.OnStopped = [&] { ++stopped; };
  ASSERT_TRUE(player.Start(File("p.log")));
  EXPECT_EQ(FormatDateTime("hh:nn:ss", player.PlayStart()), "14:00:00");
  EXPECT_EQ(FormatDateTime("hh:nn:ss", player.PlayEnd()), "14:10:00");
  int ticks = 0;
  const std::vector<std::string> packets = Played(player, ticks);
  EXPECT_EQ(packets, (std::vector<std::string>{"fm A to APRS ctl UI pid F0|>first",
                                               "fm B to APRS via WIDE1-1 ctl UI pid F0|>second",
                                               "fm E to APRS ctl UI pid F0|>third word",
                                               "fm F to APRS ctl UI pid F0|>last"}));
  EXPECT_EQ(ticks, 11);  // the last line is before 14:11
  EXPECT_EQ(stopped, 1);
  // The playback clock ends at the last line, not a step beyond the log's end.
  EXPECT_EQ(FormatDateTime("hh:nn:ss", player.PlayNow()), "14:10:00");
  EXPECT_FALSE(player.HandingOver());
}

TEST_F(PacketLogTest, FilesWithoutAnyReadableLineAreNotPlayed) {
  TPacketPlayer player;
  EXPECT_FALSE(player.Start(File("missing.log")));
  WriteLines(File("empty.log"), {});
  EXPECT_FALSE(player.Start(File("empty.log")));
  WriteLines(File("bad.log"), {"no stamp here", "nor here"});
  EXPECT_FALSE(player.Start(File("bad.log")));
  EXPECT_FALSE(player.Playing());
}

TEST_F(PacketLogTest, PlaybackStoppedByItsReceiverEndsCleanly) {
  WriteLines(File("s.log"), {"070601140000:A>APRS:>1", "070601140000:B>APRS:>2"});
  TPacketPlayer player;
  ASSERT_TRUE(player.Start(File("s.log")));
  int handed = 0;
  player.AnalysePacket = [&](const TReceivedPacket&) {
    ++handed;
    player.Stop();
  };
  player.Tick();
  EXPECT_EQ(handed, 1);
  EXPECT_FALSE(player.Playing());
}

// A live session recorded through the dispatcher, played back into a fresh one, gives
// the same stations; only how and when they came in differs (the log keeps no port,
// no header and no digipeater mark).
TEST_F(PacketLogTest, RecordedSessionReplaysToTheSameStations) {
  std::ifstream in(std::string(VELMORA_TEST_DATA) + "/receive/aprs_is_session.txt",
                   std::ios::binary);
  // Within one second a packet heard again is recorded once; the corpus repeats some of
  // its packets, so the session sends each only the first time, as a live second would
  // hold it.
  std::vector<std::string> lines;
  std::set<std::string> seen;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (seen.insert(line).second) lines.push_back(line);
  }
  ASSERT_GT(lines.size(), 400u);

  TPacketRecorder rec;
  std::string error;
  ASSERT_TRUE(rec.Start(File("session.log"), false, error));
  TReceivePath live;
  live.recording = true;
  live.on_log_line = [&](const std::string& line) { rec.AddLine(line); };
  TReceivedPacket packet;
  for (const std::string& line : lines) {
    SplitIsLine(line, packet);
    live.dispatcher.AnalysePacket(packet);
  }
  rec.Stop();
  EXPECT_TRUE(rec.WriteError().empty());

  TReceivePath replay;
  TPacketPlayer player;
  ASSERT_TRUE(player.Start(File("session.log")));
  player.AnalysePacket = [&](const TReceivedPacket& p) { replay.dispatcher.AnalysePacket(p); };
  for (int i = 0; player.Playing() && i < 100; ++i) player.Tick();
  EXPECT_FALSE(player.Playing());

  auto records = [](const TStationList& list) {
    std::map<std::string, std::string> result;
    for (int i = 0; i < list.Count(); ++i) {
      std::string record = list.Line(i);
      std::string key;
      CsvGetField(sfKey, record, key);
      for (int field : {sfRxStamp, sfPort, sfHeader, sfHeardVia}) CsvSetField(field, "", record);
      result[key] = record;
    }
    return result;
  };
  EXPECT_GT(live.store.StationList.Count(), 30);
  const auto replayed = records(replay.store.StationList);
  const auto recorded = records(live.store.StationList);
  EXPECT_EQ(replayed.size(), recorded.size());
  for (const auto& [key, record] : recorded) {
    const auto it = replayed.find(key);
    EXPECT_TRUE(it != replayed.end() && it->second == record)
        << key << "\n live:   " << record
        << "\n replay: " << (it == replayed.end() ? "-" : it->second);
  }
}

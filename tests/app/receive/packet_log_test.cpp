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
#include "platform/text/format.h"
#include "platform/text/string_list.h"

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

TEST_F(PacketLogTest, RecorderFlushesEveryTwentyTicksInArrivalOrderWithoutDuplicates) {
  TPacketRecorder rec;
  std::string error;
  ASSERT_TRUE(rec.Start(File("a.log"), false, error));
  rec.AddLine("070601143005:Z>APRS:>0");
  rec.AddLine("070601143005:A>APRS:>1");
  rec.AddLine("070601143005:A>APRS:>1");  // the same packet in the same second
  rec.AddLine("070601143005:A>APRS:>X");
  rec.AddLine("070601143005:A>APRS:>x");  // differs only in case: another packet
  rec.AddLine("070601143007:B>APRS:>2");
  for (int i = 0; i < kFlushTicks - 1; ++i) rec.FlushTick();
  EXPECT_FALSE(fs::exists(File("a.log")));
  rec.FlushTick();
  EXPECT_EQ(ReadLines(File("a.log")),
            (std::vector<std::string>{"070601143005:Z>APRS:>0", "070601143005:A>APRS:>1",
                                      "070601143005:A>APRS:>X", "070601143005:A>APRS:>x",
                                      "070601143007:B>APRS:>2"}));
  EXPECT_EQ(rec.FlushTicks(), 0);
  rec.AddLine("070601143007:B>APRS:>2");  // in the file already, in the same second
  rec.AddLine("070601143006:C>APRS:>3");  // a clock set back: kept in the order it came
  rec.Stop();
  EXPECT_FALSE(rec.Recording());
  EXPECT_EQ(ReadLines(File("a.log")).size(), 6u);
  EXPECT_EQ(ReadLines(File("a.log"))[5], "070601143006:C>APRS:>3");
  // Appending keeps the file's lines and knows the packets of its last second; starting
  // afresh overwrites them at the first flush.
  ASSERT_TRUE(rec.Start(File("a.log"), true, error));
  rec.AddLine("070601143006:C>APRS:>3");
  rec.AddLine("070601143008:D>APRS:>4");
  rec.Stop();
  EXPECT_EQ(ReadLines(File("a.log")).size(), 7u);
  EXPECT_EQ(ReadLines(File("a.log"))[6], "070601143008:D>APRS:>4");
  ASSERT_TRUE(rec.Start(File("a.log"), false, error));
  rec.AddLine("070601150000:E>APRS:>e");
  rec.FlushLog();
  EXPECT_EQ(ReadLines(File("a.log")), std::vector<std::string>{"070601150000:E>APRS:>e"});
  rec.Stop();
}

// A log whose folder is missing (a drive removed, a disk full): each failing stretch is
// told once; the lines wait, up to a bound that the oldest leave, counted; once the file
// can be written, the lines kept are in it and the count of those lost is told, once.
// While it can be written, a feed that fills the bound between two flushes loses nothing.
TEST_F(PacketLogTest, RecorderBoundsTheLinesWaitingWhileWritesFailAndTellsTheLoss) {
  TPacketRecorder rec;
  std::vector<std::string> errors;
  std::vector<int> losses;
  rec.OnWriteError = [&](const std::string& e) { errors.push_back(e); };
  rec.OnLinesLost = [&](int lost) { losses.push_back(lost); };
  std::string error;
  const std::string file = File("later/b.log");  // its folder does not exist yet
  ASSERT_TRUE(rec.Start(file, false, error));
  int next = 0;
  // Distinct packets of about 100 bytes (or more), one second apart; their lines, in order.
  std::vector<std::string> added;
  auto add = [&](int count, size_t data_bytes = 80) {
    for (int i = 0; i < count; ++i, ++next) {
      added.push_back(FormatDateTime("yymmddhhnnss", EncodeDate(2026, 12, 8) + next / 86400.0) +
                      ":N0CALL>APRS:>" + std::string(data_bytes, 'x') + std::to_string(next));
      rec.AddLine(added.back());
    }
  };
  auto waiting_bytes = [&] {
    int64_t bytes = 0;
    for (size_t i = added.size() - rec.BufferCount(); i < added.size(); ++i)
      bytes += static_cast<int64_t>(added[i].size() + 2);
    return bytes;
  };
  add(1);
  rec.FlushLog();
  add(1);
  rec.FlushLog();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(file), std::string::npos);
  EXPECT_EQ(rec.WriteError(), errors[0]);
  // Once the file can be written, nothing recorded meanwhile is missing, even without
  // a new line.
  fs::create_directories(dir_ / "later");
  rec.FlushLog();
  EXPECT_EQ(ReadLines(file), added);
  EXPECT_TRUE(rec.WriteError().empty());
  EXPECT_TRUE(losses.empty());

  // 25 seconds of 600 lines of 513 bytes a second, twice the bound between two flushes.
  for (int second = 0; second < 25; ++second) {
    add(600, 480);
    rec.FlushTick();
  }
  EXPECT_LE(waiting_bytes(), TPacketRecorder::kMaxWaitingBytes);
  rec.FlushLog();
  EXPECT_EQ(ReadLines(file), added);
  EXPECT_EQ(rec.LostCount(), 0);
  EXPECT_TRUE(losses.empty());
  EXPECT_EQ(errors.size(), 1u);

  // The drive goes for hours of a full feed.
  fs::remove_all(dir_ / "later");
  const std::vector<std::string> written = added;
  const int per_flush = 20 * 100;
  for (int flush = 0; flush < 30; ++flush) {
    add(per_flush);
    ASSERT_LE(waiting_bytes(), TPacketRecorder::kMaxWaitingBytes);
    rec.FlushLog();
  }
  EXPECT_EQ(errors.size(), 2u);
  const int kept = rec.BufferCount();
  const int lost = static_cast<int>(added.size() - written.size()) - kept;
  EXPECT_GT(lost, 0);
  EXPECT_EQ(rec.LostCount(), lost);
  EXPECT_GT(waiting_bytes(), TPacketRecorder::kMaxWaitingBytes - 200);
  // Back, on a new drive: the file holds the newest lines, those kept.
  fs::create_directories(dir_ / "later");
  rec.FlushLog();
  EXPECT_EQ(ReadLines(file), std::vector<std::string>(added.end() - kept, added.end()));
  EXPECT_EQ(losses, std::vector<int>{lost});
  EXPECT_EQ(rec.LostCount(), 0);
  add(1);
  rec.Stop();
  EXPECT_EQ(ReadLines(file).back(), added.back());
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_EQ(losses.size(), 1u);
}

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

// Random rounds of packets, clocks set back and files changed elsewhere: the recorder
// only ever appends (a second name given to the file keeps seeing it), every packet is
// in the file once in the order it came, and nothing another program wrote is lost, a
// line it left unended included.
TEST_F(PacketLogTest, RecorderOnlyAppendsAndLosesNothing) {
  const std::string file = File("r.log");
  WriteLines(file, {"261208095959:OLD>APRS:>kept", "261208100000:N1>APRS:>0"});
  TPacketRecorder rec;
  std::vector<std::string> errors;
  rec.OnWriteError = [&](const std::string& e) { errors.push_back(e); };
  std::string error;
  ASSERT_TRUE(rec.Start(file, true, error));
  const std::string second_name = file + ".link";
  fs::create_hard_link(file, second_name);
  std::mt19937 random(54);
  std::vector<std::string> expected = ReadLines(file);
  std::string last_stamp = "261208100000";
  std::set<std::string> last_second = {expected.back()};
  const TDateTime start = EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0, 0);
  int second = 0;
  for (int round = 0; round < 150; ++round) {
    if (random() % 10 == 0) {
      std::ofstream(file, std::ios::app) << "not ours\r\n";
      expected.push_back("not ours");
    } else if (random() % 15 == 0) {
      std::ofstream(file, std::ios::app) << "cut sho";
      expected.push_back("cut sho");
    }
    // One packet each round that no earlier one equals, so that each round writes.
    const std::string own = FormatDateTime("yymmddhhnnss", start + second / 86400.0) + ":R>APRS:>" +
                            std::to_string(round);
    rec.AddLine(own);
    if (own.substr(0, 12) != last_stamp) last_second.clear();
    last_stamp = own.substr(0, 12);
    last_second.insert(own);
    expected.push_back(own);
    for (int n = int(random() % 4); n > 0; --n) {
      second += int(random() % 2);
      // Now and then a line stamped half a minute late: a clock set back.
      const int stamp = random() % 8 == 0 ? second - 30 : second;
      const std::string line = FormatDateTime("yymmddhhnnss", start + stamp / 86400.0) + ":N" +
                               std::to_string(random() % 3) + ">APRS:>" +
                               std::to_string(random() % 2);
      rec.AddLine(line);
      if (line.substr(0, 12) != last_stamp) last_second.clear();
      last_stamp = line.substr(0, 12);
      if (last_second.insert(line).second) expected.push_back(line);
    }
    rec.FlushLog();
    ASSERT_EQ(ReadLines(file), expected) << "round " << round;
    ASSERT_EQ(fs::hard_link_count(file), 2u) << "round " << round;
  }
  EXPECT_TRUE(errors.empty());
  rec.Stop();
  fs::remove(second_name);
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

// Logs are appended as packets come, so a clock set back leaves earlier stamps after
// later ones: the hour repeated when summer time ends, a correction of a few minutes.
// Every line still plays, in file order, and the log time goes on from each step as if
// no time had passed; a busy stretch is handed over a bounded number of lines a tick.
TEST_F(PacketLogTest, ALogWhoseClockStepsBackPlaysEveryLineInFileOrder) {
  std::vector<std::string> lines;
  std::vector<std::string> expected;
  const auto add = [&](int hour, int minute, int second, const std::string& data) {
    const std::string from = "N" + std::to_string(lines.size());
    lines.push_back(Format("071028%02d%02d%02d:%s>APRS:%s", hour, minute, second, from, data));
    expected.push_back("fm " + from + " to APRS ctl UI pid F0|" + data);
  };
  // 01:58-02:59:59, then the clock goes back an hour and the same hour comes again,
  // four lines a second; then a correction of five minutes back at 03:10.
  for (int pass = 0; pass < 2; ++pass) {
    for (int s = pass == 0 ? -120 : 0; s < 3600; s += pass == 0 ? 60 : 1)
      for (int again = 0; again < (pass == 0 ? 1 : 4); ++again)
        add(2 + (s < 0 ? -1 : 0), (s + 3600) / 60 % 60, (s + 3600) % 60, ">x");
  }
  add(3, 10, 0, ">late");
  add(3, 5, 0, ">corrected");
  add(3, 6, 0, ">last");
  WriteLines(File("dst.log"), lines);

  TPacketPlayer player;
  ASSERT_TRUE(player.Start(File("dst.log")));
  // The labels name the log's own first and last lines.
  EXPECT_EQ(FormatDateTime("hh:nn:ss", player.PlayStart()), "01:58:00");
  EXPECT_EQ(FormatDateTime("hh:nn:ss", player.PlayEnd()), "03:06:00");
  std::vector<std::string> played;
  int handed = 0;
  player.AnalysePacket = [&](const TReceivedPacket& p) {
    played.push_back(p.Header + "|" + p.Data);
    ++handed;
  };
  int minutes = 0;
  bool went_back = false;
  TDateTime now = player.PlayNow();
  while (player.Playing() && minutes < 1000) {
    handed = 0;
    const bool behind = player.Behind();
    player.Tick();
    EXPECT_LE(handed, TPacketPlayer::kMaxLinesPerTick);
    if (!behind) ++minutes;
    went_back = went_back || player.PlayNow() < now;
    now = player.PlayNow();
  }
  EXPECT_EQ(played, expected);
  EXPECT_FALSE(player.Playing());
  EXPECT_TRUE(went_back);
  // 02:00 to 03:10 with the repeated hour in between: about 2 h 12 min of log time.
  EXPECT_GE(minutes, 130);
  EXPECT_LE(minutes, 135);
  EXPECT_EQ(FormatDateTime("hh:nn:ss", player.PlayNow()), "03:06:00");
}

// The player reads a log a piece at a time: lines ended by CR LF, LF or CR, cut by the
// piece boundaries anywhere, and a line far too long for a packet, play exactly as the
// whole file read at once would.
TEST_F(PacketLogTest, PlayerReadsALogInPiecesAsItsLinesStand) {
  std::mt19937 random(7);
  const char* breaks[] = {"\r\n", "\n", "\r"};
  std::string text;
  for (int i = 0; text.size() < 300000; ++i) {
    if (i == 900) text += std::string(70000, 'j') + "\r\n";
    const int second = i / 20;
    text += Format("070601%02d%02d%02d:N%d>APRS,WIDE1-1:>%s", 14 + second / 3600, second / 60 % 60,
                   second % 60, i, std::string(random() % 200, 'x'));
    text += breaks[random() % 3];
  }
  text += "070601150000:LAST>APRS:>unended";
  std::ofstream(File("long.log"), std::ios::binary) << text;

  TStringList whole;
  whole.SetText(text);
  std::vector<std::string> expected;
  for (int i = 0; i < whole.Count(); ++i) {
    TReceivedPacket p;
    if (LogLineToPacket(whole[i], p)) expected.push_back(p.Header + "|" + p.Data);
  }
  TPacketPlayer player;
  ASSERT_TRUE(player.Start(File("long.log")));
  EXPECT_EQ(FormatDateTime("hh:nn:ss", player.PlayEnd()), "15:00:00");
  int ticks = 0;
  const std::vector<std::string> played = Played(player, ticks);
  EXPECT_EQ(played.size(), expected.size());
  EXPECT_TRUE(played == expected);
  EXPECT_EQ(player.PlayedBytes(), int64_t(text.size()));
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

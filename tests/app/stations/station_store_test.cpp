#include "app/stations/station_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "app/receive/receive_fixture.h"
#include "app/stations/station_records.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "platform/text/sysutils.h"

namespace {

TAprsInfo Position(const std::string& call, const std::string& lat = "52.5",
                   TDateTime heard = Noon()) {
  TAprsInfo info;
  info.SrcCall = call;
  // An empty latitude stands for a packet without a position.
  info.HasPosition = !lat.empty();
  info.Lat = info.HasPosition ? StrToFloat(lat) : 0;
  info.Lon = 13.25;
  info.SymTable = '/';
  info.SymCode = '>';
  info.PosFormat = 'A';
  info.Port = 1;
  info.RxStamp = StampAt(heard);
  info.Header = "fm " + call + " to APRS via WIDE1-1* ctl UI pid F0";
  info.Data = "!5230.00N/01315.00E>";
  info.Path = "WIDE1-1";
  info.HeardVia = "WIDE1-1";
  info.DestCall = "APRS";
  return info;
}

class StationStore : public ::testing::Test {
 protected:
  void SetUp() override {
    store.Clock = [this] { return now + clock_set; };
    store.Ticks = [this] { return Ticks(); };
  }
  // The monotonic clock: the time passed since noon, from its count at noon.
  std::uint64_t Ticks() const {
    return static_cast<std::uint64_t>(kNoonTicks + MsOf(now) - MsOf(Noon()));
  }
  std::string Field(const std::string& key, int field) {
    std::string value;
    const int index = store.IndexOfStation(key);
    if (index >= 0) CsvGetField(field, store.StationList.Line(index), value);
    return value;
  }

  static constexpr std::int64_t kNoonTicks = 10'000'000'000;
  TDateTime now = Noon();   // as time passes
  TDateTime clock_set = 0;  // the wall clock set back or forward meanwhile
  TRecordingViews views;
  TStationStore store{views};
};

TEST(StationKey, LettersAndDigitsOnly) {
  EXPECT_EQ(MakeStationKey("", "N0CALL"), "AAprsN0CALL");
  EXPECT_EQ(MakeStationKey("", " N0CALL-9 "), "AAprsN0CALL459");
  EXPECT_EQ(MakeStationKey("N0CALL", "My Obj"), "AAprsN0CALLMy32Obj");
  EXPECT_EQ(MakeStationKey("", "\xE4/"), "AAprs22847");
}

TEST_F(StationStore, RecordHasAllFieldsInOrder) {
  TAprsInfo info = Position("N0CALL-9");
  info.Comment = "088/036/A=001234 hi";
  store.UpdateStation(info);
  const std::string key = "AAprsN0CALL459";
  ASSERT_EQ(store.StationList.Count(), 1);
  EXPECT_EQ(Field(key, sfKey), key);
  EXPECT_EQ(Field(key, sfSrcCall), "N0CALL-9");
  EXPECT_EQ(Field(key, sfComment), "$32hi");  // altitude and course/speed taken out
  EXPECT_EQ(Field(key, sfAltitude), "1234");
  EXPECT_EQ(Field(key, sfCourse), "88");
  EXPECT_EQ(Field(key, sfSpeed), "36");
  EXPECT_EQ(Field(key, sfObjState), "63");
  EXPECT_EQ(Field(key, sfRxStamp), "261207120000");
  EXPECT_EQ(Field(key, sfPath), "WIDE1-1");
  EXPECT_EQ(Field(key, sfStatusText), "");
  EXPECT_EQ(views.station_counts.back(), 1);
  EXPECT_TRUE(views.Called("map " + key));
  EXPECT_TRUE(views.Called("row " + key));
}

TEST_F(StationStore, ARowThatCannotBeShownEndsTheWindowsBatchAllTheSame) {
  views.throw_on_row = true;
  EXPECT_THROW(store.UpdateStation(Position("N0CALL")), Exception);
  EXPECT_EQ(views.open_batches, 0);
  views.throw_on_row = false;
  store.UpdateStation(Position("DL1ABC"));
  EXPECT_EQ(views.open_batches, 0);
  EXPECT_TRUE(views.Called("row " + MakeStationKey("", "DL1ABC")));
}

TEST_F(StationStore, RepeatsWithinTwentySecondsAreIgnored) {
  store.UpdateStation(Position("N0CALL"));
  views.calls.clear();
  // Another digipeater, another header, 20 seconds later: a repeat.
  TAprsInfo copy = Position("N0CALL", "52.5", Noon() + 20 / SecsPerDay);
  copy.HeardVia = "DIGI2";
  copy.Path = "DIGI2,WIDE2-1";
  copy.Header = "fm N0CALL to APRS via DIGI2* ctl UI pid F0";
  now = Noon() + 20 / SecsPerDay;
  store.UpdateStation(copy);
  EXPECT_TRUE(views.calls.empty());
  // The same packet gated to the internet is a repeat as well.
  copy.Port = -1;
  store.UpdateStation(copy);
  EXPECT_TRUE(views.calls.empty());
  EXPECT_EQ(Field("AAprsN0CALL", sfRxStamp), "261207120000");
  // 21 seconds: the record is replaced with the new time.
  copy.RxStamp = StampAt(Noon() + 21 / SecsPerDay);
  now = Noon() + 21 / SecsPerDay;
  store.UpdateStation(copy);
  EXPECT_EQ(Field("AAprsN0CALL", sfRxStamp), "261207120021");
  EXPECT_EQ(Field("AAprsN0CALL", sfHeardVia), "DIGI2");
  // A move is taken at once.
  store.UpdateStation(Position("N0CALL", "52.6", now));
  EXPECT_EQ(Field("AAprsN0CALL", sfLat), "52.6");
  EXPECT_EQ(store.StationList.Count(), 1);
}

TEST_F(StationStore, StatusTextSurvivesUpdatesAndDoesNotDefeatTheRepeatRule) {
  store.UpdateStation(Position("N0CALL"));
  ASSERT_TRUE(store.SetStatusText("AAprsN0CALL", ">QRV"));
  EXPECT_FALSE(store.SetStatusText("AAprsUNKNOWN", ">QRV"));
  views.calls.clear();
  store.UpdateStation(Position("N0CALL"));
  EXPECT_TRUE(views.calls.empty());  // still a repeat
  now += 30 / SecsPerDay;
  store.UpdateStation(Position("N0CALL", "52.7", now));
  EXPECT_EQ(Field("AAprsN0CALL", sfStatusText), ">QRV");
  EXPECT_EQ(Field("AAprsN0CALL", sfLat), "52.7");
}

TEST_F(StationStore, WeatherStationsKeepTheirComment) {
  TAprsInfo info = Position("WX1");
  info.SymCode = '_';
  info.Comment = "220/004g005t077r000p000P000h50b09900";
  store.UpdateStation(info);
  EXPECT_EQ(Field("AAprsWX1", sfComment), info.Comment);
  EXPECT_EQ(Field("AAprsWX1", sfCourse), "-1");
  EXPECT_EQ(Field("AAprsWX1", sfMicEMsg), "32");
}

TEST_F(StationStore, IgnoresRecordsWithoutPositionOrName) {
  store.UpdateStation(Position("N0CALL", ""));
  store.UpdateStation(Position(" "));
  EXPECT_EQ(store.StationList.Count(), 0);
}

TEST_F(StationStore, DeleteStationClearsEveryView) {
  store.UpdateStation(Position("N0CALL"));
  views.info_visible = true;
  views.shown_key = "AAprsN0CALL";
  views.calls.clear();
  store.DeleteStation("AAprsN0CALL");
  EXPECT_EQ(views.calls, (std::vector<std::string>{"marker- AAprsN0CALL", "row- AAprsN0CALL",
                                                   "places- AAprsN0CALL", "pick- AAprsN0CALL",
                                                   "info-", "crosshair- AAprsN0CALL"}));
  EXPECT_EQ(views.station_counts.back(), 0);
}

TEST_F(StationStore, DetailWindowFollowsOrRefreshesItsStation) {
  views.info_visible = true;
  views.shown_key = "AAprsOTHER";
  store.UpdateStation(Position("N0CALL"));
  EXPECT_FALSE(views.Called("info AAprsN0CALL"));
  views.follow_rx = true;
  store.UpdateStation(Position("N0CALL", "53"));
  EXPECT_TRUE(views.Called("info AAprsN0CALL"));
}

TEST_F(StationStore, AgingRemovesOldStationsOnly) {
  store.UpdateStation(Position("OLD1", "50", Noon() - 30 / MinsPerDay));
  store.UpdateStation(Position("OLD2", "50", Noon() - 31 / MinsPerDay));
  store.UpdateStation(Position("NEW", "50", Noon() - 29 / MinsPerDay));
  store.AgeStations();  // 0 minutes: never
  EXPECT_EQ(store.StationList.Count(), 3);
  views.max_age_minutes = 30;
  store.AgeStations();
  ASSERT_EQ(store.StationList.Count(), 1);
  EXPECT_GE(store.IndexOfStation("AAprsNEW"), 0);
}

// The wall clock set back an hour (the end of summer time): a station heard again right
// after the step takes the new time, in its record (and so in "Stn.dat") and its row,
// and ages from it; a station heard before the step ages by the time passed, not by its
// stamp, which now lies an hour ahead, whatever else it sends.
TEST_F(StationStore, AClockSetBackNeitherHoldsStationsNorStopsTheirAging) {
  store.UpdateStation(Position("AGAIN", "50", Noon()));
  store.UpdateStation(Position("ONCE", "50", Noon()));
  now = Noon() + 60 / SecsPerDay;
  clock_set = -1 / HoursPerDay;
  const TDateTime wall = now + clock_set;
  views.calls.clear();
  store.UpdateStation(Position("AGAIN", "50", wall));
  EXPECT_EQ(Field("AAprsAGAIN", sfRxStamp), "261207110100");
  EXPECT_TRUE(views.Called("row AAprsAGAIN"));
  // A copy 5 seconds later is a repeat of the new record.
  now += 5 / SecsPerDay;
  views.calls.clear();
  store.UpdateStation(Position("AGAIN", "50", now + clock_set));
  EXPECT_TRUE(views.calls.empty());
  // A status text is no hearing: the age goes on.
  ASSERT_TRUE(store.SetStatusText("AAprsONCE", ">away"));
  views.max_age_minutes = 30;
  now = Noon() + 30 / MinsPerDay;
  store.AgeStations();
  EXPECT_LT(store.IndexOfStation("AAprsONCE"), 0);
  EXPECT_GE(store.IndexOfStation("AAprsAGAIN"), 0);
  now = Noon() + 31 / MinsPerDay;
  store.AgeStations();
  EXPECT_LT(store.IndexOfStation("AAprsAGAIN"), 0);
}

TEST_F(StationStore, DamagedStationFileLinesAreSkippedAndNeverStopAging) {
  store.UpdateStation(Position("A1", "50", Noon() - 2 / HoursPerDay));
  store.UpdateStation(Position("B1", "50", Noon()));
  const std::string path =
      (std::filesystem::temp_directory_path() / "velmora_stn_test.dat").string();
  store.SaveStations(path);
  {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << "\"AAprsBAD1\";\"BAD1\";\"\";\"1\";\"2\";\"47\";\"62\";\"63\";\"65\";\"not a time\"\r\n";
    out << "garbage without fields\r\n\r\n";
    out << "\"AAprs-X\";\"X\";\"\";\"1\";\"2\";\"47\";\"62\";\"63\";\"65\";\"261207120000\"\r\n";
    out << "\"AAprsC1\";\"C1\";\"\";\"1\";\"2\";\"47\";\"62\";\"63\";\"65\";\"261207100000\"\n";
    // A damaged disk's run of NULs, passed over unheld; the record after it (ended by
    // the file alone) lies across the reader's first 256 KiB.
    out << std::string(262144 - 20 - std::size_t(out.tellp()), '\0') << "\r";
    out << "\"AAprsD1\";\"D1\";\"\";\"1\";\"2\";\"47\";\"62\";\"63\";\"65\";\"261207113000\"";
  }
  TRecordingViews views2;
  TStationStore loaded(views2);
  loaded.Clock = store.Clock;
  loaded.Ticks = store.Ticks;
  ASSERT_TRUE(loaded.LoadStations(path));
  ASSERT_EQ(loaded.StationList.Count(), 4);
  EXPECT_EQ(loaded.StationList.Line(0), store.StationList.Line(0));
  EXPECT_EQ(loaded.StationList.Line(1), store.StationList.Line(1));
  views2.max_age_minutes = 60;
  loaded.AgeStations();
  ASSERT_EQ(loaded.StationList.Count(), 2);
  EXPECT_GE(loaded.IndexOfStation("AAprsB1"), 0);
  EXPECT_GE(loaded.IndexOfStation("AAprsD1"), 0);
  std::filesystem::remove(path);
  EXPECT_FALSE(loaded.LoadStations(path));
  EXPECT_EQ(loaded.StationList.Count(), 2);
}

// A station file written where the decimal separator is a comma holds the same
// stations; a position no place on the earth has is damage and is not kept.
TEST_F(StationStore, AStationFileWithDecimalCommasKeepsItsStationsAndNoPlaceOffTheEarth) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "velmora_stn_comma_test.dat").string();
  {
    std::ofstream out(path, std::ios::binary);
    const auto record = [&out](const char* call, const char* lat, const char* lon) {
      out << "\"AAprs" << call << "\";\"" << call << "\";\"\";\"" << lat << "\";\"" << lon
          << "\";\"47\";\"62\";\"63\";\"65\";\"261207113000\";\"\";\"\";\"1\";\"\";\"\";\"\";\"-"
             "1\";"
             "\"12,5\";\"-1\";\"-1\"\r\n";
    };
    record("A1", "52,5123", "13,25");
    record("B1", "-33,9", "151");
    record("C1", "0,5", "-0,25");
    record("D1", "1e308", "13");
    record("E1", "-1E308", "13");
    record("F1", "45", "181");
    record("G1", "nan", "13");
  }
  TRecordingViews views2;
  TStationStore loaded(views2);
  loaded.Clock = store.Clock;
  loaded.Ticks = store.Ticks;
  ASSERT_TRUE(loaded.LoadStations(path));
  ASSERT_EQ(loaded.StationList.Count(), 3);
  std::string lat, lon, speed;
  CsvGetField(3, loaded.StationList.Line(0), lat);
  CsvGetField(4, loaded.StationList.Line(0), lon);
  CsvGetField(17, loaded.StationList.Line(0), speed);
  EXPECT_EQ(lat + " " + lon + " " + speed, "52.5123 13.25 12.5");
  std::filesystem::remove(path);
}

// A big station file comes in between paints: in pieces, in key order, each station
// shown as it comes; a station heard meanwhile keeps what was heard; a save (in the
// background or at the end) holds the rest too, without showing it, and "delete all"
// drops it.
TEST_F(StationStore, AStationFileComesInPiecesAndWhatWasHeardMeanwhileStays) {
  store.UpdateStation(Position("C1", "50"));
  store.UpdateStation(Position("A1", "50"));
  store.UpdateStation(Position("B1", "50"));
  const std::string path =
      (std::filesystem::temp_directory_path() / "velmora_stn_pieces.dat").string();
  const std::string saved_path = path + ".saved";
  store.SaveStations(path);

  TRecordingViews views2;
  TStationStore loaded(views2);
  loaded.Clock = store.Clock;
  loaded.Ticks = store.Ticks;
  // The file's first record of a key counts, as the loading takes it.
  {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << "\"AAprsA1\";\"A1z\";\"\";\"1\";\"2\";\"47\";\"62\";\"63\";\"65\";\"261207120000\"\r\n";
  }
  ASSERT_TRUE(loaded.BeginLoadStations(path));
  EXPECT_EQ(loaded.StationList.Count(), 0);
  EXPECT_TRUE(loaded.LoadingStations());
  loaded.UpdateStation(Position("B1", "51"));
  const std::string while_loading = loaded.StationFileText();
  views2.calls.clear();
  EXPECT_TRUE(loaded.LoadStationsPiece(1));
  EXPECT_EQ(views2.calls, (std::vector<std::string>{"row AAprsA1", "loaded AAprsA1"}));
  EXPECT_FALSE(loaded.LoadStationsPiece(5));
  EXPECT_FALSE(loaded.LoadingStations());
  ASSERT_EQ(loaded.StationList.Count(), 3);
  std::string lat;
  CsvGetField(sfLat, loaded.StationList.Line(loaded.IndexOfStation("AAprsB1")), lat);
  EXPECT_EQ(lat, "51");
  EXPECT_EQ(loaded.StationList.Line(2), store.StationList.Line(2));
  EXPECT_EQ(views2.station_counts.back(), 3);
  EXPECT_EQ(while_loading, loaded.StationList.Text());

  TRecordingViews views3;
  TStationStore saving(views3);
  ASSERT_TRUE(saving.BeginLoadStations(path));
  saving.SaveStationsInBackground(saved_path);
  saving.SaveStations(saved_path + "2");
  EXPECT_EQ(saving.StationList.Count(), 0);
  EXPECT_TRUE(views3.calls.empty());
  for (const std::string& file : {saved_path, saved_path + "2"}) {
    TStationStore reloaded(views3);
    ASSERT_TRUE(reloaded.LoadStations(file));
    EXPECT_EQ(reloaded.StationList.Text(), store.StationList.Text());
    std::string text;
    LoadFileToString(text, file);
    EXPECT_EQ(text, store.StationList.Text());
  }
  std::filesystem::remove(saved_path + "2");

  ASSERT_TRUE(saving.BeginLoadStations(path));
  saving.DropLoadingStations();
  EXPECT_FALSE(saving.LoadingStations());
  EXPECT_FALSE(saving.LoadStationsPiece(10));
  std::filesystem::remove(path);
  std::filesystem::remove(saved_path);
  EXPECT_FALSE(saving.BeginLoadStations(path));
}

TEST_F(StationStore, ControlAndHighBytesSurviveTheStationFile) {
  std::string all_bytes;
  for (int c = 1; c < 256; ++c) all_bytes += static_cast<char>(c);
  TAprsInfo info = Position("N0CALL");
  info.Comment = all_bytes;
  info.Data = "!5230.00N/01315.00E>" + all_bytes;
  info.AprsTime = "09\r\n45z";
  info.Path = "WIDE1-1\r\nX";
  store.UpdateStation(info);
  ASSERT_TRUE(store.SetStatusText("AAprsN0CALL", [&] {
    std::string escaped;
    CsvEscape(">" + all_bytes, escaped);
    return escaped;
  }()));
  const std::string path =
      (std::filesystem::temp_directory_path() / "velmora_stn_bytes.dat").string();
  store.SaveStations(path);
  TRecordingViews views2;
  TStationStore loaded(views2);
  ASSERT_TRUE(loaded.LoadStations(path));
  std::filesystem::remove(path);
  ASSERT_EQ(loaded.StationList.Count(), 1);
  const std::string& line = loaded.StationList.Line(0);
  EXPECT_EQ(line, store.StationList.Line(0));
  auto unescaped = [&](int field) {
    std::string value, plain;
    CsvGetField(field, line, value);
    CsvUnescape(value, plain);
    return plain;
  };
  std::string comment;
  DosToAnsiUmlauts(all_bytes, comment);
  EXPECT_EQ(unescaped(sfComment), comment);
  EXPECT_EQ(unescaped(sfData), info.Data);
  EXPECT_EQ(unescaped(sfStatusText), ">" + all_bytes);
}

TEST_F(StationStore, AgingThousandsRemovesExactlyTheOldOnes) {
  for (int i = 0; i < 1200; ++i) {
    store.UpdateStation(Position("S" + std::to_string(i), "50", Noon() - i / MinsPerDay));
  }
  views.max_age_minutes = 600;
  // Every station that goes leaves each window, whether it goes with hundreds of others
  // (one pass over the list) or alone (looked up).
  const auto left = [&](const std::string& key) {
    for (const char* what : {"marker- ", "row- ", "places- ", "pick- ", "crosshair- "}) {
      if (std::count(views.calls.begin(), views.calls.end(), what + key) != 1) return false;
    }
    return true;
  };
  views.calls.clear();
  store.AgeStations();
  // Heard 600 minutes ago or earlier: stations 600 to 1199.
  EXPECT_EQ(store.StationList.Count(), 600);
  EXPECT_GE(store.IndexOfStation("AAprsS599"), 0);
  EXPECT_LT(store.IndexOfStation("AAprsS600"), 0);
  EXPECT_TRUE(left("AAprsS600"));
  EXPECT_TRUE(left("AAprsS1199"));
  EXPECT_FALSE(left("AAprsS599"));
  EXPECT_EQ(views.station_counts.back(), 600);
  // What stays is in order and still found, and the time index holds only it.
  for (int i = 1; i < store.StationList.Count(); ++i) {
    EXPECT_LT(CompareText(store.StationList.Line(i - 1), store.StationList.Line(i)), 0);
  }
  for (int i = 0; i < 600; ++i) EXPECT_GE(store.IndexOfStation("AAprsS" + std::to_string(i)), 0);
  EXPECT_EQ(store.StationList.HeardBefore(static_cast<std::int64_t>(Ticks())).size(), 600u);
  // A station heard again is aged by its new time.
  store.UpdateStation(Position("S0", "51", Noon() - 700 / MinsPerDay));
  views.calls.clear();
  store.AgeStations();
  EXPECT_LT(store.IndexOfStation("AAprsS0"), 0);
  EXPECT_TRUE(left("AAprsS0"));
  EXPECT_EQ(store.StationList.Count(), 599);
}

// Beyond its bound the store lets the stations heard longest ago go as aging does, from
// every window, one for each new station; "Stn.dat" holds what stays, and a file of more
// stations (saved under another bound) is read for its newest, whole or in pieces.
TEST_F(StationStore, BeyondItsBoundTheStationsHeardLongestAgoGoFirst) {
  store.MaxStations = 3;
  for (const char* call : {"A", "B", "C"}) {
    store.UpdateStation(Position(call, "50", now));
    now += 1 / MinsPerDay;
  }
  // A, heard first, is heard again: B is now the one heard longest ago.
  store.UpdateStation(Position("A", "51", now));
  now += 1 / MinsPerDay;
  views.calls.clear();
  store.UpdateStation(Position("D", "50", now));
  EXPECT_EQ(store.StationList.Count(), 3);
  EXPECT_LT(store.IndexOfStation("AAprsB"), 0);
  for (const char* what : {"marker- ", "row- ", "places- ", "pick- ", "crosshair- "})
    EXPECT_EQ(std::count(views.calls.begin(), views.calls.end(), what + std::string("AAprsB")), 1)
        << what;
  EXPECT_EQ(views.open_batches, 0);
  EXPECT_EQ(views.station_counts.back(), 3);
  // A station heard again adds nothing, so takes none away; a repeat changes nothing a
  // save would write.
  now += 1 / MinsPerDay;
  std::uint64_t changes = store.Changes();
  store.UpdateStation(Position("C", "52", now));
  EXPECT_GE(store.IndexOfStation("AAprsA"), 0);
  EXPECT_NE(store.Changes(), changes);
  changes = store.Changes();
  store.UpdateStation(Position("C", "52", now));
  EXPECT_EQ(store.Changes(), changes);

  const std::string path =
      (std::filesystem::temp_directory_path() / "velmora_stn_bound.dat").string();
  store.SaveStations(path);
  const std::string saved = store.StationList.Text();
  EXPECT_EQ(saved.find("AAprsB"), std::string::npos);
  for (bool pieces : {false, true}) {
    TRecordingViews views2;
    TStationStore loaded(views2);
    loaded.Clock = store.Clock;
    loaded.Ticks = store.Ticks;
    loaded.MaxStations = 2;
    if (pieces) {
      ASSERT_TRUE(loaded.BeginLoadStations(path));
      while (loaded.LoadStationsPiece(1)) {
      }
    } else {
      ASSERT_TRUE(loaded.LoadStations(path));
    }
    // A, D and C were heard in this order.
    ASSERT_EQ(loaded.StationList.Count(), 2) << pieces;
    EXPECT_LT(loaded.IndexOfStation("AAprsA"), 0) << pieces;
    EXPECT_GE(loaded.IndexOfStation("AAprsC"), 0) << pieces;
    EXPECT_GE(loaded.IndexOfStation("AAprsD"), 0) << pieces;
  }
  std::filesystem::remove(path);
}

TEST_F(StationStore, AgingEveryStationEmptiesTheStoreAndEveryWindow) {
  for (int i = 0; i < 40; ++i) {
    store.UpdateStation(Position("S" + std::to_string(i), "50", Noon() - (60 + i) / MinsPerDay));
  }
  views.max_age_minutes = 30;
  views.calls.clear();
  store.AgeStations();
  EXPECT_EQ(store.StationList.Count(), 0);
  EXPECT_TRUE(store.StationList.HeardBefore(static_cast<std::int64_t>(Ticks())).empty());
  for (const std::string key : {"AAprsS0", "AAprsS39"}) {
    for (const char* what : {"marker- ", "row- ", "places- ", "pick- ", "crosshair- "}) {
      EXPECT_EQ(std::count(views.calls.begin(), views.calls.end(), what + key), 1) << what << key;
    }
  }
  EXPECT_EQ(views.station_counts.back(), 0);
  // The emptied store takes stations again; the counter changes with new stations only.
  store.UpdateStation(Position("NEW"));
  EXPECT_EQ(store.IndexOfStation("AAprsNEW"), 0);
  EXPECT_EQ(views.station_counts.back(), 1);
  const size_t shown = views.station_counts.size();
  store.UpdateStation(Position("NEW", "51"));
  EXPECT_EQ(Field("AAprsNEW", sfLat), "51");
  EXPECT_EQ(views.station_counts.size(), shown);
  // A line without a readable time is never aged: the rest goes, it stays.
  store.StationList.Add("\"AAprsBAD\";\"BAD\";\"\";\"50\";\"13\"");
  now = Noon() + 1;
  store.AgeStations();
  ASSERT_EQ(store.StationList.Count(), 1);
  EXPECT_EQ(store.IndexOfStation("AAprsBAD"), 0);
}

}  // namespace

#include "app/stations/station_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/stations/station_records.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "platform/text/sysutils.h"

namespace {

TEST(StationList, StaysSortedWhenLinesAreReplaced) {
  TStationList list;
  list.Add("\"AAprsB\";\"1\"");
  list.Add("\"AAprsa\";\"1\"");
  list.Add("\"AAprsC\";\"1\"");
  list.Add("\"AAprsC\";\"1\"");  // equal lines are not doubled
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Line(0), "\"AAprsa\";\"1\"");
  EXPECT_EQ(list.Replace(1, "\"AAprsB\";\"2\""), 1);
  EXPECT_EQ(list.Line(1), "\"AAprsB\";\"2\"");
  // A line that belongs elsewhere moves there.
  EXPECT_EQ(list.Replace(0, "\"AAprsD\";\"1\""), 2);
  EXPECT_EQ(list.Line(2), "\"AAprsD\";\"1\"");
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  list.Assign({"\"AAprsZ\"", "\"AAprsY\"", "\"AAprsY\""});
  EXPECT_EQ(list.Text(), "\"AAprsY\"\r\n\"AAprsZ\"\r\n");
}

// A new station's line goes where FindKey said its key would be, keys that begin alike
// (N1 and N10), differ in case or lie at either end included; a place the list has moved
// on from since, or any other wrong one, is not trusted: the list stays sorted.
TEST(StationList, LinesAddedAtTheirFoundPlaceKeepTheOrder) {
  TStationList list;
  TStationList plain;
  const auto line = [](const std::string& key) { return "\"" + key + "\";\"x\""; };
  for (const char* key : {"AAprsN1", "AAprsn10", "AAprsN100", "AAprsM", "AAprsO", "AAprsa"}) {
    int first = -1, last = -1, place = -1;
    list.FindKey(key, first, last, &place);
    ASSERT_EQ(first, -1) << key;
    ASSERT_GE(place, 0) << key;
    EXPECT_EQ(list.Add(line(key), place), place) << key;
    plain.Add(line(key));
    ASSERT_EQ(list.Text(), plain.Text()) << key;
  }
  int first = -1, last = -1, place = -1;
  list.FindKey("AAprsN2", first, last, &place);
  list.Add(line("AAprsN15"));
  plain.Add(line("AAprsN15"));
  list.Add(line("AAprsN2"), place);
  plain.Add(line("AAprsN2"));
  for (int wrong : {-1, 0, 3, list.Count(), list.Count() + 5}) {
    list.Add(line("AAprsN3" + std::to_string(wrong + 1)), wrong);
    plain.Add(line("AAprsN3" + std::to_string(wrong + 1)));
  }
  // A line already there is not doubled, whatever place comes with it.
  list.FindKey("AAprsO", first, last, &place);
  list.Add(line("AAprsO"), place);
  EXPECT_EQ(list.Text(), plain.Text());
}

// Lines are ordered by their first bytes where those differ and by the whole text where
// they do not: long keys alike in their beginning, case, a NUL, and lines shorter than
// the bytes compared must all end where a sort of the whole texts puts them.
TEST(StationList, LinesAlikeInTheirBeginningAreOrderedByTheWholeText) {
  const std::vector<std::string> lines = {"\"AAprsLONGNAME12345\";\"1\"",
                                          "\"AAprsLONGNAME1234\";\"1\"",
                                          "\"aaprsLONGNAME12344\";\"2\"",
                                          "\"AAPRSlongname12346\";\"3\"",
                                          "\"AAprsLONGNAME1234\";\"0\"",
                                          std::string("\"AA\0x\";\"1\"", 10),
                                          std::string("\"AA\0\";\"1\"", 9),
                                          "\"A\"",
                                          "\"AA",
                                          "\"AAprsB\"",
                                          "\"AAprsb\";\"1\"",
                                          "\"AAprsLONGNAME12345\";\"0\""};
  TStationList list;
  for (const std::string& line : lines) list.Add(line);
  std::vector<std::string> sorted = lines;
  std::stable_sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
  });
  ASSERT_EQ(list.Count(), static_cast<int>(sorted.size()));
  for (int i = 0; i < list.Count(); ++i)
    EXPECT_EQ(list.Line(i), sorted[static_cast<size_t>(i)]) << i;
  int first = -1, last = -1;
  list.FindKey("AAprsLONGNAME1234", first, last);
  EXPECT_EQ(last - first, 1);
  EXPECT_EQ(list.Line(first), "\"AAprsLONGNAME1234\";\"0\"");
  list.FindKey("aaprslongname12345", first, last);
  EXPECT_EQ(list.Line(last), "\"AAprsLONGNAME12345\";\"1\"");
  // Replaced in place when it keeps the order, moved when it does not.
  EXPECT_EQ(list.Replace(first, "\"AAprsLONGNAME12345\";\"00\""), first);
  const int moved = list.Replace(first, "\"AAprsLONGNAME12347\";\"1\"");
  EXPECT_EQ(list.Line(moved), "\"AAprsLONGNAME12347\";\"1\"");
  for (int i = 1; i < list.Count(); ++i) EXPECT_LT(CompareText(list.Line(i - 1), list.Line(i)), 0);
}

// The index by time last heard is what aging reads: after stations heard again (many in
// the same second), lines deleted one by one and in bulk, and two lines of one key, it
// must hold exactly the time and key of every line.
TEST(StationList, TheTimeIndexFollowsEveryLine) {
  TStationList list;
  list.HeardTicks = MsOf;
  auto line = [](const std::string& key, TDateTime heard, const std::string& rest) {
    return "\"" + key + "\";\"" + rest + "\";\"\";\"1\";\"2\";\"47\";\"62\";\"63\";\"65\";\"" +
           StampAt(heard) + "\"";
  };
  auto key = [](int n) { return "AAprsN" + std::to_string(n); };
  for (int n = 0; n < 1200; ++n) list.Add(line(key(n), Noon() - (n % 7) / SecsPerDay, "x"));
  // Two lines of one key, heard at the same time.
  list.Add(line(key(5), Noon() - 5 / SecsPerDay, "y"));
  for (int n = 0; n < 1200; n += 3) {
    int first = -1, last = -1;
    list.FindKey(key(n), first, last);
    list.Replace(first, line(key(n), Noon() + (n % 11) / SecsPerDay, "x"));
  }
  for (int n = 1; n < 1200; n += 10) {
    int first = -1, last = -1;
    list.FindKey(key(n), first, last);
    list.Delete(first);
  }
  std::vector<std::string> gone;
  for (int n = 2; n < 1200; n += 4) gone.push_back(key(n));
  list.DeleteKeys(gone);

  std::vector<std::pair<std::int64_t, std::string>> expected;
  for (int i = 0; i < list.Count(); ++i) {
    expected.emplace_back(MsOf(StampToDateTime(std::string(CsvFieldView(9, list.Line(i))))),
                          std::string(CsvFieldView(0, list.Line(i))));
  }
  std::sort(expected.begin(), expected.end());
  auto indexed = list.HeardBefore(MsOf(Noon() + 1));
  std::sort(indexed.begin(), indexed.end());
  EXPECT_EQ(indexed, expected);
  EXPECT_EQ(std::count_if(indexed.begin(), indexed.end(),
                          [&](const auto& entry) { return entry.second == key(5); }),
            2);
}

TEST(StationList, ThousandsOfLinesStaySortedAndFoundThroughAddsAndDeletes) {
  // Enough lines for many chunks, added in a scrambled order, some keys in lower case.
  TStationList list;
  list.HeardTicks = MsOf;
  std::vector<std::string> keys;
  for (int i = 0; i < 3000; ++i) {
    const int n = (i * 7919) % 3000;
    keys.push_back((n % 5 ? "AAprsN" : "AAprsn") + std::to_string(n));
    const TDateTime heard = Noon() - n / SecsPerDay;
    list.Add("\"" + keys.back() + "\";\"x\";\"\";\"1\";\"2\";\"47\";\"62\";\"63\";\"65\";\"" +
             StampAt(heard) + "\"");
  }
  auto check = [&list] {
    for (int i = 1; i < list.Count(); ++i)
      ASSERT_LT(CompareText(list.Line(i - 1), list.Line(i)), 0) << i;
  };
  check();
  ASSERT_EQ(list.Count(), 3000);
  for (const std::string& key : keys) {
    int first = -1, last = -1;
    list.FindKey(UpperCase(key), first, last);
    ASSERT_GE(first, 0) << key;
    EXPECT_EQ(first, last);
    int csvFirst = -1, csvLast = -1;
    CsvFindRange(key, list, csvFirst, csvLast);
    EXPECT_EQ(first, csvFirst) << key;
  }
  int first = -1, last = -1;
  list.FindKey("AAprsN30000", first, last);
  EXPECT_EQ(first, -1);
  // Every other line goes; the rest stay sorted and the oldest are the ones heard first.
  for (int i = list.Count() - 1; i >= 0; i -= 2) list.Delete(i);
  check();
  EXPECT_EQ(list.Count(), 1500);
  const auto old = list.HeardBefore(MsOf(Noon() - 2900 / SecsPerDay));
  ASSERT_FALSE(old.empty());
  for (size_t i = 1; i < old.size(); ++i) EXPECT_LE(old[i - 1].first, old[i].first);
  for (const auto& [heard, key] : old) EXPECT_LE(heard, MsOf(Noon() - 2900 / SecsPerDay));
  list.Clear();
  EXPECT_TRUE(list.HeardBefore(MsOf(Noon())).empty());

  // Lines added after a clear (aging every station) take over the room of the cleared
  // ones, shorter and longer than they were: each keeps its own text, key and time.
  for (int n = 0; n < 2000; ++n) {
    const TDateTime heard = Noon() - (n % 13) / SecsPerDay;
    list.Add("\"AAprsM" + std::to_string(n) + "\";\"" +
             std::string(static_cast<size_t>(n % 97), 'y') +
             "\";\"\";\"1\";\"2\";\"47\";\"62\";\"63\";\"65\";\"" + StampAt(heard) + "\"");
  }
  check();
  ASSERT_EQ(list.Count(), 2000);
  std::vector<std::pair<std::int64_t, std::string>> expected;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string key(CsvFieldView(0, list.Line(i)));
    const int n = std::stoi(key.substr(key.find('M') + 1));
    EXPECT_EQ(CsvFieldView(1, list.Line(i)), std::string(static_cast<size_t>(n % 97), 'y'));
    const TDateTime heard = StampToDateTime(std::string(CsvFieldView(9, list.Line(i))));
    EXPECT_NEAR(heard, Noon() - (n % 13) / SecsPerDay, 1e-9);
    expected.emplace_back(MsOf(heard), key);
  }
  auto indexed = list.HeardBefore(MsOf(Noon() + 1));
  std::sort(indexed.begin(), indexed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(indexed, expected);
}

}  // namespace

#include "core/my_tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/shell.h"
#include "platform/sys/application.h"
#include "platform/sys/files.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/decimal_separator_guard.h"
#include "platform/text/format.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"

namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("velmora-my-tools-" + name)).string();
}

}  // namespace

TEST(MyToolsTimeStamp, NowToStampReadsBackAsNowToTheSecond) {
  const TDateTime before = std::floor(Now() * SecsPerDay) / SecsPerDay;
  std::string stamp;
  NowToStamp(stamp);
  const TDateTime after = Now();
  ASSERT_EQ(stamp.size(), 12u);
  const TDateTime read = StampToDateTime(stamp);
  EXPECT_GE(read, before - 0.5 / MSecsPerDay);
  EXPECT_LE(read, after);
}

TEST(MyToolsTimeStamp, FieldsAndTheFiftyYearCenturyWindow) {
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss", StampToDateTime("070601143005")),
            "01.06.2007 14:30:05");
  int year = 0, month = 0, day = 0;
  DecodeDate(Now(), year, month, day);
  // Fifty years back is the oldest year a stamp can name; one more lands in the future.
  const auto stampYear = [](int y) { return Format("%0.2d", y % 100) + "0101000000"; };
  DecodeDate(StampToDateTime(stampYear(year - 50)), year, month, day);
  int now = 0;
  DecodeDate(Now(), now, month, day);
  EXPECT_EQ(year, now - 50);
  DecodeDate(StampToDateTime(stampYear(now - 51)), year, month, day);
  EXPECT_EQ(year, now + 49);
}

TEST(MyToolsTimeStamp, MalformedStampsRaiseConvertErrors) {
  for (const char* bad : {"", "0706011430", "07060114300", "0706011430051", "07x601143005",
                          " 70601143005", "071301143005", "070230143005", "070601243005",
                          "070601146005", "070601143060", "070600143005", "-70601143005"}) {
    EXPECT_THROW(StampToDateTime(bad), EConvertError) << bad;
    EXPECT_FALSE(TryStampToDateTime(bad).has_value()) << bad;
  }
  EXPECT_EQ(TryStampToDateTime("070601143005"), StampToDateTime("070601143005"));
}

TEST(MyToolsDelayMs, WaitsAtLeastTheTimeWhileEventsKeepRunning) {
  bool queuedRan = false;
  QueueCall([&] { queuedRan = true; });
  const std::uint64_t start = GetTickCount();
  DelayMs(30);
  EXPECT_GE(GetTickCount() - start, 30u);
  EXPECT_TRUE(queuedRan);
}

TEST(MyToolsMatchWildcard, StarsAtTheEndsOnly) {
  EXPECT_TRUE(MatchWildcard("N0CALL-9", "N0*"));
  EXPECT_TRUE(MatchWildcard("N0CALL-9", "*-9"));
  EXPECT_TRUE(MatchWildcard("N0CALL-9", "*CAL*"));
  EXPECT_TRUE(MatchWildcard("N0CALL-9", "CAL"));
  EXPECT_TRUE(MatchWildcard("n0call-9", "n0*"));
  EXPECT_TRUE(MatchWildcard("N0CALL-9", "*call*"));
  EXPECT_TRUE(MatchWildcard("N0CALL-9", "*"));
  EXPECT_TRUE(MatchWildcard("N0CALL-9", "**"));
  EXPECT_FALSE(MatchWildcard("N0CALL-9", ""));
  EXPECT_FALSE(MatchWildcard("", "*"));
  EXPECT_FALSE(MatchWildcard("N0CALL-9", "*-8"));
  EXPECT_FALSE(MatchWildcard("N0CALL-9", "CALL*"));  // a prefix, and it is not one
  EXPECT_FALSE(MatchWildcard("N0CALL-9", "N0*-9"));  // an inner star is a plain '*'
  EXPECT_TRUE(MatchWildcard("N0*-9X", "N0*-9"));
}

TEST(MyToolsNumbers, IntegerAndFloatChecksTakeEitherSeparator) {
  EXPECT_TRUE(IsInteger("-42"));
  EXPECT_FALSE(IsInteger("4.2"));
  EXPECT_FALSE(IsInteger(""));
  EXPECT_FALSE(IsInteger("99999999999"));
  for (char separator : {'.', ','}) {
    DecimalSeparatorGuard guard(separator);
    EXPECT_TRUE(IsFloat("3,5"));
    EXPECT_TRUE(IsFloat("3.5"));
    EXPECT_DOUBLE_EQ(StrToFloatSafe("3,5"), 3.5);
    EXPECT_DOUBLE_EQ(StrToFloatSafe("-0.25"), -0.25);
  }
  EXPECT_FALSE(IsFloat(""));
  EXPECT_FALSE(IsFloat("abc"));
  EXPECT_FALSE(IsFloat("1.2.3"));
  EXPECT_EQ(StrToFloatSafe("abc"), 0.0);
  EXPECT_EQ(StrToFloatSafe(""), 0.0);
}

TEST(MyToolsTexts, CharactersReplacedRemovedAndConverted) {
  std::string s = "a.b.c";
  ReplaceChar('.', ',', s);
  EXPECT_EQ(s, "a,b,c");
  RemoveChar(',', s);
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(BlankControlChars(std::string("a\r\nb\x07\x08\x1F\x20\x7F\xE4", 10)),
            "a  b    \x7F\xE4");
  std::string r = "stale";
  DosToAnsiUmlauts("\x84\x8E\x94\x99\x81\x9A\xE1 x", r);
  EXPECT_EQ(r, "\xE4\xC4\xF6\xD6\xFC\xDC\xDF x");
  HexWithXorSum("AB", r);
  EXPECT_EQ(r, "[4142FC]");
  HexWithXorSum("", r);
  EXPECT_EQ(r, "[FF]");
  UrlEncode("a b", r);
  EXPECT_EQ(r, "a%20b");
  UrlEncode("\xE4-Z9", r);
  EXPECT_EQ(r, "%E4%2DZ9");
}

TEST(MyToolsTexts, PiecesByOneBasedPosition) {
  std::string r = "stale";
  CopyFrom("N0CALL-9", 7, r);
  EXPECT_EQ(r, "-9");
  CopyFrom("N0CALL-9", 9, r);
  EXPECT_EQ(r, "");
  CopyFrom("N0CALL-9", 0, r);
  EXPECT_EQ(r, "N0CALL-9");
  FirstToken("070601143005:N0CALL>APRS", 1, ':', r);
  EXPECT_EQ(r, "070601143005");
  FirstToken("a:bc\r\nd", 3, ':', r);
  EXPECT_EQ(r, "bc");
  FirstToken("a:bc", 3, ';', r);
  EXPECT_EQ(r, "bc");
  FirstToken("abc", 10, ':', r);
  EXPECT_EQ(r, "");
  CallWithoutSsid(" N0CALL-9 ", r);
  EXPECT_EQ(r, "N0CALL");
  CallWithoutSsid("N0CALL", r);
  EXPECT_EQ(r, "N0CALL");
}

TEST(MyToolsServerAddress, HostAndPortWithAndWithoutComment) {
  std::string host;
  HostOfAddress("rotate.aprs.net:14580 ;Europe, rotating", host);
  EXPECT_EQ(host, "rotate.aprs.net");
  EXPECT_EQ(PortOfAddress("rotate.aprs.net:14580 ;Europe, rotating"), 14580);
  HostOfAddress("rotate.aprs.net;no port", host);
  EXPECT_EQ(host, "rotate.aprs.net");
  EXPECT_EQ(PortOfAddress("rotate.aprs.net;no port"), -1);
  EXPECT_EQ(PortOfAddress("rotate.aprs.net:14580"), 14580);
  EXPECT_EQ(PortOfAddress("host:port;x:1"), -1);
  EXPECT_EQ(PortOfAddress(""), -1);
  HostOfAddress("", host);
  EXPECT_EQ(host, "");
}

TEST(MyToolsBits, NibblesAndBits) {
  std::uint8_t b = 0xA5;
  SetLowNibble(b, 0x3C);
  EXPECT_EQ(b, 0xAC);
  SetHighNibble(b, 0xF1);
  EXPECT_EQ(b, 0x1C);
  EXPECT_EQ(LowNibble(0xC0), 0);
  EXPECT_EQ(HighNibble(0xC0), 12);
  std::string s;
  LowNibbleHex(0x3B, s);
  EXPECT_EQ(s, "B");
  HighNibbleHex(0x3B, s);
  EXPECT_EQ(s, "3");
  EXPECT_TRUE(BitIsSet(0x80, 7));
  EXPECT_TRUE(BitIsClear(0x80, 0));
  EXPECT_FALSE(BitIsSet(0xFF, 8));
  EXPECT_FALSE(BitIsSet(0xFF, -1));
  EXPECT_TRUE(BitIsClear(0xFF, 8));
}

TEST(MyToolsFiles, LoadFileToStringIsByteForByteAndClearReadOnly) {
  const std::string path = TempPath("bytes");
  std::string bytes;
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  bytes += "\r\n\x1A tail";
  std::ofstream(path, std::ios::binary) << bytes;
  std::string read;
  LoadFileToString(read, path);
  EXPECT_EQ(read, bytes);
  FileSetReadOnly(path, true);
  ClearReadOnly(path);
  EXPECT_FALSE(FileIsReadOnly(path));
  DeleteFile(path);
  EXPECT_THROW(LoadFileToString(read, path), EFOpenError);
}

#include "platform/text/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/text/decimal_separator_guard.h"
#include "platform/text/sysutils.h"

TEST(Format, ProgramPatterns) {
  EXPECT_EQ(Format("fm %s to %s via %s ctl %s pid %s", "N0CALL", std::string("APRS"), "WIDE1-1",
                   "UI", IntToHex(0xF0, 2)),
            "fm N0CALL to APRS via WIDE1-1 ctl UI pid F0");
  EXPECT_EQ(Format("%s>%s:%s", "N0CALL", "APRS", "!4903.50N/07201.75W-"),
            "N0CALL>APRS:!4903.50N/07201.75W-");
  EXPECT_EQ(Format("%0.3d/%0.3dg%0.3d", 90, 5, 12), "090/005g012");
  EXPECT_EQ(Format("h%0.2d", 7), "h07");
  EXPECT_EQ(Format("r%0.3dp%0.3d", 0, 123), "r000p123");
  EXPECT_EQ(Format("b%0.5d", 10132), "b10132");
  EXPECT_EQ(Format("&#%d;", 8364), "&#8364;");
  EXPECT_EQ(Format("no directives"), "no directives");
  EXPECT_EQ(Format("100%%"), "100%");
}

TEST(Format, IntegerWidthsPrecisionsAndFlags) {
  EXPECT_EQ(Format("[%5d]", 42), "[   42]");
  EXPECT_EQ(Format("[%-5d]", 42), "[42   ]");
  EXPECT_EQ(Format("[%05d]", 42), "[00042]");
  EXPECT_EQ(Format("[%05d]", -42), "[-0042]");
  EXPECT_EQ(Format("[%0.3d]", -7), "[-007]");
  EXPECT_EQ(Format("[%.2d]", 123), "[123]");
  EXPECT_EQ(Format("[%6.3d]", 5), "[   005]");
  EXPECT_EQ(Format("[%06.3d]", 5), "[   005]");  // a precision turns zero padding off
  EXPECT_EQ(Format("[%2d]", 12345), "[12345]");  // never cut
  EXPECT_EQ(Format("%d %d", INT64_MIN, UINT64_MAX), "-9223372036854775808 18446744073709551615");
  EXPECT_EQ(Format("%u", -1), "4294967295");
  EXPECT_EQ(Format("%d", uint8_t{200}), "200");
}

TEST(Format, Hex) {
  EXPECT_EQ(Format("%x %X", 255, 255), "ff FF");
  EXPECT_EQ(Format("[%4X] [%.4X] [%-4x]", 255, 255, 10), "[  FF] [00FF] [a   ]");
  EXPECT_EQ(Format("%X", -1), "FFFFFFFF");
  EXPECT_EQ(Format("%X", int8_t{-1}), "FF");
  EXPECT_EQ(Format("%X", int64_t{-2}), "FFFFFFFFFFFFFFFE");
}

TEST(Format, Floats) {
  EXPECT_EQ(Format("%f", 3.14159), "3.141590");
  EXPECT_EQ(Format("%.2f", 3.14159), "3.14");
  EXPECT_EQ(Format("%0.1f hPa", 1013.26), "1013.3 hPa");
  EXPECT_EQ(Format("%0.1f hPa", 1013.25), "1013.2 hPa");
  EXPECT_EQ(Format("%.1f %.1f", 0.25, 0.35), "0.2 0.3");  // exact halves go to even; 0.35 is below
  EXPECT_EQ(Format("%.0f", 2.5), "2");
  EXPECT_EQ(Format("[%8.3f]", 3.14159), "[   3.142]");
  EXPECT_EQ(Format("[%-8.2f]", 3.14159), "[3.14    ]");
  EXPECT_EQ(Format("[%08.2f]", -3.14159), "[-0003.14]");
  EXPECT_EQ(Format("%e", 12345.678), "1.234568e+04");
  EXPECT_EQ(Format("%.2e", 0.000123), "1.23e-04");
  EXPECT_EQ(Format("%g %g %g", 0.0001, 1e-5, 123456789.0), "0.0001 1e-05 1.23457e+08");
  EXPECT_EQ(Format("%.3f", 2.0f), "2.000");
}

TEST(Format, FloatsUseTheDecimalSeparator) {
  DecimalSeparatorGuard comma(',');
  EXPECT_EQ(Format("%.1f", 3.14), "3,1");
  EXPECT_EQ(Format("%.1e", 31.4), "3,1e+01");
}

TEST(Format, TextsAndCharacters) {
  const std::string_view view = "view";
  EXPECT_EQ(Format("%s|%s|%s|%s", "c", std::string("str"), view, 'x'), "c|str|view|x");
  EXPECT_EQ(Format("[%6s] [%-6s]", "ab", "ab"), "[    ab] [ab    ]");
  EXPECT_EQ(Format("[%.3s] [%5.2s]", "abcdef", "abcdef"), "[abc] [   ab]");
  EXPECT_EQ(Format("[%06s]", "ab"), "[    ab]");  // zeros pad numbers only
  EXPECT_EQ(Format("%c%c", 'A', 66), "AB");
  EXPECT_EQ(Format("%s", std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(Format("%s", static_cast<const char*>(nullptr)), "");
  EXPECT_EQ(Format("%s\xE4", "\xFC"), "\xFC\xE4");
}

TEST(Format, MismatchedPatternsRaise) {
  EXPECT_THROW(Format("%d", "text"), EConvertError);
  EXPECT_THROW(Format("%s", 5), EConvertError);
  EXPECT_THROW(Format("%f", 5), EConvertError);
  EXPECT_THROW(Format("%d", 1.5), EConvertError);
  EXPECT_THROW(Format("%c", 1.5), EConvertError);
  EXPECT_THROW(Format("%d %d", 1), EConvertError);
  EXPECT_THROW(Format("%q", 1), EConvertError);
  EXPECT_THROW(Format("100%"), EConvertError);
  EXPECT_THROW(Format("%5"), EConvertError);
  EXPECT_THROW(Format("%99999999999d", 1), EConvertError);
  EXPECT_EQ(Format("%d", 1, 2, "extra"), "1");
  try {
    Format("x%dy", "no");
    FAIL();
  } catch (const EConvertError& error) {
    EXPECT_NE(std::string(error.what()).find("x%dy"), std::string::npos);
  }
}

#include "platform/text/sysutils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/text/decimal_separator_guard.h"

TEST(IntegerTexts, ToText) {
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToStr(LLONG_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(0x1234, 2), "1234");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int8_t{-1}, 1), "FF");
  EXPECT_EQ(IntToHex(uint8_t{0xAB}, 1), "AB");
  EXPECT_EQ(IntToHex(UINT64_MAX, 1), "FFFFFFFFFFFFFFFF");
}

TEST(IntegerTexts, FromText) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("  -17"), -17);
  EXPECT_EQ(StrToInt("+5"), 5);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("0x1f"), 31);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
  EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
  EXPECT_EQ(StrToInt("007"), 7);
  for (const char* bad : {"", " ", "12a", "2147483648", "-2147483649", "1 ", "-", "$", "0x", "1.5",
                          "abc", "$100000000", "99999999999999999999999"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(StrToInt(bad), EConvertError);
    EXPECT_EQ(StrToIntDef(bad, -99), -99);
    int value = 123;
    EXPECT_FALSE(TryStrToInt(bad, value));
    EXPECT_EQ(value, 123);
  }
  int value = 0;
  EXPECT_TRUE(TryStrToInt("14580", value));
  EXPECT_EQ(value, 14580);
}

TEST(FloatTexts, FromTextWithEitherSeparator) {
  EXPECT_DOUBLE_EQ(StrToFloat("3.5"), 3.5);
  EXPECT_DOUBLE_EQ(StrToFloat(" -0.25 "), -0.25);
  EXPECT_DOUBLE_EQ(StrToFloat("1e3"), 1000);
  EXPECT_DOUBLE_EQ(StrToFloat("2.5E-3"), 0.0025);
  EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("5."), 5);
  EXPECT_DOUBLE_EQ(StrToFloat("+7"), 7);
  EXPECT_THROW(StrToFloat("3,5"), EConvertError);
  {
    DecimalSeparatorGuard comma(',');
    EXPECT_DOUBLE_EQ(StrToFloat("3,5"), 3.5);
    EXPECT_THROW(StrToFloat("3.5"), EConvertError);
  }
  for (const char* bad : {"", " ", ".", "e5", "1e", "1e+", "1..2", "1.2.3", "abc", "inf", "nan",
                          "0x10", "1e999", "- 1", "1 2"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(StrToFloat(bad), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloatDef(bad, -1.5), -1.5);
    double value = 9;
    EXPECT_FALSE(TryStrToFloat(bad, value));
    EXPECT_EQ(value, 9);
  }
}

TEST(FloatTexts, ToText) {
  EXPECT_EQ(FloatToStr(3.5), "3.5");
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(-2.25), "-2.25");
  EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(1.5e-10), "1.5E-10");
  EXPECT_EQ(FloatToStr(0), "0");
  DecimalSeparatorGuard comma(',');
  EXPECT_EQ(FloatToStr(0.25), "0,25");
  EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(-123.456)), -123.456);
}

TEST(FloatTexts, FormatFloatPictures) {
  EXPECT_EQ(FormatFloat("0.00", 3.14159), "3.14");
  EXPECT_EQ(FormatFloat("#,##0", 1234567), "1,234,567");
  EXPECT_EQ(FormatFloat("#,##0.0", -1234.56), "-1,234.6");
  EXPECT_EQ(FormatFloat("0.0#", 2.5), "2.5");
  EXPECT_EQ(FormatFloat("0.0#", 2.567), "2.57");
  EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
  EXPECT_EQ(FormatFloat("000", 7), "007");
  EXPECT_EQ(FormatFloat("0", -0.4), "0");
  EXPECT_EQ(FormatFloat("0", 2.6), "3");
  EXPECT_EQ(FormatFloat("0.0 'km'", 3.14), "3.1 km");
  EXPECT_EQ(FormatFloat("\"~\"0", 3), "~3");
  DecimalSeparatorGuard comma(',');
  EXPECT_EQ(FormatFloat("0.00", 1.5), "1,50");
}

TEST(TextHelpers, Trimming) {
  EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim(std::string("\0 \x1F", 3)), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // the no-break space is text
}

TEST(TextHelpers, CaseMapping) {
  EXPECT_EQ(UpperCase("abc\xE4z"), "ABC\xE4Z");
  EXPECT_EQ(LowerCase("ABC\xC4Z"), "abc\xC4z");
  // äöüß š œ ž ÿ, × ÷ µ
  EXPECT_EQ(AnsiUpperCase("a\xE4\xF6\xFC\xDF\x9A\x9C\x9E\xFF\xD7\xF7\xB5"),
            "A\xC4\xD6\xDC\xDF\x8A\x8C\x8E\x9F\xD7\xF7\xB5");
  EXPECT_EQ(AnsiLowerCase("A\xC4\xD6\xDC\xDF\x8A\x8C\x8E\x9F\xD7\xF7\xB5"),
            "a\xE4\xF6\xFC\xDF\x9A\x9C\x9E\xFF\xD7\xF7\xB5");
}

TEST(TextHelpers, Comparing) {
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_EQ(CompareText("n0Call", "N0CALL"), 0);
  EXPECT_GT(CompareText("ab", "A"), 0);
  EXPECT_GT(CompareText("_", "a"), 0);  // letters fold to upper case before comparing
  EXPECT_GT(CompareStr("a", "B"), 0);
  EXPECT_GT(CompareStr("\xE4", "z"), 0);  // codes compare unsigned
  EXPECT_LT(CompareStr("a", "ab"), 0);
  EXPECT_TRUE(SameText("Wide1-1", "WIDE1-1"));
  EXPECT_FALSE(SameText("\xE4", "\xC4"));
}

TEST(TextHelpers, OneBasedPositions) {
  EXPECT_EQ(Pos("lo", "hello"), 4);
  EXPECT_EQ(Pos("h", "hello"), 1);
  EXPECT_EQ(Pos("", "x"), 0);
  EXPECT_EQ(Pos("x", ""), 0);
  EXPECT_EQ(Copy("hello", 2, 3), "ell");
  EXPECT_EQ(Copy("hello", 0, 2), "he");
  EXPECT_EQ(Copy("hello", 4, INT_MAX), "lo");
  EXPECT_EQ(Copy("hello", 6, 1), "");
  EXPECT_EQ(Copy("hello", 2, -1), "");
  EXPECT_EQ(Copy("hello", INT_MIN, 2), "he");

  std::string s = "hello";
  Delete(s, 2, 2);
  EXPECT_EQ(s, "hlo");
  Delete(s, 0, 1);
  Delete(s, 4, 1);
  Delete(s, 1, 0);
  EXPECT_EQ(s, "hlo");
  Delete(s, 2, INT_MAX);
  EXPECT_EQ(s, "h");

  s = "hello";
  Insert("XY", s, 1);
  EXPECT_EQ(s, "XYhello");
  Insert("!", s, 100);
  EXPECT_EQ(s, "XYhello!");
  Insert("<", s, -3);
  EXPECT_EQ(s, "<XYhello!");
  Insert("-", s, 3);
  EXPECT_EQ(s, "<X-Yhello!");
}

TEST(TextHelpers, Replacing) {
  EXPECT_EQ(StringReplace("a-b-c", "-", "+"), "a+b-c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
  EXPECT_EQ(StringReplace("%CR%x%cr%", "%cr%", "\r\n", rfReplaceAll | rfIgnoreCase), "\r\nx\r\n");
  EXPECT_EQ(StringReplace("%CR%", "%cr%", "\r\n", rfReplaceAll), "%CR%");
  EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa");
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
}

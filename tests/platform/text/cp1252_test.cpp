#include "platform/text/cp1252.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(Cp1252, EveryByteSurvivesTheTripThroughUtf16) {
  std::string all;
  for (int code = 0; code < 256; ++code) all += static_cast<char>(code);
  const std::u16string wide = Cp1252ToUtf16(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(Utf16ToCp1252(wide), all);
  // No two bytes share a UTF-16 unit.
  std::u16string sorted = wide;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST(Cp1252, MapsTheCodePageCharacters) {
  const std::u16string wide = Cp1252ToUtf16("A\x80\x8A\x9F\xE4\xDF\xFF");
  EXPECT_EQ(wide, u"A\u20AC\u0160\u0178\u00E4\u00DF\u00FF");
  for (const unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Cp1252ToUtf16(std::string(1, static_cast<char>(undefined)))[0], undefined);
  }
  EXPECT_EQ(Utf16ToCp1252(u"\u20AC \u2026 \u00FC"), "\x80 \x85 \xFC");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToCp1252(u"\u03A9x"), "?x");
  EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b");             // a surrogate pair is one character
  EXPECT_EQ(Utf16ToCp1252(std::u16string(1, u'\xD800')), "?");  // a lone half
  EXPECT_EQ(Utf16ToCp1252(u"\u0080"), "?");  // C1 controls that the code page uses otherwise
  EXPECT_EQ(Utf16ToCp1252(u""), "");
}

// The East Asian code pages through the C library's converters.
#include <gtest/gtest.h>

#include "platform/text/multibyte.h"

namespace {

TEST(MultiByte, OnlyTheEastAsianPages) {
  for (int page : {932, 936, 949, 950, 1361}) EXPECT_TRUE(IsMultiByteCodePage(page)) << page;
  for (int page : {0, 437, 1252, 65001}) EXPECT_FALSE(IsMultiByteCodePage(page)) << page;
  EXPECT_EQ(MultiByteToUtf16(1252, "abc"), u"");
  EXPECT_EQ(Utf16ToMultiByte(1252, u"abc"), "");
}

TEST(MultiByte, RoundTripAndDamage) {
  const std::u16string text = u"\u65E5\u672C\u8A9E ASCII";
  for (int page : {932, 936, 949, 950})
    EXPECT_EQ(MultiByteToUtf16(page, Utf16ToMultiByte(page, text)), text) << page;
  // A lone surrogate cannot be encoded; a lead byte without its trail cannot be decoded.
  EXPECT_EQ(Utf16ToMultiByte(932, std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");
  EXPECT_EQ(MultiByteToUtf16(950, "\xA4"), u"\uFFFD");
  // Long texts convert whole.
  const std::string many(100000, 'x');
  EXPECT_EQ(MultiByteToUtf16(932, many).size(), many.size());
}

}  // namespace

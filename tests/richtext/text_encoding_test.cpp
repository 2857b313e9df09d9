// Item texts by character, code-page conversion of every byte, and Unicode HTML text.
#include <gtest/gtest.h>

#include <string>

#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/base/unicode_html.h"

namespace {

std::string Raw(std::u16string_view text) {
  return WideStringToRawUnicode(text);
}

TEST(ItemText, UnicodeTextCountsTwoBytesACharacter) {
  std::string s = Raw(u"abcde");
  EXPECT_EQ(GetItemTextLength(s, rdioUnicodeText), 5);
  EXPECT_EQ(GetItemTextLength(s, 0), 10);
  EXPECT_EQ(CopyItemText(s, 2, 2, rdioUnicodeText), s.substr(2, 4));
  EXPECT_EQ(CopyItemText("abcde", 2, 2, 0), "bc");
}

TEST(ItemText, PositionsOutsideTheTextAreClamped) {
  EXPECT_EQ(CopyItemText("abc", 3, 100, 0), "c");
  EXPECT_EQ(CopyItemText("abc", 0, 2, 0), "a");
  EXPECT_EQ(CopyItemText("abc", 9, 2, 0), "");
  EXPECT_EQ(CopyItemText("abc", 1, -4, 0), "");
  std::string odd = Raw(u"ab") + "x";  // a stray byte is never half read
  EXPECT_EQ(CopyItemText(odd, 2, 5, rdioUnicodeText), Raw(u"b"));
  std::string s = "hello";
  DeleteItemText(s, 4, 50, 0);
  EXPECT_EQ(s, "hel");
  InsertItemText("XY", s, 99, 0);
  EXPECT_EQ(s, "helXY");
  std::string w = Raw(u"ac");
  InsertItemText(Raw(u"b"), w, 2, rdioUnicodeText);
  EXPECT_EQ(w, Raw(u"abc"));
  DeleteItemText(w, 1, 1, rdioUnicodeText);
  EXPECT_EQ(w, Raw(u"bc"));
}

TEST(ItemText, SpaceTestNeedsAZeroHighByteInUnicode) {
  EXPECT_TRUE(IsItemTextSpace("a b", 2, 0));
  EXPECT_FALSE(IsItemTextSpace("a b", 4, 0));
  EXPECT_TRUE(IsItemTextSpace(Raw(u"a b"), 2, rdioUnicodeText));
  EXPECT_FALSE(IsItemTextSpace(Raw(u"a\u2020b"), 2, rdioUnicodeText));  // low byte 0x20
}

TEST(ItemText, OddUnicodeByteLengthRaises) {
  EXPECT_NO_THROW(CheckUnicodeByteLength(4));
  try {
    CheckUnicodeByteLength(3);
    FAIL();
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Can't perform Unicode operation");
  }
}

TEST(CodePages, CharsetsMapToTheirCodePages) {
  EXPECT_EQ(CharsetToCodePage(ANSI_CHARSET), 1252);
  EXPECT_EQ(CharsetToCodePage(RUSSIAN_CHARSET), 1251);
  EXPECT_EQ(CharsetToCodePage(THAI_CHARSET), 874);
  EXPECT_EQ(CharsetToCodePage(MAC_CHARSET), CP_MACCP);
  EXPECT_EQ(CharsetToCodePage(OEM_CHARSET), CP_OEMCP);
  EXPECT_EQ(CharsetToCodePage(DEFAULT_CHARSET), CP_ACP);
  EXPECT_EQ(CharsetToCodePage(SYMBOL_CHARSET), CP_ACP);
  EXPECT_EQ(CharsetToLanguage(ANSI_CHARSET), 1033);
  EXPECT_EQ(CharsetToLanguage(BALTIC_CHARSET), 0);
  EXPECT_EQ(CharsetToLanguage(EASTEUROPE_CHARSET), 1024);
}

TEST(CodePages, EveryByteOfEverySingleBytePageSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(char(b));
  for (int page :
       {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, CP_ACP, CP_OEMCP, CP_MACCP}) {
    std::string raw = AnsiToRawUnicode(page, all);
    ASSERT_EQ(raw.size(), 512u) << page;
    EXPECT_EQ(RawUnicodeToAnsi(page, raw), all) << page;
  }
}

TEST(CodePages, KnownCharactersConvert) {
  EXPECT_EQ(AnsiToRawUnicode(1252, "\x80\xE9"), Raw(u"\u20AC\u00E9"));
  EXPECT_EQ(AnsiToRawUnicode(1251, "\xC0"), Raw(u"\u0410"));
  EXPECT_EQ(RawUnicodeToAnsi(1251, Raw(u"\u0416")), "\xC6");
  EXPECT_EQ(AnsiToUTF8(1252, "\xE9"), "\xC3\xA9");
  EXPECT_EQ(AnsiToUTF8(1252, ""), "");
  EXPECT_EQ(AnsiToRawUnicode(1252, ""), "");
}

TEST(CodePages, UnknownPagesFallBackToTheSystemPage) {
  EXPECT_EQ(AnsiToRawUnicode(99999, "\x80"), AnsiToRawUnicode(1252, "\x80"));
  EXPECT_EQ(RawUnicodeToAnsi(99999, Raw(u"\u20AC")), "\x80");
}

TEST(CodePages, EastAsianPagesTakeTwoBytesACharacter) {
  const std::string japanese = std::string("\x82\xA0") + "a\x93\xFA";
  EXPECT_EQ(AnsiToRawUnicode(932, japanese), Raw(u"\u3042a\u65E5"));
  EXPECT_EQ(AnsiToRawUnicode(936, "\xD6\xD0"), Raw(u"\u4E2D"));
  EXPECT_EQ(AnsiToRawUnicode(949, "\xB0\xA1"), Raw(u"\uAC00"));
  EXPECT_EQ(AnsiToRawUnicode(950, "\xA4\xA4"), Raw(u"\u4E2D"));
  EXPECT_EQ(AnsiToRawUnicode(1361, "\x88\x61"), Raw(u"\uAC00"));
  EXPECT_EQ(AnsiToRawUnicode(CharsetToCodePage(SHIFTJIS_CHARSET), "\x82\xA0"), Raw(u"\u3042"));
  EXPECT_EQ(AnsiToUTF8(936, "\xD6\xD0"), "\xE4\xB8\xAD");
  EXPECT_EQ(RawUnicodeToAnsi(932, Raw(u"\u3042a\u65E5")), japanese);
  EXPECT_EQ(RawUnicodeToAnsi(949, Raw(u"\uAC00")), "\xB0\xA1");
  // What a page lacks is one '?' a character; a cut character is one replacement and
  // does not swallow what follows.
  EXPECT_EQ(RawUnicodeToAnsi(932, Raw(u"\u00E9\U0001F600x")), "??x");
  EXPECT_EQ(AnsiToRawUnicode(932, "a\x82"), Raw(u"a\uFFFD"));
  EXPECT_EQ(AnsiToRawUnicode(936, std::string("\xFF") + "b"), Raw(u"\uFFFDb"));
}

TEST(CodePages, UnconvertibleCharactersBecomeQuestionMarks) {
  EXPECT_EQ(RawUnicodeToAnsi(1252, Raw(u"a\u4E00b")), "a?b");
  EXPECT_EQ(RawUnicodeToAnsi(1252, Raw(u"\U0001F600")), "?");  // one pair, one character
  EXPECT_EQ(RawUnicodeToAnsi(1252, Raw(u"ab") + "c"), "ab");   // odd trailing byte
  EXPECT_EQ(RawUnicodeToUTF8(Raw(u"\U0001F600")), "\xF0\x9F\x98\x80");
  std::string lone = Raw(u"x");
  AppendRawUnicode(lone, 0xD800);
  EXPECT_EQ(RawUnicodeToUTF8(lone), "x\xEF\xBF\xBD");
}

TEST(CodePages, ByteOrderMarks) {
  std::string s = "\xFF\xFE" + Raw(u"A");
  size_t offset = 0;
  SkipUnicodeBOM(s, offset, 2);
  EXPECT_EQ(offset, 2u);
  EXPECT_EQ(s.substr(2), Raw(u"A"));
  std::string swapped = std::string("\xFE\xFF\x00\x41", 4);
  offset = 0;
  SkipUnicodeBOM(swapped, offset, 2);
  EXPECT_EQ(offset, 2u);
  EXPECT_EQ(swapped.substr(2), Raw(u"A"));
  std::string none = Raw(u"B");
  offset = 0;
  SkipUnicodeBOM(none, offset, 1);
  EXPECT_EQ(offset, 0u);
  EXPECT_EQ(FindWideChar(Raw(u"abc"), 0, u'c', 3), 4u);
  EXPECT_EQ(FindWideChar(Raw(u"abc"), 0, u'c', 2), std::string_view::npos);
}

TEST(CodePages, LocaleIdentifiers) {
  EXPECT_EQ(MakeLanguageID(0x09, 1), 0x0409u);
  EXPECT_EQ(MakeLocaleID(0x0409, 1), 0x10409u);
  EXPECT_EQ(LanguageToLocaleID(0x07), 0x0407u);
}

TEST(UnicodeHtml, SurrogatePairsAreOneReference) {
  std::string html;
  std::string text = Raw(u"a\U0001F600");
  AppendRawUnicode(text, 0xDC00);
  RawUnicodeToHTMLEntities(text, false, html, false);
  EXPECT_EQ(html, "a&#128512;&#65533;");
}

TEST(UnicodeHtml, SpacesAndEntities) {
  std::string out;
  RawUnicodeToHTMLEntities(Raw(u"a  b"), false, out, false);
  EXPECT_EQ(out, "a &nbsp;b");
  out.clear();
  // Latin-1 letters by name (some readers take a reference below 256 for a byte of the
  // page's code page); XML has no names.
  RawUnicodeToHTMLEntities(Raw(u"\u00E9\u00FF\u0100"), false, out, false);
  EXPECT_EQ(out, "&eacute;&yuml;&#256;");
  out.clear();
  RawUnicodeToHTMLEntities(Raw(u"\u00E9"), false, out, true);
  EXPECT_EQ(out, "&#233;");
  out.clear();
  RawUnicodeToHTMLEntities(Raw(u" <x> "), false, out, false);
  EXPECT_EQ(out, "&nbsp;&lt;x&gt;&nbsp;");
  out.clear();
  RawUnicodeToHTMLEntities(Raw(u"a&\u00A0"), true, out, false);
  EXPECT_EQ(out, "a&&nbsp;");
}

// No markup can carry controls other than tab and line ends, nor U+FFFE and U+FFFF, not
// even as references: they are left out.
TEST(UnicodeHtml, CharactersMarkupCannotCarryAreLeftOut) {
  const std::string text = Raw(u"a\u0001\t\u001F\uFFFEb\uFFFF\r\n");
  for (bool xml : {false, true}) {
    std::string entities, utf8;
    RawUnicodeToHTMLEntities(text, false, entities, xml);
    RawUnicodeToHTMLUTF8(text, false, utf8, xml);
    EXPECT_EQ(entities, "a\tb\r\n");
    EXPECT_EQ(utf8, "a\tb\r\n");
  }
}

TEST(UnicodeHtml, Utf8KeepsOrdinaryRuns) {
  std::string out;
  RawUnicodeToHTMLUTF8(Raw(u" \u00E9 & \u00E9  x "), false, out, false);
  EXPECT_EQ(out, "&nbsp;\xC3\xA9 &amp; \xC3\xA9 &nbsp;x&nbsp;");
  out.clear();
  RawUnicodeToHTMLUTF8(Raw(u"<\u00E9>"), true, out, false);
  EXPECT_EQ(out, "<\xC3\xA9>");
  out.clear();
  RawUnicodeToHTMLUTF8(Raw(u" \u00A0x"), false, out, true);
  EXPECT_EQ(out, "&#160;&#160;x");
}

}  // namespace

// Reading what a paste or a drop brings: the viewers' block refused when its length
// claims more than came, the folder of an HTML source, links of a URI list, UTF-8 text.
#include <gtest/gtest.h>

#include <string>

#include "richtext_edit/edit/pasted_data.h"

namespace {

std::string Block(std::uint32_t length, const std::string& body) {
  std::string block(4, '\0');
  for (int i = 0; i < 4; ++i) block[size_t(i)] = char(length >> (8 * i));
  return block + body;
}

std::string Units(std::initializer_list<char16_t> units) {
  std::string out;
  for (char16_t u : units) {
    out.push_back(char(u & 0xFF));
    out.push_back(char(u >> 8));
  }
  return out;
}

}  // namespace

TEST(PastedData, TheBlockGivesItsDocumentOnlyWhenAllOfItCame) {
  std::string doc;
  EXPECT_TRUE(RichDocBlockDocument(Block(3, "abcdef"), doc));
  EXPECT_EQ(doc, "abc");
  EXPECT_TRUE(RichDocBlockDocument(Block(0, ""), doc));
  EXPECT_EQ(doc, "");
  // A length beyond the bytes is a cut-off document: refused, nothing read past them.
  EXPECT_FALSE(RichDocBlockDocument(Block(7, "abcdef"), doc));
  EXPECT_EQ(doc, "");
  EXPECT_FALSE(RichDocBlockDocument(Block(0xFFFFFFFFu, "ab"), doc));
  EXPECT_FALSE(RichDocBlockDocument(std::string("\x02\x00\x00", 3), doc));
  EXPECT_FALSE(RichDocBlockDocument("", doc));
}

TEST(PastedData, TheHtmlSourceNamesTheFolderOfPictures) {
  EXPECT_EQ(HtmlSourceBasePath("Version:0.9\r\nSourceURL:file://C:/docs/a.htm\r\n<html>"),
            "C:/docs/");
  EXPECT_EQ(HtmlSourceBasePath("SourceURL:FILE:///home/ann/web/page.html\n"), "/home/ann/web/");
  EXPECT_EQ(HtmlSourceBasePath("SourceURL:http://example.org/news/today.html"),
            "http://example.org/news/");
  EXPECT_EQ(HtmlSourceBasePath(std::string("SourceURL:/srv/x/y.htm\0junk/z", 29)), "/srv/x/");
  EXPECT_EQ(HtmlSourceBasePath("<html><body>no header</body></html>"), "");
  EXPECT_EQ(HtmlSourceBasePath("SourceURL:nofolder.htm"), "");
}

TEST(PastedData, LinksAreTheListsEntriesThatNameNoLocalFile) {
  EXPECT_EQ(DroppedLinks("# comment\r\nfile:///tmp/a.txt\r\nhttp://example.org/\r\n\r\n"
                         "  https://example.net/x?y=1  \n"),
            (std::vector<std::string>{"http://example.org/", "https://example.net/x?y=1"}));
  EXPECT_TRUE(DroppedLinks("FILE:///only/files\n").empty());
  EXPECT_TRUE(DroppedLinks("").empty());
}

TEST(PastedData, Utf8BecomesUtf16AndMalformedSequencesAReplacementCharacter) {
  EXPECT_EQ(UTF8ToRawUnicode("Ab"), Units({u'A', u'b'}));
  EXPECT_EQ(UTF8ToRawUnicode("\xC3\xA9\xE2\x82\xAC"), Units({0x00E9, 0x20AC}));
  EXPECT_EQ(UTF8ToRawUnicode("\xF0\x9F\x93\xA1"), Units({0xD83D, 0xDCE1}));
  // Cut off, overlong, a lone continuation byte, an encoded surrogate.
  EXPECT_EQ(UTF8ToRawUnicode("\xE2\x82"), Units({0xFFFD}));
  EXPECT_EQ(UTF8ToRawUnicode("\xC0\xAF"
                             "a"),
            Units({0xFFFD, 0xFFFD, u'a'}));
  EXPECT_EQ(UTF8ToRawUnicode("\x80z"), Units({0xFFFD, u'z'}));
  EXPECT_EQ(UTF8ToRawUnicode("\xED\xA0\x80"), Units({0xFFFD}));
}

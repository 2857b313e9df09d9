#include "html/html_text.h"

#include <gtest/gtest.h>

namespace {

TEST(HtmlColor, NamesInAnyCaseAndSystemNamesAfterThePlainOnes) {
  EXPECT_EQ(HtmlColorByName("clRed"), 0x0000FF);
  EXPECT_EQ(HtmlColorByName("CLRED"), 0x0000FF);
  EXPECT_EQ(HtmlColorByName("clNavy"), 0x800000);
  EXPECT_EQ(HtmlColorByName("clHighlight"), clHighlight);
  EXPECT_EQ(HtmlColorByName("clInfoBk"), clInfoBk);
  EXPECT_EQ(HtmlColorByName("clBackground"), clSystemColor | 1);
  EXPECT_EQ(HtmlColorByName("clNone"), 0);
  EXPECT_EQ(HtmlColorByName("purple"), 0);
}

TEST(HtmlColor, HexIsRedGreenBlueInColourOrder) {
  EXPECT_EQ(HtmlColorFromHex("#FF0000"), 0x0000FF);
  EXPECT_EQ(HtmlColorFromHex("#0000FF"), 0xFF0000);
  EXPECT_EQ(HtmlColorFromHex("#12AB3C"), 0x3CAB12);
  EXPECT_EQ(HtmlColorFromHex("#FF00"), 0x0000FF);  // the missing pair reads 0
  EXPECT_EQ(HtmlColorFromHex("#"), 0);
  // Attribute values are read in any case.
  EXPECT_EQ(HtmlColor("#ff8000"), 0x0080FF);
  EXPECT_EQ(HtmlColor("clLime"), 0x00FF00);
}

TEST(HtmlTextRoutines, SearchReplaceAndNumbers) {
  EXPECT_EQ(PosText("img", "<IMG src>"), 2);
  EXPECT_EQ(PosText("x", "abc"), 0);
  std::string s = "a<Br>b<BR>";
  EXPECT_TRUE(ReplaceTextOnce("<br>", "|", s));
  EXPECT_EQ(s, "a|b<BR>");
  EXPECT_FALSE(ReplaceTextOnce("<hr>", "|", s));
  EXPECT_EQ(HtmlIntValue("42px"), 42);
  EXPECT_EQ(HtmlIntValue("px"), 0);
  EXPECT_EQ(HtmlIntValue(""), 0);
  EXPECT_EQ(HtmlIntValue("-3"), 0);
}

TEST(HtmlEntities, OnePassFromLeftToRight) {
  std::string s = "A &amp; B &QUOT;x&quot; &euro;5 &copy;&reg;&trade;&sect;&para;&permil;";
  DecodeHtmlEntities(s);
  EXPECT_EQ(s,
            "A && B \"x\" \x80"
            "5 \xA9\xAE\x99\xA7\xB6\x89");
  // What a decoded entity spells is not decoded again.
  std::string twice = "&amp;amp;";
  DecodeHtmlEntities(twice);
  EXPECT_EQ(twice, "&&amp;");
  std::string lt = "&amp;lt;";
  DecodeHtmlEntities(lt);
  EXPECT_EQ(DecodeRunEntities(lt), "&&lt;");
  EXPECT_EQ(DecodeRunEntities("a&lt;b&gt;c&nbsp;d &x"), "a<b>c d &x");
  std::string lone = "a & b &unknown;";
  DecodeHtmlEntities(lone);
  EXPECT_EQ(lone, "a & b &unknown;");
}

TEST(HtmlTextRoutines, HashTagAndLineBreaks) {
  EXPECT_EQ(OpenHashTag("x<#FF>y<#A>"), "x#FFy<#A>");
  EXPECT_EQ(OpenHashTag("plain"), "plain");
  EXPECT_EQ(LineBreaksToHtml("a\r\nb\r\nc", true), "a<BR>b<BR>c");
  EXPECT_EQ(LineBreaksToHtml("a\nb", true), "ab");
  EXPECT_EQ(LineBreaksToHtml("a\r\nb", false), "ab");
}

TEST(HtmlStrip, BreaksHiddenSpansAndTags) {
  EXPECT_EQ(HtmlStrip("<b>bold</b> one<br>two<HR>"), "bold one\r\ntwo\r\n");
  EXPECT_EQ(HtmlStrip("a<z>hidden</z>b<Z>more</Z>c"), "abc");
  // An unterminated hidden span hides the rest; the text before it stays once.
  EXPECT_EQ(HtmlStrip("before<Z>after"), "before");
  EXPECT_EQ(HtmlStrip("x &amp; y"), "x &amp; y");
  EXPECT_EQ(HtmlStrip("a<b"), "a<b");
  EXPECT_EQ(HtmlStrip("<IMG src=\"GPS\"><IND x=\"50\"><FONT size=\"12\">GPS</FONT>"), "GPS");
}

}  // namespace

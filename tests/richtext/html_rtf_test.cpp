// HTML and RTF pieces of the writers: escaping, Symbol entities, colours, attributes,
// fonts as CSS and tags, RTF escaping and Unicode RTF.
#include <gtest/gtest.h>

#include "richtext/base/code_pages.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/base/rtf_routines.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/text_style.h"

namespace {

TEST(HtmlEscaping, AmpersandsBracketsAndSpaces) {
  EXPECT_EQ(EscapeHTML("a<b & c", false, 0), "a&lt;b &amp; c");
  EXPECT_EQ(EscapeHTML("a<b & c", true, 0), "a<b & c");
  EXPECT_EQ(EscapeHTML("x    y", false, 0), "x&nbsp;&nbsp;&nbsp; y");
  EXPECT_EQ(EscapeHTML("x  y", false, rdsoXHTML), "x&#160; y");
  EXPECT_EQ(EscapeHTML("\"q\"", false, 0), "\"q\"");
}

TEST(HtmlSymbols, SymbolFontEntities) {
  EXPECT_EQ(SymbolToHTML("ab", 0), "&alpha;&beta;");
  EXPECT_EQ(SymbolToHTML("\xB7", 0), "&#8226;");
  EXPECT_EQ(SymbolToHTML("\xE2", 0), SymbolToHTML("\xD2", 0));
  EXPECT_EQ(SymbolToHTML("\x1F\xFF(\x27", 0), "(?");
  // Symbol has no characters at 0x80..0x9F: the byte is Windows-1252's (0x95 a bullet).
  EXPECT_EQ(SymbolToHTML("\x95\x7F", rdsoXHTML), "&#8226;");
  // Characters markup reserves are escaped; the degree sign is an entity too.
  EXPECT_EQ(SymbolToHTML("&<\xB0", 0), "&amp;&lt;&deg;");
  // XML knows no entity names: XHTML gets the characters' references.
  EXPECT_EQ(SymbolToHTML("a&\xB0", rdsoXHTML), "&#945;&amp;&#176;");
  std::string w = WideStringToRawUnicode(u"\uF061\u0062\u00FF");
  EXPECT_EQ(SymbolToHTMLW(w, 0), "&alpha;&beta;");
  EXPECT_EQ(SymbolToHTMLW(w, rdsoXHTML), "&#945;&#946;");
  EXPECT_THROW(SymbolToHTMLW("abc", 0), ERichDocError);
}

TEST(HtmlValues, ColoursCharsetsPathsAndAttributes) {
  EXPECT_EQ(ColorToHTMLString(clRed, false), "#FF0000");
  EXPECT_EQ(ColorToHTMLString(0x123456, true), "\"#563412\"");
  EXPECT_EQ(ColorToHTMLString(clNone, false), "");
  EXPECT_EQ(ColorToHTMLString(clWindowText, false), "#000000");
  EXPECT_EQ(ColorToCSS(clNone), "transparent");
  EXPECT_EQ(CodePageToHTMLCharsetName(1251), "Windows-1251");
  EXPECT_EQ(CodePageToHTMLCharsetName(CP_ACP), "Windows-1252");
  EXPECT_EQ(CodePageToHTMLCharsetName(12345), "Windows-1252");  // no converter: system page
  EXPECT_EQ(CodePageToHTMLCharsetName(932), "shift_jis");
  // A file's name is UTF-8: each character in the page's encoding where it has it, else
  // percent-encoded, as are a name's bytes that are not UTF-8 and what would end a link; a
  // backslash is part of a folder's name, which a browser would take for a separator.
  EXPECT_EQ(FilePathToHTML("/t/a\\b/\xE9.gif", 0, 1252), "/t/a%5Cb/%E9.gif");
  EXPECT_EQ(FilePathToHTML("\xE9", rdsoUTF8, 1252), "%E9");
  EXPECT_EQ(FilePathToHTML("/t/f\xC3\xBCr #1?%\".bmp", 0, 1252), "/t/f\xFCr%20%231%3F%25%22.bmp");
  EXPECT_EQ(FilePathToHTML("/t/f\xC3\xBCr.bmp", rdsoUTF8, 1252), "/t/f\xC3\xBCr.bmp");
  EXPECT_EQ(FilePathToHTML("/\xD0\x96/\xF0\x9F\x93\xA1", 0, 1252), "/%D0%96/%F0%9F%93%A1");
  EXPECT_EQ(FilePathToHTML("/\xD0\x96/\xF0\x9F\x93\xA1", 0, 1251), "/\xC6/%F0%9F%93%A1");
  EXPECT_EQ(HintToAttr(1, "a \"b\""), "title=\"a 'b'\"");
  EXPECT_EQ(HintToAttr(1, "q'uo\"te & <lt>\x01\t"), "title=\"q'uo'te &amp; &lt;lt&gt;&#9;\"");
  EXPECT_EQ(HintToAttr(2, "{x}\\\xE9"), "\\o \"_x__\\'e9\"");
  EXPECT_EQ(HintToAttr(3, "plain"), "plain");
  EXPECT_EQ(HintToAttr(1, ""), "");
  EXPECT_EQ(GetHTMLEmptyTagEnd(rdsoXHTML), " /");
  EXPECT_EQ(StrToHTMLAttr("x", rdsoXHTML), "\"x\"");
  EXPECT_EQ(StrToHTMLAttr("\"x\"", rdsoXHTML), "\"x\"");
  EXPECT_EQ(StrToHTMLAttr("x", 0), "x");
  EXPECT_EQ(FontSizeToHTMLSize(8), 1);
  EXPECT_EQ(FontSizeToHTMLSize(10), 2);
  EXPECT_EQ(FontSizeToHTMLSize(24), 6);
  EXPECT_EQ(FontSizeToHTMLSize(25), 7);
}

TEST(HtmlFonts, FontToCss) {
  TRDFont font;
  font.SetSize(10);
  font.Color = clBlack;
  EXPECT_EQ(FontToCSS(font, false), "font-size: 10pt; color: #000000;");
  font.Style = fsBold | fsUnderline | fsStrikeOut;
  font.Name = "wingdings";
  EXPECT_EQ(FontToCSS(font, true),
            "font-weight: bold; font-size: 10pt; font-family: 'Arial Unicode MS', 'Lucida Sans "
            "Unicode', 'Arial';"
            " text-decoration: underline line-through; color: #000000;");
}

TEST(HtmlFonts, TextStyleTags) {
  TFontInfo base(nullptr), style(nullptr);
  base.Style = fsItalic;
  style.Style = fsBold | fsUnderline;
  style.VShift = 3;
  style.Color = clRed;
  EXPECT_EQ(FontInfoOpenTags(style, base, true, 0), "<font color=\"#FF0000\"></i><b><u><sup>");
  EXPECT_EQ(FontInfoCloseTags(style, base, true), "</sup></u></b><i></font>");
  EXPECT_EQ(FontInfoOpenTags(style, base, false, 0),
            "<font size=2 color=\"#FF0000\" face=\"Arial\"><b><u><sup>");
  EXPECT_EQ(FontInfoCloseTags(style, base, false), "</sup></u></b></font>");
}

TEST(HtmlFonts, FontNamesAreEscapedWhereverTheyGo) {
  TFontInfo style(nullptr), base(nullptr);
  style.FontName = "A\"B<C>&D'E\\";
  EXPECT_EQ(FontInfoOpenTags(style, base, false, 0),
            "<font size=2 color=\"#000000\" face=\"A&quot;B&lt;C&gt;&amp;D'E\\\">");
  EXPECT_EQ(CSSQuotedString(style.FontName), "'A\\22 B\\3C C\\3E \\26 D\\'E\\\\'");
  EXPECT_EQ(CSSQuotedString("A\x01\r\nB\x1F"), "'AB'");
  EXPECT_TRUE(style.GetCSS(nullptr, false, false).find("font-family: 'A\\22 B") !=
              std::string::npos);
  EXPECT_EQ(QuotedHTMLAttr("a&\"b"), "\"a&amp;&quot;b\"");
}

TEST(Rtf, Escaping) {
  std::string s = "a\x95\xA0\xE9";
  RTFEscapeHigh(s, true);
  EXPECT_EQ(s, "a\\bullet \\~\\'e9");
  EXPECT_EQ(RTFEscape("{x}\\", false, false), "\\{x\\}\\\\");
  EXPECT_EQ(RTFEscape("{x}", true, false), "{x}");
  EXPECT_EQ(RTFEscapeFieldText("c:\\a"), "c:\\\\\\\\a");
  EXPECT_EQ(RTFEscapeFieldText("{\"}"), "\\{\\\\\"\\}");
  EXPECT_EQ(RTFEscapeNoBraces("{a}\\"), "_a__");
  EXPECT_EQ(MakeRTFIdentifier("My Style-1"), "My_Style_1");
}

TEST(Rtf, UnicodeText) {
  EXPECT_EQ(RTFUnicodeText(WideStringToRawUnicode(u"\u00E9"), 1252, false, true), "\\u233 \\'e9");
  EXPECT_EQ(RTFUnicodeText(WideStringToRawUnicode(u"\uF041"), 1252, false, false), "\\u-4031 ");
  EXPECT_EQ(RTFUnicodeText(WideStringToRawUnicode(u"a{\u2014"), 1252, false, true),
            "a\\{\\emdash ");
  EXPECT_EQ(RTFUnicodeText(WideStringToRawUnicode(u"\u2014"), 1252, true, false), "\\u8212 ");
  EXPECT_EQ(RTFUnicodeText(WideStringToRawUnicode(u"\u4E00"), 1252, false, true), "\\u19968 ?");
  // A two-byte substitute: its length is announced before the character it stands for.
  EXPECT_EQ(RTFUnicodeText(WideStringToRawUnicode(u"\u4E00"), 936, false, true),
            "\\uc2\\u19968 \\'d2\\'bb\\uc1 ");
}

}  // namespace

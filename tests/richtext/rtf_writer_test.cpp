// The RTF writer: the header and its tables, paragraphs and character runs, lists, and
// the escaping of everything that comes from names and texts. The golden files were
// written by hand.
#include <gtest/gtest.h>

#include "richtext/base/rich_doc_error.h"
#include "richtext/styles/text_style.h"
#include "richtext/support/export_document.h"
#include "richtext/support/test_formatted_data.h"

namespace {

std::string Golden(const std::string& name) {
  TMemoryStream stream;
  stream.LoadFromFile(std::string(VELMORA_TEST_DATA) + "/richtext/export/" + name);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

void AddListStyle(TRDStyle& style, int levels, const std::string& format = "%0:s.") {
  TRDListInfo& list = style.ListStyles().Add();
  for (int i = 0; i < levels; ++i) {
    TRDListLevel& level = list.AddLevel();
    level.ListType = rdlstDecimal;
    level.FormatString = format;
    level.LeftIndent = 24 * (i + 1);
    level.FirstIndent = 0;
    level.MarkerIndent = 24 * i;
  }
}

void AddMarker(ExportDocument& doc, int counter, bool reset = false, int startFrom = 1) {
  auto marker = std::make_unique<ExportMarker>(&doc, 0, 0, counter, reset, startFrom);
  marker->ParaNo = 0;
  doc.AddItemAtEnd("", std::move(marker));
}

TEST(RTFWriter, DocumentMatchesTheGoldenFile) {
  ExportDocument doc;
  doc.Para("Hello ");
  doc.More("bold", kBold);
  doc.Para("Red {x}", kRed);
  doc.Para("H");
  doc.More("2", kSub);  // size 10 as subscript: twice the doubled size
  doc.More("O", kPlain);
  doc.UnicodePara(u"caf\u00e9");
  EXPECT_EQ(doc.RTF(), Golden("simple.rtf"));
}

TEST(RTFWriter, ListParagraphsMatchTheGoldenFile) {
  ExportDocument doc;
  AddListStyle(doc.style, 1);
  AddMarker(doc, 1);
  doc.More("One", kPlain);
  AddMarker(doc, 5, true, 5);
  doc.More("Two", kPlain);
  doc.Para("End");
  EXPECT_EQ(doc.RTF(), Golden("list.rtf"));
  // The same document gives the same bytes again: ids are counted, not drawn.
  EXPECT_EQ(doc.RTF(), doc.RTF());
}

TEST(RTFWriter, OrdinaryParagraphsOfOneStyleRepeatTheirProperties) {
  ExportDocument doc;
  doc.Para("a");
  doc.Para("b");
  const std::string rtf = doc.RTF();
  const std::string pard = "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0 ";
  const size_t first = rtf.find(pard);
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(rtf.find(pard, first + 1), std::string::npos);
}

TEST(RTFWriter, LineSpacingAndParagraphProperties) {
  ExportDocument doc;
  TParaInfo& para = doc.style.ParaStyles().Items(1);
  para.LineSpacing = 150;
  para.Alignment = rdaJustify;
  para.Options = rdpaoKeepLinesTogether | rdpaoKeepWithNext;
  para.BiDiMode = rdbdRightToLeft;
  para.Background.Color = clYellow;
  para.Tabs.Add(48, rdtaRight, "-");
  para.Border.Style = rdbThickInside;
  para.Border.Color = clRed;
  para.Border.Width = 1;
  para.Border.VisibleBorders.SetValues(false, true, false, true);
  doc.Para("a", kPlain, 0);
  doc.Para("b", kPlain, 1);
  const std::string rtf = doc.RTF();
  EXPECT_FALSE(Contains(rtf.substr(0, rtf.find("\\par ")), "\\sl"));  // 100 writes nothing
  EXPECT_TRUE(Contains(rtf,
                       "\\pard\\sl360\\slmult1\\keep\\keepn\\fi0\\li0\\tqr\\tlhyph\\tx720\\qj\\ri0"
                       "\\sb0\\sa0\\rtlpar\\cbpat7\\brdrbtw\\brdrthtnmg\\brdrcf6\\brdrw30"
                       "\\brdrt\\brsp0\\brdrthtnmg\\brdrcf6\\brdrw30"
                       "\\brdrb\\brsp0\\brdrtnthmg\\brdrcf6\\brdrw30 "));
}

TEST(RTFWriter, CharacterPropertiesAndTheColourTable) {
  ExportDocument doc;
  TFontInfo& style = doc.style.TextStyles().Items(kItalic);
  style.Style = fsItalic | fsUnderline | fsStrikeOut;
  style.StyleEx = rdfsAllCaps;
  style.CharScale = 80;
  style.CharSpacing = 2;
  style.BiDiMode = rdbdLeftToRight;
  style.Charset = RUSSIAN_CHARSET;
  style.BackColor = 0x123456;
  style.Color = 0x654321;
  style.VShift = 20;
  doc.Para("x", kItalic);
  const std::string rtf = doc.RTF();
  // New colours follow the 17 fixed ones, each once, in the order they are met.
  EXPECT_TRUE(Contains(rtf,
                       "\\red192\\green192\\blue192;\\red33\\green67\\blue101;"
                       "\\red86\\green52\\blue18;}"));
  EXPECT_TRUE(Contains(rtf,
                       "\\plain \\f1\\i\\ul\\strike\\super\\charscalex80\\expndtw30\\caps"
                       "\\ltrch\\lang1049\\fs40\\chcbpat18\\cf17 x"));
  EXPECT_TRUE(Contains(rtf, "{\\f1\\fnil\\fcharset204 Arial;}"));
}

TEST(RTFWriter, StyleSheetAndApplicationExtras) {
  ExportDocument doc;
  doc.style.TextStyles().Items(kBold).SetStandard(false);
  doc.style.ParaStyles().Items(0).SetStyleName("Body {main}");
  doc.ExportHooks.OnSaveRTFExtra = [](TRDRTFSaveArea area, int index, int) -> std::string {
    if (area == rd_rtfs_Doc) return "\\doc";
    if (area == rd_rtfs_ParaStyle) return "\\para" + std::to_string(index);
    return "";
  };
  doc.Para("a");
  doc.More("b", kBold);
  const std::string rtf = doc.RTF(rdrtfSaveStyleSheet | rdrtfDuplicateUnicode);
  EXPECT_TRUE(
      Contains(rtf, "{\\stylesheet{\\s0\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\para0 Body \\{main\\};}"));
  EXPECT_TRUE(Contains(rtf, "{\\*\\cs2\\f0\\fs20 Normal text;}"));
  EXPECT_FALSE(Contains(rtf, "\\cs3"));  // not a standard style
  EXPECT_TRUE(Contains(rtf, "\r\n\\doc\r\n\\uc1\r\n\\pard\\s0\\fi0"));
  EXPECT_TRUE(Contains(rtf, "\\plain \\cs2\\f0\\fs20 a\\plain \\f0\\b\\fs20 b"));
  EXPECT_TRUE(Contains(doc.RTF(0), "\r\n\\uc0\r\n"));
}

TEST(RTFWriter, NamesAndTargetsAreEscaped) {
  ExportDocument doc;
  doc.style.TextStyles().Items(0).FontName = "Odd{Font}\\";
  doc.style.TextStyles().Items(kRed).Jump = true;
  doc.ExportHooks.OnWriteHyperlink = [](int id, TRDSaveFormat format, std::string& target,
                                        std::string& extras) {
    EXPECT_EQ(format, rdsfRTF);
    target = "http://x/\"q\"\\{" + std::to_string(id) + "}";
    extras = "\\o \"tip\"";
  };
  doc.SetPendingCheckpoint("mark}{", false, TRDTag{});
  doc.Para("a");
  doc.SetPendingCheckpoint("", false, TRDTag{});
  doc.Para("link", kRed);
  const std::string rtf = doc.RTF();
  // The default charset is written as the one of the document's code page (1252).
  EXPECT_TRUE(Contains(rtf, "{\\f0\\fnil\\fcharset0 Odd\\{Font\\}\\\\;}"));
  EXPECT_TRUE(Contains(rtf, "{\\*\\bkmkstart mark\\}\\{}{\\*\\bkmkend mark\\}\\{}"));
  EXPECT_TRUE(
      Contains(rtf, "{\\*\\bkmkstart RichDocCheckpoint1}{\\*\\bkmkend RichDocCheckpoint1}"));
  // Field level: \" and \\; RTF level: every backslash and brace escaped again.
  EXPECT_TRUE(Contains(rtf,
                       "{\\field{\\*\\fldinst HYPERLINK \"http://x/\\\\\"q\\\\\"\\\\\\\\\\{0\\}\""
                       " \\o \"tip\"}{\\fldrslt \\plain \\f1\\fs20\\cf6 link}}"));
}

TEST(RTFWriter, ListTableFaults) {
  ExportDocument doc;
  doc.style.ListStyles().Add();  // no levels at all
  AddListStyle(doc.style, 1, std::string(300, 'x') + "%s");
  TRDListLevel& bullet = doc.style.ListStyles().Items(1).AddLevel();  // two levels: nine written
  bullet.ListType = rdlstBullet;
  bullet.FormatString = std::string(300, '*');
  // Lists that no paragraph is numbered in are not written: a reader makes none of them.
  EXPECT_FALSE(Contains(doc.RTF(), "listtable"));
  AddMarker(doc, 1);
  const std::string rtf = doc.RTF();
  // An empty bullet in the marker font, whose size a reader would otherwise take from text.
  EXPECT_TRUE(Contains(rtf,
                       "{\\list\\listtemplateid1\\listsimple1\r\n{\\listlevel\\levelnfc23"
                       "\\leveljc0\\li0\\fi0\\jclisttab\\tx150{\\leveltext\\'00;}{\\levelnumbers;}"
                       "\\f0\\fs16 }\r\n\\listid2}"));
  // A level text longer than its one-byte length is cut; the placeholder past it goes.
  EXPECT_TRUE(Contains(rtf, "{\\leveltext\\'ff" + std::string(255, 'x') + ";}{\\levelnumbers;}"));
  EXPECT_TRUE(Contains(rtf, "{\\leveltext\\'ff" + std::string(255, '*') + ";}"));
  size_t levels = 0;
  for (size_t at = rtf.find("{\\listlevel"); at != std::string::npos;
       at = rtf.find("{\\listlevel", at + 1))
    ++levels;
  EXPECT_EQ(levels, 1u + 9u);
  EXPECT_TRUE(Contains(rtf, "\\listid4}"));
  EXPECT_TRUE(Contains(rtf, "{\\listoverride\\listid4\\listoverridecount0\\ls2}"));
}

TEST(RTFWriter, UnicodeSubstitutesFollowTheirLengthAnnouncement) {
  ExportDocument doc;
  doc.style.TextStyles().Items(kUnicode).Charset = SHIFTJIS_CHARSET;
  doc.UnicodePara(u"\u3042a");
  EXPECT_TRUE(Contains(doc.RTF(), "\\uc2\\u12354 \\'82\\'a0\\uc1 a}"));
  EXPECT_TRUE(Contains(doc.RTF(0), "\\u12354 a}"));
}

TEST(RTFWriter, SelectionOnlyCutsTheEndItems) {
  TTestFormattedData data(400, 100);
  data.AddText("Hello", 0, 0);
  data.AddText("middle", 0, 0);
  data.AddText("world", 0, 0);
  data.Format();
  data.SetSelectionBounds(0, 3, 2, 3);  // "llo", "middle", "wo"
  TMemoryStream stream;
  TRDRTFSaveParams params;
  params.SelectionOnly = true;
  ASSERT_TRUE(SaveRTFToStream(data, stream, params));
  const std::string rtf(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  EXPECT_TRUE(Contains(rtf, " llo\r\n\\par ")) << rtf;
  EXPECT_TRUE(Contains(rtf, " middle\r\n\\par ")) << rtf;
  EXPECT_EQ(rtf.substr(rtf.size() - 4), " wo}") << rtf;
  EXPECT_FALSE(Contains(rtf, "Hello"));
  // Without a selection there is nothing to put out but the frame.
  data.Deselect(false);
  TMemoryStream empty;
  ASSERT_TRUE(SaveRTFToStream(data, empty, params));
  const std::string frame(static_cast<const char*>(empty.Memory()), size_t(empty.Size()));
  EXPECT_FALSE(Contains(frame, "\\pard"));
}

TEST(RTFWriter, WithoutStyleSheetNothingIsWritten) {
  TCustomRDData data;
  data.AddText("x", 0, 0);
  TMemoryStream stream;
  EXPECT_FALSE(SaveRTFToStream(data, stream, TRDRTFSaveParams()));
  EXPECT_EQ(stream.Size(), 0);
  data.Clear();
}

TEST(RTFFontTable, FindsPairsWithoutRegardToCase) {
  TRDRTFFontTable fonts;
  EXPECT_EQ(fonts.AddUnique("Arial", 0), 0);
  EXPECT_EQ(fonts.AddUnique("ARIAL", 0), 0);
  EXPECT_EQ(fonts.AddUnique("Arial", 204), 1);
  EXPECT_EQ(fonts.Find("arial", 204), 1);
  EXPECT_EQ(fonts.Find("Courier", 0), -1);
}

}  // namespace

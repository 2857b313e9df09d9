// Control words and the properties they set: character, paragraph, section and document
// properties, borders, tabs, and the font, colour and style tables.
#include <gtest/gtest.h>

#include "richtext_edit/support/rtf_event_log.h"

namespace {

// The character and paragraph properties in force when the text "x" is reported.
struct AtText {
  explicit AtText(const std::string& rtf, TRDRTFHighlightConvert highlight = rtf_hl_FixedColors) {
    reader.ConvertHighlight = highlight;
    reader.OnNewText = [this](TRDRTFReader* sender, const std::string& text, TRDRTFPosition) {
      if (text == "x") {
        chars = sender->State().CharProps;
        para = sender->State().ParaProps;
        seen = true;
      }
    };
    result = ReadRTF(reader, rtf);
  }
  TRDRTFReader reader;
  TRDRTFCharProperties chars;
  TRDRTFParaProperties para;
  bool seen = false;
  TRDRTFErrorCode result = rtf_ec_OK;
};

const std::string kColors =
    "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red0\\green0\\blue255;}";

TEST(RTFCharacterProperties, FontSizesRoundHalvesToEven) {
  EXPECT_EQ(AtText("{\\rtf1\\fs23 x}").chars.Size, 12);
  EXPECT_EQ(AtText("{\\rtf1\\fs25 x}").chars.Size, 12);
  EXPECT_EQ(AtText("{\\rtf1\\fs27 x}").chars.Size, 14);
  EXPECT_EQ(AtText("{\\rtf1\\fs x}").chars.Size, 12);  // no parameter: the default 24 half-points
  EXPECT_EQ(AtText("{\\rtf1 x}").chars.Size, 12);
}

TEST(RTFCharacterProperties, StylesAndTheirSwitches) {
  AtText on("{\\rtf1\\b\\i\\ul\\strike\\caps\\super x}");
  EXPECT_EQ(on.chars.Style, rtf_fs_Bold | rtf_fs_Italic | rtf_fs_Underline | rtf_fs_StrikeOut);
  EXPECT_EQ(on.chars.StyleEx, rtf_fsex_AllCaps);
  EXPECT_EQ(on.chars.VShift, 2);
  // \ulnone ignores its parameter; \b0 clears; \plain resets everything.
  EXPECT_EQ(AtText("{\\rtf1\\b\\ul\\ulnone5\\i\\i0 x}").chars.Style, rtf_fs_Bold);
  AtText plain("{\\rtf1\\b\\fs40\\cf1\\lang1049\\plain x}");
  EXPECT_EQ(plain.chars.Style, 0);
  EXPECT_EQ(plain.chars.Size, 12);
  EXPECT_EQ(plain.chars.Color, clWindowText);
  EXPECT_EQ(plain.chars.Language, 0);
  AtText scaled("{\\rtf1\\charscalex150\\expndtw-20\\lang1031\\sub x}");
  EXPECT_EQ(scaled.chars.CharScaleX, 150);
  EXPECT_EQ(scaled.chars.CharSpacing, -20);
  EXPECT_EQ(scaled.chars.Language, 1031);
  EXPECT_EQ(scaled.chars.VShift, 1);
  EXPECT_EQ(AtText("{\\rtf1\\deflang1031\\plain x}").chars.Language, 1031);
}

TEST(RTFCharacterProperties, ChangesSplitTheTextBeforeThem) {
  TRDRTFReader reader;
  std::vector<std::string> seen;
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string& text, TRDRTFPosition) {
    seen.push_back(text + (sender->State().CharProps.Style & rtf_fs_Bold ? "(b)" : ""));
  };
  ReadRTF(reader, "{\\rtf1 a\\b b\\b0 c\\qc d}");  // \qc changes no character property
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b(b)", "cd"}));
}

TEST(RTFColorTable, EntriesInFileOrderWithAutomaticFirst) {
  AtText red("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 x}");
  EXPECT_EQ(red.reader.ColorTable().Count(), 2);
  EXPECT_EQ(red.reader.ColorTable()[0], clWindowText);
  EXPECT_EQ(red.reader.ColorTable()[1], RGB(255, 0, 0));
  EXPECT_EQ(red.chars.Color, RGB(255, 0, 0));
  // A reference past the table leaves the colour as it was; so does a missing table.
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\cf2\\cf5 x}").chars.Color, RGB(0, 255, 0));
  AtText none("{\\rtf1\\cf1\\chcbpat2\\cbpat1 x}");
  EXPECT_EQ(none.chars.Color, clWindowText);
  EXPECT_EQ(none.chars.BackColor, clNone);
  EXPECT_EQ(none.reader.ColorTable().Count(), 0);
  // Background colours: the automatic entry means none.
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\chcbpat3 x}").chars.BackColor, RGB(0, 0, 255));
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\chcbpat3\\chcbpat0 x}").chars.BackColor, clNone);
}

TEST(RTFColorTable, HighlightByConversionMode) {
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\highlight3 x}").chars.BackColor, RGB(0, 255, 255));
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\highlight16 x}").chars.BackColor, RGB(192, 192, 192));
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\highlight3 x}", rtf_hl_Ignore).chars.BackColor, clNone);
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\highlight3 x}", rtf_hl_ColorTable).chars.BackColor,
            RGB(0, 0, 255));
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\highlight17 x}").chars.BackColor, clNone);
}

TEST(RTFFontTable, FontsNamesFamiliesAndCharsets) {
  AtText r(
      "{\\rtf1\\deff1{\\fonttbl{\\f0\\froman\\fcharset0 Times New "
      "Roman;}{\\f1\\fswiss\\fcharset204 Arial Cyr;}"
      "{\\f2\\fnil\\fcharset238{\\*\\panose 0}Tahoma CE;}{\\f3\\fcharset300 Big;}\\f4\\fmodern "
      "Courier;}"
      "\\plain x}");
  const TRDRTFFontList& fonts = r.reader.FontTable();
  ASSERT_EQ(fonts.Count(), 5);
  EXPECT_EQ(fonts[0].Name, "Times New Roman");
  EXPECT_EQ(fonts[0].Family, 1);
  EXPECT_EQ(fonts[1].Name, "Arial");
  EXPECT_EQ(fonts[1].Charset, 204);
  EXPECT_EQ(fonts[2].Name, "Tahoma");
  EXPECT_EQ(fonts[3].Charset, 77);  // charsets past a byte
  EXPECT_EQ(fonts[4].Name, "Courier");
  EXPECT_EQ(fonts[4].Charset, 1);
  EXPECT_EQ(r.chars.FontIndex, 1);  // \plain takes the \deff font
  EXPECT_EQ(AtText("{\\rtf1{\\fonttbl{\\f5 A;}{\\f7 B;}}\\f7 x}").chars.FontIndex, 1);
  EXPECT_EQ(AtText("{\\rtf1\\deff7{\\fonttbl{\\f5 A;}{\\f7 B;}}\\f9 x}").chars.FontIndex, 1);
  // A charset that does not match the suffix keeps the name whole.
  AtText kept("{\\rtf1{\\fonttbl{\\f0\\fcharset0 Arial Cyr;}} x}");
  EXPECT_EQ(kept.reader.FontTable()[0].Name, "Arial Cyr");
}

TEST(RTFStyleSheet, EntriesWithTheirPropertiesAndReferences) {
  AtText r(
      "{\\rtf1{\\stylesheet{\\ql\\fs20 Normal;}{\\s1\\sbasedon0\\snext0\\qc\\b\\fs32 Heading 1;}"
      "{\\*\\cs10\\additive\\i Emphasis;}{\\ds2\\shidden Section;}}\\s1 x}");
  const TRDRTFStyleSheet& sheet = r.reader.StyleSheet();
  ASSERT_EQ(sheet.Count(), 4);
  EXPECT_EQ(sheet[0].Name, "Normal");
  EXPECT_EQ(sheet[0].Kind, 1);
  EXPECT_EQ(sheet[0].CharProps.Size, 10);
  EXPECT_EQ(sheet[1].Number, 1);
  EXPECT_EQ(sheet[1].BasedOn, &sheet[0]);
  EXPECT_EQ(sheet[1].Next, &sheet[0]);
  EXPECT_EQ(sheet[1].ParaProps.Alignment, 2);
  EXPECT_EQ(sheet[1].CharProps.Style, rtf_fs_Bold);
  EXPECT_EQ(sheet[2].Kind, 0);
  EXPECT_EQ(sheet[2].Number, 10);
  EXPECT_TRUE(sheet[2].Additive);
  EXPECT_EQ(sheet[2].Next, &sheet[2]);
  EXPECT_EQ(sheet[3].Kind, 2);
  EXPECT_TRUE(sheet[3].Hidden);
  // The style words of the sheet do not leak into the text.
  EXPECT_EQ(r.chars.Size, 12);
  EXPECT_EQ(r.para.Alignment, 0);
}

TEST(RTFParagraphProperties, IndentsSpacingAlignmentAndReset) {
  AtText r("{\\rtf1\\li720\\ri360\\fi-180\\sb120\\sa240\\sl-300\\slmult0\\qj\\keep\\keepn x}");
  EXPECT_EQ(r.para.LeftIndent, 720);
  EXPECT_EQ(r.para.RightIndent, 360);
  EXPECT_EQ(r.para.FirstIndent, -180);
  EXPECT_EQ(r.para.SpaceBefore, 120);
  EXPECT_EQ(r.para.SpaceAfter, 240);
  EXPECT_EQ(r.para.LineSpacing, -300);
  EXPECT_FALSE(r.para.LineSpacingMultiple);
  EXPECT_EQ(r.para.Alignment, 3);
  EXPECT_TRUE(r.para.KeepTogether && r.para.KeepWithNext);
  AtText reset("{\\rtf1\\li720\\qc\\intbl\\pard x}");
  EXPECT_EQ(reset.para.LeftIndent, 0);
  EXPECT_EQ(reset.para.Alignment, 0);
  EXPECT_FALSE(reset.para.InTable);
}

TEST(RTFParagraphProperties, BordersTakeTheFirstStyleOfASide) {
  AtText r("{\\rtf1" + kColors +
           "\\brdrt\\brdrs\\brdrdb\\brdrw15\\brdrcf1\\brsp40\\brdrb\\brdrdot x}");
  ASSERT_TRUE(r.para.Border);
  const TRDRTFBorderSide& top = *r.para.Border->Sides[1];
  EXPECT_EQ(top.Style, 1);
  EXPECT_EQ(top.Width, 15);
  EXPECT_EQ(top.Color, RGB(255, 0, 0));
  EXPECT_EQ(top.Spacing, 40);
  EXPECT_EQ(r.para.Border->Sides[3]->Style, 5);
  EXPECT_FALSE(r.para.Border->Sides[0]);
}

TEST(RTFParagraphProperties, TabStopsAreCleanedBeforeTextIsReported) {
  AtText r("{\\rtf1\\tx720\\tqr\\tldot\\tx2880\\tqc\\tx4000\\jclisttab\\tx5000 x}");
  ASSERT_TRUE(r.para.Tabs);
  const TRDRTFTabList& tabs = *r.para.Tabs;
  ASSERT_EQ(tabs.size(), 3u);  // the open tab after the last \tx and the list tab (5000) are gone
  EXPECT_EQ(tabs[0].Position, 720);
  EXPECT_EQ(tabs[0].Align, 0);
  EXPECT_EQ(tabs[1].Position, 2880);
  EXPECT_EQ(tabs[1].Align, 1);
  EXPECT_EQ(tabs[1].Leader, 1);
  EXPECT_EQ(tabs[2].Position, 4000);
  EXPECT_EQ(tabs[2].Align, 2);
  EXPECT_TRUE(r.para.TabsFinal);
}

TEST(RTFParagraphProperties, ShadingIsMixedIntoTheBackground) {
  AtText r("{\\rtf1" + kColors + "\\cbpat1\\cfpat3\\shading5000 x}");
  EXPECT_EQ(r.para.Color, RGB(127, 0, 127));
  EXPECT_EQ(r.para.Shading, 0);
  EXPECT_EQ(AtText("{\\rtf1" + kColors + "\\cfpat2\\shading2500 x}").para.Color,
            RGB(191, 255, 191));
}

TEST(RTFSectionAndDocument, PageSetup) {
  TRDRTFReader reader;
  TRDRTFSectionProperties section;
  TRDRTFDocProperties document;
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string&, TRDRTFPosition) {
    section = sender->State().SectProps;
    document = sender->State().DocProps;
  };
  ReadRTF(reader,
          "{\\rtf1\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1417\\margb1134\\landscape"
          "\\facingp"
          "\\pgnstart3\\cols2\\sbkodd\\pgnlcrm\\headery500\\footery600 x}");
  EXPECT_EQ(document.PaperWidth, 11906);
  EXPECT_EQ(document.PaperHeight, 16838);
  EXPECT_EQ(document.LeftMargin, 1134);
  EXPECT_EQ(document.TopMargin, 1417);
  EXPECT_TRUE(document.Landscape && document.FacingPages);
  EXPECT_EQ(document.PageNumberStart, 3);
  EXPECT_EQ(section.Columns, 2);
  EXPECT_EQ(section.SectionBreak, 3);
  EXPECT_EQ(section.PageNumberFormat, 2);
  EXPECT_EQ(section.HeaderY, 500);
  EXPECT_EQ(section.FooterY, 600);
}

TEST(RTFKeywordTable, LookupIsExactAndCaseSensitive) {
  ASSERT_NE(FindRTFKeyword("b"), nullptr);
  EXPECT_EQ(FindRTFKeyword("B"), nullptr);
  EXPECT_EQ(FindRTFKeyword("bo"), nullptr);
  EXPECT_EQ(FindRTFKeyword(""), nullptr);
  const TRDRTFKeyword* ql = FindRTFKeyword("ql");
  ASSERT_NE(ql, nullptr);
  EXPECT_TRUE(ql->UseDefault);
  EXPECT_EQ(FindRTFKeyword("'")->Kind, rtf_kw_Special);
  EXPECT_EQ(FindRTFKeyword("par")->Index, 10);
  EXPECT_EQ(FindRTFKeyword("line")->Index, 13);
  EXPECT_EQ(FindRTFKeyword("richviewtbw")->Kind, rtf_kw_Property);
}

}  // namespace

namespace {

TEST(RTFTableLookups, TheFirstEntryWithANumberIsFound) {
  AtText fonts("{\\rtf1{\\fonttbl{\\f1 A;}{\\f1 B;}{\\f2 C;}}\\f1 x}");
  EXPECT_EQ(fonts.chars.FontIndex, 0);
  AtText styles(
      "{\\rtf1{\\stylesheet{\\s3 A;}{\\s3 B;}{\\s5\\s6 R;}{Plain;}{\\s4\\sbasedon3\\snext5 C;}"
      "{\\s7\\sbasedon6\\snext0 D;}}x}");
  const TRDRTFStyleSheet& sheet = styles.reader.StyleSheet();
  ASSERT_EQ(sheet.Count(), 6);
  EXPECT_EQ(sheet[4].BasedOn, &sheet[0]);
  EXPECT_EQ(sheet[4].Next, nullptr);  // the entry once numbered 5 is 6 now
  EXPECT_EQ(sheet[5].BasedOn, &sheet[2]);
  EXPECT_EQ(sheet[5].Next, &sheet[3]);  // the first entry still numbered 0
  EXPECT_EQ(sheet.FindNumber(0), &sheet[3]);
  TRDRTFReader reader;
  ASSERT_EQ(ReadRTF(reader,
                    "{\\rtf1{\\*\\listtable{\\list\\listid9\\listid8}{\\list\\listid8}}"
                    "{\\*\\listoverridetable{\\listoverride\\listid8\\ls4}{"
                    "\\listoverride\\listid9\\ls4\\ls5}}}"),
            rtf_ec_OK);
  EXPECT_EQ(reader.ListTable().IndexOfListID(8), 0);
  EXPECT_EQ(reader.ListTable().IndexOfListID(9), -1);
  EXPECT_EQ(reader.ListOverrideTable()[1].ListIndex, -1);
  EXPECT_EQ(reader.ListOverrideTable().IndexOfNumber(4), 0);
  EXPECT_EQ(reader.ListOverrideTable().IndexOfNumber(5), 1);
}

}  // namespace

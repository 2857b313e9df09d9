// Text, styles, paragraphs, tabs, links, pictures, page breaks and headers of the RTF
// import.
#include <gtest/gtest.h>

#include "richtext/formats/rtf_writer.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/tab_item.h"
#include "richtext_edit/rtf/rtf_hyperlink.h"
#include "richtext_edit/rtf/rtf_import_styles.h"
#include "richtext_edit/support/rtf_event_log.h"
#include "rtf_import_document.h"

namespace {

TEST(RTFImportText, ParagraphsAndLineBreaks) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 a\\par b\\line c\\par\\par d}"), rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 5);
  EXPECT_EQ(doc.ItemText(0), "a");
  EXPECT_TRUE(doc.Item(0).IsParaStart());
  EXPECT_TRUE(doc.Item(1).IsParaStart());
  EXPECT_TRUE(doc.Item(2).GetLineBreakBefore());
  // The blank line is an empty text item of its own paragraph, as an editor makes one.
  EXPECT_EQ(doc.ItemText(3), "");
  EXPECT_EQ(doc.Item(3).StyleNo, 0);
  EXPECT_TRUE(doc.Item(3).IsParaStart());
  EXPECT_EQ(doc.ItemText(4), "d");
  EXPECT_EQ(doc.Text(), "a\r\nb\r\nc\r\n\r\nd");
  EXPECT_EQ(doc.LastIndex(), 4);
  // So the blank line comes back from our own RTF.
  TMemoryStream written;
  ASSERT_TRUE(SaveRTFToStream(doc.Document, written, TRDRTFSaveParams{}));
  TRTFImportDocument again;
  ASSERT_EQ(
      again.Import(std::string(static_cast<const char*>(written.Memory()), size_t(written.Size()))),
      rtf_ec_OK);
  EXPECT_EQ(again.Text(), doc.Text());

  // Line breaks as paragraphs; a run in the middle of a paragraph continues it.
  TRTFImportDocument breaks;
  breaks.Options.LineBreaksAsParagraphs = true;
  ASSERT_EQ(breaks.Import("{\\rtf1 a\\line b{\\b c}}"), rtf_ec_OK);
  ASSERT_EQ(breaks.Count(), 3);
  EXPECT_TRUE(breaks.Item(1).IsParaStart());
  EXPECT_TRUE(breaks.Item(2).GetContinuesPara());
}

TEST(RTFImportText, InsertsAtTheIndexAndKeepsTheParagraphStyleBefore) {
  TRTFImportDocument doc;
  doc.Document.AddText("first", 0, 1);
  doc.Document.AddText("last", 0, 0);
  // Text that continues goes into the paragraph before the index with its style.
  doc.Options.ParaStyleMode = rdrsUseSpecified;
  ASSERT_EQ(doc.Import("{\\rtf1{\\b x}\\par y}", 1), rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 4);
  EXPECT_EQ(doc.ItemText(1), "x");
  EXPECT_EQ(doc.ItemText(2), "y");
  EXPECT_EQ(doc.ItemText(3), "last");
  EXPECT_EQ(doc.LastIndex(), 2);
  // Nothing read: no index.
  EXPECT_EQ(doc.Import("{\\rtf1 }"), rtf_ec_OK);
  EXPECT_EQ(doc.LastIndex(), -1);
  // An error is returned and what came before it stays.
  TRTFImportDocument broken;
  EXPECT_EQ(broken.Import("{\\rtf1 kept\\par lost\\'zz}"), rtf_ec_InvalidHex);
  EXPECT_EQ(broken.Text(), "kept");
}

TEST(RTFImportText, AddedTextStylesAreSharedByEqualRuns) {
  TRTFImportDocument doc;
  doc.Options.TextStyleMode = rdrsAddIfNeeded;
  const int before = doc.Sheet.TextStyles().Count();
  ASSERT_EQ(doc.Import("{\\rtf1{\\fonttbl{\\f0 Courier New;}{\\f1\\fcharset2 Wingdings;}}"
                       "{\\colortbl;\\red255\\green0\\blue0;}"
                       "\\f0\\fs30{\\b\\cf1 one} two {\\b\\cf1 three}{\\f1 x}{\\sub s}}"),
            rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 5);
  EXPECT_EQ(doc.Item(0).StyleNo, doc.Item(2).StyleNo);  // equal runs share one style
  EXPECT_NE(doc.Item(0).StyleNo, doc.Item(1).StyleNo);
  EXPECT_EQ(doc.Sheet.TextStyles().Count(), before + 4);
  const TFontInfo& bold = doc.TextStyleOf(0);
  EXPECT_EQ(bold.FontName, "Courier New");
  EXPECT_EQ(bold.Size, 15);
  EXPECT_EQ(bold.Style, fsBold);
  EXPECT_EQ(bold.Color, TColor(0x0000FF));
  EXPECT_FALSE(bold.Standard());
  EXPECT_EQ(doc.TextStyleOf(3).Charset, 2);  // a symbol font
  EXPECT_EQ(doc.TextStyleOf(4).VShift, -25);
  EXPECT_EQ(doc.TextStyleOf(4).Size, 7);  // half the size lowered
  // A second read finds the added styles.
  ASSERT_EQ(doc.Import("{\\rtf1{\\fonttbl{\\f0 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}"
                       "\\f0\\fs30\\b\\cf1 again}"),
            rtf_ec_OK);
  EXPECT_EQ(doc.Item(5).StyleNo, doc.Item(0).StyleNo);
}

TEST(RTFImportText, ClosestTextStyleAndSpecifiedStyle) {
  TRTFImportDocument doc;
  TFontInfos& styles = doc.Sheet.TextStyles();
  TFontInfo& symbols = styles.Add();
  symbols.FontName = "Other";
  symbols.Charset = 2;
  TFontInfo& big = styles.Add();
  big.Size = 20;
  big.Style = fsBold;
  const int symbolsNo = styles.Count() - 2, bigNo = styles.Count() - 1;
  // Wingdings counts as charset 2, which outweighs the font name.
  ASSERT_EQ(doc.Import("{\\rtf1{\\fonttbl{\\f0 Wingdings;}}\\f0 x}"), rtf_ec_OK);
  EXPECT_EQ(doc.Item(0).StyleNo, symbolsNo);
  ASSERT_EQ(doc.Import("{\\rtf1\\fs38\\b big}"), rtf_ec_OK);
  EXPECT_EQ(doc.Item(1).StyleNo, bigNo);
  // Link styles are kept for links.
  ASSERT_EQ(doc.Import("{\\rtf1 plain}"), rtf_ec_OK);
  EXPECT_FALSE(doc.TextStyleOf(2).Jump);

  doc.Options.TextStyleMode = rdrsUseSpecified;
  doc.Options.SetTextStyleNo(1);
  ASSERT_EQ(doc.Import("{\\rtf1\\b\\fs50 any}"), rtf_ec_OK);
  EXPECT_EQ(doc.Item(3).StyleNo, 1);
  EXPECT_THROW(doc.Options.SetTextStyleNo(-1), ERichDocError);
  EXPECT_THROW(doc.Options.SetParaStyleNo(-1), ERichDocError);
}

TEST(RTFImportText, HiddenTextAndUnicode) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 a{\\v secret}b}"), rtf_ec_OK);
  EXPECT_EQ(doc.Text(), "ab");
  TRTFImportDocument shown;
  shown.Options.SkipHiddenText = false;
  ASSERT_EQ(shown.Import("{\\rtf1 a{\\v secret}b}"), rtf_ec_OK);
  EXPECT_EQ(shown.Text(), "asecretb");

  // Without Unicode the fallback characters are read; with it, single-byte styles take
  // \u text in the file's code page and Unicode styles as it is.
  TRTFImportDocument noUnicode;
  ASSERT_EQ(noUnicode.Import("{\\rtf1\\ansi\\ansicpg1252 caf\\u233e}"), rtf_ec_OK);
  EXPECT_EQ(noUnicode.Text(), "cafe");
  TRTFImportDocument ansi;
  ansi.Options.UnicodeMode = rdruMixed;
  ASSERT_EQ(ansi.Import("{\\rtf1\\ansi\\ansicpg1252 caf\\u233?}"), rtf_ec_OK);
  EXPECT_EQ(ansi.Text(), "caf\xC3\xA9");
  TRTFImportDocument mixed;
  mixed.Options.UnicodeMode = rdruMixed;
  mixed.Options.TextStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(mixed.Import("{\\rtf1\\ansi x\\u1046?y}"), rtf_ec_OK);
  EXPECT_EQ(mixed.Text(), "x\xD0\x96y");
  bool unicodeItem = false;
  for (int i = 0; i < mixed.Count(); ++i) unicodeItem |= mixed.TextStyleOf(i).Unicode;
  EXPECT_TRUE(unicodeItem);
  TRTFImportDocument only;
  only.Options.UnicodeMode = rdruOnlyUnicode;
  only.Options.TextStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(only.Import("{\\rtf1{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'c0\\'c1}"), rtf_ec_OK);
  EXPECT_TRUE(only.TextStyleOf(0).Unicode);
  EXPECT_EQ(only.Text(), "\xD0\x90\xD0\x91");  // Cyrillic from the font's charset
}

// A SYMBOL field stands for one character: written from its instruction, its result (the
// same character as the writer saw it) is not read again, in either import mode.
TEST(RTFImportText, SymbolFieldIsOneCharacter) {
  const std::string rtf =
      "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f2\\fcharset2 Symbol;}}\\f0 a"
      "{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\" \\\\s 12}{\\fldrslt \\f2\\'b7}}b"
      "{\\field{\\*\\fldinst SYMBOL 183}{\\fldrslt \\f2\\'b7}}c}";
  for (const TRDReaderUnicode mode : {rdruNoUnicode, rdruOnlyUnicode, rdruMixed}) {
    TRTFImportDocument doc;
    doc.Options.UnicodeMode = mode;
    doc.Options.TextStyleMode = rdrsAddIfNeeded;
    ASSERT_EQ(doc.Import(rtf), rtf_ec_OK);
    // The second field lacks the font and size: its result stands.
    const std::string text = doc.Text();
    EXPECT_EQ(text.substr(0, 1), "a") << int(mode);
    const std::size_t b = text.find('b'), c = text.find('c');
    ASSERT_NE(b, std::string::npos) << int(mode) << text;
    ASSERT_NE(c, std::string::npos) << int(mode) << text;
    EXPECT_EQ(text.substr(1, b - 1), text.substr(b + 1, c - b - 1)) << int(mode) << text;
    EXPECT_LE(b - 1, 3u) << int(mode) << text;  // one character, up to three UTF-8 bytes
    EXPECT_GE(b - 1, 1u) << int(mode) << text;
  }
}

TEST(RTFImportText, ParagraphStyles) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(doc.Import("{\\rtf1\\pard\\qc\\li1440\\fi-720\\sb240\\keepn one\\par"
                       "\\pard\\qc\\li1440\\fi-720\\sb240\\keepn two\\par"
                       "\\pard\\sl360\\slmult1 three\\par"
                       "\\pard\\sl0\\slmult1 four}"),
            rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 4);
  EXPECT_EQ(doc.Item(0).ParaNo, doc.Item(1).ParaNo);
  const TParaInfo& centred = doc.ParaStyleOf(0);
  EXPECT_EQ(centred.Alignment, rdaCenter);
  EXPECT_EQ(centred.LeftIndent, 96);  // at 96 pixels per inch
  EXPECT_EQ(centred.FirstIndent, -48);
  EXPECT_EQ(centred.SpaceBefore, 16);
  EXPECT_TRUE(centred.Options & rdpaoKeepWithNext);
  EXPECT_FALSE(centred.Standard());
  EXPECT_EQ(doc.ParaStyleOf(2).LineSpacing, 150);
  // \sl0 is single spacing, not lines of no height.
  EXPECT_EQ(doc.ParaStyleOf(3).LineSpacing, 100);

  // The closest style: alignment counts most.
  TRTFImportDocument closest;
  ASSERT_EQ(closest.Import("{\\rtf1\\pard\\qc\\li100 centred}"), rtf_ec_OK);
  EXPECT_EQ(closest.Item(0).ParaNo, 1);  // the sheet's "Centered"
}

TEST(RTFImportText, ParagraphBorders) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(
      doc.Import(
          "{\\rtf1\\pard\\brdrt\\brdrdb\\brdrw15\\brsp0 a\\par"
          "\\pard\\brdrb\\brdrhair\\brdrw60 b\\par"
          "\\pard\\brdrt\\brdrs\\brdrw60\\brsp0\\brdrl\\brsp0\\brdrr\\brsp0\\brdrb\\brsp0 c}"),
      rtf_ec_OK);
  const TRDBorder& doubled = doc.ParaStyleOf(0).Border;
  EXPECT_EQ(doubled.Style, rdbDouble);
  EXPECT_EQ(doubled.Width, 1);
  EXPECT_EQ(doubled.InternalWidth, 1);
  EXPECT_TRUE(doubled.VisibleBorders.IsEqualToValues(false, true, false, false));
  const TRDBorder& hair = doc.ParaStyleOf(1).Border;
  EXPECT_EQ(hair.Style, rdbSingle);
  EXPECT_EQ(hair.Width, 1);
  // Room for the border: a top border of 4 pixels (60 twips) pushes the text in by 3.
  const TParaInfo& boxed = doc.ParaStyleOf(2);
  EXPECT_EQ(boxed.Border.Width, 4);
  EXPECT_EQ(boxed.LeftIndent, 3);
  EXPECT_EQ(boxed.RightIndent, 3);
  EXPECT_EQ(boxed.SpaceAfter, 3);
  EXPECT_EQ(boxed.FirstIndent, 0);

  // The border mapping of the thin-thick kinds depends on the side.
  const double p = 96.0 / 1440;
  EXPECT_EQ(MapRTFBorder(12, 60, true, p).Style, rdbThickOutside);
  EXPECT_EQ(MapRTFBorder(12, 60, false, p).Style, rdbThickInside);
  EXPECT_EQ(MapRTFBorder(2, 15, true, p).Width, 2);
  EXPECT_EQ(MapRTFBorder(128 + 1, 30, true, p).Style, rdbSingle);  // the kind modulo 128
  EXPECT_EQ(MapRTFBorder(99, 30, true, p).Style, rdbNone);
}

TEST(RTFImportText, TabsAsItemsOrSpaces) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(doc.Import("{\\rtf1\\pard\\tqr\\tldot\\tx2880 a\\tab b}"), rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 3);
  auto* tab = dynamic_cast<TRDTabItemInfo*>(&doc.Item(1));
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->TextStyleNo, doc.Item(0).StyleNo);
  EXPECT_TRUE(tab->GetContinuesPara());
  const TRDTabInfos& stops = doc.ParaStyleOf(0).Tabs;
  ASSERT_EQ(stops.Count(), 1);
  EXPECT_EQ(stops.Items(0).Position, 192);
  EXPECT_EQ(stops.Items(0).Align, rdtaRight);
  EXPECT_EQ(stops.Items(0).Leader, ".");

  TRTFImportDocument spaces;
  spaces.Sheet.SpacesInTab = 2;
  ASSERT_EQ(spaces.Import("{\\rtf1 a\\tab b}"), rtf_ec_OK);
  EXPECT_EQ(spaces.Text(), "a  b");
}

TEST(RTFImportText, HyperlinkRule) {
  EXPECT_TRUE(IsHyperlinkField(" HYPERLINK \"x\""));
  EXPECT_TRUE(IsHyperlinkField("\\hyperlink x"));
  EXPECT_TRUE(IsHyperlinkField("  HyperLink"));
  EXPECT_FALSE(IsHyperlinkField("PAGEREF HYPERLINK"));
  EXPECT_FALSE(IsHyperlinkField("HYPERLIN"));
  const TRDRTFHyperlink link =
      ParseHyperlinkField("HYPERLINK \"C:\\\\dir\\\\a%20b.txt\" \\o \"The tip\"", "");
  EXPECT_EQ(link.Target, "C:\\dir\\a b.txt");
  EXPECT_EQ(link.Hint, "The tip");
  EXPECT_EQ(ParseHyperlinkField("HYPERLINK page.html \\o tip more", "/base/").Target,
            "/base/page.html");
  EXPECT_EQ(ParseHyperlinkField("HYPERLINK page.html \\o tip more", "/base/").Hint, "tip");
  EXPECT_EQ(ParseHyperlinkField("HYPERLINK http://a.org/", "/base/").Target, "http://a.org/");
}

TEST(RTFImportText, LinksBecomeHypertextWithTheirTarget) {
  TRTFImportDocument doc;
  doc.Document.SetOptions(rdoTagsArePChars);
  doc.Options.TextStyleMode = rdrsAddIfNeeded;
  doc.Options.BasePath = "/docs/";
  // Written in lower case and after blanks, the field is still a link, and its text
  // gets a link style: style and link follow one rule.
  ASSERT_EQ(
      doc.Import("{\\rtf1 see {\\field{\\*\\fldinst {  hyperlink \"page.html\" \\\\o \"Tip\"}}"
                 "{\\fldrslt here}} and {\\field{\\*\\fldinst PAGEREF HYPERLINK}"
                 "{\\fldrslt 3}}}"),
      rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 4);
  EXPECT_TRUE(doc.TextStyleOf(1).Jump);
  ASSERT_TRUE(doc.Item(1).Tag.Text);
  EXPECT_EQ(*doc.Item(1).Tag.Text, "/docs/page.html");
  EXPECT_FALSE(doc.TextStyleOf(0).Jump);
  EXPECT_FALSE(doc.TextStyleOf(3).Jump);  // "PAGEREF HYPERLINK" is no link
  EXPECT_FALSE(doc.Item(3).Tag.Text);
  // Without the base path option relative targets stay as they are.
  doc.Options.BasePathLinks = false;
  ASSERT_EQ(doc.Import("{\\rtf1{\\field{\\*\\fldinst HYPERLINK rel.html}{\\fldrslt r}}}"),
            rtf_ec_OK);
  EXPECT_EQ(*doc.Item(4).Tag.Text, "rel.html");
}

TEST(RTFImportText, Pictures) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(LoadTestFile("rtf/pictures.rtf")), rtf_ec_OK);
  int pictures = 0;
  for (int i = 0; i < doc.Count(); ++i)
    if (auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i))) {
      ++pictures;
      ASSERT_TRUE(picture->Image);
      EXPECT_EQ(picture->StyleNo, rdsPicture);
    }
  EXPECT_GE(pictures, 4);
  // A metafile gets its size from the file: 1 x 0.5 inch.
  bool metafile = false;
  for (int i = 0; i < doc.Count(); ++i)
    if (auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i)))
      metafile |= picture->ImageWidth == 96 && picture->ImageHeight == 48;
  EXPECT_TRUE(metafile);

  TRTFImportDocument none;
  none.Options.IgnorePictures = true;
  ASSERT_EQ(none.Import(LoadTestFile("rtf/pictures.rtf")), rtf_ec_OK);
  for (int i = 0; i < none.Count(); ++i)
    EXPECT_EQ(dynamic_cast<TRDGraphicItemInfo*>(&none.Item(i)), nullptr);

  // A picture we cannot read shows the sheet's invalid picture; inside a link it is a
  // hot picture; \picscalex scales it.
  TRTFImportDocument odd;
  ASSERT_EQ(odd.Import("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://a.org/\"}{\\fldrslt "
                       "{\\pict\\macpict\\picscalex200 00}}}}"),
            rtf_ec_OK);
  ASSERT_EQ(odd.Count(), 1);
  auto* hot = dynamic_cast<TRDHotGraphicItemInfo*>(&odd.Item(0));
  ASSERT_NE(hot, nullptr);
  EXPECT_EQ(hot->StyleNo, rdsHotPicture);
  EXPECT_EQ(hot->ImageWidth, 2 * odd.Sheet.InvalidPicture().Width());
}

TEST(RTFImportText, PageBreaksAndHeaders) {
  TRTFImportDocument doc;
  TCustomRDData header, footer;
  header.SetRDStyle(&doc.Sheet);
  footer.SetRDStyle(&doc.Sheet);
  header.AddText("old", 0, 0);
  TRDRTFHeaderFooter headerFooter{&header, &footer};
  TMemoryStream stream;
  const std::string rtf =
      "{\\rtf1\\headery360\\footery1440{\\header top}{\\footer bottom}one\\page two}";
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  int index = 0;
  ASSERT_EQ(ReadRTF(doc.Options, stream, doc.Document, index, &headerFooter), rtf_ec_OK);
  EXPECT_EQ(doc.Text(), "one\r\ntwo");
  EXPECT_TRUE(doc.Item(1).GetPageBreakBefore());
  EXPECT_FALSE(doc.Item(0).GetPageBreakBefore());
  ASSERT_EQ(header.GetItemCount(), 1);
  EXPECT_EQ(header.GetItemTextRaw(0), "top");
  ASSERT_EQ(footer.GetItemCount(), 1);
  EXPECT_EQ(footer.GetItemTextRaw(0), "bottom");
  EXPECT_EQ(headerFooter.HeaderDistance, 6);
  EXPECT_EQ(headerFooter.FooterDistance, 25);
  // Without header data the groups are left out.
  TRTFImportDocument plain;
  ASSERT_EQ(plain.Import(rtf), rtf_ec_OK);
  EXPECT_EQ(plain.Text(), "one\r\ntwo");
}

TEST(RTFImportText, FixturesImport) {
  for (const char* name : {"rtf/basic.rtf", "rtf/lists.rtf", "rtf/tables.rtf",
                           "rtf/enscript/beacon.rtf", "rtf/abiword/stations.rtf"}) {
    for (const TRDReaderStyleMode mode : {rdrsUseSpecified, rdrsUseClosest, rdrsAddIfNeeded}) {
      TRTFImportDocument doc;
      doc.Options.TextStyleMode = doc.Options.ParaStyleMode = mode;
      doc.Options.UnicodeMode = rdruMixed;
      EXPECT_EQ(doc.Import(LoadTestFile(name)), rtf_ec_OK) << name;
      EXPECT_GT(doc.Count(), 0) << name;
    }
  }
}

}  // namespace

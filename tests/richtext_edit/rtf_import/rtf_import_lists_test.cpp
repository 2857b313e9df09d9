// List markers of the RTF import: Word 97 lists and old-style \pn numbering.
#include <gtest/gtest.h>

#include "richtext/model/marker_item.h"
#include "richtext/styles/list_style.h"
#include "richtext_edit/support/rtf_event_log.h"
#include "rtf_import_document.h"

namespace {

std::vector<TRDMarkerItemInfo*> Markers(TRTFImportDocument& doc) {
  std::vector<TRDMarkerItemInfo*> markers;
  for (int i = 0; i < doc.Count(); ++i)
    if (auto* marker = dynamic_cast<TRDMarkerItemInfo*>(&doc.Item(i))) markers.push_back(marker);
  return markers;
}

TEST(RTFImportLists, Word97Lists) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  doc.Options.UnicodeMode = rdruMixed;
  ASSERT_EQ(doc.Import(LoadTestFile("rtf/lists.rtf")), rtf_ec_OK);
  const std::vector<TRDMarkerItemInfo*> markers = Markers(doc);
  ASSERT_GE(markers.size(), 3u);
  const TRDListInfo& numbers = doc.Sheet.ListStyles()[markers[0]->ListNo];
  ASSERT_GE(numbers.Levels.size(), 2u);
  EXPECT_EQ(numbers.Levels[0]->ListType, rdlstDecimal);
  EXPECT_EQ(numbers.Levels[0]->FormatString, "%s.");
  EXPECT_EQ(numbers.Levels[1]->ListType, rdlstLowerAlpha);
  EXPECT_EQ(markers[1]->Level, 1);
  EXPECT_EQ(markers[1]->ListNo, markers[0]->ListNo);
  // The Symbol bullet U+F0B7 is the single-byte bullet.
  const TRDListInfo& bullets = doc.Sheet.ListStyles()[markers[2]->ListNo];
  EXPECT_EQ(bullets.Levels[0]->ListType, rdlstBullet);
  EXPECT_EQ(bullets.Levels[0]->FormatString, "\xB7");
  EXPECT_EQ(markers[2]->StartFrom, 5);  // the override's start
  EXPECT_TRUE(markers[2]->Reset);
  // A marker starts the paragraph and the text continues it.
  const int first = doc.Document.GetItemNo(markers[0]);
  EXPECT_TRUE(doc.Item(first).IsParaStart());
  EXPECT_TRUE(doc.Item(first + 1).GetContinuesPara());
  EXPECT_EQ(doc.ItemText(first + 1), "First item");
  // The indents come from the paragraph: text at 48 pixels, marker at 24.
  EXPECT_EQ(numbers.Levels[0]->LeftIndent, 48);
  EXPECT_EQ(numbers.Levels[0]->MarkerIndent, 24);

  // A level without a number (\levelnfc255) shows its text alone: LibreOffice writes
  // an outline level without a number under a numbered one as the level's number only.
  TRTFImportDocument outline;
  outline.Options.ParaStyleMode = rdrsAddIfNeeded;
  const std::string levels =
      "{\\listlevel\\levelnfc0\\levelstartat1\\levelfollow2{\\leveltext "
      "\\'02\\'00.;}{\\levelnumbers\\'01;}}"
      "{\\listlevel\\levelnfc255\\levelfollow2{\\leveltext \\'01\\'01;}{\\levelnumbers\\'01;}}";
  ASSERT_EQ(outline.Import("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\list" + levels +
                           "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1"
                           "\\listoverridecount0\\ls1}}\\pard\\ls1\\ilvl0 Chapter\\par"
                           "\\pard\\ls1\\ilvl1 Section\\par}"),
            rtf_ec_OK);
  ASSERT_EQ(Markers(outline).size(), 2u);
  EXPECT_EQ(Markers(outline)[0]->DisplayString, "1.");
  EXPECT_EQ(Markers(outline)[1]->DisplayString, "");

  // An override's start number (\listoverridestartat) starts its first paragraph of the
  // level only: word processors number three paragraphs of it 1., 2., 3.
  TRTFImportDocument started;
  started.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(started.Import("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\list" + levels +
                           "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1"
                           "\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat1}"
                           "\\ls1}}\\pard\\ls1\\ilvl0 a\\par\\pard\\ls1\\ilvl0 b\\par"
                           "\\pard\\ls1\\ilvl0 c\\par}"),
            rtf_ec_OK);
  std::string shown;
  for (const TRDMarkerItemInfo* marker : Markers(started)) shown += marker->DisplayString + " ";
  EXPECT_EQ(shown, "1. 2. 3. ");
}

// The text of a list item stands where the level's \levelfollow puts it: after a tab at
// the level's tab stop or, without one, at the hanging indent \li (LibreOffice writes no
// tab stop: its numbers stand 283 twips, 19 pixels, before the text); after a space or
// nothing right after the number.
TEST(RTFImportLists, TheTextStandsWhereTheLevelFollowPutsIt) {
  struct TCase {
    const char* level;
    int distance;  // from the number's start to the text, pixels
  } const cases[] = {
      {"\\levelfollow0\\fi-283\\li709", 19},
      {"\\levelfollow0\\fi-360\\li1440\\jclisttab\\tx1800", 48},
      {"\\levelfollow0\\fi-360\\li1440\\tx720", 24},  // a stop left of the number
      {"\\levelfollow0\\fi360\\li0", 0},              // the number right of the hanging indent
      {"\\levelfollow1\\fi-283\\li709", 0},
      {"\\levelfollow2\\fi-283\\li709", 0},
  };
  for (const TCase& c : cases) {
    TRTFImportDocument doc;
    doc.Options.ParaStyleMode = rdrsAddIfNeeded;
    const std::string rtf =
        std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\list") +
        "{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}" + c.level +
        "}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1" +
        "\\listoverridecount0\\ls1}}\\pard\\ls1\\ilvl0 Item\\par}";
    ASSERT_EQ(doc.Import(rtf), rtf_ec_OK) << c.level;
    const std::vector<TRDMarkerItemInfo*> markers = Markers(doc);
    ASSERT_EQ(markers.size(), 1u) << c.level;
    const TRDListLevel& level = *doc.Sheet.ListStyles()[markers[0]->ListNo].Levels[0];
    EXPECT_EQ(level.LeftIndent + level.FirstIndent - level.MarkerIndent, c.distance) << c.level;
  }
  // A list LibreOffice wrote: both levels' numbers stand 19 pixels before their text.
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(doc.Import(LoadTestFile("rtf/libreoffice_list.rtf")), rtf_ec_OK);
  const std::vector<TRDMarkerItemInfo*> markers = Markers(doc);
  ASSERT_EQ(markers.size(), 7u);
  for (const TRDMarkerItemInfo* marker : {markers[0], markers[2]}) {
    const TRDListLevel& level =
        *doc.Sheet.ListStyles()[marker->ListNo].Levels[size_t(marker->Level)];
    EXPECT_NEAR(level.LeftIndent + level.FirstIndent - level.MarkerIndent, 19, 1) << marker->Level;
  }
}

// A list as LibreOffice writes it: the number each paragraph shows in \listtext before
// the paragraph's own text.
const char* const kNumberedList =
    "{\\rtf1{\\fonttbl{\\f0 Arial;}}"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\leveljc0\\levelstartat2"
    "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid7}}"
    "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}"
    "\\pard\\ls1\\ilvl0\\li720\\fi-360{\\listtext\\pard\\plain 2.\\tab}Second\\par"
    "\\pard\\ls1\\ilvl0\\li720\\fi-360{\\listtext\\pard\\plain 3.\\tab}Third\\par"
    "\\pard{\\pntext\\f0 -\\tab}Old style\\par}";

TEST(RTFImportLists, WithoutMarkersTheNumbersStayAsText) {
  // The default settings make no list markers: the numbers a reader saw stay.
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(kNumberedList), rtf_ec_OK);
  EXPECT_TRUE(Markers(doc).empty());
  EXPECT_EQ(doc.Text(), "2.\tSecond\r\n3.\tThird\r\n-\tOld style");
  // A picture in a list text (a picture bullet) is no text: the table stays whole.
  TRTFImportDocument cell;
  ASSERT_EQ(
      cell.Import("{\\rtf1\\trowd\\cellx2000\\cellx4000\\pard\\intbl{\\listtext\\pard"
                  "\\plain{\\pict\\dibitmap0\\picw1\\pich1 00}-\\tab}Item\\cell B\\cell\\row}"),
      rtf_ec_OK);
  ASSERT_NE(cell.Table(), nullptr);
  EXPECT_EQ(cell.Count(), 1);
  EXPECT_EQ(Grid(*cell.Table()), "-Item B");  // the tab an item of its own
  // With markers the numbers are the markers' own and not written twice.
  TRTFImportDocument marked;
  marked.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(marked.Import(kNumberedList), rtf_ec_OK);
  EXPECT_EQ(Markers(marked).size(), 2u);
  for (int i = 0; i < marked.Count(); ++i) {
    if (marked.Item(i).StyleNo >= 0) {
      EXPECT_EQ(marked.ItemText(i).find("3."), std::string::npos);
    }
  }
}

TEST(RTFImportLists, OldStyleNumbering) {
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(
      doc.Import("{\\rtf1{\\fonttbl{\\f0 Arial;}}"
                 "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3\\pnindent360{\\pntxta .}}one\\par"
                 "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3\\pnindent360{\\pntxta .}}two\\par"
                 "\\pard{\\*\\pn\\pnlvlblt\\pnf0{\\pntxtb -}}dot\\par"
                 "\\pard plain}"),
      rtf_ec_OK);
  const std::vector<TRDMarkerItemInfo*> markers = Markers(doc);
  ASSERT_EQ(markers.size(), 3u);
  EXPECT_EQ(markers[0]->ListNo, markers[1]->ListNo);
  const TRDListLevel& level = *doc.Sheet.ListStyles()[markers[0]->ListNo].Levels[0];
  EXPECT_EQ(level.ListType, rdlstDecimal);
  EXPECT_EQ(level.FormatString, "%s.");
  EXPECT_EQ(markers[0]->StartFrom, 3);
  EXPECT_TRUE(markers[0]->Reset);
  EXPECT_FALSE(markers[1]->Reset);
  EXPECT_EQ(markers[1]->Counter, 4);
  const TRDListLevel& bullet = *doc.Sheet.ListStyles()[markers[2]->ListNo].Levels[0];
  EXPECT_EQ(bullet.ListType, rdlstBullet);
  EXPECT_EQ(bullet.FormatString, "-");
  EXPECT_EQ(doc.Text().substr(0, 7), "3. one\r");

  // A section level's text that the paragraph's own group gives again stands once.
  TRTFImportDocument outline;
  outline.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(outline.Import("{\\rtf1{\\fonttbl{\\f0 Arial;}}"
                           "{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}"
                           "\\pard{\\*\\pn\\pnlvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang"
                           "{\\pntxta .}}Roman\\par}"),
            rtf_ec_OK);
  ASSERT_EQ(Markers(outline).size(), 1u);
  EXPECT_EQ(Markers(outline)[0]->DisplayString, "I.");
}

TEST(RTFImportLists, EqualListsOfOneFileCountApart) {
  const std::string level =
      "{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1{\\leveltext\\'02\\'00.;}"
      "{\\levelnumbers\\'01;}\\fi-360\\li720}";
  TRTFImportDocument doc;
  doc.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(doc.Import("{\\rtf1{\\*\\listtable{\\list" + level + "\\listid1}{\\list" + level +
                       "\\listid2}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}"
                       "{\\listoverride\\listid2\\ls2}}"
                       "\\pard\\ls1 a\\par\\pard\\ls1 b\\par\\pard\\ls2 c\\par\\pard\\ls2 d\\par}"),
            rtf_ec_OK);
  const std::vector<TRDMarkerItemInfo*> markers = Markers(doc);
  ASSERT_EQ(markers.size(), 4u);
  EXPECT_NE(markers[0]->ListNo, markers[2]->ListNo);
  EXPECT_EQ(markers[1]->DisplayString, "2.");
  EXPECT_EQ(markers[2]->DisplayString, "1.");
  EXPECT_EQ(markers[3]->DisplayString, "2.");
}

TEST(RTFImportLists, NumberingDroppedUnlessStylesMayBeAdded) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(LoadTestFile("rtf/lists.rtf")), rtf_ec_OK);
  EXPECT_TRUE(Markers(doc).empty());
  EXPECT_EQ(doc.ItemText(0), "First item");
}

}  // namespace

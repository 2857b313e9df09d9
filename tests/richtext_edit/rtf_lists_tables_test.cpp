// Word 97 list tables, old-style paragraph numbering, and table rows and cells with the
// table events around them.
#include <gtest/gtest.h>

#include "richtext_edit/support/rtf_event_log.h"

namespace {

using Lines = std::vector<std::string>;

TEST(RTFLists, ListTableAndOverridesFromTheFixture) {
  TRDRTFReader reader;
  std::vector<std::pair<int, int>> paragraphLists;  // override index and level per text
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string&, TRDRTFPosition) {
    paragraphLists.emplace_back(sender->State().ParaProps.ListOverride,
                                sender->State().ParaProps.ListLevel);
  };
  reader.OnNewUnicodeText = [](TRDRTFReader*, const std::u16string&, TRDRTFPosition) {};
  ASSERT_EQ(ReadRTF(reader, LoadTestFile("rtf/lists.rtf")), rtf_ec_OK);
  const TRDRTFListTable97& lists = reader.ListTable();
  ASSERT_EQ(lists.Count(), 2);
  EXPECT_EQ(lists[0].ListID, 1001);
  EXPECT_EQ(lists[0].Name, "Numbers;");  // unlike font and style names, kept as written
  EXPECT_FALSE(lists[0].Simple);
  ASSERT_EQ(lists[0].Levels.size(), 2u);
  const TRDRTFListLevel97& first = lists[0].Levels[0];
  EXPECT_EQ(first.NumberType, 1);
  EXPECT_EQ(first.Text, std::string("\x02\x00.", 3));  // count, level-number place, '.'
  EXPECT_EQ(first.Numbers, "\x01;");  // counted like the level text: one character after the count
  EXPECT_EQ(first.FirstIndent, -360);
  EXPECT_EQ(first.LeftIndent, 720);
  EXPECT_EQ(first.Start, 1);
  EXPECT_EQ(lists[0].Levels[1].NumberType, 2);  // \levelnfc4: lower-case letters
  const TRDRTFListLevel97& bullet = lists[1].Levels[0];
  EXPECT_TRUE(lists[1].Simple);
  EXPECT_EQ(bullet.NumberType, 6);
  EXPECT_EQ(bullet.FontIndex, 1);
  EXPECT_EQ(bullet.TextW, u"\x01\uf0b7");  // the ';' after the counted text is cut
  EXPECT_EQ(bullet.Text, "\x01?");
  EXPECT_EQ(bullet.Numbers, ";");
  const TRDRTFListOverrideTable97& overrides = reader.ListOverrideTable();
  ASSERT_EQ(overrides.Count(), 2);
  EXPECT_EQ(overrides[0].ListIndex, 0);
  EXPECT_EQ(overrides[0].Number, 1);
  EXPECT_EQ(overrides[1].ListIndex, 1);
  EXPECT_EQ(overrides[1].Count, 1);
  ASSERT_EQ(overrides[1].Levels.size(), 1u);
  EXPECT_TRUE(overrides[1].Levels[0].StartAtOverridden);
  EXPECT_EQ(overrides[1].Levels[0].StartAt, 5);
  ASSERT_GE(paragraphLists.size(), 3u);
  EXPECT_EQ(paragraphLists[0], std::make_pair(0, 0));
  EXPECT_EQ(paragraphLists[1], std::make_pair(0, 1));
  EXPECT_EQ(paragraphLists[2], std::make_pair(1, 0));
}

TEST(RTFLists, LevelWordsOutsideTheirPlacesAreSkipped) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  // \list outside \listtable, \leveltext outside a level, an empty level text.
  ASSERT_EQ(
      ReadRTF(
          reader,
          "{\\rtf1{\\list\\listid5 a}{\\leveltext b}{\\*\\listtable{\\list{\\listlevel{\\leveltext}"
          "{\\levelnumbers\\'05;}}}}\\ls9 c}"),
      rtf_ec_OK);
  EXPECT_EQ(log.Text(), "c");
  ASSERT_EQ(reader.ListTable().Count(), 1);
  EXPECT_EQ(reader.ListTable()[0].Levels[0].Text, "");
  EXPECT_EQ(reader.ListTable()[0].Levels[0].Numbers,
            "\x05;");  // a count past the text keeps it all
  EXPECT_EQ(LevelNfcToNumberType(23), 6);
  EXPECT_EQ(LevelNfcToNumberType(1), 5);
  EXPECT_EQ(LevelNfcToNumberType(47), 1);
}

TEST(RTFOldStyleNumbering, MarkersFromPnGroupsAndSectionLevels) {
  TRDRTFReader reader;
  std::vector<TRDRTFMarkerProperties> markers;
  std::vector<std::string> texts;
  reader.OnUpdateMarker = [](TComponent*) {};
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string& text, TRDRTFPosition) {
    if (sender->State().ParaProps.Marker) {
      markers.push_back(*sender->State().ParaProps.Marker);
      texts.push_back(text);
    }
  };
  ASSERT_EQ(ReadRTF(reader, LoadTestFile("rtf/lists.rtf")), rtf_ec_OK);
  ASSERT_EQ(markers.size(), 3u);
  EXPECT_EQ(texts[0], "Numbered one");
  EXPECT_EQ(markers[0].Level, TRDRTFMarkerProperties::kBodyLevel);
  EXPECT_EQ(markers[0].NumberType, 1);
  EXPECT_EQ(markers[0].Indent, 360);
  EXPECT_TRUE(markers[0].Hanging);
  EXPECT_EQ(markers[0].TextAfter, ".");
  // \pnlvl3 takes the section's level 3: decimal in parentheses; its own \pncf is kept.
  EXPECT_EQ(markers[1].Level, 3);
  EXPECT_EQ(markers[1].NumberType, 1);
  EXPECT_EQ(markers[1].TextBefore, "(");
  EXPECT_EQ(markers[1].TextAfter, ")");
  EXPECT_EQ(markers[1].Indent, 720);
  EXPECT_EQ(markers[1].Color, RGB(0, 128, 0));
  // A bullet in the Symbol font: U+F0B7 is the font's byte B7. Font and size were given.
  EXPECT_EQ(markers[2].Level, TRDRTFMarkerProperties::kBulletLevel);
  EXPECT_EQ(markers[2].TextBefore, "\xb7");
  EXPECT_EQ(markers[2].FontIndex, 1);
  EXPECT_EQ(markers[2].FontSize, 10);
  EXPECT_EQ(markers[2].FontFlags,
            TRDRTFCustomMarkerProperties::kFontGiven | TRDRTFCustomMarkerProperties::kSizeGiven);
}

TEST(RTFOldStyleNumbering, UnsetMarkerFontsFollowTheText) {
  TRDRTFReader reader;
  TRDRTFMarkerProperties marker;
  int updates = 0;
  reader.OnUpdateMarker = [&](TComponent*) {
    ++updates;
    if (reader.State().ParaProps.Marker) marker = *reader.State().ParaProps.Marker;
  };
  ReadRTF(reader,
          "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}{\\*\\pn\\pnlvlbody\\pndec\\pnfs30}"
          "\\cf1\\fs40 x\\par}");
  EXPECT_GE(updates, 2);
  EXPECT_EQ(marker.Color, RGB(1, 2, 3));
  EXPECT_EQ(marker.FontSize, 15);  // given by \pnfs, not taken from \fs40
}

TEST(RTFTables, EventsCellsAndRowPropertiesFromTheFixture) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  std::vector<TRDRTFRowProperties> rows;
  std::vector<int> startAlignments;
  const auto logTable = reader.OnTable;
  reader.OnTable = [&](TRDRTFReader* sender, TRDRTFTableEventKind kind) {
    logTable(sender, kind);
    if (kind == rdf_tbl_RowEnd) rows.push_back(*sender->State().RowProps);
    if (kind == rdf_tbl_TableStart)
      startAlignments.push_back(sender->RowAlignmentSet() ? sender->RowAlignment() : -1);
  };
  ASSERT_EQ(ReadRTF(reader, LoadTestFile("rtf/tables.rtf")), rtf_ec_OK);
  EXPECT_EQ(log.Lines, (Lines{"text NewPara: Before the table.",
                              "table start",
                              "text NewPara: A1",
                              "cell end",
                              "text NewPara: B1",
                              "cell end",
                              "text NewPara: C1",
                              "cell end",
                              "row end",
                              "text NewPara: A2 merged",
                              "cell end",
                              "text NewPara: ",  // an empty cell is an empty paragraph
                              "cell end",
                              "text NewPara: ",
                              "cell end",
                              "row end",
                              "text NewPara: Outer",
                              "cell end",
                              "table start",
                              "text NewPara: Inner 1",
                              "cell end",
                              "text NewPara: Inner 2",
                              "cell end",
                              "row end",
                              "table end",
                              "text NewPara: After inner",
                              "cell end",
                              "row end",
                              "table end",
                              "text NewPara: After the table.",
                              "end"}));
  ASSERT_EQ(rows.size(), 4u);
  const TRDRTFRowProperties& first = rows[0];
  ASSERT_EQ(first.Cells.size(), 3u);  // the open cell after the last \cellx is dropped
  EXPECT_EQ(first.GapH, 108);
  EXPECT_EQ(first.Left, -108);
  EXPECT_EQ(first.Height, 400);
  EXPECT_EQ(first.Padding[0], 108);
  EXPECT_TRUE(first.PaddingInTwips[0]);
  // Given for the row being defined: the first row's before the table starts; the
  // third row, in which the nested table starts, gives none (\\trowd starts afresh).
  EXPECT_EQ(startAlignments, (std::vector<int>{2, -1}));
  EXPECT_EQ(first.Cells[0].Right, 2000);
  EXPECT_EQ(first.Cells[0].Color, RGB(255, 255, 0));
  EXPECT_EQ(first.Cells[0].Border.Sides[1]->Style, 1);
  EXPECT_EQ(first.Cells[0].Border.Sides[1]->Width, 10);
  EXPECT_EQ(first.Cells[1].VMerge, 1);
  EXPECT_EQ(first.Cells[1].Border.Sides[3]->Style, 4);
  EXPECT_EQ(first.Cells[1].Border.Sides[3]->Color, RGB(0, 0, 0));
  EXPECT_EQ(first.Cells[2].Color, RGB(127, 127, 127));  // 50 % black over white
  EXPECT_EQ(first.Cells[2].Shading, 0);
  const TRDRTFRowProperties& merged = rows[1];
  EXPECT_EQ(merged.Cells[0].HMerge, 1);
  EXPECT_EQ(merged.Cells[1].HMerge, 2);
  EXPECT_EQ(merged.Cells[2].VMerge, 2);
  EXPECT_EQ(rows[2].Cells.size(), 2u);  // the nested row
  const TRDRTFRowProperties& outer = rows[3];
  EXPECT_TRUE(outer.PercentWidth);
  EXPECT_EQ(outer.BestWidth, -5000);
  EXPECT_EQ(outer.Cells[0].BestWidth, 3000);
  EXPECT_FALSE(outer.Cells[0].PercentWidth);
}

TEST(RTFTables, WidthUnitsAndMergeMarks) {
  TRDRTFRowProperties row;
  ApplyWidthUnit(2, row.PercentWidth, row.BestWidth);
  ApplyWidthValue(2500, row.PercentWidth, row.BestWidth);
  EXPECT_EQ(row.BestWidth, -2500);
  ApplyWidthUnit(1, row.PercentWidth, row.BestWidth);
  EXPECT_EQ(row.BestWidth, 0);
  TRDRTFReader reader;
  std::optional<TRDRTFRowProperties> seen;
  reader.OnTable = [&](TRDRTFReader* sender, TRDRTFTableEventKind kind) {
    if (kind == rdf_tbl_RowEnd) seen = sender->State().RowProps;
  };
  ReadRTF(reader,
          "{\\rtf1\\trowd\\clvmgf\\clvmrg\\clmrg\\cellx100\\trrh-300\\richviewtbw77\\intbl "
          "a\\cell\\row}");
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->Cells.size(), 1u);
  EXPECT_EQ(seen->Cells[0].VMerge, 1);  // a first cell of a merge stays one
  EXPECT_EQ(seen->Cells[0].HMerge, 2);
  EXPECT_EQ(seen->Height, 300);
  EXPECT_EQ(seen->BestWidth, 77);
  EXPECT_TRUE(seen->HasComponentSizes);
}

TEST(RTFTables, OpenTablesAreClosedAtTheEnd) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  ReadRTF(reader, "{\\rtf1\\intbl\\itap2 deep}");
  EXPECT_EQ(log.Lines, (Lines{"table start", "table start", "end", "text NewPara: deep",
                              "table end", "table end"}));
}

}  // namespace

namespace {

TEST(RTFTables, FormattingBetweenPardAndIntblKeepsTheTableOpen) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  ReadRTF(reader,
          "{\\rtf1\\pard\\intbl a\\cell\\pard\\plain\\b\\intbl b\\cell\\row\\pard\\plain c\\par}");
  EXPECT_EQ(log.Lines, (Lines{"table start", "text NewPara: a", "cell end", "text NewPara: b",
                              "cell end", "row end", "table end", "text NewPara: c", "end"}));
}

}  // namespace

namespace {

TEST(RTFLists, UnicodeInLevelAndMarkerTextsUsesTheFilesCodePage) {
  TRDRTFReader reader;
  std::string markerAfter;
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string&, TRDRTFPosition) {
    if (sender->State().ParaProps.Marker) markerAfter = sender->State().ParaProps.Marker->TextAfter;
  };
  ASSERT_EQ(ReadRTF(reader,
                    "{\\rtf1\\ansi\\ansicpg1251{\\*\\listtable{\\list{\\listlevel{\\leveltext\\'"
                    "03\\'e0\\u1073?;}}}}"
                    "{\\*\\pn\\pnlvlbody{\\pntxta\\u1074?}}x}"),
            rtf_ec_OK);
  const TRDRTFListLevel97& level = reader.ListTable()[0].Levels[0];
  EXPECT_EQ(level.Text, "\x03\xe0\xe1;");        // а б in code page 1251
  EXPECT_EQ(level.TextW, u"\x03\u0430\u0431;");  // the bytes before the first \u converted too
  EXPECT_EQ(markerAfter, "\xe2");                // в
}

}  // namespace

namespace {

TEST(RTFTables, RowsAndTabListsAreBounded) {
  TRDRTFReader reader;
  std::size_t cells = 0, tabs = 0;
  reader.OnTable = [&](TRDRTFReader* sender, TRDRTFTableEventKind kind) {
    if (kind == rdf_tbl_RowEnd) cells = sender->State().RowProps->Cells.size();
  };
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string&, TRDRTFPosition) {
    tabs = sender->State().ParaProps.Tabs->size();
  };
  std::string rtf = "{\\rtf1\\trowd";
  for (int i = 1; i <= 100000; ++i) rtf += "\\cellx" + std::to_string(i);
  for (int i = 1; i <= 100000; ++i) rtf += "\\tx" + std::to_string(i);
  // Each group copies the row and the tabs: bounded, this stays linear.
  for (int i = 0; i < 20000; ++i) rtf += "{}";
  rtf += "\\intbl x\\cell\\row}";
  ASSERT_EQ(ReadRTF(reader, rtf), rtf_ec_OK);
  EXPECT_EQ(cells, TRDRTFRowProperties::kMaxCells);
  EXPECT_EQ(tabs, TRDRTFParaProperties::kMaxTabs - 1);
}

}  // namespace

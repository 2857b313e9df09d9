// RTF written by an independent program: AbiWord 3.0 (Debian package abiword) converted
// tests/data/rtf/abiword/stations.html with `abiword --to=rtf stations.html`. What the
// HTML says must come out of our reader: the text of every paragraph and cell, the
// lists (a Word 97 list table and old-style \pn markers side by side), the table's rows
// and cells, the red word and the euro sign.
#include <gtest/gtest.h>

#include "richtext_edit/support/rtf_event_log.h"

namespace {

using Lines = std::vector<std::string>;

TEST(RTFIndependentWriter, AbiWordDocument) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  std::vector<int> cellsPerRow;
  std::vector<std::string> markers;  // marker text before and after, per list paragraph
  TColor redWordColor = clNone;
  const auto logText = reader.OnNewUnicodeText;
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string& text, TRDRTFPosition at) {
    log.Lines.push_back(std::string(PositionName(at)) + ": " + text);
    const auto& para = sender->State().ParaProps;
    if (para.Marker) markers.push_back(para.Marker->TextBefore + "|" + para.Marker->TextAfter);
    if (text == "red") redWordColor = sender->State().CharProps.Color;
  };
  const auto logTable = reader.OnTable;
  reader.OnTable = [&](TRDRTFReader* sender, TRDRTFTableEventKind kind) {
    logTable(sender, kind);
    if (kind == rdf_tbl_RowEnd) cellsPerRow.push_back(int(sender->State().RowProps->Cells.size()));
  };
  ASSERT_EQ(ReadRTF(reader, LoadTestFile("rtf/abiword/stations.rtf")), rtf_ec_OK);
  EXPECT_EQ(log.Lines, (Lines{"NewPara: Heard stations",
                              "NewPara: Plain text, ",
                              "Continue: bold",
                              "Continue: , ",
                              "Continue: italic",
                              "Continue: , ",
                              "Continue: underlined",
                              "Continue:  and ",
                              "Continue: red",
                              "Continue:  words.",
                              "NewPara: First numbered",
                              "NewPara: Second numbered",
                              "NewPara: Bullet one",
                              "NewPara: Bullet two",
                              "table start",
                              "NewPara: Call",
                              "cell end",
                              "NewPara: Distance",
                              "cell end",
                              "NewPara: Bearing",
                              "cell end",
                              "row end",
                              "NewPara: DL1ABC-9",
                              "cell end",
                              "NewPara: 12 km",
                              "cell end",
                              "NewPara: 45\xb0",
                              "cell end",
                              "row end",
                              "NewPara: Merged two",
                              "cell end",
                              "NewPara: Last",
                              "cell end",
                              "row end",
                              "table end",
                              "NewPara: ",  // the empty paragraphs LibreOffice shows too
                              "NewPara: Euro ",
                              "utext Continue: \u20ac",
                              "Continue:  and umlauts \xe4\xf6\xfc after the table.",
                              "NewPara: ",
                              "NewPara: ",
                              "end"}));
  EXPECT_EQ(redWordColor, RGB(255, 0, 0));
  EXPECT_EQ(markers, (std::vector<std::string>{
                         "|.", "|.", "\x95|", "\x95|"}));  // "{\\pntxtb }": the blank ends the word
  // The first row is defined inside a group of its own; as row properties belong to
  // the group, they are gone when its \row comes. The other two rows define theirs at
  // the level of their cells: three cells, then two (the merged pair is one wide cell).
  EXPECT_EQ(cellsPerRow, (std::vector<int>{0, 3, 2}));
  ASSERT_EQ(reader.ListTable().Count(), 2);
  EXPECT_EQ(reader.ListTable()[1].Levels[0].NumberType, 6);
  EXPECT_EQ(reader.ListTable()[1].Levels[0].TextW, u"\x01\u2022");
  EXPECT_EQ(reader.ListOverrideTable()[1].ListIndex, 1);
  EXPECT_EQ(reader.StyleSheet().Count(), 40);
  EXPECT_EQ(reader.StyleSheet()[0].Name, "Contents 1");
}

}  // namespace

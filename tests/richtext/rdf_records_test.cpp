// Document-file routines and item records: hexadecimal coding, header tokens, tags,
// line breaks, the records of text, break and tab items, and a truncation sweep over a
// whole document.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/break_item.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/tab_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {

std::string StreamText(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string SavedText(TCustomRDData& data) {
  TMemoryStream stream;
  SaveRDFToStream(data, stream, false);
  return StreamText(stream);
}

bool LoadText(TCustomRDData& data, const std::string& text) {
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), int64_t(text.size()));
  stream.SetPosition(0);
  return LoadRDFFromStream(data, stream);
}

TEST(Hex, BytesAndWideStrings) {
  EXPECT_EQ(StringToHex(std::string("\x0A\x1B\xFF", 3)), "0A1BFF");
  std::string s;
  HexToString("0a1B", s);
  EXPECT_EQ(s, "\x0A\x1B");
  HexToString("0a1", s);
  EXPECT_EQ(s, "");
  HexToString("0AG1", s);
  EXPECT_EQ(s, "\x0A");
  TMemoryStream stream;
  EXPECT_TRUE(HexToStream("0a1B", stream));
  EXPECT_EQ(StreamText(stream), "\x0A\x1B");
  EXPECT_FALSE(HexToStream("0a1", stream));
  EXPECT_FALSE(HexToStream("0aZZ", stream));
  std::string back;
  EXPECT_TRUE(HexToStream("00FF", stream));
  StreamToHex(stream, back);
  EXPECT_EQ(back, "00FF");
  EXPECT_EQ(WideStringToHex(u"A\u20AC"), "004120AC");
  std::u16string ws;
  HexToWideString("004120ac", ws);
  EXPECT_EQ(ws, u"A\u20AC");
  HexToWideString("00412", ws);
  EXPECT_EQ(ws, u"");
}

TEST(HeaderTokens, IntegersWordsAndQuotes) {
  std::string_view p = "-12 3";
  int value = 0;
  EXPECT_TRUE(RDFReadInteger(p, value));
  EXPECT_EQ(value, -12);
  EXPECT_EQ(p, "3");
  p = "12a";
  EXPECT_FALSE(RDFReadInteger(p, value));
  p = "-";
  EXPECT_TRUE(RDFReadInteger(p, value));
  EXPECT_EQ(value, 0);
  p = "x";
  EXPECT_FALSE(RDFReadInteger(p, value));
  p = "99999999999";
  EXPECT_FALSE(RDFReadInteger(p, value));
  p = "-2147483648";
  EXPECT_TRUE(RDFReadInteger(p, value));
  EXPECT_EQ(value, -2147483647 - 1);
  std::string word;
  p = "word rest";
  EXPECT_TRUE(RDFReadWord(p, word));
  EXPECT_EQ(word, "word");
  EXPECT_EQ(p, "rest");
  p = "\"say \"\"hi\"\"\" next";
  RDFReadQuotedString(p, word);
  EXPECT_EQ(word, "say \"hi\"");
  EXPECT_EQ(p, "next");
  p = "\"unterminated";
  RDFReadQuotedString(p, word);
  EXPECT_EQ(word, "unterminated");
  EXPECT_EQ(p, "");
}

TEST(HeaderTokens, Tags) {
  TRDTag tag;
  std::string_view p = "0 x";
  EXPECT_TRUE(RDFReadTag(p, true, true, tag));
  EXPECT_FALSE(tag.Text.has_value());
  p = "\"0\"";
  EXPECT_TRUE(RDFReadTag(p, true, true, tag));
  EXPECT_EQ(tag.Text, "0");
  p = "42";
  EXPECT_TRUE(RDFReadTag(p, false, true, tag));
  EXPECT_EQ(tag.Number, 42);
  p = "abc";
  EXPECT_FALSE(RDFReadTag(p, false, true, tag));
  p = "";
  EXPECT_FALSE(RDFReadTag(p, true, true, tag));
  EXPECT_EQ(TagToRDFString(true, TRDTag{}), "0");
  EXPECT_EQ(TagToRDFString(true, TRDTag{0, ""}), "0");
  EXPECT_EQ(TagToRDFString(true, TRDTag{0, "a\"b"}), "\"a\"\"b\"");
  EXPECT_EQ(TagToRDFString(false, TRDTag{-7, {}}), "-7");
}

TEST(HeaderTokens, StylesByNumberOrName) {
  TRDStyle sheet;
  int styleNo = -1;
  std::string_view p = "\"Keywords\" 1";
  EXPECT_TRUE(RDFReadTextStyle(&sheet, p, styleNo));
  EXPECT_EQ(styleNo, 3);
  p = "\"Missing\"";
  EXPECT_TRUE(RDFReadTextStyle(&sheet, p, styleNo));
  EXPECT_EQ(styleNo, 0);
  p = "\"Centered\"";
  EXPECT_TRUE(RDFReadParaStyle(&sheet, p, styleNo));
  EXPECT_EQ(styleNo, 1);
  p = "junk";
  EXPECT_FALSE(RDFReadParaStyle(&sheet, p, styleNo));
  EXPECT_EQ(TextStyleNoToRDFString(&sheet, true, 1), "\"Heading\"");
  EXPECT_EQ(TextStyleNoToRDFString(&sheet, false, 1), "1");
  EXPECT_EQ(ParaNoToRDFString(&sheet, true, -1), "-1");
}

TEST(LineBreakCoding, RoundTrip) {
  EXPECT_EQ(EncodeRDFLineBreaks("a\r\nb"),
            "a\x01\x02"
            "b");
  EXPECT_EQ(DecodeRDFLineBreaks(EncodeRDFLineBreaks("x\ry\nz")), "x\ry\nz");
  TMemoryStream stream;
  WriteRDFItemTextLine(stream, WideStringToRawUnicode(u"A"), true, true);
  WriteRDFItemTextLine(stream, WideStringToRawUnicode(u"B"), true, false);
  WriteRDFItemTextLine(stream, "C", false, true);
  EXPECT_EQ(StreamText(stream), std::string("4100\r\nB\0\x29\x20"
                                            "C\r\n",
                                            13));
}

TEST(ItemRecords, ExactTextOfTextBreakAndTabRecords) {
  TCustomRDData data;
  data.AddText("Hello", 0, 0);
  data.AddText("x", 2, -1);
  data.GetItem(1)->Tag.Number = 9;
  data.GetItem(1)->Hint = "h";
  auto line = std::make_unique<TRDBreakItemInfo>(&data);
  line->StyleNo = rdsBreak;
  line->ParaNo = 0;
  line->Color = clRed;
  line->LineWidth = 2;
  data.AddItemAtEnd("", std::move(line));
  auto tab = std::make_unique<TRDTabItemInfo>(&data);
  tab->StyleNo = rdsTab;
  tab->TextStyleNo = 3;
  tab->SetSpacing(4);
  data.AddItemAtEnd("", std::move(tab));
  EXPECT_EQ(SavedText(data),
            "-8 1 3\r\n"
            "0 1 0 0 0 0\r\nHello\r\n"
            "2 1 -1 1 0 9 \"h\"\r\nx\r\n"
            "-1 0 0 0 0 0 255 0 2\r\n"
            "-12 1 0 0 0 0 3\r\nspacing=4\r\n");
}

// Every field, in both forms and with styles by number or by name; every text field of a
// header or a checkpoint (tags, style names, hints, checkpoint names) may hold line breaks.
TEST(ItemRecords, RoundTripKeepsEveryField) {
  TRDStyle sheet;
  sheet.TextStyles()[1].Unicode = true;
  sheet.TextStyles()[1].SetStyleName("Uni\r\ncode");
  sheet.ParaStyles()[1].SetStyleName("Cen\ntred");
  for (TRDFOptions rdfOptions : {TRDFOptions(0), rdfoSaveBinary, rdfoUseStyleNames}) {
    TCustomRDData data;
    data.SetRDStyle(&sheet);
    data.SetOptions(rdoTagsArePChars);
    data.SetRDFOptions(rdfOptions);
    data.AddText("plain \xE9", 0, 0);
    data.SetPendingCheckpoint("check\r\npoint\r", true, TRDTag{0, std::string("cp\ntag")});
    data.AddTextWithTag(WideStringToRawUnicode(u"\u4E00 z"), 1, -1,
                        TRDTag{0, std::string("t \"q\"\r\nnext")});
    data.GetItem(1)->Hint = "two\r\nlines";
    auto line = std::make_unique<TRDBreakItemInfo>(&data);
    line->StyleNo = rdsBreak;
    line->ParaNo = 1;
    line->Style = rdbrs3D;
    line->DeleteProtect = true;
    line->Hint = "sep";
    line->Tag = TRDTag{0, std::string("\nline\r")};
    data.AddItemAtEnd("", std::move(line));
    data.AddText("after", 0, 1);
    data.GetItem(3)->SetPageBreakBefore(true);
    data.SetPendingCheckpoint("\nlast", false, TRDTag{});

    TCustomRDData loaded;
    loaded.SetRDStyle(&sheet);
    loaded.SetOptions(rdoTagsArePChars);
    ASSERT_TRUE(LoadText(loaded, SavedText(data))) << rdfOptions;
    ASSERT_EQ(loaded.GetItemCount(), 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(loaded.GetItemTextRaw(i), data.GetItemTextRaw(i)) << i;
      EXPECT_EQ(loaded.GetItem(i)->StyleNo, data.GetItem(i)->StyleNo) << i;
      EXPECT_EQ(loaded.GetItem(i)->ParaNo, data.GetItem(i)->ParaNo) << i;
      EXPECT_EQ(loaded.GetItemOptions(i), data.GetItemOptions(i)) << i;
      EXPECT_EQ(loaded.GetItem(i)->Hint, data.GetItem(i)->Hint) << i;
      EXPECT_EQ(loaded.GetItem(i)->Tag, data.GetItem(i)->Tag) << i;
    }
    const auto& copied = dynamic_cast<const TRDBreakItemInfo&>(*loaded.GetItem(2));
    EXPECT_EQ(copied.Style, rdbrs3D);
    EXPECT_TRUE(copied.DeleteProtect);
    const TRDCPInfo* checkpoint = loaded.GetItem(1)->Checkpoint.get();
    ASSERT_TRUE(checkpoint);
    EXPECT_EQ(checkpoint->Name, "check\r\npoint\r");
    EXPECT_EQ(checkpoint->Tag, data.GetItem(1)->Checkpoint->Tag);
    EXPECT_TRUE(checkpoint->RaiseEvent);
    ASSERT_TRUE(loaded.NotAddedCP);
    EXPECT_EQ(loaded.NotAddedCP->Name, "\nlast");
  }
  // A NUL would end the line as well: it is written as '?', as in item texts.
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.SetPendingCheckpoint(std::string("a\0b", 3), false, TRDTag{});
  data.AddText("x", 0, 0);
  TCustomRDData loaded;
  loaded.SetRDStyle(&sheet);
  ASSERT_TRUE(LoadText(loaded, SavedText(data)));
  ASSERT_EQ(loaded.GetItemCount(), 1);
  ASSERT_TRUE(loaded.GetItem(0)->Checkpoint);
  EXPECT_EQ(loaded.GetItem(0)->Checkpoint->Name, "a?b");
}

TEST(ItemRecords, StyleNamesTravelInsteadOfNumbers) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.SetRDFOptions(rdfoUseStyleNames);
  data.AddText("k", 3, 1);
  const std::string text = SavedText(data);
  EXPECT_EQ(text, "-8 1 3\r\n\"Keywords\" 1 \"Centered\" 0 0 0\r\nk\r\n");
  TCustomRDData loaded;
  loaded.SetRDStyle(&sheet);
  ASSERT_TRUE(LoadText(loaded, text));
  EXPECT_EQ(loaded.GetItem(0)->StyleNo, 3);
  EXPECT_EQ(loaded.GetItem(0)->ParaNo, 1);
}

TEST(ItemRecords, BadRecordsStopTheRead) {
  TRDStyle sheet;
  auto read = [&](const std::string& text, int expectedItems) {
    TCustomRDData data;
    data.SetRDStyle(&sheet);
    const bool ok = LoadText(data, "-8 1 3\r\n" + text);
    EXPECT_EQ(data.GetItemCount(), expectedItems) << text;
    return ok;
  };
  EXPECT_TRUE(read("", 0));
  EXPECT_FALSE(read("x 1 0 0 0 0\r\ntext\r\n", 0));
  EXPECT_FALSE(read("0 -1 0 0 0 0\r\n", 0));
  EXPECT_FALSE(read("0 1 0 0 7 0\r\nx\r\n", 0));      // no such save type
  EXPECT_TRUE(read("-20 1 0 0 0 0\r\nname\r\n", 0));  // a kind nobody registered: skipped
  EXPECT_FALSE(read("0 2000000000 0 0 0 0\r\nx\r\n", 1));
  EXPECT_TRUE(read("0 0 0 0 0 0\r\n", 1));
  EXPECT_FALSE(read("0 1 0 8 3 0\r\n414\r\n", 0));
  EXPECT_FALSE(read("0 1 0 8 3 0\r\n41XX\r\n", 0));
  EXPECT_FALSE(read("-1 0 0 0 0 0 1 2\r\n", 0));    // a break needs three numbers
  EXPECT_FALSE(read("-1 0 0 0 0 0 1 9 1\r\n", 0));  // no such break style
  EXPECT_TRUE(read("-1 0 0 0 0 0\r\n", 1));         // defaults
  EXPECT_FALSE(read("0 1 0 0 0 0\r\na\r\n0 1 0 0 0 0\r\nb\r\n7 1 0 0 0 0\r\nc\r\n", 2));
}

TEST(ItemRecords, EveryPrefixOfADocumentReadsCleanly) {
  std::ifstream file(std::string(VELMORA_TEST_DATA) + "/richtext/monitor_items.rdf",
                     std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  const std::string document = content.str();
  ASSERT_FALSE(document.empty());
  TRDStyle sheet;
  {
    TCustomRDData whole;
    whole.SetRDStyle(&sheet);
    ASSERT_TRUE(LoadText(whole, document));
    EXPECT_EQ(whole.GetItemCount(), 7);
  }
  for (size_t length = 0; length <= document.size(); ++length) {
    TCustomRDData data;
    data.SetRDStyle(&sheet);
    LoadText(data, document.substr(0, length));
    EXPECT_LE(data.GetItemCount(), 7);
  }
}

}  // namespace

// Plain-text export of a document and of its selection, in 8-bit text and in UTF-16 with
// and without the byte-order mark, checked byte for byte and through iconv; the
// selection as the RDF block of the clipboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/text_export.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/model/break_item.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/test_formatted_data.h"

namespace {

std::string Export(TCustomRDData& data, bool unicode, bool signature, bool textOnly = false) {
  TMemoryStream stream;
  EXPECT_TRUE(SaveTextToStream(data, stream, 10, false, textOnly, unicode, signature));
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

TEST(TextExport, ParagraphsLinesAndEncodings) {
  TRDStyle sheet;
  sheet.TextStyles()[1].Unicode = true;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  EXPECT_EQ(Export(data, false, false), "");
  data.AddText("ab", 0, 0);
  data.AddText("cd", 0, 0);
  EXPECT_EQ(Export(data, false, false), "ab\r\ncd");
  EXPECT_EQ(Export(data, true, true), std::string("\xFF\xFE"
                                                  "a\0b\0\r\0\n\0c\0d\0",
                                                  14));
  EXPECT_EQ(Export(data, true, false).size(), 12u);

  data.AddText(WideStringToRawUnicode(u"\u00E9\u4E00"), 1, -1);  // continues "cd"
  auto line = std::make_unique<TRDBreakItemInfo>(&data);
  line->StyleNo = rdsBreak;
  data.AddItemAtEnd("", std::move(line));
  data.AddText("\xE9", 0, 0);
  EXPECT_EQ(Export(data, false, false), "ab\r\ncd\xE9?\r\n----------\r\n\xE9");
  EXPECT_EQ(Export(data, false, false, true), "ab\r\ncd\xE9?\r\n\r\n\xE9");
  EXPECT_EQ(Export(data, true, false).substr(8, 8), WideStringToRawUnicode(u"cd\u00E9\u4E00"));
}

// UTF-8 holds every character of every code page in one file: text of a Windows-1251
// style, of a 1252 style and Unicode text beyond the basic plane come back whole.
TEST(TextExport, UTF8HoldsEveryCodePage) {
  TRDStyle sheet;
  while (sheet.TextStyles().Count() < 3) sheet.TextStyles().Add();
  sheet.TextStyles()[1].Charset = RUSSIAN_CHARSET;
  sheet.TextStyles()[2].Unicode = true;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText("caf\xE9", 0, 0);
  data.AddText("\xC4\xE0", 1, 0);
  data.AddText(WideStringToRawUnicode(u"\u4E2D \U0001F600"), 2, -1);
  TMemoryStream stream;
  EXPECT_TRUE(SaveTextToStreamUTF8(data, stream, 80, false, false));
  EXPECT_EQ(std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size())),
            "caf\u00e9\r\n\u0414\u0430\u4e2d \U0001F600");
}

// The application's own text of an item replaces the item's, as in the HTML and RTF
// exports; in the output's encoding.
TEST(TextExport, SaveItemHookSuppliesText) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText("ab", 0, 0);
  data.AddText("cd", 0, 0);
  data.ExportHooks.OnSaveItemToFile = [](TCustomRDData*, int itemNo, TRDSaveFormat format,
                                         bool unicode, std::string& out) {
    if (itemNo != 1 || format != rdsfText) return false;
    out = unicode ? std::string("X\0", 2) : "X";
    return true;
  };
  EXPECT_EQ(Export(data, false, false), "ab\r\nX");
  EXPECT_EQ(Export(data, true, false), std::string("a\0b\0\r\0\n\0X\0", 10));
}

TEST(TextExport, SelectionOnlyInTextAndAsRDFBlock) {
  TTestFormattedData data(200, 100);
  data.AddText("abcd", 0, 0);
  data.AddText("efgh", 1, 0);
  data.Format();
  TMemoryStream none;
  EXPECT_TRUE(SaveTextToStream(data, none, 80, true, false, false, false));
  EXPECT_EQ(none.Size(), 0);
  data.SetSelectionBounds(1, 3, 0, 2);  // backwards: "bcd", the break, "ef"
  TMemoryStream text;
  SaveTextToStream(data, text, 80, true, false, false, false);
  EXPECT_EQ(std::string(static_cast<const char*>(text.Memory()), size_t(text.Size())), "bcd\r\nef");

  TMemoryStream block;
  SaveRDFBlock(data, block, true);
  block.SetPosition(0);
  TTestFormattedData pasted(200, 100);
  int index = 0;
  ASSERT_TRUE(LoadRDFBlock(pasted, block, index));
  ASSERT_EQ(pasted.GetItemCount(), 2);
  EXPECT_EQ(pasted.GetItemTextRaw(0), "bcd");
  EXPECT_EQ(pasted.GetItemTextRaw(1), "ef");
  EXPECT_EQ(pasted.GetItem(1)->StyleNo, 1);
}

TEST(TextExport, UnicodeOutputIsWhatIconvReads) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText(
      "Gr\xFC\xDF"
      "e \x80",
      0, 0);
  data.AddText("zwei", 0, 0);
  const std::string path = ::testing::TempDir() + "/text_export_utf16.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << Export(data, true, true);
  }
  FILE* pipe = popen(("iconv -f UTF-16 -t UTF-8 '" + path + "'").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string utf8;
  char buffer[256];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) utf8.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(utf8,
            "Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC\r\nzwei");
  std::remove(path.c_str());
}

}  // namespace

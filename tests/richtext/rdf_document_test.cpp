// The document format as a whole: byte-exact documents in the text and the binary form,
// round trips that must give the same items, the document-level records (background,
// styles, layout, properties, checkpoints), the reader's tolerance and its limits, the
// length-prefixed block of the clipboard and the layout block.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/rd_layout_info.h"
#include "richtext/base/rd_marker_block.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/base/style_types.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/break_item.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {

std::string Bytes(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes) {
  auto stream = std::make_unique<TMemoryStream>();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

std::string Golden(const std::string& name) {
  std::ifstream file(std::string(VELMORA_TEST_DATA) + "/richtext/rdf/" + name, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

// The sample document of the golden files: a run of two paragraphs, a continuing item
// with a quoted tag, a checkpoint on a line of its own, a Unicode paragraph, a break
// line, and a checkpoint after the last item.
void BuildSample(TCustomRDData& data) {
  data.AddText("one", 0, 0);
  data.AddText("two", 0, 0);
  data.AddTextWithTag("bold", 1, -1, TRDTag{0, std::string("t\"q")});
  data.SetPendingCheckpoint("cp1", true, TRDTag{});
  data.AddText("x", 2, 0);
  data.GetItem(3)->ItemOptions = rdioLineBreakBefore;
  data.AddText(WideStringToRawUnicode(u"\u4E00A"), 4, 1);
  auto line = std::make_unique<TRDBreakItemInfo>(&data);
  line->StyleNo = rdsBreak;
  data.AddItemAtEnd("", std::move(line));
  data.SetPendingCheckpoint("end", false, TRDTag{});
}

struct Sample {
  TRDStyle sheet;
  TCustomRDData data;
  TRDBackground background{false};
  std::vector<std::string> properties{"line1", "a\r\nb"};
  TRDLayoutInfo layout;
  TRDFSaveContext context;
  Sample() {
    sheet.TextStyles()[4].Unicode = true;
    data.SetRDStyle(&sheet);
    data.SetOptions(rdoTagsArePChars);
    BuildSample(data);
    layout.LeftMargin = layout.RightMargin = layout.TopMargin = layout.BottomMargin = 5;
    context.BackColor = 0xFFFFFF;
    context.Background = &background;
    context.DocProperties = &properties;
    context.Layout = &layout;
  }
  std::string Save(TRDFOptions options) {
    data.SetRDFOptions(options);
    TMemoryStream stream;
    SaveRDFToStream(data, stream, false, context);
    return Bytes(stream);
  }
};

constexpr TRDFOptions kDocumentParts = rdfoSaveBack | rdfoSaveDocProperties | rdfoSaveLayout;

void ExpectSameItems(const TCustomRDData& a, const TCustomRDData& b) {
  ASSERT_EQ(a.GetItemCount(), b.GetItemCount());
  for (int i = 0; i < a.GetItemCount(); ++i) {
    const TCustomRDItemInfo& x = *a.GetItem(i);
    const TCustomRDItemInfo& y = *b.GetItem(i);
    EXPECT_EQ(a.GetItemTextRaw(i), b.GetItemTextRaw(i)) << i;
    EXPECT_EQ(x.StyleNo, y.StyleNo) << i;
    EXPECT_EQ(x.ParaNo, y.ParaNo) << i;
    EXPECT_EQ(x.ItemOptions, y.ItemOptions) << i;
    EXPECT_EQ(x.Tag, y.Tag) << i;
    EXPECT_EQ(x.Hint, y.Hint) << i;
    ASSERT_EQ(bool(x.Checkpoint), bool(y.Checkpoint)) << i;
    if (x.Checkpoint) {
      EXPECT_EQ(x.Checkpoint->Name, y.Checkpoint->Name) << i;
      EXPECT_EQ(x.Checkpoint->RaiseEvent, y.Checkpoint->RaiseEvent) << i;
    }
  }
  ASSERT_EQ(bool(a.NotAddedCP), bool(b.NotAddedCP));
  if (a.NotAddedCP) {
    EXPECT_EQ(a.NotAddedCP->Name, b.NotAddedCP->Name);
  }
  EXPECT_EQ(a.CPCount, b.CPCount);
}

TEST(RDFDocument, TextFormIsByteExact) {
  Sample sample;
  EXPECT_EQ(sample.Save(kDocumentParts), Golden("sample_text.rdf"));
}

TEST(RDFDocument, BinaryFormIsByteExact) {
  Sample sample;
  EXPECT_EQ(sample.Save(kDocumentParts | rdfoSaveBinary), Golden("sample_binary.rdf"));
}

TEST(RDFDocument, BothFormsReadBackItemByItem) {
  for (TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
    Sample sample;
    const std::string saved = sample.Save(kDocumentParts | form);
    TCustomRDData loaded;
    loaded.SetRDStyle(&sample.sheet);
    loaded.SetOptions(rdoTagsArePChars);
    loaded.SetRDFOptions(rdfoLoadBack | rdfoLoadDocProperties | rdfoLoadLayout);
    TColor backColor = clNone;
    TRDBackground background(false);
    std::vector<std::string> properties;
    TRDLayoutInfo layout;
    TRDFLoadContext context;
    context.BackColor = &backColor;
    context.Background = &background;
    context.DocProperties = &properties;
    context.Layout = &layout;
    ASSERT_TRUE(LoadRDFFromStream(loaded, *StreamOf(saved), context));
    ExpectSameItems(sample.data, loaded);
    EXPECT_EQ(loaded.GetRDFWarnings(), 0u);
    EXPECT_EQ(backColor, 0xFFFFFF);
    EXPECT_EQ(properties, sample.properties);
    EXPECT_TRUE(layout.Loaded);
    EXPECT_EQ(layout.TopMargin, 5);
  }
}

TEST(RDFDocument, WhatTheOptionsLeaveOut) {
  TCustomRDData empty;
  TMemoryStream stream;
  EXPECT_TRUE(SaveRDFToStream(empty, stream, false));
  EXPECT_EQ(stream.Size(), 0);  // not even the version record

  Sample sample;
  const std::string plain = sample.Save(0);
  EXPECT_EQ(plain.substr(0, 20), "-8 1 3\r\n0 2 0 0 0 0\r");
  // Read without the load options, the document-level records change nothing.
  TCustomRDData loaded;
  loaded.SetRDStyle(&sample.sheet);
  loaded.SetOptions(rdoTagsArePChars);
  TColor backColor = clNone;
  std::vector<std::string> properties;
  TRDFLoadContext context;
  context.BackColor = &backColor;
  context.DocProperties = &properties;
  ASSERT_TRUE(LoadRDFFromStream(loaded, *StreamOf(sample.Save(kDocumentParts)), context));
  EXPECT_EQ(backColor, clNone);
  EXPECT_TRUE(properties.empty());
  ExpectSameItems(sample.data, loaded);
}

TEST(RDFDocument, BackgroundPictureInBothForms) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.SetRDFOptions(rdfoSaveBack);
  data.AddText("on a picture", 0, 0);
  TBitmap picture;
  picture.SetSize(3, 2);
  TRDBackground background(false);
  background.AssignImage(&picture);
  background.Style = bsTiled;
  TRDFSaveContext save;
  save.BackColor = 0x0000FF;
  save.Background = &background;
  for (TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
    data.SetRDFOptions(rdfoSaveBack | form);
    TMemoryStream stream;
    SaveRDFToStream(data, stream, false, save);
    const std::string bytes = Bytes(stream);
    EXPECT_EQ(bytes.substr(8, 22), form ? "-7 2 0 0 2 0 2 255\r\nTB" : "-7 2 0 0 0 0 2 255\r\nTB");
    TCustomRDData loaded;
    loaded.SetRDStyle(&sheet);
    loaded.SetRDFOptions(rdfoLoadBack);
    TRDBackground read(false);
    TColor color = clNone;
    TRDFLoadContext load;
    load.Background = &read;
    load.BackColor = &color;
    ASSERT_TRUE(LoadRDFFromStream(loaded, *StreamOf(bytes), load));
    EXPECT_EQ(loaded.GetItemCount(), 1);
    EXPECT_EQ(color, 0x0000FF);
    EXPECT_EQ(read.Style, bsTiled);
    ASSERT_NE(read.GetBitmap(), nullptr);
    EXPECT_EQ(read.GetBitmap()->Width(), 3);
    EXPECT_EQ(read.GetBitmap()->Height(), 2);
    // A picture that cannot be decoded ends the read.
    std::string broken = bytes;
    broken.replace(broken.find("TBitmap\r\n") + 9, 4, form ? std::string("\x02\0\0\0", 4) : "ZZ");
    TCustomRDData damaged;
    damaged.SetRDStyle(&sheet);
    damaged.SetRDFOptions(rdfoLoadBack);
    EXPECT_FALSE(LoadRDFFromStream(damaged, *StreamOf(broken), load));
  }
}

TEST(RDFDocument, TwoParagraphsShareOneRecordAndReadBackAsTwo) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText("ab", 0, 0);
  data.AddText("cd", 0, 0);
  TMemoryStream stream;
  SaveRDFToStream(data, stream, false);
  EXPECT_EQ(Bytes(stream), "-8 1 3\r\n0 2 0 0 0 0\r\nab\r\ncd\r\n");
  TCustomRDData loaded;
  loaded.SetRDStyle(&sheet);
  ASSERT_TRUE(LoadRDFFromStream(loaded, *StreamOf(Bytes(stream))));
  ASSERT_EQ(loaded.GetItemCount(), 2);
  EXPECT_TRUE(loaded.IsParaStart(1));
}

TEST(RDFDocument, TagsAndOldStreams) {
  TRDStyle sheet;
  auto load = [&](const std::string& text, TRDOptions options) {
    auto data = std::make_unique<TCustomRDData>();
    data->SetRDStyle(&sheet);
    data->SetOptions(options);
    EXPECT_TRUE(LoadRDFFromStream(*data, *StreamOf(text))) << text;
    return data;
  };
  auto quoted = load("-8 1 3\r\n0 2 0 0 0 \"0\"\r\na\r\nb\r\n", rdoTagsArePChars);
  EXPECT_EQ(quoted->GetItem(0)->Tag.Text, "0");
  auto bare = load("-8 1 3\r\n0 1 0 0 0 0\r\na\r\n", rdoTagsArePChars);
  EXPECT_FALSE(bare->GetItem(0)->Tag.Text.has_value());
  // Without a version record there is no options field and tags are never quoted.
  auto old = load("3 1 1 0 5\r\nkw\r\n", 0);
  ASSERT_EQ(old->GetItemCount(), 1);
  EXPECT_EQ(old->GetItem(0)->StyleNo, 3);
  EXPECT_EQ(old->GetItem(0)->ParaNo, 1);
  EXPECT_EQ(old->GetItem(0)->Tag.Number, 5);
  // Before subversion 3 a quote is part of the tag, here not a number.
  TCustomRDData unquotable;
  unquotable.SetRDStyle(&sheet);
  EXPECT_FALSE(LoadRDFFromStream(unquotable, *StreamOf("-8 1 2\r\n0 1 0 0 0 \"5\"\r\na\r\n")));
}

TEST(RDFDocument, StylesOutOfRangeAndUnknownNames) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  EXPECT_FALSE(LoadRDFFromStream(data, *StreamOf("-8 1 3\r\n40 1 0 0 0 0\r\nx\r\n")));
  EXPECT_EQ(data.GetRDFWarnings(), unsigned(rdfwStyleOutOfRange));
  data.SetRDFWarnings(0);
  data.SetRDFOptions(rdfoConvUnknownStylesToZero);
  EXPECT_TRUE(LoadRDFFromStream(data, *StreamOf("-8 1 3\r\n40 1 9 0 0 0\r\nx\r\n")));
  EXPECT_EQ(data.GetItem(0)->StyleNo, 0);
  EXPECT_EQ(data.GetItem(0)->ParaNo, 0);
  EXPECT_EQ(data.GetRDFWarnings(), unsigned(rdfwStyleOutOfRange));
  EXPECT_TRUE(LoadRDFFromStream(data, *StreamOf("-8 1 3\r\n\"Nowhere\" 1 0 0 0 0\r\nx\r\n")));
  EXPECT_EQ(data.GetItem(0)->StyleNo, 0);
}

TEST(RDFDocument, TextIsConvertedToTheEncodingOfItsStyle) {
  TRDStyle sheet;
  sheet.TextStyles()[1].Unicode = true;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  // "41 00 E9 00" in a style that is not Unicode, "e9" in one that is.
  ASSERT_TRUE(LoadRDFFromStream(
      data, *StreamOf("-8 1 3\r\n0 1 0 8 3 0\r\n4100E900\r\n1 1 0 0 0 0\r\n\xE9\r\n")));
  EXPECT_EQ(data.GetItemTextRaw(0), "A\xE9");
  EXPECT_EQ(data.GetItemOptions(0) & rdioUnicodeText, 0);
  EXPECT_EQ(data.GetItemTextRaw(1), std::string("\xE9\0", 2));
  EXPECT_NE(data.GetItemOptions(1) & rdioUnicodeText, 0);
  EXPECT_EQ(data.GetRDFWarnings(), rdfwConvertedToAnsi | rdfwConvertedToUnicode);
}

TEST(RDFDocument, BinaryBlocksAreCheckedBeforeUse) {
  const std::string head = "-8 1 3\r\n0 1 0 0 0 0\r\nkept\r\n-9 2 0 0 2 0 1\r\nsheet\r\n";
  auto read = [&](const std::string& block, int& items) {
    TRDStyle sheet;
    TCustomRDData data;
    data.SetRDStyle(&sheet);
    const bool ok = LoadRDFFromStream(data, *StreamOf(head + block));
    items = data.GetItemCount();
    return ok;
  };
  int items = 0;
  EXPECT_FALSE(read(std::string("\xFF\xFF\xFF\x7F\x0E", 5), items));  // longer than the rest
  EXPECT_EQ(items, 1);
  EXPECT_FALSE(read(std::string("\x01\x00\x00\x00\x0F", 5), items));  // not a collection
  EXPECT_TRUE(read(std::string("\x02\x00\x00\x00\x0E\x00", 6), items));
  // A binary block must follow CR LF.
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  EXPECT_FALSE(LoadRDFFromStream(
      data, *StreamOf("-8 1 3\r\n-9 2 0 0 2 0 1\r\nsheet\n" + std::string("\x01\0\0\0\x0E", 5))));
  // Raw Unicode lines must follow CR LF too.
  EXPECT_FALSE(LoadRDFFromStream(data, *StreamOf("-8 1 3\r\n0 1 0 8 0 0\nA\0\x29\x20")));
}

TEST(RDFDocument, RawUnicodeLinesEndAtTheParagraphSeparator) {
  TRDStyle sheet;
  sheet.TextStyles()[0].Unicode = true;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  const std::string raw = "-8 1 3\r\n0 2 0 8 0 0\r\n" + std::string("A\0\x29\x20", 4) +
                          std::string("B\0\r\0\x29\x20", 6) + "0 1 0 8 0 0\r\n" +
                          std::string("C\0", 2);  // the last line may end with the input
  ASSERT_TRUE(LoadRDFFromStream(data, *StreamOf(raw)));
  ASSERT_EQ(data.GetItemCount(), 3);
  EXPECT_EQ(data.GetItemTextRaw(0), std::string("A\0", 2));
  EXPECT_EQ(data.GetItemTextRaw(1), std::string("B\0 \0", 4));  // no line break in an item
  EXPECT_EQ(data.GetItemTextRaw(2), std::string("C\0", 2));
}

TEST(RDFDocument, StyleSheetsTravelWithTheDocument) {
  TRDStyle source;
  source.TextStyles()[2].Size = 17;
  source.TextStyles()[2].SetStyleName("Big");
  TFontInfo& added = source.TextStyles().Add();
  added.FontName = "Courier New";
  added.Color = 0x123456;
  source.ParaStyles()[1].Tabs.Add(40, rdtaRight, ".");
  source.ParaStyles()[1].Border.VisibleBorders.Left = false;
  TRDListInfo& list = source.ListStyles().Add();
  list.AddLevel().ListType = rdlstDecimal;
  list.Levels[0]->FormatString = "%0:s.";
  TCustomRDData data;
  data.SetRDStyle(&source);
  data.AddText("styled", 6, 1);
  for (TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
    data.SetRDFOptions(form | rdfoSaveTextStyles | rdfoSaveParaStyles);
    TMemoryStream stream;
    SaveRDFToStream(data, stream, false);

    // Loading a whole document replaces the sheet's styles.
    TRDStyle target;
    TCustomRDData loaded;
    loaded.SetRDStyle(&target);
    ASSERT_TRUE(LoadRDFFromStream(loaded, *StreamOf(Bytes(stream))));
    ASSERT_EQ(target.TextStyles().Count(), 7);
    EXPECT_EQ(target.TextStyles()[2].Size, 17);
    EXPECT_EQ(target.TextStyles()[2].StyleName(), "Big");
    EXPECT_EQ(target.TextStyles()[6].FontName, "Courier New");
    EXPECT_EQ(target.TextStyles()[6].Color, 0x123456);
    ASSERT_EQ(target.ParaStyles()[1].Tabs.Count(), 1);
    EXPECT_EQ(target.ParaStyles()[1].Tabs.Items(0).Leader, ".");
    EXPECT_FALSE(target.ParaStyles()[1].Border.VisibleBorders.Left);
    ASSERT_EQ(target.ListStyles().Count(), 1);
    EXPECT_EQ(target.ListStyles()[0].Levels[0]->FormatString, "%0:s.");
    EXPECT_EQ(loaded.GetItem(0)->StyleNo, 6);

    // Inserting merges them: the new text style is appended and the item follows it.
    TRDStyle merged;
    TCustomRDData into;
    into.SetRDStyle(&merged);
    into.AddText("first", 0, 0);
    int index = 1;
    const TRDFInsertResult result = InsertRDFFromStream(into, *StreamOf(Bytes(stream)), index);
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(result.ItemsInserted, 1);
    EXPECT_EQ(index, 2);
    const int styleNo = into.GetItem(1)->StyleNo;
    ASSERT_GE(styleNo, 6);
    EXPECT_EQ(merged.TextStyles()[styleNo].FontName, "Courier New");
  }
}

TEST(RDFDocument, StoredStylesNeverLeaveItemsWithoutAStyle) {
  // An empty collection would leave no style 0 to stand in for the others.
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  ASSERT_TRUE(LoadRDFFromStream(
      data, *StreamOf("-8 1 3\r\n-9 2 0 0 0 0 1\r\nsheet\r\n0E00\r\n0 1 0 0 0 0\r\na\r\n")));
  EXPECT_EQ(sheet.TextStyles().Count(), 6);
  EXPECT_EQ(data.GetRDFWarnings(), unsigned(rdfwStyleDataError));
  // Styles that come after items are merged, so the items keep theirs.
  TRDStyle other;
  TCustomRDData late;
  late.SetRDStyle(&other);
  ASSERT_TRUE(LoadRDFFromStream(
      late, *StreamOf("-8 1 3\r\n5 1 0 0 0 0\r\na\r\n-9 2 0 0 0 0 1\r\nsheet\r\n0E0100\r\n")));
  EXPECT_GE(other.TextStyles().Count(), 6);
  EXPECT_EQ(late.GetItem(0)->StyleNo, 5);
}

TEST(RDFDocument, CheckpointsAndTheEndOfTheDocument) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  ASSERT_TRUE(LoadRDFFromStream(
      data, *StreamOf("-8 1 3\r\n-2 1 0 0 0 0 1 1\r\nfirst\r\n0 1 0 0 0 0\r\na\r\n"
                      "-2 1 0 0 0 0\r\nlast\r\n")));
  ASSERT_EQ(data.GetItemCount(), 1);
  ASSERT_TRUE(data.GetItem(0)->Checkpoint);
  EXPECT_EQ(data.GetItem(0)->Checkpoint->Name, "first");
  EXPECT_TRUE(data.GetItem(0)->Checkpoint->RaiseEvent);
  EXPECT_TRUE(data.GetItem(0)->Checkpoint->Persistent);
  ASSERT_TRUE(data.NotAddedCP);
  EXPECT_EQ(data.NotAddedCP->Name, "last");
  EXPECT_EQ(data.CPCount, 2);
  // Inserted before the end, a trailing checkpoint has nowhere to go.
  int index = 0;
  InsertRDFFromStream(data, *StreamOf("-8 1 3\r\n0 1 0 0 0 0\r\nb\r\n-2 1 0 0 0 0\r\nx\r\n"),
                      index);
  EXPECT_EQ(data.NotAddedCP->Name, "last");
  EXPECT_EQ(data.CPCount, 2);
}

TEST(RDFDocument, InsertedItemsJoinTheParagraphAroundThem) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText("head", 0, 1);
  data.AddText("tail", 0, 0);
  int index = 1;
  const TRDFInsertResult result =
      InsertRDFFromStream(data, *StreamOf("-8 1 3\r\n2 1 -1 1 0 0\r\nmid\r\n"), index);
  ASSERT_TRUE(result.Ok);
  EXPECT_FALSE(result.EndsInsidePara);
  EXPECT_TRUE(data.GetItem(1)->GetContinuesPara());
  EXPECT_EQ(data.GetItem(1)->ParaNo, 1);
  // Into an empty document a continuing item starts the first paragraph.
  TCustomRDData empty;
  empty.SetRDStyle(&sheet);
  ASSERT_TRUE(LoadRDFFromStream(empty, *StreamOf("-8 1 3\r\n2 1 -1 1 0 0\r\nmid\r\n")));
  EXPECT_TRUE(empty.IsParaStart(0));
  EXPECT_EQ(empty.GetItem(0)->ParaNo, 0);
}

TEST(RDFDocument, SelectedRangeIsCutAtItsOffsets) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.AddText("abcdef", 0, 0);
  data.AddText("ghij", 1, -1);
  auto line = std::make_unique<TRDBreakItemInfo>(&data);
  line->StyleNo = rdsBreak;
  data.AddItemAtEnd("", std::move(line));
  data.AddText("klm", 0, 0);
  TMemoryStream stream;
  SaveRDFRangeToStream(data, stream, TRDFRange{0, 3, 3, 2});
  EXPECT_EQ(Bytes(stream),
            "-8 1 3\r\n0 1 0 0 0 0\r\ncdef\r\n1 1 -1 1 0 0\r\nghij\r\n"
            "-1 0 0 0 0 0 536870911 0 1\r\n0 1 0 0 0 0\r\nk\r\n");
  // A break at the end of the range that is not wholly inside it is left out.
  TMemoryStream partial;
  SaveRDFRangeToStream(data, partial, TRDFRange{1, 2, 2, 0});
  EXPECT_EQ(Bytes(partial), "-8 1 3\r\n1 1 -1 1 0 0\r\nhij\r\n");
}

TEST(RDFBlock, LengthPrefixedAndChecked) {
  TRDStyle sheet;
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.SetRDFOptions(rdfoSaveBack);
  data.AddText("clip", 0, 0);
  TMemoryStream block;
  TRDFSaveContext context;
  context.BackColor = 0x00FF00;
  SaveRDFBlock(data, block, false, context);
  const std::string bytes = Bytes(block);
  const std::string body = "-8 1 3\r\n0 1 0 0 0 0\r\nclip\r\n";  // no background record
  EXPECT_EQ(bytes, std::string(1, char(body.size())) + std::string(3, '\0') + body);
  EXPECT_EQ(data.GetRDFOptions(), rdfoSaveBack);

  TCustomRDData target;
  target.SetRDStyle(&sheet);
  int index = 0;
  EXPECT_TRUE(LoadRDFBlock(target, *StreamOf(bytes + "trailing"), index));
  EXPECT_EQ(target.GetItemCount(), 1);
  EXPECT_EQ(target.State & rddsLoadingRDFBlock, 0u);
  index = 0;
  EXPECT_FALSE(LoadRDFBlock(target, *StreamOf(std::string("\xFF\xFF\xFF\xFF", 4) + body), index));
  EXPECT_FALSE(LoadRDFBlock(target, *StreamOf("\x01\0"), index));
  EXPECT_EQ(target.GetItemCount(), 1);
}

TEST(MarkerBlock, CountIsCheckedAndListsTranslated) {
  const std::vector<TRDMarkerState> markers{{0, 1, true, 3, 7}, {2, 0, false, 1, 1}};
  TMemoryStream sized;
  SaveMarkerBlock(sized, markers, true);
  EXPECT_EQ(sized.Size(), 4 + 17 * 2 + 8);
  EXPECT_EQ(Bytes(sized).substr(0, 4), std::string("\x2A\0\0\0", 4));
  std::vector<TRDMarkerState> read;
  EXPECT_TRUE(LoadMarkerBlock(Bytes(sized).substr(4), read));
  EXPECT_EQ(read, markers);
  // A count that the bytes cannot hold is not believed.
  std::string lying = Bytes(sized).substr(4);
  lying[4] = '\x7F';
  EXPECT_FALSE(LoadMarkerBlock(lying, read));
  EXPECT_TRUE(read.empty());
  EXPECT_FALSE(LoadMarkerBlock(std::string("\0\0\0\0\xFF\xFF\xFF\xFF", 8), read));

  // In a document: list styles out of range become 0, or -1 without list styles.
  TMemoryStream block;
  SaveMarkerBlock(block, markers, false);
  std::string hex;
  StreamToHex(block, hex);
  TRDStyle sheet;
  sheet.ListStyles().Add();
  TCustomRDData data;
  data.SetRDStyle(&sheet);
  data.SetRDFOptions(rdfoLoadLayout);
  TRDFLoadContext context;
  context.Markers = &read;
  ASSERT_TRUE(LoadRDFFromStream(data, *StreamOf("-8 1 3\r\n-9 2 0 0 0 0 6\r\n\r\n" + hex + "\r\n"),
                                context));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].ListNo, 0);
  EXPECT_EQ(read[1].ListNo, 0);
  EXPECT_EQ(read[0].Counter, 7);
  EXPECT_EQ(data.GetRDFWarnings(), unsigned(rdfwStyleOutOfRange));
  TRDStyle bare;
  bare.ListStyles().Clear();
  data.SetRDStyle(&bare);
  ASSERT_TRUE(LoadRDFFromStream(data, *StreamOf("-8 1 3\r\n-9 2 0 0 0 0 6\r\n\r\n" + hex + "\r\n"),
                                context));
  EXPECT_EQ(read[0].ListNo, -1);
}

TEST(LayoutBlock, LengthsAndExtensions) {
  TRDLayoutInfo layout;
  TMemoryStream shortForm;
  layout.SaveToStream(shortForm, false);
  EXPECT_EQ(shortForm.Size(), 33);
  TMemoryStream sized;
  layout.SaveToStream(sized, true);
  EXPECT_EQ(sized.Size(), 37);
  EXPECT_EQ(Bytes(sized).substr(0, 12), std::string("\x21\0\0\0\0\0\0\0\x19\0\0\0", 12));
  layout.Extension1 = 5;
  TMemoryStream longForm;
  layout.SaveToStream(longForm, false);
  EXPECT_EQ(longForm.Size(), 49);
  longForm.SetPosition(0);
  TRDLayoutInfo back;
  back.LoadFromStream(longForm, false);
  EXPECT_TRUE(back.Loaded);
  EXPECT_EQ(back.Extension1, 5);
  EXPECT_EQ(back.Extension3, -1);

  // A body of 30 bytes: 25 read, 5 skipped.
  std::string body30 = std::string("\0\0\0\0\x1E\0\0\0", 8) + std::string(24, '\0') + "\x02" +
                       std::string(5, '\x7F') + "after";
  auto stream = StreamOf(body30);
  back.LoadFromStream(*stream, false);
  EXPECT_EQ(back.BiDiMode, 2);
  EXPECT_EQ(stream->Position(), 8 + 30);
  auto tooShort = StreamOf(std::string("\0\0\0\0\x18\0\0\0", 8) + std::string(24, '\0'));
  EXPECT_THROW(back.LoadFromStream(*tooShort, false), ERichDocError);
  auto cut = StreamOf(std::string("\0\0\0\0\x19\0\0\0", 8) + std::string(10, '\0'));
  EXPECT_THROW(back.LoadFromStream(*cut, false), EReadError);

  // Margins and text widths beyond a page are cut to it where they are read.
  TRDLayoutInfo wide;
  wide.LeftMargin = 2097152095;
  wide.MinTextWidth = 2147483647;
  wide.TopMargin = -2147483647 - 1;
  TMemoryStream wideForm;
  wide.SaveToStream(wideForm, false);
  wideForm.SetPosition(0);
  back.LoadFromStream(wideForm, false);
  EXPECT_EQ(back.LeftMargin, kMaxPageLength);
  EXPECT_EQ(back.MinTextWidth, kMaxPageLength);
  EXPECT_EQ(back.TopMargin, -kMaxPageLength);
}

}  // namespace

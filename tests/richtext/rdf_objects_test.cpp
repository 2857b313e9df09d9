// Pictures, image-list pictures and list markers through the document format: a document
// holding them is written in the text and the binary form and read back item by item,
// the list styles markers name are translated into the reading document's, and the list
// texts of multi-byte code pages reach RTF as Unicode.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/rd_layout_info.h"
#include "richtext/base/rdf_format.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/bullet_item.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/marker_list.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/export_document.h"
#include "support/control_snapshot.h"

namespace {

std::string Bytes(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

void AddNumberedList(TRDStyle& sheet) {
  TRDListInfo& list = sheet.ListStyles().Add();
  TRDListLevel& numbers = list.AddLevel();
  numbers.ListType = rdlstDecimal;
  numbers.FormatString = "%0:s.";
  TRDListLevel& letters = list.AddLevel();
  letters.ListType = rdlstLowerAlpha;
  letters.FormatString = "%1:s)";
}

void AddBulletList(TRDStyle& sheet) {
  sheet.ListStyles().Add().AddLevel().FormatString = "o";
}

// A document with every kind of object and markers of two lists; its image list has the
// tag 7, by which a reader asks for it.
struct ObjectDocument : ExportDocument {
  ObjectDocument() : images(nullptr, 4, 4) {
    for (TColor color : {clRed, clLime, clBlue}) images.Add(*SolidPicture(4, 4, color));
    images.Tag = 7;
    SetOptions(rdoTagsArePChars);
    OnRDFImageListNeeded = [this](int tag) { return tag == 7 ? &images : nullptr; };
    AddNumberedList(style);
    AddBulletList(style);
  }
  void Fill() {
    Marker(0, 0, "one");
    Marker(0, 1, "three", true, 3);
    Marker(1, 0, "dot");
    Para("pictures: ");
    auto picture =
        TRDGraphicItemInfo::CreateWithGraphic(this, SolidPicture(6, 4, clRed), rdvaMiddle);
    // Every text of an object may hold line breaks.
    picture->Alt = "a \"b\"\r\nc";
    picture->ImageFileName = "x/\ny.bmp";
    picture->ImageWidth = 12;
    picture->SetSpacing(2);
    picture->VShift = 5;
    picture->Hint = "hi\r\nnt";
    picture->NoHTMLImageSize = true;
    picture->ParaNo = -1;
    picture->Tag = TRDTag{0, std::string("ta\rg")};
    AddItemAtEnd("pic\r\nture", std::move(picture));
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->Assign(*SolidPicture(5, 5, clBlue));
    auto hot = TRDHotGraphicItemInfo::CreateWithGraphic(this, std::move(jpeg), rdvaBaseline);
    hot->ParaNo = -1;
    AddItemAtEnd("", std::move(hot));
    auto bullet = std::make_unique<TRDBulletItemInfo>(this);
    bullet->ImageList = &images;
    bullet->ImageIndex = 1;
    bullet->Alt = "bullet";
    bullet->ParaNo = -1;
    AddItemAtEnd("", std::move(bullet));
    auto hotspot = std::make_unique<TRDHotspotItemInfo>(this);
    hotspot->ImageList = &images;
    hotspot->HotImageIndex = 2;
    hotspot->NoHTMLImageSize = true;
    hotspot->ParaNo = -1;
    AddItemAtEnd("", std::move(hotspot));
    UnicodePara(u"\u4e2d\u6587");
    Marker(0, 0, "last");
  }
  void Marker(int list, int level, const std::string& text, bool reset = false, int start = 1) {
    AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(this, list, level, start, reset));
    More(text, kPlain);
  }
  std::string Saved(TRDFOptions form) {
    SetRDFOptions(form | rdfoSavePicturesBody | rdfoSaveTextStyles | rdfoSaveParaStyles);
    TMemoryStream stream;
    SaveRDFToStream(*this, stream, false);
    return Bytes(stream);
  }
  bool Load(const std::string& bytes, const TRDFLoadContext& context = {}) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    stream.SetPosition(0);
    return LoadRDFFromStream(*this, stream, context);
  }
  TImageList images;
};

TEST(RDFObjects, EveryObjectAndMarkerComesBackInBothForms) {
  for (TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
    ObjectDocument original;
    original.Fill();
    const std::string saved = original.Saved(form);
    ObjectDocument back;
    back.style.ListStyles().Clear();
    ASSERT_TRUE(back.Load(saved)) << form;
    EXPECT_EQ(back.GetRDFWarnings(), 0u);
    ASSERT_EQ(back.GetItemCount(), original.GetItemCount());
    // Written again, the document gives the same bytes.
    EXPECT_EQ(back.Saved(form), saved) << form;
    for (int i = 0; i < back.GetItemCount(); ++i) {
      EXPECT_EQ(back.GetItem(i)->StyleNo, original.GetItem(i)->StyleNo) << i;
      EXPECT_EQ(back.GetItem(i)->ItemOptions, original.GetItem(i)->ItemOptions) << i;
      EXPECT_EQ(back.GetItemTextRaw(i), original.GetItemTextRaw(i)) << i;
    }
    std::vector<std::string> numbers;
    TRDMarkerList* markers = back.GetMarkers(false);
    ASSERT_NE(markers, nullptr);
    for (int i = 0; i < markers->Count(); ++i) numbers.push_back(markers->Items(i)->DisplayString);
    EXPECT_EQ(numbers, (std::vector<std::string>{"1.", "c)", "o", "2."}));
    const auto& picture = back.CheckItemClass<TRDGraphicItemInfo>(7);
    EXPECT_EQ(picture.Alt, "a \"b\"\r\nc");
    EXPECT_EQ(picture.ImageFileName, "x/\ny.bmp");
    EXPECT_EQ(picture.Hint, "hi\r\nnt");
    EXPECT_EQ(picture.Tag, (TRDTag{0, std::string("ta\rg")}));
    EXPECT_EQ(picture.GetWidth(), 16);
    EXPECT_EQ(picture.VAlign, rdvaMiddle);
    EXPECT_TRUE(picture.NoHTMLImageSize);
    ASSERT_NE(dynamic_cast<const TBitmap*>(picture.Image.get()), nullptr);
    EXPECT_EQ(picture.Image->Width(), 6);
    EXPECT_NE(
        dynamic_cast<const TJPEGImage*>(back.CheckItemClass<TRDGraphicItemInfo>(8).Image.get()),
        nullptr);
    const auto& hotspot = back.CheckItemClass<TRDHotspotItemInfo>(10);
    EXPECT_EQ(hotspot.ImageList, &back.images);
    EXPECT_EQ(hotspot.HotImageIndex, 2);
    EXPECT_TRUE(hotspot.NoHTMLImageSize);
    EXPECT_EQ(back.CheckItemClass<TRDBulletItemInfo>(9).Alt, "bullet");
  }
}

TEST(RDFObjects, MarkersNameTheListsOfTheReadingDocument) {
  ObjectDocument source;
  source.Fill();
  source.SetRDFOptions(rdfoSaveParaStyles);
  TMemoryStream stream;
  SaveRDFToStream(source, stream, false);
  // The reading sheet holds the two lists the other way round.
  ObjectDocument target;
  target.style.ListStyles().Clear();
  AddBulletList(target.style);
  AddNumberedList(target.style);
  target.Para("before");
  TRDFLoadContext context;
  context.ParaStylesReadMode = rdf_sInsertMap;
  stream.SetPosition(0);
  int index = 1;
  ASSERT_TRUE(InsertRDFFromStream(target, stream, index, context).Ok);
  EXPECT_EQ(target.style.ListStyles().Count(), 2);
  EXPECT_EQ(target.CheckItemClass<TRDMarkerItemInfo>(1).ListNo, 1);
  EXPECT_EQ(target.CheckItemClass<TRDMarkerItemInfo>(1).DisplayString, "1.");
  EXPECT_EQ(target.CheckItemClass<TRDMarkerItemInfo>(5).ListNo, 0);
}

TEST(RDFObjects, AMarkerOfAListTheSheetLacksIsMendedWithAWarning) {
  const std::string records = "-8 1 3\r\n-11 1 0 0 0 0 5 0 1 0\r\n\r\n0 1 -1 1 0 0\r\nx\r\n";
  ObjectDocument twoLists;
  ASSERT_TRUE(twoLists.Load(records));
  EXPECT_EQ(twoLists.CheckItemClass<TRDMarkerItemInfo>(0).ListNo, 0);
  EXPECT_EQ(twoLists.GetRDFWarnings(), rdfwStyleOutOfRange);
  ObjectDocument none;
  none.style.ListStyles().Clear();
  ASSERT_TRUE(none.Load(records));
  EXPECT_EQ(none.CheckItemClass<TRDMarkerItemInfo>(0).ListNo, -1);
  EXPECT_EQ(none.GetItemCount(), 2);
}

TEST(RTFLevelTexts, MultiByteCodePagesGoAsUnicodeCountedInCharacters) {
  ExportDocument doc;
  doc.style.DefCodePage = 932;
  AddNumberedList(doc.style);
  AddBulletList(doc.style);
  // "%0:s" followed by the ideographic full stop, and a bullet of two Japanese characters.
  doc.style.ListStyles()[0].Levels[0]->FormatString = "%0:s\x81\x42";
  doc.style.ListStyles()[1].Levels[0]->FormatString = "\x81\x9B\x81\x9C";
  doc.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&doc, 0, 0, 1, false));
  doc.More("one", kPlain);
  doc.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&doc, 1, 0, 1, false));
  doc.More("two", kPlain);
  const std::string rtf = doc.RTF();
  EXPECT_NE(rtf.find("{\\leveltext\\'02\\'00\\uc2\\u12290 \\'81B\\uc1 ;}{\\levelnumbers\\'01;}"),
            std::string::npos)
      << rtf;
  EXPECT_NE(
      rtf.find("{\\leveltext\\'02\\uc2\\u9675 \\'81\\'9b\\uc1 \\uc2\\u9679 \\'81\\'9c\\uc1 ;}"),
      std::string::npos)
      << rtf;
  EXPECT_NE(rtf.find("1\\uc2\\u12290 \\'81B\\uc1 \\tab}\\ls1\\ilvl0 "), std::string::npos) << rtf;
  // A single-byte code page keeps its bytes.
  doc.style.DefCodePage = 1252;
  doc.style.ListStyles()[1].Levels[0]->FormatString = "\xB7";
  EXPECT_NE(doc.RTF().find("{\\leveltext\\'01\\'b7;}"), std::string::npos);
}

TEST(RDFObjects, APagePartCarriesTheNumberingOfTheListsBeforeIt) {
  for (TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
    ObjectDocument doc;
    doc.Marker(0, 0, "one");
    doc.Marker(0, 1, "sub", true, 4);
    doc.Marker(0, 0, "two");
    doc.Marker(0, 0, "three");
    doc.SetRDFOptions(form | rdfoSaveLayout);
    TRDLayoutInfo layout;
    layout.LeftMargin = 9;
    TRDFSaveContext save;
    save.Layout = &layout;
    save.PagePart = true;
    // From inside "two" to the end: the markers of "one", "sub" and "two" come before.
    TMemoryStream stream;
    SaveRDFRangeToStream(doc, stream, TRDFRange{5, 2, 7, 6}, save);
    const std::string saved = Bytes(stream);
    if (!form) {
      EXPECT_NE(saved.find("-9 2 0 0 0 0 6\r\n\r\n0000000003000000"), std::string::npos) << saved;
    }
    ObjectDocument back;
    back.SetRDFOptions(rdfoLoadLayout);
    std::vector<TRDMarkerState> markers;
    TRDLayoutInfo readLayout;
    TRDFLoadContext load;
    load.Markers = &markers;
    load.Layout = &readLayout;
    ASSERT_TRUE(back.Load(saved, load)) << form;
    EXPECT_EQ(markers, (std::vector<TRDMarkerState>{
                           {0, 0, false, 1, 1}, {0, 1, true, 4, 4}, {0, 0, false, 1, 2}}));
    EXPECT_EQ(readLayout.LeftMargin, 9);
    EXPECT_EQ(back.GetItemCount(), 4);  // the paragraph's marker, "wo", and the last item
    EXPECT_EQ(back.GetItemTextRaw(1), "wo");
  }
}

}  // namespace

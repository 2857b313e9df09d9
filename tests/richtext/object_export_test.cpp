// Pictures, image-list pictures and list markers in exports: the RTF picture groups
// (bitmaps as they are, JPEG embedded or not, anything else as PNG), the list-text
// groups and overrides of markers, the img elements of HTML with their attributes
// escaped, pictures saved once, inline markers, and the list items' marker style.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/gui/standard/edit.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/bullet_item.h"
#include "richtext/model/control_item.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rtf_picture.h"
#include "richtext/support/export_document.h"
#include "richtext/view/rich_doc.h"
#include "support/control_snapshot.h"
#include "support/scratch_files.h"

namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A folder of its own for the pictures of one test's exports.
std::string ImageFolder(const std::string& name) {
  const std::string marker = WriteScratchFile(name + "/.keep", "");
  return marker.substr(0, marker.rfind('/') + 1);
}

// An image list of 4 x 4 pictures: red, lime, blue.
struct Images {
  Images() : list(nullptr, 4, 4) {
    for (TColor color : {clRed, clLime, clBlue}) list.Add(*SolidPicture(4, 4, color));
    list.Tag = 7;
  }
  TImageList list;
};

TEST(RTFPictures, BitmapsAreDeviceIndependentBitmapsScaledToTheirShownSize) {
  const auto bitmap = SolidPicture(2, 1, clRed);
  const std::string dib =
      "2800000002000000010000000100200000000000080000"
      "00C40E0000C40E00000000000000000000"
      "0000FFFF0000FFFF}";
  EXPECT_EQ(RTFPictureGroup(*bitmap, kDefaultRTFOptions),
            "{\\pict\\dibitmap0\\wbmwidthbytes8\\picw2\\pich1\\picwgoal30\\pichgoal15 " + dib);
  EXPECT_EQ(RTFPictureGroup(*bitmap, kDefaultRTFOptions, 4, 0),
            "{\\pict\\picscalex200\\picscaley100\\dibitmap0\\wbmwidthbytes8\\picw2\\pich1"
            "\\picwgoal30\\pichgoal15 " +
                dib);
  TBitmap empty;
  EXPECT_EQ(RTFPictureGroup(empty, kDefaultRTFOptions), "");
}

TEST(RTFPictures, JPEGIsEmbeddedOnlyWhenAskedAndOtherwiseBecomesPNGOrABitmap) {
  TJPEGImage jpeg;
  jpeg.Assign(*SolidPicture(3, 2, clBlue));
  const std::string asJpeg = RTFPictureGroup(jpeg, kDefaultRTFOptions);
  EXPECT_EQ(asJpeg.rfind("{\\pict\\jpegblip\\picw3\\pich2 FFD8", 0), 0u) << asJpeg.substr(0, 60);
  const std::string asPng = RTFPictureGroup(jpeg, rdrtfDuplicateUnicode);
  EXPECT_EQ(asPng.rfind("{\\pict\\pngblip\\picw3\\pich2 89504E470D0A1A0A", 0), 0u)
      << asPng.substr(0, 60);
  EXPECT_EQ(asPng.back(), '}');
  const std::string asBitmap = RTFPictureGroup(jpeg, rdrtfSaveBitmapDefault);
  EXPECT_EQ(asBitmap.rfind("{\\pict\\dibitmap0\\wbmwidthbytes12\\picw3\\pich2\\picwgoal45", 0), 0u);
}

// A drawing stays a drawing: its records, without the placeable header RTF leaves out,
// sized in hundredths of a millimetre and in twips.
TEST(RTFPictures, MetafilesKeepTheirRecords) {
  // Placeable header (1000 x 500 units at 1000 an inch), standard header, end record.
  std::vector<std::uint8_t> wmf = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0xE8, 0x03, 0xF4, 0x01,
                                   0xE8, 0x03, 0,    0,    0, 0, 0, 0, 1, 0, 9,    0,    0,    3};
  wmf.resize(40);
  wmf.insert(wmf.end(), {3, 0, 0, 0, 0, 0});
  EXPECT_EQ(RTFPictureGroup(TMetafile(wmf, false), kDefaultRTFOptions),
            "{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720 "
            "010009000003000000000000000000000000030000000000}");
}

TEST(RTFPictures, ImageListPicturesOnlyForIndexesTheListHolds) {
  Images images;
  const std::string png = RTFImageListPictureGroup(images.list, 2, kDefaultRTFOptions);
  EXPECT_EQ(png.rfind("{\\pict\\pngblip\\picw4\\pich4 89504E47", 0), 0u);
  EXPECT_EQ(RTFImageListPictureGroup(images.list, 3, kDefaultRTFOptions), "");
  EXPECT_EQ(RTFImageListPictureGroup(images.list, -1, kDefaultRTFOptions), "");
  EXPECT_EQ(RTFImageListPictureGroup(images.list, 0, rdrtfSaveBitmapDefault)
                .rfind("{\\pict\\dibitmap0\\wbmwidthbytes16\\picw4\\pich4", 0),
            0u);
}

TEST(RTFPictures, ItemsWriteTheirPicturesInTheirParagraphs) {
  ExportDocument doc;
  doc.Para("before ");
  auto picture =
      TRDGraphicItemInfo::CreateWithGraphic(&doc, SolidPicture(2, 1, clRed), rdvaBaseline);
  picture->ImageHeight = 3;
  picture->ParaNo = -1;
  doc.AddItemAtEnd("", std::move(picture));
  Images images;
  auto bullet = std::make_unique<TRDBulletItemInfo>(&doc);
  bullet->ImageList = &images.list;
  bullet->ImageIndex = 1;
  doc.AddItemAtEnd("", std::move(bullet));
  auto lost = std::make_unique<TRDHotspotItemInfo>(&doc);
  lost->ImageList = &images.list;
  lost->ImageIndex = 9;
  doc.AddItemAtEnd("", std::move(lost));
  const std::string rtf = doc.RTF();
  EXPECT_TRUE(Has(rtf, "before {\\pict\\picscalex100\\picscaley300\\dibitmap0")) << rtf;
  EXPECT_TRUE(Has(rtf, "\\par \\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0 {\\pict\\pngblip\\picw4\\pich4 "))
      << rtf;
  EXPECT_EQ(Count(rtf, "{\\pict"), 2);
}

TEST(RTFPictures, CopyingWritesWithTheViewersOptions) {
  TRDStyle style;
  TRichDoc viewer(nullptr);
  viewer.SetStyle(&style);
  viewer.SetBounds(0, 0, 300, 100);
  auto jpeg = std::make_unique<TJPEGImage>();
  jpeg->Assign(*SolidPicture(3, 2, clBlue));
  viewer.RDData().AddItemAtEnd(
      "", TRDGraphicItemInfo::CreateWithGraphic(&viewer.RDData(), std::move(jpeg), rdvaBaseline));
  viewer.FormatDocument();
  viewer.SelectAll();
  EXPECT_EQ(viewer.RTFOptions, kDefaultRTFOptions);
  viewer.CopySelection();
  EXPECT_TRUE(Has(ClipboardMimeData("text/rtf"), "{\\pict\\jpegblip"));
  viewer.RTFOptions = rdrtfSaveStyleSheet;
  viewer.CopySelection();
  const std::string rtf = ClipboardMimeData("text/rtf");
  EXPECT_TRUE(Has(rtf, "{\\stylesheet")) << rtf;
  EXPECT_TRUE(Has(rtf, "{\\pict\\pngblip")) << rtf;
}

// A sheet with list 0 (level 0 decimal "%0:s.", level 1 lower letters "%1:s)") and list 1
// (one bullet level).
struct ListDocument : ExportDocument {
  ListDocument() {
    TRDListInfo& numbers = style.ListStyles().Add();
    TRDListLevel& l0 = numbers.AddLevel();
    l0.ListType = rdlstDecimal;
    l0.FormatString = "%0:s.";
    TRDListLevel& l1 = numbers.AddLevel();
    l1.ListType = rdlstLowerAlpha;
    l1.FormatString = "%1:s)";
    l1.LeftIndent = 30;
    style.ListStyles().Add().AddLevel().FormatString = "\xB7";
  }
  TRDListLevel& Level(int list, int level) {
    return *style.ListStyles()[list].Levels[size_t(level)];
  }
  void Item(int list, int level, const std::string& text, bool reset = false, int start = 1) {
    AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(this, list, level, start, reset));
    More(text, kPlain);
  }
};

TEST(MarkerRTF, TextMarkersWriteTheirListTextAndOverridesOnlyForNumberedRestarts) {
  ListDocument doc;
  doc.Item(0, 0, "one");
  doc.Item(0, 1, "sub");
  doc.Item(0, 0, "five", true, 5);
  doc.Item(1, 0, "dot", true, 3);  // a bullet restarts nothing
  const std::string rtf = doc.RTF();
  EXPECT_EQ(Count(rtf, "{\\listoverride\\listid"), 3) << rtf;
  EXPECT_TRUE(Has(rtf,
                  "{\\listoverride\\listid2\\listoverridecount1"
                  "{\\lfolevel\\listoverridestartat\\levelstartat5}\\ls2}"))
      << rtf;
  EXPECT_TRUE(Has(rtf, "{\\listtext\\pard\\plain\\f0\\fs16 1.\\tab}\\ls1\\ilvl0 \\plain \\f0"))
      << rtf;
  EXPECT_TRUE(Has(rtf, "{\\listtext\\pard\\plain\\f0\\fs16 a)\\tab}\\ls1\\ilvl1 ")) << rtf;
  EXPECT_TRUE(Has(rtf, "{\\listtext\\pard\\plain\\f0\\fs16 5.\\tab}\\ls2\\ilvl0 ")) << rtf;
  EXPECT_TRUE(Has(rtf, "{\\listtext\\pard\\plain\\f0\\fs16 \\'b7\\tab}\\ls3\\ilvl0 ")) << rtf;
}

TEST(MarkerRTF, UnicodeBulletsAndPictureLevels) {
  ListDocument doc;
  doc.Level(1, 0).ListType = rdlstUnicodeBullet;
  doc.Level(1, 0).FormatStringW = u"\u25CF";
  doc.Item(1, 0, "round");
  Images images;
  doc.Level(0, 0).ListType = rdlstImageListCounter;
  doc.Level(0, 0).ImageList = &images.list;
  doc.Level(0, 0).ImageIndex = 1;
  doc.Item(0, 0, "first");
  doc.Item(0, 0, "second");
  doc.Item(0, 0, "beyond the list");
  const std::string rtf = doc.RTF();
  EXPECT_TRUE(Has(rtf, "\\fs16 \\u9679 ?\\tab}\\ls2\\ilvl0 ")) << rtf;
  // Lime, blue, then no picture: the counter runs past the list.
  EXPECT_EQ(Count(rtf, "{\\pict\\pngblip\\picw4\\pich4 "), 2) << rtf;
}

std::string PlainText(ExportDocument& doc, bool unicode) {
  TMemoryStream stream;
  SaveTextToStream(doc, stream, 80, false, false, unicode, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

TEST(MarkerText, MarkersBeginTheirLinesInEightBitAndUnicodeText) {
  ListDocument doc;
  doc.Level(1, 0).ListType = rdlstUnicodeBullet;
  doc.Level(1, 0).FormatStringW = u"\u25CF";
  doc.Item(0, 0, "one");
  doc.Item(0, 1, "sub");
  doc.Item(1, 0, "dot");
  EXPECT_EQ(PlainText(doc, false), "1. one\r\na) sub\r\n* dot");
  EXPECT_EQ(PlainText(doc, true), WideStringToRawUnicode(u"1. one\r\na) sub\r\n\u25CF dot"));
}

TEST(PictureHTML, AttributesAreEscapedAndPicturesSavedAsFiles) {
  ExportDocument doc;
  doc.ImageFolder = ImageFolder("picture_html");
  doc.Para("x");
  auto picture = TRDGraphicItemInfo::CreateWithGraphic(&doc, SolidPicture(5, 4, clRed), rdvaMiddle);
  picture->Alt = "a<b \"c\" & d";
  picture->Hint = "say \"hi\" <now>";
  picture->SetSpacing(0);
  picture->SetContinuesPara(true);
  doc.AddItemAtEnd("", std::move(picture));
  const std::string html = doc.HTML(rdsoBodyOnly | rdsoNoPictureBorders | rdsoPictureSizes);
  EXPECT_TRUE(Has(html,
                  "<img align=middle border=0 width=5 height=4 "
                  "alt=\"a&lt;b &quot;c&quot; &amp; d\" "
                  "title=\"say &quot;hi&quot; &lt;now&gt;\" src=\"" +
                      doc.ImageFolder + "img1.bmp\">"))
      << html;
  EXPECT_TRUE(std::filesystem::exists(doc.ImageFolder + "img1.bmp"));
  const std::string xhtml = doc.HTMLEx(rdsoBodyOnly | rdsoXHTML);
  EXPECT_TRUE(Has(xhtml,
                  "<img align=\"middle\" alt=\"a&lt;b &quot;c&quot; &amp; d\" "
                  "title=\"say &quot;hi&quot; &lt;now&gt;\" src=\"" +
                      doc.ImageFolder + "img2.bmp\" />"))
      << xhtml;
}

TEST(PictureHTML, FileNamesJpegsAndExplicitSizes) {
  ExportDocument doc;
  doc.ImageFolder = ImageFolder("picture_files");
  auto jpeg = std::make_unique<TJPEGImage>();
  jpeg->Assign(*SolidPicture(6, 6, clBlue));
  auto picture = TRDGraphicItemInfo::CreateWithGraphic(&doc, std::move(jpeg), rdvaBaseline);
  picture->ImageWidth = 12;
  picture->NoHTMLImageSize = true;
  doc.AddItemAtEnd("", std::move(picture));
  auto named = TRDGraphicItemInfo::CreateWithGraphic(&doc, SolidPicture(2, 2, clRed), rdvaBaseline);
  named->ImageFileName = doc.ImageFolder + "pictures/dot.bmp";
  doc.AddItemAtEnd("", std::move(named));
  const std::string html = doc.HTML(rdsoBodyOnly | rdsoPictureSizes | rdsoUseImageFileNames);
  // An explicit size is written even where the item asks for no sizes.
  EXPECT_TRUE(Has(
      html, "<img width=12 height=6 hspace=1 vspace=1 src=\"" + doc.ImageFolder + "img1.jpg\">"))
      << html;
  EXPECT_TRUE(Has(html, "<img width=2 height=2 hspace=1 vspace=1 src=\"pictures/dot.bmp\">"))
      << html;
  EXPECT_FALSE(std::filesystem::exists(doc.ImageFolder + "img2.bmp"));
}

TEST(BulletHTML, AnImageIsSavedOnceAndSizesFollowTheItem) {
  ExportDocument doc;
  doc.ImageFolder = ImageFolder("bullet_html");
  Images images;
  for (bool noSize : {false, true}) {
    auto bullet = std::make_unique<TRDHotspotItemInfo>(&doc);
    bullet->ImageList = &images.list;
    bullet->ImageIndex = 2;
    bullet->NoHTMLImageSize = noSize;
    bullet->Alt = noSize ? "<b>" : "";
    bullet->SetSpacing(0);
    doc.AddItemAtEnd("", std::move(bullet));
  }
  const std::string html = doc.HTML(rdsoBodyOnly | rdsoPictureSizes);
  const std::string src = "src=\"" + doc.ImageFolder + "img1.bmp\">";
  EXPECT_TRUE(Has(html, "<img width=4 height=4 " + src)) << html;
  EXPECT_TRUE(Has(html, "<img alt=\"&lt;b&gt;\" " + src)) << html;
  EXPECT_FALSE(std::filesystem::exists(doc.ImageFolder + "img2.bmp"));
  TBitmap saved;
  saved.LoadFromFile(doc.ImageFolder + "img1.bmp");
  EXPECT_EQ(saved.Width(), 4);
}

TEST(MarkerHTML, InlineMarkersWriteTheirTextInTheLevelsFont) {
  ListDocument doc;
  doc.Level(1, 0).GetFont().Name = "Wingdings";
  doc.Level(1, 0).FormatString = "\x6C";
  doc.Item(0, 0, "one");
  doc.Item(1, 0, "dot");
  const std::string css = doc.HTMLEx(rdsoBodyOnly | rdsoMarkersInline);
  EXPECT_TRUE(Has(css, "width: 10px;\">1.</span>")) << css;
  EXPECT_TRUE(Has(css, ">&#9679;</span>")) << css;
  const std::string plain = doc.HTML(rdsoBodyOnly | rdsoMarkersInline);
  EXPECT_TRUE(Has(plain, "<font size=1>1.</font>one")) << plain;
  // Lists of the writer's own: the markers write nothing themselves.
  const std::string listed = doc.HTMLEx(rdsoBodyOnly);
  EXPECT_FALSE(Has(listed, "1.</span>")) << listed;
  EXPECT_TRUE(Has(listed, "<li value=1>")) << listed;
}

TEST(MarkerHTML, PictureLevelsGiveTheListItemsTheirImageInOneStyleAttribute) {
  ListDocument doc;
  doc.ImageFolder = ImageFolder("marker_html");
  doc.Level(1, 0).ListType = rdlstPicture;
  doc.Level(1, 0).SetPicture(SolidPicture(3, 3, clRed).get());
  doc.style.ParaStyles().Add().LeftIndent = 20;
  const int indented = doc.style.ParaStyles().Count() - 1;
  doc.Item(1, 0, "first");
  doc.Item(1, 0, "second");
  doc.GetItem(2)->ParaNo = indented;
  doc.GetItem(2)->SetPageBreakBefore(true);
  const std::string url = "list-style-image: url('" + doc.ImageFolder + "img1.bmp')";
  const std::string html = doc.HTMLEx(rdsoBodyOnly);
  EXPECT_TRUE(Has(html, "<li style=\"" + url + "\">")) << html;
  EXPECT_TRUE(Has(html, "<li class=rdps" + std::to_string(indented) +
                            " style=\"page-break-before: always; " + url + "; margin-left: 0\">"))
      << html;
  EXPECT_FALSE(std::filesystem::exists(doc.ImageFolder + "img2.bmp"));
  const std::string inlined = doc.HTMLEx(rdsoBodyOnly | rdsoMarkersInline);
  EXPECT_TRUE(Has(inlined, "<img width=3 height=3 src=\"" + doc.ImageFolder + "img2.bmp\">"))
      << inlined;
}

TEST(ControlOutput, ControlsWriteWhatTheApplicationGivesForEachFormat) {
  ExportDocument doc;
  doc.ImageFolder = ImageFolder("controls");
  doc.Para("field: ");
  auto edit = std::make_unique<TEdit>(nullptr);
  const TControl* control = edit.get();
  auto item = TRDControlItemInfo::CreateWithControl(&doc, std::move(edit), rdvaBaseline);
  item->ParaNo = -1;
  doc.AddItemAtEnd("", std::move(item));
  const std::string nothing = doc.RTF();
  EXPECT_TRUE(Has(nothing, "field: }")) << nothing;
  std::vector<std::string> paths;
  doc.ExportHooks.OnSaveComponentToFile = [&](TCustomRDData* data, const TControl& c,
                                              TRDSaveFormat format, const std::string& path) {
    EXPECT_EQ(data, &doc);
    EXPECT_EQ(&c, control);
    paths.push_back(path);
    switch (format) {
      case rdsfHTML:
        return std::string("<input value=\"x\">");
      case rdsfRTF:
        return std::string("{\\b x}");
      default:
        return std::string("[x]");
    }
  };
  EXPECT_TRUE(Has(doc.HTML(rdsoBodyOnly), "<div>field: <input value=\"x\"></div>"))
      << doc.HTML(rdsoBodyOnly);
  EXPECT_TRUE(Has(doc.RTF(), "field: {\\b x}}"));
  EXPECT_EQ(PlainText(doc, false), "field: [x]");
  EXPECT_EQ(PlainText(doc, true), WideStringToRawUnicode(u"field: [x]"));
  EXPECT_EQ(paths[0], doc.ImageFolder);
}

}  // namespace

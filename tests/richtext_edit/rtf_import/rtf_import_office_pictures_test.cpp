// Pictures in RTF that LibreOffice wrote (tests/data: from a page with a 12 x 8 PNG, its
// left half red and its right half blue, and a 16 x 8 green JPEG). Each picture comes as
// its PNG or JPEG data, followed by a Windows metafile around a bitmap of the same
// picture for readers of neither. Their pixels survive the import, our RTF and our HTML.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/gui/graphics/jpeg_image.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "rtf_import_document.h"
#include "support/scratch_files.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string OfficePictures() {
  return ReadFile(std::string(VELMORA_TEST_DATA) + "/richtext_edit/rtf_import/office_pictures.rtf");
}

// The PNG class as the program registers it, for one test.
struct PngClassRegistered {
  PngClassRegistered() { RegisterPngGraphicClass(); }
  ~PngClassRegistered() { PngGraphicClass = nullptr; }
};

std::vector<const TGraphic*> Pictures(const TRTFImportDocument& doc) {
  std::vector<const TGraphic*> pictures;
  for (int i = 0; i < doc.Count(); ++i)
    if (auto* picture = dynamic_cast<const TRDGraphicItemInfo*>(&doc.Item(i)))
      pictures.push_back(picture->Image.get());
  return pictures;
}

TColor PixelOf(const TGraphic& graphic, int x, int y) {
  TBitmap bitmap;
  bitmap.SetSize(graphic.Width(), graphic.Height());
  bitmap.Canvas().Draw(0, 0, graphic);
  return bitmap.Canvas().Pixels(x, y);
}

// Within the few steps JPEG compression moves a colour.
bool Near(TColor a, TColor b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24) return false;
  return true;
}

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00A000;

void ExpectOfficePixels(const std::vector<const TGraphic*>& pictures, const std::string& where) {
  ASSERT_EQ(pictures.size(), 2u) << where;
  const TGraphic& halves = *pictures[0];
  ASSERT_EQ(halves.Width(), 12) << where;
  ASSERT_EQ(halves.Height(), 8) << where;
  EXPECT_EQ(PixelOf(halves, 0, 0), kRed) << where;
  EXPECT_EQ(PixelOf(halves, 5, 7), kRed) << where;
  EXPECT_EQ(PixelOf(halves, 6, 0), kBlue) << where;
  EXPECT_EQ(PixelOf(halves, 11, 7), kBlue) << where;
  const TGraphic& green = *pictures[1];
  ASSERT_EQ(green.Width(), 16) << where;
  ASSERT_EQ(green.Height(), 8) << where;
  EXPECT_TRUE(Near(PixelOf(green, 8, 4), kGreen)) << where << std::hex << PixelOf(green, 8, 4);
}

TEST(RTFImportOfficePictures, PngAndJpegKeepTheirPixels) {
  PngClassRegistered png;
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(OfficePictures()), rtf_ec_OK);
  const std::vector<const TGraphic*> pictures = Pictures(doc);
  ExpectOfficePixels(pictures, "import");
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_NE(dynamic_cast<const TPngImage*>(pictures[0]), nullptr);
  EXPECT_NE(dynamic_cast<const TJPEGImage*>(pictures[1]), nullptr);

  // Our RTF keeps the PNG as PNG and the JPEG as JPEG, read back the same.
  TMemoryStream rtf;
  TRDRTFSaveParams params;
  params.Options = rdrtfSaveJpegAsJpeg;
  ASSERT_TRUE(SaveRTFToStream(doc.Document, rtf, params));
  const std::string written(static_cast<const char*>(rtf.Memory()), size_t(rtf.Size()));
  EXPECT_NE(written.find("\\pngblip"), std::string::npos);
  EXPECT_NE(written.find("\\jpegblip"), std::string::npos);
  TRTFImportDocument again;
  ASSERT_EQ(again.Import(written), rtf_ec_OK);
  ExpectOfficePixels(Pictures(again), "our RTF");

  // Our HTML saves picture files that hold the same pixels.
  TMemoryStream html;
  TRDHTMLSaveParams htmlParams;
  htmlParams.Path = WriteScratchFile("office_pictures_html/.keep", "");
  htmlParams.Path.erase(htmlParams.Path.rfind('/') + 1);
  ASSERT_TRUE(SaveHTMLToStream(doc.Document, html, htmlParams));
  TBitmap first;
  TJPEGImage second;
  first.LoadFromFile(htmlParams.Path + "img1.bmp");
  second.LoadFromFile(htmlParams.Path + "img2.jpg");  // a JPEG stays JPEG
  ExpectOfficePixels({&first, &second}, "our HTML");
}

TEST(RTFImportOfficePictures, MetafileFallbackHoldsThePicture) {
  // Without a PNG class the PNG cannot be read: the metafile after it stands in, and the
  // bitmap in it is the picture, not a placeholder.
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(OfficePictures()), rtf_ec_OK);
  const std::vector<const TGraphic*> pictures = Pictures(doc);
  ASSERT_EQ(pictures.size(), 2u);
  ASSERT_NE(dynamic_cast<const TBitmap*>(pictures[0]), nullptr);
  ExpectOfficePixels(pictures, "metafile");
  // With the metafile pictures not taken apart, the JPEG is still read from its data.
  TRTFImportDocument plain;
  plain.Options.ExtractMetafileBitmaps = false;
  ASSERT_EQ(plain.Import(OfficePictures()), rtf_ec_OK);
  ASSERT_EQ(Pictures(plain).size(), 2u);
  EXPECT_NE(dynamic_cast<const TJPEGImage*>(Pictures(plain)[1]), nullptr);
}

// One damaged picture costs only itself. A damaged PNG or JPEG of a \\shppict group gives
// way to its \\nonshppict metafile; a damaged picture with nothing to fall back on shows
// the sheet's invalid picture, and the text after it is read.
TEST(RTFImportOfficePictures, DamagedPicturesFallBackOrShowTheInvalidPicture) {
  PngClassRegistered png;
  std::string rtf = OfficePictures();
  for (const char* signature : {"89504e47", "ffd8ffe0"}) {
    const size_t at = rtf.find(signature);
    ASSERT_NE(at, std::string::npos) << signature;
    rtf.replace(at, 8, "00000000");
  }
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(rtf), rtf_ec_OK);
  ExpectOfficePixels(Pictures(doc), "fallback");

  TRTFImportDocument lone;
  ASSERT_EQ(lone.Import("{\\rtf1 a{\\pict\\pngblip 00000000}b{\\pict\\jpegblip ffd8ff00}c"
                        "{\\pict\\wmetafile8 0102}d}"),
            rtf_ec_OK);
  ASSERT_EQ(Pictures(lone).size(), 3u);
  for (const TGraphic* picture : Pictures(lone)) {
    EXPECT_EQ(picture->Width(), lone.Sheet.InvalidPicture().Width());
    EXPECT_EQ(picture->Height(), lone.Sheet.InvalidPicture().Height());
  }
  EXPECT_EQ(lone.Count(), 7);
  EXPECT_EQ(lone.ItemText(6), "d");
}

}  // namespace

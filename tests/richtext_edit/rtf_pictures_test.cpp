// Pictures and objects in RTF: bitmaps decoded by our own code, metafiles that carry one
// bitmap, JPEG through libjpeg, PNG through the registered class, sizes, \shppict
// alternatives, and embedded objects with their \result text.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>

#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/text/format.h"
#include "richtext/model/picture_budget.h"
#include "richtext_edit/rtf/rtf_bitmaps.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/support/rtf_event_log.h"

namespace {

using Lines = std::vector<std::string>;

std::uint32_t PixelAt(const TGraphic& graphic, int x, int y) {
  const auto& bitmap = dynamic_cast<const TBitmap&>(graphic);
  const std::uint8_t* p = bitmap.ScanLine(y) + (bitmap.PixelFormat() == pf32bit ? 4 : 3) * x;
  return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];  // 0xRRGGBB
}

std::unique_ptr<TBitmap> PackedDib(std::span<const std::uint8_t> bytes) {
  auto bitmap = std::make_unique<TBitmap>();
  ReadPackedDib(bytes, *bitmap);
  return bitmap;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) out += Format("%02x", int(std::uint8_t(c)));
  return out;
}

TEST(RTFPictures, TheFixturesPicturesAndObject) {
  TRDRTFReader reader;
  reader.PixelsPerInch = 96;
  TRTFEventLog log(reader);
  ASSERT_EQ(ReadRTF(reader, LoadTestFile("rtf/pictures.rtf")), rtf_ec_OK);
  EXPECT_EQ(
      log.Lines,
      (Lines{"text NewPara: Device-independent bitmap: ", "picture 6 4x2 graphic 4x2 Continue",
             "text NewPara: Metafile with one bitmap: ", "picture 5 96x48 graphic 4x2 Continue",
             "text NewPara: Bitmap: ", "picture 7 0x0 graphic 4x2 Continue",
             "text NewPara: Picture choice: ", "picture 6 0x0 graphic 4x2 Continue",
             "text NewPara: Object: ", "object 0 8 bytes 1440x720", "text NewPara: Binary: ",
             "picture 6 0x0 graphic 4x2 Continue", "text NewPara: End.", "end"}));
  ASSERT_EQ(log.Pictures.size(), 5u);
  // Pixel (x, y) of the test bitmap is red 255 - 60x, green 200y, blue 60x; the file
  // holds its rows bottom-up.
  EXPECT_EQ(PixelAt(*log.Pictures[0], 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(*log.Pictures[0], 3, 1), 0x4BC8B4u);
  EXPECT_EQ(PixelAt(*log.Pictures[1], 3, 1), 0x4BC8B4u);  // the metafile's bitmap is the same
  EXPECT_EQ(PixelAt(*log.Pictures[2], 0, 0), 0xFFFFFFu);  // DDB: set bits are white
  EXPECT_EQ(PixelAt(*log.Pictures[2], 1, 0), 0x000000u);
  EXPECT_EQ(PixelAt(*log.Pictures[2], 1, 1), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(*log.Pictures[4], 3, 1), 0x4BC8B4u);  // the \bin copy
}

TEST(RTFPictures, RefusedObjectsAndShapePicturesFallBackToTheirAlternatives) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  log.AcceptObjects = false;
  log.AcceptPictures = false;
  ReadRTF(reader,
          "{\\rtf1{\\object{\\*\\objdata 0102}{\\result alt}}{\\*\\shppict{\\pict\\macpict 00}}"
          "{\\nonshppict other}}");
  // Whether taken or not, what follows an object continues its paragraph.
  EXPECT_EQ(log.Lines, (Lines{"object 0 2 bytes 0x0", "text Continue: alt",
                              "picture 3 0x0 no graphic Continue", "text Continue: other", "end"}));
  // Without an object handler the object's result is ordinary text.
  TRDRTFReader plain;
  TRTFEventLog textOnly(plain);
  plain.OnNewObject = nullptr;
  ReadRTF(plain, "{\\rtf1{\\object\\objemb{\\*\\objdata 0102}{\\result alt}}}");
  EXPECT_EQ(textOnly.Text(), "alt");
}

// An object or a picture that begins a cell, of a nested table too, is reported inside
// its table, as text there would be.
TEST(RTFPictures, FirstInACellInsideItsTable) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  ASSERT_EQ(ReadRTF(reader,
                    "{\\rtf1\\trowd\\cellx2000\\cellx4000\\pard\\intbl{\\object{\\*\\objdata 01}}"
                    "\\cell\\pard\\intbl\\itap2{\\pict\\macpict 00}\\nestcell{\\*\\nesttableprops"
                    "\\trowd\\cellx1000\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\cell\\row}"),
            rtf_ec_OK);
  EXPECT_EQ(log.Lines, (Lines{"table start", "object 0 1 bytes 0x0", "cell end", "table start",
                              "picture 3 0x0 no graphic NewPara", "cell end", "row end",
                              "table end", "cell end", "row end", "end", "table end"}));
}

TEST(RTFPictures, SizesFromMetafileExtentsAndGoals) {
  TRDRTFReader reader;
  reader.PixelsPerInch = 96;
  TRTFEventLog log(reader);
  // A Windows metafile with only its header and an end record.
  const std::string emptyMetafile =
      Hex(std::string("\x01\x00\x09\x00\x00\x03\x0c\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00"
                      "\x03\x00\x00\x00\x00\x00",
                      24));
  ReadRTF(reader, "{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich2540 " + emptyMetafile +
                      "}{\\pict\\wmetafile1\\picw2540\\pich2540 " + emptyMetafile +
                      "}{\\pict\\wmetafile8\\picw2540\\pich2540\\picwgoal720\\pichgoal360 " +
                      emptyMetafile + "}}");
  // Metafiles are kept as drawings, of the size they were placed at.
  EXPECT_EQ(log.Lines,
            (Lines{"picture 5 96x96 graphic 96x96 NewPara", "picture 5 0x0 graphic 0x0 Continue",
                   "picture 5 48x24 graphic 48x24 Continue", "end"}));
}

// A damaged picture costs only itself: it is reported without a graphic (its size from
// the goals still given) and the document after it is read.
TEST(RTFPictures, DamagedPicturesComeWithoutAGraphic) {
  TRDRTFReader reader;
  reader.PixelsPerInch = 96;
  TRTFEventLog log(reader);
  EXPECT_EQ(ReadRTF(reader,
                    "{\\rtf1{\\pict\\wmetafile8 0102}{\\pict\\emfblip 0102}"
                    "{\\pict\\jpegblip\\picwgoal720\\pichgoal360 ffd8ff00}"
                    // A DDB whose rows are shorter than its size says.
                    "{\\pict\\wbitmap0\\picw8\\pich8\\wbmwidthbytes2 00ff} after}"),
            rtf_ec_OK);
  EXPECT_EQ(log.Lines,
            (Lines{"picture 5 0x0 no graphic NewPara", "picture 0 0x0 no graphic Continue",
                   "picture 2 48x24 no graphic Continue", "picture 7 0x0 no graphic Continue",
                   "end", "text Continue:  after"}));
}

TEST(RTFPictures, JpegAndPngPictures) {
  TBitmap source;
  source.SetSize(8, 8);
  source.Canvas().Brush().SetColor(clRed);
  source.Canvas().FillRect(TRect(0, 0, 8, 8));
  TJPEGImage jpeg;
  jpeg.Assign(source);
  TMemoryStream jpegBytes;
  jpeg.SaveToStream(jpegBytes);
  const std::string jpegHex =
      Hex(std::string(static_cast<const char*>(jpegBytes.Memory()), std::size_t(jpegBytes.Size())));

  TRDRTFReader reader;
  reader.PixelsPerInch = 96;
  TRTFEventLog log(reader);
  int created = 0;
  GraphicCreatedHook = [&created](TGraphic&) { ++created; };
  PngGraphicClass = nullptr;  // PNG pictures left out
  ReadRTF(reader, "{\\rtf1{\\pict\\jpegblip\\picwgoal240\\pichgoal240 " + jpegHex +
                      "}{\\pict\\pngblip 89504e47}}");
  EXPECT_EQ(log.Lines, (Lines{"picture 2 16x16 graphic 8x8 NewPara",
                              "picture 1 0x0 no graphic Continue", "end"}));
  EXPECT_EQ(created, 1);
  // A registered PNG class is asked to load the data.
  PngGraphicClass = [] { return std::make_unique<TBitmap>(); };  // reads BMP: the data is refused
  log.Lines.clear();
  EXPECT_EQ(ReadRTF(reader, "{\\rtf1{\\pict\\pngblip 89504e47}}"), rtf_ec_OK);
  EXPECT_EQ(log.Lines, (Lines{"picture 1 0x0 no graphic NewPara", "end"}));
  PngGraphicClass = NewPngGraphic;
  GraphicCreatedHook = nullptr;
}

TEST(RTFBitmaps, DibLayouts) {
  // 2x2, 1 bit per pixel with a two-colour table, top-down (negative height).
  std::string dib(40, '\0');
  dib[0] = 40;                                                // header size
  dib[4] = 2;                                                 // width
  dib[8] = dib[9] = dib[10] = dib[11] = '\xff';               // height -1 ...
  dib[8] = '\xfe';                                            // ... -2: rows top-down
  dib[12] = 1;                                                // planes
  dib[14] = 1;                                                // bits per pixel
  dib += std::string("\x00\x00\xff\x00\xff\x00\x00\x00", 8);  // red, blue (B, G, R, 0)
  dib += std::string("\x40\0\0\0\x80\0\0\0", 8);              // rows: 01, 10
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(dib.data()), dib.size());
  const auto bitmap = PackedDib(bytes);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(*bitmap, 0, 1), 0x0000FFu);
  EXPECT_EQ(DibInfoSize(bytes), 48u);
  // Every byte short of the rows is refused, and so are unknown depths and compressions.
  EXPECT_THROW(PackedDib(bytes.first(bytes.size() - 1)), EInvalidGraphic);
  std::string rle = dib;
  rle[16] = 1;
  EXPECT_THROW(PackedDib(std::span(reinterpret_cast<const std::uint8_t*>(rle.data()), rle.size())),
               EInvalidGraphic);
  std::string deep = dib;
  deep[14] = 7;
  EXPECT_THROW(
      PackedDib(std::span(reinterpret_cast<const std::uint8_t*>(deep.data()), deep.size())),
      EInvalidGraphic);
  // A size whose rows could not be in any input is refused before anything is allocated.
  std::string huge = dib;
  huge[4] = huge[5] = huge[6] = '\x7f';
  EXPECT_THROW(
      PackedDib(std::span(reinterpret_cast<const std::uint8_t*>(huge.data()), huge.size())),
      EInvalidGraphic);
}

TEST(RTFBitmaps, MetafilesWithOtherDrawingKeepNoBitmap) {
  TRDPictureBudget budget;
  // Header, a LineTo record (not passed over), end.
  const std::string wmf(
      "\x01\x00\x09\x00\x00\x03\x0f\x00\x00\x00\x00\x00\x05\x00\x00\x00\x00\x00"
      "\x05\x00\x00\x00\x13\x02\x01\x00\x01\x00"
      "\x03\x00\x00\x00\x00\x00",
      34);
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(wmf.data()), wmf.size());
  EXPECT_NE(WindowsMetafileRecordsStart(bytes), 0u);
  EXPECT_EQ(ExtractWindowsMetafileBitmap(bytes, budget), nullptr);
  // A record claiming more than the data holds ends the walk.
  std::string cut = wmf;
  cut[18] = '\x40';
  EXPECT_EQ(ExtractWindowsMetafileBitmap(
                std::span(reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size()), budget),
            nullptr);
  EXPECT_EQ(ExtractEnhancedMetafileBitmap(bytes, budget), nullptr);
  EXPECT_THROW(TMetafile(bytes, true), EInvalidGraphic);
}

}  // namespace

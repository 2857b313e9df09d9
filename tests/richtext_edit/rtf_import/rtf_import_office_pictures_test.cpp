// Pictures in RTF that LibreOffice wrote (tests/data: from a page with a 12 x 8 PNG, its
// left half red and its right half blue, and a 16 x 8 green JPEG). Each picture comes as
// its PNG or JPEG data, followed by a Windows metafile around a bitmap of the same
// picture for readers of neither. Their pixels survive the import, our RTF and our HTML.
// Bitmaps as word processors write them are drawn as LibreOffice draws the same file.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/sys/child_process.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/bmp_layouts.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "rtf_import_document.h"
#include "support/office_convert.h"
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
  ~PngClassRegistered() { PngGraphicClass = NewPngGraphic; }
};

std::vector<const TGraphic*> Pictures(const TRTFImportDocument& doc) {
  std::vector<const TGraphic*> pictures;
  for (int i = 0; i < doc.Count(); ++i)
    if (auto* picture = dynamic_cast<const TRDGraphicItemInfo*>(&doc.Item(i)))
      pictures.push_back(picture->Image.get());
  return pictures;
}

// Drawn over white, as on a page: a picture that is not opaque shows it.
TColor PixelOf(const TGraphic& graphic, int x, int y) {
  TBitmap bitmap;
  bitmap.SetSize(graphic.Width(), graphic.Height());
  bitmap.Canvas().Brush().SetColor(clWhite);
  bitmap.Canvas().FillRect(Rect(0, 0, graphic.Width(), graphic.Height()));
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

// --- bitmaps as word processors write them, against LibreOffice's drawing ------------------

// An 8 x 8 picture of four quadrants: a colour in each, one of them a middle grey.
constexpr TColor kQuadrants[2][2] = {{RGB(200, 30, 30), RGB(30, 160, 60)},
                                     {RGB(40, 60, 220), RGB(128, 128, 128)}};
constexpr int kSide = 8;

TColor QuadrantColour(int x, int y) {
  return kQuadrants[y < kSide / 2 ? 0 : 1][x < kSide / 2 ? 0 : 1];
}

void PutLE(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

// The pixels as 24-bit rows, blue, green, red, top row first or bottom row first.
std::string Rows(bool bottomUp) {
  std::string bits;
  for (int row = 0; row < kSide; ++row) {
    const int y = bottomUp ? kSide - 1 - row : row;
    for (int x = 0; x < kSide; ++x) {
      const TColor c = QuadrantColour(x, y);
      bits += char(GetBValue(c));
      bits += char(GetGValue(c));
      bits += char(GetRValue(c));
    }
  }
  return bits;
}

std::string PackedDib() {
  std::string dib;
  for (std::uint32_t v : {40u, std::uint32_t(kSide), std::uint32_t(kSide)}) PutLE(dib, v, 4);
  PutLE(dib, 1, 2);   // planes
  PutLE(dib, 24, 2);  // bits per pixel
  for (int i = 0; i < 6; ++i) PutLE(dib, 0, 4);
  return dib + Rows(true);
}

// The same picture run-length coded at 8 bits: four colours, each row two runs of four.
std::string RunLengthDib() {
  std::string dib;
  for (std::uint32_t v : {40u, std::uint32_t(kSide), std::uint32_t(kSide)}) PutLE(dib, v, 4);
  PutLE(dib, 1, 2);
  PutLE(dib, 8, 2);
  std::string runs;
  for (int row = 0; row < kSide; ++row) {
    const int first = kSide - 1 - row < kSide / 2 ? 0 : 2;  // bottom row first
    runs += {char(kSide / 2), char(first), char(kSide / 2), char(first + 1), 0, 0};
  }
  runs += {0, 1};
  for (std::uint32_t v : {1u, std::uint32_t(runs.size()), 0u, 0u, 4u, 0u}) PutLE(dib, v, 4);
  for (int q = 0; q < 4; ++q) {
    const TColor c = kQuadrants[q / 2][q % 2];
    dib += {char(GetBValue(c)), char(GetGValue(c)), char(GetRValue(c)), 0};
  }
  return dib + runs;
}

// A Windows metafile that sets its window and stretches the one DIB over it.
std::string MetafileAroundDib() {
  std::string records;
  const auto record = [&](std::uint16_t function, const std::string& params) {
    PutLE(records, std::uint32_t((6 + params.size()) / 2), 4);
    PutLE(records, function, 2);
    records += params;
  };
  std::string origin, extent, stretch;
  PutLE(origin, 0, 4);
  PutLE(extent, kSide, 2);
  PutLE(extent, kSide, 2);
  PutLE(stretch, 0x00CC0020, 4);  // SRCCOPY
  PutLE(stretch, 0, 2);           // RGB colours
  for (int v : {kSide, kSide, 0, 0, kSide, kSide, 0, 0}) PutLE(stretch, std::uint32_t(v), 2);
  stretch += PackedDib();
  record(0x020B, origin);   // SetWindowOrg
  record(0x020C, extent);   // SetWindowExt
  record(0x0F43, stretch);  // StretchDIBits
  record(0x0000, "");
  std::string header;
  for (std::uint32_t v : {1u, 9u, 0x0300u}) PutLE(header, v, 2);
  PutLE(header, std::uint32_t((18 + records.size()) / 2), 4);
  PutLE(header, 0, 2);
  PutLE(header, std::uint32_t((6 + stretch.size()) / 2), 4);
  PutLE(header, 0, 2);
  return header + records;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// Each picture an inch square in a paragraph of its own, between lines of text.
std::string BitmapsRTF(bool withDeviceBitmap) {
  const std::string inch = "\\picwgoal1440\\pichgoal1440 ";
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 a\\par\n";
  rtf += "{\\pict\\dibitmap0\\picw8\\pich8" + inch + Hex(PackedDib()) + "}\\par\nb\\par\n";
  rtf += "{\\pict\\wmetafile8\\picw212\\pich212" + inch + Hex(MetafileAroundDib()) + "}\\par\n";
  rtf += "{\\pict\\dibitmap0\\picw8\\pich8" + inch + Hex(RunLengthDib()) + "}\\par\n";
  // LibreOffice 7.4 does not open a document with a device-dependent bitmap at all.
  if (withDeviceBitmap)
    rtf +=
        "c\\par\n{\\pict\\wbitmap0\\picw8\\pich8\\wbmbitspixel24\\wbmplanes1"
        "\\wbmwidthbytes24" +
        inch + Hex(Rows(false)) + "}\\par\n";
  return rtf + "d\\par}";
}

// Channels within a few steps: a PDF renderer may smooth a colour a little.
bool Close(TColor a, TColor b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 6) return false;
  return true;
}

std::string HexColour(TColor c) {
  return IntToHex(unsigned(c), 6);
}

// Every picture drawn over white shows each quadrant's colour, opaque.
void ExpectQuadrants(const std::vector<const TGraphic*>& pictures, std::size_t count,
                     const std::string& where) {
  ASSERT_EQ(pictures.size(), count) << where;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    ASSERT_EQ(dynamic_cast<const TBitmap*>(pictures[i]) != nullptr, true) << where << i;
    ASSERT_EQ(pictures[i]->Width(), kSide) << where << i;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x)
        ASSERT_EQ(HexColour(PixelOf(*pictures[i], x, y)), HexColour(QuadrantColour(x, y)))
            << where << " picture " << i << " at " << x << "," << y;
  }
}

// The quadrant colours of the pictures on LibreOffice's page, top to bottom: each found
// by the top-left corner of its top-left quadrant, its size by that quadrant's width.
std::vector<std::array<TColor, 4>> OfficeQuadrants(const std::string& rtfFile) {
  const TOfficeConversion pdf = OfficeConvert(rtfFile, "pdf", "pdf");
  EXPECT_FALSE(pdf.Content.empty()) << pdf.Log;
  const std::string pdfFile = WriteScratchFile("office_bitmaps/page.pdf", pdf.Content);
  const std::string png = ScratchFolder() + "/office_bitmaps/page";
  RunAndCapture("pdftoppm -f 1 -l 1 -r 72 -png -singlefile '" + pdfFile + "' '" + png + "'");
  std::ifstream file(png + ".png", std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  TBitmap page;
  EXPECT_TRUE(LoadBitmapFromImageBytes(bytes.str(), page));
  const auto pixel = [&](int x, int y) { return ColorToRGB(page.Canvas().Pixels(x, y)); };
  std::vector<std::array<TColor, 4>> found;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) {
      if (!Close(pixel(x, y), kQuadrants[0][0])) continue;
      int half = 1;
      while (x + half < page.Width() && Close(pixel(x + half, y), kQuadrants[0][0])) ++half;
      std::array<TColor, 4> colours{};
      for (int q = 0; q < 4; ++q)
        colours[q] = pixel(x + half / 2 + (q % 2) * half, y + half / 2 + (q / 2) * half);
      found.push_back(colours);
      y += 2 * half;
      break;
    }
  return found;
}

// Bitmaps in RTF (a DIB, a device-dependent bitmap, a metafile around one DIB, a run-length
// coded DIB) are opaque pictures in their own colours, as LibreOffice draws the same file;
// our RTF writes them as DIBs (the run-length one as it came), which read back whole and
// which LibreOffice draws the same again.
TEST(RTFImportOfficePictures, BitmapsDrawnInTheirColoursAsLibreOfficeDrawsThem) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(BitmapsRTF(true)), rtf_ec_OK);
  ExpectQuadrants(Pictures(doc), 4, "import");

  TMemoryStream rtf;
  ASSERT_TRUE(SaveRTFToStream(doc.Document, rtf, TRDRTFSaveParams{}));
  const std::string written(static_cast<const char*>(rtf.Memory()), size_t(rtf.Size()));
  EXPECT_NE(written.find("\\dibitmap"), std::string::npos);
  EXPECT_NE(written.find(UpperCase(Hex(RunLengthDib()))), std::string::npos);
  TRTFImportDocument again;
  ASSERT_EQ(again.Import(written), rtf_ec_OK);
  ExpectQuadrants(Pictures(again), 4, "our RTF read back");

  if (!ProgramAvailable("soffice") || !ProgramAvailable("pdftoppm"))
    GTEST_SKIP() << "LibreOffice or pdftoppm is not installed";
  std::array<TColor, 4> expected{};
  for (int q = 0; q < 4; ++q) expected[q] = kQuadrants[q / 2][q % 2];
  TRTFImportDocument theirs;
  ASSERT_EQ(theirs.Import(BitmapsRTF(false)), rtf_ec_OK);
  TMemoryStream ours;
  ASSERT_TRUE(SaveRTFToStream(theirs.Document, ours, TRDRTFSaveParams{}));
  for (const std::string& file :
       {WriteScratchFile("office_bitmaps/given.rtf", BitmapsRTF(false)),
        WriteScratchFile(
            "office_bitmaps/ours.rtf",
            std::string(static_cast<const char*>(ours.Memory()), size_t(ours.Size())))}) {
    // The pictures are drawn in their colours. Ours come at their pixel size, a few
    // pixels on the page, too small to sample each quadrant: their red corner shows them
    // (found by it, the run-length one is smoothed into its other colours there).
    const std::vector<std::array<TColor, 4>> drawn = OfficeQuadrants(file);
    ASSERT_EQ(drawn.size(), 3u) << file;
    const bool given = file.find("given") != std::string::npos;
    for (std::size_t p = 0; p < (given ? drawn.size() : 2); ++p)
      for (int q = 0; q < (given ? 4 : 1); ++q)
        EXPECT_TRUE(Close(drawn[p][q], expected[q]))
            << file << " quadrant " << q << ": " << HexColour(drawn[p][q]);
  }
}

// --- bitmaps we write, as we and LibreOffice read them back --------------------------------

// The most two bitmaps' pixels differ by in a channel; -1 for bitmaps of other sizes.
int PixelsApart(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
  const int stepA = a.PixelFormat() == pf32bit ? 4 : 3, stepB = b.PixelFormat() == pf32bit ? 4 : 3;
  int apart = 0;
  for (int y = 0; y < a.Height(); ++y) {
    const std::uint8_t* rowA = a.ScanLine(y);
    const std::uint8_t* rowB = b.ScanLine(y);
    for (int x = 0; x < a.Width(); ++x)
      for (int c = 0; c < 3; ++c)
        apart = std::max(apart, std::abs(int(rowA[stepA * x + c]) - int(rowB[stepB * x + c])));
  }
  return apart;
}

std::vector<const TBitmap*> Bitmaps(const TRTFImportDocument& doc) {
  std::vector<const TBitmap*> bitmaps;
  for (const TGraphic* picture : Pictures(doc))
    bitmaps.push_back(dynamic_cast<const TBitmap*>(picture));
  return bitmaps;
}

// Each bitmap of a document against the one at its place in another: their pixels apart.
std::vector<int> Apart(const std::vector<const TBitmap*>& shown,
                       const std::vector<const TBitmap*>& read) {
  std::vector<int> apart;
  for (std::size_t i = 0; i < std::min(shown.size(), read.size()); ++i)
    apart.push_back(shown[i] && read[i] ? PixelsApart(*shown[i], *read[i]) : -2);
  return apart;
}

std::string Saved(TCustomRDData& document, bool asRTF) {
  TMemoryStream stream;
  if (asRTF) {
    EXPECT_TRUE(SaveRTFToStream(document, stream, TRDRTFSaveParams{}));
  } else {
    document.SetRDFOptions(rdfoSavePicturesBody);
    EXPECT_TRUE(SaveRDFToStream(document, stream, false));
  }
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// The pictures LibreOffice decoded from each RTF file, as it puts them into a PDF page
// (losslessly, at their own resolution), in page order.
std::vector<std::vector<std::unique_ptr<TBitmap>>> OfficeBitmaps(
    const std::vector<std::string>& rtfFiles) {
  const std::vector<std::string> pdfs = OfficeConvertAll(
      rtfFiles,
      "pdf:writer_pdf_Export:{\"UseLosslessCompression\":{\"type\":\"boolean\",\"value\":"
      "\"true\"},\"ReduceImageResolution\":{\"type\":\"boolean\",\"value\":\"false\"}}",
      "pdf");
  std::vector<std::vector<std::unique_ptr<TBitmap>>> all;
  for (std::size_t f = 0; f < pdfs.size(); ++f) {
    const std::string folder = "office_written/" + std::to_string(f);
    const std::string pdf = WriteScratchFile(folder + "/page.pdf", pdfs[f]);
    const std::string prefix = ScratchFolder() + "/" + folder + "/image";
    RunAndCapture("pdfimages -png '" + pdf + "' '" + prefix + "'");
    std::vector<std::unique_ptr<TBitmap>>& images = all.emplace_back();
    for (int i = 0;; ++i) {
      const std::string image = ReadFile(prefix + "-" + Format("%03d", i) + ".png");
      if (image.empty()) break;
      auto bitmap = std::make_unique<TBitmap>();
      EXPECT_TRUE(LoadBitmapFromImageBytes(image, *bitmap));
      images.push_back(std::move(bitmap));
    }
  }
  return all;
}

// A 608-byte RTF of two metafiles, each drawing a bitmap that claims 4096 x 4096 pixels in
// two bytes of runs, was saved as 268 MB of RTF and 134 MB of RDF, its enhanced-metafile
// form the same: the bitmaps taken out of the metafiles were written as pixels. (Such
// bitmaps are left out now; those of 1024 x 1024, which are decoded whatever their runs
// hold, show the same.) They keep their bytes now (RDF), or are written as PNG (RTF:
// LibreOffice shows no bitmap whose runs leave most pixels to the reader), read back as
// the same pixels. BMP files whose rows do not
// follow their colour table (after a gap, inside the table) came back scrambled from our RTF, which
// left out their file header; their rows now follow the table. LibreOffice reads them all
// as they were shown.
TEST(RTFImportOfficePictures, BitmapsWeWriteAreReadBackAsShown) {
  PngClassRegistered png;
  // Each placed an inch square.
  const auto metafile = [](bool enhanced, const std::vector<std::uint8_t>& dib) {
    const std::vector<std::uint8_t> drawing = MetafileDrawingDib(dib, enhanced, 4096, 4096);
    const std::string picture =
        std::string("{\\pict") + (enhanced ? "\\emfblip" : "\\wmetafile8\\picw2540\\pich2540") +
        "\\picwgoal1440\\pichgoal1440 " + Hex(std::string(drawing.begin(), drawing.end())) + "}";
    return "{\\rtf1 " + picture + picture + "}";
  };
  std::string metafileRTF;
  for (const bool enhanced : {false, true}) {
    TRTFImportDocument doc;
    ASSERT_EQ(doc.Import(metafile(enhanced, ClaimingRunLengthDib(1024))), rtf_ec_OK);
    const std::vector<const TBitmap*> taken = Bitmaps(doc);
    ASSERT_EQ(taken.size(), 2u);
    ASSERT_TRUE(taken[0] && taken[1]);
    ASSERT_EQ(taken[0]->Width(), 1024);
    const std::string rtf = Saved(doc.Document, true), rdf = Saved(doc.Document, false);
    RecordProperty(enhanced ? "emf_rtf_bytes" : "wmf_rtf_bytes", int(rtf.size()));
    RecordProperty(enhanced ? "emf_rdf_bytes" : "wmf_rdf_bytes", int(rdf.size()));
    EXPECT_LT(rtf.size(), 1000000u);
    EXPECT_LT(rdf.size(), 20000u);
    TRTFImportDocument fromRTF, fromRDF;
    ASSERT_EQ(fromRTF.Import(rtf), rtf_ec_OK);
    TMemoryStream stream;
    stream.WriteBuffer(rdf.data(), int64_t(rdf.size()));
    stream.SetPosition(0);
    ASSERT_TRUE(LoadRDFFromStream(fromRDF.Document, stream));
    EXPECT_EQ(Apart(taken, Bitmaps(fromRTF)), (std::vector<int>{0, 0})) << enhanced;
    EXPECT_EQ(Apart(taken, Bitmaps(fromRDF)), (std::vector<int>{0, 0})) << enhanced;
    // Both forms hold the same bitmaps, written alike.
    if (enhanced) {
      EXPECT_EQ(rtf, metafileRTF);
    } else {
      metafileRTF = rtf;
    }
  }

  TRTFImportDocument laidOut;
  for (int layout = 0; layout < kBmpLayouts; ++layout) {
    const std::vector<std::uint8_t> file = LaidOutBmp(TBmpLayout(layout), 24, 10, 40 + 7 * layout);
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), int64_t(file.size()));
    stream.SetPosition(0);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromStream(stream);
    auto item =
        TRDGraphicItemInfo::CreateWithGraphic(&laidOut.Document, std::move(bitmap), rdvaBaseline);
    item->ParaNo = 0;
    laidOut.Document.AddItemAtEnd("", std::move(item));
  }
  const std::string laidOutRTF = Saved(laidOut.Document, true);
  TRTFImportDocument again;
  ASSERT_EQ(again.Import(laidOutRTF), rtf_ec_OK);
  EXPECT_EQ(Apart(Bitmaps(laidOut), Bitmaps(again)), (std::vector<int>(kBmpLayouts, 0)));

  if (!ProgramAvailable("soffice") || !ProgramAvailable("pdfimages"))
    GTEST_SKIP() << "LibreOffice or pdfimages is not installed";
  TRTFImportDocument fromMetafiles;
  ASSERT_EQ(fromMetafiles.Import(metafile(false, ClaimingRunLengthDib(1024))), rtf_ec_OK);
  const std::vector<std::vector<std::unique_ptr<TBitmap>>> office =
      OfficeBitmaps({WriteScratchFile("office_written/laid_out.rtf", laidOutRTF),
                     WriteScratchFile("office_written/metafiles.rtf", metafileRTF)});
  ASSERT_EQ(office.size(), 2u);
  const auto decoded = [](const std::vector<std::unique_ptr<TBitmap>>& images) {
    std::vector<const TBitmap*> bitmaps;
    for (const auto& image : images) bitmaps.push_back(image.get());
    return bitmaps;
  };
  // Within a step of 5 bits (8) a channel: LibreOffice widens 16-bit pixels' channels to 8
  // bits otherwise than we do; rows taken from elsewhere would be far apart.
  ASSERT_EQ(office[0].size(), std::size_t(kBmpLayouts));
  const std::vector<int> officeApart = Apart(Bitmaps(laidOut), decoded(office[0]));
  RecordProperty("office_laid_out_apart",
                 *std::max_element(officeApart.begin(), officeApart.end()));
  for (const int apart : officeApart) EXPECT_LE(apart, 8);
  EXPECT_EQ(Apart(Bitmaps(fromMetafiles), decoded(office[1])), (std::vector<int>{0, 0}));
}

}  // namespace

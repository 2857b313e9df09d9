// Hostile numbers and depths in an RTF import: lengths are clamped to a page where they
// are read, and tables nested deeper than we build keep their text.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cmath>
#include <functional>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/text_routines.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/picture_budget.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rtf_picture.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext_edit/bmp_layouts.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/rtf/rtf_reader.h"
#include "rtf_import_document.h"
#include "support/control_snapshot.h"

namespace {

int Round(double value) {
  return int(std::nearbyint(value));
}

TEST(RTFImportBounds, HostileEdgesAndBordersAreClamped) {
  TRTFImportDocument doc;
  for (const char* row : {"\\trowd\\trleft2147483647\\cellx2147483647\\cellx2147483647",
                          "\\trowd\\trleft-2147483647\\cellx-2147483647\\cellx2147483647",
                          "\\trowd\\trgaph2147483647\\trbrdrt\\brdrs\\brdrw2147483647"
                          "\\clbrdrl\\brdrs\\brdrw2147483647\\trpaddl2147483647\\trpaddfl3"
                          "\\trspdl2147483647\\trspdfl3\\cellx1000\\cellx2000"}) {
    SCOPED_TRACE(row);
    ASSERT_EQ(doc.Import(std::string("{\\rtf1 ") + row + "\\pard\\intbl a\\cell b\\cell\\row}"),
              rtf_ec_OK);
  }
  for (int t = 0; t < 3; ++t) {
    TRDTableItemInfo* table = doc.Table(t);
    ASSERT_NE(table, nullptr) << t;
    EXPECT_TRUE(table->Rows->IsConsistent()) << t;
    EXPECT_LE(table->BorderWidth(), TRDTableItemInfo::kMaxLength);
    EXPECT_LE(table->CellBorderWidth(), TRDTableItemInfo::kMaxLength);
    EXPECT_LE(table->CellPadding(), TRDTableItemInfo::kMaxLength);
    for (int c = 0; c < table->ColCount(); ++c) {
      if (const TRDTableCellData* cell = table->Cells(0, c)) {
        EXPECT_LE(std::abs(cell->BestWidth), kMaxPageLength) << t;
      }
    }
  }
  EXPECT_EQ(doc.Text(), "a\r\nb\r\na\r\nb\r\na\r\nb");
}

// Tables nested deeper than the reader builds flow into the deepest one, their cells as
// its paragraphs: an error there once dropped the whole document, and then every deeper
// cell and row grew the deepest table by a column or a row.
TEST(RTFImportBounds, TablesNestedDeeperThanWeBuildKeepTheirText) {
  TRTFImportDocument doc;
  ASSERT_EQ(
      doc.Import("{\\rtf1 before\\par\\pard\\intbl\\itap70 deep\\nestcell more\\nestcell"
                 "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}\\par\\pard after}"),
      rtf_ec_OK);
  const std::string text = doc.Text();
  EXPECT_NE(text.find("before"), std::string::npos) << text;
  EXPECT_NE(text.find("deep"), std::string::npos) << text;
  EXPECT_NE(text.find("after"), std::string::npos) << text;

  // Written as a writer nests its tables: each level's cell holds its text, the next
  // level's table and an empty paragraph.
  constexpr int kLevels = 70;
  std::string rtf = "{\\rtf1 ";
  for (int level = 1; level <= kLevels; ++level)
    rtf += (level == 1 ? "\\trowd\\cellx5000" : "") + std::string("\\pard\\intbl\\itap") +
           std::to_string(level) + " t" + std::to_string(level) + "\\par ";
  for (int level = kLevels; level >= 2; --level)
    rtf += "\\pard\\intbl\\itap" + std::to_string(level) +
           "\\nestcell{\\*\\nesttableprops\\trowd\\cellx4000\\nestrow}{\\nonesttables\\par}";
  rtf += "\\pard\\intbl\\itap1\\cell\\row\\pard end}";
  TRTFImportDocument nested;
  ASSERT_EQ(nested.Import(rtf), rtf_ec_OK);
  TRDTableItemInfo* table = nested.Table();
  for (int level = 1; level <= TRDRTFReader::kMaxTableDepth; ++level) {
    ASSERT_NE(table, nullptr) << level;
    ASSERT_EQ(table->RowCount(), 1) << level;
    ASSERT_EQ(table->ColCount(), 1) << level;
    TRDTableCellData& cell = *table->Cells(0, 0);
    EXPECT_EQ(cell.GetItemTextRaw(0), "t" + std::to_string(level));
    table = nullptr;
    for (int i = 0; i < cell.GetItemCount(); ++i)
      if (auto* inner = dynamic_cast<TRDTableItemInfo*>(cell.GetItem(i))) table = inner;
    if (level < TRDRTFReader::kMaxTableDepth) continue;
    // The deepest cell holds the deeper levels' text as paragraphs, and no table; the
    // innermost cell ends with an empty paragraph after its text.
    EXPECT_EQ(table, nullptr);
    std::string deeper;
    for (int i = 0; i < cell.GetItemCount(); ++i) deeper += cell.GetItemTextRaw(i) + "|";
    EXPECT_EQ(deeper, "t64|t65|t66|t67|t68|t69|t70||");
  }
}

// Rows of cells with a look of their own cost a few bytes each (256 in the four bytes of a
// \\row): the tables of one read cost no more than its bytes pay for, and rows beyond them
// are left out of the tables, their text kept as paragraphs in order, and the document
// says so.
TEST(RTFImportBounds, TablesTakeNoMoreSlotsThanTheReadPaysFor) {
  std::string rtf = "{\\rtf1\\trowd";
  for (int c = 1; c <= 256; ++c) rtf += "\\cellx" + std::to_string(c * 9);
  const int rows = 2048;
  for (int r = 0; r < rows; ++r)
    rtf += r % 256 == 5 ? "\\pard\\intbl\\cell r" + std::to_string(r) + "\\cell\\row" : "\\row";
  rtf += "\\pard after\\par}";
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(rtf), rtf_ec_OK);
  ASSERT_NE(doc.Table(), nullptr);
  EXPECT_LE(doc.TableBytes(), kTableBytesPerRead + kTableBytesPerByte * std::int64_t(rtf.size()));
  EXPECT_TRUE(doc.Document.GetRDFWarnings() & rdfwTableCellsLeftOut);
  const std::string text = doc.Text();
  size_t at = 0;
  for (int r = 5; r < rows; r += 256) {
    at = text.find("r" + std::to_string(r) + "\r\n", at);
    ASSERT_NE(at, std::string::npos) << r << ": " << text;
  }
  EXPECT_EQ(text.substr(text.size() - 5), "after");
}

// A font size or picture scale a file gives without bound once overflowed where the
// size was doubled for writing, or where the scaled size became whole pixels.
TEST(RTFImportBounds, FontSizesAndPictureScalesStayInRange) {
  TRTFImportDocument doc;
  doc.Options.TextStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(
      doc.Import("{\\rtf1\\ansi\\fs2147483647 y\\par"
                 "{\\pict\\macpict\\picwgoal9999\\pichgoal9999\\picscaley2147483647 00}"
                 "{\\pict\\wmetafile8\\picw2147483647\\pich2147483647\\picscalex2147483647 00}"
                 "{\\field{\\*\\fldinst SYMBOL 65 \\\\f \"Arial\" \\\\s 999999}}}"),
      rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 4);
  EXPECT_EQ(doc.TextStyleOf(0).Size, 1638);
  EXPECT_EQ(doc.TextStyleOf(3).Size, 1638);
  // Scaled pictures are at most a page (22 inches) wide and high.
  const int page = Round(22 * GetScreenLogPixelsY());
  const auto* scaled = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(1));
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(scaled->ImageHeight, page);
  const auto* metafile = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(2));
  ASSERT_NE(metafile, nullptr);
  EXPECT_EQ(metafile->ImageWidth, page);
  EXPECT_EQ(metafile->ImageHeight, page);
  TMemoryStream rtf;
  EXPECT_TRUE(SaveRTFToStream(doc.Document, rtf, TRDRTFSaveParams{}));
}

// A DIB of 4096 x 4096 pixels at 8 bits run-length coded, its one colour red and its
// runs only the end of the bitmap: 46 bytes that decoded to 50 MB, in most of a second.
std::string RunLengthDib() {
  std::string hex =
      "28000000"
      "00100000"
      "00100000"
      "0100"
      "0800"
      "01000000"
      "02000000";
  hex +=
      "0000000000000000"
      "01000000"
      "00000000";  // resolution, one colour
  hex +=
      "0000ff00"
      "0001";  // red; end of bitmap
  return hex;
}

// A DIB of as many pixels whose runs set each of them (written as it came, where one whose
// runs leave pixels to the reader is written as PNG), and that as a \dibitmap picture.
std::string CoveringRunLengthHex() {
  const std::vector<std::uint8_t> dib = CoveringRunLengthDib(4096);
  return StringToHex(std::string(dib.begin(), dib.end()));
}
std::string CoveringRunLengthPicture() {
  return "{\\pict\\dibitmap0\\picw4096\\pich4096 " + CoveringRunLengthHex() + "}";
}

// The hexadecimal digits of a little-endian number of the given bytes.
std::string HexLE(std::uint32_t value, int bytes) {
  std::string hex;
  for (int i = 0; i < bytes; ++i) hex += Format("%02x", int((value >> (8 * i)) & 0xFF));
  return hex;
}

// A Windows metafile picture that stretches a DIB of 4096 x 4096 pixels (the covering one
// unless given) over its window count times, each with a record of its own: with more
// than one it is a drawing, not one bitmap.
std::string RunLengthMetafile(int count, const std::string& dib = CoveringRunLengthHex()) {
  std::string stretch = HexLE(0x00CC0020, 4) + HexLE(0, 2);  // copy, RGB colours
  for (std::uint32_t v : {4096, 4096, 0, 0, 4096, 4096, 0, 0}) stretch += HexLE(v, 2);
  stretch += dib;
  const auto words = std::uint32_t(3 + stretch.size() / 4);
  std::string records;
  for (int i = 0; i < count; ++i) records += HexLE(words, 4) + HexLE(0x0F43, 2) + stretch;
  records += HexLE(3, 4) + HexLE(0, 2);
  const std::string header = HexLE(1, 2) + HexLE(9, 2) + HexLE(0x0300, 2) +
                             HexLE(std::uint32_t(9 + records.size() / 4), 4) + HexLE(0, 2) +
                             HexLE(words, 4) + HexLE(0, 2);
  return "{\\pict\\wmetafile8\\picw2540\\pich2540 " + header + records + "}";
}

// The pictures of a document as letters: B a bitmap, F a frame left out; each shown at
// its own size, 4096 square.
std::string PictureKinds(const TRTFImportDocument& doc) {
  std::string out;
  for (int i = 0; i < doc.Count(); ++i) {
    const auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i));
    if (!picture) continue;
    const bool frame = dynamic_cast<const TRDPictureFrame*>(picture->Image.get());
    EXPECT_EQ(picture->GetImageWidth(), 4096);
    EXPECT_EQ(picture->GetImageHeight(), 4096);
    out += dynamic_cast<const TBitmap*>(picture->Image.get()) ? 'B' : frame ? 'F' : '?';
  }
  return out;
}

// What the frames of a document keep of their pictures, one a line: the graphic class
// and the bytes.
std::string FrameSources(const TRTFImportDocument& doc) {
  std::string out;
  for (int i = 0; i < doc.Count(); ++i)
    if (const auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i)))
      if (const auto* frame = dynamic_cast<const TRDPictureFrame*>(picture->Image.get()))
        out += frame->Source().RDFClass + " " + StringToHex(frame->Source().Data) + "\n";
  return out;
}

std::string Text(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

// The document saved as RTF.
std::string SavedRTF(TRTFImportDocument& doc) {
  TMemoryStream saved;
  EXPECT_TRUE(SaveRTFToStream(doc.Document, saved, TRDRTFSaveParams{}));
  return Text(saved);
}

// The document saved as RDF with its pictures' bodies, read into another.
void CopyAsRDF(TRTFImportDocument& from, TRTFImportDocument& to) {
  from.Document.SetRDFOptions(rdfoSavePicturesBody);
  TMemoryStream saved;
  ASSERT_TRUE(SaveRDFToStream(from.Document, saved, false));
  saved.SetPosition(0);
  ASSERT_TRUE(LoadRDFFromStream(to.Document, saved));
}

// --- every kind of picture through our formats --------------------------------------------

// A picture item as a line: its kind (B bitmap, P PNG, J JPEG, M drawing, F a frame left
// out and the kind it keeps), the size it is shown at, and the bytes it keeps (what saving
// it writes).
std::string PictureLine(const TRDGraphicItemInfo& item) {
  const TGraphic* image = item.Image.get();
  std::string kind = "?";
  if (const auto* frame = dynamic_cast<const TRDPictureFrame*>(image))
    kind = "F " + frame->Source().RDFClass;
  else if (dynamic_cast<const TPngImage*>(image))
    kind = "P";
  else if (dynamic_cast<const TBitmap*>(image))
    kind = "B";
  else if (dynamic_cast<const TJPEGImage*>(image))
    kind = "J";
  else if (dynamic_cast<const TMetafile*>(image))
    kind = "M";
  TMemoryStream bytes;
  if (image) image->SaveToStream(bytes);
  return kind + " " + std::to_string(item.GetImageWidth()) + "x" +
         std::to_string(item.GetImageHeight()) + " " +
         std::to_string(std::hash<std::string>{}(Text(bytes))) + "/" + std::to_string(bytes.Size());
}

std::vector<std::string> PictureLines(const TRTFImportDocument& doc) {
  std::vector<std::string> lines;
  for (int i = 0; i < doc.Count(); ++i)
    if (const auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i)))
      lines.push_back(PictureLine(*picture));
  return lines;
}

// RTF read, then twice over saved as RDF and read back, saved as RTF and read back: each
// picture stays of its kind, at its size, with its bytes, and the second RTF written is
// the first. The pictures as first read.
std::vector<std::string> ExpectPicturesRoundTrip(const std::string& rtf) {
  TRTFImportDocument first;
  EXPECT_EQ(first.Import(rtf), rtf_ec_OK);
  const std::vector<std::string> read = PictureLines(first);
  std::array<TRTFImportDocument, 4> copies;
  TRTFImportDocument* from = &first;
  std::string written;
  for (int round = 0; round < 2; ++round) {
    TRTFImportDocument& asRDF = copies[std::size_t(2 * round)];
    CopyAsRDF(*from, asRDF);
    EXPECT_EQ(PictureLines(asRDF), read) << "RDF, round " << round;
    const std::string again = SavedRTF(asRDF);
    if (round == 1) {
      EXPECT_EQ(again, written);
    }
    written = again;
    TRTFImportDocument& asRTF = copies[std::size_t(2 * round + 1)];
    EXPECT_EQ(asRTF.Import(written), rtf_ec_OK);
    EXPECT_EQ(PictureLines(asRTF), read) << "RTF, round " << round << "\n"
                                         << written.substr(0, 2000);
    from = &asRTF;
  }
  return read;
}

// A Windows metafile of records alone (as RTF holds one: no size of its own), a rectangle
// on a window of 100 units.
std::string RecordsOnlyMetafile() {
  const std::string records = HexLE(5, 4) + HexLE(0x020C, 2) + HexLE(100, 2) + HexLE(100, 2) +
                              HexLE(7, 4) + HexLE(0x041B, 2) + HexLE(90, 2) + HexLE(90, 2) +
                              HexLE(10, 2) + HexLE(10, 2) + HexLE(3, 4) + HexLE(0, 2);
  return HexLE(1, 2) + HexLE(9, 2) + HexLE(0x0300, 2) +
         HexLE(std::uint32_t(9 + records.size() / 4), 4) + HexLE(0, 2) + HexLE(7, 4) + HexLE(0, 2) +
         records;
}

// An enhanced metafile whose frame is 1780 hundredths of a millimetre square (67.3 pixels)
// drawing one rectangle.
std::string EnhancedMetafile() {
  const std::string rectangle =
      HexLE(43, 4) + HexLE(24, 4) + HexLE(5, 4) + HexLE(5, 4) + HexLE(60, 4) + HexLE(60, 4);
  const std::string end = HexLE(14, 4) + HexLE(20, 4) + HexLE(0, 4) + HexLE(16, 4) + HexLE(20, 4);
  std::string header = HexLE(1, 4) + HexLE(88, 4);
  for (std::uint32_t v : {0u, 0u, 66u, 66u, 0u, 0u, 1780u, 1780u}) header += HexLE(v, 4);
  header += HexLE(0x464D4520, 4) + HexLE(0x10000, 4) + HexLE(88 + 24 + 20, 4) + HexLE(3, 4) +
            HexLE(1, 2) + HexLE(0, 2) + HexLE(0, 4) + HexLE(0, 4) + HexLE(0, 4);
  for (std::uint32_t v : {1024u, 768u, 320u, 240u}) header += HexLE(v, 4);
  return header + rectangle + end;
}

// A 2 x 2 DIB of 24 bits.
std::string SmallDib() {
  std::string hex = HexLE(40, 4) + HexLE(2, 4) + HexLE(2, 4) + HexLE(1, 2) + HexLE(24, 2);
  for (int i = 0; i < 6; ++i) hex += HexLE(0, 4);
  return hex + "0000ff00ff000000" + "ff0000ffffff0000";
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  for (unsigned char c : bytes) hex += Format("%02x", int(c));
  return hex;
}

// Every kind of picture, each at its own size, placed by its goal size, by its goal and a
// scale, and scaled to less than one per cent of its pixels.
std::string EveryPictureKind() {
  const auto placements = [](const std::string& kind, const std::string& data) {
    std::string out;
    for (const char* placement :
         {"", "\\picwgoal300\\pichgoal300", "\\picwgoal600\\pichgoal600\\picscalex50\\picscaley50",
          "\\picwgoal30000\\pichgoal30000\\picscalex1\\picscaley2"})
      out += "{\\pict" + kind + placement + " " + data + "}";
    return out;
  };
  TBitmap blue;
  blue.SetSize(3, 2);
  blue.Canvas().Brush().SetColor(clBlue);
  blue.Canvas().FillRect(Rect(0, 0, 3, 2));
  TJPEGImage jpeg;
  jpeg.LoadFromFile(std::string(VELMORA_TEST_DATA) + "/jpeg/blocks.jpg");
  TMemoryStream jpegBytes;
  jpeg.SaveToStream(jpegBytes);
  return "{\\rtf1 " + placements("\\dibitmap0\\picw2\\pich2", SmallDib()) +
         placements("\\dibitmap0\\picw4096\\pich4096", CoveringRunLengthHex()) +
         placements("\\pngblip", Hex(BitmapToPng(blue))) +
         placements("\\jpegblip", Hex(Text(jpegBytes))) +
         placements("\\wmetafile8\\picw2540\\pich2540", RecordsOnlyMetafile()) +
         placements("\\emfblip", EnhancedMetafile()) + "}";
}

// Pictures kept their size across our formats only where they were decoded: a WMF came
// back from RDF without a size and RTF then dropped it, and a picture left out (a frame)
// placed at 20 x 20 came back at 4096 x 4096, then 2112 x 2112; an EMF grew a pixel each
// time. Every kind, decoded and left out, now comes back whole.
TEST(RTFImportBounds, EveryPictureKindRoundTripsThroughOurFormats) {
  const std::string pictures = EveryPictureKind();
  const std::vector<std::string> decoded = ExpectPicturesRoundTrip(pictures);
  // Two bitmaps of 4096 x 4096 spend the document's budget: the rest are frames, but for
  // JPEG pictures and drawings.
  const std::vector<std::string> leftOut = ExpectPicturesRoundTrip(
      "{\\rtf1 " + CoveringRunLengthPicture() + CoveringRunLengthPicture() + pictures.substr(7));
  ASSERT_EQ(decoded.size(), 24u);
  ASSERT_EQ(leftOut.size(), 26u);
  const auto shown = [](const std::string& line) { return line.substr(0, line.rfind(' ')); };
  // Bitmaps show their own pixels unless scaled; drawings and frames the place given.
  EXPECT_EQ(shown(decoded[1]), "B 2x2");
  EXPECT_EQ(shown(decoded[2]), "B 20x20");
  EXPECT_EQ(shown(decoded[3]), "B 20x40");
  EXPECT_EQ(shown(leftOut[2 + 4]), "F TBitmap 4096x4096");
  EXPECT_EQ(shown(leftOut[2 + 5]), "F TBitmap 20x20");
  EXPECT_EQ(shown(leftOut[2 + 6]), "F TBitmap 20x20");
  EXPECT_EQ(shown(leftOut[2 + 7]), "F TBitmap 20x40");
  EXPECT_EQ(shown(decoded[16]), "M 96x96");
  EXPECT_EQ(shown(decoded[17]), "M 20x20");
  EXPECT_EQ(shown(leftOut[2 + 17]), "M 20x20");  // drawings cost no pixels
  EXPECT_EQ(shown(decoded[20]), "M 67x67");
  for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(shown(leftOut[i + 2]).substr(0, 1), "F") << i;
  // JPEG pictures hold what they show, not decoded with the document.
  EXPECT_EQ(shown(leftOut[2 + 14]), "J 20x20");
}

// Twenty such pictures in 3 KB took a gigabyte to import and show. The pictures of a
// document share one budget of pixels, taken as their headers claim before they are
// decoded: once it is spent, pictures are frames of their size, the document's warnings
// say so, and a frame keeps the picture as read: saved as RTF it is the same picture
// again (a frame not read from RTF writes nothing). A second import into the document
// takes from what its pictures hold then: pictures deleted or cleared away give theirs
// back.
TEST(RTFImportBounds, BitmapsBeyondTheDocumentsPixelsAreLeftOutAsFrames) {
  TRTFImportDocument doc;
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 20; ++i) rtf += CoveringRunLengthPicture();
  ASSERT_EQ(doc.Import(rtf + "}"), rtf_ec_OK);
  EXPECT_EQ(PictureKinds(doc), "BB" + std::string(18, 'F'));
  EXPECT_TRUE(doc.Document.GetRDFWarnings() & rdfwPicturesLeftOut);
  EXPECT_EQ(RTFPictureGroup(TRDPictureFrame(4096, 4096), TRDRTFOptions{}), "");

  // The frames written and read back, after two bitmaps spent the budget again.
  const std::string spent =
      "{\\rtf1 " + CoveringRunLengthPicture() + CoveringRunLengthPicture() + "}";
  TRTFImportDocument again;
  ASSERT_EQ(again.Import(spent), rtf_ec_OK);
  doc.Document.DeleteItems(0, 2);
  const std::string saved = SavedRTF(doc);
  ASSERT_EQ(again.Import(saved), rtf_ec_OK);
  EXPECT_EQ(PictureKinds(again), "BB" + std::string(18, 'F'));
  std::string data = CoveringRunLengthPicture();
  data = data.substr(data.find(' ') + 1, data.size() - data.find(' ') - 2);
  for (char& c : data) c = char(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_NE(saved.find(" " + data + "}"), std::string::npos) << saved.substr(0, 300);
  EXPECT_NE(FrameSources(doc).find(data + "\n"), std::string::npos) << FrameSources(doc);
  EXPECT_EQ(FrameSources(again), FrameSources(doc));

  // Across formats the frames keep their bytes: saved as RDF and read into a document with
  // budget left, the first two are bitmaps again and the rest frames; those saved as RTF
  // and read after two bitmaps are the same frames, and saved as RDF again too.
  TRTFImportDocument asRDF;
  CopyAsRDF(doc, asRDF);
  EXPECT_EQ(PictureKinds(asRDF), "BB" + std::string(16, 'F'));
  asRDF.Document.DeleteItems(0, 2);
  const std::string sources = FrameSources(asRDF);
  EXPECT_EQ(FrameSources(doc).substr(FrameSources(doc).size() - sources.size()), sources);
  TRTFImportDocument backToRTF;
  ASSERT_EQ(backToRTF.Import(spent), rtf_ec_OK);
  ASSERT_EQ(backToRTF.Import(SavedRTF(asRDF)), rtf_ec_OK);
  // Written at their own size, they are read so (once 2,112: a page on this screen).
  EXPECT_EQ(PictureKinds(backToRTF), "BB" + std::string(16, 'F'));
  backToRTF.Document.DeleteItems(0, 2);
  EXPECT_EQ(FrameSources(backToRTF), sources);
  TRTFImportDocument backToRDF;
  CopyAsRDF(backToRTF, backToRDF);
  EXPECT_EQ(PictureKinds(backToRDF), "BB" + std::string(14, 'F'));

  // A device bitmap left out keeps the BMP file it makes: read from RDF with budget left,
  // it is that bitmap (its set bit white, its clear one black).
  TRTFImportDocument device;
  ASSERT_EQ(device.Import("{\\rtf1 " + CoveringRunLengthPicture() + CoveringRunLengthPicture() +
                          "{\\pict\\wbitmap0\\picw2\\pich1\\wbmbitspixel1\\wbmplanes1"
                          "\\wbmwidthbytes2 8000}}"),
            rtf_ec_OK);
  device.Document.DeleteItems(0, 2);
  TRTFImportDocument deviceAsRDF;
  CopyAsRDF(device, deviceAsRDF);
  ASSERT_EQ(deviceAsRDF.Count(), 1);
  const auto* bitmap = dynamic_cast<const TBitmap*>(
      dynamic_cast<TRDGraphicItemInfo&>(deviceAsRDF.Item(0)).Image.get());
  ASSERT_NE(bitmap, nullptr);
  TBitmap pixels;
  pixels.Assign(*bitmap);
  EXPECT_EQ(pixels.Canvas().Pixels(0, 0), clWhite);
  EXPECT_EQ(pixels.Canvas().Pixels(1, 0), clBlack);

  // The two bitmaps deleted above gave their pixels back.
  ASSERT_EQ(doc.Import("{\\rtf1 " + CoveringRunLengthPicture() + CoveringRunLengthPicture() +
                       CoveringRunLengthPicture() + "}"),
            rtf_ec_OK);
  EXPECT_EQ(PictureKinds(doc), std::string(18, 'F') + "BBF");
  doc.Document.Clear();
  ASSERT_EQ(doc.Import("{\\rtf1 " + CoveringRunLengthPicture() + "}"), rtf_ec_OK);
  EXPECT_EQ(PictureKinds(doc), "B");

  // A bitmap whose runs claim far more pixels than their bytes set is a frame at once,
  // taking nothing, and written as it came.
  doc.Document.Clear();
  const std::string claiming = "{\\pict\\dibitmap0\\picw4096\\pich4096 " + RunLengthDib() + "}";
  ASSERT_EQ(doc.Import("{\\rtf1 " + claiming + CoveringRunLengthPicture() +
                       CoveringRunLengthPicture() + "}"),
            rtf_ec_OK);
  EXPECT_EQ(PictureKinds(doc), "FBB");
  EXPECT_NE(SavedRTF(doc).find(" " + UpperCase(RunLengthDib()) + "}"), std::string::npos);
}

// 89 bytes of PNG that claim 20000 x 20000 pixels at one bit: a header, four rows of
// zeros, an end.
constexpr const char* kClaimingPng =
    "89504e470d0a1a0a0000000d4948445200004e2000004e200100000000cb0b7b94000000204944415478da"
    "edc1010d000000c2a0f74f6d0f07140000000000000000007c182714000147ae59930000000049454e44ae"
    "426082";

// A PNG picture that counts its decodings.
class TCountedPng : public TPngImage {
 public:
  static inline int Decoded = 0;
  void LoadFromStream(TStream& Stream) override {
    ++Decoded;
    TPngImage::LoadFromStream(Stream);
  }
};

// PNG pictures, as JPEG ones, are priced as their headers claim, before they are decoded:
// decoded first, this one took a gigabyte. Past the budget it is a frame that keeps it.
TEST(RTFImportBounds, PngPicturesArePricedAsTheirHeadersClaim) {
  PngGraphicClass = [] { return std::make_unique<TCountedPng>(); };
  TRTFImportDocument doc;
  const TRDRTFErrorCode read =
      doc.Import("{\\rtf1 " + CoveringRunLengthPicture() + CoveringRunLengthPicture() +
                 "{\\pict\\pngblip " + kClaimingPng + "}}");
  PngGraphicClass = NewPngGraphic;
  ASSERT_EQ(read, rtf_ec_OK);
  EXPECT_EQ(TCountedPng::Decoded, 0);
  ASSERT_EQ(doc.Count(), 3);
  const auto* png = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(2));
  ASSERT_NE(png, nullptr);
  const auto* frame = dynamic_cast<const TRDPictureFrame*>(png->Image.get());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Width(), 20000);
  EXPECT_EQ(StringToHex(frame->Source().Data), UpperCase(kClaimingPng));
  EXPECT_TRUE(doc.Document.GetRDFWarnings() & rdfwPicturesLeftOut);
}

// The bitmaps of a metafile take from the document's pixels as many as its player keeps:
// one that leaves a bitmap out warns as a picture left out does, and once they spent the
// budget a further metafile is a frame.
TEST(RTFImportBounds, MetafileBitmapsTakeFromTheDocumentsPixels) {
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1 " + RunLengthMetafile(2) + "}"), rtf_ec_OK);
  EXPECT_TRUE(doc.Document.GetRDFWarnings() & rdfwPicturesLeftOut);
  ASSERT_EQ(doc.Import("{\\rtf1 " + RunLengthMetafile(1) + RunLengthMetafile(2) + "}"), rtf_ec_OK);
  std::string kinds;
  for (int i = 0; i < doc.Count(); ++i)
    if (const auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i)))
      kinds += dynamic_cast<const TMetafile*>(picture->Image.get())         ? 'M'
               : dynamic_cast<const TBitmap*>(picture->Image.get())         ? 'B'
               : dynamic_cast<const TRDPictureFrame*>(picture->Image.get()) ? 'F'
                                                                            : '?';
  EXPECT_EQ(kinds, "MBF");

  // A bitmap whose two bytes of runs claim 4096 x 4096 pixels is left out of the drawing,
  // taking nothing: eight such records took 1.7 s to draw.
  TRTFImportDocument claiming;
  ASSERT_EQ(claiming.Import("{\\rtf1 " + RunLengthMetafile(1, RunLengthDib()) + "}"), rtf_ec_OK);
  ASSERT_EQ(claiming.Count(), 1);
  const auto* drawing = dynamic_cast<TRDGraphicItemInfo*>(&claiming.Item(0));
  ASSERT_NE(drawing, nullptr);
  ASSERT_NE(dynamic_cast<const TMetafile*>(drawing->Image.get()), nullptr);
  EXPECT_TRUE(PictureLeavesOut(*drawing->Image));
  EXPECT_EQ(DecodedPicturePixels(*drawing->Image), 0);
}

// Twelve photos of 4000 x 3000 pixels placed at a tenth of their sides: the budget held
// two such pictures, and the third and every later one was an empty frame. A JPEG picture
// now holds what it shows (a decoding of 500 x 375 pixels here), and each shows.
TEST(RTFImportBounds, EveryPhotoOfADocumentOfTwelveIsShown) {
  TJPEGImage photo;
  photo.Assign(*SolidPicture(4000, 3000, clTeal));
  TMemoryStream bytes;
  photo.SaveToStream(bytes);
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 12; ++i)
    rtf += "{\\pict\\jpegblip\\picscalex10\\picscaley10 " + Hex(Text(bytes)) + "}";
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import(rtf + "}"), rtf_ec_OK);
  ASSERT_EQ(doc.Count(), 12);
  for (int i = 0; i < doc.Count(); ++i) {
    const auto& picture = dynamic_cast<TRDGraphicItemInfo&>(doc.Item(i));
    ASSERT_NE(dynamic_cast<const TJPEGImage*>(picture.Image.get()), nullptr) << i;
    ASSERT_EQ(picture.GetImageWidth(), 400);
    TBitmap shown;
    shown.SetSize(400, 300);
    shown.Canvas().StretchDraw(Rect(0, 0, 400, 300), *picture.Image);
    const TColor centre = shown.Canvas().Pixels(200, 150);
    for (const int shift : {0, 8, 16})
      EXPECT_NEAR(int(centre >> shift & 0xFF), int(clTeal >> shift & 0xFF), 4) << i;
  }
  EXPECT_FALSE(doc.Document.GetRDFWarnings() & rdfwPicturesLeftOut);
}

}  // namespace

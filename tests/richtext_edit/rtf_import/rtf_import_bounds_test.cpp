// Hostile numbers and depths in an RTF import: lengths are clamped to a page where they
// are read, and tables nested deeper than we build keep their text.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cmath>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/text_routines.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rtf_picture.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext_edit/rtf/rtf_reader.h"
#include "rtf_import_document.h"

namespace {

int Round(double value) {
  return int(std::nearbyint(value));
}

TEST(RTFImportBounds, EdgesAndBordersBeyondAPageAreClampedToIt) {
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

// A \dibitmap picture of 4096 x 4096 pixels at 8 bits run-length coded, its one colour
// red and its runs only the end of the bitmap: 46 bytes that decode to 50 MB.
std::string RunLengthPicture() {
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
  return "{\\pict\\dibitmap0\\picw4096\\pich4096 " + hex + "}";
}

// The pictures of a document as letters: B a bitmap, F a frame left out.
std::string PictureKinds(const TRTFImportDocument& doc) {
  std::string out;
  for (int i = 0; i < doc.Count(); ++i) {
    const auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i));
    if (!picture) continue;
    EXPECT_EQ(picture->Image->Width(), 4096);
    EXPECT_EQ(picture->Image->Height(), 4096);
    out += dynamic_cast<const TBitmap*>(picture->Image.get())           ? 'B'
           : dynamic_cast<const TRDPictureFrame*>(picture->Image.get()) ? 'F'
                                                                        : '?';
  }
  return out;
}

// What the frames of a document keep of their pictures, one a line.
std::string FrameSources(const TRTFImportDocument& doc) {
  std::string out;
  for (int i = 0; i < doc.Count(); ++i)
    if (const auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i)))
      if (const auto* frame = dynamic_cast<const TRDPictureFrame*>(picture->Image.get()))
        out += frame->Source().RTFFormat + " " + StringToHex(frame->Source().Data) + "\n";
  return out;
}

// Twenty such pictures in 3 KB took a gigabyte to import and show. The pictures of a
// document share one budget of pixels, taken as their headers claim before they are
// decoded: once it is spent, pictures are frames of their size, the document's warnings
// say so, and a frame keeps the picture as read: saved as RTF it is the same picture
// again (a frame not read from RTF writes nothing). A second import into the document
// takes from what is left; a cleared document has the whole budget again.
TEST(RTFImportBounds, BitmapsBeyondTheDocumentsPixelsAreLeftOutAsFrames) {
  TRTFImportDocument doc;
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 20; ++i) rtf += RunLengthPicture();
  ASSERT_EQ(doc.Import(rtf + "}"), rtf_ec_OK);
  EXPECT_EQ(PictureKinds(doc), "BB" + std::string(18, 'F'));
  EXPECT_TRUE(doc.Document.GetRDFWarnings() & rdfwPicturesLeftOut);
  EXPECT_EQ(RTFPictureGroup(TRDPictureFrame(4096, 4096), TRDRTFOptions{}), "");

  // The frames written and read back, after two bitmaps spent the budget again.
  TRTFImportDocument again;
  ASSERT_EQ(again.Import("{\\rtf1 " + RunLengthPicture() + RunLengthPicture() + "}"), rtf_ec_OK);
  doc.Document.DeleteItems(0, 2);
  TMemoryStream saved;
  ASSERT_TRUE(SaveRTFToStream(doc.Document, saved, TRDRTFSaveParams{}));
  ASSERT_EQ(again.Import(
                std::string(static_cast<const char*>(saved.Memory()), std::size_t(saved.Size()))),
            rtf_ec_OK);
  EXPECT_EQ(PictureKinds(again), "BB" + std::string(18, 'F'));
  std::string data = RunLengthPicture();
  data = data.substr(data.find(' ') + 1, data.size() - data.find(' ') - 2);
  for (char& c : data) c = char(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_NE(FrameSources(doc).find(" " + data + "\n"), std::string::npos) << FrameSources(doc);
  EXPECT_EQ(FrameSources(again), FrameSources(doc));

  ASSERT_EQ(doc.Import("{\\rtf1 " + RunLengthPicture() + "}"), rtf_ec_OK);
  EXPECT_EQ(PictureKinds(doc), std::string(19, 'F'));
  doc.Document.Clear();
  ASSERT_EQ(doc.Import("{\\rtf1 " + RunLengthPicture() + "}"), rtf_ec_OK);
  EXPECT_EQ(PictureKinds(doc), "B");
}

}  // namespace

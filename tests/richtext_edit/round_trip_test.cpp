// Random documents through RDF and RTF and back (round_trip_documents.h): a few hundred
// seeds, the fuzz program's saved inputs, and the seeds that once found a fault.
#include <gtest/gtest.h>

#include "platform/gui/graphics/png_file.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext_edit/round_trip_documents.h"
#include "support/control_snapshot.h"
#include "support/fuzz_corpus.h"

namespace {

// Among them the seeds that found faults: 1 (a hidden paragraph left an empty one, in a
// cell before a nested table too), 3 (a picture enlarged more than ten times lost its
// size; a list restarting in a cell lost its restart), 4 (a hidden paragraph before a
// picture), 55 and 143 (tables in the cells of a table made it wider than a page, and
// RTF read its cells' right edges cut to the page).
TEST(RoundTrip, RandomDocumentsComeBackWhole) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    const std::string failure = CheckSeededRoundTrips(seed);
    ASSERT_EQ(failure, "") << "seed " << seed;
  }
}

// Pictures at the edges: long strips of pixels shown at a page's side or at a pixel (52 of
// 80 such placements read back at another size), BMP files whose rows stand after a gap
// or inside the colour table (they came back scrambled from RTF) or whose header claims
// half their runs (written as PNG, read back as the invalid picture where no PNG kind was
// registered), and bitmaps taken out of metafiles.
TEST(RoundTrip, PicturesAtTheEdgesComeBackWhole) {
  for (unsigned seed = 53; seed <= 150; ++seed) {
    const std::string failure = CheckSeededRoundTrips(seed, true);
    ASSERT_EQ(failure, "") << "seed " << seed;
  }
}

// Pictures a word processor placed at more than a page, read as shown at the side of one:
// a 37 x 5000 PNG at 50 per cent, one of 5000 x 37 at 60 and 2 x 2 at 10,000 times its
// size. Written, they read back at their own size (18 x 5000, 5000 x 37, 2 x 2).
TEST(RoundTrip, PicturesShownAtAPagesSideComeBackAtThatSize) {
  RegisterPngGraphicClass();
  const auto png = [](int width, int height) {
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    return StringToHex(BitmapToPng(bitmap));
  };
  const std::string rtf = "{\\rtf1 {\\pict\\pngblip\\picscalex50\\picscaley50 " + png(37, 5000) +
                          "}{\\pict\\pngblip\\picscalex60\\picscaley60 " + png(5000, 37) +
                          "}{\\pict\\pngblip\\picscalex1000000\\picscaley1000000 " + png(2, 2) +
                          "}\\par}";
  round_trip::TRoundTripDocument document;
  round_trip::ReadAsViewer(rtf, document);
  std::string sizes;
  for (int i = 0; i < document.GetItemCount(); ++i)
    if (const auto* picture = dynamic_cast<const TRDGraphicItemInfo*>(document.GetItem(i)))
      sizes += std::to_string(picture->GetImageWidth()) + "x" +
               std::to_string(picture->GetImageHeight()) + " ";
  ASSERT_EQ(sizes, "18x2112 2112x22 2112x2112 ");
  EXPECT_EQ(round_trip::CheckDocumentRoundTrips(
                document, [](int) { return 0; }, true),
            "");
}

// A 40 x 40 picture placed at 600 twips and 50 per cent is shown 20 x 20, and so it stays
// through RTF, RDF and RTF again: a run-length bitmap whose runs set every pixel, one whose
// runs leave some (written as PNG), a PNG picture, and a JPEG picture drawn first (it then
// holds a decoding of 20 x 20 pixels). Read as a caller that registers no picture kind
// reads it: the PNG of the bitmap came back as the invalid picture there.
TEST(RoundTrip, APictureHalvedByItsScaleStaysHalved) {
  std::vector<std::uint8_t> leaving;
  for (int y = 0; y < 40; ++y) leaving.insert(leaving.end(), {20, 0, 0, 0});
  leaving.insert(leaving.end(), {0, 1});
  const auto hex = [](const std::vector<std::uint8_t>& bytes) {
    return StringToHex(std::string(bytes.begin(), bytes.end()));
  };
  TJPEGImage jpeg;
  jpeg.Assign(*SolidPicture(40, 40, clTeal));
  TMemoryStream jpegBytes;
  jpeg.SaveToStream(jpegBytes);
  for (const std::string& picture :
       {"\\dibitmap0 " + hex(CoveringRunLengthDib(40)),
        "\\dibitmap0 " + hex(OneColourDib(40, leaving)),
        "\\pngblip " + StringToHex(BitmapToPng(*SolidPicture(40, 40, clTeal))),
        "\\jpegblip " + StringToHex(round_trip::Bytes(jpegBytes))}) {
    SCOPED_TRACE(picture.substr(0, 12));
    const auto shown = [](TCustomRDData& document) {
      const auto& item = dynamic_cast<const TRDGraphicItemInfo&>(*document.GetItem(0));
      TBitmap drawn;
      drawn.SetSize(item.GetImageWidth(), item.GetImageHeight());
      drawn.Canvas().StretchDraw(Rect(0, 0, drawn.Width(), drawn.Height()), *item.Image);
      return std::to_string(item.GetImageWidth()) + "x" + std::to_string(item.GetImageHeight());
    };
    round_trip::TRoundTripDocument read;
    round_trip::ReadAsViewer(
        "{\\rtf1 {\\pict\\picwgoal600\\pichgoal600\\picscalex50\\picscaley50" + picture + "}\\par}",
        read);
    ASSERT_EQ(shown(read), "20x20");
    round_trip::TRoundTripDocument viaRDF, again, viaRTF;
    ASSERT_TRUE(LoadRDFFromStream(viaRDF, *round_trip::StreamOf(round_trip::SavedRDF(read, 0))));
    ASSERT_EQ(shown(viaRDF), "20x20");
    round_trip::ReadAsViewer(round_trip::SavedRTF(viaRDF), again);
    EXPECT_EQ(shown(again), "20x20");
    round_trip::ReadAsViewer(round_trip::SavedRTF(read), viaRTF);
    EXPECT_EQ(shown(viaRTF), "20x20");
  }
}

TEST(RoundTrip, ForeignDocumentsComeBackWhole) {
  for (const std::string& rtf : round_trip::ForeignRTFs())
    EXPECT_EQ(round_trip::CheckForeignRoundTrip(rtf), "") << rtf;
}

// Forms whose rows each have column edges of their own: every row spans the union of all
// edges, so that 3 cells a row make a table of up to 256 columns. Of our own RTF of 150,
// 200 and 300 rows, 54 to 267 cells came back as paragraphs, the tables in pieces; 512
// rows fill the largest table there is, 700 go on in a second. Where the rows name more
// edges than a table keeps, every cell keeps a column of its own: the last two cells of
// a row once became one.
TEST(RoundTrip, FormTablesComeBackWhole) {
  struct TForm {
    int rows;
    bool newEdges;
    int tables;
  };
  for (const auto& [rows, newEdges, tables] : {TForm{150, false, 1},
                                               {200, false, 1},
                                               {300, false, 1},
                                               {512, false, 1},
                                               {700, false, 2},
                                               {300, true, 1}}) {
    const std::string expected = std::to_string(tables) + "/" + std::to_string(3 * rows);
    round_trip::TRoundTripDocument read;
    round_trip::ReadAsViewer(round_trip::FormTableRTF(rows, newEdges), read);
    ASSERT_EQ(round_trip::TablesAndCellsWithText(read), expected) << rows;
    const std::string written = round_trip::SavedRTF(read);
    round_trip::TRoundTripDocument back;
    round_trip::ReadAsViewer(written, back);
    EXPECT_EQ(round_trip::TablesAndCellsWithText(back), expected) << rows;
    EXPECT_FALSE(back.GetRDFWarnings() & rdfwTableCellsLeftOut) << rows;
    EXPECT_EQ(round_trip::CheckForeignRoundTrip(written), "") << rows;
    EXPECT_EQ(round_trip::CheckDocumentRoundTrips(
                  read, [](int) { return 0; }, false),
              "")
        << rows;
  }
}

TEST(RoundTrip, SavedFuzzInputsComeBackWhole) {
  for (const auto& input : FuzzCorpus("richtext_edit/round_trip/fuzz")) {
    const std::string failure = CheckRoundTripsFromBytes(input.data(), input.size());
    ASSERT_EQ(failure, "") << std::string(input.begin(), input.end());
  }
}

}  // namespace

// What printed pages show behind their content: the document's background picture over
// the whole sheet and behind a transparent picture, a table's or a cell's picture behind
// a transparent picture in a cell (also while that cell is being edited), the part of a
// picture larger than the sheet that the sheet shows, the borders and
// outermost rules of a table on paper finer than the screen, and the peer: a page with a
// background picture rendered by pdftoppm shows it around the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/sys/child_process.h"
#include "platform/test_support/le_bytes.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_background.h"
#include "richtext/view/rd_platform_canvas.h"
#include "richtext_edit/print/document_print.h"
#include "richtext_edit/print/paper.h"
#include "richtext_edit/print/table_print.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "support/scratch_files.h"

namespace {

std::unique_ptr<TBitmap> Solid(int width, int height, TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  bitmap->Canvas().Brush().SetColor(color);
  bitmap->Canvas().FillRect(Rect(0, 0, width, height));
  return bitmap;
}

// A 20 x 20 picture that lets everything behind it show.
std::unique_ptr<TRDGraphicItemInfo> ClearPicture(TCustomRDData* data) {
  auto bitmap = Solid(20, 20, clFuchsia);
  bitmap->SetTransparentColor(clFuchsia);
  bitmap->SetTransparent(true);
  return TRDGraphicItemInfo::CreateWithGraphic(data, std::move(bitmap), rdvaBaseline);
}

// A table document whose window has a background picture.
class TPictureBackDocument : public TTableDocument {
 public:
  TRDBackground* GetBackground() override { return background.get(); }
  void SetPicture(TColor color, int side = 4) {
    background = std::make_unique<TRDBackground>(false);
    background->AssignImage(Solid(side, side, color).get());
    background->Style = bsTiled;
  }
  std::unique_ptr<TRDBackground> background;
};

// A sheet of real pixels at the screen's resolution, the document laid out and paged on
// it, without margins.
struct TPixelPaper {
  TPixelPaper(TCustomRDData& document, int width, int height)
      : canvas(sheet.Canvas()), data(document) {
    sheet.SetSize(width, height);
    data.PrinterCanvas = &canvas;
    data.PageWidth = width;
    data.PageHeight = height;
    data.PrepareScaling();
    data.FormatItems(false, true, true, 0, nullptr, false, false, false);
    Paginate(data);
  }
  TColor Pixel(int x, int y) { return ColorToRGB(sheet.Canvas().Pixels(x, y)); }
  // The box of draw line d on page 1.
  TRect Box(int d) const {
    const TRDDrawLineInfo& line = *data.DrawItems[d];
    return Bounds(line.Left, line.Top, line.Width, line.Height);
  }
  TBitmap sheet;
  TRDPlatformCanvas canvas;
  TCustomMainPtblRDData data;
};

TEST(PrintBackgrounds, ThePagePictureCoversTheSheetAndShowsBehindItems) {
  TPictureBackDocument doc;
  doc.SetPicture(clRed);
  doc.AddText("Above", 0, 0);
  doc.AddItemAtEnd("", ClearPicture(&doc));
  TPixelPaper paper(doc, 200, 150);
  paper.data.DrawPage(1, paper.canvas, false);
  EXPECT_EQ(paper.Pixel(199, 149), ColorToRGB(clRed));
  EXPECT_EQ(paper.Pixel(0, 0), ColorToRGB(clRed));
  const TRect picture = paper.Box(1);
  EXPECT_EQ(paper.Pixel(picture.Left + 10, picture.Top + 10), ColorToRGB(clRed));
  // It is the page's while the page is drawn only.
  EXPECT_EQ(paper.data.BackgroundBitmap, nullptr);
  // Without a picture the page colour lies behind the item.
  TTableDocument plain;
  plain.AddText("Above", 0, 0);
  plain.AddItemAtEnd("", ClearPicture(&plain));
  TPixelPaper white(plain, 200, 150);
  white.data.DrawPage(1, white.canvas, false);
  const TRect box = white.Box(1);
  EXPECT_EQ(white.Pixel(box.Left + 10, box.Top + 10), ColorToRGB(clWhite));
}

TEST(PrintBackgrounds, TablePicturesShowBehindItemsInTransparentCells) {
  TPictureBackDocument doc;
  doc.SetPicture(clRed);
  doc.AddText("Above", 0, 0);
  TRDTableItemInfo& table = doc.AddTable(1, 2);
  table.SetColor(clNone);
  for (int c = 0; c < 2; ++c) {
    TRDTableCellData& cell = *table.Cells(0, c);
    cell.Clear();
    cell.AddItemAtEnd("", ClearPicture(&cell));
  }
  // The second cell has a green picture of its own; the first shows the table's blue one.
  table.SetBackgroundImage(Solid(4, 4, clBlue).get());
  table.SetBackgroundStyle(rdbsTiled);
  table.Cells(0, 1)->SetBackgroundImage(Solid(4, 4, clLime).get());
  table.Cells(0, 1)->SetBackgroundStyle(rdbsTiled);
  TPixelPaper paper(doc, 300, 150);
  paper.data.DrawPage(1, paper.canvas, false);
  const TRect box = paper.Box(1);
  const auto& info = dynamic_cast<const TRDTablePrintInfo&>(*paper.data.DrawItems[1]);
  const auto pictureCentre = [&](int col) {
    auto* document = dynamic_cast<TCellPtblRDData*>(info.FormattingInfo.CellLayout(0, col, 2));
    const TRDDrawLineInfo& line = *document->DrawItems[0];
    return TPoint{document->Left + line.Left + 10, document->Top + line.Top + 10};
  };
  ASSERT_TRUE(paper.data.DrawItems.Count() == 2 && box.Width() > 0);
  const TPoint first = pictureCentre(0), second = pictureCentre(1);
  EXPECT_EQ(paper.Pixel(first.X, first.Y), ColorToRGB(clBlue));
  EXPECT_EQ(paper.Pixel(second.X, second.Y), ColorToRGB(clLime));
  EXPECT_EQ(table.PrintingCell, nullptr);
  // A cell with a colour of its own is not transparent: its colour lies behind.
  table.Cells(0, 0)->Color = clYellow;
  TPixelPaper coloured(doc, 300, 150);
  coloured.data.DrawPage(1, coloured.canvas, false);
  const auto& again = dynamic_cast<const TRDTablePrintInfo&>(*coloured.data.DrawItems[1]);
  auto* document = dynamic_cast<TCellPtblRDData*>(again.FormattingInfo.CellLayout(0, 0, 2));
  EXPECT_EQ(coloured.Pixel(document->Left + document->DrawItems[0]->Left + 10,
                           document->Top + document->DrawItems[0]->Top + 10),
            ColorToRGB(clYellow));
}

// A picture larger than the sheet is drawn through a bitmap of the part the sheet shows,
// not of its whole size (32767 pixels a side took 4.2 GB): that part at its scale.
TEST(PrintBackgrounds, APictureLargerThanTheSheetShowsThePartThatFits) {
  for (int side : {300, 32767}) {
    TTableDocument doc;
    auto halves = Solid(20, 20, clRed);
    halves->Canvas().Brush().SetColor(clBlue);
    halves->Canvas().FillRect(Rect(10, 0, 20, 20));
    auto picture = TRDGraphicItemInfo::CreateWithGraphic(&doc, std::move(halves), rdvaBaseline);
    picture->ImageWidth = picture->ImageHeight = side;
    doc.AddItemAtEnd("", std::move(picture));
    TPixelPaper paper(doc, 200, 150);
    paper.data.DrawPage(1, paper.canvas, false);
    const TRect box = paper.Box(0);
    ASSERT_GE(box.Width(), side);
    EXPECT_EQ(paper.Pixel(box.Left + 2, box.Top + 2), ColorToRGB(clRed)) << side;
    EXPECT_EQ(paper.Pixel(std::min(box.Left + side / 2 - 4, 199), 149), ColorToRGB(clRed)) << side;
    if (side == 300) {
      EXPECT_EQ(paper.Pixel(box.Left + 154, 149), ColorToRGB(clBlue));
    }
  }
}

// The rows of pixels of column x from y0 on that have colour.
std::vector<int> RowsOf(TRasterCanvas& canvas, int x, int y0, int y1, TColor color) {
  std::vector<int> rows;
  for (int y = y0; y <= y1; ++y)
    if (canvas.Pixel(x, y) == ColorToRGB(color)) rows.push_back(y);
  return rows;
}

// Paper at twice the screen's resolution, without margins, laid out and paged on it.
struct TFinePaper : TPaper {
  explicit TFinePaper(TCustomRDData& document, int height = 600) : TPaper(document, 600, height) {
    canvas.PixelsPerInchX = canvas.PixelsPerInchY = 192;
    data.PrepareScaling();
    data.FormatItems(false, true, true, 0, nullptr, false, false, false);
    warnings = Paginate(data);
  }
};

TEST(PrintTableLines, HalftoneBordersGrowAPixelOutOnFinerPaper) {
  TTableDocument doc;
  doc.AddText("Above", 0, 0);
  TRDTableItemInfo& table = doc.AddTable(2, 2, {"a", "b", "c", "d"});
  table.SetBorderWidth(1);
  table.SetBorderStyle(rdtbRaisedColor);
  table.SetBorderLightColor(clRed);
  table.SetBorderColor(clBlue);
  TFinePaper paper(doc);
  paper.Texts(1);
  const TRDDrawLineInfo& line = *paper.data.DrawItems[1];
  const int x = line.Left + line.Width / 2;
  const int top = line.Top, bottom = line.Top + line.Height - 1;
  // Two device pixels a screen pixel, and one more above: the top rows are red, the
  // bottom ones blue, both three rows deep.
  EXPECT_EQ(RowsOf(paper.canvas, x, top - 3, top + 5, clRed),
            (std::vector<int>{top - 1, top, top + 1}));
  EXPECT_EQ(RowsOf(paper.canvas, x, bottom - 5, bottom + 3, clBlue),
            (std::vector<int>{bottom - 2, bottom - 1, bottom}));
  // Without halftone borders: the scaled width alone, inside the box.
  table.PrintOptions = rdtoRowsSplit;
  TFinePaper plain(doc);
  plain.Texts(1);
  EXPECT_EQ(RowsOf(plain.canvas, x, top - 3, top + 5, clRed), (std::vector<int>{top, top + 1}));
  // A colour border grows the same way whatever the options.
  table.SetBorderStyle(rdtbColor);
  TFinePaper colour(doc);
  colour.Texts(1);
  EXPECT_EQ(RowsOf(colour.canvas, x, top - 3, top + 5, clBlue),
            (std::vector<int>{top - 1, top, top + 1}));
  // On paper of the screen's resolution nothing grows.
  table.PrintOptions = rdtoHalftoneBorders | rdtoRowsSplit;
  table.SetBorderStyle(rdtbRaisedColor);
  TPaper screen(doc, 600, 600);
  screen.Texts(1);
  const TRDDrawLineInfo& same = *screen.data.DrawItems[1];
  EXPECT_EQ(RowsOf(screen.canvas, same.Left + same.Width / 2, same.Top - 3, same.Top + 5, clRed),
            (std::vector<int>{same.Top}));
}

TEST(PrintTableLines, OutermostRulesAreDrawnOnEveryPage) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddRowsTable(40);
  table.SetHeadingRowCount(1);
  table.SetHRuleWidth(1);
  table.SetHRuleColor(clGreen);
  table.SetHOutermostRule(true);
  table.SetVRuleWidth(1);
  table.SetVRuleColor(clGreen);
  table.SetVOutermostRule(true);
  TPaper paper(doc, 300, 200);
  ASSERT_GE(paper.data.Pages.Count(), 2);
  const auto& info = dynamic_cast<const TRDTablePrintInfo&>(*paper.data.DrawItems[0]);
  ASSERT_GE(info.PartsList.Count(), 2);
  const TRDTableItemFormattingInfo& f = info.FormattingInfo;
  const int height = info.Part(1)->Height;
  paper.Texts(2);
  // Page 2 starts with the table's second run under the heading: the outermost rules
  // frame it, one pixel in from its edges.
  const int mid = f.Width / 2;
  EXPECT_EQ(paper.canvas.Pixel(mid, 1), ColorToRGB(clGreen));
  EXPECT_EQ(paper.canvas.Pixel(mid, height - 2), ColorToRGB(clGreen));
  EXPECT_EQ(paper.canvas.Pixel(1, height / 2), ColorToRGB(clGreen));
  EXPECT_EQ(paper.canvas.Pixel(f.Width - 2, height / 2), ColorToRGB(clGreen));
  // The rule under the heading stands where it stands on page 1.
  const int half = (table.CellVSpacing() + 1) / 2;
  EXPECT_EQ(paper.canvas.Pixel(mid, f.RowStarts[1] - half), ColorToRGB(clGreen));
}

TEST(PrintTableLines, ACellBeingEditedIsPrintedWithItsEditedText) {
  TTableEdit f(1, 2, {"left", "right"});
  ASSERT_TRUE(f.table->OpenCellEditor(0, 1, false, false, true, false, false));
  // The open editor holds the cell's items; the cell itself is empty meanwhile.
  f.table->InplaceEditor->InplaceData().AddText("typed", 0, 0);
  ASSERT_EQ(f.table->Cells(0, 1)->GetItemCount(), 0);
  TPaper paper(f.data, 400, 300);
  std::string drawn;
  for (const std::string& t : paper.Texts(1)) drawn += t + "\n";
  EXPECT_NE(drawn.find(" left"), std::string::npos) << drawn;
  EXPECT_NE(drawn.find(" right"), std::string::npos) << drawn;
  EXPECT_NE(drawn.find(" typed"), std::string::npos) << drawn;
  // The editor keeps its items.
  EXPECT_EQ(f.table->InplaceEditor->InplaceData().GetItemCount(), 2);
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Tiled, a printed page holds the picture once, as a pattern: a page of 1 x 1 copies (at
// 300 dpi some 900,000 copies of 3 x 3 device pixels, 3.3 MB when each was printed on its
// own) is no larger than a page of 64 x 64 copies.
TEST(PrintBackgrounds, ATiledPictureIsPrintedOnceNotOnceACopy) {
  const auto printedBytes = [](int side) {
    TPictureBackDocument doc;
    doc.SetPicture(clYellow, side);
    doc.AddText("On yellow paper", 0, 0);
    const std::string file = ScratchFolder() + "/tiles_" + std::to_string(side) + ".pdf";
    const TRDPrintResult result = PrintDocumentToPdf(doc, file, TRDPrintSettings{});
    EXPECT_TRUE(result.Ok) << result.Error;
    return std::filesystem::file_size(file);
  };
  EXPECT_LE(printedBytes(1), 4 * printedBytes(64));
}

// --- peer -------------------------------------------------------------------------------------

TEST(PrintBackgroundPeers, ThePagePictureIsPrintedAroundTheText) {
  if (!ProgramAvailable("pdftoppm") || !ProgramAvailable("pdftotext"))
    GTEST_SKIP() << "poppler-utils are not installed";
  TPictureBackDocument doc;
  doc.SetPicture(clYellow);
  doc.style.TextStyles().Items(0).Size = 14;
  doc.AddText("On yellow paper", 0, 0);
  const std::string file = ScratchFolder() + "/background.pdf";
  TRDPrintSettings settings;
  settings.PixelsPerInch = 150;
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, settings);
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_NE(RunAndCapture("pdftotext -layout '" + file + "' -").find("On yellow paper"),
            std::string::npos);
  const std::string picture = ScratchFolder() + "/printed_background";
  RunAndCapture("pdftoppm -f 1 -l 1 -r 30 -png -singlefile '" + file + "' '" + picture + "'");
  TBitmap bitmap;
  ASSERT_TRUE(LoadBitmapFromImageBytes(FileBytes(picture + ".png"), bitmap));
  // Corners and middle are yellow: the picture covers the sheet, margins included.
  // (The renderer may round a channel by one.)
  const auto yellow = [&](int x, int y) {
    const TColor c = ColorToRGB(bitmap.Canvas().Pixels(x, y));
    return (c & 0xFF) >= 250 && ((c >> 8) & 0xFF) >= 250 && ((c >> 16) & 0xFF) <= 5;
  };
  for (auto [x, y] : {std::pair{1, 1}, std::pair{bitmap.Width() - 2, bitmap.Height() - 2},
                      std::pair{bitmap.Width() / 2, bitmap.Height() / 2}})
    EXPECT_TRUE(yellow(x, y)) << x << "," << y;
}

// PDF draws raster operations as plain copies: the clip art as the background of tables
// with no colour under it, centred and tiled, prints red where its mask lets the picture
// through and shows the page elsewhere (black there, alone and tiled).
TEST(PrintBackgroundPeers, ClipArtLetsThePageShowWhereItsMaskDoes) {
  if (!ProgramAvailable("pdftoppm")) GTEST_SKIP() << "poppler-utils are not installed";
  TTableDocument doc;
  const TMetafile clipArt(ClipArtMetafile(), false);
  for (const TRDItemBackgroundStyle style : {rdbsCentered, rdbsTiled}) {
    TRDTableItemInfo& table = doc.AddTable(1, 1);
    table.SetColor(clNone);
    table.SetBorderWidth(0);
    table.SetCellBorderWidth(0);
    table.SetBackgroundImage(&clipArt);
    table.SetBackgroundStyle(style);
  }
  const std::string file = ScratchFolder() + "/clip_art.pdf";
  TRDPrintSettings settings;
  settings.PixelsPerInch = 96;
  const TRDPrintResult result = PrintDocumentToPdf(doc, file, settings);
  ASSERT_TRUE(result.Ok) << result.Error;
  const std::string picture = ScratchFolder() + "/clip_art";
  RunAndCapture("pdftoppm -f 1 -l 1 -r 96 -png -singlefile '" + file + "' '" + picture + "'");
  TBitmap page;
  ASSERT_TRUE(LoadBitmapFromImageBytes(FileBytes(picture + ".png"), page));
  int red = 0, dark = 0;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) {
      const TColor c = ColorToRGB(page.Canvas().Pixels(x, y));
      const int r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF;
      red += r > 200 && g < 60 && b < 60;
      dark += std::max({r, g, b}) < 120;
    }
  EXPECT_GT(red, 1000);  // the centred picture's left half and the tiles' along the table
  EXPECT_EQ(dark, 0);
}

}  // namespace

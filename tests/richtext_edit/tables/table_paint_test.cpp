// Painting tables, checked pixel by pixel on the raster canvas: every border style,
// rules, dotted grid lines while editing (kept inside their cell), the selection colour,
// cells showing the table through, the hatch of a cut-short cell, the border event,
// tables in cells, and plain cells painted as cells with objects.
#include <gtest/gtest.h>

#include "richtext/styles/rd_style.h"
#include "richtext_edit/tables/table_document.h"

namespace {

constexpr TColor kLight = clLime;
constexpr TColor kDark = clRed;

TColor RGB(TColor c) {
  return ColorToRGB(c);
}

// A one-cell table with a 2-pixel border of the given style, laid out and painted at
// (0, 0) on a canvas of its own size.
struct TPainted {
  TTableDocument doc;
  TRDTableItemInfo* table = nullptr;
  std::unique_ptr<TRasterCanvas> canvas;

  explicit TPainted(std::function<void(TRDTableItemInfo&)> setUp, int rows = 1, int cols = 1,
                    bool editing = false) {
    table = &doc.AddTable(rows, cols);
    if (editing) table->State |= rdtsInEditor;
    table->SetBestWidth(100);
    setUp(*table);
    doc.Format();
    Paint();
  }
  void Paint() {
    const TRDTableItemFormattingInfo& info = *table->FormattingInfo;
    canvas = std::make_unique<TRasterCanvas>(info.Width, info.Height, clFuchsia);
    table->PaintTable(*canvas, 0, 0, Rect(0, 0, info.Width, info.Height), 0, 0);
  }
  int W() const { return table->FormattingInfo->Width; }
  int H() const { return table->FormattingInfo->Height; }
  TColor At(int x, int y) const { return canvas->Pixel(x, y); }
};

void ExpectFrame(const TPainted& p, TColor topLeft, TColor bottomRight, const char* name) {
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(p.At(p.W() / 2, i), RGB(topLeft)) << name << " top " << i;
    EXPECT_EQ(p.At(i, p.H() / 2), RGB(topLeft)) << name << " left " << i;
    EXPECT_EQ(p.At(p.W() / 2, p.H() - 1 - i), RGB(bottomRight)) << name << " bottom " << i;
    EXPECT_EQ(p.At(p.W() - 1 - i, p.H() / 2), RGB(bottomRight)) << name << " right " << i;
  }
  // Inside the border band the table's colour shows.
  EXPECT_EQ(p.At(p.W() / 2, 2), RGB(clWindow)) << name;
}

TEST(TablePainting, EveryBorderStyle) {
  auto border = [](TRDTableBorderStyle style) {
    return [style](TRDTableItemInfo& t) {
      t.SetBorderWidth(2);
      t.SetBorderStyle(style);
      t.SetBorderColor(kDark);
      t.SetBorderLightColor(kLight);
    };
  };
  // On a white document the raised border's light edge turns to the face colour.
  ExpectFrame(TPainted(border(rdtbRaised)), clBtnFace, clBtnShadow, "raised");
  ExpectFrame(TPainted(border(rdtbLowered)), clBtnShadow, clBtnFace, "lowered");
  ExpectFrame(TPainted(border(rdtbColor)), kDark, kDark, "colour");
  ExpectFrame(TPainted(border(rdtbRaisedColor)), kLight, kDark, "raised colour");
  ExpectFrame(TPainted(border(rdtbLoweredColor)), kDark, kLight, "lowered colour");
  // The 3-D corners: top and left first, bottom and right over them.
  TPainted raised(border(rdtbRaisedColor));
  EXPECT_EQ(raised.At(0, 0), RGB(kLight));
  EXPECT_EQ(raised.At(raised.W() - 1, 0), RGB(kDark));
  EXPECT_EQ(raised.At(0, raised.H() - 1), RGB(kDark));
}

TEST(TablePainting, HiddenSidesAndOverlappingCorners) {
  TPainted p([](TRDTableItemInfo& t) {
    t.SetBorderWidth(2);
    t.SetBorderStyle(rdtbColor);
    t.SetBorderColor(kDark);
    TRDBooleanRect sides;
    sides.Top = false;
    t.SetVisibleBorders(sides);
  });
  EXPECT_EQ(p.At(p.W() / 2, 0), RGB(clWindow));
  EXPECT_EQ(p.At(0, p.H() / 2), RGB(kDark));
  // Without overlapping corners the inner line of a side stops one pixel short.
  EXPECT_EQ(p.At(1, p.H() - 1), RGB(kDark));
  EXPECT_EQ(p.At(0, p.H() - 2), RGB(kDark));
}

TEST(TablePainting, CellBordersUseTheCellOrTableColours) {
  TPainted p(
      [](TRDTableItemInfo& t) {
        t.SetCellBorderWidth(1);
        t.SetCellBorderStyle(rdtbColor);
        t.SetCellBorderColor(kDark);
        t.Cells(0, 1)->BorderColor = clBlue;
      },
      1, 2);
  const TRDTableCellData& left = *p.table->Cells(0, 0);
  const TRDTableCellData& right = *p.table->Cells(0, 1);
  EXPECT_EQ(p.At(left.Left() - 1, left.Top + 3), RGB(kDark));
  EXPECT_EQ(p.At(right.Left() - 1, right.Top + 3), RGB(clBlue));
  EXPECT_EQ(p.At(right.Left() + right.Width, right.Top + 3), RGB(clBlue));
}

TEST(TablePainting, DottedLinesStayInside) {
  TRasterCanvas canvas(20, 3, clWhite);
  canvas.BrushColor = clBlack;
  DrawDottedHLine(canvas, 0, 10, 1);
  std::string dots;
  for (int x = 0; x < 20; ++x) dots += canvas.Pixel(x, 1) == RGB(clBlack) ? 'x' : '.';
  EXPECT_EQ(dots, "x.x.x...x.x.........");
  TRasterCanvas column(3, 20, clWhite);
  column.BrushColor = clBlack;
  DrawDottedVLine(column, 1, 2, 7);
  EXPECT_EQ(column.CountPixels(RGB(clBlack)), 3);
  EXPECT_EQ(column.Pixel(1, 6), RGB(clBlack));
}

// A raster canvas that counts what is filled.
class TCountingCanvas : public TRasterCanvas {
 public:
  using TRasterCanvas::TRasterCanvas;
  void FillRect(const TRect& rect) override {
    ++fills;
    TRasterCanvas::FillRect(rect);
  }
  int fills = 0;
};

// The grid lines of a box far larger than what is shown cost what is shown: the dots
// inside the clip rectangle, in the places the whole line has them.
TEST(TablePainting, GridLinesCostTheClipNotTheBox) {
  TPainted p([](TRDTableItemInfo&) {}, 1, 1, true);
  for (const int far : {1000000, 2000000000}) {
    TCountingCanvas canvas(60, 40, clWhite);
    p.table->DrawBorder(canvas, -far, -far, far, far, 0, clNone, clNone, clWhite, rdtbColor, true,
                        false, Rect(3, 3, 43, 23), nullptr, 0, 0, 0);
    ASSERT_EQ(canvas.fills, 0) << far;  // the box's lines lie outside the clip
    p.table->DrawBorder(canvas, 5 - 8 * 1000, 5, far, far, 0, clNone, clNone, clWhite, rdtbColor,
                        true, false, Rect(3, 3, 43, 23), nullptr, 0, 0, 0);
    ASSERT_LE(canvas.fills, 2 * 3 * 48 / 8 + 6) << far;
    // The top line's dots stand where they would without the clip: in groups from x = 5.
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(clBtnFace));
    EXPECT_EQ(canvas.Pixel(6, 5), RGB(clWhite));
    EXPECT_EQ(canvas.Pixel(13, 5), RGB(clBtnFace));
    EXPECT_EQ(canvas.Pixel(12, 5), RGB(clWhite));
  }
}

TEST(TablePainting, GridLinesOnlyWhileEditing) {
  TPainted editing([](TRDTableItemInfo&) {}, 1, 2, true);
  const TRDTableCellData& cell = *editing.table->Cells(0, 1);
  EXPECT_EQ(editing.At(cell.Left(), cell.Top), RGB(clBtnFace));
  EXPECT_EQ(editing.At(cell.Left() + 1, cell.Top), RGB(clWindow));
  EXPECT_EQ(editing.At(cell.Left() + 2, cell.Top), RGB(clBtnFace));
  // The grid line ends at the cell's last pixel.
  const int right = cell.Left() + cell.Width - 1;
  EXPECT_EQ(editing.At(right + 1, cell.Top), RGB(clWindow));
  EXPECT_EQ(editing.At(right, cell.Top + 4), RGB(clBtnFace));
  // With hidden grid lines, or outside an editor, there are none.
  TPainted viewer([](TRDTableItemInfo&) {}, 1, 2);
  EXPECT_EQ(viewer.canvas->CountPixels(RGB(clBtnFace)), 0);
  TPainted hidden([](TRDTableItemInfo& t) { t.Options |= rdtoHideGridLines; }, 1, 2, true);
  EXPECT_EQ(hidden.canvas->CountPixels(RGB(clBtnFace)), 0);
}

TEST(TablePainting, SelectedCellsAndTransparentCells) {
  TPainted p(
      [](TRDTableItemInfo& t) {
        t.SetColor(clYellow);
        t.Cells(0, 1)->Color = clAqua;
        t.State |= rdtsCellsSelected;
        t.SelStartRow = 0;
        t.SelStartCol = 0;
      },
      1, 3);
  auto inside = [&](int col) {
    const TRDTableCellData& cell = *p.table->Cells(0, col);
    return p.At(cell.Left() + cell.Width - 2, cell.Top + cell.Height - 2);
  };
  // Not focused: the inactive selection colour.
  EXPECT_EQ(inside(0), RGB(p.doc.style.InactiveSelColor));
  EXPECT_EQ(inside(1), RGB(clAqua));
  EXPECT_EQ(inside(2), RGB(clYellow));
}

TEST(TablePainting, CellBackgroundUnderItsBorderAndHatch) {
  auto setUp = [](TRDTableItemInfo& t) {
    t.SetCellBorderWidth(2);
    t.SetCellBorderStyle(rdtbColor);
    t.SetCellBorderColor(clNone);
    t.Cells(0, 0)->Color = clBlue;
  };
  TPainted plain(setUp);
  TPainted below([&](TRDTableItemInfo& t) {
    setUp(t);
    t.Options |= rdtoCellBelowBorders;
  });
  const TRDTableCellData& cell = *below.table->Cells(0, 0);
  EXPECT_EQ(plain.At(cell.Left() - 1, cell.Top + 3), RGB(clWindow));
  EXPECT_EQ(below.At(cell.Left() - 1, cell.Top + 3), RGB(clBlue));
  // A cut-short cell: forward diagonals every 8 pixels in the cell border colour.
  TPainted hatched([](TRDTableItemInfo& t) { t.Cells(0, 0)->Color = clBlue; });
  const TRDTableCellData& cut = *hatched.table->Cells(0, 0);
  hatched.table->HatchedCell = &cut;
  hatched.Paint();
  EXPECT_EQ(hatched.At(cut.Left(), cut.Top), RGB(clWindowText));
  EXPECT_EQ(hatched.At(cut.Left() + 1, cut.Top), RGB(clWindow));
  EXPECT_EQ(hatched.At(cut.Left() + 8, cut.Top), RGB(clWindowText));
  EXPECT_EQ(hatched.At(cut.Left() + 7, cut.Top + 1), RGB(clWindowText));
}

TEST(TablePainting, RulesAndTheBorderEvent) {
  TPainted p(
      [](TRDTableItemInfo& t) {
        t.SetVRuleWidth(1);
        t.SetVRuleColor(clRed);
        t.SetHRuleWidth(1);
        t.SetHRuleColor(clGreen);
        t.SetBorderWidth(1);
        t.SetBorderStyle(rdtbColor);
        t.SetBorderColor(clBlue);
        t.OnDrawBorder = [](TRDTableItemInfo*, TRDCanvas&, int, int, int, int, int, TColor, TColor,
                            TColor, TRDTableBorderStyle, bool, const TRDBooleanRect*, int row, int,
                            bool& doDefault) { doDefault = row >= 0; };
      },
      2, 2);
  const TRDTableItemFormattingInfo& info = *p.table->FormattingInfo;
  EXPECT_EQ(p.At(info.ColStarts[1] - 1, info.RowStarts[0] + 3), RGB(clRed));
  EXPECT_EQ(p.At(info.ColStarts[0] + 3, info.RowStarts[1] - 1), RGB(clGreen));
  // The table's own border was declined by the event.
  EXPECT_EQ(p.canvas->CountPixels(RGB(clBlue)), 0);
}

TEST(TablePainting, TheDocumentPaintsItsTable) {
  TTableDocument doc(210, 100);
  TRDTableItemInfo& table = doc.AddTable(1, 1, {"ab"});
  table.SetColor(clYellow);
  doc.Format();
  doc.canvas = TRasterCanvas(210, 100, clFuchsia);
  doc.PaintTo(doc.canvas, Rect(0, 0, 210, 100));
  const TRDTableCellData& cell = *table.Cells(0, 0);
  // The table stands inside the margins of 5; its cell's text starts after the padding.
  EXPECT_EQ(doc.canvas.Pixel(5, 6), RGB(clYellow));
  EXPECT_EQ(doc.canvas.Pixel(4, 6), RGB(clFuchsia));
  EXPECT_EQ(doc.canvas.Pixel(5, 4), RGB(clFuchsia));
  const int textX = 5 + cell.Left() + 1, textY = 5 + cell.Top + 1 + cell.GetExtraVOffs();
  EXPECT_EQ(doc.canvas.Pixel(textX + 1, textY + 1), RGB(clBlack));
  EXPECT_EQ(doc.canvas.Pixel(textX + 12 + 1, textY + 1), RGB(clYellow));
}

TEST(TablePainting, TablesInCellsShowTheirOwnColour) {
  TTableDocument doc(310, 100);
  TRDTableItemInfo& outer = doc.AddTable(1, 2);
  outer.SetColor(clYellow);
  outer.Cells(0, 0)->Color = clAqua;
  // Both inner tables have the outer table's colour: over the aqua cell it must be
  // painted, over the other it is there already.
  for (int c = 0; c < 2; ++c) {
    TRDTableCellData& cell = *outer.Cells(0, c);
    cell.Clear();
    auto inner = std::make_unique<TRDTableItemInfo>(1, 1, &cell);
    inner->SetColor(clYellow);
    cell.AddItemAtEnd("", std::move(inner));
  }
  doc.Format();
  doc.canvas = TRasterCanvas(310, 100, clFuchsia);
  doc.PaintTo(doc.canvas, Rect(0, 0, 310, 100));
  for (int c = 0; c < 2; ++c) {
    const TRDTableCellData& cell = *outer.Cells(0, c);
    EXPECT_EQ(doc.canvas.Pixel(5 + cell.Left() + cell.Width / 2, 5 + cell.Top + cell.Height / 2),
              RGB(clYellow))
        << c;
  }
}

// Plain cells (no object of their own) of columns of three widths, with special
// characters shown and a centred or right-aligned paragraph: each paragraph mark stands
// where it stands once the same cells have objects.
TEST(TablePainting, PlainCellsPaintAsCellsWithObjects) {
  for (const TRDAlignment alignment : {rdaCenter, rdaRight}) {
    TTableDocument doc(400, 100);
    doc.SetOptions(doc.GetOptions() | rdoShowSpecialCharacters);
    doc.style.ParaStyles().Items(0).Alignment = alignment;
    TRDTableItemInfo& table =
        doc.AddTable(2, 3, {"", "", "", "a", "abcdefghijklmnopqrst", "abcdefghij"});
    ASSERT_TRUE(table.Rows->IsPlain(0, 1));
    const auto painted = [&] {
      doc.Format();
      doc.canvas = TRasterCanvas(400, 100, clFuchsia);
      doc.PaintTo(doc.canvas, Rect(0, 0, 400, 100));
      return doc.canvas;
    };
    const TRasterCanvas plain = painted();
    for (int c = 0; c < 3; ++c) table.Cells(0, c);
    ASSERT_FALSE(table.Rows->IsPlain(0, 1));
    const TRasterCanvas objects = painted();
    int differ = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 400; ++x) differ += plain.Pixel(x, y) != objects.Pixel(x, y);
    EXPECT_EQ(differ, 0) << int(alignment);
  }
}

}  // namespace

// Links in table cells of a viewer: clicked or pointed at, they fire the viewer's events
// with jump numbers that run on in document order through the cells. And the cells break
// words at the viewer's delimiters.
#include <gtest/gtest.h>

#include <vector>

#include "platform/test_support/gui_test_support.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/tables/table_item.h"

namespace {

constexpr int kJumpStyle = 4;

struct TViewerWithTable {
  TViewerWithTable() : doc(nullptr) {
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 400, 300);
    doc.SetBorderStyle(bsNone);
    doc.AddTextParagraph("go", kJumpStyle, 0);
    auto made = std::make_unique<TRDTableItemInfo>(1, 2, &doc.RDData());
    table = made.get();
    Link(0, 0, {"a"});
    Link(0, 1, {"b", "c"});
    doc.RDData().AddItemAtEnd("", std::move(made));
    doc.AddTextParagraph("end", kJumpStyle, 0);
    doc.FormatDocument();
    doc.OnJump = [this](TCustomRichDoc*, int id) { jumps.push_back(id); };
    doc.OnRDMouseMove = [this](TCustomRichDoc*, int id) { hovers.push_back(id); };
  }
  // Each text a link paragraph of the cell.
  void Link(int row, int col, std::initializer_list<const char*> texts) {
    TRDTableCellData& cell = *table->Cells(row, col);
    cell.Clear();
    for (const char* text : texts) cell.AddText(text, kJumpStyle, 0);
  }
  // The middle of a cell's draw item, in the viewer's client coordinates.
  TPoint InCell(int row, int col, int drawItemNo) {
    int left = 0, top = 0;
    doc.RDData().GetItemCoords(1, left, top);
    const TRDTableCellData& cell = *table->Cells(row, col);
    const TRDDrawLineInfo& line = *cell.DrawItems[drawItemNo];
    const int pad = table->CellPadding();
    return Point(left + cell.Left + pad + line.Left + line.Width / 2,
                 top + cell.Top + pad + cell.GetExtraVOffs() + line.Top + line.Height / 2);
  }
  TPoint OnRootItem(int itemNo) {
    const TRDDrawLineInfo& line = *doc.RDData().DrawItems[doc.RDData().GetItem(itemNo)->DrawItemNo];
    return Point(line.Left + line.Width / 2, line.Top + line.Height / 2);
  }
  void Click(TPoint at) { SimulateClick(doc, at.X, at.Y); }

  TRDStyle style;
  TRichDoc doc;
  TRDTableItemInfo* table = nullptr;
  std::vector<int> jumps, hovers;
};

}  // namespace

TEST(TableJumps, CellLinksJumpWithNumbersRunningOnThroughTheDocument) {
  TViewerWithTable v;
  v.Click(v.OnRootItem(0));
  v.Click(v.InCell(0, 0, 0));
  v.Click(v.InCell(0, 1, 1));
  v.Click(v.InCell(0, 1, 0));
  v.Click(v.OnRootItem(2));
  EXPECT_EQ(v.jumps, (std::vector<int>{0, 1, 3, 2, 4}));
  // Pointing at a cell's link names it the same way.
  const TPoint b = v.InCell(0, 1, 0);
  SimulateMouseMove(v.doc, b.X, b.Y);
  ASSERT_FALSE(v.hovers.empty());
  EXPECT_EQ(v.hovers.back(), 2);

  // The numbers follow a new layout: the document's first number moves them all.
  v.jumps.clear();
  v.doc.RDData().FirstJumpNo = 10;
  v.doc.FormatDocument();
  v.Click(v.InCell(0, 1, 1));
  v.Click(v.OnRootItem(2));
  EXPECT_EQ(v.jumps, (std::vector<int>{13, 14}));
}

namespace {

// A cell breaks words where its viewer does, not at the component's default characters.
TEST(TableCellWords, ACellTakesItsViewersDelimiters) {
  TViewerWithTable v;
  TRDTableCellData& cell = *v.table->Cells(0, 0);
  EXPECT_TRUE(cell.IsDelimiter(u'.'));
  v.doc.Delimiters = " #";
  EXPECT_FALSE(cell.IsDelimiter(u'.'));
  EXPECT_TRUE(cell.IsDelimiter(u'#'));
}

}  // namespace

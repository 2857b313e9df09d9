// Links in table cells of a viewer: clicked or pointed at, they fire the viewer's events
// with jump numbers that run on in document order through the cells. And the cells break
// words at the viewer's delimiters; a viewer's or an editor's selection reaches into them.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/standard/clipboard.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/base/code_pages.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"
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
    return Point(left + cell.Left() + pad + line.Left + line.Width / 2,
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

// The viewer's one selection, read and set as linear positions, is where it is: in the
// document or in a cell, chosen there by the mouse or by position, or cells selected whole.
TEST(TableCellSelection, TheLinearSelectionReachesIntoTheCells) {
  TViewerWithTable v;
  // "go", the table and its cells "a" and "b", "c", "end": a line's start and a cell's
  // end count one each.
  ASSERT_EQ(v.doc.GetTextRange(0, -1), WideStringToRawUnicode(u"go\r\ra\r\rb\rc\r\rend"));
  int start = -1, end = -1;
  const auto selection = [&] {
    v.doc.GetLinearSelection(start, end);
    return std::to_string(start) + ".." + std::to_string(end) + " " + v.doc.GetSelText();
  };
  TRDTableCellData& a = *v.table->Cells(0, 0);
  v.doc.SetLinearSelection(0, 1);
  EXPECT_EQ(selection(), "0..1 g");
  // Into a cell: the document's selection gives way.
  v.doc.SetLinearSelection(4, 5);
  EXPECT_EQ(selection(), "4..5 a");
  EXPECT_FALSE(v.doc.HasSelection());
  v.doc.CopySelection();
  EXPECT_EQ(Clipboard().GetAsBytes(CF_UNICODETEXT).substr(0, 2), std::string("a\0", 2));
  // Back into the document: the cell's goes.
  v.doc.SetLinearSelection(14, 12);
  EXPECT_EQ(selection(), "12..14 en");
  EXPECT_FALSE(a.HasSelection());
  // Selected with the mouse in the other cell.
  v.doc.SetLinearSelection(4, 5);
  const TPoint at = v.InCell(0, 1, 0);
  SimulateMouseDown(v.doc, mbLeft, at.X - 3, at.Y);
  SimulateMouseMove(v.doc, at.X + 3, at.Y, ssLeft);
  SimulateMouseUp(v.doc, mbLeft, at.X + 3, at.Y);
  EXPECT_EQ(selection(), "7..8 b");
  EXPECT_FALSE(a.HasSelection());
  EXPECT_FALSE(v.doc.HasSelection());
  // A cell selected whole runs from its start to its end.
  v.table->SelectCols(1, 1);
  EXPECT_EQ(selection(), "7..10 b\r\nc");
}

// In an editor a selection inside a cell opens the cell's editor, which then holds it and
// the cell's text; one outside closes it.
TEST(TableCellSelection, AnEditorsLinearSelectionOpensAndClosesTheCellEditor) {
  TTableEdit f(1, 2, {"abc", "def"});
  const std::string text = WideStringToRawUnicode(u"before\r\rabc\r\rdef\r\rafter");
  ASSERT_EQ(f.edit.GetTextRange(0, -1), text);
  int start = -1, end = -1;
  f.edit.SetLinearSelection(8, 10);
  SettleEditors(f.edit);
  ASSERT_NE(f.table->InplaceEditor, nullptr);
  f.edit.GetLinearSelection(start, end);
  EXPECT_EQ(start, 8);
  EXPECT_EQ(end, 10);
  EXPECT_EQ(f.edit.GetSelText(), "ab");
  EXPECT_EQ(f.edit.GetTextRange(0, -1), text);
  f.edit.SetLinearSelection(1, 3);
  SettleEditors(f.edit);
  EXPECT_EQ(f.table->InplaceEditor, nullptr);
  f.edit.GetLinearSelection(start, end);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 3);
  EXPECT_EQ(f.edit.GetSelText(), "ef");
}

// A table inside a cell: a selection in one of its cells is read, as text and copied,
// in a viewer and in an editor, however deep the cell lies.
TEST(TableCellSelection, TheSelectionInANestedCellIsReadAndCopied) {
  const auto nest = [](TCustomRDData& outer) {
    auto made = std::make_unique<TRDTableItemInfo>(1, 1, &outer);
    TRDTableCellData& cell = *made->Cells(0, 0);
    cell.Clear();
    cell.AddText("n1", 0, 0);
    auto inner = std::make_unique<TRDTableItemInfo>(1, 2, &cell);
    TTableDocument::SetCellText(*inner, 0, 0, "n2");
    TTableDocument::SetCellText(*inner, 0, 1, "n3");
    cell.AddItemAtEnd("", std::move(inner));
    outer.AddItemAtEnd("", std::move(made));
  };
  // "go", the outer table, its cell "n1", the inner table, "n2", "n3", "end".
  const std::string text = WideStringToRawUnicode(u"go\r\rn1\r\rn2\r\rn3\r\r\rend");
  const auto check = [&](TCustomRichDoc& doc, const char* name) {
    SCOPED_TRACE(name);
    ASSERT_EQ(doc.GetTextRange(0, -1), text);
    doc.SetLinearSelection(8, 10);
    if (auto* edit = dynamic_cast<TCustomRichDocEdit*>(&doc)) SettleEditors(*edit);
    int start = -1, end = -1;
    doc.GetLinearSelection(start, end);
    EXPECT_EQ(start, 8);
    EXPECT_EQ(end, 10);
    EXPECT_EQ(doc.GetSelText(), "n2");
    Clipboard().Clear();
    doc.CopySelection();
    EXPECT_EQ(Clipboard().GetAsBytes(CF_UNICODETEXT).substr(0, 4), std::string("n\0002\0", 4));
  };
  TRDStyle style;
  TRichDoc viewer(nullptr);
  viewer.SetStyle(&style);
  viewer.SetBounds(0, 0, 400, 300);
  viewer.AddTextParagraph("go", 0, 0);
  nest(viewer.RDData());
  viewer.AddTextParagraph("end", 0, 0);
  viewer.FormatDocument();
  check(viewer, "viewer");
  TEditFixture f;
  f.AddPara({{"go", 0}});
  nest(f.data);
  f.AddPara({{"end", 0}});
  f.Format();
  check(f.edit, "editor");
}

}  // namespace

// The cell editor stays over its cell while the editor around the table scrolls, lays
// its document out for a new width, or the table's padding changes; the editor reaches
// the end of a document whose table passes the height bound, and every column of a table
// wider than the window.
#include <gtest/gtest.h>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/layout/format_params.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "support/control_snapshot.h"

namespace {

struct TTallDocument : TTableEdit {
  TTallDocument() : TTableEdit(2, 2, {"a", "b", "c", "d"}) {
    for (int i = 0; i < 60; ++i) AddPara({{"line " + std::to_string(i), 0}});
    Format();
  }
  // The editor lies exactly over the edited cell.
  void ExpectOverCell(const char* when) {
    TRDTableInplaceEdit* editor = table->InplaceEditor;
    ASSERT_NE(editor, nullptr) << when;
    const TRDTableCellData& cell = *table->Cells(editor->Row(), editor->Col());
    const TPoint at = ClientOfTable(cell.Left(), cell.Top);
    EXPECT_EQ(editor->Left(), at.X) << when;
    EXPECT_EQ(editor->Top(), at.Y) << when;
    EXPECT_EQ(editor->Width(), cell.Width) << when;
    EXPECT_EQ(editor->Height(), cell.Height) << when;
  }
};

}  // namespace

TEST(TableEditorBounds, TheEditorFollowsItsCellWhenTheDocumentScrollsOrIsLaidOutAgain) {
  TTallDocument f;
  ASSERT_TRUE(f.table->OpenCellEditor(1, 1, false, false, true, false, false));
  f.ExpectOverCell("opened");
  // Scrolling by keys in the editor around the table and by its scroll bar.
  ASSERT_GT(f.edit.GetVScrollMax(), 2);
  f.edit.ScrollTo(2, true);
  f.ExpectOverCell("scrolled down");
  f.edit.ScrollTo(0, true);
  f.ExpectOverCell("scrolled back");
  // A narrower window: the table is laid out again and the cell moves.
  const int oldLeft = f.table->Cells(1, 1)->Left();
  f.edit.SetBounds(0, 0, 250, 300);
  f.Format();
  ASSERT_NE(f.table->Cells(1, 1)->Left(), oldLeft);
  f.ExpectOverCell("narrower");
  // More padding: the editor keeps the cell's content where the cell shows it.
  f.table->SetCellPadding(6);
  f.Format();
  f.ExpectOverCell("padded");
  EXPECT_EQ(f.table->InplaceEditor->LeftMargin, 6);
  EXPECT_EQ(f.table->InplaceEditor->TopMargin, 6);
  // Typing still goes to the cell.
  SimulateKey(*f.table->InplaceEditor, TKeyCode('X'), "x");
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b] / [c],[dx]");
}

TEST(TableEditorBounds, AnEditorTallerThanTheLimitIsCutThereAndScrolls) {
  TTableEdit f(2, 1, {"a", "b"});
  TRDTableCellData& tall = *f.table->Cells(0, 0);
  for (int i = 0; i < 1100; ++i) tall.AddText("line", 0, 0);
  f.table->MarkChanged();
  f.Format();
  ASSERT_GT(tall.Height, 10000);
  ASSERT_TRUE(f.table->OpenCellEditor(0, 0, false, false, false, true, false));
  EXPECT_EQ(f.table->InplaceEditor->Height(), 10000);
  EXPECT_TRUE(f.table->InplaceEditor->VScrollVisible());
  // The bar stands beside the cell: the lines keep the cell's width.
  EXPECT_EQ(f.table->InplaceEditor->DocClientWidth(), tall.Width);
  EXPECT_EQ(f.table->HatchedCell, &tall);
  // The short cell below it is not cut.
  ASSERT_TRUE(f.table->OpenCellEditor(1, 0, false, false, false, true, false));
  EXPECT_EQ(f.table->InplaceEditor->Height(), f.table->Cells(1, 0)->Height);
  EXPECT_FALSE(f.table->InplaceEditor->VScrollVisible());
  EXPECT_EQ(f.table->HatchedCell, nullptr);
  f.edit.CloseInplaceEditor();
}

TEST(TableEditorBounds, TheBarOfATallCellInTheLastColumnStaysInTheView) {
  TTableEdit f(1, 2, {"a", "b"});
  f.table->SetBestWidth(-100);
  TRDTableCellData& tall = *f.table->Cells(0, 1);
  for (int i = 0; i < 1100; ++i) tall.AddText("line", 0, 0);
  f.table->MarkChanged();
  f.Format();
  ASSERT_GT(tall.Height, 10000);
  ASSERT_TRUE(f.table->OpenCellEditor(0, 1, false, false, false, true, false));
  const TRDTableInplaceEdit& editor = *f.table->InplaceEditor;
  ASSERT_TRUE(editor.VScrollVisible());
  EXPECT_LE(editor.Left() + editor.Width(), f.edit.DocumentRect().Right);
  // Left of the cell: the lines keep the cell's width and start where the cell does.
  EXPECT_EQ(editor.DocClientWidth(), tall.Width);
  EXPECT_EQ(editor.Left() + editor.DocumentRect().Left, f.ClientOfTable(tall.Left(), 0).X);
  // The cell left of it keeps its bar-less editor over it.
  ASSERT_TRUE(f.table->OpenCellEditor(0, 0, false, false, false, true, false));
  EXPECT_EQ(f.table->InplaceEditor->Left(), f.ClientOfTable(f.table->Cells(0, 0)->Left(), 0).X);
  EXPECT_EQ(f.table->InplaceEditor->DocumentRect().Left, 0);
  f.edit.CloseInplaceEditor();
}

// A table taller than a document may be (5,000 rows of pictures as high as a picture may
// be) has the text after it laid at the bound: Ctrl+End brings the caret there into
// view, and what is typed there shows.
TEST(TableEditorBounds, TheEndPastTheHeightBoundIsReachedAndTypedAt) {
  TEditFixture f;
  f.AddPara({{"before", 0}});
  auto table = std::make_unique<TRDTableItemInfo>(5000, 1, &f.data);
  for (int r = 0; r < 5000; ++r) {
    TRDTableCellData& cell = *table->Cells(r, 0);
    cell.Clear();
    for (int i = 0; i < 5; ++i) {
      auto picture =
          TRDGraphicItemInfo::CreateWithGraphic(&cell, SolidPicture(4, 4, clRed), rdvaBaseline);
      ReadRDFExtraProperty(*picture, "height=2147483647");
      cell.AddItemAtEnd("", std::move(picture));
    }
  }
  f.data.AddItemAtEnd("", std::move(table));
  f.AddPara({{"after", 0}});
  f.edit.SetBounds(0, 0, 400, 300);
  f.Format();
  ASSERT_GT(f.data.DocumentHeight, kMaxLayoutHeight);
  SimulateKey(f.edit, VK_END, {}, ssCtrl);
  auto before = Snapshot(f.edit);
  SimulateKey(f.edit, TKeyCode('Z'), "Z");
  SimulateKey(f.edit, TKeyCode('Z'), "Z");
  EXPECT_EQ(f.data.GetItemTextRaw(2), "afterZZ");
  TRect caret;
  ASSERT_TRUE(f.data.GetCaretRect(caret));
  const TRect area = f.edit.DocumentRect();
  EXPECT_GE(caret.Top, 0);
  EXPECT_LE(caret.Bottom, area.Height());
  auto after = Snapshot(f.edit);
  int changed = 0;
  for (int y = std::max(0, caret.Top); y < std::min(area.Height(), caret.Bottom); ++y)
    for (int x = 0; x < area.Width(); ++x)
      changed += PixelAt(*after, area.Left + x, area.Top + y) !=
                 PixelAt(*before, area.Left + x, area.Top + y);
  EXPECT_GT(changed, 0);
}

namespace {

// A table wider than the window: the document is as wide as the table, the scroll bar
// reaches its right edge, and the cell at (row, col), off screen to the right, shows once
// the caret is moved into it with Tab from the cell before it and typed at.
void ExpectEveryColumnInReach(TTableEdit& f, TRDTableItemInfo& table, int row, int col,
                              const char* what) {
  SCOPED_TRACE(what);
  const TRect area = f.edit.DocumentRect();
  int left = 0, top = 0;
  f.data.GetItemCoords(f.data.GetItemNo(&table), left, top);
  const int right = left + table.GetWidth();
  ASSERT_GT(right, area.Width());
  EXPECT_GE(f.edit.ScrollWidth(), right);
  f.edit.HScrollTo(f.edit.ScrollWidth());
  EXPECT_GE(f.edit.HScrollPos() + area.Width(), right);
  f.edit.HScrollTo(0);
  const TRDTableCellData& target = *table.Cells(row, col);
  ASSERT_GT(left + target.Left(), area.Width());
  ASSERT_TRUE(table.OpenCellEditor(row, col - 1, false, false, false, true, false));
  SimulateKey(*table.InplaceEditor, VK_TAB);
  SettleEditors(f.edit);
  ASSERT_NE(table.InplaceEditor, nullptr);
  ASSERT_EQ(table.InplaceEditor->Col(), col);
  SimulateKey(*table.InplaceEditor, TKeyCode('Q'), "Q");
  SimulateKey(*table.InplaceEditor, TKeyCode('Q'), "Q");
  SettleEditors(f.edit);
  TRDTableInplaceEdit& editor = *table.InplaceEditor;
  EXPECT_EQ(editor.Col(), col);
  TRect caret;
  ASSERT_TRUE(editor.EditData().GetCaretRect(caret));
  const int x = editor.Left() + editor.DocumentRect().Left + caret.Left;
  EXPECT_GE(x, area.Left);
  EXPECT_LE(x + caret.Width(), area.Right);
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(TTableDocument::CellText(*table.Cells(row, col)).substr(0, 2), "QQ");
}

}  // namespace

// Fourteen columns of one long word each, one cell holding a word of 400 letters, and
// sixteen tables nested in each other's first cell, each in an editor narrower than it.
TEST(TableEditorBounds, EveryColumnOfATableWiderThanTheWindowIsInReach) {
  {
    std::vector<std::string> texts;
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 14; ++c)
        texts.push_back("Empfangsstation" + std::to_string(r) + std::to_string(c % 10));
    TTableEdit f(2, 14, texts);
    f.edit.SetBounds(0, 0, 600, 300);
    f.Format();
    ExpectEveryColumnInReach(f, *f.table, 1, 13, "14 columns");
  }
  {
    TTableEdit f(1, 2, {std::string(400, 'w'), "x"});
    f.edit.SetBounds(0, 0, 600, 300);
    f.Format();
    ExpectEveryColumnInReach(f, *f.table, 0, 1, "a long word");
  }
  {
    TTableEdit f(1, 2, {"", "Empfangsstation"});
    TRDTableCellData* into = f.table->Cells(0, 0);
    for (int level = 1; level < 16; ++level) {
      auto nested = std::make_unique<TRDTableItemInfo>(1, 2, into);
      TTableDocument::SetCellText(*nested, 0, 1, "Empfangsstation");
      TRDTableCellData* next = nested->Cells(0, 0);
      into->Clear();
      into->AddItemAtEnd("", std::move(nested));
      into = next;
    }
    f.table->MarkChanged();
    f.edit.SetBounds(0, 0, 600, 300);
    f.Format();
    ExpectEveryColumnInReach(f, *f.table, 0, 1, "16 nested tables");
  }
}

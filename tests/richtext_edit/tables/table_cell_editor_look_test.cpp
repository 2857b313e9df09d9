// How the cell editor looks over its cell and where it scrolls: a cell without a colour
// of its own shows the table's picture, its own picture or the document around the table
// behind its text; the editor never scrolls sideways, scrolls up and down only when it is
// cut short, and otherwise shows its caret by scrolling the document around the table.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/sys/pump.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "support/control_snapshot.h"
#include "support/scratch_files.h"

namespace {

constexpr TColor kTablePicture = 0x00A000;
constexpr TColor kTableStripe = 0xA0A000;
constexpr TColor kCellPicture = 0x0000C0;
constexpr TColor kPagePicture = 0xC08000;
constexpr TColor kCellColor = 0x80FFFF;

struct TCellLook : TTableEdit {
  using TTableEdit::TTableEdit;
  TRDTableInplaceEdit* Editor() { return table->InplaceEditor; }
  void Open(int row, int col) {
    ASSERT_TRUE(table->OpenCellEditor(row, col, false, false, true, false, false));
  }
  // What the outer editor shows near the bottom-right corner of the open editor, away
  // from the text.
  TColor BehindText() { return BehindText(Editor()->Width() - 3); }
  TColor BehindText(int x) {
    auto shot = Snapshot(edit);
    const TRDTableInplaceEdit& e = *Editor();
    return PixelAt(*shot, e.Left() + x, e.Top() + e.Height() - 2);
  }
};

}  // namespace

TEST(TableCellEditorLook, WhatLiesBehindACellShowsBehindItsEditor) {
  TCellLook f(2, 3, {"Call", "Heard", "Via", "DL1ABC", "12:03", "WIDE1-1"});
  f.table->SetCellBorderWidth(1);
  f.table->SetBorderWidth(1);
  // Stripes 4 pixels wide, tiled from the table's left edge.
  auto tablePicture = SolidPicture(8, 8, kTablePicture);
  tablePicture->Canvas().Brush().SetColor(kTableStripe);
  tablePicture->Canvas().FillRect(Rect(4, 0, 8, 8));
  f.table->SetBackgroundImage(tablePicture.get());
  f.table->SetBackgroundStyle(rdbsTiled);
  auto cellPicture = SolidPicture(6, 6, kCellPicture);
  f.table->Cells(1, 1)->SetBackgroundImage(cellPicture.get());
  f.table->Cells(1, 1)->SetBackgroundStyle(rdbsTiled);
  f.table->Cells(0, 2)->Color = kCellColor;
  f.data.UndoList->Clear();
  f.Format();

  // The table's picture, where it lies in the table.
  f.Open(1, 0);
  const int left = f.table->Cells(1, 0)->Left();
  for (int x = 2; x < 10; ++x)
    EXPECT_EQ(f.BehindText(x), (left + x) % 8 < 4 ? kTablePicture : kTableStripe) << x;
  // Typed into, for a look: the stripes run on behind the text.
  for (char c : std::string(" via DB0ABC"))
    SimulateKey(*f.Editor(), TKeyCode(std::toupper(static_cast<unsigned char>(c))),
                std::string(1, c));
  Snapshot(f.edit)->SaveToFile(PictureFolder("table_cell_editor") + "background.bmp");
  // The cell's own picture over the table's.
  f.Open(1, 1);
  EXPECT_EQ(f.BehindText(), kCellPicture);
  // A cell with a colour of its own shows its colour.
  f.Open(0, 2);
  EXPECT_EQ(f.BehindText(), kCellColor);

  // Among selected cells the editor shows the selection colour instead of any picture.
  f.Open(1, 1);
  f.Editor()->SetSelectedLook(true);
  EXPECT_EQ(f.BehindText(), ColorToRGB(f.style.SelColor));
  f.Editor()->SetSelectedLook(false);
  EXPECT_EQ(f.BehindText(), kCellPicture);
}

TEST(TableCellEditorLook, ATransparentCellShowsTheDocumentAroundTheTable) {
  TCellLook f(1, 2, {"a", "b"});
  auto page = SolidPicture(10, 10, kPagePicture);
  f.edit.SetBackgroundBitmap(page.get());
  f.edit.SetBackgroundStyle(bsTiled);
  f.table->SetColor(clNone);
  f.data.UndoList->Clear();
  f.Format();
  f.Open(0, 1);
  EXPECT_EQ(f.BehindText(), kPagePicture);
  // With a table colour the cell shows that colour.
  f.table->SetColor(kCellColor);
  f.Format();
  f.Open(0, 1);
  EXPECT_EQ(f.BehindText(), kCellColor);
}

TEST(TableCellEditorLook, TheEditorShowsItsCaretByScrollingTheDocumentAroundIt) {
  std::vector<std::string> texts;
  for (int i = 0; i < 40; ++i) texts.push_back("row " + std::to_string(i));
  TCellLook f(40, 1, texts);
  ASSERT_GT(f.data.DocumentHeight, f.edit.ClientHeight());
  EXPECT_EQ(f.edit.VScrollPos(), 0);
  // A cell far below the view: opening it scrolls the document until the cell shows, and
  // the editor stays over its cell.
  f.Open(35, 0);
  EXPECT_GT(f.edit.VScrollPos(), 0);
  const TRDTableCellData& cell = *f.table->Cells(35, 0);
  const TPoint at = f.ClientOfTable(cell.Left(), cell.Top);
  EXPECT_EQ(f.Editor()->Top(), at.Y);
  EXPECT_GE(f.Editor()->Top(), 0);
  EXPECT_LE(f.Editor()->Top() + f.Editor()->Height(), f.edit.ClientHeight());
  // Moving on to the first cell scrolls back up.
  f.Open(0, 0);
  EXPECT_EQ(f.Editor()->Top(), f.ClientOfTable(0, f.table->Cells(0, 0)->Top).Y);
  EXPECT_GE(f.Editor()->Top(), 0);

  // The editor itself does not scroll: not sideways, and not up and down while its
  // content fits.
  EXPECT_FALSE(f.Editor()->MayScroll());
  f.Editor()->HScrollTo(30);
  f.Editor()->ScrollTo(3, true);
  EXPECT_EQ(f.Editor()->HScrollPos(), 0);
  EXPECT_EQ(f.Editor()->VScrollPos(), 0);
  // It leaves the wheel to the window around it (which the window system then hands it).
  EXPECT_FALSE(f.Editor()->WheelNotches(-1));
  // Scrolled, the document around it takes the editor along.
  f.edit.ScrollTo(f.edit.VScrollPos() + 2, true);
  EXPECT_EQ(f.Editor()->Top(), f.ClientOfTable(0, f.table->Cells(0, 0)->Top).Y);
}

TEST(TableCellEditorLook, ACellColouredWhileEditedShowsItsNewColour) {
  TCellLook f(1, 2, {"a", "b"});
  f.Open(0, 1);
  EXPECT_EQ(f.BehindText(), ColorToRGB(f.table->GetCellColor(*f.table->Cells(0, 1))));
  f.table->SetCellIntProperty(-1, "Color", false, false, 0, 1, kCellColor);
  EXPECT_EQ(f.BehindText(), kCellColor);
}

TEST(TableCellEditorLook, AnEditorCutShortScrollsItself) {
  TCellLook f(1, 1, {"top"});
  TRDTableCellData& cell = *f.table->Cells(0, 0);
  for (int i = 0; i < 800; ++i) cell.AddText("line " + std::to_string(i), 0, 0);
  f.table->MarkChanged();
  f.Format();
  f.Open(0, 0);
  TRDTableInplaceEdit& editor = *f.Editor();
  ASSERT_GT(editor.EditData().DocumentHeight, 10000);
  EXPECT_EQ(editor.Height(), 10000);
  EXPECT_TRUE(editor.MayScroll());
  // The caret at the end of the content: the editor scrolls to it.
  EXPECT_GT(editor.VScrollPos(), 0);
  editor.ScrollTo(0, true);
  EXPECT_EQ(editor.VScrollPos(), 0);
  EXPECT_TRUE(editor.WheelNotches(-1));
  EXPECT_GT(editor.VScrollPos(), 0);
  // Sideways it still does not move.
  editor.HScrollTo(20);
  EXPECT_EQ(editor.HScrollPos(), 0);
}

TEST(TableCellEditorLook, AnEditorMadeNarrowerHasTheTableLaidOutForItsContent) {
  TCellLook f(1, 2, {"a", "words that wrap once the editor is narrower"});
  f.Open(0, 1);
  TRDTableInplaceEdit& editor = *f.Editor();
  const int lines = editor.EditData().DocumentHeight;
  ASSERT_EQ(editor.Height(), f.table->Cells(0, 1)->Height);
  // Narrower, its text takes more lines than the row has room for; the table follows.
  editor.SetBounds(editor.Left(), editor.Top(), editor.Width() / 3, editor.Height());
  SettleEditors(f.edit);
  ASSERT_EQ(f.Editor(), &editor);
  const TRDTableCellData& cell = *f.table->Cells(0, 1);
  EXPECT_EQ(editor.Width(), cell.Width);
  EXPECT_EQ(editor.Height(), cell.Height);
  EXPECT_EQ(editor.EditData().DocumentHeight, lines);
  EXPECT_GE(cell.Height, editor.EditData().DocumentHeight);
}

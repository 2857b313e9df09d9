// What the user does with the mouse inside a cell being edited reaches the editor around
// the table: links, double clicks, clicks, presses and releases fire the outer editor's
// events once the cell editor's own handling is over. A drag from the cell across others
// gives the cell editor the look of a selected cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/sys/application.h"
#include "platform/sys/date_time.h"
#include "platform/sys/pump.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/formats/text_export.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"

namespace {

constexpr int kJumpStyle = 4;  // "Jump 1" of a new style sheet

// A 2 x 2 table whose cell (0, 1) holds "see " and a link "here".
struct TCellEvents : TTableEdit {
  std::vector<std::string> fired;
  TCellEvents() : TTableEdit(2, 2, {"DL1ABC", "", "OE3XYZ", "12:07"}) {
    TRDTableCellData& cell = *table->Cells(0, 1);
    cell.Clear();
    cell.AddText("see ", 0, 0);
    cell.AddText("here", kJumpStyle, -1);
    Format();
    edit.OnJump = [this](TCustomRichDoc* sender, int id) {
      fired.push_back("jump " + std::to_string(id) + (sender == &edit ? "" : " (other sender)"));
    };
    edit.OnRDDblClick = [this](TCustomRichDoc* sender, const std::string& word, int styleNo) {
      fired.push_back("dblclick " + word + " " + std::to_string(styleNo) +
                      (sender == &edit ? "" : " (other sender)"));
    };
    edit.OnClick = [this](TComponent* sender) {
      fired.push_back(std::string("click") + (sender == &edit ? "" : " (other sender)"));
    };
    edit.OnRDMouseDown = [this](TCustomRichDoc*, TMouseButton, TShiftState, int itemNo, int x,
                                int y) {
      fired.push_back("down " + std::to_string(itemNo) + " " + std::to_string(x) + "," +
                      std::to_string(y));
    };
    edit.OnRDMouseUp = [this](TCustomRichDoc*, TMouseButton, TShiftState, int itemNo, int x,
                              int y) {
      fired.push_back("up " + std::to_string(itemNo) + " " + std::to_string(x) + "," +
                      std::to_string(y));
    };
  }
  TRDTableInplaceEdit* Editor() { return table->InplaceEditor; }
  std::string Edited() {
    int row, col;
    return table->GetEditedCell(row, col) ? std::to_string(row) + "," + std::to_string(col) : "-";
  }
  // The editor's client point over the table point (x, y); the outer editor's with none.
  TPoint At(int x, int y) { return ClientOfTable(x, y); }
  TPoint InEditor(TPoint outer) {
    return Point(outer.X - Editor()->Left(), outer.Y - Editor()->Top());
  }
  // Just inside the left edge of the character at index i of the first line of cell
  // (row, col), relative to the table (characters of the test canvas are 6 pixels wide).
  TPoint CharAt(int row, int col, int i) {
    const TRDTableCellData& cell = *table->Cells(row, col);
    const int padding = table->CellPadding();
    return Point(cell.Left() + padding + 6 * i + 1, cell.Top + padding + 5);
  }
  std::string Fired() {
    std::string out;
    for (const std::string& f : fired) out += (out.empty() ? "" : "; ") + f;
    fired.clear();
    return out;
  }
};

}  // namespace

TEST(TableCellEditorEvents, ALinkInTheCellJumpsInTheOuterEditorAfterTheClick) {
  TCellEvents f;
  // Ctrl makes the links work in an editor; the press opens the cell under it.
  const TPoint link = f.At(f.CharAt(0, 1, 5).X, f.CharAt(0, 1, 5).Y);
  SimulateMouseDown(f.edit, mbLeft, link.X, link.Y, ssCtrl);
  ASSERT_EQ(f.Edited(), "0,1");
  SimulateMouseUp(f.edit, mbLeft, link.X, link.Y, ssCtrl);
  // Nothing fired inside the click: the press was the outer editor's own.
  EXPECT_EQ(f.Fired(), "down 1 " + std::to_string(link.X) + "," + std::to_string(link.Y) +
                           "; click; up 1 " + std::to_string(link.X) + "," +
                           std::to_string(link.Y));
  SettleEditors(f.edit);
  // The cell's release came out as the outer editor's too, then the link.
  const std::string after = f.Fired();
  EXPECT_NE(after.find("jump 0"), std::string::npos) << after;
  EXPECT_EQ(after.find("other sender"), std::string::npos) << after;

  // Clicking beside the link, in the open editor, follows nothing.
  const TPoint word = f.InEditor(f.At(f.CharAt(0, 1, 1).X, f.CharAt(0, 1, 1).Y));
  SimulateMouseDown(*f.Editor(), mbLeft, word.X, word.Y, ssCtrl);
  SimulateMouseUp(*f.Editor(), mbLeft, word.X, word.Y, ssCtrl);
  SettleEditors(f.edit);
  EXPECT_EQ(f.Fired().find("jump"), std::string::npos);
}

TEST(TableCellEditorEvents, PressClickAndReleaseInTheOpenEditorAreTheOuterEditors) {
  TCellEvents f;
  const TPoint p = f.At(f.CharAt(1, 0, 2).X, f.CharAt(1, 0, 2).Y);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  ASSERT_EQ(f.Edited(), "1,0");
  SettleEditors(f.edit);
  f.Fired();
  // Long after the press that opened it: a plain click in the editor, at the point
  // where the outer editor would have seen it, on the table's item.
  f.Editor()->SetOpeningClickTime(0);
  const TRDTableCellData& cell = *f.table->Cells(1, 0);
  const TPoint q = f.At(cell.Left() + cell.Width - 4, f.CharAt(1, 0, 0).Y);
  const TPoint e = f.InEditor(q);
  SimulateMouseDown(*f.Editor(), mbLeft, e.X, e.Y);
  SimulateMouseUp(*f.Editor(), mbLeft, e.X, e.Y);
  EXPECT_EQ(f.Fired(), "");
  SettleEditors(f.edit);
  const std::string where = std::to_string(q.X) + "," + std::to_string(q.Y);
  EXPECT_EQ(f.Fired(), "down 1 " + where + "; click; up 1 " + where);
  // Beyond the text: the caret at its end.
  EXPECT_EQ(f.Editor()->EditData().GetOffsetInCurrentItem(), 7);
}

TEST(TableCellEditorEvents, ASecondPressSoonAfterTheOpeningOneIsADoubleClick) {
  TCellEvents f;
  const TPoint p = f.At(f.CharAt(1, 0, 2).X, f.CharAt(1, 0, 2).Y);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  ASSERT_EQ(f.Edited(), "1,0");
  SettleEditors(f.edit);
  f.Fired();
  // The window system sends the second press to the editor that now lies there.
  const TPoint e = f.InEditor(p);
  f.Editor()->SetOpeningClickTime(GetTickCount());
  SimulateMouseDown(*f.Editor(), mbLeft, e.X, e.Y);
  SimulateMouseUp(*f.Editor(), mbLeft, e.X, e.Y);
  TRDEditRDData& cell = f.Editor()->EditData();
  EXPECT_EQ(SelectedText(cell, false), "OE3XYZ");
  EXPECT_EQ(f.Fired().find("dblclick"), std::string::npos);
  SettleEditors(f.edit);
  EXPECT_NE(f.Fired().find("dblclick OE3XYZ 0"), std::string::npos);

  // A third press is a press again: beyond the word it places the caret there.
  const TRDTableCellData& box = *f.table->Cells(1, 0);
  const TPoint beyond = f.InEditor(f.At(box.Left() + box.Width - 4, f.CharAt(1, 0, 0).Y));
  SimulateMouseDown(*f.Editor(), mbLeft, beyond.X, beyond.Y);
  SimulateMouseUp(*f.Editor(), mbLeft, beyond.X, beyond.Y);
  SettleEditors(f.edit);
  EXPECT_FALSE(cell.HasSelection());
  EXPECT_EQ(f.Fired().find("dblclick"), std::string::npos);

  // So is a press later than the desktop's double-click time after the opening one.
  f.Editor()->SetOpeningClickTime(GetTickCount() - Screen->DoubleClickTime() - 50);
  SimulateMouseDown(*f.Editor(), mbLeft, e.X, e.Y);
  SimulateMouseUp(*f.Editor(), mbLeft, e.X, e.Y);
  SettleEditors(f.edit);
  EXPECT_FALSE(cell.HasSelection());
  EXPECT_LT(cell.GetOffsetInCurrentItem(), 7);
  EXPECT_EQ(f.Fired().find("dblclick"), std::string::npos);
}

TEST(TableCellEditorEvents, DraggingAcrossCellsGivesTheEditorTheSelectedLook) {
  TCellEvents f;
  const TColor normal = f.table->GetCellColor(*f.table->Cells(0, 0));
  const TPoint p = f.At(f.CharAt(0, 0, 1).X, f.CharAt(0, 0, 1).Y);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  ASSERT_EQ(f.Edited(), "0,0");
  TRDTableInplaceEdit& editor = *f.Editor();
  EXPECT_EQ(editor.Color(), normal);
  // Press in the editor and drag into the cell diagonally across.
  const TPoint from = f.InEditor(p);
  const TPoint across = f.InEditor(f.At(f.CellMiddle(1, 1).X, f.CellMiddle(1, 1).Y));
  editor.SetOpeningClickTime(0);
  SimulateMouseDown(editor, mbLeft, from.X, from.Y);
  SimulateMouseMove(editor, across.X, across.Y, ssLeft);
  EXPECT_TRUE(f.table->State & rdtsCellsSelected);
  EXPECT_TRUE(editor.SelectedLook());
  EXPECT_TRUE(editor.EditData().State & rddsSelectedAsWhole);
  EXPECT_EQ(editor.Color(), f.style.SelColor);
  TRect caret;
  EXPECT_FALSE(editor.EditData().GetCaretRect(caret));
  // Back into its own cell: the look goes, the caret comes back.
  SimulateMouseMove(editor, from.X + 1, from.Y, ssLeft);
  EXPECT_FALSE(f.table->State & rdtsCellsSelected);
  EXPECT_FALSE(editor.SelectedLook());
  EXPECT_FALSE(editor.EditData().State & rddsSelectedAsWhole);
  EXPECT_EQ(editor.Color(), normal);
  EXPECT_TRUE(editor.EditData().GetCaretRect(caret));
  SimulateMouseUp(editor, mbLeft, from.X + 1, from.Y);
  SettleEditors(f.edit);
  EXPECT_EQ(f.Edited(), "0,0");
  f.Fired();

  // Out again and let go there: the editor gives way to the selected cells, and the
  // outer editor hears the release once.
  SimulateMouseDown(editor, mbLeft, from.X, from.Y);
  SimulateMouseMove(editor, across.X, across.Y, ssLeft);
  SimulateMouseUp(editor, mbLeft, across.X, across.Y);
  SettleEditors(f.edit);
  EXPECT_EQ(f.Edited(), "-");
  EXPECT_TRUE(f.table->State & rdtsCellsSelected);
  EXPECT_TRUE(f.table->IsCellSelected(1, 1));
  const std::string fired = f.Fired();
  const size_t up = fired.find("up ");
  ASSERT_NE(up, std::string::npos) << fired;
  EXPECT_EQ(fired.find("up ", up + 1), std::string::npos) << fired;
  EXPECT_EQ(DescribeGrid(*f.table), "[DL1ABC],[see here] / [OE3XYZ],[12:07]");
}

TEST(TableCellEditorEvents, APressOnTheCellsSelectionWithoutMovingIsAClick) {
  TCellEvents f;
  const TPoint p = f.At(f.CharAt(1, 0, 2).X, f.CharAt(1, 0, 2).Y);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  ASSERT_EQ(f.Edited(), "1,0");
  TRDEditRDData& cell = f.Editor()->EditData();
  cell.SetSelectionBounds(0, 1, 0, 7);
  // Pressed on the selection it might become a drag; let go where it was, it is a click
  // that leaves the caret there.
  const TPoint e = f.InEditor(p);
  f.Editor()->SetOpeningClickTime(0);
  SimulateMouseDown(*f.Editor(), mbLeft, e.X, e.Y);
  SimulateMouseUp(*f.Editor(), mbLeft, e.X, e.Y);
  EXPECT_FALSE(cell.HasSelection());
  EXPECT_GT(cell.GetOffsetInCurrentItem(), 1);
  EXPECT_LT(cell.GetOffsetInCurrentItem(), 7);
  // And the document around the table takes presses again: one on its first line closes
  // the cell and puts the caret there.
  SimulateMouseDown(f.edit, mbLeft, 12, 10);
  SimulateMouseUp(f.edit, mbLeft, 12, 10);
  SettleEditors(f.edit);
  EXPECT_EQ(f.Edited(), "-");
  EXPECT_EQ(f.edit.CaretItemNo(), 0);
}

TEST(TableCellEditorEvents, RightClicksHoversHintsAndSelectionsInTheCellReachTheOuterEditor) {
  TCellEvents f;
  std::string heard;
  f.edit.OnRDRightClick = [&](TCustomRichDoc* sender, const std::string& word, int styleNo, int x,
                              int y) {
    const TPoint p = f.edit.ScreenToClient(Point(x, y));
    heard += "right " + word + " " + std::to_string(styleNo) + " at " + std::to_string(p.X) + "," +
             std::to_string(p.Y) + (sender == &f.edit ? "" : " (other sender)") + "; ";
  };
  f.edit.OnRDMouseMove = [&](TCustomRichDoc* sender, int id) {
    heard += "hover " + std::to_string(id) + (sender == &f.edit ? "" : " (other sender)") + "; ";
  };
  f.edit.OnSelect = [&](TComponent* sender) {
    heard += std::string("select") + (sender == &f.edit ? "" : " (other sender)") + "; ";
  };
  f.edit.OnItemHint = [&](TCustomRichDoc* sender, TCustomRDData*, int itemNo, std::string& hint) {
    hint = "item " + std::to_string(itemNo) + (sender == &f.edit ? "" : " (other sender)");
  };

  // A right click on a word of the open cell, at the outer editor's point.
  const TPoint word = f.At(f.CharAt(1, 0, 2).X, f.CharAt(1, 0, 2).Y);
  SimulateMouseDown(f.edit, mbLeft, word.X, word.Y);
  SimulateMouseUp(f.edit, mbLeft, word.X, word.Y);
  ASSERT_EQ(f.Edited(), "1,0");
  f.Editor()->SetOpeningClickTime(0);
  heard.clear();
  const TPoint e = f.InEditor(word);
  SimulateMouseDown(*f.Editor(), mbRight, e.X, e.Y);
  SimulateMouseUp(*f.Editor(), mbRight, e.X, e.Y);
  EXPECT_NE(heard.find("right OE3XYZ 0 at " + std::to_string(word.X) + "," +
                       std::to_string(word.Y) + "; "),
            std::string::npos)
      << heard;
  // Dragging over the cell's text selects it.
  heard.clear();
  const TRDTableCellData& cell = *f.table->Cells(1, 0);
  const TPoint start = f.InEditor(f.At(f.CharAt(1, 0, 0).X, f.CharAt(1, 0, 0).Y));
  const TPoint end = f.InEditor(f.At(cell.Left() + cell.Width - 4, f.CharAt(1, 0, 0).Y));
  SimulateMouseDown(*f.Editor(), mbLeft, start.X, start.Y);
  SimulateMouseMove(*f.Editor(), end.X, end.Y, ssLeft);
  SimulateMouseUp(*f.Editor(), mbLeft, end.X, end.Y);
  EXPECT_EQ(SelectedText(f.Editor()->EditData(), false), "OE3XYZ");
  EXPECT_NE(heard.find("select; "), std::string::npos) << heard;
  EXPECT_EQ(heard.find("other sender"), std::string::npos) << heard;
  // The hint of an item of the cell is the outer editor's to give.
  EXPECT_EQ(f.Editor()->EditData().GetItemHint(0), "item 0");

  // With Ctrl held the link of another cell lights under the mouse.
  const TPoint link = f.At(f.CharAt(0, 1, 5).X, f.CharAt(0, 1, 5).Y);
  SimulateMouseDown(f.edit, mbLeft, link.X, link.Y, ssCtrl);
  SimulateMouseUp(f.edit, mbLeft, link.X, link.Y, ssCtrl);
  ASSERT_EQ(f.Edited(), "0,1");
  heard.clear();
  const TPoint over = f.InEditor(link);
  SimulateMouseMove(*f.Editor(), over.X + 1, over.Y, ssCtrl);
  EXPECT_EQ(heard, "hover 0; ");
}

TEST(TableCellEditorEvents, ATableInsideACellPassesItsEventsToTheRootEditor) {
  TCellEvents f;
  // A table of one cell holding a link, inside cell (1, 1).
  TRDTableCellData& holder = *f.table->Cells(1, 1);
  auto made = std::make_unique<TRDTableItemInfo>(1, 1, &holder);
  TRDTableItemInfo& inner = *made;
  TRDTableCellData& cell = *inner.Cells(0, 0);
  cell.Clear();
  cell.AddText("nested", kJumpStyle, 0);
  holder.AddItemAtEnd("", std::move(made));
  f.Format();
  inner.EditCell(0, 0, false);
  ASSERT_EQ(f.Edited(), "1,1");
  ASSERT_NE(inner.InplaceEditor, nullptr);
  TRDTableInplaceEdit& editor = *inner.InplaceEditor;
  EXPECT_EQ(&f.edit.ActiveEditor(), &editor);
  SettleEditors(f.edit);
  f.Fired();
  // A Ctrl+click on its link: the root editor hears the press and release on the table of
  // its own document, at its own client point, and the link.
  editor.EditData().EnterHyperlinkMode(true);
  editor.SetOpeningClickTime(0);
  const TPoint at = Point(4, 4);
  SimulateMouseDown(editor, mbLeft, at.X, at.Y, ssCtrl);
  SimulateMouseUp(editor, mbLeft, at.X, at.Y, ssCtrl);
  SettleEditors(f.edit);
  const TPoint root = f.edit.ScreenToClient(editor.ClientToScreen(at));
  const std::string where = std::to_string(root.X) + "," + std::to_string(root.Y);
  const std::string fired = f.Fired();
  EXPECT_NE(fired.find("down 1 " + where), std::string::npos) << fired;
  EXPECT_NE(fired.find("up 1 " + where), std::string::npos) << fired;
  EXPECT_NE(fired.find("jump "), std::string::npos) << fired;
  EXPECT_EQ(fired.find("other sender"), std::string::npos) << fired;
  // Closing the outer cell closes the inner one with it.
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(inner.InplaceEditor, nullptr);
  EXPECT_EQ(TTableDocument::CellText(*inner.Cells(0, 0)), "nested");
}

TEST(TableCellEditorEvents, ClosingUnderTheFocusedRootEditorCollectsTheCellsLinksThere) {
  TForm form{nullptr};  // outlives the editor on it
  TCellEvents f;
  form.SetBounds(40, 40, 420, 240);
  f.edit.SetParent(&form);
  form.Show();
  Application->ProcessMessages();  // let the window become active
  f.edit.SetFocus();
  ASSERT_TRUE(f.table->OpenCellEditor(1, 0, false, false, true, false, false));
  // Closed while the cell editor has the focus: the root editor stays as it was.
  ASSERT_FALSE(f.edit.Focused());
  f.edit.CloseInplaceEditor();
  EXPECT_FALSE(f.data.GetFlags() & rdfCollectJumps);
  // Closed once the root editor has the focus back: the link in cell (0, 1) is its own
  // again and collected.
  ASSERT_TRUE(f.table->OpenCellEditor(1, 0, false, false, true, false, false));
  f.edit.SetFocus();
  ASSERT_TRUE(f.edit.Focused());
  ASSERT_EQ(f.Edited(), "1,0");
  f.edit.CloseInplaceEditor();
  EXPECT_TRUE(f.data.GetFlags() & rdfCollectJumps);
  EXPECT_EQ(f.data.JumpCount, 1);
}

TEST(TableCellEditorEvents, DraggingFromACellPastTheViewScrollsAndSelectsOnUntilTheRelease) {
  std::vector<std::string> texts;
  for (int r = 0; r < 40; ++r) texts.push_back("row " + std::to_string(r));
  TTableEdit f(40, 1, texts);
  ASSERT_TRUE(f.table->OpenCellEditor(2, 0, false, false, true, false, false));
  TRDTableInplaceEdit& editor = *f.table->InplaceEditor;
  editor.SetOpeningClickTime(0);
  const TPoint press = f.CellMiddle(2, 0);
  const TPoint from = f.ClientOfTable(press.X, press.Y);
  SimulateMouseDown(editor, mbLeft, from.X - editor.Left(), from.Y - editor.Top());
  // Held below the view's bottom edge, in the editor's own coordinates.
  const int below = f.edit.Height() + 30 - editor.Top();
  SimulateMouseMove(editor, from.X - editor.Left(), below, ssLeft);
  ASSERT_TRUE(f.table->State & rdtsCellsSelected);
  int lastSelected = 0;
  for (int r = 0; r < 40; ++r)
    if (f.table->IsCellSelected(r, 0)) lastSelected = r;
  EXPECT_EQ(f.edit.VScrollPos(), 0);
  // The scroll timer's first ticks, however long they take to come.
  PumpUntil([&f] { return f.edit.VScrollPos() > 0; });
  PumpFor(100);
  // The view went down and the selection with it, toward the rows it brought into view.
  EXPECT_GT(f.edit.VScrollPos(), 0);
  int nowSelected = 0;
  for (int r = 0; r < 40; ++r)
    if (f.table->IsCellSelected(r, 0)) nowSelected = r;
  EXPECT_GT(nowSelected, lastSelected);
  EXPECT_TRUE(f.table->IsCellSelected(2, 0));
  // Let go (where the editor now is, as the view moved it): the scrolling stops.
  SimulateMouseUp(editor, mbLeft, from.X - editor.Left(), below);
  SettleEditors(f.edit);
  const int stopped = f.edit.VScrollPos();
  PumpFor(300);
  EXPECT_EQ(f.edit.VScrollPos(), stopped);
}

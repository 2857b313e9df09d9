// Editing a table cell in an editor laid over it: the caret enters the table, the cell's
// content moves into the editor and back, Tab and the arrows move between cells and out
// of the table, and what was typed in a cell is undone and redone through the document's
// undo list in its real order among the table's own changes.
#include <gtest/gtest.h>

#include <cctype>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/child_process.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/model/document_nesting.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/edit/item_resizer.h"
#include "richtext_edit/edit/random_editing.h"
#include "richtext_edit/print/document_print.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "support/control_snapshot.h"
#include "support/scratch_files.h"

namespace {

void Type(TWinControl& control, const std::string& text) {
  for (char c : text)
    SimulateKey(control, TKeyCode(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
}

struct TCellEdit : TTableEdit {
  using TTableEdit::TTableEdit;
  TRDTableInplaceEdit* Editor() { return table->InplaceEditor; }
  // Lets the calls the editors queued for after the current input run.
  void Settle() { SettleEditors(edit); }
  // The edited cell as "row,col", "-" without an editor.
  std::string Edited() {
    int row, col;
    return table->GetEditedCell(row, col) ? std::to_string(row) + "," + std::to_string(col) : "-";
  }
  void Open(int row, int col) {
    ASSERT_TRUE(table->OpenCellEditor(row, col, false, false, true, false, false));
  }
};

std::string TextOf(const TCustomRDData& data) {
  std::string text;
  for (int i = 0; i < data.GetItemCount(); ++i) {
    if (i > 0 && data.IsParaStart(i)) text += '|';
    text += data.GetItemTextRaw(i);
  }
  return text;
}

// The table's columns and rows, and every cell's box and content height.
std::string DescribeCells(const TRDTableItemInfo& table) {
  const TRDTableItemFormattingInfo& info = *table.FormattingInfo;
  std::string out = std::to_string(info.Width) + "x" + std::to_string(info.Height);
  for (int c = 0; c < info.ColStarts.Count(); ++c)
    out += " col " + std::to_string(info.ColStarts[c]) + "+" + std::to_string(info.ColWidths[c]);
  for (int r = 0; r < info.RowStarts.Count(); ++r)
    out += " row " + std::to_string(info.RowStarts[r]) + "+" + std::to_string(info.RowHeights[r]);
  for (int r = 0; r < table.RowCount(); ++r)
    for (int c = 0; c < table.ColCount(); ++c)
      if (const TRDTableCellData* cell = table.Rows->Object(r, c))
        out += "\n" + std::to_string(r) + "," + std::to_string(c) + " at " +
               std::to_string(cell->Left()) + "," + std::to_string(cell->Top) + " " +
               std::to_string(cell->Width) + "x" + std::to_string(cell->Height) + " holds " +
               std::to_string(cell->GetCellHeight(false));
  return out;
}

}  // namespace

TEST(TableCellEditor, TheCaretEntersTheTableAndTheCellsContentMovesIntoTheEditor) {
  TCellEdit f(2, 2, {"a", "b", "c", "d"});
  // Right from just before the table enters its first cell.
  f.data.PlaceCaretAtItem(1, 0, false);
  SimulateKey(f.edit, VK_RIGHT);
  ASSERT_EQ(f.Edited(), "0,0");
  EXPECT_EQ(f.edit.InplaceEditor(), f.Editor());
  EXPECT_EQ(&f.edit.ActiveEditor(), f.Editor());
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "a");
  EXPECT_EQ(f.table->Cells(0, 0)->GetItemCount(), 0);
  // Over the cell, and the cell keeps its size while its content is in the editor.
  const TRDTableCellData& cell = *f.table->Cells(0, 0);
  const TPoint at = f.ClientOfTable(cell.Left(), cell.Top);
  EXPECT_EQ(f.Editor()->Left(), at.X);
  EXPECT_EQ(f.Editor()->Top(), at.Y);
  EXPECT_EQ(f.Editor()->Width(), cell.Width);
  const int height = cell.Height;
  f.Format();
  EXPECT_EQ(f.table->Cells(0, 0)->Height, height);

  f.edit.CloseInplaceEditor();
  EXPECT_EQ(f.Edited(), "-");
  EXPECT_EQ(f.data.GetChosenItem(), nullptr);
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b] / [c],[d]");

  // Moving up into the table from below opens the last row's cell under the caret.
  f.data.PlaceCaretAtItem(2, 3, false);
  SimulateKey(f.edit, VK_UP);
  EXPECT_EQ(f.Edited(), "1,0");
}

TEST(TableCellEditor, TypingGrowsTheRowAndUndoComesBackThroughTheDocument) {
  TCellEdit f(2, 2, {"a", "b", "c", "d"});
  f.Open(0, 1);
  const int rowHeight = f.table->FormattingInfo->RowHeights[0];
  Type(*f.Editor(), "xy");
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "bxy");
  // Enough text to wrap: the row grows and the editor with it.
  const std::string more = " some more words to wrap in the narrow cell of the table";
  Type(*f.Editor(), more);
  EXPECT_GT(f.table->FormattingInfo->RowHeights[0], rowHeight);
  EXPECT_EQ(f.Editor()->Height(), f.table->Cells(0, 1)->Height);
  f.edit.CloseInplaceEditor();
  const std::string typed = DescribeGrid(*f.table);
  EXPECT_EQ(typed.substr(0, 12), "[a],[bxy som");
  EXPECT_EQ(f.table->FormattingInfo->RowHeights[0], f.table->Cells(0, 1)->Height - 2);

  // A table change after the cell edit: undo takes it back first, then the typing.
  f.table->InsertRows(2, 1, -1, false);
  EXPECT_EQ(f.data.UndoList->Count(), 2);
  f.edit.Undo();
  EXPECT_EQ(f.table->RowCount(), 2);
  f.edit.Undo();
  f.Settle();
  ASSERT_EQ(f.Edited(), "0,1");
  // One character a command, as in any editor.
  const std::string all = "bxy" + more;
  EXPECT_EQ(TextOf(f.Editor()->EditData()), all.substr(0, all.size() - 1));
  while (f.Editor()->EditData().UndoList->Count() > 0) f.edit.Undo();
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "b");
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b] / [c],[d]");
  EXPECT_EQ(f.table->FormattingInfo->RowHeights[0], rowHeight);

  // Redo brings the typing back through the document as well.
  f.edit.Redo();
  f.Settle();
  ASSERT_EQ(f.Edited(), "0,1");
  while (f.Editor()->EditData().RedoList->Count() > 0) f.edit.Redo();
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), typed);
}

TEST(TableCellEditor, UndoWithNothingInTheCellClosesItAndUndoesOutside) {
  TCellEdit f(1, 2, {"a", "b"});
  f.table->InsertCols(2, 1, -1, false);
  f.Open(0, 0);
  EXPECT_EQ(f.Editor()->EditData().UndoList->Count(), 0);
  f.Editor()->Undo();
  f.Settle();
  EXPECT_EQ(f.Edited(), "-");
  EXPECT_EQ(f.table->ColCount(), 2);
  // Redo in the cell with nothing of its own runs the document's redo; the cell's redo
  // list is left alone.
  f.Open(0, 0);
  f.Editor()->Redo();
  f.Settle();
  EXPECT_EQ(f.table->ColCount(), 3);
}

TEST(TableCellEditor, TabMovesOnAndAppendsARowAtTheEnd) {
  TCellEdit f(2, 2, {"a", "b", "c", "d"});
  f.table->Rows->MergeCells(0, 0, 2, 1, true, false);
  f.data.UndoList->Clear();
  f.Format();
  f.Open(0, 0);
  SimulateKey(*f.Editor(), VK_TAB);
  f.Settle();
  EXPECT_EQ(f.Edited(), "1,0");
  SimulateKey(*f.Editor(), VK_TAB);
  f.Settle();
  EXPECT_EQ(f.Edited(), "1,1");
  // From the last cell Tab appends a row (one undo step) and goes to its first cell.
  SimulateKey(*f.Editor(), VK_TAB);
  f.Settle();
  EXPECT_EQ(f.table->RowCount(), 3);
  EXPECT_EQ(f.Edited(), "2,0");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  SimulateKey(*f.Editor(), VK_TAB, {}, ssShift);
  f.Settle();
  EXPECT_EQ(f.Edited(), "1,1");
  // Shift+Tab in the first cell stays, with a beep.
  int beeps = 0;
  f.data.OnBeep = [&] { ++beeps; };
  f.Open(0, 0);
  SimulateKey(*f.Editor(), VK_TAB, {}, ssShift);
  f.Settle();
  EXPECT_EQ(f.Edited(), "0,0");
  EXPECT_EQ(beeps, 1);
  // The tab character is never typed.
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "a|b");
}

TEST(TableCellEditor, TheArrowsLeaveTheTableAtItsEdges) {
  TCellEdit f(1, 2, {"a", "b"});
  f.Open(0, 1);
  SimulateKey(*f.Editor(), VK_RIGHT);
  f.Settle();
  EXPECT_EQ(f.Edited(), "-");
  EXPECT_EQ(f.edit.CaretItemNo(), 1);
  EXPECT_EQ(f.edit.CaretItemOffset(), 1);
  f.Open(0, 1);
  f.Editor()->EditData().PlaceCaretAtItem(0, 1, false);
  SimulateKey(*f.Editor(), VK_LEFT);
  f.Settle();
  EXPECT_EQ(f.Edited(), "0,0");
  // At the cell's end, from the cell to the left.
  EXPECT_EQ(f.Editor()->EditData().GetOffsetInCurrentItem(), 2);
  f.Editor()->EditData().PlaceCaretAtItem(0, 1, false);
  SimulateKey(*f.Editor(), VK_LEFT);
  f.Settle();
  EXPECT_EQ(f.Edited(), "-");
  EXPECT_EQ(f.edit.CaretItemNo(), 1);
  EXPECT_EQ(f.edit.CaretItemOffset(), 0);
}

TEST(TableCellEditor, AClickOpensTheCellAndAReadOnlyEditorRefusesTyping) {
  TCellEdit f(2, 2, {"a", "b", "c", "d"});
  const TPoint p = f.ClientOfTable(f.CellMiddle(1, 1).X, f.CellMiddle(1, 1).Y);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseUp(f.edit, mbLeft, p.X, p.Y);
  EXPECT_EQ(f.Edited(), "1,1");
  EXPECT_FALSE(f.table->MouseCaptured);
  // Dragging from the open cell across another selects cells and closes the editor.
  const TPoint q = f.ClientOfTable(f.CellMiddle(0, 0).X, f.CellMiddle(0, 0).Y);
  SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
  SimulateMouseMove(f.edit, q.X, q.Y, ssLeft);
  SimulateMouseUp(f.edit, mbLeft, q.X, q.Y);
  f.Settle();
  EXPECT_TRUE(f.table->State & rdtsCellsSelected);
  EXPECT_EQ(f.Edited(), "-");
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b] / [c],[d]");

  int beeps = 0;
  f.data.OnBeep = [&] { ++beeps; };
  f.edit.SetReadOnly(true);
  f.Open(0, 0);
  Type(*f.Editor(), "z");
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "a");
  EXPECT_GE(beeps, 1);
}

// A column or row border dragged while a cell is edited: the editor gives way for the
// drag and comes back on its cell with its caret, so typing goes on where it was.
TEST(TableCellEditor, ABorderDragKeepsTheEditedCellAndItsCaret) {
  TCellEdit f(2, 3, {"a", "b", "c", "d", "e", "f"});
  const TPoint cell = f.ClientOfTable(f.CellMiddle(0, 2).X, f.CellMiddle(0, 2).Y);
  SimulateMouseDown(f.edit, mbLeft, cell.X, cell.Y);
  SimulateMouseUp(f.edit, mbLeft, cell.X, cell.Y);
  ASSERT_EQ(f.Edited(), "0,2");
  SimulateKey(*f.Editor(), VK_END);
  Type(*f.Editor(), "xyz");
  const TRDTableItemFormattingInfo& info = *f.table->FormattingInfo;
  const TPoint columns[] = {f.ClientOfTable(info.ColStarts[1] - 1, info.RowStarts[0] + 3),
                            f.ClientOfTable(info.ColStarts[1] + 3, info.RowStarts[1] - 1)};
  for (const TPoint& p : columns) {
    const int dx = &p == &columns[0] ? 25 : 0, dy = &p == &columns[0] ? 0 : 12;
    SimulateMouseDown(f.edit, mbLeft, p.X, p.Y);
    ASSERT_TRUE(f.data.IsXorDrawHandler(f.table));
    SimulateMouseMove(f.edit, p.X + dx, p.Y + dy, ssLeft);
    SimulateMouseUp(f.edit, mbLeft, p.X + dx, p.Y + dy);
    f.Settle();
    EXPECT_EQ(f.Edited(), "0,2");
    Type(f.edit.ActiveEditor(), "Q");
  }
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "cxyzQQ");
  EXPECT_NE(f.table->Cells(0, 0)->BestWidth, 0);
  EXPECT_NE(f.table->Cells(0, 0)->BestHeight, 0);
}

// A picture in the open cell resized by its handles: the drag follows the pointer out of
// the cell and over the next one, selecting no cells, for a side handle and a corner.
TEST(TableCellEditor, APictureResizedPastTheCellsEdgeTakesTheSizeDragged) {
  for (const bool corner : {false, true}) {
    TCellEdit f(2, 2, {"", "b", "c", "d"});
    TRDTableCellData& cell = *f.table->Cells(0, 0);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(60, 40);
    auto made = TRDGraphicItemInfo::CreateWithGraphic(&cell, std::move(bitmap), rdvaBaseline);
    TRDGraphicItemInfo* picture = made.get();
    cell.Clear();
    cell.AddItemAtEnd("", std::move(made));
    f.Format();
    f.Open(0, 0);
    TRDTableInplaceEdit& editor = *f.Editor();
    TRDEditRDData& data = editor.EditData();
    const TRDDrawLineInfo& line = *data.DrawItems[picture->DrawItemNo];
    const TRect area = editor.DocumentRect();
    int ox, oy;
    data.GetOrigin(ox, oy);
    auto client = [&](int x, int y) {
      return Point(x - data.GetHOffs() + ox + area.Left, y - data.GetVOffs() + oy + area.Top);
    };
    const TPoint inside = client(line.Left + line.Width / 2, line.Top + line.Height / 2);
    SimulateClick(editor, inside.X, inside.Y);
    ASSERT_NE(data.Resizer, nullptr);
    // The handle 3 pixels inside the right edge (its middle, or the bottom corner).
    const TPoint handle =
        client(line.Left + line.Width - 3, corner ? line.Top + line.Height - 3 : line.Top + 20);
    const int dx = corner ? 60 : 330, dy = corner ? 40 : 0;
    SimulateMouseDown(editor, mbLeft, handle.X, handle.Y);
    ASSERT_TRUE(data.Resizer->Dragging);
    for (int step = 1; step <= 10; ++step)
      SimulateMouseMove(editor, handle.X + dx * step / 10, handle.Y + dy * step / 10, ssLeft);
    SimulateMouseUp(editor, mbLeft, handle.X + dx, handle.Y + dy);
    f.Settle();
    int width = 0, height = 0;
    picture->GetExtraIntProperty(rdepImageWidth, width);
    picture->GetExtraIntProperty(rdepImageHeight, height);
    if (corner) {  // kept in proportion: about twice as large
      EXPECT_GT(width, 100);
      EXPECT_GT(height, 70);
    } else {
      EXPECT_EQ(width, 390);
      EXPECT_EQ(height, 40);
    }
    EXPECT_FALSE(f.table->State & rdtsCellsSelected) << corner;
  }
}

// A selection inside the open cell editor is the document's selection for printing: the
// table holding it is printed.
TEST(TableCellEditor, TheOpenCellsSelectionPrintsItsTable) {
  TCellEdit f(2, 2, {"alpha", "bravo", "charlie", "delta"});
  f.Open(1, 0);
  f.Editor()->SetSelectionRange(0, 1, 0, 4);
  TRDPrintSettings settings;
  settings.SelectionOnly = true;
  const std::string file = ScratchFolder() + "/cell_selection.pdf";
  const TRDPrintResult printed = PrintDocumentToPdf(f.data, file, settings);
  ASSERT_TRUE(printed.Ok) << printed.Error;
  const std::string text = RunAndCapture("pdftotext -layout '" + file + "' -");
  EXPECT_NE(text.find("charlie"), std::string::npos) << text;
  EXPECT_EQ(text.find("before"), std::string::npos) << text;
}

// The document made read-only, and editable again, while a cell is open: the cell's links
// go live and dead with those of the rest of the document.
TEST(TableCellEditor, ReadOnlySwitchesTheOpenCellsLinksWithTheDocuments) {
  TCellEdit f(1, 2, {"a", "b"});
  f.Open(0, 0);
  const TRDEditRDData& inner = f.Editor()->EditData();
  ASSERT_FALSE(inner.GetFlags() & rdfCollectJumps);
  f.edit.SetReadOnly(true);
  EXPECT_TRUE(inner.GetFlags() & rdfCollectJumps);
  EXPECT_TRUE(f.data.GetFlags() & rdfCollectJumps);
  f.edit.SetReadOnly(false);
  EXPECT_FALSE(inner.GetFlags() & rdfCollectJumps);
  EXPECT_FALSE(f.data.GetFlags() & rdfCollectJumps);
}

TEST(TableCellEditor, DeletingRowsReopensTheEditorOnTheCellItWasOn) {
  TCellEdit f(3, 2, {"a", "b", "c", "d", "e", "f"});
  f.Open(2, 1);
  f.table->DeleteRows(0, 1, false);
  EXPECT_EQ(f.Edited(), "1,1");
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "f");
  f.table->DeleteRows(1, 1, false);
  EXPECT_EQ(f.Edited(), "0,1");
  // Without selected cells, the edited cell is the selection's rectangle when asked for.
  int top, left, cols, rows;
  EXPECT_FALSE(f.table->GetNormalizedSelectionBounds(false, top, left, cols, rows));
  ASSERT_TRUE(f.table->GetNormalizedSelectionBounds(true, top, left, cols, rows));
  EXPECT_EQ(left, 1);
  EXPECT_EQ(cols, 1);
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[c],[d]");
}

// The editor as it looks with a cell being edited, saved into the test pictures folder
// for a look.
TEST(TableCellEditor, APictureOfATableBeingEdited) {
  TCellEdit f(3, 3, {"Call", "Heard", "Via", "DL1ABC", "12:03", "WIDE1-1", "OE3XYZ", "12:07", ""});
  f.table->SetCellBorderWidth(1);
  f.table->SetBorderWidth(1);
  f.data.UndoList->Clear();
  f.Format();
  f.Open(2, 2);
  Type(*f.Editor(), "DB0ABC relay");
  auto shot = Snapshot(f.edit);
  shot->SaveToFile(PictureFolder("table_cell_editor") + "being_edited.bmp");
  // The editor shows its text over the cell; the cell is in the editor's place.
  const TRDTableCellData& cell = *f.table->Cells(2, 2);
  const TPoint at = f.ClientOfTable(cell.Left(), cell.Top);
  EXPECT_EQ(f.Editor()->Left(), at.X);
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "DB0ABC relay");
}

TEST(TableCellEditor, TypingInACellLaysOutWhatAWholeLayoutWould) {
  TCellEdit f(2, 2, {"a", "b", "c", "d"});
  f.Open(0, 1);
  const int afterTop = f.data.DrawItems[f.data.GetItem(2)->DrawItemNo]->Top;
  // Only the table is laid out again as its row grows or shrinks: the paragraph after it
  // still moves, as it would in a layout of the whole document.
  auto expectWholeLayout = [](TCellEdit& f, const std::string& step) {
    const std::string typed = DescribeLayout(f.data), cells = DescribeCells(*f.table);
    f.Format();
    EXPECT_EQ(DescribeLayout(f.data), typed) << step;
    EXPECT_EQ(DescribeCells(*f.table), cells) << step;
    ASSERT_EQ(f.Edited(), "0,1");
  };
  Type(*f.Editor(), " words that wrap in the narrow cell, more of them and more again");
  EXPECT_GT(f.data.DrawItems[f.data.GetItem(2)->DrawItemNo]->Top, afterTop);
  expectWholeLayout(f, "grown");
  Type(*f.Editor(), " " + std::string(90, 'w'));
  expectWholeLayout(f, "a long word");
  for (int i = 0; i < 91; ++i) SimulateKey(*f.Editor(), VK_BACK, "\b");
  expectWholeLayout(f, "shrunk");

  // A word that widens a middle column past the document's width, key by key: the column
  // right of it moves over, and a cell below that wrapped in it lies on fewer lines.
  TCellEdit wide(3, 3,
                 {"a", "b", "c", "d", "e", "f", "g",
                  "words that wrap in the column until the word above widens it", "h"});
  wide.Open(0, 1);
  for (int i = 0; i < 80; ++i) {
    Type(*wide.Editor(), "w");
    if (i % 8 == 0 || i == 79) expectWholeLayout(wide, "widened by " + std::to_string(i + 1));
  }
  const TRDTableCellData& below = *wide.table->Cells(2, 1);
  EXPECT_EQ(below.GetCellHeight(false), wide.table->Cells(2, 0)->GetCellHeight(false));
  for (int i = 0; i < 80; i += 8) {
    for (int k = 0; k < 8; ++k) SimulateKey(*wide.Editor(), VK_BACK, "\b");
    expectWholeLayout(wide, "narrowed to " + std::to_string(72 - i));
  }
}

TEST(TableCellEditor, ASaveWhileACellIsEditedHoldsWhatTheEditorShows) {
  TCellEdit f(1, 2, {"alpha", "beta"});
  f.Open(0, 0);
  Type(*f.Editor(), "X");
  // Every writer reads the edited cell through its editor, whose document holds its items.
  f.Format();
  const std::string open = random_editing::EveryFormat(f.data);
  f.edit.CloseInplaceEditor();
  const std::string cell = TTableDocument::CellText(*f.table->Cells(0, 0));
  ASSERT_EQ(cell.size(), 6u);
  const std::string closed = random_editing::EveryFormat(f.data);
  size_t at = 0;
  while (at < open.size() && at < closed.size() && open[at] == closed[at]) ++at;
  EXPECT_EQ(open.substr(at, 80), closed.substr(at, 80)) << "at " << at;
  // RDF, RTF, both HTML forms and text.
  size_t found = 0;
  for (size_t at = open.find(cell); at != std::string::npos; at = open.find(cell, at + 1)) ++found;
  EXPECT_GE(found, 5u);
}

TEST(TableCellEditor, TextSentToTheDocumentGoesIntoTheCellAndMayBringAScrollBar) {
  TCellEdit f(2, 2, {"a", "b", "c", "d"});
  f.Open(0, 1);
  std::string text;
  while (text.size() < 2000) text += "station beacon relay heard ";
  // The document's InsertText goes into the open cell; the table grows past the view,
  // whose scroll bar narrows what the lines are laid out in.
  f.edit.InsertText(text);
  SettleEditors(f.edit);
  EXPECT_EQ(TextOf(f.Editor()->EditData()), "b" + text);
  const std::string typed = DescribeLayout(f.data);
  f.Format();
  EXPECT_EQ(DescribeLayout(f.data), typed);
}

TEST(TableCellEditor, AnEditorOpenedAfterAColumnWentKeepsItsRowsHeight) {
  RegisterTableItemClass();
  RegisterRTFInsertion();
  TEditFixture f;
  random_editing::Insert(f.edit, random_editing::kInsertedRtf[3]);
  f.Format();
  auto& table = f.data.CheckItemClass<TRDTableItemInfo>(0);
  // The editor opens on the cell left of the deleted column, before that cell's content
  // was laid out at its new width: the row is as tall as what the editor lays out.
  table.DeleteCols(1, 1, false);
  int row, col;
  ASSERT_NE(table.GetEditedCell(row, col), nullptr);
  EXPECT_EQ(TextOf(table.InplaceEditor->EditData()), "x");
  const std::string deleted = DescribeLayout(f.data);
  f.Format();
  EXPECT_EQ(DescribeLayout(f.data), deleted);
}

TEST(TableCellEditor, ADocumentReplacedUnderAnOpenCellEditorKeepsNoHoldOnIt) {
  RegisterRTFInsertion();
  const std::string rtf = random_editing::kInsertedRtf[3];
  // Cleared, read anew from RDF or RTF, or the table deleted, each while a cell is edited.
  for (int way = 0; way < 4; ++way) {
    TCellEdit f(2, 2, {"a", "b", "c", "d"});
    TMemoryStream saved;
    SaveRDFToStream(f.data, saved, false);
    f.Open(0, 1);
    Type(*f.Editor(), "x");
    switch (way) {
      case 0:
        f.edit.ClearDocument();
        break;
      case 1:
        saved.SetPosition(0);
        EXPECT_TRUE(f.edit.LoadRDFFromStream(saved));
        break;
      case 2: {
        TMemoryStream stream;
        stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
        stream.SetPosition(0);
        f.edit.ClearDocument();
        EXPECT_TRUE(LoadRTFFromStream(f.data, stream));
        break;
      }
      default:
        f.edit.DeleteItemRange(1, 1);
        break;
    }
    f.Format();
    EXPECT_EQ(f.edit.InplaceEditor(), nullptr) << way;
    EXPECT_EQ(&f.edit.ActiveEditor(), &f.edit) << way;
    // The focus coming back, a click and a key find no cell editor.
    f.edit.SetFocus();
    (void)f.edit.IsFocusedOrEditorFocused();
    SimulateClick(f.edit, 20, 8);
    SimulateKey(f.edit, TKeyCode('Y'), "y");
    f.Settle();
  }
}

// Deleting a range of items over a table while one of its cells is edited gives the
// document (and the undo steps) the same deletion gives with the editor closed: the
// editor closes first, its steps handed to the document as closing hands them.
TEST(TableCellEditor, DeletingARangeOverAnEditedTableIsDeletingItClosed) {
  RegisterRTFInsertion();
  // (first, count) over "before", the table and "after"; a nested table's cell edited too.
  const std::pair<int, int> ranges[] = {{1, 1}, {0, 2}, {1, 2}, {0, 3}};
  for (const auto& [first, count] : ranges)
    for (bool nested : {false, true}) {
      SCOPED_TRACE(std::to_string(first) + "+" + std::to_string(count) + (nested ? " nested" : ""));
      std::string results[2];
      for (bool open : {false, true}) {
        // Shown, so that the editors take the focus as they do in the program.
        TForm form(nullptr);
        form.SetBounds(0, 0, 500, 300);
        TCellEdit f(2, 2, {"a", "b", "c", "d"});
        f.edit.SetParent(&form);
        f.edit.SetBounds(0, 0, 480, 280);
        form.Show();
        ASSERT_TRUE(PumpUntil([&form] { return Screen->ActiveForm() == &form; }));
        f.Format();
        f.Open(1, 0);
        ASSERT_TRUE(PumpUntil([&f] { return f.Editor()->Focused(); }));
        Type(*f.Editor(), "x");
        if (nested) {
          random_editing::Insert(*f.Editor(), random_editing::kInsertedRtf[3]);
          TRDEditRDData& cell = f.Editor()->EditData();
          TRDTableItemInfo* inner = nullptr;
          for (int i = 0; i < cell.GetItemCount() && !inner; ++i)
            inner = dynamic_cast<TRDTableItemInfo*>(cell.GetItem(i));
          ASSERT_NE(inner, nullptr);
          ASSERT_TRUE(inner->OpenCellEditor(0, 0, false, false, true, false, false));
          ASSERT_TRUE(PumpUntil([&f] { return f.edit.ActiveEditor().Focused(); }));
          Type(f.edit.ActiveEditor(), "y");
        }
        if (!open) f.edit.CloseInplaceEditor();
        f.edit.DeleteItemRange(first, count);
        f.edit.FormatAfterDeletion();
        f.Settle();
        EXPECT_EQ(f.edit.InplaceEditor(), nullptr);
        EXPECT_EQ(f.data.GetChosenItem(), nullptr);
        TMemoryStream saved;
        SaveRDFToStream(f.data, saved, false);
        results[open] =
            std::string(static_cast<const char*>(saved.Memory()), size_t(saved.Size())) +
            DescribeLayout(f.data) + " undo steps " + std::to_string(f.data.UndoList->Count());
        // Typing goes on in what is left.
        SimulateKey(f.edit, TKeyCode('Z'), "z");
      }
      EXPECT_EQ(results[1], results[0]);
    }
}

TEST(TableCellEditor, TheColoursOfATableInTheEditedCellAreSaved) {
  RegisterRTFInsertion();
  TCellEdit f(1, 2, {"alpha", "beta"});
  f.Open(0, 0);
  random_editing::Insert(*f.Editor(), random_editing::kInsertedRtf[3]);
  f.edit.CloseInplaceEditor();
  TRDTableCellData& outer = *f.table->Cells(0, 0);
  int nested = 0;
  while (nested < outer.GetItemCount() && !dynamic_cast<TRDTableItemInfo*>(outer.GetItem(nested)))
    ++nested;
  ASSERT_LT(nested, outer.GetItemCount());
  outer.CheckItemClass<TRDTableItemInfo>(nested).Cells(0, 1)->Color = TColor(0x123456);
  // The RTF colour table and the nested cell's colour index come through the editor.
  f.Open(0, 0);
  f.Format();
  const std::string open = random_editing::EveryFormat(f.data);
  f.edit.CloseInplaceEditor();
  f.Format();
  const std::string closed = random_editing::EveryFormat(f.data);
  EXPECT_NE(closed.find("\\red86\\green52\\blue18"), std::string::npos);
  size_t at = 0;
  while (at < open.size() && at < closed.size() && open[at] == closed[at]) ++at;
  EXPECT_EQ(open.substr(at, 80), closed.substr(at, 80)) << "at " << at;
}

TEST(TableCellEditor, TablesNestNoDeeperThanADocumentHoldsThem) {
  RegisterRTFInsertion();
  // RTF of tables nested levels deep, the first cell of each holding the next table.
  const auto nested = [](int levels) {
    std::string rtf = "{\\rtf1 ";
    for (int level = 1; level <= levels; ++level)
      rtf += (level == 1 ? "\\trowd\\cellx5000" : "") + std::string("\\pard\\intbl\\itap") +
             std::to_string(level) + " t" + std::to_string(level) + "\\par ";
    for (int level = levels; level >= 2; --level)
      rtf += "\\pard\\intbl\\itap" + std::to_string(level) +
             "\\nestcell{\\*\\nesttableprops\\trowd\\cellx4000\\nestrow}{\\nonesttables\\par}";
    return rtf + "\\pard\\intbl\\itap1\\cell\\row\\pard end}";
  };
  TCellEdit f(1, 1, {"a"});
  f.Open(0, 0);
  // In the cell, a document one level down: the deepest the reader builds is one too many.
  TRDTableInplaceEdit& cell = *f.Editor();
  const auto insert = [&cell](const std::string& rtf) {
    TMemoryStream stream;
    stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
    stream.SetPosition(0);
    return cell.InsertRTFStreamAtCaret(stream);
  };
  EXPECT_FALSE(insert(nested(kMaxDocumentNesting)));
  EXPECT_EQ(TextOf(cell.EditData()), "a");
  auto table = std::make_unique<TRDTableItemInfo>(1, 1, nullptr);
  for (int depth = 1; depth < kMaxDocumentNesting; ++depth) {
    auto outer = std::make_unique<TRDTableItemInfo>(1, 1, nullptr);
    outer->Cells(0, 0)->AddItemAtEnd("", std::move(table));
    table = std::move(outer);
  }
  EXPECT_FALSE(cell.InsertItem(std::move(table), ""));
  EXPECT_TRUE(insert(nested(kMaxDocumentNesting - 1)));
  f.edit.CloseInplaceEditor();
  // Saved, it reads back whole.
  TMemoryStream saved;
  ASSERT_TRUE(f.edit.SaveRDFToStream(saved, false));
  const std::string before = random_editing::EveryFormat(f.data);
  saved.SetPosition(0);
  ASSERT_TRUE(f.edit.LoadRDFFromStream(saved));
  f.Format();
  EXPECT_EQ(random_editing::EveryFormat(f.data), before);
}

TEST(TableCellEditor, ATableInAMergedEditedCellIsLaidOutAsOnceItCloses) {
  RegisterRTFInsertion();
  TCellEdit f(1, 3, {"alpha beta", "gamma", "d"});
  f.table->Rows->MergeCells(0, 1, 2, 1, true, false);
  f.Open(0, 1);
  random_editing::Insert(*f.Editor(), random_editing::kInsertedRtf[3]);
  f.Settle();
  TRDEditRDData& cell = f.Editor()->EditData();
  TRDTableItemInfo* nested = nullptr;
  for (int i = 0; i < cell.GetItemCount(); ++i)
    if (auto* table = dynamic_cast<TRDTableItemInfo*>(cell.GetItem(i))) nested = table;
  ASSERT_NE(nested, nullptr);
  // Wider for its spacing, laid out in the cell's editor and the document: the table around
  // it is not told.
  nested->SetCellHSpacing(5);
  f.Editor()->FormatDocument();
  f.edit.FormatDocument();
  // The nested table's own editor open: the columns around it are those of the closed cell.
  ASSERT_TRUE(nested->OpenCellEditor(0, 0, false, false, true, false, false));
  f.Settle();
  f.data.FormatWhole();
  const std::string open = random_editing::EveryFormat(f.data);
  f.edit.CloseInplaceEditor();
  f.Settle();
  f.data.FormatWhole();
  const std::string closed = random_editing::EveryFormat(f.data);
  size_t at = 0;
  while (at < open.size() && at < closed.size() && open[at] == closed[at]) ++at;
  EXPECT_EQ(open.substr(at, 80), closed.substr(at, 80)) << "at " << at;
}

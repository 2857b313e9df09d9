// Undo of table edits whose records outlive the editors that made them: steps taken from
// the hidden editor that styles selected cells, a cell editor's steps after it closed,
// undo with a table inside an edited cell, and the table's background picture; and a
// closed cell editor leaves no drop caret in its document.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/streams.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/model/item_factory.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"

namespace {

void Settle() {
  for (int round = 0; round < 100; ++round) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::string TextOf(const TCustomRDData& data) {
  std::string text;
  for (int i = 0; i < data.GetItemCount(); ++i) text += data.GetItemTextRaw(i);
  return text;
}

// A cell of two words in two styles, which one style joins into one item.
void SetTwoStyleCell(TRDTableItemInfo& table, int row, int col, int otherStyle) {
  TRDTableCellData& cell = *table.Cells(row, col);
  cell.Clear();
  cell.AddText("plain ", 0, 0);
  auto item = CreateRDItem(otherStyle, &cell);
  item->ParaNo = -1;
  cell.AddItemAtEnd("styled", std::move(item));
}

}  // namespace

// The steps the hidden editor made for each cell live on in the document's list after the
// hidden editor is gone; freeing them (clearing undo, closing the editor) frees every
// record once, and the items they hold are reported to the document that owns them.
TEST(TableUndoOwnership, StepsOfStyledCellsOutliveTheHiddenEditor) {
  TTableEdit f(2, 2, {"a", "b", "c", "d"});
  const int bold = f.style.TextStyles().Count();
  f.style.TextStyles().Add().Style = fsBold;
  SetTwoStyleCell(*f.table, 0, 0, bold);
  SetTwoStyleCell(*f.table, 1, 1, bold);
  f.Format();
  int destroyed = 0;
  f.data.OnItemAction = [&](TCustomRDData*, TRDItemAction action, TCustomRDItemInfo*) {
    destroyed += action == rdiaDestroying;
  };
  f.table->Select(0, 0, 1, 1);
  ASSERT_TRUE(f.edit.ApplyTextStyle(0));
  EXPECT_EQ(TTableDocument::CellText(*f.table->Cells(0, 0)), "plain styled");
  EXPECT_EQ(f.table->Cells(0, 0)->GetItemCount(), 1);
  f.edit.Undo();
  EXPECT_EQ(f.table->Cells(0, 0)->GetItemCount(), 2);
  f.edit.Redo();
  EXPECT_EQ(f.table->Cells(0, 0)->GetItemCount(), 1);
  destroyed = 0;
  f.edit.ClearUndo();
  // The redone joins hold the two "styled" items the joins took out.
  EXPECT_EQ(destroyed, 2);
}

// A table pasted into a cell, the paste undone in the cell, then the step before it undone
// outside (which closes the cell editor first), then typing: nothing of the closed
// editor is reached again, and redo brings it all back.
TEST(TableUndoOwnership, UndoPastTheCellEditorThenTypingReachesNothingItLeft) {
  TTableEdit f(1, 2, {"a", "b"});
  f.table->InsertRows(1, 1, -1, false);
  const std::string grown = DescribeGrid(*f.table);
  ASSERT_TRUE(f.table->OpenCellEditor(0, 0, false, false, true, false, false));
  TRDTableInplaceEdit& cell = *f.table->InplaceEditor;
  const std::string rtf =
      "{\\rtf1\\ansi\\trowd\\cellx1000\\cellx2000\\pard\\intbl x\\cell y\\cell\\row}";
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  ASSERT_TRUE(cell.InsertRTFStreamAtCaret(stream));
  f.edit.Undo();
  Settle();
  f.edit.Undo();
  Settle();
  EXPECT_EQ(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b]");
  SimulateKey(f.edit.ActiveEditor(), 'Z', "z");
  Settle();
  f.edit.Undo();
  Settle();
  f.edit.Redo();
  Settle();
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b]");
  EXPECT_TRUE(f.table->Rows->IsConsistent());
  (void)grown;
}

// Undo in the document while a table inside an edited cell has the typing: the innermost
// editor takes its character back, once.
TEST(TableUndoOwnership, UndoReachesTheTableInsideAnEditedCell) {
  TTableEdit f(1, 2, {"a", "b"});
  TRDTableCellData& outerCell = *f.table->Cells(0, 1);
  outerCell.Clear();
  auto nested = std::make_unique<TRDTableItemInfo>(1, 2, &outerCell);
  TTableDocument::SetCellText(*nested, 0, 0, "in");
  outerCell.AddItemAtEnd("", std::move(nested));
  f.Format();
  ASSERT_TRUE(f.table->OpenCellEditor(0, 1, false, false, false, true, false));
  TRDTableInplaceEdit& outerEditor = *f.table->InplaceEditor;
  auto* inner = dynamic_cast<TRDTableItemInfo*>(outerEditor.EditData().GetItem(0));
  ASSERT_NE(inner, nullptr);
  ASSERT_TRUE(inner->OpenCellEditor(0, 0, false, false, true, false, false));
  SimulateKey(*inner->InplaceEditor, 'X', "x");
  SimulateKey(*inner->InplaceEditor, 'Y', "y");
  EXPECT_EQ(TextOf(inner->InplaceEditor->EditData()), "inxy");
  EXPECT_EQ(f.edit.UndoAction(), rdutTyping);
  f.edit.Undo();
  Settle();
  ASSERT_NE(inner->InplaceEditor, nullptr);
  EXPECT_EQ(TextOf(inner->InplaceEditor->EditData()), "inx");
  // From the outer cell's editor as well.
  outerEditor.Undo();
  EXPECT_EQ(TextOf(inner->InplaceEditor->EditData()), "in");
  f.edit.Redo();
  EXPECT_EQ(TextOf(inner->InplaceEditor->EditData()), "inx");
}

// The table's picture set in an editor: the cell editor's edits are handed to the document
// first, the change is one undo step after them, and the open cell editor is repainted.
TEST(TableUndoOwnership, TheTablePictureIsUndoneAfterTheCellEditsBeforeIt) {
  TTableEdit f(1, 2, {"a", "b"});
  ASSERT_TRUE(f.table->OpenCellEditor(0, 0, false, false, true, false, false));
  SimulateKey(*f.table->InplaceEditor, 'X', "x");
  TBitmap picture;
  picture.SetSize(4, 4);
  f.table->SetBackgroundImage(&picture);
  ASSERT_NE(f.table->GetBackgroundImage(), nullptr);
  EXPECT_NE(f.table->GetBackgroundImage(), &picture);  // a copy
  EXPECT_EQ(f.data.UndoList->Count(), 2);
  EXPECT_EQ(f.edit.UndoAction(), rdutModifyItem);
  // Nothing left in the cell editor: it closes, then the document undoes.
  f.edit.Undo();
  Settle();
  EXPECT_EQ(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(f.table->GetBackgroundImage(), nullptr);
  f.edit.Redo();
  ASSERT_NE(f.table->GetBackgroundImage(), nullptr);
  EXPECT_EQ(f.table->GetBackgroundImage()->Width(), 4);
  f.edit.Undo();
  f.edit.Undo();
  Settle();
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b]");
  // Outside any document the picture is only stored.
  TRDTableItemInfo loose(1, 1, nullptr);
  loose.SetBackgroundImage(&picture);
  EXPECT_NE(loose.GetBackgroundImage(), nullptr);
}

// Keys of cells as sub-document positions: copies, and ordered as the cells are read.
TEST(TableUndoOwnership, CellKeysDuplicateAndCompareInReadingOrder) {
  const TRDTableStoreSubRDData key(2, 3);
  const auto copy = key.Duplicate();
  EXPECT_EQ(copy->GetRow(), 2);
  EXPECT_EQ(copy->GetCol(), 3);
  EXPECT_EQ(key.Compare(*copy), 0);
  EXPECT_LT(key.Compare(TRDTableStoreSubRDData(3, 0)), 0);
  EXPECT_GT(key.Compare(TRDTableStoreSubRDData(2, 1)), 0);
  EXPECT_LT(TRDTableStoreSubRDData(2, 1).Compare(key), 0);
}

// A drag over the cell shows its drop caret in the cell editor's document; the editor
// closing under the drag leaves the caret in no document, not in the one that went.
TEST(TableUndoOwnership, AClosedCellEditorTakesTheDropCaretWithIt) {
  TTableEdit f(1, 2, {"a", "b"});
  ASSERT_TRUE(f.table->OpenCellEditor(0, 0, false, false, true, false, false));
  TRDEditRDData& inner = f.table->InplaceEditor->EditData();
  inner.BeginDragDropCaret();
  TRDDragDropCaretInfo& caret = *f.edit.EditData().DragCaret;
  caret.RDData = &inner;
  caret.ItemNo = 0;
  caret.ItemOffs = 1;
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(caret.RDData, nullptr);
  f.edit.EditData().EndDragDropCaret();
  EXPECT_EQ(f.edit.EditData().DragCaret, nullptr);
}

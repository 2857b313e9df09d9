// What the editor knows of a cell being edited in place (the cell and its table, the
// cell's editor and its document, whose focus counts as the editor's), live spelling of
// the words typed into it, and the cursors over a table's left and top edges that select
// rows and columns.
#include <gtest/gtest.h>

#include <cctype>

#include "platform/test_support/gui_test_support.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"

TEST(TableSubEditing, TheEditorKnowsTheCellItEditsInPlaceUntilItCloses) {
  TTableEdit f(2, 2, {"a", "b", "c", "d"});
  EXPECT_EQ(f.edit.ActiveSubData(), nullptr);
  ASSERT_TRUE(f.table->OpenCellEditor(0, 1, false, false, true, false, false));
  TRDTableInplaceEdit* editor = f.table->InplaceEditor;
  EXPECT_EQ(f.edit.ActiveSubData(), f.table->Cells(0, 1));
  EXPECT_EQ(f.edit.ActiveSubItem(), f.table);
  EXPECT_EQ(f.edit.GetInplaceEditor(), editor);
  EXPECT_EQ(f.edit.GetActiveSubEditingData(), &editor->EditData());
  // Another cell: the first one's editor closes with its content kept.
  ASSERT_TRUE(f.table->OpenCellEditor(1, 0, false, false, true, false, false));
  EXPECT_EQ(f.edit.ActiveSubData(), f.table->Cells(1, 0));
  EXPECT_EQ(f.edit.GetInplaceEditor(), f.table->InplaceEditor);
  // Closing through the editor's bookkeeping puts the content back.
  f.edit.DestroyInplaceEditor();
  EXPECT_EQ(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(f.edit.ActiveSubData(), nullptr);
  EXPECT_EQ(f.edit.ActiveSubItem(), nullptr);
  EXPECT_EQ(f.edit.GetActiveSubEditingData(), nullptr);
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b] / [c],[d]");
}

namespace {

void Type(TWinControl& control, const std::string& text) {
  for (char c : text)
    SimulateKey(control, TKeyCode(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
}

}  // namespace

// The words of a cell are checked in its editor while it is open, as they are typed and
// corrected; the marks stay with the words when the editor closes.
TEST(TableSubEditing, WordsTypedIntoAnOpenCellAreCheckedAtOnce) {
  TTableEdit f(1, 2, {"fine", "celll"});
  f.edit.OnSpellingCheck = [](const std::string& word, int) {
    return word == "celll" || word == "wrod" || word == "tabel";
  };
  f.edit.StartLiveSpelling();
  CheckSpelling(f.edit);
  EXPECT_EQ(MarkedWords(*f.table->Cells(0, 1)), std::multiset<std::string>{"celll"});
  ASSERT_TRUE(f.table->OpenCellEditor(0, 0, false, false, true, false, false));
  TRDTableInplaceEdit* editor = f.table->InplaceEditor;
  Type(*editor, " wrod tabel ");
  CheckSpelling(f.edit);
  EXPECT_EQ(MarkedWords(editor->EditData()), (std::multiset<std::string>{"wrod", "tabel"}));
  // Correcting a word takes its mark away.
  for (int i = 0; i < 6; ++i) SimulateKey(*editor, VK_BACK);
  Type(*editor, "table ");
  CheckSpelling(f.edit);
  EXPECT_EQ(MarkedWords(editor->EditData()), std::multiset<std::string>{"wrod"});
  // Another cell's editor: the first cell keeps its marks, the new one is checked live.
  ASSERT_TRUE(f.table->OpenCellEditor(0, 1, false, false, true, false, false));
  EXPECT_EQ(MarkedWords(*f.table->Cells(0, 0)), std::multiset<std::string>{"wrod"});
  Type(*f.table->InplaceEditor, " tabel.");
  CheckSpelling(f.edit);
  EXPECT_EQ(MarkedWords(f.table->InplaceEditor->EditData()),
            (std::multiset<std::string>{"celll", "tabel"}));
  f.edit.DestroyInplaceEditor();
  EXPECT_EQ(MarkedWords(*f.table->Cells(0, 1)), (std::multiset<std::string>{"celll", "tabel"}));
  f.edit.StopLiveSpelling();
  EXPECT_TRUE(MarkedWords(*f.table->Cells(0, 0)).empty());
}

TEST(TableSubEditing, TheEdgesShowTheRowAndColumnCursors) {
  TTableEdit f(2, 3, {});
  const TRDTableItemFormattingInfo& info = *f.table->FormattingInfo;
  TPoint p = f.ClientOfTable(0, info.RowStarts[1] + 3);
  SimulateMouseMove(f.edit, p.X, p.Y);
  EXPECT_EQ(f.edit.Cursor(), crRDSelectRow);
  EXPECT_TRUE(ShowsPictureCursor(f.edit));
  p = f.ClientOfTable(info.ColStarts[2] + 3, 0);
  SimulateMouseMove(f.edit, p.X, p.Y);
  EXPECT_EQ(f.edit.Cursor(), crRDSelectCol);
  EXPECT_TRUE(ShowsPictureCursor(f.edit));
}

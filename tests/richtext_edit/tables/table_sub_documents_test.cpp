// The cells of a table as documents of the document around it: a cell of a table inside
// another table's cell is edited through both cell editors, and a table's cells learn
// that they are in a document when the table arrives there.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <iterator>

#include "platform/gui/standard/edit.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/control_item.h"
#include "richtext_edit/edit/random_editing.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"

namespace {

void Type(TWinControl& control, const std::string& text) {
  for (char c : text)
    SimulateKey(control, TKeyCode(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
}

std::string RDFBytes(TCustomRDData& data) {
  TMemoryStream stream;
  SaveRDFToStream(data, stream, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// A 1 x 2 table whose right cell holds a 2 x 2 table.
struct TNested : TTableEdit {
  TRDTableItemInfo* inner = nullptr;
  TNested() : TTableEdit(1, 2, {"a", ""}) {
    TRDTableCellData& host = *table->Cells(0, 1);
    auto made = std::make_unique<TRDTableItemInfo>(2, 2, &host);
    inner = made.get();
    const char* texts[] = {"w", "x", "y", "z"};
    for (int i = 0; i < 4; ++i) TTableDocument::SetCellText(*inner, i / 2, i % 2, texts[i]);
    host.Clear();
    host.AddItemAtEnd("", std::move(made));
    Format();
  }
};

}  // namespace

TEST(TableSubDocuments, ACellOfANestedTableIsEditedThroughTheOuterCellsEditor) {
  TNested f;
  f.inner->EditCell(1, 1, false);
  ASSERT_NE(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(f.table->InplaceEditor->Col(), 1);
  ASSERT_NE(f.inner->InplaceEditor, nullptr);
  EXPECT_EQ(f.inner->InplaceEditor->Row(), 1);
  EXPECT_EQ(f.inner->InplaceEditor->Col(), 1);
  EXPECT_EQ(&f.edit.ActiveEditor(), f.inner->InplaceEditor);
  // The inner editor lies inside the outer one, over its cell.
  EXPECT_EQ(&f.inner->InplaceEditor->Outer(), f.table->InplaceEditor);
  EXPECT_EQ(f.inner->InplaceEditor->Width(), f.inner->Cells(1, 1)->Width);

  Type(*f.inner->InplaceEditor, "qr");
  // Closing the outer editor closes the inner one first: nothing typed is lost.
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(f.inner->InplaceEditor, nullptr);
  EXPECT_EQ(DescribeGrid(*f.inner), "[w],[x] / [y],[qrz]");
  EXPECT_EQ(DescribeGrid(*f.table).substr(0, 8), "[a],[]");
  // The typing comes back out through the document's undo, one character at a time.
  for (int i = 0; i < 20 && DescribeGrid(*f.inner) != "[w],[x] / [y],[z]"; ++i) {
    f.edit.ActiveEditor().Undo();
    SettleEditors(f.edit);
  }
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.inner), "[w],[x] / [y],[z]");

  // A refused outer cell keeps the inner one closed too.
  f.table->OnCellEditing = [](TRDTableItemInfo*, int, int col, bool, bool& allow) {
    allow = col != 1;
  };
  f.inner->EditCell(0, 0, false);
  EXPECT_EQ(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(f.inner->InplaceEditor, nullptr);
  // Opened by the program, the outer cell's refusal does not count.
  f.inner->EditCell(0, 0, true);
  ASSERT_NE(f.inner->InplaceEditor, nullptr);
  f.edit.CloseInplaceEditor();
}

TEST(TableSubDocuments, ATableInACellItsTableDoesNotKnowIsAnInternalError) {
  TTableEdit f(1, 1, {"a"});
  // A cell that claims a row of the table without being one of its cells.
  TRDTableCellData stray(f.table->Rows->Items(0));
  auto made = std::make_unique<TRDTableItemInfo>(1, 1, &stray);
  TRDTableItemInfo& lost = *made;
  stray.AddItemAtEnd("", std::move(made));
  try {
    lost.EditCell(0, 0, false);
    FAIL() << "no error";
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Internal error");
  }
  EXPECT_EQ(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(lost.InplaceEditor, nullptr);
}

TEST(TableSubDocuments, TheCellsItemsArriveInTheDocumentWithTheTable) {
  TTableEdit f(1, 1, {"a"});
  std::vector<std::pair<TRDItemAction, std::string>> actions;
  auto table = std::make_unique<TRDTableItemInfo>(1, 2, &f.data);
  TRDTableItemInfo& added = *table;
  TTableDocument::SetCellText(added, 0, 0, "in");
  // A cell left without items gets an empty line.
  added.Cells(0, 1)->Clear();
  f.data.OnItemAction = [&](TCustomRDData* sender, TRDItemAction action, TCustomRDItemInfo* item) {
    EXPECT_EQ(sender, &f.data);
    if (item == added.Cells(0, 0)->GetItem(0)) actions.emplace_back(action, "in");
  };
  f.data.AddItemAtEnd("", std::move(table));
  EXPECT_EQ(added.Cells(0, 1)->GetItemCount(), 1);
  const std::vector<std::pair<TRDItemAction, std::string>> expected = {{rdiaInserting, "in"},
                                                                       {rdiaInserted, "in"}};
  EXPECT_EQ(actions, expected);
  // Only the first arrival is an insertion of the cells' items.
  actions.clear();
  added.NotifyDataEx(&f.data);
  EXPECT_TRUE(actions.empty());
  f.data.OnItemAction = nullptr;
}

namespace {

// The positions a walk over the cells visits, "row,col" each.
std::string Walk(TRDTableItemInfo& table, int firstKind, int stepKind) {
  std::string out;
  std::unique_ptr<TRDStoreSubRDData> at;
  for (TCustomRDData* cell = table.GetSubDocument(at, firstKind); cell;
       cell = table.GetSubDocument(at, stepKind)) {
    EXPECT_EQ(cell, table.Cells(at->GetRow(), at->GetCol()));
    out += std::to_string(at->GetRow()) + "," + std::to_string(at->GetCol()) + " ";
  }
  return out;
}

}  // namespace

TEST(TableSubDocuments, TheCellsAreWalkedInReadingOrderOverMergedCells) {
  TTableDocument doc;
  doc.SetOptions(doc.GetOptions() | rdoAllowSelection);
  TRDTableItemInfo& table = doc.AddTable(3, 3);
  // (0,1) over two columns, (1,0) over two rows; (2,2) is the last slot.
  table.Rows->MergeCells(0, 1, 2, 1, true, false);
  table.Rows->MergeCells(1, 0, 1, 2, true, false);
  EXPECT_EQ(Walk(table, 0, 4), "0,0 0,1 1,0 1,1 1,2 2,1 2,2 ");
  EXPECT_EQ(Walk(table, 1, 5), "2,2 2,1 1,2 1,1 1,0 0,1 0,0 ");
  // A last slot covered from the left: the walk back starts at the cell before it.
  table.Rows->MergeCells(2, 1, 2, 1, true, false);
  std::unique_ptr<TRDStoreSubRDData> at;
  ASSERT_NE(table.GetSubDocument(at, 1), nullptr);
  EXPECT_EQ(at->GetRow(), 2);
  EXPECT_EQ(at->GetCol(), 1);
  // The selection's ends, else the chosen cell, else nothing.
  at.reset();
  EXPECT_EQ(table.GetSubDocument(at, 2), nullptr);
  EXPECT_EQ(at, nullptr);
  table.ChooseCell(1, 2);
  ASSERT_NE(table.GetSubDocument(at, 3), nullptr);
  EXPECT_EQ(at->GetCol(), 2);
  doc.Format();
  // Selected from (1,2) back to (1,1); the end is the cell at the bottom right.
  table.Select(1, 2, -1, 0);
  EXPECT_EQ(Walk(table, 3, 4), "1,1 1,2 2,1 ");
  ASSERT_NE(table.GetSubDocument(at, 2), nullptr);
  EXPECT_EQ(at->GetRow(), 1);
  EXPECT_EQ(at->GetCol(), 2);
  // Over the whole table the end is the cell covering the last slot.
  table.Select(0, 0, 2, 2);
  ASSERT_NE(table.GetSubDocument(at, 2), nullptr);
  EXPECT_EQ(at->GetRow(), 2);
  EXPECT_EQ(at->GetCol(), 1);
  // Past the end no row is added.
  at = std::make_unique<TRDTableStoreSubRDData>(2, 1);
  EXPECT_EQ(table.GetSubDocument(at, 4), nullptr);
  EXPECT_EQ(table.RowCount(), 3);
}

TEST(TableSubDocuments, AChosenCellKeepsItsSelectionInAViewerAndOpensInAnEditor) {
  // A viewer: the chosen cell keeps the selection made in it.
  TTableDocument viewer;
  viewer.AddText("before", 0, 0);
  TRDTableItemInfo& shown = viewer.AddTable(1, 2, {"abc", "def"});
  viewer.Format();
  TRDTableCellData& cell = *shown.Cells(0, 1);
  cell.SetSelectionBounds(0, 2, 0, 4);
  viewer.SetSelectionBounds(0, 1, 0, 3);
  shown.EditCell(0, 1, false);
  EXPECT_EQ(shown.ChosenRow, 0);
  EXPECT_EQ(shown.ChosenCol, 1);
  EXPECT_EQ(viewer.PartialSelectedItem, 1);
  EXPECT_FALSE(viewer.HasSelection());
  EXPECT_EQ(SelectedText(cell, false), "ef");
  shown.UnchooseCell();
  EXPECT_EQ(shown.ChosenRow, -1);
  EXPECT_FALSE(cell.HasSelection());

  // An editor opens the chosen cell with the selection it had.
  TTableEdit f(1, 2, {"abc", "def"});
  f.table->Cells(0, 0)->SetSelectionBounds(0, 1, 0, 3);
  f.table->ChooseCell(0, 0);
  ASSERT_NE(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(f.table->ChosenCol, 0);
  EXPECT_EQ(SelectedText(f.table->InplaceEditor->EditData(), false), "ab");
  // Typing replaces it.
  SimulateKey(*f.table->InplaceEditor, TKeyCode('Z'), "z");
  f.table->UnchooseCell();
  EXPECT_EQ(f.table->InplaceEditor, nullptr);
  EXPECT_EQ(f.table->ChosenRow, -1);
  EXPECT_EQ(DescribeGrid(*f.table), "[zc],[def]");
}

TEST(TableSubDocuments, TheWordsOfTheCellsOneAfterAnother) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2, {"one two", "", "three", "four, five"});
  table.Cells(0, 1)->AddText("six", 0, 0);
  auto words = [&](bool forward, int limit) {
    std::string out;
    TRDTableWord word;
    for (int i = 0; i < limit && table.GetNextWord(forward, word); ++i)
      out += word.Cell->GetItemTextRaw(word.ItemNo)
                 .substr(size_t(word.Start - 1), size_t(word.Length)) +
             " ";
    return out;
  };
  // Cell (0,1) holds an empty line before "six".
  EXPECT_EQ(words(true, 100), "one two six three four five ");
  EXPECT_EQ(table.IterRow, -1);
  EXPECT_EQ(words(false, 100), "five four three six two one ");
  // Stopped midway, the next walk starts again from the first cell.
  EXPECT_EQ(words(true, 3), "one two six ");
  EXPECT_EQ(table.IterRow, 0);
  EXPECT_EQ(table.IterCol, 1);
  table.StopWordIteration();
  EXPECT_EQ(words(true, 1), "one ");
  TRDTableWord word;
  ASSERT_TRUE(table.GetNextWord(true, word));
  EXPECT_EQ(word.Cell, table.Cells(0, 0));
  EXPECT_EQ(word.Start, 5);
  EXPECT_EQ(word.Length, 3);
}

TEST(TableSubDocuments, TheCellUnderAPointAndTheCellHoldingAnItem) {
  TNested f;
  const TRDTableCellData& right = *f.table->Cells(0, 1);
  int x = right.Left() + 3, y = right.Top + 3;
  EXPECT_EQ(f.table->GetSubDocAt(x, y), &right);
  EXPECT_EQ(x, 3 - f.table->CellPadding());
  // On the table's outer edge no cell is hit.
  x = y = 0;
  EXPECT_EQ(f.table->GetSubDocAt(x, y), nullptr);
  // An item of a cell of the nested table is found in the outer cell that holds it.
  const TCustomRDItemInfo* deep = f.inner->Cells(1, 0)->GetItem(0);
  int row, col, itemNo;
  ASSERT_TRUE(f.table->FindCellOfData(deep, row, col, itemNo));
  EXPECT_EQ(row, 0);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(itemNo, 0);
  ASSERT_TRUE(f.inner->FindCellOfData(deep, row, col, itemNo));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 0);
  // Also while the cell's items are in its editor.
  f.inner->EditCell(1, 0, false);
  ASSERT_TRUE(f.table->FindCellOfData(deep, row, col, itemNo));
  EXPECT_EQ(col, 1);
  EXPECT_TRUE(f.table->IsInplaceEditorControl(f.table->InplaceEditor));
  EXPECT_FALSE(f.table->IsInplaceEditorControl(f.inner->InplaceEditor));
  EXPECT_FALSE(f.table->FindCellOfData(f.data.GetItem(0), row, col, itemNo));
  EXPECT_EQ(row, -1);
  f.edit.CloseInplaceEditor();
  // Row tops, and the height past the last row.
  EXPECT_EQ(f.inner->GetRowTop(0), f.inner->FormattingInfo->RowStarts[0]);
  EXPECT_EQ(f.inner->GetRowTop(2), f.inner->FormattingInfo->Height);
}

TEST(TableSubDocuments, TheCellsItemsGoToTheUndoListWithTheTable) {
  TTableEdit f(1, 2, {"in", "out"});
  std::vector<TRDItemAction> actions;
  const TCustomRDItemInfo* inCell = f.table->Cells(0, 0)->GetItem(0);
  f.data.OnItemAction = [&](TCustomRDData*, TRDItemAction action, TCustomRDItemInfo* item) {
    if (item == inCell) actions.push_back(action);
  };
  const std::string before = DescribeGrid(*f.table);
  // The table alone selected and deleted.
  f.data.SetSelectionBounds(1, 0, 1, 1);
  ASSERT_TRUE(f.edit.DeleteSelection());
  ASSERT_EQ(f.data.GetItemNo(f.table), -1);
  EXPECT_EQ(actions, std::vector<TRDItemAction>{rdiaMovingToUndoList});
  f.edit.Undo();
  ASSERT_EQ(f.data.GetItemNo(f.table), 1);
  EXPECT_EQ(DescribeGrid(*f.table), before);
  f.data.OnItemAction = nullptr;
}

TEST(TableSubDocuments, ATableOwnsTheControlsOfItsCellsAndOfTablesInThem) {
  TNested f;
  auto box = std::make_unique<TEdit>(nullptr);
  box->SetBounds(0, 0, 40, 20);
  TEdit* control = box.get();
  TRDTableCellData& deep = *f.inner->Cells(0, 1);
  deep.AddItemAtEnd("", TRDControlItemInfo::CreateWithControl(&deep, std::move(box), rdvaBaseline));
  TEdit stranger(nullptr);
  EXPECT_TRUE(f.inner->OwnsControl(control));
  EXPECT_TRUE(f.table->OwnsControl(control));
  EXPECT_FALSE(f.table->OwnsControl(&stranger));
  EXPECT_FALSE(f.table->OwnsControl(nullptr));
  // Its cell being edited, the control is in the editors and still the table's.
  f.inner->EditCell(0, 1, false);
  ASSERT_NE(f.inner->InplaceEditor, nullptr);
  EXPECT_TRUE(f.table->OwnsControl(control));
  EXPECT_FALSE(f.table->OwnsControl(f.inner->InplaceEditor));
  EXPECT_TRUE(f.inner->IsInplaceEditorControl(f.inner->InplaceEditor));
  f.edit.CloseInplaceEditor();
}

TEST(TableSubDocuments, ATableInARowColumnOrCellsThatUndoRestoresIsInTheDocumentAgain) {
  const std::function<void(TRDTableItemInfo&)> changes[] = {
      [](TRDTableItemInfo& table) { table.DeleteRows(0, 1, false); },
      [](TRDTableItemInfo& table) { table.DeleteCols(1, 1, false); },
      [](TRDTableItemInfo& table) {
        table.Select(0, 0, 1, 0);
        table.ClearSelectedCells();
      }};
  for (size_t k = 0; k < std::size(changes); ++k) {
    TNested f;
    const std::string before = RDFBytes(f.data);
    changes[k](*f.table);
    f.edit.Undo();
    SettleEditors(f.edit);
    // The inner table's cells reach the style sheet again: every writer needs it.
    EXPECT_NE(f.inner->Cells(0, 0)->GetRDStyle(), nullptr) << k;
    EXPECT_EQ(RDFBytes(f.data), before) << k;
    random_editing::EveryFormat(f.data);
    f.inner->EditCell(0, 0, false);
    Type(f.edit.ActiveEditor(), "v");
    f.edit.CloseInplaceEditor();
    EXPECT_EQ(DescribeGrid(*f.inner), "[vw],[x] / [y],[z]") << k;
  }
}

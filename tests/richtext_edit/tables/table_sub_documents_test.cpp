// The cells of a table as documents of the document around it: a cell of a table inside
// another table's cell is edited through both cell editors, and a table's cells learn
// that they are in a document when the table arrives there.
#include <gtest/gtest.h>

#include <cctype>

#include "platform/gui/gui_test_support.h"
#include "platform/sys/pump.h"
#include "richtext/rich_doc_error.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"

namespace {

void Type(TWinControl& control, const std::string& text) {
  for (char c : text)
    SimulateKey(control, TKeyCode(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
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
    PumpFor(40);
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

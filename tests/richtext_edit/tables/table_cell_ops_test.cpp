// Operations on the selected cells of a table in an editor: clearing and merging them
// with undo, and saving them as a table record of their own that reads back, also as
// rows of an existing table.
#include <gtest/gtest.h>

#include "platform/text/streams.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext/styles/style_template.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_stream.h"

namespace {

// The component block of a table record written in the text flavour: its last line.
std::string ComponentBlockOf(TMemoryStream& stream) {
  std::string text(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  std::string bytes;
  HexToString(text.substr(text.find_last_of('\n') + 1), bytes);
  return bytes;
}

}  // namespace

TEST(TableCellOps, ClearingAndMergingSelectedCellsUndoAsOneStepEach) {
  TTableEdit f(2, 3, {"a", "b", "c", "d", "e", "f"});
  EXPECT_FALSE(f.table->CanClearSelectedCells());
  f.table->Select(0, 1, 1, 1);
  ASSERT_TRUE(f.table->CanClearSelectedCells());
  // A cell the application keeps out of editing is left as it is.
  f.table->OnCellEditing = [](TRDTableItemInfo*, int row, int col, bool, bool& allow) {
    allow = !(row == 1 && col == 2);
  };
  EXPECT_FALSE(f.table->CanClearSelectedCells());
  std::string before = DescribeGrid(*f.table);
  f.table->ClearSelectedCells();
  std::string after = DescribeGrid(*f.table);
  EXPECT_EQ(after, "[a],[],[] / [d],[],[f]");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.ExpectUndoRedo(before, after);
  f.table->OnCellEditing = nullptr;

  before = after;
  f.table->MergeCellsWithUndo(0, 0, 2, 2, true);
  after = DescribeGrid(*f.table);
  EXPECT_EQ(after.substr(0, 11), "[a|d]2x2,-,");
  EXPECT_EQ(f.data.UndoList->Count(), 2);
  f.ExpectUndoRedo(before, after);
}

TEST(TableCellOps, TheSelectionSavesAsATableOfItsOwnWithMergedCellsWhole) {
  TTableEdit f(4, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"});
  // A cell over columns 1 and 2 crosses the selection's right edge.
  f.table->Rows->MergeCells(1, 1, 2, 1, true, false);
  f.Format();
  f.table->Select(1, 0, 1, 1);
  f.edit.RDFOptions &= ~rdfoSaveBinary;
  TMemoryStream stream;
  f.table->SaveRDFSelection(stream, &f.data, 1, "", false);
  TTableDocument read;
  TRDTableItemInfo& copy = read.AddTable(1, 1);
  TableFromComponentBytes(copy, ComponentBlockOf(stream));
  // Rows 1 and 2, columns 0 to 2: the merged cell comes whole, the cell below it that
  // was not selected comes empty.
  EXPECT_EQ(DescribeGrid(copy), "[d],[e|f]2x1,- / [g],[h],[]");
  EXPECT_TRUE(copy.Rows->IsConsistent());
  EXPECT_EQ(f.table->SaveInfo, nullptr);

  // The saved rows read into an existing table at a row-group boundary.
  TTableDocument doc;
  TRDTableItemInfo& target = doc.AddTable(2, 3, {"1", "2", "3", "4", "5", "6"});
  ReadRowsFromComponentBytes(target, 1, ComponentBlockOf(stream));
  EXPECT_EQ(DescribeGrid(target), "[1],[2],[3] / [d],[e|f]2x1,- / [g],[h],[] / [4],[5],[6]");
  EXPECT_TRUE(target.Rows->IsConsistent());
  // Not inside a merged cell, not more columns than the table has, not past its end.
  target.Rows->MergeCells(0, 0, 1, 2, true, false);
  const std::string kept = DescribeGrid(target);
  EXPECT_THROW(ReadRowsFromComponentBytes(target, 1, ComponentBlockOf(stream)), ERichDocError);
  EXPECT_THROW(ReadRowsFromComponentBytes(target, 9, ComponentBlockOf(stream)), ERichDocError);
  TRDTableItemInfo narrow(1, 1, nullptr);
  EXPECT_THROW(ReadRowsFromComponentBytes(narrow, 1, ComponentBlockOf(stream)), EReadError);
  EXPECT_THROW(ReadRowsFromComponentBytes(target, 0, "garbage"), EReadError);
  EXPECT_EQ(DescribeGrid(target), kept);
  EXPECT_EQ(DescribeGrid(narrow), "[]");
}

TEST(TableCellOps, StylesGoToTheSelectedCellsAndComeBackCellByCell) {
  TTableEdit f(2, 2, {"a", "b", "c", "d"});
  f.table->Select(0, 1, 0, 1);
  auto styles = [&] {
    std::string out;
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 2; ++c) out += std::to_string(f.table->Cells(r, c)->GetItem(0)->StyleNo);
    return out;
  };
  EXPECT_EQ(styles(), "0000");
  // Through the document, whose partly selected item is the table: a conversion by the
  // handler, one undo step.
  f.edit.StyleConversionHandler = [](TCustomRichDocEdit*, int, int, int userData, bool,
                                     int& newStyleNo, bool) { newStyleNo = userData; };
  f.data.ApplyTextStyleConversion(1, 2, false);
  EXPECT_EQ(styles(), "0101");
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b] / [c],[d]");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.edit.Undo();
  EXPECT_EQ(styles(), "0000");
  f.edit.Redo();
  EXPECT_EQ(styles(), "0101");
  f.edit.Undo();
  // Undo deselects, the selected cells too.
  EXPECT_FALSE(f.table->HasPartialSelection());
  f.table->Select(0, 1, 0, 1);
  f.edit.StyleConversionHandler = nullptr;
  f.table->ApplyToCells(0, 1, true);
  EXPECT_EQ(styles(), "0101");
  // A refused cell keeps its style; the paragraph style of every cell.
  f.table->OnCellEditing = [](TRDTableItemInfo*, int row, int, bool, bool& allow) {
    allow = row == 0;
  };
  f.data.BeginUndoStep(rdutPara, false);
  f.table->ApplyToCells(1, f.readOnlyPara, false);
  EXPECT_EQ(f.table->Cells(0, 0)->GetItem(0)->ParaNo, f.readOnlyPara);
  EXPECT_EQ(f.table->Cells(1, 0)->GetItem(0)->ParaNo, 0);
  f.edit.Undo();
  EXPECT_EQ(f.table->Cells(0, 0)->GetItem(0)->ParaNo, 0);
}

TEST(TableCellOps, StyleTemplatesReachEveryCellAndAskPermissionOnce) {
  TTableEdit f(2, 2, {"a", "b", "c", "d"});
  TRDStyleTemplate& red = f.style.StyleTemplates().Add();
  red.TextStyle().Color = clRed;
  red.ValidTextProperties = RDFontProp(rdfiColor);
  red.ParaStyle().Alignment = rdaCenter;
  red.ValidParaProperties1 = RDParaProps({rdpiAlignment}).Props1;
  const int texts = f.style.TextStyles().Count();
  const int paras = f.style.ParaStyles().Count();
  int asked = 0;
  f.edit.OnChanging = [&](TCustomRichDocEdit*, bool&) { ++asked; };
  auto cellStyles = [&] {
    std::string out;
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 2; ++c) {
        const TCustomRDItemInfo& item = *f.table->Cells(r, c)->GetItem(0);
        out += std::to_string(item.StyleNo) + "/" + std::to_string(item.ParaNo) + " ";
      }
    return out;
  };
  const std::string plain = cellStyles();
  EXPECT_EQ(plain, "0/0 0/0 0/0 0/0 ");

  // The whole document selected: the text around the table and every cell.
  f.data.SelectAll();
  ASSERT_TRUE(f.edit.ApplyTextStyleTemplate(0, false));
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(f.style.TextStyles().Count(), texts + 1);
  EXPECT_EQ(f.style.TextStyles()[texts].Color, clRed);
  const std::string red0 = std::to_string(texts) + "/0 ";
  EXPECT_EQ(cellStyles(), red0 + red0 + red0 + red0);
  EXPECT_EQ(f.data.GetItem(0)->StyleNo, texts);
  f.edit.Undo();
  EXPECT_EQ(cellStyles(), plain);
  EXPECT_EQ(f.data.GetItem(0)->StyleNo, 0);

  // Selected cells only (the right column), paragraph template.
  asked = 0;
  f.table->Select(0, 1, 0, 1);
  ASSERT_TRUE(f.edit.ApplyParaStyleTemplate(0));
  // The editor's question and the table's for its selected cells, not one a cell.
  EXPECT_EQ(asked, 2);
  ASSERT_EQ(f.style.ParaStyles().Count(), paras + 1);
  EXPECT_EQ(f.style.ParaStyles()[paras].Alignment, rdaCenter);
  const std::string centred = "0/" + std::to_string(paras) + " ";
  EXPECT_EQ(cellStyles(), "0/0 " + centred + "0/0 " + centred);
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.edit.Undo();
  EXPECT_EQ(cellStyles(), plain);
  f.edit.Redo();
  EXPECT_EQ(cellStyles(), "0/0 " + centred + "0/0 " + centred);

  // Called on the table itself, with a cell the application keeps out.
  f.table->OnCellEditing = [](TRDTableItemInfo*, int row, int col, bool, bool& allow) {
    allow = row != 1 || col != 1;
  };
  f.table->Select(0, 0, 1, 1);
  f.table->ApplyToCells(4, 0, true);
  const std::string redCentred = std::to_string(texts) + "/" + std::to_string(paras) + " ";
  EXPECT_EQ(cellStyles(), red0 + redCentred + red0 + centred);
  f.edit.Undo();
  EXPECT_EQ(cellStyles(), "0/0 " + centred + "0/0 " + centred);
}

TEST(TableCellOps, AConversionReachesTheCellsOfATableInsideAnEditedCell) {
  TTableEdit f(1, 2, {"a", ""});
  TRDTableCellData& host = *f.table->Cells(0, 1);
  auto made = std::make_unique<TRDTableItemInfo>(2, 1, &host);
  TRDTableItemInfo& nested = *made;
  TTableDocument::SetCellText(nested, 0, 0, "x");
  TTableDocument::SetCellText(nested, 1, 0, "y");
  host.Clear();
  host.AddItemAtEnd("", std::move(made));
  f.Format();
  ASSERT_TRUE(f.table->OpenCellEditor(0, 1, false, false, false, false, false));
  TCustomRichDocEdit& cellEditor = *f.table->InplaceEditor;
  nested.Select(0, 0, 0, 1);
  // The cell editor runs the conversion with its own handler; the root editor has none.
  cellEditor.StyleConversionHandler = [](TCustomRichDocEdit*, int, int, int userData, bool,
                                         int& newStyleNo, bool) { newStyleNo = userData; };
  cellEditor.EditData().ApplyTextStyleConversion(1, 2, false);
  EXPECT_EQ(nested.Cells(0, 0)->GetItem(0)->StyleNo, 1);
  EXPECT_EQ(nested.Cells(1, 0)->GetItem(0)->StyleNo, 1);
}

TEST(TableCellOps, SavedSelectedCellsPasteAsATableAlsoIntoACell) {
  TTableEdit f(2, 3, {"a", "b", "c", "d", "e", "f"});
  f.edit.RDFOptions &= ~rdfoSaveBinary;
  f.table->Select(0, 1, 1, 1);
  TMemoryStream saved;
  f.table->SaveRDFSelection(saved, &f.data, 1, "", false);
  f.table->Deselect();
  const std::string before = DescribeDocument(f.data);

  // After the last paragraph: a table of the selected cells, taken back by one undo.
  f.data.PlaceCaretAtItem(2, 6, false);
  saved.SetPosition(0);
  ASSERT_TRUE(f.edit.InsertRDFStreamAtCaret(saved));
  auto* pasted = dynamic_cast<TRDTableItemInfo*>(f.data.GetItem(f.data.GetItemCount() - 1));
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(DescribeGrid(*pasted), "[b],[c] / [e],[f]");
  EXPECT_TRUE(pasted->IsInEditor());
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);

  // Into a cell being edited: a table inside the cell, which the cell keeps.
  ASSERT_TRUE(f.table->OpenCellEditor(1, 0, false, false, true, false, false));
  saved.SetPosition(0);
  ASSERT_TRUE(f.edit.InsertRDFStreamAtCaret(saved));
  f.edit.CloseInplaceEditor();
  const TRDTableCellData& host = *f.table->Cells(1, 0);
  TRDTableItemInfo* nested = nullptr;
  for (int i = 0; i < host.GetItemCount() && !nested; ++i)
    nested = dynamic_cast<TRDTableItemInfo*>(host.GetItem(i));
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(DescribeGrid(*nested), "[b],[c] / [e],[f]");
  EXPECT_TRUE(f.table->Rows->IsConsistent());
}

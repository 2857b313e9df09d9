// Numbered paragraphs in table cells count in document order with those around the table:
// when the cells were filled before the table went in, when a document file brings the
// table back (nested tables included), and through every grid change of an editor, its
// undo and its redo, while the undo list keeps or frees the cells that went.
#include <gtest/gtest.h>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/sys/child_process.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/streams.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/table_budget.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/styles/list_style.h"
#include "richtext_edit/edit/support/edit_fixture.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/support/marker_order.h"
#include "richtext_edit/tables/html_grid.h"
#include "richtext_edit/tables/table_document.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "support/office_convert.h"
#include "support/scratch_files.h"

namespace {

void AddDecimalList(TRDStyle& sheet) {
  TRDListLevel& level = sheet.ListStyles().Add().AddLevel();
  level.ListType = rdlstDecimal;
  level.FormatString = "%0:s.";
}

// A numbered paragraph at the end of data (a cell: its first paragraph replaces the
// empty text a new cell holds).
void AddNumbered(TCustomRDData& data, const std::string& text) {
  if (data.GetItemCount() == 1 && data.GetItem(0)->StyleNo >= 0 && data.GetItemTextRaw(0).empty())
    data.Clear();
  data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&data, 0, 0, 1, false));
  data.AddText(text, 0, -1);
}

// A table of rows x cols cells, each numbered with its text ("" leaves a cell plain),
// filled before it goes into a document.
std::unique_ptr<TRDTableItemInfo> NumberedTable(TCustomRDData& document, int rows, int cols,
                                                const std::vector<std::string>& texts) {
  auto table = std::make_unique<TRDTableItemInfo>(rows, cols, &document);
  for (size_t i = 0; i < texts.size(); ++i)
    if (!texts[i].empty()) AddNumbered(*table->Cells(int(i) / cols, int(i) % cols), texts[i]);
  return table;
}

std::string SavedRDF(TCustomRDData& document, TRDFOptions options) {
  document.SetRDFOptions(options);
  TMemoryStream stream;
  SaveRDFToStream(document, stream, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

bool LoadRDF(TCustomRDData& document, const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  stream.SetPosition(0);
  return LoadRDFFromStream(document, stream);
}

TEST(TableCellMarkers, CellsFilledBeforeTheTableGoesInAndReadBackFromAFile) {
  TTableDocument doc;
  AddDecimalList(doc.style);
  AddNumbered(doc, "zero");
  std::unique_ptr<TRDTableItemInfo> table = NumberedTable(doc, 2, 2, {"a", "b", "", "d"});
  // A table in the second cell of the first row, with a numbered cell of its own.
  TRDTableCellData& outer = *table->Cells(0, 1);
  outer.AddItemAtEnd("", NumberedTable(outer, 1, 2, {"inner1", "inner2"}));
  AddNumbered(outer, "b2");
  doc.AddItemAtEnd("", std::move(table));
  AddNumbered(doc, "after");
  const std::string expected = "zero=1. a=2. b=3. inner1=4. inner2=5. b2=6. d=7. after=8.";
  EXPECT_EQ(MarkerNumbering(doc), expected);
  EXPECT_TRUE(MarkersListedInOrder(doc));

  for (const TRDFOptions flavour : {TRDFOptions(0), TRDFOptions(rdfoSaveBinary)}) {
    TTableDocument read;
    AddDecimalList(read.style);
    ASSERT_TRUE(LoadRDF(read, SavedRDF(doc, flavour)));
    EXPECT_EQ(MarkerNumbering(read), expected) << flavour;
    EXPECT_TRUE(MarkersListedInOrder(read)) << flavour;
    // Read into a document that already holds a numbered paragraph, in front of it.
    TTableDocument inserted;
    AddDecimalList(inserted.style);
    AddNumbered(inserted, "last");
    TMemoryStream stream;
    const std::string bytes = SavedRDF(doc, flavour);
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    int index = 0;
    ASSERT_TRUE(InsertRDFFromStream(inserted, stream, index).Ok);
    EXPECT_EQ(MarkerNumbering(inserted), expected + " last=9.");
    EXPECT_TRUE(MarkersListedInOrder(inserted));
    // A document that is shown nowhere numbers them alike.
    TRDStyle sheet;
    AddDecimalList(sheet);
    TCustomRDData plain;
    plain.SetRDStyle(&sheet);
    ASSERT_TRUE(LoadRDF(plain, SavedRDF(doc, flavour)));
    EXPECT_EQ(MarkerNumbering(plain), expected) << flavour;
    EXPECT_TRUE(MarkersListedInOrder(plain)) << flavour;
    // Read where the read's budget leaves room for one cell: the cells cut away join it,
    // and their numbers count in order all the same.
    TRDTableBudget budget(0);
    ASSERT_TRUE(TRDTableBudget::Take(TRDTableBudget::Left() - 150));
    TTableDocument cut;
    AddDecimalList(cut.style);
    ASSERT_TRUE(LoadRDF(cut, SavedRDF(doc, flavour)));
    EXPECT_TRUE(cut.GetRDFWarnings() & rdfwTableCellsLeftOut);
    EXPECT_EQ(MarkerNumbering(cut), expected) << flavour;
    EXPECT_TRUE(MarkersListedInOrder(cut)) << flavour;
  }
}

// An editor holding "zero", a table of numbered cells and "after", all in one list.
struct TNumberedEdit : TEditFixture {
  TRDTableItemInfo* table = nullptr;
  TNumberedEdit(int rows, int cols, const std::vector<std::string>& texts) {
    AddDecimalList(style);
    AddNumbered(data, "zero");
    std::unique_ptr<TRDTableItemInfo> made = NumberedTable(data, rows, cols, texts);
    table = made.get();
    data.AddItemAtEnd("", std::move(made));
    AddNumbered(data, "after");
    Format();
  }
  // The numbers with the cell editor a change opened closed again, so that every cell
  // holds its paragraphs.
  std::string Numbers() {
    table->DestroyInplaceEditor(true);
    EXPECT_TRUE(MarkersListedInOrder(data));
    return MarkerNumbering(data);
  }
  // Undo gives the numbers before the change, redo those after it, twice over.
  void ExpectUndoRedo(const std::string& before) {
    const std::string after = Numbers();
    for (int round = 0; round < 2; ++round) {
      edit.Undo();
      EXPECT_EQ(Numbers(), before) << "undo " << round;
      edit.Redo();
      EXPECT_EQ(Numbers(), after) << "redo " << round;
    }
  }
};

TEST(TableCellMarkers, RowsAndColumnsDeletedUndoneAndRedone) {
  TNumberedEdit f(3, 2, {"a", "b", "c", "d", "e", "f"});
  const std::string all = "zero=1. a=2. b=3. c=4. d=5. e=6. f=7. after=8.";
  EXPECT_EQ(f.Numbers(), all);
  f.table->DeleteRows(1, 1, false);
  EXPECT_EQ(f.Numbers(), "zero=1. a=2. b=3. e=4. f=5. after=6.");
  f.ExpectUndoRedo(all);
  f.edit.Undo();
  f.table->DeleteCols(0, 1, false);
  EXPECT_EQ(f.Numbers(), "zero=1. b=2. d=3. f=4. after=5.");
  f.ExpectUndoRedo(all);
  // Two rows at once come back in their order.
  f.edit.Undo();
  f.table->DeleteRows(0, 2, false);
  EXPECT_EQ(f.Numbers(), "zero=1. e=2. f=3. after=4.");
  f.ExpectUndoRedo(all);
  // The undo list freeing the cells it kept leaves nothing of them in the list.
  f.data.UndoList->Clear();
  f.data.RedoList->Clear();
  EXPECT_EQ(f.Numbers(), "zero=1. e=2. f=3. after=4.");
}

TEST(TableCellMarkers, ClearedAndMergedCellsUndoneAndRedone) {
  TNumberedEdit f(2, 2, {"a", "b", "c", "d"});
  const std::string all = "zero=1. a=2. b=3. c=4. d=5. after=6.";
  f.table->Select(0, 1, 0, 1);
  f.table->ClearSelectedCells();
  EXPECT_EQ(f.Numbers(), "zero=1. a=2. c=3. after=4.");
  f.ExpectUndoRedo(all);
  f.edit.Undo();
  // The second row's first cell goes into the first cell: its number now comes before
  // the first row's second cell's.
  f.table->MergeCellsWithUndo(0, 0, 1, 2, true);
  EXPECT_EQ(f.Numbers(), "zero=1. a=2. c=3. b=4. d=5. after=6.");
  f.ExpectUndoRedo(all);
}

TEST(TableCellMarkers, TheWholeTableDeletedUndoneAndRedone) {
  TNumberedEdit f(1, 2, {"a", "b"});
  const std::string all = "zero=1. a=2. b=3. after=4.";
  Select(f, 2, 0, 2, 1);
  ASSERT_TRUE(f.edit.DeleteSelection());
  EXPECT_EQ(f.Numbers(), "zero=1. after=2.");
  f.ExpectUndoRedo(all);
}

TEST(TableCellMarkers, ANumberedParagraphMadeInACellEditorCountsInPlace) {
  TNumberedEdit f(1, 2, {"a", "b"});
  ASSERT_TRUE(f.table->OpenCellEditor(0, 1, false, false, true, false, false));
  TRDTableInplaceEdit& editor = *f.table->InplaceEditor;
  // Enter at the end of "b" starts a numbered paragraph after it, in the editor.
  editor.EditData().PlaceCaretAtItem(editor.EditData().GetItemCount() - 1, 2, false);
  SimulateKey(editor, VK_RETURN);
  ASSERT_EQ(editor.EditData().GetItemCount(), 4);
  const auto& made = editor.EditData().CheckItemClass<TRDMarkerItemInfo>(2);
  EXPECT_EQ(made.DisplayString, "4.");
  TRDMarkerList& list = *f.data.GetMarkers(false);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Items(3), &made);
  // The marker after the table finds its place after those the editor holds.
  const int after = f.data.GetItemCount() - 2;
  f.data.RemoveMarkerFromList(after);
  f.data.AddMarkerToList(after);
  EXPECT_EQ(f.data.CheckItemClass<TRDMarkerItemInfo>(after).GetIndexInList(&list), 4);
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(f.Numbers(), "zero=1. a=2. b=3. =4. after=5.");
}

TEST(TableCellMarkers, CellsFreedOutsideAnEditorLeaveTheList) {
  TTableDocument doc;
  AddDecimalList(doc.style);
  std::unique_ptr<TRDTableItemInfo> made = NumberedTable(doc, 2, 2, {"a", "b", "c", "d"});
  TRDTableItemInfo& table = *made;
  doc.AddItemAtEnd("", std::move(made));
  AddNumbered(doc, "after");
  table.Rows->DeleteCols(0, 1, false);
  EXPECT_EQ(MarkerNumbering(doc), "b=1. d=2. after=3.");
  EXPECT_TRUE(MarkersListedInOrder(doc));
  table.Rows->DeleteRows(0, 1, false);
  EXPECT_EQ(MarkerNumbering(doc), "d=1. after=2.");
  EXPECT_TRUE(MarkersListedInOrder(doc));
}

}  // namespace

namespace {

// A document with a numbered paragraph, a table whose cells are numbered (one of them
// holding a table of numbered cells) and a numbered paragraph after it.
void FillNumberedDocument(TTableDocument& doc, bool nested) {
  AddDecimalList(doc.style);
  AddNumbered(doc, "zero");
  std::unique_ptr<TRDTableItemInfo> table = NumberedTable(doc, 2, 2, {"a", "b", "", "d"});
  if (nested) {
    TRDTableCellData& outer = *table->Cells(0, 1);
    outer.AddItemAtEnd("", NumberedTable(outer, 1, 2, {"inner1", "inner2"}));
  }
  doc.AddItemAtEnd("", std::move(table));
  AddNumbered(doc, "after");
}

std::string RTFOf(TTableDocument& doc) {
  TMemoryStream rtf;
  TRDRTFSaveParams params;
  params.PixelsPerInch = 96;
  EXPECT_TRUE(SaveRTFToStream(doc, rtf, params));
  return std::string(static_cast<const char*>(rtf.Memory()), size_t(rtf.Size()));
}

TEST(TableCellMarkers, RTFWrittenAndReadBackNumbersTheCellsAlike) {
  TTableDocument doc;
  FillNumberedDocument(doc, true);
  TMemoryStream rtf;
  const std::string bytes = RTFOf(doc);
  rtf.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  rtf.SetPosition(0);
  TTableDocument read;
  TRDRTFReaderProperties options;
  options.ParaStyleMode = rdrsAddIfNeeded;
  int index = 0;
  ASSERT_EQ(ReadRTF(options, rtf, read, index), rtf_ec_OK);
  EXPECT_EQ(MarkerNumbering(read), "zero=1. a=2. b=3. inner1=4. inner2=5. d=6. after=7.");
  EXPECT_TRUE(MarkersListedInOrder(read));
}

TEST(TableCellMarkersPeers, LibreOfficeNumbersTheCellsAsWeDo) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  TTableDocument doc;
  FillNumberedDocument(doc, false);
  const std::string rtf = WriteScratchFile("table_cell_markers/numbered.rtf", RTFOf(doc));
  const TOfficeConversion fromRTF = OfficeConvert(rtf, "txt:Text", "txt");
  EXPECT_EQ(Collapsed(fromRTF.Content).substr(3),  // after the byte-order mark
            " 1. zero 2. a 3. b 4. d 5. after")
      << fromRTF.Log;
  // Each cell's list is a list of its own in HTML: its items carry their numbers.
  TMemoryStream stream;
  TRDHTMLSaveParams params;
  params.Path = ScratchFolder() + "/table_cell_markers/";
  ASSERT_TRUE(SaveHTMLToStream(doc, stream, params));
  const std::string html = WriteScratchFile(
      "table_cell_markers/numbered.html",
      std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size())));
  const TOfficeConversion fromHTML = OfficeConvert(html, "txt:Text", "txt", "HTML (StarWriter)");
  EXPECT_EQ(Collapsed(fromHTML.Content).substr(3), " 1. zero 2. a 3. b 4. d 5. after")
      << fromHTML.Log;
}

}  // namespace

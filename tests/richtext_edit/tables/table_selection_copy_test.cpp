// Selected cells as the document's selection: copied to the clipboard in every format
// as the cells of the selection alone (merged cells whole, unselected cells inside the
// rectangle empty), read back from the clipboard by pasting each format into another
// editor; and dropped again when the document's selection goes elsewhere.
#include <gtest/gtest.h>

#include <cctype>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/sys/child_process.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/base/code_pages.h"
#include "richtext/view/rd_clipboard.h"
#include "richtext_edit/edit/editor_formats.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "support/scratch_files.h"
#include "support/unrtf_text.h"

namespace {

constexpr TRDOptions kCopyAll =
    rdoAllowSelection | rdoAutoCopyText | rdoAutoCopyRDF | rdoAutoCopyRTF;

// The clipboard holding one format only.
void PutOnly(unsigned format, const std::string& bytes) {
  TClipboard& clipboard = Clipboard();
  clipboard.Open();
  clipboard.Clear();
  clipboard.SetAsBytes(format, bytes);
  clipboard.Close();
}

std::string ClipboardText() {
  std::string wide = Clipboard().GetAsBytes(CF_UNICODETEXT);
  // Cut at the terminating zero unit.
  for (size_t i = 0; i + 1 < wide.size(); i += 2)
    if (wide[i] == 0 && wide[i + 1] == 0) return RawUnicodeToUTF8(wide.substr(0, i));
  return RawUnicodeToUTF8(wide);
}

// The clipboard's bytes of one format pasted alone into an empty editor: the grid of the
// table that arrives, and the texts around it.
std::string PastedGrid(unsigned format, const std::string& bytes, std::string* texts = nullptr) {
  PutOnly(format, bytes);
  TEditFixture target;
  target.AddPara({{"", 0}});
  target.Format();
  target.data.PlaceCaretAtItem(0, 0, false);
  target.edit.Paste();
  std::string grid;
  for (int i = 0; i < target.data.GetItemCount(); ++i)
    if (auto* table = dynamic_cast<TRDTableItemInfo*>(target.data.GetItem(i)))
      grid += (grid.empty() ? "" : " + ") + DescribeGrid(*table);
  // RTF gives every cell the colour it was shown in, the white of the table.
  for (size_t at; (at = grid.find("c16777215")) != std::string::npos;) grid.erase(at, 9);
  if (texts) *texts = Texts(target.data);
  return grid;
}

// Four rows of three cells "a" .. "l"; the cell at row 1, column 1 spans columns 1 and
// 2 and holds "e" and "f" as two paragraphs.
struct TMergedTable : TTableEdit {
  TMergedTable() : TTableEdit(4, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}) {
    table->Rows->MergeCells(1, 1, 2, 1, true, false);
    table->TextColSeparator = "\t";
    Format();
  }
};

// Rows 1 and 2, columns 0 and 1 selected: the merged cell crosses the right edge, so the
// copy takes column 2 in, with "i" (not selected) written empty.
constexpr const char* kCopiedGrid = "[d],[e|f]2x1,- / [g],[h],[]";
constexpr const char* kCopiedText = "d\te\r\nf\t\r\ng\th\t";

}  // namespace

TEST(TableSelectionCopy, TheEditorsCopyOfDraggedCellsHoldsThemAloneInEveryFormat) {
  TMergedTable f;
  f.edit.Options |= kCopyAll;
  const TPoint from = f.ClientOfTable(f.CellMiddle(1, 0).X, f.CellMiddle(1, 0).Y);
  const TPoint to = f.ClientOfTable(f.CellMiddle(2, 1).X, f.CellMiddle(2, 1).Y);
  SimulateMouseDown(f.edit, mbLeft, from.X, from.Y);
  SimulateMouseMove(f.edit, to.X, to.Y, ssLeft);
  SimulateMouseUp(f.edit, mbLeft, to.X, to.Y);
  SettleEditors(f.edit);
  ASSERT_TRUE(f.table->HasPartialSelection());
  EXPECT_EQ(f.data.GetPartiallySelectedItem(), f.table);
  EXPECT_EQ(f.table->InplaceEditor, nullptr);

  PutOnly(CF_UNICODETEXT, std::string("x\0\0\0", 4));
  SimulateKey(f.edit, 'C', {}, ssCtrl);
  EXPECT_EQ(ClipboardText(), kCopiedText);
  const std::string rdf = Clipboard().GetAsBytes(RichDocClipboardFormat());
  const std::string rtf = Clipboard().GetAsBytes(RichTextClipboardFormat());
  ASSERT_FALSE(rdf.empty());
  ASSERT_FALSE(rtf.empty());
  std::string around;
  EXPECT_EQ(PastedGrid(RichDocClipboardFormat(), rdf, &around), kCopiedGrid);
  // Nothing of the paragraphs around the table came along.
  EXPECT_EQ(around.find("before"), std::string::npos) << around;
  EXPECT_EQ(around.find("after"), std::string::npos) << around;
  EXPECT_EQ(PastedGrid(RichTextClipboardFormat(), rtf), kCopiedGrid);
  // An independent reader finds the same text in the RTF, cell by cell.
  if (ProgramAvailable("unrtf")) {
    std::string peer = UnrtfText(WriteScratchFile("cells.rtf", rtf));
    std::erase_if(peer, [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
    EXPECT_EQ(peer, "defgh");
  }
  // The table copied from is as it was.
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b],[c] / [d],[e|f]2x1,- / [g],[h],[i] / [j],[k],[l]");
}

// Merged blocks whose merged cell is empty hold fewer bytes than slots: copied with Ctrl+C
// and pasted with Ctrl+V into a second editor they arrive whole, and the whole document
// selected (Ctrl+A), Ctrl+C and Ctrl+V bring it all, the table and the text after it.
TEST(TableSelectionCopy, MergedBlocksGoToASecondEditorWhole) {
  struct TCase {
    int rows, cols, mergedRows;
  };
  for (const TCase& c : {TCase{5, 8, 5}, TCase{6, 9, 6}, TCase{6, 9, 5}}) {
    TTableEdit f(c.rows, c.cols, {});
    f.edit.Options |= kCopyAll;
    f.table->Rows->MergeCells(0, 0, c.cols, c.mergedRows, true, false);
    f.Format();
    const std::string whole = DescribeGrid(*f.table);
    // The merged block: the table's first rows.
    std::string block;
    for (size_t r = 0, at = 0; r < size_t(c.mergedRows); ++r) {
      const size_t end = whole.find(" / ", at);
      block += (r > 0 ? " / " : "") + whole.substr(at, end - at);
      at = end + 3;
    }
    const auto pasted = [&](std::string* texts) {
      TEditFixture target;
      target.AddPara({{"", 0}});
      target.Format();
      target.data.PlaceCaretAtItem(0, 0, false);
      SimulateKey(target.edit, 'V', {}, ssCtrl);
      std::string grid;
      for (int i = 0; i < target.data.GetItemCount(); ++i)
        if (auto* table = dynamic_cast<TRDTableItemInfo*>(target.data.GetItem(i)))
          grid += DescribeGrid(*table);
      *texts = Texts(target.data);
      return grid;
    };
    std::string texts;
    f.table->Select(0, 0, c.cols - 1, c.mergedRows - 1);
    ASSERT_TRUE(f.table->HasPartialSelection());
    SimulateKey(f.edit, 'C', {}, ssCtrl);
    EXPECT_EQ(pasted(&texts), block) << c.rows << "x" << c.cols;
    f.edit.SelectAll();
    SimulateKey(f.edit, 'C', {}, ssCtrl);
    EXPECT_EQ(pasted(&texts), whole) << c.rows << "x" << c.cols;
    EXPECT_NE(texts.find("before"), std::string::npos) << texts;
    EXPECT_NE(texts.find("after"), std::string::npos) << texts;
  }
}

TEST(TableSelectionCopy, AViewersCopyOfSelectedCellsAndOfNothing) {
  TTableDocument viewer;
  viewer.SetOptions(kCopyAll);
  viewer.AddText("before", 0, 0);
  TRDTableItemInfo& table = viewer.AddTable(2, 2, {"p", "q", "r", "s"});
  viewer.AddText("after", 0, 0);
  viewer.Format();

  // Nothing selected: the clipboard keeps what it held.
  PutOnly(CF_UNICODETEXT, std::string("x\0\0\0", 4));
  EXPECT_FALSE(CopySelectionToClipboard(viewer, clNone, nullptr));
  EXPECT_EQ(ClipboardText(), "x");

  // A whole column: the viewer has no editor, the cells are its selection all the same.
  table.SelectCols(1, 1);
  EXPECT_FALSE(viewer.HasSelection());
  ASSERT_TRUE(CopySelectionToClipboard(viewer, clNone, nullptr));
  EXPECT_EQ(ClipboardText(), "q\r\ns");
  const std::string rdf = Clipboard().GetAsBytes(RichDocClipboardFormat());
  const std::string rtf = Clipboard().GetAsBytes(RichTextClipboardFormat());
  EXPECT_EQ(PastedGrid(RichDocClipboardFormat(), rdf), "[q] / [s]");
  EXPECT_EQ(PastedGrid(RichTextClipboardFormat(), rtf), "[q] / [s]");

  // A text selection of the document takes the selection's place: the cells go.
  viewer.SetSelectionBounds(0, 1, 0, 4);
  EXPECT_FALSE(table.HasPartialSelection());
  EXPECT_EQ(viewer.PartialSelectedItem, -1);
  EXPECT_FALSE(table.Cells(0, 1)->State & rddsSelectedAsWhole);
  ASSERT_TRUE(CopySelectionToClipboard(viewer, clNone, nullptr));
  EXPECT_EQ(ClipboardText(), "bef");
}

namespace {

// Rows 1 and 2, columns 0 and 1 of a 3 x 3 table selected by dragging across them.
struct TDraggedCells : TTableEdit {
  TDraggedCells() : TTableEdit(3, 3, {"a", "b", "c", "d", "e", "f", "g", "h", "i"}) {
    const TPoint from = ClientOfTable(CellMiddle(1, 0).X, CellMiddle(1, 0).Y);
    const TPoint to = ClientOfTable(CellMiddle(2, 1).X, CellMiddle(2, 1).Y);
    SimulateMouseDown(edit, mbLeft, from.X, from.Y);
    SimulateMouseMove(edit, to.X, to.Y, ssLeft);
    SimulateMouseUp(edit, mbLeft, to.X, to.Y);
    SettleEditors(edit);
  }
  bool AnyCellLooksSelected() const {
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c)
        if (table->IsCellSelected(r, c) || (table->Cells(r, c)->State & rddsSelectedAsWhole))
          return true;
    return false;
  }
};

}  // namespace

TEST(TablePartialSelection, DeselectingTheCellsLeavesTheCaretJustAfterTheTable) {
  TDraggedCells f;
  ASSERT_EQ(f.data.GetPartiallySelectedItem(), f.table);
  // While the cells are the selection the caret stands at its end, after the table.
  EXPECT_EQ(f.data.GetCurrentItemNo(), 1);
  EXPECT_EQ(f.data.GetOffsetInCurrentItem(), 1);
  // Typing does not go anywhere while the cells are the selection.
  const std::string before = Texts(f.data);
  SimulateKey(f.edit, 'X', "x");
  EXPECT_EQ(Texts(f.data), before);

  f.edit.Deselect();
  EXPECT_FALSE(f.AnyCellLooksSelected());
  EXPECT_EQ(f.data.PartialSelectedItem, -1);
  ASSERT_TRUE(f.data.HasCaret());
  SimulateKey(f.edit, 'X', "x");
  EXPECT_EQ(Texts(f.data).substr(0, 27), "[before] | <-60> | [x] | [a");
}

TEST(TablePartialSelection, AClickOrAKeyElsewhereDropsTheSelectedCells) {
  {
    TDraggedCells f;
    int left = 0, top = 0;
    f.data.GetItemCoords(2, left, top);
    const TRect area = f.edit.DocumentRect();
    SimulateMouseDown(f.edit, mbLeft, area.Left + left + 2, area.Top + top - f.data.GetVOffs() + 3);
    SimulateMouseUp(f.edit, mbLeft, area.Left + left + 2, area.Top + top - f.data.GetVOffs() + 3);
    EXPECT_FALSE(f.table->HasPartialSelection());
    EXPECT_FALSE(f.AnyCellLooksSelected());
    EXPECT_EQ(f.data.GetCurrentItemNo(), 2);
  }
  for (const TShiftState shift : {TShiftState(0), TShiftState(ssShift)}) {
    TDraggedCells f;
    SimulateKey(f.edit, VK_RIGHT, {}, shift);
    EXPECT_FALSE(f.table->HasPartialSelection()) << shift;
    EXPECT_FALSE(f.AnyCellLooksSelected()) << shift;
    EXPECT_EQ(f.data.HasSelection(), shift != 0);
    EXPECT_EQ(f.data.GetCurrentItemNo(), 2);
  }
}

TEST(TablePartialSelection, CuttingTheCellsCopiesAndEmptiesThemAsOneStep) {
  TDraggedCells f;
  f.edit.Options |= kCopyAll;
  const std::string before = DescribeGrid(*f.table);
  SimulateKey(f.edit, 'X', {}, ssCtrl);
  EXPECT_EQ(ClipboardText(), "d\r\ne\r\ng\r\nh");
  EXPECT_EQ(DescribeGrid(*f.table), "[a],[b],[c] / [],[],[f] / [],[],[i]");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.edit.Undo();
  EXPECT_EQ(DescribeGrid(*f.table), before);

  // A cell the application keeps from editing cannot be cleared: nothing is cut.
  f.table->Select(1, 0, 1, 1);
  f.table->OnCellEditing = [](TRDTableItemInfo*, int row, int, bool, bool& allow) {
    allow = row != 2;
  };
  int beeps = 0;
  f.data.OnBeep = [&beeps] { ++beeps; };
  SimulateKey(f.edit, VK_DELETE);
  EXPECT_EQ(DescribeGrid(*f.table), before);
  EXPECT_EQ(beeps, 1);
}

TEST(TableCellEditorBusy, ALayoutAskedForWhileTheEditorTypesIsRefusedAndNothingIsLost) {
  TTableEdit f(1, 2, {"a", "b"});
  ASSERT_TRUE(f.table->OpenCellEditor(0, 0, false, false, true, false, false));
  TRDTableInplaceEdit* editor = f.table->InplaceEditor;
  int refused = 0;
  // The application resizes a column from its change handler, under the typing.
  f.edit.OnChange = [&](TComponent*) {
    try {
      f.table->ApplyColResize(0, 120, false);
    } catch (const ERDTableInplaceError& e) {
      EXPECT_STREQ(e.what(), "Cannot destroy cell inplace editor at this time");
      ++refused;
    }
  };
  SimulateKey(*editor, 'X', "x");
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(f.table->InplaceEditor, editor);
  f.edit.OnChange = nullptr;
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeGrid(*f.table), "[ax],[b]");
  // Once the editor is idle the same resize goes through.
  f.table->ApplyColResize(0, 120, false);
  EXPECT_NE(DescribeGrid(*f.table).find("w"), std::string::npos);
}

// Drags dropped onto the editor through the platform's drag layer (scripted drags: the
// events and their routing are the real ones): files and links in a text/uri-list, text,
// the editor's own selection moved or copied as one undo step, the drop events and the
// effects they see.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui/controls/file_group_descriptor.h"
#include "platform/gui/controls/forms.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/streams.h"
#include "richtext/formats/rd_transfer.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/support/viewer_points.h"
#include "richtext_edit/edit/editor_drop.h"
#include "richtext_edit/edit/editor_formats.h"
#include "richtext_edit/edit/pasted_data.h"
#include "richtext_edit/edit/support/edit_fixture.h"
#include "richtext_edit/tables/table_document.h"
#include "richtext_edit/tables/table_edit_fixture.h"
#include "richtext_edit/tables/table_inplace_edit.h"

namespace {

struct TFormHolder {
  TForm form{nullptr};
};

struct TDropFixture : TFormHolder, TEditFixture {
  TDropFixture() {
    form.SetBounds(0, 0, 640, 300);
    source = new TCustomControl(&form);
    source->SetBounds(0, 0, 100, 100);
    source->SetParent(&form);
    edit.SetParent(&form);
    edit.SetBounds(120, 0, 400, 250);
    AddPara({{"alpha beta", 0}});
    AddPara({{"gamma", 0}});
    Format();
    form.Show();
  }
  // The editor's client point of a place in its document.
  TPoint At(int itemNo, int offs) {
    const TPoint p = ClientPointOf(data, itemNo, offs);
    const TRect area = edit.DocumentRect();
    return Point(p.X + area.Left, p.Y + area.Top);
  }
  // Drags data from the source control onto the place and lets it go there.
  TDropEffect DropAt(std::shared_ptr<TDragData> dragged, int itemNo, int offs,
                     TDropEffects allowed = deCopy, TShiftState shift = 0) {
    const TPoint at = At(itemNo, offs);
    TScriptedDrags drags({{&edit, at.X, at.Y, shift}});
    return DoDragDrop(*source, std::move(dragged), allowed);
  }
  TCustomControl* source;
};

// The drop fixture's document with a table after its paragraphs: cells "a" and a nested
// table of cells "x" and "y".
struct TTableDropFixture : TDropFixture {
  TRDTableItemInfo* table;
  TRDTableItemInfo* inner;
  TTableDropFixture() {
    auto made = std::make_unique<TRDTableItemInfo>(1, 2, &data);
    table = made.get();
    TTableDocument::SetCellText(*table, 0, 0, "a");
    auto nested = std::make_unique<TRDTableItemInfo>(1, 2, table->Cells(0, 1));
    inner = nested.get();
    TTableDocument::SetCellText(*inner, 0, 0, "x");
    TTableDocument::SetCellText(*inner, 0, 1, "y");
    table->Cells(0, 1)->AddItemAtEnd("", std::move(nested));
    data.AddItemAtEnd("", std::move(made));
    AddPara({{"after", 0}});
    Format();
  }
  // The editor's client point in the middle of a cell of the table, or of the nested one.
  TPoint CellMiddle(bool nested, int col) {
    int left = 0, top = 0;
    data.GetItemCoords(data.GetItemNo(table), left, top);
    const TRDTableCellData* cell = table->Cells(0, nested ? 1 : col);
    if (nested) {
      const TRDDrawLineInfo& line = *cell->DrawItems[cell->GetItem(1)->DrawItemNo];
      left += cell->Left() + table->CellPadding() + line.Left;
      top += cell->Top + table->CellPadding() + line.Top;
      cell = inner->Cells(0, col);
    }
    const TRect area = edit.DocumentRect();
    return Point(left + cell->Left() + cell->Width / 2 - data.GetHOffs() + area.Left,
                 top + cell->Top + cell->Height / 2 - data.GetVOffs() + area.Top);
  }
  TDropEffect DropOnCell(std::shared_ptr<TDragData> dragged, bool nested, int col) {
    const TPoint at = CellMiddle(nested, col);
    TScriptedDrags drags({{&edit, at.X, at.Y, 0}});
    return DoDragDrop(*source, std::move(dragged), deCopy);
  }
};

std::shared_ptr<TDragData> Offering(
    std::initializer_list<std::pair<std::string, std::string>> formats) {
  auto data = std::make_shared<TDragData>();
  for (const auto& [format, bytes] : formats)
    data->Add(format, [bytes = bytes](std::string& out) {
      out = bytes;
      return true;
    });
  return data;
}

std::string ScratchFolder() {
  std::string folder = testing::TempDir() + "editor-drop-XXXXXX";
  if (!mkdtemp(folder.data())) ADD_FAILURE() << "no scratch folder";
  return folder + "/";
}

void WriteFile(const std::string& name, const std::string& bytes) {
  TFileStream file(name, fmCreate);
  file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

}  // namespace

TEST(EditorDrop, DroppedTextAndDocumentFilesGoInAsOneStep) {
  TDropFixture f;
  const std::string folder = ScratchFolder();
  WriteFile(folder + "notes.txt", "from a text file");
  {
    TEditFixture other;
    other.AddPara({{"from a document", 1}});
    TFileStream file(folder + "doc.rdf", fmCreate);
    SaveRDFToStream(other.data, file, false);
  }
  const std::string before = DescribeDocument(f.data);
  EXPECT_EQ(
      f.DropAt(Offering({{kUriListFormat, UriListOf({folder + "notes.txt", folder + "doc.rdf"})}}),
               1, 1),
      deCopy);
  const std::string texts = Texts(f.data);
  EXPECT_NE(texts.find("from a text file"), std::string::npos) << texts;
  EXPECT_NE(texts.find("from a document"), std::string::npos) << texts;
  EXPECT_LT(texts.find("from a text file"), texts.find("from a document"));
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  EXPECT_EQ(f.edit.UndoAction(), rdutInsert);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

// A dropped document that fails to read part way leaves nothing behind: the next format
// offered goes in instead, as one step.
TEST(EditorDrop, ADocumentThatFailsPartWayGivesWayToTheNextFormat) {
  TEditFixture other;
  other.AddPara({{"partial", 1}});
  TMemoryStream saved;
  SaveRDFToStream(other.data, saved, false);
  std::string document(static_cast<const char*>(saved.Memory()), size_t(saved.Size()));
  document += "not a record\r\n";
  std::string broken(4, '\0');
  for (int i = 0; i < 4; ++i) broken[size_t(i)] = char(document.size() >> (8 * i));
  broken += document;
  TDropFixture f;
  const std::string before = DescribeDocument(f.data);
  EXPECT_EQ(f.DropAt(Offering({{kRichDocMimeType, broken}, {"text/plain", "plain"}}), 1, 1),
            deCopy);
  const std::string texts = Texts(f.data);
  EXPECT_EQ(texts.find("partial"), std::string::npos) << texts;
  EXPECT_NE(texts.find("plain"), std::string::npos) << texts;
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

TEST(EditorDrop, AFileOfNoKnownKindInsertsNothing) {
  TDropFixture f;
  const std::string folder = ScratchFolder();
  WriteFile(folder + "data.bin", "\x01\x02\x03");
  const std::string before = DescribeDocument(f.data);
  EXPECT_EQ(f.DropAt(Offering({{kUriListFormat, UriListOf({folder + "data.bin"})}}), 0, 1), deNone);
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_EQ(f.data.UndoList->Count(), 0);
}

TEST(EditorDrop, ALinkGoesInAsItsTextAndWithUrlsOnAsTheLink) {
  TDropFixture f;
  // URLs are off by default: the text offered beside the link goes in.
  EXPECT_EQ(
      f.DropAt(Offering({{kUriListFormat, "http://example.org/a\r\n"}, {"text/plain", "the link"}}),
               1, 6),
      deCopy);
  EXPECT_NE(Texts(f.data).find("gammathe link"), std::string::npos) << Texts(f.data);
  f.edit.Undo();
  f.edit.AcceptDragDropFormats |= rdddURL;
  EXPECT_EQ(
      f.DropAt(Offering({{kUriListFormat, "http://example.org/a\r\n"}, {"text/plain", "the link"}}),
               1, 6),
      deCopy);
  EXPECT_NE(Texts(f.data).find("gammahttp://example.org/a"), std::string::npos) << Texts(f.data);
}

TEST(EditorDrop, TheDropEventsSeeLinkProposalsAsLinksAndMayDoTheDropThemselves) {
  TDropFixture f;
  std::vector<std::string> seen;
  f.edit.OnOleDragEnter = [&](TCustomRichDocEdit* sender, const TDataObject&, TShiftState, int, int,
                              TRDOleDropEffects possible, TRDOleDropEffect& effect) {
    EXPECT_EQ(sender, &f.edit);
    seen.push_back("enter " + std::to_string(possible) + " " + std::to_string(effect));
  };
  f.edit.OnOleDrop = [&](TCustomRichDocEdit*, const TDataObject&, TShiftState, int, int,
                         TRDOleDropEffects possible, TRDOleDropEffect& effect, bool& doDefault) {
    seen.push_back("drop " + std::to_string(possible) + " " + std::to_string(effect));
    effect = rddeLink;
    doDefault = false;
  };
  const std::string before = DescribeDocument(f.data);
  // A source that allows only linking: the proposal is a link, and so is the answer.
  EXPECT_EQ(f.DropAt(Offering({{"text/plain", "x"}}), 0, 1, deLink), deLink);
  EXPECT_EQ(seen, (std::vector<std::string>{"enter 8 3", "drop 8 3"}));
  EXPECT_EQ(DescribeDocument(f.data), before);
}

TEST(EditorDrop, AReadOnlyEditorTakesDropsOnlyWhenItsFlagsAllow) {
  TDropFixture f;
  f.edit.SetReadOnly(true);
  EXPECT_EQ(f.DropAt(Offering({{"text/plain", "x"}}), 0, 1), deNone);
  EXPECT_EQ(Texts(f.data), "[alpha beta] | [gamma]");
  f.edit.Flags |= rdfReadOnlyDragAndResize;
  EXPECT_EQ(f.DropAt(Offering({{"text/plain", "x"}}), 0, 1), deCopy);
  EXPECT_EQ(Texts(f.data), "[xalpha beta] | [gamma]");
}

TEST(EditorDrop, DraggingTheSelectionMovesItAsOneStepAndWithCtrlCopiesIt) {
  TDropFixture f;
  const std::string before = DescribeDocument(f.data);
  Select(f, 0, 1, 0, 7);  // "alpha "
  const TPoint inside = f.At(0, 3);
  const TPoint target = f.At(1, 6);  // after "gamma"
  {
    TScriptedDrags drags({{&f.edit, target.X, target.Y}});
    SimulateMouseDown(f.edit, mbLeft, inside.X, inside.Y);
    SimulateMouseMove(f.edit, inside.X + 10, inside.Y, ssLeft);
    SimulateMouseUp(f.edit, mbLeft, inside.X + 10, inside.Y);
    ASSERT_EQ(drags.Count(), 1);
  }
  EXPECT_EQ(Texts(f.data), "[beta] | [gammaalpha ]");
  EXPECT_EQ(f.edit.GetSelText(), "alpha ");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);

  Select(f, 0, 1, 0, 7);
  {
    TScriptedDrags drags({{&f.edit, target.X, target.Y, ssCtrl}});
    SimulateMouseDown(f.edit, mbLeft, inside.X, inside.Y);
    SimulateMouseMove(f.edit, inside.X + 10, inside.Y, ssLeft | ssCtrl);
    SimulateMouseUp(f.edit, mbLeft, inside.X + 10, inside.Y);
  }
  EXPECT_EQ(Texts(f.data), "[alpha beta] | [gammaalpha ]");
}

TEST(EditorDrop, AMoveDroppedInsideTheSelectionLeavesACaretThere) {
  TDropFixture f;
  Select(f, 0, 1, 0, 7);
  const std::string before = DescribeDocument(f.data);
  const TPoint inside = f.At(0, 3);
  const TPoint bound = f.At(0, 7);
  TScriptedDrags drags({{&f.edit, bound.X, bound.Y}});
  SimulateMouseDown(f.edit, mbLeft, inside.X, inside.Y);
  SimulateMouseMove(f.edit, inside.X + 10, inside.Y, ssLeft);
  SimulateMouseUp(f.edit, mbLeft, inside.X + 10, inside.Y);
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_FALSE(f.edit.HasSelection());
  EXPECT_EQ(f.edit.CaretItemOffset(), 7);
  EXPECT_EQ(f.data.UndoList->Count(), 0);
}

TEST(DropEffects, ALinkIsALinkBothWays) {
  EXPECT_EQ(RDDropEffectOf(deLink), rddeLink);
  EXPECT_EQ(DropEffectOf(rddeLink), deLink);
  for (TRDOleDropEffect effect : {rddeNone, rddeCopy, rddeMove, rddeLink})
    EXPECT_EQ(RDDropEffectOf(DropEffectOf(effect)), effect);
  EXPECT_EQ(RDDropEffectsOf(deCopy | deLink), (1 << rddeCopy) | (1 << rddeLink));
  EXPECT_EQ(RDDropEffectsOf(deNone), 0);
  EXPECT_EQ(RDDropEffectsOf(deCopy | deMove | deLink | deScroll),
            (1 << rddeCopy) | (1 << rddeMove) | (1 << rddeLink));
}

TEST(DropEffects, EachFormatIsTakenUnderItsOwnSwitch) {
  EXPECT_EQ(DragDropFormatOf("application/x-velmora-richdoc"), rdddRDF);
  EXPECT_EQ(DragDropFormatOf("application/rtf"), rdddRTF);
  EXPECT_EQ(DragDropFormatOf("text/plain"), rdddText | rdddUnicodeText);
  EXPECT_EQ(DragDropFormatOf("image/png"), rdddBitmap);
  EXPECT_EQ(DragDropFormatOf("text/uri-list"), rdddFiles | rdddURL);
  EXPECT_EQ(DragDropFormatOf("FileGroupDescriptor"), 0);
  EXPECT_EQ(DragDropFormatOf("text/html"), 0);
}

TEST(EditorDrop, ADroppedUrlBecomesTheApplicationsLinkNamedByTheFileGroup) {
  TDropFixture f;
  f.edit.AcceptDragDropFormats |= rdddURL;
  const std::string descriptor = EncodeFileGroupDescriptor({"Example.url", "Other.url"});
  std::vector<std::string> seen;
  f.data.OnReadHyperlink = [&](const std::string& target, const std::string& extras,
                               TRDLoadFormat format, int& styleNo, TRDTag& tag, std::string& name) {
    EXPECT_EQ(format, rdlfURL);
    seen.push_back(target + "|" + extras + "|" + name);
    styleNo = 1;
    tag.Text = "go:" + target;
  };
  EXPECT_EQ(f.DropAt(Offering({{kUriListFormat, "http://example.org/a\r\n"},
                               {kFileGroupDescriptorFormat, descriptor}}),
                     1, 5),
            deCopy);
  EXPECT_EQ(seen, std::vector<std::string>{"http://example.org/a||Example"});
  EXPECT_EQ(f.edit.CurTextStyleNo(), 1);
  EXPECT_NE(Texts(f.data).find("[Example]"), std::string::npos) << Texts(f.data);
  // A name shorter than five characters leaves the URL as the text.
  EXPECT_EQ(DroppedLinkText("http://x/", EncodeFileGroupDescriptor({"a.b"})), "http://x/");
  EXPECT_EQ(DroppedLinkText("http://x/", "short"), "http://x/");
}

// Drops over a table land in the cell under the pointer, the table's or a nested one's:
// the drop caret stands in that cell while the drag is over it, and what is dropped goes
// in there as one undo step.
TEST(EditorDrop, DropsOnACellGoIntoThatCell) {
  TTableDropFixture f;
  const std::string folder = ScratchFolder();
  WriteFile(folder + "notes.txt", "filed");
  const TPoint over = f.CellMiddle(true, 1);
  TRDScrollerInternalIfcObject target(f.edit);
  ASSERT_TRUE(target.OleCanDropAt(over.X, over.Y));
  ASSERT_NE(f.data.DragCaret, nullptr);
  EXPECT_EQ(f.data.DragCaret->RDData, f.inner->Cells(0, 1));
  EXPECT_EQ(f.data.DragCaret->HostData, &f.data);
  target.OleDragLeave();

  EXPECT_EQ(f.DropOnCell(Offering({{"text/plain", "T"}}), false, 0), deCopy);
  EXPECT_EQ(f.edit.ActiveEditor().EditData().GetItemTextRaw(0), "aT");
  EXPECT_EQ(f.DropOnCell(Offering({{kUriListFormat, UriListOf({folder + "notes.txt"})}}), true, 1),
            deCopy);
  TRDEditRDData& deep = f.edit.ActiveEditor().EditData();
  EXPECT_EQ(&deep, f.inner->Cells(0, 1)->GetInplaceEditorData());
  EXPECT_EQ(deep.GetItemTextRaw(0), "yfiled");
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(f.data.GetItemCount(), 4);
  EXPECT_EQ(TTableDocument::CellText(*f.table->Cells(0, 0)), "aT");
  EXPECT_EQ(TTableDocument::CellText(*f.inner->Cells(0, 1)), "yfiled");
  // Each drop is one step of the document's undo list.
  EXPECT_EQ(f.data.UndoList->Count(), 2);
  const auto undo = [&f] {
    f.edit.Undo();
    SettleEditors(f.edit);
    f.edit.CloseInplaceEditor();
  };
  undo();
  EXPECT_EQ(TTableDocument::CellText(*f.inner->Cells(0, 1)), "y");
  EXPECT_EQ(TTableDocument::CellText(*f.table->Cells(0, 0)), "aT");
  undo();
  EXPECT_EQ(TTableDocument::CellText(*f.table->Cells(0, 0)), "a");
}

// The selection of a cell's editor dragged with the mouse: the root editor runs the drag
// once the cell editor's move is handled, so that a drop that closes the cell editor
// (another cell opens, or the document around the table takes the word) leaves nothing
// running in it. A move deletes the dragged word where it stands, one step to undo
// whether it leaves or enters a cell.
TEST(EditorDrop, AWordMovesOutOfAndIntoCellsAsOneStep) {
  TTableDropFixture f;
  TTableDocument::SetCellText(*f.inner, 0, 1, "yonder");
  f.Format();
  const std::string before = DescribeDocument(f.data);
  // The word of the nested table's cell to after "gamma".
  f.inner->EditCell(0, 1, false);
  TCustomRichDocEdit& cell = f.edit.ActiveEditor();
  ASSERT_NE(&cell, &f.edit);
  cell.SetSelectionRange(0, 1, 0, 7);
  const TPoint press = ClientPointOf(cell.EditData(), 0, 3);
  const TRect area = cell.DocumentRect();
  const TPoint target = f.At(1, 6);
  {
    TScriptedDrags drags({{&f.edit, target.X, target.Y}});
    SimulateMouseDown(cell, mbLeft, press.X + area.Left, press.Y + area.Top);
    SimulateMouseMove(cell, press.X + area.Left + 12, press.Y + area.Top, ssLeft);
    SettleEditors(f.edit);
    ASSERT_EQ(drags.Count(), 1);
  }
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(Texts(f.data).substr(0, 27), "[alpha beta] | [gammayonder") << Texts(f.data);
  EXPECT_EQ(TTableDocument::CellText(*f.inner->Cells(0, 1)), "");
  f.edit.Undo();
  SettleEditors(f.edit);
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeDocument(f.data), before);

  // A paragraph's word into the cell "a": one undo takes it out and puts it back.
  Select(f, 0, 7, 0, 11);  // "beta"
  const TPoint inside = f.At(0, 9);
  const TPoint over = f.CellMiddle(false, 0);
  {
    TScriptedDrags drags({{&f.edit, over.X, over.Y}});
    SimulateMouseDown(f.edit, mbLeft, inside.X, inside.Y);
    SimulateMouseMove(f.edit, inside.X + 10, inside.Y, ssLeft);
    ASSERT_EQ(drags.Count(), 1);
  }
  SettleEditors(f.edit);
  EXPECT_EQ(f.edit.ActiveEditor().EditData().GetItemTextRaw(0), "abeta");
  EXPECT_EQ(f.data.GetItemTextRaw(0), "alpha ");
  f.edit.ActiveEditor().Undo();
  SettleEditors(f.edit);
  f.edit.CloseInplaceEditor();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

// Our controls in a program of their own, for the tests that drag between two programs
// on one X display.
//
//   drag_source list NAME LEFT FILE
//     A section list in a window at (LEFT, 0), 300 x 300, holding the groups "NAME-g0"
//     (rows NAME-r0, NAME-r1, NAME-r2) and "NAME-g1" (row NAME-r3). Whenever they change
//     it writes them to FILE as "group:row,row;group:row;", the selected rows to
//     FILE.selected as "row,row", FILE.dragging "1" while a drag started here runs (its
//     answer awaited included) and "0" once it has ended, and FILE.over whenever an
//     accepted drag comes over one of its groups. When FILE.close appears it frees its
//     window, whatever runs, and once no drag runs it ends.
//   drag_source viewer FILE
//     A viewer in a window at (0, 0), 380 x 300, holding a line of styled text and a
//     table of two rows of two cells, "p" "q" and "r" "s", all of it selected and copied
//     to the clipboard as Ctrl+C does. FILE gets the middles of the first and the last
//     cell, "x y x y". When FILE.close appears it frees its window, whatever runs, and
//     once no drag runs it ends.
//   drag_source file-editor FILE
//     An editor in a window at (0, 0), 380 x 300, holding the paragraph "Drop:". Whenever
//     its document changes it writes the items to FILE, "[text]" for text and "<style>"
//     for others, and FILE.over whenever a drag comes over it.
//   drag_source editor NAME LEFT FILE
//     An editor in a window at (LEFT, 0), 380 x 300, titled "editor NAME", holding
//     "alpha beta gamma", a table of two rows ("delta epsilon" | a table in the cell
//     holding "zeta eta"; "theta omega" | "iota") and "kappa lambda". It writes its text
//     to FILE and its whole document to FILE.rdf whenever they change, the selected text
//     to FILE.sel, and FILE.over whenever a drag comes over it. It follows the commands
//     the test writes to FILE.cmd, one line "N VERB ARGUMENTS" (each new N once), and
//     answers "N x y", a screen point ("-1 -1" when it cannot follow it), in FILE.at:
//       select WORD   selects the word where it stands (its cell edited): its middle
//       point WORD    the middle of a word of the editor's own paragraphs
//       lineend N     just right of the end of the document's item N
//       cellend R C   just right of the end of cell (R, C) of the table
//       merged R C M  adds at the end a table of R rows of C cells whose first M rows are
//                     merged into one empty cell, and "omicron"; selects that merged
//                     cell as a block: the middle of "omicron"
//       all           selects the whole document, as a program's menu does: the middle
//                     of "alpha"
//       picture R C W H  puts a W x H picture alone in cell (R, C): its middle
//       middle        the middle of that picture
//       handle        the handle on the right edge of that picture, its cell edited
//       corner        its bottom right handle
//       size          "width height" of the picture
//       selected      "N 0", N the cells selected
//     It also writes the tables of its document to FILE.grid, "RxC/N;" for each, N the
//     cells there are (merged slots hold none).
//   drag_source viewer-cell FILE
//     A viewer in a window at (0, 0), 380 x 300, holding a line and a table of two rows of
//     one cell: "north " and "south" in a style of its own, and a table of one row, "n1"
//     and "n2". FILE gets the screen points just left and just right of "south", then of
//     "n2", "x y x y x y x y".
// Files appear whole.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "lists/ex_section_list.h"
#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/application.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/files.h"
#include "platform/sys/timer.h"
#include "platform/text/streams.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rd_clipboard.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/rtf/rtf_insert.h"
#include "richtext_edit/tables/table_cell.h"
#include "richtext_edit/tables/table_item.h"

namespace {

std::string RowsOf(TExSectionList& list) {
  std::string text;
  for (int g = 0; g < list.GroupCount(); ++g) {
    TSectionGroup& group = *list.Groups(g);
    text += list.GetNodeStrings(group.Node)->Get(0) + ":";
    for (int i = 0; i < group.GetCount(); ++i) {
      if (i > 0) text += ",";
      const TStrings& row = group.GetItemStrings(i);
      text += row.Count() > 0 ? row.Get(0) : "";
    }
    text += ";";
  }
  return text;
}

std::string SelectedRowsOf(TExSectionList& list) {
  std::string text;
  for (POGLItem node : list.Engine().SelectedItems()) {
    if (list.Engine().IsGroup(node)) continue;
    if (!text.empty()) text += ",";
    text += list.GetNodeStrings(node)->Get(0);
  }
  return text;
}

// Frees the window once FILE.close appears, from a timer as a remote request closes a
// window, whatever runs then (a drag of it, or the wait for that drag's answer); once
// no drag runs the program ends. True while the window is there.
bool KeepUnlessClosed(std::unique_ptr<TForm>& form, const std::string& file) {
  if (form && FileExists(file + ".close")) form.reset();
  if (form) return true;
  if (!DragRunning()) Application->Terminate();
  return false;
}

int RunList(const std::string& name, int left, const std::string& file) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetCaption("list " + name);
  form->SetBounds(left, 0, 300, 300);
  auto* list = new TExSectionList(form.get());
  list->SetParent(form.get());
  list->SetAlign(alClient);
  list->SetItemHeight(20);
  list->Engine().SetSelectionOptions(soMultiSelect);
  for (int g = 0, r = 0; g < 2; ++g) {
    TSectionGroup* group = list->AddGroup(name + "-g" + std::to_string(g));
    for (int n = g == 0 ? 3 : 1; n > 0; --n)
      list->AddItem(group).Add(name + "-r" + std::to_string(r++));
  }
  std::string written, selected = "-";
  bool over = false, dragging = false;
  TTimer watch(nullptr);
  watch.SetInterval(20);
  watch.OnTimer = [&](TComponent*) {
    if (!KeepUnlessClosed(form, file)) return;
    const std::string rows = RowsOf(*list);
    if (rows != written) SaveFileAtomically(file, written = rows);
    const std::string chosen = SelectedRowsOf(*list);
    if (chosen != selected) SaveFileAtomically(file + ".selected", selected = chosen);
    // Written after the rows: what a drag did to them shows by the time it has ended.
    if (DragRunning() != dragging)
      SaveFileAtomically(file + ".dragging", (dragging = !dragging) ? "1" : "0");
    if (!over && list->Engine().DropTarget()) SaveFileAtomically(file + ".over", "over\n");
    over = list->Engine().DropTarget() != nullptr;
  };
  watch.SetEnabled(true);
  form->Show();
  Application->Run();
  return 0;
}

// A window at (left, 0), 380 x 300, titled caption, filled with a viewer (or editor) of
// the style sheet.
template <class TDoc>
TDoc& DocumentWindow(TForm& form, const std::string& caption, int left, TRDStyle& style) {
  form.SetCaption(caption);
  form.SetBounds(left, 0, 380, 300);
  auto* doc = new TDoc(&form);
  doc->SetParent(&form);
  doc->SetAlign(alClient);
  doc->SetBorderStyle(bsNone);
  doc->SetStyle(&style);
  return *doc;
}

int RunViewer(const std::string& file) {
  auto form = std::make_unique<TForm>(nullptr);
  TRDStyle style;
  TRichDoc* doc = &DocumentWindow<TRichDoc>(*form, "viewer", 0, style);
  doc->AddTextParagraph("Hello from the ", 0, 0);
  doc->AddTextContinued("loopback", 1);
  doc->AddTextContinued(" server", 0);
  auto table = std::make_unique<TRDTableItemInfo>(2, 2, &doc->RDData());
  TRDTableItemInfo& cells = *table;
  const char* texts[] = {"p", "q", "r", "s"};
  for (int i = 0; i < 4; ++i) {
    TRDTableCellData& cell = *cells.Cells(i / 2, i % 2);
    cell.Clear();
    cell.AddText(texts[i], 0, 0);
  }
  doc->RDData().AddItemAtEnd("", std::move(table));
  doc->FormatDocument();
  int left = 0, top = 0;
  doc->RDData().GetItemCoords(1, left, top);
  std::string middles;
  for (const TRDTableCellData* cell : {cells.Cells(0, 0), cells.Cells(1, 1)}) {
    middles += std::to_string(left + cell->Left() + cell->Width / 2) + " " +
               std::to_string(top + cell->Top + cell->Height / 2) + " ";
  }
  SaveFileAtomically(file, middles);
  form->Show();
  doc->SelectAll();
  doc->CopySelection();
  TTimer watch(nullptr);
  watch.SetInterval(20);
  watch.OnTimer = [&](TComponent*) { KeepUnlessClosed(form, file); };
  watch.SetEnabled(true);
  Application->Run();
  return 0;
}

int RunFileEditor(const std::string& file) {
  // Picture files load as pictures, as the program has them at start; RTF goes in through
  // the importer, which a static library leaves out unless asked for.
  RegisterPngGraphicClass();
  RegisterRTFInsertion();
  TForm form(nullptr);
  form.SetCaption("editor");
  form.SetBounds(0, 0, 380, 300);
  TRDStyle style;
  auto* edit = new TRichDocEdit(&form);
  edit->SetParent(&form);
  edit->SetAlign(alClient);
  edit->SetStyle(&style);
  edit->AddTextParagraph("Drop:", 0, 0);
  edit->FormatDocument();
  edit->OnOleDragOver = [&](TCustomRichDocEdit*, TShiftState, int, int, TRDOleDropEffects,
                            TRDOleDropEffect&) { SaveFileAtomically(file + ".over", "over\n"); };
  std::string written;
  TTimer watch(nullptr);
  watch.SetInterval(20);
  watch.OnTimer = [&](TComponent*) {
    std::string items;
    for (int i = 0; i < edit->ItemCount(); ++i) {
      const int kind = edit->GetItemStyleIndex(i);
      items += kind >= 0 ? "[" + edit->ReadItemText(i) + "]" : "<" + std::to_string(kind) + ">";
    }
    if (items != written) SaveFileAtomically(file, written = items);
  };
  watch.SetEnabled(true);
  form.Show();
  Application->Run();
  return 0;
}

std::string BytesOf(TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// The document holding a text item with the whole word, searched through the documents
// of tables (an edited cell's editor stands for the cell); the item and the word's
// offsets.
TCustomRDData* FindWord(TCustomRDData& data, const std::string& word, int& itemNo, int& start) {
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo* item = data.GetItem(i);
    if (item->StyleNo >= 0) {
      const std::string text = " " + data.GetItemTextRaw(i) + " ";
      if (const std::size_t at = text.find(" " + word + " "); at != std::string::npos) {
        itemNo = i;
        start = int(at) + 1;
        return &data;
      }
    }
    for (int k = 0; k < item->GetSubDocCount(); ++k)
      if (TCustomRDData* sub = item->GetSubDoc(k))
        if (TCustomRDData* found = FindWord(*sub->GetInplaceEditorData(), word, itemNo, start))
          return found;
  }
  return nullptr;
}

// The screen point of a point of an editor's document.
TPoint ScreenOf(TCustomRichDocEdit& editor, int x, int y) {
  TRDEditRDData& data = editor.EditData();
  int originX, originY;
  data.GetOrigin(originX, originY);
  const TRect area = editor.DocumentRect();
  return editor.ClientToScreen(
      Point(x - data.GetHOffs() + originX + area.Left, y - data.GetVOffs() + originY + area.Top));
}

// The middle of the word at caret offsets [start, start + length) of item itemNo,
// found by asking the document what lies under the points of the item's line.
bool WordMiddle(TRDEditRDData& data, int itemNo, int start, int length, TPoint& at) {
  int d, o;
  data.ItemToDrawItem(itemNo, start, d, o);
  if (d < 0) return false;
  const TRDDrawLineInfo& line = *data.DrawItems[d];
  const int y = line.Top + line.Height / 2;
  int first = -1, last = -1;
  for (int x = line.Left; x < line.Left + line.Width; ++x) {
    int dd, dOffs, n, offs;
    data.FindDrawItemAtPos(x, y, true, dd, dOffs);
    if (dd < 0) continue;
    data.DrawItemToItem(dd, dOffs, n, offs);
    if (n == itemNo && offs > start && offs < start + length) {
      if (first < 0) first = x;
      last = x;
    }
  }
  if (first < 0) return false;
  at = ScreenOf(*data.Editor(), (first + last) / 2, y);
  return true;
}

class TEditorProbe {
 public:
  TEditorProbe(TCustomRichDocEdit& editor, TRDTableItemInfo& table, std::string file)
      : editor_(editor), table_(table), file_(std::move(file)) {}

  void Tick() {
    TRDEditRDData& data = editor_.EditData();
    TMemoryStream text, rdf;
    SaveTextToStreamUTF8(data, text, 80, false, false);
    SaveRDFToStream(data, rdf, false, TRDFSaveContext());
    // The document before the text: a test that saw the text change reads the document
    // of that change.
    Write(file_ + ".rdf", BytesOf(rdf), rdf_);
    Write(file_, BytesOf(text), text_);
    Write(file_ + ".sel", SelectedText(SelectionHolder(data), false), selected_);
    Write(file_ + ".grid", Grids(data), grids_);
    const bool over = data.DragCaret != nullptr;
    if (over && !over_) SaveFileAtomically(file_ + ".over", "over\n");
    over_ = over;
    std::ifstream commands(file_ + ".cmd");
    std::string line;
    if (!std::getline(commands, line)) return;
    std::istringstream command(line);
    int n = 0;
    std::string verb;
    command >> n >> verb;
    if (n <= done_) return;
    done_ = n;
    // What cannot be followed now is answered "-1 -1".
    TPoint at = Point(-1, -1);
    if (!Follow(verb, command, at)) at = Point(-1, -1);
    SaveFileAtomically(file_ + ".at", std::to_string(n) + " " + std::to_string(at.X) + " " +
                                          std::to_string(at.Y) + "\n");
  }

 private:
  bool Follow(const std::string& verb, std::istringstream& command, TPoint& at) {
    TRDEditRDData& root = editor_.EditData();
    if (verb == "all") {
      editor_.SelectAll();
      int itemNo = -1, start = 0;
      return FindWord(root, "alpha", itemNo, start) &&
             WordMiddle(root, itemNo, start, int(std::string("alpha").size()), at);
    }
    if (verb == "select" || verb == "point") {
      std::string word;
      command >> word;
      int itemNo = -1, start = 0;
      TCustomRDData* holder = FindWord(root, word, itemNo, start);
      if (!holder) return false;
      auto* data = dynamic_cast<TRDEditRDData*>(verb == "select" ? holder->StartEditing() : holder);
      if (!data || !data->Editor()) return false;
      FindWord(*data, word, itemNo, start);
      const int length = int(word.size());
      if (verb == "select") {
        data->SetSelectionBounds(itemNo, start, itemNo, start + length);
        data->Editor()->Invalidate();
      }
      return WordMiddle(*data, itemNo, start, length, at);
    }
    int left = 0, top = 0;
    if (verb == "lineend") {
      int itemNo = -1;
      command >> itemNo;
      if (itemNo < 0 || itemNo >= root.GetItemCount()) return false;
      const TRDDrawLineInfo& line = *root.DrawItems[root.GetItem(itemNo)->DrawItemNo];
      at = ScreenOf(editor_, line.Left + line.Width + 12, line.Top + line.Height / 2);
      return true;
    }
    if (verb == "merged") {
      int rows = 0, cols = 0, mergedRows = 0;
      command >> rows >> cols >> mergedRows;
      if (rows < 1 || cols < 1 || mergedRows < 1 || mergedRows > rows) return false;
      auto table = std::make_unique<TRDTableItemInfo>(rows, cols, &root);
      TRDTableItemInfo& added = *table;
      added.Rows->MergeCells(0, 0, cols, mergedRows, true, false);
      root.AddItemAtEnd("", std::move(table));
      root.AddText("omicron", 0, 0);
      editor_.FormatDocument();
      added.Select(0, 0, cols - 1, mergedRows - 1);
      editor_.Invalidate();
      int itemNo = -1, start = 0;
      return FindWord(root, "omicron", itemNo, start) &&
             WordMiddle(root, itemNo, start, int(std::string("omicron").size()), at);
    }
    if (verb == "picture" || verb == "middle" || verb == "handle" || verb == "corner" ||
        verb == "size" || verb == "selected")
      return FollowPicture(verb, command, at);
    if (verb == "cellend") {
      int row = -1, col = -1;
      command >> row >> col;
      const TRDTableCellData* cell = table_.Cells(row, col);
      if (!cell || !root.GetItemCoords(root.GetItemNo(&table_), left, top)) return false;
      at = ScreenOf(editor_, left + cell->Left() + cell->Width - 8, top + cell->Top + 10);
      return true;
    }
    return false;
  }

  bool FollowPicture(const std::string& verb, std::istringstream& command, TPoint& at) {
    if (verb == "selected") {
      at = Point(0, 0);
      for (int r = 0; r < table_.RowCount(); ++r)
        for (int c = 0; c < table_.ColCount(); ++c) at.X += table_.IsCellSelected(r, c);
      return true;
    }
    if (verb == "picture") {
      int row = -1, col = -1, width = 0, height = 0;
      command >> row >> col >> width >> height;
      TRDTableCellData* cell = table_.Cells(row, col);
      if (!cell || width < 1 || height < 1) return false;
      auto bitmap = std::make_unique<TBitmap>();
      bitmap->SetSize(width, height);
      auto item = TRDGraphicItemInfo::CreateWithGraphic(cell, std::move(bitmap), rdvaBaseline);
      picture_ = item.get();
      picture_cell_ = cell;
      cell->Clear();
      cell->AddItemAtEnd("", std::move(item));
      table_.MarkChanged();
      editor_.FormatDocument();
      editor_.Invalidate();
      return PictureMiddle(at);
    }
    if (!picture_) return false;
    if (verb == "size") {
      at = Point(picture_->GetImageWidth(), picture_->GetImageHeight());
      return true;
    }
    if (verb == "middle") return PictureMiddle(at);
    // The handles of the picture selected in the cell's editor, 3 pixels inside its edges.
    TCustomRichDocEdit* cellEditor = PictureEditor();
    if (!cellEditor || !cellEditor->EditData().Resizer) return false;
    const TRDDrawLineInfo& line = *cellEditor->EditData().DrawItems[picture_->DrawItemNo];
    at = ScreenOf(*cellEditor, line.Left + line.Width - 3,
                  verb == "corner" ? line.Top + line.Height - 3 : line.Top + line.Height / 2);
    return true;
  }

  // The cell editor open on the picture's cell.
  TCustomRichDocEdit* PictureEditor() {
    TCustomRichDocEdit* cellEditor = editor_.InplaceEditor();
    if (!cellEditor || cellEditor->EditData().Items.IndexOfObject(picture_) < 0) return nullptr;
    return cellEditor;
  }

  // The middle of the picture, in its cell's editor when that is open; alone in its
  // closed cell, it starts where the cell's content does.
  bool PictureMiddle(TPoint& at) {
    if (TCustomRichDocEdit* cellEditor = PictureEditor()) {
      const TRDDrawLineInfo& line = *cellEditor->EditData().DrawItems[picture_->DrawItemNo];
      at = ScreenOf(*cellEditor, line.Left + line.Width / 2, line.Top + line.Height / 2);
      return true;
    }
    TRDEditRDData& root = editor_.EditData();
    int left = 0, top = 0;
    if (!root.GetItemCoords(root.GetItemNo(&table_), left, top)) return false;
    const TRDTableCellData& cell = *picture_cell_;
    const int padding = table_.CellPadding();
    at = ScreenOf(editor_, left + cell.Left() + padding + picture_->GetWidth() / 2,
                  top + cell.Top + padding + cell.GetExtraVOffs() + picture_->GetHeight() / 2);
    return true;
  }

  static std::string Grids(TCustomRDData& data) {
    std::string grids;
    for (int i = 0; i < data.GetItemCount(); ++i) {
      auto* table = dynamic_cast<TRDTableItemInfo*>(data.GetItem(i));
      if (!table) continue;
      const int rows = table->RowCount(), cols = table->ColCount();
      int cells = 0;
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) cells += table->Cells(r, c) != nullptr;
      grids +=
          std::to_string(rows) + "x" + std::to_string(cols) + "/" + std::to_string(cells) + ";";
    }
    return grids;
  }

  static void Write(const std::string& file, const std::string& bytes, std::string& written) {
    if (bytes != written) SaveFileAtomically(file, written = bytes);
  }

  TCustomRichDocEdit& editor_;
  TRDTableItemInfo& table_;
  TRDGraphicItemInfo* picture_ = nullptr;
  TRDTableCellData* picture_cell_ = nullptr;
  std::string file_;
  std::string text_ = "-", rdf_ = "-", selected_ = "-", grids_ = "-";
  bool over_ = false;
  int done_ = 0;
};

void FillCell(TRDTableCellData& cell, const char* text) {
  cell.Clear();
  cell.AddText(text, 0, 0);
}

int RunEditor(const std::string& name, int left, const std::string& file) {
  TForm form(nullptr);
  TRDStyle style;
  TRichDocEdit* editor = &DocumentWindow<TRichDocEdit>(form, "editor " + name, left, style);
  TRDEditRDData& data = editor->EditData();
  data.AddText("alpha beta gamma", 0, 0);
  auto table = std::make_unique<TRDTableItemInfo>(2, 2, &data);
  TRDTableItemInfo& cells = *table;
  cells.SetBestWidth(340);
  FillCell(*cells.Cells(0, 0), "delta epsilon");
  TRDTableCellData& outer = *cells.Cells(0, 1);
  outer.Clear();
  auto inner = std::make_unique<TRDTableItemInfo>(1, 1, &outer);
  FillCell(*inner->Cells(0, 0), "zeta eta");
  outer.AddItemAtEnd("", std::move(inner));
  FillCell(*cells.Cells(1, 0), "theta omega");
  FillCell(*cells.Cells(1, 1), "iota");
  data.AddItemAtEnd("", std::move(table));
  data.AddText("kappa lambda", 0, 0);
  editor->FormatDocument();
  TEditorProbe probe(*editor, cells, file);
  TTimer watch(nullptr);
  watch.SetInterval(20);
  watch.OnTimer = [&](TComponent*) { probe.Tick(); };
  watch.SetEnabled(true);
  form.Show();
  Application->Run();
  return 0;
}

// A point of a cell's document, relative to the top left of the cell's table.
TPoint InTable(const TRDTableItemInfo& table, const TRDTableCellData& cell, int x, int y) {
  return Point(cell.Left() + table.CellPadding() + x,
               cell.Top + table.CellPadding() + cell.GetExtraVOffs() + y);
}

// The points just inside the left and the right end of the cell's item itemNo, halfway
// down, relative to the top left of the cell's table.
std::pair<TPoint, TPoint> WordInCell(const TRDTableItemInfo& table, TRDTableCellData& cell,
                                     int itemNo) {
  const TRDDrawLineInfo& word = *cell.DrawItems[cell.GetItem(itemNo)->DrawItemNo];
  const TPoint left = InTable(table, cell, word.Left + 1, word.Top + word.Height / 2);
  return {left, Point(left.X + word.Width - 2, left.Y)};
}

int RunViewerCell(const std::string& file) {
  TForm form(nullptr);
  TRDStyle style;
  TRichDoc* doc = &DocumentWindow<TRichDoc>(form, "viewer", 0, style);
  doc->AddTextParagraph("A table below", 0, 0);
  auto table = std::make_unique<TRDTableItemInfo>(2, 1, &doc->RDData());
  TRDTableItemInfo& cells = *table;
  TRDTableCellData& cell = *table->Cells(0, 0);
  table->SetBestWidth(300);
  cell.Clear();
  cell.AddText("north ", 0, 0);
  cell.AddText("south", 1, -1);
  TRDTableCellData& outer = *table->Cells(1, 0);
  outer.Clear();
  auto inner = std::make_unique<TRDTableItemInfo>(1, 2, &outer);
  TRDTableItemInfo& nested = *inner;
  for (int c = 0; c < 2; ++c) {
    nested.Cells(0, c)->Clear();
    nested.Cells(0, c)->AddText("n" + std::to_string(c + 1), 0, 0);
  }
  outer.AddItemAtEnd("", std::move(inner));
  doc->RDData().AddItemAtEnd("", std::move(table));
  doc->FormatDocument();
  int left = 0, top = 0;
  doc->RDData().GetItemCoords(1, left, top);
  const auto south = WordInCell(cells, cell, 1);
  // The nested table stands at its draw line in the lower cell.
  const TRDDrawLineInfo& line = *outer.DrawItems[outer.GetItem(0)->DrawItemNo];
  const TPoint at = InTable(cells, outer, line.Left, line.Top);
  auto n2 = WordInCell(nested, *nested.Cells(0, 1), 0);
  for (TPoint* point : {&n2.first, &n2.second}) *point = Point(point->X + at.X, point->Y + at.Y);
  TRichDocRDData& data = doc->RDData();
  int originX, originY;
  data.GetOrigin(originX, originY);
  const TRect area = doc->DocumentRect();
  std::string points;
  for (const TPoint& point : {south.first, south.second, n2.first, n2.second}) {
    const TPoint screen =
        doc->ClientToScreen(Point(left + point.X - data.GetHOffs() + originX + area.Left,
                                  top + point.Y - data.GetVOffs() + originY + area.Top));
    points +=
        (points.empty() ? "" : " ") + std::to_string(screen.X) + " " + std::to_string(screen.Y);
  }
  SaveFileAtomically(file, points);
  form.Show();
  Application->Run();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "list" && argc == 5) return RunList(argv[2], std::stoi(argv[3]), argv[4]);
  if (mode == "viewer" && argc == 3) return RunViewer(argv[2]);
  if (mode == "file-editor" && argc == 3) return RunFileEditor(argv[2]);
  if (mode == "editor" && argc == 5) return RunEditor(argv[2], std::stoi(argv[3]), argv[4]);
  if (mode == "viewer-cell" && argc == 3) return RunViewerCell(argv[2]);
  std::fprintf(stderr,
               "usage: drag_source list NAME LEFT FILE | viewer FILE | file-editor FILE |"
               " editor NAME LEFT FILE | viewer-cell FILE\n");
  return 2;
}

// Our controls in a program of their own, for the tests that drag between two programs
// on one X display.
//
//   drag_source list NAME LEFT FILE
//     A section list in a window at (LEFT, 0), 300 x 300, holding the groups "NAME-g0"
//     (rows NAME-r0, NAME-r1, NAME-r2) and "NAME-g1" (row NAME-r3). Whenever they change
//     it writes them to FILE as "group:row,row;group:row;", the selected rows to
//     FILE.selected as "row,row", FILE.dragging "1" while a drag started here runs (its
//     answer awaited included) and "0" once it has ended, and FILE.over whenever an
//     accepted drag comes over one of its groups.
//   drag_source viewer FILE
//     A viewer in a window at (0, 0), 380 x 300, holding a line of styled text and a
//     table of two rows of two cells, "p" "q" and "r" "s", all of it selected and copied
//     to the clipboard as Ctrl+C does. FILE gets the middles of the first and the last
//     cell, "x y x y".
//   drag_source editor FILE
//     An editor in a window at (0, 0), 380 x 300, holding the paragraph "Drop:". Whenever
//     its document changes it writes the items to FILE, "[text]" for text and "<style>"
//     for others, and FILE.over whenever a drag comes over it.
// Files appear whole.
#include <cstdio>
#include <string>

#include "lists/ex_section_list.h"
#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/forms.h"
#include "platform/sys/application.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/timer.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/rtf/rtf_insert.h"
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

int RunList(const std::string& name, int left, const std::string& file) {
  TForm form(nullptr);
  form.SetCaption("list " + name);
  form.SetBounds(left, 0, 300, 300);
  auto* list = new TExSectionList(&form);
  list->SetParent(&form);
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
  form.Show();
  Application->Run();
  return 0;
}

int RunViewer(const std::string& file) {
  TForm form(nullptr);
  form.SetCaption("viewer");
  form.SetBounds(0, 0, 380, 300);
  TRDStyle style;
  auto* doc = new TRichDoc(&form);
  doc->SetParent(&form);
  doc->SetAlign(alClient);
  doc->SetBorderStyle(bsNone);
  doc->SetStyle(&style);
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
    middles += std::to_string(left + cell->Left + cell->Width / 2) + " " +
               std::to_string(top + cell->Top + cell->Height / 2) + " ";
  }
  SaveFileAtomically(file, middles);
  form.Show();
  doc->SelectAll();
  doc->CopySelection();
  Application->Run();
  return 0;
}

int RunEditor(const std::string& file) {
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

}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "list" && argc == 5) return RunList(argv[2], std::stoi(argv[3]), argv[4]);
  if (mode == "viewer" && argc == 3) return RunViewer(argv[2]);
  if (mode == "editor" && argc == 3) return RunEditor(argv[2]);
  std::fprintf(stderr,
               "usage: drag_source list NAME LEFT FILE | drag_source viewer FILE | "
               "drag_source editor FILE\n");
  return 2;
}

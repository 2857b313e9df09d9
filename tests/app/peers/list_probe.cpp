// Our lists in a program of their own, for trying their keys and hints on an X display
// as a user does (xdotool moves the mouse and presses the keys, screenshots show them).
//
//   list_probe grouped FILE
//     A bare grouped list in a window at (0, 0), 300 x 300: one group of 200 rows, each
//     with the hint "row N" from the list's own hint request; no other control of the
//     program has shown a hint before.
//   list_probe section FILE
//     A section list in a window at (0, 0), 500 x 400: one group of 300 rows; column 1
//     hints a text of about 4,000 characters, column 2 a short one.
// Whenever the focused row changes, FILE gets its index and the list's scroll position,
// "index top" (written whole).
#include <cstdio>
#include <memory>
#include <string>

#include "lists/ex_section_list.h"
#include "lists/section_grouped_list.h"
#include "platform/gui/controls/forms.h"
#include "platform/sys/application.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/timer.h"

namespace {

// Writes the focused row of the list to file whenever it changes.
void WatchFocus(TTimer& watch, TSectionGroupedList& list, const std::string& file) {
  auto written = std::make_shared<std::string>();
  watch.SetInterval(20);
  watch.OnTimer = [&list, file, written](TComponent*) {
    const POGLItem focused = list.FocusedItem();
    const std::string now = (focused ? std::to_string(focused->Index()) : "-") + " " +
                            std::to_string(list.TopPosition()) + "\n";
    if (now != *written) SaveFileAtomically(file, *written = now);
  };
  watch.SetEnabled(true);
}

int RunGrouped(const std::string& file) {
  TForm form(nullptr);
  form.SetCaption("grouped probe");
  form.SetBounds(0, 0, 300, 300);
  auto* list = new TSectionGroupedList(&form);
  list->SetParent(&form);
  list->SetAlign(alClient);
  list->SetViewStyle(vsList);
  list->ItemDataSize = sizeof(int);
  list->OnGetChildItemHeight = [](TSectionGroupedList*, TCanvas&, int& h) { h = 20; };
  list->OnGetCaption = [list](TSectionGroupedList*, POGLItem n, std::string& c) {
    c = n->Parent == list->RootItem() ? "group" : "row " + std::to_string(n->Index());
  };
  list->OnGetHint = [list](TSectionGroupedList*, POGLItem n, std::string& text, TPoint&) {
    if (n && n->Parent != list->RootItem()) text = "row " + std::to_string(n->Index());
  };
  POGLItem group = list->AddItem(nullptr);
  for (int i = 0; i < 200; ++i) list->AddItem(group);
  list->Relayout();
  TTimer watch(nullptr);
  WatchFocus(watch, *list, file);
  form.Show();
  list->SetFocus();
  Application->Run();
  return 0;
}

int RunSection(const std::string& file) {
  TForm form(nullptr);
  form.SetCaption("section probe");
  form.SetBounds(0, 0, 500, 400);
  auto* list = new TExSectionList(&form);
  list->SetParent(&form);
  list->SetAlign(alClient);
  std::string longHint;
  for (int i = 0; longHint.size() < 4000; ++i)
    longHint += "DL1ABC-" + std::to_string(i % 16) + " via WIDE1-1,WIDE2-2,qAR,DB0XYZ ";
  list->Columns.Items(1)->SetWidth(200);
  list->Columns.Items(1)->SetHint(longHint);
  list->Columns.Items(1)->SetShowHint(true);
  list->Columns.Items(2)->SetWidth(150);
  list->Columns.Items(2)->SetHint("a short hint");
  list->Columns.Items(2)->SetShowHint(true);
  TSectionGroup* group = list->AddGroup("stations");
  list->BeginUpdate();
  for (int i = 0; i < 300; ++i) {
    TStrings& row = list->AddItem(group);
    row.Add("DL" + std::to_string(i) + "ABC");
    row.Add(std::to_string(i) + " km");
  }
  list->EndUpdate();
  TTimer watch(nullptr);
  WatchFocus(watch, list->Engine(), file);
  form.Show();
  list->Engine().SetFocus();
  Application->Run();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "grouped" && argc == 3) return RunGrouped(argv[2]);
  if (mode == "section" && argc == 3) return RunSection(argv[2]);
  std::fprintf(stderr, "usage: list_probe grouped FILE | list_probe section FILE\n");
  return 2;
}

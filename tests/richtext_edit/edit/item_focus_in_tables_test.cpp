// Tab through the focusable items of a viewer whose table cells hold links and controls:
// the walk goes through the cells in order before it leaves the table.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/edit.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/model/control_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/tables/table_item.h"

namespace {

constexpr int kJumpStyle = 4;

// A viewer on a form: a table of two cells, the first holding an edit and the link
// "one", the second the link "two" and an edit; after the table the link "three".
struct TableOfStops {
  TableOfStops() {
    form.SetBounds(0, 0, 400, 300);
    doc = new TRichDoc(&form);
    doc->SetParent(&form);
    doc->SetStyle(&style);
    doc->SetBounds(0, 0, 380, 250);
    TRichDocRDData& data = doc->RDData();
    doc->AddTextParagraph("table:", 0, 0);
    auto made = std::make_unique<TRDTableItemInfo>(1, 2, &data);
    TRDTableCellData& first = *made->Cells(0, 0);
    first.Clear();
    first.AddItemAtEnd("", Control(first, firstEdit));
    first.AddText(" one", kJumpStyle, -1);
    TRDTableCellData& second = *made->Cells(0, 1);
    second.Clear();
    second.AddText("two ", kJumpStyle, 0);
    second.AddItemAtEnd("", Control(second, secondEdit));
    data.AddItemAtEnd("", std::move(made));
    doc->AddTextParagraph("three", kJumpStyle, 0);
    doc->FormatDocument();
    form.Show();
    Application->ProcessMessages();  // let the window become active
  }
  ~TableOfStops() { form.Hide(); }

  static std::unique_ptr<TRDControlItemInfo> Control(TCustomRDData& cell, TEdit*& edit) {
    auto inner = std::make_unique<TEdit>(nullptr);
    edit = inner.get();
    return TRDControlItemInfo::CreateWithControl(&cell, std::move(inner), rdvaBaseline);
  }

  // Tab (Shift+Tab) where the focus is; where it went: an edit, or the focused link's text.
  std::string Press(TShiftState shift) {
    TWinControl* from = firstEdit->Focused()    ? static_cast<TWinControl*>(firstEdit)
                        : secondEdit->Focused() ? static_cast<TWinControl*>(secondEdit)
                                                : static_cast<TWinControl*>(doc);
    SimulateKey(*from, VK_TAB, shift ? "" : "\t", shift);
    if (firstEdit->Focused()) return "first edit";
    if (secondEdit->Focused()) return "second edit";
    const TRichDocRDData& data = doc->RDData();
    if (!doc->Focused() || !data.FocusedItemData) return "none";
    return data.FocusedItemData->GetItemTextRaw(data.FocusedItemNo);
  }

  TForm form{nullptr};
  TRDStyle style;
  TRichDoc* doc;
  TEdit* firstEdit = nullptr;
  TEdit* secondEdit = nullptr;
};

TEST(ItemFocusInTables, TabWalksTheCellsInOrderBeforeLeavingTheTable) {
  TableOfStops f;
  f.firstEdit->SetFocus();
  if (!f.firstEdit->Focused()) GTEST_SKIP() << "no focus without an active window here";
  std::vector<std::string> forward;
  for (int i = 0; i < 4; ++i) forward.push_back(f.Press(0));
  EXPECT_EQ(forward, (std::vector<std::string>{" one", "two ", "second edit", "three"}));
  std::vector<std::string> backward;
  for (int i = 0; i < 4; ++i) backward.push_back(f.Press(ssShift));
  EXPECT_EQ(backward, (std::vector<std::string>{"second edit", "two ", " one", "first edit"}));
}

}  // namespace

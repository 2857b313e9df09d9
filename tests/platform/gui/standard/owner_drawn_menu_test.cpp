// The window of an owner-drawn menu: columns from item breaks, the keyboard across items,
// columns and sub-menus, the pointer resting on and clicking items, access keys.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/menu.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

namespace {

using Lines = std::vector<std::string>;

// Lets the event loop run until Done holds (timers included), for at most two seconds.
bool RunUntil(const std::function<bool()>& Done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!Done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string Captions() {
  std::string text;
  for (const TShownMenuItem& item : ShownMenuItems()) text += item.Caption + "|";
  return text;
}

struct OwnerDrawnMenuTest : ::testing::Test {
  OwnerDrawnMenuTest() { menu->OwnerDraw = true; }
  TMenuItem* Add(const std::string& Caption, TMenuItem* Parent = nullptr) {
    auto* item = new TMenuItem(&form);
    item->Caption = Caption;
    item->OnClick = [this](TComponent* sender) {
      log.push_back(static_cast<TMenuItem*>(sender)->Caption);
    };
    (Parent ? *Parent : menu->Items()).Add(item);
    return item;
  }
  // Runs Step while the menu is open, closes it if Step left it open, and delivers the
  // chosen item's click.
  void WhileOpen(std::function<void()> Step) {
    QueueCall([step = std::move(Step)] {
      step();
      for (int level = 0; level < 3 && !ShownMenuItems().empty(); ++level) CloseMenu();
    });
    menu->Popup(40, 30);
    Application->ProcessMessages();
  }

  TForm form{nullptr};
  TPopupMenu* menu = new TPopupMenu(&form);
  Lines log;
};

// Breaks start columns side by side at the top; a bar break leaves room for its line,
// and a separator is as wide as its column.
TEST_F(OwnerDrawnMenuTest, BreaksLayTheItemsOutInColumns) {
  TMenuItem* zoomIn = Add("Zoom in");
  TMenuItem* line = Add("-");
  TMenuItem* zoomOut = Add("Zoom out");
  TMenuItem* grid = Add("Grid");
  grid->Break = mbBreak;
  TMenuItem* labels = Add("Labels");
  TMenuItem* tracks = Add("Tracks");
  tracks->Break = mbBarBreak;
  TRect in, sep, out, g, l, t;
  TBitmap picture;
  WhileOpen([&] {
    in = zoomIn->PopupRect();
    sep = line->PopupRect();
    out = zoomOut->PopupRect();
    g = grid->PopupRect();
    l = labels->PopupRect();
    t = tracks->PopupRect();
    ShownMenuPicture(picture);
  });
  EXPECT_EQ(in.Left, TPopupMenu::kOwnerDrawMenuBorder);
  EXPECT_EQ(in.Top, TPopupMenu::kOwnerDrawMenuBorder);
  EXPECT_EQ(sep.Top, in.Bottom);
  EXPECT_EQ(out.Top, sep.Bottom);
  EXPECT_EQ(sep.Width(), out.Width());  // the column's widest item sets its width
  EXPECT_EQ(g.Left, out.Right);
  EXPECT_EQ(g.Top, in.Top);
  EXPECT_EQ(l.Left, g.Left);
  EXPECT_EQ(l.Top, g.Bottom);
  EXPECT_EQ(t.Top, in.Top);
  EXPECT_EQ(t.Left, l.Right + 4);
  // The window holds the tallest column and every column, border included.
  EXPECT_EQ(picture.Width(), t.Right + TPopupMenu::kOwnerDrawMenuBorder);
  EXPECT_EQ(picture.Height(), out.Bottom + TPopupMenu::kOwnerDrawMenuBorder);
  // The bar is a line down the middle of the room between the columns.
  const int middle = (in.Top + in.Bottom) / 2;
  EXPECT_NE(picture.Canvas().Pixels(l.Right + 2, middle), picture.Canvas().Pixels(l.Right, middle));
}

// Right to left the first column reads from the right.
TEST_F(OwnerDrawnMenuTest, RightToLeftTheColumnsReadFromTheRight) {
  menu->BiDiMode = bdRightToLeft;
  TMenuItem* first = Add("Zoom in");
  TMenuItem* second = Add("Grid");
  second->Break = mbBreak;
  TRect a, b;
  SimulateDesktopLanguage("he_IL");
  WhileOpen([&] {
    a = first->PopupRect();
    b = second->PopupRect();
  });
  SimulateDesktopLanguage("");
  EXPECT_EQ(a.Top, b.Top);
  EXPECT_EQ(b.Right, a.Left);
}

// Up and Down walk the items (over separators, round the ends), Left and Right the
// columns to the nearest item, Enter chooses; a disabled item is lit but not chosen.
TEST_F(OwnerDrawnMenuTest, TheKeyboardWalksItemsAndColumns) {
  Add("Zoom in");
  Add("-");
  Add("Zoom out");
  Add("Grid")->Break = mbBreak;
  Add("Labels");
  Add("Tracks")->Enabled = false;
  // Without measure handlers every row, the separator's too, is one line high.
  WhileOpen([] {
    SimulateMenuKey(VK_DOWN);                                         // Zoom in
    SimulateMenuKey(VK_DOWN);                                         // Zoom out
    SimulateMenuKey(VK_RIGHT);                                        // Tracks: level with Zoom out
    SimulateMenuKey(VK_RETURN);                                       // disabled: nothing
    EXPECT_EQ(Captions(), "Zoom in|-|Zoom out|Grid|Labels|Tracks|");  // still open
    SimulateMenuKey(VK_UP);                                           // Labels
    SimulateMenuKey(VK_RETURN);
  });
  EXPECT_EQ(log, (Lines{"Labels"}));
  log.clear();
  WhileOpen([] {
    SimulateMenuKey(VK_UP);    // round to the last item: Tracks
    SimulateMenuKey(VK_LEFT);  // Zoom out
    SimulateMenuKey(VK_LEFT);  // no column further left: stays
    SimulateMenuKey(VK_RETURN);
  });
  EXPECT_EQ(log, (Lines{"Zoom out"}));
}

TEST_F(OwnerDrawnMenuTest, AnAccessKeyChoosesItsItem) {
  Add("Zoom &in");
  Add("&Grid && labels");
  WhileOpen([] { SimulateMenuKey(TKeyCode('G'), "g"); });
  EXPECT_EQ(log, (Lines{"&Grid && labels"}));
  log.clear();
  WhileOpen([] { SimulateMenuKey(TKeyCode('L'), "l"); });  // "&&" is no access key
  EXPECT_TRUE(log.empty());
}

// Right opens a sub-menu with its first item lit, Left or Escape goes back to the menu
// it came from, which stays open.
TEST_F(OwnerDrawnMenuTest, TheKeyboardOpensAndLeavesSubMenus) {
  Add("Zoom in");
  TMenuItem* more = Add("More");
  Add("Grid", more);
  Add("Labels", more);
  std::vector<std::string> seen;
  WhileOpen([&] {
    SimulateMenuKey(VK_UP);     // More
    SimulateMenuKey(VK_RIGHT);  // its sub-menu, Grid lit
    seen.push_back(Captions());
    SimulateMenuKey(VK_ESCAPE);
    seen.push_back(Captions());
    SimulateMenuKey(VK_RETURN);  // More again: the sub-menu with Grid lit
    SimulateMenuKey(VK_DOWN);
    SimulateMenuKey(VK_RETURN);
  });
  EXPECT_EQ(seen, (Lines{"Grid|Labels|", "Zoom in|More|"}));
  EXPECT_EQ(log, (Lines{"Labels"}));
}

// Resting on an item with sub-items opens them beside it; resting on another item of the
// first menu closes them again; a click on an item of the sub-menu chooses it.
TEST_F(OwnerDrawnMenuTest, ThePointerOpensSubMenusAndChooses) {
  TMenuItem* zoomIn = Add("Zoom in");
  TMenuItem* more = Add("More");
  TMenuItem* grid = Add("Grid", more);
  bool opened = false, closed = false, reopened = false;
  TRect moreRect, gridRect;
  WhileOpen([&] {
    SimulateMenuMouseMove(more);
    opened = RunUntil([] { return Captions() == "Grid|"; });
    moreRect = more->PopupRect();
    gridRect = grid->PopupRect();
    SimulateMenuMouseMove(zoomIn);  // through the sub-menu's window to the first one
    closed = RunUntil([] { return Captions() == "Zoom in|More|"; });
    SimulateMenuMouseMove(more);
    reopened = RunUntil([] { return Captions() == "Grid|"; });
    SimulateMenuClick(grid);
  });
  EXPECT_TRUE(opened);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(reopened);
  EXPECT_EQ(log, (Lines{"Grid"}));
  EXPECT_EQ(gridRect.Top, TPopupMenu::kOwnerDrawMenuBorder);
  EXPECT_GT(moreRect.Top, gridRect.Top);  // the sub-menu's window starts level with More
}

TEST_F(OwnerDrawnMenuTest, AClickOutsideEveryMenuWindowClosesWithoutChoosing) {
  TMenuItem* more = Add("More");
  TMenuItem* grid = Add("Grid", more);
  bool closed = false;
  WhileOpen([&] {
    SimulateMenuKey(VK_DOWN);
    SimulateMenuKey(VK_RIGHT);
    SimulateMenuClick(nullptr);
    closed = ShownMenuItems().empty();
  });
  EXPECT_TRUE(closed);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(grid->PopupRect().Width() == 0);
}

}  // namespace

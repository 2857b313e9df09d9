// Pop-up menus: what an open menu shows, choosing items, the click delivered after the
// menu closed, the item tree, and the context menu of a right click on a control.
#include "platform/gui/controls/menu.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/shape.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

namespace {

using Lines = std::vector<std::string>;

std::string Describe(const std::vector<TShownMenuItem>& items) {
  std::string text;
  for (const TShownMenuItem& item : items) {
    text += item.Caption;
    if (!item.Enabled) text += " (disabled)";
    if (item.Checked) text += " (checked)";
    text += "|";
  }
  return text;
}

// Runs Step while the next menu is open, then closes it if Step left it open, so that a
// failing step cannot leave a test waiting on the menu.
void WhileOpen(std::function<void()> Step) {
  QueueCall([step = std::move(Step)] {
    step();
    CloseMenu();
  });
}

// A menu with four commands and a separator; every click is logged by caption. Each
// test runs on a desktop menu and on an owner-drawn one (which has a window of ours).
struct MenuTest : ::testing::TestWithParam<bool> {
  MenuTest() {
    menu = new TPopupMenu(&form);
    menu->OwnerDraw = GetParam();
    for (const char* caption : {"Zoom in", "-", "Zoom out", "Grid", "Hidden"}) {
      auto* item = new TMenuItem(&form);
      item->Caption = caption;
      item->OnClick = [this](TComponent* sender) {
        log.push_back("click " + static_cast<TMenuItem*>(sender)->Caption);
      };
      menu->Items().Add(item);
    }
    menu->OnPopup = [this](TComponent* sender) {
      EXPECT_EQ(sender, menu);
      log.push_back("popup");
    };
  }
  TMenuItem& Item(int index) { return *menu->Items().Items(index); }

  TForm form{nullptr};
  TPopupMenu* menu;
  Lines log;
};

TEST_P(MenuTest, ShowsTheVisibleItemsWithTheStatesOnPopupLeftThem) {
  Item(2).Enabled = false;
  Item(4).Visible = false;
  // The menu reads its items after OnPopup, so the handler can still change them.
  menu->OnPopup = [this](TComponent*) { Item(3).Checked = true; };
  std::string shown;
  WhileOpen([&] { shown = Describe(ShownMenuItems()); });
  menu->Popup(20, 30);
  EXPECT_EQ(shown, "Zoom in|-|Zoom out (disabled)|Grid (checked)|");
}

// Right to left, on a right-to-left desktop, a menu opens mirrored: to the left of the
// point. Elsewhere the setting changes nothing.
TEST_P(MenuTest, ARightToLeftMenuOpensLeftOfThePointOnARightToLeftDesktop) {
  menu->BiDiMode = bdRightToLeft;
  TPoint at{};
  WhileOpen([&] { at = ShownMenuPosition(); });
  SimulateDesktopLanguage("de_DE");
  menu->Popup(400, 300);
  EXPECT_EQ(at, Point(400, 300));
  SimulateDesktopLanguage("he_IL");
  WhileOpen([&] { at = ShownMenuPosition(); });
  menu->Popup(400, 300);
  SimulateDesktopLanguage("");
  EXPECT_LT(at.X, 400 - 20);
  EXPECT_EQ(at.Y, 300);
}

TEST_P(MenuTest, TheChosenItemIsClickedFromTheEventLoopAfterTheMenuClosed) {
  Item(3).Checked = true;
  WhileOpen([] { EXPECT_TRUE(ChooseMenuItem("Grid")); });
  menu->Popup(20, 30);
  EXPECT_EQ(log, (Lines{"popup"}));
  Application->ProcessMessages();
  EXPECT_EQ(log, (Lines{"popup", "click Grid"}));
  EXPECT_TRUE(Item(3).Checked);  // choosing does not toggle; the handler decides
}

TEST_P(MenuTest, DisabledHiddenAndSeparatorItemsCannotBeChosen) {
  Item(2).Enabled = false;
  Item(4).Visible = false;
  WhileOpen([] {
    EXPECT_FALSE(ChooseMenuItem("Zoom out"));
    EXPECT_FALSE(ChooseMenuItem("Hidden"));
    EXPECT_FALSE(ChooseMenuItem("-"));
    EXPECT_EQ(ShownMenuItems().size(), 4U);  // still open
  });
  menu->Popup(20, 30);
  Application->ProcessMessages();
  EXPECT_EQ(log, (Lines{"popup"}));
}

TEST_P(MenuTest, AMenuWithoutVisibleItemsDoesNotOpen) {
  for (int i = 0; i < menu->Items().Count(); ++i) Item(i).Visible = false;
  bool returned = false;
  bool ran_while_open = false;
  QueueCall([&] { ran_while_open = !returned; });
  menu->Popup(20, 30);
  returned = true;
  Application->ProcessMessages();
  EXPECT_FALSE(ran_while_open);
  EXPECT_EQ(log, (Lines{"popup"}));  // OnPopup still ran: it might have shown items
}

TEST_P(MenuTest, AThrowingClickHandlerReachesTheApplicationAndTheMenuGoesOn) {
  Lines reported;
  Application->OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
  Item(0).OnClick = [](TComponent*) { throw std::runtime_error("zoom failed"); };
  for (int round = 0; round < 2; ++round) {
    WhileOpen([] { ChooseMenuItem("Zoom in"); });
    menu->Popup(20, 30);
    Application->ProcessMessages();
  }
  Application->OnException = nullptr;
  EXPECT_EQ(reported, (Lines{"zoom failed", "zoom failed"}));
}

TEST_P(MenuTest, AnItemFreedBeforeItsClickArrivesIsNotClicked) {
  WhileOpen([] { ChooseMenuItem("Grid"); });
  menu->Popup(20, 30);
  std::unique_ptr<TMenuItem>(&Item(3)).reset();
  Application->ProcessMessages();
  EXPECT_EQ(log, (Lines{"popup"}));
  EXPECT_EQ(menu->Items().Count(), 4);
}

TEST_P(MenuTest, AnItemWithSubItemsOpensASubMenu) {
  auto* more = new TMenuItem(&form);
  more->Caption = "More";
  more->Add(new TMenuItem(&form));
  menu->Items().Add(more);
  std::string shown;
  WhileOpen([&] { shown = Describe(ShownMenuItems()); });
  menu->Popup(20, 30);
  EXPECT_EQ(shown, "Zoom in|-|Zoom out|Grid|Hidden|More|");
}

INSTANTIATE_TEST_SUITE_P(DesktopAndOwnerDrawn, MenuTest, ::testing::Bool());

TEST(MenuItemTree, ItemsMoveBetweenParentsAndLeaveThemWhenFreed) {
  TComponent owner;
  TPopupMenu menu(&owner);
  auto* a = new TMenuItem(&owner);
  auto* b = new TMenuItem(&owner);
  auto* c = new TMenuItem(&owner);
  menu.Items().Add(a);
  menu.Items().Add(b);
  a->Add(c);
  EXPECT_EQ(c->GetParentMenu(), &menu);
  EXPECT_EQ(menu.Items().Items(2), nullptr);

  b->Add(c);  // moves, is not shared
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(c->Parent(), b);

  EXPECT_THROW(c->Add(b), EInvalidOperation);
  EXPECT_THROW(b->Add(b), EInvalidOperation);
  EXPECT_THROW(b->Add(nullptr), EInvalidOperation);

  std::unique_ptr<TMenuItem>(b).reset();  // its owner no longer frees it
  EXPECT_EQ(menu.Items().Count(), 1);
  EXPECT_EQ(c->Parent(), nullptr);
  EXPECT_EQ(c->GetParentMenu(), nullptr);
  EXPECT_EQ(owner.ComponentCount(), 3);
}

TEST(MenuItemTree, AMenuFreedBeforeItsItemsLeavesThemDetached) {
  TComponent owner;
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  auto* item = new TMenuItem(&owner);
  menu->Items().Add(item);
  menu.reset();
  EXPECT_EQ(item->Parent(), nullptr);
  EXPECT_EQ(item->GetParentMenu(), nullptr);
}

// A form with a panel holding a shape: the panel has the context menu.
struct ContextMenuTest : MenuTest {
  ContextMenuTest() {
    form.SetBounds(0, 0, 200, 200);
    panel = new TWinControl(&form);
    panel->SetBounds(10, 10, 150, 150);
    panel->SetParent(&form);
    shape = new TShape(&form);
    shape->SetBounds(20, 20, 30, 30);
    shape->SetParent(panel);
    shape->OnMouseDown = [this](TComponent*, TMouseButton, TShiftState, int, int) {
      log.push_back("down");
    };
    shape->OnMouseUp = [this](TComponent*, TMouseButton, TShiftState, int, int) {
      log.push_back("up");
    };
  }
  TWinControl* panel;
  TShape* shape;
};

TEST_P(ContextMenuTest, ARightClickOpensTheMenuAfterOnMouseUp) {
  shape->SetPopupMenu(menu);
  WhileOpen([] { ChooseMenuItem("Zoom in"); });
  SimulateMouseDown(*shape, mbRight, 5, 5);
  SimulateMouseUp(*shape, mbRight, 5, 5);
  Application->ProcessMessages();
  EXPECT_EQ(log, (Lines{"down", "up", "popup", "click Zoom in"}));

  log.clear();
  SimulateClick(*shape, 5, 5);  // the left button opens nothing
  EXPECT_EQ(log, (Lines{"down", "up"}));
}

TEST_P(ContextMenuTest, AChildWithoutAMenuOpensItsParentsAtTheCursor) {
  panel->SetPopupMenu(menu);
  TPoint at{};
  WhileOpen([&] { at = ShownMenuPosition(); });
  SimulateMouseUp(*shape, mbRight, 5, 6);
  EXPECT_EQ(log, (Lines{"up", "popup"}));
  EXPECT_EQ(at, panel->ClientToScreen(Point(25, 26)));
}

TEST_P(ContextMenuTest, AThrowingOnPopupReachesTheApplicationAndNoMenuOpens) {
  shape->SetPopupMenu(menu);
  Lines reported;
  Application->OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
  menu->OnPopup = [](TComponent*) { throw std::runtime_error("no zoom point"); };
  bool returned = false;
  bool ran_while_open = false;
  QueueCall([&] { ran_while_open = !returned; });
  SimulateMouseUp(*shape, mbRight, 5, 5);
  returned = true;
  Application->ProcessMessages();
  Application->OnException = nullptr;
  EXPECT_EQ(reported, (Lines{"no zoom point"}));
  EXPECT_FALSE(ran_while_open);
}

INSTANTIATE_TEST_SUITE_P(DesktopAndOwnerDrawn, ContextMenuTest, ::testing::Bool());

}  // namespace

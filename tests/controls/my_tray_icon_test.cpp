#include "controls/my_tray_icon.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

namespace {

TEST(MyTrayIconTest, TipIsCutTo127Characters) {
  EXPECT_EQ(TrayTipText(std::string(200, 'x')), std::string(127, 'x'));
  EXPECT_EQ(TrayTipText("Velmora 1.2"), "Velmora 1.2");
}

TEST(MyTrayIconTest, WithoutANotificationAreaNoIconAndNoError) {
  if (TTrayIcon::Available()) GTEST_SKIP() << "this desktop has a notification area";
  TForm main(nullptr);
  TMyTrayIcon* tray = nullptr;
  EXPECT_NO_THROW(tray = new TMyTrayIcon(&main));
  EXPECT_FALSE(tray->Shown());
  EXPECT_NO_THROW(tray->SetHint("Velmora"));
}

TEST(MyTrayIconTest, MinimiseHidesTheMainWindowAndRestoreBringsItBack) {
  TForm main(nullptr);
  auto* tray = new TMyTrayIcon(&main);
  int minimised = 0;
  int restored = 0;
  tray->OnMinimize = [&](TComponent*) { ++minimised; };
  tray->OnRestore = [&](TComponent*) { ++restored; };
  main.Show();
  tray->Minimize();
  EXPECT_TRUE(tray->Minimized());
  EXPECT_FALSE(main.Visible());
  tray->Restore();
  EXPECT_FALSE(tray->Minimized());
  EXPECT_TRUE(main.Visible());
  EXPECT_EQ(minimised, 1);
  EXPECT_EQ(restored, 1);
  main.Hide();
}

class TrayMessagesTest : public ::testing::Test {
 protected:
  TrayMessagesTest() : tray(nullptr) {
    tray.OnClick = [this](TComponent*) { log.push_back("click"); };
    tray.OnDblClick = [this](TComponent*) { log.push_back("dblclick"); };
    tray.OnMouseDown = [this](TComponent*, TMouseButton button, TShiftState shift, int x, int y) {
      log.push_back("down " + std::to_string(button) + " " + std::to_string(shift) + " " +
                    std::to_string(x) + "," + std::to_string(y));
    };
    tray.OnMouseUp = [this](TComponent*, TMouseButton button, TShiftState, int, int) {
      log.push_back("up " + std::to_string(button));
    };
  }
  TMyTrayIcon tray;
  std::vector<std::string> log;
};

TEST_F(TrayMessagesTest, RightClickReportsDownThenUpWithTheCursor) {
  tray.TrayMessage(tmRightDown, ssShift, Point(700, 580));
  tray.TrayMessage(tmRightUp, 0, Point(700, 580));
  EXPECT_EQ(log, (std::vector<std::string>{
                     "down 1 " + std::to_string(ssShift | ssRight) + " 700,580", "up 1"}));
}

TEST_F(TrayMessagesTest, ARightPressOpensThePopupMenuAtTheCursorBetweenDownAndUp) {
  TPopupMenu menu(nullptr);
  auto* restore = new TMenuItem(&menu);
  restore->Caption = "Restore";
  restore->OnClick = [this](TComponent*) { log.push_back("restore"); };
  menu.Items().Add(restore);
  menu.OnPopup = [this](TComponent*) { log.push_back("popup"); };
  tray.SetPopupMenu(&menu);
  TPoint at{};
  QueueCall([&] {
    at = ShownMenuPosition();
    ChooseMenuItem("Restore");
  });
  tray.TrayMessage(tmRightDown, 0, Point(300, 200));
  log.push_back("closed");
  tray.TrayMessage(tmRightUp, 0, Point(300, 200));
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"down 1 " + std::to_string(ssRight) + " 300,200",
                                           "popup", "closed", "up 1", "restore"}));
  EXPECT_EQ(at, Point(300, 200));
}

TEST_F(TrayMessagesTest, OneClickPerLeftPressOnTheIcon) {
  tray.TrayMessage(tmLeftUp, 0, Point(1, 1));  // pressed elsewhere
  tray.TrayMessage(tmLeftDown, 0, Point(1, 1));
  tray.TrayMessage(tmLeftUp, 0, Point(1, 1));
  tray.TrayMessage(tmLeftUp, 0, Point(1, 1));
  EXPECT_EQ(log, (std::vector<std::string>{"up 0", "down 0 " + std::to_string(ssLeft) + " 1,1",
                                           "click", "up 0", "up 0"}));
}

TEST_F(TrayMessagesTest, EveryDoubleClickRestoresViaOnDblClick) {
  tray.TrayMessage(tmLeftDblClick, 0, TPoint{});
  tray.TrayMessage(tmRightDblClick, 0, TPoint{});
  tray.TrayMessage(tmMiddleDblClick, 0, TPoint{});
  EXPECT_EQ(log, (std::vector<std::string>{"dblclick", "dblclick", "dblclick"}));
}

}  // namespace

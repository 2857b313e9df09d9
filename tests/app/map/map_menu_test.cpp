// The map window's zoom menu opens wherever the map is right-clicked: on the picture,
// on the frame and circles drawn over it, and on station markers.
#include <gtest/gtest.h>

#include <vector>

#include "../app_windows.h"
#include "app/map/frm_aprs.h"
#include "app/program/frm_main.h"
#include "controls/aprs_symbol.h"
#include "map_test_support.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

namespace {

class MapMenuTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    frmMain->Show();
    frmAprs->Show();
    frmAprs->SetBounds(0, 0, 800, 600);
    ASSERT_TRUE(frmAprs->Map->LoadMap(ShippedDataFolder() + "APRS-Karten/Welt.jpg"));
  }

  // What the menu showed after a right click at (X, Y) of Control; empty when none opened.
  static std::vector<std::string> RightClick(TControl& Control, int X, int Y) {
    std::vector<std::string> shown;
    QueueCall([&shown] {
      for (const TShownMenuItem& item : ShownMenuItems()) shown.push_back(item.Caption);
      CloseMenu();
    });
    SimulateMouseDown(Control, mbRight, X, Y);
    SimulateMouseUp(Control, mbRight, X, Y);
    Application->ProcessMessages();
    return shown;
  }
};

TEST_F(MapMenuTest, ARightClickAnywhereOnTheMapOrOnAMarkerOpensTheZoomMenu) {
  TMapView& map = *frmAprs->Map;
  const std::vector<std::string> zoom = {"Kartenausschnitt maximal verkleinern",
                                         "Kartenausschnitt verkleinern",
                                         "Kartenausschnitt vergr\xF6\xDF"
                                         "ern",
                                         "Kartenausschnitt maximal vergr\xF6\xDF"
                                         "ern"};
  // The frame over the picture covers the whole map: clicks land on it first.
  ASSERT_TRUE(map.shpR->Visible());
  EXPECT_EQ(RightClick(*map.pnlCard, 40, 30), zoom);
  EXPECT_EQ(RightClick(*map.pnlCard, map.pnlCard->Width() / 2, map.pnlCard->Height() / 2), zoom);
  map.DrawStationSymbol("N0CALL-9", "N0CALL-9", 120, 90, '/', '>', 0);
  TAprsSymbol* marker = map.FindSymbolControl("N0CALL-9");
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(RightClick(*marker, marker->Width() / 2, marker->Height() / 2), zoom);
  // The menu is the styled one, and a left click opens nothing.
  EXPECT_EQ(frmAprs->apmnuCrd->ClassName(), "TExPopupMenu");
  std::vector<std::string> none;
  QueueCall([&none] {
    for (const TShownMenuItem& item : ShownMenuItems()) none.push_back(item.Caption);
    CloseMenu();
  });
  SimulateClick(*map.pnlCard, 40, 30);
  Application->ProcessMessages();
  EXPECT_TRUE(none.empty());
}

}  // namespace

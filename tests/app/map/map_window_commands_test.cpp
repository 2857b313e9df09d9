#include "app/map/map_window_commands.h"

#include <memory>
#include <utility>

#include "app/map/map_view.h"
#include "app/receive/aprs_info.h"
#include "app/stations/station_store.h"
#include "map_test_support.h"
#include "platform/gui/controls/forms.h"
#include "support/picture_compare.h"

namespace {

TEST(MapToolBarTest, SomeDrawStyleIsAlwaysDown) {
  TDrawStyleButtons none;
  EXPECT_EQ(DrawStyleFromButtons(none), dsPoint);
  EXPECT_TRUE(none.Point);
  TDrawStyleButtons symbolAndCall{false, true, true};
  EXPECT_EQ(DrawStyleFromButtons(symbolAndCall), 6);
  EXPECT_FALSE(symbolAndCall.Point);
  TDrawStyleButtons all{true, true, true};
  EXPECT_EQ(DrawStyleFromButtons(all), 7);
}

TEST(MapToolBarTest, PanelLayoutAndCollapsing) {
  EXPECT_EQ(ToolPanelWidth(75, 13), 101);
  EXPECT_EQ(ToolPanelLogoTop(600, 80, 13, 360), 507);
  // Not over the buttons and status above it.
  EXPECT_EQ(ToolPanelLogoTop(400, 80, 13, 360), 360);
  TToolBarCollapse collapse;
  EXPECT_EQ(collapse.Toggle(false, 101, 13), 13);
  EXPECT_EQ(collapse.Toggle(true, 13, 13), 101);
  EXPECT_EQ(collapse.Toggle(true, 120, 13), 101);
}

TEST(MapToolBarTest, TxBakeSendsThePortTwoBeaconsOnlyForTwoPorts) {
  EXPECT_EQ(TxBakeButtons(false), (std::vector<std::string>{"mbtnTxPosP1", "mbtnTxStatusP1",
                                                            "mbtnTxWxP1", "mbtnTxWxStatusP1"}));
  const std::vector<std::string> both = TxBakeButtons(true);
  ASSERT_EQ(both.size(), 8u);
  EXPECT_EQ(both[4], "mbtnTxPosP2");
  EXPECT_EQ(both[7], "mbtnTxWxStatusP2");
}

TEST(MapToolBarTest, CaptionAndTexts) {
  EXPECT_EQ(MapWindowCaption("Welt", "TCP getrennt"), "Welt, TCP getrennt");
  EXPECT_EQ(MapWindowCaption("Welt", ""), "Welt");
  EXPECT_EQ(MapWindowCaption("", "connecting device"), "connecting device");
  EXPECT_EQ(std::string(kDeleteAllStationsQuestion), "Alle Stationen l\xF6schen?");
  EXPECT_EQ(std::string(kMapPictureFilter).substr(0, 41),
            "Alle Dateien (*.jpg;*.jpeg;*.bmp; *.gif)|");
}

TEST(MapToolBarTest, LampGoesOutWhenItsTimerFires) {
  TForm form(nullptr);
  auto* lamp = new TBitmapMask(&form);
  TLampTimer lampTimer(&form, "timRxP1", *lamp);
  EXPECT_EQ(lampTimer.Timer()->Name, "timRxP1");
  EXPECT_EQ(lampTimer.Timer()->Interval(), 500u);
  EXPECT_FALSE(lampTimer.Timer()->Enabled());
  lampTimer.Light();
  EXPECT_TRUE(lamp->Active());
  EXPECT_TRUE(lampTimer.Timer()->Enabled());
  lampTimer.Timer()->OnTimer(lampTimer.Timer());
  EXPECT_FALSE(lamp->Active());
  EXPECT_FALSE(lampTimer.Timer()->Enabled());
}

TEST(MapToolBarTest, PickListRowsSelectedInBlack) {
  TBitmap bitmap;
  bitmap.SetSize(60, 16);
  DrawPickListRow(bitmap.Canvas(), Rect(0, 0, 60, 16), "N0CALL", true, clWhite);
  EXPECT_EQ(bitmap.Canvas().Pixels(2, 8), clBlack);
  DrawPickListRow(bitmap.Canvas(), Rect(0, 0, 60, 16), "N0CALL", false, clWhite);
  EXPECT_EQ(bitmap.Canvas().Pixels(2, 8), clWhite);
}

// An object named in UTF-8 is listed as one named in Windows-1252 is, and a name in
// Arabic with its letters, not question marks.
TEST(MapToolBarTest, PickListRowsShowUtf8NamesAsMeant) {
  auto row = [](const char* name) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(60, 16);
    DrawPickListRow(bitmap->Canvas(), Rect(0, 0, 60, 16), name, false, clWhite);
    return bitmap;
  };
  EXPECT_TRUE(SamePicture(*row("\xC3\x84rger"), *row("\xC4rger")));
  EXPECT_FALSE(SamePicture(*row("\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85"), *row("????")));
}

class MapCommandsTest : public MapFolderTest {
 protected:
  void SetUp() override {
    MapFolderTest::SetUp();
    view_ = std::make_unique<TMapView>(&form_, &form_, stations_);
    map_ = WriteMap("region.bmp", 201, 101,
                    DatText("50:00.00N/000:00.00E", "40:00.00N/020:00.00E", "Region"));
    ASSERT_TRUE(view_->LoadMap(map_));
  }
  void TearDown() override {
    view_.reset();
    MapFolderTest::TearDown();
  }
  void Receive(const std::string& Call, double Lat, double Lon) {
    TAprsInfo info;
    info.SrcCall = Call;
    info.Key = MakeStationKey("", Call);
    info.HasPosition = true;
    info.Lat = Lat;
    info.Lon = Lon;
    info.SymTable = '/';
    info.SymCode = '>';
    stations_.Add(StationRecord(info));
    view_->ShowStation(info);
  }

  TForm form_{nullptr};
  TStationList stations_;
  std::unique_ptr<TMapView> view_;
  std::string map_;
};

TEST_F(MapCommandsTest, MapPickerStartsInTheMapFolder) {
  EXPECT_FALSE(MapPickerStart(Folder() + "none", Folder(), map_).Open);
  const TMapPickerStart start = MapPickerStart(Folder(), Folder(), map_);
  EXPECT_TRUE(start.Open);
  EXPECT_EQ(start.InitialDir, Folder());
  EXPECT_EQ(start.FileName, map_);
  EXPECT_EQ(MapPickerStart(Folder(), Folder(), Folder() + "gone.jpg").FileName, "");
}

TEST_F(MapCommandsTest, DoubleClickListsOverlappingStationsWithTheirNames) {
  Receive("N0CALL-9", 45, 10);
  Receive("DL1ABC", 45.02, 10.02);
  Receive("FAR", 41, 2);
  view_->MapMouseMove(100, 50);
  const TPickList pick = PickStationsAtCursor(*view_, stations_);
  ASSERT_EQ(pick.Keys.size(), 2u);
  EXPECT_EQ(pick.Keys[0], MakeStationKey("", "DL1ABC"));
  EXPECT_EQ(pick.Names[0], "DL1ABC");
  EXPECT_EQ(pick.Names[1], "N0CALL-9");
  view_->MapMouseMove(180, 20);
  EXPECT_TRUE(PickStationsAtCursor(*view_, stations_).Keys.empty());

  EXPECT_EQ(DetailWindowPosForOne(Point(300, 200), 100), Point(250, 200));
  EXPECT_EQ(DetailWindowPosBelowSelect(Point(300, 200), 80), Point(300, 280));
}

TEST_F(MapCommandsTest, DeletingAllStationsKeepsTheMap) {
  Receive("N0CALL-9", 45, 10);
  Receive("DL1ABC", 44, 12);
  view_->ShowRangeCircle(MakeStationKey("", "DL1ABC"), "RNG0050");
  ASSERT_TRUE(view_->shpRange->Visible());
  DeleteAllStations(*view_, stations_);
  EXPECT_EQ(view_->MarkerCount(), 0);
  EXPECT_EQ(stations_.Count(), 0);
  EXPECT_EQ(view_->SymbolPlaces.Count(), 0);
  EXPECT_FALSE(view_->shpH->Visible());
  EXPECT_FALSE(view_->shpV->Visible());
  EXPECT_FALSE(view_->shpRange->Visible());
  EXPECT_EQ(view_->MapFile, map_);
  EXPECT_TRUE(view_->pnlCard->Visible());
  // Stations heard afterwards show again.
  Receive("NEW1", 45, 10);
  EXPECT_EQ(view_->MarkerCount(), 1);
}

}  // namespace

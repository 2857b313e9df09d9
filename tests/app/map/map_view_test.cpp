#include "app/map/map_view.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "app/program/station_views.h"
#include "app/receive/aprs_info.h"
#include "app/stations/station_store.h"
#include "core/locator.h"
#include "gif/gif_registration.h"
#include "map_test_support.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/standard/scroll_box.h"
#include "platform/test_support/jpeg_scans.h"
#include "platform/text/shown_text.h"

namespace {

constexpr TColor kMapColor = clSilver;

// Every symbol cell one solid colour from its index; grid lines grey.
TColor SymbolColor(char Code) {
  return RGB(static_cast<uint8_t>(Code - 33) * 2 + 20, 40, 160);
}
void PaintSolidSheets() {
  for (char table : {kPrimaryTable, kAlternateTable}) {
    TBitmap& sheet = SymbolSheet(table);
    sheet.SetSize(337, 127);
    sheet.Canvas().Brush().SetColor(clGray);
    sheet.Canvas().FillRect(Rect(0, 0, 337, 127));
    for (int index = 0; index < 96; ++index) {
      const int left = (index % 16) * 21 + 1;
      const int top = (index / 16) * 21 + 1;
      sheet.Canvas().Brush().SetColor(SymbolColor(static_cast<char>(index + 33)));
      sheet.Canvas().FillRect(Rect(left, top, left + 20, top + 20));
    }
  }
}

TAprsInfo Station(const std::string& Call, double Lat, double Lon, char Code = '>', int Port = 1) {
  TAprsInfo info;
  info.SrcCall = Call;
  info.Key = MakeStationKey("", Call);
  info.HasPosition = true;
  info.Lat = Lat;
  info.Lon = Lon;
  info.SymTable = '/';
  info.SymCode = Code;
  info.Port = Port;
  info.RxStamp = "261207081500";
  return info;
}

// A 201 x 101 map from 50 N 0 E to 40 N 20 E: a tenth of a degree per pixel.
class MapViewTest : public MapFolderTest {
 protected:
  void SetUp() override {
    MapFolderTest::SetUp();
    PaintSolidSheets();
    form_.SetBounds(0, 0, 400, 300);
    view_ = std::make_unique<TMapView>(&form_, &form_, stations_);
    map_ = WriteMap("region.bmp", 201, 101,
                    DatText("50:00.00N/000:00.00E", "40:00.00N/020:00.00E", "Region"));
  }
  void TearDown() override {
    view_.reset();
    MapFolderTest::TearDown();
  }

  // What the station store does with a decoded position.
  void Receive(const TAprsInfo& Info) {
    const int index = IndexOf(Info.Key);
    if (index >= 0) stations_.Delete(index);
    stations_.Add(StationRecord(Info));
    view_->ShowStation(Info);
  }
  int IndexOf(const std::string& Key) {
    for (int i = 0; i < stations_.Count(); ++i)
      if (stations_[i].rfind("\"" + Key + "\"", 0) == 0) return i;
    return -1;
  }

  std::unique_ptr<TBitmap> Render() {
    auto bitmap = std::make_unique<TBitmap>();
    TPanel& panel = *view_->pnlCard;
    bitmap->SetSize(panel.Width(), panel.Height());
    PaintTo(panel, bitmap->Canvas(), 0, 0);
    return bitmap;
  }

  TForm form_{nullptr};
  TStationList stations_;
  std::unique_ptr<TMapView> view_;
  std::string map_;
};

TEST_F(MapViewTest, LoadedMapSetsGeometryAndShapes) {
  int loaded = 0;
  view_->OnMapLoaded = [&] { ++loaded; };
  ASSERT_TRUE(view_->LoadMap(map_));
  EXPECT_EQ(loaded, 1);
  EXPECT_EQ(view_->MapFile, map_);
  EXPECT_EQ(view_->MapName, "Region");
  EXPECT_EQ(view_->Map().MapW, 200);
  EXPECT_EQ(view_->Map().MapH, 100);
  EXPECT_GT(view_->Map().Scale, 0);
  EXPECT_EQ(view_->pnlCard->BoundsRect(), Bounds(0, 0, 201, 101));
  EXPECT_TRUE(view_->pnlCard->Visible());
  EXPECT_EQ(view_->shpR->BoundsRect(), Bounds(0, 0, 200, 100));
  EXPECT_EQ(view_->shpV->Height(), 100);
  EXPECT_EQ(view_->shpH->Width(), 200);
  int y = 0;
  int x = 0;
  view_->GeoToPixel(y, x, 45, 10);
  EXPECT_EQ(y, 50);
  EXPECT_EQ(x, 100);
}

TEST_F(MapViewTest, FailedLoadsKeepTheOldMap) {
  ASSERT_TRUE(view_->LoadMap(map_));
  const std::string corners = DatText("50:00.00N/000:00.00E", "40:00.00N/020:00.00E", "Bad");
  const std::string thin = WriteMap("thin.bmp", 1, 50, corners);
  const std::string flat = WriteMap("flat.bmp", 50, 1, corners);
  const std::string broken = Folder() + "broken.bmp";
  WriteText(broken, "BM not really");
  WriteText(Folder() + "broken.DAT", corners);
  // A JPEG whose header claims 16384 x 16384 pixels (800 MB) is refused unread.
  std::ifstream jpeg(VELMORA_TEST_DATA "/jpeg/blocks.jpg", std::ios::binary);
  std::string huge((std::istreambuf_iterator<char>(jpeg)), std::istreambuf_iterator<char>());
  const size_t frame = huge.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  huge[frame + 5] = huge[frame + 7] = '\x40';
  huge[frame + 6] = huge[frame + 8] = '\x00';
  const std::string giant = Folder() + "giant.jpg";
  WriteText(giant, huge);
  WriteText(Folder() + "giant.DAT", corners);
  // GIF screens of 15000 x 15000 (a 900 MB map) and 65535 x 65535 pixels around one pixel.
  const auto gifScreen = [&](const std::string& name, int side) {
    std::string gif = "GIF89a";
    for (int byte : {side & 0xFF, side >> 8, side & 0xFF, side >> 8, 0x80, 0,    0, 0, 0,   0,
                     255,         255,       255,         0x2C,      0,    0,    0, 0, 1,   0,
                     1,           0,         0,           2,         2,    0x4C, 1, 0, 0x3B})
      gif += char(byte);
    WriteText(Folder() + name + ".gif", gif);
    WriteText(Folder() + name + ".DAT", corners);
    return Folder() + name + ".gif";
  };
  const std::string wide = gifScreen("wide", 15000), widest = gifScreen("widest", 65535);
  RegisterGIFFormat();
  for (const std::string& image : {thin, flat, broken, giant, wide, widest}) {
    std::string message;
    AnswerNextMyMsgBox(&message);
    EXPECT_FALSE(view_->LoadMap(image)) << image;
    const std::string said =
        ShownText(image == giant ? "Karten Datei zu gro\xDF, laden abgebrochen!"
                                 : "Karten Datei nicht lesbar, laden abgebrochen!");
    EXPECT_EQ(message.rfind(said + "\n\r" + image, 0), 0u) << message;
    if (image == wide || image == widest) {
      const int side = image == wide ? 15000 : 65535;
      EXPECT_NE(message.find(Format(LocalText(kPictureTooLargeText), side, side)),
                std::string::npos)
          << message;
    }
  }
  const std::string uncalibrated = WriteMap("plain.bmp", 30, 30, "");
  AnswerNextMyMsgBox();
  EXPECT_FALSE(view_->LoadMap(uncalibrated));
  EXPECT_EQ(view_->MapFile, map_);
  EXPECT_EQ(view_->MapName, "Region");
  EXPECT_EQ(view_->Map().MapW, 200);
  EXPECT_EQ(view_->imgCard->Picture().Width(), 201);
}

TEST_F(MapViewTest, LoadingScrollsTheScrollBoxBackToTheCorner) {
  auto* scrBoxCard = new TScrollBox(&form_);
  scrBoxCard->SetParent(&form_);
  scrBoxCard->SetBounds(0, 0, 100, 60);
  TMapView view(&form_, scrBoxCard, stations_);
  form_.Show();
  ASSERT_TRUE(view.LoadMap(map_));
  EXPECT_EQ(scrBoxCard->ScrollRange(), (TSize{201, 101}));
  scrBoxCard->ScrollTo(50, 30);
  EXPECT_EQ(scrBoxCard->ScrollPosition(), Point(50, 30));
  ASSERT_TRUE(view.LoadMap(map_));
  EXPECT_EQ(scrBoxCard->ScrollPosition(), Point(0, 0));
  form_.Hide();
}

TEST_F(MapViewTest, ShippedJpegWorldMapLoads) {
  ASSERT_TRUE(view_->LoadMap(ShippedDataFolder() + "APRS-Karten/Welt.jpg"));
  EXPECT_EQ(view_->MapName, "Welt");
  EXPECT_EQ(view_->Map().MapW, 2047);
  EXPECT_EQ(view_->Map().MapH, 1023);
  // Measured along the equator.
  EXPECT_NEAR(view_->Map().Scale, 360 * kKmPerDegree / 2047, 1e-9);

  // The calibration fits the picture: sea, land and ice where they belong.
  auto bitmap = Render();
  auto colourAt = [&](double Lat, double Lon) {
    int y = 0;
    int x = 0;
    view_->GeoToPixel(y, x, Lat, Lon);
    return bitmap->Canvas().Pixels(x, y);
  };
  // Deep blue sea; land green, brown or sand, all warmer than blue.
  auto isSea = [](TColor c) { return GetBValue(c) > GetRValue(c) + 40 && GetGValue(c) < 60; };
  auto isLand = [](TColor c) { return std::max(GetRValue(c), GetGValue(c)) > GetBValue(c) + 30; };
  EXPECT_TRUE(isSea(colourAt(5, -25)));          // Atlantic
  EXPECT_TRUE(isSea(colourAt(-35, -140)));       // Pacific
  EXPECT_TRUE(isLand(colourAt(20, 20)));         // Sahara
  EXPECT_TRUE(isLand(colourAt(-25, 135)));       // Australia
  EXPECT_TRUE(isLand(colourAt(40, -100)));       // North America
  EXPECT_TRUE(isLand(colourAt(-10, -55)));       // South America
  EXPECT_GT(GetRValue(colourAt(-85, 10)), 200);  // Antarctica
}

// The world map written again without loss in 95 scans, as jpegtran -scans writes it, is
// still a map: its scans walk its blocks some 33 times over, a second's fraction of work
// (it was refused for counting more than 32 passes).
TEST_F(MapViewTest, TheWorldMapInManyScansLoads) {
  std::ifstream in(ShippedDataFolder() + "APRS-Karten/Welt.jpg", std::ios::binary);
  const std::vector<std::uint8_t> world{std::istreambuf_iterator<char>(in), {}};
  const std::vector<std::uint8_t> scans = JpegInScans(world, 95);
  const std::string map = Folder() + "Scans.jpg";
  WriteText(map, std::string(scans.begin(), scans.end()));
  std::filesystem::copy_file(ShippedDataFolder() + "APRS-Karten/Welt.DAT", Folder() + "Scans.DAT");
  ASSERT_TRUE(view_->LoadMap(map));
  EXPECT_EQ(view_->Map().MapW, 2047);
  EXPECT_EQ(view_->Map().MapH, 1023);
}

TEST_F(MapViewTest, ShippedMapsMakeACatalogueToZoomIn) {
  view_->MapDir = ShippedDataFolder() + "APRS-Karten";
  view_->BuildMapCatalog();
  ASSERT_EQ(view_->MapCatalog.Count(), 2);
  TMapCatalogEntry europe;
  ASSERT_TRUE(ReadMapCatalogRecord(view_->MapCatalog[0], europe));
  EXPECT_EQ(europe.Name, "Europa");
  EXPECT_EQ(europe.Corners.LatMin, 34);
  EXPECT_EQ(europe.Corners.LatMax, 72);
  EXPECT_EQ(europe.Corners.LonMin, -25);
  EXPECT_EQ(europe.Corners.LonMax, 45);
  ASSERT_TRUE(view_->LoadMap(ShippedDataFolder() + "APRS-Karten/Welt.jpg"));
  EXPECT_TRUE(view_->ZoomMap(true, false, 10, 50));
  EXPECT_EQ(view_->MapName, "Europa");
  EXPECT_GT(view_->Map().Scale, 0);
}

// The map of Europe is cut from the same picture of the earth: sea and land lie where
// its calibration says.
TEST_F(MapViewTest, ShippedEuropeMapShowsTheEarth) {
  ASSERT_TRUE(view_->LoadMap(ShippedDataFolder() + "APRS-Karten/Europa.jpg"));
  EXPECT_EQ(view_->MapName, "Europa");
  auto bitmap = Render();
  auto colourAt = [&](double Lat, double Lon) {
    int y = 0;
    int x = 0;
    view_->GeoToPixel(y, x, Lat, Lon);
    return bitmap->Canvas().Pixels(x, y);
  };
  auto isSea = [](TColor c) {
    return GetBValue(c) > GetRValue(c) + 30 && GetBValue(c) > GetGValue(c);
  };
  auto isLand = [](TColor c) { return std::max(GetRValue(c), GetGValue(c)) > GetBValue(c) + 20; };
  EXPECT_TRUE(isSea(colourAt(45, -15)));   // Bay of Biscay, off shore
  EXPECT_TRUE(isSea(colourAt(43, 34)));    // Black Sea
  EXPECT_TRUE(isSea(colourAt(35.5, 18)));  // Ionian Sea
  EXPECT_TRUE(isLand(colourAt(50, 10)));   // Germany
  EXPECT_TRUE(isLand(colourAt(40, -4)));   // Spain
  EXPECT_TRUE(isLand(colourAt(62, 30)));   // Finland and Karelia
}

TEST_F(MapViewTest, StationMarkerFollowsTheStationAndLeavesWithIt) {
  ASSERT_TRUE(view_->LoadMap(map_));
  Receive(Station("N0CALL-9", 45, 10));
  const std::string key = MakeStationKey("", "N0CALL-9");
  TAprsSymbol* marker = view_->FindSymbolControl(key);
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->Name, key);
  EXPECT_EQ(marker->Parent(), view_->pnlCard);
  EXPECT_EQ(marker->Owner(), &form_);
  EXPECT_EQ(marker->SymDrawStyle(), dsSymbol | dsCall);
  EXPECT_EQ(marker->Left(), 100 - marker->Width() / 2);
  EXPECT_EQ(marker->Top(), 50 - 10);
  EXPECT_EQ(marker->Text(), "N0CALL-9");

  Receive(Station("N0CALL-9", 41, 2));
  EXPECT_EQ(view_->FindSymbolControl(key), marker);
  EXPECT_EQ(marker->Top(), 90 - 10);
  int y = 0;
  int x = 0;
  ASSERT_TRUE(view_->SymbolPlaces.GetSymbolPlace(key, y, x));
  EXPECT_EQ(y, 90);
  EXPECT_EQ(x, 20);

  // Off the map: the marker goes, the record and the old place stay.
  Receive(Station("N0CALL-9", 60, 10));
  EXPECT_EQ(view_->FindSymbolControl(key), nullptr);
  EXPECT_EQ(view_->MarkerCount(), 0);
  EXPECT_EQ(stations_.Count(), 1);
  ASSERT_TRUE(view_->SymbolPlaces.GetSymbolPlace(key, y, x));
  EXPECT_EQ(y, 90);

  // A border point is on the map.
  Receive(Station("N0CALL-9", 40, 20));
  EXPECT_NE(view_->FindSymbolControl(key), nullptr);
  view_->FreeStationMarker(key);
  EXPECT_EQ(view_->FindSymbolControl(key), nullptr);
}

TEST_F(MapViewTest, AnotherMapRecreatesTheMarkersOfItsStations) {
  ASSERT_TRUE(view_->LoadMap(map_));
  Receive(Station("INSIDE", 45, 10));
  Receive(Station("OUTSIDE", 45, 30));
  EXPECT_EQ(view_->MarkerCount(), 1);
  const std::string wide = WriteMap(
      "wide.bmp", 401, 101, DatText("50:00.00N/000:00.00E", "40:00.00N/040:00.00E", "Wide"));
  int placesChanged = 0;
  view_->OnPlacesChanged = [&] { ++placesChanged; };
  ASSERT_TRUE(view_->LoadMap(wide));
  EXPECT_GT(placesChanged, 0);
  EXPECT_EQ(view_->MarkerCount(), 2);
  TAprsSymbol* outside = view_->FindSymbolControl(MakeStationKey("", "OUTSIDE"));
  ASSERT_NE(outside, nullptr);
  EXPECT_EQ(outside->Text(), "OUTSIDE");
  EXPECT_EQ(outside->Top(), 50 - 10);
  EXPECT_EQ(outside->Left(), 300 - outside->Width() / 2);
  EXPECT_EQ(view_->SymbolPlaces.Count(), 2);
}

TEST_F(MapViewTest, DrawStyleRestylesEveryMarker) {
  ASSERT_TRUE(view_->LoadMap(map_));
  Receive(Station("A1", 45, 10));
  Receive(Station("B2", 44, 12));
  view_->SetSymDrawStyle(dsPoint);
  for (const char* call : {"A1", "B2"}) {
    TAprsSymbol* marker = view_->FindSymbolControl(MakeStationKey("", call));
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->SymDrawStyle(), dsPoint);
    EXPECT_EQ(marker->Width(), 6);
  }
  Receive(Station("C3", 43, 12));
  EXPECT_EQ(view_->FindSymbolControl(MakeStationKey("", "C3"))->SymDrawStyle(), dsPoint);
}

TEST_F(MapViewTest, CrosshairFlashesTenTimesAndStaysGrey) {
  ASSERT_TRUE(view_->LoadMap(map_));
  Receive(Station("A1", 45, 10));
  EXPECT_EQ(view_->CrosshairKey(), MakeStationKey("", "A1"));
  EXPECT_TRUE(view_->shpH->Visible());
  EXPECT_TRUE(view_->shpV->Visible());
  EXPECT_EQ(view_->shpH->Top(), 50);
  EXPECT_EQ(view_->shpV->Left(), 100);
  EXPECT_TRUE(view_->timFlashPos->Enabled());
  std::vector<TColor> colours;
  for (int tick = 0; tick < 11; ++tick) {
    view_->FlashPosTick();
    colours.push_back(view_->shpH->Pen().Color());
  }
  EXPECT_EQ(colours[0], clWhite);
  EXPECT_EQ(colours[1], RGB(128, 128, 128));
  EXPECT_EQ(colours[9], RGB(128, 128, 128));
  EXPECT_EQ(colours[10], RGB(128, 128, 128));
  EXPECT_FALSE(view_->timFlashPos->Enabled());
  EXPECT_EQ(view_->shpV->Pen().Color(), RGB(128, 128, 128));

  view_->ClearCrosshair("someone else");
  EXPECT_TRUE(view_->shpH->Visible());
  view_->ClearCrosshair(MakeStationKey("", "A1"));
  EXPECT_FALSE(view_->shpH->Visible());
  EXPECT_EQ(view_->shpV->Left(), 0);

  // Many stations at once: the crosshair moves once, at the end, to the last of them.
  view_->BeginStationChanges();
  Receive(Station("B2", 44, 12));
  Receive(Station("C3", 43, 14));
  EXPECT_FALSE(view_->shpH->Visible());
  view_->EndStationChanges();
  EXPECT_EQ(view_->CrosshairKey(), MakeStationKey("", "C3"));
  EXPECT_TRUE(view_->shpH->Visible());
  EXPECT_EQ(view_->shpH->Top(), 70);
  EXPECT_EQ(view_->shpV->Left(), 140);
  EXPECT_TRUE(view_->timFlashPos->Enabled());
}

TEST_F(MapViewTest, RangeCircleNeedsARangeAPlaceAndAScale) {
  ASSERT_TRUE(view_->LoadMap(map_));
  Receive(Station("A1", 45, 10));
  const std::string key = MakeStationKey("", "A1");
  view_->ShowRangeCircle(key, "RNG0050");
  const int size = RangeCircleSize("RNG0050", view_->Map().Scale);
  ASSERT_GE(size, 2);
  EXPECT_TRUE(view_->shpRange->Visible());
  EXPECT_EQ(view_->shpRange->BoundsRect(), Bounds(100 - size / 2, 50 - size / 2, size, size));
  EXPECT_EQ(view_->CrosshairKey(), key);

  view_->ShowRangeCircle(key, "PHG0000");
  EXPECT_FALSE(view_->shpRange->Visible());
  EXPECT_EQ(view_->shpRange->BoundsRect(), Bounds(0, 0, 1, 1));
  view_->ShowRangeCircle("AAprsNOBODY", "RNG0050");
  EXPECT_FALSE(view_->shpRange->Visible());

  // Maps west of Greenwich and round the whole globe have their scale too.
  ASSERT_TRUE(view_->LoadMap(WriteMap(
      "usa.bmp", 601, 251, DatText("50:00.00N/125:00.00W", "25:00.00N/065:00.00W", "USA"))));
  Receive(Station("W1", 40, -100));
  const std::string west = MakeStationKey("", "W1");
  view_->ShowRangeCircle(west, "RNG0050");
  const int west_size = RangeCircleSize("RNG0050", view_->Map().Scale);
  ASSERT_GE(west_size, 2);
  EXPECT_TRUE(view_->shpRange->Visible());
  EXPECT_EQ(view_->shpRange->BoundsRect(),
            Bounds(250 - west_size / 2, 100 - west_size / 2, west_size, west_size));
  ASSERT_TRUE(view_->LoadMap(ShippedDataFolder() + "APRS-Karten/Welt.jpg"));
  view_->ShowRangeCircle(west, "RNG0050");
  EXPECT_TRUE(view_->shpRange->Visible());
}

TEST_F(MapViewTest, OwnPositionCircleAndItsBlinking) {
  bool running = false;
  view_->GpsRunning = [&] { return running; };
  view_->OwnPosition = [] { return TGeoPoint{45, 10}; };
  ASSERT_TRUE(view_->LoadMap(map_));
  EXPECT_TRUE(view_->shpGPS->Visible());
  EXPECT_EQ(view_->shpGPS->BoundsRect(), Bounds(95, 45, 11, 11));
  view_->GpsFlashTick();
  EXPECT_EQ(view_->shpGPS->Brush().Color(), clRed);
  running = true;
  view_->GpsFlashTick();
  EXPECT_EQ(view_->shpGPS->Brush().Color(), clYellow);
  view_->GpsFlashTick();
  EXPECT_EQ(view_->shpGPS->Brush().Color(), clRed);
  view_->ShowOwnPosition(0, 0);  // a reset GPS: off this map
  EXPECT_FALSE(view_->shpGPS->Visible());
}

TEST_F(MapViewTest, CursorTextsAndPickList) {
  ASSERT_TRUE(view_->LoadMap(map_));
  TCursorTexts texts;
  view_->OnCursorTexts = [&](const TCursorTexts& t) { texts = t; };
  view_->MapMouseMove(100, 50);
  EXPECT_EQ(texts.Lat,
            "45\xB0"
            "00.00 N");
  EXPECT_EQ(texts.Lon,
            "010\xB0"
            "00.00 E");
  EXPECT_EQ(texts.Locator, "JN55AA");
  EXPECT_DOUBLE_EQ(view_->CursorPosition().Lat, 45);
  view_->RememberZoomPoint();
  view_->MapMouseMove(0, 0);
  EXPECT_DOUBLE_EQ(view_->ZoomPoint().Lon, 10);

  Receive(Station("A1", 45, 10));
  Receive(Station("B2", 45.05, 10.05));
  Receive(Station("FAR", 42, 5));
  view_->MapMouseMove(101, 50);
  std::vector<std::string> picked = view_->PickStations();
  ASSERT_EQ(picked.size(), 2u);
  EXPECT_EQ(picked[0], MakeStationKey("", "A1"));
  EXPECT_EQ(picked[1], MakeStationKey("", "B2"));
  view_->MapMouseMove(150, 10);
  EXPECT_TRUE(view_->PickStations().empty());

  // A marker reports the cursor in map pixels.
  TAprsSymbol* marker = view_->FindSymbolControl(MakeStationKey("", "FAR"));
  ASSERT_NE(marker, nullptr);
  marker->OnMouseMove(marker, 0, 3, 4);
  EXPECT_EQ(view_->CursorX(), marker->Left() + 3);
  EXPECT_EQ(view_->CursorY(), marker->Top() + 4);
}

TEST_F(MapViewTest, ZoomLoadsTheCatalogueMapRoundThePoint) {
  const std::string wide = WriteMap(
      "wide.bmp", 401, 101, DatText("50:00.00N/000:00.00E", "40:00.00N/040:00.00E", "Wide"));
  view_->MapDir = Folder();
  view_->BuildMapCatalog();
  ASSERT_EQ(view_->MapCatalog.Count(), 2);
  ASSERT_TRUE(view_->LoadMap(map_));
  EXPECT_TRUE(view_->ZoomMap(false, false, 10, 45));
  EXPECT_EQ(view_->MapFile, wide);
  EXPECT_FALSE(view_->ZoomMap(false, false, 10, 45));
  EXPECT_TRUE(view_->ZoomMap(true, true, 10, 45));
  EXPECT_EQ(view_->MapFile, map_);
  EXPECT_FALSE(view_->ZoomMap(true, false, 30, 45));  // the region does not hold 30 E
}

TEST_F(MapViewTest, MarkersOfOneSymbolShareItsPictureAndChangeApart) {
  ASSERT_TRUE(view_->LoadMap(map_));
  Receive(Station("A", 45, 5, '>'));
  Receive(Station("B", 46, 6, '>'));
  TAprsSymbol* a = view_->FindSymbolControl(MakeStationKey("", "A"));
  TAprsSymbol* b = view_->FindSymbolControl(MakeStationKey("", "B"));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(&a->SymbolBitmap(), &b->SymbolBitmap());

  view_->SetSymDrawStyle(dsSymbol);
  Receive(Station("B", 46, 6, '-'));
  EXPECT_NE(&a->SymbolBitmap(), &b->SymbolBitmap());
  auto bitmap = Render();
  EXPECT_EQ(bitmap->Canvas().Pixels(50, 50), SymbolColor('>'));
  EXPECT_EQ(bitmap->Canvas().Pixels(60, 40), SymbolColor('-'));
  // Moved, B keeps its look and leaves the map clean behind it.
  Receive(Station("B", 42, 15, '-'));
  bitmap = Render();
  EXPECT_EQ(bitmap->Canvas().Pixels(150, 80), SymbolColor('-'));
  EXPECT_EQ(bitmap->Canvas().Pixels(60, 40), kMapColor);
  EXPECT_EQ(bitmap->Canvas().Pixels(50, 50), SymbolColor('>'));
}

// A marker whose station went is kept for the next station heard: it shows that one,
// and nothing of the station before.
TEST_F(MapViewTest, AMarkerKeptAfterItsStationWentShowsOnlyTheNextStation) {
  ASSERT_TRUE(view_->LoadMap(map_));
  view_->SetSymDrawStyle(dsSymbol | dsCall);
  Receive(Station("GONE", 45, 5, '>', 2));
  const std::string gone = MakeStationKey("", "GONE");
  TAprsSymbol* marker = view_->FindSymbolControl(gone);
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(Render()->Canvas().Pixels(50, 50), SymbolColor('>'));
  view_->FreeStationMarker(gone);
  EXPECT_EQ(view_->FindSymbolControl(gone), nullptr);
  EXPECT_EQ(form_.FindComponent(gone), nullptr);
  EXPECT_EQ(view_->MarkerCount(), 0);
  auto bitmap = Render();
  EXPECT_EQ(bitmap->Canvas().Pixels(50, 50), kMapColor);
  EXPECT_EQ(bitmap->Canvas().Pixels(45, 66), kMapColor);  // where the label was

  // A table without pictures: the new station shows no symbol, not the old one's.
  TAprsInfo next = Station("NEXT", 42, 15, '-', -1);
  next.SymTable = 'x';
  Receive(next);
  const std::string key = MakeStationKey("", "NEXT");
  ASSERT_EQ(view_->FindSymbolControl(key), marker);
  EXPECT_EQ(marker->Name, key);
  EXPECT_EQ(form_.FindComponent(key), marker);
  EXPECT_EQ(marker->Parent(), view_->pnlCard);
  EXPECT_EQ(marker->Text(), "NEXT");
  EXPECT_EQ(marker->Port(), -1);
  EXPECT_TRUE(marker->SymbolBitmap().Empty());
  EXPECT_EQ(marker->Left(), 150 - marker->Width() / 2);
  EXPECT_EQ(marker->Top(), 80 - 10);
  bitmap = Render();
  EXPECT_EQ(bitmap->Canvas().Pixels(50, 50), kMapColor);
  EXPECT_EQ(bitmap->Canvas().Pixels(150, 80), kMapColor);
  const int labelMiddle = marker->Top() + 20 + (marker->Height() - 20) / 2;
  EXPECT_EQ(bitmap->Canvas().Pixels(marker->Left() + 1, labelMiddle), AprsSymbolLabelColor(-1));

  // Restyled, the kept marker still holds no symbol of the old station.
  view_->SetSymDrawStyle(dsSymbol);
  EXPECT_EQ(Render()->Canvas().Pixels(150, 80), kMapColor);
  // Every marker gone at once and heard again: each station has its own.
  Receive(Station("OTHER", 45, 5, '>'));
  view_->FreeAllSymbols();
  EXPECT_EQ(view_->MarkerCount(), 0);
  EXPECT_EQ(Render()->Canvas().Pixels(50, 50), kMapColor);
  Receive(Station("OTHER", 45, 5, '>'));
  Receive(Station("THIRD", 46, 6, '-'));
  EXPECT_EQ(view_->MarkerCount(), 2);
  EXPECT_NE(view_->FindSymbolControl(MakeStationKey("", "OTHER")),
            view_->FindSymbolControl(MakeStationKey("", "THIRD")));
  bitmap = Render();
  EXPECT_EQ(bitmap->Canvas().Pixels(50, 50), SymbolColor('>'));
  EXPECT_EQ(bitmap->Canvas().Pixels(60, 40), SymbolColor('-'));
  EXPECT_EQ(bitmap->Canvas().Pixels(150, 80), kMapColor);
  // All gone again, one of them back: only it has a marker, under its own key.
  view_->FreeAllSymbols();
  Receive(Station("THIRD", 44, 12, '-'));
  EXPECT_EQ(view_->MarkerCount(), 1);
  EXPECT_EQ(view_->FindSymbolControl(MakeStationKey("", "OTHER")), nullptr);
  TAprsSymbol* third = view_->FindSymbolControl(MakeStationKey("", "THIRD"));
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->Text(), "THIRD");
  bitmap = Render();
  EXPECT_EQ(bitmap->Canvas().Pixels(50, 50), kMapColor);
  EXPECT_EQ(bitmap->Canvas().Pixels(60, 40), kMapColor);
  EXPECT_EQ(bitmap->Canvas().Pixels(120, 60), SymbolColor('-'));
}

TEST_F(MapViewTest, ALoadedMapShowsTheMarkersInTheOrderOfTheStationList) {
  ASSERT_TRUE(view_->LoadMap(map_));
  view_->SetSymDrawStyle(dsSymbol);
  // Heard last, B lies on top; after a load the station list's order decides (key order).
  Receive(Station("B", 45, 5, '-'));
  Receive(Station("A", 45, 5, '>'));
  EXPECT_EQ(Render()->Canvas().Pixels(50, 50), SymbolColor('>'));
  ASSERT_TRUE(view_->LoadMap(map_));
  EXPECT_EQ(view_->MarkerCount(), 2);
  EXPECT_EQ(Render()->Canvas().Pixels(50, 50), SymbolColor('-'));
  // A station gone from the list loses its marker at the next load.
  stations_.Delete(IndexOf(MakeStationKey("", "B")));
  ASSERT_TRUE(view_->LoadMap(map_));
  EXPECT_EQ(view_->MarkerCount(), 1);
  EXPECT_EQ(view_->FindSymbolControl(MakeStationKey("", "B")), nullptr);
  EXPECT_EQ(Render()->Canvas().Pixels(50, 50), SymbolColor('>'));
}

TEST_F(MapViewTest, RenderedMarkersSitOnTheirStations) {
  ASSERT_TRUE(view_->LoadMap(map_));
  struct TPlaced {
    int X, Y;
    char Code;
  };
  std::vector<TPlaced> placed;
  // 300 stations on a grid, 20 pixels apart so no symbol covers another's centre.
  for (int i = 0; i < 300; ++i) {
    const int x = 10 + (i % 10) * 20;
    const int y = 10 + (i / 10 % 5) * 20;
    const char code = static_cast<char>('!' + i % 90);
    const double lat = 50 - y / 10.0;
    const double lon = x / 10.0;
    Receive(Station("S" + std::to_string(i), lat, lon, code));
    placed.push_back({x, y, code});
  }
  // Restyling keeps the order: later stations on a grid point still cover earlier ones.
  view_->SetSymDrawStyle(dsSymbol);
  auto bitmap = Render();
  for (size_t i = placed.size() - 50; i < placed.size(); ++i) {
    const TPlaced& p = placed[i];
    EXPECT_EQ(bitmap->Canvas().Pixels(p.X, p.Y), SymbolColor(p.Code)) << i;
  }
  // Between the symbols the map shows.
  EXPECT_EQ(bitmap->Canvas().Pixels(200, 100), kMapColor);
  EXPECT_EQ(bitmap->Canvas().Pixels(100, 100), kMapColor);

  view_->SetSymDrawStyle(dsPoint);
  bitmap = Render();
  for (size_t i = placed.size() - 50; i < placed.size(); ++i) {
    const TPlaced& p = placed[i];
    EXPECT_EQ(bitmap->Canvas().Pixels(p.X, p.Y), clWhite) << i;
    EXPECT_EQ(bitmap->Canvas().Pixels(p.X, p.Y - 3), clBlack) << i;
    EXPECT_EQ(bitmap->Canvas().Pixels(p.X + 6, p.Y), kMapColor) << i;
  }
}

// Thousands of markers over several pieces of the marker layer, composed from the
// top one down as the map files them: the map shows what painting every marker in its
// order shows, after stations moved, markers came to the front (clicked or raised by
// the window), hid, went, and the draw style changed.
TEST_F(MapViewTest, ComposedMarkersShowWhatPaintingEachWould) {
  const std::string wide = WriteMap(
      "wide.bmp", 601, 301, DatText("50:00.00N/000:00.00E", "20:00.00N/060:00.00E", "Wide"));
  ASSERT_TRUE(view_->LoadMap(wide));
  std::mt19937 random(9);
  std::uniform_real_distribution<double> lat(19.5, 50.5), lon(-0.5, 60.5);
  auto receive = [&](int station) {
    Receive(Station("S" + std::to_string(station), lat(random), lon(random),
                    static_cast<char>('!' + station % 90), station % 3 - 1));
  };
  for (int i = 0; i < 1500; ++i) receive(i);
  auto differFromPainting = [&] {
    const std::unique_ptr<TBitmap> layered = Render();
    view_->pnlCard->SetLayeredFaces(false);
    const std::unique_ptr<TBitmap> painted = Render();
    view_->pnlCard->SetLayeredFaces(true);
    int differ = 0;
    for (int y = 0; y < painted->Height(); ++y) {
      const std::uint8_t* a = layered->ScanLine(y);
      const std::uint8_t* b = painted->ScanLine(y);
      differ += !std::equal(a, a + 4 * painted->Width(), b);
    }
    return differ;  // rows
  };
  ASSERT_GT(view_->MarkerCount(), 1000);
  EXPECT_EQ(differFromPainting(), 0);

  for (int i = 0; i < 1500; i += 7) receive(i);
  for (int i = 1; i < 1500; i += 11) {
    if (TAprsSymbol* marker = view_->FindSymbolControl(MakeStationKey("", "S" + std::to_string(i))))
      marker->BringToFront();
  }
  for (int i = 2; i < 1500; i += 13) {
    if (TAprsSymbol* marker = view_->FindSymbolControl(MakeStationKey("", "S" + std::to_string(i))))
      marker->Hide();
  }
  for (int i = 3; i < 1500; i += 17)
    view_->FreeStationMarker(MakeStationKey("", "S" + std::to_string(i)));
  EXPECT_EQ(differFromPainting(), 0);
  view_->SetSymDrawStyle(dsPoint | dsSymbol | dsCall);
  EXPECT_EQ(differFromPainting(), 0);
}

}  // namespace

namespace {

TEST_F(MapViewTest, GifMapsLoadThroughTheRegisteredCodec) {
  RegisterGIFFormat();
  ASSERT_TRUE(view_->LoadMap(std::string(VELMORA_TEST_DATA) + "/map/Quadrant.gif"));
  EXPECT_EQ(view_->MapName, "Quadrant");
  EXPECT_EQ(view_->Map().MapW, 39);
  EXPECT_EQ(view_->Map().MapH, 19);
  // The first frame is what shows: red-ish left half, blue lower half.
  auto bitmap = Render();
  EXPECT_EQ(GetRValue(bitmap->Canvas().Pixels(5, 2)), 200);
  EXPECT_EQ(GetBValue(bitmap->Canvas().Pixels(35, 15)), 220);
}

// The station store keeps the map in step through the program's map view of it.
TEST_F(MapViewTest, MarkersGoWhenStationsAgeOut) {
  struct : TStationSettings {
    int StationMaxAgeMinutes() const override { return 30; }
  } settings;
  TStationStore store;
  TMapView map(&form_, &form_, store.StationList);
  TMapStationMarkers markers(map);
  store.SetViews({.Markers = &markers, .Settings = &settings});
  ASSERT_TRUE(map.LoadMap(map_));
  TDateTime now = EncodeDate(2026, 12, 7) + EncodeTime(8, 0, 0, 0);
  store.Clock = [&] { return now; };
  store.Ticks = [&] { return static_cast<std::uint64_t>(std::llround(now * MSecsPerDay)); };
  TAprsInfo old = Station("OLD", 45, 10);
  old.Key.clear();
  old.RxStamp = "261207080000";
  store.UpdateStation(old);
  now += 20.0 / 1440;
  TAprsInfo fresh = Station("FRESH", 42, 5);
  fresh.Key.clear();
  fresh.RxStamp = "261207082000";
  store.UpdateStation(fresh);
  ASSERT_EQ(map.MarkerCount(), 2);
  EXPECT_EQ(map.CrosshairKey(), MakeStationKey("", "FRESH"));

  now += 15.0 / 1440;  // OLD is 35 minutes old, FRESH 15
  store.AgeStations();
  EXPECT_EQ(map.MarkerCount(), 1);
  EXPECT_EQ(map.FindSymbolControl(MakeStationKey("", "OLD")), nullptr);
  EXPECT_NE(map.FindSymbolControl(MakeStationKey("", "FRESH")), nullptr);
  EXPECT_EQ(map.SymbolPlaces.Count(), 1);

  store.DeleteStation(MakeStationKey("", "FRESH"));
  EXPECT_EQ(map.MarkerCount(), 0);
  EXPECT_FALSE(map.shpH->Visible());
}

}  // namespace

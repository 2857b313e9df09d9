#include "app/map/map_catalog.h"

#include "core/csv_ctrl.h"
#include "map_test_support.h"

namespace {

class MapCatalogTest : public MapFolderTest {};

TMapCatalogEntry Entry(const std::string& File, long double LatMin, long double LonMin,
                       long double LatMax, long double LonMax) {
  TMapCatalogEntry entry;
  entry.Corners = {LatMin, LonMin, LatMax, LonMax};
  entry.File = File;
  entry.Name = File;
  return entry;
}

TEST(MapCatalogRecordTest, RecordRoundTripsAndSortsBySpan) {
  TMapCatalogEntry entry = Entry("/maps/Karte; 1.jpg", 52.25, 13.5, 53.25, 15.5);
  entry.Name = "Berlin \"Mitte\"";
  const std::string record = MapCatalogRecord(entry);
  EXPECT_EQ(record.substr(0, 28), "\"00001.00000\";\"00002.00000\";");
  TMapCatalogEntry read;
  ASSERT_TRUE(ReadMapCatalogRecord(record, read));
  EXPECT_EQ(read.File, entry.File);
  EXPECT_EQ(read.Name, entry.Name);
  EXPECT_EQ(read.Corners.LatMin, 52.25);
  EXPECT_EQ(read.Corners.LonMax, 15.5);
  EXPECT_FALSE(ReadMapCatalogRecord("\"x\";\"y\"", read));

  TStringList catalog;
  catalog.SetSorted(true);
  catalog.Add(MapCatalogRecord(Entry("world", -90, -180, 90, 180)));
  catalog.Add(MapCatalogRecord(Entry("city", 52, 13, 52.5, 14)));
  catalog.Add(MapCatalogRecord(Entry("country", 47, 5, 55, 15)));
  std::string first;
  std::string last;
  CsvGetField(6, catalog[0], first);
  CsvGetField(6, catalog[2], last);
  EXPECT_EQ(first, "city");
  EXPECT_EQ(last, "world");
}

TEST_F(MapCatalogTest, ScansEveryKindAndSubFolderAndComplainsOncePerUncalibratedImage) {
  const std::string world =
      WriteMap("world.bmp", 4, 4, DatText("90:00.00N/180:00.00W", "90:00.00S/180:00.00E", "Welt"));
  const std::string europe = WriteMap(
      "sub/deeper/europe.bmp", 4, 4, DatText("72:00.00N/025:00.00W", "34:00.00N/045:00.00E", "EU"));
  WriteText(Folder() + "city.jpeg", "not read while building");
  WriteText(Folder() + "city.DAT", DatText("52:00.00N/013:00.00E", "53:00.00N/014:00.00E", "City"));
  WriteMap("sub/plain.bmp", 4, 4, "");
  WriteText(Folder() + "notes.txt", "no map");

  std::string message;
  AnswerNextMyMsgBox(&message);
  TStringList catalog;
  catalog.SetSorted(true);
  BuildMapCatalog(Folder().substr(0, Folder().size() - 1), catalog);  // without the '/'
  EXPECT_NE(message.find("plain.bmp"), std::string::npos);
  ASSERT_EQ(catalog.Count(), 3);
  TMapCatalogEntry entry;
  ASSERT_TRUE(ReadMapCatalogRecord(catalog[0], entry));
  EXPECT_EQ(entry.Name, "City");
  ASSERT_TRUE(ReadMapCatalogRecord(catalog[1], entry));
  EXPECT_EQ(entry.File, europe);
  ASSERT_TRUE(ReadMapCatalogRecord(catalog[2], entry));
  EXPECT_EQ(entry.File, world);

  // A rebuild starts afresh.
  BuildMapCatalog("", catalog);
  EXPECT_EQ(catalog.Count(), 0);
}

class ZoomChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    catalog_.SetSorted(true);
    for (const TMapCatalogEntry& entry :
         {Entry("city", 52, 13, 53, 14), Entry("wide", 52, 10, 53, 20),
          Entry("country", 47, 5, 55, 15), Entry("europe", 34, -25, 72, 45),
          Entry("world", -90, -180, 90, 180), Entry("elsewhere", 10, 10, 11, 11)}) {
      catalog_.Add(MapCatalogRecord(entry));
    }
  }
  std::string Zoom(const std::string& Current, TZoomDirection Direction, TZoomReach Reach,
                   double Lon = 13.5, double Lat = 52.5) {
    return ChooseZoomMap(catalog_, Current, Direction, Reach, Lon, Lat);
  }
  TStringList catalog_;
};

TEST_F(ZoomChoiceTest, OutGoesToTheNextLargerMapOrTheLargest) {
  using enum TZoomDirection;
  using enum TZoomReach;
  EXPECT_EQ(Zoom("city", Out, OneStep), "wide");
  EXPECT_EQ(Zoom("wide", Out, OneStep), "country");
  EXPECT_EQ(Zoom("europe", Out, OneStep), "world");
  EXPECT_EQ(Zoom("world", Out, OneStep), "");      // the largest already
  EXPECT_EQ(Zoom("elsewhere", Out, OneStep), "");  // current map not round the point
  EXPECT_EQ(Zoom("city", Out, ToLimit), "world");
  EXPECT_EQ(Zoom("world", Out, ToLimit), "");
  EXPECT_EQ(Zoom("elsewhere", Out, ToLimit), "world");
}

TEST_F(ZoomChoiceTest, InGoesToTheNearestSmallerMapThatFitsOrTheSmallest) {
  using enum TZoomDirection;
  using enum TZoomReach;
  EXPECT_EQ(Zoom("world", In, OneStep), "europe");
  EXPECT_EQ(Zoom("europe", In, OneStep), "country");
  // "wide" is as wide as "country" (10 degrees) and less tall: it fits.
  EXPECT_EQ(Zoom("country", In, OneStep), "wide");
  EXPECT_EQ(Zoom("city", In, OneStep), "");
  EXPECT_EQ(Zoom("world", In, ToLimit), "city");
  EXPECT_EQ(Zoom("city", In, ToLimit), "");
}

TEST_F(ZoomChoiceTest, InSkipsSmallerMapsThatAreWiderOrTaller) {
  TStringList catalog;
  catalog.SetSorted(true);
  catalog.Add(MapCatalogRecord(Entry("narrow", 40, 0, 41, 2)));   // spans 1 x 2
  catalog.Add(MapCatalogRecord(Entry("flat", 40, -2, 42, 4)));    // spans 2 x 6: too wide
  catalog.Add(MapCatalogRecord(Entry("current", 39, 0, 42, 3)));  // spans 3 x 3
  EXPECT_EQ(ChooseZoomMap(catalog, "current", TZoomDirection::In, TZoomReach::OneStep, 1, 40.5),
            "narrow");
}

// A map across the 180th meridian holds the points on both sides of it.
TEST_F(ZoomChoiceTest, AMapAcrossTheDateLineHoldsBothSides) {
  catalog_.Add(MapCatalogRecord(Entry("pacific", -20, 170, 20, 190)));
  for (const double lon : {175.0, -175.0}) {
    EXPECT_EQ(Zoom("world", TZoomDirection::In, TZoomReach::ToLimit, lon, 0), "pacific") << lon;
  }
  EXPECT_EQ(Zoom("world", TZoomDirection::In, TZoomReach::ToLimit, -165, 0), "");
}

TEST_F(ZoomChoiceTest, APointOnTheBorderIsNotInside) {
  using enum TZoomDirection;
  using enum TZoomReach;
  // 14 E is city's eastern edge: only the larger maps hold the point.
  EXPECT_EQ(Zoom("world", In, ToLimit, 14, 52.5), "wide");
  EXPECT_EQ(Zoom("city", Out, OneStep, 14, 52.5), "");
}

}  // namespace

#include "app/map/map_calibration.h"

#include "map_test_support.h"
#include "platform/sys/files.h"
#include "platform/text/shown_text.h"

namespace {

class MapCalibrationTest : public MapFolderTest {
 protected:
  struct TRead {
    bool Ok = false;
    long double LatMin = -999, LonMin = -999, LatMax = -999, LonMax = -999;
    std::string Name = "unset";
  };
  static TRead Read(const std::string& Image) {
    TRead r;
    r.Ok = ReadMapCalibration(Image, r.LatMin, r.LonMin, r.Name, r.LonMax, r.LatMax);
    return r;
  }
  // Reads and answers the one message box it must show.
  static TRead ReadRejected(const std::string& Image, std::string& Message) {
    AnswerNextMyMsgBox(&Message);
    return Read(Image);
  }
};

TEST_F(MapCalibrationTest, DatCornersInEitherOrderGiveTheSameMap) {
  const std::string a =
      WriteMap("a.bmp", 4, 4, DatText("52:40.00N/013:05.00E", "52:20.00N/013:45.00E", "Berlin"));
  const std::string b = WriteMap("b.bmp", 4, 4,
                                 "; lower left first\r\n\r\n  52:20.00N/013:05.00E  "
                                 "\r\n52:40.00N/013:45.00E\r\nBerlin\r\nignored\r\n");
  for (const std::string& image : {a, b}) {
    const TRead r = Read(image);
    ASSERT_TRUE(r.Ok) << image;
    EXPECT_DOUBLE_EQ(static_cast<double>(r.LatMin), 52 + 20.0 / 60);
    EXPECT_DOUBLE_EQ(static_cast<double>(r.LatMax), 52 + 40.0 / 60);
    EXPECT_DOUBLE_EQ(static_cast<double>(r.LonMin), 13 + 5.0 / 60);
    EXPECT_DOUBLE_EQ(static_cast<double>(r.LonMax), 13 + 45.0 / 60);
    EXPECT_EQ(r.Name, "Berlin");
  }
}

// West corner first, east of the east one: the map runs across the 180th meridian; a
// map of more than half the globe keeps its corners.
TEST_F(MapCalibrationTest, CornersAcrossTheDateLineRunEastBeyondIt) {
  for (const auto& [first, second] : {std::pair{"10:00.00N/170:00.00E", "10:00.00S/170:00.00W"},
                                      std::pair{"10:00.00S/170:00.00E", "10:00.00N/170:00.00W"}}) {
    const TRead r = Read(WriteMap("pacific.bmp", 4, 4, DatText(first, second, "Pazifik")));
    ASSERT_TRUE(r.Ok);
    EXPECT_DOUBLE_EQ(static_cast<double>(r.LonMin), 170);
    EXPECT_DOUBLE_EQ(static_cast<double>(r.LonMax), 190);
    EXPECT_DOUBLE_EQ(static_cast<double>(r.LatMin), -10);
  }
  const TRead wide = Read(
      WriteMap("wide.bmp", 4, 4, DatText("60:00.00N/100:00.00W", "60:00.00S/100:00.00E", "W")));
  ASSERT_TRUE(wide.Ok);
  EXPECT_DOUBLE_EQ(static_cast<double>(wide.LonMin), -100);
  EXPECT_DOUBLE_EQ(static_cast<double>(wide.LonMax), 100);
}

TEST_F(MapCalibrationTest, DatIsPreferredToInfAndInfIsTypedFreely) {
  const std::string image =
      WriteMap("m.jpg", 4, 4, DatText("10:00.00N/020:00.00E", "11:00.00N/021:00.00E", "Dat"));
  WriteText(Folder() + "m.INF", "50.0.0N, 5.0.0W\r\n40.30.0N, 5.0.0E\r\nInf\r\n");
  EXPECT_EQ(MapCalibrationFile(image), Folder() + "m.DAT");
  EXPECT_EQ(Read(image).Name, "Dat");

  std::filesystem::remove(Folder() + "m.DAT");
  const TRead r = Read(image);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Name, "Inf");
  EXPECT_DOUBLE_EQ(static_cast<double>(r.LatMin), 40.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(r.LatMax), 50);
  EXPECT_DOUBLE_EQ(static_cast<double>(r.LonMin), -5);
  EXPECT_DOUBLE_EQ(static_cast<double>(r.LonMax), 5);
}

TEST_F(MapCalibrationTest, LowerCaseCalibrationIsFoundAndSecondsFormRead) {
  const std::string image = WriteMap(
      "w.bmp", 4, 4, DatText("90:00:00N/180:00:00W", "90:00:00S/180:00:00E", "Welt"), ".dat");
  const TRead r = Read(image);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.LatMin, -90);
  EXPECT_EQ(r.LonMax, 180);
}

// Only the head of the file is read: corners and name before a damaged disk's run of
// NULs as long as the disk, or a name cut off by the head's end, which is no name.
TEST_F(MapCalibrationTest, OnlyTheFilesHeadIsRead) {
  const std::string image =
      WriteMap("huge.bmp", 4, 4, DatText("52:40.00N/013:05.00E", "52:20.00N/013:45.00E", "Berlin"));
  std::filesystem::resize_file(Folder() + "huge.DAT", std::uintmax_t(1) << 34);
  const TRead r = Read(image);
  ASSERT_TRUE(r.Ok);
  EXPECT_DOUBLE_EQ(static_cast<double>(r.LatMin), 52 + 20.0 / 60);
  EXPECT_EQ(r.Name, "Berlin");
  std::filesystem::resize_file(Folder() + "huge.DAT", 0);
  WriteText(Folder() + "huge.DAT", "52:40.00N/013:05.00E\r\n52:20.00N/013:45.00E\r\n" +
                                       std::string(1 << 20, 'N') + "\r\n");
  EXPECT_EQ(Read(image).Name, "");
  std::filesystem::remove(Folder() + "huge.DAT");
}

TEST_F(MapCalibrationTest, MissingImageFailsSilently) {
  EXPECT_FALSE(Read("").Ok);
  EXPECT_FALSE(Read(Folder() + "none.jpg").Ok);
}

TEST_F(MapCalibrationTest, RejectsMissingShortAndAreaLessCalibrations) {
  const std::string missing = WriteMap("missing.bmp", 4, 4, "");
  const std::string oneCorner = WriteMap("one.bmp", 4, 4, "52:40.00N/013:05.00E\r\nName\r\n");
  const std::string badCorner =
      WriteMap("bad.bmp", 4, 4, DatText("52:40.00N/013:05.00E", "nonsense", "Name"));
  const std::string sameLat =
      WriteMap("lat.bmp", 4, 4, DatText("52:40.00N/013:05.00E", "52:40.00N/014:05.00E", "N"));
  const std::string sameLon =
      WriteMap("lon.bmp", 4, 4, DatText("52:40.00N/013:05.00E", "51:40.00N/013:05.00E", "N"));
  const std::string offTheEarth =
      WriteMap("off.bmp", 4, 4, DatText("52:40.00N/013:05.00E", "99:99.99N/999:99.99E", "N"));
  // A damaged disk's gigabyte of NULs where the corners were.
  const std::string nuls = WriteMap("nuls.bmp", 4, 4, "x");
  std::filesystem::resize_file(Folder() + "nuls.DAT", 0);
  std::filesystem::resize_file(Folder() + "nuls.DAT", std::uintmax_t(1) << 30);
  // A calibration file that is there names itself and what is wrong with it.
  const auto unusable = [this](const std::string& Image, const char* Why) {
    return ShownText("Kalibrierdatei unbrauchbar, laden abgebrochen!") + "\n\r" +
           ChangeFileExt(Image, ".DAT") + "\n\r" + ShownText(Why);
  };
  const char* const corners = "Sie nennt keine zwei lesbaren Ecken der Karte.";
  const char* const area =
      "Ihre beiden Ecken spannen keine Fl\xE4"
      "che auf.";
  const std::pair<std::string, std::string> cases[] = {
      {missing,
       ShownText("DAT/INF Datei f\xFCr folgende Karte nicht gefunden!") + "\n\r" + missing},
      {oneCorner, unusable(oneCorner, corners)},
      {badCorner, unusable(badCorner, corners)},
      {offTheEarth, unusable(offTheEarth, corners)},
      {nuls, unusable(nuls, corners)},
      {sameLat, unusable(sameLat, area)},
      {sameLon, unusable(sameLon, area)}};
  for (const auto& [image, said] : cases) {
    std::string message;
    const TRead r = ReadRejected(image, message);
    EXPECT_FALSE(r.Ok) << image;
    EXPECT_EQ(message, said);
    // Nothing is written on failure.
    EXPECT_EQ(r.LatMin, -999);
    EXPECT_EQ(r.Name, "unset");
  }
  std::filesystem::remove(Folder() + "nuls.DAT");
}

}  // namespace

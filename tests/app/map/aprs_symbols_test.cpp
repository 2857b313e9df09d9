#include "app/map/aprs_symbols.h"

#include "map_test_support.h"
#include "platform/gui/graphics/image_list.h"

namespace {

constexpr TColor kGrid = RGB(1, 2, 3);

// The colour of a cell of a test sheet: its index in red, the table in green.
TColor CellColor(int Index, bool Alternate) {
  return RGB(Index, Alternate ? 200 : 100, 50);
}

// Sheets of solid cells between grid lines.
void PaintTestSheets() {
  for (bool alternate : {false, true}) {
    TBitmap& sheet = SymbolSheet(alternate ? kAlternateTable : kPrimaryTable);
    sheet.SetSize(337, 127);
    sheet.Canvas().Brush().SetColor(kGrid);
    sheet.Canvas().FillRect(Rect(0, 0, 337, 127));
    for (int index = 0; index < 96; ++index) {
      const int left = (index % 16) * 21 + 1;
      const int top = (index / 16) * 21 + 1;
      sheet.Canvas().Brush().SetColor(CellColor(index, alternate));
      sheet.Canvas().FillRect(Rect(left, top, left + 20, top + 20));
    }
  }
}

// Every pixel of a 20 x 20 picture has Color.
bool AllPixels(const TBitmap& Picture, TColor Color) {
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (Picture.Canvas().Pixels(x, y) != Color) return false;
  return true;
}

class AprsSymbolsTest : public ::testing::Test {
 protected:
  void SetUp() override { PaintTestSheets(); }
};

TEST_F(AprsSymbolsTest, CellsAreCutBesideTheGridLines) {
  TBitmap cell;
  const std::pair<char, int> cases[] = {{'!', 0}, {'0', 15}, {'1', 16}, {'>', 29}, {'~', 93}};
  for (auto [code, index] : cases) {
    SymbolCell(kPrimaryTable, code, cell);
    ASSERT_EQ(cell.Width(), 20);
    EXPECT_TRUE(AllPixels(cell, CellColor(index, false))) << code;
    SymbolCell(kAlternateTable, code, cell);
    EXPECT_TRUE(AllPixels(cell, CellColor(index, true))) << code;
  }
}

TEST_F(AprsSymbolsTest, PicturesOfBothTablesAreWhiteKeyed) {
  TBitmap picture;
  SymbolPicture('/', '>', picture);
  EXPECT_TRUE(AllPixels(picture, CellColor('>' - 33, false)));
  EXPECT_TRUE(picture.Transparent());
  EXPECT_EQ(picture.TransparentColor(), clWhite);
  SymbolPicture('\\', '>', picture);
  EXPECT_TRUE(AllPixels(picture, CellColor('>' - 33, true)));
  // Codes beyond '!' to '~' have no picture, though the sheet has cells after '~'.
  for (char code : {' ', '\x7F', '\x80', '\xFF', '\0'}) {
    SymbolPicture('\\', code, picture);
    EXPECT_TRUE(AllPixels(picture, clWhite)) << int(code);
  }
}

TEST_F(AprsSymbolsTest, OverlaysDrawTheirCharacterOnTheAlternateSymbol) {
  TBitmap picture;
  SymbolPicture('D', '#', picture);
  int black = 0;
  int cell = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const TColor c = picture.Canvas().Pixels(x, y);
      black += c == clBlack;
      cell += c == CellColor('#' - 33, true);
    }
  }
  EXPECT_GT(black, 5);
  EXPECT_EQ(black + cell, 400);
  EXPECT_EQ(picture.Canvas().Pixels(0, 0), CellColor('#' - 33, true));

  // A symbol that takes no overlay shows the primary '~'.
  SymbolPicture('D', '-', picture);
  EXPECT_TRUE(AllPixels(picture, CellColor('~' - 33, false)));
  SymbolPicture('7', '-', picture);
  EXPECT_TRUE(AllPixels(picture, CellColor('~' - 33, false)));
}

TEST_F(AprsSymbolsTest, OtherTablesLeaveThePictureAlone) {
  TBitmap picture;
  picture.SetSize(3, 4);
  for (char table : {'a', '!', '\0', '~'}) {
    SymbolPicture(table, '>', picture);
    EXPECT_EQ(picture.Width(), 3) << table;
  }
  TBitmap cell;
  cell.SetSize(20, 20);
  cell.Canvas().Brush().SetColor(clLime);
  cell.Canvas().FillRect(Rect(0, 0, 20, 20));
  SymbolCell('D', '#', cell);
  EXPECT_TRUE(AllPixels(cell, clLime));
}

TEST_F(AprsSymbolsTest, StationListImagesRunFromBlankToBraceForBothTables) {
  TImageList images(nullptr, 20, 20);
  AddSymbolPictures(images);
  ASSERT_EQ(images.Count(), 188);
  TBitmap image;
  images.GetBitmap('>' - 32, image);
  EXPECT_EQ(image.Canvas().Pixels(10, 10), CellColor('>' - 33, false));
  images.GetBitmap(94 + '>' - 32, image);
  EXPECT_EQ(image.Canvas().Pixels(10, 10), CellColor('>' - 33, true));
}

// The list rows show their own background round each symbol, and a blank symbol code
// leaves the row's background alone.
TEST_F(AprsSymbolsTest, StationListImagesAreSeeThrough) {
  TImageList images(nullptr, 20, 20);
  AddSymbolPictures(images);
  TBitmap row;
  row.SetSize(20, 20);
  row.Canvas().Brush().SetColor(clNavy);
  row.Canvas().FillRect(Rect(0, 0, 20, 20));
  images.Draw(row.Canvas(), 0, 0, 0);  // code ' '
  EXPECT_TRUE(AllPixels(row, clNavy));
  // A symbol's white round its badge is see-through too.
  TBitmap& sheet = SymbolSheet(kPrimaryTable);
  sheet.Canvas().Brush().SetColor(clWhite);
  sheet.Canvas().FillRect(Rect(1, 1, 6, 6));  // the top-left corner of cell '!'
  TImageList badges(nullptr, 20, 20);
  AddSymbolPictures(badges);
  badges.Draw(row.Canvas(), 0, 0, 1);
  EXPECT_EQ(row.Canvas().Pixels(2, 2), clNavy);
  EXPECT_EQ(row.Canvas().Pixels(10, 10), CellColor(0, false));
}

TEST(ShippedSymbolSheetsTest, LoadWithTheirLayout) {
  ASSERT_TRUE(LoadSymbolSheets(ShippedDataFolder()));
  for (char table : {kPrimaryTable, kAlternateTable}) {
    const TBitmap& sheet = SymbolSheet(table);
    EXPECT_EQ(sheet.Width(), 337);
    EXPECT_EQ(sheet.Height(), 127);
    const TColor grid = sheet.Canvas().Pixels(0, 0);
    EXPECT_NE(grid, clWhite);
    EXPECT_EQ(sheet.Canvas().Pixels(21, 50), grid);
    EXPECT_EQ(sheet.Canvas().Pixels(1, 1), clWhite);  // transparent round each badge
    EXPECT_NE(sheet.Canvas().Pixels(11, 11), clWhite);
  }
  EXPECT_FALSE(LoadSymbolSheets("/nonexistent/"));
}

// The sheets hold the APRS symbol pictures, not stand-ins: a blue weather station, a red
// car, a green digipeater star, each on transparent white.
TEST(ShippedSymbolSheetsTest, HoldTheRealSymbolPictures) {
  ASSERT_TRUE(LoadSymbolSheets(ShippedDataFolder()));
  auto count = [](char Table, char Code, auto Matches) {
    TBitmap picture;
    SymbolPicture(Table, Code, picture);
    int n = 0;
    for (int y = 0; y < kSymbolPixels; ++y)
      for (int x = 0; x < kSymbolPixels; ++x) n += Matches(picture.Canvas().Pixels(x, y));
    return n;
  };
  auto blue = [](TColor c) { return GetBValue(c) > 200 && GetRValue(c) < 60 && GetGValue(c) < 60; };
  auto red = [](TColor c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; };
  auto green = [](TColor c) {
    return GetGValue(c) > 150 && GetRValue(c) < 60 && GetBValue(c) < 60;
  };
  auto white = [](TColor c) { return c == clWhite; };
  EXPECT_GT(count(kPrimaryTable, '_', blue), 100);
  EXPECT_GT(count(kPrimaryTable, '>', red), 40);
  EXPECT_GT(count(kPrimaryTable, '#', green), 60);
  EXPECT_GT(count(kPrimaryTable, '>', white), 150);
  // A code the pictures lack shows a picture all the same, as does an overlay on a
  // symbol that takes none (the primary '~').
  auto drawn = [](TColor c) { return c != clWhite; };
  EXPECT_GT(count(kPrimaryTable, '~', drawn), 20);
  EXPECT_GT(count(kAlternateTable, '~', drawn), 20);
  EXPECT_GT(count('D', '-', drawn), 20);
}

}  // namespace

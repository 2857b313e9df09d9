#include "controls/aprs_symbol.h"

#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"
#include "platform/test_support/gui_test_support.h"
#include "support/picture_compare.h"

namespace {

constexpr TColor kMagenta = clFuchsia;

// A 20 x 20 symbol: red with a white (transparent) corner pixel.
std::unique_ptr<TBitmap> RedSymbol() {
  auto symbol = SolidPicture(20, 20, clRed);
  symbol->Canvas().SetPixels(0, 0, clWhite);
  symbol->SetTransparentColor(clWhite);
  symbol->SetTransparent(true);
  return symbol;
}

// The marker as painted where nothing lies beneath it (magenta shows through).
TColor BufferPixel(TAprsSymbol& marker, int x, int y) {
  return PixelAt(*Snapshot(marker, kMagenta), x, y);
}

TEST(AprsSymbolTest, SizeAndAnchorFollowTheStyle) {
  auto symbol = RedSymbol();
  TAprsSymbol marker(nullptr);
  marker.SetSymDrawStyle(dsPoint);
  marker.SetSymbol("N0CALL", 100, 50, symbol.get(), 1);
  EXPECT_EQ(marker.BoundsRect(), Bounds(97, 47, 6, 6));  // the dot's centre on the point

  marker.SetSymDrawStyle(dsSymbol);
  EXPECT_EQ(marker.BoundsRect(), Bounds(90, 40, 20, 20));

  marker.SetSymDrawStyle(dsPoint | dsSymbol);
  EXPECT_EQ(marker.BoundsRect(), Bounds(90, 47, 20, 27));  // dot on the point, symbol below

  const TCanvas& measure = AprsSymbolLabelCanvas();
  const int textWidth = measure.TextWidth("N0CALL");
  const int textHeight = measure.TextHeight("N0CALL");
  marker.SetSymDrawStyle(dsCall);
  const int width = textWidth + 4;
  const int height = textHeight + 4;
  EXPECT_EQ(marker.BoundsRect(), Bounds(100 - width / 2, 50 - height / 2, width, height));

  // With a dot the label starts 7 pixels down and the dot stays the anchor.
  marker.SetSymDrawStyle(dsPoint | dsCall);
  EXPECT_EQ(marker.BoundsRect(), Bounds(100 - width / 2, 47, width, height + 7));

  marker.SetSymDrawStyle(dsPoint | dsSymbol | dsCall);
  EXPECT_EQ(marker.Height(), textHeight + 4 + 27);
  EXPECT_EQ(marker.Width(), width);  // the label's width even where the symbol is wider
}

TEST(AprsSymbolTest, WithoutAStyleTheMarkerIsTransparentAndStays) {
  auto symbol = RedSymbol();
  TAprsSymbol marker(nullptr);
  marker.SetBounds(5, 6, 10, 10);
  marker.SetSymbol("N0CALL", 100, 50, symbol.get(), 1);
  EXPECT_EQ(marker.BoundsRect(), Bounds(5, 6, 32, 32));
  auto snapshot = Snapshot(marker, kMagenta);
  for (int y = 0; y < 32; y += 3)
    for (int x = 0; x < 32; x += 3) ASSERT_EQ(PixelAt(*snapshot, x, y), kMagenta) << x << "," << y;
}

TEST(AprsSymbolTest, StyleSetterStoresPointForEmptyAndSkipsAnEqualSet) {
  auto symbol = RedSymbol();
  TAprsSymbol marker(nullptr);
  marker.SetSymDrawStyle(dsSymbol);
  marker.SetSymbol("N0CALL", 100, 50, symbol.get(), 1);
  marker.SetSymDrawStyle(0);
  EXPECT_EQ(marker.SymDrawStyle(), dsPoint);
  EXPECT_EQ(marker.BoundsRect(), Bounds(97, 47, 6, 6));

  // An equal set does not rebuild: a position set by hand survives.
  marker.SetBounds(1, 2, 6, 6);
  marker.SetSymDrawStyle(dsPoint);
  EXPECT_EQ(marker.BoundsRect(), Bounds(1, 2, 6, 6));
}

TEST(AprsSymbolTest, PaintsDotSymbolAndLabelPixels) {
  auto symbol = RedSymbol();
  TAprsSymbol marker(nullptr);
  marker.SetSymDrawStyle(dsPoint | dsSymbol);
  marker.SetSymbol("X", 50, 50, symbol.get(), 1);
  // Dot: white inside a black rim, centred at the top.
  EXPECT_EQ(BufferPixel(marker, 10, 3), clWhite);
  EXPECT_EQ(BufferPixel(marker, 10, 0), clBlack);
  EXPECT_EQ(BufferPixel(marker, 0, 0), kMagenta);
  // Symbol directly below the dot; its transparent corner stays magenta.
  EXPECT_EQ(BufferPixel(marker, 10, 16), clRed);
  EXPECT_EQ(BufferPixel(marker, 0, 6), kMagenta);

  // Painted on a background, the magenta pixels are not drawn.
  auto snapshot = Snapshot(marker, clGreen);
  EXPECT_EQ(PixelAt(*snapshot, 0, 0), clGreen);
  EXPECT_EQ(PixelAt(*snapshot, 10, 16), clRed);
  EXPECT_EQ(PixelAt(*snapshot, 10, 3), clWhite);
}

TEST(AprsSymbolTest, LabelColourByPort) {
  TAprsSymbol marker(nullptr);
  marker.SetSymDrawStyle(dsCall);
  const std::pair<int, TColor> cases[] = {
      {1, 0xFFE9E9}, {2, 0xB3FFFF}, {-1, 0xD5FFD5}, {0, 0xFFE9E9}, {7, 0xFFE9E9}};
  for (auto [port, colour] : cases) {
    marker.SetSymbol("WIDE", 40, 40, nullptr, port);
    // Inside the rounded frame, left of the text.
    EXPECT_EQ(BufferPixel(marker, 1, marker.Height() / 2), colour) << port;
    EXPECT_EQ(BufferPixel(marker, 0, marker.Height() / 2), clBlack) << port;
    EXPECT_EQ(marker.Port(), port);
  }
}

TEST(AprsSymbolTest, MissingBitmapLeavesAGapAndKeepsTheOldSymbol) {
  auto symbol = RedSymbol();
  TAprsSymbol marker(nullptr);
  marker.SetSymDrawStyle(dsSymbol);
  marker.SetSymbol("N0CALL", 30, 30, symbol.get(), 1);
  marker.SetSymbol("N0CALL", 60, 30, nullptr, 1);
  EXPECT_EQ(marker.BoundsRect(), Bounds(50, 20, 20, 20));
  EXPECT_EQ(BufferPixel(marker, 10, 10), kMagenta);
  EXPECT_EQ(marker.SymbolBitmap().Canvas().Pixels(10, 10), clRed);
  // A style change rebuilds from the kept symbol.
  marker.SetSymDrawStyle(dsSymbol | dsPoint);
  EXPECT_EQ(BufferPixel(marker, 10, 16), clRed);
}

TEST(AprsSymbolTest, ClickAndRebuildBringTheMarkerToTheFront) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* lower = new TAprsSymbol(&form);
  auto* upper = new TAprsSymbol(&form);
  lower->SetParent(&form);
  upper->SetParent(&form);
  lower->SetSymDrawStyle(dsSymbol);
  upper->SetSymDrawStyle(dsSymbol);
  lower->SetSymbol("A", 50, 50, nullptr, 1);
  upper->SetSymbol("B", 55, 55, nullptr, 1);
  EXPECT_EQ(form.ControlAtPos(Point(52, 52)), upper);

  bool clicked = false;
  lower->OnClick = [&](TComponent*) { clicked = true; };
  SimulateClick(*lower, 2, 2);  // (42, 42): only the lower marker lies there
  EXPECT_TRUE(clicked);
  EXPECT_EQ(form.ControlAtPos(Point(52, 52)), lower);

  upper->SetSymbol("B", 55, 55, nullptr, 1);
  EXPECT_EQ(form.ControlAtPos(Point(52, 52)), upper);
}

TEST(AprsSymbolTest, MarkersShareOneSymbolPictureAndChangeApart) {
  std::shared_ptr<const TBitmap> red = RedSymbol();
  auto blue = std::make_shared<TBitmap>();
  blue->Assign(*SolidPicture(20, 20, clBlue));
  TAprsSymbol a(nullptr);
  TAprsSymbol b(nullptr);
  a.SetSymDrawStyle(dsSymbol);
  b.SetSymDrawStyle(dsSymbol);
  a.SetSymbol("A", 30, 30, red, 1);
  b.SetSymbol("B", 60, 30, red, 1);
  EXPECT_EQ(&a.SymbolBitmap(), &b.SymbolBitmap());
  EXPECT_EQ(BufferPixel(b, 10, 10), clRed);

  // Another symbol for one station leaves the other's, and the shared picture, as they were.
  b.SetSymbol("B", 60, 30, blue, 1);
  EXPECT_EQ(BufferPixel(b, 10, 10), clBlue);
  EXPECT_EQ(BufferPixel(a, 10, 10), clRed);
  EXPECT_EQ(red->Canvas().Pixels(10, 10), clRed);
  EXPECT_NE(&a.SymbolBitmap(), &b.SymbolBitmap());
}

TEST(AprsSymbolTest, AMoveKeepsTheLookAndALabelChangeDrawsTheNewText) {
  TAprsSymbol marker(nullptr);
  marker.SetSymDrawStyle(dsCall);
  marker.SetSymbol("N0CALL", 40, 40, nullptr, 2);
  auto before = Snapshot(marker, kMagenta);
  marker.SetSymbol("N0CALL", 140, 90, nullptr, 2);
  EXPECT_EQ(marker.BoundsRect().Left, 140 - marker.Width() / 2);
  auto after = Snapshot(marker, kMagenta);
  for (int y = 0; y < marker.Height(); ++y)
    for (int x = 0; x < marker.Width(); ++x)
      ASSERT_EQ(PixelAt(*after, x, y), PixelAt(*before, x, y));

  // Another text measures and draws anew; a colour of another port too.
  marker.SetSymbol("W", 140, 90, nullptr, 2);
  EXPECT_LT(marker.Width(), before->Width());
  marker.SetSymbol("W", 140, 90, nullptr, -1);
  EXPECT_EQ(BufferPixel(marker, 1, marker.Height() / 2), 0xD5FFD5);
}

// The label as the map shows it is its text drawn straight onto a rounded frame: the
// picture the labels share (packed to save memory) changes no pixel.
TEST(AprsSymbolTest, ALabelLooksAsItsFrameAndTextDrawnDirectly) {
  for (const char* text : {"N0CALL-9", "DB0ABC-10", "W"}) {
    TAprsSymbol marker(nullptr);
    marker.SetSymDrawStyle(dsCall);
    marker.SetSymbol(text, 60, 40, nullptr, -1);
    auto painted = Snapshot(marker, kMagenta);

    TBitmap direct;
    direct.SetSize(marker.Width(), marker.Height());
    TCanvas& canvas = direct.Canvas();
    canvas.Brush().SetColor(kMagenta);
    canvas.FillRect(Rect(0, 0, marker.Width(), marker.Height()));
    canvas.Font().Assign(AprsSymbolLabelCanvas().Font());
    canvas.Pen().SetColor(clBlack);
    canvas.Brush().SetColor(AprsSymbolLabelColor(-1));
    canvas.RoundRect(0, 0, marker.Width(), marker.Height(), 6, 6);
    canvas.TextOut(2, 2, text);
    for (int y = 0; y < marker.Height(); ++y)
      for (int x = 0; x < marker.Width(); ++x)
        ASSERT_EQ(PixelAt(*painted, x, y), PixelAt(direct, x, y)) << text << " " << x << "," << y;
  }
}

// A name comes as its station sent it: in UTF-8 it looks as the same name in Windows-1252,
// and a name in Greek, Cyrillic or Hebrew shows its letters, not question marks.
TEST(AprsSymbolTest, ALabelShowsANameSentInUtf8AsMeant) {
  auto label = [](const char* text) {
    TAprsSymbol marker(nullptr);
    marker.SetSymDrawStyle(dsCall);
    marker.SetSymbol(text, 60, 40, nullptr, -1);
    return Snapshot(marker, kMagenta);
  };
  EXPECT_TRUE(SamePicture(*label("M\xC3\xBCller"), *label("M\xFCller")));
  EXPECT_FALSE(SamePicture(*label("\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1"), *label("?????")));
  EXPECT_FALSE(SamePicture(*label("\xD0\x9C\xD0\xB8\xD1\x80"), *label("???")));
  EXPECT_FALSE(SamePicture(*label("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"), *label("????")));
}

}  // namespace

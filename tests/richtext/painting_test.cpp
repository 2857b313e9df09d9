// Painting formatted documents on a raster canvas (characters are 6 x 10 blocks drawn
// in the font colour): style colours, selection colours and where they start and end,
// paragraph backgrounds cut by the clip, the whole document selected, the end of a
// document past the height bound, and the background painter's placements, and its
// tiles filled as one pattern against the same tiles drawn one by one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/test_support/le_bytes.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/picture_routines.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_background.h"
#include "richtext/support/test_formatted_data.h"
#include "richtext/view/rd_platform_canvas.h"

namespace {

constexpr int W = TRasterCanvas::kCharWidth;

struct Painted {
  explicit Painted(TTestFormattedData& data, int width = 200, int height = 100)
      : canvas(width, height, clWhite) {
    data.PaintTo(canvas, Rect(0, 0, width, height));
  }
  TRasterCanvas canvas;
  // A pixel inside the glyph block of character i (0-based) of a line at (left, top).
  TColor Glyph(int left, int top, int i) const { return canvas.Pixel(left + i * W + 2, top + 3); }
  // A pixel of the cell that the glyph block leaves free: the text background.
  TColor Back(int left, int top, int i) const { return canvas.Pixel(left + i * W, top + 9); }
};

TTestFormattedData& Sample(TTestFormattedData& data) {
  data.style.TextStyles()[0].Color = clBlue;
  data.style.TextStyles()[1].Color = clRed;
  data.style.InactiveSelColor = clLime;
  data.style.InactiveSelTextColor = clBlack;
  data.AddText("abcd", 0, 0);
  data.AddText("efgh", 1, 0);
  data.Format();
  return data;
}

TEST(Painting, TextInTheColoursOfItsStyles) {
  TTestFormattedData data(200, 100);
  Painted p(Sample(data));
  EXPECT_EQ(p.Glyph(5, 5, 0), ColorToRGB(clBlue));
  EXPECT_EQ(p.Glyph(5, 15, 3), ColorToRGB(clRed));
  EXPECT_EQ(p.Back(5, 5, 0), ColorToRGB(clWhite));
}

TEST(Painting, APartlySelectedPieceShowsOnlyItsSelectedCharacters) {
  TTestFormattedData data(200, 100);
  Sample(data).SetSelectionBounds(0, 2, 0, 4);  // "bc"
  Painted p(data);
  EXPECT_EQ(p.Back(5, 5, 0), ColorToRGB(clWhite));
  EXPECT_EQ(p.Back(5, 5, 1), ColorToRGB(clLime));
  EXPECT_EQ(p.Glyph(5, 5, 1), ColorToRGB(clBlack));
  EXPECT_EQ(p.Back(5, 5, 2), ColorToRGB(clLime));
  EXPECT_EQ(p.Back(5, 5, 3), ColorToRGB(clWhite));
  EXPECT_EQ(p.Glyph(5, 5, 3), ColorToRGB(clBlue));
}

TEST(Painting, ASelectionThatEndsAtTheStartOfAPieceLeavesItAlone) {
  TTestFormattedData data(200, 100);
  Sample(data).SetSelectionBounds(0, 3, 1, 1);
  Painted p(data);
  EXPECT_EQ(p.Back(5, 5, 3), ColorToRGB(clLime));
  EXPECT_EQ(p.Back(5, 15, 0), ColorToRGB(clWhite));
  EXPECT_EQ(p.Glyph(5, 15, 0), ColorToRGB(clRed));
}

TEST(Painting, TheWholeDocumentShownSelected) {
  TTestFormattedData data(200, 100);
  Sample(data).SelectAll();
  Painted p(data);
  EXPECT_EQ(p.Back(5, 5, 0), ColorToRGB(clLime));
  EXPECT_EQ(p.Back(5, 15, 3), ColorToRGB(clLime));
}

TEST(Painting, AParagraphCutByTheClipTopKeepsItsWholeBackground) {
  TTestFormattedData data(200, 40);
  data.style.ParaStyles()[0].Background.Color = clYellow;
  data.style.ParaStyles()[0].Options = 0;
  data.AddText("aaaa bbbb cccc dddd eeee", 0, 0);  // wraps into lines of "aaaa bbbb"
  data.AddText("x", 0, 1);
  data.Format();
  data.v_offs = 12;  // the first line is scrolled partly out
  TRasterCanvas canvas(200, 40, clWhite);
  data.PaintTo(canvas, Rect(0, 0, 200, 40));
  EXPECT_EQ(canvas.Pixel(5 + 190 - 3, 0), ColorToRGB(clYellow));  // right of the text, top row
  // The centred paragraph has no background.
  const int xTop = data.Line(data.DrawItems.Count() - 1).Top - 12;
  EXPECT_EQ(canvas.Pixel(2, xTop + 5), ColorToRGB(clWhite));
}

TEST(Painting, JustifiedTextSpreadsItsGlyphs) {
  TTestFormattedData data(75, 100);
  TParaInfo& justify = data.style.ParaStyles().Add();
  justify.Alignment = rdaJustify;
  data.style.TextStyles()[0].Color = clBlue;
  data.AddText("aa bb cc dd", 0, 2);
  data.Format();
  Painted p(data, 75, 100);
  // "cc" ends at the right edge (70): its last glyph block starts at 70 - W + 1.
  EXPECT_EQ(p.canvas.Pixel(70 - W + 2, 8), ColorToRGB(clBlue));
}

TEST(Painting, WholeLineSelectionsFillTheLineWithItsParagraphSpacing) {
  TTestFormattedData data(200, 100);
  data.style.ParaStyles()[0].SpaceBefore = 4;
  data.style.ParaStyles()[0].SpaceAfter = 6;
  Sample(data).SetSelectionBounds(0, 2, 0, 4);  // "bc": its line spans 5 .. 25
  ASSERT_EQ(data.Line(0).Top, 9);
  const int x = 5 + W + 1;  // inside the cell of "b"
  {
    Painted items(data);
    EXPECT_EQ(items.canvas.Pixel(x, 5), ColorToRGB(clWhite));
    EXPECT_EQ(items.canvas.Pixel(x, 24), ColorToRGB(clWhite));
  }
  data.style.SelectionStyle = rdssLines;
  Painted lines(data);
  EXPECT_EQ(lines.canvas.Pixel(x, 5), ColorToRGB(clLime));
  EXPECT_EQ(lines.canvas.Pixel(x, 24), ColorToRGB(clLime));
  EXPECT_EQ(lines.canvas.Pixel(x, 25), ColorToRGB(clWhite));
  EXPECT_EQ(lines.canvas.Pixel(5 + 1, 5), ColorToRGB(clWhite));  // "a" is not selected
  EXPECT_EQ(lines.canvas.Pixel(5 + 3 * W + 1, 24), ColorToRGB(clWhite));
  EXPECT_EQ(lines.Glyph(5, 9, 1), ColorToRGB(clBlack));
  data.Deselect(false);
  Painted none(data);
  EXPECT_EQ(none.canvas.CountPixels(clLime), 0);
}

TTestFormattedData& Hyphenated(TTestFormattedData& data) {
  data.style.TextStyles()[0].Color = clBlue;
  data.style.TextStyles()[0].Unicode = true;
  data.AddItemAtEnd(WideStringToRawUnicode(u"abc\u00ADdef"), CreateRDItem(0, &data));
  data.GetItem(0)->ItemOptions |= rdioUnicodeText;
  data.Format();
  return data;
}

TEST(Painting, ASoftHyphenShowsOnlyAtAWrap) {
  TTestFormattedData data(40, 100);  // "abc" and its hyphen, then "def"
  Painted wrapped(Hyphenated(data), 40, 100);
  EXPECT_EQ(wrapped.Glyph(5, 5, 3), ColorToRGB(clBlue));
  EXPECT_EQ(wrapped.Glyph(5, 15, 0), ColorToRGB(clBlue));
  EXPECT_EQ(wrapped.Glyph(5, 15, 3), ColorToRGB(clWhite));
  TTestFormattedData wide(200, 100);
  Painted oneLine(Hyphenated(wide));
  EXPECT_EQ(oneLine.Glyph(5, 5, 5), ColorToRGB(clBlue));  // "abcdef" without a gap
  EXPECT_EQ(oneLine.Glyph(5, 5, 6), ColorToRGB(clWhite));
}

// A transparent graphic for the background painter's placement checks.
class TDummyGraphic : public TGraphic {
 public:
  int Width() const override { return 10; }
  int Height() const override { return 10; }
  void Draw(TCanvas&, const TRect&) const override {}
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) const override {}
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TDummyGraphic>(); }
};

// Past the height bound every line stands at it, over the one before: a paint at the end
// draws the last of them (the last picture, narrower, is told by its box) and none of
// those under it, however many there are.
TEST(Painting, PastTheHeightBoundTheEndIsDrawnAndNothingUnderIt) {
  for (const int count : {10000, 20000, 70000}) {
    SCOPED_TRACE(count);
    TTestFormattedData data(100, 100);
    for (int i = 0; i < count; ++i) {
      auto bitmap = std::make_unique<TBitmap>();
      bitmap->SetSize(4, 4);
      auto picture = TRDGraphicItemInfo::CreateWithGraphic(&data, std::move(bitmap), rdvaBaseline);
      ReadRDFExtraProperty(*picture, "height=2147483647");
      ReadRDFExtraProperty(*picture, i + 1 < count ? "width=8" : "width=7");
      data.AddItemAtEnd("", std::move(picture));
    }
    data.Format();
    data.ScrollTo(data.area_height, false);
    Painted p(data, 100, 100);
    std::vector<std::string> drawn;
    for (const std::string& call : p.canvas.Log)
      if (call.rfind("StretchDraw ", 0) == 0) drawn.push_back(call);
    // The last, and the lines from two above the top of the view on.
    ASSERT_FALSE(drawn.empty());
    EXPECT_LE(drawn.size(), 4u);
    int left, top, right, bottom;
    ASSERT_EQ(
        std::sscanf(drawn.back().c_str(), "StretchDraw %d,%d,%d,%d", &left, &top, &right, &bottom),
        4);
    EXPECT_EQ(right - left, 7);
    EXPECT_LT(top, 100);
    EXPECT_GT(bottom, 0);
  }
}

TEST(Background, TiledAndScrolledTilesMoveWithTheDocument) {
  TRDBackground background(false);
  TDummyGraphic picture;
  background.AssignImage(&picture);
  background.Style = bsTiledAndScrolled;
  TRasterCanvas canvas(30, 30);
  background.Draw(canvas, Rect(0, 0, 30, 30), 3, 4, 0, 0, 30, 30, clNone, false);
  ASSERT_FALSE(canvas.Log.empty());
  EXPECT_EQ(canvas.Log.front(), "StretchDraw -3,-4,7,6");
  EXPECT_FALSE(background.ScrollNeedsFullRedraw());
  background.Style = bsTiled;
  EXPECT_TRUE(background.ScrollNeedsFullRedraw());
  canvas.Log.clear();
  background.Draw(canvas, Rect(0, 0, 30, 30), 3, 4, 0, 0, 30, 30, clNone, false);
  EXPECT_EQ(canvas.Log.front(), "StretchDraw 0,0,10,10");
}

TEST(Background, ColourAndNoPictureFillsAndNothingPaintsNothing) {
  TRDBackground background(false);
  TRasterCanvas canvas(20, 20, clWhite);
  background.Draw(canvas, Rect(0, 0, 20, 20), 0, 0, 0, 0, 20, 20, clNone, false);
  EXPECT_TRUE(canvas.Log.empty());
  background.Draw(canvas, Rect(0, 0, 20, 20), 0, 0, 0, 0, 20, 20, clRed, false);
  EXPECT_EQ(canvas.Pixel(19, 19), ColorToRGB(clRed));
}

TEST(Background, CornerPlacementsAndItemStyles) {
  TRDBackground background(false);
  TDummyGraphic picture;
  background.AssignImage(&picture);
  background.Style = bsBottomRight;
  TRasterCanvas canvas(50, 40);
  background.Draw(canvas, Rect(0, 0, 50, 40), 0, 0, 0, 0, 50, 40, clNone, false);
  EXPECT_EQ(canvas.Log.back(), "StretchDraw 40,30,50,40");
  background.Style = bsTopRight;
  EXPECT_EQ(background.GetItemBackgroundStyle(), rdbsCentered);
  background.SetItemBackgroundStyle(rdbsCentered);
  EXPECT_EQ(background.GetItemBackgroundStyle(), rdbsCentered);
  EXPECT_TRUE(background.NeedsBackColor());
}

TEST(Background, PrintingPlacesFromTheAreaCorner) {
  TRDBackground background(false);
  TDummyGraphic picture;
  background.AssignImage(&picture);
  background.Style = bsCentered;
  TRasterCanvas canvas(100, 100);
  TRDResolution printer;
  printer.DevicePixelsPerInchX = printer.DevicePixelsPerInchY = 192;
  background.Print(canvas, Rect(0, 0, 100, 100), Rect(20, 20, 80, 80), printer, clNone);
  EXPECT_EQ(canvas.Log.back(), "StretchDraw 40,40,60,60");
}

// A picture of w x h pixels no two neighbours alike; with a transparent colour (its
// bottom-left pixel, met again inside it) the fill shows through.
std::unique_ptr<TBitmap> TilePicture(int w, int h, bool transparent) {
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      picture->Canvas().SetPixels(x, y, RGB((x * 53 + y * 7) % 256, (y * 31) % 256, 90));
  if (transparent) {
    picture->Canvas().SetPixels(w / 2, h / 2, picture->Canvas().Pixels(0, h - 1));
    picture->SetTransparent(true);
  }
  return picture;
}

// A picture drawn by its own Draw, as JPEG, GIF and metafile pictures are: the pixels of
// a bitmap, what shows through it kept.
class TDrawnPicture : public TGraphic {
 public:
  explicit TDrawnPicture(std::unique_ptr<TBitmap> pixels) : pixels_(std::move(pixels)) {}
  int Width() const override { return pixels_->Width(); }
  int Height() const override { return pixels_->Height(); }
  void Draw(TCanvas& Canvas, const TRect& Rect) const override {
    Canvas.StretchDraw(Rect, *pixels_);
  }
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) const override {}
  std::unique_ptr<TGraphic> Clone() const override {
    auto pixels = std::make_unique<TBitmap>();
    pixels->Assign(*pixels_);
    return std::make_unique<TDrawnPicture>(std::move(pixels));
  }

 private:
  std::unique_ptr<TBitmap> pixels_;
};

// The tile picture as each kind of picture a background may hold, with its name: the
// bitmap itself, a JPEG picture of it (when opaque), a picture that draws it, and clip art
// whose raster operations combine it with what lies under each copy.
std::vector<std::pair<const char*, std::unique_ptr<TGraphic>>> TilePictures(int w, int h,
                                                                            bool transparent) {
  std::vector<std::pair<const char*, std::unique_ptr<TGraphic>>> kinds;
  kinds.emplace_back("bitmap", TilePicture(w, h, transparent));
  if (!transparent) {
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->Assign(*TilePicture(w, h, false));
    kinds.emplace_back("JPEG", std::move(jpeg));
  }
  kinds.emplace_back("drawn", std::make_unique<TDrawnPicture>(TilePicture(w, h, transparent)));
  auto clipArt = std::make_unique<TMetafile>(ClipArtMetafile(), false);
  clipArt->SetSize(w, h);
  kinds.emplace_back("clip art", std::move(clipArt));
  return kinds;
}

struct TTiling {
  TBackgroundStyle style;
  int hOffs, vOffs;
  TRect rect;
  bool clipping;
};

// The area the background paints, and the canvas around it.
constexpr int kAreaLeft = 20, kAreaTop = 30, kAreaWidth = 170, kAreaHeight = 110;

TBitmap& Blank(TBitmap& target, const TTiling& t) {
  target.SetPixelFormat(pf32bit);
  if (t.clipping)
    target.SetSize(200, 150);
  else
    target.SetSize(t.rect.Width(), t.rect.Height());
  target.Canvas().Brush().SetColor(clGray);
  target.Canvas().FillRect(Rect(0, 0, target.Width(), target.Height()));
  return target;
}

// Every tile the rectangle meets drawn on its own, columns from (r.Left + hOffs) div w
// to (r.Right + hOffs) div w and rows alike, r being the rectangle in area coordinates.
void PaintTileByTile(TBitmap& target, const TTiling& t, const TGraphic& picture) {
  TCanvas& canvas = Blank(target, t).Canvas();
  const TRect r = Rect(t.rect.Left - kAreaLeft, t.rect.Top - kAreaTop, t.rect.Right - kAreaLeft,
                       t.rect.Bottom - kAreaTop);
  const int ox = t.clipping ? kAreaLeft : -r.Left, oy = t.clipping ? kAreaTop : -r.Top;
  const int dx = t.style == bsTiled ? 0 : t.hOffs, dy = t.style == bsTiled ? 0 : t.vOffs;
  if (t.clipping) canvas.IntersectClipRect(t.rect);
  if (IsTransparentGraphic(picture)) {
    canvas.Brush().SetColor(clYellow);
    canvas.FillRect(Rect(r.Left + ox, r.Top + oy, r.Right + ox, r.Bottom + oy));
  }
  const int w = picture.Width(), h = picture.Height();
  for (int j = (r.Top + dy) / h; j <= (r.Bottom + dy) / h; ++j)
    for (int i = (r.Left + dx) / w; i <= (r.Right + dx) / w; ++i)
      canvas.Draw(w * i - dx + ox, h * j - dy + oy, picture);
  if (t.clipping) canvas.RestoreClip();
}

void PaintBackground(TBitmap& target, const TTiling& t, const TGraphic& picture) {
  TRDBackground background(false);
  background.AssignImage(&picture);
  background.Style = t.style;
  TRDPlatformCanvas canvas(Blank(target, t).Canvas());
  background.Draw(canvas, t.rect, t.hOffs, t.vOffs, kAreaLeft, kAreaTop, kAreaWidth, kAreaHeight,
                  clYellow, t.clipping);
}

// The first pixel where two pictures differ, or "" when they are the same.
std::string FirstDifference(const TBitmap& a, const TBitmap& b) {
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), size_t(a.Width()) * 4) != 0)
      for (int x = 0; x < a.Width(); ++x)
        if (a.Canvas().Pixels(x, y) != b.Canvas().Pixels(x, y))
          return "pixel " + std::to_string(x) + "," + std::to_string(y);
  return "";
}

TEST(Background, TilesOfEveryKindFilledAsOnePatternAreTheTilesDrawnOneByOne) {
  const TRect whole = Bounds(kAreaLeft, kAreaTop, kAreaWidth, kAreaHeight);
  const TRect part = Rect(kAreaLeft + 5, kAreaTop + 9, kAreaLeft + 131, kAreaTop + 67);
  for (auto [w, h, transparent] : {std::tuple{1, 1, false}, std::tuple{3, 5, false},
                                   std::tuple{64, 64, false}, std::tuple{7, 2, true}}) {
    for (const auto& [name, kind] : TilePictures(w, h, transparent))
      for (TBackgroundStyle style : {bsTiled, bsTiledAndScrolled})
        for (auto [hOffs, vOffs] : {std::pair{0, 0}, std::pair{13, 29}, std::pair{70, 3}})
          for (const TRect& rect : {whole, part})
            for (bool clipping : {true, false}) {
              const TTiling t{style, hOffs, vOffs, rect, clipping};
              SCOPED_TRACE(testing::Message()
                           << name << " " << w << "x" << h << " style " << int(style) << " offsets "
                           << hOffs << "," << vOffs << " rect " << rect.Left << "," << rect.Top
                           << " clipping " << clipping);
              TBitmap filled, reference;
              PaintBackground(filled, t, *kind);
              PaintTileByTile(reference, t, *kind);
              // Not two blank canvases alike: the middle of the rectangle is painted.
              const int x = (rect.Left + rect.Right) / 2 - (clipping ? 0 : rect.Left);
              const int y = (rect.Top + rect.Bottom) / 2 - (clipping ? 0 : rect.Top);
              EXPECT_NE(filled.Canvas().Pixels(x, y), ColorToRGB(clGray));
              EXPECT_EQ(FirstDifference(filled, reference), "");
            }
  }
}

}  // namespace

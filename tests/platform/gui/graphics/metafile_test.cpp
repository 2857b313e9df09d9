// Metafiles of both forms, built here record by record, drawn onto a bitmap and read back
// by their pixels; damaged copies of them must draw what they can and nothing else.
#include "platform/gui/graphics/metafile.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/metafile_renderings.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/gui/standard/image.h"
#include "platform/sys/application.h"
#include "platform/sys/child_process.h"
#include "platform/test_support/le_bytes.h"
#include "platform/text/streams.h"
#include "support/office_convert.h"
#include "support/scratch_files.h"

namespace {

using Bytes = LittleEndianBytes;

// A Windows metafile record: its size in words, the function, the 16-bit parameters.
void Record(Bytes& wmf, unsigned function, const std::vector<unsigned>& words) {
  wmf.U32(std::uint32_t(3 + words.size())).U16(function);
  for (unsigned w : words) wmf.U16(w);
}

// 1000 x 500 units at 1000 an inch (96 x 48 pixels): the top of the left half red, the
// right half a blue ellipse, and "WWW" in green, 20 pixels high, below the red.
std::vector<std::uint8_t> PlaceableWmf() {
  Bytes wmf;
  wmf.U32(0x9AC6CDD7).U16(0).U16(0).U16(0).U16(1000).U16(500).U16(1000).U32(0).U16(0);
  wmf.U16(1).U16(9).U16(0x0300).U32(0).U16(3).U32(0).U16(0);
  Record(wmf, 0x020B, {0, 0});                  // window origin
  Record(wmf, 0x020C, {500, 1000});             // window extent (y, x)
  Record(wmf, 0x02FC, {0, 0x00FF, 0x0000, 0});  // solid red brush, slot 0
  Record(wmf, 0x012D, {0});
  Record(wmf, 0x02FA, {5, 0, 0, 0, 0});  // null pen, slot 1
  Record(wmf, 0x012D, {1});
  Record(wmf, 0x041B, {250, 500, 0, 0});        // rectangle: bottom, right, top, left
  Record(wmf, 0x01F0, {0});                     // slot 0 free again ...
  Record(wmf, 0x02FC, {0, 0x0000, 0x00FF, 0});  // ... for the blue brush
  Record(wmf, 0x012D, {0});
  Record(wmf, 0x0418, {450, 950, 50, 550});  // ellipse
  Record(wmf, 0x0209, {0xFF00, 0x0000});     // text colour green
  Record(wmf, 0x0102, {1});                  // transparent background
  std::vector<unsigned> font(9 + 16, 0);
  font[0] = unsigned(-200) & 0xFFFF;  // a character height of 200 units
  font[4] = 700;
  Record(wmf, 0x02FB, font);  // slot 2
  Record(wmf, 0x012D, {2});
  Record(wmf, 0x0521, {3, 'W' | 'W' << 8, 'W', 280, 20});  // count, text, y, x
  Record(wmf, 0x0000, {});
  return wmf.data;
}

// A square Windows metafile, its window `side` units a side, with the records that add
// writes.
std::vector<std::uint8_t> SquareWmf(unsigned side, const std::function<void(Bytes&)>& add) {
  Bytes wmf;
  wmf.U32(0x9AC6CDD7).U16(0).U16(0).U16(0).U16(side).U16(side).U16(1000).U32(0).U16(0);
  wmf.U16(1).U16(9).U16(0x0300).U32(0).U16(3).U32(0).U16(0);
  Record(wmf, 0x020B, {0, 0});
  Record(wmf, 0x020C, {side, side});
  add(wmf);
  Record(wmf, 0x0000, {});
  return wmf.data;
}

using EmfRecord = std::function<void(std::uint32_t, const std::vector<std::uint32_t>&)>;

// An enhanced metafile 96 x 48 pixels on its device with the records that add writes.
std::vector<std::uint8_t> EmfOf(const std::function<void(const EmfRecord&)>& add) {
  Bytes emf;
  emf.U32(1).U32(88).U32(0).U32(0).U32(95).U32(47).U32(0).U32(0).U32(2540).U32(1270);
  emf.U32(0x464D4520).U32(0x10000).U32(0).U32(0).U16(3).U16(0).U32(0).U32(0).U32(0);
  emf.U32(960).U32(480).U32(254).U32(127);  // device pixels and millimetres
  add([&](std::uint32_t type, const std::vector<std::uint32_t>& values) {
    emf.U32(type).U32(std::uint32_t(8 + 4 * values.size()));
    for (std::uint32_t v : values) emf.U32(v);
  });
  return emf.data;
}

// An enhanced metafile 96 x 48 pixels on its device, drawing in a 200 x 100 window: the
// left half green through a polygon, the right half black through a world transform.
std::vector<std::uint8_t> Emf() {
  return EmfOf([](const EmfRecord& record) {
    record(17, {8});        // anisotropic
    record(9, {200, 100});  // window extent
    record(11, {96, 48});   // viewport extent
    record(39, {1, 0, 0x00FF00, 0});
    record(37, {1});
    record(37, {0x80000008});  // the null pen
    record(86, {0, 0, 0, 0, 4, 0 | 0 << 16, 100 | 0 << 16, 100 | 100 << 16, 0 | 100 << 16});
    const float shift[6] = {1, 0, 0, 1, 100, 0};
    std::vector<std::uint32_t> xform(6);
    for (int i = 0; i < 6; ++i) std::memcpy(&xform[std::size_t(i)], &shift[i], 4);
    record(35, xform);
    record(37, {0x80000004});  // the black brush
    record(43, {0, 0, 100, 100});
    record(14, {0, 0, 20});
  });
}

std::uint32_t PixelAt(TBitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.ScanLine(y) + 4 * x;
  return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

void DrawOnWhite(const TMetafile& picture, TBitmap& target, int width, int height) {
  target.SetSize(width, height);
  target.Canvas().Brush().SetColor(clWhite);
  target.Canvas().FillRect(TRect{0, 0, width, height});
  picture.Draw(target.Canvas(), TRect{0, 0, width, height});
}

// Records that cost more than a paint may spend, drawn only in the left half of a picture
// 1000 units a side: 2,000 red lines 1000 units wide, their ends' x below XEnd.
void CostlyRedLinesInTheLeftHalf(Bytes& w, unsigned xEnd) {
  Record(w, 0x0416, {1000, 500, 0, 0});  // the left half
  Record(w, 0x02FA, {0, 1000, 0, 0x00FF, 0});
  Record(w, 0x012D, {0});
  for (unsigned i = 0; i < 2000; ++i)
    Record(w, 0x0325, {2, i * 379 % xEnd, i * 613 % 1000, i * 211 % xEnd, i * 827 % 1000});
}

TEST(Metafile, WindowsMetafileDrawsItsShapesAndTextInItsWindow) {
  const std::vector<std::uint8_t> bytes = PlaceableWmf();
  const TMetafile wmf(bytes, false);
  EXPECT_EQ(wmf.Width(), 96);
  EXPECT_EQ(wmf.Height(), 48);
  TBitmap target;
  DrawOnWhite(wmf, target, 100, 50);
  EXPECT_EQ(PixelAt(target, 25, 6), 0xFF0000u);
  EXPECT_EQ(PixelAt(target, 75, 25), 0x0000FFu);
  EXPECT_EQ(PixelAt(target, 98, 2), 0xFFFFFFu);
  int green = 0;
  for (int y = 26; y < 50; ++y)
    for (int x = 0; x < 50; ++x) green += PixelAt(target, x, y) == 0x00FF00u;
  EXPECT_GT(green, 20) << "the text";

  // Saved as loaded, and read back as the same form.
  TMemoryStream saved;
  wmf.SaveToStream(saved);
  ASSERT_EQ(saved.Size(), std::int64_t(bytes.size()));
  saved.SetPosition(0);
  TMetafile again;
  again.LoadFromStream(saved);
  EXPECT_FALSE(again.Enhanced());
  EXPECT_EQ(again.Width(), 96);
}

// Bytes packed two to a word, as metafile records hold strings.
std::vector<unsigned> Words(std::string_view bytes) {
  std::vector<unsigned> words((bytes.size() + 1) / 2, 0);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    words[i / 2] |= unsigned(std::uint8_t(bytes[i])) << (i % 2 * 8);
  return words;
}

// A face name field of 32 characters.
std::string FaceField() {
  std::string face(32, '\0');
  face.replace(0, 11, "DejaVu Sans");
  return face;
}

// 96 x 48 pixels, one unit a pixel: Text at (4, 10) in DejaVu Sans 20 pixels high, its
// font of the given charset.
std::vector<std::uint8_t> WmfText(int charset, std::string_view text) {
  Bytes wmf;
  wmf.U32(0x9AC6CDD7).U16(0).U16(0).U16(0).U16(96).U16(48).U16(96).U32(0).U16(0);
  wmf.U16(1).U16(9).U16(0x0300).U32(0).U16(3).U32(0).U16(0);
  Record(wmf, 0x020C, {48, 96});  // window extent (y, x)
  std::vector<unsigned> font(9, 0);
  font[0] = unsigned(-20) & 0xFFFF;
  font[4] = 400;
  font[6] = unsigned(charset) << 8;
  const std::vector<unsigned> face = Words(FaceField());
  font.insert(font.end(), face.begin(), face.end());
  Record(wmf, 0x02FB, font);
  Record(wmf, 0x012D, {0});
  std::vector<unsigned> out{unsigned(text.size())};
  for (unsigned w : Words(text)) out.push_back(w);
  out.push_back(10);
  out.push_back(4);
  Record(wmf, 0x0521, out);  // count, text, y, x
  Record(wmf, 0x0000, {});
  return wmf.data;
}

// The same picture as an enhanced metafile: 8-bit text of the charset, or (charset -1)
// UTF-16 text.
std::vector<std::uint8_t> EmfText(int charset, std::string_view bytes) {
  Bytes emf;
  emf.U32(1).U32(88).U32(0).U32(0).U32(95).U32(47).U32(0).U32(0).U32(2540).U32(1270);
  emf.U32(0x464D4520).U32(0x10000).U32(0).U32(0).U16(3).U16(0).U32(0).U32(0).U32(0);
  emf.U32(960).U32(480).U32(254).U32(127);
  Bytes font;
  font.U32(82).U32(104).U32(1);                                // slot 1
  font.U32(std::uint32_t(-20)).U32(0).U32(0).U32(0).U32(400);  // height ... weight
  font.U32(std::uint32_t(std::max(charset, 0)) << 24).U32(0);  // charset, precision
  for (char c : FaceField()) font.U16(std::uint8_t(c));
  emf.Raw(font.data);
  emf.U32(37).U32(12).U32(1);
  const bool wide = charset < 0;
  const std::uint32_t size = 76 + std::uint32_t((bytes.size() + 3) / 4 * 4);
  emf.U32(wide ? 84 : 83).U32(size).U32(0).U32(0).U32(0).U32(0).U32(1).U32(0).U32(0);
  emf.U32(4).U32(10).U32(std::uint32_t(wide ? bytes.size() / 2 : bytes.size())).U32(76);
  emf.U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);  // options, rectangle, no advances
  for (std::size_t i = 0; i < (bytes.size() + 3) / 4 * 4; ++i)
    emf.data.push_back(i < bytes.size() ? std::uint8_t(bytes[i]) : 0);
  emf.U32(14).U32(20).U32(0).U32(0).U32(20);
  return emf.data;
}

// 8-bit text is in the code page of its font's charset: Cyrillic in charset 204, and the
// punctuation of code page 1252 (not Latin-1) in the Western one, drawn as the same text
// in UTF-16 is.
TEST(Metafile, EightBitTextIsDrawnInItsFontsCodePage) {
  const struct {
    int charset;
    std::string_view bytes;
    std::u16string_view text;
  } cases[] = {
      {204, "\xCF\xF0\xE8\xE2\xE5\xF2", u"\u041F\u0440\u0438\u0432\u0435\u0442"},
      {0, "\x80\x93\x84\x94\x97\x85", u"\u20AC\u201C\u201E\u201D\u2014\u2026"},
  };
  for (const auto& [charset, bytes, text] : cases) {
    SCOPED_TRACE(charset);
    std::string wide;
    for (char16_t c : text) wide.append({char(c & 0xFF), char(c >> 8)});
    TBitmap expected, fromWmf, fromEmf;
    DrawOnWhite(TMetafile(EmfText(-1, wide), true), expected, 96, 48);
    DrawOnWhite(TMetafile(WmfText(charset, bytes), false), fromWmf, 96, 48);
    DrawOnWhite(TMetafile(EmfText(charset, bytes), true), fromEmf, 96, 48);
    int inked = 0, wmfDiffers = 0, emfDiffers = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 96; ++x) {
        inked += PixelAt(expected, x, y) != 0xFFFFFFu;
        wmfDiffers += PixelAt(fromWmf, x, y) != PixelAt(expected, x, y);
        emfDiffers += PixelAt(fromEmf, x, y) != PixelAt(expected, x, y);
      }
    EXPECT_GT(inked, 40);
    EXPECT_EQ(wmfDiffers, 0);
    EXPECT_EQ(emfDiffers, 0);
  }
}

TEST(Metafile, EnhancedMetafileFollowsItsPageAndWorldTransform) {
  const TMetafile emf(Emf(), true);
  EXPECT_TRUE(emf.Enhanced());
  EXPECT_EQ(emf.Width(), 96);
  EXPECT_EQ(emf.Height(), 48);
  TBitmap target;
  DrawOnWhite(emf, target, 100, 50);
  EXPECT_EQ(PixelAt(target, 24, 24), 0x00FF00u);
  EXPECT_EQ(PixelAt(target, 74, 24), 0x000000u);
  EXPECT_THROW(TMetafile(Emf(), false), EInvalidGraphic);
  EXPECT_THROW(TMetafile(PlaceableWmf(), true), EInvalidGraphic);
}

// A pen wider than a device pixel draws solid whatever its dash style, as the Windows
// drawing layer does: a dashed pen 1000 units wide took Qt's stroker seconds for one arc.
// One unit of a 10-unit window is 10 pixels: a dashed pen of one unit draws solid too. A
// thinner one draws a device pixel wide, its dashes whole pixels (Qt would count them in
// widths of the pen: a hundredth of a pixel each, a grey smear costing a dash a pixel).
TEST(Metafile, DashesShowOnlyOnPensOfADevicePixel) {
  for (const unsigned style : {1u, 2u}) {  // dashed, dotted
    const TMetafile thin(SquareWmf(10000,
                                   [&](Bytes& w) {
                                     Record(w, 0x02FA, {style, 1, 0, 0x00FF, 0});
                                     Record(w, 0x012D, {0});
                                     Record(w, 0x0214, {5050, 500});  // y, x: a pixel's middle
                                     Record(w, 0x0213, {5050, 9500});
                                   }),
                         false);
    TBitmap target;
    DrawOnWhite(thin, target, 100, 100);
    int red = 0, white = 0;
    for (int x = 10; x < 90; ++x) {
      red += PixelAt(target, x, 50) == 0xFF0000u;
      white += PixelAt(target, x, 50) == 0xFFFFFFu;
    }
    EXPECT_EQ(red + white, 80) << style;
    EXPECT_GE(red, 20) << style;
    EXPECT_GE(white, 20) << style;
  }
  for (const auto& [side, width] : {std::pair{1000u, 40u}, {1000u, 1000u}, {10u, 1u}}) {
    const unsigned tenth = side / 10, half = side / 2;
    const TMetafile wmf(
        SquareWmf(
            side,
            [&](Bytes& w) {
              Record(w, 0x02FA, {1, width, 0, 0x00FF, 0});  // dashed red pen
              Record(w, 0x012D, {0});
              // a whole circle: start and end on the same radial
              Record(w, 0x0817, {half, side, half, side, side - tenth, side - tenth, tenth, tenth});
            }),
        false);
    TBitmap target;
    DrawOnWhite(wmf, target, 100, 100);
    for (int step = 0; step < 72; ++step) {
      const double angle = step * M_PI / 36;
      const int x = int(std::lround(50 + 40 * std::cos(angle)));
      const int y = int(std::lround(50 - 40 * std::sin(angle)));
      EXPECT_EQ(PixelAt(target, x, y), 0xFF0000u) << width << " at " << x << ", " << y;
    }
  }
}

// Smoothing an outline costs Qt's rasterizer the square of its crossings a pixel row: one
// polyline of 1,000 points zig-zagging across the picture, in 4 KB, took 10 s every paint.
// Such a shape is drawn unsmoothed, in the pen's colour and the paper's only; a line of a
// few points keeps its smoothed edge. Both as a line and as a filled polygon.
TEST(Metafile, OutlinesCrossingTheirRowsOverAndOverAreNotSmoothed) {
  const auto zigzag = [](unsigned function, unsigned points) {
    return TMetafile(SquareWmf(1000,
                               [&](Bytes& w) {
                                 Record(w, 0x02FA, {0, 10, 0, 0x00FF, 0});  // red pen
                                 Record(w, 0x012D, {0});
                                 Record(w, 0x02FC, {0, 0x00FF, 0x0000, 0});  // red brush
                                 Record(w, 0x012D, {1});
                                 std::vector<unsigned> words{points};
                                 for (unsigned i = 0; i < points; ++i) {
                                   words.push_back(i % 2 ? 950 : 50);
                                   words.push_back(i * 379 % 1000);
                                 }
                                 Record(w, function, words);
                               }),
                     false);
  };
  const auto shades = [](const TMetafile& picture) {
    TBitmap target;
    DrawOnWhite(picture, target, 200, 150);
    int blended = 0;
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 200; ++x)
        blended += PixelAt(target, x, y) != 0xFFFFFFu && PixelAt(target, x, y) != 0xFF0000u;
    return blended;
  };
  for (unsigned function : {0x0325u, 0x0324u}) {  // polyline, polygon
    SCOPED_TRACE(function);
    EXPECT_EQ(shades(zigzag(function, 1000)), 0);
    EXPECT_GT(shades(zigzag(function, 3)), 0);
  }
}

// Shapes reaching thousands of times beyond the picture are cut to what shows before
// they are stroked and filled: what shows must be what the whole shape draws. A blue
// ellipse with a red pen 80 units wide whose lower edge runs level across the picture at
// 500 units, a red line from far outside down its left side and a pie whose centre lies
// far below and whose arc lies far above. Forty copies of them cover the picture many times over,
// so the picture keeps what it drew: drawn again, at the same size and at another, it shows the
// same.
TEST(Metafile, ShapesReachingFarBeyondThePictureDrawWhatShows) {
  const TMetafile wmf(
      SquareWmf(1000,
                [](Bytes& w) {
                  Record(w, 0x02FA, {0, 80, 0, 0x00FF, 0});  // solid red pen
                  Record(w, 0x012D, {0});
                  Record(w, 0x02FC, {0, 0x0000, 0x00FF, 0});  // blue brush
                  Record(w, 0x012D, {1});
                  for (int i = 0; i < 40; ++i) {
                    // ellipse: bottom, right, top, left
                    Record(w, 0x0418, {500, 0x7FFF, 0x8000, 0x8000 + 1000});
                    Record(w, 0x0214, {0x8000, 100});  // move to: y, x
                    Record(w, 0x0213, {0x7FFF, 100});  // line to
                    // a narrow pie centred at (0, 3047): radials through
                    // (700, 0) and (900, 0), then its box
                    Record(w, 0x081A,
                           {0, 700, 0, 900, 0x7FFF, 0x7FFF, unsigned(-26672) & 0xFFFF, 0x8000});
                  }
                }),
      false);
  for (int side : {100, 100, 100, 50}) {
    SCOPED_TRACE(side);
    TBitmap target;
    DrawOnWhite(wmf, target, side, side);
    const auto at = [&](double x, double y) {
      return PixelAt(target, int(x * side / 100), int(y * side / 100));
    };
    EXPECT_EQ(at(35, 20), 0x0000FFu) << "inside the ellipse";
    EXPECT_EQ(at(60, 49), 0xFF0000u) << "its edge";
    EXPECT_EQ(at(85, 70), 0xFFFFFFu) << "below it";
    EXPECT_EQ(at(10, 70), 0xFF0000u) << "the line";
    EXPECT_EQ(at(30, 70), 0xFFFFFFu) << "beside the line";
    EXPECT_EQ(at(55, 95), 0x0000FFu) << "inside the pie";
    EXPECT_EQ(at(40, 95), 0xFFFFFFu) << "beside the pie";
  }
}

// A pen wider than the picture inks it where the line passes within half its width, and
// nowhere else: a polygon of 257 points in the middle covers it (Qt's stroker took 14 s
// over its joins), the largest ellipse, 32000 units away, leaves it white.
TEST(Metafile, PensWiderThanThePictureInkWhatTheyReach) {
  for (const bool near : {true, false}) {
    SCOPED_TRACE(near);
    const TMetafile wmf(
        SquareWmf(1000,
                  [&](Bytes& w) {
                    Record(w, 0x02FA, {0, 32767, 0, 0x00FF, 0});  // solid red pen
                    Record(w, 0x012D, {0});
                    Record(w, 0x02FC, {1, 0, 0, 0});  // null brush
                    Record(w, 0x012D, {1});
                    if (!near) {
                      Record(w, 0x0418, {0x7FFF, 0x7FFF, 0x8000, 0x8000});
                      return;
                    }
                    std::vector<unsigned> polygon{257};
                    for (int i = 0; i < 257; ++i) {
                      const double angle = i * 2 * M_PI / 257;
                      polygon.push_back(unsigned(std::lround(500 + 100 * std::cos(angle))));
                      polygon.push_back(unsigned(std::lround(500 + 100 * std::sin(angle))));
                    }
                    Record(w, 0x0324, polygon);
                  }),
        false);
    TBitmap target;
    DrawOnWhite(wmf, target, 100, 100);
    for (const auto& [x, y] : {std::pair{0, 0}, {99, 0}, {50, 50}, {0, 99}, {99, 99}})
      EXPECT_EQ(PixelAt(target, x, y), near ? 0xFF0000u : 0xFFFFFFu) << x << ", " << y;
  }
}

// The frame is only claimed, and exports draw the picture whole at its size: one of
// 65535 x 16384 pixels (a 4 GB bitmap, from 40 bytes) is scaled down to 64 MB, its shape
// kept; so is a size a document gives.
TEST(Metafile, ClaimedSizesAreScaledDownToWhatABitmapMayHold) {
  Bytes wmf;
  wmf.U32(0x9AC6CDD7).U16(0).U16(0x8000).U16(0).U16(0x7FFF).U16(0x4000).U16(96).U32(0).U16(0);
  wmf.U16(1).U16(9).U16(0x0300).U32(0).U16(3).U32(0).U16(0);
  Record(wmf, 0x0000, {});
  TMetafile picture(wmf.data, false);
  EXPECT_LE(std::int64_t(picture.Width()) * picture.Height(), 4096 * 4096);
  EXPECT_NEAR(picture.Width(), 2 * picture.Height(), 2);
  picture.SetSize(32767, 32767);
  EXPECT_EQ(picture.Width(), 4096);
  EXPECT_EQ(picture.Height(), 4096);
}

// Sizes of INT_MIN are drawn as any other, not negated.
TEST(Metafile, FontsOfTheSmallestSizesAndAnglesDraw) {
  const TMetafile emf(EmfOf([](const EmfRecord& record) {
                        std::vector<std::uint32_t> font(2 + 23, 0);
                        font[0] = 1;           // slot 1
                        font[1] = 0x80000000;  // height
                        font[3] = 0x80000000;  // escapement
                        font[4] = 0x80000000;  // orientation
                        font[5] = 400;
                        record(82, font);
                        record(37, {1});
                        // ExtTextOutW "W" at 10, 10: bounds, mode, scales, then the text
                        record(84, {0, 0, 0, 0, 1, 0, 0, 10, 10, 1, 76, 0, 0, 0, 0, 0, 0, 'W'});
                      }),
                      true);
  TBitmap target;
  DrawOnWhite(emf, target, 96, 48);
}

// Text with a spacing array in a script whose letters join keeps them joined: given the
// advances the letters have within the word, it is drawn exactly as the word drawn whole.
TEST(Metafile, SpacedTextKeepsItsLettersJoined) {
  const QString word = QString::fromUtf16(u"\u0645\u0631\u062D\u0628\u0627");
  QFont qt("DejaVu Sans");
  qt.setPixelSize(20);
  QTextLayout layout(word, qt);
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  const auto drawn = [&](bool spaced) {
    const TMetafile emf(
        EmfOf([&](const EmfRecord& record) {
          std::vector<std::uint32_t> font(2 + 23, 0);
          font[0] = 1;
          font[1] = std::uint32_t(-20);
          font[5] = 400;
          for (int i = 0; i < 11; ++i)
            font[8 + std::size_t(i) / 2] |= std::uint32_t("DejaVu Sans"[i]) << (i % 2 * 16);
          record(82, font);
          record(37, {1});
          // ExtTextOutW at 10, 10: bounds, mode, scales, the text record
          // (its string at byte 76, its spacing array after it), the text.
          std::vector<std::uint32_t> text = {
              0, 0, 0, 0, 1, 0, 0, 10, 10, 5, 76, 0, 0, 0, 0, 0, spaced ? 88u : 0u};
          for (int i = 0; i < 6; i += 2)
            text.push_back(std::uint32_t(i < 5 ? word[i].unicode() : 0) |
                           std::uint32_t(i + 1 < 5 ? word[i + 1].unicode() : 0) << 16);
          for (int i = 0; spaced && i < 5; ++i)
            text.push_back(
                std::uint32_t(qRound(std::abs(line.cursorToX(i) - line.cursorToX(i + 1)))));
          record(84, text);
        }),
        true);
    TBitmap target;
    DrawOnWhite(emf, target, 96, 48);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 96; ++x) pixels.push_back(PixelAt(target, x, y));
    return pixels;
  };
  const std::vector<std::uint32_t> whole = drawn(false);
  const std::vector<std::uint32_t> spaced = drawn(true);
  EXPECT_NE(std::count(whole.begin(), whole.end(), 0xFFFFFFu), 96 * 48);
  // The array holds whole pixels where the word places its letters at fractions of one:
  // their edges may be shaded apart, never a letter's body.
  const auto grey = [](std::uint32_t c) {
    return int((c >> 16 & 255) + (c >> 8 & 255) + (c & 255)) / 3;
  };
  int apart = 0;
  for (std::size_t i = 0; i < whole.size(); ++i)
    apart += std::abs(grey(whole[i]) - grey(spaced[i])) > 160;
  EXPECT_EQ(apart, 0);
}

// A red brush and no pen, then what add writes, then a red rectangle over the whole
// 1000-unit window, drawn at 100 x 100 pixels.
std::vector<std::uint8_t> ClippedRedSquare(const std::function<void(Bytes&)>& add) {
  return SquareWmf(1000, [&](Bytes& w) {
    Record(w, 0x02FC, {0, 0x00FF, 0x0000, 0});  // red brush, slot 0
    Record(w, 0x012D, {0});
    Record(w, 0x02FA, {5, 0, 0, 0, 0});  // null pen, slot 1
    Record(w, 0x012D, {1});
    add(w);
    Record(w, 0x041B, {1000, 1000, 0, 0});
  });
}

// A WMF region object of rectangles that each span the whole height: one scan.
void RegionOfColumns(Bytes& w, const std::vector<std::pair<unsigned, unsigned>>& columns) {
  std::vector<unsigned> words{0, 6, 0, 0, 0, 1, 0, 0, 0, 1000, 1000};
  words.push_back(unsigned(columns.size() * 2));
  words.push_back(0);
  words.push_back(1000);
  for (const auto& [left, right] : columns) {
    words.push_back(left);
    words.push_back(right);
  }
  words.push_back(unsigned(columns.size() * 2));
  Record(w, 0x06FF, words);
}

// An EMF drawing 96 x 48 pixels, one logical unit a pixel: what add writes, then a red
// rectangle over the whole of it.
std::vector<std::uint8_t> ClippedRedEmf(const std::function<void(const EmfRecord&)>& add) {
  return EmfOf([&](const EmfRecord& record) {
    record(39, {1, 0, 0x0000FF, 0});  // red brush
    record(37, {1});
    record(37, {0x80000008});  // the null pen
    add(record);
    record(43, {0, 0, 96, 48});
    record(14, {0, 0, 20});
  });
}

// Clip rectangles and regions, saved and restored with the drawing state and moved, in
// both forms: where the red rectangle shows, on a grid of sample points between the
// edges that each case puts on tenths of the picture.
TEST(Metafile, ClipRecordsLimitWhatShows) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool enhanced;
    std::function<bool(double, double)> red;  // x, y in tenths of the picture
  } cases[] = {
      {"intersect", ClippedRedSquare([](Bytes& w) {
         Record(w, 0x0416, {500, 500, 0, 0});
       }),
       false, [](double x, double y) { return x < 5 && y < 5; }},
      {"exclude", ClippedRedSquare([](Bytes& w) {
         Record(w, 0x0415, {700, 700, 300, 300});
       }),
       false, [](double x, double y) { return !(x > 3 && x < 7 && y > 3 && y < 7); }},
      {"restored", ClippedRedSquare([](Bytes& w) {
         Record(w, 0x001E, {});
         Record(w, 0x0416, {1000, 500, 0, 0});  // the left half, then forgotten
         Record(w, 0x0127, {unsigned(-1) & 0xFFFF});
         Record(w, 0x0416, {500, 1000, 0, 0});  // the top half
       }),
       false, [](double, double y) { return y < 5; }},
      {"run of intersects and excludes", ClippedRedSquare([](Bytes& w) {
         Record(w, 0x0416, {1000, 600, 0, 0});     // the left six tenths
         Record(w, 0x0415, {700, 700, 300, 300});  // less the middle
         Record(w, 0x0416, {800, 1000, 0, 0});     // the top eight tenths
         Record(w, 0x0415, {1000, 1000, 900, 0});  // already left out
         Record(w, 0x0415, {200, 200, 0, 0});      // less the top left corner
       }),
       false,
       [](double x, double y) {
         return x < 6 && y < 8 && !(x > 3 && x < 7 && y > 3 && y < 7) && !(x < 2 && y < 2);
       }},
      {"excluded before a saved state", ClippedRedSquare([](Bytes& w) {
         Record(w, 0x0415, {700, 700, 300, 300});
         Record(w, 0x001E, {});
         Record(w, 0x0416, {1000, 500, 0, 0});  // the left half, then forgotten
         Record(w, 0x0127, {unsigned(-1) & 0xFFFF});
         Record(w, 0x0415, {1000, 1000, 900, 0});  // the bottom tenth
       }),
       false, [](double x, double y) { return !(x > 3 && x < 7 && y > 3 && y < 7) && y < 9; }},
      {"offset", ClippedRedSquare([](Bytes& w) {
         Record(w, 0x0416, {500, 500, 0, 0});
         Record(w, 0x0220, {500, 500});  // y, x
       }),
       false, [](double x, double y) { return x > 5 && y > 5; }},
      {"region", ClippedRedSquare([](Bytes& w) {
         RegionOfColumns(w, {{0, 300}, {700, 1000}});  // slot 2
         Record(w, 0x012C, {2});
       }),
       false, [](double x, double) { return x < 3 || x > 7; }},
      {"region dropped", ClippedRedSquare([](Bytes& w) {
         RegionOfColumns(w, {{0, 300}});
         Record(w, 0x012C, {2});
         Record(w, 0x012C, {9});  // no region: the clip goes
       }),
       false, [](double, double) { return true; }},
      {"enhanced intersect", ClippedRedEmf([](const EmfRecord& r) {
         r(30, {0, 0, 48, 24});
       }),
       true, [](double x, double y) { return x < 5 && y < 5; }},
      {"enhanced exclude", ClippedRedEmf([](const EmfRecord& r) {
         r(29, {24, 12, 72, 36});
       }),
       true, [](double x, double y) { return !(x > 2.5 && x < 7.5 && y > 2.5 && y < 7.5); }},
      {"enhanced run", ClippedRedEmf([](const EmfRecord& r) {
         r(29, {24, 12, 72, 36});
         r(30, {0, 0, 48, 48});  // the left half
         r(29, {0, 0, 96, 12});  // less the top quarter
       }),
       true, [](double x, double y) { return x < 5 && y > 2.5 && !(x > 2.5 && y < 7.5); }},
      {"enhanced saved", ClippedRedEmf([](const EmfRecord& r) {
         r(33, {});
         r(30, {0, 0, 48, 48});
         r(34, {std::uint32_t(-1)});
         r(30, {48, 0, 96, 48});  // the right half
         r(26, {0, 24});          // moved down by half
       }),
       true, [](double x, double y) { return x > 5 && y > 5; }},
      {"enhanced region", ClippedRedEmf([](const EmfRecord& r) {
         // RGN_COPY of two rectangles in device pixels, then RGN_DIFF of a third
         r(75, {64, 5, 32, 1, 2, 32, 0, 0, 96, 48, 0, 0, 24, 48, 72, 0, 96, 48});
         r(75, {48, 4, 32, 1, 1, 16, 0, 0, 96, 24, 0, 0, 96, 24});
       }),
       true, [](double x, double y) { return (x < 2.5 || x > 7.5) && y > 5; }},
      {"enhanced clip path", ClippedRedEmf([](const EmfRecord& r) {
         r(59, {});  // a triangle from the top corners down the left side, made a path
         r(86, {0, 0, 0, 0, 3, 0, 96, 96u << 16});
         r(60, {});
         r(67, {1});  // RGN_AND
       }),
       true, [](double x, double y) { return 2 * x + y < 20; }},
      {"enhanced clip path xor", ClippedRedEmf([](const EmfRecord& r) {
         r(30, {0, 0, 48, 48});  // the left half
         r(59, {});
         r(43, {0, 0, 96, 24});  // the top half
         r(60, {});
         r(67, {3});  // RGN_XOR; the path is used up, the red square then drawn
       }),
       true, [](double x, double y) { return (x < 5) != (y < 5); }},
      {"enhanced reset", ClippedRedEmf([](const EmfRecord& r) {
         r(30, {0, 0, 10, 10});
         r(75, {0, 5});
       }),
       true, [](double, double) { return true; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TMetafile picture(c.bytes, c.enhanced);
    TBitmap target;
    const int width = 100, height = c.enhanced ? 50 : 100;
    DrawOnWhite(picture, target, width, height);
    for (int i = 0; i < 20; ++i)
      for (int j = 0; j < 20; ++j) {
        const double x = i / 2.0 + 0.25, y = j / 2.0 + 0.25;
        EXPECT_EQ(PixelAt(target, int(x * width / 10), int(y * height / 10)),
                  c.red(x, y) ? 0xFF0000u : 0xFFFFFFu)
            << x << ", " << y;
      }
  }
}

// The 16-bit words of an even number of bytes.
std::vector<unsigned> WordsOf(const Bytes& bytes) {
  std::vector<unsigned> words;
  for (std::size_t i = 0; i + 1 < bytes.data.size(); i += 2)
    words.push_back(bytes.data[i] | unsigned(bytes.data[i + 1]) << 8);
  return words;
}

// A packed 2 x 2 DIB of 24 bits, or of 32 with an alpha in the top byte, its pixels
// (0xAARRGGBB) from the top left row by row: by default red, green; blue, white.
std::vector<unsigned> DibWords(std::array<std::uint32_t, 4> pixels = {0xFF0000, 0x00FF00, 0x0000FF,
                                                                      0xFFFFFF},
                               unsigned bits = 24) {
  Bytes dib;
  dib.U32(40).U32(2).U32(2).U16(1).U16(bits).U32(0).U32(16).U32(0).U32(0).U32(0).U32(0);
  for (int row : {2, 0}) {  // bottom row first
    for (int x = 0; x < 2; ++x) {
      const std::uint32_t p = pixels[std::size_t(row + x)];
      dib.Raw({std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16)});
      if (bits == 32) dib.Raw({std::uint8_t(p >> 24)});
    }
    if (bits == 24) dib.Raw({0, 0});
  }
  return WordsOf(dib);
}

// A packed 2 x 2 monochrome DIB, black and white, set (white) at the top left and the
// bottom right: the mask of the mask records.
std::vector<unsigned> MaskWords() {
  Bytes dib;
  dib.U32(40).U32(2).U32(2).U16(1).U16(1).U32(0).U32(8).U32(0).U32(0).U32(2).U32(0);
  dib.U32(0x000000).U32(0xFFFFFF);
  dib.U32(0x40).U32(0x80);  // bottom row first, each padded to 4 bytes
  return WordsOf(dib);
}

// Bitmaps drawn by each bitmap record into the right half, stretched and mirrored, and
// combined with what lies there by the common raster operations; a rectangle beside
// them stays.
TEST(Metafile, BitmapRecordsDrawTheirPixels) {
  constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF,
                          kBlack = 0;
  // A window of 1000 units, or of 2 for the records that copy a pixel to a unit.
  const auto wmf = [](unsigned function, std::vector<unsigned> head, bool redUnder,
                      bool withDib = true, unsigned side = 1000) {
    return SquareWmf(side, [&](Bytes& w) {
      Record(w, 0x02FC, {0, 0x0000, 0x00FF, 0});  // blue brush
      Record(w, 0x012D, {0});
      Record(w, 0x02FA, {5, 0, 0, 0, 0});  // null pen
      Record(w, 0x012D, {1});
      Record(w, 0x041B, {side, side / 2, 0, 0});  // the left half
      Record(w, 0x02FC, {0, 0x00FF, 0x0000, 0});  // red brush
      Record(w, 0x012D, {2});
      if (redUnder) Record(w, 0x041B, {side, side, 0, side / 2});
      if (withDib)
        for (unsigned word : DibWords()) head.push_back(word);
      Record(w, function, head);
    });
  };
  const auto rop = [](std::uint32_t code) {
    return std::vector<unsigned>{code & 0xFFFF, code >> 16};
  };
  const auto with = [](std::vector<unsigned> a, const std::vector<unsigned>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  // AlphaBlend of a bitmap into the right half, over green: bounds, destination, blend
  // function, source, its transform, colour, colour use, the bitmap's offsets and sizes,
  // the source's size; the bitmap after the 108 bytes of the record.
  const auto blend = [](std::uint32_t function, const std::vector<unsigned>& dib) {
    return EmfOf([&](const EmfRecord& record) {
      record(39, {1, 0, 0xFF0000, 0});  // blue brush
      record(37, {1});
      record(37, {0x80000008});
      record(43, {0, 0, 48, 48});
      record(39, {2, 0, 0x00FF00, 0});
      record(37, {2});
      record(43, {48, 0, 96, 48});
      std::vector<std::uint32_t> values{0, 0, 0, 0, 48, 0, 48,  48, function, 0,  0, 0, 0,
                                        0, 0, 0, 0, 0,  0, 108, 40, 148,      16, 2, 2};
      for (std::size_t i = 0; i < dib.size(); i += 2) values.push_back(dib[i] | dib[i + 1] << 16);
      record(114, values);
      record(14, {0, 0, 20});
    });
  };
  // A mask record with the 2 x 2 bitmap, and the mask when asked for, after the values
  // of its fixed part, over black in the right half; Scaled draws a unit 24 pixels.
  const auto masked = [](std::uint32_t type, std::vector<std::uint32_t> values, bool withMask,
                         bool scaled) {
    return EmfOf([&](const EmfRecord& record) {
      record(39, {1, 0, 0xFF0000, 0});  // blue brush
      record(37, {1});
      record(37, {0x80000008});
      record(43, {0, 0, 48, 48});
      record(37, {0x80000004});  // the black brush
      record(43, {48, 0, 96, 48});
      if (scaled) {
        const float scale[6] = {24, 0, 0, 24, 0, 0};
        std::vector<std::uint32_t> xform(6);
        for (int i = 0; i < 6; ++i) std::memcpy(&xform[std::size_t(i)], &scale[i], 4);
        record(35, xform);
      }
      std::vector<unsigned> words = DibWords();
      if (withMask)
        for (unsigned word : MaskWords()) words.push_back(word);
      for (std::size_t i = 0; i < words.size(); i += 2)
        values.push_back(words[i] | words[i + 1] << 16);
      record(type, values);
      record(14, {0, 0, 20});
    });
  };
  // MaskBlt: bounds, destination, ROP4, source, its transform, colour, colour use, the
  // bitmap's offsets and sizes, the mask's origin, colour use, offsets and sizes.
  const auto maskBlt = [&](std::uint32_t rop4) {
    return masked(78, {0, 0, 0, 0, 2,   0,  2,   2,  rop4, 0, 0, 0,   0,  0,   0,
                       0, 0, 0, 0, 128, 40, 168, 16, 0,    0, 0, 184, 48, 232, 8},
                  true, true);
  };
  // PlgBlt: bounds, the corners at the source's top left, top right and bottom left,
  // source, its transform, colour, colour use, the bitmap, the mask's origin and bitmap.
  const auto plgBlt = [&](std::array<std::uint32_t, 6> corners, bool withMask) {
    std::vector<std::uint32_t> values{0, 0, 0, 0};
    values.insert(values.end(), corners.begin(), corners.end());
    for (std::uint32_t v :
         {0u, 0u, 2u, 2u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 140u, 40u, 180u, 16u, 0u, 0u, 0u})
      values.push_back(v);
    for (std::uint32_t v :
         withMask ? std::array<std::uint32_t, 4>{196, 48, 244, 8} : std::array<std::uint32_t, 4>{})
      values.push_back(v);
    return masked(79, values, withMask, false);
  };
  // The right half's quarters: top left, top right, bottom left, bottom right.
  using Quarters = std::array<std::uint32_t, 4>;
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool enhanced;
    Quarters shown;
    int tolerance = 0;  // of each channel
  } cases[] = {
      // StretchDIB: operation, colour use, source h w y x, destination h w y x
      {"stretch", wmf(0x0F43, with(rop(0xCC0020), {0, 2, 2, 0, 0, 1000, 500, 0, 500}), false),
       false, Quarters{kRed, kGreen, kBlue, kWhite}},
      {"mirrored",
       wmf(0x0F43, with(rop(0xCC0020), {0, 2, 2, 0, 0, 1000, unsigned(-500), 0, 1000}), false),
       false, Quarters{kGreen, kRed, kWhite, kBlue}},
      // DIBStretchBlt: operation, source h w y x, destination h w y x
      {"and", wmf(0x0B41, with(rop(0x8800C6), {2, 2, 0, 0, 1000, 500, 0, 500}), true), false,
       Quarters{kRed, kBlack, kBlack, kRed}},
      {"or", wmf(0x0B41, with(rop(0xEE0086), {2, 2, 0, 0, 1000, 500, 0, 500}), true), false,
       Quarters{kRed, 0xFFFF00, 0xFF00FF, kWhite}},
      {"xor", wmf(0x0B41, with(rop(0x660046), {2, 2, 0, 0, 1000, 500, 0, 500}), true), false,
       Quarters{kBlack, 0xFFFF00, 0xFF00FF, 0x00FFFF}},
      // DIBBitBlt: operation, source y x, size h w, destination y x: a pixel a unit.
      {"bit", wmf(0x0940, with(rop(0xCC0020), {0, 0, 2, 2, 0, 1}), false, true, 2), false,
       Quarters{kRed, kRed, kBlue, kBlue}},
      // StretchBlt and BitBlt with an old device-dependent bitmap: type, width, height,
      // bytes a row, planes and bits a pixel, the rows from the top; a monochrome one in
      // the text colour (black) where clear and the background colour (white) where set
      {"device bitmap",
       wmf(0x0B23,
           with(rop(0xCC0020), {2, 2, 0, 0, 1000, 500, 0, 500, 0, 2, 2, 6, 1 | 24 << 8, 0x0000,
                                0x00FF, 0x00FF, 0x00FF, 0xFF00, 0xFFFF}),
           false, false),
       false, Quarters{kRed, kGreen, kBlue, kWhite}},
      {"monochrome device bitmap",
       wmf(0x0922, with(rop(0xCC0020), {0, 0, 2, 2, 0, 1, 0, 2, 2, 2, 1 | 1 << 8, 0x80, 0x40}),
           false, false, 2),
       false, Quarters{kWhite, kWhite, kBlack, kBlack}},
      // PatBlt with the brush, and the inverting and blackening operations without a source
      {"pattern", wmf(0x061D, with(rop(0xF00021), {1000, 500, 0, 500}), false, false), false,
       Quarters{kRed, kRed, kRed, kRed}},
      {"inverted", wmf(0x061D, with(rop(0x550009), {1000, 500, 0, 500}), true, false), false,
       Quarters{0x00FFFF, 0x00FFFF, 0x00FFFF, 0x00FFFF}},
      // SetDIBitsToDevice: colour use, scans, start, source y x, size h w, destination y x
      {"to device", wmf(0x0D33, {0, 2, 0, 0, 0, 2, 2, 0, 1}, false, true, 2), false,
       Quarters{kRed, kRed, kBlue, kBlue}},
      // StretchDIBits: bounds, destination, source, the bitmap's offsets and sizes, colour
      // use, operation, destination size; the bitmap after the 80 bytes of the record.
      {"enhanced", EmfOf([](const EmfRecord& record) {
         record(39, {1, 0, 0xFF0000, 0});  // blue brush
         record(37, {1});
         record(37, {0x80000008});
         record(43, {0, 0, 48, 48});
         std::vector<std::uint32_t> values{0, 0,  0,  0,   48, 0, 0,        0,  2,
                                           2, 80, 40, 120, 16, 0, 0xCC0020, 48, 48};
         const std::vector<unsigned> dib = DibWords();
         for (std::size_t i = 0; i < dib.size(); i += 2)
           values.push_back(dib[i] | dib[i + 1] << 16);
         record(81, values);
         record(14, {0, 0, 20});
       }),
       true, Quarters{kRed, kGreen, kBlue, kWhite}},
      // Half the bitmap over the green, then its own alpha (opaque red and blue, the
      // rest none or half, premultiplied), then that at half again.
      {"blended", blend(0x00800000, DibWords()), true,
       Quarters{0x807F00, kGreen, 0x007F80, 0x80FF80}, 2},
      {"own alpha", blend(0x01FF0000, DibWords({0xFFFF0000, 0, 0xFF0000FF, 0x80800000}, 32)), true,
       Quarters{kRed, kGreen, kBlue, 0x807F00}, 2},
      {"own alpha halved", blend(0x01800000, DibWords({0xFFFF0000, 0, 0xFF0000FF, 0x80800000}, 32)),
       true, Quarters{0x807F00, kGreen, 0x007F80, 0x40BF00}, 2},
      // The source where the mask is set, the picture elsewhere, and the other way round
      {"masked", maskBlt(0xAACC0020), true, Quarters{kRed, kBlack, kBlack, kWhite}},
      {"masked out", maskBlt(0xCCAA0029), true, Quarters{kBlack, kGreen, kBlue, kBlack}},
      // A parallelogram mirrored, then turned over its diagonal, then with the mask
      {"parallelogram mirrored", plgBlt({96, 0, 48, 0, 96, 48}, false), true,
       Quarters{kGreen, kRed, kWhite, kBlue}},
      {"parallelogram turned", plgBlt({48, 0, 48, 48, 96, 0}, false), true,
       Quarters{kRed, kBlue, kGreen, kWhite}},
      {"parallelogram masked", plgBlt({48, 0, 96, 0, 48, 48}, true), true,
       Quarters{kRed, kBlack, kBlack, kWhite}},
  };
  const auto near = [](std::uint32_t shown, std::uint32_t wanted, int tolerance) {
    for (int shift : {0, 8, 16})
      if (std::abs(int(shown >> shift & 255) - int(wanted >> shift & 255)) > tolerance)
        return false;
    return true;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap target;
    DrawOnWhite(TMetafile(c.bytes, c.enhanced), target, 100, 100);
    EXPECT_EQ(PixelAt(target, 25, 50), kBlue) << "the rectangle beside";
    const int at[4][2] = {{62, 25}, {87, 25}, {62, 75}, {87, 75}};
    for (std::size_t i = 0; i < 4; ++i)
      EXPECT_PRED3(near, PixelAt(target, at[i][0], at[i][1]), c.shown[i], c.tolerance) << i;
  }
}

// The colour nearest to Rgb of those the fixtures draw with.
std::uint32_t NearestFixtureColour(std::uint32_t rgb) {
  const std::uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
  const auto distance = [&](std::uint32_t c) {
    int d = 0;
    for (int shift : {0, 8, 16}) d += std::abs(int(rgb >> shift & 255) - int(c >> shift & 255));
    return d;
  };
  return *std::min_element(
      std::begin(colours), std::end(colours),
      [&](std::uint32_t a, std::uint32_t b) { return distance(a) < distance(b); });
}

// LibreOffice as the peer: each picture in an RTF document, an inch from the page's
// corner and an inch wide, converted to PDF and rendered by pdftoppm at 96 dpi. On a grid
// of points between the fixtures' edges it shows the colours we draw: clipped by
// rectangles and by a clip restored with the drawing state, and a bitmap beside a
// rectangle. (LibreOffice 7 passes over a Windows metafile's region objects, and draws an
// excluded rectangle's frame askew: those are checked against the format above.)
TEST(MetafilePeers, ClipsAndBitmapsDrawAsLibreOfficeDrawsThem) {
  if (!ProgramAvailable("soffice") || !ProgramAvailable("pdftoppm"))
    GTEST_SKIP() << "LibreOffice Writer and poppler-utils are not installed";
  std::vector<unsigned> stretch{0x0020, 0x00CC, 0, 2, 2, 0, 0, 1000, 500, 0, 500};
  for (unsigned word : DibWords()) stretch.push_back(word);
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool enhanced;
  } fixtures[] = {
      {"intersect", ClippedRedSquare([](Bytes& w) {
         Record(w, 0x0416, {500, 500, 0, 0});
       }),
       false},
      {"restored", ClippedRedSquare([](Bytes& w) {
         Record(w, 0x001E, {});
         Record(w, 0x0416, {1000, 500, 0, 0});
         Record(w, 0x0127, {unsigned(-1) & 0xFFFF});
         Record(w, 0x0416, {500, 1000, 0, 0});
       }),
       false},
      {"bitmap",
       SquareWmf(1000,
                 [&](Bytes& w) {
                   Record(w, 0x02FC, {0, 0x0000, 0x00FF, 0});
                   Record(w, 0x012D, {0});
                   Record(w, 0x02FA, {5, 0, 0, 0, 0});
                   Record(w, 0x012D, {1});
                   Record(w, 0x041B, {1000, 500, 0, 0});
                   Record(w, 0x0F43, stretch);
                 }),
       false},
      {"enhanced", ClippedRedEmf([](const EmfRecord& r) {
         r(30, {0, 0, 48, 24});
       }),
       true},
  };
  // The fixtures as other readers need them: LibreOffice takes the sizes in the headers
  // at their word and a Windows metafile's units as its own mapping mode says, and RTF
  // holds one without its placeable header.
  const auto forPeer = [](std::vector<std::uint8_t> bytes, bool enhanced) {
    const auto put32 = [&](std::size_t at, std::size_t value) {
      for (int i = 0; i < 4; ++i) bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    };
    if (enhanced) {
      std::size_t records = 0;
      for (std::size_t at = 0; at + 8 <= bytes.size(); ++records)
        at += bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16;
      put32(48, bytes.size());
      put32(52, records);
      return bytes;
    }
    bytes.erase(bytes.begin(), bytes.begin() + 22);
    const std::vector<std::uint8_t> mapMode{4, 0, 0, 0, 0x03, 0x01, 8, 0};  // anisotropic
    bytes.insert(bytes.begin() + 18, mapMode.begin(), mapMode.end());
    put32(6, bytes.size() / 2);
    return bytes;
  };
  std::vector<std::string> documents;
  for (const auto& f : fixtures) {
    std::string hex;
    for (std::uint8_t byte : forPeer(f.bytes, f.enhanced)) {
      static const char kDigits[] = "0123456789abcdef";
      hex += kDigits[byte >> 4];
      hex += kDigits[byte & 15];
    }
    documents.push_back(WriteScratchFile(
        std::string("metafile_peer/") + f.name + ".rtf",
        std::string("{\\rtf1\\ansi\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440"
                    "\\margb1440 {\\pict") +
            (f.enhanced ? "\\emfblip\\picwgoal1440\\pichgoal720 "
                        : "\\wmetafile8\\picw2540\\pich2540\\picwgoal1440\\pichgoal1440 ") +
            hex + "}\\par}"));
  }
  std::string log;
  const std::vector<std::string> pdfs = OfficeConvertAll(documents, "pdf", "pdf", "", &log);
  for (std::size_t i = 0; i < std::size(fixtures); ++i) {
    const auto& f = fixtures[i];
    SCOPED_TRACE(f.name);
    ASSERT_FALSE(pdfs[i].empty()) << log;
    const std::string pdf =
        WriteScratchFile(std::string("metafile_peer/") + f.name + ".pdf", pdfs[i]);
    const std::string page = ScratchFolder() + "/metafile_peer/" + f.name;
    RunAndCapture("pdftoppm -f 1 -l 1 -r 96 -png -singlefile '" + pdf + "' '" + page + "'");
    std::ifstream in(page + ".png", std::ios::binary);
    TBitmap theirs;
    ASSERT_TRUE(LoadBitmapFromImageBytes(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), theirs));
    theirs.SetPixelFormat(pf32bit);
    const int width = 96, height = f.enhanced ? 48 : 96;
    TBitmap ours;
    DrawOnWhite(TMetafile(f.bytes, f.enhanced), ours, width, height);
    for (int i8 : {1, 3, 5, 7})
      for (int j8 : {1, 3, 5, 7}) {
        const int x = width * i8 / 8, y = height * j8 / 8;
        EXPECT_EQ(NearestFixtureColour(PixelAt(ours, x, y)),
                  NearestFixtureColour(PixelAt(theirs, 96 + x, 96 + y)))
            << x << ", " << y;
      }
  }
}

// 1,000 lines with a pen as wide as the picture: far more than one paint may cost, so
// the window keeps the picture as drawn, at its pixels, drawn on a thread of its own.
std::vector<std::uint8_t> CostlyLines(unsigned seed) {
  return SquareWmf(1000, [&](Bytes& w) {
    Record(w, 0x02FA, {0, 1000, 0, 0x00FF, 0});
    Record(w, 0x012D, {0});
    for (unsigned i = 0; i < 1000; ++i)
      Record(w, 0x0325,
             {2, (i + seed) * 379 % 1000, i * 613 % 1000, i * 211 % 1000, (i + seed) * 827 % 1000});
  });
}

// Whatever the window does while its picture's rendering is drawn (resized, repainted,
// given another picture, the picture freed), once the renderings it started are done and
// the paints they asked for have run, the window shows the picture as playing it shows.
TEST(Metafile, PicturesKeptAsDrawnFollowTheirWindow) {
  std::mt19937 random(11);
  TForm form(nullptr);
  form.SetBounds(0, 0, 340, 260);
  auto* image = NewControl<TImage>(&form, &form, "imgPicture", 0, 0, 300, 200);
  image->SetStretch(true);
  std::vector<std::uint8_t> bytes = CostlyLines(0);
  image->Picture().SetGraphic(std::make_unique<TMetafile>(bytes, false).get());
  form.Show();
  for (int step = 0; step < 12; ++step) {
    switch (random() % 4) {
      case 0:
        image->SetBounds(0, 0, 200 + int(random() % 3) * 50, 150 + int(random() % 3) * 50);
        break;
      case 1:
        bytes = CostlyLines(unsigned(random() % 3));
        image->Picture().SetGraphic(std::make_unique<TMetafile>(bytes, false).get());
        break;
      case 2:
        form.Repaint();
        break;
      default:
        break;
    }
    Application->ProcessMessages();
  }
  // The renderings end, and ask for the paints that show them.
  form.Repaint();
  WaitForMetafileRenderings();
  Application->ProcessMessages();
  const int width = image->Width(), height = image->Height();
  TBitmap shown;
  shown.SetSize(width, height);
  shown.Canvas().Brush().SetColor(clWhite);
  shown.Canvas().FillRect(TRect{0, 0, width, height});
  PaintTo(*image, shown.Canvas(), 0, 0);
  TBitmap played;
  DrawOnWhite(TMetafile(bytes, false), played, width, height);
  int apart = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      apart +=
          NearestFixtureColour(PixelAt(shown, x, y)) != NearestFixtureColour(PixelAt(played, x, y));
  EXPECT_LE(apart, width * height / 200);
}

// Nine windows each showing a picture kept as drawn (forty fills of its whole area in two
// colours by turns), together past what kept renderings may hold: each picture is drawn
// once, and windows that only paint again, as idle windows do, draw none again. Before,
// each paint released the rendering of a window painted before it, drawn anew at that
// window's next paint, for as long as the windows stayed open.
TEST(Metafile, IdleWindowsPastTheKeptBoundDrawTheirPicturesOnce) {
  const std::vector<std::uint8_t> fills = SquareWmf(1000, [](Bytes& w) {
    Record(w, 0x02FA, {5, 0, 0, 0, 0});  // null pen
    Record(w, 0x012D, {0});
    Record(w, 0x02FC, {0, 0x00FF, 0x0000, 0});  // red
    Record(w, 0x02FC, {0, 0xFF00, 0x0000, 0});  // green
    for (unsigned i = 0; i < 40; ++i) {
      Record(w, 0x012D, {1 + i % 2});
      Record(w, 0x041B, {1000, 1000, 0, 0});
    }
  });
  constexpr int kWindows = 9, kSide = 2800;  // 30 MB a rendering
  ASSERT_GT(std::int64_t(kSide) * kSide * 4 * kWindows, std::int64_t(256) << 20);
  std::vector<std::unique_ptr<TForm>> forms;
  for (int i = 0; i < kWindows; ++i) {
    forms.push_back(std::make_unique<TForm>(nullptr));
    forms.back()->SetBounds(0, 0, kSide + 40, kSide + 40);
    auto* image = NewControl<TImage>(forms.back().get(), forms.back().get(), "imgPicture", 0, 0,
                                     kSide, kSide);
    image->SetStretch(true);
    image->Picture().SetGraphic(std::make_unique<TMetafile>(fills, false).get());
    forms.back()->Show();
  }
  const auto idle = [&] {
    for (auto& form : forms) form->Repaint();
    WaitForMetafileRenderings();
    Application->ProcessMessages();
  };
  idle();
  idle();
  const std::uint64_t drawn = MetafileRenderingsStarted();
  ASSERT_GE(drawn, std::uint64_t(kWindows));  // the pictures are kept as drawn
  for (int round = 0; round < 3; ++round) idle();
  EXPECT_EQ(MetafileRenderingsStarted(), drawn);
}

// The transparent bitmap of old drawings: a mask ANDed (white where the paper shows) and
// then the picture ORed (black there). Over a yellow page the page shows through, alone
// and with 2,000 costly lines beside it (a picture too costly to play at every paint,
// which off the screen is played at each draw all the same, as only there it sees what
// lies under it).
TEST(Metafile, MaskedBitmapsLetThePageShowThrough) {
  for (const bool costly : {false, true}) {
    SCOPED_TRACE(costly);
    const TMetafile picture(
        SquareWmf(1000,
                  [&](Bytes& w) {
                    // DIBStretchBlt into the right half: operation, source, destination, bitmap
                    const auto blit = [&](std::uint32_t rop, std::array<std::uint32_t, 4> pixels) {
                      std::vector<unsigned> words{rop & 0xFFFF, rop >> 16, 2, 2,  0, 0,
                                                  1000,         500,       0, 500};
                      for (unsigned word : DibWords(pixels)) words.push_back(word);
                      Record(w, 0x0B41, words);
                    };
                    blit(0x8800C6, {0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000});
                    blit(0xEE0086, {0xFF0000, 0x000000, 0x000000, 0x0000FF});
                    if (!costly) return;
                    CostlyRedLinesInTheLeftHalf(w, 1000);
                  }),
        false);
    TBitmap target;
    target.SetSize(100, 100);
    // Drawn twice at a size: the second draw sees the page just as the first.
    for (int draw = 0; draw < 2; ++draw) {
      target.Canvas().Brush().SetColor(clYellow);
      target.Canvas().FillRect(TRect{0, 0, 100, 100});
      picture.Draw(target.Canvas(), TRect{0, 0, 100, 100});
    }
    EXPECT_EQ(PixelAt(target, 62, 25), 0xFF0000u);
    EXPECT_EQ(PixelAt(target, 87, 25), 0xFFFF00u);
    EXPECT_EQ(PixelAt(target, 62, 75), 0xFFFF00u);
    EXPECT_EQ(PixelAt(target, 87, 75), 0x0000FFu);
  }
}

// Bitmaps cost the pixels their headers claim, before they are decoded: two run-length
// bitmaps that each claim 4096 x 4096 (one colour, runs that set every pixel), stretched
// over the two halves. The first spends the picture's budget and is decoded once for all
// draws; the second is left out. Played directly and kept as drawn (costly red lines in
// the left half beside them) the picture draws alike. A bitmap whose runs claim far more
// than their bytes set (two bytes, the end of the bitmap) is left out too, taking nothing:
// eight such records took 1.7 s to draw into 64 x 48 pixels.
TEST(Metafile, BitmapsPastThePicturesPixelsAreLeftOut) {
  const auto runLength = [](std::uint32_t colour, bool covering) {
    Bytes dib;
    // The size of the runs: 0, all there are.
    dib.U32(40).U32(4096).U32(4096).U16(1).U16(8).U32(1).U32(covering ? 0 : 2);
    dib.U32(0).U32(0).U32(1).U32(0);
    dib.Raw({std::uint8_t(colour), std::uint8_t(colour >> 8), std::uint8_t(colour >> 16), 0});
    for (int y = 0; covering && y < 4096; ++y) {
      for (int x = 0; x < 4096; x += 255) dib.Raw({std::uint8_t(std::min(255, 4096 - x)), 0});
      dib.Raw({0, 0});  // the end of the row
    }
    dib.Raw({0, 1});  // the end of the bitmap
    return WordsOf(dib);
  };
  for (const int form : {0, 1, 2}) {
    SCOPED_TRACE(form);
    const bool costly = form == 1, claiming = form == 2;
    const TMetafile picture(SquareWmf(1000,
                                      [&](Bytes& w) {
                                        // DIBStretchBlt: operation, source, destination, bitmap
                                        const auto blit = [&](std::uint32_t colour, unsigned x) {
                                          std::vector<unsigned> words{
                                              0x0020, 0x00CC, 4096, 4096, 0, 0, 1000, 500, 0, x};
                                          for (unsigned word : runLength(colour, !claiming))
                                            words.push_back(word);
                                          Record(w, 0x0B41, words);
                                        };
                                        blit(0xFF0000, 0);
                                        blit(0x00FF00, 500);
                                        if (!costly) return;
                                        CostlyRedLinesInTheLeftHalf(w, 500);
                                      }),
                            false);
    TBitmap target;
    for (int draw = 0; draw < 3; ++draw) {
      SCOPED_TRACE(draw);
      DrawOnWhite(picture, target, 100, 100);
      EXPECT_EQ(PixelAt(target, 25, 50), claiming ? 0xFFFFFFu : 0xFF0000u);
      EXPECT_EQ(PixelAt(target, 75, 50), 0xFFFFFFu);
    }
    EXPECT_TRUE(picture.BitmapClaim().LeftOut);
    EXPECT_EQ(picture.BitmapClaim().Kept, claiming ? 0 : 4096 * 4096);
  }
}

// Fonts of 300 heights, bold and plain in turn, each selected for a line of 32 letters in
// white and freed: they show nothing on white but cost more than a paint may, so a
// picture that starts with them is kept as drawn. More of them, and more outlines of
// their large letters, than a play keeps: the first are let go as the last come.
void CostlyFontChanges(Bytes& w) {
  Record(w, 0x0209, {0xFFFF, 0x00FF});  // text colour white
  Record(w, 0x0102, {1});               // transparent background
  const std::vector<unsigned> letters = Words("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef");
  for (unsigned i = 0; i < 300; ++i) {
    std::vector<unsigned> font(9 + 16, 0);
    font[0] = unsigned(-int(8 + i)) & 0xFFFF;
    font[4] = i % 2 ? 700 : 400;
    Record(w, 0x02FB, font);
    Record(w, 0x012D, {0});
    std::vector<unsigned> text{32};
    text.insert(text.end(), letters.begin(), letters.end());
    text.insert(text.end(), {0, 0});  // y, x
    Record(w, 0x0521, text);
    Record(w, 0x01F0, {0});
  }
  Record(w, 0x0209, {0, 0});  // text colour black
}

// The largest difference of a colour channel between two pictures' pixels.
int LargestDifference(TBitmap& drawn, TBitmap& expected) {
  int largest = 0;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x) {
      const std::uint32_t a = PixelAt(drawn, x, y), b = PixelAt(expected, x, y);
      for (int shift : {0, 8, 16})
        largest = std::max(largest, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    }
  return largest;
}

// What a picture shows is what playing its records shows, however it is drawn: played,
// or kept as drawn because it costs more than a paint may (the font changes before it).
// Smoothed lines under a scale that differs across and down are filled in bands of rows,
// and must match Qt's own stroke, each drawn twice (a smoothed edge darkens); text in fonts taken
// turn about from those kept must match each line drawn alone.
TEST(Metafile, KeptAndBandedDrawingsShowWhatPlayingShows) {
  constexpr int kWidth = 240, kHeight = 480;
  QImage stroked(kWidth, kHeight, QImage::Format_RGB32);
  stroked.fill(Qt::white);
  {
    QPainter painter(&stroked);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(QTransform::fromScale(kWidth / 1000.0, kHeight / 1000.0));
    QPen pen(QColor(255, 0, 0), 10);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    for (unsigned i = 0; i < 12; ++i) {
      QPainterPath line(QPointF(i * 379 % 1000, i * 613 % 1000));
      line.lineTo(QPointF(i * 211 % 1000, i * 827 % 1000));
      for (int twice = 0; twice < 2; ++twice) painter.drawPath(line);
    }
  }
  TBitmap lines;
  lines.SetSize(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    std::memcpy(lines.ScanLine(y), stroked.constScanLine(y), std::size_t(kWidth) * 4);
  const auto drawLines = [](Bytes& w) {
    Record(w, 0x02FA, {0, 10, 0, 0x00FF, 0});
    Record(w, 0x012D, {0});
    for (unsigned i = 0; i < 24; ++i)
      Record(w, 0x0325,
             {2, i / 2 * 379 % 1000, i / 2 * 613 % 1000, i / 2 * 211 % 1000, i / 2 * 827 % 1000});
  };
  // Fonts of a character and a cell height alike, and one smaller, in turn.
  const int heights[] = {-40, 40, -24, -40, 40, -24};
  const auto drawText = [&](Bytes& w, int line) {
    std::vector<unsigned> font(9, 0);
    font[0] = unsigned(heights[line]) & 0xFFFF;
    font[4] = 400;
    const std::vector<unsigned> face = Words(FaceField());
    font.insert(font.end(), face.begin(), face.end());
    Record(w, 0x02FB, font);
    Record(w, 0x012D, {0});
    Record(w, 0x0102, {1});  // transparent background
    Record(w, 0x0521, {2, 'H' | 'g' << 8, unsigned(20 + 160 * line), 100});  // count, text, y, x
    Record(w, 0x01F0, {0});
  };
  TBitmap alone;
  alone.SetSize(kWidth, kHeight);
  alone.Canvas().Brush().SetColor(clWhite);
  alone.Canvas().FillRect(TRect{0, 0, kWidth, kHeight});
  for (int line = 0; line < 6; ++line)
    TMetafile(SquareWmf(1000, [&](Bytes& w) { drawText(w, line); }), false)
        .Draw(alone.Canvas(), TRect{0, 0, kWidth, kHeight});
  for (const bool kept : {false, true}) {
    SCOPED_TRACE(kept);
    const auto costly = [&](Bytes& w) {
      if (kept) CostlyFontChanges(w);
    };
    TBitmap target;
    DrawOnWhite(TMetafile(SquareWmf(1000,
                                    [&](Bytes& w) {
                                      costly(w);
                                      drawLines(w);
                                    }),
                          false),
                target, kWidth, kHeight);
    EXPECT_LE(LargestDifference(target, lines), 8);  // a band's rounding, twice over
    DrawOnWhite(TMetafile(SquareWmf(1000,
                                    [&](Bytes& w) {
                                      costly(w);
                                      for (int line = 0; line < 6; ++line) drawText(w, line);
                                    }),
                          false),
                target, kWidth, kHeight);
    EXPECT_LE(LargestDifference(target, alone), 4);
  }
}

// Off the screen a picture whose draw costs more than a draw may spend at the device's
// pixels is drawn at fewer, once, and stretched: 3,000 fills of the whole picture in white
// before a black left third cost that, and show what playing shows but along the edge,
// the second draw just as the first. A magnified ellipse whose edges cost too much to
// smooth costs little unsmoothed, as it is drawn: it stays at the device's pixels, sharp;
// and so does one polyline of 30,000 points zig-zagging across the picture with a pen of 3
// units, drawn a segment or two at a time.
TEST(Metafile, CostlyDrawsOffScreenAreDrawnOnceAtFewerPixels) {
  constexpr int kSide = 1000, kEdge = 333;
  TBitmap played;
  played.SetSize(kSide, kSide);
  played.Canvas().Brush().SetColor(clWhite);
  played.Canvas().FillRect(TRect{0, 0, kSide, kSide});
  played.Canvas().Brush().SetColor(clBlack);
  played.Canvas().FillRect(TRect{0, 0, kEdge, kSide});
  // The black third filled, or made by inverting what lies under it (the white fills),
  // which a cheap play draws exactly only played over it.
  for (const bool readsBackdrop : {false, true}) {
    SCOPED_TRACE(readsBackdrop ? "reads what lies under it" : "plain");
    const TMetafile fills(SquareWmf(1000,
                                    [&](Bytes& w) {
                                      Record(w, 0x02FA, {5, 0, 0, 0, 0});  // null pen, slot 0
                                      Record(w, 0x012D, {0});
                                      Record(w, 0x02FC, {0, 0xFFFF, 0x00FF, 0});  // white, 1
                                      Record(w, 0x012D, {1});
                                      for (int i = 0; i < 3000; ++i)
                                        Record(w, 0x041B, {1000, 1000, 0, 0});
                                      Record(w, 0x02FC, {0, 0, 0, 0});  // black, 2
                                      Record(w, 0x012D, {2});
                                      if (readsBackdrop)  // PatBlt inverting the third
                                        Record(w, 0x061D, {0x0009, 0x0055, 1000, kEdge, 0, 0});
                                      else
                                        Record(w, 0x041B, {1000, kEdge, 0, 0});
                                    }),
                          false);
    TBitmap first, second;
    DrawOnWhite(fills, first, kSide, kSide);
    DrawOnWhite(fills, second, kSide, kSide);
    EXPECT_EQ(LargestDifference(first, second), 0);
    int blurred = 0, largest = 0;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const int drawn = int(PixelAt(first, x, y) & 0xFF),
                  wanted = int(PixelAt(played, x, y) & 0xFF);
        if (std::abs(x - kEdge) > 3) largest = std::max(largest, std::abs(drawn - wanted));
        if (drawn != 0 && drawn != 0xFF) ++blurred;
      }
    EXPECT_LE(largest, 4);
    EXPECT_GT(blurred, 0);
  }

  // The window is 4 units a side; the ellipse's left end lies in its middle.
  const TMetafile ellipse(SquareWmf(4,
                                    [](Bytes& w) {
                                      Record(w, 0x02FA, {5, 0, 0, 0, 0});
                                      Record(w, 0x012D, {0});
                                      Record(w, 0x02FC, {0, 0, 0, 0});
                                      Record(w, 0x012D, {1});
                                      Record(w, 0x0418, {3002, 6002, unsigned(-2998) & 0xFFFF, 2});
                                    }),
                          false);
  TBitmap sharp;
  DrawOnWhite(ellipse, sharp, kSide, kSide);
  EXPECT_EQ(PixelAt(sharp, 490, 500), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(sharp, 510, 500), 0x000000u);

  // Zig-zags of a pen 3 units (3 pixels) wide, too long to smooth: drawn a segment or two
  // at a time, they show Qt's own unsmoothed stroke of the whole line, joined round.
  for (const unsigned count : {300u, 30000u}) {
    SCOPED_TRACE(count);
    QPainterPath line(QPointF(50, 0));
    for (unsigned i = 1; i < count; ++i) line.lineTo(i % 2 ? 950 : 50, i * 379 % 1000);
    QImage stroked(kSide, kSide, QImage::Format_RGB32);
    stroked.fill(Qt::white);
    {
      QPainter painter(&stroked);
      QPen pen(QColor(255, 0, 0), 3);
      pen.setJoinStyle(Qt::RoundJoin);
      painter.setPen(pen);
      painter.drawPath(line);
    }
    const TMetafile zigZag(
        SquareWmf(1000,
                  [&](Bytes& w) {
                    Record(w, 0x02FA, {0, 3, 0, 0x00FF, 0});  // red, 3 units
                    Record(w, 0x012D, {0});
                    std::vector<unsigned> points{count};
                    for (unsigned i = 0; i < count; ++i)
                      points.insert(points.end(), {i % 2 ? 950u : 50u, i * 379 % 1000});
                    Record(w, 0x0325, points);
                  }),
        false);
    TBitmap first, second;
    DrawOnWhite(zigZag, first, kSide, kSide);
    DrawOnWhite(zigZag, second, kSide, kSide);
    EXPECT_EQ(LargestDifference(first, second), 0);
    int differing = 0, red = 0;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        red += stroked.pixel(x, y) != qRgb(255, 255, 255);
        differing += (PixelAt(first, x, y) | 0xFF000000u) != stroked.pixel(x, y);
      }
    EXPECT_LE(differing, red / 1000) << red;
  }
}

// The raster operations of the bitmap records, with a bitmap or with the brush, each in a
// column of its own over the whole height of a picture whose lower half Fills fills blue:
// above, the operation combines with the page, below with the blue. The last two columns
// are rectangles filled under the pens' mixes (SetROP2) XOR (R2_XORPEN) and NOT (R2_NOT),
// which combine as the operations of the brush given beside them do.
constexpr std::uint32_t kColumnRops[] = {0xCC0020, 0xEE0086, 0x8800C6, 0x660046, 0x440328, 0x330008,
                                         0x1100A6, 0xBB0226, 0xF00021, 0x5A0049, 0x550009, 0x000042,
                                         0xFF0062, 0xAA0029, 0x5A0049, 0x550009};
constexpr unsigned kColumnMixes[std::size(kColumnRops)] = {0, 0, 0, 0, 0, 0, 0, 0,
                                                           0, 0, 0, 0, 0, 0, 7, 6};
constexpr int kRopColumns = int(std::size(kColumnRops));
constexpr unsigned kRopColumnUnits = 100;
// The bitmap's pixels and the brush: each bit of a channel set in some and clear in others.
constexpr std::array<std::uint32_t, 4> kRopBitmap = {0x4080C0, 0xC04080, 0x80C040, 0x336699};
constexpr std::uint32_t kRopBrush = 0x4080C0;

// Whether the operation's results differ by the bitmap's bit (see RopResult).
bool WithSource(std::uint32_t rop) {
  const std::uint32_t results = rop >> 16 & 0xFF;
  return (results & 0xCC) >> 2 != (results & 0x33);
}

std::vector<std::uint8_t> RasterOpColumns(int fills) {
  const unsigned side = kRopColumnUnits * kRopColumns;
  return SquareWmf(side, [&](Bytes& w) {
    Record(w, 0x02FA, {5, 0, 0, 0, 0});  // null pen, slot 0
    Record(w, 0x012D, {0});
    Record(w, 0x02FC, {0, 0, 0x00FF, 0});  // blue, slot 1
    Record(w, 0x012D, {1});
    for (int i = 0; i < fills; ++i) Record(w, 0x041B, {side, side, side / 2, 0});
    Record(w, 0x02FC, {0, kRopBrush >> 16 | (kRopBrush >> 8 & 0xFF) << 8, kRopBrush & 0xFF, 0});
    Record(w, 0x012D, {2});
    std::vector<unsigned> dib = DibWords(kRopBitmap);
    for (int i = 0; i < kRopColumns; ++i) {
      const std::uint32_t rop = kColumnRops[i];
      const unsigned x = kRopColumnUnits * unsigned(i);
      if (kColumnMixes[i] != 0) {
        Record(w, 0x0104, {kColumnMixes[i]});                  // SetROP2
        Record(w, 0x041B, {side, x + kRopColumnUnits, 0, x});  // rectangle
        Record(w, 0x0104, {13});                               // the pen's own colour
      } else if (WithSource(rop)) {  // StretchDIB: operation, colour use, source, destination
        std::vector<unsigned> words{rop & 0xFFFF, rop >> 16,       0, 2, 2, 0, 0,
                                    side,         kRopColumnUnits, 0, x};
        words.insert(words.end(), dib.begin(), dib.end());
        Record(w, 0x0F43, words);
      } else {  // PatBlt: operation, height, width, y, x
        Record(w, 0x061D, {rop & 0xFFFF, rop >> 16, side, kRopColumnUnits, 0, x});
      }
    }
  });
}

// What the operation makes of a pixel under it (0xRRGGBB), the bitmap's and the brush's:
// bit by bit, the operation's number lists the results for each brush, bitmap and page bit.
std::uint32_t RopResult(std::uint32_t rop, std::uint32_t brush, std::uint32_t source,
                        std::uint32_t under) {
  std::uint32_t result = 0;
  for (int bit = 0; bit < 24; ++bit) {
    const unsigned index = (brush >> bit & 1) << 2 | (source >> bit & 1) << 1 | (under >> bit & 1);
    result |= (rop >> (16 + index) & 1) << bit;
  }
  return result;
}

// Copies of a picture laid edge to edge over a control, one at Copy.
class TTiledControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  const TGraphic* Picture = nullptr;
  TRect Copy;

 protected:
  void Paint() override {
    if (Picture) Canvas().TileDraw(TRect{0, 0, Width(), Height()}, Copy, *Picture);
  }
};

// Each raster operation combines a kept picture with what lies under it as playing does:
// with 2,000 fills the picture costs more than a paint and (at 1400 x 600 pixels) a draw
// may spend, so it is kept as drawn, which must show what playing it shows over any page
// (white, red, grey): at the window's first paint and once kept, over nothing, and drawn
// off the screen. Tiled (copies of 700 x 300 laid from a corner off the area), each copy
// shows what the picture drawn there once shows, on the screen and off it.
TEST(Metafile, KeptDrawingsCombineWithWhatLiesUnderThemAsPlayingDoes) {
  constexpr int kWidth = 1400, kHeight = 600;
  const TRect copy = Bounds(-175, -75, kWidth / 2, kHeight / 2);
  // The largest difference of a colour channel farther than Edge from the picture's, the
  // columns' and the bitmap's edges (a first look, drawn at as few as a sixteenth of the pixels a
  // side, is blurred along them, and so is a draw off the screen at fewer). Drawn tiled, each
  // pixel is held against the pixel of Played it shows, Played one copy drawn alone.
  const auto apart = [&](TBitmap& drawn, TBitmap& played, int edge = 4, bool tiled = false) {
    const double column = double(played.Width()) / kRopColumns;
    const auto within = [](int v, int side) { return (v % side + side) % side; };
    int largest = 0;
    for (int dy = 0; dy < drawn.Height(); ++dy)
      for (int dx = 0; dx < drawn.Width(); ++dx) {
        const int x = tiled ? within(dx - copy.Left, copy.Width()) : dx;
        const int y = tiled ? within(dy - copy.Top, copy.Height()) : dy;
        const double across = std::fmod(x + 0.5, column / 2);
        if (std::abs(y - played.Height() / 2) < edge || y < edge || played.Height() - y <= edge ||
            across < edge || column / 2 - across < edge)
          continue;
        const std::uint32_t a = PixelAt(drawn, dx, dy), b = PixelAt(played, x, y);
        for (int shift : {0, 8, 16})
          largest = std::max(largest, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
      }
    return largest;
  };
  const std::vector<std::uint8_t> cheap = RasterOpColumns(1), costly = RasterOpColumns(2000);
  for (const auto& [page, under] : {std::pair(clWhite, 0xFFFFFFu), std::pair(clRed, 0xFF0000u),
                                    std::pair(TColor(0x808080), 0x808080u)}) {
    SCOPED_TRACE(under);
    TForm form(nullptr);
    form.SetBounds(0, 0, kWidth + 40, kHeight + 40);
    form.SetColor(page);
    auto* image = NewControl<TImage>(&form, &form, "imgPicture", 0, 0, kWidth, kHeight);
    image->SetStretch(true);
    const auto shown = [&](TBitmap& on) {
      on.SetSize(kWidth, kHeight);
      PaintTo(form, on.Canvas(), 0, 0);
    };
    // The picture's control alone, painted over nothing (see-through pixels, which a kept
    // drawing cannot combine as playing does) and then over the page.
    const auto alone = [&](TBitmap& on) {
      on.SetSize(kWidth, kHeight);
      on.Canvas().Brush().SetColor(page);
      on.Canvas().FillRect(TRect{0, 0, kWidth, kHeight});
      PaintTo(*image, on.Canvas(), 0, 0);
    };
    image->Picture().SetGraphic(std::make_unique<TMetafile>(cheap, false).get());
    form.Show();
    Application->ProcessMessages();
    TBitmap played, first, kept, playedAlone, keptAlone;
    shown(played);
    alone(playedAlone);
    // The middle of each column's quarters, above over the page and below over the blue.
    const auto expectColumns = [&](TBitmap& drawn) {
      const double column = double(drawn.Width()) / kRopColumns;
      for (int i = 0; i < kRopColumns; ++i)
        for (int quarter = 0; quarter < 4; ++quarter) {
          const std::uint32_t rop = kColumnRops[i];
          const int x = int(column * (i + 0.25 + quarter % 2 * 0.5));
          const int y = drawn.Height() * (1 + quarter / 2 * 2) / 4;
          EXPECT_EQ(PixelAt(drawn, x, y),
                    RopResult(rop, kRopBrush, kRopBitmap[std::size_t(quarter)],
                              quarter < 2 ? under : 0x0000FFu))
              << std::hex << rop << " " << quarter;
        }
    };
    expectColumns(played);
    image->Picture().SetGraphic(std::make_unique<TMetafile>(costly, false).get());
    shown(first);
    EXPECT_LE(apart(first, played, 24), 8);
    form.Repaint();
    WaitForMetafileRenderings();
    Application->ProcessMessages();
    shown(kept);
    EXPECT_LE(apart(kept, played), 2);
    alone(keptAlone);
    EXPECT_LE(apart(keptAlone, playedAlone), 8);

    TBitmap playedOff, keptOff;
    for (auto [bytes, target] : {std::pair(&cheap, &playedOff), std::pair(&costly, &keptOff)}) {
      target->SetSize(kWidth, kHeight);
      target->Canvas().Brush().SetColor(page);
      target->Canvas().FillRect(TRect{0, 0, kWidth, kHeight});
      TMetafile(*bytes, false).Draw(target->Canvas(), TRect{0, 0, kWidth, kHeight});
    }
    expectColumns(playedOff);
    EXPECT_LE(apart(keptOff, playedOff, 8), 8);

    // One copy played alone over the page, and copies of the cheap and the costly picture.
    TBitmap one;
    one.SetSize(copy.Width(), copy.Height());
    one.Canvas().Brush().SetColor(page);
    one.Canvas().FillRect(TRect{0, 0, copy.Width(), copy.Height()});
    TMetafile(cheap, false).Draw(one.Canvas(), TRect{0, 0, copy.Width(), copy.Height()});
    image->SetVisible(false);
    auto* tiles = NewControl<TTiledControl>(&form, &form, "ctlTiles", 0, 0, kWidth, kHeight);
    tiles->Copy = copy;
    tiles->SetColor(page);
    for (const auto* bytes : {&cheap, &costly}) {
      SCOPED_TRACE(bytes == &cheap ? "tiled" : "tiled, costly");
      TMetafile picture(*bytes, false);
      picture.SetSize(copy.Width(), copy.Height());
      tiles->Picture = &picture;
      form.Repaint();
      WaitForMetafileRenderings();
      Application->ProcessMessages();
      TBitmap onScreen, offScreen;
      shown(onScreen);
      EXPECT_LE(apart(onScreen, one, 4, true), 2);
      offScreen.SetSize(kWidth, kHeight);
      offScreen.Canvas().Brush().SetColor(page);
      offScreen.Canvas().FillRect(TRect{0, 0, kWidth, kHeight});
      TMetafile(*bytes, false).DrawTiled(offScreen.Canvas(), TRect{0, 0, kWidth, kHeight}, copy);
      EXPECT_LE(apart(offScreen, one, 8, true), bytes == &cheap ? 2 : 8);
      tiles->Picture = nullptr;
    }
  }
}

// Letters too large for Qt's glyph images, each filled from an outline the play keeps:
// the same as Qt draws them, spaced by their own advances or laid out as a line, in fonts
// and colours taken in turn (letters met again in another font and colour, and in their
// own font after another). The edges may differ by the rounding of a 64th of a pixel.
// Letters of an ordinary size spaced by their own advances, drawn as one run of glyphs,
// show each letter as Qt draws it alone at its place.
TEST(Metafile, SpacedAndLargeLettersShowWhatQtDraws) {
  constexpr int kSide = 400;  // 1000 units at 0.4 pixels
  struct TLine {
    int Height;  // in units
    QRgb Colour;
    const char* Text;
    bool Spaced;   // by 126 units a letter
    unsigned Top;  // in units, from 100 units on the left
  };
  const TLine lines[] = {{-200, qRgb(0, 0, 0), "HgH", true, 20},
                         {-200, qRgb(255, 0, 0), "Hg", false, 260},
                         {-170, qRgb(0, 0, 255), "gHg", false, 500},
                         {-200, qRgb(0, 160, 0), "gH", false, 740},
                         {-40, qRgb(0, 0, 0), "Hg jW", true, 930}};
  QImage expected(kSide, kSide, QImage::Format_RGB32);
  expected.fill(Qt::white);
  {
    QPainter painter(&expected);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const TLine& line : lines) {
      QFont font("DejaVu Sans");
      font.setPixelSize(int(std::lround(-line.Height * 0.4)));
      painter.setFont(font);
      painter.setPen(QColor(line.Colour));
      const QPointF at(40, line.Top * 0.4 + QFontMetricsF(font).ascent());
      const QString text = QString::fromLatin1(line.Text);
      if (!line.Spaced) painter.drawText(at, text);
      for (int i = 0; line.Spaced && i < text.size(); ++i)
        painter.drawText(at + QPointF(i * 50.4, 0), QString(text[i]));
    }
  }
  TBitmap qtDrawn;
  qtDrawn.SetSize(kSide, kSide);
  for (int y = 0; y < kSide; ++y)
    std::memcpy(qtDrawn.ScanLine(y), expected.constScanLine(y), std::size_t(kSide) * 4);
  const TMetafile wmf(
      SquareWmf(1000,
                [&](Bytes& w) {
                  Record(w, 0x0102, {1});  // transparent background
                  for (const TLine& line : lines) {
                    std::vector<unsigned> font(9, 0);
                    font[0] = unsigned(line.Height) & 0xFFFF;
                    font[4] = 400;
                    const std::vector<unsigned> face = Words(FaceField());
                    font.insert(font.end(), face.begin(), face.end());
                    Record(w, 0x02FB, font);
                    Record(w, 0x012D, {0});
                    Record(w, 0x0209,
                           {unsigned(qRed(line.Colour) | qGreen(line.Colour) << 8),
                            unsigned(qBlue(line.Colour))});
                    const std::string_view text = line.Text;
                    std::vector<unsigned> words = Words(text);
                    if (line.Spaced) {
                      // ExtTextOut: y, x, count, options, the text, its advances
                      words.insert(words.begin(), {line.Top, 100, unsigned(text.size()), 0});
                      words.insert(words.end(), text.size(), 126);
                      Record(w, 0x0A32, words);
                    } else {
                      // TextOut: count, the text, y, x
                      words.insert(words.begin(), unsigned(text.size()));
                      words.insert(words.end(), {line.Top, 100});
                      Record(w, 0x0521, words);
                    }
                    Record(w, 0x01F0, {0});
                  }
                }),
      false);
  TBitmap target;
  DrawOnWhite(wmf, target, kSide, kSide);
  EXPECT_LE(LargestDifference(target, qtDrawn), 12);
}

// Damaged copies (bytes changed, records cut short) are drawn without a fault, stretched
// far beyond the target as well.
TEST(Metafile, DamagedMetafilesDrawWhatTheyCan) {
  std::mt19937 random(7);
  for (const auto& [original, enhanced] : {std::pair{PlaceableWmf(), false}, {Emf(), true}}) {
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> bytes = original;
      const int changes = 1 + int(random() % 8);
      for (int i = 0; i < changes; ++i) {
        const std::size_t at = random() % bytes.size();
        bytes[at] = random() % 3 == 0 ? 0xFF : std::uint8_t(random());
      }
      if (random() % 4 == 0) bytes.resize(random() % bytes.size());
      try {
        const TMetafile picture(bytes, enhanced);
        TBitmap target;
        DrawOnWhite(picture, target, 40, 20);
        picture.Draw(target.Canvas(), TRect{-30000, -30000, 30000, 30000});
      } catch (const EInvalidGraphic&) {
      }
    }
  }
}

}  // namespace

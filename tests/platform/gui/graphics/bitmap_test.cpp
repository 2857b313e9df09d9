// Bitmaps: pixel layouts, transparency and the BMP file format.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Blank(TBitmap& bitmap, int width, int height, TColor color) {
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush().SetColor(color);
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}

TMemoryStream StreamOf(const Bytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  stream.SetPosition(0);
  return stream;
}

Bytes BytesOf(const TMemoryStream& stream) {
  const auto* data = static_cast<const std::uint8_t*>(stream.Memory());
  return Bytes(data, data + stream.Size());
}

void Append16(Bytes& out, unsigned v) {
  out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
}
void Append32(Bytes& out, unsigned v) {
  Append16(out, v & 0xFFFF);
  Append16(out, v >> 16);
}

// A BMP file with a 40-byte info header; `extra` (colour table or masks) and `pixels`
// follow the headers in that order.
Bytes Bmp(int width, int height, int bits, unsigned compression, const Bytes& extra,
          const Bytes& pixels, unsigned colours = 0) {
  Bytes out{'B', 'M'};
  const unsigned offset = 14 + 40 + unsigned(extra.size());
  Append32(out, offset + unsigned(pixels.size()));  // file size
  Append32(out, 0);                                 // reserved
  Append32(out, offset);                            // offset of the pixels
  Append32(out, 40);                                // info header size
  Append32(out, unsigned(width));
  Append32(out, unsigned(height));  // negative: rows top down
  Append16(out, 1);                 // planes
  Append16(out, unsigned(bits));
  Append32(out, compression);
  Append32(out, unsigned(pixels.size()));
  Append32(out, 0);        // pixels per metre, x
  Append32(out, 0);        // pixels per metre, y
  Append32(out, colours);  // colours used
  Append32(out, 0);        // important colours
  out.insert(out.end(), extra.begin(), extra.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

TColor PixelOf(TBitmap& bitmap, int x, int y) {
  return bitmap.Canvas().Pixels(x, y);
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + name;
}

}  // namespace

TEST(Bitmap, SetSizeKeepsWhatStillFits) {
  TBitmap bitmap;
  EXPECT_TRUE(bitmap.Empty());
  Blank(bitmap, 2, 2, clRed);
  bitmap.SetSize(3, 1);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 1);
  EXPECT_EQ(PixelOf(bitmap, 1, 0), clRed);
  EXPECT_EQ(PixelOf(bitmap, 2, 0), clBlack);
  bitmap.SetHeight(0);
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetSize(-5, 4);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(Bitmap, ScanLinesFollowThePixelFormat) {
  TBitmap bitmap;
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  Blank(bitmap, 2, 2, RGB(1, 2, 3));
  const std::uint8_t* wide = bitmap.ScanLine(1);
  EXPECT_EQ(wide[4], 3);  // second pixel: blue, green, red, unused
  EXPECT_EQ(wide[5], 2);
  EXPECT_EQ(wide[6], 1);

  bitmap.SetPixelFormat(pf24bit);
  std::uint8_t* narrow = bitmap.ScanLine(1);
  EXPECT_EQ(narrow[3], 3);
  EXPECT_EQ(narrow[5], 1);
  narrow[3] = 0xFF;  // written straight into the pixels
  narrow[4] = 0x00;
  narrow[5] = 0x00;
  EXPECT_EQ(PixelOf(bitmap, 1, 1), clBlue);
  EXPECT_THROW(bitmap.ScanLine(2), EInvalidGraphic);
  EXPECT_THROW(bitmap.ScanLine(-1), EInvalidGraphic);
}

TEST(Bitmap, AssignCopiesPixelsThatThenGoTheirOwnWay) {
  TBitmap source;
  Blank(source, 2, 1, clRed);
  source.SetTransparentColor(clRed);
  source.SetTransparent(true);
  TBitmap copy;
  copy.Assign(source);
  EXPECT_EQ(copy.Width(), 2);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentMode(), tmFixed);
  copy.Canvas().SetPixels(0, 0, clBlue);
  EXPECT_EQ(PixelOf(source, 0, 0), clRed);
  source.ScanLine(0)[4] = 0xFF;
  EXPECT_EQ(PixelOf(copy, 1, 0), clRed);

  std::unique_ptr<TGraphic> clone = copy.Clone();
  EXPECT_EQ(clone->Width(), 2);
}

TEST(Bitmap, TransparentColourIsLeftOutWhenDrawn) {
  TBitmap sprite;
  Blank(sprite, 3, 3, clFuchsia);
  sprite.Canvas().SetPixels(1, 1, clBlack);
  sprite.Canvas().SetPixels(0, 0, clLime);
  TBitmap target;
  Blank(target, 3, 3, clWhite);

  // Automatic mode takes the bottom-left pixel's colour.
  EXPECT_EQ(sprite.TransparentColor(), clFuchsia);
  sprite.SetTransparent(true);
  target.Canvas().Draw(0, 0, sprite);
  EXPECT_EQ(PixelOf(target, 1, 1), clBlack);
  EXPECT_EQ(PixelOf(target, 0, 0), clLime);
  EXPECT_EQ(PixelOf(target, 2, 2), clWhite);

  // Drawing on the sprite afterwards is seen by the next draw.
  sprite.Canvas().SetPixels(2, 2, clRed);
  target.Canvas().Draw(0, 0, sprite);
  EXPECT_EQ(PixelOf(target, 2, 2), clRed);

  // A fixed colour replaces the automatic one.
  sprite.SetTransparentColor(clLime);
  Blank(target, 3, 3, clWhite);
  target.Canvas().Draw(0, 0, sprite);
  EXPECT_EQ(PixelOf(target, 0, 0), clWhite);
  EXPECT_EQ(PixelOf(target, 2, 1), clFuchsia);

  // Not transparent: everything is copied.
  sprite.SetTransparent(false);
  target.Canvas().Draw(0, 0, sprite);
  EXPECT_EQ(PixelOf(target, 0, 0), clLime);
}

// A picture packed for drawing draws, reads and takes drawing as it did unpacked.
TEST(Bitmap, CompactedPicturesLookTheSameAndUnpackWhenTouched) {
  // A label-like sprite: a fuchsia (clear) border, colours inside, one pixel in pf24bit.
  auto make = [](TPixelFormat format) {
    auto sprite = std::make_unique<TBitmap>();
    sprite->SetPixelFormat(format);
    Blank(*sprite, 6, 4, clFuchsia);
    sprite->Canvas().SetPixels(1, 1, clBlack);
    sprite->Canvas().SetPixels(2, 1, 0x123456);
    sprite->Canvas().SetPixels(3, 2, clLime);
    return sprite;
  };
  for (TPixelFormat format : {pf32bit, pf24bit}) {
    for (bool transparent : {true, false}) {
      auto plain = make(format);
      auto packed = make(format);
      plain->SetTransparent(transparent);
      packed->SetTransparent(transparent);
      packed->SetTransparentColor(clFuchsia);
      plain->SetTransparentColor(clFuchsia);
      packed->Compact();
      EXPECT_EQ(packed->Width(), 6);
      EXPECT_EQ(packed->Height(), 4);
      EXPECT_EQ(packed->TransparentColor(), clFuchsia);
      TBitmap a, b;
      Blank(a, 8, 6, clWhite);
      Blank(b, 8, 6, clWhite);
      a.Canvas().Draw(1, 1, *plain);
      b.Canvas().Draw(1, 1, *packed);
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
          ASSERT_EQ(PixelOf(b, x, y), PixelOf(a, x, y)) << x << "," << y << " " << transparent;
      // Read back: the bitmap's own pixels, the clear colour too.
      EXPECT_EQ(packed->Canvas().Pixels(2, 1), 0x123456);
      EXPECT_EQ(packed->Canvas().Pixels(0, 0), clFuchsia);
      EXPECT_EQ(packed->PixelFormat(), format);
      packed->Compact();
      const int bytes = format == pf24bit ? 3 : 4;
      for (int y = 0; y < 4; ++y) {
        const auto* p = packed->ScanLine(y);
        const auto* q = std::as_const(*plain).ScanLine(y);
        for (int x = 0; x < 6 * bytes; ++x) {
          if (bytes == 4 && x % 4 == 3) continue;  // the unused byte
          ASSERT_EQ(p[x], q[x]) << y << ":" << x;
        }
      }
      // Drawing on it after packing is kept and seen.
      packed->Compact();
      packed->Canvas().SetPixels(4, 2, clRed);
      b.Canvas().Draw(1, 1, *packed);
      EXPECT_EQ(PixelOf(b, 5, 3), clRed);
    }
  }
}

// Past 256 colours, or with pixels half clear, a picture stays as it is.
TEST(Bitmap, CompactKeepsPicturesOfManyColours) {
  TBitmap many;
  many.SetSize(32, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) many.Canvas().SetPixels(x, y, RGB(x * 8, y * 16, 7));
  many.Compact();
  EXPECT_EQ(many.Canvas().Pixels(31, 15), RGB(248, 240, 7));
  TBitmap target;
  Blank(target, 32, 16, clWhite);
  target.Canvas().Draw(0, 0, many);
  EXPECT_EQ(PixelOf(target, 17, 9), RGB(136, 144, 7));
}

TEST(Bitmap, StretchDrawScalesByRepeatingPixels) {
  TBitmap source;
  Blank(source, 2, 1, clRed);
  source.Canvas().SetPixels(1, 0, clBlue);
  TBitmap target;
  Blank(target, 6, 2, clWhite);
  target.Canvas().StretchDraw(Rect(0, 0, 4, 2), source);
  EXPECT_EQ(PixelOf(target, 1, 1), clRed);
  EXPECT_EQ(PixelOf(target, 2, 0), clBlue);
  EXPECT_EQ(PixelOf(target, 4, 0), clWhite);
}

TEST(Bitmap, BmpRoundTripKeepsEveryPixel) {
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(5, 3);  // 5 pixels: rows need padding at 24 bits
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) bitmap.Canvas().SetPixels(x, y, RGB(x * 50, y * 100, 7));
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    EXPECT_EQ(stream.Size(), format == pf24bit ? 14 + 40 + 3 * 16 : 14 + 40 + 3 * 20);
    stream.WriteBuffer("tail", 4);  // whatever follows the picture stays unread
    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size() - 4);
    EXPECT_EQ(loaded.PixelFormat(), format);
    ASSERT_EQ(loaded.Width(), 5);
    ASSERT_EQ(loaded.Height(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelOf(loaded, x, y), RGB(x * 50, y * 100, 7));
  }
}

TEST(Bitmap, BmpFileRoundTrip) {
  TBitmap bitmap;
  Blank(bitmap, 4, 4, clTeal);
  const std::string path = TempPath("velmora_bitmap_round_trip.bmp");
  bitmap.SaveToFile(path);
  TBitmap loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.Width(), 4);
  EXPECT_EQ(PixelOf(loaded, 3, 3), clTeal);
  std::remove(path.c_str());
  EXPECT_THROW(loaded.LoadFromFile(path), EFOpenError);
}

TEST(Bitmap, ReadsPaletteAndBitFieldLayouts) {
  struct Case {
    const char* name;
    Bytes file;
  };
  const Bytes palette{0x00, 0x00, 0xFF, 0,   // 0: red (blue, green, red, reserved)
                      0xFF, 0x00, 0x00, 0};  // 1: blue
  const Case cases[] = {
      // 2 x 2 at 1 bit: bottom row "10", top row "01", each row padded to 4 bytes.
      {"1 bit", Bmp(2, 2, 1, 0, palette, {0x80, 0, 0, 0, 0x40, 0, 0, 0}, 2)},
      // 4 bits: high nibble first.
      {"4 bits", Bmp(2, 2, 4, 0, palette, {0x10, 0, 0, 0, 0x01, 0, 0, 0}, 2)},
      {"8 bits", Bmp(2, 2, 8, 0, palette, {1, 0, 0, 0, 0, 1, 0, 0}, 2)},
      // 16 bits 5-5-5: red 0x7C00, blue 0x001F.
      {"16 bits", Bmp(2, 2, 16, 0, {}, {0x1F, 0x00, 0x00, 0x7C, 0x00, 0x7C, 0x1F, 0x00})},
      // 16 bits 5-6-5 through bit fields (red, green, blue masks after the header).
      {"16 bit fields", Bmp(2, 2, 16, 3, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0},
                            {0x1F, 0x00, 0x00, 0xF8, 0x00, 0xF8, 0x1F, 0x00})},
      {"24 bits", Bmp(2, 2, 24, 0, {},
                      {0xFF, 0, 0, 0, 0, 0xFF, 0, 0,     // bottom: blue, red
                       0, 0, 0xFF, 0xFF, 0, 0, 0, 0})},  // top: red, blue
      // Top-down rows (negative height): the first row in the file is the top one.
      {"top down",
       Bmp(2, -2, 24, 0, {}, {0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0})},
      // Run-length coded (bmp_runs_test has the escapes): a run of each index, line end,
      // the other way round, end of bitmap.
      {"RLE8", Bmp(2, 2, 8, 1, palette, {1, 1, 1, 0, 0, 0, 1, 0, 1, 1, 0, 1}, 2)},
      {"RLE4", Bmp(2, 2, 4, 2, palette, {2, 0x10, 0, 0, 2, 0x01, 0, 1}, 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream stream = StreamOf(c.file);
    TBitmap bitmap;
    ASSERT_NO_THROW(bitmap.LoadFromStream(stream));
    ASSERT_EQ(bitmap.Width(), 2);
    ASSERT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(PixelOf(bitmap, 0, 0), clRed);
    EXPECT_EQ(PixelOf(bitmap, 1, 0), clBlue);
    EXPECT_EQ(PixelOf(bitmap, 0, 1), clBlue);
    EXPECT_EQ(PixelOf(bitmap, 1, 1), clRed);
  }
  // An index beyond the colour table is black, as its unfilled entries are on Windows.
  TMemoryStream beyond = StreamOf(Bmp(2, 1, 8, 0, palette, {5, 1, 0, 0}, 2));
  TBitmap bitmap;
  bitmap.LoadFromStream(beyond);
  EXPECT_EQ(PixelOf(bitmap, 0, 0), clBlack);
  EXPECT_EQ(PixelOf(bitmap, 1, 0), clBlue);
}

TEST(Bitmap, EveryTruncatedBmpGivesACleanError) {
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  Blank(source, 3, 2, clNavy);
  TMemoryStream whole;
  source.SaveToStream(whole);
  const Bytes bytes = BytesOf(whole);
  for (size_t length = 0; length < bytes.size(); ++length) {
    TMemoryStream stream = StreamOf(Bytes(bytes.begin(), bytes.begin() + long(length)));
    TBitmap bitmap;
    Blank(bitmap, 1, 1, clRed);
    EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic) << "length " << length;
    EXPECT_EQ(bitmap.Width(), 1);  // a failed load leaves the picture alone
    EXPECT_EQ(PixelOf(bitmap, 0, 0), clRed);
  }
}

TEST(Bitmap, MalformedBmpHeadersAreRefused) {
  const Bytes pixels(16, 0);
  struct Case {
    const char* name;
    Bytes file;
  };
  Bytes notBmp = Bmp(2, 2, 24, 0, {}, pixels);
  notBmp[0] = 'P';
  Bytes hugeOffset = Bmp(2, 2, 24, 0, {}, pixels);
  hugeOffset[10] = 0xFF, hugeOffset[11] = 0xFF, hugeOffset[12] = 0xFF, hugeOffset[13] = 0x7F;
  Bytes oddHeader = Bmp(2, 2, 24, 0, {}, pixels);
  oddHeader[14] = 20;
  const Case cases[] = {
      {"signature", notBmp},
      {"pixel offset far beyond the file", hugeOffset},
      {"header size", oddHeader},
      {"RLE8 at 24 bits", Bmp(2, 2, 24, 1, {}, pixels)},
      {"2 bits per pixel", Bmp(2, 2, 2, 0, Bytes(16, 0), pixels)},
      {"zero width", Bmp(0, 2, 24, 0, {}, pixels)},
      {"vast", Bmp(100000, 100000, 24, 0, {}, pixels)},
      {"bit fields at 24 bits", Bmp(2, 2, 24, 3, Bytes(12, 0), pixels)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream stream = StreamOf(c.file);
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic);
  }
}

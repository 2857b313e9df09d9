// Colour reduction: fixed palettes (web, greys, monochrome, the 20 system colours, a
// halftone palette), an octree quantizer for optimised palettes, and ReduceColors,
// which maps a true-colour bitmap onto one of them with a chosen ditherer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gif/gif_palette.h"
#include "gif/gif_types.h"

class TBitmap;

// 216 colours, red outer, green middle, blue inner, each level n x 51.
TGIFPalette WebPalette();
TGIFPalette CreateGrayScalePalette();
TGIFPalette CreateGray4Palette();
TGIFPalette CreateMonochromePalette();
// The 20 static system colours: 10 for the first and 10 for the last palette entries.
TGIFPalette CreateWindows20Palette();
// 256 entries: the static colours at both ends, the web cube and greys between.
TGIFPalette CreateHalftonePalette();

// Reads a bitmap's pixels as red, green, blue whatever its layout.
class TDIBReader {
 public:
  explicit TDIBReader(const TBitmap& Bitmap);
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Pixel(int X, int Y, int& Red, int& Green, int& Blue) const;

 private:
  const TBitmap& bitmap_;
  int width_;
  int height_;
  int bytes_per_pixel_;
};

// Collects 8-bit palette indices and puts them into a bitmap as the palette's colours.
// "Invalid image dimensions" for a zero width or height.
class TDIBWriter {
 public:
  TDIBWriter(TBitmap& Bitmap, const TGIFPalette& Palette, int Width, int Height);
  std::uint8_t* ScanLine(int Row);
  // Fills the bitmap; called once all rows are written.
  void Finish();

 private:
  TBitmap& bitmap_;
  const TGIFPalette& palette_;
  int width_;
  int height_;
  std::vector<std::uint8_t> indices_;
};

// Octree palette of at most Colors entries for the bitmap's colours, built over
// ColorBits levels. With WindowsColors the palette has 256 entries: the 20 static
// colours around 236 octree colours.
TGIFPalette CreateOptimizedPaletteFromBitmap(const TBitmap& Bitmap, int Colors, int ColorBits,
                                             bool WithWindowsColors);

// A new bitmap with the source's pixels reduced: ReduceNone copies the source; the
// other reductions map every pixel onto their palette through the ditherer. An unknown
// reduction or dither mode gives an empty bitmap.
std::unique_ptr<TBitmap> ReduceColors(const TBitmap& Bitmap, TColorReduction ColorReduction,
                                      TDitherMode DitherMode, int ReductionBits,
                                      const TGIFPalette* CustomPalette);

// Pictures: TGraphic, what every picture format offers, and TBitmap, the in-memory
// picture everything is drawn into.
//
// A TBitmap holds Width x Height pixels in one of two layouts, reachable row by row
// through ScanLine (row 0 at the top):
//   pf24bit: 3 bytes per pixel, blue, green, red;
//   pf32bit: 4 bytes per pixel, blue, green, red and one unused byte (whatever a writer
//            leaves there, the pixels are opaque).
// New bitmaps are pf32bit, the layout Qt draws fastest. Its canvas draws on the pixels. A
// transparent bitmap is drawn without the pixels of its transparent colour: a fixed colour, or in
// tmAuto the colour of its bottom-left pixel.
//
// Files and streams hold Windows BMP: read with 1, 4, 8, 16, 24 or 32 bits per pixel
// (uncompressed, bit fields or run-length coded), written uncompressed with 24 or 32 bits
// by PixelFormat.
// Loading that fails raises EInvalidGraphic and leaves the picture as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/geometry.h"
#include "platform/text/sysutils.h"

class TStream;

// A picture's data is unreadable or of an unknown kind; the message says which.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

class TGraphic {
 public:
  virtual ~TGraphic() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
  // Draws the picture stretched into Rect.
  virtual void Draw(TCanvas& Canvas, const TRect& Rect) const = 0;
  // Covers Area with copies of the picture stretched to Copy's size, laid edge to edge,
  // one of them at Copy. The picture is drawn once, over clear pixels, and Area filled
  // with that as one pattern, whatever its size; a large copy is drawn copy by copy.
  virtual void DrawTiled(TCanvas& Canvas, const TRect& Area, const TRect& Copy) const;

  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value) { transparent_ = Value; }

  // Reading starts at the stream's position and leaves it after the picture.
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) const = 0;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName) const;

  // A new picture of the same kind with the same content.
  virtual std::unique_ptr<TGraphic> Clone() const = 0;

 protected:
  TGraphic() = default;
  TGraphic(const TGraphic&) = default;
  TGraphic& operator=(const TGraphic&) = default;

 private:
  bool transparent_ = false;
};

enum TPixelFormat { pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const override;
  int Height() const override;
  // Keeps the pixels that still fit; new ones are black. Raises EInvalidGraphic when
  // the pixels cannot be allocated.
  void SetSize(int NewWidth, int NewHeight);
  void SetWidth(int Value) { SetSize(Value, Height()); }
  void SetHeight(int Value) { SetSize(Width(), Value); }

  TCanvas& Canvas();
  const TCanvas& Canvas() const;

  TPixelFormat PixelFormat() const;
  // Converts the pixels to the new layout.
  void SetPixelFormat(TPixelFormat Value);
  // The bytes of row Row; raises EInvalidGraphic for a row outside the bitmap. Valid
  // until the bitmap's size or pixel format changes.
  std::uint8_t* ScanLine(int Row);
  const std::uint8_t* ScanLine(int Row) const;

  // In tmAuto the colour of the bottom-left pixel (clNone for an empty bitmap).
  TColor TransparentColor() const;
  // Fixes the transparent colour (TransparentMode becomes tmFixed).
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return transparent_mode_; }
  void SetTransparentMode(TTransparentMode Value) { transparent_mode_ = Value; }

  // Copies pixels, pixel format and transparency.
  void Assign(const TBitmap& Source);
  // For a picture that is drawn often and changed seldom (a map holds thousands of
  // labels): keeps the pixels as drawn, one byte each with a table of their colours,
  // when there are at most 256 of them, each clear or opaque. It reads and draws the
  // same; reading its pixels or drawing on it unpacks it again.
  void Compact();

  void Draw(TCanvas& Canvas, const TRect& Rect) const override;
  void DrawTiled(TCanvas& Canvas, const TRect& Area, const TRect& Copy) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override;

  struct Impl;  // the pixels, known only inside the platform

 private:
  friend struct TBitmapAccess;
  std::unique_ptr<Impl> impl_;
  TTransparentMode transparent_mode_ = tmAuto;
  TColor transparent_color_ = clNone;
};

// One frame of a GIF file: the extensions before it, the 10-byte image descriptor, an
// optional local colour table and the pixels, kept decoded as one colour index per
// byte, Width bytes per row, rows one after the other.
//
// Descriptor: 2C | left u16 | top u16 | width u16 | height u16 | packed: bit 7 local
// table, bit 6 interlaced, bit 5 sorted, bits 2-0 table size exponent (2 shl n entries).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gif/gif_color_map.h"
#include "gif/gif_extensions.h"
#include "gif/gif_item.h"
#include "gif/gif_palette.h"
#include "platform/gui/graphics/geometry.h"

class TBitmap;
class TCanvas;
class TGraphic;

// Monochrome transparency mask of a rendered frame: a set bit marks a transparent
// pixel; rows of ((Width + 15) / 16) * 2 bytes, most significant bit first.
struct TGIFMask {
  int Width = 0;
  int Height = 0;
  int RowBytes = 0;
  std::vector<std::uint8_t> Bits;
  bool IsSet(int X, int Y) const {
    return (Bits[static_cast<std::size_t>(Y) * RowBytes + X / 8] & (0x80 >> (X % 8))) != 0;
  }
};

class TGIFSubImage : public TGIFItem {
 public:
  explicit TGIFSubImage(TGIFPicture* Image);
  ~TGIFSubImage() override;

  GIFVersion GetVersion() const override;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
  void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
  void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
  void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
  // Changing the size gives fresh zero pixels; a frame that outgrows the logical
  // screen grows the screen, with a warning when the screen had a size.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  bool Interlaced() const { return (packed_ & kInterlacedFlag) != 0; }
  void SetInterlaced(bool Value);
  bool Empty() const;
  // The delay units a painter shows the frame for: its delay, at least the minimum, and
  // the default when it gives none (delay 0 or no graphic control extension).
  int ShownDelay() const;

  // The local table when it has entries, else the global one when that has entries,
  // else the (empty) local table.
  TGIFColorMap& ActiveColorMap();
  const std::vector<std::uint8_t>& Data() const { return data_; }
  int DataSize() const { return static_cast<int>(data_.size()); }
  // Row Y; allocates the pixels when missing.
  std::uint8_t* Scanline(int Y);
  std::uint8_t Pixels(int X, int Y);
  void SetPixels(int X, int Y, std::uint8_t Index);
  // The colour index every pixel starts with: the transparent index of a transparent frame.
  std::uint8_t FillIndex() const;
  void NewImage();
  void FreeImage();
  void Clear();

  // Rendering and drawing.
  TBitmap* Bitmap();
  bool HasMask();
  const TGIFMask* Mask() const { return mask_.get(); }
  TPaletteHandle Palette();
  void SetPalette(TPaletteHandle Value);
  void FreeBitmap();
  bool DoDither() const;
  void Draw(TCanvas& Canvas, const TRect& Rect, bool DoTransparent, bool DoTile);
  void StretchDraw(TCanvas& Canvas, const TRect& Rect, bool DoTransparent, bool DoTile);
  TRect ScaleRect(const TRect& Rect) const;
  void Assign(const TGIFSubImage& Source);
  void Assign(const TGraphic& Source);

  // Optimiser steps.
  void Crop();
  void Merge(TGIFSubImage* Previous);

  // Colour table bookkeeping.
  void CountColorUsage(TColorUsage& Usage) const;
  void RemapColors(const TColorRemap& Map);
  void PaletteChanged();

  TGIFLocalColorMap ColorMap{this};
  TGIFExtensionList Extensions;
  // Kept equal to the transparency flag of the frame's graphic control extension.
  bool Transparent = false;
  // The first graphic control extension of the frame (it lives in Extensions).
  TGIFGraphicControlExtension* GraphicControlExtension = nullptr;
  bool NeedMask = true;

 private:
  static constexpr std::uint8_t kLocalTableFlag = 0x80;
  static constexpr std::uint8_t kInterlacedFlag = 0x40;
  static constexpr std::uint8_t kSortFlag = 0x20;
  // Interlace flag and the reserved bits survive rewriting the packed byte.
  static constexpr std::uint8_t kKeptPackedBits = 0x58;

  void DecodeData(TStream& Stream);
  bool DrawsInStrips(const TRect& Rect, bool DoTile) const;
  void DrawInStrips(TCanvas& Canvas, const TRect& Rect, bool DoTransparent);
  void AssignBitmap(const TBitmap& Source);
  // Marks holds one byte per pixel, non-zero where the pixel is transparent.
  void ImportMask(const std::vector<std::uint8_t>& Marks);

  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::uint8_t packed_ = 0;
  std::vector<std::uint8_t> data_;
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TGIFMask> mask_;
  // The bitmap keyed for transparent drawing, made on first use.
  std::unique_ptr<TBitmap> keyed_bitmap_;
  TPaletteHandle palette_;
};

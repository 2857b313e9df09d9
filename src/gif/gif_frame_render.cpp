// Frames as pictures: rendering the pixels into a bitmap with a transparency mask,
// drawing with transparency, and building frames from other pictures.
#include <algorithm>
#include <array>
#include <unordered_set>

#include "gif/gif_color_reduction.h"
#include "gif/gif_dither.h"
#include "gif/gif_frame.h"
#include "gif/gif_picture.h"
#include "gif/gif_settings.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"

namespace {

constexpr int kProgressRows = 32;
// The rows of a large frame rendered at a time when it is drawn in strips.
constexpr int kStripRows = 64;

std::unique_ptr<TGIFMask> NewMask(int Width, int Height) {
  auto mask = std::make_unique<TGIFMask>();
  mask->Width = Width;
  mask->Height = Height;
  mask->RowBytes = (Width + 15) / 16 * 2;
  mask->Bits.assign(static_cast<std::size_t>(mask->RowBytes) * Height, 0);
  return mask;
}

void SetMaskBit(TGIFMask& Mask, int X, int Y) {
  Mask.Bits[static_cast<std::size_t>(Y) * Mask.RowBytes + X / 8] |=
      static_cast<std::uint8_t>(0x80 >> (X % 8));
}

bool AnyBitSet(const TGIFMask& Mask) {
  return std::any_of(Mask.Bits.begin(), Mask.Bits.end(), [](std::uint8_t b) { return b != 0; });
}

std::uint32_t PixelKey(const std::uint8_t* Pixel) {
  return Pixel[0] | (Pixel[1] << 8) | (Pixel[2] << 16);
}

// The bitmap with its masked pixels set to a colour that no visible pixel has, marked as
// the transparent colour: the platform draws colour-keyed bitmaps without that colour.
std::unique_ptr<TBitmap> MakeKeyedBitmap(const TBitmap& Source, const TGIFMask& Mask) {
  auto keyed = std::make_unique<TBitmap>();
  keyed->Assign(Source);
  keyed->SetPixelFormat(pf32bit);
  std::unordered_set<std::uint32_t> used;
  for (int y = 0; y < keyed->Height(); ++y) {
    const std::uint8_t* row = keyed->ScanLine(y);
    for (int x = 0; x < keyed->Width(); ++x)
      if (!Mask.IsSet(x, y)) used.insert(PixelKey(row + 4 * x));
  }
  std::uint32_t key = 0xFF00FF;  // blue, green, red bytes of magenta
  while (used.count(key)) key = (key + 1) & 0xFFFFFF;
  for (int y = 0; y < keyed->Height(); ++y) {
    std::uint8_t* row = keyed->ScanLine(y);
    for (int x = 0; x < keyed->Width(); ++x)
      if (Mask.IsSet(x, y)) {
        row[4 * x] = static_cast<std::uint8_t>(key);
        row[4 * x + 1] = static_cast<std::uint8_t>(key >> 8);
        row[4 * x + 2] = static_cast<std::uint8_t>(key >> 16);
      }
  }
  keyed->SetTransparent(true);
  keyed->SetTransparentColor(RGB(key >> 16, (key >> 8) & 0xFF, key & 0xFF));
  return keyed;
}

}  // namespace

bool TGIFSubImage::DoDither() const {
  if (!image_) return false;
  const TGIFDrawOptions options = image_->DrawOptions;
  return (options & dfDither) && (!(options & dfDitherOnPaletteDisplay) || AutoDitherEnabled);
}

TPaletteHandle TGIFSubImage::Palette() {
  if (palette_) return palette_;
  if (DoDither()) return palette_ = std::make_shared<const TGIFPalette>(WebPalette());
  if (ColorMap.Count() == 0) return image_ ? image_->GetPalette() : nullptr;
  return palette_ = std::make_shared<const TGIFPalette>(ColorMap.ExportPalette());
}

void TGIFSubImage::SetPalette(TPaletteHandle Value) {
  if (Value == palette_) return;
  palette_ = std::move(Value);
  if (bitmap_) {
    FreeBitmap();
    if (image_) image_->Changed();
  }
}

void TGIFSubImage::FreeBitmap() {
  bitmap_.reset();
  mask_.reset();
  keyed_bitmap_.reset();
  NeedMask = true;
}

bool TGIFSubImage::HasMask() {
  if (NeedMask && Transparent) FreeBitmap();
  if (!bitmap_) Bitmap();
  return mask_ != nullptr;
}

TBitmap* TGIFSubImage::Bitmap() {
  if (bitmap_) return bitmap_.get();
  const bool report = !Empty() && image_;
  if (report) image_->Progress(psStarting, 0, false, "Rendering...");
  try {
    auto bitmap = std::make_unique<TBitmap>();
    const bool build_mask = NeedMask && Transparent && !mask_;
    NeedMask = false;
    std::unique_ptr<TGIFMask> mask = build_mask ? NewMask(width_, height_) : nullptr;
    const std::uint8_t transparent = FillIndex();
    if (Empty()) {
      bitmap->SetSize(width_, height_);
    } else {
      const TPaletteHandle palette = Palette();
      const TGIFPalette colors = palette ? *palette : TGIFPalette{};
      TDIBWriter writer(*bitmap, colors, width_, height_);
      if (DoDither()) {
        // Dithered to the web palette, serpentine like the ditherer walks.
        TNetscapeColorLookup lookup;
        TFloydSteinbergDitherer ditherer(width_, lookup);
        TGIFColorMap& map = ActiveColorMap();
        int r = 0, g = 0, b = 0;
        std::uint8_t fill = 0;
        if (build_mask && map.Count() > 0) {
          const TColor key = map.Colors(transparent);
          fill = static_cast<std::uint8_t>(
              lookup.Lookup(GetRValue(key), GetGValue(key), GetBValue(key), r, g, b));
        }
        for (int y = 0; y < height_; ++y) {
          if (report && y % kProgressRows == 0)
            image_->Progress(psRunning, y * 100 / height_, false, "Rendering...");
          std::uint8_t* dst = writer.ScanLine(y);
          const std::uint8_t* src = Scanline(y);
          if (build_mask) std::fill(dst, dst + width_, fill);
          while (ditherer.Column >= 0 && ditherer.Column < width_) {
            const int x = ditherer.Column;
            if (build_mask && src[x] == transparent) {
              SetMaskBit(*mask, x, y);
              ditherer.Column += ditherer.Direction;
              continue;
            }
            const TColor c = map.Count() > 0 ? map.Colors(src[x]) : clBlack;
            dst[x] = static_cast<std::uint8_t>(
                ditherer.Dither(GetRValue(c), GetGValue(c), GetBValue(c), r, g, b));
          }
          ditherer.NextLine();
        }
      } else {
        for (int y = 0; y < height_; ++y) {
          if (report && y % kProgressRows == 0)
            image_->Progress(psRunning, y * 100 / height_, false, "Rendering...");
          const std::uint8_t* src = Scanline(y);
          std::copy(src, src + width_, writer.ScanLine(y));
          if (build_mask)
            for (int x = 0; x < width_; ++x)
              if (src[x] == transparent) SetMaskBit(*mask, x, y);
        }
      }
      writer.Finish();
    }
    if (mask && AnyBitSet(*mask)) mask_ = std::move(mask);
    bitmap_ = std::move(bitmap);
  } catch (...) {
    if (report) image_->Progress(psEnding, 0, false, "Rendering...");
    throw;
  }
  if (report) image_->Progress(psEnding, 100, false, "Rendering...");
  return bitmap_.get();
}

TRect TGIFSubImage::ScaleRect(const TRect& Rect) const {
  const int picture_width = image_ && image_->Width() > 0 ? image_->Width() : width_;
  const int picture_height = image_ && image_->Height() > 0 ? image_->Height() : height_;
  if (picture_width == 0 || picture_height == 0) return Rect;
  return {MulDiv(left_, Rect.Width(), picture_width) + Rect.Left,
          MulDiv(top_, Rect.Height(), picture_height) + Rect.Top,
          MulDiv(left_ + width_, Rect.Width(), picture_width) + Rect.Left,
          MulDiv(top_ + height_, Rect.Height(), picture_height) + Rect.Top};
}

void TGIFSubImage::Draw(TCanvas& Canvas, const TRect& Rect, bool DoTransparent, bool DoTile) {
  StretchDraw(Canvas, DoTile ? Rect : ScaleRect(Rect), DoTransparent, DoTile);
}

// A frame above MaximumRenderedFramePixels, not rendered yet and drawn at its own size,
// is drawn from its pixels a strip at a time, each strip keyed where its pixels are
// transparent: what the whole rendering would draw, without its 4 bytes a pixel.
bool TGIFSubImage::DrawsInStrips(const TRect& Rect, bool DoTile) const {
  return !bitmap_ && !DoTile && !DoDither() && Rect.Width() == width_ && Rect.Height() == height_ &&
         static_cast<long long>(width_) * height_ > MaximumRenderedFramePixels;
}

void TGIFSubImage::DrawInStrips(TCanvas& Canvas, const TRect& Rect, bool DoTransparent) {
  const TPaletteHandle palette = Palette();
  const TGIFPalette colors = palette ? *palette : TGIFPalette{};
  const bool masked = DoTransparent && Transparent;
  const std::uint8_t transparent = FillIndex();
  for (int top = 0; top < height_; top += kStripRows) {
    const int rows = std::min(kStripRows, height_ - top);
    TBitmap strip;
    TDIBWriter writer(strip, colors, width_, rows);
    std::unique_ptr<TGIFMask> mask = masked ? NewMask(width_, rows) : nullptr;
    for (int y = 0; y < rows; ++y) {
      const std::uint8_t* src = Scanline(top + y);
      std::copy(src, src + width_, writer.ScanLine(y));
      if (mask)
        for (int x = 0; x < width_; ++x)
          if (src[x] == transparent) SetMaskBit(*mask, x, y);
    }
    writer.Finish();
    const TRect target = Bounds(Rect.Left, Rect.Top + top, width_, rows);
    if (mask && AnyBitSet(*mask))
      Canvas.StretchDraw(target, *MakeKeyedBitmap(strip, *mask));
    else
      Canvas.StretchDraw(target, strip);
  }
}

void TGIFSubImage::StretchDraw(TCanvas& Canvas, const TRect& Rect, bool DoTransparent,
                               bool DoTile) {
  if (Empty()) return;
  if (DrawsInStrips(Rect, DoTile)) {
    DrawInStrips(Canvas, Rect, DoTransparent);
    return;
  }
  const bool transparent = DoTransparent && Transparent && HasMask();
  const TBitmap* source = Bitmap();
  if (transparent) {
    if (!keyed_bitmap_) keyed_bitmap_ = MakeKeyedBitmap(*bitmap_, *mask_);
    source = keyed_bitmap_.get();
  }
  if (!DoTile) {
    Canvas.StretchDraw(Rect, *source);
    return;
  }
  const int step_x = image_ && image_->Width() > 0 ? image_->Width() : width_;
  const int step_y = image_ && image_->Height() > 0 ? image_->Height() : height_;
  for (int x = Rect.Left + left_; x < Rect.Right; x += step_x)
    for (int y = Rect.Top + top_; y < Rect.Bottom; y += step_y)
      Canvas.StretchDraw(Bounds(x, y, width_, height_), *source);
}

// --- building frames ---------------------------------------------------------------------------

void TGIFSubImage::Assign(const TGIFSubImage& Source) {
  if (&Source == this) return;
  Clear();
  if (Source.Empty()) return;
  left_ = Source.left_;
  top_ = Source.top_;
  width_ = Source.width_;
  height_ = Source.height_;
  packed_ = Source.packed_;
  Transparent = Source.Transparent;
  data_ = Source.data_;
  ColorMap.Assign(Source.ColorMap);
  if (Source.Extensions.Count() > 0) {
    // Through the file format, so that every kind of extension copies itself.
    TMemoryStream stream;
    Source.Extensions.SaveToStream(stream);
    stream.SetPosition(0);
    Extensions.LoadFromStream(stream, this);
  }
  if (Source.bitmap_) {
    bitmap_ = std::make_unique<TBitmap>();
    bitmap_->Assign(*Source.bitmap_);
  }
}

void TGIFSubImage::Assign(const TGraphic& Source) {
  if (const auto* frame_source = dynamic_cast<const TBitmap*>(&Source)) {
    AssignBitmap(*frame_source);
    return;
  }
  // A picture gives its rendered composite, as it does when assigned to a bitmap;
  // drawing it would start its animation.
  if (const auto* picture = dynamic_cast<const TGIFPicture*>(&Source)) {
    if (TBitmap* rendered = picture->Bitmap()) {
      AssignBitmap(*rendered);
      return;
    }
  }
  Clear();
  if (Source.Empty()) return;
  // Any other picture is drawn onto a bitmap of its size first.
  TBitmap bitmap;
  bitmap.SetSize(Source.Width(), Source.Height());
  bitmap.Canvas().StretchDraw(Bounds(0, 0, Source.Width(), Source.Height()), Source);
  AssignBitmap(bitmap);
}

namespace {

// Distinct colours of a bitmap, stopping once there are more than Limit.
int CountColors(const TDIBReader& Reader, int Limit) {
  std::unordered_set<int> colors;
  int r = 0, g = 0, b = 0;
  for (int y = 0; y < Reader.Height(); ++y)
    for (int x = 0; x < Reader.Width(); ++x) {
      Reader.Pixel(x, y, r, g, b);
      colors.insert((r << 16) | (g << 8) | b);
      if (static_cast<int>(colors.size()) > Limit) return static_cast<int>(colors.size());
    }
  return static_cast<int>(colors.size());
}

}  // namespace

void TGIFSubImage::AssignBitmap(const TBitmap& Source) {
  Clear();
  if (Source.Empty()) return;
  // Our bitmaps are always true colour; one that already has at most 256 colours (or
  // whose picture asks for no reduction) keeps its colours exactly, as an indexed
  // bitmap would.
  std::unique_ptr<TBitmap> reduced;
  const TBitmap* pixels = &Source;
  const TColorReduction reduction = image_ ? image_->ColorReduction : DefaultColorReduction;
  if (reduction != ReduceNone && CountColors(TDIBReader(Source), MaxGIFColors) > MaxGIFColors) {
    reduced = ReduceColors(Source, reduction, image_ ? image_->DitherMode : DefaultDitherMode,
                           image_ ? image_->ReductionBits : DefaultReductionBits, nullptr);
    if (reduced->Empty()) return;
    pixels = reduced.get();
  }
  // Through SetBounds, so that a picture without a size takes the frame's.
  SetBounds(0, 0, Source.Width(), Source.Height());
  if (image_) image_->Progress(psStarting, 0, false, "Converting...");
  try {
    const TDIBReader reader(*pixels);
    // The last few colours seen, searched from the latest: runs of a colour are common.
    constexpr int kCacheSize = 8;
    std::array<std::pair<TColor, int>, kCacheSize> cache;
    cache.fill({clNone, 0});
    int last = 0;
    int r = 0, g = 0, b = 0;
    for (int y = 0; y < height_; ++y) {
      if (image_ && y % kProgressRows == 0)
        image_->Progress(psRunning, y * 100 / height_, false, "Converting...");
      std::uint8_t* row = Scanline(y);
      for (int x = 0; x < width_; ++x) {
        reader.Pixel(x, y, r, g, b);
        const TColor color = RGB(r, g, b);
        int index = -1;
        for (int i = 0; i < kCacheSize && index < 0; ++i) {
          const auto& entry = cache[(last - i + kCacheSize) % kCacheSize];
          if (entry.first == color) index = entry.second;
        }
        if (index < 0) {
          index = ColorMap.AddUnique(color);
          last = (last + 1) % kCacheSize;
          cache[last] = {color, index};
        }
        row[x] = static_cast<std::uint8_t>(index);
      }
    }
    if (Source.Transparent()) {
      const TColor key = ColorToRGB(Source.TransparentColor());
      std::vector<std::uint8_t> marks(data_.size(), 0);
      const TDIBReader source_reader(Source);
      for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
          source_reader.Pixel(x, y, r, g, b);
          marks[static_cast<std::size_t>(y) * width_ + x] = RGB(r, g, b) == key;
        }
      ImportMask(marks);
    }
  } catch (...) {
    if (image_) image_->Progress(psEnding, 0, false, "Converting...");
    throw;
  }
  if (image_) image_->Progress(psEnding, 100, false, "Converting...");
}

void TGIFSubImage::ImportMask(const std::vector<std::uint8_t>& Marks) {
  ColorMap.Optimize();
  // A full (or absent) table has no room for the transparent colour.
  if (ColorMap.Count() == 0 || ColorMap.Count() == MaxGIFColors) return;
  const int index = ColorMap.Add(clBlack);
  bool any = false;
  for (std::size_t i = 0; i < data_.size(); ++i)
    if (Marks[i]) {
      data_[i] = static_cast<std::uint8_t>(index);
      any = true;
    }
  if (!any) {
    ColorMap.Delete(index);
    return;
  }
  auto gce = std::make_unique<TGIFGraphicControlExtension>(this);
  gce->SetTransparent(true);
  gce->TransparentColorIndex = static_cast<std::uint8_t>(index);
  Extensions.Add(std::move(gce));
  FreeBitmap();
}

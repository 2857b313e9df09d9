#include "gif/gif_frame.h"

#include <algorithm>

#include "gif/gif_bytes.h"
#include "gif/gif_encoder.h"
#include "gif/gif_lzw_decoder.h"
#include "gif/gif_picture.h"
#include "gif/gif_settings.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/streams.h"

namespace {
constexpr int kDescriptorSize = 10;

// How many bytes of LZW data follow the minimum code size byte at the stream position,
// counted over the sub-blocks up to the terminator or the end of the file; the stream
// is put back where it was.
long long LzwDataBytes(TStream& Stream) {
  const std::int64_t start = Stream.Position();
  long long bytes = 0;
  std::uint8_t size = 0;
  if (Stream.Read(&size, 1) == 1) {  // the minimum code size
    while (Stream.Read(&size, 1) == 1 && size != 0) {
      const std::int64_t left = Stream.Size() - Stream.Position();
      bytes += std::min<std::int64_t>(size, left);
      if (left <= size) break;
      Stream.Seek(size, soCurrent);
    }
  }
  Stream.SetPosition(start);
  return bytes;
}
}  // namespace

TGIFSubImage::TGIFSubImage(TGIFPicture* Image) : TGIFItem(Image) {}

// Clear first: the extensions' destructors still look at this frame's fields.
TGIFSubImage::~TGIFSubImage() {
  Clear();
}

GIFVersion TGIFSubImage::GetVersion() const {
  return (ColorMap.Optimized || Extensions.Count() > 0) ? Version89a : Version87a;
}

bool TGIFSubImage::Empty() const {
  return data_.empty() || width_ == 0 || height_ == 0;
}

int TGIFSubImage::ShownDelay() const {
  if (!GraphicControlExtension || GraphicControlExtension->Delay == 0) return DefaultFrameDelay;
  return std::max<int>(GraphicControlExtension->Delay, MinimumFrameDelay);
}

TGIFColorMap& TGIFSubImage::ActiveColorMap() {
  if (ColorMap.Count() > 0 || !image_ || image_->Header.ColorMap.Count() == 0) return ColorMap;
  return image_->Header.ColorMap;
}

std::uint8_t* TGIFSubImage::Scanline(int Y) {
  if (Y < 0 || Y >= height_) Error("Invalid pixel coordinates");
  if (data_.empty()) NewImage();
  if (data_.empty()) Error("Image is empty");
  return data_.data() + static_cast<std::size_t>(Y) * width_;
}

std::uint8_t TGIFSubImage::Pixels(int X, int Y) {
  if (X < 0 || X >= width_) Error("Invalid pixel coordinates");
  return Scanline(Y)[X];
}

void TGIFSubImage::SetPixels(int X, int Y, std::uint8_t Index) {
  if (X < 0 || X >= width_) Error("Invalid pixel coordinates");
  Scanline(Y)[X] = Index;
  FreeBitmap();
}

std::uint8_t TGIFSubImage::FillIndex() const {
  return (Transparent && GraphicControlExtension) ? GraphicControlExtension->TransparentColorIndex
                                                  : 0;
}

void TGIFSubImage::NewImage() {
  data_.assign(static_cast<std::size_t>(width_) * height_, 0);
}

void TGIFSubImage::FreeImage() {
  data_.clear();
  data_.shrink_to_fit();
}

void TGIFSubImage::Clear() {
  Extensions.Clear();
  ColorMap.Clear();
  FreeImage();
  width_ = 0;
  height_ = 0;
  Transparent = false;
  GraphicControlExtension = nullptr;
  FreeBitmap();
}

void TGIFSubImage::SetInterlaced(bool Value) {
  packed_ = Value ? (packed_ | kInterlacedFlag) : (packed_ & ~kInterlacedFlag);
}

void TGIFSubImage::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  left_ = ALeft;
  top_ = ATop;
  if (AWidth != width_ || AHeight != height_) {
    FreeBitmap();
    width_ = AWidth;
    height_ = AHeight;
    NewImage();
  }
  if (!image_) return;
  TGIFHeader& header = image_->Header;
  bool grown = false;
  if (header.Width < ALeft + AWidth) {
    if (header.Width > 0) {
      Warning("Image width too small for contained frames");
      grown = true;
    }
    header.Width = static_cast<std::uint16_t>(ALeft + AWidth);
  }
  if (header.Height < ATop + AHeight) {
    if (header.Height > 0) {
      Warning("Image height too small for contained frames");
      grown = true;
    }
    header.Height = static_cast<std::uint16_t>(ATop + AHeight);
  }
  if (grown) Warning("Image exceeds Logical Screen size");
}

void TGIFSubImage::LoadFromStream(TStream& Stream) {
  Clear();
  Extensions.LoadFromStream(Stream, this);
  // Only an image separator starts pixels; anything else (the trailer, padding, or a
  // stray byte the picture's block loop will report) leaves a frame of extensions only.
  std::uint8_t next = 0;
  if (Stream.Read(&next, 1) != 1) return;
  Stream.Seek(-1, soCurrent);
  if (next != bsImageSeparator) return;

  std::uint8_t descriptor[kDescriptorSize];
  ReadCheck(Stream, descriptor, kDescriptorSize);
  left_ = GetWord(descriptor + 1);
  top_ = GetWord(descriptor + 3);
  width_ = GetWord(descriptor + 5);
  height_ = GetWord(descriptor + 7);
  packed_ = descriptor[9];
  if ((width_ == 0 || height_ == 0) && image_) {
    width_ = image_->Header.Width;
    height_ = image_->Header.Height;
    Warning("Image exceeds Logical Screen size");
  }
  if (packed_ & kLocalTableFlag) {
    // 2 shl n is always within 2..256 for a 3-bit n.
    ColorMap.LoadFromStream(Stream, 2 << (packed_ & 7));
  }
  DecodeData(Stream);
  if (RenderOnLoad) Bitmap();
}

void TGIFSubImage::DecodeData(TStream& Stream) {
  const long long pixels = static_cast<long long>(width_) * height_;
  const long long picture_pixels = pixels + (image_ ? image_->Images.PixelsRead() : 0);
  if (pixels > MaximumFramePixels || picture_pixels > MaximumPicturePixels)
    Error(Format(LocalText(kPictureTooLargeText), width_, height_));
  // Refused before the pixels are allocated: a frame of a few bytes must not claim
  // megabytes of filler. A small frame may come without its data, as before: it costs
  // nothing.
  if (pixels > std::max(LzwDataBytes(Stream), 1LL) * MaximumPixelsPerDataByte)
    Error("Image data is too short for the frame");
  data_.assign(static_cast<std::size_t>(width_) * height_, FillIndex());
  DecodeFramePixels(Stream, data_.data(), width_, height_, Interlaced(),
                    [this](const std::string& Message) { Warning(Message); });
}

void TGIFSubImage::SaveToStream(TStream& Stream) {
  Extensions.SaveToStream(Stream);
  if (Empty()) return;
  packed_ &= kKeptPackedBits;
  if (ColorMap.Count() > 0) {
    packed_ |= kLocalTableFlag | ((ColorMap.BitsPerPixel() - 1) & 7);
    if (ColorMap.Optimized) packed_ |= kSortFlag;
  }
  std::uint8_t descriptor[kDescriptorSize] = {bsImageSeparator};
  PutWord(descriptor + 1, static_cast<std::uint16_t>(left_));
  PutWord(descriptor + 3, static_cast<std::uint16_t>(top_));
  PutWord(descriptor + 5, static_cast<std::uint16_t>(width_));
  PutWord(descriptor + 7, static_cast<std::uint16_t>(height_));
  descriptor[9] = packed_;
  Stream.WriteBuffer(descriptor, kDescriptorSize);
  if (ColorMap.Count() > 0) ColorMap.SaveToStream(Stream, 1 << ColorMap.BitsPerPixel());
  EncodeFrame(*this, Stream);
}

void TGIFSubImage::CountColorUsage(TColorUsage& Usage) const {
  for (std::uint8_t index : data_) ++Usage[index];
}

void TGIFSubImage::RemapColors(const TColorRemap& Map) {
  for (std::uint8_t& index : data_) index = Map[index];
  // The raw index is remapped: an unused transparent colour may now lie past the end of
  // the shortened table, which is harmless, whereas the checking setter would turn it
  // into colour 0.
  if (Transparent && GraphicControlExtension)
    GraphicControlExtension->TransparentColorIndex =
        Map[GraphicControlExtension->TransparentColorIndex];
  FreeBitmap();
}

void TGIFSubImage::PaletteChanged() {
  palette_.reset();
}

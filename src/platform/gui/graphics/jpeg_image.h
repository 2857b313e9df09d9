// JPEG pictures through libjpeg (the 6b interface): decoded when loaded, compressed with
// the standard tables when assigned from a bitmap.
//
// The picture keeps its compressed bytes, so saving writes back exactly what was
// loaded, and the decoded pixels for drawing (pf24bit). Grey and CMYK files are turned
// into colour. A damaged or truncated file raises EInvalidGraphic with libjpeg's
// reason and leaves the picture as it was. A JPEG is never drawn transparently.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/geometry.h"

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  void Draw(TCanvas& Canvas, const TRect& Rect) const override;

  // Reads the rest of the stream as one JPEG file.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override;

  // Compresses Source at CompressionQuality; the picture then shows Source.
  void Assign(const TBitmap& Source);
  // 1 (smallest) to 100 (best); 90 at first. Used by the next Assign.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int Value);

 private:
  std::vector<std::uint8_t> data_;
  TBitmap bitmap_;
  int quality_ = 90;
};

// The size a JPEG file's header claims, read before anything is decoded (a few hundred
// bytes may claim a picture of gigabytes); nullopt when Bytes hold no readable header.
std::optional<TSize> JpegSize(std::span<const std::uint8_t> Bytes);

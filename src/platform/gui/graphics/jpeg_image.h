// JPEG pictures through libjpeg (the 6b interface): decoded when loaded, compressed with
// the standard tables when assigned from a bitmap.
//
// The picture keeps its compressed bytes, so saving writes back exactly what was
// loaded, and the decoded pixels for drawing (pf24bit). Grey and CMYK files are turned
// into colour. A damaged or truncated file raises EInvalidGraphic with libjpeg's
// reason and leaves the picture as it was, and one whose decoding costs more than a
// picture may (see JpegCost) EGraphicTooLarge. A JPEG is never drawn transparently.
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

// What decoding a JPEG file costs, read before anything is decoded: the size its header
// claims (a few hundred bytes may claim a picture of gigabytes), and the blocks its scans
// walk, all scans together. A sequential file walks every block once, a progressive one
// a few times over (its scans each hold some of the components and some of each block's
// coefficients), but a file may repeat a scan thousands of times in a few bytes each,
// every one a walk. The work is what is priced, not the count of scans: a small picture
// may have a hundred scans and cost less than one scan of a large one. Decoding refuses
// a file whose scans walk more than kMaxJpegScanBlocks blocks (a 4096 x 4096 picture
// whose last scan repeats up to it decodes in under half a second). nullopt when Bytes
// hold no readable header.
constexpr std::int64_t kMaxJpegScanBlocks = 48 * 1024 * 1024;
struct TJpegCost {
  TSize Size;
  std::int64_t ScanBlocks = 0;
  bool Decodable() const { return ScanBlocks <= kMaxJpegScanBlocks; }
};
std::optional<TJpegCost> JpegCost(std::span<const std::uint8_t> Bytes);

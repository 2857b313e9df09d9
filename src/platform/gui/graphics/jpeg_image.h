// JPEG pictures through libjpeg (the 6b interface), compressed with the standard tables
// when assigned from a bitmap. The picture keeps its compressed bytes, so saving writes
// back exactly what was loaded. Grey and CMYK files are turned into colour. A JPEG is
// never drawn transparently.
//
// A picture holds its pixels one of two ways (TJpegDecoding):
// - Whole (a map): decoded when loaded, so that loading tells whether all of the file can
//   be read. A damaged or truncated file raises EInvalidGraphic with libjpeg's reason and
//   leaves the picture as it was; one whose decoding costs more than a picture may (see
//   JpegCost), or whose header claims more than kMaxGraphicPixels, EGraphicTooLarge.
// - AsShown (a picture in a document): loading reads the headers only, with the same
//   refusals but for damage inside the scans' data; each draw decodes as few pixels as
//   cover the place drawn (libjpeg scales by 1/2, 1/4 or 1/8 as it decodes), which the
//   picture keeps for the draws after. Drawn on a window, a decoding that would cost
//   more than a paint may spend runs on a thread of its own and the window is asked to
//   paint again when it is done; until then the picture shows a coarser decoding it
//   holds, or nothing. Kept decodings share one bound of kMaxHeldJpegPixels, the
//   pictures drawn longest ago giving theirs up first. Data found damaged when decoded
//   shows the invalid-picture mark (invalid_picture.h) at its top left corner.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/geometry.h"

enum class TJpegDecoding { Whole, AsShown };

// The pixels kept decoded by the AsShown pictures of the program together: the screen's
// pictures many times over, and a dozen photos of 12 million pixels shown at a page's
// width.
constexpr std::int64_t kMaxHeldJpegPixels = 48 * 1024 * 1024;

struct TJpegShown;

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  int Width() const override;
  int Height() const override;
  void Draw(TCanvas& Canvas, const TRect& Rect) const override;

  TJpegDecoding Decoding() const { return decoding_; }
  // Takes effect with the next LoadFromStream.
  void SetDecoding(TJpegDecoding Value) { decoding_ = Value; }
  // Reads the rest of the stream as one JPEG file.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override;

  // Compresses Source at CompressionQuality; the picture then holds Source whole.
  void Assign(const TBitmap& Source);
  // 1 (smallest) to 100 (best); 90 at first. Used by the next Assign.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int Value);

 private:
  std::shared_ptr<const std::vector<std::uint8_t>> data_;
  TJpegDecoding decoding_ = TJpegDecoding::Whole;
  TBitmap bitmap_;                     // Whole: the pixels
  std::shared_ptr<TJpegShown> shown_;  // AsShown: the size and the decodings
  int quality_ = 90;
};

// What decoding a JPEG file costs, read before anything is decoded: the size its header
// claims (a few hundred bytes may claim a picture of gigabytes), and the blocks its scans
// walk, all scans together. A sequential file walks every block once, a progressive one
// a few times over (its scans each hold some of the components and some of each block's
// coefficients), but a file may repeat a scan thousands of times in a few bytes each,
// every one a walk. The work is what is priced, not the count of scans: a small picture
// may have a hundred scans and cost less than one scan of a large one. Decoding refuses
// a file whose scans walk more than kMaxJpegScanBlocks blocks (about two seconds of a
// processor). nullopt when Bytes hold no readable header.
constexpr std::int64_t kMaxJpegScanBlocks = 48 * 1024 * 1024;
struct TJpegCost {
  TSize Size;
  std::int64_t ScanBlocks = 0;
  // Of those, the blocks of refinements of AC coefficients, each going over every
  // coefficient made non-zero before in each block; and the bytes of coded data of all
  // scans, which entropy decoding takes bit by bit.
  std::int64_t RefiningBlocks = 0;
  std::int64_t ScanBytes = 0;
  // Scans of a progressive file, each a part of each block's coefficients read into and
  // out of the whole picture's, cost several times a sequential scan's byte.
  bool Progressive = false;
  bool Decodable() const { return ScanBlocks <= kMaxJpegScanBlocks; }
};
std::optional<TJpegCost> JpegCost(std::span<const std::uint8_t> Bytes);
// What decoding a picture of Cost at 1/Denominator of its size each way (8, 4, 2 or 1) is
// priced at, in nanoseconds of a core: a picture shown on a window is decoded inside the
// paint when its price fits the paint's budget, and on a thread of its own when not.
double JpegDecodeNs(const TJpegCost& Cost, int Denominator);

// Why a picture is refused, as shown to the user (keys of LocalText): its blocks walked
// and the most allowed.
extern const char* const kJpegTooCostlyText;

// Returns once every decoding under way on a thread of its own has ended; the paints it
// asks for are then waiting in the event queue.
void WaitForJpegDecodings();

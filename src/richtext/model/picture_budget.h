// What the pictures of a document may hold decoded. A bitmap's header may claim millions
// of pixels in a few bytes (run-length rows that set none of them), and every picture
// holds its pixels as long as the document holds it: a read takes each picture's pixels
// from the document's budget before decoding it, and pictures that no longer fit are
// left out, shown as an empty frame of their size. The budget follows what the document
// holds: a picture deleted, undone or cleared away gives its pixels back. A JPEG picture
// holds no pixels of it, only a decoding at about the size it is shown, which the JPEG
// pictures of the program keep within a bound of their own (see jpeg_image.h).
//
// Example: twenty \dibitmap pictures that each claim 4096 x 4096 in two bytes of runs:
// the first two are decoded (200 MB at most), the other eighteen are frames. Deleted,
// the two give way to two more.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/geometry.h"

// Two pictures of 4096 x 4096 pixels, or a dozen photographs of a few million.
constexpr std::int64_t kMaxDocumentPicturePixels = std::int64_t(2) * 4096 * 4096;

class TCustomRDData;

class TRDPictureBudget {
 public:
  TRDPictureBudget() = default;
  explicit TRDPictureBudget(std::int64_t limit) : limit_(limit) {}
  // Takes Pixels from what is left: false, taking nothing, when they do not fit (the
  // picture is then left out).
  bool Take(std::int64_t pixels);

 private:
  friend class TRDPictureRead;
  std::int64_t limit_ = kMaxDocumentPicturePixels;
  std::int64_t held_ = 0;
  int reads_ = 0;
};

// One read into a document (RTF, RDF): its pictures take from what the document's
// pictures leave. The outermost read counts what they hold when it starts; reads nested
// in it (a table's cells) take from the same count.
class TRDPictureRead {
 public:
  explicit TRDPictureRead(TCustomRDData& document);
  ~TRDPictureRead();
  TRDPictureRead(const TRDPictureRead&) = delete;
  TRDPictureRead& operator=(const TRDPictureRead&) = delete;

 private:
  TRDPictureBudget& budget_;
};

// What a picture's bytes claim, read from their header before they are decoded, for the
// kinds whose header sizes what decoding allocates: Kind a TBitmap (Bytes a BMP file), a
// TPngImage or a TJPEGImage. Size is the picture's size, Pixels what it takes from the
// budget: its pixels, or more than any budget holds where decoding costs more than a
// picture may (a JPEG whose scans walk its pixels too often, a bitmap whose runs claim far
// more pixels than their bytes can set), so that it is left out.
// nullopt for other kinds and for bytes without such a header (they are decoded, and
// priced as decoded); raises EInvalidGraphic for a BMP file whose header cannot be read.
struct TPictureClaim {
  TSize Size;
  std::int64_t Pixels = 0;
};
std::optional<TPictureClaim> ClaimedPicture(const TGraphic& Kind,
                                            std::span<const std::uint8_t> Bytes);

// The pixels a decoded picture takes from the budget: a metafile's are those of the
// bitmaps its player keeps decoded (its records are played, not held as pixels), as
// their headers claim them; any other picture's are its size.
std::int64_t DecodedPicturePixels(const TGraphic& Graphic);
// Whether a picture shows less than its bytes hold: it is left out (a TRDPictureFrame), or
// it is a metafile whose player leaves some of its bitmaps out.
bool PictureLeavesOut(const TGraphic& Graphic);

// Where a picture left out came from: its bytes, not decoded (a run-length bitmap that
// claims millions of pixels is a few bytes of them), so that saving the document writes
// the picture again. The bytes are held as the graphic class that shows such a picture
// stores them (what its SaveToStream writes), and so an RDF body, and RTF output writes
// them as a picture of that class:
//   RDFClass   that class, "TBitmap" (a BMP file), "TMetafile", "TJPEGImage", "TPngImage";
//   Data       the bytes.
struct TRDPictureSource {
  std::string RDFClass;
  std::string Data;
};

// A picture left out: none of its pixels are held, it draws as a grey frame around the
// area asked for, and it saves as the bytes it was read from (see TRDPictureSource). Its
// size is the picture's own, as its bytes claim it, so that it is placed as the picture
// would be and the picture decoded later takes its place at the same size.
class TRDPictureFrame : public TGraphic {
 public:
  TRDPictureFrame(int width, int height, TRDPictureSource source = {})
      : width_(width), height_(height), source_(std::move(source)) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  const TRDPictureSource& Source() const { return source_; }
  void Draw(TCanvas& Canvas, const TRect& Rect) const override;
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override {
    return std::make_unique<TRDPictureFrame>(*this);
  }

 private:
  int width_, height_;
  TRDPictureSource source_;
};

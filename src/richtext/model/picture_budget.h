// What the pictures of a document may hold decoded. A bitmap's header may claim millions
// of pixels in a few bytes (run-length rows that set none of them), and every picture
// holds its pixels as long as the document holds it: a document takes each picture's
// pixels from one budget before decoding it, and pictures that no longer fit are left
// out, shown as an empty frame of their size.
//
// Example: twenty \dibitmap pictures that each claim 4096 x 4096 in two bytes of runs:
// the first two are decoded (200 MB at most), the other eighteen are frames.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "platform/gui/graphics/bitmap.h"

// Two pictures of 4096 x 4096 pixels, or a dozen photographs of a few million.
constexpr std::int64_t kMaxDocumentPicturePixels = std::int64_t(2) * 4096 * 4096;

class TRDPictureBudget {
 public:
  // Takes Pixels from what is left: false, taking nothing, when they do not fit (the
  // picture is then left out, and LeftOut says so from then on).
  bool Take(std::int64_t pixels);
  bool LeftOut() const { return left_out_; }

 private:
  std::int64_t left_ = kMaxDocumentPicturePixels;
  bool left_out_ = false;
};

// Where a picture left out came from: its bytes as read, not decoded (a run-length
// bitmap that claims millions of pixels is a few bytes of them), and their kind as the
// format that held them names it, so that saving the document in that format writes the
// picture again unchanged. One of the two kinds is set:
//   RTFFormat  the RTF picture's kind and size keywords, "\dibitmap0\picw4096\pich4096";
//   RDFClass   the graphic class of an RDF picture body, "TBitmap".
struct TRDPictureSource {
  std::string RTFFormat;
  std::string RDFClass;
  std::string Data;
};

// A picture left out: none of its pixels are held, it draws as a grey frame around the
// area asked for, and it saves as the bytes it was read from (see TRDPictureSource).
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

// Vector pictures in the two metafile forms word processors put into documents: Windows
// metafiles (16-bit records, optionally behind a 22-byte placeable header) and enhanced
// metafiles (32-bit records). The picture keeps the bytes it was loaded from, so saving
// writes them back unchanged, and draws by playing the records onto the canvas, stretched
// from the picture's own frame into the rectangle asked for.
//
// Played: the coordinate set-up (map mode, window and viewport origin and extent, world
// transform), pens, brushes and fonts with the stock objects, lines, poly-lines, polygons
// and poly-polygons (16- and 32-bit points), Bezier curves, rectangles, rounded
// rectangles, ellipses, arcs, chords and pies, text (8-bit and UTF-16, with alignment and
// character spacing), paths, and saving and restoring the drawing state. Bitmaps inside a
// drawing, clip regions and raster operations other than copying are passed over. Every
// count and offset is checked against its record, so a damaged file draws what it can.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gui/graphics/bitmap.h"

// Where the records of a Windows metafile start (after the placeable and the standard
// header), or 0 when Data does not start like one.
std::size_t WindowsMetafileRecordsStart(std::span<const std::uint8_t> Data);
// True when Data starts with an enhanced metafile's header record.
bool IsEnhancedMetafile(std::span<const std::uint8_t> Data);

class TMetafile : public TGraphic {
 public:
  TMetafile();
  // Raises EInvalidGraphic "Invalid metafile" when Data does not start like one.
  TMetafile(std::span<const std::uint8_t> Data, bool Enhanced);
  // A copy plays its records afresh: the rendering kept belongs to the original.
  TMetafile(const TMetafile& Other);
  TMetafile& operator=(const TMetafile&) = delete;
  ~TMetafile() override;

  // Size in pixels at 96 per inch, from the file's own frame; the caller may know better
  // (a document gives the size it was placed at). A size above kMaxUnbackedGraphicPixels
  // is scaled down to it.
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetSize(int Width, int Height);
  bool Enhanced() const { return enhanced_; }
  // Plays the records into Rect. A picture whose playing covered its target many times
  // over, or asked for more smoothed edges than a paint may cost, is kept as drawn at the size of
  // its latest draw (at 2048 x 2048 pixels at most, stretched when shown larger), and drawn again
  // at that size it is copied, not played.
  void Draw(TCanvas& Canvas, const TRect& Rect) const override;

  // Reads the rest of the stream as one metafile of either form.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override;

 private:
  void Load(std::span<const std::uint8_t> Data, bool Enhanced);

  struct TRendering;

  std::vector<std::uint8_t> data_;
  bool enhanced_ = false;
  int width_ = 0;
  int height_ = 0;
  // Set once a draw covered its target many times over or spent its smoothing budget.
  mutable bool keep_rendering_ = false;
  mutable std::unique_ptr<TRendering> rendering_;
};

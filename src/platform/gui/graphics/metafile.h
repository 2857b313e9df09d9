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
// character spacing), paths, saving and restoring the drawing state, clip rectangles and
// regions, and bitmaps with the common raster operations. Every count and offset is
// checked against its record, so a damaged file draws what it can.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/gui/graphics/bitmap.h"

// A picture kept as drawn (see TMetafile::Draw).
struct TMetafileRendering;
// The picture's bitmaps as decoded, shared by its copies (see TMetafile::Draw).
class TMetafileBitmapCache;

// Where the records of a Windows metafile start (after the placeable and the standard
// header), or 0 when Data does not start like one.
std::size_t WindowsMetafileRecordsStart(std::span<const std::uint8_t> Data);
// True when Data starts with an enhanced metafile's header record.
bool IsEnhancedMetafile(std::span<const std::uint8_t> Data);

// The pixels of a metafile's bitmaps that its player keeps (counted as their headers
// claim them, kMaxPictureBitmapPixels at most), and whether it leaves any out.
struct TMetafileBitmapClaim {
  std::int64_t Kept = 0;
  bool LeftOut = false;
};

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
  // What of its bitmaps the picture keeps when drawn whole, counted without decoding any.
  TMetafileBitmapClaim BitmapClaim() const;
  // Plays the records into Rect. Before it plays, it counts what the play costs over all
  // its records (the pixels of shapes, fills and bitmaps, smoothed edges, characters of
  // text, the records themselves), or takes what its play at that size took where that was
  // more; a picture that costs more than a paint may is kept as drawn at the size and
  // pixel ratio of its latest draw (4096 x 4096 pixels at most, stretched when shown
  // larger), and drawn again there it is copied, not played. On a screen the kept picture
  // is drawn on a thread of its own, and until it is done the paints show it drawn at
  // fewer pixels, or as kept at the size before, stretched. Off the
  // screen it is kept at its first draw, at fewer pixels when the play at the device's
  // costs more than a draw may, but for a picture whose raster operations combine its
  // bitmaps with what lies under them, which is played wherever it is drawn there. Its
  // bitmaps are decoded once, kMaxPictureBitmapPixels of them at most (counted as their
  // headers claim, before decoding): the bitmaps past that are left out. A page that draws
  // raster operations as plain copies (a PDF page) gets such a picture as it shows over
  // white paper.
  void Draw(TCanvas& Canvas, const TRect& Rect) const override;
  // A picture whose raster operations combine it with what lies under it is kept as drawn
  // at Copy's size (as Draw keeps a costly one), and its copies combine with what lies
  // under each as that drawing does; on a device that cannot combine bit by bit (a PDF
  // page), as over white paper. Any other is tiled as any picture is.
  void DrawTiled(TCanvas& Canvas, const TRect& Area, const TRect& Copy) const override;

  // Reads the rest of the stream as one metafile of either form.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override;

 private:
  void Load(std::span<const std::uint8_t> Data, bool Enhanced);

  // Lets a rendering still being drawn stop, and forgets it.
  void DropRendering() const;
  // Counts what a play at Width x Height and Ratio device pixels a unit costs, unless
  // counted last.
  void Count(int Width, int Height, double Ratio) const;

  std::vector<std::uint8_t> data_;
  bool enhanced_ = false;
  int width_ = 0;
  int height_ = 0;
  // What a play at this size and ratio costs, once counted.
  mutable int estimated_width_ = -1, estimated_height_ = -1;
  mutable double estimated_ratio_ = 0, estimated_work_ = 0;
  // How far the plays that took longer than counted overran their counts: later counts,
  // at any size, are raised by as much.
  mutable double overrun_ = 1;
  mutable bool estimated_reads_backdrop_ = false;
  mutable std::optional<TMetafileBitmapClaim> bitmap_claim_;  // once counted
  mutable std::shared_ptr<TMetafileRendering> rendering_;
  std::shared_ptr<TMetafileBitmapCache> bitmaps_;
};

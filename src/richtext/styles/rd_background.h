// The background picture of a viewer (or of a table or cell) and its painter: a fill
// colour and a picture in one of nine placements, painted into any part of a larger
// area, on screen with the document's scroll offsets or for printing.
//
// Example: an opaque 10 x 10 bitmap tiled with bsTiledAndScrolled and scroll offsets
// (3, 4) starts its first tile at (-3, -4) of the area.
#pragma once

#include <cstdint>
#include <memory>

#include "richtext/base/rd_canvas.h"

class TGraphic;

enum TBackgroundStyle : std::uint8_t {
  bsNoBitmap,
  bsStretched,
  bsTiled,
  bsTiledAndScrolled,
  bsCentered,
  bsTopLeft,
  bsTopRight,
  bsBottomLeft,
  bsBottomRight
};
enum TRDItemBackgroundStyle : std::uint8_t { rdbsColor, rdbsStretched, rdbsTiled, rdbsCentered };

class TRDBackground {
 public:
  explicit TRDBackground(bool createBitmap);
  ~TRDBackground();
  TRDBackground(const TRDBackground&) = delete;
  TRDBackground& operator=(const TRDBackground&) = delete;

  TBackgroundStyle Style = bsNoBitmap;

  TGraphic* GetBitmap() const { return image_.get(); }
  void FreeImages();
  // A copy of graphic (none for nullptr) becomes the picture.
  void AssignImage(const TGraphic* graphic);
  TRDItemBackgroundStyle GetItemBackgroundStyle() const;
  void SetItemBackgroundStyle(TRDItemBackgroundStyle value);
  bool IsEmpty() const;
  bool HasVisibleImage() const;
  bool NeedsBackColor() const;
  // The picture stays where it is while the text scrolls under it.
  bool ScrollNeedsFullRedraw() const;

  // Paints rect of an area of areaWidth x areaHeight whose top-left corner stands at
  // (areaLeft, areaTop) on the canvas; hOffs and vOffs are the document's scroll
  // offsets. With clipping the canvas keeps its coordinates and drawing is cut to rect;
  // without, the canvas's (0, 0) stands for rect's top-left corner.
  void Draw(TRDCanvas& canvas, const TRect& rect, int hOffs, int vOffs, int areaLeft, int areaTop,
            int areaWidth, int areaHeight, TColor color, bool clipping) const;
  // Paints for printing into rect: the placements are measured in areaRect (given in
  // the same coordinates), pictures scaled from screen to device pixels by resolution;
  // tiles cover rect from its corner, scroll offsets do not count.
  void Print(TRDCanvas& canvas, const TRect& rect, const TRect& areaRect,
             const TRDResolution& resolution, TColor color) const;

 private:
  bool Opaque() const;
  std::unique_ptr<TGraphic> image_;
};

// The background of an item or a table cell exists only while it holds a picture or a
// style other than plain colour: these make it when needed and drop it when left empty.
void SetOptionalBackgroundImage(std::unique_ptr<TRDBackground>& background,
                                const TGraphic* picture);
void SetOptionalBackgroundStyle(std::unique_ptr<TRDBackground>& background,
                                TRDItemBackgroundStyle value);

#include "richtext/styles/rd_background.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/picture_routines.h"
#include "richtext/base/text_routines.h"

namespace {

// A printed copy of more pixels than this is drawn copy by copy: a pattern of it would
// hold more memory than printing it as a pattern saves.
constexpr std::int64_t kMaxPrintedTilePixels = 2048 * 2048;

// The picture stretched to w x h once over the fill colour, as copy after copy over it
// prints it: a picture that combines with what lies under it (a metafile's raster
// operations) does so with the colour, which a page does not hold as a screen does. Null
// without a colour, or for a large copy.
std::unique_ptr<TBitmap> PrintedTile(const TGraphic& picture, int w, int h, TColor color) {
  if (color == clNone || std::int64_t(w) * h > kMaxPrintedTilePixels) return nullptr;
  auto tile = std::make_unique<TBitmap>();
  tile->SetSize(w, h);
  tile->Canvas().Brush().SetColor(color);
  tile->Canvas().FillRect(Rect(0, 0, w, h));
  tile->Canvas().StretchDraw(Rect(0, 0, w, h), picture);
  return tile;
}

}  // namespace

TRDBackground::TRDBackground(bool createBitmap) {
  if (createBitmap) image_ = std::make_unique<TBitmap>();
}

TRDBackground::~TRDBackground() = default;

void TRDBackground::FreeImages() {
  image_.reset();
}

void TRDBackground::AssignImage(const TGraphic* graphic) {
  if (graphic == image_.get()) return;
  image_ = graphic ? graphic->Clone() : nullptr;
}

TRDItemBackgroundStyle TRDBackground::GetItemBackgroundStyle() const {
  switch (Style) {
    case bsNoBitmap:
      return rdbsColor;
    case bsStretched:
      return rdbsStretched;
    case bsTiled:
    case bsTiledAndScrolled:
      return rdbsTiled;
    default:
      return rdbsCentered;
  }
}

void TRDBackground::SetItemBackgroundStyle(TRDItemBackgroundStyle value) {
  static constexpr TBackgroundStyle kStyles[] = {bsNoBitmap, bsStretched, bsTiled, bsCentered};
  Style = kStyles[value];
}

bool TRDBackground::IsEmpty() const {
  return Style == bsNoBitmap && (!image_ || image_->Empty());
}

bool TRDBackground::HasVisibleImage() const {
  return Style != bsNoBitmap && image_ && !image_->Empty();
}

bool TRDBackground::NeedsBackColor() const {
  if (!image_ || image_->Empty()) return false;
  return IsTransparentGraphic(*image_) || Style >= bsCentered;
}

bool TRDBackground::ScrollNeedsFullRedraw() const {
  return image_ && !image_->Empty() && Style != bsNoBitmap && Style != bsTiledAndScrolled;
}

bool TRDBackground::Opaque() const {
  return image_ && !image_->Empty() && !IsTransparentGraphic(*image_) &&
         (Style == bsStretched || Style == bsTiled || Style == bsTiledAndScrolled);
}

void TRDBackground::Draw(TRDCanvas& canvas, const TRect& rect, int hOffs, int vOffs, int areaLeft,
                         int areaTop, int areaWidth, int areaHeight, TColor color,
                         bool clipping) const {
  // r is rect in area coordinates; an area point p is drawn at p + origin.
  const TRect r =
      Rect(rect.Left - areaLeft, rect.Top - areaTop, rect.Right - areaLeft, rect.Bottom - areaTop);
  const int ox = clipping ? areaLeft : -r.Left;
  const int oy = clipping ? areaTop : -r.Top;
  if (clipping) {
    canvas.SaveState();
    canvas.IntersectClipRect(rect);
  }
  struct TRestore {
    TRDCanvas& canvas;
    bool active;
    ~TRestore() {
      if (active) canvas.RestoreState();
    }
  } restore{canvas, clipping};
  if (color != clNone && !Opaque()) {
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = color;
    canvas.FillRect(Rect(r.Left + ox, r.Top + oy, r.Right + ox, r.Bottom + oy));
  }
  if (!image_ || image_->Empty()) return;
  const TGraphic& picture = *image_;
  const int w = picture.Width(), h = picture.Height();
  auto at = [&](int x, int y) { canvas.Draw(x + ox, y + oy, picture); };
  // The columns from (r.Left + dx) div w to (r.Right + dx) div w and the rows alike, the
  // tiles moved back by (dx, dy): one pattern over the rectangle they make.
  auto tiles = [&](int dx, int dy) {
    const int left = (r.Left + dx) / w * w - dx, top = (r.Top + dy) / h * h - dy;
    const int right = ((r.Right + dx) / w + 1) * w - dx;
    const int bottom = ((r.Bottom + dy) / h + 1) * h - dy;
    canvas.TileDraw(Rect(left + ox, top + oy, right + ox, bottom + oy),
                    Bounds(left + ox, top + oy, w, h), picture);
  };
  switch (Style) {
    case bsNoBitmap:
      break;
    case bsStretched:
      canvas.StretchDraw(Rect(ox, oy, areaWidth + ox, areaHeight + oy), picture);
      break;
    case bsTiled:
      tiles(0, 0);
      break;
    case bsTiledAndScrolled:
      tiles(hOffs, vOffs);
      break;
    case bsCentered:
      at((areaWidth - w) / 2, (areaHeight - h) / 2);
      break;
    case bsTopLeft:
      at(0, 0);
      break;
    case bsTopRight:
      at(areaWidth - w, 0);
      break;
    case bsBottomLeft:
      at(0, areaHeight - h);
      break;
    case bsBottomRight:
      at(areaWidth - w, areaHeight - h);
      break;
  }
}

void TRDBackground::Print(TRDCanvas& canvas, const TRect& rect, const TRect& areaRect,
                          const TRDResolution& resolution, TColor color) const {
  canvas.SaveState();
  canvas.IntersectClipRect(rect);
  if (color != clNone && !Opaque()) {
    canvas.BrushStyle = bsSolid;
    canvas.BrushColor = color;
    canvas.FillRect(rect);
  }
  if (image_ && !image_->Empty()) {
    const TGraphic& picture = *image_;
    const int w = std::max(1, ScreenToDeviceX(picture.Width(), resolution));
    const int h = std::max(1, ScreenToDeviceY(picture.Height(), resolution));
    const int aw = areaRect.Right - areaRect.Left, ah = areaRect.Bottom - areaRect.Top;
    auto at = [&](int x, int y) { canvas.StretchDraw(Bounds(x, y, w, h), picture); };
    // Every placement is measured from the area's corner, so a cell whose area does not
    // start at the painted rectangle's corner gets its picture where its area is.
    switch (Style) {
      case bsNoBitmap:
        break;
      case bsStretched:
        canvas.StretchDraw(areaRect, picture);
        break;
      case bsTiled:
      case bsTiledAndScrolled: {
        // One pattern, so the page holds the picture once, not once a copy.
        const TRect area = Rect(std::max(rect.Left, areaRect.Left),
                                std::max(rect.Top, areaRect.Top), rect.Right, rect.Bottom);
        const TRect copy = Bounds(areaRect.Left, areaRect.Top, w, h);
        if (const auto tile = PrintedTile(picture, w, h, color))
          canvas.TileDraw(area, copy, *tile);
        else
          canvas.TileDraw(area, copy, picture);
        break;
      }
      case bsCentered:
        at(areaRect.Left + (aw - w) / 2, areaRect.Top + (ah - h) / 2);
        break;
      case bsTopLeft:
        at(areaRect.Left, areaRect.Top);
        break;
      case bsTopRight:
        at(areaRect.Right - w, areaRect.Top);
        break;
      case bsBottomLeft:
        at(areaRect.Left, areaRect.Bottom - h);
        break;
      case bsBottomRight:
        at(areaRect.Right - w, areaRect.Bottom - h);
        break;
    }
  }
  canvas.RestoreState();
}

void SetOptionalBackgroundImage(std::unique_ptr<TRDBackground>& background,
                                const TGraphic* picture) {
  if (picture && background && picture == background->GetBitmap()) return;
  if (!background && picture && !picture->Empty())
    background = std::make_unique<TRDBackground>(false);
  if (!background) return;
  background->AssignImage(picture);
  if (background->IsEmpty()) background.reset();
}

void SetOptionalBackgroundStyle(std::unique_ptr<TRDBackground>& background,
                                TRDItemBackgroundStyle value) {
  if (!background && value != rdbsColor) background = std::make_unique<TRDBackground>(false);
  if (!background) return;
  background->SetItemBackgroundStyle(value);
  if (background->IsEmpty()) background.reset();
}

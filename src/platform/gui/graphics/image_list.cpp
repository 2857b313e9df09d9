#include "platform/gui/graphics/image_list.h"

TImageList::TImageList(TComponent* AOwner, int AWidth, int AHeight)
    : TComponent(AOwner), width_(AWidth), height_(AHeight) {}

TImageList::~TImageList() = default;

int TImageList::Add(const TBitmap& Image) {
  auto copy = std::make_unique<TBitmap>();
  copy->SetSize(width_, height_);
  if (Image.Transparent()) {
    // A see-through picture stays see-through, and so does the padding around it:
    // a symbol must not stand on a black square.
    const TColor clear = Image.TransparentColor();
    copy->Canvas().Brush().SetColor(clear);
    copy->Canvas().FillRect(Rect(0, 0, width_, height_));
    copy->SetTransparentColor(clear);
    copy->SetTransparent(true);
  }
  copy->Canvas().Draw(0, 0, Image);
  images_.push_back(std::move(copy));
  return Count() - 1;
}

namespace {

// The picture's ink (its pixels that are not white) in one colour, the rest see-through.
void DrawInk(TCanvas& Canvas, int X, int Y, const TBitmap& Picture, TColor Colour) {
  const TColor ink = ColorToRGB(Colour);
  const TColor clear = ink == clFuchsia ? clLime : clFuchsia;
  TBitmap shape;
  shape.SetSize(Picture.Width(), Picture.Height());
  for (int y = 0; y < Picture.Height(); ++y)
    for (int x = 0; x < Picture.Width(); ++x)
      shape.Canvas().SetPixels(x, y, Picture.Canvas().Pixels(x, y) == clWhite ? clear : ink);
  shape.SetTransparentColor(clear);
  shape.SetTransparent(true);
  Canvas.Draw(X, Y, shape);
}

}  // namespace

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled) const {
  if (Index < 0 || Index >= Count()) return;
  const TBitmap& picture = *images_[Index];
  if (Enabled) {
    Canvas.Draw(X, Y, picture);
    return;
  }
  DrawInk(Canvas, X + 1, Y + 1, picture, clBtnHighlight);
  DrawInk(Canvas, X, Y, picture, clBtnShadow);
}

void TImageList::GetBitmap(int Index, TBitmap& Image) const {
  if (Index < 0 || Index >= Count()) {
    Image.SetSize(0, 0);
    return;
  }
  Image.Assign(*images_[Index]);
}

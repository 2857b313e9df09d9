#include "platform/gui/image_list.h"

TImageList::TImageList(TComponent* AOwner, int AWidth, int AHeight)
    : TComponent(AOwner), width_(AWidth), height_(AHeight) {}

TImageList::~TImageList() = default;

int TImageList::Add(const TBitmap& Image) {
  auto copy = std::make_unique<TBitmap>();
  copy->SetSize(width_, height_);
  copy->Canvas().Draw(0, 0, Image);
  images_.push_back(std::move(copy));
  return Count() - 1;
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index) const {
  if (Index < 0 || Index >= Count()) return;
  Canvas.Draw(X, Y, *images_[Index]);
}

void TImageList::GetBitmap(int Index, TBitmap& Image) const {
  if (Index < 0 || Index >= Count()) {
    Image.SetSize(0, 0);
    return;
  }
  Image.Assign(*images_[Index]);
}

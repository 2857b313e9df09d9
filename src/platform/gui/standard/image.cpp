#include "platform/gui/standard/image.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 105, 105);
  picture_.OnChange = [this] { PictureChanged(); };
}

void TImage::PictureChanged() {
  if (auto_size_ && picture_.Width() > 0 && picture_.Height() > 0) {
    SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  }
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  stretch_ = Value;
  Invalidate();
}

void TImage::SetCenter(bool Value) {
  center_ = Value;
  Invalidate();
}

void TImage::SetTransparent(bool Value) {
  transparent_ = Value;
  Invalidate();
}

void TImage::SetAutoSize(bool Value) {
  auto_size_ = Value;
  PictureChanged();
}

void TImage::Paint() {
  TGraphic* graphic = picture_.Graphic();
  if (!graphic || graphic->Empty()) return;
  const bool was_transparent = graphic->Transparent();
  graphic->SetTransparent(transparent_);
  if (stretch_) {
    Canvas().StretchDraw(ClientRect(), *graphic);
  } else if (center_) {
    Canvas().Draw((Width() - graphic->Width()) / 2, (Height() - graphic->Height()) / 2, *graphic);
  } else {
    Canvas().Draw(0, 0, *graphic);
  }
  graphic->SetTransparent(was_transparent);
}

#include "richtext/view/smart_popup.h"

#include <array>

#include "platform/gui/graphics/image_list.h"

TRDSmartPopupButton::TRDSmartPopupButton(TWinControl& Parent,
                                         const TRDSmartPopupProperties& Properties, int ItemNo)
    : TCustomControl(&Parent), properties_(Properties), item_no_(ItemNo) {
  SetParent(&Parent);
  SetBounds(0, 0, kSize, kSize);
  SetHint(Properties.Hint);
  SetShowHint(!Properties.Hint.empty());
}

void TRDSmartPopupButton::Activate() {
  if (properties_.ButtonType == rdsptDropDown && properties_.Menu) {
    const TPoint below = ClientToScreen(Point(0, Height()));
    properties_.Menu->Popup(below.X, below.Y);
    return;
  }
  if (OnClick) OnClick(this);
}

void TRDSmartPopupButton::Paint() {
  TCanvas& canvas = Canvas();
  const int w = Width(), h = Height();
  canvas.Brush().SetColor(hovered_ ? properties_.HoverColor : properties_.Color);
  canvas.Pen().SetColor(hovered_ ? properties_.HoverLineColor : properties_.LineColor);
  canvas.Rectangle(0, 0, w, h);
  const TImageList* images = properties_.ImageList;
  if (images && properties_.ImageIndex >= 0 && properties_.ImageIndex < images->Count())
    images->Draw(canvas, (w - images->Width()) / 2, (h - images->Height()) / 2,
                 properties_.ImageIndex);
  if (properties_.ButtonType != rdsptDropDown) return;
  // A drop-down button carries the small arrow of a menu in its bottom right corner.
  canvas.Pen().SetColor(hovered_ ? properties_.HoverLineColor : properties_.LineColor);
  for (int row = 0; row < 3; ++row) {
    const std::array<TPoint, 2> line{Point(w - 8 + row, h - 6 + row),
                                     Point(w - 3 - row, h - 6 + row)};
    canvas.Polyline(line);
  }
}

void TRDSmartPopupButton::MouseEnter() {
  TCustomControl::MouseEnter();
  hovered_ = true;
  Invalidate();
}

void TRDSmartPopupButton::MouseLeave() {
  TCustomControl::MouseLeave();
  hovered_ = false;
  Invalidate();
}

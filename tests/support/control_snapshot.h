// Pixels of a control as it paints itself, for the drawing tests.
#pragma once

#include <memory>

#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"

// A bitmap of the control's size, pre-filled with Background, the control painted on it.
inline std::unique_ptr<TBitmap> Snapshot(TControl& control, TColor background = 0x123456) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(control.Width(), control.Height());
  bitmap->Canvas().Brush().SetColor(background);
  bitmap->Canvas().FillRect(Rect(0, 0, control.Width(), control.Height()));
  PaintTo(control, bitmap->Canvas(), 0, 0);
  return bitmap;
}

inline TColor PixelAt(TBitmap& bitmap, int x, int y) {
  return bitmap.Canvas().Pixels(x, y);
}

// A picture of one colour.
inline std::unique_ptr<TBitmap> SolidPicture(int width, int height, TColor color) {
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(width, height);
  picture->Canvas().Brush().SetColor(color);
  picture->Canvas().FillRect(Rect(0, 0, width, height));
  return picture;
}

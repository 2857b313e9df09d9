#include "platform/gui/graphics/invalid_picture.h"

const TBitmap& InvalidPictureMark() {
  // Lives as long as the program: pictures may be drawn at its end after any other object.
  static const TBitmap* mark = [] {
    constexpr int kSize = kInvalidPictureSize;
    auto* bitmap = new TBitmap;
    bitmap->SetSize(kSize, kSize);
    TCanvas& canvas = bitmap->Canvas();
    canvas.Brush().SetColor(clWhite);
    canvas.Pen().SetColor(clGray);
    canvas.Rectangle(0, 0, kSize, kSize);
    canvas.Pen().SetColor(clRed);
    canvas.Pen().SetWidth(2);
    canvas.MoveTo(4, 4);
    canvas.LineTo(kSize - 4, kSize - 4);
    canvas.MoveTo(kSize - 5, 4);
    canvas.LineTo(3, kSize - 4);
    return bitmap;
  }();
  return *mark;
}

#include "app/shelf/window_shape.h"

std::vector<TRect> PictureShapeRects(const TBitmap& Picture) {
  std::vector<TRect> runs;
  const int width = Picture.Width();
  const int height = Picture.Height();
  if (width <= 0 || height <= 0) return runs;
  const TCanvas& canvas = Picture.Canvas();
  const TColor transparent = Picture.TransparentColor();
  const bool background = canvas.Pixels(0, 0) == transparent;
  for (int y = height - 1; y >= 0; --y) {
    int x = 0;
    while (x < width) {
      const bool isBackground = (canvas.Pixels(x, y) == transparent) == background;
      int end = x + 1;
      while (end < width && ((canvas.Pixels(end, y) == transparent) == background) == isBackground)
        ++end;
      if (!isBackground) runs.push_back(Rect(x, y, end, y + 1));
      x = end;
    }
  }
  return runs;
}

#include "controls/bitmap_colors.h"

void ReplaceColor(TBitmap& Bitmap, TColor From, TColor To) {
  From = ColorToRGB(From);
  To = ColorToRGB(To);
  if (From == clNone || To == clNone || From == To) return;
  const int step = Bitmap.PixelFormat() == pf32bit ? 4 : 3;
  // Rows hold blue, green, red.
  const std::uint8_t from[3] = {std::uint8_t(GetBValue(From)), std::uint8_t(GetGValue(From)),
                                std::uint8_t(GetRValue(From))};
  const std::uint8_t to[3] = {std::uint8_t(GetBValue(To)), std::uint8_t(GetGValue(To)),
                              std::uint8_t(GetRValue(To))};
  for (int y = 0; y < Bitmap.Height(); ++y) {
    std::uint8_t* pixel = Bitmap.ScanLine(y);
    for (int x = 0; x < Bitmap.Width(); ++x, pixel += step) {
      if (pixel[0] == from[0] && pixel[1] == from[1] && pixel[2] == from[2]) {
        pixel[0] = to[0];
        pixel[1] = to[1];
        pixel[2] = to[2];
      }
    }
  }
}

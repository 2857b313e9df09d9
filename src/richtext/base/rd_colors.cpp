#include "richtext/base/rd_colors.h"

#include <cmath>

namespace {

// The scroll-bar system colour (index 0), which the printer colours replace too.
constexpr TColor kScrollBarColor = clSystemColor | 0;

}  // namespace

int RGBToGrayLevel(TColor color) {
  TColor c = ColorToRGB(color);
  return int(std::nearbyint(0.3 * GetRValue(c) + 0.59 * GetGValue(c) + 0.11 * GetBValue(c)));
}

TColor ColorToGray(TColor color) {
  if (color == clNone) return clNone;
  int level = RGBToGrayLevel(color);
  if (level > 255) level = 255;
  return TColor(level * 0x010101);
}

TColor ReplaceSystemColor(TColor color) {
  if (color == kScrollBarColor || color == clBtnFace) return clSilver;
  if (color == clWindow || color == clBtnHighlight) return clWhite;
  if (color == clWindowText) return clBlack;
  if (color == clBtnShadow) return clGray;
  return color;
}

namespace {

// Modes 1 and 2 print system colours as the colours they stand for, mode 2 also in grey;
// mode 3 (black and white) is left to the caller.
TColor ConvertColor(TColor color, int colorMode) {
  switch (colorMode) {
    case 1:
      return ReplaceSystemColor(color);
    case 2:
      return ColorToGray(ReplaceSystemColor(color));
    default:
      return color;
  }
}

}  // namespace

TColor ConvertTextColor(TColor color, int colorMode) {
  if (color == clNone) return clNone;
  if (colorMode == 3) return color == clWhite ? clWhite : clBlack;
  return ConvertColor(color, colorMode);
}

TColor ConvertBackColor(TColor color, int colorMode) {
  if (color == clNone) return clNone;
  if (colorMode == 3) return clWhite;
  return ConvertColor(color, colorMode);
}

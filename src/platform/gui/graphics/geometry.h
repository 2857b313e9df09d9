// Points, sizes, rectangles and colours as the program's code uses them: integer pixel
// coordinates, y growing downwards, a rectangle's Right and Bottom lying just outside it.
#pragma once

#include <cstdint>

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) {
  return {x, y};
}
inline TRect Rect(int left, int top, int right, int bottom) {
  return {left, top, right, bottom};
}
inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}
// Calls Place(x, y) with the top-left corner of every Width x Height tile that meets
// Area, the tiles laid edge to edge so that one has its corner at (X, Y).
template <class F>
void ForEachTile(const TRect& Area, int X, int Y, int Width, int Height, F&& Place) {
  if (Width <= 0 || Height <= 0) return;
  auto floorStep = [](int from, int to, int step) {
    const int d = to - from;
    return from + (d >= 0 ? d / step : -((-d + step - 1) / step)) * step;
  };
  for (int y = floorStep(Y, Area.Top, Height); y < Area.Bottom; y += Height)
    for (int x = floorStep(X, Area.Left, Width); x < Area.Right; x += Width) Place(x, y);
}

// What two rectangles share; empty (Width or Height not above 0) when they do not meet.
inline TRect Intersection(const TRect& a, const TRect& b) {
  return {a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
          a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
}

// A colour is 0x00BBGGRR: red in the low byte. clNone marks "no colour" wherever a
// control takes one.
using TColor = std::int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;

constexpr TColor RGB(int r, int g, int b) {
  return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) {
  return c & 0xFF;
}
constexpr int GetGValue(TColor c) {
  return (c >> 8) & 0xFF;
}
constexpr int GetBValue(TColor c) {
  return (c >> 16) & 0xFF;
}

// System colours carry the high bit and the index of a display element in the low byte.
// They stand for the element's colour; ColorToRGB resolves them to fixed values, since
// the program's look must not follow the desktop theme.
// The program's convention: 0xFF000000 plus the index (clWindowText is 0xFF000008,
// stored as -16777208 in style sheets).
constexpr TColor clSystemColor = TColor(0xFF000000u);
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;

// The plain 0x00BBGGRR value of a colour: system colours resolved, anything else
// (clNone included) returned as it is.
constexpr TColor ColorToRGB(TColor c) {
  if ((c & clSystemColor) != clSystemColor) return c;
  switch (c & 0xFF) {
    case 2:
      return RGB(0x99, 0xB4, 0xD1);
    case 4:
      return RGB(0xF0, 0xF0, 0xF0);
    case 5:
      return clWhite;
    case 7:
      return clBlack;
    case 8:
      return clBlack;
    case 13:
      return RGB(0x00, 0x78, 0xD7);
    case 14:
      return clWhite;
    case 15:
      return RGB(0xF0, 0xF0, 0xF0);
    case 16:
      return RGB(0xA0, 0xA0, 0xA0);
    case 17:
      return RGB(0x6D, 0x6D, 0x6D);
    case 18:
      return clBlack;
    case 20:
      return clWhite;
    case 23:
      return clBlack;
    case 24:
      return RGB(0xFF, 0xFF, 0xE1);
    default:
      return clBlack;
  }
}

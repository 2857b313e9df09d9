// Drawing helpers shared by the custom controls and the device windows: the edges a
// panel or splitter draws, points on a dial, lighter and darker shades of a colour, and
// a rectangle filled in two halves.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/gui/graphics/geometry.h"

class TCanvas;

// The edges a custom panel or splitter draws.
enum TDMyBorder : std::uint8_t { bpTop, bpBottom, bpLeft, bpRight };

class TMyBorder {
 public:
  constexpr TMyBorder() = default;
  constexpr TMyBorder(std::initializer_list<TDMyBorder> edges) {
    for (TDMyBorder edge : edges) Include(edge);
  }
  constexpr bool Contains(TDMyBorder edge) const { return (bits_ & Bit(edge)) != 0; }
  constexpr void Include(TDMyBorder edge) { bits_ |= Bit(edge); }
  constexpr void Exclude(TDMyBorder edge) { bits_ &= static_cast<std::uint8_t>(~Bit(edge)); }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(TMyBorder, TMyBorder) = default;

 private:
  static constexpr std::uint8_t Bit(TDMyBorder edge) {
    return static_cast<std::uint8_t>(1u << edge);
  }
  std::uint8_t bits_ = 0;
};

// The point Radius pixels from Centre at Angle degrees: 0 points up, angles grow clockwise.
void PolarToPoint(TPoint Centre, int Radius, std::uint16_t Angle, TPoint& P);
// Adds (Lighten) or subtracts Amount from each of red, green and blue, within 0..255.
TColor ShadeColor(bool Lighten, TColor Color, std::uint8_t Amount);
// Two solid halves: left and right of Right div 2, or above and below Bottom div 2.
void FillSplitVertical(TCanvas& Canvas, const TRect& Rect, TColor ColorLeft, TColor ColorRight);
void FillSplitHorizontal(TCanvas& Canvas, const TRect& Rect, TColor ColorTop, TColor ColorBottom);

// Platform-internal: names measured by their character pairs. A map labels tens of
// thousands of stations, each with a call of its own (capital letters, digits, '-'), in
// one font with kerning; shaping each call costs more than placing its station. In a font
// whose kerning only ever moves a character against its neighbour, a name is as wide as
// its characters' advances and the kerning of each pair in it add up to: each character
// and each pair shaped once for the font.
//
// That a font kerns only by pairs is checked when its advances are first made: every
// pair, in a sample where each character stands between two others, shaped whole must be
// as wide as the sum says. A font that differs (a ligature, a contextual form) measures
// every name shaped.
//
// Example: in DejaVu Sans "AV" is a pixel narrower than "A" and "V" apart; the width of
// "AVA" is their advances, less the kerning of "AV" and of "VA".
#pragma once

#include <QFont>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

class TPairAdvances {
 public:
  // The advances of Font, kept for the thread that asks (the GUI thread). Qt writes a
  // font's key out as text, numbers and all: a caller keeps what it got for its font.
  static std::shared_ptr<const TPairAdvances> For(const QFont& Font);

  // The width of Text in pixels, rounded as Qt rounds a text's width; none for a text
  // with a character outside the names' set, or in a font that does not kern by pairs.
  std::optional<int> Width(std::u16string_view Text) const;

 private:
  // Capital letters, digits, '-' and the blank.
  static constexpr int kCharacters = 26 + 10 + 2;

  explicit TPairAdvances(const QFont& Font);
  // The place of ch in the set, or -1.
  static int Slot(char16_t ch);
  // The width of the characters of Places in 1/64 pixel, as the pairs add up.
  std::int64_t Sum(const int* Places, size_t Count) const;

  bool by_pairs_ = false;
  std::array<std::int32_t, kCharacters> advance_{};  // in 1/64 pixel
  // What the pair (first, second) adds to the two advances, in 1/64 pixel.
  std::array<std::array<std::int32_t, kCharacters>, kCharacters> kerning_{};
};

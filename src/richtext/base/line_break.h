// Line-break opportunities in UTF-16 text after the pair-table method of Unicode
// Standard Annex #14 (the classes and example pair table of the Unicode 4.0 data).
//
// Example: in "ab cd" (units 0..4) FindLineBreakW(text, 4, false) answers 2: the line
// may end after the space that follows "ab".
#pragma once

#include <cstdint>
#include <string_view>

enum class TRDLineBreakClass : std::uint8_t {
  OP,
  CL,
  QU,
  GL,
  NS,
  EX,
  SY,
  IS,
  PR,
  PO,
  NU,
  AL,
  ID,
  IN,
  HY,
  BA,
  BB,
  B2,
  ZW,
  CM
};
constexpr int kLineBreakClassCount = 20;

// Pair-table actions.
constexpr std::uint8_t kDirectBreak = 0;
constexpr std::uint8_t kIndirectBreak = 1;  // only when spaces stand between
constexpr std::uint8_t kProhibitedBreak = 2;

TRDLineBreakClass GetLineBreakClass(char16_t ch);
std::uint8_t LineBreakAction(TRDLineBreakClass before, TRDLineBreakClass after);

constexpr int kNoLineBreak = -1;
// The last break opportunity at or before index (0-based units of text): the index of
// the unit after which the line may end (spaces after the opportunity included, but not
// reaching index), or kNoLineBreak. With skipSpaceAtIndex a space at index is passed
// over first. An index outside the text gives kNoLineBreak.
int FindLineBreakW(std::u16string_view text, int index, bool skipSpaceAtIndex);

// A code unit that belongs to the character before it: the second half of a surrogate
// pair, or a combining mark (an accent such as U+0301 shows on the letter before it).
// Lines break and the caret stops only before a unit for which this is false.
bool StaysWithPrevious(char16_t unit);

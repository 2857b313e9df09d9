// The levels of lines of a right-to-left paragraph.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/graphics/bidi_levels.h"

namespace {

std::vector<std::uint8_t> Levels(std::u16string_view text) {
  std::vector<std::uint8_t> levels;
  ResolveBiDiLevels(text, 1, levels);
  return levels;
}

}  // namespace

// Right-to-left letters, their marks, punctuation, blanks and tabs, anywhere on the line,
// all read at the paragraph's level; a number or a Latin word among them reads left to
// right above it, however few right-to-left characters there are.
TEST(BiDiLevels, RightToLeftLinesStayAtTheirLevelButForNumbersAndLatin) {
  using L = std::vector<std::uint8_t>;
  const std::u16string_view words =
      u"(\u05E9\u05B8\u05DC\u05D5\u05DD), \u0645\u0631\u062D\u0628\u0627!\t- ";
  EXPECT_EQ(Levels(words), L(words.size(), 1));
  EXPECT_EQ(Levels(u". \u05D0"), L({1, 1, 1}));
  EXPECT_EQ(Levels(u"\u05D0 12"), L({1, 1, 2, 2}));
  EXPECT_EQ(Levels(u"\u0645 12"), L({1, 1, 2, 2}));
  EXPECT_EQ(Levels(u"\u05D0 ab."), L({1, 1, 2, 2, 1}));
  EXPECT_EQ(Levels(u"\u05D0 \u0661\u0662"), L({1, 1, 2, 2}));
}

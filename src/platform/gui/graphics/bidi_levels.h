// The order of a line of text that mixes directions, by the Unicode bidirectional
// algorithm (UAX #9) as Qt applies it when it lays out a line: the weak, bracket-pair,
// neutral and implicit rules, and the line's trailing blanks and tabs at the paragraph's
// level. Characters that open explicit embeddings, overrides or isolates are taken as
// neutrals.
//
// Example: in a right-to-left paragraph "abc 12 \u05D0" resolves to the levels
// 2 2 2 1 2 2 1 1: the Latin word and the number each read left to right, the line
// right to left.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gui/graphics/wide_text.h"

// The direction of the first strong character of Text (a letter of either direction),
// skipping isolated parts; Auto when it has none.
TTextDirection FirstStrongDirection(std::u16string_view Text);

// The embedding level of every UTF-16 unit of Text, one whole line of a paragraph at
// ParagraphLevel (0 left to right, 1 right to left): odd levels read right to left. Both
// units of a surrogate pair take the level of their character.
void ResolveBiDiLevels(std::u16string_view Text, int ParagraphLevel,
                       std::vector<std::uint8_t>& Levels);

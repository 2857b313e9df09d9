// Characters as the user sees them (grapheme clusters): a letter with its combining
// marks, a surrogate pair, CR LF. Text cut between two code points of one of them
// shows and sends another letter ("e" without its accent).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Where each character as the user sees it begins in Text, in order: 0 first (for a
// text that is not empty), never Text's end.
//
// Example: CharacterStarts(u"ae\u0301Z") == {0, 1, 3}.
std::vector<size_t> CharacterStarts(std::u16string_view Text);

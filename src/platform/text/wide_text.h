// Text as characters (UTF-16) of every script: case and character bounds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Every letter of every script with an upper-case form, by Unicode's rules; one letter
// may become two ("\u00DF" becomes "SS").
std::u16string WideUpperCase(std::u16string_view text);
// UTF-16 units of the character at text[at]: 2 for a surrogate pair, 1 for any other
// unit, 0 past the end.
size_t WideCharLength(std::u16string_view text, size_t at);

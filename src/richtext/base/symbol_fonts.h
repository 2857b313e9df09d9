// The two picture fonts documents name, Symbol and Wingdings, are not on every machine:
// their characters are shown as the Unicode characters they stand for, in a normal font.
//
// Example: Symbol 0xB7 is U+2022 (the bullet), Wingdings 0x6C is U+25CF (a black circle).
#pragma once

#include <string>
#include <string_view>

enum class TRDSymbolFont { None, Symbol, Wingdings };

// Which picture font a font name is (compared ignoring case).
TRDSymbolFont SymbolFontOf(std::string_view fontName);
// The Unicode character of a code of the font; codes without one give U+2022 in
// Wingdings and the code itself in Symbol.
char16_t SymbolToUnicode(unsigned char code);
char16_t WingdingsToUnicode(unsigned char code);
// A whole text of the font; characters of the private-use area F000..F0FF (how symbol
// text travels as Unicode) count as their low byte.
std::u16string SymbolFontToUnicode(TRDSymbolFont font, std::u16string_view text);
// The normal font the characters are drawn in instead.
const char* SymbolFontStandIn();

// The two picture fonts documents name, Symbol and Wingdings, are not on every machine:
// their characters are shown as the Unicode characters they stand for, in a normal font.
// Text that leaves the document (plain text, HTML, the clipboard's text) is given those
// characters too, and so is LibreOffice's OpenSymbol, whose bullets come in the private-use
// area: no reader of the text has the fonts.
//
// Example: Symbol 0xB7 is U+2022 (the bullet), Wingdings 0x6C is U+25CF (a black circle),
// OpenSymbol U+F095 (the byte Windows-1252 gives a bullet, in Symbol's place) is U+2022.
#pragma once

#include <string>
#include <string_view>

enum class TRDSymbolFont { None, Symbol, Wingdings };

// Which picture font a font name is (compared ignoring case).
TRDSymbolFont SymbolFontOf(std::string_view fontName);
// The Unicode character of a code of the font; codes without one give U+2022 in
// Wingdings and the code itself in Symbol, but for 0x80..0x9F, where Symbol has no
// character and writers put the Windows-1252 byte of a character (0x95 for a bullet).
char16_t SymbolToUnicode(unsigned char code);
char16_t WingdingsToUnicode(unsigned char code);
// A whole text of the font; characters of the private-use area F000..F0FF (how symbol
// text travels as Unicode) count as their low byte.
std::u16string SymbolFontToUnicode(TRDSymbolFont font, std::u16string_view text);
// Text in the font named fontName as a reader without the font must see it: the codes of
// Symbol and Wingdings, the U+F0xx codes of OpenSymbol (which stands in for Symbol) and
// OpenSymbol's own private-use bullets become their Unicode characters; text in any other
// font stays as it is.
std::u16string ExportedFontText(std::string_view fontName, std::u16string_view text);
// The same for 8-bit text of codePage (a Symbol or Wingdings byte is the font's code).
std::u16string ExportedFontText(std::string_view fontName, int codePage, std::string_view text);
// A list's number or bullet as the Unicode characters shown: as ExportedFontText, and a
// private-use character in any other font taken as OpenSymbol's (LibreOffice's default
// bullet is U+F095 in it, and its RTF may name no font for the bullet).
std::u16string ShownBulletText(std::string_view fontName, std::u16string_view text);
// Whether ExportedFontText may change text in the font.
bool IsExportMappedFont(std::string_view fontName);
// The normal font the characters are drawn in instead.
const char* SymbolFontStandIn();

// Windows-1252, the code page of all the program's text, to and from UTF-16.
//
// Every byte maps to one UTF-16 unit and back, so a text survives a trip through Qt
// unchanged. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control characters of the same value (U+0081...), as the
// system's own conversion does. UTF-16 text with no Windows-1252 byte becomes '?'
// (one per character, a surrogate pair included).
#pragma once

#include <string>
#include <string_view>

std::u16string Cp1252ToUtf16(std::string_view text);
std::string Utf16ToCp1252(std::u16string_view text);

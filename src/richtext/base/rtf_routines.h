// RTF escaping of the writers. Characters outside 32..127 become \'hh (two lower-case
// hexadecimal digits); UTF-16 text is written as \uN with an 8-bit fallback.
//
// Example: RTFUnicodeText of U+00E9 in code page 1252 with the fallback is "\u233 \'e9".
#pragma once

#include <string>
#include <string_view>

class TStream;

void RTFEscapeHigh(std::string& s, bool specialChars);
std::string RTFEscape(std::string_view s, bool isRTFCode, bool specialChars);
void AppendRTFEscaped(std::string& out, std::string_view s, bool isRTFCode, bool specialChars);
std::string RTFEscapeFieldText(std::string_view s);
std::string RTFEscapeNoBraces(std::string_view s);
std::string MakeRTFIdentifier(std::string_view s);
// The RTF of raw Unicode text (an odd trailing byte is ignored).
std::string RTFUnicodeText(std::string_view text, int codePage, bool isRTFCode, bool writeANSI);
void AppendRTFUnicodeText(std::string& out, std::string_view text, int codePage, bool isRTFCode,
                          bool writeANSI);
// 8-bit text of codePage: escaped as it is for a single-byte page; for a multi-byte page,
// whose bytes do not say to a reader where a character ends, as Unicode (with the 8-bit
// form as substitute when writeANSI).
void AppendRTFCodePageText(std::string& out, std::string_view s, int codePage, bool writeANSI);
void RTFWriteUnicodeText(TStream& stream, std::string_view text, int codePage, bool isRTFCode,
                         bool writeANSI);

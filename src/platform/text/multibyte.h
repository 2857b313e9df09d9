// The multi-byte Windows code pages of East Asian text (932 Japanese Shift-JIS, 936
// Simplified Chinese GBK, 949 Korean Unified Hangul, 950 Traditional Chinese Big5, 1361
// Korean Johab) to and from UTF-16, by the C library's converters.
//
// A byte sequence the code page does not define becomes U+FFFD, one for each byte that
// cannot start a character, and conversion goes on after it. A character the code page
// lacks becomes '?' (a surrogate pair counts as one character).
//
// Example: MultiByteToUtf16(932, "\x82\xA0") == u"\u3042" (Hiragana A).
#pragma once

#include <string>
#include <string_view>

bool IsMultiByteCodePage(int codePage);
// Only for the code pages above; any other page gives an empty result.
std::u16string MultiByteToUtf16(int codePage, std::string_view text);
std::string Utf16ToMultiByte(int codePage, std::u16string_view text);

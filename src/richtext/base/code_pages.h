// Code pages and raw Unicode. A "raw Unicode" string is a byte string of even length
// holding UTF-16 code units, low byte first (for example "A" is the two bytes 41 00);
// 8-bit text is in the code page of its text style.
//
// The code pages themselves, and the font character sets that name them, are the
// platform's (platform/text/code_pages.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text/code_pages.h"

using TRDCodePage = int;

// The charset that names codePage for readers of a file (ANSI_CHARSET for 1252, and for a
// page that has no charset of its own).
int CodePageToCharset(TRDCodePage codePage);
// Language identifier of a charset for RTF output (0 or 1024 when none fits).
int CharsetToLanguage(int charset);

// 8-bit text of codePage as raw Unicode; "" stays "".
std::string AnsiToRawUnicode(TRDCodePage codePage, std::string_view s);
// Raw Unicode as 8-bit text of codePage; characters the page lacks become '?'. An odd
// trailing byte is ignored.
std::string RawUnicodeToAnsi(TRDCodePage codePage, std::string_view s);
std::string AnsiToUTF8(TRDCodePage codePage, std::string_view s);
// Raw Unicode as UTF-8 (a surrogate without its partner becomes U+FFFD).
std::string RawUnicodeToUTF8(std::string_view s);

std::u16string RawUnicodeToWideString(std::string_view s);
std::string WideStringToRawUnicode(std::u16string_view ws);

// Swaps the two bytes of count UTF-16 units starting at byte offset (bounded by s).
void SwapUnicodeBytes(std::string& s, size_t offset, int count);
// At a byte-order mark at byte offset: 0xFEFF is skipped; 0xFFFE is skipped and the
// remaining count - 1 units are swapped. offset advances past the mark.
void SkipUnicodeBOM(std::string& s, size_t& offset, int count);
bool CanConvertToCodePage(TRDCodePage codePage, std::string_view s);
// The code page of the keyboard: this program types in its own code page.
TRDCodePage GetKeyboardCodePage();
std::string KeyboardAnsiToRawUnicode(std::string_view s);

// Byte offset of the first unit equal to ch among count units from offset, or npos.
size_t FindWideChar(std::string_view s, size_t offset, char16_t ch, int count);

std::uint32_t MakeLocaleID(std::uint32_t langID, std::uint32_t sortID);
std::uint32_t MakeLanguageID(std::uint32_t primary, std::uint32_t sub);
std::uint32_t LanguageToLocaleID(std::uint32_t primary);

// Code unit i (0-based) of a raw Unicode string; the caller keeps i in range.
inline char16_t RawUnicodeAt(std::string_view s, size_t i) {
  return char16_t(std::uint8_t(s[2 * i]) | (std::uint8_t(s[2 * i + 1]) << 8));
}
inline void AppendRawUnicode(std::string& s, char16_t ch) {
  s.push_back(char(ch & 0xFF));
  s.push_back(char(ch >> 8));
}

// Zero width space (U+200B), zero width joiner (U+200D) and word joiner (U+2060): they
// take no room when text is measured or placed.
inline bool IsZeroWidthChar(char16_t ch) {
  return ch == 0x200B || ch == 0x200D || ch == 0x2060;
}
// UTF-8 of one code point.
void AppendUTF8(std::string& out, char32_t cp);

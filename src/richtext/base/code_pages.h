// Code pages and raw Unicode. A "raw Unicode" string is a byte string of even length
// holding UTF-16 code units, low byte first (for example "A" is the two bytes 41 00);
// 8-bit text is in the code page of its text style.
//
// Conversions use our own tables of the single-byte code pages (874, 1250..1258, 437,
// Macintosh 10000) and the platform's converters of the multi-byte East Asian pages (932,
// 936, 949, 950, 1361). Any other code page is taken as the system code page CP_ACP,
// which is 1252 for this program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using TRDCodePage = int;

constexpr TRDCodePage CP_ACP = 0;
constexpr TRDCodePage CP_OEMCP = 1;
constexpr TRDCodePage CP_MACCP = 2;
constexpr TRDCodePage kSystemCodePage = 1252;

// Character sets of fonts (TFontCharset).
constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;
constexpr int SYMBOL_CHARSET = 2;
constexpr int MAC_CHARSET = 77;
constexpr int SHIFTJIS_CHARSET = 128;
constexpr int HANGEUL_CHARSET = 129;
constexpr int JOHAB_CHARSET = 130;
constexpr int GB2312_CHARSET = 134;
constexpr int CHINESEBIG5_CHARSET = 136;
constexpr int GREEK_CHARSET = 161;
constexpr int TURKISH_CHARSET = 162;
constexpr int VIETNAMESE_CHARSET = 163;
constexpr int HEBREW_CHARSET = 177;
constexpr int ARABIC_CHARSET = 178;
constexpr int BALTIC_CHARSET = 186;
constexpr int RUSSIAN_CHARSET = 204;
constexpr int THAI_CHARSET = 222;
constexpr int EASTEUROPE_CHARSET = 238;
constexpr int OEM_CHARSET = 255;

TRDCodePage CharsetToCodePage(int charset);
// The real code page text of codePage is converted with: CP_ACP, CP_OEMCP and CP_MACCP
// resolved, and a page we have no converter for taken as the system code page.
TRDCodePage ResolveCodePage(TRDCodePage codePage);
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

// The code pages of 8-bit text and the font character sets that name them, for every
// reader of text stored in a font's code page (documents, metafile pictures).
//
// Our own tables convert the single-byte code pages (874, 1250..1258, 437, Macintosh
// 10000) and the C library the multi-byte East Asian pages (932, 936, 949, 950, 1361).
// Any other code page is taken as the system code page CP_ACP, which is 1252 for this
// program.
//
// Example: CodePageToUtf16(CharsetToCodePage(RUSSIAN_CHARSET), "\xCF") == u"\u041F".
#pragma once

#include <string>
#include <string_view>

constexpr int CP_ACP = 0;
constexpr int CP_OEMCP = 1;
constexpr int CP_MACCP = 2;
constexpr int kSystemCodePage = 1252;

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

int CharsetToCodePage(int charset);
// The real code page text of codePage is converted with: CP_ACP, CP_OEMCP and CP_MACCP
// resolved, and a page we have no converter for taken as the system code page.
int ResolveCodePage(int codePage);
// The UTF-16 units of bytes 0x80..0xFF of a single-byte codePage (CP_ACP, CP_OEMCP and
// CP_MACCP resolved), or nullptr when it is not one known here.
const char16_t* UpperHalfOfCodePage(int codePage);
// 8-bit text of codePage in UTF-16, one unit a byte in a single-byte page; a page we have
// no converter for is taken as the system code page.
std::u16string CodePageToUtf16(int codePage, std::string_view text);

#include "richtext/base/code_pages.h"

#include <unordered_map>

#include "platform/text/multibyte.h"

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr char16_t kSwappedByteOrderMark = 0xFFFE;

// The reverse of a table (UTF-16 unit -> byte of the upper half), made once per table
// and thread: the writers convert item by item.
const std::unordered_map<char16_t, char>& ReverseTable(const char16_t* table) {
  thread_local std::unordered_map<const char16_t*, std::unordered_map<char16_t, char>> cache;
  auto [it, added] = cache.try_emplace(table);
  if (added)
    for (int i = 0; i < 128; ++i) it->second.emplace(table[i], char(0x80 + i));
  return it->second;
}

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

int CodePageToCharset(TRDCodePage codePage) {
  constexpr int kCharsets[] = {
      SHIFTJIS_CHARSET,    HANGEUL_CHARSET,    JOHAB_CHARSET,   GB2312_CHARSET,
      CHINESEBIG5_CHARSET, GREEK_CHARSET,      TURKISH_CHARSET, VIETNAMESE_CHARSET,
      HEBREW_CHARSET,      ARABIC_CHARSET,     BALTIC_CHARSET,  RUSSIAN_CHARSET,
      THAI_CHARSET,        EASTEUROPE_CHARSET, MAC_CHARSET,     OEM_CHARSET};
  const TRDCodePage resolved = ResolveCodePage(codePage);
  for (int charset : kCharsets)
    if (ResolveCodePage(CharsetToCodePage(charset)) == resolved) return charset;
  return ANSI_CHARSET;
}

int CharsetToLanguage(int charset) {
  switch (charset) {
    case GREEK_CHARSET:
      return 1032;
    case HANGEUL_CHARSET:
      return 1042;
    case JOHAB_CHARSET:
      return 2066;
    case GB2312_CHARSET:
      return 2052;
    case CHINESEBIG5_CHARSET:
      return 1028;
    case SHIFTJIS_CHARSET:
      return 1041;
    case ANSI_CHARSET:
      return 1033;
    case RUSSIAN_CHARSET:
      return 1049;
    case THAI_CHARSET:
      return 1054;
    case TURKISH_CHARSET:
      return 1055;
    case VIETNAMESE_CHARSET:
      return 1066;
    case HEBREW_CHARSET:
      return 1037;
    case DEFAULT_CHARSET:
    case BALTIC_CHARSET:
    case ARABIC_CHARSET:
      return 0;
    default:
      return 1024;
  }
}

std::string AnsiToRawUnicode(TRDCodePage codePage, std::string_view s) {
  return WideStringToRawUnicode(CodePageToUtf16(codePage, s));
}

std::string RawUnicodeToAnsi(TRDCodePage codePage, std::string_view s) {
  if (IsMultiByteCodePage(codePage)) return Utf16ToMultiByte(codePage, RawUnicodeToWideString(s));
  const char16_t* table = UpperHalfOfCodePage(codePage);
  if (!table) table = UpperHalfOfCodePage(CP_ACP);
  const auto& reverse = ReverseTable(table);
  size_t count = s.size() / 2;
  std::string out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    char16_t u = RawUnicodeAt(s, i);
    if (u < 0x80) {
      out.push_back(char(u));
      continue;
    }
    auto it = reverse.find(u);
    if (it != reverse.end()) {
      out.push_back(it->second);
      continue;
    }
    // One '?' per character: a surrogate pair is a single character.
    if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(RawUnicodeAt(s, i + 1))) ++i;
    out.push_back('?');
  }
  return out;
}

void AppendUTF8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

std::string RawUnicodeToUTF8(std::string_view s) {
  std::string out;
  size_t count = s.size() / 2;
  for (size_t i = 0; i < count; ++i) {
    char16_t u = RawUnicodeAt(s, i);
    if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(RawUnicodeAt(s, i + 1))) {
      char16_t low = RawUnicodeAt(s, ++i);
      AppendUTF8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(low) - 0xDC00));
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      AppendUTF8(out, 0xFFFD);
    } else {
      AppendUTF8(out, u);
    }
  }
  return out;
}

std::string AnsiToUTF8(TRDCodePage codePage, std::string_view s) {
  return RawUnicodeToUTF8(AnsiToRawUnicode(codePage, s));
}

std::u16string RawUnicodeToWideString(std::string_view s) {
  std::u16string ws(s.size() / 2, u'\0');
  for (size_t i = 0; i < ws.size(); ++i) ws[i] = RawUnicodeAt(s, i);
  return ws;
}

std::string WideStringToRawUnicode(std::u16string_view ws) {
  std::string s;
  s.reserve(ws.size() * 2);
  for (char16_t u : ws) AppendRawUnicode(s, u);
  return s;
}

void SwapUnicodeBytes(std::string& s, size_t offset, int count) {
  for (int i = 0; i < count && offset + 1 < s.size(); ++i, offset += 2)
    std::swap(s[offset], s[offset + 1]);
}

void SkipUnicodeBOM(std::string& s, size_t& offset, int count) {
  if (count < 1 || offset + 1 >= s.size()) return;
  char16_t u = char16_t(std::uint8_t(s[offset]) | (std::uint8_t(s[offset + 1]) << 8));
  if (u == kByteOrderMark) {
    offset += 2;
  } else if (u == kSwappedByteOrderMark) {
    offset += 2;
    SwapUnicodeBytes(s, offset, count - 1);
  }
}

bool CanConvertToCodePage(TRDCodePage, std::string_view) {
  return false;
}

TRDCodePage GetKeyboardCodePage() {
  return kSystemCodePage;
}

std::string KeyboardAnsiToRawUnicode(std::string_view s) {
  return AnsiToRawUnicode(GetKeyboardCodePage(), s);
}

size_t FindWideChar(std::string_view s, size_t offset, char16_t ch, int count) {
  for (int i = 0; i < count && offset + 1 < s.size(); ++i, offset += 2)
    if (char16_t(std::uint8_t(s[offset]) | (std::uint8_t(s[offset + 1]) << 8)) == ch) return offset;
  return std::string_view::npos;
}

std::uint32_t MakeLocaleID(std::uint32_t langID, std::uint32_t sortID) {
  return (sortID << 16) | (langID & 0xFFFF);
}

std::uint32_t MakeLanguageID(std::uint32_t primary, std::uint32_t sub) {
  return primary | (sub << 10);
}

std::uint32_t LanguageToLocaleID(std::uint32_t primary) {
  constexpr std::uint32_t kDefaultSublanguage = 1;
  constexpr std::uint32_t kDefaultSort = 0;
  return MakeLocaleID(MakeLanguageID(primary, kDefaultSublanguage), kDefaultSort);
}

#include "platform/text/cp1252.h"

#include <array>

namespace {

// UTF-16 unit of every Windows-1252 byte. Only 0x80..0x9F differ from Latin-1; the
// five undefined bytes there keep their own value so that they round-trip.
constexpr std::array<char16_t, 256> kToUtf16 = {
    0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007,  // 0x00
    0x0008, 0x0009, 0x000A, 0x000B, 0x000C, 0x000D, 0x000E, 0x000F,  // 0x08
    0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0017,  // 0x10
    0x0018, 0x0019, 0x001A, 0x001B, 0x001C, 0x001D, 0x001E, 0x001F,  // 0x18
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027,  // 0x20
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,  // 0x28
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 0x30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  // 0x38
    0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,  // 0x40
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,  // 0x48
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,  // 0x50
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,  // 0x58
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,  // 0x60
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,  // 0x68
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,  // 0x70
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x007F,  // 0x78
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // 0xA8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // 0xB8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // 0xC0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // 0xC8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // 0xD0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // 0xD8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // 0xE0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // 0xE8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // 0xF0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // 0xF8
};

constexpr char kUnmappable = '?';
// Only the bytes from here to kFirstLatin1 differ from their Latin-1 meaning.
constexpr char16_t kFirstSpecial = 0x80;
constexpr char16_t kFirstLatin1 = 0xA0;
constexpr char16_t kLastByte = 0xFF;

bool IsSurrogateLead(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsSurrogateTrail(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

char ToByte(char16_t unit) {
  const bool sameInLatin1 = unit < kFirstSpecial || (unit >= kFirstLatin1 && unit <= kLastByte);
  if (sameInLatin1) return static_cast<char>(unit);
  for (char16_t byte = kFirstSpecial; byte < kFirstLatin1; ++byte) {
    if (kToUtf16[byte] == unit) return static_cast<char>(byte);
  }
  return kUnmappable;
}

constexpr long kNoCharacter = -1;

// The code point of the UTF-8 sequence that starts at text[at], at moved past it; or
// kNoCharacter when none does: a lone continuation byte, a lead byte without its
// continuation, an overlong form, a surrogate, or a value beyond U+10FFFF.
long NextUtf8(std::string_view text, size_t& at) {
  const auto byte = [&](size_t n) { return static_cast<unsigned char>(text[n]); };
  const unsigned char lead = byte(at);
  int length = 0;
  long code = 0;
  long least = 0;
  if (lead < 0x80) {
    return byte(at++);
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, least = 0x10000;
  } else {
    return kNoCharacter;
  }
  if (at + length > text.size()) return kNoCharacter;
  for (int n = 1; n < length; ++n) {
    if ((byte(at + n) & 0xC0) != 0x80) return kNoCharacter;
    code = (code << 6) | (byte(at + n) & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kNoCharacter;
  at += length;
  return code;
}

void AppendUtf16(std::u16string& text, long code) {
  if (code <= 0xFFFF) {
    text.push_back(static_cast<char16_t>(code));
  } else {
    const long beyond = code - 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (beyond >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (beyond & 0x3FF)));
  }
}

// A byte of a file name that is not part of UTF-8 stands as this plus the byte: a trail
// surrogate without its lead, which no character is.
constexpr char16_t kByteEscape = 0xDC00;

// Text as UTF-8; a surrogate without its partner, which no character is, becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text) {
  std::string utf8;
  utf8.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    long code = text[i];
    if (IsSurrogateLead(text[i]) && i + 1 < text.size() && IsSurrogateTrail(text[i + 1])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      utf8.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
      utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      utf8.push_back(static_cast<char>(0xF0 | (code >> 18)));
      utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return utf8;
}

bool InCp1252(char16_t unit) {
  return unit == kUnmappable || ToByte(unit) != kUnmappable;
}

// Bytes of text[at] in UTF-8: a surrogate pair's four shared between its two units, a
// lone surrogate the three of U+FFFD.
size_t Utf8Bytes(std::u16string_view text, size_t at) {
  const char16_t unit = text[at];
  if (unit < 0x80) return 1;
  if (unit < 0x800) return 2;
  const bool paired =
      (IsSurrogateLead(unit) && at + 1 < text.size() && IsSurrogateTrail(text[at + 1])) ||
      (IsSurrogateTrail(unit) && at > 0 && IsSurrogateLead(text[at - 1]));
  return paired ? 2 : 3;
}

}  // namespace

size_t SendableHeadLength(std::u16string_view Head, std::u16string_view Tail, size_t MaxBytes,
                          const std::vector<size_t>& Cuts) {
  size_t tail_utf8 = 0;
  bool narrow = true;
  for (size_t at = 0; at < Tail.size(); ++at) {
    tail_utf8 += Utf8Bytes(Tail, at);
    narrow = narrow && InCp1252(Tail[at]);
  }
  // A start that fits in UTF-8 fits whatever form the bytes take; one that fits only one
  // byte a character fits unless its bytes read as UTF-8, and then go out as such.
  size_t fits_utf8 = 0;
  size_t fits_narrow = 0;
  size_t utf8 = 0;
  size_t at = 0;
  for (const size_t cut : Cuts) {
    if (cut > Head.size()) break;
    for (; at < cut; ++at) {
      utf8 += Utf8Bytes(Head, at);
      narrow = narrow && InCp1252(Head[at]);
    }
    const bool fits_wide = utf8 + tail_utf8 <= MaxBytes;
    const bool fits_short = narrow && cut + Tail.size() <= MaxBytes;
    if (!fits_wide && !fits_short) break;
    if (fits_wide) fits_utf8 = cut;
    if (fits_short) fits_narrow = cut;
  }
  if (fits_narrow > fits_utf8) {
    std::u16string kept(Head.substr(0, fits_narrow));
    kept += Tail;
    if (TextToSend(kept).size() <= MaxBytes) return fits_narrow;
  }
  return fits_utf8;
}

std::string TextToSend(std::u16string_view typed) {
  std::string narrow = Utf16ToCp1252(typed);
  if (!IsUtf8Text(narrow) && Cp1252ToUtf16(narrow) == typed) return narrow;
  return Utf16ToUtf8(typed);
}

std::u16string ReceivedTextToUtf16(std::string_view text) {
  std::u16string shown;
  shown.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const long code = NextUtf8(text, at);
    if (code == kNoCharacter) return Cp1252ToUtf16(text);
    AppendUtf16(shown, code);
  }
  return shown;
}

std::u16string FileNameToUtf16(std::string_view name) {
  std::u16string wide;
  wide.reserve(name.size());
  for (size_t at = 0; at < name.size();) {
    const long code = NextUtf8(name, at);
    if (code != kNoCharacter) {
      AppendUtf16(wide, code);
    } else {
      wide.push_back(static_cast<char16_t>(kByteEscape + static_cast<unsigned char>(name[at++])));
    }
  }
  return wide;
}

std::string Utf16ToFileName(std::u16string_view name) {
  std::string bytes;
  bytes.reserve(name.size());
  size_t written = 0;  // name before this is in bytes
  for (size_t i = 0; i < name.size(); ++i) {
    const bool escaped_byte = name[i] >= kByteEscape + 0x80 && name[i] <= kByteEscape + 0xFF &&
                              !(i > 0 && IsSurrogateLead(name[i - 1]));
    if (!escaped_byte) continue;
    bytes += Utf16ToUtf8(name.substr(written, i - written));
    bytes += static_cast<char>(name[i] - kByteEscape);
    written = i + 1;
  }
  return bytes + Utf16ToUtf8(name.substr(written));
}

bool IsUtf8Text(std::string_view text) {
  bool beyond_ascii = false;
  for (size_t at = 0; at < text.size();) {
    const long code = NextUtf8(text, at);
    if (code == kNoCharacter) return false;
    beyond_ascii = beyond_ascii || code >= 0x80;
  }
  return beyond_ascii;
}

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (const char byte : text) wide.push_back(kToUtf16[static_cast<unsigned char>(byte)]);
  return wide;
}

std::string Utf16ToCp1252(std::u16string_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // A surrogate pair is one character outside the code page: one '?'.
    if (IsSurrogateLead(text[i]) && i + 1 < text.size() && IsSurrogateTrail(text[i + 1])) {
      narrow.push_back(kUnmappable);
      ++i;
      continue;
    }
    narrow.push_back(ToByte(text[i]));
  }
  return narrow;
}

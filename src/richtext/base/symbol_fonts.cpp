#include "richtext/base/symbol_fonts.h"

#include "platform/text/code_pages.h"
#include "platform/text/sysutils.h"

namespace {

// Symbol codes 32..254; 0 where the code stands for itself.
constexpr char16_t kSymbol[223] = {
    0,      0,      0x2200, 0,      0x2203, 0,      0,      0x220B, 0,      0,      0x2217, 0,
    0,      0x2212, 0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
    0,      0,      0,      0,      0,      0,      0,      0,      0x2245, 0x0391, 0x0392, 0x03A7,
    0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0,
    0x2234, 0,      0x22A5, 0,      0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03D5, 0x03B3,
    0x03B7, 0x03B9, 0x03C6, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
    0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0,      0,      0,      0x223C, 0,
    0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
    0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
    0,      0,      0,      0,      0,      0,      0,      0,      0x20AC, 0x03D2, 0x2032, 0x2264,
    0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248,
    0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9,
    0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3,
    0x23A7, 0x23A8, 0x23A9, 0x23AA, 0x20AC, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD};

struct WingdingsRange {
  unsigned char first, last;
  char16_t unicode;  // 0: code - offset
  int offset;
};

// Wingdings codes with a character of their own (the first range holding a code gives it);
// every other code is shown as a bullet. The bullets word processors offer come first:
// ❑ ❖ ➢ ✓.
constexpr WingdingsRange kWingdings[] = {
    {113, 113, 0x2751, 0}, {118, 118, 0x2756, 0}, {216, 216, 0x27A2, 0}, {252, 252, 0x2713, 0},
    {40, 40, 9742, 0},     {69, 69, 9756, 0},     {70, 70, 9758, 0},     {74, 74, 9786, 0},
    {82, 82, 9788, 0},     {92, 92, 2384, 0},     {107, 107, 38, 0},     {108, 108, 9679, 0},
    {109, 109, 9675, 0},   {161, 163, 9675, 0},   {166, 166, 9675, 0},   {110, 110, 9632, 0},
    {111, 114, 9633, 0},   {120, 122, 9633, 0},   {127, 127, 9633, 0},   {168, 168, 9633, 0},
    {253, 255, 9633, 0},   {115, 116, 9830, 0},   {119, 119, 9830, 0},   {117, 118, 9670, 0},
    {128, 138, 0, 80},     {139, 149, 0, 91},     {158, 158, 183, 0},    {159, 159, 8226, 0},
    {160, 160, 9642, 0},   {167, 167, 9642, 0},   {164, 165, 9678, 0},   {183, 194, 9678, 0},
    {169, 182, 9733, 0},   {213, 213, 9668, 0},   {215, 215, 9668, 0},   {219, 219, 9668, 0},
    {223, 223, 9668, 0},   {231, 231, 9668, 0},   {239, 239, 9668, 0},   {214, 214, 9658, 0},
    {220, 220, 9658, 0},   {224, 224, 9658, 0},   {232, 232, 9658, 0},   {240, 240, 9658, 0},
    {217, 217, 9650, 0},   {221, 221, 9650, 0},   {225, 225, 9650, 0},   {233, 233, 9650, 0},
    {241, 241, 9650, 0},   {218, 218, 9660, 0},   {222, 222, 9660, 0},   {226, 226, 9660, 0},
    {234, 234, 9660, 0},   {242, 242, 9660, 0},   {249, 250, 9643, 0}};

constexpr char16_t kBullet = 8226;

constexpr char16_t kPrivateSymbolFirst = 0xF000, kPrivateSymbolLast = 0xF0FF;
constexpr unsigned char kNoSymbolFirst = 0x80, kNoSymbolLast = 0x9F;

// OpenSymbol's own bullets in the private-use area (those of its bullet lists).
struct OpenSymbolBullet {
  char16_t code, unicode;
};
constexpr OpenSymbolBullet kOpenSymbolBullets[] = {
    {0xE001, 0x2666}, {0xE002, 0x2666}, {0xE003, 0x25C6}, {0xE004, 0x25C6}, {0xE005, 0x274D},
    {0xE006, 0x2794}, {0xE007, 0x2713}, {0xE008, 0x25CF}, {0xE009, 0x274D}, {0xE00A, 0x25A0},
    {0xE00B, 0x2750}, {0xE00C, 0x25C6}, {0xE00D, 0x2756}, {0xE00E, 0x2666}};

bool IsOpenSymbol(std::string_view fontName) {
  return SameText(fontName, "OpenSymbol") || SameText(fontName, "StarSymbol");
}

char16_t OpenSymbolToUnicode(char16_t c) {
  if (c >= kPrivateSymbolFirst && c <= kPrivateSymbolLast)
    return SymbolToUnicode(static_cast<unsigned char>(c & 0xFF));
  for (const OpenSymbolBullet& bullet : kOpenSymbolBullets)
    if (bullet.code == c) return bullet.unicode;
  return c;
}

}  // namespace

TRDSymbolFont SymbolFontOf(std::string_view fontName) {
  if (SameText(fontName, "Symbol")) return TRDSymbolFont::Symbol;
  if (SameText(fontName, "Wingdings")) return TRDSymbolFont::Wingdings;
  return TRDSymbolFont::None;
}

char16_t SymbolToUnicode(unsigned char code) {
  if (code >= kNoSymbolFirst && code <= kNoSymbolLast)
    return UpperHalfOfCodePage(1252)[code - kNoSymbolFirst];
  if (code < 32 || code > 254 || kSymbol[code - 32] == 0) return char16_t(code);
  return kSymbol[code - 32];
}

char16_t WingdingsToUnicode(unsigned char code) {
  for (const WingdingsRange& range : kWingdings)
    if (code >= range.first && code <= range.last)
      return range.unicode ? range.unicode : char16_t(code - range.offset);
  return kBullet;
}

std::u16string SymbolFontToUnicode(TRDSymbolFont font, std::u16string_view text) {
  std::u16string out(text);
  if (font == TRDSymbolFont::None) return out;
  for (char16_t& c : out) {
    // Tabs and breaks are no characters of the font.
    if (c < u' ' || (c > 0xFF && (c < kPrivateSymbolFirst || c > kPrivateSymbolLast))) continue;
    const auto code = static_cast<unsigned char>(c & 0xFF);
    c = font == TRDSymbolFont::Symbol ? SymbolToUnicode(code) : WingdingsToUnicode(code);
  }
  return out;
}

std::u16string ExportedFontText(std::string_view fontName, std::u16string_view text) {
  if (!IsOpenSymbol(fontName)) return SymbolFontToUnicode(SymbolFontOf(fontName), text);
  std::u16string out(text);
  for (char16_t& c : out) c = OpenSymbolToUnicode(c);
  return out;
}

std::u16string ExportedFontText(std::string_view fontName, int codePage, std::string_view text) {
  if (SymbolFontOf(fontName) == TRDSymbolFont::None)
    return ExportedFontText(fontName, CodePageToUtf16(codePage, text));
  std::u16string codes(text.size(), u'\0');  // each byte is a code of the font
  for (size_t i = 0; i < text.size(); ++i) codes[i] = static_cast<unsigned char>(text[i]);
  return SymbolFontToUnicode(SymbolFontOf(fontName), codes);
}

std::u16string ShownBulletText(std::string_view fontName, std::u16string_view text) {
  return ExportedFontText(IsExportMappedFont(fontName) ? fontName : "OpenSymbol", text);
}

bool IsExportMappedFont(std::string_view fontName) {
  return SymbolFontOf(fontName) != TRDSymbolFont::None || IsOpenSymbol(fontName);
}

const char* SymbolFontStandIn() {
  return "DejaVu Sans";
}

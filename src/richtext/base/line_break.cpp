#include "richtext/base/line_break.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

using C = TRDLineBreakClass;

struct ClassRange {
  char16_t first;
  char16_t last;
  C cls;
};

// Characters with a class of their own, checked first (sorted, not overlapping).
constexpr ClassRange kSpecificClasses[] = {
    {0x0000, 0x0008, C::CM}, {0x0009, 0x0009, C::BA}, {0x000B, 0x000B, C::CM},
    {0x000E, 0x001F, C::CM}, {0x0021, 0x0021, C::EX}, {0x0022, 0x0022, C::QU},
    {0x0024, 0x0024, C::PR}, {0x0025, 0x0025, C::PO}, {0x0027, 0x0027, C::QU},
    {0x0028, 0x0028, C::OP}, {0x0029, 0x0029, C::CL}, {0x002B, 0x002B, C::PR},
    {0x002C, 0x002C, C::IS}, {0x002D, 0x002D, C::HY}, {0x002E, 0x002E, C::IS},
    {0x002F, 0x002F, C::SY}, {0x003A, 0x003B, C::IS}, {0x003F, 0x003F, C::EX},
    {0x005B, 0x005B, C::OP}, {0x005C, 0x005C, C::PR}, {0x005D, 0x005D, C::CL},
    {0x007B, 0x007B, C::OP}, {0x007C, 0x007C, C::BA}, {0x007D, 0x007D, C::CL},
    {0x007F, 0x009F, C::CM}, {0x00A0, 0x00A0, C::GL}, {0x00A2, 0x00A2, C::PO},
    {0x00A3, 0x00A5, C::PR}, {0x00AB, 0x00AB, C::QU}, {0x00AD, 0x00AD, C::BA},
    {0x00B0, 0x00B0, C::PO}, {0x00B1, 0x00B1, C::PR}, {0x00B4, 0x00B4, C::BB},
    {0x00BB, 0x00BB, C::QU}, {0x02C8, 0x02C8, C::BB}, {0x02CC, 0x02CC, C::BB},
    {0x0300, 0x034F, C::CM}, {0x0360, 0x036F, C::CM}, {0x0483, 0x0489, C::CM},
    {0x0589, 0x0589, C::IS}, {0x058A, 0x058A, C::BA}, {0x0591, 0x05BD, C::CM},
    {0x05BF, 0x05BF, C::CM}, {0x05C1, 0x05C2, C::CM}, {0x05C4, 0x05C4, C::CM},
    {0x064B, 0x0658, C::CM}, {0x0670, 0x0670, C::CM}, {0x06D6, 0x06E4, C::CM},
    {0x06E7, 0x06E8, C::CM}, {0x06EA, 0x06ED, C::CM}, {0x0711, 0x0711, C::CM},
    {0x0730, 0x074A, C::CM}, {0x07A6, 0x07B0, C::CM}, {0x0901, 0x0903, C::CM},
    {0x093C, 0x093C, C::CM}, {0x093E, 0x094D, C::CM}, {0x0951, 0x0954, C::CM},
    {0x0962, 0x0963, C::CM}, {0x0981, 0x0983, C::CM}, {0x09BC, 0x09BC, C::CM},
    {0x09BE, 0x09CD, C::CM}, {0x09D7, 0x09D7, C::CM}, {0x09E2, 0x09E3, C::CM},
    {0x09F2, 0x09F3, C::PR}, {0x0A01, 0x0A03, C::CM}, {0x0A3C, 0x0A4D, C::CM},
    {0x0A70, 0x0A71, C::CM}, {0x0A81, 0x0A83, C::CM}, {0x0ABC, 0x0ABC, C::CM},
    {0x0ABE, 0x0ACD, C::CM}, {0x0AE2, 0x0AE3, C::CM}, {0x0B01, 0x0B03, C::CM},
    {0x0B3C, 0x0B3C, C::CM}, {0x0B3E, 0x0B57, C::CM}, {0x0B82, 0x0B82, C::CM},
    {0x0BBE, 0x0BD7, C::CM}, {0x0C01, 0x0C03, C::CM}, {0x0C3E, 0x0C56, C::CM},
    {0x0C82, 0x0C83, C::CM}, {0x0CBC, 0x0CBC, C::CM}, {0x0CBE, 0x0CD6, C::CM},
    {0x0D02, 0x0D03, C::CM}, {0x0D3E, 0x0D57, C::CM}, {0x0D82, 0x0D83, C::CM},
    {0x0DCA, 0x0DF3, C::CM}, {0x0E31, 0x0E31, C::CM}, {0x0E34, 0x0E3A, C::CM},
    {0x0E3F, 0x0E3F, C::PR}, {0x0E47, 0x0E4E, C::CM}, {0x0E5A, 0x0E5B, C::NS},
    {0x0EB1, 0x0EB1, C::CM}, {0x0EB4, 0x0EBC, C::CM}, {0x0EC8, 0x0ECD, C::CM},
    {0x0F0B, 0x0F0B, C::BA}, {0x0F0C, 0x0F0C, C::GL}, {0x0F18, 0x0F19, C::CM},
    {0x0F35, 0x0F35, C::CM}, {0x0F37, 0x0F37, C::CM}, {0x0F39, 0x0F39, C::CM},
    {0x0F3A, 0x0F3A, C::OP}, {0x0F3B, 0x0F3B, C::CL}, {0x0F3C, 0x0F3C, C::OP},
    {0x0F3D, 0x0F3D, C::CL}, {0x0F3E, 0x0F3F, C::CM}, {0x0F71, 0x0F84, C::CM},
    {0x0F86, 0x0F87, C::CM}, {0x0F90, 0x0FBC, C::CM}, {0x0FC6, 0x0FC6, C::CM},
    {0x102C, 0x1039, C::CM}, {0x1056, 0x1059, C::CM}, {0x1160, 0x11A2, C::CM},
    {0x11A8, 0x11F9, C::CM}, {0x1361, 0x1361, C::BA}, {0x1680, 0x1680, C::BA},
    {0x169B, 0x169B, C::OP}, {0x169C, 0x169C, C::CL}, {0x1712, 0x1714, C::CM},
    {0x1732, 0x1734, C::CM}, {0x1752, 0x1753, C::CM}, {0x1772, 0x1773, C::CM},
    {0x17B4, 0x17D3, C::CM}, {0x17D4, 0x17D4, C::NS}, {0x17D5, 0x17D5, C::BA},
    {0x17D6, 0x17DA, C::NS}, {0x17DB, 0x17DB, C::PR}, {0x1806, 0x1806, C::BB},
    {0x180B, 0x180E, C::CM}, {0x18A9, 0x18A9, C::CM}, {0x2000, 0x2006, C::BA},
    {0x2007, 0x2007, C::GL}, {0x2008, 0x200A, C::BA}, {0x200B, 0x200B, C::ZW},
    {0x200C, 0x200F, C::CM}, {0x2010, 0x2010, C::BA}, {0x2011, 0x2011, C::GL},
    {0x2012, 0x2013, C::BA}, {0x2014, 0x2014, C::B2}, {0x2018, 0x2019, C::QU},
    {0x201A, 0x201A, C::OP}, {0x201B, 0x201D, C::QU}, {0x201E, 0x201E, C::OP},
    {0x201F, 0x201F, C::QU}, {0x2024, 0x2026, C::IN}, {0x2027, 0x2027, C::BA},
    {0x202A, 0x202E, C::CM}, {0x202F, 0x202F, C::GL}, {0x2030, 0x2037, C::PO},
    {0x2039, 0x203A, C::QU}, {0x203C, 0x203C, C::NS}, {0x2044, 0x2044, C::NS},
    {0x2045, 0x2045, C::OP}, {0x2046, 0x2046, C::CL}, {0x205F, 0x205F, C::BA},
    {0x2060, 0x2060, C::GL}, {0x206A, 0x206F, C::CM}, {0x207D, 0x207D, C::OP},
    {0x207E, 0x207E, C::CL}, {0x208D, 0x208D, C::OP}, {0x208E, 0x208E, C::CL},
    {0x20A0, 0x20A6, C::PR}, {0x20A7, 0x20A7, C::PO}, {0x20A8, 0x20B1, C::PR},
    {0x20D0, 0x20EA, C::CM}, {0x2103, 0x2103, C::PO}, {0x2109, 0x2109, C::PO},
    {0x2116, 0x2116, C::PR}, {0x2126, 0x2126, C::PO}, {0x2212, 0x2213, C::PR},
    {0x2329, 0x2329, C::OP}, {0x232A, 0x232A, C::CL}, {0x23B4, 0x23B4, C::OP},
    {0x23B5, 0x23B5, C::CL}, {0x23B6, 0x23B6, C::QU}, {0x275B, 0x275E, C::QU},
    {0x2762, 0x2763, C::EX}, {0x3001, 0x3002, C::CL}, {0x3005, 0x3005, C::NS},
    {0x301C, 0x301C, C::NS}, {0x301D, 0x301D, C::OP}, {0x301E, 0x301F, C::CL},
    {0x302A, 0x302F, C::CM}, {0x303B, 0x303C, C::NS}, {0x3041, 0x3041, C::NS},
    {0x3043, 0x3043, C::NS}, {0x3045, 0x3045, C::NS}, {0x3047, 0x3047, C::NS},
    {0x3049, 0x3049, C::NS}, {0x3063, 0x3063, C::NS}, {0x3083, 0x3083, C::NS},
    {0x3085, 0x3085, C::NS}, {0x3087, 0x3087, C::NS}, {0x308E, 0x308E, C::NS},
    {0x3095, 0x3096, C::NS}, {0x3099, 0x309A, C::CM}, {0x309B, 0x309E, C::NS},
    {0x30A0, 0x30A1, C::NS}, {0x30A3, 0x30A3, C::NS}, {0x30A5, 0x30A5, C::NS},
    {0x30A7, 0x30A7, C::NS}, {0x30A9, 0x30A9, C::NS}, {0x30C3, 0x30C3, C::NS},
    {0x30E3, 0x30E3, C::NS}, {0x30E5, 0x30E5, C::NS}, {0x30E7, 0x30E7, C::NS},
    {0x30EE, 0x30EE, C::NS}, {0x30F5, 0x30F6, C::NS}, {0x30FB, 0x30FB, C::NS},
    {0x30FD, 0x30FD, C::NS}, {0x31F0, 0x31FF, C::NS}, {0xFB1E, 0xFB1E, C::CM},
    {0xFD3E, 0xFD3E, C::OP}, {0xFD3F, 0xFD3F, C::CL}, {0xFDFC, 0xFDFC, C::PO},
    {0xFE00, 0xFE0F, C::CM}, {0xFE20, 0xFE23, C::CM}, {0xFE50, 0xFE50, C::CL},
    {0xFE52, 0xFE52, C::CL}, {0xFE54, 0xFE55, C::NS}, {0xFE56, 0xFE57, C::EX},
    {0xFE69, 0xFE69, C::PR}, {0xFE6A, 0xFE6A, C::PO}, {0xFEFF, 0xFEFF, C::GL},
    {0xFF01, 0xFF01, C::EX}, {0xFF04, 0xFF04, C::PR}, {0xFF05, 0xFF05, C::PO},
    {0xFF08, 0xFF08, C::OP}, {0xFF09, 0xFF09, C::CL}, {0xFF0C, 0xFF0C, C::CL},
    {0xFF0E, 0xFF0E, C::CL}, {0xFF1A, 0xFF1B, C::NS}, {0xFF1F, 0xFF1F, C::EX},
    {0xFF3B, 0xFF3B, C::OP}, {0xFF3D, 0xFF3D, C::CL}, {0xFF5B, 0xFF5B, C::OP},
    {0xFF5D, 0xFF5D, C::CL}, {0xFF5F, 0xFF5F, C::OP}, {0xFF60, 0xFF61, C::CL},
    {0xFF62, 0xFF62, C::OP}, {0xFF63, 0xFF64, C::CL}, {0xFF65, 0xFF65, C::NS},
    {0xFF67, 0xFF70, C::NS}, {0xFF9E, 0xFF9F, C::NS}, {0xFFE0, 0xFFE0, C::PO},
    {0xFFE1, 0xFFE1, C::PR}, {0xFFE5, 0xFFE6, C::PR}, {0xFFF9, 0xFFFB, C::CM},
};

// Bracket blocks whose characters alternate opening and closing, starting with an opening one.
constexpr ClassRange kAlternatingBrackets[] = {
    {0x2768, 0x2775, C::OP}, {0x27E6, 0x27EB, C::OP}, {0x2983, 0x2998, C::OP},
    {0x29D8, 0x29DB, C::OP}, {0x29FC, 0x29FD, C::OP}, {0x3008, 0x3011, C::OP},
    {0x3014, 0x301B, C::OP}, {0xFE35, 0xFE44, C::OP}, {0xFE59, 0xFE5E, C::OP},
};

// The ten decimal digits of each script.
constexpr char16_t kDigitZeros[] = {0x0030, 0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66,
                                    0x0AE6, 0x0B66, 0x0C66, 0x0CE6, 0x0D66, 0x0E50,
                                    0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810};
constexpr ClassRange kOtherDigits[] = {{0x0BE7, 0x0BEF, C::NU}, {0x1369, 0x1371, C::NU}};

// Ideographic blocks; the characters of other classes inside them are matched before.
constexpr ClassRange kIdeographic[] = {
    {0x1100, 0x1159, C::ID}, {0x115F, 0x115F, C::ID}, {0x2E80, 0x2FFF, C::ID},
    {0x3000, 0x303F, C::ID}, {0x3040, 0x30FF, C::ID}, {0x3100, 0x31BF, C::ID},
    {0x3200, 0x33FF, C::ID}, {0x3400, 0x4DB5, C::ID}, {0x4E00, 0x9FA5, C::ID},
    {0xA000, 0xA48C, C::ID}, {0xA490, 0xA4C6, C::ID}, {0xAC00, 0xD7A3, C::ID},
    {0xF900, 0xFA2D, C::ID}, {0xFA30, 0xFA6A, C::ID}, {0xFE30, 0xFE6B, C::ID},
    {0xFF00, 0xFF60, C::ID}, {0xFFE0, 0xFFE6, C::ID},
};

template <size_t N>
const ClassRange* FindRange(const ClassRange (&ranges)[N], char16_t ch) {
  for (const ClassRange& r : ranges)
    if (ch >= r.first && ch <= r.last) return &r;
  return nullptr;
}

constexpr std::uint8_t D = kDirectBreak, I = kIndirectBreak, P = kProhibitedBreak;

// Row: class before the opportunity; column: class after it.
constexpr std::uint8_t kPairTable[kLineBreakClassCount][kLineBreakClassCount] = {
    //        OP CL QU GL NS EX SY IS PR PO NU AL ID IN HY BA BB B2 ZW CM
    /* OP */ {P, P, P, P, P, P, P, P, P, P, P, P, P, P, P, P, P, P, P, I},
    /* CL */ {D, P, I, I, I, P, P, P, I, I, D, D, D, D, I, I, D, D, P, I},
    /* QU */ {P, P, I, I, I, P, P, P, I, I, I, I, I, I, I, I, I, I, P, I},
    /* GL */ {I, P, I, I, I, P, P, P, I, I, I, I, I, I, I, I, I, I, P, I},
    /* NS */ {D, P, I, I, I, P, P, P, D, D, D, D, D, D, I, I, D, D, P, I},
    /* EX */ {D, P, I, I, I, P, P, P, D, D, D, D, D, D, I, I, D, D, P, I},
    /* SY */ {D, P, I, I, I, P, P, P, D, D, I, D, D, D, I, I, D, D, P, I},
    /* IS */ {D, P, I, I, I, P, P, P, D, D, I, D, D, D, I, I, D, D, P, I},
    /* PR */ {I, P, I, I, I, P, P, P, D, D, I, I, I, D, I, I, D, D, P, I},
    /* PO */ {D, P, I, I, I, P, P, P, D, D, D, D, D, D, I, I, D, D, P, I},
    /* NU */ {D, P, I, I, I, P, P, P, I, I, I, I, D, I, I, I, D, D, P, I},
    /* AL */ {D, P, I, I, I, P, P, P, D, D, I, I, D, I, I, I, D, D, P, I},
    /* ID */ {D, P, I, I, I, P, P, P, D, I, D, D, D, I, I, I, D, D, P, I},
    /* IN */ {D, P, I, I, I, P, P, P, D, D, D, D, D, I, I, I, D, D, P, I},
    /* HY */ {D, P, I, I, I, P, P, P, D, D, I, D, D, D, I, I, D, D, P, I},
    /* BA */ {D, P, I, I, I, P, P, P, D, D, D, D, D, D, I, I, D, D, P, I},
    /* BB */ {I, P, I, I, I, P, P, P, I, I, I, I, I, I, I, I, I, I, P, I},
    /* B2 */ {D, P, I, I, I, P, P, P, D, D, D, D, D, D, I, I, D, P, P, I},
    /* ZW */ {D, D, D, D, D, D, D, D, D, D, D, D, D, D, D, D, D, D, P, D},
    /* CM */ {D, P, I, I, I, P, P, P, D, D, I, I, D, I, I, I, D, D, P, I},
};

bool IsSpace(char16_t ch) {
  return ch == u' ';
}

}  // namespace

TRDLineBreakClass GetLineBreakClass(char16_t ch) {
  auto specific = std::lower_bound(std::begin(kSpecificClasses), std::end(kSpecificClasses), ch,
                                   [](const ClassRange& r, char16_t c) { return r.last < c; });
  if (specific != std::end(kSpecificClasses) && ch >= specific->first) return specific->cls;
  if (const ClassRange* r = FindRange(kAlternatingBrackets, ch))
    return (ch - r->first) % 2 == 0 ? C::OP : C::CL;
  for (char16_t zero : kDigitZeros)
    if (ch >= zero && ch <= zero + 9) return C::NU;
  if (FindRange(kOtherDigits, ch)) return C::NU;
  if (FindRange(kIdeographic, ch)) return C::ID;
  return C::AL;
}

std::uint8_t LineBreakAction(TRDLineBreakClass before, TRDLineBreakClass after) {
  return kPairTable[int(before)][int(after)];
}

int FindLineBreakW(std::u16string_view text, int index, bool skipSpaceAtIndex) {
  if (index < 0 || index >= int(text.size())) return kNoLineBreak;
  if (skipSpaceAtIndex && IsSpace(text[size_t(index)])) {
    if (index == 0) return kNoLineBreak;
    --index;
  }
  TRDLineBreakClass after = GetLineBreakClass(text[size_t(index)]);
  int i = index - 1;
  for (; i >= 0; --i) {
    if (IsSpace(text[size_t(i)])) continue;
    TRDLineBreakClass before = GetLineBreakClass(text[size_t(i)]);
    std::uint8_t action = LineBreakAction(before, after);
    if (action == kIndirectBreak && !IsSpace(text[size_t(i) + 1])) action = kProhibitedBreak;
    if (action < kProhibitedBreak) break;
    after = before;
  }
  if (i < 0) return kNoLineBreak;
  while (i + 1 < index && IsSpace(text[size_t(i) + 1])) ++i;
  return i;
}

bool StaysWithPrevious(char16_t unit) {
  if (unit >= 0xDC00 && unit <= 0xDFFF) return true;
  // The combining class holds control and format characters as well, which stand alone.
  if (unit < 0x0300 || (unit >= 0x200E && unit <= 0x200F) || (unit >= 0x202A && unit <= 0x202E) ||
      (unit >= 0x206A && unit <= 0x206F) || (unit >= 0xFFF9 && unit <= 0xFFFB))
    return false;
  return GetLineBreakClass(unit) == TRDLineBreakClass::CM;
}

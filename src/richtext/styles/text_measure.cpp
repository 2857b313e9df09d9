#include "richtext/styles/text_measure.h"

#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/style_types.h"
#include "richtext/styles/text_style.h"

namespace {

constexpr char16_t kZeroWidthSpace = 0x200B;
constexpr char16_t kZeroWidthJoiner = 0x200D;
constexpr char16_t kWordJoiner = 0x2060;
constexpr char16_t kSoftHyphen = 0x00AD;
constexpr char16_t kNotSign = 0x00AC;

char16_t UpperOf(char16_t c) {
  if (c >= u'a' && c <= u'z') return char16_t(c - 32);
  if ((c >= 0x00E0 && c <= 0x00FE && c != 0x00F7)) return char16_t(c - 32);
  if (c == 0x00FF) return 0x0178;
  if (c >= 0x0100 && c <= 0x017F) {
    // Latin Extended-A pairs: upper case even, lower case odd, except the shifted runs.
    bool oddRun = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
    if (oddRun ? (c % 2 == 0) : (c % 2 == 1)) return char16_t(c - 1);
    return c;
  }
  if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) return char16_t(c - 32);
  if (c >= 0x0430 && c <= 0x044F) return char16_t(c - 32);
  if (c >= 0x0450 && c <= 0x045F) return char16_t(c - 80);
  return c;
}

}  // namespace

int GetZeroWidthSpaceWidth(TRDCanvas& canvas) {
  return canvas.TextWidthW(std::u16string(1, kZeroWidthSpace));
}
int GetZeroWidthJoinerWidth(TRDCanvas& canvas) {
  return canvas.TextWidthW(std::u16string(1, kZeroWidthJoiner));
}
int GetWordJoinerWidth(TRDCanvas& canvas) {
  return canvas.TextWidthW(std::u16string(1, kWordJoiner));
}

namespace {

// Which of the three zero-width characters ch is (0, 1, 2), -1 for any other.
int ZeroWidthKind(char16_t ch) {
  return ch == kZeroWidthSpace ? 0 : ch == kZeroWidthJoiner ? 1 : ch == kWordJoiner ? 2 : -1;
}

// What the font gives a zero-width character of the kind, measured when first asked.
int ReportedZeroWidth(TRDCanvas& canvas, char16_t ch, int (&widths)[3]) {
  int& width = widths[ZeroWidthKind(ch)];
  if (width < 0) width = canvas.TextWidthW(std::u16string(1, ch));
  return width;
}

}  // namespace

int GetTextExtentWithoutZeroWidth(TRDCanvas& canvas, std::u16string_view text) {
  int width = canvas.TextWidthW(text);
  int zeroWidths[3] = {-1, -1, -1};
  for (char16_t ch : text)
    if (ZeroWidthKind(ch) >= 0) width -= ReportedZeroWidth(canvas, ch, zeroWidths);
  return width;
}

TItemTextPrefixes::TItemTextPrefixes(TRDCanvas& canvas, std::u16string_view text)
    : canvas_(canvas), text_(text), widths_(canvas.TextPrefixesW(text)) {}

int TItemTextPrefixes::Width(size_t count) {
  for (; scanned_ < count; ++scanned_)
    if (ZeroWidthKind(text_[scanned_]) >= 0) zero_width_at_.push_back(scanned_);
  int width = widths_->Width(count);
  for (size_t at : zero_width_at_) {
    if (at >= count) break;
    width -= ReportedZeroWidth(canvas_, text_[at], zero_widths_);
  }
  return width;
}

int GetItemTextWidth(std::string_view s, TRDCanvas& canvas, TRDItemOptions options) {
  if (IsUnicodeItem(options))
    return GetTextExtentWithoutZeroWidth(canvas, RawUnicodeToWideString(s));
  return canvas.TextWidthA(s);
}

int MeasureTextFit(TRDCanvas& canvas, std::string_view s, int maxExtent,
                   std::vector<int>* partialExtents, TRDItemOptions options) {
  std::vector<int> extents;
  if (IsUnicodeItem(options)) {
    std::u16string text = RawUnicodeToWideString(s);
    canvas.PrefixWidthsW(text, extents);
    // A zero-width character whose own extent is not 0 gives that extent back, here and
    // in every extent after it.
    int givenBack = 0;
    int previous = 0;
    for (size_t i = 0; i < extents.size(); ++i) {
      const int measured = extents[i];
      if (IsZeroWidthChar(text[i])) givenBack += measured - previous;
      previous = measured;
      extents[i] = measured - givenBack;
    }
  } else {
    canvas.PrefixWidthsA(s, extents);
  }
  const int count = int(extents.size());
  int fit = 0;
  while (fit < count && extents[size_t(fit)] <= maxExtent) ++fit;
  if (partialExtents) *partialExtents = std::move(extents);
  return fit;
}

std::u16string UnicodeUpperCase(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = UpperOf(c);
  return out;
}

std::string GetTextForDisplay(std::string_view s, const TCustomRDFontInfo& fontInfo, bool unicode,
                              bool atLineEnd, bool removeZeroWidth, bool showSoftHyphens) {
  const bool allCaps = (fontInfo.StyleEx & rdfsAllCaps) != 0;
  if (!unicode) return allCaps ? AnsiUpperCase(s) : std::string(s);
  std::u16string text = RawUnicodeToWideString(s);
  if (allCaps) text = UnicodeUpperCase(text);
  const bool shown = showSoftHyphens && (RDShownSpecialChars & rdskSoftHyphen) != 0;
  // A soft hyphen that ends a wrapped line is drawn as a hyphen; fonts draw U+00AD itself
  // as nothing, so it becomes a hyphen-minus.
  const bool hyphenAtEnd = atLineEnd && !shown && !text.empty() && text.back() == kSoftHyphen;
  for (char16_t& c : text)
    if (c == kSoftHyphen) c = shown ? kNotSign : kZeroWidthSpace;
  if (hyphenAtEnd) text.back() = u'-';
  if (removeZeroWidth) std::erase_if(text, IsZeroWidthChar);
  return WideStringToRawUnicode(text);
}

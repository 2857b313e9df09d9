#include "richtext/base/text_routines.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

namespace {

constexpr int kScreenPixelsPerInch = 96;

}  // namespace

TRDTag CopyItemTag(const TRDTag& tag, bool tagsArePChars) {
  if (tagsArePChars) return TRDTag{0, tag.Text};
  return TRDTag{tag.Number, std::nullopt};
}

bool CompareItemTags(const TRDTag& tag1, const TRDTag& tag2, bool tagsArePChars) {
  if (!tagsArePChars) return tag1.Number == tag2.Number;
  if (!tag1.Text || !tag2.Text) return !tag1.Text && !tag2.Text;
  return *tag1.Text == *tag2.Text;
}

std::string ReplaceTabs(std::string_view s, int spaceCount) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == '\t')
      out.append(size_t(std::max(spaceCount, 0)), ' ');
    else
      out.push_back(c);
  }
  return out;
}

std::string ReplaceTabsW(std::string_view s, int spaceCount) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    if (s[i] == '\t' && s[i + 1] == '\0') {
      for (int k = 0; k < spaceCount; ++k) out += std::string_view(" \0", 2);
    } else {
      out.push_back(s[i]);
      out.push_back(s[i + 1]);
    }
  }
  return out;
}

int FindCharInBuf(std::string_view buffer, char ch, int len) {
  size_t limit = std::min(buffer.size(), size_t(std::max(len, 0)));
  size_t pos = buffer.substr(0, limit).find(ch);
  return pos == std::string_view::npos ? 0 : int(pos) + 1;
}

void ReplaceAllFromStart(std::string& s, std::string_view oldText, std::string_view newText) {
  if (oldText.empty()) return;
  // Restarting from the start never ends when the replacement holds the old text.
  if (newText.find(oldText) != std::string_view::npos) {
    ReplaceAllForward(s, oldText, newText);
    return;
  }
  for (size_t pos = s.find(oldText); pos != std::string::npos; pos = s.find(oldText))
    s.replace(pos, oldText.size(), newText);
}

void ReplaceAllStr(std::string& s, std::string_view oldText, std::string_view newText) {
  ReplaceAllForward(s, oldText, newText);
}

void ReplaceAllForward(std::string& s, std::string_view oldText, std::string_view newText) {
  if (oldText.empty()) return;
  for (size_t pos = s.find(oldText); pos != std::string::npos; pos = s.find(oldText, pos)) {
    s.replace(pos, oldText.size(), newText);
    pos += newText.size();
  }
}

void AppendWithSeparator(std::string& s, std::string_view add, std::string_view separator) {
  if (s.empty()) {
    s = add;
  } else if (!add.empty()) {
    s += separator;
    s += add;
  }
}

void AppendWithSpace(std::string& s, std::string_view add) {
  AppendWithSeparator(s, add, " ");
}

void ReplaceCharsInSet(std::string& s, char newChar, std::string_view charSet) {
  for (char& c : s)
    if (charSet.find(c) != std::string_view::npos) c = newChar;
}

void PrefixCharsInSet(std::string& s, std::string_view prefix, std::string_view charSet) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (charSet.find(c) != std::string_view::npos) out += prefix;
    out.push_back(c);
  }
  s = std::move(out);
}

std::string DecodePercentEscapes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && AsciiHexValue(s[i + 1]) >= 0 &&
        AsciiHexValue(s[i + 2]) >= 0) {
      out.push_back(char(HexDigitValue(s[i + 1]) * 16 + HexDigitValue(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

int HexDigitValue(char ch) {
  return std::max(AsciiHexValue(ch), 0);
}

bool IsPointInBox(int x, int y, int left, int top, int width, int height) {
  return left <= x && x < left + width && top <= y && y < top + height;
}

bool IsURL(std::string_view s) {
  static constexpr std::string_view kPrefixes[] = {
      "http://", "ftp://",  "file://", "gopher://", "mailto:", "https://",
      "news:",   "telnet:", "wais:",   "www.",      "ftp."};
  const std::string lower = LowerCase(s);
  for (std::string_view prefix : kPrefixes)
    if (lower.size() > prefix.size() && lower.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

bool IsEmailAddress(std::string_view s) {
  size_t at = s.find('@');
  if (at == std::string_view::npos) return false;
  size_t dot = s.rfind('.');
  return dot != std::string_view::npos && dot >= at;
}

int RDMulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  std::int64_t numerator = std::int64_t(a) * b;
  std::int64_t denominator = c;
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  std::int64_t quotient = numerator / denominator;
  std::int64_t remainder = numerator % denominator;
  if (2 * std::llabs(remainder) >= denominator) quotient += numerator < 0 ? -1 : 1;
  return int(quotient);
}

int ScreenToDeviceX(int value, const TRDResolution& r) {
  return RDMulDiv(value, r.DevicePixelsPerInchX, r.ScreenPixelsPerInchX);
}
int ScreenToDeviceY(int value, const TRDResolution& r) {
  return RDMulDiv(value, r.DevicePixelsPerInchY, r.ScreenPixelsPerInchY);
}
int ScaleByRatioX(int value, const TRDResolution& r) {
  return RDMulDiv(value, r.ScreenPixelsPerInchX, r.DevicePixelsPerInchX);
}
int ScaleByRatioY(int value, const TRDResolution& r) {
  return RDMulDiv(value, r.ScreenPixelsPerInchY, r.DevicePixelsPerInchY);
}

void ScaleRectToScreen(TRect& rect, const TRDResolution& r) {
  rect.Left = ScaleByRatioX(rect.Left, r);
  rect.Right = ScaleByRatioX(rect.Right, r);
  rect.Top = ScaleByRatioY(rect.Top, r);
  rect.Bottom = ScaleByRatioY(rect.Bottom, r);
}

int GetScreenLogPixelsX() {
  return kScreenPixelsPerInch;
}

int GetScreenLogPixelsY() {
  return kScreenPixelsPerInch;
}

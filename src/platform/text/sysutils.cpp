#include "platform/text/sysutils.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "platform/text/ascii.h"

char DecimalSeparator = '.';

namespace {

int Sign(int difference) {
  return (difference > 0) - (difference < 0);
}

// Integers as StrToInt reads them; false on any malformed or out-of-range text.
bool ParseInteger(std::string_view text, int& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return false;
  // Hex texts may spell all 32 bits ("$FFFFFFFF" is -1); decimal ones must fit int.
  const long long limit =
      hex ? 0xFFFFFFFFLL : (negative ? -static_cast<long long>(INT_MIN) : INT_MAX);
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = hex ? AsciiHexValue(text[i]) : (IsAsciiDigit(text[i]) ? text[i] - '0' : -1);
    if (digit < 0) return false;
    magnitude = magnitude * (hex ? 16 : 10) + digit;
    if (magnitude > limit) return false;
  }
  const long long signedValue = negative ? -magnitude : magnitude;
  value = static_cast<int>(static_cast<uint32_t>(signedValue));
  return true;
}

// Floats as StrToFloat reads them: [sign] digits [sep digits] [e [sign] digits], at least
// one mantissa digit, blanks around. from_chars does the conversion after the separator
// has been turned into '.', so the result never depends on the C locale.
bool ParseFloat(std::string_view text, double& value) {
  const std::string trimmed = Trim(text);
  std::string normal;
  size_t i = 0;
  if (i < trimmed.size() && (trimmed[i] == '-' || trimmed[i] == '+')) {
    if (trimmed[i] == '-') normal.push_back('-');
    ++i;
  }
  int mantissaDigits = 0;
  bool separatorSeen = false;
  for (; i < trimmed.size(); ++i) {
    const char c = trimmed[i];
    if (IsAsciiDigit(c)) {
      ++mantissaDigits;
      normal.push_back(c);
    } else if (c == DecimalSeparator && !separatorSeen) {
      separatorSeen = true;
      normal.push_back('.');
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < trimmed.size() && (trimmed[i] == 'e' || trimmed[i] == 'E')) {
    normal.push_back('e');
    ++i;
    if (i < trimmed.size() && (trimmed[i] == '-' || trimmed[i] == '+'))
      normal.push_back(trimmed[i++]);
    int exponentDigits = 0;
    for (; i < trimmed.size() && IsAsciiDigit(trimmed[i]); ++i, ++exponentDigits) {
      normal.push_back(trimmed[i]);
    }
    if (exponentDigits == 0) return false;
  }
  if (i != trimmed.size()) return false;
  double parsed = 0;
  const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), parsed);
  if (error != std::errc() || end != normal.data() + normal.size()) return false;
  value = parsed;
  return true;
}

void UseDecimalSeparator(std::string& number) {
  std::replace(number.begin(), number.end(), '.', DecimalSeparator);
}

// The integer part of a fixed-point text gets a ',' between each group of three digits.
std::string GroupThousands(const std::string& digits) {
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

// Windows-1252 case pairs outside ASCII: 0xC0-0xDE with 0xE0-0xFE (bar the
// multiplication and division signs 0xD7/0xF7), and Š Œ Ž Ÿ with š œ ž ÿ.
constexpr unsigned char kFirstLatinUpper = 0xC0;  // À
constexpr unsigned char kLastLatinUpper = 0xDE;   // Þ
constexpr unsigned char kLatinCaseDistance = 0x20;
constexpr unsigned char kFirstNonAscii = 0x80;
constexpr unsigned char kMultiplicationSign = 0xD7;
constexpr unsigned char kDivisionSign = 0xF7;
constexpr unsigned char kUpperLowerPairs[][2] = {
    {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};

char AnsiUpper(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code < kFirstNonAscii) return AsciiUpper(c);
  if (code >= kFirstLatinUpper + kLatinCaseDistance &&
      code <= kLastLatinUpper + kLatinCaseDistance && code != kDivisionSign) {
    return static_cast<char>(code - kLatinCaseDistance);
  }
  for (const auto& pair : kUpperLowerPairs) {
    if (code == pair[1]) return static_cast<char>(pair[0]);
  }
  return c;
}

char AnsiLower(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code < kFirstNonAscii) return AsciiLower(c);
  if (code >= kFirstLatinUpper && code <= kLastLatinUpper && code != kMultiplicationSign) {
    return static_cast<char>(code + kLatinCaseDistance);
  }
  for (const auto& pair : kUpperLowerPairs) {
    if (code == pair[0]) return static_cast<char>(pair[1]);
  }
  return c;
}

}  // namespace

std::string IntToStr(long long value) {
  return std::to_string(value);
}

std::string IntToHexBits(std::uint64_t bits, int bitWidth, int digits) {
  if (bitWidth < 64) bits &= (std::uint64_t{1} << bitWidth) - 1;
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string hex;
  do {
    hex.insert(hex.begin(), kHexDigits[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  if (static_cast<int>(hex.size()) < digits) hex.insert(0, digits - hex.size(), '0');
  return hex;
}

int StrToInt(std::string_view text) {
  int value = 0;
  if (!ParseInteger(text, value)) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  }
  return value;
}

int StrToIntDef(std::string_view text, int fallback) {
  int value = 0;
  return ParseInteger(text, value) ? value : fallback;
}

bool TryStrToInt(std::string_view text, int& value) {
  return ParseInteger(text, value);
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  // "1.5e-05" -> "1.5E-5", "1e+20" -> "1E20".
  const size_t exponent = text.find('e');
  if (exponent != std::string::npos) {
    std::string mantissa = text.substr(0, exponent);
    const bool negative = text[exponent + 1] == '-';
    size_t firstDigit = exponent + 2;
    while (firstDigit + 1 < text.size() && text[firstDigit] == '0') ++firstDigit;
    text = mantissa + "E" + (negative ? "-" : "") + text.substr(firstDigit);
  }
  UseDecimalSeparator(text);
  return text;
}

double StrToFloat(std::string_view text) {
  double value = 0;
  if (!ParseFloat(text, value)) {
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  }
  return value;
}

double StrToFloatDef(std::string_view text, double fallback) {
  double value = 0;
  return ParseFloat(text, value) ? value : fallback;
}

bool TryStrToFloat(std::string_view text, double& value) {
  return ParseFloat(text, value);
}

std::string FormatFloat(std::string_view picture, double value) {
  std::string prefix, suffix;
  int integerZeros = 0, decimalZeros = 0, decimalPlaces = 0;
  bool thousands = false, inDecimals = false, placeholderSeen = false;
  for (size_t i = 0; i < picture.size(); ++i) {
    const char c = picture[i];
    std::string literal;
    if (c == '0' || c == '#') {
      placeholderSeen = true;
      if (inDecimals) {
        ++decimalPlaces;
        if (c == '0') decimalZeros = decimalPlaces;
      } else if (c == '0') {
        ++integerZeros;
      }
      continue;
    }
    if (c == '.' && !inDecimals) {
      inDecimals = true;
      continue;
    }
    if (c == ',' && !inDecimals) {
      thousands = true;
      continue;
    }
    if (c == '"' || c == '\'') {
      const size_t close = picture.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? picture.size() : close;
      literal = picture.substr(i + 1, end - i - 1);
      i = end;
    } else {
      literal = c;
    }
    (placeholderSeen ? suffix : prefix) += literal;
  }

  char buffer[400];  // room for the largest double in fixed notation
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::fixed, decimalPlaces);
  const std::string fixed(buffer, result.ptr);
  const size_t point = fixed.find('.');
  std::string integer = fixed.substr(0, point);
  std::string decimals = point == std::string::npos ? "" : fixed.substr(point + 1);
  while (static_cast<int>(decimals.size()) > decimalZeros && decimals.back() == '0') {
    decimals.pop_back();
  }
  const bool allZero =
      std::all_of(fixed.begin(), fixed.end(), [](char c) { return c == '0' || c == '.'; });
  if (integer == "0") integer.clear();
  if (static_cast<int>(integer.size()) < integerZeros) {
    integer.insert(0, integerZeros - integer.size(), '0');
  }
  if (thousands) integer = GroupThousands(integer);
  std::string number = (value < 0 && !allZero) ? "-" : "";
  number += integer;
  if (!decimals.empty()) number += DecimalSeparator + decimals;
  return prefix + number + suffix;
}

// One copy: the packet path trims several texts of every line.
std::string Trim(std::string_view text) {
  size_t first = 0;
  size_t end = text.size();
  while (end > 0 && IsBlankOrControl(text[end - 1])) --end;
  while (first < end && IsBlankOrControl(text[first])) ++first;
  return std::string(text.substr(first, end - first));
}

std::string TrimLeft(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && IsBlankOrControl(text[first])) ++first;
  return std::string(text.substr(first));
}

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlankOrControl(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string UpperCase(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), AsciiUpper);
  return result;
}

std::string LowerCase(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), AsciiLower);
  return result;
}

std::string AnsiUpperCase(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), AnsiUpper);
  return result;
}

std::string AnsiLowerCase(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), AnsiLower);
  return result;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const int difference =
        static_cast<unsigned char>(AsciiUpper(a[i])) - static_cast<unsigned char>(AsciiUpper(b[i]));
    if (difference != 0) return Sign(difference);
  }
  return Sign(static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size()));
}

int CompareStr(std::string_view a, std::string_view b) {
  return Sign(a.compare(b));
}

bool SameText(std::string_view a, std::string_view b) {
  return CompareText(a, b) == 0;
}

int Pos(std::string_view sub, std::string_view text) {
  if (sub.empty()) return 0;
  const size_t found = text.find(sub);
  return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

std::string Copy(std::string_view text, int index, int count) {
  const long long first = std::max(index, 1) - 1LL;
  if (count <= 0 || first >= static_cast<long long>(text.size())) return {};
  return std::string(text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

void Delete(std::string& text, int index, int count) {
  if (index < 1 || count <= 0 || index > static_cast<long long>(text.size())) return;
  text.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(std::string_view sub, std::string& text, int index) {
  const size_t at = std::min(static_cast<size_t>(std::max(index, 1) - 1), text.size());
  text.insert(at, sub);
}

std::string StringReplace(std::string_view text, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags) {
  if (oldPattern.empty()) return std::string(text);
  const bool ignoreCase = (flags & rfIgnoreCase) != 0;
  const std::string searchIn = ignoreCase ? UpperCase(text) : std::string(text);
  const std::string searchFor = ignoreCase ? UpperCase(oldPattern) : std::string(oldPattern);
  std::string result;
  size_t from = 0;
  for (;;) {
    const size_t found = searchIn.find(searchFor, from);
    if (found == std::string::npos) break;
    result.append(text.substr(from, found - from));
    result.append(newPattern);
    from = found + searchFor.size();
    if ((flags & rfReplaceAll) == 0) break;
  }
  result.append(text.substr(from));
  return result;
}

#include "platform/text/format.h"

#include <algorithm>
#include <charconv>

#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

namespace {

// Widths and precisions come from the program's own patterns; anything this large is a
// broken pattern, not a wish for megabytes of blanks.
constexpr int kMaxWidth = 4096;
constexpr int kDefaultFloatPrecision = 6;

struct Directive {
  bool leftAlign = false;
  bool zeroPad = false;
  int width = 0;
  int precision = -1;  // -1: none given
  char conversion = 0;
};

[[noreturn]] void Incompatible(std::string_view pattern) {
  throw EConvertError("Format '" + std::string(pattern) +
                      "' invalid or incompatible with argument");
}

bool IsInteger(const FormatArg& arg) {
  return arg.kind() == FormatArg::Kind::Signed || arg.kind() == FormatArg::Kind::Unsigned;
}

// Reads digits at `at` into `value`; false when the number is absurdly large.
bool ReadNumber(std::string_view pattern, size_t& at, int& value) {
  value = 0;
  while (at < pattern.size() && IsAsciiDigit(pattern[at])) {
    value = value * 10 + (pattern[at++] - '0');
    if (value > kMaxWidth) return false;
  }
  return true;
}

// The value's bits, limited to the width of the type it came in.
unsigned long long IntegerBits(const FormatArg& arg) {
  const unsigned long long raw = arg.kind() == FormatArg::Kind::Signed
                                     ? static_cast<unsigned long long>(arg.AsSigned())
                                     : arg.AsUnsigned();
  return arg.Bits() < 64 ? raw & ((1ULL << arg.Bits()) - 1) : raw;
}

std::string UnsignedDigits(unsigned long long value, int base, bool upper) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, base);
  std::string digits(buffer, result.ptr);
  if (upper) digits = UpperCase(digits);
  return digits;
}

// Sign and digits of an integer conversion, the precision as minimum digit count.
std::string FormatInteger(const Directive& d, const FormatArg& arg) {
  std::string sign, digits;
  switch (d.conversion) {
    case 'd':
      if (arg.kind() == FormatArg::Kind::Signed && arg.AsSigned() < 0) {
        sign = "-";
        digits = UnsignedDigits(0ULL - static_cast<unsigned long long>(arg.AsSigned()), 10, false);
      } else {
        digits = UnsignedDigits(IntegerBits(arg), 10, false);
      }
      break;
    case 'u':
      digits = UnsignedDigits(IntegerBits(arg), 10, false);
      break;
    default:  // 'x' or 'X'
      digits = UnsignedDigits(IntegerBits(arg), 16, d.conversion == 'X');
      break;
  }
  if (static_cast<int>(digits.size()) < d.precision) {
    digits.insert(0, d.precision - digits.size(), '0');
  }
  return sign + digits;
}

std::string FormatFloating(const Directive& d, double value) {
  const int precision = d.precision < 0 ? kDefaultFloatPrecision : d.precision;
  const std::chars_format style = d.conversion == 'f'   ? std::chars_format::fixed
                                  : d.conversion == 'e' ? std::chars_format::scientific
                                                        : std::chars_format::general;
  char buffer[400];  // room for the largest double in fixed notation
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, style,
                    style == std::chars_format::general ? std::max(precision, 1) : precision);
  std::string text(buffer, result.ptr);
  std::replace(text.begin(), text.end(), '.', DecimalSeparator);
  return text;
}

std::string Convert(std::string_view pattern, const Directive& d, const FormatArg& arg) {
  switch (d.conversion) {
    case 'd':
    case 'u':
    case 'x':
    case 'X':
      if (!IsInteger(arg)) Incompatible(pattern);
      return FormatInteger(d, arg);
    case 'f':
    case 'e':
    case 'g':
      if (arg.kind() != FormatArg::Kind::Floating) Incompatible(pattern);
      return FormatFloating(d, arg.AsFloating());
    case 's': {
      std::string_view text;
      if (arg.kind() == FormatArg::Kind::Text) {
        text = arg.AsText();
      } else if (arg.kind() == FormatArg::Kind::Character) {
        return std::string(1, arg.AsCharacter()).substr(0, d.precision < 0 ? 1 : d.precision);
      } else {
        Incompatible(pattern);
      }
      if (d.precision >= 0) text = text.substr(0, d.precision);
      return std::string(text);
    }
    case 'c':
      if (arg.kind() == FormatArg::Kind::Character) return std::string(1, arg.AsCharacter());
      if (IsInteger(arg)) return std::string(1, static_cast<char>(IntegerBits(arg)));
      Incompatible(pattern);
    default:
      Incompatible(pattern);
  }
}

// Pads to the width: blanks on the left or right, or zeros after the sign of a number.
// As in printf, a precision on an integer conversion turns zero padding off.
void Pad(const Directive& d, std::string& text) {
  if (static_cast<int>(text.size()) >= d.width) return;
  const size_t missing = d.width - text.size();
  const bool numeric = std::string_view("duxXfeg").find(d.conversion) != std::string_view::npos;
  const bool integer = std::string_view("duxX").find(d.conversion) != std::string_view::npos;
  if (d.leftAlign) {
    text.append(missing, ' ');
  } else if (d.zeroPad && numeric && !(integer && d.precision >= 0)) {
    text.insert(!text.empty() && text[0] == '-' ? 1 : 0, missing, '0');
  } else {
    text.insert(0, missing, ' ');
  }
}

}  // namespace

std::string FormatList(std::string_view pattern, std::span<const FormatArg> args) {
  std::string out;
  size_t next = 0;
  for (size_t at = 0; at < pattern.size(); ++at) {
    if (pattern[at] != '%') {
      out.push_back(pattern[at]);
      continue;
    }
    if (++at >= pattern.size()) Incompatible(pattern);
    if (pattern[at] == '%') {
      out.push_back('%');
      continue;
    }
    Directive d;
    for (; at < pattern.size() && (pattern[at] == '-' || pattern[at] == '0'); ++at) {
      (pattern[at] == '-' ? d.leftAlign : d.zeroPad) = true;
    }
    if (!ReadNumber(pattern, at, d.width)) Incompatible(pattern);
    if (at < pattern.size() && pattern[at] == '.') {
      ++at;
      if (!ReadNumber(pattern, at, d.precision)) Incompatible(pattern);
    }
    if (at >= pattern.size() || next >= args.size()) Incompatible(pattern);
    d.conversion = pattern[at];
    std::string text = Convert(pattern, d, args[next++]);
    Pad(d, text);
    out += text;
  }
  return out;
}

// printf-style formatting into the program's 8-bit strings.
//
// Format("fm %s to %s ctl %s pid %s", src, dst, ctl, pid)
// Format("%0.3d/%0.3dg%0.3d", 90, 5, 12) == "090/005g012"
// Format("%0.1f hPa", 1013.25) == "1013.2 hPa"   (halves go to even)
//
// Each directive is "%" [flags] [width] ["." precision] conversion, flags being '-'
// (pad on the right) and '0' (pad numbers with zeros). Conversions:
//   %d %u      integers; the precision is the minimum number of digits ("%0.2d" -> "05")
//   %x %X      integers in lower- or upper-case hex, negative values as their bits
//   %f %e %g   floats, default precision 6; the decimal point is DecimalSeparator
//   %s         a string, a C string or a char; the precision cuts it
//   %c         a char (or an integer code)
//   %%         one per-cent sign
// A missing argument or a conversion that does not fit its argument raises
// EConvertError naming the pattern; arguments left over are ignored.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One argument of Format, captured by kind. Built only from a Format call.
class FormatArg {
 public:
  enum class Kind { Signed, Unsigned, Floating, Character, Text };

  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char>) FormatArg(T value)
      : bits_(sizeof(T) * 8) {  // NOLINT: implicit on purpose
    if constexpr (std::is_signed_v<T>) {
      kind_ = Kind::Signed;
      signed_ = value;
    } else {
      kind_ = Kind::Unsigned;
      unsigned_ = value;
    }
  }
  template <std::floating_point T>
  FormatArg(T value) : kind_(Kind::Floating), floating_(static_cast<double>(value)) {}
  FormatArg(char value) : kind_(Kind::Character), character_(value) {}
  FormatArg(const std::string& value) : kind_(Kind::Text), text_(value) {}
  FormatArg(std::string_view value) : kind_(Kind::Text), text_(value) {}
  FormatArg(const char* value) : kind_(Kind::Text), text_(value ? value : "") {}

  Kind kind() const { return kind_; }
  long long AsSigned() const { return signed_; }
  unsigned long long AsUnsigned() const { return unsigned_; }
  // Width of the integer type the argument came in, for hex of negative values.
  int Bits() const { return bits_; }
  double AsFloating() const { return floating_; }
  char AsCharacter() const { return character_; }
  std::string_view AsText() const { return text_; }

 private:
  Kind kind_ = Kind::Signed;
  long long signed_ = 0;
  unsigned long long unsigned_ = 0;
  double floating_ = 0;
  std::string_view text_;
  char character_ = 0;
  int bits_ = 0;
};

std::string FormatList(std::string_view pattern, std::span<const FormatArg> args);

template <class... A>
std::string Format(std::string_view pattern, const A&... args) {
  const std::array<FormatArg, sizeof...(A)> list{FormatArg(args)...};
  return FormatList(pattern, list);
}

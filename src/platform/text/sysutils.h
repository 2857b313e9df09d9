// Text and number helpers of the program's string type.
//
// Text is std::string holding Windows-1252 bytes. Helpers that take string positions
// (Pos, Copy, Delete, Insert) count them from 1, as the program's algorithms do; a
// position of 0 from Pos means "not found".
//
// Number texts are locale independent: the only decimal separator a float text may
// carry is the global `DecimalSeparator` ('.' unless the program changes it), and every
// float that is turned into text uses it. Example with DecimalSeparator = ',':
// StrToFloat("3,5") == 3.5 and FloatToStr(0.25) == "0,25".
#pragma once

#include <concepts>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

// Base of the exceptions the platform layer raises; what() is the message text.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A text is not a number, or a Format pattern does not match its arguments.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

extern char DecimalSeparator;

// --- integers ---------------------------------------------------------------------------

std::string IntToStr(long long value);

// Upper-case hex of the value's two's-complement bits, at least `digits` digits:
// IntToHex(255, 4) == "00FF", IntToHex(int8_t{-1}, 1) == "FF".
std::string IntToHexBits(std::uint64_t bits, int bitWidth, int digits);
template <std::integral T>
std::string IntToHex(T value, int digits) {
  using Unsigned = std::make_unsigned_t<T>;
  return IntToHexBits(static_cast<Unsigned>(value), sizeof(T) * 8, digits);
}

// Decimal with optional leading blanks and sign, or hex after "$" or "0x";
// nothing may follow the digits. StrToInt raises EConvertError on anything else or on a
// value outside int's range.
int StrToInt(std::string_view text);
int StrToIntDef(std::string_view text, int fallback);
bool TryStrToInt(std::string_view text, int& value);

// --- floats -----------------------------------------------------------------------------

// Up to 15 significant digits, no trailing zeros, exponent form ("1.5E-10") only for
// very large or small values.
std::string FloatToStr(double value);

// Blanks around the number are ignored; the decimal separator must be DecimalSeparator;
// an exponent ("1E5", "2.5e-3") is accepted. StrToFloat raises EConvertError.
double StrToFloat(std::string_view text);
double StrToFloatDef(std::string_view text, double fallback);
bool TryStrToFloat(std::string_view text, double& value);

// Picture format: '0' a digit that is always shown, '#' a digit shown when significant,
// '.' the decimal separator (written as DecimalSeparator), ',' anywhere in the integer
// part groups thousands with ','; text in single or double quotes and any other
// character is copied. FormatFloat("0.00", 3.14159) == "3.14",
// FormatFloat("#,##0", 1234567) == "1,234,567". Literal text before the first digit
// placeholder precedes the number, any other follows it. Rounding is to the nearest
// decimal, an exact half to even.
std::string FormatFloat(std::string_view picture, double value);

// --- trimming and case ------------------------------------------------------------------

// Trim removes the control characters and blanks (codes 0 to 32) at either end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// ASCII letters only.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// Every Windows-1252 letter with a case partner (ä/Ä, š/Š, ÿ/Ÿ...); ß and µ stay.
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);

// CompareText compares with ASCII letters folded to upper case; CompareStr compares
// the bytes as unsigned codes. Both return <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b);
int CompareStr(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// By the rules of the user's locale (accents, case order); <0, 0 or >0.
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);

// --- 1-based positions ------------------------------------------------------------------

// 1-based position of the first `sub` in `text`, 0 when absent or when sub is empty.
int Pos(std::string_view sub, std::string_view text);
// Up to `count` characters from 1-based `index`; an index below 1 counts from 1.
std::string Copy(std::string_view text, int index, int count);
// Removes up to `count` characters from 1-based `index`; out-of-range does nothing.
void Delete(std::string& text, int index, int count);
// Inserts `sub` before 1-based `index`; an index past the end appends.
void Insert(std::string_view sub, std::string& text, int index);

enum TReplaceFlags : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
constexpr TReplaceFlags operator|(TReplaceFlags a, TReplaceFlags b) {
  return static_cast<TReplaceFlags>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
// Replaces the first (or, with rfReplaceAll, every) `oldPattern`; rfIgnoreCase folds
// ASCII letters. An empty oldPattern replaces nothing.
std::string StringReplace(std::string_view text, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags = {});

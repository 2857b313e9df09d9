// Small routines used all over the program: time stamps, a wait that keeps the windows
// alive, number checks that take either decimal separator, character and nibble helpers,
// two canvas fills for the custom controls, and the splitting of server addresses.
//
// Time stamps are local time "yymmddhhnnss", e.g. "070601143005" for 2007-06-01
// 14:30:05. Server addresses look like "rotate.aprs.net:14580 ;Europe". Where a routine
// gives its result through an out parameter, that parameter is written, never appended to.
// Positions (CopyFrom, FirstToken) count from 1.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/gui/geometry.h"
#include "platform/sys/date_time.h"

class TCanvas;

// The edges a custom panel or splitter draws.
enum TDMyBorder : std::uint8_t { bpTop, bpBottom, bpLeft, bpRight };

class TMyBorder {
 public:
  constexpr TMyBorder() = default;
  constexpr TMyBorder(std::initializer_list<TDMyBorder> edges) {
    for (TDMyBorder edge : edges) Include(edge);
  }
  constexpr bool Contains(TDMyBorder edge) const { return (bits_ & Bit(edge)) != 0; }
  constexpr void Include(TDMyBorder edge) { bits_ |= Bit(edge); }
  constexpr void Exclude(TDMyBorder edge) { bits_ &= static_cast<std::uint8_t>(~Bit(edge)); }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(TMyBorder, TMyBorder) = default;

 private:
  static constexpr std::uint8_t Bit(TDMyBorder edge) {
    return static_cast<std::uint8_t>(1u << edge);
  }
  std::uint8_t bits_ = 0;
};

// --- time ----------------------------------------------------------------------------------

void NowToStamp(std::string& S);
// "yymmddhhnnss" to a date and time; the two-digit year goes to the century that puts
// it at most 50 years before the current year. Anything but twelve digits forming a real
// date and time raises EConvertError.
TDateTime StampToDateTime(const std::string& Stamp);
// Waits Ms milliseconds of elapsed time (a clock unaffected by midnight or clock
// changes), handling the application's events meanwhile.
void DelayMs(unsigned Ms);

// --- messages, files, shell ----------------------------------------------------------------

// The system message box with the caption "Error" and the error icon; the button pressed.
int ShowErrorBox(const std::string& Text);
void ClearReadOnly(const std::string& FileName);
// The whole file, byte for byte; raises the stream errors (EFOpenError, EReadError).
void LoadFileToString(std::string& S, const std::string& FileName);
// Opens a "mailto:" link built from the trimmed parts (subject and body only when given)
// in the user's mail program; false when there is no address or it could not be opened.
bool SendMailTo(const std::string& Name, const std::string& Address, const std::string& Subject,
                const std::string& Body);

// --- texts and numbers ---------------------------------------------------------------------

// False when either is empty. Letters compared without case (ASCII). "N0*" is a prefix,
// "*-9" a suffix, "*CAL*" a part, "*" anything; without a star at either end the pattern
// must occur anywhere in Text; a star inside the pattern is an ordinary character.
bool MatchWildcard(const std::string& Text, const std::string& Pattern);
bool IsInteger(const std::string& S);
// "3.5" and "3,5" are both floats, whatever the decimal separator is.
bool IsFloat(const std::string& S);
// The number with either separator, 0 when S is not one.
double StrToFloatSafe(const std::string& S);
void ReplaceChar(char OldChar, char NewChar, std::string& S);
void RemoveChar(char Ch, std::string& S);
// The DOS code page's umlauts and sharp s (code page 437) in their Windows-1252 codes.
void DosToAnsiUmlauts(const std::string& S, std::string& R);
// "[" + two hex digits per character + the XOR of all codes started with 0xFF + "]":
// "AB" gives "[4142FC]".
void HexWithXorSum(const std::string& S, std::string& Hex);
// Every character other than 0-9, A-Z, a-z as "%" and two upper-case hex digits.
void UrlEncode(const std::string& S, std::string& R);
// S from 1-based Index to its end (from the start when Index is below 1).
void CopyFrom(const std::string& S, int Index, std::string& Rest);
// S from 1-based Start up to the first Delim, CR or LF, or the end.
void FirstToken(const std::string& S, int Start, char Delim, std::string& Token);
// "N0CALL-9" gives "N0CALL"; the call is trimmed first.
void CallWithoutSsid(const std::string& Call, std::string& Base);

// Host and port of "host:port", optionally followed by ";" and a comment; the port is
// -1 when there is no ":" or no integer after it.
void HostOfAddress(const std::string& Addr, std::string& Host);
int PortOfAddress(const std::string& Addr);

// --- bits and nibbles ----------------------------------------------------------------------

void SetLowNibble(std::uint8_t& B, std::uint8_t V);
void SetHighNibble(std::uint8_t& B, std::uint8_t V);
std::uint8_t LowNibble(std::uint8_t B);
std::uint8_t HighNibble(std::uint8_t B);
void LowNibbleHex(std::uint8_t B, std::string& S);
void HighNibbleHex(std::uint8_t B, std::string& S);
// Bit 0..7; any other bit counts as clear.
bool BitIsSet(std::uint8_t Value, int Bit);
bool BitIsClear(std::uint8_t Value, int Bit);

// --- geometry and colour -------------------------------------------------------------------

// The point Radius pixels from Centre at Angle degrees: 0 points up, angles grow clockwise.
void PolarToPoint(TPoint Centre, int Radius, std::uint16_t Angle, TPoint& P);
// Adds (Lighten) or subtracts Amount from each of red, green and blue, within 0..255.
TColor ShadeColor(bool Lighten, TColor Color, std::uint8_t Amount);
// Two solid halves: left and right of Right div 2, or above and below Bottom div 2.
void FillSplitVertical(TCanvas& Canvas, const TRect& Rect, TColor ColorLeft, TColor ColorRight);
void FillSplitHorizontal(TCanvas& Canvas, const TRect& Rect, TColor ColorTop, TColor ColorBottom);

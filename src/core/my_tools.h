// Small routines used all over the program: time stamps, a wait that keeps the windows
// alive, number checks that take either decimal separator, character and nibble helpers,
// and the splitting of server addresses.
//
// Time stamps are local time "yymmddhhnnss", e.g. "070601143005" for 2007-06-01
// 14:30:05. Server addresses look like "rotate.aprs.net:14580 ;Europe". Where a routine
// gives its result through an out parameter, that parameter is written, never appended to.
// Positions (CopyFrom, FirstToken) count from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/sys/date_time.h"

// --- time ----------------------------------------------------------------------------------

void NowToStamp(std::string& S);
// "yymmddhhnnss" to a date and time; the two-digit year goes to the century that puts
// it at most 50 years before the current year. Anything but twelve digits forming a real
// date and time raises EConvertError.
TDateTime StampToDateTime(const std::string& Stamp);
// The same without raising: nothing when Stamp is not a real date and time.
std::optional<TDateTime> TryStampToDateTime(const std::string& Stamp);
// Waits Ms milliseconds of elapsed time (a clock unaffected by midnight or clock
// changes), handling the application's events meanwhile.
void DelayMs(unsigned Ms);

// --- files ---------------------------------------------------------------------------------

void ClearReadOnly(const std::string& FileName);
// The whole file, byte for byte; raises the stream errors (EFOpenError, EReadError).
void LoadFileToString(std::string& S, const std::string& FileName);

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
// S with every control character (codes below 32) as a blank: text from a packet shown
// or stored as one line can neither break that line nor ring or take characters back.
std::string BlankControlChars(std::string S);
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

#include "core/my_tools.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>

#include "platform/sys/application.h"
#include "platform/sys/files.h"
#include "platform/sys/thread.h"
#include "platform/text/ascii.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, unsigned char c) {
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 15];
}

// Both separators replaced by the one the number conversion expects.
std::string WithDecimalSeparator(const std::string& S) {
  std::string text = S;
  for (char& c : text) {
    if (c == ',' || c == '.') c = DecimalSeparator;
  }
  return text;
}

// The part of a server list entry before its comment.
std::string AddressPart(const std::string& Addr) {
  const size_t semicolon = Addr.find(';');
  return Trim(semicolon == std::string::npos ? Addr : Addr.substr(0, semicolon));
}

}  // namespace

// --- time ----------------------------------------------------------------------------------

void NowToStamp(std::string& S) {
  // Every packet is stamped, thousands of them in a second under a full feed: the text of
  // a second is made once. It names the second alone, and Now reads the same clock.
  thread_local std::optional<std::time_t> second;
  thread_local std::string stamp;
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  if (now != second) {
    stamp = FormatDateTime("yymmddhhnnss", Now());
    second = now;
  }
  S = stamp;
}

std::optional<TDateTime> TryStampToDateTime(const std::string& Stamp) {
  if (Stamp.size() != 12 || !std::all_of(Stamp.begin(), Stamp.end(), IsAsciiDigit)) {
    return std::nullopt;
  }
  auto pair = [&](int at) { return (Stamp[at] - '0') * 10 + (Stamp[at + 1] - '0'); };
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(CenturyYear(pair(0)), pair(2), pair(4), date) ||
      !TryEncodeTime(pair(6), pair(8), pair(10), 0, time)) {
    return std::nullopt;
  }
  return date + time;
}

TDateTime StampToDateTime(const std::string& Stamp) {
  const std::optional<TDateTime> time = TryStampToDateTime(Stamp);
  if (!time) throw EConvertError("'" + Stamp + "' is not a valid date and time");
  return *time;
}

void DelayMs(unsigned Ms) {
  const std::uint64_t start = GetTickCount();
  while (GetTickCount() - start < Ms) {
    if (Application) Application->ProcessMessages();
    // A short sleep per pass, so the wait does not spin a processor core at full load.
    TThread::Sleep(1);
  }
}

// --- files ---------------------------------------------------------------------------------

void ClearReadOnly(const std::string& FileName) {
  if (FileIsReadOnly(FileName)) FileSetReadOnly(FileName, false);
}

void LoadFileToString(std::string& S, const std::string& FileName) {
  TMemoryStream stream;
  stream.LoadFromFile(FileName);
  const char* bytes = static_cast<const char*>(stream.Memory());
  S.assign(bytes, bytes + stream.Size());
}

// --- texts and numbers ---------------------------------------------------------------------

bool MatchWildcard(const std::string& Text, const std::string& Pattern) {
  if (Text.empty() || Pattern.empty()) return false;
  const std::string text = UpperCase(Text);
  const std::string pattern = UpperCase(Pattern);
  const bool starAtStart = pattern.front() == '*';
  const bool starAtEnd = pattern.back() == '*';
  if (pattern.size() == 1 && starAtStart) return true;
  if (starAtStart && starAtEnd) {
    return text.find(pattern.substr(1, pattern.size() - 2)) != std::string::npos;
  }
  if (starAtEnd) return text.starts_with(pattern.substr(0, pattern.size() - 1));
  if (starAtStart) return text.ends_with(pattern.substr(1));
  return text.find(pattern) != std::string::npos;
}

bool IsInteger(const std::string& S) {
  int value = 0;
  return TryStrToInt(S, value);
}

bool IsFloat(const std::string& S) {
  double value = 0;
  return !S.empty() && TryStrToFloat(WithDecimalSeparator(S), value);
}

double StrToFloatSafe(const std::string& S) {
  double value = 0;
  return !S.empty() && TryStrToFloat(WithDecimalSeparator(S), value) ? value : 0;
}

std::string BlankControlChars(std::string S) {
  for (char& c : S) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return S;
}

void ReplaceChar(char OldChar, char NewChar, std::string& S) {
  std::replace(S.begin(), S.end(), OldChar, NewChar);
}

void RemoveChar(char Ch, std::string& S) {
  S.erase(std::remove(S.begin(), S.end(), Ch), S.end());
}

void DosToAnsiUmlauts(const std::string& S, std::string& R) {
  R = S;
  for (char& c : R) {
    switch (static_cast<unsigned char>(c)) {
      case 132:
        c = '\xE4';
        break;  // ä
      case 142:
        c = '\xC4';
        break;  // Ä
      case 148:
        c = '\xF6';
        break;  // ö
      case 153:
        c = '\xD6';
        break;  // Ö
      case 129:
        c = '\xFC';
        break;  // ü
      case 154:
        c = '\xDC';
        break;  // Ü
      case 225:
        c = '\xDF';
        break;  // ß
      default:
        break;
    }
  }
}

void HexWithXorSum(const std::string& S, std::string& Hex) {
  unsigned char sum = 0xFF;
  std::string hex = "[";
  for (char c : S) {
    AppendHexByte(hex, static_cast<unsigned char>(c));
    sum ^= static_cast<unsigned char>(c);
  }
  AppendHexByte(hex, sum);
  Hex = hex + "]";
}

void UrlEncode(const std::string& S, std::string& R) {
  std::string encoded;
  for (char c : S) {
    if (IsAsciiLetterOrDigit(c)) {
      encoded += c;
    } else {
      encoded += '%';
      AppendHexByte(encoded, static_cast<unsigned char>(c));
    }
  }
  R = encoded;
}

void CopyFrom(const std::string& S, int Index, std::string& Rest) {
  const size_t from = Index < 1 ? 0 : static_cast<size_t>(Index - 1);
  Rest = from < S.size() ? S.substr(from) : std::string();
}

void FirstToken(const std::string& S, int Start, char Delim, std::string& Token) {
  const size_t from = Start < 1 ? 0 : static_cast<size_t>(Start - 1);
  if (from >= S.size()) {
    Token.clear();
    return;
  }
  const size_t end = S.find_first_of(std::string{Delim, '\r', '\n'}, from);
  Token = S.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

void CallWithoutSsid(const std::string& Call, std::string& Base) {
  const std::string call = Trim(Call);
  Base = call.substr(0, call.find('-'));
}

void HostOfAddress(const std::string& Addr, std::string& Host) {
  const std::string address = AddressPart(Addr);
  Host = address.substr(0, address.find(':'));
}

int PortOfAddress(const std::string& Addr) {
  const std::string address = AddressPart(Addr);
  const size_t colon = address.find(':');
  if (colon == std::string::npos) return -1;
  int port = 0;
  return TryStrToInt(address.substr(colon + 1), port) ? port : -1;
}

// --- bits and nibbles ----------------------------------------------------------------------

void SetLowNibble(std::uint8_t& B, std::uint8_t V) {
  B = static_cast<std::uint8_t>((B & 0xF0) | (V & 0x0F));
}

void SetHighNibble(std::uint8_t& B, std::uint8_t V) {
  B = static_cast<std::uint8_t>((B & 0x0F) | ((V & 0x0F) << 4));
}

std::uint8_t LowNibble(std::uint8_t B) {
  return B & 0x0F;
}
std::uint8_t HighNibble(std::uint8_t B) {
  return B >> 4;
}
void LowNibbleHex(std::uint8_t B, std::string& S) {
  S = std::string(1, kHexDigits[LowNibble(B)]);
}
void HighNibbleHex(std::uint8_t B, std::string& S) {
  S = std::string(1, kHexDigits[HighNibble(B)]);
}

bool BitIsSet(std::uint8_t Value, int Bit) {
  return Bit >= 0 && Bit <= 7 && ((Value >> Bit) & 1) != 0;
}
bool BitIsClear(std::uint8_t Value, int Bit) {
  return !BitIsSet(Value, Bit);
}

// What the edits whose text goes out in a frame or a line to the server take as typed.
// Callsigns, addressees and digipeater paths hold only letters, digits and the SSID's '-'
// (a path its ',' or blank between the calls too), typed or pasted in upper case; the
// server filter and the symbol characters only ASCII. Any other character is refused as
// it is typed, so none goes out as '?'.
#pragma once

#include <string>

#include "platform/gui/standard/edit.h"

inline constexpr char kCallsignChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-";
inline constexpr char kPathChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-, ";

inline void TakeAddressText(TCustomEdit& Edit, const char* Chars) {
  Edit.SetCharCase(ecUpperCase);
  Edit.SetAllowedChars(Chars);
}

// The characters from First to Last of ASCII.
inline std::string AsciiRange(char First, char Last) {
  std::string chars;
  for (char c = First; c <= Last; ++c) chars += c;
  return chars;
}

// What the edits whose text goes out in a frame or a line to the server, or is compared
// with the calls of packets, take as typed. Callsigns, addressees and digipeater paths
// hold only letters, digits and the SSID's '-' (a path its ',' or blank between the
// calls too, a list of calls its ','), typed or pasted in upper case; the server filter
// and the symbol characters only ASCII. Any other character is refused as it is typed,
// so none goes out or is compared as '?'.
#pragma once

#include <string>

#include "platform/gui/standard/edit.h"

inline constexpr char kCallsignChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-";
inline constexpr char kPathChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-, ";
inline constexpr char kCallListChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-,";

// An edit or a memo.
template <class TTypedInto>
void TakeAddressText(TTypedInto& Control, const char* Chars) {
  Control.SetCharCase(ecUpperCase);
  Control.SetAllowedChars(Chars);
}

// The characters from First to Last of ASCII.
inline std::string AsciiRange(char First, char Last) {
  std::string chars;
  for (char c = First; c <= Last; ++c) chars += c;
  return chars;
}

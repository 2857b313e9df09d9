// Item texts by character. An item text is a byte string: 8-bit text one byte a
// character, or, for items with rdioUnicodeText, raw UTF-16LE two bytes a character.
// Positions are 1-based and count characters; every routine clamps to the text, so a bad
// position never reads outside it.
//
// Example: the Unicode item text "41 00 42 00 43 00" has 3 characters and
// CopyItemText(s, 2, 2, rdioUnicodeText) gives "42 00 43 00".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Item option flags (the item's option byte; only the low four bits go to files).
using TRDItemOptions = std::uint8_t;
constexpr TRDItemOptions rdioContinuesPara = 0x01;
constexpr TRDItemOptions rdioPageBreakBefore = 0x02;
constexpr TRDItemOptions rdioLineBreakBefore = 0x04;
constexpr TRDItemOptions rdioUnicodeText = 0x08;
constexpr TRDItemOptions kRDFItemOptionsMask = 0x0F;

inline bool IsUnicodeItem(TRDItemOptions options) {
  return (options & rdioUnicodeText) != 0;
}

// Raises ERichDocError "Can't perform Unicode operation" for an odd byte length.
void CheckUnicodeByteLength(size_t byteLength);

int GetItemTextLength(std::string_view s, TRDItemOptions options);
std::string CopyItemText(std::string_view s, int index, int count, TRDItemOptions options);
void DeleteItemText(std::string& s, int index, int count, TRDItemOptions options);
void InsertItemText(std::string_view sub, std::string& s, int index, TRDItemOptions options);
bool IsItemTextSpace(std::string_view s, int index, TRDItemOptions options);

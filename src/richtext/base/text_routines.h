// Free text, tag, detection and scaling routines shared by the document data, the items
// and the writers. Strings are 8-bit text of the document's code page unless a routine
// names UTF-16 (raw Unicode in a byte string, see code_pages.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/gui/graphics/geometry.h"

// An item or checkpoint tag: a number, or, when the document says tags are strings, a
// text owned by its holder (std::nullopt is the nil string). Copying copies the text.
struct TRDTag {
  int Number = 0;
  std::optional<std::string> Text;
  friend bool operator==(const TRDTag&, const TRDTag&) = default;
};

// A copy of the tag (string tags are duplicated, never shared).
TRDTag CopyItemTag(const TRDTag& tag, bool tagsArePChars);
// String tags: both nil equal, one nil differs, else case-sensitive text equality;
// integer tags: equal numbers.
bool CompareItemTags(const TRDTag& tag1, const TRDTag& tag2, bool tagsArePChars);

std::string ReplaceTabs(std::string_view s, int spaceCount);
// The same for UTF-16 text in a byte string (a tab is the bytes 9 0, a space 32 0).
std::string ReplaceTabsW(std::string_view s, int spaceCount);
// 1-based position of ch in the first len bytes of buffer, 0 when absent.
int FindCharInBuf(std::string_view buffer, char ch, int len);
// While oldText occurs, its first occurrence is replaced (the search restarts at the
// start). When newText would recreate oldText forever, each occurrence is replaced once.
void ReplaceAllFromStart(std::string& s, std::string_view oldText, std::string_view newText);
// Each occurrence replaced once, the search continuing after the inserted text, so a
// replacement that holds the old text cannot make it loop; an empty oldText changes
// nothing.
void ReplaceAllStr(std::string& s, std::string_view oldText, std::string_view newText);
void ReplaceAllForward(std::string& s, std::string_view oldText, std::string_view newText);
void AppendWithSeparator(std::string& s, std::string_view add, std::string_view separator);
void AppendWithSpace(std::string& s, std::string_view add);
// Every character of s found in charSet becomes newChar.
void ReplaceCharsInSet(std::string& s, char newChar, std::string_view charSet);
// prefix is inserted before every character of s found in charSet.
void PrefixCharsInSet(std::string& s, std::string_view prefix, std::string_view charSet);
// "%" and two hexadecimal digits become the byte they code; any other "%" stays.
std::string DecodePercentEscapes(std::string_view s);
int HexDigitValue(char ch);
bool IsPointInBox(int x, int y, int left, int top, int width, int height);

// True for a text that starts with a known scheme ("http://", "www." ...) and is longer
// than it, case ignored.
bool IsURL(std::string_view s);
// True when s holds "@" and its last "." stands at or after the first "@".
bool IsEmailAddress(std::string_view s);

// a * b / c rounded half away from zero in 64-bit; -1 when c is 0 (the platform's MulDiv).
int RDMulDiv(int a, int b, int c);

// Screen and device resolutions (pixels per inch) for scaling screen sizes to a printer.
struct TRDResolution {
  int ScreenPixelsPerInchX = 96;
  int ScreenPixelsPerInchY = 96;
  int DevicePixelsPerInchX = 96;
  int DevicePixelsPerInchY = 96;
  int Reserved1 = 0;
  int Reserved2 = 0;
};

int ScreenToDeviceX(int value, const TRDResolution& r);
int ScreenToDeviceY(int value, const TRDResolution& r);
// Device to screen.
int ScaleByRatioX(int value, const TRDResolution& r);
int ScaleByRatioY(int value, const TRDResolution& r);
// A device rectangle in screen pixels (left/right by the X pair, top/bottom by the Y pair).
void ScaleRectToScreen(TRect& rect, const TRDResolution& r);
int GetScreenLogPixelsX();
int GetScreenLogPixelsY();

// Small enumerations and flag sets shared by the styles, the style sheet and the items.
// A Pascal-like set is an unsigned integer with one bit per member: the member named
// rdtsSelected is bit 0 of TRDTextDrawStates, and so on.
#pragma once

#include <algorithm>
#include <cstdint>

// The most an indent, width, gap or offset that a document gives may be, either way, in
// pixels: the widest page RTF describes (22 inches) at 96 pixels per inch. Values read
// from a document are cut to it where they are read, so that the layout's sums, scalings
// and measuring loops stay in range however hostile the document.
constexpr int kMaxPageLength = 22 * 96;
inline int ClampToPage(int value) {
  return std::clamp(value, -kMaxPageLength, kMaxPageLength);
}

enum TRDBiDiMode : std::uint8_t { rdbdUnspecified, rdbdLeftToRight, rdbdRightToLeft };

// Further effects of a text style (StyleEx).
using TRDFontStyles = std::uint8_t;
constexpr TRDFontStyles rdfsOverline = 0x01;
constexpr TRDFontStyles rdfsAllCaps = 0x02;

// Editing protection of a text style (11 options, a 16-bit set).
using TRDProtectOptions = std::uint16_t;
constexpr TRDProtectOptions rdprStyleProtect = 1 << 0;
constexpr TRDProtectOptions rdprStyleSplitProtect = 1 << 1;
constexpr TRDProtectOptions rdprModifyProtect = 1 << 2;
constexpr TRDProtectOptions rdprDeleteProtect = 1 << 3;
constexpr TRDProtectOptions rdprConcateProtect = 1 << 4;
constexpr TRDProtectOptions rdprRDFInsertProtect = 1 << 5;
constexpr TRDProtectOptions rdprDoNotAutoSwitch = 1 << 6;
constexpr TRDProtectOptions rdprParaStartProtect = 1 << 7;
constexpr TRDProtectOptions rdprSticking = 1 << 8;
constexpr TRDProtectOptions rdprStickToTop = 1 << 9;
constexpr TRDProtectOptions rdprStickToBottom = 1 << 10;

// The text is raw HTML / RTF code, copied unchanged by the exporters.
using TRDTextOptions = std::uint8_t;
constexpr TRDTextOptions rdteoHTMLCode = 0x01;
constexpr TRDTextOptions rdteoRTFCode = 0x02;

// Draw states of a piece of text.
using TRDTextDrawStates = std::uint8_t;
constexpr TRDTextDrawStates rdtsSelected = 1 << 0;
constexpr TRDTextDrawStates rdtsHover = 1 << 1;
constexpr TRDTextDrawStates rdtsItemStart = 1 << 2;
constexpr TRDTextDrawStates rdtsItemEnd = 1 << 3;
constexpr TRDTextDrawStates rdtsDrawItemStart = 1 << 4;
constexpr TRDTextDrawStates rdtsDrawItemEnd = 1 << 5;
constexpr TRDTextDrawStates rdtsControlFocused = 1 << 6;
constexpr TRDTextDrawStates rdtsSpecialCharacters = 1 << 7;

// Kinds of special characters a viewer showing them makes visible.
using TRDSpecialCharKinds = std::uint8_t;
constexpr TRDSpecialCharKinds rdskSpace = 1 << 0;
constexpr TRDSpecialCharKinds rdskNonBreakingSpace = 1 << 1;
constexpr TRDSpecialCharKinds rdskParagraphMark = 1 << 2;
constexpr TRDSpecialCharKinds rdskSoftHyphen = 1 << 3;

// The program-wide set of special characters shown (all four at start).
extern TRDSpecialCharKinds RDShownSpecialChars;

using TRDStyleTemplateId = int;

// Colour modes of output: 0 colour, 1 printer colours, 2 greyscale, 3 black and white,
// 4 black on white.
using TRDColorMode = int;

// The cursor ids the style sheet registers: the hand over hot text and the flip arrow
// of the selection margin.
constexpr int crJump = 101;
constexpr int crRDFlipArrow = 106;

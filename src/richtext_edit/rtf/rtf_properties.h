// Formatting properties the RTF reader keeps per group: character, paragraph, section
// and document properties with their borders, tab stops and old-style (\pn) paragraph
// numbering markers. Lengths are in twips (1/1440 inch) unless a field says otherwise;
// colours are TColor values (clNone: no colour of its own).
//
// Example: "\pard\li720\fi-360\qc\tx1440\tqr\tldot" gives LeftIndent 720, FirstIndent
// -360, Alignment 2 (centre) and one right-aligned tab at 1440 with a dotted leader.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/graphics/geometry.h"
#include "richtext_edit/rtf/rtf_types.h"

// One side of a paragraph, row or cell border.
struct TRDRTFBorderSide {
  std::uint8_t Style = 0;  // the \brdr... value; 0 none
  int Width = 0;
  TColor Color = clNone;
  int Spacing = 0;
  bool operator==(const TRDRTFBorderSide&) const = default;
};

// Four sides, 0 left, 1 top, 2 right, 3 bottom, each created on first use.
struct TRDRTFParaBorder {
  std::array<std::optional<TRDRTFBorderSide>, 4> Sides;
  TRDRTFBorderSide& Side(int index);
  bool operator==(const TRDRTFParaBorder&) const = default;
};

struct TRDRTFTab {
  int Position = 0;
  std::uint8_t Align = 0;   // 0 left, 1 right, 2 centre, 3 decimal
  std::uint8_t Leader = 0;  // 0 none, 1 dots, 2 middle dots, 3 hyphens, 4 underline, 5 equal signs
  bool ListTab = false;
};
using TRDRTFTabList = std::vector<TRDRTFTab>;

struct TRDRTFCharProperties {
  bool Hidden = false;
  int Size = 12;  // points
  TColor Color = clWindowText;
  TColor BackColor = clNone;
  int FontIndex = 0;
  TRDRTFFontStyles Style = 0;
  std::uint8_t StyleEx = 0;
  int CharScaleX = 100;
  std::uint8_t VShift = 0;  // 0 normal, 1 subscript, 2 superscript
  int CharSpacing = 0;
  int Language = 0;
  std::string FontName;  // set only while a SYMBOL field's character is reported

  void Reset(int defaultFontIndex, int defaultLanguage);
};

// Marker fields shared by old-style numbering and Word 97 list levels.
struct TRDRTFCustomMarkerProperties {
  // FontFlags bits: which of font, size and colour were given explicitly.
  static constexpr std::uint8_t kFontGiven = 1, kSizeGiven = 2, kColorGiven = 4;

  std::uint8_t NumberType = 0;  // 1 decimal, 2 a..z, 3 A..Z, 4 i, 5 I, 6 bullet
  int FontIndex = -1;
  int Indent = 0;
  int Space = 0;
  int Start = 0;
  TRDRTFFontStyles FontStyle = 0;
  TColor Color = clWindowText;
  std::uint8_t Alignment = 0;  // 0 left, 1 right, 2 centre
  std::uint8_t FontFlags = 0;
  int FontSize = 12;  // points

  // Takes font, colour and size from the text for each not given explicitly.
  void TakeFontFrom(const TRDRTFCharProperties& chars);
};

// Old-style paragraph numbering (\pn).
struct TRDRTFMarkerProperties : TRDRTFCustomMarkerProperties {
  static constexpr int kBodyLevel = 10;    // \pnlvlbody
  static constexpr int kBulletLevel = 11;  // \pnlvlblt
  // Marker texts are short (RTF allows 32 characters); longer ones are cut here, as
  // every group copies the paragraph's marker.
  static constexpr std::size_t kMaxTextLength = 255;
  int Level = 0;
  bool Hanging = false;
  std::string TextAfter;
  std::string TextBefore;

  // \pnlvl and kin: take the numbering of a section level marker.
  void TakeFromLevelMarker(const TRDRTFMarkerProperties& source);
};

struct TRDRTFParaProperties {
  // Every group copies the paragraph's tabs; more than this many are not kept.
  static constexpr std::size_t kMaxTabs = 256;
  int LeftIndent = 0, RightIndent = 0, FirstIndent = 0, SpaceBefore = 0, SpaceAfter = 0;
  std::uint8_t Alignment = 0;  // 0 left, 1 right, 2 centre, 3 justify
  std::optional<TRDRTFParaBorder> Border;
  std::optional<TRDRTFMarkerProperties> Marker;
  std::uint8_t CurBorderSide = 0;
  int LineSpacing = 240;
  bool LineSpacingMultiple = true;
  TColor Color = clNone;
  int NestingLevel = 1;
  bool InTable = false;
  int Shading = 0;  // hundredths of a percent of PatternColor over Color
  TColor PatternColor = 0;
  int ListOverride = -1;  // index into the list-override table
  int ListLevel = 0;
  bool KeepTogether = false, KeepWithNext = false, KeepTableLevel = false;
  std::optional<TRDRTFTabList> Tabs;
  bool TabsFinal = false;

  void Reset();
  TRDRTFParaBorder& GetBorder();
  // The open tab at the end of the list that collects the next tab's words.
  TRDRTFTab& LastTab();
  // \tx: the open tab gets its position and a new open tab is started.
  void CloseTab(int position);
  // Before text is reported: shading mixed into the colour, the open tab and list tabs removed.
  void Finalize();
};

struct TRDRTFSectionProperties {
  static constexpr int kLevelMarkerCount = 11;
  int Columns = 1;
  std::uint8_t SectionBreak = 4;  // 0 none, 1 column, 2 even, 3 odd, 4 page
  int PageNumberX = 720, PageNumberY = 720;
  std::uint8_t PageNumberFormat = 0;  // 0 decimal, 1 I, 2 i, 3 A, 4 a
  int HeaderY = 720, FooterY = 720;
  // The markers of \pnseclvl 1..11, created on first use.
  std::optional<std::array<TRDRTFMarkerProperties, kLevelMarkerCount>> LevelMarkers;

  void Reset() { *this = TRDRTFSectionProperties(); }
};

struct TRDRTFDocProperties {
  int PaperWidth = 12240, PaperHeight = 15480;
  int LeftMargin = 1800, TopMargin = 1440, RightMargin = 1800, BottomMargin = 1440;
  int PageNumberStart = 1;
  bool FacingPages = false, Landscape = false;
};

// Colour Background with Shading (hundredths of a percent, 0..10000) of Pattern over it,
// channel by channel; clNone counts as white.
TColor MixShading(TColor background, TColor pattern, int shading);

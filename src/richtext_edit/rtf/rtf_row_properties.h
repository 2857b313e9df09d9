// Table row and cell properties of the RTF reader, as the row's control words set them:
// "\trowd\trgaph108\clcbpat2\cellx2000\cellx4000\row" describes a row of two cells
// whose first has background colour 2 and right edges at 2000 and 4000 twips.
//
// Widths given with \trwWidth and \clwWidth are twips, or, when their unit word says
// percent, fiftieths of a percent stored negated (-5000 = 100 %).
#pragma once

#include <array>
#include <vector>

#include "richtext_edit/rtf/rtf_properties.h"

struct TRDRTFCellProperties {
  std::uint8_t HMerge = 0,
               VMerge = 0;  // 0 none, 1 first cell of a merge, 2 merged into the previous
  bool PercentWidth = false;
  int BestWidth = 0;
  TColor Color = clNone;
  std::uint8_t VAlign = 0;  // 0 top, 1 bottom, 2 centre
  TRDRTFParaBorder Border;
  std::uint8_t CurBorderSide = 0;
  int Right = 0;  // \cellx
  TColor PatternColor = 0;
  int Shading = 0;  // hundredths of a percent
  int BestHeight = 0;
  std::array<int, 4> Padding{};  // \clpad: 0 left, 1 top, 2 right, 3 bottom
  std::array<bool, 4> PaddingInTwips{};
  bool operator==(const TRDRTFCellProperties&) const = default;
};

struct TRDRTFRowProperties {
  // Every group copies the row; rows wider than this (word processors stop at 63
  // cells) would make that copying the bulk of the work.
  static constexpr std::size_t kMaxCells = 256;
  TRDRTFRowProperties() { Cells.emplace_back(); }

  bool PercentWidth = false;
  bool Heading = false;
  int GapH = 0, Left = 0, Height = 0;
  int BestWidth = 0;
  TRDRTFParaBorder Border;
  std::uint8_t CurBorderSide = 0;
  std::vector<TRDRTFCellProperties> Cells;
  bool ShadingPending = true;
  bool LastCellOpen = true;
  bool HasComponentSizes = false;
  std::array<int, 4> Padding{};  // 0 left, 1 top, 2 right, 3 bottom
  std::array<int, 4> Spacing{};
  std::array<bool, 4> PaddingInTwips{};
  std::array<bool, 4> SpacingInTwips{};

  // \trowd: numbers and flags zeroed, borders and cells cleared, one empty cell added.
  void Reset();
  // The cell the cell words address, or null after a row without cells ended.
  TRDRTFCellProperties* LastCell() { return Cells.empty() ? nullptr : &Cells.back(); }
  // \cellx: the last cell gets its right edge and a new cell collects the next one's
  // words (past kMaxCells the last cell is reused).
  void CloseCell(int right);
  // \row: the trailing open cell is dropped and cell shading is mixed into the colours.
  void Finish();
  bool operator==(const TRDRTFRowProperties&) const = default;
};

// The \trftsWidth / \clftsWidth unit words: 2 percent, 3 twips, anything else automatic.
void ApplyWidthUnit(int unit, bool& percentWidth, int& bestWidth);
void ApplyWidthValue(int value, bool percentWidth, int& bestWidth);

#include "richtext_edit/rtf/rtf_row_properties.h"

void TRDRTFRowProperties::Reset() {
  *this = TRDRTFRowProperties();
}

void TRDRTFRowProperties::CloseCell(int right) {
  if (TRDRTFCellProperties* cell = LastCell()) cell->Right = right;
  LastCellOpen = Cells.size() < kMaxCells;
  if (LastCellOpen) Cells.emplace_back();
}

void TRDRTFRowProperties::Finish() {
  if (LastCellOpen) {
    if (!Cells.empty()) Cells.pop_back();
    LastCellOpen = false;
  }
  if (ShadingPending) {
    for (auto& cell : Cells) {
      if (cell.Shading >= 1) {
        cell.Color = MixShading(cell.Color, cell.PatternColor, cell.Shading);
        cell.Shading = 0;
      }
    }
    ShadingPending = false;
  }
}

void ApplyWidthUnit(int unit, bool& percentWidth, int& bestWidth) {
  constexpr int kPercent = 2, kTwips = 3;
  if (unit == kPercent) {
    percentWidth = true;
    bestWidth = -bestWidth;
  } else if (unit != kTwips) {
    bestWidth = 0;
  }
}

void ApplyWidthValue(int value, bool percentWidth, int& bestWidth) {
  bestWidth = percentWidth ? -value : value;
}

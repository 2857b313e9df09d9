// The value types of tables: cell vertical alignment, the table's options and print
// options, border styles and the length type of widths (pixels above 0, a percentage
// given as its negative below 0, 0 automatic).
#pragma once

#include <cstdint>

enum TRDCellVAlign : std::uint8_t { rdcTop, rdcMiddle, rdcBottom, rdcVDefault };

using TRDHTMLLength = int;

// TRDTableOptions: a set of these, one bit each in this order.
using TRDTableOptions = std::uint16_t;
constexpr TRDTableOptions rdtoEditing = 1 << 0;
constexpr TRDTableOptions rdtoRowSizing = 1 << 1;
constexpr TRDTableOptions rdtoColSizing = 1 << 2;
constexpr TRDTableOptions rdtoRowSelect = 1 << 3;
constexpr TRDTableOptions rdtoColSelect = 1 << 4;
constexpr TRDTableOptions rdtoNoCellSelect = 1 << 5;
constexpr TRDTableOptions rdtoRTFSaveCellPixelBestWidth = 1 << 6;
constexpr TRDTableOptions rdtoRTFAllowAutofit = 1 << 7;
constexpr TRDTableOptions rdtoHideGridLines = 1 << 8;
constexpr TRDTableOptions rdtoOverlappingCorners = 1 << 9;
constexpr TRDTableOptions rdtoCellBelowBorders = 1 << 10;
constexpr TRDTableOptions rdtoIgnoreContentWidth = 1 << 11;
constexpr TRDTableOptions rdtoIgnoreContentHeight = 1 << 12;
constexpr TRDTableOptions kAllTableOptions = (1 << 13) - 1;

using TRDTablePrintOptions = std::uint8_t;
constexpr TRDTablePrintOptions rdtoHalftoneBorders = 1 << 0;
constexpr TRDTablePrintOptions rdtoRowsSplit = 1 << 1;
constexpr TRDTablePrintOptions rdtoWhiteBackground = 1 << 2;
constexpr TRDTablePrintOptions kAllTablePrintOptions = (1 << 3) - 1;

enum TRDTableBorderStyle : std::uint8_t {
  rdtbRaised,
  rdtbLowered,
  rdtbColor,
  rdtbRaisedColor,
  rdtbLoweredColor
};

// The item kind of tables in documents.
constexpr int rdsTable = -60;

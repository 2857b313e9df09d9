// What an RTF import keeps about open tables and lists while it reads (rtf_importer.h).
#pragma once

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "richtext_edit/rtf/rtf_importer.h"
#include "richtext_edit/rtf/rtf_row_properties.h"
#include "richtext_edit/tables/table_item.h"

struct TRDRTFImporter::TTableInfo {
  // One finished row: its cells' content (a row of the working table, whose slots hold
  // only the cells that hold something) and its properties, shared with the row before
  // when they are the same (rows repeating one definition cost no copy each).
  struct TRow {
    std::unique_ptr<TRDTableRow> Cells;
    int CellCount = 0;
    std::shared_ptr<const TRDRTFRowProperties> Props;
  };

  TCustomRDData* Enclosing = nullptr;
  int SavedRow = -1, SavedCol = -1;
  // Collects the cells of the row being read; the rows keep its row objects. The cell
  // being read is its last slot; a cell that ended empty leaves an empty slot behind.
  std::unique_ptr<TRDTableItemInfo> WorkRow;
  std::vector<TRow> Rows;
  bool PageBreak = false;
  std::uint8_t Alignment = 0;
  // Sums over the rows, in twips.
  long long VSpacing = 0, OuterTop = 0, OuterBottom = 0, HSpacing = 0, Padding = 0;
  int PaddingCount = 0;
  int BestWidth = 0;
  long long TableBorderSum = 0, CellBorderSum = 0;
  int TableBorderCount = 0, CellBorderCount = 0;
  bool HSpacingGiven = false, VSpacingGiven = false, CellHadBestWidth = false;
  bool CellBorderColorsAlike = true;
  TColor CellBorderColor = clNone;  // the first cell border colour seen
  bool ComponentSizes = false;
  int HeadingRowCount = 0;
  TColor BorderColor = clWindowText, BorderLightColor = clWindowText;
  TRDBooleanRect VisibleBorders;
};

struct TRDRTFImporter::TListState {
  // Old-style numbering: the list style made for each level (1..11) in this read, -1 none.
  std::vector<int> LevelStyles = std::vector<int>(11, -1);
  // Word 97 lists: the list style of each list of the list table, made on first need.
  std::vector<int> ListStyles;
  bool ListStylesMade = false;
  // Per level of a list style this read added: whether the indents were taken from a
  // paragraph and whether the marker size is settled.
  struct TLevelFlags {
    bool IndentsTaken = false;
    bool FontSizeSet = false;
  };
  std::map<std::pair<int, int>, TLevelFlags> LevelFlags;
  // The list overrides (with their levels) whose start number a paragraph took.
  std::set<std::pair<int, int>> OverridesStarted;
  // Styles this read added (their indents and sizes may still be taken from the text).
  std::vector<bool> AddedByRead;
  // The marker item waiting for the next marker update, and whether it is of a Word 97
  // list; the data it is in, which is always the current data (EnterData settles the
  // marker before leaving it).
  int PendingItemNo = -1;
  TCustomRDData* PendingData = nullptr;
  bool PendingWord97 = false;
  // The \pn marker of the pending marker's paragraph, for when the paragraph ends
  // without one.
  TRDRTFMarkerProperties PendingMarker;
};

// The part of a table printed on one page: a run of its rows. The table writes only that
// run when it is saved for the page (table_rdf.cpp); the printing (table_print.h) cuts it.
// The table's draw line on paper is the printing's too: the table knows it as a
// TRDTablePrintLine.
#pragma once

#include "richtext/base/style_types.h"
#include "richtext/model/multi_draw_item.h"

class TRDCanvas;

// One run of rows. Its first row may be a piece of a row cut over pages.
class TRDTablePrintPart : public TRDMultiDrawItemPart {
 public:
  int StartRow = 0;
  int RowCount = 0;
  // The piece of StartRow the run starts with (0: the row's top).
  int StartPiece = 0;
  // The table's heading rows are printed above the run (when the table repeats them and
  // they leave the page room for the run's first row).
  bool RepeatsHeading = true;
};

// How many of a table's headingRows repeated heading rows are printed above part: none
// above a part of the heading rows themselves.
inline int HeadingAbove(const TRDTablePrintPart& part, int headingRows) {
  return part.RepeatsHeading && part.StartRow >= headingRows ? headingRows : 0;
}

// A table's draw line on paper, cut into parts (TRDTablePrintPart).
class TRDTablePrintLine : public TRDMultiDrawItemInfo {
 public:
  // Draws the part PrintedPart (the whole table without parts) with its top-left corner
  // at x, y.
  virtual void PrintPart(TRDCanvas& canvas, int x, int y, TRDColorMode colorMode) const = 0;
};

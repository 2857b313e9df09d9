// The part of a table printed on one page: a run of its rows. The table writes only that
// run when it is saved for the page (table_rdf.cpp); the printing (table_print.h) cuts it.
#pragma once

#include "richtext/model/multi_draw_item.h"

// One run of rows. Its first row may be a piece of a row cut over pages.
class TRDTablePrintPart : public TRDMultiDrawItemPart {
 public:
  int StartRow = 0;
  int RowCount = 0;
  // The piece of StartRow the run starts with (0: the row's top).
  int StartPiece = 0;
};

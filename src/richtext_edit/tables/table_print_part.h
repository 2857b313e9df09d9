// The part of a table printed on one page: a run of its rows. The table writes only that
// run when it is saved for the page (table_rdf.cpp); the printing (table_print.h) cuts it.
#pragma once

#include "richtext/multi_draw_item.h"

// One run of rows.
class TRDTablePrintPart : public TRDMultiDrawItemPart {
 public:
  int StartRow = 0;
  int RowCount = 0;
};

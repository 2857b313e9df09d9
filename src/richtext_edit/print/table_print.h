// A table on paper. Its draw line in a printable document is a TRDTablePrintInfo: the
// table laid out again at the printer's resolution, with a printable document for every
// cell, and cut into parts, each a run of rows printed on one page. The heading rows are
// not part of any run: they are printed again above every run when the table repeats
// them.
//
// Cutting follows the rows: a part ends before the first row that does not fit, before a
// row with a page break before it, and never between rows that a cell spanning them
// binds together. A table that cannot be cut where a page needs it is printed uncut and
// the reason is kept in SplitRefusal.
//
// Example: a table of 1 heading row and 30 rows of 20 pixels with 220 pixels left on
// the first page prints rows 1-9 under the heading there (the heading and the borders
// take the rest) and goes on with row 10 under the heading on the next page.
#pragma once

#include <memory>

#include "richtext/multi_draw_item.h"
#include "richtext/text_routines.h"
#include "richtext_edit/print/printable_data.h"
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_print_part.h"

class TCustomPrintableRDData;

// The printable document of one cell: the cell's items (shown: the cell, or the editor
// open on it) laid out in its box on paper.
class TCellPtblRDData : public TRectPtblRDData, public TRDTableCellLayout {
 public:
  TCellPtblRDData(TRDTableCellData& cell, TCustomRDData& shown, TCustomPrintableRDData& parent);
  TRDTableCellData& Cell;
  void FormatForWidth(int width, TRDCanvas& canvas) override;
  int ContentHeight() const override { return DocumentHeight; }
};

class TRDTablePrintInfo : public TRDMultiDrawItemInfo {
 public:
  TRDTablePrintInfo(TRDTableItemInfo& table, TCustomPrintableRDData& printable,
                    const TRDResolution& resolution);

  TRDTableItemInfo& Table;
  // The heading rows are printed above every part.
  bool RepeatHeading = false;
  TRDResolution Resolution;
  // The layout on paper, with the cells' printable documents.
  TRDTableItemFormattingInfo FormattingInfo;

  TRDTablePrintPart* Part(int index) const {
    return static_cast<TRDTablePrintPart*>(PartsList.Get(index));
  }
  // The heading rows printed above each part (0 without repeating).
  int HeadingRows() const;

  // The size comes from the layout, not from the formatter.
  void SetSize(int, int) override {}
  bool LayOutForPrinting(TRDCanvas& canvas, int docWidth, int& width, int& height) override;
  bool InitSplit() override;
  bool CanSplitFirst(int y) const override;
  bool SplitAt(int y) override;

 private:
  // The height of the table outside its non-heading rows: borders, spacing and heading.
  int Outside() const;
};

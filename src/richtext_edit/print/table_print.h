// A table on paper. Its draw line in a printable document is a TRDTablePrintInfo: the
// table laid out again at the printer's resolution, with a printable document for every
// cell, and cut into parts, each a run of rows printed on one page. The heading rows are
// not part of any run: they are printed again above every run when the table repeats
// them.
//
// Cutting follows the rows: a part ends before the first row that does not fit, before a
// row with a page break before it, and never between rows that a cell spanning them
// binds together. A row taller than a page (not bound to others) is cut inside: each of
// its cells' documents is broken into pieces as a document is into pages (paginator.h),
// tables inside them cut in turn, and the row goes on in the next part with the next
// piece of every cell, its height the highest piece. Rows bound together that are taller
// than a page together are cut as one: each page shows a window of the group as it is
// laid out, its lower edge moved up above every line it would cut, so each line of each
// cell stands in one window and the merged cells' boxes go on from window to window; a
// table in a cell is cut at the window's edge as a table is at a page's and goes on at
// the top of the next window. A table that cannot be cut where a page needs it is
// printed uncut and the reason is kept in SplitRefusal.
//
// Example: a table of 1 heading row and 30 rows of 20 pixels with 220 pixels left on
// the first page prints rows 1-9 under the heading there (the heading and the borders
// take the rest) and goes on with row 10 under the heading on the next page.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "richtext/base/text_routines.h"
#include "richtext/model/multi_draw_item.h"
#include "richtext_edit/print/paginator.h"
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
  // In a group of rows cut over pages: the piece whose window the first page shows.
  int FirstPiece = 0;
};

class TRDTablePrintInfo : public TRDTablePrintLine {
 public:
  TRDTablePrintInfo(TRDTableItemInfo& table, TCustomPrintableRDData& printable,
                    const TRDResolution& resolution);

  TRDTableItemInfo& Table;
  // The heading rows are printed above every part (a table with body rows after them).
  bool RepeatHeading = false;
  TRDResolution Resolution;
  // The layout on paper, with the cells' printable documents.
  TRDTableItemFormattingInfo FormattingInfo;

  TRDTablePrintPart* Part(int index) const {
    return static_cast<TRDTablePrintPart*>(PartsList.Get(index));
  }
  // The heading rows printed above each part (0 without repeating).
  int HeadingRows() const;
  // The heading rows printed above part (none above a part of the heading rows).
  int PartHeading(const TRDTablePrintPart& part) const;
  // The height of the content of the part's first row, or of the group of rows it
  // starts, on its page: its piece's when the row is cut over pages.
  int FirstContent(const TRDTablePrintPart& part) const;
  // What of the part's first row or group is printed on other pages.
  int Shrink(const TRDTablePrintPart& part) const;
  // Where in its group (0: the group's top) the window a part of a group cut over pages
  // starts; -1 for a part that does not start inside such a group.
  int WindowStart(const TRDTablePrintPart& part) const;
  // The first row of its group with anything to print in a part's window (the part's
  // first row outside a window), and the cells of the group that span rows.
  int WindowFirstRow(const TRDTablePrintPart& part) const;
  const std::vector<std::pair<int, int>>& GroupSpans(int first) const;
  // The last row of the group of rows that row starts (Table.GetRowGroupEnd, kept).
  int GroupEnd(int row) const;
  // The cell's printable document (none for a slot a merged cell covers).
  TCellPtblRDData* CellDocument(int row, int col) const;

  // The size comes from the layout, not from the formatter.
  void SetSize(int, int) override {}
  bool LayOutForPrinting(TRDCanvas& canvas, int docWidth, int& width, int& height) override;
  bool InitSplit() override;
  bool CanSplitFirst(int y) const override;
  bool SplitAt(int y) override;
  void PrintPart(TRDCanvas& canvas, int x, int y, TRDColorMode colorMode) const override;

 private:
  // Why part of the table laid out for a page docWidth wide is not printed, or "".
  std::string CellsNotPrinted(int docWidth) const;
  // The height of the table outside its rows after heading rows: borders, spacing and
  // those heading rows.
  int Outside(int heading) const;
  // A heading that leaves no room on a page of y pixels for the part's first row, which
  // would fit the page without it, is not printed above the part; a first part then
  // begins with the heading rows as rows of its own, so that they are printed once.
  void LeaveOutHeadingWithoutRoom(TRDTablePrintPart& part, int y);
  // The height of part when it ends with row lastRow.
  int RunHeight(const TRDTablePrintPart& part, int lastRow) const;
  // Cuts the part's first row so that its piece takes room pixels of content, the rest
  // going on in a new part; false when all the row's content fits (the piece then takes
  // the room, or what a line that cannot be cut needs).
  bool CutFirstRow(TRDTablePrintPart& part, int room);
  // The same for a group of rows bound by merged cells: the piece ends at the lowest
  // window edge that cuts no line of any cell, and every cell's document gets a page for
  // the window that follows.
  bool CutFirstGroup(TRDTablePrintPart& part, int room);
  // Adds the cell's page for the window after the one from start, room high: it goes on
  // with the first line that would cross the window's lower edge, or with the rest of a
  // table inside the cell cut at that edge.
  void StartNextWindow(TCellPtblRDData& document, int start, int room);
  // Cuts a table of a cell's document so that its part takes room pixels of a window
  // (continued: the part goes on with an earlier cut), next going on with the rest;
  // false when it cannot be cut there (movable: at its first row, which may then go to
  // the next window).
  bool CutTableAtWindowEdge(TRDTablePrintInfo& table, int room, bool continued, bool movable,
                            TRDPageInfo& next);
  // The height of the group of rows that row starts.
  int GroupHeight(int row) const;
  // Forgets every cut inside rows, tables in their cells included.
  void ForgetRowCuts();

  // The content heights of the pieces of every row cut over pages, and the breaking of
  // the cells of the row being cut.
  std::map<int, std::vector<int>> pieces_;
  std::vector<std::unique_ptr<TRDPager>> pagers_;
  // The start of every window of the groups cut over pages, by the group's first row.
  std::map<int, std::vector<int>> windows_;
  mutable std::vector<int> group_ends_;
  // The group of rows being cut over pages: the cells with lines still to place (with
  // their rows), the next row whose cells the windows have not reached, and the group's
  // bottom so far.
  std::vector<std::pair<int, TCellPtblRDData*>> group_cells_;
  int next_group_row_ = 0;
  // The first row of the group whose box reaches below the window's top.
  int box_row_ = 0;
  // By a group's first row: per window its first row to print, and its spanning cells.
  std::map<int, std::vector<int>> window_rows_;
  std::map<int, std::vector<std::pair<int, int>>> group_spans_;
  int group_bottom_ = 0;
  // The cells' padding at the printer's resolution.
  int pad_y_ = 0;
};

// Tables in printable documents print as TRDTablePrintInfo lines (TablePrintLineMaker);
// every main printable document sets this up when it is made.
void RegisterTablePrinting();

// Breaking a document laid out for paper into pages. Screen lines are kept whole and go
// to the next page when they do not fit; an item with a page break before it starts a
// page; a draw line that can be cut over pages (a table, a tall picture) is cut where
// the page ends and goes on at the top of the next pages.
//
// A page that starts inside a cut line gets the document Y at which the line's last
// parts would stand (its bottom minus the height of that part), so the lines after the
// cut line follow its last part on the page.
//
// The same breaking serves a table cell whose row is taller than a page: the cell's
// document is broken into pieces, one a page, each as high as the row's room there.
//
// Example: with 1000 device pixels of room a page and screen lines 300 high, lines 0-2
// make page 1 and line 3 starts page 2 at its top.
#pragma once

#include <string>
#include <vector>

class TCustomMainPtblRDData;
class TCustomPrintableRDData;
class TRDMultiDrawItemInfo;

// Breaks the draw lines first .. last of a formatted printable document into its Pages,
// one page a call, each page as high as the caller says.
class TRDPager {
 public:
  TRDPager(TCustomPrintableRDData& data, int first, int last);

  // Lays out the page the pager stands on with room pixels for the document; when the
  // document goes on, starts the next page and returns true. False when the document
  // ends on this page or had ended before.
  bool NextPage(int room);
  // The height the document takes on the page the last call laid out (0: it had ended).
  int Used() const { return used_; }
  // The height of what the pages laid out leave, were it printed uncut (0: nothing).
  int Rest() const;
  // Why lines could not be cut where a page needed it, or are taller than their page.
  std::vector<std::string> Warnings;
  // Adds text to the warnings unless it is the last one already.
  void Warn(const char* text);

 private:
  int Count() const;
  int StartY() const;
  int LineTop(int d) const;
  bool ForcesPageBreak(int d) const;
  // Ends the page before draw line d, whose screen line starts at document Y top.
  bool Break(int d, int top);
  // Cuts line d_ so that its part on this page fits into avail pixels of room.
  bool Cut(int avail, int room);

  TCustomPrintableRDData& data_;
  int d_;
  int end_;
  // The bottom of the last line: the end of the document.
  int bottom_ = 0;
  // The line cut over pages whose part the page the pager stands on goes on with.
  TRDMultiDrawItemInfo* cut_ = nullptr;
  int used_ = 0;
  bool ended_ = false;
};

// Fills data.Pages from its draw lines (the data must be formatted) and returns why draw
// lines that needed cutting could not be cut (they overrun their page instead) and why
// parts of lines too wide for the page are not printed.
std::vector<std::string> Paginate(TCustomMainPtblRDData& data);

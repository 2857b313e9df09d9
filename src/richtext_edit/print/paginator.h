// Breaking a document laid out for paper into pages. Screen lines are kept whole and go
// to the next page when they do not fit; an item with a page break before it starts a
// page; a draw line that can be cut over pages (a table, a tall picture) is cut where
// the page ends and goes on at the top of the next pages.
//
// A page that starts inside a cut line gets the document Y at which the line's last
// parts would stand (its bottom minus the height of that part), so the lines after the
// cut line follow its last part on the page.
//
// Example: with 1000 device pixels of room a page and screen lines 300 high, lines 0-2
// make page 1 and line 3 starts page 2 at its top.
#pragma once

#include <string>
#include <vector>

class TCustomMainPtblRDData;

// Fills data.Pages from its draw lines (the data must be formatted) and returns why draw
// lines that needed cutting could not be cut (they overrun their page instead).
std::vector<std::string> Paginate(TCustomMainPtblRDData& data);

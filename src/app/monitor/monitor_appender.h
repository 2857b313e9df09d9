// The monitor: every packet received or sent is written to a read-only rich-text viewer
// as a coloured log. All writers go through AddLogText, which takes raw text with
// control characters (CR starts a new line, BS takes back the character before it, LF
// and BEL are dropped), keeps about 300 lines while the user follows the end, and leaves
// the view on the lines the user reads while the user has scrolled up or selected text.
//
// Lines are paragraphs of the viewer: a run either starts one or continues the line
// before it. Only what was appended is laid out anew (the viewer's tail format), and the
// oldest lines go in one range, so an append costs the same however long the log is.
#pragma once

#include <string>
#include <vector>

class TCustomRichDoc;

// The log keeps fewer than this many lines while the user follows the end.
constexpr int kMonitorMaxLines = 300;
// While the user reads above the end, a full feed still comes in at a hundred packets a
// second: the log then keeps at most this many runs, and so lines (a packet's line is
// one run), the last few thousand packets to scroll back through. Past it, the oldest
// lines go in one piece of at least kMonitorReadingTrimRuns runs, so that a trim comes
// seldom and costs what the kept lines cost, and the lines in view stay where they are.
constexpr int kMonitorMaxRunsWhileReading = 6000;
constexpr int kMonitorReadingTrimRuns = 1000;

// Whether AddLogText drops an empty last line before appending, after, or both.
enum class TEmptyLastLine { Keep, DropBefore, DropAfter, DropBeforeAndAfter };

// ParaNo is the caller's paragraph variable: -1 lets the text continue the current line;
// it is -1 after every line break. Does nothing without a view.
void AddLogText(TCustomRichDoc* View, std::string Text, int StyleNo, int& ParaNo,
                TEmptyLastLine EmptyLastLine = TEmptyLastLine::Keep);
// AddLogText for text off the wire (a TNC's own lines, an APRS-IS server's, the echo of
// what we send): each line of it that is UTF-8 goes into the style's Unicode twin, decided
// on the line as a whole; any other line stays in StyleNo as Windows-1252. A BS takes
// back a whole character.
void AddReceivedLogText(TCustomRichDoc* View, std::string Text, int StyleNo, int& ParaNo);
// One line of a packet's echo: its text (control characters become blanks) and style.
// Received text in UTF-8 goes into the style's Unicode twin.
struct TLogLine {
  std::string Text;
  int StyleNo = 0;
  bool Received = false;
};
// What AddLogText("\r\n" + Text, StyleNo, ParaNo = -1) does for each line in turn, with
// the appended lines laid out, scrolled to and trimmed once: the log ends as the calls
// one by one would leave it, the oldest lines going as each call would have let them go.
void AddLogLines(TCustomRichDoc* View, std::vector<TLogLine> Lines);
// While a batch is open on View (one view at a time), AddLogLines only collects the
// lines; closing it appends them all in one AddLogLines, so that a feed's packets are
// laid out, followed and trimmed once per batch. Every other writer of the view first
// appends what was collected, so nothing changes order. Batches on the same view nest.
void BeginLogBatch(TCustomRichDoc* View);
void EndLogBatch(TCustomRichDoc* View);
// Drops the oldest lines while the view is at its end and holds over 300, or while it is
// not and holds over kMonitorMaxRunsWhileReading runs; returns the number of items
// deleted.
int TrimLogLines(TCustomRichDoc& View);
void ScrollLogToEnd(TCustomRichDoc& View);
void DeleteEmptyLastLine(TCustomRichDoc& View);
void ClearLog(TCustomRichDoc& View);

// The monitor: every packet received or sent is written to a read-only rich-text viewer
// as a coloured log. All writers go through AddLogText, which takes raw text with
// control characters (CR starts a new line, BS takes back a character, LF and BEL are
// dropped), keeps about 300 lines while the user follows the end, and leaves the view
// alone while the user has scrolled up or selected text.
#pragma once

#include <string>

struct TMonitorSelection {
  int StartItem = 0;
  int StartOffs = 0;
  int EndItem = 0;
  int EndOffs = 0;
};

// The viewer operations the appender uses. Items are text runs in a text style; a run
// either starts a paragraph (a new line) or continues the line before it.
class TMonitorView {
 public:
  virtual ~TMonitorView() = default;

  virtual int ItemCount() const = 0;
  virtual std::string ReadItemText(int ItemNo) const = 0;
  virtual void ReplaceItemText(int ItemNo, const std::string& Text) = 0;
  virtual int GetItemStyleIndex(int ItemNo) const = 0;
  // A run that starts a paragraph in paragraph style ParaNo.
  virtual void AddTextParagraph(const std::string& Text, int StyleNo, int ParaNo) = 0;
  // A run that continues the last line.
  virtual void AddTextContinued(const std::string& Text, int StyleNo) = 0;
  // Items First..Last, both included.
  virtual void DeleteItemRange(int First, int Last) = 0;
  // 1-based line of the item in the formatted document.
  virtual int GetLineNumber(int ItemNo) const = 0;
  virtual int GetItemEndOffset(int ItemNo) const = 0;
  virtual bool HasSelection() const = 0;
  virtual TMonitorSelection GetSelectionRange() const = 0;
  virtual void SetSelectionRange(const TMonitorSelection& Selection) = 0;
  virtual void FormatDocument() = 0;
  virtual void ClearDocument() = 0;
  // Vertical scrolling in scroll units; the position equals GetVScrollMax at the end.
  virtual int VScrollPos() const = 0;
  virtual int GetVScrollMax() const = 0;
  virtual void SetVScrollPos(int Value) = 0;
  // Drawing off while the log changes, so that it does not flicker.
  virtual void SetRedraw(bool On) = 0;
  virtual void Repaint() = 0;

  // Set while the view shows the end of the log and nothing is selected.
  bool FollowEnd = false;
};

// The log keeps fewer than this many lines while the user follows the end.
constexpr int kMonitorMaxLines = 300;

// Mode 0 plain, 1 drops an empty last line before appending, 2 after, 3 both. ParaNo is
// the caller's paragraph variable: -1 lets the text continue the current line; it is -1
// after every line break. Does nothing without a view.
void AddLogText(TMonitorView* View, std::string Text, int StyleNo, int Mode, int& ParaNo);
// Drops the oldest lines while the view is at its end and holds over 300; returns the
// number of items deleted.
int TrimLogLines(TMonitorView& View);
void ScrollLogToEnd(TMonitorView& View);
void DeleteEmptyLastLine(TMonitorView& View);
void ClearLog(TMonitorView& View);

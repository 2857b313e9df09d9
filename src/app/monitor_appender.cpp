#include "app/monitor_appender.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kBel = '\a';
constexpr char kBs = '\b';

TMonitorSelection Normalised(TMonitorSelection s) {
  if (std::pair(s.StartItem, s.StartOffs) > std::pair(s.EndItem, s.EndOffs)) {
    std::swap(s.StartItem, s.EndItem);
    std::swap(s.StartOffs, s.EndOffs);
  }
  return s;
}

// Puts a selection back after Deleted items went from the front, unless it began in them.
void RestoreSelection(TMonitorView& view, TMonitorSelection s, int deleted) {
  s.StartItem -= deleted;
  s.EndItem -= deleted;
  if (s.StartItem >= 0) view.SetSelectionRange(s);
}

bool IsAtEnd(const TMonitorView& view) {
  return view.VScrollPos() == view.GetVScrollMax();
}

void EraseAll(std::string& text, char c) {
  text.erase(std::remove(text.begin(), text.end(), c), text.end());
}

// Each BS takes back the last character of the log as it stands, before this text.
void TakeBackCharacters(TMonitorView& view, std::string& text) {
  const auto count = std::count(text.begin(), text.end(), kBs);
  EraseAll(text, kBs);
  for (auto i = count; i > 0 && view.ItemCount() > 0; --i) {
    const int last = view.ItemCount() - 1;
    std::string item = view.ReadItemText(last);
    if (!item.empty()) {
      item.pop_back();
      view.ReplaceItemText(last, item);
    }
  }
}

}  // namespace

void AddLogText(TMonitorView* View, std::string Text, int StyleNo, int Mode, int& ParaNo) {
  if (View == nullptr) return;
  TMonitorView& view = *View;
  if (view.ItemCount() == 0) view.AddTextContinued("", 0);
  view.SetRedraw(false);

  const int entry_para = ParaNo;
  const bool had_selection = view.HasSelection();
  const TMonitorSelection selection =
      had_selection ? Normalised(view.GetSelectionRange()) : TMonitorSelection{};
  view.FollowEnd = IsAtEnd(view) && !had_selection;

  EraseAll(Text, kLf);
  EraseAll(Text, kBel);
  TakeBackCharacters(view, Text);
  if (Mode == 1 || Mode == 3) DeleteEmptyLastLine(view);

  // Same style on the same line joins the last run; anything else is a run of its own.
  auto add_line_text = [&](const std::string& line) {
    const int last = view.ItemCount() - 1;
    if (last < 0 || view.GetItemStyleIndex(last) != StyleNo || entry_para != -1) {
      if (ParaNo == -1) {
        view.AddTextContinued(line, StyleNo);
      } else {
        view.AddTextParagraph(line, StyleNo, ParaNo);
      }
    } else {
      view.ReplaceItemText(last, view.ReadItemText(last) + line);
    }
  };

  size_t start = 0;
  for (size_t cr = Text.find(kCr); cr != std::string::npos; cr = Text.find(kCr, start)) {
    add_line_text(Text.substr(start, cr - start));
    view.AddTextParagraph("", StyleNo, entry_para >= 1 ? entry_para : 0);
    ParaNo = -1;
    start = cr + 1;
  }
  if (start == 0) {
    add_line_text(Text);
  } else if (start < Text.size()) {
    view.AddTextContinued(Text.substr(start), StyleNo);
  }

  view.FormatDocument();
  if (Mode == 2 || Mode == 3) {
    DeleteEmptyLastLine(view);
    view.FormatDocument();
  }
  if (view.FollowEnd) ScrollLogToEnd(view);
  const int trimmed = TrimLogLines(view);
  // The selection moves with its text when the oldest lines went.
  if (had_selection) RestoreSelection(view, selection, trimmed);
  view.SetRedraw(true);
  view.Repaint();
}

int TrimLogLines(TMonitorView& View) {
  const bool had_selection = View.HasSelection();
  const TMonitorSelection selection =
      had_selection ? Normalised(View.GetSelectionRange()) : TMonitorSelection{};
  View.FormatDocument();
  const int count = View.ItemCount();
  if (count == 0) return 0;
  const int last_line = View.GetLineNumber(count - 1);
  if (last_line <= kMonitorMaxLines || !IsAtEnd(View)) return 0;
  int n = 0;
  while (n < count - 1 && last_line - View.GetLineNumber(n) >= kMonitorMaxLines) ++n;
  if (n == 0) return 0;
  View.DeleteItemRange(0, n - 1);
  View.FormatDocument();
  if (had_selection) RestoreSelection(View, selection, n);
  return n;
}

void ScrollLogToEnd(TMonitorView& View) {
  View.SetVScrollPos(View.GetVScrollMax());
  const int last = View.ItemCount() - 1;
  if (last >= 0) {
    const int end = View.GetItemEndOffset(last);
    View.SetSelectionRange({last, end, last, end});
  }
  View.FormatDocument();
}

void DeleteEmptyLastLine(TMonitorView& View) {
  const int last = View.ItemCount() - 1;
  if (last < 0 || !View.ReadItemText(last).empty()) return;
  const int line = View.GetLineNumber(last);
  int first = last;
  while (first > 0 && View.GetLineNumber(first - 1) == line) --first;
  View.DeleteItemRange(first, last);
}

void ClearLog(TMonitorView& View) {
  View.ClearDocument();
  View.FormatDocument();
}

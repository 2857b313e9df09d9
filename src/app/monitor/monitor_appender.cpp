#include "app/monitor/monitor_appender.h"

#include <algorithm>
#include <iterator>

#include "app/monitor/monitor_styles.h"
#include "app/monitor/station_styles.h"
#include "core/my_tools.h"
#include "platform/text/cp1252.h"
#include "richtext/base/code_pages.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kBel = '\a';
constexpr char kBs = '\b';

struct TSelection {
  int StartItem = -1, StartOffs = 0, EndItem = -1, EndOffs = 0;
};

TSelection SelectionOf(const TCustomRichDoc& view) {
  TSelection s;
  if (view.HasSelection())
    view.GetSelectionRange(s.StartItem, s.StartOffs, s.EndItem, s.EndOffs, true);
  return s;
}

// Puts a selection back after Deleted items went from the front, unless it began in them.
void RestoreSelection(TCustomRichDoc& view, TSelection s, int deleted) {
  s.StartItem -= deleted;
  s.EndItem -= deleted;
  if (s.StartItem >= 0) view.SetSelectionRange(s.StartItem, s.StartOffs, s.EndItem, s.EndOffs);
}

bool IsAtEnd(const TCustomRichDoc& view) {
  return view.VScrollPos() == view.GetVScrollMax();
}

// Lays out what was appended without moving the view: following the end is the
// appender's own decision. After the oldest lines went, the lines left keep their
// layout and only the scroll range follows.
void FormatAppended(TCustomRichDoc& view, bool after_deletion = false) {
  const TRDOptions options = view.Options;
  view.Options &= ~rdoScrollToEnd;
  if (after_deletion) {
    view.FormatAfterDeletion();
  } else {
    view.FormatTail();
  }
  view.Options = options;
}

// The view at its end, the caret after the last character; the layout must be current.
void MoveToEnd(TCustomRichDoc& view) {
  view.SetVScrollPos(view.GetVScrollMax());
  const int last = view.ItemCount() - 1;
  if (last >= 0) {
    const int end = view.GetItemEndOffset(last);
    view.SetSelectionRange(last, end, last, end);
  }
}

// The line number of items asked for in increasing order (the same one again too): the
// line of the item's first draw line, counted in one walk over the draw lines.
class TLineWalk {
 public:
  explicit TLineWalk(const TRichDocRDData& data) : data_(data) {}
  int LineOf(int item) {
    const int first = data_.GetFirstDrawItemOfItem(item);
    for (; draw_item_ <= first; ++draw_item_)
      if (data_.DrawItems[draw_item_]->FromNewLine) ++line_;
    return line_;
  }

 private:
  const TRichDocRDData& data_;
  int draw_item_ = 0;
  int line_ = 0;
};

// The top of the screen line that holds the start of an item (the layout must be current).
int LineTopOfItem(const TRichDocRDData& data, int item) {
  return data.LineTopOf(data.GetFirstDrawItemOfItem(item));
}

// Where to cut the oldest lines so that at most Kept items are left: the first line
// start from there on; among the next few line starts, the first whose top lies a whole
// number of scroll steps below the log's, as the view moves in such steps and so keeps
// its lines exactly in place. Count when no line starts there.
int ReadingCut(const TCustomRichDoc& view, int kept) {
  constexpr int kAlignedCutSearch = 200;
  const TRichDocRDData& data = view.RDData();
  const int count = view.ItemCount();
  int first = count - kept;
  while (first < count && !view.IsItemLineStart(first)) ++first;
  const int log_top = LineTopOfItem(data, 0);
  const int step = view.VSmallStep();
  int starts = 0;
  for (int item = first; item < count && starts < kAlignedCutSearch; ++item) {
    if (!view.IsItemLineStart(item)) continue;
    ++starts;
    if ((LineTopOfItem(data, item) - log_top) % step == 0) return item;
  }
  return first;
}

// While the user reads above the end: past kMonitorMaxRunsWhileReading items the oldest
// whole lines go, kMonitorReadingTrimRuns items at least, and the view moves up by the
// height that went, so that the line at its top stays there (unless it went too). The
// layout must be current. Returns the number of items deleted.
int TrimWhileReading(TCustomRichDoc& view) {
  if (view.ItemCount() <= kMonitorMaxRunsWhileReading) return 0;
  const int cut = ReadingCut(view, kMonitorMaxRunsWhileReading - kMonitorReadingTrimRuns);
  if (cut >= view.ItemCount()) return 0;
  const TSelection selection = SelectionOf(view);
  const TRichDocRDData& data = view.RDData();
  const int view_top = view.VScrollPos() * view.VSmallStep();
  const int top_item = data.DrawItems[data.FindFirstVisibleDrawItem(view_top, 0)]->ItemNo;
  const int below_line_top = view_top - LineTopOfItem(data, top_item);
  view.DeleteItemRange(0, cut);
  FormatAppended(view, true);
  view.ScrollToY(top_item >= cut ? LineTopOfItem(data, top_item - cut) + below_line_top : 0);
  if (selection.StartItem >= 0) RestoreSelection(view, selection, cut);
  return cut;
}

// Trims the oldest lines as a trim after each of several appends would have: Ends holds
// the last item of the log after each append, in order (the layout must be current). A
// trim finds the fewest items n whose removal leaves the last item's line fewer than 300
// lines below item n's, when it is over 300 and the view at its end; the items go in one
// range at the end. Away from the end, TrimWhileReading bounds the log. Returns the
// number deleted.
int TrimFormatted(TCustomRichDoc& view, const std::vector<int>& ends) {
  if (ends.empty() || view.ItemCount() == 0) return 0;
  if (!IsAtEnd(view)) return TrimWhileReading(view);
  const TSelection selection = SelectionOf(view);
  TLineWalk end_lines(view.RDData());
  TLineWalk front_lines(view.RDData());
  int deleted = 0;  // items gone so far
  int cut = 0;      // lines gone so far
  for (const int end : ends) {
    const int last_line = end_lines.LineOf(end) - cut;
    if (last_line <= kMonitorMaxLines) continue;
    int n = deleted;
    for (; n < end; ++n) {
      if (last_line - (front_lines.LineOf(n) - cut) < kMonitorMaxLines) break;
    }
    if (n == deleted) continue;
    deleted = n;
    cut = front_lines.LineOf(n) - 1;
  }
  if (deleted == 0) return 0;
  view.DeleteItemRange(0, deleted);
  FormatAppended(view, true);
  if (selection.StartItem >= 0) RestoreSelection(view, selection, deleted);
  return deleted;
}

// TrimLogLines on a view whose layout is current.
int TrimFormatted(TCustomRichDoc& view) {
  return TrimFormatted(view, {view.ItemCount() - 1});
}

void EraseAll(std::string& text, char c) {
  text.erase(std::remove(text.begin(), text.end(), c), text.end());
}

// The batch open on a view: the lines AddLogLines collected meanwhile.
struct TLogBatch {
  TCustomRichDoc* view = nullptr;
  int depth = 0;
  std::vector<TLogLine> lines;
};

TLogBatch& OpenBatch() {
  static TLogBatch batch;
  return batch;
}

// AddLogLines without a batch open on the view.
void AppendLines(TCustomRichDoc& view, const std::vector<TLogLine>& Lines) {
  if (view.ItemCount() == 0) view.AddTextContinued("", 0);
  const TSelection selection = SelectionOf(view);
  const bool had_selection = selection.StartItem >= 0;
  const bool follow_end = IsAtEnd(view) && !had_selection;
  // Each line starts a screen line of its own, so while the log follows its end only the
  // last kMonitorMaxLines of them can outlast the trim below: the others go unlaid out.
  const size_t dropped = follow_end && Lines.size() > static_cast<size_t>(kMonitorMaxLines)
                             ? Lines.size() - kMonitorMaxLines
                             : 0;
  std::vector<int> ends;
  ends.reserve(Lines.size() - dropped);
  for (size_t n = dropped; n < Lines.size(); ++n) {
    const TLogLine& line = Lines[n];
    const std::string text = BlankControlChars(line.Text);
    const TReceivedRun run =
        line.Received ? ReceivedRun(text, line.StyleNo, UnicodeMonitorStyle(line.StyleNo))
                      : TReceivedRun{text, line.StyleNo};
    view.AddTextParagraph("", run.StyleNo, 0);
    if (!run.Text.empty()) view.ReplaceItemText(view.ItemCount() - 1, run.Text);
    ends.push_back(view.ItemCount() - 1);
  }
  FormatAppended(view);
  if (follow_end) MoveToEnd(view);
  const int trimmed = TrimFormatted(view, ends);
  if (had_selection) RestoreSelection(view, selection, trimmed);
  view.Invalidate();
}

// Appends what the batch open on View collected, before anything else writes to it.
void FlushBatch(TCustomRichDoc& view) {
  TLogBatch& batch = OpenBatch();
  if (batch.view != &view || batch.lines.empty()) return;
  std::vector<TLogLine> lines;
  lines.swap(batch.lines);
  AppendLines(view, lines);
}

// The last character of Text, gone: a byte of code-page text, a UTF-16 character (a
// surrogate pair whole) of Unicode text.
void PopCharacter(std::string& text) {
  text.pop_back();
}
void PopCharacter(std::u16string& text) {
  const auto is_lead = [](char16_t unit) { return (unit & 0xFC00) == 0xD800; };
  const auto is_trail = [](char16_t unit) { return (unit & 0xFC00) == 0xDC00; };
  const bool pair = text.size() >= 2 && is_trail(text.back()) && is_lead(text[text.size() - 2]);
  text.resize(text.size() - (pair ? 2 : 1));
}

bool IsUnicodeItem(const TCustomRichDoc& view, int item) {
  const int style = view.GetItemStyleIndex(item);
  return view.Style() && style >= 0 && style < view.Style()->TextStyles().Count() &&
         view.Style()->TextStyles()[style].Unicode;
}

// Takes back the last character of the log, whole; an empty last run (a line just
// begun) gives nothing back.
void TakeBackLastCharacter(TCustomRichDoc& view) {
  const int last = view.ItemCount() - 1;
  if (last < 0) return;
  const std::string item = view.ReadItemText(last);
  if (item.empty()) return;
  if (IsUnicodeItem(view, last)) {
    std::u16string text = RawUnicodeToWideString(item);
    PopCharacter(text);
    view.ReplaceItemText(last, WideStringToRawUnicode(text));
  } else {
    view.ReplaceItemText(last, item.substr(0, item.size() - 1));
  }
}

// Text without its BSs: each takes back the character before it, from Text itself or,
// when none of Text's stands before it and the text continues the log's line, the log's
// last character.
template <class String>
String TakeBackCharacters(TCustomRichDoc& view, const String& text, bool continues_line) {
  String kept;
  kept.reserve(text.size());
  for (const auto c : text) {
    if (c != kBs) {
      kept.push_back(c);
    } else if (!kept.empty()) {
      PopCharacter(kept);
    } else if (continues_line) {
      TakeBackLastCharacter(view);
    }
  }
  return kept;
}

// One line of a text as the run it becomes, its BSs applied. Received text that is UTF-8
// goes into the style's Unicode twin; the decision is the whole line's, so a character
// the link delivered in pieces is read whole.
TReceivedRun LineRun(TCustomRichDoc& view, const std::string& line, int StyleNo, bool received,
                     bool continues_line) {
  if (received && IsUtf8Text(line)) {
    const std::u16string text = TakeBackCharacters(view, ReceivedTextToUtf16(line), continues_line);
    return {WideStringToRawUnicode(text), UnicodeMonitorStyle(StyleNo)};
  }
  return {TakeBackCharacters(view, line, continues_line), StyleNo};
}

// AddLogText and AddReceivedLogText: Received says whether Text came from the wire.
void AppendLogText(TCustomRichDoc& view, std::string Text, int StyleNo, int& ParaNo,
                   TEmptyLastLine EmptyLastLine, bool received) {
  FlushBatch(view);
  if (view.ItemCount() == 0) view.AddTextContinued("", 0);

  const int entry_para = ParaNo;
  const TSelection selection = SelectionOf(view);
  const bool had_selection = selection.StartItem >= 0;
  const bool follow_end = IsAtEnd(view) && !had_selection;

  EraseAll(Text, kLf);
  EraseAll(Text, kBel);
  if (EmptyLastLine == TEmptyLastLine::DropBefore ||
      EmptyLastLine == TEmptyLastLine::DropBeforeAndAfter) {
    DeleteEmptyLastLine(view);
  }

  // Same style on the same line joins the last run; anything else is a run of its own.
  // An empty text adds no run to the line: every item is paid for again at each trim.
  auto continue_line = [&](const TReceivedRun& run) {
    if (run.Text.empty() && ParaNo == -1) return;
    const int last = view.ItemCount() - 1;
    if (last < 0 || view.GetItemStyleIndex(last) != run.StyleNo || entry_para != -1) {
      if (ParaNo == -1) {
        view.AddTextContinued(run.Text, run.StyleNo);
      } else {
        view.AddTextParagraph(run.Text, run.StyleNo, ParaNo);
      }
    } else {
      view.ReplaceItemText(last, view.ReadItemText(last) + run.Text);
    }
  };

  // Each CR ends the line; the text after it starts the next, which exists (empty, in
  // StyleNo) even when no text follows.
  size_t start = 0;
  for (bool first = true;; first = false) {
    const size_t cr = Text.find(kCr, start);
    const std::string line = Text.substr(start, cr == std::string::npos ? cr : cr - start);
    const TReceivedRun run = LineRun(view, line, StyleNo, received, first);
    if (first) {
      continue_line(run);
    } else {
      view.AddTextParagraph(run.Text, run.StyleNo, entry_para >= 1 ? entry_para : 0);
      ParaNo = -1;
    }
    if (cr == std::string::npos) break;
    start = cr + 1;
  }

  FormatAppended(view);
  if (EmptyLastLine == TEmptyLastLine::DropAfter ||
      EmptyLastLine == TEmptyLastLine::DropBeforeAndAfter) {
    DeleteEmptyLastLine(view);
    FormatAppended(view);
  }
  // Laid out once above; moving to the end and trimming need no layout of their own but
  // the one after the oldest lines went. This runs twice per packet.
  if (follow_end) MoveToEnd(view);
  const int trimmed = TrimFormatted(view);
  // The selection moves with its text when the oldest lines went.
  if (had_selection) RestoreSelection(view, selection, trimmed);
  view.Invalidate();
}

}  // namespace

void AddLogText(TCustomRichDoc* View, std::string Text, int StyleNo, int& ParaNo,
                TEmptyLastLine EmptyLastLine) {
  if (View) AppendLogText(*View, std::move(Text), StyleNo, ParaNo, EmptyLastLine, false);
}

void AddReceivedLogText(TCustomRichDoc* View, std::string Text, int StyleNo, int& ParaNo) {
  if (View) AppendLogText(*View, std::move(Text), StyleNo, ParaNo, TEmptyLastLine::Keep, true);
}

void AddLogLines(TCustomRichDoc* View, std::vector<TLogLine> Lines) {
  if (View == nullptr || Lines.empty()) return;
  TLogBatch& batch = OpenBatch();
  if (batch.view == View) {
    batch.lines.insert(batch.lines.end(), std::make_move_iterator(Lines.begin()),
                       std::make_move_iterator(Lines.end()));
    return;
  }
  AppendLines(*View, Lines);
}

void BeginLogBatch(TCustomRichDoc* View) {
  TLogBatch& batch = OpenBatch();
  if (View == nullptr) return;
  // Another view's batch is closed early: its lines come now, in order.
  if (batch.view != View) {
    if (batch.view) FlushBatch(*batch.view);
    batch.view = View;
    batch.depth = 0;
  }
  ++batch.depth;
}

void EndLogBatch(TCustomRichDoc* View) {
  TLogBatch& batch = OpenBatch();
  if (View == nullptr || batch.view != View || --batch.depth > 0) return;
  FlushBatch(*View);
  batch.view = nullptr;
}

int TrimLogLines(TCustomRichDoc& View) {
  FlushBatch(View);
  FormatAppended(View);
  return TrimFormatted(View);
}

void ScrollLogToEnd(TCustomRichDoc& View) {
  FlushBatch(View);
  MoveToEnd(View);
  FormatAppended(View);
}

void DeleteEmptyLastLine(TCustomRichDoc& View) {
  FlushBatch(View);
  const int last = View.ItemCount() - 1;
  if (last < 0 || !View.ReadItemText(last).empty()) return;
  int first = last;
  while (first > 0 && !View.IsItemLineStart(first)) --first;
  View.DeleteItemRange(first, last - first + 1);
}

void ClearLog(TCustomRichDoc& View) {
  FlushBatch(View);
  View.ClearDocument();
  View.FormatKeepSelection();
}

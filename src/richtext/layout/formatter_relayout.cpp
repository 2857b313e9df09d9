// Laying out again only around a change, for the viewer's changed paragraphs and the
// editor's edits alike: from a line or two before the change until the new lines meet
// the old ones past it; what follows keeps its layout, moved by how much the change grew.
// A keystroke in a long paragraph so costs a few lines, not the paragraph.
#include <algorithm>
#include <vector>

#include "richtext/layout/format_params.h"
#include "richtext/model/nontext_items.h"
#include "richtext/styles/rd_style.h"

namespace {

// Where a draw line starts: its item and the 0-based character (0 for a non-text item).
int CharOf(const TRDDrawLineInfo& line) {
  return std::max(0, line.Offs - 1);
}

bool StartsBefore(const TRDDrawLineInfo& line, int itemNo, int offs) {
  return line.ItemNo < itemNo || (line.ItemNo == itemNo && CharOf(line) < offs);
}

}  // namespace

int TCustomRDFormattedData::LineTopOf(int dItemNo) const {
  int first, last;
  GetLineDrawItemRange(dItemNo, first, last);
  int top = DrawItems[first]->Top;
  for (int d = first + 1; d <= last; ++d) top = std::min(top, DrawItems[d]->Top);
  return top;
}

int TCustomRDFormattedData::DrawItemAt(int itemNo, int offs) const {
  // The last draw line that starts at or before the character: draw lines run in the
  // order of the items and characters they show.
  int low = 0, high = DrawItems.Count();
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (StartsBefore(*DrawItems[mid], itemNo, offs + 1))
      low = mid + 1;
    else
      high = mid;
  }
  return std::max(0, low - 1);
}

bool TCustomRDFormattedData::ResumableLine(int d) const {
  if (d == 0) return true;
  const TRDDrawLineInfo& first = *DrawItems[d];
  const TCustomRDItemInfo* item = GetItem(first.ItemNo);
  // A full-line item's top counts its paragraph's spacing its own way.
  if (item->IsFullLine()) return false;
  const bool itemStart = first.Offs <= 1 && IsItemLineStart(first.ItemNo);
  if (!itemStart) {
    // Taken up inside a paragraph: only at a text piece (a line that starts with a
    // picture carries whether a space was dropped before it), not in justified text
    // (laid out word by word from the item's start) nor where hypertext areas are
    // numbered (an item's pieces share the number its first piece took).
    const TParaInfo& para = GetRDStyle()->ParaStyles()[item->ParaNo];
    if (item->StyleNo < 0 || para.Alignment == rdaJustify || (GetFlags() & rdfCollectJumps))
      return false;
  }
  // The line's top is where its first piece went unless items aligned to the line moved
  // it.
  int lineFirst, lineLast;
  GetLineDrawItemRange(d, lineFirst, lineLast);
  for (int k = lineFirst; k <= lineLast; ++k) {
    auto* rect = dynamic_cast<const TRDRectItemInfo*>(GetItem(DrawItems[k]->ItemNo));
    if (rect && rect->VAlign >= rdvaAbsTop) return false;
  }
  return true;
}

int TCustomRDFormattedData::RestartLine(int d) const {
  int first, last;
  GetLineDrawItemRange(d, first, last);
  // Two lines back: a word may move back onto the line before the change, and a line's
  // break looks one character past what fits, which can be the next line's first.
  for (int back = 0; first > 0 && (back < 2 || !ResumableLine(first)); ++back)
    GetLineDrawItemRange(first - 1, first, last);
  return first;
}

bool TCustomRDFormattedData::MeetsOldLines(const TRDDrawLineInfo& line, TRDOldLines& old) const {
  int itemNo, offs;
  if (!old.ToOld(line.ItemNo, CharOf(line), itemNo, offs)) return false;
  if (old.new_candidate >= 0) {
    if (CandidateIsOld(old, itemNo, offs)) return true;
    old.new_candidate = -1;
  }
  while (old.next < old.lines.size() && StartsBefore(*old.lines[old.next], itemNo, offs))
    ++old.next;
  if (old.next < old.lines.size()) {
    const TRDDrawLineInfo& match = *old.lines[old.next];
    if (match.FromNewLine && match.ItemNo == itemNo && CharOf(match) == offs) {
      old.new_candidate = DrawItems.Count();
      old.old_candidate = old.next;
    }
  }
  return false;
}

bool TCustomRDFormattedData::CandidateIsOld(TRDOldLines& old, int oldItemNo, int oldOffs) const {
  // The old line ends where the line now starting started.
  size_t end = old.old_candidate + 1;
  while (end < old.lines.size() && !old.lines[end]->FromNewLine) ++end;
  if (end >= old.lines.size() || old.lines[end]->ItemNo != oldItemNo ||
      CharOf(*old.lines[end]) != oldOffs)
    return false;
  const int count = DrawItems.Count() - old.new_candidate;
  if (size_t(count) != end - old.old_candidate) return false;
  const int shift = DrawItems[old.new_candidate]->Top - old.lines[old.old_candidate]->Top;
  for (int k = 0; k < count; ++k) {
    const TRDDrawLineInfo& n = *DrawItems[old.new_candidate + k];
    const TRDDrawLineInfo& o = *old.lines[old.old_candidate + size_t(k)];
    int itemNo, offs;
    if (!old.ToOld(n.ItemNo, CharOf(n), itemNo, offs) || itemNo != o.ItemNo || offs != CharOf(o) ||
        (n.Offs == 0) != (o.Offs == 0) || n.Length != o.Length || n.Left != o.Left ||
        n.Width != o.Width || n.Height != o.Height || n.Top - o.Top != shift ||
        n.XShift != o.XShift || n.ExtraSpaceBelow != o.ExtraSpaceBelow ||
        n.JustifyExtra != o.JustifyExtra || n.FromNewLine != o.FromNewLine ||
        n.BiDiLevel != o.BiDiLevel)
      return false;
  }
  old.kept_from = end;
  old.shift = shift;
  return true;
}

void TCustomRDFormattedData::RelayoutChange(const TRDChangedRange& change, int changeDItemNo) {
  const int count = Items.Count();
  const int restart = RestartLine(changeDItemNo);
  const TRDDrawLineInfo& firstLine = *DrawItems[restart];
  const int restartItem = restart == 0 ? 0 : firstLine.ItemNo;
  const bool itemStart = restart == 0 || (firstLine.Offs <= 1 && IsItemLineStart(restartItem));
  const int restartChar = itemStart ? 0 : firstLine.Offs - 1;
  TRDCanvas& canvas = GetCanvas();
  TRDFormatParams p;
  p.canvas = &canvas;
  GetDeviceScaling(canvas, p.scaling);
  p.pass1 = true;
  p.max_length = (GetFlags() & rdfRoot) ? GetMaxLength() : 0;
  // The old line's top stands where the line starts again, less the paragraph spacing
  // that starting a paragraph adds.
  if (restart == 0)
    p.baseline = GetTopMargin();
  else if (itemStart && IsParaStart(restartItem))
    p.baseline = LineTopOf(restart) - ParaSpaceBefore(restartItem, p.scaling) -
                 ParaSpaceAfter(restartItem - 1, p.scaling);
  else
    p.baseline = LineTopOf(restart);

  Deselect(false);
  DrawItemUnderMouse = -1;
  DrawItemPressed = -1;
  TRDOldLines old;
  old.change = change;
  old.lines = DrawItems.TakeTail(restart);
  std::vector<TRDJumpInfo> oldJumps;
  for (const TRDJumpInfo& jump : Jumps)
    if (jump.DrawItemNo >= restart) oldJumps.push_back(jump);
  Jumps.erase(std::remove_if(Jumps.begin(), Jumps.end(),
                             [&](const TRDJumpInfo& j) { return j.DrawItemNo >= restart; }),
              Jumps.end());
  const size_t firstNewJump = Jumps.size();

  State |= rdsFormatting;
  canvas.SaveState();
  TRDFormattingScope scope{canvas, State};
  p.old_lines = &old;
  p.line_first = DrawItems.Count();
  if (!itemStart) {
    StartNewLine(restartItem, true, p);
    p.x = 0;
  }
  const int firstOldItem = FormatItemRange(restartItem, count - 1, p, restartChar);
  if (p.met_old_lines) {
    const int keptFrom = restart + int(old.kept_from);  // as numbered before
    const int drawShift = DrawItems.Count() - keptFrom;
    for (size_t k = old.kept_from; k < old.lines.size(); ++k) {
      TRDDrawLineInfo& line = *old.lines[k];
      line.Top = LayoutBelow(line.Top, old.shift);
      line.ItemNo += change.items_added;
      if (line.ItemNo == change.end_item && line.Offs > 0) line.Offs += change.chars_added;
    }
    old.lines.erase(old.lines.begin(), old.lines.begin() + std::ptrdiff_t(old.kept_from));
    DrawItems.AppendAll(std::move(old.lines));
    if (drawShift != 0)
      for (int i = firstOldItem; i < count; ++i) GetItem(i)->DrawItemNo += drawShift;
    DocumentHeight = LayoutBelow(DocumentHeight, old.shift);
    for (TRDJumpInfo& jump : oldJumps)
      if (jump.DrawItemNo >= keptFrom) {
        jump.DrawItemNo += drawShift;
        jump.Top = LayoutBelow(jump.Top, old.shift);
        Jumps.push_back(jump);
      }
  } else {
    FinishPendingTab(p);
    FinishLine(p.line_left + p.room, p, !(State & rdsNoLastParaEnd));
    DocumentHeight = ScreenToDeviceY(GetBottomMargin(), p.scaling) + p.baseline + p.descent +
                     p.pending_extra + ParaSpaceAfter(count - 1, p.scaling);
  }
  for (size_t j = firstNewJump; j < Jumps.size(); ++j) {
    const TRDDrawLineInfo& line = *DrawItems[Jumps[j].DrawItemNo];
    Jumps[j].Left = line.Left;
    Jumps[j].Top = line.Top;
  }
  // Taken up inside an item line, whose least width its first draw line keeps.
  if (!itemStart) {
    int lineStart = restartItem;
    while (lineStart > 0 && !IsItemLineStart(lineStart)) --lineStart;
    DrawItems.SetLineMinWidth(GetItem(lineStart)->DrawItemNo, NextLineMinWidth(lineStart, p));
  }
  LastFormattedItem = count - 1;
}

void TCustomRDFormattedData::FormatChangedParas(int first, int last) {
  const int count = Items.Count();
  if (!GetRDStyle() || (State & rdsFormatting)) return;
  auto formatAll = [this] { FormatItems(false, true, false, 0, nullptr, false, true, false); };
  const bool laidOut = DrawItems.Count() > 0 && LastFormattedItem == count - 1 && first >= 0 &&
                       first <= last && last < count;
  // Hypertext areas are numbered through the document: they need it laid out whole.
  if (!laidOut || !Jumps.empty() || Items.ControlCount() > 0) {
    formatAll();
    return;
  }
  int paraFirst, paraLast;
  ExpandRangeToParas(first, last, paraFirst, paraLast);
  if (GetItem(paraFirst)->DrawItemNo < 0) {
    formatAll();
    return;
  }
  int selStart = -1, selStartOffs = 0, selEnd = -1, selEndOffs = 0;
  if (HasSelection()) GetSelectionBounds(selStart, selStartOffs, selEnd, selEndOffs, false);
  RelayoutChange({paraFirst, 0, paraLast + 1, 0, 0, 0}, GetItem(paraFirst)->DrawItemNo);

  // The lines that changed may have been, or become, the widest.
  TRDResolution scaling;
  GetDeviceScaling(GetCanvas(), scaling);
  int documentWidth, textWidth;
  WidthsFor(DrawItems.MaxLineMinWidth(), scaling, documentWidth, textWidth);
  const int oldWidth = GetWidth(), oldHeight = GetHeight();
  if (documentWidth == DocumentWidth && textWidth == TextWidth) {
    MinDocumentWidth = DrawItems.MaxLineMinWidth();
    AdjustVScrollUnits();
    area_size_guard_ = true;
    SetDocumentAreaSize(GetLeftMargin() + DocumentWidth + GetRightMargin(), DocumentHeight, true);
    area_size_guard_ = false;
  }
  // Other widths, or a scroll bar that came or went, change the room of every line.
  if (documentWidth != DocumentWidth || textWidth != TextWidth || GetWidth() != oldWidth ||
      GetHeight() != oldHeight) {
    const int vOffs = GetVOffs();
    formatAll();
    ScrollTo(vOffs, false);
  }
  if (selStart >= 0) SetSelectionBounds(selStart, selStartOffs, selEnd, selEndOffs);
}

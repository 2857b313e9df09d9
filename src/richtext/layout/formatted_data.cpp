#include "richtext/layout/formatted_data.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

#include "richtext/layout/complex_script.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"

TCustomRDFormattedData::TCustomRDFormattedData() = default;

TCustomRDFormattedData::~TCustomRDFormattedData() = default;

void TCustomRDFormattedData::GetDeviceScaling(TRDCanvas& canvas, TRDResolution& resolution) const {
  GetResolutionInfo(resolution, canvas);
}

void TCustomRDFormattedData::ClearFormatting() {
  DrawItems.Clear();
  Jumps.clear();
  JumpCount = 0;
  DrawItemUnderMouse = -1;
  JumpUnderMouse = -1;
  JumpPressed = -1;
  LitJumpData = nullptr;
  State &= ~(rdsSelecting | rdsSelectingLines | rdsLit);
  DrawItemPressed = -1;
  // The selection is held as drawn positions: with the lines gone it names none. A
  // selection worth keeping was taken as items by whoever lays out again.
  SelStartDItem = SelEndDItem = -1;
  SelStartOffs = SelEndOffs = 0;
  LastFormattedItem = -1;
  DocumentHeight = GetTopMargin() + GetBottomMargin();
  for (int i = 0; i < Items.Count(); ++i)
    if (auto* item = Items.Objects(i)) item->DrawItemNo = -1;
}

void TCustomRDFormattedData::Clear() {
  const std::uint32_t clearing = State & rddsClearing;
  State |= rddsClearing;
  Deselect(false);
  // The checkpoints go with the items.
  LastReportedCP = nullptr;
  CPReported = false;
  capture_item_ = nullptr;
  ClearFormatting();
  TCustomRDData::Clear();
  State = (State & ~rddsClearing) | clearing;
}

int TCustomRDFormattedData::ParaSpaceBefore(int itemNo, const TRDResolution& scaling) const {
  const TRDStyle* style = GetRDStyle();
  if (!style || itemNo < 0 || itemNo >= Items.Count()) return 0;
  return ScreenToDeviceY(style->ParaStyles()[GetItemPara(itemNo)].SpaceBefore, scaling);
}

int TCustomRDFormattedData::ParaSpaceAfter(int itemNo, const TRDResolution& scaling) const {
  const TRDStyle* style = GetRDStyle();
  if (!style || itemNo < 0 || itemNo >= Items.Count()) return 0;
  return ScreenToDeviceY(style->ParaStyles()[GetItemPara(itemNo)].SpaceAfter, scaling);
}

void TCustomRDFormattedData::DeleteItemsFormatted(int first, int count) {
  if (count <= 0) return;
  const int end = first + count;  // the first item that stays after the range
  const bool wholeParas = LastFormattedItem >= end - 1 && DrawItems.Count() > 0 &&
                          IsParaStart(first) && (end >= Items.Count() || IsParaStart(end)) &&
                          GetItem(first)->DrawItemNo >= 0;
  LastReportedCP = nullptr;
  CPReported = false;
  if (!wholeParas) {
    Deselect(false);
    DeleteItems(first, count);
    ClearFormatting();
    return;
  }
  const int d0 = GetItem(first)->DrawItemNo;
  const bool tail = end >= Items.Count() || end > LastFormattedItem;
  int d1 = DrawItems.Count();
  int delta = 0;
  if (!tail) {
    d1 = GetItem(end)->DrawItemNo;
    TRDResolution scaling;
    GetDeviceScaling(GetCanvas(), scaling);
    const int spaceAbove = first > 0 ? ParaSpaceAfter(first - 1, scaling) : 0;
    // Line tops: a taller piece later on a line lowers its first draw line.
    const int oldTop = LineTopOf(d0) - spaceAbove - ParaSpaceBefore(first, scaling);
    const int newTop = LineTopOf(d1) - spaceAbove - ParaSpaceBefore(end, scaling);
    delta = newTop - oldTop;
  }
  // Bounds inside the range lose the selection; later ones move with their draw lines.
  auto moved = [&](int& dItem) {
    if (dItem >= d1) dItem -= d1 - d0;
  };
  if ((SelStartDItem >= d0 && SelStartDItem < d1) || (SelEndDItem >= d0 && SelEndDItem < d1)) {
    Deselect(false);
  } else {
    moved(SelStartDItem);
    moved(SelEndDItem);
  }
  Jumps.erase(
      std::remove_if(Jumps.begin(), Jumps.end(),
                     [&](const TRDJumpInfo& j) { return j.DrawItemNo >= d0 && j.DrawItemNo < d1; }),
      Jumps.end());
  for (TRDJumpInfo& j : Jumps)
    if (j.DrawItemNo >= d1) {
      j.DrawItemNo -= d1 - d0;
      j.Top -= delta;
    }
  DrawItems.DeleteRange(d0, d1 - 1);
  DeleteItems(first, count);
  for (int d = d0; d < DrawItems.Count(); ++d) {
    TRDDrawLineInfo* line = DrawItems[d];
    line->Top -= delta;
    line->ItemNo -= count;
  }
  for (int i = first; i < Items.Count(); ++i) {
    TCustomRDItemInfo* item = GetItem(i);
    if (item->DrawItemNo >= d1) item->DrawItemNo -= d1 - d0;
  }
  DrawItemUnderMouse = -1;
  DrawItemPressed = -1;
  if (tail) {
    // The paragraph before the range now ends the document, with the space after it and
    // the bottom margin below: the next tail format lays it out again.
    LastFormattedItem = first > 0 ? GetFirstItemOfPara(first - 1) - 1 : -1;
    if (first == 0) ClearFormatting();
  } else {
    LastFormattedItem -= count;
    DocumentHeight -= delta;
  }
}

int TCustomRDFormattedData::GetDrawItemStartOffset(int dItemNo) const {
  return GetItem(DrawItems[dItemNo]->ItemNo)->StyleNo >= 0 ? 1 : 0;
}

int TCustomRDFormattedData::GetDrawItemEndOffset(int dItemNo) const {
  const TRDDrawLineInfo* line = DrawItems[dItemNo];
  return GetItem(line->ItemNo)->StyleNo >= 0 ? line->Length + 1 : 1;
}

void TCustomRDFormattedData::DrawItemToItem(int dItemNo, int dItemOffs, int& itemNo,
                                            int& itemOffs) const {
  if (dItemNo < 0 || dItemNo >= DrawItems.Count()) {
    itemNo = -1;
    itemOffs = 0;
    return;
  }
  const TRDDrawLineInfo* line = DrawItems[dItemNo];
  itemNo = line->ItemNo;
  itemOffs = GetItem(itemNo)->StyleNo >= 0 ? line->Offs + dItemOffs - 1 : dItemOffs;
}

void TCustomRDFormattedData::ItemToDrawItem(int itemNo, int itemOffs, int& dItemNo,
                                            int& dItemOffs) const {
  dItemNo = -1;
  dItemOffs = 0;
  if (itemNo < 0 || itemNo >= Items.Count()) return;
  int d = GetItem(itemNo)->DrawItemNo;
  if (d < 0 || d >= DrawItems.Count()) return;
  if (GetItem(itemNo)->StyleNo < 0) {
    dItemNo = d;
    dItemOffs = itemOffs;
    return;
  }
  // Walk on while the offset lies beyond this draw line's last caret position; a
  // position in characters no draw line shows (a space dropped at a wrap) stays at
  // the end of the draw line before them.
  while (d + 1 < DrawItems.Count() && DrawItems[d + 1]->ItemNo == itemNo &&
         itemOffs >= DrawItems[d + 1]->Offs + (itemOffs == DrawItems[d + 1]->Offs ? 1 : 0))
    ++d;
  const TRDDrawLineInfo* line = DrawItems[d];
  dItemNo = d;
  dItemOffs = std::clamp(itemOffs - line->Offs + 1, 1, line->Length + 1);
}

int TCustomRDFormattedData::GetFirstDrawItemOfItem(int itemNo) const {
  if (itemNo < 0 || itemNo >= Items.Count()) return -1;
  return GetItem(itemNo)->DrawItemNo;
}

int TCustomRDFormattedData::GetItemEndDrawItem(int itemNo) const {
  int dItemNo, dItemOffs;
  ItemToDrawItem(itemNo, GetItemEndOffset(itemNo), dItemNo, dItemOffs);
  return dItemNo;
}

void TCustomRDFormattedData::GetLineDrawItemRange(int dItemNo, int& first, int& last) const {
  first = dItemNo;
  while (first > 0 && !DrawItems[first]->FromNewLine) --first;
  last = dItemNo;
  while (last + 1 < DrawItems.Count() && !DrawItems[last + 1]->FromNewLine) ++last;
}

int TCustomRDFormattedData::FindFirstVisibleDrawItem(int y, int mode) const {
  const int count = DrawItems.Count();
  if (count == 0 || y <= DrawItems[0]->Top) return 0;
  if (mode == 3 && y > DrawItems[count - 1]->Top) return count - 1;
  if (mode == 2) return 1;
  // The last draw line whose top lies above y.
  int lo = 0, hi = count - 1;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (DrawItems[mid]->Top < y)
      lo = mid;
    else
      hi = mid - 1;
  }
  int d = lo;
  if (mode == 1) {
    // Back to the line before the one found, so that a line partly scrolled out and the
    // line above it are both included.
    while (d > 0 && !DrawItems[d]->FromNewLine) --d;
    if (d > 0) --d;
    while (d > 0 && !DrawItems[d]->FromNewLine) --d;
    if (d > 0) --d;
    return d;
  }
  while (d + 1 < count && DrawItems[d]->Top < y) ++d;
  return d;
}

int TCustomRDFormattedData::GetFirstVisibleItemNo() const {
  if (DrawItems.Count() == 0) return -1;
  int d = std::min(FindFirstVisibleDrawItem(GetVOffs(), 1), DrawItems.Count() - 1);
  return DrawItems[d]->ItemNo;
}

int TCustomRDFormattedData::GetLastVisibleItemNo() const {
  if (DrawItems.Count() == 0) return -1;
  int d = std::min(FindFirstVisibleDrawItem(GetVOffs() + GetHeight(), 3), DrawItems.Count() - 1);
  return DrawItems[d]->ItemNo;
}

// The last draw item whose top is at or above y (draw items lie in order of their tops);
// 0 when none is.
static int LastDrawItemFrom(const TRDDrawLines& lines, int y) {
  int lo = 0, hi = lines.Count() - 1;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (lines[mid]->Top <= y)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

static bool Contains(const TRDDrawLineInfo& line, int x, int y) {
  return x >= line.Left && x < line.Left + line.Width && y >= line.Top &&
         y < line.Top + line.Height;
}

int TCustomRDFormattedData::FindDrawItemAtPoint(int x, int y) const {
  const int count = DrawItems.Count();
  if (count == 0) return -1;
  if (Contains(*DrawItems[0], x, y)) return 0;
  int d = LastDrawItemFrom(DrawItems, y);
  while (d > 0 && DrawItems[d - 1]->Top + DrawItems[d - 1]->Height > DrawItems[d]->Top) --d;
  int first, last;
  GetLineDrawItemRange(d, first, last);
  for (int lines = 0; lines < 2 && first < count; ++lines) {
    for (int i = first; i <= last; ++i)
      if (Contains(*DrawItems[i], x, y)) return i;
    first = last + 1;
    if (first < count) GetLineDrawItemRange(first, first, last);
  }
  return -1;
}

std::string TCustomRDFormattedData::DisplayTextOf(int dItemNo, bool atLineEnd) const {
  const TRDDrawLineInfo* line = DrawItems[dItemNo];
  const TCustomRDItemInfo* item = GetItem(line->ItemNo);
  const std::string text = DrawItems.GetDrawItemText(dItemNo, Items);
  const TRDStyle* style = GetRDStyle();
  if (!style || item->StyleNo < 0) return text;
  const bool unicode = IsUnicodeItem(item->ItemOptions);
  return GetTextForDisplay(text, style->TextStyles()[GetActualStyle(*item)], unicode, atLineEnd,
                           true, (GetOptions() & rdoShowSpecialCharacters) != 0);
}

void TCustomRDFormattedData::FindDrawItemAtPos(int x, int y, bool strict, int& dItemNo,
                                               int& dItemOffs) {
  dItemNo = -1;
  dItemOffs = -1;
  const int count = DrawItems.Count();
  if (count == 0) return;
  int d = 0;
  if (y >= DrawItems[0]->Top + DrawItems[0]->Height) {
    d = LastDrawItemFrom(DrawItems, y);
  }
  int first, last;
  GetLineDrawItemRange(d, first, last);
  if (last + 1 < count) {
    int nextFirst, nextLast;
    GetLineDrawItemRange(last + 1, nextFirst, nextLast);
    for (int i = nextFirst; i <= nextLast; ++i)
      if (DrawItems[i]->Top <= y) {
        first = nextFirst;
        last = nextLast;
        break;
      }
  }
  int found = -1;
  if (strict) {
    for (int i = first; i <= last && found < 0; ++i) {
      const TRDDrawLineInfo& line = *DrawItems[i];
      if (line.Left <= x && x < line.Left + line.Width && line.Top <= y &&
          y <= line.Top + line.Height)
        found = i;
    }
    if (found < 0) return;
  } else {
    // The piece x lies in or after, from the left; a line that mixes directions holds its
    // pieces in another order than it shows them.
    std::vector<int> shown(size_t(last - first + 1));
    std::iota(shown.begin(), shown.end(), first);
    std::stable_sort(shown.begin(), shown.end(),
                     [this](int a, int b) { return DrawItems[a]->Left < DrawItems[b]->Left; });
    found = shown.front();
    for (int i : shown)
      if (DrawItems[i]->Left <= x) found = i;
  }
  dItemNo = found;
  const TRDDrawLineInfo& line = *DrawItems[found];
  const TCustomRDItemInfo* item = GetItem(line.ItemNo);
  if (item->StyleNo < 0) {
    const bool rightHalf = x >= line.Left + line.Width / 2;
    dItemOffs = rightHalf != line.IsRightToLeft() ? 1 : 0;
    if (!strict && item->StyleNo == -11 && found + 1 < count) {
      dItemNo = found + 1;
      dItemOffs = GetDrawItemStartOffset(dItemNo);
    }
    return;
  }
  if (line.Length == 0) {
    dItemOffs = 1;
    return;
  }
  // The character boundary nearest to x, the earlier one at a tie.
  TRDStyle* style = GetRDStyle();
  TRDCanvas& canvas = GetCanvas();
  if (style) style->ApplyStyle(canvas, GetActualStyle(*item), GetParaBiDiMode(item->ParaNo), false);
  const std::string text = DisplayTextOf(found, false);
  const int rel = x - line.Left - line.TextIndent();
  // Caret positions: after each prefix, or, where right-to-left runs are shown, where the
  // platform puts each boundary.
  std::vector<int> carets;
  const TRDDrawItemDirection direction(canvas, line);
  if (!IsReorderedText(canvas, text, item->ItemOptions) ||
      !GetCharacterPositions(canvas, text, carets, item->ItemOptions,
                             line.Width - line.JustifyExtra)) {
    std::vector<int> extents;
    MeasureTextFit(canvas, text, 1 << 30, &extents, item->ItemOptions);
    carets.assign(1, 0);
    carets.insert(carets.end(), extents.begin(), extents.end());
    // A right-to-left piece begins at its right end.
    if (line.IsRightToLeft()) {
      const int total = carets.back();
      for (int& caret : carets) caret = total - caret;
    }
  }
  int best = 1;
  int bestDistance = std::abs(rel - carets[0]);
  for (size_t i = 1; i < carets.size(); ++i) {
    const int distance = std::abs(rel - carets[i]);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = int(i) + 1;
    }
  }
  std::string stored = GetItemTextRaw(line.ItemNo);
  int itemOffs = line.Offs + best - 1;
  // A boundary inside a character of several units moves to the character's end.
  if (best > 1 && best <= line.Length) {
    const int prev = GetPrevCharOffset(stored, line.ItemNo, itemOffs);
    const int next = GetNextCharOffset(stored, line.ItemNo, prev);
    if (next > itemOffs) itemOffs = next;
  }
  dItemOffs = std::clamp(itemOffs - line.Offs + 1, 1, line.Length + 1);
}

int TCustomRDFormattedData::GetLineNumber(int itemNo, int offset) const {
  int dItemNo, dItemOffs;
  ItemToDrawItem(itemNo, offset, dItemNo, dItemOffs);
  if (dItemNo < 0) return 0;
  int lines = 0;
  for (int d = 0; d <= dItemNo; ++d)
    if (DrawItems[d]->FromNewLine) ++lines;
  return lines;
}

void TCustomRDFormattedData::ClientToDocument(int& x, int& y) const {
  int ox, oy;
  GetOrigin(ox, oy);
  x += GetHOffs() - ox;
  y += GetVOffs() - oy;
}

void TCustomRDFormattedData::GetSelectionDrawBounds(int& startDItem, int& endDItem, int& startOffs,
                                                    int& endOffs, bool normalize) const {
  startDItem = SelStartDItem;
  startOffs = SelStartOffs;
  endDItem = SelEndDItem;
  endOffs = SelEndOffs;
  if (normalize && (startDItem > endDItem || (startDItem == endDItem && startOffs > endOffs))) {
    std::swap(startDItem, endDItem);
    std::swap(startOffs, endOffs);
  }
}

bool TCustomRDFormattedData::HasSelection() const {
  if (SelStartDItem < 0 || SelEndDItem < 0) return false;
  if (SelStartDItem == SelEndDItem) return SelStartOffs != SelEndOffs;
  // Two draw lines that touch at one place (the end of one, the start of the next on
  // the same item) select nothing either.
  int s, e, so, eo;
  GetSelectionDrawBounds(s, e, so, eo, true);
  int i1, o1, i2, o2;
  DrawItemToItem(s, so, i1, o1);
  DrawItemToItem(e, eo, i2, o2);
  return i1 != i2 || o1 != o2;
}

void TCustomRDFormattedData::GetSelectionBounds(int& startItemNo, int& startOffs, int& endItemNo,
                                                int& endOffs, bool normalize) const {
  int s, e, so, eo;
  GetSelectionDrawBounds(s, e, so, eo, normalize);
  DrawItemToItem(s, so, startItemNo, startOffs);
  DrawItemToItem(e, eo, endItemNo, endOffs);
}

TCustomRDItemInfo* TCustomRDFormattedData::GetPartiallySelectedItem() const {
  if (PartialSelectedItem < 0 || PartialSelectedItem >= Items.Count()) return nullptr;
  TCustomRDItemInfo* item = GetItem(PartialSelectedItem);
  return item->HasPartialSelection() ? item : nullptr;
}

void TCustomRDFormattedData::ReleasePartialSelection() {
  if (PartialSelectedItem < 0) return;
  const int itemNo = std::exchange(PartialSelectedItem, -1);
  // Items being cleared away keep what they hold. Otherwise the item's selected parts,
  // or the selection of the document chosen inside it, go with the claim.
  if (itemNo >= Items.Count() || (State & rddsClearing)) return;
  GetItem(itemNo)->DeselectPartial();
}

void TCustomRDFormattedData::SetSelectionBounds(int startItemNo, int startOffs, int endItemNo,
                                                int endOffs) {
  ReleasePartialSelection();
  // A bound on a list marker moves to the start of the next item.
  auto skipMarker = [&](int& itemNo, int& offs) {
    if (itemNo >= 0 && itemNo + 1 < Items.Count() && GetItem(itemNo)->StyleNo == -11) {
      ++itemNo;
      offs = GetItemStartOffset(itemNo);
    }
  };
  skipMarker(startItemNo, startOffs);
  skipMarker(endItemNo, endOffs);
  ItemToDrawItem(startItemNo, startOffs, SelStartDItem, SelStartOffs);
  ItemToDrawItem(endItemNo, endOffs, SelEndDItem, SelEndOffs);
  if (SelStartDItem < 0 || SelEndDItem < 0) {
    SelStartDItem = SelEndDItem = -1;
    SelStartOffs = SelEndOffs = 0;
  }
  State &= ~rdsAllSelected;
  if (OnSelect) OnSelect();
}

void TCustomRDFormattedData::Deselect(bool notify) {
  if (State & rdsDeselecting) return;
  State |= rdsDeselecting;
  State &= ~(rdsSelecting | rdsSelectingLines | rdsAllSelected);
  SelStartDItem = SelEndDItem = -1;
  SelStartOffs = SelEndOffs = 0;
  ReleasePartialSelection();
  if (notify && OnSelect) OnSelect();
  State &= ~rdsDeselecting;
}

void TCustomRDFormattedData::SelectAll() {
  if (Items.Count() == 0 || DrawItems.Count() == 0) return;
  ReleasePartialSelection();
  SelStartDItem = 0;
  SelStartOffs = GetDrawItemStartOffset(0);
  SelEndDItem = DrawItems.Count() - 1;
  SelEndOffs = GetDrawItemEndOffset(SelEndDItem);
  if (OnSelect) OnSelect();
}

bool TCustomRDFormattedData::FindWordAt(int x, int y, int& itemNo, int& wordStart,
                                        int& wordLength) {
  int dItemNo, dItemOffs;
  FindDrawItemAtPos(x, y, false, dItemNo, dItemOffs);
  if (dItemNo < 0) return false;
  int offs;
  DrawItemToItem(dItemNo, dItemOffs, itemNo, offs);
  if (GetItem(itemNo)->StyleNo < 0) {
    wordStart = 0;
    wordLength = 1;
    return true;
  }
  const std::string& s = GetItemTextRaw(itemNo);
  const TRDItemOptions options = GetItemOptions(itemNo);
  const int length = GetItemTextLength(s, options);
  int start = std::clamp(offs, 1, length + 1);
  int end = start;
  while (start > 1 && !IsDelimiterAt(s, start - 1, options)) --start;
  while (end <= length && !IsDelimiterAt(s, end, options)) ++end;
  if (end == start) return false;
  wordStart = start;
  wordLength = end - start;
  return true;
}

// Laying out again after an edit: only the edited paragraphs while the document's
// minimal width stays, else the whole document. A partial layout re-lays out the edited
// paragraphs together with the paragraph before them (its top is where the layout
// starts) and the paragraph after them (how far its top moved is how far everything
// after it moves); the draw items of the rest are shifted, not laid out.
#include <algorithm>

#include "richtext/format_params.h"
#include "richtext/rd_style.h"
#include "richtext_edit/edit/edit_data.h"

namespace {

int ParaEnd(const TCustomRDData& data, int itemNo) {
  while (itemNo + 1 < data.GetItemCount() && !data.IsParaStart(itemNo + 1)) ++itemNo;
  return itemNo;
}

}  // namespace

void TRDEditRDData::FormatWhole() {
  FormatItems(false, true, false, 0, nullptr, false, true, false);
  InvalidateControl();
}

void TRDEditRDData::ReformatAfterEdit(bool fullReformat, int firstDItemNo, int lastDItemNo,
                                      int itemsAdded) {
  if (!GetRDStyle()) return;
  // The caret's draw item may be gone with the edit: the caller places the caret again.
  CaretDItemNo = -1;
  CaretPosIndex = -1;
  CaretPositions.clear();
  const int count = GetItemCount();
  const bool laidOut = firstDItemNo >= 0 && lastDItemNo >= firstDItemNo &&
                       lastDItemNo < DrawItems.Count() && count > 0;
  if (!laidOut || (fullReformat && GetDocumentMinWidth() != MinDocumentWidth)) {
    FormatWhole();
    return;
  }
  const int width = GetWidth();
  FormatParas(firstDItemNo, lastDItemNo, itemsAdded);
  // A scroll bar that came or went changed the width the lines are laid out in.
  if (GetWidth() != width) FormatWhole();
}

void TRDEditRDData::FormatParas(int firstDItemNo, int lastDItemNo, int itemsAdded) {
  const int count = GetItemCount();
  // The edited items, numbered as they stand now (items before the range kept theirs).
  int firstItem = std::clamp(DrawItems[firstDItemNo]->ItemNo, 0, count - 1);
  int lastItem = std::clamp(DrawItems[lastDItemNo]->ItemNo + itemsAdded, firstItem, count - 1);
  int paraFirst, paraLast;
  ExpandRangeToParas(firstItem, lastItem, paraFirst, paraLast);
  const int start = paraFirst > 0 ? GetFirstItemOfPara(paraFirst - 1) : 0;
  const int end = paraLast + 1 < count ? ParaEnd(*this, paraLast + 1) : paraLast;
  const bool hasNext = paraLast + 1 < count;

  // The old draw items of start..end. Items outside the edited range kept their objects
  // and their draw item numbers; their draw items still carry the old item numbers. The
  // edited range may have begun inside start's paragraph, or past the last item left (an
  // undone Enter): its lines before firstDItemNo are start's too.
  int oldDStart = firstDItemNo;
  while (oldDStart > 0 && DrawItems[oldDStart - 1]->ItemNo >= start) --oldDStart;
  int oldDEnd = DrawItems.Count() - 1;
  int oldNextTop = 0;
  if (hasNext) {
    const int nextD = GetItem(paraLast + 1)->DrawItemNo;
    oldNextTop = LineTopOf(nextD);
    oldDEnd = nextD;
    while (oldDEnd + 1 < DrawItems.Count() && DrawItems[oldDEnd + 1]->ItemNo <= end - itemsAdded)
      ++oldDEnd;
  }
  if (oldDStart < 0 || oldDEnd < oldDStart) {
    FormatWhole();
    return;
  }
  TRDCanvas& canvas = GetCanvas();
  TRDFormatParams p = PartialFormatParams(start, oldDStart);

  Deselect(false);
  State |= rdsFormatting;
  canvas.SaveState();
  struct TScope {
    TRDCanvas& canvas;
    std::uint32_t& state;
    ~TScope() {
      canvas.RestoreState();
      state &= ~rdsFormatting;
    }
  } scope{canvas, State};

  std::vector<std::unique_ptr<TRDDrawLineInfo>> tail = DrawItems.TakeTail(oldDEnd + 1);
  DrawItems.DeleteRange(oldDStart, DrawItems.Count() - 1);
  const int oldDrawCount = oldDEnd - oldDStart + 1;
  std::vector<TRDJumpInfo> laterJumps;
  for (const TRDJumpInfo& jump : Jumps)
    if (jump.DrawItemNo > oldDEnd) laterJumps.push_back(jump);
  Jumps.erase(std::remove_if(Jumps.begin(), Jumps.end(),
                             [&](const TRDJumpInfo& j) { return j.DrawItemNo >= oldDStart; }),
              Jumps.end());
  const size_t firstNewJump = Jumps.size();
  for (int i = start; i <= end; ++i) GetItem(i)->DrawItemNo = -1;

  p.line_first = DrawItems.Count();
  FormatItemRange(start, end, p);
  FinishPendingTab(p);
  FinishLine(p.line_left + p.room, p, hasNext || !(State & rdsNoLastParaEnd));

  const int newDrawCount = DrawItems.Count() - oldDStart;
  const int drawShift = newDrawCount - oldDrawCount;
  int delta = 0;
  if (hasNext) {
    delta = LineTopOf(GetItem(paraLast + 1)->DrawItemNo) - oldNextTop;
    for (auto& line : tail) {
      line->Top += delta;
      line->ItemNo += itemsAdded;
    }
    DrawItems.AppendAll(std::move(tail));
    for (int i = end + 1; i < count; ++i) {
      TCustomRDItemInfo* item = GetItem(i);
      if (item->DrawItemNo >= 0) item->DrawItemNo += drawShift;
    }
    DocumentHeight += delta;
  } else {
    DocumentHeight = ScreenToDeviceY(GetBottomMargin(), p.scaling) + p.baseline + p.descent +
                     p.pending_extra + ParaSpaceAfter(count - 1, p.scaling);
  }
  for (size_t j = firstNewJump; j < Jumps.size(); ++j) {
    const TRDDrawLineInfo* line = DrawItems[Jumps[j].DrawItemNo];
    Jumps[j].Left = line->Left;
    Jumps[j].Top = line->Top;
  }
  for (TRDJumpInfo& jump : laterJumps) {
    jump.DrawItemNo += drawShift;
    jump.Top += delta;
    Jumps.push_back(jump);
  }
  LastFormattedItem = count - 1;
  AdjustVScrollUnits();
  SetDocumentAreaSize(GetLeftMargin() + DocumentWidth + GetRightMargin(), DocumentHeight, true);
  PlaceControls();
  InvalidateControl();
}

void TRDEditRDData::ReformatItemLine(int itemNo, int oldMinWidth) {
  const int now = GetLinesMinWidth(itemNo, itemNo);
  const int caretItem = GetCurrentItemNo(), caretOffs = GetOffsetInCurrentItem();
  if (now != oldMinWidth && (oldMinWidth >= MinDocumentWidth || now > MinDocumentWidth)) {
    FormatWhole();
  } else {
    int d = GetItem(itemNo)->DrawItemNo;
    if (caretItem == itemNo && CaretDItemNo >= 0) d = CaretDItemNo;
    if (d < 0 || d >= DrawItems.Count()) {
      FormatWhole();
    } else {
      int first, last;
      ExpandDrawItemsToParas(d, d, first, last);
      FormatParas(first, last, 0);
    }
  }
  if (caretItem >= 0 && caretItem < GetItemCount()) PlaceCaretAtItem(caretItem, caretOffs, false);
}

void TRDEditRDData::ExpandDrawItemsToParas(int firstDItemNo, int lastDItemNo, int& newFirst,
                                           int& newLast) const {
  int firstItem, lastItem;
  ExpandRangeToParas(DrawItems[firstDItemNo]->ItemNo, DrawItems[lastDItemNo]->ItemNo, firstItem,
                     lastItem);
  newFirst = GetItem(firstItem)->DrawItemNo;
  newLast = GetItemEndDrawItem(lastItem);
}

int TRDEditRDData::EditedRangeMinWidth(int firstDItemNo, int lastDItemNo, int itemsAdded) {
  if (firstDItemNo < 0 || lastDItemNo >= DrawItems.Count() || GetItemCount() == 0) return 0;
  const int count = GetItemCount();
  const int first = std::clamp(DrawItems[firstDItemNo]->ItemNo, 0, count - 1);
  const int last = std::clamp(DrawItems[lastDItemNo]->ItemNo + itemsAdded, first, count - 1);
  return GetItemRangeMinWidth(first, last);
}

void TRDEditRDData::ReformatEditedParas(bool fullReformat, int widthBefore, int firstDItemNo,
                                        int lastDItemNo, int itemsAdded) {
  const bool full = fullReformat || widthBefore >= MinDocumentWidth ||
                    EditedRangeMinWidth(firstDItemNo, lastDItemNo, itemsAdded) > MinDocumentWidth;
  ReformatAfterEdit(full, firstDItemNo, lastDItemNo, itemsAdded);
}

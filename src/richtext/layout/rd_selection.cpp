// Questions about the selection of a formatted document and the widening steps of mouse
// selection: whole lines, whole paragraphs.
#include <algorithm>

#include "richtext/layout/formatted_data.h"

namespace {

// The ends of a selection as references, the one nearer the document's start first,
// whichever way it was dragged.
struct TOrderedEnds {
  int& FirstD;
  int& FirstO;
  int& LastD;
  int& LastO;
};

TOrderedEnds InReadingOrder(int& startD, int& startO, int& endD, int& endO) {
  if (endD < startD || (endD == startD && endO < startO)) return {endD, endO, startD, startO};
  return {startD, startO, endD, endO};
}

}  // namespace

bool TCustomRDFormattedData::HasSelection(bool resetEmpty) {
  if (HasSelection()) return true;
  if (resetEmpty && !(State & rdsSelecting) && SelStartDItem >= 0) Deselect(false);
  return false;
}

bool TCustomRDFormattedData::IsPositionInSelection(int itemNo, int offset,
                                                   bool includeBounds) const {
  if (!HasSelection()) return false;
  int s, so, e, eo;
  GetSelectionBounds(s, so, e, eo, true);
  auto compare = [](int i1, int o1, int i2, int o2) { return i1 != i2 ? i1 - i2 : o1 - o2; };
  const int afterStart = compare(itemNo, offset, s, so);
  const int beforeEnd = compare(e, eo, itemNo, offset);
  return includeBounds ? afterStart >= 0 && beforeEnd >= 0 : afterStart > 0 && beforeEnd > 0;
}

bool TCustomRDFormattedData::SelectionSpansParagraphs() const {
  if (!HasSelection()) return false;
  int s, e, so, eo;
  GetSelectionDrawBounds(s, e, so, eo, true);
  for (int d = s + 1; d <= e; ++d) {
    const int itemNo = DrawItems[d]->ItemNo;
    if (IsParaStart(itemNo) && GetItem(itemNo)->DrawItemNo == d) return true;
  }
  return false;
}

bool TCustomRDFormattedData::ExpandSelectionToParas(bool onlyIfMultiPara) {
  if (!HasSelection() || (onlyIfMultiPara && !SelectionSpansParagraphs())) return false;
  auto [firstD, firstO, lastD, lastO] =
      InReadingOrder(SelStartDItem, SelStartOffs, SelEndDItem, SelEndOffs);
  firstD = std::max(0, GetItem(GetFirstItemOfPara(DrawItems[firstD]->ItemNo))->DrawItemNo);
  firstO = GetDrawItemStartOffset(firstD);
  int next = DrawItems[lastD]->ItemNo + 1;
  while (next < Items.Count() && !IsParaStart(next)) ++next;
  const int nextD = next < Items.Count() ? GetItem(next)->DrawItemNo : -1;
  lastD = nextD > 0 ? nextD - 1 : DrawItems.Count() - 1;
  lastO = GetDrawItemEndOffset(lastD);
  return true;
}

void TCustomRDFormattedData::ExpandSelectionToLines() {
  if (SelStartDItem < 0 || SelEndDItem < 0) return;
  auto [firstD, firstO, lastD, lastO] =
      InReadingOrder(SelStartDItem, SelStartOffs, SelEndDItem, SelEndOffs);
  int lineFirst, lineLast;
  GetLineDrawItemRange(firstD, lineFirst, lineLast);
  firstD = lineFirst;
  firstO = GetDrawItemStartOffset(firstD);
  GetLineDrawItemRange(lastD, lineFirst, lineLast);
  lastD = lineLast;
  lastO = GetDrawItemEndOffset(lastD);
}

void TCustomRDFormattedData::SetCaretAt(int x, int y) {
  ClientToDocument(x, y);
  int d, o;
  FindDrawItemAtPos(x, y, false, d, o);
  if (d < 0) return;
  SelStartDItem = SelEndDItem = d;
  SelStartOffs = SelEndOffs = o;
  ReleasePartialSelection();
  State &= ~(rdsAllSelected | rdsDblClickSelected);
  InvalidateControl();
  if (OnSelect) OnSelect();
}

const TGraphic* TCustomRDFormattedData::GetSelectedPicture() const {
  if (!HasSelection()) return nullptr;
  int s, so, e, eo;
  GetSelectionBounds(s, so, e, eo, true);
  // Bounds at the very end of the item before the picture, or at the very start of the
  // item after it, select nothing of those items.
  if (s < e && so >= GetItemEndOffset(s)) {
    ++s;
    so = GetItemStartOffset(s);
  }
  if (e > s && eo <= GetItemStartOffset(e)) {
    --e;
    eo = GetItemEndOffset(e);
  }
  if (s != e || GetItem(s)->StyleNo >= 0 || so != 0 || eo != 1) return nullptr;
  return GetItem(s)->GetImage();
}

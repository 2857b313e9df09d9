// Keyboard caret movement: by character, word, line, page, paragraph and to the ends of
// the line and document, the caret never resting on a list marker and entering items
// that take it (tables) from the side it arrives at; and the caret queries.
#include <algorithm>

#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

// Caret-entry codes offered to an item the caret enters.
constexpr int kEnterMovingRight = 0;
constexpr int kEnterMovingLeft = 1;
constexpr int kEnterMovingDown = 2;
constexpr int kEnterMovingUp = 3;

}  // namespace

const TRDCharPos& TRDEditRDData::CaretStop() const {
  return CaretPositions[size_t(CaretPosIndex)];
}

bool TRDEditRDData::HasCaret() const {
  return CaretDItemNo >= 0 && CaretPosIndex >= 0 && CaretPosIndex < int(CaretPositions.size());
}

void TRDEditRDData::PlaceCaretInDrawItem(int dItemNo, int dItemOffs) {
  CaretDItemNo = dItemNo;
  BuildCaretPositions(dItemOffs);
}

bool TRDEditRDData::InParagraphSelectionMode(bool select) const {
  const TRDStyle* style = GetRDStyle();
  return select && style && style->SelectionMode == rdsmParagraph && SelectionSpansParagraphs();
}

bool TRDEditRDData::MoveCaretLeft(bool select, bool byWord) {
  EnsureNotEmpty();
  if (!HasCaret()) return true;
  if (InParagraphSelectionMode(select)) {
    MoveCaretToPrevParaStart();
    return false;
  }
  bool atEdge = false;
  const int itemNo = GetCurrentItemNo();
  const int offset = GetOffsetInCurrentItem();
  const TCustomRDItemInfo* item = GetItem(itemNo);
  if (byWord && item->StyleNo >= 0 && offset > 1) {
    const std::string& s = GetItemTextRaw(itemNo);
    const TRDItemOptions options = item->ItemOptions;
    auto delim = [&](int i) { return IsDelimiterAt(s, i, options); };
    auto space = [&](int i) { return IsItemTextSpace(s, i, options); };
    int count = 1;
    for (int i = offset - 2; i >= 1; --i) {
      if ((delim(i) && !delim(i + 1)) || (!delim(i) && delim(i + 1) && !space(i + 1))) break;
      ++count;
    }
    int d, dOffs;
    ItemToDrawItem(itemNo, offset - count, d, dOffs);
    PlaceCaretInDrawItem(d, dOffs);
  } else if (CaretPosIndex > 0) {
    const TRDCharPos& stop = CaretStop();
    TCustomRDItemInfo* before = GetItem(DrawItems[stop.DrawItemNo]->ItemNo);
    // Moving left from after an item that takes the caret hands it to the item.
    if (!select && !byWord && before->StyleNo < 0 && stop.Offset == 1 &&
        before->EnterTable(kEnterMovingLeft, 0))
      return false;
    --CaretPosIndex;
  } else if (CaretStop().DrawItemNo > 0) {
    int d = CaretStop().DrawItemNo - 1;
    if (GetItem(DrawItems[d]->ItemNo)->StyleNo == rdsListMarker) {
      if (d == 0) return true;  // the caret is at the document's first position
      --d;
    }
    PlaceCaretInDrawItem(d, GetDrawItemEndOffset(d));
  } else {
    atEdge = true;
  }
  ShowCaret(false, true, false, false);
  return atEdge;
}

bool TRDEditRDData::MoveCaretRight(bool select, bool byWord) {
  EnsureNotEmpty();
  if (!HasCaret()) return true;
  if (InParagraphSelectionMode(select)) {
    MoveCaretToNextParaEnd();
    return false;
  }
  bool atEdge = false;
  const int itemNo = GetCurrentItemNo();
  const int offset = GetOffsetInCurrentItem();
  const TCustomRDItemInfo* item = GetItem(itemNo);
  const int last = int(CaretPositions.size()) - 1;
  if (byWord && item->StyleNo >= 0 && offset < GetItemEndOffset(itemNo)) {
    const std::string& s = GetItemTextRaw(itemNo);
    const TRDItemOptions options = item->ItemOptions;
    const int length = GetItemLength(itemNo);
    auto delim = [&](int i) { return IsDelimiterAt(s, i, options); };
    auto space = [&](int i) { return IsItemTextSpace(s, i, options); };
    int count = 1;
    for (int i = offset + 1; i <= length; ++i) {
      if ((space(i - 1) && !space(i)) || (delim(i - 1) && !delim(i)) ||
          (!delim(i - 1) && !space(i) && delim(i)))
        break;
      ++count;
    }
    int d, dOffs;
    ItemToDrawItem(itemNo, offset + count, d, dOffs);
    PlaceCaretInDrawItem(d, dOffs);
  } else if (CaretPosIndex < last) {
    const TRDCharPos& next = CaretPositions[size_t(CaretPosIndex) + 1];
    TCustomRDItemInfo* entered = GetItem(DrawItems[next.DrawItemNo]->ItemNo);
    // Moving right onto an item that takes the caret hands it to the item.
    if (!select && !byWord && entered->StyleNo < 0 && next.Offset == 1 &&
        entered->EnterTable(kEnterMovingRight, 0))
      return false;
    ++CaretPosIndex;
  } else if (CaretStop().DrawItemNo + 1 < DrawItems.Count()) {
    int d = CaretStop().DrawItemNo + 1;
    if (GetItem(DrawItems[d]->ItemNo)->StyleNo == rdsListMarker && d + 1 < DrawItems.Count()) ++d;
    PlaceCaretInDrawItem(d, GetDrawItemStartOffset(d));
  } else {
    atEdge = true;
  }
  ShowCaret(false, true, false, false);
  return atEdge;
}

bool TRDEditRDData::MoveCaretVertically(bool select, bool ctrl, bool down) {
  EnsureNotEmpty();
  if (!HasCaret()) return true;
  int first, last;
  GetLineDrawItemRange(CaretDItemNo, first, last);
  const bool markerFirst = GetItem(DrawItems[first]->ItemNo)->StyleNo == rdsListMarker;
  const bool edgeLine =
      down ? last == DrawItems.Count() - 1 : first == 0 || (first == 1 && markerFirst && false);
  int target = down ? last + 1 : first - 1;
  if (!down && target >= 0 && GetItem(DrawItems[target]->ItemNo)->StyleNo == rdsListMarker)
    --target;
  if (edgeLine || target < 0) {
    const int edgeStop = down ? int(CaretPositions.size()) - 1 : 0;
    if (select && CaretPosIndex != edgeStop) {
      CaretPosIndex = edgeStop;
      ShowCaret(false, true, false, false);
    } else {
      ScrollTo(down ? DocumentHeight : 0, true);
    }
    return true;
  }
  if (InParagraphSelectionMode(select)) {
    if (down)
      MoveCaretToNextParaEnd();
    else
      MoveCaretToPrevParaStart();
    return false;
  }
  const int x = CaretStop().X;
  int d, dOffs;
  FindDrawItemAtPos(x, DrawItems[target]->Top + 1, false, d, dOffs);
  if (d < 0) return true;
  const TRDDrawLineInfo& hit = *DrawItems[d];
  if (!select && !ctrl && hit.Left <= x && x < hit.Left + hit.Width &&
      GetItem(hit.ItemNo)->EnterTable(down ? kEnterMovingDown : kEnterMovingUp, x - hit.Left))
    return false;
  PlaceCaretInDrawItem(d, dOffs);
  ShowCaret(false, true, false, false);
  return false;
}

bool TRDEditRDData::MoveCaretUp(bool select, bool ctrl) {
  return MoveCaretVertically(select, ctrl, false);
}

bool TRDEditRDData::MoveCaretDown(bool select, bool ctrl) {
  return MoveCaretVertically(select, ctrl, true);
}

void TRDEditRDData::MoveCaretToLineStart(bool toDocument) {
  EnsureNotEmpty();
  if (!HasCaret()) return;
  if (toDocument) {
    CaretDItemNo = 0;
    SkipListMarkerAtCaret(true);
    BuildCaretPositions(GetDrawItemStartOffset(CaretDItemNo));
  } else {
    CaretPosIndex = 0;
  }
  ShowCaret(false, true, false, false);
}

void TRDEditRDData::MoveCaretToLineEnd(bool toDocument) {
  EnsureNotEmpty();
  if (!HasCaret()) return;
  if (toDocument)
    PlaceCaretInDrawItem(DrawItems.Count() - 1, GetDrawItemEndOffset(DrawItems.Count() - 1));
  else
    CaretPosIndex = int(CaretPositions.size()) - 1;
  ShowCaret(false, true, false, false);
}

void TRDEditRDData::MoveCaretPageUp() {
  EnsureNotEmpty();
  if (!HasCaret()) return;
  const int x = CaretStop().X;
  const int height = GetHeight();
  for (int y = GetVOffs() - height * 3 / 4; y > 0; y -= height / 2) {
    int d, dOffs;
    FindDrawItemAtPos(x, y, false, d, dOffs);
    if (d >= 0 && d < CaretDItemNo) {
      PlaceCaretInDrawItem(d, dOffs);
      ShowCaret(false, true, false, false);
      return;
    }
    if (height / 2 <= 0) break;
  }
  MoveCaretToLineStart(true);
}

void TRDEditRDData::MoveCaretPageDown() {
  EnsureNotEmpty();
  if (!HasCaret()) return;
  const int x = CaretStop().X;
  const int height = GetHeight();
  for (int y = GetVOffs() + height * 3 / 4; y < DocumentHeight; y += std::max(1, height / 2)) {
    int d, dOffs;
    FindDrawItemAtPos(x, y, false, d, dOffs);
    if (d > CaretDItemNo) {
      PlaceCaretInDrawItem(d, dOffs);
      ShowCaret(false, false, false, false);
      ScrollTo(DrawItems[CaretDItemNo]->Top, true);
      return;
    }
  }
  MoveCaretToLineEnd(true);
}

void TRDEditRDData::MoveCaretToPrevParaStart() {
  if (!HasCaret()) return;
  int d = CaretStop().DrawItemNo;
  while (d > 0 && !IsDrawItemParaStart(d)) --d;
  if (d > 0) {
    --d;
    while (d > 0 && !IsDrawItemParaStart(d)) --d;
  }
  SkipToDrawItemStart(d);
}

void TRDEditRDData::MoveCaretToNextParaEnd() {
  if (!HasCaret()) return;
  const int lastD = DrawItems.Count() - 1;
  int d = CaretStop().DrawItemNo;
  while (d < lastD && !IsDrawItemParaStart(d + 1)) ++d;
  if (d < lastD) {
    ++d;
    while (d < lastD && !IsDrawItemParaStart(d + 1)) ++d;
  }
  PlaceCaretInDrawItem(d, GetDrawItemEndOffset(d));
  ShowCaret(false, true, false, false);
}

void TRDEditRDData::SkipToDrawItemStart(int d) {
  CaretDItemNo = d;
  SkipListMarkerAtCaret(true);
  BuildCaretPositions(GetDrawItemStartOffset(CaretDItemNo));
  ShowCaret(false, true, false, false);
}

bool TRDEditRDData::IsDrawItemParaStart(int dItemNo) const {
  if (dItemNo == 0) return true;
  const TRDDrawLineInfo& line = *DrawItems[dItemNo];
  return DrawItems[dItemNo - 1]->ItemNo != line.ItemNo && IsParaStart(line.ItemNo);
}

bool TRDEditRDData::CaretAtLineStart() const {
  return CaretPosIndex == 0;
}

bool TRDEditRDData::CaretAtLineEnd() const {
  return CaretPosIndex == int(CaretPositions.size()) - 1;
}

bool TRDEditRDData::CaretOnLastLine() const {
  return !CaretPositions.empty() && CaretPositions.back().DrawItemNo == DrawItems.Count() - 1;
}

bool TRDEditRDData::IsEmptyDocument() const {
  return DrawItems.Count() == 0;
}

bool TRDEditRDData::CaretAtParagraphEnd() const {
  if (!HasCaret() || !CaretAtLineEnd()) return false;
  const int itemNo = GetCurrentItemNo();
  if (itemNo + 1 < GetItemCount() && GetItem(itemNo + 1)->GetContinuesPara()) return false;
  return GetOffsetInCurrentItem() >= GetItemEndOffset(itemNo);
}

void TRDEditRDData::StartSelectionAtCaret() {
  if (!HasCaret() || HasSelection()) return;
  // Selected cells give way to the selection the keys make from the caret after them.
  ReleasePartialSelection();
  const TRDCharPos& stop = CaretStop();
  SelStartDItem = SelEndDItem = stop.DrawItemNo;
  SelStartOffs = SelEndOffs = stop.Offset;
}

void TRDEditRDData::ExtendSelectionToCaret() {
  if (!HasCaret()) return;
  const TRDCharPos& stop = CaretStop();
  if (SelStartDItem < 0) {
    SelStartDItem = stop.DrawItemNo;
    SelStartOffs = stop.Offset;
  }
  SelEndDItem = stop.DrawItemNo;
  SelEndOffs = stop.Offset;
  const TRDStyle* style = GetRDStyle();
  if (style && style->SelectionMode == rdsmParagraph) ExpandSelectionToParas(false);
  MoveCaretToSelectionEnd(true);
  if (OnSelect) OnSelect();
}

void TRDEditRDData::MoveCaretToSelectionEnd(bool scroll) {
  if (SelEndDItem < 0 || SelEndDItem >= DrawItems.Count()) return;
  int d = SelEndDItem, offs = SelEndOffs;
  if (GetItem(DrawItems[d]->ItemNo)->StyleNo == rdsListMarker && d + 1 < DrawItems.Count()) {
    ++d;
    offs = GetDrawItemStartOffset(d);
  }
  PlaceCaretInDrawItem(d, offs);
  UpdateResizer();
  ShowCaret(false, scroll, false, false);
}

void TRDEditRDData::GetCurrentItemPosition(bool atItemStart, int& itemNo, int& offset) const {
  itemNo = GetCurrentItemNo();
  offset = GetOffsetInCurrentItem();
  if (itemNo < 0) return;
  if (atItemStart && offset >= GetItemEndOffset(itemNo) && itemNo + 1 < GetItemCount()) {
    ++itemNo;
    offset = GetItemStartOffset(itemNo);
  } else if (!atItemStart && offset <= GetItemStartOffset(itemNo) && itemNo > 0) {
    --itemNo;
    offset = GetItemEndOffset(itemNo);
  }
}

TPoint TRDEditRDData::GetCaretScreenPosition() const {
  if (!HasCaret()) return Point(0, 0);
  const TRDCharPos& stop = CaretStop();
  return Point(stop.X - 1 + stop.Side - GetHOffs(), DrawItems[CaretDItemNo]->Top - 1 - GetVOffs());
}

void TRDEditRDData::EnsureNotEmpty() {
  if (GetItemCount() > 0 || !GetRDStyle()) return;
  auto item = CreateRDItem(CurTextStyleNo, this);
  item->ParaNo = CurParaStyleNo;
  const TRDStyle* style = GetRDStyle();
  if (style->TextStyles().Items(ResolveStyleNo(CurTextStyleNo, CurParaStyleNo)).Unicode)
    item->ItemOptions |= rdioUnicodeText;
  AddItemAtEnd("", std::move(item));
  FormatWhole();
  if (DrawItems.Count() > 0) PlaceCaretInDrawItem(0, GetDrawItemStartOffset(0));
}

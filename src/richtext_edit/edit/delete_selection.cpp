// Deleting the selection as one undo step: whether it may be deleted at all
// (protection, read-only paragraphs, paragraph checkpoints), then the items removed from
// its end to its start, the boundary paragraphs joined, neighbouring text items that can
// be one joined, and the caret put where the selection began.
#include <algorithm>

#include "richtext/model/item_factory.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

bool HasParagraphCheckpoint(const TCustomRDItemInfo& item) {
  return item.Checkpoint && item.Checkpoint->Persistent;
}

}  // namespace

bool TRDEditRDData::PartMayBeDeleted(int itemNo, int from, int to) const {
  const int start = GetItemStartOffset(itemNo), end = GetItemEndOffset(itemNo);
  if (from == to || to <= start || from >= end) return true;
  if (GetItem(itemNo)->StyleNo < 0) return !IsItemProtected(itemNo, rdprDeleteProtect);
  const bool whole = from <= start && to >= end;
  if (whole && IsItemProtected(itemNo, rdprDeleteProtect)) return false;
  if (!whole && IsItemProtected(itemNo, rdprModifyProtect)) return false;
  return true;
}

bool TRDEditRDData::CanDeleteSelection() {
  if (!HasSelection()) {
    // Selected cells are deleted by their table.
    TCustomRDItemInfo* item = GetPartiallySelectedItem();
    return !item || item->CanClearSelectedCells();
  }
  int startNo, startOffs, endNo, endOffs;
  GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
  for (int i = startNo + 1; i < endNo; ++i)
    if (IsItemProtected(i, rdprDeleteProtect)) return false;
  if (startNo == endNo) {
    if (!PartMayBeDeleted(startNo, startOffs, endOffs)) return false;
  } else if (!PartMayBeDeleted(startNo, startOffs, GetItemEndOffset(startNo)) ||
             !PartMayBeDeleted(endNo, GetItemStartOffset(endNo), endOffs)) {
    return false;
  }
  // Only whole read-only paragraphs can go.
  if (IsParaOption(GetItemPara(startNo), rdpaoReadOnly)) {
    int paraStart = GetFirstItemOfPara(startNo);
    if (paraStart + 1 == startNo && GetItem(paraStart)->StyleNo == rdsListMarker)
      paraStart = startNo;
    if (paraStart != startNo || startOffs > GetItemStartOffset(startNo)) return false;
    if (startNo == endNo && startOffs == endOffs) return false;
  }
  if (IsParaOption(GetItemPara(endNo), rdpaoReadOnly)) {
    if (endOffs < GetItemEndOffset(endNo)) return false;
    if (endNo + 1 < GetItemCount() && !IsParaStart(endNo + 1)) return false;
  }
  // The current paragraph style read-only while the selection is outside read-only
  // paragraphs: what remains would take it.
  if (IsParaOption(CurParaStyleNo, rdpaoReadOnly) &&
      !IsParaOption(GetItemPara(startNo), rdpaoReadOnly) &&
      !IsParaOption(GetItemPara(endNo), rdpaoReadOnly))
    return false;
  // No paragraphs are joined across a paragraph checkpoint.
  bool passedParaStart = false;
  for (int i = startNo + 1; i <= endNo; ++i) {
    if (IsParaStart(i)) passedParaStart = true;
    if (passedParaStart && HasParagraphCheckpoint(*GetItem(i))) return false;
  }
  if (passedParaStart)
    for (int i = endNo + 1; i < GetItemCount() && !IsParaStart(i); ++i)
      if (HasParagraphCheckpoint(*GetItem(i))) return false;
  return true;
}

bool TRDEditRDData::DeleteSelectionWithUndo() {
  if (!HasSelection()) {
    TCustomRDItemInfo* item = GetPartiallySelectedItem();
    if (!item) return true;
    if (!item->CanClearSelectedCells()) {
      Beep();
      return false;
    }
    item->ClearSelectedCells();
    return true;
  }
  if (!CanDeleteSelection() || GetChosenItem()) {
    Beep();
    return false;
  }
  if (DragCaret && DragCaret->RDData == this &&
      IsPositionInSelection(DragCaret->ItemNo, DragCaret->ItemOffs, true)) {
    Beep();
    return false;
  }
  BeginUndoStep(rdutDelete, true);

  int dStart, dEnd, dStartOffs, dEndOffs;
  GetSelectionDrawBounds(dStart, dEnd, dStartOffs, dEndOffs, true);
  int dFirst, dLast;
  ExpandDrawItemsToParas(dStart, dEnd, dFirst, dLast);
  int rawStart, rawStartOffs, caretEndNo, caretEndOffs;
  GetSelectionBounds(rawStart, rawStartOffs, caretEndNo, caretEndOffs, false);
  TRDTag savedTag;
  if (GetItem(caretEndNo)->StyleNo == CurTextStyleNo)
    savedTag = CopyItemTag(GetItem(caretEndNo)->Tag, TagsArePChars());

  int startNo, startOffs, endNo, endOffs;
  GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
  Deselect(false);
  if (startNo > 0 && GetItem(startNo)->GetContinuesPara() &&
      startOffs <= GetItemStartOffset(startNo)) {
    --startNo;
    startOffs = GetItemEndOffset(startNo);
  }
  SkipListMarkerAtItem(startNo, startOffs, true);
  SkipListMarkerAtItem(endNo, endOffs, true);
  // The lists whose markers go: numbered again afterwards from the marker before them,
  // whose place in the marker list the deletion does not move.
  std::vector<int> listNos;
  int markerIndex, unusedLast;
  CollectListsInRange(startNo, endNo, listNos, markerIndex, unusedLast, true);
  KeepParagraphCheckpoint(startNo, startOffs, endNo, endOffs);

  int widest = 0, removed = 0;
  bool full = false, f = false;
  bool endIsParaEnd = false, keptEnd = false;
  int caretItem = startNo, caretOffs = startOffs;
  auto deleteFromStartItem = [&](int from, int to) {
    widest = std::max(widest, GetLinesMinWidth(startNo, startNo));
    TCustomRDItemInfo* item = GetItem(startNo);
    if (from > GetItemStartOffset(startNo) || to < GetItemEndOffset(startNo)) {
      if (item->StyleNo >= 0) DeleteSubstringWithUndo(startNo, from, to - from);
      caretItem = startNo;
      caretOffs = from;
      if (keptEnd) SetParaStartWithUndo(startNo + 1, true, f, -1);
      return;
    }
    const bool wasParaStart = item->IsParaStart();
    const bool lineBreak = item->GetLineBreakBefore();
    const bool continues = item->GetContinuesPara();
    const int paraNo = item->ParaNo;
    if (endIsParaEnd && continues)
      endIsParaEnd = startNo > 0 && GetItem(startNo - 1)->StyleNo == rdsListMarker;
    std::unique_ptr<TRDCPInfo> kept;
    if (endIsParaEnd && HasParagraphCheckpoint(*item))
      kept = CopyCheckpoint(*item->Checkpoint, TagsArePChars());
    if (!endIsParaEnd) MoveParagraphCheckpoint(startNo, false);
    DeleteItemWithUndo(startNo, f);
    full = full || f;
    ++removed;
    if (endIsParaEnd) {
      // A whole paragraph went: its line stays, empty, in the current text style.
      InsertNewTextItemWithUndo("", startNo, f, lineBreak, continues, CurTextStyleNo, paraNo,
                                savedTag);
      if (kept) AddCheckpointWithUndo(startNo, std::move(kept));
      --removed;
      caretItem = startNo;
      caretOffs = 1;
    } else if (wasParaStart && startNo < GetItemCount()) {
      if (!(startNo > 0 && IsItemProtected(startNo, rdprParaStartProtect)))
        SetParaStartWithUndo(startNo, false, f, -1);
      // The item takes the deleted one's place: its line break, or none (the first item of
      // the document never has one).
      const bool breakNow = lineBreak && startNo > 0;
      TCustomRDItemInfo* now = GetItem(startNo);
      if (!now->GetContinuesPara() && now->GetLineBreakBefore() != breakNow)
        SetLineBreakWithUndo(startNo, breakNow, f);
      caretItem = startNo;
      caretOffs = GetItemStartOffset(startNo);
    } else {
      caretItem = startNo - 1;
      caretOffs = GetItemEndOffset(startNo - 1);
      if (keptEnd) SetParaStartWithUndo(startNo, true, f, -1);
    }
  };

  if (startNo == endNo) {
    endIsParaEnd = !(startNo + 1 < GetItemCount() && !GetItem(startNo + 1)->IsParaStart());
    deleteFromStartItem(startOffs, endOffs);
  } else {
    widest = GetLinesMinWidth(endNo, endNo);
    if (endOffs < GetItemEndOffset(endNo)) {
      if (GetItem(endNo)->StyleNo >= 0 && endOffs > 1)
        DeleteSubstringWithUndo(endNo, 1, endOffs - 1);
      keptEnd = true;
    } else {
      endIsParaEnd = endNo + 1 >= GetItemCount() || IsParaStart(endNo + 1);
      DeleteItemWithUndo(endNo, f);
      full = full || f;
      ++removed;
    }
    if (endNo - 1 >= startNo + 1) {
      widest = std::max(widest, GetItemRangeMinWidth(startNo + 1, endNo - 1));
      DeleteItemsWithUndo(startNo + 1, endNo - 1, f);
      full = full || f;
      removed += endNo - 1 - startNo;
    }
    deleteFromStartItem(startOffs, GetItemEndOffset(startNo));
  }

  if (caretItem + 1 < GetItemCount() &&
      CanJoinItems(caretItem, *GetItem(caretItem), false, *GetItem(caretItem + 1))) {
    JoinWithNextItemWithUndo(caretItem);
    ++removed;
  }
  // The joined paragraph takes the style of the paragraph the caret is in.
  int paraFirst, paraLast;
  ExpandRangeToParas(caretItem, caretItem, paraFirst, paraLast);
  for (int i = paraFirst; i <= paraLast; ++i)
    if (GetItemPara(i) != GetItemPara(caretItem)) {
      SetParaNoRangeWithUndo(paraFirst, paraLast, f, GetItemPara(caretItem));
      full = full || f;
      break;
    }
  GetItem(caretItem)->ClearMisspellings();
  ReformatAfterEdit(full || widest >= MinDocumentWidth, dFirst, dLast, -removed);
  int d, dOffs;
  SkipListMarkerAtItem(caretItem, caretOffs, true);
  ItemToDrawItem(caretItem, caretOffs, d, dOffs);
  CaretDItemNo = d;
  BuildCaretPositions(dOffs);
  ShowCaret(false, true, true, false);
  if (!listNos.empty())
    RenumberListsFrom(GetFirstItemOfPara(caretItem) - 1, markerIndex, -1, &listNos);
  NotifyChanged(true);
  if (OnSelect) OnSelect();
  return true;
}

void TRDEditRDData::KeepParagraphCheckpoint(int startNo, int startOffs, int endNo, int endOffs) {
  int found = -1;
  if (startOffs < GetItemEndOffset(startNo) && HasParagraphCheckpoint(*GetItem(startNo))) {
    found = startNo;
  } else {
    int i = startNo + 1;
    for (; i < endNo && !IsParaStart(i); ++i)
      if (HasParagraphCheckpoint(*GetItem(i))) {
        found = i;
        break;
      }
    if (found < 0 && i == endNo && endNo > startNo && GetItem(endNo)->GetContinuesPara() &&
        endOffs >= GetItemEndOffset(endNo) && HasParagraphCheckpoint(*GetItem(endNo)))
      found = endNo;
  }
  if (found < 0) return;
  const bool keepsHead = GetItemStartOffset(startNo) < startOffs;
  const int target = keepsHead || startNo == 0 || IsParaStart(startNo) ? startNo : startNo - 1;
  if (target < found) MoveCheckpointWithUndo(found, target);
}

void TRDEditRDData::NotifyChanged(bool clearRedo) {
  if (!(State & rddsKeepPendingTag)) PendingTag = TRDTag{};
  if (TCustomRichDocEdit* editor = Editor()) editor->Change(clearRedo);
}

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

// One deletion of the selection: its bounds, and what its steps learn and hand on.
struct TRDEditRDData::TSelectionDeletion {
  int startNo = 0, startOffs = 0, endNo = 0, endOffs = 0;
  // The tag of the item at the caret's end of the selection, for the empty line a
  // deleted paragraph leaves.
  TRDTag savedTag;
  int widest = 0;   // the widest line the deleted items had
  int removed = 0;  // items fewer than before
  bool full = false;
  bool endIsParaEnd = false;  // the deletion reaches the end of its paragraph
  bool keptEnd = false;       // the last item keeps what follows the selection
  int caretItem = 0, caretOffs = 0;
};

bool TRDEditRDData::DeleteSelectionWithUndo() {
  if (!HasSelection()) return ClearPartiallySelectedCells();
  if (!SelectionDeletableNow()) {
    Beep();
    return false;
  }
  BeginUndoStep(rdutDelete, true);
  int dStart, dEnd, dStartOffs, dEndOffs;
  GetSelectionDrawBounds(dStart, dEnd, dStartOffs, dEndOffs, true);
  int dFirst, dLast;
  ExpandDrawItemsToParas(dStart, dEnd, dFirst, dLast);
  TSelectionDeletion del;
  TakeSelectionForDeletion(del);
  // The lists whose markers go: numbered again afterwards from the marker before them,
  // whose place in the marker list the deletion does not move.
  std::vector<int> listNos;
  int markerIndex, unusedLast;
  CollectListsInRange(del.startNo, del.endNo, listNos, markerIndex, unusedLast, true);
  KeepParagraphCheckpoint(del.startNo, del.startOffs, del.endNo, del.endOffs);
  if (del.startNo == del.endNo) {
    del.endIsParaEnd =
        !(del.startNo + 1 < GetItemCount() && !GetItem(del.startNo + 1)->IsParaStart());
    DeleteFromStartItem(del, del.startOffs, del.endOffs);
  } else {
    DeleteEndAndMiddleItems(del);
    DeleteFromStartItem(del, del.startOffs, GetItemEndOffset(del.startNo));
  }
  JoinAtCaretAfterDeletion(del);
  GetItem(del.caretItem)->ClearMisspellings();
  ReformatAfterEdit(del.full || del.widest >= MinDocumentWidth, dFirst, dLast, -del.removed);
  int d, dOffs;
  SkipListMarkerAtItem(del.caretItem, del.caretOffs, true);
  ItemToDrawItem(del.caretItem, del.caretOffs, d, dOffs);
  CaretDItemNo = d;
  BuildCaretPositions(dOffs);
  ShowCaret(false, true, true, false);
  if (!listNos.empty())
    RenumberListsFrom(GetFirstItemOfPara(del.caretItem) - 1, markerIndex, -1, &listNos);
  NotifyChanged(true);
  if (OnSelect) OnSelect();
  return true;
}

bool TRDEditRDData::ClearPartiallySelectedCells() {
  TCustomRDItemInfo* item = GetPartiallySelectedItem();
  if (!item) return true;
  if (!item->CanClearSelectedCells()) {
    Beep();
    return false;
  }
  item->ClearSelectedCells();
  return true;
}

bool TRDEditRDData::SelectionDeletableNow() {
  if (!CanDeleteSelection() || GetChosenItem()) return false;
  // Our own drag about to drop into the selection needs it.
  return !(DragCaret && DragCaret->RDData == this &&
           IsPositionInSelection(DragCaret->ItemNo, DragCaret->ItemOffs, true));
}

void TRDEditRDData::TakeSelectionForDeletion(TSelectionDeletion& del) {
  int rawStart, rawStartOffs, caretEndNo, caretEndOffs;
  GetSelectionBounds(rawStart, rawStartOffs, caretEndNo, caretEndOffs, false);
  if (GetItem(caretEndNo)->StyleNo == CurTextStyleNo)
    del.savedTag = CopyItemTag(GetItem(caretEndNo)->Tag, TagsArePChars());
  GetSelectionBounds(del.startNo, del.startOffs, del.endNo, del.endOffs, true);
  Deselect(false);
  if (del.startNo > 0 && GetItem(del.startNo)->GetContinuesPara() &&
      del.startOffs <= GetItemStartOffset(del.startNo)) {
    --del.startNo;
    del.startOffs = GetItemEndOffset(del.startNo);
  }
  SkipListMarkerAtItem(del.startNo, del.startOffs, true);
  SkipListMarkerAtItem(del.endNo, del.endOffs, true);
  del.caretItem = del.startNo;
  del.caretOffs = del.startOffs;
}

void TRDEditRDData::DeleteEndAndMiddleItems(TSelectionDeletion& del) {
  bool f = false;
  del.widest = GetLinesMinWidth(del.endNo, del.endNo);
  if (del.endOffs < GetItemEndOffset(del.endNo)) {
    if (GetItem(del.endNo)->StyleNo >= 0 && del.endOffs > 1)
      DeleteSubstringWithUndo(del.endNo, 1, del.endOffs - 1);
    del.keptEnd = true;
  } else {
    del.endIsParaEnd = del.endNo + 1 >= GetItemCount() || IsParaStart(del.endNo + 1);
    DeleteItemWithUndo(del.endNo, f);
    del.full = del.full || f;
    ++del.removed;
  }
  if (del.endNo - 1 >= del.startNo + 1) {
    del.widest = std::max(del.widest, GetItemRangeMinWidth(del.startNo + 1, del.endNo - 1));
    DeleteItemsWithUndo(del.startNo + 1, del.endNo - 1, f);
    del.full = del.full || f;
    del.removed += del.endNo - 1 - del.startNo;
  }
}

void TRDEditRDData::DeleteFromStartItem(TSelectionDeletion& del, int from, int to) {
  const int no = del.startNo;
  del.widest = std::max(del.widest, GetLinesMinWidth(no, no));
  if (from <= GetItemStartOffset(no) && to >= GetItemEndOffset(no)) {
    DeleteWholeStartItem(del);
    return;
  }
  if (GetItem(no)->StyleNo >= 0) DeleteSubstringWithUndo(no, from, to - from);
  del.caretItem = no;
  del.caretOffs = from;
  bool f = false;
  // What was kept of the end joins the start's paragraph, unless the start is a table or
  // break line, which ends its paragraph.
  if (del.keptEnd && !GetItem(no)->IsFullLine()) SetParaStartWithUndo(no + 1, true, f, -1);
}

void TRDEditRDData::DeleteWholeStartItem(TSelectionDeletion& del) {
  const int no = del.startNo;
  TCustomRDItemInfo* item = GetItem(no);
  const bool wasParaStart = item->IsParaStart();
  const bool lineBreak = item->GetLineBreakBefore();
  const bool continues = item->GetContinuesPara();
  const int paraNo = item->ParaNo;
  if (del.endIsParaEnd && continues) del.endIsParaEnd = IsListMarkerAt(no - 1);
  // What the selection ended before cannot join the line (it always starts a paragraph,
  // as a table does): a list item whose text goes keeps an empty line, as when its whole
  // paragraph goes, and its marker is never left alone.
  if (del.keptEnd && continues && no + 1 < GetItemCount() && GetItem(no + 1)->IsFullLine())
    del.endIsParaEnd = IsListMarkerAt(no - 1);
  std::unique_ptr<TRDCPInfo> kept;
  if (del.endIsParaEnd && HasParagraphCheckpoint(*item))
    kept = CopyCheckpoint(*item->Checkpoint, TagsArePChars());
  if (!del.endIsParaEnd) MoveParagraphCheckpoint(no, false);
  bool f = false;
  DeleteItemWithUndo(no, f);
  del.full = del.full || f;
  ++del.removed;
  if (del.endIsParaEnd) {
    // A whole paragraph went: its line stays, empty, in the current text style.
    InsertNewTextItemWithUndo("", no, f, lineBreak, continues, CurTextStyleNo, paraNo,
                              del.savedTag);
    if (kept) AddCheckpointWithUndo(no, std::move(kept));
    --del.removed;
    del.caretItem = no;
    del.caretOffs = 1;
  } else if (wasParaStart && no < GetItemCount()) {
    if (!(no > 0 && IsItemProtected(no, rdprParaStartProtect)))
      SetParaStartWithUndo(no, false, f, -1);
    // The item takes the deleted one's place: its line break, or none (the first item of
    // the document never has one).
    const bool breakNow = lineBreak && no > 0;
    TCustomRDItemInfo* now = GetItem(no);
    if (!now->GetContinuesPara() && now->GetLineBreakBefore() != breakNow)
      SetLineBreakWithUndo(no, breakNow, f);
    del.caretItem = no;
    del.caretOffs = GetItemStartOffset(no);
  } else {
    del.caretItem = no - 1;
    del.caretOffs = GetItemEndOffset(no - 1);
    if (del.keptEnd && !GetItem(no - 1)->IsFullLine()) SetParaStartWithUndo(no, true, f, -1);
  }
}

void TRDEditRDData::JoinAtCaretAfterDeletion(TSelectionDeletion& del) {
  const int caretItem = del.caretItem;
  // A table or break line left at the caret ends its paragraph: what the deletion brought
  // up behind it starts its own.
  if (caretItem + 1 < GetItemCount() && GetItem(caretItem)->IsFullLine() &&
      GetItem(caretItem + 1)->GetContinuesPara()) {
    bool f = false;
    SetParaStartWithUndo(caretItem + 1, false, f, -1);
    del.full = del.full || f;
  }
  if (caretItem + 1 < GetItemCount() &&
      CanJoinItems(caretItem, *GetItem(caretItem), false, *GetItem(caretItem + 1))) {
    JoinWithNextItemWithUndo(caretItem);
    ++del.removed;
  }
  // The joined paragraph takes the style of the paragraph the caret is in.
  int paraFirst, paraLast;
  ExpandRangeToParas(caretItem, caretItem, paraFirst, paraLast);
  for (int i = paraFirst; i <= paraLast; ++i)
    if (GetItemPara(i) != GetItemPara(caretItem)) {
      bool f = false;
      SetParaNoRangeWithUndo(paraFirst, paraLast, f, GetItemPara(caretItem));
      del.full = del.full || f;
      break;
    }
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

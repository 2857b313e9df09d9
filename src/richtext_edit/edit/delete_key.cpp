// The Delete key without a selection: what follows the caret goes. Inside a line the
// caret steps one character (or item) forward and Backspace deletes from there; at the
// end of a line the next line is joined to it - an empty line goes, two text items of
// one kind become one, or the next paragraph continues this one (its list marker gone).
#include <vector>

#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"

namespace {

class TDeleteKey {
 public:
  TDeleteKey(TRDEditRDData& data, bool byWord) : d_(data), by_word_(byWord) {}
  bool Run(bool repeated);

 private:
  bool ReadOnly(int itemNo) const { return d_.IsParaOption(d_.GetItemPara(itemNo), rdpaoReadOnly); }
  bool Refuse() {
    d_.Beep();
    return false;
  }
  bool InsideLine(int d, bool repeated);
  bool AtParagraphEnd(int itemNo);
  bool DeleteEmptyItemAtParaEnd(int itemNo, bool caretToNext);
  bool JoinNextItemAtParaEnd(int itemNo);
  bool ContinueNextParaAtParaEnd(int itemNo);
  bool MayJoinNextPara(int itemNo) const;
  // The marker lists noted before a deletion are numbered again after it.
  void Renumber(int caretItem);

  TRDEditRDData& d_;
  const bool by_word_;
  int first_ = -1;  // the caret line's draw items widened to whole paragraphs
  int last_ = -1;
  int width_before_ = 0;  // their minimal width before the edit
  std::vector<int> list_nos_;
  int marker_index_ = -1;
};

bool TDeleteKey::Run(bool repeated) {
  if (!d_.HasCaret()) return false;
  const int d = d_.CaretStop().DrawItemNo;
  d_.CaretDItemNo = d;
  const int itemNo = d_.DrawItems[d]->ItemNo;
  if (ReadOnly(itemNo)) return Refuse();
  if (!d_.EditorAllowsChange()) return false;
  const TCustomRDItemInfo* item = d_.GetItem(itemNo);
  const bool text = item->StyleNo >= 0;
  const bool behindEnd =
      d_.CaretAtLineEnd() && d_.GetOffsetInCurrentItem() >= d_.GetItemEndOffset(itemNo);
  const bool hasNext = itemNo + 1 < d_.GetItemCount();
  if (behindEnd) {
    // Tables and breaks are never joined to text: the caret only passes them.
    if (item->IsFullLine() || (hasNext && d_.GetItem(itemNo + 1)->IsFullLine() &&
                               (!text || !d_.GetItemTextRaw(itemNo).empty()))) {
      d_.MoveCaretRight(false, false);
      return false;
    }
    if (!hasNext) return d_.IsEmptyTextAt(itemNo) && d_.BackspaceKey(false, false, false);
  }
  int lineFirst, lineLast;
  d_.GetLineDrawItemRange(d, lineFirst, lineLast);
  d_.ExpandDrawItemsToParas(lineFirst, lineLast, first_, last_);
  width_before_ = d_.EditedRangeMinWidth(first_, last_, 0);
  if (behindEnd && d_.GetItem(itemNo + 1)->GetContinuesPara()) {
    // The paragraph goes on in the next line: delete from its start.
    d_.CaretDItemNo = d + 1;
    d_.BuildCaretPositions(d_.GetDrawItemStartOffset(d + 1));
    d_.CaretPosIndex = 0;
    const bool changed = TDeleteKey(d_, by_word_).Run(true);
    if (d_.HasCaret()) d_.ShowCaret(false, true, false, true);
    return changed;
  }
  d_.BeginUndoStep(rdutDelete, true);
  if (!behindEnd) return InsideLine(d, repeated);
  // The paragraph below is laid out again with this one.
  d_.ExpandDrawItemsToParas(first_, d_.GetItemEndDrawItem(itemNo + 1), first_, last_);
  width_before_ = d_.EditedRangeMinWidth(first_, last_, 0);
  return AtParagraphEnd(itemNo);
}

bool TDeleteKey::InsideLine(int d, bool repeated) {
  bool changed;
  if (!d_.CaretAtLineEnd()) {
    // Coming from the line above into the rest of a wrapped item, the caret already
    // stands behind what goes.
    const TRDDrawLineInfo& line = *d_.DrawItems[d];
    if (!(repeated && d > 0 && d_.DrawItems[d - 1]->ItemNo != line.ItemNo &&
          d_.GetItem(line.ItemNo)->StyleNo >= 0 && line.Offs > 1))
      ++d_.CaretPosIndex;
    changed = d_.BackspaceKey(false, true, false);
  } else {
    // A text item wrapped here: what follows is at the start of the next line.
    const TRDDrawLineInfo& line = *d_.DrawItems[d];
    const TRDDrawLineInfo& next = *d_.DrawItems[d + 1];
    const bool wrapped = next.ItemNo == line.ItemNo && next.Offs == line.Offs + line.Length;
    d_.CaretDItemNo = d + 1;
    d_.BuildCaretPositions(d_.GetDrawItemStartOffset(d + 1));
    d_.CaretPosIndex = 0;
    changed = wrapped ? TDeleteKey(d_, false).Run(true) : d_.BackspaceKey(false, true, false);
  }
  if (d_.HasCaret()) d_.ShowCaret(false, true, false, false);
  return changed;
}

bool TDeleteKey::AtParagraphEnd(int itemNo) {
  if (d_.IsEmptyTextAt(itemNo)) return DeleteEmptyItemAtParaEnd(itemNo, true);
  if (d_.IsEmptyTextAt(itemNo + 1)) return DeleteEmptyItemAtParaEnd(itemNo + 1, false);
  if (d_.CanJoinItems(itemNo, *d_.GetItem(itemNo), true, *d_.GetItem(itemNo + 1)))
    return JoinNextItemAtParaEnd(itemNo);
  return ContinueNextParaAtParaEnd(itemNo);
}

bool TDeleteKey::DeleteEmptyItemAtParaEnd(int itemNo, bool caretToNext) {
  const bool afterMarker = d_.IsListMarkerAt(itemNo - 1);
  if (d_.IsItemProtected(itemNo, rdprDeleteProtect) || ReadOnly(itemNo) ||
      d_.ParaHasParagraphCheckpoint(itemNo) ||
      (afterMarker && d_.IsItemProtected(itemNo - 1, rdprDeleteProtect)))
    return Refuse();
  bool full = false, f = false;
  if (caretToNext && itemNo + 1 < d_.GetItemCount() && !d_.GetItem(itemNo)->GetLineBreakBefore())
    d_.SetLineBreakWithUndo(itemNo + 1, false, f);  // the next line keeps a paragraph of its own
  full = full || f;
  int removed = 1, at = itemNo;
  if (afterMarker) {
    int unusedLast;
    d_.CollectListsInRange(itemNo - 1, itemNo, list_nos_, marker_index_, unusedLast, true);
    d_.DeleteItemWithUndo(itemNo, f);
    full = full || f;
    d_.DeleteItemWithUndo(itemNo - 1, f);
    removed = 2;
    at = itemNo - 1;
  } else {
    d_.DeleteItemWithUndo(itemNo, f);
  }
  full = full || f;
  if (at < d_.GetItemCount()) d_.ItemTextChanged(at, 0, false);
  int caretItem, caretOffs;
  if (caretToNext && at < d_.GetItemCount()) {
    caretItem = at;
    caretOffs = d_.GetItemStartOffset(at);
  } else {
    caretItem = at - 1;
    caretOffs = d_.GetItemEndOffset(at - 1);
  }
  d_.ReformatEditedParas(full, width_before_, first_, last_, -removed);
  d_.PlaceCaretAtItem(caretItem, caretOffs, !caretToNext);
  Renumber(caretItem);
  return true;
}

bool TDeleteKey::MayJoinNextPara(int itemNo) const {
  return !ReadOnly(itemNo) && !ReadOnly(itemNo + 1) &&
         !d_.IsItemProtected(itemNo + 1, rdprParaStartProtect) &&
         !d_.ParaHasParagraphCheckpoint(itemNo + 1);
}

bool TDeleteKey::JoinNextItemAtParaEnd(int itemNo) {
  if (!MayJoinNextPara(itemNo)) return Refuse();
  const int offs = d_.GetItemEndOffset(itemNo);
  d_.JoinWithNextItemWithUndo(itemNo);
  d_.ItemTextChanged(itemNo, offs, true);
  d_.ReformatEditedParas(false, width_before_, first_, last_, -1);
  d_.PlaceCaretAtItem(itemNo, offs, true);
  return true;
}

bool TDeleteKey::ContinueNextParaAtParaEnd(int itemNo) {
  const bool markerNext = d_.IsListMarkerAt(itemNo + 1);
  if (!MayJoinNextPara(itemNo) || (markerNext && d_.IsItemProtected(itemNo + 1, rdprDeleteProtect)))
    return Refuse();
  bool full = false, f = false;
  d_.SetParaStartWithUndo(itemNo + 1, true, f, -1);
  full = full || f;
  const int offs = d_.GetItemEndOffset(itemNo);
  int removed = 0;
  if (markerNext) {
    int unusedLast;
    d_.CollectListsInRange(itemNo + 1, itemNo + 1, list_nos_, marker_index_, unusedLast, true);
    d_.DeleteItemWithUndo(itemNo + 1, f);
    full = full || f;
    ++removed;
  }
  if (itemNo + 1 < d_.GetItemCount()) {
    if (d_.CanJoinItems(itemNo, *d_.GetItem(itemNo), false, *d_.GetItem(itemNo + 1))) {
      d_.JoinWithNextItemWithUndo(itemNo);
      ++removed;
      d_.ItemTextChanged(itemNo, offs, true);
    } else {
      d_.ItemTextChanged(itemNo + 1, 0, false);
    }
  }
  d_.ReformatEditedParas(full, width_before_, first_, last_, -removed);
  d_.PlaceCaretAtItem(itemNo, offs, true);
  Renumber(itemNo);
  return true;
}

void TDeleteKey::Renumber(int caretItem) {
  if (list_nos_.empty()) return;
  d_.RenumberListsFrom(d_.GetFirstItemOfPara(caretItem) - 1, marker_index_, -1, &list_nos_);
}

}  // namespace

bool TRDEditRDData::DeleteKey(bool byWord, bool repeated) {
  return TDeleteKey(*this, byWord).Run(repeated);
}

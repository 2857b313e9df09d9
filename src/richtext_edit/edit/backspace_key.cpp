// The Backspace key without a selection: the character, the word or the whole character
// before the caret, a picture or other item before it, a list marker, or the break that
// joins the caret's line to the one above. Each deletion is one undo step, asks the
// editor first and beeps when protection forbids it; afterwards every paragraph still
// has an item, a list marker is still the first item of its paragraph, and a paragraph
// checkpoint is never lost.
#include <vector>

#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

char16_t UnitAt(const std::string& s, int index) {  // index 1-based
  const size_t at = size_t(index - 1) * 2;
  return char16_t(std::uint8_t(s[at]) | (std::uint8_t(s[at + 1]) << 8));
}

// One press of the key: the caret line's paragraphs as the reformat range, and the
// steps that share it.
class TBackspace {
 public:
  TBackspace(TRDEditRDData& data, bool byWord, bool byCharacterUnit)
      : d_(data), by_word_(byWord), by_unit_(byCharacterUnit) {}

  bool Run(bool continuing);

 private:
  bool ReadOnly(int itemNo) const { return d_.IsParaOption(d_.GetItemPara(itemNo), rdpaoReadOnly); }
  bool Refuse() {
    d_.Beep();
    return false;
  }
  int GetBackspaceCount(const std::string& s, int position, int itemNo) const;
  bool DeleteItemBeforeCaret(int itemNo, int itemOffs);
  bool DeleteCharsBeforeCaret(int itemNo, int itemOffs, int count);
  bool DeleteItemKeepingParagraph(int itemNo);
  bool ReplaceItemWithEmptyText(int itemNo);
  bool JoinWithPreviousParagraph(int itemNo);
  bool DeleteEmptyTextItem(int itemNo);
  bool DeleteEmptyPreviousItem(int itemNo);
  bool JoinItemWithPrevious(int itemNo);
  bool MakeItemContinuePrevious(int itemNo);
  void Reformat(int itemsAdded, const TRDEditRDData::TRDChangedRange* textEdit = nullptr) {
    d_.ReformatEditedParas(false, width_before_, first_, last_, itemsAdded, textEdit);
  }

  TRDEditRDData& d_;
  const bool by_word_;
  const bool by_unit_;
  int first_ = -1;  // the caret line's draw items widened to whole paragraphs
  int last_ = -1;
  int width_before_ = 0;  // their minimal width before the edit
};

bool TBackspace::Run(bool continuing) {
  if (!d_.HasCaret()) return false;
  const TRDCharPos& stop = d_.CaretStop();
  const int d = stop.DrawItemNo;
  d_.CaretDItemNo = d;
  int offset = stop.Offset;
  if (continuing && d + 1 < d_.DrawItems.Count() &&
      d_.DrawItems[d + 1]->ItemNo != d_.DrawItems[d]->ItemNo)
    offset = d_.GetDrawItemEndOffset(d);
  int itemNo, itemOffs;
  d_.DrawItemToItem(d, offset, itemNo, itemOffs);
  const TCustomRDItemInfo* item = d_.GetItem(itemNo);
  if (ReadOnly(itemNo)) return Refuse();
  const bool text = item->StyleNo >= 0;
  if (d_.CaretPosIndex == 0 && (!text || itemOffs < 2)) {
    if (itemNo == 0) return false;
    // Nothing joins a line to a table or a break: the caret only passes it. Only an empty
    // line after one goes (an empty item that the paragraph goes on after is no line).
    const TCustomRDItemInfo* prev = d_.GetItem(itemNo - 1);
    const bool emptyLine =
        d_.IsEmptyTextAt(itemNo) &&
        (itemNo + 1 >= d_.GetItemCount() || !d_.GetItem(itemNo + 1)->GetContinuesPara());
    if (item->IsFullLine() || (prev->IsFullLine() && !emptyLine)) {
      d_.MoveCaretLeft(false, false);
      return false;
    }
  }
  int lineFirst, lineLast;
  d_.GetLineDrawItemRange(d, lineFirst, lineLast);
  d_.ExpandDrawItemsToParas(lineFirst, lineLast, first_, last_);
  width_before_ = d_.EditedRangeMinWidth(first_, last_, 0);
  if (d_.CaretPosIndex == 0 && item->GetContinuesPara() &&
      itemOffs <= d_.GetItemStartOffset(itemNo) && !d_.IsListMarkerAt(itemNo - 1)) {
    // A wrapped line: the deletion happens at the end of the line above.
    d_.CaretDItemNo = d - 1;
    d_.BuildCaretPositions(d_.GetDrawItemEndOffset(d - 1));
    d_.CaretPosIndex = int(d_.CaretPositions.size()) - 1;
    const bool changed = TBackspace(d_, by_word_, by_unit_).Run(true);
    if (d_.HasCaret()) d_.ShowCaret(false, true, false, false);
    return changed;
  }
  d_.BeginUndoStep(rdutDelete, true);
  if (d_.CaretAtParagraphStart()) {
    // The paragraph above is laid out again with this one.
    d_.ExpandDrawItemsToParas(d_.GetItem(itemNo - 1)->DrawItemNo, last_, first_, last_);
    width_before_ = d_.EditedRangeMinWidth(first_, last_, 0);
    return JoinWithPreviousParagraph(itemNo);
  }
  return DeleteItemBeforeCaret(itemNo, itemOffs);
}

int TBackspace::GetBackspaceCount(const std::string& s, int position, int itemNo) const {
  const TRDItemOptions options = d_.GetItemOptions(itemNo);
  if (by_word_) {
    auto delim = [&](int i) { return d_.IsDelimiterAt(s, i, options); };
    int count = 1;
    for (int v = position - 1; v >= 1; --v) {
      if ((delim(v) && !delim(v + 1)) ||
          (!delim(v) && delim(v + 1) && !IsItemTextSpace(s, v + 1, options)))
        break;
      ++count;
    }
    return count;
  }
  if (by_unit_) return position + 1 - d_.GetPrevCharOffset(s, itemNo, position + 1);
  // One character: the two halves of a surrogate pair go together, never one alone.
  if (IsUnicodeItem(options) && position >= 2) {
    const char16_t low = UnitAt(s, position), high = UnitAt(s, position - 1);
    if (low >= 0xDC00 && low <= 0xDFFF && high >= 0xD800 && high <= 0xDBFF) return 2;
  }
  return 1;
}

bool TBackspace::DeleteItemBeforeCaret(int itemNo, int itemOffs) {
  const TCustomRDItemInfo* item = d_.GetItem(itemNo);
  if (item->StyleNo >= 0) {
    const std::string& s = d_.GetItemTextRaw(itemNo);
    const int length = d_.GetItemLength(itemNo);
    const int position = itemOffs - 1;  // the character before the caret
    if (position < 1 && length > 0) return false;
    const int count = position < 1 ? 0 : GetBackspaceCount(s, position, itemNo);
    if (count < length) return DeleteCharsBeforeCaret(itemNo, itemOffs, count);
  }
  // The item goes whole; a paragraph it alone made keeps an empty line.
  const bool startsPara = !item->GetContinuesPara() || d_.IsListMarkerAt(itemNo - 1);
  if (!startsPara || (itemNo + 1 < d_.GetItemCount() && d_.GetItem(itemNo + 1)->GetContinuesPara()))
    return DeleteItemKeepingParagraph(itemNo);
  return ReplaceItemWithEmptyText(itemNo);
}

bool TBackspace::DeleteCharsBeforeCaret(int itemNo, int itemOffs, int count) {
  if (!d_.EditorAllowsChange()) return false;
  if (d_.IsItemProtected(itemNo, rdprModifyProtect)) return Refuse();
  const int start = itemOffs - count;
  d_.DeleteSubstringWithUndo(itemNo, start, count);
  TCustomRichDoc::AdjustWordMarksAfterDelete(&d_, itemNo, start, count);
  const TRDEditRDData::TRDChangedRange deleted = TRDEditRDData::TextEdit(itemNo, start, -count);
  Reformat(0, &deleted);
  d_.PlaceCaretAtItem(itemNo, start, false);
  return true;
}

bool TBackspace::DeleteItemKeepingParagraph(int itemNo) {
  if (!d_.EditorAllowsChange()) return false;
  if (ReadOnly(itemNo) || d_.IsItemProtected(itemNo, rdprDeleteProtect) ||
      !d_.MoveParagraphCheckpoint(itemNo, false))
    return Refuse();
  std::vector<int> listNos;
  int markerIndex = -1, unusedLast = -1;
  d_.CollectListsInRange(itemNo, itemNo, listNos, markerIndex, unusedLast, true);
  const TCustomRDItemInfo* item = d_.GetItem(itemNo);
  const bool startedLine = !item->GetContinuesPara();
  const bool lineBreak = item->GetLineBreakBefore();
  const bool pageBreak = item->GetPageBreakBefore();
  bool f = false;
  d_.DeleteItemWithUndo(itemNo, f);
  int removed = 1, caretItem = itemNo - 1, caretOffs = -1;
  if (itemNo < d_.GetItemCount() && d_.GetItem(itemNo)->GetContinuesPara()) {
    if (startedLine || itemNo == 0) {
      // The next item takes the deleted one's place at the line start.
      d_.SetParaStartWithUndo(itemNo, false, f, -1);
      if (lineBreak) d_.SetLineBreakWithUndo(itemNo, true, f);
      if (pageBreak) d_.SetPageBreakWithUndo(itemNo, true);
      caretItem = itemNo;
      caretOffs = d_.GetItemStartOffset(itemNo);
    } else {
      caretOffs = d_.GetItemEndOffset(itemNo - 1);
      if (d_.CanJoinItems(itemNo - 1, *d_.GetItem(itemNo - 1), false, *d_.GetItem(itemNo))) {
        d_.JoinWithNextItemWithUndo(itemNo - 1);
        ++removed;
        d_.ItemTextChanged(itemNo - 1, caretOffs, true);
      }
    }
  }
  if (caretOffs < 0) caretOffs = d_.GetItemEndOffset(caretItem);
  Reformat(-removed);
  d_.PlaceCaretAtItem(caretItem, caretOffs, false);
  if (!listNos.empty())
    d_.RenumberListsFrom(d_.GetFirstItemOfPara(caretItem) - 1, markerIndex, -1, &listNos);
  return true;
}

bool TBackspace::ReplaceItemWithEmptyText(int itemNo) {
  if (!d_.EditorAllowsChange()) return false;
  if (ReadOnly(itemNo) || d_.IsItemProtected(itemNo, rdprDeleteProtect)) return Refuse();
  const TCustomRDItemInfo* item = d_.GetItem(itemNo);
  const TRDTag tag = item->StyleNo == d_.CurTextStyleNo ? item->Tag : TRDTag{};
  auto empty = d_.CreateTextItem(d_.CurTextStyleNo, d_.CurParaStyleNo, item->GetLineBreakBefore(),
                                 item->GetContinuesPara(), tag);
  std::unique_ptr<TRDCPInfo> checkpoint;
  if (item->Checkpoint) {
    checkpoint = CopyCheckpoint(*item->Checkpoint, d_.TagsArePChars());
    d_.DeleteCheckpointWithUndo(itemNo);
  }
  bool f = false;
  d_.DeleteItemWithUndo(itemNo, f);
  d_.InsertItemWithUndo(itemNo, "", std::move(empty), false, f);
  if (checkpoint) d_.AddCheckpointWithUndo(itemNo, std::move(checkpoint));
  d_.ItemTextChanged(itemNo, 1, false);
  Reformat(0);
  d_.PlaceCaretAtItem(itemNo, 1, false);
  return true;
}

bool TBackspace::JoinWithPreviousParagraph(int itemNo) {
  if (d_.IsPageBreakBefore(itemNo)) {
    // The page break goes first, the paragraph stays.
    if (!d_.EditorAllowsChange()) return false;
    d_.SetPageBreakWithUndo(itemNo, false);
    d_.InvalidateControl();
    return true;
  }
  if (d_.IsListMarkerAt(itemNo - 1)) return DeleteItemKeepingParagraph(itemNo - 1);
  if (d_.IsEmptyTextAt(itemNo)) return DeleteEmptyTextItem(itemNo);
  if (d_.IsEmptyTextAt(itemNo - 1)) return DeleteEmptyPreviousItem(itemNo);
  if (d_.CanJoinItems(itemNo - 1, *d_.GetItem(itemNo - 1), true, *d_.GetItem(itemNo)))
    return JoinItemWithPrevious(itemNo);
  return MakeItemContinuePrevious(itemNo);
}

bool TBackspace::DeleteEmptyTextItem(int itemNo) {
  if (!d_.EditorAllowsChange()) return false;
  const TCustomRDItemInfo* item = d_.GetItem(itemNo);
  if (d_.IsItemProtected(itemNo, rdprDeleteProtect) || ReadOnly(itemNo) ||
      (item->Checkpoint && item->Checkpoint->Persistent))
    return Refuse();
  bool f = false;
  d_.DeleteItemWithUndo(itemNo, f);
  Reformat(-1);
  d_.PlaceCaretAtItem(itemNo - 1, d_.GetItemEndOffset(itemNo - 1), true);
  return true;
}

bool TBackspace::DeleteEmptyPreviousItem(int itemNo) {
  if (!d_.EditorAllowsChange()) return false;
  const int prevNo = itemNo - 1;
  const bool afterMarker = d_.IsListMarkerAt(itemNo - 2);
  if (d_.IsItemProtected(prevNo, rdprDeleteProtect) || ReadOnly(prevNo) || ReadOnly(itemNo) ||
      d_.ParaHasParagraphCheckpoint(prevNo) ||
      (afterMarker && d_.ParaHasParagraphCheckpoint(itemNo)))
    return Refuse();
  bool f = false;
  if (!d_.GetItem(prevNo)->GetLineBreakBefore()) d_.SetLineBreakWithUndo(itemNo, false, f);
  // An empty list item gives its marker to the text after it.
  if (afterMarker) d_.SetParaStartWithUndo(itemNo, true, f, -1);
  d_.DeleteItemWithUndo(prevNo, f);
  Reformat(-1);
  d_.PlaceCaretAtItem(prevNo, d_.GetItemStartOffset(prevNo), false);
  return true;
}

bool TBackspace::JoinItemWithPrevious(int itemNo) {
  if (!d_.EditorAllowsChange()) return false;
  if (ReadOnly(itemNo - 1) || ReadOnly(itemNo) ||
      d_.IsItemProtected(itemNo, rdprParaStartProtect) || d_.ParaHasParagraphCheckpoint(itemNo))
    return Refuse();
  const int joinAt = d_.GetItemEndOffset(itemNo - 1);
  d_.JoinWithNextItemWithUndo(itemNo - 1);
  d_.ItemTextChanged(itemNo - 1, joinAt, true);
  Reformat(-1);
  d_.PlaceCaretAtItem(itemNo - 1, joinAt, true);
  return true;
}

bool TBackspace::MakeItemContinuePrevious(int itemNo) {
  if (!d_.EditorAllowsChange()) return false;
  if (ReadOnly(itemNo - 1) || ReadOnly(itemNo) ||
      d_.IsItemProtected(itemNo, rdprParaStartProtect) || d_.ParaHasParagraphCheckpoint(itemNo))
    return Refuse();
  bool f = false;
  d_.SetParaStartWithUndo(itemNo, true, f, -1);
  Reformat(0);
  d_.PlaceCaretAtItem(itemNo, d_.GetItemStartOffset(itemNo), true);
  return true;
}

}  // namespace

bool TRDEditRDData::BackspaceKey(bool byWord, bool byCharacterUnit, bool continuing) {
  return TBackspace(*this, byWord, byCharacterUnit).Run(continuing);
}

bool TRDEditRDData::CaretAtParagraphStart() const {
  if (!HasCaret() || CaretPosIndex != 0) return false;
  const int itemNo = GetCurrentItemNo();
  if (itemNo < 0 || GetOffsetInCurrentItem() > GetItemStartOffset(itemNo)) return false;
  return !GetItem(itemNo)->GetContinuesPara() || IsListMarkerAt(itemNo - 1);
}

bool TRDEditRDData::IsListMarkerAt(int itemNo) const {
  return itemNo >= 0 && itemNo < GetItemCount() && GetItem(itemNo)->StyleNo == rdsListMarker;
}

bool TRDEditRDData::IsEmptyTextAt(int itemNo) const {
  return itemNo >= 0 && itemNo < GetItemCount() && GetItem(itemNo)->StyleNo >= 0 &&
         GetItemTextRaw(itemNo).empty();
}

bool TRDEditRDData::EditorAllowsChange() {
  TCustomRichDocEdit* editor = Editor();
  if (!editor) return true;
  State |= rddsTyping;
  const bool allowed = editor->BeforeChange(false);
  State &= ~rddsTyping;
  return allowed;
}

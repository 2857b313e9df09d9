// The Enter key breaks the paragraph at the caret, Shift+Enter only the line. A list item
// goes on in a new item with a copy of its marker; at the end of a paragraph the new one
// takes the next paragraph and text styles its styles name; Enter in an empty list item
// ends the list. Protected text and read-only paragraphs refuse with a beep.
#include <algorithm>

#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

class TEnterKey {
 public:
  TEnterKey(TRDEditRDData& data, bool lineBreak) : d_(data), line_break_(lineBreak) {}
  bool Run(bool repeated);

 private:
  bool Refuse() {
    d_.Beep();
    return false;
  }
  bool ParaHasMarker(int itemNo) const { return d_.IsListMarkerAt(d_.GetFirstItemOfPara(itemNo)); }
  // Where a new empty line goes, where the caret goes, and what the edit changed.
  struct TNewLine {
    int index;
    int caretItem;
    int added = 1;
    bool full = false;
    bool copiedMarker = false;
  };
  // At the start or end of a paragraph: a new empty line before or after the caret item.
  bool AtParagraphBoundary(int itemNo, bool atStart, bool repeated);
  bool EndList();
  // The styles the new line takes: the ones the current styles name as their next.
  void TakeNextStyles(int itemNo, bool atStart);
  TNewLine NewLineBefore(int itemNo, TCustomRDItemInfo& made);
  TNewLine NewLineAfter(int itemNo, TCustomRDItemInfo& made);
  bool BeforeItem(int itemNo, bool fullReformat);
  bool InsideText(int itemNo, int pos, bool fullReformat);

  TRDEditRDData& d_;
  const bool line_break_;
  int first_ = -1;  // the caret line's draw items widened to whole paragraphs
  int last_ = -1;
  int width_before_ = 0;  // their minimal width before the edit
};

bool TEnterKey::Run(bool repeated) {
  d_.EnsureNotEmpty();
  if (!d_.HasCaret()) return false;
  const int d = d_.CaretStop().DrawItemNo;
  d_.CaretDItemNo = d;
  const int itemNo = d_.DrawItems[d]->ItemNo;
  const int paraNo = d_.GetItemPara(itemNo);
  if (d_.IsParaOption(paraNo, rdpaoDoNotWantReturns)) return Refuse();
  d_.BeginUndoStep(rdutMiscTyping, true);
  int lineFirst, lineLast;
  d_.GetLineDrawItemRange(d, lineFirst, lineLast);
  d_.ExpandDrawItemsToParas(lineFirst, lineLast, first_, last_);
  width_before_ = d_.EditedRangeMinWidth(first_, last_, 0);
  const bool atStart = d_.CaretAtParagraphStart();
  if (atStart || d_.CaretAtParagraphEnd())
    return AtParagraphBoundary(itemNo, atStart && !d_.CaretAtLineEnd(), repeated);
  if (d_.IsParaOption(paraNo, rdpaoReadOnly)) return Refuse();
  const bool full = d_.IsParaOption(paraNo, rdpaoNoWrap) &&
                    d_.MinDocumentWidth <= d_.GetLinesMinWidth(itemNo, itemNo);
  const TCustomRDItemInfo* item = d_.GetItem(itemNo);
  const int offs = d_.GetOffsetInCurrentItem();
  if (offs <= d_.GetItemStartOffset(itemNo)) return BeforeItem(itemNo, full);
  if (item->StyleNo < 0 || offs >= d_.GetItemEndOffset(itemNo)) {
    // After the item, in the middle of its paragraph: the break goes before the next one.
    return BeforeItem(itemNo + 1, full);
  }
  return InsideText(itemNo, offs, full);
}

bool TEnterKey::BeforeItem(int itemNo, bool fullReformat) {
  if (d_.IsItemProtected(itemNo, rdprParaStartProtect)) return Refuse();
  bool full = fullReformat, f = false;
  int added = 0;
  if (line_break_) {
    d_.SetParaStartWithUndo(itemNo, false, f, -1);
    full = full || f;
    d_.SetLineBreakWithUndo(itemNo, true, f);
  } else if (ParaHasMarker(itemNo)) {
    d_.CopyListMarkerForNewParagraph(itemNo, itemNo, true, f);
    d_.ItemTextChanged(itemNo, 0, true);
    added = 1;
  } else {
    d_.SetParaStartWithUndo(itemNo, false, f, -1);
  }
  full = full || f;
  d_.ReformatEditedParas(full, width_before_, first_, last_, added);
  d_.CaretDItemNo = d_.GetItem(itemNo)->DrawItemNo;
  d_.PlaceCaretAtDrawItemStart();
  d_.RenumberListsInRange(itemNo, itemNo);
  return true;
}

bool TEnterKey::InsideText(int itemNo, int pos, bool fullReformat) {
  if (d_.IsItemProtected(itemNo, rdprParaStartProtect) ||
      d_.IsItemProtected(itemNo, rdprModifyProtect))
    return Refuse();
  TCustomRDItemInfo* item = d_.GetItem(itemNo);
  const std::string tail = CopyItemText(d_.GetItemTextRaw(itemNo), pos,
                                        d_.GetItemLength(itemNo) - pos + 1, item->ItemOptions);
  d_.DeleteSubstringWithUndo(itemNo, pos, -1);
  item->ClearWordPaintersFrom(pos);
  auto made = d_.CloneTextItemForSplit(*item);
  made->ItemOptions &= TRDItemOptions(~(rdioContinuesPara | rdioLineBreakBefore));
  bool full = fullReformat, f = false;
  int at = itemNo + 1, added = 1;
  if (line_break_) {
    made->SetLineBreakBefore(true);
  } else if (ParaHasMarker(itemNo)) {
    d_.CopyListMarkerForNewParagraph(itemNo, itemNo + 1, true, f);
    full = full || f;
    made->SetContinuesPara(true);
    at = itemNo + 2;
    added = 2;
  }
  d_.InsertItemWithUndo(at, tail, std::move(made), false, f);
  full = full || f;
  d_.ItemTextChanged(at, 0, true);
  d_.ReformatEditedParas(full, width_before_, first_, last_, added);
  d_.PlaceCaretAtItem(at, 1, false);
  d_.RenumberListsInRange(itemNo, at);
  return true;
}

bool TEnterKey::AtParagraphBoundary(int itemNo, bool atStart, bool repeated) {
  if (d_.IsItemProtected(itemNo, rdprParaStartProtect)) return Refuse();
  if (!line_break_ && !repeated && d_.IsEmptyTextAt(itemNo) && d_.IsListMarkerAt(itemNo - 1) &&
      !KeepMarkerOnEnter)
    return EndList();
  const TCustomRDItemInfo& item = *d_.GetItem(itemNo);
  TakeNextStyles(itemNo, atStart);
  const TRDStyle& style = *d_.GetRDStyle();
  const int textStyle =
      style.TextStyles().Items(d_.GetCurrentTextStyleNo()).Protection & rdprModifyProtect
          ? 0
          : d_.CurTextStyleNo;
  auto made = d_.CreateTextItem(textStyle, line_break_ ? item.ParaNo : d_.CurParaStyleNo, false,
                                false, TRDTag{});
  if (made->StyleNo == item.StyleNo) {
    made->Tag = CopyItemTag(item.Tag, d_.TagsArePChars());
    made->Hint = item.Hint;
  }
  TNewLine line = atStart ? NewLineBefore(itemNo, *made) : NewLineAfter(itemNo, *made);
  bool f = false;
  d_.InsertItemWithUndo(line.index, "", std::move(made), false, f);
  line.full = line.full || f;
  // A checkpoint at the start of the line stays at its start.
  if (atStart && d_.GetItem(line.caretItem)->Checkpoint)
    d_.MoveCheckpointWithUndo(line.caretItem, line.index);
  d_.ItemTextChanged(line.index, 0, true);
  d_.ReformatEditedParas(line.full, width_before_, first_, last_, line.added);
  d_.CaretDItemNo = d_.GetItem(line.caretItem)->DrawItemNo;
  d_.PlaceCaretAtDrawItemStart();
  if (line.copiedMarker)
    d_.RenumberListsInRange(std::min(line.index, line.caretItem), line.caretItem);
  return true;
}

bool TEnterKey::EndList() {
  // Enter in an empty list item ends the list: the marker goes, then the paragraph
  // breaks as usual - all one undo step.
  d_.SetUndoGroupMode(true);
  bool result = false;
  try {
    d_.BackspaceKey(false, false, false);
    result = TEnterKey(d_, line_break_).Run(true);
  } catch (...) {
    d_.SetUndoGroupMode(false);
    throw;
  }
  d_.SetUndoGroupMode(false);
  return result;
}

void TEnterKey::TakeNextStyles(int itemNo, bool atStart) {
  const TRDStyle& style = *d_.GetRDStyle();
  const TCustomRDItemInfo& item = *d_.GetItem(itemNo);
  const int paraNo = item.ParaNo;
  if (!atStart && item.StyleNo >= 0 && item.StyleNo == d_.CurTextStyleNo) {
    const int next = style.TextStyles().Items(d_.GetCurrentTextStyleNo()).NextStyleNo;
    if (next != -1) d_.SetCurrentTextStyle(next);
  }
  const bool nextIsSoftLine =
      itemNo + 1 < d_.GetItemCount() && d_.GetItem(itemNo + 1)->GetLineBreakBefore();
  if (!line_break_ && !nextIsSoftLine) {
    const int next = style.ParaStyles().Items(paraNo).NextParaNo;
    if (d_.IsParaOption(paraNo, rdpaoReadOnly) || (!atStart && next != -1))
      d_.SetCurrentParaStyle(std::max(next, 0));
  }
}

TEnterKey::TNewLine TEnterKey::NewLineBefore(int itemNo, TCustomRDItemInfo& made) {
  // The new item takes the caret item's place at the line start, which moves on into
  // a line (Shift) or a paragraph or list item of its own.
  const TCustomRDItemInfo& item = *d_.GetItem(itemNo);
  const bool continues = item.GetContinuesPara(), softLine = item.GetLineBreakBefore();
  if (continues)
    made.SetContinuesPara(true);
  else
    made.SetLineBreakBefore(softLine);
  TNewLine line{itemNo, itemNo};
  bool f = false;
  if (line_break_) {
    if (continues) d_.SetParaStartWithUndo(itemNo, false, f, -1);
    line.full = line.full || f;
    d_.SetLineBreakWithUndo(itemNo, true, f);
  } else if (ParaHasMarker(itemNo)) {
    d_.CopyListMarkerForNewParagraph(itemNo, itemNo, true, f);
    line.full = line.full || f;
    if (!continues) d_.SetParaStartWithUndo(itemNo + 1, true, f, -1);
    line.copiedMarker = true;
    ++line.added;
  } else if (softLine) {
    d_.SetLineBreakWithUndo(itemNo, false, f);
  }
  line.full = line.full || f;
  line.caretItem = itemNo + line.added;
  return line;
}

TEnterKey::TNewLine TEnterKey::NewLineAfter(int itemNo, TCustomRDItemInfo& made) {
  if (line_break_) made.SetLineBreakBefore(true);
  TNewLine line{itemNo + 1, itemNo + 1};
  if (!line_break_ && made.ParaNo == d_.GetItem(itemNo)->ParaNo && ParaHasMarker(itemNo)) {
    bool f = false;
    d_.CopyListMarkerForNewParagraph(itemNo, itemNo + 1, true, f);
    line.full = f;
    made.SetContinuesPara(true);
    line.copiedMarker = true;
    line.index = line.caretItem = itemNo + 2;
    ++line.added;
  }
  return line;
}

}  // namespace

bool TRDEditRDData::EnterKey(bool lineBreak, bool repeated) {
  return TEnterKey(*this, lineBreak).Run(repeated);
}

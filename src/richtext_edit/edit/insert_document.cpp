// Inserting a whole document (the component's own format here, RTF through the import in
// rtf/rtf_insert.cpp) at the caret as one undo step. The reader puts its items in
// unrecorded at the caret; then they are recorded as one insertion, their first
// paragraph joins the caret's paragraph head and their last one its tail, neighbours
// that can be one are joined, and the touched paragraphs are laid out again. This
// finishing runs whenever items went in, also when the read failed half way: what was
// read stays, recorded and laid out.
#include <algorithm>
#include <functional>

#include "platform/text/streams.h"
#include "richtext/base/item_text.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/model/item_factory.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

bool HasParagraphCheckpoint(const TCustomRDItemInfo& item) {
  return item.Checkpoint && item.Checkpoint->Persistent;
}

}  // namespace

void TRDEditRDData::JoinInsertedItems(int& firstItemNo, int& lastItemNo, int& caretOffs,
                                      int& itemsAdded) {
  bool f = false;
  TRDItemJoiner joiner(*this);
  // After the range.
  if (lastItemNo + 1 < GetItemCount()) {
    TCustomRDItemInfo* next = GetItem(lastItemNo + 1);
    if (CanJoinItems(lastItemNo, *GetItem(lastItemNo), false, *next)) {
      joiner.JoinWithNext(lastItemNo);
      GetItem(lastItemNo)->ClearMisspellings();
      --itemsAdded;
    } else if (next->GetContinuesPara() && GetItem(lastItemNo)->IsFullLine()) {
      // No paragraph goes on past a table: the caret's tail after one starts its own.
      SetParaStartWithUndo(lastItemNo + 1, false, f, -1);
    }
  }
  // Inside the range, from the end: while every pair so far was joined, the caret's item
  // grows at its front.
  bool chain = true;
  for (int i = lastItemNo; i > firstItemNo; --i) {
    TCustomRDItemInfo* item = GetItem(i);
    for (int d = 0; d < item->GetSubDocCount(); ++d)
      if (TCustomRDData* sub = item->GetSubDoc(d))
        sub->JoinItemsInRange(0, sub->GetItemCount() - 1);
    if (CanJoinItems(i - 1, *GetItem(i - 1), false, *item)) {
      if (chain) caretOffs += GetItemLength(i - 1);
      joiner.JoinWithNext(i - 1);
      --lastItemNo;
      --itemsAdded;
    } else {
      chain = false;
    }
  }
  joiner.Finish();
  // Before the range.
  if (firstItemNo > 0 && firstItemNo < GetItemCount()) {
    TCustomRDItemInfo* prev = GetItem(firstItemNo - 1);
    TCustomRDItemInfo* first = GetItem(firstItemNo);
    if (CanJoinItems(firstItemNo - 1, *prev, false, *first)) {
      if (chain && firstItemNo == lastItemNo) caretOffs += GetItemLength(firstItemNo - 1);
      JoinWithNextItemWithUndo(firstItemNo - 1);
      --firstItemNo;
      --lastItemNo;
      --itemsAdded;
    } else if (first->StyleNo >= 0 && GetItemTextRaw(firstItemNo).empty() &&
               first->GetContinuesPara() && prev->StyleNo != rdsListMarker &&
               firstItemNo < lastItemNo) {
      DeleteItemWithUndo(firstItemNo, f);
      --lastItemNo;
      --itemsAdded;
    }
  }
  ItemTextChanged(firstItemNo, GetItemStartOffset(firstItemNo), false);
}

bool TRDEditRDData::InsertDocumentAtCaret(const std::function<bool(int& index)>& read) {
  if (!GetRDStyle()) return false;
  EnsureNotEmpty();
  if (!HasCaret() || GetChosenItem()) return false;
  int dFirst, dLast;
  ExpandDrawItemsToParas(CaretPositions.front().DrawItemNo, CaretPositions.back().DrawItemNo,
                         dFirst, dLast);
  const int caretItem = GetCurrentItemNo(), caretOffs = GetOffsetInCurrentItem();
  if (!CanInsertAt(caretItem, caretOffs)) {
    Beep();
    return false;
  }
  const bool inside =
      GetItem(caretItem)->StyleNo >= 0 && caretOffs > 1 && caretOffs <= GetItemLength(caretItem);
  const bool after = caretOffs >= GetItemEndOffset(caretItem) &&
                     (GetItem(caretItem)->StyleNo < 0 || !GetItemTextRaw(caretItem).empty());
  // Right after a list number the paragraph starts at its number: what goes in there goes
  // in before the number, which stays with its own text.
  const bool afterNumber =
      !inside && !after && caretItem > 0 && caretOffs <= GetItemStartOffset(caretItem) &&
      !GetItem(caretItem)->IsParaStart() && GetItem(caretItem - 1)->StyleNo == rdsListMarker;
  const int index = afterNumber ? caretItem - 1 : caretItem + (inside || after ? 1 : 0);
  // The caret's paragraph goes on after the inserted items when they go into it.
  const bool intoParagraph = inside || after;
  BeginUndoStep(rdutInsert, true);
  const int countBefore = GetItemCount();
  int readIndex = index;
  const bool ok = read(readIndex);
  const int inserted = GetItemCount() - countBefore;
  if (inserted > 0 && NestsTooDeep(index, index + inserted - 1)) {
    // Saved, the document would not read back.
    DeleteItems(index, inserted);
    Beep();
    return false;
  }
  if (inserted <= 0) {
    if (!ok) Beep();
    return ok;
  }

  bool full = false, f = false;
  int first = index, last = index + inserted - 1;
  TCustomRDItemInfo* firstItem = GetItem(first);
  // The first inserted paragraph continues the caret's paragraph.
  if (intoParagraph && !firstItem->IsFullLine() && !GetItem(index - 1)->IsFullLine() &&
      firstItem->StyleNo != rdsListMarker && !HasParagraphCheckpoint(*firstItem)) {
    const int paraNo = GetItemPara(index - 1);
    firstItem->SetContinuesPara(true);
    for (int i = first; i <= last && (i == first || !GetItem(i)->IsParaStart()); ++i)
      GetItem(i)->ParaNo = paraNo;
  }
  TRDUndoInsertItemsInfo* record = AddInsertItemsRecord(first, inserted);
  if (inside) {
    // The caret's item is cut: its tail goes on after the inserted items.
    TCustomRDItemInfo* head = GetItem(caretItem);
    const std::string tail =
        CopyItemText(GetItemTextRaw(caretItem), caretOffs, GetItemLength(caretItem) - caretOffs + 1,
                     head->ItemOptions);
    DeleteSubstringWithUndo(caretItem, caretOffs, -1);
    auto clone = CloneTextItemForSplit(*head);
    clone->SetContinuesPara(true);
    InsertItemWithUndo(last + 1, tail, std::move(clone), false, f);
    full = full || f;
  } else if (last + 1 < GetItemCount() && !GetItem(last)->IsFullLine() &&
             !GetItem(last + 1)->IsFullLine() && GetItem(last + 1)->IsParaStart() &&
             !HasParagraphCheckpoint(*GetItem(last + 1)) && !intoParagraph &&
             GetItem(last + 1)->StyleNo != rdsListMarker) {
    // Inserted before a paragraph's first item: the paragraph goes on after them.
    TCustomRDItemInfo* old = GetItem(last + 1);
    if (old->GetPageBreakBefore() && !GetItem(first)->GetContinuesPara())
      GetItem(first)->SetPageBreakBefore(true);
    SetParaStartWithUndo(last + 1, true, f, -1);
    full = full || f;
  }
  FinishInsertedItems(first, inserted, f, record);
  full = full || f;
  int offs = GetItemEndOffset(last);
  int added = GetItemCount() - countBefore;
  JoinInsertedItems(first, last, offs, added);
  full = full || GetItemRangeMinWidth(first, last) > MinDocumentWidth;
  ReformatAfterEdit(full, dFirst, dLast, GetItemCount() - countBefore);
  PlaceCaretAtItem(last, offs, false);
  if (!full) RenumberListsInRange(first, last);
  InvalidateControl();
  if (!ok) {
    Beep();
    return false;
  }
  return true;
}

bool TRDEditRDData::InsertRDFStreamAtCaret(TStream& stream) {
  TCustomRichDoc& control = RichDoc();
  TColor color = control.Color();
  return InsertDocumentAtCaret([&](int& index) {
    TRDFLoadContext context;
    context.TextStylesReadMode = control.RDFTextStylesReadMode;
    context.ParaStylesReadMode = control.RDFParaStylesReadMode;
    context.EditingInsertion = true;
    if (control.RDFOptions & rdfoLoadBack) context.BackColor = &color;
    const TRDFInsertResult result = InsertRDFFromStream(*this, stream, index, context);
    if (result.ItemsInserted > 0 && context.BackColor) control.SetColor(color);
    return result.Ok;
  });
}

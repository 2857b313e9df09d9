// Applying text and paragraph styles. The new style of each piece is not decided here:
// the control's style-conversion handler is asked, piece by piece, which style replaces
// the old one. Text items that are only partly selected are split at the selection
// bounds so that only the selected characters change; afterwards neighbours that became
// joinable are joined again, so that applying a style and applying the old one back
// leaves the items as they were.
#include <algorithm>

#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

TRDStyleConversionHandler* HandlerOf(TRDEditRDData& data) {
  TCustomRichDocEdit* editor = data.Editor();
  if (!editor) return nullptr;
  if (editor->StyleConversionHandler) return &editor->StyleConversionHandler;
  TCustomRichDocEdit& root = editor->RootEditor();
  return root.StyleConversionHandler ? &root.StyleConversionHandler : nullptr;
}

int Convert(TRDEditRDData& data, int styleNo, int paraNo, int userData, bool appliedToText,
            bool flag) {
  int newStyleNo = styleNo;
  if (TRDStyleConversionHandler* handler = HandlerOf(data))
    (*handler)(&data.Editor()->RootEditor(), styleNo, paraNo, userData, appliedToText, newStyleNo,
               flag);
  return newStyleNo;
}

int ConvertParaStyleNo(TRDEditRDData& data, int paraNo, int userData) {
  return Convert(data, paraNo, paraNo, userData, false, true);
}

bool IsUnicodeStyle(const TRDEditRDData& data, int styleNo) {
  const TRDStyle* style = data.GetRDStyle();
  return style && styleNo >= 0 && styleNo < style->TextStyles().Count() &&
         style->TextStyles().Items(styleNo).Unicode;
}

TRDProtectOptions ProtectionOf(const TRDEditRDData& data, int styleNo) {
  const TRDStyle* style = data.GetRDStyle();
  if (!style || styleNo < 0 || styleNo >= style->TextStyles().Count()) return 0;
  return style->TextStyles().Items(styleNo).Protection;
}

// One text style application: its user data and the selection bounds, which the steps
// move as they split and join items.
class TTextStyleApplication {
 public:
  TTextStyleApplication(TRDEditRDData& data, int userData, int operation, bool wholeParagraphs)
      : data_(data),
        user_data_(userData),
        operation_(operation),
        whole_paragraphs_(wholeParagraphs) {}

  // The selection's item positions, moved by the steps as they split and join items.
  int start_no_ = 0, start_offs_ = 0, end_no_ = 0, end_offs_ = 0;
  // A change may have changed the document's minimal width.
  bool full_ = false;

  int ConvertTextStyleNo(int styleNo, int paraNo) {
    return Convert(data_, styleNo, paraNo, user_data_, true, whole_paragraphs_);
  }

  bool ClearTagOnStyleChange(const TCustomRDItemInfo& item, int newStyleNo) const {
    const TCustomRichDocEdit* editor = data_.Editor();
    return editor && (editor->EditorOptions & rdoClearTagOnStyleApp) && newStyleNo != item.StyleNo;
  }

  // Text moving between an ANSI and a Unicode style keeps its characters: it is read or
  // written in the code page of the ANSI side.
  std::string ConvertTextBetweenStyles(const std::string& s, int oldStyleNo, int newStyleNo) const {
    const bool oldUnicode = IsUnicodeStyle(data_, oldStyleNo);
    const bool newUnicode = IsUnicodeStyle(data_, newStyleNo);
    if (oldUnicode == newUnicode) return s;
    if (newUnicode) return AnsiToRawUnicode(data_.GetStyleCodePage(oldStyleNo), s);
    return RawUnicodeToAnsi(data_.GetStyleCodePage(newStyleNo), s);
  }

  void SetItemStyleConverting(int itemNo, int newStyleNo) {
    TCustomRDItemInfo* item = data_.GetItem(itemNo);
    const int oldStyle = data_.GetActualStyle(*item);
    const int newStyle = data_.ResolveStyleNo(newStyleNo, item->ParaNo);
    if (IsUnicodeStyle(data_, oldStyle) != IsUnicodeStyle(data_, newStyle))
      data_.ChangeItemTextWithUndo(
          itemNo, ConvertTextBetweenStyles(data_.GetItemTextRaw(itemNo), oldStyle, newStyle));
    data_.SetItemStyleNoWithUndo(itemNo, newStyleNo);
  }

  // A non-text item: its own text style (a tab's) and the documents it holds.
  void ConvertNonTextItem(int itemNo) {
    TCustomRDItemInfo* item = data_.GetItem(itemNo);
    if (item->GetAssociatedTextStyleNo() >= 0) data_.ConvertNonTextItemStyle(itemNo, user_data_);
    ConvertSubDocuments(itemNo);
  }

  void ConvertSubDocuments(int itemNo) {
    data_.GetItem(itemNo)->ApplyToCells(operation_, user_data_, false);
  }

  void ConvertWholeItem(int itemNo) {
    TCustomRDItemInfo* item = data_.GetItem(itemNo);
    if (item->StyleNo < 0) {
      ConvertNonTextItem(itemNo);
      return;
    }
    const int newStyle = ConvertTextStyleNo(data_.GetActualStyle(*item), item->ParaNo);
    if (newStyle == item->StyleNo) return;
    if (ClearTagOnStyleChange(*item, newStyle)) data_.SetItemTagWithUndo(itemNo, TRDTag{});
    SetItemStyleConverting(itemNo, newStyle);
  }

  // The selection covers the item from its start to offset end_offs_.
  void ConvertItemHead(int itemNo) {
    TCustomRDItemInfo* item = data_.GetItem(itemNo);
    const int oldStyle = data_.GetActualStyle(*item);
    const int newStyle = ConvertTextStyleNo(oldStyle, item->ParaNo);
    if (newStyle == item->StyleNo || end_offs_ <= 1) return;
    const std::string head =
        CopyItemText(data_.GetItemTextRaw(itemNo), 1, end_offs_ - 1, item->ItemOptions);
    data_.DeleteSubstringWithUndo(itemNo, 1, end_offs_ - 1);
    const TRDTag tag = ClearTagOnStyleChange(*item, newStyle) ? TRDTag{} : item->Tag;
    auto made = data_.CreateTextItem(newStyle, item->ParaNo, item->GetLineBreakBefore(),
                                     item->GetContinuesPara(), tag);
    if (item->GetPageBreakBefore()) made->SetPageBreakBefore(true);
    // The checkpoint stays at the start of what was the item.
    if (item->Checkpoint) {
      made->Checkpoint = CopyCheckpoint(*item->Checkpoint, data_.TagsArePChars());
      data_.DeleteCheckpointWithUndo(itemNo);
    }
    const int length = GetItemTextLength(head, item->ItemOptions);
    InsertItem(
        itemNo,
        ConvertTextBetweenStyles(head, oldStyle, data_.ResolveStyleNo(newStyle, item->ParaNo)),
        std::move(made));
    if (!data_.GetItem(itemNo + 1)->GetContinuesPara()) {
      bool f = false;
      data_.SetParaStartWithUndo(itemNo + 1, true, f, -1);
      full_ = full_ || f;
    }
    end_no_ = itemNo;
    end_offs_ = length + 1;
  }

  // The selection covers the item from offset start_offs_ to its end.
  void ConvertItemTail(int itemNo) {
    TCustomRDItemInfo* item = data_.GetItem(itemNo);
    const int oldStyle = data_.GetActualStyle(*item);
    const int newStyle = ConvertTextStyleNo(oldStyle, item->ParaNo);
    if (newStyle == item->StyleNo) return;
    const int length = data_.GetItemLength(itemNo);
    if (start_offs_ > length) return;
    const std::string tail = CopyItemText(data_.GetItemTextRaw(itemNo), start_offs_,
                                          length - start_offs_ + 1, item->ItemOptions);
    data_.DeleteSubstringWithUndo(itemNo, start_offs_, -1);
    const TRDTag tag = ClearTagOnStyleChange(*item, newStyle) ? TRDTag{} : item->Tag;
    auto made = data_.CreateTextItem(newStyle, item->ParaNo, false, true, tag);
    InsertItem(
        itemNo + 1,
        ConvertTextBetweenStyles(tail, oldStyle, data_.ResolveStyleNo(newStyle, item->ParaNo)),
        std::move(made));
    if (end_no_ == itemNo) {
      end_no_ = itemNo + 1;
      end_offs_ = length - start_offs_ + 2;
    } else {
      ++end_no_;
    }
  }

  // The selection lies inside the item: the item itself becomes the selected piece, with
  // the head and the tail as new items of the old style around it.
  void ConvertItemMiddle(int itemNo) {
    TCustomRDItemInfo* item = data_.GetItem(itemNo);
    const int newStyle = ConvertTextStyleNo(data_.GetActualStyle(*item), item->ParaNo);
    if (newStyle == item->StyleNo) return;
    const TRDItemOptions options = item->ItemOptions;
    const std::string& text = data_.GetItemTextRaw(itemNo);
    const int length = data_.GetItemLength(itemNo);
    const std::string head = CopyItemText(text, 1, start_offs_ - 1, options);
    const std::string tail = CopyItemText(text, end_offs_, length - end_offs_ + 1, options);
    // The checkpoint goes with the first characters that remain in the old style.
    std::unique_ptr<TRDCPInfo> checkpoint;
    if (item->Checkpoint && (!head.empty() || (end_offs_ == start_offs_ && !tail.empty()))) {
      checkpoint = CopyCheckpoint(*item->Checkpoint, data_.TagsArePChars());
      data_.DeleteCheckpointWithUndo(itemNo);
    }
    int at = itemNo;
    if (!head.empty()) {
      auto made = data_.CreateTextItemLike(*item, item->GetLineBreakBefore(),
                                           item->GetContinuesPara(), item->Tag);
      if (item->GetPageBreakBefore()) made->SetPageBreakBefore(true);
      made->Checkpoint = std::move(checkpoint);
      InsertItem(at, head, std::move(made));
      ++at;
    }
    if (!tail.empty()) {
      auto made = data_.CreateTextItemLike(*item, false, true, item->Tag);
      made->Checkpoint = std::move(checkpoint);
      InsertItem(at + 1, tail, std::move(made));
    }
    if (ClearTagOnStyleChange(*item, newStyle)) data_.SetItemTagWithUndo(at, TRDTag{});
    data_.DeleteSubstringWithUndo(at, end_offs_, -1);
    data_.DeleteSubstringWithUndo(at, 1, start_offs_ - 1);
    if (at > itemNo) {
      bool f = false;
      data_.SetParaStartWithUndo(at, true, f, -1);
      full_ = full_ || f;
    }
    SetItemStyleConverting(at, newStyle);
    start_no_ = itemNo;
    start_offs_ = at > itemNo ? data_.GetItemLength(itemNo) + 1 : 1;
    end_no_ = at;
    end_offs_ = data_.GetItemLength(at) + 1;
  }

  // Neighbours of first..last (one more on each side) that may be one are joined; the
  // selection bounds follow their characters.
  void JoinAfterConversion(int first, int last) {
    if (first > 0) --first;
    if (last + 1 < data_.GetItemCount()) ++last;
    TRDItemJoiner joiner(data_);
    for (int i = last; i > first; --i) {
      TCustomRDItemInfo* prev = data_.GetItem(i - 1);
      if (!data_.CanJoinItems(i - 1, *prev, false, *data_.GetItem(i))) continue;
      const int prevLength = data_.GetItemLength(i - 1);
      joiner.JoinWithNext(i - 1);
      auto follow = [&](int& itemNo, int& offs) {
        if (itemNo == i) {
          itemNo = i - 1;
          offs += prevLength;
        } else if (itemNo > i) {
          --itemNo;
        }
      };
      follow(start_no_, start_offs_);
      follow(end_no_, end_offs_);
      data_.GetItem(i - 1)->ClearMisspellings();
    }
    joiner.Finish();
    data_.GetItem(std::min(first, data_.GetItemCount() - 1))->ClearMisspellings();
  }

  // Without a selection the style is only the one typing goes on in; an empty text item
  // at the caret takes it at once.
  void ConvertEmptyItemAtCaret(int caretItem, int newCurrent) {
    if (caretItem < 0 || data_.GetItem(caretItem)->StyleNo < 0 ||
        !data_.GetItemTextRaw(caretItem).empty())
      return;
    data_.BeginUndoStep(rdutStyleNo, true);
    int dFirst, dLast;
    data_.ExpandDrawItemsToParas(data_.CaretDItemNo, data_.CaretDItemNo, dFirst, dLast);
    ConvertWholeItem(caretItem);
    data_.ReformatAfterEdit(false, dFirst, dLast, 0);
    data_.SetCurrentTextStyle(newCurrent);
    data_.PlaceCaretAtItem(caretItem, 1, false);
    data_.NotifyChanged(true);
  }

  // The bounds the style goes to: the selection, or the caret without one; whole paragraphs
  // when the style is applied to paragraphs.
  void TakeBounds(int caretItem, bool selected) {
    int rawStart, rawStartOffs, rawEnd, rawEndOffs;
    if (selected) {
      data_.GetSelectionBounds(rawStart, rawStartOffs, rawEnd, rawEndOffs, false);
    } else {
      rawStart = rawEnd = caretItem;
      rawStartOffs = rawEndOffs = data_.GetOffsetInCurrentItem();
    }
    backwards_ = rawStart > rawEnd || (rawStart == rawEnd && rawStartOffs > rawEndOffs);
    caret_at_end_ = caretItem == rawEnd && data_.GetOffsetInCurrentItem() == rawEndOffs;
    start_no_ = backwards_ ? rawEnd : rawStart;
    start_offs_ = backwards_ ? rawEndOffs : rawStartOffs;
    end_no_ = backwards_ ? rawStart : rawEnd;
    end_offs_ = backwards_ ? rawStartOffs : rawEndOffs;
    if (!whole_paragraphs_) return;
    start_no_ = data_.GetFirstItemOfPara(start_no_);
    start_offs_ = data_.GetItemStartOffset(start_no_);
    int unused;
    data_.ExpandRangeToParas(end_no_, end_no_, unused, end_no_);
    end_offs_ = data_.GetItemEndOffset(end_no_);
  }

  // Every item between the bounds, or the part of it inside them, takes its new style.
  void ConvertBetweenBounds() {
    if (start_no_ == end_no_) {
      ConvertOnlyItem(start_no_);
      return;
    }
    // From the last item to the first, so that splitting moves no item still to come.
    const int first = start_no_, last = end_no_;
    if (data_.GetItem(last)->StyleNo < 0)
      ConvertSubDocuments(last);
    else if (!SplitProtected(last) && end_offs_ < data_.GetItemEndOffset(last))
      ConvertItemHead(last);
    else
      ConvertWholeItem(last);
    for (int i = last - 1; i > first; --i) ConvertWholeItem(i);
    if (data_.GetItem(first)->StyleNo >= 0) {
      if (!SplitProtected(first) && start_offs_ > data_.GetItemStartOffset(first))
        ConvertItemTail(first);
      else
        ConvertWholeItem(first);
    } else if (start_offs_ <= data_.GetItemStartOffset(first)) {
      ConvertSubDocuments(first);
    }
  }

  // The selection as it was, end first when it was so, and the caret at its end again.
  void SelectBoundsAgain() {
    if (backwards_)
      data_.SetSelectionBounds(end_no_, end_offs_, start_no_, start_offs_);
    else
      data_.SetSelectionBounds(start_no_, start_offs_, end_no_, end_offs_);
    int d, dOffs;
    data_.ItemToDrawItem(caret_at_end_ ? end_no_ : start_no_,
                         caret_at_end_ ? end_offs_ : start_offs_, d, dOffs);
    if (d >= 0) {
      data_.CaretDItemNo = d;
      data_.BuildCaretPositions(dOffs);
    }
  }

 private:
  bool SplitProtected(int itemNo) const {
    return (ProtectionOf(data_, data_.GetItemStyle(itemNo)) & rdprStyleSplitProtect) != 0;
  }

  // One item between the bounds, its selected part or the whole of it.
  void ConvertOnlyItem(int itemNo) {
    if (data_.GetItem(itemNo)->StyleNo < 0)
      ConvertSubDocuments(itemNo);
    else if (SplitProtected(itemNo) || (start_offs_ <= data_.GetItemStartOffset(itemNo) &&
                                        end_offs_ >= data_.GetItemEndOffset(itemNo)))
      ConvertWholeItem(itemNo);
    else if (start_offs_ <= data_.GetItemStartOffset(itemNo))
      ConvertItemHead(itemNo);
    else if (end_offs_ >= data_.GetItemEndOffset(itemNo))
      ConvertItemTail(itemNo);
    else
      ConvertItemMiddle(itemNo);
  }

  void InsertItem(int index, const std::string& s, std::unique_ptr<TCustomRDItemInfo> item) {
    bool f = false;
    data_.InsertItemWithUndo(index, s, std::move(item), false, f);
    full_ = full_ || f;
  }

  TRDEditRDData& data_;
  int user_data_;
  int operation_;
  bool whole_paragraphs_;
  // The selection was given end first; the caret stood at its end.
  bool backwards_ = false, caret_at_end_ = false;
};

}  // namespace

void TRDEditRDData::SetCurrentTextStyle(int styleNo) {
  if (TCustomRichDocEdit* editor = Editor())
    editor->SetCurTextStyleNo(styleNo);
  else
    CurTextStyleNo = styleNo;
}

void TRDEditRDData::SetCurrentParaStyle(int paraNo) {
  if (TCustomRichDocEdit* editor = Editor())
    editor->SetCurParaStyleNo(paraNo);
  else
    CurParaStyleNo = paraNo;
}

void TRDEditRDData::ConvertNonTextItemStyle(int itemNo, int userData) {
  if (!HandlerOf(*this)) return;
  TCustomRDItemInfo* item = GetItem(itemNo);
  const int styleNo = item->GetAssociatedTextStyleNo();
  SetAssociatedTextStyleWithUndo(itemNo,
                                 Convert(*this, styleNo, item->ParaNo, userData, true, false));
}

void TRDEditRDData::ApplyTextStyleConversion(int userData, int operation, bool wholeParagraphs) {
  if (PartialSelectedItem >= 0 && PartialSelectedItem < GetItemCount()) {
    GetItem(PartialSelectedItem)->ApplyToCells(operation, userData, true);
    return;
  }
  if (!GetRDStyle()) return;
  EnsureNotEmpty();
  if (!(ProtectionOf(*this, GetCurrentTextStyleNo()) & rdprDoNotAutoSwitch))
    LastTextStyleNo = CurTextStyleNo;
  const int newCurrent =
      Convert(*this, CurTextStyleNo, CurParaStyleNo, userData, false, wholeParagraphs);
  TTextStyleApplication app(*this, userData, operation, wholeParagraphs);
  const int caretItem = GetCurrentItemNo();
  const bool selected = HasSelection();
  if (!wholeParagraphs && !selected) {
    app.ConvertEmptyItemAtCaret(caretItem, newCurrent);
    SetCurrentTextStyle(newCurrent);
    return;
  }
  if (caretItem < 0) return;

  BeginUndoStep(rdutStyleNo, true);
  app.TakeBounds(caretItem, selected);
  // The selection names lines of the old layout, whose items the conversion splits and
  // joins: it is dropped until the bounds are selected again in the new one.
  Deselect(false);
  const int countBefore = GetItemCount();
  const int widthBefore = GetLinesMinWidth(app.start_no_, app.end_no_);
  int dFirst, dLast;
  ExpandDrawItemsToParas(GetItem(app.start_no_)->DrawItemNo, GetItemEndDrawItem(app.end_no_),
                         dFirst, dLast);
  int paraFirst, paraLast;
  ExpandRangeToParas(app.start_no_, app.end_no_, paraFirst, paraLast);
  app.ConvertBetweenBounds();
  const int added = GetItemCount() - countBefore;
  if (wholeParagraphs)
    app.JoinAfterConversion(paraFirst, paraLast + added);
  else
    app.JoinAfterConversion(app.start_no_, app.end_no_);
  const int itemsAdded = GetItemCount() - countBefore;
  const int widthAfter = GetLinesMinWidth(app.start_no_, app.end_no_);
  const bool full = app.full_ || widthAfter > MinDocumentWidth || widthBefore >= MinDocumentWidth;
  State |= rddsApplyingStyle;
  ReformatAfterEdit(full, dFirst, dLast, itemsAdded);
  State &= ~rddsApplyingStyle;
  app.SelectBoundsAgain();
  SetCurrentTextStyle(newCurrent);
  ShowCaret(false, true, true, false);
  InvalidateControl();
  NotifyChanged(true);
}

void TRDEditRDData::ApplyParaStyleConversion(int value, std::uint8_t useHandler,
                                             int cellsOperation) {
  if (cellsOperation < 0) cellsOperation = useHandler ? 3 : 1;
  if (PartialSelectedItem >= 0 && PartialSelectedItem < GetItemCount()) {
    GetItem(PartialSelectedItem)->ApplyToCells(cellsOperation, value, true);
    return;
  }
  if (!GetRDStyle()) return;
  EnsureNotEmpty();
  if (!HasCaret()) return;
  const bool selected = HasSelection();
  int dStart = CaretDItemNo, dEnd = CaretDItemNo, dStartOffs = 0, dEndOffs = 0;
  if (selected) GetSelectionDrawBounds(dStart, dEnd, dStartOffs, dEndOffs, true);
  const int caretItem = GetCurrentItemNo(), caretOffs = GetOffsetInCurrentItem();
  int selStart = -1, selStartOffs = 0, selEnd = -1, selEndOffs = 0;
  if (selected) GetSelectionBounds(selStart, selStartOffs, selEnd, selEndOffs, false);
  int first, last;
  ExpandRangeToParas(DrawItems[dStart]->ItemNo, DrawItems[dEnd]->ItemNo, first, last);
  int dFirst, dLast;
  ExpandDrawItemsToParas(dStart, dEnd, dFirst, dLast);

  bool full = false, changed = false;
  if (useHandler) {
    std::vector<int> paraNos;
    for (int i = first; i <= last; ++i)
      paraNos.push_back(ConvertParaStyleNo(*this, GetItemPara(i), value));
    changed = SetParaNosFromListWithUndo(first, paraNos, full);
  } else {
    changed = SetParaNoRangeWithUndo(first, last, full, value);
  }
  // The documents inside the selected items.
  int from = DrawItems[dStart]->ItemNo, to = DrawItems[dEnd]->ItemNo;
  if (selected && dStartOffs >= GetDrawItemEndOffset(dStart) && from < to) ++from;
  if (selected && dEndOffs <= GetDrawItemStartOffset(dEnd) && to > from) --to;
  for (int i = from; i <= to; ++i)
    if (GetItem(i)->GetSubDocCount() > 0) {
      GetItem(i)->ApplyToCells(cellsOperation, value, false);
      // The cells were laid out afresh: so is their table, whether or not its own
      // paragraph changed style.
      changed = true;
    }
  if (!changed) return;

  State |= rddsApplyingStyle;
  ReformatAfterEdit(full, dFirst, dLast, 0);
  State &= ~rddsApplyingStyle;
  if (selected) SetSelectionBounds(selStart, selStartOffs, selEnd, selEndOffs);
  InvalidateControl();
  int d, dOffs;
  ItemToDrawItem(caretItem, caretOffs, d, dOffs);
  if (d >= 0) {
    CaretDItemNo = d;
    BuildCaretPositions(dOffs);
  }
  ShowCaret(false, true, false, false);
  NotifyChanged(true);
}

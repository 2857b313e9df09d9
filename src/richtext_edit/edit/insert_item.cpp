// Inserting one item at the caret: where in the item list it goes (before, inside or
// after the caret's item, splitting a text item when the caret is inside it), which
// paragraph attributes it and its neighbours get, list markers and paragraph
// checkpoints kept consistent, every change recorded; then the caret line laid out
// again and the caret placed before or after the new item.
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"

namespace {

bool HasParagraphCheckpoint(const TCustomRDItemInfo& item) {
  return item.Checkpoint && item.Checkpoint->Persistent;
}

bool IsFullLineItem(const TCustomRDItemInfo& item) {
  return item.StyleNo < 0 && item.QueryItemFlag(0);
}

void StartParagraph(TCustomRDItemInfo& item) {
  item.ItemOptions &= TRDItemOptions(~(rdioContinuesPara | rdioLineBreakBefore));
}

bool TagIsEmpty(const TRDTag& tag) {
  return tag.Number == 0 && !tag.Text;
}

}  // namespace

bool TRDEditRDData::IsUnicodeTextStyle(int styleNo, int paraNo) const {
  const TRDStyle* style = GetRDStyle();
  if (!style) return false;
  const int resolved = ResolveStyleNo(styleNo, paraNo);
  return resolved >= 0 && resolved < style->TextStyles().Count() &&
         style->TextStyles().Items(resolved).Unicode;
}

std::unique_ptr<TCustomRDItemInfo> TRDEditRDData::CreateTextItem(int styleNo, int paraNo,
                                                                 bool lineBreak, bool continuesPara,
                                                                 const TRDTag& tag) {
  auto item = RichDocTextItemClass(this);
  item->StyleNo = styleNo;
  item->ParaNo = paraNo;
  if (IsUnicodeTextStyle(styleNo, paraNo)) item->ItemOptions |= rdioUnicodeText;
  item->SetLineBreakBefore(lineBreak);
  if (continuesPara) item->SetContinuesPara(true);
  item->Tag = CopyItemTag(tag, TagsArePChars());
  return item;
}

std::unique_ptr<TCustomRDItemInfo> TRDEditRDData::CreateTextItemLike(
    const TCustomRDItemInfo& source, bool lineBreak, bool continuesPara, const TRDTag& tag) {
  auto item = RichDocTextItemClass(this);
  item->AssignProperties(source);
  item->ItemOptions = 0;
  if (IsUnicodeTextStyle(item->StyleNo, item->ParaNo)) item->ItemOptions |= rdioUnicodeText;
  item->SetLineBreakBefore(lineBreak);
  if (continuesPara) item->SetContinuesPara(true);
  item->Tag = CopyItemTag(tag, TagsArePChars());
  return item;
}

std::unique_ptr<TCustomRDItemInfo> TRDEditRDData::CloneTextItemForSplit(
    const TCustomRDItemInfo& source) {
  auto item = RichDocTextItemClass(this);
  item->AssignProperties(source);
  item->ItemOptions = source.ItemOptions & (rdioContinuesPara | rdioUnicodeText);
  item->Tag = CopyItemTag(source.Tag, TagsArePChars());
  return item;
}

TCustomRDItemInfo* TRDEditRDData::InsertNewTextItemWithUndo(const std::string& s, int itemNo,
                                                            bool& fullReformat, bool lineBreak,
                                                            bool continuesPara, int styleNo,
                                                            int paraNo, const TRDTag& tag) {
  auto item = CreateTextItem(styleNo, paraNo, lineBreak, continuesPara, tag);
  TCustomRDItemInfo* raw = item.get();
  InsertItemWithUndo(itemNo, s, std::move(item), false, fullReformat);
  return raw;
}

TCustomRDItemInfo* TRDEditRDData::InsertTextItemLikeWithUndo(const std::string& s, int itemNo,
                                                             bool& fullReformat, bool lineBreak,
                                                             bool continuesPara,
                                                             const TCustomRDItemInfo& source,
                                                             const TRDTag& tag) {
  auto item = CreateTextItemLike(source, lineBreak, continuesPara, tag);
  TCustomRDItemInfo* raw = item.get();
  InsertItemWithUndo(itemNo, s, std::move(item), false, fullReformat);
  return raw;
}

TCustomRDItemInfo* TRDEditRDData::InsertEmptyTextItemWithUndo(int itemNo, bool lineBreak,
                                                              bool continuesPara, int styleNo,
                                                              int paraNo) {
  bool full = false;
  return InsertNewTextItemWithUndo("", itemNo, full, lineBreak, continuesPara, styleNo, paraNo,
                                   TRDTag{});
}

bool TRDEditRDData::InsertItemAtCaret(std::unique_ptr<TCustomRDItemInfo> item, std::string s,
                                      bool inheritTag, bool caretBefore) {
  if (item->StyleNo != rdsBreak && !HasParagraphCheckpoint(*item)) item->ParaNo = CurParaStyleNo;
  EnsureNotEmpty();
  if (GetChosenItem() || !HasCaret()) {
    Beep();
    return false;
  }
  // The caret line as laid out now: what is laid out again afterwards.
  int dFirst, dLast;
  ExpandDrawItemsToParas(CaretPositions.front().DrawItemNo, CaretPositions.back().DrawItemNo,
                         dFirst, dLast);
  int itemNo = -1, added = 0;
  bool full = false;
  TCustomRDItemInfo* raw = item.get();
  switch (PlaceItemAtCaret(std::move(item), s, inheritTag, itemNo, added, full)) {
    case TPlaced::Refused:
      Beep();
      return false;
    case TPlaced::Dropped:
      return true;
    case TPlaced::Inserted:
      break;
  }
  ReformatAfterEdit(full || GetLinesMinWidth(itemNo, itemNo) > MinDocumentWidth, dFirst, dLast,
                    added);
  const bool text = raw->StyleNo >= 0;
  const int offset = caretBefore ? (text ? 1 : 0) : (text ? GetItemLength(itemNo) + 1 : 1);
  int d, dOffs;
  ItemToDrawItem(itemNo, offset, d, dOffs);
  CaretDItemNo = d;
  BuildCaretPositions(dOffs);
  ShowCaret(false, true, false, false);
  // The markers after a new one count on from it.
  if (!text && raw->StyleNo == rdsListMarker) RenumberListsInRange(itemNo, itemNo);
  return true;
}

TRDEditRDData::TPlaced TRDEditRDData::PlaceItemAtCaret(std::unique_ptr<TCustomRDItemInfo> item,
                                                       std::string& s, bool inheritTag, int& itemNo,
                                                       int& added, bool& full) {
  added = 1;
  full = false;
  bool f = false;
  const TRDStyle* style = GetRDStyle();
  int savedParaNo = item->IsParaStart() && item->ParaNo >= 0 && style &&
                            item->ParaNo < style->ParaStyles().Count()
                        ? item->ParaNo
                        : -1;
  const TRDCharPos& stop = CaretStop();
  const int d = stop.DrawItemNo;
  const int n = DrawItems[d]->ItemNo;
  TCustomRDItemInfo* at = GetItem(n);
  const bool isMarker = item->StyleNo == rdsListMarker;
  const bool fullLine = IsFullLineItem(*item);
  const bool paraCp = HasParagraphCheckpoint(*item);
  auto markerBefore = [&](int i) { return i > 0 && GetItem(i - 1)->StyleNo == rdsListMarker; };

  if (DrawItems.Count() > 0 && !fullLine && !paraCp && !isMarker) {
    item->SetContinuesPara(true);
    item->ParaNo = at->ParaNo;
  } else {
    StartParagraph(*item);
    item->ParaNo = CurParaStyleNo;
  }
  if (IsParaOption(item->ParaNo, rdpaoReadOnly)) return TPlaced::Refused;
  if (inheritTag && item->StyleNo >= 0 && TagIsEmpty(item->Tag) && item->StyleNo == CurTextStyleNo)
    item->Tag = CopyItemTag(PendingTag, TagsArePChars());

  // The paragraph break of the caret's item passes to the new item before it.
  auto takeParagraphStart = [&](bool withLineBreak) {
    StartParagraph(*item);
    if (at->GetPageBreakBefore()) item->SetPageBreakBefore(true);
    if (withLineBreak && at->GetLineBreakBefore()) item->SetLineBreakBefore(true);
    if (item->GetLineBreakBefore()) savedParaNo = -1;
  };
  int tagFrom = -1;
  if (at->StyleNo < 0) {
    if (isMarker) return TPlaced::Dropped;
    if (stop.Offset != 0) {
      savedParaNo = -1;
      itemNo = n + 1;
      if (IsFullLineItem(*at)) StartParagraph(*item);
    } else {
      itemNo = n;
      if (at->GetContinuesPara()) {
        savedParaNo = -1;
        if (markerBefore(n) && (fullLine || (paraCp && HasParagraphCheckpoint(*GetItem(n - 1))))) {
          InsertEmptyTextItemWithUndo(n, false, true, CurTextStyleNo, at->ParaNo);
          ++itemNo;
          ++added;
        }
      } else {
        takeParagraphStart(!fullLine);
        SetParaStartWithUndo(n, true, f, -1);
        full = full || f;
      }
    }
  } else if (GetItemTextRaw(n).empty()) {
    if (IsStickyBoundary(n - 1, true) || IsStickyBoundary(n, true)) return TPlaced::Refused;
    if (markerBefore(n) && (fullLine || (paraCp && ParaHasParagraphCheckpoint(n)))) {
      itemNo = n + 1;
    } else {
      if (isMarker) ContinueListAbove(*item, n);
      // The new item takes the empty line's place, with its breaks.
      if (!at->GetContinuesPara()) takeParagraphStart(!isMarker);
      DeleteItemWithUndo(n, f);
      full = full || f;
      itemNo = n;
      --added;
      item->ParaNo = CurParaStyleNo;
      if (isMarker && markerBefore(itemNo)) {
        DeleteItemWithUndo(itemNo - 1, f);
        --itemNo;
        --added;
      }
    }
  } else {
    if (isMarker) return TPlaced::Dropped;
    const int pos = stop.Offset + DrawItems[d]->Offs - 1;
    const int length = GetItemLength(n);
    const bool markerCase = pos < 2 && markerBefore(n) &&
                            (fullLine || (paraCp && HasParagraphCheckpoint(*GetItem(n - 1))));
    if (pos < 2 && !markerCase) {
      itemNo = n;
      if (IsStickyBoundary(n - 1, true)) return TPlaced::Refused;
      if (!fullLine && !at->GetContinuesPara()) {
        takeParagraphStart(true);
        SetParaStartWithUndo(n, true, f, -1);
        full = full || f;
      } else {
        savedParaNo = -1;
      }
      tagFrom = n;
    } else if (pos <= length) {
      if (IsItemProtected(n, rdprModifyProtect)) return TPlaced::Refused;
      savedParaNo = -1;
      ++added;
      at->ClearWordPaintersFrom(pos);
      itemNo = n + 1;
      const std::string tail =
          CopyItemText(GetItemTextRaw(n), pos, length - pos + 1, at->ItemOptions);
      DeleteSubstringWithUndo(n, pos, -1);
      auto clone = CloneTextItemForSplit(*at);
      clone->SetContinuesPara(true);
      InsertItemWithUndo(n + 1, tail, std::move(clone), false, f);
      full = full || f;
      tagFrom = n + 1;
    } else {
      savedParaNo = -1;
      itemNo = n + 1;
      if (IsStickyBoundary(n, true)) return TPlaced::Refused;
      tagFrom = n;
    }
  }
  if (inheritTag && tagFrom >= 0 && item->StyleNo >= 0 && TagIsEmpty(item->Tag) &&
      item->StyleNo == GetItem(tagFrom)->StyleNo)
    item->Tag = CopyItemTag(GetItem(tagFrom)->Tag, TagsArePChars());

  if (markerBefore(itemNo)) item->SetContinuesPara(true);
  if (fullLine && itemNo < GetItemCount()) {
    SetParaStartWithUndo(itemNo, false, f, -1);
    full = full || f;
    SetLineBreakWithUndo(itemNo, false, f);
    full = full || f;
  }
  if (item->StyleNo == rdsBreak) item->ParaNo = 0;
  const bool isBreak = item->StyleNo == rdsBreak;
  const int paraNo = item->ParaNo;
  InsertItemWithUndo(itemNo, s, std::move(item), false, f);
  full = full || f;
  // A paragraph checkpoint of the item now after the new one goes to the new one, which
  // begins its paragraph or stands before it in the paragraph.
  if (itemNo + 1 < GetItemCount()) MoveParagraphCheckpoint(itemNo + 1, true);
  if (savedParaNo >= 0 && savedParaNo != paraNo && !isBreak) {
    int first, last;
    ExpandRangeToParas(itemNo, itemNo, first, last);
    SetParaNoRangeWithUndo(first, last, f, savedParaNo);
    full = full || f;
  }
  if (itemNo + 1 < GetItemCount() && GetItem(itemNo + 1)->GetContinuesPara() &&
      HasParagraphCheckpoint(*GetItem(itemNo + 1))) {
    SetParaStartWithUndo(itemNo + 1, false, f, -1);
    full = full || f;
  }
  GetItem(itemNo)->ClearMisspellings();
  return TPlaced::Inserted;
}

void TRDEditRDData::ContinueListAbove(TCustomRDItemInfo& item, int itemNo) const {
  auto* marker = dynamic_cast<TRDMarkerItemInfo*>(&item);
  const TRDStyle* style = GetRDStyle();
  if (!marker || !style || itemNo == 0) return;
  const TRDListInfos& lists = style->ListStyles();
  auto valid = [&](int listNo) { return listNo >= 0 && listNo < lists.Count(); };
  if (!valid(marker->ListNo) || !lists.Items(marker->ListNo).HasNumberedLevels()) return;
  const auto* above =
      dynamic_cast<const TRDMarkerItemInfo*>(GetItem(GetFirstItemOfPara(itemNo - 1)));
  if (above && valid(above->ListNo) &&
      lists.Items(above->ListNo).IsSimpleEqual(lists.Items(marker->ListNo), true))
    marker->ListNo = above->ListNo;
}

bool TRDEditRDData::ParaHasParagraphCheckpoint(int itemNo) const {
  int first, last;
  ExpandRangeToParas(itemNo, itemNo, first, last);
  for (int i = first; i <= last; ++i)
    if (HasParagraphCheckpoint(*GetItem(i))) return true;
  return false;
}

bool TRDEditRDData::MoveParagraphCheckpoint(int itemNo, bool noForward) {
  if (!HasParagraphCheckpoint(*GetItem(itemNo))) return true;
  // A neighbour that holds a checkpoint of any kind cannot take this one: it would
  // replace that checkpoint.
  if (!noForward && itemNo + 1 < GetItemCount() && !IsParaStart(itemNo + 1) &&
      !GetItem(itemNo + 1)->Checkpoint) {
    MoveCheckpointWithUndo(itemNo, itemNo + 1);
    return true;
  }
  if (itemNo > 0 && !IsParaStart(itemNo) && !GetItem(itemNo - 1)->Checkpoint) {
    MoveCheckpointWithUndo(itemNo, itemNo - 1);
    return true;
  }
  return false;
}

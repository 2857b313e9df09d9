// Inserting one item at the caret: where in the item list it goes (before, inside or
// after the caret's item, splitting a text item when the caret is inside it), which
// paragraph attributes it and its neighbours get, list markers and paragraph
// checkpoints kept consistent, every change recorded; then the caret line laid out
// again and the caret placed before or after the new item.
#include "richtext/model/document_nesting.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"

namespace {

bool HasParagraphCheckpoint(const TCustomRDItemInfo& item) {
  return item.Checkpoint && item.Checkpoint->Persistent;
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
  if (GetChosenItem() || !HasCaret() || NestsTooDeep(*item)) {
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

bool TRDEditRDData::NestsTooDeep(const TCustomRDItemInfo& item) {
  return DocumentNestingLevel(*this) + NestedDocumentDepth(item) > kMaxDocumentNesting;
}

bool TRDEditRDData::NestsTooDeep(int first, int last) {
  for (int i = first; i <= last; ++i)
    if (NestsTooDeep(*GetItem(i))) return true;
  return false;
}

// One item being placed at the caret: the caret's item, what the new item is, and where
// the steps decide it goes.
struct TRDEditRDData::TItemPlacement {
  TCustomRDItemInfo& item;  // the new item, not yet in the document
  int n;                    // the caret's item
  TCustomRDItemInfo& at;
  bool isMarker, fullLine, paraCp;
  // The paragraph style the new item's paragraph takes afterwards (-1: it keeps its own).
  int savedParaNo;
  int itemNo = -1;  // where the item goes
  int added = 1;    // items more than before
  bool full = false;
  int tagFrom = -1;  // the neighbour whose tag a text item of its style inherits
};

TRDEditRDData::TPlaced TRDEditRDData::PlaceItemAtCaret(std::unique_ptr<TCustomRDItemInfo> item,
                                                       std::string& s, bool inheritTag, int& itemNo,
                                                       int& added, bool& full) {
  added = 1;
  full = false;
  const TRDStyle* style = GetRDStyle();
  const int savedParaNo = item->IsParaStart() && item->ParaNo >= 0 && style &&
                                  item->ParaNo < style->ParaStyles().Count()
                              ? item->ParaNo
                              : -1;
  const TRDCharPos& stop = CaretStop();
  const int n = DrawItems[stop.DrawItemNo]->ItemNo;
  TItemPlacement p{*item,
                   n,
                   *GetItem(n),
                   item->StyleNo == rdsListMarker,
                   item->IsFullLine(),
                   HasParagraphCheckpoint(*item),
                   savedParaNo};
  if (DrawItems.Count() > 0 && !p.fullLine && !p.paraCp && !p.isMarker) {
    item->SetContinuesPara(true);
    item->ParaNo = p.at.ParaNo;
  } else {
    StartParagraph(*item);
    item->ParaNo = CurParaStyleNo;
  }
  if (IsParaOption(item->ParaNo, rdpaoReadOnly)) return TPlaced::Refused;
  if (inheritTag && item->StyleNo >= 0 && TagIsEmpty(item->Tag) && item->StyleNo == CurTextStyleNo)
    item->Tag = CopyItemTag(PendingTag, TagsArePChars());
  TPlaced placed;
  if (p.at.StyleNo < 0)
    placed = PlaceBesideNonTextItem(p, stop.Offset);
  else if (GetItemTextRaw(n).empty())
    placed = PlaceIntoEmptyLine(p);
  else
    placed = PlaceIntoText(p, stop.Offset + DrawItems[stop.DrawItemNo]->Offs - 1);
  if (placed != TPlaced::Inserted) return placed;
  if (inheritTag && p.tagFrom >= 0 && item->StyleNo >= 0 && TagIsEmpty(item->Tag) &&
      item->StyleNo == GetItem(p.tagFrom)->StyleNo)
    item->Tag = CopyItemTag(GetItem(p.tagFrom)->Tag, TagsArePChars());
  InsertPlacedItem(p, std::move(item), s);
  itemNo = p.itemNo;
  added = p.added;
  full = p.full;
  return TPlaced::Inserted;
}

void TRDEditRDData::TakeParagraphStartOf(TItemPlacement& p, bool withLineBreak) {
  // The paragraph break of the caret's item passes to the new item before it.
  StartParagraph(p.item);
  if (p.at.GetPageBreakBefore()) p.item.SetPageBreakBefore(true);
  if (withLineBreak && p.at.GetLineBreakBefore()) p.item.SetLineBreakBefore(true);
  if (p.item.GetLineBreakBefore()) p.savedParaNo = -1;
}

TRDEditRDData::TPlaced TRDEditRDData::PlaceBesideNonTextItem(TItemPlacement& p, int caretOffset) {
  if (p.isMarker) return TPlaced::Dropped;
  const int n = p.n;
  bool f = false;
  if (caretOffset != 0) {
    p.savedParaNo = -1;
    p.itemNo = n + 1;
    if (p.at.IsFullLine()) StartParagraph(p.item);
  } else if (p.at.GetContinuesPara()) {
    p.itemNo = n;
    p.savedParaNo = -1;
    if (IsListMarkerAt(n - 1) &&
        (p.fullLine || (p.paraCp && HasParagraphCheckpoint(*GetItem(n - 1))))) {
      InsertEmptyTextItemWithUndo(n, false, true, CurTextStyleNo, p.at.ParaNo);
      ++p.itemNo;
      ++p.added;
    }
  } else {
    p.itemNo = n;
    TakeParagraphStartOf(p, !p.fullLine);
    SetParaStartWithUndo(n, true, f, -1);
    p.full = p.full || f;
  }
  return TPlaced::Inserted;
}

TRDEditRDData::TPlaced TRDEditRDData::PlaceIntoEmptyLine(TItemPlacement& p) {
  const int n = p.n;
  if (IsStickyBoundary(n - 1, true) || IsStickyBoundary(n, true)) return TPlaced::Refused;
  if (IsListMarkerAt(n - 1) && (p.fullLine || (p.paraCp && ParaHasParagraphCheckpoint(n)))) {
    p.itemNo = n + 1;
    return TPlaced::Inserted;
  }
  if (p.isMarker) ContinueListAbove(p.item, n);
  // The new item takes the empty line's place, with its breaks.
  if (!p.at.GetContinuesPara()) TakeParagraphStartOf(p, !p.isMarker);
  bool f = false;
  DeleteItemWithUndo(n, f);
  p.full = p.full || f;
  p.itemNo = n;
  --p.added;
  p.item.ParaNo = CurParaStyleNo;
  if (p.isMarker && IsListMarkerAt(p.itemNo - 1)) {
    DeleteItemWithUndo(p.itemNo - 1, f);
    --p.itemNo;
    --p.added;
  }
  return TPlaced::Inserted;
}

TRDEditRDData::TPlaced TRDEditRDData::PlaceIntoText(TItemPlacement& p, int pos) {
  if (p.isMarker) return TPlaced::Dropped;
  const int n = p.n;
  const int length = GetItemLength(n);
  const bool markerCase = pos < 2 && IsListMarkerAt(n - 1) &&
                          (p.fullLine || (p.paraCp && HasParagraphCheckpoint(*GetItem(n - 1))));
  bool f = false;
  if (pos < 2 && !markerCase) {
    p.itemNo = n;
    if (IsStickyBoundary(n - 1, true)) return TPlaced::Refused;
    if (!p.fullLine && !p.at.GetContinuesPara()) {
      TakeParagraphStartOf(p, true);
      SetParaStartWithUndo(n, true, f, -1);
      p.full = p.full || f;
    } else {
      p.savedParaNo = -1;
    }
    p.tagFrom = n;
  } else if (pos <= length) {
    if (IsItemProtected(n, rdprModifyProtect)) return TPlaced::Refused;
    // The text splits at the caret; the item goes between its halves.
    p.savedParaNo = -1;
    ++p.added;
    p.at.ClearWordPaintersFrom(pos);
    p.itemNo = n + 1;
    const std::string tail =
        CopyItemText(GetItemTextRaw(n), pos, length - pos + 1, p.at.ItemOptions);
    DeleteSubstringWithUndo(n, pos, -1);
    auto clone = CloneTextItemForSplit(p.at);
    clone->SetContinuesPara(true);
    InsertItemWithUndo(n + 1, tail, std::move(clone), false, f);
    p.full = p.full || f;
    p.tagFrom = n + 1;
  } else {
    p.savedParaNo = -1;
    p.itemNo = n + 1;
    if (IsStickyBoundary(n, true)) return TPlaced::Refused;
    p.tagFrom = n;
  }
  return TPlaced::Inserted;
}

void TRDEditRDData::InsertPlacedItem(TItemPlacement& p, std::unique_ptr<TCustomRDItemInfo> item,
                                     std::string& s) {
  const int itemNo = p.itemNo;
  bool f = false;
  if (IsListMarkerAt(itemNo - 1)) item->SetContinuesPara(true);
  if (p.fullLine && itemNo < GetItemCount()) {
    SetParaStartWithUndo(itemNo, false, f, -1);
    p.full = p.full || f;
    SetLineBreakWithUndo(itemNo, false, f);
    p.full = p.full || f;
  }
  if (item->StyleNo == rdsBreak) item->ParaNo = 0;
  const bool isBreak = item->StyleNo == rdsBreak;
  const int paraNo = item->ParaNo;
  InsertItemWithUndo(itemNo, s, std::move(item), false, f);
  p.full = p.full || f;
  // A paragraph checkpoint of the item now after the new one goes to the new one, which
  // begins its paragraph or stands before it in the paragraph.
  if (itemNo + 1 < GetItemCount()) MoveParagraphCheckpoint(itemNo + 1, true);
  if (p.savedParaNo >= 0 && p.savedParaNo != paraNo && !isBreak) {
    int first, last;
    ExpandRangeToParas(itemNo, itemNo, first, last);
    SetParaNoRangeWithUndo(first, last, f, p.savedParaNo);
    p.full = p.full || f;
  }
  if (itemNo + 1 < GetItemCount() && GetItem(itemNo + 1)->GetContinuesPara() &&
      HasParagraphCheckpoint(*GetItem(itemNo + 1))) {
    SetParaStartWithUndo(itemNo + 1, false, f, -1);
    p.full = p.full || f;
  }
  GetItem(itemNo)->ClearMisspellings();
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

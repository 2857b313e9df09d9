#include "richtext_edit/edit/undo_records.h"

#include <utility>

#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/named_properties.h"

namespace {

bool ValidItem(const TRDEditRDData& data, int itemNo) {
  return itemNo >= 0 && itemNo < data.GetItemCount();
}

}  // namespace

void TRDUndoItemNoInfo::GetAffectedItems(int& startItemNo, int& endItemNo, TRDEditRDData&) const {
  startItemNo = ItemNo;
  endItemNo = LastAffectedItemNo == -1 ? ItemNo : LastAffectedItemNo;
}

bool TRDUndoWidthInfo::NeedsFullFormatBeforeUndo(TRDEditRDData& data) {
  SavedMinWidth = ValidItem(data, ItemNo) ? data.GetLinesMinWidth(ItemNo, ItemNo) : 0;
  return false;
}

bool TRDUndoWidthInfo::NeedsFullFormatAfterUndo(TRDEditRDData& data) {
  const int now = ValidItem(data, ItemNo) ? data.GetLinesMinWidth(ItemNo, ItemNo) : 0;
  if (now == SavedMinWidth) return false;
  const int docWidth = data.MinDocumentWidth;
  return !(SavedMinWidth < docWidth && now <= docWidth);
}

void TRDUndoReformateRange::Undo(TRDEditRDData& data) {
  data.AddReformatRangeRecord(ItemNo, LastAffectedItemNo, FullRoot);
}

void TRDUndoResizeInfo::Undo(TRDEditRDData& data) {
  data.ResizeControlWithUndo(ItemNo, Width, false, Height);
}

void TRDUndoChangeTextInfo::Undo(TRDEditRDData& data) {
  data.ChangeItemTextWithUndo(ItemNo, Text);
}

void TRDUndoDeleteSubstringInfo::Undo(TRDEditRDData& data) {
  data.InsertSubstringWithUndo(ItemNo, Pos, Text);
}

TRDUndoDeleteItemInfo::~TRDUndoDeleteItemInfo() {
  if (!Item) return;
  if (auto* data = dynamic_cast<TRDEditRDData*>(Owner())) data->FreeHeldItem(Item);
}

void TRDUndoDeleteItemInfo::Undo(TRDEditRDData& data) {
  data.InsertItemWithUndo(ItemNo, Text, std::move(Item), true, FullReformat);
}

bool TRDUndoDeleteItemInfo::NeedsFullFormatAfterUndo(TRDEditRDData& data) {
  return FullReformat ||
         (ValidItem(data, ItemNo) && data.GetLinesMinWidth(ItemNo, ItemNo) > data.MinDocumentWidth);
}

void TRDUndoJoinRangeInfo::GetAffectedItems(int& startItemNo, int& endItemNo,
                                            TRDEditRDData&) const {
  startItemNo = FirstItemNo;
  endItemNo = LastItemNo;
}

bool TRDUndoJoinRangeInfo::NeedsFullFormatBeforeUndo(TRDEditRDData& data) {
  SavedMinWidth = data.GetLinesMinWidth(FirstItemNo, LastItemNo);
  return false;
}

bool TRDUndoJoinRangeInfo::NeedsFullFormatAfterUndo(TRDEditRDData& data) {
  const int now = data.GetLinesMinWidth(FirstItemNo, LastItemNo + Added);
  if (now == SavedMinWidth) return false;
  return !(SavedMinWidth < data.MinDocumentWidth && now <= data.MinDocumentWidth);
}

TRDUndoJoinItemsInfo::~TRDUndoJoinItemsInfo() {
  auto* data = dynamic_cast<TRDEditRDData*>(Owner());
  for (TJoined& joined : Joined)
    if (joined.Item && data) data->FreeHeldItem(joined.Item);
}

void TRDUndoJoinItemsInfo::Undo(TRDEditRDData& data) {
  data.PartJoinedItemsWithUndo(std::move(Joined));
  Joined.clear();
}

void TRDUndoPartItemsInfo::Undo(TRDEditRDData& data) {
  TRDItemJoiner joiner(data);
  for (int itemNo : ItemNos) joiner.JoinWithNext(itemNo - 1);
}

TRDUndoStringItemListInfo::~TRDUndoStringItemListInfo() {
  auto* data = dynamic_cast<TRDEditRDData*>(Owner());
  for (auto& entry : List)
    if (entry.second && data) data->FreeHeldItem(entry.second);
}

void TRDUndoItemRangeInfo::GetAffectedItems(int& startItemNo, int& endItemNo,
                                            TRDEditRDData&) const {
  startItemNo = StartItemNo;
  endItemNo = LastAffectedItemNo == -1 ? StartItemNo + int(List.size()) : LastAffectedItemNo;
}

void TRDUndoDeleteItemsInfo::Undo(TRDEditRDData& data) {
  const int count = int(List.size());
  data.InsertItemsWithUndo(StartItemNo, std::move(List), true, FullReformat);
  List.clear();
  EndItemNo = StartItemNo + count - 1;
}

bool TRDUndoDeleteItemsInfo::NeedsFullFormatAfterUndo(TRDEditRDData& data) {
  return FullReformat || data.GetItemRangeMinWidth(StartItemNo, EndItemNo) > data.MinDocumentWidth;
}

void TRDUndoInsertSubstringInfo::Undo(TRDEditRDData& data) {
  data.DeleteSubstringWithUndo(ItemNo, Pos, Length);
}

void TRDUndoTypingInfo::Undo(TRDEditRDData& data) {
  if (Length <= 0 || !ValidItem(data, ItemNo)) throw ERichDocError("Undo error");
  std::string text = data.GetItemTextRaw(ItemNo);
  const int charBytes = Unicode ? 2 : 1;
  if (Unicode) CheckUnicodeByteLength(text.size());
  const size_t at = size_t(Pos + Length - 2) * size_t(charBytes);
  if (at + size_t(charBytes) > text.size()) throw ERichDocError("Undo error");
  const std::string ch = text.substr(at, size_t(charBytes));
  text.erase(at, size_t(charBytes));
  data.SetItemTextRaw(ItemNo, std::move(text));
  --Length;
  if (data.RedoList) data.RedoList->AddUntyping(ch, ItemNo, Pos + Length + 1);
}

void TRDRedoTypingInfo::Undo(TRDEditRDData& data) {
  const int charBytes = Unicode ? 2 : 1;
  if (Text.size() < size_t(charBytes)) throw ERichDocError("Undo error");
  const int held = int(Text.size()) / charBytes;
  const std::string ch = Text.substr(Text.size() - size_t(charBytes));
  const int at = Pos - held;
  if (!ValidItem(data, ItemNo)) throw ERichDocError("Undo error");
  std::string text = data.GetItemTextRaw(ItemNo);
  const size_t byteAt = size_t(at - 1) * size_t(charBytes);
  if (byteAt > text.size()) throw ERichDocError("Undo error");
  text.insert(byteAt, ch);
  data.SetItemTextRaw(ItemNo, std::move(text));
  Text.resize(Text.size() - size_t(charBytes));
  if (data.UndoList) data.UndoList->AddTyping(ItemNo, at, Unicode);
}

void TRDUndoInsertItemsInfo::Undo(TRDEditRDData& data) {
  const int width = std::exchange(range_min_width_, -1);
  data.DeleteItemsWithUndo(ItemNo, ItemNo + Count - 1, FullReformat, width);
}

bool TRDUndoInsertItemsInfo::NeedsFullFormatBeforeUndo(TRDEditRDData& data) {
  range_min_width_ = data.GetItemRangeMinWidth(ItemNo, ItemNo + Count - 1);
  return range_min_width_ >= data.MinDocumentWidth;
}

void TRDUndoInsertItemInfo::Undo(TRDEditRDData& data) {
  data.DeleteItemWithUndo(ItemNo, FullReformat);
}

bool TRDUndoInsertItemInfo::NeedsFullFormatBeforeUndo(TRDEditRDData& data) {
  return ValidItem(data, ItemNo) && data.GetLinesMinWidth(ItemNo, ItemNo) >= data.MinDocumentWidth;
}

void TRDUndoParaListInfo::Undo(TRDEditRDData& data) {
  data.SetParaNosFromListWithUndo(StartItemNo, List, FullReformat);
}

void TRDUndoParaListInfo::GetAffectedItems(int& startItemNo, int& endItemNo, TRDEditRDData&) const {
  startItemNo = StartItemNo;
  endItemNo = StartItemNo + int(List.size());
}

void TRDUndoStyleNoInfo::Undo(TRDEditRDData& data) {
  data.SetItemStyleNoWithUndo(ItemNo, StyleNo);
}

void TRDUndoAssociatedTextStyleNoInfo::Undo(TRDEditRDData& data) {
  data.SetAssociatedTextStyleWithUndo(ItemNo, StyleNo);
}

void TRDUndoNewLineInfo::Undo(TRDEditRDData& data) {
  data.SetParaStartWithUndo(ItemNo, SameAsPrev, FullReformat, ParaNo);
}

void TRDUndoBRInfo::Undo(TRDEditRDData& data) {
  bool full = false;
  data.SetLineBreakWithUndo(ItemNo, LineBreak, full);
}

void TRDUndoPageBreakInfo::Undo(TRDEditRDData& data) {
  data.SetPageBreakWithUndo(ItemNo, PageBreak);
}

void TRDUndoExtraIntProperty::Undo(TRDEditRDData& data) {
  data.SetExtraIntPropertyWithUndo(ItemNo, Prop, Value);
}

void TRDUndoTagInfo::Undo(TRDEditRDData& data) {
  data.SetItemTagWithUndo(ItemNo, Tag);
}

void TRDUndoAddCPInfo::Undo(TRDEditRDData& data) {
  data.DeleteCheckpointWithUndo(ItemNo);
}

void TRDUndoDeleteCPInfo::Undo(TRDEditRDData& data) {
  data.AddCheckpointWithUndo(ItemNo, std::move(Checkpoint));
}

bool TRDUndoModifyItemProps::NeedsFullFormatBeforeUndo(TRDEditRDData& data) {
  if (!(AffectsSize && AffectsWidth) || !ValidItem(data, ItemNo)) return false;
  SavedMinWidth = data.GetLinesMinWidth(ItemNo, ItemNo);
  return SavedMinWidth >= data.MinDocumentWidth;
}

bool TRDUndoModifyItemProps::NeedsFullFormatAfterUndo(TRDEditRDData& data) {
  if (!(AffectsSize && AffectsWidth) || !ValidItem(data, ItemNo)) return false;
  const int now = data.GetLinesMinWidth(ItemNo, ItemNo);
  return now != SavedMinWidth && now > data.MinDocumentWidth;
}

TRDUndoModifyItemTerminator::TRDUndoModifyItemTerminator() {
  Kind = rdrkModifyItem;
  AffectsSize = true;
  AffectsWidth = true;
}

std::unique_ptr<TRDUndoModifyItemProps> TRDUndoModifyItemTerminator::Create() {
  return std::make_unique<TRDUndoModifyItemTerminator>();
}

void TRDUndoModifyItemTerminator::Undo(TRDEditRDData& data) {
  data.AddModifyItemTerminator(ItemNo, !Opening);
}

std::unique_ptr<TRDUndoModifyItemProps> TRDUndoModifyItemIntProperty::Create() {
  return std::make_unique<TRDUndoModifyItemIntProperty>();
}

void TRDUndoModifyItemIntProperty::Undo(TRDEditRDData& data) {
  if (auto* opposite = data.SetIntPropertyWithUndo(ItemNo, SubObject, GetOppositeClass(),
                                                   AffectsSize, AffectsWidth, Value, PropertyName))
    CompleteOpposite(*opposite);
}

std::unique_ptr<TRDUndoModifyItemProps> TRDUndoModifyItemStrProperty::Create() {
  return std::make_unique<TRDUndoModifyItemStrProperty>();
}

void TRDUndoModifyItemStrProperty::Undo(TRDEditRDData& data) {
  if (auto* opposite =
          data.SetStrPropertyWithUndo(ItemNo, SubObject, GetOppositeClass(), Value, PropertyName))
    CompleteOpposite(*opposite);
}

std::unique_ptr<TRDUndoModifyItemProps> TRDUndoModifyItemIntProperties::Create() {
  return std::make_unique<TRDUndoModifyItemIntProperties>();
}

void TRDUndoModifyItemIntProperties::Undo(TRDEditRDData& data) {
  data.SetIntPropertiesWithUndo(ItemNo, SubObject, GetOppositeClass(), AffectsSize, AffectsWidth,
                                Properties);
}

void TRDCompositeUndo::GetAffectedItems(int& startItemNo, int& endItemNo, TRDEditRDData&) const {
  startItemNo = ItemNo;
  endItemNo = ItemNo;
}

void TRDCompositeUndo::Undo(TRDEditRDData&) {
  auto* inner = UndoList ? dynamic_cast<TRDEditRDData*>(UndoList->Owner()) : nullptr;
  if (!inner) throw ERichDocError("Undo error");
  UndoList->Undo(*inner);
}

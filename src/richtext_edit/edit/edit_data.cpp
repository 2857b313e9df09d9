#include "richtext_edit/edit/edit_data.h"

#include <algorithm>
#include <type_traits>

#include "richtext/model/control_item.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/item_resizer.h"
#include "richtext_edit/edit/named_properties.h"
#include "richtext_edit/edit/rich_doc_edit.h"

TRDEditRDData::TRDEditRDData(TCustomRichDoc& richDoc)
    : TRichDocRDData(richDoc),
      UndoList(std::make_unique<TRDUndoList>(this)),
      RedoList(std::make_unique<TRDRedoList>(this)) {}

TRDEditRDData::~TRDEditRDData() {
  // The records free the items they hold through this data.
  UndoList.reset();
  RedoList.reset();
  Resizer.reset();
}

TCustomRichDocEdit* TRDEditRDData::Editor() const {
  return dynamic_cast<TCustomRichDocEdit*>(&RichDoc());
}

void TRDEditRDData::Clear() {
  ChosenItem = nullptr;
  TRichDocRDData::Clear();
  if (UndoList) UndoList->Clear();
  if (RedoList) RedoList->Clear();
  LastTextStyleNo = 0;
  if (TCustomRichDocEdit* editor = Editor()) {
    editor->SetCurTextStyleNo(0);
    editor->SetCurParaStyleNo(0);
  } else {
    CurTextStyleNo = 0;
    CurParaStyleNo = 0;
  }
  State |= rddsJustCleared;
  State &= ~rddsCaretJumpHighlighted;
  HighlightedJumpItem = -1;
}

void TRDEditRDData::MarkStylesInUse(TRDStyleUsage& usage) const {
  TRichDocRDData::MarkStylesInUse(usage);
  const int textStyle = GetCurrentTextStyleNo();
  if (textStyle >= 0 && textStyle < usage.UsedTextStyles.Count())
    usage.UsedTextStyles.SetValue(textStyle, 1);
  if (CurParaStyleNo >= 0 && CurParaStyleNo < usage.UsedParaStyles.Count())
    usage.UsedParaStyles.SetValue(CurParaStyleNo, 1);
}

void TRDEditRDData::UpdateStyles(const TRDStyleUsage& usage) {
  // The current styles keep pointing at the same styles after unused ones went.
  // The usage lists hold, per old number, one more than the styles deleted before it.
  auto renumber = [](int& styleNo, const TRDIntegerList& used) {
    if (styleNo >= 0 && styleNo < used.Count()) styleNo -= used[styleNo] - 1;
  };
  int textStyle = CurTextStyleNo, paraStyle = CurParaStyleNo;
  renumber(textStyle, usage.UsedTextStyles);
  if (LastTextStyleNo >= 0 && LastTextStyleNo < usage.UsedTextStyles.Count())
    LastTextStyleNo = usage.UsedTextStyles[LastTextStyleNo] < 1
                          ? 0
                          : LastTextStyleNo - (usage.UsedTextStyles[LastTextStyleNo] - 1);
  renumber(paraStyle, usage.UsedParaStyles);
  if (!(State & rddsApplyingStyle)) {
    if (TCustomRichDocEdit* editor = Editor()) {
      State |= rddsReapplyCurrentStyles;
      editor->SetCurTextStyleNo(textStyle);
      State |= rddsReapplyCurrentStyles;
      editor->SetCurParaStyleNo(paraStyle);
      State &= ~rddsReapplyCurrentStyles;
    } else {
      CurTextStyleNo = textStyle;
      CurParaStyleNo = paraStyle;
    }
  } else {
    CurTextStyleNo = textStyle;
    CurParaStyleNo = paraStyle;
  }
  TRichDocRDData::UpdateStyles(usage);
}

void TRDEditRDData::ClearFormatting() {
  CaretPositions.clear();
  CaretDItemNo = -1;
  CaretPosIndex = -1;
  Resizer.reset();
  PendingTag = TRDTag{};
  State &= ~rddsKeepPendingTag;
  TRichDocRDData::ClearFormatting();
}

int TRDEditRDData::GetCurrentItemNo() const {
  if (CaretDItemNo < 0 || CaretDItemNo >= DrawItems.Count()) return -1;
  const int itemNo = DrawItems[CaretDItemNo]->ItemNo;
  return itemNo < GetItemCount() ? itemNo : -1;
}

int TRDEditRDData::GetOffsetInCurrentItem() const {
  if (CaretDItemNo < 0 || CaretDItemNo >= DrawItems.Count() || CaretPosIndex < 0 ||
      CaretPosIndex >= int(CaretPositions.size()))
    return -1;
  const TRDCharPos& stop = CaretPositions[size_t(CaretPosIndex)];
  const TRDDrawLineInfo& line = *DrawItems[stop.DrawItemNo];
  if (line.ItemNo >= GetItemCount()) return -1;
  if (GetItem(line.ItemNo)->StyleNo < 0) return stop.Offset;
  return line.Offs + stop.Offset - 1;
}

// --- opening steps ------------------------------------------------------------------------

void TRDEditRDData::BeginUndoStep(TRDUndoType kind, bool flushInner) {
  BeginUndoStepCaption(kind, "", flushInner);
}

bool TRDEditRDData::BeginUndoStepCaption(TRDUndoType kind, const std::string& caption,
                                         bool flushInner) {
  if (flushInner) FlushInplaceUndo();
  const bool recording =
      UndoList->BeginStep(kind, caption, GetCurrentItemNo(), GetOffsetInCurrentItem());
  UndoAction = recording ? rduaUndo : rduaNone;
  return recording;
}

void TRDEditRDData::BeginRedoStep(TRDUndoType kind, const std::string& caption) {
  const bool recording =
      RedoList->BeginStep(kind, caption, GetCurrentItemNo(), GetOffsetInCurrentItem());
  UndoAction = recording ? rduaRedo : rduaNone;
}

TRDUndoList& TRDEditRDData::SetUndoGroupMode(bool grouping) {
  UndoList->SetGroupMode(grouping);
  return *UndoList;
}

void TRDEditRDData::FlushInplaceUndo() {
  if (State & rddsMergingInnerUndo) return;
  State |= rddsMergingInnerUndo;
  struct TClear {
    std::uint32_t& state;
    ~TClear() { state &= ~rddsMergingInnerUndo; }
  } clear{State};
  if (TCustomRDItemInfo* item = GetChosenItem()) item->MergeEditorUndo(this);
}

TRDUndoList* TRDEditRDData::GetUndoListForRecording() const {
  if (UndoAction == rduaUndo && UndoList->Limit() != 0) return UndoList.get();
  if (UndoAction == rduaRedo) return RedoList.get();
  return nullptr;
}

template <class T>
T* TRDEditRDData::Record(std::unique_ptr<T> record) {
  TRDUndoList* list = GetUndoListForRecording();
  return list ? list->Add(std::move(record)) : nullptr;
}

template <class T>
T* TRDEditRDData::NewRecord(std::uint8_t kind, int itemNo) {
  TRDUndoList* list = GetUndoListForRecording();
  if (!list) return nullptr;
  auto record = std::make_unique<T>();
  record->Kind = kind;
  record->ItemNo = itemNo;
  return list->Add(std::move(record));
}

bool TRDEditRDData::WidthChangeNeedsFull(int before, int after) const {
  return after > MinDocumentWidth || MinDocumentWidth <= before;
}

void TRDEditRDData::FreeHeldItem(std::unique_ptr<TCustomRDItemInfo>& item) {
  if (!item) return;
  std::string text;
  DoItemAction(rdiaDestroying, item.get(), text, this);
  if (auto* control = dynamic_cast<TRDControlItemInfo*>(item.get()))
    DoControlAction(rdcaDestroyInUndoList, -1, control->Control.get());
  item.reset();  // with its checkpoint and tag
}

void TRDEditRDData::SetItemTextRaw(int itemNo, std::string text) {
  DoItemAction(rdiaTextModifying, GetItem(itemNo), text, this);
  Items.SetString(itemNo, std::move(text));
}

// --- items --------------------------------------------------------------------------------

void TRDEditRDData::DeleteItemWithUndo(int itemNo, bool& fullReformat) {
  fullReformat = GetLinesMinWidth(itemNo, itemNo) == MinDocumentWidth;
  if (GetItem(itemNo)->Checkpoint) DeleteCheckpointWithUndo(itemNo);
  RemoveMarkerFromList(itemNo);
  if (TRDUndoList* list = GetUndoListForRecording()) {
    auto record = std::make_unique<TRDUndoDeleteItemInfo>();
    record->Kind = rdrkDeleteItem;
    record->ItemNo = itemNo;
    record->Text = GetItemTextRaw(itemNo);
    TRDUndoDeleteItemInfo* raw = list->Add(std::move(record));
    GetItem(itemNo)->MovingToUndoList(itemNo, this);
    raw->Item = Items.TakeObject(itemNo);
    raw->Item->DrawItemNo = -1;
  } else {
    FreeItem(itemNo, false);
  }
  Items.Delete(itemNo, 1);
}

void TRDEditRDData::DeleteItemsWithUndo(int first, int last, bool& fullReformat,
                                        int rangeMinWidth) {
  if (first > last) return;
  fullReformat =
      (rangeMinWidth >= 0 ? rangeMinWidth : GetItemRangeMinWidth(first, last)) == MinDocumentWidth;
  for (int i = last; i >= first; --i)
    if (GetItem(i)->Checkpoint) DeleteCheckpointWithUndo(i);
  TRDUndoDeleteItemsInfo* record = nullptr;
  if (GetUndoListForRecording()) {
    auto made = std::make_unique<TRDUndoDeleteItemsInfo>();
    made->Kind = rdrkDeleteItems;
    made->StartItemNo = first;
    record = Record(std::move(made));
  }
  const bool markers = GetMarkers(false) != nullptr;
  for (int i = last; i >= first; --i) {
    if (markers) RemoveMarkerFromList(i);
    if (record)
      GetItem(i)->MovingToUndoList(i, this);
    else
      FreeItem(i, false);
  }
  if (!record) {
    Items.Delete(first, last - first + 1);
    return;
  }
  // Texts and items move into the record (last first, as it keeps them), none copied.
  record->List = Items.Take(first, last - first + 1);
  std::reverse(record->List.begin(), record->List.end());
  for (auto& entry : record->List) entry.second->DrawItemNo = -1;
}

void TRDEditRDData::DeleteSubstringWithUndo(int itemNo, int pos, int count) {
  const TRDItemOptions options = GetItemOptions(itemNo);
  std::string text = GetItemTextRaw(itemNo);
  if (count == -1) count = GetItemTextLength(text, options) - pos + 1;
  if (count <= 0) return;
  if (auto* record = NewRecord<TRDUndoDeleteSubstringInfo>(rdrkDeleteSubstring, itemNo)) {
    record->Pos = pos;
    record->Text = CopyItemText(text, pos, count, options);
  }
  DeleteItemText(text, pos, count, options);
  SetItemTextRaw(itemNo, std::move(text));
}

void TRDEditRDData::InsertSubstringWithUndo(int itemNo, int pos, const std::string& s) {
  if (s.empty()) return;
  if (itemNo < 0 || itemNo >= GetItemCount() || GetItem(itemNo)->StyleNo < 0)
    throw ERichDocError("Undo error");
  const TRDItemOptions options = GetItemOptions(itemNo);
  if (auto* record = NewRecord<TRDUndoInsertSubstringInfo>(rdrkInsertSubstring, itemNo)) {
    record->Pos = pos;
    record->Length = GetItemTextLength(s, options);
  }
  std::string text = GetItemTextRaw(itemNo);
  InsertItemText(s, text, pos, options);
  SetItemTextRaw(itemNo, std::move(text));
}

void TRDEditRDData::ChangeItemTextWithUndo(int itemNo, const std::string& s) {
  if (GetItemTextRaw(itemNo) == s) return;
  if (auto* record = NewRecord<TRDUndoChangeTextInfo>(rdrkChangeText, itemNo)) {
    record->Text = GetItemTextRaw(itemNo);
  }
  SetItemTextRaw(itemNo, s);
}

void TRDEditRDData::InsertItemWithUndo(int index, std::string s,
                                       std::unique_ptr<TCustomRDItemInfo> item, bool fromUndo,
                                       bool& fullReformat) {
  fullReformat = false;
  int last = -1;
  if (item->IsParaStart() && index < GetItemCount() && !GetItem(index)->IsParaStart()) {
    last = index;
    while (last + 1 < GetItemCount() && !GetItem(last + 1)->IsParaStart()) ++last;
  }
  std::unique_ptr<TRDCPInfo> checkpoint = std::move(item->Checkpoint);
  if (auto* list = GetUndoListForRecording()) {
    auto record = std::make_unique<TRDUndoInsertItemInfo>();
    record->Kind = rdrkInsertItem;
    record->ItemNo = index;
    record->LastAffectedItemNo = last;
    list->Add(std::move(record));
  }
  TCustomRDItemInfo* raw = item.get();
  raw->DrawItemNo = -1;
  raw->NotifyData(this, s);
  Items.Insert(index, std::move(s), std::move(item));
  raw->NotifyDataEx(this);
  AddMarkerToList(index);
  if (fromUndo) raw->MovingFromUndoList(index, this);
  if (last != -1) {
    bool full = false;
    // The rest of the broken paragraph takes the new item's paragraph style.
    SetParaNoRangeWithUndo(index + 1, last + 1, full, raw->ParaNo);
    fullReformat = fullReformat || full;
  }
  if (checkpoint) AddCheckpointWithUndo(index, std::move(checkpoint));
}

TRDUndoInsertItemsInfo* TRDEditRDData::AddInsertItemsRecord(int itemNo, int count) {
  if (count == 0) return nullptr;
  auto* record = NewRecord<TRDUndoInsertItemsInfo>(rdrkInsertItems, itemNo);
  if (record) record->Count = count;
  return record;
}

// Items are inserted in reverse list order (the order deletion stores them in).
void TRDEditRDData::InsertItemsWithUndo(
    int index, std::vector<std::pair<std::string, std::unique_ptr<TCustomRDItemInfo>>> items,
    bool fromUndo, bool& fullReformat) {
  fullReformat = false;
  if (items.empty()) return;
  const int count = int(items.size());
  TRDUndoInsertItemsInfo* record = AddInsertItemsRecord(index, count);
  // All in one pass over the items after them.
  std::vector<TRDItemList::TPlaced> placed;
  placed.reserve(items.size());
  for (int k = count - 1; k >= 0; --k) {
    auto& [text, item] = items[size_t(k)];
    item->DrawItemNo = -1;
    item->NotifyData(this, text);
    placed.push_back({index + count - 1 - k, std::move(text), std::move(item)});
  }
  Items.InsertPlaced(std::move(placed));
  for (int i = index; i < index + count; ++i) {
    GetItem(i)->NotifyDataEx(this);
    AddMarkerToList(i);
    if (fromUndo) GetItem(i)->MovingFromUndoList(i, this);
  }
  FinishInsertedItems(index, count, fullReformat, record);
}

void TRDEditRDData::FinishInsertedItems(int index, int count, bool& fullReformat,
                                        TRDUndoInsertItemsInfo* record) {
  fullReformat = false;
  if (count == 0) return;
  const int lastInserted = index + count - 1;
  int last = -1;
  if (lastInserted + 1 < GetItemCount() && !GetItem(lastInserted + 1)->IsParaStart()) {
    last = lastInserted + 1;
    while (last + 1 < GetItemCount() && !GetItem(last + 1)->IsParaStart()) ++last;
  }
  if (record) record->LastAffectedItemNo = last;
  if (last != -1)
    SetParaNoRangeWithUndo(lastInserted, last, fullReformat, GetItemPara(lastInserted));
  for (int i = index; i <= lastInserted; ++i) {
    TCustomRDItemInfo* item = GetItem(i);
    if (!item->Checkpoint) continue;
    std::unique_ptr<TRDCPInfo> cp = std::move(item->Checkpoint);
    UnlinkCheckpoint(cp.get(), true);
    AddCheckpointWithUndo(i, std::move(cp));
  }
}

// --- paragraphs ---------------------------------------------------------------------------

bool TRDEditRDData::SetParaNoRangeWithUndo(int first, int last, bool& fullReformat, int paraNo) {
  fullReformat = false;
  if (last < first) return false;
  if (GetUndoListForRecording()) {
    auto record = std::make_unique<TRDUndoParaListInfo>();
    record->Kind = rdrkParaNo;
    record->StartItemNo = first;
    for (int i = first; i <= last; ++i) record->List.push_back(GetItemPara(i));
    Record(std::move(record));
  }
  return ApplyParaNo(first, last, fullReformat, paraNo);
}

bool TRDEditRDData::ApplyParaNo(int first, int last, bool& fullReformat, int paraNo) {
  const TRDStyle* style = GetRDStyle();
  const int before = GetLinesMinWidth(first, last);
  bool changed = false;
  for (int i = first; i <= last; ++i) {
    TCustomRDItemInfo* item = GetItem(i);
    if (item->ParaNo == paraNo) continue;
    // A style-protected paragraph keeps its style where it stands alone; its items that
    // follow an item already given the new style go along.
    const bool isProtected =
        style && style->ParaStyles().Items(item->ParaNo).Options & rdpaoStyleProtect;
    if (isProtected && !(i > 0 && !item->IsParaStart() && GetItemPara(i - 1) == paraNo)) continue;
    item->ParaNo = paraNo;
    changed = true;
  }
  fullReformat = changed && WidthChangeNeedsFull(before, GetLinesMinWidth(first, last));
  return changed;
}

bool TRDEditRDData::SetParaNosFromListWithUndo(int itemNo, const std::vector<int>& paraNos,
                                               bool& fullReformat) {
  fullReformat = false;
  if (paraNos.empty()) return false;
  const int last = itemNo + int(paraNos.size()) - 1;
  if (GetUndoListForRecording()) {
    // The old numbers, each kept: the range may hold several paragraph styles.
    auto record = std::make_unique<TRDUndoParaListInfo>();
    record->Kind = rdrkParaNo;
    record->StartItemNo = itemNo;
    for (int i = itemNo; i <= last; ++i) record->List.push_back(GetItemPara(i));
    Record(std::move(record));
  }
  const int before = GetItemRangeMinWidth(itemNo, last);
  bool changed = false;
  for (int k = 0; k < int(paraNos.size()); ++k) {
    TCustomRDItemInfo* item = GetItem(itemNo + k);
    changed = changed || item->ParaNo != paraNos[size_t(k)];
    item->ParaNo = paraNos[size_t(k)];
  }
  fullReformat = changed && WidthChangeNeedsFull(before, GetItemRangeMinWidth(itemNo, last));
  return changed;
}

void TRDEditRDData::SetParaStartWithUndo(int itemNo, bool continuesPara, bool& fullReformat,
                                         int paraNo) {
  fullReformat = false;
  TCustomRDItemInfo* item = GetItem(itemNo);
  if (item->IsFullLine()) return;
  if (!continuesPara && !item->GetContinuesPara()) return;
  if (continuesPara) {
    bool full = false;
    SetLineBreakWithUndo(itemNo, false, full);
    fullReformat = full;
    SetPageBreakWithUndo(itemNo, false);
  }
  int last = -1;
  if (itemNo + 1 < GetItemCount() && !GetItem(itemNo + 1)->IsParaStart()) {
    last = itemNo + 1;
    while (last + 1 < GetItemCount() && !GetItem(last + 1)->IsParaStart()) ++last;
  }
  if (auto* record = NewRecord<TRDUndoNewLineInfo>(rdrkNewLine, itemNo)) {
    record->SameAsPrev = item->GetContinuesPara();
    record->ParaNo = item->ParaNo;
    record->LastAffectedItemNo = last;
  }
  if (last == -1) last = itemNo;
  bool full = false;
  if (!continuesPara) {
    if (paraNo != -1) SetParaNoRangeWithUndo(itemNo, last, full, paraNo);
  } else if (itemNo > 0) {
    SetParaNoRangeWithUndo(itemNo, last, full, GetItemPara(itemNo - 1));
  }
  fullReformat = fullReformat || full;
  item->SetContinuesPara(continuesPara);
}

void TRDEditRDData::SetLineBreakWithUndo(int itemNo, bool lineBreak, bool& fullReformat) {
  fullReformat = false;
  TCustomRDItemInfo* item = GetItem(itemNo);
  const bool current = item->GetContinuesPara() || item->GetLineBreakBefore();
  if (current == lineBreak) return;
  const int before = GetLinesMinWidth(itemNo, itemNo);
  if (auto* record = NewRecord<TRDUndoBRInfo>(rdrkLineBreak, itemNo)) {
    record->LineBreak = item->GetLineBreakBefore();
  }
  item->SetLineBreakBefore(lineBreak);
  fullReformat = WidthChangeNeedsFull(before, GetLinesMinWidth(itemNo, itemNo));
}

void TRDEditRDData::SetPageBreakWithUndo(int itemNo, bool pageBreak) {
  if (itemNo > 0 && GetItem(itemNo - 1)->StyleNo == rdsListMarker) --itemNo;
  ApplyPageBreak(itemNo, pageBreak);
}

void TRDEditRDData::ApplyPageBreak(int itemNo, bool pageBreak) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  const bool current = item->GetContinuesPara() || item->GetPageBreakBefore();
  if (current == pageBreak) return;
  if (auto* record = NewRecord<TRDUndoPageBreakInfo>(rdrkPageBreak, itemNo)) {
    record->PageBreak = item->GetPageBreakBefore();
  }
  item->SetPageBreakBefore(pageBreak);
}

// --- styles, tags, checkpoints --------------------------------------------------------------

void TRDEditRDData::SetItemStyleNoWithUndo(int itemNo, int styleNo) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  if (item->StyleNo < 0 || item->StyleNo == styleNo) return;
  if (auto* record = NewRecord<TRDUndoStyleNoInfo>(rdrkStyleNo, itemNo)) {
    record->StyleNo = item->StyleNo;
  }
  if (const TRDStyle* style = GetRDStyle()) {
    const bool wasUnicode = style->TextStyles().Items(GetActualStyle(*item)).Unicode;
    const bool isUnicode = style->TextStyles().Items(ResolveStyleNo(styleNo, item->ParaNo)).Unicode;
    if (wasUnicode && !isUnicode) item->ItemOptions &= TRDItemOptions(~rdioUnicodeText);
    if (!wasUnicode && isUnicode) item->ItemOptions |= rdioUnicodeText;
  }
  item->StyleNo = styleNo;
}

void TRDEditRDData::SetAssociatedTextStyleWithUndo(int itemNo, int styleNo) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  if (item->GetAssociatedTextStyleNo() == styleNo) return;
  if (auto* record = NewRecord<TRDUndoAssociatedTextStyleNoInfo>(rdrkStyleNo, itemNo)) {
    record->StyleNo = item->GetAssociatedTextStyleNo();
  }
  item->SetAssociatedTextStyleNo(styleNo);
}

void TRDEditRDData::SetItemTagWithUndo(int itemNo, const TRDTag& tag) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  if (item->Tag == tag) return;
  if (auto* record = NewRecord<TRDUndoTagInfo>(rdrkTag, itemNo)) {
    record->Tag = CopyItemTag(item->Tag, TagsArePChars());
    record->TagsArePChars = TagsArePChars();
  }
  item->Tag = CopyItemTag(tag, TagsArePChars());
}

void TRDEditRDData::AttachCheckpoint(int itemNo, std::unique_ptr<TRDCPInfo> cp) {
  TRDCPInfo* raw = cp.get();
  if (itemNo == -1) {
    raw->ItemInfo = nullptr;
    NotAddedCP = std::move(cp);
  } else {
    TCustomRDItemInfo* item = GetItem(itemNo);
    raw->ItemInfo = item;
    item->Checkpoint = std::move(cp);
  }
  ++CPCount;
  InsertCheckpointSorted(raw, itemNo);
}

void TRDEditRDData::AddCheckpointWithUndo(int itemNo, std::unique_ptr<TRDCPInfo> cp) {
  const bool taken = itemNo == -1 ? NotAddedCP != nullptr : GetItem(itemNo)->Checkpoint != nullptr;
  if (taken) throw ERichDocError("Checkpoint error");
  if (!cp) return;
  NewRecord<TRDUndoAddCPInfo>(rdrkCheckpoint, itemNo);
  AttachCheckpoint(itemNo, std::move(cp));
}

void TRDEditRDData::DeleteCheckpointWithUndo(int itemNo) {
  std::unique_ptr<TRDCPInfo>& place = itemNo == -1 ? NotAddedCP : GetItem(itemNo)->Checkpoint;
  if (!place) throw ERichDocError("Checkpoint error");
  std::unique_ptr<TRDCPInfo> cp = std::move(place);
  if (itemNo != -1)
    UnlinkCheckpoint(cp.get(), true);
  else if (CPCount > 0)
    --CPCount;
  if (auto* record = NewRecord<TRDUndoDeleteCPInfo>(rdrkCheckpoint, itemNo)) {
    record->Checkpoint = std::move(cp);
    record->TagsArePChars = TagsArePChars();
  }
}

void TRDEditRDData::MoveCheckpointWithUndo(int fromItemNo, int toItemNo) {
  const TRDCPInfo* from = GetItem(fromItemNo)->Checkpoint.get();
  if (!from) return;
  std::unique_ptr<TRDCPInfo> copy = CopyCheckpoint(*from, TagsArePChars());
  if (GetItem(toItemNo)->Checkpoint) DeleteCheckpointWithUndo(toItemNo);
  AddCheckpointWithUndo(toItemNo, std::move(copy));
  DeleteCheckpointWithUndo(fromItemNo);
}

// --- item properties ------------------------------------------------------------------------

void TRDEditRDData::ResizeControlWithUndo(int itemNo, int width, bool reformat, int height) {
  auto& item = CheckItemClass<TRDControlItemInfo>(itemNo);
  if (!item.Control) return;
  if (item.Control->Width() == width && item.Control->Height() == height) return;
  if (auto* record = NewRecord<TRDUndoResizeInfo>(rdrkModifyItem, itemNo)) {
    record->Width = item.Control->Width();
    record->Height = item.Control->Height();
  }
  SetControlItemSize(itemNo, width, height, reformat);
}

void TRDEditRDData::SetControlItemSize(int itemNo, int width, int height, bool reformat) {
  auto& item = CheckItemClass<TRDControlItemInfo>(itemNo);
  if (!item.Control) return;
  if (item.Control->Width() == width && item.Control->Height() == height) return;
  const int before = GetLinesMinWidth(itemNo, itemNo);
  ResizingControl = item.Control.get();
  item.Control->SetBounds(item.Control->Left(), item.Control->Top(), width, height);
  ResizingControl = nullptr;
  if (reformat) ReformatItemLine(itemNo, before);
}

void TRDEditRDData::SetExtraIntPropertyWithUndo(int itemNo, TRDExtraItemProperty prop, int value) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  int old = 0;
  if (!item->GetExtraIntProperty(prop, old) || old == value) return;
  if (auto* record = NewRecord<TRDUndoExtraIntProperty>(rdrkModifyItem, itemNo)) {
    record->Value = old;
    record->Prop = prop;
  }
  item->SetExtraIntProperty(prop, value);
}

TRDNamedProperties& TRDEditRDData::PropertyTarget(int itemNo, TRDNamedProperties* obj) const {
  if (obj) return *obj;
  if (auto* named = dynamic_cast<TRDNamedProperties*>(GetItem(itemNo))) return *named;
  throw ERichDocError("Can't get or set this kind of information for this item");
}

namespace {

template <class T>
std::unique_ptr<T> MakeRecord(TRDUndoModifyItemProps::TRecordClass undoClass,
                              TRDUndoModifyItemProps::TRecordClass plain) {
  std::unique_ptr<TRDUndoModifyItemProps> made = (undoClass ? undoClass : plain)();
  auto* typed = dynamic_cast<T*>(made.get());
  if (!typed) throw ERichDocError("Undo error");
  made.release();
  return std::unique_ptr<T>(typed);
}

}  // namespace

template <class TRecord, class TValue>
TRecord* TRDEditRDData::SetPropertyWithUndo(int itemNo, TRDNamedProperties* obj,
                                            TRDUndoModifyItemProps::TRecordClass undoClass,
                                            bool affectsSize, bool affectsWidth,
                                            const TValue& value, const std::string& propName) {
  constexpr bool kInt = std::is_same_v<TValue, int>;
  TRDNamedProperties& target = PropertyTarget(itemNo, obj);
  TValue old;
  if constexpr (kInt)
    old = GetIntProperty(target, propName);
  else
    old = GetStrProperty(target, propName);
  if (old == value) return nullptr;
  TRecord* record = nullptr;
  if (GetUndoListForRecording()) {
    auto made = MakeRecord<TRecord>(undoClass, &TRecord::Create);
    made->Kind = rdrkModifyItem;
    made->ItemNo = itemNo;
    made->PropertyName = propName;
    made->Value = std::move(old);
    made->AffectsSize = affectsSize;
    made->AffectsWidth = affectsWidth;
    made->SubObject = obj;
    record = Record(std::move(made));
  }
  TCustomRDItemInfo* item = GetItem(itemNo);
  item->BeforeUndoChangeProperty();
  if constexpr (kInt)
    SetIntProperty(target, propName, value);
  else
    SetStrProperty(target, propName, value);
  item->AfterUndoChangeProperty();
  return record;
}

TRDUndoModifyItemIntProperty* TRDEditRDData::SetIntPropertyWithUndo(
    int itemNo, TRDNamedProperties* obj, TRDUndoModifyItemProps::TRecordClass undoClass,
    bool affectsSize, bool affectsWidth, int value, const std::string& propName) {
  return SetPropertyWithUndo<TRDUndoModifyItemIntProperty>(itemNo, obj, undoClass, affectsSize,
                                                           affectsWidth, value, propName);
}

TRDUndoModifyItemStrProperty* TRDEditRDData::SetStrPropertyWithUndo(
    int itemNo, TRDNamedProperties* obj, TRDUndoModifyItemProps::TRecordClass undoClass,
    const std::string& value, const std::string& propName) {
  return SetPropertyWithUndo<TRDUndoModifyItemStrProperty>(itemNo, obj, undoClass, false, false,
                                                           value, propName);
}

void TRDEditRDData::SetIntPropertiesWithUndo(
    int itemNo, TRDNamedProperties* obj, TRDUndoModifyItemProps::TRecordClass undoClass,
    bool affectsSize, bool affectsWidth, const std::vector<std::pair<std::string, int>>& props) {
  TRDNamedProperties& target = PropertyTarget(itemNo, obj);
  TRDUndoModifyItemIntProperties* record = nullptr;
  if (GetUndoListForRecording()) {
    auto made = MakeRecord<TRDUndoModifyItemIntProperties>(undoClass,
                                                           &TRDUndoModifyItemIntProperties::Create);
    made->Kind = rdrkModifyItem;
    made->ItemNo = itemNo;
    made->AffectsSize = affectsSize;
    made->AffectsWidth = affectsWidth;
    made->SubObject = obj;
    record = Record(std::move(made));
  }
  TCustomRDItemInfo* item = GetItem(itemNo);
  item->BeforeUndoChangeProperty();
  struct TAfter {
    TCustomRDItemInfo* item;
    ~TAfter() { item->AfterUndoChangeProperty(); }
  } after{item};
  for (auto it = props.rbegin(); it != props.rend(); ++it) {
    const int old = GetIntProperty(target, it->first);
    if (old == it->second) continue;
    if (record) record->Properties.emplace_back(it->first, old);
    SetIntProperty(target, it->first, it->second);
  }
}

void TRDEditRDData::AddModifyItemTerminator(int itemNo, bool opening) {
  if (!GetUndoListForRecording()) return;
  auto record = std::make_unique<TRDUndoModifyItemTerminator>();
  record->ItemNo = itemNo;
  record->Opening = opening;
  Record(std::move(record));
}

void TRDEditRDData::AddReformatRangeRecord(int first, int last, bool fullRoot) {
  if (auto* record = NewRecord<TRDUndoReformateRange>(rdrkReformat, first)) {
    record->LastAffectedItemNo = last;
    record->FullRoot = fullRoot;
  }
}

// --- joining ------------------------------------------------------------------------------

void TRDEditRDData::JoinWithNextItemWithUndo(int itemNo) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  TCustomRDItemInfo* next = GetItem(itemNo + 1);
  bool full = false;
  if (IsUnicodeItem(item->ItemOptions) != IsUnicodeItem(next->ItemOptions) &&
      !GetItemTextRaw(itemNo + 1).empty()) {
    // The next item takes this one's place in the paragraph structure instead.
    if (item->IsParaStart()) SetParaStartWithUndo(itemNo + 1, false, full, item->ParaNo);
    if (item->GetLineBreakBefore()) SetLineBreakWithUndo(itemNo + 1, true, full);
    if (item->Checkpoint && !next->Checkpoint)
      AddCheckpointWithUndo(itemNo + 1, CopyCheckpoint(*item->Checkpoint, TagsArePChars()));
    DeleteItemWithUndo(itemNo, full);
    return;
  }
  int styleNo = -1;
  if (GetItemTextRaw(itemNo).empty()) {
    styleNo = next->StyleNo;
    SetItemTagWithUndo(itemNo, next->Tag);
  }
  InsertSubstringWithUndo(itemNo, GetItemLength(itemNo) + 1, GetItemTextRaw(itemNo + 1));
  if (next->Checkpoint && !item->Checkpoint)
    AddCheckpointWithUndo(itemNo, CopyCheckpoint(*next->Checkpoint, TagsArePChars()));
  DeleteItemWithUndo(itemNo + 1, full);
  if (styleNo != -1) SetItemStyleNoWithUndo(itemNo, styleNo);
}

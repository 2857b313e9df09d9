#include "richtext/model/rd_data.h"

#include <algorithm>

#include "richtext/base/code_pages.h"
#include "richtext/base/line_break.h"
#include "richtext/base/text_routines.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/marker_list.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"

namespace {

constexpr int kDefaultSpacesInTab = 8;
constexpr char kDefaultDelimiters[] = " .;,:(){}\"/\\<>!?[]\x91\x92\x93\x94-+*=\xA0\x84\x85";
constexpr char16_t kLinearSeparator = u'\r';

// A control item is one from its construction on.
int ControlItems(const TCustomRDItemInfo* item) {
  return item && item->StyleNo == rdsComponent ? 1 : 0;
}

}  // namespace

// --- item list ------------------------------------------------------------------------------

void TRDItemList::ThrowIndexError(int index) {
  throw ERDListIndexError(index);
}

const std::string& TRDItemList::Strings(int index) const {
  Check(index);
  return store_->entries[size_t(index)].Text;
}

void TRDItemList::SetString(int index, std::string text) {
  Check(index);
  store_->entries[size_t(index)].Text = std::move(text);
}

void TRDItemList::Add(std::string text, std::unique_ptr<TCustomRDItemInfo> item) {
  store_->control_count += ControlItems(item.get());
  store_->entries.push_back(Entry{std::move(text), std::move(item)});
}

void TRDItemList::Insert(int index, std::string text, std::unique_ptr<TCustomRDItemInfo> item) {
  if (index < 0 || index > Count()) throw ERDListIndexError(index);
  store_->control_count += ControlItems(item.get());
  store_->entries.insert(store_->entries.begin() + index, Entry{std::move(text), std::move(item)});
}

std::unique_ptr<TCustomRDItemInfo> TRDItemList::TakeObject(int index) {
  Check(index);
  store_->control_count -= ControlItems(store_->entries[size_t(index)].Item.get());
  return std::move(store_->entries[size_t(index)].Item);
}

std::vector<std::unique_ptr<TCustomRDItemInfo>> TRDItemList::Delete(int index, int count) {
  std::vector<std::unique_ptr<TCustomRDItemInfo>> removed;
  if (count <= 0) return removed;
  Check(index);
  Check(index + count - 1);
  for (int i = index; i < index + count; ++i) {
    store_->control_count -= ControlItems(store_->entries[size_t(i)].Item.get());
    removed.push_back(std::move(store_->entries[size_t(i)].Item));
  }
  store_->entries.erase(store_->entries.begin() + index, store_->entries.begin() + index + count);
  return removed;
}

std::vector<std::pair<std::string, std::unique_ptr<TCustomRDItemInfo>>> TRDItemList::Take(
    int index, int count) {
  std::vector<std::pair<std::string, std::unique_ptr<TCustomRDItemInfo>>> taken;
  if (count <= 0) return taken;
  Check(index);
  Check(index + count - 1);
  taken.reserve(size_t(count));
  for (int i = index; i < index + count; ++i) {
    Entry& entry = store_->entries[size_t(i)];
    store_->control_count -= ControlItems(entry.Item.get());
    taken.emplace_back(std::move(entry.Text), std::move(entry.Item));
  }
  store_->entries.erase(store_->entries.begin() + index, store_->entries.begin() + index + count);
  return taken;
}

void TRDItemList::InsertPlaced(std::vector<TPlaced> entries) {
  if (entries.empty()) return;
  auto& list = store_->entries;
  const int oldCount = Count(), newCount = oldCount + int(entries.size());
  if (entries.front().Index < 0 || entries.back().Index >= newCount)
    throw ERDListIndexError(entries.back().Index);
  list.resize(size_t(newCount));
  // From the end: each old entry moves up by the number of new ones before it.
  int from = oldCount - 1;
  for (int to = newCount - 1, k = int(entries.size()) - 1; k >= 0; --to) {
    if (to == entries[size_t(k)].Index) {
      TPlaced& placed = entries[size_t(k--)];
      store_->control_count += ControlItems(placed.Item.get());
      list[size_t(to)] = Entry{std::move(placed.Text), std::move(placed.Item)};
    } else {
      list[size_t(to)] = std::move(list[size_t(from--)]);
    }
  }
}

void TRDItemList::DeleteTaken(std::vector<int> indices) {
  if (indices.empty()) return;
  std::sort(indices.begin(), indices.end());
  for (int index : indices) {
    Check(index);
    if (store_->entries[size_t(index)].Item) throw ERDListIndexError(index);
  }
  auto& list = store_->entries;
  size_t to = size_t(indices.front()), k = 0;
  for (size_t from = to; from < list.size(); ++from) {
    if (k < indices.size() && from == size_t(indices[k])) {
      ++k;
      continue;
    }
    list[to++] = std::move(list[from]);
  }
  list.resize(to);
}

int TRDItemList::IndexOfObject(const TCustomRDItemInfo* item) const {
  // From the end: the item asked for is most often one just added (a table an import
  // appended, whose cells then ask where it stands).
  for (int i = Count() - 1; i >= 0; --i)
    if (store_->entries[size_t(i)].Item.get() == item) return i;
  return -1;
}

// --- life cycle -------------------------------------------------------------------------------

TCustomRDData::TCustomRDData() = default;

TCustomRDData::~TCustomRDData() {
  // Only this class's part is left to clear here: a descendant with its own Clear calls
  // it from its own destructor, while its state still exists.
  TCustomRDData::Clear();
}

void TCustomRDData::DoItemAction(TRDItemAction action, TCustomRDItemInfo* item, std::string&,
                                 TCustomRDData*) {
  if (OnItemAction) OnItemAction(this, action, item);
}

std::string TCustomRDData::GetDelimiters() const {
  // A sub-document (a table cell) breaks words as the viewer that shows it does.
  if (TCustomRDData* root = const_cast<TCustomRDData*>(this)->GetAbsoluteRootData(); root != this)
    return root->GetDelimiters();
  return kDefaultDelimiters;
}

void TCustomRDData::DoJump(int) {}

// --- appending --------------------------------------------------------------------------------

std::string TCustomRDData::SanitizeItemText(std::string s, bool unicode) {
  if (!unicode) {
    for (char& c : s) {
      if (c == '\r' || c == '\n')
        c = ' ';
      else if (c == '\0')
        c = '?';
    }
    return s;
  }
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    if (s[i + 1] != '\0') continue;
    if (s[i] == '\r' || s[i] == '\n')
      s[i] = ' ';
    else if (s[i] == '\0')
      s[i] = '?';
  }
  return s;
}

std::string TCustomRDData::ExpandTabs(const std::string& s, int styleNo, bool unicode) const {
  const TRDStyle* rdStyle = GetRDStyle();
  int spaces = kDefaultSpacesInTab;
  if (rdStyle) {
    // Without a tab width the tab stays a tab (the formatter lays it out to the next stop)
    // rather than vanishing from the text.
    if (rdStyle->SpacesInTab < 1) return s;
    spaces = rdStyle->SpacesInTab;
    unicode = rdStyle->TextStyles().Items(styleNo).Unicode;
  }
  return unicode ? ReplaceTabsW(s, spaces) : ReplaceTabs(s, spaces);
}

void TCustomRDData::AddText(const std::string& s, int styleNo, int paraNo) {
  AddTextWithTag(s, styleNo, paraNo, TRDTag{});
}

void TCustomRDData::AddTextWithTag(const std::string& s, int styleNo, int paraNo,
                                   const TRDTag& tag) {
  std::unique_ptr<TCustomRDItemInfo> item = RichDocTextItemClass(this);
  item->StyleNo = styleNo < 0 ? kFollowParaStyleNo : styleNo;
  item->ParaNo = paraNo;
  item->Tag = tag;
  bool unicode = false;
  if (const TRDStyle* rdStyle = GetRDStyle()) {
    unicode =
        rdStyle->TextStyles().Items(ResolveStyleNo(item->StyleNo, std::max(paraNo, 0))).Unicode;
    if (unicode) item->ItemOptions |= rdioUnicodeText;
  }
  std::string text = SanitizeItemText(
      ExpandTabs(s, ResolveStyleNo(item->StyleNo, std::max(paraNo, 0)), unicode), unicode);
  if (unicode && text.size() % 2 != 0)
    text.pop_back();  // half a character cannot be shown or saved
  AddItemAtEnd(std::move(text), std::move(item));
}

void TCustomRDData::AddItemAtEnd(std::string s, std::unique_ptr<TCustomRDItemInfo> item) {
  const int count = Items.Count();
  TCustomRDItemInfo* last = count > 0 ? Items.Objects(count - 1) : nullptr;
  if (item->ParaNo == -1 && last && !last->IsFullLine()) {
    item->SetContinuesPara(true);
    item->ParaNo = last->ParaNo;
  } else {
    if (last && last->StyleNo == rdsListMarker) {
      std::unique_ptr<TCustomRDItemInfo> filler = RichDocTextItemClass(this);
      filler->StyleNo = 0;
      filler->ParaNo = -1;
      AddItemAtEnd("", std::move(filler));
    }
    item->ItemOptions &= TRDItemOptions(~rdioContinuesPara);
    const bool lineBreak =
        (item->GetLineBreakBefore() || !NewLinesStartParas) && !item->IsFullLine();
    if (lineBreak)
      item->ItemOptions |= rdioLineBreakBefore;
    else
      item->ItemOptions &= TRDItemOptions(~rdioLineBreakBefore);
  }
  if (item->ParaNo == -1) item->ParaNo = 0;
  if (item->Checkpoint) {
    // An item moved in from another document brings its checkpoint's name, flag and tag;
    // its former record stays with the source.
    SetPendingCheckpoint(item->Checkpoint->Name, item->Checkpoint->RaiseEvent,
                         item->Checkpoint->Tag);
    item->Checkpoint.reset();
  }
  AppendItemAsIs(std::move(s), std::move(item));
}

void TCustomRDData::AppendItemAsIs(std::string s, std::unique_ptr<TCustomRDItemInfo> item) {
  if (NotAddedCP) LinkPendingCheckpoint(*item);
  TCustomRDItemInfo* raw = item.get();
  raw->NotifyData(this, s);
  Items.Add(std::move(s), std::move(item));
  raw->NotifyDataEx(this);
  if (raw->StyleNo == rdsListMarker) AddMarkerToList(Items.Count() - 1);
}

// --- deleting ---------------------------------------------------------------------------------

void TCustomRDData::FreeItemObject(std::unique_ptr<TCustomRDItemInfo>& item) {
  if (!item) return;
  if (item->Checkpoint) {
    UnlinkCheckpoint(item->Checkpoint.get(), true);
    item->Checkpoint.reset();
  }
  item.reset();
}

void TCustomRDData::FreeItem(int itemNo, bool clearing) {
  // Clearing the root drops its whole marker list at once.
  if (!clearing || GetAbsoluteRootData() != this) RemoveMarkerFromList(itemNo);
  std::string text = Items.Strings(itemNo);
  DoItemAction(rdiaDestroying, Items.Objects(itemNo), text, this);
  std::unique_ptr<TCustomRDItemInfo> item = Items.TakeObject(itemNo);
  FreeItemObject(item);
}

void TCustomRDData::DeleteItems(int first, int count) {
  if (first < 0 || first >= Items.Count() || count <= 0) return;
  count = std::min(count, Items.Count() - first);
  for (int i = first; i < first + count; ++i) FreeItem(i, false);
  Items.Delete(first, count);
}

void TCustomRDData::Clear() {
  const bool wasClearing = State & rddsClearing;
  State |= rddsClearing;
  // The whole list goes first: markers in tables are freed with their cells, which
  // would otherwise take them out of a list still naming the markers freed before.
  if (GetAbsoluteRootData() == this) markers_.reset();
  for (int i = 0; i < Items.Count(); ++i) FreeItem(i, true);
  Items.Delete(0, Items.Count());
  NotAddedCP.reset();
  FirstCP = LastCP = nullptr;
  CPCount = 0;
  if (!wasClearing) State &= ~rddsClearing;
}

// --- queries ----------------------------------------------------------------------------------

int TCustomRDData::ResolveStyleNo(int styleNo, int paraNo) const {
  if (styleNo != kFollowParaStyleNo) return styleNo;
  const TRDStyle* rdStyle = GetRDStyle();
  if (!rdStyle) return 0;
  int defStyleNo = rdStyle->ParaStyles().Items(paraNo).DefStyleNo;
  return defStyleNo < 0 ? 0 : defStyleNo;
}

bool TCustomRDData::IsPageBreakBefore(int itemNo) const {
  if (itemNo < 0 || itemNo >= Items.Count()) throw ERichDocError("Item index is out of bounds");
  if (itemNo > 0 && GetItem(itemNo - 1)->StyleNo == rdsListMarker)
    return GetItem(itemNo - 1)->GetPageBreakBefore();
  return GetItem(itemNo)->GetPageBreakBefore();
}

int TCustomRDData::GetItemLength(int itemNo) const {
  const TCustomRDItemInfo* item = GetItem(itemNo);
  return item->StyleNo >= 0 ? GetItemTextLength(Items.Strings(itemNo), item->ItemOptions) : 1;
}

int TCustomRDData::GetItemEndOffset(int itemNo) const {
  return GetItem(itemNo)->StyleNo >= 0 ? GetItemLength(itemNo) + 1 : 1;
}

void TCustomRDData::GetOutputRange(int& startItem, int& startOffset, int& endItem,
                                   int& endOffset) const {
  startItem = 0;
  startOffset = Items.Count() > 0 ? GetItemStartOffset(0) : 0;
  endItem = Items.Count() - 1;
  endOffset = endItem >= 0 ? GetItemEndOffset(endItem) : 0;
}

void TCustomRDData::PropagateParaNo(int itemNo) {
  if (Items.Count() == 0) return;
  itemNo = std::min(itemNo, Items.Count() - 1);
  int first = GetFirstItemOfPara(itemNo);
  const int paraNo = GetItem(first)->ParaNo;
  for (int i = first + 1; i < Items.Count() && !GetItem(i)->IsParaStart(); ++i)
    GetItem(i)->ParaNo = paraNo;
}

void TCustomRDData::ClampItemNo(int& itemNo) const {
  itemNo = Items.Count() == 0 ? 0 : std::clamp(itemNo, 0, Items.Count() - 1);
}

int TCustomRDData::GetFirstItemOfPara(int itemNo) const {
  while (itemNo > 0 && !GetItem(itemNo)->IsParaStart()) --itemNo;
  return std::max(itemNo, 0);
}

int TCustomRDData::GetFirstItemOfLine(int itemNo) const {
  while (itemNo > 0 && GetItem(itemNo)->GetContinuesPara()) --itemNo;
  return std::max(itemNo, 0);
}

void TCustomRDData::ExpandRangeToParas(int first, int last, int& newFirst, int& newLast) const {
  newFirst = GetFirstItemOfPara(first);
  newLast = last;
  while (newLast + 1 < Items.Count() && !GetItem(newLast + 1)->IsParaStart()) ++newLast;
}

void TCustomRDData::ExpandRangeToLines(int first, int last, int& newFirst, int& newLast) const {
  newFirst = GetFirstItemOfLine(first);
  newLast = last;
  while (newLast + 1 < Items.Count() && GetItem(newLast + 1)->GetContinuesPara()) ++newLast;
}

// --- characters, code pages and direction -----------------------------------------------------

int TCustomRDData::GetNextCharOffset(const std::string& s, int itemNo, int offset) const {
  const TRDItemOptions options = GetItemOptions(itemNo);
  if (!IsUnicodeItem(options)) return offset + 1;
  // Combining marks and low surrogates stay with the character before them.
  const int length = GetItemTextLength(s, options);
  int next = offset + 1;
  while (next <= length) {
    if (!StaysWithPrevious(RawUnicodeAt(s, size_t(next - 1)))) break;
    ++next;
  }
  return next;
}

int TCustomRDData::GetPrevCharOffset(const std::string& s, int itemNo, int offset) const {
  const TRDItemOptions options = GetItemOptions(itemNo);
  if (!IsUnicodeItem(options)) return offset - 1;
  int prev = offset - 1;
  while (prev > 1) {
    if (!StaysWithPrevious(RawUnicodeAt(s, size_t(prev - 1)))) break;
    --prev;
  }
  return prev;
}

bool TCustomRDData::IsDelimiter(char16_t ch) const {
  if (ch > 255) return false;
  return GetDelimiters().find(char(ch)) != std::string::npos;
}

bool TCustomRDData::IsDelimiterAt(const std::string& s, int index, TRDItemOptions options) const {
  if (index < 1 || index > GetItemTextLength(s, options)) return false;
  if (IsUnicodeItem(options)) return IsDelimiter(RawUnicodeAt(s, size_t(index - 1)));
  return IsDelimiter(char16_t(std::uint8_t(s[size_t(index - 1)])));
}

void TCustomRDData::ReplaceZeroChars(std::string& s) {
  std::replace(s.begin(), s.end(), '\0', '?');
}

int TCustomRDData::GetStyleCodePage(int styleNo) const {
  const TRDStyle* rdStyle = GetRDStyle();
  if (!rdStyle) return 0;
  if (styleNo < 0) return rdStyle->DefCodePage;
  int charset = rdStyle->TextStyles().Items(styleNo).Charset;
  return charset == DEFAULT_CHARSET ? rdStyle->DefCodePage : CharsetToCodePage(charset);
}

int TCustomRDData::GetDefaultCodePage() const {
  return GetRDStyle() ? GetRDStyle()->DefCodePage : 0;
}

TRDBiDiMode TCustomRDData::GetItemBiDiMode(int itemNo) const {
  const TCustomRDItemInfo* item = GetItem(itemNo);
  if (item->StyleNo >= 0 && GetRDStyle()) {
    TRDBiDiMode mode = GetRDStyle()->TextStyles().Items(GetActualStyle(*item)).BiDiMode;
    if (mode != rdbdUnspecified) return mode;
  }
  return GetParaBiDiMode(item->ParaNo);
}

TRDBiDiMode TCustomRDData::GetParaBiDiMode(int paraNo) const {
  if (GetRDStyle()) {
    TRDBiDiMode mode = GetRDStyle()->ParaStyles().Items(paraNo).BiDiMode;
    if (mode != rdbdUnspecified) return mode;
  }
  return GetBiDiMode();
}

void TCustomRDData::Beep() const {
  if (GetRDStyle() && GetRDStyle()->UseSound && OnBeep) OnBeep();
}

// --- checkpoints ------------------------------------------------------------------------------

int TCustomRDData::SetPendingCheckpoint(const std::string& name, bool raiseEvent,
                                        const TRDTag& tag) {
  if (NotAddedCP) return CPCount - 1;
  NotAddedCP = std::make_unique<TRDCPInfo>();
  NotAddedCP->Name = name;
  NotAddedCP->RaiseEvent = raiseEvent;
  NotAddedCP->Tag = CopyItemTag(tag, TagsArePChars());
  return CPCount++;
}

void TCustomRDData::LinkPendingCheckpoint(TCustomRDItemInfo& item) {
  if (!NotAddedCP) return;
  if (item.Checkpoint) UnlinkCheckpoint(item.Checkpoint.get(), true);
  // The checkpoint goes after the last checkpoint of an item before this one.
  const int itemNo = Items.IndexOfObject(&item);
  TRDCPInfo* prev = nullptr;
  for (TRDCPInfo* cp = FirstCP; cp; cp = cp->Next) {
    int cpItem = Items.IndexOfObject(cp->ItemInfo);
    if (itemNo >= 0 && cpItem > itemNo) break;
    prev = cp;
  }
  TRDCPInfo* cp = NotAddedCP.get();
  cp->ItemInfo = &item;
  cp->Prev = prev;
  cp->Next = prev ? prev->Next : FirstCP;
  if (cp->Next)
    cp->Next->Prev = cp;
  else
    LastCP = cp;
  if (prev)
    prev->Next = cp;
  else
    FirstCP = cp;
  item.Checkpoint = std::move(NotAddedCP);
}

void TCustomRDData::UnlinkCheckpoint(TRDCPInfo* cp, bool decCount) {
  if (!cp) return;
  if (cp->Prev)
    cp->Prev->Next = cp->Next;
  else if (FirstCP == cp)
    FirstCP = cp->Next;
  if (cp->Next)
    cp->Next->Prev = cp->Prev;
  else if (LastCP == cp)
    LastCP = cp->Prev;
  cp->Next = cp->Prev = nullptr;
  cp->ItemInfo = nullptr;
  if (decCount && CPCount > 0) --CPCount;
}

void TCustomRDData::FreeCheckpoint(std::unique_ptr<TRDCPInfo>& cp, bool unlink, bool decCount) {
  if (!cp) return;
  if (unlink) UnlinkCheckpoint(cp.get(), false);
  cp.reset();
  if (decCount && CPCount > 0) --CPCount;
}

TRDCPInfo* TCustomRDData::GetCheckpointBeforeY(int y) const {
  if (!FirstCP || FirstCP->Y >= y) return nullptr;
  TRDCPInfo* found = FirstCP;
  for (TRDCPInfo* cp = FirstCP->Next; cp && cp->Y < y; cp = cp->Next) found = cp;
  return found;
}

void TCustomRDData::InsertCheckpointSorted(TRDCPInfo* cp, int itemNo) {
  if (itemNo == -1 || !cp) return;
  auto itemOf = [this](const TRDCPInfo* c) { return Items.IndexOfObject(c->ItemInfo); };
  cp->Prev = cp->Next = nullptr;
  if (!FirstCP || itemNo < itemOf(FirstCP)) {
    cp->Next = FirstCP;
    if (FirstCP)
      FirstCP->Prev = cp;
    else
      LastCP = cp;
    FirstCP = cp;
    return;
  }
  if (itemNo >= itemOf(LastCP)) {
    cp->Prev = LastCP;
    LastCP->Next = cp;
    LastCP = cp;
    return;
  }
  TRDCPInfo* after = FirstCP;
  while (after->Next && itemOf(after->Next) <= itemNo) after = after->Next;
  cp->Prev = after;
  cp->Next = after->Next;
  after->Next->Prev = cp;
  after->Next = cp;
}

// --- joining ------------------------------------------------------------------------------------

bool TCustomRDData::CanJoinItems(int itemNo, const TCustomRDItemInfo& item, bool force,
                                 const TCustomRDItemInfo& nextItem) const {
  if (item.StyleNo < 0 || nextItem.StyleNo < 0) return false;
  // Only the item right after itemNo is its next: looked at, not searched for, since the
  // joins after a paste or a style ask this once for every item they touch.
  const int nextNo = itemNo + 1;
  if (itemNo < 0 || nextNo >= Items.Count() || Items.Objects(nextNo) != &nextItem) return false;
  const bool empty = Items.Strings(itemNo).empty() || Items.Strings(nextNo).empty();
  // A checkpoint stays at its place only when it can move to the start of the joined
  // item: the first item must be empty and have none of its own.
  if (nextItem.Checkpoint && !(Items.Strings(itemNo).empty() && !item.Checkpoint)) return false;
  if (empty && (force || nextItem.GetContinuesPara())) return true;
  if (item.StyleNo != nextItem.StyleNo) return false;
  if (!force && !nextItem.GetContinuesPara()) return false;
  if (IsUnicodeItem(item.ItemOptions) != IsUnicodeItem(nextItem.ItemOptions)) return false;
  if (item.Hint != nextItem.Hint || !CompareItemTags(item.Tag, nextItem.Tag, TagsArePChars()))
    return false;
  if (empty) return true;
  const TRDStyle* rdStyle = GetRDStyle();
  if (!rdStyle) return true;
  const TRDProtectOptions protection = rdStyle->TextStyles().Items(GetActualStyle(item)).Protection;
  return !(protection & (rdprModifyProtect | rdprConcateProtect));
}

void TCustomRDData::JoinItemsInRange(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, Items.Count() - 1);
  // The documents inside items of the range are joined through.
  for (int i = first; i <= last; ++i) {
    const TCustomRDItemInfo* item = GetItem(i);
    for (int k = 0; k < item->GetSubDocCount(); ++k)
      if (TCustomRDData* sub = item->GetSubDoc(k))
        sub->JoinItemsInRange(0, sub->GetItemCount() - 1);
  }
  // Joined items leave their places empty until the list closes the gaps once.
  std::vector<int> joined;
  for (int i = last; i > first; --i) {
    TCustomRDItemInfo* previous = GetItem(i - 1);
    TCustomRDItemInfo* item = GetItem(i);
    if (!CanJoinItems(i - 1, *previous, false, *item)) continue;
    if (Items.Strings(i - 1).empty() && !Items.Strings(i).empty() &&
        previous->StyleNo != item->StyleNo)
      previous->StyleNo = item->StyleNo;  // an empty item takes on the text it receives
    if (item->Checkpoint) {
      previous->Checkpoint = std::move(item->Checkpoint);
      previous->Checkpoint->ItemInfo = previous;
    }
    Items.SetString(i - 1, Items.Strings(i - 1) + Items.Strings(i));
    FreeItem(i, false);
    joined.push_back(i);
  }
  Items.DeleteTaken(std::move(joined));
}

// --- style usage ------------------------------------------------------------------------------

void TCustomRDData::MarkStylesInUse(TRDStyleUsage& usage) const {
  for (int i = 0; i < Items.Count(); ++i) GetItem(i)->MarkStylesInUse(usage);
}

void TCustomRDData::FindUsedStyles(TRDStyleUsage& usage) {
  TRDStyle* rdStyle = GetRDStyle();
  if (!rdStyle) return;
  InitStyleUsage(usage, *rdStyle);
  MarkStylesInUse(usage);
  // Used styles keep the styles they refer to; references beyond a collection are cut.
  auto follow = [](TRDIntegerList& used, int& reference, const auto& visit) {
    if (reference < 0) return;
    if (reference >= used.Count()) {
      reference = -1;
      return;
    }
    if (used[reference] == 0) {
      used.SetValue(reference, 1);
      visit(reference);
    }
  };
  if (usage.CheckParaStyles) {
    std::function<void(int)> visitPara = [&](int index) {
      TParaInfo& para = rdStyle->ParaStyles()[index];
      int base = para.BaseStyleNo();
      follow(usage.UsedParaStyles, base, visitPara);
      para.SetBaseStyleNo(base);
      follow(usage.UsedParaStyles, para.NextParaNo, visitPara);
    };
    for (int i = 0; i < usage.UsedParaStyles.Count(); ++i)
      if (usage.UsedParaStyles[i]) visitPara(i);
  }
  if (usage.CheckTextStyles) {
    std::function<void(int)> visitText = [&](int index) {
      TFontInfo& text = rdStyle->TextStyles()[index];
      int base = text.BaseStyleNo();
      follow(usage.UsedTextStyles, base, visitText);
      text.SetBaseStyleNo(base);
      follow(usage.UsedTextStyles, text.NextStyleNo, visitText);
    };
    for (int i = 0; i < rdStyle->ParaStyles().Count(); ++i)
      if (i < usage.UsedParaStyles.Count() && usage.UsedParaStyles[i])
        follow(usage.UsedTextStyles, rdStyle->ParaStyles()[i].DefStyleNo, visitText);
    follow(usage.UsedTextStyles, rdStyle->DefUnicodeStyle, visitText);
    for (int i = 0; i < usage.UsedTextStyles.Count(); ++i)
      if (usage.UsedTextStyles[i]) visitText(i);
  }
  if (usage.CheckListStyles) {
    std::function<void(int)> visitList = [&](int index) {
      TRDListInfo& list = rdStyle->ListStyles()[index];
      int base = list.BaseStyleNo();
      follow(usage.UsedListStyles, base, visitList);
      list.SetBaseStyleNo(base);
    };
    for (int i = 0; i < usage.UsedListStyles.Count(); ++i)
      if (usage.UsedListStyles[i]) visitList(i);
  }
}

void TCustomRDData::UpdateStyles(const TRDStyleUsage& usage) {
  for (int i = 0; i < Items.Count(); ++i) GetItem(i)->UpdateStyles(usage);
}

// --- inserting and moving ---------------------------------------------------------------------

void TCustomRDData::InsertItemRaw(int index, std::string s,
                                  std::unique_ptr<TCustomRDItemInfo> item) {
  TCustomRDItemInfo* raw = item.get();
  raw->NotifyData(this, s);
  Items.Insert(index, std::move(s), std::move(item));
  raw->NotifyDataEx(this);
  if (raw->StyleNo == rdsListMarker) AddMarkerToList(index);
}

void TCustomRDData::NotifyItemsInserting() {
  for (int i = 0; i < Items.Count(); ++i) {
    std::string text = Items.Strings(i);
    GetItem(i)->NotifyData(this, text);
  }
}

void TCustomRDData::MoveItemsFrom(TCustomRDData& source) {
  if (TagsArePChars() != source.TagsArePChars())
    throw ERichDocError("Can't assign RichDoc to RichDoc - tags types mismatch");
  const int count = source.Items.Count();
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(source.Items.Strings(i));
  std::vector<std::unique_ptr<TCustomRDItemInfo>> items = source.Items.Delete(0, count);
  source.FirstCP = source.LastCP = nullptr;
  source.NotAddedCP.reset();
  source.CPCount = 0;
  for (int i = 0; i < count; ++i) {
    if (items[size_t(i)]->GetContinuesPara()) items[size_t(i)]->ParaNo = -1;
    AddItemAtEnd(std::move(texts[size_t(i)]), std::move(items[size_t(i)]));
  }
  source.Clear();
}

bool TCustomRDData::EnumItems(
    const std::function<void(TCustomRDData& data, int itemNo, bool& cont)>& proc) {
  bool cont = true;
  for (int i = 0; i < Items.Count() && cont; ++i) {
    proc(*this, i, cont);
    const TCustomRDItemInfo* item = GetItem(i);
    for (int d = 0; d < item->GetSubDocCount() && cont; ++d)
      if (TCustomRDData* sub = item->GetSubDoc(d)) cont = sub->EnumItems(proc);
  }
  return cont;
}

int TCustomRDData::ComparePositions(TCustomRDData& data1, int itemNo1, TCustomRDData& data2,
                                    int itemNo2) {
  // Every document from data1 up to its root, with the item number that leads down.
  struct Level {
    TCustomRDData* Data;
    int ItemNo;
    bool Inner;  // the position lies inside that item (in a sub-document)
  };
  std::vector<Level> chain;
  for (Level level{&data1, itemNo1, false}; level.Data;) {
    chain.push_back(level);
    level = Level{level.Data->GetAbsoluteParentData(), level.Data->GetParentItemNo(), true};
  }
  for (Level other{&data2, itemNo2, false}; other.Data;) {
    for (const Level& mine : chain) {
      if (mine.Data != other.Data) continue;
      if (mine.ItemNo != other.ItemNo) return mine.ItemNo - other.ItemNo;
      // A position inside the item counts after the item's own position.
      return int(mine.Inner) - int(other.Inner);
    }
    other = Level{other.Data->GetAbsoluteParentData(), other.Data->GetParentItemNo(), true};
  }
  throw ERichDocError("Error when comparing positions in the document");
}

// --- linear positions -------------------------------------------------------------------------
//
// A document reads as one run of characters: a separator before every item that starts
// a line, a text item's characters, 1 for any other item; an item that holds documents
// gives, for each of them, that document's run and one separator after it. Positions
// count from the start of the root's run, less the separator before its item 0.

namespace {

// Document index of item: the editor open on it holds its items while it is edited in
// place (a table cell).
TCustomRDData* SubDocContent(const TCustomRDItemInfo& item, int index) {
  TCustomRDData* sub = item.GetSubDoc(index);
  return sub ? sub->GetInplaceEditorData() : nullptr;
}

int LinearContentLength(const TCustomRDData& data, int itemNo);

int LinearRunLength(const TCustomRDData& data) {
  int length = 0;
  for (int i = 0; i < data.GetItemCount(); ++i)
    length += int(data.IsItemLineStart(i)) + LinearContentLength(data, i);
  return length;
}

// What an item adds after its separator.
int LinearContentLength(const TCustomRDData& data, int itemNo) {
  const TCustomRDItemInfo* item = data.GetItem(itemNo);
  const int docs = item->GetSubDocCount();
  if (docs == 0) return item->StyleNo >= 0 ? data.GetItemLength(itemNo) : 1;
  int length = 0;
  for (int k = 0; k < docs; ++k)
    if (const TCustomRDData* sub = SubDocContent(*item, k)) length += LinearRunLength(*sub) + 1;
  return length;
}

// Counts data's run up to (target, itemNo, offset) into position; true when reached.
bool CountLinearTo(const TCustomRDData& data, const TCustomRDData& target, int itemNo, int offset,
                   int& position) {
  for (int i = 0; i < data.GetItemCount(); ++i) {
    if (data.IsItemLineStart(i)) ++position;
    const TCustomRDItemInfo* item = data.GetItem(i);
    if (&data == &target && i == itemNo) {
      if (item->StyleNo >= 0)
        position += offset - 1;
      else if (offset > 0)
        position += LinearContentLength(data, i);
      return true;
    }
    const int docs = item->GetSubDocCount();
    if (docs == 0) {
      position += LinearContentLength(data, i);
      continue;
    }
    for (int k = 0; k < docs; ++k) {
      const TCustomRDData* sub = SubDocContent(*item, k);
      if (sub && CountLinearTo(*sub, target, itemNo, offset, position)) return true;
      ++position;
    }
  }
  return false;
}

struct TLinearPlace {
  TCustomRDData* data = nullptr;
  int itemNo = 0;
  int offset = 0;
};

// Finds the place of position target in data's run, counted from position; false when
// the run ends before it (place then holds the run's end).
bool FindLinear(TCustomRDData& data, int target, int& position, TLinearPlace& place) {
  for (int i = 0; i < data.GetItemCount(); ++i) {
    if (data.IsItemLineStart(i)) {
      if (target <= position) {  // on the separator before item i: its start
        place = {&data, i, data.GetItemStartOffset(i)};
        return true;
      }
      ++position;
    }
    const TCustomRDItemInfo* item = data.GetItem(i);
    const int docs = item->GetSubDocCount();
    if (docs == 0) {
      const int length = LinearContentLength(data, i);
      place = {&data, i, data.GetItemEndOffset(i)};
      if (target <= position + length) {
        const int offset = item->StyleNo >= 0 ? target - position + 1 : target - position;
        place.offset = std::clamp(offset, data.GetItemStartOffset(i), data.GetItemEndOffset(i));
        return true;
      }
      position += length;
      continue;
    }
    for (int k = 0; k < docs; ++k) {
      TCustomRDData* sub = SubDocContent(*item, k);
      if (sub && FindLinear(*sub, target, position, place)) return true;
      if (target <= position) return true;  // on the separator after a document: its end
      ++position;
    }
    place = {&data, i, data.GetItemEndOffset(i)};
  }
  return false;
}

void AppendLinearText(const TCustomRDData& data, std::u16string& text) {
  for (int i = 0; i < data.GetItemCount(); ++i) {
    if (data.IsItemLineStart(i)) text.push_back(kLinearSeparator);
    const TCustomRDItemInfo* item = data.GetItem(i);
    if (const int docs = item->GetSubDocCount(); docs > 0) {
      for (int k = 0; k < docs; ++k) {
        if (const TCustomRDData* sub = SubDocContent(*item, k)) AppendLinearText(*sub, text);
        text.push_back(kLinearSeparator);
      }
    } else if (item->StyleNo >= 0) {
      const std::string& s = data.GetItemTextRaw(i);
      if (IsUnicodeItem(item->ItemOptions))
        text += RawUnicodeToWideString(s);
      else
        text += RawUnicodeToWideString(
            AnsiToRawUnicode(data.GetStyleCodePage(data.GetActualStyle(*item)), s));
    } else {
      text.push_back(item->StyleNo == rdsTab ? u'\t' : u' ');
    }
  }
}

}  // namespace

int TCustomRDData::ItemToLinear(const TCustomRDData& target, int itemNo, int offset) const {
  int position = 0;
  CountLinearTo(*this, target, itemNo, offset, position);
  return Items.Count() > 0 && IsItemLineStart(0) ? position - 1 : position;
}

int TCustomRDData::ItemToLinear(int itemNo, int offset) const {
  return ItemToLinear(*this, itemNo, offset);
}

void TCustomRDData::LinearToItem(int linear, TCustomRDData*& data, int& itemNo, int& offset) {
  int position = Items.Count() > 0 && IsItemLineStart(0) ? -1 : 0;
  TLinearPlace place{this, 0, Items.Count() > 0 ? GetItemStartOffset(0) : 0};
  FindLinear(*this, linear, position, place);
  data = place.data;
  itemNo = place.itemNo;
  offset = place.offset;
}

void TCustomRDData::LinearToItem(int linear, int& itemNo, int& offset) {
  TCustomRDData* data = nullptr;
  LinearToItem(linear, data, itemNo, offset);
}

std::string TCustomRDData::GetTextRange(int cpMin, int cpMax) const {
  std::u16string text;
  AppendLinearText(*this, text);
  if (!text.empty() && IsItemLineStart(0)) text.erase(0, 1);
  const int total = int(text.size());
  cpMin = std::clamp(cpMin, 0, total);
  const int end = cpMax < 0 ? total : std::clamp(cpMax, cpMin, total);
  return WideStringToRawUnicode(
      std::u16string_view(text).substr(size_t(cpMin), size_t(end - cpMin)));
}

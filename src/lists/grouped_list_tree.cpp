// The items of the grouped list: groups and their rows in position trees, their storage
// in blocks, folding, updates and the order the sort column gives them.
#include <algorithm>
#include <climits>
#include <new>

#include "lists/grouped_list_drag.h"
#include "lists/section_grouped_list.h"
#include "platform/text/cp1252.h"
#include "platform/text/sysutils.h"
#include "platform/text/wide_text.h"

namespace {

// The owner's block starts after the record, aligned for any type.
constexpr size_t kHeaderSize = (sizeof(TOGLItem) + alignof(std::max_align_t) - 1) /
                               alignof(std::max_align_t) * alignof(std::max_align_t);

POGLItem NodeOfHook(TPositionHook* Hook) {
  if (!Hook) return nullptr;
  return reinterpret_cast<POGLItem>(reinterpret_cast<char*>(Hook) - offsetof(TOGLItem, Hook));
}

constexpr size_t kNodesPerBlock = 256;

}  // namespace

int TOGLItem::Index() const {
  return Parent ? TPositionTree::PositionOf(&Hook) : 0;
}

// --- tree -------------------------------------------------------------------------------

POGLItem TSectionGroupedList::AddItem(POGLItem Parent) {
  if (!Parent) Parent = root_;
  if (Parent != root_ && Parent->Parent != root_) return nullptr;
  POGLItem node = NewNode();
  if (Parent == root_) node->Flags |= TOGLItem::IsGroupFlag;
  if (AutoOptions & toAutoExpandOnCreate) node->Flags |= TOGLItem::Expanded;
  LinkLast(node, Parent);
  ++Parent->ChildCount;
  ++root_->NodeCount;
  if (OnInitItem) OnInitItem(this, node);
  CountChanged();
  if (Parent == root_ && root_->ChildCount == 1) {
    focused_ = node;
    anchor_ = node;
  }
  if ((AutoOptions & toAutoSort) && sort_column_ > -2 && Parent == root_) {
    SortChildren(root_, sort_column_, sort_direction_);
  }
  return node;
}

POGLItem TSectionGroupedList::ChildAt(POGLItem Parent, int Index) const {
  if (!Parent) Parent = root_;
  return NodeOfHook(Parent->Children.At(Index));
}

// The focus goes to the next sibling, else the last item of an expanded group before,
// else the previous sibling, else (for an item) the group. The anchor goes with it: a
// freed node must never start a later Shift range.
void TSectionGroupedList::MoveFocusFrom(POGLItem Item) {
  POGLItem next = Item->NextSibling;
  if (!next && Item->PrevSibling) {
    POGLItem prev = Item->PrevSibling;
    next = IsGroup(prev) && IsGroupExpanded(prev) ? prev->LastChild : prev;
  }
  if (!next && !IsGroup(Item)) next = Item->Parent;
  focused_ = nullptr;
  if (next) {
    SetFocusedItem(next, true);
  } else {
    anchor_ = nullptr;
  }
}

// Takes Item out of its parent's sibling chain and position tree; its own links stay.
void TSectionGroupedList::Unlink(POGLItem Item) {
  POGLItem parent = Item->Parent;
  if (Item->PrevSibling) {
    Item->PrevSibling->NextSibling = Item->NextSibling;
  } else {
    parent->FirstChild = Item->NextSibling;
  }
  if (Item->NextSibling) {
    Item->NextSibling->PrevSibling = Item->PrevSibling;
  } else {
    parent->LastChild = Item->PrevSibling;
  }
  parent->Children.Remove(&Item->Hook);
}

void TSectionGroupedList::LinkLast(POGLItem Item, POGLItem Parent) {
  Item->Parent = Parent;
  Item->PrevSibling = Parent->LastChild;
  Item->NextSibling = nullptr;
  if (Parent->LastChild) {
    Parent->LastChild->NextSibling = Item;
  } else {
    Parent->FirstChild = Item;
  }
  Parent->LastChild = Item;
  Parent->Children.Insert(&Item->Hook, Parent->Children.Count());
}

void TSectionGroupedList::Release(POGLItem Item) {
  DeselectItem(Item, false);
  ForgetHint(Item);
  // A group takes the focus of its items along: its children go with it.
  if (focused_ == Item || (focused_ && focused_->Parent == Item)) MoveFocusFrom(Item);
  if (anchor_ == Item || (anchor_ && anchor_->Parent == Item)) anchor_ = focused_;
  if (Item == drop_target_) drop_target_ = nullptr;
}

void TSectionGroupedList::ReleaseItem(POGLItem Item) {
  if (!Item || Item == root_ || IsGroup(Item)) return;
  Release(Item);
  Changed();
}

void TSectionGroupedList::MoveItemToEnd(POGLItem Item) {
  if (!Item || Item == root_ || IsGroup(Item)) return;
  Release(Item);
  POGLItem parent = Item->Parent;
  Unlink(Item);
  LinkLast(Item, parent);
  Changed();
}

void TSectionGroupedList::DeleteItem(POGLItem Item) {
  if (!Item || Item == root_) return;
  POGLItem parent = Item->Parent;
  const bool parentDeleting = parent->Has(TOGLItem::Deleting);
  Release(Item);
  if (IsGroup(Item)) {
    Item->Flags |= TOGLItem::Deleting;
    DeleteChildren(Item);
  }
  Unlink(Item);
  --parent->ChildCount;
  parent->SelectedCount = std::min(parent->SelectedCount, parent->ChildCount);
  --root_->NodeCount;
  FreeNode(Item);
  if (!parentDeleting && !root_->Has(TOGLItem::Deleting)) {
    CountChanged();
    if (!destroying_) Changed();
  }
}

void* TSectionGroupedList::TNodeBlocks::Take(size_t Size) {
  constexpr size_t kAlign = alignof(std::max_align_t);
  Size = std::max((Size + kAlign - 1) / kAlign * kAlign, sizeof(void*));
  if (out_ == 0 && Size != size_) {
    Release();
    size_ = Size;
  }
  ++out_;
  if (free_) {
    void* node = free_;
    free_ = *static_cast<void**>(node);
    return node;
  }
  if (unused_ == 0) {
    const size_t bytes = size_ * kNodesPerBlock;
    blocks_.push_back(::operator new(bytes));
    unused_ = kNodesPerBlock;
  }
  return static_cast<char*>(blocks_.back()) + size_ * (kNodesPerBlock - unused_--);
}

void TSectionGroupedList::TNodeBlocks::Give(void* Node) {
  *static_cast<void**>(Node) = free_;
  free_ = Node;
  if (--out_ == 0) Release();
}

void TSectionGroupedList::TNodeBlocks::Release() {
  for (void* block : blocks_) ::operator delete(block);
  blocks_.clear();
  free_ = nullptr;
  unused_ = 0;
}

POGLItem TSectionGroupedList::NewNode() {
  const size_t data = static_cast<size_t>(std::max(0, ItemDataSize));
  void* memory = nodes_.Take(kHeaderSize + data);
  std::fill_n(static_cast<char*>(memory) + kHeaderSize, data, char(0));
  return new (memory) TOGLItem;
}

void TSectionGroupedList::FreeNode(POGLItem Item) {
  if (Item == last_placed_) last_placed_ = nullptr;
  if (dragged_ && Item->Has(TOGLItem::Dragged)) dragged_->nodes.erase(Item);
  if (OnFreeItem) OnFreeItem(this, Item);
  Item->~TOGLItem();
  nodes_.Give(Item);
}

void TSectionGroupedList::DeleteChildren(POGLItem Group) {
  if (!Group || Group == root_ || !IsGroup(Group) || !Group->FirstChild) return;
  // What DeleteItem takes from each item, taken from all at once.
  bool deselected = false;
  for (POGLItem item = Group->FirstChild; item; item = item->NextSibling) {
    if (!item->Has(TOGLItem::Selected)) continue;
    selected_.Remove(item);
    item->Flags &= ~TOGLItem::Selected;
    deselected = true;
  }
  if (deselected) {
    Group->SelectedCount = 0;
    DeselectItem(Group, false);
  }
  if (hint_hit_valid_ && hint_hit_.Item && hint_hit_.Item->Parent == Group) {
    ForgetHint(hint_hit_.Item);
  }
  // The focus goes on to the next item while they go one by one, and ends on the group.
  if (focused_ && focused_->Parent == Group) {
    focused_ = nullptr;
    SetFocusedItem(Group, true);
  }
  if (anchor_ && anchor_->Parent == Group) anchor_ = focused_;
  if (drop_target_ && drop_target_->Parent == Group) drop_target_ = nullptr;

  POGLItem item = Group->FirstChild;
  root_->NodeCount -= Group->ChildCount;
  Group->FirstChild = nullptr;
  Group->LastChild = nullptr;
  Group->Children.Clear();
  Group->ChildCount = 0;
  Group->SelectedCount = 0;
  while (item) {
    POGLItem next = item->NextSibling;
    // In no tree, as an item taken out alone.
    item->Hook = TPositionHook{};
    FreeNode(item);
    item = next;
  }
  if (!Group->Has(TOGLItem::Deleting) && !root_->Has(TOGLItem::Deleting)) {
    CountChanged();
    if (!destroying_) Changed();
  }
}

void TSectionGroupedList::DeleteSelectedItems() {
  BeginUpdate();
  while (!selected_.empty()) DeleteItem(selected_.front());
  EndUpdate();
}

void TSectionGroupedList::Clear() {
  if (!destroying_) BeginUpdate();
  EndRubberBand();
  DeselectAll();
  focused_ = nullptr;
  anchor_ = nullptr;
  ForgetHint(nullptr);
  root_->Flags |= TOGLItem::Deleting;
  while (root_->FirstChild) DeleteItem(root_->FirstChild);
  root_->Flags &= ~TOGLItem::Deleting;
  if (!destroying_) {
    Relayout();
    EndUpdate();
  }
}

void* TSectionGroupedList::GetItemData(POGLItem Item) const {
  if (ItemDataSize <= 0) throw Exception("ItemDataSize not initialized.");
  if (!Item || Item == root_) return nullptr;
  return reinterpret_cast<char*>(Item) + kHeaderSize;
}

bool TSectionGroupedList::IsGroup(POGLItem Item) const {
  return Item && Item != root_ && (Item->Parent == root_ || Item->Has(TOGLItem::IsGroupFlag));
}

bool TSectionGroupedList::IsItemSelected(POGLItem Item) const {
  return Item && Item != root_ && Item->Has(TOGLItem::Selected);
}

bool TSectionGroupedList::IsGroupExpanded(POGLItem Item) const {
  return IsGroup(Item) && Item->Has(TOGLItem::Expanded) && Item->ChildCount > 0;
}

bool TSectionGroupedList::ExpandGroup(POGLItem Item) {
  if (!IsGroup(Item) || Item->ChildCount == 0 || Item->Has(TOGLItem::Expanded)) return false;
  Item->Flags |= TOGLItem::Expanded;
  total_height_ += Item->ContentHeight;
  if (!root_->Has(TOGLItem::NoExpandRelayout)) {
    UpdateScrollBar();
    Changed();
  }
  if (OnExpandItem) OnExpandItem(this, Item);
  return true;
}

bool TSectionGroupedList::CollapseGroup(POGLItem Item) {
  if (!IsGroupExpanded(Item)) return false;
  Item->Flags &= ~TOGLItem::Expanded;
  total_height_ -= Item->ContentHeight;
  // The keys go on from what is shown: a focused row that folds away hands the focus to
  // its group's header.
  if (focused_ && focused_->Parent == Item) SetFocusedItem(Item, anchor_ == focused_);
  if (!root_->Has(TOGLItem::NoCollapseRelayout)) {
    UpdateScrollBar();
    Changed();
  }
  if (OnCollapsItem) OnCollapsItem(this, Item);
  return true;
}

void TSectionGroupedList::ToggleGroup(POGLItem Item) {
  if (IsGroupExpanded(Item)) {
    CollapseGroup(Item);
  } else {
    ExpandGroup(Item);
  }
}

void TSectionGroupedList::GetItemCaption(POGLItem Item, std::string& Caption) const {
  Caption.clear();
  if (OnGetCaption) OnGetCaption(const_cast<TSectionGroupedList*>(this), Item, Caption);
}

POGLItem TSectionGroupedList::FindItemByCaption(const std::string& Caption, POGLItem Parent) const {
  if (!OnGetCaption) return nullptr;
  const std::string wanted = AnsiLowerCase(Caption);
  std::string caption;
  for (POGLItem node = (Parent ? Parent : root_)->FirstChild; node; node = node->NextSibling) {
    GetItemCaption(node, caption);
    if (AnsiLowerCase(caption) == wanted) return node;
  }
  return nullptr;
}

void TSectionGroupedList::BeginUpdate() {
  ++update_count_;
}

void TSectionGroupedList::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) {
    if (relayout_pending_) Relayout();
    Invalidate();
  }
}

// Thousands of rows may come or go in one batch: they are laid out once, at its end.
void TSectionGroupedList::CountChanged() {
  if (update_count_ > 0) {
    relayout_pending_ = true;
  } else {
    Relayout();
  }
}

void TSectionGroupedList::Changed() {
  if (update_count_ == 0) Invalidate();
}

// --- sorting ----------------------------------------------------------------------------

void TSectionGroupedList::SetSortColumn(int Value) {
  Value = std::max(-1, Value);
  if (sort_column_ == Value) return;
  sort_column_ = Value;
  if ((AutoOptions & toAutoSort) && update_count_ == 0) Sort(-1, sdDefault);
}

void TSectionGroupedList::SetSortDirection(TOGLSortDirection Value) {
  if (sort_direction_ == Value) return;
  sort_direction_ = Value;
  if ((AutoOptions & toAutoSort) && update_count_ == 0) Sort(-1, sdDefault);
}

int TSectionGroupedList::Compare(POGLItem A, POGLItem B, int Column) const {
  int result = 0;
  if (OnCompareItems) OnCompareItems(const_cast<TSectionGroupedList*>(this), A, B, Column, result);
  return result;
}

void TSectionGroupedList::Sort(int Column, TOGLSortDirection Direction) {
  if (Column == -1) Column = sort_column_;
  if (Column <= -2) return;
  if (Direction == sdDefault) Direction = sort_direction_;
  ++update_count_;
  SortChildren(root_, Column, Direction);
  for (POGLItem group = root_->FirstChild; group; group = group->NextSibling) {
    SortChildren(group, Column, Direction);
  }
  ScrollIntoView(focused_, true);
  if (update_count_ > 0) --update_count_;
  Changed();
}

// A stable merge sort. Ascending takes the right run's head only when it compares above
// the left's; any other direction only when below, so ties keep their order both ways.
void TSectionGroupedList::SortChildren(POGLItem Parent, int Column, TOGLSortDirection Direction) {
  if (!Parent) Parent = root_;
  if (Parent->ChildCount < 2) return;
  std::vector<POGLItem> nodes;
  nodes.reserve(static_cast<size_t>(Parent->ChildCount));
  for (POGLItem n = Parent->FirstChild; n; n = n->NextSibling) nodes.push_back(n);
  const bool ascending = Direction == sdAscending;
  std::vector<POGLItem> scratch(nodes.size());
  // Bottom-up merging of runs of width 1, 2, 4 ...: a stable merge gives the one stable
  // order whichever way the runs are cut, without recursion.
  for (size_t width = 1; width < nodes.size(); width *= 2) {
    for (size_t lo = 0; lo < nodes.size(); lo += 2 * width) {
      const size_t mid = std::min(lo + width, nodes.size());
      const size_t hi = std::min(lo + 2 * width, nodes.size());
      size_t i = lo;
      size_t j = mid;
      size_t k = lo;
      while (i < mid && j < hi) {
        const int c = Compare(nodes[i], nodes[j], Column);
        const bool takeRight = ascending ? c > 0 : c < 0;
        scratch[k++] = takeRight ? nodes[j++] : nodes[i++];
      }
      while (i < mid) scratch[k++] = nodes[i++];
      while (j < hi) scratch[k++] = nodes[j++];
    }
    nodes.swap(scratch);
  }
  std::vector<TPositionHook*> hooks;
  hooks.reserve(nodes.size());
  POGLItem prev = nullptr;
  for (POGLItem n : nodes) {
    n->PrevSibling = prev;
    if (prev) prev->NextSibling = n;
    prev = n;
    hooks.push_back(&n->Hook);
  }
  prev->NextSibling = nullptr;
  Parent->FirstChild = nodes.front();
  Parent->LastChild = prev;
  Parent->Children.Assign(hooks);
  Changed();
}

// The sorted place of Item among siblings in sorted order: after every sibling that
// sorts before it, and among equal ones where it stood before (AsLast: after them all),
// as the stable sort would leave it.
void TSectionGroupedList::ResortItem(POGLItem Item, int Column, TOGLSortDirection Direction,
                                     bool AsLast) {
  if (!Item || Item == root_) return;
  if (Column == -1) Column = sort_column_;
  if (Column <= -2) return;
  if (Direction == sdDefault) Direction = sort_direction_;
  POGLItem parent = Item->Parent;
  // Where Item stands decides only ties, which AsLast decides alone: finding the place
  // of a row at random in a long list is a walk up its tree that costs cache misses.
  const int old = AsLast ? 0 : Item->Index();
  // Does other (now at position p among the rest) go before Item?
  auto before = [&](POGLItem other, int p) {
    int c = Compare(other, Item, Column);
    if (Direction != sdAscending) c = -c;
    if (c != 0) return c < 0;
    return AsLast || p < old;
  };
  // The place is where Item already is when its neighbours agree: the common case of a
  // row changed in a way that keeps its place costs two comparisons (one when it moves).
  if ((!Item->PrevSibling || before(Item->PrevSibling, old - 1)) &&
      (!Item->NextSibling || !before(Item->NextSibling, old))) {
    return;
  }
  Unlink(Item);
  // A feed sorted by time puts row after row behind the one placed before, among
  // thousands heard in the same second: that place is tried first, with two comparisons
  // of rows at hand instead of a search over cold ones.
  int lo = -1;
  POGLItem hint = last_placed_;
  if (hint && hint != Item && hint->Parent == parent && hint->Hook.block) {
    const int at = hint->Index();
    if (before(hint, at) && (!hint->NextSibling || !before(hint->NextSibling, at + 1))) lo = at + 1;
  }
  if (lo < 0) {
    lo = parent->Children.PartitionPoint(
        [&](TPositionHook* hook, int p) { return before(NodeOfHook(hook), p); });
  }
  last_placed_ = Item;
  LinkAt(Item, lo);
  Changed();
}

// Puts Item, out of its parent's chain, back at position At among its siblings.
void TSectionGroupedList::LinkAt(POGLItem Item, int At) {
  POGLItem parent = Item->Parent;
  POGLItem next = NodeOfHook(parent->Children.At(At));
  POGLItem prev = next ? next->PrevSibling : parent->LastChild;
  parent->Children.Insert(&Item->Hook, At);
  Item->PrevSibling = prev;
  Item->NextSibling = next;
  if (prev) {
    prev->NextSibling = Item;
  } else {
    parent->FirstChild = Item;
  }
  if (next) {
    next->PrevSibling = Item;
  } else {
    parent->LastChild = Item;
  }
  if (Item == focused_ && !IsGroup(Item)) focus_column_ = At % columns_;
}

// Several rows of one parent changed: each is placed among the rows that did not, which
// are still in order, and never among the others changed, whose places are unknown yet.
// An unchanged row keeps its rank among the unchanged ones, so a tie with it is decided
// by how many unchanged rows stood before the changed one, as a stable sort decides it.
void TSectionGroupedList::ResortItems(const std::vector<POGLItem>& Items, int Column,
                                      TOGLSortDirection Direction, POGLItem AsLast) {
  if (Column == -1) Column = sort_column_;
  if (Column <= -2) return;
  if (Direction == sdDefault) Direction = sort_direction_;
  std::vector<POGLItem> rest(Items);
  while (!rest.empty()) {
    POGLItem parent = rest.front()->Parent;
    std::vector<POGLItem> siblings;
    std::erase_if(rest, [&](POGLItem item) {
      if (item->Parent != parent) return false;
      siblings.push_back(item);
      return true;
    });
    if (siblings.size() == 1) {
      ResortItem(siblings.front(), Column, Direction, siblings.front() == AsLast);
    } else {
      ResortSiblings(siblings, Column, Direction, AsLast);
    }
  }
  // As after a whole sort: rows gone from above the chosen one must not leave it out of
  // view once the list moves again.
  ScrollIntoView(focused_, true);
}

void TSectionGroupedList::ResortSiblings(std::vector<POGLItem>& Items, int Column,
                                         TOGLSortDirection Direction, POGLItem AsLast) {
  POGLItem parent = Items.front()->Parent;
  auto compare = [&](POGLItem a, POGLItem b) {
    const int c = Compare(a, b, Column);
    return Direction == sdAscending ? c : -c;
  };
  struct TPlaced {
    POGLItem Item;
    int Unchanged;  // unchanged rows before it (INT_MAX standing last), then its place
  };
  std::vector<TPlaced> placed;
  for (POGLItem item : Items) placed.push_back({item, item->Index()});
  std::sort(placed.begin(), placed.end(),
            [](const TPlaced& a, const TPlaced& b) { return a.Unchanged < b.Unchanged; });
  for (size_t i = 0; i < placed.size(); ++i) placed[i].Unchanged -= static_cast<int>(i);
  for (TPlaced& p : placed) {
    if (p.Item == AsLast) p.Unchanged = INT_MAX;
  }
  // The one standing last also goes last among the changed ones it ties with.
  std::stable_partition(placed.begin(), placed.end(),
                        [&](const TPlaced& p) { return p.Item != AsLast; });
  for (TPlaced& p : placed) Unlink(p.Item);
  for (TPlaced& p : placed) {
    p.Unchanged = parent->Children.PartitionPoint([&](TPositionHook* hook, int at) {
      const int c = compare(NodeOfHook(hook), p.Item);
      return c < 0 || (c == 0 && at < p.Unchanged);
    });
  }
  // Between the same two unchanged rows the changed ones go in the stable order.
  std::stable_sort(placed.begin(), placed.end(), [&](const TPlaced& a, const TPlaced& b) {
    if (a.Unchanged != b.Unchanged) return a.Unchanged < b.Unchanged;
    return compare(a.Item, b.Item) < 0;
  });
  for (size_t i = 0; i < placed.size(); ++i) {
    LinkAt(placed[i].Item, placed[i].Unchanged + static_cast<int>(i));
  }
  last_placed_ = placed.back().Item;
  Changed();
}

// The first character of a caption, upper-cased, against the character as typed. A
// caption is shown as received: UTF-8 when it is that, else Windows-1252.
void TSectionGroupedList::IncrementalSearch(std::u16string_view Key) {
  if (SearchType == TOGLSearchType::stNone || Key.empty() || Key[0] == 0 || !OnGetCaption) return;
  POGLItem start = focused_ ? focused_ : root_->FirstChild;
  if (!start) return;
  std::string caption;
  auto matches = [&](POGLItem node) {
    GetItemCaption(node, caption);
    const std::u16string shown = ReceivedTextToUtf16(caption);
    return !shown.empty() && WideUpperCase(shown.substr(0, WideCharLength(shown, 0))) == Key;
  };
  auto take = [&](POGLItem node) {
    DeselectAll();
    SetFocusedItem(node, false);
    SelectItem(node, false);
    ScrollIntoView(node, false);
    Changed();
  };
  const bool all = SearchType == TOGLSearchType::stAll;
  POGLItem group = IsGroup(start) ? start : start->Parent;
  bool headerPassed = IsGroup(start);
  POGLItem firstItem = IsGroup(start) ? start->FirstChild : start;
  for (; group; group = group->NextSibling) {
    if (all && headerPassed && group != focused_ && matches(group)) return take(group);
    for (POGLItem item = firstItem; item; item = item->NextSibling) {
      if (item != focused_ && matches(item)) return take(item);
    }
    headerPassed = true;
    firstItem = group->NextSibling ? group->NextSibling->FirstChild : nullptr;
  }
  for (group = root_->FirstChild; group; group = group->NextSibling) {
    if (group == focused_) return;
    if (all && matches(group)) return take(group);
    for (POGLItem item = group->FirstChild; item; item = item->NextSibling) {
      if (item == focused_) return;
      if (matches(item)) return take(item);
    }
  }
}

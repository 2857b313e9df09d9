#include "lists/section_grouped_list.h"

#include <algorithm>
#include <new>

#include "lists/grouped_list_drag.h"
#include "platform/text/sysutils.h"

namespace {

// The owner's block starts after the record, aligned for any type.
constexpr size_t kHeaderSize = (sizeof(TOGLItem) + alignof(std::max_align_t) - 1) /
                               alignof(std::max_align_t) * alignof(std::max_align_t);

POGLItem NodeOfHook(TPositionHook* Hook) {
  if (!Hook) return nullptr;
  return reinterpret_cast<POGLItem>(reinterpret_cast<char*>(Hook) - offsetof(TOGLItem, Hook));
}

constexpr int kGlyphSize = 9;
constexpr size_t kNodesPerBlock = 256;

}  // namespace

int TOGLItem::Index() const {
  return Parent ? TPositionTree::PositionOf(&Hook) : 0;
}

void DrawNodeButton(TBitmap& Glyph, bool Expanded) {
  Glyph.SetSize(kGlyphSize, kGlyphSize);
  TCanvas& canvas = Glyph.Canvas();
  canvas.Brush().SetColor(clWhite);
  canvas.FillRect(Rect(0, 0, kGlyphSize, kGlyphSize));
  canvas.Brush().SetColor(0x808080);
  canvas.FrameRect(Rect(0, 0, kGlyphSize, kGlyphSize));
  canvas.Brush().SetColor(clBlack);
  canvas.FillRect(Rect(2, 4, 7, 5));
  if (!Expanded) canvas.FillRect(Rect(4, 2, 5, 7));
}

TSectionGroupedList::TSectionGroupedList(TComponent* AOwner) : TCustomControl(AOwner) {
  root_ = new TOGLItem;
  root_->Flags = TOGLItem::Expanded;
  scroll_bars_ = std::make_unique<TControlScrollBars>(*this);
  scroll_bars_->OnScroll = [this](TScrollBarKind Kind, TScrollCode Code, int Pos) {
    if (Kind == sbVertical) Scroll(Code, Pos);
  };
  scroll_bars_->OnWheel = [this](int Notches) { return Wheel(Notches); };
  // Nothing is wider than the window: no horizontal bar.
  scroll_bars_->SetInfo(sbHorizontal, TScrollBarInfo{0, 0, 1, 0});
  SetBounds(0, 0, 200, 200);
  SetTabStop(true);
  SetShowHint(true);
  SetColor(clWhite);
  group_font_.SetColor(RGB(55, 104, 185));
  group_font_.SetStyle(fsBold);
  group_count_font_.SetColor(clBlack);
  DrawNodeButton(plus_glyph_, false);
  DrawNodeButton(minus_glyph_, true);
  FontChanged();
  SetDragOptions(doOLEAcceptDrop | doOLEAllowDrag | doOLEShowDragImage);
}

TSectionGroupedList::~TSectionGroupedList() {
  RevokeDragDrop(*this);
  if (hint_window_) {
    hint_window_->ReleaseHandle();
    hint_window_->Detach();
  }
  destroying_ = true;
  Clear();
  delete root_;
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

// --- geometry ---------------------------------------------------------------------------

int TSectionGroupedList::ItemWidth() const {
  if (view_style_ == vsThumbnails) return 2 * thumbnails_.HorizSpacing + thumbnails_.ThumbnailWidth;
  return ContentWidth();
}

int TSectionGroupedList::ContentWidth() const {
  return ClientWidth() - (scroll_bars_->Showing(sbVertical) ? scroll_bars_->Thickness() : 0);
}

void TSectionGroupedList::FontChanged() {
  TCanvas measure;
  measure.Font().Assign(Font());
  caption_height_ = measure.TextHeight(",^");
  TCustomControl::FontChanged();
  Relayout();
}

void TSectionGroupedList::Resize() {
  TCustomControl::Resize();
  Relayout();
}

void TSectionGroupedList::LayoutFor(int Width, bool StopWhenFull) {
  total_height_ = 0;
  columns_ = view_style_ == vsThumbnails ? std::max(1, Width / ItemWidth()) : 1;
  for (POGLItem group = root_->FirstChild; group; group = group->NextSibling) {
    const int rows = (group->ChildCount + columns_ - 1) / columns_;
    group->ContentHeight = rows * item_height_;
    if (view_style_ == vsThumbnails && group->ChildCount > 0) {
      group->ContentHeight += thumbnails_.VertSpacing;
    }
    total_height_ += group_item_height_;
    if (group->Has(TOGLItem::Expanded)) total_height_ += group->ContentHeight;
    if (StopWhenFull && total_height_ > ClientHeight()) return;
  }
}

void TSectionGroupedList::Relayout() {
  relayout_pending_ = false;
  TCanvas measure;
  measure.Font().Assign(Font());
  measure.Font().SetStyle(fsBold);
  const int h = measure.TextHeight(",^");
  group_caption_top_ = show_nodes_ ? (h - minus_glyph_.Height()) / 2 + group_item_height_ - 7 - h
                                   : group_item_height_ - 7 - h + h / 2;
  if (view_style_ == vsThumbnails) {
    item_height_ = thumbnails_.ThumbnailHeight + 4 + caption_height_ + thumbnails_.VertSpacing;
  } else {
    int height = thumbnails_.ThumbnailHeight;
    if (OnGetChildItemHeight) {
      measure.Font().Assign(Font());
      OnGetChildItemHeight(this, measure, height);
    }
    item_height_ = std::max(1, height);
  }
  LayoutFor(ClientWidth(), true);
  if (total_height_ > ClientHeight()) {
    LayoutFor(ClientWidth() - scroll_bars_->Thickness(), false);
  }
  UpdateScrollBar();
  Changed();
}

// The bar shows the document's height with the window as its page.
void TSectionGroupedList::UpdateScrollBar() {
  top_ = std::clamp(top_, 0, std::max(0, total_height_ - ClientHeight()));
  scroll_bars_->SetInfo(sbVertical, TScrollBarInfo{0, total_height_ - 1, ClientHeight(), top_});
}

void TSectionGroupedList::SetTopPosition(int Value) {
  Value = std::clamp(Value, 0, std::max(0, total_height_ - ClientHeight()));
  if (Value == top_) return;
  top_ = Value;
  UpdateScrollBar();
  Changed();
}

void TSectionGroupedList::Scroll(TScrollCode Code, int Pos) {
  switch (Code) {
    case scLineUp:
      SetTopPosition(top_ - item_height_);
      break;
    case scLineDown:
      SetTopPosition(top_ + item_height_);
      break;
    case scPageUp:
      SetTopPosition(top_ - ClientHeight());
      break;
    case scPageDown:
      SetTopPosition(top_ + ClientHeight());
      break;
    case scPosition:
    case scTrack:
      SetTopPosition(Pos);
      break;
    case scTop:
      SetTopPosition(0);
      break;
    case scBottom:
      SetTopPosition(total_height_);
      break;
  }
}

// A notch moves 120 pixels, when there is anything to scroll.
bool TSectionGroupedList::Wheel(int Notches) {
  if (total_height_ < ClientHeight()) return false;
  SetTopPosition(top_ - Notches * 120);
  return true;
}

int TSectionGroupedList::GroupTop(POGLItem Group) const {
  int top = 0;
  for (POGLItem g = root_->FirstChild; g && g != Group; g = g->NextSibling) {
    top += group_item_height_;
    if (g->Has(TOGLItem::Expanded)) top += g->ContentHeight;
  }
  return top;
}

TRect TSectionGroupedList::GetItemRect(POGLItem Item) const {
  if (!Item || Item == root_) return TRect{};
  if (IsGroup(Item)) {
    const int top = GroupTop(Item);
    return Rect(0, top, ContentWidth(), top + group_item_height_);
  }
  const int index = Item->Index();
  const int top = GroupTop(Item->Parent) + group_item_height_ + index / columns_ * item_height_;
  const int left = ItemWidth() * (index % columns_);
  return Rect(left, top, left + ItemWidth(), top + item_height_);
}

TRect TSectionGroupedList::GetItemDisplayRect(POGLItem Item, bool WithContent) const {
  if (!Item) return TRect{};
  TRect r = GetItemRect(Item);
  r = Rect(r.Left - 1, r.Top - 1 - top_, r.Right + 1, r.Bottom + 1 - top_);
  if (WithContent && IsGroup(Item)) r.Bottom += Item->ContentHeight;
  return r;
}

void TSectionGroupedList::InvalidateItem(POGLItem Item, bool WithContent) {
  if (update_count_ > 0 || !Item) return;
  // The whole surface is redrawn from its off-screen picture in one go anyway.
  (void)WithContent;
  Invalidate();
}

// --- focus ------------------------------------------------------------------------------

bool TSectionGroupedList::SetFocusedItem(POGLItem Item, bool MoveAnchor) {
  if (Item == root_ || Item == focused_) return false;
  focused_ = Item;
  if (MoveAnchor) anchor_ = Item;
  if (Item && !IsGroup(Item)) focus_column_ = Item->Index() % columns_;
  return true;
}

// --- look -------------------------------------------------------------------------------

void TSectionGroupedList::SetSelectionOptions(TOGLSelectionOptions Value) {
  selection_options_ = Value;
}

void TSectionGroupedList::SetViewStyle(TOGLViewStyle Value) {
  if (view_style_ == Value) return;
  view_style_ = Value;
  Relayout();
}

void TSectionGroupedList::SetThumbnailOptions(const TOGLThumbnailOptions& Value) {
  thumbnails_ = Value;
  Relayout();
}

void TSectionGroupedList::SetGroupItemHeight(int Value) {
  if (group_item_height_ == Value) return;
  group_item_height_ = std::max(1, Value);
  Relayout();
}

void TSectionGroupedList::SetShowNodes(bool Value) {
  if (show_nodes_ == Value) return;
  show_nodes_ = Value;
  Relayout();
}

void TSectionGroupedList::SetGroupShowCount(bool Value) {
  group_show_count_ = Value;
  Changed();
}

void TSectionGroupedList::SetGroupColor(TColor Value) {
  if (group_color_ == Value) return;
  group_color_ = Value;
  Changed();
}

void TSectionGroupedList::SetGroupSelectionColor(TColor Value) {
  if (group_selection_color_ == Value) return;
  group_selection_color_ = Value;
  Changed();
}

void TSectionGroupedList::SetGroupSelectionTextColor(TColor Value) {
  if (group_selection_text_color_ == Value) return;
  group_selection_text_color_ = Value;
  Changed();
}

bool TSectionGroupedList::HasFocus() const {
  return Focused();
}

bool TSectionGroupedList::SelectionShows() const {
  return HasFocus() || !HideSelection;
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
  POGLItem next = NodeOfHook(parent->Children.At(lo));
  POGLItem prev = next ? next->PrevSibling : parent->LastChild;
  parent->Children.Insert(&Item->Hook, lo);
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
  if (Item == focused_ && !IsGroup(Item)) focus_column_ = lo % columns_;
  Changed();
}

// The first letter of a caption, upper-cased (a-z only), against the key as typed.
void TSectionGroupedList::IncrementalSearch(char Key) {
  if (SearchType == TOGLSearchType::stNone || Key == 0 || !OnGetCaption) return;
  POGLItem start = focused_ ? focused_ : root_->FirstChild;
  if (!start) return;
  std::string caption;
  auto matches = [&](POGLItem node) {
    GetItemCaption(node, caption);
    if (caption.empty()) return false;
    char first = caption[0];
    if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
    return first == Key;
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

// The grouped list's hit testing, selection, mouse, keyboard and wheel handling,
// scrolling into view and per-node hints.
#include <algorithm>
#include <cstdlib>

#include "lists/section_grouped_list.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/text/cp1252.h"
#include "platform/text/wide_text.h"

namespace {

constexpr int kDragThreshold = 4;

bool InRect(const TRect& R, int X, int Y) {
  return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

}  // namespace

// --- hit testing ------------------------------------------------------------------------

void TSectionGroupedList::HitTest(int X, int Y, TOGLHitInfo& HitInfo, bool Scrolled) const {
  HitInfo = TOGLHitInfo{};
  HitInfo.Group = root_->FirstChild;
  if (Scrolled) Y += top_;
  if (!InRect(Rect(0, 0, ContentWidth(), total_height_), X, Y)) {
    if (Y >= total_height_) HitInfo.Group = root_->LastChild;
    return;
  }
  int top = 0;
  for (POGLItem group = root_->FirstChild; group; group = group->NextSibling) {
    HitInfo.Group = group;
    const TRect r = Rect(0, top, ContentWidth(), top + group_item_height_);
    if (InRect(r, X, Y)) {
      HitInfo.Item = group;
      const TRect button =
          Rect(r.Left + 2, r.Top + group_caption_top_ - 2, r.Left + 5 + plus_glyph_.Width(),
               r.Top + group_caption_top_ + plus_glyph_.Height() + 2);
      HitInfo.Kind = InRect(button, X, Y) && show_nodes_ ? 1 : 2;
      return;
    }
    top = r.Bottom;
    if (group->Has(TOGLItem::Expanded)) {
      if (IsGroupExpanded(group) && Y >= top && Y < top + group->ContentHeight) {
        if (X >= ItemWidth() * columns_) return;
        const int index = (Y - top) / item_height_ * columns_ + X / ItemWidth();
        POGLItem item = ChildAt(group, index);
        if (!item) return;
        const int left = index % columns_ * ItemWidth();
        const int cellTop = top + index / columns_ * item_height_;
        const TRect cell = Rect(left, cellTop, left + ItemWidth(), cellTop + item_height_);
        TRect target = cell;
        if (view_style_ == vsThumbnails) {
          target =
              Rect(cell.Left + thumbnails_.HorizSpacing - 4, cell.Top + thumbnails_.VertSpacing,
                   cell.Right - thumbnails_.HorizSpacing + 4, 0);
          target.Bottom = target.Top + thumbnails_.ThumbnailHeight + 3;
          target.Top -= 3;
        }
        if (InRect(target, X, Y)) {
          HitInfo.Item = item;
          HitInfo.Kind = 2;
          return;
        }
        if (view_style_ == vsThumbnails) {
          TCanvas measure;
          measure.Font().Assign(Font());
          std::string caption = "      ";
          if (OnGetCaption) GetItemCaption(item, caption);
          if (InRect(ThumbnailCaptionBox(measure, cell, caption), X, Y)) {
            HitInfo.Item = item;
            HitInfo.Kind = 3;
          }
        }
        return;
      }
      top += group->ContentHeight;
    }
  }
  HitInfo.Group = root_->LastChild;
}

POGLItem TSectionGroupedList::GetItemAt(int X, int Y, bool Scrolled) const {
  TOGLHitInfo hit;
  HitTest(X, Y, hit, Scrolled);
  return hit.Item;
}

// --- selection --------------------------------------------------------------------------

std::vector<POGLItem> TOGLSelection::Reversed() const {
  std::vector<POGLItem> nodes;
  nodes.reserve(count_);
  for (POGLItem node = last_; node; node = node->PrevSelected) nodes.push_back(node);
  return nodes;
}

void TOGLSelection::Append(POGLItem Node) {
  Node->PrevSelected = last_;
  Node->NextSelected = nullptr;
  (last_ ? last_->NextSelected : first_) = Node;
  last_ = Node;
  ++count_;
}

void TOGLSelection::Remove(POGLItem Node) {
  (Node->PrevSelected ? Node->PrevSelected->NextSelected : first_) = Node->NextSelected;
  (Node->NextSelected ? Node->NextSelected->PrevSelected : last_) = Node->PrevSelected;
  Node->PrevSelected = nullptr;
  Node->NextSelected = nullptr;
  --count_;
}

void TSectionGroupedList::SelectItem(POGLItem Item, bool Recurse) {
  if (!Item || Item == root_ || Item->Has(TOGLItem::Selected)) return;
  Item->Flags |= TOGLItem::Selected;
  selected_.Append(Item);
  const bool group = IsGroup(Item);
  if (!group) {
    POGLItem parent = Item->Parent;
    parent->SelectedCount = std::min(parent->SelectedCount + 1, parent->ChildCount);
    if (parent->SelectedCount == parent->ChildCount) SelectItem(parent, false);
  }
  if (select_nesting_ == 0 && !range_announced_) {
    if (state_ & stRangeSelect) range_announced_ = true;
    if (OnSelectionChange) OnSelectionChange(this);
  }
  if (group && Recurse && (selection_options_ & soMultiSelect)) {
    ++select_nesting_;
    for (POGLItem item = Item->FirstChild; item; item = item->NextSibling) SelectItem(item, false);
    --select_nesting_;
  }
}

void TSectionGroupedList::DeselectItem(POGLItem Item, bool Recurse) {
  if (!Item || !Item->Has(TOGLItem::Selected)) return;
  selected_.Remove(Item);
  Item->Flags &= ~TOGLItem::Selected;
  if (!IsGroup(Item)) {
    POGLItem parent = Item->Parent;
    parent->SelectedCount = std::max(0, parent->SelectedCount - 1);
    if (parent->Has(TOGLItem::Selected) && parent->SelectedCount != parent->ChildCount) {
      DeselectItem(parent, false);
    }
  } else if (Recurse && (selection_options_ & soMultiSelect)) {
    for (POGLItem item = Item->FirstChild; item; item = item->NextSibling)
      DeselectItem(item, false);
  }
}

void TSectionGroupedList::ToggleItemSelection(POGLItem Item, bool Recurse) {
  if (IsItemSelected(Item)) {
    DeselectItem(Item, Recurse);
  } else {
    SelectItem(Item, Recurse);
  }
}

bool TSectionGroupedList::DeselectAll() {
  const bool any = !selected_.empty();
  while (!selected_.empty()) DeselectItem(selected_.back(), true);
  return any;
}

void TSectionGroupedList::SelectAll() {
  BeginUpdate();
  for (POGLItem group = root_->FirstChild; group; group = group->NextSibling) {
    SelectItem(group, true);
  }
  ScrollIntoView(focused_, false);
  EndUpdate();
}

bool TSectionGroupedList::IsAfter(POGLItem A, POGLItem B) const {
  if (!A || !B) return false;
  const bool aGroup = IsGroup(A);
  const bool bGroup = IsGroup(B);
  if (!aGroup && !bGroup) {
    const int ga = A->Parent->Index();
    const int gb = B->Parent->Index();
    return gb > ga || (gb == ga && B->Index() > A->Index());
  }
  if (!aGroup) return B->Index() > A->Parent->Index();
  if (bGroup) return B->Index() > A->Index();
  return B->Parent->Index() >= A->Index();
}

// Walking the selection from its end and starting again from the new end after each
// removal takes the doomed nodes last selected first, passing over those an earlier
// removal took along (a group's items, an item's group); so does one walk over the
// nodes picked beforehand, since a removal neither adds nodes nor reorders them.
void TSectionGroupedList::DeselectFromEnd(const std::function<bool(POGLItem)>& Doomed) {
  std::vector<POGLItem> picked;
  for (POGLItem node = selected_.back(); node; node = node->PrevSelected) {
    if (Doomed(node)) picked.push_back(node);
  }
  for (POGLItem node : picked) DeselectItem(node, true);
}

void TSectionGroupedList::DeselectBefore(POGLItem Item) {
  DeselectFromEnd([&](POGLItem node) { return node != Item && !IsAfter(Item, node); });
}

void TSectionGroupedList::DeselectAfter(POGLItem Item) {
  DeselectFromEnd([&](POGLItem node) { return node != Item && IsAfter(Item, node); });
}

void TSectionGroupedList::SelectRange(POGLItem Target) {
  if (!Target) return;
  if (!anchor_) {
    SelectItem(Target, true);
    return;
  }
  range_announced_ = false;
  state_ |= stRangeSelect;
  POGLItem from = anchor_;
  POGLItem to = Target;
  if (!IsAfter(anchor_, Target)) std::swap(from, to);
  DeselectBefore(from);
  DeselectAfter(to);
  POGLItem fromGroup = IsGroup(from) ? from : from->Parent;
  POGLItem toGroup = IsGroup(to) ? to : to->Parent;
  for (POGLItem group = fromGroup; group; group = group->NextSibling) {
    const bool first = group == fromGroup;
    const bool last = group == toGroup;
    if ((!first && !last) || (first && from == group) || (last && to == group)) {
      SelectItem(group, true);
    }
    POGLItem item = first && !IsGroup(from) ? from : group->FirstChild;
    if (!(last && to == group)) {
      for (; item; item = item->NextSibling) {
        SelectItem(item, false);
        if (item == to) break;
      }
    }
    if (last) break;
  }
  state_ &= ~stRangeSelect;
  range_announced_ = false;
}

// --- scrolling --------------------------------------------------------------------------

bool TSectionGroupedList::ScrollIntoView(POGLItem Item, bool WholeGroup) {
  if (!Item || Item == root_) return false;
  const TRect r = GetItemRect(Item);
  int t = r.Top;
  const int b = r.Bottom;
  const int h = ClientHeight();
  int p = top_;
  if (WholeGroup && IsGroupExpanded(Item) && (AutoOptions & toAutoScrollOnExpand)) {
    if (p > t) {
      p = t;
    } else if (p + h < b + Item->ContentHeight) {
      p = b + Item->ContentHeight - t >= h ? t : b + Item->ContentHeight - h;
    }
  } else {
    if (!IsGroup(Item) && Item->Index() < columns_) t -= group_item_height_;
    if (p > t) p = t;
    if (p < b - h) p = b - h;
  }
  const int old = top_;
  SetTopPosition(p);
  return top_ != old;
}

// --- mouse ------------------------------------------------------------------------------

void TSectionGroupedList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbMiddle) return TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbRight && !(selection_options_ & soRightClickSelect)) {
    return TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  state_ |= Button == mbLeft ? stLeftButtonDown : stRightButtonDown;
  TCustomControl::MouseDown(Button, Shift, X, Y);
  TOGLHitInfo hit;
  HitTest(X, Y, hit, true);
  if (!Focused()) SetFocus();
  if (Shift & ssDouble) return;
  if (hit.Kind == 1) {
    ToggleGroup(hit.Item);
    ScrollIntoView(hit.Item, true);
    Changed();
    return;
  }
  const bool multi = selection_options_ & soMultiSelect;
  const TShiftState mods = Shift & (ssShift | ssCtrl);
  const bool onNode = hit.Kind == 2 || hit.Kind == 3;
  POGLItem node = onNode ? hit.Item : nullptr;
  const bool wasSelected = onNode && IsItemSelected(node) && (multi || !IsGroup(node));
  const bool mayDrag = onNode && MayDrag(node);
  bool cleared = false;
  if ((!multi || mods == 0) && onNode && !wasSelected) {
    cleared = DeselectAll();
  } else if (!multi) {
    state_ |= stDeselectPending;
  }
  press_point_ = Point(X, Y + top_);
  if (!onNode && multi && root_->FirstChild) {
    state_ |= stRubberBand;
    band_shift_ = Shift & (ssShift | ssCtrl | ssAlt);
    band_start_ = press_point_;
    band_current_ = press_point_;
  }
  if (onNode) {
    const bool wasFocusedSelected = IsItemSelected(node);
    if (!multi || mods == 0) {
      if (mods == 0) anchor_ = node;
      SelectItem(node, !wasSelected);
    } else if (mods == (ssShift | ssCtrl)) {
      SelectRange(node);
    } else if (mods == ssCtrl) {
      anchor_ = node;
      // A node that may be dragged is toggled on release, so that a drag can take it.
      if (mayDrag) {
        state_ |= stCtrlTogglePending;
      } else {
        ToggleItemSelection(node, true);
      }
    } else if (mods == ssShift) {
      if (!anchor_) anchor_ = root_->FirstChild;
      SelectRange(node);
    }
    SetFocusedItem(node, false);
    if (mods == 0 || !wasFocusedSelected) Changed();
  }
  if (cleared) Changed();
  if (mayDrag && Button == mbLeft) state_ |= stDragDetectPending;
  if (Button == mbLeft && OnItemMouseDown) {
    OnItemMouseDown(this, Button, Shift & (ssShift | ssAlt | ssCtrl), X, Y, hit);
  }
}

void TSectionGroupedList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbMiddle || (Button == mbRight && !(selection_options_ & soRightClickSelect))) {
    return TCustomControl::MouseUp(Button, Shift, X, Y);
  }
  state_ &= ~(Button == mbLeft ? stLeftButtonDown : stRightButtonDown);
  TOGLHitInfo hit;
  HitTest(X, Y, hit, true);
  const bool multi = selection_options_ & soMultiSelect;
  const bool onNode = hit.Kind == 2 || hit.Kind == 3;
  if (Button == mbRight) CancelHint();
  // A band that ends over a row is no click on it: the rows it took stay selected.
  const bool click = !(state_ & stRubberBand);
  if (click && multi && onNode && !IsGroup(hit.Item) && !(Shift & (ssShift | ssCtrl)) &&
      Button == mbLeft) {
    DeselectFromEnd([&](POGLItem node) { return node != hit.Item; });
  }
  if (state_ & stDeselectPending) {
    DeselectAll();
    if (onNode || (state_ & stOLEDragging)) SelectItem(focused_, true);
  }
  if ((state_ & stCtrlTogglePending) && hit.Item && hit.Item == focused_) {
    ToggleItemSelection(focused_, true);
    if (!IsItemSelected(focused_) && OnSelectionChange) OnSelectionChange(this);
  }
  const bool bandMoved = (state_ & stRubberBandMoved) && multi;
  if (!bandMoved && hit.Item) ScrollIntoView(hit.Item, false);
  EndRubberBand();
  if (!hit.Item && OnSelectionChange) OnSelectionChange(this);
  state_ &= ~(stCtrlTogglePending | stDeselectPending | stDragDetectPending);
  Changed();
  TCustomControl::MouseUp(Button, Shift, X, Y);
  // The release that ends a dtVCL drag started here clicks nothing.
  if (state_ & stVCLDragEnded) {
    state_ &= ~stVCLDragEnded;
    return;
  }
  if (OnItemClick) OnItemClick(this, Button, Shift & (ssShift | ssAlt | ssCtrl), X, Y, hit);
}

void TSectionGroupedList::EndRubberBand() {
  if (!(state_ & stRubberBand)) return;
  state_ &= ~(stRubberBand | stRubberBandMoved | stCtrlTogglePending);
  band_start_ = band_current_ = TPoint{};
  Changed();
}

void TSectionGroupedList::MouseMove(TShiftState Shift, int X, int Y) {
  if ((state_ & stDragDetectPending) && (std::abs(X - press_point_.X) >= kDragThreshold ||
                                         std::abs(Y + top_ - press_point_.Y) >= kDragThreshold)) {
    if (DragType == dtVCL) {
      StartComponentDrag();
    } else {
      StartDrag();
    }
    return;
  }
  if (state_ & stRubberBand) {
    if (total_height_ > ClientHeight()) {
      if (Y > ClientHeight()) SetTopPosition(top_ + (Y - ClientHeight()) / 2);
      if (Y < 0) SetTopPosition(top_ + Y);
    }
    const TRect old = RubberBandRect();
    band_current_ = Point(X, Y + top_);
    const TRect now = RubberBandRect();
    if (now.Width() > kDragThreshold || now.Height() > kDragThreshold) {
      if (state_ & stDeselectPending) {
        state_ &= ~stDeselectPending;
        DeselectAll();
      }
      state_ |= stRubberBandMoved;
      UpdateBandSelection(old, now);
    }
    Changed();
    return;
  }
  TCustomControl::MouseMove(Shift, X, Y);
  ReevaluateHint(X, Y);
}

// Only items whose overlap with the band changed are touched: a band over thousands of
// thumbnails costs what it crosses.
void TSectionGroupedList::UpdateBandSelection(const TRect& OldBand, const TRect& NewBand) {
  auto overlaps = [](const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
  };
  const int bottom = std::max(OldBand.Bottom, NewBand.Bottom);
  const int top = std::min(OldBand.Top, NewBand.Top);
  int groupTop = 0;
  for (POGLItem group = root_->FirstChild; group; group = group->NextSibling) {
    const int itemsTop = groupTop + group_item_height_;
    groupTop = itemsTop + (group->Has(TOGLItem::Expanded) ? group->ContentHeight : 0);
    if (!IsGroupExpanded(group) || groupTop <= top) continue;
    if (itemsTop >= bottom) break;
    const int firstRow = std::max(0, (top - itemsTop) / item_height_);
    int index = firstRow * columns_;
    for (POGLItem item = ChildAt(group, index); item; item = item->NextSibling, ++index) {
      const int left = index % columns_ * ItemWidth();
      const int cellTop = itemsTop + index / columns_ * item_height_;
      if (cellTop >= bottom) break;
      TRect target = Rect(left, cellTop, left + ItemWidth(), cellTop + item_height_);
      if (view_style_ == vsThumbnails) {
        target = Rect(left + thumbnails_.HorizSpacing - 2, cellTop + thumbnails_.VertSpacing - 2,
                      left + ItemWidth() - thumbnails_.HorizSpacing + 2,
                      cellTop + thumbnails_.VertSpacing + thumbnails_.ThumbnailHeight + 2);
      }
      const bool was = overlaps(target, OldBand);
      const bool is = overlaps(target, NewBand);
      if (was == is) continue;
      if (band_shift_ & ssCtrl) {
        ToggleItemSelection(item, false);
      } else if (band_shift_ & ssAlt) {
        if (is)
          DeselectItem(item, false);
        else
          SelectItem(item, false);
      } else {
        if (is)
          SelectItem(item, false);
        else
          DeselectItem(item, false);
      }
    }
  }
}

void TSectionGroupedList::DblClick() {
  TCustomControl::DblClick();
  if (!OnItemDblClick) return;
  // The double click's first press was a press of its own; it is where the click is.
  TOGLHitInfo hit;
  HitTest(press_point_.X, press_point_.Y, hit, false);
  if (hit.Kind == 2 || hit.Kind == 3) OnItemDblClick(this, hit.Item);
}

void TSectionGroupedList::DoEnter() {
  TCustomControl::DoEnter();
  Changed();
}

void TSectionGroupedList::DoExit() {
  TCustomControl::DoExit();
  EndRubberBand();
  Changed();
}

// --- keyboard ---------------------------------------------------------------------------

void TSectionGroupedList::KeyDown(TKeyCode& Key, TShiftState Shift) {
  if (!Focused()) SetFocus();
  POGLItem oldFocus = focused_;
  const bool multi = selection_options_ & soMultiSelect;
  const bool ctrl = Shift & ssCtrl;
  bool expanded = false;
  switch (Key) {
    case VK_SPACE:
      if (focused_) {
        if (ctrl) {
          ToggleItemSelection(focused_, true);
        } else if (IsGroup(focused_)) {
          ToggleGroup(focused_);
        } else {
          SelectItem(focused_, false);
        }
        Changed();
      }
      break;
    case VK_HOME:
    case VK_PRIOR:
    case VK_UP:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_NEXT:
    case VK_END: {
      const bool extend = (Shift & ssShift) && multi;
      expanded =
          Navigate(Key, extend, !(Shift & (ssShift | ssCtrl)) || !multi, !ctrl || !multi, ctrl);
      break;
    }
    case 'A':
      if (ctrl) {
        SelectAll();
        Changed();
        break;
      }
      [[fallthrough]];
    default:
      TCustomControl::KeyDown(Key, Shift);
      return;
  }
  if (focused_ != oldFocus) {
    if ((AutoOptions & toAutoExpandOnFocus) && IsGroup(focused_)) expanded = ExpandGroup(focused_);
    ScrollIntoView(focused_, expanded);
    Changed();
  }
  TCustomControl::KeyDown(Key, Shift);
}

// The search runs on the character a key types, whatever key typed it: a letter beyond
// ASCII has no key code of its own, and one made with a dead key comes as Unicode.
void TSectionGroupedList::KeyPress(char& Key) {
  if (static_cast<unsigned char>(Key) >= ' ' && Key != '\x7F')
    IncrementalSearch(Cp1252ToUtf16(std::string_view(&Key, 1)));
  TCustomControl::KeyPress(Key);
}

void TSectionGroupedList::UnicodeInput(const std::u16string& Text) {
  for (size_t at = 0; at < Text.size();) {
    const size_t length = WideCharLength(Text, at);
    IncrementalSearch(std::u16string_view(Text).substr(at, length));
    at += length;
  }
  if (OnUnicodeInput) OnUnicodeInput(this, Text);
}

// Slot k of a group: the item at the last row's first index + k, or one row higher when
// that is past the end, or the group's last item. FirstRow takes the first row instead.
POGLItem TSectionGroupedList::ColumnSlot(POGLItem Group, int Slot, bool FirstRow) const {
  if (!Group || Group->ChildCount == 0) return nullptr;
  const int rowStart = FirstRow ? 0 : (Group->ChildCount - 1) / columns_ * columns_;
  int index = rowStart + Slot;
  if (index >= Group->ChildCount && !FirstRow && rowStart >= columns_) index -= columns_;
  if (index >= Group->ChildCount) return Group->LastChild;
  return ChildAt(Group, index);
}

POGLItem TSectionGroupedList::ProbeAt(int X, int Y) const {
  return GetItemAt(X, Y, true);
}

// Returns whether a group was expanded by the move.
bool TSectionGroupedList::Navigate(TKeyCode Key, bool Extend, bool ClearSel, bool SelectNew,
                                   bool Ctrl) {
  POGLItem f = focused_;
  if (!f) return false;
  // A row of a folded group (focused by code) moves on from its group's header, never
  // through the rows that are not shown.
  if (!IsGroup(f) && !IsGroupExpanded(f->Parent)) f = f->Parent;
  const bool group = IsGroup(f);
  if (Key == VK_LEFT && ClearSel && group && IsGroupExpanded(f)) {
    CollapseGroup(f);
    return false;
  }
  if (Key == VK_RIGHT && ClearSel && group && !IsGroupExpanded(f) && f->ChildCount > 0) {
    ExpandGroup(f);
    ScrollIntoView(f, true);
    return true;
  }
  if (AtListEnd(f, Key)) return false;
  if (ClearSel) DeselectAll();
  POGLItem target = nullptr;
  switch (Key) {
    case VK_HOME:
    case VK_END:
      target = EndTarget(f, Key == VK_HOME, Ctrl);
      break;
    case VK_LEFT:
      target = LeftTarget(f, Extend);
      break;
    case VK_RIGHT:
      target = RightTarget(f, Extend);
      break;
    case VK_UP:
      target = UpTarget(f, Extend);
      break;
    case VK_DOWN:
      target = DownTarget(f, Extend);
      break;
    case VK_PRIOR:
    case VK_NEXT:
      target = PageTarget(f, Key == VK_PRIOR);
      break;
    default:
      break;
  }
  if (!target || target == f) {
    if (SelectNew && !IsGroup(f)) SelectItem(f, false);
    return false;
  }
  if (Extend) SelectRange(target);
  SetFocusedItem(target, !Extend);
  if (SelectNew && !IsGroup(target)) SelectItem(target, false);
  return false;
}

bool TSectionGroupedList::AtListEnd(POGLItem Focus, TKeyCode Key) const {
  const bool backward = Key == VK_HOME || Key == VK_PRIOR || Key == VK_UP || Key == VK_LEFT;
  if (backward) return Focus == root_->FirstChild;
  POGLItem lastGroup = root_->LastChild;
  if (!IsGroup(Focus)) return Focus == lastGroup->LastChild;
  return Focus == lastGroup && !IsGroupExpanded(Focus);
}

POGLItem TSectionGroupedList::ExpandedSibling(POGLItem Group, bool Forward) const {
  for (POGLItem g = Forward ? Group->NextSibling : Group->PrevSibling; g;
       g = Forward ? g->NextSibling : g->PrevSibling)
    if (IsGroupExpanded(g)) return g;
  return nullptr;
}

POGLItem TSectionGroupedList::EndTarget(POGLItem Focus, bool Home, bool Ctrl) const {
  if (Ctrl) return Home ? Focus->Parent->FirstChild : Focus->Parent->LastChild;
  if (Home) return root_->FirstChild;
  POGLItem lastGroup = root_->LastChild;
  return IsGroupExpanded(lastGroup) ? lastGroup->LastChild : lastGroup;
}

// A row moves to its neighbour in the group; past the first one to its header or, when
// extending, into the last row of the expanded group before. A header moves to the
// header before, or that group's last row when it is expanded.
POGLItem TSectionGroupedList::LeftTarget(POGLItem Focus, bool Extend) const {
  if (IsGroup(Focus)) {
    POGLItem prev = Focus->PrevSibling;
    if (!prev) return nullptr;
    return !Extend && IsGroupExpanded(prev) ? prev->LastChild : prev;
  }
  if (Focus->PrevSibling) return Focus->PrevSibling;
  if (!Extend) return Focus->Parent;
  POGLItem e = ExpandedSibling(Focus->Parent, false);
  return e ? e->LastChild : nullptr;
}

POGLItem TSectionGroupedList::RightTarget(POGLItem Focus, bool Extend) const {
  if (IsGroup(Focus))
    return !Extend && IsGroupExpanded(Focus) ? Focus->FirstChild : Focus->NextSibling;
  if (Focus->NextSibling) return Focus->NextSibling;
  if (!Extend) return Focus->Parent->NextSibling;
  POGLItem e = ExpandedSibling(Focus->Parent, true);
  return e ? e->FirstChild : nullptr;
}

// Rows move by a row of columns, keeping the focused column when they leave the group.
POGLItem TSectionGroupedList::UpTarget(POGLItem Focus, bool Extend) const {
  if (IsGroup(Focus)) {
    POGLItem prev = Focus->PrevSibling;
    if (!prev) return nullptr;
    return !Extend && IsGroupExpanded(prev) ? ColumnSlot(prev, focus_column_, false) : prev;
  }
  POGLItem g = Focus->Parent;
  const int index = Focus->Index();
  if (index >= columns_) return ChildAt(g, index - columns_);
  if (!Extend) return g;
  POGLItem e = ExpandedSibling(g, false);
  return e ? ColumnSlot(e, focus_column_, false) : g->FirstChild;
}

POGLItem TSectionGroupedList::DownTarget(POGLItem Focus, bool Extend) const {
  if (IsGroup(Focus))
    return !Extend && IsGroupExpanded(Focus) ? ColumnSlot(Focus, focus_column_, true)
                                             : Focus->NextSibling;
  POGLItem g = Focus->Parent;
  const int index = Focus->Index();
  if (index + columns_ < g->ChildCount) return ChildAt(g, index + columns_);
  // A shorter last row: its last item.
  if (index / columns_ < (g->ChildCount - 1) / columns_) return g->LastChild;
  if (!Extend) return g->NextSibling ? g->NextSibling : g->LastChild;
  POGLItem e = ExpandedSibling(g, true);
  return e ? ColumnSlot(e, focus_column_, true) : nullptr;
}

// The item at the top (or bottom) of the view in the focused column; when that is the
// focused item already, the view scrolls a page first. Both edges are probed inside the
// view: a probe from the client height finds the row just under the window, and every
// press but the first would move one row.
POGLItem TSectionGroupedList::PageTarget(POGLItem Focus, bool Up) {
  const int x = ItemWidth() * focus_column_ + ItemWidth() / 2;
  POGLItem target = nullptr;
  for (int pass = 0; pass < 2 && !target; ++pass) {
    if (Up) {
      for (int y = 0; y < ClientHeight() && !target; ++y) target = ProbeAt(x, y);
    } else {
      for (int y = ClientHeight() - 1; y >= 0 && !target; --y) target = ProbeAt(x, y);
    }
    if (target != Focus) break;
    const int old = top_;
    SetTopPosition(top_ + (Up ? -ClientHeight() : ClientHeight()));
    if (top_ == old) {
      if (!Up && !IsGroup(Focus)) target = Focus->Parent->LastChild;
      break;
    }
    target = nullptr;
  }
  return target;
}

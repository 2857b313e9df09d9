// The grouped list as a control: its making and ending, the geometry of groups and rows,
// scrolling, focus and the look of groups.
#include "lists/section_grouped_list.h"

#include <algorithm>

#include "lists/grouped_list_drag.h"

namespace {

constexpr int kGlyphSize = 9;

}  // namespace

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
  // Letters made with dead keys or an input method are typed into the search too; the
  // list has no caret, its composition shows at its corner.
  SetInputMethodCaret(Rect(0, 0, 0, 0));
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
  // A drag started here may still wait for its answer: it touches the list no more.
  if (dragged_) dragged_->list_freed = true;
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

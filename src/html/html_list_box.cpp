#include "html/html_list_box.h"

#include <algorithm>

#include "html/component_version.h"
#include "html/html_drawing.h"
#include "html/html_text.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/gui/standard/shell.h"
#include "platform/sys/timer.h"

namespace {

constexpr std::uint32_t kListBoxVersion = 0x01080300;
constexpr int kLayoutWidth = 4096;  // how wide items are laid out with ScrollHorizontal
constexpr int kMaxItemHeight = 255;
constexpr unsigned kBlinkInterval = 100;
constexpr int kTicksPerBlink = 5;
constexpr int kHorizontalStep = 8;

// The order of the user's locale for our texts: letters compare without case first, and
// of two texts that differ only in case the lower-case one comes first.
int LocaleCompare(const std::string& A, const std::string& B) {
  const int folded = CompareText(A, B);
  return folded != 0 ? folded : CompareStr(B, A);
}

}  // namespace

THtmlListBox::THtmlListBox(TComponent* AOwner)
    : TCustomControl(AOwner), items_(std::make_unique<TStringList>()) {
  scroll_bars_ = std::make_unique<TControlScrollBars>(*this);
  scroll_bars_->OnScroll = [this](TScrollBarKind Kind, TScrollCode Code, int Pos) {
    Scroll(Kind, Code, Pos);
  };
  scroll_bars_->OnWheel = [this](int Notches) { return Wheel(Notches); };
  SetColor(clWindow);
  SetTabStop(true);
  items_->OnChange = [this](TStringList*) { ItemsChanged(); };
  selection_colors_.OnChange = [this](TGradientStyle*) { Invalidate(); };
}

THtmlListBox::~THtmlListBox() {
  items_->OnChange = nullptr;
  selection_colors_.OnChange = nullptr;
}

std::string THtmlListBox::Version() const {
  return ComponentVersion(kListBoxVersion);
}

void THtmlListBox::SetItemIndex(int Value) {
  const int index = Value >= 0 && Value < Count() ? Value : -1;
  if (index == item_index_) return;
  item_index_ = index;
  MakeVisible(index);
  Invalidate();
}

void THtmlListBox::SetTopIndex(int Value) {
  const int top = std::clamp(Value, 0, MaxTopIndex(ItemsHeight()));
  if (top == top_index_) return;
  top_index_ = top;
  UpdateScrollBars();
  Invalidate();
}

int THtmlListBox::ItemsWidth() const {
  return ClientWidth() - (scroll_bars_->Showing(sbVertical) ? scroll_bars_->Thickness() : 0);
}

int THtmlListBox::ItemsHeight() const {
  return ClientHeight() - (scroll_bars_->Showing(sbHorizontal) ? scroll_bars_->Thickness() : 0);
}

// The first item of the last page: from it on, every item fits into Height.
int THtmlListBox::MaxTopIndex(int Height) const {
  const int count = int(heights_.size());  // the items as measured
  int y = 0, n = count;
  while (n > 0 && y + heights_[std::size_t(n - 1)] <= Height) y += heights_[std::size_t(--n)];
  return std::min(n, std::max(count - 1, 0));
}

void THtmlListBox::UpdateScrollBars() {
  // A horizontal bar takes height from the items, a vertical one width: the vertical bar
  // is decided on the whole height, then again once the horizontal one is known.
  const int thickness = scroll_bars_->Thickness();
  const bool vertical = MaxTopIndex(ClientHeight()) > 0;
  const int width = ClientWidth() - (vertical ? thickness : 0);
  const bool horizontal = scroll_horizontal_ && horizontal_extent_ > width;
  const int max_top = MaxTopIndex(ClientHeight() - (horizontal ? thickness : 0));
  top_index_ = std::min(top_index_, max_top);
  horizontal_position_ =
      std::clamp(horizontal_position_, 0, std::max(horizontal_extent_ - width, 0));
  scroll_bars_->SetInfo(sbHorizontal, {0, horizontal ? horizontal_extent_ - 1 : 0,
                                       horizontal ? width : 1, horizontal_position_});
  const int count = int(heights_.size());
  scroll_bars_->SetInfo(sbVertical,
                        {0, std::max(count - 1, 0), std::max(count - max_top, 1), top_index_});
}

void THtmlListBox::Scroll(TScrollBarKind Kind, TScrollCode Code, int Pos) {
  const bool vertical = Kind == sbVertical;
  const int now = vertical ? top_index_ : horizontal_position_;
  const int line = vertical ? 1 : kHorizontalStep;
  const int page = vertical ? VisibleItems() : ItemsWidth();
  int to = now;
  switch (Code) {
    case scLineUp:
      to = now - line;
      break;
    case scLineDown:
      to = now + line;
      break;
    case scPageUp:
      to = now - page;
      break;
    case scPageDown:
      to = now + page;
      break;
    case scPosition:
    case scTrack:
      to = Pos;
      break;
    case scTop:
      to = 0;
      break;
    case scBottom:
      to = vertical ? Count() : horizontal_extent_;
      break;
  }
  if (vertical)
    SetTopIndex(to);
  else
    SetHorizontalPosition(to);
}

// Without the vertical bar the list has nothing to scroll and the wheel is the parent's.
bool THtmlListBox::Wheel(int Notches) {
  if (!scroll_bars_->Showing(sbVertical)) return false;
  SetTopIndex(top_index_ - Notches * TControlScrollBars::WheelScrollLines());
  return true;
}

TRect THtmlListBox::ItemRect(int Index) const {
  if (Index < top_index_ || Index >= Count()) return Rect(0, 0, 0, 0);
  int y = 0;
  for (int n = top_index_; n < Index; ++n) y += heights_[std::size_t(n)];
  return Rect(0, y, ItemsWidth(), y + heights_[std::size_t(Index)]);
}

int THtmlListBox::ItemAtPos(TPoint Point) const {
  if (Point.X < 0 || Point.X >= ItemsWidth() || Point.Y < 0) return -1;
  int y = 0;
  for (int n = top_index_; n < Count(); ++n) {
    y += heights_[std::size_t(n)];
    if (Point.Y < y) return n;
    if (y >= ItemsHeight()) break;
  }
  return -1;
}

int THtmlListBox::VisibleItems() const {
  int y = 0, shown = 0;
  for (int n = top_index_; n < Count() && y + heights_[std::size_t(n)] <= ItemsHeight(); ++n) {
    y += heights_[std::size_t(n)];
    ++shown;
  }
  return std::max(shown, 1);
}

void THtmlListBox::MakeVisible(int Index) {
  if (Index < 0) return;
  if (Index < top_index_) {
    SetTopIndex(Index);
    return;
  }
  // Scroll down until the item's bottom is inside.
  int top = top_index_;
  auto bottom_of = [&](int first) {
    int y = 0;
    for (int n = first; n <= Index; ++n) y += heights_[std::size_t(n)];
    return y;
  };
  while (top < Index && bottom_of(top) > ItemsHeight()) ++top;
  SetTopIndex(top);
}

std::string THtmlListBox::PlainItems(int Index) const {
  if (Index < 0 || Index >= Count()) throw EHtmlListBoxError("Item index out of range");
  return HtmlStrip(items_->Get(Index));
}

THtmlDrawParams THtmlListBox::DrawParams() const {
  THtmlDrawParams params;
  params.Images = images_;
  params.ShadowOffset = shadow_offset_;
  params.WordWrap = !ellipsis_;
  params.ShadowColor = shadow_color_;
  params.PictureCache = const_cast<THTMLPictureCache*>(&picture_cache_);
  params.PictureContainer = picture_container_;
  params.LineSpacing = line_spacing_;
  params.FocusLink = params.HoverLink = -1;
  params.HoverColor = params.HoverFontColor = clNone;
  return params;
}

// Room is kept for the vertical bar when it shows or the items will need it at their set
// height, else Margin pixels.
int THtmlListBox::MeasureRight(int Margin) const {
  if (scroll_horizontal_) return kLayoutWidth;
  const bool bar = scroll_bars_->Showing(sbVertical) || Count() * item_height_ > Height();
  return ClientWidth() - (bar ? scroll_bars_->Thickness() : Margin);
}

THtmlDrawResult THtmlListBox::MeasureItem(int Index, int Right) {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  THtmlDrawParams params = DrawParams();
  params.HitTestOnly = params.MeasureOnly = true;
  params.Selected = params.Blink = true;
  THtmlDrawResult result;
  DrawHtmlText(canvas, items_->Get(Index), Rect(0, 0, Right, std::max(ClientHeight(), 1)), params,
               result);
  return result;
}

// An item is never taller than the list shows (once the list has a size) or 255.
static int LimitedHeight(int Height, int ClientHeight) {
  if (ClientHeight > 0) Height = std::min(Height, ClientHeight);
  return std::min(Height, kMaxItemHeight);
}

void THtmlListBox::UpdateItemHeights() {
  updating_heights_ = true;
  heights_.assign(std::size_t(Count()), item_height_);
  int widest = 0;
  const int right = MeasureRight(4);
  for (int n = 0; n < Count(); ++n) {
    if (!auto_item_height_) continue;
    const THtmlDrawResult measured = MeasureItem(n, right);
    heights_[std::size_t(n)] = LimitedHeight(measured.YSize, ClientHeight()) + 1;
    widest = std::max(widest, measured.XSize + 6);
  }
  if (scroll_horizontal_ && widest > widest_) {
    widest_ = widest;
    UpdateHorizontalExtent(widest_);
  }
  updating_heights_ = false;
  widest_ = WidestItem();
  measured_.clear();
  for (int n = 0; n < Count(); ++n) measured_.push_back(items_->Get(n));
  UpdateScrollBars();
  Invalidate();
}

int THtmlListBox::WidestItem() {
  int widest = 0;
  for (int n = 0; n < Count(); ++n)
    widest = std::max(widest, MeasureItem(n, ClientWidth()).XSize + 6);
  return widest;
}

void THtmlListBox::UpdateHorizontalExtent(int Width) {
  if (updating_extent_) return;
  updating_extent_ = true;
  if (Count() > 0 && scroll_horizontal_) {
    if (Width < 1) Width = WidestItem();
    horizontal_extent_ = ItemsWidth() >= Width ? 0 : Width;
  } else {
    horizontal_extent_ = 0;
  }
  if (horizontal_extent_ == 0) horizontal_position_ = 0;
  UpdateScrollBars();
  updating_extent_ = false;
}

void THtmlListBox::SetHorizontalPosition(int Value) {
  const int position = std::clamp(Value, 0, std::max(horizontal_extent_ - ItemsWidth(), 0));
  if (position == horizontal_position_) return;
  horizontal_position_ = position;
  UpdateScrollBars();
  Invalidate();
}

// One item deleted or inserted before the chosen one moves it: the choice stays with
// the same item, and goes when that item is deleted.
void THtmlListBox::FollowChosenItem() {
  const int old = static_cast<int>(measured_.size());
  const int count = Count();
  if (item_index_ < 0 || (count != old - 1 && count != old + 1)) return;
  const int common = std::min(count, old);
  int changed = 0;
  while (changed < common && measured_[std::size_t(changed)] == items_->Get(changed)) ++changed;
  if (count < old) {
    if (changed == item_index_)
      item_index_ = -1;
    else if (changed < item_index_)
      --item_index_;
  } else if (changed <= item_index_) {
    ++item_index_;
  }
}

void THtmlListBox::ItemsChanged() {
  const std::size_t old = measured_.size();
  bool appended = std::size_t(Count()) == old + 1;
  for (std::size_t n = 0; appended && n < old; ++n) appended = measured_[n] == items_->Get(int(n));
  FollowChosenItem();
  if (item_index_ >= Count()) item_index_ = -1;
  if (top_index_ >= Count()) top_index_ = std::max(Count() - 1, 0);
  if (!appended) {
    UpdateItemHeights();
    if (scroll_horizontal_ && std::size_t(Count()) < old) UpdateHorizontalExtent(0);
    return;
  }
  // One more at the end: measure just that one.
  const int index = Count() - 1;
  int height = item_height_;
  int width = 0;
  if (auto_item_height_ && item_height_ >= 1) {
    const THtmlDrawResult measured = MeasureItem(index, MeasureRight(2));
    height = LimitedHeight(measured.YSize, ClientHeight());
    width = measured.XSize + 6;
  }
  heights_.push_back(height);
  measured_.push_back(items_->Get(index));
  if (scroll_horizontal_ && width > widest_) {
    widest_ = width;
    UpdateHorizontalExtent(widest_);
  }
  UpdateScrollBars();
  Invalidate();
}

void THtmlListBox::Paint() {
  TCanvas& canvas = Canvas();
  // Only the items in the area to paint are drawn (a blink repaints just its items).
  const int width = ItemsWidth();
  int y = 0;
  for (int n = top_index_; n < Count() && y < ClientHeight(); ++n) {
    const TRect rect = Rect(0, y, width, y + heights_[std::size_t(n)]);
    if (canvas.RectVisible(rect))
      DrawItem(n, rect, n == item_index_, n == item_index_ && Focused());
    y = rect.Bottom;
  }
  // What no item covers: below the last, and the corner between the two scroll bars.
  canvas.Brush().SetColor(Color());
  if (y < ClientHeight()) canvas.FillRect(Rect(0, y, ClientWidth(), ClientHeight()));
  if (width < ClientWidth()) canvas.FillRect(Rect(width, 0, ClientWidth(), ClientHeight()));
}

void THtmlListBox::DrawItem(int Index, TRect Rect, bool Selected, bool Focused) {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  const bool shown_selected = Selected && show_selection_;
  TColor link = url_color_;
  if (!shown_selected) {
    canvas.Brush().SetColor(Color());
    canvas.Pen().SetColor(Color());
    canvas.FillRect(Rect);
  } else {
    const TGradientStyle& s = selection_colors_;
    canvas.Font().SetColor(selection_font_color_);
    link = selection_font_color_;
    if (s.ColorTo() == clNone) {
      canvas.Brush().SetColor(s.ColorFrom());
      canvas.FillRect(Rect);
    } else {
      PaintSelection(canvas, Rect, s.ColorFrom(), true, s.BorderColor(), s.Direction,
                     s.ColorMirrorTo(), s.ColorMirrorFrom(), s.ColorTo());
    }
    // Blinking text in its off phase takes the colour the selection starts with.
    canvas.Brush().SetColor(s.ColorFrom());
  }
  if (Focused && show_focus_ && show_selection_) canvas.DrawFocusRect(Rect);
  Rect.Left += 2 - horizontal_position_;
  if (scroll_horizontal_) Rect.Right = Rect.Left + kLayoutWidth;
  THtmlDrawParams params = DrawParams();
  params.XPos = mouse_.X + 2;
  params.YPos = mouse_.Y;
  params.Selected = shown_selected;
  params.Blink = blink_phase_;
  params.URLColor = link;
  THtmlDrawResult result;
  DrawHtmlText(canvas, items_->Get(Index), Rect, params, result);
}

void THtmlListBox::GetAnchorAt(int X, int Y, std::string& Anchor, int& Index) {
  Anchor.clear();
  Index = ItemAtPos(Point(X, Y));
  if (Index < 0) return;
  TRect rect = ItemRect(Index);
  // The same place the item is drawn at.
  rect.Left += 2 - horizontal_position_;
  if (scroll_horizontal_) rect.Right = rect.Left + kLayoutWidth;
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  THtmlDrawParams params = DrawParams();
  params.XPos = X + 2;
  params.YPos = Y;
  params.HitTestOnly = true;
  params.Selected = params.Blink = true;
  THtmlDrawResult result;
  if (DrawHtmlText(canvas, items_->Get(Index), rect, params, result)) Anchor = result.AnchorVal;
}

void THtmlListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  std::string anchor;
  int index = -1;
  GetAnchorAt(X, Y, anchor, index);
  link_pressed_ = !anchor.empty();
  if (link_pressed_) {
    if (IsDesktopLink(anchor))
      ShellOpen(anchor);
    else if (OnAnchorClick)
      OnAnchorClick(this, index, anchor);
    return;
  }
  if (Button == mbLeft) {
    SetFocus();
    if (index >= 0) SetItemIndex(index);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

// A link's hint stands beside the cursor; an item's over the item, from the left edge.
bool THtmlListBox::HintShow(THintInfo& Info) {
  std::string anchor;
  int index = -1;
  GetAnchorAt(Info.CursorPos.X, Info.CursorPos.Y, anchor, index);
  if (AnchorHint && !anchor.empty()) {
    if (OnAnchorHint) OnAnchorHint(this, index, anchor);
    Info.HintStr = anchor;
    Info.HintPos = Point(Info.CursorPos.X + 10, Info.CursorPos.Y - 10);
    return true;
  }
  const int item = ItemAtPos(Info.CursorPos);
  if (ItemHint && item >= 0) {
    Info.HintStr = HTMLHint ? items_->Get(item) : PlainItems(item);
    Info.HintPos = Point(0, ItemRect(item).Top);
    return true;
  }
  return !(ItemHint || AnchorHint);
}

void THtmlListBox::Click() {
  // A press on a link was the link's, not a choice of the item.
  if (link_pressed_) {
    link_pressed_ = false;
    return;
  }
  TCustomControl::Click();
}

void THtmlListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  mouse_ = Point(X, Y);
  if (ItemHint) {
    const int item = ItemAtPos(Point(X, Y));
    if (item != hint_item_) CancelHint();
    hint_item_ = item;
  }
  std::string anchor;
  int index = -1;
  GetAnchorAt(X, Y, anchor, index);
  if (!anchor.empty()) {
    if (anchor != last_anchor_ && !last_anchor_.empty()) {
      CancelHint();
      if (OnAnchorExit) OnAnchorExit(this, index, last_anchor_);
    }
    if (Cursor() != crHandPoint) SetCursor(crHandPoint);
    if (anchor != last_anchor_ && OnAnchorEnter) OnAnchorEnter(this, index, anchor);
    last_anchor_ = anchor;
  } else if (Cursor() == crHandPoint && !last_anchor_.empty()) {
    CancelHint();
    SetCursor(crDefault);
    if (OnAnchorExit) OnAnchorExit(this, index, last_anchor_);
    last_anchor_.clear();
  }
}

void THtmlListBox::MouseLeave() {
  mouse_ = Point(-1, -1);
  TCustomControl::MouseLeave();
}

void THtmlListBox::Choose(int Index) {
  if (Index < 0 || Index >= Count() || Index == item_index_) return;
  SetItemIndex(Index);
  Click();
}

void THtmlListBox::KeyDown(TKeyCode& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const int last = Count() - 1;
  switch (Key) {
    case VK_UP:
      Choose(std::max(item_index_ - 1, 0));
      break;
    case VK_DOWN:
      Choose(std::min(item_index_ + 1, last));
      break;
    case VK_HOME:
      Choose(0);
      break;
    case VK_END:
      Choose(last);
      break;
    case VK_PRIOR:
      Choose(std::max(item_index_ - VisibleItems(), 0));
      break;
    case VK_NEXT:
      Choose(std::min(item_index_ + VisibleItems(), last));
      break;
    case VK_LEFT:
      SetHorizontalPosition(horizontal_position_ - kHorizontalStep);
      break;
    case VK_RIGHT:
      SetHorizontalPosition(horizontal_position_ + kHorizontalStep);
      break;
    case VK_ESCAPE:
      break;
    case VK_BACK:
      if (!search_.empty()) search_.pop_back();
      return;
    default:
      return;
  }
  search_.clear();
}

void THtmlListBox::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  if (static_cast<unsigned char>(Key) < ' ') return;
  if (IncrLookup)
    search_ += Key;
  else
    search_ = std::string(1, Key);
  if (item_index_ < 0 && !IncrLookup) return;
  auto find = [&](int From) {
    const std::string wanted = AnsiUpperCase(search_);
    for (int n = From; n < Count(); ++n)
      if (AnsiUpperCase(PlainItems(n)).starts_with(wanted)) return n;
    return -1;
  };
  int found = find(std::max(item_index_, 0));
  if (found < 0) found = find(0);
  if (found < 0 && IncrLookup) {
    search_ = std::string(1, Key);
    found = find(0);
  }
  if (found >= 0) Choose(found);
}

void THtmlListBox::DoEnter() {
  search_.clear();
  TCustomControl::DoEnter();
}

void THtmlListBox::Resize() {
  TCustomControl::Resize();
  if (!scroll_horizontal_ && !updating_heights_)
    UpdateItemHeights();
  else if (scroll_horizontal_)
    UpdateHorizontalExtent(0);
  Invalidate();
}

void THtmlListBox::Sort() {
  std::vector<std::string> keys;
  std::vector<std::string> lines;
  for (int n = 0; n < Count(); ++n) {
    lines.push_back(items_->Get(n));
    keys.push_back(SortWithHTML ? lines.back() : PlainItems(n));
  }
  if (lines.size() < 2) return;
  // Quicksort with the middle element as pivot; equal items are never exchanged.
  auto quick_sort = [&](auto& self, int left, int right) -> void {
    int i;
    do {
      i = left;
      int j = right;
      const std::string pivot = keys[std::size_t((left + right) / 2)];
      do {
        while (LocaleCompare(keys[std::size_t(i)], pivot) < 0) ++i;
        while (LocaleCompare(keys[std::size_t(j)], pivot) > 0) --j;
        if (i <= j) {
          if (LocaleCompare(keys[std::size_t(i)], keys[std::size_t(j)]) != 0) {
            std::swap(keys[std::size_t(i)], keys[std::size_t(j)]);
            std::swap(lines[std::size_t(i)], lines[std::size_t(j)]);
          }
          ++i;
          --j;
        }
      } while (i <= j);
      if (left < j) self(self, left, j);
      left = i;
    } while (i < right);
  };
  quick_sort(quick_sort, 0, int(lines.size()) - 1);
  items_->BeginUpdate();
  items_->Clear();
  for (const std::string& line : lines) items_->Add(line);
  items_->EndUpdate();
}

void THtmlListBox::SetSorted(bool Value) {
  sorted_ = Value;
  if (Value) Sort();
}

void THtmlListBox::ApplyColorPreset(int Style) {
  TGradientStyle& s = selection_colors_;
  auto set = [&](TColor Border, TColor From, TColor To, TColor MirrorFrom, TColor MirrorTo,
                 TColor Font) {
    s.SetBorderColor(Border);
    s.SetColorFrom(From);
    s.SetColorTo(To);
    s.SetColorMirrorFrom(MirrorFrom);
    s.SetColorMirrorTo(MirrorTo);
    SetSelectionFontColor(Font);
  };
  if (Style >= 0 && Style <= 3) set(clNone, 0xC2EEFF, clNone, clNone, clNone, clBlack);
  if (Style == 4 || Style == 5 || Style == 9)
    set(0xC0C0C0, 0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, clBlack);
  if (Style == 6 || Style == 7) set(clNone, clHighlight, clNone, clNone, clNone, clHighlightText);
}

void THtmlListBox::BlinkTick() {
  if (Count() == 0 || !enable_blink_) return;
  bool animated = picture_cache_.Animate();
  if (picture_container_ && picture_container_->Items().Animate()) animated = true;
  if (animated) Invalidate();
  if (++ticks_ % kTicksPerBlink != 0) return;
  blink_phase_ = !blink_phase_;
  if (animated) return;
  // Only the blinking items in view are painted again, in the new phase.
  const int width = ItemsWidth();
  for (int n = top_index_, y = 0; n < Count() && y < ItemsHeight(); ++n) {
    const int bottom = y + heights_[std::size_t(n)];
    if (UpperCase(items_->Get(n)).find("<BLINK") != std::string::npos)
      InvalidateRect(Rect(0, y, width, bottom));
    y = bottom;
  }
}

void THtmlListBox::SetEnableBlink(bool Value) {
  enable_blink_ = Value;
  if (Value) {
    if (!blink_timer_) {
      blink_timer_ = std::make_unique<TTimer>();
      blink_timer_->SetInterval(kBlinkInterval);
      blink_timer_->OnTimer = [this](TComponent*) { BlinkTick(); };
    }
    blink_timer_->SetEnabled(true);
    return;
  }
  if (blink_timer_) blink_timer_->SetEnabled(false);
  blink_phase_ = true;
  Invalidate();
}

void THtmlListBox::SetAutoItemHeight(bool Value) {
  if (auto_item_height_ == Value) return;
  auto_item_height_ = Value;
  UpdateItemHeights();
}

void THtmlListBox::SetEllipsis(bool Value) {
  SetAndInvalidate(ellipsis_, Value);
}

void THtmlListBox::SetImages(TImageList* Value) {
  images_ = Value;
  UpdateItemHeights();
}

void THtmlListBox::SetItemHeight(int Value) {
  item_height_ = Value > 0 ? Value : 1;
  if (!auto_item_height_) UpdateItemHeights();
}

void THtmlListBox::SetLineSpacing(int Value) {
  if (line_spacing_ == Value) return;
  line_spacing_ = Value;
  UpdateItemHeights();
}

void THtmlListBox::SetMultiline(bool Value) {
  if (multiline_ == Value) return;
  multiline_ = Value;
  UpdateItemHeights();
}

void THtmlListBox::SetPictureContainer(TPictureContainer* Value) {
  picture_container_ = Value;
  UpdateItemHeights();
}

void THtmlListBox::SetScrollHorizontal(bool Value) {
  if (scroll_horizontal_ == Value) return;
  scroll_horizontal_ = Value;
  UpdateHorizontalExtent(0);
  Invalidate();
}

void THtmlListBox::SetSelectionFontColor(TColor Value) {
  SetAndInvalidate(selection_font_color_, Value);
}

void THtmlListBox::SetShadowColor(TColor Value) {
  shadow_color_ = Value;
  Invalidate();
}

void THtmlListBox::SetShadowOffset(int Value) {
  shadow_offset_ = Value;
  Invalidate();
}

void THtmlListBox::SetShowFocus(bool Value) {
  show_focus_ = Value;
  Invalidate();
}

void THtmlListBox::SetShowSelection(bool Value) {
  show_selection_ = Value;
  Invalidate();
}

void THtmlListBox::SetURLColor(TColor Value) {
  SetAndInvalidate(url_color_, Value);
}

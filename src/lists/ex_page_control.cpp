#include "lists/ex_page_control.h"

#include <algorithm>
#include <cctype>

#include "html/component_version.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/show_request.h"
#include "platform/sys/application.h"
#include "platform/text/format.h"
#include "platform/text/string_list.h"

namespace {

constexpr std::uint32_t kVersion = 0x01050200;

// The focused control at or under Root, if any.
TWinControl* FocusedIn(TWinControl& Root) {
  if (Root.Focused()) return &Root;
  for (int n = 0; n < Root.ControlCount(); ++n) {
    if (auto* child = dynamic_cast<TWinControl*>(Root.Controls(n))) {
      if (TWinControl* found = FocusedIn(*child)) return found;
    }
  }
  return nullptr;
}

// The character after a single '&' of a caption, lower-cased; 0 for none.
char AcceleratorOf(const std::string& Caption) {
  for (std::size_t n = 0; n + 1 < Caption.size(); ++n) {
    if (Caption[n] != '&') continue;
    if (Caption[n + 1] != '&')
      return static_cast<char>(std::tolower(static_cast<unsigned char>(Caption[n + 1])));
    ++n;
  }
  return 0;
}

}  // namespace

void TTabMargin::Set(int Index, int Value) {
  if (margins_[Index] == Value) return;
  if (OnMarginChange) OnMarginChange(Value, margins_[Index], Index);
  margins_[Index] = Value;
  if (OnChanged) OnChanged();
}

// ---- sheets

TExTabSheet::TExTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  SetAlign(alClient);
  SetVisible(false);
}

TExTabSheet::~TExTabSheet() {
  if (page_control_) page_control_->RemovePage(*this);
}

void TExTabSheet::SetPageControl(TExPageControl* Value) {
  if (page_control_ == Value) return;
  if (page_control_) page_control_->RemovePage(*this);
  if (!Value) return;
  SetParent(Value);
  Value->InsertPage(*this);
  if (text_color_ == 0) text_color_ = Value->default_text_color_;
  if (tab_color_ == clNone) tab_color_ = Value->default_tab_color_;
  if (tab_color_to_ == clNone) tab_color_to_ = Value->default_tab_color_to_;
}

int TExTabSheet::PageIndex() const {
  if (!page_control_) return -1;
  const auto& pages = page_control_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TExTabSheet::SetPageIndex(int Value) {
  if (!page_control_) return;
  auto& pages = page_control_->pages_;
  const int last = static_cast<int>(pages.size()) - 1;
  if (Value > last || Value < 0)
    throw EStringListError(Format(
        "%d ist ein ung\xFCltiger Wert f\xFCr PageIndex. PageIndex muss zwischen 0 und %d liegen",
        Value, last));
  const int old = PageIndex();
  if (old == Value) return;
  const int oldTab = TabIndex();
  pages.erase(pages.begin() + old);
  pages.insert(pages.begin() + Value, this);
  page_control_->hover_tab_ = -1;
  if (oldTab >= 0) {
    auto& tabs = page_control_->tabs_;
    TExPageControl::TTabEntry entry = tabs[oldTab];
    tabs.erase(tabs.begin() + oldTab);
    tabs.insert(tabs.begin() + TabIndex(), entry);
    page_control_->selected_tab_ =
        page_control_->active_page_ && page_control_->active_page_->tab_showing_
            ? page_control_->active_page_->TabIndex()
            : page_control_->selected_tab_;
    page_control_->LayOut();
  }
}

int TExTabSheet::TabIndex() const {
  if (!tab_showing_ || !page_control_) return -1;
  int index = 0;
  for (const TExTabSheet* page : page_control_->pages_) {
    if (page == this) return index;
    if (page->tab_showing_) ++index;
  }
  return -1;
}

void TExTabSheet::SetTabVisible(bool Value) {
  if (tab_visible_ == Value) return;
  tab_visible_ = Value;
  UpdateTabShowing();
}

void TExTabSheet::UpdateTabShowing() {
  const bool showing = page_control_ && tab_visible_;
  if (showing == tab_showing_) return;
  if (page_control_) {
    page_control_->TabShowingChanged(*this, showing);
  } else {
    tab_showing_ = showing;
  }
}

void TExTabSheet::SetTabEnable(bool Value) {
  if (tab_enable_ == Value) return;
  if (page_control_ && page_control_->active_page_ == this)
    throw Exception("Can not disable active tab.");
  tab_enable_ = Value;
  if (page_control_) page_control_->Invalidate();
}

void TExTabSheet::SetShowClose(bool Value) {
  show_close_ = Value;
  if (!page_control_) return;
  page_control_->RefreshTab(*this);
  page_control_->Invalidate();
}

void TExTabSheet::SetImageIndex(int Value) {
  image_index_ = Value >= 0 ? Value : -1;
  if (page_control_) page_control_->RefreshTab(*this);
}

void TExTabSheet::SetHighlighted(bool Value) {
  if (highlighted_ == Value) return;
  highlighted_ = Value;
  if (page_control_) page_control_->Invalidate();
}

void TExTabSheet::SetTextColor(TColor Value) {
  text_color_ = Value;
  if (page_control_) page_control_->Invalidate();
}

void TExTabSheet::SetTabColor(TColor Value) {
  tab_color_ = Value;
  Invalidate();
}

void TExTabSheet::SetTabColorTo(TColor Value) {
  tab_color_to_ = Value;
  Invalidate();
}

void TExTabSheet::SetTabGradientDirection(TGradientDirection Value) {
  if (tab_gradient_direction_ == Value) return;
  tab_gradient_direction_ = Value;
  if (page_control_) page_control_->Invalidate();
}

void TExTabSheet::SetColorTo(TColor Value) {
  color_to_ = Value;
  Invalidate();
  if (page_control_) page_control_->Invalidate();
}

std::string TExTabSheet::TabSizingText() const {
  if (show_close_) return Caption() + " ";
  return Caption().size() > 2 ? Caption().substr(0, Caption().size() - 2) : std::string();
}

void TExTabSheet::Paint() {
  const TRect all = ClientRect();
  if (color_to_ != clNone) {
    GradientFill(Canvas(), Color(), color_to_, false, all, 64);
  } else {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(all);
  }
}

void TExTabSheet::CaptionChanged() {
  TCustomControl::CaptionChanged();
  if (page_control_ && tab_showing_) page_control_->RefreshTab(*this);
}

void TExTabSheet::EnabledChanged() {
  TCustomControl::EnabledChanged();
  if (page_control_) page_control_->Invalidate();
}

void TExTabSheet::ColorChanged() {
  TCustomControl::ColorChanged();
  if (page_control_) page_control_->Invalidate();
}

void TExTabSheet::VisibleChanged() {
  TCustomControl::VisibleChanged();
  if (Visible() == shown_) return;
  shown_ = Visible();
  TNotifyEvent& handler = shown_ ? OnShow : OnHide;
  if (handler) Dispatch([&] { handler(this); });
}

// ---- the control

TExPageControl::TExPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  active_font_.SetName("Tahoma");
  SetTabStop(true);
  tab_margin_.OnChanged = [this] { LayOut(); };
  // A control on a sheet in the back that is given the focus brings its sheet to the
  // front first: the sheet becomes the active page.
  SetShowRequestHandler(*this, [this](TControl& Child) {
    auto* sheet = dynamic_cast<TExTabSheet*>(&Child);
    if (sheet && sheet->page_control_ == this && sheet != active_page_) SetActivePage(sheet);
  });
}

// Sheets stay with their owner, detached.
TExPageControl::~TExPageControl() {
  SetShowRequestHandler(*this, nullptr);
  tab_margin_.OnChanged = nullptr;
  for (TExTabSheet* page : pages_) {
    page->page_control_ = nullptr;
    page->tab_showing_ = false;
  }
}

TExTabSheet* TExPageControl::Pages(int Index) const {
  return Index >= 0 && Index < PageCount() ? pages_[Index] : nullptr;
}

std::string TExPageControl::Version() const {
  return ComponentVersion(kVersion);
}

void TExPageControl::InsertPage(TExTabSheet& Page) {
  pages_.push_back(&Page);
  Page.page_control_ = this;
  Page.UpdateTabShowing();
}

void TExPageControl::RemovePage(TExTabSheet& Page) {
  TExTabSheet* next = FindNextPage(&Page, true, true);
  if (next == &Page) next = nullptr;
  if (Page.tab_showing_) TabShowingChanged(Page, false);
  Page.page_control_ = nullptr;
  std::erase(pages_, &Page);
  // The hover tab is a page index: the page under the mouse is found again on its next
  // move, instead of painting a page that is gone or one that moved into its place.
  hover_tab_ = -1;
  if (active_page_ == &Page) active_page_ = nullptr;
  SetActivePage(next);
  LayOut();
}

void TExPageControl::TabShowingChanged(TExTabSheet& Page, bool Showing) {
  if (Showing) {
    Page.tab_showing_ = true;
    const int index = Page.TabIndex();
    tabs_.insert(tabs_.begin() + index, {Page.TabSizingText(), &Page});
    if (selected_tab_ >= index) ++selected_tab_;
    if (selected_tab_ < 0 && !active_page_) selected_tab_ = index;
  } else {
    const int index = Page.TabIndex();
    Page.tab_showing_ = false;
    tabs_.erase(tabs_.begin() + index);
    if (&Page == active_page_) {
      selected_tab_ =
          index < static_cast<int>(tabs_.size()) ? index : static_cast<int>(tabs_.size()) - 1;
    } else if (selected_tab_ > index) {
      --selected_tab_;
    }
  }
  LayOut();
  UpdateActivePage();
}

void TExPageControl::UpdateActivePage() {
  if (selected_tab_ >= 0 && selected_tab_ < static_cast<int>(tabs_.size())) {
    ChangeActivePage(tabs_[selected_tab_].sheet);
  } else if (active_page_ && !active_page_->tab_showing_) {
    // The active sheet lost its tab and no tab is left: nothing is active, the sheet
    // stays as it is shown.
    active_page_ = nullptr;
  }
}

void TExPageControl::RefreshTab(TExTabSheet& Page) {
  const int index = Page.TabIndex();
  if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
  std::string text = Page.TabSizingText();
  if (&Page == active_page_ && (active_font_.Style() & (fsBold | fsItalic))) {
    // The active tab's font may be wider: pad with blanks up to the difference.
    TCanvas canvas;
    canvas.Font().Assign(active_font_);
    const int wide = canvas.TextWidth(text);
    canvas.Font().Assign(Font());
    const int plain = canvas.TextWidth(text);
    std::string padding;
    while (canvas.TextWidth(padding) < wide - plain) padding += ' ';
    text += padding;
  }
  tabs_[index].text = text;
  LayOut();
}

void TExPageControl::SetActivePage(TExTabSheet* Page) {
  if (Page && Page->page_control_ != this) return;
  ChangeActivePage(Page);
  if (!Page) {
    selected_tab_ = -1;
    active_page_ = nullptr;
  } else if (active_page_ == Page) {
    selected_tab_ = Page->TabIndex();
  }
  Invalidate();
}

void TExPageControl::ChangeActivePage(TExTabSheet* Page) {
  if (!Page || Page == active_page_) return;
  if (!Page->tab_enable_) {
    if (active_page_) selected_tab_ = active_page_->TabIndex();
    return;
  }
  TExTabSheet* old = active_page_;
  const bool focusInOld = old && FocusedIn(*old);
  Page->BringToFront();
  Page->SetVisible(true);
  // One sheet is shown: also one left showing when its tab was hidden while active.
  for (TExTabSheet* other : pages_)
    if (other != Page) other->SetVisible(false);
  active_page_ = Page;
  if (old) RefreshTab(*old);
  RefreshTab(*Page);
  // The focus leaving the old sheet goes on to the first control of the new one, as
  // Tab would; to the page control when that sheet has none.
  if (focusInOld && !Page->FocusFirstInside()) SetFocus();
  Invalidate();
}

TExTabSheet* TExPageControl::FindNextPage(TExTabSheet* Current, bool Forward,
                                          bool OnlyVisibleTabs) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  auto found = std::find(pages_.begin(), pages_.end(), Current);
  int start =
      found == pages_.end() ? (Forward ? count - 1 : 0) : static_cast<int>(found - pages_.begin());
  int index = start;
  do {
    index = Forward ? (index + 1) % count : (index + count - 1) % count;
    TExTabSheet* page = pages_[index];
    if (!OnlyVisibleTabs || page->tab_visible_) return page;
  } while (index != start);
  return nullptr;
}

void TExPageControl::SelectNextPage(bool Forward) {
  TExTabSheet* next = FindNextPage(active_page_, Forward, true);
  if (!next || next == active_page_) return;
  SelectByUser(next->PageIndex());
}

bool TExPageControl::SelectByUser(int PageIndex) {
  TExTabSheet* page = Pages(PageIndex);
  if (!page || !page->tab_showing_ || page == active_page_) return false;
  // Rows of tabs are reshuffled by the change: they paint once, when it is done.
  const bool suspend = multi_line_ && Visible();
  if (suspend) SuspendRedraw();
  bool allow = true;
  if (OnCanChange) OnCanChange(this, ActivePageIndex(), PageIndex, allow);
  if (allow && OnChanging) OnChanging(this, allow);
  if (allow && page->tab_enable_) {
    selected_tab_ = page->TabIndex();
    UpdateActivePage();
    Change();
  }
  if (suspend) ResumeRedraw();
  return allow && page->tab_enable_;
}

void TExPageControl::SuspendRedraw() {
  if (update_count_++ == 0) SetRedraw(false);
}

void TExPageControl::ResumeRedraw() {
  if (update_count_ > 0 && --update_count_ == 0) SetRedraw(true);
}

void TExPageControl::Change() {
  if (OnChange) OnChange(this);
  Invalidate();
}

// ---- properties

void TExPageControl::SetTabPosition(TTabPosition Value) {
  if (tab_position_ == Value) return;
  tab_position_ = Value;
  LayOut();
}

void TExPageControl::SetTabHeight(int Value) {
  if (tab_height_ == Value) return;
  tab_height_ = Value;
  LayOut();
}

void TExPageControl::SetTabMargin(const TTabMargin* Value) {
  if (!Value) return;
  tab_margin_.Assign(*Value);
  LayOut();
}

void TExPageControl::SetTabWidth(int Value) {
  if (tab_width_ == Value) return;
  tab_width_ = std::max(Value, 0);
  LayOut();
}

void TExPageControl::SetMultiLine(bool Value) {
  if (multi_line_ == Value) return;
  multi_line_ = Value;
  LayOut();
}

void TExPageControl::SetScrollOpposite(bool Value) {
  if (scroll_opposite_ == Value) return;
  scroll_opposite_ = Value;
  LayOut();
}

void TExPageControl::SetRaggedRight(bool Value) {
  if (ragged_right_ == Value) return;
  ragged_right_ = Value;
  LayOut();
}

void TExPageControl::SetHotTrack(bool Value) {
  hot_track_ = Value;
  if (!Value && hover_tab_ >= 0 && TabHoverColor == clNone) {
    hover_tab_ = -1;
    Invalidate();
  }
}

void TExPageControl::SetTabOverlap(int Value) {
  tab_overlap_ = std::clamp(Value, 0, 15);
  Invalidate();
}

void TExPageControl::SetTabStyle(TTabStyle Value) {
  StoreAndRepaint(tab_style_, Value);
}

void TExPageControl::SetTabSplitLine(bool Value) {
  if (Value && tab_style_ != tsClassic)
    throw Exception("TabSplitLine must be false when TabStyle is tsDotNet/tsKestrel");
  StoreAndRepaint(tab_split_line_, Value);
}

void TExPageControl::SetImages(TImageList* Value) {
  images_ = Value;
  LayOut();
}

void TExPageControl::SetActiveFont(const TFont& Value) {
  active_font_.Assign(Value);
  if (active_page_) RefreshTab(*active_page_);
  Invalidate();
}

void TExPageControl::SetDefaultTextColor(TColor Value) {
  for (TExTabSheet* page : pages_)
    if (page->text_color_ == default_text_color_) page->text_color_ = Value;
  default_text_color_ = Value;
  Invalidate();
}

void TExPageControl::SetDefaultTabColor(TColor Value) {
  for (TExTabSheet* page : pages_)
    if (page->tab_color_ == default_tab_color_) page->tab_color_ = Value;
  default_tab_color_ = Value;
  Invalidate();
}

void TExPageControl::SetDefaultTabColorTo(TColor Value) {
  for (TExTabSheet* page : pages_)
    if (page->tab_color_to_ == default_tab_color_to_) page->tab_color_to_ = Value;
  default_tab_color_to_ = Value;
  Invalidate();
}

void TExPageControl::SetCloseGlyph(const TBitmap& Value) {
  close_glyph_.Assign(Value);
  Invalidate();
}

void TExPageControl::SetTabBackGround(const TBitmap& Value) {
  tab_background_.Assign(Value);
  Invalidate();
}

void TExPageControl::SetTabBackGroundActive(const TBitmap& Value) {
  tab_background_active_.Assign(Value);
  Invalidate();
}

// ---- input

void TExPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && scrolling_) {
    for (const bool forward : {false, true}) {
      if (ScrollArrowRect(forward).Contains({X, Y})) {
        ScrollTabs(forward ? 1 : -1);
        return;
      }
    }
  }
  const int page = PageAtPos(X, Y);
  if (page < 0) return;
  if (TExTabSheet* active = active_page_;
      active && page == active->PageIndex() && active->show_close_) {
    if (CloseHitArea(TabRect(page)).Contains({X, Y})) {
      close_down_ = true;
      Invalidate();
      return;
    }
  }
  if (Button == mbLeft) SelectByUser(page);
}

void TExPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!close_down_) return;
  close_down_ = false;
  Invalidate();
  if (Button != mbLeft || !active_page_ || !active_page_->show_close_) return;
  if (CloseHitArea(TabRect(active_page_->PageIndex())).Contains({X, Y})) CloseActivePage();
}

void TExPageControl::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (TabHoverColor == clNone && !hot_track_) return;
  if (tab_background_.Empty()) {
    const int page = PageAtPos(X, Y);
    if (page != hover_tab_) {
      hover_tab_ = page;
      Invalidate();
    }
  }
  if (TabHoverColor != clNone && active_page_ && active_page_->show_close_) {
    const bool hot = CloseHitArea(TabRect(active_page_->PageIndex())).Contains({X, Y});
    if (hot != close_hot_) {
      close_hot_ = hot;
      Invalidate();
    }
  }
}

void TExPageControl::MouseLeave() {
  TCustomControl::MouseLeave();
  if (tab_background_.Empty() && hover_tab_ >= 0) Invalidate();
  hover_tab_ = -1;
  if (close_hot_) {
    close_hot_ = false;
    Invalidate();
  }
}

void TExPageControl::CloseActivePage() {
  TExTabSheet* closing = active_page_;
  if (!closing) return;
  TExTabSheet* next = FindNextPage(closing, true, true);
  bool canClose = true;
  if (closing->OnCanClose) closing->OnCanClose(closing, canClose);
  if (!canClose) return;
  if (closing->OnClose) closing->OnClose(closing);
  if (next == closing) next = nullptr;
  SetActivePage(next);
  Change();
  if (FreeOnClose) {
    delete closing;
  } else {
    closed_sheets_.emplace_back(closing->Name, closing);
    closing->SetPageControl(nullptr);
    closing->SetVisible(false);
    closing->SetParent(nullptr);
  }
  Invalidate();
}

void TExPageControl::KeyDown(TKeyCode& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  DialogKey(Key, Shift);
  if (Key == 0) return;
  // Left and right (up and down for side tabs) step through the tabs.
  const bool across = tab_position_ == tpLeft || tab_position_ == tpRight;
  const TKeyCode back = across ? VK_UP : VK_LEFT;
  const TKeyCode forth = across ? VK_DOWN : VK_RIGHT;
  if (Key == back || Key == forth) {
    SelectNextPage(Key == forth);
    Key = 0;
  }
}

void TExPageControl::DialogKey(TKeyCode& Key, TShiftState Shift) {
  if (Key == VK_TAB && (Shift & ssCtrl)) {
    SelectNextPage(!(Shift & ssShift));
    Key = 0;
    return;
  }
  if (!(Shift & ssAlt) || !Enabled() || !Visible()) return;
  const char typed = static_cast<char>(std::tolower(Key));
  for (TExTabSheet* page : pages_) {
    if (!page->tab_showing_ || !page->Enabled() || AcceleratorOf(page->Caption()) != typed)
      continue;
    SelectByUser(page->PageIndex());
    Key = 0;
    return;
  }
}

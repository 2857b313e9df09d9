#include "richtext/view/rd_scroller.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/gui/controls/focus_entry.h"
#include "platform/gui/controls/virtual_keys.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/model/item_info.h"

namespace {

constexpr int kFrameWidth = 2;
constexpr int kParkedTop = 10000;

}  // namespace

TRDScroller::TRDScroller(TComponent* AOwner) : TCustomControl(AOwner), bars_(*this) {
  SetTabStop(true);
  v_small_step_ = GetDefSmallStep();
  bars_.OnScroll = [this](TScrollBarKind kind, TScrollCode code, int pos) {
    if (kind == sbVertical)
      VScrollAction(code, pos);
    else
      HScrollAction(code, pos);
  };
  bars_.OnWheel = [this](int notches) { return WheelNotches(notches); };
}

TRDScroller::~TRDScroller() = default;

void TRDScroller::SetBorderStyle(TBorderStyle Value) {
  if (Value == border_style_) return;
  border_style_ = Value;
  UpdateScrollBars();
  Invalidate();
}

void TRDScroller::SetVSmallStep(int Value) {
  v_small_step_ = std::max(1, Value);
}

void TRDScroller::SetVScrollVisible(bool Value) {
  v_scroll_visible_ = Value;
  UpdateScrollRanges(scroll_width_, scroll_height_, true, true);
}

void TRDScroller::SetHScrollVisible(bool Value) {
  h_scroll_visible_ = Value;
  UpdateScrollRanges(scroll_width_, scroll_height_, true, true);
}

void TRDScroller::SetBiDiMode(TRDBiDiMode Value) {
  if (Value == bidi_mode_) return;
  bidi_mode_ = Value;
  SetVScrollAtLeft(Value == rdbdRightToLeft);
  Invalidate();
}

void TRDScroller::SetVScrollAtLeft(bool Value) {
  if (Value == v_scroll_at_left_) return;
  v_scroll_at_left_ = Value;
  bars_.SetVerticalAtLeft(Value);
  Invalidate();
}

TRect TRDScroller::DocumentRect() const {
  const int f = border_style_ == bsSingle ? kFrameWidth : 0;
  const int t = bars_.Thickness();
  const bool v = bars_.Showing(sbVertical), h = bars_.Showing(sbHorizontal);
  TRect r = Rect(f, f, std::max(f, Width() - f), std::max(f, Height() - f));
  if (v) {
    if (v_scroll_at_left_)
      r.Left = std::min(r.Right, std::max(r.Left, t));
    else
      r.Right = std::max(r.Left, std::min(r.Right, Width() - t));
  }
  if (h) r.Bottom = std::max(r.Top, std::min(r.Bottom, Height() - t));
  return r;
}

int TRDScroller::GetVScrollMax() const {
  // Like the system's bars, the page never exceeds the range: a short document has 0.
  if (v_scroll_visible_)
    return v_range_max_ - std::min(v_page_size_, std::max(0, v_range_max_ + 1)) + 1;
  return v_range_max_ - (v_page_size_ - 1);
}

void TRDScroller::UpdateScrollRanges(int ScrollWidth, int ScrollHeight, bool UpdateH,
                                     bool AllowKeep) {
  if (updating_scroll_bars_) return;
  updating_scroll_bars_ = true;
  // Twice: a bar that appears narrows the other direction's page.
  for (int pass = 0; pass < 2; ++pass) {
    if (UpdateH) {
      scroll_width_ = ScrollWidth;
      h_page_size_ = DocClientWidth();
      h_range_max_ = ScrollWidth - 1;
      h_scroll_pos_ = std::max(0, std::min(h_scroll_pos_, h_range_max_ - (h_page_size_ - 1)));
      if (h_scroll_visible_)
        h_scroll_pos_ = bars_.SetInfo(sbHorizontal, {0, h_range_max_, h_page_size_, h_scroll_pos_});
      else
        bars_.SetInfo(sbHorizontal, {0, 1, 2, 0});
    }
    scroll_height_ = ScrollHeight;
    v_page_size_ = DocClientHeight() / v_small_step_;
    v_range_max_ = ScrollHeight - 1;
    v_scroll_pos_ = std::max(0, std::min(v_scroll_pos_, v_range_max_ - (v_page_size_ - 1)));
    if (v_scroll_visible_)
      v_scroll_pos_ = bars_.SetInfo(
          sbVertical, {0, v_range_max_, v_page_size_, v_scroll_pos_, AllowKeep && KeepVScrollBar});
    else
      bars_.SetInfo(sbVertical, {0, 1, 2, 0});
  }
  if (OnResize) OnResize(this);
  updating_scroll_bars_ = false;
}

void TRDScroller::UpdateScrollBars() {
  UpdateScrollRanges(DocClientWidth(), DocClientHeight() / v_small_step_, true, true);
}

int TRDScroller::GetTopFromTag(const TControl& Child) {
  return std::clamp(Child.Tag, -kParkedTop, kParkedTop);
}

void TRDScroller::ScrollChildren(int DX, int DY) {
  if (DX == 0 && DY == 0) return;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (DY != 0) {
      child->Tag += DY;
      child->SetTop(GetTopFromTag(*child));
    }
    if (DX != 0) child->SetLeft(child->Left() + DX);
  }
}

void TRDScroller::ScrollTo(int Y, bool /*Redraw*/) {
  const int old = v_scroll_pos_;
  if (v_scroll_visible_)
    v_scroll_pos_ = bars_.SetInfo(
        sbVertical, {0, v_range_max_, v_page_size_, Y, bars_.GetInfo(sbVertical).KeepShown});
  else
    v_scroll_pos_ = std::max(0, std::min(Y, v_range_max_ - (v_page_size_ - 1)));
  const int delta = old - v_scroll_pos_;
  if (delta == 0) return;
  ScrollChildren(0, delta * v_small_step_);
  // The whole document area is painted again from the off-screen picture: it costs
  // a screenful of drawing and keeps fixed backgrounds right.
  Invalidate();
  DoVScrolled();
}

void TRDScroller::HScrollTo(int X) {
  const int old = h_scroll_pos_;
  if (h_scroll_visible_)
    h_scroll_pos_ = bars_.SetInfo(sbHorizontal, {0, h_range_max_, h_page_size_, X});
  else
    h_scroll_pos_ = std::max(0, std::min(X, h_range_max_ - (h_page_size_ - 1)));
  const int delta = old - h_scroll_pos_;
  if (delta == 0) return;
  ScrollChildren(delta, 0);
  Invalidate();
  DoHScrolled();
}

void TRDScroller::DoVScrolled() {
  if (OnVScrolled) OnVScrolled(this);
}

void TRDScroller::DoHScrolled() {
  if (OnHScrolled) OnHScrolled(this);
}

void TRDScroller::VScrollAction(TScrollCode Code, int Pos) {
  switch (Code) {
    case scLineUp:
      ScrollTo(v_scroll_pos_ - StepsPerLine, true);
      break;
    case scLineDown:
      ScrollTo(v_scroll_pos_ + StepsPerLine, true);
      break;
    case scPageUp:
      ScrollTo(v_scroll_pos_ - DocClientHeight() / v_small_step_, true);
      break;
    case scPageDown:
      ScrollTo(v_scroll_pos_ + DocClientHeight() / v_small_step_, true);
      break;
    case scPosition:
      ScrollTo(Pos, true);
      break;
    case scTrack:
      if (Tracking) ScrollTo(Pos, true);
      break;
    case scTop:
      ScrollTo(0, true);
      break;
    case scBottom:
      ScrollTo(scroll_height_, true);
      break;
  }
}

void TRDScroller::HScrollAction(TScrollCode Code, int Pos) {
  switch (Code) {
    case scLineUp:
      HScrollTo(h_scroll_pos_ - v_small_step_ * StepsPerLine);
      break;
    case scLineDown:
      HScrollTo(h_scroll_pos_ + v_small_step_ * StepsPerLine);
      break;
    case scPageUp:
      HScrollTo(h_scroll_pos_ - DocClientWidth());
      break;
    case scPageDown:
      HScrollTo(h_scroll_pos_ + DocClientWidth());
      break;
    case scPosition:
      HScrollTo(Pos);
      break;
    case scTrack:
      if (Tracking) HScrollTo(Pos);
      break;
    case scTop:
      HScrollTo(0);
      break;
    case scBottom:
      HScrollTo(scroll_width_);
      break;
  }
}

bool TRDScroller::WheelNotches(int Notches) {
  if (WheelStep == 0) return false;
  const int lines = TControlScrollBars::WheelScrollLines();
  // Away from the user (positive) scrolls up.
  const int step = int(std::nearbyint(double(WheelStep) * lines / 3.0));
  ScrollTo(v_scroll_pos_ - Notches * step, true);
  return true;
}

void TRDScroller::KeyDown(TKeyCode& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (!ScrollByKeys) return;
  switch (Key) {
    case VK_PRIOR:
      VScrollAction(scPageUp, 0);
      break;
    case VK_NEXT:
      VScrollAction(scPageDown, 0);
      break;
    case VK_END:
      VScrollAction(scBottom, 0);
      break;
    case VK_HOME:
      VScrollAction(scTop, 0);
      break;
    case VK_UP:
      VScrollAction(scLineUp, 0);
      break;
    case VK_DOWN:
      VScrollAction(scLineDown, 0);
      break;
    case VK_LEFT:
      HScrollAction(scLineUp, 0);
      break;
    case VK_RIGHT:
      HScrollAction(scLineDown, 0);
      break;
    default:
      break;
  }
}

void TRDScroller::PaintFrame() {
  if (border_style_ != bsSingle) return;
  if (UseXPThemes) {
    DrawEditFrame(Canvas(), Rect(0, 0, Width(), Height()));
  } else {
    TRect r = Rect(0, 0, Width(), Height());
    Frame3D(Canvas(), r, clBtnShadow, clBtnHighlight, 1);
    Frame3D(Canvas(), r, clGray, clBtnFace, 1);
  }
}

// --- in-place editing ---------------------------------------------------------------

bool TRDScroller::IsFocusedOrEditorFocused() const {
  for (const TRDScroller* control = this; control; control = control->GetInplaceEditor())
    if (control->Focused()) return true;
  return false;
}

void TRDScroller::FocusIfPossible() {
  if (!destroying_ && Visible() && Enabled()) SetFocus();
}

TRDScroller* TRDScroller::SetActiveSubData(TCustomRDData* Data, TCustomRDItemInfo* Item) {
  if (Data != active_sub_data_) {
    DestroyInplaceEditor();
    ReleaseActiveSubData(active_sub_data_);
    active_sub_data_ = Data;
    active_sub_item_ = Item;
  }
  TRDScroller* editor = GetInplaceEditor();
  if (editor) editor->Tag = editor->Top();
  return editor;
}

void TRDScroller::AssignActiveSubData(TCustomRDData* Data) {
  active_sub_data_ = Data;
  if (!Data) active_sub_item_ = nullptr;
}

void TRDScroller::ReleaseActiveSubData(TCustomRDData* Data) {
  if (!Data || !active_sub_data_) return;
  TCustomRDData* editing = active_sub_data_->GetInplaceEditorData();
  if (Data != active_sub_data_ && Data != editing) return;
  if (!destroying_) {
    if (auto* formatted = dynamic_cast<TCustomRDFormattedData*>(editing))
      formatted->Deselect(false);
  }
  active_sub_data_ = nullptr;
  if (TCustomRDItemInfo* item = std::exchange(active_sub_item_, nullptr)) item->SubDataReleased();
}

TRDScroller* TRDScroller::GetInplaceEditor() const {
  return active_sub_data_ ? active_sub_data_->GetInplaceEditor() : nullptr;
}

void TRDScroller::DestroyInplaceEditor() {
  if (active_sub_data_) active_sub_data_->DestroyInplaceEditor();
}

TCustomRDData* TRDScroller::GetActiveSubEditingData() const {
  if (!active_sub_data_) return nullptr;
  TCustomRDData* editing = active_sub_data_->GetInplaceEditorData();
  return editing != active_sub_data_ ? editing : nullptr;
}

// Tab and Shift+Tab into the control go on into its open in-place editor. Focus given
// by a click or by code stays: the editor's owner may want it back on purpose (a cell
// closed under the focused control gives its links back to it).
void TRDScroller::DoEnter() {
  TCustomControl::DoEnter();
  if (destroying_ || LastFocusEntry() == TFocusEntry::Other) return;
  if (TRDScroller* editor = GetInplaceEditor()) editor->FocusIfPossible();
}

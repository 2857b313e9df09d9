#include "controls/bitmap_mask.h"

#include <algorithm>

#include "controls/bitmap_colors.h"
#include "platform/sys/application.h"

namespace {

constexpr int kEmptyWidth = 200;
constexpr int kEmptyHeight = 30;

}  // namespace

TBitmapMask::TBitmapMask(TComponent* AOwner)
    : TGraphicControl(AOwner), strip_(std::make_unique<TBitmap>()), timer_(new TTimer(this)) {
  strip_->SetSize(kEmptyWidth, kEmptyHeight);
  timer_->SetEnabled(false);
  timer_->SetInterval(150);
  timer_->OnTimer = [this](TComponent*) { TimerTick(); };
  FitToFrame();
}

TBitmapMask::~TBitmapMask() = default;

int TBitmapMask::Capped(int Frame) const {
  return std::clamp(Frame, 0, picture_ - 1);
}

void TBitmapMask::FitToFrame() {
  if (strip_->Empty()) {
    SetBounds(Left(), Top(), kEmptyWidth, kEmptyHeight);
  } else {
    SetBounds(Left(), Top(), strip_->Width() / picture_, strip_->Height());
  }
}

void TBitmapMask::SetFontBitmap(const TBitmap& Value) {
  strip_->Assign(Value);
  FitToFrame();
  Invalidate();
}

void TBitmapMask::SetPicture(int Value) {
  picture_ = std::max(Value, 1);
  active_picture_ = Capped(active_picture_);
  first_picture_ = Capped(first_picture_);
  FitToFrame();
  Invalidate();
}

void TBitmapMask::SetActivePicture(int Value) {
  Value = Capped(Value);
  if (Value == active_picture_) return;
  active_picture_ = Value;
  active_ = active_picture_ == 1;
  Invalidate();
}

void TBitmapMask::SetFirstPicture(int Value) {
  Value = Capped(Value);
  if (Value == first_picture_) return;
  first_picture_ = Value;
  active_ = active_picture_ == 1;
  Invalidate();
}

void TBitmapMask::SetActive(bool Value) {
  if (Application && Application->Terminated()) return;
  // An animating lamp may show any frame; switching it off must still bring frame 0.
  if (Value == active_ && (active_ || active_picture_ <= 1)) return;
  active_ = Value;
  active_picture_ = Capped(Value ? 1 : 0);
  Invalidate();
}

void TBitmapMask::SetAnimation(bool Value) {
  if (Value == animation_) return;
  animation_ = Value;
  active_picture_ = Capped(Value ? 1 : 0);
  timer_->SetEnabled(Value);
  Invalidate();
}

void TBitmapMask::SetTimerInterval(unsigned Milliseconds) {
  timer_->SetInterval(Milliseconds);
}

void TBitmapMask::SetTransparent(bool Value) {
  transparent_ = Value;
  Invalidate();
}

void TBitmapMask::SetMaskMode(bool Value) {
  mask_mode_ = Value;
  Invalidate();
}

void TBitmapMask::SetMaskColorOn(TColor Value) {
  mask_color_on_ = Value;
  Invalidate();
}

void TBitmapMask::SetMaskColorOff(TColor Value) {
  mask_color_off_ = Value;
  Invalidate();
}

void TBitmapMask::TimerTick() {
  int next = active_picture_ + 1;
  if (next >= picture_) {
    next = first_picture_;
    if (anim_run_once_) SetAnimation(false);
  }
  active_picture_ = next;
  Invalidate();
}

void TBitmapMask::Paint() {
  if (strip_->Empty()) return;
  const int width = strip_->Width() / picture_;
  const int height = strip_->Height();
  TBitmap work;
  work.SetSize(width, height);
  work.Canvas().CopyRect(Rect(0, 0, width, height), strip_->Canvas(),
                         Bounds(active_picture_ * width, 0, width, height));
  if (mask_mode_) {
    ReplaceColor(work, clRed, mask_color_off_);
    ReplaceColor(work, clLime, mask_color_on_);
    ReplaceColor(work, clBlack, Color());
  }
  work.SetTransparent(transparent_);
  Canvas().Draw(0, 0, work);
}

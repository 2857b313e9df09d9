// The sprite lamp: shows one frame of a horizontal strip of equally wide pictures.
//
// As a lamp, frame 0 is off and frame 1 on (Active); as an animation, a timer steps
// through the frames and wraps to FirstPicture. In MaskMode the frame is a template:
// pure red becomes MaskColorOff, pure green MaskColorOn and black Color, so one strip
// gives lamps of any colour.
#pragma once

#include <memory>

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/timer.h"

class TBitmapMask : public TGraphicControl {
 public:
  explicit TBitmapMask(TComponent* AOwner);
  ~TBitmapMask() override;

  const TBitmap& FontBitmap() const { return *strip_; }
  void SetFontBitmap(const TBitmap& Value);
  // Number of frames in the strip, at least 1.
  int Picture() const { return picture_; }
  void SetPicture(int Value);
  // Frame shown, 0-based, capped at Picture - 1.
  int ActivePicture() const { return active_picture_; }
  void SetActivePicture(int Value);
  int FirstPicture() const { return first_picture_; }
  void SetFirstPicture(int Value);
  bool Active() const { return active_; }
  void SetActive(bool Value);
  bool Animation() const { return animation_; }
  void SetAnimation(bool Value);
  bool AnimRunOnce() const { return anim_run_once_; }
  void SetAnimRunOnce(bool Value) { anim_run_once_ = Value; }
  unsigned TimerInterval() const { return timer_->Interval(); }
  void SetTimerInterval(unsigned Milliseconds);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  bool MaskMode() const { return mask_mode_; }
  void SetMaskMode(bool Value);
  TColor MaskColorOn() const { return mask_color_on_; }
  void SetMaskColorOn(TColor Value);
  TColor MaskColorOff() const { return mask_color_off_; }
  void SetMaskColorOff(TColor Value);

  // One step of the animation, as the frame timer does it.
  void TimerTick();

  std::string ClassName() const override { return "TBitmapMask"; }

 protected:
  void Paint() override;

 private:
  int Capped(int Frame) const;
  // Sizes the control to one frame of the strip.
  void FitToFrame();

  std::unique_ptr<TBitmap> strip_;
  TTimer* timer_;  // owned as a component
  int picture_ = 2;
  int active_picture_ = 0;
  int first_picture_ = 0;
  bool active_ = false;
  bool animation_ = false;
  bool anim_run_once_ = false;
  bool transparent_ = false;
  bool mask_mode_ = false;
  TColor mask_color_on_ = 0xFFFF00;
  TColor mask_color_off_ = 0x800000;
};

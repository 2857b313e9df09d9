// The image control: shows a picture, at its own size from the top-left corner, centred
// or stretched to the control.
#pragma once

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/picture.h"

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);

  // Changing the picture repaints (and resizes with AutoSize).
  TPicture& Picture() { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool Value);
  bool Center() const { return center_; }
  void SetCenter(bool Value);
  // Leaves the pixels of the picture's transparent colour undrawn.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool Value);

  std::string ClassName() const override { return "TImage"; }

 protected:
  void Paint() override;

 private:
  void PictureChanged();

  TPicture picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
  bool auto_size_ = false;
};

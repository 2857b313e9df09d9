// The scroll box: a windowed control whose children may reach beyond its edges. Scroll
// bars appear when they do and move the children into view; the area scrolled covers
// the children's extent (at least the visible area), and follows them as they move or
// resize. The map window shows its map picture in one.
#pragma once

#include <memory>

#include "platform/gui/controls/controls.h"

class TScrollBox : public TWinControl {
 public:
  explicit TScrollBox(TComponent* AOwner);
  ~TScrollBox() override;

  // The point of the scrolled area shown at the top-left corner.
  TPoint ScrollPosition() const;
  // Scrolls as far towards (X, Y) as the area allows.
  void ScrollTo(int X, int Y);
  // Size of the scrolled area.
  TSize ScrollRange() const;

  std::string ClassName() const override { return "TScrollBox"; }

  struct Impl;  // the Qt scroll area, known only inside the platform

 private:
  std::unique_ptr<Impl> impl_;
};

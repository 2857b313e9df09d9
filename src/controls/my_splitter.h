// The splitter of the skinned windows: a flat bar in its colour with black lines on the
// sides named in PaintBorder, like the skinned panels.
#pragma once

#include "controls/draw_tools.h"
#include "platform/gui/standard/splitter.h"

class TMySplitter : public TSplitter {
 public:
  explicit TMySplitter(TComponent* AOwner) : TSplitter(AOwner) {}

  TMyBorder PaintBorder() const { return paint_border_; }
  void SetPaintBorder(TMyBorder Value);

  std::string ClassName() const override { return "TMySplitter"; }

 protected:
  void Paint() override;

 private:
  TMyBorder paint_border_{bpTop, bpBottom, bpLeft, bpRight};
};

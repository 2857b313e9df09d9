// The plain panel: a windowed box with raised or lowered bevels and a centred caption,
// the building block of toolbars and frames. Skinned panels derive from it and paint
// their own face.
#pragma once

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/text_layout.h"

// bvSpace reserves the bevel's room without drawing it.
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* AOwner);

  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TBevelCut Value);
  int BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int Value);
  // Room between the outer and the inner bevel.
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);

  std::string ClassName() const override { return "TPanel"; }

 protected:
  void Paint() override;

 private:
  TBevelCut bevel_outer_ = bvRaised;
  TBevelCut bevel_inner_ = bvNone;
  int bevel_width_ = 1;
  int border_width_ = 0;
  TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
};

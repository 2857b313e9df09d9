// The splitter: a bar aligned to one side of its parent between two aligned controls;
// dragging it resizes the control it is aligned against (the one on the same side just
// before it). Place it beyond that control before aligning it, as aligned controls keep
// the order of their positions.
#pragma once

#include "platform/gui/controls/controls.h"

class TSplitter : public TGraphicControl {
 public:
  explicit TSplitter(TComponent* AOwner);

  // The smallest size the resized control keeps, in pixels.
  int MinSize() const { return min_size_; }
  void SetMinSize(int Value) { min_size_ = Value; }

  // After a drag moved the splitter.
  TNotifyEvent OnMoved;

  // Also picks the cursor for the side it is aligned to (placing follows aligning).
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  std::string ClassName() const override { return "TSplitter"; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  TControl* FindTarget() const;
  bool Vertical() const { return Align() == alLeft || Align() == alRight; }

  int min_size_ = 30;
  TControl* target_ = nullptr;  // the control being resized while dragging
  int grab_ = 0;                // mouse position in the parent when the drag began
  int start_size_ = 0;
};

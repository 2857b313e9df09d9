// The drop target of a viewer that takes drops (an editor). It turns the drags the window
// system delivers over the control into the control's drag hooks (TRDScroller), in the
// order they are called, and decides the effect around them:
// - a drag is offered to the control only when it brings a format the control takes;
// - the proposal is a move when the source allows it, Ctrl is not held and the drag is
//   of the control's own document's selection, else a copy, else a link;
// - a drag the control refused on entering gets no effect until it leaves;
// - a copy the source does not allow is reported as a link.
// It takes the drags for the control's window while it lives.
#pragma once

#include "platform/gui/controls/drag_drop.h"
#include "richtext/view/rd_scroller.h"

class TCustomRichDoc;

class TRDDropTarget : public TRDScrollerInternalIfcObject, public TDropTarget {
 public:
  explicit TRDDropTarget(TCustomRichDoc& Owner);
  ~TRDDropTarget() override;
  TRDDropTarget(const TRDDropTarget&) = delete;
  TRDDropTarget& operator=(const TRDDropTarget&) = delete;

  void DragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                 TDropEffects& Effect) override;
  void DragOver(TShiftState Shift, TPoint Pt, TDropEffects& Effect) override;
  void DragLeave() override;
  void Drop(const TDataObject& Data, TShiftState Shift, TPoint Pt, TDropEffects& Effect) override;

 private:
  TDropEffect Proposal(TDropEffects allowed, TShiftState shift) const;

  TCustomRichDoc& doc_;
  bool accepted_ = false;
};

#include "platform/gui/standard/splitter.h"

#include <algorithm>

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 3, 100);
  SetAlign(alLeft);
  SetCursor(crSizeWE);
}

void TSplitter::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  SetCursor(Vertical() ? crSizeWE : crSizeNS);
}

void TSplitter::Paint() {
  Canvas().Brush().SetColor(Color());
  Canvas().FillRect(ClientRect());
}

TControl* TSplitter::FindTarget() const {
  TWinControl* parent = Parent();
  if (!parent) return nullptr;
  // The neighbour touches the splitter's edge on the side it is aligned to.
  const TRect me = BoundsRect();
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    const TRect r = c->BoundsRect();
    switch (Align()) {
      case alLeft:
        if (r.Right == me.Left) return c;
        break;
      case alRight:
        if (r.Left == me.Right) return c;
        break;
      case alTop:
        if (r.Bottom == me.Top) return c;
        break;
      case alBottom:
        if (r.Top == me.Bottom) return c;
        break;
      default:
        break;
    }
  }
  return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  target_ = FindTarget();
  if (!target_) return;
  grab_ = Vertical() ? Left() + X : Top() + Y;
  start_size_ = Vertical() ? target_->Width() : target_->Height();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!target_) return;
  const int now = Vertical() ? Left() + X : Top() + Y;
  int delta = now - grab_;
  if (Align() == alRight || Align() == alBottom) delta = -delta;
  const int size = std::max(start_size_ + delta, min_size_);
  if (Vertical()) {
    target_->SetWidth(size);
  } else {
    target_->SetHeight(size);
  }
  if (Parent()) Parent()->Realign();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!target_) return;
  target_ = nullptr;
  if (OnMoved) OnMoved(this);
}

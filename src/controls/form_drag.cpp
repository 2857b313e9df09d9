#include "controls/form_drag.h"

#include "platform/gui/controls/forms.h"

void TFormDrag::Start(TControl& Control, TMouseButton Button, int X, int Y) {
  form_ = nullptr;
  if (Button != mbLeft) return;
  form_ = GetParentForm(Control);
  if (!form_) return;
  grab_ = Control.ClientToScreen(Point(X, Y));
  origin_ = Point(form_->Left(), form_->Top());
}

void TFormDrag::Follow(TControl& Control, int X, int Y) {
  if (!form_) return;
  TPoint now = Control.ClientToScreen(Point(X, Y));
  form_->SetBounds(origin_.X + now.X - grab_.X, origin_.Y + now.Y - grab_.Y, form_->Width(),
                   form_->Height());
}

// The MDI side of forms: a frame's MDI area and the sub-windows of its children.
#include <algorithm>

#include "platform/gui/controls/form_qt.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/text/qt_string_qt.h"

void TForm::MakeMDIFrame() {
  auto* area = new QMdiArea(WidgetOf(*this));
  impl_->mdi_area = area;
  QObject::connect(area, &QMdiArea::subWindowActivated, area, [this](QMdiSubWindow* sub) {
    for (TForm* child : impl_->mdi_children) {
      if (sub && child->impl_->sub_window == sub) TFormEvents::Activate(*child);
    }
  });
  area->show();
  Realign();
}

TForm* TForm::MDIFrame() const {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* form = Screen->Forms(i);
    if (form != this && form->impl_->mdi_area) return form;
  }
  return nullptr;
}

void TForm::MakeMDIChild() {
  TForm* frame = MDIFrame();
  if (!frame) throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  const bool shown = Visible();
  QWidget* widget = WidgetOf(*this);
  widget->setWindowFlags(Qt::Widget);
  QMdiSubWindow* sub = frame->impl_->mdi_area->addSubWindow(widget);
  // The sub-window lives as long as this form; Qt must not free it on closing.
  sub->setAttribute(Qt::WA_DeleteOnClose, false);
  widget->show();  // shown with its sub-window, which carries the visibility now
  sub->hide();
  impl_->sub_window = sub;
  impl_->mdi_frame = frame;
  frame->impl_->mdi_children.push_back(this);
  SetHost(*this, sub);
  new TFormEvents(*this, *sub);
  ApplySizeLimits();
  ApplyWindowFlags();
  const TRect b = BoundsRect();
  sub->setGeometry(b.Left, b.Top, b.Width(), b.Height());
  if (shown) ShowHost();
  ShowTitle();
}

// A child leaves its frame's MDI area (its own widget goes back to it), and a frame
// lets go of its children, before either one's widget is freed.
void TForm::LeaveMDIFrame() {
  while (!impl_->mdi_children.empty()) impl_->mdi_children.back()->LeaveMDIFrame();
  if (!impl_->mdi_frame) return;
  TForm* frame = impl_->mdi_frame;
  std::erase(frame->impl_->mdi_children, this);
  impl_->mdi_frame = nullptr;
  QMdiSubWindow* sub = impl_->sub_window;
  impl_->sub_window = nullptr;
  QWidget* widget = WidgetOf(*this);
  widget->hide();
  if (sub) {
    sub->setWidget(nullptr);
    widget->setParent(nullptr);
    FreeWidget(sub);
  }
  SetHost(*this, nullptr);
  frame->ShowTitle();
}

// A maximised child has no title bar of its own: its caption joins the frame's, as
// "<frame> - [<child>]", so the frame's title says what the child would.
void TForm::ShowTitle() {
  WidgetOf(*this)->setWindowTitle(ToQString(Caption()));
  if (!impl_) return;  // still being made
  TForm* frame = impl_->mdi_area ? this : impl_->mdi_frame;
  if (!frame) return;
  std::string title = frame->Caption();
  for (const TForm* child : frame->impl_->mdi_children) {
    if (child->Visible() && child->impl_->window_state == wsMaximized &&
        !child->Caption().empty()) {
      title += " - [" + child->Caption() + "]";
      break;
    }
  }
  WidgetOf(*frame)->setWindowTitle(ToQString(title));
}

int TForm::MDIChildCount() const {
  return static_cast<int>(impl_->mdi_children.size());
}

TForm* TForm::MDIChildren(int Index) const {
  if (Index < 0 || Index >= MDIChildCount()) return nullptr;
  return impl_->mdi_children[static_cast<size_t>(Index)];
}

void TForm::AlignControls(TRect& Area) {
  TWinControl::AlignControls(Area);
  if (impl_ && impl_->mdi_area) {
    impl_->mdi_area->setGeometry(Area.Left, Area.Top, Area.Width(), Area.Height());
  }
}

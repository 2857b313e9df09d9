#include <QApplication>
#include <QCloseEvent>
#include <QRegion>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "platform/gui/controls/form_qt.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

// The value a local loop ends with when ModalResult was set; any other end means the
// event loop was stopped from outside (the program is ending).
constexpr int kModalResultSet = 1;

bool Sizeable(TFormBorderStyle style) {
  return style == bsSizeable || style == bsSizeToolWin;
}

// The work area of the screen that shows the program's main window (the first window
// made, when it is on the screen), else of the primary screen.
QRect WorkAreaFor(const TForm& form) {
  const QScreen* screen = nullptr;
  const TForm* main = Screen->FormCount() > 0 ? Screen->Forms(0) : nullptr;
  if (main && main != &form && HostOf(*main)->isVisible()) screen = HostOf(*main)->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

// The frame the window system draws round a window, as it draws it round the windows
// already shown (nothing is known of a window's own frame before it is shown).
QMargins FrameMargins(const TForm& form) {
  const QWidget* own = HostOf(form);
  const QWidget* shown = own->isVisible() ? own : nullptr;
  for (int n = 0; !shown && n < Screen->FormCount(); ++n) {
    const QWidget* host = HostOf(*Screen->Forms(n));
    if (host->isWindow() && host->isVisible() && host->frameGeometry() != host->geometry())
      shown = host;
  }
  if (!shown) return {};
  const QRect outer = shown->frameGeometry();
  const QRect inner = shown->geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

// The whole window, frame and title bar included, lies inside the work area; a window
// larger than the area keeps its top-left corner (and so its title bar) on the screen.
void KeepOnScreen(TForm& form, const QRect& work) {
  if (work.isEmpty()) return;
  const QMargins frame = form.BorderStyle() == bsNone ? QMargins() : FrameMargins(form);
  const int outerWidth = form.Width() + frame.left() + frame.right();
  const int outerHeight = form.Height() + frame.top() + frame.bottom();
  const int left = std::max(std::min(form.Left(), work.right() + 1 - outerWidth), work.left());
  const int top = std::max(std::min(form.Top(), work.bottom() + 1 - outerHeight), work.top());
  if (left != form.Left() || top != form.Top())
    form.SetBounds(left, top, form.Width(), form.Height());
}

}  // namespace

TFormEvents::TFormEvents(TForm& form, QObject& watched) : QObject(&watched), form_(form) {
  watched.installEventFilter(this);
}

bool TFormEvents::eventFilter(QObject*, QEvent* event) {
  const TEventScope scope;
  switch (event->type()) {
    case QEvent::Close:
      // The form decides, and hides or minimises itself; Qt must not close the window.
      event->ignore();
      Dispatch([this] { form_.Close(); });
      return true;
    case QEvent::WindowActivate:
      Activate(form_);
      return false;
    default:
      return false;
  }
}

void TFormEvents::Activate(TForm& form) {
  const TEventScope scope;
  Dispatch([&form] { form.Activate(); });
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner), impl_(std::make_unique<Impl>()) {
  // Windows come and go (tray, stay-on-top tools); only the program decides when it ends.
  QApplication::setQuitOnLastWindowClosed(false);
  QWidget* widget = WidgetOf(*this);
  widget->setWindowFlags(Qt::Window);
  // Hints show over every window of the program, not only the active one: the
  // stay-on-top tool windows are rarely the active window when the mouse rests on them.
  widget->setAttribute(Qt::WA_AlwaysShowToolTips);
  new TFormEvents(*this, *widget);
  SetVisible(false);
  Screen->forms_.push_back(this);
}

TForm::~TForm() {
  if (OnDestroy) {
    const TNotifyEvent handler = OnDestroy;
    Dispatch([&] { handler(this); });
  }
  LeaveMDIFrame();
  // The area goes with our widget later; by then this form is gone and must not hear of it.
  if (impl_->mdi_area) QObject::disconnect(impl_->mdi_area, nullptr, nullptr, nullptr);
  std::erase(Screen->forms_, this);
}

void TForm::DoCreate() {
  if (OnCreate) Dispatch([this] { OnCreate(this); });
}

TFormBorderStyle TForm::BorderStyle() const {
  return impl_->border_style;
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == impl_->border_style) return;
  impl_->border_style = Value;
  ApplyWindowFlags();
  ApplySizeLimits();
}

TFormStyle TForm::FormStyle() const {
  return impl_->form_style;
}

void TForm::SetFormStyle(TFormStyle Value) {
  const TFormStyle old = impl_->form_style;
  if (Value == old) return;
  if (old == fsMDIForm || old == fsMDIChild) {
    throw EInvalidOperation("The style of an MDI window cannot change");
  }
  if (Value == fsMDIChild) {
    MakeMDIChild();  // may fail when there is no frame; the style stays as it was
    impl_->form_style = Value;
    return;
  }
  impl_->form_style = Value;
  if (Value == fsMDIForm) MakeMDIFrame();
  ApplyWindowFlags();
}

TPosition TForm::Position() const {
  return impl_->position;
}
void TForm::SetPosition(TPosition Value) {
  impl_->position = Value;
}

TWindowState TForm::WindowState() const {
  const QWidget* host = HostOf(*this);
  if (!host->isVisible()) return impl_->window_state;
  if (host->isMinimized()) return wsMinimized;
  if (host->isMaximized()) return wsMaximized;
  return wsNormal;
}

void TForm::SetWindowState(TWindowState Value) {
  impl_->window_state = Value;
  if (impl_->sub_window) ApplyWindowFlags();
  if (HostOf(*this)->isVisible()) ShowHost();
  ShowTitle();
}

bool TForm::AlphaBlend() const {
  return impl_->alpha_blend;
}

void TForm::SetAlphaBlend(bool Value) {
  impl_->alpha_blend = Value;
  HostOf(*this)->setWindowOpacity(Value ? impl_->alpha_blend_value / 255.0 : 1.0);
}

int TForm::AlphaBlendValue() const {
  return impl_->alpha_blend_value;
}

void TForm::SetAlphaBlendValue(int Value) {
  impl_->alpha_blend_value = std::clamp(Value, 0, 255);
  SetAlphaBlend(impl_->alpha_blend);
}

void TForm::SetWindowRegion(const std::vector<TRect>& Rects) {
  QWidget* host = HostOf(*this);
  if (Rects.empty()) {
    host->clearMask();
    return;
  }
  QRegion region;
  for (const TRect& rect : Rects) {
    region += QRect(rect.Left, rect.Top, rect.Width(), rect.Height());
  }
  host->setMask(region);
}

bool TForm::KeyPreview() const {
  return impl_->key_preview;
}
void TForm::SetKeyPreview(bool Value) {
  impl_->key_preview = Value;
}
bool TForm::PreviewsKeys() const {
  return impl_->key_preview;
}

void TForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TForm::BringToFront() {
  if (Parent()) {
    TWinControl::BringToFront();
    return;
  }
  QWidget* host = HostOf(*this);
  if (impl_->sub_window && impl_->mdi_frame) {
    impl_->mdi_frame->impl_->mdi_area->setActiveSubWindow(impl_->sub_window);
    return;
  }
  host->raise();
  if (host->isVisible()) host->activateWindow();
}

void TForm::Close() {
  if (impl_->modal_loop) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = impl_->form_style == fsMDIChild ? caMinimize : caHide;
  DoClose(action);
  if (action == caHide) Hide();
  if (action == caMinimize) SetWindowState(wsMinimized);
}

bool TForm::CloseQuery() {
  for (TForm* child : impl_->mdi_children) {
    if (!child->CloseQuery()) return false;
  }
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

TModalResult TForm::ShowModal() {
  if (Visible() || impl_->modal_loop || impl_->form_style == fsMDIChild) {
    throw EInvalidOperation("Cannot make a visible window modal");
  }
  // The system ends the program: nobody may be there to answer.
  if (Application && Application->Ending()) return mrCancel;
  QWidget* host = HostOf(*this);
  QEventLoop loop;
  // Whatever way ShowModal is left (a throwing OnShow included), the form is no longer modal.
  // While it waits for an answer it also stays above the stay-on-top windows, which
  // would otherwise cover its buttons.
  struct TModalScope {
    TForm& form;
    QWidget* host;
    ~TModalScope() {
      form.impl_->modal_loop = nullptr;
      host->setWindowModality(Qt::NonModal);
      if (form.impl_->form_style != fsStayOnTop)
        host->setWindowFlag(Qt::WindowStaysOnTopHint, false);
    }
  } scope{*this, host};
  impl_->modal_result = mrNone;
  impl_->modal_loop = &loop;
  host->setWindowModality(Qt::ApplicationModal);
  host->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  Show();
  for (;;) {
    if (impl_->modal_result == mrNone && loop.exec() != kModalResultSet) {
      impl_->modal_result = mrCancel;  // the program is ending: no more questions
      break;
    }
    CloseModal();
    if (impl_->modal_result != mrNone) break;
  }
  Hide();
  return impl_->modal_result;
}

// OnCloseQuery and OnClose may still keep a modal form open; an exception does, too.
void TForm::CloseModal() {
  TCloseAction action = caNone;
  bool handled = false;
  Dispatch([&] {
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    handled = true;
  });
  if (!handled || action == caNone) impl_->modal_result = mrNone;
}

TModalResult TForm::ModalResult() const {
  return impl_->modal_result;
}

void TForm::SetModalResult(TModalResult Value) {
  impl_->modal_result = Value;
  if (Value != mrNone && impl_->modal_loop) impl_->modal_loop->exit(kModalResultSet);
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TForm::VisibleChanged() {
  if (Parent()) {
    TWinControl::VisibleChanged();
    return;
  }
  QWidget* host = HostOf(*this);
  if (Visible()) {
    if (!impl_->positioned) {
      impl_->positioned = true;
      ApplyPosition();
    }
    DoShow();
    ShowHost();
  } else if (host->isVisible()) {
    impl_->window_state = WindowState();  // the user may have changed it; it comes back so
    host->hide();
    DoHide();
  }
  ShowTitle();
}

void TForm::ShowHost() {
  QWidget* host = HostOf(*this);
  switch (impl_->window_state) {
    case wsMinimized:
      host->showMinimized();
      break;
    case wsMaximized:
      host->showMaximized();
      break;
    case wsNormal:
      host->showNormal();
      break;
  }
}

void TForm::ApplyPosition() {
  const TForm* over = nullptr;
  bool centre = true;
  switch (impl_->position) {
    case poDesigned:
    case poDefault:
      centre = false;
      break;
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poMainFormCenter:
      over = Screen->FormCount() > 0 ? Screen->Forms(0) : nullptr;
      break;
    case poOwnerFormCenter:
      over = dynamic_cast<const TForm*>(Owner());
      break;
  }
  if (over == this) over = nullptr;
  const QRect work = WorkAreaFor(*this);
  if (centre) {
    const TRect area = over ? over->BoundsRect()
                            : Rect(work.left(), work.top(), work.right() + 1, work.bottom() + 1);
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2,
              Width(), Height());
  }
  if (impl_->sub_window) return;
  KeepOnScreen(*this, work);
}

void TForm::BoundsChanged(const TRect& OldBounds) {
  ApplySizeLimits();
  TWinControl::BoundsChanged(OldBounds);
}

// A window without a sizeable border keeps the size the program gives it.
void TForm::ApplySizeLimits() {
  QWidget* widget = WidgetOf(*this);
  if (impl_->sub_window || Parent() || Sizeable(impl_->border_style)) {
    widget->setMinimumSize(0, 0);
    widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    widget->setFixedSize(Width(), Height());
  }
}

void TForm::ApplyWindowFlags() {
  if (Parent()) return;
  if (impl_->sub_window) {
    // Maximised, a child fills its frame without a title bar of its own: the frame has
    // no menu bar to take its buttons, and a child closed or minimised from its own bar
    // would leave an empty frame with nothing to bring it back full size.
    const bool bare = impl_->border_style == bsNone || impl_->window_state == wsMaximized;
    if (impl_->sub_window->windowFlags().testFlag(Qt::FramelessWindowHint) != bare) {
      const bool shown = impl_->sub_window->isVisible();
      impl_->sub_window->setWindowFlag(Qt::FramelessWindowHint, bare);  // this hides it
      if (shown) ShowHost();
    }
    return;
  }
  QWidget* widget = WidgetOf(*this);
  Qt::WindowFlags flags = Qt::Window;
  switch (impl_->border_style) {
    case bsNone:
      flags |= Qt::FramelessWindowHint;
      break;
    case bsDialog:
      flags = Qt::Dialog;
      break;
    case bsToolWindow:
    case bsSizeToolWin:
      flags = Qt::Tool;
      break;
    case bsSingle:
    case bsSizeable:
      break;
  }
  if (impl_->form_style == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  const bool shown = widget->isVisible();
  widget->setWindowFlags(flags);  // this hides the window
  if (shown) ShowHost();
}

void TForm::CaptionChanged() {
  ShowTitle();
}

TForm* GetParentForm(TControl& Control) {
  TControl* top = &Control;
  while (top->Parent()) top = top->Parent();
  return dynamic_cast<TForm*>(top);
}

#include "controls/my_tray_icon.h"

#include "platform/gui/controls/forms.h"
#include "platform/sys/application.h"

namespace {

constexpr std::size_t kMaxTipLength = 127;  // the notification area's tip holds 128 with the NUL

}  // namespace

std::string TrayTipText(const std::string& Hint) {
  return Hint.substr(0, kMaxTipLength);
}

TMyTrayIcon::TMyTrayIcon(TComponent* AOwner)
    : TComponent(AOwner), icon_(std::make_unique<TBitmap>()) {
  tray_.OnMessage = [this](TTrayMessage message, TShiftState shift, TPoint cursor) {
    TrayMessage(message, shift, cursor);
  };
  const std::string title = Application ? Application->Title : std::string();
  hint_ = title;
  // Without a notification area nothing would bring a hidden window back: the icon
  // stays away and minimising is left alone.
  if (!tray_.Add(*icon_, TrayTipText(hint_))) return;
  if (TForm* form = MainWindow()) tray_.WatchMinimize(*form, [this] { Minimize(); });
}

TMyTrayIcon::~TMyTrayIcon() {
  tray_.Remove();
}

TForm* TMyTrayIcon::MainWindow() const {
  return dynamic_cast<TForm*>(Owner());
}

void TMyTrayIcon::SetHint(const std::string& Value) {
  if (hint_ == Value) return;
  hint_ = Value;
  tray_.Modify(*icon_, TrayTipText(hint_));
}

void TMyTrayIcon::SetIcon(const TBitmap& Value) {
  icon_->Assign(Value);
  tray_.Modify(*icon_, TrayTipText(hint_));
}

void TMyTrayIcon::Minimize() {
  minimized_ = true;
  if (TForm* form = MainWindow()) form->Hide();
  if (OnMinimize) OnMinimize(this);
}

void TMyTrayIcon::Restore() {
  minimized_ = false;
  if (TForm* form = MainWindow()) {
    form->SetWindowState(wsNormal);
    form->Show();
  }
  if (OnRestore) OnRestore(this);
}

void TMyTrayIcon::TrayMessage(TTrayMessage Message, TShiftState Shift, TPoint Cursor) {
  const int x = Cursor.X;
  const int y = Cursor.Y;
  switch (Message) {
    case tmMouseMove:
      if (OnMouseMove) OnMouseMove(this, Shift, x, y);
      break;
    case tmLeftDown:
      if (OnMouseDown) OnMouseDown(this, mbLeft, Shift | ssLeft, x, y);
      left_pressed_ = true;
      break;
    case tmLeftUp:
      // A press that began elsewhere does not click.
      if (left_pressed_) {
        left_pressed_ = false;
        if (OnClick) OnClick(this);
      }
      if (OnMouseUp) OnMouseUp(this, mbLeft, Shift, x, y);
      break;
    case tmLeftDblClick:
    case tmRightDblClick:
    case tmMiddleDblClick:
      if (OnDblClick) OnDblClick(this);
      break;
    case tmRightDown:
      if (OnMouseDown) OnMouseDown(this, mbRight, Shift | ssRight, x, y);
      if (popup_menu_) popup_menu_->Popup(x, y);
      break;
    case tmRightUp:
      if (OnMouseUp) OnMouseUp(this, mbRight, Shift, x, y);
      break;
    case tmMiddleDown:
      if (OnMouseDown) OnMouseDown(this, mbMiddle, Shift | ssMiddle, x, y);
      break;
    case tmMiddleUp:
      if (OnMouseUp) OnMouseUp(this, mbMiddle, Shift, x, y);
      break;
  }
}

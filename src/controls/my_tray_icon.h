// The program's icon in the desktop's notification area.
//
// It shows the application's title as its tip, reports mouse actions on the icon as
// events, opens its pop-up menu at the cursor on a right button press, and hides the
// main window while the program is minimised (Restore brings it back). Where the desktop
// has no notification area no icon is shown and minimising works as usual, so the
// window can always be found again.
#pragma once

#include <memory>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/menu.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/tray_icon.h"

class TForm;

// What the notification area shows of a hint: at most its first 127 characters.
std::string TrayTipText(const std::string& Hint);

class TMyTrayIcon : public TComponent {
 public:
  // The owner, when it is a form, is the window that minimising hides.
  explicit TMyTrayIcon(TComponent* AOwner);
  ~TMyTrayIcon() override;

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value);
  const TBitmap& Icon() const { return *icon_; }
  void SetIcon(const TBitmap& Value);
  // True while the program is hidden by minimising.
  bool Minimized() const { return minimized_; }
  // Opens at the cursor on a right button press, between OnMouseDown and OnMouseUp.
  // Not owned.
  TPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* Value) { popup_menu_ = Value; }
  // Whether the icon is in the notification area.
  bool Shown() const { return tray_.Shown(); }

  // Hides the main window (the application's minimise handler).
  void Minimize();
  // Shows the main window again, restored.
  void Restore();

  // A mouse action on the icon, as the notification area reports it.
  void TrayMessage(TTrayMessage Message, TShiftState Shift, TPoint Cursor);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  // Button, shift state and the cursor's screen position.
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  std::string ClassName() const override { return "TMyTrayIcon"; }

 private:
  TForm* MainWindow() const;

  TTrayIcon tray_;
  std::unique_ptr<TBitmap> icon_;
  std::string hint_;
  TPopupMenu* popup_menu_ = nullptr;
  bool minimized_ = false;
  bool left_pressed_ = false;
};

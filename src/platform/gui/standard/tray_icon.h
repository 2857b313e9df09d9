// An icon in the desktop's notification area (system tray), where the desktop has one.
//
// Mouse actions on the icon arrive as TTrayMessage values with the cursor's screen
// position and the keyboard state. The desktop reports clicks, not presses, so a click
// arrives as a down followed by an up.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/bitmap.h"

class TForm;

enum TTrayMessage {
  tmMouseMove,
  tmLeftDown,
  tmLeftUp,
  tmLeftDblClick,
  tmRightDown,
  tmRightUp,
  tmRightDblClick,
  tmMiddleDown,
  tmMiddleUp,
  tmMiddleDblClick
};

using TTrayMessageEvent =
    std::function<void(TTrayMessage Message, TShiftState Shift, TPoint Cursor)>;

class TTrayIcon {
 public:
  TTrayIcon();
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // Whether the desktop has a notification area now.
  static bool Available();

  // Shows the icon; false when there is no notification area. An empty Icon shows the
  // application's window icon.
  bool Add(const TBitmap& Icon, const std::string& Tip);
  // Changes a shown icon's picture and tip.
  void Modify(const TBitmap& Icon, const std::string& Tip);
  void Remove();
  bool Shown() const;

  // Calls OnMinimized whenever Form is minimised by the user or the program.
  void WatchMinimize(TForm& Form, std::function<void()> OnMinimized);

  TTrayMessageEvent OnMessage;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

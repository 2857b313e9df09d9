// Platform-internal: the window whose paint event is drawing. A control may draw into a
// bitmap of its own first (the document view does) and then copy it to the window;
// pictures that keep a costly drawing and finish it later ask that window to paint again.
#pragma once

#include <cstdint>

class QWidget;

class TScreenPaint {
 public:
  // Marks Window as painting for the life of this object; scopes nest.
  explicit TScreenPaint(QWidget& Window);
  ~TScreenPaint();
  TScreenPaint(const TScreenPaint&) = delete;
  TScreenPaint& operator=(const TScreenPaint&) = delete;

  // The window of the innermost paint event under way, or null outside one.
  static QWidget* Current();

 private:
  QWidget* previous_;
  std::uint64_t previous_number_;
  std::uint64_t number_;
};

// Hints: the small window that shows a control's Hint while the mouse rests on it.
//
// The application keeps one hint window, made by the current hint window class; a
// program with its own look installs a factory for a THintWindow descendant that
// measures (CalcHintRect), places (ActivateHint) and paints hints its own way. Hints show
// for controls whose ShowHint, or a parent's, is on; they vanish when the mouse leaves,
// a button or key is pressed, or CancelHint is called.
#pragma once

#include <functional>
#include <memory>

#include "platform/gui/controls.h"

class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* AOwner);

  // The size the hint needs, at (0, 0); MaxWidth is the widest it may get.
  virtual TRect CalcHintRect(int MaxWidth, const std::string& Hint);
  // Shows Hint in Rect (screen coordinates) without taking the focus.
  virtual void ActivateHint(TRect Rect, const std::string& Hint);
  // Hides the hint.
  void ReleaseHandle();
  bool Showing() const;

  std::string ClassName() const override { return "THintWindow"; }

 protected:
  void Paint() override;
  // Makes the window show at Rect, on top and without activation.
  void ShowAt(const TRect& Rect);
};

using THintWindowClass = std::function<std::unique_ptr<THintWindow>()>;

// Hints shown from now on use windows made by Factory; an empty factory restores the
// plain THintWindow.
void SetHintWindowClass(THintWindowClass Factory);
// The window that shows hints now (made on first use).
THintWindow& ApplicationHintWindow();
// Hides the hint that is showing, if any.
void CancelHint();

// Test support: what the application does when the mouse rests at (X, Y) of Control
// (client coordinates; a windowless control's point is passed on to its parent).
void SimulateHintPause(TControl& Control, int X, int Y);

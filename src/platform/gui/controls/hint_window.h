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

#include "platform/gui/controls/controls.h"

class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* AOwner);

  // The size the hint needs, at (0, 0); MaxWidth is the widest it may get.
  virtual TRect CalcHintRect(int MaxWidth, const std::string& Hint);
  // Shows Hint in Rect (screen coordinates) without taking the focus.
  virtual void ActivateHint(TRect Rect, const std::string& Hint);
  // Hides the hint.
  virtual void ReleaseHandle();
  bool Showing() const;
  // The window is drawn with an opacity of Alpha / 255 over what lies beneath it (the
  // window system blends, where it can); 255 is opaque.
  void SetOpacity(int Alpha);
  int Opacity() const;

  std::string ClassName() const override { return "THintWindow"; }

 protected:
  void Paint() override;
  // Makes the window show at Rect, on top and without activation: on the screen, no
  // larger than it, and clear of the mouse the hint is shown for (a hint under the
  // mouse would take it from the control and go at once).
  void ShowAt(const TRect& Rect);
};

using THintWindowClass = std::function<std::unique_ptr<THintWindow>()>;

// A control's answer when the mouse rests on it. Points and rectangles are in the
// control's client coordinates.
struct THintInfo {
  TPoint CursorPos;                  // where the mouse rests
  std::string HintStr;               // the control's Hint to start with
  int HintMaxWidth = 0;              // the screen's width to start with
  TPoint HintPos;                    // the hint's top-left corner; below the mouse to start with
  int HideTimeout = 0;               // milliseconds until the hint goes; 0 keeps it
  THintWindowClass HintWindowClass;  // empty: the application's hint window
};

// A control that makes its hints itself, for the part under the mouse.
class THintSource {
 public:
  virtual ~THintSource() = default;
  // False, or an empty HintStr, shows no hint.
  virtual bool HintShow(THintInfo& Info) = 0;
};

// Hints shown from now on use windows made by Factory; an empty factory restores the
// plain THintWindow.
void SetHintWindowClass(THintWindowClass Factory);
// Hints show from now on when the mouse rests on a control whose ShowHint is on.
void ListenForHints();
// Shows Hint in Window at At for the mouse resting at Pointer (screen coordinates):
// wrapped to MaxWidth, or wider where that would be taller than the screen holds, and
// kept on the screen and clear of the mouse.
void ShowHintWindow(THintWindow& Window, TPoint At, TPoint Pointer, int MaxWidth,
                    const std::string& Hint);
// The window that shows hints now (made on first use).
THintWindow& ApplicationHintWindow();
// Hides the hint that is showing, if any.
void CancelHint();
// Asks Control again for its hint at (X, Y) (client coordinates), as when the mouse
// rests there: a control whose parts have hints of their own calls it when the mouse
// reaches another part.
void ActivateHintAt(TControl& Control, int X, int Y);
// The hint window showing now, or null.
THintWindow* ShownHintWindow();
// Shows Control's (new) hint where the mouse is now, as if it had rested there.
void ReactivateHint(TControl& Control);

// Test support: what the application does when the mouse rests at (X, Y) of Control
// (client coordinates; a windowless control's point is passed on to its parent).
inline void SimulateHintPause(TControl& Control, int X, int Y) {
  ActivateHintAt(Control, X, Y);
}

// The two scroll bars of a windowed control that draws itself, standing at its right
// (or left) and bottom edges, with the wheel of the mouse over the control. The control
// keeps its own positions; the bars only show them and report what the user does.
//
// A bar shows positions Min..Max with a page of Page positions; like the system's, the
// page is clamped to the range and the position to Max - Page + 1, and a bar whose
// page covers the whole range is hidden (or disabled, when asked to stay shown).
#pragma once

#include <functional>
#include <memory>

#include "platform/gui/controls/controls.h"

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode {
  scLineUp,
  scLineDown,
  scPageUp,
  scPageDown,
  scPosition,  // the thumb was released at Pos
  scTrack,     // the thumb is being dragged, now at Pos
  scTop,
  scBottom
};

struct TScrollBarInfo {
  int Min = 0;
  int Max = 0;
  int Page = 0;
  int Pos = 0;
  // A bar whose page covers the range stays shown, disabled, instead of hiding.
  bool KeepShown = false;
};

class TControlScrollBars {
 public:
  explicit TControlScrollBars(TWinControl& Control);
  ~TControlScrollBars();
  TControlScrollBars(const TControlScrollBars&) = delete;
  TControlScrollBars& operator=(const TControlScrollBars&) = delete;

  // Sets range, page and position together; returns the position as clamped.
  int SetInfo(TScrollBarKind Kind, const TScrollBarInfo& Info);
  TScrollBarInfo GetInfo(TScrollBarKind Kind) const;
  bool Showing(TScrollBarKind Kind) const;
  // The width of a vertical bar (the height of a horizontal one).
  int Thickness() const;
  // The vertical bar at the left edge (right-to-left reading).
  void SetVerticalAtLeft(bool Value);

  std::function<void(TScrollBarKind Kind, TScrollCode Code, int Pos)> OnScroll;
  // Notches of the wheel over the control (positive away from the user); returns
  // whether the control scrolled, else the parent may.
  std::function<bool(int Notches)> OnWheel;

  // Lines one notch of the wheel scrolls, as the desktop is set (3 by default).
  static int WheelScrollLines();

  struct Impl;  // the Qt bars, known only inside the platform

 private:
  std::unique_ptr<Impl> impl_;
};

// The sunken frame of an edit field in the desktop's style, drawn inside Rect.
void DrawEditFrame(TCanvas& Canvas, const TRect& Rect);

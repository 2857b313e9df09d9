// The program's hint style: while a TMyHint is Active, hints show in TMyHintWindow, with
// a two-tone face (upper half Color, lower half Color2), an optional coloured stripe on
// the left (PaintBorder), a frame, and placement that opens the hint toward the centre
// of the screen.
#pragma once

#include <memory>

#include "platform/gui/controls/hint_window.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/component.h"

class TMyHint : public TComponent {
 public:
  explicit TMyHint(TComponent* AOwner);
  ~TMyHint() override;

  // Installs TMyHintWindow as the application's hint window (and back when switched off).
  bool Active() const { return active_; }
  void SetActive(bool Value);
  bool PaintBorder = false;
  TFont& Font() { return font_; }
  TColor Color = clWhite;
  TColor Color2 = clBlack;
  // clNone draws no frame.
  TColor ColorFrame = clBlack;
  TColor ColorBorder = 0xF0CAA6;
  // When not empty, the pattern of the face.
  TBitmap& Background() { return *background_; }

  std::string ClassName() const override { return "TMyHint"; }

 private:
  bool active_ = false;
  TFont font_;
  std::unique_ptr<TBitmap> background_;
};

// The active TMyHint whose style the hint windows use, or null.
extern TMyHint* ActiveMyHint;

// Screen quadrant of a point: 1 upper left, 2 upper right, 3 lower left, 4 lower right.
// "Upper" when Y is at most half the screen height, "left" when X is less than half the
// width (halves by integer division).
int HintQuadrant(TPoint TopLeft, int ScreenWidth, int ScreenHeight);
// Moves a hint rectangle so it opens toward the screen centre: left by its width in the
// right half, up by its height plus 25 in the lower half.
TRect PlaceHintRect(const TRect& Rect, int ScreenWidth, int ScreenHeight);

class TMyHintWindow : public THintWindow {
 public:
  explicit TMyHintWindow(TComponent* AOwner);
  ~TMyHintWindow() override;

  TRect CalcHintRect(int MaxWidth, const std::string& Hint) override;
  void ActivateHint(TRect Rect, const std::string& Hint) override;

  // The hint as last drawn.
  const TBitmap& Picture() const { return *work_; }

  std::string ClassName() const override { return "TMyHintWindow"; }

 protected:
  void Paint() override;

 private:
  void DrawHint(TMyHint& Style, int Width, int Height, const std::string& Hint);

  std::unique_ptr<TBitmap> work_;
};

// The program's push button and latching switch.
//
// Painted flat with a 3-pixel bevel, it lightens under the mouse and shows either its
// caption or a caption picture: a template drawn in pure green (0x00FF00) on any
// background, whose green takes the font colour so one picture fits every skin. With
// Checker each click toggles Down; PaintDown then shows a down button pressed in its
// down colours. A ModalResult other than 0 closes the modal form the button sits on.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/bitmap.h"

// Colour shading of the button: each of red, green and blue moved by Amount and kept
// within 0..255; the result has 0 in its top byte.
TColor LightenColor(TColor Color, std::uint8_t Amount);
TColor DarkenColor(TColor Color, std::uint8_t Amount);

class TMyButton : public TCustomControl {
 public:
  explicit TMyButton(TComponent* AOwner);
  ~TMyButton() override;

  // When not empty, drawn centred instead of the caption.
  const TBitmap& CaptionBitmap() const { return *caption_bitmap_; }
  void SetCaptionBitmap(const TBitmap& Value);
  TFont& FontDown() { return font_down_; }
  TColor ColorDown() const { return color_down_; }
  void SetColorDown(TColor Value);
  // Colour of the 1-pixel outline and of the focus frame.
  TColor ColorBorder() const { return color_border_; }
  void SetColorBorder(TColor Value);
  bool Down() const { return down_; }
  void SetDown(bool Value);
  bool PaintDown() const { return paint_down_; }
  void SetPaintDown(bool Value);
  bool Checker() const { return checker_; }
  void SetChecker(bool Value) { checker_ = Value; }
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int Value) { modal_result_ = Value; }

  // The right mouse button was released on the button.
  TNotifyEvent OnRClick;

  // Toggles a Checker, hands ModalResult to the form, then fires OnClick. Public so
  // that a window can press its buttons from code.
  void Click() override;

  std::string ClassName() const override { return "TMyButton"; }

 protected:
  void Paint() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void DoEnter() override;
  void DoExit() override;
  void EnabledChanged() override;

 private:
  void DrawContent(TCanvas& Canvas, TColor FontColor);

  std::unique_ptr<TBitmap> caption_bitmap_;
  TFont font_down_;
  TColor color_down_ = clSilver;
  TColor color_border_ = clBlack;
  bool down_ = false;
  bool paint_down_ = false;
  bool checker_ = false;
  int modal_result_ = 0;
  bool hover_ = false;
  bool pressed_ = false;
};

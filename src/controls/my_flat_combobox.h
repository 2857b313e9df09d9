// The combo box drawn flat: a 1-pixel frame, a coloured button strip with a small
// painted arrow, and a colour of its own while it has the focus. An OnPaint handler
// may clear its flag to keep the standard look instead.
#pragma once

#include <functional>

#include "platform/gui/standard/combo_box.h"

// DefaultPaint starts true; a handler that clears it suppresses the flat drawing.
using TFlatComboPaintEvent = std::function<void(TComponent* Sender, bool& DefaultPaint)>;

class TMyFlatCombobox : public TCustomComboBox {
 public:
  explicit TMyFlatCombobox(TComponent* AOwner);

  TColor ButtonColor() const { return button_color_; }
  void SetButtonColor(TColor Value);
  // clNone: the frame takes Color and the button gets no separator line.
  TColor BorderColor() const { return border_color_; }
  void SetBorderColor(TColor Value);
  TColor ArrowColor() const { return arrow_color_; }
  void SetArrowColor(TColor Value);
  // Color while focused; clNone keeps Color.
  TColor FocusColor() const { return focus_color_; }
  void SetFocusColor(TColor Value) { focus_color_ = Value; }
  bool ForceDrawFocused() const { return force_draw_focused_; }
  bool MouseInControl() const { return mouse_in_control_; }
  // Free text for the owner.
  std::string CustomProperty;

  TFlatComboPaintEvent OnPaint;

  std::string ClassName() const override { return "TMyFlatCombobox"; }

 protected:
  bool PaintFace(TCanvas& Canvas) override;
  void DoEnter() override;
  void DoExit() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CloseUp() override;
  void Select() override;

 private:
  TColor button_color_ = clBtnFace;
  TColor border_color_ = clBlack;
  TColor arrow_color_ = clBlack;
  TColor focus_color_ = clNone;
  TColor normal_color_ = clWindow;  // Color before the focus came
  bool force_draw_focused_ = false;
  bool mouse_in_control_ = false;
  bool pressed_ = false;
};

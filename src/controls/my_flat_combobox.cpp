#include "controls/my_flat_combobox.h"

#include "platform/gui/graphics/unicode_text.h"

namespace {

// Width of the drop-down button zone, as wide as a vertical scroll bar.
constexpr int kScrollBarWidth = 17;
constexpr int kTextMargin = 3;

}  // namespace

TMyFlatCombobox::TMyFlatCombobox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  SetColor(clWindow);
  normal_color_ = Color();
}

void TMyFlatCombobox::SetButtonColor(TColor Value) {
  SetAndInvalidate(button_color_, Value);
}
void TMyFlatCombobox::SetBorderColor(TColor Value) {
  SetAndInvalidate(border_color_, Value);
}
void TMyFlatCombobox::SetArrowColor(TColor Value) {
  SetAndInvalidate(arrow_color_, Value);
}

bool TMyFlatCombobox::PaintFace(TCanvas& canvas) {
  bool default_paint = true;
  if (OnPaint) OnPaint(this, default_paint);
  if (!default_paint) return false;

  const TRect client = ClientRect();
  canvas.Font().Assign(Font());
  canvas.Brush().SetColor(Color());
  canvas.FillRect(client);
  canvas.Brush().SetStyle(bsClear);
  // The text as the box holds it: a file name in any script is shown as it is written.
  const int text_height = canvas.TextHeight("");
  TRect text_rect = Rect(kTextMargin, (client.Height() - text_height) / 2,
                         client.Right - kScrollBarWidth - 3, client.Bottom);
  TextRectW(canvas, text_rect, TextW(), tfSingleLine | tfNoPrefix);

  // Outer frame, and a second one inside it in the face colour.
  canvas.Brush().SetColor(border_color_ == clNone ? Color() : border_color_);
  canvas.FrameRect(client);
  canvas.Brush().SetColor(Color());
  canvas.FrameRect(Rect(client.Left + 1, client.Top + 1, client.Right - 1, client.Bottom - 1));

  // Button strip: its first 5 pixels stay in the face colour, the separator on the fifth.
  const int strip_left = client.Right - kScrollBarWidth - 3;
  canvas.Brush().SetColor(button_color_);
  canvas.FillRect(Rect(strip_left, client.Top + 1, client.Right - 1, client.Bottom - 1));
  canvas.Brush().SetColor(Color());
  canvas.FillRect(Rect(strip_left, client.Top + 1, strip_left + 5, client.Bottom - 1));
  if (border_color_ != clNone) {
    canvas.Pen().SetColor(border_color_);
    canvas.MoveTo(strip_left + 4, client.Top);
    canvas.LineTo(strip_left + 4, client.Bottom);
  }

  // The arrow, one pixel right and down while the left button holds it.
  const int shift = pressed_ ? 1 : 0;
  const int x0 = client.Right - kScrollBarWidth / 2 - 3 + shift;
  const int y0 = client.Top + shift;
  canvas.Pen().SetColor(arrow_color_);
  for (int row = 0; row < 3; ++row) {
    canvas.MoveTo(x0 + row, y0 + 10 + row);
    canvas.LineTo(x0 + 5 - row, y0 + 10 + row);
  }
  return true;
}

void TMyFlatCombobox::DoEnter() {
  TCustomComboBox::DoEnter();
  normal_color_ = Color();
  if (focus_color_ != clNone) SetColor(focus_color_);
  force_draw_focused_ = true;
  Invalidate();
}

void TMyFlatCombobox::DoExit() {
  TCustomComboBox::DoExit();
  SetColor(normal_color_);
  force_draw_focused_ = false;
  Invalidate();
}

void TMyFlatCombobox::MouseEnter() {
  TCustomComboBox::MouseEnter();
  mouse_in_control_ = true;
  Invalidate();
}

void TMyFlatCombobox::MouseLeave() {
  TCustomComboBox::MouseLeave();
  mouse_in_control_ = false;
  Invalidate();
}

void TMyFlatCombobox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    pressed_ = true;
    Repaint();
  }
  TCustomComboBox::MouseDown(Button, Shift, X, Y);
}

void TMyFlatCombobox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    pressed_ = false;
    Repaint();
  }
  TCustomComboBox::MouseUp(Button, Shift, X, Y);
}

void TMyFlatCombobox::CloseUp() {
  // The open list took the mouse; its release never reached us.
  pressed_ = false;
  TCustomComboBox::CloseUp();
  Invalidate();
}

void TMyFlatCombobox::Select() {
  TCustomComboBox::Select();
  Invalidate();
}

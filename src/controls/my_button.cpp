#include "controls/my_button.h"

#include "controls/bitmap_colors.h"
#include "controls/draw_tools.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/hint_window.h"

TColor LightenColor(TColor Color, std::uint8_t Amount) {
  return ShadeColor(true, Color, Amount);
}

TColor DarkenColor(TColor Color, std::uint8_t Amount) {
  return ShadeColor(false, Color, Amount);
}

namespace {

constexpr TColor kCaptionTemplateColor = clLime;  // glyph pixels that take the font colour
constexpr TColor kCaptionBackground = clFuchsia;  // drawn transparent

}  // namespace

TMyButton::TMyButton(TComponent* AOwner)
    : TCustomControl(AOwner), caption_bitmap_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  font_down_.Assign(Font());
  font_down_.OnChange = [this] { Invalidate(); };
}

TMyButton::~TMyButton() = default;

void TMyButton::SetCaptionBitmap(const TBitmap& Value) {
  caption_bitmap_->Assign(Value);
  Invalidate();
}

void TMyButton::SetColorDown(TColor Value) {
  SetAndInvalidate(color_down_, Value);
}

void TMyButton::SetColorBorder(TColor Value) {
  SetAndInvalidate(color_border_, Value);
}

void TMyButton::SetDown(bool Value) {
  SetAndInvalidate(down_, Value);
}

void TMyButton::SetPaintDown(bool Value) {
  SetAndInvalidate(paint_down_, Value);
}

void TMyButton::Paint() {
  TCanvas& canvas = Canvas();
  const bool shown_down = paint_down_ && down_;
  // System colours are resolved before shading; shading their index bytes would give
  // a near-black face for the default button colour.
  TColor face = ColorToRGB(shown_down ? color_down_ : Color());
  canvas.Font().Assign(shown_down ? font_down_ : Font());
  if (hover_ && Enabled()) face = LightenColor(face, 40);
  TColor dark = DarkenColor(face, 50);
  TColor light = LightenColor(face, 50);
  if (!Enabled()) {
    face = DarkenColor(face, 25);
    dark = DarkenColor(face, 25);
    light = LightenColor(face, 25);
    canvas.Font().SetColor(dark);
    hover_ = false;
    pressed_ = false;
  }

  TRect rect = ClientRect();
  canvas.Brush().SetColor(face);
  canvas.FillRect(rect);
  if (!pressed_ && !shown_down) {
    Frame3D(canvas, rect, light, dark, 3);
  } else {
    Frame3D(canvas, rect, dark, dark, 2);
  }
  canvas.Brush().SetColor(color_border_);
  if (Focused() && TabStop()) canvas.FrameRect(rect);
  canvas.FrameRect(ClientRect());
  DrawContent(canvas, ColorToRGB(canvas.Font().Color()));
}

void TMyButton::DrawContent(TCanvas& canvas, TColor font_color) {
  const int shift = pressed_ ? 1 : 0;
  if (caption_bitmap_->Empty()) {
    canvas.Brush().SetStyle(bsClear);
    TSize size = canvas.TextExtent(Caption());
    canvas.TextOut(Width() / 2 - size.cx / 2 + shift, Height() / 2 - size.cy / 2 + shift,
                   Caption());
    return;
  }
  TBitmap glyph;
  glyph.Assign(*caption_bitmap_);
  glyph.SetTransparent(false);
  ReplaceColor(glyph, caption_bitmap_->TransparentColor(), kCaptionBackground);
  ReplaceColor(glyph, kCaptionTemplateColor, font_color);
  glyph.SetTransparentColor(kCaptionBackground);
  glyph.SetTransparent(true);
  canvas.Draw(Width() / 2 - glyph.Width() / 2 + shift, Height() / 2 - glyph.Height() / 2 + shift,
              glyph);
}

void TMyButton::MouseEnter() {
  if (!Enabled()) return;
  hover_ = true;
  TCustomControl::MouseEnter();
  Invalidate();
}

void TMyButton::MouseLeave() {
  if (!Enabled()) return;
  hover_ = false;
  TCustomControl::MouseLeave();
  CancelHint();
  Invalidate();
}

void TMyButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!Enabled()) return;
  pressed_ = true;
  if (TabStop()) SetFocus();
  Invalidate();
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TMyButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!Enabled()) return;
  TCustomControl::MouseUp(Button, Shift, X, Y);
  pressed_ = false;
  Invalidate();
  if (Button == mbRight && OnRClick) OnRClick(this);
}

void TMyButton::KeyDown(TKeyCode& Key, TShiftState Shift) {
  if (Key == VK_RETURN || Key == VK_SPACE) {
    MouseDown(mbLeft, ssLeft, 0, 0);
    MouseUp(mbLeft, 0, 0, 0);
    if (Enabled()) Click();
    Key = 0;
    return;
  }
  TCustomControl::KeyDown(Key, Shift);
}

void TMyButton::Click() {
  if (!Enabled()) return;
  if (checker_) SetDown(!down_);
  if (modal_result_ != 0) {
    if (TForm* form = GetParentForm(*this)) form->SetModalResult(modal_result_);
  }
  TCustomControl::Click();
}

void TMyButton::DoEnter() {
  TCustomControl::DoEnter();
  Invalidate();
}

void TMyButton::DoExit() {
  TCustomControl::DoExit();
  Invalidate();
}

void TMyButton::EnabledChanged() {
  TCustomControl::EnabledChanged();
  Invalidate();
}

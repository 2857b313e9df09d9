#include "platform/gui/standard/panel.h"

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  SetAndInvalidate(bevel_outer_, Value);
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  SetAndInvalidate(bevel_inner_, Value);
}

void TCustomPanel::SetBevelWidth(int Value) {
  if (Value < 1) Value = 1;
  if (bevel_width_ == Value) return;
  bevel_width_ = Value;
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
  if (Value < 0) Value = 0;
  if (border_width_ == Value) return;
  border_width_ = Value;
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  SetAndInvalidate(alignment_, Value);
}

namespace {

void DrawBevel(TCanvas& canvas, TRect& rect, TBevelCut cut, int width) {
  if (cut == bvNone) return;
  if (cut == bvSpace) {
    rect = Rect(rect.Left + width, rect.Top + width, rect.Right - width, rect.Bottom - width);
    return;
  }
  TColor light = ColorToRGB(clBtnHighlight);
  TColor dark = ColorToRGB(clBtnShadow);
  if (cut == bvLowered) std::swap(light, dark);
  Frame3D(canvas, rect, light, dark, width);
}

}  // namespace

void TCustomPanel::Paint() {
  TCanvas& canvas = Canvas();
  TRect rect = ClientRect();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(rect);
  DrawBevel(canvas, rect, bevel_outer_, bevel_width_);
  rect = Rect(rect.Left + border_width_, rect.Top + border_width_, rect.Right - border_width_,
              rect.Bottom - border_width_);
  DrawBevel(canvas, rect, bevel_inner_, bevel_width_);
  if (Caption().empty()) return;
  canvas.Font().Assign(Font());
  canvas.Brush().SetStyle(bsClear);
  TTextFormat format = tfSingleLine | tfVerticalCenter;
  if (alignment_ == taCenter) format |= tfCenter;
  if (alignment_ == taRightJustify) format |= tfRight;
  canvas.TextRect(rect, Caption(), format);
}

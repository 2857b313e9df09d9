#include "platform/gui/standard/label.h"

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 65, 17);
  AdjustBounds();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (auto_size_ == Value) return;
  auto_size_ = Value;
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  SetAndInvalidate(alignment_, Value);
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  SetAndInvalidate(layout_, Value);
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (word_wrap_ == Value) return;
  word_wrap_ = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  SetAndInvalidate(transparent_, Value);
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (show_accel_char_ == Value) return;
  show_accel_char_ = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CaptionChanged() {
  AdjustBounds();
  TGraphicControl::CaptionChanged();
}

void TCustomLabel::FontChanged() {
  AdjustBounds();
  TGraphicControl::FontChanged();
}

TTextFormat TCustomLabel::TextFormat() const {
  TTextFormat format = 0;
  if (word_wrap_) format |= tfWordBreak;
  if (!show_accel_char_) format |= tfNoPrefix;
  if (alignment_ == taCenter) format |= tfCenter;
  if (alignment_ == taRightJustify) format |= tfRight;
  return format;
}

void TCustomLabel::AdjustBounds() {
  if (!auto_size_) return;
  TCanvas measure;
  measure.Font().Assign(Font());
  TRect rect = Rect(0, 0, word_wrap_ ? Width() : 0, 0);
  // An empty caption still takes one line, so the label does not vanish.
  measure.TextRect(rect, Caption().empty() ? std::string(" ") : Caption(),
                   TextFormat() | tfCalcRect);
  int width = word_wrap_ ? Width() : rect.Width();
  SetBounds(Left(), Top(), width, rect.Height());
}

void TCustomLabel::Paint() {
  TCanvas& canvas = Canvas();
  TRect rect = ClientRect();
  if (!transparent_) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(rect);
  }
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().Assign(Font());
  if (!Enabled()) canvas.Font().SetColor(clGrayText);
  if (layout_ != tlTop) {
    TRect needed = rect;
    canvas.TextRect(needed, Caption(), TextFormat() | tfCalcRect);
    int spare = rect.Height() - needed.Height();
    rect.Top += layout_ == tlCenter ? spare / 2 : spare;
  }
  canvas.TextRect(rect, Caption(), TextFormat());
}

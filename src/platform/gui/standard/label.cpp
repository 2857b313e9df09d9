#include "platform/gui/standard/label.h"

#include "platform/gui/graphics/unicode_text.h"
#include "platform/text/cp1252.h"

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

void TCustomLabel::SetCaptionW(std::u16string Value) {
  if (Value == shown_) return;
  shown_ = std::move(Value);
  setting_wide_ = true;
  SetCaption(Utf16ToCp1252(shown_));
  setting_wide_ = false;
  // Two texts that differ beyond the code page have the same Caption.
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CaptionChanged() {
  if (!setting_wide_) shown_ = Cp1252ToUtf16(Caption());
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
  TextRectW(measure, rect, shown_.empty() ? std::u16string_view(u" ") : shown_,
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
    TextRectW(canvas, needed, shown_, TextFormat() | tfCalcRect);
    int spare = rect.Height() - needed.Height();
    rect.Top += layout_ == tlCenter ? spare / 2 : spare;
  }
  TextRectW(canvas, rect, shown_, TextFormat());
}

#include "platform/gui/graphics/graphics_objects.h"

#include <cmath>

namespace {

// Stores value into field and reports whether it changed.
template <class T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

void TFont::Changed() {
  if (OnChange) OnChange();
}

void TFont::SetName(const std::string& Value) {
  if (Store(name_, Value)) Changed();
}

void TFont::SetHeight(int Value) {
  if (Store(height_, Value)) Changed();
}

int TFont::Size() const {
  return -static_cast<int>(std::lround(height_ * 72.0 / kScreenPixelsPerInch));
}

void TFont::SetSize(int Points) {
  SetHeight(-static_cast<int>(std::lround(Points * double(kScreenPixelsPerInch) / 72.0)));
}

void TFont::SetColor(TColor Value) {
  if (Store(color_, Value)) Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Store(style_, Value)) Changed();
}

void TFont::Assign(const TFont& Source) {
  if (SameAs(Source)) return;
  name_ = Source.name_;
  height_ = Source.height_;
  color_ = Source.color_;
  style_ = Source.style_;
  Changed();
}

bool TFont::SameAs(const TFont& Other) const {
  return SameFace(Other) && color_ == Other.color_;
}

bool TFont::SameFace(const TFont& Other) const {
  return name_ == Other.name_ && height_ == Other.height_ && style_ == Other.style_;
}

void TPen::Changed() {
  if (OnChange) OnChange();
}

void TPen::SetColor(TColor Value) {
  if (Store(color_, Value)) Changed();
}

void TPen::SetWidth(int Value) {
  if (Store(width_, Value)) Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Store(style_, Value)) Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Store(mode_, Value)) Changed();
}

void TPen::Assign(const TPen& Source) {
  if (color_ == Source.color_ && width_ == Source.width_ && style_ == Source.style_ &&
      mode_ == Source.mode_)
    return;
  color_ = Source.color_;
  width_ = Source.width_;
  style_ = Source.style_;
  mode_ = Source.mode_;
  Changed();
}

void TBrush::Changed() {
  if (OnChange) OnChange();
}

void TBrush::SetColor(TColor Value) {
  const bool restyled = style_ == bsClear;
  style_ = bsSolid;
  if (Store(color_, Value) || restyled) Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Store(style_, Value)) Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Store(bitmap_, Value)) Changed();
}

void TBrush::Assign(const TBrush& Source) {
  if (color_ == Source.color_ && style_ == Source.style_ && bitmap_ == Source.bitmap_) return;
  color_ = Source.color_;
  style_ = Source.style_;
  bitmap_ = Source.bitmap_;
  Changed();
}

// The editor fuzzers' painting: an editor drawn as its window shows it, cell editors and
// all, onto a bitmap of its size, so that whatever a fuzzed input brought into it is
// laid out and drawn as a user would see it.
#pragma once

#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"

inline void PaintOffscreen(TControl& Control) {
  TBitmap shown;
  shown.SetSize(Control.Width(), Control.Height());
  PaintTo(Control, shown.Canvas(), 0, 0);
}

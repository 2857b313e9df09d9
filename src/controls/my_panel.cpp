#include "controls/my_panel.h"

#include "platform/gui/standard/message_box.h"
#include "platform/text/local_texts.h"

bool AssignPatternBitmap(const TComponent& Control, TBitmap& Target, const TBitmap& Source) {
  if (Source.Empty()) {
    if (Target.Empty()) return false;
    Target.SetSize(0, 0);
    return true;
  }
  if (Source.Width() < kMinPatternSize || Source.Height() < kMinPatternSize) {
    ShowMessage(Control.Name + LocalText(kBitmapTooSmallText));
    return false;
  }
  Target.Assign(Source);
  return true;
}

void DrawMyBorder(TCanvas& Canvas, TMyBorder Border, int Width, int Height) {
  Canvas.Pen().SetColor(clBlack);
  Canvas.Pen().SetWidth(1);
  Canvas.Pen().SetStyle(psSolid);
  auto line = [&Canvas](int x1, int y1, int x2, int y2) {
    Canvas.MoveTo(x1, y1);
    Canvas.LineTo(x2, y2);
  };
  if (Border.Contains(bpTop)) line(0, 0, Width, 0);
  if (Border.Contains(bpBottom)) line(0, Height - 1, Width, Height - 1);
  if (Border.Contains(bpLeft)) line(0, 0, 0, Height);
  if (Border.Contains(bpRight)) line(Width - 1, 0, Width - 1, Height);
}

TMyPanel::TMyPanel(TComponent* AOwner)
    : TCustomPanel(AOwner), background_(std::make_unique<TBitmap>()) {}

TMyPanel::~TMyPanel() = default;

void TMyPanel::SetBackground(const TBitmap& Value) {
  if (AssignPatternBitmap(*this, *background_, Value)) Invalidate();
}

void TMyPanel::SetColor2(TColor Value) {
  if (color2_ == Value) return;
  color2_ = Value;
  Invalidate();
}

void TMyPanel::SetColor3DLight(TColor Value) {
  if (color_3d_light_ == Value) return;
  color_3d_light_ = Value;
  Invalidate();
}

void TMyPanel::SetColor3DDark(TColor Value) {
  if (color_3d_dark_ == Value) return;
  color_3d_dark_ = Value;
  Invalidate();
}

void TMyPanel::SetColorFill(TColor Value) {
  SetAndInvalidate(color_fill_, Value);
}

void TMyPanel::SetRoundRect(bool Value) {
  SetAndInvalidate(round_rect_, Value);
}

void TMyPanel::SetStretchDraw(bool Value) {
  SetAndInvalidate(stretch_draw_, Value);
}

void TMyPanel::SetPaintBorder(TMyBorder Value) {
  SetAndInvalidate(paint_border_, Value);
}

void TMyPanel::SetGlowPaint(bool Value) {
  SetAndInvalidate(glow_paint_, Value);
}

void TMyPanel::DrawBevel(TCanvas& canvas, const TRect& rect, TBevelCut cut, bool filled) {
  if (cut != bvRaised && cut != bvLowered) return;
  const bool lowered = cut == bvLowered;
  if (round_rect_) {
    const TColor edge = lowered ? color_3d_dark_ : color_3d_light_;
    const int inset = BevelWidth() - 1;
    canvas.Brush().SetStyle(bsSolid);
    canvas.Pen().SetColor(edge);
    canvas.Brush().SetColor(edge);
    canvas.RoundRect(rect.Left, rect.Top, rect.Right, rect.Bottom, 10, 10);
    if (filled) {
      SetFaceBrush(canvas);
    } else {
      canvas.Brush().SetColor(Color());
    }
    canvas.RoundRect(rect.Left + inset, rect.Top + inset, rect.Right - inset, rect.Bottom - inset,
                     10, 10);
    canvas.Brush().SetBitmap(nullptr);
    return;
  }
  TRect frame = rect;
  if (lowered) {
    Frame3D(canvas, frame, color_3d_dark_, color_3d_light_, BevelWidth());
  } else {
    Frame3D(canvas, frame, color_3d_light_, color_3d_dark_, BevelWidth());
  }
  if (filled) {
    SetFaceBrush(canvas);
    canvas.FillRect(frame);
    canvas.Brush().SetBitmap(nullptr);
  }
}

void TMyPanel::SetFaceBrush(TCanvas& canvas) const {
  canvas.Brush().SetStyle(bsSolid);
  if (background_->Empty()) {
    canvas.Brush().SetColor(color_fill_);
  } else {
    canvas.Brush().SetBitmap(background_.get());
  }
}

void TMyPanel::Paint() {
  TBitmap work;
  work.SetSize(Width(), Height());
  PaintTo(work.Canvas());
  Canvas().Draw(0, 0, work);
}

void TMyPanel::PaintTo(TCanvas& canvas) {
  const int width = Width();
  const int height = Height();
  canvas.Font().Assign(Font());
  canvas.Brush().SetColor(Color());
  canvas.FillRect(Rect(0, 0, width, height));
  canvas.Brush().SetStyle(bsClear);

  // The face is what the innermost bevel drawn encloses (the whole panel without one);
  // the bevel paints it as it draws itself, in one pass over the pixels.
  struct TBevelPlace {
    TRect Place;
    TBevelCut Cut;
  };
  TBevelPlace bevels[2];
  int count = 0;
  int offset = 0;
  if (BevelOuter() != bvNone) {
    bevels[count++] = {Rect(0, 0, width, height), BevelOuter()};
    offset += BevelWidth();
  }
  if (BevelInner() != bvNone) {
    const int in = BorderWidth() + offset;
    bevels[count++] = {Rect(in, in, width - in, height - in), BevelInner()};
    offset += BevelWidth();
  }
  int innermost = -1;
  for (int i = 0; i < count; ++i) {
    if (bevels[i].Cut == bvRaised || bevels[i].Cut == bvLowered) innermost = i;
  }
  // A stretched picture and the glow cover the face themselves.
  const bool filled = background_->Empty() ? !glow_paint_ : !stretch_draw_;
  for (int i = 0; i < count; ++i) {
    DrawBevel(canvas, bevels[i].Place, bevels[i].Cut, filled && i == innermost);
  }
  if (filled && innermost < 0) {
    SetFaceBrush(canvas);
    canvas.FillRect(Rect(0, 0, width, height));
    canvas.Brush().SetBitmap(nullptr);
  }
  const int inset = offset + BorderWidth();
  const TRect face = Rect(inset, inset, width - inset, height - inset);
  if (!background_->Empty() && stretch_draw_) {
    canvas.StretchDraw(face, *background_);
  } else if (background_->Empty() && glow_paint_) {
    FillSplitHorizontal(canvas, face, Color(), color2_);
  }

  if (!Caption().empty()) {
    canvas.Brush().SetStyle(bsClear);
    const TSize text = canvas.TextExtent(Caption());
    int x = width / 2 - text.cx / 2;
    if (Alignment() == taLeftJustify) x = inset;
    if (Alignment() == taRightJustify) x = width - text.cx - inset;
    canvas.TextOut(x, height / 2 - text.cy / 2, Caption());
  }
  DrawMyBorder(canvas, paint_border_, width, height);
}

void TMyPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (move_) drag_.Start(*this, Button, X, Y);
  TCustomPanel::MouseDown(Button, Shift, X, Y);
}

void TMyPanel::MouseMove(TShiftState Shift, int X, int Y) {
  drag_.Follow(*this, X, Y);
  TCustomPanel::MouseMove(Shift, X, Y);
}

void TMyPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  drag_.Stop();
  TCustomPanel::MouseUp(Button, Shift, X, Y);
}

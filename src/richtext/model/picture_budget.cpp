#include "richtext/model/picture_budget.h"

#include "platform/gui/graphics/canvas.h"
#include "platform/text/streams.h"

bool TRDPictureBudget::Take(std::int64_t pixels) {
  if (pixels > left_) {
    left_out_ = true;
    return false;
  }
  left_ -= pixels;
  return true;
}

void TRDPictureFrame::Draw(TCanvas& Canvas, const TRect& Rect) const {
  // The canvas is the caller's: its pen and brush are as they were afterwards.
  TPen pen;
  TBrush brush;
  pen.Assign(Canvas.Pen());
  brush.Assign(Canvas.Brush());
  Canvas.Brush().SetStyle(bsClear);
  Canvas.Pen().SetColor(clGray);
  Canvas.Pen().SetWidth(1);
  Canvas.Pen().SetStyle(psSolid);
  Canvas.Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  Canvas.Pen().Assign(pen);
  Canvas.Brush().Assign(brush);
}

void TRDPictureFrame::SaveToStream(TStream& Stream) const {
  Stream.WriteBuffer(source_.Data.data(), std::int64_t(source_.Data.size()));
}

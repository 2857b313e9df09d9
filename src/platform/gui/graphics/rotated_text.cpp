#include "platform/gui/graphics/rotated_text.h"

#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/text/qt_string_qt.h"

void DrawRotatedText(TCanvas& Canvas, int X, int Y, const std::string& Text, int AngleTenths) {
  TCanvas::Impl& impl = TCanvasAccess::Internals(Canvas);
  QPainter* painter = impl.Painter();
  if (!painter) return;
  impl.UseFont(Canvas.Font());
  painter->save();
  painter->setFont(impl.qfont);
  painter->setPen(ToQColor(Canvas.Font().Color()));
  painter->translate(X, Y);
  painter->rotate(-AngleTenths / 10.0);
  painter->drawText(QPoint(0, impl.metrics->ascent()), ToQString(Text));
  painter->restore();
}

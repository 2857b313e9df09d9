#include "platform/gui/controls/paint_to.h"

#include <QImage>
#include <QPainter>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/canvas_qt.h"

void PaintTo(TControl& Control, TCanvas& Canvas, int X, int Y) {
  const int width = Control.Width();
  const int height = Control.Height();
  if (width <= 0 || height <= 0) return;
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    if (auto* windowed = dynamic_cast<TWinControl*>(&Control)) {
      WidgetOf(*windowed)->render(&painter);
    } else if (auto* graphic = dynamic_cast<TGraphicControl*>(&Control)) {
      // PaintChild places the control at its bounds on the parent's surface.
      painter.translate(-Control.Left(), -Control.Top());
      TControlEvents::PaintChild(*graphic, painter, ToQRect(Control.BoundsRect()));
    }
  }
  TCanvasAccess::DrawImage(Canvas, Bounds(X, Y, width, height), image, image.rect());
}

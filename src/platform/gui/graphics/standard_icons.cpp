#include "platform/gui/graphics/standard_icons.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QStyle>

#include "platform/gui/graphics/canvas_qt.h"

void LoadStandardIcon(TStandardIcon Icon, int Size, TColor Background, TBitmap& Target) {
  QStyle::StandardPixmap kind = QStyle::SP_MessageBoxCritical;
  if (Icon == siWarning) kind = QStyle::SP_MessageBoxWarning;
  if (Icon == siInformation) kind = QStyle::SP_MessageBoxInformation;
  if (Icon == siQuestion) kind = QStyle::SP_MessageBoxQuestion;
  const QPixmap pixmap = QApplication::style()->standardIcon(kind).pixmap(Size, Size);
  Target.SetSize(Size, Size);
  TCanvas& canvas = Target.Canvas();
  canvas.Brush().SetColor(Background);
  canvas.FillRect(Rect(0, 0, Size, Size));
  QImage image = pixmap.toImage();
  if (image.isNull()) return;
  if (image.size() != QSize(Size, Size)) image = image.scaled(Size, Size);
  TCanvasAccess::DrawImage(canvas, Rect(0, 0, Size, Size), image, image.rect());
}

#include "platform/gui/standard/program_icon.h"

#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/text/qt_string_qt.h"

bool SetProgramIcon(const std::vector<std::string>& PictureFiles) {
  QIcon icon;
  for (const std::string& file : PictureFiles) {
    const QPixmap picture(FileNameToQString(file));
    if (!picture.isNull()) icon.addPixmap(picture);
  }
  if (icon.isNull()) return false;
  QApplication::setWindowIcon(icon);
  return true;
}

bool WindowIconPicture(const TWinControl& Window, int Size, TColor Background, TBitmap& Picture) {
  QWidget* widget = WidgetOf(Window);
  if (!widget) return false;
  const QIcon icon = widget->window()->windowIcon();
  if (icon.isNull()) return false;
  QImage image(Size, Size, QImage::Format_RGB32);
  image.fill(ToQColor(Background));
  {
    QPainter painter(&image);
    icon.paint(&painter, 0, 0, Size, Size);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return false;
  return LoadBitmapFromImageBytes(std::string(bytes.constData(), std::size_t(bytes.size())),
                                  Picture);
}

#include "platform/gui/png_file.h"

#include <QBuffer>

#include "platform/gui/bitmap_qt.h"
#include "platform/text/qt_string_qt.h"

void SaveBitmapToPng(const TBitmap& Bitmap, const std::string& FileName) {
  if (!BitmapImage(Bitmap).save(ToQString(FileName), "PNG")) {
    throw EInvalidGraphic("Cannot write " + FileName);
  }
}

std::string BitmapToPng(const TBitmap& Bitmap) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!BitmapImage(Bitmap).save(&buffer, "PNG")) throw EInvalidGraphic("Cannot encode PNG");
  return std::string(png.constData(), static_cast<std::size_t>(png.size()));
}

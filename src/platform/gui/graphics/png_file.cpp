#include "platform/gui/graphics/png_file.h"

#include <QBuffer>

#include <limits>

#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/streams.h"

void SaveBitmapToPng(const TBitmap& Bitmap, const std::string& FileName) {
  if (!TBitmapAccess::DrawnImage(Bitmap).save(FileNameToQString(FileName), "PNG")) {
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

bool LoadBitmapFromImageBytes(const std::string& Bytes, TBitmap& Bitmap) {
  if (Bytes.empty() || Bytes.size() > std::size_t(std::numeric_limits<int>::max())) return false;
  const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(Bytes.data()),
                                        static_cast<int>(Bytes.size()));
  if (image.isNull()) return false;
  // Through BMP bytes, which the bitmap reads.
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "BMP")) return false;
  TMemoryStream stream;
  stream.WriteBuffer(bmp.constData(), bmp.size());
  stream.SetPosition(0);
  Bitmap.LoadFromStream(stream);
  return true;
}

#include "platform/gui/png_file.h"

#include "platform/gui/bitmap_qt.h"
#include "platform/text/qt_string_qt.h"

void SaveBitmapToPng(const TBitmap& Bitmap, const std::string& FileName) {
  if (!BitmapImage(Bitmap).save(ToQString(FileName), "PNG")) {
    throw EInvalidGraphic("Cannot write " + FileName);
  }
}

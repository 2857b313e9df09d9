// Platform-internal: a bitmap's pixels for drawing with Qt.
#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/face_cover_qt.h"

struct TBitmapAccess {
  static const QImage& Image(const TBitmap& Bitmap);
  // The pixels as Draw blends them: a transparent bitmap's key colour made clear.
  static const QImage& DrawnImage(const TBitmap& Bitmap);
  // What DrawnImage covers when drawn over others, kept until the pixels change.
  static TFaceCover Cover(const TBitmap& Bitmap);
  // The file the pixels were loaded from (see bitmap_file.h).
  static std::shared_ptr<const std::string>& File(const TBitmap& Bitmap);
  // Replaces the pixels with Image's, opaque, in pf24bit.
  static void SetImage(TBitmap& Bitmap, QImage Image);
};

// The pixels as they are now (the bitmap's own canvas stops painting first).
inline const QImage& BitmapImage(const TBitmap& Bitmap) {
  return TBitmapAccess::Image(Bitmap);
}

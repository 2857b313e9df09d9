#include "richtext/base/picture_routines.h"

#include <algorithm>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/jpeg_image.h"

namespace {
constexpr int kMaxDeviceCoordinate = 65535;
int DeviceCoordinate(int v) {
  return std::clamp(v, 0, kMaxDeviceCoordinate);
}
}  // namespace

bool IsTransparentGraphic(const TGraphic& graphic) {
  if (dynamic_cast<const TBitmap*>(&graphic)) return graphic.Transparent();
  if (dynamic_cast<const TJPEGImage*>(&graphic)) return false;
  return true;
}

void DrawBitmapAsDIB(TRDCanvas& canvas, int x, int y, int width, int height,
                     const TBitmap& bitmap) {
  x = DeviceCoordinate(x);
  y = DeviceCoordinate(y);
  canvas.StretchDraw(Bounds(x, y, DeviceCoordinate(width), DeviceCoordinate(height)), bitmap);
}

void DrawGraphicScaled(TRDCanvas& canvas, int x, int y, int width, int height,
                       const TRDResolution& resolution, const TGraphic& graphic,
                       bool useStretchDraw) {
  if (width < 0) width = graphic.Width();
  if (height < 0) height = graphic.Height();
  width = ScreenToDeviceX(width, resolution);
  height = ScreenToDeviceY(height, resolution);
  if (useStretchDraw)
    canvas.StretchDraw(TRect{x, y, x + width, y + height}, graphic);
  else if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic))
    DrawBitmapAsDIB(canvas, x, y, width, height, *bitmap);
}

#include "platform/gui/graphics/png_file.h"

#include <QBuffer>

#include <algorithm>
#include <limits>

#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/shown_text.h"

void SaveBitmapToPng(const TBitmap& Bitmap, const std::string& FileName) {
  if (!TBitmapAccess::DrawnImage(Bitmap).save(FileNameToQString(FileName), "PNG")) {
    throw EInvalidGraphic("Cannot write " + ShownFileName(FileName));
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
  QImage image = QImage::fromData(reinterpret_cast<const uchar*>(Bytes.data()),
                                  static_cast<int>(Bytes.size()));
  if (image.isNull()) return false;
  // Straight into the bitmap: by way of a BMP file a large picture was held three times.
  TBitmapAccess::SetImage(Bitmap, std::move(image));
  return true;
}

std::optional<TSize> PngSize(std::span<const std::uint8_t> Bytes) {
  // The signature, then the header chunk: its length, "IHDR", width and height (big-endian).
  constexpr std::uint8_t kStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                     0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  constexpr std::size_t kSizeAt = sizeof kStart;
  if (Bytes.size() < kSizeAt + 8 ||
      !std::equal(std::begin(kStart), std::end(kStart), Bytes.begin()))
    return std::nullopt;
  const auto be32 = [&](std::size_t at) {
    return std::uint32_t(Bytes[at]) << 24 | std::uint32_t(Bytes[at + 1]) << 16 |
           std::uint32_t(Bytes[at + 2]) << 8 | std::uint32_t(Bytes[at + 3]);
  };
  // PNG sizes are below 2^31.
  const std::uint32_t width = be32(kSizeAt), height = be32(kSizeAt + 4);
  if (width > std::uint32_t(std::numeric_limits<int>::max()) ||
      height > std::uint32_t(std::numeric_limits<int>::max()))
    return std::nullopt;
  return TSize{int(width), int(height)};
}

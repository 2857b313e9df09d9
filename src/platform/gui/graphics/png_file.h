// Saving a bitmap as PNG: as a file (pictures of windows for people to look at) or as
// bytes (a picture handed to other programs); and reading the picture bytes another
// program hands over.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/geometry.h"

// A transparent bitmap's transparent colour is written clear. Raises EInvalidGraphic
// when the file cannot be written.
void SaveBitmapToPng(const TBitmap& Bitmap, const std::string& FileName);
// The PNG bytes of the bitmap; raises EInvalidGraphic when it cannot be encoded.
std::string BitmapToPng(const TBitmap& Bitmap);
// The picture in Bytes, in any format the system reads (PNG, BMP, JPEG, GIF...); false,
// leaving Bitmap as it was, when they hold no picture.
bool LoadBitmapFromImageBytes(const std::string& Bytes, TBitmap& Bitmap);
// The size a PNG file's header claims, read before anything is decoded (a few hundred
// bytes of compressed zero rows may claim a picture of gigabytes); nullopt when Bytes do
// not start like a PNG file.
std::optional<TSize> PngSize(std::span<const std::uint8_t> Bytes);

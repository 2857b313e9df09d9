// Saving a bitmap as PNG: as a file (pictures of windows for people to look at) or as
// bytes (a picture handed to other programs).
#pragma once

#include <string>

#include "platform/gui/bitmap.h"

// Raises EInvalidGraphic when the file cannot be written.
void SaveBitmapToPng(const TBitmap& Bitmap, const std::string& FileName);
// The PNG bytes of the bitmap; raises EInvalidGraphic when it cannot be encoded.
std::string BitmapToPng(const TBitmap& Bitmap);

// Saving a bitmap as a PNG file (pictures of windows for people to look at).
#pragma once

#include <string>

#include "platform/gui/bitmap.h"

// Raises EInvalidGraphic when the file cannot be written.
void SaveBitmapToPng(const TBitmap& Bitmap, const std::string& FileName);

// The file a bitmap was loaded from. A few bytes of a file may decode to millions of
// pixels (run-length rows, a compressed format), and writing the pixels out would take
// all of them: a bitmap whose pixels are as loaded from a file smaller than they are
// written keeps that file, and writes it again. TBitmap keeps a BMP file so; a picture
// kind derived from it that loads another format keeps its own file with KeepLoadedFile.
//
// The file is forgotten as soon as the pixels may change: drawing on the bitmap, a row
// written through ScanLine, a new size or pixel format. Assign passes it on to a bitmap of
// the same kind only (the kind that loaded it writes it).
#pragma once

#include <string>

#include "platform/gui/graphics/bitmap.h"

void KeepLoadedFile(TBitmap& Bitmap, std::string Bytes);
// Null when the bitmap keeps no file.
const std::string* LoadedFile(const TBitmap& Bitmap);

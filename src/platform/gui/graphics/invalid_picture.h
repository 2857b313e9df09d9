// The mark shown in place of a picture that cannot be shown: a grey frame with a red
// cross, kInvalidPictureSize pixels each way.
#pragma once

#include "platform/gui/graphics/bitmap.h"

constexpr int kInvalidPictureSize = 20;

// The mark, made once for the program.
const TBitmap& InvalidPictureMark();

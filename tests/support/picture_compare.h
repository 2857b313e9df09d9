// Pictures compared pixel by pixel, for the drawing tests.
#pragma once

#include "support/control_snapshot.h"

// Whether the Width x Height pixels from (AX, AY) of A are those from (BX, BY) of B.
inline bool SamePixels(TBitmap& A, int AX, int AY, TBitmap& B, int BX, int BY, int Width,
                       int Height) {
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x)
      if (PixelAt(A, AX + x, AY + y) != PixelAt(B, BX + x, BY + y)) return false;
  return true;
}

// Whether two pictures are the same, size and pixels.
inline bool SamePicture(TBitmap& A, TBitmap& B) {
  return A.Width() == B.Width() && A.Height() == B.Height() &&
         SamePixels(A, 0, 0, B, 0, 0, A.Width(), A.Height());
}

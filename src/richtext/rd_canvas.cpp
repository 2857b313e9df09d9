#include "richtext/rd_canvas.h"

#include "richtext/text_routines.h"

namespace {
constexpr int kPointsPerInch = 72;
}

int TRDFont::Size() const { return -MulDiv(Height, kPointsPerInch, PixelsPerInch); }

void TRDFont::SetSize(int points) { Height = -MulDiv(points, PixelsPerInch, kPointsPerInch); }

// A one-line text cut to the room it has, ending in "..." where it was cut.
#pragma once

#include <string>

#include "platform/gui/graphics/canvas.h"

// Text as it is when it fits in Room pixels of Canvas's font; else as much of it as fits
// with "..." after it.
std::string FitText(TCanvas& Canvas, const std::string& Text, int Room);
std::u16string FitText(TCanvas& Canvas, const std::u16string& Text, int Room);

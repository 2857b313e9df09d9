// The program's icon files: the build draws one PNG per size into the program folder's
// "Pictures" (tools/make_program_icons.cpp), and the program hands them all to the
// desktop, which picks the size it needs for title bars, task bar and tray.
#pragma once

#include <string>

#include "app/product.h"

inline constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// "Velmora32.png" for 32 pixels.
inline std::string ProgramIconFileName(int Size) {
  return std::string(kProductName) + std::to_string(Size) + ".png";
}

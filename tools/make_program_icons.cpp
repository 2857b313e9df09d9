// Draws the program's icon (the globe of its logo, app/shelf/program_logo.h) at the sizes
// desktops ask for and writes each as a PNG file with a clear background:
// <folder>/Velmora16.png ... <folder>/Velmora256.png.
//   make_program_icons <folder>
#include <cstdio>
#include <string>

#include "app/shelf/program_icon_files.h"
#include "app/shelf/program_logo.h"
#include "platform/gui/graphics/png_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_program_icons <folder>\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  for (const int size : kProgramIconSizes) {
    TBitmap icon;
    DrawProgramIcon(icon, size);
    try {
      SaveBitmapToPng(icon, folder + ProgramIconFileName(size));
    } catch (const Exception& e) {
      std::fprintf(stderr, "make_program_icons: %s\n", e.Message().c_str());
      return 1;
    }
  }
  return 0;
}

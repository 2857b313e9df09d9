// The program's icon: what the desktop shows for every window of the program, in the
// title bars and the task bar, and in the tray for a tray icon given no picture.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"

class TWinControl;

// Takes the pictures (one file per size, any format the system reads) as the program's
// icon. False, and the desktop's own icon stays, when none of them can be read.
bool SetProgramIcon(const std::vector<std::string>& PictureFiles);

// The icon the window shows, as the desktop would draw it Size pixels square, over
// Background; false when it shows none.
bool WindowIconPicture(const TWinControl& Window, int Size, TColor Background, TBitmap& Picture);

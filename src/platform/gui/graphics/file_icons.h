// The desktop's icons for files and folders, as markup shows them beside file names.
#pragma once

#include <string>

#include "platform/gui/graphics/canvas.h"

// Size of the small and the large file icons.
constexpr int kSmallFileIconSize = 16;
constexpr int kLargeFileIconSize = 32;

// Draws the icon of Path into Rect: the icon of the file or folder itself when it exists,
// else the icon of its kind by the name's extension, else the generic file icon. Draws
// nothing when the desktop has no icons to give.
void DrawFileIcon(TCanvas& Canvas, const TRect& Rect, const std::string& Path);

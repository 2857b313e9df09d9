// The desktop's message icons (error, warning, information, question) as pictures.
#pragma once

#include "platform/gui/graphics/bitmap.h"

enum TStandardIcon { siError, siWarning, siInformation, siQuestion };

// Draws the icon at Size x Size into Target (resized), on Background.
void LoadStandardIcon(TStandardIcon Icon, int Size, TColor Background, TBitmap& Target);

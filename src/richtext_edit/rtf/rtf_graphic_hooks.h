// Hooks of the document model for graphics made while RTF is read. They belong with the
// rich-text document model; until it offers them they live here.
#pragma once

#include <functional>
#include <memory>

#include "platform/gui/graphics/bitmap.h"

// An empty TPngImage.
std::unique_ptr<TGraphic> NewPngGraphic();
// Makes an empty graphic for PNG data: NewPngGraphic unless changed, for the RTF we write
// holds PNG pictures (bitmaps whose runs leave pixels unset, pictures of other kinds) that
// have to read back. Set empty, PNG pictures in RTF are reported without a graphic.
extern std::function<std::unique_ptr<TGraphic>()> PngGraphicClass;
// Makes PNG pictures in RTF, and ".png" files loaded by TPicture, TPngImage pictures;
// the program does so once at start-up.
void RegisterPngGraphicClass();
// Called with every graphic made during an RTF read before the graphic is reported.
extern std::function<void(TGraphic&)> GraphicCreatedHook;

#include "richtext_edit/rtf/rtf_graphic_hooks.h"

std::function<std::unique_ptr<TGraphic>()> PngGraphicClass;
std::function<void(TGraphic&)> GraphicCreatedHook;

#include "richtext_edit/rtf/rtf_graphic_hooks.h"

#include "platform/gui/graphics/picture.h"
#include "richtext/base/graphic_classes.h"

std::unique_ptr<TGraphic> NewPngGraphic() {
  return std::make_unique<TPngImage>();
}

std::function<std::unique_ptr<TGraphic>()> PngGraphicClass = NewPngGraphic;
std::function<void(TGraphic&)> GraphicCreatedHook;

void RegisterPngGraphicClass() {
  PngGraphicClass = NewPngGraphic;
  // Pictures named by file (INCLUDEPICTURE fields) load as PNG pictures too.
  TPicture::RegisterFileFormat("png", "PNG Image", PngGraphicClass);
}

#include "richtext/graphic_classes.h"

#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/jpeg_image.h"
#include "platform/text/sysutils.h"

namespace {

struct GraphicClassInfo {
  std::string Name;
  TRDGraphicClass Create;
  bool (*Is)(const TGraphic&);
};

template <class T>
std::unique_ptr<TGraphic> Construct() {
  return std::make_unique<T>();
}

template <class T>
bool IsExactly(const TGraphic& graphic) {
  return typeid(graphic) == typeid(T);
}

std::vector<GraphicClassInfo>& Registry() {
  static std::vector<GraphicClassInfo> registry{
      {"TBitmap", Construct<TBitmap>, IsExactly<TBitmap>},
      {"TJPEGImage", Construct<TJPEGImage>, IsExactly<TJPEGImage>}};
  return registry;
}

}  // namespace

std::function<std::unique_ptr<TGraphic>(TRDGraphicClass)> RDCreateGraphicProc =
    [](TRDGraphicClass graphicClass) { return graphicClass(); };
std::function<void(TGraphic&)> RDAfterImportGraphicProc = [](TGraphic&) {};

void RegisterGraphicClass(const std::string& name, TRDGraphicClass create,
                          bool (*is)(const TGraphic&)) {
  for (GraphicClassInfo& info : Registry())
    if (SameText(info.Name, name)) {
      info = GraphicClassInfo{name, create, is};
      return;
    }
  Registry().push_back(GraphicClassInfo{name, create, is});
}

TRDGraphicClass FindGraphicClass(std::string_view name) {
  for (const GraphicClassInfo& info : Registry())
    if (SameText(info.Name, name)) return info.Create;
  return nullptr;
}

std::string GraphicClassName(const TGraphic& graphic) {
  for (const GraphicClassInfo& info : Registry())
    if (info.Is(graphic)) return info.Name;
  return "";
}

#include "richtext/base/graphic_classes.h"

#include <algorithm>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/bitmap_file.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/text/streams.h"
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
      {"TJPEGImage", Construct<TJPEGImage>, IsExactly<TJPEGImage>},
      {"TPngImage", Construct<TPngImage>, IsExactly<TPngImage>},
      {"TMetafile", Construct<TMetafile>, IsExactly<TMetafile>}};
  return registry;
}

}  // namespace

void TPngImage::LoadFromStream(TStream& Stream) {
  std::string bytes(size_t(std::max<std::int64_t>(0, Stream.Size() - Stream.Position())), '\0');
  Stream.ReadBuffer(bytes.data(), std::int64_t(bytes.size()));
  TBitmap decoded;
  if (!LoadBitmapFromImageBytes(bytes, decoded)) throw EInvalidGraphic("Invalid PNG picture");
  Assign(decoded);
  // Only a PNG file is stored as it came.
  if (PngSize({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}))
    KeepLoadedFile(*this, std::move(bytes));
}

void TPngImage::SaveToStream(TStream& Stream) const {
  const std::string* file = LoadedFile(*this);
  const std::string bytes = file ? std::string() : BitmapToPng(*this);
  const std::string& saved = file ? *file : bytes;
  Stream.WriteBuffer(saved.data(), std::int64_t(saved.size()));
}

std::unique_ptr<TGraphic> TPngImage::Clone() const {
  auto copy = std::make_unique<TPngImage>();
  copy->Assign(*this);
  return copy;
}

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

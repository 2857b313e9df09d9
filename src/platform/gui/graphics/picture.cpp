#include "platform/gui/graphics/picture.h"

#include <map>

#include "platform/gui/graphics/jpeg_image.h"
#include "platform/sys/files.h"
#include "platform/text/sysutils.h"

namespace {

struct FileFormat {
  std::string description;
  TPicture::TGraphicFactory factory;
};

std::string FormatKey(const std::string& extension) {
  return LowerCase(!extension.empty() && extension[0] == '.' ? extension.substr(1) : extension);
}

// Built once, on first use, so registering from another unit's start-up code is safe.
std::map<std::string, FileFormat>& Formats() {
  static std::map<std::string, FileFormat> formats = [] {
    std::map<std::string, FileFormat> builtIn;
    builtIn["bmp"] = {"Bitmaps", [] { return std::make_unique<TBitmap>(); }};
    const TPicture::TGraphicFactory jpeg = [] { return std::make_unique<TJPEGImage>(); };
    builtIn["jpg"] = {"JPEG Image File", jpeg};
    builtIn["jpeg"] = {"JPEG Image File", jpeg};
    return builtIn;
  }();
  return formats;
}

std::map<unsigned, TPicture::TClipboardLoader>& ClipboardFormats() {
  static std::map<unsigned, TPicture::TClipboardLoader> formats;
  return formats;
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange();
}

void TPicture::SetGraphic(const TGraphic* Value) {
  graphic_ = Value ? Value->Clone() : nullptr;
  Changed();
}

TBitmap& TPicture::Bitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
  if (!bitmap) {
    auto fresh = std::make_unique<TBitmap>();
    bitmap = fresh.get();
    graphic_ = std::move(fresh);
    Changed();
  }
  return *bitmap;
}

void TPicture::LoadFromFile(const std::string& FileName) {
  const std::string extension = ExtractFileExt(FileName);
  const auto format = Formats().find(FormatKey(extension));
  if (format == Formats().end())
    throw EInvalidGraphic("Unknown picture file extension (" + extension + ")");
  std::unique_ptr<TGraphic> loaded = format->second.factory();
  loaded->LoadFromFile(FileName);
  graphic_ = std::move(loaded);
  Changed();
}

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicFactory Factory) {
  Formats()[FormatKey(Extension)] = {Description, std::move(Factory)};
}

void TPicture::UnregisterFileFormat(const std::string& Extension) {
  Formats().erase(FormatKey(Extension));
}

void TPicture::RegisterClipboardFormat(unsigned Format, TClipboardLoader Loader) {
  ClipboardFormats()[Format] = std::move(Loader);
}

void TPicture::UnregisterClipboardFormat(unsigned Format) {
  ClipboardFormats().erase(Format);
}

bool TPicture::SupportsClipboardFormat(unsigned Format) {
  return ClipboardFormats().contains(Format);
}

void TPicture::LoadFromClipboardFormat(unsigned Format) {
  const auto format = ClipboardFormats().find(Format);
  if (format == ClipboardFormats().end()) throw EInvalidGraphic("Unsupported clipboard format");
  graphic_ = format->second(Format);
  Changed();
}

#include "gif/gif_registration.h"

#include "gif/gif_picture.h"
#include "gif/gif_settings.h"
#include "platform/gui/graphics/picture.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/text/streams.h"

namespace {
constexpr const char* kExtension = "GIF";
constexpr const char* kDescription = "GIF Image";
}  // namespace

void RegisterGIFFormat() {
  TPicture::RegisterFileFormat(kExtension, kDescription,
                               [] { return std::make_unique<TGIFPicture>(); });
  GIFClipboardFormat = RegisterClipboardFormat(kDescription);
  TPicture::RegisterClipboardFormat(GIFClipboardFormat, [](unsigned Format) {
    auto picture = std::make_unique<TGIFPicture>();
    LoadFromClipboardFormat(*picture, Format);
    return picture;
  });
  // Our screens are true colour; a palette display would set both.
  PaletteDisplay = false;
  AutoDitherEnabled = PaletteDisplay;
}

void UnregisterGIFFormat() {
  TPicture::UnregisterFileFormat(kExtension);
  TPicture::UnregisterClipboardFormat(GIFClipboardFormat);
}

void LoadFromClipboardFormat(TGIFPicture& Picture, unsigned Format) {
  if (Format == GIFClipboardFormat && GIFClipboardFormat != 0 && Clipboard().HasFormat(Format)) {
    const std::string bytes = Clipboard().GetAsBytes(Format);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    Picture.LoadFromStream(stream);
    return;
  }
  TBitmap bitmap;
  if (Format == CF_BITMAP && Clipboard().GetBitmap(bitmap)) {
    Picture.Assign(bitmap);
    return;
  }
  Error("Unsupported clipboard format");
}

void SaveToClipboardFormat(const TGIFPicture& Picture) {
  if (Picture.IsEmpty()) return;
  const TBitmap& rendered = *Picture.Bitmap();
  TMemoryStream stream;
  Picture.SaveToStream(stream);
  const std::string bytes(static_cast<const char*>(stream.Memory()),
                          static_cast<std::size_t>(stream.Size()));
  Clipboard().Open();
  Clipboard().SetBitmap(rendered);
  Clipboard().SetAsBytes(GIFClipboardFormat, bytes);
  Clipboard().Close();
  if (!Clipboard().HasFormat(GIFClipboardFormat)) Error("Failed to store GIF on clipboard");
}

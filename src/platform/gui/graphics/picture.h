// TPicture: holds one graphic of any registered kind and loads files by extension.
//
// Formats are registered by file extension with a factory for an empty graphic of that
// kind. BMP (".bmp") and JPEG (".jpg", ".jpeg") are built in; other codecs (GIF)
// register themselves at program start. Extensions compare without case and may be
// given with or without the dot.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/gui/graphics/bitmap.h"

class TPicture {
 public:
  using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // The graphic held, or null when the picture is empty.
  TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of Value (null empties the picture).
  void SetGraphic(const TGraphic* Value);
  // The picture as a bitmap: anything else it held is replaced by an empty bitmap.
  TBitmap& Bitmap();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Loads with the format registered for the file's extension. Raises EInvalidGraphic
  // for an unknown extension or bad data (the picture keeps what it held) and
  // EFOpenError when the file cannot be opened.
  void LoadFromFile(const std::string& FileName);

  // Called after the picture got a new graphic.
  std::function<void()> OnChange;

  static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                 TGraphicFactory Factory);
  static void UnregisterFileFormat(const std::string& Extension);

  // A clipboard format a kind of graphic reads: the loader makes one from the clipboard's
  // content in that format.
  using TClipboardLoader = std::function<std::unique_ptr<TGraphic>(unsigned Format)>;
  static void RegisterClipboardFormat(unsigned Format, TClipboardLoader Loader);
  static void UnregisterClipboardFormat(unsigned Format);
  static bool SupportsClipboardFormat(unsigned Format);
  // Takes the clipboard's content in Format through the kind registered for it. Raises
  // EInvalidGraphic for a format none reads (the picture keeps what it held).
  void LoadFromClipboardFormat(unsigned Format);

 private:
  void Changed();

  std::unique_ptr<TGraphic> graphic_;
};

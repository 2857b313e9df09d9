// The system clipboard: a picture (CF_BITMAP) and data of named formats, which other
// programs of ours find under the same name.
//
// Formats set between Open and Close go onto the clipboard together, replacing what it
// held; outside Open/Close each Set replaces the content at once.
#pragma once

#include <memory>
#include <string>

class TBitmap;

constexpr unsigned CF_BITMAP = 2;

// The format id of a named format; the same name always gives the same id.
unsigned RegisterClipboardFormat(const std::string& Name);

class TClipboard {
 public:
  TClipboard();
  ~TClipboard();
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;

  void Open();
  void Close();
  void Clear();
  bool HasFormat(unsigned Format) const;
  // The bytes of a registered format; empty when the clipboard has none.
  std::string GetAsBytes(unsigned Format) const;
  void SetAsBytes(unsigned Format, const std::string& Bytes);
  // False when the clipboard holds no picture.
  bool GetBitmap(TBitmap& Bitmap) const;
  void SetBitmap(const TBitmap& Bitmap);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

TClipboard& Clipboard();

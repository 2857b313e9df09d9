// The system clipboard: plain text, a picture (CF_BITMAP) and data of named formats,
// which other programs find under the MIME types of their names.
//
// Formats set between Open and Close go onto the clipboard together at Close, replacing
// what it held; until then the clipboard keeps its old content, and Abort leaves it so.
// Outside Open/Close each Set replaces the content at once.
//
// Text: CF_TEXT takes the program's Windows-1252 text, CF_UNICODETEXT UTF-16 code units
// low byte first (a zero unit ends the text); both are the one plain text of the system
// clipboard (text/plain in UTF-8), so setting one replaces the other. Lines end with
// CR LF in the program's texts and with LF on the clipboard, as other programs expect.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TBitmap;

constexpr unsigned CF_TEXT = 1;
constexpr unsigned CF_BITMAP = 2;
constexpr unsigned CF_UNICODETEXT = 13;

// The format id of a named format; the same name always gives the same id. A name the
// system knows travels under its MIME types ("Rich Text Format": text/rtf and
// application/rtf); any other name under a type of its own.
unsigned RegisterClipboardFormat(const std::string& Name);
// A named format of the program's own that travels under the MIME types given (the first
// is the one read back). Registering a known name again keeps its first types.
unsigned RegisterClipboardFormat(const std::string& Name, std::vector<std::string> MimeTypes);

// What the clipboard holds at one moment, read for one paste: the offered formats are
// asked for once, the bytes of each format at most once. Another program answers each
// request or lets it time out; a request it leaves unanswered ends the offer, so that
// what is asked after gets nothing at once instead of waiting again.
class TClipboardOffer {
 public:
  TClipboardOffer();
  ~TClipboardOffer();
  TClipboardOffer(TClipboardOffer&&) noexcept;
  TClipboardOffer& operator=(TClipboardOffer&&) noexcept;

  bool HasFormat(unsigned Format) const;
  // The bytes of a format; empty when the offer has none.
  std::string GetAsBytes(unsigned Format);
  // False when the offer holds no picture.
  bool GetBitmap(TBitmap& Bitmap);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class TClipboard {
 public:
  TClipboard();
  ~TClipboard();
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;

  void Open();
  // The last Close puts what was set since Open on the clipboard.
  void Close();
  // Closes without touching the clipboard: what was set since Open is dropped.
  void Abort();
  // Between Open and Close: the clipboard will hold only what is set after this.
  // Outside: empties the clipboard now.
  void Clear();
  // What the clipboard offers now (each question below reads a new offer).
  TClipboardOffer Offer() const;
  bool HasFormat(unsigned Format) const;
  // The bytes of a format; empty when the clipboard has none.
  std::string GetAsBytes(unsigned Format) const;
  void SetAsBytes(unsigned Format, const std::string& Bytes);
  // False when the clipboard holds no picture.
  bool GetBitmap(TBitmap& Bitmap) const;
  // Offered to other programs as image/png (and the other picture types of the system).
  void SetBitmap(const TBitmap& Bitmap);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

TClipboard& Clipboard();

// The primary selection (what a middle click pastes), where the system has one: the
// text just selected, as UTF-16 code units low byte first. Elsewhere setting does
// nothing and reading gives "".
void SetPrimarySelection(const std::string& UnicodeText);
std::string PrimarySelection();

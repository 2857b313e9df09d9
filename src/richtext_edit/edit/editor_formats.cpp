#include "richtext_edit/edit/editor_formats.h"

#include "platform/gui/standard/clipboard.h"
#include "richtext/formats/rd_transfer.h"

unsigned RichDocClipboardFormat() {
  static const unsigned format = RegisterClipboardFormat("RichDoc Format", {kRichDocMimeType});
  return format;
}

unsigned RichTextClipboardFormat() {
  static const unsigned format = RegisterClipboardFormat("Rich Text Format");
  return format;
}

unsigned HtmlClipboardFormat() {
  static const unsigned format = RegisterClipboardFormat("HTML Format", {"text/html"});
  return format;
}

TRDDragDropFormats DragDropFormatOf(const std::string& format) {
  if (format == kRichDocMimeType) return rdddRDF;
  if (format == "text/rtf" || format == "application/rtf") return rdddRTF;
  // Text arrives in Unicode (UTF-8); either text format takes it.
  if (format == "text/plain" || format == "text/plain;charset=utf-8")
    return rdddText | rdddUnicodeText;
  if (format.rfind("image/", 0) == 0) return rdddBitmap;
  // Local files and links to elsewhere come in one list.
  if (format == kUriListFormat) return rdddFiles | rdddURL;
  return 0;
}

TRDOleDropEffect RDDropEffectOf(TDropEffects effect) {
  if (effect & deMove) return rddeMove;
  if (effect & deCopy) return rddeCopy;
  if (effect & deLink) return rddeLink;
  return rddeNone;
}

TDropEffect DropEffectOf(TRDOleDropEffect effect) {
  switch (effect) {
    case rddeCopy:
      return deCopy;
    case rddeMove:
      return deMove;
    case rddeLink:
      return deLink;
    default:
      return deNone;
  }
}

TRDOleDropEffects RDDropEffectsOf(TDropEffects effects) {
  TRDOleDropEffects result = 0;
  for (TRDOleDropEffect effect : {rddeCopy, rddeMove, rddeLink})
    if (effects & DropEffectOf(effect)) result |= TRDOleDropEffects(1u << effect);
  return result;
}

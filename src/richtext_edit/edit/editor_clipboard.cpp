// Pasting into the editor: the richest format on the clipboard that reads wins - the
// viewers' own block, then RTF, then text, then a picture - and goes in through the
// editor's insertion operations, so as one undo step. A document that fails to read is
// taken back whole before the next format is tried. The system clipboard has no
// metafiles; pictures come as bitmaps.
#include <memory>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/view/rd_clipboard.h"
#include "richtext/view/rtf_read_properties.h"
#include "richtext_edit/edit/editor_formats.h"
#include "richtext_edit/edit/pasted_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

// The offer's text as UTF-16 up to its first NUL.
std::string ClipboardText(TClipboardOffer& offer) {
  std::string text = offer.GetAsBytes(CF_UNICODETEXT);
  text.resize(text.size() & ~std::size_t(1));
  for (std::size_t i = 0; i < text.size(); i += 2)
    if (text[i] == '\0' && text[i + 1] == '\0') {
      text.resize(i);
      break;
    }
  return text;
}

}  // namespace

bool TCustomRichDocEdit::CanPaste() {
  const TClipboardOffer offer = Clipboard().Offer();
  return offer.HasFormat(CF_TEXT) || offer.HasFormat(CF_UNICODETEXT) ||
         offer.HasFormat(CF_BITMAP) || offer.HasFormat(RichTextClipboardFormat()) ||
         offer.HasFormat(RichDocClipboardFormat());
}

bool TCustomRichDocEdit::CanPasteFormat(unsigned Format) {
  if (GetReadOnly()) return false;
  if (Format == 0) return CanPaste();
  if (Format == CF_TEXT || Format == CF_UNICODETEXT || Format == CF_BITMAP ||
      Format == RichTextClipboardFormat() || Format == RichDocClipboardFormat())
    return Clipboard().HasFormat(Format);
  return false;
}

void TCustomRichDocEdit::Paste() {
  if (!BeforeChange(false)) return;
  TCustomRichDocEdit& root = RootEditor();
  if (root.OnPaste) {
    bool doDefault = true;
    root.OnPaste(&root, doDefault);
    if (!doDefault) return;
  }
  // One offer for the whole paste: another program is asked once for each thing, and a
  // request it leaves unanswered ends the paste instead of each question waiting again.
  TClipboardOffer offer = Clipboard().Offer();
  if (offer.HasFormat(RichDocClipboardFormat()) && PasteRDFFrom(offer)) return;
  if (offer.HasFormat(RichTextClipboardFormat()) && PasteRTFFrom(offer)) return;
  if (offer.HasFormat(CF_UNICODETEXT)) {
    TRDEditRDData& data = ActiveEditor().EditData();
    PasteTextFrom(offer, data.IsUnicodeTextStyle(data.CurTextStyleNo, data.CurParaStyleNo) ||
                             !offer.HasFormat(CF_TEXT));
  } else if (offer.HasFormat(CF_TEXT)) {
    PasteTextFrom(offer, false);
  } else if (offer.HasFormat(CF_BITMAP)) {
    PasteBitmapFrom(offer, false);
  }
}

bool TCustomRichDocEdit::PasteRDF() {
  TClipboardOffer offer = Clipboard().Offer();
  return PasteRDFFrom(offer);
}

bool TCustomRichDocEdit::PasteRDFFrom(TClipboardOffer& Offer) {
  std::string document;
  if (!RichDocBlockDocument(Offer.GetAsBytes(RichDocClipboardFormat()), document)) {
    EditData().Beep();
    return false;
  }
  TMemoryStream stream;
  stream.WriteBuffer(document.data(), int64_t(document.size()));
  stream.SetPosition(0);
  return InsertWholeOrNothing(*this, [&] { return InsertRDFStreamAtCaret(stream); });
}

bool TCustomRichDocEdit::PasteRTF() {
  TClipboardOffer offer = Clipboard().Offer();
  return PasteRTFFrom(offer);
}

bool TCustomRichDocEdit::PasteRTFFrom(TClipboardOffer& Offer) {
  if (!Offer.HasFormat(RichTextClipboardFormat())) return false;
  const std::string rtf = Offer.GetAsBytes(RichTextClipboardFormat());
  if (rtf.empty()) return false;
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  // Pictures the RTF names by relative paths lie beside the page it was copied from.
  TRDRTFReaderProperties& properties = ActiveEditor().RTFReadProperties();
  properties.BasePath = Offer.HasFormat(HtmlClipboardFormat())
                            ? HtmlSourceBasePath(Offer.GetAsBytes(HtmlClipboardFormat()))
                            : std::string();
  struct TClearBasePath {
    TRDRTFReaderProperties& properties;
    ~TClearBasePath() { properties.BasePath.clear(); }
  } clear{properties};
  return InsertWholeOrNothing(*this, [&] { return InsertRTFStreamAtCaret(stream); });
}

bool TCustomRichDocEdit::PasteText() {
  TClipboardOffer offer = Clipboard().Offer();
  return PasteTextFrom(offer, false);
}

bool TCustomRichDocEdit::PasteTextW() {
  TClipboardOffer offer = Clipboard().Offer();
  return PasteTextFrom(offer, true);
}

bool TCustomRichDocEdit::PasteTextFrom(TClipboardOffer& Offer, bool Unicode) {
  if (Unicode) return InsertTextW(ClipboardText(Offer));
  // The system's one text is Unicode: it goes in in the current style's code page, so
  // that what the page has survives.
  TRDEditRDData& data = ActiveEditor().EditData();
  return InsertText(
      RawUnicodeToAnsi(data.GetStyleCodePage(data.GetCurrentTextStyleNo()), ClipboardText(Offer)),
      false);
}

bool TCustomRichDocEdit::PasteBitmap(bool TextAsName) {
  TClipboardOffer offer = Clipboard().Offer();
  return PasteBitmapFrom(offer, TextAsName);
}

bool TCustomRichDocEdit::PasteBitmapFrom(TClipboardOffer& Offer, bool TextAsName) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->PasteBitmapFrom(Offer, TextAsName);
  if (!BeforeChange(false)) return false;
  auto bitmap = std::make_unique<TBitmap>();
  if (!Offer.GetBitmap(*bitmap) || bitmap->Empty()) return false;
  std::string name;
  if (TextAsName && Offer.HasFormat(CF_TEXT)) {
    name = Offer.GetAsBytes(CF_TEXT);
    name = name.substr(0, name.find('\0'));
  }
  return InsertPicture(name, std::move(bitmap), rdvaBaseline);
}

bool TCustomRichDocEdit::CutToClipboard() {
  TCustomRichDocEdit& editor = ActiveEditor();
  if (!editor.BeforeChange(false)) return false;
  if (!CopySelectionToClipboard(editor.RDData(), editor.BackgroundColor(), &editor.Background()))
    return false;
  return editor.DeleteSelection();
}

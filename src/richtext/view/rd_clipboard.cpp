// Copying the selection to the clipboard in every format the options ask for. Each
// format is rendered first; only when all are ready does the clipboard change, in one
// go, so that a failure leaves the user's clipboard as it was.
#include "richtext/view/rd_clipboard.h"

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/clipboard.h"
#include "richtext/formats/rd_transfer.h"
#include "richtext/formats/text_export.h"
#include "richtext/layout/formatted_data.h"

namespace {

// One format the selection can be copied in.
struct TRDCopyFormat {
  // Any of these options asks for it.
  TRDOptions Options;
  unsigned (*Format)();
  std::string (*Render)(TCustomRDFormattedData& data, TColor color, TRDBackground* background);
};

// Plain text: the system clipboard has one text, in Unicode, which loses nothing of a
// document in several code pages; so both text options copy the Unicode text.
std::string RenderText(TCustomRDFormattedData& data, TColor, TRDBackground*) {
  return SelectedText(data, true) + std::string(2, '\0');
}

// The viewers' own format, for pasting into a viewer or editor with every style.
unsigned RichDocFormat() {
  static const unsigned format = RegisterClipboardFormat("RichDoc Format", {kRichDocMimeType});
  return format;
}

std::string RenderRichDoc(TCustomRDFormattedData& data, TColor color, TRDBackground* background) {
  return SelectionAsRichDoc(data, color, background, nullptr);
}

unsigned RichTextFormat() {
  static const unsigned format = RegisterClipboardFormat("Rich Text Format");
  return format;
}

std::string RenderRTF(TCustomRDFormattedData& data, TColor color, TRDBackground*) {
  return SelectionAsRTF(data, color);
}

const TRDCopyFormat kCopyFormats[] = {
    {rdoAutoCopyRDF, RichDocFormat, RenderRichDoc},
    {rdoAutoCopyText | rdoAutoCopyUnicodeText, [] { return CF_UNICODETEXT; }, RenderText},
    {rdoAutoCopyRTF, RichTextFormat, RenderRTF},
};

constexpr TRDOptions kAnyCopyOption =
    rdoAutoCopyText | rdoAutoCopyUnicodeText | rdoAutoCopyRDF | rdoAutoCopyImage | rdoAutoCopyRTF;

}  // namespace

bool CopySelectionToClipboard(TCustomRDFormattedData& data, TColor color,
                              TRDBackground* background) {
  const TRDOptions options = data.GetOptions();
  if ((!(options & kAnyCopyOption) && !data.IsCopyEventAssigned()) || !data.HasSelectionOrPartial())
    return false;
  struct Rendered {
    unsigned format;
    std::string bytes;
  };
  std::vector<Rendered> rendered;
  for (const TRDCopyFormat& format : kCopyFormats) {
    if (!(options & format.Options)) continue;
    // A writer that had nothing to write (RTF without a style sheet) offers no format.
    std::string bytes = format.Render(data, color, background);
    if (!bytes.empty()) rendered.push_back({format.Format(), std::move(bytes)});
  }
  std::unique_ptr<TBitmap> picture;
  if (options & rdoAutoCopyImage)
    if (const TGraphic* selected = data.GetSelectedPicture(); selected && !selected->Empty())
      picture = PictureAsBitmap(*selected);
  TClipboard& clipboard = Clipboard();
  clipboard.Open();
  try {
    clipboard.Clear();
    data.DoCopy();
    for (const Rendered& r : rendered) clipboard.SetAsBytes(r.format, r.bytes);
    if (picture) clipboard.SetBitmap(*picture);
  } catch (...) {
    clipboard.Abort();
    throw;
  }
  clipboard.Close();
  return true;
}

void OfferSelectionAsPrimary(TCustomRDFormattedData& root) {
  // Text selected in a table's cell and cells of a table count as they do for a copy; a
  // click that selected nothing keeps what another program may have offered meanwhile.
  TCustomRDFormattedData& data = SelectionHolder(root);
  if (!data.HasSelectionOrPartial()) return;
  const std::string text = SelectedText(data, true);
  if (!text.empty()) SetPrimarySelection(text);
}

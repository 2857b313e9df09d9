#include "richtext/formats/text_export.h"

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/layout/export_range.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rdf_routines.h"

namespace {

constexpr int kSelTextLineWidth = 80;

// The item's text in the output's encoding; text in a picture font as the characters it
// shows.
std::string ItemText(TCustomRDData& data, int i, int from, int to, bool textOnly, bool unicode,
                     int lineWidth) {
  const TCustomRDItemInfo& item = *data.GetItem(i);
  if (item.StyleNo < 0) {
    if (textOnly) return "";
    return unicode ? item.AsUnicodeText(lineWidth, &data) : item.AsText(lineWidth, &data);
  }
  const std::string& s = data.GetItemTextRaw(i);
  const int length = GetItemTextLength(s, item.ItemOptions);
  from = std::max(from, 1);
  to = std::min(to, length + 1);
  std::string text = from == 1 && to == length + 1
                         ? s
                         : CopyItemText(s, from, std::max(to - from, 0), item.ItemOptions);
  const int codePage = data.GetStyleCodePage(data.GetActualStyle(item));
  if (std::optional<std::string> shown = ExportedSymbolText(data, i, text))
    return unicode ? *shown : RawUnicodeToAnsi(codePage, *shown);
  const bool itemUnicode = IsUnicodeItem(item.ItemOptions);
  if (itemUnicode == unicode) return text;
  return unicode ? AnsiToRawUnicode(codePage, text) : RawUnicodeToAnsi(codePage, text);
}

}  // namespace

bool SaveTextToStream(TCustomRDData& data, TStream& stream, int lineWidth, bool selectionOnly,
                      bool textOnly, bool unicode, bool unicodeWriteSignature) {
  TRDFRange range;
  if (!GetSaveRange(data, selectionOnly, range)) return true;
  if (unicode && unicodeWriteSignature) StreamWriteString(stream, "\xFF\xFE");
  const std::string lineBreak = unicode ? std::string("\r\0\n\0", 4) : std::string("\r\n");
  const TRDExportHooks& hooks = data.GetAbsoluteRootData()->ExportHooks;
  if (selectionOnly && range.StartItem > 0 &&
      data.GetItem(range.StartItem - 1)->StyleNo == rdsListMarker)
    StreamWriteString(stream,
                      ItemText(data, range.StartItem - 1, 0, 0, textOnly, unicode, lineWidth));
  for (int i = range.StartItem; i <= range.EndItem; ++i) {
    if (i > range.StartItem && !data.GetItem(i)->GetContinuesPara())
      StreamWriteString(stream, lineBreak);
    const int from = i == range.StartItem ? range.StartOffs : 1;
    const int to = i == range.EndItem ? range.EndOffs : 0x7FFFFFFF;
    const bool wholeNonText =
        data.GetItem(i)->StyleNo >= 0 || ((i != range.StartItem || range.StartOffs == 0) &&
                                          (i != range.EndItem || range.EndOffs >= 1));
    if (!wholeNonText) continue;
    // An item holding the selection inside it gives the text of its selected part.
    std::string own;
    if (data.GetItem(i)->StyleNo >= 0 && hooks.OnSaveItemToFile &&
        hooks.OnSaveItemToFile(&data, i, rdsfText, unicode, own))
      StreamWriteString(stream, own);
    else if (const std::unique_ptr<TCustomRDItemInfo> part = SelectedPartOf(data, i, selectionOnly);
             part && !textOnly)
      StreamWriteString(
          stream, unicode ? part->AsUnicodeText(lineWidth, &data) : part->AsText(lineWidth, &data));
    else
      StreamWriteString(stream, ItemText(data, i, from, to, textOnly, unicode, lineWidth));
  }
  return true;
}

bool SaveTextToStreamUTF8(TCustomRDData& data, TStream& stream, int lineWidth, bool selectionOnly,
                          bool textOnly) {
  TMemoryStream utf16;
  SaveTextToStream(data, utf16, lineWidth, selectionOnly, textOnly, true, false);
  StreamWriteString(stream, RawUnicodeToUTF8(std::string_view(
                                static_cast<const char*>(utf16.Memory()), size_t(utf16.Size()))));
  return true;
}

std::string SelectedText(TCustomRDData& data, bool unicode) {
  TMemoryStream stream;
  SaveTextToStream(data, stream, kSelTextLineWidth, true, false, unicode, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// The part of a document a writer puts out: the whole document or the selection, as
// first and last item with character offsets (text items 1-based, the offset after the
// last character one past it; other items 0 before and 1 after).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TCustomRDData;
class TCustomRDItemInfo;

struct TRDExportRange {
  int StartItem = 0;
  int StartOffs = 0;
  int EndItem = -1;
  int EndOffs = 0;
  bool Empty() const { return EndItem < StartItem; }
};

TRDExportRange GetExportRange(const TCustomRDData& data, bool selectionOnly);
// Whether a non-text item at an end of the range lies inside it (a selection may end just
// before or begin just after it).
bool ExportIncludesItem(const TCustomRDData& data, int itemNo, const TRDExportRange& range);
// The text of text item itemNo inside the range: cut at the offsets in the first and the
// last item (a cut text is kept in storage; the view refers to it or to the item's text).
std::string_view ExportItemText(const TCustomRDData& data, int itemNo, const TRDExportRange& range,
                                std::string& storage);
// Text (the raw text of text item itemNo, or a part of it) as the Unicode characters it
// shows, raw UTF-16, when the item's font is a picture font or OpenSymbol
// (ExportedFontText); none for any other font. Text and HTML carry these characters: their
// readers have no such font. The document and its RTF keep the font's codes.
std::optional<std::string> ExportedSymbolText(const TCustomRDData& data, int itemNo,
                                              std::string_view text);
// What a writer of the selection puts out for item itemNo when that item holds the
// selection inside it (a table's selected cells): its selected part; null otherwise.
std::unique_ptr<TCustomRDItemInfo> SelectedPartOf(const TCustomRDData& data, int itemNo,
                                                  bool selectionOnly);

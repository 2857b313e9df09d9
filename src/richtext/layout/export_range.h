// The part of a document a writer puts out: the whole document or the selection, as
// first and last item with character offsets (text items 1-based, the offset after the
// last character one past it; other items 0 before and 1 after).
#pragma once

#include <memory>
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
// What a writer of the selection puts out for item itemNo when that item holds the
// selection inside it (a table's selected cells): its selected part; null otherwise.
std::unique_ptr<TCustomRDItemInfo> SelectedPartOf(const TCustomRDData& data, int itemNo,
                                                  bool selectionOnly);

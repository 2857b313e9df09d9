#include "richtext/layout/export_range.h"

#include <algorithm>

#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/base/symbol_fonts.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"

TRDExportRange GetExportRange(const TCustomRDData& data, bool selectionOnly) {
  TRDExportRange range;
  if (data.GetItemCount() == 0) return range;
  if (selectionOnly) {
    const auto* formatted = dynamic_cast<const TCustomRDFormattedData*>(&data);
    // An item holding the selection inside it is written whole, as its selected part.
    if (formatted && formatted->GetPartiallySelectedItem()) {
      range.StartItem = range.EndItem = formatted->PartialSelectedItem;
      range.EndOffs = 1;
      return range;
    }
    if (!formatted || !formatted->HasSelection()) return range;
    formatted->GetSelectionBounds(range.StartItem, range.StartOffs, range.EndItem, range.EndOffs,
                                  true);
    if (range.StartItem < 0 || range.EndItem >= data.GetItemCount()) return TRDExportRange();
    return range;
  }
  data.GetOutputRange(range.StartItem, range.StartOffs, range.EndItem, range.EndOffs);
  return range;
}

bool ExportIncludesItem(const TCustomRDData& data, int itemNo, const TRDExportRange& range) {
  if (data.GetItem(itemNo)->StyleNo >= 0) return true;
  if (itemNo == range.StartItem && range.StartOffs >= 1 && range.StartItem != range.EndItem)
    return false;
  if (itemNo == range.EndItem && range.EndOffs < 1 && range.StartItem != range.EndItem)
    return false;
  if (range.StartItem == range.EndItem && itemNo == range.StartItem)
    return range.StartOffs < 1 && range.EndOffs >= 1;
  return true;
}

std::string_view ExportItemText(const TCustomRDData& data, int itemNo, const TRDExportRange& range,
                                std::string& storage) {
  const std::string& text = data.GetItemTextRaw(itemNo);
  if (itemNo != range.StartItem && itemNo != range.EndItem) return text;
  const TRDItemOptions options = data.GetItemOptions(itemNo);
  const int length = GetItemTextLength(text, options);
  int first = itemNo == range.StartItem ? range.StartOffs : 1;
  int last = itemNo == range.EndItem ? range.EndOffs - 1 : length;
  if (first <= 1 && last >= length) return text;
  first = std::max(first, 1);
  storage = last < first ? std::string() : CopyItemText(text, first, last - first + 1, options);
  return storage;
}

std::optional<std::string> ExportedSymbolText(const TCustomRDData& data, int itemNo,
                                              std::string_view text) {
  const TRDStyle* rdStyle = data.GetRDStyle();
  const TCustomRDItemInfo& item = *data.GetItem(itemNo);
  if (!rdStyle || item.StyleNo < 0) return std::nullopt;
  const int styleNo = data.GetActualStyle(item);
  const std::string& fontName = rdStyle->TextStyles().Items(styleNo).FontName;
  if (!IsExportMappedFont(fontName)) return std::nullopt;
  return WideStringToRawUnicode(
      IsUnicodeItem(item.ItemOptions)
          ? ExportedFontText(fontName, RawUnicodeToWideString(text))
          : ExportedFontText(fontName, data.GetStyleCodePage(styleNo), text));
}

std::unique_ptr<TCustomRDItemInfo> SelectedPartOf(const TCustomRDData& data, int itemNo,
                                                  bool selectionOnly) {
  const auto* formatted = dynamic_cast<const TCustomRDFormattedData*>(&data);
  if (!selectionOnly || !formatted || formatted->PartialSelectedItem != itemNo) return nullptr;
  const TCustomRDItemInfo* item = formatted->GetPartiallySelectedItem();
  return item ? item->CreateSelectedPart() : nullptr;
}

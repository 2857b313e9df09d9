// What the tests of numbered paragraphs read back from a document: every marker with the
// text after it, in document order (table cells included), and whether the document's
// marker list holds exactly those markers in that order.
#pragma once

#include <string>
#include <vector>

#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/marker_list.h"
#include "richtext/model/rd_data.h"

// "text=number" for every marker, separated by blanks.
inline std::string MarkerNumbering(TCustomRDData& document) {
  std::string out;
  document.EnumItems([&out](TCustomRDData& data, int itemNo, bool&) {
    auto* marker = dynamic_cast<TRDMarkerItemInfo*>(data.GetItem(itemNo));
    if (!marker) return;
    if (!out.empty()) out += ' ';
    out += (itemNo + 1 < data.GetItemCount() ? data.GetItemTextRaw(itemNo + 1) : "") + "=" +
           marker->DisplayString;
  });
  return out;
}

inline bool MarkersListedInOrder(TCustomRDData& document) {
  std::vector<TRDMarkerItemInfo*> markers;
  document.EnumItems([&markers](TCustomRDData& data, int itemNo, bool&) {
    if (data.GetItem(itemNo)->StyleNo == rdsListMarker)
      markers.push_back(dynamic_cast<TRDMarkerItemInfo*>(data.GetItem(itemNo)));
  });
  TRDMarkerList* list = document.GetMarkers(false);
  if (!list) return markers.empty();
  if (list->Count() != int(markers.size())) return false;
  for (int i = 0; i < list->Count(); ++i)
    if (list->Items(i) != markers[size_t(i)] || markers[size_t(i)]->GetIndexInList(list) != i)
      return false;
  return true;
}

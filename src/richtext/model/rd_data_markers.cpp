// The document data's list markers: kept by the root data in document order (markers in
// table cells included), renumbered from the place where one came or went.
#include <algorithm>

#include "richtext/model/item_kinds.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/marker_list.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"

namespace {

TRDMarkerItemInfo* AsMarker(TCustomRDItemInfo* item) {
  return item && item->StyleNo == rdsListMarker ? dynamic_cast<TRDMarkerItemInfo*>(item) : nullptr;
}

bool IsListed(TRDMarkerItemInfo& marker, TRDMarkerList& list) {
  return marker.IndexInList >= 0 && marker.GetIndexInList(&list) >= 0;
}

TRDMarkerItemInfo* LastMarkerOf(TCustomRDData& sub, TRDMarkerList& list);

// The last listed marker of data up to item last (descending into documents held by
// items). Markers not listed yet are passed over: when several come back at once (rows
// restored by undo), each still finds its place among those already in.
TRDMarkerItemInfo* LastMarkerUpTo(TCustomRDData& data, int last, TRDMarkerList& list) {
  for (int i = last; i >= 0; --i) {
    TCustomRDItemInfo* item = data.GetItem(i);
    for (int d = item->GetSubDocCount() - 1; d >= 0; --d)
      if (TCustomRDData* sub = item->GetSubDoc(d))
        if (TRDMarkerItemInfo* marker = LastMarkerOf(*sub, list)) return marker;
    if (TRDMarkerItemInfo* marker = AsMarker(item); marker && IsListed(*marker, list))
      return marker;
  }
  return nullptr;
}

// Whether data stands in its root document: every document on the way up is held by an
// item that is in its own document (a cell editor's document stands where its cell
// does). The cells of a table still being read or built, or kept by an undo record, are
// not: their markers wait until the table is placed.
bool IsPlaced(TCustomRDData& data) {
  for (TCustomRDData* d = data.GetInplaceSourceData();;) {
    TCustomRDData* parent = d->GetAbsoluteParentData();
    if (!parent) return true;
    if (d->GetParentItemNo() < 0) return false;
    d = parent->GetInplaceSourceData();
  }
}

// The last listed marker of a sub-document, read where its items are (in the cell
// editor while one holds them).
TRDMarkerItemInfo* LastMarkerOf(TCustomRDData& sub, TRDMarkerList& list) {
  TCustomRDData& shown = *sub.GetInplaceEditorData();
  return LastMarkerUpTo(shown, shown.GetItemCount() - 1, list);
}

// The listed marker in document order before item itemNo of data, looking up through the
// documents that hold data: first the documents of the same holding item before data
// (the earlier cells of a table), then the items before the holding one.
TRDMarkerItemInfo* MarkerBefore(TCustomRDData& data, int itemNo, TRDMarkerList& list) {
  for (TCustomRDData* d = &data; d;) {
    if (TRDMarkerItemInfo* marker = LastMarkerUpTo(*d, itemNo - 1, list)) return marker;
    TCustomRDData* source = d->GetInplaceSourceData();
    TCustomRDData* parent = source->GetAbsoluteParentData();
    itemNo = source->GetParentItemNo();
    if (parent && itemNo >= 0 && itemNo < parent->GetItemCount()) {
      const TCustomRDItemInfo* holder = parent->GetItem(itemNo);
      int k = holder->GetSubDocCount() - 1;
      while (k >= 0 && holder->GetSubDoc(k) != source) --k;
      for (--k; k >= 0; --k)
        if (TCustomRDData* sub = holder->GetSubDoc(k))
          if (TRDMarkerItemInfo* marker = LastMarkerOf(*sub, list)) return marker;
    }
    d = parent ? parent->GetInplaceEditorData() : nullptr;
  }
  return nullptr;
}

}  // namespace

TRDMarkerList* TCustomRDData::GetMarkers(bool createIfNone) {
  if (TCustomRDData* root = GetAbsoluteRootData(); root != this)
    return root->GetMarkers(createIfNone);
  if (!keeps_marker_list_) return nullptr;
  if (!markers_ && createIfNone) markers_ = std::make_unique<TRDMarkerList>();
  return markers_.get();
}

void TCustomRDData::AddMarkerToList(int itemNo) {
  if (itemNo < 0 || itemNo >= GetItemCount()) return;
  TRDMarkerItemInfo* marker = AsMarker(GetItem(itemNo));
  if (!marker || !IsPlaced(*this)) return;
  TRDMarkerList* list = GetMarkers(true);
  if (!list) return;
  // A marker that was never listed says so itself, which spares a search per marker
  // when a long document is appended.
  if (marker->IndexInList >= 0 && marker->GetIndexInList(list) >= 0) return;
  // Appending to the root document: the marker comes after every listed one.
  TRDMarkerItemInfo* prev = nullptr;
  if (itemNo == GetItemCount() - 1 && GetAbsoluteRootData() == this)
    prev = list->Count() > 0 ? list->Items(list->Count() - 1) : nullptr;
  else
    prev = MarkerBefore(*this, itemNo, *list);
  const int index = list->InsertAfter(marker, prev);
  if (TRDStyle* rdStyle = GetRDStyle()) list->RecalcCounters(index, *rdStyle);
}

void TCustomRDData::RemoveMarkerFromList(int itemNo) {
  if (itemNo < 0 || itemNo >= GetItemCount()) return;
  TRDMarkerItemInfo* marker = AsMarker(GetItem(itemNo));
  TRDMarkerList* list = GetMarkers(false);
  if (!marker || !list) return;
  const int index = marker->GetIndexInList(list);
  if (index < 0) return;
  list->Delete(index);
  if (list->Count() == 0) {
    GetAbsoluteRootData()->markers_.reset();
    return;
  }
  // The markers of the same list after the one that went count again.
  for (int i = index; i < list->Count(); ++i)
    if (list->Items(i)->ListNo == marker->ListNo) {
      if (TRDStyle* rdStyle = GetRDStyle()) list->RecalcCounters(i, *rdStyle);
      break;
    }
}

void TCustomRDData::RenumberMarkersFrom(int itemNo, bool createList) {
  if (itemNo < 0 || itemNo >= GetItemCount()) return;
  TRDMarkerItemInfo* marker = AsMarker(GetItem(itemNo));
  TRDMarkerList* list = GetMarkers(createList);
  if (!marker || !list) return;
  const int index = marker->GetIndexInList(list);
  if (index < 0) {
    if (createList) AddMarkerToList(itemNo);
    return;
  }
  if (TRDStyle* rdStyle = GetRDStyle()) list->RecalcCounters(index, *rdStyle);
}

int TCustomRDData::FindLastMarkerOfLists(int markerIndex, const std::vector<int>& listNos) {
  TRDMarkerList* list = GetMarkers(false);
  if (!list) return -1;
  for (int i = list->Count() - 1; i > markerIndex && i >= 0; --i)
    if (std::find(listNos.begin(), listNos.end(), list->Items(i)->ListNo) != listNos.end())
      return i;
  return -1;
}

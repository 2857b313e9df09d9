// List numbering after an edit. The marker list counts again by itself whenever a
// marker comes or goes; what an edit must do is lay out again the paragraphs whose
// numbers it changed, which run from the edit up to the last marker of the lists it
// touched, and leave a record so that undo and redo lay them out too.
#include <algorithm>

#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/marker_list.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"

namespace {

bool HoldsItem(const TCustomRDItemInfo& item, const TCustomRDItemInfo* wanted) {
  if (&item == wanted) return true;
  for (int d = 0; d < item.GetSubDocCount(); ++d)
    if (TCustomRDData* sub = item.GetSubDoc(d))
      for (int i = 0; i < sub->GetItemCount(); ++i)
        if (HoldsItem(*sub->GetItem(i), wanted)) return true;
  return false;
}

// The item, from first on, that is the wanted one or holds it in a document of its own;
// -1 when none does.
int FindItemFrom(const TCustomRDData& data, int first, const TCustomRDItemInfo* wanted) {
  for (int i = std::max(first, 0); i < data.GetItemCount(); ++i)
    if (HoldsItem(*data.GetItem(i), wanted)) return i;
  return -1;
}

}  // namespace

void TRDEditRDData::CollectListsInRange(int first, int last, std::vector<int>& listNos,
                                        int& markerIndex, int& newLastItemNo, bool indexBefore) {
  listNos.clear();
  markerIndex = -1;
  newLastItemNo = last;
  TRDMarkerList* markers = GetMarkers(false);
  const TRDStyle* style = GetRDStyle();
  if (!markers || !style || first < 0 || GetItemCount() == 0) return;
  ClampItemNo(first);
  ClampItemNo(last);
  ExpandRangeToParas(first, last, first, newLastItemNo);
  bool found = false;
  for (int i = first; i <= newLastItemNo; ++i) {
    if (GetItem(i)->StyleNo != rdsListMarker) continue;
    auto* marker = dynamic_cast<TRDMarkerItemInfo*>(GetItem(i));
    if (!marker || marker->ListNo < 0 || marker->ListNo >= style->ListStyles().Count() ||
        !style->ListStyles().Items(marker->ListNo).HasTextNumberedLevels())
      continue;
    if (std::find(listNos.begin(), listNos.end(), marker->ListNo) == listNos.end())
      listNos.push_back(marker->ListNo);
    if (!indexBefore || !found) markerIndex = marker->GetIndexInList(markers);
    found = true;
  }
  if (indexBefore && found) --markerIndex;
}

void TRDEditRDData::RenumberListsFrom(int afterItemNo, int markerIndex, int listNo,
                                      const std::vector<int>* listNos) {
  if ((!listNos && listNo < 0) || !GetMarkers(false)) return;
  const std::vector<int> single{listNo};
  if (!listNos) listNos = &single;
  if (listNos->empty()) return;
  const int index = FindLastMarkerOfLists(markerIndex, *listNos);
  if (index < 0) return;
  const TCustomRDItemInfo* marker = GetMarkers(false)->Items(index);
  const int caretItem = GetCurrentItemNo(), caretOffs = GetOffsetInCurrentItem();
  const int itemNo = FindItemFrom(*this, afterItemNo + 1, marker);
  if (itemNo >= 0 && DrawItems.Count() > 0) {
    int first, last;
    ExpandRangeToParas(std::min(afterItemNo + 1, itemNo), itemNo, first, last);
    AddReformatRangeRecord(first, last, false);
    FormatParas(GetItem(first)->DrawItemNo, GetItemEndDrawItem(last), 0);
  } else {
    // The marker is in another document of the root (a table cell's, or the root's own).
    AddReformatRangeRecord(0, GetItemCount() - 1, true);
    if (auto* root = dynamic_cast<TRDEditRDData*>(GetAbsoluteRootData()))
      root->FormatWhole();
    else
      FormatWhole();
  }
  // Lines may have wrapped anew: the caret stops are found again.
  if (caretItem >= 0 && caretItem < GetItemCount()) {
    int d, dOffs;
    ItemToDrawItem(caretItem, caretOffs, d, dOffs);
    if (d >= 0) {
      PlaceCaretInDrawItem(d, dOffs);
      ShowCaret(false, false, true, false);
    }
  }
}

void TRDEditRDData::RenumberListsInRange(int first, int last) {
  std::vector<int> listNos;
  int markerIndex, newLast;
  CollectListsInRange(first, last, listNos, markerIndex, newLast, false);
  if (!listNos.empty()) RenumberListsFrom(newLast, markerIndex, -1, &listNos);
}

// Keyboard focus on the items of a viewer's document: Tab moves it from link to link
// (and to the controls in the text that take the focus), Enter follows the focused
// link, and the paint draws a dotted frame around it.
#include <algorithm>
#include <functional>

#include "platform/gui/controls/controls.h"
#include "richtext/model/control_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc_data.h"

namespace {

bool FocusableInDoc(TCustomRDData& doc, bool forward, TRDStyle* style, TCustomRDData*& foundData,
                    int& foundItemNo);

// Whether the item takes the focus or holds a document with an item that does; that
// item is found.
bool FocusableIn(TCustomRDData& data, int itemNo, bool forward, TRDStyle* style,
                 TCustomRDData*& foundData, int& foundItemNo) {
  const TCustomRDItemInfo* item = data.GetItem(itemNo);
  if (item->QueryItemFlagEx(2, style)) {
    foundData = &data;
    foundItemNo = itemNo;
    return true;
  }
  const int docs = item->GetSubDocCount();
  for (int k = 0; k < docs; ++k) {
    TCustomRDData* sub = item->GetSubDoc(forward ? k : docs - 1 - k);
    if (sub && FocusableInDoc(*sub, forward, style, foundData, foundItemNo)) return true;
  }
  return false;
}

bool FocusableInDoc(TCustomRDData& doc, bool forward, TRDStyle* style, TCustomRDData*& foundData,
                    int& foundItemNo) {
  const int count = doc.GetItemCount();
  for (int i = 0; i < count; ++i)
    if (FocusableIn(doc, forward ? i : count - 1 - i, forward, style, foundData, foundItemNo))
      return true;
  return false;
}

// The focusable item after (before) itemNo of data, a document inside top: in data
// itself, then in the documents after data in the item holding it (a table's later
// cells), and so on outwards; the top-level items of top are not searched.
bool FocusableAfterInside(TCustomRDData& top, TCustomRDData* data, int itemNo, bool forward,
                          TRDStyle* style, TCustomRDData*& foundData, int& foundItemNo) {
  const int step = forward ? 1 : -1;
  while (data && data != &top) {
    for (int i = itemNo + step; i >= 0 && i < data->GetItemCount(); i += step)
      if (FocusableIn(*data, i, forward, style, foundData, foundItemNo)) return true;
    TCustomRDData* source = data->GetInplaceSourceData();
    TCustomRDData* parent = data->GetAbsoluteParentData();
    itemNo = source->GetParentItemNo();
    if (!parent || itemNo < 0 || itemNo >= parent->GetItemCount()) return false;
    const TCustomRDItemInfo* holder = parent->GetItem(itemNo);
    const int docs = holder->GetSubDocCount();
    int k = 0;
    while (k < docs && holder->GetSubDoc(k) != source) ++k;
    if (k < docs)
      for (int j = k + step; j >= 0 && j < docs; j += step)
        if (TCustomRDData* sub = holder->GetSubDoc(j);
            sub && FocusableInDoc(*sub, forward, style, foundData, foundItemNo))
          return true;
    data = parent;
  }
  return false;
}

// The next (forward) or previous top-level item of data after (before) itemNo that takes
// the keyboard focus or holds a document with one (-1 starts at the end it goes from);
// -1 when there is none. foundData and foundItemNo name the item that takes it.
int FindFocusableItem(TCustomRDData& data, int itemNo, bool forward, TCustomRDData*& foundData,
                      int& foundItemNo) {
  const int count = data.GetItemCount();
  const int step = forward ? 1 : -1;
  for (int i = itemNo < 0 ? (forward ? 0 : count - 1) : itemNo + step; i >= 0 && i < count;
       i += step)
    if (FocusableIn(data, i, forward, data.GetRDStyle(), foundData, foundItemNo)) return i;
  foundData = nullptr;
  foundItemNo = -1;
  return -1;
}

}  // namespace

void TRDControlData::SetFocusedItem(int itemNo, TCustomRDData* data) {
  if (itemNo != FocusedItemNo || data != FocusedItemData) InvalidateControl();
  FocusedItemNo = itemNo;
  FocusedItemData = data;
}

void TRDControlData::ClearItemFocus() {
  SetFocusedItem(-1, nullptr);
}

bool TRDControlData::MoveFocus(bool forward) {
  // The search goes on after the focused item inside the top-level item that holds it,
  // then after that top-level item.
  int from = -1;
  for (TCustomRDData* d = FocusedItemData; d; d = d->GetAbsoluteParentData())
    if (d->GetAbsoluteParentData() == this) {
      from = d->GetInplaceSourceData()->GetParentItemNo();
      break;
    }
  if (FocusedItemData == this && FocusedItemNo < GetItemCount()) from = FocusedItemNo;
  TCustomRDData* data = nullptr;
  int itemNo = -1;
  const int top = from >= 0 && FocusableAfterInside(*this, FocusedItemData, FocusedItemNo, forward,
                                                    GetRDStyle(), data, itemNo)
                      ? from
                      : FindFocusableItem(*this, from, forward, data, itemNo);
  if (top < 0) {
    ClearItemFocus();
    return false;
  }
  SetFocusedItem(itemNo, data);
  // A control in the text takes the focus itself; for a link it is the window's.
  TWinControl* window = nullptr;
  if (auto* control = dynamic_cast<TRDControlItemInfo*>(data->GetItem(itemNo)))
    window = dynamic_cast<TWinControl*>(control->Control.get());
  if (!window) window = GetParentControl();
  if (window && !window->Focused()) window->SetFocus();
  int left, y;
  if (GetItemCoords(top, left, y)) {
    const TRDDrawLineInfo& line = *DrawItems[GetItem(top)->DrawItemNo];
    ScrollToRect(left, y, line.Height, line.Width);
  }
  return true;
}

bool TRDControlData::FocusItemOfFocusedControl() {
  bool found = false;
  std::function<void(TCustomRDData&)> search = [&](TCustomRDData& data) {
    for (int i = 0; !found && i < data.GetItemCount(); ++i) {
      const TCustomRDItemInfo* item = data.GetItem(i);
      if (auto* control = dynamic_cast<const TRDControlItemInfo*>(item))
        if (auto* window = dynamic_cast<TWinControl*>(control->Control.get());
            window && window->Focused()) {
          SetFocusedItem(i, &data);
          found = true;
          return;
        }
      for (int k = 0; !found && k < item->GetSubDocCount(); ++k)
        if (TCustomRDData* sub = item->GetSubDoc(k)) search(*sub->GetInplaceEditorData());
    }
  };
  search(*this);
  return found;
}

bool TRDControlData::ExecuteFocusedItem() {
  if (!FocusedItemData || FocusedItemNo < 0 || FocusedItemNo >= FocusedItemData->GetItemCount())
    return false;
  FocusedItemData->GetItem(FocusedItemNo)->Execute(FocusedItemData);
  return true;
}

void TRDControlData::PaintItemFocus(TRDCanvas& canvas) {
  if (FocusedItemData != this || FocusedItemNo < 0 || FocusedItemNo >= GetItemCount()) return;
  int ox, oy;
  GetOrigin(ox, oy);
  const int dx = ox - GetHOffs(), dy = oy - GetVOffs();
  const TCustomRDItemInfo* item = GetItem(FocusedItemNo);
  if (!item->QueryItemFlagEx(4, GetRDStyle())) return;
  canvas.BrushStyle = bsClear;
  canvas.PenStyle = psDot;
  canvas.PenWidth = 1;
  canvas.PenColor = clWindowText;
  for (int d = std::max(0, item->DrawItemNo);
       d < DrawItems.Count() && DrawItems[d]->ItemNo == FocusedItemNo; ++d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    canvas.Rectangle(line.Left + dx - 1, line.Top + dy - 1, line.Left + line.Width + dx + 1,
                     line.Top + line.Height + dy + 1);
  }
  canvas.PenStyle = psSolid;
}

void TRDControlData::Deselect(bool notify) {
  ClearItemFocus();
  TCustomRDFormattedData::Deselect(notify);
}

void TRDControlData::ClearFormatting() {
  TCustomRDFormattedData::ClearFormatting();
  FocusedItemNo = -1;
  FocusedItemData = nullptr;
}

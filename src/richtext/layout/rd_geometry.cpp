// Where items are drawn, and scrolling a part of the document into view.
#include <algorithm>

#include "richtext/layout/formatted_data.h"

bool TCustomRDFormattedData::GetItemCoords(int itemNo, int& left, int& top) const {
  const int d = itemNo >= 0 && itemNo < GetItemCount() ? GetItem(itemNo)->DrawItemNo : -1;
  if (d < 0 || d >= DrawItems.Count()) return false;
  left = DrawItems[d]->Left;
  top = DrawItems[d]->Top;
  return true;
}

bool TCustomRDFormattedData::GetItemClientCoords(int itemNo, int& left, int& top) const {
  if (!GetItemCoords(itemNo, left, top)) return false;
  int ox, oy;
  GetOrigin(ox, oy);
  left += ox - GetHOffs();
  top += oy - GetVOffs();
  return true;
}

void TCustomRDFormattedData::ScrollToRect(int left, int top, int height, int width) {
  const int visibleWidth = GetWidth(), visibleHeight = GetHeight();
  const int hOffs = GetHOffs();
  if (left < hOffs || left + width > hOffs + visibleWidth)
    HScrollTo(std::max(0, left - visibleWidth / 4));
  const int vOffs = GetVOffs();
  if (top < vOffs) {
    ScrollTo(top, true);
  } else if (top + height > vOffs + visibleHeight) {
    // Something taller than the view whose top shows already stays where it is.
    if (height > visibleHeight && top < vOffs + visibleHeight) return;
    ScrollTo(top + height + GetVSmallStep() - visibleHeight, true);
  }
}

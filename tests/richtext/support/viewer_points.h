// Where the mouse must go in a viewer to reach a place of its document.
#pragma once

#include <gtest/gtest.h>

#include "richtext/view/rich_doc.h"

// The client point of the caret position before character offs (1-based) of a text item,
// found the way the mouse finds it: along the middle of the item's line.
inline TPoint ClientPointOf(TRichDocRDData& data, int itemNo, int offs) {
  int d, o;
  data.ItemToDrawItem(itemNo, offs, d, o);
  const TRDDrawLineInfo& line = *data.DrawItems[d];
  const int y = line.Top + line.Height / 2;
  for (int x = line.Left; x <= line.Left + line.Width; ++x) {
    int hitD, hitO, hitItem, hitOffs;
    data.FindDrawItemAtPos(x, y, false, hitD, hitO);
    data.DrawItemToItem(hitD, hitO, hitItem, hitOffs);
    if (hitItem == itemNo && hitOffs == offs)
      return Point(x - data.GetHOffs(), y - data.GetVOffs());
  }
  ADD_FAILURE() << "no point for offset " << offs;
  return {};
}

// Item kinds by code: the item factory and registry, and cloning. The factory is the
// one place that knows every concrete item; items themselves name their kind and write
// their extra properties through item_kinds.h.
#pragma once

#include <memory>

#include "richtext/model/item_kinds.h"

struct TRichDocItemTypeInfo {
  int StyleNo;
  TRDItemClass ItemClass;
};

// Raises "Can't register RichDoc item type - this StyleNo is already registered" for a
// code of -9 or above, or a registered code with another class.
const TRichDocItemTypeInfo& RegisterRDItemClass(int styleNo, TRDItemClass itemClass);
// nullptr for an unknown code.
std::unique_ptr<TCustomRDItemInfo> CreateRDItem(int styleNo, TCustomRDData* rdData);
// A new item of the source's class with its properties, tag and (on request) checkpoint;
// the text, word marks and DataMark are not copied.
std::unique_ptr<TCustomRDItemInfo> CloneRDItem(const TCustomRDItemInfo& source,
                                               TCustomRDData* rdData, bool copyCheckpoint);

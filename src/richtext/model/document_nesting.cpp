#include "richtext/model/document_nesting.h"

#include <algorithm>

#include "richtext/model/item_info.h"
#include "richtext/model/rd_data.h"

int DocumentNestingLevel(TCustomRDData& data) {
  int level = 0;
  for (TCustomRDData* d = data.GetAbsoluteParentData(); d; d = d->GetAbsoluteParentData()) ++level;
  return level;
}

int NestedDocumentDepth(const TCustomRDItemInfo& item) {
  int depth = 0;
  for (int d = 0; d < item.GetSubDocCount(); ++d)
    if (const TCustomRDData* sub = item.GetSubDoc(d)) {
      int inner = 0;
      for (int i = 0; i < sub->GetItemCount(); ++i)
        inner = std::max(inner, NestedDocumentDepth(*sub->GetItem(i)));
      depth = std::max(depth, 1 + inner);
    }
  return depth;
}

#include "richtext/layout/export_links.h"

#include <algorithm>
#include <vector>

#include "richtext/layout/formatted_data.h"
#include "richtext/styles/rd_style.h"

namespace {

// Numbers the links of document from 0 as the layout does: a text item of a link style
// (an empty one is no link), a non-text link item, and the links of every document
// inside an item, numbered first and placed by the item (BuildJumps).
int NumberLinks(TCustomRDData& document) {
  const TRDStyle* style = document.GetRDStyle();
  int count = 0;
  for (int i = 0; style && i < document.GetItemCount(); ++i) {
    TCustomRDItemInfo* item = document.GetItem(i);
    if (item->StyleNo >= 0) {
      if (style->TextStyles()[document.GetActualStyle(*item)].Jump)
        item->JumpID = document.GetItemTextRaw(i).empty() ? -3 : count++;
      continue;
    }
    for (int s = 0; s < item->GetSubDocCount(); ++s)
      if (TCustomRDData* sub = item->GetSubDoc(s)) NumberLinks(*sub);
    if (item->IsFullLine())
      item->BuildJumps(count);
    else if (item->QueryItemFlagEx(1, const_cast<TRDStyle*>(style)))
      item->JumpID = count++;
  }
  if (auto* formatted = dynamic_cast<TCustomRDFormattedData*>(&document))
    formatted->JumpCount = count;
  return count;
}

void NumberLinksForExport(TCustomRDData& root) {
  // A document laid out without collecting links (an editor) numbers them as it writes.
  if (auto* formatted = dynamic_cast<TCustomRDFormattedData*>(&root);
      formatted && (formatted->DrawItems.Count() > 0 || !(formatted->GetFlags() & rdfCollectJumps)))
    return;
  NumberLinks(root);
}

// The roots whose export runs on this thread, outermost first.
thread_local std::vector<const TCustomRDData*> exporting_roots;

}  // namespace

TRDExportLinkNumbering::TRDExportLinkNumbering(TCustomRDData& data)
    : root_(data.GetAbsoluteRootData()),
      outermost_(std::find(exporting_roots.begin(), exporting_roots.end(), root_) ==
                 exporting_roots.end()) {
  if (!outermost_) return;
  NumberLinksForExport(*data.GetAbsoluteRootData());
  exporting_roots.push_back(root_);
}

TRDExportLinkNumbering::~TRDExportLinkNumbering() {
  if (outermost_) exporting_roots.pop_back();
}

int ExportLinkId(TCustomRDData& data, const TCustomRDItemInfo& item) {
  if (item.JumpID < 0) return -1;
  int id = item.JumpID;
  for (TCustomRDData* document = &data; document; document = document->GetAbsoluteParentData())
    id += document->FirstJumpNo;
  return id;
}

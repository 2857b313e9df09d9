// What editing may do where: the paragraph options and the protection of the text
// styles, asked by position.
#include "richtext/layout/formatted_data.h"
#include "richtext/model/nontext_items.h"
#include "richtext/styles/rd_style.h"

bool TCustomRDFormattedData::IsParaOption(int paraNo, TRDParaOptions option) const {
  const TRDStyle* style = GetRDStyle();
  return style && (style->ParaStyles()[paraNo].Options & option) != 0;
}

bool TCustomRDFormattedData::IsItemProtected(int itemNo, TRDProtectOptions option) const {
  const TCustomRDItemInfo* item = GetItem(itemNo);
  if (option & rdprDeleteProtect)
    if (const auto* object = dynamic_cast<const TRDNonTextItemInfo*>(item);
        object && object->DeleteProtect)
      return true;
  const TRDStyle* style = GetRDStyle();
  if (!style) return false;
  const int styleNo = item->StyleNo >= 0 ? GetActualStyle(*item) : item->GetAssociatedTextStyleNo();
  if (styleNo < 0) return false;
  return (style->TextStyles()[styleNo].Protection & option) != 0;
}

bool TCustomRDFormattedData::IsStickyBoundary(int itemNo, bool silent) const {
  const int count = GetItemCount();
  bool sticky = false;
  if (count == 0) return false;
  if (itemNo < 0)
    sticky = IsItemProtected(0, rdprStickToTop);
  else if (itemNo >= count - 1)
    sticky = IsItemProtected(count - 1, rdprStickToBottom);
  else
    sticky = IsItemProtected(itemNo, rdprSticking) && IsItemProtected(itemNo + 1, rdprSticking);
  if (sticky && !silent) Beep();
  return sticky;
}

bool TCustomRDFormattedData::CanInsertAt(int itemNo, int offset) const {
  if (IsParaOption(GetItemPara(itemNo), rdpaoReadOnly)) return false;
  const int start = GetItemStartOffset(itemNo), end = GetItemEndOffset(itemNo);
  if (GetItem(itemNo)->StyleNo >= 0 && offset > start && offset < end &&
      IsItemProtected(itemNo, rdprModifyProtect))
    return false;
  if (offset <= start) return !IsStickyBoundary(itemNo - 1, true);
  if (offset >= end) return !IsStickyBoundary(itemNo, true);
  return true;
}

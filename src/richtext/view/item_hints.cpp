// An item's hint is shown by the viewer window it lies in: the one part of the item base
// that needs a window, kept with the viewer so that the document model knows none.
#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/hint_window.h"
#include "richtext/model/item_info.h"
#include "richtext/model/rd_data.h"

bool TCustomRDItemInfo::ShowItemHint(unsigned, int, int, int itemNo, TCustomRDData* rdData) {
  if (!rdData || !(rdData->GetOptions() & rdoShowItemHints)) return false;
  TWinControl* control = rdData->GetParentControl();
  if (!control) return false;
  const std::string hint = rdData->GetAbsoluteRootData()->DoItemHint(rdData, itemNo);
  const bool changed = hint != control->Hint();
  control->SetHint(hint);
  if (hint.empty())
    CancelHint();
  else if (changed)
    ReactivateHint(*control);
  return false;
}

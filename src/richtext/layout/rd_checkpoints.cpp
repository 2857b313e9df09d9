// Which checkpoint the view's position makes current, reported to the window after the
// view scrolled: the start of the section shown, or the first checkpoint in view.
#include "richtext/layout/formatted_data.h"

void TCustomRDFormattedData::NotifyCheckpointVisible() {
  const TCPEventKind kind = GetCPEventKind();
  if (kind == cpeNone) return;
  const int viewTop = GetVOffs();
  const int viewBottom = viewTop + GetHeight();
  // The first raising checkpoint at or below the view's top, and the raising one before it.
  TRDCPInfo* atOrBelow = nullptr;
  TRDCPInfo* earlier = nullptr;
  int top = 0;
  for (TRDCPInfo* cp = FirstCP; cp; cp = cp->Next) {
    if (!cp->RaiseEvent) continue;
    const int d = cp->ItemInfo ? cp->ItemInfo->DrawItemNo : -1;
    // Nothing after an item not laid out yet can be placed.
    if (d < 0 || d >= DrawItems.Count()) break;
    top = DrawItems[d]->Top;
    if (top >= viewTop) {
      atOrBelow = cp;
      break;
    }
    earlier = cp;
  }
  TRDCPInfo* endCP = NotAddedCP && NotAddedCP->RaiseEvent ? NotAddedCP.get() : nullptr;
  TRDCPInfo* current = nullptr;
  if (kind == cpeAsSectionStart) {
    if (atOrBelow)
      current = top >= viewBottom ? earlier : atOrBelow;
    else
      current = endCP && DocumentHeight < viewBottom ? endCP : earlier;
  } else if (atOrBelow) {
    current = top < viewBottom ? atOrBelow : nullptr;
  } else {
    current = endCP && DocumentHeight <= viewBottom ? endCP : nullptr;
  }
  if (CPReported && current == LastReportedCP) return;
  CPReported = true;
  LastReportedCP = current;
  DoCheckpointVisible(current);
}

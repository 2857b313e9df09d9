// The list markers in a table's cells join the document's numbering when the table is
// placed in a document by a way that did not list them as they came (an import that
// builds the table aside first).
#include "richtext_edit/tables/table_item.h"

void TRDTableItemInfo::NotifyCellItems() {
  for (int r = 0; r < Rows->Count(); ++r)
    for (int c = 0; c < Rows->Items(r)->Count(); ++c)
      if (TRDTableCellData* cell = Rows->Object(r, c))
        for (int i = 0; i < cell->GetItemCount(); ++i) {
          cell->AddMarkerToList(i);
          cell->GetItem(i)->NotifyCellItems();
        }
}

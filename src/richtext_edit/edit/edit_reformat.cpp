// Laying out again after an edit: only around the edit while the document's minimal
// width stays, else the whole document. The viewer's partial layout does it: from a line
// or two before the edited paragraphs (or, after typing or deleting characters, before
// those characters) until the new lines meet the old ones past the edit; the draw items
// of the rest are moved, not laid out.
#include <algorithm>

#include "richtext_edit/edit/edit_data.h"

void TRDEditRDData::FormatWhole() {
  FormatItems(false, true, false, 0, nullptr, false, true, false);
  InvalidateControl();
}

void TRDEditRDData::ReformatAfterEdit(bool fullReformat, int firstDItemNo, int lastDItemNo,
                                      int itemsAdded, const TRDChangedRange* textEdit) {
  if (!GetRDStyle()) return;
  // The caret's draw item may be gone with the edit: the caller places the caret again.
  CaretDItemNo = -1;
  CaretPosIndex = -1;
  CaretPositions.clear();
  const int count = GetItemCount();
  const bool laidOut = firstDItemNo >= 0 && lastDItemNo >= firstDItemNo &&
                       lastDItemNo < DrawItems.Count() && count > 0;
  if (!laidOut || (fullReformat && GetDocumentMinWidth() != MinDocumentWidth)) {
    FormatWhole();
    return;
  }
  FormatParas(firstDItemNo, lastDItemNo, itemsAdded, textEdit);
}

TRDEditRDData::TRDChangedRange TRDEditRDData::TextEdit(int itemNo, int pos, int added) {
  return {itemNo, pos - 1, itemNo, pos - 1 + std::max(0, added), 0, added};
}

void TRDEditRDData::FormatParas(int firstDItemNo, int lastDItemNo, int itemsAdded,
                                const TRDChangedRange* textEdit) {
  const int width = GetWidth();
  if (textEdit) {
    RelayoutChange(*textEdit, DrawItemAt(textEdit->first_item, textEdit->first_char));
  } else {
    const int count = GetItemCount();
    // The edited items, numbered as they stand now (items before the range kept theirs,
    // and their draw items).
    const int firstItem = std::clamp(DrawItems[firstDItemNo]->ItemNo, 0, count - 1);
    const int lastItem =
        std::clamp(DrawItems[lastDItemNo]->ItemNo + itemsAdded, firstItem, count - 1);
    int paraFirst, paraLast;
    ExpandRangeToParas(firstItem, lastItem, paraFirst, paraLast);
    // The edited range may have begun inside paraFirst's paragraph, or past the last item
    // left (an undone Enter): its lines before firstDItemNo are paraFirst's too.
    int changeD = firstDItemNo;
    while (changeD > 0 && DrawItems[changeD - 1]->ItemNo >= paraFirst) --changeD;
    if (changeD < 0) {
      FormatWhole();
      return;
    }
    RelayoutChange({paraFirst, 0, paraLast + 1, 0, itemsAdded, 0}, changeD);
  }
  AdjustVScrollUnits();
  SetDocumentAreaSize(GetLeftMargin() + DocumentWidth + GetRightMargin(), DocumentHeight, true);
  // A scroll bar that came or went changed the width the lines are laid out in (a cell
  // editor's content growing past the view brings one as typing in the document does).
  if (GetWidth() != width) {
    FormatWhole();
    return;
  }
  PlaceControls();
  InvalidateControl();
}

void TRDEditRDData::ReformatItemLine(int itemNo, int oldMinWidth) {
  const int now = GetLinesMinWidth(itemNo, itemNo);
  const int caretItem = GetCurrentItemNo(), caretOffs = GetOffsetInCurrentItem();
  if (now != oldMinWidth && (oldMinWidth >= MinDocumentWidth || now > MinDocumentWidth)) {
    FormatWhole();
  } else {
    int d = GetItem(itemNo)->DrawItemNo;
    if (caretItem == itemNo && CaretDItemNo >= 0) d = CaretDItemNo;
    if (d < 0 || d >= DrawItems.Count()) {
      FormatWhole();
    } else {
      int first, last;
      ExpandDrawItemsToParas(d, d, first, last);
      FormatParas(first, last, 0);
    }
  }
  if (caretItem >= 0 && caretItem < GetItemCount()) PlaceCaretAtItem(caretItem, caretOffs, false);
}

void TRDEditRDData::ExpandDrawItemsToParas(int firstDItemNo, int lastDItemNo, int& newFirst,
                                           int& newLast) const {
  int firstItem, lastItem;
  ExpandRangeToParas(DrawItems[firstDItemNo]->ItemNo, DrawItems[lastDItemNo]->ItemNo, firstItem,
                     lastItem);
  newFirst = GetItem(firstItem)->DrawItemNo;
  newLast = GetItemEndDrawItem(lastItem);
}

int TRDEditRDData::EditedRangeMinWidth(int firstDItemNo, int lastDItemNo, int itemsAdded) {
  if (firstDItemNo < 0 || lastDItemNo >= DrawItems.Count() || GetItemCount() == 0) return 0;
  const int count = GetItemCount();
  const int first = std::clamp(DrawItems[firstDItemNo]->ItemNo, 0, count - 1);
  const int last = std::clamp(DrawItems[lastDItemNo]->ItemNo + itemsAdded, first, count - 1);
  return GetItemRangeMinWidth(first, last);
}

void TRDEditRDData::ReformatEditedParas(bool fullReformat, int widthBefore, int firstDItemNo,
                                        int lastDItemNo, int itemsAdded,
                                        const TRDChangedRange* textEdit) {
  const bool full = fullReformat || widthBefore >= MinDocumentWidth ||
                    EditedRangeMinWidth(firstDItemNo, lastDItemNo, itemsAdded) > MinDocumentWidth;
  ReformatAfterEdit(full, firstDItemNo, lastDItemNo, itemsAdded, textEdit);
}

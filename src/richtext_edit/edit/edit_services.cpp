// What the editable data does beside the edits themselves: keeping the caret through a
// format, the resizer of the single selected picture or control and resizing with
// undo, the current styles, the tag that typed text takes, and the drag-and-drop caret.
#include <algorithm>

#include "richtext/model/control_item.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/nontext_items.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/item_resizer.h"
#include "richtext_edit/edit/rich_doc_edit.h"

void TRDEditRDData::FormatItems(bool keepPosition, bool force, bool noRestore, int depth,
                                TRDCanvas* canvas, bool formatTail, bool passThrough1,
                                bool passThrough2) {
  if (State & rddsFormattingSuspended) return;
  if (depth == 0) EnsureNotEmpty();
  if (SkipNextFormat) {
    SkipNextFormat = false;
    return;
  }
  if (depth > 0 || !GetRDStyle()) {
    TRichDocRDData::FormatItems(keepPosition, force, noRestore, depth, canvas, formatTail,
                                passThrough1, passThrough2);
    return;
  }
  // The caret stays at its item and offset, unless the document was just cleared.
  int caretItem = -1, caretOffs = -1;
  if (!(State & rddsJustCleared) && HasCaret()) {
    CaretDItemNo = CaretStop().DrawItemNo;
    caretItem = GetCurrentItemNo();
    caretOffs = GetOffsetInCurrentItem();
  }
  TRichDocRDData::FormatItems(keepPosition, force, noRestore, depth, canvas, formatTail,
                              passThrough1, passThrough2);
  if (DrawItems.Count() == 0) {
    CaretDItemNo = CaretPosIndex = -1;
    CaretPositions.clear();
  } else if (caretItem >= 0 && caretItem < GetItemCount()) {
    caretOffs = std::clamp(caretOffs, GetItemStartOffset(caretItem), GetItemEndOffset(caretItem));
    int d, dOffs;
    ItemToDrawItem(caretItem, caretOffs, d, dOffs);
    PlaceCaretInDrawItem(d, dOffs);
  } else {
    CaretDItemNo = 0;
    SkipListMarkerAtCaret(true);
    BuildCaretPositions(GetDrawItemStartOffset(CaretDItemNo));
  }
  UpdateResizer();
  ShowCaret(false, false, false, false);
  State &= ~rddsJustCleared;
}

int TRDEditRDData::GetSingleSelectedItem() const {
  if (!HasSelection()) return -1;
  int startNo, startOffs, endNo, endOffs;
  GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
  if (startNo < 0 || endNo < 0) return -1;
  if (startOffs >= GetItemEndOffset(startNo) && startNo + 1 < GetItemCount()) {
    ++startNo;
    startOffs = GetItemStartOffset(startNo);
  }
  if (endOffs <= GetItemStartOffset(endNo) && endNo > 0) {
    --endNo;
    endOffs = GetItemEndOffset(endNo);
  }
  if (startNo != endNo || startOffs != GetItemStartOffset(startNo) ||
      endOffs != GetItemEndOffset(endNo))
    return -1;
  return startNo;
}

int TRDEditRDData::GetResizableItem() const {
  const int itemNo = GetSingleSelectedItem();
  if (itemNo < 0) return -1;
  const TCustomRDItemInfo* item = GetItem(itemNo);
  if (item->StyleNo >= 0 || !item->QueryItemFlag(8)) return -1;
  return item->DrawItemNo;
}

void TRDEditRDData::UpdateResizer() {
  if (State & rddsApplyingStyle) return;
  Resizer.reset();
  TCustomRichDocEdit* editor = Editor();
  if (editor && ((editor->GetReadOnly() && !editor->ReadOnlyDragAndResize()) ||
                 (editor->EditorOptions & rdoNoImageResize)))
    return;
  const int d = GetResizableItem();
  if (d < 0 || d >= DrawItems.Count()) return;
  const int itemNo = DrawItems[d]->ItemNo;
  if (IsParaOption(GetItemPara(itemNo), rdpaoReadOnly)) return;
  TCustomRDItemInfo* item = GetItem(itemNo);
  Resizer =
      std::make_unique<TRDItemResizer>(*DrawItems[d], d, itemNo, item, item->QueryItemFlag(9));
}

void TRDEditRDData::CheckResizer() {
  if (!Resizer) return;
  if (Resizer->DrawItemNo >= DrawItems.Count() ||
      GetItem(DrawItems[Resizer->DrawItemNo]->ItemNo) != Resizer->Item)
    UpdateResizer();
}

void TRDEditRDData::ResizeItem(int itemNo, int width, int height) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  if (dynamic_cast<TRDRectItemInfo*>(item)) {
    width -= 2 * item->GetHorzSpacing();
    height -= 2 * item->GetVertSpacing();
  }
  width = std::max(width, 1);
  height = std::max(height, 1);
  TCustomRichDocEdit* editor = Editor();
  if (editor) {
    editor->BeginDragOrResizeChange();
    const bool allowed = editor->BeforeChange(false);
    editor->EndDragOrResizeChange();
    if (!allowed) return;
  }
  const int oldWidth = GetLinesMinWidth(itemNo, itemNo);
  BeginUndoStep(rdutModifyItem, true);
  AddModifyItemTerminator(itemNo, true);
  if (dynamic_cast<TRDControlItemInfo*>(item)) {
    ResizeControlWithUndo(itemNo, width, true, height);
  } else {
    SetExtraIntPropertyWithUndo(itemNo, rdepImageWidth, width);
    SetExtraIntPropertyWithUndo(itemNo, rdepImageHeight, height);
    ReformatItemLine(itemNo, oldWidth);
  }
  AddModifyItemTerminator(itemNo, false);
  UpdateResizer();
  NotifyChanged(true);
}

void TRDEditRDData::RememberTagForTyping() {
  PendingTag = TRDTag{};
  const int itemNo = GetCurrentItemNo();
  if (itemNo >= 0 && GetItem(itemNo)->StyleNo == CurTextStyleNo)
    PendingTag = CopyItemTag(GetItem(itemNo)->Tag, TagsArePChars());
}

int TRDEditRDData::GetCurrentTextStyleNo() const {
  return ResolveStyleNo(CurTextStyleNo, CurParaStyleNo);
}

void TRDEditRDData::BeginDragDropCaret() {
  auto* root = dynamic_cast<TRDEditRDData*>(GetAbsoluteRootData());
  if (!root) return;
  if (!root->DragCaret) root->DragCaret = std::make_unique<TRDDragDropCaretInfo>();
  ++root->DragCaret->RefCount;
}

void TRDEditRDData::EndDragDropCaret() {
  auto* root = dynamic_cast<TRDEditRDData*>(GetAbsoluteRootData());
  if (!root || !root->DragCaret) return;
  if (--root->DragCaret->RefCount <= 0) root->DragCaret.reset();
}

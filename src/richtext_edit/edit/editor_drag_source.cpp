// The editor's side of dragging its selection out. The root editor runs every drag,
// also one that starts in a table cell's editor, so that the drag outlives any cell
// editor a drop closes. The drag knows from its start what it took; a move that another
// program or window performed deletes exactly that part where it lies then, or nothing
// when it changed meanwhile, whatever the user selected while the target took its time.
#include <algorithm>

#include "richtext/formats/rd_transfer.h"
#include "richtext/view/rd_clipboard.h"
#include "richtext_edit/edit/editor_drop.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

// The document holding item, searched from data down through the documents of its
// items (a cell being edited is searched in its editor's document); nullptr when none.
TCustomRDData* HolderOf(TCustomRDData& data, const TCustomRDItemInfo* item, int& itemNo) {
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo* at = data.GetItem(i);
    if (at == item) {
      itemNo = i;
      return &data;
    }
    for (int k = 0; k < at->GetSubDocCount(); ++k)
      if (TCustomRDData* sub = at->GetSubDoc(k))
        if (TCustomRDData* found = HolderOf(*sub->GetInplaceEditorData(), item, itemNo))
          return found;
  }
  return nullptr;
}

int IndexOf(TCustomRDData& data, const TCustomRDItemInfo* item, int from) {
  for (int i = std::max(from, 0); i < data.GetItemCount(); ++i)
    if (data.GetItem(i) == item) return i;
  return -1;
}

bool OffsetFits(TCustomRDData& data, int itemNo, int offset) {
  return offset >= data.GetItemStartOffset(itemNo) && offset <= data.GetItemEndOffset(itemNo);
}

std::string PartContent(TCustomRDFormattedData& data) {
  return SelectionAsRichDoc(data, clNone, nullptr, nullptr);
}

// Whether document is data or a document of its items, at any depth.
bool Holds(TCustomRDData& data, const TCustomRDData* document) {
  if (&data == document) return true;
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo* item = data.GetItem(i);
    for (int k = 0; k < item->GetSubDocCount(); ++k)
      if (TCustomRDData* sub = item->GetSubDoc(k))
        if (sub == document || Holds(*sub->GetInplaceEditorData(), document)) return true;
  }
  return false;
}

// A selection that outlives the editors open over its document: the document keeping
// its items (a cell, not the editor open over it) and its bounds, the anchor first.
struct TKeptSelection {
  TCustomRDData* Holder = nullptr;
  int Bounds[4] = {-1, 0, -1, 0};
};

TKeptSelection KeptSelection(TCustomRDFormattedData& root) {
  TCustomRDFormattedData& data = SelectionHolder(root);
  TKeptSelection kept;
  // Selected cells are the table's to keep.
  if (data.PartialSelectedItem >= 0) return kept;
  int* b = kept.Bounds;
  data.GetSelectionBounds(b[0], b[1], b[2], b[3], false);
  if (b[0] >= 0 && b[2] >= 0) kept.Holder = data.GetInplaceSourceData();
  return kept;
}

// Deletes the selection of data, moving a selection kept in the same document with what
// the deletion moves: before the deleted part its bounds stay, after it they keep their
// distance from the end of the document, and inside it (or on its edges) they go to the
// caret the deletion leaves.
void DeleteKeeping(TRDEditRDData& data, TKeptSelection& kept) {
  if (kept.Holder != data.GetInplaceSourceData()) {
    data.Editor()->DeleteSelection();
    return;
  }
  int startNo, startOffs, endNo, endOffs;
  data.GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
  enum { kBefore, kInside, kAfter } place[2];
  int fromEnd[2][2];
  for (int i = 0; i < 2; ++i) {
    const int no = kept.Bounds[2 * i], offs = kept.Bounds[2 * i + 1];
    place[i] = no < startNo || (no == startNo && offs < startOffs) ? kBefore
               : no > endNo || (no == endNo && offs > endOffs)     ? kAfter
                                                                   : kInside;
    fromEnd[i][0] = data.GetItemCount() - no;
    fromEnd[i][1] = place[i] == kAfter ? data.GetItemEndOffset(no) - offs : 0;
  }
  data.Editor()->DeleteSelection();
  const int count = data.GetItemCount();
  for (int i = 0; i < 2; ++i) {
    int& no = kept.Bounds[2 * i];
    int& offs = kept.Bounds[2 * i + 1];
    if (place[i] == kInside) {
      no = data.GetCurrentItemNo();
      offs = data.GetOffsetInCurrentItem();
    } else if (place[i] == kAfter) {
      no = count - fromEnd[i][0];
      offs = no >= 0 && no < count ? data.GetItemEndOffset(no) - fromEnd[i][1] : -1;
    }
  }
}

// The kept selection's document made the one being edited (a cell's editor opens), with
// the selection; nothing when its bounds no longer fit the items.
void Reselect(const TKeptSelection& kept) {
  auto* data = dynamic_cast<TRDEditRDData*>(kept.Holder->StartEditing());
  TCustomRichDocEdit* editor = data ? data->Editor() : nullptr;
  if (!editor) return;
  editor->CloseInplaceEditor();
  const int* b = kept.Bounds;
  const int count = data->GetItemCount();
  for (int i = 0; i < 4; i += 2)
    if (b[i] < 0 || b[i] >= count || !OffsetFits(*data, b[i], b[i + 1])) return;
  data->SetSelectionBounds(b[0], b[1], b[2], b[3]);
  data->MoveCaretToSelectionEnd(false);
  editor->Invalidate();
}

}  // namespace

void TCustomRichDocEdit::StartSelectionDrag() {
  TCustomRichDocEdit& root = RootEditor();
  if (&root == this) {
    DragSelection();
    return;
  }
  // A drop into another cell closes this editor: the root editor runs the drag, once the
  // handling of this move is over.
  if (root.drag_queued_) return;
  root.drag_queued_ = true;
  root.QueueCall([&root] {
    root.drag_queued_ = false;
    if (root.EditData().State & rdsDragPending) root.DragSelection();
  });
}

TDropEffects TCustomRichDocEdit::SelectionDragEffects() {
  drop_handler_->ForgetOwnMove();
  dragged_.reset();
  auto* data = dynamic_cast<TRDEditRDData*>(&SelectionHolder(EditData()));
  TCustomRichDocEdit* source = data ? data->Editor() : nullptr;
  if (!source || source->GetReadOnly()) return deCopy;
  const int itemNo = data->GetCurrentItemNo();
  if (itemNo < 0 || !data->CanInsertAt(itemNo, data->GetOffsetInCurrentItem())) return deCopy;
  TDraggedPart part;
  part.Cells = data->PartialSelectedItem >= 0;
  int startNo, startOffs, endNo, endOffs;
  data->GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
  if (startNo < 0 || endNo < 0) return deCopy;
  part.First = data->GetItem(startNo);
  part.FirstOffs = startOffs;
  part.Last = data->GetItem(endNo);
  part.LastOffs = endOffs;
  part.Content = PartContent(*data);
  dragged_ = std::move(part);
  return deCopy | deMove;
}

void TCustomRichDocEdit::SelectionDragEnded(TDropEffect Effect) {
  // A move into this editor deleted the part itself. While another program took its
  // time to answer, the user may have selected something else: that stays selected.
  if (Effect == deMove && !drop_handler_->MovedOwnSelection()) {
    TKeptSelection kept = KeptSelection(EditData());
    if (TRDEditRDData* data = SelectDraggedPart()) DeleteKeeping(*data, kept);
    if (kept.Holder && Holds(EditData(), kept.Holder)) Reselect(kept);
  }
  drop_handler_->ForgetOwnMove();
  dragged_.reset();
}

TRDEditRDData* TCustomRichDocEdit::SelectDraggedPart() {
  if (!dragged_) return nullptr;
  const TDraggedPart& part = *dragged_;
  if (part.Cells) {
    // Cells are no run of items: they go while they are the selection still.
    auto* data = dynamic_cast<TRDEditRDData*>(&SelectionHolder(EditData()));
    return data && data->Editor() && PartContent(*data) == part.Content ? data : nullptr;
  }
  int firstNo = -1;
  TCustomRDData* holder = HolderOf(EditData(), part.First, firstNo);
  // A cell's items go into its editor as they are.
  auto* data = holder ? dynamic_cast<TRDEditRDData*>(holder->StartEditing()) : nullptr;
  TCustomRichDocEdit* editor = data ? data->Editor() : nullptr;
  if (!editor) return nullptr;
  editor->CloseInplaceEditor();
  firstNo = IndexOf(*data, part.First, 0);
  const int lastNo = IndexOf(*data, part.Last, firstNo);
  if (firstNo < 0 || lastNo < 0 || !OffsetFits(*data, firstNo, part.FirstOffs) ||
      !OffsetFits(*data, lastNo, part.LastOffs))
    return nullptr;
  int startNo, startOffs, endNo, endOffs;
  data->GetSelectionBounds(startNo, startOffs, endNo, endOffs, false);
  data->SetSelectionBounds(firstNo, part.FirstOffs, lastNo, part.LastOffs);
  if (PartContent(*data) == part.Content) {
    editor->Invalidate();
    return data;
  }
  if (startNo >= 0) data->SetSelectionBounds(startNo, startOffs, endNo, endOffs);
  return nullptr;
}

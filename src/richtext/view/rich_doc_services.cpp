// Services of the viewer that an editor built on it uses: the auto-scroll timer, the
// hot-link display, the clipboard shortcuts, the word checking kept in step with edits,
// and the selection as linear character positions, as text and copied.
#include <algorithm>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/sys/timer.h"
#include "richtext/formats/text_export.h"
#include "richtext/view/live_spelling.h"
#include "richtext/view/rd_clipboard.h"
#include "richtext/view/rich_doc.h"

namespace {

// Scrolling while the mouse holds a selection beyond the view: slow for an editor's
// drag-and-drop caret, as fast as the viewer's own selecting otherwise.
constexpr unsigned kSlowAutoScrollInterval = 300;
constexpr unsigned kFastAutoScrollInterval = 100;

// The item holding the document the selection is in: the one that claims the document's
// selection (a table with a chosen cell or selected cells), or the one whose editor is
// open in it.
const TCustomRDItemInfo* ItemHoldingSelection(const TCustomRDFormattedData& data) {
  if (data.PartialSelectedItem >= 0 && data.PartialSelectedItem < data.GetItemCount())
    return data.GetItem(data.PartialSelectedItem);
  return data.GetChosenItem();
}

bool CtrlOnly(TShiftState Shift) {
  return (Shift & ssCtrl) && !(Shift & ssAlt);
}

// The viewer whose document holds RDData (also inside a table cell or its editor).
TCustomRichDoc* ViewerOf(TCustomRDData& RDData) {
  TCustomRDData* root = RDData.GetAbsoluteRootData();
  return root ? dynamic_cast<TCustomRichDoc*>(root->GetParentControl()) : nullptr;
}

// Whether no delimiter stands between two caret offsets of a text item: both are in
// (or at the edges of) one word.
bool WithinOneWord(TCustomRDData& RDData, int ItemNo, int Offset1, int Offset2) {
  if (ItemNo < 0 || ItemNo >= RDData.GetItemCount()) return false;
  const TCustomRDItemInfo* item = RDData.GetItem(ItemNo);
  if (item->StyleNo < 0) return false;
  const std::string& text = RDData.GetItemTextRaw(ItemNo);
  for (int i = std::min(Offset1, Offset2); i < std::max(Offset1, Offset2); ++i)
    if (RDData.IsDelimiterAt(text, i, item->ItemOptions)) return false;
  return true;
}

}  // namespace

TCustomRDFormattedData& SelectionHolder(TCustomRDFormattedData& root) {
  TCustomRDFormattedData* data = &root;
  for (const TCustomRDItemInfo* item;
       (item = ItemHoldingSelection(*data)) && !item->HasPartialSelection();) {
    TCustomRDFormattedData* inner = nullptr;
    for (int k = 0; k < item->GetSubDocCount() && !inner; ++k)
      if (TCustomRDData* sub = item->GetSubDoc(k))
        if (auto* shown = dynamic_cast<TCustomRDFormattedData*>(sub->GetInplaceEditorData());
            shown &&
            (shown != sub || shown->HasSelectionOrPartial() || ItemHoldingSelection(*shown)))
          inner = shown;
    if (!inner) break;
    data = inner;
  }
  return *data;
}

void TCustomRichDoc::StartAutoScrollTimer(bool Slow) {
  if (auto_scroll_timer_->Enabled()) return;
  auto_scroll_timer_->SetInterval(Slow ? kSlowAutoScrollInterval : kFastAutoScrollInterval);
  auto_scroll_timer_->SetEnabled(true);
}

void TCustomRichDoc::StopAutoScrollTimer() {
  auto_scroll_timer_->SetEnabled(false);
  drop_scroll_dy_ = 0;
}

void TCustomRichDoc::UpdateHotState() {
  rd_data_->MouseMove(last_shift_, last_mouse_.X, last_mouse_.Y);
}

bool TCustomRichDoc::IsCopyShortcut(TShiftState Shift, TKeyCode Key) {
  return CtrlOnly(Shift) && (Key == 'C' || Key == VK_INSERT);
}

bool TCustomRichDoc::IsCutShortcut(TShiftState Shift, TKeyCode Key) {
  return (CtrlOnly(Shift) && Key == 'X') || (Shift == ssShift && Key == VK_DELETE);
}

bool TCustomRichDoc::IsPasteShortcut(TShiftState Shift, TKeyCode Key) {
  return (CtrlOnly(Shift) && Key == 'V') || (Shift == ssShift && Key == VK_INSERT);
}

void TCustomRichDoc::RecheckWordsFrom(TCustomRDData* RDData, int ItemNo, int) {
  if (live_spelling_) live_spelling_->RecheckFrom(RDData, ItemNo);
}

void TCustomRichDoc::RunPendingWordCheck(TCustomRDData* RDData, int ItemNo, int Offset) {
  const TPendingWord word = pending_word_;
  if (!word.Data) return;
  if (RDData == word.Data && ItemNo == word.ItemNo &&
      WithinOneWord(*RDData, ItemNo, Offset, word.Offset))
    return;
  pending_word_ = {};
  if (live_spelling_ && live_spelling_->Running() && live_spelling_->StillHeld(word.Data))
    live_spelling_->RecheckFrom(word.Data, word.ItemNo);
}

void TCustomRichDoc::SetPendingWord(TCustomRDData* RDData, int ItemNo, int Offset) {
  RunPendingWordCheck(RDData, ItemNo, Offset);
  pending_word_ = {RDData, ItemNo, Offset};
}

// A word is checked once it is finished: a delimiter typed after it, the caret gone
// from it, or an edit that took a mark away.
void TCustomRichDoc::AdjustWordMarksAfterInsert(TCustomRDData* RDData, int ItemNo, int Offset,
                                                char16_t Ch) {
  TCustomRichDoc* viewer = ViewerOf(*RDData);
  const bool recheck = RDData->GetItem(ItemNo)->AdjustWordPaintersOnInsert(Offset, Ch, RDData);
  if (!viewer) return;
  if (recheck) {
    viewer->pending_word_ = {};
    viewer->RecheckWordsFrom(RDData, ItemNo, Offset);
  } else {
    viewer->SetPendingWord(RDData, ItemNo, Offset + 1);
  }
}

void TCustomRichDoc::AdjustWordMarksAfterDelete(TCustomRDData* RDData, int ItemNo, int Offset,
                                                int Count) {
  TCustomRichDoc* viewer = ViewerOf(*RDData);
  const bool recheck = RDData->GetItem(ItemNo)->AdjustWordPaintersOnDelete(Offset, Count);
  if (!viewer) return;
  if (recheck) {
    viewer->pending_word_ = {};
    viewer->RecheckWordsFrom(RDData, ItemNo, Offset);
  } else {
    viewer->SetPendingWord(RDData, ItemNo, Offset);
  }
}

void TCustomRichDoc::CopySelection() {
  CopySelectionToClipboard(SelectionHolder(*rd_data_), BackgroundColor(), background_.get());
}

std::string TCustomRichDoc::GetSelText() {
  return SelectedText(SelectionHolder(*rd_data_), false);
}

void TCustomRichDoc::GetLinearSelection(int& SelStart, int& SelEnd) {
  TCustomRDFormattedData& holder = SelectionHolder(*rd_data_);
  int startItemNo, startOffs, endItemNo, endOffs;
  holder.GetSelectionBounds(startItemNo, startOffs, endItemNo, endOffs, false);
  int start = 0, end = 0;
  if (startItemNo >= 0) {
    start = rd_data_->ItemToLinear(holder, startItemNo, startOffs);
    end = rd_data_->ItemToLinear(holder, endItemNo, endOffs);
  } else if (const TCustomRDItemInfo* item = holder.GetPartiallySelectedItem()) {
    // Documents selected whole (a table's cells): from the first one's start to the
    // last one's end.
    bool first = true;
    for (int k = 0; k < item->GetSubDocCount(); ++k) {
      const TCustomRDData* sub = item->GetSubDoc(k);
      if (!sub || sub->GetItemCount() == 0 || !item->IsSubDocSelected(k)) continue;
      const int last = sub->GetItemCount() - 1;
      if (first) start = rd_data_->ItemToLinear(*sub, 0, sub->GetItemStartOffset(0));
      end = rd_data_->ItemToLinear(*sub, last, sub->GetItemEndOffset(last));
      first = false;
    }
  }
  SelStart = std::min(start, end);
  SelEnd = std::max(start, end);
}

namespace {

// The selection goes into data: each item on the way down from the root chooses the
// document inside it. False when one of them cannot.
bool ChooseDocument(TCustomRDData& data) {
  TCustomRDData* parent = data.GetParentData();
  if (!parent) return true;
  const int itemNo = data.GetParentItemNo();
  if (!ChooseDocument(*parent)) return false;
  // Choosing a cell of an editor opens the cell's editor, which then holds its items (a
  // table in the cell among them).
  TCustomRDData& holder = *parent->GetInplaceEditorData();
  return itemNo >= 0 && itemNo < holder.GetItemCount() &&
         holder.GetItem(itemNo)->ChooseSubDoc(data);
}

}  // namespace

void TCustomRichDoc::SetLinearSelection(int SelStart, int SelEnd) {
  TCustomRDData *startData, *endData;
  int startItemNo, startOffs, endItemNo, endOffs;
  rd_data_->LinearToItem(SelStart, startData, startItemNo, startOffs);
  rd_data_->LinearToItem(SelEnd, endData, endItemNo, endOffs);
  // A cell edited in place is found as the editor's document; the cell is chosen, and
  // the editor then holds its items.
  if (startData != endData || !startData) return;
  TCustomRDData& source = *startData->GetInplaceSourceData();
  // Back in the document an open cell editor closes, as a click there closes it.
  if (&source == rd_data_.get()) DestroyInplaceEditor();
  if (!ChooseDocument(source)) return;
  auto* data = dynamic_cast<TCustomRDFormattedData*>(source.GetInplaceEditorData());
  if (!data) return;
  data->SetSelectionBounds(startItemNo, startOffs, endItemNo, endOffs);
  Invalidate();
}

std::string TCustomRichDoc::GetTextRange(int CpMin, int CpMax) const {
  return rd_data_->GetTextRange(CpMin, CpMax);
}

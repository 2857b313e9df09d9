// Services of the viewer that an editor built on it uses: the auto-scroll timer, the
// hot-link display, the clipboard shortcuts, and the word checking kept in step with
// edits.
#include "platform/gui/controls/virtual_keys.h"
#include "platform/sys/timer.h"
#include "richtext/view/live_spelling.h"
#include "richtext/view/rich_doc.h"

namespace {

// Scrolling while the mouse holds a selection beyond the view: slow for an editor's
// drag-and-drop caret, as fast as the viewer's own selecting otherwise.
constexpr unsigned kSlowAutoScrollInterval = 300;
constexpr unsigned kFastAutoScrollInterval = 100;

bool CtrlOnly(TShiftState Shift) {
  return (Shift & ssCtrl) && !(Shift & ssAlt);
}

// The viewer whose document holds RDData (also inside a table cell or its editor).
TCustomRichDoc* ViewerOf(TCustomRDData& RDData) {
  TCustomRDData* root = RDData.GetAbsoluteRootData();
  return root ? dynamic_cast<TCustomRichDoc*>(root->GetParentControl()) : nullptr;
}

}  // namespace

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

void TCustomRichDoc::RunPendingWordCheck(TCustomRDData* RDData, int ItemNo) {
  if (live_spelling_ && live_spelling_->Running()) live_spelling_->RecheckFrom(RDData, ItemNo);
}

// A word is checked once it is finished (a delimiter typed after it) or when an edit
// took a mark away; the word still being typed is left alone until then.
void TCustomRichDoc::AdjustWordMarksAfterInsert(TCustomRDData* RDData, int ItemNo, int Offset,
                                                char16_t Ch) {
  if (RDData->GetItem(ItemNo)->AdjustWordPaintersOnInsert(Offset, Ch, RDData))
    if (TCustomRichDoc* viewer = ViewerOf(*RDData))
      viewer->RecheckWordsFrom(RDData, ItemNo, Offset);
}

void TCustomRichDoc::AdjustWordMarksAfterDelete(TCustomRDData* RDData, int ItemNo, int Offset,
                                                int Count) {
  if (RDData->GetItem(ItemNo)->AdjustWordPaintersOnDelete(Offset, Count))
    if (TCustomRichDoc* viewer = ViewerOf(*RDData))
      viewer->RecheckWordsFrom(RDData, ItemNo, Offset);
}

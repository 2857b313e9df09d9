// Dragging the selection out of a viewer. A press inside the selection asks for a drag
// (the document data decides that); the drag starts once the pointer has moved a few
// pixels with the button held, so that a press and release without moving is a plain
// click, which leaves a caret where it was. The drag offers the viewers' own block, RTF,
// text and, when the selection is one picture, the picture.
#include <cstdlib>

#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/sys/timer.h"
#include "richtext/base/rd_layout_info.h"
#include "richtext/formats/rd_transfer.h"
#include "richtext/view/rd_clipboard.h"
#include "richtext/view/rich_doc.h"

namespace {

// How far the pointer moves with the button held before a press becomes a drag.
constexpr int kDragThreshold = 4;

// A press inside the selection marks the root document (the one a nested editor's
// document belongs to), whichever document the selection is in.
std::uint32_t& DragState(TCustomRDData& data) {
  return data.GetAbsoluteRootData()->State;
}

}  // namespace

void TCustomRichDoc::ArmDrag() {
  drag_press_ = last_mouse_;
}

bool TCustomRichDoc::FollowDragRequest(TShiftState Shift, int X, int Y) {
  std::uint32_t& state = DragState(*rd_data_);
  if (!(state & rdsDragPending)) return false;
  if (!(Shift & ssLeft)) {  // released outside the window
    state &= ~rdsDragPending;
    return false;
  }
  if (std::abs(X - drag_press_.X) < kDragThreshold && std::abs(Y - drag_press_.Y) < kDragThreshold)
    return true;
  StartSelectionDrag();
  return true;
}

bool TCustomRichDoc::EndDragRequest(int X, int Y) {
  std::uint32_t& state = DragState(*rd_data_);
  if (!(state & rdsDragPending)) return false;
  state &= ~rdsDragPending;
  const TPoint p = ToDocumentArea(X, Y);
  rd_data_->SetCaretAt(p.X, p.Y);
  return true;
}

std::shared_ptr<TDragData> TCustomRichDoc::SelectionDragData() {
  // Every format is made as the drag starts, from the selection as it is then, wherever
  // it lies (a table's cell, or the editor open on it): the drag carries what the user
  // took, whatever happens to the document while it runs.
  TCustomRDFormattedData& source = SelectionHolder(*rd_data_);
  auto data = std::make_shared<TDragData>();
  if (!source.HasSelectionOrPartial()) return data;
  auto offer = [&data](const char* format, std::string bytes) {
    if (bytes.empty()) return;
    data->Add(format, [bytes = std::move(bytes)](std::string& out) {
      out = bytes;
      return true;
    });
  };
  const TRDLayoutInfo layout = LayoutInfo();
  offer(kRichDocMimeType,
        SelectionAsRichDoc(source, BackgroundColor(), background_.get(), &layout));
  const std::string rtf = SelectionAsRTF(source, BackgroundColor());
  offer("text/rtf", rtf);
  offer("application/rtf", rtf);
  offer("text/plain", SelectionAsUTF8(source));
  if (const TGraphic* picture = source.GetSelectedPicture(); picture && !picture->Empty())
    offer("image/png", BitmapToPng(*PictureAsBitmap(*picture)));
  return data;
}

void TCustomRichDoc::DragSelection() {
  TRichDocRDData& data = *rd_data_;
  auto_scroll_timer_->SetEnabled(false);
  // The release ends the drag, not a click: no jump fires and no selection starts.
  data.JumpPressed = -1;
  dragging_selection_ = true;
  // The viewer may be freed while its drag runs (a timer closes its window): nothing of
  // it is touched after that.
  bool freed = false;
  freed_while_dragging_ = &freed;
  TDropEffect done = deNone;
  try {
    std::shared_ptr<TDragData> dragged = SelectionDragData();
    const TDropEffects allowed = SelectionDragEffects();
    // The drag holds the mouse from here on. While another program takes its time over
    // the drop, the user's presses are presses again.
    DragState(data) &= ~rdsDragPending;
    done = DoDragDrop(*this, std::move(dragged), allowed);
  } catch (...) {
    if (!freed) {
      freed_while_dragging_ = nullptr;
      dragging_selection_ = false;
      DragState(data) &= ~rdsDragPending;
    }
    throw;
  }
  if (freed) return;
  freed_while_dragging_ = nullptr;
  dragging_selection_ = false;
  SelectionDragEnded(done);
}

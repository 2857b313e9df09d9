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
  DragSelection();
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
  auto data = std::make_shared<TDragData>();
  // The drag makes every format as it starts, from the selection as it is then.
  auto render = [this](auto make) {
    return [this, make](std::string& bytes) {
      if (!rd_data_->HasSelection()) return false;
      bytes = make();
      return !bytes.empty();
    };
  };
  data->Add(kRichDocMimeType, render([this] {
              const TRDLayoutInfo layout = LayoutInfo();
              return SelectionAsRichDoc(*rd_data_, BackgroundColor(), background_.get(), &layout);
            }));
  const auto rtf = render([this] { return SelectionAsRTF(*rd_data_, BackgroundColor()); });
  data->Add("text/rtf", rtf);
  data->Add("application/rtf", rtf);
  data->Add("text/plain", render([this] { return SelectionAsUTF8(*rd_data_); }));
  if (const TGraphic* picture = rd_data_->GetSelectedPicture(); picture && !picture->Empty())
    data->Add("image/png", render([this] {
                const TGraphic* selected = rd_data_->GetSelectedPicture();
                return selected ? BitmapToPng(*PictureAsBitmap(*selected)) : std::string();
              }));
  return data;
}

void TCustomRichDoc::DragSelection() {
  TRichDocRDData& data = *rd_data_;
  auto_scroll_timer_->SetEnabled(false);
  // The release ends the drag, not a click: no jump fires and no selection starts.
  data.JumpPressed = -1;
  dragging_selection_ = true;
  TDropEffect done = deNone;
  try {
    done = DoDragDrop(*this, SelectionDragData(), SelectionDragEffects());
  } catch (...) {
    dragging_selection_ = false;
    DragState(data) &= ~rdsDragPending;
    throw;
  }
  dragging_selection_ = false;
  DragState(data) &= ~rdsDragPending;
  SelectionDragEnded(done);
}

// The grouped list's drag and drop: the selected nodes dragged out as data the owner
// makes, and drops taken on the group under the pointer. The control knows no formats
// of its own; the owner names them, makes their bytes and judges what comes in.
#include <algorithm>
#include <utility>

#include "lists/grouped_list_drag.h"
#include "platform/gui/controls/forms.h"

namespace {

constexpr int kScrollZone = 20;  // a drag this near the top or bottom edge scrolls
constexpr TColor kImageKey = RGB(255, 0, 255);

// A dtVCL drag rides on the window system's drag, so that it looks and ends like any
// other; its data is only this mark, no program outside knows it, and the list it
// started in is known while it runs (a drag runs one at a time, to its end, here).
constexpr const char* kListDragFormat = "application/x-velmora-list-drag";
TSectionGroupedList* list_drag_source = nullptr;

TSectionGroupedList* ListDragSource(const TDataObject& Data) {
  return Data.HasFormat(kListDragFormat) ? list_drag_source : nullptr;
}

}  // namespace

TOGLDataObject::TOGLDataObject(TSectionGroupedList& List) : list_(List) {
  List.DoOLEGetClipboardFormats(formats_);
}

bool TOGLDataObject::GetData(const std::string& Format, std::string& Bytes) const {
  if (std::find(formats_.begin(), formats_.end(), Format) == formats_.end()) return false;
  return list_.DoOLEGetData(Format, Bytes);
}

void TOGLDragEngine::DragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                               TDropEffects& Effect) {
  list_.OLEDragEnter(Data, Shift, Pt, Effect);
}

void TOGLDragEngine::DragOver(TShiftState Shift, TPoint Pt, TDropEffects& Effect) {
  list_.OLEDragOver(Shift, Pt, Effect);
}

void TOGLDragEngine::DragLeave() {
  list_.OLEDragLeave();
}

void TOGLDragEngine::Drop(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                          TDropEffects& Effect) {
  list_.OLEDrop(Data, Shift, Pt, Effect);
}

// --- settings ---------------------------------------------------------------------------

TOGLDragEngine& TSectionGroupedList::DragEngine() {
  if (!drag_engine_) drag_engine_ = std::make_unique<TOGLDragEngine>(*this);
  return *drag_engine_;
}

void TSectionGroupedList::SetDragOptions(TOGLDragOptions Value) {
  if (Value == drag_options_) return;
  drag_options_ = Value;
  if (Value & doOLEAcceptDrop) {
    RegisterDragDrop(*this, DragEngine());
  } else {
    RevokeDragDrop(*this);
  }
}

TDropEffects TSectionGroupedList::AllowedEffects() const {
  TDropEffects effects = deNone;
  if (DragOperations & doCopy) effects |= deCopy;
  if (DragOperations & doLink) effects |= deLink;
  if (DragOperations & doMove) effects |= DragDropMode == ddmCopy ? deCopy : deMove;
  return effects;
}

TDropEffects TSectionGroupedList::DetermineDropEffect(TShiftState Shift,
                                                      TDropEffects Allowed) const {
  const bool ctrl = Shift & ssCtrl;
  const bool shift = Shift & ssShift;
  const bool alt = Shift & ssAlt;
  const auto prefer = [Allowed](TDropEffects Effect) {
    return Allowed & Effect ? Effect : Allowed;
  };
  if (ctrl && shift) return prefer(deLink);
  if (ctrl) return prefer(deCopy);
  if (shift || !alt) return prefer(deMove);
  return prefer(deLink);
}

// --- the owner's events -------------------------------------------------------------------

std::shared_ptr<const TDataObject> TSectionGroupedList::DoOLEGetDataObject() {
  std::shared_ptr<const TDataObject> data;
  if (OnOLEGetDataObject) OnOLEGetDataObject(this, data);
  return data;
}

void TSectionGroupedList::DoOLEGetClipboardFormats(std::vector<std::string>& Formats) {
  if (OnOLEGetClipboardFormats) OnOLEGetClipboardFormats(this, Formats);
}

bool TSectionGroupedList::DoOLEGetData(const std::string& Format, std::string& Bytes) {
  Bytes.clear();
  bool result = false;
  if (OnOLEGetData) OnOLEGetData(this, Format, Bytes, result);
  return result;
}

bool TSectionGroupedList::DoOLEDragAllowed(POGLItem Item) {
  bool allowed = false;
  if (OnOLEDragAllowed) OnOLEDragAllowed(this, Item, allowed);
  return allowed;
}

bool TSectionGroupedList::DoOLEDragOver(const TDataObject* Data, TShiftState Shift, TPoint Pt,
                                        TDragState State, TDropEffects& Effect) {
  bool accept = false;
  if (OnOLEDragOver) OnOLEDragOver(this, Data, Shift, Pt, State, Effect, accept);
  return accept;
}

void TSectionGroupedList::DoOLEDrop(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                                    const std::vector<std::string>& Formats, TDropEffects& Effect) {
  if (OnOLEDrop) OnOLEDrop(this, Data, Shift, Pt, Formats, Effect);
}

// --- dragging out -----------------------------------------------------------------------

bool TSectionGroupedList::MayDrag(POGLItem Node) {
  if (!(drag_options_ & doOLEAllowDrag)) return false;
  if (DragMode == dmAutomatic || (state_ & stOLEDragging)) return true;
  return DoOLEDragAllowed(Node);
}

void TSectionGroupedList::PrepareDrag(unsigned DragState) {
  if (focused_ && !IsItemSelected(focused_)) {
    SelectItem(focused_, true);
    InvalidateItem(focused_, true);
  }
  ScrollIntoView(focused_, false);
  Changed();
  state_ = (state_ & ~(stDragDetectPending | stDeselectPending)) | DragState;
}

// The window system took the button's release: end the press here.
void TSectionGroupedList::EndDragPress() {
  const TPoint at = ScreenToClient(Screen->CursorPos());
  const bool right = state_ & stRightButtonDown;
  MouseUp(right ? mbRight : mbLeft, 0, at.X, at.Y);
}

void TSectionGroupedList::StartDrag() {
  if (DragRunning()) {
    // Another drag waits for its answer: this press drags nothing.
    state_ &= ~stDragDetectPending;
    return;
  }
  PrepareDrag(stOLEDragging);
  std::shared_ptr<const TDataObject> data = DoOLEGetDataObject();
  if (!data) data = std::make_shared<TOGLDataObject>(*this);
  TBitmap picture;
  TDragImage image;
  const bool withImage = (drag_options_ & doOLEShowDragImage) && !selected_.empty();
  if (withImage) MakeDragImage(picture, image);
  TOGLDraggedNodes dragged;
  RecordDraggedNodes(dragged);
  TDropEffect effect = deNone;
  try {
    effect = DoDragDrop(*this, data, AllowedEffects(), withImage ? &image : nullptr,
                        [this] { EndDragPress(); });
  } catch (...) {
    if (!dragged.list_freed) ForgetDraggedNodes(dragged);
    throw;
  }
  if (dragged.list_freed) return;
  if (effect == deMove && (AutoOptions & toAutoDeleteMovedItems)) DeleteDraggedNodes(dragged);
  ForgetDraggedNodes(dragged);
  state_ &= ~stOLEDragging;
}

void TSectionGroupedList::RecordDraggedNodes(TOGLDraggedNodes& Dragged) {
  Dragged.order.reserve(selected_.size());
  Dragged.nodes.reserve(selected_.size());
  for (POGLItem node : selected_) {
    node->Flags |= TOGLItem::Dragged;
    Dragged.order.push_back(node);
    Dragged.nodes.insert(node);
  }
  dragged_ = &Dragged;
}

// The dragged items that still exist, then the dragged groups left without items: a
// group that got rows meanwhile keeps them, for the target never had them.
void TSectionGroupedList::DeleteDraggedNodes(TOGLDraggedNodes& Dragged) {
  BeginUpdate();
  for (const bool groups : {false, true}) {
    for (POGLItem node : Dragged.order) {
      if (!Dragged.nodes.count(node) || IsGroup(node) != groups) continue;
      if (!groups || node->ChildCount == 0) DeleteItem(node);
    }
  }
  EndUpdate();
}

void TSectionGroupedList::ForgetDraggedNodes(TOGLDraggedNodes& Dragged) {
  for (POGLItem node : Dragged.nodes) node->Flags &= ~TOGLItem::Dragged;
  dragged_ = nullptr;
}

// The dragged nodes stay where they are: the target copies what it takes.
void TSectionGroupedList::StartComponentDrag() {
  PrepareDrag(stVCLDragging);
  auto data = std::make_shared<TDragData>();
  data->Add(kListDragFormat, [](std::string& Bytes) {
    Bytes.clear();
    return true;
  });
  struct TSourceScope {
    explicit TSourceScope(TSectionGroupedList* List) { list_drag_source = List; }
    ~TSourceScope() { list_drag_source = nullptr; }
    TSourceScope(const TSourceScope&) = delete;
    TSourceScope& operator=(const TSourceScope&) = delete;
  } source(this);
  DoDragDrop(*this, data, deCopy);
  state_ = (state_ & ~stVCLDragging) | stVCLDragEnded;
  EndDragPress();
}

bool TSectionGroupedList::DragOver(TSectionGroupedList* Source, int X, int Y, TDragState State) {
  if (!OnDragOver) return false;
  bool accept = true;
  OnDragOver(this, Source, X, Y, State, accept);
  return accept;
}

void TSectionGroupedList::DragDrop(TSectionGroupedList* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

// The selected nodes as they look, in a window of the document around the press point.
void TSectionGroupedList::MakeDragImage(TBitmap& Picture, TDragImage& Image) {
  const int gridWidth = ItemWidth() * columns_;
  const int width = std::min(DragImageWidth, gridWidth);
  const int height = std::min(DragImageHeight, ClientHeight());
  int left = press_point_.X - width / 2;
  int top = press_point_.Y - height / 2;
  left = std::max(0, std::min(left, gridWidth - width));
  top = std::max(0, std::min(top, total_height_ - height));
  if (width <= 0 || height <= 0) return;
  Picture.SetSize(width, height);
  Picture.Canvas().Brush().SetColor(kImageKey);
  Picture.Canvas().FillRect(Rect(0, 0, width, height));
  PaintContents(Picture.Canvas(), true, Point(left, top), height);
  Image.Picture = &Picture;
  Image.HotSpot = Point(press_point_.X - left, press_point_.Y - top);
  Image.Transparent = kImageKey;
}

// --- drops ----------------------------------------------------------------------------------

void TSectionGroupedList::SetDropTarget(POGLItem Group) {
  if (Group == drop_target_) return;
  POGLItem old = drop_target_;
  drop_target_ = Group;
  InvalidateItem(old, true);
  InvalidateItem(Group, true);
  if (Group && (AutoOptions & toAutoExpandOnDrop) && !Group->Has(TOGLItem::Expanded)) {
    ExpandGroup(Group);
    Repaint();
  }
}

void TSectionGroupedList::OLEDragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                                       TDropEffects& Effect) {
  drag_source_ = ListDragSource(Data);
  if (drag_source_) {
    drop_accepted_ = DragOver(drag_source_, Pt.X, Pt.Y, dsDragEnter);
    Effect = drop_accepted_ ? Effect & deCopy : deNone;
    return;
  }
  Effect = DetermineDropEffect(Shift, Effect);
  drop_accepted_ = DoOLEDragOver(&Data, Shift, Pt, dsDragEnter, Effect);
  if (Effect == deNone) drop_accepted_ = false;
  if (!drop_accepted_) {
    Effect = deNone;
    return;
  }
  TOGLHitInfo hit;
  HitTest(Pt.X, Pt.Y, hit, true);
  SetDropTarget(hit.Group);
}

void TSectionGroupedList::OLEDragOver(TShiftState Shift, TPoint Pt, TDropEffects& Effect) {
  if (drag_source_) {
    drop_accepted_ = DragOver(drag_source_, Pt.X, Pt.Y, dsDragMove);
    Effect = drop_accepted_ ? Effect & deCopy : deNone;
    return;
  }
  Effect = DetermineDropEffect(Shift, Effect);
  if (!drop_accepted_) {
    Effect = deNone;
    return;
  }
  DoOLEDragOver(nullptr, Shift, Pt, dsDragMove, Effect);
  TOGLHitInfo hit;
  HitTest(Pt.X, Pt.Y, hit, true);
  SetDropTarget(hit.Group);
  if (total_height_ <= ClientHeight()) return;
  int step = 0;
  if (Pt.Y >= ClientHeight() - kScrollZone) step = kScrollZone;
  if (Pt.Y < kScrollZone && top_ > 0) step = -kScrollZone;
  if (step == 0) return;
  Effect |= deScroll;
  SetTopPosition(top_ + step);
  Changed();
}

void TSectionGroupedList::OLEDragLeave() {
  if (TSectionGroupedList* source = std::exchange(drag_source_, nullptr)) {
    DragOver(source, 0, 0, dsDragLeave);
    drop_accepted_ = false;
    return;
  }
  SetDropTarget(nullptr);
  Changed();
  TDropEffects none = deNone;
  DoOLEDragOver(nullptr, 0, Point(0, 0), dsDragLeave, none);
  drop_accepted_ = false;
}

void TSectionGroupedList::OLEDrop(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                                  TDropEffects& Effect) {
  OLEDragOver(Shift, Pt, Effect);
  if (TSectionGroupedList* source = std::exchange(drag_source_, nullptr)) {
    if (Effect != deNone) DragDrop(source, Pt.X, Pt.Y);
    drop_accepted_ = false;
    return;
  }
  if ((Effect & ~deScroll) != deNone) {
    Effect &= ~deScroll;
    DoOLEDrop(Data, Shift, Pt, Data.Formats(), Effect);
  }
  SetDropTarget(nullptr);
  drop_accepted_ = false;
  Changed();
}

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QPainter>
#include <QPalette>
#include <QRegion>
#include <QStyleHints>

#include <algorithm>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/frame_pacing.h"
#include "platform/gui/controls/show_request.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"

TNativeWidget::TNativeWidget(QWidget* Widget, bool OwnWidget)
    : widget(Widget), host(Widget), own_widget(OwnWidget) {}

void TLayerDirt::Reset(const QSize& Size) {
  columns_ = (Size.width() + kTile - 1) / kTile;
  rows_ = (Size.height() + kTile - 1) / kTile;
  dirty_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), true);
}

void TLayerDirt::AddAll() {
  dirty_.assign(dirty_.size(), true);
}

void TLayerDirt::Add(const QRect& Rect) {
  if (Rect.isEmpty() || dirty_.empty()) return;
  const int left = std::max(0, Rect.left() / kTile);
  const int right = std::min(columns_ - 1, Rect.right() / kTile);
  const int top = std::max(0, Rect.top() / kTile);
  const int bottom = std::min(rows_ - 1, Rect.bottom() / kTile);
  for (int row = top; row <= bottom; ++row) {
    for (int column = left; column <= right; ++column) {
      dirty_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
             static_cast<size_t>(column)] = true;
    }
  }
}

std::vector<QRect> TLayerDirt::Take(const QRect& Area) {
  std::vector<QRect> rects;
  if (Area.isEmpty() || dirty_.empty()) return rects;
  const int left = std::max(0, Area.left() / kTile);
  const int right = std::min(columns_ - 1, Area.right() / kTile);
  const int top = std::max(0, Area.top() / kTile);
  const int bottom = std::min(rows_ - 1, Area.bottom() / kTile);
  // Runs of dirty tiles along each row; a run right below one of the same span in the
  // row above makes that rectangle taller.
  struct TRun {
    int first;
    int end;
    size_t rect;
  };
  std::vector<TRun> above;
  std::vector<TRun> here;
  for (int row = top; row <= bottom; ++row) {
    here.clear();
    const size_t base = static_cast<size_t>(row) * static_cast<size_t>(columns_);
    for (int column = left; column <= right;) {
      if (!dirty_[base + static_cast<size_t>(column)]) {
        ++column;
        continue;
      }
      const int first = column;
      while (column <= right && dirty_[base + static_cast<size_t>(column)]) {
        dirty_[base + static_cast<size_t>(column)] = false;
        ++column;
      }
      auto same = std::find_if(above.begin(), above.end(), [&](const TRun& run) {
        return run.first == first && run.end == column;
      });
      if (same != above.end()) {
        rects[same->rect].setBottom((row + 1) * kTile - 1);
        here.push_back({first, column, same->rect});
      } else {
        rects.emplace_back(first * kTile, row * kTile, (column - first) * kTile, kTile);
        here.push_back({first, column, rects.size() - 1});
      }
    }
    std::swap(above, here);
  }
  return rects;
}

TNativeWidget& NativeOf(const TWinControl& Control) {
  return *Control.native_;
}

TWinControl::TWinControl(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new TControlWidget, true)) {}

TWinControl::TWinControl(TComponent* AOwner, std::unique_ptr<TNativeWidget> Widget)
    : TControl(AOwner), native_(std::move(Widget)) {
  windowed_ = true;
  QWidget* widget = native_->widget;
  widget->setMouseTracking(true);  // OnMouseMove fires without a button held, too
  native_->bridge = new TWidgetBridge(*this, *widget);
  if (native_->own_widget) {
    static_cast<TControlWidget*>(widget)->bridge = native_->bridge;
    widget->setFocusPolicy(Qt::NoFocus);
  }
  widget->setFont(ToQFont(Font()));
  ColorChanged();
}

TWinControl::~TWinControl() {
  // The controls still sitting on us go first; each leaves us as it is freed.
  while (!windowed_children_.empty()) {
    std::unique_ptr<TControl> child(windowed_children_.back());
  }
  while (!windowless_.empty()) {
    std::unique_ptr<TControl> child(windowless_.back());
  }
  native_->bridge->control = nullptr;
  FreeWidget(native_->widget);
}

const std::vector<TControl*>& TWinControl::Ordered() const {
  if (!ordered_stale_ && ordered_.size() == windowless_.size() + windowed_children_.size())
    return ordered_;
  std::vector<size_t> found(windowless_.size());
  for (size_t i = 0; i < found.size(); ++i) found[i] = i;
  std::sort(found.begin(), found.end(),
            [this](size_t a, size_t b) { return places_[a].z < places_[b].z; });
  ordered_.clear();
  ordered_.reserve(windowless_.size() + windowed_children_.size());
  for (size_t slot : found) ordered_.push_back(windowless_[slot]);
  ordered_.insert(ordered_.end(), windowed_children_.begin(), windowed_children_.end());
  ordered_stale_ = false;
  return ordered_;
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) return nullptr;
  return Ordered()[static_cast<size_t>(Index)];
}

int TWinControl::ControlCount() const {
  return static_cast<int>(windowless_.size() + windowed_children_.size());
}

void TWinControl::WindowlessIn(const TRect& Area, std::vector<size_t>& Found, bool Composed) const {
  Found.clear();
  auto meets = [&Area](const TChildPlace& place) {
    const TRect& b = place.bounds;
    return place.visible && b.Left < Area.Right && Area.Left < b.Right && b.Top < Area.Bottom &&
           Area.Top < b.Bottom;
  };
  // Sorted by stamp with the stamp beside the slot: looking each one up in the places
  // while sorting tens of thousands of children (a map composed anew) misses the cache.
  std::vector<std::pair<std::uint64_t, size_t>> ranked;
  if (finder_) {
    std::vector<TControl*> found;
    finder_->ChildrenIn(Area, Composed, found);
    ranked.reserve(found.size());
    // The children lie all over memory: each is fetched well before it is looked at, and
    // its place a little later, so that the fetches overlap instead of waiting in turn.
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < found.size(); ++i) {
      if (i + 2 * kAhead < found.size()) {
        const TControl* later = found[i + 2 * kAhead];
        __builtin_prefetch(&later->parent_);
        __builtin_prefetch(&later->slot_);
      }
      if (i + kAhead < found.size()) {
        const TControl* next = found[i + kAhead];
        if (next->slot_ < places_.size()) __builtin_prefetch(&places_[next->slot_]);
      }
      const TControl* child = found[i];
      if (child->parent_ != this || child->windowed_) continue;
      const TChildPlace& place = places_[child->slot_];
      if (meets(place)) ranked.emplace_back(place.z, child->slot_);
    }
  } else {
    for (size_t slot = 0; slot < places_.size(); ++slot) {
      if (meets(places_[slot])) ranked.emplace_back(places_[slot].z, slot);
    }
  }
  std::sort(ranked.begin(), ranked.end());
  ranked.erase(std::unique(ranked.begin(), ranked.end()), ranked.end());
  Found.reserve(ranked.size());
  for (const auto& [z, slot] : ranked) Found.push_back(slot);
}

TControl* TWinControl::ControlAtPos(TPoint Point) const {
  std::vector<size_t> found;
  WindowlessIn(Rect(Point.X, Point.Y, Point.X + 1, Point.Y + 1), found);
  for (size_t i = found.size(); i-- > 0;) {
    TControl* child = windowless_[found[i]];
    if (child->Enabled() && dynamic_cast<TGraphicControl*>(child)) return child;
  }
  return nullptr;
}

TWinControl::TChildPlace TWinControl::PlaceOf(const TControl& Child, std::uint64_t Z) {
  const auto* graphic = dynamic_cast<const TGraphicControl*>(&Child);
  return {Child.bounds_, Child.visible_, graphic && graphic->KeptComposed(), Z};
}

void TWinControl::PlaceChanged(const TControl& Child) {
  if (Child.slot_ < windowless_.size() && windowless_[Child.slot_] == &Child) {
    TChildPlace& place = places_[Child.slot_];
    place = PlaceOf(Child, place.z);
  }
}

void TWinControl::SetLayeredFaces(bool Value) {
  native_->layered_faces = Value;
  native_->face_layer = QImage();
  Invalidate();
}

namespace {

// The class library's tab order walks a control's children where the control stands;
// Qt puts a widget given a parent at the end of its window's focus chain. The child is
// moved to follow its parent and the parent's children before it (Qt orders only
// widgets that take the focus some way: the nearest of those before it is the place).
void FollowParentInTabOrder(QWidget& child, QWidget& parent) {
  if (child.focusPolicy() == Qt::NoFocus) return;
  auto place = [&](QWidget* w) {
    return w->focusPolicy() != Qt::NoFocus && w != &child && !child.isAncestorOf(w);
  };
  QWidget* last = nullptr;
  for (QWidget* w = &parent; w && (w == &parent || parent.isAncestorOf(w));
       w = w->nextInFocusChain()) {
    if (place(w)) last = w;
    if (w->nextInFocusChain() == &parent) break;
  }
  for (QWidget* w = parent.previousInFocusChain(); !last && w && w != &parent;
       w = w->previousInFocusChain())
    if (place(w)) last = w;
  if (last && last->nextInFocusChain() != &child) QWidget::setTabOrder(last, &child);
}

bool TakesTabFocus(const QWidget& w, const QWidget& window) {
  return (w.focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w.isEnabled() &&
         w.isVisibleTo(&window) && w.window() == &window && !w.focusProxy();
}

}  // namespace

void TWinControl::InsertControl(TControl& Control) {
  Control.parent_ = this;
  ordered_stale_ = true;
  auto* windowed = dynamic_cast<TWinControl*>(&Control);
  if (windowed) {
    windowed_children_.push_back(&Control);
    QWidget* host = windowed->native_->host;
    host->setParent(native_->widget);
    if (!host->isWindow()) FollowParentInTabOrder(*host, *native_->widget);
    windowed->ApplyGeometry();
    windowed->ApplyVisibility();
  } else {
    Control.slot_ = windowless_.size();
    windowless_.push_back(&Control);
    places_.push_back(PlaceOf(Control, ++next_z_));
    Control.Invalidate();
  }
  if (Control.Align() != alNone) RealignFor(&Control);
}

void TWinControl::RemoveControl(TControl& Control) {
  if (Control.parent_ != this) return;
  Control.Invalidate();
  ordered_stale_ = true;
  if (!Control.windowed_) {
    // While a child is being freed it no longer knows whether it showed a picture.
    if (native_->layered_faces) native_->layer_dirt.Add(ToQRect(Control.bounds_));
    // The last child takes the freed slot.
    const size_t slot = Control.slot_;
    windowless_[slot] = windowless_.back();
    windowless_[slot]->slot_ = slot;
    places_[slot] = places_.back();
    windowless_.pop_back();
    places_.pop_back();
  } else {
    windowed_children_.erase(
        std::find(windowed_children_.begin(), windowed_children_.end(), &Control));
  }
  if (native_->captured == &Control) native_->captured = nullptr;
  if (native_->hovered == &Control) native_->hovered = nullptr;
  Control.parent_ = nullptr;
  // While the child is being freed its windowed part is gone already, and so is its widget.
  if (auto* windowed = dynamic_cast<TWinControl*>(&Control)) {
    QWidget* host = windowed->native_->host;
    host->hide();
    host->setParent(nullptr);
  }
  if (Control.Align() != alNone) Realign();
}

void TWinControl::RemoveChildren(const std::function<bool(TControl& Child)>& Leaves) {
  Invalidate();
  ordered_stale_ = true;
  bool realign = false;
  size_t kept = 0;
  for (size_t slot = 0; slot < windowless_.size(); ++slot) {
    TControl* child = windowless_[slot];
    if (!Leaves(*child)) {
      child->slot_ = kept;
      windowless_[kept] = child;
      places_[kept] = places_[slot];
      ++kept;
      continue;
    }
    if (native_->captured == child) native_->captured = nullptr;
    if (native_->hovered == child) native_->hovered = nullptr;
    child->parent_ = nullptr;
    realign = realign || child->Align() != alNone;
  }
  windowless_.resize(kept);
  places_.resize(kept);
  if (realign) Realign();
}

void TWinControl::RaiseControl(TControl& Control) {
  if (Control.parent_ != this) return;
  ordered_stale_ = true;
  if (auto* windowed = dynamic_cast<TWinControl*>(&Control)) {
    windowed_children_.erase(
        std::find(windowed_children_.begin(), windowed_children_.end(), &Control));
    windowed_children_.push_back(&Control);
    windowed->native_->host->raise();
  } else {
    places_[Control.slot_].z = ++next_z_;
    Control.Invalidate();
    if (finder_) finder_->ChildRaised(Control);
  }
}

std::uint64_t TWinControl::ZOrder(const TControl& Child) const {
  return Child.parent_ == this && !Child.windowed_ ? places_[Child.slot_].z : 0;
}

void TWinControl::InvalidateRect(const TRect& Rect, const TControl* Child) {
  FaceChanged(Rect, Child);
  // Hundreds of children changing between two paints would make a region of hundreds
  // of rectangles, each added at a cost that grows with it; past a few the whole
  // surface is repainted (the layer still composes only what changed).
  constexpr int kMaxRectsBetweenPaints = 48;
  TNativeWidget& native = *native_;
  if (native.all_dirty) return;
  if (++native.rects_dirty > kMaxRectsBetweenPaints) {
    native.all_dirty = true;
    native.widget->update();
    return;
  }
  native.widget->update(ToQRect(Rect));
}
void TWinControl::RepaintRect(const TRect& Rect, const TControl& Child) {
  FaceChanged(Rect, &Child);
  const TPaintNow now;
  native_->widget->repaint(ToQRect(Rect));
}

void TWinControl::FaceChanged(const TRect& Rect, const TControl* Child) {
  if (!native_->layered_faces || !Child) return;
  // Its look may have changed: what it covers is worked out again.
  if (Child->slot_ < windowless_.size() && windowless_[Child->slot_] == Child) {
    places_[Child->slot_].cover.parts = -1;
  }
  const auto* graphic = dynamic_cast<const TGraphicControl*>(Child);
  if (graphic && graphic->KeptComposed()) native_->layer_dirt.Add(ToQRect(Rect));
}

// The stored size is the truth (Qt may not have applied it yet to a hidden window);
// only a form framed by an MDI sub-window has a client smaller than its bounds.
TRect TWinControl::ClientRect() const {
  if (native_->host == native_->widget) return TControl::ClientRect();
  const QSize size = native_->widget->size();
  return Rect(0, 0, size.width(), size.height());
}

TPoint TWinControl::ClientToScreen(TPoint Point) const {
  const QPoint global = native_->widget->mapToGlobal(QPoint(Point.X, Point.Y));
  return ::Point(global.x(), global.y());
}

void TWinControl::SetFocus() {
  TControl* child = this;
  for (TWinControl* container = Parent(); container; container = container->Parent()) {
    if (const auto& request = NativeOf(*container).show_request) request(*child);
    child = container;
  }
  native_->widget->setFocus(Qt::OtherFocusReason);
}

void SetShowRequestHandler(TWinControl& Container, std::function<void(TControl& Child)> Handler) {
  NativeOf(Container).show_request = std::move(Handler);
}

bool TWinControl::FocusNextOutside(bool Forward) {
  QWidget* self = native_->host;
  QWidget* window = self->window();
  if (window == self) return false;
  for (QWidget* w = Forward ? self->nextInFocusChain() : self->previousInFocusChain();
       w && w != self; w = Forward ? w->nextInFocusChain() : w->previousInFocusChain()) {
    if (self->isAncestorOf(w) || !TakesTabFocus(*w, *window)) continue;
    w->setFocus(Forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
  }
  return false;
}

bool TWinControl::FocusFirstInside() {
  QWidget* self = native_->host;
  QWidget* window = self->window();
  // The window's chain holds the children in the order they came, among the others.
  for (QWidget* w = self->nextInFocusChain(); w && w != self; w = w->nextInFocusChain()) {
    if (!self->isAncestorOf(w) || !TakesTabFocus(*w, *window)) continue;
    w->setFocus(Qt::TabFocusReason);
    return true;
  }
  return false;
}

// Compared with the application's focus widget directly: asking the widget walks up to
// its window first, which costs as many steps as controls lie around it, and an editor
// in a table cell nested deep asks for each editor inside it on every paint. (Our
// widgets have no focus proxies, so the answer is the same.)
bool TWinControl::Focused() const {
  return QApplication::focusWidget() == native_->widget;
}

void TWinControl::SetTabStop(bool Value) {
  if (Value == tab_stop_) return;
  tab_stop_ = Value;
  if (native_->own_widget) native_->widget->setFocusPolicy(Value ? Qt::TabFocus : Qt::NoFocus);
}

// Everything is painted anew, the picture children too. Once the whole surface is
// dirty, the many small invalidations that often follow cost nothing more.
void TWinControl::Invalidate() {
  native_->widget->update();
  native_->all_dirty = true;
  if (native_->layered_faces) native_->layer_dirt.AddAll();
}
bool TWinControl::Redraw() const {
  return native_->widget->updatesEnabled();
}

void TWinControl::SetRedraw(bool Value) {
  native_->widget->setUpdatesEnabled(Value);
  if (Value) Invalidate();
}

void TWinControl::Repaint() {
  const TPaintNow now;
  native_->widget->repaint();
}

void TWinControl::BringToFront() {
  TControl::BringToFront();
  native_->host->raise();
}

namespace {

// Restores a flag however the block is left; aligned children run OnResize, which may throw.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void TWinControl::Realign() {
  RealignFor(nullptr);
}

void TWinControl::RealignFor(TControl* Changed) {
  if (aligning_) return;
  TFlagScope scope(aligning_);
  align_changed_ = Changed;
  TRect area = ClientRect();
  AlignControls(area);
}

void TWinControl::AlignControls(TRect& Area) {
  // Within one kind, children keep the order of their position (as laid out); of two at
  // the same position the one just changed goes first, else the one put on us first.
  auto aligned = [this](TAlign kind) {
    std::vector<TControl*> result;
    for (TControl* c : Ordered()) {
      if (c->Align() == kind && c->Visible()) result.push_back(c);
    }
    auto position = [kind](const TControl* c) {
      switch (kind) {
        case alTop:
          return c->Top();
        case alBottom:
          return -c->BoundsRect().Bottom;
        case alLeft:
          return c->Left();
        case alRight:
          return -c->BoundsRect().Right;
        default:
          return 0;
      }
    };
    std::stable_sort(result.begin(), result.end(), [&](TControl* a, TControl* b) {
      if (position(a) != position(b)) return position(a) < position(b);
      return a == align_changed_ && b != align_changed_;
    });
    return result;
  };
  // The children of a side are stacked whole even when the room is too small (as while a
  // window has no size yet): those that do not fit lie beyond the far edge, in their
  // order, so the positions they are ranked by next time still say that order.
  auto total = [](const std::vector<TControl*>& controls, int (TControl::*size)() const) {
    int sum = 0;
    for (const TControl* c : controls) sum += (c->*size)();
    return sum;
  };
  for (TControl* c : aligned(alTop)) {
    c->SetBounds(Area.Left, Area.Top, Area.Width(), c->Height());
    Area.Top += c->Height();
  }
  const std::vector<TControl*> bottoms = aligned(alBottom);
  Area.Bottom = std::max(Area.Bottom, Area.Top + total(bottoms, &TControl::Height));
  for (TControl* c : bottoms) {
    Area.Bottom -= c->Height();
    c->SetBounds(Area.Left, Area.Bottom, Area.Width(), c->Height());
  }
  for (TControl* c : aligned(alLeft)) {
    c->SetBounds(Area.Left, Area.Top, c->Width(), Area.Height());
    Area.Left += c->Width();
  }
  const std::vector<TControl*> rights = aligned(alRight);
  Area.Right = std::max(Area.Right, Area.Left + total(rights, &TControl::Width));
  for (TControl* c : rights) {
    Area.Right -= c->Width();
    c->SetBounds(Area.Right, Area.Top, c->Width(), Area.Height());
  }
  for (TControl* c : aligned(alClient)) {
    c->SetBounds(Area.Left, Area.Top, Area.Width(), Area.Height());
  }
}

// A window's Left and Top place its frame, title bar included, as on the desktop the
// program was made for; its size stays the size of what it shows.
void TWinControl::ApplyGeometry() {
  const TRect b = BoundsRect();
  QWidget* host = native_->host;
  if (host->isWindow()) {
    host->move(b.Left, b.Top);
    host->resize(b.Width(), b.Height());
    return;
  }
  host->setGeometry(b.Left, b.Top, b.Width(), b.Height());
}

// A windowed control without a parent stays hidden; Qt would show it as a window.
void TWinControl::ApplyVisibility() {
  native_->host->setVisible(Visible() && Parent());
}

void TWinControl::BoundsChanged(const TRect& OldBounds) {
  ApplyGeometry();
  if (OldBounds.Width() != Width() || OldBounds.Height() != Height()) {
    Realign();
    Resize();
  }
}

void TWinControl::VisibleChanged() {
  ApplyVisibility();
}

void TWinControl::EnabledChanged() {
  native_->widget->setEnabled(Enabled());
  TControl::EnabledChanged();
}

void TWinControl::FontChanged() {
  native_->widget->setFont(ToQFont(Font()));
  TControl::FontChanged();
}

void TWinControl::SetOpaqueFace(bool Value) {
  QWidget* widget = native_->widget;
  widget->setAttribute(Qt::WA_OpaquePaintEvent, Value);
  if (native_->own_widget) widget->setAutoFillBackground(!Value && Color() != clNone);
}

bool TWinControl::OpaqueFace() const {
  return native_->widget->testAttribute(Qt::WA_OpaquePaintEvent);
}

void TWinControl::FillFaceBackground(TCanvas& Canvas, const TRect& Except) const {
  QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter();
  if (!painter) return;
  const QWidget* widget = native_->widget;
  const QBrush& brush = widget->palette().brush(widget->backgroundRole());
  for (const QRect& part : QRegion(widget->rect()) - QRegion(ToQRect(Except)))
    painter->fillRect(part, brush);
}

// Own widgets fill their background with Color before anything paints on them, unless
// they paint all of it themselves.
void TWinControl::ColorChanged() {
  if (native_->own_widget) {
    QWidget* widget = native_->widget;
    widget->setAutoFillBackground(Color() != clNone &&
                                  !widget->testAttribute(Qt::WA_OpaquePaintEvent));
    if (Color() != clNone) {
      QPalette palette = widget->palette();
      palette.setColor(QPalette::Window, ToQColor(Color()));
      widget->setPalette(palette);
    }
  }
  TControl::ColorChanged();
}

void TWinControl::CursorChanged() {
  if (Cursor() == crDefault) {
    native_->widget->unsetCursor();
  } else {
    native_->widget->setCursor(CursorOf(Cursor()));
  }
}

void TWinControl::KeyDown(TKeyCode& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(TKeyCode& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::Resize() {
  if (OnResize) OnResize(this);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TWinControl::SetInputMethodCaret(const TRect& Rect) {
  has_input_caret_ = true;
  input_caret_ = Rect;
  QWidget* widget = WidgetOf(*this);
  if (!widget) return;
  widget->setAttribute(Qt::WA_InputMethodEnabled, true);
  if (widget->hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

bool TWinControl::InputMethodCaret(TRect& Rect) const {
  if (has_input_caret_) Rect = input_caret_;
  return has_input_caret_;
}

int CaretBlinkInterval() {
  const int period = QGuiApplication::styleHints()->cursorFlashTime();
  return period > 0 ? period / 2 : 500;
}

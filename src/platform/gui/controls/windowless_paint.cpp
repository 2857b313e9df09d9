// Painting a windowed control's surface with its windowless children on it.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <QPainter>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/gui/graphics/face_blend_qt.h"
#include "platform/gui/graphics/face_cover_qt.h"
#include "platform/gui/graphics/screen_paint_qt.h"

namespace {

// Beyond this a layer of picture children would cost more memory than it saves time.
constexpr qint64 kMaxLayerPixels = qint64{32} << 20;

}  // namespace

namespace {

TRect AreaRect(const QRegion& Area) {
  const QRect r = Area.boundingRect();
  return Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

// Below this many children in a piece, drawing them all costs less than finding those
// that show.
constexpr size_t kMinChildrenToCull = 16;

// Works out the cover of a child kept composed from its pictures.
void WorkOutCover(const TGraphicControl& Child, TChildCover& Cover) {
  TGraphicControl::TFacePart parts[TGraphicControl::kMaxFaceParts];
  const int count = Child.FaceParts(parts);
  const QRect inside(0, 0, Child.Width(), Child.Height());
  auto small = [](const QRect& r) {
    if (r.isEmpty()) return TCoverRect{};
    auto clamp = [](int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); };
    return TCoverRect{clamp(r.left()), clamp(r.top()), clamp(r.right() + 1), clamp(r.bottom() + 1)};
  };
  for (int p = 0; p < count; ++p) {
    const TFaceCover cover = TBitmapAccess::Cover(*parts[p].Picture);
    const QPoint at(parts[p].At.X, parts[p].At.Y);
    Cover.shown[p] = small(cover.shown.translated(at) & inside);
    Cover.opaque[p] = small(cover.opaque.translated(at) & inside);
  }
  Cover.parts = static_cast<std::int8_t>(count);
}

QRect PlacedRect(const TCoverRect& r, const QPoint& origin) {
  return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)).translated(origin);
}

// Of the picture children Found (bottom first) in Piece, those any pixel of which shows
// there: the rest lie under fully opaque pixels of children above them. A child painted
// by its handler shows and covers nothing.
void KeepShowing(TWinControl& Parent, const QRect& Piece, std::vector<size_t>& Found) {
  if (Found.size() < kMinChildrenToCull) return;
  const std::vector<TControl*>& children = TControlEvents::Windowless(Parent);
  const auto& places = TControlEvents::Places(Parent);
  TCoverMask covered(Piece);
  std::vector<bool> shows(Found.size(), false);
  for (size_t i = Found.size(); i-- > 0;) {
    // Once the piece is covered all over, nothing further down shows.
    if (covered.Full()) break;
    const size_t slot = Found[i];
    TChildCover& cover = TControlEvents::Cover(Parent, slot);
    if (cover.parts < 0) WorkOutCover(static_cast<TGraphicControl&>(*children[slot]), cover);
    const QPoint origin(places[slot].bounds.Left, places[slot].bounds.Top);
    bool visible = cover.parts == 0;
    for (int p = 0; p < cover.parts && !visible; ++p) {
      const TCoverRect& shown = cover.shown[p];
      visible = shown.right > shown.left && !covered.Covers(PlacedRect(shown, origin));
    }
    if (!visible) continue;
    shows[i] = true;
    for (int p = 0; p < cover.parts; ++p) {
      const TCoverRect& opaque = cover.opaque[p];
      if (opaque.right > opaque.left) covered.Add(PlacedRect(opaque, origin));
    }
  }
  size_t kept = 0;
  for (size_t i = 0; i < Found.size(); ++i) {
    if (shows[i]) Found[kept++] = Found[i];
  }
  Found.resize(kept);
}

// A dirty rectangle in pieces small enough for their pixels to stay in the cache while
// the hundreds of pictures there are drawn over each other. They lie on a fixed grid, so
// that a finder filing the children by the same grid answers each from one cell.
std::vector<QRect> Pieces(const QRect& Dirty) {
  constexpr int kWidth = TChildFinder::kPieceWidth;
  constexpr int kHeight = TChildFinder::kPieceHeight;
  std::vector<QRect> pieces;
  if (Dirty.isEmpty()) return pieces;
  // Dirty lies within the layer: its coordinates are not negative.
  for (int top = Dirty.top() / kHeight * kHeight; top <= Dirty.bottom(); top += kHeight) {
    for (int left = Dirty.left() / kWidth * kWidth; left <= Dirty.right(); left += kWidth) {
      pieces.push_back(Dirty & QRect(left, top, kWidth, kHeight));
    }
  }
  return pieces;
}

// The children kept composed that meet Piece, bottom first.
std::vector<size_t> ComposedIn(TWinControl& Parent, const QRect& Piece) {
  std::vector<size_t> found;
  const TRect area = AreaRect(QRegion(Piece));
  const auto& places = TControlEvents::Places(Parent);
  TChildFinder* finder = TControlEvents::Finder(Parent);
  const bool ordered =
      finder && finder->ComposedTopDown(area, [&](const TChildFinder::TFound* Found, size_t Count) {
        for (size_t i = 0; i < Count; ++i) {
          size_t slot = 0;
          if (TControlEvents::WindowlessSlot(Parent, *Found[i].Child, slot) &&
              places[slot].visible && places[slot].face) {
            found.push_back(slot);
          }
        }
        return true;
      });
  if (ordered) {
    std::reverse(found.begin(), found.end());
    return found;
  }
  TControlEvents::WindowlessIn(Parent, area, found);
  std::erase_if(found, [&](size_t slot) { return !places[slot].face; });
  return found;
}

void ClearPiece(QImage& Layer, const QRect& Piece) {
  uchar* bits = Layer.bits();
  const qsizetype stride = Layer.bytesPerLine();
  const size_t bytes = static_cast<size_t>(Piece.width()) * sizeof(QRgb);
  for (int y = Piece.top(); y <= Piece.bottom(); ++y) {
    std::memset(bits + y * stride + Piece.left() * qsizetype{sizeof(QRgb)}, 0, bytes);
  }
}

// Draws Child's pictures onto the layer within Piece; a child painted by its handler
// paints through a painter of its own.
void ComposeChild(TGraphicControl& Child, QImage& Layer, const QRect& Piece) {
  TGraphicControl::TFacePart parts[TGraphicControl::kMaxFaceParts];
  const int count = Child.FaceParts(parts);
  if (count == 0) {
    QPainter painter(&Layer);
    painter.setClipRect(Piece);
    TControlEvents::PaintChild(Child, painter, QRegion(Piece));
    return;
  }
  const QRect bounds = ToQRect(Child.BoundsRect());
  const QRect clip = bounds & Piece;
  for (int i = 0; i < count; ++i) {
    BlendFace(Layer, clip, bounds.topLeft() + QPoint(parts[i].At.X, parts[i].At.Y),
              TBitmapAccess::DrawnImage(*parts[i].Picture));
  }
}

// Composes Piece from the top child down: each pixel is taken from the topmost picture
// not clear there, and once a child's pixels are all taken it is not looked at; once
// the piece's are, no child below is. Where every pixel is clear or opaque this leaves
// what drawing each child from the bottom up would. False, the piece half done, at a
// child painted by its handler or a translucent pixel.
//
// A finder keeping the children in z-order hands them over one by one from the top,
// and one whose bounds are all taken is passed over without fetching it.
bool ComposeTopDown(TWinControl& Parent, QImage& Layer, const QRect& Piece) {
  const std::vector<TControl*>& children = TControlEvents::Windowless(Parent);
  const auto& places = TControlEvents::Places(Parent);
  TCoverMask taken(Piece);
  // Whether every pixel that part P of a child at Origin shows is taken: putting it
  // would take nothing, and its pixels (lying anywhere in memory) need not be fetched.
  auto hidden = [&taken](const TChildCover& Cover, int P, const QPoint& Origin) {
    const TCoverRect& shown = Cover.shown[P];
    return shown.right <= shown.left || taken.Covers(PlacedRect(shown, Origin));
  };
  bool whole = true;
  // Puts the child in Slot; false once nothing further down is to be put.
  auto put = [&](size_t slot, const TGraphicControl& child) {
    const QRect bounds = ToQRect(places[slot].bounds);
    const QRect clip = bounds & Piece;
    if (taken.Covers(clip)) return true;
    TChildCover& cover = TControlEvents::Cover(Parent, slot);
    if (cover.parts > 0) {
      bool shows = false;
      for (int p = 0; p < cover.parts && !shows; ++p) shows = !hidden(cover, p, bounds.topLeft());
      if (!shows) return true;
    }
    TGraphicControl::TFacePart parts[TGraphicControl::kMaxFaceParts];
    const int count = child.FaceParts(parts);
    whole = count > 0;
    if (!whole) return false;
    if (cover.parts < 0) WorkOutCover(child, cover);
    // The last part lies on top.
    for (int p = count; p-- > 0;) {
      if (p < cover.parts && hidden(cover, p, bounds.topLeft())) continue;
      const QPoint at = bounds.topLeft() + QPoint(parts[p].At.X, parts[p].At.Y);
      whole = FillUnder(Layer, taken, clip, at, TBitmapAccess::DrawnImage(*parts[p].Picture));
      if (!whole) return false;
    }
    return !taken.Full();
  };
  const TRect area = AreaRect(QRegion(Piece));
  TChildFinder* finder = TControlEvents::Finder(Parent);
  // The children of a batch not covered yet are fetched together, then their places,
  // then they are put one by one.
  std::vector<const TControl*> fetched;
  std::vector<std::pair<size_t, const TControl*>> coming;
  const bool ordered =
      finder && finder->ComposedTopDown(area, [&](const TChildFinder::TFound* Found, size_t Count) {
        fetched.clear();
        for (size_t i = 0; i < Count; ++i) {
          if (taken.Covers(ToQRect(Found[i].Bounds))) continue;
          TControlEvents::FetchSlot(*Found[i].Child);
          __builtin_prefetch(Found[i].Child);  // what it is, to ask for its pictures
          fetched.push_back(Found[i].Child);
        }
        coming.clear();
        for (const TControl* child : fetched) {
          size_t slot = 0;
          if (!TControlEvents::WindowlessSlot(Parent, *child, slot)) continue;
          // A place and its cover take two cache lines.
          __builtin_prefetch(&places[slot]);
          __builtin_prefetch(reinterpret_cast<const char*>(&places[slot]) + 64);
          coming.emplace_back(slot, child);
        }
        for (const auto& [slot, child] : coming) {
          if (places[slot].visible && places[slot].face &&
              !put(slot, static_cast<const TGraphicControl&>(*child))) {
            return false;
          }
        }
        return true;
      });
  if (ordered) return whole;
  const std::vector<size_t> found = ComposedIn(Parent, Piece);
  for (size_t i = found.size(); i-- > 0;) {
    if (!put(found[i], static_cast<const TGraphicControl&>(*children[found[i]]))) break;
  }
  return whole;
}

// Where the child windows of widget lie that cover what lies under them: those shown
// that fill their background with an opaque brush, or paint every pixel themselves.
QRegion OpaqueChildren(const QWidget& widget) {
  QRegion covered;
  for (const QObject* object : widget.children()) {
    const auto* child = qobject_cast<const QWidget*>(object);
    if (!child || child->isWindow() || child->isHidden() || !child->mask().isEmpty() ||
        child->testAttribute(Qt::WA_TranslucentBackground))
      continue;
    if (child->testAttribute(Qt::WA_OpaquePaintEvent) ||
        (child->autoFillBackground() && child->palette().brush(child->backgroundRole()).isOpaque()))
      covered += child->geometry();
  }
  return covered;
}

}  // namespace

void TWidgetBridge::Paint(QWidget& widget, const QRegion& area) {
  if (!control) return;
  TEventScope scope;
  const TScreenPaint onScreen(widget);
  const std::weak_ptr<char> alive = TControlEvents::Lifetime(*control);
  TNativeWidget& native = NativeOf(*control);
  native.rects_dirty = 0;
  native.all_dirty = false;
  QPainter painter(&widget);
  // The same pixels as the system clip, but readable: a large picture under a few thin
  // dirty strips (the map under its crosshair) draws only those strips. Child windows
  // that fill their whole area are left out: whatever is drawn under them is covered.
  painter.setClipRegion(area - OpaqueChildren(widget));
  TControlEvents::PaintFace(*control, painter);
  if (alive.expired()) return;
  const bool layered = UpdateFaceLayer(widget.size(), area);

  // The windowless children in the area, bottom first. A paint handler may free, hide or
  // move siblings: each child is checked again before it paints.
  std::vector<size_t> found;
  TControlEvents::WindowlessIn(*control, AreaRect(area), found, !layered);
  const std::vector<TControl*>& children = TControlEvents::Windowless(*control);
  const auto& places = TControlEvents::Places(*control);
  std::vector<std::pair<TGraphicControl*, std::weak_ptr<char>>> to_paint;
  for (size_t slot : found) {
    const auto& place = places[slot];
    if ((layered && place.face) || !area.intersects(ToQRect(place.bounds))) continue;
    if (auto* graphic = dynamic_cast<TGraphicControl*>(children[slot])) {
      to_paint.emplace_back(graphic, TControlEvents::Lifetime(*graphic));
    }
  }
  for (const auto& [child, child_alive] : to_paint) {
    if (alive.expired()) return;
    if (!child_alive.expired() && child->Visible())
      TControlEvents::PaintChild(*child, painter, area);
  }
  if (!layered || alive.expired()) return;
  const QImage& layer = NativeOf(*control).face_layer;
  DrawImageParts(painter, layer.rect(), layer, layer.rect(), area);
}

bool TWidgetBridge::UpdateFaceLayer(const QSize& size, const QRegion& area) {
  TNativeWidget& native = NativeOf(*control);
  if (!native.layered_faces) return false;
  QImage& layer = native.face_layer;
  if (layer.size() != size) {
    layer = QImage();
    if (size.isEmpty() || qint64{size.width()} * size.height() > kMaxLayerPixels) return false;
    layer = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) return false;
    native.layer_dirt.Reset(size);
  }
  // Only what is shown now: the rest of a large surface (a map scrolled to one corner)
  // is composed when it comes into view.
  const std::vector<QRect> dirty = native.layer_dirt.Take(area.boundingRect() & layer.rect());
  if (dirty.empty()) return true;
  const std::vector<TControl*>& children = TControlEvents::Windowless(*control);
  for (const QRect& dirtyRect : dirty) {
    // Dirty tiles may reach past the layer's edge.
    for (const QRect& rect : Pieces(dirtyRect & layer.rect())) {
      // Each piece alone: a child drawn beyond it would cover what lies above it there.
      ClearPiece(layer, rect);
      if (ComposeTopDown(*control, layer, rect)) continue;
      // Drawn from the bottom up instead.
      ClearPiece(layer, rect);
      std::vector<size_t> found = ComposedIn(*control, rect);
      KeepShowing(*control, rect, found);
      // Children kept composed change no control while they paint.
      for (size_t slot : found)
        ComposeChild(static_cast<TGraphicControl&>(*children[slot]), layer, rect);
    }
  }
  return true;
}

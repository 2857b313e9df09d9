// Painting a windowed control's surface with its windowless children on it.
#include <algorithm>
#include <memory>
#include <vector>

#include <QPainter>

#include "platform/gui/bitmap_qt.h"
#include "platform/gui/canvas_qt.h"
#include "platform/gui/win_control_qt.h"

namespace {

// Beyond this a layer of picture children would cost more memory than it saves time.
constexpr qint64 kMaxLayerPixels = qint64{32} << 20;

}  // namespace

void TWidgetBridge::Paint(QWidget& widget, const QRegion& area) {
  if (!control) return;
  TEventScope scope;
  const std::weak_ptr<char> alive = TControlEvents::Lifetime(*control);
  QPainter painter(&widget);
  // The same pixels as the system clip, but readable: a large picture under a few thin
  // dirty strips (the map under its crosshair) draws only those strips.
  painter.setClipRegion(area);
  TControlEvents::PaintFace(*control, painter);
  if (alive.expired()) return;
  const bool layered = UpdateFaceLayer(widget.size());

  // The windowless children in the area, bottom first. A paint handler may free, hide or
  // move siblings; once a child has left, each one still to paint is looked up again.
  const std::vector<TControl*>& children = TControlEvents::Children(*control);
  const auto& places = TControlEvents::Places(*control);
  std::vector<TGraphicControl*> to_paint;
  for (size_t i = 0; i < places.size(); ++i) {
    const auto& place = places[i];
    if (!place.visible || (layered && place.face) || !area.intersects(ToQRect(place.bounds))) {
      continue;
    }
    if (auto* graphic = dynamic_cast<TGraphicControl*>(children[i])) to_paint.push_back(graphic);
  }
  const unsigned removals = TControlEvents::Removals(*control);
  for (TGraphicControl* child : to_paint) {
    if (alive.expired()) return;
    if (TControlEvents::Removals(*control) != removals &&
        std::find(children.begin(), children.end(), child) == children.end()) {
      continue;
    }
    if (child->Visible()) TControlEvents::PaintChild(*child, painter, area);
  }
  if (!layered || alive.expired()) return;
  const QImage& layer = NativeOf(*control).face_layer;
  DrawImageParts(painter, layer.rect(), layer, layer.rect(), area);
}

bool TWidgetBridge::UpdateFaceLayer(const QSize& size) {
  TNativeWidget& native = NativeOf(*control);
  if (!native.layered_faces) return false;
  QImage& layer = native.face_layer;
  if (layer.size() != size) {
    layer = QImage();
    if (size.isEmpty() || qint64{size.width()} * size.height() > kMaxLayerPixels) return false;
    layer = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) return false;
    native.layer_dirty = layer.rect();
  }
  const QRegion dirty = std::exchange(native.layer_dirty, QRegion()) & layer.rect();
  if (dirty.isEmpty()) return true;
  QPainter painter(&layer);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  for (const QRect& rect : dirty) painter.fillRect(rect, Qt::transparent);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  const std::vector<TControl*>& children = TControlEvents::Children(*control);
  const auto& places = TControlEvents::Places(*control);
  for (size_t i = 0; i < places.size(); ++i) {
    const auto& place = places[i];
    if (!place.visible || !place.face || !dirty.intersects(ToQRect(place.bounds))) continue;
    // Pictures are copied, never painted by a handler: nothing can change under us here.
    TControlEvents::PaintChild(static_cast<TGraphicControl&>(*children[i]), painter, dirty);
  }
  return true;
}

// A busy feed changes the map, the station list and the monitor hundreds of times
// between two frames of the screen. Qt repaints a window on the first pass of the event
// loop after each change, so every packet would cost a paint of everything it touched;
// instead a window's repaint waits until a frame has passed since its last one, and the
// changes made meanwhile are painted together. A window whose paints take long (a map
// with tens of thousands of stations under a full feed) waits longer, so that painting
// takes at most a quarter of the time and the feed keeps up.
#include "platform/gui/frame_pacing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace {

constexpr qint64 kFrameMs = 16;
constexpr qint64 kRestPerPaint = 3;  // times a paint's own time between two paints
// Per window: when it may paint again, and whether a paint waits for that.
constexpr const char* kNextPaint = "velmoraNextPaint";
constexpr const char* kPaintWaits = "velmoraPaintWaits";
int paint_now = 0;  // TPaintNow scopes open on the GUI thread

class TFramePacer : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::UpdateRequest || !watched->isWidgetType()) return false;
    const qint64 start = clock_.elapsed();
    const QVariant next = watched->property(kNextPaint);
    const qint64 wait = next.isValid() ? next.toLongLong() - start : 0;
    if (wait <= 0 || paint_now > 0) {
      // The paint, timed: the event goes on from here, past the filters.
      const QPointer<QObject> alive = watched;
      watched->event(event);
      if (!alive) return true;
      const qint64 end = clock_.elapsed();
      watched->setProperty(kNextPaint,
                           std::max(start + kFrameMs, end + kRestPerPaint * (end - start)));
      return true;
    }
    if (!watched->property(kPaintWaits).toBool()) {
      watched->setProperty(kPaintWaits, true);
      // The timer goes with the window; the dirty region stays with Qt meanwhile.
      QTimer::singleShot(static_cast<int>(wait), watched, [watched] {
        watched->setProperty(kPaintWaits, false);
        QCoreApplication::postEvent(watched, new QEvent(QEvent::UpdateRequest),
                                    Qt::LowEventPriority);
      });
    }
    return true;
  }

 private:
  QElapsedTimer clock_ = [] {
    QElapsedTimer clock;
    clock.start();
    return clock;
  }();
};

}  // namespace

TPaintNow::TPaintNow() {
  ++paint_now;
}

TPaintNow::~TPaintNow() {
  --paint_now;
}

void InstallFramePacing(QObject& Application) {
  Application.installEventFilter(new TFramePacer(&Application));
}

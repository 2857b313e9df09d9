// A busy feed changes the map, the station list and the monitor hundreds of times
// between two frames of the screen. Qt repaints a window on the first pass of the event
// loop after each change, so every packet would cost a paint of everything it touched;
// instead a window's repaint waits until a frame has passed since its last one, and the
// changes made meanwhile are painted together.
#include "platform/gui/frame_pacing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace {

constexpr qint64 kFrameMs = 16;
// Per window: when it last painted, and whether a paint waits for the next frame.
constexpr const char* kLastPaint = "velmoraLastPaint";
constexpr const char* kPaintWaits = "velmoraPaintWaits";
int paint_now = 0;  // TPaintNow scopes open on the GUI thread

class TFramePacer : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::UpdateRequest || !watched->isWidgetType()) return false;
    const qint64 now = clock_.elapsed();
    const QVariant last = watched->property(kLastPaint);
    const qint64 since = last.isValid() ? now - last.toLongLong() : kFrameMs;
    if (since >= kFrameMs || paint_now > 0) {
      watched->setProperty(kLastPaint, now);
      return false;
    }
    if (!watched->property(kPaintWaits).toBool()) {
      watched->setProperty(kPaintWaits, true);
      // The timer goes with the window; the dirty region stays with Qt meanwhile.
      QTimer::singleShot(static_cast<int>(kFrameMs - since), watched, [watched] {
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

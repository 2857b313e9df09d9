// A busy feed changes the map, the station list and the monitor hundreds of times
// between two frames of the screen. Qt repaints a window on the first pass of the event
// loop after each change, so every packet would cost a paint of everything it touched;
// instead a window's repaint waits until a frame has passed since its last one, and the
// changes made meanwhile are painted together. A window whose paints take long (a map
// with tens of thousands of stations under a full feed) waits longer, so that painting
// takes at most a quarter of the time and the feed keeps up.
//
// That time is the GUI thread's own: what it ran and what it waited for events, not
// what the system gave to other programs. On a busy machine a paint's rest counted on
// the wall clock would leave the feed less than three times the paint's time.
#include "platform/gui/controls/frame_pacing.h"

#include <time.h>

#include <QAbstractEventDispatcher>
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
// Whatever the thread's own time says, a paint waits no longer than this many times
// its wall time (and a frame).
constexpr qint64 kLongestRestPerPaint = 10;
// Per window: when it may paint again (wall clock ms, own time us, and at the latest),
// and whether a paint waits for that.
constexpr const char* kNextPaint = "velmoraNextPaint";
constexpr const char* kRestUntil = "velmoraRestUntil";
constexpr const char* kLatestPaint = "velmoraLatestPaint";
constexpr const char* kPaintWaits = "velmoraPaintWaits";
int paint_now = 0;  // TPaintNow scopes open on the GUI thread

qint64 ThreadCpuUs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<qint64>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

class TFramePacer : public QObject {
 public:
  explicit TFramePacer(QObject* Parent) : QObject(Parent) {
    clock_.start();
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance()) {
      connect(loop, &QAbstractEventDispatcher::aboutToBlock, this,
              [this] { blocked_since_ = clock_.nsecsElapsed() / 1000; });
      connect(loop, &QAbstractEventDispatcher::awake, this, [this] {
        if (blocked_since_ < 0) return;
        idle_us_ += clock_.nsecsElapsed() / 1000 - blocked_since_;
        blocked_since_ = -1;
      });
    } else {
      wall_only_ = true;
    }
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::UpdateRequest || !watched->isWidgetType()) return false;
    const qint64 start = clock_.elapsed();
    const qint64 own_start = OwnUs();
    const QVariant next = watched->property(kNextPaint);
    const QVariant rest_until = watched->property(kRestUntil);
    const QVariant latest = watched->property(kLatestPaint);
    const qint64 frame_wait = next.isValid() ? next.toLongLong() - start : 0;
    qint64 rest_wait =
        rest_until.isValid() ? (rest_until.toLongLong() - own_start + 999) / 1000 : 0;
    if (latest.isValid()) rest_wait = std::min(rest_wait, latest.toLongLong() - start);
    const qint64 wait = std::max(frame_wait, rest_wait);
    if (wait <= 0 || paint_now > 0) {
      // The paint, timed: the event goes on from here, past the filters.
      const QPointer<QObject> alive = watched;
      watched->event(event);
      if (!alive) return true;
      const qint64 end = clock_.elapsed();
      const qint64 own_end = OwnUs();
      watched->setProperty(kNextPaint, start + kFrameMs);
      watched->setProperty(kRestUntil, own_end + kRestPerPaint * (own_end - own_start));
      watched->setProperty(kLatestPaint,
                           std::max(start + kFrameMs, end + kLongestRestPerPaint * (end - start)));
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
  // The thread's own time: what it ran and what it waited for events.
  qint64 OwnUs() const {
    if (wall_only_) return clock_.nsecsElapsed() / 1000;
    return ThreadCpuUs() + idle_us_;
  }

  QElapsedTimer clock_;
  qint64 idle_us_ = 0;
  qint64 blocked_since_ = -1;
  bool wall_only_ = false;
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

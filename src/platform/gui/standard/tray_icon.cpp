#include "platform/gui/standard/tray_icon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWindowStateChangeEvent>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

TShiftState KeyboardShift() {
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  TShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  return shift;
}

QIcon IconOf(const TBitmap& bitmap) {
  if (bitmap.Empty()) {
    QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) return icon;
    QPixmap plain(16, 16);
    plain.fill(Qt::darkBlue);
    return QIcon(plain);
  }
  return QIcon(QPixmap::fromImage(BitmapImage(bitmap)));
}

class TMinimizeWatcher : public QObject {
 public:
  std::function<void()> on_minimized;

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::WindowStateChange) return false;
    auto* widget = qobject_cast<QWidget*>(parent());
    if (widget && (widget->windowState() & Qt::WindowMinimized) && on_minimized) {
      Dispatch(on_minimized);
    }
    return false;
  }
};

}  // namespace

struct TTrayIcon::Impl {
  std::unique_ptr<QSystemTrayIcon> icon;
  QPointer<TMinimizeWatcher> watcher;
};

TTrayIcon::TTrayIcon() : impl_(std::make_unique<Impl>()) {}

TTrayIcon::~TTrayIcon() {
  Remove();
  // The watcher belongs to the form's window; it only has to stop calling us.
  if (impl_->watcher) impl_->watcher->on_minimized = nullptr;
}

bool TTrayIcon::Available() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TTrayIcon::Add(const TBitmap& Icon, const std::string& Tip) {
  if (!Available()) return false;
  impl_->icon = std::make_unique<QSystemTrayIcon>(IconOf(Icon));
  impl_->icon->setToolTip(ToQString(Tip));
  QObject::connect(impl_->icon.get(), &QSystemTrayIcon::activated,
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     if (!OnMessage) return;
                     const QPoint cursor = QCursor::pos();
                     const TPoint at = Point(cursor.x(), cursor.y());
                     const TShiftState shift = KeyboardShift();
                     auto send = [&](TTrayMessage message) {
                       Dispatch([&] { OnMessage(message, shift, at); });
                     };
                     switch (reason) {
                       case QSystemTrayIcon::Trigger:
                         send(tmLeftDown);
                         send(tmLeftUp);
                         break;
                       case QSystemTrayIcon::DoubleClick:
                         send(tmLeftDblClick);
                         break;
                       case QSystemTrayIcon::Context:
                         send(tmRightDown);
                         send(tmRightUp);
                         break;
                       case QSystemTrayIcon::MiddleClick:
                         send(tmMiddleDown);
                         send(tmMiddleUp);
                         break;
                       default:
                         break;
                     }
                   });
  impl_->icon->show();
  return true;
}

void TTrayIcon::Modify(const TBitmap& Icon, const std::string& Tip) {
  if (!impl_->icon) return;
  impl_->icon->setIcon(IconOf(Icon));
  impl_->icon->setToolTip(ToQString(Tip));
}

void TTrayIcon::Remove() {
  impl_->icon.reset();
}

bool TTrayIcon::Shown() const {
  return impl_->icon != nullptr;
}

void TTrayIcon::WatchMinimize(TForm& Form, std::function<void()> OnMinimized) {
  QWidget* host = HostOf(Form);
  if (impl_->watcher) impl_->watcher->deleteLater();
  auto* watcher = new TMinimizeWatcher;
  watcher->setParent(host);
  watcher->on_minimized = std::move(OnMinimized);
  host->installEventFilter(watcher);
  impl_->watcher = watcher;
}

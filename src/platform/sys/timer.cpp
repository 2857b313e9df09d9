#include "platform/sys/timer.h"

#include <QTimer>

#include <algorithm>
#include <climits>

#include "platform/sys/application.h"

struct TTimer::Impl {
  // Owned by pointer: when the handler frees its own timer, the QTimer that is still
  // emitting must outlive the call, so it is then handed to Qt to delete later.
  QTimer* timer = new QTimer;
  bool firing = false;
  bool* destroyed_while_firing = nullptr;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), impl_(std::make_unique<Impl>()) {
  QObject::connect(impl_->timer, &QTimer::timeout, [this] { Fire(); });
  Restart();
}

TTimer::~TTimer() {
  impl_->timer->stop();
  QObject::disconnect(impl_->timer, nullptr, nullptr, nullptr);
  if (impl_->firing) {
    *impl_->destroyed_while_firing = true;
    impl_->timer->deleteLater();
  } else {
    delete impl_->timer;
  }
}

void TTimer::SetInterval(unsigned Milliseconds) {
  if (Milliseconds == interval_) return;
  interval_ = Milliseconds;
  Restart();
}

void TTimer::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  Restart();
}

void TTimer::Restart() {
  impl_->timer->stop();
  if (enabled_ && interval_ > 0) {
    impl_->timer->setInterval(static_cast<int>(std::min<unsigned>(interval_, INT_MAX)));
    impl_->timer->start();
  }
}

void TTimer::Fire() {
  if (!OnTimer) return;
  // A copy, because the handler may free this timer and with it OnTimer.
  const TNotifyEvent handler = OnTimer;
  bool destroyed = false;
  impl_->firing = true;
  impl_->destroyed_while_firing = &destroyed;
  Dispatch([&] { handler(this); });
  if (destroyed) return;
  impl_->firing = false;
  impl_->destroyed_while_firing = nullptr;
}

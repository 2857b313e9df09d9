#include "devices/gps_rx.h"

#include "platform/sys/timer.h"

namespace {

// Receivers raise a line or two of their own power supply; the port settles a second
// after closing before it may be opened again.
constexpr TRs232Profile kGpsPortProfile{.RaiseDtr = true, .RaiseRts = true, .CloseWaitMs = 1000};

}  // namespace

TGpsRx::TGpsRx(TComponent* AOwner)
    : TComponent(AOwner),
      dec_(new TNmeaDec(this)),
      timer_(new TTimer(this)),
      port_(kGpsPortProfile) {
  timer_->SetEnabled(false);
  timer_->SetInterval(kGpsTimeOutTickMs);
  timer_->OnTimer = [this](TComponent*) { TimeOutTick(); };
  port_.OnReceive = [this] { ReadAndDecodeGps(); };
  // An unplugged receiver stops the component as a user's stop would.
  port_.OnDeviceLost = [this] {
    Stopped();
    if (OnGpsLost) OnGpsLost(this);
  };
  dec_->SilentTicks = 0;
}

TGpsRx::~TGpsRx() {
  port_.CloseRs232();
}

void TGpsRx::SetRun(bool Value) {
  run_switch_.Request(Value, [this](bool Run) { Switch(Run); });
}

void TGpsRx::Switch(bool Value) {
  if (Value) {
    std::string error;
    const bool opened =
        Device.empty()
            ? port_.OpenRs232(ComPort, unsigned(Baudrate), TSerialFlow::None, error)
            : port_.OpenRs232Device(Device, unsigned(Baudrate), TSerialFlow::None, error);
    if (opened) {
      Running = true;
      if (OnGpsActivate) OnGpsActivate(this);
    }
    dec_->SilentTicks = 0;
    timer_->SetEnabled(Running);
  } else {
    port_.CloseRs232();
    Stopped();
  }
}

void TGpsRx::Stopped() {
  Running = false;
  dec_->ClearValid();
  if (OnGpsDeactivate) OnGpsDeactivate(this);
  dec_->SilentTicks = 0;
  timer_->SetEnabled(false);
}

void TGpsRx::TimeOutTick() {
  if (dec_->SilentTicks > 1) {
    dec_->ClearValid();
    if (OnGpsTimeOut) OnGpsTimeOut(this);
  }
  ++dec_->SilentTicks;
}

bool TGpsRx::TimerEnabled() const {
  return timer_->Enabled();
}

void TGpsRx::ReadAndDecodeGps() {
  std::string text;
  std::uint8_t buffer[TRs232::kRs232MaxRead];
  int waiting = 0;
  while (port_.Rs232Open() == 1 && (waiting = port_.Rs232BytesAvailable()) > 0) {
    unsigned read = 0;
    if (!port_.ReadRs232(buffer, unsigned(waiting), read) || read == 0) break;
    text.append(reinterpret_cast<const char*>(buffer), read);
  }
  if (!text.empty()) dec_->FeedNmeaText(text);
}

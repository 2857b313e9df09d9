// A timer on the GUI thread: calls OnTimer every Interval milliseconds while Enabled.
//
// New timers are enabled with an interval of 1000 ms, like the windows' timers expect.
// Changing Interval or switching Enabled on starts the period afresh. An interval of 0
// stops the timer. OnTimer runs through Dispatch, so an exception in it is reported and
// the timer keeps running. Tests may call OnTimer directly instead of waiting.
#pragma once

#include <memory>

#include "platform/sys/component.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner = nullptr);
  ~TTimer() override;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned Milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);

  TNotifyEvent OnTimer;

  std::string ClassName() const override { return "TTimer"; }

 private:
  void Restart();
  void Fire();

  struct Impl;
  std::unique_ptr<Impl> impl_;
  unsigned interval_ = 1000;
  bool enabled_ = true;
};

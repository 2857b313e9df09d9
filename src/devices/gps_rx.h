// The GPS receiver on its serial port: NMEA 0183 at 4800 baud, 8N1, DTR and RTS raised
// after opening (some receivers draw their power from them).
//
// Everything received goes to the component's NMEA decoder (nmea_dec.h), whose records
// GetGGA ... GetRMC copy out. A timer ticks every 3000 ms while running; at a tick that
// finds no line decoded during the two ticks before, the records are marked stale and
// OnGpsTimeOut fires, and again at every further silent tick.
#pragma once

#include <memory>
#include <string>

#include "core/rs232.h"
#include "devices/nmea_dec.h"
#include "platform/sys/component.h"

class TTimer;

constexpr unsigned kGpsTimeOutTickMs = 3000;

class TGpsRx : public TComponent {
 public:
  explicit TGpsRx(TComponent* AOwner = nullptr);
  ~TGpsRx() override;

  bool Run() const { return Running; }
  // True opens the port (nothing happens when it cannot be opened); false closes it
  // and always fires OnGpsDeactivate. Asked again during the second a close waits,
  // the receiver ends as last asked.
  void SetRun(bool Value);

  // The line events are the decoder's: it fires them with itself as Sender.
  void SetOnDataError(TNotifyEvent Handler) { dec_->OnDataError = std::move(Handler); }
  void SetOnNewData(TOnNewData Handler) { dec_->OnNewData = std::move(Handler); }
  void SetOnNewDataOk(TOnNewDataOk Handler) { dec_->OnNewDataOk = std::move(Handler); }

  void GetGGA(TGpsGGA& Record) const { Record = dec_->GGA; }
  void GetGSA(TGpsGSA& Record) const { Record = dec_->GSA; }
  void GetGSV(TGpsGSV& Record) const { Record = dec_->GSV; }
  void GetRMC(TGpsRMC& Record) const { Record = dec_->RMC; }

  // Text handled exactly as if the receiver had sent it.
  void FeedText(const std::string& Text) { dec_->FeedNmeaText(Text); }

  // The time-out timer's tick; tests call it to drive the clock.
  void TimeOutTick();
  bool TimerEnabled() const;

  TNmeaDec& Decoder() { return *dec_; }

  std::uint8_t ComPort = 1;
  int Baudrate = 4800;
  // The device file to open instead of COMn (a pseudo-terminal in tests); empty: COMn.
  std::string Device;
  bool Running = false;

  // Fired by the component, with itself as Sender.
  TNotifyEvent OnGpsActivate;
  TNotifyEvent OnGpsDeactivate;
  TNotifyEvent OnGpsTimeOut;
  // The receiver was unplugged while running; OnGpsDeactivate has been fired.
  TNotifyEvent OnGpsLost;

  std::string ClassName() const override { return "TGpsRx"; }

 private:
  void Switch(bool Value);
  void ReadAndDecodeGps();
  void Stopped();

  TNmeaDec* dec_;  // owned as a component
  TTimer* timer_;  // owned as a component
  TRs232 port_;
  TRunSwitch run_switch_;
};

// The home weather station on its serial port: opens the port for the chosen station
// family, hands received bytes to that family's receiver, decodes checked frames into
// the one weather record, keeps the one- and five-minute wind peaks and reports every
// update.
//
// WS-2300: 2400 baud, RTS up, DTR down, polled (ws2300.h). WX-200 and WMR-918: 9600
// baud, RTS and DTR up, sending unasked (wx200.h, wmr918.h). All 8N1 without flow
// control.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/rs232.h"
#include "devices/wmr918.h"
#include "devices/ws2300.h"
#include "devices/wx200.h"
#include "devices/wx_data.h"
#include "devices/wx_wind_ring.h"
#include "platform/sys/component.h"

extern const char* const kWxComError;  // "WX-STATION COM ERROR!"

// The record, the wind ring and the decoding of checked frames.
class TWxStnDataReader : public TComponent {
 public:
  explicit TWxStnDataReader(TComponent* AOwner = nullptr);

  // A frame whose checksum passed: decodes it by StationType, updates the wind peaks
  // and fires OnWxDataUpdate. Codes that are no frame of the station type decode
  // nothing but still count as an update.
  void DispatchWxFrame(int Code, const TBuffer64& Frame);

  TWxWindRing Wind;
  TWxStnTyp StationType = wstNIL;
  TWxData Data;
  TNotifyEvent OnWxDataUpdate;

  // Local date and time of decoding, for the record's times; tests drive their own.
  std::function<TDateTime()> Clock = Now;
  // Milliseconds of a monotonic clock, for the wind peaks' intervals; tests drive
  // their own.
  std::function<std::uint64_t()> Ticks = GetTickCount;
  // The WS-2300 decoders' complaints; the platform's plain message box by default.
  std::function<void(const std::string& Text)> ShowFormatError;

  std::string ClassName() const override { return "TWxStnDataReader"; }
};

class TWxStn : public TComponent {
 public:
  explicit TWxStn(TComponent* AOwner = nullptr);
  ~TWxStn() override;

  bool Run() const { return Running; }
  // True opens the port for WxStnTyp (no port for wstNIL, which counts as opened);
  // false closes it. Set the station type first.
  void SetRun(bool Value);

  TWxStnTyp WxStnTyp() const { return reader_->StationType; }
  void SetWxStnTyp(TWxStnTyp Value) { reader_->StationType = Value; }

  void GetWxData(TWxData& Data) const { Data = reader_->Data; }

  std::uint8_t ComPort = 1;
  // The device file to open instead of COMn (a pseudo-terminal in tests); empty: COMn.
  std::string Device;
  bool Running = false;

  TNotifyEvent OnWxActivate;
  TNotifyEvent OnWxDeactivate;
  // Stored in the data reader, which fires it.
  void SetOnWxDataUpdate(TNotifyEvent Handler) { reader_->OnWxDataUpdate = std::move(Handler); }

  // The error box for a port that cannot be opened; ShowErrorBox by default.
  std::function<void(const std::string& Text)> ShowError;

  std::string ClassName() const override { return "TWxStn"; }

 private:
  void ReceiveBytes();
  void Deactivate();

  TWxStnDataReader* reader_;  // owned as a component
  TRs232 port_;
  TWs2300Link ws2300_;
  TWx200Receiver wx200_;
  TWmr918Receiver wmr918_;
};

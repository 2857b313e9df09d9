#include "devices/wx_stn.h"

#include "platform/gui/standard/message_box.h"
#include "platform/text/local_texts.h"

const char* const kWxComError = "WX-STATION COM ERROR!";

namespace {

constexpr unsigned kWs2300Baud = 2400;
constexpr unsigned kSendingStationBaud = 9600;
constexpr std::int64_t kOneMinuteMs = 60 * 1000;

}  // namespace

TWxStnDataReader::TWxStnDataReader(TComponent* AOwner)
    : TComponent(AOwner), ShowFormatError([](const std::string& Text) { ShowMessage(Text); }) {}

void TWxStnDataReader::DispatchWxFrame(int Code, const TBuffer64& Frame) {
  const TDateTime now = Clock();
  switch (StationType) {
    case wstWS2300:
      if (const char* complaint = DecodeWs2300Frame(Code, Frame, Data, now)) {
        if (ShowFormatError) ShowFormatError(LocalText(complaint));
      }
      break;
    case wstWX200:
      DecodeWx200Frame(Code, Frame, Data, now);
      break;
    case wstWMR918:
      DecodeWmr918Frame(Code, Frame, Data, now);
      break;
    case wstNIL:
      break;
  }
  const auto ticks = static_cast<std::int64_t>(Ticks());
  Wind.Update(Data.Wind.Speed, ticks);
  Data.Wind.Peak1Min = Wind.PeakSince(ticks - kOneMinuteMs);
  Data.Wind.Peak5Min = Wind.PeakSince(ticks - 5 * kOneMinuteMs);
  if (OnWxDataUpdate) OnWxDataUpdate(this);
}

TWxStn::TWxStn(TComponent* AOwner)
    : TComponent(AOwner),
      ShowError([](const std::string& Text) { ShowErrorBox(Text); }),
      reader_(new TWxStnDataReader(this)),
      port_({.PurgeOutputAtOpen = true}) {
  auto dispatch = [this](int Code, const TBuffer64& Frame) {
    reader_->DispatchWxFrame(Code, Frame);
  };
  ws2300_.Dispatch = dispatch;
  wx200_.Dispatch = dispatch;
  wmr918_.Dispatch = dispatch;
  ws2300_.SendByte = [this](std::uint8_t Byte) { port_.WriteRs232Buf(&Byte, 0); };
  ws2300_.Purge = [this] { port_.PurgeRs232(); };
  port_.OnReceive = [this] { ReceiveBytes(); };
  // The reader thread polls the WS-2300 between received bytes; the receiving side
  // runs on the GUI thread while the reader waits, so the two never overlap.
  port_.OnReaderIdle = [this] {
    if (reader_->StationType == wstWS2300) ws2300_.ReaderIdle();
  };
  port_.OnDeviceLost = [this] { Deactivate(); };
}

TWxStn::~TWxStn() {
  port_.CloseRs232();
}

void TWxStn::SetRun(bool Value) {
  if (!Value) {
    port_.CloseRs232();
    Deactivate();
    return;
  }
  const TWxStnTyp type = reader_->StationType;
  if (type != wstNIL) {
    port_.CloseRs232();  // the link state is reset only while no reader runs
    ws2300_.Start();
    std::string error;
    const unsigned baud = type == wstWS2300 ? kWs2300Baud : kSendingStationBaud;
    const bool opened = Device.empty()
                            ? port_.OpenRs232(ComPort, baud, TSerialFlow::None, error)
                            : port_.OpenRs232Device(Device, baud, TSerialFlow::None, error);
    if (!opened) {
      if (ShowError) ShowError(LocalText(kWxComError));
      if (OnWxDeactivate) OnWxDeactivate(this);
      return;
    }
    port_.SetRs232Rts(true);
    port_.SetRs232Dtr(type != wstWS2300);  // the WS-2300 is powered from RTS with DTR low
  }
  Running = true;
  if (OnWxActivate) OnWxActivate(this);
}

void TWxStn::Deactivate() {
  Running = false;
  if (OnWxDeactivate) OnWxDeactivate(this);
}

void TWxStn::ReceiveBytes() {
  std::uint8_t buffer[TRs232::kRs232MaxRead];
  unsigned read = 0;
  if (!port_.ReadRs232(buffer, sizeof buffer, read)) return;
  switch (reader_->StationType) {
    case wstWS2300:
      ws2300_.Receive(buffer, read);
      ws2300_.PassDone();
      break;
    case wstWX200:
      wx200_.Receive(buffer, read);
      break;
    case wstWMR918:
      wmr918_.Receive(buffer, read);
      break;
    case wstNIL:
      break;
  }
}

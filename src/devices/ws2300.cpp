#include "devices/ws2300.h"

#include <cmath>

#include "devices/wx_nibbles.h"

const char* const kWs2300FormatErrors[kWs2300FormatErrorCount] = {
    "Temp Format Error!",      "Huminity Format Error!",    "Wind Format Error!",
    "Baro Format Error!",      "SensorState Format Error!", "DecRain Format Error!",
    "DecRainAll Format Error!"};

namespace {

constexpr std::uint8_t kAddressBase = 0x82;
constexpr std::uint8_t kCountBase = 0xC2;
constexpr int kDataStart = 5;  // 4 address acknowledgements and the count's

enum class TWsDecoder { Temperature, Humidity, Wind, Pressure, SensorState, Rain, RainTotal };

struct TWsRequest {
  std::uint16_t Address;  // nibble address
  std::uint8_t Count;     // data bytes
  TWsDecoder Decoder;
};

// Request 1 first.
constexpr std::array<TWsRequest, kWs2300Requests> kRequests{{
    {0x0346, 7, TWsDecoder::Temperature},  // TempIn
    {0x0373, 7, TWsDecoder::Temperature},  // TempOut
    {0x03FB, 3, TWsDecoder::Humidity},     // HumIn
    {0x0419, 3, TWsDecoder::Humidity},     // HumOut
    {0x0527, 6, TWsDecoder::Wind},         // Wind
    {0x05D8, 8, TWsDecoder::Pressure},     // Baro
    {0x05F6, 8, TWsDecoder::Pressure},     // BaroMin
    {0x060A, 8, TWsDecoder::Pressure},     // BaroMax
    {0x054C, 3, TWsDecoder::SensorState},  // SensorState
    {0x04B4, 11, TWsDecoder::Rain},        // Rain1h
    {0x0497, 11, TWsDecoder::Rain},        // Rain24h
    {0x04D2, 8, TWsDecoder::RainTotal},    // RainTotal
}};

std::uint8_t Sum(const TBuffer64& Frame, int First, int End) {
  unsigned sum = 0;
  for (int i = First; i < End; ++i) sum += Frame[i];
  return static_cast<std::uint8_t>(sum);
}

// Halves go to the even neighbour, as everywhere the station's values are rounded.
double RoundEven(double Value) {
  return std::nearbyint(Value);
}

void DecodeTemperature(const std::uint8_t* d, TWxTemperature& T, bool Passed, TDateTime Now) {
  if (!Passed) {
    T.Valid = false;
    return;
  }
  T.Valid = Hi(d[1]) != 0xA && Lo(d[1]) != 0xA;
  if (T.Valid) T.Cur = double(DecimalNibbles({Hi(d[1]), Lo(d[1]), Hi(d[0])})) / 10 - 30;
  T.Max = double(DecimalNibbles({Hi(d[6]), Lo(d[6]), Hi(d[5])})) / 10 - 30;
  T.Min = double(DecimalNibbles({Lo(d[4]), Hi(d[3]), Lo(d[3])})) / 10 - 30;
  T.Time = Now;
}

// A byte whose nibbles are not both decimal digits leaves its field alone.
void SetHumidity(std::uint8_t B, std::uint8_t& Field) {
  if (AllDecimal({Hi(B), Lo(B)})) Field = static_cast<std::uint8_t>(Hi(B) * 10 + Lo(B));
}

void DecodeHumidity(const std::uint8_t* d, TWxHumidity& H, TDateTime Now) {
  H.Valid = Hi(d[0]) != 0xA && Lo(d[0]) != 0xA;
  if (H.Valid) SetHumidity(d[0], H.Cur);
  SetHumidity(d[2], H.Max);
  SetHumidity(d[1], H.Min);
  H.Time = Now;
}

void DecodeWind(const std::uint8_t* d, TWxWind& W, TDateTime Now) {
  W.Valid = Lo(d[0]) == 0;
  if (W.Valid) {
    W.Dir = static_cast<std::uint16_t>(RoundEven(Hi(d[2]) * 22.5));
    W.Speed = double(HexNibbles({Lo(d[2]), Hi(d[1]), Lo(d[1])})) / 10;
  }
  W.Time = Now;
}

void DecodePressure(const std::uint8_t* d, TWxPressure& P, TDateTime Now) {
  P.Valid = true;
  P.Abs = double(DecimalNibbles({Lo(d[2]), Hi(d[1]), Lo(d[1]), Hi(d[0]), Lo(d[0])})) / 10;
  P.Rel = double(DecimalNibbles({Lo(d[7]), Hi(d[6]), Lo(d[6]), Hi(d[5]), Lo(d[5])})) / 10;
  P.Time = Now;
}

void DecodeSensorState(const std::uint8_t* d, TWxSensorState& S, TDateTime Now) {
  S.Valid = true;
  S.Link = Hi(d[0]);
  S.Countdown = static_cast<std::int32_t>(RoundEven(double(HexNibbles({Lo(d[2]), Hi(d[1])})) / 2));
  S.Time = Now;
}

double RainValue(const std::uint8_t* d) {
  return double(DecimalNibbles({Hi(d[2]), Lo(d[2]), Hi(d[1]), Lo(d[1]), Hi(d[0]), Lo(d[0])})) / 100;
}

}  // namespace

void TWs2300Link::Start() {
  ClearFrame();
  LinkState = kWs2300StateReset;
  RequestNo = 1;
  SilentCount = 0;
}

void TWs2300Link::ReaderIdle() {
  if (++SilentCount >= kWs2300SilentPasses) {
    LinkState = kWs2300StateResync;
    SilentCount = 0;
  }
  PassDone();
}

void TWs2300Link::PassDone() {
  if (LinkState == kWs2300StateReset) {
    ClearFrame();
    for (int i = 0; i < 3; ++i) Send(kWs2300Reset);
  } else if (LinkState == kWs2300StateResync) {
    if (Purge) Purge();
    ClearFrame();
    Send(kWs2300Reset);
  }
}

void TWs2300Link::Receive(const std::uint8_t* Bytes, std::size_t Count) {
  SilentCount = 0;
  for (std::size_t i = 0; i < Count; ++i) {
    if (FrameIndex < Frame.size()) Frame[FrameIndex++] = Bytes[i];
  }
  switch (LinkState) {
    case kWs2300StateReset:
      if (Frame[0] == kWs2300ResetAnswer || Frame[1] == kWs2300ResetAnswer ||
          Frame[2] == kWs2300ResetAnswer) {
        if (Purge) Purge();
        RequestNo = 1;
        StartRequest();
      }
      break;
    case kWs2300StateResync:
      if (Frame[0] == kWs2300ResetAnswer) {
        if (Purge) Purge();
        StartRequest();
      }
      break;
    case kWs2300StateData:
      if (FrameIndex == ReplyLength + 1) {
        if (Sum(Frame, kDataStart, ReplyLength) == Frame[ReplyLength] && Dispatch) {
          Dispatch(RequestNo, Frame);
        }
        RequestNo = RequestNo % kWs2300Requests + 1;
        if (Purge) Purge();
        StartRequest();
      }
      break;
    default: {  // waiting for the acknowledgement of address byte LinkState - 2
      const int byte = LinkState - kWs2300StateAck1;
      if (byte >= 0 && byte < 4 && Frame[byte] == Acks[byte]) {
        ++LinkState;
        Send(Command[byte + 1]);
      }
      break;
    }
  }
}

void TWs2300Link::BuildWs2300Request() {
  const TWsRequest& r = kRequests[(RequestNo - 1) % kWs2300Requests];
  for (int i = 0; i < 4; ++i) {
    const std::uint8_t nibble = (r.Address >> (12 - 4 * i)) & 0x0F;
    Command[i] = static_cast<std::uint8_t>(kAddressBase + 4 * nibble);
    Acks[i] = static_cast<std::uint8_t>(16 * i + nibble);
  }
  Command[4] = static_cast<std::uint8_t>(kCountBase + 4 * r.Count);
  ReplyLength = static_cast<std::uint8_t>(r.Count + kDataStart);
}

void TWs2300Link::ClearFrame() {
  Frame.fill(0xFF);
  FrameIndex = 0;
}

void TWs2300Link::StartRequest() {
  LinkState = kWs2300StateAck1;
  BuildWs2300Request();
  ClearFrame();
  Send(Command[0]);
}

void TWs2300Link::Send(std::uint8_t Byte) {
  if (SendByte) SendByte(Byte);
}

const char* DecodeWs2300Frame(int Code, const TBuffer64& Frame, TWxData& Data, TDateTime Now) {
  if (Code < 1 || Code > kWs2300Requests) return nullptr;
  const TWsRequest& r = kRequests[Code - 1];
  const std::uint8_t* d = &Frame[kDataStart];
  const bool passed = Sum(Frame, kDataStart, kDataStart + r.Count) == Frame[kDataStart + r.Count];
  switch (r.Decoder) {
    case TWsDecoder::Temperature:
      DecodeTemperature(d, Code == 1 ? Data.TempIn : Data.TempOut, passed, Now);
      return passed ? nullptr : kWs2300FormatErrors[0];
    case TWsDecoder::Humidity:
      if (!passed) return kWs2300FormatErrors[1];
      DecodeHumidity(d, Code == 3 ? Data.HumIn : Data.HumOut, Now);
      return nullptr;
    case TWsDecoder::Wind:
      if (!passed) return kWs2300FormatErrors[2];
      DecodeWind(d, Data.Wind, Now);
      return nullptr;
    case TWsDecoder::Pressure: {
      TWxPressure& p = Code == 6 ? Data.Baro : Code == 7 ? Data.BaroMin : Data.BaroMax;
      if (!passed) {
        p.Valid = false;
        return kWs2300FormatErrors[3];
      }
      DecodePressure(d, p, Now);
      return nullptr;
    }
    case TWsDecoder::SensorState:
      if (!passed) {
        Data.SensorState.Valid = false;
        return kWs2300FormatErrors[4];
      }
      DecodeSensorState(d, Data.SensorState, Now);
      return nullptr;
    case TWsDecoder::Rain: {
      TWxRain& rain = Code == 10 ? Data.Rain1h : Data.Rain24h;
      rain.Valid = passed;
      if (!passed) return kWs2300FormatErrors[5];
      rain.Value = RainValue(d);
      rain.Time = Now;
      return nullptr;
    }
    case TWsDecoder::RainTotal:
      Data.RainTotal.Valid = passed;
      if (!passed) return kWs2300FormatErrors[6];
      Data.RainTotal.Value = RainValue(d);
      Data.RainTotal.Time = Now;
      return nullptr;
  }
  return nullptr;
}

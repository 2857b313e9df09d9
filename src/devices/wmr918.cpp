#include "devices/wmr918.h"

#include "devices/wx_nibbles.h"

namespace {

constexpr std::uint8_t kSync = 0xFF;
constexpr int kTypeByte = 3;
constexpr int kFlagsByte = 4;
constexpr std::uint8_t kInvalidBit = 0x40;
constexpr std::uint8_t kTemperatureSignBit = 0x80;
constexpr double kPressureOffset = 600;  // hPa

enum : std::uint8_t {
  kTypeWind = 0,
  kTypeRain = 1,
  kTypeClock = 2,
  kTypeOutdoor = 3,
  kTypeIndoor = 6
};

// Where the checksum stands for that type; 0 for a type the station does not send.
int ChecksumPosition(std::uint8_t Type) {
  switch (Type) {
    case kTypeWind:
      return 11;
    case kTypeRain:
      return 16;
    case kTypeClock:
      return 9;
    case kTypeOutdoor:
      return 9;
    case kTypeIndoor:
      return 14;
    default:
      return 0;
  }
}

template <class TValue>
void TrackExtremes(bool WasValid, TValue Cur, TValue& Max, TValue& Min) {
  if (!WasValid) Max = Min = Cur;
  if (Cur > Max) Max = Cur;
  if (Cur < Min) Min = Cur;
}

// Temperature from f5 and f6, humidity from f7.
void DecodeTemperatureHumidity(const TBuffer64& f, bool Valid, TWxTemperature& T, TWxHumidity& H,
                               TDateTime Now) {
  const bool tempWasValid = T.Valid;
  const bool humWasValid = H.Valid;
  T.Valid = H.Valid = Valid;
  if (!Valid) return;
  const double magnitude =
      double((Hi(f[6]) & 3) * 1000 + Lo(f[6]) * 100 + Hi(f[5]) * 10 + Lo(f[5])) / 10;
  T.Cur = (f[6] & kTemperatureSignBit) ? -magnitude : magnitude;
  TrackExtremes(tempWasValid, T.Cur, T.Max, T.Min);
  T.Time = Now;
  H.Cur = static_cast<std::uint8_t>(Hi(f[7]) * 10 + Lo(f[7]));
  TrackExtremes(humWasValid, H.Cur, H.Max, H.Min);
  H.Time = Now;
}

void DecodePressure(const TBuffer64& f, bool Valid, TWxData& Data, TDateTime Now) {
  TWxPressure& p = Data.Baro;
  const bool wasValid = p.Valid;
  // The sea-level part is sent as decimal digits; a reading with a filler nibble there
  // says nothing about it, so the old value and its extremes stay. Without an old value
  // there is no sea-level pressure to show: the block stays as it was, not valid.
  const bool seaLevelRead =
      AllDecimal({Hi(f[11]), Lo(f[11]), Hi(f[12]), Lo(f[12]), Hi(f[13]), Lo(f[13])});
  if (Valid && !seaLevelRead && !wasValid) return;
  p.Valid = Valid;
  if (!Valid) return;
  p.Abs = double(HexNibbles({Lo(f[10]), Hi(f[9]), Lo(f[9])})) + kPressureOffset;
  TrackExtremes(wasValid, p.Abs, Data.BaroMax.Abs, Data.BaroMin.Abs);
  if (seaLevelRead) {
    p.Rel = double(DecimalNibbles({Hi(f[13]), Lo(f[13]), Hi(f[12]), Lo(f[12])})) +
            (p.Abs - kPressureOffset) + double(DecimalNibbles({Hi(f[11]), Lo(f[11])})) / 100;
    TrackExtremes(wasValid, p.Rel, Data.BaroMax.Rel, Data.BaroMin.Rel);
  }
  p.Time = Now;
}

}  // namespace

void TWmr918Receiver::Receive(const std::uint8_t* Bytes, std::size_t Count) {
  for (std::size_t i = 0; i < Count; ++i) {
    const std::uint8_t b = Bytes[i];
    if (PreviousByte == kSync && b == kSync) {
      Frame.fill(0);
      Frame[1] = Frame[2] = kSync;
      FrameIndex = kTypeByte;
    } else if (FrameIndex < Frame.size()) {
      Frame[FrameIndex] = b;
      const int position = ChecksumPosition(Frame[kTypeByte]);
      if (position != 0 && FrameIndex == position) {
        unsigned sum = 0;
        for (int k = 0; k < position; ++k) sum += Frame[k];
        if (static_cast<std::uint8_t>(sum) == b && Dispatch) Dispatch(Frame[kTypeByte], Frame);
      }
      ++FrameIndex;
    }
    PreviousByte = b;
  }
}

void DecodeWmr918Frame(int Code, const TBuffer64& f, TWxData& Data, TDateTime Now) {
  const bool valid = (f[kFlagsByte] & kInvalidBit) == 0;
  switch (Code) {
    case kTypeWind: {
      TWxWind& w = Data.Wind;
      w.Valid = valid;
      w.Dir = valid ? static_cast<std::uint16_t>(Lo(f[6]) * 100 + Hi(f[5]) * 10 + Lo(f[5])) : 0;
      w.Speed = valid ? Lo(f[9]) * 10 + Hi(f[8]) + Lo(f[8]) / 10.0 : 0;
      if (valid) w.Time = Now;
      break;
    }
    case kTypeRain: {
      auto set = [&](TWxRain& r, double value) {
        r.Valid = valid;
        r.Value = valid ? value : 0;
        if (valid) r.Time = Now;
      };
      set(Data.Rain1h, Lo(f[6]) * 100 + Hi(f[5]) * 10 + Lo(f[5]));
      set(Data.Rain24h, Hi(f[10]) * 1000 + Lo(f[10]) * 100 + Hi(f[9]) * 10 + Lo(f[9]));
      TWxRainTotal& t = Data.RainTotal;
      t.Valid = valid;
      t.Value = valid ? Hi(f[8]) * 1000 + Lo(f[8]) * 100 + Hi(f[7]) * 10 + Lo(f[7]) : 0;
      if (valid) t.Time = Now;
      break;
    }
    case kTypeOutdoor:
      DecodeTemperatureHumidity(f, valid, Data.TempOut, Data.HumOut, Now);
      break;
    case kTypeIndoor:
      DecodeTemperatureHumidity(f, valid, Data.TempIn, Data.HumIn, Now);
      DecodePressure(f, valid, Data, Now);
      break;
    default:  // the clock frame and unknown codes carry nothing the program shows
      break;
  }
}

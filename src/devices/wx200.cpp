#include "devices/wx200.h"

#include "devices/wx_nibbles.h"

namespace {

constexpr std::uint8_t kGroupHumidity = 0x8F;
constexpr std::uint8_t kGroupTemperature = 0x9F;
constexpr std::uint8_t kGroupPressure = 0xAF;
constexpr std::uint8_t kGroupRain = 0xBF;
constexpr std::uint8_t kGroupWind = 0xCF;
constexpr std::uint8_t kNoReading = 0xEE;
constexpr std::uint8_t kSignBit = 0x08;

// Where the checksum stands in a frame of that group; 0 for a byte that is no group.
int ChecksumPosition(std::uint8_t Group) {
  switch (Group) {
    case kGroupHumidity:
      return 34;
    case kGroupTemperature:
      return 33;
    case kGroupPressure:
      return 30;
    case kGroupRain:
      return 13;
    case kGroupWind:
      return 26;
    default:
      return 0;
  }
}

void DecodeHumidity(const TBuffer64& f, int Cur, int MinLow, TWxHumidity& H, TDateTime Now) {
  H.Valid = f[Cur] != kNoReading;
  auto value = [&](std::initializer_list<std::uint8_t> nibbles) {
    return H.Valid ? static_cast<std::uint8_t>(DecimalNibbles(nibbles)) : std::uint8_t(0);
  };
  H.Cur = value({Hi(f[Cur]), Lo(f[Cur])});
  H.Max = value({Hi(f[Cur + 1]), Lo(f[Cur + 1])});
  H.Min = value({Lo(f[MinLow]), Hi(f[MinLow - 1])});
  H.Time = Now;
}

// Three digits in tenths; the top nibble's bit 3 is the sign, its low bits the digit.
double SignedTenths(std::uint8_t Top, std::uint8_t Middle, std::uint8_t Low) {
  const double value = double(DecimalNibbles({std::uint8_t(Top & 7), Middle, Low})) / 10;
  return (Top & kSignBit) ? -value : value;
}

// Temperature block whose current value starts at byte First (Lo of First+1 is its top).
void DecodeTemperature(const TBuffer64& f, int First, int MinByte, TWxTemperature& T,
                       TDateTime Now) {
  T.Valid = HexNibbles({Lo(f[First + 1]), Hi(f[First])}) != kNoReading;
  if (T.Valid) {
    T.Cur = SignedTenths(Lo(f[First + 1]), Hi(f[First]), Lo(f[First]));
    T.Max = SignedTenths(Hi(f[First + 2]), Lo(f[First + 2]), Hi(f[First + 1]));
    T.Min = SignedTenths(Hi(f[MinByte]), Lo(f[MinByte]), Hi(f[MinByte - 1]));
  } else {
    T.Cur = T.Max = T.Min = 0;
  }
  T.Time = Now;
}

}  // namespace

void TWx200Receiver::Receive(const std::uint8_t* Bytes, std::size_t Count) {
  for (std::size_t i = 0; i < Count; ++i) {
    const std::uint8_t b = Bytes[i];
    // The checksum is tried first: a frame whose sum happens to equal a group byte
    // (0xBF for an all-zero rain frame) would otherwise be cut off by its own end.
    const int position = ChecksumPosition(Frame[0]);
    bool completed = false;
    if (position != 0 && FrameIndex == position) {
      unsigned sum = 0;
      for (int k = 0; k < position; ++k) sum += Frame[k];
      completed = static_cast<std::uint8_t>(sum) == b;
    }
    if (!completed && ChecksumPosition(b) != 0) {
      Frame.fill(0xFF);
      FrameIndex = 0;
    }
    Frame[FrameIndex] = b;
    if (completed && Dispatch) Dispatch(Frame[0], Frame);
    FrameIndex = static_cast<std::uint8_t>((FrameIndex + 1) % Frame.size());
  }
}

void DecodeWx200Frame(int Code, const TBuffer64& f, TWxData& Data, TDateTime Now) {
  switch (Code) {
    case kGroupHumidity:
      DecodeHumidity(f, 8, 14, Data.HumIn, Now);
      DecodeHumidity(f, 20, 26, Data.HumOut, Now);
      break;
    case kGroupTemperature:
      DecodeTemperature(f, 1, 8, Data.TempIn, Now);
      DecodeTemperature(f, 16, 23, Data.TempOut, Now);
      break;
    case kGroupPressure:
      Data.Baro.Abs = double(DecimalNibbles({Hi(f[2]), Lo(f[2]), Hi(f[1]), Lo(f[1])}));
      Data.Baro.Rel =
          double(DecimalNibbles({Lo(f[5]), Hi(f[4]), Lo(f[4]), Hi(f[3]), Lo(f[3])})) / 10;
      Data.Baro.Valid = true;
      Data.Baro.Time = Now;
      break;
    case kGroupWind:
      Data.Wind.Dir = static_cast<std::uint16_t>(DecimalNibbles({Hi(f[3]), Lo(f[3]), Hi(f[2])}));
      Data.Wind.Speed = double(DecimalNibbles({Lo(f[5]), Hi(f[4]), Lo(f[4])})) / 10;
      Data.Wind.Valid = true;
      Data.Wind.Time = Now;
      break;
    default:  // rain frames carry nothing the program shows
      break;
  }
}

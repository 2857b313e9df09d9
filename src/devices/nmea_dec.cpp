#include "devices/nmea_dec.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/my_tools.h"
#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

namespace {

constexpr char kLineFeed = 10;
constexpr char kCarriageReturn = 13;

std::uint8_t XorBetween(const std::string& S, std::size_t First, std::size_t End) {
  std::uint8_t sum = 0;
  for (std::size_t i = First; i < End; ++i) sum ^= static_cast<std::uint8_t>(S[i]);
  return sum;
}

std::string Field(int Index, const std::string& S) {
  std::string f;
  GetNmeaField(Index, S, f);
  return f;
}

char CharField(int Index, const std::string& S) {
  return NmeaFieldAsChar(Field(Index, S));
}
int IntField(int Index, const std::string& S) {
  return NmeaFieldAsInt(Field(Index, S));
}
// A whole number within Low to High; 0, no value, for anything else (a satellite number
// of 301 is no 45 in eight bits).
int IntField(int Index, const std::string& S, int Low, int High) {
  const int value = IntField(Index, S);
  return value >= Low && value <= High ? value : 0;
}
template <class T>
T UnsignedField(int Index, const std::string& S) {
  return static_cast<T>(IntField(Index, S, 0, std::numeric_limits<T>::max()));
}
double FloatField(int Index, const std::string& S) {
  return NmeaFieldAsFloat(Field(Index, S));
}

// "hhnnss" of a time field such as "123519.00"; the receiver's fraction is dropped.
std::string TimeText(const std::string& S) {
  return Copy(Field(1, S), 1, 6);
}

// Joins "yymmdd" and "hhnnss" when both have six characters. A date or time that does
// not exist (a receiver's garbage that passed the checksum) leaves Value alone; false
// then.
bool SetStampTime(const std::string& Date, const std::string& Time, TDateTime& Value) {
  if (Date.size() != 6 || Time.size() != 6) return false;
  const auto stamp = TryStampToDateTime(Date + Time);
  if (stamp) Value = *stamp;
  return stamp.has_value();
}

int FieldCount(const std::string& S) {
  return int(std::count(S.begin(), S.end(), ',')) + 1;
}

// The signal id ending a GSV sentence of NMEA 4.11: one hex digit in one field after
// the four that open the sentence and the four of each satellite. "" when there is
// none; any other text there is none either, so a talker has at most 17 sequences.
std::string GsvSignal(const std::string& S) {
  const int fields = FieldCount(S);
  if (fields <= 4 || (fields - 4) % 4 != 1) return {};
  std::string signal = Field(fields - 1, S);
  return signal.size() == 1 && AsciiHexValue(signal[0]) >= 0 ? signal : std::string();
}

}  // namespace

void NmeaChecksum(const std::string& Sentence, std::string& Result) {
  Result.clear();
  if (Sentence.size() < 2 || Sentence.front() != '$' || Sentence.back() != '*') return;
  Result = IntToHex(XorBetween(Sentence, 1, Sentence.size() - 1), 2);
}

void GetNmeaField(int Index, const std::string& Sentence, std::string& Result) {
  Result.clear();
  const std::size_t end = std::min(Sentence.find('*'), Sentence.size());
  std::size_t start = 0;
  for (int i = 0; i < Index; ++i) {
    const std::size_t comma = Sentence.find(',', start);
    if (comma == std::string::npos || comma >= end) return;
    start = comma + 1;
  }
  const std::size_t stop = std::min(Sentence.find(',', start), end);
  Result = Sentence.substr(start, stop - start);
}

char NmeaFieldAsChar(const std::string& Field) {
  return Field.empty() ? 0 : Field[0];
}

int NmeaFieldAsInt(const std::string& Field) {
  const bool negative = !Field.empty() && Field[0] == '-';
  const std::size_t first = negative ? 1 : 0;
  if (Field.size() == first || Field.size() - first > kNmeaMaxIntDigits) return 0;
  int value = 0;
  for (std::size_t i = first; i < Field.size(); ++i) {
    if (!IsAsciiDigit(Field[i])) return 0;
    value = value * 10 + (Field[i] - '0');
  }
  return negative ? -value : value;
}

double NmeaFieldAsFloat(const std::string& Field) {
  const std::size_t first = !Field.empty() && Field[0] == '-' ? 1 : 0;
  const std::size_t point = Field.find('.');
  const std::size_t end = std::min(point, Field.size());
  const std::string whole = Field.substr(first, end - first);
  const std::string fraction = point == std::string::npos ? "" : Field.substr(point + 1);
  auto allDigits = [](const std::string& Text) {
    return std::all_of(Text.begin(), Text.end(), [](char c) { return IsAsciiDigit(c); });
  };
  if (whole.size() + fraction.size() == 0 || !allDigits(whole) || !allDigits(fraction)) return 0;
  const double value = StrToFloatSafe(Field);
  return std::fabs(value) < kNmeaFloatLimit ? value : 0;
}

int CheckNmeaSentence(const std::string& Sentence) {
  const std::string s = Trim(Sentence);
  const std::size_t n = s.size();
  // "$", at least one character, "*", two digits.
  if (n < 5 || n > kNmeaMaxSentence || s[0] != '$' || s[n - 3] != '*') return kNmeaFormatError;
  const int high = AsciiHexValue(s[n - 2]);
  const int low = AsciiHexValue(s[n - 1]);
  if (high < 0 || low < 0) return kNmeaFormatError;
  if (XorBetween(s, 1, n - 3) != high * 16 + low) return kNmeaChecksumError;
  if (s.find(',') == std::string::npos) return kNmeaOther;
  const std::string address = Field(0, s);
  if (NmeaTalker(address).empty()) return kNmeaOther;
  const std::string type = address.substr(3);
  if (type == "GGA") return kNmeaGGA;
  if (type == "GSA") return kNmeaGSA;
  if (type == "GSV") return kNmeaGSV;
  if (type == "RMC") return kNmeaRMC;
  return kNmeaOther;
}

std::string NmeaTalker(const std::string& Address) {
  if (Address.size() != 6 || Address[0] != '$') return {};
  for (std::size_t i = 1; i < 6; ++i) {
    if (Address[i] < 'A' || Address[i] > 'Z') return {};
  }
  // "$P..." is a maker's own sentence, whatever letters follow.
  if (Address[1] == 'P') return {};
  return Address.substr(1, 2);
}

TGnssSystem NmeaSatSystem(const std::string& Talker, int SystemId, int Prn) {
  if (Prn == 0) return TGnssSystem::None;
  if (SystemId >= int(TGnssSystem::Gps) && SystemId <= int(TGnssSystem::NavIC))
    return static_cast<TGnssSystem>(SystemId);
  if (Talker == "GL") return TGnssSystem::Glonass;
  if (Talker == "GA") return TGnssSystem::Galileo;
  if (Talker == "GB" || Talker == "BD") return TGnssSystem::BeiDou;
  if (Talker == "GQ") return TGnssSystem::Qzss;
  if (Talker == "GI") return TGnssSystem::NavIC;
  if (Prn >= 65 && Prn <= 96) return TGnssSystem::Glonass;
  if (Prn >= 201 && Prn <= 237) return TGnssSystem::BeiDou;
  return TGnssSystem::Gps;
}

bool IsSatInUse(const TGpsGSA& Gsa, const TGpsSat& Sat) {
  if (Sat.Prn == 0) return false;
  for (std::size_t i = 0; i < Gsa.Prn.size(); ++i) {
    if (Gsa.Prn[i] == Sat.Prn && Gsa.System[i] == Sat.System) return true;
  }
  return false;
}

TNmeaDec::TNmeaDec(TComponent* AOwner) : TComponent(AOwner) {}

void TNmeaDec::DecodeNmeaSentence(const std::string& Sentence) {
  if (Sentence.empty()) return;
  const int kind = CheckNmeaSentence(Sentence);
  // Fields are read from the checked text, so blanks around the line do not shift them.
  const std::string s = Trim(Sentence);
  // The GSA sentences of one fix come one after the other, one per system.
  if (kind != kNmeaGSA) gsa_run_ = 0;
  switch (kind) {
    case kNmeaGGA:
      DecodeGGA(s);
      break;
    case kNmeaGSA:
      DecodeGSA(s);
      break;
    case kNmeaGSV:
      DecodeGSV(s);
      break;
    case kNmeaRMC:
      DecodeRMC(s);
      break;
    default:
      break;
  }
  if (kind < 0) {
    if (OnDataError) OnDataError(this);
  } else if (OnNewDataOk) {
    OnNewDataOk(this, UpperCase(Field(0, s)));
  }
  if (OnNewData) OnNewData(this, Sentence);
  SilentTicks = 0;
}

void TNmeaDec::FeedNmeaText(const std::string& Text) {
  std::size_t start = 0;
  while (start < Text.size()) {
    std::size_t end = start;
    while (end < Text.size() && Text[end] != kLineFeed && Text[end] != kCarriageReturn) ++end;
    if (end < Text.size()) {
      std::string line = PartialLine + Text.substr(start, end - start);
      PartialLine.clear();
      DecodeNmeaSentence(line);
      start = end + 1;  // skip the line end; CR LF leaves an empty line, which is nothing
    } else {
      PartialLine += Text.substr(start);
      start = end;
    }
    if (PartialLine.size() > kNmeaMaxPartialLine) {
      std::string line;
      line.swap(PartialLine);
      DecodeNmeaSentence(line);
    }
  }
}

void TNmeaDec::ClearValid() {
  GGA.Valid = false;
  GSA.Valid = false;
  GSV.Valid = false;
  RMC.Valid = false;
  // A receiver heard again may speak for other systems; GSV keeps its values meanwhile.
  gsv_sequences_.clear();
}

void TNmeaDec::DecodeGGA(const std::string& S) {
  GGA.Raw = S;
  GGA.Lat = Field(2, S);
  GGA.NS = CharField(3, S);
  GGA.Lon = Field(4, S);
  GGA.EW = CharField(5, S);
  GGA.Quality = CharField(6, S);
  GGA.Sats = UnsignedField<std::uint8_t>(7, S);
  GGA.HDOP = FloatField(8, S);
  GGA.Altitude = FloatField(9, S);
  GGA.GeoidSep = FloatField(11, S);
  GGA.DgpsAge = FloatField(13, S);
  GGA.DgpsStation = UnsignedField<std::uint16_t>(14, S);
  GGA.FixValid = GGA.Quality != '0';
  // GGA carries no date: the local calendar day stands in, also just after UTC midnight.
  SetStampTime(FormatDateTime("yymmdd", Clock()), TimeText(S), GGA.DateTime);
  GGA.Valid = true;
}

void TNmeaDec::DecodeGSA(const std::string& S) {
  GSA.Raw = S;
  GSA.Mode = CharField(1, S);
  GSA.Fix = CharField(2, S);
  GSA.FixValid = GSA.Fix != '0';
  // A GSA straight after another adds its system's satellites to the ones before.
  if (gsa_run_ == 0 || gsa_run_ >= kGsaSystems) {
    gsa_run_ = 0;
    GSA.Prn.fill(0);
    GSA.System.fill(TGnssSystem::None);
  }
  const std::string talker = NmeaTalker(Field(0, S));
  const int systemId = IntField(18, S);
  for (int i = 1; i <= 12; ++i) {
    const auto entry = std::size_t(12 * gsa_run_ + i - 1);
    GSA.Prn[entry] = UnsignedField<std::uint16_t>(i + 2, S);
    GSA.System[entry] = NmeaSatSystem(talker, systemId, GSA.Prn[entry]);
  }
  ++gsa_run_;
  GSA.PDOP = FloatField(15, S);
  GSA.HDOP = FloatField(16, S);
  GSA.VDOP = FloatField(17, S);
  GSA.Valid = true;
}

void TNmeaDec::DecodeGSV(const std::string& S) {
  const std::string talker = NmeaTalker(Field(0, S));
  const std::string signal = GsvSignal(S);
  auto share = std::find_if(gsv_sequences_.begin(), gsv_sequences_.end(), [&](const TGsvShare& t) {
    return t.Talker == talker && t.Signal == signal;
  });
  if (share == gsv_sequences_.end()) {
    // Any two capitals make a talker: the sequences first heard make room for new ones.
    if (gsv_sequences_.size() >= kMaxGsvSequences) gsv_sequences_.erase(gsv_sequences_.begin());
    share = gsv_sequences_.insert(gsv_sequences_.end(), {talker, signal, {}});
  }
  DecodeGsvSequence(S, share->Sequence);
  GSV.Raw1 = share->Sequence.Raw1;
  GSV.Raw2 = share->Sequence.Raw2;
  GSV.Raw3 = share->Sequence.Raw3;
  JoinGsvShares();
  GSV.Valid = true;
}

void TNmeaDec::DecodeGsvSequence(const std::string& S, TGpsGSV& Sequence) {
  const int messages = IntField(1, S);
  const int number = IntField(2, S);
  Sequence.InView = UnsignedField<std::uint8_t>(3, S);
  if (number == 1) Sequence.Raw1 = S;
  if (number == 2) Sequence.Raw2 = S;
  if (number == 3) Sequence.Raw3 = S;
  auto clearSlots = [&Sequence](int First) {
    for (int k = First; k < First + 4; ++k) Sequence.Sat[k - 1] = TGpsSat{};
  };
  if (messages < 2) {
    Sequence.Raw2.clear();
    clearSlots(5);
  }
  if (messages < 3) {
    Sequence.Raw3.clear();
    clearSlots(9);
  }
  if (number >= 1 && number <= 3) {
    const std::string talker = NmeaTalker(Field(0, S));
    // A signal id after the last satellite is no satellite.
    const int fields = FieldCount(S);
    for (int k = 1; k <= 4; ++k) {
      TGpsSat& sat = Sequence.Sat[4 * (number - 1) + k - 1];
      sat = TGpsSat{};
      if (4 * k + 3 >= fields) continue;
      sat.Prn = UnsignedField<std::uint16_t>(4 * k, S);
      sat.Elevation = static_cast<std::int8_t>(IntField(4 * k + 1, S, -90, 90));
      sat.Azimuth = static_cast<std::uint16_t>(IntField(4 * k + 2, S, 0, 360));
      sat.Snr = UnsignedField<std::uint8_t>(4 * k + 3, S);
      sat.System = NmeaSatSystem(talker, 0, sat.Prn);
    }
  }
}

// The twelve slots are shared out one satellite per talker in turn, so every system
// heard shows; each talker's satellites then stand together, in the order sent.
void TNmeaDec::JoinGsvShares() {
  const std::vector<TTalkerSky> heard = SkyByTalker(gsv_sequences_);
  int inView = 0;
  for (const TTalkerSky& sky : heard) inView += sky.InView;
  std::vector<std::size_t> taken(heard.size(), 0);
  const std::size_t slots = GSV.Sat.size();
  for (std::size_t total = 0; total < slots;) {
    const std::size_t before = total;
    for (std::size_t t = 0; t < heard.size() && total < slots; ++t) {
      if (taken[t] < heard[t].Sats.size()) {
        ++taken[t];
        ++total;
      }
    }
    if (total == before) break;
  }
  GSV.Sat.fill(TGpsSat{});
  std::size_t slot = 0;
  for (std::size_t t = 0; t < heard.size(); ++t) {
    for (std::size_t i = 0; i < taken[t]; ++i) GSV.Sat[slot++] = heard[t].Sats[i];
  }
  GSV.InView = static_cast<std::uint8_t>(std::min(inView, 255));
}

// A satellite a talker reports on several signals is one satellite, at its strongest
// signal. The talker's count in view is that of its fullest sequence, or the number of
// satellites its sequences name together when that is more.
std::vector<TNmeaDec::TTalkerSky> TNmeaDec::SkyByTalker(const std::vector<TGsvShare>& Shares) {
  std::vector<TTalkerSky> skies;
  for (const TGsvShare& share : Shares) {
    auto sky = std::find_if(skies.begin(), skies.end(),
                            [&](const TTalkerSky& s) { return s.Talker == share.Talker; });
    if (sky == skies.end()) sky = skies.insert(skies.end(), {share.Talker, {}, 0});
    for (const TGpsSat& sat : share.Sequence.Sat) {
      if (sat.Prn == 0) continue;
      auto same = std::find_if(sky->Sats.begin(), sky->Sats.end(), [&](const TGpsSat& s) {
        return s.Prn == sat.Prn && s.System == sat.System;
      });
      if (same == sky->Sats.end()) {
        sky->Sats.push_back(sat);
      } else {
        same->Snr = std::max(same->Snr, sat.Snr);
      }
    }
    sky->InView = std::max(sky->InView, int(share.Sequence.InView));
  }
  for (TTalkerSky& sky : skies) sky.InView = std::max(sky.InView, int(sky.Sats.size()));
  return skies;
}

void TNmeaDec::DecodeRMC(const std::string& S) {
  RMC.Raw = S;
  RMC.Active = Field(2, S) == "A";
  RMC.Lat = Field(3, S);
  RMC.NS = CharField(4, S);
  RMC.Lon = Field(5, S);
  RMC.EW = CharField(6, S);
  RMC.Speed = FloatField(7, S);
  RMC.Course = FloatField(8, S);
  RMC.Variation = FloatField(10, S);
  RMC.VarEW = CharField(11, S);
  const std::string date = Field(9, S);  // ddmmyy
  // A receiver at cold start sends empty time and date fields: no time is no midnight.
  RMC.TimeValid =
      date.size() == 6 && SetStampTime(date.substr(4, 2) + date.substr(2, 2) + date.substr(0, 2),
                                       TimeText(S), RMC.DateTime);
  RMC.Valid = true;
}

#include "devices/nmea_dec.h"

#include <algorithm>

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
double FloatField(int Index, const std::string& S) {
  return StrToFloatSafe(Field(Index, S));
}

// "hhnnss" of a time field such as "123519.00"; the receiver's fraction is dropped.
std::string TimeText(const std::string& S) {
  return Copy(Field(1, S), 1, 6);
}

// Joins "yymmdd" and "hhnnss" when both have six characters. A date or time that does
// not exist (a receiver's garbage that passed the checksum) leaves Value alone.
void SetStampTime(const std::string& Date, const std::string& Time, TDateTime& Value) {
  if (Date.size() != 6 || Time.size() != 6) return;
  if (const auto stamp = TryStampToDateTime(Date + Time)) Value = *stamp;
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
  int value = 0;
  return TryStrToInt(Field, value) ? value : 0;
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
  gsv_talkers_.clear();
}

void TNmeaDec::DecodeGGA(const std::string& S) {
  GGA.Raw = S;
  GGA.Lat = Field(2, S);
  GGA.NS = CharField(3, S);
  GGA.Lon = Field(4, S);
  GGA.EW = CharField(5, S);
  GGA.Quality = CharField(6, S);
  GGA.Sats = static_cast<std::uint8_t>(IntField(7, S));
  GGA.HDOP = FloatField(8, S);
  GGA.Altitude = FloatField(9, S);
  GGA.GeoidSep = FloatField(11, S);
  GGA.DgpsAge = FloatField(13, S);
  GGA.DgpsStation = static_cast<std::uint16_t>(IntField(14, S));
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
  }
  for (int i = 1; i <= 12; ++i)
    GSA.Prn[std::size_t(12 * gsa_run_ + i - 1)] = static_cast<std::uint8_t>(IntField(i + 2, S));
  ++gsa_run_;
  GSA.PDOP = FloatField(15, S);
  GSA.HDOP = FloatField(16, S);
  GSA.VDOP = FloatField(17, S);
  GSA.Valid = true;
}

void TNmeaDec::DecodeGSV(const std::string& S) {
  const std::string talker = NmeaTalker(Field(0, S));
  auto share = std::find_if(gsv_talkers_.begin(), gsv_talkers_.end(),
                            [&](const TGsvShare& t) { return t.Talker == talker; });
  if (share == gsv_talkers_.end()) share = gsv_talkers_.insert(gsv_talkers_.end(), {talker, {}});
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
  Sequence.InView = static_cast<std::uint8_t>(IntField(3, S));
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
    // Four fields per satellite after the first four; a single field after the last
    // satellite is the signal id of newer receivers, no satellite.
    const int fields = int(std::count(S.begin(), S.end(), ',')) + 1;
    for (int k = 1; k <= 4; ++k) {
      TGpsSat& sat = Sequence.Sat[4 * (number - 1) + k - 1];
      sat = TGpsSat{};
      if (4 * k + 3 >= fields) continue;
      sat.Prn = static_cast<std::uint8_t>(IntField(4 * k, S));
      sat.Elevation = static_cast<std::uint8_t>(IntField(4 * k + 1, S));
      sat.Azimuth = static_cast<std::uint16_t>(IntField(4 * k + 2, S));
      sat.Snr = static_cast<std::uint8_t>(IntField(4 * k + 3, S));
    }
  }
}

// The twelve slots are shared out one satellite per talker in turn, so every system
// heard shows; each talker's satellites then stand together, in the order sent.
void TNmeaDec::JoinGsvShares() {
  std::vector<std::vector<TGpsSat>> heard;
  int inView = 0;
  for (const TGsvShare& share : gsv_talkers_) {
    heard.emplace_back();
    for (const TGpsSat& sat : share.Sequence.Sat) {
      if (sat.Prn != 0) heard.back().push_back(sat);
    }
    inView += share.Sequence.InView;
  }
  std::vector<std::size_t> taken(heard.size(), 0);
  const std::size_t slots = GSV.Sat.size();
  for (std::size_t total = 0; total < slots;) {
    const std::size_t before = total;
    for (std::size_t t = 0; t < heard.size() && total < slots; ++t) {
      if (taken[t] < heard[t].size()) {
        ++taken[t];
        ++total;
      }
    }
    if (total == before) break;
  }
  GSV.Sat.fill(TGpsSat{});
  std::size_t slot = 0;
  for (std::size_t t = 0; t < heard.size(); ++t) {
    for (std::size_t i = 0; i < taken[t]; ++i) GSV.Sat[slot++] = heard[t][i];
  }
  GSV.InView = static_cast<std::uint8_t>(std::min(inView, 255));
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
  if (date.size() == 6) {
    SetStampTime(date.substr(4, 2) + date.substr(2, 2) + date.substr(0, 2), TimeText(S),
                 RMC.DateTime);
  }
  RMC.Valid = true;
}

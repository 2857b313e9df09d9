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
  if (address == "$GPGGA") return kNmeaGGA;
  if (address == "$GPGSA") return kNmeaGSA;
  if (address == "$GPGSV") return kNmeaGSV;
  if (address == "$GPRMC") return kNmeaRMC;
  return kNmeaOther;
}

TNmeaDec::TNmeaDec(TComponent* AOwner) : TComponent(AOwner) {}

void TNmeaDec::DecodeNmeaSentence(const std::string& Sentence) {
  if (Sentence.empty()) return;
  const int kind = CheckNmeaSentence(Sentence);
  // Fields are read from the checked text, so blanks around the line do not shift them.
  const std::string s = Trim(Sentence);
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
  for (int i = 1; i <= 12; ++i) GSA.Prn[i - 1] = static_cast<std::uint8_t>(IntField(i + 2, S));
  GSA.PDOP = FloatField(15, S);
  GSA.HDOP = FloatField(16, S);
  GSA.VDOP = FloatField(17, S);
  GSA.Valid = true;
}

void TNmeaDec::DecodeGSV(const std::string& S) {
  const int messages = IntField(1, S);
  const int number = IntField(2, S);
  GSV.InView = static_cast<std::uint8_t>(IntField(3, S));
  if (number == 1) GSV.Raw1 = S;
  if (number == 2) GSV.Raw2 = S;
  if (number == 3) GSV.Raw3 = S;
  auto clearSlots = [this](int First) {
    for (int k = First; k < First + 4; ++k) GSV.Sat[k - 1] = TGpsSat{};
  };
  if (messages < 2) {
    GSV.Raw2.clear();
    clearSlots(5);
  }
  if (messages < 3) {
    GSV.Raw3.clear();
    clearSlots(9);
  }
  if (number >= 1 && number <= 3) {
    for (int k = 1; k <= 4; ++k) {
      TGpsSat& sat = GSV.Sat[4 * (number - 1) + k - 1];
      sat.Prn = static_cast<std::uint8_t>(IntField(4 * k, S));
      sat.Elevation = static_cast<std::uint8_t>(IntField(4 * k + 1, S));
      sat.Azimuth = static_cast<std::uint16_t>(IntField(4 * k + 2, S));
      sat.Snr = static_cast<std::uint8_t>(IntField(4 * k + 3, S));
    }
  }
  GSV.Valid = true;
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

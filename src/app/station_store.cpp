#include "app/station_store.h"

#include <algorithm>
#include <cmath>

#include "app/packet_dispatcher.h"
#include "app/sound_queue.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "platform/sys/files.h"
#include "platform/text/sysutils.h"

namespace {

constexpr const char* kKeyPrefix = "AAprs";
constexpr long long kRepeatWindowMs = 20000;
constexpr int kNewRxSound = 2;

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string Escaped(const std::string& s) {
  std::string result;
  CsvEscape(s, result);
  return result;
}

// Fields stored as they are still must not break the record: a control character from
// a malformed header or time stamp becomes a blank, and a double quote, which a field
// cannot end with and still be read back, an apostrophe.
std::string Plain(std::string s) {
  for (char& c : s) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    if (c == '"') c = '\'';
  }
  return s;
}

std::string CharCode(char c) {
  return IntToStr(static_cast<unsigned char>(c));
}

std::string Field(int index, const std::string& record) {
  std::string field;
  CsvGetField(index, record, field);
  return field;
}

// The fields that differ between copies of one transmission: times, comment, the road
// it took (digipeaters, and radio or internet: an IGate puts every radio packet on the
// internet as well), header and data, and the status text that only the store writes.
constexpr int kRepeatFields[] = {sfRxStamp,  sfAprsTime, sfComment, sfPort, sfHeardVia,
                                 sfDestCall, sfPath,     sfHeader,  sfData, sfStatusText};

std::string WithoutRepeatFields(std::string record) {
  for (int field : kRepeatFields) CsvSetField(field, "", record);
  return record;
}

bool IsValidKey(const std::string& key) {
  if (key.size() <= std::char_traits<char>::length(kKeyPrefix) || key.rfind(kKeyPrefix, 0) != 0) {
    return false;
  }
  return std::all_of(key.begin(), key.end(), [](char c) { return IsAsciiAlnum(c); });
}

bool ReadStamp(const std::string& stamp, TDateTime& time) {
  try {
    time = StampToDateTime(stamp);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

// A line of "Stn.dat" that the store can use: a key, a readable time last heard and a
// position.
bool IsStationRecord(const std::string& line) {
  TDateTime heard;
  double degrees;
  return IsValidKey(Field(sfKey, line)) && ReadStamp(Field(sfRxStamp, line), heard) &&
         TryStrToFloat(Field(sfLat, line), degrees) && TryStrToFloat(Field(sfLon, line), degrees);
}

}  // namespace

std::string MakeStationKey(const std::string& Owner, const std::string& Name) {
  std::string key = kKeyPrefix;
  for (char c : Trim(Owner) + Trim(Name)) {
    if (IsAsciiAlnum(static_cast<unsigned char>(c))) {
      key += c;
    } else {
      key += CharCode(c);
    }
  }
  return key;
}

std::string StationRecord(const TAprsInfo& Info) {
  std::string record;
  for (const std::string& field : {Info.Key,
                                   Escaped(Info.SrcCall),
                                   Plain(Info.OwnerCall),
                                   Info.LatText,
                                   Info.LonText,
                                   CharCode(Info.SymTable),
                                   CharCode(Info.SymCode),
                                   CharCode(Info.ObjState),
                                   CharCode(Info.PosFormat),
                                   Info.RxStamp,
                                   Plain(Info.AprsTime),
                                   Escaped(Info.Comment),
                                   IntToStr(Info.Port),
                                   Plain(Info.HeardVia),
                                   Plain(Info.DestCall),
                                   Plain(Info.Path),
                                   IntToStr(Info.Altitude),
                                   FloatToStr(Info.Speed),
                                   FloatToStr(Info.Range),
                                   IntToStr(Info.Course),
                                   IntToStr(Info.MicEMsg),
                                   Escaped(Info.Header),
                                   Escaped(Info.Data),
                                   std::string()}) {
    CsvAddField(field, record);
  }
  return record;
}

// --- TStationList --------------------------------------------------------------------------

std::string TStationList::Get(int index) const {
  return Line(index);
}

const std::string& TStationList::Line(int index) const {
  CheckIndex(index, Count());
  return lines_[index];
}

int TStationList::Add(const std::string& text) {
  auto place = std::lower_bound(
      lines_.begin(), lines_.end(), text,
      [this](const std::string& a, const std::string& b) { return CompareStrings(a, b) < 0; });
  const int index = static_cast<int>(place - lines_.begin());
  if (place != lines_.end() && CompareStrings(*place, text) == 0) return index;
  lines_.insert(place, text);
  return index;
}

void TStationList::Insert(int, const std::string&) {
  throw EStringListError("Operation not allowed on sorted list");
}

void TStationList::Delete(int index) {
  CheckIndex(index, Count());
  lines_.erase(lines_.begin() + index);
}

void TStationList::Clear() {
  lines_.clear();
}

int TStationList::Replace(int index, const std::string& text) {
  CheckIndex(index, Count());
  const bool after_previous = index == 0 || CompareStrings(lines_[index - 1], text) < 0;
  const bool before_next = index + 1 == Count() || CompareStrings(text, lines_[index + 1]) < 0;
  if (after_previous && before_next) {
    lines_[index] = text;
    return index;
  }
  Delete(index);
  return Add(text);
}

void TStationList::Assign(std::vector<std::string> Lines) {
  std::stable_sort(Lines.begin(), Lines.end(), [this](const std::string& a, const std::string& b) {
    return CompareStrings(a, b) < 0;
  });
  Lines.erase(std::unique(Lines.begin(), Lines.end(),
                          [this](const std::string& a, const std::string& b) {
                            return CompareStrings(a, b) == 0;
                          }),
              Lines.end());
  lines_ = std::move(Lines);
}

size_t TStationList::MemoryBytes() const {
  size_t bytes = lines_.capacity() * sizeof(std::string);
  for (const std::string& line : lines_) {
    if (line.capacity() > std::string().capacity()) bytes += line.capacity() + 1;
  }
  return bytes;
}

// --- TStationStore -------------------------------------------------------------------------

int TStationStore::IndexOfStation(const std::string& Key) const {
  int first, last;
  CsvFindRange(Key, StationList, first, last);
  return first;
}

bool TStationStore::IsRepeat(const std::string& OldLine, const std::string& NewLine) const {
  if (WithoutRepeatFields(OldLine) != WithoutRepeatFields(NewLine)) return false;
  TDateTime heard;
  // A record whose time cannot be read is replaced rather than kept for ever.
  if (!ReadStamp(Field(sfRxStamp, OldLine), heard)) return false;
  // Whole milliseconds, so that exactly 20 seconds counts as within.
  return std::llround((Clock() - heard) * MSecsPerDay) <= kRepeatWindowMs;
}

void TStationStore::UpdateStation(TAprsInfo Info) {
  if (Trim(Info.LatText).empty() || Trim(Info.LonText).empty()) return;
  Info.Header = Trim(Info.Header);
  Info.Data = Trim(Info.Data);
  std::string comment;
  DosToAnsiUmlauts(Info.Comment, comment);
  Info.Comment = comment;
  if (Trim(Info.SrcCall).empty()) return;
  Info.Key = MakeStationKey(Info.OwnerCall, Info.SrcCall);
  if (Info.ObjState == '_') {
    DeleteStation(Info.Key);
    return;
  }
  if (Info.SymCode != '_') {
    ParseStationComment(Info);
  } else {
    Info.MicEMsg = kWeatherStationMicEMsg;
  }
  std::string line = StationRecord(Info);

  const int index = IndexOfStation(Info.Key);
  if (index >= 0) {
    const std::string& old_line = StationList.Line(index);
    if (IsRepeat(old_line, line)) return;
    const std::string status = Field(sfStatusText, old_line);
    if (!status.empty()) CsvSetField(sfStatusText, status, line);
    views_.DeleteStationRow(Info.Key);
    StationList.Replace(index, line);
  } else {
    StationList.Add(line);
  }
  views_.AddOrUpdateStationRow(line);

  views_.ShowStationOnMap(Info);
  UpdateStationCount();
  if (views_.StationInfoVisible()) {
    if (views_.FollowRx() || views_.ShownKey() == Info.Key) views_.ShowStationInfo(Info.Key);
  }
  if (Sounds != nullptr) {
    if (views_.SoundRxOn()) Sounds->PlaySound(kNewRxSound);
    if (views_.SoundCallOn()) Sounds->SpeakCallsign(Info.SrcCall);
  }
}

void TStationStore::DeleteStation(const std::string& Key) {
  views_.FreeStationMarker(Key);
  int first, last;
  CsvFindRange(Key, StationList, first, last);
  for (int i = last; i >= first && i >= 0; --i) {
    StationList.Delete(i);
    views_.DeleteStationRow(Key);
  }
  views_.DeleteSymbolPlaces(Key);
  views_.DeletePickKey(Key);
  if (views_.StationInfoVisible() && views_.ShownKey() == Key) views_.CloseStationInfo();
  views_.ClearCrosshair(Key);
  UpdateStationCount();
}

void TStationStore::AgeStations() {
  views_.LogTick();
  const int max_age_minutes = views_.StationMaxAgeMinutes();
  // The windows told of a removal may let the timer tick again meanwhile.
  if (max_age_minutes <= 0 || aging_) return;
  aging_ = true;
  struct TAgingDone {
    bool& aging;
    ~TAgingDone() { aging = false; }
  } done{aging_};
  const TDateTime now = Clock();
  const long long max_age_ms = max_age_minutes * 60000LL;
  for (int i = 0; i < StationList.Count();) {
    const std::string& line = StationList.Line(i);
    TDateTime heard;
    // A record whose time cannot be read is left alone; it must not stop the aging
    // of all the others.
    if (ReadStamp(Field(sfRxStamp, line), heard) &&
        std::llround((now - heard) * MSecsPerDay) >= max_age_ms) {
      const std::string key = Field(sfKey, line);
      int first, last;
      CsvFindRange(key, StationList, first, last);
      DeleteStation(key);
      if (first >= 0) i = std::min(i, first);
      continue;
    }
    ++i;
  }
}

void TStationStore::UpdateStationCount() {
  views_.ShowStationCount(IntToStr(StationList.Count()) + " Stationen");
}

bool TStationStore::SetStatusText(const std::string& Key, const std::string& Escaped) {
  const int index = IndexOfStation(Key);
  if (index < 0) return false;
  std::string line = StationList.Line(index);
  CsvSetField(sfStatusText, Escaped, line);
  StationList.Replace(index, line);
  return true;
}

bool TStationStore::LoadStations(const std::string& FileName) {
  if (!FileExists(FileName)) return false;
  TStringList file;
  file.LoadFromFile(FileName);
  std::vector<std::string> lines;
  lines.reserve(file.Count());
  for (int i = 0; i < file.Count(); ++i) {
    std::string line = Trim(file[i]);
    if (IsStationRecord(line)) lines.push_back(std::move(line));
  }
  StationList.Assign(std::move(lines));
  return true;
}

void TStationStore::SaveStations(const std::string& FileName) const {
  StationList.SaveToFile(FileName);
}

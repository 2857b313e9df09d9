#include "app/stations/station_store.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

#include "app/receive/sound_queue.h"
#include "core/aprs_data.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "platform/sys/files.h"
#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

namespace {

constexpr const char* kKeyPrefix = "AAprs";
constexpr long long kRepeatWindowMs = 20000;
constexpr int kNewRxSound = 2;
// Aging removes the stations one by one while they are fewer than this share (1/8) of
// the list, else in one pass over it.
constexpr size_t kBulkShare = 8;

// The windows' batch of station changes, ended however the changes end: a row that
// throws must not leave the station list waiting for an end that never comes.
class TStationChangesBatch {
 public:
  explicit TStationChangesBatch(TStationViews& views) : views_(views) {
    views_.BeginStationChanges();
  }
  ~TStationChangesBatch() { views_.EndStationChanges(); }
  TStationChangesBatch(const TStationChangesBatch&) = delete;
  TStationChangesBatch& operator=(const TStationChangesBatch&) = delete;

 private:
  TStationViews& views_;
};

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
std::string Plain(const std::string& s) {
  std::string plain = BlankControlChars(s);
  ReplaceChar('"', '\'', plain);
  return plain;
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

bool IsRepeatField(int field) {
  return std::find(std::begin(kRepeatFields), std::end(kRepeatFields), field) !=
         std::end(kRepeatFields);
}

// The two records are equal but for the fields that differ between copies of one
// transmission; compared where they lie.
bool SameButRepeatFields(const std::string& a, const std::string& b) {
  for (int field = 0; field < kStationFieldCount; ++field) {
    if (!IsRepeatField(field) && CsvFieldView(field, a) != CsvFieldView(field, b)) return false;
  }
  // Anything after the last field counts too.
  return CsvFieldView(kStationFieldCount, a) == CsvFieldView(kStationFieldCount, b);
}

bool IsValidKey(const std::string& key) {
  if (key.size() <= std::char_traits<char>::length(kKeyPrefix) || key.rfind(kKeyPrefix, 0) != 0) {
    return false;
  }
  return std::all_of(key.begin(), key.end(), [](char c) { return IsAsciiAlnum(c); });
}

bool ReadStamp(const std::string& stamp, TDateTime& time) {
  const std::optional<TDateTime> read = TryStampToDateTime(stamp);
  if (read) time = *read;
  return read.has_value();
}

// A line of "Stn.dat" that the store can use: a key, a readable time last heard and a
// position.
bool IsStationRecord(const std::string& line) {
  TDateTime heard;
  double degrees;
  return IsValidKey(Field(sfKey, line)) && ReadStamp(Field(sfRxStamp, line), heard) &&
         TryStrToFloat(Field(sfLat, line), degrees) && TryStrToFloat(Field(sfLon, line), degrees);
}

// The usable records of a station file; false when there is no file.
bool ReadStationFile(const std::string& FileName, std::vector<std::string>& Lines) {
  if (!FileExists(FileName)) return false;
  TStringList file;
  file.LoadFromFile(FileName);
  Lines.reserve(file.Count());
  for (int i = 0; i < file.Count(); ++i) {
    std::string line = Trim(file[i]);
    if (IsStationRecord(line)) Lines.push_back(std::move(line));
  }
  return true;
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
  record.reserve(256);
  for (const std::string& field : {Info.Key,
                                   Escaped(Info.SrcCall),
                                   Plain(Info.OwnerCall),
                                   FloatToStr(Info.Lat),
                                   FloatToStr(Info.Lon),
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

namespace {

// Lines per chunk: a split makes two of half this.
constexpr size_t kChunkLines = 512;

}  // namespace

std::string TStationList::Get(int index) const {
  return Line(index);
}

TStationList::TOrder TStationList::OrderOf(std::string_view text) {
  TOrder order{};
  const size_t n = std::min(text.size(), order.size());
  for (size_t i = 0; i < n; ++i) order[i] = static_cast<unsigned char>(AsciiUpper(text[i]));
  return order;
}

int TStationList::Compare(const TLine& line, std::string_view text, const TOrder& order) {
  // Unequal beginnings order the lines as the whole texts would: a NUL past the end of
  // the shorter one sorts first, as the shorter text does.
  const int first = std::memcmp(line.order.data(), order.data(), order.size());
  if (first != 0) return first < 0 ? -1 : 1;
  return CompareText(line.text, text);
}

TStationList::TPlace TStationList::Locate(int index) const {
  CheckIndex(index, Count());
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), index);
  const size_t chunk = static_cast<size_t>(after - starts_.begin()) - 1;
  return {chunk, static_cast<size_t>(index - starts_[chunk])};
}

const TStationList::TLine& TStationList::At(int index) const {
  const TPlace place = Locate(index);
  return chunks_[place.chunk][place.offset];
}

const std::string& TStationList::Line(int index) const {
  return At(index).text;
}

void TStationList::Renumber(size_t from) {
  for (size_t chunk = from; chunk < chunks_.size(); ++chunk) {
    starts_[chunk] = chunk == 0 ? 0 : starts_[chunk - 1] + static_cast<int>(chunks_[chunk - 1].size());
  }
}

int TStationList::LowerBound(const std::string& text) const {
  const TOrder order = OrderOf(text);
  const auto before = [&](const TLine& line) { return Compare(line, text, order) < 0; };
  // The first chunk whose last line is not before text, then the place in it.
  const auto chunk = std::partition_point(
      chunks_.begin(), chunks_.end(), [&](const std::vector<TLine>& lines) { return before(lines.back()); });
  if (chunk == chunks_.end()) return count_;
  const auto line = std::partition_point(chunk->begin(), chunk->end(), before);
  return starts_[static_cast<size_t>(chunk - chunks_.begin())] +
         static_cast<int>(line - chunk->begin());
}

void TStationList::InsertAt(int index, const std::string& text) {
  if (chunks_.empty()) {
    chunks_.emplace_back();
    starts_.push_back(0);
  }
  // At the very end the line joins the last chunk.
  TPlace place = index == count_ ? TPlace{chunks_.size() - 1, chunks_.back().size()}
                                 : Locate(index);
  TLine line{TakeText(text), OrderOf(text), heard_.end()};
  Heard(line);
  std::vector<TLine>& lines = chunks_[place.chunk];
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.offset), std::move(line));
  if (lines.size() > kChunkLines) {
    std::vector<TLine> upper(std::make_move_iterator(lines.begin() + kChunkLines / 2),
                             std::make_move_iterator(lines.end()));
    lines.erase(lines.begin() + kChunkLines / 2, lines.end());
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(place.chunk) + 1, std::move(upper));
    starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(place.chunk) + 1, 0);
  }
  ++count_;
  Renumber(place.chunk + 1);
}

void TStationList::EraseAt(int index) {
  const TPlace place = Locate(index);
  std::vector<TLine>& lines = chunks_[place.chunk];
  Unheard(lines[place.offset]);
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(place.offset));
  if (lines.empty()) {
    chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(place.chunk));
    starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(place.chunk));
  }
  --count_;
  Renumber(place.chunk);
}

void TStationList::Heard(TLine& line) {
  TDateTime heard;
  if (!ReadStamp(Field(sfRxStamp, line.text), heard)) {
    line.heard = heard_.end();
    return;
  }
  // Mostly the newest: the end is the place to try first.
  if (spare_heard_.empty()) {
    line.heard = heard_.insert(heard_.end(), {heard, Field(sfKey, line.text)});
    return;
  }
  auto node = spare_heard_.extract(std::prev(spare_heard_.end()));
  node.value().first = heard;
  node.value().second = Field(sfKey, line.text);
  line.heard = heard_.insert(heard_.end(), std::move(node));
}

void TStationList::Unheard(TLine& line) {
  if (line.heard != heard_.end()) heard_.erase(line.heard);
  line.heard = heard_.end();
}

void TStationList::Reheard(TLine& line, const std::string& text) {
  TDateTime after;
  if (line.heard != heard_.end() && CsvFieldView(sfKey, line.text) == CsvFieldView(sfKey, text) &&
      ReadStamp(Field(sfRxStamp, text), after)) {
    // The node keeps its key.
    auto entry = heard_.extract(line.heard);
    entry.value().first = after;
    line.heard = heard_.insert(heard_.end(), std::move(entry));
    line.text = text;
    return;
  }
  Unheard(line);
  line.text = text;
  Heard(line);
}

int TStationList::Add(const std::string& text) {
  const int index = LowerBound(text);
  if (index < count_ && CompareText(Line(index), text) == 0) return index;
  InsertAt(index, text);
  return index;
}

void TStationList::Insert(int, const std::string&) {
  throw EStringListError("Operation not allowed on sorted list");
}

void TStationList::Delete(int index) {
  EraseAt(index);
}

void TStationList::Clear() {
  if (spare_lines_.empty()) {
    spare_lines_.swap(chunks_);
  } else {
    chunks_.clear();
  }
  if (spare_heard_.empty()) {
    spare_heard_.swap(heard_);
  } else {
    heard_.clear();
  }
  starts_.clear();
  count_ = 0;
}

std::string TStationList::TakeText(const std::string& text) {
  while (!spare_lines_.empty() && spare_lines_.back().empty()) spare_lines_.pop_back();
  if (spare_lines_.empty()) return text;
  std::string taken = std::move(spare_lines_.back().back().text);
  spare_lines_.back().pop_back();
  taken.assign(text);
  return taken;
}

int TStationList::Replace(int index, const std::string& text) {
  const TPlace place = Locate(index);
  const TOrder order = OrderOf(text);
  const bool after_previous = index == 0 || Compare(At(index - 1), text, order) < 0;
  const bool before_next = index + 1 == Count() || Compare(At(index + 1), text, order) > 0;
  if (after_previous && before_next) {
    TLine& line = chunks_[place.chunk][place.offset];
    Reheard(line, text);
    line.order = order;
    return index;
  }
  Delete(index);
  return Add(text);
}

void TStationList::Assign(std::vector<std::string> Lines) {
  std::stable_sort(Lines.begin(), Lines.end(), [](const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
  });
  Lines.erase(std::unique(Lines.begin(), Lines.end(),
                          [](const std::string& a, const std::string& b) {
                            return CompareText(a, b) == 0;
                          }),
              Lines.end());
  Clear();
  for (size_t first = 0; first < Lines.size(); first += kChunkLines / 2) {
    const size_t last = std::min(Lines.size(), first + kChunkLines / 2);
    std::vector<TLine>& lines = chunks_.emplace_back();
    lines.reserve(last - first);
    for (size_t i = first; i < last; ++i) {
      TLine& line = lines.emplace_back(TLine{std::move(Lines[i]), {}, heard_.end()});
      line.order = OrderOf(line.text);
      Heard(line);
    }
    starts_.push_back(static_cast<int>(first));
  }
  count_ = static_cast<int>(Lines.size());
}

size_t TStationList::MemoryBytes() const {
  size_t bytes = chunks_.capacity() * sizeof(chunks_[0]) + starts_.capacity() * sizeof(int);
  for (const auto& lines : chunks_) {
    bytes += lines.capacity() * sizeof(TLine);
    for (const TLine& line : lines) {
      if (line.text.capacity() > std::string().capacity()) bytes += line.text.capacity() + 1;
    }
  }
  // A tree node per line: two pointers, a parent, a colour, the time and the key.
  bytes += heard_.size() * (4 * sizeof(void*) + sizeof(std::pair<TDateTime, std::string>));
  return bytes;
}

void TStationList::FindKey(const std::string& Key, int& First, int& Last) const {
  First = -1;
  Last = -1;
  const std::string key = UpperCase(Trim(Key));
  // Every line begins with its quoted key, and a key's characters all sort after the
  // quote: the lines of a key are the first ones not before the quoted key alone.
  if (std::any_of(key.begin(), key.end(), [](char c) { return static_cast<unsigned char>(c) <= '"'; })) {
    CsvFindRange(Key, *this, First, Last);
    return;
  }
  const int index = LowerBound("\"" + key + "\"");
  // Such a key has no quote to undouble: the field as stored is the key.
  const auto is_key = [&](int i) { return CompareText(CsvFieldView(sfKey, Line(i)), key) == 0; };
  if (index >= count_ || !is_key(index)) return;
  First = Last = index;
  while (Last + 1 < count_ && is_key(Last + 1)) ++Last;
}

std::vector<std::pair<TDateTime, std::string>> TStationList::HeardBefore(TDateTime Before) const {
  std::vector<std::pair<TDateTime, std::string>> lines;
  // All of them (every station aging out at once): the room for them made once.
  if (!heard_.empty() && heard_.rbegin()->first <= Before) lines.reserve(heard_.size());
  for (const auto& entry : heard_) {
    if (entry.first > Before) break;
    lines.push_back(entry);
  }
  return lines;
}

void TStationList::DeleteKeys(const std::vector<std::string>& Keys) {
  // Sorted, upper-cased keys looked up by binary search: thousands of them cost no
  // allocation each, as a hash set's nodes would.
  std::vector<std::string> keys;
  keys.reserve(Keys.size());
  for (const std::string& key : Keys) keys.push_back(UpperCase(Trim(key)));
  std::sort(keys.begin(), keys.end());
  std::string upper;
  const auto listed = [&](std::string_view key) {
    upper.assign(key);
    for (char& c : upper) c = AsciiUpper(c);
    return std::binary_search(keys.begin(), keys.end(), upper);
  };
  count_ = 0;
  for (std::vector<TLine>& lines : chunks_) {
    size_t kept = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (listed(CsvFieldView(sfKey, lines[i].text))) {
        Unheard(lines[i]);
        continue;
      }
      if (kept != i) lines[kept] = std::move(lines[i]);
      ++kept;
    }
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(kept), lines.end());
    count_ += static_cast<int>(lines.size());
  }
  std::erase_if(chunks_, [](const std::vector<TLine>& lines) { return lines.empty(); });
  starts_.resize(chunks_.size());
  Renumber(0);
}

// --- TStationStore -------------------------------------------------------------------------

int TStationStore::IndexOfStation(const std::string& Key) const {
  int first, last;
  StationList.FindKey(Key, first, last);
  return first;
}

bool TStationStore::IsRepeat(const std::string& OldLine, const std::string& NewLine) const {
  if (!SameButRepeatFields(OldLine, NewLine)) return false;
  TDateTime heard;
  // A record whose time cannot be read is replaced rather than kept for ever.
  if (!ReadStamp(Field(sfRxStamp, OldLine), heard)) return false;
  // Whole milliseconds, so that exactly 20 seconds counts as within.
  return std::llround((Clock() - heard) * MSecsPerDay) <= kRepeatWindowMs;
}

void TStationStore::UpdateStation(TAprsInfo Info) {
  if (!Info.HasPosition) return;
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
    ParseStationComment(Info.Comment, Info.Course, Info.Speed, Info.Altitude);
  } else {
    Info.MicEMsg = kWeatherStationMicEMsg;
  }
  std::string line = StationRecord(Info);

  const int index = IndexOfStation(Info.Key);
  if (index >= 0 && IsRepeat(StationList.Line(index), line)) return;
  // The row goes and comes back: laid out once.
  {
    TStationChangesBatch batch(views_);
    if (index >= 0) {
      const std::string status = Field(sfStatusText, StationList.Line(index));
      if (!status.empty()) CsvSetField(sfStatusText, status, line);
      StationList.Replace(index, line);
      views_.ReplaceStationRow(Info.Key, line);
    } else {
      StationList.Add(line);
      views_.AddOrUpdateStationRow(line);
    }
  }

  views_.ShowStationOnMap(Info);
  // A station heard again leaves the counter as it is: its label is not laid out again
  // for every packet.
  if (index < 0) UpdateStationCount();
  if (views_.StationInfoVisible()) {
    if (views_.FollowRx() || views_.ShownKey() == Info.Key) views_.ShowStationInfo(Info.Key);
  }
  if (Sounds != nullptr) {
    if (views_.SoundRxOn()) Sounds->PlaySound(kNewRxSound);
    if (views_.SoundCallOn()) Sounds->SpeakCallsign(Info.SrcCall);
  }
}

void TStationStore::DeleteStation(const std::string& Key) {
  RemoveStation(Key);
  UpdateStationCount();
}

void TStationStore::RemoveStation(const std::string& Key) {
  views_.FreeStationMarker(Key);
  int first, last;
  StationList.FindKey(Key, first, last);
  for (int i = last; i >= first && i >= 0; --i) {
    StationList.Delete(i);
    views_.DeleteStationRow(Key);
  }
  ForgetStation(Key);
}

void TStationStore::ForgetStation(const std::string& Key) {
  views_.DeleteSymbolPlaces(Key);
  LeaveViews(Key);
}

void TStationStore::LeaveViews(const std::string& Key) {
  views_.DeletePickKey(Key);
  if (views_.StationInfoVisible() && views_.ShownKey() == Key) views_.CloseStationInfo();
  views_.ClearCrosshair(Key);
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
  // Only the stations heard long enough ago are looked at, oldest first; a second
  // more than the age lets no station through that the exact test below would keep.
  // Records whose time cannot be read are left alone.
  const TDateTime before = now - static_cast<double>(max_age_ms - 1000) / MSecsPerDay;
  std::vector<std::pair<TDateTime, std::string>> old = StationList.HeardBefore(before);
  std::vector<std::string> keys;
  keys.reserve(old.size());
  for (auto& [heard, key] : old) {
    if (std::llround((now - heard) * MSecsPerDay) >= max_age_ms) keys.push_back(std::move(key));
  }
  if (keys.empty()) return;
  {
    TStationChangesBatch batch(views_);
    if (keys.size() * kBulkShare < static_cast<size_t>(StationList.Count())) {
      for (const std::string& key : keys) RemoveStation(key);
    } else {
      // A good share of the list at once: its lines go in one pass, then each station
      // leaves the windows as DeleteStation has it leave them.
      // Every line is heard once in the time index: as many keys as lines are all of them.
      const bool all = keys.size() == static_cast<size_t>(StationList.Count());
      if (all) {
        StationList.Clear();
      } else {
        StationList.DeleteKeys(keys);
      }
      views_.DeleteStationRows(keys, all);
      views_.FreeStationMarkers(keys, all);
      views_.DeleteSymbolPlaces(keys, all);
      for (const std::string& key : keys) LeaveViews(key);
    }
  }
  // The counter once for the whole tick: thousands may go at once.
  UpdateStationCount();
}

void TStationStore::UpdateStationCount() {
  views_.ShowStationCount(StationList.Count());
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
  std::vector<std::string> lines;
  if (!ReadStationFile(FileName, lines)) return false;
  StationList.Assign(std::move(lines));
  return true;
}

void TStationStore::SaveStations(const std::string& FileName) {
  while (LoadStationsPiece(std::numeric_limits<int>::max())) {
  }
  StationList.SaveToFile(FileName);
}

bool TStationStore::BeginLoadStations(const std::string& FileName) {
  DropLoadingStations();
  if (!ReadStationFile(FileName, loading_)) return false;
  // In the list's order, each joins the list at its end.
  std::stable_sort(loading_.begin(), loading_.end(),
                   [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return true;
}

bool TStationStore::LoadStationsPiece(int Count) {
  if (!LoadingStations()) return false;
  {
    TStationChangesBatch batch(views_);
    for (; Count > 0 && LoadingStations(); --Count) {
      std::string line = std::move(loading_[next_loading_++]);
      if (IndexOfStation(std::string(CsvFieldView(sfKey, line))) >= 0) continue;
      StationList.Add(line);
      views_.AddOrUpdateStationRow(line);
      views_.ShowLoadedStation(line);
    }
  }
  if (!LoadingStations()) DropLoadingStations();
  UpdateStationCount();
  return LoadingStations();
}

void TStationStore::DropLoadingStations() {
  loading_ = {};
  next_loading_ = 0;
}

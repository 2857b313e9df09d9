#include "app/stations/station_store.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>

#include "app/receive/sound_queue.h"
#include "core/aprs_data.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "platform/sys/files.h"
#include "platform/text/ascii.h"
#include "platform/text/cp1252.h"
#include "platform/text/streams.h"
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
  explicit TStationChangesBatch(TStationRows& rows) : rows_(rows) { rows_.BeginStationChanges(); }
  ~TStationChangesBatch() { rows_.EndStationChanges(); }
  TStationChangesBatch(const TStationChangesBatch&) = delete;
  TStationChangesBatch& operator=(const TStationChangesBatch&) = delete;

 private:
  TStationRows& rows_;
};

// The views of the roles a store was not given: they show nothing.
TStationMarkers no_markers;
TStationRows no_rows;
TStationDetail no_detail;
TStationCounter no_counter;
const TStationSettings no_settings;

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

// Trimmed as Trim does, copied only when there is something to trim: the dispatcher
// hands its texts over trimmed already.
void TrimText(std::string& text) {
  if (!text.empty() && (IsBlankOrControl(text.front()) || IsBlankOrControl(text.back())))
    text = Trim(text);
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

// Degrees of a place on the earth. A file written where the decimal separator is a
// comma holds "52,5123".
bool IsDegrees(const std::string& text, double limit) {
  if (!IsFloat(text)) return false;
  const double degrees = StrToFloatSafe(text);
  return std::isfinite(degrees) && std::fabs(degrees) <= limit;
}

// A line of "Stn.dat" that the store can use: a key, a readable time last heard and a
// position on the earth. Its numbers are made the store's own, with a decimal point, for
// the readers of its fields.
bool TakeStationRecord(std::string& line) {
  TDateTime heard;
  if (!IsValidKey(Field(sfKey, line)) || !ReadStamp(Field(sfRxStamp, line), heard) ||
      !IsDegrees(Field(sfLat, line), 90) || !IsDegrees(Field(sfLon, line), 180)) {
    return false;
  }
  for (const int field : {sfLat, sfLon, sfSpeed, sfRange}) {
    std::string number = Field(field, line);
    if (number.find(',') == std::string::npos || !IsFloat(number)) continue;
    ReplaceChar(',', '.', number);
    CsvSetField(field, number, line);
  }
  return true;
}

// A record is a few hundred bytes (its longest fields a packet's header and data,
// escaped); a longer line is damage, a run of NULs or another file's bytes, and is
// passed over unread rather than held.
constexpr size_t kMaxStationLineBytes = 64 * 1024;
constexpr size_t kReadPieceBytes = 256 * 1024;

// The lines of a file, read a piece at a time so that memory follows the lines kept,
// not the file: each line no longer than kMaxStationLineBytes is handed to Take. CR, LF
// and CR LF end a line; the empty lines between CR and LF mean nothing to a reader of
// records.
class TBoundedLines {
 public:
  template <typename TTake>
  void Read(TStream& stream, TTake take) {
    std::string piece(kReadPieceBytes, '\0');
    for (int64_t got; (got = stream.Read(piece.data(), int64_t(piece.size()))) > 0;) {
      std::string_view rest(piece.data(), size_t(got));
      for (size_t end; (end = LineEnd(rest)) != std::string_view::npos;) {
        Append(rest.substr(0, end));
        if (!too_long_) take(line_);
        line_.clear();
        too_long_ = false;
        rest.remove_prefix(end + 1);
      }
      Append(rest);
    }
    if (!line_.empty()) take(line_);
  }

 private:
  // The first CR or LF; memchr's pace over a long line.
  static size_t LineEnd(std::string_view text) {
    const size_t lf = text.find('\n');
    return std::min(lf, text.substr(0, lf).find('\r'));
  }
  void Append(std::string_view part) {
    if (too_long_) return;
    if (line_.size() + part.size() > kMaxStationLineBytes) {
      too_long_ = true;
      line_.clear();
      return;
    }
    line_.append(part);
  }

  std::string line_;
  bool too_long_ = false;
};

// The usable records of a station file; false when there is no file.
bool ReadStationFile(const std::string& FileName, std::vector<std::string>& Lines) {
  if (!FileExists(FileName)) return false;
  TFileStream file(FileName, fmOpenRead);
  TBoundedLines().Read(file, [&Lines](const std::string& read) {
    std::string line = Trim(read);
    if (TakeStationRecord(line)) Lines.push_back(std::move(line));
  });
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
  // With a packet's header and data escaped, most records are over 256 bytes; the list
  // keeps a copy of its own size.
  record.reserve(512);
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

// --- TStationStore -------------------------------------------------------------------------

TStationStore::TStationStore(const TStationViews& Views) {
  SetViews(Views);
  StationList.HeardTicks = [this](TDateTime Heard) { return TicksAt(Heard, Clock(), Ticks()); };
}

void TStationStore::SetViews(const TStationViews& Views) {
  views_.Markers = Views.Markers ? Views.Markers : &no_markers;
  views_.Rows = Views.Rows ? Views.Rows : &no_rows;
  views_.Detail = Views.Detail ? Views.Detail : &no_detail;
  views_.Counter = Views.Counter ? Views.Counter : &no_counter;
  views_.Settings = Views.Settings ? Views.Settings : &no_settings;
}

void TStationStore::BeginChanges() {
  views_.Rows->BeginStationChanges();
  views_.Markers->BeginStationChanges();
}

void TStationStore::EndChanges() {
  views_.Markers->EndStationChanges();
  views_.Rows->EndStationChanges();
}

int TStationStore::IndexOfStation(const std::string& Key) const {
  int first, last;
  StationList.FindKey(Key, first, last);
  return first;
}

bool TStationStore::IsRepeat(int Index, const std::string& NewLine) const {
  if (!SameButRepeatFields(StationList.Line(Index), NewLine)) return false;
  // A record whose time cannot be read is replaced rather than kept for ever.
  const std::optional<std::int64_t> heard = StationList.HeardAt(Index);
  return heard && static_cast<std::int64_t>(Ticks()) - *heard <= kRepeatWindowMs;
}

void TStationStore::UpdateStation(TAprsInfo Info) {
  if (!Info.HasPosition) return;
  TrimText(Info.Header);
  TrimText(Info.Data);
  // Old stations send DOS umlauts; a comment in UTF-8 is kept as sent: its bytes are no
  // DOS letters, and replaced they would no longer read as UTF-8.
  if (!IsUtf8Text(Info.Comment)) {
    std::string comment;
    DosToAnsiUmlauts(Info.Comment, comment);
    Info.Comment = comment;
  }
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

  int index = -1;
  int last = -1;
  int place = -1;
  StationList.FindKey(Info.Key, index, last, &place);
  if (index >= 0 && IsRepeat(index, line)) return;
  // The row goes and comes back: laid out once.
  {
    TStationChangesBatch batch(*views_.Rows);
    if (index >= 0) {
      const std::string status = Field(sfStatusText, StationList.Line(index));
      if (!status.empty()) CsvSetField(sfStatusText, status, line);
      StationList.Replace(index, line);
      views_.Rows->ReplaceStationRow(Info.Key, line);
    } else {
      StationList.Add(line, place);
      views_.Rows->AddOrUpdateStationRow(line);
      DropOldestBeyondBound();
    }
  }

  views_.Markers->ShowStationOnMap(Info);
  // A station heard again leaves the counter as it is: its label is not laid out again
  // for every packet.
  if (index < 0) UpdateStationCount();
  TStationDetail& detail = *views_.Detail;
  if (detail.StationInfoVisible()) {
    if (detail.FollowRx() || detail.ShownKey() == Info.Key) detail.ShowStationInfo(Info.Key);
  }
  if (Sounds != nullptr) {
    if (views_.Settings->SoundRxOn()) Sounds->PlaySound(kNewRxSound);
    if (views_.Settings->SoundCallOn()) Sounds->SpeakCallsign(Info.SrcCall);
  }
}

void TStationStore::DeleteStation(const std::string& Key) {
  RemoveStation(Key);
  UpdateStationCount();
}

void TStationStore::RemoveStation(const std::string& Key) {
  views_.Markers->FreeStationMarker(Key);
  int first, last;
  StationList.FindKey(Key, first, last);
  for (int i = last; i >= first && i >= 0; --i) {
    StationList.Delete(i);
    views_.Rows->DeleteStationRow(Key);
  }
  ForgetStation(Key);
}

void TStationStore::DropOldestBeyondBound() {
  const int over = StationList.Count() - std::max(MaxStations, 1);
  if (over <= 0) return;
  for (const std::string& key : StationList.OldestKeys(static_cast<size_t>(over)))
    RemoveStation(key);
}

void TStationStore::KeepNewest(std::vector<std::string>& Lines) const {
  const size_t keep = static_cast<size_t>(std::max(MaxStations, 1));
  if (Lines.size() <= keep) return;
  // Every record read has a readable time (TakeStationRecord).
  std::vector<std::pair<TDateTime, size_t>> heard;
  heard.reserve(Lines.size());
  for (size_t n = 0; n < Lines.size(); ++n) {
    TDateTime time = 0;
    ReadStamp(Field(sfRxStamp, Lines[n]), time);
    heard.emplace_back(time, n);
  }
  const auto newest = heard.end() - static_cast<std::ptrdiff_t>(keep);
  std::nth_element(heard.begin(), newest, heard.end());
  std::vector<bool> kept(Lines.size(), false);
  for (auto entry = newest; entry != heard.end(); ++entry) kept[entry->second] = true;
  size_t n = 0;
  std::erase_if(Lines, [&](const std::string&) { return !kept[n++]; });
}

void TStationStore::ForgetStation(const std::string& Key) {
  views_.Markers->DeleteSymbolPlaces(Key);
  LeaveViews(Key);
}

void TStationStore::LeaveViews(const std::string& Key) {
  TStationDetail& detail = *views_.Detail;
  detail.DeletePickKey(Key);
  if (detail.StationInfoVisible() && detail.ShownKey() == Key) detail.CloseStationInfo();
  views_.Markers->ClearCrosshair(Key);
}

void TStationStore::AgeStations() {
  const int max_age_minutes = views_.Settings->StationMaxAgeMinutes();
  // The windows told of a removal may let the timer tick again meanwhile.
  if (max_age_minutes <= 0 || aging_) return;
  aging_ = true;
  struct TAgingDone {
    bool& aging;
    ~TAgingDone() { aging = false; }
  } done{aging_};
  // Only the stations heard long enough ago are looked at, oldest first. Records whose
  // time cannot be read are left alone.
  const std::int64_t before =
      static_cast<std::int64_t>(Ticks()) - max_age_minutes * std::int64_t{60000};
  std::vector<std::pair<std::int64_t, std::string>> old = StationList.HeardBefore(before);
  std::vector<std::string> keys;
  keys.reserve(old.size());
  for (auto& entry : old) keys.push_back(std::move(entry.second));
  if (keys.empty()) return;
  {
    TStationChangesBatch batch(*views_.Rows);
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
      views_.Rows->DeleteStationRows(keys, all);
      views_.Markers->FreeStationMarkers(keys, all);
      views_.Markers->DeleteSymbolPlaces(keys, all);
      for (const std::string& key : keys) LeaveViews(key);
    }
  }
  // The counter once for the whole tick: thousands may go at once.
  UpdateStationCount();
}

void TStationStore::UpdateStationCount() {
  views_.Counter->ShowStationCount(StationList.Count());
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
  KeepNewest(lines);
  StationList.Assign(std::move(lines));
  return true;
}

void TStationStore::SaveStations(const std::string& FileName) {
  // The text is made once a background save has let go of its own: two texts of a large
  // store at once would double what the save adds to memory.
  saver_.WaitUntilWritten();
  saver_.SaveNow(FileName, StationFileText());
}

void TStationStore::SaveStationsInBackground(const std::string& FileName) {
  saver_.Save(FileName, [snapshot = StationFileSnapshot()] { return StationFileText(snapshot); });
}

std::string TStationStore::StationFileText() const {
  return StationFileText(StationFileSnapshot());
}

TStationFileSnapshot TStationStore::StationFileSnapshot() const {
  TStationFileSnapshot snapshot;
  snapshot.Heard = StationList.SharedLines();
  // As LoadStationsPiece takes them: the first record of a key, unless it was heard.
  std::string_view last_key;
  for (size_t n = next_loading_; n < loading_.size(); ++n) {
    const std::string_view key = CsvFieldView(sfKey, *loading_[n]);
    if (n > next_loading_ && SameText(key, last_key)) continue;
    last_key = key;
    if (IndexOfStation(std::string(key)) < 0) snapshot.Loading.push_back(loading_[n]);
  }
  return snapshot;
}

std::string TStationStore::StationFileText(const TStationFileSnapshot& Snapshot) {
  std::vector<const std::string*> lines;
  lines.reserve(Snapshot.Heard.size() + Snapshot.Loading.size());
  for (const TStationList::TText& line : Snapshot.Heard) lines.push_back(line.get());
  for (const TStationList::TText& line : Snapshot.Loading) lines.push_back(line.get());
  std::inplace_merge(
      lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(Snapshot.Heard.size()),
      lines.end(),
      [](const std::string* a, const std::string* b) { return CompareText(*a, *b) < 0; });
  size_t size = 0;
  for (const std::string* line : lines) size += line->size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string* line : lines) text.append(*line).append("\r\n");
  return text;
}

bool TStationStore::BeginLoadStations(const std::string& FileName) {
  DropLoadingStations();
  std::vector<std::string> lines;
  if (!ReadStationFile(FileName, lines)) return false;
  KeepNewest(lines);
  // In the list's order, each joins the list at its end.
  std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
  });
  loading_.reserve(lines.size());
  for (std::string& line : lines)
    loading_.push_back(std::make_shared<const std::string>(std::move(line)));
  return true;
}

bool TStationStore::LoadStationsPiece(int Count) {
  if (!LoadingStations()) return false;
  {
    TStationChangesBatch batch(*views_.Rows);
    for (; Count > 0 && LoadingStations(); --Count) {
      // Let go of as it is taken (a save under way may still hold it).
      const TStationList::TText line = std::move(loading_[next_loading_++]);
      if (IndexOfStation(std::string(CsvFieldView(sfKey, *line))) >= 0) continue;
      StationList.Add(*line);
      views_.Rows->AddOrUpdateStationRow(*line);
      views_.Markers->ShowLoadedStation(*line);
      // Stations heard meanwhile and those of the file may be more than the bound holds.
      DropOldestBeyondBound();
    }
  }
  if (!LoadingStations()) DropLoadingStations();
  UpdateStationCount();
  return LoadingStations();
}

void TStationStore::DropLoadingStations() {
  loading_ = {};
  next_loading_ = 0;
  ++loading_changes_;
}

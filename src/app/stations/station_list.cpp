#include "app/stations/station_list.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>

#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

namespace {

// Lines per chunk: a split makes two of half this.
constexpr size_t kChunkLines = 512;

std::string KeyOf(const std::string& line) {
  std::string key;
  CsvGetField(sfKey, line, key);
  return key;
}

// The time last heard of a line; none when it cannot be read.
std::optional<TDateTime> HeardTime(const std::string& line) {
  std::string stamp;
  CsvGetField(sfRxStamp, line, stamp);
  return TryStampToDateTime(stamp);
}

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
  return CompareText(*line.text, text);
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
  return *At(index).text;
}

void TStationList::Renumber(size_t from) {
  for (size_t chunk = from; chunk < chunks_.size(); ++chunk) {
    starts_[chunk] =
        chunk == 0 ? 0 : starts_[chunk - 1] + static_cast<int>(chunks_[chunk - 1].size());
  }
}

int TStationList::LowerBound(const std::string& text) const {
  const TOrder order = OrderOf(text);
  const auto before = [&](const TLine& line) { return Compare(line, text, order) < 0; };
  // The first chunk whose last line is not before text, then the place in it.
  const auto chunk =
      std::partition_point(chunks_.begin(), chunks_.end(),
                           [&](const std::vector<TLine>& lines) { return before(lines.back()); });
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
  TPlace place =
      index == count_ ? TPlace{chunks_.size() - 1, chunks_.back().size()} : Locate(index);
  TLine line{NewText(text), OrderOf(text), heard_.end()};
  Heard(line);
  std::vector<TLine>& lines = chunks_[place.chunk];
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.offset), std::move(line));
  if (lines.size() > kChunkLines) {
    std::vector<TLine> upper(std::make_move_iterator(lines.begin() + kChunkLines / 2),
                             std::make_move_iterator(lines.end()));
    lines.erase(lines.begin() + kChunkLines / 2, lines.end());
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(place.chunk) + 1,
                   std::move(upper));
    starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(place.chunk) + 1, 0);
  }
  ++count_;
  ++changes_;
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
  ++changes_;
  Renumber(place.chunk);
}

void TStationList::Heard(TLine& line) {
  const std::optional<TDateTime> heard = HeardTime(*line.text);
  if (!heard) {
    line.heard = heard_.end();
    return;
  }
  THeard::value_type entry{HeardTicks(*heard), KeyOf(*line.text)};
  const THeard::iterator place = NewestPlace(entry);
  if (spare_heard_.empty()) {
    line.heard = heard_.insert(place, std::move(entry));
    return;
  }
  auto node = spare_heard_.extract(std::prev(spare_heard_.end()));
  node.key() = entry.first;
  node.mapped() = std::move(entry.second);
  line.heard = heard_.insert(place, std::move(node));
}

// A station heard now goes at the end of the time index or a few places before it (its
// time counts whole seconds, the clocks milliseconds): its place is looked for back from
// the end, where an insert at the end that does not fit would search the whole index.
// The place is where the index would put it (after entries equal to it).
TStationList::THeard::iterator TStationList::NewestPlace(const THeard::value_type& Entry) {
  constexpr int kSteps = 16;
  auto place = heard_.end();
  for (int step = 0; step < kSteps && place != heard_.begin(); ++step) {
    const auto before = std::prev(place);
    if (!(Entry.first < before->first)) return place;
    place = before;
  }
  return place == heard_.begin() ? place : heard_.end();
}

void TStationList::Unheard(TLine& line) {
  if (line.heard != heard_.end()) heard_.erase(line.heard);
  line.heard = heard_.end();
}

void TStationList::Reheard(TLine& line, const std::string& text) {
  const bool indexed =
      line.heard != heard_.end() && CsvFieldView(sfKey, *line.text) == CsvFieldView(sfKey, text);
  std::optional<TDateTime> after;
  // Not heard again (a status text came): the line keeps its place, which the clocks,
  // read again after a step of the wall clock, would no longer give.
  if (indexed && CsvFieldView(sfRxStamp, *line.text) == CsvFieldView(sfRxStamp, text)) {
    line.text = NewText(text);
    return;
  }
  if (indexed && (after = HeardTime(text))) {
    // The node keeps its key.
    auto entry = heard_.extract(line.heard);
    entry.key() = HeardTicks(*after);
    line.heard = heard_.insert(heard_.end(), std::move(entry));
    line.text = NewText(text);
    return;
  }
  Unheard(line);
  line.text = NewText(text);
  Heard(line);
}

int TStationList::Add(const std::string& text) {
  const int index = LowerBound(text);
  if (index < count_ && CompareText(Line(index), text) == 0) return index;
  InsertAt(index, text);
  return index;
}

// A line whose key is not in the list goes where its quoted key alone would: the two
// differ only after the key's closing quote, where no other key's line agrees with them.
// A Place that does not fit (the list changed meanwhile) is not trusted.
int TStationList::Add(const std::string& text, int Place) {
  if (Place < 0 || Place > count_) return Add(text);
  const TOrder order = OrderOf(text);
  const bool after_previous = Place == 0 || Compare(At(Place - 1), text, order) < 0;
  const bool before_next = Place == count_ || Compare(At(Place), text, order) > 0;
  if (!after_previous || !before_next) return Add(text);
  InsertAt(Place, text);
  return Place;
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
  ++changes_;
}

TStationList::TText TStationList::NewText(std::string text) {
  while (!spare_lines_.empty() && spare_lines_.back().empty()) spare_lines_.pop_back();
  if (!spare_lines_.empty()) spare_lines_.back().pop_back();
  // Room for the text and no more: a record's size is what its fields need.
  text.shrink_to_fit();
  return std::make_shared<const std::string>(std::move(text));
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
    ++changes_;
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
      TLine& line = lines.emplace_back(TLine{NewText(std::move(Lines[i])), {}, heard_.end()});
      line.order = OrderOf(*line.text);
      Heard(line);
    }
    starts_.push_back(static_cast<int>(first));
  }
  count_ = static_cast<int>(Lines.size());
  ++changes_;
}

size_t TStationList::MemoryBytes() const {
  size_t bytes = chunks_.capacity() * sizeof(chunks_[0]) + starts_.capacity() * sizeof(int);
  for (const auto& lines : chunks_) {
    bytes += lines.capacity() * sizeof(TLine);
    for (const TLine& line : lines) {
      // The shared text: its count block with the string, and the characters beyond it.
      bytes += 2 * sizeof(long) + sizeof(std::string);
      if (line.text->capacity() > std::string().capacity()) bytes += line.text->capacity() + 1;
    }
  }
  // A tree node per line: two pointers, a parent, a colour, the time and the key.
  bytes += heard_.size() * (4 * sizeof(void*) + sizeof(THeard::value_type));
  return bytes;
}

std::vector<TStationList::TText> TStationList::SharedLines() const {
  std::vector<TText> lines;
  lines.reserve(static_cast<size_t>(count_));
  for (const std::vector<TLine>& chunk : chunks_) {
    for (const TLine& line : chunk) lines.push_back(line.text);
  }
  return lines;
}

void TStationList::FindKey(const std::string& Key, int& First, int& Last, int* Place) const {
  First = -1;
  Last = -1;
  if (Place) *Place = -1;
  const std::string key = UpperCase(Trim(Key));
  // Every line begins with its quoted key, and a key's characters all sort after the
  // quote: the lines of a key are the first ones not before the quoted key alone.
  if (std::any_of(key.begin(), key.end(),
                  [](char c) { return static_cast<unsigned char>(c) <= '"'; })) {
    CsvFindRange(Key, *this, First, Last);
    return;
  }
  const int index = LowerBound("\"" + key + "\"");
  if (Place) *Place = index;
  // Such a key has no quote to undouble: the field as stored is the key.
  const auto is_key = [&](int i) { return CompareText(CsvFieldView(sfKey, Line(i)), key) == 0; };
  if (index >= count_ || !is_key(index)) return;
  First = Last = index;
  while (Last + 1 < count_ && is_key(Last + 1)) ++Last;
}

std::optional<std::int64_t> TStationList::HeardAt(int index) const {
  const TLine& line = At(index);
  if (line.heard == heard_.end()) return std::nullopt;
  return line.heard->first;
}

std::vector<std::pair<std::int64_t, std::string>> TStationList::HeardBefore(
    std::int64_t Before) const {
  std::vector<std::pair<std::int64_t, std::string>> lines;
  // All of them (every station aging out at once): the room for them made once.
  if (!heard_.empty() && heard_.rbegin()->first <= Before) lines.reserve(heard_.size());
  for (const auto& entry : heard_) {
    if (entry.first > Before) break;
    lines.push_back(entry);
  }
  return lines;
}

std::vector<std::string> TStationList::OldestKeys(size_t Count) const {
  std::vector<std::string> keys;
  keys.reserve(std::min(Count, heard_.size()));
  for (auto entry = heard_.begin(); entry != heard_.end() && keys.size() < Count; ++entry)
    keys.push_back(entry->second);
  return keys;
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
      if (listed(CsvFieldView(sfKey, *lines[i].text))) {
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
  ++changes_;
}

#include "platform/text/string_list.h"

#include <algorithm>
#include <numeric>

#include "platform/sys/atomic_file.h"
#include "platform/text/ascii.h"
#include "platform/text/streams.h"

namespace {

constexpr char kLineBreak[] = "\r\n";
constexpr char kCommaDelimiter = ',';
constexpr char kQuote = '"';

bool NeedsCommaQuotes(const std::string& item) {
  return std::any_of(item.begin(), item.end(), [](char c) {
    return IsBlankOrControl(c) || c == kQuote || c == kCommaDelimiter;
  });
}

std::string Quoted(const std::string& item) {
  std::string quoted(1, kQuote);
  for (const char c : item) {
    quoted.push_back(c);
    if (c == kQuote) quoted.push_back(kQuote);
  }
  quoted.push_back(kQuote);
  return quoted;
}

// Reads a quoted item starting at the opening quote; a doubled quote stands for one.
// An item without its closing quote runs to the end of the text.
std::string ReadQuoted(const std::string& text, size_t& at) {
  std::string item;
  for (++at; at < text.size(); ++at) {
    if (text[at] != kQuote) {
      item.push_back(text[at]);
    } else if (at + 1 < text.size() && text[at + 1] == kQuote) {
      item.push_back(kQuote);
      ++at;
    } else {
      ++at;
      break;
    }
  }
  return item;
}

// Puts Items in Order (indices of the items as they stand).
template <typename TItems>
void Reorder(TItems& Items, const std::vector<int>& Order) {
  TItems sorted;
  sorted.reserve(Items.size());
  for (const int i : Order) sorted.push_back(std::move(Items[i]));
  Items = std::move(sorted);
}

}  // namespace

// --- TStrings ---------------------------------------------------------------------------

void TStrings::CheckIndex(int index, int limit) {
  if (index < 0 || index >= limit) {
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  }
}

void TStrings::Put(int index, const std::string& text) {
  void* object = Objects(index);
  Delete(index);
  InsertObject(index, text, object);
}

void* TStrings::Objects(int index) const {
  CheckIndex(index, Count());
  return nullptr;
}

void TStrings::SetObject(int index, void*) {
  CheckIndex(index, Count());
}

int TStrings::Add(const std::string& text) {
  const int index = Count();
  Insert(index, text);
  return index;
}

int TStrings::AddObject(const std::string& text, void* object) {
  const int index = Add(text);
  SetObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const std::string& text, void* object) {
  Insert(index, text);
  SetObject(index, object);
}

int TStrings::IndexOf(const std::string& text) const {
  for (int i = 0; i < Count(); ++i) {
    if (CompareStrings(Get(i), text) == 0) return i;
  }
  return -1;
}

void TStrings::Exchange(int index1, int index2) {
  const std::string text1 = Get(index1);
  void* object1 = Objects(index1);
  Put(index1, Get(index2));
  SetObject(index1, Objects(index2));
  Put(index2, text1);
  SetObject(index2, object1);
}

void TStrings::Move(int currentIndex, int newIndex) {
  if (currentIndex == newIndex) return;
  CheckIndex(newIndex, Count());
  BeginUpdate();
  const std::string text = Get(currentIndex);
  void* object = Objects(currentIndex);
  Delete(currentIndex);
  InsertObject(newIndex, text, object);
  EndUpdate();
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) text += Get(i) + kLineBreak;
  return text;
}

void TStrings::SetText(const std::string& text) {
  BeginUpdate();
  Clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    Add(text.substr(start, end - start));
    const bool crLf = end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n';
    start = end + (crLf ? 2 : 1);
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  if (Count() == 1 && Get(0).empty()) return Quoted("");
  std::string text;
  for (int i = 0; i < Count(); ++i) {
    if (i > 0) text.push_back(kCommaDelimiter);
    const std::string item = Get(i);
    text += NeedsCommaQuotes(item) ? Quoted(item) : item;
  }
  return text;
}

void TStrings::SetCommaText(const std::string& text) {
  BeginUpdate();
  Clear();
  size_t at = 0;
  const auto skipBlanks = [&] {
    while (at < text.size() && IsBlankOrControl(text[at])) ++at;
  };
  skipBlanks();
  while (at < text.size()) {
    if (text[at] == kQuote) {
      Add(ReadQuoted(text, at));
    } else {
      const size_t start = at;
      while (at < text.size() && !IsBlankOrControl(text[at]) && text[at] != kCommaDelimiter) ++at;
      Add(text.substr(start, at - start));
    }
    skipBlanks();
    if (at < text.size() && text[at] == kCommaDelimiter) {
      ++at;
      // "a," holds an empty last item.
      if (at == text.size()) Add("");
      skipBlanks();
    }
  }
  EndUpdate();
}

std::string TStrings::Names(int index) const {
  const std::string line = Get(index);
  const size_t equals = line.find('=');
  return equals == std::string::npos ? std::string() : line.substr(0, equals);
}

int TStrings::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string line = Get(i);
    const size_t equals = line.find('=');
    if (equals != std::string::npos && CompareStrings(line.substr(0, equals), name) == 0) return i;
  }
  return -1;
}

std::string TStrings::Values(const std::string& name) const {
  const int index = IndexOfName(name);
  return index < 0 ? std::string() : Get(index).substr(name.size() + 1);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
  } else if (index < 0) {
    Add(name + "=" + value);
  } else {
    Put(index, name + "=" + value);
  }
}

void TStrings::BeginUpdate() {
  if (update_count_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  LoadFromStream(stream);
}

void TStrings::LoadFromStream(TStream& stream) {
  const int64_t remaining = std::max<int64_t>(stream.Size() - stream.Position(), 0);
  std::string text(static_cast<size_t>(remaining), '\0');
  stream.ReadBuffer(text.data(), remaining);
  SetText(text);
}

// Replaced whole: a crash or a full disk never leaves half a list behind.
void TStrings::SaveToFile(const std::string& fileName) const {
  SaveFileAtomically(fileName, Text());
}

void TStrings::SaveToStream(TStream& stream) const {
  const std::string text = Text();
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::Assign(const TStrings& source) {
  if (&source == this) return;
  BeginUpdate();
  Clear();
  AddStrings(source);
  EndUpdate();
}

void TStrings::AddStrings(const TStrings& source) {
  BeginUpdate();
  // Count first: adding a list to itself copies it once.
  const int count = source.Count();
  for (int i = 0; i < count; ++i) AddObject(source.Get(i), source.Objects(i));
  EndUpdate();
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
  return CompareText(a, b);
}

// --- TStringList ------------------------------------------------------------------------

std::string TStringList::Get(int index) const {
  CheckIndex(index, Count());
  return items_[index].text;
}

const std::string& TStringList::GetRef(int index) const {
  CheckIndex(index, Count());
  return items_[index].text;
}

void TStringList::Put(int index, const std::string& text) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index, Count());
  items_[index].text = text;
  Changed();
}

void* TStringList::Objects(int index) const {
  CheckIndex(index, Count());
  return items_[index].object;
}

void TStringList::SetObject(int index, void* object) {
  CheckIndex(index, Count());
  items_[index].object = object;
  Changed();
}

int TStringList::Add(const std::string& text) {
  return AddObject(text, nullptr);
}

int TStringList::AddObject(const std::string& text, void* object) {
  int index = Count();
  if (sorted_ && Find(text, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, text, object);
  return index;
}

void TStringList::Insert(int index, const std::string& text) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index, Count() + 1);
  InsertItem(index, text, nullptr);
}

void TStringList::InsertItem(int index, const std::string& text, void* object) {
  items_.insert(items_.begin() + index, Item{text, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStringList::IndexOf(const std::string& text) const {
  if (!sorted_) return TStrings::IndexOf(text);
  int index = 0;
  return Find(text, index) ? index : -1;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  std::swap(items_[index1], items_[index2]);
  Changed();
}

bool TStringList::Find(const std::string& text, int& index) const {
  int low = 0, high = Count();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (CompareStrings(items_[middle].text, text) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  index = low;
  return low < Count() && CompareStrings(items_[low].text, text) == 0;
}

// The list's own order (CompareStrings) compares byte codes, those of the upper-case
// texts when it is case-insensitive: each text's key is made once rather than in each
// of the n log n comparisons, which then compare bytes as memcmp does.
void TStringList::Sort() {
  if (sorted_ || Count() < 2) return;
  std::vector<std::string> upper;
  if (!case_sensitive_) {
    upper.reserve(items_.size());
    for (const Item& item : items_) {
      std::string& key = upper.emplace_back(item.text);
      for (char& c : key) c = AsciiUpper(c);
    }
  }
  const auto key = [&](int i) -> std::string_view {
    return case_sensitive_ ? std::string_view(items_[i].text) : std::string_view(upper[i]);
  };
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
  Reorder(items_, order);
  Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (sorted_ || Count() < 2) return;
  // The comparison reads the list by index, so the items stay in place while an
  // order of their indices is sorted, and are rearranged once at the end.
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(*this, a, b) < 0; });
  Reorder(items_, order);
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == case_sensitive_) return;
  case_sensitive_ = caseSensitive;
  if (sorted_) {
    sorted_ = false;
    Sort();
    sorted_ = true;
  }
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return case_sensitive_ ? CompareStr(a, b) : CompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
  if (!updating) Changed();
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

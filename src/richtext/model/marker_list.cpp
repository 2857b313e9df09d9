#include "richtext/model/marker_list.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/text/streams.h"
#include "richtext/model/marker_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {

constexpr int kLargestRoman = 3999;
// A width in a document's format text is never worth more than this.
constexpr int kMaxFormatWidth = 255;
constexpr int kRecordSize = 17;
constexpr int kHeaderSize = 8;
constexpr int kParentUnknown = -2;

// The number after n; numbers from a document may already be the largest there is.
int NextNumber(int n) {
  return n < std::numeric_limits<int>::max() ? n + 1 : n;
}

std::string Letters(int n, char first) {
  std::string s;
  while (n > 0) {
    s.insert(s.begin(), char(first + (n - 1) % 26));
    n = (n - 1) / 26;
  }
  return s;
}

std::string Roman(int n, bool lower) {
  static constexpr struct {
    int value;
    const char* text;
  } kTable[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"},
                {90, "XC"},  {50, "L"},   {40, "XL"}, {10, "X"},   {9, "IX"},
                {5, "V"},    {4, "IV"},   {1, "I"}};
  if (n < 1) return "?";
  std::string s;
  for (const auto& entry : kTable)
    while (n >= entry.value) {
      s += entry.text;
      n -= entry.value;
    }
  if (lower) std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(c + 32); });
  return s;
}

std::int32_t GetInt32At(std::string_view bytes, size_t at) {
  std::uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= std::uint32_t(std::uint8_t(bytes[at + i])) << (8 * i);
  return std::int32_t(v);
}

bool GetInt32(TStream& stream, std::int32_t& value) {
  std::string bytes(4, '\0');
  if (stream.Read(bytes.data(), 4) != 4) return false;
  value = GetInt32At(bytes, 0);
  return true;
}

}  // namespace

std::string RDListNumberText(int n, TRDListType type) {
  switch (type) {
    case rdlstDecimal:
    case rdlstImageListCounter:
      return std::to_string(n);
    case rdlstLowerAlpha:
      return Letters(n, 'a');
    case rdlstUpperAlpha:
      return Letters(n, 'A');
    case rdlstLowerRoman:
    case rdlstUpperRoman:
      // Numerals past MMMCMXCIX grow without bound; such numbers are written in decimal.
      if (n > kLargestRoman) return std::to_string(n);
      return Roman(n, type == rdlstLowerRoman);
    default:
      return "";
  }
}

std::string RDFormatMarkerText(std::string_view format, const std::vector<std::string>& args) {
  std::string out;
  size_t next = 0;  // the argument "%s" takes
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    // %[index:][-][width][.precision]s
    size_t j = i + 1;
    auto number = [&](int& value) {
      const size_t start = j;
      value = 0;
      while (j < format.size() && format[j] >= '0' && format[j] <= '9' && j - start < 6)
        value = value * 10 + (format[j++] - '0');
      return j > start;
    };
    int index = -1, width = 0, precision = -1;
    bool left = false;
    int value;
    if (number(value)) {
      if (j < format.size() && format[j] == ':') {
        index = value;
        ++j;
      } else {
        width = value;
      }
    }
    if (width == 0) {
      if (j < format.size() && format[j] == '-') {
        left = true;
        ++j;
      }
      if (number(value)) width = value;
    }
    if (j < format.size() && format[j] == '.') {
      ++j;
      if (number(value)) precision = value;
    }
    if (j >= format.size() || (format[j] != 's' && format[j] != 'S')) {
      out += c;  // not a placeholder: the text stays as written
      ++i;
      continue;
    }
    ++j;
    const size_t arg = index >= 0 ? size_t(index) : next;
    next = arg + 1;
    std::string text = arg < args.size() ? args[arg] : std::string();
    if (precision >= 0 && size_t(precision) < text.size()) text.resize(size_t(precision));
    width = std::min(width, kMaxFormatWidth);
    if (int(text.size()) < width) {
      const std::string pad(size_t(width) - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
    i = j;
  }
  return out;
}

TRDMarkerList::~TRDMarkerList() = default;

int TRDMarkerList::IndexOf(const TRDMarkerItemInfo* marker) const {
  auto it = std::find(items_.begin(), items_.end(), marker);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

int TRDMarkerList::InsertAfter(TRDMarkerItemInfo* marker, TRDMarkerItemInfo* prev) {
  int index = 0;
  if (prev) index = prev->GetIndexInList(this) + 1;
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, marker);
  parents_.insert(parents_.begin() + index, kParentUnknown);
  for (size_t i = size_t(index) + 1; i < parents_.size(); ++i)
    if (parents_[i] >= index) ++parents_[i];
  marker->IndexInList = index;
  return index;
}

void TRDMarkerList::Delete(int index) {
  TRDMarkerItemInfo* marker = Items(index);
  items_.erase(items_.begin() + index);
  parents_.erase(parents_.begin() + index);
  for (size_t i = size_t(index); i < parents_.size(); ++i) {
    if (parents_[i] == index)
      parents_[i] = kParentUnknown;
    else if (parents_[i] > index)
      --parents_[i];
  }
  marker->IndexInList = -1;
}

void TRDMarkerList::Clear() {
  items_.clear();
  parents_.clear();
  owned_.clear();
}

// Whether parent may be the parent kept for the marker at index: -1, or a marker of its
// list before it at a smaller level. Anything else was left by a change that did not
// renumber, and is found again.
bool TRDMarkerList::MayBeParent(int parent, int index) const {
  if (parent == -1) return true;
  if (parent < 0 || parent >= index) return false;
  const TRDMarkerItemInfo& above = *items_[size_t(parent)];
  const TRDMarkerItemInfo& marker = *items_[size_t(index)];
  return above.ListNo == marker.ListNo && above.Level < marker.Level;
}

int TRDMarkerList::ParentIndexOf(int index) const {
  int& parent = parents_[size_t(index)];
  if (MayBeParent(parent, index)) return parent;
  const TRDMarkerItemInfo& marker = *items_[size_t(index)];
  parent = -1;
  for (int i = index - 1; i >= 0;) {
    const TRDMarkerItemInfo& other = *items_[size_t(i)];
    if (other.ListNo != marker.ListNo) {
      --i;
    } else if (other.Level < marker.Level) {
      parent = i;
      break;
    } else if (const int known = parents_[size_t(i)]; MayBeParent(known, i)) {
      // Everything between a sibling or a deeper marker and its own parent is at least
      // as deep as that marker, so none of it can be the parent here.
      if (known < 0) break;
      i = known;
    } else {
      --i;
    }
  }
  return parent;
}

bool TRDMarkerList::FindParentMarker(int index, const TRDMarkerItemInfo* marker, int& parentIndex,
                                     const TRDMarkerList*& parentList) const {
  if (!marker) marker = Items(index);
  // A listed marker finds its parent here through the parents kept.
  const bool listed = index >= 0 && index < Count() && items_[size_t(index)] == marker;
  if (listed && (parentIndex = ParentIndexOf(index)) >= 0) {
    parentList = this;
    return true;
  }
  for (const TRDMarkerList* list = this; list; list = list->PrevMarkerList) {
    if (list == this && listed) continue;
    const int from = list == this ? index - 1 : list->Count() - 1;
    for (int i = from; i >= 0; --i) {
      const TRDMarkerItemInfo* other = list->Items(i);
      if (other->ListNo == marker->ListNo && other->Level < marker->Level) {
        parentIndex = i;
        parentList = list;
        return true;
      }
    }
  }
  parentIndex = -1;
  parentList = nullptr;
  return false;
}

void TRDMarkerList::RecalcCounters(int startIndex, const TRDStyle& rdStyle) {
  if (startIndex < 0 || startIndex >= Count() || Items(startIndex)->ListNo < 0) return;
  const int listNo = Items(startIndex)->ListNo;
  for (int i = startIndex; i < Count(); ++i) {
    TRDMarkerItemInfo& marker = *Items(i);
    if (marker.ListNo != listNo) continue;
    const TRDListLevel* level = marker.GetLevelInfo(&rdStyle);
    if (marker.Reset) {
      marker.Counter = marker.StartFrom;
    } else if (level) {
      marker.Counter = level->StartFrom;
      for (int j = i - 1; j >= 0; --j) {
        const TRDMarkerItemInfo& before = *Items(j);
        if (before.ListNo != listNo) continue;
        if (before.Level == marker.Level) {
          marker.Counter = NextNumber(before.Counter);
          break;
        }
        if (before.Level < marker.Level) {
          if (level->Options & rdloLevelReset) {
            marker.Counter = level->StartFrom;
            break;
          }
        } else {
          // A deeper marker: the next one of this level is the second (unless one of
          // this level further back says otherwise).
          marker.Counter = NextNumber(level->StartFrom);
        }
      }
    }
    // This recount may follow a change of the levels or lists before it.
    parents_[size_t(i)] = kParentUnknown;
    marker.CalcDisplayString(rdStyle, *this, i);
  }
}

std::vector<TRDMarkerState> TRDMarkerList::States(int count) const {
  std::vector<TRDMarkerState> states;
  for (int i = 0; i < count && i < Count(); ++i) {
    const TRDMarkerItemInfo& marker = *items_[size_t(i)];
    states.push_back({marker.ListNo, marker.Level, marker.Reset, marker.StartFrom, marker.Counter});
  }
  return states;
}

void TRDMarkerList::SaveBinary(TStream& stream, bool withSize) const {
  SaveMarkerBlock(stream, States(Count()), withSize);
}

bool TRDMarkerList::LoadBinary(TStream& stream, TCustomRDData* rdData, bool withSize) {
  Clear();
  // The block is taken whole, its length checked against the bytes that are there.
  std::int32_t size = 0;
  std::string block(kHeaderSize, '\0');
  if (withSize && (!GetInt32(stream, size) || size < kHeaderSize)) return false;
  if (stream.Read(block.data(), kHeaderSize) != kHeaderSize) return false;
  const std::int64_t records = withSize ? std::int64_t(size) - kHeaderSize
                                        : std::int64_t(kRecordSize) * GetInt32At(block, 4);
  if (records < 0 || records > stream.Size() - stream.Position()) return false;
  block.resize(size_t(kHeaderSize + records));
  if (records > 0) stream.ReadBuffer(block.data() + kHeaderSize, records);
  std::vector<TRDMarkerState> states;
  if (!LoadMarkerBlock(block, states) || std::int64_t(states.size()) * kRecordSize != records)
    return false;
  items_.reserve(states.size());
  parents_.assign(states.size(), kParentUnknown);
  owned_.reserve(states.size());
  for (const TRDMarkerState& state : states) {
    auto marker = TRDMarkerItemInfo::CreateMarker(rdData, state.ListNo,
                                                  TRDMarkerItemInfo::BoundedLevel(state.Level),
                                                  state.StartFrom, state.Reset);
    marker->Counter = state.Counter;
    marker->IndexInList = int(items_.size());
    items_.push_back(marker.get());
    owned_.push_back(std::move(marker));
  }
  return true;
}

bool TRDMarkerList::LoadFromString(std::string_view bytes, TCustomRDData* rdData) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
  stream.SetPosition(0);
  return LoadBinary(stream, rdData, true);
}

void TRDMarkerList::SaveToHexText(TStream& stream) const {
  TMemoryStream block;
  SaveBinary(block, true);
  std::string hex;
  StreamToHex(block, hex);
  StreamWriteLine(stream, hex);
}

bool TRDMarkerList::LoadFromHexText(std::string_view hex, TCustomRDData* rdData) {
  TMemoryStream stream;
  if (!HexToStream(hex, stream)) {
    Clear();
    return false;
  }
  stream.SetPosition(0);
  return LoadBinary(stream, rdData, true);
}

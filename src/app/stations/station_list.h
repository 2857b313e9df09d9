// The list the station store keeps its records in (station_store.h): sorted by key,
// and each record also in order of its time last heard, for aging.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sys/date_time.h"
#include "platform/text/string_list.h"

// Field numbers of a station record.
enum TStationField {
  sfKey = 0,
  sfSrcCall = 1,  // escaped
  sfOwnerCall = 2,
  sfLat = 3,
  sfLon = 4,
  sfSymTable = 5,  // decimal character codes from here to sfPosFormat
  sfSymCode = 6,
  sfObjState = 7,
  sfPosFormat = 8,
  sfRxStamp = 9,  // time last heard, "yymmddhhnnss"
  sfAprsTime = 10,
  sfComment = 11,  // escaped
  sfPort = 12,
  sfHeardVia = 13,
  sfDestCall = 14,
  sfPath = 15,
  sfAltitude = 16,
  sfSpeed = 17,
  sfRange = 18,
  sfCourse = 19,
  sfMicEMsg = 20,
  sfHeader = 21,      // escaped
  sfData = 22,        // escaped
  sfStatusText = 23,  // escaped: the last status or positionless weather field
  kStationFieldCount = 24
};

// A sorted string list (case-insensitive order of the whole line) built for tens of
// thousands of records under a busy feed. The lines lie in chunks of at most a few
// hundred, so adding or deleting one moves only its chunk's lines and the chunks'
// first indices; a line can be replaced in place; keys are found without copying a
// record, mostly by the first bytes kept beside each line; and the lines are also kept
// in order of their time last heard, each line holding its place there, so that aging
// looks only at the stations it removes and a station heard again moves in O(1). That
// order is on the monotonic clock (HeardTicks), where a wall clock set back cannot
// make a station heard now look older than one heard before the step.
// A line's text is never changed in place: a changed line gets a text of its own size,
// so that the lines can be shared with a save running on another thread (SharedLines).
class TStationList : public TStrings {
 public:
  using TText = std::shared_ptr<const std::string>;

  int Count() const override { return count_; }
  std::string Get(int index) const override;
  const std::string& Line(int index) const;
  // The line goes to its sorted place; a line equal to one already there is dropped.
  int Add(const std::string& text) override;
  // The same for a line whose key FindKey just looked for in vain: Place, where it said
  // that key's lines would go, spares the search when the line fits there.
  int Add(const std::string& text, int Place);
  // Refused: the list is sorted.
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override;
  // Puts text at index when that keeps the order, else deletes and re-adds it; the
  // index the line ends at.
  int Replace(int index, const std::string& text);
  // Replaces the content by Lines, sorted once.
  void Assign(std::vector<std::string> Lines);
  size_t MemoryBytes() const;
  // Counts every change of the lines: equal counts, equal content.
  std::uint64_t Changes() const { return changes_; }
  // Every line in order, shared: a copy of the list's content that costs a pointer a
  // line, for a thread that reads it while the list goes on changing.
  std::vector<TText> SharedLines() const;

  // The first and last index of the lines whose key (field 0) is Key, compared as
  // CsvFindRange does; -1 and -1 when there is none.
  // Place, when given, is where the key's lines are or would go (-1: not known).
  void FindKey(const std::string& Key, int& First, int& Last, int* Place = nullptr) const;
  // Where the time last heard of a line entering the list lies on the monotonic clock
  // (TicksAt); the station store sets it to its own clocks.
  std::function<std::int64_t(TDateTime Heard)> HeardTicks = [](TDateTime Heard) {
    return TicksAt(Heard, Now(), GetTickCount());
  };
  // The time last heard of the line at index, on the monotonic clock; none when its
  // time cannot be read.
  std::optional<std::int64_t> HeardAt(int index) const;
  // The time last heard (monotonic) and key of each line heard at Before or earlier,
  // oldest first; lines whose time cannot be read are never among them.
  std::vector<std::pair<std::int64_t, std::string>> HeardBefore(std::int64_t Before) const;
  // The keys of the Count lines heard longest ago (or of all, when fewer), oldest first;
  // lines whose time cannot be read are never among them.
  std::vector<std::string> OldestKeys(size_t Count) const;
  // Deletes the lines of all these keys (valid station keys, compared as FindKey does)
  // in one pass over the list: for thousands at once, where looking each up and
  // closing its gap would cost more.
  void DeleteKeys(const std::vector<std::string>& Keys);

 private:
  // Time last heard on the monotonic clock -> key; stations heard at the same time in
  // the order they came. A burst of new stations is heard within the same second by the
  // thousand: ordered by key as well, each would be looked for down the whole tree.
  using THeard = std::multimap<std::int64_t, std::string>;
  // The first bytes of a line upper-cased (NUL after its end): lines whose beginnings
  // differ are ordered without reading the rest, which lies elsewhere in memory.
  using TOrder = std::array<unsigned char, 16>;
  struct TLine {
    TText text;
    TOrder order;
    THeard::iterator heard;  // heard_.end() when its time cannot be read
  };
  struct TPlace {
    size_t chunk;
    size_t offset;
  };
  static TOrder OrderOf(std::string_view text);
  // CompareText of the two lines.
  static int Compare(const TLine& line, std::string_view text, const TOrder& order);
  TPlace Locate(int index) const;
  const TLine& At(int index) const;
  // The index of the first line not ordered before text.
  int LowerBound(const std::string& text) const;
  void InsertAt(int index, const std::string& text);
  void EraseAt(int index);
  void Renumber(size_t from);
  // Takes the line into the time index or out of it.
  void Heard(TLine& line);
  // Where Entry goes in the time index: a hint that places it as an insert without one
  // would (heard_.end() when it is not among the newest).
  THeard::iterator NewestPlace(const THeard::value_type& Entry);
  void Unheard(TLine& line);
  // Puts text in place of the line; a station heard again moves in the time index
  // without a new entry.
  void Reheard(TLine& line, const std::string& text);

  // A line's text of its own size; a line cleared before goes meanwhile.
  TText NewText(std::string text);

  std::vector<std::vector<TLine>> chunks_;
  std::vector<int> starts_;  // the index of each chunk's first line
  int count_ = 0;
  std::uint64_t changes_ = 0;
  THeard heard_;
  // Clear (aging every station at once) keeps the lines and time nodes as they lie,
  // without freeing each; the lines added later free one line each and take over a time
  // node: never more than the list held at its largest.
  std::vector<std::vector<TLine>> spare_lines_;
  THeard spare_heard_;
};

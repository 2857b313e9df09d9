// The heard stations, objects and items: one semicolon record of 24 fields per station
// (csv_ctrl.h), kept in key order in StationList and saved whole to "Stn.dat".
//
//   "AAprsN0CALL459";"N0CALL-9";"";"52.5083";"13.345";"47";"62";"63";"65";...
//
// Every decoded position goes through UpdateStation, which drops repeats heard within
// 20 seconds (digipeated copies, the same packet from radio and internet) and keeps the
// windows in step through TStationViews. AgeStations removes stations not heard for
// the configured number of minutes.
#pragma once

#include <array>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/receive/aprs_info.h"
#include "platform/sys/date_time.h"
#include "platform/text/string_list.h"

class TSoundQueue;

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

// MicEMsg of a weather station: beyond the Mic-E text table, so nothing is shown.
constexpr uint8_t kWeatherStationMicEMsg = 32;

// "AAprs" + Trim(Owner) + Trim(Name), every character but an ASCII letter or digit
// written as its decimal code: N0CALL-9 gives "AAprsN0CALL459". The key also names the
// station's map marker, so it holds letters and digits only.
std::string MakeStationKey(const std::string& Owner, const std::string& Name);
// The record of Info with an empty status text.
std::string StationRecord(const TAprsInfo& Info);

// A sorted string list (case-insensitive order of the whole line) built for tens of
// thousands of records under a busy feed. The lines lie in chunks of at most a few
// hundred, so adding or deleting one moves only its chunk's lines and the chunks'
// first indices; a line can be replaced in place; keys are found without copying a
// record, mostly by the first bytes kept beside each line; and the lines are also kept
// in order of their time last heard, each line holding its place there, so that aging
// looks only at the stations it removes and a station heard again moves in O(1).
class TStationList : public TStrings {
 public:
  int Count() const override { return count_; }
  std::string Get(int index) const override;
  const std::string& Line(int index) const;
  // The line goes to its sorted place; a line equal to one already there is dropped.
  int Add(const std::string& text) override;
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

  // The first and last index of the lines whose key (field 0) is Key, compared as
  // CsvFindRange does; -1 and -1 when there is none.
  void FindKey(const std::string& Key, int& First, int& Last) const;
  // The time last heard and key of each line heard at Before or earlier, oldest first;
  // lines whose time cannot be read are never among them.
  std::vector<std::pair<TDateTime, std::string>> HeardBefore(TDateTime Before) const;
  // Deletes the lines of all these keys (valid station keys, compared as FindKey does)
  // in one pass over the list: for thousands at once, where looking each up and
  // closing its gap would cost more.
  void DeleteKeys(const std::vector<std::string>& Keys);

 private:
  using THeard = std::multiset<std::pair<TDateTime, std::string>>;  // (time last heard, key)
  // The first bytes of a line upper-cased (NUL after its end): lines whose beginnings
  // differ are ordered without reading the rest, which lies elsewhere in memory.
  using TOrder = std::array<unsigned char, 16>;
  struct TLine {
    std::string text;
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
  void Unheard(TLine& line);
  // Puts text in place of the line; a station heard again moves in the time index
  // without a new entry.
  void Reheard(TLine& line, const std::string& text);

  // A line's text, in the room of a line cleared before when there is one.
  std::string TakeText(const std::string& text);

  std::vector<std::vector<TLine>> chunks_;
  std::vector<int> starts_;  // the index of each chunk's first line
  int count_ = 0;
  THeard heard_;
  // Clear (aging every station at once) keeps the lines' texts and time nodes as they
  // lie, without freeing each, and the lines added later take them over: never more
  // than the list held at its largest.
  std::vector<std::vector<TLine>> spare_lines_;
  THeard spare_heard_;
};

// What the store changes outside itself: the map, the station list and select
// windows, the detail window, the station counter, settings and the packet log. The
// window implements it; every operation does nothing by default.
class TStationViews {
 public:
  virtual ~TStationViews() = default;
  // Map: GeoToPixel, AddSymbolPlace, ShowStationCrosshair and DrawStationSymbol.
  virtual void ShowStationOnMap(const TAprsInfo&) {}
  virtual void FreeStationMarker(const std::string& /*Key*/) {}
  // The markers of many stations at once (aging); All: they are every station's markers.
  virtual void FreeStationMarkers(const std::vector<std::string>& Keys, bool /*All*/) {
    for (const std::string& key : Keys) FreeStationMarker(key);
  }
  virtual void DeleteSymbolPlaces(const std::string& /*Key*/) {}
  // The places of many stations at once (aging); All: they are every station's.
  virtual void DeleteSymbolPlaces(const std::vector<std::string>& Keys, bool /*All*/) {
    for (const std::string& key : Keys) DeleteSymbolPlaces(key);
  }
  // Hides the crosshair when it marks Key.
  virtual void ClearCrosshair(const std::string& /*Key*/) {}
  // Moves the crosshair to a station already on the map.
  virtual void MarkStation(const std::string& /*Key*/) {}
  // Station list window.
  virtual void AddOrUpdateStationRow(const std::string& /*Record*/) {}
  virtual void DeleteStationRow(const std::string& /*Key*/) {}
  // The rows of many stations at once (aging); All: they are the rows of every station.
  virtual void DeleteStationRows(const std::vector<std::string>& Keys, bool /*All*/) {
    for (const std::string& key : Keys) DeleteStationRow(key);
  }
  // A station's row deleted and its new record's row added, in one step where the
  // window can.
  virtual void ReplaceStationRow(const std::string& Key, const std::string& Record) {
    DeleteStationRow(Key);
    AddOrUpdateStationRow(Record);
  }
  // Station select window: drops Key from its pick list (closing when empty).
  virtual void DeletePickKey(const std::string& /*Key*/) {}
  // Station detail window.
  virtual bool StationInfoVisible() { return false; }
  virtual bool FollowRx() { return false; }
  virtual std::string ShownKey() { return ""; }
  virtual void ShowStationInfo(const std::string& /*Key*/) {}
  virtual void CloseStationInfo() {}
  // lblStnCount.
  virtual void ShowStationCount(int /*Count*/) {}
  // Settings: mbtnSoundRx, mbtnSoundCall, nedtStnDelete (minutes, 0 = never).
  virtual bool SoundRxOn() { return false; }
  virtual bool SoundCallOn() { return false; }
  virtual int StationMaxAgeMinutes() { return 0; }
  // One aging tick for the packet log recorder (it flushes every 20th while recording).
  virtual void LogTick() {}
  // A station read from "Stn.dat" joined the store: its marker (the row comes through
  // AddOrUpdateStationRow).
  virtual void ShowLoadedStation(const std::string& /*Record*/) {}
  // Many stations change at once (aging, loading): the windows may put off their
  // layout until the matching End.
  virtual void BeginStationChanges() {}
  virtual void EndStationChanges() {}
};

class TStationStore {
 public:
  explicit TStationStore(TStationViews& Views) : views_(Views) {}

  TStationList StationList;
  // Now; tests set their own clock.
  std::function<TDateTime()> Clock = Now;
  // Receive sounds and spelled callsigns; none plays while unset.
  TSoundQueue* Sounds = nullptr;

  // Adds or replaces the station of a decoded position.
  void UpdateStation(TAprsInfo Info);
  // Removes the station everywhere.
  void DeleteStation(const std::string& Key);
  // timStnDelete: removes the stations not heard for the configured time.
  void AgeStations();
  void UpdateStationCount();
  // Index of the first record of Key, -1 when there is none.
  int IndexOfStation(const std::string& Key) const;
  // Sets field 23 of a known station (status and positionless weather texts); false
  // when Key is not in the store.
  bool SetStatusText(const std::string& Key, const std::string& Escaped);

  // "Stn.dat": a missing file leaves the list as it is (false); lines that are no
  // station record are skipped. Save raises the stream errors; it first takes in what
  // is still being loaded, so no station read at the start is lost.
  bool LoadStations(const std::string& FileName);
  void SaveStations(const std::string& FileName);

  // "Stn.dat" in pieces, so that a large file does not hold the window up:
  // BeginLoadStations reads it (false when it is missing), each LoadStationsPiece adds
  // up to Count of its stations and shows them (row and marker); a station heard
  // meanwhile keeps what was heard. LoadStationsPiece is false once all are in.
  bool BeginLoadStations(const std::string& FileName);
  bool LoadStationsPiece(int Count);
  bool LoadingStations() const { return next_loading_ < loading_.size(); }
  // "Delete all" while loading: the rest of the file goes too.
  void DropLoadingStations();

 private:
  bool IsRepeat(const std::string& OldLine, const std::string& NewLine) const;
  // DeleteStation but for the counter.
  void RemoveStation(const std::string& Key);
  // What RemoveStation does after the marker, the lines and their rows went.
  void ForgetStation(const std::string& Key);
  // ForgetStation but for the symbol places.
  void LeaveViews(const std::string& Key);

  TStationViews& views_;
  bool aging_ = false;
  std::vector<std::string> loading_;  // records of "Stn.dat" still to come, in list order
  size_t next_loading_ = 0;
};

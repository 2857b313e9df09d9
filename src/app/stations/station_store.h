// The heard stations, objects and items: one semicolon record of 24 fields per station
// (csv_ctrl.h), kept in key order in StationList and saved whole to "Stn.dat".
//
//   "AAprsN0CALL459";"N0CALL-9";"";"52.5083";"13.345";"47";"62";"63";"65";...
//
// Every decoded position goes through UpdateStation, which drops repeats heard within
// 20 seconds (digipeated copies, the same packet from radio and internet) and keeps the
// windows in step through its views (TStationViews, one per role). AgeStations removes
// stations not heard for the configured number of minutes; beyond kMaxStations those
// heard longest ago go at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/receive/aprs_info.h"
#include "app/stations/station_list.h"
#include "platform/sys/background_saver.h"
#include "platform/sys/date_time.h"

class TSoundQueue;

// MicEMsg of a weather station: beyond the Mic-E text table, so nothing is shown.
constexpr uint8_t kWeatherStationMicEMsg = 32;

// Stations the store holds at most: far more than a full feed brings within any aging
// time, so that only a feed gone wrong (a new call in every line) reaches it. Beyond it
// the stations heard longest ago go as aging takes them, and "Stn.dat" holds what is
// left, so that memory, a save and the program's end stay bounded however long such a
// feed runs.
constexpr int kMaxStations = 200000;

// "AAprs" + Trim(Owner) + Trim(Name), every character but an ASCII letter or digit
// written as its decimal code: N0CALL-9 gives "AAprsN0CALL459". The key also names the
// station's map marker, so it holds letters and digits only.
std::string MakeStationKey(const std::string& Owner, const std::string& Name);
// The record of Info with an empty status text.
std::string StationRecord(const TAprsInfo& Info);

// What the store changes outside itself, by role: the map, the station list, the
// detail window with the pick list, the counter, and the settings it reads. The wiring
// connects each role to its window; every operation does nothing by default, so a view
// overrides only what it shows.

// The map: the stations' markers, their symbol places and the crosshair.
class TStationMarkers {
 public:
  virtual ~TStationMarkers() = default;
  // GeoToPixel, AddSymbolPlace, ShowStationCrosshair and DrawStationSymbol.
  virtual void ShowStationOnMap(const TAprsInfo&) {}
  // A station read from "Stn.dat" joined the store (its row comes through TStationRows).
  virtual void ShowLoadedStation(const std::string& /*Record*/) {}
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
  // Many stations are heard at once: the map may put off what only the last one shows
  // (the crosshair) until the matching End.
  virtual void BeginStationChanges() {}
  virtual void EndStationChanges() {}
};

// The station list window: one row per station.
class TStationRows {
 public:
  virtual ~TStationRows() = default;
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
  // Many stations change at once (aging, loading): the list may put off its layout
  // until the matching End.
  virtual void BeginStationChanges() {}
  virtual void EndStationChanges() {}
};

// The station detail window, and the pick list of the select window that leads to it.
class TStationDetail {
 public:
  virtual ~TStationDetail() = default;
  // Drops Key from the pick list (the select window closes when none is left).
  virtual void DeletePickKey(const std::string& /*Key*/) {}
  virtual bool StationInfoVisible() { return false; }
  // Its follow button is down: every station heard is shown.
  virtual bool FollowRx() { return false; }
  virtual std::string ShownKey() { return ""; }
  virtual void ShowStationInfo(const std::string& /*Key*/) {}
  virtual void CloseStationInfo() {}
};

// The station counter of the map window's status bar.
class TStationCounter {
 public:
  virtual ~TStationCounter() = default;
  virtual void ShowStationCount(int /*Count*/) {}
};

// The settings the store reads as stations come and age.
class TStationSettings {
 public:
  virtual ~TStationSettings() = default;
  // A sound for each station heard, and its callsign spoken.
  virtual bool SoundRxOn() const { return false; }
  virtual bool SoundCallOn() const { return false; }
  // Minutes a station stays unheard before it goes; 0: it stays.
  virtual int StationMaxAgeMinutes() const { return 0; }
};

// What a save of "Stn.dat" holds, taken at the cost of a pointer a record: the records
// heard, in key order, and those of a file still being loaded that were not heard
// meanwhile, in key order.
struct TStationFileSnapshot {
  std::vector<TStationList::TText> Heard;
  std::vector<TStationList::TText> Loading;
};

// The store's views, one per role; a role not given shows nothing. Not owned.
struct TStationViews {
  TStationMarkers* Markers = nullptr;
  TStationRows* Rows = nullptr;
  TStationDetail* Detail = nullptr;
  TStationCounter* Counter = nullptr;
  const TStationSettings* Settings = nullptr;
};

class TStationStore {
 public:
  TStationStore() : TStationStore(TStationViews{}) {}
  explicit TStationStore(const TStationViews& Views);
  TStationStore(const TStationStore&) = delete;
  TStationStore& operator=(const TStationStore&) = delete;

  // The roles left out show nothing.
  void SetViews(const TStationViews& Views);
  // Every role's view, none null.
  const TStationViews& Views() const { return views_; }

  TStationList StationList;
  // The wall clock the stations' stamps are read by, and the monotonic clock their
  // ages are measured on (the repeat rule, aging); tests set their own.
  std::function<TDateTime()> Clock = Now;
  std::function<std::uint64_t()> Ticks = GetTickCount;
  // Receive sounds and spelled callsigns; none plays while unset.
  TSoundQueue* Sounds = nullptr;
  // Stations held at most (kMaxStations); a file of more is read for its newest.
  int MaxStations = kMaxStations;

  // Adds or replaces the station of a decoded position.
  void UpdateStation(TAprsInfo Info);
  // Around the updates of many packets: the station list lays itself out once for all,
  // and the map moves its crosshair once, to the last station (the views'
  // BeginStationChanges); the pairs nest.
  void BeginChanges();
  void EndChanges();
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
  // station record are skipped. Save writes StationFileText and raises the stream
  // errors; it waits for a background save under way, so the file ends with the newest.
  bool LoadStations(const std::string& FileName);
  void SaveStations(const std::string& FileName);
  // Counts every change of what a save writes: equal counts, equal files.
  std::uint64_t Changes() const { return StationList.Changes() + loading_changes_; }
  // The same, on a thread of its own (background_saver.h): for the saves between start
  // and end, so that a crash, a lost display or a power cut loses minutes at most. The
  // records are taken here and now (StationFileSnapshot), the text is made and written
  // on that thread, so that no save holds the window up. The message of a background
  // save that failed is kept for TakeSaveFailure; the old file stays.
  void SaveStationsInBackground(const std::string& FileName);
  std::string TakeSaveFailure() { return saver_.TakeFailure(); }
  // What "Stn.dat" holds: the records in key order, one a line (CR LF); the stations of
  // a file still being loaded are in it, but for those heard meanwhile, which keep what
  // was heard. Touches no view.
  std::string StationFileText() const;
  TStationFileSnapshot StationFileSnapshot() const;
  // The text of a snapshot; on any thread.
  static std::string StationFileText(const TStationFileSnapshot& Snapshot);

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
  // NewLine repeats the record at Index, heard no more than 20 seconds ago.
  bool IsRepeat(int Index, const std::string& NewLine) const;
  // DeleteStation but for the counter.
  void RemoveStation(const std::string& Key);
  // Beyond MaxStations the stations heard longest ago go, as aging takes them.
  void DropOldestBeyondBound();
  // A file's records as the bound leaves them: the MaxStations heard last.
  void KeepNewest(std::vector<std::string>& Lines) const;
  // What RemoveStation does after the marker, the lines and their rows went.
  void ForgetStation(const std::string& Key);
  // ForgetStation but for the symbol places.
  void LeaveViews(const std::string& Key);

  TStationViews views_;
  bool aging_ = false;
  std::vector<TStationList::TText> loading_;  // records of "Stn.dat" still to come, in order
  size_t next_loading_ = 0;
  std::uint64_t loading_changes_ = 0;
  TBackgroundSaver saver_;
};

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

#include <functional>
#include <string>
#include <vector>

#include "app/receive/aprs_info.h"
#include "app/stations/station_list.h"
#include "platform/sys/date_time.h"

class TSoundQueue;

// MicEMsg of a weather station: beyond the Mic-E text table, so nothing is shown.
constexpr uint8_t kWeatherStationMicEMsg = 32;

// "AAprs" + Trim(Owner) + Trim(Name), every character but an ASCII letter or digit
// written as its decimal code: N0CALL-9 gives "AAprsN0CALL459". The key also names the
// station's map marker, so it holds letters and digits only.
std::string MakeStationKey(const std::string& Owner, const std::string& Name);
// The record of Info with an empty status text.
std::string StationRecord(const TAprsInfo& Info);

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

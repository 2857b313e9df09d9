// The station store's views connected to the windows, one per role: the map window's
// map and counter, the station list, the detail window with the select window's pick
// list, and the settings window. The wiring hands each the windows it reaches.
#pragma once

#include <string>
#include <vector>

#include "app/stations/station_store.h"

class TfrmAprs;
class TfrmAprsStnInfo;
class TfrmAprsStnList;
class TfrmAprsStnSelect;
class TfrmSetup;
class TLabel;
class TMapView;

class TMapStationMarkers : public TStationMarkers {
 public:
  explicit TMapStationMarkers(TMapView& Map) : map_(Map) {}
  void ShowStationOnMap(const TAprsInfo& Info) override;
  void ShowLoadedStation(const std::string& Record) override;
  void FreeStationMarker(const std::string& Key) override;
  void FreeStationMarkers(const std::vector<std::string>& Keys, bool All) override;
  void DeleteSymbolPlaces(const std::string& Key) override;
  void DeleteSymbolPlaces(const std::vector<std::string>& Keys, bool All) override;
  void ClearCrosshair(const std::string& Key) override;
  void MarkStation(const std::string& Key) override;
  void BeginStationChanges() override;
  void EndStationChanges() override;

 private:
  TMapView& map_;
};

class TListStationRows : public TStationRows {
 public:
  explicit TListStationRows(TfrmAprsStnList& List) : list_(List) {}
  void AddOrUpdateStationRow(const std::string& Record) override;
  void DeleteStationRow(const std::string& Key) override;
  void DeleteStationRows(const std::vector<std::string>& Keys, bool All) override;
  void ReplaceStationRow(const std::string& Key, const std::string& Record) override;
  void BeginStationChanges() override;
  void EndStationChanges() override;

 private:
  TfrmAprsStnList& list_;
};

// PickKeys: the map window's keys of the select window's rows, in their order.
class TWindowStationDetail : public TStationDetail {
 public:
  TWindowStationDetail(TfrmAprsStnInfo& Info, TfrmAprsStnSelect& Select,
                       std::vector<std::string>& PickKeys)
      : info_(Info), select_(Select), pick_keys_(PickKeys) {}
  void DeletePickKey(const std::string& Key) override;
  bool StationInfoVisible() override;
  bool FollowRx() override;
  std::string ShownKey() override;
  void ShowStationInfo(const std::string& Key) override;
  void CloseStationInfo() override;

 private:
  TfrmAprsStnInfo& info_;
  TfrmAprsStnSelect& select_;
  std::vector<std::string>& pick_keys_;
};

class TLabelStationCounter : public TStationCounter {
 public:
  explicit TLabelStationCounter(TfrmAprs& Map) : map_(Map) {}
  // "<count> Stationen" in the map window's counter, the word from the program texts (so
  // a language file turns it); a new word fits the counter's room to it.
  void ShowStationCount(int Count) override;

 private:
  TfrmAprs& map_;
  std::string word_;  // the word the room was fitted to
};

class TSetupStationSettings : public TStationSettings {
 public:
  explicit TSetupStationSettings(const TfrmSetup& Setup) : setup_(Setup) {}
  bool SoundRxOn() const override;            // mbtnSoundRx
  bool SoundCallOn() const override;          // mbtnSoundCall
  int StationMaxAgeMinutes() const override;  // nedtStnDelete

 private:
  const TfrmSetup& setup_;
};

// The five views of the map window's store, made once the windows exist; the store
// lets go of them before they go, and they go before the windows.
class TWindowStationViews {
 public:
  TWindowStationViews(TfrmAprs& Map, TfrmAprsStnList& List, TfrmAprsStnInfo& Info,
                      TfrmAprsStnSelect& Select, const TfrmSetup& Setup);
  TStationViews Views() { return {&markers_, &rows_, &detail_, &counter_, &settings_}; }

 private:
  TMapStationMarkers markers_;
  TListStationRows rows_;
  TWindowStationDetail detail_;
  TLabelStationCounter counter_;
  TSetupStationSettings settings_;
};

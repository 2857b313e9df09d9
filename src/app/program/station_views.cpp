#include "app/program/station_views.h"

#include <algorithm>

#include "app/language/frm_prg_msg.h"
#include "app/map/frm_aprs.h"
#include "app/map/map_view.h"
#include "app/settings/frm_setup.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "app/stations/frm_aprs_stn_select.h"
#include "platform/text/sysutils.h"

void TMapStationMarkers::ShowStationOnMap(const TAprsInfo& Info) {
  map_.ShowStation(Info);
}

void TMapStationMarkers::ShowLoadedStation(const std::string& Record) {
  map_.ShowStationRecord(Record);
}

void TMapStationMarkers::FreeStationMarker(const std::string& Key) {
  map_.FreeStationMarker(Key);
}

// Every station going at once: the markers go in one sweep, without a look-up each.
void TMapStationMarkers::FreeStationMarkers(const std::vector<std::string>& Keys, bool All) {
  if (All) {
    map_.FreeAllSymbols();
    return;
  }
  for (const std::string& key : Keys) map_.FreeStationMarker(key);
}

void TMapStationMarkers::DeleteSymbolPlaces(const std::string& Key) {
  map_.SymbolPlaces.DeleteSymbolPlaces(Key);
}

// Every station going at once: a place is only ever given to a station in the store,
// so none stays.
void TMapStationMarkers::DeleteSymbolPlaces(const std::vector<std::string>& Keys, bool All) {
  if (All) {
    map_.SymbolPlaces.Clear();
    return;
  }
  for (const std::string& key : Keys) map_.SymbolPlaces.DeleteSymbolPlaces(key);
}

void TMapStationMarkers::ClearCrosshair(const std::string& Key) {
  map_.ClearCrosshair(Key);
}

void TMapStationMarkers::MarkStation(const std::string& Key) {
  map_.ShowStationCrosshair(Key);
}

void TMapStationMarkers::BeginStationChanges() {
  map_.BeginStationChanges();
}

void TMapStationMarkers::EndStationChanges() {
  map_.EndStationChanges();
}

void TListStationRows::AddOrUpdateStationRow(const std::string& Record) {
  list_.AddOrUpdateStationRow(Record);
}

void TListStationRows::DeleteStationRow(const std::string& Key) {
  list_.DeleteStationRow(Key);
}

void TListStationRows::DeleteStationRows(const std::vector<std::string>& Keys, bool All) {
  list_.DeleteStationRows(Keys, All);
}

void TListStationRows::ReplaceStationRow(const std::string& Key, const std::string& Record) {
  list_.ReplaceStationRow(Key, Record);
}

// The station list lays itself out once for all the rows that came or went.
void TListStationRows::BeginStationChanges() {
  list_.ExSectionList1->BeginUpdate();
}

void TListStationRows::EndStationChanges() {
  list_.ExSectionList1->EndUpdate();
}

void TWindowStationDetail::DeletePickKey(const std::string& Key) {
  const auto it = std::find(pick_keys_.begin(), pick_keys_.end(), Key);
  if (it == pick_keys_.end()) return;
  const int row = static_cast<int>(it - pick_keys_.begin());
  pick_keys_.erase(it);
  TStringList& rows = select_.lboxStnSelect->Items();
  if (row < rows.Count()) rows.Delete(row);
  if (pick_keys_.empty()) select_.Close();
}

bool TWindowStationDetail::StationInfoVisible() {
  return info_.Visible();
}

bool TWindowStationDetail::FollowRx() {
  return info_.mbtnFollowRx->Down();
}

std::string TWindowStationDetail::ShownKey() {
  return ::ShownKey;
}

void TWindowStationDetail::ShowStationInfo(const std::string& Key) {
  info_.ShowStationInfo(Key);
}

void TWindowStationDetail::CloseStationInfo() {
  info_.HideStationInfo();
}

void TLabelStationCounter::ShowStationCount(int Count) {
  const std::string word = PrgMsg(&TfrmPrgMsg::lblWordStations, "Stationen");
  if (word != word_) {
    word_ = word;
    map_.FitStationCount(IntToStr(kMaxStations) + " " + word);
  }
  map_.lblStnCount->SetCaption(IntToStr(Count) + " " + word);
}

bool TSetupStationSettings::SoundRxOn() const {
  return setup_.mbtnSoundRx->Down();
}

bool TSetupStationSettings::SoundCallOn() const {
  return setup_.mbtnSoundCall->Down();
}

int TSetupStationSettings::StationMaxAgeMinutes() const {
  return setup_.nedtStnDelete->IntIst();
}

TWindowStationViews::TWindowStationViews(TfrmAprs& Map, TfrmAprsStnList& List,
                                         TfrmAprsStnInfo& Info, TfrmAprsStnSelect& Select,
                                         const TfrmSetup& Setup)
    : markers_(*Map.Map),
      rows_(List),
      detail_(Info, Select, Map.PickKeys),
      counter_(Map),
      settings_(Setup) {}

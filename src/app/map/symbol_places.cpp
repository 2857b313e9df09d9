#include "app/map/symbol_places.h"

#include <algorithm>

#include "app/stations/station_store.h"
#include "app/stations/station_tables.h"
#include "core/csv_ctrl.h"
#include "platform/text/sysutils.h"

namespace {

bool FloatField(const std::string& Record, int Index, double& Value) {
  std::string field;
  CsvGetField(Index, Record, field);
  return TryStrToFloat(field, Value);
}

std::string PlaceKey(const std::string& Key) {
  return UpperCase(Trim(Key));
}

}  // namespace

TSymbolPlaces::TSymbolPlaces() {
  places_.reserve(kStationTableSize);
}

void TSymbolPlaces::AddSymbolPlace(const std::string& Key, int Y, int X) {
  if (!IsOnMap(map_, Y, X)) return;
  std::string upper = PlaceKey(Key);
  const auto place = places_.find(upper);
  if (place == places_.end()) {
    spare_places_.Insert(places_, upper, TPlace{Trim(Key), Y, X, rebuild_});
    ++given_;
  } else {
    if (place->second.rebuild != rebuild_) ++given_;
    place->second = TPlace{Trim(Key), Y, X, rebuild_};
  }
}

bool TSymbolPlaces::GetSymbolPlace(const std::string& Key, int& Y, int& X) const {
  const auto place = places_.find(PlaceKey(Key));
  if (place == places_.end()) {
    Y = -1;
    X = -1;
    return false;
  }
  Y = place->second.y;
  X = place->second.x;
  return true;
}

void TSymbolPlaces::DeleteSymbolPlaces(const std::string& Key) {
  const auto place = places_.find(PlaceKey(Key));
  if (place == places_.end()) return;
  if (place->second.rebuild == rebuild_) --given_;
  spare_places_.Erase(places_, place);
}

void TSymbolPlaces::Clear() {
  spare_places_.EraseAll(places_);
  given_ = 0;
}

void TSymbolPlaces::Reset(const TMapGeometry& Map) {
  map_ = Map;
  Clear();
  // Made for the stations a map shows before the first of them comes.
  places_.reserve(kStationTableSize);
}

void TSymbolPlaces::BeginRebuild(const TMapGeometry& Map) {
  map_ = Map;
  ++rebuild_;
  given_ = 0;
}

void TSymbolPlaces::EndRebuild() {
  if (given_ != places_.size()) {
    std::erase_if(places_, [this](const auto& place) { return place.second.rebuild != rebuild_; });
  }
}

void TSymbolPlaces::RebuildSymbolPlaces(const TStrings& Stations, const TMapGeometry& Map) {
  Reset(Map);
  for (int i = 0; i < Stations.Count(); ++i) {
    const std::string record = Stations[i];
    double lat = 0;
    double lon = 0;
    if (!FloatField(record, sfLat, lat) || !FloatField(record, sfLon, lon)) continue;
    std::string key;
    CsvGetField(sfKey, record, key);
    int y = -1;
    int x = -1;
    GeoToPixel(map_, y, x, lat, lon);
    AddSymbolPlace(key, y, x);
  }
}

std::vector<std::string> TSymbolPlaces::KeysNearCursor(int CursorY, int CursorX) const {
  std::vector<const TPlaces::value_type*> near;
  for (const auto& entry : places_) {
    if (IsNearCursor(map_, entry.second.y, entry.second.x, CursorY, CursorX))
      near.push_back(&entry);
  }
  std::sort(near.begin(), near.end(),
            [](const auto* a, const auto* b) { return a->first < b->first; });
  std::vector<std::string> keys;
  keys.reserve(near.size());
  for (const auto* entry : near) keys.push_back(entry->second.key);
  return keys;
}

#include "app/map/symbol_places.h"

#include "app/stations/station_store.h"
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

void TSymbolPlaces::AddSymbolPlace(const std::string& Key, int Y, int X) {
  if (!IsOnMap(map_, Y, X)) return;
  std::string upper = PlaceKey(Key);
  // Places given in key order (rebuilt from the station list) are each found where
  // the one before left off.
  auto place = next_ != places_.end() && next_->first == upper ? next_ : places_.find(upper);
  if (place == places_.end()) {
    place = places_.emplace_hint(next_, std::move(upper), TPlace{Trim(Key), Y, X, rebuild_});
    ++given_;
  } else {
    if (place->second.rebuild != rebuild_) ++given_;
    place->second = TPlace{Trim(Key), Y, X, rebuild_};
  }
  next_ = std::next(place);
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
  if (next_ == place) ++next_;
  places_.erase(place);
}

void TSymbolPlaces::Clear() {
  places_.clear();
  given_ = 0;
  next_ = places_.end();
}

void TSymbolPlaces::Reset(const TMapGeometry& Map) {
  map_ = Map;
  Clear();
}

void TSymbolPlaces::BeginRebuild(const TMapGeometry& Map) {
  map_ = Map;
  ++rebuild_;
  given_ = 0;
  next_ = places_.begin();
}

void TSymbolPlaces::EndRebuild() {
  if (given_ != places_.size()) {
    std::erase_if(places_, [this](const auto& place) { return place.second.rebuild != rebuild_; });
  }
  next_ = places_.end();
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
  std::vector<std::string> keys;
  for (const auto& [upper, place] : places_) {
    if (IsNearCursor(map_, place.y, place.x, CursorY, CursorX)) keys.push_back(place.key);
  }
  return keys;
}

#include "app/symbol_places.h"

#include "app/station_store.h"
#include "core/csv_ctrl.h"
#include "platform/text/sysutils.h"

namespace {

enum TPlaceField { pfKey = 0, pfY = 1, pfX = 2 };

std::string PlaceRecord(const std::string& Key, int Y, int X) {
  std::string record;
  CsvAddField(Key, record);
  CsvAddField(IntToStr(Y), record);
  CsvAddField(IntToStr(X), record);
  return record;
}

int IntField(const std::string& Record, int Index) {
  std::string field;
  CsvGetField(Index, Record, field);
  return StrToIntDef(field, -1);
}

bool FloatField(const std::string& Record, int Index, double& Value) {
  std::string field;
  CsvGetField(Index, Record, field);
  return TryStrToFloat(field, Value);
}

}  // namespace

TSymbolPlaces::TSymbolPlaces() {
  places_.SetSorted(true);
  places_.SetDuplicates(dupAccept);
}

void TSymbolPlaces::AddSymbolPlace(const std::string& Key, int Y, int X) {
  if (!IsOnMap(map_, Y, X)) return;
  int first = -1;
  int last = -1;
  CsvFindRange(Key, places_, first, last);
  if (first >= 0) places_.Delete(first);
  places_.Add(PlaceRecord(Key, Y, X));
}

bool TSymbolPlaces::GetSymbolPlace(const std::string& Key, int& Y, int& X) const {
  int first = -1;
  int last = -1;
  CsvFindRange(Key, places_, first, last);
  if (first < 0) {
    Y = -1;
    X = -1;
    return false;
  }
  Y = IntField(places_[first], pfY);
  X = IntField(places_[first], pfX);
  return true;
}

void TSymbolPlaces::DeleteSymbolPlaces(const std::string& Key) {
  int first = -1;
  int last = -1;
  CsvFindRange(Key, places_, first, last);
  for (int i = last; first >= 0 && i >= first; --i) places_.Delete(i);
}

void TSymbolPlaces::RebuildSymbolPlaces(const TStrings& Stations, const TMapGeometry& Map) {
  map_ = Map;
  places_.BeginUpdate();
  places_.Clear();
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
  places_.EndUpdate();
}

void TSymbolPlaces::Place(int Index, std::string& Key, int& Y, int& X) const {
  const std::string& record = places_[Index];
  CsvGetField(pfKey, record, Key);
  Y = IntField(record, pfY);
  X = IntField(record, pfX);
}

std::vector<std::string> TSymbolPlaces::KeysNearCursor(int CursorY, int CursorX) const {
  std::vector<std::string> keys;
  for (int i = 0; i < places_.Count(); ++i) {
    std::string key;
    int y = -1;
    int x = -1;
    Place(i, key, y, x);
    if (IsNearCursor(map_, y, x, CursorY, CursorX)) keys.push_back(std::move(key));
  }
  return keys;
}

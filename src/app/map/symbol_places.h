// Where each station sits on the loaded map: per station key its pixel (Y, X), kept in
// key order (compared without case) and only for stations on the map. A station that
// moves off the map keeps its old place until the places are rebuilt; the double-click
// pick list searches them. Every packet of a busy feed moves a place, so a place is
// found and replaced without moving the others.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/map/map_coordinates.h"
#include "platform/text/string_list.h"

class TSymbolPlaces {
 public:
  // Only for a point on the map: replaces the key's place (its first row).
  void AddSymbolPlace(const std::string& Key, int Y, int X);
  // -1 and -1 (and false) when the key has no place.
  bool GetSymbolPlace(const std::string& Key, int& Y, int& X) const;
  // Every row of the key.
  void DeleteSymbolPlaces(const std::string& Key);
  void Clear() { places_.clear(); }
  // No places, on Map from now on.
  void Reset(const TMapGeometry& Map);
  // The places of every station record of Stations (their latitude and longitude
  // fields) on Map, which later places are checked against too; records without a
  // readable position are skipped.
  void RebuildSymbolPlaces(const TStrings& Stations, const TMapGeometry& Map);

  int Count() const { return static_cast<int>(places_.size()); }
  // Keys of the places strictly inside the pick box round the cursor (IsNearCursor),
  // in key order.
  std::vector<std::string> KeysNearCursor(int CursorY, int CursorX) const;

 private:
  struct TPlace {
    std::string key;  // as given
    int y;
    int x;
  };
  std::map<std::string, TPlace> places_;  // by upper-case key
  TMapGeometry map_;
};

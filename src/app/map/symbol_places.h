// Where each station sits on the loaded map: per station key (compared without case)
// its pixel (Y, X), only for stations on the map. A station that moves off the map
// keeps its old place until the places are rebuilt; the double-click pick list searches
// them. Every packet of a busy feed moves a place, so a place is found by hashing (a
// search through tens of thousands of keys in order would touch a dozen cold ones) and
// replaced without moving the others.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "app/map/map_coordinates.h"
#include "app/stations/recycled_nodes.h"
#include "platform/text/string_list.h"

class TSymbolPlaces {
 public:
  // Made for a full feed's stations: the map loaded at start-up places none to size
  // them, and the burst of new stations that follows would grow the table step by step.
  TSymbolPlaces();
  // It keeps a place in its own map.
  TSymbolPlaces(const TSymbolPlaces&) = delete;
  TSymbolPlaces& operator=(const TSymbolPlaces&) = delete;

  // Only for a point on the map: replaces the key's place (its first row).
  void AddSymbolPlace(const std::string& Key, int Y, int X);
  // -1 and -1 (and false) when the key has no place.
  bool GetSymbolPlace(const std::string& Key, int& Y, int& X) const;
  // Every row of the key.
  void DeleteSymbolPlaces(const std::string& Key);
  void Clear();
  // No places, on Map from now on.
  void Reset(const TMapGeometry& Map);
  // The places on Map are given anew (AddSymbolPlace) until EndRebuild, which drops
  // those not given: a map load replaces tens of thousands of places, mostly of the
  // same stations, and keeps their nodes instead of freeing and making them again.
  void BeginRebuild(const TMapGeometry& Map);
  void EndRebuild();
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
    unsigned rebuild;  // the last rebuild that gave it
  };
  using TPlaces = std::unordered_map<std::string, TPlace>;
  TPlaces places_;  // by upper-case key
  // Aging may take every place at once: the nodes are kept for the places that follow.
  TRecycledNodes<TPlaces> spare_places_;
  TMapGeometry map_;
  unsigned rebuild_ = 0;
  size_t given_ = 0;  // places the current rebuild gave
};

// Where each station sits on the loaded map: a sorted list of semicolon records
// [Key, Y, X] (csv_ctrl.h), vertical coordinate first,
//
//   "AAprsN0CALL459";"412";"1093"
//
// kept only for stations on the map. A station that moves off the map keeps its old
// place until the places are rebuilt; the double-click pick list searches them.
#pragma once

#include <string>
#include <vector>

#include "app/map_coordinates.h"
#include "platform/text/string_list.h"

class TSymbolPlaces {
 public:
  TSymbolPlaces();

  // Only for a point on the map: replaces the key's place (its first row).
  void AddSymbolPlace(const std::string& Key, int Y, int X);
  // -1 and -1 (and false) when the key has no place.
  bool GetSymbolPlace(const std::string& Key, int& Y, int& X) const;
  // Every row of the key.
  void DeleteSymbolPlaces(const std::string& Key);
  void Clear() { places_.Clear(); }
  // The places of every station record of Stations (their latitude and longitude
  // fields) on Map, which later places are checked against too; records without a
  // readable position are skipped.
  void RebuildSymbolPlaces(const TStrings& Stations, const TMapGeometry& Map);

  int Count() const { return places_.Count(); }
  // Row Index as (Key, Y, X).
  void Place(int Index, std::string& Key, int& Y, int& X) const;
  // Keys of the places strictly inside the pick box round the cursor (IsNearCursor),
  // in list order.
  std::vector<std::string> KeysNearCursor(int CursorY, int CursorX) const;

 private:
  TStringList places_;
  TMapGeometry map_;
};

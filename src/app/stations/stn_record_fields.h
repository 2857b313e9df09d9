// Reading station records (station_store.h) for display: one field as stored, or the
// text of an escaped field.
#pragma once

#include <string>
#include <string_view>

#include "app/stations/station_list.h"

std::string StationField(const std::string& Record, int Index);
// The unescaped text of an escaped field; a malformed escape (a hand-edited "Stn.dat")
// shows the field as stored rather than losing the station's row or window.
std::string StationFieldText(const std::string& Record, int Index);
// A field holding a decimal character code, as the character; '\0' when unreadable.
char StationFieldChar(const std::string& Record, int Index);

// The fields of a record found in one pass, for a reader of several: each read as the
// routines above read it. Only the first Count are looked for (the longest, header and
// data, come last); the others read empty.
class TStationFields {
 public:
  explicit TStationFields(std::string_view Record, int Count = kStationFieldCount);
  std::string Field(int Index) const;  // StationField
  std::string Text(int Index) const;   // StationFieldText

 private:
  std::string_view fields_[kStationFieldCount];
};

// Reading station records (station_store.h) for display: one field as stored, or the
// text of an escaped field.
#pragma once

#include <string>

std::string StationField(const std::string& Record, int Index);
// The unescaped text of an escaped field; a malformed escape (a hand-edited "Stn.dat")
// shows the field as stored rather than losing the station's row or window.
std::string StationFieldText(const std::string& Record, int Index);
// A field holding a decimal character code, as the character; '\0' when unreadable.
char StationFieldChar(const std::string& Record, int Index);

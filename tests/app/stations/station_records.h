// Station records for the station window tests, built the way the station store
// builds them.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "app/receive/aprs_info.h"
#include "app/stations/station_store.h"
#include "core/csv_ctrl.h"
#include "platform/sys/date_time.h"
#include "platform/text/sysutils.h"

// The tests' clock: noon on the day SampleStation was heard.
inline TDateTime Noon() {
  return EncodeDate(2026, 12, 7) + EncodeTime(12, 0, 0, 0);
}

// The tests' monotonic clock: the milliseconds of a wall-clock time, so that a time last
// heard lies on it where the wall clock puts it.
inline std::int64_t MsOf(TDateTime t) {
  return std::llround(t * MSecsPerDay);
}

// A time last heard as the records hold it.
inline std::string StampAt(TDateTime t) {
  return FormatDateTime("yymmddhhnnss", t);
}

// A station heard directly on radio port 1 at 2026-12-07 08:30:15 with a plain position.
inline TAprsInfo SampleStation(const std::string& Call, const std::string& Lat = "52.5",
                               const std::string& Lon = "13.4") {
  TAprsInfo info;
  info.SrcCall = Call;
  info.HasPosition = true;
  info.Lat = StrToFloat(Lat);
  info.Lon = StrToFloat(Lon);
  info.SymTable = '/';
  info.SymCode = '>';
  info.PosFormat = 'A';
  info.RxStamp = "261207083015";
  info.Port = 1;
  info.DestCall = "APRS";
  info.Path = "WIDE1-1";
  info.Header = "fm " + Call + " to APRS via WIDE1-1 ctl UI pid F0";
  info.Data = "!5230.00N/01324.00E>";
  return info;
}

inline std::string RecordOf(TAprsInfo Info) {
  Info.Key = MakeStationKey(Info.OwnerCall, Info.SrcCall);
  return StationRecord(Info);
}

// The record with a stored status or positionless weather field (data type first).
inline std::string WithStatus(std::string Record, const std::string& Status) {
  std::string escaped;
  CsvEscape(Status, escaped);
  CsvSetField(sfStatusText, escaped, Record);
  return Record;
}

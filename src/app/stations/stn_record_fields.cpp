#include "app/stations/stn_record_fields.h"

#include <algorithm>
#include <span>

#include "core/csv_ctrl.h"
#include "platform/text/sysutils.h"

namespace {

std::string Unescaped(const std::string& field) {
  std::string plain;
  try {
    CsvUnescape(field, plain);
  } catch (const EConvertError&) {
    return field;
  }
  return plain;
}

}  // namespace

std::string StationField(const std::string& Record, int Index) {
  std::string field;
  CsvGetField(Index, Record, field);
  return field;
}

std::string StationFieldText(const std::string& Record, int Index) {
  return Unescaped(StationField(Record, Index));
}

char StationFieldChar(const std::string& Record, int Index) {
  return static_cast<char>(static_cast<unsigned char>(StrToIntDef(StationField(Record, Index), 0)));
}

TStationFields::TStationFields(std::string_view Record, int Count) {
  CsvFieldViews(Record, std::span(fields_, static_cast<size_t>(std::clamp(
                                               Count, 0, static_cast<int>(kStationFieldCount)))));
}

std::string TStationFields::Field(int Index) const {
  std::string field(fields_[Index]);
  CsvUndoubleQuotes(field);
  return field;
}

std::string TStationFields::Text(int Index) const {
  return Unescaped(Field(Index));
}

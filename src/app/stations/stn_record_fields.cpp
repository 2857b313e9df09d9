#include "app/stations/stn_record_fields.h"

#include "core/csv_ctrl.h"
#include "platform/text/sysutils.h"

std::string StationField(const std::string& Record, int Index) {
  std::string field;
  CsvGetField(Index, Record, field);
  return field;
}

std::string StationFieldText(const std::string& Record, int Index) {
  const std::string field = StationField(Record, Index);
  std::string plain;
  try {
    CsvUnescape(field, plain);
  } catch (const EConvertError&) {
    return field;
  }
  return plain;
}

char StationFieldChar(const std::string& Record, int Index) {
  return static_cast<char>(static_cast<unsigned char>(StrToIntDef(StationField(Record, Index), 0)));
}

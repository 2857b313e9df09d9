#include "app/map/map_catalog.h"

#include <vector>

#include "app/map/map_calibration.h"
#include "core/csv_ctrl.h"
#include "platform/sys/files.h"
#include "platform/text/sysutils.h"

namespace {

enum TCatalogField {
  cfLatSpan = 0,
  cfLonSpan = 1,
  cfLatMin = 2,
  cfLonMin = 3,
  cfLatMax = 4,
  cfLonMax = 5,
  cfFile = 6,
  cfName = 7
};

// Fixed width, so sorting the texts sorts the spans.
const char* const kSpanPicture = "00000.00000";
const char* const kImagePatterns[] = {"*.jpeg", "*.jpg", "*.bmp", "*.gif"};

std::string FloatText(long double Value) {
  return FloatToStr(static_cast<double>(Value));
}

bool ReadFloatField(const std::string& Record, int Index, long double& Value) {
  std::string field;
  CsvGetField(Index, Record, field);
  double number = 0;
  if (!TryStrToFloat(field, number)) return false;
  Value = number;
  return true;
}

bool ContainsStrictly(const TMapCorners& c, double Lon, double Lat) {
  const double lon = MapLongitude(c, Lon);
  return c.LatMin < Lat && Lat < c.LatMax && c.LonMin < lon && lon < c.LonMax;
}

}  // namespace

std::string MapCatalogRecord(const TMapCatalogEntry& Entry) {
  const TMapCorners& c = Entry.Corners;
  std::string file;
  std::string name;
  CsvEscape(Entry.File, file);
  CsvEscape(Entry.Name, name);
  std::string record;
  for (const std::string& field :
       {FormatFloat(kSpanPicture, static_cast<double>(c.LatMax - c.LatMin)),
        FormatFloat(kSpanPicture, static_cast<double>(c.LonMax - c.LonMin)), FloatText(c.LatMin),
        FloatText(c.LonMin), FloatText(c.LatMax), FloatText(c.LonMax), file, name}) {
    CsvAddField(field, record);
  }
  return record;
}

bool ReadMapCatalogRecord(const std::string& Record, TMapCatalogEntry& Entry) {
  TMapCatalogEntry read;
  if (!ReadFloatField(Record, cfLatMin, read.Corners.LatMin) ||
      !ReadFloatField(Record, cfLonMin, read.Corners.LonMin) ||
      !ReadFloatField(Record, cfLatMax, read.Corners.LatMax) ||
      !ReadFloatField(Record, cfLonMax, read.Corners.LonMax)) {
    return false;
  }
  std::string field;
  try {
    CsvGetField(cfFile, Record, field);
    CsvUnescape(field, read.File);
    CsvGetField(cfName, Record, field);
    CsvUnescape(field, read.Name);
  } catch (const EConvertError&) {
    return false;
  }
  if (read.File.empty()) return false;
  Entry = std::move(read);
  return true;
}

void BuildMapCatalog(const std::string& MapDir, TStringList& Catalog) {
  Catalog.Clear();
  if (MapDir.empty()) return;
  const std::string folder = IncludeTrailingPathDelimiter(MapDir);
  for (const char* pattern : kImagePatterns) {
    for (const std::string& file : FindFiles(folder, pattern, true)) {
      TMapCatalogEntry entry;
      entry.File = file;
      TMapCorners& c = entry.Corners;
      if (ReadMapCalibration(file, c.LatMin, c.LonMin, entry.Name, c.LonMax, c.LatMax))
        Catalog.Add(MapCatalogRecord(entry));
    }
  }
}

std::string ChooseZoomMap(const TStrings& Catalog, const std::string& CurrentFile,
                          TZoomDirection Direction, TZoomReach Reach, double Lon, double Lat) {
  std::vector<TMapCatalogEntry> candidates;
  int current = -1;
  for (int i = 0; i < Catalog.Count(); ++i) {
    TMapCatalogEntry entry;
    if (!ReadMapCatalogRecord(Catalog[i], entry) || !ContainsStrictly(entry.Corners, Lon, Lat))
      continue;
    if (entry.File == CurrentFile) current = static_cast<int>(candidates.size());
    candidates.push_back(std::move(entry));
  }
  if (candidates.empty()) return {};
  const int last = static_cast<int>(candidates.size()) - 1;
  int chosen = -1;
  if (Reach == TZoomReach::ToLimit) {
    chosen = Direction == TZoomDirection::Out ? last : 0;
    if (chosen == current) chosen = -1;
  } else if (current >= 0 && Direction == TZoomDirection::Out) {
    if (current < last) chosen = current + 1;
  } else if (current >= 0) {
    const TMapCorners& now = candidates[static_cast<size_t>(current)].Corners;
    for (int i = current - 1; i >= 0 && chosen < 0; --i) {
      const TMapCorners& c = candidates[static_cast<size_t>(i)].Corners;
      if (c.LatMax - c.LatMin <= now.LatMax - now.LatMin &&
          c.LonMax - c.LonMin <= now.LonMax - now.LonMin) {
        chosen = i;
      }
    }
  }
  return chosen < 0 ? std::string() : candidates[static_cast<size_t>(chosen)].File;
}

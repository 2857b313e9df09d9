#include "app/map/map_calibration.h"

#include <cstdint>
#include <utility>

#include "controls/my_msg_dialog.h"
#include "core/aprs_position.h"
#include "platform/sys/files.h"
#include "platform/text/local_texts.h"
#include "platform/text/shown_text.h"
#include "platform/text/streams.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

const char* const kNoCalibration = "DAT/INF Datei f\xFCr folgende Karte nicht gefunden!";
const char* const kImageGone = "Karten Datei nicht gefunden, laden abgebrochen!";
const char* const kCalibrationUnusable = "Kalibrierdatei unbrauchbar, laden abgebrochen!";
const char* const kCalibrationTooFewCorners = "Sie nennt keine zwei lesbaren Ecken der Karte.";
const char* const kCalibrationNoArea =
    "Ihre beiden Ecken spannen keine Fl\xE4"
    "che auf.";

namespace {

// The corner lines and the name, comments left out; at most the three lines used.
std::vector<std::string> CalibrationLines(const std::string& Text) {
  TStringList lines;
  lines.SetText(Text);
  std::vector<std::string> used;
  for (int i = 0; i < lines.Count() && used.size() < 3; ++i) {
    std::string line = Trim(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    used.push_back(std::move(line));
  }
  return used;
}

// Two corners and a name, after a few comment lines: the head of a calibration file is
// all of it that is used, whatever lies beyond (a damaged file's gigabyte of NULs).
constexpr int64_t kCalibrationHeadBytes = 64 * 1024;

// The file's head, ended at its last whole line when the file goes on.
std::string CalibrationHead(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  std::string head(size_t(kCalibrationHeadBytes), '\0');
  head.resize(size_t(file.Read(head.data(), kCalibrationHeadBytes)));
  if (file.Size() > int64_t(head.size())) head.erase(head.find_last_of("\r\n") + 1);
  return head;
}

}  // namespace

std::string MapCalibrationFile(const std::string& ImageFile) {
  // The maps were named on a system that ignores case; here "Karte.dat" must be found too.
  for (const char* extension : {".DAT", ".dat", ".INF", ".inf"}) {
    std::string name = ChangeFileExt(ImageFile, extension);
    if (FileExists(name)) return name;
  }
  return {};
}

bool ReadMapCalibration(const std::string& FileName, long double& LatMin, long double& LonMin,
                        std::string& MapName, long double& LonMax, long double& LatMax) {
  if (FileName.empty() || !FileExists(FileName)) return false;
  const std::string calibration = MapCalibrationFile(FileName);
  const std::string noCalibration =
      ShownText(LocalText(kNoCalibration)) + "\n\r" + ShownFileName(FileName);
  if (calibration.empty()) {
    MyShowError(noCalibration);
    return false;
  }
  // The file is there: the box names it and says what is wrong with it.
  const auto unusable = [&calibration](const std::string& Why) {
    MyShowError(ShownText(LocalText(kCalibrationUnusable)) + "\n\r" + ShownFileName(calibration) +
                "\n\r" + Why);
  };
  std::string text;
  try {
    text = CalibrationHead(calibration);
  } catch (const Exception& error) {
    unusable(ShownText(error.what()));
    return false;
  }
  long double lat_min = 0, lon_min = 0, lon_max = 0, lat_max = 0;
  std::string name;
  const char* why = nullptr;
  if (!ParseMapCalibration(text, SameText(ExtractFileExt(calibration), ".INF"), lat_min, lon_min,
                           name, lon_max, lat_max, &why)) {
    unusable(ShownText(LocalText(why)));
    return false;
  }
  if (!FileExists(FileName)) {
    MyShowError(LocalText(kImageGone));
    return false;
  }
  LatMin = lat_min;
  LonMin = lon_min;
  LonMax = lon_max;
  LatMax = lat_max;
  MapName = name;
  return true;
}

bool ParseMapCalibration(const std::string& Text, bool Typed, long double& LatMin,
                         long double& LonMin, std::string& MapName, long double& LonMax,
                         long double& LatMax, const char** Why) {
  const std::vector<std::string> lines = CalibrationLines(Text);
  double lat[2] = {};
  double lon[2] = {};
  int corners = 0;
  for (size_t i = 0; i < lines.size() && i < 2; ++i) {
    const std::string text = Typed ? NormalizePosText(lines[i]) : lines[i];
    // Digits can say 99 degrees and 99 minutes; no map's corner lies there.
    if (ParseLatLon(text, lat[i], lon[i]) && OnGlobe(lat[i], lon[i])) ++corners;
  }
  // Two readable corners spanning an area, or the mapping would divide by zero.
  if (corners < 2 || lat[0] == lat[1] || lon[0] == lon[1]) {
    if (Why) *Why = corners < 2 ? kCalibrationTooFewCorners : kCalibrationNoArea;
    return false;
  }
  // On equality the second corner's value is the maximum; equal corners are refused above.
  LatMin = std::min(lat[0], lat[1]);
  LatMax = std::max(lat[0], lat[1]);
  LonMin = std::min(lon[0], lon[1]);
  LonMax = std::max(lon[0], lon[1]);
  // Corners given west first (upper or lower left first), the west one further east by
  // more than half the globe: the map runs east across the 180th meridian.
  if (lon[0] - lon[1] > 180) {
    LonMin = lon[0];
    LonMax = lon[1] + 360;
  }
  MapName = lines.size() > 2 ? lines[2] : std::string();
  return true;
}

#include "devices/gps_fix.h"

#include <algorithm>
#include <cmath>

#include "core/my_tools.h"
#include "platform/text/ascii.h"
#include "platform/text/sysutils.h"

namespace {

const std::string kDegreeSign = "\xB0";

bool AllDigits(const std::string& Text) {
  return std::all_of(Text.begin(), Text.end(), [](char c) { return IsAsciiDigit(c); });
}

// "ddmm.mm" or "dddmm.mm" in signed degrees: the degree digits, two digits of minutes
// below 60 and their decimals. Anything else (a blank, a sign, 4860.00) is no position.
bool NmeaDegrees(const std::string& Text, std::size_t DegreeDigits, char Hemisphere, char Negative,
                 double& Deg) {
  const std::size_t point = std::min(Text.find('.'), Text.size());
  const std::string whole = Text.substr(0, point);
  const std::string decimals = point < Text.size() ? Text.substr(point + 1) : "";
  if (whole.size() != DegreeDigits + 2 || !AllDigits(whole) || !AllDigits(decimals)) return false;
  const double minutes = StrToFloatSafe(Text.substr(DegreeDigits));
  if (minutes >= 60) return false;
  Deg = StrToIntDef(whole.substr(0, DegreeDigits), 0) + minutes / 60;
  if (Hemisphere == Negative) Deg = -Deg;
  return true;
}

}  // namespace

bool RmcFixPosition(const TGpsRMC& Rmc, double& Lat, double& Lon) {
  if (!Rmc.Valid || !Rmc.Active) return false;
  if ((Rmc.NS != 'N' && Rmc.NS != 'S') || (Rmc.EW != 'E' && Rmc.EW != 'W')) return false;
  double lat = 0;
  double lon = 0;
  if (!NmeaDegrees(Rmc.Lat, 2, Rmc.NS, 'S', lat) || !NmeaDegrees(Rmc.Lon, 3, Rmc.EW, 'W', lon)) {
    return false;
  }
  if (std::fabs(lat) > 90 || std::fabs(lon) > 180) return false;
  Lat = lat;
  Lon = lon;
  return true;
}

std::string GpsQualityCaption(char Quality) {
  if (Quality == '1') return "GPS";
  if (Quality == '2') return "DGPS";
  return std::string("GPS-") + Quality;
}

std::string GpsSpeedCaption(double SpeedKnots) {
  return FormatFloat("0", SpeedKnots) + " kts";
}

std::string GpsCourseCaption(double SpeedKnots, double CourseDegrees) {
  if (std::nearbyint(SpeedKnots) < 2) return "0" + kDegreeSign;
  return FormatFloat("0", CourseDegrees) + kDegreeSign;
}

std::string GpsSatName(const TGpsSat& Sat) {
  const char* system = nullptr;
  switch (Sat.System) {
    case TGnssSystem::None:
      break;
    case TGnssSystem::Gps:
      system = "GPS";
      break;
    case TGnssSystem::Glonass:
      system = "GLONASS";
      break;
    case TGnssSystem::Galileo:
      system = "Galileo";
      break;
    case TGnssSystem::BeiDou:
      system = "BeiDou";
      break;
    case TGnssSystem::Qzss:
      system = "QZSS";
      break;
    case TGnssSystem::NavIC:
      system = "NavIC";
      break;
  }
  return system ? IntToStr(Sat.Prn) + " (" + system + ")" : IntToStr(Sat.Prn);
}

std::string GpsStatusTime(TDateTime Utc) {
  return FormatDateTime("dd.mm.yyyy", Utc) + " - " + FormatDateTime("hh:nn:ss", Utc) + " UTC";
}

#include "devices/gps_fix.h"

#include <cmath>

#include "core/aprs_position.h"
#include "core/my_tools.h"
#include "platform/text/sysutils.h"

namespace {

const std::string kDegreeSign = "\xB0";

// "ddmm.mm" or "dddmm.mm" with the hemisphere sign, as the degrees:minutes text
// DmmToDeg reads; false when the text is not a number with all its degree digits.
bool NmeaDegrees(const std::string& Text, int DegreeDigits, char Hemisphere, char Negative,
                 double& Deg) {
  if (Text.size() < std::size_t(DegreeDigits + 2) || !IsFloat(Text) || Text[0] == '-') return false;
  std::string dmm = Text;
  dmm.insert(std::size_t(DegreeDigits), ":");
  if (Hemisphere == Negative) dmm.insert(0, "-");
  Deg = DmmToDeg(dmm);
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

std::string GpsStatusTime(TDateTime Utc) {
  return FormatDateTime("dd.mm.yyyy", Utc) + " - " + FormatDateTime("hh:nn:ss", Utc) + " UTC";
}

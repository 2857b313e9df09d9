// Locators, distance and bearing: Maidenhead ("JN49GA"), the older European QRA
// locator ("EK74h" or "EK74h/2") and signed coordinate texts ("+8:30/+49:15"),
// great-circle distance in km at 111.1361111 km per degree of arc and the initial
// bearing in degrees. A location is (longitude, latitude) in signed decimal degrees,
// east and north positive; converters return the longitude first.
#pragma once

#include <string>
#include <string_view>

constexpr double kKmPerDegree = 111.1361111;

double SinDeg(double X);
double CosDeg(double X);
// Degrees; 0 for X >= 1, 180 for X <= -1.
double ArcCosDeg(double X);
// Distance in km and initial bearing in degrees (0..360) from point 1 to point 2.
// Where the bearing has no meaning (the same point, or point 1 at a pole) it is the
// direction one would set off in: 0, or 180 from the north pole.
void DistanceBearing(double& Distance, double& Bearing, double Lon1, double Lat1, double Lon2,
                     double Lat2);
bool IsMaidenhead(std::string_view S);
bool IsQraLocator(std::string_view S);
// Centre of the locator's smallest square; false (outputs untouched) when S is not
// a valid locator of that kind.
bool MaidenheadToLatLon(std::string_view S, double& Lon, double& Lat);
bool QraToLatLon(std::string_view S, double& Lon, double& Lat);
// One signed coordinate "[+-]d[:m[:s]]" or "[+-]d.ddd"; 0 when unreadable.
double ParseCoordPart(std::string_view S);
// "longitude/latitude" coordinate text; Ok false when its shape or range is wrong.
void ParseCoordText(std::string_view S, double& Lon, double& Lat, bool& Ok);
// Distance and bearing between two QTHs, each a coordinate text, a QRA or a
// Maidenhead locator. Ok false, Distance 0 and Bearing -1 when either is empty or
// invalid, or both texts are equal.
void QthDistanceBearing(std::string_view Qth1, std::string_view Qth2, double& Distance, bool& Ok,
                        double& Bearing);
// The same from one QTH to many: it is read once (the station list measures every row
// from the own position).
class TQthOrigin {
 public:
  explicit TQthOrigin(std::string Qth);
  const std::string& Qth() const { return qth_; }
  void DistanceBearing(std::string_view Qth2, double& Distance, bool& Ok, double& Bearing) const;

 private:
  std::string qth_;
  bool readable_ = false;
  double lon_ = 0;
  double lat_ = 0;
};
// Six-character Maidenhead locator; positions at or beyond 180 E / 90 N fall into
// the last square ("R", "9", "X") instead of running past the alphabet.
std::string LatLonToMaidenhead(double Lat, double Lon);
// "+8:32:30/+49:1:15": signed degrees:minutes:seconds, longitude first, no leading
// zeros, seconds rounded half away from zero.
std::string LatLonToText(double Lon, double Lat);

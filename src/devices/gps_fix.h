// What the GPS status window makes of the records: the own position from a valid fix
// and the texts it shows.
#pragma once

#include <string>

#include "devices/gps_records.h"

// The RMC position in signed decimal degrees (north and east positive), only from a
// fix the receiver vouches for: a decoded RMC with status "A" and latitude, longitude
// and both hemisphere letters present and in range. Otherwise false and Lat, Lon
// untouched, so a receiver without a fix never moves the own position, e.g.
// "5230.00", 'S', "01300.00", 'W' gives -52.5, -13.0.
bool RmcFixPosition(const TGpsRMC& Rmc, double& Lat, double& Lon);

// The GPS lamp caption for a fix quality: '1' "GPS", '2' "DGPS", otherwise "GPS-" and
// the quality character.
std::string GpsQualityCaption(char Quality);

// The sky plot's speed caption, "12 kts", and course caption: the course in whole
// degrees with a degree sign when the speed rounds to 2 knots or more, "0°" below
// (a standing receiver's course is noise).
std::string GpsSpeedCaption(double SpeedKnots);
std::string GpsCourseCaption(double SpeedKnots, double CourseDegrees);

// A satellite's number with its system, "2 (Galileo)"; the number alone when the
// system is not known.
std::string GpsSatName(const TGpsSat& Sat);

// "dd.mm.yyyy - hh:nn:ss UTC" of an RMC time stamp.
std::string GpsStatusTime(TDateTime Utc);

// Position texts: the APRS uncompressed form, the base-91 compressed form, the
// program's own degrees:minutes forms and the display texts with a degree sign.
//
// Follows APRS Protocol Reference 1.0.1, chapter 8 (uncompressed "4903.50N/07201.75W")
// and chapter 9 (compressed "/5L!!<*e7>7P["). Positions are signed decimal degrees,
// north and east positive. Minutes texts such as "49:03:50" hold hundredths of a
// minute in their last group ("DMM"), or seconds ("DMS") where the name says so.
// Everything here is a pure function; bad input gives 0, an empty text or false,
// never an exception.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct TGeoPoint {
  double Lat = 0;
  double Lon = 0;
};

// A position that exists: finite, latitude within +-90 and longitude within +-180.
bool OnGlobe(double Lat, double Lon);

// "[-]d:m[:s]" with "." as decimal point in any group: degrees, minutes / 60,
// seconds / 3600, all taking the sign of the text. 0 when a group is not a number.
double DmsToDeg(std::string_view S);
// "[-]d:mm.mm" (the character after the two minute digits may be any separator):
// degrees with minutes / 60 added, or subtracted when the text starts with "-",
// so "-0:30.00" is -0.5. 0 when degrees or minutes are not numbers.
double DmmToDeg(std::string_view S);
// Degrees to "[-]d:mm.mm" (hundredths of a minute, rounded; a carry to 60.00
// minutes moves into the degrees, so 48.99999 gives "49:00.00").
std::string DegToDmm(double Deg);
// Display texts: "dd°mm.mm N" (10 characters) and "ddd°mm.mm E" (11), zero-padded.
std::string DegToLatText(double Deg);
std::string DegToLonText(double Deg);
// "4903.50N/07201.75W" to "49:03:50" and "-072:01:75" (south and west negative).
// Short texts give the characters that are there.
void SplitLatLon(std::string_view Text, std::string& Lat, std::string& Lon);
// The 20-character input form "49:03.50N/072:01.75W" (minutes with decimals) or
// "49:03:30N/072:01:45W" (seconds) to degrees; false, outputs untouched, otherwise.
bool ParseLatLon(std::string_view Text, double& Lat, double& Lon);
// A typed position "9.3.5N, 7.1.75W" (either order) to "09:03.50N/007:01.75W";
// empty when a hemisphere letter, the "," or a "." of either half is missing.
std::string NormalizePosText(std::string_view Text);
// The 4 + 4 base-91 characters of a compressed position to degrees; nullopt when
// fewer than 8 characters are given, when one is no base-91 digit ('!' to '{'), and when
// the result lies off the globe (four digits reach beyond 90 degrees south).
std::optional<TGeoPoint> DecodeCompressedDeg(std::string_view S);
// The same as float texts; false (outputs untouched) when DecodeCompressedDeg has none.
bool DecodeCompressedPos(std::string_view S, std::string& Lat, std::string& Lon);
// Degree texts ("." or "," as decimal separator, empty is 0) to the 8 compressed
// characters; empty when a text is not a number or lies outside +-90 / +-180.
std::string EncodeCompressedPos(std::string_view Lat, std::string_view Lon);
// Bearing to one of the 16 compass points ("N", "NNE", ...); empty beyond 360.
std::string CompassName(int Bearing);
// The position with its last Digits (1 to 4) minute digits set to zero, as sent for
// position ambiguity; Digits 0 rounds to hundredths of a minute.
double AmbiguateLat(int Digits, double Deg);
double AmbiguateLon(int Digits, double Deg);

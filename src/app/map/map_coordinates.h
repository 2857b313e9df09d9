// Pixel and geographic positions on the loaded map.
//
// A map is a raster image with two calibrated corners; positions are mapped linearly
// between them, latitude down the image and longitude across it:
//
//   Y = MapH - Round(MapH / (LatMax - LatMin) x (Lat - LatMin))
//   X = Round(MapW / (LonMax - LonMin) x (Lon - LonMin))
//
// rounding halves to even. MapW and MapH are the image's width and height less one, so
// the corners fall on the first and last pixel. Degrees are signed, north and east
// positive.
#pragma once

#include <string>

// The corners of a calibrated map in decimal degrees (extended precision, as read). A map
// across the 180th meridian runs east beyond it: its LonMax is above 180 (170 to 190).
struct TMapCorners {
  long double LatMin = 0;
  long double LonMin = 0;
  long double LatMax = 0;
  long double LonMax = 0;
};

struct TMapGeometry {
  TMapCorners Corners;
  int MapW = 0;  // image width - 1; 0 while no map is loaded
  int MapH = 0;  // image height - 1
  // Kilometres per pixel along the lower edge, -1 when not known.
  double Scale = -1;
};

// A longitude as the map counts it: west of the 180th meridian + 360 on a map that runs
// across it, as it is on any other.
double MapLongitude(const TMapCorners& Corners, double Lon);

// Y and X are -1 without a loaded map. Positions far outside the map give pixels far
// outside it, never an overflow.
void GeoToPixel(const TMapGeometry& Map, int& Y, int& X, double Lat, double Lon);
// Inclusive: the border pixels are on the map.
bool IsOnMap(const TMapGeometry& Map, int Y, int X);
// The position under pixel (X, Y), the inverse of GeoToPixel; a loaded map only.
void PixelToGeo(const TMapGeometry& Map, int Y, int X, double& Lat, double& Lon);

// Km per pixel along the map's parallel nearest the equator (the lower edge of a map
// north of it), from the width in degrees: a map anywhere on the globe, across the date
// line or round the whole of it has a scale. -1 without a width.
double MapScale(const TMapCorners& Corners, int MapW);

// What the status bar shows for the cursor: "52°30.50 N", "013°20.70 E", "JO62QM".
struct TCursorTexts {
  std::string Lat;
  std::string Lon;
  std::string Locator;
};
TCursorTexts CursorTexts(double Lat, double Lon);

// Range in miles of a 7-character "PHGphgd" or "RNGrrrr" text, -1 for anything else:
// PHG gives sqrt(2 x H x sqrt(P / 10 x G / 2)) with P = p^2 W, H = 10 x 2^h ft and
// G = 10^(g / 10).
double RangeMiles(const std::string& PhgText);
// Diameter in pixels of the range circle: the range at Scale km per pixel, 1 when
// either is not positive.
int RangeCircleSize(const std::string& PhgText, double Scale);

// Whether a station at (PlaceX, PlaceY) lies strictly inside the 12-pixel box round the
// cursor, the box clipped to the map: what a double click picks.
bool IsNearCursor(const TMapGeometry& Map, int PlaceY, int PlaceX, int CursorY, int CursorX);

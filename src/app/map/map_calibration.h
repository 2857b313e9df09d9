// Calibration files: the two corners and the name of a map image.
//
// Beside "Berlin.jpg" lies "Berlin.DAT" or, when there is none, "Berlin.INF" (either
// extension in upper or lower case). Lines are trimmed; empty lines and lines starting
// with ';' are comments. The first two remaining lines are opposite corners, in either
// order, the third the map's name. Corners given west first whose west one lies further
// east by more than half the globe (170E, then 170W) span the 180th meridian:
//
//   ; Berlin and surroundings                 (.DAT: the fixed form ParseLatLon reads)
//   52:40.00N/013:05.00E
//   52:20.00N/013:45.00E
//   Berlin
//
// A ".INF" file may type the corners freely ("52.40N, 13.5E") and is normalised first.
#pragma once

#include <string>

#include "app/map/map_coordinates.h"

// The calibration file of an image: ".DAT" before ".INF"; empty when there is none.
// The map loader's messages: no calibration file (the map file follows), map file gone;
// a calibration file that cannot be used (its name and what is wrong with it follow),
// and what can be wrong with one.
extern const char* const kNoCalibration;
extern const char* const kImageGone;
extern const char* const kCalibrationUnusable;
extern const char* const kCalibrationTooFewCorners;
extern const char* const kCalibrationNoArea;

std::string MapCalibrationFile(const std::string& ImageFile);

// Reads the corners and name of ImageFile. Fails silently when the name is empty or the
// image does not exist; shows "DAT/INF Datei für folgende Karte nicht gefunden!" with the
// image's name when there is no calibration file, kCalibrationUnusable with the
// calibration file's name and what is wrong with it when it cannot be read, holds fewer
// than two readable corners or corners that span no area (such a map could not be drawn
// on), and "Karten Datei nicht gefunden, laden abgebrochen!" when the image went away
// meanwhile. The outputs are written only on success.
bool ReadMapCalibration(const std::string& FileName, long double& LatMin, long double& LonMin,
                        std::string& MapName, long double& LonMax, long double& LatMax);
// The corners and name in the text of a calibration file, as ReadMapCalibration takes
// them (Typed: an ".INF" file, whose corners are normalised first); false, outputs
// untouched, for fewer than two readable corners or corners that span no area, and Why
// (when given) is kCalibrationTooFewCorners or kCalibrationNoArea.
bool ParseMapCalibration(const std::string& Text, bool Typed, long double& LatMin,
                         long double& LonMin, std::string& MapName, long double& LonMax,
                         long double& LatMax, const char** Why = nullptr);

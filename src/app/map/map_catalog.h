// The catalogue of calibrated maps in the map folder, for zooming to the next smaller
// or larger map round a point.
//
// One semicolon record per map (csv_ctrl.h), its spans first and zero-padded, so the
// sorted list runs from the smallest map to the largest:
//
//   "00001.00000";"00002.00000";"52";"12";"53";"14";"/maps/Berlin.jpg";"Berlin"
//
// fields: latitude span, longitude span, LatMin, LonMin, LatMax, LonMax, the image file
// and the map name (both CsvEscape'd).
#pragma once

#include <string>

#include "app/map/map_coordinates.h"
#include "platform/text/string_list.h"

struct TMapCatalogEntry {
  TMapCorners Corners;
  std::string File;
  std::string Name;
};

std::string MapCatalogRecord(const TMapCatalogEntry& Entry);
// False for a record that is not a catalogue record.
bool ReadMapCatalogRecord(const std::string& Record, TMapCatalogEntry& Entry);

// Clears Catalog (a sorted list) and adds every "*.jpeg", "*.jpg", "*.bmp" and "*.gif"
// image of MapDir and its sub-folders whose calibration reads; an image without one
// shows the calibration message once.
void BuildMapCatalog(const std::string& MapDir, TStringList& Catalog);

enum class TZoomDirection { In, Out };
enum class TZoomReach { OneStep, ToLimit };

// The map to load for a zoom round (Lat, Lon) from the map CurrentFile, or empty when
// there is none. Only maps holding the point strictly inside count:
// - out one step: the next larger map; out to the limit: the largest;
// - in one step: the nearest smaller map that is no wider or taller than the current
//   one; in to the limit: the smallest;
// one step needs the current map among them, to the limit never picks it again.
std::string ChooseZoomMap(const TStrings& Catalog, const std::string& CurrentFile,
                          TZoomDirection Direction, TZoomReach Reach, double Lon, double Lat);

// The map of the map window: the loaded map image with the station markers, the
// own-position circle, the crosshair that flashes on the station just heard, and the
// range circle of the station shown in the detail window.
//
// The view builds its controls on the control it is given (the map window's scroll box
// `scrBoxCard`, scrolled back to the top-left by every map loaded) with the window as
// their owner: `pnlCard` sized to the image, with
// `imgCard`, the frame `shpR`, the crosshair lines `shpH` and `shpV`, the circles
// `shpGPS` and `shpRange`, and one TAprsSymbol per station on the map, named after the
// station's key. The window feeds it stations and mouse positions and learns of the
// rest through the events below.
//
//   TMapView map(form, scrollBox, store.StationList);
//   map.LoadMap(prgDir + "APRS-Karten/Welt.jpg");
//   map.ShowStation(info);   // a decoded position
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "app/map/map_catalog.h"
#include "app/map/map_coordinates.h"
#include "app/map/marker_grid.h"
#include "app/map/symbol_places.h"
#include "app/stations/recycled_nodes.h"
#include "controls/aprs_symbol.h"
#include "controls/my_shape.h"
#include "core/aprs_position.h"
#include "platform/gui/standard/image.h"
#include "platform/gui/standard/panel.h"
#include "platform/sys/timer.h"

// The map loader's messages when a map file cannot be shown (the file name follows).
extern const char* const kImageUnreadable;
extern const char* const kImageTooLarge;

struct TAprsInfo;

class TMapView : private TChildFinder {
 public:
  // Owner (the window) owns every control and marker; they sit on a panel placed on
  // Parent. Stations is the station store's list; the view only reads it.
  TMapView(TComponent* Owner, TWinControl* Parent, const TStrings& Stations);
  ~TMapView();
  TMapView(const TMapView&) = delete;
  TMapView& operator=(const TMapView&) = delete;

  TPanel* pnlCard;
  TImage* imgCard;
  TMyShape* shpR;
  TMyShape* shpH;
  TMyShape* shpV;
  TMyShape* shpGPS;
  TMyShape* shpRange;
  TTimer* timFlashPos;
  TTimer* timGpsFlash;

  // --- the map -----------------------------------------------------------------------
  // The loaded image (empty: none, and the dispatcher drops every packet), its name from
  // the calibration, and the map folder the catalogue is built from.
  std::string MapFile;
  std::string MapName;
  std::string MapDir;
  const TMapGeometry& Map() const { return map_; }
  TStringList MapCatalog;

  // Loads and shows a map; on any failure (message shown) the old map stays. A calibration
  // that fails, an image that cannot be read, or one a single pixel wide or high (no
  // area to map onto) is refused.
  bool LoadMap(const std::string& FileName);
  void BuildMapCatalog();
  // The context menu's zoom: another catalogue map holding (Lat, Lon), loaded.
  bool ZoomMap(bool ZoomIn, bool ToLimit, double Lon, double Lat);

  void GeoToPixel(int& Y, int& X, double Lat, double Lon) const;
  bool IsOnMap(int Y, int X) const;

  // --- stations ------------------------------------------------------------------------
  TSymbolPlaces SymbolPlaces;
  // Styles of new markers; SetSymDrawStyle restyles every marker too.
  TSymDrawStyles SymDrawStyle() const { return sym_draw_style_; }
  void SetSymDrawStyle(TSymDrawStyles Value);

  // A decoded position: its place, its crosshair and its marker.
  void ShowStation(const TAprsInfo& Info);
  // Around many stations shown at once: the crosshair moves once, at the End, to the
  // last of them; the pairs nest.
  void BeginStationChanges() { ++station_changes_; }
  void EndStationChanges();
  // Like GetSymbolPlace, and the key becomes the crosshair key.
  bool GetSymbolPlace(const std::string& Key, int& Y, int& X);
  void RebuildSymbolPlaces();
  // Creates, moves or (off the map) frees the marker named Key.
  void DrawStationSymbol(const std::string& Key, const std::string& Name, int X, int Y,
                         char SymTable, char SymCode, int Port);
  // A station record's place and marker (none off the map), as RedrawAllSymbols makes
  // them for each record.
  void ShowStationRecord(const std::string& Record);
  // Builds the places and markers anew from the station list; markers of stations no
  // longer on the map go.
  void RedrawAllSymbols();
  void FreeAllSymbols();
  void FreeStationMarker(const std::string& Key);
  TAprsSymbol* FindSymbolControl(const std::string& Key) const;
  int MarkerCount() const { return static_cast<int>(markers_.size()); }

  // --- crosshair, range circle, own position -------------------------------------------
  const std::string& CrosshairKey() const { return crosshair_key_; }
  void ShowStationCrosshair(const std::string& Key);
  // Hides the crosshair when it marks Key (the station left).
  void ClearCrosshair(const std::string& Key);
  // One tick of timFlashPos: ten toggles between white and grey, then grey.
  void FlashPosTick();
  // Range of a "PHGphgd" or "RNGrrrr" text as a circle round the station; hidden for
  // anything else, or where the map has no scale.
  void ShowRangeCircle(const std::string& Key, const std::string& PhgText);
  void HideRangeCircle();
  // The own position (the GPS window's GpsLat and GpsLon, however valid) as a red circle.
  void ShowOwnPosition(double Lat, double Lon);
  // One tick of timGpsFlash: red and yellow while GpsRunning says so.
  void GpsFlashTick();

  // --- mouse ---------------------------------------------------------------------------
  // The cursor at pixel (X, Y) of the map: remembers it and its position and reports
  // the status texts.
  void MapMouseMove(int X, int Y);
  int CursorX() const { return cursor_x_; }
  int CursorY() const { return cursor_y_; }
  TGeoPoint CursorPosition() const { return cursor_; }
  // apmnuCrdPopup: the cursor's position becomes the zoom point for the menu items.
  void RememberZoomPoint() { zoom_point_ = cursor_; }
  TGeoPoint ZoomPoint() const { return zoom_point_; }
  // Keys of the stations round the last cursor position (the double-click pick list).
  std::vector<std::string> PickStations() const;

  // --- what the window hears -----------------------------------------------------------
  // Clicks and double clicks on the image, the shapes and the markers.
  TNotifyEvent OnMapClick;
  TNotifyEvent OnMapDblClick;
  std::function<void(const TCursorTexts&)> OnCursorTexts;
  // After a map was loaded (caption, station counter, scrolling back to the top).
  std::function<void()> OnMapLoaded;
  // After the places were rebuilt (station counter).
  std::function<void()> OnPlacesChanged;
  // What LoadMap shows again on the new map: the range of the detail window's station
  // (its key and PHG text) and the own position.
  std::function<std::string()> ShownKey;
  std::function<std::string()> ShownPhgText;
  std::function<TGeoPoint()> OwnPosition;
  std::function<bool()> GpsRunning;

 private:
  // The panel's children in Area: the shapes and the image, and the markers there.
  void ChildrenIn(const TRect& Area, bool Composed, std::vector<TControl*>& Found) const override;
  // The markers in Area, the topmost first: they are the children kept composed.
  bool ComposedTopDown(const TRect& Area, const TVisitChildren& Visit) const override;
  // A marker brought to the front (clicked, or the detail window's station) is filed
  // again at its new place in the z-order.
  void ChildRaised(TControl& Child) override;
  // The picture of a symbol, drawn once and shared by its markers; null for a table
  // without pictures.
  std::shared_ptr<const TBitmap> SharedSymbolPicture(char SymTable, char SymCode);
  TMyShape* NewShape(const char* Name, TShapeType Shape);
  void WireMouse(TControl& Control);
  void SetCrosshairColor(TColor Color);

  TComponent* owner_;
  const TStrings& stations_;
  TMapGeometry map_;
  TSymDrawStyles sym_draw_style_ = dsSymbol | dsCall;
  struct TMarkerEntry {
    TAprsSymbol* marker = nullptr;
    unsigned walk = 0;  // the last RedrawAllSymbols that placed it
    TMarkerGrid::TSlot grid_slot;
  };
  using TMarkers = std::unordered_map<std::string, TMarkerEntry>;
  // Files the marker of Entry under its place and z-order now.
  void FileMarker(TMarkerEntry& Entry);
  // Makes (when new) and places the marker of Entry.
  void PlaceMarker(TMarkers::iterator Entry, const std::string& Name, int X, int Y, char SymTable,
                   char SymCode, int Port);
  // The entry of a key that has none, from the spares when there are any.
  TMarkers::iterator AddMarkerEntry(const std::string& Key);
  // A marker for the station Key on the panel: a spare one, else a new one.
  TAprsSymbol* NewMarker(const std::string& Key);
  // Takes the entry and its marker off the map into the spares.
  void RetireMarker(TMarkers::iterator Entry);
  TMarkers markers_;
  // The markers of stations gone (off the panel and unnamed) and their entries'
  // nodes, kept for the stations heard next: aging tens of thousands out at once would
  // spend most of its time freeing them, and the feed making them again. They are never
  // more than the most markers the map has shown.
  std::vector<TAprsSymbol*> spare_markers_;
  TRecycledNodes<TMarkers> spare_entries_;
  // The marker being placed: it is filed once placed, not at each step on the way.
  const TControl* placing_ = nullptr;
  unsigned walk_ = 0;
  size_t walked_ = 0;  // markers the current walk placed
  TMarkerGrid marker_grid_;
  std::map<std::pair<char, char>, std::shared_ptr<const TBitmap>> symbol_pictures_;
  std::string crosshair_key_;
  int station_changes_ = 0;     // BeginStationChanges open
  bool crosshair_due_ = false;  // ShowStation put its crosshair off until then
  int flash_count_ = 0;
  bool gps_flash_on_ = false;
  int cursor_x_ = 0;
  int cursor_y_ = 0;
  TGeoPoint cursor_;
  TGeoPoint zoom_point_;
};

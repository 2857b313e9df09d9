#include "app/map/map_view.h"

#include <iterator>
#include <typeinfo>

#include "app/map/aprs_symbols.h"
#include "app/map/map_calibration.h"
#include "app/receive/aprs_info.h"
#include "app/stations/station_store.h"
#include "app/stations/station_tables.h"
#include "controls/my_msg_dialog.h"
#include "core/csv_ctrl.h"
#include "gif/gif_picture.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/gui/graphics/picture.h"
#include "platform/gui/standard/scroll_box.h"
#include "platform/text/local_texts.h"
#include "platform/text/shown_text.h"
#include "platform/text/sysutils.h"

const char* const kImageUnreadable = "Karten Datei nicht lesbar, laden abgebrochen!";
const char* const kImageTooLarge = "Karten Datei zu gro\xDF, laden abgebrochen!";

namespace {

constexpr TColor kLineGrey = RGB(128, 128, 128);
constexpr TColor kLineWhite = RGB(255, 255, 255);
constexpr TColor kRangeFill = RGB(198, 198, 255);
constexpr int kGpsCircle = 11;
constexpr int kFlashCount = 10;
constexpr unsigned kFlashPosMs = 200;
constexpr unsigned kGpsFlashMs = 1000;

// A field's text with its quotes undoubled; copied to Buffer only when it has quotes.
std::string_view FieldText(std::string_view Stored, std::string& Buffer) {
  if (Stored.find('"') == std::string_view::npos) return Stored;
  Buffer = Stored;
  CsvUndoubleQuotes(Buffer);
  return Buffer;
}

// The map picture of FileName drawn once into a 32-bit bitmap, the layout the screen
// takes without converting: the map is repainted in strips all the time, under every
// marker and crosshair that moves. A picture under two pixels a side leaves it empty.
// A map is still: an animated GIF gives its first frame, drawn straight into the map, not
// through a painter that would compose it beside the map in copies of the map's size.
void DrawMapPicture(const std::string& FileName, TBitmap& Result) {
  TPicture picture;
  picture.LoadFromFile(FileName);
  if (picture.Width() < 2 || picture.Height() < 2) return;
  if (auto* animated = dynamic_cast<TGIFPicture*>(picture.Graphic()))
    animated->DrawOptions &= ~dfAnimate;
  Result.SetSize(picture.Width(), picture.Height());
  Result.Canvas().Brush().SetColor(clWhite);
  Result.Canvas().FillRect(Rect(0, 0, picture.Width(), picture.Height()));
  Result.Canvas().Draw(0, 0, *picture.Graphic());
}

std::string UnescapedField(std::string_view Stored) {
  std::string buffer;
  const std::string text(FieldText(Stored, buffer));
  std::string plain;
  try {
    CsvUnescape(text, plain);
  } catch (const EConvertError&) {
    plain = text;
  }
  return plain;
}

int IntField(std::string_view Stored, int Fallback) {
  std::string buffer;
  return StrToIntDef(FieldText(Stored, buffer), Fallback);
}

}  // namespace

TMapView::TMapView(TComponent* Owner, TWinControl* Parent, const TStrings& Stations)
    : owner_(Owner), stations_(Stations) {
  markers_.reserve(kStationTableSize);
  MapCatalog.SetSorted(true);
  pnlCard = NewControl<TPanel>(Owner, Parent, "pnlCard", 0, 0, 0, 0);
  pnlCard->SetBevelOuter(bvNone);
  // The markers lie above the map's lines and circles; kept composed apart, the
  // crosshair's moves and flashes do not repaint the markers along its lines.
  pnlCard->SetLayeredFaces(true);
  // Thousands of markers: a repaint asks the view which children lie in its strip.
  pnlCard->SetChildFinder(this);
  pnlCard->SetVisible(false);

  imgCard = NewControl<TImage>(Owner, pnlCard, "imgCard");
  WireMouse(*imgCard);

  shpR = NewShape("shpR", stRectangle);
  shpR->Pen().SetColor(kLineGrey);
  shpR->Brush().SetStyle(bsClear);
  shpH = NewShape("shpH", stRectangle);
  shpV = NewShape("shpV", stRectangle);
  for (TMyShape* line : {shpH, shpV}) {
    line->Pen().SetStyle(psDot);
    line->Brush().SetStyle(bsClear);
    line->SetVisible(false);
  }
  shpH->SetBounds(0, 0, 0, 1);
  shpV->SetBounds(0, 0, 1, 0);
  SetCrosshairColor(kLineGrey);
  shpRange = NewShape("shpRange", stCircle);
  shpRange->Brush().SetColor(kRangeFill);
  shpRange->Pen().SetColor(kRangeFill);
  // Mask mode: the map shows through the circle, tinted.
  shpRange->Pen().SetMode(pmMask);
  shpRange->SetVisible(false);
  shpGPS = NewShape("shpGPS", stCircle);
  shpGPS->Brush().SetColor(clRed);
  shpGPS->SetBounds(0, 0, kGpsCircle, kGpsCircle);
  shpGPS->SetVisible(false);

  timFlashPos = new TTimer(Owner);
  timFlashPos->Name = "timFlashPos";
  timFlashPos->SetEnabled(false);
  timFlashPos->SetInterval(kFlashPosMs);
  timFlashPos->OnTimer = [this](TComponent*) { FlashPosTick(); };
  timGpsFlash = new TTimer(Owner);
  timGpsFlash->Name = "timGpsFlash";
  timGpsFlash->SetInterval(kGpsFlashMs);
  timGpsFlash->OnTimer = [this](TComponent*) { GpsFlashTick(); };
  timGpsFlash->SetEnabled(true);
}

// The controls belong to the window and go with it; the markers, which would leave the
// index they were filed in, go now.
TMapView::~TMapView() {
  pnlCard->SetChildFinder(nullptr);
  FreeAllSymbols();
  for (TAprsSymbol* marker : spare_markers_) delete marker;
}

void TMapView::ChildrenIn(const TRect& Area, bool Composed, std::vector<TControl*>& Found) const {
  Found.insert(Found.end(), {imgCard, shpR, shpH, shpV, shpGPS, shpRange});
  // Markers are kept composed.
  if (Composed) marker_grid_.MarkersIn(Area, Found);
}

bool TMapView::ComposedTopDown(const TRect& Area, const TVisitChildren& Visit) const {
  marker_grid_.MarkersTopDown(Area, Visit);
  return true;
}

void TMapView::ChildRaised(TControl& Child) {
  if (&Child == placing_) return;
  // Markers are named after their keys.
  auto found = markers_.find(Child.Name);
  if (found != markers_.end() && found->second.marker == &Child) FileMarker(found->second);
}

void TMapView::FileMarker(TMarkerEntry& Entry) {
  marker_grid_.Place(Entry.marker, pnlCard->ZOrder(*Entry.marker), Entry.grid_slot);
}

std::shared_ptr<const TBitmap> TMapView::SharedSymbolPicture(char SymTable, char SymCode) {
  auto [found, added] = symbol_pictures_.try_emplace({SymTable, SymCode});
  if (added) {
    auto picture = std::make_shared<TBitmap>();
    SymbolPicture(SymTable, SymCode, *picture);
    // An unknown table leaves the picture empty.
    if (!picture->Empty()) found->second = std::move(picture);
  }
  return found->second;
}

TMyShape* TMapView::NewShape(const char* Name, TShapeType Shape) {
  auto* shape = NewControl<TMyShape>(owner_, pnlCard, Name);
  shape->SetShape(Shape);
  WireMouse(*shape);
  return shape;
}

// Image, shapes and markers all report the cursor in map pixels and pass their clicks on.
void TMapView::WireMouse(TControl& Control) {
  Control.OnMouseMove = [this](TComponent* Sender, TShiftState, int X, int Y) {
    auto* control = static_cast<TControl*>(Sender);
    MapMouseMove(control->Left() + X, control->Top() + Y);
  };
  Control.OnClick = [this](TComponent* Sender) {
    if (OnMapClick) OnMapClick(Sender);
  };
  Control.OnDblClick = [this](TComponent* Sender) {
    if (OnMapDblClick) OnMapDblClick(Sender);
  };
}

bool TMapView::LoadMap(const std::string& FileName) {
  TMapCatalogEntry read;
  TMapCorners& c = read.Corners;
  if (!ReadMapCalibration(FileName, c.LatMin, c.LonMin, read.Name, c.LonMax, c.LatMax))
    return false;
  TBitmap screenReady;
  // The old map stays when the new one cannot be shown; the message says why. Making
  // the map's bitmap may fail as much as reading its file.
  try {
    DrawMapPicture(FileName, screenReady);
  } catch (const EGraphicTooLarge& error) {
    MyShowError(ShownText(LocalText(kImageTooLarge)) + "\n\r" + ShownFileName(FileName) + "\n\r" +
                ShownText(error.what()));
    return false;
  } catch (const std::exception& error) {
    MyShowError(ShownText(LocalText(kImageUnreadable)) + "\n\r" + ShownFileName(FileName) + "\n\r" +
                ShownText(error.what()));
    return false;
  }
  // Without two pixels each way there is nothing to map positions onto.
  if (screenReady.Width() < 2 || screenReady.Height() < 2) {
    MyShowError(ShownText(LocalText(kImageUnreadable)) + "\n\r" + ShownFileName(FileName));
    return false;
  }

  HideRangeCircle();
  MapFile = FileName;
  MapName = read.Name;
  imgCard->Picture().SetGraphic(&screenReady);
  const int width = screenReady.Width(), height = screenReady.Height();
  map_.Corners = c;
  map_.MapH = height - 1;
  map_.MapW = width - 1;
  map_.Scale = MapScale(c, map_.MapW);

  if (auto* scrollBox = dynamic_cast<TScrollBox*>(pnlCard->Parent())) scrollBox->ScrollTo(0, 0);
  pnlCard->SetBounds(0, 0, width, height);
  imgCard->SetBounds(0, 0, width, height);
  marker_grid_.Reset(width, height);
  shpV->SetHeight(map_.MapH);
  shpH->SetWidth(map_.MapW);
  shpR->SetBounds(0, 0, map_.MapW, map_.MapH);

  RedrawAllSymbols();
  ShowStationCrosshair(crosshair_key_);
  if (ShownKey && ShownPhgText) ShowRangeCircle(ShownKey(), ShownPhgText());
  if (OwnPosition) {
    const TGeoPoint own = OwnPosition();
    ShowOwnPosition(own.Lat, own.Lon);
  }
  if (OnMapLoaded) OnMapLoaded();
  pnlCard->Show();
  return true;
}

void TMapView::BuildMapCatalog() {
  ::BuildMapCatalog(MapDir, MapCatalog);
}

bool TMapView::ZoomMap(bool ZoomIn, bool ToLimit, double Lon, double Lat) {
  const std::string chosen =
      ChooseZoomMap(MapCatalog, MapFile, ZoomIn ? TZoomDirection::In : TZoomDirection::Out,
                    ToLimit ? TZoomReach::ToLimit : TZoomReach::OneStep, Lon, Lat);
  return !chosen.empty() && LoadMap(chosen);
}

void TMapView::GeoToPixel(int& Y, int& X, double Lat, double Lon) const {
  ::GeoToPixel(map_, Y, X, Lat, Lon);
}

bool TMapView::IsOnMap(int Y, int X) const {
  return ::IsOnMap(map_, Y, X);
}

void TMapView::SetSymDrawStyle(TSymDrawStyles Value) {
  sym_draw_style_ = Value;
  pnlCard->Invalidate();
  // Bottom first: each rebuilt marker comes to the front, so this keeps their order.
  std::vector<TAprsSymbol*> markers;
  markers.reserve(markers_.size());
  for (int i = 0; i < pnlCard->ControlCount(); ++i) {
    if (auto* marker = dynamic_cast<TAprsSymbol*>(pnlCard->Controls(i))) markers.push_back(marker);
  }
  for (TAprsSymbol* marker : markers) {
    placing_ = marker;
    marker->SetSymDrawStyle(Value);
    FileMarker(markers_.at(marker->Name));
  }
  placing_ = nullptr;
}

void TMapView::ShowStation(const TAprsInfo& Info) {
  if (!Info.HasPosition) return;
  int y = -1;
  int x = -1;
  GeoToPixel(y, x, Info.Lat, Info.Lon);
  SymbolPlaces.AddSymbolPlace(Info.Key, y, x);
  if (station_changes_ > 0) {
    crosshair_key_ = Info.Key;
    crosshair_due_ = true;
  } else {
    ShowStationCrosshair(Info.Key);
  }
  DrawStationSymbol(Info.Key, Info.SrcCall, x, y, Info.SymTable, Info.SymCode, Info.Port);
}

void TMapView::EndStationChanges() {
  if (station_changes_ > 0) --station_changes_;
  if (station_changes_ > 0 || !crosshair_due_) return;
  crosshair_due_ = false;
  ShowStationCrosshair(crosshair_key_);
}

bool TMapView::GetSymbolPlace(const std::string& Key, int& Y, int& X) {
  crosshair_key_ = Key;
  return SymbolPlaces.GetSymbolPlace(Key, Y, X);
}

void TMapView::RebuildSymbolPlaces() {
  SymbolPlaces.RebuildSymbolPlaces(stations_, map_);
  if (OnPlacesChanged) OnPlacesChanged();
}

void TMapView::DrawStationSymbol(const std::string& Key, const std::string& Name, int X, int Y,
                                 char SymTable, char SymCode, int Port) {
  const bool onMap = IsOnMap(Y, X);
  if (!onMap) {
    FreeStationMarker(Key);
    return;
  }
  auto entry = markers_.find(Key);
  if (entry == markers_.end()) entry = AddMarkerEntry(Key);
  PlaceMarker(entry, Name, X, Y, SymTable, SymCode, Port);
}

TMapView::TMarkers::iterator TMapView::AddMarkerEntry(const std::string& Key) {
  return spare_entries_.Insert(markers_, Key, {});
}

TAprsSymbol* TMapView::NewMarker(const std::string& Key) {
  if (spare_markers_.empty()) return NewControl<TAprsSymbol>(owner_, pnlCard, Key);
  TAprsSymbol* marker = spare_markers_.back();
  spare_markers_.pop_back();
  // Forgotten now rather than when it went: aging thousands out at once touches no
  // more of each marker than it must.
  marker->Forget();
  marker->Name = Key;
  marker->SetParent(pnlCard);
  return marker;
}

void TMapView::RetireMarker(TMarkers::iterator Entry) {
  TMarkerEntry& entry = Entry->second;
  marker_grid_.Remove(entry.grid_slot);
  if (TAprsSymbol* marker = entry.marker) {
    marker->SetParent(nullptr);
    marker->Name.clear();
    spare_markers_.push_back(marker);
  }
  spare_entries_.Erase(markers_, Entry);
}

void TMapView::PlaceMarker(TMarkers::iterator Entry, const std::string& Name, int X, int Y,
                           char SymTable, char SymCode, int Port) {
  auto& [key, entry] = *Entry;
  const bool made = !entry.marker;
  if (made) entry.marker = NewMarker(key);
  placing_ = entry.marker;
  if (made) {
    entry.marker->SetSymDrawStyle(sym_draw_style_);
    WireMouse(*entry.marker);
  }
  if (entry.walk != walk_) {
    entry.walk = walk_;
    ++walked_;
  }
  // An unknown table gives no picture: the marker keeps its old symbol.
  entry.marker->SetSymbol(Name, X, Y, SharedSymbolPicture(SymTable, SymCode), Port);
  placing_ = nullptr;
  FileMarker(entry);
  entry.marker->Show();
}

void TMapView::ShowStationRecord(const std::string& Record) {
  std::string_view fields[sfPort + 1];
  CsvFieldViews(Record, fields);
  std::string buffer;
  double lat = 0;
  double lon = 0;
  if (!TryStrToFloat(FieldText(fields[sfLat], buffer), lat) ||
      !TryStrToFloat(FieldText(fields[sfLon], buffer), lon)) {
    return;
  }
  int y = -1;
  int x = -1;
  GeoToPixel(y, x, lat, lon);
  if (!IsOnMap(y, x)) return;
  const std::string key(FieldText(fields[sfKey], buffer));
  SymbolPlaces.AddSymbolPlace(key, y, x);
  auto entry = markers_.find(key);
  // A key met twice in one walk keeps the marker of its first record.
  if (entry == markers_.end()) {
    entry = AddMarkerEntry(key);
  } else if (entry->second.walk == walk_) {
    return;
  }
  PlaceMarker(entry, UnescapedField(fields[sfSrcCall]), x, y,
              static_cast<char>(IntField(fields[sfSymTable], 0)),
              static_cast<char>(IntField(fields[sfSymCode], 0)), IntField(fields[sfPort], 0));
}

void TMapView::RedrawAllSymbols() {
  // First: the thousands of marker changes below then add nothing to repaint.
  pnlCard->Invalidate();
  // The markers of stations still on the map are placed anew instead of freed and made
  // again, which would take most of the time of a map change with tens of thousands of
  // stations; they come to the front in the same order, so the map looks the same.
  // Those this walk does not reach go afterwards.
  ++walk_;
  walked_ = 0;
  SymbolPlaces.BeginRebuild(map_);
  // The store's own list lends its records; copying each would cost a tenth of a load.
  if (const auto* list = dynamic_cast<const TStationList*>(&stations_)) {
    for (int i = 0; i < list->Count(); ++i) ShowStationRecord(list->Line(i));
  } else {
    for (int i = 0; i < stations_.Count(); ++i) ShowStationRecord(stations_[i]);
  }
  SymbolPlaces.EndRebuild();
  // Every marker placed anew (the same map again, or one round all stations): none to
  // look for among tens of thousands.
  if (walked_ == markers_.size()) {
    if (OnPlacesChanged) OnPlacesChanged();
    return;
  }
  for (auto it = markers_.begin(); it != markers_.end();) {
    const auto next = std::next(it);
    if (it->second.walk != walk_) RetireMarker(it);
    it = next;
  }
  if (OnPlacesChanged) OnPlacesChanged();
}

void TMapView::FreeAllSymbols() {
  spare_markers_.reserve(spare_markers_.size() + markers_.size());
  // The markers leave the panel in one sweep; the image and the shapes stay.
  pnlCard->RemoveChildren([&](TControl& Child) {
    // The panel's children are markers but for a few shapes: the exact type answers
    // at once where a cast would walk the class tree of every one.
    if (typeid(Child) != typeid(TAprsSymbol)) return false;
    auto* marker = static_cast<TAprsSymbol*>(&Child);
    marker->Name.clear();
    spare_markers_.push_back(marker);
    return true;
  });
  // None stays filed, and the entries go as they are, at once.
  marker_grid_.Reset(pnlCard->Width(), pnlCard->Height());
  spare_entries_.EraseAll(markers_);
}

void TMapView::FreeStationMarker(const std::string& Key) {
  auto it = markers_.find(Key);
  if (it != markers_.end()) RetireMarker(it);
}

TAprsSymbol* TMapView::FindSymbolControl(const std::string& Key) const {
  auto it = markers_.find(Key);
  return it == markers_.end() ? nullptr : it->second.marker;
}

void TMapView::SetCrosshairColor(TColor Color) {
  shpH->Pen().SetColor(Color);
  shpV->Pen().SetColor(Color);
}

void TMapView::ShowStationCrosshair(const std::string& Key) {
  int y = -1;
  int x = -1;
  flash_count_ = kFlashCount;
  if (!GetSymbolPlace(Key, y, x)) {
    shpH->Hide();
    shpV->Hide();
    shpH->SetTop(0);
    shpV->SetLeft(0);
    timFlashPos->SetEnabled(false);
    return;
  }
  shpH->SetTop(y - shpH->Height() / 2);
  shpV->SetLeft(x - shpV->Width() / 2);
  shpH->Show();
  shpV->Show();
  timFlashPos->SetEnabled(true);
}

void TMapView::ClearCrosshair(const std::string& Key) {
  if (Key != crosshair_key_) return;
  crosshair_key_.clear();
  ShowStationCrosshair(crosshair_key_);
}

void TMapView::FlashPosTick() {
  if (flash_count_ > 0) {
    --flash_count_;
    SetCrosshairColor(shpH->Pen().Color() == kLineGrey ? kLineWhite : kLineGrey);
    return;
  }
  flash_count_ = kFlashCount;
  timFlashPos->SetEnabled(false);
  SetCrosshairColor(kLineGrey);
}

void TMapView::ShowRangeCircle(const std::string& Key, const std::string& PhgText) {
  int y = -1;
  int x = -1;
  const bool placed = SymbolPlaces.GetSymbolPlace(Key, y, x);
  const int size = placed ? RangeCircleSize(PhgText, map_.Scale) : 1;
  shpRange->Hide();
  if (size < 2) {
    shpRange->SetBounds(0, 0, size, size);
    return;
  }
  shpRange->SetBounds(x - size / 2, y - size / 2, size, size);
  shpRange->Show();
}

void TMapView::HideRangeCircle() {
  shpRange->Hide();
}

void TMapView::ShowOwnPosition(double Lat, double Lon) {
  int y = -1;
  int x = -1;
  GeoToPixel(y, x, Lat, Lon);
  if (!IsOnMap(y, x)) {
    shpGPS->Hide();
    return;
  }
  shpGPS->SetBounds(x - kGpsCircle / 2, y - kGpsCircle / 2, kGpsCircle, kGpsCircle);
  shpGPS->Show();
}

void TMapView::GpsFlashTick() {
  if (!GpsRunning || !GpsRunning()) return;
  gps_flash_on_ = !gps_flash_on_;
  shpGPS->Brush().SetColor(gps_flash_on_ ? clYellow : clRed);
}

void TMapView::MapMouseMove(int X, int Y) {
  if (map_.MapW == 0 || map_.MapH == 0) return;
  cursor_x_ = X;
  cursor_y_ = Y;
  PixelToGeo(map_, Y, X, cursor_.Lat, cursor_.Lon);
  if (OnCursorTexts) OnCursorTexts(CursorTexts(cursor_.Lat, cursor_.Lon));
}

std::vector<std::string> TMapView::PickStations() const {
  return SymbolPlaces.KeysNearCursor(cursor_y_, cursor_x_);
}

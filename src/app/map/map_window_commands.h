// The map window's commands that do not depend on the window itself: the draw-style
// buttons, the tool panel's layout and collapsing, the map picker's start, the beacon
// buttons of "TX-Bake", deleting all stations, the pick list of a double click on the
// map, the lamps that a packet lights for half a second, and the caption.
#pragma once

#include <string>
#include <vector>

#include "controls/aprs_symbol.h"
#include "controls/bitmap_mask.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/sys/timer.h"
#include "platform/text/string_list.h"

class TMapView;

// --- tool bar ---------------------------------------------------------------------------

// The down states of mbtnDrawPoint, mbtnDrawSymbol and mbtnDrawCall. When none is down,
// Point goes down, so markers never become invisible. Returns the style:
// 1 for the point + 2 for the symbol + 4 for the callsign.
struct TDrawStyleButtons {
  bool Point = false;
  bool Symbol = false;
  bool Call = false;
};
TSymDrawStyles DrawStyleFromButtons(TDrawStyleButtons& Buttons);

// mpnlToolMain's width: mbtnLoadCard's width and room for the collapse button each side.
int ToolPanelWidth(int LoadCardWidth, int ShowToolBarWidth);
// imgLogo's top in mpnlToolMainResize: at the panel's foot, but never above ContentBottom,
// the foot of the buttons and the status above it. A logo that then runs past the panel
// is not shown.
int ToolPanelLogoTop(int PanelHeight, int LogoHeight, int ShowToolBarWidth, int ContentBottom);

// mbtnShowToolBar: up after the click shrinks the panel to the button, remembering its
// width; down brings that width back.
class TToolBarCollapse {
 public:
  // The panel's new width.
  int Toggle(bool ButtonDown, int PanelWidth, int ButtonWidth);

 private:
  int remembered_width_ = 0;
};

// The picture-open dialog of mbtnLoadCard.
extern const char* const kMapPictureFilter;
struct TMapPickerStart {
  bool Open = false;       // only while the settings' map folder exists
  std::string InitialDir;  // MapDir
  std::string FileName;    // the current map, when it exists
};
TMapPickerStart MapPickerStart(const std::string& MapFolderSetting, const std::string& MapDir,
                               const std::string& MapFile);

// Names of the settings window's beacon buttons that mbtnTxBake clicks, in order.
std::vector<std::string> TxBakeButtons(bool TwoPortDevice);

// "Alle Stationen löschen?"
extern const char* const kDeleteAllStationsQuestion;
// On a confirmed mbtnDelAllStn: the markers, crosshair, range circle, places and
// station records go; the loaded map and the monitor stay. The window clears the station
// list window, closes the detail window and refreshes the counter itself.
void DeleteAllStations(TMapView& Map, TStrings& StationList);

// --- the map ----------------------------------------------------------------------------

// The stations round the last cursor position, for AprsCardDblClick: their keys (what
// PickKeys holds) and names (the select window's rows).
struct TPickList {
  std::vector<std::string> Keys;
  std::vector<std::string> Names;
};
TPickList PickStationsAtCursor(const TMapView& Map, const TStrings& StationList);
// Where the detail window goes for one picked station: centred on the mouse, its top at
// the mouse; for several, below the select window that opens at the mouse.
TPoint DetailWindowPosForOne(TPoint Mouse, int DetailWidth);
TPoint DetailWindowPosBelowSelect(TPoint Mouse, int SelectHeight);
// lboxStnSelectDrawItem: a selected row black with the list's colour as text colour,
// the text 5 pixels from the left.
void DrawPickListRow(TCanvas& Canvas, const TRect& Rect, const std::string& Text, bool Selected,
                     TColor ListColor);

// The window's caption: "<map name>, <connection status>", or the one of them there is.
std::string MapWindowCaption(const std::string& MapName, const std::string& StatusText);

// --- lamps ------------------------------------------------------------------------------

// A lamp a packet lights and a 500 ms timer puts out (timRxP1, timRxP2, timTxTcp).
class TLampTimer {
 public:
  TLampTimer(TComponent* Owner, const char* TimerName, TBitmapMask& Lamp);
  TLampTimer(const TLampTimer&) = delete;
  TLampTimer& operator=(const TLampTimer&) = delete;
  void Light();
  TTimer* Timer() const { return timer_; }

 private:
  TBitmapMask& lamp_;
  TTimer* timer_;  // owned by the window
};

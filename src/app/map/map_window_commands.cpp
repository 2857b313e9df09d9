#include "app/map/map_window_commands.h"

#include <algorithm>

#include "app/map/map_view.h"
#include "app/stations/station_store.h"
#include "core/csv_ctrl.h"
#include "platform/gui/graphics/unicode_text.h"
#include "platform/sys/files.h"
#include "platform/text/cp1252.h"

const char* const kMapPictureFilter =
    "Alle Dateien (*.jpg;*.jpeg;*.bmp; *.gif)|*.jpg;*.jpeg;*.bmp;*.gif|"
    "JPEG Bilddatei (*.jpg)|*.jpg|JPEG Bilddatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "GIF (*.gif)|*.gif";
const char* const kDeleteAllStationsQuestion = "Alle Stationen l\xF6schen?";

namespace {

constexpr unsigned kLampMs = 500;
constexpr int kPickRowIndent = 5;

}  // namespace

TSymDrawStyles DrawStyleFromButtons(TDrawStyleButtons& Buttons) {
  if (!Buttons.Point && !Buttons.Symbol && !Buttons.Call) Buttons.Point = true;
  return static_cast<TSymDrawStyles>((Buttons.Point ? dsPoint : 0) |
                                     (Buttons.Symbol ? dsSymbol : 0) | (Buttons.Call ? dsCall : 0));
}

int ToolPanelWidth(int LoadCardWidth, int ShowToolBarWidth) {
  return LoadCardWidth + 2 * ShowToolBarWidth;
}

int ToolPanelLogoTop(int PanelHeight, int LogoHeight, int ShowToolBarWidth, int ContentBottom) {
  return std::max(PanelHeight - LogoHeight - ShowToolBarWidth, ContentBottom);
}

int TToolBarCollapse::Toggle(bool ButtonDown, int PanelWidth, int ButtonWidth) {
  if (ButtonDown) return remembered_width_ > 0 ? remembered_width_ : PanelWidth;
  remembered_width_ = PanelWidth;
  return ButtonWidth;
}

TMapPickerStart MapPickerStart(const std::string& MapFolderSetting, const std::string& MapDir,
                               const std::string& MapFile) {
  TMapPickerStart start;
  start.Open = DirectoryExists(MapFolderSetting);
  if (!start.Open) return start;
  start.InitialDir = MapDir;
  if (FileExists(MapFile)) start.FileName = MapFile;
  return start;
}

std::vector<std::string> TxBakeButtons(bool TwoPortDevice) {
  std::vector<std::string> buttons = {"mbtnTxPosP1", "mbtnTxStatusP1", "mbtnTxWxP1",
                                      "mbtnTxWxStatusP1"};
  if (TwoPortDevice) {
    buttons.insert(buttons.end(),
                   {"mbtnTxPosP2", "mbtnTxStatusP2", "mbtnTxWxP2", "mbtnTxWxStatusP2"});
  }
  return buttons;
}

void DeleteAllStations(TMapView& Map, TStrings& StationList) {
  Map.FreeAllSymbols();
  Map.ClearCrosshair(Map.CrosshairKey());
  Map.HideRangeCircle();
  StationList.Clear();
  Map.SymbolPlaces.Clear();
}

TPickList PickStationsAtCursor(const TMapView& Map, const TStrings& StationList) {
  TPickList pick;
  for (std::string& key : Map.PickStations()) {
    int first = -1;
    int last = -1;
    CsvFindRange(key, StationList, first, last);
    std::string name;
    if (first >= 0) {
      std::string field;
      CsvGetField(sfSrcCall, StationList[first], field);
      try {
        CsvUnescape(field, name);
      } catch (const EConvertError&) {
        name = field;
      }
    }
    pick.Names.push_back(std::move(name));
    pick.Keys.push_back(std::move(key));
  }
  return pick;
}

TPoint DetailWindowPosForOne(TPoint Mouse, int DetailWidth) {
  return Point(Mouse.X - DetailWidth / 2, Mouse.Y);
}

TPoint DetailWindowPosBelowSelect(TPoint Mouse, int SelectHeight) {
  return Point(Mouse.X, Mouse.Y + SelectHeight);
}

void DrawPickListRow(TCanvas& Canvas, const TRect& Rect, const std::string& Text, bool Selected,
                     TColor ListColor) {
  Canvas.Brush().SetColor(Selected ? clBlack : ListColor);
  if (Selected) Canvas.Font().SetColor(ListColor);
  Canvas.FillRect(Rect);
  // The row names a station or object as received: its name may be UTF-8.
  TextOutW(Canvas, Rect.Left + kPickRowIndent, Rect.Top, ReceivedTextToUtf16(Text));
}

std::string MapWindowCaption(const std::string& MapName, const std::string& StatusText) {
  // Before any port or connection reports, the title is the map's name alone, not "Welt,";
  // before a map is loaded (the TNC connects first), the status alone, not ", TNC".
  if (StatusText.empty()) return MapName;
  if (MapName.empty()) return StatusText;
  return MapName + ", " + StatusText;
}

TLampTimer::TLampTimer(TComponent* Owner, const char* TimerName, TBitmapMask& Lamp)
    : lamp_(Lamp), timer_(new TTimer(Owner)) {
  timer_->Name = TimerName;
  timer_->SetEnabled(false);
  timer_->SetInterval(kLampMs);
  timer_->OnTimer = [this](TComponent*) {
    lamp_.SetActive(false);
    timer_->SetEnabled(false);
  };
}

void TLampTimer::Light() {
  lamp_.SetActive(true);
  // Restarted, so a busy port keeps its lamp lit.
  timer_->SetEnabled(false);
  timer_->SetEnabled(true);
}

// The map and monitor window: the MDI child of the main frame, shown maximised.
//
// It holds the map, the monitor rdMain, the packet dispatcher every received packet
// goes through, the station store, the APRS-IS link and the beacons, the tool bar, the
// lamps and the station counter. The wiring connects the store to the windows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/map/map_view.h"
#include "app/map/map_window_commands.h"
#include "app/receive/aprs_is_link.h"
#include "app/receive/packet_dispatcher.h"
#include "app/receive/sound_queue.h"
#include "app/stations/station_store.h"
#include "app/transmit/beacons.h"
#include "controls/bitmap_mask.h"
#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "controls/my_progress_bar.h"
#include "lists/ex_popup_menu.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/menu.h"
#include "platform/gui/standard/image.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/list_box.h"
#include "platform/gui/standard/open_dialog.h"
#include "platform/gui/standard/scroll_box.h"
#include "platform/io/wave_sound.h"
#include "platform/sys/timer.h"

class TRDStyle;
class TMySplitter;
class TRichDoc;
class TfrmAprsMsg;
class TfrmAprsStnInfo;
class TfrmAprsStnList;
class TfrmAprsStnSelect;
class TfrmGpsStatus;
class TfrmLog;
class TfrmSetup;
class TfrmWxStatus;

// The windows the map window opens and reads. The wiring hands them over once they all
// exist and takes them back before they go; what reaches them (the tool bar, the lamps,
// the map's clicks and loads) runs only in between.
struct TMapWindowPeers {
  TfrmAprsStnInfo* Info = nullptr;
  TfrmAprsStnSelect* Select = nullptr;
  TfrmAprsStnList* List = nullptr;
  TfrmAprsMsg* Msg = nullptr;
  TfrmLog* Log = nullptr;
  TfrmSetup* Setup = nullptr;
  TfrmGpsStatus* Gps = nullptr;
  TfrmWxStatus* Wx = nullptr;
};

class TfrmAprs : public TForm {
 public:
  explicit TfrmAprs(TComponent* AOwner);
  ~TfrmAprs() override;

  TMyPanel* mpnlToolMain;
  TMyButton* mbtnDrawCall;
  TMyButton* mbtnDrawSymbol;
  TMyButton* mbtnDrawPoint;
  TMyButton* mbtnShowToolBar;
  TMyButton* mbtnLoadCard;
  TMyButton* mbtnDelAllStn;
  TMyButton* mbtnTxBake;
  TMyButton* mbtnGps;
  TMyButton* mbtnTcp;
  TMyButton* mbtnLog;
  TMyButton* mbtnSetup;
  TMyButton* mbtnInfo;
  TImage* imgLogo;
  TOpenDialog* OpenPictureDialog;
  TExPopupMenu* apmnuCrd;
  TMenuItem* mnuZoomOutMax;
  TMenuItem* mnuZoomOut;
  TMenuItem* mnuZoomIn;
  TMenuItem* mnuZoomInMax;
  TMyPanel* mpnlPB;
  TMyProgressBar* mpbTimPosP1;
  TMyProgressBar* mpbTimStaP1;
  TMyProgressBar* mpbTimPosP2;
  TMyProgressBar* mpbTimStaP2;
  TLabel* Label1;
  TMyPanel* mpnlDot;
  TBitmapMask* bmpmRxP1;
  TBitmapMask* bmpmRxP2;
  TBitmapMask* bmpmWx;
  TBitmapMask* bmpmMsg;
  TBitmapMask* bmpmGps;
  TBitmapMask* bmpmTxTcp;
  TLabel* lblLat;
  TLabel* lblLong;
  TLabel* lblLocator;
  TLabel* lblStnCount;
  TScrollBox* scrBoxCard;
  TMySplitter* msplRx;
  TMyPanel* mpnlBottom;
  TRichDoc* rdMain;
  TTimer* timStnDelete;
  // Brings the stations of "Stn.dat" in, a piece at a time, after the window is shown.
  TTimer* timStnLoad;
  // Writes "Stn.dat" in the background every minute from the first showing on, so that
  // a crash, a lost display or a power cut loses little.
  TTimer* timStnSave;

  // Folders with a trailing '/', set when the window is made, before the language file
  // is loaded (the language folder is SpkDir of app_folders.h).
  std::string ProgDir;
  std::string SoundDir;
  // The wave player and the sounds waiting for it.
  std::unique_ptr<TWaveSound> mpToMain;
  std::unique_ptr<TSoundQueue> Sounds;
  // The heard stations, kept in "Stn.dat" between runs, and the APRS-IS connection.
  TStationStore Stations;
  TAprsIsLink AprsIs;
  // Every received packet, whatever its road, ends here.
  TPacketDispatcher Dispatcher{Stations};
  // The program's beacons (timers and settings in the settings window).
  TBeacons Beacons;
  std::unique_ptr<TMapView> Map;
  // The map folder and the map file shown now.
  std::string MapDir;
  std::string AprsMapFile;
  // The stations of the last double click on the map, in pick-list order.
  std::vector<std::string> PickKeys;
  // The Info button: the about window (set by the wiring).
  std::function<void()> OnShowInfo;
  TMapWindowPeers Peers;

  // The first showing reads the station file; ShowStoredStations adds its stations,
  // piece by piece, once the settings are applied: their rows take the own position.
  void FormShow(TComponent* Sender);
  void ShowStoredStations();
  // The station counter's room takes Widest, its caption at the most stations the store
  // holds, in the words in use; the lamps after it move along.
  void FitStationCount(const std::string& Widest);
  std::string StationFileName() const { return ProgDir + "Stn.dat"; }
  // The map folder the map view and its catalogue (for zooming) use from now on.
  void SetMapFolder(const std::string& Folder);
  // The map catalogue of MapDir (unless it was just built) and the map AprsMapFile, when
  // it exists.
  void LoadMapFromSettings();
  // The receive lamp of radio port 1 or 2, and the lamp of a packet sent to the
  // internet, each lit for a moment.
  void LightRxLamp(int Port);
  void LightTxTcpLamp();
  // One monitor writer's text with its control characters (monitor_appender.h);
  // Received text, off the wire (a link's lines, ours as sent among them), shows its UTF-8
  // lines as Unicode.
  void AddMonitorText(const std::string& Text, int Style, bool Received = false);
  // The caption "<map name>, <status>"; the last status is kept for the next map.
  void UpdateCaption(const std::string& StatusText);
  // The tool bar buttons, the counter and the lamps that open windows.
  void ButtonClick(TComponent* Sender);
  // The picked row of the station-select window.
  void lboxStnSelectClick(TComponent* Sender);
  // A row of the station-select window's list.
  void lboxStnSelectDrawItem(TWinControl* Control, int Index, const TRect& Rect,
                             TOwnerDrawState State);
  // The collapse button runs the tool panel's height; the logo sits at its foot.
  void mpnlToolMainResize(TComponent* Sender);
  // The monitor's height as set or dragged (saved with the settings); it shows lower as
  // far as the map needs the room of the tool panel.
  int MonitorHeight() const { return monitor_height_; }
  void SetMonitorHeight(int Height);
  // The map's context menu: zoom round the point where it opened.
  void MenuClick(TComponent* Sender);
  void AprsCardClick(TComponent* Sender);
  void AprsCardDblClick(TComponent* Sender);
  // The GPS window's own position, only from a valid fix.
  void ShowGpsPosition();

  std::string ClassName() const override { return "TfrmAprs"; }

 private:
  void BuildToolBar();
  void BuildStatusBar();
  void BuildMapMenu();
  void DrawStyleClick();
  void LoadCardClick();
  void DelAllStnClick();
  void ShowToolBarState();
  void LoadStationsTick();
  // timStnSave; a failed save is told once, not again at every tick while it fails.
  void SaveStationsTick();
  void ConnectMap();
  void KeepMapRoom();

  bool shown_once_ = false;
  bool station_save_failed_ = false;
  int monitor_height_ = 150;  // as set or dragged; the monitor is lower while room is short
  int monitor_para_ = -1;
  std::string status_text_;
  std::unique_ptr<TRDStyle> monitor_styles_;
  std::unique_ptr<TLampTimer> lamp_rx_p1_;
  std::unique_ptr<TLampTimer> lamp_rx_p2_;
  std::unique_ptr<TLampTimer> lamp_tx_tcp_;
  TToolBarCollapse tool_bar_collapse_;
};

extern TfrmAprs* frmAprs;

// "Velmora 1.2 - ...": the frame's caption, the tray tip and the application title.
std::string ProgramTitle();

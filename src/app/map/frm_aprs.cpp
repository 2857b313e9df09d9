#include "app/map/frm_aprs.h"

#include <algorithm>
#include <chrono>

#include "app/language/frm_prg_msg.h"
#include "app/map/aprs_symbols.h"
#include "app/map/lamp_strip.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/monitor/monitor_appender.h"
#include "app/monitor/monitor_styles.h"
#include "app/monitor/station_styles.h"
#include "app/product.h"
#include "app/receive/frm_log.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/app_folders.h"
#include "app/shelf/device_windows.h"
#include "app/shelf/form_build.h"
#include "app/shelf/program_logo.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "controls/my_msg_dialog.h"
#include "controls/my_splitter.h"
#include "core/csv_ctrl.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/sys/application.h"
#include "platform/sys/files.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"

TfrmAprs* frmAprs = nullptr;

namespace {

constexpr int kMinWidth = 640;
constexpr int kMinHeight = 480;
// Between its two black edge lines the bar leaves a face the mouse can find; at 4 pixels
// it was two lines with a sliver between.
constexpr int kSplitterHeight = 7;
constexpr int kDotBarHeight = 24;
// Where the first lamp of the coordinate bar stands while the counter before it is narrow.
constexpr int kFirstLampLeft = 350;
// Four beacon bars and up to five lines of status text.
constexpr int kStatusPanelHeight = 104;
constexpr int kStationAgingMs = 1000;
constexpr int kStationSaveMs = 60 * 1000;

// The lamps' colours: on, off and the outline.
constexpr TColor kLampOutline = 0x404040;
constexpr TLampColors kReceiveLamp{clLime, 0x004000, kLampOutline};
constexpr TLampColors kMessageLamp{clYellow, 0x004040, kLampOutline};
constexpr TLampColors kGpsLamp{clLime, 0x004000, kLampOutline};
constexpr TLampColors kWeatherLamp{0xFFC040, 0x603010, kLampOutline};
constexpr TLampColors kTxTcpLamp{0x0080FF, 0x002040, kLampOutline};
// The GPS lamp has a third picture for a data error or a lost fix.
constexpr int kGpsLampFrames = 3;

TBitmapMask* MakeLamp(TfrmAprs* form, TWinControl* parent, const char* name, int left,
                      const TLampColors& colors, int frames = 2) {
  auto* lamp = NewControl<TBitmapMask>(form, parent, name, left, 4, kLampSize, kLampSize);
  SetUpLamp(*lamp, colors, frames);
  return lamp;
}

TLabel* MakeLabel(TfrmAprs* form, TWinControl* parent, const char* name, int left, int width) {
  auto* label = NewControl<TLabel>(form, parent, name, left, 4, width, 16);
  return label;
}

TMyButton* MakeToolButton(TfrmAprs* form, TWinControl* parent, const char* name,
                          const char* caption, int top) {
  auto* button = NewControl<TMyButton>(form, parent, name, 4, top, 58, 25);
  button->SetCaption(caption);
  button->OnClick = [form](TComponent* Sender) { form->ButtonClick(Sender); };
  return button;
}

TMyProgressBar* MakeBar(TfrmAprs* form, TWinControl* parent, const char* name, int top) {
  auto* bar = NewProgressBar(form, parent, name, 4, top, 58, 8);
  bar->SetShowPercent(false);
  bar->SetVisible(false);
  return bar;
}

}  // namespace

std::string ProgramTitle() {
  return std::string(kProductName) + " " + kProgramVersion + " - APRS station";
}

TfrmAprs::TfrmAprs(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmAprs";
  SetFormStyle(fsMDIChild);
  SetBounds(0, 0, kMinWidth, kMinHeight);

  BuildToolBar();

  // Below the command buttons, right of the collapse strip: the beacon bars and the
  // connection status.
  const int strip = mbtnShowToolBar->Width();
  mpnlPB =
      NewControl<TMyPanel>(this, mpnlToolMain, "mpnlPB", strip, mbtnInfo->BoundsRect().Bottom + 5,
                           mpnlToolMain->Width() - strip, kStatusPanelHeight);
  mpbTimPosP1 = MakeBar(this, mpnlPB, "mpbTimPosP1", 2);
  mpbTimStaP1 = MakeBar(this, mpnlPB, "mpbTimStaP1", 12);
  mpbTimPosP2 = MakeBar(this, mpnlPB, "mpbTimPosP2", 24);
  mpbTimStaP2 = MakeBar(this, mpnlPB, "mpbTimStaP2", 34);

  mpnlBottom = NewControl<TMyPanel>(this, this, "mpnlBottom", alBottom);
  mpnlBottom->SetHeight(monitor_height_);
  rdMain = NewControl<TRichDoc>(this, mpnlBottom, "rdMain", alClient);
  monitor_styles_ = std::make_unique<TRDStyle>();
  MakeMonitorStyles(*monitor_styles_);
  SetUpMonitorViewer(*rdMain, *monitor_styles_);
  // Above the monitor, so that dragging it gives the monitor more or less room; the log
  // shows its end again at its new size.
  // Aligned and placed before it goes on the window: a new splitter stands on the left
  // and would take the window's height (none yet) as its own.
  msplRx = new TMySplitter(this);
  msplRx->Name = "msplRx";
  msplRx->SetAlign(alBottom);
  msplRx->SetBounds(0, mpnlBottom->Top() - kSplitterHeight, Width(), kSplitterHeight);
  msplRx->SetParent(this);
  msplRx->OnMoved = [this](TComponent*) {
    // The height the drag left, as far as the map keeps its room, is the monitor's now.
    SetMonitorHeight(mpnlBottom->Height());
    monitor_height_ = mpnlBottom->Height();
    ScrollLogToEnd(*rdMain);
  };

  BuildStatusBar();
  ShowToolBarState();

  scrBoxCard = NewControl<TScrollBox>(this, this, "scrBoxCard", alClient);

  timStnDelete = new TTimer(this);
  timStnDelete->Name = "timStnDelete";
  timStnDelete->SetEnabled(false);
  timStnDelete->SetInterval(kStationAgingMs);
  timStnDelete->OnTimer = [this](TComponent*) { Stations.AgeStations(); };
  timStnLoad = new TTimer(this);
  timStnLoad->Name = "timStnLoad";
  timStnLoad->SetEnabled(false);
  timStnLoad->SetInterval(1);
  timStnLoad->OnTimer = [this](TComponent*) { LoadStationsTick(); };
  timStnSave = new TTimer(this);
  timStnSave->Name = "timStnSave";
  timStnSave->SetEnabled(false);
  timStnSave->SetInterval(kStationSaveMs);
  timStnSave->OnTimer = [this](TComponent*) { SaveStationsTick(); };

  ProgDir = PrgDir();
  SpkDir = ProgDir + "Speak/";
  SoundDir = ProgDir + "Sound/";
  // Without the sheets the symbols stay blank; the program runs all the same.
  LoadSymbolSheets(ProgDir);
  mpToMain = std::make_unique<TWaveSound>();
  Sounds = std::make_unique<TSoundQueue>(*mpToMain, SoundDir);
  Stations.Sounds = Sounds.get();
  OnShow = [this](TComponent* Sender) { FormShow(Sender); };
  OnResize = [this](TComponent*) { KeepMapRoom(); };
  ConnectMap();
  Dispatcher.Monitor = rdMain;

  const std::string title = ProgramTitle();
  SetCaption(title);
  if (Application) Application->Title = title;
  frmAprs = this;
  DoCreate();
}

TfrmAprs::~TfrmAprs() {
  // The panels shrink as the window goes; the window's half is gone by then.
  mpnlToolMain->OnResize = nullptr;
  OnResize = nullptr;
  // The reader thread hands lines to the dispatcher: it ends before the window does.
  AprsIs.Stop();
  Dispatcher.Monitor = nullptr;
  // The monitor outlives its style sheet, a member of this window.
  rdMain->SetStyle(nullptr);
  // The queue lets go of the player's end-of-playback event before the player goes.
  Stations.Sounds = nullptr;
  Sounds.reset();
  if (frmAprs == this) frmAprs = nullptr;
}

void TfrmAprs::BuildToolBar() {
  mpnlToolMain = NewControl<TMyPanel>(this, this, "mpnlToolMain", alLeft);
  mbtnShowToolBar = MakeToolButton(this, mpnlToolMain, "mbtnShowToolBar", "", 0);
  mbtnShowToolBar->SetBounds(0, 0, 16, 25);
  mbtnShowToolBar->SetHint("Modepalette einblenden");
  mbtnShowToolBar->SetChecker(true);
  mbtnShowToolBar->SetDown(true);
  mbtnDrawCall = MakeToolButton(this, mpnlToolMain, "mbtnDrawCall", "C", 4);
  mbtnDrawSymbol = MakeToolButton(this, mpnlToolMain, "mbtnDrawSymbol", "S", 4);
  mbtnDrawPoint = MakeToolButton(this, mpnlToolMain, "mbtnDrawPoint", "P", 4);
  int left = 20;
  for (TMyButton* button : {mbtnDrawCall, mbtnDrawSymbol, mbtnDrawPoint}) {
    button->SetBounds(left, 4, 21, 21);
    button->SetChecker(true);
    button->SetPaintDown(true);
    left += 22;
  }
  mbtnDrawCall->SetDown(true);
  mbtnDrawSymbol->SetDown(true);
  int top = 30;
  auto command = [this, &top](const char* name, const char* caption) {
    TMyButton* button = MakeToolButton(this, mpnlToolMain, name, caption, top);
    button->SetLeft(20);
    top += 28;
    return button;
  };
  mbtnLoadCard = command("mbtnLoadCard", "Karte");
  mbtnDelAllStn = command("mbtnDelAllStn", "L\xF6schen");
  mbtnTxBake = command("mbtnTxBake", "TX-Bake");
  mbtnGps = command("mbtnGps", "GPS");
  mbtnGps->SetChecker(true);
  mbtnTcp = command("mbtnTcp", "TCP");
  // Switched on, these look pressed (the link colours the TCP button by its state).
  for (TMyButton* button : {mbtnGps, mbtnTcp}) button->SetPaintDown(true);
  mbtnLog = command("mbtnLog", "Log");
  mbtnSetup = command("mbtnSetup", "Setup");
  mbtnInfo = command("mbtnInfo", "Info");
  imgLogo = NewControl<TImage>(this, mpnlToolMain, "imgLogo");
  DrawProgramLogo(imgLogo->Picture().Bitmap(), mbtnLoadCard->Width());
  imgLogo->SetBounds(mbtnLoadCard->Left(), 0, mbtnLoadCard->Width(), mbtnLoadCard->Width());
  imgLogo->SetTransparent(true);
  mpnlToolMain->SetWidth(ToolPanelWidth(mbtnLoadCard->Width(), mbtnShowToolBar->Width()));
  mpnlToolMain->OnResize = [this](TComponent* Sender) { mpnlToolMainResize(Sender); };
  OpenPictureDialog = new TOpenDialog(this);
  OpenPictureDialog->Name = "OpenPictureDialog";
  OpenPictureDialog->Filter = kMapPictureFilter;
}

// The collapse button points the way the panel goes, and the collapsed panel shows no
// status text or beacon bars cut to the button's width.
void TfrmAprs::ShowToolBarState() {
  const bool open = mbtnShowToolBar->Down();
  mbtnShowToolBar->SetCaption(open ? "\xAB" : "\xBB");
  mpnlPB->SetVisible(open);
}

void TfrmAprs::mpnlToolMainResize(TComponent*) {
  const int height = mpnlToolMain->Height();
  mbtnShowToolBar->SetHeight(height);
  imgLogo->SetTop(ToolPanelLogoTop(height, imgLogo->Height(), mbtnShowToolBar->Width(),
                                   mpnlPB->BoundsRect().Bottom));
  imgLogo->SetVisible(imgLogo->BoundsRect().Bottom <= height);
}

// The map keeps the room of the tool panel's buttons, beacon bars and status text: the
// monitor gives way, down to its smallest size, rather than the panel being cut off
// under the coordinate bar, and takes the height it was given again when there is room.
void TfrmAprs::KeepMapRoom() {
  const int room =
      ClientHeight() - mpnlDot->Height() - msplRx->Height() - mpnlPB->BoundsRect().Bottom;
  const int height = std::max(std::min(monitor_height_, room), msplRx->MinSize());
  if (height != mpnlBottom->Height()) mpnlBottom->SetHeight(height);
}

void TfrmAprs::SetMonitorHeight(int Height) {
  monitor_height_ = Height;
  KeepMapRoom();
}

void TfrmAprs::BuildMapMenu() {
  apmnuCrd = new TExPopupMenu(this);
  apmnuCrd->Name = "apmnuCrd";
  apmnuCrd->OnPopup = [this](TComponent*) { Map->RememberZoomPoint(); };
  auto item = [this](const char* name, const char* caption) {
    auto* menuItem = new TMenuItem(this);
    menuItem->Name = name;
    menuItem->Caption = caption;
    menuItem->OnClick = [this](TComponent* Sender) { MenuClick(Sender); };
    apmnuCrd->Items().Add(menuItem);
    return menuItem;
  };
  mnuZoomOutMax = item("mnuZoomOutMax", "Kartenausschnitt maximal verkleinern");
  mnuZoomOut = item("mnuZoomOut", "Kartenausschnitt verkleinern");
  mnuZoomIn = item("mnuZoomIn",
                   "Kartenausschnitt vergr\xF6\xDF"
                   "ern");
  mnuZoomInMax = item("mnuZoomInMax",
                      "Kartenausschnitt maximal vergr\xF6\xDF"
                      "ern");
  // On the panel the map lies on: the image, the frame and circles over it and the
  // markers all pass a right click up to it.
  Map->pnlCard->SetPopupMenu(apmnuCrd);
}

void TfrmAprs::MenuClick(TComponent* Sender) {
  const TGeoPoint at = Map->ZoomPoint();
  const bool zoomIn = Sender == mnuZoomIn || Sender == mnuZoomInMax;
  const bool toLimit = Sender == mnuZoomInMax || Sender == mnuZoomOutMax;
  Map->ZoomMap(zoomIn, toLimit, at.Lon, at.Lat);
}

void TfrmAprs::BuildStatusBar() {
  Label1 = MakeLabel(this, mpnlPB, "Label1", 2, mpnlPB->Width() - 4);
  // The status texts ("TCPIP connection lost, try to reconnect now...") are long for the
  // narrow panel: they wrap, in a small font, in the room below the beacon bars, and
  // the label is as high as its lines.
  Label1->SetWordWrap(true);
  Label1->Font().SetHeight(-9);
  Label1->SetBounds(2, 42, mpnlPB->Width() - 4, mpnlPB->Height() - 44);
  Label1->SetAutoSize(true);
  // Placed on the splitter's top, so that the stack at the bottom stays monitor, splitter,
  // coordinate bar.
  mpnlDot = new TMyPanel(this);
  mpnlDot->Name = "mpnlDot";
  mpnlDot->SetAlign(alBottom);
  mpnlDot->SetBounds(0, msplRx->Top() - kDotBarHeight, Width(), kDotBarHeight);
  mpnlDot->SetParent(this);
  lblLat = MakeLabel(this, mpnlDot, "lblLat", 4, 90);
  lblLong = MakeLabel(this, mpnlDot, "lblLong", 98, 90);
  lblLocator = MakeLabel(this, mpnlDot, "lblLocator", 192, 60);
  lblStnCount = MakeLabel(this, mpnlDot, "lblStnCount", 256, 90);
  lblStnCount->SetHint("Stationsliste anzeigen...");
  lblStnCount->SetShowHint(true);
  lblStnCount->OnClick = [this](TComponent* Sender) { ButtonClick(Sender); };
  bmpmRxP1 = MakeLamp(this, mpnlDot, "bmpmRxP1", kFirstLampLeft, kReceiveLamp);
  // The counter changes with every new station: its room is fitted to the widest count
  // (FitStationCount), and a new count is painted there without its text being measured
  // again (as a label sized to its text would be, a good share of the time a full feed
  // takes).
  lblStnCount->SetAutoSize(false);
  lblStnCount->SetWidth(bmpmRxP1->Left() - lblStnCount->Left());
  bmpmRxP2 = MakeLamp(this, mpnlDot, "bmpmRxP2", 370, kReceiveLamp);
  bmpmRxP2->SetVisible(false);
  bmpmMsg = MakeLamp(this, mpnlDot, "bmpmMsg", 390, kMessageLamp);
  bmpmMsg->SetHint("Nachrichten anzeigen...");
  bmpmGps = MakeLamp(this, mpnlDot, "bmpmGps", 410, kGpsLamp, kGpsLampFrames);
  bmpmGps->SetHint("GPS Status anzeigen...");
  bmpmWx = MakeLamp(this, mpnlDot, "bmpmWx", 430, kWeatherLamp);
  bmpmWx->SetHint("WX Status anzeigen...");
  bmpmTxTcp = MakeLamp(this, mpnlDot, "bmpmTxTcp", 450, kTxTcpLamp);
  bmpmTxTcp->SetHint("HF nach TCP Digipeating");
  for (TBitmapMask* lamp : {bmpmMsg, bmpmGps, bmpmWx}) {
    lamp->SetShowHint(true);
    lamp->OnClick = [this](TComponent* Sender) { ButtonClick(Sender); };
  }
  lamp_rx_p1_ = std::make_unique<TLampTimer>(this, "timRxP1", *bmpmRxP1);
  lamp_rx_p2_ = std::make_unique<TLampTimer>(this, "timRxP2", *bmpmRxP2);
  lamp_tx_tcp_ = std::make_unique<TLampTimer>(this, "timTxTcp", *bmpmTxTcp);
}

void TfrmAprs::FitStationCount(const std::string& Widest) {
  TCanvas measure;
  measure.Font().Assign(lblStnCount->Font());
  const int right = std::max(kFirstLampLeft, lblStnCount->Left() + measure.TextWidth(Widest));
  const int shift = right - bmpmRxP1->Left();
  lblStnCount->SetWidth(right - lblStnCount->Left());
  for (TBitmapMask* lamp : {bmpmRxP1, bmpmRxP2, bmpmMsg, bmpmGps, bmpmWx, bmpmTxTcp})
    lamp->SetLeft(lamp->Left() + shift);
}

void TfrmAprs::ConnectMap() {
  Map = std::make_unique<TMapView>(this, scrBoxCard, Stations.StationList);
  BuildMapMenu();
  Map->OnMapClick = [this](TComponent* Sender) { AprsCardClick(Sender); };
  Map->OnMapDblClick = [this](TComponent* Sender) { AprsCardDblClick(Sender); };
  Map->OnCursorTexts = [this](const TCursorTexts& Texts) {
    lblLat->SetCaption(Texts.Lat);
    lblLong->SetCaption(Texts.Lon);
    lblLocator->SetCaption(Texts.Locator);
  };
  Map->OnMapLoaded = [this] {
    AprsMapFile = Map->MapFile;
    ShowGpsPosition();
    UpdateCaption(status_text_);
    Stations.UpdateStationCount();
  };
  Map->OnPlacesChanged = [this] { Stations.UpdateStationCount(); };
}

void TfrmAprs::FormShow(TComponent*) {
  if (shown_once_) return;
  shown_once_ = true;
  // Read now, so that an end before the stations are shown still saves them.
  Stations.BeginLoadStations(StationFileName());
  Stations.UpdateStationCount();
  timStnSave->SetEnabled(true);
}

void TfrmAprs::ShowStoredStations() {
  // The stations come in between paints: tens of thousands would otherwise keep the
  // window blank for seconds.
  if (Stations.LoadingStations()) timStnLoad->SetEnabled(true);
}

void TfrmAprs::LoadStationsTick() {
  constexpr int kPieceStations = 64;
  constexpr auto kTickTime = std::chrono::milliseconds(20);
  const auto start = std::chrono::steady_clock::now();
  while (Stations.LoadStationsPiece(kPieceStations)) {
    if (std::chrono::steady_clock::now() - start >= kTickTime) return;
  }
  timStnLoad->SetEnabled(false);
}

void TfrmAprs::SaveStationsTick() {
  const std::string failure = Stations.TakeSaveFailure();
  const bool failed_before = station_save_failed_;
  station_save_failed_ = !failure.empty();
  Stations.SaveStationsInBackground(StationFileName());
  if (station_save_failed_ && !failed_before) MyShowError(failure);
}

namespace {
const char* const kFirstStartMap = "APRS-Karten/Welt.jpg";
}  // namespace

void TfrmAprs::SetMapFolder(const std::string& Folder) {
  MapDir = Folder;
  Map->MapDir = Folder;
  Map->BuildMapCatalog();
}

void TfrmAprs::LoadMapFromSettings() {
  // At start the settings' change step has just scanned the folder; a second scan would
  // show every box about a picture without calibration again.
  if (Map->MapDir != MapDir) SetMapFolder(MapDir);
  // Packets are dropped while no map is loaded, so a first start (no map saved yet)
  // shows the world map that ships with the program.
  const std::string mapFile = AprsMapFile.empty() ? ProgDir + kFirstStartMap : AprsMapFile;
  if (FileExists(mapFile)) Map->LoadMap(mapFile);
}

void TfrmAprs::LightRxLamp(int Port) {
  (Port == 2 ? lamp_rx_p2_ : lamp_rx_p1_)->Light();
}

void TfrmAprs::LightTxTcpLamp() {
  lamp_tx_tcp_->Light();
}

void TfrmAprs::AddMonitorText(const std::string& Text, int Style, bool Received) {
  if (Received) {
    AddReceivedLogText(rdMain, Text, Style, monitor_para_);
  } else {
    AddLogText(rdMain, Text, Style, monitor_para_);
  }
}

void TfrmAprs::UpdateCaption(const std::string& StatusText) {
  status_text_ = StatusText;
  SetCaption(MapWindowCaption(Map->MapName, StatusText));
}

void TfrmAprs::ButtonClick(TComponent* Sender) {
  if (Sender == mbtnInfo && OnShowInfo) OnShowInfo();
  if (Sender == mbtnLog) Peers.Log->Show();
  if (Sender == mbtnGps) {
    Peers.Gps->GpsRxMain->SetRun(mbtnGps->Down());
    if (mbtnGps->Down() && !Peers.Gps->Visible()) Peers.Gps->Show();
  }
  if (Sender == bmpmGps) Peers.Gps->Show();
  if (Sender == bmpmWx) Peers.Wx->Show();
  if (Sender == bmpmMsg) Peers.Msg->Show();
  if (Sender == lblStnCount) Peers.List->Show();
  if (Sender == mbtnSetup) Peers.Setup->ShowModal();
  if (Sender == mbtnDelAllStn) DelAllStnClick();
  if (Sender == mbtnDrawCall || Sender == mbtnDrawSymbol || Sender == mbtnDrawPoint) {
    DrawStyleClick();
  }
  if (Sender == mbtnLoadCard) LoadCardClick();
  if (Sender == mbtnShowToolBar) {
    mpnlToolMain->SetWidth(tool_bar_collapse_.Toggle(mbtnShowToolBar->Down(), mpnlToolMain->Width(),
                                                     mbtnShowToolBar->Width()));
    ShowToolBarState();
  }
  if (Sender == mbtnTxBake) {
    for (const std::string& name : TxBakeButtons(Peers.Setup->IsDualPortDevice())) {
      if (auto* button = dynamic_cast<TMyButton*>(Peers.Setup->FindComponent(name)))
        button->Click();
    }
  }
  if (Sender == mbtnTcp) AprsIs.mbtnTcpClick();
}

void TfrmAprs::DrawStyleClick() {
  TDrawStyleButtons buttons{mbtnDrawPoint->Down(), mbtnDrawSymbol->Down(), mbtnDrawCall->Down()};
  const TSymDrawStyles style = DrawStyleFromButtons(buttons);
  mbtnDrawPoint->SetDown(buttons.Point);
  Map->SetSymDrawStyle(style);
}

void TfrmAprs::LoadCardClick() {
  const TMapPickerStart start =
      MapPickerStart(Peers.Setup->edtCrdDir->Text(), MapDir, Map->MapFile);
  if (!start.Open) return;
  OpenPictureDialog->FileName = start.FileName.empty() ? start.InitialDir : start.FileName;
  OpenPictureDialog->Filter = PrgMsg(&TfrmPrgMsg::lblWordMapFilter, kMapPictureFilter);
  if (OpenPictureDialog->Execute()) Map->LoadMap(OpenPictureDialog->FileName);
}

void TfrmAprs::DelAllStnClick() {
  if (MyConfirm(PrgMsg(&TfrmPrgMsg::lblQueDelAll, kDeleteAllStationsQuestion)) != mrYes) return;
  Stations.DropLoadingStations();
  const TStationViews& views = Stations.Views();
  for (int n = 0; n < Stations.StationList.Count(); ++n) {
    std::string key;
    CsvGetField(sfKey, Stations.StationList.Line(n), key);
    views.Rows->DeleteStationRow(key);
  }
  DeleteAllStations(*Map, Stations.StationList);
  if (views.Detail->StationInfoVisible()) views.Detail->CloseStationInfo();
  Stations.UpdateStationCount();
}

// Without a valid fix the coordinates are stale or empty: no circle rather than a
// circle in the wrong place.
void TfrmAprs::ShowGpsPosition() {
  if (Peers.Gps->HasGpsPosition()) {
    Map->ShowOwnPosition(Peers.Gps->GpsLat, Peers.Gps->GpsLon);
  } else {
    Map->shpGPS->Hide();
  }
}

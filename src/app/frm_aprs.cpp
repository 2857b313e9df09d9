#include "app/frm_aprs.h"

#include "app/app_folders.h"
#include "app/aprs_symbols.h"
#include "app/frm_main.h"
#include "platform/sys/application.h"

TfrmAprs* frmAprs = nullptr;

const char* const kProductName = "Velmora";
const char* const kProgramVersion = "1.2";

namespace {

constexpr int kMinWidth = 640;
constexpr int kMinHeight = 480;

TBitmapMask* MakeLamp(TfrmAprs* form, TWinControl* parent, const char* name, int left) {
  auto* lamp = new TBitmapMask(form);
  lamp->Name = name;
  lamp->SetParent(parent);
  lamp->SetBounds(left, 4, 16, 16);
  return lamp;
}

TMyProgressBar* MakeBar(TfrmAprs* form, TWinControl* parent, const char* name, int top) {
  auto* bar = new TMyProgressBar(form);
  bar->Name = name;
  bar->SetParent(parent);
  bar->SetBounds(2, top, 60, 8);
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

  mpnlToolMain = new TMyPanel(this);
  mpnlToolMain->Name = "mpnlToolMain";
  mpnlToolMain->SetParent(this);
  mpnlToolMain->SetAlign(alLeft);
  mpnlToolMain->SetWidth(66);

  mbtnGps = new TMyButton(this);
  mbtnGps->Name = "mbtnGps";
  mbtnGps->SetParent(mpnlToolMain);
  mbtnGps->SetBounds(4, 4, 58, 25);
  mbtnGps->SetCaption("GPS");
  mbtnGps->SetChecker(true);

  mpnlPB = new TMyPanel(this);
  mpnlPB->Name = "mpnlPB";
  mpnlPB->SetParent(mpnlToolMain);
  mpnlPB->SetBounds(0, 40, 66, 48);
  mpbTimPosP1 = MakeBar(this, mpnlPB, "mpbTimPosP1", 2);
  mpbTimStaP1 = MakeBar(this, mpnlPB, "mpbTimStaP1", 12);
  mpbTimPosP2 = MakeBar(this, mpnlPB, "mpbTimPosP2", 24);
  mpbTimStaP2 = MakeBar(this, mpnlPB, "mpbTimStaP2", 34);

  mpnlBottom = new TMyPanel(this);
  mpnlBottom->Name = "mpnlBottom";
  mpnlBottom->SetParent(this);
  mpnlBottom->SetAlign(alBottom);
  mpnlBottom->SetHeight(50);

  mpnlDot = new TMyPanel(this);
  mpnlDot->Name = "mpnlDot";
  mpnlDot->SetParent(this);
  mpnlDot->SetAlign(alBottom);
  mpnlDot->SetHeight(24);
  bmpmRxP1 = MakeLamp(this, mpnlDot, "bmpmRxP1", 4);
  bmpmRxP2 = MakeLamp(this, mpnlDot, "bmpmRxP2", 24);
  bmpmRxP2->SetVisible(false);
  bmpmWx = MakeLamp(this, mpnlDot, "bmpmWx", 44);

  timStnDelete = new TTimer(this);
  timStnDelete->Name = "timStnDelete";
  timStnDelete->SetEnabled(false);

  ProgDir = PrgDir();
  SpkDir = ProgDir + "Speak/";
  SoundDir = ProgDir + "Sound/";
  // Without the sheets the symbols stay blank; the program runs all the same.
  LoadSymbolSheets(ProgDir);
  mpToMain = std::make_unique<TWaveSound>();
  Sounds = std::make_unique<TSoundQueue>(*mpToMain, SoundDir);
  Stations.Sounds = Sounds.get();
  OnShow = [this](TComponent* Sender) { FormShow(Sender); };

  const std::string title = ProgramTitle();
  SetCaption(title);
  if (Application) Application->Title = title;
  if (frmMain) {
    frmMain->SetCaption(title);
    frmMain->MyTrayIcon->SetHint(title);
  }
  frmAprs = this;
  DoCreate();
}

TfrmAprs::~TfrmAprs() {
  // The queue lets go of the player's end-of-playback event before the player goes.
  Stations.Sounds = nullptr;
  Sounds.reset();
  if (frmAprs == this) frmAprs = nullptr;
}

void TfrmAprs::FormShow(TComponent*) {
  if (shown_once_) return;
  shown_once_ = true;
  Stations.LoadStations(StationFileName());
}

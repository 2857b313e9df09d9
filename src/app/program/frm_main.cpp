#include "app/program/frm_main.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "app/map/frm_aprs.h"
#include "app/monitor/monitor_appender.h"
#include "app/receive/frm_log.h"
#include "app/receive/tnc_link.h"
#include "app/settings/frm_setup.h"
#include "app/settings/settings_store.h"
#include "app/shelf/device_windows.h"
#include "controls/my_msg_dialog.h"
#include "core/rs232.h"
#include "platform/gui/controls/new_control.h"
#include "platform/sys/application.h"
#include "platform/text/sysutils.h"
#include "richtext/view/rich_doc.h"

TfrmMain* frmMain = nullptr;

namespace {

// The lower half of the hint face: the light grey of the title panels.
constexpr TColor kHintLowerFace = 0xE6E6E6;

// How long the end of the program waits for the TNC to leave KISS mode.
constexpr unsigned kShutDownKissWaitMs = 10000;

TButton* MakeButton(TfrmMain* form, const char* name, const char* caption, int left, int width) {
  auto* button = NewControl<TButton>(form, form->pnlTop, name, left, 6, width, 25);
  button->SetCaption(caption);
  return button;
}

}  // namespace

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmMain";
  SetFormStyle(fsMDIForm);
  SetPosition(poDesigned);
  SetClientSize(740, 444);

  pnlTop = NewControl<TPanel>(this, this, "pnlTop", alTop);
  pnlTop->SetHeight(36);
  pnlTop->SetVisible(false);
  btnKissOff = MakeButton(this, "btnKissOff", "KISS off", 8, 75);
  btnKissOn = MakeButton(this, "btnKissOn", "KISS on", 88, 75);
  Button3 = MakeButton(this, "Button3", "Einzelnen Datensatz debugen", 240, 180);
  Button3->SetVisible(false);
  cbxDebug = NewControl<TCheckBox>(this, pnlTop, "cbxDebug", 170, 10, 60, 17);
  cbxDebug->SetCaption("Debug");
  cbxDebug->SetVisible(false);

  MyHint1 = new TMyHint(this);
  MyHint1->Name = "MyHint1";
  // The face's lower half starts black: with the dark hint text over it, the lower half
  // of every line could not be read.
  MyHint1->Color2 = kHintLowerFace;
  MyTrayIcon = new TMyTrayIcon(this);
  MyTrayIcon->Name = "MyTrayIcon";

  btnKissOff->OnClick = [this](TComponent* Sender) { btnKissOffClick(Sender); };
  btnKissOn->OnClick = [this](TComponent* Sender) { btnKissOnClick(Sender); };
  Button3->OnClick = [this](TComponent* Sender) { Button3Click(Sender); };
  MyTrayIcon->OnDblClick = [this](TComponent* Sender) { MyTrayIconDblClick(Sender); };
  OnCloseQuery = [this](TComponent* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
  OnClose = [this](TComponent* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

  frmMain = this;
  DoCreate();
}

TfrmMain::~TfrmMain() {
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::MyTrayIconDblClick(TComponent*) {
  Show();
  SetWindowState(wsNormal);
  BringToFront();
  MyTrayIcon->Restore();
}

void TfrmMain::btnKissOffClick(TComponent*) {
  TncControl().KissDisconnect();
}

void TfrmMain::btnKissOnClick(TComponent*) {
  const int device = frmSetup->mfcbxDevice->ItemIndex();
  if (device > 0) TncControl().KissConnect(static_cast<uint8_t>(device));
}

void TfrmMain::Button3Click(TComponent*) {
  std::string text = StringReplace(frmSetup->memDebu->Text(), "\r\n", "", rfReplaceAll);
  text = StringReplace(text, ",", "\r\n", rfReplaceAll);
  frmSetup->lbxByt->Items().SetText(text);
  std::array<uint8_t, kTestFeedBytes> bytes{};
  const int count = std::min(frmSetup->lbxByt->Items().Count(), kTestFeedBytes);
  for (int n = 0; n < count; ++n)
    bytes[n] = static_cast<uint8_t>(StrToInt(Trim(frmSetup->lbxByt->Items().Get(n))));
  // The monitor shows the fed frame alone.
  if (frmAprs) ClearLog(*frmAprs->rdMain);
  KissLink.KissRxBytes(std::span<const uint8_t>(bytes.data(), static_cast<size_t>(count)));
}

// While the settings are being applied (with a wait for the TNC inside) the program
// must not end underneath that sequence: the close is refused and made once the
// sequence is done.
void TfrmMain::FormCloseQuery(TComponent*, bool& CanClose) {
  if (frmSetup && frmSetup->Applying()) {
    frmSetup->CloseMainWhenApplied();
    CanClose = false;
  }
}

void TfrmMain::FormClose(TComponent*, TCloseAction& Action) {
  if (Action == caNone) return;
  // Whatever goes wrong while shutting down, the program ends: it must not run on with
  // its main window gone.
  struct TEnd {
    ~TEnd() {
      if (Application) Application->Terminate();
    }
  } end;
  ShutDown();
}

void TfrmMain::ShutDown() {
  if (shut_down_done_) return;
  shut_down_done_ = true;
  if (frmAprs && frmAprs->AprsIs.TcpWanted()) frmAprs->AprsIs.Stop();
  // Saved before the waits below: a logout may end the process during them.
  SaveSettingsOnce();
  if (frmLog) frmLog->Recorder.FlushLog();
  const bool saved = SaveStationFile();
  const std::uint64_t changes = frmAprs ? frmAprs->Stations.Changes() : 0;
  // The TNC, the GPS receiver and the weather station take some seconds more to let go;
  // no window should stand there meanwhile looking as if the program had hung.
  for (int n = Screen->FormCount() - 1; n >= 0; --n) Screen->Forms(n)->Hide();
  KissDisconnectAndWait(kShutDownKissWaitMs);
  TncRs232().CloseRs232();
  if (frmGpsStatus) frmGpsStatus->GpsRxMain->SetRun(false);
  if (frmSetup) frmSetup->WxStn->SetRun(false);
  // What the devices brought in meanwhile: a large file is not written twice for nothing.
  if (frmAprs && (!saved || frmAprs->Stations.Changes() != changes)) SaveStationFile();
}

void TfrmMain::LastSaves() {
  // The devices go first, at once: no wait for the TNC, which would need the window
  // messages of a display that may be gone; their terminals are free for the next opener.
  if (frmAprs) frmAprs->AprsIs.Stop();
  TRs232::CloseOpenPorts();
  SaveSettingsOnce();
  if (frmLog) frmLog->Recorder.FlushLog();
  SaveStationFile();
}

void TfrmMain::SaveSettingsOnce() {
  if (settings_saved_ || !frmSetup) return;
  settings_saved_ = true;
  SaveSettings(*frmSetup);
}

bool TfrmMain::SaveStationFile() {
  if (!frmAprs) return false;
  try {
    frmAprs->Stations.SaveStations(frmAprs->StationFileName());
    return true;
  } catch (const Exception& error) {
    // The heard stations would be gone at the next start: say so.
    MyShowError(error.what());
    return false;
  }
}

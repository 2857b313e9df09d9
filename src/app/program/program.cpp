#include "app/program/program.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/language/frm_prg_msg.h"
#include "app/language/frm_speak.h"
#include "app/language/speak_file.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/program/frm_info.h"
#include "app/program/frm_main.h"
#include "app/program/wiring.h"
#include "app/receive/frm_log.h"
#include "app/settings/frm_setup.h"
#include "app/settings/settings_store.h"
#include "app/shelf/app_folders.h"
#include "app/shelf/device_windows.h"
#include "app/shelf/program_icon_files.h"
#include "app/shelf/window_places.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "app/stations/frm_aprs_stn_select.h"
#include "controls/my_msg_dialog.h"
#include "gif/gif_registration.h"
#include "html/picture_container.h"
#include "lists/visual_styles.h"
#include "platform/gui/standard/program_icon.h"
#include "platform/sys/application.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/files.h"
#include "platform/sys/registry.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/tables/table_item.h"

TfrmGpsStatus* frmGpsStatus = nullptr;
TfrmWxStatus* frmWxStatus = nullptr;

// PlaySound index of "PrgUp.wav".
constexpr int kStartSound = 0;

const char* const kNoValidSpeakFileText = "No valid speakfile found, Velmora loading abort!";

TProgramWindows::~TProgramWindows() {
  DisconnectWindows();
  frmMyMsgDialog = nullptr;
  frmGpsStatus = nullptr;
  frmWxStatus = nullptr;
}

void CreateWindows(TProgramWindows& Owner) {
  new TfrmMain(&Owner);
  frmMyMsgDialog = new TfrmMyMsgDialog(&Owner);
  new TfrmSetup(&Owner);
  new TfrmAprsStnList(&Owner);
  new TfrmAprsStnSelect(&Owner);
  new TfrmAprsStnInfo(&Owner);
  new TfrmAprsMsg(&Owner);
  new TfrmAprs(&Owner);
  // The frame and its tray icon carry the program's title, as the map window does.
  frmMain->SetCaption(ProgramTitle());
  frmMain->MyTrayIcon->SetHint(ProgramTitle());
  frmAprs->SetWindowState(wsMaximized);
  frmAprs->Show();
  frmGpsStatus = new TfrmGpsStatus(&Owner);
  new TfrmInfo(&Owner);
  new TfrmSpeak(&Owner);
  new TfrmPrgMsg(&Owner);
  frmWxStatus = new TfrmWxStatus(&Owner);
  new TfrmLog(&Owner);
  PlaceBesideFrame(*frmMain, *frmGpsStatus);
  PlaceBelow(*frmGpsStatus, *frmWxStatus);
  ConnectWindows();
}

std::uint8_t LoadStartLanguage() {
  // A file is tried once, though it is also a fallback: tried again it would only say
  // the same. What is wrong with the files is said once a language stands, in its words.
  std::vector<std::pair<std::string, std::uint8_t>> tried;
  std::vector<std::string> errors;
  std::uint8_t result = kSpeakUnusable;
  const auto load = [&](const std::string& name) {
    const auto before = std::find_if(tried.begin(), tried.end(),
                                     [&](const auto& file) { return file.first == name; });
    result = before != tried.end() ? before->second : LoadSpeakFile(name, false, &errors);
    tried.emplace_back(name, result);
  };
  load(frmSetup->mfcbxSpk->Text());
  for (const char* fallback : {"english.spk", "deutsch.spk"}) {
    if (result == kSpeakLoaded) break;
    frmSetup->mfcbxSpk->SetText(fallback);
    load(fallback);
  }
  for (const std::string& error : errors) MyShowError(error);
  return result;
}

void DeleteInterruptedSaves() {
  DeleteStaleSaveFiles(ConfigFolder());
  DeleteStaleSaveFiles(PrgDir());
}

bool StartProgram() {
  DeleteInterruptedSaves();
  // Markup shows pictures of our own only.
  SetPictureFolders({PrgDir()});
  {
    // The language first: every box from here on speaks it. One store for both: opening
    // a damaged store moves it aside, and the settings report that.
    TRegistry store;
    LoadLanguageChoice(*frmSetup, store);
    const std::uint8_t language = LoadStartLanguage();
    if (language == kSpeakWrongVersion) MyShowError(kNoValidSpeakFileText);
    if (language != kSpeakLoaded) return false;
    LoadSettings(*frmSetup, store);
  }
  // Asked to end while a box of the start was open: no device is started only to be
  // let go at once.
  if (Application->Ending()) return true;
  // The frame now stands where it was left; the windows opened from its tool bar go
  // beside that bar, not over it.
  for (TForm* window : std::initializer_list<TForm*>{frmAprsMsg, frmLog})
    PlaceRightOfToolBar(*frmMain, frmAprs->mpnlToolMain->Width(), *window);
  frmAprs->Sounds->PlaySound(kStartSound);
  frmInfo->ShowSplash();
  frmMain->Show();
  frmMain->MyHint1->SetActive(true);
  frmSetup->TncInitialised = 0;
  frmSetup->mbtnChange->Click();
  frmSetup->TncInitialised = 1;
  // Only now: a row made before the own position was applied would show the distance
  // from 0N 0E.
  frmAprs->ShowStoredStations();
  frmAprs->LoadMapFromSettings();
  return true;
}

bool LoadProgramIcon() {
  std::vector<std::string> files;
  for (const int size : kProgramIconSizes)
    files.push_back(PrgDir() + "Pictures/" + ProgramIconFileName(size));
  return SetProgramIcon(files);
}

int RunProgram() {
  // Maps and symbols may be GIF pictures: the format is known before any loads.
  RegisterGIFFormat();
  // Documents may hold tables: their item kind is known before any document loads.
  RegisterTableItemClass();
  // Pictures in RTF from other programs are mostly PNG.
  RegisterPngGraphicClass();
  StartComponentUnits();
  // Before the first window: every window and the tray icon show it from the start.
  LoadProgramIcon();
  TProgramWindows owner;
  CreateWindows(owner);
  // A logout, a shutdown or a kill ends the program the way its close button does, once
  // the loops are left: the settings and stations are saved, and nothing waits for a
  // person. A signal in the start (a box of its own open) ends it as soon as the start
  // is through.
  Application->SetEndRequestHandler([] { Application->Terminate(); });
  if (StartProgram()) {
    // From here on the settings are whole, and worth saving however the process ends.
    Application->SetLastSavesHandler([] {
      if (frmMain) frmMain->LastSaves();
    });
    Application->Run();
    frmMain->ShutDown();
    Application->SetLastSavesHandler(nullptr);
  }
  Application->SetEndRequestHandler(nullptr);
  return 0;
}

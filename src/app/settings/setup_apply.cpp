// The settings window's actions: apply and OK, the TNC command files, the language
// list, the weather text file and the small handlers of its pages.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/language/frm_prg_msg.h"
#include "app/language/speak_file.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/receive/tnc_link.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/app_folders.h"
#include "app/shelf/device_windows.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/transmit/beacon_builder.h"
#include "controls/my_msg_dialog.h"
#include "core/aprs_position.h"
#include "core/my_tools.h"
#include "platform/sys/files.h"
#include "platform/text/shown_text.h"
#include "platform/text/sysutils.h"

namespace {

constexpr unsigned kMsPerMinute = 60000;
// The TNC gets this long to leave KISS mode before the link is set up again.
constexpr unsigned kKissOffWaitMs = 3000;
constexpr char kBackspace = 8;
constexpr char kEscape = 27;

// A beacon timer runs every Minutes; 0 stops it. Its progress bar, if any, counts the
// seconds and shows only while the timer runs.
void SetBeaconTimer(TTimer& Timer, TNumberEdit& Minutes, TMyProgressBar* Bar) {
  const int minutes = Minutes.IntIst();
  if (minutes >= 1) {
    Timer.SetInterval(static_cast<unsigned>(minutes) * kMsPerMinute);
    Timer.SetEnabled(true);
  } else {
    Timer.SetEnabled(false);
  }
  if (!Bar) return;
  Bar->SetMax(minutes * 60);
  Bar->SetPosition(0);
  Bar->SetVisible(minutes > 0);
}

void SetTransparency(TForm& Form, int Percent) {
  if (Percent < 1) {
    Form.SetAlphaBlend(false);
    return;
  }
  Form.SetAlphaBlend(true);
  // Opacity 255 less the percent of 255 (2.55 a percent, computed exactly: 50 % is 127.5,
  // which rounds to 128).
  Form.SetAlphaBlendValue(255 - static_cast<int>(std::nearbyint(Percent * 255 / 100.0)));
}

// Inserts ':' after the degrees: "4903.50N" gives "49:03.50N".
std::string WithDegreeColon(const std::string& Aprs, std::size_t DegreeDigits) {
  return Aprs.substr(0, DegreeDigits) + ":" + Aprs.substr(DegreeDigits);
}

void SaveLines(const TMemo& Memo, const std::string& FileName) {
  try {
    Memo.Lines().SaveToFile(FileName);
  } catch (const Exception& error) {
    // A folder without write access must not stop the apply sequence.
    MyShowError(error.what());
  }
}

}  // namespace

void TfrmSetup::ApplySettings() {
  SetBeaconTimer(*timPosP1, *nedtTimPosP1, Peers.Map->mpbTimPosP1);
  SetBeaconTimer(*timStatusP1, *nedtTimStatusP1, Peers.Map->mpbTimStaP1);
  SetBeaconTimer(*timWxP1, *nedtTimWxP1, nullptr);
  SetBeaconTimer(*timWxStatusP1, *nedtTimWxStatusP1, nullptr);
  if (IsDualPortDevice()) {
    SetBeaconTimer(*timPosP2, *nedtTimPosP2, Peers.Map->mpbTimPosP2);
    SetBeaconTimer(*timStatusP2, *nedtTimStatusP2, Peers.Map->mpbTimStaP2);
  }
  SetBeaconTimer(*timWxP2, *nedtTimWxP2, nullptr);
  SetBeaconTimer(*timWxStatusP2, *nedtTimWxStatusP2, nullptr);

  const int transparency = nedtStnInfoTrans->IntIst();
  for (TForm* window : {static_cast<TForm*>(Peers.StationInfo), static_cast<TForm*>(Peers.Gps),
                        static_cast<TForm*>(Peers.Wx)})
    SetTransparency(*window, transparency);

  Peers.Map->timStnDelete->SetEnabled(nedtStnDelete->IntIst() >= 1);

  const std::string position =
      WithDegreeColon(LatMaskToAprs(), 2) + "/" + WithDegreeColon(LonMaskToAprs(), 3);
  ParseLatLon(position, OwnLat, OwnLon);

  Peers.Gps->GpsRxMain->ComPort = static_cast<std::uint8_t>(mfcbxPortGps->ItemIndex() + 1);
  Peers.Gps->GpsRxMain->Baudrate = StrToIntDef(mfcbxBaudGps->Text(), 4800);
  WxStn->ComPort = static_cast<std::uint8_t>(mfcbxPortWx->ItemIndex() + 1);
  switch (mfcbxWxDevice->ItemIndex()) {
    case kWxDeviceWs2300:
      WxStn->SetWxStnTyp(wstWS2300);
      break;
    case kWxDeviceWx200:
      WxStn->SetWxStnTyp(wstWX200);
      break;
    case kWxDeviceWmr918:
      WxStn->SetWxStnTyp(wstWMR918);
      break;
    default:
      break;
  }
}

void TfrmSetup::mbtnChangeClick(TComponent*) {
  if (applying_) return;
  applying_ = true;
  snapshot_.Take(*this);
  mbtnChange->SetEnabled(false);
  FollowLanguageChoice();
  SaveTncIniFiles();
  Peers.Map->SetMapFolder(edtCrdDir->Text());
  if (TncInitialised) {
    if (SwitchKiss) SwitchKiss(false);
    DelayMs(kKissOffWaitMs);
    Peers.Gps->GpsRxMain->SetRun(false);
    WxStn->SetRun(false);
  }
  ApplySettings();
  if (SwitchKiss) SwitchKiss(true);
  if (Peers.Map->mbtnGps->Down()) Peers.Gps->GpsRxMain->SetRun(true);
  const int wxDevice = mfcbxWxDevice->ItemIndex();
  if (wxDevice >= kWxDeviceWs2300 && wxDevice <= kWxDeviceWmr918) WxStn->SetRun(true);
  mbtnChange->SetEnabled(true);
  timPosDec->SetEnabled(true);
  applying_ = false;
  if (close_main_when_applied_) {
    close_main_when_applied_ = false;
    if (MainFrame) MainFrame->Close();
  }
}

void TfrmSetup::mbtnOkClick(TComponent*) {
  FollowLanguageChoice();
  if (!TncRs232().Rs232Open() && SwitchKiss) SwitchKiss(true);
  SaveTncIniFiles();
}

std::string TfrmSetup::TncIniFileName(bool Init) const {
  const int device = mfcbxDevice->ItemIndex();
  if (device <= 0 || device >= kDeviceCount) return {};
  return PrgDir() + DeviceShortNames[device] + (Init ? " ini.ini" : " deini.ini");
}

void TfrmSetup::LoadTncIniFiles() {
  memIni->Lines().Clear();
  memDeini->Lines().Clear();
  const bool chosen = mfcbxDevice->ItemIndex() > 0;
  if (chosen) {
    for (auto [memo, init] : {std::pair{memIni, true}, std::pair{memDeini, false}}) {
      const std::string name = TncIniFileName(init);
      try {
        if (FileExists(name)) memo->Lines().LoadFromFile(name);
      } catch (const Exception&) {
        // An unreadable command file counts as a missing one: the memo stays empty.
      }
    }
  }
  memIni->SetVisible(chosen);
  memDeini->SetVisible(chosen);
  ShowPort2Parts(IsDualPortDevice());
}

void TfrmSetup::SaveTncIniFiles() {
  if (mfcbxDevice->ItemIndex() <= 0) return;
  SaveLines(*memIni, TncIniFileName(true));
  SaveLines(*memDeini, TncIniFileName(false));
}

void TfrmSetup::ShowPort2Parts(bool Visible) {
  mpnlStnP2->SetVisible(Visible);
  lblStnP2->SetVisible(Visible);
  mpnlWxP2->SetVisible(Visible);
  lblWxP2->SetVisible(Visible);
  Peers.Map->bmpmRxP2->SetVisible(Visible);
  Peers.Map->mpbTimPosP2->SetVisible(Visible);
  Peers.Map->mpbTimStaP2->SetVisible(Visible);
  Peers.Msg->mbtnTxP2->SetVisible(Visible);
}

void TfrmSetup::mfcbxDeviceChange(TComponent*) {
  LoadTncIniFiles();
  const bool chosen = mfcbxDevice->ItemIndex() > 0;
  for (TControl* control : std::initializer_list<TControl*>{lblPort, mfcbxPort, lblBaud, mfcbxBaud,
                                                            lblIni, memIni, lblDeini, memDeini})
    control->SetVisible(chosen);
}

void TfrmSetup::mfcbxWxDeviceChange(TComponent*) {
  const int type = mfcbxWxDevice->ItemIndex();
  const bool serial = type >= kWxDeviceWs2300 && type <= kWxDeviceWmr918;
  lblPortWx->SetVisible(serial);
  mfcbxPortWx->SetVisible(serial);
  const bool textFile = type == kWxDeviceText;
  lblWxFile->SetVisible(textFile);
  edtWxFile->SetVisible(textFile);
  mbtnWxFile->SetVisible(textFile);
}

void TfrmSetup::UnitChange(TComponent*) {
  lblRangeHeight->SetCaption(HeightUnitName());
}

void TfrmSetup::RangeChange(TComponent*) {
  lblRangeResult->SetCaption("-> " + BuildRngText(nedtPower->IntIst(),
                                                  HeightToFeet(nedtHeight->IntIst()),
                                                  nedtGain->IntIst()));
}

void TfrmSetup::FillLanguageList() {
  const std::string chosen = mfcbxSpk->Text();
  mfcbxSpk->Items().Clear();
  for (const std::string& path : FindFiles(SpkDir, "*.spk", false)) {
    const std::string name = ExtractFileName(path);
    if (LoadSpeakFile(name, true) == kSpeakLoaded) mfcbxSpk->Items().Add(name);
  }
  if (FileExists(SpkDir + chosen)) mfcbxSpk->SetText(chosen);
}

void TfrmSetup::mfcbxSpkChange(TComponent*) {
  LoadSpeakFile(mfcbxSpk->Text(), false);
}

void TfrmSetup::FollowLanguageChoice() {
  // A name typed into the box is chosen when the settings are applied, as one picked
  // from the list is at once.
  if (mfcbxSpk->Text() != SpeakFileInUse()) mfcbxSpkChange(mfcbxSpk);
}

void TfrmSetup::edtCallP1Change(TComponent*) {
  lblWxCallP1->SetCaption(Trim(edtCallP1->Text()));
  lblWxCallP2->SetCaption(Trim(edtCallP2->Text()));
}

void TfrmSetup::PosKeyPress(TComponent* Sender, char& Key) {
  if (Key == kBackspace || Key == kEscape || (Key >= '0' && Key <= '9')) return;
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(Key)));
  const bool latitude = Sender == medtLati;
  if (latitude ? (upper == 'N' || upper == 'S') : (upper == 'E' || upper == 'W')) return;
  Key = 0;
}

void TfrmSetup::ButtonClick(TComponent* Sender) {
  if (Sender == mbtnSetGpsPos) {
    if (!Peers.Gps->HasGpsPosition()) return;
    medtLati->SetText(DegToLatText(Peers.Gps->GpsLat));
    medtLong->SetText(DegToLonText(Peers.Gps->GpsLon));
    OwnLat = Peers.Gps->GpsLat;
    OwnLon = Peers.Gps->GpsLon;
  } else if (Sender == mbtnCrdDir) {
    PathDialog->SetPathName(edtCrdDir->Text());
    if (PathDialog->Execute())
      edtCrdDir->SetText(IncludeTrailingPathDelimiter(PathDialog->PathName()));
  } else if (Sender == mbtnWxFile) {
    OpenDialog->FileName = edtWxFile->Text();
    if (OpenDialog->Execute()) edtWxFile->SetText(OpenDialog->FileName);
  } else if (SendBeacon) {
    for (int kind = bkPosP1; kind <= bkWxStatusP2; ++kind) {
      if (Sender == TxButton(TBeaconKind(kind))) SendBeacon(TBeaconKind(kind));
    }
  }
}

TMyButton* TfrmSetup::TxButton(TBeaconKind Kind) const {
  switch (Kind) {
    case bkPosP1:
      return mbtnTxPosP1;
    case bkStatusP1:
      return mbtnTxStatusP1;
    case bkWxP1:
      return mbtnTxWxP1;
    case bkWxStatusP1:
      return mbtnTxWxStatusP1;
    case bkPosP2:
      return mbtnTxPosP2;
    case bkStatusP2:
      return mbtnTxStatusP2;
    case bkWxP2:
      return mbtnTxWxP2;
    case bkWxStatusP2:
      return mbtnTxWxStatusP2;
  }
  return nullptr;
}

void TfrmSetup::ReadWxTextFile() {
  WxText.clear();
  const std::string name = Trim(edtWxFile->Text());
  if (!FileExists(name)) {
    Peers.Map->bmpmWx->SetActive(false);
    MyShowError(StringReplace(ShownText(PrgMsg(&TfrmPrgMsg::lblErrWxFileNotFound)), "%s",
                              ShownFileName(name)));
    return;
  }
  TStringList lines;
  try {
    lines.LoadFromFile(name);
  } catch (const Exception&) {
    // Unreadable: handled as a file without its weather line.
  }
  if (lines.Count() >= 2) WxText = lines.Get(1);
  // The line goes out as a beacon: a control byte in it (a NUL) would cut or garble the
  // packet, so such a line is a format error like any other.
  const bool printable =
      std::none_of(WxText.begin(), WxText.end(), [](char c) { return std::uint8_t(c) < 0x20; });
  if (printable && WxText.size() >= 4 && WxText[3] == '/') {
    Peers.Map->bmpmWx->SetActive(true);
    return;
  }
  WxText.clear();
  MyShowError(
      StringReplace(ShownText(PrgMsg(&TfrmPrgMsg::lblErrWxFileFormat)), "%s", ShownFileName(name)));
  Peers.Map->bmpmWx->SetActive(false);
}

void TfrmSetup::WxStnWxActivate(TComponent*) {
  Peers.Map->bmpmWx->SetActive(true);
}

void TfrmSetup::WxStnWxDeactivate(TComponent*) {
  Peers.Map->bmpmWx->SetActive(false);
}

void TfrmSetup::WxStnWxDataUpdate(TComponent*) {
  TWxData data;
  WxStn->GetWxData(data);
  Peers.Wx->ShowWxData(data);
}

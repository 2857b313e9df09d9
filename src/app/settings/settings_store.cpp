#include "app/settings/settings_store.h"

#include "app/language/frm_prg_msg.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/product.h"
#include "app/receive/frm_log.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/app_folders.h"
#include "app/shelf/device_windows.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "controls/my_msg_dialog.h"
#include "platform/sys/files.h"
#include "platform/sys/registry.h"
#include "platform/text/sysutils.h"

const char* const kSetupVersion = "1.1";

namespace {

// Window places and sizes beyond what a window system can show (its coordinates are
// 16-bit) are not taken from the file: the sums of the layout would overflow.
constexpr int kMaxWindowCoordinate = 32767;
constexpr const char* kRootKey = "\\Software\\Velmora\\";
constexpr const char* kProgramKey = "\\Software\\Velmora\\Programm";
constexpr const char* kDeviceKey = "\\Software\\Velmora\\Programm\\Device\\";
constexpr const char* kStationKey = "\\Software\\Velmora\\Programm\\Station";
constexpr const char* kProgrammKey = "\\Software\\Velmora\\Programm\\Programm";
constexpr const char* kPositionKey = "\\Software\\Velmora\\Programm\\Position";
constexpr const char* kServerFile = "Server.dat";
constexpr int kDefaultMainWidth = 750;
constexpr int kDefaultMainHeight = 550;
constexpr int kDefaultBottomPanel = 50;
constexpr int kFirstSymbolCode = 33;
constexpr int kLastSymbolCode = 126;

// Reads of the open key that treat a wrong type or range like an absent value.
class TSettingsReader {
 public:
  explicit TSettingsReader(TRegistry& Registry) : reg_(Registry) {}

  bool Int(const char* Name, int Min, int Max, int& Value) {
    if (!reg_.ValueExists(Name)) return false;
    try {
      const int read = reg_.ReadInteger(Name);
      if (read < Min || read > Max) return false;
      Value = read;
      return true;
    } catch (const ERegistryException&) {
      return false;
    }
  }
  bool Text(const char* Name, std::string& Value) {
    if (!reg_.ValueExists(Name)) return false;
    try {
      Value = reg_.ReadString(Name);
      return true;
    } catch (const ERegistryException&) {
      return false;
    }
  }

  void Index(const char* Name, TCustomComboBox& Box, int Default, int Lowest = 0) {
    int value = Default;
    Int(Name, Lowest, Box.Items().Count() - 1, value);
    Box.SetItemIndex(value);
  }
  void Number(const char* Name, TNumberEdit& Edit, int Default) {
    int value = Default;
    Int(Name, Edit.IntMin(), Edit.IntMax(), value);
    Edit.SetIntIst(value);
  }
  void Down(const char* Name, TMyButton& Button, bool Default) {
    int value = Default ? 1 : 0;
    Int(Name, 0, 1, value);
    Button.SetDown(value == 1);
  }
  void Edit(const char* Name, TCustomEdit& Edit, const std::string& Default) {
    std::string value = Default;
    Text(Name, value);
    Edit.SetText(value);
  }
  void Symbol(const char* Name, char& Symbol, char Default) {
    int value = Default;
    Int(Name, kFirstSymbolCode, kLastSymbolCode, value);
    Symbol = static_cast<char>(value);
  }

 private:
  TRegistry& reg_;
};

void LoadServerList() {
  const std::string file = PrgDir() + kServerFile;
  if (!FileExists(file)) return;
  TStringList servers;
  try {
    servers.LoadFromFile(file);
  } catch (const Exception&) {
    return;
  }
  frmSetup->mfcbxTcpServer->Items().Assign(servers);
}

void LoadDevice(TSettingsReader& r) {
  TfrmSetup& s = *frmSetup;
  r.Index("Device", *s.mfcbxDevice, 0);
  s.mfcbxDeviceChange(s.mfcbxDevice);
  r.Index("COM-Port", *s.mfcbxPort, 0);
  r.Index("Baudrate", *s.mfcbxBaud, 0);
  if (frmAprs) r.Down("GpsActive", *frmAprs->mbtnGps, false);
  r.Index("GpsCOM-Port", *s.mfcbxPortGps, 1);
  r.Index("GpsBaudrate", *s.mfcbxBaudGps, 0);
  r.Index("WxDevice", *s.mfcbxWxDevice, 0);
  s.mfcbxWxDeviceChange(s.mfcbxWxDevice);
  r.Index("WxCOM-Port", *s.mfcbxPortWx, 2);
  r.Down("WxWind", *s.mbtnWind, false);
  r.Down("WxRain", *s.mbtnRain, false);
  r.Down("WxHuminity", *s.mbtnHuminity, false);
  r.Down("WxBaro", *s.mbtnBaro, false);
}

struct TPortControls {
  const char* Suffix;
  char& SymTab;
  char& SymCode;
  TEdit* Call;
  TEdit* Path;
  TEdit* Info;
  TEdit* Status;
  TNumberEdit* TimPos;
  TNumberEdit* TimStatus;
  TMyFlatCombobox* WxSsid;
  TNumberEdit* TimWx;
  TNumberEdit* TimWxStatus;
  TEdit* WxStatus;
};

TPortControls PortControls(int Port) {
  TfrmSetup& s = *frmSetup;
  if (Port == 1)
    return {"1",
            SymTabP1,
            SymCodeP1,
            s.edtCallP1,
            s.edtPathP1,
            s.edtInfoP1,
            s.edtStatusP1,
            s.nedtTimPosP1,
            s.nedtTimStatusP1,
            s.mfcbxWxSsidP1,
            s.nedtTimWxP1,
            s.nedtTimWxStatusP1,
            s.edtWxStatusP1};
  return {"2",
          SymTabP2,
          SymCodeP2,
          s.edtCallP2,
          s.edtPathP2,
          s.edtInfoP2,
          s.edtStatusP2,
          s.nedtTimPosP2,
          s.nedtTimStatusP2,
          s.mfcbxWxSsidP2,
          s.nedtTimWxP2,
          s.nedtTimWxStatusP2,
          s.edtWxStatusP2};
}

std::string Named(const char* Base, const TPortControls& Port, bool PSuffix) {
  return std::string(Base) + (PSuffix ? "P" : "") + Port.Suffix;
}

// The defaults of the texts are the window's own start texts.
struct TPortDefaults {
  std::string Info, Status, WxStatus;
};

void LoadPort(TSettingsReader& r, const TPortControls& p, const TPortDefaults& d) {
  r.Symbol(Named("SymCode", p, true).c_str(), p.SymCode, '-');
  r.Symbol(Named("SymTab", p, true).c_str(), p.SymTab, '/');
  r.Edit(Named("Call", p, true).c_str(), *p.Call, "");
  r.Edit(Named("Path", p, true).c_str(), *p.Path, "APRS");
  r.Edit(Named("Info", p, true).c_str(), *p.Info, d.Info);
  r.Edit(Named("Status", p, true).c_str(), *p.Status, d.Status);
  r.Number(Named("TimPos", p, false).c_str(), *p.TimPos, 15);
  r.Number(Named("TimStatus", p, false).c_str(), *p.TimStatus, 20);
  r.Index(Named("WxSsid", p, true).c_str(), *p.WxSsid, 11);
  r.Number(Named("TimWx", p, true).c_str(), *p.TimWx, 0);
  r.Number(Named("TimWxStatus", p, true).c_str(), *p.TimWxStatus, 0);
  r.Edit(Named("WxStatus", p, true).c_str(), *p.WxStatus, d.WxStatus);
}

void LoadStation(TSettingsReader& r, const TPortDefaults& Defaults) {
  TfrmSetup& s = *frmSetup;
  r.Edit("Lati", *s.medtLati, kLatMaskStart);
  r.Edit("Long", *s.medtLong, kLonMaskStart);
  r.Down("Comp", *s.mbtnComp, true);
  r.Number("Power", *s.nedtPower, 4);
  r.Number("Height", *s.nedtHeight, 1);
  r.Number("Gain", *s.nedtGain, 0);
  r.Down("Range", *s.mbtnRange, true);
  LoadPort(r, PortControls(1), Defaults);
  LoadPort(r, PortControls(2), Defaults);
  r.Edit("WxFile", *s.edtWxFile, "");
}

void WarnWithoutOwnCall() {
  TfrmSetup& s = *frmSetup;
  const bool noCall = s.IsDualPortDevice()
                          ? Trim(s.edtCallP1->Text()).empty() && Trim(s.edtCallP2->Text()).empty()
                          : Trim(s.edtCallP1->Text()).empty();
  if (noCall && frmPrgMsg) MyShowInfo(GetPrgMsg(*frmPrgMsg->lblInfOwnCall));
}

void LoadProgramm(TSettingsReader& r) {
  TfrmSetup& s = *frmSetup;
  std::string text;
  if (frmAprs) {
    frmAprs->AprsMapFile.clear();
    r.Text("AprsMapFile", frmAprs->AprsMapFile);
  }
  if (frmAprsStnInfo) {
    r.Down("ShowLock", *frmAprsStnInfo->mbtnShowLock, false);
    r.Down("ShowAx25", *frmAprsStnInfo->mbtnShowAx25, false);
    r.Down("FollowRx", *frmAprsStnInfo->mbtnFollowRx, false);
  }
  if (r.Text("Spk", text)) s.mfcbxSpk->SetText(text);
  r.Number("TimStnDel", *s.nedtStnDelete, 120);
  r.Number("Trans", *s.nedtStnInfoTrans, 15);
  r.Edit("CrdDir", *s.edtCrdDir, PrgDir() + "APRS-Karten/");
  if (frmAprs && DirectoryExists(s.edtCrdDir->Text())) frmAprs->MapDir = s.edtCrdDir->Text();
  r.Index("UnitSpeed", *s.mfcbxSpeed, 0);
  r.Index("UnitTemp", *s.mfcbxTemp, 0);
  r.Index("UnitHeight", *s.mfcbxHeight, 0);
  r.Index("UnitWindSpeed", *s.mfcbxWindSpeed, 0);
  r.Index("UnitRain", *s.mfcbxRain, 0);
  r.Down("SoundRx", *s.mbtnSoundRx, true);
  r.Down("SoundCall", *s.mbtnSoundCall, true);
  r.Number("TcpValidNr", *s.nedtVNR, 0);
  r.Index("TcpServer", *s.mfcbxTcpServer, -1, -1);
  r.Edit("TcpFilter", *s.edtTcpFilter, "");
  r.Down("HfToTcpDigipeat", *s.mbtnTcpDigi, false);
  r.Down("NoTcpAnalysis", *s.mbtnTcpNoOutData, false);
  r.Down("NoTcpMonitor", *s.mbtnTcpNoMon, false);
  if (frmLog) {
    r.Down("LogFilterDown", *frmLog->mbtnFilter, false);
    text.clear();
    r.Text("LogFilter", text);
    frmLog->memFilter->SetText(text);
  }
  int msgNr = 0;
  if (frmAprsMsg && r.Int("MsgNr", 0, INT32_MAX, msgNr)) frmAprsMsg->MsgNr = msgNr;
}

// Top, left and visibility of a stay-on-top window, each only when stored.
void LoadWindowPlace(TSettingsReader& r, TForm* Form, const char* Top, const char* Left,
                     const char* Show) {
  if (!Form) return;
  int value = 0;
  if (r.Int(Top, -kMaxWindowCoordinate, kMaxWindowCoordinate, value)) Form->SetTop(value);
  if (r.Int(Left, -kMaxWindowCoordinate, kMaxWindowCoordinate, value)) Form->SetLeft(value);
  if (r.Int(Show, 0, 1, value)) Form->SetVisible(value == 1);
}

void LoadPosition(TSettingsReader& r) {
  int maximised = 0, top = 0, left = 0;
  int width = kDefaultMainWidth, height = kDefaultMainHeight, bottom = kDefaultBottomPanel;
  r.Int("MainMax", 0, 1, maximised);
  r.Int("MainTop", -kMaxWindowCoordinate, kMaxWindowCoordinate, top);
  r.Int("MainLeft", -kMaxWindowCoordinate, kMaxWindowCoordinate, left);
  r.Int("MainWidth", 1, kMaxWindowCoordinate, width);
  r.Int("MainHeight", 1, kMaxWindowCoordinate, height);
  r.Int("PnlBottom", 0, kMaxWindowCoordinate, bottom);
  if (TForm* frame = frmSetup->MainFrame) {
    frame->SetBounds(left, top, width, height);
    frame->SetWindowState(maximised == 1 ? wsMaximized : wsNormal);
  }
  if (frmAprs) frmAprs->SetMonitorHeight(bottom);
  LoadWindowPlace(r, frmGpsStatus, "GpsTop", "GpsLeft", "GpsShow");
  LoadWindowPlace(r, frmWxStatus, "WxTop", "WxLeft", "WxShow");
}

void SaveDevice(TRegistry& reg) {
  TfrmSetup& s = *frmSetup;
  reg.WriteInteger("Device", s.mfcbxDevice->ItemIndex());
  reg.WriteInteger("COM-Port", s.mfcbxPort->ItemIndex());
  reg.WriteInteger("Baudrate", s.mfcbxBaud->ItemIndex());
  reg.WriteBool("GpsActive", frmAprs && frmAprs->mbtnGps->Down());
  reg.WriteInteger("GpsCOM-Port", s.mfcbxPortGps->ItemIndex());
  reg.WriteInteger("GpsBaudrate", s.mfcbxBaudGps->ItemIndex());
  reg.WriteInteger("WxDevice", s.mfcbxWxDevice->ItemIndex());
  reg.WriteInteger("WxCOM-Port", s.mfcbxPortWx->ItemIndex());
  reg.WriteBool("WxWind", s.mbtnWind->Down());
  reg.WriteBool("WxRain", s.mbtnRain->Down());
  reg.WriteBool("WxHuminity", s.mbtnHuminity->Down());
  reg.WriteBool("WxBaro", s.mbtnBaro->Down());
}

void SavePort(TRegistry& reg, const TPortControls& p) {
  reg.WriteInteger(Named("SymCode", p, true), static_cast<unsigned char>(p.SymCode));
  reg.WriteInteger(Named("SymTab", p, true), static_cast<unsigned char>(p.SymTab));
  reg.WriteString(Named("Call", p, true), p.Call->Text());
  reg.WriteString(Named("Path", p, true), p.Path->Text());
  reg.WriteString(Named("Info", p, true), p.Info->Text());
  reg.WriteString(Named("Status", p, true), p.Status->Text());
  reg.WriteInteger(Named("TimPos", p, false), p.TimPos->IntIst());
  reg.WriteInteger(Named("TimStatus", p, false), p.TimStatus->IntIst());
  reg.WriteInteger(Named("WxSsid", p, true), p.WxSsid->ItemIndex());
  reg.WriteInteger(Named("TimWx", p, true), p.TimWx->IntIst());
  reg.WriteInteger(Named("TimWxStatus", p, true), p.TimWxStatus->IntIst());
  reg.WriteString(Named("WxStatus", p, true), p.WxStatus->Text());
}

void SaveStation(TRegistry& reg) {
  TfrmSetup& s = *frmSetup;
  reg.WriteString("Lati", s.medtLati->Text());
  reg.WriteString("Long", s.medtLong->Text());
  reg.WriteBool("Comp", s.mbtnComp->Down());
  reg.WriteInteger("Power", s.nedtPower->IntIst());
  reg.WriteInteger("Height", s.nedtHeight->IntIst());
  reg.WriteInteger("Gain", s.nedtGain->IntIst());
  reg.WriteBool("Range", s.mbtnRange->Down());
  SavePort(reg, PortControls(1));
  SavePort(reg, PortControls(2));
  reg.WriteString("WxFile", s.edtWxFile->Text());
}

void SaveProgramm(TRegistry& reg) {
  TfrmSetup& s = *frmSetup;
  reg.WriteString("AprsMapFile", frmAprs ? frmAprs->AprsMapFile : std::string());
  reg.WriteBool("ShowLock", frmAprsStnInfo && frmAprsStnInfo->mbtnShowLock->Down());
  reg.WriteBool("ShowAx25", frmAprsStnInfo && frmAprsStnInfo->mbtnShowAx25->Down());
  reg.WriteBool("FollowRx", frmAprsStnInfo && frmAprsStnInfo->mbtnFollowRx->Down());
  reg.WriteString("Spk", s.mfcbxSpk->Text());
  reg.WriteInteger("TimStnDel", s.nedtStnDelete->IntIst());
  reg.WriteInteger("Trans", s.nedtStnInfoTrans->IntIst());
  reg.WriteString("CrdDir", s.edtCrdDir->Text());
  reg.WriteInteger("UnitSpeed", s.mfcbxSpeed->ItemIndex());
  reg.WriteInteger("UnitTemp", s.mfcbxTemp->ItemIndex());
  reg.WriteInteger("UnitHeight", s.mfcbxHeight->ItemIndex());
  reg.WriteInteger("UnitWindSpeed", s.mfcbxWindSpeed->ItemIndex());
  reg.WriteInteger("UnitRain", s.mfcbxRain->ItemIndex());
  reg.WriteBool("SoundRx", s.mbtnSoundRx->Down());
  reg.WriteBool("SoundCall", s.mbtnSoundCall->Down());
  reg.WriteInteger("TcpValidNr", s.nedtVNR->IntIst());
  reg.WriteInteger("TcpServer", s.mfcbxTcpServer->ItemIndex());
  reg.WriteString("TcpFilter", s.edtTcpFilter->Text());
  reg.WriteBool("HfToTcpDigipeat", s.mbtnTcpDigi->Down());
  reg.WriteBool("NoTcpAnalysis", s.mbtnTcpNoOutData->Down());
  reg.WriteBool("NoTcpMonitor", s.mbtnTcpNoMon->Down());
  reg.WriteBool("LogFilterDown", frmLog && frmLog->mbtnFilter->Down());
  reg.WriteString("LogFilter", frmLog ? frmLog->memFilter->Text() : std::string());
  reg.WriteInteger("MsgNr", frmAprsMsg ? frmAprsMsg->MsgNr : 0);
}

void SavePosition(TRegistry& reg) {
  const TForm* frame = frmSetup->MainFrame;
  const bool maximised = frame && frame->WindowState() == wsMaximized;
  reg.WriteBool("MainMax", maximised);
  if (frame && !maximised) {
    reg.WriteInteger("MainTop", frame->Top());
    reg.WriteInteger("MainLeft", frame->Left());
    reg.WriteInteger("MainWidth", frame->Width());
    reg.WriteInteger("MainHeight", frame->Height());
  }
  if (frmAprs) reg.WriteInteger("PnlBottom", frmAprs->MonitorHeight());
  if (frmGpsStatus) {
    reg.WriteInteger("GpsTop", frmGpsStatus->Top());
    reg.WriteInteger("GpsLeft", frmGpsStatus->Left());
    reg.WriteBool("GpsShow", frmGpsStatus->Visible());
  }
  if (frmWxStatus) {
    reg.WriteInteger("WxTop", frmWxStatus->Top());
    reg.WriteInteger("WxLeft", frmWxStatus->Left());
    reg.WriteBool("WxShow", frmWxStatus->Visible());
  }
}

// The version values; a store older than this program's settings is wiped first.
void SaveVersions(TRegistry& reg) {
  if (!reg.OpenKey(kRootKey, true)) return;
  std::string setVer;
  try {
    setVer = reg.ReadString("SetVer");
  } catch (const ERegistryException&) {
    // Not a text: as old as no value at all.
  }
  if (CompareStr(setVer, kSetupVersion) < 0) {
    reg.CloseKey();
    reg.DeleteKey(kRootKey);
    reg.OpenKey(kRootKey, true);
    reg.WriteString("SetVer", kSetupVersion);
    MyShowInfo(PrgMsg(&TfrmPrgMsg::lblInfSetupVersion));
  }
  reg.WriteString("PrgVer", kProgramVersion);
}

}  // namespace

void LoadSettings() {
  LoadServerList();
  TfrmSetup& s = *frmSetup;
  // The port-2 texts fall back to the window's own start texts of port 1.
  const TPortDefaults defaults{s.edtInfoP1->Text(), s.edtStatusP1->Text(), s.edtWxStatusP1->Text()};
  {
    TRegistry reg;
    if (reg.Damaged()) {
      MyShowError("The settings file \"" + TRegistry::FileName() +
                  "\" was damaged: what could be read is used, the rest is set to defaults. " +
                  (reg.DamagedFileKept()
                       ? "The damaged file is kept as \"" + TRegistry::DamagedFileName() + "\"."
                       : std::string("The damaged file could not be moved aside; it is left as "
                                     "it is, and the settings are not saved over it.")));
    }
    reg.OpenKey(kRootKey, true);
    reg.CloseKey();
    TSettingsReader r(reg);
    if (reg.OpenKey(kDeviceKey, true)) LoadDevice(r);
    if (reg.OpenKey(kStationKey, true)) LoadStation(r, defaults);
    s.ShowSymbolImages();
    WarnWithoutOwnCall();
    if (reg.OpenKey(kProgrammKey, true)) LoadProgramm(r);
    if (reg.OpenKey(kPositionKey, true)) LoadPosition(r);
  }
  s.edtCallP1Change(s.edtCallP1);
  s.ApplySettings();
  s.UnitChange(&s);
  if (frmLog) frmLog->mbtnFilterClick(frmLog->mbtnFilter);
}

void SaveSettings() {
  try {
    TRegistry reg;
    SaveVersions(reg);
    reg.CloseKey();
    reg.DeleteKey(kProgramKey);
    if (reg.OpenKey(kDeviceKey, true)) SaveDevice(reg);
    if (reg.OpenKey(kStationKey, true)) SaveStation(reg);
    if (reg.OpenKey(kProgrammKey, true)) SaveProgramm(reg);
    if (reg.OpenKey(kPositionKey, true)) SavePosition(reg);
    reg.CloseKey();
    // One write of the whole result: a save cut short never leaves the file without
    // the settings it has just deleted.
    reg.SaveChanges();
  } catch (const ERegistryException& error) {
    // Settings that could not be written are lost: say so instead of ending quietly.
    MyShowError(error.what());
  }
}

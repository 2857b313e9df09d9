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
#include "platform/text/cp1252.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/shown_text.h"
#include "platform/text/sysutils.h"

const char* const kSetupVersion = "1.1";
const char* const kServerListNotReadText = "The server list \"%s\" was not read: %s.";
const char* const kSettingsDamagedText =
    "The settings file \"%s\" was damaged: what could be read is used, the rest is set to "
    "defaults.";
const char* const kDamagedSettingsKeptText = "The damaged file is kept as \"%s\".";
const char* const kDamagedSettingsLeftText =
    "The damaged file could not be moved aside; it is left as it is, and the settings are not "
    "saved over it.";

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
constexpr size_t kMaxServerFileBytes = 256 * 1024;
constexpr int kMaxServers = 1000;
constexpr size_t kMaxServerEntryLength = 255;
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
  // A callsign stored in lower case (by hand, or by an earlier version) goes on the air
  // and is compared with the calls of packets as it would be had it been typed.
  void Edit(const char* Name, TCustomEdit& Edit, const std::string& Default) {
    std::string value = Default;
    Text(Name, value);
    Edit.SetText(Edit.CharCase() == ecUpperCase ? UpperCase(value) : value);
  }
  void Symbol(const char* Name, char& Symbol, char Default) {
    int value = Default;
    Int(Name, kFirstSymbolCode, kLastSymbolCode, value);
    Symbol = static_cast<char>(value);
  }

 private:
  TRegistry& reg_;
};

// The server list is a few dozen entries of a line each: a file of any size or with any
// line must not stall the start or fill the combo box without end. Overlong entries are
// left out, and a file too large to be a server list is not read at all, with a word:
// the list offered would otherwise be empty without a reason.
void LoadServerList(TfrmSetup& s) {
  const std::string path = PrgDir() + kServerFile;
  std::string why;
  const std::optional<std::string> text = ReadSmallFile(path, kMaxServerFileBytes, &why);
  if (!text) {
    if (!why.empty())
      MyShowError(Format(ShownText(LocalText(kServerListNotReadText)), ShownFileName(path),
                         ShownText(why)));
    return;
  }
  TStringList lines;
  lines.SetText(*text);
  TStringList servers;
  for (int i = 0; i < lines.Count() && servers.Count() < kMaxServers; ++i) {
    if (lines[i].size() <= kMaxServerEntryLength) servers.Add(lines[i]);
  }
  s.mfcbxTcpServer->Items().Assign(servers);
}

void LoadDevice(TSettingsReader& r, TfrmSetup& s) {
  r.Index("Device", *s.mfcbxDevice, 0);
  s.mfcbxDeviceChange(s.mfcbxDevice);
  r.Index("COM-Port", *s.mfcbxPort, 0);
  r.Index("Baudrate", *s.mfcbxBaud, 0);
  r.Down("GpsActive", *s.Peers.Map->mbtnGps, false);
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

TPortControls PortControls(TfrmSetup& s, int Port) {
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

void LoadStation(TSettingsReader& r, TfrmSetup& s, const TPortDefaults& Defaults) {
  r.Edit("Lati", *s.medtLati, kLatMaskStart);
  r.Edit("Long", *s.medtLong, kLonMaskStart);
  r.Down("Comp", *s.mbtnComp, true);
  r.Number("Power", *s.nedtPower, 4);
  r.Number("Height", *s.nedtHeight, 1);
  r.Number("Gain", *s.nedtGain, 0);
  r.Down("Range", *s.mbtnRange, true);
  LoadPort(r, PortControls(s, 1), Defaults);
  LoadPort(r, PortControls(s, 2), Defaults);
  r.Edit("WxFile", *s.edtWxFile, "");
}

void WarnWithoutOwnCall(const TfrmSetup& s) {
  const bool noCall = s.IsDualPortDevice()
                          ? Trim(s.edtCallP1->Text()).empty() && Trim(s.edtCallP2->Text()).empty()
                          : Trim(s.edtCallP1->Text()).empty();
  if (noCall) MyShowInfo(PrgMsg(&TfrmPrgMsg::lblInfOwnCall));
}

void LoadProgramm(TSettingsReader& r, TfrmSetup& s) {
  TfrmAprs& map = *s.Peers.Map;
  TfrmAprsStnInfo& info = *s.Peers.StationInfo;
  std::string text;
  map.AprsMapFile.clear();
  r.Text("AprsMapFile", map.AprsMapFile);
  r.Down("ShowLock", *info.mbtnShowLock, false);
  r.Down("ShowAx25", *info.mbtnShowAx25, false);
  r.Down("FollowRx", *info.mbtnFollowRx, false);
  r.Number("TimStnDel", *s.nedtStnDelete, 120);
  r.Number("Trans", *s.nedtStnInfoTrans, 15);
  r.Edit("CrdDir", *s.edtCrdDir, PrgDir() + "APRS-Karten/");
  if (DirectoryExists(s.edtCrdDir->Text())) map.MapDir = s.edtCrdDir->Text();
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
  TfrmLog& log = *s.Peers.Log;
  r.Down("LogFilterDown", *log.mbtnFilter, false);
  text.clear();
  r.Text("LogFilter", text);
  log.memFilter->SetText(text);
  int msgNr = 0;
  if (r.Int("MsgNr", 0, INT32_MAX, msgNr)) s.Peers.Msg->MsgNr = msgNr;
}

// Top, left and visibility of a stay-on-top window, each only when stored.
void LoadWindowPlace(TSettingsReader& r, TForm& Form, const char* Top, const char* Left,
                     const char* Show) {
  int value = 0;
  if (r.Int(Top, -kMaxWindowCoordinate, kMaxWindowCoordinate, value)) Form.SetTop(value);
  if (r.Int(Left, -kMaxWindowCoordinate, kMaxWindowCoordinate, value)) Form.SetLeft(value);
  if (r.Int(Show, 0, 1, value)) Form.SetVisible(value == 1);
}

void LoadPosition(TSettingsReader& r, const TfrmSetup& s) {
  int maximised = 0, top = 0, left = 0;
  int width = kDefaultMainWidth, height = kDefaultMainHeight, bottom = kDefaultBottomPanel;
  r.Int("MainMax", 0, 1, maximised);
  r.Int("MainTop", -kMaxWindowCoordinate, kMaxWindowCoordinate, top);
  r.Int("MainLeft", -kMaxWindowCoordinate, kMaxWindowCoordinate, left);
  r.Int("MainWidth", 1, kMaxWindowCoordinate, width);
  r.Int("MainHeight", 1, kMaxWindowCoordinate, height);
  r.Int("PnlBottom", 0, kMaxWindowCoordinate, bottom);
  if (TForm* frame = s.MainFrame) {
    frame->SetBounds(left, top, width, height);
    frame->SetWindowState(maximised == 1 ? wsMaximized : wsNormal);
  }
  s.Peers.Map->SetMonitorHeight(bottom);
  LoadWindowPlace(r, *s.Peers.Gps, "GpsTop", "GpsLeft", "GpsShow");
  LoadWindowPlace(r, *s.Peers.Wx, "WxTop", "WxLeft", "WxShow");
}

void SaveDevice(TRegistry& reg, const TfrmSetup& s) {
  reg.WriteInteger("Device", s.mfcbxDevice->ItemIndex());
  reg.WriteInteger("COM-Port", s.mfcbxPort->ItemIndex());
  reg.WriteInteger("Baudrate", s.mfcbxBaud->ItemIndex());
  reg.WriteBool("GpsActive", s.Peers.Map->mbtnGps->Down());
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
  // The beacon texts are kept as they go out: Windows-1252 where it holds them, as older
  // settings read them, UTF-8 otherwise; the edit shows either as typed when loaded.
  reg.WriteString(Named("Info", p, true), TextToSend(p.Info->TextW()));
  reg.WriteString(Named("Status", p, true), TextToSend(p.Status->TextW()));
  reg.WriteInteger(Named("TimPos", p, false), p.TimPos->IntIst());
  reg.WriteInteger(Named("TimStatus", p, false), p.TimStatus->IntIst());
  reg.WriteInteger(Named("WxSsid", p, true), p.WxSsid->ItemIndex());
  reg.WriteInteger(Named("TimWx", p, true), p.TimWx->IntIst());
  reg.WriteInteger(Named("TimWxStatus", p, true), p.TimWxStatus->IntIst());
  reg.WriteString(Named("WxStatus", p, true), TextToSend(p.WxStatus->TextW()));
}

void SaveStation(TRegistry& reg, TfrmSetup& s) {
  reg.WriteString("Lati", s.medtLati->Text());
  reg.WriteString("Long", s.medtLong->Text());
  reg.WriteBool("Comp", s.mbtnComp->Down());
  reg.WriteInteger("Power", s.nedtPower->IntIst());
  reg.WriteInteger("Height", s.nedtHeight->IntIst());
  reg.WriteInteger("Gain", s.nedtGain->IntIst());
  reg.WriteBool("Range", s.mbtnRange->Down());
  SavePort(reg, PortControls(s, 1));
  SavePort(reg, PortControls(s, 2));
  reg.WriteString("WxFile", s.edtWxFile->Text());
}

void SaveProgramm(TRegistry& reg, const TfrmSetup& s) {
  const TfrmAprsStnInfo& info = *s.Peers.StationInfo;
  reg.WriteString("AprsMapFile", s.Peers.Map->AprsMapFile);
  reg.WriteBool("ShowLock", info.mbtnShowLock->Down());
  reg.WriteBool("ShowAx25", info.mbtnShowAx25->Down());
  reg.WriteBool("FollowRx", info.mbtnFollowRx->Down());
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
  reg.WriteBool("LogFilterDown", s.Peers.Log->mbtnFilter->Down());
  reg.WriteString("LogFilter", s.Peers.Log->memFilter->Text());
  reg.WriteInteger("MsgNr", s.Peers.Msg->MsgNr);
}

// Top, left and visibility of a stay-on-top window.
void SaveWindowPlace(TRegistry& reg, const TForm& Form, const char* Top, const char* Left,
                     const char* Show) {
  reg.WriteInteger(Top, Form.Top());
  reg.WriteInteger(Left, Form.Left());
  reg.WriteBool(Show, Form.Visible());
}

void SavePosition(TRegistry& reg, const TfrmSetup& s) {
  const TForm* frame = s.MainFrame;
  const bool maximised = frame && frame->WindowState() == wsMaximized;
  reg.WriteBool("MainMax", maximised);
  if (frame && !maximised) {
    reg.WriteInteger("MainTop", frame->Top());
    reg.WriteInteger("MainLeft", frame->Left());
    reg.WriteInteger("MainWidth", frame->Width());
    reg.WriteInteger("MainHeight", frame->Height());
  }
  reg.WriteInteger("PnlBottom", s.Peers.Map->MonitorHeight());
  SaveWindowPlace(reg, *s.Peers.Gps, "GpsTop", "GpsLeft", "GpsShow");
  SaveWindowPlace(reg, *s.Peers.Wx, "WxTop", "WxLeft", "WxShow");
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

void LoadLanguageChoice(TfrmSetup& s, TRegistry& reg) {
  TSettingsReader r(reg);
  std::string name;
  if (reg.OpenKey(kProgrammKey, false) && r.Text("Spk", name)) s.mfcbxSpk->SetText(name);
}

void LoadSettings(TfrmSetup& s, TRegistry& reg) {
  LoadServerList(s);
  // The port-2 texts fall back to the window's own start texts of port 1.
  const TPortDefaults defaults{s.edtInfoP1->Text(), s.edtStatusP1->Text(), s.edtWxStatusP1->Text()};
  if (reg.Damaged()) {
    MyShowError(
        Format(ShownText(LocalText(kSettingsDamagedText)), ShownFileName(TRegistry::FileName())) +
        " " +
        (reg.DamagedFileKept() ? Format(ShownText(LocalText(kDamagedSettingsKeptText)),
                                        ShownFileName(TRegistry::DamagedFileName()))
                               : ShownText(LocalText(kDamagedSettingsLeftText))));
  }
  reg.OpenKey(kRootKey, true);
  reg.CloseKey();
  TSettingsReader r(reg);
  if (reg.OpenKey(kDeviceKey, true)) LoadDevice(r, s);
  if (reg.OpenKey(kStationKey, true)) LoadStation(r, s, defaults);
  s.ShowSymbolImages();
  WarnWithoutOwnCall(s);
  if (reg.OpenKey(kProgrammKey, true)) LoadProgramm(r, s);
  if (reg.OpenKey(kPositionKey, true)) LoadPosition(r, s);
  s.edtCallP1Change(s.edtCallP1);
  s.ApplySettings();
  s.UnitChange(&s);
  s.Peers.Log->mbtnFilterClick(s.Peers.Log->mbtnFilter);
}

void SaveSettings(TfrmSetup& s) {
  try {
    TRegistry reg;
    SaveVersions(reg);
    reg.CloseKey();
    reg.DeleteKey(kProgramKey);
    if (reg.OpenKey(kDeviceKey, true)) SaveDevice(reg, s);
    if (reg.OpenKey(kStationKey, true)) SaveStation(reg, s);
    if (reg.OpenKey(kProgrammKey, true)) SaveProgramm(reg, s);
    if (reg.OpenKey(kPositionKey, true)) SavePosition(reg, s);
    reg.CloseKey();
    // One write of the whole result: a save cut short never leaves the file without
    // the settings it has just deleted.
    reg.SaveChanges();
  } catch (const ERegistryException& error) {
    // Settings that could not be written are lost: say so instead of ending quietly.
    MyShowError(error.what());
  }
}

#include "app/settings/frm_setup.h"

#include "app/shelf/app_folders.h"
#include "app/shelf/form_build.h"
#include "app/shelf/typed_chars.h"
#include "platform/sys/files.h"
#include "platform/text/string_list.h"

TfrmSetup* frmSetup = nullptr;

std::array<std::string, kDeviceCount> DeviceNames;
std::array<std::string, kDeviceCount> DeviceShortNames;
std::array<std::string, kWxDeviceCount> WxDeviceNames;
char SymTabP1 = '/';
char SymCodeP1 = '-';
char SymTabP2 = '/';
char SymCodeP2 = '-';

namespace {

constexpr int kPageListWidth = 160;
constexpr int kPageListItemHeight = 42;
constexpr int kLabelWidth = 150;
constexpr int kFieldLeft = 160;
constexpr int kLongLabelFieldLeft = 200;
constexpr int kRow = 26;

// The text of the default status beacon.
constexpr const char* kDefaultStatus = "Velmora APRS station - https://www.example.org/velmora/";
constexpr const char* kDefaultInfo = "Using the new Velmora from Quandel! {Velmora}";
constexpr const char* kDefaultWxStatus = "Velmora - Wetterstation";

const char* const kComPorts =
    "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14\r\n15\r\n16\r\n"
    "17\r\n18\r\n19\r\n20\r\n21\r\n22\r\n23\r\n24\r\n25";
const char* const kWxSsids =
    "\r\n-1\r\n-2\r\n-3\r\n-4\r\n-5\r\n-6\r\n-7\r\n-8\r\n-9\r\n-10\r\n-11\r\n-12\r\n-13\r\n-14\r\n-"
    "15";

// The page list: picture, indent and caption of each page, in page order.
const char* const kPageCaptions[] = {"AX-25 Ger\xE4t", "GPS", "Station",
                                     "Programm",       "TCP", "Wetter"};
// The pictures of the pages, in PictureContainer1 by these names; the build draws them
// into the program folder's "Pictures/".
const char* const kPagePictures[] = {"DEVICE", "GPS", "STATION", "Programm", "Server", "WX"};

TLabel* NewLabel(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption,
                 int Left, int Top) {
  auto* label = NewControl<TLabel>(Owner, Parent, Name, Left, Top + 3, kLabelWidth, 15);
  label->SetCaption(Caption);
  return label;
}

TMyFlatCombobox* NewChoice(TComponent* Owner, TWinControl* Parent, const char* Name, int Left,
                           int Top, int Width, const char* Items, int Index) {
  auto* combo = NewControl<TMyFlatCombobox>(Owner, Parent, Name, Left, Top, Width, 21);
  combo->SetStyle(csDropDownList);
  combo->Items().SetText(Items);
  combo->SetItemIndex(Index);
  return combo;
}

TNumberEdit* NewNumber(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top,
                       int Max, int Value) {
  auto* edit = NewControl<TNumberEdit>(Owner, Parent, Name, Left, Top, 50, 21);
  edit->SetIntMin(0);
  edit->SetIntMax(Max);
  edit->SetIntDef(Value);
  edit->SetIntIst(Value);
  return edit;
}

TEdit* NewText(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top,
               int Width, const std::string& Text, TTextBytes Bytes = TTextBytes::CodePage) {
  auto* edit = NewControl<TEdit>(Owner, Parent, Name, Left, Top, Width, 21);
  edit->SetTextBytes(Bytes);
  edit->SetText(Text);
  return edit;
}

// A beacon's send-now button, beside its interval edit.
TMyButton* NewTxButton(TfrmSetup* Form, TWinControl* Parent, const std::string& Name, int Left,
                       int Top, const char* Hint) {
  auto* button = NewControl<TMyButton>(Form, Parent, Name.c_str(), Left, Top, 40, 21);
  button->SetCaption("TX");
  button->SetHint(Hint);
  button->SetShowHint(true);
  button->OnClick = [Form](TComponent* Sender) { Form->ButtonClick(Sender); };
  return button;
}

TTimer* NewTimer(TComponent* Owner, const char* Name) {
  auto* timer = new TTimer(Owner);
  timer->Name = Name;
  timer->SetEnabled(false);
  return timer;
}

TExTabSheet* NewSheet(TfrmSetup* Form, const char* Name) {
  auto* sheet = new TExTabSheet(Form);
  sheet->Name = Name;
  sheet->SetPageControl(Form->apctrlSetup);
  sheet->SetTabVisible(false);
  return sheet;
}

}  // namespace

void LoadPagePictures(TPictureContainer& Container, const std::string& ProgramFolder) {
  for (const char* name : kPagePictures) {
    const std::string path = ProgramFolder + "Pictures/" + name + ".gif";
    if (!FileExists(path)) continue;
    TPictureItem& item = Container.Items().Add();
    item.Name = name;
    try {
      item.Picture.LoadFromFile(path);
    } catch (const Exception&) {
      // An unreadable picture leaves its page without one.
    }
  }
}

TfrmSetup::TfrmSetup(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmSetup";
  SetCaption("Einstellungen");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(700, 470);

  DeviceNames = {"OFF",
                 "Kenwood TM-D700/710",
                 "Kenwood TH-D7",
                 "Kenwood TS-2000",
                 "SCS PTC-IIe / SCS PTC-IIex / SCS PTC-IIusb",
                 "SCS PTC-II / SCS PTC-IIpro",
                 "SCS Tracker / TNC / TNC2 / TNC Multi / AS232",
                 "TNC no flow control",
                 "TNC3",
                 "Quandel Kambrio"};
  DeviceShortNames = {"",       "TM-D700", "TH-D7",  "TS-2000", "PTC-1P",
                      "PTC-2P", "TNC-1P",  "TNC-1P", "TNC-2P",  "KAMBRIO"};
  WxDeviceNames = {"OFF", "WS-23xx", "WX-200, WM-918", "WMR-918, WMR-928, WMR-968", "WX-TEXT"};

  PictureContainer1 = new TPictureContainer(this);
  PictureContainer1->Name = "PictureContainer1";
  htmllbxSelect = NewControl<THtmlListBox>(this, this, "htmllbxSelect", 0, 0, kPageListWidth, 0);
  htmllbxSelect->SetAlign(alLeft);
  LoadPagePictures(*PictureContainer1, PrgDir());
  htmllbxSelect->SetItemHeight(kPageListItemHeight);
  htmllbxSelect->SetEllipsis(false);
  htmllbxSelect->SetShowFocus(false);
  // Silver frame, gold above and orange below.
  htmllbxSelect->ApplyColorPreset(4);
  htmllbxSelect->SetPictureContainer(PictureContainer1);
  for (int n = 0; n < 6; ++n) {
    htmllbxSelect->Items().Add(std::string("<IMG src=\"") + kPagePictures[n] +
                               "\" align=\"middle\"><IND x=\"50\"><FONT size=\"12\">" +
                               kPageCaptions[n] + "</FONT>");
  }
  htmllbxSelect->OnClick = [this](TComponent*) { htmllbxSelectClick(this); };

  BuildButtons();
  apctrlSetup = NewControl<TExPageControl>(this, this, "apctrlSetup", 0, 0, 0, 0);
  apctrlSetup->SetAlign(alClient);
  apctrlSetup->SetTabPosition(tpBottom);
  apctrlSetup->SetLowerActive(0);
  atabDev = NewSheet(this, "atabDev");
  atabGps = NewSheet(this, "atabGps");
  atabStn = NewSheet(this, "atabStn");
  atabPrg = NewSheet(this, "atabPrg");
  atabTcp = NewSheet(this, "atabTcp");
  atabWx = NewSheet(this, "atabWx");
  atabSym = NewSheet(this, "atabSym");
  BuildDevicePage();
  BuildGpsPage();
  BuildStationPage();
  BuildProgramPage();
  BuildTcpPage();
  BuildWeatherPage();
  BuildSymbolPage();
  RangeChange(nedtPower);

  timPosP1 = NewTimer(this, "timPosP1");
  timStatusP1 = NewTimer(this, "timStatusP1");
  timPosP2 = NewTimer(this, "timPosP2");
  timStatusP2 = NewTimer(this, "timStatusP2");
  timWxP1 = NewTimer(this, "timWxP1");
  timWxStatusP1 = NewTimer(this, "timWxStatusP1");
  timWxP2 = NewTimer(this, "timWxP2");
  timWxStatusP2 = NewTimer(this, "timWxStatusP2");
  timPosDec = NewTimer(this, "timPosDec");
  PathDialog = new TPathDialog(this);
  PathDialog->Name = "PathDialog";
  OpenDialog = new TOpenDialog(this);
  OpenDialog->Name = "OpenDialog";
  OpenDialog->Filter = "Text [*.txt]|*.txt";
  WxStn = new TWxStn(this);
  WxStn->Name = "WxStn";
  WxStn->OnWxActivate = [this](TComponent* Sender) { WxStnWxActivate(Sender); };
  WxStn->OnWxDeactivate = [this](TComponent* Sender) { WxStnWxDeactivate(Sender); };
  WxStn->SetOnWxDataUpdate([this](TComponent* Sender) { WxStnWxDataUpdate(Sender); });

  OnShow = [this](TComponent* Sender) { FormShow(Sender); };
  frmSetup = this;
  DoCreate();
}

TfrmSetup::~TfrmSetup() {
  if (frmSetup == this) frmSetup = nullptr;
}

void TfrmSetup::BuildButtons() {
  auto* bottom = NewControl<TMyPanel>(this, this, "mpnlButtons", 0, 0, 0, 36);
  bottom->SetAlign(alBottom);
  mbtnChange = NewControl<TMyButton>(this, bottom, "mbtnChange", 300, 6, 90, 25);
  mbtnChange->SetCaption(
      "\xDC"
      "bernehmen");
  mbtnChange->OnClick = [this](TComponent* Sender) { mbtnChangeClick(Sender); };
  mbtnOk = NewControl<TMyButton>(this, bottom, "mbtnOk", 395, 6, 90, 25);
  mbtnOk->SetCaption("OK");
  mbtnOk->SetModalResult(mrOk);
  mbtnOk->OnClick = [this](TComponent* Sender) { mbtnOkClick(Sender); };
  mbtnAbort = NewControl<TMyButton>(this, bottom, "mbtnAbort", 490, 6, 90, 25);
  mbtnAbort->SetCaption("Abbrechen");
  mbtnAbort->SetModalResult(mrAbort);
  mbtnAbort->OnClick = [this](TComponent*) { snapshot_.Restore(*this); };
  mbtnClose = NewControl<TMyButton>(this, bottom, "mbtnClose", 585, 6, 90, 25);
  mbtnClose->SetCaption(
      "Schlie\xDF"
      "en");
  mbtnClose->SetModalResult(mrCancel);
}

void TfrmSetup::BuildDevicePage() {
  TWinControl* page = atabDev;
  NewLabel(this, page, "lblDevice", "Ger\xE4t", 8, 8);
  std::string names;
  for (const std::string& name : DeviceNames) names += name + "\r\n";
  mfcbxDevice = NewChoice(this, page, "mfcbxDevice", kFieldLeft, 8, 300, names.c_str(), 0);
  mfcbxDevice->OnSelect = [this](TComponent* Sender) { mfcbxDeviceChange(Sender); };
  lblPort = NewLabel(this, page, "lblPort", "COM-Port", 8, 8 + kRow);
  mfcbxPort = NewChoice(this, page, "mfcbxPort", kFieldLeft, 8 + kRow, 80, kComPorts, 0);
  lblBaud = NewLabel(this, page, "lblBaud", "Baudrate", 8, 8 + 2 * kRow);
  mfcbxBaud = NewChoice(this, page, "mfcbxBaud", kFieldLeft, 8 + 2 * kRow, 80,
                        "9600\r\n19200\r\n38400\r\n57600\r\n115200", 0);
  lblIni = NewLabel(this, page, "lblIni", "Befehle beim Verbinden", 8, 8 + 3 * kRow);
  memIni = NewControl<TMemo>(this, page, "memIni", 8, 8 + 4 * kRow, 250, 200);
  lblDeini = NewLabel(this, page, "lblDeini", "Befehle beim Trennen", 270, 8 + 3 * kRow);
  memDeini = NewControl<TMemo>(this, page, "memDeini", 270, 8 + 4 * kRow, 250, 200);
  // The command lines go to the TNC and into the command files in the form every text the
  // program sends takes, whatever script they are typed in.
  memIni->SetTextBytes(TTextBytes::Sent);
  memDeini->SetTextBytes(TTextBytes::Sent);
  memBytRx = NewControl<TMemo>(this, page, "memBytRx", 0, 0, 10, 10);
  lbxByt = NewControl<TListBox>(this, page, "lbxByt", 0, 0, 10, 10);
  memDebu = NewControl<TMemo>(this, page, "memDebu", 0, 0, 10, 10);
  for (TControl* hidden : std::initializer_list<TControl*>{memBytRx, lbxByt, memDebu})
    hidden->SetVisible(false);
}

void TfrmSetup::BuildGpsPage() {
  TWinControl* page = atabGps;
  NewLabel(this, page, "lblPortGps", "COM-Port", 8, 8);
  mfcbxPortGps = NewChoice(this, page, "mfcbxPortGps", kFieldLeft, 8, 80, kComPorts, 1);
  NewLabel(this, page, "lblBaudGps", "Baudrate", 8, 8 + kRow);
  mfcbxBaudGps =
      NewChoice(this, page, "mfcbxBaudGps", kFieldLeft, 8 + kRow, 80, "4800\r\n9600\r\n38400", 0);
}

void TfrmSetup::BuildStationPage() {
  TWinControl* page = atabStn;
  // The two ports side by side: the second in a panel that only dual-port devices show.
  auto port = [this](TWinControl* parent, int left, bool second, TEdit*& call, TEdit*& path,
                     TEdit*& info, TEdit*& status, TNumberEdit*& timPos, TNumberEdit*& timStatus,
                     TImage*& sym, TMyButton*& txPos, TMyButton*& txStatus) {
    const char* p = second ? "P2" : "P1";
    auto name = [p](const char* base) { return std::string(base) + p; };
    NewLabel(this, parent, name("lblCall").c_str(), "Rufzeichen", left, 8);
    call = NewText(this, parent, name("edtCall").c_str(), left + 90, 8, 100, "");
    call->OnChange = [this](TComponent* Sender) { edtCallP1Change(Sender); };
    TakeAddressText(*call, kCallsignChars);
    NewLabel(this, parent, name("lblPath").c_str(), "Pfad", left, 8 + kRow);
    path = NewText(this, parent, name("edtPath").c_str(), left + 90, 8 + kRow, 160, "APRS");
    TakeAddressText(*path, kPathChars);
    NewLabel(this, parent, name("lblInfo").c_str(), "Info", left, 8 + 2 * kRow);
    info =
        NewText(this, parent, name("edtInfo").c_str(), left + 90, 8 + 2 * kRow, 160, kDefaultInfo);
    NewLabel(this, parent, name("lblStatus").c_str(), "Status", left, 8 + 3 * kRow);
    status = NewText(this, parent, name("edtStatus").c_str(), left + 90, 8 + 3 * kRow, 160,
                     kDefaultStatus);
    NewLabel(this, parent, name("lblTimPos").c_str(), "Position (min)", left, 8 + 4 * kRow);
    timPos = NewNumber(this, parent, name("nedtTimPos").c_str(), left + 90, 8 + 4 * kRow, 120, 15);
    NewLabel(this, parent, name("lblTimStatus").c_str(), "Status (min)", left, 8 + 5 * kRow);
    timStatus =
        NewNumber(this, parent, name("nedtTimStatus").c_str(), left + 90, 8 + 5 * kRow, 120, 20);
    sym = NewControl<TImage>(this, parent, name("imgSym").c_str(), left + 200, 8, 20, 20);
    txPos = NewTxButton(this, parent, name("mbtnTxPos"), left + 146, 8 + 4 * kRow,
                        "Positionsbake jetzt senden");
    txStatus = NewTxButton(this, parent, name("mbtnTxStatus"), left + 146, 8 + 5 * kRow,
                           "Statusbake jetzt senden");
  };
  port(page, 8, false, edtCallP1, edtPathP1, edtInfoP1, edtStatusP1, nedtTimPosP1, nedtTimStatusP1,
       imgSymP1, mbtnTxPosP1, mbtnTxStatusP1);
  mpnlStnP2 = NewControl<TMyPanel>(this, page, "mpnlStnP2", 270, 0, 270, 8 + 6 * kRow);
  lblStnP2 = NewLabel(this, page, "lblStnP2", "Port 2", 270, 8 + 6 * kRow);
  port(mpnlStnP2, 0, true, edtCallP2, edtPathP2, edtInfoP2, edtStatusP2, nedtTimPosP2,
       nedtTimStatusP2, imgSymP2, mbtnTxPosP2, mbtnTxStatusP2);

  const int top = 8 + 7 * kRow;
  NewLabel(this, page, "lblPosition", "Feste Position", 8, top);
  medtLati = NewControl<TMaskEdit>(this, page, "medtLati", 98, top, 90, 21);
  medtLati->SetEditMask(kLatMask);
  medtLati->SetText(kLatMaskStart);
  medtLong = NewControl<TMaskEdit>(this, page, "medtLong", 192, top, 100, 21);
  medtLong->SetEditMask(kLonMask);
  medtLong->SetText(kLonMaskStart);
  medtLati->OnKeyPress = [this](TComponent* Sender, char& Key) { PosKeyPress(Sender, Key); };
  medtLong->OnKeyPress = [this](TComponent* Sender, char& Key) { PosKeyPress(Sender, Key); };
  mbtnSetGpsPos = NewControl<TMyButton>(this, page, "mbtnSetGpsPos", 296, top, 50, 21);
  mbtnSetGpsPos->SetCaption("GPS");
  mbtnSetGpsPos->OnClick = [this](TComponent* Sender) { ButtonClick(Sender); };
  NewLabel(this, page, "lblPosAmbi", "Ungenauigkeit", 8, top + kRow);
  mfcbxPosAmbi = NewChoice(this, page, "mfcbxPosAmbi", 98, top + kRow, 60, "off\r\n1\r\n2\r\n3", 0);
  mbtnComp = NewSwitch(this, page, "mbtnComp", "komprimiert", 170, top + kRow, 90, 21);
  mbtnComp->SetDown(true);
  mbtnRange = NewSwitch(this, page, "mbtnRange", "Reichweite", 264, top + kRow, 90, 21);
  mbtnRange->SetDown(true);
  NewLabel(this, page, "lblPower", "Leistung (W)", 8, top + 2 * kRow);
  nedtPower = NewNumber(this, page, "nedtPower", 98, top + 2 * kRow, 120, 4);
  NewLabel(this, page, "lblAntHeight", "Antennenh\xF6he", 160, top + 2 * kRow);
  nedtHeight = NewNumber(this, page, "nedtHeight", 250, top + 2 * kRow, 120, 1);
  lblRangeHeight = NewLabel(this, page, "lblRangeHeight", "m", 304, top + 2 * kRow);
  NewLabel(this, page, "lblGain", "Gewinn (dB)", 340, top + 2 * kRow);
  nedtGain = NewNumber(this, page, "nedtGain", 430, top + 2 * kRow, 120, 0);
  lblRangeResult = NewLabel(this, page, "lblRangeResult", "", 8, top + 3 * kRow);
  for (TNumberEdit* edit : {nedtPower, nedtHeight, nedtGain})
    edit->OnChange = [this](TComponent* Sender) { RangeChange(Sender); };
}

void TfrmSetup::BuildProgramPage() {
  TWinControl* page = atabPrg;
  // This page's captions are long in both languages ("Remove stations after (min)").
  constexpr int kFieldLeft = kLongLabelFieldLeft;
  NewLabel(this, page, "lblSpk", "Sprache", 8, 8);
  mfcbxSpk = NewControl<TMyFlatCombobox>(this, page, "mfcbxSpk", kFieldLeft, 8, 160, 21);
  // A first start speaks German, the windows' own language.
  mfcbxSpk->SetTextBytes(TTextBytes::FileName);
  mfcbxSpk->SetText("deutsch.spk");
  mfcbxSpk->OnSelect = [this](TComponent* Sender) { mfcbxSpkChange(Sender); };
  NewLabel(this, page, "lblCrdDir", "Kartenordner", 8, 8 + kRow);
  edtCrdDir = NewText(this, page, "edtCrdDir", kFieldLeft, 8 + kRow, 300, PrgDir() + "APRS-Karten/",
                      TTextBytes::FileName);
  mbtnCrdDir = NewControl<TMyButton>(this, page, "mbtnCrdDir", kFieldLeft + 304, 8 + kRow, 25, 21);
  mbtnCrdDir->SetCaption("...");
  mbtnCrdDir->OnClick = [this](TComponent* Sender) { ButtonClick(Sender); };
  NewLabel(this, page, "lblStnDelete", "Stationen l\xF6schen nach (min)", 8, 8 + 2 * kRow);
  nedtStnDelete = NewNumber(this, page, "nedtStnDelete", kFieldLeft, 8 + 2 * kRow, 240, 120);
  NewLabel(this, page, "lblStnInfoTrans", "Transparenz (%)", 8, 8 + 3 * kRow);
  nedtStnInfoTrans = NewNumber(this, page, "nedtStnInfoTrans", kFieldLeft, 8 + 3 * kRow, 50, 15);
  struct TUnitBox {
    TMyFlatCombobox*& Box;
    const char* Name;
    const char* Caption;
    const char* Items;
  };
  const TUnitBox units[] = {
      {mfcbxSpeed, "mfcbxSpeed", "Geschwindigkeit", "km/h\r\nmph\r\nkts"},
      {mfcbxWindSpeed, "mfcbxWindSpeed", "Windgeschwindigkeit", "km/h\r\nm/s\r\nmph\r\nkn"},
      {mfcbxTemp, "mfcbxTemp", "Temperatur",
       "\xB0"
       "C\r\n\xB0"
       "F"},
      {mfcbxHeight, "mfcbxHeight", "H\xF6he", "m\r\nft"},
      {mfcbxRain, "mfcbxRain", "Regen", "mm\r\ninch\r\nl/m\xB2"}};
  int top = 8 + 4 * kRow;
  for (const TUnitBox& unit : units) {
    NewLabel(this, page, (std::string("lblUnit") + (unit.Name + 5)).c_str(), unit.Caption, 8, top);
    unit.Box = NewChoice(this, page, unit.Name, kFieldLeft, top, 80, unit.Items, 0);
    unit.Box->OnSelect = [this](TComponent* Sender) { UnitChange(Sender); };
    top += kRow;
  }
  mbtnSoundRx = NewSwitch(this, page, "mbtnSoundRx", "Empfangssignal", 8, top, 120, 21);
  mbtnSoundRx->SetDown(true);
  mbtnSoundCall = NewSwitch(this, page, "mbtnSoundCall", "Rufzeichen ansagen", 132, top, 140, 21);
  mbtnSoundCall->SetDown(true);
}

void TfrmSetup::BuildTcpPage() {
  TWinControl* page = atabTcp;
  NewLabel(this, page, "lblTcpServer", "APRS-IS Server", 8, 8);
  mfcbxTcpServer = NewChoice(this, page, "mfcbxTcpServer", kFieldLeft, 8, 300, "", -1);
  NewLabel(this, page, "lblVNR", "Passwort", 8, 8 + kRow);
  nedtVNR = NewNumber(this, page, "nedtVNR", kFieldLeft, 8 + kRow, 65535, 0);
  NewLabel(this, page, "lblTcpFilter", "Filter", 8, 8 + 2 * kRow);
  edtTcpFilter = NewText(this, page, "edtTcpFilter", kFieldLeft, 8 + 2 * kRow, 300, "");
  // The filter goes to the server in its login line, a line of ASCII.
  edtTcpFilter->SetAllowedChars(AsciiRange(' ', '~'));
  mbtnTcpDigi = NewSwitch(this, page, "mbtnTcpDigi", "HF -> TCP", 8, 8 + 3 * kRow, 140, 21);
  mbtnTcpNoOutData =
      NewSwitch(this, page, "mbtnTcpNoOutData", "TCP nicht auswerten", 8, 8 + 4 * kRow, 140, 21);
  mbtnTcpNoMon =
      NewSwitch(this, page, "mbtnTcpNoMon", "TCP nicht anzeigen", 8, 8 + 5 * kRow, 140, 21);
}

void TfrmSetup::BuildWeatherPage() {
  TWinControl* page = atabWx;
  std::string names;
  for (const std::string& name : WxDeviceNames) names += name + "\r\n";
  NewLabel(this, page, "lblWxDevice", "Wetterstation", 8, 8);
  mfcbxWxDevice = NewChoice(this, page, "mfcbxWxDevice", kFieldLeft, 8, 220, names.c_str(), 0);
  mfcbxWxDevice->OnSelect = [this](TComponent* Sender) { mfcbxWxDeviceChange(Sender); };
  lblPortWx = NewLabel(this, page, "lblPortWx", "COM-Port", 8, 8 + kRow);
  mfcbxPortWx = NewChoice(this, page, "mfcbxPortWx", kFieldLeft, 8 + kRow, 80, kComPorts, 2);
  lblWxFile = NewLabel(this, page, "lblWxFile", "Wetterdatei", 8, 8 + kRow);
  edtWxFile = NewText(this, page, "edtWxFile", kFieldLeft, 8 + kRow, 300, "", TTextBytes::FileName);
  mbtnWxFile = NewControl<TMyButton>(this, page, "mbtnWxFile", kFieldLeft + 304, 8 + kRow, 25, 21);
  mbtnWxFile->SetCaption("...");
  mbtnWxFile->OnClick = [this](TComponent* Sender) { ButtonClick(Sender); };
  mbtnWind = NewSwitch(this, page, "mbtnWind", "Wind", 8, 8 + 2 * kRow, 80, 21);
  mbtnRain = NewSwitch(this, page, "mbtnRain", "Regen", 92, 8 + 2 * kRow, 80, 21);
  mbtnHuminity = NewSwitch(this, page, "mbtnHuminity", "Feuchte", 176, 8 + 2 * kRow, 80, 21);
  mbtnBaro = NewSwitch(this, page, "mbtnBaro", "Luftdruck", 260, 8 + 2 * kRow, 80, 21);

  auto port = [this](TWinControl* parent, int left, bool second, TLabel*& call,
                     TMyFlatCombobox*& ssid, TImage*& sym, TNumberEdit*& tim,
                     TNumberEdit*& timStatus, TEdit*& status, TMyButton*& tx,
                     TMyButton*& txStatus) {
    const char* p = second ? "P2" : "P1";
    auto name = [p](const char* base) { return std::string(base) + p; };
    call = NewLabel(this, parent, name("lblWxCall").c_str(), "", left, 8);
    ssid = NewChoice(this, parent, name("mfcbxWxSsid").c_str(), left + 90, 8, 60, kWxSsids, 11);
    sym = NewControl<TImage>(this, parent, name("imgSymWx").c_str(), left + 160, 8, 20, 20);
    NewLabel(this, parent, name("lblTimWx").c_str(), "Wetter (min)", left, 8 + kRow);
    tim = NewNumber(this, parent, name("nedtTimWx").c_str(), left + 90, 8 + kRow, 120, 0);
    NewLabel(this, parent, name("lblTimWxStatus").c_str(), "Status (min)", left, 8 + 2 * kRow);
    timStatus =
        NewNumber(this, parent, name("nedtTimWxStatus").c_str(), left + 90, 8 + 2 * kRow, 120, 0);
    status = NewText(this, parent, name("edtWxStatus").c_str(), left, 8 + 3 * kRow, 240,
                     kDefaultWxStatus);
    tx = NewTxButton(this, parent, name("mbtnTxWx"), left + 146, 8 + kRow,
                     "Wetterbake jetzt senden");
    txStatus = NewTxButton(this, parent, name("mbtnTxWxStatus"), left + 146, 8 + 2 * kRow,
                           "Wetterstatus jetzt senden");
  };
  auto* portOne = NewControl<TMyPanel>(this, page, "mpnlWxP1", 8, 8 + 3 * kRow, 260, 8 + 4 * kRow);
  port(portOne, 4, false, lblWxCallP1, mfcbxWxSsidP1, imgSymWxP1, nedtTimWxP1, nedtTimWxStatusP1,
       edtWxStatusP1, mbtnTxWxP1, mbtnTxWxStatusP1);
  mpnlWxP2 = NewControl<TMyPanel>(this, page, "mpnlWxP2", 272, 8 + 3 * kRow, 260, 8 + 4 * kRow);
  // Below its panel, which ends at 16 + 7 rows.
  lblWxP2 = NewLabel(this, page, "lblWxP2", "Port 2", 272, 16 + 7 * kRow);
  port(mpnlWxP2, 4, true, lblWxCallP2, mfcbxWxSsidP2, imgSymWxP2, nedtTimWxP2, nedtTimWxStatusP2,
       edtWxStatusP2, mbtnTxWxP2, mbtnTxWxStatusP2);
}

void TfrmSetup::FormShow(TComponent*) {
  FillLanguageList();
  ShowSymbolImages();
  edtSymCodeChange(edtSymCode);
  htmllbxSelect->SetItemIndex(0);
  htmllbxSelectClick(this);
  snapshot_.Take(*this);
}

void TfrmSetup::htmllbxSelectClick(TComponent*) {
  TExTabSheet* const pages[] = {atabDev, atabGps, atabStn, atabPrg, atabTcp, atabWx};
  const int index = htmllbxSelect->ItemIndex();
  if (index >= 0 && index < 6) apctrlSetup->SetActivePage(pages[index]);
}

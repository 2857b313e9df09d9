#include "app/stations/frm_aprs_stn_info.h"

#include <cmath>
#include <vector>

#include "app/language/frm_prg_msg.h"
#include "app/map/aprs_symbols.h"
#include "app/receive/aprs_info.h"
#include "app/receive/wx_report.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/form_build.h"
#include "app/stations/station_store.h"
#include "app/stations/stn_info_weather.h"
#include "app/stations/stn_record_fields.h"
#include "controls/dial_face.h"
#include "controls/thermometer_scale.h"
#include "core/aprs_position.h"
#include "core/csv_ctrl.h"
#include "core/locator.h"
#include "core/my_tools.h"
#include "devices/wx_calc.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/text/cp1252.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

TfrmAprsStnInfo* frmAprsStnInfo = nullptr;
std::string ShownKey;

namespace {

constexpr int kTitleHeight = 18;
constexpr int kMainWidth = 320;
constexpr int kPanelHeight = 170;
constexpr int kAdvWidth = 110;
constexpr int kWxWidth = 318;
constexpr int kAx25Height = 90;
constexpr int kThermoTop = 4;
// A thermometer: its track, 10 wide, and the value panel 2 to its right, 44 wide.
constexpr int kThermoLeft = 74;
constexpr int kThermoWidth = 58;
constexpr int kThermoHeight = 150;
constexpr int kThermoValueHeight = 14;
constexpr int kLastMicEMsg = 21;
constexpr const char* kDegree = "\xB0";

int RoundEven(double Value) {
  return static_cast<int>(std::nearbyint(Value));
}

// Whatever is typed in the packet is shown as typed: no '&' accelerators.
TLabel* NewPlainLabel(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top) {
  auto* label = NewControl<TLabel>(Owner, Parent, Name, Left, Top, 60, 13);
  label->SetShowAccelChar(false);
  label->SetTransparent(true);
  return label;
}

TLabel* NewWrappedLabel(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top,
                        int Width, int Height) {
  TLabel* label = NewPlainLabel(Owner, Parent, Name, Left, Top);
  label->SetAutoSize(false);
  label->SetWordWrap(true);
  label->SetBounds(Left, Top, Width, Height);
  return label;
}

TMyPanel* NewValuePanel(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top,
                        int Width, int Height = 14) {
  auto* panel = NewControl<TMyPanel>(Owner, Parent, Name, Left, Top, Width, Height);
  panel->SetRoundRect(false);
  return panel;
}

std::string UnitText(int Value, const std::string& Unit) {
  return IntToStr(Value) + " " + Unit;
}

// The status text as stored: the information field, its data type character first.
std::string StatusText(const std::string& Record) {
  const std::string text = StationFieldText(Record, sfStatusText);
  return text.size() > 1 ? text.substr(1) : "";
}

std::string PositionFormatName(char Format) {
  switch (Format) {
    case 'A':
      return "ASCII";
    case 'C':
      return "COMP";
    case ']':
      return "TM-D700";
    case '>':
      return "TH-D7";
    case 'E':
      return "Mic-E";
    default:
      return "";
  }
}

std::string HeardTimeText(const std::string& Record) {
  std::string text;
  // A record without a readable time still shows the rest.
  if (const auto heard = TryStampToDateTime(StationField(Record, sfRxStamp))) {
    text = FormatDateTime("dd.mm.yy - hh:nn:ss", *heard);
  }
  const std::string aprs_time = StationField(Record, sfAprsTime);
  if (!aprs_time.empty()) text += " [" + aprs_time + "]";
  return text;
}

}  // namespace

TfrmAprsStnInfo::TfrmAprsStnInfo(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmAprsStnInfo";
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetPosition(poOwnerFormCenter);

  mpnlTop = NewControl<TMyPanel>(this, this, "mpnlTop", 0, 0, kMainWidth, kTitleHeight);
  mpnlTop->SetCaption("Stationsinformation");
  mpnlTop->Font().SetStyle(fsBold);
  mpnlTop->SetMove(true);
  mbtnClose = NewControl<TMyButton>(this, mpnlTop, "mbtnClose", 0, 1, 16, 16);
  mbtnClose->SetCaption("x");
  mbtnShowLock = NewSwitch(this, mpnlTop, "mbtnShowLock", "L", 0, 1, 16, 16);
  mbtnShowAx25 = NewSwitch(this, mpnlTop, "mbtnShowAx25", "A", 0, 1, 16, 16);
  mbtnShowAx25->SetDown(true);
  mbtnFollowRx = NewSwitch(this, mpnlTop, "mbtnFollowRx", "F", 0, 1, 16, 16);
  mbtnFollowRx->SetDown(true);

  BuildMainPanel();
  BuildMotionPanel();
  BuildWeatherPanel();
  mpnlAX25 = NewControl<TMyPanel>(this, this, "mpnlAX25", 0, kTitleHeight + kPanelHeight,
                                  kMainWidth, kAx25Height);
  memAx25 = NewControl<TMemo>(this, mpnlAX25, "memAx25", 4, 4, kMainWidth - 8, kAx25Height - 8);
  memAx25->SetReadOnly(true);

  Timer1 = new TTimer(this);
  Timer1->Name = "Timer1";
  Timer1->SetInterval(5000);
  Timer1->SetEnabled(false);
  Timer1->OnTimer = [this](TComponent* Sender) { Timer1Timer(Sender); };
  for (TMyButton* button : {mbtnClose, mbtnShowAx25, mbtnTxMsg, mbtnZoomIn, mbtnZoomOut}) {
    button->OnClick = [this](TComponent* Sender) { ButtonClick(Sender); };
  }

  // The temperature shows first.
  ArrangeStnInfoPanels();
  Timer1Timer(this);

  frmAprsStnInfo = this;
  DoCreate();
}

TfrmAprsStnInfo::~TfrmAprsStnInfo() {
  if (frmAprsStnInfo == this) frmAprsStnInfo = nullptr;
}

void TfrmAprsStnInfo::BuildMainPanel() {
  mpnlStnInfo =
      NewControl<TMyPanel>(this, this, "mpnlStnInfo", 0, kTitleHeight, kMainWidth, kPanelHeight);
  mpnlStnInfo->SetRoundRect(false);
  imgStnInfo = NewControl<TImage>(this, mpnlStnInfo, "imgStnInfo", 4, 4, 20, 20);
  imgStnInfo->SetTransparent(true);
  lblCall = NewPlainLabel(this, mpnlStnInfo, "lblCall", 28, 6);
  lblCall->Font().SetStyle(fsBold);
  lblAprsDesAdr = NewPlainLabel(this, mpnlStnInfo, "lblAprsDesAdr", 120, 6);
  lblTrx = NewPlainLabel(this, mpnlStnInfo, "lblTrx", 28, 24);
  lblMsgTyp = NewPlainLabel(this, mpnlStnInfo, "lblMsgTyp", 80, 24);
  lblTime = NewPlainLabel(this, mpnlStnInfo, "lblTime", 4, 42);
  lblPos = NewPlainLabel(this, mpnlStnInfo, "lblPos", 4, 58);
  lblLoc = NewPlainLabel(this, mpnlStnInfo, "lblLoc", 4, 74);
  lblQra = NewPlainLabel(this, mpnlStnInfo, "lblQra", 80, 74);
  lblVia = NewPlainLabel(this, mpnlStnInfo, "lblVia", 4, 90);
  lblStnComment = NewWrappedLabel(this, mpnlStnInfo, "lblStnComment", 4, 106, kMainWidth - 8, 28);
  lblStnStatus = NewWrappedLabel(this, mpnlStnInfo, "lblStnStatus", 4, 136, 246, 28);
  imgKambrio = NewControl<TImage>(this, mpnlStnInfo, "imgKambrio", kMainWidth - 24, 4, 20, 20);
  imgKambrio->SetVisible(false);
  mbtnZoomIn = NewControl<TMyButton>(this, mpnlStnInfo, "mbtnZoomIn", 256, 124, 28, 20);
  mbtnZoomIn->SetCaption("+");
  mbtnZoomOut = NewControl<TMyButton>(this, mpnlStnInfo, "mbtnZoomOut", 288, 124, 28, 20);
  mbtnZoomOut->SetCaption("-");
  mbtnTxMsg = NewControl<TMyButton>(this, mpnlStnInfo, "mbtnTxMsg", 256, 146, 60, 20);
  mbtnTxMsg->SetCaption("MSG");
}

void TfrmAprsStnInfo::BuildMotionPanel() {
  mpnlAdv = NewControl<TMyPanel>(this, this, "mpnlAdv", 0, kTitleHeight, kAdvWidth, kPanelHeight);
  mpnlAdv->SetRoundRect(false);
  Compass = NewControl<TCompass>(this, mpnlAdv, "Compass", 15, 4, 80, 80);
  SetDialFace(*Compass);
  mpnlDeg = NewValuePanel(this, mpnlAdv, "mpnlDeg", 4, 88, kAdvWidth - 8);
  mpnlDegWord = NewValuePanel(this, mpnlAdv, "mpnlDegWord", 4, 102, kAdvWidth - 8);
  mpnlSpeed = NewValuePanel(this, mpnlAdv, "mpnlSpeed", 4, 120, kAdvWidth - 8);
  mpnlAlt = NewValuePanel(this, mpnlAdv, "mpnlAlt", 4, 134, kAdvWidth - 8);
}

void TfrmAprsStnInfo::BuildWeatherPanel() {
  mpnlWx = NewControl<TMyPanel>(this, this, "mpnlWx", 0, kTitleHeight, kWxWidth, kPanelHeight);
  mpnlWx->SetRoundRect(false);
  CompassWind = NewControl<TCompass>(this, mpnlWx, "CompassWind", 4, 4, 64, 64);
  SetDialFace(*CompassWind);
  mpnlWindDeg = NewValuePanel(this, mpnlWx, "mpnlWindDeg", 4, 70, 64);
  mpnlWindDegWord = NewValuePanel(this, mpnlWx, "mpnlWindDegWord", 4, 84, 64);
  mpnlWindSpeed = NewValuePanel(this, mpnlWx, "mpnlWindSpeed", 4, 102, 64);
  mpnlWindSpeedPeak = NewValuePanel(this, mpnlWx, "mpnlWindSpeedPeak", 4, 116, 64);

  auto thermometer = [this](const char* track_name, const char* value_name, int left,
                            TMyPanel*& track, TMyPanel*& value) {
    track = NewValuePanel(this, mpnlWx, track_name, left, kThermoTop, 10, kThermoHeight);
    SetThermometerScale(*track, kThermoValueHeight);
    value = NewValuePanel(this, mpnlWx, value_name, left + 12, kThermoTop, 44, kThermoValueHeight);
    for (TMyPanel* panel : {track, value}) {
      panel->OnClick = [this](TComponent* Sender) { mpnlTempChangeClick(Sender); };
    }
  };
  // The dew point takes the temperature's place in turn with it; the wind chill, shown at
  // the same time as the dew point and often as warm, stands beside it, or the two value
  // panels would lie over each other on one track.
  thermometer("mpnlTS", "mpnlTemp", kThermoLeft, mpnlTS, mpnlTemp);
  thermometer("mpnlDPTS", "mpnlDewPoint", kThermoLeft, mpnlDPTS, mpnlDewPoint);
  thermometer("mpnlWCTS", "mpnlWindChill", kThermoLeft + kThermoWidth, mpnlWCTS, mpnlWindChill);

  constexpr int right = kThermoLeft + 2 * kThermoWidth + 4;
  Hydro = NewControl<THydro>(this, mpnlWx, "Hydro", right, 4, 44, 44);
  SetDialFace(*Hydro);
  mpnlHydroWord = NewValuePanel(this, mpnlWx, "mpnlHydroWord", right, 50, 44);
  imgRain = NewControl<TImage>(this, mpnlWx, "imgRain", right + 50, 4, 36, 74);
  imgRain->SetTransparent(true);
  // To the panel's edge: the weather words ("überwiegend sonnig") are long.
  constexpr int words = kWxWidth - right - 4;
  mpnlBarometic = NewValuePanel(this, mpnlWx, "mpnlBarometic", right, 84, words);
  mpnlTendenz = NewValuePanel(this, mpnlWx, "mpnlTendenz", right, 98, words);
  mpnlRain1H = NewValuePanel(this, mpnlWx, "mpnlRain1H", right, 120, words);
  mpnlRain24h = NewValuePanel(this, mpnlWx, "mpnlRain24h", right, 134, words);
  imgRain->OnDblClick = [this](TComponent* Sender) { imgRainDblClick(Sender); };
  TrackBar1 = NewControl<TTrackBar>(this, mpnlWx, "TrackBar1", 4, 148, kWxWidth - 8, 18);
  TrackBar1->SetRange(0, 999);
  TrackBar1->SetVisible(false);
  TrackBar1->OnChange = [this](TComponent* Sender) { TrackBar1Change(Sender); };
}

void TfrmAprsStnInfo::ArrangeStnInfoPanels() {
  mpnlAX25->SetVisible(mbtnShowAx25->Down());
  mpnlAdv->SetVisible(panel_mode_ == 1);
  mpnlWx->SetVisible(panel_mode_ == 2);
  mpnlWx->SetBounds(mpnlAdv->Left(), mpnlAdv->Top(), mpnlWx->Width(), mpnlWx->Height());
  int side = 0;
  if (panel_mode_ == 1) side = mpnlAdv->Width() - 1;
  if (panel_mode_ == 2) side = mpnlWx->Width() - 1;
  mpnlStnInfo->SetLeft(side);
  const int width = mpnlStnInfo->Width() + side;
  mpnlAX25->SetWidth(width);
  memAx25->SetWidth(width - 8);
  mpnlTop->SetWidth(width);
  int right = width - 18;
  mbtnClose->SetLeft(right);
  for (TMyButton* button : {mbtnFollowRx, mbtnShowAx25, mbtnShowLock}) {
    right -= 18;
    button->SetLeft(right);
  }
  // The window fits its visible panels.
  int height = mpnlStnInfo->Top() + mpnlStnInfo->Height();
  if (mpnlAX25->Visible()) {
    mpnlAX25->SetTop(height);
    height += mpnlAX25->Height();
  }
  SetClientSize(width, height);
}

void TfrmAprsStnInfo::KeepStnInfoOnScreen() {
  if (!Screen) return;
  int left = Left();
  int top = Top();
  if (left < 0) left = 0;
  if (left + Width() > Screen->Width()) left = Screen->Width() - Width();
  if (top < 0) top = 0;
  if (top + Height() > Screen->Height()) top = Screen->Height() - Height();
  SetBounds(left, top, Width(), Height());
}

// Everything of the station shown before, so nothing of it stays beside another one.
void TfrmAprsStnInfo::ClearStation() {
  for (TLabel* label : {lblCall, lblAprsDesAdr, lblTrx, lblMsgTyp, lblTime, lblPos, lblLoc, lblQra,
                        lblVia, lblStnComment, lblStnStatus}) {
    label->SetCaption("");
  }
  for (TMyPanel* panel :
       {mpnlDeg, mpnlDegWord, mpnlSpeed, mpnlAlt, mpnlWindDeg, mpnlWindDegWord, mpnlWindSpeed,
        mpnlWindSpeedPeak, mpnlHydroWord, mpnlBarometic, mpnlTendenz, mpnlTemp, mpnlDewPoint,
        mpnlWindChill, mpnlRain1H, mpnlRain24h}) {
    panel->SetCaption("");
  }
  Compass->SetDegrees(0);
  CompassWind->SetDegrees(0);
  Hydro->SetDegrees(0);
  memAx25->SetText("");
  imgKambrio->SetVisible(false);
  imgStnInfo->Picture().SetGraphic(nullptr);
  imgRain->Picture().SetGraphic(nullptr);
  record_.clear();
  phg_text_.clear();
  lat_ = 0;
  lon_ = 0;
}

void TfrmAprsStnInfo::ShowStationInfo(const std::string& Key) {
  panel_mode_ = 0;
  ShownKey = Key;
  if (Key != filled_key_) {
    ClearStation();
    filled_key_ = Key;
  }
  int first = -1;
  int last = -1;
  if (Stations) CsvFindRange(Key, *Stations, first, last);
  if (first >= 0) {
    record_ = Stations->Get(first);
    ShowTexts(record_);
  } else if (OnRangeCircle) {
    OnRangeCircle(Key, "");  // no range of the station shown before stays on the map
  }
  ArrangeStnInfoPanels();
  KeepStnInfoOnScreen();
  if (!Visible()) Show();
  toggle_ = false;
  Timer1Timer(this);
}

void TfrmAprsStnInfo::HideStationInfo() {
  Hide();
  ShownKey.clear();
}

void TfrmAprsStnInfo::ShowTexts(const std::string& Record) {
  lat_ = StrToFloatDef(StationField(Record, sfLat), 0);
  lon_ = StrToFloatDef(StationField(Record, sfLon), 0);
  // What stations sent is shown in UTF-8 where it is that; the program's own words are in
  // its code page.
  const std::string call = StationFieldText(Record, sfSrcCall);
  lblPos->SetCaption(DegToLatText(lat_) + " / " + DegToLonText(lon_));
  lblLoc->SetCaption(LatLonToMaidenhead(lat_, lon_));
  double distance = 0;
  double bearing = 0;
  if (!Setup->QrbFromOwnPos(lat_, lon_, distance, bearing)) distance = 0;
  lblQra->SetCaption("QRB: " + FormatFloat("0.0", distance) + " km");

  const char table = StationFieldChar(Record, sfSymTable);
  const char code = StationFieldChar(Record, sfSymCode);
  const char state = StationFieldChar(Record, sfObjState);
  lblTrx->SetCaption(PositionFormatName(StationFieldChar(Record, sfPosFormat)));
  lblTime->SetCaption(HeardTimeText(Record));

  const std::string full_comment = StationFieldText(Record, sfComment);
  std::string comment = full_comment;
  phg_text_ = ExtractPhgRng(comment);
  if (OnRangeCircle) OnRangeCircle(ShownKey, phg_text_);
  // "/PHG5132 Hello" leaves "Hello".
  if (!comment.empty() && comment[0] == '/') comment = TrimLeft(comment.substr(1));
  lblStnComment->SetCaptionW(ReceivedTextToUtf16(comment));

  const std::string via = StationField(Record, sfHeardVia);
  const std::string heard = via.empty() ? PrgMsg(&TfrmPrgMsg::lblWordDirect) : via;
  lblCall->SetCaptionW(ReceivedTextToUtf16(call) + Cp1252ToUtf16(" [" + heard + "]"));
  lblAprsDesAdr->SetCaption(PrgMsg(&TfrmPrgMsg::lblWordTo) + " " +
                            StationField(Record, sfDestCall));
  lblVia->SetCaption(StationField(Record, sfPath));

  ShowMotion(Record);
  const int mic_e = StrToIntDef(StationField(Record, sfMicEMsg), -1);
  if (mic_e >= 0 && mic_e <= kLastMicEMsg) {
    lblMsgTyp->SetCaption(PrgMsgLine(&TfrmPrgMsg::lblMicEMsgs, mic_e));
  }
  lblStnStatus->SetCaption("");

  const std::string status = StatusText(Record);
  if (code == '_') {
    TWxInfo wx;
    std::string rest = comment;
    ParseWxReport(rest, wx);
    bool from_status = false;
    if (!wx.Valid) {
      rest = status;
      ParseWxReport(rest, wx);
      from_status = wx.Valid;
    }
    if (wx.Valid) {
      ShowWeather(wx);
      lblStnStatus->SetCaptionW(ReceivedTextToUtf16(from_status ? rest : status));
      lblStnComment->SetCaptionW(ReceivedTextToUtf16(from_status ? full_comment : rest));
    } else {
      lblMsgTyp->SetCaption(PrgMsgLine(&TfrmPrgMsg::lblWxReportStates, 1));
    }
  } else if (state == '*') {
    lblStnStatus->SetCaptionW(Cp1252ToUtf16(PrgMsg(&TfrmPrgMsg::lblWordObjectOwner) + " ") +
                              ReceivedTextToUtf16(StationFieldText(Record, sfOwnerCall)));
  } else if (state == '!') {
    lblStnStatus->SetCaptionW(Cp1252ToUtf16(PrgMsg(&TfrmPrgMsg::lblWordItemOwner) + " ") +
                              ReceivedTextToUtf16(StationFieldText(Record, sfOwnerCall)));
  } else {
    lblStnStatus->SetCaptionW(ReceivedTextToUtf16(status));
  }

  // Each line on its own: the header may be plain while the data is UTF-8.
  std::vector<std::string> memo_lines{StationFieldText(Record, sfHeader),
                                      StationFieldText(Record, sfData)};
  const std::string stored_status = StationFieldText(Record, sfStatusText);
  if (!stored_status.empty()) memo_lines.push_back(stored_status);
  std::u16string memo;
  bool kambrio = false;
  for (size_t n = 0; n < memo_lines.size(); ++n) {
    if (n > 0) memo += u"\r\n";
    memo += ReceivedTextToUtf16(memo_lines[n]);
    kambrio = kambrio || AnsiUpperCase(memo_lines[n]).find("KAMBRIO") != std::string::npos;
  }
  memAx25->SetTextW(memo);
  imgKambrio->SetVisible(kambrio);

  ShowSymbol(table, code);
  lblAprsDesAdr->SetLeft(lblCall->Left() + lblCall->Width() + 5);
  lblMsgTyp->SetLeft(lblTrx->Left() + lblTrx->Width() + 5);
}

void TfrmAprsStnInfo::ShowMotion(const std::string& Record) {
  const int altitude = StrToIntDef(StationField(Record, sfAltitude), -1);
  if (altitude == -1) {
    mpnlAlt->SetCaption("");
  } else {
    mpnlAlt->SetCaption(UnitText(Setup->HeightFromFeet(altitude), Setup->HeightUnitName()));
  }
  const int speed = RoundEven(StrToFloatDef(StationField(Record, sfSpeed), -1));
  if (speed == -1) {
    mpnlSpeed->SetCaption("");
  } else {
    mpnlSpeed->SetCaption(UnitText(Setup->SpeedFromKnots(speed), Setup->SpeedUnitName()));
  }
  const int course = StrToIntDef(StationField(Record, sfCourse), -1);
  if (course < 1) {
    mpnlDeg->SetCaption("");
    mpnlDegWord->SetCaption("");
  } else {
    panel_mode_ = 1;
    Compass->SetDegrees(static_cast<uint16_t>(course));
    mpnlDeg->SetCaption(IntToStr(course) + kDegree);
    mpnlDegWord->SetCaption(CompassName(course));
  }
}

void TfrmAprsStnInfo::ShowSymbol(char Table, char Code) {
  TBitmap symbol;
  SymbolPicture(Table, Code, symbol);
  imgStnInfo->Picture().SetGraphic(symbol.Empty() ? nullptr : &symbol);
}

void TfrmAprsStnInfo::ButtonClick(TComponent* Sender) {
  if (Sender == mbtnShowAx25) {
    ArrangeStnInfoPanels();
  } else if (Sender == mbtnClose) {
    Close();
  } else if (Sender == mbtnTxMsg) {
    if (OnMessageTo) OnMessageTo(StationFieldText(record_, sfSrcCall));
  } else if (Sender == mbtnZoomIn || Sender == mbtnZoomOut) {
    if (OnZoom) OnZoom(Sender == mbtnZoomIn, lat_, lon_);
  }
}

void TfrmAprsStnInfo::Timer1Timer(TComponent*) {
  for (TMyPanel* panel : {mpnlTS, mpnlTemp, mpnlDPTS, mpnlDewPoint, mpnlWCTS, mpnlWindChill}) {
    panel->SetVisible(false);
  }
  if (!toggle_) {
    mpnlTS->SetVisible(true);
    mpnlTemp->SetVisible(true);
  } else {
    for (TMyPanel* panel : {mpnlDPTS, mpnlDewPoint, mpnlWCTS, mpnlWindChill}) {
      panel->SetVisible(true);
    }
  }
  // The alternation runs only while the window is shown.
  Timer1->SetEnabled(false);
  Timer1->SetEnabled(Visible());
  toggle_ = !toggle_;
}

void TfrmAprsStnInfo::mpnlTempChangeClick(TComponent* Sender) {
  Timer1Timer(Sender);
}

void TfrmAprsStnInfo::DoShow() {
  ArrangeStnInfoPanels();
  Timer1->SetEnabled(true);
  TForm::DoShow();
}

void TfrmAprsStnInfo::DoClose(TCloseAction& Action) {
  Timer1->SetEnabled(false);
  TForm::DoClose(Action);
}

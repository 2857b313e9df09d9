#include "devices/gps_status.h"

#include <initializer_list>

#include "controls/draw_tools.h"
#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "controls/my_progress_bar.h"
#include "core/aprs_position.h"
#include "core/locator.h"
#include "devices/gps_fix.h"
#include "devices/gps_rx.h"
#include "devices/sat_tracking_diagram.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/standard/label.h"
#include "platform/sys/application.h"
#include "platform/sys/timer.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"

const char* const kGpsStatusNoReceiver = "no receiver connected...";
const char* const kGpsStatusWaiting = "to wait for position data...";
const char* const kGpsStatusDataError = "position data error...";
const char* const kGpsStatusNmeaError = "NMEA data error...";
const char* const kGpsStatusLost = "lost position data...";
const char* const kGpsSatInUse = "Satellit %d wird f\xFCr die Berechnung verwendet";
const char* const kGpsSatInView = "Satellit %d in Sicht";
const char* const kGpsSatSignal = "Signalst\xE4rke: %d dBHz";
const char* const kGpsSatPlace = "Azimut: %d\xB0 Elevation: %d\xB0";

namespace {

// Each "%d" of a (translated) text takes the next value; a text from a language file
// is no format pattern, so it cannot ask for arguments that are not there.
std::string WithValues(std::string Text, std::initializer_list<std::string> Values) {
  std::size_t from = 0;
  for (const std::string& value : Values) {
    const std::size_t at = Text.find("%d", from);
    if (at == std::string::npos) break;
    Text.replace(at, 2, value);
    from = at + value.size();
  }
  return Text;
}

constexpr TColor kErrorColor = 8224255;
constexpr std::uint8_t kErrorShade = 30;
constexpr std::uint8_t kBarShade = 15;
constexpr int kSnrMax = 55;  // dB: a full signal bar
constexpr int kWidth = 170;
constexpr int kRow = 18;
// The signal bars, one column of kBarPitch pixels each, with the satellite's number below.
constexpr int kBarLeft = 5;
constexpr int kBarPitch = 13;
constexpr int kBarTop = 4;
constexpr int kBarWidth = 11;
constexpr int kBarHeight = 40;
constexpr int kLabelTop = 46;
constexpr int kLabelGap = 2;  // at least this much between neighbouring numbers

std::string Dop(double Value) {
  return FormatFloat("0.0", Value) + "m";
}

}  // namespace

TfrmGpsStatus::TfrmGpsStatus(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmGpsStatus";
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  BuildControls();
  GpsRxMain->OnGpsActivate = [this](TComponent* s) { GpsRxMainGpsActivate(s); };
  GpsRxMain->OnGpsDeactivate = [this](TComponent* s) { GpsRxMainGpsDeactivate(s); };
  GpsRxMain->OnGpsTimeOut = [this](TComponent* s) { GpsRxMainGpsTimeOut(s); };
  GpsRxMain->OnGpsLost = [this](TComponent*) { views_->ReceiverLost(); };
  GpsRxMain->SetOnDataError([this](TComponent* s) { GpsRxMainDataError(s); });
  GpsRxMain->SetOnNewDataOk(
      [this](TComponent* s, const std::string& m) { GpsRxMainNewDataOk(s, m); });
  ResetGpsDisplay();
}

TfrmGpsStatus::~TfrmGpsStatus() {
  // The receiver is stopped before the window goes; closing the port keeps the event
  // loop running for a second, in which neither the refresh nor a handler may run.
  Timer1->SetEnabled(false);
  GpsRxMain->OnGpsDeactivate = nullptr;
  GpsRxMain->OnGpsLost = nullptr;
  GpsRxMain->SetRun(false);
}

void TfrmGpsStatus::BuildControls() {
  auto panel = [this](TWinControl* parent, const char* name, int x, int y, int w, int h,
                      const std::string& caption = {}) {
    auto* p = NewControl<TMyPanel>(this, parent, name, x, y, w, h);
    p->SetCaption(caption);
    return p;
  };
  auto hiddenButton = [this](const char* name) {
    auto* b = NewControl<TMyButton>(this, this, name);
    b->SetChecker(true);
    b->SetDown(true);
    b->SetVisible(false);
    return b;
  };
  auto hiddenLabel = [this](const char* name) {
    auto* l = NewControl<TLabel>(this, this, name);
    l->SetVisible(false);
    return l;
  };

  int y = 0;
  mpnlTop = panel(this, "mpnlTop", 0, y, kWidth, 20, "GPS");
  mpnlTop->SetMove(true);
  mbtnClose = NewControl<TMyButton>(this, mpnlTop, "mbtnClose", kWidth - 18, 2, 16, 16);
  mbtnClose->SetCaption("x");
  mbtnClose->OnClick = [this](TComponent* s) { mbtnCloseClick(s); };
  y += 20;
  mpnlStatus = panel(this, "mpnlStatus", 0, y, kWidth, kRow);
  y += kRow;
  const int lampWidth = kWidth / 5;
  mpnlGPS = panel(this, "mpnlGPS", 0, y, lampWidth, kRow, "GPS");
  mpnlRMC = panel(this, "mpnlRMC", lampWidth, y, lampWidth, kRow, "RMC");
  mpnlGGA = panel(this, "mpnlGGA", 2 * lampWidth, y, lampWidth, kRow, "GGA");
  mpnlGSA = panel(this, "mpnlGSA", 3 * lampWidth, y, lampWidth, kRow, "GSA");
  mpnlGSV = panel(this, "mpnlGSV", 4 * lampWidth, y, kWidth - 4 * lampWidth, kRow, "GSV");
  for (TMyPanel* lamp : {mpnlGPS, mpnlRMC, mpnlGGA, mpnlGSA, mpnlGSV}) lamp->SetGlowPaint(true);
  y += kRow;
  mpnlLati = panel(this, "mpnlLati", 0, y, kWidth, kRow);
  y += kRow;
  mpnlLong = panel(this, "mpnlLong", 0, y, kWidth, kRow);
  y += kRow;
  mpnlSTD = panel(this, "mpnlSTD", 0, y, kWidth, 122);
  // The diagram comes in its own size, centred on its panel.
  stdMain = NewControl<TSatTrackingDiagram>(this, mpnlSTD, "stdMain");
  stdMain->SetBounds((kWidth - stdMain->Width()) / 2, 11, stdMain->Width(), stdMain->Height());
  y += 122;
  mpnlSignal = panel(this, "mpnlSignal", 0, y, kWidth, 0);
  for (int k = 0; k < kGpsSignalBars; ++k) {
    auto* bar =
        NewControl<TMyProgressBar>(this, mpnlSignal, "mpbS" + IntToStr(k + 1),
                                   kBarLeft + kBarPitch * k, kBarTop, kBarWidth, kBarHeight);
    bar->SetOrientation(pbVertical);
    bar->SetMin(0);
    bar->SetMax(kSnrMax);
    bar->SetShowHint(true);
    // An 11-pixel bar has no room for a percentage; the hint gives the signal.
    bar->SetShowPercent(false);
    mpbS[k] = bar;
    auto* label = NewControl<TLabel>(this, mpnlSignal, "lblS" + IntToStr(k + 1));
    // Two digits fit the 13 pixels of a bar's column (PlaceSignalLabels for three).
    label->Font().SetHeight(-8);
    label->SetCaption("00");
    lblS[k] = label;
  }
  // Room for a second row of numbers below the bars.
  const int signalHeight = kLabelTop + 2 * lblS[0]->Height() + 2;
  mpnlSignal->SetBounds(0, y, kWidth, signalHeight);
  PlaceSignalLabels();
  y += signalHeight;
  mpnlLoc = panel(this, "mpnlLoc", 0, y, kWidth, kRow);
  y += kRow;
  const int dopWidth = kWidth / 3;
  mpnlPDOP = panel(this, "mpnlPDOP", 0, y, dopWidth, kRow);
  mpnlHDOP = panel(this, "mpnlHDOP", dopWidth, y, dopWidth, kRow);
  mpnlVDOP = panel(this, "mpnlVDOP", 2 * dopWidth, y, kWidth - 2 * dopWidth, kRow);
  y += kRow;
  SetClientSize(kWidth, y);

  mbtnGGA = hiddenButton("mbtnGGA");
  mbtnGSA = hiddenButton("mbtnGSA");
  mbtnGSV = hiddenButton("mbtnGSV");
  mbtnRMC = hiddenButton("mbtnRMC");
  stxtDAT = hiddenLabel("stxtDAT");
  stxtDGPSAge = hiddenLabel("stxtDGPSAge");
  stxtDGPSID = hiddenLabel("stxtDGPSID");

  GpsRxMain = new TGpsRx(this);
  GpsRxMain->Name = "GpsRxMain";
  Timer1 = new TTimer(this);
  Timer1->Name = "Timer1";
  Timer1->SetEnabled(false);
  Timer1->SetInterval(kGpsRefreshMs);
  Timer1->OnTimer = [this](TComponent* s) { Timer1Timer(s); };
}

void TfrmGpsStatus::ShowPanelError(TMyPanel* Panel) {
  Panel->Font().SetColor(clYellow);
  Panel->SetColor(kErrorColor);
  Panel->SetColor2(ShadeColor(false, kErrorColor, kErrorShade));
}

void TfrmGpsStatus::SetPanelState(TMyPanel* Panel, bool On) {
  if (On) {
    Panel->Font().SetColor(stdMain->SatFontInUse());
    Panel->SetColor(stdMain->SatNoInUse());
    Panel->SetColor2(stdMain->SatInUse());
  } else {
    Panel->Font().SetColor(stdMain->SatFontNoInUse());
    Panel->SetColor(stdMain->Color());
    Panel->SetColor2(stdMain->Color2());
  }
}

void TfrmGpsStatus::Lamp(int Picture) {
  views_->SetGpsLamp(Picture);
}

void TfrmGpsStatus::SetGpsPosButton(bool Enabled) {
  views_->EnableSetGpsPos(Enabled);
}

void TfrmGpsStatus::OwnPositionChanged() {
  views_->ShowOwnPosition();
}

void TfrmGpsStatus::ResetGpsDisplay() {
  SetGpsPosButton(false);
  GpsDataError = false;
  GpsDataOk = false;
  GpsPositionValid = false;
  GpsLat = 0;
  GpsLon = 0;
  mpnlStatus->SetCaption(views_->StatusText(kGpsStatusNoReceiver));
  for (TMyPanel* p : {mpnlLati, mpnlLong, mpnlLoc, mpnlPDOP, mpnlHDOP, mpnlVDOP}) p->SetCaption("");
  mpnlGPS->SetCaption("GPS");
  stdMain->ClearData();
  for (TMyPanel* lamp : {mpnlGGA, mpnlGSA, mpnlGSV, mpnlRMC, mpnlGPS}) SetPanelState(lamp, false);
  for (int k = 0; k < kGpsSignalBars; ++k) {
    lblS[k]->SetCaption("00");
    mpbS[k]->SetPosition(0);
  }
  PlaceSignalLabels();
}

void TfrmGpsStatus::RefreshGpsStatus() {
  if (GpsDataError) {
    ResetGpsDisplay();
    ShowPanelError(mpnlGPS);
    mpnlStatus->SetCaption(views_->StatusText(kGpsStatusNmeaError));
  }
  TGpsGGA gga;
  TGpsGSA gsa;
  TGpsGSV gsv;
  TGpsRMC rmc;
  GpsRxMain->GetGGA(gga);
  GpsRxMain->GetGSA(gsa);
  GpsRxMain->GetGSV(gsv);
  GpsRxMain->GetRMC(rmc);
  gga.Valid = gga.Valid && mbtnGGA->Down();
  gsa.Valid = gsa.Valid && mbtnGSA->Down();
  gsv.Valid = gsv.Valid && mbtnGSV->Down();
  rmc.Valid = rmc.Valid && mbtnRMC->Down();

  SetPanelState(mpnlGGA, gga.Valid);
  SetPanelState(mpnlGSA, gsa.Valid);
  SetPanelState(mpnlGSV, gsv.Valid);
  SetPanelState(mpnlRMC, rmc.Valid);
  stxtDAT->SetCaption(gga.Raw + "\r" + gsa.Raw + "\r" + gsv.Raw1 + "\r" + gsv.Raw2 + "\r" +
                      gsv.Raw3 + "\r" + rmc.Raw);

  if (rmc.Valid) {
    if (rmc.TimeValid) mpnlStatus->SetCaption(GpsStatusTime(rmc.DateTime));
    if (!gga.Valid) {
      if (rmc.Active) {
        SetPanelState(mpnlGPS, true);
        mpnlGPS->SetCaption("GPS");
      } else {
        ShowPanelError(mpnlGPS);
      }
    }
    const bool hadPosition = GpsPositionValid;
    GpsPositionValid = RmcFixPosition(rmc, GpsLat, GpsLon);
    if (GpsPositionValid) {
      mpnlLati->SetCaption(DegToLatText(GpsLat));
      mpnlLong->SetCaption(DegToLonText(GpsLon));
      mpnlLoc->SetCaption(LatLonToMaidenhead(GpsLat, GpsLon));
    }
    if (GpsPositionValid || hadPosition) OwnPositionChanged();
    SetGpsPosButton(HasGpsPosition());
    stdMain->CaptionSpeed = GpsSpeedCaption(rmc.Speed);
    stdMain->CaptionDirection = GpsCourseCaption(rmc.Speed, rmc.Course);
  }

  if (gga.Valid) {
    stdMain->SetGpsGGA(gga);
    if (gga.FixValid) {
      SetPanelState(mpnlGPS, true);
      mpnlGPS->SetCaption(GpsQualityCaption(gga.Quality));
    } else {
      mpnlGPS->SetCaption("FIX");
      ShowPanelError(mpnlGPS);
    }
    if (!gsa.Valid) mpnlHDOP->SetCaption(Dop(gga.HDOP));
    stdMain->CaptionHeight = FormatFloat("0.0", gga.Altitude) + "m";
    stxtDGPSAge->SetCaption(FormatFloat("0.0", gga.DgpsAge) + "s");
    stxtDGPSID->SetCaption(FormatFloat("0000", gga.DgpsStation));
  }

  if (gsv.Valid) {
    stdMain->SetGpsGSV(gsv);
    for (int k = 0; k < kGpsSignalBars; ++k) {
      lblS[k]->SetCaption(FormatFloat("00", gsv.Sat[k].Prn));
      mpbS[k]->SetPosition(gsv.Sat[k].Snr);
    }
    PlaceSignalLabels();
  }

  if (gsv.Valid && gsa.Valid) {
    stdMain->SetGpsGSA(gsa);
    for (int k = 0; k < kGpsSignalBars; ++k) ShowSatBar(gsv.Sat[k], mpbS[k]);
    mpnlPDOP->SetCaption(Dop(gsa.PDOP));
    mpnlHDOP->SetCaption(Dop(gsa.HDOP));
    mpnlVDOP->SetCaption(Dop(gsa.VDOP));
  }
  stdMain->Invalidate();
}

// Each number stands centred under its bar. Where two neighbours would run together
// (three-digit numbers such as BeiDou 201-237), every other number drops to a second row.
void TfrmGpsStatus::PlaceSignalLabels() {
  bool crowded = false;
  for (int k = 1; k < kGpsSignalBars; ++k) {
    crowded = crowded || (lblS[k - 1]->Width() + lblS[k]->Width()) / 2 + kLabelGap > kBarPitch;
  }
  for (int k = 0; k < kGpsSignalBars; ++k) {
    TLabel& label = *lblS[k];
    const int centre = kBarLeft + kBarPitch * k + kBarWidth / 2;
    const int row = crowded && k % 2 == 1 ? 1 : 0;
    label.SetBounds(centre - label.Width() / 2, kLabelTop + row * label.Height(), label.Width(),
                    label.Height());
  }
}

void TfrmGpsStatus::ShowSatBar(const TGpsSat& Sat, TMyProgressBar* Bar) {
  if (Sat.Prn == 0) {
    Bar->SetHint("");
    return;
  }
  const bool inUse = stdMain->IsPrnInUse(Sat);
  // Satellite 2 of GPS and of Galileo are two satellites: the hint names the system.
  const std::string first =
      WithValues(views_->StatusText(inUse ? kGpsSatInUse : kGpsSatInView), {GpsSatName(Sat)});
  Bar->SetHint(first + "\n\r" + WithValues(views_->StatusText(kGpsSatSignal), {IntToStr(Sat.Snr)}) +
               "\n\r" +
               WithValues(views_->StatusText(kGpsSatPlace),
                          {IntToStr(Sat.Azimuth), IntToStr(Sat.Elevation)}));
  const TColor base = inUse ? stdMain->SatInUse() : stdMain->SatNoInUse();
  Bar->SetColorFillBar(ShadeColor(true, base, kBarShade));
  Bar->SetColorFillBar2(base);
}

void TfrmGpsStatus::GpsRxMainDataError(TComponent*) {
  SetGpsPosButton(false);
  Lamp(2);
  ShowPanelError(mpnlGPS);
  mpnlStatus->SetCaption(views_->StatusText(kGpsStatusDataError));
  GpsDataError = true;
  GpsDataOk = false;
  OwnPositionChanged();
}

void TfrmGpsStatus::GpsRxMainGpsActivate(TComponent*) {
  Lamp(0);
  ShowPanelError(mpnlGPS);
  mpnlStatus->SetCaption(views_->StatusText(kGpsStatusWaiting));
  GpsDataError = false;
  GpsDataOk = false;
  OwnPositionChanged();
  Timer1->SetEnabled(true);
}

void TfrmGpsStatus::GpsRxMainGpsDeactivate(TComponent*) {
  Lamp(0);
  SetPanelState(mpnlGPS, false);
  ResetGpsDisplay();
  OwnPositionChanged();
  Timer1->SetEnabled(false);
}

void TfrmGpsStatus::GpsRxMainGpsTimeOut(TComponent*) {
  Lamp(2);
  ResetGpsDisplay();
  ShowPanelError(mpnlGPS);
  mpnlStatus->SetCaption(views_->StatusText(kGpsStatusLost));
  // The reset dropped the own position; the map must stop showing it.
  OwnPositionChanged();
}

void TfrmGpsStatus::GpsRxMainNewDataOk(TComponent*, const std::string&) {
  Lamp(1);
  GpsDataError = false;
  GpsDataOk = true;
  // A correct sentence is no fix: without one the button would copy 0/0.
  SetGpsPosButton(HasGpsPosition());
}

void TfrmGpsStatus::Timer1Timer(TComponent*) {
  RefreshGpsStatus();
}

void TfrmGpsStatus::mbtnCloseClick(TComponent*) {
  Close();
}

void TfrmGpsStatus::Button1Click(TComponent*) {
  for (int i = 0; i < Memo1.Count(); ++i) {
    GpsRxMain->FeedText(Memo1[i] + "\r");
    if (i % 10 == 0) Application->ProcessMessages();
  }
}

void TfrmGpsStatus::Button2Click(TComponent*) {
  GpsRxMain->SetRun(!GpsRxMain->Run());
}

#include "app/program/frm_info.h"

#include "app/language/frm_prg_msg.h"
#include "app/map/frm_aprs.h"
#include "app/product.h"
#include "app/shelf/program_logo.h"
#include "app/shelf/window_shape.h"
#include "platform/gui/controls/new_control.h"
#include "platform/text/format.h"

TfrmInfo* frmInfo = nullptr;

const char* const kLastChangeDate = "16.12.2008";

namespace {

constexpr const char* kMakerUrl = "https://www.example.org/velmora/";
constexpr const char* kMakerMail = "velmora@example.org";
constexpr int kWidth = 360;
constexpr int kHeight = 260;
constexpr int kCorner = 40;
constexpr int kLogoSize = 64;
constexpr TColor kOutside = clFuchsia;

// The background: a white card with round corners; what lies outside is cut away.
void DrawBackground(TBitmap& Picture) {
  Picture.SetSize(kWidth, kHeight);
  TCanvas& canvas = Picture.Canvas();
  canvas.Brush().SetColor(kOutside);
  canvas.FillRect(Rect(0, 0, kWidth, kHeight));
  canvas.Brush().SetColor(clWhite);
  canvas.Pen().SetColor(clNavy);
  canvas.RoundRect(0, 0, kWidth, kHeight, kCorner, kCorner);
  Picture.SetTransparentColor(kOutside);
}

}  // namespace

TfrmInfo::TfrmInfo(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmInfo";
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientSize(kWidth, kHeight);
  SetColor(clWhite);
  Image1 = NewControl<TImage>(this, this, "Image1", 0, 0, kWidth, kHeight);
  DrawBackground(Image1->Picture().Bitmap());
  SetWindowRegion(PictureShapeRects(Image1->Picture().Bitmap()));
  imgLogo = NewControl<TImage>(this, this, "imgLogo", 16, 16, kLogoSize, kLogoSize);
  DrawProgramLogo(imgLogo->Picture().Bitmap(), kLogoSize);
  imgLogo->SetTransparent(true);
  htmlblInfo = NewControl<THtmlLabel>(this, this, "htmlblInfo", 20, 90, 320, 100);
  // The label grows downwards with its text and lets the background picture show.
  htmlblInfo->SetAutoSizeType(asVertical);
  htmlblInfo->SetAutoSizing(true);
  htmlblInfo->SetTransparent(true);
  htmlblInfo->SetHoverColor(clNone);
  htmlblInfo->SetHoverFontColor(clNone);
  ilblUrl = NewControl<TMyInetLabel>(this, this, "ilblUrl", 20, 196, 320, 15);
  ilblUrl->SetInternet(itWeb);
  ilblUrl->SetUrl(kMakerUrl);
  ilblUrl->SetCaption(kMakerUrl);
  ilblMail = NewControl<TMyInetLabel>(this, this, "ilblMail", 20, 214, 320, 15);
  ilblMail->SetInternet(itEmail);
  ilblMail->SetEmail(kMakerMail);
  ilblMail->SetCaption(kMakerMail);
  // A mail to the maker is about this program: its name and version say which.
  ilblMail->Subject = std::string(kProductName) + " " + kProgramVersion;
  mbtnClose = NewControl<TMyButton>(this, this, "mbtnClose", 120, 232, 120, 22);
  mbtnClose->SetCaption(
      "Fenster schlie\xDF"
      "en");
  mbtnClose->SetVisible(false);
  mbtnClose->OnClick = [this](TComponent* Sender) { mbtnCloseClick(Sender); };
  Timer1 = new TTimer(this);
  Timer1->Name = "Timer1";
  Timer1->SetEnabled(false);
  Timer1->SetInterval(kSplashMs);
  Timer1->OnTimer = [this](TComponent* Sender) { Timer1Timer(Sender); };
  OnShow = [this](TComponent* Sender) { FormShow(Sender); };
  frmInfo = this;
  DoCreate();
}

TfrmInfo::~TfrmInfo() {
  if (frmInfo == this) frmInfo = nullptr;
}

std::string TfrmInfo::AboutText() {
  const std::string version = frmPrgMsg ? frmPrgMsg->lblWordVersion->Caption() : "Version";
  const std::string lastChange =
      frmPrgMsg ? frmPrgMsg->lblInfLastChange->Caption() : "letzte \xC4nderung am";
  return std::string("<P align=\"center\"><B><FONT size=\"20\" color=\"#0000FF\">") + kProductName +
         "</FONT></B><br>" +
         Format("<B><FONT size=\"10\" color=\"#000000\">%s %s</FONT></B><br><br>", version,
                kProgramVersion) +
         Format("<FONT size=\"10\" color=\"#000000\">%s %s</FONT><br><br>", lastChange,
                kLastChangeDate) +
         "</P>";
}

void TfrmInfo::FormShow(TComponent*) {
  htmlblInfo->HTMLText().SetText(AboutText());
  htmlblInfo->Repaint();
}

void TfrmInfo::mbtnCloseClick(TComponent*) {
  if (!Timer1->Enabled()) Close();
}

void TfrmInfo::Timer1Timer(TComponent*) {
  Timer1->SetEnabled(false);
  mbtnClose->SetVisible(true);
  Close();
}

void TfrmInfo::ShowSplash() {
  mbtnClose->SetVisible(false);
  Show();
  Repaint();
  BringToFront();
  Timer1->SetEnabled(true);
}

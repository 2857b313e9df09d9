// The about window; at start-up it shows for three seconds as the splash screen.
#pragma once

#include "controls/my_button.h"
#include "controls/my_inet_label.h"
#include "html/html_label.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/image.h"
#include "platform/sys/timer.h"

constexpr unsigned kSplashMs = 3000;
extern const char* const kLastChangeDate;  // "16.12.2008"

class TfrmInfo : public TForm {
 public:
  explicit TfrmInfo(TComponent* AOwner);
  ~TfrmInfo() override;

  TImage* Image1;
  TImage* imgLogo;
  THtmlLabel* htmlblInfo;
  TMyInetLabel* ilblUrl;
  TMyInetLabel* ilblMail;
  TMyButton* mbtnClose;
  TTimer* Timer1;

  // The about text from the (translated) words of the message window.
  static std::string AboutText();

  void FormShow(TComponent* Sender);
  // Closes the window, but not while the splash timer runs.
  void mbtnCloseClick(TComponent* Sender);
  // Ends the splash: the timer stops, the button shows and the window closes.
  void Timer1Timer(TComponent* Sender);
  // Shows the window as the splash screen: buttons hidden, painted at once, in front,
  // closed by Timer1.
  void ShowSplash();

  std::string ClassName() const override { return "TfrmInfo"; }
};

extern TfrmInfo* frmInfo;

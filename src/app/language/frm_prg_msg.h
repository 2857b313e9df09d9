// The hidden window of message texts: texts the program composes at run time are the
// captions of its labels, so that the language files translate them like any other
// caption. GetPrgMsg gives a label's caption with "%cr%" as a line break.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "lists/ex_page_control.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/label.h"

class TfrmPrgMsg : public TForm {
 public:
  explicit TfrmPrgMsg(TComponent* AOwner);
  ~TfrmPrgMsg() override;

  TExPageControl* pctrlMsgTyp;
  TLabel* lblWordVersion;
  TLabel* lblInfLastChange;
  TLabel* lblInfOwnCall;
  TLabel* lblQueAdd;
  // The word after the number of the map window's station counter.
  TLabel* lblWordStations;
  // The detail window's words: " [direkt]" for a station heard directly, "to" before
  // the destination, and the owner of an object or item.
  TLabel* lblWordDirect;
  TLabel* lblWordTo;
  TLabel* lblWordObjectOwner;
  TLabel* lblWordItemOwner;
  // The texts of the Mic-E message codes 0 to 21 and of the weather report states 0 to
  // 2, one line each.
  TLabel* lblMicEMsgs;
  TLabel* lblWxReportStates;
  // The detail window's weather words of a pressure, from storm to very dry, one line
  // each.
  TLabel* lblWxPressureWords;
  // The language of the texts the desktop's own dialogs show, as a language code ("de",
  // "en"): the program's texts are German until a language file says otherwise.
  TLabel* lblWordLanguage;
  TLabel* lblQueDelAll;
  // The kinds of file the map window's chooser offers (description|pattern|...).
  TLabel* lblWordMapFilter;
  TLabel* lblInfSetupVersion;
  TLabel* lblErrWxFileNotFound;  // "%s": the file name
  TLabel* lblErrWxFileFormat;
  // The messaging window's refusals.
  TLabel* lblErrMsgSameCall;
  TLabel* lblErrMsgNoText;
  // The status texts of the TNC, the APRS-IS connection and the GPS receiver.
  TLabel* lblInfTncConnecting;
  TLabel* lblInfTncDisconnected;
  TLabel* lblInfTncLost;
  TLabel* lblInfTncNotReading;
  TLabel* lblInfTcpConnected;
  TLabel* lblInfTcpDisconnected;
  TLabel* lblInfTcpLost;
  TLabel* lblInfTcpSilent;
  TLabel* lblInfGpsNoReceiver;
  TLabel* lblInfGpsWaiting;
  TLabel* lblInfGpsDataError;
  TLabel* lblInfGpsNmeaError;
  TLabel* lblInfGpsLost;
  // The lines of the GPS window's signal bar hints; "%d" stands for a number.
  TLabel* lblInfGpsSatInUse;
  TLabel* lblInfGpsSatInView;
  TLabel* lblInfGpsSatSignal;
  TLabel* lblInfGpsSatPlace;
  // The texts the rest of the program and its libraries show by their own wording (see
  // platform/text/local_texts.h): each label's first caption is that wording.
  TLabel* lblWordError;
  TLabel* lblErrRs232Open;
  TLabel* lblErrRs232Setup;
  TLabel* lblErrRs232Dcb;
  TLabel* lblErrTncGone;
  TLabel* lblErrWxCom;
  TLabel* lblErrNumberRange;
  TLabel* lblInfNumberRange;
  TLabel* lblErrBitmapTooSmall;
  TLabel* lblErrNoServer;
  TLabel* lblErrNoCalibration;
  TLabel* lblErrMapGone;
  TLabel* lblErrMapUnreadable;
  TLabel* lblErrMapTooLarge;
  TLabel* lblErrServerList;
  TLabel* lblErrSettingsDamaged;
  TLabel* lblErrSettingsKept;
  TLabel* lblErrSettingsLeft;
  TLabel* lblErrSpeakDestroyed;
  TLabel* lblErrSpeakDelete;
  TLabel* lblErrSpeakVersion;
  TLabel* lblErrSpeakNotRead;
  TLabel* lblErrSpeakUntranslated;
  TLabel* lblErrSpeakUntranslatedMore;
  TLabel* lblErrLogLinesLost;  // "%d": the packets lost, "%s": the log file

  // Hands the program's texts, in the language the labels now hold, to LocalText.
  void PublishLocalTexts() const;

  std::string ClassName() const override { return "TfrmPrgMsg"; }

 private:
  // Every label by its first caption, line breaks as CR LF.
  std::vector<std::pair<std::string, const TLabel*>> text_labels_;
};

extern TfrmPrgMsg* frmPrgMsg;

// The caption of Label with every "%cr%" turned into CR LF.
std::string GetPrgMsg(const TLabel& Label);
// One of the labels of TfrmPrgMsg.
using TPrgMsgLabel = TLabel* TfrmPrgMsg::*;
// The caption of frmPrgMsg's label Label, as GetPrgMsg; Fallback while that window does
// not exist.
std::string PrgMsg(TPrgMsgLabel Label, const std::string& Fallback = {});
// Line Index of that caption, or empty.
std::string PrgMsgLine(TPrgMsgLabel Label, int Index);

// The hidden window of message texts: texts the program composes at run time are the
// captions of its labels, so that the language files translate them like any other
// caption. GetPrgMsg gives a label's caption with "%cr%" as a line break.
#pragma once

#include "lists/ex_page_control.h"
#include "platform/gui/forms.h"
#include "platform/gui/label.h"

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

  std::string ClassName() const override { return "TfrmPrgMsg"; }
};

extern TfrmPrgMsg* frmPrgMsg;

// The caption of Label with every "%cr%" turned into CR LF.
std::string GetPrgMsg(const TLabel& Label);

#include "app/frm_log.h"

#include "app/form_build.h"

TfrmLog* frmLog = nullptr;

TfrmLog::TfrmLog(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmLog";
  SetFormStyle(fsStayOnTop);
  SetClientSize(300, 140);
  mbtnFilter = NewSwitch(this, this, "mbtnFilter", "FILTER", 8, 8, 75, 25);
  mbtnFilter->SetHint("show/hide filter option");
  mbtnFilter->OnClick = [this](TComponent* Sender) { mbtnFilterClick(Sender); };
  mpnlFilter = NewControl<TMyPanel>(this, this, "mpnlFilter", 8, 40, 284, 92);
  mpnlFilter->SetVisible(false);
  memFilter = NewControl<TMemo>(this, mpnlFilter, "memFilter", 4, 4, 276, 84);
  frmLog = this;
  DoCreate();
}

TfrmLog::~TfrmLog() {
  if (frmLog == this) frmLog = nullptr;
}

void TfrmLog::mbtnFilterClick(TComponent*) {
  mpnlFilter->SetVisible(mbtnFilter->Down());
}

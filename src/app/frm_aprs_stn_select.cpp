#include "app/frm_aprs_stn_select.h"

TfrmAprsStnSelect* frmAprsStnSelect = nullptr;

TfrmAprsStnSelect::TfrmAprsStnSelect(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmAprsStnSelect";
  SetFormStyle(fsStayOnTop);
  frmAprsStnSelect = this;
  DoCreate();
}

TfrmAprsStnSelect::~TfrmAprsStnSelect() {
  if (frmAprsStnSelect == this) frmAprsStnSelect = nullptr;
}

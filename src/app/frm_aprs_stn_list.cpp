#include "app/frm_aprs_stn_list.h"

TfrmAprsStnList* frmAprsStnList = nullptr;

TfrmAprsStnList::TfrmAprsStnList(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmAprsStnList";
  SetFormStyle(fsStayOnTop);
  frmAprsStnList = this;
  DoCreate();
}

TfrmAprsStnList::~TfrmAprsStnList() {
  if (frmAprsStnList == this) frmAprsStnList = nullptr;
}

#include "app/frm_aprs_msg.h"

#include "app/form_build.h"

TfrmAprsMsg* frmAprsMsg = nullptr;

TfrmAprsMsg::TfrmAprsMsg(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmAprsMsg";
  SetFormStyle(fsStayOnTop);
  mbtnTxP1 = NewControl<TMyButton>(this, this, "mbtnTxP1", 8, 8, 75, 25);
  mbtnTxP2 = NewControl<TMyButton>(this, this, "mbtnTxP2", 88, 8, 75, 25);
  frmAprsMsg = this;
  DoCreate();
}

TfrmAprsMsg::~TfrmAprsMsg() {
  if (frmAprsMsg == this) frmAprsMsg = nullptr;
}

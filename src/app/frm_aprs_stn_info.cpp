#include "app/frm_aprs_stn_info.h"

#include "app/form_build.h"

TfrmAprsStnInfo* frmAprsStnInfo = nullptr;

TfrmAprsStnInfo::TfrmAprsStnInfo(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmAprsStnInfo";
  SetFormStyle(fsStayOnTop);
  mbtnShowLock = NewSwitch(this, this, "mbtnShowLock", "", 8, 8, 75, 25);
  mbtnShowAx25 = NewSwitch(this, this, "mbtnShowAx25", "", 88, 8, 75, 25);
  mbtnFollowRx = NewSwitch(this, this, "mbtnFollowRx", "", 168, 8, 75, 25);
  frmAprsStnInfo = this;
  DoCreate();
}

TfrmAprsStnInfo::~TfrmAprsStnInfo() {
  if (frmAprsStnInfo == this) frmAprsStnInfo = nullptr;
}

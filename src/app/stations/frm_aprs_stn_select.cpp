#include "app/stations/frm_aprs_stn_select.h"

#include "platform/gui/controls/new_control.h"

TfrmAprsStnSelect* frmAprsStnSelect = nullptr;

TfrmAprsStnSelect::TfrmAprsStnSelect(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmAprsStnSelect";
  SetCaption("frmAprsStnSelect");
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetClientSize(141, 120);
  Font().SetName("Tahoma");

  mpnlMain = NewControl<TMyPanel>(this, this, "mpnlMain", 0, 0, 141, 120);
  mpnlMain->SetPaintBorder({bpTop, bpBottom, bpLeft, bpRight});
  mpnlTop = NewControl<TMyPanel>(this, mpnlMain, "mpnlTop", 1, 1, 139, 18);
  mpnlTop->SetCaption("Station ausw\xE4hlen...");
  mpnlTop->Font().SetStyle(fsBold);
  mpnlTop->SetColor(0xFAFAFA);
  mpnlTop->SetColor2(0xEAEAEA);
  mpnlTop->SetMove(true);
  mpnlTop->SetGlowPaint(true);
  lboxStnSelect = NewControl<TListBox>(this, mpnlMain, "lboxStnSelect", 1, 19, 139, 100);
  lboxStnSelect->SetColor(0xAAF9FB);
  // The map window draws the rows (selected ones black).
  lboxStnSelect->SetStyle(lbOwnerDrawFixed);
  lboxStnSelect->OnClick = [this](TComponent* Sender) { lboxStnSelectClick(Sender); };

  frmAprsStnSelect = this;
  DoCreate();
}

TfrmAprsStnSelect::~TfrmAprsStnSelect() {
  if (frmAprsStnSelect == this) frmAprsStnSelect = nullptr;
}

// The detail window the map opens comes to the front; the pick list follows it so
// that further stations can be picked.
void TfrmAprsStnSelect::lboxStnSelectClick(TComponent* Sender) {
  if (OnStationPicked) OnStationPicked(Sender);
  Show();
  BringToFront();
}

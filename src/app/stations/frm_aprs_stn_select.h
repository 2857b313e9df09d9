// The pick list of the stations under a double click on the map: the map window fills
// it with their keys; clicking one opens that station while the list stays in front.
#pragma once

#include <functional>

#include "controls/my_panel.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/list_box.h"

class TfrmAprsStnSelect : public TForm {
 public:
  explicit TfrmAprsStnSelect(TComponent* AOwner);
  ~TfrmAprsStnSelect() override;

  TMyPanel* mpnlMain;
  TMyPanel* mpnlTop;
  TListBox* lboxStnSelect;

  // The map window's handling of a picked entry (it opens that station).
  TNotifyEvent OnStationPicked;

  void lboxStnSelectClick(TComponent* Sender);

  std::string ClassName() const override { return "TfrmAprsStnSelect"; }
};

extern TfrmAprsStnSelect* frmAprsStnSelect;

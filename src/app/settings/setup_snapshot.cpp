#include "app/settings/setup_snapshot.h"

#include "app/settings/frm_setup.h"

namespace {

template <typename Visit>
void ForEachComponent(const TfrmSetup& Form, Visit visit) {
  for (int i = 0; i < Form.ComponentCount(); ++i) visit(*Form.Components(i));
}

}  // namespace

void TSetupSnapshot::Take(const TfrmSetup& Form) {
  texts_.clear();
  choices_.clear();
  switches_.clear();
  ForEachComponent(Form, [this](TComponent& c) {
    if (auto* edit = dynamic_cast<TCustomEdit*>(&c)) texts_[c.Name] = edit->Text();
    if (auto* memo = dynamic_cast<TMemo*>(&c)) texts_[c.Name] = memo->Text();
    if (auto* combo = dynamic_cast<TMyFlatCombobox*>(&c)) {
      choices_[c.Name] = combo->ItemIndex();
      texts_[c.Name] = combo->Text();  // an editable box may hold a text of no item
    }
    if (auto* button = dynamic_cast<TMyButton*>(&c); button && button->Checker())
      switches_[c.Name] = button->Down();
  });
  symbols_ = {SymTabP1, SymCodeP1, SymTabP2, SymCodeP2};
  own_lat_ = Form.OwnLat;
  own_lon_ = Form.OwnLon;
}

void TSetupSnapshot::Restore(TfrmSetup& Form) const {
  if (symbols_.size() != 4) return;  // nothing taken yet
  // The language first: loading it may give combo boxes new items.
  if (const auto it = texts_.find(Form.mfcbxSpk->Name);
      it != texts_.end() && it->second != Form.mfcbxSpk->Text()) {
    Form.mfcbxSpk->SetText(it->second);
    Form.mfcbxSpkChange(Form.mfcbxSpk);
  }
  // Then the choices: the device's change handler loads the command memos from their
  // files, and the memos' own texts must win over that.
  ForEachComponent(Form, [this](TComponent& c) {
    auto* combo = dynamic_cast<TMyFlatCombobox*>(&c);
    if (const auto it = choices_.find(c.Name); combo && it != choices_.end())
      combo->SetItemIndex(it->second);
  });
  Form.mfcbxDeviceChange(Form.mfcbxDevice);
  Form.mfcbxWxDeviceChange(Form.mfcbxWxDevice);
  ForEachComponent(Form, [this](TComponent& c) {
    const auto text = texts_.find(c.Name);
    if (text != texts_.end()) {
      if (auto* edit = dynamic_cast<TCustomEdit*>(&c)) edit->SetText(text->second);
      if (auto* memo = dynamic_cast<TMemo*>(&c)) memo->SetText(text->second);
      auto* combo = dynamic_cast<TMyFlatCombobox*>(&c);
      if (combo && combo->Text() != text->second) combo->SetText(text->second);
    }
    auto* button = dynamic_cast<TMyButton*>(&c);
    if (const auto it = switches_.find(c.Name); button && it != switches_.end())
      button->SetDown(it->second);
  });
  SymTabP1 = symbols_[0];
  SymCodeP1 = symbols_[1];
  SymTabP2 = symbols_[2];
  SymCodeP2 = symbols_[3];
  Form.OwnLat = own_lat_;
  Form.OwnLon = own_lon_;
  Form.UnitChange(Form.mfcbxHeight);
  Form.RangeChange(Form.nedtPower);
  Form.edtCallP1Change(Form.edtCallP1);
  Form.ShowSymbolImages();
}

// The map clicks that open stations: a click closes the detail and select windows, a
// double click opens them on the stations under the mouse.
#include "app/map/frm_aprs.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_select.h"

void TfrmAprs::AprsCardClick(TComponent*) {
  if (frmAprsStnInfo && !frmAprsStnInfo->mbtnShowLock->Down()) {
    ::ShownKey.clear();
    frmAprsStnInfo->Close();
  }
  if (frmAprsStnSelect) frmAprsStnSelect->Close();
}

void TfrmAprs::AprsCardDblClick(TComponent*) {
  if (!frmAprsStnSelect || !frmAprsStnInfo) return;
  const TPickList pick = PickStationsAtCursor(*Map, Stations.StationList);
  PickKeys = pick.Keys;
  TStringList& rows = frmAprsStnSelect->lboxStnSelect->Items();
  rows.Clear();
  for (const std::string& name : pick.Names) rows.Add(name);
  if (PickKeys.empty()) return;
  const TPoint mouse = Map->imgCard->ClientToScreen(TPoint{Map->CursorX(), Map->CursorY()});
  const bool locked = frmAprsStnInfo->mbtnShowLock->Down();
  if (PickKeys.size() == 1) {
    if (!locked) {
      const TPoint at = DetailWindowPosForOne(mouse, frmAprsStnInfo->Width());
      frmAprsStnInfo->SetBounds(at.X, at.Y, frmAprsStnInfo->Width(), frmAprsStnInfo->Height());
    }
    frmAprsStnInfo->ShowStationInfo(PickKeys.front());
    return;
  }
  frmAprsStnSelect->SetBounds(mouse.X, mouse.Y, frmAprsStnSelect->Width(),
                              frmAprsStnSelect->Height());
  frmAprsStnSelect->lboxStnSelect->SetItemIndex(0);
  if (!locked) {
    const TPoint at = DetailWindowPosBelowSelect(mouse, frmAprsStnSelect->Height());
    frmAprsStnInfo->SetBounds(at.X, at.Y, frmAprsStnInfo->Width(), frmAprsStnInfo->Height());
  }
  frmAprsStnSelect->Show();
  frmAprsStnSelect->lboxStnSelectClick(frmAprsStnSelect->lboxStnSelect);
}

void TfrmAprs::lboxStnSelectClick(TComponent*) {
  if (!frmAprsStnSelect) return;
  const int row = frmAprsStnSelect->lboxStnSelect->ItemIndex();
  if (row < 0 || row >= static_cast<int>(PickKeys.size())) return;
  const std::string& key = PickKeys[static_cast<size_t>(row)];
  if (TAprsSymbol* marker = Map->FindSymbolControl(key)) marker->BringToFront();
  if (frmAprsStnInfo) frmAprsStnInfo->ShowStationInfo(key);
}

void TfrmAprs::lboxStnSelectDrawItem(TWinControl* Control, int Index, const TRect& Rect,
                                     TOwnerDrawState State) {
  auto* list = dynamic_cast<TListBox*>(Control);
  if (!list || Index < 0 || Index >= list->Items().Count()) return;
  DrawPickListRow(list->Canvas(), Rect, list->Items()[Index], (State & odSelected) != 0,
                  list->Color());
}

// The map clicks that open stations: a click closes the detail and select windows, a
// double click opens them on the stations under the mouse.
#include "app/map/frm_aprs.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_select.h"

void TfrmAprs::AprsCardClick(TComponent*) {
  TfrmAprsStnInfo& info = *Peers.Info;
  if (!info.mbtnShowLock->Down()) {
    ::ShownKey.clear();
    info.Close();
  }
  Peers.Select->Close();
}

void TfrmAprs::AprsCardDblClick(TComponent*) {
  TfrmAprsStnInfo& info = *Peers.Info;
  TfrmAprsStnSelect& select = *Peers.Select;
  const TPickList pick = PickStationsAtCursor(*Map, Stations.StationList);
  PickKeys = pick.Keys;
  TStringList& rows = select.lboxStnSelect->Items();
  rows.Clear();
  for (const std::string& name : pick.Names) rows.Add(name);
  if (PickKeys.empty()) return;
  const TPoint mouse = Map->imgCard->ClientToScreen(TPoint{Map->CursorX(), Map->CursorY()});
  const bool locked = info.mbtnShowLock->Down();
  if (PickKeys.size() == 1) {
    if (!locked) {
      const TPoint at = DetailWindowPosForOne(mouse, info.Width());
      info.SetBounds(at.X, at.Y, info.Width(), info.Height());
    }
    info.ShowStationInfo(PickKeys.front());
    return;
  }
  select.SetBounds(mouse.X, mouse.Y, select.Width(), select.Height());
  select.lboxStnSelect->SetItemIndex(0);
  if (!locked) {
    const TPoint at = DetailWindowPosBelowSelect(mouse, select.Height());
    info.SetBounds(at.X, at.Y, info.Width(), info.Height());
  }
  select.Show();
  select.lboxStnSelectClick(select.lboxStnSelect);
}

void TfrmAprs::lboxStnSelectClick(TComponent*) {
  const int row = Peers.Select->lboxStnSelect->ItemIndex();
  if (row < 0 || row >= static_cast<int>(PickKeys.size())) return;
  const std::string& key = PickKeys[static_cast<size_t>(row)];
  if (TAprsSymbol* marker = Map->FindSymbolControl(key)) marker->BringToFront();
  Peers.Info->ShowStationInfo(key);
}

void TfrmAprs::lboxStnSelectDrawItem(TWinControl* Control, int Index, const TRect& Rect,
                                     TOwnerDrawState State) {
  auto* list = dynamic_cast<TListBox*>(Control);
  if (!list || Index < 0 || Index >= list->Items().Count()) return;
  DrawPickListRow(list->Canvas(), Rect, list->Items()[Index], (State & odSelected) != 0,
                  list->Color());
}

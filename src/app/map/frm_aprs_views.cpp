// The map window as the station store's view, and the map clicks that open stations.
#include <algorithm>

#include "app/language/frm_prg_msg.h"
#include "app/map/frm_aprs.h"
#include "app/receive/frm_log.h"
#include "app/settings/frm_setup.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "app/stations/frm_aprs_stn_select.h"

void TfrmAprs::ShowStationOnMap(const TAprsInfo& Info) {
  Map->ShowStation(Info);
}

void TfrmAprs::ShowLoadedStation(const std::string& Record) {
  Map->ShowStationRecord(Record);
}

// The station list lays itself out once for all the rows that came or went.
void TfrmAprs::BeginStationChanges() {
  if (frmAprsStnList) frmAprsStnList->ExSectionList1->BeginUpdate();
}

void TfrmAprs::EndStationChanges() {
  if (frmAprsStnList) frmAprsStnList->ExSectionList1->EndUpdate();
}

void TfrmAprs::FreeStationMarker(const std::string& Key) {
  Map->FreeStationMarker(Key);
}

// Every station going at once: the markers go in one sweep, without a look-up each.
void TfrmAprs::FreeStationMarkers(const std::vector<std::string>& Keys, bool All) {
  if (All) {
    Map->FreeAllSymbols();
    return;
  }
  for (const std::string& key : Keys) Map->FreeStationMarker(key);
}

void TfrmAprs::DeleteSymbolPlaces(const std::string& Key) {
  Map->SymbolPlaces.DeleteSymbolPlaces(Key);
}

// Every station going at once: a place is only ever given to a station in the store,
// so none stays.
void TfrmAprs::DeleteSymbolPlaces(const std::vector<std::string>& Keys, bool All) {
  if (All) {
    Map->SymbolPlaces.Clear();
    return;
  }
  for (const std::string& key : Keys) Map->SymbolPlaces.DeleteSymbolPlaces(key);
}

void TfrmAprs::ClearCrosshair(const std::string& Key) {
  Map->ClearCrosshair(Key);
}

void TfrmAprs::MarkStation(const std::string& Key) {
  Map->ShowStationCrosshair(Key);
}

void TfrmAprs::AddOrUpdateStationRow(const std::string& Record) {
  if (frmAprsStnList) frmAprsStnList->AddOrUpdateStationRow(Record);
}

void TfrmAprs::DeleteStationRow(const std::string& Key) {
  if (frmAprsStnList) frmAprsStnList->DeleteStationRow(Key);
}

void TfrmAprs::DeleteStationRows(const std::vector<std::string>& Keys, bool All) {
  if (frmAprsStnList) frmAprsStnList->DeleteStationRows(Keys, All);
}

void TfrmAprs::ReplaceStationRow(const std::string& Key, const std::string& Record) {
  if (frmAprsStnList) frmAprsStnList->ReplaceStationRow(Key, Record);
}

void TfrmAprs::DeletePickKey(const std::string& Key) {
  const auto it = std::find(PickKeys.begin(), PickKeys.end(), Key);
  if (it == PickKeys.end()) return;
  const int row = static_cast<int>(it - PickKeys.begin());
  PickKeys.erase(it);
  if (!frmAprsStnSelect) return;
  TStringList& rows = frmAprsStnSelect->lboxStnSelect->Items();
  if (row < rows.Count()) rows.Delete(row);
  if (PickKeys.empty()) frmAprsStnSelect->Close();
}

bool TfrmAprs::StationInfoVisible() {
  return frmAprsStnInfo && frmAprsStnInfo->Visible();
}

bool TfrmAprs::FollowRx() {
  return frmAprsStnInfo && frmAprsStnInfo->mbtnFollowRx->Down();
}

std::string TfrmAprs::ShownKey() {
  return ::ShownKey;
}

void TfrmAprs::ShowStationInfo(const std::string& Key) {
  if (frmAprsStnInfo) frmAprsStnInfo->ShowStationInfo(Key);
}

void TfrmAprs::CloseStationInfo() {
  if (frmAprsStnInfo) frmAprsStnInfo->HideStationInfo();
}

void TfrmAprs::ShowStationCount(int Count) {
  const std::string word = frmPrgMsg ? GetPrgMsg(*frmPrgMsg->lblWordStations) : "Stationen";
  lblStnCount->SetCaption(IntToStr(Count) + " " + word);
}

bool TfrmAprs::SoundRxOn() {
  return frmSetup && frmSetup->mbtnSoundRx->Down();
}

bool TfrmAprs::SoundCallOn() {
  return frmSetup && frmSetup->mbtnSoundCall->Down();
}

int TfrmAprs::StationMaxAgeMinutes() {
  return frmSetup ? frmSetup->nedtStnDelete->IntIst() : 0;
}

// The log window flushes its recording on its own clock (timFlush).
void TfrmAprs::LogTick() {}

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
    ShowStationInfo(PickKeys.front());
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
  ShowStationInfo(key);
}

void TfrmAprs::lboxStnSelectDrawItem(TWinControl* Control, int Index, const TRect& Rect,
                                     TOwnerDrawState State) {
  auto* list = dynamic_cast<TListBox*>(Control);
  if (!list || Index < 0 || Index >= list->Items().Count()) return;
  DrawPickListRow(list->Canvas(), Rect, list->Items()[Index], (State & odSelected) != 0,
                  list->Color());
}

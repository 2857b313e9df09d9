// The station list window: every heard station as one row of a grouped column list
// (symbol, callsign, owner, comment, distance, heard via, time last heard), kept up to
// date row by row by the station store. A double click on a row opens the station's
// detail window.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/stations/recycled_nodes.h"
#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "lists/ex_section_list.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/image_list.h"

class TfrmAprsStnList : public TForm {
 public:
  explicit TfrmAprsStnList(TComponent* AOwner);
  ~TfrmAprsStnList() override;

  TMyPanel* mpnlTop;
  TMyButton* mbtnClose;
  TMyPanel* mpnlStnInfo;
  TExSectionList* ExSectionList1;
  // 20 x 20 symbol pictures, primary table first (index = code - 32, + 94 for the
  // alternate table); filled by the map window from the symbol sheets.
  TImageList* imglSym;
  // The list's one group, holding every station.
  TSectionGroup* Group() const { return group_; }

  // Every record of Stations (station records, station_store.h), in list order.
  void FillStationList(const TStrings& Stations);
  // Adds or refreshes the row of one station record.
  void AddOrUpdateStationRow(const std::string& Record);
  void DeleteStationRow(const std::string& Key);
  // The rows of all these keys, sorted once: aging takes thousands at a tick. All: they
  // are every row, which go in one sweep.
  void DeleteStationRows(const std::vector<std::string>& Keys, bool All);
  // DeleteStationRow(Key) and then AddOrUpdateStationRow(Record), in one step: the
  // row keeps its node and strings but goes where a new one would.
  void ReplaceStationRow(const std::string& Key, const std::string& Record);
  // Row index in the group, -1 when the station has no row.
  int FindStationRow(const std::string& Key) const;

  // Opens the detail window for a station key (wired to ShowStationInfo).
  std::function<void(const std::string& Key)> OnShowStation;
  // Distance in km from the own position (set by the wiring before the first row comes).
  std::function<double(double Lat, double Lon)> QrbDistance;

  void ExSectionList1ItemDblClick(TComponent* Sender, POGLItem Item);
  void ExSectionList1CustomCompare(TComponent* Sender, POGLItem Item1, POGLItem Item2, int Column,
                                   const std::string& Value1, const std::string& Value2,
                                   int& Result);
  void ExSectionList1KeyUp(TComponent* Sender, TKeyCode& Key, TShiftState Shift);
  void mbtnCloseClick(TComponent* Sender);

  std::string ClassName() const override { return "TfrmAprsStnList"; }

 private:
  using TRowTexts = std::array<std::string, 7>;
  TRowTexts RowTexts(const std::string& Record) const;
  // The place (row index) of the user's last choice, by mouse or by keys: the focused
  // row. -1 when there is none.
  int ChosenPlace() const;
  // Sorts the rows changed, then selects and focuses the row at Remembered (-1: none).
  void SortKeepingClickedPlace(int Remembered);
  // Takes the row of Key out, if it has one; the caller sorts.
  void RemoveStationRow(const std::string& Key);

  TSectionGroup* group_ = nullptr;
  // The row of each station key: a busy feed updates rows all the time, and a walk
  // over every row per update would grow with the square of the station count. A row's
  // index comes from the list in logarithmic time.
  using TRows = std::unordered_map<std::string, POGLItem>;
  TRows rows_;
  TRecycledNodes<TRows> spare_rows_;
};

extern TfrmAprsStnList* frmAprsStnList;

// The key of a row: MakeStationKey of its owner (text 2) and station (text 1).
std::string StationRowKey(const TStrings& Row);

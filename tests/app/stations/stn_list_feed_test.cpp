// The station list under a feed: 2,000 stations heard through the TNC reach the list
// the way the program wires them (dispatcher, station store, list), and the list is
// scrolled to its end and sorted by every column as a user would.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "../app_windows.h"
#include "app/map/frm_aprs.h"
#include "app/map/map_test_support.h"
#include "app/settings/frm_setup.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "core/kiss_ax25.h"
#include "core/kiss_link.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

constexpr int kStations = 2000;

class StationListFeedTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    frmSetup->edtCallP1->SetText("N0CALL");
    frmSetup->OwnLat = 50.0;
    frmSetup->OwnLon = 10.0;
    frmAprs->MapDir = ShippedDataFolder() + "APRS-Karten/";
    frmAprs->AprsMapFile = frmAprs->MapDir + "Welt.jpg";
    frmAprs->LoadMapFromSettings();
    KissLink.KissActive = 1;
    // Positions spread over 20 x 100 places round the own one; symbols of both tables.
    for (int i = 0; i < kStations; ++i) {
      char call[32];
      std::snprintf(call, sizeof call, "D%c%04d-%d", 'A' + i % 26, i, 1 + i % 9);
      char info[64];
      std::snprintf(info, sizeof info, "!%02d%02d.%02dN%c%03d%02d.%02dE%cStation %d", 45 + i % 20,
                    i % 60, i % 100, i % 3 ? '/' : '\\', 5 + i / 20 % 10, i % 60, i % 97,
                    static_cast<char>('!' + i % 90), i);
      const TKissBuildResult frame = BuildKissFrame(call, "APRS,WIDE1-1", info);
      ASSERT_EQ(frame.Error, TKissBuildError::None);
      KissLink.KissRxBytes(frame.Bytes);
    }
  }
  void TearDown() override {
    KissLink.KissActive = 0;
    AppWindowsTest::TearDown();
  }
};

}  // namespace

TEST_F(StationListFeedTest, TwoThousandStationsScrollAndSortByEveryColumn) {
  TfrmAprsStnList& window = *frmAprsStnList;
  TExSectionList& list = *window.ExSectionList1;
  TSectionGroupedList& rows = list.Engine();
  window.Show();
  ASSERT_EQ(window.Group()->GetCount(), kStations);
  EXPECT_GE(window.FindStationRow(MakeStationKey("", "DA0000-1")), 0);

  // A page at every press of the page keys, down and back up.
  rows.SetFocus();
  rows.FocusItem(window.Group()->GetItemNode(0));
  const int page = rows.ClientHeight() / list.ItemHeight();
  ASSERT_GT(page, 2);
  for (TKeyCode key : {VK_NEXT, VK_PRIOR}) {
    int at = rows.FocusedItem()->Index();
    for (int press = 0; press < 4; ++press) {
      SimulateKey(rows, key);
      const int now = rows.FocusedItem()->Index();
      EXPECT_GE(key == VK_NEXT ? now - at : at - now, press == 0 ? 1 : page - 1)
          << "press " << press << " of key " << key;
      at = now;
    }
  }

  // To the end with the keyboard, back with the wheel.
  rows.FocusItem(window.Group()->GetItemNode(0));
  SimulateKey(rows, VK_END);
  const int end = rows.TotalHeight() - rows.ClientHeight();
  EXPECT_GT(end, 22 * (kStations - 20));
  EXPECT_EQ(rows.TopPosition(), end);
  EXPECT_EQ(rows.FocusedItem(), window.Group()->GetItemNode(kStations - 1));
  SimulateMouseWheel(rows, 120, 100, 100);
  EXPECT_EQ(rows.TopPosition(), end - 120);
  // The last rows are painted down there: their station texts show ink.
  auto shot = Snapshot(rows);
  bool ink = false;
  for (int y = rows.ClientHeight() - 40; y < rows.ClientHeight(); ++y) {
    for (int x = 40; x < 110; ++x) ink |= PixelAt(*shot, x, y) == clBlack;
  }
  EXPECT_TRUE(ink);

  // A click in the middle of each header section sorts by it, again flips it.
  for (int section = 0; section < list.Header().SectionCount(); ++section) {
    int x = list.Header().SectionWidth(section) / 2;
    for (int s = 0; s < section; ++s) x += list.Header().SectionWidth(s);
    const int column = list.SectionToColumn(section);
    for (int pass = 0; pass < 2; ++pass) {
      SimulateClick(list.Header(), x, 10);
      ASSERT_EQ(list.SortSettings.Column(), column);
      // In order by the column's kind, every station still there once.
      std::set<std::string> keys;
      double previous = 0;
      for (int i = 0; i < kStations; ++i) {
        const TStrings& row = window.Group()->GetItemStrings(i);
        keys.insert(StationRowKey(row));
        const std::string text = row.Get(column - 1);
        if (column == 5 || column == 1) {
          const double value = StrToFloat(text);
          if (i > 0) {
            if (list.SortSettings.Direction() == sdAscending) {
              ASSERT_GE(value, previous) << "column " << column;
            } else {
              ASSERT_LE(value, previous) << "column " << column;
            }
          }
          previous = value;
        }
      }
      EXPECT_EQ(keys.size(), static_cast<size_t>(kStations));
    }
  }
}

// All of them aged out at one tick: every record, marker and row goes, the counter
// says so, and a station heard afterwards comes back on the map and in the list.
TEST_F(StationListFeedTest, AllStationsAgeOutOfEveryWindowAtOnce) {
  TStationStore& store = frmAprs->Stations;
  ASSERT_EQ(store.StationList.Count(), kStations);
  ASSERT_EQ(frmAprs->Map->MarkerCount(), kStations);
  ASSERT_EQ(frmAprsStnList->Group()->GetCount(), kStations);
  frmSetup->nedtStnDelete->SetIntIst(30);
  store.Ticks = [] { return GetTickCount() + 24 * 60 * 60 * 1000; };
  store.AgeStations();
  store.Ticks = GetTickCount;
  EXPECT_EQ(store.StationList.Count(), 0);
  EXPECT_EQ(frmAprs->Map->MarkerCount(), 0);
  EXPECT_EQ(frmAprsStnList->Group()->GetCount(), 0);
  EXPECT_EQ(frmAprs->Map->SymbolPlaces.Count(), 0);
  EXPECT_EQ(frmAprs->lblStnCount->Caption().substr(0, 2), "0 ");
  const TKissBuildResult frame = BuildKissFrame("DB0ZZZ-1", "APRS", "!5000.00N/01000.00E>back");
  KissLink.KissRxBytes(frame.Bytes);
  EXPECT_EQ(frmAprs->Map->MarkerCount(), 1);
  EXPECT_EQ(frmAprs->Map->SymbolPlaces.Count(), 1);
  const TAprsSymbol* marker = frmAprs->Map->FindSymbolControl("AAprsDB0ZZZ451");
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->Text(), "DB0ZZZ-1");
  EXPECT_EQ(marker->Parent(), frmAprs->Map->pnlCard);
  EXPECT_EQ(frmAprsStnList->FindStationRow("AAprsDB0ZZZ451"), 0);
  EXPECT_EQ(frmAprsStnList->Group()->GetItemStrings(0).Get(1), "DB0ZZZ-1");
  EXPECT_EQ(frmAprs->lblStnCount->Caption().substr(0, 2), "1 ");
}

#include <gtest/gtest.h>

#include "../app_windows.h"
#include "app/map/frm_aprs.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/app_folders.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "app/stations/frm_aprs_stn_select.h"
#include "app/stations/stn_record_fields.h"
#include "html/picture_container.h"
#include "platform/sys/child_process.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/cp1252.h"
#include "station_records.h"
#include "support/picture_compare.h"

namespace {

class StationListTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    list = frmAprsStnList;
    ASSERT_NE(list, nullptr);
    frmSetup->OwnLat = 52.5;
    frmSetup->OwnLon = 13.4;
  }
  std::string Text(int Row, int Index) const {
    return list->Group()->GetItemStrings(Row).Get(Index);
  }
  std::string Calls() const {
    std::string calls;
    for (int i = 0; i < list->Group()->GetCount(); ++i) calls += Text(i, 1) + " ";
    return calls;
  }
  void Add(const std::string& Call, const std::string& Stamp) {
    TAprsInfo info = SampleStation(Call);
    info.RxStamp = Stamp;
    list->AddOrUpdateStationRow(RecordOf(info));
  }

  TfrmAprsStnList* list = nullptr;
};

}  // namespace

TEST_F(StationListTest, TheWindowAsBuilt) {
  EXPECT_EQ(list->Caption(), "Stationsliste");
  EXPECT_EQ(list->ClientWidth(), 750);
  EXPECT_EQ(list->ClientHeight(), 289);
  EXPECT_EQ(list->mpnlTop->Caption(), "Stationsliste");
  EXPECT_EQ(list->mbtnClose->ModalResult(), mrCancel);
  TExSectionList& grid = *list->ExSectionList1;
  ASSERT_EQ(grid.Columns.Count(), 8);
  const char* captions[] = {"", "SYM", "Station", "Besitzer", "Bemerkung", "QRB", "TX", "Uhrzeit"};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(grid.Columns.Items(c)->Caption(), captions[c]);
  EXPECT_EQ(grid.Header().SectionCount(), 7);  // the group column is hidden
  EXPECT_EQ(grid.Columns.Items(1)->ColumnType(), ctImage);
  EXPECT_EQ(grid.Columns.Items(2)->Font().Style(), fsBold);
  EXPECT_EQ(grid.Columns.Items(5)->Alignment(), taRightJustify);
  EXPECT_EQ(grid.Columns.Items(5)->SortType(), stCustom);
  EXPECT_EQ(grid.SortSettings.Column(), 7);
  EXPECT_EQ(grid.SortSettings.Direction(), sdDescending);
  EXPECT_EQ(grid.ItemHeight(), 22);
  EXPECT_EQ(grid.GroupCount(), 1);
  EXPECT_FALSE(grid.ShowNodes());
  EXPECT_EQ(grid.DragDropSetting, ddDisabled);
  EXPECT_EQ(grid.PreviewSettings.Column(), 4);
  EXPECT_FALSE(grid.PreviewSettings.Active());
  EXPECT_EQ(list->imglSym->Width(), 20);
}

// A comment is what a packet said: never markup, even when it holds tags. A picture tag
// naming a pipe in our own folder would otherwise block the window while it paints.
TEST_F(StationListTest, ARemoteCommentIsShownAsTextNeverAsMarkup) {
  TExSectionList& grid = *list->ExSectionList1;
  for (int c = 2; c < 8; ++c) EXPECT_FALSE(grid.Columns.Items(c)->Markup()) << c;
  const std::string pipe = PrgDir() + "pipe.gif";
  int made = -1;
  RunAndCapture("mkfifo '" + pipe + "'", &made);
  ASSERT_EQ(made, 0);
  SetPictureFolders({PrgDir()});
  TAprsInfo info = SampleStation("DL1ABC");
  info.Comment = "<IMG src=\"FILE://" + pipe + "\"></b>";
  list->AddOrUpdateStationRow(RecordOf(info));
  EXPECT_EQ(Text(0, 3), info.Comment);
  list->Show();
  (void)Snapshot(grid);  // returns: the pipe is never opened
  SetPictureFolders({});
}

TEST_F(StationListTest, RowTextsOfAStationAndOfAnObject) {
  TAprsInfo station = SampleStation("N0CALL-9", "52.6", "13.4");
  station.Comment = "Hello <b>&amp; \"world\"; 50%";
  station.HeardVia = "DB0ABC";
  list->AddOrUpdateStationRow(RecordOf(station));
  TAprsInfo object = SampleStation("My Obj");
  object.OwnerCall = "N0CALL";
  object.SymTable = '\\';
  object.SymCode = '!';
  object.ObjState = '*';
  list->AddOrUpdateStationRow(RecordOf(object));

  const int s = list->FindStationRow("AAprsN0CALL459");
  ASSERT_GE(s, 0);
  EXPECT_EQ(Text(s, 0), "30");  // '>' = 62
  EXPECT_EQ(Text(s, 1), "N0CALL-9");
  EXPECT_EQ(Text(s, 2), "");
  EXPECT_EQ(Text(s, 3), "Hello <b>&amp; \"world\"; 50%");  // as received, unescaped
  EXPECT_EQ(Text(s, 4), "11.1");  // 0.1 degree north at 111.136 km per degree
  EXPECT_EQ(Text(s, 5), "DB0ABC");
  EXPECT_EQ(Text(s, 6), "26.12.07 08:30:15");

  const int o = list->FindStationRow("AAprsN0CALLMy32Obj");
  ASSERT_GE(o, 0);
  EXPECT_EQ(Text(o, 0), "95");  // '!' = 33: 1, plus 94 for the alternate table
  EXPECT_EQ(Text(o, 1), "My Obj");
  EXPECT_EQ(Text(o, 2), "N0CALL");
  EXPECT_EQ(Text(o, 4), "0.0");
  EXPECT_EQ(StationRowKey(list->Group()->GetItemStrings(o)), "AAprsN0CALLMy32Obj");
  EXPECT_EQ(list->FindStationRow("AAprsNOBODY"), -1);

  // A code the images hold no picture for shows the blank's, not one its index wraps to.
  for (char code : {'\xFF', '~', '\x1F'}) {
    object.SymCode = code;
    list->AddOrUpdateStationRow(RecordOf(object));
    EXPECT_EQ(Text(list->FindStationRow("AAprsN0CALLMy32Obj"), 0), "0") << int(code);
  }
}

TEST_F(StationListTest, AStationHeardAgainKeepsOneRowAndTheNewestComesFirst) {
  Add("AAA", "261207080000");
  Add("BBB", "261207080100");
  Add("CCC", "261207080200");
  EXPECT_EQ(Calls(), "CCC BBB AAA ");
  Add("AAA", "261207080300");
  EXPECT_EQ(list->Group()->GetCount(), 3);
  EXPECT_EQ(Calls(), "AAA CCC BBB ");
  EXPECT_EQ(Text(0, 6), "26.12.07 08:03:00");
  EXPECT_EQ(list->FindStationRow(MakeStationKey("", "BBB")), 2);

  list->DeleteStationRow(MakeStationKey("", "CCC"));
  EXPECT_EQ(Calls(), "AAA BBB ");
  list->DeleteStationRow(MakeStationKey("", "CCC"));  // unknown: nothing changes
  EXPECT_EQ(Calls(), "AAA BBB ");
  EXPECT_EQ(list->FindStationRow(MakeStationKey("", "CCC")), -1);
}

TEST_F(StationListTest, ManyRowsGoAtOnceAndAllRowsInOneSweep) {
  for (const char* call : {"AAA", "BBB", "CCC", "DDD", "EEE"}) Add(call, "261207080000");
  Add("FFF", "261207080100");
  EXPECT_EQ(Calls(), "FFF AAA BBB CCC DDD EEE ");
  list->DeleteStationRows({"AAprsBBB", "AAprsDDD", "AAprsZZZ"}, false);
  EXPECT_EQ(Calls(), "FFF AAA CCC EEE ");
  EXPECT_EQ(list->FindStationRow("AAprsBBB"), -1);
  EXPECT_EQ(list->FindStationRow("AAprsEEE"), 3);
  // All at once, the clicked row among them: nothing is selected again afterwards, and
  // rows come back as new ones.
  list->ExSectionList1->Engine().FocusItem(list->Group()->GetItemNode(1));
  list->DeleteStationRows({"AAprsAAA", "AAprsCCC", "AAprsEEE", "AAprsFFF"}, true);
  EXPECT_EQ(list->Group()->GetCount(), 0);
  EXPECT_EQ(list->FindStationRow("AAprsAAA"), -1);
  Add("CCC", "261207080200");
  Add("AAA", "261207080300");
  EXPECT_EQ(Calls(), "AAA CCC ");
  EXPECT_EQ(list->FindStationRow("AAprsCCC"), 1);
  EXPECT_TRUE(list->ExSectionList1->Engine().SelectedItems().empty());
  // The rows that come back hold their own record's texts only.
  for (int row = 0; row < 2; ++row) EXPECT_EQ(list->Group()->GetItemStrings(row).Count(), 7);
  EXPECT_EQ(Text(0, 6), "26.12.07 08:03:00");
  EXPECT_EQ(Text(1, 6), "26.12.07 08:02:00");
  // Emptied again and refilled in another order, they sort by time as new rows.
  list->DeleteStationRows({"AAprsAAA", "AAprsCCC"}, true);
  Add("BBB", "261207080500");
  Add("DDD", "261207080400");
  Add("EEE", "261207080600");
  EXPECT_EQ(Calls(), "EEE BBB DDD ");
  EXPECT_EQ(list->FindStationRow("AAprsDDD"), 2);
  EXPECT_EQ(list->FindStationRow("AAprsAAA"), -1);
}

TEST_F(StationListTest, FillTakesEveryRecordOfTheStationList) {
  TStationList stations;
  stations.Add(RecordOf(SampleStation("N1")));
  stations.Add(RecordOf(SampleStation("N2")));
  list->FillStationList(stations);
  EXPECT_EQ(list->Group()->GetCount(), 2);
  EXPECT_GE(list->FindStationRow("AAprsN1"), 0);
  EXPECT_GE(list->FindStationRow("AAprsN2"), 0);
}

TEST_F(StationListTest, QrbSortsNumericallyThroughTheCustomCompare) {
  for (const char* lat : {"52.5855", "52.5", "53.4", "52.55"}) {
    list->AddOrUpdateStationRow(RecordOf(SampleStation(std::string("S") + lat, lat, "13.4")));
  }
  list->ExSectionList1->SortSettings.SetColumn(5);
  list->ExSectionList1->SortSettings.SetDirection(sdAscending);
  std::string qrb;
  for (int i = 0; i < 4; ++i) qrb += Text(i, 4) + " ";
  EXPECT_EQ(qrb, "0.0 5.6 9.5 100.0 ");

  int result = 7;
  list->ExSectionList1CustomCompare(nullptr, nullptr, nullptr, 5, "10.0", "9.5", result);
  EXPECT_EQ(result, 1);
  list->ExSectionList1CustomCompare(nullptr, nullptr, nullptr, 5, "9.5", "10.0", result);
  EXPECT_EQ(result, -1);
  list->ExSectionList1CustomCompare(nullptr, nullptr, nullptr, 5, "9.5", "9.5", result);
  EXPECT_EQ(result, 0);
  result = 7;
  list->ExSectionList1CustomCompare(nullptr, nullptr, nullptr, 4, "10.0", "9.5", result);
  EXPECT_EQ(result, 7);  // other columns are not its business
  // A text that is no distance sorts first, and the sort goes on.
  list->ExSectionList1CustomCompare(nullptr, nullptr, nullptr, 5, "far", "9.5", result);
  EXPECT_EQ(result, -1);
  list->ExSectionList1CustomCompare(nullptr, nullptr, nullptr, 5, "9.5", "", result);
  EXPECT_EQ(result, 1);
}

// The user's last choice, by mouse or by keys, stays at its place after every update,
// selected and focused together, even when the chosen station itself is heard again;
// a station deleted takes the choice with it.
TEST_F(StationListTest, TheChosenPlaceIsSelectedAndFocusedAgainAfterAnUpdate) {
  Add("AAA", "261207080000");
  Add("BBB", "261207080100");
  Add("CCC", "261207080200");
  list->ExSectionList1->SetBounds(0, 0, 700, 200);
  TSectionGroupedList& engine = list->ExSectionList1->Engine();
  auto chosen = [&] {
    std::string calls;
    for (POGLItem node : engine.SelectedItems()) {
      if (!engine.IsGroup(node)) calls += Text(node->Index(), 1);
    }
    POGLItem focused = engine.FocusedItem();
    return calls + "|" + (focused && !engine.IsGroup(focused) ? Text(focused->Index(), 1) : "");
  };
  // Click the second row, BBB.
  const TRect row = engine.GetItemDisplayRect(list->Group()->GetItemNode(1), false);
  SimulateClick(engine, row.Left + 100, (row.Top + row.Bottom) / 2);
  EXPECT_EQ(chosen(), "BBB|BBB");
  // AAA heard again goes to the top; the selection stays on the second place, where
  // CCC is now, and so does a new station coming in on top.
  Add("AAA", "261207080300");
  EXPECT_EQ(Calls(), "AAA CCC BBB ");
  EXPECT_EQ(chosen(), "CCC|CCC");
  Add("DDD", "261207080400");
  EXPECT_EQ(Calls(), "DDD AAA CCC BBB ");
  EXPECT_EQ(chosen(), "AAA|AAA");

  // Two rows down with the keys: the fourth place is the choice now.
  SimulateKey(engine, VK_DOWN);
  SimulateKey(engine, VK_DOWN);
  EXPECT_EQ(chosen(), "BBB|BBB");
  Add("EEE", "261207080500");
  EXPECT_EQ(Calls(), "EEE DDD AAA CCC BBB ");
  EXPECT_EQ(chosen(), "CCC|CCC");
  // The chosen station itself heard again, as the store hands it over.
  TAprsInfo ccc = SampleStation("CCC");
  ccc.RxStamp = "261207080600";
  list->ReplaceStationRow(MakeStationKey("", "CCC"), RecordOf(ccc));
  EXPECT_EQ(Calls(), "CCC EEE DDD AAA BBB ");
  EXPECT_EQ(chosen(), "AAA|AAA");

  // A deleted chosen station is forgotten: no place is chosen again.
  list->DeleteStationRow(MakeStationKey("", "AAA"));
  EXPECT_EQ(chosen(), "|");
  Add("FFF", "261207080700");
  EXPECT_EQ(chosen(), "|");
}

// The store replaces the row of a station heard again in one step; the rows must end
// as they would after deleting the row and adding the new one: among rows of the same
// time the row goes last. A choice above the rows replaced stays where it is.
TEST_F(StationListTest, AReplacedRowEndsAsADeletedAndAddedOne) {
  TSectionGroupedList& engine = list->ExSectionList1->Engine();
  auto record = [](const std::string& call, const std::string& stamp) {
    TAprsInfo info = SampleStation(call);
    info.RxStamp = stamp;
    return RecordOf(info);
  };
  auto run = [&](bool in_one_step) {
    for (const char* call : {"AAA", "BBB", "CCC", "DDD", "EEE"}) Add(call, "261207080000");
    auto replace = [&](const std::string& call, const std::string& stamp) {
      const std::string key = MakeStationKey("", call);
      if (in_one_step) {
        list->ReplaceStationRow(key, record(call, stamp));
      } else {
        list->DeleteStationRow(key);
        list->AddOrUpdateStationRow(record(call, stamp));
      }
    };
    std::string seen;
    auto look = [&] {
      seen += Calls() + "| sel ";
      for (POGLItem node : engine.SelectedItems()) {
        if (!engine.IsGroup(node)) seen += Text(node->Index(), 1) + " ";
      }
      if (POGLItem focused = engine.FocusedItem(); focused && !engine.IsGroup(focused)) {
        seen += "| focus " + Text(focused->Index(), 1);
      }
      seen += "\n";
    };
    engine.FocusItem(list->Group()->GetItemNode(1));
    replace("CCC", "261207080000");
    look();
    replace("EEE", "261207080100");
    look();
    for (int i = list->Group()->GetCount() - 1; i >= 0; --i) {
      list->DeleteStationRow(MakeStationKey("", Text(i, 1)));
    }
    return seen;
  };
  const std::string apart = run(false);
  EXPECT_EQ(run(true), apart);
  EXPECT_NE(apart.find("AAA BBB DDD EEE CCC | sel BBB | focus BBB"), std::string::npos) << apart;
  EXPECT_EQ(list->Group()->GetCount(), 0);
}

TEST_F(StationListTest, DoubleClickOpensTheRowsStationAndKeysExpandTheGroup) {
  TAprsInfo object = SampleStation("My Obj");
  object.OwnerCall = "N0CALL";
  list->AddOrUpdateStationRow(RecordOf(object));
  std::string opened;
  list->OnShowStation = [&](const std::string& key) { opened = key; };
  list->ExSectionList1->SetBounds(0, 0, 700, 200);
  // Under the header, the group's bar, then the first row.
  SimulateDblClick(list->ExSectionList1->Engine(), 100, 34 + 5);
  EXPECT_EQ(opened, "AAprsN0CALLMy32Obj");

  list->Group()->SetExpanded(false);
  SimulateKeyUp(list->ExSectionList1->Engine(), 'A');
  EXPECT_TRUE(list->Group()->GetExpanded());
}

TEST_F(StationListTest, ThePickListHandsTheClickOnAndStaysInFront) {
  TfrmAprsStnSelect& select = *frmAprsStnSelect;
  EXPECT_EQ(select.mpnlTop->Caption(), "Station ausw\xE4hlen...");
  EXPECT_EQ(select.ClientWidth(), 141);
  EXPECT_EQ(select.ClientHeight(), 120);
  select.lboxStnSelect->Items().Add("N0CALL");
  select.lboxStnSelect->Items().Add("My Obj");
  int picked = -1;
  select.OnStationPicked = [&](TComponent*) { picked = select.lboxStnSelect->ItemIndex(); };
  select.lboxStnSelect->SetItemIndex(1);
  select.lboxStnSelectClick(select.lboxStnSelect);
  EXPECT_EQ(picked, 1);
  EXPECT_TRUE(select.Visible());
}

// What the map's double click leaves: two stations in the pick list, the first shown.
// A click on the second row shows that one.
TEST_F(StationListTest, ClickingAnotherPickListRowShowsThatStation) {
  TfrmAprsStnSelect& select = *frmAprsStnSelect;
  frmAprs->PickKeys = {MakeStationKey("", "N0CALL"), MakeStationKey("", "DL1ABC")};
  select.lboxStnSelect->Items().Add("N0CALL");
  select.lboxStnSelect->Items().Add("DL1ABC");
  select.lboxStnSelect->SetItemIndex(0);
  select.Show();
  select.lboxStnSelectClick(select.lboxStnSelect);
  EXPECT_EQ(::ShownKey, MakeStationKey("", "N0CALL"));
  const int rowHeight = select.lboxStnSelect->ItemHeight();
  SimulateClick(*select.lboxStnSelect, 20, rowHeight + rowHeight / 2);
  EXPECT_EQ(select.lboxStnSelect->ItemIndex(), 1);
  EXPECT_EQ(::ShownKey, MakeStationKey("", "DL1ABC"));
  EXPECT_TRUE(select.Visible());
}

// Sorted by station, typing a call's first letters goes to the first station they
// begin; Ctrl+A looks nothing up.
TEST_F(StationListTest, TypedLettersFindTheStationTheyBegin) {
  for (const char* call : {"OE3XYZ", "DA1AB", "DL1ABC", "DL2XY", "LA9Z"}) Add(call, "261207080000");
  TExSectionList& grid = *list->ExSectionList1;
  grid.SetBounds(0, 0, 700, 200);
  grid.SortSettings.SetColumn(2);
  grid.SortSettings.SetDirection(sdAscending);
  TSectionGroupedList& engine = grid.Engine();
  auto focused = [&] { return grid.CellText(engine.FocusedItem(), 2); };
  SimulateKey(engine, 'D', "d");
  EXPECT_EQ(focused(), "DA1AB");
  SimulateKey(engine, 'L', "l");
  EXPECT_EQ(focused(), "DL1ABC");
  SimulateKey(engine, '2', "2");
  EXPECT_EQ(focused(), "DL2XY");
  SimulateKey(engine, VK_ESCAPE);
  SimulateKey(engine, 'A', "\x01", ssCtrl);
  EXPECT_EQ(grid.LookUpText(), u"");
  EXPECT_NE(focused(), "");
}

// Most stations send UTF-8 today, older ones Windows-1252 or DOS umlauts: the list and the
// detail window show each as meant, every script whole, and the station record keeps the
// bytes received.
TEST_F(StationListTest, CommentsInUtf8AndWindows1252AreShownAsMeant) {
  struct TCase {
    const char* call;
    std::string comment;
    std::u16string shown, packet_shown;
  };
  const TCase cases[] = {
      {"DL1UTF",
       "Gr\xC3\xBC\xC3\x9F"
       "e aus \xC3\x84gypten",
       u"Gr\u00FC\u00DF"
       u"e aus \u00C4gypten",
       u"Gr\u00FC\u00DF"
       u"e aus \u00C4gypten"},
      {"DL2ANS",
       "Gr\xFC\xDF"
       "e",
       u"Gr\u00FC\u00DF"
       u"e",
       u"Gr\u00FC\u00DF"
       u"e"},
      // The comment's DOS umlauts are read as such; the packet shows its own bytes.
      {"DL3DOS",
       "Gr\x81\xE1"
       "e",
       u"Gr\u00FC\u00DF"
       u"e",
       u"Gr\u0081\u00E1"
       u"e"},
      {"UA1CYR", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 73",
       u"\u041F\u0440\u0438\u0432\u0435\u0442 73", u"\u041F\u0440\u0438\u0432\u0435\u0442 73"},
      {"SV1GRE", "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xB1 73", u"\u0393\u03B5\u03B9\u03B1 73",
       u"\u0393\u03B5\u03B9\u03B1 73"},
      {"4X1HEB", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", u"\u05E9\u05DC\u05D5\u05DD",
       u"\u05E9\u05DC\u05D5\u05DD"},
      {"A41ARA", "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85", u"\u0633\u0644\u0627\u0645",
       u"\u0633\u0644\u0627\u0645"}};
  frmSetup->edtCallP1->SetText("N0CALL");
  for (const TCase& c : cases) {
    TAprsInfo info = SampleStation(c.call);
    info.Comment = c.comment;
    info.Data = "!5230.00N/01324.00E>" + c.comment;
    frmAprs->Stations.UpdateStation(info);
  }
  for (const TCase& c : cases) {
    const std::string key = MakeStationKey("", c.call);
    const int row = list->FindStationRow(key);
    ASSERT_GE(row, 0) << c.call;
    frmAprsStnInfo->ShowStationInfo(key);
    EXPECT_EQ(frmAprsStnInfo->lblStnComment->CaptionW(), c.shown) << c.call;
    EXPECT_EQ(frmAprsStnInfo->memAx25->TextW(), u"fm " + Cp1252ToUtf16(c.call) +
                                                    u" to APRS via WIDE1-1 ctl UI pid F0\n" +
                                                    u"!5230.00N/01324.00E>" + c.packet_shown)
        << c.call;
  }
  frmAprsStnInfo->Hide();
  // What is stored is what was received, and what the list draws from.
  int first = -1, last = -1;
  frmAprs->Stations.StationList.FindKey(MakeStationKey("", "DL1UTF"), first, last);
  ASSERT_GE(first, 0);
  EXPECT_EQ(StationFieldText(frmAprs->Stations.StationList.Line(first), sfComment),
            cases[0].comment);
  EXPECT_EQ(Text(list->FindStationRow(MakeStationKey("", "DL1UTF")), 3), cases[0].comment);
}

// An object named "Mueller" with the u umlaut in UTF-8 reads in the Station column as the same
// name sent in Windows-1252, and a Greek name in Greek letters; each keeps its own row,
// keyed by the name as received.
TEST_F(StationListTest, ANameSentInUtf8ReadsAsMeantInTheStationColumn) {
  frmSetup->edtCallP1->SetText("N0CALL");
  const char* names[] = {"M\xC3\xBCller", "M\xFCller", "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1",
                         "?????"};
  int second = 50;
  for (const char* name : names) {
    TAprsInfo info = SampleStation(name);
    info.OwnerCall = "DL1OBJ";
    info.ObjState = '*';
    info.RxStamp = "2612070830" + IntToStr(second--);  // newest first: in this order
    frmAprs->Stations.UpdateStation(info);
  }
  for (int row = 0; row < 4; ++row) ASSERT_EQ(Text(row, 1), names[row]);
  list->Show();
  TExSectionList& grid = *list->ExSectionList1;
  const int top = 1 + grid.HeaderHeight() + grid.GroupItemHeight();
  const TRect cell = grid.GetCellRect(Rect(1, top, grid.Width() - 1, top + 22), 2);
  auto shot = Snapshot(grid);
  auto alike = [&](int a, int b) {
    return SamePixels(*shot, cell.Left, cell.Top + 22 * a, *shot, cell.Left, cell.Top + 22 * b,
                      cell.Width(), cell.Height());
  };
  EXPECT_TRUE(alike(0, 1));
  EXPECT_FALSE(alike(2, 3));
  list->Hide();
  // The detail window names them alike.
  frmAprsStnInfo->ShowStationInfo(MakeStationKey("DL1OBJ", names[0]));
  EXPECT_EQ(frmAprsStnInfo->lblCall->CaptionW().substr(0, 7), u"M\u00FCller ");
  frmAprsStnInfo->ShowStationInfo(MakeStationKey("DL1OBJ", names[2]));
  EXPECT_EQ(frmAprsStnInfo->lblCall->CaptionW().substr(0, 6), u"\u03A3\u03BF\u03C6\u03AF\u03B1 ");
  frmAprsStnInfo->Hide();
}

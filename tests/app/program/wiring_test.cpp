// The program's windows made as the program makes them: a packet from the TNC or the
// APRS-IS server travels through the dispatcher into the monitor, the station store,
// the station list and the map.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/app_windows.h"
#include "app/language/frm_prg_msg.h"
#include "app/map/frm_aprs.h"
#include "app/map/map_test_support.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/monitor/monitor_styles.h"
#include "app/program/frm_info.h"
#include "app/program/wiring.h"
#include "app/receive/frm_log.h"
#include "app/receive/tnc_link.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/device_windows.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "app/stations/frm_aprs_stn_select.h"
#include "core/aprs_is_reader.h"
#include "core/kiss_ax25.h"
#include "core/kiss_link.h"
#include "core/my_tools.h"
#include "core/tnc2_line.h"
#include "core/tnc_control.h"
#include "devices/gps_rx.h"
#include "devices/gps_status.h"
#include "platform/io/pseudo_terminal.h"
#include "platform/sys/application.h"
#include "platform/sys/files.h"
#include "platform/sys/pump.h"
#include "platform/sys/timer.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/test_support/loopback_tcp_server.h"
#include "platform/text/format.h"
#include "richtext/base/code_pages.h"
#include "richtext/view/rich_doc.h"

namespace {

constexpr const char* kKey = "AAprsDL1ABC459";

// Whether the server received Text (everything so far is searched); the link logs in
// from the GUI thread, which runs the hand-overs meanwhile.
bool ServerGot(TLoopbackTcpServer& Server, const std::string& Text) {
  return SynchronizeUntil([&] { return Server.Received(Text, 5).find(Text) != std::string::npos; },
                          5000);
}

class WiringTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    frmSetup->edtCallP1->SetText("N0CALL");
    frmAprs->MapDir = ShippedDataFolder() + "APRS-Karten/";
    frmAprs->AprsMapFile = frmAprs->MapDir + "Welt.jpg";
    frmAprs->LoadMapFromSettings();
  }
  void TearDown() override {
    KissLink.KissActive = 0;
    AppWindowsTest::TearDown();
  }

  // Chooses the loopback server in the settings, connects with the TCP button and waits
  // for the login.
  static void LogInTo(TLoopbackTcpServer& server) {
    TMyFlatCombobox& servers = *frmSetup->mfcbxTcpServer;
    servers.Items().Add("127.0.0.1:" + std::to_string(server.Port()) + " ;loopback");
    servers.SetItemIndex(servers.Items().Count() - 1);
    frmAprs->AprsIs.ReaderPassMs = 20;
    frmAprs->ButtonClick(frmAprs->mbtnTcp);
    ASSERT_TRUE(SynchronizeUntil([&] { return server.Accept(5); }));
    ASSERT_TRUE(ServerGot(server, "user N0CALL pass 0 vers Velmora 1.2\r\n"));
  }

  // The text of the monitor's last line, its runs joined, and the style of its last run.
  static std::string LastMonitorLine(int& Style) {
    const TRichDoc& doc = *frmAprs->rdMain;
    std::string line;
    int item = doc.ItemCount() - 1;
    while (item > 0 && !doc.IsItemLineStart(item)) --item;
    for (int n = item; n < doc.ItemCount(); ++n) line += doc.ReadItemText(n);
    Style = doc.GetItemStyleIndex(doc.ItemCount() - 1);
    return line;
  }

  static void ExpectStationEverywhere() {
    ASSERT_GE(frmAprs->Stations.IndexOfStation(kKey), 0);
    EXPECT_GE(frmAprsStnList->FindStationRow(kKey), 0);
    EXPECT_NE(frmAprs->Map->FindSymbolControl(kKey), nullptr);
    EXPECT_NE(frmAprs->lblStnCount->Caption(), "");
  }
};

TEST_F(WiringTest, KissFrameReachesMonitorStoreListAndMap) {
  ASSERT_FALSE(frmAprs->Map->MapFile.empty());
  const TKissBuildResult frame =
      BuildKissFrame("DL1ABC-9", "APRS,WIDE1-1", "!5230.50N/01320.70E>Wired");
  ASSERT_EQ(frame.Error, TKissBuildError::None);
  KissLink.KissActive = 1;
  // In two pieces, as a serial port hands them over.
  const std::span<const uint8_t> bytes(frame.Bytes);
  KissLink.KissRxBytes(bytes.first(7));
  KissLink.KissRxBytes(bytes.subspan(7));

  int style = -1;
  EXPECT_EQ(LastMonitorLine(style), "!5230.50N/01320.70E>Wired");
  EXPECT_EQ(style, msP1Data);
  // Our own frame's echo reads our UTF-8 as every receiver does.
  frmSetup->mfcbxDevice->SetItemIndex(1);
  KissLink.EchoTxFrame("0:N0CALL", "APRS", ">\xCE\xA3\xCE\xBF 73");
  EXPECT_EQ(RawUnicodeToUTF8(LastMonitorLine(style)), ">\xCE\xA3\xCE\xBF 73");
  EXPECT_EQ(style, UnicodeMonitorStyle(msP1Data));
  // The lamp's timer runs (the lamp itself stays dark once an earlier test has ended the
  // application).
  auto* timer = dynamic_cast<TTimer*>(frmAprs->FindComponent("timRxP1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->Enabled());
  ExpectStationEverywhere();
  // The detail window reads the same list the store keeps.
  frmAprsStnList->OnShowStation(kKey);
  EXPECT_EQ(ShownKey, kKey);
  EXPECT_TRUE(frmAprsStnInfo->Visible());
  // Its message button addresses the station in the messaging window.
  frmAprsStnInfo->ButtonClick(frmAprsStnInfo->mbtnTxMsg);
  EXPECT_EQ(frmAprsMsg->edtMsgAdr->Text(), "DL1ABC-9");
  EXPECT_TRUE(frmAprsMsg->Visible());
}

TEST_F(WiringTest, AStationChosenInTheListComesToTheFront) {
  const TKissBuildResult frame = BuildKissFrame("DL1ABC-9", "APRS", "!5230.50N/01320.70E>Wired");
  KissLink.KissActive = 1;
  KissLink.KissRxBytes(frame.Bytes);
  frmAprsStnList->OnShowStation(kKey);
  // The list clicked again, in front of the detail window.
  frmAprsStnList->Show();
  frmAprsStnList->BringToFront();
  Application->ProcessMessages();
  ASSERT_EQ(Screen->ActiveForm(), frmAprsStnList);
  frmAprsStnList->OnShowStation(kKey);
  Application->ProcessMessages();
  EXPECT_EQ(Screen->ActiveForm(), frmAprsStnInfo);
  frmAprsStnList->Hide();
  frmAprsStnInfo->Hide();
}

TEST_F(WiringTest, DoubleClickOnAMarkerOpensItsStation) {
  const TKissBuildResult frame = BuildKissFrame("DL1ABC-9", "APRS", "!5230.50N/01320.70E>x");
  KissLink.KissActive = 1;
  KissLink.KissRxBytes(frame.Bytes);
  TAprsSymbol* marker = frmAprs->Map->FindSymbolControl(kKey);
  ASSERT_NE(marker, nullptr);
  ::ShownKey.clear();
  // The pointer comes over the marker before the user double-clicks it.
  SimulateMouseMove(*marker, marker->Width() / 2, marker->Height() / 2);
  SimulateDblClick(*marker, marker->Width() / 2, marker->Height() / 2);
  EXPECT_EQ(ShownKey, kKey);
  EXPECT_TRUE(frmAprsStnInfo->Visible());
}

// The map window's tool bar and lamps open the windows the wiring handed it.
TEST_F(WiringTest, TheMapWindowOpensTheWindowsItWasHanded) {
  TfrmAprs& aprs = *frmAprs;
  const std::pair<TComponent*, TForm*> opens[] = {
      {aprs.mbtnLog, frmLog},     {aprs.bmpmGps, frmGpsStatus},       {aprs.bmpmWx, frmWxStatus},
      {aprs.bmpmMsg, frmAprsMsg}, {aprs.lblStnCount, frmAprsStnList}, {aprs.mbtnSetup, frmSetup},
      {aprs.mbtnInfo, frmInfo}};
  for (const auto& [sender, window] : opens) {
    bool shown = false;
    // The settings and about windows are modal: they are closed once they show.
    QueueCall([&, window = window] {
      shown = window->Visible();
      window->SetModalResult(mrCancel);
    });
    aprs.ButtonClick(sender);
    EXPECT_TRUE(shown || window->Visible()) << window->Name;
    window->Hide();
    Application->ProcessMessages();
  }
}

// Once disconnected nothing points at a window, and a link, reader or device window that
// reports later reaches none; the owner disconnecting again as the windows go is harmless.
TEST_F(WiringTest, DisconnectingTakesTheWindowsBack) {
  TLoopbackTcpServer server;
  ASSERT_NO_FATAL_FAILURE(LogInTo(server));

  DisconnectWindows();
  EXPECT_EQ(frmAprs->Peers.Info, nullptr);
  EXPECT_EQ(frmAprs->Peers.Setup, nullptr);
  EXPECT_EQ(frmAprsStnInfo->Setup, nullptr);
  EXPECT_FALSE(frmAprsStnList->QrbDistance);
  EXPECT_EQ(frmSetup->MainFrame, nullptr);
  EXPECT_EQ(frmSetup->Peers.Map, nullptr);
  EXPECT_FALSE(frmAprsMsg->MsgLamp);
  // The reader ends with the views it was handed.
  EXPECT_FALSE(frmAprs->AprsIs.TcpWanted());
  const std::string status = frmAprs->Label1->Caption();
  const int gpsPicture = frmAprs->bmpmGps->ActivePicture();
  const int monitorItems = frmAprs->rdMain->ItemCount();

  const std::string line = "DL1ABC-9>APRS,TCPIP*:!5230.50N/01320.70E>Late";
  server.Send(line + "\r\n");
  KissLink.KissActive = 1;
  KissLink.KissRxBytes(BuildKissFrame("DL1ABC-9", "APRS", "!5230.50N/01320.70E>Late").Bytes);
  TReceivedPacket packet;
  ASSERT_TRUE(SplitIsLine(line, packet));
  frmAprs->Dispatcher.AnalysePacket(packet);
  frmAprs->AprsIs.Views().SetStatusText("late");
  frmGpsStatus->Views().SetGpsLamp(2);
  EXPECT_FALSE(SynchronizeUntil([] { return frmAprs->Stations.IndexOfStation(kKey) >= 0; }, 300));
  EXPECT_EQ(frmAprs->rdMain->ItemCount(), monitorItems);
  EXPECT_EQ(frmAprs->Label1->Caption(), status);
  EXPECT_EQ(frmAprs->bmpmGps->ActivePicture(), gpsPicture);
}

TEST_F(WiringTest, AFirstStartShowsTheShippedWorldMap) {
  TfrmAprs& aprs = *frmAprs;
  aprs.ProgDir = ShippedDataFolder();
  aprs.AprsMapFile.clear();
  aprs.LoadMapFromSettings();
  EXPECT_EQ(aprs.Map->MapFile, ShippedDataFolder() + "APRS-Karten/Welt.jpg");
}

TEST_F(WiringTest, NothingIsStoredWithoutAMap) {
  TfrmAprs& aprs = *frmAprs;
  aprs.AprsMapFile.clear();
  aprs.Map->MapFile.clear();
  const TKissBuildResult frame = BuildKissFrame("DL1ABC-9", "APRS", "!5230.50N/01320.70E>x");
  KissLink.KissActive = 1;
  KissLink.KissRxBytes(frame.Bytes);
  EXPECT_LT(aprs.Stations.IndexOfStation(kKey), 0);
  EXPECT_EQ(frmAprsStnList->FindStationRow(kKey), -1);
}

TEST_F(WiringTest, AprsIsLineReachesMonitorStoreListAndMap) {
  TLoopbackTcpServer server;
  ASSERT_NO_FATAL_FAILURE(LogInTo(server));
  ASSERT_TRUE(server.Send("DL1ABC-9>APRS,TCPIP*,qAC,T2TEST:!5230.50N/01320.70E>Internet\r\n"));
  ASSERT_TRUE(SynchronizeUntil([] { return frmAprs->Stations.IndexOfStation(kKey) >= 0; }));

  int style = -1;
  EXPECT_EQ(LastMonitorLine(style), "!5230.50N/01320.70E>Internet");
  EXPECT_EQ(style, msIgData);
  ExpectStationEverywhere();
  frmAprs->ButtonClick(frmAprs->mbtnTcp);
  EXPECT_FALSE(frmAprs->AprsIs.TcpWanted());
}

// The reader hands the lines over in batches; the server drops the connection twice
// in the feed. Every line reaches the dispatcher (the packet log records what it passed)
// and the monitor once, in the order the server sent it.
TEST_F(WiringTest, AFeedInBatchesKeepsItsOrderAcrossReconnects) {
  TLoopbackTcpServer server;
  ASSERT_NO_FATAL_FAILURE(LogInTo(server));
  const std::string log = PrgDir() + "feed.log";
  frmLog->StartRecording(log, false);
  ASSERT_TRUE(frmLog->Recording());
  constexpr int kLines = 1200;
  constexpr int kChunk = 150;
  const TPacketRecorder& recorder = frmLog->Recorder;
  auto recorded_count = [&] { return recorder.WrittenCount() + recorder.BufferCount(); };
  for (int sent = 0; sent < kLines; sent += kChunk) {
    if (sent == 450 || sent == 900) {
      // What was sent before the drop is handed over before the reconnect.
      ASSERT_TRUE(SynchronizeUntil([&] { return recorded_count() == sent; }, 10000));
      server.Drop();
      ASSERT_TRUE(SynchronizeUntil([&] { return server.Accept(5); }, 10000)) << sent;
    }
    std::string chunk;
    for (int i = sent; i < sent + kChunk; ++i)
      chunk += "S" + std::to_string(i) + ">APRS,TCPIP*:>" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(server.Send(chunk));
  }
  ASSERT_TRUE(SynchronizeUntil([&] { return recorded_count() == kLines; }, 20000));
  frmLog->StopRecording();

  std::string text;
  LoadFileToString(text, log);
  std::vector<std::string> recorded;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) recorded.push_back(line);
  }
  ASSERT_EQ(recorded.size(), size_t{kLines});
  for (int i = 0; i < kLines; ++i) {
    const std::string packet = "S" + std::to_string(i) + ">APRS,TCPIP:>" + std::to_string(i);
    ASSERT_TRUE(recorded[i].ends_with(":" + packet)) << recorded[i];
  }
  // The monitor keeps the last few hundred lines: their data lines count up to the end.
  const TRichDoc& doc = *frmAprs->rdMain;
  std::vector<int> shown;
  std::string line;
  for (int item = 0; item <= doc.ItemCount(); ++item) {
    if (item == doc.ItemCount() || doc.IsItemLineStart(item)) {
      if (line.size() > 1 && line[0] == '>') shown.push_back(std::stoi(line.substr(1)));
      line.clear();
    }
    if (item < doc.ItemCount()) line += doc.ReadItemText(item);
  }
  ASSERT_GT(shown.size(), 100u);
  EXPECT_EQ(shown.back(), kLines - 1);
  for (size_t i = 1; i < shown.size(); ++i) ASSERT_EQ(shown[i], shown[i - 1] + 1);
  frmAprs->AprsIs.Stop();
}

TEST_F(WiringTest, RadioPacketsAreGatedToTheServerWhileDigipeatingIsOn) {
  TLoopbackTcpServer server;
  frmSetup->mbtnTcpDigi->SetDown(true);
  ASSERT_NO_FATAL_FAILURE(LogInTo(server));
  const TKissBuildResult frame =
      BuildKissFrame("DL1ABC-9", "APRS,WIDE1-1", "!5230.50N/01320.70E>Gated");
  KissLink.KissActive = 1;
  KissLink.KissRxBytes(frame.Bytes);
  EXPECT_TRUE(
      ServerGot(server, "\nDL1ABC-9>APRS,WIDE1-1,qAR,N0CALL:!5230.50N/01320.70E>Gated\r\n"));
  frmAprs->AprsIs.Stop();
}

// Stopping the link with its button leaves no "connected" behind in the status text.
TEST_F(WiringTest, StoppingTheLinkShowsItInTheStatusText) {
  TLoopbackTcpServer server;
  ASSERT_NO_FATAL_FAILURE(LogInTo(server));
  const std::string connected = frmAprs->Label1->Caption();
  frmAprs->ButtonClick(frmAprs->mbtnTcp);
  EXPECT_FALSE(frmAprs->mbtnTcp->Down());
  EXPECT_NE(frmAprs->Label1->Caption(), connected);
  EXPECT_EQ(frmAprs->Label1->Caption(), "Disconnected.");
}

TEST_F(WiringTest, MessageToUsReachesTheMessagingWindow) {
  const TKissBuildResult frame = BuildKissFrame("DL1ABC-9", "APRS", ":N0CALL   :Hello there{7");
  KissLink.KissActive = 1;
  const int before = frmAprsMsg->rdMyMsg->ItemCount();
  KissLink.KissRxBytes(frame.Bytes);
  EXPECT_GT(frmAprsMsg->rdMyMsg->ItemCount(), before);
  EXPECT_TRUE(frmAprs->bmpmMsg->Animation());  // blinks until the message is read
}

TEST_F(WiringTest, TheGpsLampKeepsTheFaultPicture) {
  frmGpsStatus->Views().SetGpsLamp(2);
  EXPECT_EQ(frmAprs->bmpmGps->ActivePicture(), 2);
  frmGpsStatus->Views().SetGpsLamp(1);
  EXPECT_EQ(frmAprs->bmpmGps->ActivePicture(), 1);
  EXPECT_TRUE(frmAprs->bmpmGps->Active());
}

TEST_F(WiringTest, TncStatusAndAprsIsStatusAreShown) {
  TncControl().Views().SetStatusText("KISS");
  EXPECT_EQ(frmAprs->Caption(), MapWindowCaption(frmAprs->Map->MapName, "KISS"));
  frmAprs->AprsIs.Views().SetStatusText("connected");
  EXPECT_EQ(frmAprs->Label1->Caption(), "connected");
  // A new map keeps the TNC's status in the caption.
  frmAprs->LoadMapFromSettings();
  EXPECT_EQ(frmAprs->Caption(), MapWindowCaption(frmAprs->Map->MapName, "KISS"));
}

// The reader's texts are the program's own: the language file's wording is shown.
TEST_F(WiringTest, AprsIsReaderTextsAreTranslated) {
  const struct {
    const char* fixed;
    TLabel* label;
  } texts[] = {{kConnectionLostText, frmPrgMsg->lblInfTcpLost},
               {kServerSilentText, frmPrgMsg->lblInfTcpSilent}};
  for (const auto& [fixed, label] : texts) {
    label->SetCaption(std::string("translated: ") + fixed);
    frmPrgMsg->PublishLocalTexts();  // as a language file's lines do once applied
    frmAprs->AprsIs.Views().SetStatusText(fixed);
    EXPECT_EQ(frmAprs->Label1->Caption(), std::string("translated: ") + fixed);
  }
}

// A status with a count is translated with its count in place.
TEST_F(WiringTest, TheTncsCountOfDroppedWritesIsTranslated) {
  frmPrgMsg->lblInfTncNotReading->SetCaption("liest nicht, %d verworfen");
  frmPrgMsg->PublishLocalTexts();
  TncControl().Views().SetStatusText(Format(kTncStatusNotReading, 12));
  EXPECT_EQ(frmAprs->Caption(),
            MapWindowCaption(frmAprs->Map->MapName, "liest nicht, 12 verworfen"));
}

// The GPS button says the receiver runs: an unplugged receiver lets it up, as the GPS
// window says "no receiver connected...".
TEST_F(WiringTest, AnUnpluggedGpsReceiverLetsTheGpsButtonUp) {
  auto receiver = std::make_unique<TPseudoTerminal>();
  TGpsRx& rx = *frmGpsStatus->GpsRxMain;
  rx.Device = receiver->DevicePath();
  frmAprs->mbtnGps->SetDown(true);
  frmAprs->ButtonClick(frmAprs->mbtnGps);
  ASSERT_TRUE(rx.Run());
  receiver->HangUp();
  EXPECT_TRUE(PumpUntil([&] { return !frmAprs->mbtnGps->Down(); }));
  EXPECT_FALSE(rx.Run());
}

TEST_F(WiringTest, DeletingAllStationsKeepsMapAndMonitor) {
  const TKissBuildResult frame = BuildKissFrame("DL1ABC-9", "APRS", "!5230.50N/01320.70E>x");
  KissLink.KissActive = 1;
  KissLink.KissRxBytes(frame.Bytes);
  ASSERT_GE(frmAprs->Stations.IndexOfStation(kKey), 0);
  frmAprsStnInfo->ShowStationInfo(kKey);
  ASSERT_TRUE(frmAprsStnInfo->Visible());
  const int monitorItems = frmAprs->rdMain->ItemCount();
  QueueCall([] {
    if (TfrmMyMsgDialog* box = OpenMyMsgBox()) box->SetModalResult(mrYes);
  });
  frmAprs->ButtonClick(frmAprs->mbtnDelAllStn);
  EXPECT_EQ(frmAprs->Stations.StationList.Count(), 0);
  EXPECT_EQ(frmAprsStnList->FindStationRow(kKey), -1);
  EXPECT_EQ(frmAprs->Map->FindSymbolControl(kKey), nullptr);
  EXPECT_FALSE(frmAprsStnInfo->Visible());
  EXPECT_FALSE(frmAprs->Map->MapFile.empty());
  EXPECT_EQ(frmAprs->rdMain->ItemCount(), monitorItems);
}

// A station that goes leaves the pick list of the map's last double click, and the
// detail window when it was shown there; the select window closes with its last row.
TEST_F(WiringTest, DeletedStationsLeaveThePickListAndTheDetailWindow) {
  KissLink.KissActive = 1;
  for (const char* source : {"DL1ABC-9", "DL2XYZ"}) {
    const TKissBuildResult frame = BuildKissFrame(source, "APRS", "!5230.50N/01320.70E>x");
    KissLink.KissRxBytes(frame.Bytes);
  }
  const std::string other = MakeStationKey("", "DL2XYZ");
  ASSERT_GE(frmAprs->Stations.IndexOfStation(other), 0);
  TfrmAprsStnSelect& select = *frmAprsStnSelect;
  frmAprs->PickKeys = {kKey, other};
  select.lboxStnSelect->Items().Add("DL1ABC-9");
  select.lboxStnSelect->Items().Add("DL2XYZ");
  select.Show();
  frmAprsStnInfo->ShowStationInfo(kKey);

  frmAprs->Stations.DeleteStation(kKey);
  EXPECT_EQ(frmAprs->PickKeys, std::vector<std::string>{other});
  ASSERT_EQ(select.lboxStnSelect->Items().Count(), 1);
  EXPECT_EQ(select.lboxStnSelect->Items()[0], "DL2XYZ");
  EXPECT_TRUE(select.Visible());
  EXPECT_FALSE(frmAprsStnInfo->Visible());

  frmAprs->Stations.DeleteStation(other);
  EXPECT_TRUE(frmAprs->PickKeys.empty());
  EXPECT_FALSE(select.Visible());
  EXPECT_EQ(frmAprs->lblStnCount->Caption().substr(0, 2), "0 ");
}

TEST_F(WiringTest, DrawStyleButtonsNeverLeaveMarkersInvisible) {
  TfrmAprs& aprs = *frmAprs;
  for (TMyButton* button : {aprs.mbtnDrawCall, aprs.mbtnDrawSymbol, aprs.mbtnDrawPoint}) {
    button->SetDown(false);
  }
  aprs.ButtonClick(aprs.mbtnDrawCall);
  EXPECT_TRUE(aprs.mbtnDrawPoint->Down());
  EXPECT_EQ(aprs.Map->SymDrawStyle(), dsPoint);
}

TEST_F(WiringTest, ToolBarCollapsesToItsButtonAndComesBack) {
  TfrmAprs& aprs = *frmAprs;
  const int width = aprs.mpnlToolMain->Width();
  aprs.mbtnShowToolBar->SetDown(false);
  aprs.ButtonClick(aprs.mbtnShowToolBar);
  EXPECT_EQ(aprs.mpnlToolMain->Width(), aprs.mbtnShowToolBar->Width());
  aprs.mbtnShowToolBar->SetDown(true);
  aprs.ButtonClick(aprs.mbtnShowToolBar);
  EXPECT_EQ(aprs.mpnlToolMain->Width(), width);
  aprs.mpnlToolMain->SetHeight(300);
  EXPECT_EQ(aprs.mbtnShowToolBar->Height(), aprs.mpnlToolMain->Height());
}

TEST_F(WiringTest, ContextMenuZoomsRoundWhereItOpened) {
  TfrmAprs& aprs = *frmAprs;
  int y = -1;
  int x = -1;
  aprs.Map->GeoToPixel(y, x, 50.0, 10.0);
  aprs.Map->MapMouseMove(x, y);
  aprs.apmnuCrd->OnPopup(aprs.apmnuCrd);
  aprs.MenuClick(aprs.mnuZoomIn);
  EXPECT_EQ(ExtractFileName(aprs.Map->MapFile), "Europa.jpg");
  // The map shown now is the one the settings keep.
  EXPECT_EQ(aprs.AprsMapFile, aprs.Map->MapFile);
  aprs.MenuClick(aprs.mnuZoomOutMax);
  EXPECT_EQ(ExtractFileName(aprs.Map->MapFile), "Welt.jpg");
}

TEST_F(WiringTest, OwnPositionOnlyFromAValidFix) {
  frmGpsStatus->GpsLat = 52.5;
  frmGpsStatus->GpsLon = 13.3;
  frmGpsStatus->GpsDataOk = false;
  frmGpsStatus->Views().ShowOwnPosition();
  EXPECT_FALSE(frmAprs->Map->shpGPS->Visible());
  frmGpsStatus->GpsDataOk = true;
  frmGpsStatus->GpsPositionValid = true;
  frmGpsStatus->Views().ShowOwnPosition();
  EXPECT_TRUE(frmAprs->Map->shpGPS->Visible());
}

// The stations of the last run are back in the list and, once the saved map is loaded,
// on the map.
class WiringRestartTest : public AppFolderTest {};

TEST_F(WiringRestartTest, SavedStationsComeBackInListAndMap) {
  std::string stations;
  {
    TProgramWindows owner;
    CreateWindows(owner);
    frmSetup->edtCallP1->SetText("N0CALL");
    frmAprs->MapDir = ShippedDataFolder() + "APRS-Karten/";
    frmAprs->AprsMapFile = frmAprs->MapDir + "Welt.jpg";
    frmAprs->LoadMapFromSettings();
    const TKissBuildResult frame = BuildKissFrame("DL1ABC-9", "APRS", "!5230.50N/01320.70E>Saved");
    KissLink.KissActive = 1;
    KissLink.KissRxBytes(frame.Bytes);
    KissLink.KissActive = 0;
    frmAprs->Stations.SaveStations(frmAprs->StationFileName());
    stations = frmAprs->Stations.StationList.Text();
  }
  TProgramWindows owner;
  CreateWindows(owner);
  // As the start does once the settings are applied.
  frmAprs->ShowStoredStations();
  // The stations come in between paints, after the window is shown.
  ASSERT_TRUE(PumpUntil([] { return !frmAprs->Stations.LoadingStations(); }));
  EXPECT_EQ(frmAprs->Stations.StationList.Text(), stations);
  EXPECT_GE(frmAprsStnList->FindStationRow(kKey), 0);
  EXPECT_EQ(frmAprs->Map->FindSymbolControl(kKey), nullptr);
  frmAprs->MapDir = ShippedDataFolder() + "APRS-Karten/";
  frmAprs->AprsMapFile = frmAprs->MapDir + "Welt.jpg";
  frmAprs->LoadMapFromSettings();
  EXPECT_NE(frmAprs->Map->FindSymbolControl(kKey), nullptr);
}

}  // namespace

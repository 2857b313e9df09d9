// A whole session: an APRS-IS server on the loopback address sends the corpus packets
// after the login; the same packets also come in as KISS frames from a TNC.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/monitor/monitor_styles.h"
#include "app/receive/receive_session.h"
#include "core/kiss_ax25.h"
#include "core/kiss_link.h"
#include "core/tnc2_line.h"
#include "platform/test_support/loopback_tcp_server.h"
#include "platform/text/sysutils.h"
#include "support/kiss_link_double.h"

namespace {

std::vector<std::string> SessionLines() {
  std::ifstream in(std::string(VELMORA_TEST_DATA) + "/receive/aprs_is_session.txt",
                   std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The record without the fields that tell how and when it came in.
std::string WithoutRoad(std::string record, std::initializer_list<int> fields) {
  for (int field : fields) CsvSetField(field, "", record);
  return record;
}

std::map<std::string, std::string> Records(const TStationList& list,
                                           std::initializer_list<int> fields) {
  std::map<std::string, std::string> records;
  for (int i = 0; i < list.Count(); ++i) {
    std::string key;
    CsvGetField(sfKey, list.Line(i), key);
    records[key] = WithoutRoad(list.Line(i), fields);
  }
  return records;
}

void FeedDirectly(TReceivePath& path, const std::vector<std::string>& lines) {
  TReceivedPacket packet;
  for (const std::string& line : lines) {
    SplitIsLine(line, packet);
    path.dispatcher.AnalysePacket(packet);
  }
}

TEST(ReceiveSession, LoopbackServerSessionEndsInStationsMonitorAndStationFile) {
  const std::vector<std::string> lines = SessionLines();
  ASSERT_GT(lines.size(), 500u);
  TLoopbackTcpServer server;
  TReceiveSession s(server.Port());
  s.link.mbtnTcpClick();
  ASSERT_TRUE(PumpUntil([&] { return server.Accept(5); }));
  ASSERT_EQ(PumpLogin(server), "user N0CALL pass 12345 vers Velmora 1.2 r/52/13/100\r\n");

  std::string session = "# aprsc 2.1.4 7 Dec 2026 08:00:00 GMT T2TEST 127.0.0.1:14580\r\n";
  for (const std::string& line : lines) session += line + "\r\n";
  ASSERT_TRUE(server.Send(session));
  ASSERT_TRUE(PumpUntil([&] { return s.handed_over == static_cast<int>(lines.size()) + 1; }));

  // The monitor follows the end and holds the last packets, trimmed to 300 lines.
  TTestMonitor& monitor = s.path.monitor;
  EXPECT_LE(monitor.LineCount(), kMonitorMaxLines);
  EXPECT_GT(monitor.LineCount(), 250);
  TReceivedPacket last;
  SplitIsLine(lines.back(), last);
  EXPECT_EQ(monitor.LineText(monitor.LineCount() - 1), last.Header);
  EXPECT_EQ(monitor.LineText(monitor.LineCount()), Trim(last.Data));
  EXPECT_EQ(monitor.GetItemStyleIndex(monitor.ItemCount() - 1), msIgData);

  // Stations from the corpus, with the values its test suites assert.
  auto number = [&](const std::string& key, int field) {
    return StrToFloat(s.path.Field(key, field));
  };
  EXPECT_NEAR(number("AAprsOH7FDN", sfLat), 62.8920, 5e-5);
  EXPECT_NEAR(number("AAprsOH7FDN", sfLon), 27.6578, 5e-5);
  EXPECT_EQ(s.path.Field("AAprsOH7FDN", sfCourse), "36");
  EXPECT_EQ(s.path.Field("AAprsOH7FDN", sfAltitude), "465");
  EXPECT_EQ(s.path.Field("AAprsOH7FDN", sfHeardVia), "OH7AA-1");
  EXPECT_NEAR(number("AAprsYB1RUS459", sfLat), -6.15517, 5e-6);
  EXPECT_NEAR(number("AAprsYB1RUS459", sfLon), 106.71417, 5e-6);
  EXPECT_EQ(s.path.Field("AAprsYB1RUS459", sfAprsTime), "180000z");
  EXPECT_NEAR(number("AAprsOH2KKU4515", sfLat), 60.0520, 5e-5);
  EXPECT_NEAR(number("AAprsOH2KKU4515", sfLon), 24.5045, 5e-5);
  EXPECT_EQ(s.path.Field("AAprsOH2KKU4515", sfPosFormat), "67");
  EXPECT_EQ(s.path.Field("AAprsA0RID451", sfComment), "Home$32of$32KA0RID");
  EXPECT_EQ(s.path.Field("AAprsA0RID451", sfMicEMsg), "32");

  // Every line arrived intact: the same packets fed straight in give the same records.
  TReceivePath direct;
  FeedDirectly(direct, lines);
  EXPECT_GT(direct.store.StationList.Count(), 30);
  EXPECT_EQ(Records(s.path.store.StationList, {sfRxStamp}),
            Records(direct.store.StationList, {sfRxStamp}));

  // Shut-down: the reader stops, then the stations are written and read back whole.
  s.link.Stop();
  const std::string file =
      (std::filesystem::temp_directory_path() / "velmora_session_stn.dat").string();
  s.path.store.SaveStations(file);
  TRecordingViews views;
  TStationStore reloaded(views);
  ASSERT_TRUE(reloaded.LoadStations(file));
  std::filesystem::remove(file);
  EXPECT_EQ(reloaded.StationList.Text(), s.path.store.StationList.Text());
}

TEST(ReceiveSession, RadioFramesGiveTheSameStationsAsInternetLines) {
  std::vector<std::string> sent;
  TReceivePath radio;
  TKissLink tnc;
  tnc.KissActive = 1;
  TKissLinkDouble views;
  views.OnPacket = [&](const TReceivedPacket& packet) { radio.dispatcher.AnalysePacket(packet); };
  tnc.SetViews(&views);
  for (const std::string& line : SessionLines()) {
    TReceivedPacket internet;
    if (!SplitIsLine(line, internet)) continue;
    const size_t gt = line.find('>');
    const size_t colon = line.find(':');
    // The radio path ends where the internet's own elements (TCPIP, the q construct and
    // the gate after it) begin.
    const std::string path = line.substr(gt + 1, colon - gt - 1);
    std::string radio_path;
    for (size_t from = 0; from <= path.size();) {
      const size_t comma = std::min(path.find(',', from), path.size());
      std::string element = path.substr(from, comma - from);
      if (element.rfind("TCPIP", 0) == 0 || element.rfind("qA", 0) == 0) break;
      if (!element.empty() && element.back() == '*') element.pop_back();
      radio_path += (radio_path.empty() ? "" : ",") + element;
      from = comma + 1;
    }
    const TKissBuildResult frame =
        BuildKissFrame("0:" + line.substr(0, gt), radio_path, line.substr(colon + 1));
    if (frame.Error != TKissBuildError::None) continue;
    tnc.KissRxBytes(frame.Bytes);
    sent.push_back(line);
  }
  ASSERT_GT(sent.size(), 300u);
  TReceivePath internet;
  FeedDirectly(internet, sent);
  // Apart from the port and how the packet travelled (header, path, digipeater), the
  // records agree.
  const std::initializer_list<int> fields = {sfRxStamp, sfPort, sfHeardVia, sfPath, sfHeader};
  EXPECT_GT(radio.store.StationList.Count(), 30);
  EXPECT_EQ(Records(radio.store.StationList, fields), Records(internet.store.StationList, fields));
  EXPECT_EQ(radio.Field("AAprsOH7FDN", sfPort), "1");
  EXPECT_EQ(internet.Field("AAprsOH7FDN", sfPort), "-1");
}

}  // namespace

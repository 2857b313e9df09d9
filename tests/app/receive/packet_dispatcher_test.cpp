#include "app/receive/packet_dispatcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <stdexcept>

#include "app/monitor/monitor_styles.h"
#include "app/receive/receive_fixture.h"
#include "core/tnc2_line.h"
#include "platform/text/sysutils.h"

namespace {

const std::string kRadio2Header = "2:fm N0CALL-9 to APRS via WIDE1-1* WIDE2-1 ctl UI pid F0";
const std::string kStationKey = "AAprsN0CALL459";

double FieldNumber(const TReceivePath& r, const std::string& key, int field) {
  return StrToFloat(r.Field(key, field));
}

TEST(PacketDispatcher, WithoutCallsignOrMapAPacketLeavesNoTrace) {
  for (int variant = 0; variant < 2; ++variant) {
    TReceivePath r;
    r.recording = true;
    r.tcp_digi = true;
    if (variant == 0) r.call_p1 = " ";
    if (variant == 1) r.map_file.clear();
    r.Packet(kRadio2Header, "!5230.50N/01320.70E>Test");
    EXPECT_EQ(r.monitor.ItemCount(), 0);
    EXPECT_TRUE(r.log_lines.empty());
    EXPECT_TRUE(r.igated.empty());
    EXPECT_EQ(r.store.StationList.Count(), 0);
  }
  TReceivePath second_call_only;
  second_call_only.call_p1.clear();
  second_call_only.call_p2 = "N0CALL-2";
  second_call_only.Packet(kRadio2Header, "!5230.50N/01320.70E>Test");
  EXPECT_EQ(second_call_only.store.StationList.Count(), 1);
}

TEST(PacketDispatcher, RadioHeaderGivesPortCallsPathAndHeardVia) {
  TReceivePath r;
  r.tcp_digi = true;
  r.Packet(kRadio2Header, "!5230.50N/01320.70E>Test");
  ASSERT_EQ(r.igated.size(), 1u);
  const TAprsInfo& info = r.igated[0];
  EXPECT_EQ(info.Port, 2);
  EXPECT_EQ(info.SrcCall, "N0CALL-9");
  EXPECT_EQ(info.DestCall, "APRS");
  EXPECT_EQ(info.Path, "WIDE1-1 WIDE2-1");
  EXPECT_EQ(info.HeardVia, "WIDE1-1");
  EXPECT_EQ(info.Header, kRadio2Header);
  EXPECT_EQ(r.lamps, std::vector<int>{2});
  // Header and data each on a line of their own, in the port 2 styles.
  EXPECT_EQ(r.monitor.LineText(2), kRadio2Header);
  EXPECT_EQ(r.monitor.LineText(3), "!5230.50N/01320.70E>Test");
  EXPECT_EQ(r.monitor.GetItemStyleIndex(r.monitor.ItemCount() - 1), msP2Data);
  // The header line is the item before the data line's.
  EXPECT_EQ(r.monitor.GetItemStyleIndex(r.monitor.ItemCount() - 2), msP2Head);

  EXPECT_NEAR(FieldNumber(r, kStationKey, sfLat), 52.508333, 1e-5);
  EXPECT_NEAR(FieldNumber(r, kStationKey, sfLon), 13.345, 1e-5);
  EXPECT_EQ(r.Field(kStationKey, sfSymTable), "47");
  EXPECT_EQ(r.Field(kStationKey, sfSymCode), "62");
  EXPECT_EQ(r.Field(kStationKey, sfPosFormat), "65");
  EXPECT_EQ(r.Field(kStationKey, sfComment), "Test");
  EXPECT_EQ(r.Field(kStationKey, sfPort), "2");
  EXPECT_EQ(r.Field(kStationKey, sfPath), "WIDE1-1 WIDE2-1");
}

TEST(PacketDispatcher, HeardViaFromCountedDownAliasesOnly) {
  struct Case {
    std::string path;
    std::string heard_via;
  } cases[] = {{"WIDE2-1", "WIDE2-1"}, {"WIDE2-2", ""}, {"TRACE3-1", "TRACE3-1"},
               {"TRACE3-3", ""},       {"WIDE", ""},    {"RELAY WIDE2-1", ""}};
  for (const Case& c : cases) {
    TReceivePath r;
    r.tcp_digi = true;
    r.Packet("fm N0CALL to APRS via " + c.path + " ctl UI pid F0", ">x");
    ASSERT_EQ(r.igated.size(), 1u) << c.path;
    EXPECT_EQ(r.igated[0].HeardVia, c.heard_via) << c.path;
    EXPECT_EQ(r.igated[0].Path, c.path);
  }
}

TEST(PacketDispatcher, InternetHeaderPathRunsToTheEnd) {
  TReceivePath r;
  r.tcp_digi = true;
  r.Packet("ig N0CALL to APRS via TCPIP*,qAC,T2TEST", "!4903.50N/07201.75W-");
  ASSERT_EQ(r.igated.size(), 1u);  // the IGate itself refuses internet packets
  EXPECT_EQ(r.igated[0].Port, -1);
  EXPECT_EQ(r.igated[0].Path, "TCPIP,QAC,T2TEST");
  EXPECT_EQ(r.igated[0].HeardVia, "TCPIP");
  EXPECT_TRUE(r.dispatcher.IgSeen);
  EXPECT_TRUE(r.lamps.empty());
  EXPECT_EQ(r.monitor.GetItemStyleIndex(r.monitor.ItemCount() - 1), msIgData);
  // Without a path the destination is still read.
  r.Packet("ig N0CALL-2 to APDW16", "!4903.50N/07201.75W-");
  EXPECT_EQ(r.igated.back().DestCall, "APDW16");
  EXPECT_EQ(r.igated.back().Path, "");
}

// A packet played from a log is shown, stored, recorded and read by the messaging
// window like a live one, but the IGate does not send it to the internet again.
TEST(PacketDispatcher, APlayedPacketIsNotForwardedAgain) {
  TReceivePath r;
  r.tcp_digi = true;
  r.recording = true;
  r.handing_over = true;
  r.Packet(kRadio2Header, ":N0CALL   :hello{1");
  r.Packet(kRadio2Header, "!5230.50N/01320.70E>Test");
  EXPECT_TRUE(r.igated.empty());
  EXPECT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.log_lines.size(), 2u);
  EXPECT_EQ(r.lamps, (std::vector<int>{2, 2}));
  EXPECT_FALSE(r.Record(kStationKey).empty());
  r.handing_over = false;
  r.Packet(kRadio2Header, "!5230.50N/01320.70E>Live");
  EXPECT_EQ(r.igated.size(), 1u);
}

TEST(PacketDispatcher, NonUiRadioFramesAreOnlyEchoed) {
  TReceivePath r;
  r.tcp_digi = true;
  r.recording = true;
  r.Packet("fm N0CALL to APRS ctl I00^ pid F0", "!5230.50N/01320.70E>Test");
  EXPECT_EQ(r.monitor.LineText(2), "fm N0CALL to APRS ctl I00^ pid F0");
  EXPECT_TRUE(r.log_lines.empty());
  EXPECT_TRUE(r.igated.empty());
  EXPECT_TRUE(r.lamps.empty());
  EXPECT_EQ(r.store.StationList.Count(), 0);
}

TEST(PacketDispatcher, PlainAmbiguousAndCompressedPositions) {
  TReceivePath r;
  r.Packet("fm N0CALL to APRS ctl UI pid F0", "!5230.5 N/01320.7 E>");
  EXPECT_NEAR(FieldNumber(r, "AAprsN0CALL", sfLat), 52.508333, 1e-5);
  EXPECT_NEAR(FieldNumber(r, "AAprsN0CALL", sfLon), 13.345, 1e-5);

  // 13 characters after '!' that fail the plain test are a compressed block.
  r.Packet("fm N0CALL-1 to APRS ctl UI pid F0", "!/5L!!<*e7>7P[");
  const std::string key = "AAprsN0CALL451";
  EXPECT_EQ(r.Field(key, sfPosFormat), "67");
  EXPECT_NEAR(FieldNumber(r, key, sfLat), 49.5, 1e-4);
  EXPECT_NEAR(FieldNumber(r, key, sfLon), -72.75, 1e-4);
  EXPECT_EQ(r.Field(key, sfCourse), "88");
  EXPECT_NEAR(FieldNumber(r, key, sfSpeed), 36.2, 0.1);
  EXPECT_EQ(r.Field(key, sfRange), "-1");

  // A range byte leaves course and speed absent.
  r.Packet("fm N0CALL-2 to APRS ctl UI pid F0", "!/5L!!<*e7>{?!");
  EXPECT_NEAR(FieldNumber(r, "AAprsN0CALL452", sfRange), 20.125, 0.01);
  EXPECT_EQ(r.Field("AAprsN0CALL452", sfCourse), "-1");
  EXPECT_EQ(r.Field("AAprsN0CALL452", sfSpeed), "-1");

  // A fix from a GGA sentence sends its altitude in the cs bytes, 1.002^cs feet.
  r.Packet("fm N0CALL-4 to APRS ctl UI pid F0", "!/1I^)5;ly<ANW");
  EXPECT_EQ(r.Field("AAprsN0CALL454", sfAltitude), "368");
  EXPECT_EQ(r.Field("AAprsN0CALL454", sfCourse), "-1");
  EXPECT_EQ(r.Field("AAprsN0CALL454", sfSpeed), "-1");

  // Too short for either form: nothing is stored.
  r.Packet("fm N0CALL-3 to APRS ctl UI pid F0", "!/5L!!<*e7");
  EXPECT_EQ(r.Record("AAprsN0CALL453"), "");
}

TEST(PacketDispatcher, ObjectsAreKeyedByOwnerAndKilledObjectsDeleted) {
  TReceivePath r;
  r.tcp_digi = true;
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ";LEADER   *092345z4903.50N/07201.75W>088/036");
  const std::string key = "AAprsN0CALLLEADER";
  EXPECT_EQ(r.igated.at(0).SrcCall, "N0CALL");  // the IGate sees the packet as sent
  EXPECT_EQ(r.Field(key, sfSrcCall), "LEADER");
  EXPECT_EQ(r.Field(key, sfOwnerCall), "N0CALL");
  EXPECT_EQ(r.Field(key, sfObjState), "42");
  EXPECT_EQ(r.Field(key, sfAprsTime), "092345z");
  EXPECT_EQ(r.Field(key, sfCourse), "88");
  EXPECT_EQ(r.Field(key, sfSpeed), "36");

  r.views.calls.clear();
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ";LEADER   _092345z4903.50N/07201.75W>088/036");
  EXPECT_EQ(r.Record(key), "");
  EXPECT_TRUE(r.views.Called("marker- " + key));
  EXPECT_TRUE(r.views.Called("row- " + key));

  // Items: the state character stands within the first eleven characters.
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ")AID #2!4903.50N/07201.75WA");
  EXPECT_EQ(r.Field("AAprsN0CALLAID32352", sfSrcCall), "AID$32##2");
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ")TOOLONGNAME!4903.50N/07201.75WA");
  EXPECT_EQ(r.store.StationList.Count(), 1);
}

TEST(PacketDispatcher, MicEPositionsAndTheirComment) {
  TReceivePath r;
  r.Packet("fm N0CALL to T2SP0W ctl UI pid F0", "`c51!f?>/]\"3x}=");
  const std::string key = "AAprsN0CALL";
  EXPECT_EQ(r.Field(key, sfPosFormat), "93");  // ']' taken out of the comment
  EXPECT_EQ(r.Field(key, sfComment), "=");     // the altitude "3x} was taken too
  EXPECT_NE(r.Field(key, sfAltitude), "-1");
  EXPECT_NE(r.Field(key, sfLat), "");
  EXPECT_EQ(r.Field(key, sfDestCall), "T2SP0W");
}

TEST(PacketDispatcher, MessagesStatusAndInternetSwitches) {
  TReceivePath r;
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ":N0CALL-2 :hello{1");
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].Data, ":N0CALL-2 :hello{1");

  // A status for a station not yet heard with a position is dropped, later kept.
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ">on the air");
  EXPECT_EQ(r.store.StationList.Count(), 0);
  r.Packet("fm N0CALL to APRS ctl UI pid F0", "!5230.50N/01320.70E>");
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ">on the air");
  EXPECT_EQ(r.Field("AAprsN0CALL", sfStatusText), ">on$32the$32air");

  r.tcp_no_out_data = true;
  r.Packet("ig N0CALL-5 to APRS via TCPIP*", "!5230.50N/01320.70E>");
  EXPECT_EQ(r.Record("AAprsN0CALL455"), "");
  r.tcp_no_out_data = false;
  r.tcp_no_mon = true;
  const int items = r.monitor.ItemCount();
  r.Packet("ig N0CALL-5 to APRS via TCPIP*", "!5230.50N/01320.70E>");
  EXPECT_EQ(r.monitor.ItemCount(), items);
  EXPECT_NE(r.Record("AAprsN0CALL455"), "");
}

TEST(PacketDispatcher, RecordsLogLinesThroughTheCallFilter) {
  TReceivePath r;
  r.recording = true;
  r.log_filter = " N0CALL-9,DL1ABC ";
  r.Packet(kRadio2Header, "!5230.50N/01320.70E>A; test");
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ">not in the filter");
  ASSERT_EQ(r.log_lines.size(), 1u);
  const std::string& line = r.log_lines[0];
  ASSERT_GT(line.size(), 13u);
  EXPECT_EQ(line[12], ':');
  EXPECT_EQ(line.substr(13), "N0CALL-9>APRS,WIDE1-1,WIDE2-1:!5230.50N/01320.70E>A$59$32test");
  r.log_filter.clear();
  r.Packet("fm N0CALL to APRS ctl UI pid F0", "");  // logged even without data
  EXPECT_EQ(r.log_lines.back().substr(13), "N0CALL>APRS:");
  r.recording = false;
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ">x");
  EXPECT_EQ(r.log_lines.size(), 2u);
}

TEST(PacketDispatcher, ControlCharactersInAPacketStayOnItsLine) {
  TReceivePath r;
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ">first");
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ">a\b\b\b\b\rb\nc\ad");
  const int lines = r.monitor.LineCount();
  EXPECT_EQ(r.monitor.LineText(lines - 2), ">first");
  EXPECT_EQ(r.monitor.LineText(lines), ">a     b c d");
  r.recording = true;
  r.Packet("fm N0CALL to APRS ctl UI pid F0", ">x\ry");
  EXPECT_EQ(r.log_lines.back().substr(13), "N0CALL>APRS:>x$13y");
  // Only the information field is escaped in a log line: an address holding a line end
  // would be cut there and play back as another packet, so it is not recorded.
  using namespace std::string_literals;
  for (const std::string& line : {"N0CALL>APRS,I\rS4:>x"s, "I\0S4>APRS:>x"s, "N0CALL>AP\rRS:>x"s}) {
    TReceivedPacket packet;
    ASSERT_TRUE(SplitIsLine(line, packet));
    r.dispatcher.AnalysePacket(packet);
  }
  EXPECT_EQ(r.log_lines.size(), 1u);
}

// A server's keep-alive line ("# ...") is no packet: it reaches the dispatcher as an
// empty pair and must add no empty monitor line and no log line.
TEST(PacketDispatcher, AnEmptyPairLeavesNoTrace) {
  TReceivePath r;
  r.recording = true;
  r.tcp_digi = true;
  r.Packet("", "");
  r.Packet(" ", ">data without a header");
  r.dispatcher.AnalysePacket(TReceivedPacket());
  EXPECT_EQ(r.monitor.ItemCount(), 0);
  EXPECT_TRUE(r.log_lines.empty());
  EXPECT_TRUE(r.igated.empty());
}

TEST(PacketDispatcher, ShortAndMalformedPacketsAreHarmless) {
  TReceivePath r;
  const std::string datas[] = {"!",
                               "/",
                               "@1",
                               ";",
                               ";SHORT",
                               ")",
                               ")!",
                               ")A_",
                               "`",
                               "'",
                               "\x91",
                               ">",
                               "_",
                               "=",
                               "!5230.50N",
                               "/092345z",
                               "}",
                               "$GPRMC",
                               std::string("!\0\0\0", 4),
                               "!9999.99N/99999.99E>"};
  const std::string headers[] = {"",
                                 "fm",
                                 "ig",
                                 "fm  to ",
                                 "ig x to",
                                 "fm A to B via",
                                 "2:fm A to",
                                 "fm A to B via C* ctl UI",
                                 "fm A to B via * ctl UI pid F0"};
  for (const std::string& header : headers) {
    for (const std::string& data : datas) r.Packet(header, data);
  }
  r.dispatcher.AnalysePacket(TReceivedPacket());
  SUCCEED();
}

TEST(PacketDispatcher, APacketWhoseHandlingFailsIsDroppedAndCounted) {
  TReceivePath r;
  r.on_message = [](const TAprsInfo&) { throw std::runtime_error("full"); };
  r.Packet(kRadio2Header, ":N0CALL   :hello{1");
  EXPECT_EQ(r.dispatcher.Dropped(), 1);
  r.Packet(kRadio2Header, "!5230.50N/01320.70E>Test");
  EXPECT_EQ(r.dispatcher.Dropped(), 1);
  EXPECT_FALSE(r.Record(kStationKey).empty());
}

TEST(PacketDispatcher, RandomBytesNeverCorruptTheStationFile) {
  TReceivePath r;
  std::mt19937 random(42);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 60);
  auto noise = [&] {
    std::string text(length(random), '\0');
    for (char& c : text) c = static_cast<char>(byte(random));
    return text;
  };
  const std::string prefixes[] = {"!5230.50N/01320.70E",
                                  "=/5L!!<*e7>7P",
                                  ";OBJ      *092345z4903.50N/07201.75W",
                                  ")IT!4903.50N/07201.75W",
                                  "`c51!f?>/",
                                  ">",
                                  "_"};
  for (int i = 0; i < 3000; ++i) {
    const std::string call = "N" + std::to_string(i % 50) + noise().substr(0, i % 3);
    r.Packet((i % 2 ? "fm " : "ig ") + call + " to T2SP0W via " + noise() + " ctl UI pid F0",
             prefixes[i % std::size(prefixes)] + noise());
  }
  ASSERT_GT(r.store.StationList.Count(), 20);
  const std::string path =
      (std::filesystem::temp_directory_path() / "velmora_random_stn.dat").string();
  r.store.SaveStations(path);
  TRecordingViews views;
  TStationStore loaded(views);
  ASSERT_TRUE(loaded.LoadStations(path));
  std::filesystem::remove(path);
  EXPECT_EQ(loaded.StationList.Text(), r.store.StationList.Text());
  // Every record still has its 24 fields in place.
  for (int i = 0; i < loaded.StationList.Count(); ++i) {
    std::string stamp;
    CsvGetField(sfRxStamp, loaded.StationList.Line(i), stamp);
    EXPECT_EQ(stamp.size(), 12u);
  }
}

}  // namespace

// The inputs our fuzzers drive through the program's own readers and its receive path,
// shared by the libFuzzer programs in fuzz/ and by the test that replays their saved
// corpus (fuzz_replay_test.cpp). Both must run to the end on any bytes: no crash, no
// sanitizer report, no hang, and no line we send or write that holds a line break.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/language/code_encode.h"
#include "app/language/language_key.h"
#include "app/language/speak_file.h"
#include "app/map/aprs_symbols.h"
#include "app/map/map_calibration.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/receive/aprs_is_link.h"
#include "app/receive/packet_dispatcher.h"
#include "app/receive/packet_log.h"
#include "app/receive/test_monitor.h"
#include "app/stations/station_store.h"
#include "app/transmit/beacons.h"
#include "core/kiss_ax25.h"
#include "core/kiss_link.h"
#include "core/tnc2_line.h"
#include "platform/gui/graphics/picture.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/files.h"
#include "platform/text/string_list.h"
#include "support/kiss_link_double.h"

// A line we send or write: one line, or the fuzzer stops with the input that made it.
inline void ExpectOneLine(std::string_view Line) {
  if (Line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) std::abort();
}

// The receive path with everything that answers or records a packet: the dispatcher
// and station store, the IGate, the messaging window's automatic acknowledgements (on
// the radio and the internet) and the packet log recorder. Each line or frame any of
// them makes is checked.
class TFuzzReceivePath : public TDispatcherSettings, public TDispatchTargets, public TDispatchLog {
 public:
  TFuzzReceivePath() {
    dispatcher.Monitor = &monitor;
    dispatcher.SetSettings(this);
    dispatcher.SetTargets(this);
    dispatcher.SetLog(this);
    messages.OwnCalls = &own_calls;
    messages.Kiss = &radio_out;
    messages.Internet = &internet_out;
    internet_out.SetViews(&internet_lines);
    radio_out_views.Device = 1;
    radio_out_views.OnFrame = [](std::span<const uint8_t> Bytes) {
      // The frame as a receiver reads it: its information field is one line.
      const std::vector<uint8_t> inner(Bytes.begin() + 1, Bytes.end() - 1);
      const std::string text = DecodeAx25Frame(KissUnescape(inner));
      ExpectOneLine(text.substr(text.find("\r\n") + 2));
      return true;
    };
    radio_out.SetViews(&radio_out_views);
    radio_out.SetWriter(&radio_out_views);
    radio_in.KissActive = 1;
    radio_in_views.OnPacket = [this](const TReceivedPacket& Packet) {
      dispatcher.AnalysePacket(Packet);
    };
    radio_in.SetViews(&radio_in_views);
  }

  std::string CallP1() const override { return "N0CALL"; }
  std::string CallP2() const override { return "N0CALL-2"; }
  std::string MapFile() const override { return "map.jpg"; }
  bool TcpDigi() const override { return true; }
  bool TcpNoOutData() const override { return false; }
  bool TcpNoMon() const override { return false; }

  void IGateToTcp(const TAprsInfo& Info) override {
    if (const std::optional<std::string> line = IGateLine(Info, CallP1())) ExpectOneLine(*line);
    igate.IGateToTcp(Info);
  }
  void ReceiveMessage(const TAprsInfo& Info) override { messages.HandleRxMessage(Info); }
  bool Recording() const override { return true; }
  std::string FilterText() const override { return {}; }
  void AddLogLine(const std::string& Line) override {
    ExpectOneLine(Line);
    recorder_lines.push_back(Line);
  }
  bool HandingOver() const override { return false; }

  TTestMonitor monitor;
  TStationStore store;
  TPacketDispatcher dispatcher{store};
  TAprsIsLink igate;  // never connected: it builds its lines and stops there
  TfrmAprsMsg messages{nullptr};
  // The messaging window's own calls, answering on both ports.
  struct TOwn : TOwnCalls {
    std::string Call(int Port) const override { return Port == 0 ? "N0CALL" : "N0CALL-2"; }
    std::string Path(int Port) const override { return Port == 0 ? "APRS,WIDE1-1" : "APRS"; }
  } own_calls;
  // A connected server whose every line is checked.
  struct TInternetLines : TBeaconViews {
    bool IsConnected() const override { return true; }
    bool WriteLine(const std::string& Line) override {
      ExpectOneLine(Line);
      return true;
    }
  } internet_lines;
  TBeacons internet_out;
  TKissLinkDouble radio_in_views;
  TKissLinkDouble radio_out_views;
  TKissLink radio_in;
  TKissLink radio_out;
  std::vector<std::string> recorder_lines;
};

// Bytes from the TNC (first byte odd) or from the APRS-IS server (even), through the
// whole receive path.
inline void FuzzReceivePath(const uint8_t* Data, size_t Size) {
  if (Size == 0) return;
  TFuzzReceivePath path;
  const std::string_view bytes(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  if (Data[0] & 1) {
    path.radio_in.KissRxBytes(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  } else {
    // Lines as the TCP client cuts them: at LF, one CR before it dropped.
    for (size_t from = 0; from < bytes.size();) {
      size_t end = std::min(bytes.find('\n', from), bytes.size());
      std::string line(bytes.substr(from, end - from));
      if (!line.empty() && line.back() == '\r') line.pop_back();
      from = end + 1;
      if (line.empty()) continue;
      TReceivedPacket packet;
      SplitIsLine(line, packet);
      path.dispatcher.AnalysePacket(packet);
    }
  }
  // What the recorder keeps reads back as packets.
  TReceivedPacket packet;
  for (const std::string& line : path.recorder_lines) (void)LogLineToPacket(line, packet);
}

// Any bytes as "Stn.dat": loaded, saved and loaded again to the same list.
inline void FuzzStationFile(const uint8_t* Data, size_t Size, const std::string& Folder) {
  const std::string file = Folder + "Stn.dat";
  SaveFileAtomically(file, std::string_view(reinterpret_cast<const char*>(Data), Size));
  TStationStore store;
  store.LoadStations(file);
  store.SaveStations(file);
  TStationStore again;
  again.LoadStations(file);
  if (again.StationList.Text() != store.StationList.Text()) std::abort();
}

// Any bytes as a recorded packet log: every line read as the player reads it, then
// played back to its end.
inline void FuzzPacketLog(const uint8_t* Data, size_t Size, const std::string& Folder) {
  const std::string text(reinterpret_cast<const char*>(Data), Size);
  TStringList lines;
  lines.SetText(text);
  TReceivedPacket packet;
  TDateTime time = 0;
  for (int i = 0; i < lines.Count(); ++i) {
    if (LogLineToPacket(lines[i], packet) && packet.Header.empty()) std::abort();
    (void)LogLineTime(lines[i], time);
  }
  const std::string file = Folder + "fuzz.log";
  SaveFileAtomically(file, text);
  TPacketPlayer player;
  int played = 0;
  player.AnalysePacket = [&](const TReceivedPacket& Packet) {
    if (Packet.Header.empty()) std::abort();
    ++played;
  };
  if (!player.Start(file)) return;
  // A log may span years of log time: the ticks are bounded, the lines are not.
  for (int tick = 0; tick < 10000 && player.Playing(); ++tick) player.Tick();
}

// Any bytes as a language file, both as the plain text and as the enciphered file the
// disk holds: read as LoadSpeakFile reads it, then each line taken apart as applying
// it does (no window is open, so nothing is applied).
inline void FuzzSpeakFile(const uint8_t* Data, size_t Size) {
  const std::string raw(reinterpret_cast<const char*>(Data), Size);
  std::vector<std::string> texts = {raw};
  try {
    texts.push_back(DecodeString(raw, kLanguageKey));
  } catch (const Exception&) {
  }
  for (const std::string& plain : texts) {
    TStringList lines;
    lines.SetText(plain.size() > kSpeakPreambleLength ? plain.substr(kSpeakPreambleLength)
                                                      : std::string());
    (void)ReadSpeakLines(lines);
    for (int i = 0; i < lines.Count(); ++i) {
      (void)ApplySpeakLine(lines[i]);
      (void)LineBreakToSpeakCr(SpeakCrToLineBreak(lines[i]));
    }
  }
}

// Any bytes as a map's calibration file, in both forms.
inline void FuzzCalibration(const uint8_t* Data, size_t Size) {
  const std::string text(reinterpret_cast<const char*>(Data), Size);
  for (bool typed : {false, true}) {
    long double lat_min = 0, lon_min = 0, lon_max = 0, lat_max = 0;
    std::string name;
    if (ParseMapCalibration(text, typed, lat_min, lon_min, name, lon_max, lat_max) &&
        (!(lat_min < lat_max) || !(lon_min < lon_max) || !std::isfinite(lat_max - lat_min) ||
         !std::isfinite(lon_max - lon_min)))
      std::abort();  // a map that spans no area would divide by zero
  }
}

// Any bytes as a BMP picture where the program reads one: a map (loaded by its file
// extension, as the map window loads it) and both symbol sheets, from which every
// symbol is then cut, overlays included. Folder ends with '/'.
inline void FuzzBmpPictures(const uint8_t* Data, size_t Size, const std::string& Folder) {
  const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
  SaveFileAtomically(Folder + "map.bmp", bytes);
  TPicture map;
  try {
    map.LoadFromFile(Folder + "map.bmp");
  } catch (const Exception&) {
    // Refused: the map window says so and keeps its map.
  }
  ForceDirectories(Folder + "Symbols");
  SaveFileAtomically(Folder + "Symbols/Primary.bmp", bytes);
  SaveFileAtomically(Folder + "Symbols/Alternate.bmp", bytes);
  (void)LoadSymbolSheets(Folder);
  TBitmap symbol;
  for (char table : {'/', '\\', 'D'})
    for (int code = 32; code <= 126; ++code) SymbolPicture(table, char(code), symbol);
}

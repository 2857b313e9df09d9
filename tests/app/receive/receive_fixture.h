// The receive path without windows: a dispatcher feeding a station store and a plain
// monitor, with the windows' side recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/receive/aprs_info.h"
#include "app/receive/packet_dispatcher.h"
#include "app/receive/test_monitor.h"
#include "app/stations/station_store.h"
#include "core/csv_ctrl.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"
#include "support/monitor_header.h"

// Records what the store asks of the windows, in every role and in one order, and
// answers their settings.
class TRecordingViews : public TStationMarkers,
                        public TStationRows,
                        public TStationDetail,
                        public TStationCounter,
                        public TStationSettings {
 public:
  // Every role is this one's.
  operator TStationViews() { return {this, this, this, this, this}; }

  std::vector<std::string> calls;  // "operation key"
  std::vector<int> station_counts;
  bool info_visible = false;
  bool follow_rx = false;
  std::string shown_key;
  bool sound_rx = false;
  bool sound_call = false;
  int max_age_minutes = 0;
  int open_batches = 0;       // station changes begun and not yet ended
  bool throw_on_row = false;  // a row that cannot be shown

  void ShowStationOnMap(const TAprsInfo& Info) override { calls.push_back("map " + Info.Key); }
  void FreeStationMarker(const std::string& Key) override { calls.push_back("marker- " + Key); }
  void DeleteSymbolPlaces(const std::string& Key) override { calls.push_back("places- " + Key); }
  void ClearCrosshair(const std::string& Key) override { calls.push_back("crosshair- " + Key); }
  void MarkStation(const std::string& Key) override { calls.push_back("crosshair " + Key); }
  void AddOrUpdateStationRow(const std::string& Record) override {
    if (throw_on_row) throw Exception("row");
    std::string key;
    CsvGetField(0, Record, key);
    calls.push_back("row " + key);
  }
  void DeleteStationRow(const std::string& Key) override { calls.push_back("row- " + Key); }
  void DeletePickKey(const std::string& Key) override { calls.push_back("pick- " + Key); }
  bool StationInfoVisible() override { return info_visible; }
  bool FollowRx() override { return follow_rx; }
  std::string ShownKey() override { return shown_key; }
  void ShowStationInfo(const std::string& Key) override { calls.push_back("info " + Key); }
  void CloseStationInfo() override {
    calls.push_back("info-");
    shown_key.clear();
  }
  void ShowStationCount(int Count) override { station_counts.push_back(Count); }
  bool SoundRxOn() const override { return sound_rx; }
  bool SoundCallOn() const override { return sound_call; }
  int StationMaxAgeMinutes() const override { return max_age_minutes; }
  void BeginStationChanges() override { ++open_batches; }
  void EndStationChanges() override { --open_batches; }
  void ShowLoadedStation(const std::string& Record) override {
    std::string key;
    CsvGetField(0, Record, key);
    calls.push_back("loaded " + key);
  }

  bool Called(const std::string& call) const {
    for (const std::string& c : calls) {
      if (c == call) return true;
    }
    return false;
  }
};

// A dispatcher with both callsigns' gate open and a map loaded. What it hands on is
// collected, or given to on_igate, on_message and on_log_line where a test sets them.
class TReceivePath : public TDispatcherSettings, public TDispatchTargets, public TDispatchLog {
 public:
  TReceivePath() {
    dispatcher.Monitor = &monitor;
    dispatcher.SetSettings(this);
    dispatcher.SetTargets(this);
    dispatcher.SetLog(this);
  }

  void LightRxLamp(int port) override { lamps.push_back(port); }
  void IGateToTcp(const TAprsInfo& info) override {
    if (on_igate) return on_igate(info);
    igated.push_back(info);
  }
  void ReceiveMessage(const TAprsInfo& info) override {
    if (on_message) return on_message(info);
    messages.push_back(info);
  }
  bool Recording() const override { return recording; }
  std::string FilterText() const override { return log_filter; }
  void AddLogLine(const std::string& line) override {
    if (on_log_line) return on_log_line(line);
    log_lines.push_back(line);
  }
  bool HandingOver() const override { return handing_over; }

  std::string CallP1() const override { return call_p1; }
  std::string CallP2() const override { return call_p2; }
  std::string MapFile() const override { return map_file; }
  bool TcpDigi() const override { return tcp_digi; }
  bool TcpNoOutData() const override { return tcp_no_out_data; }
  bool TcpNoMon() const override { return tcp_no_mon; }

  void Packet(const std::string& header, const std::string& data) {
    dispatcher.AnalysePacket(MonitorTextPacket(header, data));
  }
  // The station record of a key, empty when there is none.
  std::string Record(const std::string& key) const {
    const int index = store.IndexOfStation(key);
    return index < 0 ? std::string() : store.StationList.Line(index);
  }
  std::string Field(const std::string& key, int field) const {
    std::string value;
    CsvGetField(field, Record(key), value);
    return value;
  }

  std::string call_p1 = "N0CALL";
  std::string call_p2;
  std::string map_file = "map.jpg";
  bool tcp_digi = false;
  bool tcp_no_out_data = false;
  bool tcp_no_mon = false;
  bool recording = false;
  bool handing_over = false;  // a played packet is being dispatched
  std::string log_filter;

  std::vector<int> lamps;
  std::vector<TAprsInfo> igated;
  std::vector<TAprsInfo> messages;
  std::vector<std::string> log_lines;
  std::function<void(const TAprsInfo& info)> on_igate;
  std::function<void(const TAprsInfo& info)> on_message;
  std::function<void(const std::string& line)> on_log_line;

  TRecordingViews views;
  TStationStore store{views};
  TTestMonitor monitor;
  TPacketDispatcher dispatcher{store};
};

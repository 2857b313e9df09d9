// The packet dispatcher: every received packet, in monitor form (a header line and the
// information field), ends here whatever its road - KISS frames from the TNC, lines
// from the APRS-IS server, packets played back from a log:
//   "2:fm N0CALL-9 to APRS via WIDE1-1* WIDE2-1 ctl UI pid F0"   radio port 2
//   "ig N0CALL to APRS via TCPIP*,qAC,T2TEST"                      internet
// It echoes the packet to the monitor in the styles of its port, lights the receive
// lamp, hands it to the packet log, the IGate and the messaging window, and decodes
// positions, objects, items and Mic-E into a TAprsInfo for the station store; status and
// positionless weather texts go to the station they belong to.
#pragma once

#include <string>

#include "app/receive/aprs_info.h"
#include "core/packet_header.h"

class TCustomRichDoc;
class TStationStore;

// What the dispatcher reads when a packet comes (the settings window's controls and the
// loaded map), so that it follows every change without being told.
class TDispatcherSettings {
 public:
  virtual ~TDispatcherSettings() = default;
  virtual std::string CallP1() const = 0;   // edtCallP1
  virtual std::string CallP2() const = 0;   // edtCallP2
  virtual std::string MapFile() const = 0;  // the loaded map, empty when none
  virtual bool TcpDigi() const = 0;         // mbtnTcpDigi: forward radio packets (IGate)
  virtual bool TcpNoOutData() const = 0;    // mbtnTcpNoOutData: do not decode internet packets
  virtual bool TcpNoMon() const = 0;        // mbtnTcpNoMon: do not echo internet packets
};

// Where a dispatched packet goes besides the monitor and the station store (the map
// window's lamps, the IGate, the messaging window). Each does nothing unless overridden.
class TDispatchTargets {
 public:
  virtual ~TDispatchTargets() = default;
  // Restarts the receive lamp of radio port 1 or 2 (bmpmRxP1 / timRxP1 ...).
  virtual void LightRxLamp(int Port) { (void)Port; }
  // The IGate, for UI packets while mbtnTcpDigi is down.
  virtual void IGateToTcp(const TAprsInfo& Info) { (void)Info; }
  // The messaging window's receive routine, for information fields starting with ':'.
  virtual void ReceiveMessage(const TAprsInfo& Info) { (void)Info; }
};

// The packet log window as the dispatcher sees it: it records the packets that pass
// while it records, and plays recorded ones back through the dispatcher.
class TDispatchLog {
 public:
  virtual ~TDispatchLog() = default;
  virtual bool Recording() const = 0;
  virtual std::string FilterText() const = 0;            // memFilter: calls separated by ','
  virtual void AddLogLine(const std::string& Line) = 0;  // one recorded line
  // True while a played packet is being dispatched: it is shown, decoded and stored,
  // but the IGate does not forward it a second time.
  virtual bool HandingOver() const = 0;
};

class TPacketDispatcher {
 public:
  explicit TPacketDispatcher(TStationStore& Store) : store_(Store) {}

  // Not owned. Without settings nothing is dispatched (no own call, no map).
  void SetSettings(const TDispatcherSettings* Settings) { settings_ = Settings; }

  // Not owned; none, nothing goes there.
  void SetTargets(TDispatchTargets* Targets) { targets_ = Targets; }
  void SetLog(TDispatchLog* Log) { log_ = Log; }

  // Monitor viewer rdMain; no echo while unset.
  TCustomRichDoc* Monitor = nullptr;

  // Set by every dispatched internet packet; the APRS-IS side reads and clears it.
  bool IgSeen = false;
  // Packets dropped because decoding them failed.
  long Dropped() const { return dropped_; }

  // A packet whose header was taken apart where it came in; the texts are echoed and
  // recorded as they are. Never raises: what cannot be decoded is dropped and counted
  // (Dropped).
  void AnalysePacket(const TReceivedPacket& Packet);
  // Hands the packet to the packet log while it records, through its call filter.
  void RecordLogPacket(const TAprsInfo& Info);
  // Around many packets at once (a hand-over of the APRS-IS reader): the monitor and the
  // station list lay themselves out once for all of them, as they would have after the
  // last; the pairs nest.
  void BeginPackets();
  void EndPackets();

 private:
  void Dispatch(const TReceivedPacket& Packet);
  bool Enabled() const;
  void Echo(const TAprsInfo& Info, const std::string& Header, const std::string& Data);
  void Decode(TAprsInfo& Info);

  TStationStore& store_;
  const TDispatcherSettings* settings_ = nullptr;
  TDispatchTargets* targets_ = nullptr;
  TDispatchLog* log_ = nullptr;
  long dropped_ = 0;
};

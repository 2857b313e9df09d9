// The program's one APRS-IS connection: started and stopped from the tool bar button,
// logged in as soon as it connects, read by the reader thread (aprs_is_reader.h), and
// used by the IGate to forward packets heard on the radio to the internet:
//   user N0CALL pass 12345 vers Velmora 1.2 r/52/13/100
//   N0CALL-9>APRS,WIDE1-1,WIDE2-1:!5230.50N/01320.70E>Test
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/receive/aprs_info.h"
#include "core/aprs_is_reader.h"
#include "platform/gui/geometry.h"
#include "platform/io/tcp_client.h"

// The IGate's line for a packet heard on the radio, source>destination,path:data, cut at
// any line break (tnc2_line.h); none for internet packets and packets without source.
std::optional<std::string> IGateLine(const TAprsInfo& Info);

// "user %s pass %s vers Velmora 1.2", then a blank and the filter when the trimmed
// filter is not empty (taken literally).
std::string LoginLine(const std::string& Call, const std::string& Passcode,
                      const std::string& Filter);

// The connect button's colour for the connection's state: light green while connected,
// light red while reconnecting.
TColor ConnectButtonColor(TAprsIsState State);

// The settings window's controls the connection reads.
struct TAprsIsSettings {
  std::function<std::string()> Server;    // mfcbxTcpServer: "host:port ;comment"
  std::function<std::string()> CallP1;    // edtCallP1, the login callsign
  std::function<std::string()> Passcode;  // nedtVNR
  std::function<std::string()> Filter;    // edtTcpFilter
};

class TAprsIsLink {
 public:
  TAprsIsLink();
  ~TAprsIsLink();
  TAprsIsLink(const TAprsIsLink&) = delete;
  TAprsIsLink& operator=(const TAprsIsLink&) = delete;

  TTcpClient TCPClientIGate;
  TAprsIsSettings Settings;
  // Handed to the reader thread when the connection is started.
  TAprsIsHooks ReaderHooks;
  // Milliseconds between the reader's passes over the connection.
  int ReaderPassMs = 1000;

  // Window side, each called only when assigned.
  std::function<void(bool Down)> SetButtonDown;            // mbtnTcp shows the wish to be connected
  std::function<void(const std::string& Text)> ShowError;  // the skinned error box
  std::function<void(const std::string& Text)> SetStatusText;  // Label1
  std::function<void()> ClearIgSeen;  // the dispatcher's IgSeen, on connect and disconnect
  std::function<void()> TxLamp;       // bmpmTxTcp lit for 500 ms (timTxTcp)

  // mbtnTcp: stops a wanted connection, or starts the reader for the chosen server.
  void mbtnTcpClick();
  bool TcpWanted() const { return reader_ != nullptr; }
  // Never raises; asking the connection from any thread is safe.
  bool IsConnected() const;
  // Forwards a radio packet as source>destination,path:data; nothing for internet
  // packets, packets without source or while not connected.
  void IGateToTcp(const TAprsInfo& Info);
  // Shut-down: the reader ends and the connection closes.
  void Stop();

 private:
  void TCPClientIGateConnected();

  std::unique_ptr<TCPTheard> reader_;
  std::atomic<bool> closing_{false};
};

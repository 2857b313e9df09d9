// The program's one APRS-IS connection: started and stopped from the tool bar button,
// logged in as soon as it connects, read by the reader thread (aprs_is_reader.h), and
// used by the IGate to forward packets heard on the radio to the internet:
//   user N0CALL pass 12345 vers Velmora 1.2 r/52/13/100
//   N0CALL-9>APRS,WIDE1-1*,WIDE2-1,qAR,N0CALL:!5230.50N/01320.70E>Test
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "app/receive/aprs_info.h"
#include "core/aprs_is_reader.h"
#include "platform/gui/graphics/geometry.h"
#include "platform/io/tcp_client.h"

// Said when the internet link is switched on without a server chosen.
extern const char* const kNoServerText;

// The IGate's line for a packet heard on the radio, by the APRS-IS rules for IGates:
// source>destination,path,qAR,OwnCall:data, the path as heard ('*' marks kept). None for
// internet packets, packets without source, without OwnCall, and for what must not reach
// the internet: a path holding TCPIP, TCPXX, NOGATE or RFONLY, a generic query ('?'), an
// empty information field, a packet sent in OwnCall's name, and a packet holding CR, LF
// or NUL, which would end the line early. A third-party
// packet ('}') is gated as the packet it carries, judged by the same rules, so one that
// came from the internet (TCPIP or TCPXX in its header) goes back to none.
std::optional<std::string> IGateLine(const TAprsInfo& Info, const std::string& OwnCall);

// "user %s pass %s vers Velmora 1.2", then a blank and the filter when the trimmed
// filter is not empty. Each part ends at its first CR, LF or NUL (tnc2_line.h).
std::string LoginLine(const std::string& Call, const std::string& Passcode,
                      const std::string& Filter);

// The connect button's colour for the connection's state: light green while connected,
// light red while reconnecting.
TColor ConnectButtonColor(TAprsIsState State);

// The settings window's controls the connection reads.
class TAprsIsSettings {
 public:
  virtual ~TAprsIsSettings() = default;
  virtual std::string Server() const = 0;            // mfcbxTcpServer: "host:port ;comment"
  virtual std::string CallP1() const = 0;            // edtCallP1, the login callsign
  virtual std::string CallP2() const { return {}; }  // edtCallP2, never gated either
  virtual std::string Passcode() const = 0;          // nedtVNR
  virtual std::string Filter() const = 0;            // edtTcpFilter
};

// The program's side of the connection: what its reader reports, and the window side.
// Each does nothing unless overridden.
class TAprsIsViews : public TAprsIsReaderViews {
 public:
  virtual void SetButtonDown(bool Down) { (void)Down; }  // mbtnTcp shows the wish to be connected
  virtual void ShowError(const std::string& Text) { (void)Text; }  // the skinned error box
  virtual void ClearIgSeen() {}  // the dispatcher's IgSeen, on connect and disconnect
  virtual void TxLamp() {}       // bmpmTxTcp lit for 500 ms (timTxTcp)
};

class TAprsIsLink {
 public:
  TAprsIsLink();
  ~TAprsIsLink();
  TAprsIsLink(const TAprsIsLink&) = delete;
  TAprsIsLink& operator=(const TAprsIsLink&) = delete;

  TTcpClient TCPClientIGate{TTcpClient::kQueueCapacity, kAprsIsMaxLineBytes};
  // Not owned; set before the first connection. Without settings no server is chosen.
  void SetSettings(const TAprsIsSettings* Settings) { settings_ = Settings; }
  void SetViews(TAprsIsViews* Views) { views_ = Views ? Views : &no_views_; }
  // The views, the reader's among them (handed to the reader when it starts).
  TAprsIsViews& Views() const { return *views_; }
  // Milliseconds between the reader's passes over the connection, and without a byte
  // from the server before the reader reconnects.
  int ReaderPassMs = 1000;
  int ReaderIdleMs = TCPTheard::kIdleTimeoutMs;

  // mbtnTcp: stops a wanted connection, or starts the reader for the chosen server.
  void mbtnTcpClick();
  bool TcpWanted() const { return reader_ != nullptr; }
  // Never raises; asking the connection from any thread is safe.
  bool IsConnected() const;
  // Forwards a radio packet as IGateLine gives it, while connected.
  void IGateToTcp(const TAprsInfo& Info);
  // Shut-down: the reader ends and the connection closes.
  void Stop();

 private:
  void TCPClientIGateConnected();

  const TAprsIsSettings* settings_ = nullptr;
  TAprsIsViews no_views_;
  TAprsIsViews* views_ = &no_views_;
  std::unique_ptr<TCPTheard> reader_;
  std::atomic<bool> closing_{false};
};

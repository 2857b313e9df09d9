// The APRS-IS reader: a worker thread that watches the internet server connection once
// a second, reads the lines that have arrived and hands them to the GUI thread in
// batches, where each is split into monitor form (tnc2_line.h) and given to the packet
// dispatcher, in the order the server sent them. Lines that arrived before the
// connection dropped are all handed over; then it reports the loss and reconnects, on
// its own thread. A server that sends nothing for the idle time-out (servers send a
// keep-alive comment every 20 s) counts as lost too: it has gone without closing the
// connection.
//
// Everything that touches the program (dispatcher, monitor, the connect button and the
// status text) runs on the GUI thread through TThread::Synchronize, through the views
// the program gives the reader when it is created. One hand-over carries the lines
// waiting, up to a batch or a few tens of milliseconds of the window's time: a call per
// line cost both threads a switch each way per line, and the window a pass of its event
// loop, often a paint, between two lines. The connection's own events
// (TTcpClient::OnConnected ...) come on the reader's thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "core/link_traffic.h"
#include "core/packet_header.h"
#include "platform/io/tcp_client.h"
#include "platform/sys/thread.h"

// The status texts while the reader tries to connect again, after the connection was
// lost or the server went silent; the program shows them translated.
extern const char* const kConnectionLostText;  // "TCPIP connection lost, try to ..."
extern const char* const kServerSilentText;    // "TCPIP server silent, try to ..."

// The longest line of an APRS-IS server, its CR LF counted; the program's connection
// (TCPClientIGate) drops a longer one whole.
constexpr std::size_t kAprsIsMaxLineBytes = 512;

// The connection as the reader sees it; the program shows it on the connect button.
enum class TAprsIsState : std::uint8_t { Connected, Reconnecting };

// What the reader reports to the program, each on the GUI thread; each does nothing
// unless overridden.
class TAprsIsReaderViews {
 public:
  virtual ~TAprsIsReaderViews() = default;
  // A line in monitor form, header and information field, with the header's parts
  // (the packet dispatcher); empty for a line that is no packet.
  virtual void AnalysePacket(const TReceivedPacket& Packet) { (void)Packet; }
  // True once the dispatcher shows internet packets itself: no raw echo then.
  virtual bool IgSeen() const { return false; }
  // The raw line for the monitor rdMain.
  virtual void AddLogText(const std::string& Text, TLinkTraffic Traffic) {
    (void)Text;
    (void)Traffic;
  }
  // Around the lines of one hand-over: what the window would redo after each line
  // (laying out the monitor, following its end) it may do once at the end.
  virtual void BeginLines() {}
  virtual void EndLines() {}
  virtual void SetLinkState(TAprsIsState State) { (void)State; }       // the connect button mbtnTcp
  virtual void SetStatusText(const std::string& Text) { (void)Text; }  // Label1
};

// The class name is the program's own.
class TCPTheard : public TThread {
 public:
  // Starts reading at once; the first pass connects. Client is the program's APRS-IS
  // connection (TCPClientIGate); it and Views must outlive the reader.
  TCPTheard(TTcpClient& Client, std::string Host, int Port, TAprsIsReaderViews& Views,
            int PassIntervalMs = 1000, int IdleTimeoutMs = kIdleTimeoutMs);
  static constexpr int kIdleTimeoutMs = 60000;
  // Lines handed over together at most: enough that a hand-over costs next to nothing
  // per line and the window lays out, follows and trims its monitor once for many. Under
  // a full feed a hand-over mostly ends at its time (a few tens of milliseconds), so that
  // the window paints and answers the user between two.
  static constexpr int kMaxLinesPerHandOver = 4096;
  ~TCPTheard() override;

  // Ends the reader: wakes it, shuts the connection, waits for the thread and
  // disconnects. Call on the GUI thread; no line is handed over after it returns.
  void Stop();

 protected:
  void Execute() override;

 private:
  // Nothing came from the server within the idle time-out.
  bool ServerSilent();
  void ReportLost(const char* Text);
  void ReadWaitingLines();
  void HandOverLines();
  void Reconnect();
  // On the GUI thread: the lines of a hand-over from the front of RxQueue in order, each
  // as CurrentLine.
  void ProcessLines();
  void ProcessLine();
  // Waits Ms, or less when Stop wakes the reader.
  void Pause(int Ms);

  TTcpClient& client_;
  const std::string Host;
  const int Port;
  TAprsIsReaderViews& views_;
  const int pass_interval_ms_;
  const int idle_timeout_ms_;
  std::string CurrentLine;
  // Taken from the front one by one while the server may add thousands at the back; the
  // GUI thread takes them during a hand-over, while the reader waits.
  std::deque<std::string> RxQueue;
  // The last pass stopped at its line limit with more waiting.
  bool backlog_ = false;
  // The next pass comes soon: the last one took lines, or a connection was just made
  // (a server starts its feed right after the login).
  bool pass_soon_ = false;
  TReceivedPacket WorkPacket;
  std::atomic<bool> Active{true};
  std::mutex wake_mutex_;
  std::condition_variable wake_;
};

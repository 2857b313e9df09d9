// The serial-port driver shared by the TNC, the GPS receiver and the weather station.
//
// Each device has its own TRs232 instance; the instances differ only in their
// TRs232Profile (which modem lines go up at open, what is purged, how long a close
// waits). While a port is open, a reader thread (TEventThread) waits for received
// bytes in 100 ms steps and runs the owner's hand-over, OnReceive, on the GUI thread,
// blocking until it has run: every received byte is read and decoded on the GUI thread.
// Writes never wait for the device: they are queued (platform/io/write_queue.h) and
// written in order by a writer thread, so a device holding its flow control costs the
// caller nothing; a full queue drops its oldest writes and reports them (OnWritesDropped).
// Closing drops what still waits.
//
// Error texts of OpenRs232 are the program's own (Windows-1252):
//   "OpenRs232: Öffnen der Schnittstelle nicht möglich !"  port missing or in use
//   "OpenRs232: SetupComm nicht erfolgreich"               not a serial device
//   "OpenRs232: DCB setzen nicht möglich"                  baud or line settings refused
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/frame_writer.h"
#include "platform/io/serial_port.h"
#include "platform/io/write_queue.h"

extern const char* const kRs232OpenFailed;
extern const char* const kRs232SetupFailed;
extern const char* const kRs232DcbFailed;

struct TRs232Profile {
  bool RaiseDtr = false;           // DTR up once the port is open
  bool RaiseRts = false;           // RTS up once the port is open
  bool PurgeOutputAtOpen = false;  // the receive side is always purged
  unsigned CloseWaitMs = 0;        // settle time after a close, window messages processed
};

class TEventThread;

// Starting and stopping a device on its port. A close's settle wait keeps window
// messages flowing, so a click handled meanwhile asks for the device again from inside
// the switch under way; carried out there, the outer switch would end by undoing it
// (a receiver marked stopped with its port open). Such a request is carried out after
// the switch under way instead, and only the latest one: when the wait is over, the
// device is as last asked, and its state and its port agree.
class TRunSwitch {
 public:
  // Runs Switch(Run) now, or, asked from inside a switch under way, after it.
  void Request(bool Run, const std::function<void(bool Run)>& Switch);

 private:
  bool switching_ = false;
  std::optional<bool> latest_;
};

class TRs232 : public TFrameWriter {
 public:
  explicit TRs232(TRs232Profile Profile);
  ~TRs232() override;
  TRs232(const TRs232&) = delete;
  TRs232& operator=(const TRs232&) = delete;

  // Returns false and sets Error to one of the
  // texts above when the port cannot be used; Error is left alone on success.
  bool OpenRs232(int Port, unsigned Baud, TSerialFlow Flow, std::string& Error);
  // As OpenRs232, on a device file instead of a port number (tests, pseudo-terminals).
  bool OpenRs232Device(const std::string& Path, unsigned Baud, TSerialFlow Flow,
                       std::string& Error);
  // Stops and joins the reader, then closes the port. Closing a closed port does nothing.
  void CloseRs232();
  // For an end that cannot wait, on the GUI thread once the readers' Synchronize calls
  // are released: every open port closed at once, its reader joined, without the settle
  // wait and without a window message; the devices are free for the next opener.
  static void CloseOpenPorts();
  uint8_t Rs232Open() const { return open_; }

  void SetRs232Dtr(bool On);
  void SetRs232Rts(bool On);
  int Rs232BytesAvailable() const;
  void PurgeRs232Input();
  // Both directions, as the weather station's resync needs.
  void PurgeRs232();
  // Queues the bytes for the writer; false when the port is closed.
  bool WriteRs232(const std::string& S);
  bool WriteRs232Buf(const uint8_t* Buf, int LastIndex);
  // A whole KISS frame; an empty one is not written.
  bool WriteFrame(std::span<const uint8_t> Bytes) override;
  // Writes queued and not yet taken by the device, the one being written among them.
  std::size_t PendingWrites() const { return writes_.Pending(); }
  // Writes dropped because the device did not take them, since the port was made.
  std::size_t DroppedWrites() const { return writes_.Dropped(); }
  // Reads what is waiting, at most min(Count, kRs232MaxRead) bytes, waiting up to a
  // second for the first. False only on a time-out (Read is then 0).
  bool ReadRs232(uint8_t* Buf, unsigned Count, unsigned& Read);

  // On the GUI thread, whenever bytes are waiting.
  std::function<void()> OnReceive;
  // On the reader thread, after every 100 ms step without data (the weather station
  // polls its device from here).
  std::function<void()> OnReaderIdle;
  // On the GUI thread, when the device went away while open (unplugged); the port is
  // closed by then.
  std::function<void()> OnDeviceLost;
  // On the writing thread, each time a full queue dropped a write; DroppedWrites counts.
  std::function<void()> OnWritesDropped;

  static constexpr unsigned kRs232MaxRead = 2023;
  static constexpr std::size_t kWriteQueueCapacity = 256;

 private:
  friend class TEventThread;
  bool Open(TSerialOpenResult Result, std::string& Error);
  void ReaderLostDevice();
  // Ends the writer's wait and drops what waits, then closes the device: the writer
  // never writes to a number the system may give to another file.
  void CloseDevice();
  // CloseRs232 but for its settle wait; false when the port was not open.
  bool StopAndClose();
  // Keeps open_ and the list of open ports (CloseOpenPorts) in step.
  void SetOpen(bool Open);

  TRs232Profile profile_;
  TSerialPort port_;
  std::atomic<uint8_t> open_{0};  // read by the reader thread
  std::unique_ptr<TEventThread> reader_;
  TWriteQueue writes_;
};

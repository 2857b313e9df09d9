// A serial port chosen by number (COM1, COM2, ...), over termios.
//
// Port numbers map to device files through the per-user table
// `<ConfigFolder()>ports`, lines like "COM3=/dev/ttyUSB0"; a number that the table
// does not name is /dev/ttyS<n-1>. The port is always 8 data bits, no parity, one stop
// bit, raw, and used exclusively while open: a second open of the same device fails as
// busy, and after Close the device is free again for anyone.
//
// Reads and writes may come from different threads; a reader thread waits with
// WaitForData, and Close (from any other thread) wakes that wait at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class TSerialFlow { None, XonXoff, RtsCts };

enum class TSerialOpenResult {
  Ok,
  CannotOpen,      // missing device, no permission or in use
  SetupFailed,     // not a terminal, or its queues could not be set up
  SettingsFailed,  // baud rate or line settings refused
};

enum class TSerialWait { DataReady, Timeout, Closed, Failed };

class TSerialPort {
 public:
  TSerialPort();
  ~TSerialPort();
  TSerialPort(const TSerialPort&) = delete;
  TSerialPort& operator=(const TSerialPort&) = delete;

  // The device file that port number `portNumber` (1-based, as COM1) stands for.
  static std::string DevicePath(int portNumber);

  TSerialOpenResult Open(int portNumber, unsigned baud, TSerialFlow flow);
  TSerialOpenResult OpenDevice(const std::string& path, unsigned baud, TSerialFlow flow);
  void Close();
  bool IsOpen() const;

  // Modem lines. False where the device has none (a pseudo-terminal): callers ignore it.
  bool SetDtr(bool on);
  bool SetRts(bool on);

  // Bytes received and not yet read; 0 when closed.
  int BytesWaiting() const;
  // Reads what is waiting, at most `count` bytes, waiting up to `timeoutMs` for the first
  // one. Returns the number read; 0 on time-out, a closed port or a failure.
  std::size_t Read(std::uint8_t* buffer, std::size_t count, int timeoutMs);
  // Writes all bytes unless `timeoutMs` passes first (a negative one: however long the
  // device takes) or CancelWait ends the wait. True when every byte was written.
  bool Write(const std::uint8_t* data, std::size_t size, int timeoutMs);
  bool Write(const std::string& text, int timeoutMs) {
    return Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), timeoutMs);
  }
  void PurgeInput();
  void PurgeOutput();

  // Waits up to `timeoutMs` for received data. Failed means the device went away
  // (unplugged, or the other end of a pseudo-terminal closed).
  TSerialWait WaitForData(int timeoutMs);
  // Ends the current and every later WaitForData with Closed, and every wait of Write
  // for room, without closing the device, so that its reader and writer can be joined
  // before the device is closed.
  void CancelWait();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

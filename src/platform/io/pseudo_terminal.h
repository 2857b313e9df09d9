// A pseudo-terminal pair: the device end behaves like a serial port for TSerialPort,
// and this object holds the other end, standing in for the device on the
// far end of the line in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TPseudoTerminal {
 public:
  TPseudoTerminal();  // throws std::runtime_error when no pair can be had
  ~TPseudoTerminal();
  TPseudoTerminal(const TPseudoTerminal&) = delete;
  TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

  // The device file to open as the serial port.
  const std::string& DevicePath() const { return device_path_; }

  // Sends bytes towards the serial port.
  bool Send(const std::vector<std::uint8_t>& bytes);
  bool Send(const std::string& text);
  // Collects what the serial port wrote until `count` bytes came or `timeoutMs` passed.
  std::vector<std::uint8_t> Receive(std::size_t count, int timeoutMs);
  // Hangs up, as an unplugged device would.
  void HangUp();
  // Whether the device end refuses other openers, as an ordinary user meets it: an open
  // refused as busy, or, where this process may open it anyway (root), the mark itself.
  bool MarkedExclusive() const;

 private:
  int controller_ = -1;
  int device_ = -1;  // kept open so the device end exists until the test closes it
  std::string device_path_;
};

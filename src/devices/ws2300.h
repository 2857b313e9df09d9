// The WS-2300 weather station: a polled link at 2400 baud that reads the station's
// memory, addressed in nibbles, in a fixed cycle of twelve read requests.
//
// Reset: send 0x06, the station answers 0x02. A read request is 4 address bytes, most
// significant nibble first, each 0x82 + 4 * nibble, acknowledged one by one with
// 16 * i + nibble; then the count byte 0xC2 + 4 * count, answered by one byte, the count
// data bytes and a checksum (their sum modulo 256). Request 1 (indoor temperature at
// nibble 0x0346, 7 bytes) goes out as 82 8E 92 9A DE and is acknowledged 00 13 24 36.
// Data byte k of a request at nibble address A holds nibble A + 2k low, A + 2k + 1 high.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "devices/wx_data.h"

constexpr std::uint8_t kWs2300Reset = 0x06;
constexpr std::uint8_t kWs2300ResetAnswer = 0x02;
constexpr int kWs2300Requests = 12;
// Silent 100 ms reader passes before the link is resynchronised.
constexpr int kWs2300SilentPasses = 10;

// Link states.
constexpr std::uint8_t kWs2300StateReset = 1;
constexpr std::uint8_t kWs2300StateResync = 2;
constexpr std::uint8_t kWs2300StateAck1 =
    3;  // 3..6: waiting for address byte 1..4's acknowledgement
constexpr std::uint8_t kWs2300StateData = 7;

// The link state machine. The reader thread's side (ReaderIdle, PassDone) and the
// receiving side (Receive, on the GUI thread while the reader waits for it) never run
// at the same time, so the state needs no lock.
class TWs2300Link {
 public:
  // Back to reset with request 1, as when the port's reader starts.
  void Start();
  // A reader pass that timed out: the tenth in a row starts a resync. Then PassDone.
  void ReaderIdle();
  // After every reader pass: the reset requests of the reset and resync states.
  void PassDone();
  // Bytes read from the port (at most one read's worth); advances the state machine.
  void Receive(const std::uint8_t* Bytes, std::size_t Count);

  // Fills Command, Acks and ReplyLength for RequestNo.
  void BuildWs2300Request();

  std::function<void(std::uint8_t Byte)> SendByte;
  std::function<void()> Purge;  // both directions
  // A reply whose checksum passed: the request number and the stored reply.
  std::function<void(int Code, const TBuffer64& Frame)> Dispatch;

  TBuffer64 Frame{};
  std::uint8_t FrameIndex = 0;
  std::uint8_t RequestNo = 1;
  std::uint8_t LinkState = kWs2300StateReset;
  std::uint8_t ReplyLength = 0;
  std::array<std::uint8_t, 5> Command{};
  std::array<std::uint8_t, 4> Acks{};
  int SilentCount = 0;

 private:
  void ClearFrame();
  void StartRequest();
  void Send(std::uint8_t Byte);
};

// The decoders' complaints: temperature, humidity, wind, pressure, sensor state, rain,
// rain total.
constexpr int kWs2300FormatErrorCount = 7;
extern const char* const kWs2300FormatErrors[kWs2300FormatErrorCount];

// Decodes the reply of request Code (1..12) into its block of Data, stamping it with Now.
// Returns the decoder's complaint ("Temp Format Error!" ...) when the data's own
// checksum fails, null otherwise (also for codes outside 1..12, which decode nothing).
const char* DecodeWs2300Frame(int Code, const TBuffer64& Frame, TWxData& Data, TDateTime Now);

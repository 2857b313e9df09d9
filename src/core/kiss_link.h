// The TNC link's KISS side: received bytes become monitor lines, outgoing packets
// become KISS frames on the serial port, with an echo in the monitor.
//
// Before the TNC is in KISS mode (KissActive 0) its bytes are lines of its own
// terminal, each shown in the monitor as it is. In KISS mode each frame between
// FENDs is decoded (kiss_ax25.h) into a header line and a data line for the map
// window's line collector. The link reaches the windows only through the hooks
// below, which the program assigns at start-up; each is called only when assigned.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/kiss_ax25.h"
#include "core/link_traffic.h"

enum class TKissSendResult { Sent, Refused, NotWritten };

class TKissLink {
 public:
  // 0: the TNC talks text, 1: KISS frames. Set by the TNC connect sequence.
  uint8_t KissActive = 0;
  // Device type 1..9 chosen at connect, read back by the disconnect sequence.
  uint8_t KissDeviceType = 0;
  // Frames dropped because they could not be decoded: too short, or an address that
  // is no callsign.
  size_t MalformedFrames = 0;

  // Bytes as they arrive from the TNC port, in any pieces: the output is the same
  // whether a frame comes whole or byte by byte. A line or frame longer than the
  // receive buffer is dropped, and reception resumes at the next line end or FEND.
  void KissRxBytes(std::span<const uint8_t> Data);

  // Sends Data from Source ("0:CALL-SSID" for radio port 1, "1:..." for port 2) to
  // the destination and digipeaters of DestAndPath (commas or blanks between them)
  // as one AX.25 UI frame in a KISS frame. Refused, with nothing written and no
  // echo, when the port prefix, an address, the path length or the frame size is
  // bad; the echo follows only a frame that was written.
  TKissSendResult SendKissFrame(std::string_view Source, std::string_view DestAndPath,
                                std::string_view Data);
  // Monitor echo of a frame being sent (only while a TNC device is chosen).
  void EchoTxFrame(std::string_view Source, std::string_view Path, std::string_view Data);

  // Hooks into the program.
  std::function<void(const std::string& Line)> CollectMonitorLine;     // map window
  std::function<void(const std::string& Text, TLinkTraffic Traffic)> AddLogText;  // monitor rdMain
  std::function<bool()> IsPlayingBack;       // packet-log player is playing a log
  std::function<bool()> IsDebugChecked;      // main frame's cbxDebug
  std::function<std::string()> RawByteText;  // settings memBytRx, read
  std::function<void(const std::string& Text)> SetRawByteText;  // settings memBytRx, write
  std::function<int()> DeviceIndex;  // settings mfcbxDevice item index, 0 = no TNC
  // Writes a whole frame to the TNC port; true when it was written.
  std::function<bool(std::span<const uint8_t> Bytes)> WriteRs232Buf;

 private:
  void EndOfLine();
  void EndOfFrame();
  void AppendRawBytes(std::span<const uint8_t> Bytes);
  void ClearRxBuffer();

  std::array<uint8_t, kKissBufferSize> KissRxBuffer{};
  size_t KissRxCount = 0;
  bool rx_overflow_ = false;  // the current line or frame outgrew the buffer
};

// The program's one TNC link.
extern TKissLink KissLink;

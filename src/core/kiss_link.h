// The TNC link's KISS side: received bytes become monitor lines, outgoing packets
// become KISS frames on the serial port, with an echo in the monitor.
//
// Before the TNC is in KISS mode (KissActive 0) its bytes are lines of its own
// terminal, each shown in the monitor as it is. In KISS mode each frame between
// FENDs is decoded (kiss_ax25.h) into a header line, a data line and the header's
// parts for the packet dispatcher. The link reaches the windows only through its views
// (TKissLinkViews) and the TNC only through its frame writer; the program sets both at
// start-up, and AttachKissLink hands the serial port's bytes to the link.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/frame_writer.h"
#include "core/kiss_ax25.h"
#include "core/link_traffic.h"

class TRs232;

enum class TKissSendResult { Sent, Refused, NotWritten };

// What the link shows and asks while it receives and sends: the program's windows, or
// a test's records. The questions answer "no" unless a view says otherwise.
class TKissLinkViews {
 public:
  virtual ~TKissLinkViews() = default;
  // A received frame: its monitor header and data lines and the header's parts (the
  // packet dispatcher).
  virtual void AnalysePacket(const TReceivedPacket& Packet) = 0;
  // Text for the monitor: the TNC's own lines, and the echo of what is sent.
  virtual void AddLogText(const std::string& Text, TLinkTraffic Traffic) = 0;
  // True while the packet log's player replays a log: the radio is not listened to.
  virtual bool IsPlayingBack() const { return false; }
  // The raw-byte debug list (the settings window's memBytRx), added to only while
  // debugging is on (the main frame's cbxDebug).
  virtual bool IsDebugChecked() const { return false; }
  virtual std::string RawByteText() const { return {}; }
  virtual void SetRawByteText(const std::string& Text) { (void)Text; }
  // The chosen TNC device (the settings window's mfcbxDevice); 0, no TNC, shows no echo
  // of what is sent.
  virtual int DeviceIndex() const { return 0; }
};

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
  // as one AX.25 UI frame in a KISS frame; Data ends at its first CR, LF or NUL, as
  // in every line we send (tnc2_line.h). Refused, with nothing written and no echo,
  // when the port prefix, an address, the path length or the frame size is bad; the
  // echo follows only a frame that was queued for the port.
  TKissSendResult SendKissFrame(std::string_view Source, std::string_view DestAndPath,
                                std::string_view Data);
  // Monitor echo of a frame being sent (only while a TNC device is chosen).
  void EchoTxFrame(std::string_view Source, std::string_view Path, std::string_view Data);

  // Neither is owned; null (the start) reports nothing and writes nothing.
  void SetViews(TKissLinkViews* Views) { views_ = Views; }
  TKissLinkViews* Views() const { return views_; }
  void SetWriter(TFrameWriter* Writer) { writer_ = Writer; }

 private:
  void EndOfLine();
  void EndOfFrame();
  void AppendRawBytes(std::span<const uint8_t> Bytes);
  void ClearRxBuffer();

  std::array<uint8_t, kKissBufferSize> KissRxBuffer{};
  size_t KissRxCount = 0;
  bool rx_overflow_ = false;  // the current line or frame outgrew the buffer
  TKissLinkViews* views_ = nullptr;
  TFrameWriter* writer_ = nullptr;
};

// The TNC on Port speaks through Link: every byte the port receives goes into the link,
// and the link's frames go out on the port. DetachKissLink undoes it before either goes.
void AttachKissLink(TRs232& Port, TKissLink& Link);
void DetachKissLink(TRs232& Port, TKissLink& Link);

// The program's one TNC link.
extern TKissLink KissLink;

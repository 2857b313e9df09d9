// The WMR-918 weather station: sends its readings unasked at 9600 baud. A frame is
// 0xFF 0xFF, a type byte, the data and a checksum (the sum of everything before it,
// the two 0xFF and the type included, modulo 256). Bit 6 of the first data byte set
// means the frame's readings are not valid.
//
//   type  bytes to the checksum  contents
//   0     11                     wind
//   1     16                     rain
//   2     9                      (accepted, nothing decoded)
//   3     9                      outdoor temperature and humidity
//   6     14                     indoor temperature and humidity, pressure
//
// Frames are stored with byte 0 = 0, bytes 1 and 2 = 0xFF, byte 3 = type, so the
// checksum stands at the byte numbered with the length above.
#pragma once

#include <cstdint>
#include <functional>

#include "devices/wx_data.h"

class TWmr918Receiver {
 public:
  // Cuts received bytes into frames; a frame whose checksum passes goes to Dispatch
  // with its type. 0xFF 0xFF always starts a new frame; nothing is stored before the
  // first one.
  void Receive(const std::uint8_t* Bytes, std::size_t Count);

  std::function<void(int Code, const TBuffer64& Frame)> Dispatch;

  TBuffer64 Frame{};
  std::uint8_t FrameIndex = static_cast<std::uint8_t>(Frame.size());
  std::uint8_t PreviousByte = 0;
};

// Decodes a frame of type Code into Data. Every block the frame touches takes the
// frame's valid bit and, when valid, the time Now. The station sends no extremes for
// temperature, humidity and pressure; they are kept here from the valid frames.
void DecodeWmr918Frame(int Code, const TBuffer64& Frame, TWxData& Data, TDateTime Now);

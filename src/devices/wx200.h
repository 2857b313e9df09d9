// The WX-200 weather station: sends its readings unasked at 9600 baud, in frames that
// start with a group byte and end with the sum of all bytes before (modulo 256).
//
//   group  length  contents
//   0x8F   35      humidity          0x9F   34   temperature
//   0xAF   31      pressure          0xBF   14   rain (not decoded)
//   0xCF   27      wind
//
// Readings are BCD nibbles; 0xEE marks a sensor that has no reading.
#pragma once

#include <cstdint>
#include <functional>

#include "devices/wx_data.h"

class TWx200Receiver {
 public:
  // Cuts received bytes into frames; a frame whose checksum passes goes to Dispatch
  // with its group byte. A group byte always starts a new frame, also inside one.
  void Receive(const std::uint8_t* Bytes, std::size_t Count);

  std::function<void(int Code, const TBuffer64& Frame)> Dispatch;

  TBuffer64 Frame = Filled();
  std::uint8_t FrameIndex = 0;

 private:
  static TBuffer64 Filled() {
    TBuffer64 f;
    f.fill(0xFF);
    return f;
  }
};

// Decodes a frame of group Code into Data. Every block the frame carries is stamped
// with Now; wind and pressure carry no flag of their own and are valid when decoded.
void DecodeWx200Frame(int Code, const TBuffer64& Frame, TWxData& Data, TDateTime Now);

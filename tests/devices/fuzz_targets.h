// The inputs our fuzzers drive through the GPS and weather-station decoders, shared by
// the libFuzzer programs in fuzz/ and by the test that replays their saved corpus
// (fuzz_replay_test.cpp). Both must run to the end on any bytes: no crash, no
// sanitizer report, no hang.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "devices/nmea_dec.h"
#include "devices/wmr918.h"
#include "devices/ws2300.h"
#include "devices/wx200.h"

// Bytes from a GPS receiver: fed as received text in pieces (the first byte picks their
// size), then each line once more as a whole sentence.
inline void FuzzNmea(const uint8_t* Data, size_t Size) {
  const std::string text(reinterpret_cast<const char*>(Data), Size);
  TNmeaDec decoder;
  decoder.Clock = [] { return TDateTime(46000.5); };
  size_t events = 0;
  decoder.OnNewData = [&](TComponent*, const std::string& line) { events += line.size(); };
  decoder.OnNewDataOk = [&](TComponent*, const std::string& line) { events += line.size(); };
  decoder.OnDataError = [&](TComponent*) { ++events; };
  const size_t piece = Size > 0 ? Data[0] % 13 + 1 : 1;
  for (size_t i = 0; i < Size; i += piece) decoder.FeedNmeaText(text.substr(i, piece));
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    decoder.DecodeNmeaSentence(text.substr(start, end - start));
    start = end + 1;
  }
}

// The first 64 bytes as a stored frame of every code, whatever its checksum says: the
// decoders must take any frame the receivers could hand them.
template <class Decode>
void DecodeEveryCode(const uint8_t* Data, size_t Size, int Codes, Decode decode) {
  TBuffer64 frame{};
  std::copy_n(Data, std::min(Size, frame.size()), frame.begin());
  TWxData weather{};
  for (int code = -1; code <= Codes; ++code) decode(code, frame, weather);
}

// Bytes from a WX-200 station, in pieces; every frame it completes is decoded.
inline void FuzzWx200(const uint8_t* Data, size_t Size) {
  TWx200Receiver receiver;
  TWxData weather{};
  receiver.Dispatch = [&](int code, const TBuffer64& frame) {
    DecodeWx200Frame(code, frame, weather, 46000.5);
  };
  const size_t piece = Size > 0 ? Data[0] % 9 + 1 : 1;
  for (size_t i = 0; i < Size; i += piece) receiver.Receive(Data + i, std::min(piece, Size - i));
  DecodeEveryCode(Data, Size, 0xFF, [](int code, const TBuffer64& frame, TWxData& data) {
    DecodeWx200Frame(code, frame, data, 46000.5);
  });
}

// Bytes from a WMR-918 station, likewise.
inline void FuzzWmr918(const uint8_t* Data, size_t Size) {
  TWmr918Receiver receiver;
  TWxData weather{};
  receiver.Dispatch = [&](int code, const TBuffer64& frame) {
    DecodeWmr918Frame(code, frame, weather, 46000.5);
  };
  const size_t piece = Size > 0 ? Data[0] % 9 + 1 : 1;
  for (size_t i = 0; i < Size; i += piece) receiver.Receive(Data + i, std::min(piece, Size - i));
  DecodeEveryCode(Data, Size, 0xFF, [](int code, const TBuffer64& frame, TWxData& data) {
    DecodeWmr918Frame(code, frame, data, 46000.5);
  });
}

// Bytes from a WS-2300 station answering the polled link: each byte of the input is a
// received byte, except that 0xFE stands for a silent reader pass.
inline void FuzzWs2300(const uint8_t* Data, size_t Size) {
  TWs2300Link link;
  TWxData weather{};
  size_t sent = 0;
  link.SendByte = [&](uint8_t) { ++sent; };
  link.Purge = [] {};
  link.Dispatch = [&](int code, const TBuffer64& frame) {
    DecodeWs2300Frame(code, frame, weather, 46000.5);
  };
  link.Start();
  for (size_t i = 0; i < Size; ++i) {
    if (Data[i] == 0xFE) {
      link.ReaderIdle();
    } else {
      link.Receive(Data + i, 1);
      link.PassDone();
    }
  }
  DecodeEveryCode(Data, Size, 13, [](int code, const TBuffer64& frame, TWxData& data) {
    DecodeWs2300Frame(code, frame, data, 46000.5);
  });
}

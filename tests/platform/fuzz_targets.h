// The inputs our fuzzers drive through the platform's file readers, shared by the
// libFuzzer programs in fuzz/ and by the test that replays their saved corpus
// (fuzz_replay_test.cpp). Both must run to the end on any bytes: no crash, no
// sanitizer report, no hang, and no result that breaks the reader's promises.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <span>
#include <string>

#include <strings.h>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/io/serial_port.h"
#include "platform/io/wave_file.h"
#include "platform/sys/files.h"
#include "platform/sys/registry.h"
#include "platform/text/streams.h"

// Every value under Path as text, keys and values in their order, skipping Skip.
inline void CollectSettings(TRegistry& Reg, const std::string& Path, const std::string& Skip,
                            std::string& Out) {
  if (!Reg.OpenKey(Path.empty() ? "\\" : Path, false)) std::abort();
  for (const std::string& name : Reg.GetValueNames()) {
    Out += Path + "|" + name + "=";
    try {
      Out += Reg.ReadString(name);
    } catch (const ERegistryException&) {
      Out += "#" + std::to_string(Reg.ReadInteger(name));
    }
    Out += "\n";
  }
  for (const std::string& key : Reg.GetKeyNames()) {
    // Key names compare without case, as the store compares them.
    if (strcasecmp((Path + "\\" + key).c_str(), Skip.c_str()) != 0)
      CollectSettings(Reg, Path + "\\" + key, Skip, Out);
  }
}

// Any bytes as the settings file (in ConfigFolder()): whatever is read is written back,
// and what was written reads back whole and the same.
inline void FuzzSettingsFile(const uint8_t* Data, size_t Size) {
  ForceDirectories(ConfigFolder());
  std::ofstream(TRegistry::FileName(), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(Data), std::streamsize(Size));
  const std::string marker = "\\FuzzWritten";
  std::string first;
  {
    TRegistry reg;
    CollectSettings(reg, "", marker, first);
    reg.OpenKey(marker, true);  // a change, so the file is written back
    reg.WriteInteger("Written", 1);
    reg.SaveChanges();
  }
  TRegistry again;
  if (again.Damaged()) std::abort();  // what we write must read back
  std::string second;
  CollectSettings(again, "", marker, second);
  if (first != second) std::abort();
}

// Any bytes as a JPEG map picture: decoded or refused with EInvalidGraphic.
inline void FuzzJpeg(const uint8_t* Data, size_t Size) {
  TMemoryStream stream;
  if (Size > 0) stream.WriteBuffer(Data, int64_t(Size));
  stream.SetPosition(0);
  TJPEGImage jpeg;
  try {
    jpeg.LoadFromStream(stream);
  } catch (const EInvalidGraphic&) {
  }
}

// Any bytes as a metafile of either form (as a document's picture brings it): loaded or
// refused with EInvalidGraphic; what loads is drawn, at its own size and stretched.
inline void FuzzMetafile(const uint8_t* Data, size_t Size) {
  const std::span<const uint8_t> bytes(Data, Size);
  for (bool enhanced : {false, true}) {
    try {
      const TMetafile picture(bytes, enhanced);
      TBitmap target;
      target.SetSize(64, 48);
      picture.Draw(target.Canvas(), TRect{0, 0, 64, 48});
      picture.Draw(target.Canvas(), TRect{-5, 3, 2000, 9});
    } catch (const EInvalidGraphic&) {
    }
  }
}

// Any bytes as the table of serial ports (in ConfigFolder()): every port number gets a
// device path, from the table or the default one.
// A sound file: whatever it claims, what is taken plays on a card and holds no more
// than the file did.
inline void FuzzWaveFile(const uint8_t* Data, size_t Size) {
  const auto wave = ParseWaveFile(std::string_view(reinterpret_cast<const char*>(Data), Size));
  if (!wave) return;
  if (wave->SampleRate < kMinWaveRate || wave->SampleRate > kMaxWaveRate || wave->Channels < 1 ||
      wave->Channels > kMaxWaveChannels || wave->Samples.size() > Size || wave->Samples.empty() ||
      wave->Samples.size() % static_cast<size_t>(wave->Channels * wave->BitsPerSample / 8) != 0)
    std::abort();  // the output refuses anything but whole frames
}

inline void FuzzPortsFile(const uint8_t* Data, size_t Size) {
  ForceDirectories(ConfigFolder());
  std::ofstream(ConfigFolder() + "ports", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(Data), std::streamsize(Size));
  for (int port = 1; port <= 16; ++port)
    if (TSerialPort::DevicePath(port).empty()) std::abort();
}

// The input the GIF reader's fuzzer drives through the codec, shared by the libFuzzer
// program (fuzz/gif_reader_fuzz.cpp) and the robustness tests, which call it over every
// prefix of the fixtures and the malformed corpus (gif_robustness_test.cpp). Any bytes
// must end in a picture or a GIFException, never in a crash, another exception, an
// endless loop or an unbounded allocation. A picture that loads is also written and
// rendered, since both walk what the reader accepted.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gif/gif_picture.h"
#include "platform/text/streams.h"

inline void FuzzGIFReader(const std::uint8_t* Data, std::size_t Size) {
  // Writing and rendering what the size limits let through is correct but slow; the
  // fuzzer's time goes to the reader.
  constexpr long long kMaxCheckedPixels = 1 << 22;
  TGIFPicture picture;
  TMemoryStream stream;
  stream.WriteBuffer(Data, static_cast<int64_t>(Size));
  stream.SetPosition(0);
  try {
    picture.LoadFromStream(stream);
  } catch (const GIFException&) {
    return;
  }
  long long pixels = 0;
  for (int i = 0; i < picture.Images.Count(); ++i) pixels += picture.Images[i].DataSize();
  if (pixels > kMaxCheckedPixels) return;
  try {
    TMemoryStream written;
    picture.SaveToStream(written);
  } catch (const GIFException&) {
  }
  for (int i = 0; i < picture.Images.Count(); ++i) {
    try {
      picture.Images[i].Bitmap();
    } catch (const GIFException&) {
    }
  }
}

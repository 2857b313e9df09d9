// Fuzz entry of the GIF reader: any bytes must end in a picture or a GIFException, never
// in a crash, another exception, an endless loop or an unbounded allocation. A picture
// that loads is also written and rendered, since both walk what the reader accepted.
// The replay tests call it over every prefix of the fixtures and the malformed corpus;
// built with -fsanitize=fuzzer it drives libFuzzer.
#include <cstddef>
#include <cstdint>

#include "gif/gif_picture.h"
#include "platform/text/streams.h"

namespace {
constexpr long long kMaxCheckedPixels = 1 << 22;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TGIFPicture picture;
  TMemoryStream stream;
  stream.WriteBuffer(Data, static_cast<int64_t>(Size));
  stream.SetPosition(0);
  try {
    picture.LoadFromStream(stream);
  } catch (const GIFException&) {
    return 0;
  }
  // Writing and rendering what the size limits let through is correct but slow; the
  // fuzzer's time goes to the reader.
  long long pixels = 0;
  for (int i = 0; i < picture.Images.Count(); ++i) pixels += picture.Images[i].DataSize();
  if (pixels > kMaxCheckedPixels) return 0;
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
  return 0;
}

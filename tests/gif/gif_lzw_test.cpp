// LZW image data: decoding edge cases over hand-built code streams, and the two
// encoders checked by decoding what they write.
#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <random>

#include "gif/gif_encoder.h"
#include "gif/gif_frame.h"
#include "gif/gif_lzw_decoder.h"
#include "gif/gif_picture.h"
#include "gif_test_support.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/text/format.h"
#include "platform/text/streams.h"

namespace {

std::vector<std::uint8_t> Decode(const std::string& Data, int Width, int Height, bool Interlaced,
                                 std::vector<std::string>* Warnings = nullptr,
                                 std::uint8_t Fill = 0) {
  TMemoryStream stream;
  stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
  stream.SetPosition(0);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(Width) * Height, Fill);
  DecodeFramePixels(stream, pixels.data(), Width, Height, Interlaced, [&](const std::string& m) {
    if (Warnings) Warnings->push_back(m);
  });
  return pixels;
}

std::string Encode(TGIFEncoder&& Encoder, const std::vector<std::uint8_t>& Pixels, int Bits,
                   int Width, int Height, bool Interlaced, int Colors = -1) {
  TMemoryStream stream;
  Encoder.Compress(stream, Bits, Colors < 0 ? 1 << Bits : Colors, Pixels.data(), Interlaced, Width,
                   Height);
  return std::string(static_cast<const char*>(stream.Memory()),
                     static_cast<std::size_t>(stream.Size()));
}

std::vector<std::uint8_t> RandomPixels(int Count, int Colors, unsigned Seed, int RunLength = 1) {
  std::mt19937 random(Seed);
  std::vector<std::uint8_t> pixels;
  while (static_cast<int>(pixels.size()) < Count) {
    const auto value = static_cast<std::uint8_t>(random() % Colors);
    const int run = 1 + static_cast<int>(random() % RunLength);
    for (int i = 0; i < run && static_cast<int>(pixels.size()) < Count; ++i)
      pixels.push_back(value);
  }
  return pixels;
}

// Re-cuts image data into sub-blocks of the given size.
std::string Reblock(const std::string& Data, std::size_t Size) {
  std::string payload;
  std::size_t at = 1;
  while (static_cast<std::uint8_t>(Data[at]) != 0) {
    const std::size_t n = static_cast<std::uint8_t>(Data[at]);
    payload += Data.substr(at + 1, n);
    at += n + 1;
  }
  std::string blocks = Data.substr(0, 1);
  for (std::size_t i = 0; i < payload.size(); i += Size) {
    const std::string chunk = payload.substr(i, Size);
    blocks += static_cast<char>(chunk.size()) + chunk;
  }
  return blocks + '\0';
}

TEST(GifLzwDecoder, HandBuiltCodeStreams) {
  struct TCase {
    const char* Name;
    std::string Data;
    int Width, Height;
    std::vector<std::uint8_t> Expected;
    std::vector<std::string> Warnings;
  };
  const TCase cases[] = {
      // clear (4), 1, end (5) at 3 bits
      {"one pixel", Bytes({0x02, 0x02, 0x4C, 0x01, 0x00}), 1, 1, {1}, {}},
      // clear, 1 and nothing more: the data ends right after the first code
      {"ends after the first code", Bytes({0x02, 0x01, 0x0C, 0x00}), 1, 1, {1}, {}},
      // clear, 0, 6 (the entry being made: 0 0), end
      {"code of the entry being made", Bytes({0x02, 0x02, 0x84, 0x0B, 0x00}), 3, 1, {0, 0, 0}, {}},
      // clear, 1, then the data stops: the rest keeps the fill value
      {"short data", Bytes({0x02, 0x01, 0x0C, 0x00}), 3, 1, {1, 9, 9}, {}},
      // a sub-block longer than the stream
      {"cut sub-block", Bytes({0x02, 0x05, 0x4C}), 2, 1, {1, 9}, {"Premature end of data"}},
      // no terminator and no end code: the bits run out exactly
      {"bits run out", Bytes({0x02, 0x01, 0x0C}), 2, 1, {1, 9}, {}},
      // the end code comes before the pixels are complete; the rest is skipped
      {"early end", Bytes({0x02, 0x02, 0x4C, 0x01, 0x01, 0x77, 0x00}), 2, 1, {1, 9}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<std::string> warnings;
    EXPECT_EQ(Decode(c.Data, c.Width, c.Height, false, &warnings, 9), c.Expected);
    EXPECT_EQ(warnings, c.Warnings);
  }
}

TEST(GifLzwDecoder, LeavesTheStreamAfterTheImageData) {
  TMemoryStream stream;
  const std::string data = Bytes({0x02, 0x02, 0x4C, 0x01, 0x01, 0x77, 0x00, 0x3B});
  stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  stream.SetPosition(0);
  std::uint8_t pixel = 0;
  DecodeFramePixels(stream, &pixel, 1, 1, false, nullptr);
  EXPECT_EQ(stream.Position(), 7);
}

TEST(GifLzwDecoder, RejectsCorruptCodeStreams) {
  const std::pair<const char*, std::string> cases[] = {
      {"Invalid LZW minimum code size", Bytes({0x01, 0x01, 0x00, 0x00})},
      {"Invalid LZW minimum code size", Bytes({0x0C, 0x01, 0x00, 0x00})},
  };
  for (const auto& [message, data] : cases) {
    try {
      Decode(data, 4, 1, false);
      ADD_FAILURE() << "decoded " << message;
    } catch (const GIFException& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
}

// A code the table cannot hold ends the frame's data with a warning; what was decoded
// before it stays, the rest keeps its fill, and the stream is left after the data.
TEST(GifLzwDecoder, AnInvalidCodeKeepsThePixelsDecodedSoFar) {
  const std::pair<std::string, std::vector<std::uint8_t>> cases[] = {
      // clear, 0, 7 while the next free entry is 6: one pixel, then the bad code
      {Bytes({0x02, 0x02, 0xC4, 0x01, 0x00, 0x3B}), {0, 9, 9, 9}},
      // clear followed by a code that is no colour: nothing decoded
      {Bytes({0x02, 0x01, 0x3C, 0x00, 0x3B}), {9, 9, 9, 9}},
  };
  for (const auto& [data, expected] : cases) {
    TMemoryStream stream;
    stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    stream.SetPosition(0);
    std::vector<std::uint8_t> pixels(4, 9);
    std::vector<std::string> warnings;
    const TGIFWarningHandler warn = [&](const std::string& Text) { warnings.push_back(Text); };
    DecodeFramePixels(stream, pixels.data(), 4, 1, false, warn);
    EXPECT_EQ(pixels, expected);
    EXPECT_EQ(warnings, std::vector<std::string>{"Invalid LZW code"});
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(data.size()) - 1);
  }
}

TEST(GifLzwDecoder, ReadsOneByteSubBlocksWithWideCodes) {
  const auto pixels = RandomPixels(40 * 40, 256, 1);
  const std::string data = Encode(TLZWEncoder(), pixels, 8, 40, 40, false);
  EXPECT_EQ(Decode(Reblock(data, 1), 40, 40, false), pixels);
  EXPECT_EQ(Decode(Reblock(data, 7), 40, 40, false), pixels);
}

TEST(GifLzwEncoder, OnePixelOnATwoColourTable) {
  EXPECT_EQ(Encode(TLZWEncoder(), {1}, 1, 1, 1, false, 2), Bytes({0x02, 0x02, 0x4C, 0x01, 0x00}));
}

TEST(GifLzwEncoder, RoundTripsEveryDepthSizeAndOrder) {
  const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {3, 5}, {17, 4}, {300, 200}};
  for (bool interlaced : {false, true})
    for (int bits = 1; bits <= 8; ++bits)
      for (const auto& [w, h] : sizes)
        for (int run : {1, 40}) {
          SCOPED_TRACE(::testing::Message() << w << "x" << h << " bits " << bits << " run " << run
                                            << (interlaced ? " interlaced" : ""));
          const auto pixels = RandomPixels(w * h, 1 << bits, bits * 1000 + w + run, run);
          EXPECT_EQ(Decode(Encode(TLZWEncoder(), pixels, bits, w, h, interlaced), w, h, interlaced),
                    pixels);
          EXPECT_EQ(Decode(Encode(TRLEEncoder(), pixels, bits, w, h, interlaced), w, h, interlaced),
                    pixels);
        }
}

// LZW written plainly, as giflib writes it: a map for the dictionary, codes packed bit
// by bit, a code size that grows once the next free entry needs it (up to 12 bits),
// and a clear code instead of entry 4095.
std::string ReferenceLzw(const std::vector<std::uint8_t>& Pixels, int Bits) {
  const int depth = std::max(Bits, 2);
  const int clear = 1 << depth;
  std::map<std::pair<int, int>, int> dictionary;
  int next = clear + 2;
  int size = depth + 1;
  std::string bytes;
  int bit = 0;
  const auto put = [&](int Code) {
    for (int i = 0; i < size; ++i, ++bit) {
      if (bit % 8 == 0) bytes += '\0';
      if (Code >> i & 1) bytes.back() = static_cast<char>(bytes.back() | 1 << bit % 8);
    }
    if (next >= 1 << size && size < 12) ++size;
  };
  put(clear);
  int prefix = Pixels[0];
  for (std::size_t i = 1; i < Pixels.size(); ++i) {
    const auto known = dictionary.find({prefix, Pixels[i]});
    if (known != dictionary.end()) {
      prefix = known->second;
      continue;
    }
    put(prefix);
    if (next == 4095) {
      put(clear);
      dictionary.clear();
      next = clear + 2;
      size = depth + 1;
    } else {
      dictionary[{prefix, Pixels[i]}] = next++;
    }
    prefix = Pixels[i];
  }
  put(prefix);
  put(clear + 1);
  std::string data(1, static_cast<char>(depth));
  for (std::size_t at = 0; at < bytes.size(); at += 255) {
    const std::string block = bytes.substr(at, 255);
    data += static_cast<char>(block.size()) + block;
  }
  return data + '\0';
}

// The rows of a picture in the order an interlaced frame stores them.
std::vector<std::uint8_t> InFileOrder(const std::vector<std::uint8_t>& Pixels, int Width,
                                      int Height) {
  std::vector<std::uint8_t> ordered;
  for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
    for (int y = start; y < Height; y += step)
      ordered.insert(ordered.end(), Pixels.begin() + y * Width, Pixels.begin() + (y + 1) * Width);
  return ordered;
}

// Random pictures of every palette size, from noise to long runs and repeated rows, so
// that dictionaries fill and clear at every code size and batches of sub-blocks cross
// codes: the code stream must be the one giflib writes, and read back to the picture.
// One encoder writes them all, from deep palettes to shallow ones and back.
TEST(GifLzwEncoder, RandomPicturesMatchThePlainEncoderAndReadBack) {
  std::mt19937 random(20261208);
  TLZWEncoder encoder;
  for (int round = 0; round < 120; ++round) {
    const int colors = 1 + static_cast<int>(random() % 256);
    const int bits =
        std::max(1, static_cast<int>(std::bit_width(static_cast<unsigned>(colors - 1))));
    const int width = 1 + static_cast<int>(random() % (round % 8 == 0 ? 600 : 90));
    const int height = 1 + static_cast<int>(random() % (round % 8 == 0 ? 300 : 40));
    const bool interlaced = random() % 3 == 0;
    const int run = 1 << (random() % 7);
    auto pixels = RandomPixels(width * height, colors, static_cast<unsigned>(random()), run);
    // Some pictures repeat their rows with a few changes, as maps and drawings do.
    if (random() % 2 == 0)
      for (std::size_t i = static_cast<std::size_t>(width); i < pixels.size(); ++i)
        if (random() % 16 != 0) pixels[i] = pixels[i - static_cast<std::size_t>(width)];
    SCOPED_TRACE(::testing::Message()
                 << "round " << round << ": " << width << "x" << height << ", " << colors
                 << " colours, runs up to " << run << (interlaced ? ", interlaced" : ""));
    TMemoryStream stream;
    encoder.Compress(stream, bits, colors, pixels.data(), interlaced, width, height);
    const std::string data(static_cast<const char*>(stream.Memory()),
                           static_cast<std::size_t>(stream.Size()));
    ASSERT_EQ(data, ReferenceLzw(interlaced ? InFileOrder(pixels, width, height) : pixels, bits));
    ASSERT_EQ(Decode(data, width, height, interlaced), pixels);
  }
}

TEST(GifLzwEncoder, InterlacedRowsAreWrittenOnceInPassOrder) {
  for (int h = 1; h <= 5; ++h) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < h; ++y) pixels.push_back(static_cast<std::uint8_t>(y));
    // Decoded without interlacing, the rows come in pass order.
    std::vector<std::uint8_t> order;
    for (int y : {0, 8, 4, 2, 6, 1, 3, 5, 7})
      if (y < h && std::find(order.begin(), order.end(), y) == order.end())
        order.push_back(static_cast<std::uint8_t>(y));
    EXPECT_EQ(Decode(Encode(TLZWEncoder(), pixels, 3, 1, h, true), 1, h, false), order) << h;
  }
}

TEST(GifLzwEncoder, OneColourCompressesWellAndRunsStayValid) {
  const std::vector<std::uint8_t> pixels(256 * 256, 3);
  const std::string lzw = Encode(TLZWEncoder(), pixels, 2, 256, 256, false);
  EXPECT_LT(lzw.size(), pixels.size() / 50);
  EXPECT_EQ(Decode(lzw, 256, 256, false), pixels);
  const std::string rle = Encode(TRLEEncoder(), pixels, 2, 256, 256, false);
  EXPECT_LT(rle.size(), pixels.size() / 4);
  EXPECT_EQ(Decode(rle, 256, 256, false), pixels);
}

TEST(GifLzwEncoder, AFullDictionaryIsClearedAndTheCodeSizeReturns) {
  const auto pixels = RandomPixels(200 * 200, 256, 42);
  const std::string data = Encode(TLZWEncoder(), pixels, 8, 200, 200, false);
  EXPECT_EQ(Decode(data, 200, 200, false), pixels);
  // Read the codes back: after 4095 entries a clear code (256) comes at 12 bits and the
  // next code is read at 9 bits again.
  std::string payload;
  for (std::size_t at = 1; static_cast<std::uint8_t>(data[at]) != 0;
       at += static_cast<std::uint8_t>(data[at]) + 1)
    payload += data.substr(at + 1, static_cast<std::uint8_t>(data[at]));
  std::size_t bit = 0;
  int size = 9, next_free = 258, clears = 0;
  auto read = [&](int n) {
    int v = 0;
    for (int i = 0; i < n; ++i, ++bit)
      v |= ((static_cast<std::uint8_t>(payload[bit / 8]) >> (bit % 8)) & 1) << i;
    return v;
  };
  bool first = true;
  for (;;) {
    const int code = read(size);
    if (code == 257) break;
    if (code == 256) {
      if (!first) {
        EXPECT_EQ(size, 12);
        ++clears;
      }
      size = 9, next_free = 258, first = true;
      continue;
    }
    if (!first && next_free < 4096 && ++next_free == (1 << size) && size < 12) ++size;
    first = false;
  }
  EXPECT_GE(clears, 1);
}

// Past the colour count, and past the code size even when the count claims more colours:
// such a pixel would go out as the clear or end code.
TEST(GifLzwEncoder, APixelOutsideTheTableIsRefused) {
  struct TCase {
    int Bits, Colors;
    std::vector<std::uint8_t> Pixels;
  };
  const TCase cases[] = {{2, 3, {0, 1, 3}}, {2, 256, {0, 1, 4}}};
  for (TGIFEncoder* encoder :
       {static_cast<TGIFEncoder*>(new TLZWEncoder), static_cast<TGIFEncoder*>(new TRLEEncoder)}) {
    std::unique_ptr<TGIFEncoder> owned(encoder);
    for (const TCase& c : cases) {
      TMemoryStream stream;
      try {
        owned->Compress(stream, c.Bits, c.Colors, c.Pixels.data(), false, 3, 1);
        ADD_FAILURE() << c.Colors << " colours";
      } catch (const GIFException& error) {
        EXPECT_STREQ(error.what(), "Color not in color table");
      }
    }
  }
}

TEST(GifFrame, ATransparentFrameShowsTheTransparentColourWhereDataIsMissing) {
  TGIFPicture picture;
  TWarningLog warnings(picture);
  LoadBytes(picture, "GIF89a" + Bytes({3, 0, 1, 0, 0x81, 0, 0}) + std::string(12, '\0') +
                         Bytes({0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x02, 0x00,  // transparent 2
                                0x2C, 0,    0,    0,    0,    3,    0,    1,
                                0,    0x00, 0x02, 0x01, 0x0C, 0x00,  // clear, 1; then nothing
                                0x3B}));
  EXPECT_EQ(picture.Images[0].Data(), (std::vector<std::uint8_t>{1, 2, 2}));
}

TEST(GifFrame, ADescriptorOfWidthZeroTakesTheScreenSize) {
  TGIFPicture picture;
  TWarningLog warnings(picture);
  LoadBytes(picture,
            "GIF89a" + Bytes({2, 0, 1, 0, 0x80, 0, 0, 0,    0,    0,    255,  255,  255,  0x2C, 0,
                              0, 0, 0, 0, 0,    1, 0, 0x00, 0x02, 0x02, 0x4C, 0x01, 0x00, 0x3B}));
  EXPECT_EQ(picture.Images[0].Width(), 2);
  EXPECT_EQ(picture.Images[0].Height(), 1);
  EXPECT_EQ(warnings.Messages, std::vector<std::string>{"Image exceeds Logical Screen size"});
}

TEST(GifFrame, FramesBeyondThePixelLimitAreRefused) {
  TGIFPicture picture;
  try {
    LoadBytes(picture, "GIF89a" + Bytes({1,    0,    1,    0,    0x80, 0,    0,    0,    0,    0,
                                         255,  255,  255,  0x2C, 0,    0,    0,    0,    0xFF, 0xFF,
                                         0xFF, 0xFF, 0x00, 0x02, 0x02, 0x4C, 0x01, 0x00, 0x3B}));
    FAIL();
  } catch (const GIFException& error) {
    EXPECT_EQ(error.what(), Format(kPictureTooLargeText, 65535, 65535));
  }
}

// A frame whose data cannot fill it is refused before its pixels are allocated: 34
// bytes claiming 8192 x 8192 became a 700 MB black map, four such frames 1.23 GB.
TEST(GifFrame, FramesTheirDataCannotFillAreRefused) {
  const auto frame = [](std::uint8_t side_high, const std::string& data) {
    return Bytes({0x2C, 0, 0, 0, 0, 0, side_high, 0, side_high, 0x00, 0x02}) + data + Bytes({0x00});
  };
  const std::string screen = "GIF89a" + Bytes({1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255});
  for (const std::string& bomb :
       {screen + frame(0x20, "") + Bytes({0x3B}),
        screen + frame(0x20, Bytes({0x02, 0x4C, 0x01})) + Bytes({0x3B}),
        screen + frame(0x10, Bytes({1, 0x4C})) + frame(0x10, Bytes({1, 0x4C})) +
            frame(0x10, Bytes({1, 0x4C})) + frame(0x10, Bytes({1, 0x4C})) + Bytes({0x3B})}) {
    TGIFPicture picture;
    try {
      LoadBytes(picture, bomb);
      ADD_FAILURE() << "loaded " << picture.Images.Count() << " frames";
    } catch (const GIFException& error) {
      EXPECT_STREQ(error.what(), "Image data is too short for the frame");
    }
  }
}

}  // namespace

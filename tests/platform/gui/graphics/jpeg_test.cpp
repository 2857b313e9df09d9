// JPEG pictures: files made by libjpeg-turbo's cjpeg, our own compression, and damage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/standard/image.h"
#include "platform/sys/application.h"
#include "platform/test_support/jpeg_scans.h"
#include "platform/text/streams.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Fixture(const std::string& name) {
  return std::string(VELMORA_TEST_DATA) + "/jpeg/" + name;
}

Bytes ReadAll(const std::string& path) {
  TMemoryStream stream;
  stream.LoadFromFile(path);
  const auto* data = static_cast<const std::uint8_t*>(stream.Memory());
  return Bytes(data, data + stream.Size());
}

TMemoryStream StreamOf(const Bytes& bytes) {
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  stream.SetPosition(0);
  return stream;
}

// Each channel within tolerance of the expected colour.
::testing::AssertionResult Near(TColor actual, TColor expected, int tolerance) {
  if (std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
      std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
      std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << std::hex << "0x" << actual << " is not near 0x" << expected;
}

// The fixtures' eight 8 x 8 blocks, top row then bottom row.
const TColor kBlocks[8] = {clRed, clLime, clBlue, clWhite, clBlack, clYellow, RGB(128, 128, 128),
                           clAqua};

// Colour at the centre of block i of a picture drawn into a bitmap.
TColor BlockCentre(TBitmap& bitmap, int block) {
  return bitmap.Canvas().Pixels((block % 4) * 8 + 4, (block / 4) * 8 + 4);
}

void Render(const TGraphic& graphic, TBitmap& bitmap) {
  bitmap.SetSize(graphic.Width(), graphic.Height());
  bitmap.Canvas().Draw(0, 0, graphic);
}

}  // namespace

// Decoded whole, and as shown: at its own size, at half of it and at an eighth (libjpeg
// scales as it decodes, to a pixel a block).
TEST(JpegImage, DecodesBaselineProgressiveAndArithmeticFiles) {
  for (const char* name : {"blocks.jpg", "blocks_progressive.jpg", "blocks_arithmetic.jpg"})
    for (const TJpegDecoding decoding : {TJpegDecoding::Whole, TJpegDecoding::AsShown})
      for (const int part : {1, 2, 8}) {
        SCOPED_TRACE(std::string(name) + " " + std::to_string(int(decoding)) + " 1/" +
                     std::to_string(part));
        TJPEGImage jpeg;
        jpeg.SetDecoding(decoding);
        jpeg.LoadFromFile(Fixture(name));
        ASSERT_EQ(jpeg.Width(), 32);
        ASSERT_EQ(jpeg.Height(), 16);
        TBitmap bitmap;
        bitmap.SetSize(32 / part, 16 / part);
        bitmap.Canvas().StretchDraw(Rect(0, 0, 32 / part, 16 / part), jpeg);
        for (int block = 0; block < 8; ++block)
          EXPECT_TRUE(Near(bitmap.Canvas().Pixels((block % 4) * 8 / part + 4 / part,
                                                  (block / 4) * 8 / part + 4 / part),
                           kBlocks[block], 12))
              << block;
      }
}

TEST(JpegImage, GreyFilesBecomeGreyColour) {
  TJPEGImage jpeg;
  jpeg.LoadFromFile(Fixture("blocks_grey.jpg"));
  TBitmap bitmap;
  Render(jpeg, bitmap);
  for (int block = 0; block < 8; ++block) {
    const TColor c = BlockCentre(bitmap, block);
    EXPECT_EQ(GetRValue(c), GetGValue(c));
    EXPECT_EQ(GetGValue(c), GetBValue(c));
  }
  EXPECT_TRUE(Near(BlockCentre(bitmap, 3), clWhite, 4));
  EXPECT_TRUE(Near(BlockCentre(bitmap, 4), clBlack, 4));
}

TEST(JpegImage, SavingWritesBackTheLoadedBytes) {
  const Bytes original = ReadAll(Fixture("blocks.jpg"));
  TJPEGImage jpeg;
  TMemoryStream in = StreamOf(original);
  jpeg.LoadFromStream(in);
  TMemoryStream out;
  jpeg.SaveToStream(out);
  const auto* data = static_cast<const std::uint8_t*>(out.Memory());
  EXPECT_EQ(Bytes(data, data + out.Size()), original);
  std::unique_ptr<TGraphic> clone = jpeg.Clone();
  EXPECT_EQ(clone->Width(), 32);
}

TEST(JpegImage, CompressesABitmapAndReadsItBack) {
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(37, 21);  // not a multiple of the 8 x 8 blocks
  source.Canvas().Brush().SetColor(clNavy);
  source.Canvas().FillRect(Rect(0, 0, 37, 21));
  source.Canvas().Brush().SetColor(clYellow);
  source.Canvas().FillRect(Rect(16, 0, 37, 21));

  for (int quality : {95, 20}) {
    SCOPED_TRACE(quality);
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(quality);
    jpeg.Assign(source);
    EXPECT_EQ(jpeg.Width(), 37);
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    ASSERT_GT(stream.Size(), 100);
    stream.SetPosition(0);
    TJPEGImage loaded;
    loaded.LoadFromStream(stream);
    ASSERT_EQ(loaded.Width(), 37);
    ASSERT_EQ(loaded.Height(), 21);
    TBitmap bitmap;
    Render(loaded, bitmap);
    EXPECT_TRUE(Near(bitmap.Canvas().Pixels(4, 10), clNavy, quality > 50 ? 10 : 40));
    EXPECT_TRUE(Near(bitmap.Canvas().Pixels(30, 10), clYellow, quality > 50 ? 10 : 40));
  }
}

TEST(JpegImage, QualityIsKeptInRange) {
  TJPEGImage jpeg;
  EXPECT_EQ(jpeg.CompressionQuality(), 90);
  jpeg.SetCompressionQuality(0);
  EXPECT_EQ(jpeg.CompressionQuality(), 1);
  jpeg.SetCompressionQuality(1000);
  EXPECT_EQ(jpeg.CompressionQuality(), 100);
}

// Whole or as shown (which reads the headers only): a file cut anywhere has lost its end.
TEST(JpegImage, EveryTruncationGivesACleanErrorAndKeepsThePicture) {
  const Bytes whole = ReadAll(Fixture("blocks.jpg"));
  for (const TJpegDecoding decoding : {TJpegDecoding::Whole, TJpegDecoding::AsShown}) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("blocks_grey.jpg"));
    jpeg.SetDecoding(decoding);
    for (size_t length = 0; length < whole.size(); ++length) {
      TMemoryStream stream = StreamOf(Bytes(whole.begin(), whole.begin() + long(length)));
      EXPECT_THROW(jpeg.LoadFromStream(stream), EInvalidGraphic) << "length " << length;
    }
    EXPECT_EQ(jpeg.Width(), 32);  // still the grey picture
    TMemoryStream out;
    jpeg.SaveToStream(out);
    EXPECT_EQ(out.Size(), int64_t(ReadAll(Fixture("blocks_grey.jpg")).size()));
  }
}

TEST(JpegImage, DamagedDataGivesACleanError) {
  const Bytes whole = ReadAll(Fixture("blocks.jpg"));
  // The start-of-frame header: marker FF C0, length (2 bytes), precision (1 byte),
  // height (2 bytes), width (2 bytes).
  size_t frame = 0;
  while (frame + 1 < whole.size() && !(whole[frame] == 0xFF && whole[frame + 1] == 0xC0)) ++frame;
  ASSERT_LT(frame + 9, whole.size());
  struct Case {
    const char* name;
    size_t offset;
    std::uint8_t value;
  };
  // Damage in the headers is fatal; damage in the entropy-coded data may only
  // disturb pixels, but must never crash or hang.
  const Case fatal[] = {{"start of image marker", 1, 0x00},
                        {"frame width zero", frame + 8, 0x00},
                        {"frame precision", frame + 4, 12}};
  for (const Case& c : fatal) {
    SCOPED_TRACE(c.name);
    Bytes damaged = whole;
    damaged[c.offset] = c.value;
    if (c.offset == frame + 8) damaged[frame + 7] = 0x00;
    TMemoryStream stream = StreamOf(damaged);
    TJPEGImage jpeg;
    try {
      jpeg.LoadFromStream(stream);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& error) {
      EXPECT_EQ(std::string(error.what()).rfind("JPEG error: ", 0), 0u) << error.what();
    }
  }
  // Read as shown, damage inside the scans is met when the picture is drawn.
  for (size_t offset = 0; offset < whole.size(); offset += 7)
    for (const TJpegDecoding decoding : {TJpegDecoding::Whole, TJpegDecoding::AsShown}) {
      Bytes damaged = whole;
      damaged[offset] ^= 0x5A;
      TMemoryStream stream = StreamOf(damaged);
      TJPEGImage jpeg;
      jpeg.SetDecoding(decoding);
      try {
        jpeg.LoadFromStream(stream);
        TBitmap drawn;
        Render(jpeg, drawn);
      } catch (const EInvalidGraphic&) {
      }
    }
  // Scans cut by a marker (the end of the image, a table) read as shown without a fault
  // and drew nothing, on a window, printed or exported: they show the invalid-picture mark.
  size_t scan = 0;
  while (scan + 1 < whole.size() && !(whole[scan] == 0xFF && whole[scan + 1] == 0xDA)) ++scan;
  const size_t middle =
      (scan + 2 + (size_t(whole[scan + 2]) << 8 | whole[scan + 3]) + whole.size()) / 2;
  for (const Bytes& marker : {Bytes{0xFF, 0xD9}, Bytes{0xFF, 0xC4, 0x00, 0x02}}) {
    Bytes damaged = whole;
    std::copy(marker.begin(), marker.end(), damaged.begin() + long(middle));
    TMemoryStream stream = StreamOf(damaged);
    TJPEGImage jpeg;
    jpeg.SetDecoding(TJpegDecoding::AsShown);
    jpeg.LoadFromStream(stream);
    TBitmap drawn;
    drawn.SetSize(jpeg.Width(), jpeg.Height());
    drawn.Canvas().Brush().SetColor(clYellow);
    drawn.Canvas().FillRect(Rect(0, 0, drawn.Width(), drawn.Height()));
    drawn.Canvas().Draw(0, 0, jpeg);
    EXPECT_EQ(drawn.Canvas().Pixels(0, 0), clGray) << int(marker[1]);
    EXPECT_EQ(drawn.Canvas().Pixels(2, 10), clWhite) << int(marker[1]);
    EXPECT_EQ(drawn.Canvas().Pixels(30, 12), clYellow) << int(marker[1]);
  }
}

namespace {

// A header that claims a picture no map needs is refused before anything is decoded
// (a 16384 x 16384 claim would take 800 MB), and the old picture stays.
TEST(JpegImage, HugeClaimedSizesAreRefusedBeforeDecoding) {
  const Bytes whole = ReadAll(Fixture("blocks.jpg"));
  size_t frame = 0;
  while (frame + 1 < whole.size() && !(whole[frame] == 0xFF && whole[frame + 1] == 0xC0)) ++frame;
  ASSERT_LT(frame + 9, whole.size());
  TJPEGImage jpeg;
  jpeg.LoadFromFile(Fixture("blocks_grey.jpg"));
  for (int side : {16384, 10001, 65000}) {
    Bytes huge = whole;
    huge[frame + 5] = huge[frame + 7] = std::uint8_t(side >> 8);
    huge[frame + 6] = huge[frame + 8] = std::uint8_t(side & 0xFF);
    TMemoryStream stream = StreamOf(huge);
    try {
      jpeg.LoadFromStream(stream);
      ADD_FAILURE() << side << " loaded";
    } catch (const EGraphicTooLarge& error) {
      const std::string size = std::to_string(side) + " x " + std::to_string(side);
      EXPECT_NE(std::string(error.what()).find(size), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(jpeg.Width(), 32);
}

}  // namespace

namespace {

size_t MarkerAt(const Bytes& bytes, std::uint8_t marker, size_t from = 0) {
  for (size_t at = from; at + 1 < bytes.size(); ++at)
    if (bytes[at] == 0xFF && bytes[at + 1] == marker) return at;
  return bytes.size();
}

void ExpectTruncated(const Bytes& bytes) {
  TMemoryStream stream = StreamOf(bytes);
  TJPEGImage jpeg;
  try {
    jpeg.LoadFromStream(stream);
    ADD_FAILURE() << "loaded as " << jpeg.Width() << " x " << jpeg.Height();
  } catch (const EInvalidGraphic& error) {
    EXPECT_STREQ(error.what(), "JPEG picture is truncated");
  }
}

// A file whose data cannot fill the picture its header claims would load as a grey map
// (a 600-byte progressive file claiming 10000 x 10000 took 729 MB, a 314-byte arithmetic
// one 712 MB): refused before the picture is allocated.
TEST(JpegImage, AHeaderClaimingMoreThanTheDataHoldsIsRefused) {
  for (const char* name : {"blocks_progressive.jpg", "blocks.jpg", "blocks_arithmetic.jpg"}) {
    SCOPED_TRACE(name);
    Bytes bomb = ReadAll(Fixture(name));
    size_t frame = bomb.size();
    for (std::uint8_t marker : {0xC0, 0xC2, 0xC9}) frame = std::min(frame, MarkerAt(bomb, marker));
    ASSERT_LT(frame + 9, bomb.size());
    bomb[frame + 5] = bomb[frame + 7] = 10000 >> 8;
    bomb[frame + 6] = bomb[frame + 8] = 10000 & 0xFF;
    ExpectTruncated(bomb);
  }
}

// A scan that ends before its data does (the end marker comes early) is a cut file, not
// a picture with grey where the data is missing.
TEST(JpegImage, ScansCutShortAreRefused) {
  for (const char* name : {"blocks_progressive.jpg", "blocks.jpg", "blocks_grey.jpg"}) {
    SCOPED_TRACE(name);
    const Bytes whole = ReadAll(Fixture(name));
    const size_t scan = MarkerAt(whole, 0xDA);
    ASSERT_LT(scan, whole.size());
    const size_t data = scan + 2 + (size_t(whole[scan + 2]) << 8 | whole[scan + 3]);
    Bytes cut(whole.begin(), whole.begin() + long(data + 2));
    cut.push_back(0xFF);
    cut.push_back(0xD9);
    ExpectTruncated(cut);
  }
}

}  // namespace

namespace {

Bytes WithLastScanRepeated(const Bytes& file, int times) {
  return JpegWithLastScanRepeated(file, times);
}

// A picture of Width x Height pixels as a sequential file: no two neighbours alike, or
// flat (every scan of a progressive form of it a few bytes).
Bytes EncodedPicture(int width, int height, bool flat = false) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = flat ? 90 : std::uint8_t(x * 7);
      row[3 * x + 1] = flat ? 120 : std::uint8_t(y * 5);
      row[3 * x + 2] = flat ? 150 : std::uint8_t((x + y) * 3);
    }
  }
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  const auto* memory = static_cast<const std::uint8_t*>(stream.Memory());
  return Bytes(memory, memory + stream.Size());
}

// Decoding is priced by the blocks its scans walk, before any is decoded: a sequential
// file walks every block once, a progressive one a few times over. A small picture in
// many scans walks few blocks and is read (a 200 x 150 picture in 64 scans was refused
// when scans were counted); a large one whose last scan repeats thousands of times walks
// its blocks as often (2,000 copies of a 33-byte scan took 25 s for 4096 x 4096 pixels)
// and past the limit is refused as too large, the old picture kept. A scan's data may
// hold 0xFF bytes (stuffed, or restart markers): they do not end it.
TEST(JpegImage, ScansArePricedByTheBlocksTheyWalk) {
  const auto blocks = [](const Bytes& bytes) {
    const std::optional<TJpegCost> cost = JpegCost(bytes);
    return cost ? cost->ScanBlocks : -1;
  };
  const Bytes sequential = EncodedPicture(200, 150);
  const Bytes scans = JpegInScans(sequential, 64);
  // More than the 32 walks over every block that counting scans allowed.
  EXPECT_GT(blocks(scans), 32 * blocks(sequential));
  ASSERT_TRUE(JpegCost(scans)->Decodable());
  TJPEGImage read, reference;
  TMemoryStream scansStream = StreamOf(scans), sequentialStream = StreamOf(sequential);
  read.LoadFromStream(scansStream);
  reference.LoadFromStream(sequentialStream);
  ASSERT_EQ(read.Width(), 200);
  ASSERT_EQ(read.Height(), 150);
  // The same coefficients decode to the same pixels.
  const auto drawn = [](const TJPEGImage& jpeg) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(jpeg.Width(), jpeg.Height());
    bitmap->Canvas().Draw(0, 0, jpeg);
    return bitmap;
  };
  const auto pixels = drawn(read), expected = drawn(reference);
  for (int y = 0; y < 150; ++y)
    ASSERT_EQ(std::memcmp(pixels->ScanLine(y), expected->ScanLine(y), 200 * 4), 0) << y;

  const Bytes large = JpegInScans(EncodedPicture(2048, 2048, true), 8);
  const Bytes twice = WithLastScanRepeated(large, 1);
  EXPECT_GT(blocks(twice), blocks(large));
  TMemoryStream readable = StreamOf(twice);
  read.LoadFromStream(readable);
  EXPECT_EQ(read.Width(), 2048);

  const Bytes repeated = WithLastScanRepeated(large, 6000);
  ASSERT_TRUE(JpegCost(repeated));
  EXPECT_FALSE(JpegCost(repeated)->Decodable());
  EXPECT_EQ(JpegCost(repeated)->Size.cx, 2048);
  TMemoryStream refused = StreamOf(repeated);
  read.LoadFromFile(Fixture("blocks_grey.jpg"));
  EXPECT_THROW(read.LoadFromStream(refused), EGraphicTooLarge);
  TMemoryStream kept;
  read.SaveToStream(kept);
  EXPECT_EQ(Bytes(static_cast<const std::uint8_t*>(kept.Memory()),
                  static_cast<const std::uint8_t*>(kept.Memory()) + kept.Size()),
            ReadAll(Fixture("blocks_grey.jpg")));
}

// A picture whose decoding costs more than a paint may spend, on a window: it is decoded
// on a thread of its own, at a quarter of its sides as it is shown at a quarter, and once
// that is done the window shows what a draw off the screen shows, which decodes at once.
TEST(JpegImage, APictureTooCostlyForAPaintIsShownOnceDecodedApart) {
  constexpr int kWidth = 512, kHeight = 384;
  const Bytes photo = JpegInScans(EncodedPicture(4 * kWidth, 4 * kHeight), 40);
  TJPEGImage jpeg;
  jpeg.SetDecoding(TJpegDecoding::AsShown);
  TMemoryStream stream = StreamOf(photo);
  jpeg.LoadFromStream(stream);
  TForm form(nullptr);
  form.SetBounds(0, 0, kWidth + 40, kHeight + 40);
  form.SetColor(clWhite);
  auto* image = NewControl<TImage>(&form, &form, "imgPhoto", 0, 0, kWidth, kHeight);
  image->SetStretch(true);
  image->Picture().SetGraphic(&jpeg);
  form.Show();
  Application->ProcessMessages();
  WaitForJpegDecodings();
  Application->ProcessMessages();
  TBitmap shown, expected;
  shown.SetSize(kWidth, kHeight);
  PaintTo(form, shown.Canvas(), 0, 0);
  expected.SetSize(kWidth, kHeight);
  expected.Canvas().StretchDraw(Rect(0, 0, kWidth, kHeight), *jpeg.Clone());
  for (int y = 0; y < kHeight; y += 7)
    for (int x = 0; x < kWidth; x += 7)
      ASSERT_EQ(shown.Canvas().Pixels(x, y), expected.Canvas().Pixels(x, y)) << x << "," << y;
  form.Hide();
}

}  // namespace

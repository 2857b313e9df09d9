// Run-length coded BMP pictures (8 and 4 bits a pixel). One table of run streams, from the
// plain to the hostile, each read as a file, as a DIB and as a packed DIB and checked
// against the pixels the format's documentation gives. Where the runs keep inside the
// picture, ImageMagick reads the same file and must agree (it wraps a run past a row's end
// into the next row and takes an index beyond the table as the first colour, so it is not
// asked about those). Random well-formed streams, and ImageMagick's own RLE8 coding of a
// picture, are checked against it too.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/sys/child_process.h"
#include "platform/test_support/le_bytes.h"
#include "platform/text/streams.h"
#include "support/scratch_files.h"

namespace {

using Bytes = LittleEndianBytes;

constexpr std::uint32_t kRle8 = 1, kRle4 = 2;
// The colour table, 0xRRGGBB: the digit i stands for entry i in the pixels below, 'k' for
// black (which no entry is) and '?' for any other colour.
constexpr std::uint32_t kPalette[] = {0x808080, 0xFF0000, 0x00FF00, 0x0000FF,
                                      0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFFFFFF};
constexpr char kImageMagick[] = "/usr/bin/convert";

struct RunPicture {
  int width = 0, height = 0;  // a negative height: top-down
  int bits = 8;
  std::uint32_t compression = kRle8;
  std::vector<std::uint8_t> runs;
};

// Info header and colour table.
Bytes Info(const RunPicture& p) {
  Bytes b;
  b.U32(40).U32(std::uint32_t(p.width)).U32(std::uint32_t(p.height)).U16(1).U16(unsigned(p.bits));
  b.U32(p.compression).U32(std::uint32_t(p.runs.size())).U32(0).U32(0);
  b.U32(std::size(kPalette)).U32(0);
  for (std::uint32_t colour : kPalette) b.U32(colour);
  return b;
}

Bytes File(const RunPicture& p) {
  const Bytes info = Info(p);
  const auto offset = std::uint32_t(14 + info.data.size());
  Bytes b;
  b.U16(0x4D42).U32(offset + std::uint32_t(p.runs.size())).U32(0).U32(offset);
  return b.Raw(info.data).Raw(p.runs);
}

std::string Digit(std::uint32_t rgb) {
  if (rgb == 0) return "k";
  for (std::size_t i = 0; i < std::size(kPalette); ++i)
    if (kPalette[i] == rgb) return std::to_string(i);
  return "?";
}

// Rows top first, joined by '/'.
std::string Digits(const std::vector<std::uint32_t>& rgb, int width) {
  std::string out;
  for (std::size_t i = 0; i < rgb.size(); ++i) {
    if (i > 0 && i % std::size_t(width) == 0) out += '/';
    out += Digit(rgb[i]);
  }
  return out;
}

std::string Digits(const TBitmap& bitmap) {
  const int step = bitmap.PixelFormat() == pf32bit ? 4 : 3;
  std::vector<std::uint32_t> rgb;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const std::uint8_t* p = bitmap.ScanLine(y) + step * x;
      rgb.push_back(std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0]);
    }
  return Digits(rgb, bitmap.Width());
}

// Our reading of the picture as a file, a DIB and a packed DIB, which must agree; "refused"
// when all three raise.
std::string OurDigits(const RunPicture& p) {
  const Bytes file = File(p), info = Info(p);
  std::vector<std::string> readings;
  const auto read = [&](const auto& reader) {
    TBitmap bitmap;
    try {
      reader(bitmap);
      readings.push_back(Digits(bitmap));
    } catch (const EInvalidGraphic&) {
      readings.push_back("refused");
    }
  };
  read([&](TBitmap& b) {
    TMemoryStream stream;
    stream.WriteBuffer(file.data.data(), std::int64_t(file.data.size()));
    stream.SetPosition(0);
    b.LoadFromStream(stream);
  });
  read([&](TBitmap& b) { ReadDib(info.Span(), p.runs, b); });
  read([&](TBitmap& b) { ReadPackedDib(Bytes(info).Raw(p.runs).Span(), b); });
  EXPECT_EQ(readings[1], readings[0]) << "as a DIB";
  EXPECT_EQ(readings[2], readings[0]) << "as a packed DIB";
  return readings[0];
}

bool HaveImageMagick() {
  return std::filesystem::exists(kImageMagick);
}

// ImageMagick's reading of a BMP file; empty when it gave no picture.
std::string PeerDigits(const std::string& name, const Bytes& file, int width, int height) {
  const std::string path =
      WriteScratchFile(name + ".bmp", std::string(file.data.begin(), file.data.end()));
  // It complains of an early end when the runs end the bitmap before its last row, and
  // still gives the picture.
  const std::string rgb =
      RunAndCapture(std::string(kImageMagick) + " '" + path + "' -depth 8 rgb:- 2>/dev/null");
  if (rgb.size() != 3 * std::size_t(width) * std::size_t(height)) return {};
  std::vector<std::uint32_t> pixels;
  for (std::size_t i = 0; i < rgb.size(); i += 3)
    pixels.push_back(std::uint32_t(std::uint8_t(rgb[i])) << 16 |
                     std::uint32_t(std::uint8_t(rgb[i + 1])) << 8 | std::uint8_t(rgb[i + 2]));
  return Digits(pixels, width);
}

std::vector<std::uint8_t> Repeated(std::vector<std::uint8_t> unit, int times) {
  std::vector<std::uint8_t> out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), unit.begin(), unit.end());
  return out;
}

TEST(BmpRuns, RunStreamsReadAsDocumented) {
  struct Case {
    const char* name;
    RunPicture picture;
    const char* pixels;  // rows top first; "refused" for an EInvalidGraphic
    bool peer;           // ImageMagick is asked too
  };
  std::vector<std::uint8_t> wide{0, 255};
  for (int i = 0; i < 255; ++i) wide.push_back(std::uint8_t(i % 8));
  wide.insert(wide.end(), {0, 0, 1});  // padding, end of bitmap
  std::string wideDigits;
  for (int i = 0; i < 255; ++i) wideDigits += std::to_string(i % 8);
  const Case cases[] = {
      {"runs, line ends and an odd absolute run with its padding",
       {4, 3, 8, kRle8, {2, 1, 2, 2, 0, 0, 0, 3, 3, 4, 5, 0, 1, 6, 0, 0, 4, 7, 0, 1}},
       "7777/3456/1122",
       true},
      {"a delta moves right and up; what it skips has the first colour",
       {4, 3, 8, kRle8, {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}},
       "0000/0002/1000",
       true},
      {"the end of the bitmap before its last row",
       {4, 3, 8, kRle8, {4, 1, 0, 1}},
       "0000/0000/1111",
       true},
      {"runs that just stop", {4, 3, 8, kRle8, {4, 1, 0, 0, 2, 2}}, "0000/2200/1111", true},
      {"an absolute run of 255", {255, 1, 8, kRle8, wide}, wideDigits.c_str(), true},
      {"rows whose width is no multiple of four",
       {5, 2, 8, kRle8, {5, 1, 0, 0, 5, 2, 0, 1}},
       "22222/11111",
       true},
      {"4 bits: runs alternate their two indices, absolute runs hold two a byte",
       {5, 2, 4, kRle4, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x67, 0, 1}},
       "34567/12121",
       true},
      {"4 bits: absolute runs of 5 and 6 indices with their padding",
       {7, 2, 4, kRle4, {0, 5, 0x12, 0x34, 0x50, 0, 2, 0x67, 0, 0,
                         0, 6, 0x12, 0x34, 0x56, 0, 1, 0x70, 0, 1}},
       "1234567/1234567",
       true},
      {"4 bits: a delta",
       {6, 2, 4, kRle4, {2, 0x11, 0, 2, 1, 1, 3, 0x23, 0, 1}},
       "000232/110000",
       true},
      {"a delta past the top ends the picture",
       {4, 2, 8, kRle8, {1, 1, 0, 2, 0, 5, 1, 3, 0, 1}},
       "0000/1000",
       true},
      {"lines past the top are not read",
       {2, 1, 8, kRle8, {1, 1, 0, 0, 2, 2, 0, 0, 2, 3}},
       "10",
       true},
      {"an absolute run cut short by the data keeps what it has",
       {4, 1, 8, kRle8, {0, 4, 1, 2}},
       "1200",
       true},
      {"a lone byte", {4, 1, 8, kRle8, {5}}, "0000", true},
      {"a delta cut short by the data", {4, 1, 8, kRle8, {1, 1, 0, 2, 3}}, "1000", true},
      {"thousands of runs past the end of a one-pixel row",
       {1, 1, 8, kRle8, Repeated({255, 1, 0, 5, 1, 2, 3, 4, 5, 0}, 2000)},
       "1",
       true},
      // Our own choices where runs leave the picture or the data cannot be right.
      {"a run past the row's end is cut there",
       {4, 2, 8, kRle8, {6, 1, 0, 0, 1, 2, 0, 1}},
       "2000/1111",
       false},
      {"an absolute run past the row's end is cut there",
       {4, 2, 8, kRle8, {0, 6, 1, 2, 3, 4, 5, 6, 0, 0, 1, 7, 0, 1}},
       "7000/1234",
       false},
      {"a delta past the right edge loses the rest of the row",
       {4, 2, 8, kRle8, {0, 2, 10, 0, 1, 3, 0, 0, 1, 3, 0, 1}},
       "3000/0000",
       false},

      {"an index beyond the colour table is black",
       {3, 1, 8, kRle8, {1, 200, 1, 3, 0, 3, 9, 1, 255, 0}},
       "k3k",
       false},
      {"4 bits: indices beyond the colour table are black",
       {3, 1, 4, kRle4, {2, 0x9A, 1, 0x20}},
       "kk2",
       false},
      {"top-down rows", {4, -2, 8, kRle8, {4, 1, 0, 1}}, "refused", false},
      {"RLE4 at 8 bits", {4, 1, 8, kRle4, {4, 0x11, 0, 1}}, "refused", false},
      {"RLE8 at 4 bits", {4, 1, 4, kRle8, {4, 1, 0, 1}}, "refused", false},
      {"a vast picture of a few runs", {5000, 5000, 8, kRle8, {0, 1}}, "refused", false},
  };
  const bool peer = HaveImageMagick();
  int asked = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(OurDigits(c.picture), c.pixels);
    if (!peer || !c.peer) continue;
    EXPECT_EQ(PeerDigits("case" + std::to_string(asked++), File(c.picture), c.picture.width,
                         c.picture.height),
              c.pixels)
        << "ImageMagick";
  }
  if (!peer)
    GTEST_SKIP() << "ImageMagick (" << kImageMagick << ") is not installed: the "
                 << "pixels were checked against the documented ones only";
}

// A well-formed random run stream: runs, absolute runs and deltas that keep inside the
// rows, line ends, and now and then an end of the bitmap before its last row.
RunPicture RandomRuns(std::mt19937& random) {
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  RunPicture p;
  const bool nibbles = pick(0, 1) == 1;
  p.bits = nibbles ? 4 : 8;
  p.compression = nibbles ? kRle4 : kRle8;
  p.width = pick(1, 40);
  p.height = pick(1, 8);
  const auto index = [&] { return std::uint8_t(pick(0, 7)); };
  std::vector<std::uint8_t>& out = p.runs;
  int x = 0, y = 0;
  while (y < p.height) {
    const int room = p.width - x;
    const int op = pick(0, 5);
    if (op <= 1 && room >= 1) {
      const int count = pick(1, std::min(room, 255));
      out.insert(out.end(),
                 {std::uint8_t(count), nibbles ? std::uint8_t(index() << 4 | index()) : index()});
      x += count;
    } else if (op == 2 && room >= 3) {
      const int count = pick(3, std::min(room, 255));
      std::vector<std::uint8_t> given;
      for (int i = 0; i < count; ++i) {
        if (!nibbles)
          given.push_back(index());
        else if (i % 2 == 0)
          given.push_back(std::uint8_t(index() << 4));
        else
          given.back() = std::uint8_t(given.back() | index());
      }
      if (given.size() % 2 != 0) given.push_back(0);
      out.insert(out.end(), {0, std::uint8_t(count)});
      out.insert(out.end(), given.begin(), given.end());
      x += count;
    } else if (op == 3) {
      const int right = pick(0, room), up = pick(0, std::min(2, p.height - 1 - y));
      out.insert(out.end(), {0, 2, std::uint8_t(right), std::uint8_t(up)});
      x += right;
      y += up;
    } else if (op == 4) {
      out.insert(out.end(), {0, 0});
      x = 0;
      ++y;
    } else if (op == 5 && pick(0, 9) == 0) {
      out.insert(out.end(), {0, 1});
      break;
    }
  }
  return p;
}

TEST(BmpRuns, ImageMagickReadsRandomStreamsAndCodesPicturesAsWeRead) {
  if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick (" << kImageMagick << ") is not installed";
  std::mt19937 random(20261209);
  for (int i = 0; i < 40; ++i) {
    const RunPicture p = RandomRuns(random);
    SCOPED_TRACE("random stream " + std::to_string(i));
    EXPECT_EQ(OurDigits(p), PeerDigits("random" + std::to_string(i), File(p), p.width, p.height));
  }
  // A picture of runs of every length from 1 to 4 and one long run, coded by ImageMagick.
  TBitmap source;
  source.SetSize(29, 11);
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x) {
      const std::uint32_t rgb = y == 5 ? kPalette[3] : kPalette[(x / (1 + y % 4) + y) % 8];
      source.Canvas().SetPixels(x, y, RGB(int(rgb >> 16), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)));
    }
  const std::string plain = WriteScratchFile("source.bmp", "");
  source.SaveToFile(plain);
  const std::string coded = ScratchFolder() + "/coded.bmp";
  ASSERT_EQ(RunAndCapture(std::string(kImageMagick) + " '" + plain +
                          "' -type Palette -compress RLE BMP3:'" + coded + "' && echo done"),
            "done\n");
  TBitmap read;
  read.LoadFromFile(coded);
  char fields[34] = {};
  std::ifstream(coded, std::ios::binary).read(fields, sizeof fields);
  EXPECT_EQ(fields[30], char(kRle8)) << "ImageMagick wrote no RLE8 picture";
  EXPECT_EQ(Digits(read), Digits(source));
}

// A Windows metafile whose window is the picture's pixels and which stretches the
// run-length coded picture over it: the player hands the DIB to the codec as it is.
TEST(BmpRuns, MetafileRecordsDrawCodedBitmaps) {
  const RunPicture picture{4, 2, 8, kRle8, {1, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 0, 2, 6, 0, 1}};
  Bytes dib = Info(picture).Raw(picture.runs);
  if (dib.data.size() % 2 != 0) dib.data.push_back(0);
  Bytes records;
  const auto record = [&](unsigned function, const Bytes& parameters) {
    records.U32(std::uint32_t(3 + parameters.data.size() / 2)).U16(function).Raw(parameters.data);
  };
  record(0x020B, Bytes().U16(0).U16(0));  // SetWindowOrg
  record(0x020C, Bytes().U16(2).U16(4));  // SetWindowExt: height, width
  // StretchDIBits: copy, RGB colours, source height, width, y, x, destination the same
  Bytes stretch = Bytes().U32(0x00CC0020).U16(0).U16(2).U16(4).U16(0).U16(0);
  stretch.U16(2).U16(4).U16(0).U16(0).Raw(dib.data);
  record(0x0F43, stretch);
  record(0x0000, Bytes());
  Bytes wmf = Bytes().U16(1).U16(9).U16(0x0300).U32(std::uint32_t(9 + records.data.size() / 2));
  wmf.U16(0).U32(std::uint32_t(3 + stretch.data.size() / 2)).U16(0).Raw(records.data);
  TMetafile metafile(wmf.Span(), false);
  metafile.SetSize(4, 2);  // a Windows metafile without a placeable header has no size
  TBitmap drawn;
  drawn.SetSize(4, 2);
  drawn.Canvas().StretchDraw(Rect(0, 0, 4, 2), metafile);
  EXPECT_EQ(Digits(drawn), "0066/1234");
}

}  // namespace

namespace {

std::string Saved(const TGraphic& picture) {
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

// A few bytes of runs may claim millions of pixels: written out those took 268 MB of RTF
// for two pictures. A bitmap loaded from a file smaller than its pixels writes that file
// again (a copy too), until its pixels change; a file no smaller is written from the
// pixels as ever.
TEST(BmpRuns, ACodedFileIsWrittenAgainUntilThePixelsChange) {
  RunPicture huge;
  huge.width = huge.height = 256;
  huge.runs = {0, 1};  // the end of the bitmap: every pixel the first colour
  const Bytes file = File(huge);
  const std::string bytes(file.data.begin(), file.data.end());
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
  stream.WriteBuffer("tail", 4);
  stream.SetPosition(0);
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), std::int64_t(bytes.size()));
  EXPECT_EQ(Saved(bitmap), bytes);
  EXPECT_EQ(Saved(*bitmap.Clone()), bytes);
  TBitmap assigned;
  assigned.Assign(bitmap);
  EXPECT_EQ(Saved(assigned), bytes);

  // Each way of changing the pixels forgets the file.
  const auto changed = [&](const std::function<void(TBitmap&)>& change) {
    auto copy = bitmap.Clone();
    change(static_cast<TBitmap&>(*copy));
    return Saved(*copy).size() > bytes.size();
  };
  EXPECT_TRUE(changed([](TBitmap& b) { b.Canvas().SetPixels(0, 0, clRed); }));
  EXPECT_TRUE(changed([](TBitmap& b) { b.ScanLine(0)[0] = 1; }));
  EXPECT_TRUE(changed([](TBitmap& b) { b.SetSize(256, 255); }));
  EXPECT_TRUE(changed([](TBitmap& b) { b.SetPixelFormat(pf24bit); }));

  RunPicture small;
  small.width = 2;
  small.height = 1;
  small.runs = {2, 1, 0, 1};
  const Bytes smallFile = File(small);
  TMemoryStream smallStream;
  smallStream.WriteBuffer(smallFile.data.data(), std::int64_t(smallFile.data.size()));
  smallStream.SetPosition(0);
  TBitmap plain;
  plain.LoadFromStream(smallStream);
  TMemoryStream written;
  WriteBmp(plain, written);
  EXPECT_EQ(Saved(plain).size(), std::size_t(written.Size()));
}

}  // namespace

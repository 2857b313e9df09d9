// Our reader against giflib's dump of GIFs written by independent tools, and our writer
// read back by ourselves and (when giflib-tools is installed) by giflib.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "gif/gif_picture.h"
#include "gif_test_support.h"
#include "support/scratch_files.h"

namespace {

const char* const kFixtures[] = {
    "basic_4",        "table_2",        "table_4",        "table_8",        "table_16",
    "table_32",       "table_64",       "table_128",      "table_256",      "interlaced_23x17",
    "interlaced_3x1", "interlaced_3x2", "interlaced_3x3", "interlaced_3x5", "one_pixel",
    "odd_257x3",      "transparent",    "anim_local",     "comment_app",    "optimized",
    "local_tables",
};

std::vector<TDumpColor> MapOf(const TGIFColorMap& Map) {
  std::vector<TDumpColor> colors;
  for (int i = 0; i < Map.Count(); ++i)
    colors.push_back({Map.Entry(i).Red, Map.Entry(i).Green, Map.Entry(i).Blue});
  return colors;
}

int LoopsOf(const TGIFSubImage& Frame) {
  for (int i = 0; i < Frame.Extensions.Count(); ++i)
    if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(&Frame.Extensions[i])) return loop->Loops;
  return -1;
}

// The global table is written with as many entries as the widest table of the picture
// needs (frames on the global table are coded with that many bits), the rest zero.
void ExpectPaddedMap(const std::vector<TDumpColor>& Written,
                     const std::vector<TDumpColor>& Original) {
  ASSERT_GE(Written.size(), Original.size());
  EXPECT_EQ(std::vector<TDumpColor>(Written.begin(), Written.begin() + Original.size()), Original);
  for (std::size_t i = Original.size(); i < Written.size(); ++i)
    EXPECT_EQ(Written[i], TDumpColor{});
}

// Compares a picture with a dump, frame by frame and pixel by pixel.
void ExpectMatchesDump(TGIFPicture& Picture, const TGifDump& Dump, const std::string& Name,
                       bool Rewritten = false) {
  SCOPED_TRACE(Name);
  EXPECT_EQ(Picture.Width(), Dump.Width);
  EXPECT_EQ(Picture.Height(), Dump.Height);
  EXPECT_EQ(Picture.Header.BackgroundColorIndex, Dump.Background);
  EXPECT_EQ(Picture.Header.AspectRatio, Dump.Aspect);
  if (Rewritten)
    ExpectPaddedMap(MapOf(Picture.Header.ColorMap), Dump.GlobalMap);
  else
    EXPECT_EQ(MapOf(Picture.Header.ColorMap), Dump.GlobalMap);
  ASSERT_EQ(Picture.Images.Count(), static_cast<int>(Dump.Frames.size()));
  for (int i = 0; i < Picture.Images.Count(); ++i) {
    SCOPED_TRACE("frame " + std::to_string(i));
    TGIFSubImage& frame = Picture.Images[i];
    const TDumpFrame& expected = Dump.Frames[i];
    EXPECT_EQ(frame.Left(), expected.Left);
    EXPECT_EQ(frame.Top(), expected.Top);
    EXPECT_EQ(frame.Width(), expected.Width);
    EXPECT_EQ(frame.Height(), expected.Height);
    EXPECT_EQ(frame.Interlaced(), expected.Interlaced);
    EXPECT_EQ(MapOf(frame.ColorMap), expected.LocalMap);
    EXPECT_EQ(frame.Data(), expected.Pixels);
    EXPECT_EQ(LoopsOf(frame), expected.Loop);
    ASSERT_EQ(frame.GraphicControlExtension != nullptr, expected.HasControl);
    if (expected.HasControl) {
      const TGIFGraphicControlExtension& gce = *frame.GraphicControlExtension;
      EXPECT_EQ(gce.Disposal(), expected.Disposal);
      EXPECT_EQ(gce.Delay, expected.Delay);
      EXPECT_EQ(gce.UserInput(), expected.UserInput);
      EXPECT_EQ(gce.Transparent() ? gce.TransparentColorIndex : -1, expected.TransparentIndex);
      EXPECT_EQ(frame.Transparent, expected.TransparentIndex >= 0);
    }
  }
}

void LoadFixture(TGIFPicture& Picture, const std::string& Name) {
  LoadBytes(Picture, ReadFileBytes(GifFixturePath(Name + ".gif")));
}

// Loads a fixture into Picture and writes it with the given compression for a peer tool to
// read; the path of the written file.
std::string WriteFixtureForPeer(TGIFPicture& Picture, const std::string& Name,
                                TGIFCompression Compression) {
  LoadFixture(Picture, Name);
  Picture.Compression = Compression;
  return WriteScratchFile(Name + ".gif", SaveBytes(Picture));
}

class GifPeer : public ::testing::TestWithParam<const char*> {};

TEST_P(GifPeer, ReadsWhatGiflibReads) {
  const std::string name = GetParam();
  TGIFPicture picture;
  TWarningLog warnings(picture);
  LoadFixture(picture, name);
  EXPECT_TRUE(warnings.Messages.empty()) << warnings.Messages.front();
  ExpectMatchesDump(picture, ParseGifDump(ReadFileBytes(GifFixturePath(name + ".dump"))), name);
}

TEST_P(GifPeer, WritesWhatItReadAndRewritesIdentically) {
  const std::string name = GetParam();
  const TGifDump dump = ParseGifDump(ReadFileBytes(GifFixturePath(name + ".dump")));
  for (TGIFCompression compression : {CompressLZW, CompressRLE}) {
    SCOPED_TRACE(compression == CompressLZW ? "LZW" : "RLE");
    TGIFPicture picture;
    LoadFixture(picture, name);
    picture.Compression = compression;
    const std::string written = SaveBytes(picture);
    TGIFPicture reread;
    TWarningLog warnings(reread);
    LoadBytes(reread, written);
    EXPECT_TRUE(warnings.Messages.empty());
    ExpectMatchesDump(reread, dump, name, true);
    reread.Compression = compression;
    EXPECT_EQ(SaveBytes(reread), written);
  }
}

// giflib reads what we write: only when its tools are installed.
TEST_P(GifPeer, GiflibReadsWhatWeWrite) {
  if (std::system("command -v gifbuild > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "giflib-tools not installed";
  const std::string name = GetParam();
  const std::filesystem::path folder = ScratchFolder();
  for (TGIFCompression compression : {CompressLZW, CompressRLE}) {
    TGIFPicture picture;
    const std::string gif = WriteFixtureForPeer(picture, name, compression);
    const std::string dump = (folder / (name + ".dump")).string();
    ASSERT_EQ(std::system(("gifbuild -d '" + gif + "' > '" + dump + "' 2>&1").c_str()), 0);
    ExpectPaddedMap(ParseGifDump(ReadFileBytes(dump)).GlobalMap, MapOf(picture.Header.ColorMap));
    TGifDump peer = ParseGifDump(ReadFileBytes(dump));
    peer.GlobalMap.resize(static_cast<std::size_t>(picture.Header.ColorMap.Count()));
    ExpectMatchesDump(picture, peer, name);
  }
}

// ImageMagick decodes the first frame of what we write to the same colours, and gifsicle
// reads it without complaint: only when those tools are installed.
TEST_P(GifPeer, ImageMagickAndGifsicleReadWhatWeWrite) {
  if (std::system("command -v gifsicle > /dev/null 2>&1 && test -x /usr/bin/convert") != 0)
    GTEST_SKIP() << "imagemagick or gifsicle not installed";
  const std::string name = GetParam();
  const std::filesystem::path folder = ScratchFolder();
  for (TGIFCompression compression : {CompressLZW, CompressRLE}) {
    TGIFPicture picture;
    const std::string gif = WriteFixtureForPeer(picture, name, compression);
    const std::string rgb = (folder / (name + ".rgb")).string();
    const std::string log = (folder / (name + ".log")).string();
    ASSERT_EQ(std::system(("gifsicle '" + gif + "' -o /dev/null 2> '" + log + "'").c_str()), 0);
    // Reading problems name the file; what gifsicle says about its own output does not.
    EXPECT_EQ(ReadFileBytes(log).find(gif), std::string::npos) << ReadFileBytes(log);
    ASSERT_EQ(std::system(("/usr/bin/convert '" + gif + "[0]' -depth 8 rgb:'" + rgb + "'").c_str()),
              0);
    const std::string pixels = ReadFileBytes(rgb);
    TGIFSubImage& frame = picture.Images[0];
    ASSERT_EQ(frame.BoundsRect(), Rect(0, 0, picture.Width(), picture.Height()));
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(3 * frame.Width() * frame.Height()));
    TGIFColorMap& map = frame.ActiveColorMap();
    for (int i = 0; i < frame.DataSize(); ++i) {
      const int index = frame.Data()[static_cast<std::size_t>(i)];
      if (frame.Transparent && index == frame.FillIndex()) continue;
      const TGIFColor& c = map.Entry(index);
      ASSERT_EQ(static_cast<std::uint8_t>(pixels[3 * i]), c.Red) << name << " pixel " << i;
      ASSERT_EQ(static_cast<std::uint8_t>(pixels[3 * i + 1]), c.Green);
      ASSERT_EQ(static_cast<std::uint8_t>(pixels[3 * i + 2]), c.Blue);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, GifPeer, ::testing::ValuesIn(kFixtures));

}  // namespace

namespace {

// Enough pixels to fill the LZW dictionary several times, for both encoders.
TEST(GifPeerLarge, GiflibReadsFullDictionariesAndLongRuns) {
  if (std::system("command -v gifbuild > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "giflib-tools not installed";
  const std::filesystem::path folder = ScratchFolder();
  TGIFPicture picture;
  for (int i = 0; i < 256; ++i) picture.Header.ColorMap.Add(RGB(i, 255 - i, i / 2));
  auto frame = std::make_unique<TGIFSubImage>(&picture);
  frame->SetBounds(0, 0, 160, 120);
  unsigned seed = 7;
  for (int y = 0; y < 120; ++y) {
    std::uint8_t* row = frame->Scanline(y);
    for (int x = 0; x < 160; ++x) {
      seed = seed * 1103515245 + 12345;
      // Random colours in the top half, long runs in the bottom half.
      row[x] = static_cast<std::uint8_t>(y < 60 ? (seed >> 16) & 0xFF : (x / 37 + y / 11) & 0xFF);
    }
  }
  picture.Add(std::move(frame));
  for (TGIFCompression compression : {CompressLZW, CompressRLE}) {
    picture.Compression = compression;
    const std::string gif = (folder / "large.gif").string();
    const std::string dump = (folder / "large.dump").string();
    WriteFileBytes(gif, SaveBytes(picture));
    ASSERT_EQ(std::system(("gifbuild -d '" + gif + "' > '" + dump + "' 2>&1").c_str()), 0);
    const TGifDump peer = ParseGifDump(ReadFileBytes(dump));
    ASSERT_EQ(peer.Frames.size(), 1u);
    EXPECT_EQ(peer.Frames[0].Pixels, picture.Images[0].Data());
  }
}

}  // namespace

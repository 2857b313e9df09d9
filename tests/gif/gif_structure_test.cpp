// File structure: signature, screen descriptor, colour tables, the block loop and the
// trailer, over minimal hand-built files annotated field by field.
#include <gtest/gtest.h>

#include "gif/gif_picture.h"
#include "gif_test_support.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/text/format.h"
#include "platform/text/streams.h"
#include "support/scratch_files.h"

namespace {

// A 1 x 1 picture of colour 1 on a 2-colour global table.
std::string Screen(const std::string& Signature = "GIF89a", int Width = 1, int Height = 1) {
  return Signature + Bytes({
                         Width & 0xFF, Width >> 8,    // logical screen width
                         Height & 0xFF, Height >> 8,  // logical screen height
                         0x80,                        // packed: global table, 2 entries (2 shl 0)
                         0x00,                        // background colour index
                         0x00,                        // pixel aspect ratio
                         0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,  // black, white
                     });
}
const std::string kFrame = Bytes({
    0x2C,                    // image separator
    0x00, 0x00, 0x00, 0x00,  // left 0, top 0
    0x01, 0x00, 0x01, 0x00,  // width 1, height 1
    0x00,                    // packed: no local table, not interlaced
    0x02,                    // LZW minimum code size 2
    0x02, 0x4C, 0x01,        // 2 bytes: codes clear (4), 1, end (5) at 3 bits
    0x00,                    // end of image data
});
const std::string kTrailer = Bytes({0x3B});

struct TLoadCase {
  const char* Name;
  std::string File;
  int Frames;
  std::vector<std::string> Warnings;
};

TEST(GifStructure, LoadsTheVariantsReadersMeet) {
  const TLoadCase cases[] = {
      {"plain", Screen() + kFrame + kTrailer, 1, {}},
      {"lower-case signature", Screen("gif89a") + kFrame + kTrailer, 1, {}},
      {"stored length before the signature",
       Bytes({9, 0, 0, 0}) + Screen() + kFrame + kTrailer,
       1,
       {}},
      {"unknown version text", Screen("GIF90z") + kFrame + kTrailer, 1, {}},
      {"zero bytes between blocks",
       Screen() + Bytes({0, 0}) + kFrame + Bytes({0, 0, 0}) + kTrailer,
       1,
       {}},
      {"missing trailer", Screen() + kFrame, 1, {}},
      {"two frames", Screen() + kFrame + kFrame + kTrailer, 2, {}},
      {"no frames", Screen() + kTrailer, 0, {}},
      {"unknown block",
       Screen() + kFrame + "X" + kTrailer,
       1,
       {"Unknown GIF block type", "Invalid Image trailer"}},
      {"extensions before the trailer",
       Screen() + kFrame + Bytes({0x21, 0xFE, 0x02, 'h', 'i', 0x00}) + kTrailer,
       2,
       {}},
  };
  for (const TLoadCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TGIFPicture picture;
    TWarningLog warnings(picture);
    LoadBytes(picture, c.File);
    EXPECT_EQ(picture.Images.Count(), c.Frames);
    EXPECT_EQ(warnings.Messages, c.Warnings);
    if (c.Frames > 0) {
      EXPECT_EQ(picture.Images[0].Pixels(0, 0), 1);
    }
  }
}

TEST(GifStructure, ExtensionsBeforeTheTrailerBecomeAFrameWithoutPixels) {
  TGIFPicture picture;
  LoadBytes(picture, Screen() + kFrame + Bytes({0x21, 0xFE, 0x02, 'h', 'i', 0x00}) + kTrailer);
  ASSERT_EQ(picture.Images.Count(), 2);
  EXPECT_TRUE(picture.Images[1].Empty());
  EXPECT_EQ(picture.Images[1].Extensions.Count(), 1);
}

TEST(GifStructure, RejectsWhatIsNoGif) {
  const std::pair<const char*, std::string> cases[] = {
      {"Invalid GIF signature", "GIX89a" + Screen().substr(6) + kFrame + kTrailer},
      {"Invalid GIF signature", std::string(20, 'x')},
      {"Premature end of data", "GIF8"},
      {"Premature end of data", Screen().substr(0, 15)},
  };
  for (const auto& [message, file] : cases) {
    TGIFPicture picture;
    try {
      LoadBytes(picture, file);
      ADD_FAILURE() << "loaded " << message;
    } catch (const GIFException& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
}

// Drawing allocates the whole screen, whatever the frames cover: 35 bytes claiming
// 15000 x 15000 became a 900 MB map, 65535 x 65535 asked for 17 GB. A screen above
// 50 M pixels must be one that the file's bytes could fill; below, a large screen around
// a small frame is read, as other readers do.
TEST(GifStructure, ScreensLargerThanDrawingMayAllocateAreRefused) {
  for (const auto& [width, height] : {std::pair{15000, 15000}, {65535, 65535}, {8000, 8000}}) {
    TGIFPicture picture;
    try {
      LoadBytes(picture, Screen("GIF89a", width, height) + kFrame + kTrailer);
      ADD_FAILURE() << "loaded " << width << " x " << height;
    } catch (const GIFException& error) {
      EXPECT_EQ(error.what(), Format(kPictureTooLargeText, width, height));
    }
  }
  TGIFPicture picture;
  LoadBytes(picture, Screen("GIF89a", 5000, 5000) + kFrame + kTrailer);
  EXPECT_EQ(picture.Width(), 5000);
}

TEST(GifStructure, AFailedLoadPutsTheStreamBackAndKeepsWhatWasRead) {
  const std::string file = Screen() + kFrame + Bytes({0x2C, 0, 0, 0});  // cut descriptor
  TMemoryStream stream;
  stream.WriteBuffer("abc", 3);
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(3);
  TGIFPicture picture;
  EXPECT_THROW(picture.LoadFromStream(stream), GIFException);
  EXPECT_EQ(stream.Position(), 3);
  EXPECT_EQ(picture.Images.Count(), 1);
  EXPECT_EQ(picture.Width(), 1);
}

TEST(GifStructure, WritesTheVersionItsContentNeeds) {
  TGIFPicture picture;
  LoadBytes(picture, Screen("GIF90z") + kFrame + kTrailer);
  EXPECT_EQ(SaveBytes(picture).substr(0, 6), "GIF87a");
  picture.Header.AspectRatio = 49;
  EXPECT_EQ(SaveBytes(picture).substr(0, 6), "GIF89a");
}

TEST(GifStructure, SavingAPictureWithoutFramesFails) {
  TGIFPicture picture;
  try {
    SaveBytes(picture);
    FAIL();
  } catch (const GIFException& error) {
    EXPECT_STREQ(error.what(), "Unsupported GIF version");
  }
}

// A stream whose medium is full after a few bytes.
class TFullStream : public TMemoryStream {
 public:
  int64_t Write(const void* Buffer, int64_t Count) override {
    return Size() + Count > 20 ? 0 : TMemoryStream::Write(Buffer, Count);
  }
};

TEST(GifStructure, AFailedWriteIsAGifError) {
  TGIFPicture picture;
  LoadBytes(picture, Screen() + kFrame + kTrailer);
  TFullStream stream;
  EXPECT_THROW(picture.SaveToStream(stream), GIFException);
}

TEST(GifStructure, AGlobalTableIsPaddedToAPowerOfTwo) {
  TGIFPicture picture;
  picture.Header.ColorMap.Add(clRed);
  picture.Header.ColorMap.Add(clLime);
  picture.Header.ColorMap.Add(clBlue);
  auto frame = std::make_unique<TGIFSubImage>(&picture);
  frame->SetBounds(0, 0, 2, 1);
  frame->SetPixels(1, 0, 2);
  picture.Add(std::move(frame));
  const std::string file = SaveBytes(picture);
  EXPECT_EQ(file.substr(0, 13), "GIF87a" + Bytes({2, 0, 1, 0,
                                                  0x91,  // global table, resolution 1, 4 entries
                                                  0, 0}));
  EXPECT_EQ(file.substr(13, 12), Bytes({0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0}));
  TGIFPicture reread;
  LoadBytes(reread, file);
  EXPECT_EQ(reread.Images[0].Data(), (std::vector<std::uint8_t>{0, 2}));
}

TEST(GifStructure, ColorTables) {
  TGIFPicture picture;
  TGIFColorMap& map = picture.Header.ColorMap;
  for (int i = 0; i < 256; ++i) map.Add(RGB(i, 0, 0));
  try {
    map.Add(clWhite);
    FAIL();
  } catch (const GIFException& error) {
    EXPECT_STREQ(error.what(), "Color table overflow");
  }
  map.Clear();
  map.Add(clRed);
  map.Add(clBlue);
  map.Add(clRed);
  EXPECT_EQ(map.IndexOf(clRed), 2);  // unsorted tables are searched from the end
  EXPECT_EQ(map.IndexOf(clLime), -1);
  EXPECT_EQ(map.AddUnique(clBlue), 1);
  EXPECT_THROW(map.Delete(3), GIFException);
  map.Delete(0);
  EXPECT_EQ(map.Colors(0), clBlue);
  TWarningLog warnings(picture);
  EXPECT_EQ(map.Colors(7), clBlue);
  EXPECT_EQ(warnings.Messages, std::vector<std::string>{"Invalid color index"});
  map.Clear();
  EXPECT_THROW(map.Colors(0), GIFException);
  EXPECT_EQ(Colors2bpp(0), 0);
  EXPECT_EQ(Colors2bpp(2), 1);
  EXPECT_EQ(Colors2bpp(3), 2);
  EXPECT_EQ(Colors2bpp(256), 8);
  map.ImportPalette({{1, 2, 3, 0}, {4, 5, 6, PC_NOCOLLAPSE}});
  EXPECT_EQ(map.Count(), 2);
  EXPECT_EQ(map.Colors(1), RGB(4, 5, 6));
  EXPECT_EQ(map.ExportPalette(), (TGIFPalette{{1, 2, 3, PC_NOCOLLAPSE}, {4, 5, 6, PC_NOCOLLAPSE}}));
}

TEST(GifStructure, AFrameWrittenInterlacedReadsBackTheSame) {
  TGIFPicture picture;
  for (int i = 0; i < 8; ++i) picture.Header.ColorMap.Add(RGB(i * 30, 0, 0));
  auto frame = std::make_unique<TGIFSubImage>(&picture);
  frame->SetBounds(0, 0, 3, 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 3; ++x) frame->SetPixels(x, y, static_cast<std::uint8_t>((x + y) % 8));
  frame->SetInterlaced(true);
  picture.Add(std::move(frame));
  TGIFPicture reread;
  LoadBytes(reread, SaveBytes(picture));
  EXPECT_TRUE(reread.Images[0].Interlaced());
  EXPECT_EQ(reread.Images[0].Data(), picture.Images[0].Data());
}

TEST(GifStructure, OptimizingSortsByUseAndDropsUnusedColoursButTheBackground) {
  TGIFPicture picture;
  LoadBytes(picture, Screen() + kFrame + kTrailer);
  // Black, unused, is the screen's background and stays; once the background is white,
  // the only colour used, white moves to index 0 and black goes.
  EXPECT_TRUE(picture.Header.ColorMap.Optimize());
  EXPECT_EQ(picture.Header.ColorMap.Count(), 2);
  picture.Header.BackgroundColorIndex = 1;
  EXPECT_TRUE(picture.Header.ColorMap.Optimize());
  EXPECT_EQ(picture.Header.ColorMap.Count(), 1);
  EXPECT_EQ(picture.Header.ColorMap.Colors(0), clWhite);
  EXPECT_EQ(picture.Images[0].Pixels(0, 0), 0);
  EXPECT_EQ(picture.Header.BackgroundColorIndex, 0);
}

TEST(GifStructure, OptimizingATableInOrderOnlySetsTheSortFlag) {
  TGIFPicture picture;
  LoadBytes(picture, Screen() + kFrame + kTrailer);
  picture.Images[0].SetBounds(0, 0, 1, 2);  // pixels 0, 0 after resizing
  picture.Images[0].SetPixels(0, 1, 1);
  picture.Images[0].SetPixels(0, 0, 0);
  EXPECT_TRUE(picture.Header.ColorMap.Optimize());
  EXPECT_EQ(picture.Header.ColorMap.Count(), 2);
  EXPECT_TRUE(picture.Header.ColorMap.Optimized);
  const std::string file = SaveBytes(picture);
  EXPECT_EQ(file.substr(0, 6), "GIF89a");
  EXPECT_EQ(static_cast<std::uint8_t>(file[10]) & 0x08, 0x08);
}

TEST(GifStructure, ResizingTheScreenKeepsFramesInside) {
  TGIFPicture picture;
  LoadBytes(picture, Screen() + kFrame + kTrailer);
  picture.SetWidth(5);
  EXPECT_EQ(picture.Width(), 5);
  picture.Images[0].SetBounds(3, 0, 2, 1);
  try {
    picture.SetWidth(4);
    FAIL();
  } catch (const GIFException& error) {
    EXPECT_STREQ(error.what(), "Image width too small for contained frames");
  }
  TWarningLog warnings(picture);
  picture.Images[0].SetBounds(0, 0, 1, 3);
  EXPECT_EQ(picture.Height(), 3);
  EXPECT_EQ(warnings.Messages,
            (std::vector<std::string>{"Image height too small for contained frames",
                                      "Image exceeds Logical Screen size"}));
}

TEST(GifStructure, PixelAccessChecksCoordinates) {
  TGIFPicture picture;
  LoadBytes(picture, Screen() + kFrame + kTrailer);
  TGIFSubImage& frame = picture.Images[0];
  EXPECT_THROW(frame.Pixels(1, 0), GIFException);
  EXPECT_THROW(frame.Pixels(0, -1), GIFException);
  EXPECT_THROW(frame.Scanline(1), GIFException);
}

TEST(GifStructure, AssigningAPictureCopiesFramesAndSettings) {
  TGIFPicture source;
  LoadBytes(source, ReadFileBytes(GifFixturePath("comment_app.gif")));
  source.DrawOptions = dfLoop;
  TGIFPicture copy;
  copy.Assign(source);
  EXPECT_EQ(copy.DrawOptions, dfLoop);
  EXPECT_EQ(SaveBytes(copy), SaveBytes(source));
  const std::unique_ptr<TGraphic> clone = source.Clone();
  EXPECT_EQ(SaveBytes(dynamic_cast<TGIFPicture&>(*clone)), SaveBytes(source));
}

// A file without any colour table is written back as it was read, pixels and all; a
// save that fails leaves the file it would have replaced.
TEST(GifStructure, APictureWithoutColourTablesSavesWholeOrNotAtAll) {
  const std::string path = WriteScratchFile("tableless.gif", "old content");
  TGIFPicture picture;
  LoadBytes(picture, "GIF89a" + Bytes({1, 0, 1, 0, 0x00, 0, 0}) + kFrame + kTrailer);
  ASSERT_EQ(picture.Header.ColorMap.Count(), 0);
  picture.Images[0].SetBounds(0, 0, 3, 1);
  for (int x = 0; x < 3; ++x) picture.Images[0].SetPixels(x, 0, static_cast<std::uint8_t>(x * 6));
  picture.SaveToFile(path);
  TGIFPicture reloaded;
  reloaded.LoadFromFile(path);
  EXPECT_EQ(reloaded.Header.ColorMap.Count(), 0);
  EXPECT_EQ(reloaded.Images[0].Data(), (std::vector<std::uint8_t>{0, 6, 12}));

  const std::string written = ReadFileBytes(path);
  reloaded.Images[0].ColorMap.Add(clBlack);
  reloaded.Images[0].ColorMap.Add(clWhite);
  EXPECT_THROW(reloaded.SaveToFile(path), GIFException);  // colour 6 of 2
  EXPECT_EQ(ReadFileBytes(path), written);
}

}  // namespace

#include "html/picture_container.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "gif/gif_picture.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/text/streams.h"
#include "support/control_snapshot.h"

namespace {

std::string Fixture(const std::string& Name) {
  return std::string(VELMORA_TEST_DATA) + "/gif/" + Name;
}

std::string FileBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Load(THTMLPicture& Picture, const std::string& Bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes.data(), std::int64_t(Bytes.size()));
  stream.SetPosition(0);
  Picture.LoadFromStream(stream);
}

// An 8 x 6 screen with three 2 x 2 frames in red, lime and blue at (1, 1), (4, 2) and
// (6, 4), shown 10, 20 and 30 hundredths of a second.
std::string ThreeFrames() {
  TGIFPicture gif;
  gif.Header.Width = 8;
  gif.Header.Height = 6;
  for (TColor c : {clBlack, clRed, clLime, clBlue}) gif.Header.ColorMap.Add(c);
  const int lefts[] = {1, 4, 6}, tops[] = {1, 2, 4};
  for (int n = 0; n < 3; ++n) {
    auto frame = std::make_unique<TGIFSubImage>(&gif);
    frame->SetBounds(lefts[n], tops[n], 2, 2);
    for (int i = 0; i < 4; ++i) frame->SetPixels(i % 2, i / 2, std::uint8_t(n + 1));
    auto control = std::make_unique<TGIFGraphicControlExtension>(frame.get());
    control->Delay = std::uint16_t(10 * (n + 1));
    frame->Extensions.Add(std::move(control));
    gif.Add(std::move(frame));
  }
  TMemoryStream stream;
  gif.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

// Frames as giftext (giflib-tools) counts them.
int GiftextFrames(const std::string& Bytes) {
  const auto path = std::filesystem::temp_directory_path() / "velmora_html_frames.gif";
  std::ofstream(path, std::ios::binary) << Bytes;
  FILE* pipe = popen(("giftext '" + path.string() + "'").c_str(), "r");
  if (!pipe) return -1;
  int frames = 0;
  char line[512];
  while (fgets(line, sizeof line, pipe))
    if (std::string(line).starts_with("Image #")) ++frames;
  pclose(pipe);
  std::filesystem::remove(path);
  return frames;
}

TEST(THTMLPicture, FrameCountsAgreeWithGiftext) {
  // The last one carries the byte pattern of a control block before a frame inside a
  // comment: only the block structure tells that it is no frame.
  std::string tricky = FileBytes(Fixture("one_pixel.gif"));
  tricky.insert(tricky.size() - 1, std::string("!\xFE\x09\x21\xF9\x04\0\0\0\0\0\x2C\0", 13));
  std::vector<std::string> gifs = {FileBytes(Fixture("anim_local.gif")),
                                   FileBytes(Fixture("basic_4.gif")),
                                   FileBytes(Fixture("optimized.gif")), ThreeFrames(), tricky};
  for (const std::string& bytes : gifs) {
    SCOPED_TRACE(&bytes - gifs.data());
    THTMLPicture picture;
    Load(picture, bytes);
    const int expected = GiftextFrames(bytes);
    ASSERT_GT(expected, 0);
    EXPECT_EQ(picture.FrameCount(), expected);
  }
}

TEST(THTMLPicture, AChosenFrameHasItsOwnPlaceAndSize) {
  THTMLPicture picture;
  Load(picture, ThreeFrames());
  EXPECT_FALSE(picture.IsEmpty());
  EXPECT_EQ(picture.MaxWidth(), 8);
  EXPECT_EQ(picture.MaxHeight(), 6);
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(picture.FrameLeft(), 1);
  int changes = 0;
  picture.OnFrameChange = [&](THTMLPicture*) { ++changes; };
  picture.SetFrame(2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picture.FrameLeft(), 4);
  EXPECT_EQ(picture.FrameTop(), 2);
  EXPECT_EQ(picture.FrameDelay(3), 30);
  EXPECT_EQ(picture.FrameDelay(4), -1);

  auto bitmap = SolidPicture(10, 10, clWhite);
  picture.Draw(bitmap->Canvas(), Rect(3, 3, 9, 9));
  EXPECT_EQ(PixelAt(*bitmap, 3, 3), clLime);
  EXPECT_EQ(PixelAt(*bitmap, 4, 4), clLime);
  EXPECT_EQ(PixelAt(*bitmap, 5, 5), clWhite);
  picture.Stretch = true;
  picture.Draw(bitmap->Canvas(), Rect(0, 0, 10, 10));
  EXPECT_EQ(PixelAt(*bitmap, 9, 9), clLime);
}

TEST(THTMLPicture, StepsFollowTheDelaysOnceTheFramesWereCounted) {
  THTMLPicture picture;
  Load(picture, ThreeFrames());
  EXPECT_FALSE(picture.Step());  // not counted yet: no animation
  picture.FrameCount();
  std::vector<int> frames;
  for (int tick = 0; tick < 8; ++tick) {
    picture.Step();
    frames.push_back(picture.Frame());
  }
  // The first tick changes nothing; then each frame stays its delay: frame 2 two ticks,
  // frame 3 three, frame 1 one.
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 2, 3, 3, 3, 1, 2}));
}

TEST(THTMLPicture, OtherFormatsHaveNoFramesAndBadDataDrawsNothing) {
  auto source = SolidPicture(5, 4, clRed);
  TJPEGImage jpeg;
  jpeg.Assign(*source);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  stream.SetPosition(0);
  THTMLPicture picture;
  picture.LoadFromStream(stream);
  EXPECT_EQ(picture.FrameCount(), -1);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.MaxWidth(), picture.Width());
  EXPECT_FALSE(picture.Step());

  THTMLPicture bad;
  EXPECT_THROW(Load(bad, "GIF89a\x01"), EInvalidGraphic);
  EXPECT_FALSE(bad.IsEmpty());
  EXPECT_EQ(bad.Width(), 0);
  auto bitmap = SolidPicture(4, 4, clWhite);
  bad.Draw(bitmap->Canvas(), Rect(0, 0, 4, 4));
  EXPECT_EQ(PixelAt(*bitmap, 1, 1), clWhite);

  bad.Assign(nullptr);
  EXPECT_TRUE(bad.IsEmpty());
}

TEST(THTMLPicture, ResourceSourcesAreThePicturesBuiltIntoTheProgram) {
  THTMLPicture built_in;
  built_in.LoadFromURL("RES://basic_4.gif");
  EXPECT_FALSE(built_in.IsEmpty());
  EXPECT_GT(built_in.Width(), 0);
  EXPECT_EQ(built_in.ID(), "RES://basic_4.gif");
  for (const char* source : {"RES://none.gif", "RES://", "RES:///etc/hostname"}) {
    THTMLPicture missing;
    missing.LoadFromURL(source);
    EXPECT_TRUE(missing.IsEmpty()) << source;
  }
}

TEST(THTMLPicture, SourcesOfFilesAndAddressesNeverFetched) {
  SetPictureFolders({std::filesystem::path(Fixture("basic_4.gif")).parent_path().string()});
  THTMLPicture file;
  file.LoadFromURL("file://" + Fixture("basic_4.gif"));
  SetPictureFolders({});
  EXPECT_FALSE(file.IsEmpty());
  EXPECT_EQ(file.ID(), "file://" + Fixture("basic_4.gif"));

  THTMLPicture remote;
  remote.LoadFromURL("http://example.org/a.gif");
  EXPECT_TRUE(remote.IsEmpty());
  EXPECT_EQ(remote.URL(), "http://example.org/a.gif");
  EXPECT_EQ(remote.ID(), "");
  remote.LoadInBackground = false;
  remote.LoadFromURL("http://example.org/b.gif");
  EXPECT_EQ(remote.ID(), "http://example.org/b.gif");

  THTMLPicture copy;
  copy.Assign(&file);
  EXPECT_EQ(copy.ID(), file.ID());
  EXPECT_EQ(copy.Width(), file.Width());
}

TEST(PictureContainerAndCache, NamesIgnoreCaseButSourcesDoNot) {
  TPictureContainer container;
  TPictureItem& item = container.Items().Add();
  item.Name = "DEVICE";
  Load(item.Picture, ThreeFrames());
  EXPECT_EQ(container.FindPicture("device"), &item.Picture);
  EXPECT_EQ(container.FindPicture("GPS"), nullptr);
  EXPECT_EQ(container.Version(), "1.2.0.0");

  THTMLPictureCache cache;
  THTMLPicture& cached = cache.AddPicture();
  cached.LoadFromURL("FILE://" + Fixture("basic_4.gif"));
  EXPECT_EQ(cache.FindPicture("FILE://" + Fixture("basic_4.gif")), &cached);
  EXPECT_EQ(cache.FindPicture("file://" + Fixture("basic_4.gif")), nullptr);
  cache.ClearPictures();
  EXPECT_EQ(cache.Count(), 0);
}

}  // namespace

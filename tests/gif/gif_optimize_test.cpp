// The optimiser: merged repeats, cropped transparency, dropped blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "gif/gif_painter.h"
#include "gif/gif_picture.h"
#include "gif/gif_settings.h"
#include "gif_test_support.h"
#include "support/scratch_files.h"

namespace {

// Frames of 3 x 2 pixels on a 4-colour global table, each with a graphic control block.
void AddFrame(TGIFPicture& Picture, std::vector<std::uint8_t> Pixels, int Delay,
              bool Transparent = false, int TransparentIndex = 0) {
  if (Picture.Header.ColorMap.Count() == 0)
    for (TColor c : {clBlack, clRed, clBlue, clLime}) Picture.Header.ColorMap.Add(c);
  auto frame = std::make_unique<TGIFSubImage>(&Picture);
  frame->SetBounds(0, 0, 3, 2);
  for (int i = 0; i < 6; ++i) frame->SetPixels(i % 3, i / 3, Pixels[static_cast<std::size_t>(i)]);
  auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
  gce->Delay = static_cast<std::uint16_t>(Delay);
  gce->TransparentColorIndex = static_cast<std::uint8_t>(TransparentIndex);
  TGIFGraphicControlExtension* control = gce.get();
  frame->Extensions.Add(std::move(gce));
  if (Transparent) control->SetTransparent(true);
  Picture.Add(std::move(frame));
}

TEST(GifOptimize, ARepeatedFrameMergesAwayAndLendsItsDelay) {
  TGIFPicture picture;
  AddFrame(picture, {1, 2, 1, 2, 1, 2}, 10, true, 0);
  AddFrame(picture, {1, 2, 1, 2, 1, 2}, 30);
  picture.Optimize(OptMerge | OptCrop, ReduceNone, DitherNearest, 8);
  ASSERT_EQ(picture.Images.Count(), 1);
  EXPECT_EQ(picture.Images[0].GraphicControlExtension->Delay, 40);
}

TEST(GifOptimize, MergingKeepsWhatChanged) {
  TGIFPicture picture;
  AddFrame(picture, {1, 1, 1, 1, 1, 1}, 10);
  AddFrame(picture, {1, 1, 1, 1, 2, 1}, 10);
  picture.Optimize(OptMerge | OptCrop, ReduceNone, DitherNearest, 8);
  ASSERT_EQ(picture.Images.Count(), 2);
  TGIFSubImage& second = picture.Images[1];
  ASSERT_TRUE(second.Transparent);
  EXPECT_EQ(second.BoundsRect(), Rect(1, 1, 2, 2));
  EXPECT_EQ(second.Pixels(0, 0), 2);
  // The new transparent colour went into the global table.
  EXPECT_EQ(picture.Header.ColorMap.Count(), 5);
  EXPECT_EQ(second.GraphicControlExtension->TransparentColorIndex, 4);
}

TEST(GifOptimize, MergingNeverHidesAColourTheFrameShows) {
  TGIFPicture picture;
  AddFrame(picture, {1, 1, 1, 1, 1, 1}, 10);
  AddFrame(picture, {1, 3, 3, 3, 3, 3}, 10);
  AddFrame(picture, {0, 0, 0, 0, 0, 0}, 10, true, 3);  // shares nothing, but is transparent on 3
  picture.Optimize(OptMerge, ReduceNone, DitherNearest, 8);
  TGIFSubImage& second = picture.Images[1];
  ASSERT_TRUE(second.Transparent);
  // Colour 3 is shown by the frame, so another frame's transparent index 3 is not taken.
  EXPECT_NE(second.GraphicControlExtension->TransparentColorIndex, 3);
  EXPECT_EQ(second.Pixels(1, 0), 3);
}

TEST(GifOptimize, CleanupOfAOneFramePicture) {
  TGIFPicture picture;
  LoadBytes(picture, ReadFileBytes(GifFixturePath("comment_app.gif")));
  picture.Images.Delete(1);
  picture.Optimize(OptCleanup, ReduceNone, DitherNearest, 8);
  ASSERT_EQ(picture.Images.Count(), 1);
  EXPECT_EQ(picture.Images[0].Extensions.Count(), 0);
  EXPECT_EQ(SaveBytes(picture).substr(0, 6), "GIF87a");
}

TEST(GifOptimize, CleanupKeepsTheLoopOfAnAnimationAndWhatCarriesMeaning) {
  TGIFPicture picture;
  LoadBytes(picture, ReadFileBytes(GifFixturePath("comment_app.gif")));
  picture.Optimize(OptCleanup, ReduceNone, DitherNearest, 8);
  ASSERT_EQ(picture.Images.Count(), 2);
  TGIFSubImage& first = picture.Images[0];
  ASSERT_EQ(first.Extensions.Count(), 2);  // looping and graphic control (delay 20)
  EXPECT_NE(dynamic_cast<TGIFAppExtNSLoop*>(&first.Extensions[0]), nullptr);
  EXPECT_EQ(first.GraphicControlExtension->Delay, 20);
}

TEST(GifOptimize, CleanupDropsTransparencyThatIsNeverUsed) {
  TGIFPicture picture;
  AddFrame(picture, {1, 1, 1, 1, 1, 1}, 10, true, 3);
  AddFrame(picture, {2, 2, 2, 2, 2, 2}, 10);
  picture.Optimize(OptCleanup, ReduceNone, DitherNearest, 8);
  EXPECT_FALSE(picture.Images[0].Transparent);
}

TEST(GifOptimize, ColourMapsAreSortedByUse) {
  TGIFPicture picture;
  AddFrame(picture, {2, 2, 2, 1, 1, 2}, 10);
  picture.Header.BackgroundColorIndex = 2;
  picture.Optimize(OptColorMaps, ReduceNone, DitherNearest, 8);
  EXPECT_EQ(picture.Header.ColorMap.Count(), 2);
  EXPECT_EQ(picture.Header.BackgroundColorIndex, 0);
  EXPECT_EQ(picture.Header.ColorMap.Colors(0), clBlue);
  EXPECT_EQ(picture.Images[0].Pixels(0, 0), 0);
  EXPECT_EQ(picture.Images[0].Pixels(0, 1), 1);
}

TEST(GifOptimize, ACustomPaletteCannotReduceWithoutCleanup) {
  TGIFPicture picture;
  AddFrame(picture, {1, 1, 1, 1, 1, 1}, 10);
  try {
    picture.Optimize(OptReduceColors, ReduceCustomPalette, DitherNearest, 8);
    FAIL();
  } catch (const GIFException& error) {
    EXPECT_STREQ(error.what(), "Invalid reduction method");
  }
}

// --- every pass keeps what the animation shows ------------------------------------------

constexpr int kScreenWidth = 6;
constexpr int kScreenHeight = 5;
constexpr TColor kUnpainted = clFuchsia;  // the canvas before the first frame; no frame's
const TColor kColours[] = {clBlack, clRed, clBlue, clLime, clWhite, clYellow, clNavy, clGray};

// A random animation of a few frames on a small screen: random places, disposals and
// transparency, local tables now and then, and pixels that often repeat the frame before.
std::string RandomAnimation(std::mt19937& Random) {
  auto pick = [&](int Count) { return static_cast<int>(Random() % static_cast<unsigned>(Count)); };
  TGIFPicture picture;
  // Tables of distinct colours: ImageMagick mistakes a transparent colour repeated in the
  // table for an opaque one.
  auto table = [&](TGIFColorMap& Map, int Count) {
    std::vector<TColor> colours(std::begin(kColours), std::end(kColours));
    std::shuffle(colours.begin(), colours.end(), Random);
    for (int i = 0; i < Count; ++i) Map.Add(colours[static_cast<size_t>(i)]);
  };
  const int globals = 2 + pick(5);
  table(picture.Header.ColorMap, globals);
  const int frames = 2 + pick(4);
  std::vector<std::uint8_t> screen(kScreenWidth * kScreenHeight, 0);
  for (int f = 0; f < frames; ++f) {
    auto frame = std::make_unique<TGIFSubImage>(&picture);
    const int left = pick(kScreenWidth - 1), top = pick(kScreenHeight - 1);
    const int width = 1 + pick(kScreenWidth - left), height = 1 + pick(kScreenHeight - top);
    frame->SetBounds(left, top, width, height);
    int colours_in_use = globals;
    if (pick(5) == 0) {
      colours_in_use = 2 + pick(4);
      table(frame->ColorMap, colours_in_use);
    }
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        std::uint8_t& seen = screen[(top + y) * kScreenWidth + left + x];
        if (pick(2) == 0 || seen >= colours_in_use)
          seen = static_cast<std::uint8_t>(pick(colours_in_use));
        frame->SetPixels(x, y, seen);
      }
    }
    auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
    // 0 shows for the default delay, 1 and 2 for the minimum.
    gce->Delay = static_cast<std::uint16_t>(pick(6));
    gce->SetDisposal(static_cast<TGIFDisposalMethod>(pick(4)));
    gce->TransparentColorIndex = static_cast<std::uint8_t>(pick(colours_in_use));
    TGIFGraphicControlExtension* control = gce.get();
    frame->Extensions.Add(std::move(gce));
    if (pick(5) < 2) control->SetTransparent(true);
    picture.Add(std::move(frame));
  }
  picture.Header.Width = kScreenWidth;
  picture.Header.Height = kScreenHeight;
  picture.Header.BackgroundColorIndex = static_cast<std::uint8_t>(pick(globals));
  return SaveBytes(picture);
}

char Letter(TColor Colour) {
  if (Colour == kUnpainted) return '.';
  const auto* at = std::find(std::begin(kColours), std::end(kColours), Colour);
  return at == std::end(kColours) ? '?' : static_cast<char>('a' + (at - kColours));
}

// What the painter shows, frame after frame: the screen's pixels as letters (a colour's
// place among kColours, '.' unpainted), a row to a word, and for how many delay units
// they stay on its clock, the last frame's until the animation starts again. A frame
// that shows the same as the one before only lengthens it.
std::string Played(TGIFPicture& Picture) {
  TFakeClock clock;
  TBitmap target;
  target.SetSize(kScreenWidth, kScreenHeight);
  target.Canvas().Brush().SetColor(kUnpainted);
  target.Canvas().FillRect(Bounds(0, 0, kScreenWidth, kScreenHeight));
  std::string shown, last;
  std::int64_t last_since = 0;
  int paints = 0;
  auto screen = [&] {
    std::string now;
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) now += Letter(target.Canvas().Pixels(x, y));
      now += ' ';
    }
    return now;
  };
  auto stayed = [&] { return std::to_string((clock.Now() - last_since) / DelayUnitMs); };
  Picture.Clock = &clock;
  Picture.OnFramePainted = [&](TGIFPainter* Painter) {
    if (++paints > Picture.Images.Count()) {  // the first frame again: the round is over
      Painter->Stop();
      return;
    }
    std::string now = screen();
    if (now == last) return;
    if (!last.empty()) shown += last + stayed() + "\n";
    last = std::move(now);
    last_since = clock.Now();
  };
  Picture.DrawOptions = dfTransparent | dfAnimate | dfDirect | dfLoop | dfLoopForever;
  Picture.Draw(target.Canvas(), Bounds(0, 0, kScreenWidth, kScreenHeight));
  Picture.OnFramePainted = nullptr;
  Picture.Clock = nullptr;
  // One picture all the time is still, however long it is said to stay; it is drawn
  // without a painter.
  if (Picture.Images.Count() == 1) return screen();
  return shown.empty() ? last : shown + last + stayed();
}

// The delay units a frame of delay Units is shown for by a player: none is the default,
// and none is shorter than the minimum.
int ShownUnits(int Units) {
  return Units == 0 ? DefaultFrameDelay : std::max(Units, MinimumFrameDelay);
}

// ImageMagick's coalesced frames as letters with the time they are shown, identical
// frames joined. Screen that no frame covered is the Background colour, whether
// ImageMagick makes it transparent (of any colour) or not.
std::string Coalesced(const std::string& Bytes, const std::string& Name, TColor Background) {
  const std::string gif = WriteScratchFile(Name + ".gif", Bytes);
  char colour[8];
  std::snprintf(colour, sizeof colour, "#%02X%02X%02X", Background & 0xFF, (Background >> 8) & 0xFF,
                (Background >> 16) & 0xFF);
  const std::string command = "/usr/bin/convert '" + gif +
                              "' -coalesce -format '%T\\n' -write info:- -background '" + colour +
                              "' -alpha remove -depth 8 rgb:- 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  std::remove(gif.c_str());
  // The delays come first, one a line, then the frames' pixels.
  std::vector<int> delays;
  size_t at = 0;
  for (size_t end; (end = out.find('\n', at)) != std::string::npos && end - at < 6 &&
                   out.substr(at, end - at).find_first_not_of("0123456789") == std::string::npos;
       at = end + 1) {
    delays.push_back(ShownUnits(std::stoi(out.substr(at, end - at))));
  }
  const size_t frame_bytes = kScreenWidth * kScreenHeight * 3;
  if (delays.empty() || out.size() - at != delays.size() * frame_bytes) return "unreadable";
  std::string joined, last;
  int last_delay = 0;
  for (size_t f = 0; f < delays.size(); ++f) {
    std::string pixels;
    for (size_t p = 0; p < frame_bytes; p += 3) {
      const auto* rgb =
          reinterpret_cast<const unsigned char*>(out.data() + at + f * frame_bytes + p);
      const TColor colour = static_cast<TColor>(rgb[0] | (rgb[1] << 8) | (rgb[2] << 16));
      pixels += Letter(colour);
      if ((p / 3 + 1) % kScreenWidth == 0) pixels += ' ';
    }
    if (f > 0 && pixels == last) {
      last_delay += delays[f];
      continue;
    }
    if (f > 0) joined += last + std::to_string(last_delay) + "\n";
    last = pixels;
    last_delay = delays[f];
  }
  return joined + last + std::to_string(last_delay);
}

// Each pass alone and all of them together, on a few hundred random animations: the
// painter shows the same pictures for the same times before and after; on a share of
// them ImageMagick's coalescing agrees too.
TEST(GifOptimize, EveryPassKeepsWhatTheAnimationShows) {
  const bool magick = std::system("test -x /usr/bin/convert") == 0;
  std::mt19937 random(51);
  const TGIFOptimizeOptions passes[] = {OptColorMaps,
                                        OptCleanup,
                                        OptMerge,
                                        OptCrop,
                                        OptMerge | OptCrop | OptCleanup,
                                        OptColorMaps | OptCleanup | OptMerge | OptCrop};
  for (int n = 0; n < 300; ++n) {
    const std::string original = RandomAnimation(random);
    TGIFPicture before;
    LoadBytes(before, original);
    const std::string expected = Played(before);
    // ImageMagick now and then shows a transparent pixel of a frame disposed to previous,
    // or of a frame with a table of its own, in another colour; and it carries a graphic
    // control block's delay and disposal on to a later frame without one, which the
    // cleanup makes of a frame of delay 0. It is asked about the other animations.
    bool ask_magick = magick && n % 4 == 0;
    for (int f = 0; f < before.Images.Count(); ++f) {
      const auto* gce = before.Images[f].GraphicControlExtension;
      if (before.Images[f].ColorMap.Count() > 0 ||
          (gce && (gce->Disposal() == DisposePrevious || (f > 0 && gce->Delay == 0))))
        ask_magick = false;
    }
    const TColor background = before.Header.ColorMap.Colors(before.Header.BackgroundColorIndex);
    const std::string expected_magick = ask_magick ? Coalesced(original, "before", background) : "";
    for (TGIFOptimizeOptions pass : passes) {
      SCOPED_TRACE("animation " + std::to_string(n) + ", passes " + std::to_string(pass));
      TGIFPicture after;
      LoadBytes(after, original);
      after.Optimize(pass, ReduceNone, DitherNearest, 8);
      const std::string optimized = SaveBytes(after);
      TGIFPicture reloaded;
      LoadBytes(reloaded, optimized);
      ASSERT_EQ(Played(reloaded), expected);
      if (ask_magick) {
        ASSERT_EQ(Coalesced(optimized, "after", background), expected_magick);
      }
    }
  }
}

}  // namespace

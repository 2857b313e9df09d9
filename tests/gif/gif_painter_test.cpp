// The animation painter on a clock the tests drive: delays, loops, disposal, events,
// stopping, and errors reported on the GUI thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "gif/gif_painter.h"
#include "gif/gif_settings.h"
#include "gif_test_support.h"
#include "platform/sys/application.h"

namespace {

struct TFrameSpec {
  TRect Bounds;
  int Color;  // index in the global table: 0 black, 1 red, 2 blue, 3 lime
  int Delay = 0;
  TGIFDisposalMethod Disposal = DisposeUnspecified;
};

void MakeAnimation(TGIFPicture& Picture, const std::vector<TFrameSpec>& Frames, int Loops = -1) {
  for (TColor c : {clBlack, clRed, clBlue, clLime}) Picture.Header.ColorMap.Add(c);
  for (const TFrameSpec& spec : Frames) {
    auto frame = std::make_unique<TGIFSubImage>(&Picture);
    frame->SetBounds(spec.Bounds.Left, spec.Bounds.Top, spec.Bounds.Width(), spec.Bounds.Height());
    for (int y = 0; y < frame->Height(); ++y)
      for (int x = 0; x < frame->Width(); ++x)
        frame->SetPixels(x, y, static_cast<std::uint8_t>(spec.Color));
    if (Loops >= 0 && Picture.Images.Count() == 0) {
      auto loop = std::make_unique<TGIFAppExtNSLoop>(frame.get());
      loop->Loops = static_cast<std::uint16_t>(Loops);
      frame->Extensions.Add(std::move(loop));
    }
    auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
    gce->Delay = static_cast<std::uint16_t>(spec.Delay);
    gce->SetDisposal(spec.Disposal);
    frame->Extensions.Add(std::move(gce));
    Picture.Add(std::move(frame));
  }
}

void Fill(TBitmap& Bitmap, int Width, int Height, TColor Color) {
  Bitmap.SetSize(Width, Height);
  Bitmap.Canvas().Brush().SetColor(Color);
  Bitmap.Canvas().FillRect(Bounds(0, 0, Width, Height));
}

void WaitUntilDone(TGIFPainter& Painter) {
  while (!Painter.Done()) {
    TThread::CheckSynchronize();
    std::this_thread::yield();
  }
}

class GifPainter : public ::testing::Test {
 protected:
  GifPainter() {
    picture.Clock = &clock;
    Fill(target, 4, 4, clWhite);
    picture.OnFramePainted = [this](TGIFPainter* p) { painted.push_back(p->ActiveImage); };
  }
  void DrawInline(TGIFDrawOptions Options) {
    picture.DrawOptions = Options | dfDirect;
    picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  }
  TFakeClock clock;
  TGIFPicture picture;
  TBitmap target;
  std::vector<int> painted;
};

TEST_F(GifPainter, DelaysInsideTheDrawCall) {
  // Delay 1 counts as 3 units, 0 as the default 10; 12 ms a unit; sleeps of 100 ms at most.
  MakeAnimation(
      picture,
      {{Bounds(0, 0, 4, 4), 1, 1}, {Bounds(0, 0, 4, 4), 2, 0}, {Bounds(0, 0, 4, 4), 3, 0}});
  DrawInline(dfAnimate);
  EXPECT_EQ(clock.Sleeps, (std::vector<int>{12, 36, 100, 20}));
  EXPECT_EQ(painted, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clLime);
}

TEST_F(GifPainter, AnimationSpeedScalesTheDelays) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 10}, {Bounds(0, 0, 4, 4), 2, 10}});
  picture.AnimationSpeed = 200;
  DrawInline(dfAnimate);
  EXPECT_EQ(clock.Sleeps, (std::vector<int>{6, 60}));
}

TEST_F(GifPainter, LoopCounts) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 5}, {Bounds(0, 0, 4, 4), 2, 5}}, 2);
  int restarts = 0, ends = 0;
  picture.OnLoopRestart = [&](TGIFPainter*) { ++restarts; };
  picture.OnPaintEnd = [&](TGIFPainter*) { ++ends; };
  DrawInline(dfAnimate | dfLoop);
  EXPECT_EQ(painted, (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(restarts, 1);
  EXPECT_EQ(ends, 1);
}

TEST_F(GifPainter, WithoutALoopBlockOrInsideTheDrawCallTheFramesPlayOnce) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1}, {Bounds(0, 0, 4, 4), 2}});
  DrawInline(dfAnimate | dfLoop);
  EXPECT_EQ(painted, (std::vector<int>{0, 1}));
  TGIFPicture endless;
  endless.Clock = &clock;
  MakeAnimation(endless, {{Bounds(0, 0, 4, 4), 1}, {Bounds(0, 0, 4, 4), 2}}, 0);
  int frames = 0;
  endless.OnFramePainted = [&](TGIFPainter*) { ++frames; };
  endless.DrawOptions = dfAnimate | dfLoop | dfDirect;
  endless.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  EXPECT_EQ(frames, 2);
}

TEST_F(GifPainter, AThreadedPainterLoopsUntilStopped) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 5}, {Bounds(0, 0, 4, 4), 2, 5}}, 0);
  picture.OnFramePainted = [this](TGIFPainter* p) {
    painted.push_back(p->ActiveImage);
    if (painted.size() == 7) p->Stop();
  };
  picture.DrawOptions = dfThreaded | dfAnimate | dfLoop | dfDirect;
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  TGIFPainter* painter = picture.Painter();
  ASSERT_NE(painter, nullptr);
  WaitUntilDone(*painter);
  EXPECT_EQ(painted, (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
  // The first frame is painted at once; every later one waits its delay.
  EXPECT_EQ(clock.Waits, (std::vector<int>{60, 60, 60, 60, 60, 60}));
}

// The nice values of the program's threads, as the system keeps them.
std::vector<int> ThreadNiceValues() {
  std::vector<int> values;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream file(task.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 0; i <= 16 && fields >> field; ++i) {
      if (i == 16) values.push_back(std::stoi(field));  // the 19th field of the line
    }
  }
  return values;
}

// A handler slower than the delays: each frame is late, shown at once, and the
// animation goes on; the painter's thread runs at the picture's priority.
TEST_F(GifPainter, FramesLateAfterASlowHandlerFollowAtOnce) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 3}, {Bounds(0, 0, 4, 4), 2, 3}}, 0);
  picture.ThreadPriority = static_cast<int>(TThreadPriority::Lowest);
  std::vector<int> nice;
  picture.OnFramePainted = [&](TGIFPainter* p) {
    painted.push_back(p->ActiveImage);
    clock.Advance(80);
    if (nice.empty()) nice = ThreadNiceValues();
    if (painted.size() == 6) p->Stop();
  };
  picture.DrawOptions = dfThreaded | dfAnimate | dfLoop | dfDirect;
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  TGIFPainter* painter = picture.Painter();
  ASSERT_NE(painter, nullptr);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!painter->Done() && std::chrono::steady_clock::now() < deadline) {
    TThread::CheckSynchronize();
    std::this_thread::yield();
  }
  const bool ended = painter->Done();
  picture.StopDraw();
  ASSERT_TRUE(ended) << "stuck after " << painted.size() << " frames";
  EXPECT_EQ(painted, (std::vector<int>{0, 1, 0, 1, 0, 1}));
  EXPECT_TRUE(clock.Waits.empty());
  EXPECT_NE(std::find(nice.begin(), nice.end(), 10), nice.end());
}

// A canvas with nowhere to draw: with dfCheckCanvas the painter ends instead of painting.
TEST_F(GifPainter, APainterCheckingItsCanvasEndsWhenItHasNone) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1}, {Bounds(0, 0, 4, 4), 2}});
  TCanvas nowhere;
  picture.DrawOptions = dfAnimate | dfDirect | dfCheckCanvas;
  picture.Draw(nowhere, Bounds(0, 0, 4, 4));
  EXPECT_TRUE(painted.empty());
  DrawInline(dfAnimate | dfCheckCanvas);
  EXPECT_EQ(painted, (std::vector<int>{0, 1}));
}

TEST_F(GifPainter, AHandlerChoosesTheNextFrame) {
  MakeAnimation(picture,
                {{Bounds(0, 0, 4, 4), 1}, {Bounds(0, 0, 4, 4), 2}, {Bounds(0, 0, 4, 4), 3}});
  picture.OnFramePainted = [this](TGIFPainter* p) {
    painted.push_back(p->ActiveImage);
    if (p->ActiveImage == 0) p->ActiveImage = 2;
  };
  DrawInline(dfAnimate);
  EXPECT_EQ(painted, (std::vector<int>{0, 2}));
}

TEST_F(GifPainter, DisposalToBackground) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 0, DisposeKeep},
                          {Bounds(0, 0, 2, 2), 2, 0, DisposeBackground},
                          {Bounds(2, 2, 2, 2), 3}});
  picture.BackgroundColor = clYellow;
  std::vector<TColor> corner;
  picture.OnFramePainted = [&](TGIFPainter*) { corner.push_back(target.Canvas().Pixels(0, 0)); };
  DrawInline(dfAnimate);
  // The blue frame shows; once the next frame is painted its area is background again.
  EXPECT_EQ(corner, (std::vector<TColor>{clRed, clBlue, clYellow}));
  EXPECT_EQ(target.Canvas().Pixels(2, 0), clRed);
  EXPECT_EQ(target.Canvas().Pixels(3, 3), clLime);
}

TEST_F(GifPainter, DisposalToPreviousAfterKeepDrawsStraightOnTheCanvas) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 0, DisposeKeep},
                          {Bounds(0, 0, 2, 2), 2, 0, DisposePrevious},
                          {Bounds(3, 3, 1, 1), 3}});
  std::vector<TColor> corner;
  picture.OnFramePainted = [&](TGIFPainter*) { corner.push_back(target.Canvas().Pixels(0, 0)); };
  DrawInline(dfAnimate);
  // The blue frame shows, then the frame before it comes back.
  EXPECT_EQ(corner, (std::vector<TColor>{clRed, clBlue, clRed}));
  EXPECT_EQ(target.Canvas().Pixels(3, 3), clLime);
}

TEST_F(GifPainter, DrawingAgainIntoTheSameRectangleKeepsThePainter) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 5}, {Bounds(0, 0, 4, 4), 2, 5}}, 0);
  picture.DrawOptions = dfThreaded | dfAnimate | dfLoop | dfDirect;
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  TGIFPainter* first = picture.Painter();
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  EXPECT_EQ(picture.Painter(), first);
  picture.Draw(target.Canvas(), Bounds(0, 0, 2, 2));
  ASSERT_NE(picture.Painter(), nullptr);  // a new painter (it may reuse the old one's memory)
  EXPECT_EQ(picture.Painter()->Rect(), Bounds(0, 0, 2, 2));
  picture.StopDraw();
  EXPECT_EQ(picture.Painter(), nullptr);
}

TEST_F(GifPainter, StoppingEndsALongDelayAtOnce) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 60000}, {Bounds(0, 0, 4, 4), 2}});
  picture.Clock = nullptr;  // the real clock: a ten-minute delay
  picture.DrawOptions = dfThreaded | dfAnimate | dfDirect;
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  TGIFPainter* painter = picture.Painter();
  ASSERT_NE(painter, nullptr);
  while (!painter->Started()) TThread::CheckSynchronize();
  picture.StopDraw();  // returns only when the thread has ended
  EXPECT_EQ(picture.Painter(), nullptr);
  EXPECT_LE(painted.size(), 1u);
}

TEST_F(GifPainter, AddingAFrameEndsTheRunningAnimationFirst) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 5}, {Bounds(0, 0, 4, 4), 2, 5}}, 0);
  picture.DrawOptions = dfThreaded | dfAnimate | dfLoop | dfDirect;
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  TGIFPainter* painter = picture.Painter();
  ASSERT_NE(painter, nullptr);
  while (!painter->Started()) TThread::CheckSynchronize();
  TBitmap frame;
  frame.SetSize(4, 4);
  EXPECT_EQ(picture.Add(frame), 2);
  EXPECT_EQ(picture.Painter(), nullptr);
  EXPECT_EQ(picture.Images.Count(), 3);
}

TEST_F(GifPainter, AnAnimationComposedInTheCachedBitmap) {
  // On the fake clock every delay passes at once, and Draw, serving the painter until the
  // first frame is in, may serve the second one's paint too. At speed 0 the painter
  // holds before the second frame until it is stopped.
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1, 1000}, {Bounds(0, 0, 4, 4), 2, 1000}}, 0);
  picture.AnimationSpeed = 0;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.DrawOptions = dfThreaded | dfAnimate | dfLoop;
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  // Draw returns once the first frame is in the cached bitmap, and shows it.
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clRed);
  EXPECT_GE(changes, 1);
  picture.StopAnimation();
}

TEST_F(GifPainter, AnErrorIsReportedOnTheGuiThread) {
  MakeAnimation(picture, {{Bounds(0, 0, 4, 4), 1}, {Bounds(0, 0, 4, 4), 2}});
  std::vector<std::string> reported;
  Application->OnException = [&](const std::exception& error) {
    EXPECT_NE(dynamic_cast<const GIFException*>(&error), nullptr);
    reported.push_back(error.what());
  };
  picture.OnFramePaint = [](TGIFPainter*) { throw GIFException("boom"); };
  DrawInline(dfAnimate);
  EXPECT_EQ(reported, std::vector<std::string>{"boom"});

  reported.clear();
  picture.DrawOptions = dfThreaded | dfAnimate | dfDirect;
  picture.Draw(target.Canvas(), Bounds(0, 0, 4, 4));
  TGIFPainter* painter = picture.Painter();
  ASSERT_NE(painter, nullptr);
  WaitUntilDone(*painter);
  EXPECT_EQ(painter->ErrorMessage(), "boom");
  picture.StopAnimation();
  EXPECT_EQ(reported, std::vector<std::string>{"boom"});
  Application->OnException = nullptr;
}

}  // namespace

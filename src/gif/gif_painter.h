// TGIFPainter plays an animated picture onto a canvas: it walks the frames, waits each
// frame's delay, applies the disposal methods, honours the loop count and raises the
// picture's painter events.
//
// With dfThreaded it is a thread of its own; every paint and every event runs on the
// GUI thread through Synchronize. Without it the same loop runs inside the draw call and
// keeps the event loop alive while it waits. Time comes from a TGIFClock, so tests can
// run animations on a clock of their own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "gif/gif_picture.h"
#include "platform/sys/thread.h"

// Auto-reset event: Set wakes one wait, or the next one.
class TGIFEvent {
 public:
  void Set();
  // Waits up to Milliseconds (negative: without limit); true when the event was set.
  bool WaitFor(int Milliseconds);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

class TGIFClock {
 public:
  virtual ~TGIFClock() = default;
  // Milliseconds on a monotonic scale.
  virtual std::int64_t Now() = 0;
  // Sleeps Milliseconds (the painter inside the draw call).
  virtual void Sleep(int Milliseconds) = 0;
  // Waits on Event up to Milliseconds (negative: until set); true when it was set.
  virtual bool Wait(TGIFEvent& Event, int Milliseconds) = 0;
};

// The system's monotonic clock.
TGIFClock& SystemGIFClock();

class TGIFPainter : public TThread {
 public:
  TGIFPainter(TGIFPicture& Image, TCanvas& Canvas, const TRect& Rect, TGIFDrawOptions Options);
  ~TGIFPainter() override;

  // The animation loop; a threaded painter runs it through Start.
  void Execute() override;
  // Ends the animation soon, also from a long delay.
  void Stop();

  TCanvas* Canvas() const { return canvas_; }
  const TRect& Rect() const { return rect_; }
  TGIFDrawOptions DrawOptions() const { return options_; }
  bool Threaded() const { return (options_ & dfThreaded) != 0; }
  // The first frame has been painted.
  bool Started() const { return started_; }
  // Execute has returned (or is about to).
  bool Done() const { return done_; }
  // The message of the error that ended the animation; empty when none did.
  const std::string& ErrorMessage() const { return error_message_; }

  // Frame being shown; -1 when not painting. An OnFramePainted handler may set it to
  // choose the next frame.
  int ActiveImage = -1;
  TGIFDisposalMethod Disposal = DisposeUnspecified;
  TGIFDisposalMethod PreviousDisposal = DisposeUnspecified;
  int AnimationSpeed = 100;  // per cent, copied from the picture
  TColor BackgroundColor = clWhite;

  TGIFPainterEvent OnPaintStart;
  TGIFPainterEvent OnFramePaint;
  TGIFPainterEvent OnFramePainted;
  TGIFPainterEvent OnLoopRestart;
  TGIFPainterEvent OnPaintEnd;

 private:
  void Animate();
  void WaitForFrame(TGIFSubImage& Frame, int PendingDelay, std::int64_t& TimeMark, int& Lag);
  void RaiseEvent(const TGIFPainterEvent& Event);
  // Runs Method on the GUI thread; an exception it raises comes back to the painter.
  void DoSynchronize(const std::function<void()>& Method);
  void PaintFrame();
  bool CanvasGone() const;
  void DrawFrame(TGIFSubImage& Frame, TCanvas& Target, const TRect& TargetRect);
  void RestoreBackground(TGIFSubImage& Frame);
  void Unhook();

  TGIFPicture* image_;
  TCanvas* canvas_;
  const TRect rect_;
  const TGIFDrawOptions options_;
  TGIFClock& clock_;
  std::unique_ptr<TBitmap> buffer_;
  std::unique_ptr<TBitmap> previous_buffer_;
  std::unique_ptr<TBitmap> background_;
  std::unique_ptr<TGIFEvent> event_;
  std::atomic<bool> started_{false};
  std::atomic<bool> done_{false};
  std::string error_message_;
  const void* canvas_handle_ = nullptr;  // what the canvas drew on at the start
};

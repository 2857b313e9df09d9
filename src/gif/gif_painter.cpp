#include "gif/gif_painter.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

#include "gif/gif_settings.h"
#include "platform/sys/application.h"

// --- event and clock ------------------------------------------------------------------------

void TGIFEvent::Set() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
  }
  changed_.notify_all();
}

bool TGIFEvent::WaitFor(int Milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (Milliseconds < 0)
    changed_.wait(lock, [this] { return set_; });
  else
    changed_.wait_for(lock, std::chrono::milliseconds(Milliseconds), [this] { return set_; });
  return std::exchange(set_, false);
}

namespace {

class TSystemGIFClock : public TGIFClock {
 public:
  std::int64_t Now() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void Sleep(int Milliseconds) override { TThread::Sleep(static_cast<unsigned>(Milliseconds)); }
  bool Wait(TGIFEvent& Event, int Milliseconds) override { return Event.WaitFor(Milliseconds); }
};

constexpr int kNonThreadedSleepStepMs = 100;

// Whether a frame keeps its rendering from one loop to the next: a map of two 4096 x 4096
// frames held both renderings beside the picture's own composite and the map, 330 MB for
// a file of 23 KB.
bool KeepsRendering(const TGIFSubImage& Frame) {
  return static_cast<long long>(Frame.Width()) * Frame.Height() <= MaximumRenderedFramePixels;
}

bool DisposesTo(const TGIFPicture& Image, TGIFDisposalMethod Method) {
  for (int i = 0; i < Image.Images.Count(); ++i)
    if (const auto* gce = Image.Images[i].GraphicControlExtension; gce && gce->Disposal() == Method)
      return true;
  return false;
}

std::unique_ptr<TBitmap> CopyOfCanvas(TCanvas& Canvas, const TRect& Rect) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(Rect.Width(), Rect.Height());
  bitmap->Canvas().CopyRect(Bounds(0, 0, Rect.Width(), Rect.Height()), Canvas, Rect);
  return bitmap;
}

}  // namespace

TGIFClock& SystemGIFClock() {
  static TSystemGIFClock clock;
  return clock;
}

// --- painter ------------------------------------------------------------------------------------

TGIFPainter::TGIFPainter(TGIFPicture& Image, TCanvas& Canvas, const TRect& Rect,
                         TGIFDrawOptions Options)
    : OnPaintStart(Image.OnPaintStart),
      OnFramePaint(Image.OnFramePaint),
      OnFramePainted(Image.OnFramePainted),
      OnLoopRestart(Image.OnLoopRestart),
      OnPaintEnd(Image.OnPaintEnd),
      image_(&Image),
      canvas_(&Canvas),
      rect_(Rect),
      options_(Options),
      clock_(Image.Clock ? *Image.Clock : SystemGIFClock()) {
  AnimationSpeed = Image.AnimationSpeed;
  if (Image.BackgroundColor != clNone)
    BackgroundColor = ColorToRGB(Image.BackgroundColor);
  else if (Image.Header.ColorMap.Count() > 0)
    BackgroundColor = Image.Header.ColorMap.Colors(Image.Header.BackgroundColorIndex);
  else
    BackgroundColor = ColorToRGB(clWindow);

  const bool to_background = (options_ & dfClearFirst) || DisposesTo(Image, DisposeBackground);
  const bool to_previous = DisposesTo(Image, DisposePrevious);
  if (to_background && (options_ & dfTransparent)) background_ = CopyOfCanvas(Canvas, Rect);
  if (to_background || to_previous) {
    buffer_ = CopyOfCanvas(Canvas, Rect);
    buffer_->Canvas().Brush().SetColor(BackgroundColor);
    buffer_->Canvas().Brush().SetStyle(bsSolid);
  }
  if ((options_ & dfThreaded) && (options_ & dfAnimate) && Image.Images.Count() >= 2 &&
      AnimationSpeed >= 0)
    event_ = std::make_unique<TGIFEvent>();
}

TGIFPainter::~TGIFPainter() {
  Stop();
  WaitFor();
}

void TGIFPainter::Stop() {
  Terminate();
  if (event_) {
    event_->Set();
    SetPriority(TThreadPriority::Normal);  // a starved painter ends soon too
  }
}

void TGIFPainter::Execute() {
  try {
    Animate();
  } catch (const std::exception& error) {
    // The error ends the animation and is reported on the GUI thread, never from a
    // destructor.
    error_message_ = error.what();
    const std::string message = error_message_;
    TThread::Synchronize([message] { throw GIFException(message); });
  }
  ActiveImage = -1;
  if (error_message_.empty()) RaiseEvent(OnPaintEnd);
  Unhook();
}

void TGIFPainter::Unhook() {
  TGIFPainter* self = this;
  image_->painter_.compare_exchange_strong(self, nullptr);
  done_ = true;
}

void TGIFPainter::RaiseEvent(const TGIFPainterEvent& Event) {
  if (Event) DoSynchronize([this, &Event] { Event(this); });
}

void TGIFPainter::DoSynchronize(const std::function<void()>& Method) {
  if (Terminated()) return;
  if (!Threaded()) {
    Method();
    return;
  }
  std::exception_ptr failure;
  TThread::Synchronize([&] {
    try {
      Method();
    } catch (...) {
      failure = std::current_exception();
    }
  });
  if (failure) std::rethrow_exception(failure);
}

void TGIFPainter::Animate() {
  TGIFPicture& image = *image_;
  if (options_ & dfCheckCanvas) canvas_handle_ = canvas_->Handle();
  ActiveImage = 0;
  RaiseEvent(OnPaintStart);
  started_ = false;
  int loops_left = 1;
  int first_of_loop = 0;
  bool loop_seen = false;
  int pending_delay = Threaded() ? 0 : 1;
  PreviousDisposal = DisposeKeep;
  std::int64_t time_mark = clock_.Now();
  int lag = 0;
  do {
    ActiveImage = first_of_loop;
    if (started_) RaiseEvent(OnLoopRestart);
    while ((options_ & dfAnimate) && !Terminated() && ActiveImage >= 0 &&
           ActiveImage < image.Images.Count() && !image.Images[ActiveImage].Empty()) {
      TGIFSubImage& frame = image.Images[ActiveImage];
      WaitForFrame(frame, pending_delay, time_mark, lag);
      if (Terminated()) break;
      RaiseEvent(OnFramePaint);
      if (Terminated()) break;

      Disposal = DisposeKeep;
      for (int i = 0; i < frame.Extensions.Count(); ++i) {
        TGIFExtension& extension = frame.Extensions[i];
        if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(&extension); loop && !loop_seen) {
          loop_seen = true;
          const bool endless = loop->Loops == 0 || (options_ & dfLoopForever);
          loops_left = endless && Threaded() ? -1 : loop->Loops;
          first_of_loop = ActiveImage;
        } else if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(&extension)) {
          Disposal = gce->Disposal();
        }
      }
      DoSynchronize([this, &frame] {
        if (CanvasGone()) {
          Terminate();
          return;
        }
        if (buffer_)
          PaintFrame();
        else
          DrawFrame(frame, *canvas_, rect_);
        if (!KeepsRendering(frame)) frame.FreeBitmap();
        started_ = true;
        if (!(options_ & dfDirect)) image_->Changed();
      });
      PreviousDisposal = Disposal;
      if (Terminated()) break;

      pending_delay = frame.ShownDelay();
      if (!Threaded()) pending_delay = std::min(pending_delay, MaximumFrameDelay);
      const int painted = ActiveImage;
      RaiseEvent(OnFramePainted);
      if (Terminated()) break;
      if (ActiveImage == painted) ++ActiveImage;
    }
    if (loops_left > 0) --loops_left;
  } while ((options_ & dfAnimate) && (options_ & dfLoop) &&
           (loops_left != 0 || (options_ & dfLoopForever)) && !Terminated());
}

void TGIFPainter::WaitForFrame(TGIFSubImage& Frame, int PendingDelay, std::int64_t& TimeMark,
                               int& Lag) {
  if (PendingDelay < 1) {
    std::this_thread::yield();
    return;
  }
  if (KeepsRendering(Frame)) DoSynchronize([&Frame] { Frame.Bitmap(); });
  const std::int64_t now = clock_.Now();
  int wait = 0;
  if (AnimationSpeed < 1) {
    wait = Threaded() ? -1 : MaximumFrameDelay * DelayUnitMs;
  } else {
    // Half of the time lost since the last frame is taken off this delay.
    Lag = (static_cast<int>(now - TimeMark) - Lag) / 2;
    wait = MulDiv(PendingDelay * DelayUnitMs - Lag, 100, AnimationSpeed);
    Lag = wait;
    TimeMark = now;
  }
  if (!Threaded()) {
    wait = std::max(wait, 1);
    while (wait > 0 && !Terminated()) {
      const std::int64_t before = clock_.Now();
      clock_.Sleep(std::min(wait, kNonThreadedSleepStepMs));
      wait -= static_cast<int>(std::max<std::int64_t>(clock_.Now() - before, 1));
      if (!Application) continue;
      Application->ProcessMessages();
      if (Application->Terminated()) Terminate();
    }
    return;
  }
  // A speed of 0 waits without limit (-1), until the painter is stopped. A frame late by
  // more than its delay is due now: its wait, below 0, is no wait at all.
  const bool endless = AnimationSpeed < 1;
  if ((wait > 0 || endless) && event_ && clock_.Wait(*event_, endless ? -1 : wait)) {
    Lag = 0;
    TimeMark = clock_.Now();
  }
}

// With dfCheckCanvas the painter ends once its canvas draws on something else or nothing:
// the paint or the bitmap it was started on is gone.
bool TGIFPainter::CanvasGone() const {
  return (options_ & dfCheckCanvas) && (!canvas_handle_ || canvas_->Handle() != canvas_handle_);
}

void TGIFPainter::DrawFrame(TGIFSubImage& Frame, TCanvas& Target, const TRect& TargetRect) {
  Frame.Draw(Target, TargetRect, (options_ & dfTransparent) != 0, (options_ & dfTile) != 0);
}

void TGIFPainter::PaintFrame() {
  TGIFSubImage& frame = image_->Images[ActiveImage];
  const TRect area = Bounds(0, 0, rect_.Width(), rect_.Height());
  const bool clear_first = (options_ & dfClearFirst) && ActiveImage == 0;
  TBitmap* target = buffer_.get();
  bool restore_after = false;
  switch (Disposal) {
    case DisposeBackground:
      restore_after = true;
      break;
    case DisposePrevious:
      if (PreviousDisposal < DisposeBackground) {
        target = nullptr;  // straight onto the canvas: the buffer keeps the previous state
      } else {
        // Made when first needed: most animations never restore a previous picture, and
        // this is one more copy of the whole picture.
        if (!previous_buffer_)
          previous_buffer_ = CopyOfCanvas(buffer_->Canvas(), area);
        else
          previous_buffer_->Canvas().CopyRect(area, buffer_->Canvas(), area);
        target = previous_buffer_.get();
      }
      break;
    default:
      break;
  }
  if (clear_first) RestoreBackground(frame);
  if (target) {
    DrawFrame(frame, target->Canvas(), area);
    canvas_->CopyRect(rect_, target->Canvas(), area);
  } else {
    DrawFrame(frame, *canvas_, rect_);
  }
  if (restore_after) RestoreBackground(frame);
}

void TGIFPainter::RestoreBackground(TGIFSubImage& Frame) {
  const TRect area = Bounds(0, 0, rect_.Width(), rect_.Height());
  const TRect frame_area = Frame.ScaleRect(area);
  TCanvas& canvas = buffer_->Canvas();
  auto restore = [&](const TRect& r) {
    if (background_)
      canvas.CopyRect(r, background_->Canvas(), r);
    else
      canvas.FillRect(r);
  };
  const int picture_width = image_->Width();
  const int picture_height = image_->Height();
  const bool tiled =
      (options_ & dfTile) && (Frame.Width() < picture_width || Frame.Height() < picture_height);
  if (!tiled) {
    restore(frame_area);
    return;
  }
  for (int x = Frame.Left(); x < area.Right; x += picture_width)
    for (int y = Frame.Top(); y < area.Bottom; y += picture_height)
      restore(Bounds(x, y, Frame.Width(), Frame.Height()));
}

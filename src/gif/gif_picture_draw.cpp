// Drawing a picture: still pictures draw their shown frame; animated ones start a
// painter that composes the frames into the cached bitmap (or straight onto the canvas
// with dfDirect).
#include <algorithm>
#include <thread>

#include "gif/gif_color_reduction.h"
#include "gif/gif_painter.h"
#include "gif/gif_picture.h"

namespace {

// Clears a flag when the scope ends, also by an exception.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& Flag) : flag_(Flag) { flag_ = true; }
  ~TFlagGuard() { flag_ = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TPaletteHandle TGIFPicture::GetPalette() const {
  // The first frame without a local table asks the picture again: no table anywhere.
  if (getting_palette_) Error("No global or local color table defined");
  TFlagGuard guard(getting_palette_);
  if (global_palette_) return global_palette_;
  if (Images.Count() > 0 && Images[0].DoDither())
    return global_palette_ = std::make_shared<const TGIFPalette>(WebPalette());
  if (Header.ColorMap.Count() > 0)
    return global_palette_ = std::make_shared<const TGIFPalette>(Header.ColorMap.ExportPalette());
  if (Images.Count() > 0) return Images[0].Palette();
  return nullptr;
}

void TGIFPicture::SetPalette(TPaletteHandle Value) {
  if (Value == global_palette_) return;
  global_palette_ = std::move(Value);
  if (bitmap_) {
    FreeBitmap();
    Changed();
  }
}

TBitmap* TGIFPicture::NewBitmap() const {
  bitmap_ = std::make_unique<TBitmap>();
  bitmap_->SetSize(Width(), Height());
  return bitmap_.get();
}

TBitmap* TGIFPicture::Bitmap() const {
  if (IsEmpty()) return nullptr;
  if (bitmap_) return bitmap_.get();
  TGIFSubImage& first = Images[0];
  if (first.Width() == Width() && first.Height() == Height() && first.Left() == 0 &&
      first.Top() == 0) {
    TBitmap* rendered = first.Bitmap();
    bitmap_ = std::make_unique<TBitmap>();
    bitmap_->Assign(*rendered);
    return bitmap_.get();
  }
  TBitmap* bitmap = NewBitmap();
  first.Draw(bitmap->Canvas(), Bounds(0, 0, Width(), Height()), false, false);
  return bitmap;
}

void TGIFPicture::FreeBitmap() const {
  StopDraw();
}

void TGIFPicture::DrawCachedBitmap(TCanvas& Canvas, const TRect& Rect) const {
  if (!(DrawOptions & dfTile)) {
    Canvas.StretchDraw(Rect, *bitmap_);
    return;
  }
  for (int x = Rect.Left; x < Rect.Right; x += Width())
    for (int y = Rect.Top; y < Rect.Bottom; y += Height())
      Canvas.StretchDraw(Bounds(x, y, Width(), Height()), *bitmap_);
}

void TGIFPicture::Draw(TCanvas& Canvas, const TRect& Rect) const {
  if (drawing_ || IsEmpty()) return;
  TFlagGuard guard(drawing_);
  ReapPainters();
  if (Images.Count() > 1 && (DrawOptions & dfAnimate)) {
    if (bitmap_ && !(DrawOptions & dfDirect)) {
      DrawCachedBitmap(Canvas, Rect);
      return;
    }
    std::lock_guard<std::recursive_mutex> lock(painters_lock_);
    const TGIFPainter* current = painter_;
    if (current && current->Canvas() == &Canvas && current->Rect() == Rect) return;
    StopDraw();
    StartPainter(Canvas, Rect);
    return;
  }
  TGIFSubImage& frame =
      (ShownFrame >= 0 && ShownFrame < Images.Count()) ? Images[ShownFrame] : Images[0];
  frame.Draw(Canvas, Rect, (DrawOptions & dfTransparent) != 0, (DrawOptions & dfTile) != 0);
}

void TGIFPicture::StartPainter(TCanvas& Canvas, const TRect& Rect) const {
  painter_ = nullptr;
  if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
  TCanvas* target = &Canvas;
  TRect target_rect = Rect;
  const bool direct = (DrawOptions & dfDirect) != 0;
  if (!direct) {
    // The animation is composed in the cached bitmap over what the canvas showed.
    TBitmap* bitmap = NewBitmap();
    target_rect = Bounds(0, 0, Width(), Height());
    bitmap->Canvas().CopyRect(target_rect, Canvas, Rect);
    target = &bitmap->Canvas();
  }
  TGIFDrawOptions options = DrawOptions;
  if (Images.Count() == 1) options &= ~(dfThreaded | dfAnimate);
  auto& self = const_cast<TGIFPicture&>(*this);
  auto painter = std::make_unique<TGIFPainter>(self, *target, target_rect, options);
  TGIFPainter* started = painter.get();
  painter_ = started;
  painters_.push_back(std::move(painter));
  if (started->Threaded()) {
    started->SetPriority(static_cast<TThreadPriority>(
        std::clamp(ThreadPriority, 0, static_cast<int>(TThreadPriority::TimeCritical))));
    started->Start();
    if (!direct)
      while (!started->Started() && !started->Done()) {
        TThread::CheckSynchronize();
        std::this_thread::yield();
      }
  } else {
    started->Execute();
    ReapPainters();
  }
  if (!direct && bitmap_) DrawCachedBitmap(Canvas, Rect);
}

void TGIFPicture::ReapPainters() const {
  std::vector<std::unique_ptr<TGIFPainter>> finished;
  {
    std::lock_guard<std::recursive_mutex> lock(painters_lock_);
    for (auto it = painters_.begin(); it != painters_.end();) {
      if ((*it)->Done()) {
        if (painter_ == it->get()) painter_ = nullptr;
        finished.push_back(std::move(*it));
        it = painters_.erase(it);
      } else {
        ++it;
      }
    }
  }
  // Destroying a finished painter joins its thread, outside the lock it may still take.
}

void TGIFPicture::StopPainters(bool OnlyCurrent) const {
  std::vector<std::unique_ptr<TGIFPainter>> stopping;
  {
    std::lock_guard<std::recursive_mutex> lock(painters_lock_);
    for (auto it = painters_.begin(); it != painters_.end();) {
      TGIFPainter* painter = it->get();
      if (OnlyCurrent && painter != painter_) {
        ++it;
        continue;
      }
      painter->Stop();
      // A painter inside the draw call unwinds by itself; only threads are waited for.
      if (!painter->Threaded()) {
        ++it;
        continue;
      }
      if (painter_ == painter) painter_ = nullptr;
      stopping.push_back(std::move(*it));
      it = painters_.erase(it);
    }
  }
  // WaitFor on the GUI thread keeps serving the painters' Synchronize calls.
  for (auto& painter : stopping) painter->WaitFor();
  stopping.clear();
  bitmap_.reset();
}

void TGIFPicture::StopDraw() const {
  StopPainters(true);
}

void TGIFPicture::StopAnimation() const {
  StopPainters(false);
}

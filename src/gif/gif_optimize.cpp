// Shrinking an animation before it is stored: sorted colour tables, frames made
// transparent where they repeat what is already on screen, transparent borders cropped,
// and blocks that carry nothing dropped.
#include <algorithm>
#include <functional>

#include "gif/gif_frame.h"
#include "gif/gif_picture.h"

namespace {

bool Overlap(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

bool Inside(const TRect& Inner, const TRect& Outer) {
  return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
         Inner.Bottom <= Outer.Bottom;
}

TGIFDisposalMethod DisposalOf(const TGIFSubImage& Frame) {
  return Frame.GraphicControlExtension ? Frame.GraphicControlExtension->Disposal()
                                       : DisposeUnspecified;
}

bool UsesIndex(const TGIFSubImage& Frame, int Index) {
  return std::find(Frame.Data().begin(), Frame.Data().end(), Index) != Frame.Data().end();
}

TGIFGraphicControlExtension& GraphicControlOf(TGIFSubImage& Frame) {
  if (!Frame.GraphicControlExtension)
    Frame.Extensions.Add(std::make_unique<TGIFGraphicControlExtension>(&Frame));
  return *Frame.GraphicControlExtension;
}

// The optimiser's passes over the frames; Step reports each frame done.
using TStep = std::function<void()>;

// A frame's transparency goes when no pixel uses its transparent index, and a frame wholly
// covered by the next, opaque frame need not be disposed of: unless that frame goes back
// to what was before it, which the disposal made.
void DropNeedlessTransparency(TGIFPictureList& Images, const TStep& Step) {
  for (int i = 0; i < Images.Count(); ++i, Step()) {
    TGIFSubImage& frame = Images[i];
    if (frame.Transparent && frame.GraphicControlExtension && !UsesIndex(frame, frame.FillIndex()))
      frame.GraphicControlExtension->SetTransparent(false);
  }
  for (int i = 0; i + 1 < Images.Count(); ++i) {
    TGIFSubImage& frame = Images[i];
    TGIFSubImage& next = Images[i + 1];
    const TGIFDisposalMethod disposal = DisposalOf(frame);
    if ((disposal == DisposeBackground || disposal == DisposePrevious) && !frame.Transparent &&
        !next.Transparent && DisposalOf(next) != DisposePrevious &&
        Inside(frame.BoundsRect(), next.BoundsRect()))
      frame.GraphicControlExtension->SetDisposal(DisposeUnspecified);
  }
}

void MergeFrames(TGIFPictureList& Images, const TStep& Step) {
  for (int i = Images.Count() - 1; i >= 1; --i, Step()) {
    int previous = i - 1;
    while (previous > 1 && DisposalOf(Images[previous]) == DisposePrevious) --previous;
    Images[i].Merge(&Images[previous]);
  }
}

// Transparent borders cropped; a frame that shows nothing goes, its time to the frame
// before it. A frame disposed to background keeps its borders: they are cleared after it.
// A frame that shows nothing stays where the time it takes would show something else:
// first, or after a frame that is disposed of.
void CropFrames(TGIFPictureList& Images, const TStep& Step) {
  for (int i = Images.Count() - 1; i >= 0; --i, Step()) {
    TGIFSubImage& frame = Images[i];
    if (frame.Empty() || !frame.Transparent || DisposalOf(frame) == DisposeBackground) continue;
    const std::uint8_t transparent = frame.FillIndex();
    if (std::any_of(frame.Data().begin(), frame.Data().end(),
                    [&](std::uint8_t pixel) { return pixel != transparent; })) {
      frame.Crop();
      continue;
    }
    if (i == 0 || DisposalOf(Images[i - 1]) >= DisposeBackground) continue;
    // The time each was shown: a delay of 0 shows for the default delay, not for none.
    const int shown = Images[i - 1].ShownDelay() + frame.ShownDelay();
    GraphicControlOf(Images[i - 1]).Delay = static_cast<std::uint16_t>(std::min(shown, 0xFFFF));
    Images.Delete(i);
  }
}

// Extensions that change nothing dropped: all but the graphic control (and the loop
// count on the first of several frames), a graphic control that says nothing, and frames
// left empty with none.
void DropEmptyBlocks(TGIFPictureList& Images, const TStep& Step) {
  const bool single = Images.Count() == 1;
  for (int i = Images.Count() - 1; i >= 0; --i, Step()) {
    TGIFSubImage& frame = Images[i];
    for (int e = frame.Extensions.Count() - 1; e >= 0; --e) {
      TGIFExtension& extension = frame.Extensions[e];
      const bool loop = dynamic_cast<TGIFAppExtNSLoop*>(&extension) != nullptr;
      const bool gce = dynamic_cast<TGIFGraphicControlExtension*>(&extension) != nullptr;
      if (gce || (loop && i == 0 && !single)) continue;
      frame.Extensions.Delete(e);
    }
    if (const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension;
        gce && (gce->Delay == 0 || single) && !gce->Transparent() && !gce->UserInput() &&
        (gce->Disposal() < DisposeBackground || single))
      frame.Extensions.Delete(frame.Extensions.IndexOf(gce));
    if (frame.Empty() && frame.Extensions.Count() == 0) Images.Delete(i);
  }
}

}  // namespace

void TGIFSubImage::Crop() {
  const std::uint8_t transparent = FillIndex();
  int left = width_, right = -1, top = height_, bottom = -1;
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* row = data_.data() + static_cast<std::size_t>(y) * width_;
    for (int x = 0; x < width_; ++x)
      if (row[x] != transparent) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  }
  if (right < 0) {
    Clear();
    return;
  }
  const int new_width = right - left + 1;
  const int new_height = bottom - top + 1;
  std::vector<std::uint8_t> cropped(static_cast<std::size_t>(new_width) * new_height);
  for (int y = 0; y < new_height; ++y) {
    const std::uint8_t* src = data_.data() + static_cast<std::size_t>(top + y) * width_ + left;
    std::copy(src, src + new_width, cropped.begin() + static_cast<std::ptrdiff_t>(y) * new_width);
  }
  data_ = std::move(cropped);
  left_ += left;
  top_ += top;
  width_ = new_width;
  height_ = new_height;
  FreeBitmap();
}

void TGIFSubImage::Merge(TGIFSubImage* Previous) {
  if (!Previous || Empty() || Previous->Empty()) return;
  const TGIFDisposalMethod previous_disposal = DisposalOf(*Previous);
  if (previous_disposal == DisposeBackground || previous_disposal == DisposePrevious) return;
  const TRect bounds = BoundsRect();
  const TRect previous_bounds = Previous->BoundsRect();
  if (!Overlap(bounds, previous_bounds)) return;

  TGIFColorMap& map = ActiveColorMap();
  TGIFColorMap& previous_map = Previous->ActiveColorMap();
  bool need_index = !Transparent;
  if (need_index) {
    const bool room = ColorMap.Count() > 0 ? ColorMap.Count() < MaxGIFColors
                                           : image_ && image_->Header.ColorMap.Count() >= 1 &&
                                                 image_->Header.ColorMap.Count() < MaxGIFColors;
    if (!room) return;
  }
  int transparent = need_index ? -1 : FillIndex();
  const int previous_transparent = Previous->Transparent ? Previous->FillIndex() : -1;

  auto obtain_index = [&]() {
    if (ColorMap.Count() == 0) {
      // Share the transparent colour of another frame on the global table, unless this
      // frame shows that colour itself.
      for (int i = 0; i < image_->Images.Count(); ++i) {
        TGIFSubImage& other = image_->Images[i];
        if (&other != this && other.Transparent && other.ColorMap.Count() == 0 &&
            !UsesIndex(*this, other.FillIndex()))
          return static_cast<int>(other.FillIndex());
      }
      return image_->Header.ColorMap.Add(clBlack);
    }
    return ColorMap.Add(clBlack);
  };

  const int x0 = std::max(bounds.Left, previous_bounds.Left);
  const int x1 = std::min(bounds.Right, previous_bounds.Right);
  const int y0 = std::max(bounds.Top, previous_bounds.Top);
  const int y1 = std::min(bounds.Bottom, previous_bounds.Bottom);
  for (int y = y0; y < y1; ++y) {
    std::uint8_t* row = Scanline(y - top_);
    const std::uint8_t* previous_row = Previous->Scanline(y - Previous->Top());
    for (int x = x0; x < x1; ++x) {
      std::uint8_t& pixel = row[x - left_];
      const std::uint8_t previous_pixel = previous_row[x - Previous->Left()];
      if (transparent >= 0 && pixel == transparent) continue;
      if (previous_pixel == previous_transparent) continue;
      const bool same = (&map == &previous_map && pixel == previous_pixel) ||
                        (pixel < map.Count() && previous_pixel < previous_map.Count() &&
                         map.Entry(pixel) == previous_map.Entry(previous_pixel));
      if (!same) continue;
      if (transparent < 0) transparent = obtain_index();
      pixel = static_cast<std::uint8_t>(transparent);
    }
  }
  if (need_index && transparent >= 0) {
    TGIFGraphicControlExtension& gce = GraphicControlOf(*this);
    gce.SetTransparent(true);
    gce.TransparentColorIndex = static_cast<std::uint8_t>(transparent);
  }
  FreeBitmap();
}

void TGIFPicture::Optimize(TGIFOptimizeOptions Options, TColorReduction Reduction,
                           TDitherMode /*Dither*/, int /*ReductionBits*/) {
  if (IsEmpty()) return;
  StopAnimation();
  std::lock_guard<std::recursive_mutex> lock(painters_lock_);
  constexpr int kSteps = 6;
  const int total = Images.Count() * kSteps;
  int done = 0;
  const TStep step = [&] {
    ++done;
    Progress(psRunning, total > 0 ? std::min(done * 100 / total, 100) : 100, false,
             "Optimizing...");
  };
  Progress(psStarting, 0, false, "Optimizing...");
  try {
    if (Options & OptColorMaps) {
      if (Header.ColorMap.Count() > 0) Header.ColorMap.Optimize();
      for (int i = 0; i < Images.Count(); ++i, step())
        if (Images[i].ColorMap.Count() > 0) Images[i].ColorMap.Optimize();
    }
    if (Options & OptCleanup) DropNeedlessTransparency(Images, step);
    if (Options & OptMerge) MergeFrames(Images, step);
    if (Options & OptCrop) CropFrames(Images, step);
    if (Options & OptCleanup) {
      DropEmptyBlocks(Images, step);
    } else if ((Options & OptReduceColors) && Reduction == ReduceCustomPalette) {
      Error("Invalid reduction method");
    }
  } catch (...) {
    Progress(psEnding, 0, false, "Optimizing...");
    throw;
  }
  Progress(psEnding, 100, false, "Optimizing...");
  FreeBitmap();
  Changed();
}

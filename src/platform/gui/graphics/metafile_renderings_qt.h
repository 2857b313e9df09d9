// Platform-internal: metafile pictures kept as drawn (see TMetafile::Draw). A play that
// costs more than a paint may is drawn once into an image at the device's pixels, and a
// repaint at that size copies the image; on a screen the image is drawn on a thread of
// its own while the paints show a rough drawing at fewer pixels.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class QWidget;
class TMetafileBitmapCache;

// The work one paint may spend playing records (see MetafileWork): a picture that costs
// more is kept as an image at the device's pixels, and a repaint at that size copies it.
constexpr double kMetafilePaintBudget = 1.5e8;
// The work one draw off the screen (an export, a print) may spend: a picture that costs
// more at the device's pixels is drawn at fewer and stretched. Under 1 s on a loaded
// machine for what is priced honestly; text and lines of an ordinary page stay whole.
constexpr double kMetafileDrawBudget = 1e9;

// What the kept renderings of all pictures may hold together: a 4K screen of pictures that
// combine with what lies under them (each kept as three images) twice over.
constexpr std::int64_t kMaxKeptRenderingBytes = std::int64_t(256) << 20;

// The CPU time the calling thread has spent, in seconds: what a play took.
double ThreadSeconds();

// A picture as drawn once. Where its raster operations combine it with what lies under
// it, bit by bit, that is first ANDed with Keeps (the bits it keeps, white where it keeps
// all) and then XORed with Toggles (the bits it flips), over the part of Shows' pixels
// that holds them (Combined; either image null when it changes nothing); then Shows is
// drawn over it: what the picture puts there, its alpha how much of that shows through.
// Drawings over black, white and grey tell those apart (see SeeThrough).
struct TKeptDrawing {
  QImage Shows;
  QImage Keeps;
  QImage Toggles;
  QRect Combined;

  bool IsNull() const { return Shows.isNull(); }
};

// A picture kept as drawn at one size and pixel ratio. On a screen it is drawn on a thread
// of its own while the paints show Preview; a paint elsewhere draws it at once. What all
// pictures keep is bounded together (see KeptMetafile): past that, the renderings shown
// longest ago are released, and drawn again when shown again.
struct TMetafileRendering {
  QSize Target;                // the size drawn at, in the painter's coordinates
  double Ratio;                // of the painter's device pixels to those coordinates
  bool CombinesBelow = false;  // with what lies under it, by raster operations
  std::atomic<bool> Cancelled{false};
  std::atomic<bool> Released{false};  // its drawings given back; it is to be drawn anew
  std::uint64_t Shown = 0;            // the latest draw it was shown in (see KeptMetafile)
  // The window that draw showed it in and the number of its paint event (see
  // TScreenPaint); null when it was drawn off the screen.
  const QWidget* ShownIn = nullptr;
  std::uint64_t ShownInPaint = 0;
  std::mutex Lock;  // over the rest, which the drawing thread and the release set
  TKeptDrawing Preview;
  TKeptDrawing Drawing;
  bool Done = false;

  TKeptDrawing Finished() {
    const std::lock_guard<std::mutex> hold(Lock);
    return Done ? Drawing : TKeptDrawing();
  }
};

// What shows of the picture kept at Target's size and Ratio: its rendering at the device's
// pixels once done, before that on a screen (Window not null) its preview. Rendering is
// the picture's kept one, replaced when it was kept at another size or ratio or released;
// Bitmaps the picture's decoded bitmaps; CombinesBelow whether counting its play found
// raster operations that combine it with what lies under it. The renderings of all
// pictures hold kMaxKeptRenderingBytes at most, but for those a window shows (shown in its
// last paint or the one under way: what a window shows is drawn whatever it holds, and
// windows that only repaint draw nothing again): past that, of the others the one shown
// longest ago is released first.
TKeptDrawing KeptMetafile(std::shared_ptr<TMetafileRendering>& Rendering,
                          const std::vector<std::uint8_t>& Data, bool Enhanced,
                          const std::shared_ptr<TMetafileBitmapCache>& Bitmaps, QWidget* Window,
                          const QSize& Target, double Ratio, bool CombinesBelow);

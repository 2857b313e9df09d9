#include "platform/gui/graphics/metafile_renderings.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QThreadPool>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>
#include <ctime>
#include <map>

#include <sys/mman.h>

#include "platform/gui/graphics/metafile_player_qt.h"
#include "platform/gui/graphics/metafile_renderings_qt.h"
#include "platform/gui/graphics/screen_paint_qt.h"

// The largest rendering kept, in pixels (64 MB): a 4K screen or an A4 page at 300 dpi
// whole; a picture drawn larger on the device is kept at this many pixels and stretched.
constexpr double kMaxKeptRenderingPixels = 4096.0 * 4096;
// The least share of the device's pixels a first paint over the budget is drawn at.
constexpr double kLeastPreviewScale = 1.0 / 16;
// What playing the records for a first look may cost: a third of a paint's budget (the
// rest is for counting and copying).
constexpr double kPreviewBudget = kMetafilePaintBudget / 3;

namespace {

// An image whose pixels are mapped from the system for it alone and given back the moment
// it goes: the heap keeps large blocks freed by one thread for the next of that size, and
// a document scrolled past its pictures kept gigabytes of their renderings so.
QImage MappedImage(const QSize& size, QImage::Format format) {
  struct TMapping {
    void* At;
    std::size_t Bytes;
  };
  if (size.isEmpty()) return QImage();
  const qsizetype rowBytes = qsizetype(size.width()) * 4;  // the 32-bit formats kept
  const std::size_t bytes = std::size_t(rowBytes) * std::size_t(size.height());
  void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pixels == MAP_FAILED) return QImage();
  return QImage(
      static_cast<uchar*>(pixels), size.width(), size.height(), rowBytes, format,
      [](void* info) {
        const auto* mapping = static_cast<TMapping*>(info);
        munmap(mapping->At, mapping->Bytes);
        delete mapping;
      },
      new TMapping{pixels, bytes});
}

// The box of the pixels taken.
struct TBounds {
  int Left = INT_MAX, Top = INT_MAX, Right = -1, Bottom = -1;
  void Take(int x, int y) {
    Left = std::min(Left, x);
    Right = std::max(Right, x);
    Top = std::min(Top, y);
    Bottom = std::max(Bottom, y);
  }
  QRect Rect() const {
    return Right < 0 ? QRect() : QRect(QPoint(Left, Top), QPoint(Right, Bottom));
  }
};

// The grey a picture that combines with what lies under it is drawn over beside black and
// white, its bits alternating (see SeeThrough).
constexpr int kGrey = 0x55;

// One pixel of a kept drawing.
struct TKeptPixel {
  QRgb Shows, Keeps, Toggles;
};

// The largest difference of a colour channel between two pixels.
int Apart(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}

// A pixel of the picture from its drawings over black, white and grey, as one of two
// kinds, whichever puts the grey nearer what was drawn over it. Bit by bit (a raster
// operation): each bit of a channel kept, set, cleared or flipped, which black and white
// tell. Blended (a smoothed edge, a see-through bitmap): each channel Low + (High - Low)
// x what lies under it, High and Low the drawings over white and black; where it came out
// darker over white (an inversion), what lies under it is inverted first, which swaps the
// two; what shows is the lower drawing, as opaque as the two agree. A pixel that fits
// both equally is taken as blended, which asks for no combination where it is opaque.
TKeptPixel KeptPixel(QRgb overBlack, QRgb overWhite, QRgb overGrey) {
  const QRgb keeps = qRgb(qRed(overWhite ^ overBlack), qGreen(overWhite ^ overBlack),
                          qBlue(overWhite ^ overBlack));
  const QRgb toggles = overBlack | ~RGB_MASK;
  const QRgb grey = qRgb(kGrey, kGrey, kGrey);
  const int bitwiseOff = Apart((grey & keeps) ^ toggles, overGrey);
  const int w[] = {qRed(overWhite), qGreen(overWhite), qBlue(overWhite)};
  const int b[] = {qRed(overBlack), qGreen(overBlack), qBlue(overBlack)};
  int low[3], apart = 0, inverted[3];
  for (int c = 0; c < 3; ++c) {
    low[c] = std::min(w[c], b[c]);
    apart = std::max(apart, std::abs(w[c] - b[c]));
    inverted[c] = w[c] < b[c] ? 255 : 0;
  }
  const int alpha = std::clamp(255 - apart, std::max({low[0], low[1], low[2]}), 255);
  int blended[3];
  for (int c = 0; c < 3; ++c)
    blended[c] =
        std::min(255, low[c] + ((255 - alpha) * (inverted[c] ? 255 - kGrey : kGrey) + 127) / 255);
  const int blendOff = Apart(qRgb(blended[0], blended[1], blended[2]), overGrey);
  if (bitwiseOff < blendOff) return {0, keeps, toggles};
  return {qRgba(low[0], low[1], low[2], alpha), qRgb(255, 255, 255),
          qRgb(inverted[0], inverted[1], inverted[2])};
}

// A picture drawn over black, white and grey as one kept drawing (see TKeptDrawing).
TKeptDrawing SeeThrough(const QImage& overBlack, const QImage& overWhite, const QImage& overGrey) {
  TKeptDrawing kept;
  TBounds combined;
  const auto image = [&](QImage::Format format, QRgb fill) {
    QImage made = MappedImage(overBlack.size(), format);
    made.setDevicePixelRatio(overBlack.devicePixelRatio());
    made.fill(fill);
    return made;
  };
  // The masks hold alpha too: Qt drew a stretched image without it by a raster operation
  // as a copy.
  kept.Shows = image(QImage::Format_ARGB32_Premultiplied, 0);
  for (int y = 0; y < overBlack.height(); ++y) {
    const auto* black = reinterpret_cast<const QRgb*>(overBlack.constScanLine(y));
    const auto* white = reinterpret_cast<const QRgb*>(overWhite.constScanLine(y));
    const auto* grey = reinterpret_cast<const QRgb*>(overGrey.constScanLine(y));
    auto* shows = reinterpret_cast<QRgb*>(kept.Shows.scanLine(y));
    for (int x = 0; x < overBlack.width(); ++x) {
      const TKeptPixel pixel = KeptPixel(black[x], white[x], grey[x]);
      shows[x] = pixel.Shows;
      const bool keepsAll = (pixel.Keeps & RGB_MASK) == RGB_MASK;
      const bool togglesNone = (pixel.Toggles & RGB_MASK) == 0;
      if (keepsAll && togglesNone) continue;
      if (!keepsAll && kept.Keeps.isNull())
        kept.Keeps = image(QImage::Format_ARGB32_Premultiplied, ~0u);
      if (!togglesNone && kept.Toggles.isNull())
        kept.Toggles = image(QImage::Format_ARGB32_Premultiplied, qRgb(0, 0, 0));
      if (!keepsAll) reinterpret_cast<QRgb*>(kept.Keeps.scanLine(y))[x] = pixel.Keeps;
      if (!togglesNone) reinterpret_cast<QRgb*>(kept.Toggles.scanLine(y))[x] = pixel.Toggles;
      combined.Take(x, y);
    }
  }
  kept.Combined = combined.Rect();
  return kept;
}

// The records played into an image of Target's size at Scale device pixels a unit, at
// kMaxKeptRenderingPixels at most. A picture that combines with what lies under it
// (CombinesBelow, else found by playing it) is drawn over black, white and grey instead.
TKeptDrawing Rendering(const QSizeF& Target, double Scale, std::span<const std::uint8_t> data,
                       bool enhanced, TMetafileBitmapCache* bitmaps, bool combinesBelow,
                       TPlayMode mode = TPlayMode::Draw,
                       const std::atomic<bool>* cancelled = nullptr) {
  const double pixels = Target.width() * Scale * Target.height() * Scale;
  const double scale = Scale * std::min(1.0, std::sqrt(kMaxKeptRenderingPixels / pixels));
  // A painter takes a pixel ratio under 1 as 1: fewer pixels than the painter's units are
  // a smaller target.
  const double ratio = std::max(1.0, scale);
  const auto over = [&](QImage::Format format, QRgb fill) {
    QImage image = MappedImage((Target * scale).toSize().expandedTo(QSize(1, 1)), format);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
    QPainter onImage(&image);
    const bool combined = PlayMetafile(onImage, QRectF(QPointF(), Target * (scale / ratio)), data,
                                       enhanced, mode, cancelled, bitmaps);
    return std::pair(image, combined);
  };
  if (!combinesBelow) {
    auto [image, combined] = over(QImage::Format_ARGB32_Premultiplied, 0);
    if (!combined) return TKeptDrawing{image, QImage(), QImage(), QRect()};
  }
  // Raster operations combine the picture with what lies under it, which one image does
  // not hold: the picture is drawn over black, white and grey to tell how much of it lets
  // that through, and what of that it keeps and flips.
  const QImage black = over(QImage::Format_RGB32, qRgb(0, 0, 0)).first;
  const QImage white = over(QImage::Format_RGB32, qRgb(255, 255, 255)).first;
  const QImage grey = over(QImage::Format_RGB32, qRgb(kGrey, kGrey, kGrey)).first;
  return SeeThrough(black, white, grey);
}

// The share of the device's pixels at which playing the records in Mode costs no more
// than Budget: the pixels' work shrinks with their number, the records' and characters'
// not. The play is counted at the device's pixels and at a sixteenth of them to tell the
// two apart; work that fewer pixels do not spare leaves the picture at its pixels, and
// past the budget a third of it still goes to pixels. Some work shrinks only with the
// side (the rows a rasterizer steps through): the play is counted again at the share
// found, which is cut as if all of its work went so, until it fits. A picture that reads
// what lies under it is drawn three times (see Rendering), each on a third of the budget.
double PreviewScale(const QSizeF& target, double ratio, std::span<const std::uint8_t> data,
                    bool enhanced, TMetafileBitmapCache* bitmaps, double budget, TPlayMode mode) {
  constexpr double kFewer = 1.0 / 4;
  constexpr int kRecounts = 2;
  const auto workAt = [&](double scale) {
    return MetafileWork(target, ratio * scale, data, enhanced, mode, bitmaps);
  };
  const TMetafileWork work = workAt(1);
  const double whole = work.Nanoseconds;
  if (work.ReadsBackdrop) budget /= 3;
  if (whole <= budget) return 1;
  const double fewer = workAt(kFewer).Nanoseconds;
  const double fixed = std::max(0.0, (fewer - whole * kFewer * kFewer) / (1 - kFewer * kFewer));
  const double pixels = std::max(0.0, whole - fixed);
  const double allowed = std::max(budget - fixed, budget / 3);
  if (pixels <= allowed) return 1;
  double scale = std::max(kLeastPreviewScale, std::sqrt(allowed / pixels));
  for (int i = 0; i < kRecounts && scale > kLeastPreviewScale; ++i) {
    const double scaled = workAt(scale).Nanoseconds - fixed;
    if (scaled <= allowed) break;
    scale = std::max(kLeastPreviewScale, scale * allowed / scaled);
  }
  return scale;
}

// The window a paint event is drawing and the number of that paint (see TScreenPaint);
// the GUI thread's alone.
QWidget* painting_window = nullptr;
std::uint64_t painting_number = 0;
std::uint64_t paints = 0;

// The threads renderings are drawn on: two, as each holds six images of its picture's
// pixels while it draws (a page scrolled past a dozen costly pictures asked for gigabytes
// at once); the latest asked for is drawn first, as what shows now is what it is for.
QThreadPool& RenderingThreads() {
  static QThreadPool threads;
  threads.setMaxThreadCount(2);
  return threads;
}

// Draws the whole rendering on its own thread, then asks the widget it is for to paint
// again. A rendering no longer wanted (the picture drawn at another size, changed or
// gone, or the rendering released) stops between two records.
std::atomic<std::uint64_t> renderings_started{0};

void StartRendering(const std::shared_ptr<TMetafileRendering>& kept,
                    const std::vector<std::uint8_t>& bytes, bool isEnhanced,
                    const std::shared_ptr<TMetafileBitmapCache>& decoded, QWidget* Widget) {
  static int latest = 0;  // the GUI thread's alone
  ++renderings_started;
  RenderingThreads().start(
      [rendering = kept, data = bytes, enhanced = isEnhanced, bitmaps = decoded,
       widget = QPointer<QWidget>(Widget)]() mutable {
        if (rendering->Cancelled) return;  // before its pixels are even allocated
        TKeptDrawing drawing =
            Rendering(QSizeF(rendering->Target), rendering->Ratio, data, enhanced, bitmaps.get(),
                      rendering->CombinesBelow, TPlayMode::Draw, &rendering->Cancelled);
        {
          const std::lock_guard<std::mutex> hold(rendering->Lock);
          if (rendering->Cancelled) return;
          rendering->Drawing = std::move(drawing);
          rendering->Done = true;
        }
        if (QCoreApplication* app = QCoreApplication::instance())
          QMetaObject::invokeMethod(
              app,
              [widget = std::move(widget)] {
                if (widget) widget->update();
              },
              Qt::QueuedConnection);
      },
      ++latest);
}

// The renderings kept, shown or drawn off the screen, to bound what they hold together.
std::mutex kept_lock;  // over these, and each rendering's Shown
std::vector<std::weak_ptr<TMetafileRendering>> kept_renderings;
std::uint64_t kept_uses = 0;  // the draws of kept renderings so far
// The draws before the outermost paint event under way (see TScreenPaint).
std::uint64_t uses_before_paint = 0;
// The number of each window's last paint event that has ended: a rendering shown in it,
// or in one under way, is what the window shows.
std::map<const QWidget*, std::uint64_t> last_paints;

bool InView(const TMetafileRendering& rendering) {
  if (!rendering.ShownIn) return false;
  const auto last = last_paints.find(rendering.ShownIn);
  return last == last_paints.end() || rendering.ShownInPaint >= last->second;
}

std::int64_t BytesOf(const TKeptDrawing& drawing) {
  return std::int64_t(drawing.Shows.sizeInBytes() + drawing.Keeps.sizeInBytes() +
                      drawing.Toggles.sizeInBytes());
}

// Gives the rendering's drawings back; a thread drawing it stops.
void Release(TMetafileRendering& rendering) {
  rendering.Cancelled = true;
  const std::lock_guard<std::mutex> hold(rendering.Lock);
  rendering.Drawing = rendering.Preview = TKeptDrawing();
  rendering.Done = false;
  rendering.Released = true;
}

// Marks the rendering shown now, in the window painting (if any); then, while all
// renderings hold more than kMaxKeptRenderingBytes, releases those shown longest ago, but
// for the ones shown in the paint under way and those a window shows.
void Shown(const std::shared_ptr<TMetafileRendering>& rendering) {
  const std::lock_guard<std::mutex> hold(kept_lock);
  const bool listed = rendering->Shown != 0;
  rendering->Shown = ++kept_uses;
  rendering->ShownIn = painting_window;
  rendering->ShownInPaint = painting_number;
  if (!listed) kept_renderings.push_back(rendering);
  std::vector<std::pair<std::shared_ptr<TMetafileRendering>, std::int64_t>> live;
  std::int64_t total = 0;
  std::erase_if(kept_renderings, [&](const std::weak_ptr<TMetafileRendering>& kept) {
    std::shared_ptr<TMetafileRendering> held = kept.lock();
    if (!held) return true;
    std::int64_t bytes = 0;
    {
      const std::lock_guard<std::mutex> holdDrawings(held->Lock);
      bytes = BytesOf(held->Drawing) + BytesOf(held->Preview);
    }
    total += bytes;
    live.emplace_back(std::move(held), bytes);
    return false;
  });
  // Windows no rendering was shown in any more are forgotten.
  std::erase_if(last_paints, [&](const auto& window) {
    return std::none_of(live.begin(), live.end(),
                        [&](const auto& kept) { return kept.first->ShownIn == window.first; });
  });
  if (total <= kMaxKeptRenderingBytes) return;
  std::sort(live.begin(), live.end(),
            [](const auto& a, const auto& b) { return a.first->Shown < b.first->Shown; });
  const std::uint64_t protectedAfter = painting_window ? uses_before_paint : kept_uses - 1;
  for (const auto& [kept, bytes] : live) {
    if (total <= kMaxKeptRenderingBytes || kept->Shown > protectedAfter) break;
    if (bytes == 0 || InView(*kept)) continue;
    Release(*kept);
    total -= bytes;
  }
}

}  // namespace

TScreenPaint::TScreenPaint(QWidget& Window)
    : previous_(painting_window), previous_number_(painting_number), number_(++paints) {
  if (!previous_) {
    const std::lock_guard<std::mutex> hold(kept_lock);
    uses_before_paint = kept_uses;
  }
  painting_window = &Window;
  painting_number = number_;
}

TScreenPaint::~TScreenPaint() {
  {
    // What this paint did not show, the window no longer shows.
    const std::lock_guard<std::mutex> hold(kept_lock);
    if (std::any_of(kept_renderings.begin(), kept_renderings.end(),
                    [&](const std::weak_ptr<TMetafileRendering>& kept) {
                      const std::shared_ptr<TMetafileRendering> held = kept.lock();
                      return held && held->ShownIn == painting_window;
                    }))
      last_paints[painting_window] = number_;
  }
  painting_window = previous_;
  painting_number = previous_number_;
}

QWidget* TScreenPaint::Current() {
  return painting_window;
}

void WaitForMetafileRenderings() {
  RenderingThreads().waitForDone();
}

std::uint64_t MetafileRenderingsStarted() {
  return renderings_started;
}

TKeptDrawing KeptMetafile(std::shared_ptr<TMetafileRendering>& rendering,
                          const std::vector<std::uint8_t>& data, bool enhanced,
                          const std::shared_ptr<TMetafileBitmapCache>& bitmaps, QWidget* window,
                          const QSize& Target, double Ratio, bool CombinesBelow) {
  const bool onScreen = window != nullptr;
  // Off the screen the picture is drawn now: one still being drawn for a screen is drawn
  // again here.
  if (!rendering || rendering->Target != Target || rendering->Ratio != Ratio ||
      rendering->Released || (!onScreen && rendering->Finished().IsNull())) {
    const std::shared_ptr<TMetafileRendering> before = rendering;
    if (before) before->Cancelled = true;
    rendering = std::make_shared<TMetafileRendering>();
    rendering->Target = Target;
    rendering->Ratio = Ratio;
    rendering->CombinesBelow = CombinesBelow;
    if (!onScreen) {
      // Drawn once and for all, at as many of the device's pixels as a draw may spend.
      rendering->Drawing =
          Rendering(QSizeF(Target),
                    Ratio * PreviewScale(QSizeF(Target), Ratio, data, enhanced, bitmaps.get(),
                                         kMetafileDrawBudget, TPlayMode::Measure),
                    data, enhanced, bitmaps.get(), CombinesBelow);
      rendering->Done = true;
    } else {
      // Until the rendering is done, the one of the size before stands in, stretched; the
      // first, the records played at as few pixels as the budget allows.
      if (before) {
        const std::lock_guard<std::mutex> hold(before->Lock);
        rendering->Preview = before->Done ? before->Drawing : before->Preview;
      }
      if (rendering->Preview.IsNull())
        rendering->Preview =
            Rendering(QSizeF(Target),
                      Ratio * PreviewScale(QSizeF(Target), Ratio, data, enhanced, bitmaps.get(),
                                           kPreviewBudget, TPlayMode::MeasureRough),
                      data, enhanced, bitmaps.get(), CombinesBelow, TPlayMode::DrawRough);
      StartRendering(rendering, data, enhanced, bitmaps, window);
    }
  }
  TKeptDrawing shown;
  {
    const std::lock_guard<std::mutex> hold(rendering->Lock);
    // Once done, what stood in for it is given back.
    if (rendering->Done) rendering->Preview = TKeptDrawing();
    shown = rendering->Done ? rendering->Drawing : rendering->Preview;
  }
  Shown(rendering);
  return shown;
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

TMetafilePlay PriceAndPlay(std::span<const std::uint8_t> Data, bool Enhanced, int Width, int Height,
                           double Ratio) {
  const QSizeF target(Width, Height);
  TMetafilePlay play;
  play.Priced = MetafileWork(target, Ratio, Data, Enhanced).Nanoseconds * 1e-9;
  QImage image((target * Ratio).toSize(), QImage::Format_RGB32);
  image.setDevicePixelRatio(Ratio);
  image.fill(Qt::white);
  QPainter painter(&image);
  const double start = ThreadSeconds();
  PlayMetafile(painter, QRectF(QPointF(), target), Data, Enhanced);
  play.Played = ThreadSeconds() - start;
  return play;
}

// TGIFPicture: a GIF87a/89a file as a tree of block objects - the header with the
// logical screen descriptor and global colour table, the frames with their extensions
// and pixels - and a graphic that draws (and animates) itself.
//
// File layout, little-endian:
//   "GIF" "87a"|"89a" | width u16 | height u16 | packed (bit 7 global table, bits 6-4
//   colour resolution, bit 3 sorted, bits 2-0 table size exponent) | background index |
//   aspect ratio | global table | blocks ('!' extensions, ',' frames, zero padding) | ';'
//
// Errors raise GIFException; warnings go to OnWarning and reading goes on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gif/gif_color_map.h"
#include "gif/gif_frame.h"
#include "gif/gif_item.h"
#include "gif/gif_palette.h"
#include "gif/gif_types.h"
#include "platform/gui/graphics/bitmap.h"

class TGIFPainter;
class TGIFClock;

class TGIFHeader : public TGIFItem {
 public:
  explicit TGIFHeader(TGIFPicture* Image) : TGIFItem(Image) {}
  GIFVersion GetVersion() const override;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
  void Clear();
  // Recomputes the packed fields from the colour tables of the picture.
  void Prepare();
  void Assign(const TGIFHeader& Source);

  // The 7-byte logical screen descriptor as in the file.
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
  std::uint8_t PackedFields = 0;
  std::uint8_t BackgroundColorIndex = 0;
  std::uint8_t AspectRatio = 0;
  TGIFGlobalColorMap ColorMap{this};
};

class TGIFPictureList : public TGIFList<TGIFSubImage> {
 public:
  // Reads frames up to the trailer (left unread) or the end of the stream.
  void LoadFromStream(TStream& Stream, TGIFPicture& Parent);
  void SaveToStream(TStream& Stream) const override;
  // The pixels of the frames that the read in progress has added so far (0 outside a
  // read): a frame checks the picture's bound against it before it allocates its own.
  long long PixelsRead() const { return pixels_read_; }
  TGIFPicture* Image = nullptr;

 private:
  long long pixels_read_ = 0;
};

// Only exists while a file is read or written.
class TGIFTrailer : public TGIFItem {
 public:
  using TGIFItem::TGIFItem;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
};

using TGIFWarningEvent =
    std::function<void(TGIFPicture* Sender, int Severity, const std::string& Message)>;
using TGIFProgressEvent =
    std::function<void(TGIFPicture* Sender, TProgressStage Stage, int PercentDone, bool RedrawNow,
                       const TRect& Rect, const std::string& Message)>;
using TGIFPainterEvent = std::function<void(TGIFPainter* Sender)>;

class TGIFPicture : public TGraphic {
 public:
  TGIFPicture();
  ~TGIFPicture() override;

  // TGraphic
  int Width() const override { return Header.Width; }
  int Height() const override { return Header.Height; }
  void Draw(TCanvas& Canvas, const TRect& Rect) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override;

  // Every frame must still fit: "Image width too small for contained frames".
  void SetWidth(int Value);
  void SetHeight(int Value);
  bool IsEmpty() const { return Images.Count() == 0; }
  void Clear();
  // Adds a frame: a TGIFSubImage as it is, or any other graphic converted into one.
  int Add(std::unique_ptr<TGIFSubImage> Frame);
  int Add(const TGraphic& Source);
  // A picture copies frames, header and drawing settings; another graphic becomes the
  // one frame.
  void Assign(const TGraphic& Source);
  // Renders the picture into Dest (the first frame, or the composite being animated).
  void AssignTo(TBitmap& Dest) const;
  GIFVersion GetVersion() const;
  int ColorResolution() const;
  int BitsPerPixel() const;
  // Reports a warning through OnWarning, or drops it.
  virtual void Warning(const std::string& Message);

  // Rendering (the palette every frame without a local table draws with).
  TPaletteHandle GetPalette() const;
  void SetPalette(TPaletteHandle Value);
  // The rendered composite, cached; null for an empty picture.
  TBitmap* Bitmap() const;
  void FreeBitmap() const;
  // Stops the painter started by the last Draw and waits for it.
  void StopDraw() const;
  void StopAnimation() const;  // every painter
  void GlobalPaletteChanged() { global_palette_.reset(); }

  void Optimize(TGIFOptimizeOptions Options, TColorReduction Reduction, TDitherMode Dither,
                int ReductionBits);

  // Reports progress of a long operation through OnProgress.
  void Progress(TProgressStage Stage, int PercentDone, bool RedrawNow, const std::string& Message);
  void Changed() const;

  TGIFHeader Header{this};
  TGIFPictureList Images;

  TGIFDrawOptions DrawOptions;
  TColorReduction ColorReduction;
  int ReductionBits;
  TDitherMode DitherMode;
  TGIFCompression Compression;
  int ThreadPriority;
  int AnimationSpeed;  // per cent
  int ShownFrame = -1;
  TColor BackgroundColor = clNone;
  // Time source of the painters; null means the system clock. Tests drive their own.
  TGIFClock* Clock = nullptr;

  TGIFWarningEvent OnWarning;
  TGIFProgressEvent OnProgress;
  std::function<void()> OnChange;
  TGIFPainterEvent OnPaintStart;
  TGIFPainterEvent OnFramePaint;
  TGIFPainterEvent OnFramePainted;
  TGIFPainterEvent OnLoopRestart;
  TGIFPainterEvent OnPaintEnd;

  // The painter started by the last Draw (null when none runs).
  TGIFPainter* Painter() const { return painter_; }

 private:
  friend class TGIFPainter;

  void DrawCachedBitmap(TCanvas& Canvas, const TRect& Rect) const;
  void StartPainter(TCanvas& Canvas, const TRect& Rect) const;
  void ReapPainters() const;
  TBitmap* NewBitmap() const;
  void StopPainters(bool OnlyCurrent) const;

  mutable std::unique_ptr<TBitmap> bitmap_;
  mutable TPaletteHandle global_palette_;
  mutable bool drawing_ = false;
  mutable bool getting_palette_ = false;
  // Painters started by Draw, guarded by the lock. A painter thread that ends only
  // clears painter_ (atomically) and never takes the lock, so the GUI thread may wait
  // for painters while it holds the lock.
  mutable std::recursive_mutex painters_lock_;
  mutable std::vector<std::unique_ptr<TGIFPainter>> painters_;
  mutable std::atomic<TGIFPainter*> painter_{nullptr};
};

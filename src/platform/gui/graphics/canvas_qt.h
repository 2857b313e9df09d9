// Platform-internal: where a canvas meets Qt. Controls attach a canvas to the painter of
// their paint event; bitmaps give their canvas the image it draws on.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <functional>

#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/wide_text.h"

// Resolves system colours; clNone has no meaning here, callers test for it first.
QColor ToQColor(TColor Color);
TColor FromQRgb(QRgb Rgb);
inline QRect ToQRect(const TRect& Rect) {
  return QRect(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
}
QFont ToQFont(const TFont& Font);
inline Qt::LayoutDirection ToQDirection(TTextDirection Direction) {
  switch (Direction) {
    case TTextDirection::LeftToRight:
      return Qt::LeftToRight;
    case TTextDirection::RightToLeft:
      return Qt::RightToLeft;
    default:
      return Qt::LayoutDirectionAuto;
  }
}

// Lets Canvas draw through Painter while this object lives, e.g. for the length of a
// control's Paint. Scopes nest: the previous painter comes back at the end.
class TCanvasPainting {
 public:
  // SaveState false: the caller saves and restores the painter's state round it.
  TCanvasPainting(TCanvas& Canvas, QPainter& Painter, bool SaveState = true);
  ~TCanvasPainting();
  TCanvasPainting(const TCanvasPainting&) = delete;
  TCanvasPainting& operator=(const TCanvasPainting&) = delete;

 private:
  TCanvas& canvas_;
  QPainter& painter_;
  QPainter* previous_;
  bool saved_;
};

// Blends Source of Image (unscaled: Dest has its size) where Dest meets Parts, one
// rectangle at a time under a clip of just that rectangle: under a clip of many thin
// strips the raster engine blends span by span.
void DrawImageParts(QPainter& Painter, const QRect& Dest, const QImage& Image, const QRect& Source,
                    const QRegion& Parts);

struct TCanvasAccess {
  // Makes Canvas draw on Image through a painter of its own, opened on first use;
  // Changed runs whenever that painter opens, i.e. before the image is drawn on, and
  // Wanted before the canvas reads or draws on the image at all.
  static void SetImage(TCanvas& Canvas, QImage* Image, std::function<void()> Changed,
                       std::function<void()> Wanted = {});
  // Closes the canvas' own painter, so the image may be changed or resized directly.
  static void EndPainting(const TCanvas& Canvas);
  // The image a bitmap's canvas draws on, or null for other canvases.
  static const QImage* Image(const TCanvas& Canvas);
  static QPainter* AttachPainter(TCanvas& Canvas, QPainter* Painter);
  static TCanvas::Impl& ImplOf(TCanvas& Canvas) { return *Canvas.impl_; }
  // Draws Image stretched into Dest, unaffected by the pen mode.
  static void DrawImage(TCanvas& Canvas, const TRect& Dest, const QImage& Image,
                        const QRect& Source);
  // Covers Area with Image laid edge to edge from Origin, as one pattern fill: a tiny
  // picture tiled over a screen costs what a large one does. Mode says how the pattern
  // combines with what lies under it.
  static void TileImage(TCanvas& Canvas, const TRect& Area, QPoint Origin, const QImage& Image,
                        QPainter::CompositionMode Mode = QPainter::CompositionMode_SourceOver);
  // The canvas' Qt side, for drawing the canvas itself does not offer.
  static TCanvas::Impl& Internals(TCanvas& Canvas) { return *Canvas.impl_; }
};

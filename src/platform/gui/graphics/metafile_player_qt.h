// Platform-internal: the record player of the metafile picture (see metafile.h). It reads
// the records of either form and plays them onto a painter, or only counts what playing
// them would cost, so that the picture can tell a play it may spend a paint on from one
// it has to keep as drawn.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QSize>
#include <atomic>
#include <cstdint>
#include <span>

#include "platform/gui/graphics/metafile.h"

// Drawing the records, or only adding up what each would cost; roughly (for a first look
// while the picture is drawn in full: edges not smoothed, a line of text drawn as a run,
// its characters not each at its own advance), or in full.
enum class TPlayMode { Draw, DrawRough, Measure, MeasureRough };

class TMetafileBitmapCache;

// The picture's own frame in pixels at 96 per inch (0 x 0 when the file claims none).
QSize MetafileFrameSize(std::span<const std::uint8_t> Data, bool Enhanced);

// Plays the records into Target (the painter's coordinates), clipped to it. Cancelled,
// when given, stops the play between two records. Bitmaps, when given, are the picture's
// bitmaps decoded before, and keeps those decoded now. Returns whether a raster operation
// combined a bitmap or brush with what lay under it.
bool PlayMetafile(QPainter& Painter, const QRectF& Target, std::span<const std::uint8_t> Data,
                  bool Enhanced, TPlayMode Mode = TPlayMode::Draw,
                  const std::atomic<bool>* Cancelled = nullptr,
                  TMetafileBitmapCache* Bitmaps = nullptr);

// What playing the records into Target costs on a device of Ratio pixels a unit, counted
// without drawing: nanoseconds of a core (see the costs in metafile_player_impl_qt.h), and
// whether a raster operation would combine a bitmap or brush with what lies under it, and
// what of its bitmaps the play keeps (see TMetafileBitmapClaim). A bitmap in Bitmaps costs
// no decoding.
struct TMetafileWork {
  double Nanoseconds = 0;
  bool ReadsBackdrop = false;
  TMetafileBitmapClaim Bitmaps;
};
TMetafileWork MetafileWork(const QSizeF& Target, double Ratio, std::span<const std::uint8_t> Data,
                           bool Enhanced, TPlayMode Mode = TPlayMode::Measure,
                           TMetafileBitmapCache* Bitmaps = nullptr);

// Platform-internal: the player behind metafile_player_qt.h, shared by the files that
// play each family of records.
#pragma once

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>
#include <QRegion>
#include <QTransform>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <list>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "platform/gui/graphics/graphic_limits.h"
#include "platform/gui/graphics/metafile_player_qt.h"
#include "platform/text/code_pages.h"

namespace metafile_play {

// Reads little-endian numbers from a record; what lies outside it reads as 0, and At
// tells whether a field is there at all.
class TRecord {
 public:
  explicit TRecord(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Has(std::size_t at, std::size_t size) const {
    return at <= bytes_.size() && size <= bytes_.size() - at;
  }
  std::uint32_t U8(std::size_t at) const { return Has(at, 1) ? bytes_[at] : 0; }
  std::uint32_t U16(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
  std::int32_t I16(std::size_t at) const { return std::int16_t(U16(at)); }
  std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
  std::int32_t I32(std::size_t at) const { return std::int32_t(U32(at)); }
  float F32(std::size_t at) const {
    const std::uint32_t bits = U32(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  // The bytes at..at+size, which the caller has checked are there.
  TRecord Sub(std::size_t at, std::size_t size) const { return TRecord(bytes_.subspan(at, size)); }
  std::span<const std::uint8_t> Bytes(std::size_t at, std::size_t size) const {
    return bytes_.subspan(at, size);
  }
  std::size_t Size() const { return bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// A point of a Windows metafile record (y first) and of an enhanced one.
inline QPointF WindowsPoint(const TRecord& r, std::size_t at) {
  return QPointF(r.I16(at + 2), r.I16(at));
}
inline QPointF EnhancedPoint(const TRecord& r, std::size_t at) {
  return QPointF(r.I32(at), r.I32(at + 4));
}
// A box of a Windows metafile record (bottom, right, top, left) and of an enhanced one.
inline QRectF WindowsBox(const TRecord& r, std::size_t at) {
  return QRectF(QPointF(r.I16(at + 6), r.I16(at + 4)), QPointF(r.I16(at + 2), r.I16(at)))
      .normalized();
}
inline QRectF EnhancedRect(const TRecord& r, std::size_t at) {
  return QRectF(EnhancedPoint(r, at), EnhancedPoint(r, at + 8)).normalized();
}

constexpr double kPixelsPerInch = 96;

struct TFontSpec {
  int Height = 0;  // < 0: character height, > 0: cell height, 0: a default
  int Weight = 400;
  int Escapement = 0;  // tenths of a degree, counter-clockwise
  bool Italic = false, Underline = false, StrikeOut = false;
  int Charset = DEFAULT_CHARSET;  // the code page of 8-bit text
  QString Face;

  bool operator==(const TFontSpec&) const = default;
};

// A region object of a Windows metafile: rectangles in logical units.
using TRegionRects = std::vector<QRectF>;

using TObject = std::variant<std::monostate, QPen, QBrush, TFontSpec, TRegionRects>;

// The drawing state that SaveDC keeps and RestoreDC brings back.
struct TDeviceState {
  QPen Pen{Qt::black};
  QBrush Brush{Qt::white};
  TFontSpec Font;
  QColor TextColor{Qt::black};
  QColor BackColor{Qt::white};
  bool OpaqueBack = true;
  // How pens and fills combine with what lies under them (SetROP2); text and bitmaps go
  // by their own.
  QPainter::CompositionMode Mix = QPainter::CompositionMode_SourceOver;
  std::uint32_t TextAlign = 0;
  Qt::FillRule FillRule = Qt::OddEvenFill;
  QPointF Current;
  std::uint32_t MapMode = 1;
  QPointF WindowOrg, ViewportOrg;
  QSizeF WindowExt, ViewportExt;
  QTransform World;
  // Where drawing may show, in the target's coordinates, when Clipped; else the whole target.
  bool Clipped = false;
  QRegion Clip;
  // The rectangles of the clip in a full play: Clip's own, or more where a count or a
  // first look kept it coarser (see kMaxRoughClipRects).
  double ClipRects = 0;
};

// The work a picture may spend on smoothed edges (see DrawVisiblePart), under 0.1 s;
// the 1,000-point zig-zag asks for 80 times as much. From there on its edges are not
// smoothed, which makes overlapping fills several times cheaper.
constexpr double kSmoothingBudget = 5e7;

// What a play costs, in nanoseconds of a core as measured on the pictures that cost most
// (a loaded machine takes several times as long): every record read, every pixel the
// rasterizer covers for a bitmap, for a thin pen's lines and a wide pen's ink drawn in
// pieces (counted generously: their edges are smoothing work), for a fill and the ink of a
// wide pen filled as one outline (one colour, about half a nanosecond: 580 fills of an A4
// page at 300 dpi took 2 s, and 20 smoothed ellipses of 1920 x 1080 with a pen as wide 28
// ms; a pattern four times that), every unit of smoothing work, and every character of
// text, its layout and its pixels (a spaced text line is one run of glyphs at the places
// given; for letters larger than Qt's glyph images see kOutlineWork).
constexpr double kRecordWork = 300;
constexpr double kPixelWork = 20;
constexpr double kInkPixelWork = 4;
constexpr double kFillPixelWork = 0.5;
constexpr double kPatternPixelWork = 2;
// A smoothed shape drawn in bands of rows (see DrawVisiblePart) is outlined and cut into
// them first: 1,000 lines 10 units wide took 0.18 s at 1280 x 720 and 0.6 s at A4 and 300
// dpi, a tenth of a millisecond each beside their ink.
constexpr double kBandedShapeWork = 1e5;
// Every row an edge of a shape crosses when it is filled unsmoothed (see TInkCost): the
// zig-zag of 4,000 points with a pen 3 units wide crossed 4.3 million at 1920 x 1080 and
// took 0.25 s, 14 million at A4 and 300 dpi and took 0.66 s. Counted at 50 ns, the
// zig-zags of 1,000 points were priced below their play at every size (59 ms against
// 71 ms at 1080p, 133 against 157 at 4K): the stroker's joins and the rasterizer's sorting
// of the many edges a row holds come on top. A play that still takes longer than counted
// raises the price it is kept by (see TMetafile::Draw).
constexpr double kEdgeRowWork = 60;
// The same for a pen's ink drawn a segment or two at a time (see TInkCost::InPieces), whose
// rows each hold a few edges.
constexpr double kPieceEdgeRowWork = 20;
// And every piece: its outline stroked and joined alone. A polyline of 60,000 points a fifth
// of a pixel apart with a pen of 6 pixels took 3.7 microseconds a point.
constexpr double kPieceWork = 3000;
constexpr double kSmoothingWork = 2;
// Every line a pen of a device pixel draws (see TInkCost::Lines), set up alone: polylines of
// 960,000 points a fifth of a pixel apart took 76 ms, and 103 ms dotted.
constexpr double kThinLineWork = 100;
constexpr double kRunGlyphWork = 1500;  // drawn in a run of text
constexpr double kGlyphPixelWork = 5;
// Every rectangle a clip record's region operation takes in or makes: the operations cost
// what the regions hold, and 5,800 excluded rectangles made a clip of 20,000 whose
// operations took seconds.
constexpr double kClipRectWork = 20;
// A count or a first look keeps its clip to this many rectangles (a finer one is taken as
// its bounding box there), counting the work the full play's clip would make.
constexpr int kMaxRoughClipRects = 128;
// Building a font the text records ask for: Qt matches its face and loads it at its size.
// A picture switching to a new font before each line spent most of its paint there.
constexpr double kFontWork = 7e5;
// The fonts a play keeps: a picture switching among many builds each once; and the
// outlines of large letters they keep, about 3 KB each.
constexpr std::size_t kKeptFonts = 256;
constexpr std::size_t kKeptOutlines = 4096;
// Letters too large for Qt's glyph images are filled one by one from their outlines: the
// outline of each letter of a font loaded once (Qt resizes the font's face for it), and
// each fill costing by the rows and edges of the letter's size and, less, by its pixels.
constexpr double kOutlineWork = 5e4;
constexpr double kFilledGlyphWork = 250;        // a pixel of the size
constexpr double kFilledGlyphPixelWork = 0.25;  // a pixel of the size squared

// Where a bitmap record draws, in logical units: a parallelogram from a corner along two
// sides; for a rectangle its top and left side, a negative one mirroring the bitmap.
struct TDest {
  QPointF Corner, Across, Down;
  TDest(const QPointF& corner, const QPointF& across, const QPointF& down)
      : Corner(corner), Across(across), Down(down) {}
  // Every record but one draws into a rectangle.
  TDest(const QRectF& r)  // NOLINT(google-explicit-constructor)
      : Corner(r.topLeft()), Across(r.width(), 0), Down(0, r.height()) {}
  bool Empty() const { return Across.x() * Down.y() - Across.y() * Down.x() == 0; }
  QPolygonF Outline() const {
    return QPolygonF({Corner, Corner + Across, Corner + Across + Down, Corner + Down});
  }
  // A part of the given size in pixels, from its top left, onto the parallelogram.
  QTransform From(const QSizeF& part) const {
    return QTransform(Across.x() / part.width(), Across.y() / part.width(),
                      Down.x() / part.height(), Down.y() / part.height(), Corner.x(), Corner.y());
  }
};

// How a blending record mixes its bitmap into the picture: at a constant opacity, and
// by each pixel's alpha when SourceAlpha (its colours then premultiplied by it).
struct TBlend {
  double Opacity = 1;
  bool SourceAlpha = false;
};

// How a clip record combines a region with the clip, numbered as the records number it.
enum class TClipCombine : std::uint32_t { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

// Raster operations work on colours alone: on a device whose pixels hold alpha, colours
// they leave above their alpha are held to it, in the device's pixels Box covers (see
// metafile_bitmaps.cpp).
void HoldToAlpha(QPainter& painter, const QRectF& box);

class TPlayer {
 public:
  // Cancelled, when given, stops the play between records.
  TPlayer(QPainter& painter, const QRectF& target, TPlayMode mode = TPlayMode::Draw,
          const std::atomic<bool>* cancelled = nullptr)
      : painter_(painter),
        target_(target),
        measuring_(mode == TPlayMode::Measure || mode == TPlayMode::MeasureRough),
        rough_(mode == TPlayMode::DrawRough || mode == TPlayMode::MeasureRough),
        cancelled_(cancelled),
        shown_(measuring_ ? target : target & DeviceView(painter)) {
    if (rough_) smoothing_left_ = -1;
    painter_.save();  // the clip of the records is set on a level of its own
  }

  ~TPlayer() { painter_.restore(); }

  TPlayer(const TPlayer&) = delete;
  TPlayer& operator=(const TPlayer&) = delete;
  void PlayWindows(std::span<const std::uint8_t> bytes);
  void PlayEnhanced(std::span<const std::uint8_t> bytes);
  // The bitmaps of Picture, the bytes to be played, decoded before and to be kept once
  // decoded (none: each decoded as it is played).
  void KeepBitmapsIn(TMetafileBitmapCache* cache, std::span<const std::uint8_t> picture);

  // The work of the records played so far, in nanoseconds.
  double Work() const { return work_; }

  // Whether a raster operation combined a bitmap or brush with what lay under it.
  bool ReadBackdrop() const { return read_backdrop_; }
  // The pixels of the bitmaps played so far, as their headers claim them, and whether
  // any was left out as they no longer fitted.
  std::int64_t BitmapPixels() const { return kMaxPictureBitmapPixels - bitmap_pixels_left_; }
  bool LeftBitmapsOut() const { return left_bitmaps_out_; }

 private:
  bool Cancelled() const { return cancelled_ && cancelled_->load(std::memory_order_relaxed); }

  // The part of the target that drawing may show, in its coordinates.
  QRectF View() {
    SettleClip();
    return state_.Clipped ? QRectF(state_.Clip.boundingRect()) & shown_ : shown_;
  }
  // What of the painter's device its clip lets show, in the device's coordinates: a
  // target far larger than the device is drawn only where it lies on it.
  static QRectF DeviceView(const QPainter& painter);

  // Nothing of a drawing shows: the clip holds nothing.
  bool ClippedAway() {
    SettleClip();
    return state_.Clipped && state_.Clip.isEmpty();
  }

  // Puts the clip of the records on the painter, on its own level inside the target's.
  void ApplyClip();

  // A shape's cost, and its drawing unless measuring; Shape is in the painter's space.
  void Ink(const QPainterPath& shape);
  // Whether Shape, drawn with the painter's pen, brush and transform, repeats the shape the
  // record before drew, both unsmoothed and opaque: it then puts no pixel on the device
  // that is not there already.
  bool RepeatsLastInk(const QPainterPath& shape) const;

  // A rectangle in logical units as pixels of the target: GDI leaves out the right and
  // bottom edges. Coordinates far beyond the target are held near it first.
  QRegion TargetRegion(const QRectF& logical) const;
  QRegion WholeTarget() const { return QRegion(target_.toAlignedRect()); }

  // Makes Clip the clip, counting the work of the operation that made it: the rectangles
  // it took in (a region's, and the clip's when made of it) and made.
  void SetClip(const QRegion& clip, double regionRects, bool ofClip);
  void DropClip();
  void CombineClip(const QRegion& region, TClipCombine how);
  // A clip record intersecting (And) or excluding (Diff) a region, combined with the clip
  // when something asks for it: a file of thousands of such records with a drawing after
  // every tenth spent seconds on the clip's operations, which grew with every record.
  void GatherClip(const QRegion& region, TClipCombine how);
  // Combines the regions gathered since with the clip.
  void SettleClip();
  void ForgetGatheredClip();
  // The union of the rectangles, which may overlap, in the target's pixels.
  QRegion UnionOf(std::vector<QRect> rects);

  // The clip moved by an offset in logical units.
  void OffsetClip(const QPointF& offset);

  // A Windows metafile's region object: its bounds, then scans of a top, a bottom and
  // left-right pairs, each scan's count before and after its pairs.
  static TRegionRects RegionObject(const TRecord& r);
  void SelectClipRegion(std::uint32_t index);

  // The path made since BeginPath, filled by its fill rule, combined with the clip as the
  // mode says; the path is used up. Priced as a fill of what of it shows.
  void SelectClipPath(std::uint32_t mode);

  // An enhanced metafile's region data: a 32-byte header with the count of rectangles,
  // then the rectangles, in the reference device's pixels.
  void SelectEnhancedClip(const TRecord& r);

  // The bitmap of a record: its header with the colour table (Bits empty: the rows follow
  // it), and the part of it drawn, in pixels from its top left or, for the records that
  // count rows as the bitmap stores them, from its bottom left.
  struct TSource {
    std::span<const std::uint8_t> Info, Bits;
    QRectF Part;
    bool FromBottom = false;
  };

  // A blending record's function: operation, flags, the constant alpha, the alpha format.
  static TBlend BlendOf(std::uint32_t function);
  // Takes a bitmap's pixels, as its header claims them, from what the picture's bitmaps
  // may still hold, and returns them; -1, taking nothing, when they do not fit, its runs
  // cannot set them or the header cannot be read: the bitmap is left out.
  std::int64_t TakeBitmapPixels(const TSource& source);
  // The pixels of a source, with their alpha when WithAlpha, as drawn (decoding one not
  // yet decoded costs its pixels' work); none when it is left out, cannot be read, or is
  // too large to decode for a first look. A null image while measuring.
  std::optional<QImage> SourceImage(const TSource& source, bool withAlpha);

  // The bitmap records; false for a record of another family.
  bool WindowsBitmapRecord(std::uint32_t function, const TRecord& r);
  bool EnhancedBitmapRecord(std::uint32_t type, const TRecord& r);

  // A bitmap record: a raster operation without a source fills Dest with the brush or a
  // colour. Within, when given, is what of the source's part it draws, in the part's
  // pixels from its top left.
  void Blit(const TDest& dest, const std::optional<TSource>& source, std::uint32_t rop,
            TBlend blend = {}, const std::optional<QRegion>& within = std::nullopt);

  // A bitmap record with a mask (MaskBlt, PlgBlt): where the mask's pixel is set the
  // operation in the low three bytes of Rop4 draws, elsewhere the one its top byte
  // numbers; without a mask the first alone. The mask's part lies over the source's.
  void MaskedBlit(const TDest& dest, const std::optional<TSource>& source,
                  const std::optional<TSource>& mask, std::uint32_t rop4);

  // The pixels of a mask's part that are set (not black), from the part's top left; its
  // cost counts as a pixel's work each. None when they take more than kMaxMaskRuns runs.
  std::optional<QRegion> SetPixels(const QImage& mask, const QRect& part);

  // The pixels with their alpha (one a pixel, none when they are opaque) as premultiplied
  // ones; a colour above its alpha, which no premultiplied pixel has, is held to it.
  static QImage WithAlpha(const QImage& opaque, const std::vector<std::uint8_t>& alpha);

  // An enhanced metafile's bitmap: its header and rows at the offsets the record gives.
  static std::optional<TSource> EnhancedDib(const TRecord& r, std::size_t at, QRectF part,
                                            bool fromBottom);

  // A Windows metafile's bitmap, packed after the record's first At bytes.
  static std::optional<TSource> WindowsDib(const TRecord& r, std::size_t at, QRectF part,
                                           bool fromBottom);

  // An old record's device-dependent bitmap (type, width, height, bytes a row, planes,
  // bits a pixel, then the rows from the top, each padded to 16 bits) made a packed DIB
  // in Converted. A monochrome one takes the text colour where its bits are clear and
  // the background colour where they are set, as GDI draws it on a colour device; of
  // the others only those whose pixels carry their colour (not an index into a device's
  // palette) have a meaning here.
  std::optional<TSource> DeviceBitmap(const TRecord& r, std::size_t at, QRectF part,
                                      std::vector<std::uint8_t>& converted) const;

  // Logical coordinates to the target rectangle.
  QTransform Transform() const;
  QTransform FrameToTarget(const QRectF& frame) const;
  QTransform PageScale() const;
  void Select(const TObject& object);
  void SelectStock(std::uint32_t index);
  void Store(std::uint32_t index, TObject object);

  // A Windows metafile's new object takes the lowest free slot.
  void Create(TObject object);
  void SelectIndex(std::uint32_t index);
  void Save();
  void Restore(int which);
  void Prepare(bool fill);
  void Shape(const QPainterPath& shape, bool fill);

  // A filled rectangle, with corners rounded by an ellipse of the given size when it has one.
  void Rectangle(const QRectF& box, double cornerWidth = 0, double cornerHeight = 0);
  void Ellipse(const QRectF& box);
  void Poly(const QPolygonF& points, bool closed);
  void PolyTo(const QPolygonF& points, bool bezier);
  void Bezier(const QPolygonF& points);
  void LineTo(const QPointF& to);
  void MoveTo(const QPointF& to);

  enum class TArc { Open, Chord, Pie };
  void Arc(const QRectF& box, const QPointF& start, const QPointF& end, TArc kind);

  // The outlines of one face's glyphs that were filled (see FillGlyphs).
  struct TFaceOutlines {
    QRawFont Face;
    std::unordered_map<quint32, QPainterPath> Glyphs;
  };

  // A font the text records draw in, built once for the records that ask for it: with the
  // same face, weight and style at the same size (a character height to the pixel, a cell
  // height exactly).
  struct TTextFont {
    TFontSpec Spec;
    double Wanted;  // the height the records ask, in device pixels
    QFont Font;
    // The character size before a cell height is turned into one: what the work counts.
    int AskedPixelSize;
    std::optional<QFontMetricsF> Metrics;  // once drawn with, when the cell height is known
    std::optional<QRawFont> Face;          // once its glyphs are looked up
    // The outlines of the glyphs drawn too large for Qt's glyph images, by the face they
    // come from (a character the font lacks comes from another); and the characters whose
    // outlines were counted, which is what keeping them is bounded by.
    std::vector<TFaceOutlines> Outlines;
    std::unordered_set<char16_t> Outlined;

    bool Fits(const TFontSpec& spec, double wanted) const;
  };

  // The font kept for Spec at Wanted pixels, built (and counted) when none fits.
  TTextFont& TextFont(const TFontSpec& spec, double wanted);
  void DropFont(std::list<TTextFont>::iterator font);

  // The font with its metrics, for drawing: a cell height (Height > 0) leaves the
  // character height of what the font's ascent and descent take of it.
  static const QFontMetricsF& DrawnMetrics(TTextFont& drawn);
  static const QRawFont& FaceOf(TTextFont& drawn);

  // Whether the font's letters are drawn too large for Qt's glyph images (as counted: at
  // the size asked, on the device), and not underlined or struck out, which Qt draws with
  // the letters. Qt fills such letters from their outlines; so does the play, from
  // outlines it keeps (see FillsOutlines).
  bool LargeLetters(const TTextFont& drawn) const;
  // What drawing Text in the font costs; the characters of large letters are counted as
  // keeping their outlines.
  void CountText(TTextFont& drawn, const QString& text);
  // Whether the painter draws the font's large letters where Qt would fill their outlines.
  bool FillsOutlines(const TTextFont& drawn) const;
  // Glyphs of Face at Positions from Origin filled one by one from the outlines the font
  // keeps, with the painter's pen.
  void FillGlyphs(TTextFont& drawn, const QRawFont& face, const QList<quint32>& glyphs,
                  const QList<QPointF>& positions, const QPointF& origin);
  // A line of text as QPainter draws it with the painter's font and pen, its baseline
  // starting at Origin: its large letters laid out as QPainter lays them out and filled
  // from kept outlines.
  void DrawLine(TTextFont& drawn, const QPointF& origin, const QString& text);

  // A line of text for a first look: its characters' glyphs at the font's own advances,
  // not laid out (no shaping, no fallback fonts), which spares the layout of every line.
  // Text that needs either is drawn as text.
  void DrawRoughRun(TTextFont& drawn, const QPointF& origin, const QString& text);
  // A line whose characters each stand where Xs puts them (from Origin), with the painter's
  // pen: one run of the font's glyphs, shaped by nothing and laid out once, however many
  // characters it holds. A character the font lacks (or a control character) is laid out
  // alone, which finds the face that has it.
  void DrawSpacedRun(TTextFont& drawn, const QPointF& origin, const QString& text,
                     std::span<const double> xs);
  // Glyphs of the font's own face at Positions from Origin, with the painter's pen; large
  // letters filled from kept outlines.
  void DrawGlyphs(TTextFont& drawn, const QPointF& origin, const QList<quint32>& glyphs,
                  const QList<QPointF>& positions);
  void Text(QPointF at, const QString& text, std::span<const double> advances,
            std::uint32_t options, std::optional<QRectF> box);
  static QPolygonF Points(const TRecord& r, std::size_t at, std::uint32_t count, bool wide);

  // The polygons of a poly-polygon record: counts, then all the points.
  void PolyPoly(const TRecord& r, std::size_t countsAt, std::uint32_t polys, bool wide,
                bool closed);
  void WindowsRecord(std::uint32_t function, const TRecord& r);
  void EnhancedRecord(std::uint32_t type, const TRecord& r);
  // The records of each family; false for a record of another.
  bool WindowsStateRecord(std::uint32_t function, const TRecord& r);
  bool EnhancedStateRecord(std::uint32_t type, const TRecord& r);
  bool WindowsClipRecord(std::uint32_t function, const TRecord& r);
  bool EnhancedClipRecord(std::uint32_t type, const TRecord& r);
  bool WindowsDrawingRecord(std::uint32_t function, const TRecord& r);
  bool EnhancedDrawingRecord(std::uint32_t type, const TRecord& r);
  bool WindowsTextRecord(std::uint32_t function, const TRecord& r);
  bool EnhancedTextRecord(std::uint32_t type, const TRecord& r);
  static std::optional<QTransform> Xform(const TRecord& r, std::size_t at);

  // 8-bit text is in the code page of its font's character set. Where a character takes
  // two bytes the per-byte advances no longer fit: the callers then let the font place it.
  QString EightBitText(const TRecord& r, std::size_t at, std::uint32_t n) const;
  static QString FaceName(const TRecord& r, std::size_t at, std::size_t chars, bool wide);

  QPainter& painter_;
  QRectF target_;
  bool measuring_;
  bool rough_;
  const std::atomic<bool>* cancelled_;
  QRectF shown_;  // the part of the target on the device, or all of it when counting
  double work_ = 0;
  bool read_backdrop_ = false;
  double smoothing_left_ = kSmoothingBudget;
  // The records played so far, and the last shape inked, by the record that drew it, as it
  // was drawn (see RepeatsLastInk).
  std::size_t records_ = 0;
  struct TInked {
    std::size_t Record = 0;
    QPainterPath Shape;
    QTransform Transform;
    QPen Pen;
    QBrush Brush;
    QRectF View;
    bool Unsmoothed = false;
  };
  std::optional<TInked> last_ink_;
  bool clip_changed_ = false;
  // The clip records gathered and not yet combined with the clip: what they intersect it
  // with, and the rectangles they exclude from it.
  std::optional<QRegion> kept_by_clip_;
  std::vector<QRect> cut_from_clip_;
  QRectF frame_;
  QPointF pixels_per_mm_{kPixelsPerInch / 25.4, kPixelsPerInch / 25.4};
  bool enhanced_ = false;
  TDeviceState state_;
  std::vector<TDeviceState> saved_;
  std::vector<TObject> objects_;
  bool in_path_ = false;
  QPainterPath path_;
  std::list<TTextFont> text_fonts_;  // the latest drawn with first
  std::size_t kept_outlines_ = 0;    // the characters Outlined in them
  // The bitmaps decoded before and kept (see KeepBitmapsIn), and the bytes they are in.
  TMetafileBitmapCache* bitmap_cache_ = nullptr;
  std::span<const std::uint8_t> picture_;
  // What the bitmaps played may still claim, and the last one decoded (a masked record
  // draws its bitmap twice), by where its header starts.
  std::int64_t bitmap_pixels_left_ = kMaxPictureBitmapPixels;
  bool left_bitmaps_out_ = false;
  const std::uint8_t* last_bitmap_at_ = nullptr;
  QImage last_bitmap_;
};

}  // namespace metafile_play

// The fonts the text records draw in, kept for the play, and their letters drawn too large
// for Qt's glyph images, filled one by one from outlines kept with the font.
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "platform/gui/graphics/metafile_player_impl_qt.h"
#include "platform/gui/graphics/text_shaping_qt.h"

namespace metafile_play {

namespace {

int PixelSize(double wanted) {
  return int(std::clamp(std::lround(wanted), 1L, 4096L));
}

// Qt keeps a glyph as an image up to this size on the device, and fills a larger one
// from its outline.
constexpr double kLargestKeptGlyph = 64;

}  // namespace

bool TPlayer::TTextFont::Fits(const TFontSpec& spec, double wanted) const {
  const bool cell = spec.Height > 0;
  return Spec.Face == spec.Face && Spec.Weight == spec.Weight && Spec.Italic == spec.Italic &&
         Spec.Underline == spec.Underline && Spec.StrikeOut == spec.StrikeOut &&
         (Spec.Height > 0) == cell &&
         (cell ? Wanted == wanted : AskedPixelSize == PixelSize(wanted));
}

TPlayer::TTextFont& TPlayer::TextFont(const TFontSpec& spec, double wanted) {
  const auto kept = std::find_if(text_fonts_.begin(), text_fonts_.end(),
                                 [&](const TTextFont& f) { return f.Fits(spec, wanted); });
  if (kept != text_fonts_.end()) {
    text_fonts_.splice(text_fonts_.begin(), text_fonts_, kept);
    return text_fonts_.front();
  }
  work_ += kFontWork;
  QFont font(spec.Face.isEmpty() ? QStringLiteral("Sans Serif") : spec.Face);
  font.setWeight(QFont::Weight(std::clamp(spec.Weight / 10 * 10, 100, 900)));
  font.setItalic(spec.Italic);
  font.setUnderline(spec.Underline);
  font.setStrikeOut(spec.StrikeOut);
  font.setPixelSize(PixelSize(wanted));
  if (text_fonts_.size() == kKeptFonts) DropFont(std::prev(text_fonts_.end()));
  text_fonts_.push_front(TTextFont{spec, wanted, font, font.pixelSize(), {}, {}, {}, {}});
  return text_fonts_.front();
}

void TPlayer::DropFont(std::list<TTextFont>::iterator font) {
  kept_outlines_ -= font->Outlined.size();
  text_fonts_.erase(font);
}

const QFontMetricsF& TPlayer::DrawnMetrics(TTextFont& drawn) {
  if (drawn.Metrics) return *drawn.Metrics;
  if (drawn.Spec.Height > 0) {
    const double cell = QFontMetricsF(drawn.Font).height();
    if (cell > 0) drawn.Font.setPixelSize(PixelSize(drawn.Wanted * drawn.AskedPixelSize / cell));
  }
  return drawn.Metrics.emplace(drawn.Font);
}

const QRawFont& TPlayer::FaceOf(TTextFont& drawn) {
  if (!drawn.Face) drawn.Face = QRawFont::fromFont(drawn.Font);
  return *drawn.Face;
}

bool TPlayer::LargeLetters(const TTextFont& drawn) const {
  return !drawn.Spec.Underline && !drawn.Spec.StrikeOut &&
         drawn.AskedPixelSize * (measuring_ ? 1 : painter_.device()->devicePixelRatio()) >
             kLargestKeptGlyph;
}

void TPlayer::CountText(TTextFont& drawn, const QString& text) {
  const double size = drawn.AskedPixelSize;
  if (!LargeLetters(drawn)) {
    work_ += double(text.size()) * (kRunGlyphWork + size * size * kGlyphPixelWork);
    return;
  }
  work_ += double(text.size()) *
           (kRunGlyphWork + size * kFilledGlyphWork + size * size * kFilledGlyphPixelWork);
  for (const QChar c : text) {
    if (drawn.Outlined.contains(c.unicode())) continue;
    // The outlines kept are bounded: those of the fonts drawn with longest ago go first,
    // and a font holding them all starts afresh.
    while (kept_outlines_ >= kKeptOutlines && text_fonts_.size() > 1)
      DropFont(std::prev(text_fonts_.end()));
    if (kept_outlines_ >= kKeptOutlines) {
      kept_outlines_ = 0;
      drawn.Outlined.clear();
      drawn.Outlines.clear();
    }
    drawn.Outlined.insert(c.unicode());
    ++kept_outlines_;
    work_ += kOutlineWork;
  }
}

// Qt draws a glyph larger than its glyph images from its outline, which it loads afresh
// for each line (resizing the font's face twice), and fills a line's outlines as one
// shape, which costs several times what filling each letter alone does.
bool TPlayer::FillsOutlines(const TTextFont& drawn) const {
  const double onDevice =
      drawn.Font.pixelSize() * std::sqrt(std::abs(painter_.deviceTransform().determinant()));
  return onDevice > kLargestKeptGlyph && LargeLetters(drawn);
}

void TPlayer::FillGlyphs(TTextFont& drawn, const QRawFont& face, const QList<quint32>& glyphs,
                         const QList<QPointF>& positions, const QPointF& origin) {
  auto kept = std::find_if(drawn.Outlines.begin(), drawn.Outlines.end(),
                           [&](const TFaceOutlines& f) { return f.Face == face; });
  if (kept == drawn.Outlines.end()) kept = drawn.Outlines.insert(kept, TFaceOutlines{face, {}});
  const bool smooth = painter_.testRenderHint(QPainter::Antialiasing);
  painter_.setRenderHint(QPainter::Antialiasing);
  const QBrush ink = painter_.pen().brush();
  for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
    const auto [outline, fresh] = kept->Glyphs.try_emplace(glyphs[i]);
    if (fresh) {
      outline->second = face.pathForGlyph(glyphs[i]);
      outline->second.setFillRule(Qt::WindingFill);
    }
    if (!outline->second.isEmpty())
      painter_.fillPath(outline->second.translated(origin + positions[i]), ink);
  }
  painter_.setRenderHint(QPainter::Antialiasing, smooth);
}

// Text with a control character (which QPainter lays out on its own) or one beyond the
// 16-bit range (a colour glyph Qt draws as an image) is left to QPainter.
void TPlayer::DrawLine(TTextFont& drawn, const QPointF& origin, const QString& text) {
  if (!FillsOutlines(drawn) || std::any_of(text.begin(), text.end(), [](QChar c) {
        return IsControl(c.unicode()) || c.isSurrogate();
      })) {
    painter_.drawText(origin, text);
    return;
  }
  QTextLayout layout(text, drawn.Font);
  QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
  option.setWrapMode(QTextOption::NoWrap);
  option.setTextDirection(painter_.layoutDirection());
  layout.setTextOption(option);
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  if (!line.isValid()) return;
  const QPointF topLeft = origin - QPointF(0, line.ascent());
  for (const QGlyphRun& run : line.glyphRuns())
    FillGlyphs(drawn, run.rawFont(), run.glyphIndexes(), run.positions(), topLeft);
}

void TPlayer::DrawRoughRun(TTextFont& drawn, const QPointF& origin, const QString& text) {
  const QRawFont& face = FaceOf(drawn);
  const QList<quint32> glyphs =
      face.isValid() ? face.glyphIndexesForString(text) : QList<quint32>();
  if (glyphs.size() != text.size() || glyphs.contains(0) || NeedsShaping(text)) {
    painter_.drawText(origin, text);
    return;
  }
  const QList<QPointF> advances = face.advancesForGlyphIndexes(glyphs);
  QList<QPointF> positions;
  positions.reserve(glyphs.size());
  QPointF pen;
  for (const QPointF& advance : advances) {
    positions.append(pen);
    pen += advance;
  }
  DrawGlyphs(drawn, origin, glyphs, positions);
}

void TPlayer::DrawSpacedRun(TTextFont& drawn, const QPointF& origin, const QString& text,
                            std::span<const double> xs) {
  const QRawFont& face = FaceOf(drawn);
  const QList<quint32> found = face.isValid() ? face.glyphIndexesForString(text) : QList<quint32>();
  QList<quint32> glyphs;
  QList<QPointF> positions;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QPointF at(xs[std::size_t(i)], 0);
    if (found.size() == text.size() && found[i] != 0 && !IsControl(text[i].unicode())) {
      glyphs.append(found[i]);
      positions.append(at);
    } else {
      DrawLine(drawn, origin + at, QString(text[i]));
    }
  }
  if (!glyphs.isEmpty()) DrawGlyphs(drawn, origin, glyphs, positions);
}

void TPlayer::DrawGlyphs(TTextFont& drawn, const QPointF& origin, const QList<quint32>& glyphs,
                         const QList<QPointF>& positions) {
  const QRawFont& face = FaceOf(drawn);
  if (FillsOutlines(drawn)) {
    FillGlyphs(drawn, face, glyphs, positions, origin);
    return;
  }
  QGlyphRun run;
  run.setRawFont(face);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  run.setUnderline(drawn.Font.underline());
  run.setStrikeOut(drawn.Font.strikeOut());
  painter_.drawGlyphRun(origin, run);
}

}  // namespace metafile_play

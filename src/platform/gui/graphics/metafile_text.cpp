// The text records of both metafile forms and the fonts they draw in.
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/graphics/metafile_player_impl_qt.h"
#include "platform/gui/graphics/text_shaping_qt.h"
#include "platform/text/code_pages.h"

namespace metafile_play {

bool TPlayer::WindowsTextRecord(std::uint32_t function, const TRecord& r) {
  switch (function) {
    case 0x0521: {
      const std::uint32_t n = r.U16(0);
      const std::size_t after = 2 + (n + 1) / 2 * 2;
      if (!r.Has(2, n) || !r.Has(after, 4)) return true;
      Text(QPointF(r.I16(after + 2), r.I16(after)), EightBitText(r, 2, n), {}, 0, std::nullopt);
      return true;
    }
    case 0x0A32: {
      const std::uint32_t n = r.U16(4);
      const std::uint32_t options = r.U16(6);
      std::size_t at = 8;
      std::optional<QRectF> rect;
      if (options & 6) {
        rect = QRectF(QPointF(r.I16(8), r.I16(10)), QPointF(r.I16(12), r.I16(14))).normalized();
        at += 8;
      }
      if (!r.Has(at, n)) return true;
      const QString text = EightBitText(r, at, n);
      std::vector<double> advances;
      const std::size_t dxAt = at + (n + 1) / 2 * 2;
      if (r.Has(dxAt, std::size_t(n) * 2) && std::size_t(text.size()) == n)
        for (std::uint32_t i = 0; i < n; ++i) advances.push_back(r.I16(dxAt + 2 * i));
      Text(QPointF(r.I16(2), r.I16(0)), text, advances, options, rect);
      return true;
    }
    case 0x02FB: {
      TFontSpec f;
      f.Height = r.I16(0);
      f.Escapement = r.I16(4);
      f.Weight = r.I16(8);
      f.Italic = r.U8(10) != 0;
      f.Underline = r.U8(11) != 0;
      f.StrikeOut = r.U8(12) != 0;
      f.Charset = int(r.U8(13));
      f.Face = FaceName(r, 18, 32, false);
      Create(f);
      return true;
    }
    default:
      return false;
  }
}

bool TPlayer::EnhancedTextRecord(std::uint32_t type, const TRecord& r) {
  switch (type) {
    case 82: {
      TFontSpec f;
      f.Height = r.I32(12);
      f.Escapement = r.I32(20);
      f.Weight = r.I32(28);
      f.Italic = r.U8(32) != 0;
      f.Underline = r.U8(33) != 0;
      f.StrikeOut = r.U8(34) != 0;
      f.Charset = int(r.U8(35));
      f.Face = FaceName(r, 40, 32, true);
      Store(r.U32(8), f);
      return true;
    }
    case 83:
    case 84: {
      const std::uint32_t n = r.U32(44);
      const std::uint32_t stringAt = r.U32(48);
      const std::uint32_t options = r.U32(52);
      const bool wide = type == 84;
      if (!r.Has(stringAt, std::size_t(n) * (wide ? 2 : 1))) return true;
      QString text;
      if (wide)
        for (std::uint32_t i = 0; i < n; ++i) text.append(QChar(char16_t(r.U16(stringAt + 2 * i))));
      else
        text = EightBitText(r, stringAt, n);
      std::vector<double> advances;
      const std::uint32_t dxAt = r.U32(72);
      if (dxAt != 0 && r.Has(dxAt, std::size_t(n) * 4) && std::size_t(text.size()) == n)
        for (std::uint32_t i = 0; i < n; ++i) advances.push_back(r.I32(dxAt + 4 * i));
      Text(EnhancedPoint(r, 36), text, advances, options,
           options & 6 ? std::optional(EnhancedRect(r, 56)) : std::nullopt);
      return true;
    }
    default:
      return false;
  }
}

void TPlayer::Text(QPointF at, const QString& text, std::span<const double> advances,
                   std::uint32_t options, std::optional<QRectF> box) {
  const QTransform t = Transform();
  const double scaleX = std::hypot(t.m11(), t.m12());
  const double scaleY = std::hypot(t.m21(), t.m22());
  if (state_.TextAlign & 1) at = state_.Current;  // TA_UPDATECP
  const TFontSpec& spec = state_.Font;
  const double wanted = std::abs(double(spec.Height != 0 ? spec.Height : 12)) * scaleY;
  TTextFont& drawn = TextFont(spec, wanted);
  const bool spaced = !advances.empty() && !rough_ && !NeedsShaping(text);
  CountText(drawn, text);
  if (measuring_) return;
  const QFontMetricsF& metrics = DrawnMetrics(drawn);
  const QFont& font = drawn.Font;
  std::vector<double> xs;     // where each character starts, in device pixels
  std::vector<double> steps;  // and how far it advances
  xs.reserve(std::size_t(text.size()));
  steps.reserve(std::size_t(text.size()));
  double width = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    xs.push_back(width);
    steps.push_back(std::size_t(i) < advances.size() ? advances[std::size_t(i)] * scaleX
                                                     : metrics.horizontalAdvance(text[i]));
    width += steps.back();
  }
  const std::uint32_t align = state_.TextAlign;
  const double dx = (align & 6) == 6 ? -width / 2 : (align & 2) ? -width : 0;
  const double dy = (align & 24) == 24 ? 0 : (align & 8) ? -metrics.descent() : metrics.ascent();
  if (align & 1) state_.Current = at + QPointF(width / scaleX, 0);
  // Text is never mirrored by the mapping, only placed and sized by it.
  QTransform placed = QTransform::fromTranslate(t.map(at).x(), t.map(at).y());
  placed.rotate(-(spec.Escapement / 10.0));
  // A line is drawn only where it shows: its cells, with a font height around them for
  // letters reaching beyond, and the box it fills.
  const double margin = metrics.height();
  QRectF reach =
      placed.mapRect(QRectF(dx, dy - metrics.ascent(), width, metrics.height()).normalized() +
                     QMarginsF(margin, margin, margin, margin));
  if (box && (options & 2)) reach |= t.mapRect(*box);
  if (ClippedAway() || !reach.intersects(View())) return;
  ApplyClip();
  painter_.save();
  painter_.setTransform(QTransform());
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);  // text mixes by none
  if (box && (options & 2)) painter_.fillRect(t.mapRect(*box), state_.BackColor);  // opaque
  if (box && (options & 4)) painter_.setClipRect(t.mapRect(*box), Qt::IntersectClip);
  painter_.setTransform(placed);
  painter_.setFont(font);
  if (state_.OpaqueBack && !(box && (options & 2)))
    painter_.fillRect(QRectF(dx, dy - metrics.ascent(), width, metrics.height()), state_.BackColor);
  painter_.setPen(state_.TextColor);
  if (rough_) {
    DrawRoughRun(drawn, QPointF(dx, dy), text);
  } else if (advances.empty()) {
    DrawLine(drawn, QPointF(dx, dy), text);
  } else if (!spaced) {
    DrawShapedTextWithAdvances(painter_, font, QPointF(dx, dy), text, steps);
  } else {
    DrawSpacedRun(drawn, QPointF(dx, dy), text, xs);
  }
  painter_.restore();
}

QString TPlayer::EightBitText(const TRecord& r, std::size_t at, std::uint32_t n) const {
  std::string bytes(n, '\0');
  for (std::uint32_t i = 0; i < n; ++i) bytes[i] = char(r.U8(at + i));
  const std::u16string text = CodePageToUtf16(CharsetToCodePage(state_.Font.Charset), bytes);
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

QString TPlayer::FaceName(const TRecord& r, std::size_t at, std::size_t chars, bool wide) {
  QString face;
  for (std::size_t i = 0; i < chars; ++i) {
    const std::uint32_t c = wide ? r.U16(at + 2 * i) : r.U8(at + i);
    if (c == 0) break;
    face.append(QChar(char16_t(c)));
  }
  return face;
}

}  // namespace metafile_play

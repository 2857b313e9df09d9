#include "platform/gui/graphics/wide_text.h"

#include <QChar>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"

namespace {

QString ToQ(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

}  // namespace

// A layout measures text again and again, so plain characters are measured once: the
// font is set up without shaping (no kerning, no ligatures for simple scripts), so the
// width of such a text is the sum of its characters' advances, and drawing agrees.
QFont PreparedQFont(const TFont& font) {
  QFont q = ToQFont(font);
  q.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferNoShaping));
  q.setKerning(false);
  return q;
}

constexpr std::int16_t kUnknown = -1;
constexpr std::int16_t kShaped = -2;  // needs the whole text: marks, surrogates, bidi

struct TPreparedFont::Impl {
  explicit Impl(const TFont& font) : qfont(PreparedQFont(font)), metrics(qfont) {}
  QFont qfont;
  QFontMetrics metrics;
  std::vector<std::int16_t> advances;  // per UTF-16 unit, filled on first use

  int Advance(char16_t ch) {
    if (advances.empty()) advances.assign(0x10000, kUnknown);
    std::int16_t& a = advances[ch];
    if (a == kUnknown) {
      const QChar c(ch);
      const bool plain = !c.isSurrogate() && !c.isMark() && c.category() != QChar::Other_Format &&
                         !TPreparedFont::IsRightToLeft(ch) && ch >= 0x20;
      a = plain ? std::int16_t(std::min(metrics.horizontalAdvance(c), 0x7FFF)) : kShaped;
    }
    return a;
  }
};

TPreparedFont::TPreparedFont(const TFont& Font) : impl_(std::make_unique<Impl>(Font)) {
  const QFontMetrics& m = impl_->metrics;
  metrics_.Height = m.height();
  metrics_.Ascent = m.ascent();
  metrics_.Descent = m.height() - m.ascent();
  metrics_.AveCharWidth = m.averageCharWidth();
  metrics_.ExternalLeading = std::max(0, m.leading());
  metrics_.UnderlinePosition = std::max(1, m.underlinePos());
  metrics_.LineWidth = std::max(1, m.lineWidth());
}

TPreparedFont::~TPreparedFont() = default;

int TPreparedFont::TextWidth(std::u16string_view Text) const {
  int width = 0;
  for (char16_t ch : Text) {
    const int a = impl_->Advance(ch);
    if (a < 0) return impl_->metrics.horizontalAdvance(ToQ(Text));
    width += a;
  }
  return width;
}

void TPreparedFont::PrefixExtents(std::u16string_view Text, std::vector<int>& Extents) const {
  Extents.resize(Text.size());
  int width = 0;
  size_t i = 0;
  for (; i < Text.size(); ++i) {
    const int a = impl_->Advance(Text[i]);
    if (a < 0) break;
    width += a;
    Extents[i] = width;
  }
  // From the first character that needs shaping on, every prefix is shaped on its own, as
  // TextWidth shapes it: the width of a prefix within the whole text can differ (a joining
  // form, a reordered run), and a layout must fit lines by the widths it draws.
  for (; i < Text.size(); ++i)
    Extents[i] = impl_->metrics.horizontalAdvance(ToQ(Text.substr(0, i + 1)));
}

bool TPreparedFont::IsRightToLeft(char16_t Ch) {
  switch (QChar(Ch).direction()) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirRLI:
      return true;
    default:
      return false;
  }
}

void CanvasTextOutW(TCanvas& Canvas, const TPreparedFont& Font, TColor Color, int X, int Y,
                    std::u16string_view Text, std::span<const int> Advances, const TRect* Clip,
                    bool Opaque) {
  TCanvas::Impl& impl = TCanvasAccess::ImplOf(Canvas);
  QPainter* painter = impl.Painter();
  if (!painter) return;
  const QFontMetrics& metrics = Font.impl_->metrics;
  const QString text = ToQ(Text);
  painter->save();
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (Clip) painter->setClipRect(ToQRect(*Clip), Qt::IntersectClip);
  if (Opaque && Canvas.Brush().Style() == bsSolid && Canvas.Brush().Color() != clNone) {
    int width = 0;
    if (Advances.empty())
      width = metrics.horizontalAdvance(text);
    else
      for (int a : Advances) width += a;
    const QRect box = Clip ? ToQRect(*Clip) : QRect(X, Y, width, metrics.height());
    painter->fillRect(box, ToQColor(Canvas.Brush().Color()));
  }
  if (Color != clNone) {
    painter->setFont(Font.impl_->qfont);
    painter->setPen(ToQColor(Color));
    const int baseline = Y + metrics.ascent();
    if (Advances.empty()) {
      painter->drawText(QPoint(X, baseline), text);
    } else {
      int x = X;
      for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is drawn as one character at its first unit's place.
        qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        painter->drawText(QPoint(x, baseline), text.mid(i, n));
        for (qsizetype k = 0; k < n && size_t(i + k) < Advances.size(); ++k)
          x += Advances[size_t(i + k)];
        i += n - 1;
      }
    }
  }
  painter->restore();
}

void CanvasIntersectClip(TCanvas& Canvas, const TRect& Rect) {
  if (QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter())
    painter->setClipRect(ToQRect(Rect), Qt::IntersectClip);
}

void CanvasSaveState(TCanvas& Canvas) {
  if (QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter()) painter->save();
}

void CanvasRestoreState(TCanvas& Canvas) {
  if (QPainter* painter = TCanvasAccess::ImplOf(Canvas).Painter()) painter->restore();
}

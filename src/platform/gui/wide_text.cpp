#include "platform/gui/wide_text.h"

#include <QChar>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "platform/gui/canvas_impl_qt.h"
#include "platform/gui/canvas_qt.h"

namespace {

QString ToQ(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

}  // namespace

struct TPreparedFont::Impl {
  explicit Impl(const TFont& font) : qfont(ToQFont(font)), metrics(qfont) {}
  QFont qfont;
  QFontMetrics metrics;
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
  if (Text.empty()) return 0;
  return impl_->metrics.horizontalAdvance(ToQ(Text));
}

void TPreparedFont::PrefixExtents(std::u16string_view Text, std::vector<int>& Extents) const {
  Extents.resize(Text.size());
  const QString text = ToQ(Text);
  for (qsizetype i = 0; i < text.size(); ++i)
    Extents[size_t(i)] = impl_->metrics.horizontalAdvance(text, int(i + 1));
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

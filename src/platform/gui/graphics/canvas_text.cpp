// The text half of TCanvas: fonts in Qt terms, measuring and drawing text.
#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/gui/graphics/unicode_text.h"
#include "platform/text/qt_string_qt.h"

namespace {

// A positive height is the whole cell; Qt sizes fonts by the character height, so
// scale the cell down to what this font adds above and below its characters.
int PixelSizeForCell(QFont font, int cellHeight) {
  font.setPixelSize(cellHeight);
  const int cell = QFontMetrics(font).height();
  if (cell <= cellHeight) return cellHeight;
  return std::max(1, cellHeight * cellHeight / cell);
}

constexpr int kDefaultPixelSize = 11;

// One line of laid-out text, with the position of its underlined character (-1: none).
struct TextLine {
  QString text;
  int underline = -1;
};

// Takes the '&' prefixes out: "&&" is '&', "&x" underlines x (the last one counts).
QString WithoutPrefixes(const QString& text, int& underline) {
  QString plain;
  underline = -1;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != u'&') underline = int(plain.size());
    }
    plain += text[i];
  }
  return plain;
}

// Splits the text into lines: at line breaks (CR LF, LF CR, or either alone, as the
// program writes them) unless tfSingleLine, and with tfWordBreak between words where
// the next word would pass maxWidth. A word wider than maxWidth keeps its own line.
std::vector<TextLine> LayOut(QString text, TTextFormat format, int maxWidth,
                             const QFontMetrics& metrics) {
  int underline = -1;
  if (!(format & tfNoPrefix)) text = WithoutPrefixes(text, underline);
  std::vector<TextLine> lines;
  qsizetype lineStart = 0;
  auto add = [&](qsizetype from, qsizetype to) {
    TextLine line{text.mid(from, to - from)};
    if (underline >= from && underline < to) line.underline = int(underline - from);
    lines.push_back(line);
  };
  for (qsizetype i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    const QChar c = end ? QChar() : text[i];
    const bool isBreak = !end && (c == u'\r' || c == u'\n');
    if (isBreak && (format & tfSingleLine)) {
      text[i] = u' ';
      continue;
    }
    if ((format & tfWordBreak) && (end || isBreak || c == u' ')) {
      // The word ending here goes to a new line when it no longer fits.
      const qsizetype wordStart = i > 0 ? text.lastIndexOf(u' ', i - 1) + 1 : 0;
      if (wordStart > lineStart &&
          metrics.horizontalAdvance(text.mid(lineStart, i - lineStart)) > maxWidth) {
        add(lineStart, wordStart - 1);
        lineStart = wordStart;
      }
    }
    if (end || isBreak) {
      add(lineStart, i);
      if (isBreak && i + 1 < text.size() && (text[i + 1] == u'\r' || text[i + 1] == u'\n') &&
          text[i + 1] != c)
        ++i;
      lineStart = i + 1;
    }
  }
  return lines;
}

QString WideQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

}  // namespace

QFont ToQFont(const TFont& Font) {
  QFont font(ToQString(Font.Name()));
  const int height = Font.Height();
  if (height < 0) {
    font.setPixelSize(-height);
  } else {
    font.setPixelSize(height > 0 ? PixelSizeForCell(font, height) : kDefaultPixelSize);
  }
  font.setBold((Font.Style() & fsBold) != 0);
  font.setItalic((Font.Style() & fsItalic) != 0);
  font.setUnderline((Font.Style() & fsUnderline) != 0);
  font.setStrikeOut((Font.Style() & fsStrikeOut) != 0);
  // Crisp glyphs on whole-pixel advances: a text is as wide as its characters summed,
  // which line layouts rely on.
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

int TCanvas::TextWidth(const std::string& Text) const {
  impl_->UseFont(font_);
  return impl_->metrics->horizontalAdvance(ToQString(Text));
}

int TCanvas::TextHeight(const std::string&) const {
  impl_->UseFont(font_);
  return impl_->lineHeight;
}

TSize TCanvas::TextExtent(const std::string& Text) const {
  return {TextWidth(Text), TextHeight(Text)};
}

QPainter* TCanvas::Impl::TextPainter(const TFont& font) {
  QPainter* painter = Painter();
  if (!painter) return nullptr;
  UseFont(font);
  // Markup draws many short runs in a row with the same look: setting the painter's
  // state anew for each would cost more than drawing the run.
  if (painter->compositionMode() != QPainter::CompositionMode_SourceOver)
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (painter->font() != qfont) painter->setFont(qfont);
  const QColor colour = ToQColor(font.Color());
  const QPen& pen = painter->pen();
  if (pen.style() != Qt::SolidLine || pen.color() != colour ||
      pen.brush().style() != Qt::SolidPattern)
    painter->setPen(colour);
  return painter;
}

static bool OpaqueBackground(const TBrush& brush) {
  return brush.Style() == bsSolid && brush.Color() != clNone;
}

// TextOut of either kind of text.
static void DrawOneLine(TCanvas::Impl& impl, const TFont& font, const TBrush& brush, int X, int Y,
                        const QString& text) {
  QPainter* painter = impl.TextPainter(font);
  if (!painter) return;
  if (OpaqueBackground(brush)) {
    painter->fillRect(X, Y, impl.metrics->horizontalAdvance(text), impl.metrics->height(),
                      ToQColor(brush.Color()));
  }
  painter->drawText(QPoint(X, Y + impl.metrics->ascent()), text);
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  DrawOneLine(*impl_, font_, brush_, X, Y, ToQString(Text));
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
  QPainter* painter = impl_->TextPainter(font_);
  if (!painter) return;
  painter->save();
  painter->setClipRect(ToQRect(Rect), Qt::IntersectClip);
  if (OpaqueBackground(brush_)) painter->fillRect(ToQRect(Rect), ToQColor(brush_.Color()));
  painter->drawText(QPoint(X, Y + impl_->metrics->ascent()), ToQString(Text));
  painter->restore();
}

// TextRect with a format, of either kind of text.
static int LayOutAndDraw(TCanvas::Impl& impl, const TFont& font, TRect& Rect, const QString& Text,
                         TTextFormat Format) {
  impl.UseFont(font);
  const QFontMetrics& metrics = *impl.metrics;
  const std::vector<TextLine> lines = LayOut(Text, Format, Rect.Width(), metrics);
  const int height = int(lines.size()) * metrics.height();
  if (Format & tfCalcRect) {
    int width = 0;
    for (const TextLine& line : lines)
      width = std::max(width, metrics.horizontalAdvance(line.text));
    Rect.Right = Rect.Left + width;
    Rect.Bottom = Rect.Top + height;
    return height;
  }
  QPainter* painter = impl.TextPainter(font);
  if (!painter) return height;
  painter->save();
  painter->setClipRect(ToQRect(Rect), Qt::IntersectClip);
  if (Format & tfRtlReading) painter->setLayoutDirection(Qt::RightToLeft);
  int y = Rect.Top + ((Format & tfVerticalCenter) ? (Rect.Height() - height) / 2 : 0);
  for (const TextLine& line : lines) {
    // Left-aligned lines need no width: measuring costs a text layout of its own.
    const bool aligned = (Format & (tfCenter | tfRight)) != 0;
    const int width = aligned ? metrics.horizontalAdvance(line.text) : 0;
    const int x = (Format & tfCenter)  ? Rect.Left + (Rect.Width() - width) / 2
                  : (Format & tfRight) ? Rect.Right - width
                                       : Rect.Left;
    painter->drawText(QPoint(x, y + metrics.ascent()), line.text);
    if (line.underline >= 0) {
      const int from = x + metrics.horizontalAdvance(line.text.left(line.underline));
      const int to = from + metrics.horizontalAdvance(line.text[line.underline]);
      painter->fillRect(from, y + metrics.ascent() + 1, to - from, 1, ToQColor(font.Color()));
    }
    y += metrics.height();
  }
  painter->restore();
  return height;
}

int TCanvas::TextRect(TRect& Rect, const std::string& Text, TTextFormat Format) {
  return LayOutAndDraw(*impl_, font_, Rect, ToQString(Text), Format);
}

void TextOutW(TCanvas& Canvas, int X, int Y, std::u16string_view Text) {
  DrawOneLine(TCanvasAccess::Internals(Canvas), Canvas.Font(), Canvas.Brush(), X, Y,
              WideQString(Text));
}

int TextRectW(TCanvas& Canvas, TRect& Rect, std::u16string_view Text, TTextFormat Format) {
  return LayOutAndDraw(TCanvasAccess::Internals(Canvas), Canvas.Font(), Rect, WideQString(Text),
                       Format);
}

int TextWidthW(const TCanvas& Canvas, std::u16string_view Text) {
  // Measuring only chooses the font, as TCanvas::TextWidth does on a const canvas.
  TCanvas::Impl& impl = TCanvasAccess::Internals(const_cast<TCanvas&>(Canvas));
  impl.UseFont(Canvas.Font());
  return impl.metrics->horizontalAdvance(WideQString(Text));
}

int NameWidthW(const TCanvas& Canvas, std::u16string_view Text) {
  TCanvas::Impl& impl = TCanvasAccess::Internals(const_cast<TCanvas&>(Canvas));
  impl.UseFont(Canvas.Font());
  std::shared_ptr<const TPairAdvances>& pairs = impl.fonts.front().pairs;
  if (!pairs) pairs = TPairAdvances::For(impl.qfont);
  if (const std::optional<int> width = pairs->Width(Text)) return *width;
  return TextWidthW(Canvas, Text);
}

TSize TextExtentW(const TCanvas& Canvas, std::u16string_view Text) {
  return {TextWidthW(Canvas, Text), Canvas.TextHeight("")};
}

// Text on a canvas, measured with the bundled DejaVu Sans.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/unicode_text.h"
#include "platform/gui/graphics/wide_text.h"

namespace {

class CanvasText : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap.SetSize(200, 60);
    canvas().Brush().SetColor(clWhite);
    canvas().FillRect(Rect(0, 0, 200, 60));
    canvas().Font().SetName("DejaVu Sans");
    canvas().Font().SetHeight(-13);
    canvas().Font().SetColor(clBlack);
  }
  TCanvas& canvas() { return bitmap.Canvas(); }

  // Bounding box of the pixels that are not white; empty when there are none.
  TRect Inked() {
    TRect box{bitmap.Width(), bitmap.Height(), 0, 0};
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (canvas().Pixels(x, y) != clWhite) {
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                 std::max(box.Bottom, y + 1)};
        }
    return box.Right == 0 ? TRect{} : box;
  }
  bool Inside(const TRect& inner, const TRect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
  }

  TBitmap bitmap;
};

// DejaVu Sans at a pixel height, ours and Qt's drawn pixel for pixel (no grey edges).
TFont DejaVu(int pixels) {
  TFont font;
  font.SetName("DejaVu Sans");
  font.SetHeight(-pixels);
  return font;
}
QFont QtDejaVu(int pixels) {
  QFont qt("DejaVu Sans");
  qt.setPixelSize(pixels);
  qt.setStyleStrategy(QFont::NoAntialias);
  qt.setHintingPreference(QFont::PreferFullHinting);
  return qt;
}

}  // namespace

TEST(Font, PointSizesAndPixelHeightsAgree) {
  TFont font;
  int changes = 0;
  font.OnChange = [&] { ++changes; };
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -13);
  font.SetHeight(-11);
  EXPECT_EQ(font.Size(), 8);
  font.SetHeight(-11);  // unchanged: no notification
  EXPECT_EQ(changes, 2);

  TFont bold;
  bold.SetStyle(fsBold | fsUnderline);
  bold.SetName("Courier New");
  font.Assign(bold);
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(font.SameAs(bold));
  EXPECT_TRUE(font.OnChange);  // the handler stays with its font
}

TEST_F(CanvasText, ExtentGrowsWithTheTextAndHeightDoesNot) {
  EXPECT_EQ(canvas().TextWidth(""), 0);
  const TSize one = canvas().TextExtent("M");
  const TSize three = canvas().TextExtent("MMM");
  EXPECT_GT(one.cx, 5);
  EXPECT_EQ(three.cx, 3 * one.cx);
  EXPECT_EQ(one.cy, three.cy);
  EXPECT_GE(one.cy, 13);
  EXPECT_LE(one.cy, 18);
  EXPECT_EQ(canvas().TextHeight(""), one.cy);
  canvas().Font().SetStyle(fsBold);
  EXPECT_GT(canvas().TextWidth("MMM"), three.cx);
  canvas().Font().SetHeight(-26);
  EXPECT_GT(canvas().TextHeight("M"), one.cy * 3 / 2);
}

TEST_F(CanvasText, TextStaysInsideItsExtentWithoutGreyPixels) {
  canvas().Brush().SetStyle(bsClear);
  canvas().TextOut(10, 5, "Hello World");
  const TSize extent = canvas().TextExtent("Hello World");
  const TRect inked = Inked();
  ASSERT_NE(inked, TRect{});
  EXPECT_TRUE(Inside(inked, Bounds(10, 5, extent.cx, extent.cy)));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor c = canvas().Pixels(x, y);
      ASSERT_TRUE(c == clWhite || c == clBlack) << x << "," << y;
    }
}

TEST_F(CanvasText, SolidBrushFillsTheTextBox) {
  canvas().Brush().SetColor(clYellow);
  canvas().TextOut(3, 4, "ab");
  const TSize extent = canvas().TextExtent("ab");
  EXPECT_EQ(Inked(), Bounds(3, 4, extent.cx, extent.cy));
  EXPECT_EQ(canvas().Pixels(3, 4), clYellow);
}

TEST_F(CanvasText, TextRectClipsToItsRectangle) {
  canvas().Brush().SetColor(clAqua);
  canvas().TextRect(Rect(10, 10, 20, 30), 5, 12, "WWWWWW");
  EXPECT_EQ(Inked(), Rect(10, 10, 20, 30));
  EXPECT_EQ(canvas().Pixels(9, 15), clWhite);
}

TEST_F(CanvasText, CalcRectMeasuresLinesAndWordBreaks) {
  const int line = canvas().TextHeight("x");
  TRect rect = Rect(0, 0, 1000, 0);
  EXPECT_EQ(canvas().TextRect(rect, "one two", tfCalcRect | tfNoPrefix), line);
  EXPECT_EQ(rect.Width(), canvas().TextWidth("one two"));

  // Program texts break lines with CR LF or LF CR; each pair is one break.
  rect = Rect(0, 0, 1000, 0);
  EXPECT_EQ(canvas().TextRect(rect, "a\r\nb\n\rc", tfCalcRect), 3 * line);
  rect = Rect(0, 0, 1000, 0);
  EXPECT_EQ(canvas().TextRect(rect, "a\n\nb", tfCalcRect), 3 * line);

  // Word breaks keep within the width.
  rect = Rect(0, 0, canvas().TextWidth("three") + 2, 0);
  EXPECT_EQ(canvas().TextRect(rect, "one two three", tfCalcRect | tfWordBreak), 3 * line);
  EXPECT_LE(rect.Width(), canvas().TextWidth("three") + 2);
  EXPECT_EQ(Inked(), TRect{});  // measuring draws nothing
}

TEST_F(CanvasText, FormattedTextIsDrawnInItsRectangle) {
  TRect rect = Rect(20, 10, 180, 50);
  canvas().Brush().SetStyle(bsClear);
  canvas().TextRect(rect, "centred", tfCenter | tfSingleLine | tfVerticalCenter);
  const TRect inked = Inked();
  ASSERT_NE(inked, TRect{});
  const int middle = (inked.Left + inked.Right) / 2;
  EXPECT_NEAR(middle, 100, 3);
  EXPECT_TRUE(Inside(inked, rect));
}

TEST_F(CanvasText, PrefixCharacterUnderlinesUnlessTurnedOff) {
  TRect plain = Rect(0, 0, 1000, 0);
  canvas().TextRect(plain, "&File", tfCalcRect | tfNoPrefix);
  TRect prefixed = Rect(0, 0, 1000, 0);
  canvas().TextRect(prefixed, "&File", tfCalcRect);
  EXPECT_EQ(prefixed.Width(), canvas().TextWidth("File"));
  EXPECT_EQ(plain.Width(), canvas().TextWidth("&File"));
}

// Scripts whose letters take their forms from their neighbours, or carry marks, look as
// Qt itself draws them in the same font, on a line of the direction asked for (or of the
// text's own), and are as wide as drawn.
TEST_F(CanvasText, ShapedWordsAreDrawnAndMeasuredAsQtDrawsThem) {
  const std::u16string_view words[] = {
      u"\u0645\u0631\u062D\u0628\u0627",                                       // joined Arabic
      u"\u0627\u0628\u0628\u0628\u0628 \u0627\u0644\u0639\u0627\u0644\u0645",  // two words
      u"\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD",                           // Hebrew with points
      u"abc \u0645\u0631\u062D\u0628\u0627 def",                               // within Latin text
      u"\u0645\u0631\u062D\u0628\u0627 (abc)",                                 // Latin within
      u"Go \u0645\u0631\u062D\u0628\u0627 42 now",                             // numbers between
      u"\u05E9\u05DC\u05D5\u05DD world \u05E2\u05D5\u05DC\u05DD",              // Latin between
      u"the word ",                                                            // a blank last
      u" (ok)",                                                                // a blank first
      u"\u05D0\u05D1\u05D2 \u05D3\u05D4\u05D5\u05D6 \u05D7",  // Hebrew words, blanks between
      u"\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0\u05E9\u05B4\u05C1\u05D9\u05EA ",  // points
      u"\u05D1\u05BC\u05D1\u05BC\u05D1\u05BC\u05D1\u05BC",  // a dagesh hanging left of each
  };
  const TFont font = DejaVu(13);
  const TPreparedFont prepared(font);
  const QFont qt = QtDejaVu(13);
  const QFontMetrics qtMetrics(qt);
  const std::pair<TTextDirection, Qt::LayoutDirection> directions[] = {
      {TTextDirection::Auto, Qt::LayoutDirectionAuto},
      {TTextDirection::LeftToRight, Qt::LeftToRight},
      {TTextDirection::RightToLeft, Qt::RightToLeft}};
  for (std::u16string_view word : words)
    for (const auto& [ownDirection, direction] : directions) {
      const QString text(reinterpret_cast<const QChar*>(word.data()), qsizetype(word.size()));
      SCOPED_TRACE(text.toStdString() + " direction " + std::to_string(int(direction)));
      canvas().FillRect(Rect(0, 0, 200, 60));
      const TTextRunDirection run{ownDirection};
      CanvasTextOutW(canvas(), prepared, clBlack, 10, 10, word, {}, nullptr, false, run);
      QImage own(200, 60, QImage::Format_RGB32);
      own.fill(Qt::white);
      {
        QPainter painter(&own);
        painter.setFont(qt);
        painter.setPen(Qt::black);
        painter.setLayoutDirection(direction);
        painter.drawText(QPoint(10, 10 + qtMetrics.ascent()), text);
      }
      int differing = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
          differing += (canvas().Pixels(x, y) == clBlack) != (qGray(own.pixel(x, y)) < 128);
      EXPECT_EQ(differing, 0);
      EXPECT_EQ(prepared.TextWidth(word), qtMetrics.horizontalAdvance(text));
      // Every prefix of a Hebrew or Arabic text, also one that ends between a letter's
      // points or within a joined word.
      if (std::none_of(word.begin(), word.end(), TPreparedFont::IsLeftToRight)) {
        std::vector<int> extents;
        prepared.PrefixExtents(word, extents);
        for (size_t i = 0; i < word.size(); ++i)
          EXPECT_EQ(extents[i], qtMetrics.horizontalAdvance(text.left(qsizetype(i + 1)))) << i;
      }
      // Where each character stands, as the painter lays the text out: its cell starts
      // where its letter's glyph does (the points on it may hang out of it either side),
      // runs right to left where its glyphs do, and, in a text of one direction, lies
      // between the caret positions Qt gives around it.
      TPreparedFont::TPlacement placement;
      prepared.Place(word, placement, run);
      ASSERT_EQ(placement.Slots.size(), word.size());
      QTextLayout layout(text, qt);
      QTextOption option;
      option.setTextDirection(direction);
      layout.setTextOption(option);
      layout.beginLayout();
      const QTextLine line = layout.createLine();
      layout.endLayout();
      // A text of one direction, on a line of its own direction.
      const bool rightToLeft = std::any_of(word.begin(), word.end(), TPreparedFont::IsRightToLeft);
      const bool leftToRight = std::any_of(word.begin(), word.end(), TPreparedFont::IsLeftToRight);
      const bool mixed = (rightToLeft && leftToRight) ||
                         (direction == Qt::RightToLeft && !rightToLeft) ||
                         (direction == Qt::LeftToRight && !leftToRight);
      std::vector<int> slotLeft(word.size() + 1, 0);
      for (size_t i = 0; i < word.size(); ++i)
        slotLeft[i + 1] = slotLeft[i] + placement.Advances[i];
      for (size_t i = 0, next = 1; i < word.size(); i = next++) {
        while (next < word.size() && !layout.isValidCursorPosition(int(next))) ++next;
        const int slot = placement.Slots[i];
        const QList<QGlyphRun> runs = line.glyphRuns(int(i), int(next - i));
        ASSERT_FALSE(runs.isEmpty()) << i;
        qreal glyphsLeft = 1e9;
        for (const QGlyphRun& glyphs : line.glyphRuns(int(i), 1))
          for (const QPointF& p : glyphs.positions()) glyphsLeft = std::min(glyphsLeft, p.x());
        EXPECT_NEAR(slotLeft[size_t(slot)], glyphsLeft, 1) << i;
        EXPECT_EQ(placement.RightToLeft[i], runs.first().isRightToLeft()) << i;
        if (mixed) continue;
        const int a = qRound(line.cursorToX(int(i))), b = qRound(line.cursorToX(int(next)));
        EXPECT_NEAR(slotLeft[size_t(slot)], std::min(a, b), 1) << i;
        EXPECT_NEAR(slotLeft[size_t(slot)] + placement.Advances[size_t(slot)], std::max(a, b), 1)
            << i;
      }
    }
}

// Plain text, drawn as a run of glyphs at the advances it is measured with, looks as Qt
// draws it in the same font (kerning and shaping off, as measured), in every style and
// spaced out, and is as wide.
TEST_F(CanvasText, PlainTextIsDrawnAsQtDrawsIt) {
  const std::u16string_view text = u"W1AW [9:41] caf\u00E9 {x}";
  const TFontStyles styles[] = {0, fsBold | fsItalic, fsUnderline, fsStrikeOut | fsBold};
  for (TFontStyles style : styles)
    for (int extra : {0, 3}) {
      if (extra != 0 && (style & (fsUnderline | fsStrikeOut))) continue;
      SCOPED_TRACE(std::to_string(style) + " spaced " + std::to_string(extra));
      TFont font = DejaVu(12);
      font.SetStyle(style);
      const TPreparedFont prepared(font, extra);
      canvas().FillRect(Rect(0, 0, 200, 60));
      canvas().Brush().SetColor(clWhite);
      CanvasTextOutW(canvas(), prepared, clBlack, 3, 10, text, {}, nullptr, false);
      QFont qt("DejaVu Sans");
      qt.setPixelSize(12);
      qt.setBold(style & fsBold);
      qt.setItalic(style & fsItalic);
      qt.setUnderline(style & fsUnderline);
      qt.setStrikeOut(style & fsStrikeOut);
      qt.setKerning(false);
      qt.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferNoShaping));
      qt.setHintingPreference(QFont::PreferFullHinting);
      const QFontMetrics metrics(qt);
      QImage own(200, 60, QImage::Format_RGB32);
      own.fill(Qt::white);
      int width = 0;
      {
        QPainter painter(&own);
        painter.setFont(qt);
        painter.setPen(Qt::black);
        for (char16_t ch : text) {
          painter.drawText(QPoint(3 + width, 10 + metrics.ascent()), QString(QChar(ch)));
          width += metrics.horizontalAdvance(QChar(ch)) + extra;
        }
        if (extra == 0) {
          own.fill(Qt::white);
          painter.drawText(
              QPoint(3, 10 + metrics.ascent()),
              QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size())));
        }
      }
      int differing = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
          differing += (canvas().Pixels(x, y) == clBlack) != (qGray(own.pixel(x, y)) < 128);
      EXPECT_EQ(differing, 0);
      EXPECT_EQ(prepared.TextWidth(text), width);
    }
}

// Text spaced out, by a style's character spacing or by an advance for every character
// (printing, metafile text), keeps its joined letter forms: it looks as Qt draws the same
// text with that letter spacing.
// A line is fitted by asking for prefixes of the rest of its text, in any order: each is
// as wide as the prefix measured by itself, whether the pieces were cut past it already or
// not yet, in every script, over tabs, zero-width characters and runs too long to measure
// whole.
TEST(PreparedFont, PrefixWidthsAreThoseOfThePrefixesAlone) {
  std::u16string arabicRun;
  for (int i = 0; i < 150; ++i) arabicRun += char16_t(i % 3 ? 0x0628 : 0x0645);
  const std::u16string texts[] = {
      u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD \u05D0\u05D1\u05D2 "
      u"\u05D3\u05D4\u05D5\u05D6 \u05D7\u05D8\u05D9 \u05DB\u05DC\u05DE\u05E0 \u05E1",
      u"\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0\u05E9\u05B4\u05C1\u05D9\u05EA "
      u"\u05D1\u05BC\u05B8\u05E8\u05B8\u05D0 \u05D0\u05B1\u05DC\u05B9\u05D4\u05B4\u05D9\u05DD "
      u"\u05D0\u05B5\u05EA \u05D4\u05B7\u05E9\u05C1\u05B8\u05DE\u05B7\u05D9\u05B4\u05DD",
      u"\u0645\u0631\u062D\u0628\u0627 "
      u"\u0627\u0644\u0639\u064E\u0631\u064E\u0628\u0650\u064A\u0651\u064E\u0629 "
      u"\u0644\u0627\u0645 \u0628\u064E\u064A\u0652\u062A \u0643\u062A\u0627\u0628 "
      u"\u0633\u0644\u0627\u0645",
      u"APRS net 1234 \u05E9\u05DC\u05D5\u05DD world 42 \u05E2\u05D5\u05DC\u05DD (ok) abc "
      u"\u0645\u0631\u062D\u0628\u0627 def",
      u"ab\tc \u05E9\u05DC\u05D5\u05DD\t\u05E2\u05D5\u05DC\u05DD x\u200Dy \u05D0\u200B\u05D1 "
      u"\u05D2\u05D3\u05D4\u05D5 end",
      arabicRun + u" \u0645\u0631\u062D\u0628\u0627 " + arabicRun,
      u"plain Latin text that needs no shaping at all, measured by its advances",
  };
  const TFont font = DejaVu(13);
  const TPreparedFont prepared(font);
  for (const std::u16string& text : texts) {
    SCOPED_TRACE(QString::fromStdU16String(text).toStdString());
    std::vector<int> alone(text.size() + 1);
    for (size_t n = 0; n <= text.size(); ++n)
      alone[n] = prepared.TextWidth(std::u16string_view(text).substr(0, n));
    // From the end back, from the start on, and leaping about as a fit does.
    TPreparedFont::TPrefixWidths backwards(prepared, text), forwards(prepared, text),
        leaping(prepared, text);
    for (size_t n = text.size() + 1; n-- > 0;) EXPECT_EQ(backwards.Width(n), alone[n]) << n;
    for (size_t n = 0; n <= text.size(); ++n) EXPECT_EQ(forwards.Width(n), alone[n]) << n;
    for (size_t k = 0; k <= text.size(); ++k) {
      const size_t n = (k * 37) % (text.size() + 1);
      EXPECT_EQ(leaping.Width(n), alone[n]) << n;
    }
  }
}

// Words as a paragraph holds them, distinct: Arabic with and without vowels (lam before
// alef among them), pointed Hebrew, Latin words and numbers; each, and each of its
// prefixes, as wide as Qt shapes it by itself.
TEST(PreparedFont, DistinctWordsAreAsWideAsQtShapesThem) {
  const char16_t vowels[] = {0x064E, 0x0650, 0x064F, 0x0651, 0x0652, 0x064B};
  const char16_t points[] = {0x05B8, 0x05B7, 0x05B4, 0x05BC, 0x05B6, 0x05B5, 0x05B0};
  std::vector<std::u16string> words;
  for (int i = 0; i < 400; ++i) {
    std::u16string word;
    const int length = 2 + (i * 7 + i / 5) % 6;
    for (int k = 0; k < length; ++k) {
      const int n = i * 3 + k * 5;
      switch (i % 4) {
        case 0:
        case 1:
          word += char16_t(n % 36 < 26 ? 0x0621 + n % 36 : 0x0641 + n % 36 - 26);
          if (i % 2 == 0 && k % 2 == 1) word += vowels[size_t(i + k) % std::size(vowels)];
          break;
        case 2:
          word += char16_t(0x05D0 + n % 27);
          word += points[size_t(i + k) % std::size(points)];
          break;
        default:
          word += char16_t(k % 3 == 2 ? u'0' + n % 10 : (k % 2 ? u'a' : u'A') + n % 26);
      }
    }
    words.push_back(word);
  }
  // Lam and alef ligate, also with a vowel between them and after another letter; digits
  // and Latin letters run into right-to-left letters.
  for (const std::u16string_view word :
       {u"\u0644\u0627", u"\u0633\u0644\u0627\u0645", u"\u0644\u064E\u0627\u0645",
        u"\u0627\u0644\u0623\u0645", u"\u0628\u0644\u0625\u0644\u0622", u"12\u0628\u0628",
        u"abc\u0645\u0631", u"\u05D0\u05B8\u05D1123"})
    words.emplace_back(word);
  const TFont font = DejaVu(13);
  const TPreparedFont prepared(font);
  QFont qt = QtDejaVu(13);
  qt.setKerning(false);
  const QFontMetrics qtMetrics(qt);
  for (const std::u16string& word : words) {
    const QString text = QString::fromStdU16String(word);
    SCOPED_TRACE(text.toStdString());
    // A Latin word is shaped where it stands among right-to-left words.
    const std::u16string shaped = u"\u05D0 " + word;
    EXPECT_EQ(prepared.TextWidth(shaped),
              qtMetrics.horizontalAdvance(QString::fromStdU16String(shaped)));
    for (size_t n = 1; n <= word.size(); ++n)
      EXPECT_EQ(prepared.TextWidth(std::u16string_view(word).substr(0, n)),
                qtMetrics.horizontalAdvance(text.left(qsizetype(n))))
          << n;
  }
}

TEST_F(CanvasText, SpacedWordsKeepTheirJoinedForms) {
  const std::u16string_view words[] = {
      u"\u0645\u0631\u062D\u0628\u0627",
      u"\u0627\u0628\u0628\u0628\u0628 \u0627\u0644\u0639\u0627\u0644\u0645",
      u"\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD",
      u"abc \u0645\u0631\u062D\u0628\u0627 def",
  };
  constexpr int kSpacing = 2;
  const TFont font = DejaVu(13);
  const TPreparedFont prepared(font);
  const TPreparedFont spaced(font, kSpacing);
  QFont qt = QtDejaVu(13);
  qt.setLetterSpacing(QFont::AbsoluteSpacing, kSpacing);
  const int ascent = QFontMetrics(qt).ascent();
  for (std::u16string_view word : words) {
    const QString text(reinterpret_cast<const QChar*>(word.data()), qsizetype(word.size()));
    SCOPED_TRACE(text.toStdString());
    QImage own(200, 60, QImage::Format_RGB32);
    own.fill(Qt::white);
    {
      QPainter painter(&own);
      painter.setFont(qt);
      painter.setPen(Qt::black);
      painter.drawText(QPoint(10, 10 + ascent), text);
    }
    // Where Qt puts every character: its advance is the way to the next cluster.
    QTextLayout layout(text, qt);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    std::vector<int> advances(word.size(), 0);
    for (size_t i = 0, next = 1; i < word.size(); i = next++) {
      while (next < word.size() && !layout.isValidCursorPosition(int(next))) ++next;
      const qreal a = line.cursorToX(int(i)), b = line.cursorToX(int(next));
      advances[i] = int(qRound(b > a ? b - a : a - b));
    }
    const auto differing = [&] {
      int count = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
          count += (canvas().Pixels(x, y) == clBlack) != (qGray(own.pixel(x, y)) < 128);
      return count;
    };
    canvas().FillRect(Rect(0, 0, 200, 60));
    CanvasTextOutW(canvas(), spaced, clBlack, 10, 10, word, {}, nullptr, false);
    EXPECT_EQ(differing(), 0) << "character spacing";
    // Measured as drawn, whole and by prefixes.
    EXPECT_EQ(spaced.TextWidth(word), QFontMetrics(qt).horizontalAdvance(text));
    std::vector<int> spacedExtents;
    spaced.PrefixExtents(word, spacedExtents);
    EXPECT_EQ(spacedExtents.back(), spaced.TextWidth(word));
    // The advances are read off a line of one direction; Qt spaces a mark as a letter.
    if (!text.isRightToLeft() ||
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.isMark(); }))
      continue;
    canvas().FillRect(Rect(0, 0, 200, 60));
    CanvasTextOutW(canvas(), prepared, clBlack, 10, 10, word, advances, nullptr, false);
    EXPECT_EQ(differing(), 0) << "advances";
    // Advances as printing takes them, from the widths of the text's beginnings: within
    // letters that join they say little one by one, only together.
    std::vector<int> extents;
    prepared.PrefixExtents(word, extents);
    for (size_t i = 0; i < word.size(); ++i)
      advances[i] = extents[i] - (i > 0 ? extents[i - 1] : 0) + kSpacing;
    canvas().FillRect(Rect(0, 0, 200, 60));
    CanvasTextOutW(canvas(), prepared, clBlack, 10, 10, word, advances, nullptr, false);
    EXPECT_EQ(differing(), 0) << "advances of beginnings";
  }
}

// Calls as the map labels them, measured by their character pairs: as wide as the canvas
// shapes them, kerning and all ("AV", "-T"), in every size and weight and in each font
// there is; so are names outside the pairs' set, measured shaped.
TEST_F(CanvasText, NamesAreAsWideAsTheCanvasShapesThem) {
  const std::u16string set = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789- ";
  std::vector<std::u16string> names = {u"AVATAR-7", u"TAW",      u"-Y",      u"LT1TT",      u"",
                                       u"X",        u"DL1abc-9", u"OE3/ABC", u"M\u00dcLLER"};
  for (int i = 0; i < 300; ++i) {
    std::u16string name;
    for (int k = 0; k < 1 + (i * 7) % 11; ++k)
      name += set[size_t(i * 31 + k * 17 + k * k) % set.size()];
    names.push_back(name);
  }
  for (const char* family : {"DejaVu Sans", "DejaVu Serif", "Liberation Sans"}) {
    canvas().Font().SetName(family);
    for (int pixels = 9; pixels <= 21; pixels += 4) {
      for (const TFontStyles style : {TFontStyles{}, TFontStyles{fsBold}}) {
        canvas().Font().SetHeight(-pixels);
        canvas().Font().SetStyle(style);
        for (const std::u16string& name : names) {
          SCOPED_TRACE(QString::fromStdU16String(name).toStdString() + " in " + family + " " +
                       std::to_string(pixels));
          EXPECT_EQ(NameWidthW(canvas(), name), TextWidthW(canvas(), name));
        }
      }
    }
  }
}

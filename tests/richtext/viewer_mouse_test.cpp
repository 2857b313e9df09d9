// The viewer driven by the platform's mouse and key events on a document laid out in a
// real font: selecting by characters, words, paragraphs and margin lines, links with
// their cursor and jump, item hints, and Ctrl+C read back from the system clipboard in
// every format.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>
#include <numeric>
#include <vector>

#include "platform/gui/controls/hint_window.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/word_painter.h"
#include "richtext/support/viewer_points.h"
#include "richtext/view/rd_platform_canvas.h"
#include "richtext/view/rich_doc.h"

namespace {

constexpr int kJumpStyle = 4;

struct Viewer {
  Viewer() : doc(nullptr) {
    doc.SetStyle(&style);
    doc.Name = "rdMouse";
    doc.SetBounds(0, 0, 400, 200);
    doc.SetBorderStyle(bsNone);
  }
  TPoint At(int itemNo, int offs) { return ClientPointOf(doc.RDData(), itemNo, offs); }
  void Drag(TPoint from, TPoint to) {
    SimulateMouseDown(doc, mbLeft, from.X, from.Y);
    SimulateMouseMove(doc, (from.X + to.X) / 2, (from.Y + to.Y) / 2, ssLeft);
    SimulateMouseMove(doc, to.X, to.Y, ssLeft);
    SimulateMouseUp(doc, mbLeft, to.X, to.Y);
  }
  std::string Selected() { return doc.GetSelText(); }

  TRDStyle style;
  TRichDoc doc;
};

TEST(ViewerMouse, SelectsByCharacters) {
  Viewer v;
  v.style.SelectionMode = rdsmChar;
  v.doc.AddTextParagraph("alpha beta gamma", 0, 0);
  v.doc.FormatDocument();
  v.Drag(v.At(0, 3), v.At(0, 9));
  EXPECT_EQ(v.Selected(), "pha be");
  v.Drag(v.At(0, 14), v.At(0, 8));
  EXPECT_EQ(v.Selected(), "eta ga");
}

TEST(ViewerMouse, SelectsWholeWordsOnceTheDragLeavesTheFirstWord) {
  Viewer v;
  ASSERT_EQ(v.style.SelectionMode, rdsmWord);
  v.doc.AddTextParagraph("alpha beta gamma", 0, 0);
  v.doc.FormatDocument();
  v.Drag(v.At(0, 3), v.At(0, 14));
  EXPECT_EQ(v.Selected(), "alpha beta gamma");
  // (A press inside the selection would drag it.)
  v.doc.Deselect();
  v.Drag(v.At(0, 2), v.At(0, 4));
  EXPECT_EQ(v.Selected(), "lp");
}

TEST(ViewerMouse, SelectsWholeParagraphs) {
  Viewer v;
  v.style.SelectionMode = rdsmParagraph;
  v.doc.AddTextParagraph("first paragraph", 0, 0);
  v.doc.AddTextParagraph("second one", 0, 0);
  v.doc.AddTextParagraph("third", 0, 0);
  v.doc.FormatDocument();
  v.Drag(v.At(0, 4), v.At(1, 3));
  EXPECT_EQ(v.Selected(), "first paragraph\r\nsecond one");
}

TEST(ViewerMouse, SelectsWholeLinesInTheLeftMargin) {
  Viewer v;
  v.doc.AddTextParagraph("one", 0, 0);
  v.doc.AddTextParagraph("two", 0, 0);
  v.doc.AddTextParagraph("three", 0, 0);
  v.doc.FormatDocument();
  const int y1 = v.At(1, 1).Y, y2 = v.At(2, 1).Y;
  SimulateMouseMove(v.doc, 2, y1);
  // The line-selection cursor, in the platform's arrow shape.
  EXPECT_EQ(v.doc.Cursor(), crArrow);
  v.Drag(Point(2, y1), Point(2, y2));
  EXPECT_EQ(v.Selected(), "two\r\nthree");
}

TEST(ViewerMouse, LinksShowTheHandAndJumpOnAClick) {
  Viewer v;
  v.doc.AddTextParagraph("go ", 0, 0);
  v.doc.AddTextParagraph("there", kJumpStyle, -1);
  v.doc.FormatDocument();
  std::vector<int> jumps, hovers;
  v.doc.OnJump = [&](TCustomRichDoc*, int id) { jumps.push_back(id); };
  v.doc.OnRDMouseMove = [&](TCustomRichDoc*, int id) { hovers.push_back(id); };
  const TPoint link = v.At(1, 3), text = v.At(0, 2);
  SimulateMouseMove(v.doc, link.X, link.Y);
  EXPECT_EQ(v.doc.Cursor(), crHandPoint);
  SimulateMouseMove(v.doc, text.X, text.Y);
  EXPECT_EQ(v.doc.Cursor(), crDefault);
  EXPECT_EQ(hovers, (std::vector<int>{0, -1}));
  SimulateClick(v.doc, link.X, link.Y);
  EXPECT_EQ(jumps, std::vector<int>{0});
}

TEST(ViewerMouse, ItemHintsShowInTheHintWindow) {
  Viewer v;
  v.doc.Options |= rdoShowItemHints;
  v.doc.AddTextParagraph("plain ", 0, 0);
  v.doc.AddTextParagraph("hinted", 0, -1);
  v.doc.GetItemInfo(1)->Hint = "a hint";
  v.doc.FormatDocument();
  const TPoint hinted = v.At(1, 3), plain = v.At(0, 2);
  SimulateMouseMove(v.doc, hinted.X, hinted.Y);
  EXPECT_EQ(v.doc.Hint(), "a hint");
  EXPECT_TRUE(ApplicationHintWindow().Showing());
  SimulateMouseMove(v.doc, plain.X, plain.Y);
  EXPECT_EQ(v.doc.Hint(), "");
  EXPECT_FALSE(ApplicationHintWindow().Showing());
}

// Right-to-left and mixed text, in left-to-right and right-to-left paragraphs: every
// partial selection is highlighted over exactly the cells where the platform shows its
// characters in the piece of the line they stand in (the cells Qt's caret positions
// bound, tested with the platform's text),
// leaving the rest of the line as it was; a drag over a right-to-left word selects
// exactly the characters under it.
TEST(ViewerRightToLeft, PartialSelectionsAreDrawnAndHitWhereTheCharactersAreShown) {
  Viewer v;
  v.style.SelectionMode = rdsmChar;
  v.style.SelColor = v.style.InactiveSelColor = clLime;
  v.style.SelTextColor = v.style.InactiveSelTextColor = clNavy;
  TFontInfo& font = v.style.TextStyles().Add();
  font.Unicode = true;
  font.FontName = "DejaVu Sans";
  font.Size = 14;
  const int styleNo = v.style.TextStyles().Count() - 1;
  v.style.ParaStyles().Add().BiDiMode = rdbdRightToLeft;
  const int rtlPara = v.style.ParaStyles().Count() - 1;
  const std::u16string_view texts[] = {
      u"\u0645\u0631\u062D\u0628\u0627",                     // Arabic, joined
      u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD",  // two Hebrew words
      u"abc \u0645\u0631\u062D\u0628\u0627 def",             // within Latin text
      u"\u0645\u0631\u062D\u0628\u0627 (abc)",               // Latin within
  };
  for (int para : {0, rtlPara})
    for (std::u16string_view text : texts)
      v.doc.AddTextParagraph(WideStringToRawUnicode(text), styleNo, para);
  v.doc.FormatDocument();
  TRichDocRDData& data = v.doc.RDData();
  TBitmap shot;
  shot.SetSize(v.doc.Width(), v.doc.Height());
  TCanvas& canvas = shot.Canvas();
  const auto paint = [&] {
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect(Rect(0, 0, shot.Width(), shot.Height()));
    PaintTo(v.doc, canvas, 0, 0);
  };
  TBitmap measureBitmap;
  measureBitmap.SetSize(10, 10);
  TRDPlatformCanvas measure(measureBitmap.Canvas());
  for (int itemNo = 0; itemNo < data.GetItemCount(); ++itemNo) {
    const std::u16string_view text = texts[size_t(itemNo) % std::size(texts)];
    SCOPED_TRACE(itemNo);
    // Each character's cell, from the placement the platform draws its piece of the line
    // by, in the piece's direction (a text that mixes directions is in several pieces).
    const TCustomRDItemInfo& item = *data.GetItem(itemNo);
    const int n = int(text.size());
    std::vector<std::pair<int, int>> cells(static_cast<size_t>(n));
    int lineLeft = INT_MAX, lineRight = INT_MIN, pieces = 0;
    std::vector<int> slotLeft;
    TRDCharacterPlacement placement;
    for (int d = item.DrawItemNo; d < data.DrawItems.Count() && data.DrawItems[d]->ItemNo == itemNo;
         ++d, ++pieces) {
      const TRDDrawLineInfo& piece = *data.DrawItems[d];
      v.style.ApplyStyle(measure, styleNo, data.GetParaBiDiMode(item.ParaNo), false);
      measure.ReadingDirection = piece.IsRightToLeft() ? rdbdRightToLeft : rdbdLeftToRight;
      ASSERT_TRUE(measure.GetCharacterPlacementW(
          text.substr(size_t(piece.Offs - 1), size_t(piece.Length)), 0, placement));
      slotLeft.assign(size_t(piece.Length) + 1, 0);
      for (int i = 0; i < piece.Length; ++i)
        slotLeft[size_t(i) + 1] = slotLeft[size_t(i)] + placement.Dx[size_t(i)];
      for (int k = 0; k < piece.Length; ++k) {
        const int slot = placement.Order[size_t(k)];
        cells[size_t(piece.Offs - 1 + k)] = {piece.Left + slotLeft[size_t(slot)],
                                             piece.Left + slotLeft[size_t(slot) + 1]};
      }
      lineLeft = std::min(lineLeft, piece.Left);
      lineRight = std::max(lineRight, piece.Left + piece.Width);
    }
    const TRDDrawLineInfo& line = *data.DrawItems[item.DrawItemNo];
    const int width = lineRight - lineLeft;
    const int left = lineLeft - data.GetHOffs();
    const int top = line.Top - data.GetVOffs();
    const auto column = [&](int x) {
      std::string pixels = ",";
      for (int y = top; y < top + line.Height; ++y)
        pixels += std::to_string(canvas.Pixels(x, y)) + ",";
      return pixels;
    };
    v.doc.Deselect();
    paint();
    std::vector<std::string> plain;
    for (int x = left; x < left + width; ++x) plain.push_back(column(x));
    for (int a = 1; a <= n; ++a)
      for (int b = a; b <= n; ++b) {
        data.SetSelectionBounds(itemNo, a, itemNo, b + 1);
        paint();
        std::vector<bool> expected(size_t(width), false);
        for (int k = a - 1; k < b; ++k)
          for (int x = cells[size_t(k)].first; x < cells[size_t(k)].second; ++x)
            if (x - lineLeft < width) expected[size_t(x - lineLeft)] = true;
        int wrong = 0;
        for (int x = 0; x < width; ++x) {
          const std::string now = column(left + x);
          const bool lit = now.find("," + std::to_string(clLime) + ",") != std::string::npos;
          if (lit != expected[size_t(x)] || (!lit && now != plain[size_t(x)])) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << "characters " << a << ".." << b;
      }
    // Drags over a right-to-left text, from the left edge of one display position to the
    // right edge of another: exactly the characters shown between them.
    if (pieces > 1 || !std::all_of(placement.Class.begin(), placement.Class.end(),
                                   [](std::uint8_t c) { return c == GCPCLASS_RIGHTTOLEFT; }))
      continue;
    const int y = top + line.Height / 2;
    for (int p = 0; p < n; ++p)
      for (int q = p; q < n; ++q) {
        const int first = n - 1 - q, last = n - 1 - p;
        v.doc.Deselect();
        v.Drag(Point(left + slotLeft[size_t(p)], y), Point(left + slotLeft[size_t(q) + 1], y));
        int startNo, startOffs, endNo, endOffs;
        data.GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
        EXPECT_EQ(std::vector<int>({startNo, startOffs, endNo, endOffs}),
                  std::vector<int>({itemNo, first + 1, itemNo, last + 2}))
            << "display positions " << p << ".." << q;
      }
  }
  // Words and the blank between them in items of their own, in a right-to-left
  // paragraph: the blank stays between the words, and a drag over the first word (on
  // the right) selects it.
  const int word = data.GetItemCount();
  v.doc.AddTextParagraph(WideStringToRawUnicode(u"\u05E9\u05DC\u05D5\u05DD"), styleNo, rtlPara);
  v.doc.AddTextContinued(WideStringToRawUnicode(u" "), styleNo);
  v.doc.AddTextContinued(WideStringToRawUnicode(u"\u05E2\u05D5\u05DC\u05DD"), styleNo);
  v.doc.FormatDocument();
  const auto lineOf = [&](int itemNo) -> const TRDDrawLineInfo& {
    return *data.DrawItems[data.GetItem(itemNo)->DrawItemNo];
  };
  const TRDDrawLineInfo &first = lineOf(word), &blank = lineOf(word + 1),
                        &second = lineOf(word + 2);
  EXPECT_EQ(second.Left + second.Width, blank.Left);
  EXPECT_EQ(blank.Left + blank.Width, first.Left);
  v.doc.Deselect();
  const int y = first.Top - data.GetVOffs() + first.Height / 2;
  v.Drag(Point(first.Left - data.GetHOffs(), y),
         Point(first.Left + first.Width - data.GetHOffs(), y));
  int startNo, startOffs, endNo, endOffs;
  data.GetSelectionBounds(startNo, startOffs, endNo, endOffs, true);
  EXPECT_EQ(std::vector<int>({startNo, startOffs, endNo, endOffs}),
            std::vector<int>({word, 1, word, 5}));
}

// Pointed and unpointed Hebrew, Arabic and mixed lines, in the fonts a desktop resolves its
// faces to, at three sizes, plain and bold, in paragraphs set either way and set no way: a
// click anywhere over a line hits within one character of the caret Qt's layout puts
// nearest, and the first character, selected, is lit between Qt's edges of it (at the
// right end of a line that begins right to left). Points that hang out of their letter (a
// dagesh) move no cell.
class PointedText : public ::testing::TestWithParam<const char*> {};

TEST_P(PointedText, IsHitAndSelectedWhereQtPutsItsCarets) {
  const std::string family = GetParam();
  if (!FontFamilyInstalled(family)) GTEST_SKIP() << family << " is not installed";
  const std::u16string_view texts[] = {
      u"\u05D1\u05BC\u05D1\u05BC\u05D1\u05BC\u05D1\u05BC",  // four bet with dagesh
      u"\u05D1\u05D1\u05D1\u05D1\u05BC",                    // a dagesh on the last only
      u"\u05DE\u05B6\u05DC\u05B6\u05DA\u05B0",              // melekh
      u"\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0\u05E9\u05B4\u05C1\u05D9\u05EA",  // bereshit
      u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD",                   // unpointed
      u"\u0645\u0631\u062D\u0628\u0627 \u0644\u0627\u0645",                   // joined, a ligature
      u"\u0627\u0644\u0639\u064E\u0631\u064E\u0628\u0650\u064A\u0651\u064E\u0629",  // vowelled
      u"\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0\u05E9\u05B4\u05C1\u05D9\u05EA world 42",
      u"abc \u0645\u0631\u062D\u0628\u0627 def",
  };
  const TRDBiDiMode modes[] = {rdbdUnspecified, rdbdLeftToRight, rdbdRightToLeft};
  for (int size : {9, 14, 20})
    for (TFontStyles bold : {TFontStyles(0), TFontStyles(fsBold)}) {
      SCOPED_TRACE(std::to_string(size) + (bold ? " bold" : ""));
      Viewer v;
      v.doc.SetBounds(0, 0, 500, 1200);
      v.style.SelectionMode = rdsmChar;
      v.style.SelColor = v.style.InactiveSelColor = clLime;
      v.style.SelTextColor = v.style.InactiveSelTextColor = clNavy;
      TFontInfo& font = v.style.TextStyles().Add();
      font.Unicode = true;
      font.FontName = family;
      font.Size = size;
      font.Style = bold;
      const int styleNo = v.style.TextStyles().Count() - 1;
      for (TRDBiDiMode mode : modes) {
        v.style.ParaStyles().Add().BiDiMode = mode;
        for (std::u16string_view text : texts)
          v.doc.AddTextParagraph(WideStringToRawUnicode(text), styleNo,
                                 v.style.ParaStyles().Count() - 1);
      }
      v.doc.FormatDocument();
      TRichDocRDData& data = v.doc.RDData();
      TBitmap measureBitmap;
      measureBitmap.SetSize(10, 10);
      TRDPlatformCanvas measure(measureBitmap.Canvas());
      v.style.ApplyStyle(measure, styleNo, rdbdUnspecified, false);
      TFont qtFont;
      qtFont.SetName(family);
      qtFont.SetHeight(measure.Font.Height);
      qtFont.SetStyle(bold);
      TBitmap shot;
      shot.SetSize(v.doc.Width(), v.doc.Height());
      for (int itemNo = 0; itemNo < data.GetItemCount(); ++itemNo) {
        const std::u16string_view text = texts[size_t(itemNo) % std::size(texts)];
        const TRDBiDiMode mode = modes[size_t(itemNo) / std::size(texts)];
        SCOPED_TRACE(RawUnicodeToUTF8(WideStringToRawUnicode(text)) + " in paragraph mode " +
                     std::to_string(int(mode)));
        const bool rightToLeft = mode == rdbdRightToLeft ||
                                 (mode == rdbdUnspecified && TPreparedFont::IsRightToLeft(text[0]));
        const TReferenceLine qt = ReferenceTextLine(
            qtFont, text, rightToLeft ? TTextDirection::RightToLeft : TTextDirection::LeftToRight,
            1, 1, 0, 0);
        const TCustomRDItemInfo& item = *data.GetItem(itemNo);
        int left = INT_MAX, right = INT_MIN;
        for (int d = item.DrawItemNo;
             d < data.DrawItems.Count() && data.DrawItems[d]->ItemNo == itemNo; ++d) {
          left = std::min(left, data.DrawItems[d]->Left);
          right = std::max(right, data.DrawItems[d]->Left + data.DrawItems[d]->Width);
        }
        const TRDDrawLineInfo& line = *data.DrawItems[item.DrawItemNo];
        // Characters counted by Qt's caret stops; a position inside one counts as its start.
        std::vector<int> character(text.size() + 1, 0);
        for (size_t k = 1; k <= text.size(); ++k)
          character[k] = character[k - 1] + (qt.Stops[k] ? 1 : 0);
        // Each position where the direction changes, paired with the next such (blanks,
        // digits and marks go with the letters before them).
        std::vector<size_t> partner(text.size() + 1);
        std::iota(partner.begin(), partner.end(), size_t(0));
        std::vector<size_t> changes;
        for (size_t k = 1, last = 0; k < text.size(); ++k) {
          const int now = TPreparedFont::IsRightToLeft(text[k])   ? 1
                          : TPreparedFont::IsLeftToRight(text[k]) ? 2
                                                                  : 0;
          if (now != 0 && last != 0 && size_t(now) != last) changes.push_back(k);
          if (now != 0) last = size_t(now);
        }
        changes.push_back(text.size());
        for (size_t c = 0; c + 1 < changes.size(); ++c) {
          partner[changes[c]] = changes[c + 1];
          partner[changes[c + 1]] = changes[c];
        }
        const auto distance = [&](size_t k, int x) {
          return std::min(std::abs(qt.Carets[k] - x), std::abs(qt.OtherCarets[k] - x));
        };
        int wrong = 0;
        std::string first;
        for (int x = left - 3; x <= right + 3; ++x) {
          int d, o, hitItem, hitOffs;
          data.FindDrawItemAtPos(x, line.Top + line.Height / 2, false, d, o);
          data.DrawItemToItem(d, o, hitItem, hitOffs);
          ASSERT_EQ(hitItem, itemNo) << x;
          int best = INT_MAX;
          for (size_t k = 0; k <= text.size(); ++k)
            if (qt.Stops[k]) best = std::min(best, distance(k, x - left));
          bool near = false;
          for (size_t k = 0; k <= text.size(); ++k)
            near = near || (qt.Stops[k] && distance(k, x - left) == best &&
                            std::abs(character[k] - character[size_t(hitOffs - 1)]) <= 1);
          // Where a run of the other direction ends, its two ends show at one place, Qt
          // giving it to the one and the viewer perhaps to the other.
          const size_t hit = size_t(hitOffs - 1);
          for (size_t k = 0; k <= text.size(); ++k)
            near = near || (qt.Stops[k] && distance(k, x - left) == best &&
                            std::abs(character[k] - character[partner[hit]]) <= 1);
          if (!near && wrong++ == 0)
            first = "x " + std::to_string(x - left) + " hits offset " + std::to_string(hitOffs);
        }
        EXPECT_EQ(wrong, 0) << first;
        // The first character selected: lit from one of Qt's edges of it to the other.
        size_t end = 1;
        while (!qt.Stops[end]) ++end;
        data.SetSelectionBounds(itemNo, 1, itemNo, int(end) + 1);
        shot.Canvas().Brush().SetColor(clWhite);
        shot.Canvas().FillRect(Rect(0, 0, shot.Width(), shot.Height()));
        PaintTo(v.doc, shot.Canvas(), 0, 0);
        int litLeft = INT_MAX, litRight = INT_MIN;
        for (int x = left - 3; x <= right + 3; ++x)
          for (int y = line.Top; y < line.Top + line.Height; ++y)
            if (shot.Canvas().Pixels(x - data.GetHOffs(), y - data.GetVOffs()) == clLime) {
              litLeft = std::min(litLeft, x - left);
              litRight = std::max(litRight, x - left + 1);
            }
        EXPECT_NEAR(litLeft, std::min(qt.Carets[0], qt.FarEdges[0]), 1);
        EXPECT_NEAR(litRight, std::max(qt.Carets[0], qt.FarEdges[0]), 1);
      }
    }
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, PointedText,
                         ::testing::Values("DejaVu Sans", "Liberation Sans", "Liberation Serif"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                           return name;
                         });

// A table of lines that mix directions, each built several ways (as one item, an item
// per word, items whose colours change inside numbers, words and punctuation), in
// paragraphs set left to right, right to left and setting no direction, left-aligned and
// justified, wrapped or not: every screen line looks as Qt draws the line's text by itself
// in the paragraph's direction (for a paragraph that sets none, its first strong
// letter's), justified as Qt justifies it; and the spelling marks of a line's words lie
// under the cells where Qt shows those words.
TEST(ViewerRightToLeft, LinesAreDrawnAsQtDrawsThemInTheParagraphsDirection) {
  Viewer v;
  v.doc.SetBounds(0, 0, 420, 1400);
  const TColor colours[] = {clBlack, clRed, clBlue};
  for (TColor colour : colours) {
    TFontInfo& font = v.style.TextStyles().Add();
    font.Unicode = true;
    font.FontName = "DejaVu Sans";
    font.Size = 12;
    font.Color = colour;
  }
  const int styleNo = v.style.TextStyles().Count() - int(std::size(colours));
  const TRDBiDiMode modes[] = {rdbdLeftToRight, rdbdRightToLeft, rdbdUnspecified};
  // A paragraph style per direction and alignment.
  const auto paraStyle = [&](TRDBiDiMode mode, TRDAlignment align) {
    TParaInfo& para = v.style.ParaStyles().Add();
    para.BiDiMode = mode;
    para.Alignment = align;
    // Room between the lines, so that no mark above a letter reaches into the line above.
    para.LineSpacingType = rdlsSpaceBetween;
    para.LineSpacing = 6;
    return v.style.ParaStyles().Count() - 1;
  };
  // Each line in the pieces it is made of; a long one wraps.
  const std::vector<std::vector<std::u16string>> paragraphs = {
      {u"Go \u0645\u0631\u062D\u0628\u0627 42 now"},
      {u"\u05E9\u05DC\u05D5\u05DD world \u05E2\u05D5\u05DC\u05DD"},
      {u"abc \u0645\u0631\u062D\u0628\u0627 def"},
      {u"\u0645\u0631\u062D\u0628\u0627 (abc)"},
      {u"\u05E9\u05DC\u05D5\u05DD, 2024: ok!"},
      {u"the word ", u"\u0633\u0644\u0627\u0645", u" ok"},
      {u"\u05E9\u05DC\u05D5\u05DD ", u"\u05E2\u05D5\u05DC\u05DD"},
      {u"abc ", u"def"},
      {u"Go ", u"\u0645\u0631\u062D\u0628\u0627", u" 42", u" now"},
      {u"\u0633\u0644\u0627\u0645 ", u"12", u" \u0639\u0644\u064A\u0643\u0645"},
      // A number, a decimal and words whose colour changes inside them.
      {u"\u0627\u0644\u0639\u062F\u062F ", u"12", u"345", u" \u0643\u0628\u064A\u0631"},
      {u"3", u".", u"14"},
      {u"\u05E9\u05DC", u"\u05D5\u05DD ", u"3", u".", u"14", u"!"},
      {u"wor", u"ld now \u05E9\u05DC\u05D5\u05DD G", u"o"},
      {u"world now \u05E9\u05DC\u05D5\u05DD Go"},
      {u"one \u05E9\u05DC\u05D5\u05DD two three"},
      {u"\u05D6\u05D4 \u05DE\u05E9\u05E4\u05D8 \u05D0\u05E8\u05D5\u05DA \u05E9\u05DC "
       u"\u05DE\u05D9\u05DC\u05D9\u05DD with some English words \u05D5\u05E2\u05D5\u05D3 "
       u"\u05DE\u05D9\u05DC\u05D9\u05DD \u05E9\u05E0\u05E9\u05D1\u05E8\u05D5\u05EA "
       u"\u05DC\u05E9\u05D5\u05E8\u05D5\u05EA and more text at the end \u05E1\u05D5\u05E3"},
      {u"\u0647\u0630\u0627 \u0646\u0635 \u0637\u0648\u064A\u0644 ", u"with an English part ",
       u"\u064A\u0644\u064A\u0647 \u0646\u0635 \u0639\u0631\u0628\u064A \u0622\u062E\u0631 "
       u"\u0648\u064A\u0646\u0643\u0633\u0631 \u0639\u0644\u0649 \u0623\u0633\u0637\u0631 "
       u"\u0639\u062F\u0629 \u0641\u064A \u0627\u0644\u0639\u0631\u0636"},
  };
  // The same texts as one item and as an item per word (a blank ends its word).
  std::vector<std::vector<std::u16string>> ways;
  for (const std::vector<std::u16string>& pieces : paragraphs) {
    ways.push_back(pieces);
    std::u16string whole;
    for (const std::u16string& piece : pieces) whole += piece;
    if (pieces.size() > 1) ways.push_back({whole});
    std::vector<std::u16string> words;
    for (size_t k = 0; k < whole.size();) {
      size_t end = whole.find(u' ', k);
      end = end == std::u16string::npos ? whole.size() : end + 1;
      words.push_back(whole.substr(k, end - k));
      k = end;
    }
    if (words.size() > 1) ways.push_back(words);
  }
  const size_t wrapping = 2;  // the last ways of the last paragraphs wrap
  std::vector<int> marked;    // the items of the first two texts, in every paragraph kind
  for (TRDBiDiMode mode : modes)
    for (TRDAlignment align : {rdaLeft, rdaJustify}) {
      const int para = paraStyle(mode, align);
      for (size_t w = 0; w < ways.size(); ++w) {
        // Justified, the lines that wrap; the others only once each.
        if (align == rdaJustify && w + 3 * wrapping < ways.size()) continue;
        const std::vector<std::u16string>& pieces = ways[w];
        for (size_t i = 0; w < 2 && i < pieces.size(); ++i)
          marked.push_back(v.doc.RDData().GetItemCount() + int(i));
        v.doc.AddTextParagraph(WideStringToRawUnicode(pieces[0]), styleNo, para);
        for (size_t i = 1; i < pieces.size(); ++i)
          v.doc.AddTextContinued(WideStringToRawUnicode(pieces[i]),
                                 styleNo + int(i % std::size(colours)));
      }
    }
  v.doc.SetBounds(0, 0, 420, 40 * v.doc.RDData().GetItemCount());
  // A spelling mark under every word of the first two texts.
  TRichDocRDData& data = v.doc.RDData();
  const auto isWordChar = [](char16_t ch) { return ch != u' ' && ch != u','; };
  for (int itemNo : marked) {
    const std::u16string text = RawUnicodeToWideString(data.GetItemTextRaw(itemNo));
    TCustomRDItemInfo& item = *data.GetItem(itemNo);
    item.WordPainters = std::make_unique<TRDWordPainterList>();
    for (size_t k = 0; k < text.size();) {
      if (!isWordChar(text[k])) {
        ++k;
        continue;
      }
      size_t end = k;
      while (end < text.size() && isWordChar(text[end])) ++end;
      item.WordPainters->Add(std::make_unique<TRDWordMisspellPainter>(int(k) + 1, int(end - k)));
      k = end;
    }
  }
  v.doc.FormatDocument();
  TBitmap shot;
  shot.SetSize(v.doc.Width(), v.doc.Height());
  TCanvas& canvas = shot.Canvas();
  canvas.Brush().SetColor(clWhite);
  canvas.FillRect(Rect(0, 0, shot.Width(), shot.Height()));
  PaintTo(v.doc, canvas, 0, 0);
  TBitmap measureBitmap;
  measureBitmap.SetSize(10, 10);
  TRDPlatformCanvas measure(measureBitmap.Canvas());
  v.style.ApplyStyle(measure, styleNo, rdbdUnspecified, false);
  TFont qtFont;
  qtFont.SetName("DejaVu Sans");
  qtFont.SetHeight(measure.Font.Height);
  const TColor markColor = v.style.LiveSpellingColor;
  const auto isInk = [markColor](TColor c) {
    return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 < 128 && c != markColor;
  };
  // A paragraph that sets no direction reads in its first strong letter's.
  const auto paragraphDirection = [&](int itemNo) {
    const TRDBiDiMode set = data.GetParaBiDiMode(data.GetItem(itemNo)->ParaNo);
    if (set != rdbdUnspecified) return set;
    while (itemNo > 0 && !data.IsParaStart(itemNo)) --itemNo;
    do {
      for (char16_t ch : RawUnicodeToWideString(data.GetItemTextRaw(itemNo))) {
        if (TPreparedFont::IsRightToLeft(ch)) return rdbdRightToLeft;
        if (TPreparedFont::IsLeftToRight(ch)) return rdbdLeftToRight;
      }
    } while (++itemNo < data.GetItemCount() && !data.IsParaStart(itemNo));
    return rdbdLeftToRight;
  };
  int lines = 0, matched = 0, marks = 0, marksMatched = 0, wrappedLines = 0, justified = 0;
  for (int first = 0; first < data.DrawItems.Count();) {
    int last = first;
    while (last + 1 < data.DrawItems.Count() && !data.DrawItems[last + 1]->FromNewLine) ++last;
    const TRDDrawLineInfo& head = *data.DrawItems[first];
    const TRDBiDiMode mode = paragraphDirection(head.ItemNo);
    std::u16string text;
    std::vector<std::pair<int, int>> starts;  // draw line, first unit in the line's text
    int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
    for (int d = first; d <= last; ++d) {
      const TRDDrawLineInfo& line = *data.DrawItems[d];
      left = std::min(left, line.Left);
      right = std::max(right, line.Left + line.Width);
      top = std::min(top, line.Top);
      bottom = std::max(bottom, line.Top + line.Height);
    }
    // The line's text in the order of its items.
    for (int d = first; d <= last;) {
      const int itemNo = data.DrawItems[d]->ItemNo;
      int offs = INT_MAX, end = 0;
      int e = d;
      for (; e <= last && data.DrawItems[e]->ItemNo == itemNo; ++e) {
        starts.emplace_back(e, int(text.size()) + data.DrawItems[e]->Offs);
        offs = std::min(offs, data.DrawItems[e]->Offs);
        end = std::max(end, data.DrawItems[e]->Offs + data.DrawItems[e]->Length);
      }
      for (size_t k = starts.size() - size_t(e - d); k < starts.size(); ++k)
        starts[k].second -= offs;
      text += RawUnicodeToWideString(data.GetItemTextRaw(itemNo))
                  .substr(size_t(offs - 1), size_t(end - offs));
      d = e;
    }
    const bool lastOfPara = last + 1 == data.DrawItems.Count() ||
                            (data.DrawItems[last + 1]->ItemNo != data.DrawItems[last]->ItemNo &&
                             data.IsParaStart(data.DrawItems[last + 1]->ItemNo));
    const bool justify =
        data.GetRDStyle()->ParaStyles()[data.GetItem(head.ItemNo)->ParaNo].Alignment ==
            rdaJustify &&
        !lastOfPara;
    if (!lastOfPara) ++wrappedLines;
    if (justify) ++justified;
    SCOPED_TRACE(RawUnicodeToUTF8(WideStringToRawUnicode(text)) +
                 (mode == rdbdRightToLeft ? " right to left" : " left to right") +
                 (justify ? ", justified" : ""));
    const int width = shot.Width(), height = bottom - top;
    const int y0 = top - data.GetVOffs();
    const TReferenceLine reference = ReferenceTextLine(
        qtFont, text,
        mode == rdbdRightToLeft ? TTextDirection::RightToLeft : TTextDirection::LeftToRight, width,
        height, left - data.GetHOffs(), 0, justify ? right - left : 0);
    // Qt shares the room of a justified right-to-left line that mixes directions among its
    // blanks unevenly (one takes the room of several): there the pieces are compared by
    // the order Qt shows their letters in.
    const bool mixed = std::any_of(text.begin(), text.end(), TPreparedFont::IsLeftToRight) &&
                       std::any_of(text.begin(), text.end(), TPreparedFont::IsRightToLeft);
    int differing = 0;
    if (justify && mode == rdbdRightToLeft && mixed) {
      std::vector<std::pair<int, int>> ours, qts;  // (x, draw line) of each piece with ink
      for (const auto& [d, start] : starts) {
        const TRDDrawLineInfo& line = *data.DrawItems[d];
        int inkLeft = INT_MAX;
        for (int k = start; k < start + line.Length; ++k)
          if (reference.Glyphs[size_t(k)].second > reference.Glyphs[size_t(k)].first)
            inkLeft = std::min(inkLeft, reference.Glyphs[size_t(k)].first);
        if (inkLeft == INT_MAX) continue;
        ours.emplace_back(line.Left, d);
        qts.emplace_back(inkLeft, d);
      }
      std::sort(ours.begin(), ours.end());
      std::sort(qts.begin(), qts.end());
      for (size_t k = 0; k < ours.size(); ++k)
        if (ours[k].second != qts[k].second) ++differing;
    } else {
      // Each piece starts on a whole pixel, where Qt may place a glyph of the whole line a
      // fraction of a pixel beside it: ink counts as matched by ink a pixel either side. Qt
      // spreads a justified line's room in fractions of a pixel, the pieces take whole
      // pixels (the later ones the larger shares): there, two pixels either side.
      const int slack = justify ? 2 : 1;
      const auto qtInk = [&](int x, int y) {
        for (int at = std::max(0, x - slack); at <= std::min(width - 1, x + slack); ++at)
          if (reference.Ink[size_t(y * width + at)]) return true;
        return false;
      };
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const TColor pixel = canvas.Pixels(x, y0 + y);
          if (pixel == markColor) continue;  // (a spelling mark may cover a letter's foot)
          const auto ownInk = [&](int at) {
            for (int k = std::max(0, at - slack); k <= std::min(width - 1, at + slack); ++k)
              if (isInk(canvas.Pixels(k, y0 + y))) return true;
            return false;
          };
          if (isInk(pixel) ? !qtInk(x, y) : reference.Ink[size_t(y * width + x)] && !ownInk(x))
            ++differing;
        }
    }
    ++lines;
    if (differing == 0) ++matched;
    EXPECT_EQ(differing, 0);
    // The marks: each word's x range against the cells Qt shows it in.
    for (const auto& [d, start] : starts) {
      const TRDDrawLineInfo& line = *data.DrawItems[d];
      const TCustomRDItemInfo& item = *data.GetItem(line.ItemNo);
      if (!item.WordPainters) continue;
      for (int w = 0; w < item.WordPainters->Count(); ++w) {
        const TRDWordPainter& painter = *item.WordPainters->Get(w);
        const int from = std::max(painter.StartOffs, line.Offs);
        const int to = std::min(painter.StartOffs + painter.Length, line.Offs + line.Length);
        if (to <= from) continue;
        // The ink of the word's letters.
        int wordLeft = INT_MAX, wordRight = INT_MIN;
        for (int k = start + from - line.Offs; k < start + to - line.Offs; ++k) {
          const auto [inkLeft, inkRight] = reference.Glyphs[size_t(k)];
          if (inkRight <= inkLeft) continue;
          wordLeft = std::min(wordLeft, left - data.GetHOffs() + inkLeft);
          wordRight = std::max(wordRight, left - data.GetHOffs() + inkRight);
        }
        // The mark that runs through the middle of the word's ink.
        const int middle = (wordLeft + wordRight) / 2;
        const auto marked = [&](int x) {
          for (int y = y0; y <= y0 + height; ++y)
            if (canvas.Pixels(x, y) == markColor) return true;
          return false;
        };
        int markLeft = INT_MAX, markRight = INT_MIN;
        if (marked(middle)) {
          markLeft = markRight = middle;
          while (marked(markLeft - 1)) --markLeft;
          while (marked(markRight)) ++markRight;
        }
        ++marks;
        // The mark spans the word's cells, which pass its ink by a letter's side bearings.
        const bool under = markLeft <= wordLeft + 1 && markLeft >= wordLeft - 3 &&
                           markRight >= wordRight - 1 && markRight <= wordRight + 3;
        if (under) ++marksMatched;
        EXPECT_TRUE(under) << "word at " << from << ": mark " << markLeft << ".." << markRight
                           << ", word " << wordLeft << ".." << wordRight;
      }
    }
    first = last + 1;
  }
  EXPECT_GT(wrappedLines, 6);
  EXPECT_GT(justified, 6);
  EXPECT_EQ(matched, lines);
  EXPECT_EQ(marksMatched, marks);
  std::printf("lines matched %d of %d (%d wrapped, %d justified), marks %d of %d\n", matched, lines,
              wrappedLines, justified, marksMatched, marks);
}

TEST(ViewerClipboard, CtrlCCopiesTheSelectionAsUtf8PlainText) {
  Viewer v;
  v.doc.AddTextParagraph(
      "Gr\xFC\xDF"
      "e aus",
      0, 0);
  v.doc.AddTextParagraph("Berlin", 0, 0);
  v.doc.FormatDocument();
  v.doc.SetSelectionRange(0, 1, 1, 4);
  SimulateKey(v.doc, 'C', "", ssCtrl);
  // Other programs here end lines with LF.
  EXPECT_EQ(ClipboardMimeData("text/plain"),
            "Gr\xC3\xBC\xC3\x9F"
            "e aus\nBer");
  EXPECT_EQ(Clipboard().GetAsBytes(CF_TEXT),
            "Gr\xFC\xDF"
            "e aus\r\nBer");
  // Ctrl+Alt+C is not a copy.
  v.doc.SetSelectionRange(1, 1, 1, 7);
  SimulateKey(v.doc, 'C', "", ssCtrl | ssAlt);
  EXPECT_EQ(Clipboard().GetAsBytes(CF_TEXT),
            "Gr\xFC\xDF"
            "e aus\r\nBer");
  SimulateKey(v.doc, VK_INSERT, "", ssCtrl);
  EXPECT_EQ(Clipboard().GetAsBytes(CF_TEXT), "Berlin");
}

TEST(ViewerClipboard, TheDefaultOptionsCopyTextRichDocAndRtfButNoPicture) {
  Viewer v;
  v.doc.AddTextParagraph("plain ", 0, 0);
  v.doc.AddTextParagraph("bold", 1, -1);
  v.doc.AddTextParagraph("next", 0, 0);
  v.doc.FormatDocument();
  v.doc.SetSelectionRange(0, 3, 2, 3);
  v.doc.CopySelection();
  EXPECT_EQ(ClipboardMimeData("text/plain"), "ain bold\nne");
  const std::string rtf = ClipboardMimeData("text/rtf");
  EXPECT_EQ(rtf.substr(0, 6), "{\\rtf1");
  EXPECT_NE(rtf.find("ain "), std::string::npos);
  EXPECT_EQ(ClipboardMimeData("application/rtf"), rtf);
  EXPECT_EQ(ClipboardMimeData("image/png"), "");
  // The viewers' own block: a 4-byte length of what follows, then the selection, which
  // reads back into another document item by item.
  const std::string block = ClipboardMimeData("application/x-velmora-richdoc");
  ASSERT_GT(block.size(), 4u);
  const uint32_t length = uint8_t(block[0]) | uint8_t(block[1]) << 8 | uint8_t(block[2]) << 16 |
                          uint32_t(uint8_t(block[3])) << 24;
  EXPECT_EQ(length, block.size() - 4);
  Viewer pasted;
  TMemoryStream stream;
  stream.WriteBuffer(block.data(), int64_t(block.size()));
  stream.SetPosition(0);
  int index = 0;
  ASSERT_TRUE(LoadRDFBlock(pasted.doc.RDData(), stream, index));
  ASSERT_EQ(pasted.doc.ItemCount(), 3);
  EXPECT_EQ(pasted.doc.ReadItemText(0), "ain ");
  EXPECT_EQ(pasted.doc.ReadItemText(1), "bold");
  EXPECT_EQ(pasted.doc.GetItemStyleIndex(1), 1);
  EXPECT_EQ(pasted.doc.ReadItemText(2), "ne");
}

TEST(ViewerClipboard, CopyingWithoutTextOptionsLeavesNoText) {
  Viewer v;
  v.doc.Options &= ~(rdoAutoCopyText | rdoAutoCopyUnicodeText | rdoAutoCopyRDF | rdoAutoCopyRTF);
  v.doc.AddTextParagraph("words", 0, 0);
  v.doc.FormatDocument();
  Clipboard().SetAsBytes(CF_TEXT, "before");
  v.doc.SetSelectionRange(0, 1, 0, 3);
  bool asked = false;
  v.doc.OnCopy = [&](TComponent*) {
    asked = true;
    Clipboard().SetAsBytes(RegisterClipboardFormat("Test Format"), "own");
  };
  v.doc.CopySelection();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
  EXPECT_EQ(Clipboard().GetAsBytes(RegisterClipboardFormat("Test Format")), "own");
}

}  // namespace

// Laying out only what changed must give what a whole layout gives: appends laid out
// from the tail, paragraphs laid out again after their texts or styles changed, the
// oldest paragraphs deleted with the rest kept, in random sequences, each step compared
// with a whole format of the same document. Also the width of the document, which
// follows its widest line both ways, and line breaking in long paragraphs and around
// combining marks.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"

namespace {

struct TLineShape {
  int Left, Top, Width, Height, ItemNo, Offs, Length, Extra;
  bool FromNewLine;
  bool operator==(const TLineShape&) const = default;
};

struct TLayout {
  std::vector<TLineShape> Lines;
  int DocumentWidth, TextWidth, DocumentHeight, ScrollWidth;
  bool operator==(const TLayout&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TLayout& layout) {
  out << "width " << layout.DocumentWidth << " text " << layout.TextWidth << " height "
      << layout.DocumentHeight << " scroll width " << layout.ScrollWidth << ", "
      << layout.Lines.size() << " draw lines";
  return out;
}

// A monitor-like viewer: no-wrap lines, a centred wrapping paragraph style with space
// around it, a left one, and text styles of two sizes.
struct Viewer {
  explicit Viewer(int width = 300, int height = 120) : doc(nullptr) {
    style.TextStyles()[0].FontName = "Tahoma";
    style.TextStyles()[0].Size = 10;
    TFontInfo& big = style.TextStyles().Add();
    big.FontName = "Tahoma";
    big.Size = 14;
    style.ParaStyles()[0].Options = rdpaoNoWrap;
    TParaInfo& centred = style.ParaStyles().Add();
    centred.Alignment = rdaCenter;
    centred.SpaceBefore = 3;
    TParaInfo& left = style.ParaStyles().Add();
    left.SpaceAfter = 2;
    left.LeftIndent = 6;
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, width, height);
  }
  TLayout Layout() {
    const TRichDocRDData& data = doc.RDData();
    TLayout layout{{}, data.DocumentWidth, data.TextWidth, data.DocumentHeight, doc.ScrollWidth()};
    for (int d = 0; d < data.DrawItems.Count(); ++d) {
      const TRDDrawLineInfo& l = *data.DrawItems[d];
      layout.Lines.push_back({l.Left, l.Top, l.Width, l.Height, l.ItemNo, l.Offs, l.Length,
                              l.ExtraSpaceBelow, l.FromNewLine});
    }
    return layout;
  }
  // The layout as it stands, and the item of each line's first draw line, must be what
  // a whole format makes of the same items.
  void ExpectAsWholeFormat(const std::string& step) {
    const TLayout kept = Layout();
    std::vector<int> first_lines;
    for (int i = 0; i < doc.ItemCount(); ++i) first_lines.push_back(doc.GetItemInfo(i)->DrawItemNo);
    doc.FormatDocument();
    const TLayout whole = Layout();
    ASSERT_EQ(kept, whole) << step;
    for (int i = 0; i < doc.ItemCount(); ++i)
      ASSERT_EQ(first_lines[size_t(i)], doc.GetItemInfo(i)->DrawItemNo) << step << " item " << i;
  }
  TRDStyle style;
  TRichDoc doc;
};

std::string Words(std::mt19937& random, int count) {
  static const char* const kWords[] = {"fm",
                                       "DL1ABC-9",
                                       "to",
                                       "APRS",
                                       "via",
                                       "WIDE1-1",
                                       "ctl",
                                       "UI",
                                       "pid",
                                       "F0",
                                       "!4903.50N/07201.75W-",
                                       "x"};
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kWords[random() % std::size(kWords)];
  }
  return text;
}

int ParaEnd(const TRichDoc& doc, int item) {
  while (item + 1 < doc.ItemCount() && !doc.GetItemInfo(item + 1)->IsParaStart()) ++item;
  return item;
}

TEST(IncrementalLayout, RandomAppendsUpdatesAndTrimsLayOutAsAWholeFormat) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 random(seed);
    Viewer v;
    v.doc.FormatDocument();
    for (int step = 0; step < 90; ++step) {
      const std::string name = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      const int what = int(random() % 10);
      const int count = v.doc.ItemCount();
      if (what < 4 || count < 4) {
        // Appended paragraphs, some continued by a run of the other text style.
        const int paras = 1 + int(random() % 3);
        for (int k = 0; k < paras; ++k) {
          v.doc.AddTextParagraph(Words(random, 1 + int(random() % 30)), int(random() % 2),
                                 int(random() % 3));
          if (random() % 2) v.doc.AddTextContinued(Words(random, int(random() % 6)), 1);
        }
        v.doc.FormatTail();
      } else if (what < 8) {
        // A text or a paragraph style changes in place.
        const int item = int(random() % unsigned(count));
        if (random() % 3) {
          v.doc.ReplaceItemText(item, Words(random, int(random() % 40)));
        } else {
          const int para = int(random() % 3);
          int first = item;
          while (first > 0 && !v.doc.GetItemInfo(first)->IsParaStart()) --first;
          for (int i = first; i <= ParaEnd(v.doc, item); ++i) v.doc.GetItemInfo(i)->ParaNo = para;
        }
        v.doc.FormatChangedItems(item, item);
      } else {
        // The oldest paragraphs go, as the monitor trims them.
        const int last = ParaEnd(v.doc, int(random() % unsigned(count / 2)));
        v.doc.DeleteItemRange(0, last + 1);
        v.doc.FormatAfterDeletion();
      }
      v.ExpectAsWholeFormat(name + " kind " + std::to_string(what));
    }
  }
}

TEST(IncrementalLayout, TheWidthFollowsTheWidestLineBothWays) {
  Viewer v(200, 100);
  v.doc.AddTextParagraph("short", 0, 0);
  v.doc.FormatTail();
  const int narrow = v.doc.ScrollWidth();
  v.doc.AddTextParagraph(std::string(300, 'W'), 0, 0);  // a no-wrap line far wider
  v.doc.AddTextParagraph("a wrapping paragraph that follows the text width of the document", 0, 1);
  v.doc.FormatTail();
  const int wide = v.doc.ScrollWidth();
  EXPECT_GT(wide, 2 * narrow);
  EXPECT_EQ(v.doc.RDData().TextWidth, v.doc.RDData().DocumentWidth);
  v.ExpectAsWholeFormat("wide");

  // The wide line trimmed away: the range and the wrapping come back.
  v.doc.DeleteItemRange(0, 2);
  v.doc.FormatAfterDeletion();
  EXPECT_EQ(v.doc.ScrollWidth(), narrow);
  v.ExpectAsWholeFormat("trimmed");

  // The same when the wide line is made short in place.
  v.doc.AddTextParagraph(std::string(300, 'W'), 0, 0);
  v.doc.FormatTail();
  EXPECT_EQ(v.doc.ScrollWidth(), wide);
  v.doc.ReplaceItemText(v.doc.ItemCount() - 1, "short again");
  v.doc.FormatChangedItems(v.doc.ItemCount() - 1, v.doc.ItemCount() - 1);
  EXPECT_EQ(v.doc.ScrollWidth(), narrow);
  v.ExpectAsWholeFormat("shortened");

  // A no-wrap line shown in capitals is as wide as they are: the range reaches its end.
  const int capitals = v.style.TextStyles().Count();
  v.style.TextStyles().Add().StyleEx = rdfsAllCaps;
  v.doc.AddTextParagraph(std::string(300, 'w'), capitals, 0);
  v.doc.FormatTail();
  const TRichDocRDData& data = v.doc.RDData();
  const TRDDrawLineInfo& last = *data.DrawItems[data.DrawItems.Count() - 1];
  EXPECT_GE(data.GetLeftMargin() + data.DocumentWidth, last.Left + last.Width);
  v.ExpectAsWholeFormat("capitals");
}

TEST(IncrementalLayout, AChangedParagraphKeepsTheSelectionAndTheViewElsewhere) {
  Viewer v;
  for (int i = 0; i < 40; ++i) v.doc.AddTextParagraph("line " + std::to_string(i), 0, 2);
  v.doc.FormatDocument();
  v.doc.SetVScrollPos(3);
  v.doc.SetSelectionRange(30, 2, 31, 3);
  std::mt19937 random(7);
  v.doc.ReplaceItemText(10, Words(random, 60));
  v.doc.FormatChangedItems(10, 10);
  EXPECT_EQ(v.doc.VScrollPos(), 3);
  int start, start_offs, end, end_offs;
  v.doc.GetSelectionRange(start, start_offs, end, end_offs, true);
  EXPECT_EQ(start, 30);
  EXPECT_EQ(start_offs, 2);
  EXPECT_EQ(end, 31);
  EXPECT_EQ(end_offs, 3);
  v.ExpectAsWholeFormat("after the change");
}

// A paragraph of one long item breaks where the same words in short paragraphs fill
// lines: every line as full as it can be, whatever follows in the item.
TEST(LongParagraphs, EveryLineOfALongItemIsFilledAsAShortOne) {
  Viewer v(400, 100);
  v.style.ParaStyles()[0].Options = 0;
  std::string text;
  std::mt19937 random(3);
  while (text.size() < 20000) text += Words(random, 10) + " ";
  v.doc.AddTextParagraph(text, 0, 0);
  v.doc.FormatDocument();
  const TRichDocRDData& data = v.doc.RDData();
  ASSERT_GT(data.DrawItems.Count(), 100);
  // Each line is as laid out alone: its text in a paragraph of its own is one line.
  Viewer alone(400, 100);
  alone.style.ParaStyles()[0].Options = 0;
  for (int d : {0, 1, 50, data.DrawItems.Count() - 2}) {
    const TRDDrawLineInfo& line = *data.DrawItems[d];
    const std::string piece = text.substr(size_t(line.Offs - 1), size_t(line.Length));
    // The line and the next word, which does not fit on it.
    const size_t next_end = text.find(' ', size_t(line.Offs + line.Length + 1));
    const std::string with_next =
        text.substr(size_t(line.Offs - 1), next_end - size_t(line.Offs - 1));
    alone.doc.ClearDocument();
    alone.doc.AddTextParagraph(piece, 0, 0);
    alone.doc.AddTextParagraph(with_next, 0, 0);
    // Enough lines for the vertical scroll bar the long paragraph has.
    for (int k = 0; k < 30; ++k) alone.doc.AddTextParagraph("x", 0, 0);
    alone.doc.FormatDocument();
    ASSERT_EQ(alone.doc.RDData().TextWidth, data.TextWidth);
    const TRichDocRDData& laid = alone.doc.RDData();
    EXPECT_EQ(laid.DrawItems[0]->Width, line.Width) << "line " << d;
    ASSERT_TRUE(laid.DrawItems[2]->ItemNo == 1 && laid.DrawItems[2]->FromNewLine) << "line " << d;
    EXPECT_EQ(laid.DrawItems[1]->Length, line.Length) << "line " << d;
  }
}

std::string Unicode(const std::u16string& text) {
  std::string raw;
  for (char16_t u : text) {
    raw += char(u & 0xFF);
    raw += char(u >> 8);
  }
  return raw;
}

TEST(CombiningMarks, AForcedBreakKeepsTheMarkWithItsLetter) {
  // One long word of "e" + U+0301 pairs, broken inside the word on every line.
  std::u16string word;
  for (int i = 0; i < 200; ++i) word += u"e\u0301";
  for (int width : {60, 61, 62, 63, 64, 65, 66, 67}) {
    Viewer v(width, 100);
    v.style.ParaStyles()[0].Options = 0;
    v.doc.AddTextParagraph(Unicode(word), 0, 0);
    v.doc.GetItemInfo(0)->ItemOptions |= rdioUnicodeText;
    v.doc.FormatDocument();
    const TRichDocRDData& data = v.doc.RDData();
    ASSERT_GT(data.DrawItems.Count(), 2) << width;
    for (int d = 0; d < data.DrawItems.Count(); ++d) {
      const TRDDrawLineInfo& line = *data.DrawItems[d];
      EXPECT_EQ(word[size_t(line.Offs - 1)], u'e') << "width " << width << " line " << d;
      EXPECT_EQ(line.Length % 2, 0) << "width " << width << " line " << d;
    }
  }
}

}  // namespace

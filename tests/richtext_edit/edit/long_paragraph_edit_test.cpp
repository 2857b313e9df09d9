// Edits in long paragraphs lay out only the lines around them; what they leave must be
// what a whole layout of the same document gives: every draw line's characters, place,
// size, spacing and justification, each item's first draw line, each item line's least
// width and the document's height. The paragraphs mix text styles (a Unicode one among
// them), tabs and pictures, and are left, centred with spacing and indents, justified and
// right-aligned with line spacing.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>
#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

std::string Layout(const TRDEditRDData& data) {
  std::ostringstream out;
  for (int d = 0; d < data.DrawItems.Count(); ++d) {
    const TRDDrawLineInfo& l = *data.DrawItems[d];
    out << d << ": item " << l.ItemNo << ' ' << l.Offs << '+' << l.Length << " at " << l.Left << ','
        << l.Top << ' ' << l.Width << 'x' << l.Height << " below " << l.ExtraSpaceBelow
        << " justify " << l.JustifyExtra << " least " << l.LineMinWidth
        << (l.FromNewLine ? " new" : "") << '\n';
  }
  for (int i = 0; i < data.GetItemCount(); ++i)
    out << "item " << i << " draws from " << data.GetItem(i)->DrawItemNo << '\n';
  out << "height " << data.DocumentHeight << " least " << data.DrawItems.MaxLineMinWidth() << '\n';
  return out.str();
}

std::string Unicode(const std::string& ascii) {
  std::string raw;
  for (char c : ascii) {
    raw += c;
    raw += '\0';
  }
  return raw;
}

// "" when both layouts are the same, else the first lines where they part.
std::string Difference(const std::string& kept, const std::string& whole) {
  std::istringstream a(kept), b(whole);
  std::string x, y;
  while (true) {
    const bool more = bool(std::getline(a, x)), other = bool(std::getline(b, y));
    if (!more && !other) return {};
    if (x != y || more != other) return "kept:  " + x + "\nwhole: " + y;
  }
}

struct TLongParagraphs {
  explicit TLongParagraphs(unsigned seed) : random(seed) {
    TFontInfo& big = style.TextStyles().Add();
    big.Size = 14;
    big_style = style.TextStyles().Count() - 1;
    TFontInfo& raised = style.TextStyles().Add();
    raised.Size = 8;
    raised.VShift = 30;
    TFontInfo& wide = style.TextStyles().Add();
    wide.Unicode = true;
    unicode_style = style.TextStyles().Count() - 1;
    TParaInfo& centred = style.ParaStyles().Add();
    centred.Alignment = rdaCenter;
    centred.SpaceBefore = 4;
    centred.SpaceAfter = 3;
    centred.LeftIndent = 10;
    centred.FirstIndent = 15;
    style.ParaStyles().Add().Alignment = rdaJustify;
    TParaInfo& spaced = style.ParaStyles().Add();
    spaced.Alignment = rdaRight;
    spaced.LineSpacingType = rdlsPercent;
    spaced.LineSpacing = 150;
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 420, 300);
    for (int para = 0; para < 8; ++para) {
      const bool longOne = para % 2 == 1;
      const int items = longOne ? 30 : 2;
      for (int i = 0; i < items; ++i) AddItem(i > 0, para % 4, longOne ? 150 : 20);
    }
    edit.FormatDocument();
  }

  std::string Words(int length) {
    static const char* const kWords[] = {"the",     "quick",   "brown", "fox",      "jumps",
                                         "over",    "a",       "lazy",  "dog",      "while",
                                         "station", "beacons", "its",   "position", "WIDE1-1"};
    std::string text;
    while (int(text.size()) < length) text += std::string(kWords[random() % 15]) + ' ';
    return text;
  }

  void AddItem(bool continuesPara, int paraNo, int length) {
    TRDEditRDData& data = edit.EditData();
    const int kind = int(random() % 12);
    int styleNo = int(random() % unsigned(style.TextStyles().Count()));
    std::string text = Words(int(random() % unsigned(length)) + 1);
    if (kind == 0) {
      styleNo = rdsTab;
      text.clear();
    }
    auto item = CreateRDItem(styleNo, &data);
    item->ParaNo = continuesPara ? -1 : paraNo;
    if (styleNo == unicode_style) {
      item->ItemOptions |= rdioUnicodeText;
      text = Unicode(text);
    }
    data.AddItemAtEnd(text, std::move(item));
  }

  // A caret at a random place of a random item.
  void PlaceCaret() {
    TRDEditRDData& data = edit.EditData();
    const int itemNo = int(random() % unsigned(data.GetItemCount()));
    const int first = data.GetItemStartOffset(itemNo), last = data.GetItemEndOffset(itemNo);
    data.PlaceCaretAtItem(itemNo, first + int(random() % unsigned(last - first + 1)), false);
  }

  // One edit; what it was, for the failure message.
  std::string Edit() {
    PlaceCaret();
    TRDEditRDData& data = edit.EditData();
    const int what = int(random() % 20);
    if (what < 8) {
      const std::u16string typed = u"x ";
      const int n = 1 + int(random() % 6);
      for (int k = 0; k < n; ++k) edit.TypeChar(typed[random() % 2]);
      return "typing";
    }
    if (what < 12) {
      for (int k = int(random() % 4); k >= 0; --k) data.BackspaceKey(false, false, false);
      return "backspace";
    }
    if (what < 16) {
      for (int k = int(random() % 4); k >= 0; --k) data.DeleteKey(false, false);
      return "delete";
    }
    if (what == 16) {
      edit.InsertTab();
      return "tab";
    }
    if (what == 17) {
      auto picture = std::make_unique<TBitmap>();
      picture->SetSize(8 + int(random() % 60), 6 + int(random() % 30));
      edit.InsertPicture("", std::move(picture), rdvaBaseline);
      return "picture";
    }
    if (what == 18) {
      data.EnterKey(random() % 2 == 0, false);
      return "enter";
    }
    edit.InsertText(Words(int(random() % 300)));
    return "text";
  }

  std::mt19937 random;
  TRDStyle style;
  TRichDocEdit edit{nullptr};
  int big_style = -1;
  int unicode_style = -1;
};

TEST(LongParagraphEditing, EveryEditLaysOutAsAWholeLayout) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    TLongParagraphs doc(seed);
    TRDEditRDData& data = doc.edit.EditData();
    for (int step = 0; step < 60; ++step) {
      const std::string what = doc.Edit();
      const std::string incremental = Layout(data);
      data.FormatWhole();
      ASSERT_EQ(Difference(incremental, Layout(data)), "")
          << "seed " << seed << " step " << step << ": " << what;
    }
  }
}

TEST(LongParagraphEditing, TypingAndBackspaceLayOutOnlyTheLinesAroundThem) {
  TLongParagraphs doc(7);
  TRDEditRDData& data = doc.edit.EditData();
  // A text item in the middle of the second paragraph, a long one.
  int itemNo = 17;
  while (data.GetItem(itemNo)->StyleNo < 0) ++itemNo;
  ASSERT_GT(data.DrawItems.Count(), 60);
  for (const bool backspace : {false, true}) {
    std::set<const TRDDrawLineInfo*> old;
    for (int d = 0; d < data.DrawItems.Count(); ++d) old.insert(data.DrawItems[d]);
    data.PlaceCaretAtItem(itemNo, data.GetItemStartOffset(itemNo) + 2, false);
    ASSERT_TRUE(backspace ? data.BackspaceKey(false, false, false) : doc.edit.TypeChar(u'x'));
    int laidOut = 0;
    for (int d = 0; d < data.DrawItems.Count(); ++d) laidOut += old.count(data.DrawItems[d]) == 0;
    EXPECT_LE(laidOut, 12) << (backspace ? "backspace" : "typing");
    const std::string incremental = Layout(data);
    data.FormatWhole();
    EXPECT_EQ(Difference(incremental, Layout(data)), "");
  }
}

// The space that ends a line is dropped and its piece measured again in its own item's
// style; an item of another style that then starts the next line keeps its own font.
TEST(LongParagraphEditing, AnItemWrappedAfterAnotherStylesSpaceKeepsItsFont) {
  TLongParagraphs doc(8);
  TRDEditRDData& data = doc.edit.EditData();
  data.Clear();
  for (int i = 0; i < 60; ++i) {
    auto item = CreateRDItem(i % 2 == 0 ? 0 : doc.big_style, &data);
    item->ParaNo = i == 0 ? 0 : -1;
    data.AddItemAtEnd(doc.Words(10 + i * 7 % 23), std::move(item));
  }
  doc.edit.FormatDocument();
  int height[2] = {0, 0}, wrapsAtItemStart = 0;
  for (int d = 0; d < data.DrawItems.Count(); ++d) {
    const TRDDrawLineInfo& line = *data.DrawItems[d];
    wrapsAtItemStart += line.FromNewLine && line.Offs == 1 && line.ItemNo > 0;
    int& seen = height[data.GetItem(line.ItemNo)->StyleNo == 0 ? 0 : 1];
    if (seen == 0) seen = line.Height;
    EXPECT_EQ(line.Height, seen) << "draw line " << d;
  }
  EXPECT_GT(wrapsAtItemStart, 3);
  EXPECT_NE(height[0], height[1]);
}

}  // namespace

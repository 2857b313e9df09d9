// The caret: its stops on a screen line (left to right and right to left, pictures, list
// markers), and moving it by character, word, line, paragraph, page and document,
// handing it to items that take it with the side it arrives from.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/tab_item.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

std::unique_ptr<TCustomRDItemInfo> Picture(TRDEditRDData& data, int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  return TRDGraphicItemInfo::CreateWithGraphic(&data, std::move(bitmap), rdvaBaseline);
}

// An item that takes the caret from any side and notes the entry codes it was offered.
class TEnterable : public TRDTabItemInfo {
 public:
  using TRDTabItemInfo::TRDTabItemInfo;
  std::vector<int>* entries = nullptr;
  bool EnterTable(int direction, int) override {
    entries->push_back(direction);
    return true;
  }
};

void PlaceAt(TEditFixture& f, int itemNo, int offset) {
  f.data.PlaceCaretAtItem(itemNo, offset, false);
}

std::pair<int, int> Caret(TEditFixture& f) {
  return {f.edit.CaretItemNo(), f.edit.CaretItemOffset()};
}

}  // namespace

TEST(CaretStops, TextGetsAStopAtEveryBoundary) {
  TEditFixture f;
  f.AddPara({{"abc", 0}, {"de", 1}});
  f.Format();
  PlaceAt(f, 0, 2);
  const auto& stops = f.data.CaretPositions;
  ASSERT_EQ(stops.size(), 6u);  // one stop between the two items
  for (size_t i = 1; i < stops.size(); ++i) EXPECT_GT(stops[i].X, stops[i - 1].X);
  EXPECT_EQ(stops[0].Offset, 1);
  EXPECT_EQ(stops[3].Offset, 4);
  EXPECT_EQ(stops[3].DrawItemNo, 0);
  EXPECT_EQ(f.data.CaretPosIndex, 1);
  EXPECT_EQ(Caret(f), std::make_pair(0, 2));
  // The start of the second item is the end of the first.
  PlaceAt(f, 1, 1);
  EXPECT_EQ(f.data.CaretPosIndex, 3);
}

TEST(CaretStops, APictureStartingALineFacesTheParagraphsDirection) {
  for (TRDBiDiMode mode : {rdbdUnspecified, rdbdRightToLeft}) {
    TEditFixture f;
    f.style.ParaStyles().Items(0).BiDiMode = mode;
    f.data.AddItemAtEnd("", Picture(f.data, 40, 20));
    f.Format();
    PlaceAt(f, 0, 0);
    const auto& stops = f.data.CaretPositions;
    ASSERT_EQ(stops.size(), 2u);
    const TRDDrawLineInfo& line = *f.data.DrawItems[0];
    if (mode == rdbdRightToLeft) {
      EXPECT_EQ(stops[0].X, line.Left + line.Width);
      EXPECT_EQ(stops[0].Side, 2);
      EXPECT_EQ(stops[1].X, line.Left);
      EXPECT_EQ(stops[1].Side, 1);
    } else {
      EXPECT_EQ(stops[0].X, line.Left);
      EXPECT_EQ(stops[0].Side, 1);
      EXPECT_EQ(stops[1].X, line.Left + line.Width);
      EXPECT_EQ(stops[1].Side, 2);
    }
  }
}

// Arabic, Hebrew and mixed text, in paragraphs of either direction and of none: after a
// click on every character and after every arrow key the caret stands where Qt puts the
// caret of its position on a line of the paragraph's direction (QTextLine::cursorToX).
TEST(CaretStops, StandWhereQtPutsTheCaretsOfRightToLeftText) {
  const std::u16string_view texts[] = {
      u"\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645",
      u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD",
      u"Go \u0645\u0631\u062D\u0628\u0627 42 now",
      u"\u05E9\u05DC\u05D5\u05DD world \u05E2\u05D5\u05DC\u05DD",
      u"one \u05E9\u05DC\u05D5\u05DD two three",
      u"\u0627\u0644\u0639\u062F\u062F 12345 \u0643\u0628\u064A\u0631",
  };
  int positions = 0, matched = 0;
  for (TRDBiDiMode mode : {rdbdUnspecified, rdbdLeftToRight, rdbdRightToLeft}) {
    TEditFixture f;
    TFontInfo& font = f.style.TextStyles().Items(f.unicodeStyle);
    font.FontName = "DejaVu Sans";
    font.Size = 12;
    f.style.ParaStyles().Items(0).BiDiMode = mode;
    for (std::u16string_view text : texts)
      f.AddPara({{WideStringToRawUnicode(text), f.unicodeStyle}});
    f.Format();
    TFont qtFont;
    qtFont.SetName("DejaVu Sans");
    qtFont.SetHeight(-16);  // 12 points at 96 pixels an inch
    const TTextDirection direction = mode == rdbdRightToLeft   ? TTextDirection::RightToLeft
                                     : mode == rdbdLeftToRight ? TTextDirection::LeftToRight
                                                               : TTextDirection::Auto;
    for (int itemNo = 0; itemNo < f.data.GetItemCount(); ++itemNo) {
      const std::u16string_view text = texts[size_t(itemNo)];
      SCOPED_TRACE(RawUnicodeToUTF8(WideStringToRawUnicode(text)) + " mode " +
                   std::to_string(int(mode)));
      const TReferenceLine reference = ReferenceTextLine(qtFont, text, direction, 1, 1, 0, 0);
      const std::vector<int>& carets = reference.Carets;
      // The line's left edge: a text that mixes directions is in a piece per direction.
      const int firstPiece = f.data.GetItem(itemNo)->DrawItemNo;
      const TRDDrawLineInfo& line = *f.data.DrawItems[firstPiece];
      int lineLeft = line.Left;
      for (int d = firstPiece;
           d < f.data.DrawItems.Count() && f.data.DrawItems[d]->ItemNo == itemNo; ++d)
        lineLeft = std::min(lineLeft, f.data.DrawItems[d]->Left);
      const auto expectCaretWhereQtHasIt = [&](const char* how) {
        const int offset = f.edit.CaretItemOffset();
        const TRDCharPos& stop = f.data.CaretPositions[size_t(f.data.CaretPosIndex)];
        const int x = stop.X - 1 + stop.Side - lineLeft;
        ++positions;
        // Between runs of the two directions the caret stands at the end of the character
        // before it, one of the two places Qt has for it.
        const bool same = std::abs(x - carets[size_t(offset - 1)]) <= 1 ||
                          std::abs(x - reference.OtherCarets[size_t(offset - 1)]) <= 1;
        if (same) ++matched;
        EXPECT_TRUE(same) << how << " at " << offset << ": " << x << ", Qt "
                          << carets[size_t(offset - 1)];
      };
      // A click a quarter into every character's cell.
      const int y = line.Top - f.data.GetVOffs() + line.Height / 2;
      for (size_t k = 0; k < text.size(); ++k) {
        const int a = carets[k], b = carets[k + 1];
        const int x = lineLeft - f.data.GetHOffs() + (3 * std::min(a, b) + std::max(a, b)) / 4;
        const TRect area = f.edit.DocumentRect();
        SimulateClick(f.edit, x + area.Left, y + area.Top);
        ASSERT_EQ(f.edit.CaretItemNo(), itemNo);
        expectCaretWhereQtHasIt("click");
      }
      // The arrow keys through the whole text and back.
      PlaceAt(f, itemNo, 1);
      for (size_t k = 0; k < text.size(); ++k) {
        SimulateKey(f.edit, VK_RIGHT);
        expectCaretWhereQtHasIt("right");
      }
      for (size_t k = 0; k < text.size(); ++k) {
        SimulateKey(f.edit, VK_LEFT);
        expectCaretWhereQtHasIt("left");
      }
    }
  }
  EXPECT_EQ(matched, positions);
  std::printf("caret positions matched %d of %d\n", matched, positions);
}

TEST(CaretStops, NoStopOnAListMarker) {
  TEditFixture f;
  f.data.AddItemAtEnd("", CreateRDItem(rdsListMarker, &f.data));
  f.AddItem(0, "item", true);
  f.Format();
  f.data.CaretDItemNo = 0;
  f.data.BuildCaretPositions(0);
  EXPECT_EQ(f.data.CaretDItemNo, 1);
  for (const TRDCharPos& stop : f.data.CaretPositions) EXPECT_NE(stop.DrawItemNo, 0);
  EXPECT_EQ(Caret(f).first, 1);  // the text item after the marker
  // Left from the first text position stays: the marker starts the document.
  PlaceAt(f, 1, 1);
  EXPECT_TRUE(f.data.MoveCaretLeft(false, false));
  EXPECT_EQ(Caret(f), std::make_pair(1, 1));
}

TEST(CaretStops, ATallDrawItemGetsTheHighestCaret) {
  TEditFixture f;
  f.data.AddItemAtEnd("", Picture(f.data, 10, 1200));
  f.Format();
  PlaceAt(f, 0, 1);
  EXPECT_EQ(f.data.CaretHeight, CaretMaxHeight);
}

TEST(CaretMovement, ByCharacterStopsAtTheDocumentsEdges) {
  TEditFixture f;
  f.AddPara({{"ab", 0}});
  f.AddPara({{"cd", 0}});
  f.Format();
  PlaceAt(f, 0, 1);
  EXPECT_TRUE(f.data.MoveCaretLeft(false, false));
  EXPECT_FALSE(f.data.MoveCaretRight(false, false));
  EXPECT_FALSE(f.data.MoveCaretRight(false, false));
  EXPECT_EQ(Caret(f), std::make_pair(0, 3));
  EXPECT_FALSE(f.data.MoveCaretRight(false, false));  // into the next paragraph
  EXPECT_EQ(Caret(f), std::make_pair(1, 1));
  EXPECT_FALSE(f.data.MoveCaretLeft(false, false));
  EXPECT_EQ(Caret(f), std::make_pair(0, 3));
  f.data.MoveCaretToDocEnd();
  EXPECT_EQ(Caret(f), std::make_pair(1, 3));
  EXPECT_TRUE(f.data.MoveCaretRight(false, false));
  f.data.MoveCaretToDocStart();
  EXPECT_EQ(Caret(f), std::make_pair(0, 1));
}

TEST(CaretMovement, ByWordPassesARunOfDelimitersAsOneWord) {
  TEditFixture f;
  f.AddPara({{"abc, def", 0}});
  f.Format();
  PlaceAt(f, 0, 8);  // after "de"
  f.data.MoveCaretLeft(false, true);
  EXPECT_EQ(Caret(f).second, 6);  // before the d
  f.data.MoveCaretLeft(false, true);
  EXPECT_EQ(Caret(f).second, 4);  // before the comma
  f.data.MoveCaretLeft(false, true);
  EXPECT_EQ(Caret(f).second, 1);
  f.data.MoveCaretRight(false, true);
  EXPECT_EQ(Caret(f).second, 4);
  f.data.MoveCaretRight(false, true);
  EXPECT_EQ(Caret(f).second, 6);
  f.data.MoveCaretRight(false, true);
  EXPECT_EQ(Caret(f).second, 9);
}

TEST(CaretMovement, ByLineKeepsTheColumnAndSelectsToTheEdges) {
  TEditFixture f;
  f.AddPara({{"first line", 0}});
  f.AddPara({{"second line", 0}});
  f.AddPara({{"third", 0}});
  f.Format();
  PlaceAt(f, 1, 4);
  const int column = f.data.CaretStop().X;
  f.data.MoveCaretUp(false, false);
  EXPECT_EQ(Caret(f).first, 0);
  // The stop of the line above nearest to the column.
  for (const TRDCharPos& stop : f.data.CaretPositions)
    EXPECT_GE(std::abs(stop.X - column), std::abs(f.data.CaretStop().X - column));
  f.data.MoveCaretDown(false, false);
  f.data.MoveCaretDown(false, false);
  EXPECT_EQ(Caret(f).first, 2);
  // On the last line Down with Select goes to the line's end; on the first, Up to its start.
  EXPECT_TRUE(f.data.MoveCaretDown(true, false));
  EXPECT_EQ(Caret(f), std::make_pair(2, 6));
  PlaceAt(f, 0, 5);
  EXPECT_TRUE(f.data.MoveCaretUp(true, false));
  EXPECT_EQ(Caret(f), std::make_pair(0, 1));
  EXPECT_TRUE(f.data.MoveCaretUp(true, false));  // a second Up only scrolls to the top
  EXPECT_EQ(Caret(f), std::make_pair(0, 1));
}

TEST(CaretMovement, ByParagraphAndPage) {
  TEditFixture f;
  for (int i = 0; i < 3; ++i) f.AddPara({{"para " + std::to_string(i), 0}, {" more", 1}});
  f.Format();
  PlaceAt(f, 5, 3);
  f.data.MoveCaretToPrevParaStart();
  EXPECT_EQ(Caret(f), std::make_pair(2, 1));
  f.data.MoveCaretToNextParaEnd();
  EXPECT_EQ(Caret(f), std::make_pair(5, 6));
  // A document shorter than the view: Page Down goes to its end, Page Up to its start.
  PlaceAt(f, 2, 2);
  f.data.MoveCaretPageDown();
  EXPECT_EQ(Caret(f), std::make_pair(5, 6));
  f.data.MoveCaretPageUp();
  EXPECT_EQ(Caret(f), std::make_pair(0, 1));
}

TEST(CaretMovement, ItemsThatTakeTheCaretAreOfferedTheSideItArrivesFrom) {
  TEditFixture f;
  std::vector<int> entries;
  f.AddPara({{"above", 0}});
  f.AddPara({{"ab", 0}});
  auto table = std::make_unique<TEnterable>(&f.data);
  table->entries = &entries;
  table->StyleNo = rdsTab;
  table->ParaNo = -1;
  f.data.AddItemAtEnd("", std::move(table));
  f.AddItem(0, "cd", true);
  f.AddPara({{"below", 0}});
  f.Format();
  PlaceAt(f, 1, 3);
  f.data.MoveCaretRight(false, false);
  PlaceAt(f, 3, 1);
  f.data.MoveCaretLeft(false, false);
  const TRDDrawLineInfo& line = *f.data.DrawItems[f.data.GetItem(2)->DrawItemNo];
  // From above and below, at the item's column.
  f.data.CaretDItemNo = 0;
  f.data.BuildCaretPositions(1);
  for (size_t i = 0; i < f.data.CaretPositions.size(); ++i)
    if (f.data.CaretPositions[i].X >= line.Left) {
      f.data.CaretPosIndex = int(i);
      break;
    }
  f.data.MoveCaretDown(false, false);
  PlaceAt(f, 4, 1);
  while (f.data.CaretPositions[size_t(f.data.CaretPosIndex)].X < line.Left + 1 &&
         !f.data.CaretAtLineEnd())
    ++f.data.CaretPosIndex;
  f.data.MoveCaretUp(false, false);
  EXPECT_EQ(entries, (std::vector<int>{0, 1, 2, 3}));
}

// The list box's owner-drawn rows: the handler gets each row's index, area and state
// and draws on the list's canvas; the standard list keeps its own look.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/list_box.h"
#include "platform/test_support/gui_test_support.h"

namespace {

constexpr TColor kListColor = 0xAAF9FB;

struct TDrawCall {
  int Index;
  TRect Rect;
  TOwnerDrawState State;
};

class ListBoxTest : public ::testing::Test {
 protected:
  ListBoxTest() {
    form.SetBounds(0, 0, 200, 160);
    list = new TListBox(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 150, 120);
    list->SetColor(kListColor);
    list->Font().SetColor(clBlack);
    for (const char* item : {"ALPHA", "BRAVO", "CHARLIE"}) list->Items().Add(item);
    form.Show();
  }
  ~ListBoxTest() override { form.Hide(); }

  std::unique_ptr<TBitmap> Shot() {
    auto shot = std::make_unique<TBitmap>();
    shot->SetSize(list->Width(), list->Height());
    PaintTo(*list, shot->Canvas(), 0, 0);
    return shot;
  }

  TForm form{nullptr};
  TListBox* list;
};

TEST_F(ListBoxTest, OwnerDrawHandsEachRowItsAreaAndStateAndPaintsWhatItDraws) {
  std::vector<TDrawCall> calls;
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(20);
  list->OnDrawItem = [&](TWinControl* Control, int Index, const TRect& Rect,
                         TOwnerDrawState State) {
    EXPECT_EQ(Control, list);
    calls.push_back({Index, Rect, State});
    TCanvas& canvas = list->Canvas();
    canvas.Brush().SetColor((State & odSelected) ? clBlue : clLime);
    canvas.FillRect(Rect);
  };
  list->SetItemIndex(1);
  const auto shot = Shot();

  ASSERT_EQ(calls.size(), 3u);
  const TRect first = calls[0].Rect;
  EXPECT_EQ(first.Height(), 20);
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(calls[n].Index, n);
    EXPECT_EQ(calls[n].Rect.Top, first.Top + 20 * n);
    EXPECT_EQ(calls[n].Rect.Left, first.Left);
    EXPECT_EQ((calls[n].State & odSelected) != 0, n == 1);
  }
  // The canvas draws at the row's place in the list, across the whole row.
  const int x = first.Left + 2;
  EXPECT_EQ(shot->Canvas().Pixels(x, first.Top + 10), clLime);
  EXPECT_EQ(shot->Canvas().Pixels(x, first.Top + 30), clBlue);
  EXPECT_EQ(shot->Canvas().Pixels(first.Right - 3, first.Top + 30), clBlue);
  EXPECT_EQ(shot->Canvas().Pixels(x, first.Top + 50), clLime);
  // Below the rows the list shows its colour.
  EXPECT_EQ(shot->Canvas().Pixels(x, first.Top + 70), kListColor);
}

TEST_F(ListBoxTest, OwnerDrawWithoutHandlerWritesTheTextOnTheListColour) {
  list->SetStyle(lbOwnerDrawFixed);
  const auto shot = Shot();
  // The first row: list colour, black text starting 2 pixels into the row.
  int rowLeft = -1;
  int textLeft = -1;
  for (int x = 0; x < list->Width() && textLeft < 0; ++x) {
    for (int y = 0; y < list->ItemHeight() + 4; ++y) {
      const TColor pixel = shot->Canvas().Pixels(x, y);
      if (rowLeft < 0 && pixel == kListColor) rowLeft = x;
      if (pixel == clBlack) textLeft = x;
    }
  }
  ASSERT_GE(rowLeft, 0);
  ASSERT_GE(textLeft, 0);
  EXPECT_GE(textLeft - rowLeft, 2);
  EXPECT_LE(textLeft - rowLeft, 4);
}

TEST_F(ListBoxTest, StandardListIgnoresTheDrawHandlerAndItemHeight) {
  int calls = 0;
  list->OnDrawItem = [&](TWinControl*, int, const TRect&, TOwnerDrawState) { ++calls; };
  list->SetItemHeight(40);
  const auto shot = Shot();
  EXPECT_EQ(calls, 0);
  // Rows keep the font's height: all three lines of text lie within the first 80
  // pixels, where rows of 40 would hold two.
  int lines = 0;
  bool inText = false;
  for (int y = 0; y < 80; ++y) {
    bool black = false;
    for (int x = 0; x < list->Width(); ++x) black = black || shot->Canvas().Pixels(x, y) == clBlack;
    if (black && !inText) ++lines;
    inText = black;
  }
  EXPECT_EQ(lines, 3);
  EXPECT_EQ(shot->Canvas().Pixels(list->Width() / 2, list->Height() - 10), kListColor);

  // Back from owner draw to standard, the handler is left alone again.
  list->SetStyle(lbOwnerDrawFixed);
  Shot();
  EXPECT_GT(calls, 0);
  calls = 0;
  list->SetStyle(lbStandard);
  Shot();
  EXPECT_EQ(calls, 0);
}

}  // namespace

namespace {

TEST_F(ListBoxTest, AClickOnARowMakesItCurrentAndClicksTheList) {
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(20);
  int clicks = 0;
  int current = -1;
  list->OnClick = [&](TComponent*) {
    ++clicks;
    current = list->ItemIndex();
  };
  SimulateClick(*list, 30, 2 * 20 + 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(current, 2);
  list->SetItemIndex(0);  // from code: no click
  EXPECT_EQ(clicks, 1);
}

}  // namespace

#include "controls/my_flat_combobox.h"

#include <gtest/gtest.h>

#include "support/control_snapshot.h"

namespace {

class TTestCombo : public TMyFlatCombobox {
 public:
  using TMyFlatCombobox::DoEnter;
  using TMyFlatCombobox::DoExit;
  using TMyFlatCombobox::MouseDown;
  using TMyFlatCombobox::MouseEnter;
  using TMyFlatCombobox::MouseLeave;
  using TMyFlatCombobox::MouseUp;
  using TMyFlatCombobox::TMyFlatCombobox;
};

constexpr int kWidth = 120;
constexpr int kHeight = 21;
// The arrow's first row: x0 = right - 17 div 2 - 3, y0 = top, row y0 + 10.
constexpr int kArrowX = kWidth - 8 - 3;

class MyFlatComboboxTest : public ::testing::Test {
 protected:
  MyFlatComboboxTest() : combo(nullptr) {
    combo.SetBounds(0, 0, kWidth, kHeight);
    combo.SetColor(clWhite);
    combo.SetButtonColor(clSilver);
    combo.SetBorderColor(clNavy);
    combo.SetArrowColor(clRed);
    combo.SetStyle(csDropDownList);
  }
  TTestCombo combo;
};

TEST_F(MyFlatComboboxTest, FlatFrameButtonStripAndArrow) {
  auto shot = Snapshot(combo);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clNavy);
  EXPECT_EQ(PixelAt(*shot, kWidth - 1, kHeight - 1), clNavy);
  EXPECT_EQ(PixelAt(*shot, 1, 1), clWhite);
  const int strip = kWidth - 17 - 3;
  EXPECT_EQ(PixelAt(*shot, strip + 2, 10), clWhite);  // first pixels of the strip in Color
  EXPECT_EQ(PixelAt(*shot, strip + 4, 10), clNavy);   // separator
  EXPECT_EQ(PixelAt(*shot, strip + 6, 5), clSilver);
  EXPECT_EQ(PixelAt(*shot, kArrowX, 10), clRed);
  EXPECT_EQ(PixelAt(*shot, kArrowX + 4, 10), clRed);
  EXPECT_EQ(PixelAt(*shot, kArrowX + 2, 12), clRed);
  EXPECT_EQ(PixelAt(*shot, kArrowX, 12), clSilver);
}

TEST_F(MyFlatComboboxTest, NoBorderColourFramesInColorWithoutSeparator) {
  combo.SetBorderColor(clNone);
  auto shot = Snapshot(combo);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clWhite);
  EXPECT_EQ(PixelAt(*shot, kWidth - 17 - 3 + 4, 10), clWhite);
}

TEST_F(MyFlatComboboxTest, HeldLeftButtonMovesTheArrowOnePixel) {
  combo.MouseDown(mbLeft, ssLeft, 5, 5);
  auto shot = Snapshot(combo);
  EXPECT_NE(PixelAt(*shot, kArrowX, 10), clRed);
  EXPECT_EQ(PixelAt(*shot, kArrowX + 1, 11), clRed);
  combo.MouseUp(mbLeft, 0, 5, 5);
  EXPECT_EQ(PixelAt(*Snapshot(combo), kArrowX, 10), clRed);
}

TEST_F(MyFlatComboboxTest, OnPaintClearingTheFlagKeepsTheStandardLook) {
  int calls = 0;
  combo.OnPaint = [&](TComponent*, bool& defaultPaint) {
    ++calls;
    defaultPaint = false;
  };
  auto shot = Snapshot(combo);
  EXPECT_GE(calls, 1);
  EXPECT_NE(PixelAt(*shot, kArrowX + 2, 12), clRed);
  EXPECT_NE(PixelAt(*shot, 0, 0), clNavy);
}

TEST_F(MyFlatComboboxTest, FocusColourWhileFocusedAndTheOldColourAfterwards) {
  combo.SetFocusColor(clYellow);
  combo.DoEnter();
  EXPECT_EQ(combo.Color(), clYellow);
  EXPECT_TRUE(combo.ForceDrawFocused());
  combo.DoExit();
  EXPECT_EQ(combo.Color(), clWhite);
  EXPECT_FALSE(combo.ForceDrawFocused());

  combo.SetFocusColor(clNone);
  combo.DoEnter();
  EXPECT_EQ(combo.Color(), clWhite);
}

TEST_F(MyFlatComboboxTest, MouseInControlFollowsEnterAndLeave) {
  combo.MouseEnter();
  EXPECT_TRUE(combo.MouseInControl());
  combo.MouseLeave();
  EXPECT_FALSE(combo.MouseInControl());
}

TEST_F(MyFlatComboboxTest, ItemsAndItemIndexGiveTheText) {
  combo.Items().Add("COM1");
  combo.Items().Add("COM2");
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), "COM2");
  combo.SetItemIndex(5);
  EXPECT_EQ(combo.ItemIndex(), -1);
  combo.SetText("COM1");
  EXPECT_EQ(combo.ItemIndex(), 0);
  auto shot = Snapshot(combo);
  int dark = 0;
  for (int x = 3; x < 40; ++x)
    for (int y = 3; y < 18; ++y) dark += PixelAt(*shot, x, y) != clWhite;
  EXPECT_GT(dark, 5) << "the chosen item's text is drawn";
}

}  // namespace

#include "controls/my_button.h"

#include <gtest/gtest.h>

#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

// Hover comes from the window system; the test raises it directly.
class THoverButton : public TMyButton {
 public:
  using TMyButton::MouseEnter;
  using TMyButton::MouseLeave;
  using TMyButton::TMyButton;
};

constexpr TColor kFace = RGB(100, 110, 120);

TEST(ShadeColorsTest, CapAndFloorEachComponentAndDropTheTopByte) {
  EXPECT_EQ(LightenColor(RGB(250, 10, 100), 40), RGB(255, 50, 140));
  EXPECT_EQ(DarkenColor(RGB(250, 10, 100), 40), RGB(210, 0, 60));
  EXPECT_EQ(LightenColor(TColor(0x01000000) | RGB(1, 2, 3), 0), RGB(1, 2, 3));
}

TEST(MyButtonPaintTest, UpButtonHasLightTopLeftDarkBottomRightAndOutline) {
  TMyButton button(nullptr);
  button.SetColor(kFace);
  button.SetColorBorder(clBlue);
  auto shot = Snapshot(button);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clBlue);
  EXPECT_EQ(PixelAt(*shot, 74, 24), clBlue);
  EXPECT_EQ(PixelAt(*shot, 1, 1), LightenColor(kFace, 50));
  EXPECT_EQ(PixelAt(*shot, 2, 10), LightenColor(kFace, 50));
  EXPECT_EQ(PixelAt(*shot, 73, 23), DarkenColor(kFace, 50));
  EXPECT_EQ(PixelAt(*shot, 72, 10), DarkenColor(kFace, 50));
  EXPECT_EQ(PixelAt(*shot, 3, 3), kFace);
}

TEST(MyButtonPaintTest, PaintedDownButtonUsesDownColourAndFlatDarkFrame) {
  TMyButton button(nullptr);
  button.SetColorDown(RGB(200, 100, 0));
  button.SetDown(true);
  auto up_look = Snapshot(button);
  EXPECT_NE(PixelAt(*up_look, 10, 10), RGB(200, 100, 0)) << "PaintDown off: looks up";

  button.SetPaintDown(true);
  auto shot = Snapshot(button);
  const TColor dark = DarkenColor(RGB(200, 100, 0), 50);
  EXPECT_EQ(PixelAt(*shot, 1, 1), dark);
  EXPECT_EQ(PixelAt(*shot, 73, 23), dark);
  EXPECT_EQ(PixelAt(*shot, 2, 2), RGB(200, 100, 0));
}

TEST(MyButtonPaintTest, HoverLightensAndDisabledDarkensWithoutHover) {
  THoverButton button(nullptr);
  button.SetColor(kFace);
  button.MouseEnter();
  EXPECT_EQ(PixelAt(*Snapshot(button), 10, 10), LightenColor(kFace, 40));

  button.SetEnabled(false);
  const TColor face = DarkenColor(kFace, 25);
  auto shot = Snapshot(button);
  EXPECT_EQ(PixelAt(*shot, 10, 10), face);
  EXPECT_EQ(PixelAt(*shot, 1, 1), LightenColor(face, 25));
  EXPECT_EQ(PixelAt(*shot, 73, 23), DarkenColor(face, 25));
}

TEST(MyButtonPaintTest, DisabledCaptionIsDrawnInTheDarkShade) {
  TMyButton button(nullptr);
  button.SetColor(kFace);
  button.SetCaption("MMMM");
  button.Font().SetColor(clBlack);
  button.SetEnabled(false);
  auto shot = Snapshot(button);
  const TColor face = DarkenColor(kFace, 25);
  const TColor text = DarkenColor(face, 25);
  int text_pixels = 0;
  for (int y = 3; y < 22; ++y) {
    for (int x = 3; x < 72; ++x) {
      const TColor c = PixelAt(*shot, x, y);
      EXPECT_TRUE(c == face || c == text) << x << "," << y;
      text_pixels += c == text;
    }
  }
  EXPECT_GT(text_pixels, 10);
}

TEST(MyButtonPaintTest, CaptionBitmapGreenTakesTheFontColourOnTheFace) {
  TBitmap glyph;
  glyph.SetSize(10, 10);
  glyph.Canvas().Brush().SetColor(clFuchsia);
  glyph.Canvas().FillRect(Rect(0, 0, 10, 10));
  glyph.Canvas().Brush().SetColor(clLime);
  glyph.Canvas().FillRect(Rect(2, 2, 8, 8));

  TMyButton button(nullptr);
  button.SetColor(kFace);
  button.Font().SetColor(clRed);
  button.SetCaptionBitmap(glyph);
  auto shot = Snapshot(button);
  // Centred: 75 div 2 - 5 = 32, 25 div 2 - 5 = 7.
  EXPECT_EQ(PixelAt(*shot, 32, 7), kFace);
  EXPECT_EQ(PixelAt(*shot, 34, 9), clRed);
  EXPECT_EQ(PixelAt(*shot, 39, 14), clRed);
  EXPECT_EQ(PixelAt(*shot, 40, 15), kFace);
}

TEST(MyButtonInputTest, CheckerTogglesOnEveryClickAndOnEnterOrSpace) {
  TMyButton button(nullptr);
  button.SetChecker(true);
  int clicks = 0;
  button.OnClick = [&](TComponent*) { ++clicks; };
  SimulateClick(button, 10, 10);
  EXPECT_TRUE(button.Down());
  SimulateClick(button, 10, 10);
  EXPECT_FALSE(button.Down());
  SimulateKey(button, VK_RETURN);
  EXPECT_TRUE(button.Down());
  SimulateKey(button, VK_SPACE, " ");
  EXPECT_FALSE(button.Down());
  EXPECT_EQ(clicks, 4);
}

TEST(MyButtonInputTest, DisabledButtonIgnoresClicksAndKeys) {
  TMyButton button(nullptr);
  button.SetChecker(true);
  int clicks = 0;
  button.OnClick = [&](TComponent*) { ++clicks; };
  button.SetEnabled(false);
  SimulateClick(button, 10, 10);
  button.Click();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button.Down());
}

TEST(MyButtonInputTest, RightButtonReleaseFiresOnRClickOnly) {
  TMyButton button(nullptr);
  int rclicks = 0;
  int clicks = 0;
  button.OnRClick = [&](TComponent*) { ++rclicks; };
  button.OnClick = [&](TComponent*) { ++clicks; };
  SimulateMouseDown(button, mbRight, 5, 5);
  SimulateMouseUp(button, mbRight, 5, 5);
  EXPECT_EQ(rclicks, 1);
  EXPECT_EQ(clicks, 0);
}

TEST(MyButtonInputTest, ModalResultClosesTheModalFormWithThatResult) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 200, 100);
  auto* cancel = new TMyButton(&form);
  cancel->SetParent(&form);
  cancel->SetModalResult(mrCancel);
  bool clicked = false;
  cancel->OnClick = [&](TComponent*) { clicked = true; };
  QueueCall([cancel] { SimulateClick(*cancel, 5, 5); });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_TRUE(clicked);
}

}  // namespace

namespace {

TEST(MyButtonPaintTest, FocusedTabStopShowsAFrameInsideTheBevel) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 200, 100);
  auto* button = new TMyButton(&form);
  button->SetParent(&form);
  button->SetColor(kFace);
  button->SetColorBorder(clMaroon);
  form.Show();
  Application->ProcessMessages();
  button->SetFocus();
  Application->ProcessMessages();
  if (!button->Focused()) GTEST_SKIP() << "no focus without an active window here";
  auto shot = Snapshot(*button);
  EXPECT_EQ(PixelAt(*shot, 3, 3), clMaroon);
  EXPECT_EQ(PixelAt(*shot, 71, 21), clMaroon);
  EXPECT_EQ(PixelAt(*shot, 4, 4), kFace);
  button->SetTabStop(false);
  EXPECT_EQ(PixelAt(*Snapshot(*button), 3, 3), kFace);
  form.Hide();
}

}  // namespace

#include "controls/my_hint.h"

#include <gtest/gtest.h>

#include "controls/my_button.h"
#include "platform/gui/controls/forms.h"
#include "platform/sys/pump.h"
#include "platform/test_support/gui_test_support.h"

namespace {

TEST(HintPlacementTest, QuadrantsByTheTopLeftCorner) {
  EXPECT_EQ(HintQuadrant(Point(10, 10), 1000, 800), 1);
  EXPECT_EQ(HintQuadrant(Point(499, 400), 1000, 800), 1);
  EXPECT_EQ(HintQuadrant(Point(500, 400), 1000, 800), 2);
  EXPECT_EQ(HintQuadrant(Point(10, 401), 1000, 800), 3);
  EXPECT_EQ(HintQuadrant(Point(900, 700), 1000, 800), 4);
}

TEST(HintPlacementTest, HintsOpenTowardTheScreenCentre) {
  const TRect hint = Bounds(900, 700, 100, 30);
  EXPECT_EQ(PlaceHintRect(hint, 1000, 800), Bounds(800, 645, 100, 30));
  EXPECT_EQ(PlaceHintRect(Bounds(600, 100, 100, 30), 1000, 800), Bounds(500, 100, 100, 30));
  EXPECT_EQ(PlaceHintRect(Bounds(100, 500, 100, 30), 1000, 800), Bounds(100, 445, 100, 30));
  EXPECT_EQ(PlaceHintRect(Bounds(100, 100, 100, 30), 1000, 800), Bounds(100, 100, 100, 30));
}

TEST(MyHintTest, ActiveSwitchesTheApplicationsHintWindowClass) {
  TMyHint hint(nullptr);
  hint.SetActive(true);
  EXPECT_EQ(ActiveMyHint, &hint);
  EXPECT_NE(dynamic_cast<TMyHintWindow*>(&ApplicationHintWindow()), nullptr);
  hint.SetActive(false);
  EXPECT_EQ(ActiveMyHint, nullptr);
  EXPECT_EQ(dynamic_cast<TMyHintWindow*>(&ApplicationHintWindow()), nullptr);
}

TEST(MyHintTest, SizeAddsTheStripeAndMargins) {
  TMyHint hint(nullptr);
  hint.SetActive(true);
  TCanvas measure;
  measure.Font().Assign(hint.Font());
  const TSize text = measure.TextExtent("Karte laden");
  TRect plain = ApplicationHintWindow().CalcHintRect(1000, "Karte laden");
  EXPECT_EQ(plain, Rect(0, 0, text.cx + 4 + 4, text.cy + 6));
  hint.PaintBorder = true;
  TRect striped = ApplicationHintWindow().CalcHintRect(1000, "Karte laden");
  EXPECT_EQ(striped.Width(), text.cx + 20 + 4);
  hint.SetActive(false);
}

TEST(MyHintTest, PaintsTwoTonesStripeFrameAndTextRightOfTheStripe) {
  TMyHint hint(nullptr);
  hint.Color = clWhite;
  hint.Color2 = clSilver;
  hint.ColorFrame = clNavy;
  hint.ColorBorder = clAqua;
  hint.PaintBorder = true;
  hint.Font().SetColor(clRed);
  hint.SetActive(true);
  auto& window = dynamic_cast<TMyHintWindow&>(ApplicationHintWindow());
  const TRect size = window.CalcHintRect(1000, "WWWW");
  window.ActivateHint(Bounds(10, 10, size.Width(), size.Height()), "WWWW");
  const TBitmap& picture = window.Picture();
  const int w = picture.Width();
  const int h = picture.Height();
  EXPECT_EQ(w, size.Width());
  const TCanvas& c = picture.Canvas();
  EXPECT_EQ(c.Pixels(0, 0), clNavy);
  EXPECT_EQ(c.Pixels(w - 1, h - 1), clNavy);
  EXPECT_EQ(c.Pixels(14, h / 2), clNavy);  // the stripe's own frame
  EXPECT_EQ(c.Pixels(7, h / 2), clAqua);
  EXPECT_EQ(c.Pixels(w - 2, 1), clWhite);
  EXPECT_EQ(c.Pixels(w - 2, h - 2), clSilver);
  int text_left = w;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (c.Pixels(x, y) == clRed) text_left = std::min(text_left, x);
  EXPECT_GE(text_left, 19);
  EXPECT_LT(text_left, 24);
  CancelHint();
  hint.SetActive(false);
}

TEST(MyHintTest, NoFrameColourDrawsNoFrame) {
  TMyHint hint(nullptr);
  hint.ColorFrame = clNone;
  hint.Color = clYellow;
  hint.SetActive(true);
  auto& window = dynamic_cast<TMyHintWindow&>(ApplicationHintWindow());
  window.ActivateHint(Bounds(10, 10, 40, 20), "x");
  EXPECT_EQ(window.Picture().Canvas().Pixels(0, 0), clYellow);
  CancelHint();
  hint.SetActive(false);
}

}  // namespace

namespace {

class HintPauseTest : public ::testing::Test {
 protected:
  HintPauseTest() : form(nullptr) {
    form.SetBorderStyle(bsNone);
    form.SetBounds(100, 100, 200, 100);
    form.SetShowHint(true);
    button = new TMyButton(&form);
    button->SetParent(&form);
    button->SetBounds(10, 10, 75, 25);
    button->SetHint("Karte laden");
    form.Show();
  }
  ~HintPauseTest() override {
    CancelHint();
    form.Hide();
  }
  TForm form;
  TMyButton* button;
};

TEST_F(HintPauseTest, RestingMouseShowsTheHintBelowItUntilAButtonIsPressed) {
  SimulateHintPause(*button, 5, 5);
  THintWindow& window = ApplicationHintWindow();
  ASSERT_TRUE(window.Showing());
  EXPECT_EQ(window.Caption(), "Karte laden");
  const TPoint mouse = button->ClientToScreen(Point(5, 5));
  EXPECT_EQ(window.Left(), mouse.X);
  EXPECT_EQ(window.Top(), mouse.Y + 20);
  SimulateMouseDown(*button, mbLeft, 5, 5);
  EXPECT_FALSE(window.Showing());
  SimulateMouseUp(*button, mbLeft, 5, 5);
}

// The stay-on-top tool windows are seldom the active window: their hints show all the
// same when the mouse rests on them.
TEST_F(HintPauseTest, HintsShowOverAWindowThatIsNotActive) {
  TForm other(nullptr);
  other.SetBounds(400, 400, 100, 100);
  other.Show();
  ASSERT_TRUE(PumpUntil([&] { return Screen->ActiveForm() == &other; }, 2000));
  SimulateMouseRest(*button, 5, 5);
  EXPECT_TRUE(PumpUntil([] { return ApplicationHintWindow().Showing(); }, 3000));
  EXPECT_EQ(ApplicationHintWindow().Caption(), "Karte laden");
  other.Hide();
}

TEST_F(HintPauseTest, NoHintWhereShowHintIsOff) {
  form.SetShowHint(false);
  SimulateHintPause(*button, 5, 5);
  EXPECT_FALSE(ApplicationHintWindow().Showing());
}

TEST_F(HintPauseTest, StyledHintNearTheBottomRightOpensAboveAndLeftOfTheMouse) {
  TMyHint hint(nullptr);
  hint.SetActive(true);
  form.Hide();
  form.SetBounds(Screen->Width() - 150, Screen->Height() - 80, 140, 70);
  form.Show();
  ASSERT_GT(button->ClientToScreen(Point(0, 0)).X, Screen->Width() / 2);
  SimulateHintPause(*button, 5, 5);
  auto& window = dynamic_cast<TMyHintWindow&>(ApplicationHintWindow());
  ASSERT_TRUE(window.Showing());
  const TPoint mouse = button->ClientToScreen(Point(5, 5));
  EXPECT_EQ(window.Left(), mouse.X - window.Width());
  EXPECT_EQ(window.Top(), mouse.Y + 20 - 25 - window.Height());
  EXPECT_EQ(window.Picture().Width(), window.Width());
  hint.SetActive(false);
}

}  // namespace

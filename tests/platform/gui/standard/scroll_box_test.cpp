#include "platform/gui/standard/scroll_box.h"

#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/panel.h"
#include "platform/gui/standard/shape.h"
#include "platform/test_support/gui_test_support.h"

namespace {

class ScrollBoxTest : public ::testing::Test {
 protected:
  ScrollBoxTest() {
    form.SetBounds(0, 0, 300, 200);
    form.SetColor(clWhite);
    box = new TScrollBox(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 100, 80);
    form.Show();
  }
  ~ScrollBoxTest() override { form.Hide(); }

  // A panel of one colour with a blue mark in its bottom-right corner.
  TPanel* Content(int Width, int Height) {
    auto* panel = new TPanel(&form);
    panel->SetParent(box);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clLime);
    panel->SetBounds(0, 0, Width, Height);
    auto* mark = new TShape(&form);
    mark->SetParent(panel);
    mark->Brush().SetColor(clBlue);
    mark->Pen().SetColor(clBlue);
    mark->SetBounds(Width - 10, Height - 10, 10, 10);
    return panel;
  }

  TForm form{nullptr};
  TScrollBox* box;
};

TEST_F(ScrollBoxTest, AreaFollowsTheChildrenAndScrollsThemIntoView) {
  TPanel* panel = Content(400, 300);
  EXPECT_EQ(box->ScrollRange(), (TSize{400, 300}));
  EXPECT_EQ(RenderedPixel(form, 5, 5), clLime);
  box->ScrollTo(1000, 1000);  // as far as it goes: the far corner in the box's corner
  const TPoint end = box->ScrollPosition();
  EXPECT_GE(end.X, 400 - 100);
  EXPECT_GE(end.Y, 300 - 80);
  box->ScrollTo(280, 190);
  EXPECT_EQ(box->ScrollPosition(), Point(280, 190));
  // The mark at 390, 290 of the panel is 110, 100 from the corner shown: out of view.
  EXPECT_EQ(RenderedPixel(form, 75, 65), clLime);
  box->ScrollTo(end.X, end.Y);
  EXPECT_EQ(RenderedPixel(form, 390 - end.X + 5, 290 - end.Y + 5), clBlue);
  EXPECT_EQ(RenderedPixel(form, 390 - end.X - 5, 290 - end.Y - 5), clLime);

  // A smaller picture shrinks the area; nothing is left to scroll.
  panel->SetBounds(0, 0, 50, 40);
  box->ScrollTo(20, 20);
  EXPECT_EQ(box->ScrollPosition(), Point(0, 0));
  EXPECT_EQ(box->ScrollRange(), (TSize{100, 80}));
}

TEST_F(ScrollBoxTest, ClicksBesideTheChildrenReachTheBox) {
  Content(30, 30);
  int clicks = 0;
  box->OnClick = [&](TComponent*) { ++clicks; };
  SimulateClick(*box, 60, 60);
  EXPECT_EQ(clicks, 1);
}

}  // namespace

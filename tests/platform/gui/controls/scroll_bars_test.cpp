#include "platform/gui/controls/scroll_bars.h"

#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"

// A bar shows the last range set: painted before the event loop turns (after several
// settings that end where they began, as a viewer following a feed makes them), and
// after the loop's turn.
TEST(ControlScrollBars, ABarShowsTheLastRangeSetWhetherPaintedAtOnceOrLater) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* control = new TCustomControl(&form);
  control->SetParent(&form);
  control->SetBounds(0, 0, 200, 200);
  form.Show();
  TControlScrollBars bars(*control);
  // The thumb fills half the groove: the upper half at the top, the lower at the end.
  bars.SetInfo(sbVertical, {0, 199, 100, 0});
  Application->ProcessMessages();
  const int x = 200 - bars.Thickness() / 2;
  const TColor thumb = RenderedPixel(*control, x, 60);
  const TColor groove = RenderedPixel(*control, x, 140);
  ASSERT_NE(thumb, groove);

  bars.SetInfo(sbVertical, {0, 199, 100, 100});
  bars.SetInfo(sbVertical, {0, 199, 100, 0});
  bars.SetInfo(sbVertical, {0, 199, 100, 100});
  EXPECT_EQ(bars.GetInfo(sbVertical).Pos, 100);
  EXPECT_EQ(RenderedPixel(*control, x, 60), groove);
  EXPECT_EQ(RenderedPixel(*control, x, 140), thumb);

  bars.SetInfo(sbVertical, {0, 199, 100, 0});
  Application->ProcessMessages();
  EXPECT_EQ(RenderedPixel(*control, x, 60), thumb);
  EXPECT_EQ(RenderedPixel(*control, x, 140), groove);
  form.Hide();
}

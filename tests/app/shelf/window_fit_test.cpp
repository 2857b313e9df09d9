// The messaging and packet log windows size themselves to the controls they show.
#include "app/shelf/form_fit.h"

#include <gtest/gtest.h>

#include "app/messages/frm_aprs_msg.h"
#include "app/receive/frm_log.h"
#include "app/shelf/form_build.h"
#include "platform/gui/controls/forms.h"

namespace {

// True when every visible control of Window lies inside its client area.
bool HoldsItsControls(const TWinControl& Window) {
  for (int n = 0; n < Window.ControlCount(); ++n) {
    const TControl* c = Window.Controls(n);
    if (!c->Visible()) continue;
    if (c->Left() + c->Width() > Window.ClientWidth() ||
        c->Top() + c->Height() > Window.ClientHeight())
      return false;
  }
  return true;
}

}  // namespace

TEST(WindowFit, ClientEndsAMarginAfterTheVisibleControlsOnly) {
  TForm form(nullptr);
  form.SetClientSize(500, 500);
  NewControl<TMyButton>(&form, &form, "a", 8, 8, 100, 20);
  NewControl<TMyButton>(&form, &form, "b", 50, 60, 30, 40);
  TMyButton* hidden = NewControl<TMyButton>(&form, &form, "c", 300, 300, 10, 10);
  hidden->SetVisible(false);
  FitClientToControls(form);
  EXPECT_EQ(form.ClientWidth(), 116);
  EXPECT_EQ(form.ClientHeight(), 108);
  hidden->SetVisible(true);
  FitClientToControls(form, 0);
  EXPECT_EQ(form.ClientWidth(), 310);
  EXPECT_EQ(form.ClientHeight(), 310);
}

TEST(WindowFit, LogWindowGrowsWithItsFilterPanelAndShrinksBack) {
  TfrmLog log(nullptr);
  EXPECT_TRUE(HoldsItsControls(log));
  const int small = log.ClientHeight();
  EXPECT_EQ(small, log.mpbPos->Top() + log.mpbPos->Height() + kFitMargin);
  log.mbtnFilter->Click();
  ASSERT_TRUE(log.mpnlFilter->Visible());
  EXPECT_GT(log.ClientHeight(), small);
  EXPECT_TRUE(HoldsItsControls(log));
  log.mbtnFilter->Click();
  EXPECT_FALSE(log.mpnlFilter->Visible());
  EXPECT_EQ(log.ClientHeight(), small);
}

TEST(WindowFit, MessagingWindowShowsAllItsControls) {
  TfrmAprsMsg msg(nullptr);
  msg.Show();
  EXPECT_TRUE(HoldsItsControls(msg));
  EXPECT_EQ(msg.ClientWidth(), msg.apctrlMain->Width() + kFitMargin);
  EXPECT_EQ(msg.ClientHeight(), msg.MyButton2->Top() + msg.MyButton2->Height() + kFitMargin);
  msg.Hide();
}

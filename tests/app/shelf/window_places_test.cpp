// The companion windows first open clear of the main frame's tool bar, not in the
// screen's top-left corner on top of it.
#include "app/shelf/window_places.h"

#include <gtest/gtest.h>

#include "app/app_windows.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/program/frm_main.h"
#include "app/shelf/device_windows.h"
#include "app/shelf/form_fit.h"

namespace {

bool Overlaps(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

TEST(WindowPlaces, AWindowOpenedFromTheToolBarStandsRightOfIt) {
  TForm frame(nullptr);
  frame.SetBounds(40, 30, 750, 550);
  TForm window(nullptr);
  window.SetBounds(0, 0, 568, 361);
  PlaceRightOfToolBar(frame, 101, window);
  // Bottom right inside the frame.
  EXPECT_EQ(window.BoundsRect(),
            Bounds(40 + 750 - 568 - kPlaceGap, 30 + 550 - 361 - kPlaceGap, 568, 361));

  // A frame narrower than tool bar and window together: the bar stays visible.
  frame.SetBounds(40, 30, 500, 300);
  PlaceRightOfToolBar(frame, 101, window);
  EXPECT_EQ(window.Left(), 40 + 101 + kPlaceGap);
  EXPECT_EQ(window.Top(), 30);
}

class ProgramWindowPlacesTest : public AppWindowsTest {};

TEST_F(ProgramWindowPlacesTest, StatusWindowsStandBesideTheFrameOneBelowTheOther) {
  const TRect frame = frmMain->BoundsRect();
  const TRect gps = frmGpsStatus->BoundsRect();
  const TRect wx = frmWxStatus->BoundsRect();
  EXPECT_FALSE(Overlaps(gps, frame));
  EXPECT_FALSE(Overlaps(wx, frame));
  EXPECT_FALSE(Overlaps(gps, wx));
  EXPECT_EQ(gps.Top, frame.Top);
  EXPECT_EQ(wx.Left, gps.Left);
  // The messaging window knows its size before it is first shown, so it can be placed.
  EXPECT_EQ(frmAprsMsg->ClientHeight(),
            frmAprsMsg->MyButton2->Top() + frmAprsMsg->MyButton2->Height() + kFitMargin);
}

}  // namespace

// The resizer's geometry: handle hits and cursors, dragging each kind of handle with and
// without Shift and Ctrl, the smallest size, cancelling.
#include <gtest/gtest.h>

#include "richtext/model/draw_lines.h"
#include "richtext_edit/edit/item_resizer.h"

namespace {

// A 100 x 50 item at (10, 20) of the document, the view not scrolled.
TRDItemResizer MakeResizer(int width = 100, int height = 50, bool keep = false) {
  auto line = TRDDrawLineInfo::CreateEx(10, 20, width, height, 0, true);
  return TRDItemResizer(*line, 0, 0, nullptr, keep);
}

// Drags handle (by the point it is drawn at) by (dx, dy) and returns the new size.
TSize Drag(TRDItemResizer& r, int handle, int dx, int dy, TShiftState shift = 0) {
  static const int kX[] = {0, 1, 1, 0, -1, 1, -1, 0};  // -1: the middle
  static const int kY[] = {0, 0, 1, 1, 0, -1, 1, -1};
  auto at = [&](int edge, int size) { return edge < 0 ? size / 2 : edge * size; };
  int x = 10 + at(kX[handle], r.Width), y = 20 + at(kY[handle], r.Height);
  // Grab the drawn handle, which stands 3 pixels inside the edges.
  if (kX[handle] == 0) x += 3;
  if (kX[handle] == 1) x -= 3;
  if (kY[handle] == 0) y += 3;
  if (kY[handle] == 1) y -= 3;
  EXPECT_TRUE(r.MouseDown(x, y, 0, 0));
  r.MouseMove(shift, x + dx, y + dy, 0, 0);
  r.MouseUp();
  return {r.Width, r.Height};
}

}  // namespace

TEST(ItemResizer, SideHandleKeepsProportionsOnlyWithShift) {
  TRDItemResizer plain = MakeResizer();
  EXPECT_EQ(Drag(plain, 5, 30, 0), (TSize{130, 50}));
  TRDItemResizer shifted = MakeResizer();
  EXPECT_EQ(Drag(shifted, 5, 30, 0, ssShift), (TSize{130, 65}));
  TRDItemResizer shrunk = MakeResizer();
  EXPECT_EQ(Drag(shrunk, 5, -50, 0, ssShift), (TSize{50, 25}));
  TRDItemResizer keeping = MakeResizer(100, 50, true);
  EXPECT_EQ(Drag(keeping, 6, 0, 50), (TSize{200, 100}));
}

TEST(ItemResizer, CornersAlwaysKeepProportions) {
  TRDItemResizer r = MakeResizer();
  const TSize size = Drag(r, 2, 100, 10);
  EXPECT_EQ(size.cx * 50, size.cy * 100);
  TRDItemResizer topLeft = MakeResizer();
  const TSize other = Drag(topLeft, 0, 20, 20);
  EXPECT_EQ(other.cx * 50, other.cy * 100);
  EXPECT_LT(other.cx, 100);
}

TEST(ItemResizer, CtrlResizesAboutTheCentre) {
  TRDItemResizer r = MakeResizer();
  Drag(r, 5, 10, 0, ssCtrl);
  EXPECT_EQ(r.Width, 120);
  EXPECT_EQ(r.Height, 50);
}

TEST(ItemResizer, NeverSmallerThanTwoPixels) {
  TRDItemResizer r = MakeResizer();
  EXPECT_EQ(Drag(r, 5, -500, 0), (TSize{2, 50}));
  TRDItemResizer low = MakeResizer();
  EXPECT_EQ(Drag(low, 6, 0, -500), (TSize{100, 2}));
  // About the centre, a handle dragged past it: the box drawn is what the item becomes.
  for (const int dx : {-67, -150}) {
    TRDItemResizer centred = MakeResizer();
    ASSERT_TRUE(centred.MouseDown(10 + 97, 20 + 25, 0, 0));
    centred.MouseMove(ssCtrl, 10 + 97 + dx, 20 + 25, 0, 0);
    const TRect frame = centred.NewRect;
    centred.MouseUp();
    EXPECT_EQ(centred.Width, frame.Right - frame.Left) << dx;
    EXPECT_GE(centred.Width, 2) << dx;
    EXPECT_EQ(centred.Height, 50);
  }
}

TEST(ItemResizer, CancelKeepsTheOldSize) {
  TRDItemResizer r = MakeResizer();
  ASSERT_TRUE(r.MouseDown(10 + 97, 20 + 25, 0, 0));
  r.MouseMove(0, 150, 45, 0, 0);
  r.Cancel();
  r.MouseUp();
  EXPECT_EQ(r.Width, 100);
  EXPECT_EQ(r.Height, 50);
  EXPECT_FALSE(r.Dragging);
}

TEST(ItemResizer, HandlesAndCursors) {
  TRDItemResizer r = MakeResizer();
  int handle = -1;
  EXPECT_TRUE(r.HitTest(13, 23, 0, 0, handle));
  EXPECT_EQ(handle, 0);
  EXPECT_TRUE(r.HitTest(60, 67, 0, 0, handle));
  EXPECT_EQ(handle, 6);
  EXPECT_FALSE(r.HitTest(60, 45, 0, 0, handle));
  EXPECT_TRUE(r.HitTest(13 - 5, 23 - 7, 5, 7, handle));  // scrolled view
  EXPECT_EQ(TRDItemResizer::GetCursor(0), crSizeNWSE);
  EXPECT_EQ(TRDItemResizer::GetCursor(3), crSizeNESW);
  EXPECT_EQ(TRDItemResizer::GetCursor(6), crSizeNS);
  EXPECT_EQ(TRDItemResizer::GetCursor(7), crSizeWE);
  // A small item shows its handles outside its edges.
  TRDItemResizer small = MakeResizer(10, 10);
  EXPECT_TRUE(small.HitTest(7, 17, 0, 0, handle));
  EXPECT_EQ(handle, 0);
}

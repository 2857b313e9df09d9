#include "controls/my_panel.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "controls/my_label.h"
#include "controls/my_splitter.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

TEST(MyPanelPaintTest, RoundRaisedBevelOutlinesInLightWithCornersInColor) {
  TMyPanel panel(nullptr);
  panel.SetBounds(0, 0, 60, 40);
  panel.SetColor(clRed);
  panel.SetColorFill(clLime);
  panel.SetBevelWidth(1);
  auto shot = Snapshot(panel);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clRed);
  EXPECT_EQ(PixelAt(*shot, 59, 39), clRed);
  EXPECT_EQ(PixelAt(*shot, 30, 0), clWhite);
  EXPECT_EQ(PixelAt(*shot, 0, 20), clWhite);
  EXPECT_EQ(PixelAt(*shot, 30, 39), clWhite);
  EXPECT_EQ(PixelAt(*shot, 30, 20), clLime);
  EXPECT_EQ(PixelAt(*shot, 2, 20), clLime);
}

TEST(MyPanelPaintTest, SquareBevelsFrameLightTopLeftAndDarkBottomRight) {
  TMyPanel panel(nullptr);
  panel.SetBounds(0, 0, 60, 40);
  panel.SetRoundRect(false);
  panel.SetBevelWidth(2);
  panel.SetColor3DDark(clNavy);
  auto shot = Snapshot(panel);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clWhite);
  EXPECT_EQ(PixelAt(*shot, 1, 20), clWhite);
  EXPECT_EQ(PixelAt(*shot, 59, 39), clNavy);
  EXPECT_EQ(PixelAt(*shot, 58, 20), clNavy);
  EXPECT_EQ(PixelAt(*shot, 2, 2), TColor(0xF0F0F0));

  panel.SetBevelOuter(bvLowered);
  shot = Snapshot(panel);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clNavy);
  EXPECT_EQ(PixelAt(*shot, 59, 39), clWhite);
}

// The fill reaches what the innermost bevel drawn encloses: the border between two
// bevels keeps the panel's colour, a panel without a drawn bevel is filled whole, and a
// panel too small for the old seed point is filled all the same.
TEST(MyPanelPaintTest, FillCoversWhatTheInnermostBevelEncloses) {
  struct TCase {
    int Size;
    TBevelCut Outer, Inner;
    int Border;
    std::vector<std::pair<int, TColor>> Row;  // x on the middle row, colour there
  };
  const TCase cases[] = {
      {40,
       bvRaised,
       bvLowered,
       3,
       {{0, clWhite}, {2, clRed}, {4, clNavy}, {5, clLime}, {20, clLime}}},
      {40, bvSpace, bvNone, 0, {{0, clLime}, {20, clLime}, {39, clLime}}},
      {40, bvSpace, bvRaised, 2, {{0, clRed}, {3, clWhite}, {4, clLime}}},
      {8, bvRaised, bvNone, 0, {{0, clWhite}, {1, clLime}, {6, clLime}, {7, clNavy}}},
  };
  for (const TCase& c : cases) {
    TMyPanel panel(nullptr);
    panel.SetBounds(0, 0, c.Size, c.Size);
    panel.SetRoundRect(false);
    panel.SetBevelWidth(1);
    panel.SetBevelOuter(c.Outer);
    panel.SetBevelInner(c.Inner);
    panel.SetBorderWidth(c.Border);
    panel.SetColor(clRed);
    panel.SetColorFill(clLime);
    panel.SetColor3DDark(clNavy);
    const auto shot = Snapshot(panel);
    for (const auto& [x, colour] : c.Row) {
      EXPECT_EQ(PixelAt(*shot, x, c.Size / 2), colour) << "size " << c.Size << " x " << x;
    }
  }
}

TEST(MyPanelPaintTest, GlowPaintSplitsTheFaceIntoColorAndColor2) {
  TMyPanel panel(nullptr);
  panel.SetBounds(0, 0, 60, 40);
  panel.SetBevelOuter(bvNone);
  panel.SetColor(clYellow);
  panel.SetColor2(clBlue);
  panel.SetGlowPaint(true);
  auto shot = Snapshot(panel);
  EXPECT_EQ(PixelAt(*shot, 30, 5), clYellow);
  EXPECT_EQ(PixelAt(*shot, 30, 19), clYellow);
  EXPECT_EQ(PixelAt(*shot, 30, 20), clBlue);
  EXPECT_EQ(PixelAt(*shot, 30, 35), clBlue);
}

TEST(MyPanelPaintTest, PaintBorderDrawsOnlyTheChosenSides) {
  TMyPanel panel(nullptr);
  panel.SetBounds(0, 0, 60, 40);
  panel.SetBevelOuter(bvNone);
  panel.SetPaintBorder(TMyBorder{bpBottom, bpLeft, bpRight});
  auto shot = Snapshot(panel);
  EXPECT_NE(PixelAt(*shot, 30, 0), clBlack);
  EXPECT_EQ(PixelAt(*shot, 30, 39), clBlack);
  EXPECT_EQ(PixelAt(*shot, 0, 20), clBlack);
  EXPECT_EQ(PixelAt(*shot, 59, 20), clBlack);
}

TEST(MyPanelPaintTest, BackgroundPictureIsTiledOverTheFaceOrStretched) {
  TMyPanel panel(nullptr);
  panel.SetBounds(0, 0, 60, 40);
  panel.SetBevelOuter(bvNone);
  panel.SetBackground(*SolidPicture(8, 8, clTeal));
  auto shot = Snapshot(panel);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clTeal);
  EXPECT_EQ(PixelAt(*shot, 59, 39), clTeal);

  panel.SetStretchDraw(true);
  panel.SetBackground(*SolidPicture(10, 10, clPurple));
  EXPECT_EQ(PixelAt(*Snapshot(panel), 45, 30), clPurple);
}

TEST(MyPanelTest, TooSmallBackgroundIsRefusedWithAMessageAndTheOldOneStays) {
  TMyPanel panel(nullptr);
  panel.Name = "mpnlTest";
  panel.SetBackground(*SolidPicture(8, 8, clTeal));
  std::string text;
  QueueCall([&text] { AnswerMessageBox(IDOK, &text); });
  panel.SetBackground(*SolidPicture(7, 20, clRed));
  EXPECT_EQ(text, "mpnlTest>>> Bitmap muss mindestens 8x8 Pixel sein!");
  EXPECT_EQ(panel.Background().Width(), 8);
  EXPECT_EQ(panel.Background().Canvas().Pixels(0, 0), clTeal);

  panel.SetBackground(TBitmap());
  EXPECT_TRUE(panel.Background().Empty());
}

TEST(MyPanelTest, LeftDragOnAMovePanelOrLabelMovesTheWindow) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(100, 100, 200, 150);
  auto* head = new TMyPanel(&form);
  head->SetParent(&form);
  head->SetBounds(0, 0, 200, 25);
  head->SetMove(true);
  auto* word = new TMyLabel(&form);
  word->SetParent(head);
  word->SetBounds(5, 5, 40, 15);
  word->SetMove(true);
  form.Show();

  SimulateMouseDown(*head, mbLeft, 50, 10);
  SimulateMouseMove(*head, 70, 20, ssLeft);
  SimulateMouseUp(*head, mbLeft, 70, 20);
  EXPECT_EQ(form.Left(), 120);
  EXPECT_EQ(form.Top(), 110);

  SimulateMouseDown(*head, mbRight, 50, 10);
  SimulateMouseMove(*head, 90, 30, ssRight);
  SimulateMouseUp(*head, mbRight, 90, 30);
  EXPECT_EQ(form.Left(), 120) << "a right-button drag does not move";

  SimulateMouseDown(*word, mbLeft, 2, 2);
  SimulateMouseMove(*word, 7, 12, ssLeft);
  SimulateMouseUp(*word, mbLeft, 7, 12);
  EXPECT_EQ(form.Left(), 125);
  EXPECT_EQ(form.Top(), 120);
  form.Hide();
}

TEST(MySplitterTest, DrawsABlackFrameUnlessPaintBorderIsEmpty) {
  TMySplitter splitter(nullptr);
  splitter.SetAlign(alNone);
  splitter.SetBounds(0, 0, 40, 6);
  splitter.SetColor(clYellow);
  auto shot = Snapshot(splitter);
  EXPECT_EQ(PixelAt(*shot, 0, 3), clBlack);
  EXPECT_EQ(PixelAt(*shot, 39, 3), clBlack);
  EXPECT_EQ(PixelAt(*shot, 20, 0), clBlack);
  EXPECT_EQ(PixelAt(*shot, 20, 5), clBlack);
  EXPECT_EQ(PixelAt(*shot, 20, 3), clYellow);

  splitter.SetPaintBorder(TMyBorder{});
  shot = Snapshot(splitter);
  EXPECT_EQ(PixelAt(*shot, 0, 0), clYellow);
  EXPECT_EQ(PixelAt(*shot, 39, 5), clYellow);
}

TEST(MySplitterTest, DraggingResizesTheControlItIsAlignedAgainst) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* top = new TMyPanel(&form);
  top->SetParent(&form);
  top->SetAlign(alTop);
  top->SetHeight(50);
  auto* splitter = new TMySplitter(&form);
  splitter->SetAlign(alTop);
  splitter->SetBounds(0, 60, 200, 4);
  splitter->SetParent(&form);
  ASSERT_EQ(splitter->Top(), 50);
  EXPECT_EQ(splitter->Cursor(), crSizeNS);
  int moved = 0;
  splitter->OnMoved = [&](TComponent*) { ++moved; };

  SimulateMouseDown(*splitter, mbLeft, 10, 1);
  SimulateMouseMove(*splitter, 10, 21, ssLeft);
  SimulateMouseUp(*splitter, mbLeft, 10, 1);
  EXPECT_EQ(top->Height(), 70);
  EXPECT_EQ(splitter->Top(), 70);
  EXPECT_EQ(moved, 1);
}

}  // namespace

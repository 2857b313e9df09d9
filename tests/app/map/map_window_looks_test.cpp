// What the map window's pictures look like: the status lamps off and on, the logo at
// the foot of the tool bar (and on the about window), and the rows of the pick list; and
// how its bottom stack lies: monitor, splitter, coordinate bar.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../app_windows.h"
#include "app/map/frm_aprs.h"
#include "app/map/lamp_strip.h"
#include "app/monitor/monitor_styles.h"
#include "app/program/frm_info.h"
#include "app/program/frm_main.h"
#include "app/shelf/program_logo.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_select.h"
#include "app/stations/station_store.h"
#include "controls/my_panel.h"
#include "controls/my_splitter.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/sysutils.h"
#include "richtext/view/rich_doc.h"
#include "support/control_snapshot.h"

namespace {

constexpr TColor kBackdrop = 0x336699;

std::unique_ptr<TBitmap> Shot(TControl& Control) {
  return Snapshot(Control, kBackdrop);
}

int CountPixels(const TBitmap& Picture, TColor Color, const TRect& Area) {
  int count = 0;
  for (int y = Area.Top; y < Area.Bottom; ++y)
    for (int x = Area.Left; x < Area.Right; ++x)
      if (Picture.Canvas().Pixels(x, y) == Color) ++count;
  return count;
}

// The leftmost column of Area holding a pixel of Color; -1 when there is none.
int LeftmostOf(const TBitmap& Picture, TColor Color, const TRect& Area) {
  for (int x = Area.Left; x < Area.Right; ++x)
    for (int y = Area.Top; y < Area.Bottom; ++y)
      if (Picture.Canvas().Pixels(x, y) == Color) return x;
  return -1;
}

TEST(LampStripTest, TheLampShowsItsColoursOnWhateverLiesBehindIt) {
  TForm form(nullptr);
  auto* lamp = new TBitmapMask(&form);
  lamp->SetParent(&form);
  SetUpLamp(*lamp, {clLime, 0x004000, 0x404040}, 3);
  EXPECT_EQ(lamp->Width(), kLampSize);
  EXPECT_EQ(lamp->Height(), kLampSize);
  const int mid = kLampSize / 2;

  auto off = Shot(*lamp);
  EXPECT_EQ(off->Canvas().Pixels(mid, mid), 0x004000);
  EXPECT_EQ(off->Canvas().Pixels(1, mid), 0x404040);  // the outline
  for (const TPoint corner : {Point(0, 0), Point(kLampSize - 1, 0), Point(0, kLampSize - 1),
                              Point(kLampSize - 1, kLampSize - 1)}) {
    EXPECT_EQ(off->Canvas().Pixels(corner.X, corner.Y), kBackdrop);
  }
  lamp->SetActive(true);
  auto on = Shot(*lamp);
  EXPECT_EQ(on->Canvas().Pixels(mid, mid), clLime);
  EXPECT_EQ(on->Canvas().Pixels(0, 0), kBackdrop);
  lamp->SetActivePicture(2);
  EXPECT_EQ(Shot(*lamp)->Canvas().Pixels(mid, mid), kLampFaultColor);
}

TEST(ProgramLogoTest, GlobeAndNameInsideATransparentSquare) {
  for (const int size : {58, 64}) {
    TBitmap logo;
    DrawProgramLogo(logo, size);
    ASSERT_EQ(logo.Width(), size);
    ASSERT_EQ(logo.Height(), size);
    const TColor outside = logo.TransparentColor();
    EXPECT_EQ(logo.TransparentMode(), tmFixed);
    EXPECT_EQ(logo.Canvas().Pixels(0, 0), outside);
    EXPECT_EQ(logo.Canvas().Pixels(size - 1, 0), outside);
    const TRect all = Rect(0, 0, size, size);
    // Mostly picture; the station and, in the lower rows, the name.
    EXPECT_GT(size * size - CountPixels(logo, outside, all), size * size / 3);
    EXPECT_GT(CountPixels(logo, clRed, all), 0);
    EXPECT_GT(CountPixels(logo, clNavy, Rect(0, size * 3 / 4, size, size)), size / 2);
  }
}

class MapWindowLooksTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    frmMain->Show();
    frmAprs->Show();
    frmAprs->SetBounds(0, 0, 800, 600);
    ASSERT_GT(frmAprs->mpnlDot->Width(), 480);
    ASSERT_GT(frmAprs->mpnlToolMain->Height(), 300);
  }
};

TEST_F(MapWindowLooksTest, TheSplitterLiesOnTheMonitorAndDraggingItUpMakesTheMonitorTaller) {
  TfrmAprs& aprs = *frmAprs;
  auto expectStack = [&] {
    EXPECT_EQ(aprs.mpnlBottom->BoundsRect().Bottom, aprs.ClientHeight());
    EXPECT_EQ(aprs.msplRx->Height(), 7);
    EXPECT_EQ(aprs.msplRx->BoundsRect().Bottom, aprs.mpnlBottom->Top());
    EXPECT_EQ(aprs.mpnlDot->BoundsRect().Bottom, aprs.msplRx->Top());
    EXPECT_EQ(aprs.scrBoxCard->BoundsRect().Bottom, aprs.mpnlDot->Top());
  };
  expectStack();

  for (int i = 0; i < 60; ++i) aprs.AddMonitorText("\r\nline " + std::to_string(i), msIgData);
  TCustomRichDoc& monitor = *aprs.rdMain;
  ASSERT_GT(monitor.GetVScrollMax(), 0);
  monitor.SetVScrollPos(0);  // the user had scrolled back
  const int height = aprs.mpnlBottom->Height();
  SimulateMouseDown(*aprs.msplRx, mbLeft, 20, 2);
  SimulateMouseMove(*aprs.msplRx, 20, -38, ssLeft);
  SimulateMouseUp(*aprs.msplRx, mbLeft, 20, -38);
  EXPECT_EQ(aprs.mpnlBottom->Height(), height + 40);
  expectStack();
  EXPECT_GT(monitor.GetVScrollMax(), 0);
  EXPECT_EQ(monitor.VScrollPos(), monitor.GetVScrollMax());
}

TEST_F(MapWindowLooksTest, EveryLampShowsOffAndOnOnThePanel) {
  TfrmAprs& aprs = *frmAprs;
  aprs.bmpmRxP2->SetVisible(true);
  const int mid = kLampSize / 2;
  for (TBitmapMask* lamp :
       {aprs.bmpmRxP1, aprs.bmpmRxP2, aprs.bmpmMsg, aprs.bmpmGps, aprs.bmpmWx, aprs.bmpmTxTcp}) {
    SCOPED_TRACE(lamp->Name);
    EXPECT_EQ(lamp->Width(), kLampSize);
    EXPECT_EQ(lamp->Height(), kLampSize);
    EXPECT_NE(lamp->MaskColorOn(), lamp->MaskColorOff());
    lamp->SetActive(false);
    auto off = Shot(*aprs.mpnlDot);
    EXPECT_EQ(off->Canvas().Pixels(lamp->Left() + mid, lamp->Top() + mid), lamp->MaskColorOff());
    // The corner shows the panel, as the gap beside the lamp does.
    EXPECT_EQ(off->Canvas().Pixels(lamp->Left(), lamp->Top()),
              off->Canvas().Pixels(lamp->Left() - 2, lamp->Top()));
    lamp->SetActive(true);
    auto on = Shot(*aprs.mpnlDot);
    EXPECT_EQ(on->Canvas().Pixels(lamp->Left() + mid, lamp->Top() + mid), lamp->MaskColorOn());
    EXPECT_EQ(on->Canvas().Pixels(lamp->Left() + kLampSize - 1, lamp->Top() + kLampSize - 1),
              on->Canvas().Pixels(lamp->Left() - 2, lamp->Top() + kLampSize - 1));
    lamp->SetActive(false);
  }
}

// Collapsed, the tool panel is the button alone: it points the way back, and the status
// text and beacon bars do not stick out cut to its width.
TEST_F(MapWindowLooksTest, TheCollapseButtonShowsItsWayAndHidesTheStatus) {
  TfrmAprs& aprs = *frmAprs;
  EXPECT_EQ(aprs.mbtnShowToolBar->Caption(), "\xAB");
  EXPECT_TRUE(aprs.mpnlPB->Visible());
  const int width = aprs.mpnlToolMain->Width();
  aprs.mbtnShowToolBar->Click();
  EXPECT_EQ(aprs.mpnlToolMain->Width(), aprs.mbtnShowToolBar->Width());
  EXPECT_EQ(aprs.mbtnShowToolBar->Caption(), "\xBB");
  EXPECT_FALSE(aprs.mpnlPB->Visible());
  aprs.mbtnShowToolBar->Click();
  EXPECT_EQ(aprs.mpnlToolMain->Width(), width);
  EXPECT_TRUE(aprs.mpnlPB->Visible());
}

TEST_F(MapWindowLooksTest, LogoSitsAtTheFootOfTheToolPanel) {
  TfrmAprs& aprs = *frmAprs;
  ASSERT_FALSE(aprs.imgLogo->Picture().Bitmap().Empty());
  EXPECT_EQ(aprs.imgLogo->Parent(), aprs.mpnlToolMain);
  for (const int formHeight : {800, 700}) {
    aprs.SetBounds(0, 0, 800, formHeight);
    const int height = aprs.mpnlToolMain->Height();
    EXPECT_EQ(aprs.imgLogo->Top(), height - aprs.imgLogo->Height() - aprs.mbtnShowToolBar->Width());
    EXPECT_EQ(aprs.mbtnShowToolBar->Height(), height);
    EXPECT_TRUE(aprs.imgLogo->Visible());
  }
  // Shown on the panel: the name's ink lies in the logo's lower rows.
  const auto panel = Shot(*aprs.mpnlToolMain);
  const TRect logo = aprs.imgLogo->BoundsRect();
  EXPECT_GT(CountPixels(*panel, clNavy,
                        Rect(logo.Left, logo.Top + logo.Height() * 3 / 4, logo.Right, logo.Bottom)),
            0);

  ASSERT_FALSE(frmInfo->imgLogo->Picture().Bitmap().Empty());
  EXPECT_EQ(frmInfo->imgLogo->Width(), frmInfo->imgLogo->Picture().Width());
}

// However many stations, the counter keeps to its room before the first lamp, and its
// count still fits there at the most stations the store holds.
TEST_F(MapWindowLooksTest, TheStationCounterKeepsClearOfTheLamps) {
  TfrmAprs& aprs = *frmAprs;
  const TRect room = aprs.lblStnCount->BoundsRect();
  TCanvas measure;
  measure.Font().Assign(aprs.lblStnCount->Font());
  for (const std::string& caption :
       {std::string("7 Stationen"), IntToStr(kMaxStations) + " Stationen"}) {
    SCOPED_TRACE(caption);
    aprs.lblStnCount->SetCaption(caption);
    EXPECT_EQ(aprs.lblStnCount->BoundsRect(), room);
    EXPECT_LE(room.Right, aprs.bmpmRxP1->Left());
    EXPECT_LE(measure.TextWidth(caption), room.Width());
  }
}

// A small window, a tall monitor or a splitter dragged high never cut off the tool panel's
// buttons, beacon bars and status under the coordinate bar, nor lay the logo over them.
TEST_F(MapWindowLooksTest, TheToolPanelKeepsItsButtonsAndStatusWhateverTheSize) {
  TfrmAprs& aprs = *frmAprs;
  auto expectWhole = [&](int FormHeight) {
    SCOPED_TRACE(FormHeight);
    const int height = aprs.mpnlToolMain->Height();
    EXPECT_LE(aprs.mbtnInfo->BoundsRect().Bottom, aprs.mpnlPB->Top());
    EXPECT_LE(aprs.mpnlPB->BoundsRect().Bottom, height);
    EXPECT_EQ(aprs.mpnlDot->Top(), height);
    EXPECT_GE(aprs.mpnlBottom->Height(), aprs.msplRx->MinSize());
    if (aprs.imgLogo->Visible()) {
      EXPECT_GE(aprs.imgLogo->Top(), aprs.mpnlPB->BoundsRect().Bottom);
      EXPECT_LE(aprs.imgLogo->BoundsRect().Bottom, height);
    }
  };
  aprs.SetMonitorHeight(300);
  for (const int formHeight : {800, 600, 480}) {
    aprs.SetBounds(0, 0, 740, formHeight);
    expectWhole(formHeight);
  }
  // The monitor gave way only as far as needed.
  const int bars = aprs.mpnlDot->Height() + aprs.msplRx->Height();
  EXPECT_EQ(aprs.mpnlBottom->Height(),
            aprs.ClientHeight() - bars - aprs.mpnlPB->BoundsRect().Bottom);
  // Below that, down to its smallest size; the height it was given is kept for later
  // and for the settings.
  aprs.SetBounds(0, 0, 740, 360);
  EXPECT_EQ(aprs.mpnlBottom->Height(), aprs.msplRx->MinSize());
  EXPECT_EQ(aprs.MonitorHeight(), 300);
  aprs.SetBounds(0, 0, 740, 800);
  EXPECT_EQ(aprs.mpnlBottom->Height(), 300);

  aprs.SetMonitorHeight(100);
  EXPECT_EQ(aprs.mpnlBottom->Height(), 100);
  SimulateMouseDown(*aprs.msplRx, mbLeft, 20, 2);
  SimulateMouseMove(*aprs.msplRx, 20, -600, ssLeft);
  SimulateMouseUp(*aprs.msplRx, mbLeft, 20, -600);
  expectWhole(800);
  EXPECT_EQ(aprs.mpnlBottom->Height(),
            aprs.ClientHeight() - bars - aprs.mpnlPB->BoundsRect().Bottom);
}

TEST_F(MapWindowLooksTest, PickListSelectedRowIsBlackWithTheListColourAsText) {
  TListBox& list = *frmAprsStnSelect->lboxStnSelect;
  ASSERT_EQ(list.Style(), lbOwnerDrawFixed);
  const TColor listColor = list.Color();
  list.Font().SetColor(clBlack);
  list.Items().Add("DL1ABC-9");
  list.Items().Add("N0CALL");
  list.SetItemIndex(0);
  const auto shot = Shot(list);

  // The rows start where the black of the selected one does.
  const int rowLeft = LeftmostOf(*shot, clBlack, Rect(0, 0, list.Width(), list.ItemHeight()));
  ASSERT_GE(rowLeft, 0);
  const int rowTop = [&] {
    for (int y = 0; y < list.Height(); ++y)
      if (shot->Canvas().Pixels(rowLeft, y) == clBlack) return y;
    return -1;
  }();
  const TRect selected = Bounds(rowLeft, rowTop, list.Width() - 2 * rowLeft, list.ItemHeight());
  const TRect plain =
      Bounds(rowLeft, rowTop + list.ItemHeight(), selected.Width(), list.ItemHeight());
  EXPECT_EQ(shot->Canvas().Pixels(rowLeft + 1, rowTop + 1), clBlack);
  EXPECT_EQ(shot->Canvas().Pixels(selected.Right - 3, rowTop + 1), clBlack);
  EXPECT_GT(CountPixels(*shot, listColor, selected), 10);
  EXPECT_EQ(shot->Canvas().Pixels(plain.Left + 1, plain.Top + 1), listColor);
  EXPECT_GT(CountPixels(*shot, clBlack, plain), 10);

  // The texts begin 5 pixels into the row: where TextOut at x = 5 puts their first ink.
  auto inkAt = [&](const std::string& text) {
    TBitmap reference;
    reference.SetSize(selected.Width(), list.ItemHeight());
    reference.Canvas().Brush().SetColor(clWhite);
    reference.Canvas().FillRect(Rect(0, 0, selected.Width(), list.ItemHeight()));
    reference.Canvas().Font().Assign(list.Font());
    reference.Canvas().TextOut(5, 0, text);
    return LeftmostOf(reference, clBlack, Rect(0, 0, selected.Width(), list.ItemHeight()));
  };
  ASSERT_GE(inkAt("DL1ABC-9"), 5);
  EXPECT_EQ(LeftmostOf(*shot, listColor, selected) - rowLeft, inkAt("DL1ABC-9"));
  EXPECT_EQ(LeftmostOf(*shot, clBlack, plain) - rowLeft, inkAt("N0CALL"));
}

}  // namespace

namespace {

// A switched-on switch looks pressed: the map window's GPS, TCP and draw-style buttons
// and the detail window's L, A and F.
TEST_F(MapWindowLooksTest, SwitchesShowWhenTheyAreDown) {
  std::vector<TMyButton*> switches = {frmAprs->mbtnGps,
                                      frmAprs->mbtnTcp,
                                      frmAprs->mbtnDrawCall,
                                      frmAprs->mbtnDrawPoint,
                                      frmAprsStnInfo->mbtnShowLock,
                                      frmAprsStnInfo->mbtnShowAx25,
                                      frmAprsStnInfo->mbtnFollowRx};
  for (TMyButton* button : switches) {
    button->SetDown(false);
    const TColor up = Shot(*button)->Canvas().Pixels(4, button->Height() / 2);
    button->SetDown(true);
    const TColor down = Shot(*button)->Canvas().Pixels(4, button->Height() / 2);
    EXPECT_NE(up, down) << button->Name;
  }
}

}  // namespace

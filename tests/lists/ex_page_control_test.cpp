// The page control: sheets and their tabs, page and tab indices, the active page (by
// code, click, Ctrl+Tab and accelerators), hidden tabs, closing and hovering, and how
// tabs are laid out and painted in each style and position.
#include "lists/ex_page_control.h"

#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/edit.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/string_list.h"
#include "support/control_snapshot.h"

namespace {

struct PageControlTest : ::testing::Test {
  PageControlTest() {
    form.SetBounds(0, 0, 400, 300);
    pc = new TExPageControl(&form);
    pc->SetParent(&form);
    pc->SetBounds(0, 0, 360, 240);
  }
  TExTabSheet* Sheet(const std::string& Caption, TExPageControl* Control = nullptr) {
    auto* sheet = new TExTabSheet(&form);
    sheet->Name = "atab" + std::to_string(++made);
    sheet->SetCaption(Caption);
    sheet->SetPageControl(Control ? Control : pc);
    return sheet;
  }
  std::vector<bool> Shown() {
    std::vector<bool> shown;
    for (int n = 0; n < pc->PageCount(); ++n) shown.push_back(pc->Pages(n)->Visible());
    return shown;
  }

  TForm form{nullptr};
  TExPageControl* pc;
  int made = 0;
};

TEST_F(PageControlTest, TheFirstSheetIsShownAndActivePageShowsExactlyOne) {
  TExTabSheet* a = Sheet("Monitor");
  TExTabSheet* b = Sheet("My Message");
  TExTabSheet* c = Sheet("Message Group");
  EXPECT_EQ(pc->ActivePage(), a);
  EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));
  int changes = 0;
  pc->OnChange = [&](TComponent*) { ++changes; };
  pc->SetActivePage(c);
  EXPECT_EQ(pc->ActivePage(), c);
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(changes, 0);  // only the user's changes are reported
  // A sheet of another control changes nothing.
  TExPageControl other(&form);
  other.SetParent(&form);
  TExTabSheet* foreign = Sheet("Other", &other);
  pc->SetActivePage(foreign);
  EXPECT_EQ(pc->ActivePage(), c);
  // Null clears the selection; the sheet shown stays shown.
  pc->SetActivePage(nullptr);
  EXPECT_EQ(pc->ActivePage(), nullptr);
  EXPECT_TRUE(c->Visible());
  EXPECT_EQ(b->PageIndex(), 1);
  EXPECT_EQ(foreign->PageIndex(), 0);
  // The sheets fill the page area, inside the frame, above the tab row.
  EXPECT_EQ(c->BoundsRect(), pc->DisplayRect());
}

TEST_F(PageControlTest, PageAndTabIndicesDifferBehindAHiddenTab) {
  TExTabSheet* a = Sheet("Alpha");
  TExTabSheet* b = Sheet("Beta");
  TExTabSheet* c = Sheet("Gamma");
  a->SetTabVisible(false);
  EXPECT_FALSE(a->TabShowing());
  EXPECT_EQ(c->PageIndex(), 2);
  EXPECT_EQ(c->TabIndex(), 1);
  EXPECT_EQ(a->TabIndex(), -1);
  EXPECT_EQ(pc->TabRect(0), TRect{});
  const TRect cTab = pc->TabRect(2);
  EXPECT_GT(cTab.Width(), 0);
  EXPECT_EQ(pc->PageAtPos(cTab.Left + 2, cTab.Top + 2), 2);
  EXPECT_EQ(pc->PageAtPos(pc->TabRect(1).Left + 1, cTab.Top + 2), 1);
  EXPECT_EQ(pc->PageAtPos(300, 200), -1);
  // Moving a sheet moves its tab with it.
  c->SetPageIndex(0);
  EXPECT_EQ(c->TabIndex(), 0);
  EXPECT_EQ(b->TabIndex(), 1);
  EXPECT_LT(pc->TabRect(0).Left, pc->TabRect(2).Left);
  try {
    b->SetPageIndex(3);
    FAIL();
  } catch (const EStringListError& error) {
    EXPECT_STREQ(error.what(),
                 "3 ist ein ung\xFCltiger Wert f\xFCr PageIndex. PageIndex muss zwischen 0 und 2 "
                 "liegen");
  }
}

TEST_F(PageControlTest, HidingTheActiveTabMovesToTheTabNowAtItsPlace) {
  TExTabSheet* a = Sheet("A1");
  TExTabSheet* b = Sheet("B1");
  TExTabSheet* c = Sheet("C1");
  pc->SetActivePage(b);
  b->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), c);
  c->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), a);  // the last tab
  a->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), nullptr);
  // Sheets without a tab can still be chosen from code.
  pc->SetActivePage(b);
  EXPECT_EQ(pc->ActivePage(), b);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, true, false}));
}

TEST_F(PageControlTest, AllTabsHiddenSheetsAreChosenByActivePageAndTheFrameIsAtTheEdge) {
  std::vector<TExTabSheet*> sheets;
  for (const char* caption : {"Dev", "GPS", "Station"}) {
    sheets.push_back(Sheet(caption));
    sheets.back()->SetTabVisible(false);
  }
  pc->SetTabPosition(tpBottom);
  pc->SetLowerActive(0);
  pc->SetActivePage(sheets[2]);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true}));
  pc->SetActivePage(sheets[0]);
  EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));
  // No tab row: a 2-pixel strip edge below, the sheets fill the rest.
  auto picture = Snapshot(*pc);
  EXPECT_EQ(PixelAt(*picture, 100, pc->Height() - 3), 0x808080);
  EXPECT_EQ(pc->DisplayRect().Bottom, pc->Height() - 2 - 4);
}

TEST_F(PageControlTest, ADisabledTabCannotBeChosenAndTheActiveOneCannotBeDisabled) {
  TExTabSheet* a = Sheet("A1");
  TExTabSheet* b = Sheet("B1");
  b->SetTabEnable(false);
  pc->SetActivePage(b);
  EXPECT_EQ(pc->ActivePage(), a);
  try {
    a->SetTabEnable(false);
    FAIL();
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Can not disable active tab.");
  }
  EXPECT_TRUE(a->TabEnable());
}

TEST_F(PageControlTest, RemovingPagesMovesOnAndTheLastLeavesNoActivePage) {
  TExTabSheet* a = Sheet("A1");
  TExTabSheet* b = Sheet("B1");
  delete a;
  EXPECT_EQ(pc->PageCount(), 1);
  EXPECT_EQ(pc->ActivePage(), b);
  b->SetPageControl(nullptr);
  EXPECT_EQ(pc->PageCount(), 0);
  EXPECT_EQ(pc->ActivePage(), nullptr);
  EXPECT_EQ(pc->FindNextPage(nullptr, true, true), nullptr);
}

TEST_F(PageControlTest, SizingTextsAndTheTabWidthRule) {
  TExTabSheet* a = Sheet("X");
  EXPECT_EQ(a->TabSizingText(), "");
  a->SetShowClose(true);
  EXPECT_EQ(a->TabSizingText(), "X ");
  a->SetShowClose(false);
  a->SetCaption("Message Group");
  EXPECT_EQ(a->TabSizingText(), "Message Gro");
  TCanvas measure;
  measure.Font().Assign(pc->Font());
  // The text, six pixels each side, two characters' room (in the wider of the tab and
  // active fonts) and the image room.
  EXPECT_EQ(pc->TabRect(0).Width(),
            measure.TextWidth("Message Gro") + 12 + 2 * measure.TextWidth("W"));
  TTabMargin margins;
  margins.SetLeftMargin(10);
  margins.SetTopMargin(2);
  pc->SetTabMargin(&margins);
  EXPECT_EQ(pc->TabRect(0).Width(),
            measure.TextWidth("Message Gro") + 10 + 12 + 2 * measure.TextWidth("W"));
  pc->SetTabHeight(24);
  EXPECT_EQ(pc->TabRect(0).Height(), 24);
  // Margin changes are reported before they are stored.
  TTabMargin watched;
  std::vector<int> seen;
  watched.OnMarginChange = [&](int New, int Old, int Index) {
    seen = {New, Old, Index, watched.RightMargin()};
  };
  watched.SetRightMargin(5);
  EXPECT_EQ(seen, (std::vector<int>{5, 0, 2, 0}));
  EXPECT_EQ(watched.RightMargin(), 5);
}

// No caption runs past its tab, whatever characters end it, in either font.
TEST_F(PageControlTest, NoCaptionIsClipped) {
  form.SetBounds(0, 0, 800, 300);
  pc->SetBounds(0, 0, 760, 240);  // room for every tab: none under the scroll arrows
  pc->SetTabPosition(tpBottom);
  pc->SetTabHeight(24);
  TTabMargin margins;
  margins.SetLeftMargin(10);
  margins.SetTopMargin(2);
  pc->SetTabMargin(&margins);
  for (const char* caption : {"Monitor", "My Message", "Message Group", "MWWW", "i", "WW"})
    Sheet(caption);
  TFont bold;
  bold.SetStyle(fsBold);
  pc->SetActiveFont(bold);
  pc->SetTabStyle(tsDotNet);
  pc->SetActiveColor(clWhite);
  for (int active = 0; active < pc->PageCount(); ++active) {
    pc->SetActivePage(pc->Pages(active));
    auto picture = Snapshot(*pc);
    for (int n = 0; n < pc->PageCount(); ++n) {
      const TRect tab = pc->TabRect(n);
      // The last three columns of each tab hold no text.
      for (int x = tab.Right - 4; x < tab.Right - 1; ++x)
        for (int y = tab.Top + 2; y < tab.Bottom - 2; ++y)
          ASSERT_NE(PixelAt(*picture, x, y), clBlack)
              << pc->Pages(n)->Caption() << " active " << active << " at " << x;
    }
  }
}

TEST_F(PageControlTest, AClickChangesThePageUnlessOnCanChangeRefuses) {
  Sheet("Monitor");
  TExTabSheet* b = Sheet("My Message");
  TExTabSheet* c = Sheet("Message Group");
  std::vector<std::string> log;
  pc->OnChange = [&](TComponent* Sender) {
    EXPECT_EQ(Sender, pc);
    log.push_back("change");
  };
  pc->OnCanChange = [&](TComponent*, int From, int To, bool& Allow) {
    log.push_back(std::to_string(From) + ">" + std::to_string(To));
    Allow = To != 2;
  };
  const TRect tabB = pc->TabRect(1);
  SimulateClick(*pc, tabB.Left + 5, tabB.Top + 5);
  EXPECT_EQ(pc->ActivePage(), b);
  const TRect tabC = pc->TabRect(2);
  SimulateClick(*pc, tabC.Left + 5, tabC.Top + 5);
  EXPECT_EQ(pc->ActivePage(), b);
  EXPECT_EQ(log, (std::vector<std::string>{"0>1", "change", "1>2"}));
  (void)c;
}

TEST_F(PageControlTest, CtrlTabStepsThroughVisibleTabsFromInsideASheetAndWraps) {
  TExTabSheet* a = Sheet("Monitor");
  TExTabSheet* hidden = Sheet("Hidden");
  TExTabSheet* c = Sheet("Message &Group");
  hidden->SetTabVisible(false);
  auto* edit = new TEdit(&form);
  edit->SetParent(a);
  auto* editC = new TEdit(&form);
  editC->SetParent(c);
  form.Show();
  Application->ProcessMessages();
  edit->SetFocus();
  Application->ProcessMessages();
  const bool focus = edit->Focused();  // none without an active window
  int changes = 0;
  pc->OnChange = [&](TComponent*) { ++changes; };
  // The focus goes along to the first control of each new sheet.
  SimulateKey(*edit, VK_TAB, "", ssCtrl);
  EXPECT_EQ(pc->ActivePage(), c);
  EXPECT_TRUE(!focus || editC->Focused());
  SimulateKey(*editC, VK_TAB, "", ssCtrl);
  EXPECT_EQ(pc->ActivePage(), a);  // wrapped round, the hidden one skipped
  EXPECT_TRUE(!focus || edit->Focused());
  SimulateKey(*edit, VK_TAB, "", ssCtrl | ssShift);
  EXPECT_EQ(pc->ActivePage(), c);
  EXPECT_TRUE(!focus || editC->Focused());
  EXPECT_EQ(changes, 3);
  // From the page control itself the focus stays there.
  pc->SetFocus();
  SimulateKey(*pc, VK_TAB, "", ssCtrl);
  EXPECT_EQ(pc->ActivePage(), a);
  EXPECT_TRUE(!focus || pc->Focused());
  // Alt and the underlined letter choose a tab too.
  pc->SetActivePage(a);
  SimulateKey(*pc, 'G', "", ssAlt);
  EXPECT_EQ(pc->ActivePage(), c);
}

TEST_F(PageControlTest, TheCloseButtonClosesTheActiveSheetOnALeftRelease) {
  pc->SetClosePosition(cpRight);
  TExTabSheet* a = Sheet("First");
  TExTabSheet* b = Sheet("Second");
  a->SetShowClose(true);
  const TRect tab = pc->TabRect(0);
  const int x = tab.Right - 14 + 6, y = tab.Top + 6;
  // A right button does not close; OnCanClose may refuse.
  SimulateMouseDown(*pc, mbRight, x, y);
  SimulateMouseUp(*pc, mbRight, x, y);
  EXPECT_EQ(pc->PageCount(), 2);
  bool allow = false;
  a->OnCanClose = [&](TComponent*, bool& CanClose) { CanClose = allow; };
  SimulateClick(*pc, x, y);
  EXPECT_EQ(pc->PageCount(), 2);
  allow = true;
  std::vector<std::string> log;
  a->OnClose = [&](TComponent*) { log.push_back("close"); };
  pc->OnChange = [&](TComponent*) { log.push_back("change"); };
  SimulateClick(*pc, x, y);
  EXPECT_EQ(log, (std::vector<std::string>{"close", "change"}));
  EXPECT_EQ(pc->PageCount(), 1);
  EXPECT_EQ(pc->ActivePage(), b);
  ASSERT_EQ(pc->ClosedSheets().size(), 1u);
  EXPECT_EQ(pc->ClosedSheets()[0].second, a);
  EXPECT_EQ(a->PageControl(), nullptr);
  // Closing the last page keeps it too, and nothing is active.
  b->SetShowClose(true);
  const TRect last = pc->TabRect(0);
  SimulateClick(*pc, last.Right - 8, last.Top + 6);
  EXPECT_EQ(pc->ActivePage(), nullptr);
  EXPECT_EQ(pc->ClosedSheets().size(), 2u);
}

TEST_F(PageControlTest, HoverFollowsTheMouseOnlyWithAHoverColour) {
  Sheet("First");
  Sheet("Second");
  const TRect second = pc->TabRect(1);
  pc->TabHoverColorTo = clRed;
  pc->TabHoverBorder = clBlue;
  SimulateMouseMove(*pc, second.Left + 4, second.Top + 4);
  EXPECT_EQ(pc->HoverTab(), -1);
  pc->TabHoverColor = clYellow;
  SimulateMouseMove(*pc, second.Left + 4, second.Top + 4);
  EXPECT_EQ(pc->HoverTab(), 1);
  auto picture = Snapshot(*pc);
  EXPECT_EQ(PixelAt(*picture, second.Left, second.Top + 4), clBlue);  // the outline
  // The hover gradient from yellow at the top towards red.
  const TColor top = PixelAt(*picture, second.Right - 4, second.Top + 1);
  EXPECT_EQ(GetRValue(top), 255);
  EXPECT_GT(GetGValue(top), 200);
  EXPECT_EQ(GetBValue(top), 0);
  EXPECT_LT(GetGValue(PixelAt(*picture, second.Right - 4, second.Bottom - 2)), 100);
  SimulateMouseLeave(*pc);
  EXPECT_EQ(pc->HoverTab(), -1);
}

// The hovered page closed by its button, freed or moved: the next paint finds no page
// at the old hover index, nor a different page painted as hovered.
TEST_F(PageControlTest, AHoveredPageThatGoesLeavesNoHoverBehind) {
  pc->TabHoverColor = clYellow;
  pc->TabHoverBorder = clBlue;
  pc->FreeOnClose = true;
  pc->SetClosePosition(cpRight);
  Sheet("First");
  TExTabSheet* second = Sheet("Second");
  TExTabSheet* third = Sheet("Third");
  pc->SetActivePage(third);
  third->SetShowClose(true);
  TRect tab = pc->TabRect(2);
  SimulateMouseMove(*pc, tab.Left + 4, tab.Top + 4);
  ASSERT_EQ(pc->HoverTab(), 2);
  // Pressed and released on its close button under the mouse.
  const TRect close = pc->TabRect(2);
  SimulateClick(*pc, close.Right - 8, close.Top + 6);
  ASSERT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->HoverTab(), -1);
  Snapshot(*pc);
  tab = pc->TabRect(1);
  SimulateMouseMove(*pc, tab.Left + 4, tab.Top + 4);
  ASSERT_EQ(pc->HoverTab(), 1);
  delete second;
  EXPECT_EQ(pc->HoverTab(), -1);
  Snapshot(*pc);
  Sheet("Fourth");
  tab = pc->TabRect(1);
  SimulateMouseMove(*pc, tab.Left + 4, tab.Top + 4);
  ASSERT_EQ(pc->HoverTab(), 1);
  pc->Pages(1)->SetPageIndex(0);
  EXPECT_EQ(pc->HoverTab(), -1);
  Snapshot(*pc);
}

// Giving the focus to a control on a sheet in the back brings its sheet to the front,
// as a user's choice would not: no OnChange.
TEST_F(PageControlTest, FocusGivenToAControlOnASheetInTheBackActivatesTheSheet) {
  TExTabSheet* a = Sheet("Monitor");
  TExTabSheet* b = Sheet("Settings");
  auto* panel = new TExTabSheet(&form);  // any container inside the sheet
  panel->SetParent(b);
  auto* edit = new TEdit(&form);
  edit->SetParent(panel);
  int changes = 0;
  pc->OnChange = [&](TComponent*) { ++changes; };
  form.Show();
  ASSERT_EQ(pc->ActivePage(), a);
  edit->SetFocus();
  EXPECT_EQ(pc->ActivePage(), b);
  EXPECT_TRUE(b->Visible());
  EXPECT_FALSE(a->Visible());
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_EQ(changes, 0);
  form.Hide();
}

TEST_F(PageControlTest, BottomClassicTabsOpenIntoThePage) {
  pc->SetTabPosition(tpBottom);
  pc->SetTabHeight(24);
  Sheet("Monitor");
  Sheet("My Message");
  auto picture = Snapshot(*pc);
  const TRect active = pc->TabRect(0), other = pc->TabRect(1);
  const int edge = active.Top;  // the page's lower edge
  EXPECT_EQ(active.Bottom, pc->Height() - 2);
  // The active tab: framed left, bottom and right, open at the top onto the page.
  EXPECT_EQ(PixelAt(*picture, active.Left, active.Top + 10), 0x808080);
  EXPECT_EQ(PixelAt(*picture, active.Left + 10, active.Bottom), 0x808080);
  EXPECT_EQ(PixelAt(*picture, active.Left + 10, edge - 1), ColorToRGB(clBtnFace));
  // An inactive one is a closed box reaching one pixel into the page's border.
  EXPECT_EQ(PixelAt(*picture, other.Left + 10, other.Top - 1), 0x808080);
  EXPECT_EQ(PixelAt(*picture, other.Left + 10, other.Bottom - 1), 0x808080);
  // The page border above the tabs and round the page.
  EXPECT_EQ(PixelAt(*picture, 0, 10), 0x808080);
  EXPECT_EQ(PixelAt(*picture, pc->Width() - 1, 10), 0x808080);
  // The captions are written.
  bool ink = false;
  for (int x = active.Left + 4; x < active.Right && !ink; ++x)
    for (int y = active.Top; y < active.Bottom && !ink; ++y)
      ink = PixelAt(*picture, x, y) == clBlack;
  EXPECT_TRUE(ink);
}

TEST_F(PageControlTest, DotNetSeparatorsLeaveOutTheOneBeforeTheActiveTab) {
  pc->SetTabStyle(tsDotNet);
  pc->SetActiveColor(clWhite);
  for (const char* caption : {"One", "Two", "Three"}) Sheet(caption);
  pc->SetActivePage(pc->Pages(1));
  auto picture = Snapshot(*pc);
  const TRect first = pc->TabRect(0), last = pc->TabRect(2);
  const int y = first.Top + first.Height() / 2;
  EXPECT_NE(PixelAt(*picture, first.Right - 2, y), clWhite);  // before the active tab
  EXPECT_EQ(PixelAt(*picture, last.Right - 2, y), clWhite);   // after the last tab
  EXPECT_EQ(PixelAt(*picture, last.Right - 3, y), clWhite);
  // The active tab is filled in its colour and framed on three sides.
  const TRect active = pc->TabRect(1);
  EXPECT_EQ(PixelAt(*picture, active.Left + 3, active.Top + 3), clWhite);
  EXPECT_EQ(PixelAt(*picture, active.Left, active.Top + 3), 0x808080);
  EXPECT_THROW(pc->SetTabSplitLine(true), Exception);
}

TEST_F(PageControlTest, CloseButtonsHaveTheirLooks) {
  TExTabSheet* a = Sheet("Closable");
  a->SetShowClose(true);
  pc->SetLowerActive(0);
  const TRect tab = pc->TabRect(0);
  // cpLeft: the box at the tab's left, white with a grey frame and black strokes.
  auto picture = Snapshot(*pc);
  const int x = tab.Left, y = tab.Top;
  EXPECT_EQ(PixelAt(*picture, x + 2, y + 5), 0x808080);
  EXPECT_EQ(PixelAt(*picture, x + 3, y + 3), clWhite);
  EXPECT_EQ(PixelAt(*picture, x + 5, y + 5), clBlack);
  // Pressed: grey fill and a black frame.
  SimulateMouseDown(*pc, mbLeft, x + 6, y + 6);
  picture = Snapshot(*pc);
  EXPECT_EQ(PixelAt(*picture, x + 3, y + 3), 0xC0C0C0);
  EXPECT_EQ(PixelAt(*picture, x + 2, y + 5), clBlack);
  SimulateMouseUp(*pc, mbLeft, tab.Right + 50, y + 6);  // released elsewhere: kept
  EXPECT_EQ(pc->PageCount(), 1);
}

TEST_F(PageControlTest, SheetsShowAndHideWithTheirEvents) {
  TExTabSheet* a = Sheet("A1");
  TExTabSheet* b = Sheet("B1");
  std::vector<std::string> log;
  a->OnHide = [&](TComponent*) { log.push_back("hide a"); };
  b->OnShow = [&](TComponent*) { log.push_back("show b"); };
  pc->SetActivePage(b);
  EXPECT_EQ(log, (std::vector<std::string>{"show b", "hide a"}));
  EXPECT_FALSE(pc->Version().empty());
}

// ---- the row: margins held by the control, fixed widths, overflow and rows

TEST_F(PageControlTest, AMarginChangedOnTheControlsOwnMarginsLaysTheTabsOutAgain) {
  Sheet("Monitor");
  Sheet("My Message");
  const int wide = pc->TabRect(0).Width();
  const int secondLeft = pc->TabRect(1).Left;
  pc->TabMargin().SetLeftMargin(10);
  EXPECT_EQ(pc->TabRect(0).Width(), wide + 10);
  EXPECT_EQ(pc->TabRect(1).Left, secondLeft + 10);
  // A fixed width wins over the text's.
  pc->SetTabWidth(70);
  EXPECT_EQ(pc->TabRect(0).Width(), 70);
  EXPECT_EQ(pc->TabRect(1).Width(), 70);
}

TEST_F(PageControlTest, OnChangingMayStillRefuseAChangeByTheUser) {
  Sheet("Monitor");
  TExTabSheet* b = Sheet("My Message");
  bool allow = false;
  int asked = 0;
  pc->OnChanging = [&](TComponent* Sender, bool& Allow) {
    EXPECT_EQ(Sender, pc);
    ++asked;
    Allow = allow;
  };
  const TRect tab = pc->TabRect(1);
  SimulateClick(*pc, tab.Left + 5, tab.Top + 5);
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  // Not asked when OnCanChange refused already.
  pc->OnCanChange = [](TComponent*, int, int, bool& Allow) { Allow = false; };
  SimulateClick(*pc, tab.Left + 5, tab.Top + 5);
  EXPECT_EQ(asked, 1);
  pc->OnCanChange = nullptr;
  allow = true;
  SimulateClick(*pc, tab.Left + 5, tab.Top + 5);
  EXPECT_EQ(pc->ActivePage(), b);
}

TEST_F(PageControlTest, OnGetImageIndexAnswersForTheTab) {
  TExTabSheet* hidden = Sheet("Hidden");
  Sheet("Shown");
  hidden->SetTabVisible(false);
  EXPECT_EQ(pc->TabImageIndex(1), 0);
  std::vector<int> asked;
  pc->OnGetImageIndex = [&](TComponent*, int TabIndex, int& Image) {
    asked.push_back(TabIndex);
    Image = 7;
  };
  EXPECT_EQ(pc->TabImageIndex(1), 7);
  EXPECT_EQ(asked, std::vector<int>{0});  // by tab index, the hidden sheet not counted
  EXPECT_EQ(pc->TabImageIndex(0), 0);     // no tab, no question
}

TEST_F(PageControlTest, TabsThatDoNotFitScrollByTheArrowsAndTheActiveOneStaysInSight) {
  pc->SetBounds(0, 0, 200, 120);
  for (const char* caption : {"Monitor", "My Message", "Message Group", "Settings", "Log"})
    Sheet(caption);
  const TRect back = pc->ScrollArrowRect(false);
  const TRect ahead = pc->ScrollArrowRect(true);
  ASSERT_GT(back.Width(), 0);
  EXPECT_EQ(back.Right, ahead.Left);
  EXPECT_EQ(ahead.Right, pc->Width() - 2);
  EXPECT_EQ(pc->RowCount(), 1);
  // A click on an arrow scrolls, it chooses no tab.
  SimulateClick(*pc, ahead.Left + 5, ahead.Top + 5);
  EXPECT_EQ(pc->FirstShownTab(), 1);
  EXPECT_EQ(pc->TabRect(0), TRect{});
  EXPECT_EQ(pc->TabRect(1).Left, 2);
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  SimulateClick(*pc, back.Left + 5, back.Top + 5);
  EXPECT_EQ(pc->FirstShownTab(), 0);
  SimulateClick(*pc, back.Left + 5, back.Top + 5);
  EXPECT_EQ(pc->FirstShownTab(), 0);
  // Ctrl+Tab to a tab beyond the arrows brings it into sight.
  pc->SetActivePage(pc->Pages(4));
  EXPECT_GT(pc->FirstShownTab(), 0);
  EXPECT_LE(pc->TabRect(4).Right, back.Left);
  // Drawn: the arrows on button faces in the cleared corner; with the last tab in
  // sight only the one back is usable.
  auto picture = Snapshot(*pc);
  auto mid = [&](const TRect& R) {
    return PixelAt(*picture, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
  };
  EXPECT_EQ(mid(back), clBlack);
  EXPECT_EQ(mid(ahead), ColorToRGB(clGrayText));
  EXPECT_EQ(PixelAt(*picture, ahead.Left + 2, ahead.Top + 2), ColorToRGB(clBtnFace));
  // Room enough: no arrows, the row starts at the first tab again.
  pc->SetBounds(0, 0, 900, 120);
  EXPECT_EQ(pc->ScrollArrowRect(true), TRect{});
  EXPECT_EQ(pc->FirstShownTab(), 0);
}

TEST_F(PageControlTest, MultiLineTabsWrapIntoRowsWithTheActiveRowNextToThePage) {
  pc->SetBounds(0, 0, 220, 200);
  pc->SetTabHeight(20);
  for (const char* caption : {"Monitor", "My Message", "Message Group", "Settings", "Log"})
    Sheet(caption);
  const TRect single = pc->DisplayRect();
  pc->SetMultiLine(true);
  ASSERT_GT(pc->RowCount(), 1);
  EXPECT_EQ(pc->ScrollArrowRect(true), TRect{});
  EXPECT_EQ(pc->DisplayRect().Top, single.Top + (pc->RowCount() - 1) * 20);
  // The active tab's row lies on the page; with it every tab in that row.
  const int pageEdge = pc->DisplayRect().Top - 4;
  EXPECT_EQ(pc->TabRect(0).Bottom, pageEdge);
  pc->SetActivePage(pc->Pages(4));
  EXPECT_EQ(pc->TabRect(4).Bottom, pageEdge);
  EXPECT_LT(pc->TabRect(0).Bottom, pageEdge);
  // Rows of several tabs fill the width, unless ragged.
  auto rowEnds = [&] {
    std::vector<int> ends;
    for (int n = 0; n < pc->PageCount(); ++n) ends.push_back(pc->TabRect(n).Right);
    return ends;
  };
  std::vector<int> stretched = rowEnds();
  EXPECT_NE(std::find(stretched.begin(), stretched.end(), pc->Width() - 2), stretched.end());
  pc->SetRaggedRight(true);
  std::vector<int> ragged = rowEnds();
  EXPECT_EQ(std::find(ragged.begin(), ragged.end(), pc->Width() - 2), ragged.end());
  // Every tab is inside the control and no two overlap.
  for (int a = 0; a < pc->PageCount(); ++a) {
    EXPECT_LE(pc->TabRect(a).Right, pc->Width() - 2);
    for (int b = a + 1; b < pc->PageCount(); ++b) {
      const TRect x = pc->TabRect(a), y = pc->TabRect(b);
      EXPECT_TRUE(x.Right <= y.Left || y.Right <= x.Left || x.Bottom <= y.Top || y.Bottom <= x.Top)
          << a << " " << b;
    }
  }
}

// A change by the user reshuffles the rows of MultiLine tabs: nothing is painted from the
// moment it is asked for until it is done or refused. Single-line tabs paint as they go.
TEST_F(PageControlTest, AMultiLineChangePaintsOnceItIsDone) {
  pc->SetBounds(0, 0, 220, 200);
  for (const char* caption : {"Monitor", "My Message", "Message Group", "Settings", "Log"})
    Sheet(caption);
  form.Show();
  std::vector<bool> redrawWhileAsked;
  bool allow = true;
  pc->OnCanChange = [&](TComponent*, int, int, bool& Allow) {
    redrawWhileAsked.push_back(pc->Redraw());
    Allow = allow;
  };
  pc->OnChange = [&](TComponent*) { redrawWhileAsked.push_back(pc->Redraw()); };
  auto click = [&](int Page) {
    const TRect tab = pc->TabRect(Page);
    SimulateClick(*pc, tab.Left + 5, tab.Top + 5);
  };
  click(1);
  EXPECT_EQ(redrawWhileAsked, (std::vector<bool>{true, true}));
  pc->SetMultiLine(true);
  redrawWhileAsked.clear();
  click(4);
  EXPECT_EQ(pc->ActivePageIndex(), 4);
  EXPECT_EQ(redrawWhileAsked, (std::vector<bool>{false, false}));
  EXPECT_TRUE(pc->Redraw());
  allow = false;
  click(0);
  EXPECT_EQ(pc->ActivePageIndex(), 4);
  EXPECT_TRUE(pc->Redraw());
  form.Hide();
}

// ScrollOpposite: choosing a tab in a later row sends the rows before it round to the
// other edge, where they are drawn, hit and open into the page from that side.
TEST_F(PageControlTest, ScrollOppositeSendsTheRowsBeforeTheActiveOneToTheOtherEdge) {
  pc->SetBounds(0, 0, 220, 200);
  pc->SetTabHeight(20);
  for (const char* caption : {"Monitor", "My Message", "Message Group", "Settings", "Log"})
    Sheet(caption);
  pc->SetMultiLine(true);
  pc->SetScrollOpposite(true);
  const int rows = pc->RowCount();
  ASSERT_GE(rows, 2);
  const TRect all = pc->DisplayRect();
  EXPECT_EQ(all.Bottom, pc->Height() - 4);  // the first tab's row is the page's: none moved
  pc->SetActivePage(pc->Pages(4));
  const TRect page = pc->DisplayRect();
  EXPECT_EQ(pc->TabRect(4).Bottom, page.Top - 4);
  EXPECT_FALSE(pc->TabAtOppositeEdge(4));
  EXPECT_TRUE(pc->TabAtOppositeEdge(0));
  // The rows before the last went below the page, the one just before it next to it.
  const int moved = rows - 1;
  EXPECT_EQ(page.Top, all.Top - moved * 20);
  EXPECT_EQ(page.Bottom, pc->Height() - 4 - 2 - moved * 20);
  EXPECT_GE(pc->TabRect(0).Top, page.Bottom);
  EXPECT_LE(pc->TabRect(0).Bottom, pc->Height());
  EXPECT_EQ(pc->PageAtPos(pc->TabRect(0).Left + 5, pc->TabRect(0).Top + 5), 0);
  // Drawn there: the caption's ink below the page, the page's frame above those rows.
  const auto shot = Snapshot(*pc, clWhite);
  bool ink = false;
  const TRect first = pc->TabRect(0);
  for (int x = first.Left; x < first.Right; ++x)
    for (int y = first.Top; y < first.Bottom; ++y)
      ink = ink || shot->Canvas().Pixels(x, y) == clBlack;
  EXPECT_TRUE(ink);
  EXPECT_EQ(shot->Canvas().Pixels(pc->Width() / 2, page.Bottom + 4 - 1), 0x808080);
  // Back on the first row, every row is on the tabs' side again.
  pc->SetActivePage(pc->Pages(0));
  EXPECT_EQ(pc->DisplayRect(), all);
  EXPECT_FALSE(pc->TabAtOppositeEdge(4));
}

TEST_F(PageControlTest, HotTrackColoursTheTextUnderTheMouseAndHighlightedTabsStandOut) {
  Sheet("First");
  Sheet("Second");
  TExTabSheet* third = Sheet("Third");
  const TRect second = pc->TabRect(1);
  SimulateMouseMove(*pc, second.Left + 4, second.Top + 4);
  EXPECT_EQ(pc->HoverTab(), -1);
  pc->SetHotTrack(true);
  SimulateMouseMove(*pc, second.Left + 4, second.Top + 4);
  EXPECT_EQ(pc->HoverTab(), 1);
  auto count = [](TBitmap& Picture, const TRect& Area, TColor Colour) {
    int n = 0;
    for (int y = Area.Top; y < Area.Bottom; ++y)
      for (int x = Area.Left; x < Area.Right; ++x) n += PixelAt(Picture, x, y) == Colour;
    return n;
  };
  auto hot = Snapshot(*pc);
  EXPECT_GT(count(*hot, second, RGB(0x00, 0x66, 0xCC)), 0);
  EXPECT_EQ(count(*hot, pc->TabRect(2), RGB(0x00, 0x66, 0xCC)), 0);
  // No hover colours were set: no outline, no hover face.
  EXPECT_EQ(count(*hot, second, clBlue), 0);
  third->SetHighlighted(true);
  auto lit = Snapshot(*pc);
  const TRect tab = pc->TabRect(2);
  EXPECT_GT(count(*lit, tab, ColorToRGB(clHighlight)), tab.Width() * tab.Height() / 2);
}

}  // namespace

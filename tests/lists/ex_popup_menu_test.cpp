// The styled pop-up menu: measuring items (strip, text, notes, shortcuts, separators),
// the drawn look of items and of an open menu, batch updates and the styler it uses.
#include "lists/ex_popup_menu.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/test_support/gui_test_support.h"

namespace {

void WhileOpen(std::function<void()> Step) {
  QueueCall([step = std::move(Step)] {
    step();
    CloseMenu();
  });
}

struct ExPopupMenuTest : ::testing::Test {
  TMenuItem* Add(const std::string& Caption) {
    auto* item = new TMenuItem(&form);
    item->Caption = Caption;
    menu->Items().Add(item);
    return item;
  }
  // The item's size as the menu measures it, from the platform's proposal.
  TSize Measure(TMenuItem& Item) {
    TCanvas canvas;
    canvas.Font().Assign(Screen->MenuFont());
    int width = 0;
    int height = canvas.TextHeight("Wg") + 4;
    menu->MeasureItem(Item, canvas, width, height);
    return {width, height};
  }
  int MenuTextWidth(const std::string& Text) {
    TCanvas canvas;
    canvas.Font().Assign(Screen->MenuFont());
    return canvas.TextWidth(Text);
  }

  TForm form{nullptr};
  TExPopupMenu* menu = new TExPopupMenu(&form);
};

TEST_F(ExPopupMenuTest, ARowIsStripPlusTextPlusMarginsWideAndEvenlyHigh) {
  TMenuItem* zoom =
      Add("Kartenausschnitt vergr\xF6\xDF"
          "ern");
  const TSize size = Measure(*zoom);
  EXPECT_EQ(size.cx, 24 + 15 + MenuTextWidth(zoom->Caption) + 7 + 17);
  EXPECT_EQ(size.cy % 2, 0);
  EXPECT_GE(size.cy, TCanvas().TextHeight("Wg"));
  // A separator is the line's width plus two high and leaves the width to the others.
  TMenuItem* line = Add("-");
  EXPECT_EQ(Measure(*line), (TSize{-2, 3}));
  menu->GetCurrentMenuStyler().Separator().Width = 4;
  EXPECT_EQ(Measure(*line).cy, 6);
  // A wider strip widens every row.
  menu->GetCurrentMenuStyler().IconBar().SetSize(40);
  EXPECT_EQ(Measure(*zoom).cx, size.cx + 16);
}

TEST_F(ExPopupMenuTest, NoteLinesAddAGreyLineBelowTheCaptionOnlyWithShowNotes) {
  TMenuItem* plain = Add("Zoom");
  TMenuItem* noted = Add("Zoom\\nout");
  const TSize one = Measure(*plain);
  TCanvas notes;
  notes.Font().Assign(menu->GetCurrentMenuStyler().NotesFont());
  EXPECT_EQ(Measure(*noted).cy, one.cy + notes.TextHeight("gh"));
  EXPECT_EQ(Measure(*noted).cx, one.cx);
  menu->SetShowNotes(false);
  // Now the whole caption, backslash included, is one line.
  EXPECT_EQ(Measure(*noted).cy, one.cy);
  EXPECT_EQ(Measure(*noted).cx, one.cx + MenuTextWidth("\\nout"));
}

TEST_F(ExPopupMenuTest, ShortcutsAreMeasuredAndNamedInTheKeyboardsWords) {
  TMenuItem* item = Add("Save");
  const int bare = Measure(*item).cx;
  item->ShortCut = scCtrl | 'S';
  EXPECT_EQ(menu->ShortCutText(item->ShortCut), "Ctrl+S");
  EXPECT_EQ(Measure(*item).cx, bare + MenuTextWidth("Ctrl+S"));
  EXPECT_EQ(menu->ShortCutText(scWin | (VK_F1 + 4)), "Win+F5");
  EXPECT_EQ(menu->ShortCutText(scShift | scAlt | VK_HOME), "Shift+Alt+Home");
  // With the keyboard's names the modifiers are put in front one by one.
  menu->SetIntlKeybShortCuts(true);
  EXPECT_EQ(menu->ShortCutText(scShift | scCtrl | scAlt | 'K'), "Alt+Ctrl+Shift+K");
}

TEST_F(ExPopupMenuTest, AnItemIsDrawnWithStripTextAreaAndHighlight) {
  TMenuItem* item = Add("Grid");
  item->Checked = true;
  TBitmap picture;
  picture.SetSize(120, 24);
  TCanvas& canvas = picture.Canvas();
  const TCustomExMenuStyler& styler = menu->GetCurrentMenuStyler();
  menu->DrawItem(*item, canvas, Rect(2, 2, 118, 22), 0);
  // The frame round the window: border colour outside, the text area's colour inside.
  EXPECT_EQ(canvas.Pixels(0, 0), 0x7C7C94);
  EXPECT_EQ(canvas.Pixels(1, 5), 0xFFFAFD);
  // The strip runs from its colour at the left towards its second colour.
  EXPECT_EQ(canvas.Pixels(2, 21), 0xFFF9F9);
  // The text area right of the strip; the unselected check box in the strip's colours.
  EXPECT_EQ(canvas.Pixels(100, 12), 0xFFFAFD);
  EXPECT_EQ(canvas.Pixels(6, 12), const_cast<TCustomExMenuStyler&>(styler).IconBar().Check().Color);
  EXPECT_EQ(canvas.Pixels(5, 3), 0x6F4B4B);  // its frame: an 18-pixel square centred in the strip
  // Selected: the highlight fills the row and is framed.
  menu->DrawItem(*item, canvas, Rect(2, 2, 118, 22), odSelected);
  EXPECT_EQ(canvas.Pixels(100, 12), 0xC2EEFF);
  EXPECT_EQ(canvas.Pixels(100, 2), 0x6F4B4B);
  EXPECT_EQ(canvas.Pixels(6, 12), 0x3E80FE);  // the selected check box
  // The caption is written in the window text colour past the strip.
  bool text = false;
  for (int x = 34; x < 70 && !text; ++x)
    for (int y = 4; y < 20 && !text; ++y) text = canvas.Pixels(x, y) == clBlack;
  EXPECT_TRUE(text);
}

TEST_F(ExPopupMenuTest, ASeparatorIsAFadedLineAcrossTheTextArea) {
  TMenuItem* line = Add("-");
  TBitmap picture;
  picture.SetSize(100, 7);
  menu->DrawItem(*line, picture.Canvas(), Rect(2, 2, 98, 5), 0);
  // Centre row 3, inset by the margin from the strip's edge and the right end.
  EXPECT_EQ(picture.Canvas().Pixels(2 + 24 + 2, 3), 0x8F6D6E);
  EXPECT_EQ(picture.Canvas().Pixels(95, 3), 0x8F6D6E);
  EXPECT_EQ(picture.Canvas().Pixels(96, 3), 0xFFFAFD);
  EXPECT_EQ(picture.Canvas().Pixels(50, 2), 0xFFFAFD);
}

TEST_F(ExPopupMenuTest, RightAlignedMenusPutTheArrowLeftAndTheTextRight) {
  TMenuItem* parent = Add("More");
  auto* child = new TMenuItem(&form);
  child->Caption = "Less";
  parent->Add(child);
  TBitmap left, right;
  for (TBitmap* b : {&left, &right}) b->SetSize(160, 24);
  menu->DrawItem(*parent, left.Canvas(), Rect(2, 2, 158, 22), 0);
  menu->Alignment = paRight;
  menu->DrawItem(*parent, right.Canvas(), Rect(2, 2, 158, 22), 0);
  auto inkBetween = [](TBitmap& b, int from, int to) {
    for (int x = from; x < to; ++x)
      for (int y = 3; y < 21; ++y)
        if (b.Canvas().Pixels(x, y) == clBlack) return true;
    return false;
  };
  EXPECT_TRUE(inkBetween(left, 150, 154));  // the arrow at the right
  EXPECT_TRUE(inkBetween(left, 34, 60));    // the text at the left
  EXPECT_TRUE(inkBetween(right, 7, 11));    // the arrow at the left
  EXPECT_TRUE(inkBetween(right, 120, 158));
  EXPECT_FALSE(inkBetween(right, 34, 60));
}

// Right to left counts on a desktop in a right-to-left language only: there the captions
// read from the right, and a fully right-to-left menu shows no sub-menu arrow.
TEST_F(ExPopupMenuTest, RightToLeftMenusOnAnArabicDesktopReadFromTheRight) {
  TMenuItem* parent = Add("More");
  auto* child = new TMenuItem(&form);
  child->Caption = "Less";
  parent->Add(child);
  TMenuItem* plain = Add("More");
  auto draw = [&](TMenuItem& Item, TBitmap& B) {
    B.SetSize(160, 24);
    menu->DrawItem(Item, B.Canvas(), Rect(2, 2, 158, 22), 0);
  };
  auto inkBetween = [&](int from, int to) {
    TBitmap b;
    draw(*parent, b);
    for (int x = from; x < to; ++x)
      for (int y = 3; y < 21; ++y)
        if (b.Canvas().Pixels(x, y) == clBlack) return true;
    return false;
  };
  // The arrow shows as the difference from an item without sub-items.
  auto arrowShown = [&] {
    TBitmap with, without;
    draw(*parent, with);
    draw(*plain, without);
    for (int x = 0; x < 160; ++x)
      for (int y = 0; y < 24; ++y)
        if (with.Canvas().Pixels(x, y) != without.Canvas().Pixels(x, y)) return true;
    return false;
  };
  menu->BiDiMode = bdRightToLeft;
  SimulateDesktopLanguage("en_GB");
  EXPECT_FALSE(menu->IsRightToLeft());
  EXPECT_TRUE(inkBetween(34, 60));  // the text at the left
  EXPECT_TRUE(arrowShown());
  SimulateDesktopLanguage("ar_EG");
  EXPECT_TRUE(menu->IsRightToLeft());
  EXPECT_FALSE(inkBetween(34, 60));
  EXPECT_TRUE(inkBetween(100, 158));  // the text at the right
  EXPECT_FALSE(arrowShown());
  menu->BiDiMode = bdRightToLeftNoAlign;
  EXPECT_TRUE(menu->IsRightToLeft());
  EXPECT_TRUE(arrowShown());
  menu->BiDiMode = bdLeftToRight;
  EXPECT_FALSE(menu->IsRightToLeft());
  EXPECT_TRUE(inkBetween(34, 60));
  SimulateDesktopLanguage("");
}

TEST_F(ExPopupMenuTest, AnOpenMenuIsDrawnInTheStylersLook) {
  Add("Zoom in");
  Add("-");
  Add("Zoom out");
  TBitmap shown;
  std::vector<TShownMenuItem> items;
  WhileOpen([&] {
    items = ShownMenuItems();
    HighlightMenuItem("Zoom out");
    ShownMenuPicture(shown);
  });
  menu->Popup(100, 100);
  ASSERT_EQ(items.size(), 3u);
  ASSERT_GT(shown.Width(), 60);
  TCanvas& c = shown.Canvas();
  const int w = shown.Width(), h = shown.Height();
  EXPECT_EQ(c.Pixels(0, 0), 0x7C7C94);
  EXPECT_EQ(c.Pixels(w - 1, h - 1), 0x7C7C94);
  EXPECT_EQ(c.Pixels(1, 1), 0xFFFAFD);
  EXPECT_EQ(c.Pixels(2, 3), 0xFFF9F9);
  // The highlighted last item: its fill near the right and its frame.
  EXPECT_EQ(c.Pixels(w - 6, h - 6), 0xC2EEFF);
  EXPECT_EQ(c.Pixels(w - 3, h - 6), 0x6F4B4B);
  // The first item is not highlighted.
  EXPECT_EQ(c.Pixels(w - 6, 6), 0xFFFAFD);
  // One separator line somewhere between them.
  bool line = false;
  for (int y = 2; y < h - 2 && !line; ++y) line = c.Pixels(w / 2, y) == 0x8F6D6E;
  EXPECT_TRUE(line);
}

TEST_F(ExPopupMenuTest, AnEmptyMenuStaysShutAndMenusDoNotAnimate) {
  bool opened = false;
  menu->OnPopup = [&](TComponent*) { opened = true; };
  menu->Popup(10, 10);
  EXPECT_FALSE(opened);
  EXPECT_FALSE(MenuAnimation());
  EXPECT_EQ(menu->Version(), "1.2.3.0");
}

TEST_F(ExPopupMenuTest, ItemsAddedInABatchGetTheirHandlersAtItsEnd) {
  menu->BeginUpdate();
  menu->BeginUpdate();
  TMenuItem* item = Add("Late");
  menu->EndUpdate();
  EXPECT_FALSE(item->OnAdvancedDrawItem);
  menu->EndUpdate();
  EXPECT_TRUE(item->OnAdvancedDrawItem);
  EXPECT_TRUE(item->OnMeasureItem);
  // An unbalanced end does nothing.
  menu->EndUpdate();
}

TEST_F(ExPopupMenuTest, AChosenStylerIsUsedUntilItIsFreed) {
  EXPECT_EQ(menu->MenuStyler(), nullptr);
  TCustomExMenuStyler* own = &menu->GetCurrentMenuStyler();
  EXPECT_EQ(own->Name, "InternalMenuStyler");
  auto chosen = std::make_unique<TCustomExMenuStyler>(nullptr);
  chosen->IconBar().SetSize(30);
  menu->SetMenuStyler(chosen.get());
  EXPECT_EQ(&menu->GetCurrentMenuStyler(), chosen.get());
  EXPECT_EQ(chosen->Menu(), menu);
  TMenuItem* item = Add("x");
  EXPECT_EQ(Measure(*item).cx, 30 + 15 + MenuTextWidth("x") + 7 + 17);
  chosen.reset();
  EXPECT_EQ(menu->MenuStyler(), nullptr);
  EXPECT_EQ(menu->GetCurrentMenuStyler().IconBar().Size(), 24);
}

}  // namespace

namespace {

TEST_F(ExPopupMenuTest, ASideBarWidensFirstLevelItemsAndCarriesItsCaptionUpwards) {
  TMenuItem* item = Add("Zoom");
  const int plain = Measure(*item).cx;
  TSideBar& bar = menu->GetCurrentMenuStyler().SideBar();
  bar.Visible = true;
  EXPECT_EQ(Measure(*item).cx, plain);  // first-visible bars belong to menu bars only
  bar.VisibleIn = viFirstLevel;
  EXPECT_EQ(Measure(*item).cx, plain + 24 + 1);
  bar.Background().Color = clBlack;
  bar.Caption = "Velmora";
  TBitmap picture;
  picture.SetSize(160, 120);
  menu->DrawItem(*item, picture.Canvas(), Rect(2, 2, 158, 118), 0);
  TCanvas& c = picture.Canvas();
  EXPECT_EQ(c.Pixels(26, 50), 0x808080);  // the splitter at the band's right edge
  EXPECT_EQ(c.Pixels(25, 50), 0xA19D9D);  // the band's frame, left of the splitter
  EXPECT_EQ(c.Pixels(27, 50), 0xFFF9F9);  // the icon strip starts past the band
  // White letters in the band, the text running up from near its bottom.
  int lowest = -1, highest = 1000;
  for (int y = 3; y < 117; ++y)
    for (int x = 3; x < 24; ++x)
      if (c.Pixels(x, y) == clWhite) {
        lowest = std::max(lowest, y);
        highest = std::min(highest, y);
      }
  ASSERT_GE(lowest, 0);
  EXPECT_GT(lowest, 100);
  EXPECT_LT(highest, lowest - 30);
}

// The bar runs down the first column only; a break on the first visible item starts no
// column, and a hidden item's break counts for nothing.
TEST_F(ExPopupMenuTest, TheSideBarWidensOnlyTheItemsOfTheFirstColumn) {
  TMenuItem* hidden = Add("Grid");
  hidden->Visible = false;
  hidden->Break = mbBreak;
  TMenuItem* first = Add("Grid");
  first->Break = mbBarBreak;
  TMenuItem* second = Add("Grid");
  TMenuItem* broken = Add("Grid");
  TMenuItem* after = Add("Grid");
  const int plain = Measure(*first).cx;
  TSideBar& bar = menu->GetCurrentMenuStyler().SideBar();
  bar.Visible = true;
  bar.VisibleIn = viAnyLevel;
  EXPECT_EQ(Measure(*broken).cx, plain + 25);
  broken->Break = mbBreak;
  EXPECT_EQ(Measure(*first).cx, plain + 25);
  EXPECT_EQ(Measure(*second).cx, plain + 25);
  EXPECT_EQ(Measure(*broken).cx, plain);
  EXPECT_EQ(Measure(*after).cx, plain);
}

TEST_F(ExPopupMenuTest, PicturesTakeTheCheckMarksPlaceAndSetTheRowHeight) {
  auto square = [](TBitmap& B, TColor Colour, int Side) {
    B.SetSize(Side, Side);
    B.Canvas().Brush().SetColor(Colour);
    B.Canvas().FillRect(Rect(0, 0, Side, Side));
  };
  TMenuItem* item = Add("Grid");
  // In the desktop's menu font a row is as high as the platform proposes, less 3 without
  // a picture; a bitmap needs 16 pixels, the rows of a menu with an image list its
  // images' height. (In a font of the styler's own its text decides.)
  menu->GetCurrentMenuStyler().SetUseSystemFont(true);
  TCanvas menuFont;
  menuFont.Font().Assign(Screen->MenuFont());
  const int proposal = menuFont.TextHeight("Wg") + 4;
  const int plain = Measure(*item).cy;
  square(item->Bitmap, clLime, 16);
  const int withBitmap = std::max(proposal, 16) + 5;
  EXPECT_EQ(Measure(*item).cy, withBitmap + withBitmap % 2);
  EXPECT_GT(Measure(*item).cy, plain);
  TBitmap red, blue;
  square(red, clRed, 24);
  square(blue, clBlue, 24);
  TImageList images(&form, 24, 24);
  images.Add(red);
  TImageList greyed(&form, 24, 24);
  greyed.Add(blue);
  menu->Images = &images;
  EXPECT_GE(Measure(*item).cy, 24 + 5);

  TBitmap picture;
  picture.SetSize(140, 34);
  auto centre = [&] {
    menu->DrawItem(*item, picture.Canvas(), Rect(2, 2, 138, 32), 0);
    return picture.Canvas().Pixels(2 + 12, 17);
  };
  item->Checked = true;
  item->ImageIndex = 0;
  EXPECT_EQ(centre(), clRed);  // the image, on the check box
  item->Enabled = false;
  // Disabled, without pictures of its own: the image's shape in the shadow colour.
  EXPECT_EQ(centre(), ColorToRGB(clBtnShadow));
  menu->DisabledImages = &greyed;
  EXPECT_EQ(centre(), clBlue);
  // Without a usable image the bitmap shows, its bottom-left colour left out.
  item->Enabled = true;
  item->ImageIndex = 5;
  square(item->Bitmap, clFuchsia, 16);
  item->Bitmap.Canvas().Brush().SetColor(clLime);
  item->Bitmap.Canvas().FillRect(Rect(4, 4, 12, 12));
  EXPECT_EQ(centre(), clLime);
  EXPECT_NE(picture.Canvas().Pixels(2 + 12, 17 - 7), clFuchsia);
  // Round the 16-pixel bitmap the check box shows; unchecked, the icon strip.
  const TColor boxed = picture.Canvas().Pixels(2 + 2, 17);
  item->Checked = false;
  centre();
  EXPECT_NE(picture.Canvas().Pixels(2 + 2, 17), boxed);
  item->Checked = true;
  EXPECT_FALSE(item->Bitmap.Transparent());  // the item's own bitmap is left as it was
  // Neither: the check box again.
  item->Bitmap.SetSize(0, 0);
  const TColor checked = centre();
  EXPECT_NE(checked, clLime);
  EXPECT_NE(checked, clRed);
}

}  // namespace

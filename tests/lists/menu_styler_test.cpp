// The menu styler: its defaults (the program's menu look), the indexed colours, what
// each setter asks of the served menu, copying parts and the drawn glyphs.
#include "lists/menu_styler.h"

#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"

namespace {

// Counts the rebuild requests a styler sends.
struct CountingMenu : IStyledMenu {
  void UpdateItems() override { ++updates; }
  TPopupMenu* GetMenu() override { return nullptr; }
  TCustomExMenuStyler* GetMenuStyler() const override { return styler; }
  TCustomExMenuStyler& GetCurrentMenuStyler() const override { return *styler; }
  void SetMenuStyler(TCustomExMenuStyler* Value) override {
    styler = Value;
    ++styler_changes;
  }
  std::uint8_t GetMenuValue() const override { return 0; }
  void SetMenuValue(std::uint8_t) override {}
  bool GetShowNotes() const override { return true; }
  void SetShowNotes(bool) override {}
  bool GetIntlKeybShortCuts() const override { return false; }
  void SetIntlKeybShortCuts(bool) override {}

  int updates = 0;
  int styler_changes = 0;
  TCustomExMenuStyler* styler = nullptr;
};

TEST(MenuStylerTest, AFreshStylerHasTheProgramsMenuLook) {
  TCustomExMenuStyler styler(nullptr);
  EXPECT_TRUE(styler.UseSystemFont());
  EXPECT_EQ(styler.MenuBorderColor, 0x7C7C94);
  EXPECT_EQ(styler.IconBar().Color, 0xFFF9F9);
  EXPECT_EQ(styler.IconBar().ColorTo, 0xBBA0A1);
  EXPECT_EQ(styler.IconBar().GradientDirection, gdHorizontal);
  EXPECT_EQ(styler.IconBar().Size(), 24);
  EXPECT_EQ(styler.IconBar().Check(), (TCheckColors{0x6FC0FF, clNone, 0x6F4B4B, gdVertical}));
  EXPECT_EQ(styler.IconBar().SeparatorColor, clNone);
  EXPECT_EQ(styler.SelectedItem().Color, 0xC2EEFF);
  EXPECT_EQ(styler.SelectedItem().ColorTo, clNone);
  EXPECT_EQ(styler.SelectedItem().ColorMirror, clNone);
  EXPECT_EQ(styler.SelectedItem().BorderColor, 0x6F4B4B);
  EXPECT_EQ(styler.SelectedItem().Radio(), (TCheckColors{0x3E80FE, clNone, 0x6F4B4B, gdVertical}));
  EXPECT_TRUE(styler.SelectedItem().UseSystemFont());
  EXPECT_EQ(styler.RootItem().Color, 0xE5D7D7);
  EXPECT_EQ(styler.RootItem().GetSelectedColor(1), 0xCDB8B9);
  EXPECT_EQ(styler.RootItem().GetHoverColor(0), 0xCFF6FF);
  EXPECT_EQ(styler.RootItem().SelectedBorderColor, 0x947C7C);
  EXPECT_EQ(styler.Background().Color, 0xFFFAFD);
  EXPECT_EQ(styler.Background().Position, bpCenter);
  EXPECT_FALSE(styler.Background().HasImage());
  EXPECT_EQ(styler.Separator().Color, 0x8F6D6E);
  EXPECT_EQ(styler.Separator().Width, 1);
  EXPECT_EQ(styler.Separator().Margin, 2);
  EXPECT_EQ(styler.Separator().GradientType, gtBoth);
  EXPECT_EQ(styler.Separator().GradientDirection, gdHorizontal);
  EXPECT_FALSE(styler.SideBar().Visible);
  EXPECT_EQ(styler.SideBar().Size, 24);
  // A default splitter is a solid grey line.
  EXPECT_EQ(styler.SideBar().SplitterColor, 0x808080);
  EXPECT_EQ(styler.SideBar().SplitterColorTo, clNone);
  EXPECT_EQ(styler.SideBar().BorderColor, 0xA19D9D);
  EXPECT_EQ(styler.SideBar().Font().Color(), clWhite);
  EXPECT_EQ(styler.SideBar().Font().Style(), fsBold | fsItalic);
  EXPECT_EQ(styler.ButtonAppearance().HoverColor(), 0xD2BDB6);
  EXPECT_EQ(styler.ButtonAppearance().DownColor(), 0xB59285);
  // Unselected notes: grey, two points smaller than the menu font.
  EXPECT_EQ(styler.NotesFont().Color(), 0x808080);
  EXPECT_EQ(styler.NotesFont().Size(), Screen->MenuFont().Size() - 2);
  EXPECT_EQ(styler.Font().Name(), Screen->MenuFont().Name());
}

TEST(MenuStylerTest, TheIconStripIsAtLeastSixteenWideAndUnknownIndicesRaise) {
  TCustomExMenuStyler styler(nullptr);
  styler.IconBar().SetSize(10);
  EXPECT_EQ(styler.IconBar().Size(), 16);
  styler.IconBar().SetSize(30);
  EXPECT_EQ(styler.IconBar().Size(), 30);
  styler.IconBar().SetColor(1, clRed);
  EXPECT_EQ(styler.IconBar().ColorTo, clRed);
  try {
    styler.IconBar().SetColor(2, clBlue);
    FAIL() << "index 2 was taken";
  } catch (const EInvalidPropertyIndex& error) {
    EXPECT_STREQ(error.what(), "Invalid property index 2.");
  }
  EXPECT_THROW(styler.SelectedItem().SetCheckColor(-1, clBlue), EInvalidPropertyIndex);
  EXPECT_THROW(styler.RootItem().GetHoverColor(4), EInvalidPropertyIndex);
  EXPECT_EQ(styler.SelectedItem().Check().Color, 0x3E80FE);  // nothing stored
}

TEST(MenuStylerTest, SizeAndFontSettersAskTheMenuToRebuildColoursDoNot) {
  CountingMenu menu;
  TCustomExMenuStyler styler(nullptr);
  styler.SetMenu(&menu);
  styler.IconBar().Color = clRed;
  styler.IconBar().SetCheckColor(0, clRed);  // a request without flags
  styler.Glyphs().SetCheck(styler.Glyphs().Radio());
  EXPECT_EQ(menu.updates, 0);
  styler.IconBar().SetSize(20);
  styler.SelectedItem().SetUseSystemFont(false);
  styler.RootItem().SetHoverColor(0, clBlue);
  styler.SetUseSystemFont(false);
  styler.SideBar().SetFont(styler.Font());
  styler.SideBar().SetBackground(styler.Background());
  EXPECT_EQ(menu.updates, 6);
  // A styler the menu chose goes back to nothing when freed.
  auto chosen = std::make_unique<TCustomExMenuStyler>(nullptr);
  menu.styler = chosen.get();
  chosen->SetMenu(&menu);
  chosen.reset();
  EXPECT_EQ(menu.styler, nullptr);
  EXPECT_EQ(menu.styler_changes, 1);
}

TEST(MenuStylerTest, CopyingAPartTakesItsValues) {
  TCustomExMenuStyler from(nullptr), to(nullptr);
  TSelectedItem& selected = from.SelectedItem();
  selected.Color = clRed;
  selected.ColorMirror = clBlue;
  selected.BorderColor = clLime;
  selected.SetCheckColor(1, clGray);
  selected.RadioBorder() = clMaroon;
  TFont font;
  font.SetSize(20);
  selected.SetFont(font);
  selected.SetUseSystemFont(false);
  to.SetSelectedItem(selected);
  EXPECT_EQ(to.SelectedItem().Color, clRed);
  EXPECT_EQ(to.SelectedItem().ColorMirror, clBlue);
  EXPECT_EQ(to.SelectedItem().BorderColor, clLime);
  EXPECT_EQ(to.SelectedItem().Check().ColorTo, clGray);
  EXPECT_EQ(to.SelectedItem().Radio().Border, clMaroon);
  EXPECT_EQ(to.SelectedItem().Font().Size(), 20);
  EXPECT_FALSE(to.SelectedItem().UseSystemFont());
  // A background copies picture, place and colours, not margins nor direction.
  from.Background().MarginX = 3;
  from.Background().GradientDirection = gdHorizontal;
  from.Background().Position = bpTiled;
  from.Background().ColorTo = clAqua;
  to.SetBackground(from.Background());
  EXPECT_EQ(to.Background().Position, bpTiled);
  EXPECT_EQ(to.Background().ColorTo, clAqua);
  EXPECT_EQ(to.Background().MarginX, 0);
  EXPECT_EQ(to.Background().GradientDirection, gdVertical);
  // Button looks copy their colours and keep their own font.
  TButtonAppearance buttons;
  buttons.SetDownColor(clPurple);
  TFont big;
  big.SetName("Other");
  buttons.SetCaptionFont(big);
  to.ButtonAppearance().Assign(buttons);
  EXPECT_EQ(to.ButtonAppearance().DownColor(), clPurple);
  EXPECT_EQ(to.ButtonAppearance().CaptionFont().Name(), DefaultButtonFontName());
}

TEST(MenuStylerTest, ButtonLooksReportRealChangesOnly) {
  TButtonAppearance buttons;
  int changes = 0;
  buttons.OnChange = [&](TComponent*) { ++changes; };
  buttons.SetHoverColor(buttons.HoverColor());
  buttons.SetGradientDirection(gdVertical);
  EXPECT_EQ(changes, 0);
  buttons.SetHoverColor(clRed);
  buttons.SetCaptionFont(buttons.CaptionFont());  // a font always counts
  EXPECT_EQ(changes, 2);
}

TEST(MenuStylerTest, TheGlyphsAreBlackFiguresOnATransparentWhite) {
  TCustomExMenuStyler styler(nullptr);
  const TBitmap& arrow = styler.Glyphs().SubMenu();
  EXPECT_EQ(arrow.Width(), 4);
  EXPECT_EQ(arrow.Height(), 7);
  EXPECT_TRUE(arrow.Transparent());
  EXPECT_EQ(arrow.TransparentColor(), clWhite);
  TCanvas& a = const_cast<TBitmap&>(arrow).Canvas();
  EXPECT_EQ(a.Pixels(0, 3), clBlack);  // the arrow's base
  EXPECT_EQ(a.Pixels(3, 3), clBlack);  // its tip
  EXPECT_EQ(a.Pixels(3, 0), clWhite);
  TCanvas& check = const_cast<TBitmap&>(styler.Glyphs().Check()).Canvas();
  EXPECT_EQ(check.Pixels(6, 10), clBlack);
  EXPECT_EQ(check.Pixels(0, 0), clWhite);
  TCanvas& radio = const_cast<TBitmap&>(styler.Glyphs().Radio()).Canvas();
  EXPECT_EQ(radio.Pixels(7, 7), clBlack);
  EXPECT_EQ(radio.Pixels(5, 5), clWhite);  // rounded corner
  EXPECT_EQ(styler.Glyphs().Radio().Width(), 16);
}

}  // namespace

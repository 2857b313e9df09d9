#include "html/html_list_box.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/gui/standard/shell.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

class HtmlListBoxTest : public ::testing::Test {
 protected:
  HtmlListBoxTest() : form(nullptr) {
    SetShellOpenHandler([this](const std::string& url) {
      opened.push_back(url);
      return true;
    });
    form.SetBounds(50, 50, 400, 400);
    list = new THtmlListBox(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 200, 300);
    list->Font().SetName("DejaVu Sans");
    list->Font().SetSize(10);
    list->OnClick = [this](TComponent*) { clicks.push_back(list->ItemIndex()); };
    list->OnAnchorClick = [this](TComponent*, int index, const std::string& a) {
      anchors.push_back(std::to_string(index) + ":" + a);
    };
    list->OnAnchorEnter = [this](TComponent*, int, const std::string& a) {
      events.push_back("enter " + a);
    };
    list->OnAnchorExit = [this](TComponent*, int, const std::string& a) {
      events.push_back("exit " + a);
    };
    form.Show();
  }
  ~HtmlListBoxTest() override {
    form.Hide();
    SetShellOpenHandler(nullptr);
  }
  int LineHeight() { return list->Canvas().TextHeight("gh"); }
  int Width(const std::string& text) { return list->Canvas().TextWidth(text); }

  TForm form;
  THtmlListBox* list;
  std::vector<std::string> opened, anchors, events;
  std::vector<int> clicks;
};

TEST_F(HtmlListBoxTest, ItemsAreMeasuredOneByOneOrAllTogether) {
  list->Items().Add("one");
  list->Items().Add("two<BR>lines");
  EXPECT_EQ(list->ItemHeights(0), LineHeight());
  EXPECT_EQ(list->ItemHeights(1), 2 * LineHeight());
  list->UpdateItemHeights();
  EXPECT_EQ(list->ItemHeights(0), LineHeight() + 1);
  // Tall items stop at 255 when added alone, 256 when all are measured again.
  std::string tall;
  for (int n = 0; n < 30; ++n) tall += "x<BR>";
  list->SetHeight(1000);
  list->Items().Add(tall);
  EXPECT_EQ(list->ItemHeights(2), 255);
  list->UpdateItemHeights();
  EXPECT_EQ(list->ItemHeights(2), 256);
  list->SetAutoItemHeight(false);
  list->SetItemHeight(42);
  EXPECT_EQ(list->ItemHeights(1), 42);
  EXPECT_THROW(list->PlainItems(3), EHtmlListBoxError);
  EXPECT_EQ(list->PlainItems(1), "two\r\nlines");
}

TEST_F(HtmlListBoxTest, KeysMoveTheChoiceAndTypingSearches) {
  for (const char* item : {"<B>Alpha</B>", "Beta", "<I>Gamma</I>", "Delta", "Gemini"})
    list->Items().Add(item);
  list->SetFocus();
  SimulateKey(*list, 'G', "g");  // nothing chosen and no incremental look-up: no search
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetItemIndex(0);
  SimulateKey(*list, 'G', "g");
  EXPECT_EQ(list->ItemIndex(), 2);
  SimulateKey(*list, VK_DOWN);
  SimulateKey(*list, VK_END);
  SimulateKey(*list, VK_HOME);
  EXPECT_EQ(clicks, (std::vector<int>{2, 3, 4, 0}));
  list->IncrLookup = true;
  SimulateKey(*list, 'G', "g");
  SimulateKey(*list, 'E', "e");
  EXPECT_EQ(list->ItemIndex(), 4);  // "GE"
  SimulateKey(*list, VK_BACK);
  SimulateKey(*list, 'A', "a");
  EXPECT_EQ(list->ItemIndex(), 2);  // "GA"
  // A function key types nothing and finds nothing.
  SimulateKey(*list, VK_F1);
  EXPECT_EQ(list->ItemIndex(), 2);
}

TEST_F(HtmlListBoxTest, LinksOpenRaiseEventsAndChangeTheCursor) {
  list->Items().Add("<A href=\"http://example.org\">web</A> <A href=\"page\">page</A>");
  list->Items().Add("second");
  const int y = LineHeight() / 2;
  const int web = 2 + Width("w");
  const int page = 2 + Width("web pa");
  SimulateClick(*list, web, y);
  EXPECT_EQ(opened, (std::vector<std::string>{"http://example.org"}));
  SimulateClick(*list, page, y);
  EXPECT_EQ(anchors, (std::vector<std::string>{"0:page"}));
  EXPECT_TRUE(clicks.empty());  // a link is no choice
  EXPECT_EQ(list->ItemIndex(), -1);

  SimulateMouseMove(*list, web, y);
  EXPECT_EQ(list->Cursor(), crHandPoint);
  SimulateMouseMove(*list, page, y);
  SimulateMouseMove(*list, web, LineHeight() + 3);
  EXPECT_EQ(list->Cursor(), crDefault);
  EXPECT_EQ(events, (std::vector<std::string>{"enter http://example.org", "exit http://example.org",
                                              "enter page", "exit page"}));
  SimulateClick(*list, 50, LineHeight() + 3);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, (std::vector<int>{1}));
}

TEST_F(HtmlListBoxTest, SortingHappensOnceByThePlainText) {
  for (const char* item : {"<B>zulu</B>", "alpha", "<I>mike</I>", "Bravo"}) list->Items().Add(item);
  list->SetSorted(true);
  EXPECT_TRUE(list->Sorted());
  std::vector<std::string> plain;
  for (int n = 0; n < list->Count(); ++n) plain.push_back(list->PlainItems(n));
  EXPECT_EQ(plain, (std::vector<std::string>{"alpha", "Bravo", "mike", "zulu"}));
  list->Items().Add("aaa");
  EXPECT_EQ(list->PlainItems(4), "aaa");
  list->SortWithHTML = true;
  list->SetSorted(true);
  EXPECT_EQ(list->Items().Get(0), "<B>zulu</B>");
}

TEST_F(HtmlListBoxTest, BlinkingRedrawsEveryFifthTick) {
  list->Items().Add("<blink>now</blink>");
  list->SetEnableBlink(true);
  auto ink = [&] {
    auto bitmap = Snapshot(*list);
    int count = 0;
    for (int x = 0; x < 60; ++x)
      for (int y = 0; y < LineHeight(); ++y) count += PixelAt(*bitmap, x, y) == clBlack;
    return count;
  };
  list->Font().SetColor(clBlack);
  const int shown = ink();
  EXPECT_GT(shown, 0);
  for (int n = 0; n < 4; ++n) list->BlinkTick();
  EXPECT_EQ(ink(), shown);
  list->BlinkTick();
  EXPECT_EQ(ink(), 0);  // the off phase draws it in the background colour
  for (int n = 0; n < 5; ++n) list->BlinkTick();
  EXPECT_EQ(ink(), shown);
  list->SetEnableBlink(false);
}

TEST_F(HtmlListBoxTest, TheSelectionIsAGradientInItsFrame) {
  list->Items().Add("first");
  list->Items().Add("second");
  list->ApplyColorPreset(4);
  list->SetItemIndex(0);
  auto bitmap = Snapshot(*list);
  const int h = list->ItemHeights(0);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0xC0C0C0);
  EXPECT_EQ(PixelAt(*bitmap, 199, h - 1), 0xC0C0C0);
  // The upper half runs from ColorFrom towards ColorTo, the lower from the mirror colours.
  auto between = [](TColor c, TColor from, TColor to) {
    for (int shift : {0, 8, 16}) {
      const int v = (c >> shift) & 0xFF, a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
      if (v < std::min(a, b) || v > std::max(a, b)) return false;
    }
    return true;
  };
  for (int y = 1; y < h / 2; ++y)
    EXPECT_TRUE(between(PixelAt(*bitmap, 100, y), 0xEBFDFF, 0xABEBFF)) << y;
  for (int y = h / 2 + 1; y < h - 1; ++y)
    EXPECT_TRUE(between(PixelAt(*bitmap, 100, y), 0x69D6FF, 0x96E4FF)) << y;
  EXPECT_NE(PixelAt(*bitmap, 100, 1), PixelAt(*bitmap, 100, h / 2 - 1));
  EXPECT_EQ(PixelAt(*bitmap, 100, h + 3), ColorToRGB(clWindow));
  list->ApplyColorPreset(6);
  EXPECT_EQ(list->SelectionColors().ColorFrom(), clHighlight);
  EXPECT_EQ(list->SelectionFontColor(), clHighlightText);
  list->ApplyColorPreset(8);
  EXPECT_EQ(list->SelectionColors().ColorFrom(), clHighlight);
  auto plain = Snapshot(*list);
  EXPECT_EQ(PixelAt(*plain, 100, 1), ColorToRGB(clHighlight));
}

TEST_F(HtmlListBoxTest, NarrowItemsNeedNoHorizontalScrolling) {
  TControlScrollBars& bars = list->ScrollBars();
  list->SetScrollHorizontal(true);
  list->Items().Add("short");
  EXPECT_EQ(list->HorizontalExtent(), 0);
  EXPECT_FALSE(bars.Showing(sbHorizontal));
  list->Items().Add("<FONT size=\"30\">a very very long item indeed</FONT>");
  EXPECT_GT(list->HorizontalExtent(), list->Width());
  ASSERT_TRUE(bars.Showing(sbHorizontal));
  EXPECT_FALSE(bars.Showing(sbVertical));
  EXPECT_EQ(bars.GetInfo(sbHorizontal).Max, list->HorizontalExtent() - 1);
  EXPECT_EQ(bars.GetInfo(sbHorizontal).Page, list->Width());
  list->SetHorizontalPosition(40);
  EXPECT_EQ(list->HorizontalPosition(), 40);
  EXPECT_EQ(bars.GetInfo(sbHorizontal).Pos, 40);
  bars.OnScroll(sbHorizontal, scLineDown, 0);
  EXPECT_EQ(list->HorizontalPosition(), 48);
  bars.OnScroll(sbHorizontal, scBottom, 0);
  EXPECT_EQ(list->HorizontalPosition(), list->HorizontalExtent() - list->Width());
  list->Items().Delete(1);
  EXPECT_EQ(list->HorizontalExtent(), 0);
  EXPECT_EQ(list->HorizontalPosition(), 0);
  EXPECT_FALSE(bars.Showing(sbHorizontal));
}

TEST_F(HtmlListBoxTest, TheVerticalBarAndTheWheelScrollTheItems) {
  TControlScrollBars& bars = list->ScrollBars();
  for (int n = 0; n < 5; ++n) list->Items().Add("item " + std::to_string(n));
  EXPECT_FALSE(bars.Showing(sbVertical));
  SimulateMouseWheel(*list, -120, 50, 50);  // nothing to scroll
  EXPECT_EQ(list->TopIndex(), 0);
  EXPECT_EQ(list->ItemRect(0).Right, list->Width());

  for (int n = 5; n < 40; ++n) list->Items().Add("item " + std::to_string(n));
  const int page = list->Height() / LineHeight();
  ASSERT_TRUE(bars.Showing(sbVertical));
  TScrollBarInfo info = bars.GetInfo(sbVertical);
  EXPECT_EQ(info.Min, 0);
  EXPECT_EQ(info.Max, 39);
  EXPECT_EQ(info.Page, page);
  EXPECT_EQ(info.Pos, 0);
  EXPECT_EQ(list->ItemRect(0).Right, list->Width() - bars.Thickness());
  EXPECT_EQ(list->ItemAtPos(Point(list->Width() - 2, 2)), -1);  // that is the bar's

  const int lines = TControlScrollBars::WheelScrollLines();
  SimulateMouseWheel(*list, -120, 50, 50);
  EXPECT_EQ(list->TopIndex(), lines);
  EXPECT_EQ(bars.GetInfo(sbVertical).Pos, lines);
  SimulateMouseWheel(*list, 240, 50, 50);
  EXPECT_EQ(list->TopIndex(), 0);

  bars.OnScroll(sbVertical, scTrack, 7);
  EXPECT_EQ(list->TopIndex(), 7);
  bars.OnScroll(sbVertical, scLineDown, 0);
  EXPECT_EQ(list->TopIndex(), 8);
  bars.OnScroll(sbVertical, scPageUp, 0);
  EXPECT_EQ(list->TopIndex(), 0);
  bars.OnScroll(sbVertical, scPageDown, 0);
  EXPECT_EQ(list->TopIndex(), page);
  // No further than the last item at the bottom.
  bars.OnScroll(sbVertical, scBottom, 0);
  EXPECT_EQ(list->TopIndex(), 40 - page);
  list->SetTopIndex(1000);
  EXPECT_EQ(list->TopIndex(), 40 - page);
  EXPECT_EQ(list->ItemAtPos(Point(10, list->Height() - 1)), 39);
  list->SetItemIndex(3);
  EXPECT_EQ(bars.GetInfo(sbVertical).Pos, 3);

  // Fewer items than fit: the bar goes and the list shows from the first.
  while (list->Count() > 10) list->Items().Delete(list->Count() - 1);
  EXPECT_FALSE(bars.Showing(sbVertical));
  EXPECT_EQ(list->TopIndex(), 0);
}

TEST_F(HtmlListBoxTest, ItemsAreMeasuredBesideTheBarTheyWillNeed) {
  const std::string text = "aaaa bbbb";
  list->Items().Add(text);
  // The text fits unless the bar's width is taken off.
  ASSERT_GT(list->ScrollBars().Thickness(), 8);
  list->SetBounds(0, 0, Width(text) + 8, 300);
  EXPECT_EQ(list->ItemHeights(0), LineHeight() + 1);
  for (int n = 0; n < 30; ++n) list->Items().Add("x");
  list->UpdateItemHeights();
  EXPECT_EQ(list->ItemHeights(0), 2 * LineHeight() + 1);
}

class TPaintedItems : public THtmlListBox {
 public:
  using THtmlListBox::THtmlListBox;
  std::vector<int> drawn;

 protected:
  void DrawItem(int Index, TRect Rect, bool Selected, bool Focused) override {
    drawn.push_back(Index);
    THtmlListBox::DrawItem(Index, Rect, Selected, Focused);
  }
};

TEST_F(HtmlListBoxTest, BlinkingRepaintsOnlyTheBlinkingItems) {
  auto* blinking = new TPaintedItems(&form);
  blinking->SetParent(&form);
  blinking->SetBounds(200, 0, 200, 300);
  for (const char* item : {"plain", "<blink>one</blink>", "plain", "<BLINK>two</BLINK>", "plain"})
    blinking->Items().Add(item);
  blinking->SetEnableBlink(true);
  // The window system paints a little later; a sure bound, not a measurement.
  auto paint = [&] {
    blinking->drawn.clear();
    for (int n = 0; n < 1000 && blinking->drawn.empty(); ++n) {
      Application->ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return blinking->drawn;
  };
  EXPECT_EQ(paint().size(), 5u);
  for (int n = 0; n < 5; ++n) blinking->BlinkTick();
  EXPECT_EQ(paint(), (std::vector<int>{1, 3}));
  blinking->SetEnableBlink(false);
}

}  // namespace

// The choice stays with its item while items before it come and go.
TEST_F(HtmlListBoxTest, TheChosenItemStaysChosenWhenOthersComeAndGo) {
  for (const char* item : {"Alpha", "Beta", "Gamma", "Delta"}) list->Items().Add(item);
  list->SetItemIndex(2);
  list->Items().Delete(0);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(list->Items().Get(list->ItemIndex()), "Gamma");
  list->Items().Delete(2);  // after it
  EXPECT_EQ(list->Items().Get(list->ItemIndex()), "Gamma");
  list->Items().Insert(0, "<B>First</B>");
  EXPECT_EQ(list->Items().Get(list->ItemIndex()), "Gamma");
  list->Items().Delete(list->ItemIndex());
  EXPECT_EQ(list->ItemIndex(), -1);
}

// An item's hint stands over the item from the list's left edge; a link's beside the
// cursor, 10 pixels right and 10 up, with the link's target as its text.
TEST_F(HtmlListBoxTest, ItemAndLinkHintsStandWhereTheyBelong) {
  list->Items().Add("first");
  list->Items().Add("plain <a href=\"target\">link</a> after");
  list->ItemHint = true;
  list->AnchorHint = true;
  list->SetShowHint(true);
  auto shown = [&](int X, int Y) {
    CancelHint();
    SimulateMouseMove(*list, X, Y);
    SimulateHintPause(*list, X, Y);
    THintWindow* window = ShownHintWindow();
    return window ? std::make_pair(window->Caption(),
                                   Point(window->BoundsRect().Left, window->BoundsRect().Top))
                  : std::make_pair(std::string(), TPoint{});
  };
  const int itemTop = list->ItemRect(1).Top;
  const auto [itemText, itemAt] = shown(10, itemTop + 3);
  EXPECT_EQ(itemText, "plain link after");
  EXPECT_EQ(itemAt, list->ClientToScreen(Point(0, itemTop)));
  const int linkX = 2 + Width("plain ") + 3;
  const auto [linkText, linkAt] = shown(linkX, itemTop + 3);
  EXPECT_EQ(linkText, "target");
  EXPECT_EQ(linkAt, list->ClientToScreen(Point(linkX + 10, itemTop + 3 - 10)));
  CancelHint();
}

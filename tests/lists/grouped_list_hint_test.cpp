// Hints of the grouped list: asked per node, shown in the list's own blended window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lists/ex_section_list.h"
#include "lists/section_grouped_list.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

// A thumbnail list, 3 columns of 120-pixel cells under a 34-pixel group bar; each node
// carries an index into `captions`.
class GroupedListHints : public ::testing::Test {
 protected:
  GroupedListHints() : form(nullptr) {
    form.SetBounds(0, 0, 400, 400);
    list = new TSectionGroupedList(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 380, 380);
    list->ItemDataSize = sizeof(int);
    list->OnGetCaption = [this](TSectionGroupedList*, POGLItem n, std::string& c) {
      c = captions[static_cast<size_t>(*static_cast<int*>(list->GetItemData(n)))];
    };
    list->OnGetHint = [this](TSectionGroupedList*, POGLItem, std::string& text, TPoint&) {
      ++asked;
      text = hint;
    };
    group = Add(nullptr, "group");
    short_item = Add(group, "fits");
    long_item = Add(group, "A caption far too wide to fit under its thumbnail");
  }
  ~GroupedListHints() override { CancelHint(); }
  POGLItem Add(POGLItem parent, const std::string& caption) {
    captions.push_back(caption);
    POGLItem n = list->AddItem(parent);
    *static_cast<int*>(list->GetItemData(n)) = static_cast<int>(captions.size() - 1);
    return n;
  }
  // The middle of a node's thumbnail frame (hit kind 2) or of its caption box (hit kind 3).
  TPoint Frame(POGLItem n) {
    const TRect r = list->GetItemRect(n);
    return Point((r.Left + r.Right) / 2, r.Top + 40);
  }
  TPoint CaptionBox(POGLItem n) {
    const TRect r = list->GetItemRect(n);
    return Point((r.Left + r.Right) / 2, r.Bottom - list->CaptionHeight() / 2);
  }
  std::string Shown() {
    THintWindow* window = ShownHintWindow();
    return window ? window->Caption() : "";
  }

  TForm form;
  TSectionGroupedList* list;
  std::vector<std::string> captions;
  POGLItem group;
  POGLItem short_item;
  POGLItem long_item;
  std::string hint = "from the owner";
  int asked = 0;
};

}  // namespace

TEST_F(GroupedListHints, ACutCaptionShowsWholeAndOtherwiseTheOwnerIsAsked) {
  TOGLHitInfo hit;
  const TPoint at = CaptionBox(long_item);
  list->HitTest(at.X, at.Y, hit, true);
  ASSERT_EQ(hit.Kind, 3);
  SimulateHintPause(*list, at.X, at.Y);
  EXPECT_EQ(Shown(), captions[2]);
  EXPECT_EQ(asked, 0);
  auto* window = dynamic_cast<TOGLHintWindow*>(ShownHintWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Opacity(), 240);  // blended by default
  // Its window fits the thumbnail's width.
  EXPECT_LE(window->Width(), list->ItemWidth() - 8 + 16);

  const TPoint fits = CaptionBox(short_item);
  SimulateHintPause(*list, fits.X, fits.Y);
  EXPECT_EQ(Shown(), "from the owner");
  EXPECT_EQ(asked, 1);
}

TEST_F(GroupedListHints, TheSameNodeKeepsItsHintUnlessPartsAreTracked) {
  const TPoint frame = Frame(short_item);
  SimulateHintPause(*list, frame.X, frame.Y);
  EXPECT_EQ(asked, 1);
  // Elsewhere on the same node: nothing is asked.
  hint = "changed";
  SimulateHintPause(*list, frame.X + 3, frame.Y + 3);
  const TPoint caption = CaptionBox(short_item);
  SimulateHintPause(*list, caption.X, caption.Y);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Shown(), "from the owner");
  // Tracked: another part of the node is asked afresh.
  list->HintTrackHit = true;
  SimulateHintPause(*list, frame.X, frame.Y);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(Shown(), "changed");
}

TEST_F(GroupedListHints, AnEmptyHintShowsNothingAndOpaqueHintsStayOpaque) {
  hint.clear();
  const TPoint frame = Frame(short_item);
  SimulateHintPause(*list, frame.X, frame.Y);
  EXPECT_EQ(ShownHintWindow(), nullptr);
  hint = "opaque";
  list->HintOptions.AlphaBlend = false;
  SimulateHintPause(*list, Frame(long_item).X, Frame(long_item).Y);
  ASSERT_NE(ShownHintWindow(), nullptr);
  EXPECT_EQ(ShownHintWindow()->Opacity(), 255);
}

TEST_F(GroupedListHints, TheOwnerSizesAndDrawsTheHintAndADeletedNodeTakesItsHintAlong) {
  std::vector<POGLItem> drawn;
  list->OnGetHintSize = [](TSectionGroupedList*, POGLItem, TRect& r) { r.Right = r.Left + 77; };
  list->OnDrawHint = [&](TSectionGroupedList*, TCanvas&, TRect, POGLItem item) {
    drawn.push_back(item);
  };
  const TPoint frame = Frame(short_item);
  SimulateHintPause(*list, frame.X, frame.Y);
  THintWindow* window = ShownHintWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Width(), 77);
  Snapshot(*window);
  EXPECT_EQ(drawn, std::vector<POGLItem>{short_item});
  list->DeleteItem(short_item);
  EXPECT_EQ(ShownHintWindow(), nullptr);
}

TEST_F(GroupedListHints, MovingOntoAnotherNodeWhileAHintShowsAsksAgainAtOnce) {
  const TPoint first = Frame(short_item);
  SimulateHintPause(*list, first.X, first.Y);
  ASSERT_EQ(asked, 1);
  hint = "second";
  const TPoint second = Frame(long_item);
  SimulateMouseMove(*list, second.X, second.Y);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(Shown(), "second");
}

TEST(SectionListHints, EachColumnShowsItsOwnHintWithinOneRow) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  TExSectionList list(&form);
  list.SetParent(&form);
  list.SetBounds(0, 0, 400, 300);
  for (int c = 1; c <= 2; ++c) {
    list.Columns.Items(c)->SetWidth(100);
    list.Columns.Items(c)->SetHint("column " + std::to_string(c));
    list.Columns.Items(c)->SetShowHint(true);
  }
  TStrings& row = list.AddItem(list.AddGroup(""));
  row.Add("a");
  row.Add("b");
  TSectionGroupedList& engine = list.Engine();
  const int y = engine.GroupItemHeight() + 5;
  SimulateMouseMove(engine, 50, y);
  SimulateHintPause(engine, 50, y);
  ASSERT_NE(ShownHintWindow(), nullptr);
  EXPECT_EQ(ShownHintWindow()->Caption(), "column 1");
  SimulateMouseMove(engine, 150, y);
  ASSERT_NE(ShownHintWindow(), nullptr);
  EXPECT_EQ(ShownHintWindow()->Caption(), "column 2");
  CancelHint();
}

// A column hint of a few thousand characters, as a station's comment can make it, shows:
// wrapped wider than the list where the list's width would make it taller than the screen
// holds, on the screen and clear of the mouse (a hint under the mouse takes it from the
// list and goes at once), for a row at the top of the screen as at its bottom.
TEST(SectionListHints, AHintLongerThanTheScreenShowsBesideTheMouse) {
  std::string text;
  while (text.size() < 4000) text += "DL1ABC-9 via WIDE1-1,WIDE2-2 qAR DB0XYZ ";
  for (bool bottom : {false, true}) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, bottom ? Screen->Height() - 120 : 0, 400, 120);
    TExSectionList list(&form);
    list.SetParent(&form);
    list.SetBounds(0, 0, 400, 120);
    list.Columns.Items(1)->SetWidth(300);
    list.Columns.Items(1)->SetHint(text);
    list.Columns.Items(1)->SetShowHint(true);
    list.AddItem(list.AddGroup("")).Add("DL1ABC-9");
    form.Show();
    TSectionGroupedList& engine = list.Engine();
    const int y = engine.GroupItemHeight() + 5;
    SimulateMouseMove(engine, 50, y);
    SimulateHintPause(engine, 50, y);
    THintWindow* window = ShownHintWindow();
    ASSERT_NE(window, nullptr) << bottom;
    EXPECT_EQ(window->Caption(), text);
    const TRect shown = window->BoundsRect();
    const TPoint mouse = engine.ClientToScreen(Point(50, y));
    EXPECT_GT(shown.Width(), engine.ClientWidth()) << bottom;
    EXPECT_GE(shown.Left, 0);
    EXPECT_GE(shown.Top, 0);
    EXPECT_LE(shown.Right, Screen->Width());
    EXPECT_LE(shown.Bottom, Screen->Height());
    EXPECT_TRUE(shown.Bottom <= mouse.Y || shown.Top >= mouse.Y + 20)
        << bottom << ": " << shown.Top << ".." << shown.Bottom << " over " << mouse.Y;
    // The whole text fits in what it was given.
    EXPECT_GE(shown.Height(), window->CalcHintRect(shown.Width() - 16, text).Height()) << bottom;
    CancelHint();
  }
}

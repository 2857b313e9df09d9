#include "lists/section_grouped_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "lists/text_fit.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

// A list whose nodes carry one int each, compared and captioned by it.
class GroupedListTest : public ::testing::Test {
 protected:
  GroupedListTest() : list(nullptr) {
    list.ItemDataSize = sizeof(int);
    list.AutoOptions &= ~toAutoSort;  // groups stay where added (their value comes after)
    list.SetViewStyle(vsList);
    list.SetBounds(0, 0, 300, 200);
    list.OnGetChildItemHeight = [](TSectionGroupedList*, TCanvas&, int& h) { h = 20; };
    list.Relayout();
    list.OnCompareItems = [this](TSectionGroupedList*, POGLItem a, POGLItem b, int, int& r) {
      r = Value(a) / 10 - Value(b) / 10;  // the tens compare, the units tell ties apart
    };
    list.OnGetCaption = [this](TSectionGroupedList*, POGLItem n, std::string& c) {
      c = captions.empty() ? std::to_string(Value(n)) : captions[static_cast<size_t>(Value(n))];
    };
  }
  int& Value(POGLItem n) { return *static_cast<int*>(list.GetItemData(n)); }
  POGLItem Add(POGLItem parent, int value) {
    POGLItem n = list.AddItem(parent);
    Value(n) = value;
    return n;
  }
  std::string Values(POGLItem group) {
    std::string s;
    for (POGLItem n = group->FirstChild; n; n = n->NextSibling) {
      s += std::to_string(Value(n)) + " ";
      EXPECT_EQ(list.ChildAt(group, n->Index()), n);
    }
    return s;
  }
  std::string Selected() {
    std::string s;
    for (POGLItem n : list.SelectedItems()) s += std::to_string(Value(n)) + " ";
    return s;
  }

  TSectionGroupedList list;
  std::vector<std::string> captions;
};

}  // namespace

TEST_F(GroupedListTest, TreeCountsLinksAndDataBlocks) {
  EXPECT_THROW(TSectionGroupedList(nullptr).GetItemData(nullptr), Exception);
  int inits = 0;
  int frees = 0;
  list.OnInitItem = [&](TSectionGroupedList*, POGLItem n) {
    EXPECT_EQ(Value(n), 0);  // zero-filled
    ++inits;
  };
  list.OnFreeItem = [&](TSectionGroupedList*, POGLItem) { ++frees; };
  POGLItem g = Add(nullptr, 100);
  POGLItem a = Add(g, 1);
  Add(g, 2);
  EXPECT_EQ(list.AddItem(a), nullptr);  // no third level
  EXPECT_EQ(inits, 3);
  EXPECT_EQ(list.RootItem()->NodeCount, 3);
  EXPECT_EQ(g->ChildCount, 2);
  EXPECT_TRUE(list.IsGroup(g));
  EXPECT_FALSE(list.IsGroup(a));
  EXPECT_EQ(list.FocusedItem(), g);  // the first group takes the focus
  EXPECT_EQ(list.GetItemData(list.RootItem()), nullptr);
  list.Clear();
  EXPECT_EQ(frees, 3);
  EXPECT_EQ(list.FirstGroup(), nullptr);
  EXPECT_EQ(list.FocusedItem(), nullptr);
}

TEST_F(GroupedListTest, DeletingMovesFocusAndNeverLeavesAFreedAnchor) {
  POGLItem g = Add(nullptr, 100);
  POGLItem a = Add(g, 1);
  POGLItem b = Add(g, 2);
  POGLItem c = Add(g, 3);
  list.FocusItem(c);
  list.DeleteItem(c);  // last item: the previous sibling
  EXPECT_EQ(list.FocusedItem(), b);
  EXPECT_EQ(list.AnchorItem(), b);
  EXPECT_EQ(a->Index(), 0);
  list.FocusItem(a);
  list.DeleteItem(a);  // the next one moves up and is renumbered
  EXPECT_EQ(list.FocusedItem(), b);
  EXPECT_EQ(b->Index(), 0);
  list.DeleteItem(b);  // the only item: its group
  EXPECT_EQ(list.FocusedItem(), g);
  // An anchor that is not the focus goes too when its node does.
  POGLItem d = Add(g, 4);
  POGLItem e = Add(g, 5);
  list.SetFocusedItem(d, true);
  list.SetFocusedItem(e, false);
  list.DeleteItem(d);
  EXPECT_NE(list.AnchorItem(), d);
  EXPECT_EQ(list.AnchorItem(), e);
}

// A group emptied at once ends as deleting its items one by one leaves it; the nodes
// freed come back as new, zero-filled ones.
TEST_F(GroupedListTest, AGroupEmptiedAtOnceEndsAsDeletingEachItem) {
  int frees = 0;
  list.OnFreeItem = [&](TSectionGroupedList*, POGLItem) { ++frees; };
  POGLItem g = Add(nullptr, 100);
  POGLItem other = Add(nullptr, 200);
  std::vector<POGLItem> items;
  for (int v : {1, 2, 3, 4, 5}) items.push_back(Add(g, v));
  POGLItem kept = Add(other, 6);
  list.SelectItem(items[1], false);
  list.SelectItem(items[3], false);
  list.SelectItem(kept, false);
  list.SetFocusedItem(items[2], true);
  list.DeleteChildren(g);
  EXPECT_EQ(frees, 5);
  EXPECT_EQ(g->ChildCount, 0);
  EXPECT_EQ(g->FirstChild, nullptr);
  EXPECT_EQ(g->LastChild, nullptr);
  EXPECT_EQ(g->SelectedCount, 0);
  EXPECT_EQ(list.RootItem()->NodeCount, 3);
  EXPECT_EQ(list.FocusedItem(), g);
  EXPECT_EQ(list.AnchorItem(), g);
  EXPECT_EQ(Selected(), "6 200 ");  // the other group, all of whose items are selected
  EXPECT_EQ(list.TotalHeight(), 34 + 34 + 20);
  EXPECT_EQ(list.ChildAt(g, 0), nullptr);

  // A group whose items were all selected is no longer selected; an anchor among them
  // goes to the focus, which stays where it was.
  for (int v : {7, 8}) items.push_back(Add(g, v));
  list.SelectItem(g, true);
  EXPECT_TRUE(list.IsItemSelected(g));
  list.SetFocusedItem(kept, false);
  list.SetFocusedItem(items[5], false);
  list.SetFocusedItem(kept, false);
  list.DeleteChildren(g);
  EXPECT_FALSE(list.IsItemSelected(g));
  EXPECT_EQ(list.FocusedItem(), kept);
  EXPECT_EQ(Selected(), "6 200 ");  // the other group, all of whose items are selected

  // New items take the freed nodes: zero-filled, numbered and sorted like any.
  list.OnInitItem = [&](TSectionGroupedList*, POGLItem n) { EXPECT_EQ(Value(n), 0); };
  for (int v : {42, 17, 99, 23}) Add(g, v);
  EXPECT_EQ(Values(g), "42 17 99 23 ");
  list.Sort(0, sdAscending);
  EXPECT_EQ(Values(g), "17 23 42 99 ");
  EXPECT_EQ(list.RootItem()->NodeCount, 7);
  list.Clear();
  EXPECT_EQ(frees, 5 + 2 + 7);
  EXPECT_EQ(list.FirstGroup(), nullptr);
}

// Rows added and deleted in a batch are laid out once at its end, as one at a time.
TEST_F(GroupedListTest, ABatchIsLaidOutAtItsEnd) {
  POGLItem g = Add(nullptr, 100);
  list.BeginUpdate();
  list.BeginUpdate();
  std::vector<POGLItem> rows;
  for (int i = 0; i < 12; ++i) rows.push_back(Add(g, i));
  list.DeleteItem(rows[3]);
  list.EndUpdate();
  list.EndUpdate();
  EXPECT_EQ(g->ContentHeight, 11 * 20);
  EXPECT_EQ(list.TotalHeight(), 34 + 11 * 20);
  EXPECT_TRUE(list.ScrollBars().Showing(sbVertical));
}

TEST_F(GroupedListTest, LayoutOfListAndThumbnails) {
  POGLItem g1 = Add(nullptr, 100);
  for (int i = 0; i < 7; ++i) Add(g1, i);
  POGLItem g2 = Add(nullptr, 200);
  POGLItem last = Add(g2, 9);
  EXPECT_EQ(list.ItemHeight(), 20);
  EXPECT_EQ(g1->ContentHeight, 140);
  EXPECT_EQ(list.TotalHeight(), 34 + 140 + 34 + 20);
  EXPECT_EQ(list.GetItemRect(last).Top, 34 + 140 + 34);
  EXPECT_TRUE(list.ScrollBars().Showing(sbVertical));  // 228 rows > 200 pixels
  EXPECT_EQ(list.GetItemRect(g2).Right, 300 - list.ScrollBars().Thickness());
  EXPECT_TRUE(list.CollapseGroup(g1));
  EXPECT_EQ(list.TotalHeight(), 34 + 34 + 20);
  EXPECT_FALSE(list.CollapseGroup(g1));
  POGLItem empty = Add(nullptr, 300);
  EXPECT_FALSE(list.IsGroupExpanded(empty));  // flag set, but no items
  EXPECT_FALSE(list.ExpandGroup(empty));
  list.ExpandGroup(g1);

  // Thumbnails 120 wide in 3 columns: 7 items make 3 rows.
  list.SetBounds(0, 0, 380, 2000);
  list.SetViewStyle(vsThumbnails);
  EXPECT_EQ(list.Columns(), 3);
  EXPECT_EQ(list.ItemHeight(), 96 + 4 + list.CaptionHeight() + 12);
  EXPECT_EQ(g1->ContentHeight, 3 * list.ItemHeight() + 12);
  const TRect r = list.GetItemRect(list.ChildAt(g1, 4));
  EXPECT_EQ(r.Left, 120);
  EXPECT_EQ(r.Top, 34 + list.ItemHeight());
}

TEST_F(GroupedListTest, HitTestKinds) {
  POGLItem g = Add(nullptr, 100);
  POGLItem a = Add(g, 1);
  Add(g, 2);
  TOGLHitInfo hit;
  list.HitTest(6, list.GroupCaptionTop() + 2, hit, true);
  EXPECT_EQ(hit.Item, g);
  EXPECT_EQ(hit.Kind, 1);  // the expand button
  list.HitTest(100, 5, hit, true);
  EXPECT_EQ(hit.Kind, 2);
  list.HitTest(100, 34 + 5, hit, true);
  EXPECT_EQ(hit.Item, a);
  EXPECT_EQ(hit.Kind, 2);
  list.HitTest(100, 190, hit, true);  // below everything: the last group
  EXPECT_EQ(hit.Item, nullptr);
  EXPECT_EQ(hit.Group, g);
  EXPECT_EQ(hit.Kind, 0);
  list.SetShowNodes(false);
  list.HitTest(6, list.GroupCaptionTop() + 2, hit, true);
  EXPECT_EQ(hit.Kind, 2);
}

TEST_F(GroupedListTest, SelectionWithRangesAndCounts) {
  POGLItem g1 = Add(nullptr, 100);
  POGLItem a = Add(g1, 1);
  POGLItem b = Add(g1, 2);
  POGLItem g2 = Add(nullptr, 200);
  POGLItem c = Add(g2, 3);
  Add(g2, 4);
  int changes = 0;
  list.OnSelectionChange = [&](TComponent*) { ++changes; };
  list.SelectItem(a, false);
  list.SelectItem(b, false);
  EXPECT_TRUE(list.IsItemSelected(g1));  // all its items
  EXPECT_EQ(g1->SelectedCount, 2);
  list.DeselectItem(a, false);
  EXPECT_FALSE(list.IsItemSelected(g1));
  EXPECT_TRUE(list.IsAfter(b, c));
  EXPECT_TRUE(list.IsAfter(g1, c));
  EXPECT_FALSE(list.IsAfter(c, a));
  EXPECT_TRUE(list.DeselectAll());
  changes = 0;
  list.SetFocusedItem(b, true);
  list.SelectRange(c);
  EXPECT_EQ(Selected(), "2 3 ");
  EXPECT_EQ(changes, 1);  // a range is announced once
  list.SelectRange(a);    // before the anchor: from a to b
  EXPECT_EQ(Selected(), "2 1 100 ");
  list.DeselectAll();
  list.SelectItem(g2, true);  // a group with its items
  EXPECT_EQ(g2->SelectedCount, 2);
}

TEST_F(GroupedListTest, MouseSelectsWithCtrlAndShiftAndTheButtonToggles) {
  POGLItem g = Add(nullptr, 100);
  for (int i = 0; i < 5; ++i) Add(g, i);
  auto rowY = [](int i) { return 34 + 20 * i + 5; };
  SimulateClick(list, 50, rowY(1));
  EXPECT_EQ(Selected(), "1 ");
  EXPECT_EQ(list.FocusedItem(), list.ChildAt(g, 1));
  SimulateMouseDown(list, mbLeft, 50, rowY(3), ssShift);
  SimulateMouseUp(list, mbLeft, 50, rowY(3), ssShift);
  EXPECT_EQ(Selected(), "1 2 3 ");
  SimulateMouseDown(list, mbLeft, 50, rowY(2), ssCtrl);
  SimulateMouseUp(list, mbLeft, 50, rowY(2), ssCtrl);
  EXPECT_EQ(Selected(), "1 3 ");
  SimulateClick(list, 50, rowY(4));
  EXPECT_EQ(Selected(), "4 ");
  // The expand button neither selects nor focuses; the focused row it folds away hands
  // the focus to its group.
  SimulateClick(list, 6, list.GroupCaptionTop() + 2);
  EXPECT_FALSE(list.IsGroupExpanded(g));
  EXPECT_EQ(Selected(), "4 ");
  EXPECT_EQ(list.FocusedItem(), g);
}

// A band drawn up from the empty space below the rows and let go over the first of them
// keeps every row it crossed: its release is no click on that row.
TEST_F(GroupedListTest, ARubberBandKeepsTheRowsItCrossed) {
  POGLItem g = Add(nullptr, 100);
  for (int i = 0; i < 6; ++i) Add(g, i);
  auto rowY = [](int i) { return 34 + 20 * i + 5; };
  auto selectedRows = [&] {
    std::vector<int> values;
    for (POGLItem n : list.SelectedItems()) values.push_back(Value(n));
    std::sort(values.begin(), values.end());
    return values;
  };
  SimulateMouseDown(list, mbLeft, 50, 190);
  SimulateMouseMove(list, 50, rowY(3));
  SimulateMouseMove(list, 50, rowY(1));
  EXPECT_EQ(selectedRows(), (std::vector<int>{1, 2, 3, 4, 5}));
  SimulateMouseUp(list, mbLeft, 50, rowY(1));
  EXPECT_EQ(selectedRows(), (std::vector<int>{1, 2, 3, 4, 5}));
  SimulateClick(list, 50, rowY(2));  // a click after it is one
  EXPECT_EQ(selectedRows(), std::vector<int>{2});
}

TEST_F(GroupedListTest, KeysMoveTheFocusAndTheWheelScrolls) {
  POGLItem g = Add(nullptr, 100);
  for (int i = 0; i < 30; ++i) Add(g, i);
  list.FocusItem(g);
  SimulateKey(list, VK_DOWN);
  EXPECT_EQ(list.FocusedItem(), list.ChildAt(g, 0));
  SimulateKey(list, VK_END);
  EXPECT_EQ(list.FocusedItem(), list.ChildAt(g, 29));
  EXPECT_EQ(Selected(), "29 ");
  EXPECT_EQ(list.TopPosition(), list.TotalHeight() - list.ClientHeight());  // in view
  SimulateKey(list, VK_UP, {}, ssShift);
  EXPECT_EQ(Selected(), "29 28 ");
  SimulateKey(list, VK_HOME);
  EXPECT_EQ(list.FocusedItem(), g);
  EXPECT_EQ(list.TopPosition(), 0);
  SimulateMouseWheel(list, -120, 50, 50);
  EXPECT_EQ(list.TopPosition(), 120);
  SimulateMouseWheel(list, 240, 50, 50);
  EXPECT_EQ(list.TopPosition(), 0);
  list.ScrollBars().OnScroll(sbVertical, scTrack, 200);  // the bar moves the view
  EXPECT_EQ(list.TopPosition(), 200);
  EXPECT_EQ(list.ScrollBars().GetInfo(sbVertical).Pos, 200);
  // Content shorter than the window: the wheel leaves the position alone.
  list.CollapseGroup(g);
  SimulateMouseWheel(list, -120, 50, 10);
  EXPECT_EQ(list.TopPosition(), 0);
}

// The keys move through what is shown: a row folded away gives the focus to its group,
// and Down from a folded group goes to the next group, not into the hidden rows.
TEST_F(GroupedListTest, FoldedRowsNeitherKeepNorTakeTheFocus) {
  POGLItem first = Add(nullptr, 100);
  for (int i = 0; i < 3; ++i) Add(first, i);
  POGLItem second = Add(nullptr, 200);
  for (int i = 10; i < 13; ++i) Add(second, i);
  list.FocusItem(list.ChildAt(first, 1));
  SimulateKey(list, VK_LEFT);  // an item: to its previous sibling
  EXPECT_EQ(list.FocusedItem(), list.ChildAt(first, 0));
  SimulateKey(list, VK_SPACE);
  list.CollapseGroup(first);
  EXPECT_EQ(list.FocusedItem(), first);
  EXPECT_EQ(list.AnchorItem(), first);
  SimulateKey(list, VK_DOWN);
  EXPECT_EQ(list.FocusedItem(), second);
  SimulateKey(list, VK_DOWN);
  EXPECT_EQ(list.FocusedItem(), list.ChildAt(second, 0));
  // Focused by code inside a folded group, Down still moves on from the group.
  list.FocusItem(list.ChildAt(first, 0));
  SimulateKey(list, VK_DOWN);
  EXPECT_EQ(list.FocusedItem(), second);
  // Up from the next group stops at the folded group's header.
  list.FocusItem(second);
  SimulateKey(list, VK_UP);
  EXPECT_EQ(list.FocusedItem(), first);
}

// Thumbnails in 3 columns: A = 100 holds 0..6 (rows 0 1 2 / 3 4 5 / 6), B = 200 holds
// 10..12 folded, C = 300 holds 20..24 (rows 20 21 22 / 23 24). Each key starts afresh
// from the focused value; Shift extends the selection, which crosses groups only to
// expanded ones.
TEST_F(GroupedListTest, ArrowAndEndKeysInColumnsAndAcrossGroups) {
  list.SetBounds(0, 0, 380, 2000);
  list.SetViewStyle(vsThumbnails);
  POGLItem a = Add(nullptr, 100);
  for (int i = 0; i < 7; ++i) Add(a, i);
  POGLItem b = Add(nullptr, 200);
  for (int i = 10; i < 13; ++i) Add(b, i);
  POGLItem c = Add(nullptr, 300);
  for (int i = 20; i < 25; ++i) Add(c, i);
  ASSERT_EQ(list.Columns(), 3);
  const auto find = [&](int value) {
    for (POGLItem g = list.FirstGroup(); g; g = g->NextSibling) {
      if (Value(g) == value) return g;
      for (POGLItem n = g->FirstChild; n; n = n->NextSibling)
        if (Value(n) == value) return n;
    }
    return static_cast<POGLItem>(nullptr);
  };
  struct TCase {
    int from;
    TKeyCode key;
    TShiftState shift;
    int to;
  };
  const TCase cases[] = {
      {4, VK_RIGHT, {}, 5},      {6, VK_RIGHT, {}, 200},   {6, VK_RIGHT, ssShift, 20},
      {0, VK_LEFT, {}, 100},     {20, VK_LEFT, {}, 300},   {20, VK_LEFT, ssShift, 6},
      {300, VK_LEFT, {}, 300},   {200, VK_LEFT, {}, 6},    {100, VK_RIGHT, {}, 0},
      {4, VK_UP, {}, 1},         {1, VK_UP, {}, 100},      {21, VK_UP, ssShift, 4},
      {300, VK_UP, {}, 200},     {200, VK_UP, {}, 4},      {1, VK_DOWN, {}, 4},
      {4, VK_DOWN, {}, 6},       {6, VK_DOWN, {}, 200},    {5, VK_DOWN, ssShift, 6},
      {6, VK_DOWN, ssShift, 20}, {200, VK_DOWN, {}, 300},  {300, VK_DOWN, {}, 20},
      {22, VK_HOME, ssCtrl, 20}, {22, VK_END, ssCtrl, 24}, {3, VK_HOME, {}, 100},
      {3, VK_END, {}, 24},       {24, VK_DOWN, {}, 24},    {24, VK_RIGHT, {}, 24},
      {100, VK_UP, {}, 100},     {100, VK_HOME, {}, 100},
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(std::to_string(k.from) + " key " + std::to_string(k.key) + " to " +
                 std::to_string(k.to));
    list.ExpandGroup(a);
    list.CollapseGroup(b);
    list.ExpandGroup(c);
    list.DeselectAll();
    list.FocusItem(find(k.from));
    SimulateKey(list, k.key, {}, k.shift);
    ASSERT_NE(list.FocusedItem(), nullptr);
    EXPECT_EQ(Value(list.FocusedItem()), k.to);
  }
  // Left folds an expanded group and Right unfolds a folded one; the focus stays.
  list.FocusItem(a);
  SimulateKey(list, VK_LEFT);
  EXPECT_FALSE(list.IsGroupExpanded(a));
  list.FocusItem(b);
  SimulateKey(list, VK_RIGHT);
  EXPECT_TRUE(list.IsGroupExpanded(b));
  EXPECT_EQ(list.FocusedItem(), b);
}

// Page keys take the row at the far edge of the view, a part-shown one too, scrolling a
// page when the focus is there already: every press moves a page, not a row.
TEST_F(GroupedListTest, PageKeysMoveToTheEdgeOfTheViewThenScroll) {
  POGLItem g = Add(nullptr, 100);
  for (int i = 0; i < 30; ++i) Add(g, i);
  std::vector<int> seen;
  list.FocusItem(list.ChildAt(g, 0));
  for (int i = 0; i < 4; ++i) {
    SimulateKey(list, VK_NEXT);
    seen.push_back(Value(list.FocusedItem()));
  }
  for (int i = 0; i < 4; ++i) {
    SimulateKey(list, VK_PRIOR);
    seen.push_back(Value(list.FocusedItem()));
  }
  EXPECT_EQ(seen, (std::vector<int>{8, 18, 28, 29, 20, 10, 0, 100}));
}

TEST_F(GroupedListTest, StableSortBothWaysAndOneItemResorted) {
  POGLItem g = Add(nullptr, 100);
  for (int v : {31, 10, 32, 20, 11, 33}) Add(g, v);
  list.Sort(0, sdAscending);
  EXPECT_EQ(Values(g), "10 11 20 31 32 33 ");  // ties keep their order
  list.Sort(0, sdDescending);
  EXPECT_EQ(Values(g), "31 32 33 20 10 11 ");  // and are not reversed
  list.OnCompareItems = nullptr;
  list.Sort(0, sdAscending);
  EXPECT_EQ(Values(g), "31 32 33 20 10 11 ");  // no comparison: only renumbered

  // Against the full sort: change one value at random, resort that item only.
  list.OnCompareItems = [this](TSectionGroupedList*, POGLItem a, POGLItem b, int, int& r) {
    r = Value(a) / 10 - Value(b) / 10;
  };
  std::mt19937 random(3);
  for (int i = 0; i < 40; ++i) Add(g, static_cast<int>(random() % 100));
  for (TOGLSortDirection dir : {sdAscending, sdDescending}) {
    list.Sort(0, dir);
    for (int step = 0; step < 200; ++step) {
      POGLItem n = list.ChildAt(g, static_cast<int>(random() % g->ChildCount));
      Value(n) = static_cast<int>(random() % 100);
      list.ResortItem(n, 0, dir);
      const std::string incremental = Values(g);
      list.Sort(0, dir);
      ASSERT_EQ(Values(g), incremental);
    }
  }
}

TEST_F(GroupedListTest, IncrementalSearchOnCaptions) {
  // The last caption in UTF-8, the one before in Windows-1252.
  captions = {"group",
              "apple",
              "Berry",
              "bramble",
              "Cherry",
              "\xE4rger",
              "\xC3\xBC"
              "ber"};
  POGLItem g = Add(nullptr, 0);
  for (int i = 1; i <= 6; ++i) Add(g, i);
  list.FocusItem(g);
  list.IncrementalSearch(u"b");  // lower case never matches
  EXPECT_EQ(list.FocusedItem(), g);
  list.IncrementalSearch(u"B");
  EXPECT_EQ(Value(list.FocusedItem()), 2);
  list.IncrementalSearch(u"B");  // the next one, either case
  EXPECT_EQ(Value(list.FocusedItem()), 3);
  list.IncrementalSearch(u"B");  // wraps round
  EXPECT_EQ(Value(list.FocusedItem()), 2);
  list.IncrementalSearch(u"\u00DC");  // a caption's first letter beyond ASCII, either bytes
  EXPECT_EQ(Value(list.FocusedItem()), 6);
  list.IncrementalSearch(u"\u00C4");
  EXPECT_EQ(Value(list.FocusedItem()), 5);
  list.IncrementalSearch(u"G");  // group captions only with stAll
  EXPECT_EQ(Value(list.FocusedItem()), 5);
  list.SearchType = TOGLSearchType::stAll;
  list.IncrementalSearch(u"G");
  EXPECT_EQ(list.FocusedItem(), g);
  list.SearchType = TOGLSearchType::stNone;
  list.IncrementalSearch(u"A");
  EXPECT_EQ(list.FocusedItem(), g);
}

TEST_F(GroupedListTest, PaintsHeaderCountRowsAndSelection) {
  list.SetColor(clWhite);
  POGLItem g = Add(nullptr, 100);
  Add(g, 1);
  POGLItem b = Add(g, 2);
  int drawn = 0;
  list.OnDrawItem = [&](TSectionGroupedList*, TCanvas& canvas, TRect r, POGLItem) {
    ++drawn;
    EXPECT_EQ(r.Height(), 19);  // the separator line is not the owner's
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(Rect(r.Left, r.Top, r.Left + 5, r.Bottom));
  };
  list.SelectItem(b, false);
  list.HideSelection = false;
  auto shot = Snapshot(list);
  EXPECT_EQ(drawn, 2);
  EXPECT_EQ(PixelAt(*shot, 100, 32), RGB(123, 164, 224));          // the header's bottom line
  EXPECT_EQ(PixelAt(*shot, 100, 34 + 19), ColorToRGB(clBtnFace));  // row separator
  EXPECT_EQ(PixelAt(*shot, 2, 34 + 5), clRed);
  EXPECT_EQ(PixelAt(*shot, 100, 54 + 5), ColorToRGB(clHighlight));  // selected row
  EXPECT_EQ(PixelAt(*shot, 100, 34 + 5), clWhite);
  // The count at the right of the header, in black.
  bool countInk = false;
  for (int x = 260; x < 300; ++x) {
    for (int y = 5; y < 30; ++y) countInk |= PixelAt(*shot, x, y) == clBlack;
  }
  EXPECT_TRUE(countInk);
  // Unfocused with HideSelection: the soft selection colour.
  list.HideSelection = true;
  shot = Snapshot(list);
  EXPECT_EQ(PixelAt(*shot, 100, 54 + 5), RGB(224, 233, 246));
}

// A thumbnail caption wider than its cell shows its start and ends in "...", as the
// text cut to the cell would show.
TEST_F(GroupedListTest, ALongThumbnailCaptionEndsInDots) {
  list.SetColor(clWhite);
  list.SetBounds(0, 0, 380, 400);
  list.SetViewStyle(vsThumbnails);
  captions = {"group", "A caption far too wide to fit under its thumbnail"};
  POGLItem g = Add(nullptr, 0);
  POGLItem item = Add(g, 1);
  const TRect cell = list.GetItemRect(item);
  const int captionTop = cell.Bottom - list.CaptionHeight() - 8;
  auto caption = [&] {
    auto shot = Snapshot(list);
    std::vector<TColor> pixels;
    for (int y = captionTop; y < cell.Bottom; ++y)
      for (int x = cell.Left; x < cell.Right; ++x) pixels.push_back(PixelAt(*shot, x, y));
    return pixels;
  };
  const auto drawn = caption();
  list.Canvas().Font().Assign(list.Font());
  captions[1] = FitText(list.Canvas(), captions[1], cell.Width() - 8);
  ASSERT_TRUE(captions[1].ends_with("..."));
  list.Invalidate();
  EXPECT_EQ(drawn, caption());
}

// A caption with markup sits on one line at the bottom of its bar and ends in "..."
// where a plain caption does.
TEST_F(GroupedListTest, MarkupCaptionsStayOnOneLineLikePlainOnes) {
  list.SetColor(clWhite);
  const std::string words = "a long caption that runs well past the count at the right edge";
  captions = {words, "<U></U>" + words};
  Add(nullptr, 0);
  auto ink = [&](TBitmap& shot) {
    TRect box = Rect(1000, 1000, -1, -1);
    const TColor paper = PixelAt(shot, 200, 2);
    for (int x = 22; x < 250; ++x)
      for (int y = 0; y < list.GroupItemHeight() - 2; ++y)
        if (PixelAt(shot, x, y) != paper) {
          box.Left = std::min(box.Left, x);
          box.Right = std::max(box.Right, x);
          box.Top = std::min(box.Top, y);
          box.Bottom = std::max(box.Bottom, y);
        }
    return box;
  };
  const TRect plain = ink(*Snapshot(list));
  Value(list.FirstGroup()) = 1;
  const TRect markup = ink(*Snapshot(list));
  EXPECT_NEAR(markup.Top, plain.Top, 2);
  EXPECT_NEAR(markup.Bottom, plain.Bottom, 2);
  EXPECT_NEAR(markup.Right, plain.Right, 4);
}

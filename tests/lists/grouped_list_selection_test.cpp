// The grouped list's selection against a plain model of its rules: the selection as a
// vector searched on every removal, which is what the list did before it chained the
// selected nodes. Random sequences of selecting, deselecting, toggling, ranges and
// deleting must leave both with the same nodes in the same order, the same group
// counts and the same number of change events.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "lists/section_grouped_list.h"
#include "platform/test_support/gui_test_support.h"

namespace {

class SelectionModel {
 public:
  SelectionModel(const TSectionGroupedList& List, bool Multi) : list_(List), multi_(Multi) {
    for (POGLItem g = List.FirstGroup(); g; g = g->NextSibling) {
      groups_.push_back(g);
      for (POGLItem i = g->FirstChild; i; i = i->NextSibling) items_[g].push_back(i);
    }
  }

  void Select(POGLItem n, bool recurse) {
    if (!n || selected_set_.count(n)) return;
    selected_set_.insert(n);
    selected_.push_back(n);
    const bool group = IsGroup(n);
    if (!group) {
      POGLItem p = n->Parent;
      count_[p] = std::min(count_[p] + 1, Children(p));
      if (count_[p] == Children(p)) Select(p, false);
    }
    if (nesting_ == 0 && !announced_) {
      if (ranging_) announced_ = true;
      ++events_;
    }
    if (group && recurse && multi_) {
      ++nesting_;
      for (POGLItem i : items_[n]) Select(i, false);
      --nesting_;
    }
  }

  void Deselect(POGLItem n, bool recurse) {
    if (!n || !selected_set_.count(n)) return;
    const auto found = std::find(selected_.rbegin(), selected_.rend(), n);
    selected_.erase(std::next(found).base());
    selected_set_.erase(n);
    if (!IsGroup(n)) {
      POGLItem p = n->Parent;
      count_[p] = std::max(0, count_[p] - 1);
      if (selected_set_.count(p) && count_[p] != Children(p)) Deselect(p, false);
    } else if (recurse && multi_) {
      for (POGLItem i : items_[n]) Deselect(i, false);
    }
  }

  void Toggle(POGLItem n, bool recurse) {
    if (selected_set_.count(n)) {
      Deselect(n, recurse);
    } else {
      Select(n, recurse);
    }
  }

  void DeselectAll() {
    while (!selected_.empty()) Deselect(selected_.back(), true);
  }

  void DeselectWhere(const std::function<bool(POGLItem)>& doomed) {
    for (size_t i = selected_.size(); i-- > 0;) {
      if (doomed(selected_[i])) {
        Deselect(selected_[i], true);
        i = selected_.size();
      }
    }
  }

  void SelectRange(POGLItem target, POGLItem anchor) {
    if (!anchor) return Select(target, true);
    announced_ = false;
    ranging_ = true;
    POGLItem from = anchor;
    POGLItem to = target;
    if (!list_.IsAfter(anchor, target)) std::swap(from, to);
    DeselectWhere([&](POGLItem n) { return n != from && !list_.IsAfter(from, n); });
    DeselectWhere([&](POGLItem n) { return n != to && list_.IsAfter(to, n); });
    POGLItem fromGroup = IsGroup(from) ? from : from->Parent;
    POGLItem toGroup = IsGroup(to) ? to : to->Parent;
    auto g = std::find(groups_.begin(), groups_.end(), fromGroup);
    for (; g != groups_.end(); ++g) {
      const bool first = *g == fromGroup;
      const bool last = *g == toGroup;
      if ((!first && !last) || (first && from == *g) || (last && to == *g)) Select(*g, true);
      if (!(last && to == *g)) {
        auto& items = items_[*g];
        auto i =
            first && !IsGroup(from) ? std::find(items.begin(), items.end(), from) : items.begin();
        for (; i != items.end(); ++i) {
          Select(*i, false);
          if (*i == to) break;
        }
      }
      if (last) break;
    }
    ranging_ = false;
    announced_ = false;
  }

  void DeleteSelected() {
    while (!selected_.empty()) Delete(selected_.front());
  }

  // The model's view, in the words of the list.
  std::string Describe() const {
    std::string s = "selected:";
    for (POGLItem n : selected_) s += " " + Name(n);
    s += " counts:";
    for (POGLItem g : groups_) s += " " + std::to_string(count_.count(g) ? count_.at(g) : 0);
    s += " events: " + std::to_string(events_);
    return s;
  }

  int events_ = 0;

 private:
  bool IsGroup(POGLItem n) const { return n->Parent == list_.RootItem(); }
  int Children(POGLItem g) { return static_cast<int>(items_[g].size()); }
  std::string Name(POGLItem n) const {
    const auto g = std::find(groups_.begin(), groups_.end(), IsGroup(n) ? n : n->Parent);
    std::string name = "g" + std::to_string(g - groups_.begin());
    if (IsGroup(n)) return name;
    const auto& items = items_.at(*g);
    return name + "." + std::to_string(std::find(items.begin(), items.end(), n) - items.begin());
  }

  void Delete(POGLItem n) {
    Deselect(n, false);
    if (IsGroup(n)) {
      bool any = false;
      for (POGLItem i : items_[n]) {
        if (!selected_set_.count(i)) continue;
        selected_.erase(std::find(selected_.begin(), selected_.end(), i));
        selected_set_.erase(i);
        any = true;
      }
      if (any) {
        count_[n] = 0;
        Deselect(n, false);
      }
      items_.erase(n);
      count_.erase(n);
      groups_.erase(std::find(groups_.begin(), groups_.end(), n));
      return;
    }
    auto& items = items_[n->Parent];
    items.erase(std::find(items.begin(), items.end(), n));
    count_[n->Parent] = std::min(count_[n->Parent], Children(n->Parent));
  }

  const TSectionGroupedList& list_;
  bool multi_;
  std::vector<POGLItem> groups_;
  std::map<POGLItem, std::vector<POGLItem>> items_;
  std::map<POGLItem, int> count_;
  std::vector<POGLItem> selected_;
  std::set<POGLItem> selected_set_;
  int nesting_ = 0;
  bool announced_ = false;
  bool ranging_ = false;
};

// The list's state in the model's words; also checks that the flags and the chain agree.
std::string Describe(const TSectionGroupedList& list, int events) {
  std::vector<POGLItem> groups;
  for (POGLItem g = list.FirstGroup(); g; g = g->NextSibling) groups.push_back(g);
  auto name = [&](POGLItem n) {
    const bool group = n->Parent == list.RootItem();
    const auto g = std::find(groups.begin(), groups.end(), group ? n : n->Parent);
    std::string s = "g" + std::to_string(g - groups.begin());
    return group ? s : s + "." + std::to_string(n->Index());
  };
  std::string s = "selected:";
  size_t chained = 0;
  for (POGLItem n : list.SelectedItems()) {
    s += " " + name(n);
    EXPECT_TRUE(list.IsItemSelected(n));
    ++chained;
  }
  EXPECT_EQ(chained, list.SelectedItems().size());
  size_t flagged = 0;
  for (POGLItem g : groups) {
    flagged += list.IsItemSelected(g);
    for (POGLItem i = g->FirstChild; i; i = i->NextSibling) flagged += list.IsItemSelected(i);
  }
  EXPECT_EQ(flagged, chained);
  EXPECT_EQ(list.SelectedItems().Reversed().size(), chained);
  if (!list.SelectedItems().empty()) {
    EXPECT_EQ(list.SelectedItems().back(), list.SelectedItems().Reversed().front());
  }
  s += " counts:";
  for (POGLItem g : groups) s += " " + std::to_string(g->SelectedCount);
  s += " events: " + std::to_string(events);
  return s;
}

void RunSequence(unsigned seed, bool multi) {
  TSectionGroupedList list(nullptr);
  list.ItemDataSize = sizeof(int);
  list.AutoOptions &= ~toAutoSort;
  list.SetSelectionOptions(multi ? TOGLSelectionOptions{soMultiSelect} : TOGLSelectionOptions{0});
  int events = 0;
  list.OnSelectionChange = [&](TComponent*) { ++events; };
  std::mt19937 random(seed);
  auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const int groupCount = 1 + below(4);
  for (int g = 0; g < groupCount; ++g) {
    POGLItem group = list.AddItem(nullptr);
    const int items = below(7);
    for (int i = 0; i < items; ++i) list.AddItem(group);
  }
  SelectionModel model(list, multi);
  std::vector<POGLItem> nodes;
  auto collect = [&] {
    nodes.clear();
    for (POGLItem g = list.FirstGroup(); g; g = g->NextSibling) {
      nodes.push_back(g);
      for (POGLItem i = g->FirstChild; i; i = i->NextSibling) nodes.push_back(i);
    }
  };
  collect();
  for (int step = 0; step < 60 && !nodes.empty(); ++step) {
    POGLItem node = nodes[static_cast<size_t>(below(static_cast<int>(nodes.size())))];
    const bool recurse = below(2) == 1;
    std::string op;
    switch (below(8)) {
      case 0:
      case 1:
        op = "select";
        list.SelectItem(node, recurse);
        model.Select(node, recurse);
        break;
      case 2:
        op = "deselect";
        list.DeselectItem(node, recurse);
        model.Deselect(node, recurse);
        break;
      case 3:
        op = "toggle";
        list.ToggleItemSelection(node, recurse);
        model.Toggle(node, recurse);
        break;
      case 4:
        op = "deselect all";
        list.DeselectAll();
        model.DeselectAll();
        break;
      case 5:
        op = "anchor";
        list.SetFocusedItem(node, true);
        break;
      case 6:
        op = "range";
        model.SelectRange(node, list.AnchorItem());
        list.SelectRange(node);
        break;
      default:
        if (below(4) != 0) continue;
        op = "delete selected";
        model.DeleteSelected();
        list.DeleteSelectedItems();
        collect();
        break;
    }
    ASSERT_EQ(Describe(list, events), model.Describe())
        << "seed " << seed << " step " << step << ": " << op;
    model.events_ = events;  // one miscount is reported once, not at every later step
  }
}

}  // namespace

TEST(GroupedListSelectionTest, RandomSequencesMatchThePlainModel) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    RunSequence(seed, true);
    if (seed % 4 == 0) RunSequence(seed, false);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// A plain click on a row of a group selected whole leaves that row alone selected; the
// row that was selected last is no exception.
TEST(GroupedListSelectionTest, AClickOnAnItemLeavesItAloneSelected) {
  TSectionGroupedList list(nullptr);
  list.ItemDataSize = sizeof(int);
  list.SetSelectionOptions(soMultiSelect);
  list.SetViewStyle(vsList);
  list.SetBounds(0, 0, 300, 400);
  list.OnGetChildItemHeight = [](TSectionGroupedList*, TCanvas&, int& h) { h = 20; };
  POGLItem g = list.AddItem(nullptr);
  for (int i = 0; i < 5; ++i) list.AddItem(g);
  list.ExpandGroup(g);
  list.Relayout();
  for (POGLItem clicked : {g->LastChild, g->FirstChild->NextSibling}) {
    list.SelectItem(g, true);
    const TRect r = list.GetItemRect(clicked);
    SimulateClick(list, r.Left + 5, (r.Top + r.Bottom) / 2 - list.TopPosition());
    ASSERT_EQ(list.SelectedItems().size(), 1u);
    EXPECT_EQ(list.SelectedItems().front(), clicked);
    EXPECT_EQ(g->SelectedCount, 1);
    EXPECT_FALSE(list.IsItemSelected(g));
  }
}

// Deleting a group whose item has the focus and the anchor moves both off the group, so
// that a range selected afterwards never reaches a node that is gone.
TEST(GroupedListSelectionTest, DeletingAGroupTakesTheFocusOfItsItemsAlong) {
  TSectionGroupedList list(nullptr);
  list.ItemDataSize = sizeof(int);
  list.SetSelectionOptions(soMultiSelect);
  POGLItem first = list.AddItem(nullptr);
  list.AddItem(first);
  POGLItem doomed = list.AddItem(nullptr);
  for (int i = 0; i < 3; ++i) list.AddItem(doomed);
  list.SetFocusedItem(doomed->LastChild, true);
  list.SelectItem(doomed, true);
  list.DeleteSelectedItems();
  // The group before it is open: its last item.
  EXPECT_EQ(list.FocusedItem(), first->LastChild);
  EXPECT_EQ(list.AnchorItem(), first->LastChild);
  list.SelectRange(first);
  for (POGLItem n : list.SelectedItems()) EXPECT_TRUE(n == first || n == first->FirstChild);
}

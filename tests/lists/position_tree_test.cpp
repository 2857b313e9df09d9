#include "lists/position_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

// Random inserts, removals and reassignments against a plain vector of the same order.
TEST(PositionTree, KeepsOrderAndPositionsThroughRandomEdits) {
  std::vector<TPositionHook> hooks(600);
  std::vector<TPositionHook*> model;
  TPositionTree tree;
  std::mt19937 random(7);
  size_t next = 0;
  auto check = [&] {
    ASSERT_EQ(tree.Count(), static_cast<int>(model.size()));
    for (size_t i = 0; i < model.size(); ++i) {
      ASSERT_EQ(tree.At(static_cast<int>(i)), model[i]);
      ASSERT_EQ(TPositionTree::PositionOf(model[i]), static_cast<int>(i));
    }
  };
  for (int step = 0; step < 2000; ++step) {
    const unsigned action = random() % 10;
    if (action < 6 && next < hooks.size()) {
      const int at = static_cast<int>(random() % (model.size() + 1));
      tree.Insert(&hooks[next], at);
      model.insert(model.begin() + at, &hooks[next]);
      ++next;
    } else if (action < 9 && !model.empty()) {
      const size_t at = random() % model.size();
      tree.Remove(model[at]);
      model.erase(model.begin() + static_cast<long>(at));
    } else {
      std::shuffle(model.begin(), model.end(), random);
      tree.Assign(model);
    }
    if (step % 50 == 0) check();
  }
  check();
  EXPECT_EQ(tree.At(-1), nullptr);
  EXPECT_EQ(tree.At(tree.Count()), nullptr);
  // Every cut of the sequence is found where a scan finds it, the ends included.
  for (int cut = 0; cut <= tree.Count(); ++cut) {
    EXPECT_EQ(tree.PartitionPoint([&](TPositionHook* hook, int position) {
      EXPECT_EQ(hook, model[static_cast<size_t>(position)]);
      return position < cut;
    }), cut);
  }
  EXPECT_EQ(TPositionTree().PartitionPoint([](TPositionHook*, int) { return true; }), 0);
}

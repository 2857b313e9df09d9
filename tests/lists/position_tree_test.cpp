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
    }),
              cut);
  }
  EXPECT_EQ(TPositionTree().PartitionPoint([](TPositionHook*, int) { return true; }), 0);
}

// A busy list's pattern at a size where blocks split and join all the time: items taken
// from anywhere and put back near the front, the sequence emptied and refilled.
TEST(PositionTree, KeepsPositionsWhenItemsMoveToTheFrontInALongSequence) {
  std::vector<TPositionHook> hooks(3000);
  std::vector<TPositionHook*> model;
  TPositionTree tree;
  std::mt19937 random(11);
  for (TPositionHook& hook : hooks) {
    tree.Insert(&hook, tree.Count());
    model.push_back(&hook);
  }
  auto check = [&] {
    ASSERT_EQ(tree.Count(), static_cast<int>(model.size()));
    for (size_t i = 0; i < model.size(); ++i) {
      ASSERT_EQ(TPositionTree::PositionOf(model[i]), static_cast<int>(i)) << i;
      ASSERT_EQ(tree.At(static_cast<int>(i)), model[i]);
    }
  };
  for (int step = 0; step < 6000; ++step) {
    const size_t from = random() % model.size();
    TPositionHook* hook = model[from];
    tree.Remove(hook);
    model.erase(model.begin() + static_cast<long>(from));
    const int to = static_cast<int>(random() % 4);
    tree.Insert(hook, to);
    model.insert(model.begin() + to, hook);
    if (step % 1000 == 0) check();
  }
  check();
  // Emptied from anywhere, then filled again at random places.
  while (!model.empty()) {
    const size_t at = random() % model.size();
    tree.Remove(model[at]);
    model.erase(model.begin() + static_cast<long>(at));
  }
  EXPECT_EQ(tree.Count(), 0);
  EXPECT_EQ(tree.At(0), nullptr);
  for (TPositionHook& hook : hooks) {
    const int at = static_cast<int>(random() % (model.size() + 1));
    tree.Insert(&hook, at);
    model.insert(model.begin() + at, &hook);
  }
  check();
}

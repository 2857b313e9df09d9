// A sequence kept as a balanced tree (a treap ordered by position): the item at a
// position, the position of an item, inserting and removing all take logarithmic time.
// The grouped list keeps each group's items in one, so that a list of tens of thousands
// of rows finds, moves and numbers a row without walking the rows before it.
//
// The tree is intrusive: an item embeds a TPositionHook and is never copied or owned.
#pragma once

#include <cstdint>
#include <vector>

struct TPositionHook {
  TPositionHook* left = nullptr;
  TPositionHook* right = nullptr;
  TPositionHook* up = nullptr;
  std::uint32_t priority = 0;
  int size = 1;
};

class TPositionTree {
 public:
  int Count() const { return root_ ? root_->size : 0; }
  // Index is 0-based; out of range gives null.
  TPositionHook* At(int Index) const;
  // The position of a hook that is in this tree.
  static int PositionOf(const TPositionHook* Hook);
  // The first position whose hook Before(hook, position) rejects, where Before holds for
  // a leading run of the sequence (as "goes before" does in a sorted one); Count() when
  // it holds for all. One descent: a sorted insert finds its place without looking up
  // each probe by position.
  template <class TBefore>
  int PartitionPoint(TBefore Before) const {
    int first = 0;
    for (TPositionHook* hook = root_; hook;) {
      const int position = first + (hook->left ? hook->left->size : 0);
      if (Before(hook, position)) {
        first = position + 1;
        hook = hook->right;
      } else {
        hook = hook->left;
      }
    }
    return first;
  }
  // Index 0..Count().
  void Insert(TPositionHook* Hook, int Index);
  void Remove(TPositionHook* Hook);
  // Replaces the whole sequence by Hooks, in that order, in linear time.
  void Assign(const std::vector<TPositionHook*>& Hooks);
  void Clear() { root_ = nullptr; }

 private:
  std::uint32_t NextPriority();
  TPositionHook* root_ = nullptr;
  std::uint32_t seed_ = 0x9E3779B9u;
};

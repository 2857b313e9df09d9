// A sequence kept in short blocks, with a running count over the blocks: the item at a
// position, the position of an item, inserting and removing all take about logarithmic
// time plus a scan of one block. The grouped list keeps each group's items in one, so
// that a list of tens of thousands of rows finds, moves and numbers a row without
// walking the rows before it.
//
// Blocks rather than a balanced tree of the items: a row of a long list changed at
// random has its place found from its block (an array read in one sweep) and the
// counts of the blocks (a small array), where a tree walks some twenty nodes spread over
// memory, each a cache miss.
//
// The sequence is intrusive: an item embeds a TPositionHook and is never copied or owned.
#pragma once

#include <memory>
#include <vector>

struct TPositionBlock;

struct TPositionHook {
  TPositionBlock* block = nullptr;  // the block holding the item; null when in none
};

class TPositionTree {
 public:
  TPositionTree();
  ~TPositionTree();
  TPositionTree(const TPositionTree&) = delete;
  TPositionTree& operator=(const TPositionTree&) = delete;

  int Count() const;
  // Index is 0-based; out of range gives null.
  TPositionHook* At(int Index) const;
  // The position of a hook that is in a sequence.
  static int PositionOf(const TPositionHook* Hook);
  // The first position whose hook Before(hook, position) rejects, where Before holds for
  // a leading run of the sequence (as "goes before" does in a sorted one); Count() when
  // it holds for all. A search over the blocks' first hooks that gallops from the front
  // (a list sorted newest first takes its changed rows near there), then a bisection
  // within one block.
  template <class TBefore>
  int PartitionPoint(TBefore Before) const;
  // Index 0..Count().
  void Insert(TPositionHook* Hook, int Index);
  void Remove(TPositionHook* Hook);
  // Replaces the whole sequence by Hooks, in that order, in linear time.
  void Assign(const std::vector<TPositionHook*>& Hooks);
  // Forgets every item; their hooks are left as they are.
  void Clear();

  struct TBlocks;

 private:
  // Blocks are made with the first item: most nodes of the grouped list never have
  // children.
  std::unique_ptr<TBlocks> blocks_;
  // The number of blocks, and the position of the first item of block Index.
  int BlockCount() const;
  int BlockStart(int Index) const;
  TPositionHook* const* BlockHooks(int Index, int& Size) const;
};

template <class TBefore>
int TPositionTree::PartitionPoint(TBefore Before) const {
  // The last block whose first hook goes before; the cut lies in it or at its end.
  // Blocks 0, 1, 3, 7 ... first, then a bisection between the last two probed.
  const int blocks = BlockCount();
  int lo = 0;
  int hi = blocks;
  for (int probe = 0; probe < blocks; probe = probe * 2 + 1) {
    int size = 0;
    if (!Before(BlockHooks(probe, size)[0], BlockStart(probe))) {
      hi = probe;
      break;
    }
    lo = probe + 1;
  }
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    int size = 0;
    TPositionHook* const* hooks = BlockHooks(mid, size);
    if (Before(hooks[0], BlockStart(mid))) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  if (lo == 0) return 0;
  const int block = lo - 1;
  const int start = BlockStart(block);
  int size = 0;
  TPositionHook* const* hooks = BlockHooks(block, size);
  int first = 1;  // the block's first hook goes before
  int last = size;
  while (first < last) {
    const int mid = first + (last - first) / 2;
    if (Before(hooks[mid], start + mid)) {
      first = mid + 1;
    } else {
      last = mid;
    }
  }
  return start + first;
}

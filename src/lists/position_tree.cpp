#include "lists/position_tree.h"

#include <algorithm>
#include <bit>

namespace {

// A block splits in two when it grows past this, and one that shrinks below a
// quarter of it joins a neighbour with room: one block is scanned in a few hundred
// nanoseconds, and the blocks' counts stay few.
constexpr int kMaxBlock = 256;
constexpr int kMinBlock = kMaxBlock / 8;

}  // namespace

struct TPositionBlock {
  TPositionTree::TBlocks* owner = nullptr;
  int index = 0;  // place among the owner's blocks
  std::vector<TPositionHook*> hooks;

  int Size() const { return static_cast<int>(hooks.size()); }
  int OffsetOf(const TPositionHook* Hook) const {
    return static_cast<int>(std::find(hooks.begin(), hooks.end(), Hook) - hooks.begin());
  }
};

struct TPositionTree::TBlocks {
  std::vector<std::unique_ptr<TPositionBlock>> list;
  // The blocks' sizes as a Fenwick tree (1-based): the items before a block, and the
  // block holding a position, in logarithmic time.
  std::vector<int> counts{0};
  int total = 0;

  int Blocks() const { return static_cast<int>(list.size()); }

  int Prefix(int Block) const {
    int sum = 0;
    for (int i = Block; i > 0; i -= i & -i) sum += counts[static_cast<size_t>(i)];
    return sum;
  }

  void Add(int Block, int Delta) {
    total += Delta;
    for (int i = Block + 1; i <= Blocks(); i += i & -i) counts[static_cast<size_t>(i)] += Delta;
  }

  // The block holding Position (< total) and the offset in it.
  int Find(int Position, int& Offset) const {
    int block = 0;
    int rest = Position;
    const int n = Blocks();
    for (int step = static_cast<int>(std::bit_floor(static_cast<unsigned>(n))); step > 0;
         step >>= 1) {
      if (block + step <= n && counts[static_cast<size_t>(block + step)] <= rest) {
        block += step;
        rest -= counts[static_cast<size_t>(block)];
      }
    }
    Offset = rest;
    return block;
  }

  // Places and counts anew after blocks came or went (from block From on).
  void Rebuild(int From) {
    for (int i = From; i < Blocks(); ++i) list[static_cast<size_t>(i)]->index = i;
    counts.assign(list.size() + 1, 0);
    for (int i = 1; i <= Blocks(); ++i) {
      counts[static_cast<size_t>(i)] += list[static_cast<size_t>(i - 1)]->Size();
      const int up = i + (i & -i);
      if (up <= Blocks()) counts[static_cast<size_t>(up)] += counts[static_cast<size_t>(i)];
    }
  }

  TPositionBlock* NewBlock(int At) {
    auto block = std::make_unique<TPositionBlock>();
    block->owner = this;
    TPositionBlock* made = block.get();
    list.insert(list.begin() + At, std::move(block));
    return made;
  }

  // Hooks From.. of a block go to Into (at its end, or its front when Front).
  static void MoveHooks(TPositionBlock& Block, int From, TPositionBlock& Into, bool Front) {
    const auto first = Block.hooks.begin() + From;
    for (auto it = first; it != Block.hooks.end(); ++it) (*it)->block = &Into;
    Into.hooks.insert(Front ? Into.hooks.begin() : Into.hooks.end(), first, Block.hooks.end());
    Block.hooks.erase(first, Block.hooks.end());
  }

  void SplitIfFull(TPositionBlock& Block) {
    if (Block.Size() <= kMaxBlock) return;
    TPositionBlock* upper = NewBlock(Block.index + 1);
    upper->hooks.reserve(kMaxBlock + 1);
    MoveHooks(Block, Block.Size() / 2, *upper, false);
    Rebuild(Block.index + 1);
  }

  // A block left small joins a neighbour with room; an empty one goes.
  void JoinIfSmall(TPositionBlock& Block) {
    const int at = Block.index;
    if (Block.Size() >= kMinBlock) return;
    TPositionBlock* into = nullptr;
    bool front = false;
    if (at > 0 && list[static_cast<size_t>(at - 1)]->Size() + Block.Size() <= kMaxBlock) {
      into = list[static_cast<size_t>(at - 1)].get();
    } else if (at + 1 < Blocks() &&
               list[static_cast<size_t>(at + 1)]->Size() + Block.Size() <= kMaxBlock) {
      into = list[static_cast<size_t>(at + 1)].get();
      front = true;
    }
    if (Block.Size() > 0) {
      if (!into) return;
      MoveHooks(Block, 0, *into, front);
    }
    list.erase(list.begin() + at);
    Rebuild(at);
  }
};

TPositionTree::TPositionTree() = default;
TPositionTree::~TPositionTree() = default;

int TPositionTree::Count() const {
  return blocks_ ? blocks_->total : 0;
}

int TPositionTree::BlockCount() const {
  return blocks_ ? blocks_->Blocks() : 0;
}

int TPositionTree::BlockStart(int Index) const {
  return blocks_->Prefix(Index);
}

TPositionHook* const* TPositionTree::BlockHooks(int Index, int& Size) const {
  const TPositionBlock& block = *blocks_->list[static_cast<size_t>(Index)];
  Size = block.Size();
  return block.hooks.data();
}

TPositionHook* TPositionTree::At(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  int offset = 0;
  const int block = blocks_->Find(Index, offset);
  return blocks_->list[static_cast<size_t>(block)]->hooks[static_cast<size_t>(offset)];
}

int TPositionTree::PositionOf(const TPositionHook* Hook) {
  const TPositionBlock* block = Hook->block;
  if (!block) return 0;
  return block->owner->Prefix(block->index) + block->OffsetOf(Hook);
}

void TPositionTree::Insert(TPositionHook* Hook, int Index) {
  if (!blocks_) blocks_ = std::make_unique<TBlocks>();
  TBlocks& blocks = *blocks_;
  if (blocks.list.empty()) {
    blocks.NewBlock(0)->hooks.reserve(kMaxBlock + 1);
    blocks.Rebuild(0);
  }
  Index = std::clamp(Index, 0, blocks.total);
  int offset = 0;
  int at = Index == blocks.total ? blocks.Blocks() : blocks.Find(Index, offset);
  if (at == blocks.Blocks()) {
    // The end: after the last item of the last block.
    at = blocks.Blocks() - 1;
    offset = blocks.list.back()->Size();
  }
  TPositionBlock& block = *blocks.list[static_cast<size_t>(at)];
  block.hooks.insert(block.hooks.begin() + offset, Hook);
  Hook->block = &block;
  blocks.Add(at, 1);
  blocks.SplitIfFull(block);
}

void TPositionTree::Remove(TPositionHook* Hook) {
  TPositionBlock* block = Hook->block;
  if (!block) return;
  TBlocks& blocks = *block->owner;
  block->hooks.erase(block->hooks.begin() + block->OffsetOf(Hook));
  Hook->block = nullptr;
  blocks.Add(block->index, -1);
  blocks.JoinIfSmall(*block);
}

void TPositionTree::Assign(const std::vector<TPositionHook*>& Hooks) {
  if (!blocks_) blocks_ = std::make_unique<TBlocks>();
  TBlocks& blocks = *blocks_;
  blocks.list.clear();
  // Half-full blocks: the next inserts find room.
  constexpr size_t kFill = kMaxBlock / 2;
  for (size_t first = 0; first < Hooks.size(); first += kFill) {
    TPositionBlock* block = blocks.NewBlock(blocks.Blocks());
    block->hooks.reserve(kMaxBlock + 1);
    const size_t last = std::min(Hooks.size(), first + kFill);
    for (size_t i = first; i < last; ++i) {
      Hooks[i]->block = block;
      block->hooks.push_back(Hooks[i]);
    }
  }
  blocks.total = static_cast<int>(Hooks.size());
  blocks.Rebuild(0);
}

void TPositionTree::Clear() {
  blocks_.reset();
}

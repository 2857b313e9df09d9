#include "lists/position_tree.h"

namespace {

int SizeOf(const TPositionHook* Hook) {
  return Hook ? Hook->size : 0;
}

void Update(TPositionHook* Hook) {
  Hook->size = 1 + SizeOf(Hook->left) + SizeOf(Hook->right);
  if (Hook->left) Hook->left->up = Hook;
  if (Hook->right) Hook->right->up = Hook;
}

// Joins two trees, every item of A before every item of B.
TPositionHook* Merge(TPositionHook* A, TPositionHook* B) {
  if (!A) return B;
  if (!B) return A;
  if (A->priority > B->priority) {
    A->right = Merge(A->right, B);
    Update(A);
    return A;
  }
  B->left = Merge(A, B->left);
  Update(B);
  return B;
}

// Cuts Tree into its first Count items (A) and the rest (B).
void Split(TPositionHook* Tree, int Count, TPositionHook*& A, TPositionHook*& B) {
  if (!Tree) {
    A = B = nullptr;
    return;
  }
  if (SizeOf(Tree->left) >= Count) {
    Split(Tree->left, Count, A, Tree->left);
    Update(Tree);
    B = Tree;
  } else {
    Split(Tree->right, Count - SizeOf(Tree->left) - 1, Tree->right, B);
    Update(Tree);
    A = Tree;
  }
}

}  // namespace

std::uint32_t TPositionTree::NextPriority() {
  // xorshift32: the shape only needs priorities that look random, not good ones.
  seed_ ^= seed_ << 13;
  seed_ ^= seed_ >> 17;
  seed_ ^= seed_ << 5;
  return seed_;
}

TPositionHook* TPositionTree::At(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  TPositionHook* hook = root_;
  while (hook) {
    const int left = SizeOf(hook->left);
    if (Index < left) {
      hook = hook->left;
    } else if (Index == left) {
      return hook;
    } else {
      Index -= left + 1;
      hook = hook->right;
    }
  }
  return nullptr;
}

int TPositionTree::PositionOf(const TPositionHook* Hook) {
  int position = SizeOf(Hook->left);
  for (const TPositionHook* h = Hook; h->up; h = h->up) {
    if (h->up->right == h) position += SizeOf(h->up->left) + 1;
  }
  return position;
}

void TPositionTree::Insert(TPositionHook* Hook, int Index) {
  *Hook = TPositionHook{};
  Hook->priority = NextPriority();
  TPositionHook* a = nullptr;
  TPositionHook* b = nullptr;
  Split(root_, Index, a, b);
  root_ = Merge(Merge(a, Hook), b);
  root_->up = nullptr;
}

void TPositionTree::Remove(TPositionHook* Hook) {
  TPositionHook* parent = Hook->up;
  TPositionHook* joined = Merge(Hook->left, Hook->right);
  if (joined) joined->up = parent;
  if (!parent) {
    root_ = joined;
  } else {
    (parent->left == Hook ? parent->left : parent->right) = joined;
    for (TPositionHook* h = parent; h; h = h->up) h->size = 1 + SizeOf(h->left) + SizeOf(h->right);
  }
  *Hook = TPositionHook{};
}

// A Cartesian tree over the new order: each hook hangs below the last one on the stack
// with a higher priority, which is the treap's shape for that order.
void TPositionTree::Assign(const std::vector<TPositionHook*>& Hooks) {
  std::vector<TPositionHook*> spine;
  for (TPositionHook* hook : Hooks) {
    *hook = TPositionHook{};
    hook->priority = NextPriority();
    TPositionHook* last = nullptr;
    while (!spine.empty() && spine.back()->priority < hook->priority) {
      last = spine.back();
      spine.pop_back();
    }
    hook->left = last;
    if (!spine.empty()) spine.back()->right = hook;
    spine.push_back(hook);
  }
  root_ = spine.empty() ? nullptr : spine.front();
  if (root_) root_->up = nullptr;
  // Sizes bottom-up: children before parents is the reverse of a pre-order walk.
  std::vector<TPositionHook*> order;
  order.reserve(Hooks.size());
  std::vector<TPositionHook*> stack;
  if (root_) stack.push_back(root_);
  while (!stack.empty()) {
    TPositionHook* h = stack.back();
    stack.pop_back();
    order.push_back(h);
    if (h->left) stack.push_back(h->left);
    if (h->right) stack.push_back(h->right);
  }
  for (auto it = order.rbegin(); it != order.rend(); ++it) Update(*it);
}

#include "platform/sys/component.h"

#include "platform/text/sysutils.h"

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner) {
  if (!owner_) return;
  // Many holes would make the list grow without end while components come and go.
  if (owner_->holes_ > owner_->components_.size() / 2) owner_->Compact();
  owner_slot_ = owner_->components_.size();
  owner_->components_.emplace_back(this);
}

TComponent::~TComponent() {
  // Free the owned components last to first; each is taken out of the list before it
  // runs its destructor, so it does not try to remove itself again.
  while (!components_.empty()) {
    std::unique_ptr<TComponent> last = std::move(components_.back());
    components_.pop_back();
    if (!last) continue;
    last->owner_ = nullptr;
  }
  if (owner_) {
    auto& siblings = owner_->components_;
    if (owner_slot_ < siblings.size() && siblings[owner_slot_].get() == this) {
      siblings[owner_slot_].release();  // we are being destroyed already
      if (owner_slot_ + 1 == siblings.size()) {
        siblings.pop_back();
      } else {
        ++owner_->holes_;
      }
    }
  }
}

void TComponent::Compact() const {
  if (holes_ == 0) return;
  size_t kept = 0;
  for (auto& component : components_) {
    if (!component) continue;
    component->owner_slot_ = kept;
    components_[kept++] = std::move(component);
  }
  components_.resize(kept);
  holes_ = 0;
}

int TComponent::ComponentCount() const {
  Compact();
  return static_cast<int>(components_.size());
}

TComponent* TComponent::Components(int Index) const {
  Compact();
  if (Index < 0 || Index >= static_cast<int>(components_.size())) return nullptr;
  return components_[static_cast<size_t>(Index)].get();
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
  if (AName.empty()) return nullptr;
  for (const auto& c : components_) {
    if (c && SameText(c->Name, AName)) return c.get();
  }
  return nullptr;
}

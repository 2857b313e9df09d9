#include "platform/sys/component.h"

#include <algorithm>

#include "platform/text/sysutils.h"

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner) {
  if (owner_) owner_->components_.emplace_back(this);
}

TComponent::~TComponent() {
  // Free the owned components last to first; each is taken out of the list before it
  // runs its destructor, so it does not try to remove itself again.
  while (!components_.empty()) {
    std::unique_ptr<TComponent> last = std::move(components_.back());
    components_.pop_back();
    last->owner_ = nullptr;
  }
  if (owner_) {
    auto& siblings = owner_->components_;
    auto it =
        std::find_if(siblings.begin(), siblings.end(),
                     [this](const std::unique_ptr<TComponent>& c) { return c.get() == this; });
    if (it != siblings.end()) {
      it->release();  // we are being destroyed already
      siblings.erase(it);
    }
  }
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) return nullptr;
  return components_[static_cast<size_t>(Index)].get();
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
  if (AName.empty()) return nullptr;
  for (const auto& c : components_) {
    if (SameText(c->Name, AName)) return c.get();
  }
  return nullptr;
}

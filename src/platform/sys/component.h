// The root of everything that has a name and an owner: controls, forms, timers.
//
// An owner keeps its components alive and frees them, last created first, when it is
// freed itself. A component is created with its owner and registers itself there, so
// `new TTimer(form)` hands the timer to the form. A component freed on its own first
// leaves its owner's list, so nothing is freed twice. Language files find a control by
// its form's FindComponent and its class name, which is why both are here.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TComponent;

using TNotifyEvent = std::function<void(TComponent* Sender)>;

class TComponent {
 public:
  // AOwner may be null: the caller then owns the component.
  explicit TComponent(TComponent* AOwner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  std::string Name;
  int Tag = 0;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const;
  // Index is 0-based; out of range gives null.
  TComponent* Components(int Index) const;
  // Owned component with that name, compared case-insensitively (ASCII); null if none.
  TComponent* FindComponent(std::string_view AName) const;

  virtual std::string ClassName() const { return "TComponent"; }

 private:
  // Drops the places left empty by freed components.
  void Compact() const;

  TComponent* owner_ = nullptr;
  // Where we sit in the owner's list: a window owns thousands of map markers, which
  // come and go all the time, so a component leaves its place empty instead of being
  // searched for and the list closed up behind it; the holes go in one pass later.
  size_t owner_slot_ = 0;
  mutable std::vector<std::unique_ptr<TComponent>> components_;
  mutable size_t holes_ = 0;
};

#include "platform/sys/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the order in which components are freed.
class Tracked : public TComponent {
 public:
  Tracked(TComponent* owner, std::string name, std::vector<std::string>& log)
      : TComponent(owner), log_(log) {
    Name = std::move(name);
  }
  ~Tracked() override { log_.push_back(Name); }
  std::string ClassName() const override { return "TTracked"; }

 private:
  std::vector<std::string>& log_;
};

}  // namespace

TEST(Component, OwnerFreesItsComponentsLastCreatedFirstAndDeeply) {
  std::vector<std::string> freed;
  {
    TComponent form;
    auto* panel = new Tracked(&form, "pnlTop", freed);
    new Tracked(panel, "btnOk", freed);
    new Tracked(&form, "timTick", freed);
    EXPECT_EQ(form.ComponentCount(), 2);
    EXPECT_EQ(panel->ComponentCount(), 1);
    EXPECT_EQ(panel->Owner(), &form);
  }
  // A component's own destructor runs before it frees what it owns.
  EXPECT_EQ(freed, (std::vector<std::string>{"timTick", "pnlTop", "btnOk"}));
}

TEST(Component, FreedFirstLeavesItsOwnersListSoNothingIsFreedTwice) {
  std::vector<std::string> freed;
  {
    TComponent form;
    auto* first = new Tracked(&form, "a", freed);
    new Tracked(&form, "b", freed);
    delete first;
    ASSERT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0)->Name, "b");
    EXPECT_EQ(form.Components(1), nullptr);
    EXPECT_EQ(form.Components(-1), nullptr);
  }
  EXPECT_EQ(freed, (std::vector<std::string>{"a", "b"}));
}

TEST(Component, FindComponentIgnoresCaseAndLooksOnlyAtOwnedComponents) {
  std::vector<std::string> freed;
  TComponent form;
  auto* panel = new Tracked(&form, "mpnlBottom", freed);
  new Tracked(panel, "rdMonitor", freed);
  EXPECT_EQ(form.FindComponent("MPNLBOTTOM"), panel);
  EXPECT_EQ(form.FindComponent("rdMonitor"), nullptr);
  EXPECT_EQ(form.FindComponent(""), nullptr);
  EXPECT_EQ(form.FindComponent("mpnlBottom")->ClassName(), "TTracked");
  EXPECT_EQ(form.ClassName(), "TComponent");
}

TEST(Component, ManyFreedInAnyOrderLeaveTheOthersInCreationOrder) {
  std::vector<std::string> freed;
  {
    TComponent form;
    std::vector<Tracked*> made;
    for (int i = 0; i < 100; ++i) made.push_back(new Tracked(&form, std::to_string(i), freed));
    // Every other one from the front, then the last: the rest keep their order, and
    // new ones come after them.
    for (int i = 0; i < 100; i += 2) delete made[static_cast<size_t>(i)];
    delete made[99];
    new Tracked(&form, "new", freed);
    ASSERT_EQ(form.ComponentCount(), 50);
    EXPECT_EQ(form.Components(0)->Name, "1");
    EXPECT_EQ(form.Components(48)->Name, "97");
    EXPECT_EQ(form.Components(49)->Name, "new");
    EXPECT_EQ(form.FindComponent("51")->Name, "51");
    EXPECT_EQ(form.FindComponent("50"), nullptr);
    freed.clear();
  }
  ASSERT_EQ(freed.size(), 50u);
  EXPECT_EQ(freed.front(), "new");
  EXPECT_EQ(freed.back(), "1");
}

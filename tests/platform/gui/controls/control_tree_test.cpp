#include <gtest/gtest.h>

#include <memory>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/standard/splitter.h"
#include "platform/test_support/gui_test_support.h"
#include "test_controls.h"

namespace {

// Notes in a shared list when it is freed.
class TTracked : public TGraphicControl {
 public:
  TTracked(TComponent* owner, std::vector<std::string>& freed)
      : TGraphicControl(owner), freed_(freed) {}
  ~TTracked() override { freed_.push_back(Name); }

 private:
  std::vector<std::string>& freed_;
};

}  // namespace

TEST(ControlTree, ParentFreesItsChildrenWhetherOwnedElsewhereOrNot) {
  std::vector<std::string> freed;
  TForm form(nullptr);
  auto* panel = new TWinControl(&form);
  panel->Name = "pnl";
  panel->SetParent(&form);
  auto* owned = new TTracked(&form, freed);  // the form owns it, the panel holds it
  owned->Name = "owned";
  owned->SetParent(panel);
  auto* orphan = new TTracked(nullptr, freed);  // nobody owns it: its parent frees it
  orphan->Name = "orphan";
  orphan->SetParent(panel);
  ASSERT_EQ(form.ComponentCount(), 2);

  std::unique_ptr<TWinControl>(panel).reset();

  EXPECT_EQ(freed, (std::vector<std::string>{"orphan", "owned"}));
  EXPECT_EQ(form.ComponentCount(), 0);  // neither is freed a second time with the form
  EXPECT_EQ(form.FindComponent("owned"), nullptr);
  EXPECT_EQ(form.ControlCount(), 0);
}

TEST(ControlTree, OwnerFreesControlsOnOtherParentsAndTheyLeaveThoseParents) {
  std::vector<std::string> freed;
  TForm host(nullptr);
  {
    TForm owner(nullptr);
    auto* tracked = new TTracked(&owner, freed);
    tracked->Name = "lbl";
    tracked->SetParent(&host);
    EXPECT_EQ(owner.FindComponent("LBL"), tracked);
    EXPECT_EQ(host.ControlCount(), 1);
  }
  EXPECT_EQ(freed, std::vector<std::string>{"lbl"});
  EXPECT_EQ(host.ControlCount(), 0);
}

TEST(ControlTree, ReparentingMovesTheControlAndCyclesAreRefused) {
  TForm form(nullptr);
  auto* outer = new TWinControl(&form);
  outer->SetParent(&form);
  auto* inner = new TWinControl(&form);
  inner->SetParent(outer);
  EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
  EXPECT_THROW(outer->SetParent(outer), EInvalidOperation);
  EXPECT_EQ(outer->Parent(), &form);

  inner->SetParent(&form);
  EXPECT_EQ(outer->ControlCount(), 0);
  EXPECT_EQ(form.ControlCount(), 2);
  inner->SetParent(nullptr);
  EXPECT_EQ(form.ControlCount(), 1);
}

TEST(ControlTree, WindowlessChildrenStayBelowWindowedOnesInZOrder) {
  TForm form(nullptr);
  auto* a = new TBox(&form, &form, Bounds(0, 0, 10, 10), clRed);
  auto* w = new TWinControl(&form);
  w->SetParent(&form);
  auto* b = new TBox(&form, &form, Bounds(0, 0, 10, 10), clBlue);
  ASSERT_EQ(form.ControlCount(), 3);
  EXPECT_EQ(form.Controls(0), a);
  EXPECT_EQ(form.Controls(1), b);
  EXPECT_EQ(form.Controls(2), w);
  EXPECT_EQ(form.Controls(3), nullptr);

  a->BringToFront();
  EXPECT_EQ(form.Controls(0), b);
  EXPECT_EQ(form.Controls(1), a);
  EXPECT_EQ(form.Controls(2), w);
}

// Many windowless children leave at once: they keep their owner and can come back; the
// rest keep their places, z-order and hit testing.
TEST(ControlTree, WindowlessChildrenLeaveTheirParentAtOnce) {
  TForm form(nullptr);
  std::vector<TBox*> boxes;
  for (int i = 0; i < 6; ++i) {
    boxes.push_back(new TBox(&form, &form, Bounds(i, i, 10, 10), RGB(10 * i, 0, 0)));
  }
  auto* w = new TWinControl(&form);
  w->SetParent(&form);
  boxes[1]->BringToFront();
  form.RemoveChildren([&](TControl& child) {
    return &child == boxes[0] || &child == boxes[3] || &child == boxes[4];
  });
  ASSERT_EQ(form.ControlCount(), 4);
  EXPECT_EQ(form.Controls(0), boxes[2]);
  EXPECT_EQ(form.Controls(1), boxes[5]);
  EXPECT_EQ(form.Controls(2), boxes[1]);
  EXPECT_EQ(form.Controls(3), w);
  for (int i : {0, 3, 4}) {
    EXPECT_EQ(boxes[i]->Parent(), nullptr);
    EXPECT_EQ(boxes[i]->Owner(), &form);
  }
  EXPECT_EQ(form.ControlAtPos(Point(4, 4)), boxes[1]);
  EXPECT_EQ(form.ControlAtPos(Point(13, 13)), boxes[5]);
  EXPECT_EQ(form.ControlAtPos(Point(0, 0)), nullptr);
  boxes[2]->BringToFront();
  EXPECT_EQ(form.ControlAtPos(Point(4, 4)), boxes[2]);
  // One that left comes back on top; the others are untouched when it leaves again.
  boxes[3]->SetParent(&form);
  EXPECT_EQ(form.ControlAtPos(Point(4, 4)), boxes[3]);
  boxes[3]->SetParent(nullptr);
  EXPECT_EQ(form.ControlCount(), 4);
  EXPECT_EQ(form.ControlAtPos(Point(4, 4)), boxes[2]);
}

TEST(ControlTree, SizesAreNeverNegativeAndClientCoordinatesFollowTheParents) {
  TForm form(nullptr);
  form.SetBounds(100, 50, 300, 200);
  auto* panel = new TWinControl(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 20, 100, 100);
  auto* box = new TBox(&form, panel, Bounds(5, 6, 10, 10), clRed);
  box->SetWidth(-4);
  EXPECT_EQ(box->Width(), 0);
  const TPoint formOrigin = form.ClientToScreen(Point(0, 0));
  EXPECT_EQ(box->ClientToScreen(Point(1, 1)), Point(formOrigin.X + 16, formOrigin.Y + 27));
  EXPECT_EQ(box->ScreenToClient(Point(formOrigin.X + 16, formOrigin.Y + 27)), Point(1, 1));
}

TEST(Align, ChildrenShareTheClientAreaTopBottomLeftRightThenClient) {
  TForm form(nullptr);
  form.SetClientSize(200, 100);
  auto make = [&](TAlign align, TRect bounds) {
    auto* c = new TWinControl(&form);
    c->SetBoundsRect(bounds);
    c->SetParent(&form);
    c->SetAlign(align);
    return c;
  };
  TWinControl* client = make(alClient, Bounds(0, 0, 1, 1));
  TWinControl* top2 = make(alTop, Bounds(0, 50, 10, 15));  // laid out below top1
  TWinControl* top1 = make(alTop, Bounds(0, 0, 10, 20));
  TWinControl* bottom = make(alBottom, Bounds(0, 0, 10, 10));
  TWinControl* left = make(alLeft, Bounds(0, 0, 30, 10));
  TWinControl* right = make(alRight, Bounds(0, 0, 25, 10));

  EXPECT_EQ(top1->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(top2->BoundsRect(), Rect(0, 20, 200, 35));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 90, 200, 100));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 35, 30, 90));
  EXPECT_EQ(right->BoundsRect(), Rect(175, 35, 200, 90));
  EXPECT_EQ(client->BoundsRect(), Rect(30, 35, 175, 90));

  int resized = 0;
  client->OnResize = [&](TComponent*) { ++resized; };
  form.SetClientSize(300, 100);
  EXPECT_EQ(client->BoundsRect(), Rect(30, 35, 275, 90));
  EXPECT_EQ(resized, 1);

  // A hidden aligned child gives its room back.
  top1->Hide();
  EXPECT_EQ(top2->BoundsRect(), Rect(0, 0, 300, 15));
  EXPECT_EQ(client->BoundsRect(), Rect(30, 15, 275, 90));
}

TEST(Align, AChildLargerThanTheRoomLeftGetsNoNegativeSpace) {
  TForm form(nullptr);
  form.SetClientSize(100, 40);
  auto* top = new TWinControl(&form);
  top->SetBounds(0, 0, 10, 30);
  top->SetParent(&form);
  top->SetAlign(alTop);
  auto* bottom = new TWinControl(&form);
  bottom->SetBounds(0, 0, 10, 30);
  bottom->SetParent(&form);
  bottom->SetAlign(alBottom);
  auto* client = new TWinControl(&form);
  client->SetParent(&form);
  client->SetAlign(alClient);
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 30, 100, 60));
  EXPECT_EQ(client->Height(), 0);
}

// A window builds its bottom stack before it has any room: the monitor at the edge, the
// splitter placed on its top, a bar placed on the splitter's top. Laid out in no room and
// again, the stack must come out in that order once the room is there.
TEST(Align, ABottomStackKeepsItsOrderWhileTheParentHasNoRoom) {
  TForm form(nullptr);
  form.SetClientSize(400, 400);
  auto* parent = new TWinControl(&form);
  parent->SetParent(&form);
  parent->SetBounds(0, 0, 200, 0);
  auto* monitor = new TWinControl(&form);
  monitor->SetParent(parent);
  monitor->SetAlign(alBottom);
  monitor->SetHeight(150);
  auto* splitter = new TSplitter(&form);
  splitter->SetParent(parent);  // aligned to the left at first, as every new splitter
  splitter->SetAlign(alBottom);
  splitter->SetBounds(0, monitor->Top() - 4, 200, 4);
  auto* bar = new TWinControl(&form);
  bar->SetBounds(0, splitter->Top() - 24, 200, 24);
  bar->SetParent(parent);
  bar->SetAlign(alBottom);
  auto* client = new TWinControl(&form);
  client->SetParent(parent);
  client->SetAlign(alClient);

  auto expectStack = [&](int bottom) {
    EXPECT_EQ(monitor->BoundsRect().Bottom, bottom);
    EXPECT_EQ(splitter->BoundsRect(), Rect(0, monitor->Top() - 4, 200, monitor->Top()));
    EXPECT_EQ(bar->BoundsRect(), Rect(0, splitter->Top() - 24, 200, splitter->Top()));
  };
  {
    SCOPED_TRACE("no room");
    expectStack(monitor->BoundsRect().Bottom);
    EXPECT_EQ(bar->Top(), 0);  // the stack hangs below the parent, not above it
    EXPECT_EQ(client->Height(), 0);
    monitor->SetHeight(120);
    parent->SetHeight(-5);
    expectStack(monitor->BoundsRect().Bottom);
    EXPECT_EQ(client->Height(), 0);
  }
  {
    SCOPED_TRACE("room");
    parent->SetHeight(300);
    expectStack(300);
    EXPECT_EQ(monitor->Height(), 120);
    EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 200, bar->Top()));
  }
  {
    SCOPED_TRACE("dragged up");
    SimulateMouseDown(*splitter, mbLeft, 10, 2);
    SimulateMouseMove(*splitter, 10, -38, ssLeft);
    SimulateMouseUp(*splitter, mbLeft, 10, -38);
    EXPECT_EQ(monitor->Height(), 160);
    expectStack(300);
    EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 200, bar->Top()));
  }
}

TEST(GetParentForm, WalksUpToTheFormAControlSitsOn) {
  TForm form(nullptr);
  auto* panel = new TWinControl(&form);
  panel->SetParent(&form);
  auto* box = new TBox(&form, panel, Bounds(0, 0, 5, 5), clRed);
  EXPECT_EQ(GetParentForm(*box), &form);
  TBox loose(nullptr, nullptr, Bounds(0, 0, 5, 5), clRed);
  EXPECT_EQ(GetParentForm(loose), nullptr);
}

TEST(ControlTree, NewControlIsOwnedNamedParentedAndPlaced) {
  TForm form(nullptr);
  form.SetClientSize(200, 100);
  auto* top = NewControl<TWinControl>(&form, &form, "pnlTop", alTop);
  top->SetHeight(30);
  auto* placed = NewControl<TGraphicControl>(&form, top, "lblPlaced", 5, 6, 70, 8);
  auto* loose = NewControl<TGraphicControl>(&form, top, "lblLoose");

  EXPECT_EQ(form.FindComponent("lblPlaced"), placed);
  EXPECT_EQ(form.FindComponent("lblLoose"), loose);
  EXPECT_EQ(placed->Parent(), top);
  EXPECT_EQ(loose->Parent(), top);
  EXPECT_EQ((std::vector<int>{placed->Left(), placed->Top(), placed->Width(), placed->Height()}),
            (std::vector<int>{5, 6, 70, 8}));
  EXPECT_EQ((std::vector<int>{loose->Left(), loose->Top()}), (std::vector<int>{0, 0}));
  // Aligned: it takes the parent's width at its top.
  EXPECT_EQ((std::vector<int>{top->Left(), top->Top(), top->Width(), top->Height()}),
            (std::vector<int>{0, 0, 200, 30}));
}

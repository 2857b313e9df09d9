#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "platform/gui/controls/forms.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "test_controls.h"

namespace {

// A form with two overlapping windowless boxes: a (10,10)-(40,40) below b (30,30)-(60,60).
struct MouseRouting : ::testing::Test {
  MouseRouting() {
    form.Name = "form";
    form.SetBounds(0, 0, 100, 100);
    a = new TBox(&form, &form, Bounds(10, 10, 30, 30), clRed);
    a->Name = "a";
    b = new TBox(&form, &form, Bounds(30, 30, 30, 30), clBlue);
    b->Name = "b";
    log.Watch(form);
    log.Watch(*a);
    log.Watch(*b);
  }
  TForm form{nullptr};
  TBox* a;
  TBox* b;
  TEventLog log;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(MouseRouting, TheTopmostChildUnderThePointGetsTheClickInItsOwnCoordinates) {
  SimulateClick(form, 35, 35);  // where both overlap
  EXPECT_EQ(log.Take(), (Lines{"b:Down(5,5)", "b:Click", "b:Up(5,5)"}));

  a->BringToFront();
  SimulateClick(form, 35, 35);
  EXPECT_EQ(log.Take(), (Lines{"a:Down(25,25)", "a:Click", "a:Up(25,25)"}));

  SimulateClick(form, 5, 80);  // on no child: the form itself
  EXPECT_EQ(log.Take(), (Lines{"form:Down(5,80)", "form:Click", "form:Up(5,80)"}));
}

TEST_F(MouseRouting, EdgesFollowTheRectangleConvention) {
  SimulateClick(form, 59, 59);  // b's last pixel
  SimulateClick(form, 60, 60);  // just outside b
  EXPECT_EQ(log.Take(), (Lines{"b:Down(29,29)", "b:Click", "b:Up(29,29)", "form:Down(60,60)",
                               "form:Click", "form:Up(60,60)"}));
}

TEST_F(MouseRouting, HiddenAndDisabledChildrenLetTheMouseThrough) {
  b->Hide();
  SimulateClick(form, 35, 35);
  EXPECT_EQ(log.Take()[0], "a:Down(25,25)");
  a->SetEnabled(false);
  SimulateClick(form, 35, 35);
  EXPECT_EQ(log.Take()[0], "form:Down(35,35)");
}

TEST_F(MouseRouting, AChildKeepsTheMouseWhileAButtonIsDownAndClicksOnlyWhenReleasedOverIt) {
  SimulateMouseMove(form, 50, 50);
  SimulateMouseDown(form, mbLeft, 50, 50);
  SimulateMouseMove(form, 90, 5, ssLeft);
  SimulateMouseUp(form, mbLeft, 90, 5);
  EXPECT_EQ(log.Take(), (Lines{"b:Enter", "b:Move(20,20)", "b:Down(20,20)", "b:Leave",
                               "b:Move(60,-25)", "b:Up(60,-25)"}));

  // Capture ends with the release: the next move is the form's again.
  SimulateMouseMove(form, 90, 5);
  EXPECT_EQ(log.Take(), (Lines{"form:Move(90,5)"}));
}

TEST_F(MouseRouting, RightButtonDoesNotClick) {
  SimulateMouseDown(form, mbRight, 50, 50);
  SimulateMouseUp(form, mbRight, 50, 50);
  EXPECT_EQ(log.Take(), (Lines{"b:DownR(20,20)", "b:Up(20,20)"}));
}

TEST_F(MouseRouting, ADoubleClickClicksOnceThenReportsTheDoubleClick) {
  SimulateDblClick(form, 50, 50);
  EXPECT_EQ(log.Take(), (Lines{"b:Down(20,20)", "b:Click", "b:Up(20,20)", "b:DblClick",
                               "b:Down2(20,20)", "b:Up(20,20)"}));
}

TEST_F(MouseRouting, MovingAcrossChildrenEntersAndLeavesThem) {
  SimulateMouseMove(form, 5, 5);
  SimulateMouseMove(form, 15, 15);
  SimulateMouseMove(form, 35, 35);
  SimulateMouseLeave(form);
  EXPECT_EQ(log.Take(), (Lines{"form:Move(5,5)", "a:Enter", "a:Move(5,5)", "a:Leave", "b:Enter",
                               "b:Move(5,5)", "b:Leave", "form:Leave"}));
}

TEST_F(MouseRouting, AWindowedChildHandlesItsOwnMouseAndDoesNotPassItOn) {
  auto* panel = new TWinControl(&form);
  panel->Name = "panel";
  panel->SetBounds(50, 0, 40, 20);
  panel->SetParent(&form);
  log.Watch(*panel);
  SimulateClick(*panel, 3, 4);
  EXPECT_EQ(log.Take(), (Lines{"panel:Down(3,4)", "panel:Click", "panel:Up(3,4)"}));
}

TEST_F(MouseRouting, AnExceptionFromAHandlerReachesTheApplicationAndInputGoesOn) {
  std::vector<std::string> reported;
  Application->OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
  b->OnClick = [](TComponent*) { throw std::runtime_error("click failed"); };
  SimulateClick(form, 50, 50);
  SimulateClick(form, 50, 50);
  Application->OnException = nullptr;
  EXPECT_EQ(reported, (Lines{"click failed", "click failed"}));
  // OnMouseUp still ran after the failing OnClick.
  EXPECT_EQ(log.Take(), (Lines{"b:Down(20,20)", "b:Up(20,20)", "b:Down(20,20)", "b:Up(20,20)"}));
}

TEST_F(MouseRouting, AHandlerMayFreeTheControlItWasCalledFor) {
  b->OnClick = [this](TComponent*) { std::unique_ptr<TBox>(b).reset(); };
  SimulateClick(form, 50, 50);
  EXPECT_EQ(log.Take(), (Lines{"b:Down(20,20)"}));  // no Up for a freed control
  SimulateClick(form, 50, 50);
  EXPECT_EQ(log.Take(), (Lines{"form:Down(50,50)", "form:Click", "form:Up(50,50)"}));

  // A control freed while it holds the mouse lets go of it.
  a->OnMouseDown = [this](TComponent*, TMouseButton, TShiftState, int, int) {
    std::unique_ptr<TBox>(a).reset();
  };
  SimulateMouseDown(form, mbLeft, 15, 15);
  SimulateMouseMove(form, 16, 16, ssLeft);
  SimulateMouseUp(form, mbLeft, 16, 16);
  EXPECT_EQ(log.Take(), (Lines{"form:Move(16,16)", "form:Up(16,16)"}));
}

TEST_F(MouseRouting, AMouseLeaveHandlerMayFreeTheChildThatWasEntered) {
  SimulateMouseMove(form, 15, 15);
  a->OnMouseLeave = [this](TComponent*) { std::unique_ptr<TBox>(b).reset(); };
  SimulateMouseMove(form, 50, 50);
  EXPECT_EQ(log.Take(), (Lines{"a:Enter", "a:Move(5,5)", "form:Move(50,50)"}));
}

TEST_F(MouseRouting, AWindowedControlMayFreeItselfFromItsOwnClick) {
  auto* panel = new TWinControl(&form);
  panel->SetBounds(50, 0, 40, 20);
  panel->SetParent(&form);
  panel->OnClick = [panel](TComponent*) { std::unique_ptr<TWinControl>(panel).reset(); };
  panel->OnMouseUp = [](TComponent*, TMouseButton, TShiftState, int, int) { FAIL() << "freed"; };
  SimulateClick(*panel, 3, 4);
  EXPECT_EQ(form.ControlCount(), 2);
  Application->ProcessMessages();  // its widget goes once the event is over
}

// The viewer's drop target turns drags delivered through the platform's drag layer
// (scripted drags: the events and their routing are the real ones) into the scroller's
// drag hooks, in their order, and decides the effect around them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/forms.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rd_drop_target.h"
#include "richtext/view/rich_doc.h"

namespace {

std::string EffectName(TDropEffects effect) {
  switch (effect) {
    case deNone:
      return "none";
    case deCopy:
      return "copy";
    case deMove:
      return "move";
    case deLink:
      return "link";
    default:
      return "?";
  }
}

std::string At(TPoint pt) {
  return " " + std::to_string(pt.X) + "," + std::to_string(pt.Y);
}

// A viewer that takes text, at points left of x = 150, and writes down what its hooks
// hear.
class TRecordingViewer : public TRichDoc {
 public:
  using TRichDoc::TRichDoc;
  std::vector<std::string> log;
  bool takesDrags = true;
  TDropEffect dropAnswer = deCopy;

 protected:
  bool OleCanAcceptFormat(const std::string& Format) override {
    log.push_back("format " + Format);
    return Format == "text/plain";
  }
  void OleDragEnter(const TDataObject& Data, TShiftState, TDropEffect& Effect, TDropEffects Allowed,
                    TPoint Pt) override {
    log.push_back("enter " + EffectName(Effect) + " of " + std::to_string(Allowed) + At(Pt) +
                  (Data.HasFormat("text/plain") ? " with text" : ""));
  }
  bool OleCanDropAt(int X, int Y) override {
    log.push_back("takes" + At(Point(X, Y)));
    return takesDrags;
  }
  bool OleDragOverAt(int X, int Y) override {
    log.push_back("over" + At(Point(X, Y)));
    return X < 150;
  }
  void OleDragOver(TShiftState, TPoint Pt, TDropEffect& Effect, TDropEffects) override {
    log.push_back("moving " + EffectName(Effect) + At(Pt));
  }
  void OleDragLeave() override { log.push_back("leave"); }
  TDropEffect OleDrop(const TDataObject&, bool Move, TDropEffects, TPoint Pt,
                      TShiftState) override {
    log.push_back(std::string(Move ? "drop move" : "drop") + At(Pt));
    return dropAnswer;
  }
};

struct DropTarget : ::testing::Test {
  DropTarget() {
    form.SetBounds(0, 0, 600, 300);
    source = new TCustomControl(&form);
    source->SetBounds(0, 0, 100, 100);
    source->SetParent(&form);
    viewer = new TRecordingViewer(&form);
    viewer->SetStyle(&style);
    viewer->SetBounds(120, 0, 300, 200);
    viewer->SetParent(&form);
    target = std::make_unique<TRDDropTarget>(*viewer);
    form.Show();
  }
  // Drags one format through the points of the viewer and lets it go at the last.
  TDropEffect Drag(const std::string& format, std::vector<TPoint> points,
                   TDropEffects allowed = deCopy) {
    auto data = std::make_shared<TDragData>();
    data->Add(format, [](std::string& bytes) {
      bytes = "x";
      return true;
    });
    std::vector<TDragStep> steps;
    for (TPoint p : points) steps.push_back({viewer, p.X, p.Y});
    TScriptedDrags drags(steps);
    return DoDragDrop(*source, data, allowed);
  }

  TForm form{nullptr};
  TRDStyle style;
  TCustomControl* source;
  TRecordingViewer* viewer;
  std::unique_ptr<TRDDropTarget> target;
};

TEST_F(DropTarget, TheHooksHearADragInTheirOrderAndTheDropAnswers) {
  EXPECT_EQ(Drag("text/plain", {Point(20, 20), Point(40, 30)}), deCopy);
  // The first move after entering repeats the entering's answer.
  EXPECT_EQ(viewer->log, (std::vector<std::string>{
                             "format text/plain", "enter copy of 1 20,20 with text", "takes 20,20",
                             "over 40,30", "moving copy 40,30", "drop 40,30"}));
}

TEST_F(DropTarget, AFormatTheViewerDoesNotTakeReachesNoOtherHook) {
  EXPECT_EQ(Drag("image/png", {Point(20, 20), Point(40, 30)}), deNone);
  EXPECT_EQ(viewer->log, (std::vector<std::string>{"format image/png", "leave"}));
}

TEST_F(DropTarget, ADragRefusedOnEnteringStaysRefusedUntilItLeaves) {
  viewer->takesDrags = false;
  EXPECT_EQ(Drag("text/plain", {Point(20, 20), Point(40, 30)}), deNone);
  EXPECT_EQ(viewer->log,
            (std::vector<std::string>{"format text/plain", "enter copy of 1 20,20 with text",
                                      "takes 20,20", "leave"}));
}

TEST_F(DropTarget, APointTheViewerRefusesIsNoPlaceToDrop) {
  EXPECT_EQ(Drag("text/plain", {Point(20, 20), Point(200, 30)}), deNone);
  EXPECT_EQ(viewer->log.back(), "leave");
  EXPECT_EQ(viewer->log[viewer->log.size() - 2], "over 200,30");
}

TEST_F(DropTarget, ACopyTheSourceDoesNotAllowIsReportedAsALink) {
  EXPECT_EQ(Drag("text/plain", {Point(20, 20)}, deLink), deLink);
  EXPECT_EQ(viewer->log[1], "enter link of 4 20,20 with text");
  viewer->dropAnswer = deNone;
  EXPECT_EQ(Drag("text/plain", {Point(20, 20)}, deCopy | deLink), deNone);
}

// The target goes with its registration: drags over the viewer reach no hook then.
TEST_F(DropTarget, AFreedTargetTakesNoMoreDrags) {
  target.reset();
  EXPECT_FALSE(IsDropTarget(*viewer));
  EXPECT_EQ(Drag("text/plain", {Point(20, 20)}), deNone);
  EXPECT_TRUE(viewer->log.empty());
}

}  // namespace

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/format.h"

namespace {

using Lines = std::vector<std::string>;

// A drop target that logs what it hears and answers with a chosen effect.
struct TLoggingTarget : TDropTarget {
  Lines log;
  TDropEffects answer = deCopy;  // deNone refuses
  std::string dropped_text;      // the text/plain bytes of the drop
  std::function<void()> on_over;

  void DragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                 TDropEffects& Effect) override {
    std::string formats;
    for (const std::string& f : Data.Formats()) formats += f + ";";
    log.push_back(Format("enter(%d,%d) allowed=%u shift=%u %s", Pt.X, Pt.Y, Effect, Shift & ~ssLeft,
                         formats.c_str()));
    Effect = answer;
  }
  void DragOver(TShiftState, TPoint Pt, TDropEffects& Effect) override {
    log.push_back(Format("over(%d,%d)", Pt.X, Pt.Y));
    if (on_over) on_over();
    Effect = answer;
  }
  void DragLeave() override { log.push_back("leave"); }
  void Drop(const TDataObject& Data, TShiftState, TPoint Pt, TDropEffects& Effect) override {
    log.push_back(Format("drop(%d,%d)", Pt.X, Pt.Y));
    Data.GetData("text/plain", dropped_text);
    Effect = answer;
  }
};

struct DragDrop : ::testing::Test {
  DragDrop() {
    form.SetBounds(0, 0, 300, 200);
    source = new TCustomControl(&form);
    source->SetBounds(0, 0, 100, 100);
    source->SetParent(&form);
    target = new TCustomControl(&form);
    target->SetBounds(150, 0, 100, 100);
    target->SetParent(&form);
    other = new TCustomControl(&form);
    other->SetBounds(150, 100, 100, 100);
    other->SetParent(&form);
    RegisterDragDrop(*target, sink);
    data = std::make_shared<TDragData>();
    data->Add("text/plain", [this](std::string& bytes) {
      ++renders;
      bytes = offered_text;
      return true;
    });
    // A format that cannot be made is not offered.
    data->Add("FileGroupDescriptor", [](std::string&) { return false; });
  }
  TForm form{nullptr};
  TCustomControl* source;
  TCustomControl* target;
  TCustomControl* other;
  TLoggingTarget sink;
  std::shared_ptr<TDragData> data;
  std::string offered_text = "N0CALL";
  int renders = 0;
};

}  // namespace

// The QDrag loop cannot run without a display and a user, so these drags run scripted:
// everything below the loop (the offered data, the events and their routing to the drop
// target, the effects both ways) is the real path.
TEST_F(DragDrop, ADragFromOneControlIsDeliveredToTheTargetAndAnswersItsEffect) {
  TScriptedDrags drags({{other, 5, 5}, {target, 10, 20}, {target, 30, 40}});
  // What the source holds when the drag starts is what arrives: another program asks
  // only after the drop, when the source may have changed or deleted it. Its lines end
  // as the other programs here end them, as from the clipboard.
  offered_text = "N0CALL\r\nDL1ABC";
  sink.on_over = [this] { offered_text = "changed"; };
  EXPECT_EQ(DoDragDrop(*source, data, deCopy | deMove), deCopy);
  EXPECT_EQ(drags.Count(), 1);
  EXPECT_EQ(sink.log,
            (Lines{"enter(10,20) allowed=3 shift=0 text/plain;", "over(30,40)", "drop(30,40)"}));
  EXPECT_EQ(sink.dropped_text, "N0CALL\nDL1ABC");
  EXPECT_EQ(renders, 1);
  EXPECT_FALSE(DragRunning());
}

TEST_F(DragDrop, EffectsMapBothWaysAndATargetCannotChooseWhatTheSourceDoesNotAllow) {
  {
    TScriptedDrags drags({{target, 1, 1}});
    sink.answer = deMove;
    EXPECT_EQ(DoDragDrop(*source, data, deCopy | deMove | deLink), deMove);
    sink.answer = deLink;
    EXPECT_EQ(DoDragDrop(*source, data, deCopy | deLink), deLink);
    // Move is not allowed: the answer is a refusal, and a refused drop is only a leave.
    sink.log.clear();
    sink.answer = deMove;
    EXPECT_EQ(DoDragDrop(*source, data, deCopy), deNone);
    EXPECT_EQ(sink.log, (Lines{"enter(1,1) allowed=1 shift=0 text/plain;", "leave"}));
  }
  {
    // A set kept as it came takes the one the keys propose: Shift moves, Ctrl copies.
    sink.answer = deCopy | deMove | deScroll;
    TScriptedDrags shifted({{target, 1, 1, ssShift}});
    EXPECT_EQ(DoDragDrop(*source, data, deCopy | deMove), deMove);
  }
  {
    TScriptedDrags ctrl({{target, 1, 1, ssCtrl}});
    EXPECT_EQ(DoDragDrop(*source, data, deCopy | deMove), deCopy);
  }
  // Nothing allowed: no drag starts.
  TScriptedDrags drags({{target, 1, 1}});
  sink.log.clear();
  EXPECT_EQ(DoDragDrop(*source, data, deNone), deNone);
  EXPECT_EQ(drags.Count(), 0);
  EXPECT_TRUE(sink.log.empty());
}

TEST_F(DragDrop, ATargetThatRefusesAtTheDropPointGetsALeaveInsteadOfTheDrop) {
  // It takes the drag at first and refuses it where it is let go.
  TScriptedDrags drags({{target, 1, 1}, {target, 2, 2}});
  sink.on_over = [this] { sink.answer = deNone; };
  EXPECT_EQ(DoDragDrop(*source, data, deCopy), deNone);
  EXPECT_EQ(sink.log.back(), "leave");

  // It refuses at first and takes the drag further on.
  sink.log.clear();
  sink.answer = deNone;
  sink.on_over = [this] { sink.answer = deCopy; };
  EXPECT_EQ(DoDragDrop(*source, data, deCopy), deCopy);
  EXPECT_EQ(sink.log.back(), "drop(2,2)");
}

TEST_F(DragDrop, LeavingOrCancellingEndsWithALeaveAndNoEffect) {
  {
    TScriptedDrags drags({{target, 1, 1}, {other, 2, 2}});
    EXPECT_EQ(DoDragDrop(*source, data, deCopy), deNone);
  }
  {
    TScriptedDrags cancelled({{target, 1, 1}}, false);
    EXPECT_EQ(DoDragDrop(*source, data, deCopy), deNone);
  }
  EXPECT_EQ(sink.log, (Lines{"enter(1,1) allowed=1 shift=0 text/plain;", "leave",
                             "enter(1,1) allowed=1 shift=0 text/plain;", "leave"}));
}

TEST_F(DragDrop, KeysHeldReachTheTarget) {
  TScriptedDrags drags({{target, 1, 1, ssCtrl | ssShift}});
  DoDragDrop(*source, data, deCopy);
  EXPECT_EQ(sink.log.front(), "enter(1,1) allowed=1 shift=5 text/plain;");
}

TEST_F(DragDrop, ARevokedTargetHearsNothingEvenWhenItRevokesDuringTheDrag) {
  sink.on_over = [this] { RevokeDragDrop(*target); };
  {
    TScriptedDrags drags({{target, 1, 1}, {target, 2, 2}, {target, 3, 3}});
    EXPECT_EQ(DoDragDrop(*source, data, deCopy), deNone);
  }
  EXPECT_FALSE(IsDropTarget(*target));
  EXPECT_EQ(sink.log.size(), 2u);  // the enter and the over that revoked
  sink.log.clear();
  TScriptedDrags drags({{target, 1, 1}});
  EXPECT_EQ(DoDragDrop(*source, data, deCopy), deNone);
  EXPECT_TRUE(sink.log.empty());
}

TEST_F(DragDrop, AnExceptionInADropHandlerIsReportedAndTheDragEnds) {
  std::vector<std::string> reported;
  Application->OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
  sink.on_over = [] { throw std::runtime_error("over failed"); };
  TScriptedDrags drags({{target, 1, 1}, {target, 2, 2}});
  EXPECT_EQ(DoDragDrop(*source, data, deCopy), deCopy);
  Application->OnException = nullptr;
  EXPECT_EQ(reported, (std::vector<std::string>{"over failed"}));
}

TEST_F(DragDrop, TheDragImageLeavesItsKeyColourOutAndHoldsThePointer) {
  TBitmap picture;
  picture.SetSize(20, 10);
  picture.Canvas().Brush().SetColor(clFuchsia);
  picture.Canvas().FillRect(Rect(0, 0, 20, 10));
  picture.Canvas().Brush().SetColor(clNavy);
  picture.Canvas().FillRect(Rect(5, 2, 15, 8));
  TDragImage image{&picture, Point(7, 3), clFuchsia};
  TScriptedDrags drags({{target, 1, 1}});
  DoDragDrop(*source, data, deCopy, &image);
  ASSERT_EQ(drags.ImageWidth(), 20);
  EXPECT_EQ(drags.ImageHeight(), 10);
  EXPECT_EQ(drags.ImagePixel(0, 0), clNone);
  EXPECT_EQ(drags.ImagePixel(10, 5), clNavy);
  EXPECT_EQ(drags.HotSpot(), Point(7, 3));
}

// Files dragged from a file manager come with their URLs or paths as text beside the
// list: that text is the list again, not text to insert, so the target sees the files
// alone. Text that says more, and links that name no local file, stay text.
TEST_F(DragDrop, TextThatOnlyNamesTheDraggedFilesIsNotOffered) {
  const std::vector<std::string> paths = {"/home/ham/qsl card.png", "/home/ham/log.txt"};
  const std::string urls = "file:///home/ham/qsl%20card.png\nfile:///home/ham/log.txt\n";
  auto dropped = [&](const std::string& list, const std::string& text) {
    auto files = std::make_shared<TDragData>();
    files->Add(kUriListFormat, [list](std::string& bytes) {
      bytes = list;
      return true;
    });
    files->Add("text/plain", [text](std::string& bytes) {
      bytes = text;
      return true;
    });
    sink.log.clear();
    sink.dropped_text.clear();
    TScriptedDrags drags({{target, 10, 20}});
    DoDragDrop(*source, files, deCopy);
    return sink.log.empty() ? std::string() : sink.log.front();
  };
  for (const std::string& text : {urls, std::string("/home/ham/qsl card.png\n/home/ham/log.txt"),
                                  std::string("file:///home/ham/qsl card.png")}) {
    EXPECT_EQ(dropped(UriListOf(paths), text), "enter(10,20) allowed=1 shift=0 text/uri-list;")
        << text;
    EXPECT_EQ(sink.dropped_text, "");
  }
  EXPECT_EQ(dropped(UriListOf(paths), "QSL of 2026\n" + urls),
            "enter(10,20) allowed=1 shift=0 text/uri-list;text/plain;");
  EXPECT_EQ(dropped("http://example.org/qsl\r\n", "http://example.org/qsl"),
            "enter(10,20) allowed=1 shift=0 text/uri-list;text/plain;");
  EXPECT_EQ(sink.dropped_text, "http://example.org/qsl");
}

// The source ends its press as soon as the user lets go, before any wait for another
// program's answer, and no second drag starts while one runs: its answer could not be
// told from the first one's.
TEST_F(DragDrop, ReleasedRunsOnceAndNoDragStartsWhileOneRuns) {
  TScriptedDrags drags({{target, 10, 20}, {target, 30, 40}});
  int released = 0, inner_released = 0;
  TDropEffect inner = deCopy;
  sink.on_over = [&] {
    inner = DoDragDrop(*source, data, deCopy, nullptr, [&] { ++inner_released; });
  };
  EXPECT_EQ(DoDragDrop(*source, data, deCopy, nullptr, [&] { ++released; }), deCopy);
  EXPECT_EQ(drags.Count(), 1);
  EXPECT_EQ(inner, deNone);
  EXPECT_EQ(inner_released, 1);
  EXPECT_EQ(released, 1);
}

TEST(DroppedFiles, PathsTravelWholeAsAUriList) {
  const std::string long_name = "/tmp/" + std::string(300, 'x') + ".txt";
  // Names are the file system's bytes, a Polish one too.
  const std::vector<std::string> paths = {"/home/ham/log, 2026 #1.txt", long_name, "/tmp/100%.dat",
                                          "/tmp/\xC5\x81\xC3\xB3"
                                          "d\xC5\xBA.txt"};
  TDragData data;
  data.Add(kUriListFormat, [&](std::string& bytes) {
    bytes = "# comment\r\nhttp://example.org/a\r\n" + UriListOf(paths) + "not a url\r\n";
    return true;
  });
  EXPECT_EQ(DroppedFileNames(data), paths);
  EXPECT_TRUE(DroppedFileNames(TDragData()).empty());
}

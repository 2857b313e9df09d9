// The mouse on a formatted document laid out on a raster canvas (characters 6 x 10,
// margins 5, so character k of a line starts at x = 5 + 6k): selecting by characters,
// words, paragraphs and whole margin lines, the drag request, the right click, jumps,
// the selection queries, the text of a selection, checkpoints in view, and a copy
// that fails.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/gui/standard/clipboard.h"
#include "richtext/formats/text_export.h"
#include "richtext/support/test_formatted_data.h"
#include "richtext/view/rd_clipboard.h"

namespace {

constexpr int W = TRasterCanvas::kCharWidth;
constexpr int kJumpStyle = 4;

// Client x of the boundary before character k (0-based) of a line; y of line n.
int X(int k) {
  return 5 + k * W;
}
int Y(int line) {
  return 5 + line * 10 + 4;
}

class TMouseData : public TTestFormattedData {
 public:
  TMouseData(int width = 300, int height = 200) : TTestFormattedData(width, height) {
    SetOptions(rdoAllowSelection | rdoRClickDeselects | rdoDblClickSelectsWord | rdoAutoCopyText);
    style.SelectionMode = rdsmChar;
  }
  bool drag_allowed = false;
  int drag_requests = 0;
  std::vector<int> jumps;
  std::vector<int> hovers;
  TCursor cursor = crDefault;
  std::vector<TRDCPInfo*> checkpoints;
  std::function<void()> on_copy;

  bool CanStartDrag() const override { return drag_allowed; }
  void RequestDrag() override { ++drag_requests; }
  void DoJump(int id) override { jumps.push_back(id); }
  void DoJumpHover(int id) override { hovers.push_back(id); }
  void SetShownCursor(TCursor c) override { cursor = c; }
  TCPEventKind GetCPEventKind() const override { return cp_kind; }
  void DoCheckpointVisible(TRDCPInfo* cp) override { checkpoints.push_back(cp); }
  bool IsCopyEventAssigned() const override { return bool(on_copy); }
  void DoCopy() override {
    if (on_copy) on_copy();
  }
  void DoMouseSelected() override { ++mouse_selections; }
  TCPEventKind cp_kind = cpeNone;
  int mouse_selections = 0;

  void Drag(int x1, int y1, int x2, int y2, TShiftState shift = 0) {
    MouseDown(mbLeft, shift, x1, y1);
    MouseMove(shift | ssLeft, x2, y2);
    MouseUp(mbLeft, shift, x2, y2);
  }
  // The selected text, item by item as "item:from-to".
  std::string Selected() {
    int s, so, e, eo;
    GetSelectionBounds(s, so, e, eo, true);
    return std::to_string(s) + ":" + std::to_string(so) + "-" + std::to_string(e) + ":" +
           std::to_string(eo);
  }
  std::string Text() { return SelectedText(*this, false); }
};

TEST(MouseSelection, ByCharactersForwardsAndBackwards) {
  TMouseData data;
  data.AddText("hello brave world", 0, 0);
  data.Format();
  data.Drag(X(1), Y(0), X(8), Y(0));
  EXPECT_EQ(data.Text(), "ello br");
  data.Drag(X(8), Y(0), X(1), Y(0));
  EXPECT_EQ(data.Text(), "ello br");
  // The end of each drag is told once (a viewer offers the text to the system).
  EXPECT_EQ(data.mouse_selections, 2);
  int s, so, e, eo;
  data.GetSelectionBounds(s, so, e, eo, false);
  EXPECT_GT(so, eo);  // kept backwards
  // A press and release at one place selects nothing.
  data.Drag(X(3), Y(0), X(3), Y(0));
  EXPECT_FALSE(data.HasSelection());
  // Shift extends from the old start.
  data.Drag(X(2), Y(0), X(4), Y(0));
  data.Drag(X(9), Y(0), X(9), Y(0), ssShift);
  EXPECT_EQ(data.Text(), "llo bra");
}

TEST(MouseSelection, ADragLeavingTheWindowIsClampedUnlessTheDataAsksOtherwise) {
  TMouseData data(300, 40);
  for (int i = 0; i < 10; ++i) data.AddText("line " + std::to_string(i), 0, 0);
  data.Format();
  data.Drag(X(0), Y(0), X(2), 500);
  // Clamped to the last client row: line 3 is the one at y 39.
  EXPECT_EQ(data.Text(), "line 0\r\nline 1\r\nline 2\r\nli");
  data.SetFlags(data.GetFlags() | rdfUnclampedMouse);
  data.Drag(X(0), Y(0), X(2), 500);
  EXPECT_EQ(data.Text().substr(data.Text().size() - 10), "line 8\r\nli");
}

TEST(MouseSelection, WordModeTakesWholeWordsOnceTheMouseLeavesTheFirst) {
  TMouseData data;
  data.style.SelectionMode = rdsmWord;
  data.AddText("hello brave new world", 0, 0);
  data.Format();
  // Inside the word pressed: by characters.
  data.Drag(X(7), Y(0), X(9), Y(0));
  EXPECT_EQ(data.Text(), "ra");
  // Into the next word: both whole.
  data.Drag(X(7), Y(0), X(13), Y(0));
  EXPECT_EQ(data.Text(), "brave new");
  // Backwards into the first word.
  data.Drag(X(8), Y(0), X(2), Y(0));
  EXPECT_EQ(data.Text(), "hello brave");
}

TEST(MouseSelection, ParagraphModeTakesWholeParagraphs) {
  TMouseData data(70, 200);  // ten characters a line
  data.style.SelectionMode = rdsmParagraph;
  data.AddText("aaaa bbbb cccc", 0, 0);  // two lines
  data.AddText("dddd", 0, 0);
  data.AddText("eeee", 0, 0);
  data.Format();
  data.Drag(X(2), Y(1), X(1), Y(2));
  EXPECT_EQ(data.Text(), "aaaa bbbb cccc\r\ndddd");
  EXPECT_TRUE(data.SelectionSpansParagraphs());
  // Within one paragraph the drag still takes all of it.
  data.Drag(X(1), Y(0), X(2), Y(0));
  EXPECT_EQ(data.Text(), "aaaa bbbb cccc");
}

TEST(MouseSelection, APressInTheLeftMarginSelectsWholeScreenLines) {
  TMouseData data(70, 200);
  data.AddText("aaaa bbbb cccc", 0, 0);
  data.AddText("dddd", 0, 0);
  data.Format();
  data.MouseMove(0, 2, Y(1));
  EXPECT_EQ(data.cursor, data.style.LineSelectCursor);
  data.Drag(2, Y(1), 2, Y(1));
  EXPECT_EQ(data.Text(), "cccc");  // the second screen line of the paragraph
  data.Drag(2, Y(0), 2, Y(2));
  EXPECT_EQ(data.Text(), "aaaa bbbb cccc\r\ndddd");
  // Upwards, the lines keep their direction.
  data.Drag(2, Y(2), 2, Y(1));
  EXPECT_EQ(data.Text(), "cccc\r\ndddd");
  int s, so, e, eo;
  data.GetSelectionBounds(s, so, e, eo, false);
  EXPECT_EQ(s, 1);
  // Without a line-selection cursor the margin selects by characters.
  data.style.LineSelectCursor = -1;
  data.Drag(2, Y(1), X(2), Y(2));
  EXPECT_EQ(data.Text(), "cccc\r\ndd");
}

TEST(MouseSelection, APressInsideTheSelectionRequestsADragWhenDraggingIsAllowed) {
  TMouseData data;
  data.AddText("hello brave world", 0, 0);
  data.Format();
  data.Drag(X(6), Y(0), X(11), Y(0));
  data.drag_allowed = true;
  data.MouseDown(mbLeft, 0, X(8), Y(0));
  EXPECT_EQ(data.drag_requests, 1);
  EXPECT_EQ(data.Text(), "brave");
  // Until the drag has been dealt with, presses are ignored.
  data.MouseDown(mbLeft, 0, X(1), Y(0));
  EXPECT_EQ(data.drag_requests, 1);
  EXPECT_EQ(data.Text(), "brave");
  data.State &= ~rdsDragPending;
  // With Shift the press extends the selection instead.
  data.Drag(X(13), Y(0), X(13), Y(0), ssShift);
  EXPECT_EQ(data.drag_requests, 1);
  EXPECT_EQ(data.Text(), "brave w");
  // Dragging not allowed: a press inside starts a new selection.
  data.drag_allowed = false;
  data.Drag(X(8), Y(0), X(9), Y(0));
  EXPECT_EQ(data.Text(), "a");
}

TEST(MouseSelection, ARightClickOutsideTheSelectionCollapsesItInsideKeepsIt) {
  TMouseData data;
  data.AddText("hello brave world", 0, 0);
  data.Format();
  data.Drag(X(6), Y(0), X(11), Y(0));
  data.MouseDown(mbRight, 0, X(8), Y(0));
  data.MouseUp(mbRight, 0, X(8), Y(0));
  EXPECT_EQ(data.Text(), "brave");
  data.MouseDown(mbRight, 0, X(2), Y(0));
  data.MouseUp(mbRight, 0, X(2), Y(0));
  EXPECT_FALSE(data.HasSelection());
  EXPECT_EQ(data.Selected(), "0:3-0:3");
}

TEST(MouseSelection, ADoubleClickSelectsTheWordAndTheSecondPressKeepsIt) {
  TMouseData data;
  data.AddText("hello, brave world", 0, 0);
  data.Format();
  data.MouseDown(mbLeft, 0, X(9), Y(0));
  data.MouseUp(mbLeft, 0, X(9), Y(0));
  data.DblClick(X(9), Y(0));
  data.MouseDown(mbLeft, ssDouble, X(9), Y(0));
  data.MouseUp(mbLeft, 0, X(9), Y(0));
  EXPECT_EQ(data.Text(), "brave");
  // The comma is a delimiter; between words there is nothing to select.
  data.DblClick(X(2), Y(0));
  EXPECT_EQ(data.Text(), "hello");
  data.DblClick(X(6) + 1, Y(0));
  EXPECT_EQ(data.Text(), "hello");
}

TEST(Jumps, AClickIsAPressAndAReleaseOnTheSameJump) {
  TMouseData data;
  data.AddText("see ", 0, 0);
  data.AddText("here", kJumpStyle, -1);
  data.AddText(" and ", 0, -1);
  data.AddText("there", kJumpStyle, -1);
  data.FirstJumpNo = 100;
  data.Format();
  ASSERT_TRUE(data.style.TextStyles()[kJumpStyle].Jump);
  ASSERT_EQ(data.Jumps.size(), 2u);
  data.MouseMove(0, X(5), Y(0));
  EXPECT_EQ(data.cursor, data.style.TextStyles()[kJumpStyle].JumpCursor);
  data.MouseMove(0, X(14), Y(0));
  data.MouseMove(0, X(1), Y(0));
  EXPECT_EQ(data.hovers, (std::vector<int>{100, 101, -1}));
  // Pressed on the link, released elsewhere: nothing; released back on it: the jump.
  data.MouseDown(mbLeft, 0, X(5), Y(0));
  data.MouseUp(mbLeft, 0, X(1), Y(0));
  EXPECT_TRUE(data.jumps.empty());
  data.MouseDown(mbLeft, 0, X(5), Y(0));
  data.MouseMove(ssLeft, X(1), Y(0));
  data.MouseMove(ssLeft, X(6), Y(0));
  data.MouseUp(mbLeft, 0, X(6), Y(0));
  EXPECT_EQ(data.jumps, std::vector<int>{100});
  // Released on the other link: no jump either.
  data.MouseDown(mbLeft, 0, X(5), Y(0));
  data.MouseUp(mbLeft, 0, X(14), Y(0));
  EXPECT_EQ(data.jumps.size(), 1u);
}

TEST(Jumps, WithoutCollectingThemTheMouseOnlyReachesTheItems) {
  TMouseData data;
  data.SetFlags(data.GetFlags() & ~rdfCollectJumps);
  data.AddText("here", kJumpStyle, 0);
  data.Format();
  EXPECT_TRUE(data.Jumps.empty());
  data.MouseMove(0, X(1), Y(0));
  data.MouseDown(mbLeft, 0, X(1), Y(0));
  data.MouseUp(mbLeft, 0, X(1), Y(0));
  EXPECT_TRUE(data.jumps.empty());
  EXPECT_TRUE(data.hovers.empty());
  EXPECT_EQ(data.cursor, crDefault);
}

TEST(SelectionQueries, EmptySelectionsAndBounds) {
  TMouseData data;
  data.AddText("abcdef", 0, 0);
  data.AddText("ghij", 0, 0);
  data.Format();
  data.SetSelectionBounds(0, 3, 0, 3);
  EXPECT_FALSE(data.HasSelection(false));
  EXPECT_EQ(data.Selected(), "0:3-0:3");
  EXPECT_FALSE(data.HasSelection(true));
  EXPECT_EQ(data.Selected(), "-1:0--1:0");
  data.SetSelectionBounds(1, 3, 0, 3);
  EXPECT_TRUE(data.IsPositionInSelection(0, 5, false));
  EXPECT_FALSE(data.IsPositionInSelection(0, 3, false));
  EXPECT_TRUE(data.IsPositionInSelection(0, 3, true));
  EXPECT_TRUE(data.IsPositionInSelection(1, 3, true));
  EXPECT_FALSE(data.IsPositionInSelection(1, 4, true));
  EXPECT_TRUE(data.ExpandSelectionToParas(true));
  EXPECT_EQ(data.Text(), "abcdef\r\nghij");
  data.SetSelectionBounds(0, 2, 0, 4);
  EXPECT_FALSE(data.ExpandSelectionToParas(true));
  EXPECT_EQ(data.Text(), "bc");
}

TEST(SelectedText, CrLfBetweenParagraphsAndNothingWithoutASelection) {
  TMouseData data;
  data.AddText("ab", 0, 0);
  data.AddText("cd", 0, 0);
  data.Format();
  EXPECT_EQ(SelectedText(data, true), "");
  data.SelectAll();
  EXPECT_EQ(SelectedText(data, false), "ab\r\ncd");
  EXPECT_EQ(SelectedText(data, true), std::string("a\0b\0\r\0\n\0c\0d\0", 12));
}

TEST(Checkpoints, WhenVisibleReportsEachChangeOnce) {
  TMouseData data(300, 30);
  for (int i = 0; i < 12; ++i) {
    if (i == 6) data.SetPendingCheckpoint("six", true, TRDTag{});
    data.AddText("line " + std::to_string(i), 0, 0);
  }
  data.Format();
  data.cp_kind = cpeWhenVisible;
  data.NotifyCheckpointVisible();  // lines 0..2 in view: none
  data.NotifyCheckpointVisible();
  data.ScrollTo(50, false);  // line 6 at 65, in view 50..80
  data.NotifyCheckpointVisible();
  data.NotifyCheckpointVisible();
  data.ScrollTo(90, false);  // beyond it: none again
  data.NotifyCheckpointVisible();
  ASSERT_EQ(data.checkpoints.size(), 3u);
  EXPECT_EQ(data.checkpoints[0], nullptr);
  ASSERT_NE(data.checkpoints[1], nullptr);
  EXPECT_EQ(data.checkpoints[1]->Name, "six");
  EXPECT_EQ(data.checkpoints[2], nullptr);
}

TEST(Checkpoints, AsSectionStartKeepsTheSectionAboveTheView) {
  TMouseData data(300, 30);
  for (int i = 0; i < 12; ++i) {
    if (i == 2) data.SetPendingCheckpoint("two", true, TRDTag{});
    data.AddText("line " + std::to_string(i), 0, 0);
  }
  data.Format();
  data.cp_kind = cpeAsSectionStart;
  data.ScrollTo(60, false);  // "two" lies above the view: its section is shown
  data.NotifyCheckpointVisible();
  data.ScrollTo(80, false);
  data.NotifyCheckpointVisible();
  ASSERT_EQ(data.checkpoints.size(), 1u);
  EXPECT_EQ(data.checkpoints[0]->Name, "two");
}

TEST(Copy, AFailureWhileCopyingLeavesTheClipboardAsItWas) {
  TClipboard& clipboard = Clipboard();
  clipboard.SetAsBytes(CF_TEXT, "precious");
  TMouseData data;
  data.AddText("hello brave world", 0, 0);
  data.Format();
  data.Drag(X(6), Y(0), X(11), Y(0));
  data.on_copy = [] { throw std::runtime_error("out of memory"); };
  EXPECT_THROW(CopySelectionToClipboard(data, clNone, nullptr), std::runtime_error);
  EXPECT_EQ(clipboard.GetAsBytes(CF_TEXT), "precious");
  // The clipboard works on afterwards.
  data.on_copy = nullptr;
  EXPECT_TRUE(CopySelectionToClipboard(data, clNone, nullptr));
  EXPECT_EQ(clipboard.GetAsBytes(CF_TEXT), "brave");
  // Nothing selected, or no format asked for: nothing copied.
  data.Deselect(false);
  EXPECT_FALSE(CopySelectionToClipboard(data, clNone, nullptr));
  data.SetSelectionBounds(0, 1, 0, 3);
  data.SetOptions(rdoAllowSelection);
  EXPECT_FALSE(CopySelectionToClipboard(data, clNone, nullptr));
  EXPECT_EQ(clipboard.GetAsBytes(CF_TEXT), "brave");
}

}  // namespace

// The undo and redo lists on their own: steps, the limit, grouping, typing runs, and
// the errors of misuse.
#include <gtest/gtest.h>

#include "platform/gui/controls/virtual_keys.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

std::string Text(const TRDEditRDData& data, int itemNo) {
  return data.GetItemTextRaw(itemNo);
}

// A step with one record that changes nothing in the document.
void AddStep(TRDUndoList& list, TRDUndoType kind) {
  list.BeginStep(kind, "", 0, 1);
  auto record = std::make_unique<TRDUndoReformateRange>();
  list.AddRecord(std::move(record));
}

}  // namespace

TEST(UndoList, LimitDropsTheOldestStepAndZeroRecordsNothing) {
  TEditFixture f;
  TRDUndoList& list = *f.data.UndoList;
  list.SetLimit(3);
  for (TRDUndoType kind : {rdutInsert, rdutDelete, rdutPara, rdutStyleNo}) AddStep(list, kind);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Step(0)->Kind, rdutDelete);  // the first change is gone
  EXPECT_EQ(list.CurrentKind(), rdutStyleNo);

  list.SetLimit(0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.BeginStep(rdutInsert, "", 0, 1));
  list.AddTyping(0, 1, false);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(f.edit.UndoAction(), rdutNone);
}

TEST(UndoList, LoweringTheLimitBelowTheCountTrimsAtOnce) {
  TEditFixture f;
  TRDUndoList& list = *f.data.UndoList;
  for (int i = 0; i < 6; ++i) AddStep(list, TRDUndoType(i + 1));
  f.edit.SetUndoLimit(2);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Step(0)->Kind, 5);
  AddStep(list, rdutInsert);
  EXPECT_EQ(list.Count(), 2);  // and stays at the limit afterwards
}

TEST(UndoList, AnEmptyStepIsReplacedAndLendsItsCaretAndCaption) {
  TEditFixture f;
  TRDUndoList& list = *f.data.UndoList;
  list.BeginStep(rdutDelete, "first", 4, 7);
  list.BeginStep(rdutInsert, "second", 1, 1);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.LastStep()->Kind, rdutInsert);
  EXPECT_EQ(list.LastStep()->Caption, "first");
  EXPECT_EQ(list.LastStep()->CaretItemNo, 4);
  EXPECT_EQ(list.LastStep()->CaretOffs, 7);
  list.DropEmptyLastStep();
  EXPECT_EQ(list.Count(), 0);
}

TEST(UndoList, GroupModeCollectsIntoOneStepButNeverExtendsATypingStep) {
  TEditFixture f;
  TRDUndoList& list = *f.data.UndoList;
  list.SetGroupMode(true);
  AddStep(list, rdutInsert);
  AddStep(list, rdutDelete);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.LastStep()->Count(), 2);
  list.AddTyping(0, 1, false);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.BeginStep(rdutInsert, "", 0, 1));
  EXPECT_EQ(list.Count(), 3);
  list.SetGroupMode(false);
}

TEST(UndoList, MisuseRaisesAndLeavesTheList) {
  TEditFixture f;
  TRDUndoList& list = *f.data.UndoList;
  EXPECT_THROW(list.AddRecord(std::make_unique<TRDUndoReformateRange>()), ERichDocError);
  EXPECT_THROW(list.Undo(f.data), ERichDocError);
  list.AddTyping(0, 1, false);
  EXPECT_THROW(list.AddRecord(std::make_unique<TRDUndoReformateRange>()), ERichDocError);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.LastStep()->Count(), 1);
}

// Characters typed one after another form one step; undo and redo move one at a time.
TEST(UndoList, TypingRunsUndoAndRedoOneCharacterAtATime) {
  TEditFixture f;
  f.AddPara({{"xy", 0}});
  f.Format();
  TRDUndoList& undo = *f.data.UndoList;
  TRDUndoList& redo = *f.data.RedoList;
  for (char c : std::string("abc")) {
    const int pos = int(Text(f.data, 0).size());  // typed before the "y"
    std::string text = Text(f.data, 0);
    text.insert(size_t(pos - 1), 1, c);
    f.data.Items.SetString(0, text);
    undo.AddTyping(0, pos, false);
  }
  ASSERT_EQ(Text(f.data, 0), "xabcy");
  ASSERT_EQ(undo.Count(), 1);
  EXPECT_EQ(undo.CurrentKind(), rdutTyping);

  f.edit.Undo();
  EXPECT_EQ(Text(f.data, 0), "xaby");
  EXPECT_EQ(f.edit.CaretItemOffset(), 4);
  EXPECT_EQ(undo.Count(), 1);
  f.edit.Undo();
  f.edit.Undo();
  EXPECT_EQ(Text(f.data, 0), "xy");
  EXPECT_EQ(undo.Count(), 0);
  EXPECT_EQ(f.edit.CaretItemOffset(), 2);
  ASSERT_EQ(redo.Count(), 1);

  f.edit.Redo();
  EXPECT_EQ(Text(f.data, 0), "xay");
  EXPECT_EQ(f.edit.CaretItemOffset(), 3);
  f.edit.Redo();
  f.edit.Redo();
  EXPECT_EQ(Text(f.data, 0), "xabcy");
  EXPECT_EQ(f.edit.CaretItemOffset(), 5);
  EXPECT_EQ(redo.Count(), 0);
  EXPECT_EQ(undo.Count(), 1);
  EXPECT_EQ(undo.LastStep()->Count(), 1);
}

TEST(UndoList, TypingElsewhereStartsANewStep) {
  TEditFixture f;
  f.AddPara({{"abcdef", 0}});
  f.AddPara({{"gh", 0}});
  TRDUndoList& undo = *f.data.UndoList;
  undo.AddTyping(0, 2, false);
  undo.AddTyping(0, 3, false);
  undo.AddTyping(0, 6, false);  // another place
  undo.AddTyping(1, 7, false);  // another item
  EXPECT_EQ(undo.Count(), 3);
}

TEST(UndoList, UnicodeTypingMovesWholeCharacters) {
  TEditFixture f;
  f.AddItem(f.unicodeStyle, std::string("a\0b\0", 4), false);
  f.Format();
  f.data.UndoList->AddTyping(0, 2, true);  // the "b" was typed
  f.edit.Undo();
  EXPECT_EQ(Text(f.data, 0), std::string("a\0", 2));
  f.edit.Redo();
  EXPECT_EQ(Text(f.data, 0), std::string("a\0b\0", 4));
}

TEST(EditorUndo, ReadOnlyAndAnEmptyListBeepAndChangeNothing) {
  TEditFixture f;
  int beeps = 0;
  f.data.OnBeep = [&] { ++beeps; };
  f.style.UseSound = true;
  f.AddPara({{"abc", 0}});
  f.Format();
  f.edit.Undo();
  f.edit.Redo();
  f.data.UndoList->AddTyping(0, 3, false);
  f.edit.SetReadOnly(true);
  f.edit.Undo();
  EXPECT_EQ(Text(f.data, 0), "abc");
  EXPECT_EQ(beeps, 3);
  EXPECT_FALSE(f.edit.BeforeChange(false));
  f.edit.SetReadOnly(false);
  bool allowed = true;
  f.edit.OnChanging = [&](TCustomRichDocEdit*, bool& canEdit) { canEdit = allowed; };
  EXPECT_TRUE(f.edit.BeforeChange(false));
  allowed = false;
  EXPECT_FALSE(f.edit.BeforeChange(false));
}

TEST(EditorUndo, UndoLimitZeroMakesUndoUnavailable) {
  TEditFixture f;
  f.AddPara({{"abc", 0}});
  f.Format();
  f.edit.SetUndoLimit(0);
  f.Begin(rdutDelete);
  f.data.DeleteSubstringWithUndo(0, 1, 1);
  EXPECT_EQ(Text(f.data, 0), "bc");  // the edit still takes effect
  EXPECT_EQ(f.edit.UndoAction(), rdutNone);
}

TEST(EditorUndo, TabNavigationOtherThanNoneIsRefused) {
  TEditFixture f;
  EXPECT_THROW(f.edit.SetTabNavigation(rdtnTab), ERichDocError);
  EXPECT_NO_THROW(f.edit.SetTabNavigation(rdtnNone));
}

namespace {

// A record whose undo fails, as one that finds the document not as it left it would.
class TFailingRecord : public TRDUndoInfo {
 public:
  void Undo(TRDEditRDData&) override { throw ERichDocError("Undo error"); }
};

}  // namespace

// A step that fails half way leaves the document, its layout and both lists as they were,
// says why, and the history goes on working once the cause is gone.
TEST(EditorUndo, AStepThatFailsHalfWayLeavesEverythingAsItWas) {
  TEditFixture f;
  f.AddPara({{"first line", 0}});
  f.AddPara({{"second", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 6, false);
  SimulateKey(f.edit, VK_RETURN, "\r");
  f.data.PlaceCaretAtItem(2, 3, false);
  SimulateKey(f.edit, VK_RETURN, "\r");
  const std::string edited = DescribeDocument(f.data);
  const std::string layout = DescribeLayout(f.data);
  ASSERT_NE(edited, before);
  ASSERT_EQ(f.data.UndoList->Count(), 2);
  // The failing record is the last to be undone in the newest step, after the others.
  TRDUndoInfos& step = *f.data.UndoList->LastStep();
  const int records = step.Count();
  ASSERT_GT(records, 1);
  step.Records.insert(step.Records.begin(), std::make_unique<TFailingRecord>());
  try {
    f.edit.Undo();
    ADD_FAILURE() << "the failing step was taken back";
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Undo error");
  }
  EXPECT_EQ(DescribeDocument(f.data), edited);
  EXPECT_EQ(DescribeLayout(f.data), layout);
  EXPECT_EQ(f.data.UndoList->Count(), 2);
  EXPECT_EQ(f.data.UndoList->LastStep()->Count(), records + 1);
  EXPECT_EQ(f.data.RedoList->Count(), 0);

  f.data.UndoList->LastStep()->Records.erase(f.data.UndoList->LastStep()->Records.begin());
  f.edit.Undo();
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
  f.edit.Redo();
  f.edit.Redo();
  EXPECT_EQ(DescribeDocument(f.data), edited);
  EXPECT_EQ(DescribeLayout(f.data), layout);
}

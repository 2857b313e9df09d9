// Backspace, Delete, Enter and Shift+Enter without a selection, as the data does them:
// the document afterwards, the caret, the list numbers, protection, and each edit undone
// and redone.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

// A numbered list on the fixture's sheet: "1.", "2.", ...
int AddNumberedList(TEditFixture& f) {
  TRDListInfo& list = f.style.ListStyles().Add();
  TRDListLevel& level = list.AddLevel();
  level.ListType = rdlstDecimal;
  level.FormatString = "%0:s.";
  return f.style.ListStyles().Count() - 1;
}

void AddListItem(TEditFixture& f, int listNo, const std::string& text) {
  auto marker = TRDMarkerItemInfo::CreateMarker(&f.data, listNo, 0, 1, false);
  marker->ParaNo = 0;
  f.data.AddItemAtEnd("", std::move(marker));
  f.AddItem(0, text, true);
}

// The numbers the markers show, in document order.
std::string Numbers(const TRDEditRDData& data) {
  std::string out;
  for (int i = 0; i < data.GetItemCount(); ++i)
    if (auto* marker = dynamic_cast<const TRDMarkerItemInfo*>(data.GetItem(i)))
      out += marker->DisplayString + " ";
  return out;
}

std::unique_ptr<TCustomRDItemInfo> Picture(TRDEditRDData& data) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(16, 16);
  return TRDGraphicItemInfo::CreateWithGraphic(&data, std::move(bitmap), rdvaBaseline);
}

std::string Wide(const std::u16string& s) {
  return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

struct TKeys : TEditFixture {
  TKeys() {
    data.OnBeep = [this] { ++beeps; };
  }
  int beeps = 0;
  void Caret(int itemNo, int offset) { data.PlaceCaretAtItem(itemNo, offset, false); }
  std::pair<int, int> CaretAt() { return {edit.CaretItemNo(), edit.CaretItemOffset()}; }
  // The partial layout an edit made is the one a layout of the whole document gives.
  void ExpectLayoutWhole() {
    const std::string partial = DescribeLayout(data);
    data.FormatWhole();
    EXPECT_EQ(partial, DescribeLayout(data));
  }
};

using At = std::pair<int, int>;

}  // namespace

// --- Backspace -------------------------------------------------------------------------------

TEST(BackspaceKey, AtTheDocumentStartNothingHappens) {
  TKeys f;
  f.AddPara({{"abc", 0}});
  f.Format();
  f.Caret(0, 1);
  EXPECT_FALSE(f.data.BackspaceKey(false, false, false));
  EXPECT_EQ(Texts(f.data), "[abc]");
  EXPECT_EQ(f.data.UndoList->Count(), 0);
}

TEST(BackspaceKey, DeletesTheCharacterBeforeTheCaret) {
  TKeys f;
  f.AddPara({{"abcd", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(0, 3);
  EXPECT_TRUE(f.data.BackspaceKey(false, false, false));
  EXPECT_EQ(Texts(f.data), "[acd]");
  EXPECT_EQ(f.CaretAt(), At(0, 2));
  f.ExpectLayoutWhole();
  ExpectUndoRedo(f, before);
}

TEST(BackspaceKey, CtrlRemovesTheCommaAndSpaceThenTheWord) {
  TKeys f;
  f.AddPara({{"hello word, ", 0}});
  f.Format();
  f.Caret(0, 13);
  f.data.BackspaceKey(true, false, false);
  EXPECT_EQ(Texts(f.data), "[hello word]");
  f.data.BackspaceKey(true, false, false);
  EXPECT_EQ(Texts(f.data), "[hello ]");
  EXPECT_EQ(f.CaretAt(), At(0, 7));
  f.data.BackspaceKey(true, false, false);
  // The last word alone in its paragraph leaves the empty line.
  EXPECT_EQ(Texts(f.data), "[]");
}

TEST(BackspaceKey, NeverSplitsASurrogatePairAndByCharacterUnitTakesCombiningMarks) {
  TKeys f;
  // a, U+1F600 (a surrogate pair), e + combining acute, z
  f.AddItem(f.unicodeStyle, Wide(u"a\U0001F600e\u0301z"), false);
  f.Format();
  f.Caret(0, 4);  // after the pair
  f.data.BackspaceKey(false, false, false);
  EXPECT_EQ(f.data.GetItemTextRaw(0), Wide(u"ae\u0301z"));
  f.Caret(0, 4);  // after the accent
  f.data.BackspaceKey(false, true, false);
  EXPECT_EQ(f.data.GetItemTextRaw(0), Wide(u"az"));
}

TEST(BackspaceKey, APictureAloneInItsParagraphBecomesAnEmptyLineInTheCurrentStyles) {
  TKeys f;
  f.AddPara({{"first", 0}});
  f.data.AddItemAtEnd("", Picture(f.data));
  f.data.GetItem(1)->ParaNo = 1;
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(1, 1);
  f.edit.SetCurTextStyleNo(2);
  f.data.BackspaceKey(false, false, false);
  EXPECT_EQ(Texts(f.data), "[first] | []");
  EXPECT_EQ(f.data.GetItem(1)->StyleNo, 2);
  EXPECT_EQ(f.data.GetItem(1)->ParaNo, 1);
  EXPECT_EQ(f.CaretAt(), At(1, 1));
  ExpectUndoRedo(f, before);
}

TEST(BackspaceKey, APictureBetweenTextsGoesAndTheTextsJoin) {
  TKeys f;
  f.AddPara({{"ab", 0}, {"", 0}});
  f.data.DeleteItems(1, 1);
  f.data.AddItemAtEnd("", Picture(f.data));
  f.data.GetItem(1)->SetContinuesPara(true);
  f.AddItem(0, "cd", true);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(1, 1);
  f.data.BackspaceKey(false, false, false);
  EXPECT_EQ(Texts(f.data), "[abcd]");
  EXPECT_EQ(f.CaretAt(), At(0, 3));
  ExpectUndoRedo(f, before);
}

TEST(BackspaceKey, AfterABreakTheCaretOnlyMovesLeft) {
  TKeys f;
  f.AddPara({{"above", 0}});
  f.data.AddItemAtEnd("", CreateRDItem(rdsBreak, &f.data));
  f.AddPara({{"below", 0}});
  f.Format();
  f.Caret(2, 1);
  EXPECT_FALSE(f.data.BackspaceKey(false, false, false));
  EXPECT_EQ(Texts(f.data), "[above] | <-1> | [below]");
  EXPECT_EQ(f.CaretAt(), At(1, 1));
  // An empty text item starting a paragraph that goes on after it is no empty line: the
  // caret only moves left, and the paragraph keeps its start.
  f.data.AddItemAtEnd("", CreateRDItem(rdsBreak, &f.data));
  f.AddPara({{"", 0}});
  f.data.AddItemAtEnd("", Picture(f.data));
  f.data.GetItem(5)->SetContinuesPara(true);
  f.Format();
  f.Caret(4, 1);
  EXPECT_FALSE(f.data.BackspaceKey(false, false, false));
  EXPECT_EQ(Texts(f.data), "[above] | <-1> | [below] | <-1> | [] <-3>");
  EXPECT_EQ(f.CaretAt(), At(3, 1));
}

TEST(BackspaceKey, AtTheFirstTextOfAListItemRemovesTheMarker) {
  TKeys f;
  const int list = AddNumberedList(f);
  AddListItem(f, list, "one");
  AddListItem(f, list, "two");
  AddListItem(f, list, "three");
  f.Format();
  EXPECT_EQ(Numbers(f.data), "1. 2. 3. ");
  const std::string before = DescribeDocument(f.data);
  f.Caret(3, 1);
  f.data.BackspaceKey(false, false, false);
  EXPECT_EQ(Texts(f.data), "<-11> [one] | [two] | <-11> [three]");
  EXPECT_EQ(Numbers(f.data), "1. 2. ");
  EXPECT_EQ(f.CaretAt(), At(2, 1));
  f.ExpectLayoutWhole();
  ExpectUndoRedo(f, before);
}

TEST(BackspaceKey, AtTheStartOfAWrappedLineDeletesTheLastCharacterAbove) {
  TKeys f;
  f.edit.SetBounds(0, 0, 120, 300);
  f.AddPara({{"alpha beta gamma delta epsilon zeta eta theta", 0}});
  f.Format();
  int wrapped = -1;
  for (int d = 1; d < f.data.DrawItems.Count() && wrapped < 0; ++d)
    if (f.data.DrawItems[d]->FromNewLine) wrapped = d;
  ASSERT_GT(wrapped, 0);
  const int start = f.data.DrawItems[wrapped]->Offs;  // its first character
  f.data.CaretDItemNo = wrapped;
  f.data.BuildCaretPositions(1);
  ASSERT_EQ(f.data.CaretPosIndex, 0);
  const std::string text = f.data.GetItemTextRaw(0);
  f.data.BackspaceKey(false, false, false);
  EXPECT_EQ(f.data.GetItemTextRaw(0),
            text.substr(0, size_t(start) - 2) + text.substr(size_t(start) - 1));
  f.ExpectLayoutWhole();
}

TEST(BackspaceKey, ProtectedTextBeepsAndChangesNothing) {
  TKeys f;
  f.AddPara({{"safe", f.protectedStyle}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(0, 3);
  EXPECT_FALSE(f.data.BackspaceKey(false, false, false));
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_EQ(f.beeps, 1);
}

TEST(BackspaceKey, AtAParagraphStartJoinsWithTheParagraphAbove) {
  TKeys f;
  f.AddPara({{"one", 0}}, 1);
  f.AddPara({{"two", 0}, {"bold", 1}});
  f.AddPara({{"three", 2}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(1, 1);
  f.data.BackspaceKey(false, false, false);
  // One style: one item; the joined paragraph keeps the style of the one above.
  EXPECT_EQ(Texts(f.data), "[onetwo] [bold] | [three]");
  EXPECT_EQ(f.data.GetItem(1)->ParaNo, 1);
  EXPECT_EQ(f.CaretAt(), At(0, 4));
  ExpectUndoRedo(f, before);
  f.Caret(2, 1);
  f.data.BackspaceKey(false, false, false);
  EXPECT_EQ(Texts(f.data), "[onetwo] [bold] [three]");
  EXPECT_EQ(f.CaretAt(), At(1, 5));  // between bold and three
  f.ExpectLayoutWhole();
}

TEST(BackspaceKey, APageBreakGoesBeforeTheParagraphJoins) {
  TKeys f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"two", 0}});
  f.data.GetItem(1)->SetPageBreakBefore(true);
  f.Format();
  f.Caret(1, 1);
  f.data.BackspaceKey(false, false, false);
  EXPECT_EQ(Texts(f.data), "[one] | [two]");
  EXPECT_FALSE(f.data.GetItem(1)->GetPageBreakBefore());
  f.data.BackspaceKey(false, false, false);
  EXPECT_EQ(Texts(f.data), "[onetwo]");
}

TEST(BackspaceKey, AParagraphCheckpointKeepsItsParagraphApartButNotFromAnEmptyLine) {
  TKeys f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"", 0}});
  f.AddPara({{"two", 0}});
  f.Format();
  f.Begin();
  auto cp = std::make_unique<TRDCPInfo>();
  cp->Name = "para";
  cp->Persistent = true;
  f.data.AddCheckpointWithUndo(2, std::move(cp));
  // The empty line above goes; the checkpoint's paragraph stays as it was.
  f.Caret(2, 1);
  EXPECT_TRUE(f.data.BackspaceKey(false, false, false));
  EXPECT_EQ(Texts(f.data), "[one] | [two]");
  EXPECT_EQ(f.CaretAt(), At(1, 1));
  // Joining it to the paragraph above would lose the checkpoint's paragraph.
  EXPECT_FALSE(f.data.BackspaceKey(false, false, false));
  EXPECT_EQ(Texts(f.data), "[one] | [two]");
  EXPECT_EQ(f.beeps, 1);
}

TEST(BackspaceKey, RefusedByTheEditorChangesNothing) {
  TKeys f;
  f.AddPara({{"abc", 0}});
  f.Format();
  f.edit.OnChanging = [](TCustomRichDocEdit*, bool& canEdit) { canEdit = false; };
  f.Caret(0, 3);
  EXPECT_FALSE(f.data.BackspaceKey(false, false, false));
  EXPECT_EQ(Texts(f.data), "[abc]");
}

// --- Delete ----------------------------------------------------------------------------------

TEST(DeleteKey, AtAParagraphEndJoinsANextParagraphOfOneStyleIntoOneItem) {
  TKeys f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"two", 0}});
  f.data.GetItem(0)->Tag.Number = 5;
  f.data.GetItem(1)->Tag.Number = 5;
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(0, 4);
  EXPECT_TRUE(f.data.DeleteKey(false, false));
  EXPECT_EQ(Texts(f.data), "[onetwo]");
  EXPECT_EQ(f.CaretAt(), At(0, 4));
  ExpectUndoRedo(f, before);
}

TEST(DeleteKey, AtAParagraphEndTakesTheNextListItemsMarker) {
  TKeys f;
  const int list = AddNumberedList(f);
  f.AddPara({{"plain", 2}});
  AddListItem(f, list, "one");
  AddListItem(f, list, "two");
  AddListItem(f, list, "three");
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(0, 6);
  f.data.DeleteKey(false, false);
  EXPECT_EQ(Texts(f.data), "[plain] [one] | <-11> [two] | <-11> [three]");
  EXPECT_EQ(Numbers(f.data), "1. 2. ");
  EXPECT_EQ(f.CaretAt(), At(0, 6));
  f.ExpectLayoutWhole();
  ExpectUndoRedo(f, before);
}

TEST(DeleteKey, AtTheDocumentEndNothingButAnEmptyLastLineGoes) {
  TKeys f;
  f.AddPara({{"text", 0}});
  f.Format();
  f.Caret(0, 5);
  EXPECT_FALSE(f.data.DeleteKey(false, false));
  EXPECT_EQ(Texts(f.data), "[text]");
  f.AddPara({{"", 0}});
  f.Format();
  f.Caret(1, 1);
  EXPECT_TRUE(f.data.DeleteKey(false, false));
  EXPECT_EQ(Texts(f.data), "[text]");
  EXPECT_EQ(f.CaretAt(), At(0, 5));
}

TEST(DeleteKey, BeforeABreakAfterTextTheCaretOnlyMoves) {
  TKeys f;
  f.AddPara({{"above", 0}});
  f.data.AddItemAtEnd("", CreateRDItem(rdsBreak, &f.data));
  f.AddPara({{"below", 0}});
  f.Format();
  f.Caret(0, 6);
  EXPECT_FALSE(f.data.DeleteKey(false, false));
  EXPECT_EQ(Texts(f.data), "[above] | <-1> | [below]");
  EXPECT_EQ(f.CaretAt(), At(1, 0));
}

TEST(DeleteKey, InsideTheTextOneWholeCharacterGoes) {
  TKeys f;
  f.AddItem(f.unicodeStyle, Wide(u"a\U0001F600e\u0301z"), false);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(0, 2);
  f.data.DeleteKey(false, false);
  EXPECT_EQ(f.data.GetItemTextRaw(0), Wide(u"ae\u0301z"));
  EXPECT_EQ(f.CaretAt(), At(0, 2));
  ExpectUndoRedo(f, before);
}

TEST(DeleteKey, AnEmptyParagraphAfterTheCaretGoes) {
  TKeys f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"", 0}});
  f.AddPara({{"two", 0}});
  f.Format();
  f.Caret(0, 4);
  f.data.DeleteKey(false, false);
  EXPECT_EQ(Texts(f.data), "[one] | [two]");
  EXPECT_EQ(f.CaretAt(), At(0, 4));
}

TEST(DeleteKey, AtTheEndOfAWrappedLineDeletesTheFirstCharacterBelow) {
  TKeys f;
  f.edit.SetBounds(0, 0, 120, 300);
  f.AddPara({{"alpha beta gamma delta epsilon zeta eta theta", 0}});
  f.Format();
  int wrapped = -1;
  for (int d = 1; d < f.data.DrawItems.Count() && wrapped < 0; ++d)
    if (f.data.DrawItems[d]->FromNewLine) wrapped = d;
  ASSERT_GT(wrapped, 0);
  const int start = f.data.DrawItems[wrapped]->Offs;
  f.data.CaretDItemNo = wrapped - 1;
  f.data.BuildCaretPositions(f.data.GetDrawItemEndOffset(wrapped - 1));
  ASSERT_TRUE(f.data.CaretAtLineEnd());
  const std::string text = f.data.GetItemTextRaw(0);
  const int caretOffs = f.edit.CaretItemOffset();
  f.data.DeleteKey(false, false);
  EXPECT_EQ(f.data.GetItemTextRaw(0),
            text.substr(0, size_t(caretOffs) - 1) + text.substr(size_t(caretOffs)));
  EXPECT_LE(caretOffs, start);
  f.ExpectLayoutWhole();
}

// --- Enter -----------------------------------------------------------------------------------

TEST(EnterKey, AtAHeadingsEndTheNewParagraphTakesTheNextStyles) {
  TKeys f;
  TParaInfo& heading = f.style.ParaStyles().Add();
  heading.NextParaNo = 0;
  const int headingPara = f.style.ParaStyles().Count() - 1;
  f.style.TextStyles().Items(1).NextStyleNo = 0;
  f.AddPara({{"Title", 1}}, headingPara);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(0, 6);
  EXPECT_TRUE(f.data.EnterKey(false, false));
  EXPECT_EQ(Texts(f.data), "[Title] | []");
  EXPECT_EQ(f.data.GetItem(1)->StyleNo, 0);
  EXPECT_EQ(f.data.GetItem(1)->ParaNo, 0);
  EXPECT_EQ(f.CaretAt(), At(1, 1));
  EXPECT_EQ(f.edit.CurTextStyleNo(), 0);
  f.ExpectLayoutWhole();
  ExpectUndoRedo(f, before);
}

TEST(EnterKey, InsideAListItemTheNewParagraphGetsAMarkerAndTheNumbersMoveOn) {
  TKeys f;
  const int list = AddNumberedList(f);
  AddListItem(f, list, "onetwo");
  AddListItem(f, list, "three");
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(1, 4);
  f.data.EnterKey(false, false);
  EXPECT_EQ(Texts(f.data), "<-11> [one] | <-11> [two] | <-11> [three]");
  EXPECT_EQ(Numbers(f.data), "1. 2. 3. ");
  EXPECT_EQ(f.CaretAt(), At(3, 1));
  f.ExpectLayoutWhole();
  ExpectUndoRedo(f, before);
}

TEST(EnterKey, InAnEmptyListItemEndsTheList) {
  TKeys f;
  const int list = AddNumberedList(f);
  AddListItem(f, list, "one");
  AddListItem(f, list, "");
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(3, 1);
  f.data.EnterKey(false, false);
  EXPECT_EQ(Texts(f.data), "<-11> [one] | [] | []");
  EXPECT_EQ(Numbers(f.data), "1. ");
  EXPECT_EQ(f.CaretAt(), At(3, 1));
  // One key, one undo step.
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  ExpectUndoRedo(f, before);
}

TEST(EnterKey, WithKeepMarkerOnEnterAnEmptyListItemGetsAnotherAfterIt) {
  TKeys f;
  const int list = AddNumberedList(f);
  AddListItem(f, list, "one");
  AddListItem(f, list, "");
  f.Format();
  KeepMarkerOnEnter = true;
  f.Caret(3, 1);
  f.data.EnterKey(false, false);
  KeepMarkerOnEnter = false;
  EXPECT_EQ(Texts(f.data), "<-11> [one] | <-11> [] | <-11> []");
  EXPECT_EQ(Numbers(f.data), "1. 2. 3. ");
}

TEST(EnterKey, ShiftInsideAWordStartsALineOfTheSameParagraph) {
  TKeys f;
  f.AddPara({{"halfhalf", 2}}, 1);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(0, 5);
  f.data.EnterKey(true, false);
  EXPECT_EQ(Texts(f.data), "[half] / [half]");
  EXPECT_EQ(f.data.GetItem(1)->StyleNo, 2);
  EXPECT_EQ(f.data.GetItem(1)->ParaNo, 1);
  EXPECT_EQ(f.CaretAt(), At(1, 1));
  f.ExpectLayoutWhole();
  ExpectUndoRedo(f, before);
}

TEST(EnterKey, AtAParagraphStartItsCheckpointStaysOnTheNewFirstLine) {
  TKeys f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"two", 0}});
  f.Format();
  f.Begin();
  auto cp = std::make_unique<TRDCPInfo>();
  cp->Name = "here";
  f.data.AddCheckpointWithUndo(1, std::move(cp));
  const std::string before = DescribeDocument(f.data);
  f.Caret(1, 1);
  f.data.EnterKey(false, false);
  EXPECT_EQ(Texts(f.data), "[one] | [] | [two]");
  ASSERT_TRUE(f.data.GetItem(1)->Checkpoint);
  EXPECT_EQ(f.data.GetItem(1)->Checkpoint->Name, "here");
  EXPECT_FALSE(f.data.GetItem(2)->Checkpoint);
  EXPECT_EQ(f.CaretAt(), At(2, 1));
  ExpectUndoRedo(f, before);
}

TEST(EnterKey, RefusedWhereReturnsAreNotWantedOrTheParagraphIsReadOnly) {
  TKeys f;
  TParaInfo& noReturns = f.style.ParaStyles().Add();
  noReturns.Options |= rdpaoDoNotWantReturns;
  f.AddPara({{"single", 0}}, f.style.ParaStyles().Count() - 1);
  f.AddPara({{"fixed", 0}}, f.readOnlyPara);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Caret(0, 3);
  EXPECT_FALSE(f.data.EnterKey(false, false));
  f.Caret(1, 3);
  EXPECT_FALSE(f.data.EnterKey(false, false));
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_EQ(f.beeps, 2);
  // At the end of a read-only paragraph a new one may begin.
  f.Caret(1, 6);
  EXPECT_TRUE(f.data.EnterKey(false, false));
  EXPECT_EQ(Texts(f.data), "[single] | [fixed] | []");
}

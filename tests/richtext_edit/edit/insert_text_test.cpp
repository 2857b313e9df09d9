// Typing and inserting text and documents at the caret: how text is cut into paragraphs,
// lines, pages and tab items, where the caret ends, what joins, and undo of each as one
// step.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/text/streams.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext_edit/edit/support/edit_fixture.h"
#include "richtext_edit/rtf/rtf_insert.h"
#include "richtext_edit/tables/table_item.h"

namespace {

void InsertAnsi(TEditFixture& f, const std::string& s, bool caretAtStart = false) {
  f.Begin();
  f.data.InsertAnsiTextAtCaret(s, caretAtStart);
}

void InsertUnicode(TEditFixture& f, const std::u16string& s) {
  f.Begin();
  std::string bytes;
  for (char16_t c : s) {
    bytes += char(c & 0xFF);
    bytes += char(c >> 8);
  }
  f.data.InsertUnicodeTextAtCaret(bytes, false);
}

std::string Caret(TEditFixture& f) {
  return std::to_string(f.edit.CaretItemNo()) + ":" + std::to_string(f.edit.CaretItemOffset());
}

}  // namespace

TEST(InsertText, LineBreakPairsMakeOneParagraphBreakAndDoubledOnesAnEmptyParagraph) {
  const struct {
    const char* text;
    const char* items;
  } cases[] = {
      {"a\r\nb", "[xa] | [by]"},      {"a\n\rb", "[xa] | [by]"}, {"a\r\rb", "[xa] | [] | [by]"},
      {"a\n\nb", "[xa] | [] | [by]"}, {"a\r\n", "[xa] | [y]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TEditFixture f;
    f.AddPara({{"xy", 0}});
    f.Format();
    const std::string before = DescribeDocument(f.data);
    f.data.PlaceCaretAtItem(0, 2, false);
    InsertAnsi(f, c.text);
    EXPECT_EQ(Texts(f.data), c.items);
    EXPECT_EQ(f.data.UndoList->Count(), 1);
    ExpectUndoRedo(f, before);
  }
}

TEST(InsertText, AFormFeedStartsAParagraphOnANewPage) {
  TEditFixture f;
  f.AddPara({{"", 0}});
  f.Format();
  InsertAnsi(f, "one\ftwo");
  EXPECT_EQ(Texts(f.data), "[one] | [two]");
  EXPECT_TRUE(f.data.GetItem(1)->GetPageBreakBefore());
}

TEST(InsertText, UnicodeSeparatorsMakeLinesOrParagraphs) {
  TEditFixture f;
  f.AddPara({{"", f.unicodeStyle}});
  f.Format();
  f.edit.SetCurTextStyleNo(f.unicodeStyle);
  InsertUnicode(f, u"ab\u2028cd\u2029ef\x0Bgh");
  const std::string w = std::string("a\0b\0", 4);
  EXPECT_EQ(f.data.GetItemCount(), 4);
  EXPECT_TRUE(f.data.GetItem(1)->GetLineBreakBefore());
  EXPECT_TRUE(f.data.IsParaStart(2));
  EXPECT_TRUE(f.data.GetItem(3)->GetLineBreakBefore());
  EXPECT_EQ(f.data.GetItemTextRaw(0), w);
  // A byte-order mark is skipped, a swapped one swaps the text.
  f.data.PlaceCaretAtItem(3, 5, false);
  f.Begin();
  f.data.InsertUnicodeTextAtCaret(std::string("\xFE\xFF\0z", 4), false);
  EXPECT_EQ(f.data.GetItemTextRaw(3), std::string("g\0h\0z\0", 6));
  EXPECT_THROW(f.data.InsertUnicodeTextAtCaret("abc", false), ERichDocError);
}

TEST(InsertText, UnicodeTextIntoAnAnsiStyleIsConverted) {
  TEditFixture f;
  f.AddPara({{"", 0}});
  f.Format();
  InsertUnicode(f, u"caf\u00E9 \u20AC");
  EXPECT_EQ(Texts(f.data), "[caf\xE9 \x80]");
}

TEST(InsertText, TabsBecomeItemsOrSpaces) {
  TEditFixture f;
  f.AddPara({{"", 0}});
  f.Format();
  InsertAnsi(f, "a\tb");
  EXPECT_EQ(Texts(f.data), "[a] <-12> [b]");
  f.style.SpacesInTab = 4;
  InsertAnsi(f, "\tc");
  EXPECT_EQ(Texts(f.data), "[a] <-12> [b    c]");
}

TEST(InsertText, IntoAWordOfTheSameStyleItStaysOneItemWithTheCaretAfterOrBefore) {
  TEditFixture f;
  f.AddPara({{"abcd", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 3, false);
  InsertAnsi(f, "xyz");
  EXPECT_EQ(Texts(f.data), "[abxyzcd]");
  EXPECT_EQ(Caret(f), "0:6");
  f.data.PlaceCaretAtItem(0, 3, false);
  InsertAnsi(f, "12", true);
  EXPECT_EQ(Texts(f.data), "[ab12xyzcd]");
  EXPECT_EQ(Caret(f), "0:3");
}

TEST(InsertText, EachNewParagraphOfAListParagraphGetsItsOwnMarker) {
  TEditFixture f;
  TRDListInfo& list = f.style.ListStyles().Add();
  TRDListLevel& level = list.AddLevel();
  level.ListType = rdlstDecimal;
  level.FormatString = "%0:s.";
  f.data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&f.data, 0, 0, 1, false));
  f.AddItem(0, "first", true);
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(1, 6, false);
  InsertAnsi(f, "\r\nsecond\r\nthird");
  EXPECT_EQ(Texts(f.data), "<-11> [first] | <-11> [second] | <-11> [third]");
  EXPECT_EQ(f.data.CheckItemClass<TRDMarkerItemInfo>(4).DisplayString, "3.");
  ExpectUndoRedo(f, before);
}

TEST(InsertText, FromAStreamAndAFile) {
  TEditFixture f;
  f.AddPara({{"", 0}});
  f.Format();
  TMemoryStream empty;
  EXPECT_FALSE(f.data.InsertTextStreamAtCaret(empty, false));
  TMemoryStream stream;
  stream.WriteBuffer("ab\0c", 4);
  stream.SetPosition(1);
  f.Begin();
  EXPECT_TRUE(f.data.InsertTextStreamAtCaret(stream, false));
  EXPECT_EQ(Texts(f.data), "[b?c]");
  const std::string name = testing::TempDir() + "insert_text.txt";
  std::ofstream(name) << "line 1\r\nline 2";
  f.Begin();
  EXPECT_TRUE(f.data.InsertTextFileAtCaret(name, false));
  EXPECT_EQ(Texts(f.data), "[b?cline 1] | [line 2]");
  std::remove(name.c_str());
}

// --- typing ----------------------------------------------------------------------------------

TEST(Typing, CharactersOfTheCurrentStyleGrowTheItemAndUndoOneByOne) {
  TEditFixture f;
  f.AddPara({{"ab", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 3, false);
  EXPECT_TRUE(f.edit.TypeChar(u'c'));
  EXPECT_TRUE(f.edit.TypeChar(u'd'));
  EXPECT_EQ(Texts(f.data), "[abcd]");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  EXPECT_EQ(f.data.UndoList->CurrentKind(), rdutTyping);
  f.edit.Undo();
  EXPECT_EQ(Texts(f.data), "[abc]");
}

TEST(Typing, ALineAfterASoftBreakKeepsItsLeadingSpaceAsAWholeLayoutDoes) {
  // The paragraph's first line wraps or not; either way the soft break's line is no
  // wrapped line, and a layout of it alone shows what the whole one does.
  for (const char* first : {"short",
                            "words enough to wrap the first line of this paragraph "
                            "at least once in the editor"}) {
    TEditFixture f;
    f.AddPara({{first, 0}});
    f.AddItem(0, " after a soft break", false);
    f.data.GetItem(1)->SetLineBreakBefore(true);
    f.Format();
    f.data.PlaceCaretAtItem(1, f.data.GetItemEndOffset(1), false);
    EXPECT_TRUE(f.edit.TypeChar(u'x'));
    const std::string typed = DescribeLayout(f.data);
    f.data.FormatWhole();
    EXPECT_EQ(DescribeLayout(f.data), typed) << first;
    const TRDDrawLineInfo& line = *f.data.DrawItems[f.data.GetItem(1)->DrawItemNo];
    EXPECT_EQ(line.Offs, 1) << first;
  }
}

TEST(Typing, AfterABoldWordTypingGoesOnInAFollowingItemOfTheCurrentStyle) {
  TEditFixture f;
  f.AddPara({{"bold", 1}, {"plain", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 5, false);
  f.edit.SetCurTextStyleNo(0);
  EXPECT_TRUE(f.edit.TypeChar(u'x'));
  EXPECT_EQ(Texts(f.data), "[bold] [xplain]");
  EXPECT_EQ(Caret(f), "1:2");
}

TEST(Typing, AnotherStyleStartsAnItemAndProtectedTextOnlyAtItsEnds) {
  TEditFixture f;
  f.AddPara({{"guarded", f.protectedStyle}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 3, false);
  f.edit.SetCurTextStyleNo(f.protectedStyle);
  EXPECT_FALSE(f.edit.TypeChar(u'x'));
  EXPECT_EQ(DescribeDocument(f.data), before);
  f.data.PlaceCaretAtItem(0, 8, false);
  f.edit.SetCurTextStyleNo(f.protectedStyle);
  EXPECT_TRUE(f.edit.TypeChar(u'x'));
  EXPECT_EQ(Texts(f.data), "[guarded] [x]");
  f.edit.SetCurTextStyleNo(2);
  EXPECT_TRUE(f.edit.TypeChar(u'y'));
  EXPECT_EQ(Texts(f.data), "[guarded] [x] [y]");
  EXPECT_EQ(f.data.GetItem(2)->StyleNo, 2);
  f.edit.Undo();
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

TEST(Typing, ANonLatinCharacterGoesIntoAUnicodeItemWhole) {
  TEditFixture f;
  f.AddPara({{"", f.unicodeStyle}});
  f.Format();
  f.edit.SetCurTextStyleNo(f.unicodeStyle);
  EXPECT_TRUE(f.edit.TypeChar(u'\u65E5'));
  EXPECT_EQ(f.data.GetItemTextRaw(0), std::string("\xE5\x65", 2));
  f.edit.Undo();
  EXPECT_EQ(f.data.GetItemTextRaw(0), "");
}

// --- documents -------------------------------------------------------------------------------

namespace {

std::string SavedRDF(const std::function<void(TEditFixture&)>& build) {
  TEditFixture source;
  build(source);
  TMemoryStream stream;
  SaveRDFToStream(source.data, stream, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

bool InsertRDF(TEditFixture& f, const std::string& rdf) {
  TMemoryStream stream;
  stream.WriteBuffer(rdf.data(), int64_t(rdf.size()));
  stream.SetPosition(0);
  return f.data.InsertRDFStreamAtCaret(stream);
}

}  // namespace

TEST(InsertRDF, ADocumentGoesIntoTheCaretParagraphAndJoinsItsNeighbours) {
  const std::string rdf = SavedRDF([](TEditFixture& s) {
    s.AddPara({{"one", 0}});
    s.AddPara({{"two", 0}, {"!", 2}});
  });
  TEditFixture f;
  f.AddPara({{"abcd", 0}});
  f.AddPara({{"next", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 3, false);
  ASSERT_TRUE(InsertRDF(f, rdf));
  EXPECT_EQ(Texts(f.data), "[abone] | [two] [!] [cd] | [next]");
  EXPECT_EQ(Caret(f), "2:2");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  const std::string partial = DescribeLayout(f.data);
  f.data.FormatWhole();
  EXPECT_EQ(partial, DescribeLayout(f.data));
  ExpectUndoRedo(f, before);
}

TEST(InsertRDF, AtAParagraphStartThatParagraphGoesOnAfterTheDocument) {
  const std::string rdf = SavedRDF([](TEditFixture& s) { s.AddPara({{"new ", 2}}); });
  TEditFixture f;
  f.AddPara({{"first", 0}});
  f.AddPara({{"second", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(1, 1, false);
  ASSERT_TRUE(InsertRDF(f, rdf));
  EXPECT_EQ(Texts(f.data), "[first] | [new ] [second]");
}

// A document cut short: what was read stays, recorded as one step and laid out.
TEST(InsertRDF, AReadFailingAfterItemsWentInStillFinishesTheInsertion) {
  std::string rdf = SavedRDF([](TEditFixture& s) {
    s.AddPara({{"kept", 0}});
    s.AddPara({{"lost", 0}});
  });
  rdf.resize(rdf.rfind("lost") - 2);
  TEditFixture f;
  f.AddPara({{"ab", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 3, false);
  int beeps = 0;
  f.data.OnBeep = [&beeps] { ++beeps; };
  EXPECT_FALSE(InsertRDF(f, rdf));
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(Texts(f.data), "[abkept]");
  const std::string partial = DescribeLayout(f.data);
  f.data.FormatWhole();
  EXPECT_EQ(partial, DescribeLayout(f.data));
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

namespace {

// The document's text: items one after the other, " | " between paragraphs.
std::string PlainText(const TRDEditRDData& data) {
  std::string out;
  for (int i = 0; i < data.GetItemCount(); ++i) {
    if (i > 0 && data.IsParaStart(i)) out += " | ";
    out += data.GetItemTextRaw(i);
  }
  return out;
}

bool InsertRTF(TEditFixture& f, const std::string& rtf) {
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  return InsertRTFStreamAtCaret(f.data, stream);
}

}  // namespace

TEST(InsertRTF, RTFGoesIntoTheCaretParagraphAsOneStep) {
  TEditFixture f;
  f.AddPara({{"abcd", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 3, false);
  ASSERT_TRUE(InsertRTF(f, "{\\rtf1\\ansi hello\\par world}"));
  EXPECT_EQ(PlainText(f.data), "abhello | worldcd");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  ExpectUndoRedo(f, before);
  // Nothing to read is done at once; broken RTF keeps what was read and says so.
  TMemoryStream empty;
  EXPECT_TRUE(InsertRTFStreamAtCaret(f.data, empty));
  f.data.PlaceCaretAtItem(0, 1, false);
  EXPECT_FALSE(InsertRTF(f, "{\\rtf1 kept\\par {"));
  EXPECT_EQ(PlainText(f.data).substr(0, 4), "kept");
}

// A table inserted inside a paragraph ends that paragraph: the text after the caret starts
// its own below the table, as it was copied from (cut from a cell and pasted back too).
TEST(InsertRTF, TheTextAfterATableInsertedInsideAParagraphStartsItsOwn) {
  RegisterTableItemClass();
  TEditFixture f;
  f.AddPara({{"abcd", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.data.PlaceCaretAtItem(0, 3, false);
  ASSERT_TRUE(InsertRTF(f, "{\\rtf1\\ansi\\trowd\\cellx1500\\pard\\intbl x\\cell\\row}"));
  ASSERT_EQ(f.data.GetItemCount(), 3);
  EXPECT_EQ(PlainText(f.data), "ab |  | cd");
  const std::string inserted = DescribeLayout(f.data);
  f.data.FormatWhole();
  EXPECT_EQ(DescribeLayout(f.data), inserted);
  ExpectUndoRedo(f, before);
}

// At the start of a list paragraph the caret stands right after its number: a document
// going in there goes in before the number, which stays with its text (in RTF and in the
// component's own format alike); the caret goes on after what went in.
TEST(InsertRTF, AtTheStartOfAListItemTheNumberStaysWithItsParagraph) {
  auto build = [](TEditFixture& f) {
    TRDListInfo& list = f.style.ListStyles().Add();
    TRDListLevel& level = list.AddLevel();
    level.ListType = rdlstDecimal;
    level.FormatString = "%0:s.";
    f.AddPara({{"intro", 0}});
    f.data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&f.data, 0, 0, 1, false));
    f.AddItem(0, "first", true);
    f.data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&f.data, 0, 0, 1, false));
    f.AddItem(0, "second", true);
    f.Format();
  };
  const std::string pasted = SavedRDF([](TEditFixture& source) {
    source.AddPara({{"one", 0}});
    source.AddPara({{"two", 0}});
  });
  for (const bool rtf : {true, false}) {
    TEditFixture f;
    build(f);
    const std::string before = DescribeDocument(f.data);
    f.data.PlaceCaretAtItem(2, 1, false);
    ASSERT_TRUE(rtf ? InsertRTF(f, "{\\rtf1\\ansi one\\par two\\par}") : InsertRDF(f, pasted));
    EXPECT_EQ(Texts(f.data), "[intro] | [one] | [two] | <-11> [first] | <-11> [second]") << rtf;
    EXPECT_EQ(f.data.CheckItemClass<TRDMarkerItemInfo>(5).DisplayString, "2.");
    EXPECT_EQ(f.data.GetCurrentItemNo(), 2) << rtf;
    ExpectUndoRedo(f, before);
  }
}

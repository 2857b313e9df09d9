// The recording operations of the editable data: each change and its inverse, with their
// edge cases, and a property test: random edit sequences undone step by step give
// back the first document item by item, and redone the last one.
#include <gtest/gtest.h>

#include <random>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/edit/named_properties.h"
#include "richtext_edit/edit/support/edit_fixture.h"
#include "richtext_edit/rtf/rtf_insert.h"

namespace {

// Every step taken back (a step that undo does not consume fails the test).
void UndoAll(TEditFixture& f) {
  for (int guard = 0; f.data.UndoList->Count() > 0; ++guard) {
    ASSERT_LT(guard, 1000);
    f.edit.Undo();
  }
}

void RedoAll(TEditFixture& f) {
  for (int guard = 0; f.data.RedoList->Count() > 0; ++guard) {
    ASSERT_LT(guard, 1000);
    f.edit.Redo();
  }
}

std::unique_ptr<TRDCPInfo> Checkpoint(const std::string& name, bool paragraph = false) {
  auto cp = std::make_unique<TRDCPInfo>();
  cp->Name = name;
  cp->Persistent = paragraph;
  return cp;
}

}  // namespace

TEST(UndoRecording, DeletedRangesAreHeldLastFirstAndComeBackInOrder) {
  TEditFixture f;
  f.AddPara({{"one", 0}, {"two", 1}});
  f.AddPara({{"three", 0}});
  f.AddPara({{"four", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Begin(rdutDelete);
  bool full = false;
  f.data.DeleteItemsWithUndo(1, 2, full);
  auto* record =
      dynamic_cast<TRDUndoDeleteItemsInfo*>(f.data.UndoList->LastStep()->Records[0].get());
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(record->List.size(), 2u);
  EXPECT_EQ(record->List[0].first, "three");
  EXPECT_EQ(record->List[1].first, "two");
  f.data.FormatWhole();
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

TEST(UndoRecording, WithLimitZeroDeletedItemsAreFreedAtOnce) {
  TEditFixture f;
  f.AddPara({{"one", 0}});
  f.AddPara({{"two", 0}});
  f.edit.SetUndoLimit(0);
  int destroyed = 0;
  f.data.OnItemAction = [&](TCustomRDData*, TRDItemAction action, TCustomRDItemInfo*) {
    if (action == rdiaDestroying) ++destroyed;
  };
  f.Begin(rdutDelete);
  EXPECT_EQ(f.data.GetUndoListForRecording(), nullptr);
  bool full = false;
  f.data.DeleteItemWithUndo(0, full);
  EXPECT_EQ(f.data.GetItemCount(), 1);
  EXPECT_EQ(destroyed, 1);
}

TEST(UndoRecording, AParagraphStartInsertedBeforeAContinuationLendsItsStyleToTheRest) {
  TEditFixture f;
  f.AddPara({{"a", 0}, {"b", 0}, {"c", 0}});
  f.Format();
  f.Begin();
  auto item = CreateRDItem(0, &f.data);
  item->ParaNo = 1;
  bool full = false;
  f.data.InsertItemWithUndo(1, "new", std::move(item), false, full);
  EXPECT_EQ(f.data.GetItemPara(2), 1);
  EXPECT_EQ(f.data.GetItemPara(3), 1);
  EXPECT_EQ(f.data.GetItemPara(0), 0);
  EXPECT_EQ(f.data.UndoList->Count(), 1);  // the style change belongs to the same step
  EXPECT_EQ(f.data.UndoList->LastStep()->Count(), 2);
}

TEST(UndoRecording, ContinuingAParagraphDropsBreaksEachWithItsOwnRecord) {
  TEditFixture f;
  f.AddPara({{"a", 0}});
  f.AddPara({{"b", 0}});
  f.data.GetItem(1)->SetPageBreakBefore(true);
  f.Begin();
  bool full = false;
  f.data.SetLineBreakWithUndo(1, true, full);
  f.data.UndoList->BeginStep(rdutInsert, "", 0, 1);
  f.data.SetParaStartWithUndo(1, true, full, -1);
  const TRDUndoInfos& step = *f.data.UndoList->LastStep();
  ASSERT_GE(step.Count(), 3);
  EXPECT_EQ(step.Records[0]->Kind, rdrkLineBreak);
  EXPECT_EQ(step.Records[1]->Kind, rdrkPageBreak);
  EXPECT_EQ(step.Records[2]->Kind, rdrkNewLine);
  EXPECT_TRUE(f.data.GetItem(1)->GetContinuesPara());
  EXPECT_FALSE(f.data.GetItem(1)->GetPageBreakBefore());
}

TEST(UndoRecording, APageBreakAfterAListMarkerGoesOnTheMarker) {
  TEditFixture f;
  f.AddPara({{"a", 0}});
  auto marker = CreateRDItem(rdsListMarker, &f.data);
  f.data.AddItemAtEnd("", std::move(marker));
  f.AddItem(0, "b", true);
  f.Begin();
  f.data.SetPageBreakWithUndo(2, true);
  EXPECT_TRUE(f.data.GetItem(1)->GetPageBreakBefore());
  EXPECT_TRUE(f.data.IsPageBreakBefore(2));
}

TEST(UndoRecording, JoiningAnEmptyItemTakesTheNextItemsTextTagAndStyle) {
  TEditFixture f;
  f.AddPara({{"", 0}, {"text", 3}});
  f.data.GetItem(1)->Tag.Number = 42;
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Begin(rdutDelete);
  f.data.JoinWithNextItemWithUndo(0);
  ASSERT_EQ(f.data.GetItemCount(), 1);
  EXPECT_EQ(f.data.GetItemTextRaw(0), "text");
  EXPECT_EQ(f.data.GetItem(0)->StyleNo, 3);
  EXPECT_EQ(f.data.GetItem(0)->Tag.Number, 42);
  f.data.FormatWhole();
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

TEST(UndoRecording, CheckpointsMoveAndComeBack) {
  TEditFixture f;
  f.AddPara({{"a", 0}, {"b", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.Begin();
  f.data.AddCheckpointWithUndo(0, Checkpoint("first"));
  EXPECT_THROW(f.data.AddCheckpointWithUndo(0, Checkpoint("again")), ERichDocError);
  EXPECT_THROW(f.data.DeleteCheckpointWithUndo(1), ERichDocError);
  f.data.AddCheckpointWithUndo(-1, Checkpoint("end"));
  f.data.MoveCheckpointWithUndo(0, 1);
  EXPECT_EQ(f.data.GetItem(0)->Checkpoint, nullptr);
  ASSERT_NE(f.data.GetItem(1)->Checkpoint, nullptr);
  EXPECT_EQ(f.data.GetItem(1)->Checkpoint->Name, "first");
  EXPECT_EQ(f.data.CPCount, 2);
  const std::string after = DescribeDocument(f.data);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
  f.edit.Redo();
  EXPECT_EQ(DescribeDocument(f.data), after);
}

TEST(UndoRecording, InsertingIntoANonTextItemIsAnUndoError) {
  TEditFixture f;
  f.AddPara({{"a", 0}});
  f.data.AddItemAtEnd("", CreateRDItem(rdsBreak, &f.data));
  f.Begin();
  EXPECT_THROW(f.data.InsertSubstringWithUndo(1, 1, "x"), ERichDocError);
  EXPECT_THROW(f.data.InsertSubstringWithUndo(5, 1, "x"), ERichDocError);
  EXPECT_EQ(f.data.UndoList->LastStep()->Count(), 0);
}

// --- properties by name ---------------------------------------------------------------------

namespace {

class TSizedItem : public TRDTextItemInfo, public TRDNamedProperties {
 public:
  using TRDTextItemInfo::TRDTextItemInfo;
  int Border = 1;
  bool Shaded = false;
  std::string Caption;
  int changes = 0;
  const TRDPropertyTable& GetPropertyTable() const override {
    static const TRDPropertyTable table =
        TRDPropertyTable()
            .AddInt<TSizedItem>(
                "Border", [](const TSizedItem& i) { return i.Border; },
                [](TSizedItem& i, int v) { i.Border = v; })
            .AddInt<TSizedItem>(
                "Shaded", [](const TSizedItem& i) { return i.Shaded; },
                [](TSizedItem& i, int v) { i.Shaded = v != 0; })
            .AddStr<TSizedItem>(
                "Caption", [](const TSizedItem& i) { return i.Caption; },
                [](TSizedItem& i, const std::string& v) { i.Caption = v; });
    return table;
  }
  void AfterUndoChangeProperty() override { ++changes; }
};

}  // namespace

TEST(UndoRecording, PropertiesSetByNameUndoAndRedo) {
  TEditFixture f;
  auto owned = std::make_unique<TSizedItem>(&f.data);
  TSizedItem* item = owned.get();
  f.data.AddItemAtEnd("x", std::move(owned));
  f.Format();
  f.Begin(rdutModifyItem);
  f.data.AddModifyItemTerminator(0, true);
  EXPECT_NE(f.data.SetIntPropertyWithUndo(0, nullptr, nullptr, true, true, 5, "Border"), nullptr);
  EXPECT_EQ(f.data.SetIntPropertyWithUndo(0, nullptr, nullptr, true, true, 5, "Border"), nullptr);
  f.data.SetIntPropertiesWithUndo(0, nullptr, nullptr, false, false,
                                  {{"Shaded", 1}, {"Border", 7}});
  f.data.SetStrPropertyWithUndo(0, nullptr, nullptr, "hello", "Caption");
  f.data.AddModifyItemTerminator(0, false);
  EXPECT_EQ(item->Border, 7);
  EXPECT_TRUE(item->Shaded);
  EXPECT_EQ(item->Caption, "hello");
  EXPECT_THROW(f.data.SetIntPropertyWithUndo(0, nullptr, nullptr, false, false, 1, "Missing"),
               ERichDocError);

  f.edit.Undo();
  EXPECT_EQ(item->Border, 1);
  EXPECT_FALSE(item->Shaded);
  EXPECT_EQ(item->Caption, "");
  f.edit.Redo();
  EXPECT_EQ(item->Border, 7);
  EXPECT_TRUE(item->Shaded);
  EXPECT_EQ(item->Caption, "hello");
  EXPECT_GT(item->changes, 0);
  // The redo list's record ran through the same terminators.
  EXPECT_EQ(f.data.UndoList->LastStep()->Records.front()->Kind, rdrkModifyItem);
}

TEST(UndoRecording, AnItemWithoutNamedPropertiesRefusesThem) {
  TEditFixture f;
  f.AddPara({{"x", 0}});
  f.Begin(rdutModifyItem);
  EXPECT_THROW(f.data.SetIntPropertyWithUndo(0, nullptr, nullptr, false, false, 1, "Border"),
               ERichDocError);
}

// --- the property test ------------------------------------------------------------------------

namespace {

// One random elementary change through the recording operations, or nothing when the
// document offers no place for the one drawn.
void RandomEdit(TEditFixture& f, std::mt19937& rng) {
  TRDEditRDData& d = f.data;
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  const int count = d.GetItemCount();
  const int itemNo = pick(count);
  TCustomRDItemInfo* item = d.GetItem(itemNo);
  const bool text = item->StyleNo >= 0;
  const bool unicode = IsUnicodeItem(item->ItemOptions);
  const int length = d.GetItemLength(itemNo);
  bool full = false;
  switch (pick(14)) {
    case 0:
      if (text)
        d.InsertSubstringWithUndo(itemNo, 1 + pick(length + 1),
                                  unicode ? std::string("z\0", 2) : "zq");
      break;
    case 1:
      if (text && length > 0) {
        const int pos = 1 + pick(length);
        d.DeleteSubstringWithUndo(itemNo, pos, 1 + pick(length - pos + 1));
      }
      break;
    case 2:
      if (count > 1) d.DeleteItemWithUndo(itemNo, full);
      break;
    case 3:
      if (count > 2) {
        const int last = std::min(count - 2, itemNo + pick(3));
        if (last >= itemNo) d.DeleteItemsWithUndo(itemNo, last, full);
      }
      break;
    case 4: {
      const int kind = pick(3);
      auto made = CreateRDItem(kind == 0 ? rdsBreak : kind == 1 ? rdsTab : pick(3), &d);
      made->ParaNo = pick(2);
      if (kind != 0 && pick(2)) made->SetContinuesPara(true);
      if (pick(4) == 0) made->Checkpoint = Checkpoint("new");
      d.InsertItemWithUndo(pick(count + 1), kind == 2 ? "ins" : "", std::move(made), false, full);
      break;
    }
    case 5: {
      const int last = std::min(count - 1, itemNo + pick(3));
      d.SetParaNoRangeWithUndo(itemNo, last, full, pick(3));
      break;
    }
    case 6:
      if (itemNo > 0) d.SetParaStartWithUndo(itemNo, pick(2) == 0, full, pick(2) ? -1 : pick(3));
      break;
    case 7:
      if (itemNo > 0 && !item->QueryItemFlag(0)) d.SetLineBreakWithUndo(itemNo, pick(2) == 0, full);
      break;
    case 8:
      d.SetPageBreakWithUndo(itemNo, pick(2) == 0);
      break;
    case 9:
      if (text) d.SetItemStyleNoWithUndo(itemNo, pick(2) ? f.unicodeStyle : pick(4));
      break;
    case 10: {
      TRDTag tag;
      tag.Number = pick(5);
      d.SetItemTagWithUndo(itemNo, tag);
      break;
    }
    case 11:
      if (item->Checkpoint)
        d.DeleteCheckpointWithUndo(itemNo);
      else
        d.AddCheckpointWithUndo(itemNo, Checkpoint("cp" + std::to_string(pick(100)), pick(2)));
      break;
    case 12:
      if (itemNo + 1 < count && text && d.GetItem(itemNo + 1)->StyleNo >= 0 &&
          d.GetItem(itemNo + 1)->GetContinuesPara())
        d.JoinWithNextItemWithUndo(itemNo);
      break;
    case 13:
      if (text) d.ChangeItemTextWithUndo(itemNo, unicode ? std::string("n\0e\0w\0", 6) : "changed");
      break;
  }
}

// What the editing operations keep true after each of their steps, restored through the
// recording operations: the first item starts a paragraph, and all items of a paragraph
// have its paragraph style.
void KeepParagraphsWhole(TRDEditRDData& d) {
  bool full = false;
  if (d.GetItemCount() > 0 && d.GetItem(0)->GetContinuesPara())
    d.SetParaStartWithUndo(0, false, full, -1);
  for (int first = 0; first < d.GetItemCount();) {
    int last, unused;
    d.ExpandRangeToParas(first, first, unused, last);
    for (int i = first + 1; i <= last; ++i)
      if (d.GetItemPara(i) != d.GetItemPara(first)) {
        d.SetParaNoRangeWithUndo(first + 1, last, full, d.GetItemPara(first));
        break;
      }
    first = last + 1;
  }
}

}  // namespace

TEST(UndoProperty, RandomEditsUndoneGiveTheStartAndRedoneTheEnd) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TEditFixture f;
    f.AddPara({{"alpha beta", 0}, {"gamma", 1}});
    f.AddPara({{"delta", 2}}, 1);
    f.AddItem(f.unicodeStyle, std::string("u\0n\0i\0", 6), true);
    f.AddPara({{"epsilon zeta eta theta", 0}});
    f.data.AddItemAtEnd("", CreateRDItem(rdsBreak, &f.data));
    f.AddPara({{"iota", 3}, {"kappa", 0}});
    f.Format();
    const std::string start = DescribeDocument(f.data);
    std::mt19937 rng(seed);
    for (int step = 0; step < 12; ++step) {
      f.Begin(TRDUndoType(1 + rng() % 9));
      const int changes = 1 + int(rng() % 3);
      for (int c = 0; c < changes; ++c) {
        RandomEdit(f, rng);
        KeepParagraphsWhole(f.data);
      }
      f.data.FormatWhole();
    }
    const std::string end = DescribeDocument(f.data);
    UndoAll(f);
    ASSERT_EQ(DescribeDocument(f.data), start);
    RedoAll(f);
    ASSERT_EQ(DescribeDocument(f.data), end);
  }
}

// Undo lays out only the paragraphs it touched; the result must be what a layout of the
// whole document gives.
TEST(UndoProperty, PartialLayoutAfterUndoEqualsAFullLayout) {
  for (unsigned seed = 100; seed <= 130; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TEditFixture f;
    for (int p = 0; p < 8; ++p)
      f.AddPara(
          {{"word " + std::to_string(p) + " and some more words to wrap the line here", p % 3},
           {"tail", 1}},
          p % 2);
    f.Format();
    std::mt19937 rng(seed);
    for (int step = 0; step < 6; ++step) {
      f.Begin();
      RandomEdit(f, rng);
      KeepParagraphsWhole(f.data);
      f.data.FormatWhole();
    }
    for (int guard = 0; f.data.UndoList->Count() > 0; ++guard) {
      ASSERT_LT(guard, 100);
      f.edit.Undo();
      const std::string partial = DescribeLayout(f.data);
      f.data.FormatWhole();
      ASSERT_EQ(partial, DescribeLayout(f.data));
    }
  }
}

// An undone Enter at the document's end takes away the paragraph the edit began in: the
// lines laid out again start with the paragraph before it, its first line included.
TEST(UndoLayout, AnEnterUndoneAtTheEndLeavesNoLineBehind) {
  TEditFixture f;
  f.AddPara({{"abc def ", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 9, false);
  f.data.EnterKey(false, false);
  f.edit.Undo();
  const std::string partial = DescribeLayout(f.data);
  f.data.FormatWhole();
  EXPECT_EQ(partial, DescribeLayout(f.data));
}

// A step whose later record took items away: undoing it first, the earlier record names
// its item as numbered without them, and that item's paragraph is laid out again too.
TEST(UndoLayout, ARecordPastItemsTakenAwayIsLaidOutAgain) {
  TEditFixture f;
  f.style.ParaStyles().Add().Alignment = rdaCenter;
  const int centred = f.style.ParaStyles().Count() - 1;
  for (const char* text : {"p0", "p1", "p2", "p3", "p4", "p5"}) f.AddPara({{text, 0}});
  f.Format();
  f.Begin();
  bool full = false;
  f.data.SetParaNoRangeWithUndo(5, 5, full, centred);
  std::vector<std::pair<std::string, std::unique_ptr<TCustomRDItemInfo>>> added;
  for (const char* text : {"a", "b", "c", "d"}) added.emplace_back(text, CreateRDItem(0, &f.data));
  f.data.InsertItemsWithUndo(1, std::move(added), false, full);
  f.data.FormatWhole();
  ASSERT_EQ(Texts(f.data), "[p0] | [d] | [c] | [b] | [a] | [p1] | [p2] | [p3] | [p4] | [p5]");
  for (int pass = 0; pass < 2; ++pass) {
    pass == 0 ? f.edit.Undo() : f.edit.Redo();
    const std::string partial = DescribeLayout(f.data);
    f.data.FormatWhole();
    EXPECT_EQ(partial, DescribeLayout(f.data)) << (pass == 0 ? "undo" : "redo");
  }
}

// --- the property test at the editor's operations ---------------------------------------------

namespace {

// A random place in the document: an item and an offset inside it.
std::pair<int, int> RandomPlace(TRDEditRDData& d, std::mt19937& rng) {
  const int itemNo = int(rng() % unsigned(d.GetItemCount()));
  const int start = d.GetItemStartOffset(itemNo), end = d.GetItemEndOffset(itemNo);
  return {itemNo, start + int(rng() % unsigned(end - start + 1))};
}

// Enter, Shift+Enter, Backspace, Ctrl+Backspace or Delete at the caret, as the editor's
// keys run them; the part of the document they lay out again must come out as a layout
// of the whole document does.
void RandomKey(TEditFixture& f, std::mt19937& rng) {
  f.data.Deselect(false);
  switch (rng() % 5) {
    case 0:
    case 1:
      f.data.EnterKey(rng() % 3 == 0, false);
      break;
    case 2:
    case 3:
      f.data.BackspaceKey(rng() % 3 == 0, false, false);
      break;
    case 4:
      f.data.DeleteKey(false, false);
      break;
  }
  const std::string partial = DescribeLayout(f.data);
  f.data.FormatWhole();
  EXPECT_EQ(partial, DescribeLayout(f.data));
}

// What every edit keeps: the first item starts a paragraph, and the items of a
// paragraph (its lines included) have its paragraph style.
bool ParagraphsAreWhole(const TRDEditRDData& d) {
  if (d.GetItemCount() > 0 && !d.IsParaStart(0)) return false;
  for (int i = 1; i < d.GetItemCount(); ++i)
    if (!d.IsParaStart(i) && d.GetItem(i)->StyleNo != rdsBreak &&
        d.GetItem(i - 1)->StyleNo != rdsBreak && d.GetItemPara(i) != d.GetItemPara(i - 1))
      return false;
  return true;
}

// One random operation of the editor, as a user would run it: on a random selection or
// at a random caret place.
void RandomEditorOperation(TEditFixture& f, std::mt19937& rng, const std::string& rdf) {
  TRDEditRDData& d = f.data;
  auto [a, aOffs] = RandomPlace(d, rng);
  auto [b, bOffs] = RandomPlace(d, rng);
  if (rng() % 4 == 0) {
    b = a;
    bOffs = aOffs;
  }
  Select(f, a, aOffs, b, bOffs);
  const int styleNo = int(rng() % 4);
  static const char* const kTexts[] = {"x", "two\r\nlines", "a\tb", "\r\r", "page\fbreak", "end\n"};
  switch (rng() % 10) {
    case 0:
      f.edit.StyleConversionHandler = [styleNo](TCustomRichDocEdit*, int, int, int, bool, int& to,
                                                bool) { to = styleNo; };
      f.data.ApplyTextStyleConversion(0, 0, rng() % 3 == 0);
      break;
    case 1:
      if (f.edit.BeforeChange(false)) {
        f.data.BeginUndoStep(rdutPara, true);
        f.data.ApplyParaStyleConversion(int(rng() % 2), 0);
      }
      break;
    case 2:
      f.edit.DeleteSelection();
      break;
    case 3:
      f.edit.InsertItem(f.data.CreateTextItem(styleNo, 0, false, false, TRDTag{}), "ins");
      break;
    case 4:
      f.edit.InsertItem(CreateRDItem(rdsTab, &f.data), "");
      break;
    case 5:
      f.edit.SetCurTextStyleNo(rng() % 3 ? styleNo : f.unicodeStyle);
      for (int n = 1 + int(rng() % 3); n > 0; --n) f.edit.TypeChar(rng() % 2 ? u'q' : u'\u00E9');
      break;
    case 6:
    case 7:
      if (f.edit.DeleteSelection() && f.edit.BeforeChange(false)) {
        f.edit.SetCurTextStyleNo(rng() % 3 ? styleNo : f.unicodeStyle);
        f.Begin();
        const std::string text = kTexts[rng() % 6];
        if (rng() % 2) {
          f.data.InsertAnsiTextAtCaret(text, rng() % 2 == 0);
        } else {
          std::string wide;
          for (char c : text) wide += {c, '\0'};
          f.data.InsertUnicodeTextAtCaret(wide + std::string("\x28\x20z\0", 4), false);
        }
      }
      break;
    case 8:
      if (f.edit.DeleteSelection() && f.edit.BeforeChange(false)) {
        const bool rtf = rng() % 2;
        const std::string document = rtf ? "{\\rtf1\\ansi one\\par {\\b two}\\tab three}" : rdf;
        TMemoryStream stream;
        stream.WriteBuffer(document.data(), int64_t(document.size()));
        stream.SetPosition(0);
        if (rtf)
          InsertRTFStreamAtCaret(f.data, stream);
        else
          f.data.InsertRDFStreamAtCaret(stream);
      }
      break;
    case 9:
      RandomKey(f, rng);
      break;
  }
}

}  // namespace

TEST(UndoProperty, RandomEditorOperationsUndoneGiveTheStartAndRedoneTheEnd) {
  std::string rdf;
  {
    TEditFixture source;
    source.AddPara({{"pasted ", 0}, {"text", 2}});
    source.data.AddItemAtEnd("", CreateRDItem(rdsTab, &source.data));
    source.AddPara({{"second", 1}});
    TMemoryStream stream;
    SaveRDFToStream(source.data, stream, false);
    rdf.assign(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  }
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TEditFixture f;
    f.AddPara({{"alpha beta", 0}, {"gamma", 1}});
    f.AddPara({{"delta", 2}}, 1);
    f.AddItem(f.unicodeStyle, std::string("u\0n\0i\0", 6), true);
    f.AddPara({{"epsilon zeta eta theta", 0}});
    f.AddPara({{"", 0}});
    f.AddPara({{"iota", 3}, {"kappa", 0}});
    f.Format();
    const std::string start = DescribeDocument(f.data);
    std::mt19937 rng(seed);
    for (int step = 0; step < 12; ++step) {
      RandomEditorOperation(f, rng, rdf);
      ASSERT_TRUE(ParagraphsAreWhole(f.data)) << "step " << step << '\n'
                                              << DescribeDocument(f.data);
    }
    const std::string end = DescribeDocument(f.data);
    EXPECT_NE(end, start);
    UndoAll(f);
    ASSERT_EQ(DescribeDocument(f.data), start);
    RedoAll(f);
    ASSERT_EQ(DescribeDocument(f.data), end);
  }
}

// The keys alone, in a document of lists, breaks, pictures, Unicode text, checkpoints and
// a wrapped paragraph.
TEST(UndoProperty, RandomKeysUndoneGiveTheStartAndRedoneTheEnd) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TEditFixture f;
    f.edit.SetBounds(0, 0, 160, 300);
    TRDListInfo& list = f.style.ListStyles().Add();
    TRDListLevel& level = list.AddLevel();
    level.ListType = rdlstDecimal;
    level.FormatString = "%0:s.";
    f.AddPara({{"alpha beta, gamma delta epsilon zeta", 0}, {"eta", 1}});
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(12, 12);
    f.data.AddItemAtEnd(
        "", TRDGraphicItemInfo::CreateWithGraphic(&f.data, std::move(bitmap), rdvaBaseline));
    f.data.GetItem(f.data.GetItemCount() - 1)->SetContinuesPara(true);
    for (const char* text : {"one", "", "three"}) {
      f.data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&f.data, 0, 0, 1, false));
      f.AddItem(0, text, true);
    }
    f.data.AddItemAtEnd("", CreateRDItem(rdsBreak, &f.data));
    f.AddPara({{"", 0}});
    f.AddItem(f.unicodeStyle, std::string("u\0\x01\xD8\x00\xDCn\0", 8), false, 1);
    f.AddPara({{"iota", 3}, {"kappa", 0}});
    f.data.GetItem(f.data.GetItemCount() - 1)->SetLineBreakBefore(true);
    f.AddPara({{"omega", 0}});
    f.Format();
    f.Begin();
    auto cp = std::make_unique<TRDCPInfo>();
    cp->Name = "para";
    cp->Persistent = true;
    f.data.AddCheckpointWithUndo(f.data.GetItemCount() - 1, std::move(cp));
    f.data.UndoList->Clear();
    const std::string start = DescribeDocument(f.data);
    std::mt19937 rng(seed);
    for (int step = 0; step < 14; ++step) {
      auto [itemNo, offset] = RandomPlace(f.data, rng);
      f.data.PlaceCaretAtItem(itemNo, offset, false);
      RandomKey(f, rng);
      ASSERT_TRUE(ParagraphsAreWhole(f.data)) << "step " << step << '\n'
                                              << DescribeDocument(f.data);
    }
    const std::string end = DescribeDocument(f.data);
    UndoAll(f);
    ASSERT_EQ(DescribeDocument(f.data), start);
    RedoAll(f);
    ASSERT_EQ(DescribeDocument(f.data), end);
  }
}

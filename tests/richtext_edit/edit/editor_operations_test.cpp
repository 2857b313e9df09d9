// The editor's editing operations: each one undo step over the selection, refused as a
// whole when the editor may not change, and the current styles kept through the
// renumbering of styles; applying styles, conversions and templates.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/style_template.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

// A text style whose text keeps its style when styles are applied.
int AddStyleProtectedStyle(TEditFixture& f) {
  f.style.TextStyles().Add().Protection = rdprStyleProtect;
  return f.style.TextStyles().Count() - 1;
}

std::unique_ptr<TBitmap> Bitmap(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  return bitmap;
}

}  // namespace

TEST(EditorOperations, AStringWithItsTagReplacesTheSelectionAndOneUndoBringsItBack) {
  TEditFixture f;
  f.style.SpacesInTab = 4;
  f.AddPara({{"hello world", 0}});
  f.Format();
  Select(f, 0, 7, 0, 12);
  const std::string before = DescribeDocument(f.data);
  TRDTag tag;
  tag.Number = 7;
  ASSERT_TRUE(f.edit.InsertStringTag("a\tb", tag));
  EXPECT_EQ(Texts(f.data), "[hello ] [a    b]");
  EXPECT_EQ(f.data.GetItem(1)->Tag.Number, 7);
  EXPECT_EQ(f.edit.UndoAction(), rdutInsert);
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  ExpectUndoRedo(f, before);
}

TEST(EditorOperations, TabsAndPicturesGoInAtTheCaretInTheCurrentStyles) {
  TEditFixture f;
  f.AddPara({{"ab", 1}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 2, false);
  ASSERT_TRUE(f.edit.InsertTab());
  EXPECT_EQ(Texts(f.data), "[a] <-12> [b]");
  EXPECT_EQ(f.data.GetItem(1)->GetAssociatedTextStyleNo(), 1);
  ASSERT_TRUE(f.edit.InsertPicture("pic", Bitmap(10, 8), rdvaBaseline));
  EXPECT_EQ(Texts(f.data), "[a] <-12> <-3> [b]");
  EXPECT_EQ(f.data.GetItemTextRaw(2), "pic");
  EXPECT_EQ(f.data.UndoList->Count(), 2);
  f.edit.Undo();
  f.edit.Undo();
  EXPECT_EQ(Texts(f.data), "[ab]");
}

TEST(EditorOperations, RefusedEditsChangeNothing) {
  TEditFixture f;
  f.AddPara({{"text", 0}});
  f.Format();
  const std::string before = DescribeDocument(f.data);
  f.edit.OnChanging = [](TCustomRichDocEdit*, bool& canEdit) { canEdit = false; };
  EXPECT_FALSE(f.edit.InsertStringTag("x", TRDTag{}));
  EXPECT_FALSE(f.edit.InsertTab());
  f.edit.OnChanging = nullptr;
  f.edit.SetReadOnly(true);
  EXPECT_FALSE(f.edit.InsertPicture("", Bitmap(4, 4), rdvaBaseline));
  EXPECT_EQ(DescribeDocument(f.data), before);
  EXPECT_EQ(f.data.UndoList->Count(), 0);
}

TEST(EditorOperations, AnItemPropertyChangesWithUndoOnlyWhenItsValueDiffers) {
  TEditFixture f;
  f.AddPara({{"a", 0}});
  f.data.AddItemAtEnd("",
                      TRDGraphicItemInfo::CreateWithGraphic(&f.data, Bitmap(20, 10), rdvaBaseline));
  f.Format();
  int changes = 0;
  f.edit.OnChange = [&](TComponent*) { ++changes; };
  EXPECT_FALSE(f.edit.ChangeItemExtraIntProperty(1, rdepImageWidth, 0, true));
  EXPECT_EQ(f.data.UndoList->Count(), 0);
  const std::string before = DescribeDocument(f.data);
  ASSERT_TRUE(f.edit.ChangeItemExtraIntProperty(1, rdepImageWidth, 40, true));
  EXPECT_EQ(f.edit.UndoAction(), rdutModifyItem);
  EXPECT_EQ(changes, 1);
  ExpectUndoRedo(f, before);
}

TEST(EditorOperations, WithoutASelectionTheRangeIsTheCaret) {
  TEditFixture f;
  f.AddPara({{"abc", 0}});
  f.Format();
  f.data.PlaceCaretAtItem(0, 3, false);
  int s, so, e, eo;
  f.edit.GetSelectionRange(s, so, e, eo, true);
  EXPECT_EQ((std::vector<int>{s, so, e, eo}), (std::vector<int>{0, 3, 0, 3}));
  Select(f, 0, 1, 0, 2);
  f.edit.GetSelectionRange(s, so, e, eo, true);
  EXPECT_EQ((std::vector<int>{s, so, e, eo}), (std::vector<int>{0, 1, 0, 2}));
}

TEST(EditorOperations, TheCurrentStylesAreUsedAndFollowTheRenumbering) {
  TEditFixture f;
  f.AddPara({{"x", 0}});
  f.Format();
  f.edit.SetCurTextStyleNo(3);
  f.edit.SetCurParaStyleNo(1);
  TRDStyleUsage usage;
  f.data.FindUsedStyles(usage);
  EXPECT_EQ(usage.UsedTextStyles[3], 1);
  EXPECT_EQ(usage.UsedParaStyles[1], 1);
  // Two text styles before 3 and the paragraph style before 1 deleted.
  for (int i = 0; i < usage.UsedTextStyles.Count(); ++i)
    usage.UsedTextStyles.SetValue(i, i < 2 ? 1 : 3);
  for (int i = 0; i < usage.UsedParaStyles.Count(); ++i)
    usage.UsedParaStyles.SetValue(i, i < 1 ? 1 : 2);
  int changed = 0;
  f.edit.OnCurTextStyleChanged = [&](TComponent*) { ++changed; };
  f.data.UpdateStyles(usage);
  EXPECT_EQ(f.edit.CurTextStyleNo(), 1);
  EXPECT_EQ(f.edit.CurParaStyleNo(), 0);
  EXPECT_EQ(changed, 1);
}

TEST(EditorStyles, TheSelectionTakesAStyleExceptInProtectedText) {
  TEditFixture f;
  const int kept = AddStyleProtectedStyle(f);
  f.AddPara({{"abcd", 0}, {"safe", kept}});
  f.Format();
  Select(f, 0, 2, 1, 3);
  const std::string before = DescribeDocument(f.data);
  ASSERT_TRUE(f.edit.ApplyTextStyle(2));
  EXPECT_EQ(Texts(f.data), "[a] [bcd] [safe]");
  EXPECT_EQ(f.data.GetItem(1)->StyleNo, 2);
  EXPECT_EQ(f.data.GetItem(2)->StyleNo, kept);
  EXPECT_EQ(f.edit.UndoAction(), rdutStyleNo);
  ExpectUndoRedo(f, before);
}

TEST(EditorStyles, ConversionsAskTheEventsAndNeedThem) {
  TEditFixture f;
  f.AddPara({{"one", 0}, {"two", 1}});
  f.AddPara({{"three", 0}});
  f.Format();
  Select(f, 0, 1, 1, 4);
  EXPECT_FALSE(f.edit.ApplyStyleConversion(5));
  EXPECT_EQ(f.data.UndoList->Count(), 0);
  std::vector<std::string> asked;
  f.edit.OnStyleConversion = [&](TCustomRichDocEdit* sender, int styleNo, int userData,
                                 bool appliedToText, int& newStyle) {
    EXPECT_EQ(sender, &f.edit);
    asked.push_back(std::to_string(styleNo) + (appliedToText ? " text" : " current"));
    newStyle = styleNo + userData;
  };
  ASSERT_TRUE(f.edit.ApplyStyleConversion(2));
  EXPECT_EQ(f.data.GetItem(0)->StyleNo, 2);
  EXPECT_EQ(f.data.GetItem(1)->StyleNo, 3);
  EXPECT_NE(std::find(asked.begin(), asked.end(), "1 text"), asked.end());
  f.edit.OnParaStyleConversion = [](TCustomRichDocEdit*, int paraNo, int userData,
                                    bool appliedToText, int& newPara) {
    EXPECT_FALSE(appliedToText);
    newPara = paraNo + userData;
  };
  const std::string before = DescribeDocument(f.data);
  ASSERT_TRUE(f.edit.ApplyParaStyleConversion(1));
  EXPECT_EQ(f.data.GetItemPara(0), 1);
  EXPECT_EQ(f.data.GetItemPara(2), 0);  // the second paragraph is not selected
  EXPECT_EQ(f.edit.UndoAction(), rdutPara);
  ExpectUndoRedo(f, before);
  ASSERT_TRUE(f.edit.ApplyParaStyle(0));
  EXPECT_EQ(f.data.GetItemPara(0), 0);
}

TEST(EditorStyles, ATemplateMakesAStyleOnceAndFindsItAfterwards) {
  TEditFixture f;
  TRDStyleTemplate& red = f.style.StyleTemplates().Add();
  red.TextStyle().Color = clRed;
  red.ValidTextProperties = RDFontProp(rdfiColor);
  const int kept = AddStyleProtectedStyle(f);
  f.AddPara({{"plain", 0}, {"safe", kept}});
  f.Format();
  const int styles = f.style.TextStyles().Count();
  Select(f, 0, 1, 1, 5);
  ASSERT_TRUE(f.edit.ApplyTextStyleTemplate(0, false));
  ASSERT_EQ(f.style.TextStyles().Count(), styles + 1);
  const TFontInfo& made = f.style.TextStyles()[styles];
  EXPECT_EQ(made.Color, clRed);
  EXPECT_FALSE(made.Standard());
  EXPECT_EQ(f.data.GetItem(0)->StyleNo, styles);
  EXPECT_EQ(f.data.GetItem(1)->StyleNo, kept);
  // Applied again, the style made the first time is found.
  Select(f, 0, 1, 0, 6);
  ASSERT_TRUE(f.edit.ApplyTextStyleTemplate(0, false));
  EXPECT_EQ(f.style.TextStyles().Count(), styles + 1);
  EXPECT_EQ(f.data.GetItem(0)->StyleNo, styles);
}

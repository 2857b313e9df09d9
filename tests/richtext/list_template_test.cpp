// List styles and style templates.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/base/ini_file.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/styles/graphic_streams.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/style_template.h"

namespace {

TEST(ListLevel, NewLevelDefaults) {
  TRDListLevel level;
  EXPECT_EQ(level.ListType, rdlstBullet);
  EXPECT_EQ(level.FormatString, "\xB7");
  EXPECT_EQ(level.FirstIndent, 10);
  EXPECT_EQ(level.StartFrom, 1);
  EXPECT_EQ(level.Options, rdloContinuous | rdloLevelReset);
  EXPECT_FALSE(level.Font().has_value());
  EXPECT_TRUE(level.UsesFont());
  EXPECT_FALSE(level.HasNumbering());
  EXPECT_EQ(level.GetDisplayName(), "bullet 0/0/10");
}

TEST(ListLevel, MissingFontEqualsTheDefaultFont) {
  TRDListLevel a, b;
  b.GetFont();
  EXPECT_TRUE(b.Font()->IsDefault());
  EXPECT_TRUE(a.IsSimpleEqual(b));
  b.GetFont().Style = fsBold;
  EXPECT_FALSE(a.IsSimpleEqual(b));
}

TEST(ListLevel, HtmlTagsAndIndentCss) {
  TRDListLevel level;
  level.ListType = rdlstUpperRoman;
  level.LeftIndent = 24;
  level.MarkerIndent = 4;
  EXPECT_EQ(level.HTMLOpenTag(false, 0), "<ol type=I>");
  EXPECT_EQ(level.HTMLOpenTag(false, 0, true), "<ol type=\"I\">");
  EXPECT_EQ(
      level.HTMLOpenTag(true, 10),
      "<ol type=I style=\"text-indent: 10px; margin-left: 14px; list-style-position: outside;\">");
  EXPECT_EQ(level.HTMLCloseTag(), "</ol>");
  EXPECT_EQ(level.GetIndentCSS(), "text-indent: -20px; padding-left: 20px; margin-left: 4px;");
  level.ListType = rdlstBullet;
  level.MarkerIndent = 30;
  EXPECT_EQ(level.HTMLOpenTag(true, 0),
            "<ul style=\"text-indent: 6px; margin-left: 24px; list-style-position: inside;\">");
  EXPECT_EQ(level.GetIndentCSS(), "text-indent: 6px; margin-left: 24px;");
}

TEST(ListStyle, IdentifiersCountUnlessIgnored) {
  TRDListInfo a(nullptr), b(nullptr);
  a.AddLevel();
  b.AddLevel();
  EXPECT_GE(a.GetListID(), 1);
  EXPECT_EQ(a.GetListID(), a.GetListID());
  b.SetListID(a.GetListID() == 1 ? 2 : 1);
  EXPECT_TRUE(a.IsSimpleEqual(b, true));
  EXPECT_FALSE(a.IsSimpleEqual(b, false));
  EXPECT_EQ(a.SimilarityValue(b), 100 + 5000 + 11 * 100 + 200);
}

TEST(ListStyle, IniKeysAndRoundTrip) {
  TRDIniFile ini;
  TRDListInfo list(nullptr);
  list.OneLevelPreview = true;
  list.AddLevel();
  TRDListLevel& second = list.AddLevel();
  second.ListType = rdlstDecimal;
  second.FormatString = "%1.";
  second.FormatStringW = u"\u2022";
  second.Options = rdloLevelReset;
  TRDMarkerFont font;
  font.Name = "Wingdings";
  font.Style = fsBold | fsUnderline;
  font.Color = clRed;
  second.SetFont(&font);
  list.SaveToINI(ini, "L", "%s");
  auto keys = ini.Keys("L");
  for (const char* key : {"LevelsCount", "OneLevelPreview", "LvlFormatString0", "LvlListType1",
                          "LvlFormatString1", "LvlFont1", "LvlContinuous1", "LvlFormatStringW1"})
    EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << key;
  EXPECT_EQ(ini.ReadString("L", "LvlFont1", ""), "Wingdings,-11,BU,0,clRed,1");
  EXPECT_EQ(ini.ReadString("L", "LvlFormatStringW1", ""), "2220");
  TRDListInfo loaded(nullptr);
  loaded.LoadFromINI(ini, "L", "%s");
  ASSERT_EQ(loaded.Levels.size(), 2u);
  EXPECT_TRUE(loaded.OneLevelPreview);
  EXPECT_TRUE(loaded.Levels[1]->IsSimpleEqual(second));
}

TEST(ListStyle, FontTextWithMissingAndOddFields) {
  TRDIniFile ini;
  ini.WriteInteger("L", "LevelsCount", 100000000);
  ini.WriteString("L", "LvlFormatString0", "x");
  ini.WriteString("L", "LvlFont0", "Tahoma,-20,bzq");
  TRDListInfo loaded(nullptr);
  loaded.LoadFromINI(ini, "L", "%s");
  ASSERT_EQ(loaded.Levels.size(), 1u);
  const TRDMarkerFont& font = *loaded.Levels[0]->Font();
  EXPECT_EQ(font.Name, "Tahoma");
  EXPECT_EQ(font.Height, -20);
  EXPECT_EQ(font.Style, fsBold);
  EXPECT_EQ(font.Color, clWindowText);
}

TEST(ListLevel, PictureIsCopiedComparedAndSavedInPieces) {
  TBitmap bitmap;
  bitmap.SetSize(20, 20);  // several pieces of 500 hexadecimal digits
  bitmap.Canvas().SetPixels(3, 4, clRed);
  TRDListLevel level;
  level.ListType = rdlstPicture;
  level.SetPicture(&bitmap);
  ASSERT_TRUE(level.HasPicture());
  EXPECT_TRUE(level.Picture()->Transparent());
  EXPECT_FALSE(bitmap.Transparent());
  TRDListLevel other;
  other.Assign(level);
  EXPECT_TRUE(other.IsSimpleEqual(level));
  TBitmap changed;
  changed.SetSize(20, 20);
  other.SetPicture(&changed);
  EXPECT_FALSE(other.IsSimpleEqual(level));
  TBitmap empty;
  other.SetPicture(&empty);
  EXPECT_FALSE(other.HasPicture());

  TRDIniFile ini;
  level.SaveToINI(ini, "L", "%s");
  EXPECT_EQ(ini.ReadString("L", "GraphicClass", ""), "TBitmap");
  EXPECT_EQ(ini.ReadString("L", "Picture_0", "").size(), 500u);
  std::string hex;
  GraphicToHex(*level.Picture(), hex);
  const size_t pieces = (hex.size() + 499) / 500;
  EXPECT_TRUE(ini.ValueExists("L", "Picture_" + std::to_string(pieces - 1)));
  EXPECT_FALSE(ini.ValueExists("L", "Picture_" + std::to_string(pieces)));
  TRDListLevel loaded;
  loaded.LoadFromINI(ini, "L", "%s");
  ASSERT_TRUE(loaded.HasPicture());
  EXPECT_TRUE(loaded.IsSimpleEqual(level));

  ini.WriteString("L", "Picture_1", "zz");  // damaged: the level simply has no picture
  loaded.LoadFromINI(ini, "L", "%s");
  EXPECT_FALSE(loaded.HasPicture());
  ini.WriteString("L", "GraphicClass", "TMetafile");
  loaded.LoadFromINI(ini, "L", "%s");
  EXPECT_FALSE(loaded.HasPicture());
}

TEST(GraphicClasses, NamesAndHooks) {
  TBitmap bitmap;
  EXPECT_EQ(GraphicClassName(bitmap), "TBitmap");
  EXPECT_NE(FindGraphicClass("tjpegimage"), nullptr);
  EXPECT_EQ(FindGraphicClass("TIcon"), nullptr);
  std::unique_ptr<TGraphic> made = RDCreateGraphicProc(FindGraphicClass("TBitmap"));
  EXPECT_NE(dynamic_cast<TBitmap*>(made.get()), nullptr);
}

TEST(ListStyles, BadIndexAndImageListRemoval) {
  TRDStyle sheet;
  EXPECT_THROW(sheet.ListStyles().Items(0), ERDListIndexError);
  TCustomImageList* images = reinterpret_cast<TCustomImageList*>(&sheet);
  TRDListInfo& list = sheet.ListStyles().Add();
  list.AddLevel().ImageList = images;
  list.AddLevel();
  sheet.ListStyles().RemoveImageList(images);
  EXPECT_EQ(list.Levels[0]->ImageList, nullptr);
}

TEST(ListStyles, NumberedListIsNotTakenTwiceByAMerge) {
  TRDStyle target, source;
  TRDListInfo& numbered = target.ListStyles().Add();
  numbered.AddLevel().ListType = rdlstDecimal;
  numbered.SetListID(5);
  for (int i = 0; i < 2; ++i) {
    TRDListInfo& copy = source.ListStyles().Add();
    copy.Assign(numbered);
    copy.SetListID(5);
  }
  TRDIntegerList mapping;
  target.ListStyles().MergeWith(source.ListStyles(), TRDStyleMergeMode::Merge, mapping, nullptr);
  EXPECT_EQ(mapping[0], 0);
  EXPECT_EQ(mapping[1], 1);
  EXPECT_EQ(target.ListStyles()[1].GetListID(), 5);
}

TEST(StyleTemplates, GeneratedNames) {
  TRDStyle sheet;
  auto& templates = sheet.StyleTemplates();
  EXPECT_EQ(templates.Add().Name(), "Style 1");
  EXPECT_EQ(templates.Add().Name(), "Style 2");
  templates.Clear();
  EXPECT_EQ(templates.Add().Name(), "Style 1");
  templates.Items(0).SetName("Style 2");
  EXPECT_EQ(templates.Add().Name(), "Style 3");
}

TEST(StyleTemplates, NormalTemplateFollowsTheName) {
  TRDStyle sheet;
  TRDStyleTemplate& t = sheet.StyleTemplates().Add();
  t.SetName("Normal");
  EXPECT_EQ(sheet.StyleTemplates().NormalStyleTemplate(), &t);
  t.SetName("Body");
  EXPECT_EQ(sheet.StyleTemplates().NormalStyleTemplate(), nullptr);
}

TEST(StyleTemplates, CircularParentsAreRefused) {
  TRDStyle sheet;
  TRDStyleTemplate& a = sheet.StyleTemplates().Add();
  TRDStyleTemplate& b = sheet.StyleTemplates().Add();
  a.SetParentId(b.Id());
  EXPECT_EQ(a.Parent(), &b);
  try {
    b.SetParentId(a.Id());
    FAIL();
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Circular references are not allowed");
  }
  EXPECT_EQ(b.ParentId(), -1);
  EXPECT_EQ(b.Parent(), nullptr);
  EXPECT_THROW(a.SetParentId(a.Id()), ERichDocError);
}

TEST(StyleTemplates, DestroyingAParentOrphansItsChildren) {
  TRDStyle sheet;
  TRDStyleTemplate& parent = sheet.StyleTemplates().Add();
  TRDStyleTemplate& child = sheet.StyleTemplates().Add();
  child.SetParentId(parent.Id());
  sheet.StyleTemplates().Delete(0);
  EXPECT_EQ(child.ParentId(), -1);
  EXPECT_EQ(child.Parent(), nullptr);
}

TEST(StyleTemplates, StyleObjectsRefuseBaseProperties) {
  TRDStyle sheet;
  TRDStyleTemplate& t = sheet.StyleTemplates().Add();
  try {
    t.TextStyle().SetStyleName("x");
    FAIL();
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "This property is not valid here");
  }
  EXPECT_THROW(t.ParaStyle().SetBaseStyleNo(1), ERichDocError);
  EXPECT_THROW(t.ListStyle().SetStandard(false), ERichDocError);
  EXPECT_NO_THROW(t.TextStyle().Assign(sheet.TextStyles()[1]));
  EXPECT_EQ(t.TextStyle().Style, fsBold);
}

TEST(StyleTemplates, HandMadeChangesSurviveUnlessOverridden) {
  TRDStyle sheet;
  TRDStyleTemplate& parent = sheet.StyleTemplates().Add();
  parent.TextStyle().Size = 20;
  parent.ValidTextProperties = RDFontProp(rdfiSize);
  TRDStyleTemplate& t = sheet.StyleTemplates().Add();
  t.TextStyle().Color = clRed;
  t.TextStyle().Size = 14;
  t.ValidTextProperties = RDFontProp(rdfiColor);
  t.SetParentId(parent.Id());
  TFontInfo& style = sheet.TextStyles()[2];
  style.Color = clLime;
  style.FontName = "Courier";
  style.ModifiedProperties = RDFontProp(rdfiColor);
  t.ApplyToTextStyle(style, nullptr, false);
  EXPECT_EQ(style.Color, clLime);
  EXPECT_EQ(style.Size, 20);           // from the parent: the nearer template does not define it
  EXPECT_EQ(style.FontName, "Arial");  // the rest comes from text style 0
  t.ApplyToTextStyle(style, nullptr, true);
  EXPECT_EQ(style.Color, clRed);
  EXPECT_EQ(style.ModifiedProperties, 0u);
  EXPECT_EQ(style.StyleTemplateId(), t.Id());
}

TEST(StyleTemplates, ResetWithoutTemplatesCopiesStyleZero) {
  TRDStyle sheet;
  TFontInfo& style = sheet.TextStyles()[3];
  style.SetStyleTemplateId(77);
  style.ModifiedProperties = RDFontProp(rdfiSize);
  sheet.StyleTemplates().ResetTextStyle(style, nullptr);
  EXPECT_EQ(style.StyleTemplateId(), -1);
  EXPECT_EQ(style.ModifiedProperties, 0u);
  EXPECT_EQ(style.StyleName(), "Normal text");
  TParaInfo& para = sheet.ParaStyles()[1];
  para.ModifiedProperties1 = 1;
  sheet.StyleTemplates().ResetParaStyle(para);
  EXPECT_EQ(para.Alignment, rdaLeft);
  EXPECT_EQ(para.ModifiedProperties1, 0u);
}

TEST(StyleTemplates, AssignKeepsTheTreeWithNewIds) {
  TRDStyle sheet, copy;
  TRDStyleTemplate& parent = sheet.StyleTemplates().Add();
  sheet.StyleTemplates().Add().SetParentId(parent.Id());
  copy.StyleTemplates().Assign(sheet.StyleTemplates());
  ASSERT_EQ(copy.StyleTemplates().Count(), 2);
  EXPECT_EQ(copy.StyleTemplates().Items(1).Parent(), &copy.StyleTemplates().Items(0));
  TRDStyle same;
  same.StyleTemplates().AssignStyleTemplates(sheet.StyleTemplates(), true);
  EXPECT_EQ(same.StyleTemplates().Items(0).Id(), parent.Id());
  EXPECT_EQ(same.StyleTemplates().Items(1).ParentId(), parent.Id());
}

TEST(StyleTemplates, ParentsResolveAfterLoading) {
  TRDStyle sheet;
  sheet.Loading = true;
  TRDStyleTemplate& a = sheet.StyleTemplates().Add();
  TRDStyleTemplate& b = sheet.StyleTemplates().Add();
  a.SetIdDirectly(10);
  b.SetIdDirectly(20);
  b.SetParentId(10);
  EXPECT_EQ(b.Parent(), nullptr);
  sheet.Loaded();
  EXPECT_EQ(b.Parent(), &a);
  EXPECT_EQ(a.Children().size(), 1u);
}

}  // namespace

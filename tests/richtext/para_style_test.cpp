// Paragraph styles: defaults, tab stops, borders drawn and measured, comparisons, INI keys
// and CSS.
#include <gtest/gtest.h>

#include "richtext/base/ini_file.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/raster_canvas.h"

namespace {

TEST(ParaStyle, NewStyleDefaults) {
  TParaInfo style(nullptr);
  EXPECT_EQ(style.StyleName(), "Paragraph Style");
  EXPECT_EQ(style.LineSpacing, 100);
  EXPECT_EQ(style.LineSpacingType, rdlsPercent);
  EXPECT_EQ(style.Alignment, rdaLeft);
  EXPECT_EQ(style.Border.Style, rdbNone);
  EXPECT_EQ(style.Border.Color, clWindowText);
  EXPECT_EQ(style.Border.Width, 1);
  EXPECT_EQ(style.Background.Color, clNone);
  EXPECT_EQ(style.Tabs.Count(), 0);
  EXPECT_FALSE(style.ExtraLineSpacing());
  style.LineSpacingType = rdlsSpaceBetween;
  style.LineSpacing = 0;
  EXPECT_FALSE(style.ExtraLineSpacing());
  style.LineSpacing = 1;
  EXPECT_TRUE(style.ExtraLineSpacing());
}

TEST(ParaStyle, InvalidParagraphHasARedBorder) {
  TRDStyle sheet;
  TParaInfo& invalid = sheet.ParaStyles().Items(-1);
  EXPECT_EQ(&invalid, &sheet.ParaStyles().Items(2));
  EXPECT_EQ(invalid.Border.Style, rdbSingle);
  EXPECT_EQ(invalid.Border.Color, TColor(0x0000FF));
  EXPECT_EQ(invalid.Border.Width, 2);
  EXPECT_EQ(invalid.Border.BorderOffsets.Left, 1);
  EXPECT_EQ(invalid.LeftIndent, 1);
  EXPECT_EQ(invalid.SpaceAfter, 1);
}

TEST(ParaStyle, TabStopsStaySorted) {
  TRDTabInfos tabs;
  tabs.Add(100);
  tabs.Add(200, rdtaRight, ".");
  tabs.SetPosition(1, 50);
  EXPECT_EQ(tabs.Items(0).Position, 50);
  EXPECT_EQ(tabs.Items(0).Align, rdtaRight);
  EXPECT_EQ(tabs.Items(0).GetDisplayName(), "right at 50 (.....)");
  EXPECT_EQ(tabs.Items(1).GetDisplayName(), "left at 100");
  EXPECT_THROW(tabs.Items(2), ERDListIndexError);
  TRDTabInfos other = tabs;
  EXPECT_TRUE(tabs.IsEqual(other));
  other.SetLeader(0, ":");
  EXPECT_FALSE(tabs.IsEqual(other));
  EXPECT_EQ(tabs.SimilarityValue(TRDTabInfos()), -800);
}

TEST(ParaBorder, WidthsByStyle) {
  TRDBorder border;
  EXPECT_EQ(border.GetTotalWidth(), 0);
  border.Style = rdbDouble;
  EXPECT_EQ(border.GetTotalWidth(), 3);
  EXPECT_EQ(border.GetCSSWidth(), 2);
  border.Style = rdbTriple;
  EXPECT_EQ(border.GetTotalWidth(), 5);
  border.Width = 2;
  border.Style = rdbThickOutside;
  EXPECT_EQ(border.GetTotalWidth(), 7);
  EXPECT_EQ(border.GetCSSWidth(), 4);
  border.VisibleBorders.SetAll(false);
  EXPECT_EQ(border.GetTotalWidth(), 7);
}

TEST(ParaBorder, DoubleBorderDrawsTwoFramesTwoPixelsApart) {
  TRDBorder border;
  border.Style = rdbDouble;
  border.Color = clRed;
  TRasterCanvas canvas(30, 30);
  border.DrawUnscaled(TRect{10, 10, 20, 20}, canvas);
  EXPECT_EQ(canvas.Pixel(10, 10), clRed);  // inner frame
  EXPECT_EQ(canvas.Pixel(20, 15), clRed);
  EXPECT_EQ(canvas.Pixel(9, 15), clWhite);  // the gap
  EXPECT_EQ(canvas.Pixel(8, 15), clRed);    // outer frame
  EXPECT_EQ(canvas.Pixel(22, 22), clRed);
  EXPECT_EQ(canvas.PenWidth, 1);
  TRasterCanvas hidden(30, 30);
  border.VisibleBorders.SetAll(false);
  border.DrawUnscaled(TRect{10, 10, 20, 20}, hidden);
  EXPECT_EQ(hidden.CountPixels(clRed), 0);
}

TEST(ParaBackground, FillsOnePixelBeyondRightAndBottom) {
  TRDBackgroundRect back;
  back.Color = clYellow;
  TRasterCanvas canvas(10, 10);
  back.Draw(TRect{2, 2, 4, 4}, canvas, false, 0);
  EXPECT_EQ(canvas.CountPixels(clYellow), 9);
  EXPECT_EQ(canvas.BrushStyle, bsClear);
  TRasterCanvas blackAndWhite(10, 10);
  back.Draw(TRect{2, 2, 4, 4}, blackAndWhite, true, 3);
  EXPECT_EQ(blackAndWhite.CountPixels(clYellow), 0);
}

TEST(ParaStyle, ComparisonsAndSimilarity) {
  TParaInfo a(nullptr), b(nullptr);
  EXPECT_TRUE(a.IsEqual(b, {}));
  b.Background.Color = clRed;
  EXPECT_FALSE(a.IsEqual(b, {}));
  EXPECT_TRUE(a.IsEqual(b, RDParaProps({rdpiBackground_Color})));
  b.DefStyleNo = 2;
  EXPECT_TRUE(a.IsSimpleEqual(b, true) == false);  // the background still differs
  b.Background.Color = clNone;
  EXPECT_TRUE(a.IsSimpleEqual(b, true));
  EXPECT_FALSE(a.IsSimpleEqual(b, false));
  TParaInfo close(nullptr), far(nullptr);
  close.LeftIndent = 1;
  far.Alignment = rdaCenter;
  EXPECT_GT(close.SimilarityValue(a), far.SimilarityValue(a));
}

TEST(ParaStyleIni, KeysThroughSubFormats) {
  TRDIniFile ini;
  TParaInfo style(nullptr);
  style.Border.Width = 3;
  style.Border.BorderOffsets.Left = 2;
  style.Border.VisibleBorders.Top = false;
  style.Background.Color = clRed;
  style.Tabs.Add(40, rdtaCenter, "-");
  style.Tabs.Add(80);
  style.Options = rdpaoNoWrap | rdpaoKeepWithNext;
  style.DefStyleNo = 4;
  style.SaveToINI(ini, "P", "%s");
  EXPECT_EQ(ini.Keys("P"),
            (std::vector<std::string>{"StyleName", "NoWrap", "KeepWithNext", "BorderWidth",
                                      "BorderOffsetsLeft", "BorderVisibleTop", "BackgroundColor",
                                      "TabTabCount", "TabTabPos0", "TabTabAlign0", "TabTabLeader0",
                                      "TabTabPos1", "DefStyleNo"}));
  TParaInfo loaded(nullptr);
  loaded.LoadFromINI(ini, "P", "%s");
  EXPECT_TRUE(loaded.IsEqual(style, {}));
  EXPECT_EQ(loaded.Tabs.Items(0).Leader, "-");
}

TEST(ParaStyleIni, HugeTabCountStopsAtTheLastStop) {
  TRDIniFile ini;
  ini.WriteInteger("P", "TabTabCount", 2000000000);
  ini.WriteInteger("P", "TabTabPos0", 10);
  TParaInfo loaded(nullptr);
  loaded.LoadFromINI(ini, "P", "%s");
  EXPECT_EQ(loaded.Tabs.Count(), 1);
}

TEST(ParaStyleCss, WithoutABase) {
  TParaInfo style(nullptr);
  EXPECT_EQ(
      style.GetCSS(nullptr, false, false, false),
      " text-align: left; text-indent: 0px; padding: 0px 0px 0px 0px; margin: 0px 0px 0px 0px;");
  EXPECT_EQ(style.GetCSS(nullptr, false, true, true),
            " padding: 0px 0px 0px 0px; margin-top: 0px;"
            " margin-right: 0px; margin-bottom: 0px;");
  style.LineSpacing = 105;
  style.Alignment = rdaJustify;
  style.Border.Style = rdbSingle;
  style.Border.Color = clRed;
  style.Border.BorderOffsets.SetAll(2);
  style.Border.VisibleBorders.Left = false;
  style.Background.Color = clYellow;
  style.Background.BorderOffsets.Top = 5;
  style.SpaceBefore = 10;
  style.LeftIndent = 20;
  EXPECT_EQ(style.GetCSS(nullptr, false, false, false),
            " text-align: justify; text-indent: 0px; line-height: 1.05; border-color: #FF0000;"
            " border-style: solid; border-width: 1px; border-left: none; background: #FFFF00;"
            " padding: 5px 2px 2px 2px; margin: 5px -2px -2px 18px;");
  style.LineSpacing = 150;
  EXPECT_NE(style.GetCSS(nullptr, false, false, false).find("line-height: 1.50;"),
            std::string::npos);
}

TEST(ParaStyleCss, AgainstABase) {
  TParaInfo base(nullptr), style(nullptr);
  EXPECT_EQ(style.GetCSS(&base, false, false, false), "");
  base.Options = rdpaoNoWrap;
  base.LineSpacing = 120;
  style.LineSpacingType = rdlsSpaceBetween;
  style.Alignment = rdaCenter;
  EXPECT_EQ(style.GetCSS(&base, false, false, false),
            " text-align: center; line-height: normal; white-space: normal;");
}

}  // namespace

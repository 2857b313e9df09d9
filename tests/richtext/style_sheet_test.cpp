// The style sheet: default styles, drawing entry points and their events,
// hover sensitivity, tab stops and the sheet's CSS.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/style_template.h"
#include "richtext/support/raster_canvas.h"

namespace {

TEST(StyleSheet, NewSheetDefaults) {
  TRDStyle sheet;
  ASSERT_EQ(sheet.TextStyles().Count(), 6);
  ASSERT_EQ(sheet.ParaStyles().Count(), 2);
  EXPECT_EQ(sheet.TextStyles().StyleNames(),
            (std::vector<std::string>{"Normal text", "Heading", "Subheading", "Keywords", "Jump 1",
                                      "Jump 2"}));
  for (int i : {4, 5}) {
    const TFontInfo& jump = sheet.TextStyles()[i];
    EXPECT_TRUE(jump.Jump);
    EXPECT_EQ(jump.Style, fsUnderline);
    EXPECT_EQ(jump.Color, TColor(0x008000));
  }
  EXPECT_EQ(sheet.TextStyles()[1].Color, TColor(0xFF0000));
  EXPECT_EQ(sheet.ParaStyles()[1].StyleName(), "Centered");
  EXPECT_EQ(sheet.ParaStyles()[1].Alignment, rdaCenter);
  EXPECT_EQ(sheet.ListStyles().Count(), 0);
  EXPECT_EQ(sheet.StyleTemplates().Count(), 0);
  EXPECT_EQ(sheet.Color, clWindow);
  EXPECT_EQ(sheet.DefTabWidth, 48);
  EXPECT_EQ(sheet.LineSelectCursor, 106);
  EXPECT_EQ(sheet.CheckpointEvColor, TColor(0x00FF00));
}

TEST(StyleSheet, ADescendantsStyleClassesMakeTheDefaultStyles) {
  class TMarkedStyle : public TFontInfo {
   public:
    using TFontInfo::TFontInfo;
  };
  class TMySheet : public TRDStyle {
   public:
    std::unique_ptr<TCustomRDInfo> CreateTextStyle(TCustomRDInfos* collection) const override {
      return std::make_unique<TMarkedStyle>(collection);
    }
  } sheet;
  ASSERT_EQ(sheet.TextStyles().Count(), 6);
  for (int i = 0; i < 6; ++i)
    EXPECT_NE(dynamic_cast<TMarkedStyle*>(&sheet.TextStyles()[i]), nullptr);
  EXPECT_EQ(sheet.ParaStyles().Count(), 2);
}

TEST(StyleSheet, InvalidPictureIsMadeOnFirstRead) {
  TRDStyle sheet;
  const TGraphic& bad = sheet.InvalidPicture();
  EXPECT_EQ(bad.Width(), 20);
  EXPECT_EQ(&sheet.InvalidPicture(), &bad);
  TBitmap mine;
  mine.SetSize(7, 5);
  sheet.SetInvalidPicture(&mine);
  EXPECT_EQ(sheet.InvalidPicture().Width(), 7);
  sheet.SetInvalidPicture(nullptr);
  EXPECT_EQ(sheet.InvalidPicture().Width(), 20);
}

TEST(StyleSheet, ApplyStyleHandlerCanTakeOver) {
  TRDStyle sheet;
  TRasterCanvas canvas(4, 4);
  canvas.Font.Name = "Mine";
  sheet.OnApplyStyle = [](TRDStyle*, TRDCanvas&, int, bool& doDefault) { doDefault = false; };
  sheet.ApplyStyle(canvas, 1, rdbdUnspecified, false);
  EXPECT_EQ(canvas.Font.Name, "Mine");
  sheet.OnApplyStyle = nullptr;
  sheet.ApplyStyle(canvas, 1, rdbdUnspecified, false);
  EXPECT_EQ(canvas.Font.Name, "Arial");
  EXPECT_EQ(canvas.Font.Style, fsBold);
}

TEST(StyleSheet, DrawStyleTextStoresTheContextForItsHandler) {
  TRDStyle sheet;
  TRasterCanvas canvas(4, 4);
  int seenItem = -1;
  sheet.OnDrawStyleText = [&](TRDStyle* s, const std::string&, TRDCanvas&, int, int, int, int, int,
                              int, TRDTextDrawStates, bool& doDefault) {
    seenItem = s->DrawingItemNo();
    EXPECT_EQ(s->DrawingOffsetInItem(), 3);
    doDefault = false;
  };
  sheet.DrawStyleText("x", canvas, 7, 3, 0, nullptr, 0, 0, 0, 6, 10, 0, false, false, 0,
                      rdbdUnspecified);
  EXPECT_EQ(seenItem, 7);
  EXPECT_TRUE(canvas.Log.empty());
}

TEST(StyleSheet, HoverSensitivity) {
  TRDStyle sheet;
  EXPECT_FALSE(sheet.IsStyleHoverSensitive(4));
  sheet.HoverColor = clRed;
  EXPECT_TRUE(sheet.IsStyleHoverSensitive(4));
  sheet.HoverColor = clNone;
  sheet.TextStyles()[4].HoverBackColor = clYellow;
  EXPECT_TRUE(sheet.IsStyleHoverSensitive(4));
  sheet.OnStyleHoverSensitive = [](TRDStyle*, int, bool& sensitive) { sensitive = false; };
  EXPECT_FALSE(sheet.IsStyleHoverSensitive(4));
}

TEST(StyleSheet, NextTabStop) {
  TRDStyle sheet;
  TRDResolution screen;
  int position = 0;
  std::string leader;
  TRDTabAlign align;
  const int origin = 10;
  sheet.GetNextTab(0, origin + 50, screen, origin, position, leader, align, rdbdUnspecified, 0, 0);
  EXPECT_EQ(position, origin + 96);
  sheet.GetNextTab(0, origin + 48, screen, origin, position, leader, align, rdbdUnspecified, 0, 0);
  EXPECT_EQ(position, origin + 96);
  sheet.GetNextTab(0, origin + 5, screen, origin, position, leader, align, rdbdUnspecified, 30, 0);
  EXPECT_EQ(position, origin + 30);  // the hanging indent acts as a tab stop
  sheet.ParaStyles()[0].Tabs.Add(70, rdtaRight, ".");
  sheet.GetNextTab(0, origin + 40, screen, origin, position, leader, align, rdbdUnspecified, 0, 0);
  EXPECT_EQ(position, origin + 70);
  EXPECT_EQ(leader, ".");
  EXPECT_EQ(align, rdtaRight);
  sheet.GetNextTab(0, origin + 5, screen, origin, position, leader, align, rdbdUnspecified, 30, 0);
  EXPECT_EQ(position, origin + 30);
  EXPECT_EQ(leader, "");
}

TEST(StyleSheet, CheckpointsAndPageBreaks) {
  TRDStyle sheet;
  TRasterCanvas canvas(100, 20);
  sheet.DrawCheckpoint(canvas, 10, 10, 0, 50, nullptr, 3, 0, false);
  EXPECT_EQ(canvas.Log.back(), "Ellipse 8,8,12,12");
  sheet.DrawCheckpoint(canvas, 10, 5, 0, 50, nullptr, -1, 2, true);
  EXPECT_EQ(canvas.Log.back(), "Line -2,5-48,5 dotted");
  EXPECT_EQ(canvas.Pixel(0, 5), TColor(0x00FF00));
  EXPECT_EQ(canvas.PenStyle, psSolid);
  sheet.DrawPageBreak(canvas, 15, 0, rdpbSoftPageBreak, 100);
  EXPECT_EQ(canvas.Log[canvas.Log.size() - 2], "Line 0,15-92,15");
  EXPECT_EQ(canvas.Log.back(), "Polygon 3");
}

TEST(StyleSheet, CssOfTheDefaultSheet) {
  TRDStyle sheet;
  const std::string css = sheet.GetCSS(0);
  EXPECT_EQ(css.substr(0, css.find("\r\n{")),
            "/* ========== Text Styles ========== */\r\nhr { color: #000000}\r\nbody, table /* "
            "Normal text */");
  EXPECT_NE(
      css.find("span.rdts1 /* Heading */\r\n{\r\n font-weight: bold;\r\n color: #0000FF;\r\n}\r\n"),
      std::string::npos);
  EXPECT_NE(css.find("a.rdts4, span.rdts4 /* Jump 1 */\r\n{\r\n color: #008000;\r\n "
                     "text-decoration: underline;\r\n}"),
            std::string::npos);
  EXPECT_NE(
      css.find("/* ========== Para Styles ========== */\r\np,ul,ol /* Paragraph Style */\r\n{\r\n"
               " text-align: left;\r\n"),
      std::string::npos);
  EXPECT_NE(css.find(".rdps1 /* Centered */\r\n{\r\n text-align: center;\r\n}\r\n"),
            std::string::npos);
  sheet.TextStyles()[4].HoverColor = clRed;
  EXPECT_NE(sheet.GetCSS(0).find("a.rdts4:hover { color: #FF0000; }\r\n"), std::string::npos);
  sheet.TextStyles()[1].SetStandard(false);
  EXPECT_NE(sheet.GetCSS(cssPlainFirstStyles).find("span.rdts1\r\n{\r\n font-size: 10pt;"),
            std::string::npos);
}

}  // namespace

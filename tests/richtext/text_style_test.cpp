// Text styles: defaults, the invalid style, comparisons, similarity, INI keys, CSS and
// colours and pixels for each draw state.
#include <gtest/gtest.h>

#include "richtext/base/code_pages.h"
#include "richtext/base/ini_file.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/raster_canvas.h"

namespace {

TEST(TextStyle, NewStyleDefaults) {
  TFontInfo style(nullptr);
  EXPECT_EQ(style.FontName, "Arial");
  EXPECT_EQ(style.Size, 10);
  EXPECT_EQ(style.Color, clWindowText);
  EXPECT_EQ(style.Color, TColor(0xFF000008));
  EXPECT_EQ(style.BackColor, clNone);
  EXPECT_EQ(style.Style, 0);
  EXPECT_EQ(style.CharScale, 100);
  EXPECT_EQ(style.JumpCursor, 101);
  EXPECT_EQ(style.StyleName(), "Font Style");
  EXPECT_EQ(style.NextStyleNo, -1);
  EXPECT_EQ(style.BaseStyleNo(), -1);
  EXPECT_TRUE(style.Standard());
}

TEST(TextStyle, OutOfRangeIndexGivesTheInvalidStyle) {
  TRDStyle sheet;
  sheet.TextStyles().Items(0).FontName = "Tahoma";
  TFontInfo& a = sheet.TextStyles().Items(-1);
  TFontInfo& b = sheet.TextStyles().Items(sheet.TextStyles().Count());
  EXPECT_EQ(&a, &b);
  EXPECT_EQ(a.Color, TColor(0xFFFFFF));
  EXPECT_EQ(a.BackColor, TColor(0x0000FF));
  EXPECT_EQ(a.FontName, "Tahoma");

  TRDStyle empty;
  empty.TextStyles().Clear();
  TFontInfo& c = empty.TextStyles().Items(0);
  EXPECT_EQ(c.FontName, "Arial");
  EXPECT_EQ(c.Color, TColor(0xFFFFFF));
  EXPECT_EQ(c.BackColor, TColor(0x0000FF));
}

TEST(TextStyle, HoverColoursCountOnlyForLinks) {
  TFontInfo a(nullptr), b(nullptr);
  b.HoverColor = clRed;
  EXPECT_TRUE(a.IsEqual(b, 0));
  a.Jump = b.Jump = true;
  EXPECT_FALSE(a.IsEqual(b, 0));
  EXPECT_TRUE(a.IsEqual(b, RDFontProp(rdfiHoverColor)));
  EXPECT_FALSE(a.IsSimpleEqual(b, false));
}

TEST(TextStyle, EqualityCoversReferencesUnlessIgnored) {
  TFontInfo a(nullptr), b(nullptr);
  b.NextStyleNo = 3;
  EXPECT_FALSE(a.IsEqual(b, 0));
  EXPECT_TRUE(a.IsEqual(b, RDFontProp(rdfiNextStyleNo)));
  EXPECT_FALSE(a.IsSimpleEqual(b, false));
  EXPECT_TRUE(a.IsSimpleEqual(b, true));
  b.FontName = "ARIAL";
  EXPECT_TRUE(a.IsSimpleEqual(b, true));
  RichDocCompareStyleNames = true;
  b.SetStyleName("other");
  EXPECT_FALSE(a.IsSimpleEqual(b, true));
  RichDocCompareStyleNames = false;
}

TEST(TextStyle, FindSuchStyleLooksOnlyAtTheMask) {
  TRDStyle sheet;
  TFontInfo wanted(nullptr);
  wanted.Style = fsBold;
  wanted.Size = 30;
  EXPECT_EQ(sheet.TextStyles().FindSuchStyle(2, wanted, RDFontProp(rdfiBold)), 2);
  EXPECT_EQ(sheet.TextStyles().FindSuchStyle(0, wanted, RDFontProp(rdfiBold)), 1);
  EXPECT_EQ(
      sheet.TextStyles().FindSuchStyle(0, wanted, RDFontProp(rdfiBold) | RDFontProp(rdfiSize)), -1);
}

TEST(TextStyle, FindStyleWithCharset) {
  TRDStyle sheet;
  TFontInfo& russian = sheet.TextStyles().Add();
  russian.Assign(sheet.TextStyles().Items(1));
  russian.Charset = RUSSIAN_CHARSET;
  EXPECT_EQ(sheet.TextStyles().FindStyleWithCharset(1, RUSSIAN_CHARSET), 6);
  EXPECT_EQ(sheet.TextStyles().FindStyleWithCharset(6, RUSSIAN_CHARSET), 6);
  EXPECT_EQ(sheet.TextStyles().FindStyleWithCharset(0, RUSSIAN_CHARSET), -1);
}

TEST(TextStyle, AssignSelectedPropertiesCopiesOnlyTheMask) {
  TFontInfo target(nullptr), source(nullptr);
  source.Style = fsBold | fsItalic;
  source.Color = clRed;
  source.Size = 20;
  target.Style = fsUnderline;
  target.AssignSelectedProperties(
      source, RDFontProp(rdfiBold) | RDFontProp(rdfiUnderline) | RDFontProp(rdfiColor));
  EXPECT_EQ(target.Style, fsBold);
  EXPECT_EQ(target.Color, clRed);
  EXPECT_EQ(target.Size, 10);
}

TEST(TextStyle, SimilarityPrefersTheCloserStyle) {
  TFontInfo wanted(nullptr), near(nullptr), far(nullptr);
  wanted.Size = 12;
  near.Size = 11;
  far.Size = 24;
  far.Style = fsBold;
  EXPECT_GT(near.SimilarityValue(wanted), far.SimilarityValue(wanted));
  TFontInfo same(nullptr);
  // Identical default styles: 10000 size + 1000 vshift + 300 scale + 1000 spacing + colours
  // 3000 and 80000 + 10000 direction + 10000 name + 6 * 50000 + 50000 plain + 2 * 50000
  // codes + 50000 charset.
  EXPECT_EQ(
      same.SimilarityValue(TFontInfo(nullptr)),
      10000 + 1000 + 300 + 1000 + 3000 + 80000 + 10000 + 10000 + 300000 + 50000 + 100000 + 50000);
}

TEST(TextStyleIni, DefaultStyleWritesOnlyNameKeys) {
  TRDIniFile ini;
  TFontInfo style(nullptr);
  style.SaveToINI(ini, "S", "%s");
  EXPECT_EQ(ini.Keys("S"), (std::vector<std::string>{"StyleName", "Name", "Jump"}));
  EXPECT_EQ(ini.ReadString("S", "Jump", ""), "No");
}

TEST(TextStyleIni, RoundTripThroughAKeyFormat) {
  TRDIniFile ini;
  TFontInfo style(nullptr);
  style.SetStyleName("IG_HEAD");
  style.FontName = "Tahoma";
  style.Size = 12;
  style.Style = fsBold | fsStrikeOut;
  style.StyleEx = rdfsAllCaps;
  style.Color = clNavy;
  style.Protection = rdprStyleProtect | rdprStickToBottom;
  style.VShift = -30;
  style.Unicode = true;
  style.NextStyleNo = 2;
  style.Jump = true;
  style.JumpCursor = 5;
  style.SaveToINI(ini, "Styles", "T1%s");
  EXPECT_EQ(ini.ReadString("Styles", "T1Bold", ""), "Yes");
  EXPECT_EQ(ini.ReadInteger("Styles", "T1Protection", 0), 1);  // stick-to-bottom is not kept
  TFontInfo loaded(nullptr);
  loaded.LoadFromINI(ini, "Styles", "T1%s", false, 101);
  EXPECT_EQ(loaded.StyleName(), "IG_HEAD");
  EXPECT_EQ(loaded.FontName, "Tahoma");
  EXPECT_EQ(loaded.Size, 12);
  EXPECT_EQ(loaded.Style, fsBold | fsStrikeOut);
  EXPECT_EQ(loaded.StyleEx, rdfsAllCaps);
  EXPECT_EQ(loaded.Color, clNavy);
  EXPECT_EQ(loaded.Protection, rdprStyleProtect);
  EXPECT_EQ(loaded.VShift, -30);
  EXPECT_TRUE(loaded.Unicode);
  EXPECT_EQ(loaded.NextStyleNo, 2);
  EXPECT_TRUE(loaded.Jump);
  EXPECT_EQ(loaded.JumpCursor, 5);
}

TEST(TextStyleIni, MissingJumpTakesTheCallersDefault) {
  TRDIniFile ini;
  ini.WriteString("S", "JumpCursor", "7");
  ini.WriteString("S", "SingleSymbols", "yes");
  ini.WriteString("S", "Size", "x12");
  TFontInfo style(nullptr);
  style.LoadFromINI(ini, "S", "%s", true, 33);
  EXPECT_TRUE(style.Jump);
  EXPECT_EQ(style.JumpCursor, 33);
  EXPECT_EQ(style.Size, 10);  // a malformed number takes the default
  EXPECT_EQ(style.Protection, rdprStyleProtect | rdprDoNotAutoSwitch);
  EXPECT_EQ(style.StyleName(), "Font Style");
}

TEST(TextStyleCss, WithoutABaseStyle) {
  TFontInfo style(nullptr);
  style.Color = clRed;
  EXPECT_EQ(style.GetCSS(nullptr, false, false),
            " font-size: 10pt; font-family: 'Arial'; font-style: normal; font-weight: normal; "
            "color: #FF0000;"
            " background-color: transparent; text-decoration: none;");
  EXPECT_EQ(style.GetCSS(nullptr, true, false),
            " font-size: 10pt;\r\n font-family: 'Arial';\r\n font-style: normal;\r\n font-weight: "
            "normal;\r\n"
            " color: #FF0000;\r\n text-decoration: none;\r\n");
  style.FontName = "symbol";
  style.BiDiMode = rdbdRightToLeft;
  style.CharSpacing = 2;
  style.StyleEx = rdfsAllCaps | rdfsOverline;
  style.Style = fsUnderline | fsBold | fsItalic;
  style.VShift = 5;
  style.BackColor = 0x00FF00;
  EXPECT_EQ(style.GetCSS(nullptr, false, false),
            " font-size: 10pt; direction: rtl; font-family: 'Arial Unicode MS', 'Lucida Sans "
            "Unicode', 'Arial';"
            " font-style: italic; font-weight: bold; color: #FF0000; letter-spacing: 2px;"
            " text-transform: uppercase; background-color: #00FF00; vertical-align: super;"
            " text-decoration: underline overline;");
}

TEST(TextStyleCss, AgainstABaseStyleOnlyDifferences) {
  TFontInfo base(nullptr), style(nullptr);
  EXPECT_EQ(style.GetCSS(&base, false, false), "");
  style.Jump = true;
  EXPECT_EQ(style.GetCSS(&base, false, false), " text-decoration: none;");
  base.StyleEx = rdfsAllCaps;
  style.Size = 12;
  EXPECT_EQ(style.GetCSS(&base, false, false),
            " font-size: 12pt; text-transform: none; text-decoration: none;");
  style.FontName = "Tahoma\xE9";
  style.Jump = false;
  base.StyleEx = 0;
  EXPECT_EQ(style.GetCSS(&base, false, true), " font-size: 12pt; font-family: 'Tahoma\xC3\xA9';");
}

TEST(TextStyleColors, EachDrawState) {
  TRDStyle sheet;
  TFontInfo style(nullptr);
  style.Color = clNavy;
  style.BackColor = clYellow;
  style.HoverBackColor = clAqua;
  TRasterCanvas canvas(10, 10);

  style.ApplyColor(canvas, sheet, 0, false, 0);
  EXPECT_EQ(canvas.Font.Color, clNavy);
  EXPECT_EQ(canvas.BrushColor, clYellow);
  EXPECT_EQ(canvas.BrushStyle, bsSolid);

  style.ApplyColor(canvas, sheet, rdtsSelected | rdtsControlFocused, false, 0);
  EXPECT_EQ(canvas.Font.Color, sheet.SelTextColor);
  EXPECT_EQ(canvas.BrushColor, sheet.SelColor);
  sheet.InactiveSelTextColor = clNone;
  sheet.InactiveSelColor = clGray;
  style.ApplyColor(canvas, sheet, rdtsSelected, false, 0);
  EXPECT_EQ(canvas.Font.Color, clNavy);  // clNone falls back to the style's colour
  EXPECT_EQ(canvas.BrushColor, clGray);

  style.ApplyColor(canvas, sheet, rdtsHover, false, 0);
  EXPECT_EQ(canvas.Font.Color, clNavy);
  EXPECT_EQ(canvas.BrushColor, clAqua);
  sheet.HoverColor = clRed;
  style.ApplyColor(canvas, sheet, rdtsHover, false, 0);
  EXPECT_EQ(canvas.Font.Color, clRed);

  style.Color = clBtnShadow;
  style.ApplyColor(canvas, sheet, 0, true, 1);
  EXPECT_EQ(canvas.Font.Color, clGray);
  style.ApplyColor(canvas, sheet, 0, true, 2);
  EXPECT_EQ(canvas.BrushColor, TColor(0xE3E3E3));  // 226.95
  style.ApplyColor(canvas, sheet, 0, true, 3);     // yellow background is brighter than grey text
  EXPECT_EQ(canvas.Font.Color, clBlack);
  EXPECT_EQ(canvas.BrushColor, clWhite);
  style.BackColor = clNone;
  style.Color = clWhite;
  style.ApplyColor(canvas, sheet, 0, true, 3);
  EXPECT_EQ(canvas.Font.Color, clWhite);
  EXPECT_EQ(canvas.BrushStyle, bsClear);
  style.ApplyColor(canvas, sheet, 0, true, 4);
  EXPECT_EQ(canvas.Font.Color, clBlack);
  EXPECT_EQ(canvas.BrushStyle, bsClear);
}

TEST(TextStyleDraw, PixelsOfEachDrawState) {
  TRDStyle sheet;
  sheet.SelColor = clBlue;
  sheet.SelTextColor = clWhite;
  sheet.InactiveSelColor = clGray;
  sheet.InactiveSelTextColor = clBlack;
  sheet.HoverColor = clGreen;
  TFontInfo& style = sheet.TextStyles().Items(0);
  style.Color = clRed;
  style.HoverBackColor = clYellow;
  struct Expected {
    TRDTextDrawStates state;
    TColor text;
    TColor back;
  };
  for (const Expected& e :
       {Expected{0, clRed, clWhite}, Expected{rdtsSelected | rdtsControlFocused, clWhite, clBlue},
        Expected{rdtsSelected, clBlack, clGray}, Expected{rdtsHover, clGreen, clYellow}}) {
    TRasterCanvas canvas(40, 12);
    sheet.ApplyStyleColor(canvas, 0, e.state, false, 0);
    sheet.DrawStyleText("ab", canvas, 0, 1, 0, nullptr, 4, 0, 0, 16, 10, e.state, false, false, 0,
                        rdbdUnspecified);
    EXPECT_EQ(canvas.Pixel(4 + 2, 3), e.text) << int(e.state);  // inside the first glyph
    EXPECT_EQ(canvas.Pixel(4 + 0, 0), e.back) << int(e.state);  // the text box
    EXPECT_EQ(canvas.Pixel(1, 5), e.back) << int(e.state);      // the space before
    EXPECT_EQ(canvas.Pixel(30, 5), clWhite);
    EXPECT_EQ(canvas.BrushStyle, bsClear);
  }
}

TEST(TextStyleDraw, SpecialCharactersAreMarkedOnScreenOnly) {
  TRDStyle sheet;
  TFontInfo& style = sheet.TextStyles().Items(0);
  style.Color = clBlack;
  const TRDSpecialCharKinds saved = RDShownSpecialChars;
  RDShownSpecialChars = rdskNonBreakingSpace;
  TRasterCanvas canvas(60, 12);
  sheet.ApplyStyleColor(canvas, 0, 0, false, 0);
  sheet.DrawStyleText("a b\xA0", canvas, 0, 1, 0, nullptr, 0, 0, 0, 24, 10, rdtsSpecialCharacters,
                      false, false, 0, rdbdUnspecified);
  // The only mark is the degree sign, centred in the cell of the no-break space (x 18).
  EXPECT_EQ(canvas.Log.back(), "TextOut 18,0 \xB0");
  // Spaced out, every cell is wider by the extra, counted once.
  TRasterCanvas spaced(60, 12);
  sheet.ApplyStyleColor(spaced, 0, 0, false, 0);
  spaced.CharacterExtra = 2;
  sheet.DrawStyleText("a b\xA0", spaced, 0, 1, 0, nullptr, 0, 0, 0, 32, 10, rdtsSpecialCharacters,
                      false, false, 0, rdbdUnspecified);
  EXPECT_EQ(spaced.Log.back(), "TextOut 24,0 \xB0");
  RDShownSpecialChars = 0;
  TRasterCanvas none(60, 12);
  sheet.DrawStyleText("a b\xA0", none, 0, 1, 0, nullptr, 0, 0, 0, 24, 10, rdtsSpecialCharacters,
                      false, false, 0, rdbdUnspecified);
  for (const std::string& call : none.Log) EXPECT_EQ(call.find("\xB0"), std::string::npos);
  RDShownSpecialChars = rdskSpace | rdskNonBreakingSpace;
  TRasterCanvas printed(60, 12);
  sheet.DrawStyleText("a b", printed, 0, 1, 0, nullptr, 0, 0, 0, 18, 10, rdtsSpecialCharacters,
                      true, false, 0, rdbdUnspecified);
  for (const std::string& call : printed.Log) EXPECT_EQ(call.find("\xB7"), std::string::npos);
  RDShownSpecialChars = saved;
}

TEST(TextStyleDraw, PrintingSpreadsCharacterExtraAndPreviewStretching) {
  TRDStyle sheet;
  TRasterCanvas canvas(80, 12);
  canvas.BrushStyle = bsClear;
  canvas.CharacterExtra = 2;
  sheet.DrawStyleText("abc", canvas, 0, 1, 0, nullptr, 0, 0, 0, 24, 10, 0, true, false, 0,
                      rdbdUnspecified);
  EXPECT_EQ(canvas.Log.back(), "ExtTextOut 0,0 8 8 8");
  EXPECT_EQ(canvas.CharacterExtra, 2);
  TRasterCanvas preview(80, 12);
  preview.BrushStyle = bsClear;
  sheet.DrawStyleText("abc", preview, 0, 1, 0, nullptr, 0, 0, 0, 23, 10, 0, true, true, 0,
                      rdbdUnspecified);
  EXPECT_EQ(preview.Log.back(), "ExtTextOut 0,0 7 8 8");  // 5 extra pixels: 1, 2, 2
}

TEST(TextStyleApply, DirectionAndCharacterSpacing) {
  TFontInfo style(nullptr);
  style.CharSpacing = 3;
  TRasterCanvas canvas(4, 4);
  style.Apply(canvas, rdbdUnspecified, false);
  EXPECT_EQ(canvas.CharacterExtra, 3);
  EXPECT_EQ(canvas.Font.Name, "Arial");
  EXPECT_EQ(canvas.Font.Height, -13);
  style.BiDiMode = rdbdLeftToRight;
  style.Apply(canvas, rdbdUnspecified, false);
  EXPECT_EQ(canvas.CharacterExtra, 0);
  EXPECT_EQ(canvas.TextAlign, TA_LEFT);
  style.Apply(canvas, rdbdRightToLeft, false);
  EXPECT_EQ(canvas.TextAlign, TA_LEFT);
  style.BiDiMode = rdbdUnspecified;
  style.Apply(canvas, rdbdRightToLeft, false);
  EXPECT_EQ(canvas.TextAlign, TA_RTLREADING);
  style.CharScale = 50;
  style.Apply(canvas, rdbdUnspecified, false);
  EXPECT_EQ(canvas.Font.Width, 3);
}

TEST(TextStyleMerge, MergeMapsEqualStylesAndAppendsTheRest) {
  TRDStyle target, source;
  source.TextStyles().Items(2).Color = clLime;  // differs from every target style
  TRDIntegerList mapping;
  target.TextStyles().MergeWith(source.TextStyles(), TRDStyleMergeMode::Merge, mapping, nullptr);
  ASSERT_EQ(mapping.Count(), 6);
  EXPECT_EQ(mapping[0], 0);
  EXPECT_EQ(mapping[2], 6);
  EXPECT_EQ(mapping[5], 5);  // the same index is tried first
  EXPECT_FALSE(target.TextStyles().Items(6).Standard());
  TRDIntegerList closest;
  target.TextStyles().MergeWith(source.TextStyles(), TRDStyleMergeMode::MapToClosest, closest,
                                nullptr);
  EXPECT_EQ(target.TextStyles().Count(), 7);
  EXPECT_EQ(closest[4], 4);
  TRDIntegerList appended;
  target.TextStyles().MergeWith(source.TextStyles(), TRDStyleMergeMode::Append, appended, nullptr);
  EXPECT_EQ(target.TextStyles().Count(), 13);
}

}  // namespace

TEST(TextStyle, AssignCopiesTheWholeLook) {
  TFontInfo source(nullptr), target(nullptr);
  source.FontName = "Courier New";
  source.Size = 17;
  source.Color = clRed;
  source.BackColor = clYellow;
  source.HoverColor = clBlue;
  source.HoverBackColor = clGreen;
  source.Style = fsBold | fsUnderline;
  source.StyleEx = rdfsOverline;
  source.Charset = RUSSIAN_CHARSET;
  source.Jump = true;
  source.JumpCursor = crJump + 1;
  source.Protection = 3;
  source.Options = rdteoRTFCode;
  source.VShift = 33;
  source.CharScale = 80;
  source.CharSpacing = 2;
  source.BiDiMode = rdbdRightToLeft;
  target.Assign(source);
  EXPECT_TRUE(target.IsEqual(source, 0));
  EXPECT_EQ(target.BiDiMode, rdbdRightToLeft);
  EXPECT_EQ(target.CharSpacing, 2);
}

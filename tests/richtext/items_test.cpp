// Items: option flags, word marks, capability queries, the factory and registry,
// cloning, extra properties, and the break, rect and tab items with their outputs.
#include <gtest/gtest.h>

#include "platform/text/streams.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/break_item.h"
#include "richtext/model/draw_lines.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/tab_item.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/raster_canvas.h"

namespace {

std::string StreamText(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

TEST(ItemOptions, SettersClearTheOtherBits) {
  TRDTextItemInfo item(nullptr);
  item.SetPageBreakBefore(true);
  EXPECT_EQ(item.ItemOptions, rdioPageBreakBefore);
  item.SetContinuesPara(true);
  EXPECT_EQ(item.ItemOptions, rdioContinuesPara);
  item.SetLineBreakBefore(true);
  EXPECT_EQ(item.ItemOptions, rdioLineBreakBefore);
  EXPECT_FALSE(item.IsParaStart());
  item.ItemOptions |= rdioUnicodeText;
  item.SetPageBreakBefore(true);
  EXPECT_EQ(item.ItemOptions, rdioPageBreakBefore | rdioUnicodeText);
  item.SetPageBreakBefore(false);
  EXPECT_TRUE(item.IsParaStart());
  TRDBreakItemInfo line(nullptr);
  line.SetLineBreakBefore(true);
  EXPECT_EQ(line.ItemOptions, 0);
}

TEST(WordMarks, InsertAndDeleteMoveOrDropMarks) {
  TCustomRDData data;
  TRDTextItemInfo item(&data);
  item.AddMisspelling(1, 3);
  item.AddMisspelling(6, 4);
  EXPECT_TRUE(item.IsWordPainterAt(2));
  EXPECT_FALSE(item.IsWordPainterAt(4));
  int start, length;
  EXPECT_TRUE(item.FindWordPainterAt(4, start, length));  // the end counts for the search
  EXPECT_EQ(start, 1);
  EXPECT_FALSE(item.AdjustWordPaintersOnInsert(11, u'x', &data));
  EXPECT_TRUE(item.AdjustWordPaintersOnInsert(5, u' ', &data));  // a delimiter
  EXPECT_TRUE(item.FindWordPainterAt(8, start, length));
  EXPECT_EQ(start, 7);
  EXPECT_TRUE(item.AdjustWordPaintersOnInsert(2, u'x', &data));  // inside the first word
  EXPECT_FALSE(item.IsWordPainterAt(2));
  EXPECT_EQ(item.WordPainters->Count(), 1);
  EXPECT_TRUE(item.AdjustWordPaintersOnDelete(7, 1));
  EXPECT_EQ(item.WordPainters, nullptr);  // the last mark gone frees the list
  EXPECT_FALSE(item.FindWordPainterAt(8, start, length));
}

TEST(WordMarks, ClearingFromAnOffset) {
  TRDTextItemInfo item(nullptr);
  item.ItemState = rdisSpellChecked;
  item.AddMisspelling(1, 2);
  item.AddMisspelling(10, 2);
  item.ClearWordPaintersFrom(5);
  EXPECT_EQ(item.WordPainters->Count(), 1);
  EXPECT_EQ(item.ItemState, 0);
  item.ClearWordPaintersFrom(1);
  EXPECT_EQ(item.WordPainters, nullptr);
  item.AddMisspelling(1, 2);
  item.ClearMisspellings();
  EXPECT_EQ(item.WordPainters, nullptr);
}

TEST(WordMarks, MisspellingZigzag) {
  TRDStyle sheet;
  TRDWordMisspellPainter painter(1, 1);
  TRasterCanvas narrow(10, 10);
  painter.Draw(narrow, sheet, TRect{0, 0, 2, 5});
  EXPECT_TRUE(narrow.Log.empty());
  TRasterCanvas small(10, 10);
  painter.Draw(small, sheet, TRect{0, 0, 3, 5});
  EXPECT_EQ(small.Log, std::vector<std::string>{"Polyline 2"});
  EXPECT_EQ(small.Pixel(0, 3), clRed);
  EXPECT_EQ(small.Pixel(3, 5), clRed);
  TRasterCanvas wide(3000, 10);
  wide.PenColor = clBlue;
  painter.Draw(wide, sheet, TRect{0, 0, 2500, 5});
  EXPECT_EQ(wide.Log, std::vector<std::string>{"Polyline 1024"});
  EXPECT_EQ(wide.Pixel(2500, 5), clRed);  // the last point stretched to the right edge
  EXPECT_EQ(wide.PenColor, clBlue);
}

TEST(ItemQueries, TextItemsFollowTheirStyle) {
  TRDStyle sheet;
  TRDTextItemInfo item(nullptr);
  item.StyleNo = 0;
  for (std::uint8_t code : {1, 2, 3, 4}) EXPECT_FALSE(item.QueryItemFlagEx(code, &sheet));
  EXPECT_TRUE(item.QueryItemFlagEx(0, &sheet));
  item.StyleNo = 4;
  EXPECT_TRUE(item.QueryItemFlagEx(1, &sheet));
  EXPECT_FALSE(item.QueryItemFlagEx(3, &sheet));
  sheet.HoverColor = clRed;
  EXPECT_TRUE(item.QueryItemFlagEx(3, &sheet));
  EXPECT_FALSE(item.QueryItemFlag(0));
  EXPECT_TRUE(item.QueryItemFlag(2));
  EXPECT_TRUE(item.QueryItemFlag(13));
  TRDBreakItemInfo line(nullptr);
  EXPECT_TRUE(line.QueryItemFlag(0));
  EXPECT_FALSE(line.QueryItemFlag(2));
  EXPECT_FALSE(line.QueryItemFlagEx(0, &sheet));
  TRDTabItemInfo tab(nullptr);
  EXPECT_TRUE(tab.QueryItemFlag(4));
  EXPECT_TRUE(tab.QueryItemFlag(6));
  EXPECT_FALSE(tab.QueryItemFlag(5));
  EXPECT_FALSE(tab.QueryItemFlagEx(0, &sheet));
  EXPECT_TRUE(tab.QueryItemFlagEx(5, &sheet));
}

TEST(ItemQueries, ExecuteJumpsOnlyForLinks) {
  class TJumpData : public TCustomRDData {
   public:
    int Jumped = -1;
    void DoJump(int jumpNo) override { Jumped = jumpNo; }
  };
  TRDStyle sheet;
  TJumpData data;
  data.SetRDStyle(&sheet);
  data.FirstJumpNo = 10;
  TRDTextItemInfo item(&data);
  item.JumpID = 2;
  item.Execute(&data);
  EXPECT_EQ(data.Jumped, -1);
  item.StyleNo = 5;
  item.Execute(&data);
  EXPECT_EQ(data.Jumped, 12);
}

std::unique_ptr<TCustomRDItemInfo> CreateCustomBreak(TCustomRDData* d) {
  return std::make_unique<TRDBreakItemInfo>(d);
}
std::unique_ptr<TCustomRDItemInfo> CreateCustomTab(TCustomRDData* d) {
  return std::make_unique<TRDTabItemInfo>(d);
}

TEST(ItemFactory, RegistryRules) {
  const TRichDocItemTypeInfo& first = RegisterRDItemClass(-60, CreateCustomBreak);
  EXPECT_EQ(&RegisterRDItemClass(-60, CreateCustomBreak), &first);
  try {
    RegisterRDItemClass(-60, CreateCustomTab);
    FAIL();
  } catch (const ERichDocError& e) {
    EXPECT_STREQ(e.what(), "Can't register RichDoc item type - this StyleNo is already registered");
  }
  EXPECT_THROW(RegisterRDItemClass(-9, CreateCustomBreak), ERichDocError);
  RegisterRDItemClass(-12, CreateCustomBreak);  // accepted, but never consulted
  EXPECT_NE(dynamic_cast<TRDTabItemInfo*>(CreateRDItem(-12, nullptr).get()), nullptr);
  auto table = CreateRDItem(-60, nullptr);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->StyleNo, -60);
  EXPECT_EQ(CreateRDItem(-2, nullptr), nullptr);
  EXPECT_EQ(CreateRDItem(-77, nullptr), nullptr);
  auto text = CreateRDItem(3, nullptr);
  EXPECT_EQ(text->StyleNo, 3);
  EXPECT_EQ(text->DataMark, -1);
}

TEST(ItemFactory, CloneCopiesPropertiesTagAndCheckpoint) {
  TCustomRDData data;
  data.SetOptions(rdoTagsArePChars);
  TRDTextItemInfo source(&data);
  source.StyleNo = 2;
  source.ParaNo = 1;
  source.ItemOptions = rdioContinuesPara;
  source.Hint = "hint";
  source.Tag = TRDTag{0, std::string("tag")};
  source.Checkpoint = std::make_unique<TRDCPInfo>();
  source.Checkpoint->Name = "cp";
  source.AddMisspelling(1, 1);
  source.DataMark = 5;
  auto clone = CloneRDItem(source, &data, true);
  EXPECT_NE(dynamic_cast<TRDTextItemInfo*>(clone.get()), nullptr);
  EXPECT_EQ(clone->StyleNo, 2);
  EXPECT_EQ(clone->ParaNo, 1);
  EXPECT_EQ(clone->ItemOptions, rdioContinuesPara);
  EXPECT_EQ(clone->Hint, "hint");
  EXPECT_EQ(*clone->Tag.Text, "tag");
  clone->Tag.Text->append("!");
  EXPECT_EQ(*source.Tag.Text, "tag");
  ASSERT_NE(clone->Checkpoint, nullptr);
  EXPECT_EQ(clone->Checkpoint->Name, "cp");
  EXPECT_EQ(clone->WordPainters, nullptr);
  EXPECT_EQ(clone->DataMark, -1);
  EXPECT_EQ(CloneRDItem(source, &data, false)->Checkpoint, nullptr);
  TRDBreakItemInfo line(&data);
  line.LineWidth = 4;
  line.Style = rdbrsDashed;
  line.Color = clRed;
  line.DeleteProtect = true;
  auto lineClone = CloneRDItem(line, &data, false);
  auto& copied = dynamic_cast<TRDBreakItemInfo&>(*lineClone);
  EXPECT_EQ(copied.LineWidth, 4);
  EXPECT_EQ(copied.Style, rdbrsDashed);
  EXPECT_EQ(copied.Color, clRed);
  EXPECT_TRUE(copied.DeleteProtect);
}

TEST(ExtraProperties, LinesAreReadByName) {
  TRDTabItemInfo tab(nullptr);
  ReadRDFExtraProperty(tab, "spacing=3");
  EXPECT_EQ(tab.Spacing(), 3);
  ReadRDFExtraProperty(tab, "spacing=-4");
  EXPECT_EQ(tab.Spacing(), 0);
  ReadRDFExtraProperty(tab, "vshift=abc");
  EXPECT_EQ(tab.VShift, 0);
  ReadRDFExtraProperty(tab, "vshift=12");
  ReadRDFExtraProperty(tab, "VSHIFT=99");  // names are case-sensitive: dropped
  EXPECT_EQ(tab.VShift, 12);
  ReadRDFExtraProperty(tab, "no equals sign");
  ReadRDFExtraProperty(tab,
                       "hint=a\x01\x02"
                       "b=c");
  EXPECT_EQ(tab.Hint, "a\r\nb=c");
  ReadRDFExtraProperty(tab, "unremovable=1");
  EXPECT_TRUE(tab.DeleteProtect);
  EXPECT_EQ(GetExtraIntPropertyByName("minheightonpage"), rdepMinHeightOnPage);
  EXPECT_EQ(GetExtraStrPropertyByName("filename"), rdespImageFileName);
  EXPECT_EQ(GetExtraIntPropertyByName("hint"), rdepUnknown);
  TMemoryStream stream;
  tab.SaveRDFExtraProperties(stream);
  EXPECT_EQ(StreamText(stream),
            "hint=a\x01\x02"
            "b=c\r\nunremovable=1\r\nvshift=12\r\nspacing=0\r\n");
  EXPECT_EQ(tab.GetRDFExtraPropertyCount(), 4);
  EXPECT_EQ(AdjustItemOptionsForSave(rdioPageBreakBefore | rdioUnicodeText, true),
            rdioContinuesPara | rdioUnicodeText);
  EXPECT_EQ(AdjustItemOptionsForSave(rdioPageBreakBefore, false), rdioPageBreakBefore);
}

// Numbers of a hostile file are bounded where they are read, so that the sizes, sums and
// timers made of them cannot overflow.
TEST(ExtraProperties, NumbersOfAFileAreBounded) {
  TRDGraphicItemInfo picture(nullptr);
  for (const char* line :
       {"width=2147483647", "height=2147483647", "spacing=2147483647", "vshift=-2147483648",
        "ainterval=2147483647", "minheightonpage=-2147483648"})
    ReadRDFExtraProperty(picture, line);
  EXPECT_EQ(picture.ImageWidth, 32767);
  EXPECT_EQ(picture.ImageHeight, 32767);
  EXPECT_EQ(picture.Spacing(), 1000);
  EXPECT_EQ(picture.VShift, -32767);
  EXPECT_EQ(picture.Interval, 100000);
  EXPECT_EQ(picture.MinHeightOnPage, 0);
  EXPECT_EQ(picture.GetWidth(), 32767 + 2000);
  TRDMarkerItemInfo marker(nullptr);
  std::string_view header = "0 2147483647 1 0";
  ASSERT_TRUE(marker.ReadRDFHeader(header, nullptr));
  EXPECT_EQ(marker.Level, 255);
  header = "0 -2147483648 1 0";
  ASSERT_TRUE(marker.ReadRDFHeader(header, nullptr));
  EXPECT_EQ(marker.Level, -1);
}

TEST(BreakItem, PlainTextHtmlAndRtf) {
  TRDBreakItemInfo line(nullptr);
  line.LineWidth = 0;
  EXPECT_EQ(line.AsText(0, nullptr), "-");
  line.LineWidth = 3;
  EXPECT_EQ(line.AsText(4, nullptr), "====");
  line.LineWidth = 1;
  EXPECT_EQ(line.GetHTML(nullptr, false, 0), "<hr noshade size=1>");
  EXPECT_EQ(line.GetHTML(nullptr, false, rdsoXHTML), "<hr noshade=\"noshade\" size=\"1\" />");
  line.Color = clRed;
  line.Hint = "say \"hi\"";
  EXPECT_EQ(line.GetHTML(nullptr, false, 0),
            "<hr noshade size=1 title=\"say 'hi'\" color=\"#FF0000\">");
  line.Style = rdbrsDotted;
  EXPECT_EQ(
      line.GetHTML(nullptr, true, 0),
      "<hr noshade size=1 title=\"say 'hi'\" style=\"color : #FF0000; border-style: dotted\">");
  TRDRTFSaveContext context;
  TRDColorList& colors = context.ColorList;
  colors.AddValue(0);
  line.CollectRTFTables(context);
  line.CollectRTFTables(context);
  EXPECT_EQ(colors.Count(), 2);
  line.LineWidth = 2;
  EXPECT_EQ(line.GetRTF(0, colors, 15),
            "\\pard\\plain\\fs6\\brdrb\\brdrs\\brdrw30\\brdrcf1\\par\\pard");
  EXPECT_EQ(
      line.GetRTF(1, colors, 15),
      "\\pard\\intbl\\itap1\\plain\\fs6\\brdrb\\brdrs\\brdrw30\\brdrcf1\\par\\pard\\intbl\\itap1");
  EXPECT_EQ(line.GetRTF(3, TRDColorList(), 15).substr(0, 12), "\\pard\\itap3\\");
}

TEST(BreakItem, ScreenShapes) {
  TRDStyle sheet;
  TRDBreakItemInfo line(nullptr);
  TRasterCanvas canvas(40, 20);
  line.PaintFullWidth(0, 40, 0, canvas, 0, sheet);
  EXPECT_EQ(canvas.Pixel(5, 5), clBlack);  // clNone draws in text style 0's colour
  EXPECT_EQ(canvas.Pixel(34, 5), clBlack);
  EXPECT_EQ(canvas.Pixel(35, 5), clWhite);
  line.Style = rdbrsDotted;
  line.LineWidth = 2;
  line.Color = clRed;
  TRasterCanvas dots(40, 20);
  line.PaintFullWidth(0, 40, 0, dots, 0, sheet);
  EXPECT_EQ(dots.Pixel(5, 4), clRed);
  EXPECT_EQ(dots.Pixel(7, 4), clWhite);
  EXPECT_EQ(dots.Pixel(9, 4), clRed);  // 2x2 squares every 4 pixels
  line.LineWidth = 0;
  TRasterCanvas none(40, 20);
  line.PaintFullWidth(0, 40, 0, none, 0, sheet);  // a zero width must not loop forever
  EXPECT_EQ(none.CountPixels(clRed), 0);
  line.LineWidth = 1;
  line.Style = rdbrsLine;
  sheet.SelColor = clBlue;
  TRasterCanvas selected(40, 20);
  line.PaintFullWidth(0, 40, 0, selected, rdipsSelected | rdipsFocused, sheet);
  EXPECT_EQ(selected.Pixel(5, 4), clBlue);
  EXPECT_EQ(selected.Pixel(5, 6), clBlue);
}

TEST(BreakItem, PrintedMeasuresGrowWithTheDevice) {
  TRDStyle sheet;
  TRDBreakItemInfo line(nullptr);
  line.Color = clBtnShadow;
  TRDResolution printer;
  printer.DevicePixelsPerInchX = printer.DevicePixelsPerInchY = 192;
  TRasterCanvas canvas(400, 40);
  line.Print(canvas, 0, 0, 400, 1, printer, sheet, nullptr);
  EXPECT_EQ(canvas.Log, std::vector<std::string>{"Line 10,10-390,10"});
  EXPECT_EQ(canvas.Pixel(20, 10), clGray);  // printer colours replace the system colour
  EXPECT_EQ(canvas.PenMode, pmCopy);
}

TEST(RectItem, HtmlVerticalAlign) {
  class TPicture : public TRDRectItemInfo {
   public:
    using TRDRectItemInfo::TRDRectItemInfo;
    std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* d) const override {
      return std::make_unique<TPicture>(d);
    }
    int GetHeight() const override { return 40; }
  } picture(nullptr);
  EXPECT_EQ(GetHTMLVerticalAlignStyle(picture), "");
  picture.VShift = 50;
  EXPECT_EQ(GetHTMLVerticalAlignStyle(picture), "vertical-align : 20");
  picture.VShiftAbs = true;
  EXPECT_EQ(GetHTMLVerticalAlignStyle(picture), "vertical-align : 50");
  picture.VAlign = rdvaMiddle;
  EXPECT_EQ(GetHTMLVerticalAlignStyle(picture), "");
  EXPECT_EQ(GetHTMLAlignAttr(rdvaAbsMiddle, 0), " align=absmiddle");
  EXPECT_EQ(GetHTMLAlignAttr(rdvaMiddle, rdsoXHTML), " align=\"middle\"");
  EXPECT_EQ(GetHTMLAlignAttr(rdvaBaseline, 0), "");
}

TEST(TabItem, OutputsAndMeasure) {
  TRDStyle sheet;
  TRDTabItemInfo tab(nullptr);
  EXPECT_EQ(tab.GetHTML(&sheet, 0), " &nbsp; &nbsp; &nbsp; &nbsp;");
  sheet.SpacesInTab = 3;
  EXPECT_EQ(tab.GetHTML(&sheet, 0), " &nbsp; &nbsp;");
  EXPECT_EQ(tab.GetHTML(&sheet, rdsoXHTML), " &#160; &#160;");
  tab.Leader = "<-";
  EXPECT_EQ(tab.GetHTML(&sheet, 0), "&lt;-&lt;-");
  EXPECT_EQ(tab.AsText(0, nullptr), "\t");
  TMemoryStream rtf;
  TRDRTFSaveContext context;
  tab.SaveRTF(rtf, nullptr, 0, context);
  EXPECT_EQ(StreamText(rtf), "\\tab ");
  TRasterCanvas canvas(10, 10);
  int width = 5, height = 0, descent = 0;
  tab.AdjustToDocWidth(canvas, sheet, 100, width, height, descent);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, TRasterCanvas::kLineHeight);
  EXPECT_EQ(descent, 2);
}

TEST(TabItem, DrawsLeaderAndArrow) {
  TRDStyle sheet;
  sheet.TextStyles()[0].Color = clRed;
  TRDTabItemInfo tab(nullptr);
  tab.Leader = ".";
  TRDDrawLineInfo drawItem;
  drawItem.Width = 30;
  drawItem.Height = 10;
  TRasterCanvas canvas(40, 12);
  tab.Paint(0, 0, canvas, rdipsSpecialCharacters, sheet, drawItem);
  std::vector<std::string> leaders;
  for (const std::string& call : canvas.Log)
    if (call.rfind("TextOut", 0) == 0) leaders.push_back(call);
  EXPECT_EQ(leaders,
            (std::vector<std::string>{"TextOut 6,0 .", "TextOut 12,0 .", "TextOut 18,0 ."}));
  EXPECT_EQ(canvas.Pixel(20, 5), clRed);  // the arrow's shaft
}

}  // namespace

// List markers: number texts in every system, the level format texts a document brings,
// counting across levels and restarts, the markers the document keeps in order while
// items come and go, sizes and painting, the binary marker block and the item record.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/symbol_fonts.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/draw_lines.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/marker_list.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/raster_canvas.h"
#include "richtext/view/rd_platform_canvas.h"

namespace {

TEST(MarkerNumbers, LettersRomanNumeralsAndDecimal) {
  EXPECT_EQ(RDListNumberText(26, rdlstUpperAlpha), "Z");
  EXPECT_EQ(RDListNumberText(27, rdlstUpperAlpha), "AA");
  EXPECT_EQ(RDListNumberText(1, rdlstLowerAlpha), "a");
  EXPECT_EQ(RDListNumberText(703, rdlstLowerAlpha), "aaa");
  EXPECT_EQ(RDListNumberText(0, rdlstLowerAlpha), "");
  EXPECT_EQ(RDListNumberText(1994, rdlstUpperRoman), "MCMXCIV");
  EXPECT_EQ(RDListNumberText(4, rdlstLowerRoman), "iv");
  EXPECT_EQ(RDListNumberText(3999, rdlstUpperRoman), "MMMCMXCIX");
  EXPECT_EQ(RDListNumberText(0, rdlstUpperRoman), "?");
  EXPECT_EQ(RDListNumberText(-3, rdlstUpperRoman), "?");
  EXPECT_EQ(RDListNumberText(4000, rdlstUpperRoman), "4000");
  EXPECT_EQ(RDListNumberText(2000000000, rdlstLowerRoman), "2000000000");
  EXPECT_EQ(RDListNumberText(-5, rdlstDecimal), "-5");
  EXPECT_EQ(RDListNumberText(7, rdlstBullet), "");
}

TEST(MarkerNumbers, FormatTextsAreFilledByOurOwnPlaceholderRules) {
  const std::vector<std::string> args{"2", "3"};
  EXPECT_EQ(RDFormatMarkerText("%0:s.%1:s.", args), "2.3.");
  EXPECT_EQ(RDFormatMarkerText("%s)", args), "2)");
  EXPECT_EQ(RDFormatMarkerText("(%1:s) %s", args), "(3) ");  // "%s" takes the next one
  EXPECT_EQ(RDFormatMarkerText("%3s|%-3s|", args), "  2|3  |");
  EXPECT_EQ(RDFormatMarkerText("100%% %d %n %p %", args), "100% %d %n %p %");
  EXPECT_EQ(RDFormatMarkerText("%9:s.", args), ".");  // an argument nobody filled
  // Widths from a document cannot make a huge text.
  EXPECT_EQ(RDFormatMarkerText("%99999s", args).size(), 255u);
  EXPECT_EQ(RDFormatMarkerText("%999999999999s", args), "%999999999999s");
}

TEST(SymbolFonts, AViewerCanvasDrawsThemAsUnicodeInANormalFont) {
  TBitmap bitmap;
  bitmap.SetSize(40, 20);
  TRDPlatformCanvas canvas(bitmap.Canvas());
  canvas.Font.Name = SymbolFontStandIn();
  const int bullet = canvas.TextWidthW(u"\u2022\u03B1");
  canvas.Font.Name = "Symbol";
  EXPECT_EQ(canvas.TextWidthA("\xB7"
                              "a"),
            bullet);
  EXPECT_EQ(canvas.TextWidthW(u"\xF0B7\x61"), bullet);
}

TEST(SymbolFonts, PictureFontCharactersBecomeUnicode) {
  EXPECT_EQ(SymbolToUnicode(0xB7), u'\u2022');
  EXPECT_EQ(SymbolToUnicode('a'), u'\u03B1');
  EXPECT_EQ(SymbolToUnicode('1'), u'1');
  EXPECT_EQ(WingdingsToUnicode(108), u'\u25CF');
  EXPECT_EQ(WingdingsToUnicode(130), u'2');
  EXPECT_EQ(WingdingsToUnicode(140), u'1');
  EXPECT_EQ(WingdingsToUnicode(240), char16_t(9658));
  EXPECT_EQ(WingdingsToUnicode(1), char16_t(8226));
  EXPECT_EQ(SymbolFontToUnicode(TRDSymbolFont::Wingdings, u"\xF06C\x6E"), u"\u25CF\u25A0");
  EXPECT_EQ(SymbolFontOf("wingdings"), TRDSymbolFont::Wingdings);
  EXPECT_EQ(SymbolFontOf("Arial"), TRDSymbolFont::None);
}

// A sheet with list 0: level 0 decimal "%0:s.", level 1 lower letters "%0:s.%1:s)" with
// level reset, level 2 upper Roman.
struct Lists {
  Lists() {
    data.SetRDStyle(&sheet);
    TRDListInfo& list = sheet.ListStyles().Add();
    TRDListLevel& l0 = list.AddLevel();
    l0.ListType = rdlstDecimal;
    l0.FormatString = "%0:s.";
    TRDListLevel& l1 = list.AddLevel();
    l1.ListType = rdlstLowerAlpha;
    l1.FormatString = "%0:s.%1:s)";
    TRDListLevel& l2 = list.AddLevel();
    l2.ListType = rdlstUpperRoman;
    l2.FormatString = "%2:s";
    l2.StartFrom = 4;
  }
  TRDMarkerItemInfo& Add(int level, bool reset = false, int startFrom = 1, int listNo = 0) {
    data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&data, listNo, level, startFrom, reset));
    data.AddText("text", 0, -1);
    return data.CheckItemClass<TRDMarkerItemInfo>(data.GetItemCount() - 2);
  }
  TRDListLevel& Level(int n) { return *sheet.ListStyles()[0].Levels[size_t(n)]; }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    TRDMarkerList* list = data.GetMarkers(false);
    for (int i = 0; list && i < list->Count(); ++i) texts.push_back(list->Items(i)->DisplayString);
    return texts;
  }
  TRDStyle sheet;
  TCustomRDData data;
};

TEST(MarkerCounting, SameLevelCountsOnAndARestartCountsFromItsStart) {
  Lists l;
  for (int i = 0; i < 4; ++i) l.Add(0);
  l.Add(0, true, 10);
  l.Add(0);
  EXPECT_EQ(l.Texts(), (std::vector<std::string>{"1.", "2.", "3.", "4.", "10.", "11."}));
  // A document's largest number is not counted past.
  l.Add(0, true, std::numeric_limits<int>::max());
  TRDMarkerItemInfo& last = l.Add(0);
  EXPECT_EQ(last.Counter, std::numeric_limits<int>::max());
}

TEST(MarkerCounting, DeeperLevelsRestartUnderEachParentOnlyWithLevelReset) {
  Lists l;
  l.Add(0);
  l.Add(1);
  l.Add(1);
  l.Add(0);
  l.Add(1);
  EXPECT_EQ(l.Texts(), (std::vector<std::string>{"1.", "1.a)", "1.b)", "2.", "2.a)"}));
  l.Level(1).Options &= TRDListLevelOptions(~rdloLevelReset);
  l.data.RenumberMarkersFrom(0, false);
  EXPECT_EQ(l.Texts(), (std::vector<std::string>{"1.", "1.a)", "1.b)", "2.", "2.c)"}));
  l.Level(1).Options |= rdloLegalStyleNumbering;
  l.Level(0).ListType = rdlstUpperAlpha;
  l.data.RenumberMarkersFrom(0, false);
  EXPECT_EQ(l.Texts().back(), "2.c)");  // legal numbering writes the parent in decimal
}

TEST(MarkerCounting, MissingParentsUseTheirLevelsStartAndDeepLevelsUseTheLastLevel) {
  Lists l;
  TRDMarkerItemInfo& orphan = l.Add(1);
  EXPECT_EQ(orphan.DisplayString, "1.a)");
  TRDMarkerItemInfo& deep = l.Add(5);  // the list has three levels: the last one shows
  EXPECT_EQ(deep.GetLevelInfo(&l.sheet), &l.Level(2));
  EXPECT_EQ(deep.DisplayString, "IV");
  TRDMarkerItemInfo& none = l.Add(0, false, 1, -1);
  EXPECT_EQ(none.GetLevelInfo(&l.sheet), nullptr);
  EXPECT_EQ(none.DisplayString, "");
  TRDMarkerItemInfo& unknown = l.Add(0, false, 1, 9);  // a list the sheet does not have
  EXPECT_EQ(unknown.GetLevelInfo(&l.sheet), nullptr);
  TRasterCanvas canvas(50, 20);
  int width = -1, height = -1, descent = -1;
  unknown.AdjustToDocWidth(canvas, l.sheet, 400, width, height, descent);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  TRDDrawLineInfo line;
  none.Paint(0, 0, canvas, 0, l.sheet, line);
  EXPECT_EQ(canvas.CountPixels(clWhite), 50 * 20);
}

TEST(MarkerBookkeeping, MarkersComeAndGoInDocumentOrderAndTheRestCountsAgain) {
  Lists l;
  l.Add(0);
  l.Add(0);
  l.Add(0);
  ASSERT_EQ(l.data.GetMarkers(false)->Count(), 3);
  l.data.DeleteItems(0, 2);  // the first marker and its text
  EXPECT_EQ(l.Texts(), (std::vector<std::string>{"1.", "2."}));
  // A marker inserted in the middle takes its place in the list.
  l.data.InsertItemRaw(2, "", TRDMarkerItemInfo::CreateMarker(&l.data, 0, 0, 1, false));
  EXPECT_EQ(l.Texts(), (std::vector<std::string>{"1.", "2.", "3."}));
  EXPECT_EQ(l.data.GetMarkers(false)->Items(1), l.data.GetItem(2));
  EXPECT_EQ(l.data.FindLastMarkerOfLists(-1, {0}), 2);
  EXPECT_EQ(l.data.FindLastMarkerOfLists(2, {0}), -1);
  EXPECT_EQ(l.data.FindLastMarkerOfLists(-1, {3}), -1);
  l.data.Clear();
  EXPECT_EQ(l.data.GetMarkers(false), nullptr);
}

TEST(MarkerBookkeeping, AMarkerLeavingForTheUndoListAndComingBack) {
  Lists l;
  l.Add(0);
  TRDMarkerItemInfo& second = l.Add(0);
  l.Add(0);
  second.MovingToUndoList(2, &l.data);
  EXPECT_EQ(l.Texts(), (std::vector<std::string>{"1.", "2."}));
  second.MovingFromUndoList(2, &l.data);
  EXPECT_EQ(l.Texts(), (std::vector<std::string>{"1.", "2.", "3."}));
}

// Markers of two lists at random levels are inserted, deleted and moved to other levels
// in random order; after every step the numbering equals that of the same markers
// appended one by one to a fresh document.
TEST(MarkerBookkeeping, RandomChangesNumberAsAFreshDocumentDoes) {
  struct Spec {
    int level, listNo;
    bool reset;
  };
  auto addSecondList = [](Lists& l) {
    TRDListInfo& list = l.sheet.ListStyles().Add();
    for (int n = 0; n < 3; ++n) {
      TRDListLevel& level = list.AddLevel();
      level.ListType = rdlstDecimal;
      level.FormatString = "%0:s-%1:s-%2:s";
      if (n == 1) level.Options |= rdloLevelReset;
    }
  };
  auto specs = [](Lists& l) {
    std::vector<Spec> all;
    for (int i = 0; i < l.data.GetItemCount(); ++i) {
      const auto& m = l.data.CheckItemClass<TRDMarkerItemInfo>(i);
      all.push_back({m.Level, m.ListNo, m.Reset});
    }
    return all;
  };
  auto marker = [](Lists& l, const Spec& spec) {
    return TRDMarkerItemInfo::CreateMarker(&l.data, spec.listNo, spec.level, 3, spec.reset);
  };
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    Lists l;
    addSecondList(l);
    l.Level(1).Options &= TRDListLevelOptions(~rdloLevelReset);
    for (int step = 0; step < 60; ++step) {
      const int count = l.data.GetItemCount();
      const Spec spec{int(random() % 4), int(random() % 2), random() % 8 == 0};
      const int at = count ? int(random() % unsigned(count)) : 0;
      switch (count < 4 ? 0 : random() % 4) {
        case 0:
        case 1:
          l.data.InsertItemRaw(count ? int(random() % unsigned(count + 1)) : 0, "",
                               marker(l, spec));
          break;
        case 2:
          l.data.DeleteItems(at, 1);
          break;
        default:
          l.data.CheckItemClass<TRDMarkerItemInfo>(at).Level = spec.level;
          l.data.RenumberMarkersFrom(at, false);
          break;
      }
      Lists fresh;
      addSecondList(fresh);
      fresh.Level(1).Options &= TRDListLevelOptions(~rdloLevelReset);
      for (const Spec& s : specs(l)) fresh.data.AddItemAtEnd("", marker(fresh, s));
      ASSERT_EQ(l.Texts(), fresh.Texts()) << "seed " << seed << " step " << step;
    }
  }
}

TEST(MarkerBlock, BinaryFormRoundTripsAndItsCountIsCheckedAgainstItsBytes) {
  Lists l;
  l.Add(0);
  l.Add(1, true, 7);
  TMemoryStream stream;
  l.data.GetMarkers(false)->SaveBinary(stream, true);
  ASSERT_EQ(stream.Size(), 46);
  const std::string bytes(static_cast<const char*>(stream.Memory()), 46);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x2A\0\0\0", 4));
  TRDMarkerList loaded;
  ASSERT_TRUE(loaded.LoadFromString(bytes, &l.data));
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.Items(1)->Level, 1);
  EXPECT_TRUE(loaded.Items(1)->Reset);
  EXPECT_EQ(loaded.Items(1)->StartFrom, 7);
  EXPECT_EQ(loaded.Items(1)->Counter, 7);
  TMemoryStream hex;
  loaded.SaveToHexText(hex);
  std::string line(static_cast<const char*>(hex.Memory()), size_t(hex.Size()) - 2);
  TRDMarkerList again;
  EXPECT_TRUE(again.LoadFromHexText(line, &l.data));
  EXPECT_EQ(again.Count(), 2);

  // A count the bytes cannot hold is refused before anything is made.
  std::string huge = bytes;
  huge[8] = '\xFF';
  huge[9] = '\xFF';
  huge[10] = '\xFF';
  huge[11] = '\x0F';
  EXPECT_FALSE(loaded.LoadFromString(huge, &l.data));
  EXPECT_EQ(loaded.Count(), 0);
  std::string wrongSize = bytes;
  wrongSize[0] = 60;
  EXPECT_FALSE(loaded.LoadFromString(wrongSize, &l.data));
  EXPECT_FALSE(loaded.LoadFromString(bytes.substr(0, 40), &l.data));
  EXPECT_FALSE(loaded.LoadFromHexText("2A00", &l.data));
}

TEST(MarkerRecord, ListLevelStartAndResetTravelInTheHeader) {
  Lists l;
  TRDMarkerItemInfo& marker = l.Add(2, true, 5);
  marker.NoHTMLImageSize = true;
  TMemoryStream stream;
  SaveRDFToStream(l.data, stream, false);
  const std::string saved(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  const std::string records = saved.substr(saved.find('\n') + 1);  // after the version
  EXPECT_EQ(records.substr(0, records.find('\n') + 1), "-11 2 0 0 1 0 0 2 5 1\r\n");
  Lists back;
  stream.SetPosition(0);
  ASSERT_TRUE(LoadRDFFromStream(back.data, stream));
  auto& read = back.data.CheckItemClass<TRDMarkerItemInfo>(0);
  EXPECT_EQ(read.Level, 2);
  EXPECT_TRUE(read.Reset);
  EXPECT_EQ(read.StartFrom, 5);
  EXPECT_TRUE(read.NoHTMLImageSize);
  EXPECT_EQ(read.DisplayString, "V");
  Lists missing;
  const std::string cut = "-8 1 3\r\n-11 1 0 0 1 0 0 2 5\r\n\r\n";
  TMemoryStream bad;
  bad.WriteBuffer(cut.data(), std::int64_t(cut.size()));
  bad.SetPosition(0);
  EXPECT_FALSE(LoadRDFFromStream(missing.data, bad));
}

TEST(MarkerDrawing, TextMarkersHangLeftOfTheTextInTheLevelsFont) {
  Lists l;
  l.Level(0).GetFont().Color = clRed;
  l.Level(0).FirstIndent = 0;
  l.Level(0).LeftIndent = 20;
  l.Level(0).MarkerIndent = 0;
  l.Level(0).MarkerAlignment = rdmaRight;
  TRDMarkerItemInfo& marker = l.Add(0);  // "1." is two 6-pixel characters
  TRasterCanvas canvas(60, 20);
  int width, height, descent;
  marker.AdjustToDocWidth(canvas, l.sheet, 300, width, height, descent);
  EXPECT_EQ(marker.MarkerLeft, -12);
  EXPECT_EQ(width, 32);  // 12 before, the indent of 20 after
  EXPECT_EQ(height, TRasterCanvas::kLineHeight);
  EXPECT_EQ(marker.GetMinWidth(nullptr, &l.data), 20);
  TRDDrawLineInfo line;
  line.XShift = 3;
  marker.Paint(10, 2, canvas, 0, l.sheet, line);
  EXPECT_EQ(canvas.Pixel(10 + 3 + 2, 2 + 3), ColorToRGB(clRed));
  EXPECT_EQ(canvas.Pixel(10 + 3 + 6 + 2, 2 + 3), ColorToRGB(clRed));
  EXPECT_EQ(canvas.Pixel(10 + 3 + 12 + 2, 2 + 3), ColorToRGB(clWhite));
}

TEST(MarkerDrawing, ImageListLevelsDrawTheirImagesAndCountThroughThem) {
  Lists l;
  TImageList images(nullptr, 4, 4);
  for (TColor color : {clRed, clLime, clBlue}) {
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    bitmap.Canvas().Brush().SetColor(color);
    bitmap.Canvas().FillRect(Rect(0, 0, 4, 4));
    images.Add(bitmap);
  }
  l.Level(0).ListType = rdlstImageListCounter;
  l.Level(0).ImageList = &images;
  l.Level(0).ImageIndex = 0;
  l.Add(0);
  TRDMarkerItemInfo& second = l.Add(0);
  EXPECT_TRUE(second.QueryItemFlagEx(0, &l.sheet));
  EXPECT_EQ(second.GetImageWidth(&l.sheet), 4);
  TRDStyle& sheet = l.sheet;
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(4, 4);
  ASSERT_TRUE(second.PrintToBitmap(*bitmap, Rect(0, 0, 4, 4), false, nullptr, -1, 0, sheet));
  bitmap->SetPixelFormat(pf32bit);
  const std::uint8_t* p = bitmap->ScanLine(1);
  EXPECT_EQ(TColor(p[6] | p[5] << 8 | p[4] << 16), ColorToRGB(clLime));
  EXPECT_EQ(second.AsText(0, &l.data), "* ");
}

TEST(MarkerText, SymbolBulletsAndArrowsBecomePlainCharacters) {
  Lists l;
  l.Level(0).ListType = rdlstBullet;
  l.Level(0).FormatString = "\xB7\xDE";
  l.Level(0).GetFont().Name = "Symbol";
  TRDMarkerItemInfo& marker = l.Add(0);
  EXPECT_EQ(marker.AsText(0, &l.data), "*=> ");
  // Unicode text has the characters themselves.
  EXPECT_EQ(marker.AsUnicodeText(0, &l.data), WideStringToRawUnicode(u"\u2022\u21D2 "));
  l.Level(0).ListType = rdlstUnicodeBullet;
  l.Level(0).FormatStringW = u"\u25CF?";
  EXPECT_EQ(marker.AsText(0, &l.data), "*? ");
}

TEST(MarkerItem, TheFactoryMakesMarkersAndClonesKeepTheirList) {
  auto item = CreateRDItem(rdsListMarker, nullptr);
  ASSERT_NE(item, nullptr);
  auto& marker = dynamic_cast<TRDMarkerItemInfo&>(*item);
  EXPECT_EQ(marker.Counter, 1);
  EXPECT_EQ(marker.IndexInList, -1);
  EXPECT_TRUE(marker.IsParaStart());
  marker.ListNo = 2;
  marker.Level = 1;
  marker.Reset = true;
  auto clone = CloneRDItem(marker, nullptr, false);
  auto& copy = dynamic_cast<TRDMarkerItemInfo&>(*clone);
  EXPECT_EQ(copy.ListNo, 2);
  EXPECT_EQ(copy.Level, 1);
  EXPECT_TRUE(copy.Reset);
}

}  // namespace

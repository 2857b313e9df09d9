// The reader core: positions of reported text, groups and destinations, Unicode and
// skip counts, error codes, hidden text, fields, headers, page breaks and progress.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gui/graphics/png_file.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/support/rtf_event_log.h"
#include "support/scratch_files.h"

namespace {

using Lines = std::vector<std::string>;

struct Read {
  explicit Read(const std::string& rtf, bool unicode = true) : log(reader, unicode) {
    result = ReadRTF(reader, rtf);
  }
  TRDRTFReader reader;
  TRTFEventLog log;
  TRDRTFErrorCode result = rtf_ec_OK;
};

TEST(RTFReaderText, EachTextSaysWhereItStarts) {
  Read a("{\\rtf1 abc}");
  EXPECT_EQ(a.result, rtf_ec_OK);
  EXPECT_EQ(a.log.Lines, (Lines{"end", "text NewPara: abc"}));

  Read b("{\\rtf1 a\\par b\\line c}");
  EXPECT_EQ(b.log.Lines, (Lines{"text NewPara: a", "text NewPara: b", "end", "text NewLine: c"}));

  // An empty paragraph is reported as empty text, and so is an empty line: a line break
  // right after a paragraph end leaves that paragraph's first line empty.
  Read c("{\\rtf1 a\\par\\par b\\par\\line c\\line\\line d}");
  EXPECT_EQ(c.log.Lines, (Lines{"text NewPara: a", "text NewPara: ", "text NewPara: b",
                                "text NewPara: ", "text NewLine: c", "text NewLine: ", "end",
                                "text NewLine: d"}));
}

TEST(RTFReaderText, GroupsAndFormattingSplitTextWithoutNewParagraphs) {
  Read r("{\\rtf1 one {\\b two} three\\par}");
  EXPECT_EQ(r.log.Lines,
            (Lines{"text NewPara: one ", "text Continue: two", "text Continue:  three", "end"}));
}

TEST(RTFReaderText, SymbolsEscapesAndSpecialCharacters) {
  Read r("{\\rtf1\\ansi \\{x\\}\\\\ caf\\'e9\\~\\bullet\\'41\\'4a}", false);
  ASSERT_EQ(r.log.Lines.size(), 2u);
  EXPECT_EQ(r.log.Lines[1], "text NewPara: {x}\\ café\u00a0\u2022AJ");
}

TEST(RTFReaderText, UnknownWordsAndSkippedDestinations) {
  Read r("{\\rtf1 {\\*\\unknownword x}{\\unknownword y}{\\info{\\title T}}z}");
  EXPECT_EQ(r.log.Text(), "yz");
  // A control word ending in a blank consumes the blank; other delimiters are text.
  Read s("{\\rtf1 \\b a\\b0;b}");
  EXPECT_EQ(s.log.Text(), "a;b");
}

TEST(RTFReaderText, TextAfterTheOutermostGroupIsNotRead) {
  Read r("{\\rtf1 in}out{more}");
  EXPECT_EQ(r.result, rtf_ec_OK);
  EXPECT_EQ(r.log.Text(), "in");
}

TEST(RTFReaderUnicode, FallbackCharactersAreSkippedOnlyWithAUnicodeHandler) {
  Read withHandler("{\\rtf1 a\\u8364?b}");
  EXPECT_EQ(withHandler.log.Lines,
            (Lines{"text NewPara: a", "utext Continue: \u20ac", "end", "text Continue: b"}));
  Read without("{\\rtf1 a\\u8364?b}", false);
  EXPECT_EQ(without.log.Text(), "a?b");
  // \uc2: two characters, or hex escapes, or a mix, are dropped after each \u.
  Read two("{\\rtf1\\uc2 \\u8364\\'80\\'81x\\u8211 ab}");
  EXPECT_EQ(two.log.Text(), "\u20acx\u2013");
  // Negative values are 16-bit codes: \u-4064 is U+F020.
  Read negative("{\\rtf1\\u-4064 ?}");
  EXPECT_EQ(negative.log.Text(), "\uf020");
}

TEST(RTFReaderUnicode, SkipCountIsTheReadersNotTheGroups) {
  Read r("{\\rtf1{\\uc2 a}\\u8364 xyz}");
  EXPECT_EQ(r.log.Text(), "a\u20acz");
  // A group boundary ends the skipping.
  Read s("{\\rtf1\\uc3 {\\u8364 x}yz}");
  EXPECT_EQ(s.log.Text(), "\u20acyz");
}

TEST(RTFReaderUnicode, QuoteWordsAreUnicodeOrSingleBytes) {
  Read unicode("{\\rtf1 \\ldblquote x\\rdblquote\\emdash}");
  EXPECT_EQ(unicode.log.Text(), "\u201cx\u201d\u2014");
  Read bytes("{\\rtf1 \\ldblquote x\\rdblquote\\emdash}", false);
  EXPECT_EQ(bytes.log.Text(), "\u201cx\u201d\u2014");  // 147, 148, 151 in code page 1252
}

TEST(RTFReaderUnicode, AnsiCodePageConvertsMarkerAndLevelTexts) {
  TRDRTFReader reader;
  ASSERT_EQ(ReadRTF(reader, "{\\rtf1\\ansi\\ansicpg1251 x}"), rtf_ec_OK);
  EXPECT_EQ(reader.CodePage(), 1251u);
  reader.DefCodePage = 1250;
  ASSERT_EQ(ReadRTF(reader, "{\\rtf1 x}"), rtf_ec_OK);
  EXPECT_EQ(reader.CodePage(), 1250u);
}

TEST(RTFReaderUnicode, EastAsianCodePagesGiveTheirCharacters) {
  Read bytes("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'93\\'fa}");
  EXPECT_EQ(bytes.log.Text(), "\u3042\u65e5");
  // The writer announces a two-byte substitute before the character, so a reader that
  // takes the substitute skips both bytes, and one that cannot read \u gets them.
  Read unicode("{\\rtf1\\ansi\\ansicpg932\\uc1 \\uc2\\u12354 \\'82\\'a0\\uc1 a}");
  EXPECT_EQ(unicode.log.Text(), "\u3042a");
  Read substitute("{\\rtf1\\ansi\\ansicpg932\\uc1 \\uc2\\u12354 \\'82\\'a0\\uc1 a}", false);
  EXPECT_EQ(substitute.log.Text(), "\u3042a");
}

TEST(RTFReaderErrors, ResultCodes) {
  struct Case {
    const char* rtf;
    TRDRTFErrorCode result;
  };
  const Case cases[] = {
      {"{\\rtf1 a}}", rtf_ec_OK},  // read stops at the outermost group's end
      {"}", rtf_ec_StackUnderflow},
      {"{\\rtf1 {a}", rtf_ec_UnmatchedBrace},
      {"{\\rtf1 \\'zz}", rtf_ec_InvalidHex},
      {"{\\rtf1 \\'4", rtf_ec_UnmatchedBrace},
      {"{\\rtf1 a\\", rtf_ec_EndOfFile},
      {"{\\rtf1 {\\pict\\pict}}", rtf_ec_InvalidPicture},
      {"{\\rtf1 {\\object{\\*\\objdata 01 02}}}", rtf_ec_InvalidPicture},
      {"", rtf_ec_OK},
  };
  for (const Case& c : cases) {
    Read r(c.rtf);
    EXPECT_EQ(r.result, c.result) << c.rtf;
  }
}

TEST(RTFReaderErrors, NothingIsReportedAfterAnError) {
  Read r("{\\rtf1 a\\par b\\'zz c\\par}");
  EXPECT_EQ(r.result, rtf_ec_InvalidHex);
  EXPECT_EQ(r.log.Lines, (Lines{"text NewPara: a"}));
}

TEST(RTFReaderLimits, NestingDeeperThanTheLimitIsAnError) {
  const int depth = TRDRTFReader::kMaxGroupDepth;
  Read ok(std::string(std::size_t(depth), '{') + "x" + std::string(std::size_t(depth), '}'));
  EXPECT_EQ(ok.result, rtf_ec_OK);
  EXPECT_EQ(ok.log.Text(), "x");
  Read deep(std::string(std::size_t(depth) + 1, '{') + "x");
  EXPECT_EQ(deep.result, rtf_ec_StackOverflow);
}

// Tables nested deeper than we build flow into the deepest one we do: their text stays
// (an error here once lost the whole document).
TEST(RTFReaderLimits, TablesNestedDeeperThanTheLimitKeepTheirText) {
  int depth = 0, deepest = 0;
  TRDRTFReader reader;
  TRTFEventLog log(reader, true);
  int cells = 0, rows = 0;
  reader.OnTable = [&](TRDRTFReader*, TRDRTFTableEventKind kind) {
    if (kind == rdf_tbl_TableStart) deepest = std::max(deepest, ++depth);
    if (kind == rdf_tbl_TableEnd) --depth;
    cells += kind == rdf_tbl_CellEnd;
    rows += kind == rdf_tbl_RowEnd;
  };
  EXPECT_EQ(ReadRTF(reader, "{\\rtf1\\intbl\\itap65 x\\nestcell y\\nestcell\\nestrow}"), rtf_ec_OK);
  EXPECT_EQ(deepest, TRDRTFReader::kMaxTableDepth);
  // Their cells are paragraphs of the deepest cell: they add no cell and no row to it.
  EXPECT_EQ(cells, 0);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(log.Lines, (Lines{"text NewPara: x", "text NewPara: y", "end"}));
}

// \absnoovrlp describes a frame: a paragraph carrying it after a table still ends the
// table (once it kept the table open, and the import lost everything).
TEST(RTFReaderTables, AFrameParagraphAfterATableEndsIt) {
  Read r(
      "{\\rtf1\\trowd\\cellx100\\pard\\intbl a\\cell\\row"
      "\\pard\\absnoovrlp b\\par\\trowd\\cellx100\\pard\\intbl c\\cell\\row}");
  EXPECT_EQ(r.result, rtf_ec_OK);
  EXPECT_EQ(r.log.Lines, (Lines{"table start", "text NewPara: a", "cell end", "row end",
                                "table end", "text NewPara: b", "table start", "text NewPara: c",
                                "cell end", "row end", "end", "table end"}));
}

TEST(RTFReaderLimits, LongWordsHugeNumbersAndBinaryRuns) {
  // A word longer than any control word is unknown; its text after it is read.
  Read longWord("{\\rtf1 \\" + std::string(100000, 'b') + " x}");
  EXPECT_EQ(longWord.log.Text(), "x");
  // Parameters beyond 32 bits saturate instead of wrapping; a font size then stays one
  // a word processor offers (1 to 1638 points), as its writer doubles it again.
  TRDRTFReader huge;
  int size = 0;
  huge.OnNewText = [&size](TRDRTFReader* sender, const std::string&, TRDRTFPosition) {
    size = sender->State().CharProps.Size;
  };
  EXPECT_EQ(ReadRTF(huge, "{\\rtf1 \\fs99999999999999999999 x}"), rtf_ec_OK);
  EXPECT_EQ(size, 1638);
  EXPECT_EQ(ReadRTF(huge, "{\\rtf1 \\fs-2147483648 x}"), rtf_ec_OK);
  EXPECT_EQ(size, 1);
  // \bin reads exactly its count of bytes, whatever they are; \bin0 still takes one.
  Read bin("{\\rtf1 {\\*\\foo\\bin3 }{}a}b}");
  EXPECT_EQ(bin.result, rtf_ec_OK);
  EXPECT_EQ(bin.log.Text(), "b");
  Read bin0("{\\rtf1 {\\*\\foo\\bin0 }}x}");
  EXPECT_EQ(bin0.log.Text(), "x");
  // A count larger than the input reads to the end.
  Read endless("{\\rtf1 {\\*\\foo\\bin2147483647 abc");
  EXPECT_EQ(endless.result, rtf_ec_UnmatchedBrace);
}

TEST(RTFReaderHidden, HiddenTextIsReportedInEventsOfItsOwn) {
  Read r("{\\rtf1 a{\\v b}c\\v\\v0 d}");
  EXPECT_EQ(r.log.Lines, (Lines{"text NewPara: a", "hidden Continue: b", "text Continue: c", "end",
                                "text Continue: d"}));
  // Turning hidden text on with nothing pending raises an empty hidden event; it does
  // not use up the new paragraph.
  Read empty("{\\rtf1 \\v\\v0 y}");
  EXPECT_EQ(empty.log.Lines, (Lines{"hidden NewPara: ", "end", "text NewPara: y"}));
}

TEST(RTFReaderTabs, TabsAsSeparateText) {
  Read r("{\\rtf1 a\\tab b}");
  EXPECT_EQ(r.log.Text(), "a\tb");
  TRDRTFReader reader;
  reader.TabAsSeparateText = true;
  TRTFEventLog log(reader);
  ReadRTF(reader, "{\\rtf1 a\\tab b}");
  EXPECT_EQ(log.Lines, (Lines{"text NewPara: a", "text Continue: \t", "end", "text Continue: b"}));
}

TEST(RTFReaderHeaders, HeaderGroupsAreOfferedAndSkippedWhenRefused) {
  Read r("{\\rtf1 {\\header h\\par}{\\footer f}body}");
  EXPECT_EQ(r.log.Lines, (Lines{"header start", "text NewPara: h", "header end", "footer start",
                                "text NewPara: f", "footer end", "end", "text Continue: body"}));
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  log.SupportHeaders = false;
  ReadRTF(reader, "{\\rtf1 {\\header h}{\\headerl x}body}");
  EXPECT_EQ(log.Lines, (Lines{"header start", "end", "text NewPara: body"}));
}

TEST(RTFReaderBreaks, PageBreakEndsTheParagraph) {
  Read r("{\\rtf1 a\\page b}");
  EXPECT_EQ(r.log.Lines, (Lines{"text NewPara: a", "page", "end", "text NewPara: b"}));
}

TEST(RTFReaderFields, ResultTextIsReadAndInstructionsAreKept) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  std::string instruction;
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string& text, TRDRTFPosition) {
    log.Lines.push_back(text + "|" + sender->State().FieldInstruction);
  };
  ReadRTF(reader,
          "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt here}} now}");
  EXPECT_EQ(log.Lines, (Lines{"see |", "here|HYPERLINK \"http://x/\"", "end", " now|"}));
}

TEST(RTFReaderFields, SymbolFieldReportsOneCharacterInItsFont) {
  TRDRTFReader reader;
  std::vector<std::string> seen;
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string& text, TRDRTFPosition) {
    const auto& chars = sender->State().CharProps;
    seen.push_back(text + "|" + chars.FontName + "|" + std::to_string(chars.Size));
  };
  ReadRTF(reader,
          "{\\rtf1 a{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\" \\\\s 10.6}"
          "{\\fldrslt \\f2\\'b7}}b}");
  EXPECT_EQ(seen, (std::vector<std::string>{"a||12", "\xb7|Symbol|11", "b||12"}));
}

TEST(RTFReaderFields, IncludePictureAsksTheImportHandlerWithTheBasePath) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  reader.BasePath = "/pictures/";
  std::vector<std::string> asked;
  reader.OnImportPicture = [&](TRDRTFReader*, const std::string& location,
                               std::unique_ptr<TGraphic>& graphic, bool&) {
    asked.push_back(location);
    if (location == "/pictures/my logo.bmp") {
      auto bitmap = std::make_unique<TBitmap>();
      bitmap->SetSize(3, 5);
      graphic = std::move(bitmap);
    }
  };
  ReadRTF(reader,
          "{\\rtf1 x{\\field{\\*\\fldinst INCLUDEPICTURE \"\\\\my%20logo.bmp\" \\\\* MERGEFORMAT}"
          "{\\fldrslt {\\pict\\macpict 00}}}y}");
  EXPECT_EQ(asked, (std::vector<std::string>{"/pictures/my%20logo.bmp", "/pictures/my logo.bmp"}));
  // The field's picture is reported; the result's own picture is then not.
  EXPECT_EQ(log.Lines,
            (Lines{"text NewPara: x", "field picture /pictures/my logo.bmp graphic 3x5 Continue",
                   "end", "text Continue: y"}));
}

// A file that gives no picture (missing, not a file, damaged, of a kind we do not read)
// leaves the field's result to be read, and the rest of the document; a PNG file loads
// once the program has registered PNG pictures.
TEST(RTFReaderFields, PictureFilesThatGiveNoPictureLeaveTheResult) {
  TBitmap bitmap;
  bitmap.SetSize(4, 3);
  const std::string png = WriteScratchFile("rtf_fields/x.png", BitmapToPng(bitmap));
  WriteScratchFile("rtf_fields/bad.png", "not a picture");
  WriteScratchFile("rtf_fields/bad.jpg", "not a picture");
  WriteScratchFile("rtf_fields/x.tif", "II*");
  TRDRTFReader reader;
  reader.BasePath = ScratchFolder() + "/rtf_fields/";
  TRTFEventLog log(reader);
  RegisterPngGraphicClass();
  EXPECT_EQ(
      ReadRTF(reader,
              "{\\rtf1 {\\field{\\*\\fldinst INCLUDEPICTURE \"/dev/zero\"}}{\\field{\\*\\fldinst "
              "IMPORT /nonexistent/x.bmp}}z"
              "{\\field{\\*\\fldinst INCLUDEPICTURE bad.png}{\\fldrslt a}}"
              "{\\field{\\*\\fldinst INCLUDEPICTURE bad.jpg}{\\fldrslt b}}"
              "{\\field{\\*\\fldinst INCLUDEPICTURE x.tif}{\\fldrslt c}}"
              "{\\field{\\*\\fldinst INCLUDEPICTURE x.png}{\\fldrslt d}}}"),
      rtf_ec_OK);
  PngGraphicClass = NewPngGraphic;
  EXPECT_EQ(log.Lines,
            (Lines{"text NewPara: z", "text Continue: a", "text Continue: b", "text Continue: c",
                   "field picture " + png + " graphic 4x3 Continue", "text Continue: d", "end"}));
}

TEST(RTFReaderProgress, LargeInputsReportProgressPerBlock) {
  TRDRTFReader reader;
  std::vector<int> stages, percents;
  reader.OnProgress = [&](TRDRTFReader*, TRDRTFProgressStage stage, std::uint8_t percent) {
    stages.push_back(stage);
    percents.push_back(percent);
  };
  ReadRTF(reader, "{\\rtf1 " + std::string(30000, 'x') + "}");
  ASSERT_GE(stages.size(), 4u);
  EXPECT_EQ(stages.front(), rdprtfprStarting);
  EXPECT_EQ(stages.back(), rdprtfprEnding);
  EXPECT_EQ(percents[1], 0);
  EXPECT_EQ(percents[2], 14);  // 4096 of 30008 bytes
  stages.clear();
  ReadRTF(reader, "{\\rtf1 small}");
  EXPECT_TRUE(stages.empty());
}

TEST(RTFReaderKeywords, TranslateKeywordHandlerMayReplaceWords) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  reader.OnTranslateKeyword = [](TRDRTFReader*, const std::string& keyword, int param,
                                 bool hasParam, std::string& text, bool& doDefault) {
    if (keyword == "mine") {
      text = "<" + std::to_string(param) + (hasParam ? "+" : "-") + ">";
      doDefault = false;
    }
  };
  ReadRTF(reader, "{\\rtf1 a\\mine-12 b\\mine c}");
  EXPECT_EQ(log.Text(), "a<-12+>b<0->c");
}

}  // namespace

namespace {

TEST(RTFReaderEvents, MarkerUpdatesAroundParagraphEndsAndTables) {
  TRDRTFReader reader;
  TRTFEventLog log(reader);
  reader.OnUpdateMarker = [&log](TComponent*) { log.Lines.push_back("marker"); };
  ReadRTF(reader, "{\\rtf1 a\\par\\intbl b\\cell}");
  // Around \par; before every table event; when the outermost group closes; at the end.
  EXPECT_EQ(log.Lines, (Lines{"marker", "text NewPara: a", "marker", "marker", "table start",
                              "text NewPara: b", "marker", "cell end", "marker", "end", "marker",
                              "marker", "table end"}));
}

TEST(RTFReaderEvents, PicturesAndObjectsWithoutHandlersAreSteppedOver) {
  TRDRTFReader reader;
  std::string text;
  reader.OnNewText = [&text](TRDRTFReader*, const std::string& run, TRDRTFPosition) {
    text += run;
  };
  EXPECT_EQ(
      ReadRTF(reader,
              "{\\rtf1 a{\\pict\\pngblip 0a0b\\bin2 }}}b{\\object{\\*\\objdata 01}{\\result c}}}"),
      rtf_ec_OK);
  EXPECT_EQ(text, "abc");
}

}  // namespace

// A reader used again starts from nothing: no table, code page, skip count, pending
// escape or group of the earlier read reaches the next one, even when that one broke off.
TEST(RTFReaderReuse, ASecondReadSeesNothingOfTheFirst) {
  const std::string second =
      "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
      "\\f0\\cf1 a\\'e4\\u8364 ?b\\par\\trowd\\cellx100 c\\cell\\row}";
  TRDRTFReader fresh;
  TRTFEventLog expected(fresh);
  ASSERT_EQ(ReadRTF(fresh, second), rtf_ec_OK);

  for (const std::string first :
       {"{\\rtf1\\ansi\\ansicpg1251\\uc3{\\fonttbl{\\f5\\fcharset204 Cyr;}}"
        "{\\colortbl;\\red0\\green0\\blue255;}\\f5 x\\par}",
        "{\\rtf1{\\b{\\i{\\trowd\\cellx50 y\\'4",  // ends inside an escape and groups
        "{\\rtf1{\\pict\\pngblip 89504e4"}) {
    TRDRTFReader reader;
    TRTFEventLog log(reader);
    ReadRTF(reader, first);
    log.Lines.clear();
    ASSERT_EQ(ReadRTF(reader, second), rtf_ec_OK) << first;
    EXPECT_EQ(log.Lines, expected.Lines) << first;
    EXPECT_EQ(reader.FontTable().Count(), 1) << first;
    EXPECT_EQ(reader.ColorTable().Count(), 2) << first;
    EXPECT_EQ(reader.CodePage(), fresh.CodePage()) << first;
  }
}

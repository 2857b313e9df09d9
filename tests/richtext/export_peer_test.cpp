// What we write, read by independent programs: unrtf, pandoc and LibreOffice Writer read
// our RTF (text, paragraphs, bold, italic, colour), xmllint and tidy check our HTML and
// pandoc reads its text. A peer that is not installed skips its test.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/sys/child_process.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/break_item.h"
#include "richtext/model/bullet_item.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/tab_item.h"
#include "richtext/support/export_document.h"
#include "support/control_snapshot.h"
#include "support/html_checkers.h"
#include "support/office_convert.h"
#include "support/scratch_files.h"
#include "support/unrtf_text.h"

namespace {

// Paragraphs: plain, bold, italic and red runs, characters RTF and HTML escape,
// paragraphs that end in a lowered and in a raised run, control characters that markup
// cannot carry (also in a style name and, through HTMLOf, in the title), accented and
// Chinese text.
void FillPeerDocument(ExportDocument& doc) {
  doc.style.TextStyles().Items(kBold).SetStyleName("Bold\x01 <words>");
  TFontInfo& raised = doc.style.TextStyles().Add();
  raised.Assign(doc.style.TextStyles().Items(kPlain));
  raised.VShift = 30;
  doc.Para("First paragraph with ");
  doc.More("bold words", kBold);
  doc.More(" and ", kPlain);
  doc.More("italic words", kItalic);
  doc.Para("Red text here", kRed);
  doc.Para("Braces {x} backslash \\ and <tag> & more");
  doc.Para("Water is H");
  doc.More("2", kSub);
  doc.Para("E = mc");
  doc.More("2", doc.style.TextStyles().Count() - 1);
  doc.Para("Bell\x07 and\x1B escape");
  doc.Para("Centred line", kPlain, 1);
  doc.UnicodePara(u"Caf\u00e9\u0001 \u4e2d\u6587");
}

const char* const kParagraphs[] = {"First paragraph with bold words and italic words",
                                   "Red text here",
                                   "Braces {x} backslash \\ and <tag> & more",
                                   "Water is H2",
                                   "E = mc2",
                                   "Bell and escape",
                                   "Centred line",
                                   "Caf\u00e9 \u4e2d\u6587"};

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// A line as the peers agree on it: some show the control characters RTF carries, others
// leave them out as markup must; pandoc shows a lowered or raised 2 as the subscript or
// superscript character.
std::string Comparable(std::string line) {
  std::erase_if(line, [](char c) { return std::uint8_t(c) < 0x20 && c != '\t'; });
  for (const char* two : {"\u2082", "\u00B2"})
    for (size_t at; (at = line.find(two)) != std::string::npos;)
      line.replace(at, std::string_view(two).size(), "2");
  return line;
}

// The non-empty lines of a text, each with its blanks trimmed.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    line = Comparable(line);
    const size_t first = line.find_first_not_of(" \t\r\xEF\xBB\xBF");
    if (first == std::string::npos) continue;
    line = line.substr(first);
    line.erase(line.find_last_not_of(" \t\r") + 1);
    lines.push_back(line);
  }
  return lines;
}

void ExpectParagraphs(const std::string& text, bool withChinese, const std::string& peer) {
  const std::vector<std::string> lines = Lines(text);
  std::vector<std::string> expected(std::begin(kParagraphs), std::end(kParagraphs));
  if (!withChinese) expected.pop_back();
  ASSERT_GE(lines.size(), expected.size()) << peer << ":\n" << text;
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << peer;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Whether markup holds a private-use character (U+E000..U+F8FF), as a numeric reference
// or in UTF-8.
bool HoldsPrivateUse(const std::string& html) {
  for (size_t at = html.find("&#"); at != std::string::npos; at = html.find("&#", at + 2)) {
    const long code = std::strtol(html.c_str() + at + 2, nullptr, 10);
    if (code >= 0xE000 && code <= 0xF8FF) return true;
  }
  for (size_t i = 0; i + 1 < html.size(); ++i) {
    const auto lead = std::uint8_t(html[i]), next = std::uint8_t(html[i + 1]);
    if (lead == 0xEE || (lead == 0xEF && next >= 0x80 && next <= 0xA3)) return true;
  }
  return false;
}

TEST(ExportPeers, UnrtfReadsOurRTF) {
  if (!ProgramAvailable("unrtf")) GTEST_SKIP() << "unrtf is not installed";
  ExportDocument doc;
  FillPeerDocument(doc);
  const std::string file = WriteScratchFile("peer_unrtf.rtf", doc.RTF());
  const std::string text = UnrtfText(file);
  ASSERT_NE(text, "") << RunUnrtf("--text", file);
  // unrtf prints characters beyond its own tables as '?', so the Chinese line is left out.
  ExpectParagraphs(text, false, "unrtf");
  const std::string html = RunUnrtf("--html", file);
  EXPECT_TRUE(Has(html, "<b>bold words</b>")) << html;
  EXPECT_TRUE(Has(html, "<i>italic words")) << html;
  EXPECT_TRUE(Has(html, "<font color=\"#ff0000\">Red text here")) << html;
}

TEST(ExportPeers, PandocReadsOurRTF) {
  if (!ProgramAvailable("pandoc")) GTEST_SKIP() << "pandoc is not installed";
  ExportDocument doc;
  FillPeerDocument(doc);
  const std::string file = WriteScratchFile("peer_pandoc.rtf", doc.RTF());
  ExpectParagraphs(RunAndCapture("pandoc -f rtf -t plain --wrap=none " + Quoted(file)), true,
                   "pandoc");
  const std::string html = RunAndCapture("pandoc -f rtf -t html --wrap=none " + Quoted(file));
  EXPECT_TRUE(Has(html, "<strong>bold words</strong>")) << html;
  EXPECT_TRUE(Has(html, "<em>italic words</em>")) << html;
}

TEST(ExportPeers, LibreOfficeReadsOurRTF) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  ExportDocument doc;
  FillPeerDocument(doc);
  doc.style.TextStyles().Items(kUnicode).Charset = SHIFTJIS_CHARSET;
  const std::string file = WriteScratchFile("office/peer.rtf", doc.RTF());
  const TOfficeConversion text = OfficeConvert(file, "txt:Text", "txt");
  ASSERT_FALSE(text.Content.empty()) << text.Log;
  ExpectParagraphs(text.Content, true, "LibreOffice");
  const TOfficeConversion html = OfficeConvert(file, "html", "html");
  ASSERT_FALSE(html.Content.empty()) << html.Log;
  std::string markup = html.Content;
  std::replace(markup.begin(), markup.end(), '\n', ' ');  // LibreOffice wraps its lines
  EXPECT_TRUE(Has(markup, "<b>bold words</b>")) << markup;
  EXPECT_TRUE(Has(markup, "<i>italic words</i>")) << markup;
  EXPECT_TRUE(Has(markup, "color=\"#ff0000\"")) << markup;
}

// Every variant of our HTML: plain and with a style sheet, HTML and XHTML, 8-bit and UTF-8.
struct Variant {
  const char* Name;
  bool CSS;
  TRDSaveOptions Options;
};
constexpr Variant kVariants[] = {
    {"plain.html", false, 0},
    {"plain_utf8.html", false, rdsoUTF8},
    {"plain.xhtml", false, rdsoXHTML | rdsoUTF8},
    {"plain_8bit.xhtml", false, rdsoXHTML},
    {"css.html", true, 0},
    {"css_inline.html", true, rdsoInlineCSS | rdsoUTF8},
    {"css.xhtml", true, rdsoXHTML | rdsoUTF8},
};

std::string HTMLOf(ExportDocument& doc, const Variant& variant) {
  return variant.CSS ? doc.HTMLEx(variant.Options, "Peer & <test>\x02")
                     : doc.HTML(variant.Options, "Peer & <test>\x02");
}

void FillListDocument(ExportDocument& doc) {
  FillPeerDocument(doc);
  TRDListInfo& list = doc.style.ListStyles().Add();
  list.AddLevel().ListType = rdlstDecimal;
  list.AddLevel().ListType = rdlstBullet;
  int counter = 0;
  for (int level : {0, 1, 1, 0}) {
    auto marker = std::make_unique<ExportMarker>(&doc, 0, level, ++counter);
    marker->ParaNo = 0;
    doc.AddItemAtEnd("", std::move(marker));
    doc.More("item " + std::to_string(counter), kPlain);
  }
  doc.Para("8-bit caf\xE9");
  doc.SetPendingCheckpoint("a \"quoted\" <name>\x01\t\x1F", false, TRDTag{});
  doc.Para("");
  // A hint and a name that no attribute may take as they stand.
  auto line = std::make_unique<TRDBreakItemInfo>(&doc);
  line->StyleNo = rdsBreak;
  line->ParaNo = 0;
  line->Hint = "q'uo\"te & <lt>\x02\r\n";
  doc.AddItemAtEnd("", std::move(line));
  doc.SetPendingCheckpoint("&\x7F\x03'", false, TRDTag{});
  doc.Para("end");
  // A link whose application-made attributes hold control characters.
  TFontInfo& link = doc.style.TextStyles().Add();
  link.Jump = true;
  doc.Para("link", doc.style.TextStyles().Count() - 1);
  doc.ExportHooks.OnWriteHyperlink = [](int, TRDSaveFormat, std::string& target,
                                        std::string& extras) {
    target = "http://example.org/?a=1&b=2";
    extras = "title=\"tab\tbell\x07 esc\x1B\" target=\"_blank\"";
  };
}

TEST(ExportPeers, XmllintAndTidyAcceptOurHTML) {
  const bool xmllint = ProgramAvailable("xmllint"), tidy = ProgramAvailable("tidy");
  if (!xmllint && !tidy) GTEST_SKIP() << "neither xmllint nor tidy is installed";
  ExportDocument doc;
  FillListDocument(doc);
  for (const Variant& variant : kVariants) {
    for (TRDSaveOptions extra : {TRDSaveOptions(0), rdsoCheckpointNames}) {
      const Variant v{variant.Name, variant.CSS, TRDSaveOptions(variant.Options | extra)};
      const std::string file = WriteScratchFile(variant.Name, HTMLOf(doc, v));
      ExpectHTMLCheckersAccept(file, v.Options & rdsoXHTML, variant.Name);
    }
  }
}

TEST(ExportPeers, PandocReadsOurHTML) {
  if (!ProgramAvailable("pandoc")) GTEST_SKIP() << "pandoc is not installed";
  ExportDocument doc;
  FillPeerDocument(doc);
  for (const Variant& variant : kVariants) {
    const std::string file = WriteScratchFile(variant.Name, HTMLOf(doc, variant));
    ExpectParagraphs(RunAndCapture("pandoc -f html -t plain --wrap=none " + Quoted(file)), true,
                     variant.Name);
  }
}

TEST(ExportPeers, LibreOfficeReadsOurHTML) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  ExportDocument doc;
  FillPeerDocument(doc);
  std::vector<std::string> files;
  for (const Variant& variant : kVariants) {
    std::string name = variant.Name;
    std::replace(name.begin(), name.end(), '.', '_');
    files.push_back(WriteScratchFile("office_html/" + name + ".html", HTMLOf(doc, variant)));
  }
  std::string log;
  const std::vector<std::string> texts =
      OfficeConvertAll(files, "txt:Text (encoded):UTF8", "txt", "", &log);
  for (size_t i = 0; i < texts.size(); ++i)
    ExpectParagraphs(texts[i], true, kVariants[i].Name + ("\n" + log));
}

// Numbered lists (decimal, and letters below them) and pictures: a 20 x 10 bitmap, a
// JPEG shown at twice its size and an image-list picture.
struct RichContent : ExportDocument {
  RichContent() : images(nullptr, 8, 8) {
    TRDListInfo& list = style.ListStyles().Add();
    TRDListLevel& numbers = list.AddLevel();
    numbers.ListType = rdlstDecimal;
    numbers.FormatString = "%0:s.";
    numbers.LeftIndent = 24;
    TRDListLevel& letters = list.AddLevel();
    letters.ListType = rdlstLowerAlpha;
    letters.FormatString = "%1:s)";
    letters.LeftIndent = 48;
    for (auto [level, text] : {std::pair{0, "apple"}, {0, "banana"}, {1, "cherry"}, {0, "date"}}) {
      AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(this, 0, level, 1, false));
      More(text, kPlain);
    }
    Para("Pictures: ");
    AddPicture(SolidPicture(20, 10, clRed), 0);
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->Assign(*SolidPicture(16, 8, clBlue));
    AddPicture(std::move(jpeg), 32);
    images.Add(*SolidPicture(8, 8, clLime));
    auto bullet = std::make_unique<TRDBulletItemInfo>(this);
    bullet->ImageList = &images;
    bullet->Alt = "a \"green\" <square>";
    bullet->ParaNo = -1;
    AddItemAtEnd("", std::move(bullet));
    Para("end");
  }
  void AddPicture(std::unique_ptr<TGraphic> graphic, int width) {
    auto picture = TRDGraphicItemInfo::CreateWithGraphic(this, std::move(graphic), rdvaBaseline);
    picture->ImageWidth = width;
    picture->Alt = "picture & <more>";
    picture->ParaNo = -1;
    AddItemAtEnd("", std::move(picture));
  }
  TImageList images;
};

TEST(ExportPeers, LibreOfficeAndUnrtfReadOurListsAndPictures) {
  RichContent doc;
  const std::string file = WriteScratchFile("office_rich/rich.rtf", doc.RTF(kDefaultRTFOptions));
  if (ProgramAvailable("unrtf")) {
    // unrtf ends a line after each list text.
    const std::string text = UnrtfText(file);
    const std::vector<std::string> lines = Lines(text);
    const std::vector<std::string> expected{"1.", "apple",  "2.", "banana",
                                            "a)", "cherry", "3.", "date"};
    ASSERT_GE(lines.size(), expected.size()) << text;
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8), expected) << text;
    for (const char* picture :
         {"dimensions are 20 by 10", "dimensions are 16 by 8", "dimensions are 8 by 8"})
      EXPECT_TRUE(Has(text, picture)) << text;
  }
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  const TOfficeConversion text = OfficeConvert(file, "txt:Text", "txt");
  ASSERT_FALSE(text.Content.empty()) << text.Log;
  const std::vector<std::string> lines = Lines(text.Content);
  const std::vector<std::string> expected{"1. apple", "2. banana", "a) cherry", "3. date"};
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), expected);
  const std::string xml = OfficeConvert(file, "fodt", "fodt").Content;
  ASSERT_FALSE(xml.empty());
  // 20 x 10 pixels and 32 x 8 at 96 pixels an inch, and the 8 x 8 image-list picture.
  for (const char* size : {"svg:width=\"0.2083in\" svg:height=\"0.1043in\"",
                           "svg:width=\"0.3335in\" svg:height=\"0.0835in\"",
                           "svg:width=\"0.0835in\" svg:height=\"0.0835in\""})
    EXPECT_TRUE(Has(xml, size)) << size;
}

TEST(ExportPeers, HTMLCheckersAcceptOurListsAndPictures) {
  if (!ProgramAvailable("xmllint")) GTEST_SKIP() << "xmllint is not installed";
  RichContent doc;
  doc.ImageFolder = WriteScratchFile("rich_html/.keep", "");
  doc.ImageFolder.erase(doc.ImageFolder.rfind('/') + 1);
  for (const Variant& variant : kVariants) {
    for (TRDSaveOptions extra :
         {TRDSaveOptions(0), TRDSaveOptions(rdsoMarkersInline | rdsoPictureSizes)}) {
      const Variant v{variant.Name, variant.CSS, TRDSaveOptions(variant.Options | extra)};
      const std::string html = HTMLOf(doc, v);
      EXPECT_TRUE(Has(html, "&quot;green&quot; &lt;square&gt;")) << html;
      const std::string file = WriteScratchFile(std::string("rich_") + variant.Name, html);
      ExpectHTMLCheckersAccept(file, v.Options & rdsoXHTML, variant.Name + ("\n" + html));
    }
  }
}

// Text in Symbol, Wingdings and OpenSymbol, and bullets in the private-use area (one
// with no font, as LibreOffice's RTF brings it), leave the document as the characters
// they show by every writer that text leaves by: plain text (which the clipboard's text
// is), every HTML and XHTML form, markers inline or not, which pandoc reads. The RTF
// keeps the fonts' codes.
TEST(ExportPeers, PictureFontTextLeavesAsTheCharactersItShows) {
  ExportDocument doc;
  const auto addStyle = [&doc](const char* font, ExportStyle base) {
    TFontInfo& style = doc.style.TextStyles().Add();
    style.Assign(doc.style.TextStyles().Items(base));
    style.FontName = font;
    return doc.style.TextStyles().Count() - 1;
  };
  TRDListInfo& list = doc.style.ListStyles().Add();
  const auto addLevel = [&list](TRDListType type, const char* font, const std::string& text) {
    TRDListLevel& level = list.AddLevel();
    level.ListType = type;
    if (type == rdlstUnicodeBullet)
      level.FormatStringW = RawUnicodeToWideString(text);
    else
      level.FormatString = text;
    if (*font) level.GetFont().Name = font;
  };
  addLevel(rdlstUnicodeBullet, "OpenSymbol", WideStringToRawUnicode(u"\uF095"));
  addLevel(rdlstBullet, "Wingdings", "\xA7");
  addLevel(rdlstUnicodeBullet, "", WideStringToRawUnicode(u"\uF0B7"));
  for (const auto& [level, text] : {std::pair{0, "one"}, {1, "two"}, {2, "three"}}) {
    auto marker = TRDMarkerItemInfo::CreateMarker(&doc, 0, level, 1, false);
    marker->ParaNo = 0;
    doc.AddItemAtEnd("", std::move(marker));
    doc.More(text, kPlain);
  }
  doc.AddText(WideStringToRawUnicode(u"\uF0A7\uF0D8\uF0FC"), addStyle("Wingdings", kUnicode), 0);
  doc.AddText(WideStringToRawUnicode(u"\uF095\uE00A"), addStyle("OpenSymbol", kUnicode), 0);
  doc.AddText(
      "\xB7\x95"
      "a",
      addStyle("Symbol", kPlain), 0);
  const std::string shown =
      "\u2022 one\r\n\u25AA two\r\n\u2022 three\r\n\u25AA\u27A2\u2713\r\n"
      "\u2022\u25A0\r\n\u2022\u2022\u03B1";
  TMemoryStream utf8, ansi;
  SaveTextToStreamUTF8(doc, utf8, 80, false, false);
  EXPECT_EQ(std::string(static_cast<const char*>(utf8.Memory()), size_t(utf8.Size())), shown);
  SaveTextToStream(doc, ansi, 80, false, false, false, false);
  EXPECT_EQ(std::string(static_cast<const char*>(ansi.Memory()), size_t(ansi.Size())),
            "\x95 one\r\n* two\r\n\x95 three\r\n???\r\n\x95?\r\n\x95\x95?");

  const bool pandoc = ProgramAvailable("pandoc");
  for (const Variant& variant : kVariants) {
    for (TRDSaveOptions extra : {TRDSaveOptions(0), rdsoMarkersInline}) {
      const Variant v{variant.Name, variant.CSS, TRDSaveOptions(variant.Options | extra)};
      const std::string html = HTMLOf(doc, v);
      EXPECT_FALSE(HoldsPrivateUse(html)) << v.Name << "\n" << html;
      if (!pandoc) continue;
      std::string text = RunAndCapture("pandoc -f html -t plain --wrap=none " +
                                       Quoted(WriteScratchFile(v.Name, html)));
      std::erase(text, ' ');  // pandoc joins an inline marker to its text
      std::vector<std::string> parts = {"\u25AA\u27A2\u2713", "\u2022\u25A0", "\u2022\u2022\u03B1"};
      if (extra) parts.insert(parts.end(), {"\u2022one", "\u25AAtwo", "\u2022three"});
      for (const std::string& part : parts)
        EXPECT_TRUE(Has(text, part)) << v.Name << ": " << part << "\n" << text;
    }
  }
  const std::string rtf = doc.RTF();
  for (const char* code : {"\\u-3929 ", "\\u-3947 ", "\\'b7\\bullet a"})
    EXPECT_TRUE(Has(rtf, code)) << code << "\n" << rtf;
}

// 8-bit documents in three code pages (the last one chosen by the default code page, with
// text styles of the default charset), and what each says as UTF-8.
struct CodePageCase {
  const char* Name;
  int Charset;
  int DefCodePage;
  const char* Text;
  const char* Expected;
};
constexpr CodePageCase kCodePageCases[] = {
    {"cp1252", ANSI_CHARSET, 1252, "Caf\xE9 na\xEFve \x80 \x93quoted\x94",
     "Caf\u00e9 na\u00efve \u20ac \u201cquoted\u201d"},
    {"cp1251", RUSSIAN_CHARSET, 1252, "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0",
     "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440"},
    {"cp1253", GREEK_CHARSET, 1252, "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1",
     "\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1"},
    {"def1251", DEFAULT_CHARSET, 1251, "\xC4\xE0 \xE8 \xED\xE5\xF2",
     "\u0414\u0430 \u0438 \u043d\u0435\u0442"},
};

// Paragraphs: the case's text; blanks in runs; a tab; Unicode text; and the next case's text
// in a style of that case's charset, so that one document mixes code pages.
void FillCodePageDocument(ExportDocument& doc, const CodePageCase& pageCase,
                          const CodePageCase& other) {
  for (int i = 0; i < kStyleCount; ++i) doc.style.TextStyles().Items(i).Charset = pageCase.Charset;
  doc.style.DefCodePage = pageCase.DefCodePage;
  doc.style.TextStyles().Items(kRed).Charset =
      other.Charset == DEFAULT_CHARSET ? RUSSIAN_CHARSET : other.Charset;
  doc.Para(pageCase.Text);
  doc.Para("a   b  c");
  doc.Para("x");
  auto tab = std::make_unique<TRDTabItemInfo>(&doc);
  tab->StyleNo = rdsTab;
  tab->ParaNo = -1;
  doc.AddItemAtEnd("", std::move(tab));
  doc.More("y", kPlain);
  doc.UnicodePara(u"\u4e2d\u6587 \u20ac");
  doc.Para(other.Text, kRed);
}

// The non-empty lines LibreOffice wrote, no-break spaces read as blanks.
std::vector<std::string> OfficeLines(std::string text) {
  for (size_t at; (at = text.find("\xC2\xA0")) != std::string::npos;) text.replace(at, 2, " ");
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (line.find_first_not_of(' ') != std::string::npos) lines.push_back(line);
  }
  return lines;
}

// Every HTML form of every code page is read by LibreOffice with every character right,
// and every XHTML form is well-formed XML.
TEST(ExportPeers, LibreOfficeReadsEveryCharacterOfOurHTML) {
  const bool office = ProgramAvailable("soffice"), xmllint = ProgramAvailable("xmllint");
  if (!office && !xmllint) GTEST_SKIP() << "neither LibreOffice nor xmllint is installed";
  std::vector<Variant> variants(std::begin(kVariants), std::end(kVariants));
  variants.push_back({"css_8bit.xhtml", true, rdsoXHTML});
  std::vector<std::string> files, names;
  for (size_t c = 0; c < std::size(kCodePageCases); ++c) {
    const CodePageCase& pageCase = kCodePageCases[c];
    ExportDocument doc;
    FillCodePageDocument(doc, pageCase, kCodePageCases[(c + 1) % std::size(kCodePageCases)]);
    for (const Variant& variant : variants) {
      std::string name = std::string(pageCase.Name) + "_" + variant.Name;
      std::replace(name.begin(), name.end(), '.', '_');
      const std::string html = HTMLOf(doc, variant);
      if (variant.Options & rdsoXHTML && xmllint)
        ExpectHTMLCheckersAccept(WriteScratchFile("charsets/" + name + ".xhtml", html), true, name);
      files.push_back(WriteScratchFile("charsets/" + name + ".html", html));
      names.push_back(name);
    }
  }
  if (!office) GTEST_SKIP() << "LibreOffice is not installed";
  std::string log;
  const std::vector<std::string> texts =
      OfficeConvertAll(files, "txt:Text (encoded):UTF8", "txt", "", &log);
  for (size_t i = 0; i < texts.size(); ++i) {
    const CodePageCase& pageCase = kCodePageCases[i / variants.size()];
    const CodePageCase& other =
        kCodePageCases[(i / variants.size() + 1) % std::size(kCodePageCases)];
    const std::vector<std::string> lines = OfficeLines(texts[i]);
    ASSERT_EQ(lines.size(), 5u) << names[i] << "\n" << texts[i] << log;
    EXPECT_EQ(lines[0], pageCase.Expected) << names[i];
    EXPECT_EQ(lines[1], "a   b  c") << names[i];
    // The tab is read as blanks between x and y.
    EXPECT_TRUE(lines[2].size() > 2 && lines[2].front() == 'x' && lines[2].back() == 'y' &&
                lines[2].find_first_not_of(' ', 1) == lines[2].size() - 1)
        << names[i] << ": " << lines[2];
    EXPECT_EQ(lines[3], "\u4e2d\u6587 \u20ac") << names[i];
    // LibreOffice takes a numeric reference below 256 for a byte of the page's code page;
    // HTML names such letters instead, XML has no names: 8-bit XHTML of another code page
    // is left to xmllint for them.
    const Variant& variant = variants[i % variants.size()];
    const bool latinRefs = (variant.Options & rdsoXHTML) && !(variant.Options & rdsoUTF8) &&
                           other.DefCodePage == 1252 && other.Charset == ANSI_CHARSET &&
                           pageCase.Charset != ANSI_CHARSET;
    if (!latinRefs) {
      EXPECT_EQ(lines[4], other.Expected) << names[i];
    }
  }
}

// Every character 0x20-0xFF of two code pages, in text styles of the default charset, and
// a lowered run inside a line, are read back by LibreOffice from our RTF.
TEST(ExportPeers, LibreOfficeReadsEveryCharacterOfOurRTF) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  struct PageCase {
    int CodePage;
    std::string Unassigned;  // bytes the page leaves without a character
  };
  const PageCase cases[] = {{1252, "\x81\x8D\x8F\x90\x9D"}, {1251, "\x98"}};
  std::vector<std::string> files, expected;
  for (const PageCase& pageCase : cases) {
    ExportDocument doc;
    doc.style.DefCodePage = pageCase.CodePage;
    std::string all;
    for (int c = 0x20; c <= 0xFF; ++c)
      if (pageCase.Unassigned.find(char(c)) == std::string::npos) all += char(c);
    doc.Para("x" + all);
    doc.Para("2 H");
    doc.More("2", kSub);
    doc.More("O " + all.substr(all.size() - 8), kPlain);
    doc.Para("end");
    files.push_back(
        WriteScratchFile("office/chars" + std::to_string(pageCase.CodePage) + ".rtf", doc.RTF()));
    expected.push_back(AnsiToUTF8(pageCase.CodePage, "x" + all));
    expected.push_back(AnsiToUTF8(pageCase.CodePage, "2 H2O " + all.substr(all.size() - 8)));
  }
  std::string log;
  const std::vector<std::string> texts =
      OfficeConvertAll(files, "txt:Text (encoded):UTF8", "txt", "", &log);
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::vector<std::string> lines = OfficeLines(texts[i]);
    ASSERT_EQ(lines.size(), 3u) << files[i] << "\n" << texts[i] << log;
    EXPECT_EQ(lines[0], OfficeLines(expected[2 * i]).front()) << files[i];
    EXPECT_EQ(lines[1], expected[2 * i + 1]) << files[i];
    EXPECT_EQ(lines[2], "end") << files[i];
  }
}

}  // namespace

// What we write, read by independent programs: unrtf, pandoc and LibreOffice Writer read
// our RTF (text, paragraphs, bold, italic, colour), xmllint and tidy check our HTML and
// pandoc reads its text. A peer that is not installed skips its test.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/gui/bitmap.h"
#include "platform/gui/image_list.h"
#include "platform/gui/jpeg_image.h"
#include "platform/sys/child_process.h"
#include "richtext/bullet_item.h"
#include "richtext/marker_item.h"
#include "richtext/picture_item.h"
#include "richtext/support/export_document.h"
#include "support/control_snapshot.h"
#include "support/html_checkers.h"
#include "support/office_convert.h"
#include "support/scratch_files.h"

namespace {

// Paragraphs: plain, bold, italic and red runs, characters RTF and HTML escape, accented
// and Chinese text.
void FillPeerDocument(ExportDocument& doc) {
  doc.Para("First paragraph with ");
  doc.More("bold words", kBold);
  doc.More(" and ", kPlain);
  doc.More("italic words", kItalic);
  doc.Para("Red text here", kRed);
  doc.Para("Braces {x} backslash \\ and <tag> & more");
  doc.Para("Centred line", kPlain, 1);
  doc.UnicodePara(u"Caf\u00e9 \u4e2d\u6587");
}

const char* const kParagraphs[] = {"First paragraph with bold words and italic words",
                                   "Red text here", "Braces {x} backslash \\ and <tag> & more",
                                   "Centred line", "Caf\u00e9 \u4e2d\u6587"};

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// The non-empty lines of a text, each with its blanks trimmed.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
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

TEST(ExportPeers, UnrtfReadsOurRTF) {
  if (!ProgramAvailable("unrtf")) GTEST_SKIP() << "unrtf is not installed";
  ExportDocument doc;
  FillPeerDocument(doc);
  const std::string file = WriteScratchFile("peer_unrtf.rtf", doc.RTF());
  std::string text = RunAndCapture("unrtf --text " + Quoted(file) + " 2>/dev/null");
  const size_t rule = text.find("-----------------\n");
  ASSERT_NE(rule, std::string::npos) << text;
  // unrtf prints characters beyond its own tables as '?', so the Chinese line is left out.
  ExpectParagraphs(text.substr(rule + 18), false, "unrtf");
  const std::string html = RunAndCapture("unrtf --html " + Quoted(file) + " 2>/dev/null");
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
  return variant.CSS ? doc.HTMLEx(variant.Options, "Peer & <test>")
                     : doc.HTML(variant.Options, "Peer & <test>");
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
  doc.SetPendingCheckpoint("a \"quoted\" <name>", false, TRDTag{});
  doc.Para("");
  doc.Para("end");
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
    const std::string text = RunAndCapture("unrtf --text " + Quoted(file) + " 2>/dev/null");
    const std::vector<std::string> lines = Lines(text.substr(text.find("-----------------\n")));
    const std::vector<std::string> expected{"1.", "apple",  "2.", "banana",
                                            "a)", "cherry", "3.", "date"};
    ASSERT_GE(lines.size(), expected.size() + 1) << text;
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 9), expected) << text;
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

}  // namespace

// What we write, read by independent programs: unrtf, pandoc and LibreOffice Writer read
// our RTF (text, paragraphs, bold, italic, colour), xmllint and tidy check our HTML and
// pandoc reads its text. A peer that is not installed skips its test.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/sys/child_process.h"
#include "richtext/support/export_document.h"

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
  const std::string folder = file.substr(0, file.rfind('/'));
  // A private profile: parallel runs share none.
  const auto convert = [&folder, &file](const std::string& format) {
    return RunAndCapture("soffice --headless -env:UserInstallation=file://" + folder +
                         "/profile --convert-to " + format + " --outdir " + Quoted(folder) + " " +
                         Quoted(file) + " 2>&1");
  };
  const std::string log = convert("txt:Text");
  TMemoryStream text;
  ASSERT_NO_THROW(text.LoadFromFile(folder + "/peer.txt")) << log;
  ExpectParagraphs(std::string(static_cast<const char*>(text.Memory()), size_t(text.Size())), true,
                   "LibreOffice");
  convert("html");
  TMemoryStream html;
  ASSERT_NO_THROW(html.LoadFromFile(folder + "/peer.html"));
  std::string markup(static_cast<const char*>(html.Memory()), size_t(html.Size()));
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
      const bool xhtml = v.Options & rdsoXHTML;
      int status = -1;
      if (xmllint) {
        const std::string output =
            RunAndCapture(std::string("xmllint ") + (xhtml ? "" : "--html ") + "--noout " +
                              Quoted(file) + " 2>&1",
                          &status);
        EXPECT_EQ(status, 0) << variant.Name << "\n" << output;
        EXPECT_EQ(output, "") << variant.Name;
      }
      if (tidy) {
        // Exit status 2 means errors; 1 only warnings (such as the font tags of plain HTML).
        const std::string output =
            RunAndCapture("tidy -errors -q " + Quoted(file) + " 2>&1", &status);
        EXPECT_LT(status, 2) << variant.Name << "\n" << output;
      }
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

}  // namespace

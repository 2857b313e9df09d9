// Tables as HTML and as text: the table element's attributes and inline CSS, covered
// slots writing nothing, escaped attribute values and picture locations; and the peers:
// xmllint and tidy accept what we write, pandoc and LibreOffice read the same cell texts
// in the same rows and columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/child_process.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/text_export.h"
#include "richtext/model/picture_item.h"
#include "richtext_edit/tables/html_grid.h"
#include "richtext_edit/tables/table_document.h"
#include "support/control_snapshot.h"
#include "support/html_checkers.h"
#include "support/office_convert.h"
#include "support/scratch_files.h"

namespace {

std::string HTMLOf(TTableDocument& doc, TRDSaveOptions options, bool css,
                   const std::string& path = "") {
  TMemoryStream stream;
  TRDHTMLSaveParams params;
  params.Path = path;
  params.Options = options;
  params.Title = "Tables";
  if (css)
    SaveHTMLExToStream(doc, stream, params);
  else
    SaveHTMLToStream(doc, stream, params);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string TableHTML(TTableDocument& doc, TRDSaveOptions options = 0, bool css = false) {
  const std::string html = HTMLOf(doc, options | rdsoBodyOnly | rdsoNoDefaultStyleTags, css);
  const size_t start = html.find("<table"), end = html.rfind("</table>");
  return start == std::string::npos ? html : html.substr(start, end + 8 - start);
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(TableHTML, TableAndCellAttributes) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 3, {"a", "b", "", "d", "e", "f"});
  table.SetBestWidth(-50);
  table.SetBorderWidth(1);
  table.SetCellPadding(3);
  table.SetCellHSpacing(3);
  table.SetCellVSpacing(2);
  table.SetColor(clNone);
  table.Rows->MergeCells(0, 0, 2, 1, true, false);
  table.Rows->Items(1)->VAlign = rdcBottom;
  table.Cells(1, 1)->BestWidth = 40;
  table.Cells(1, 1)->Color = clRed;
  const std::string html = TableHTML(doc);
  // Spacing (2 + 3) / 2 rounds half to even.
  EXPECT_TRUE(Has(html, "<table width=\"50%\" border=1 cellpadding=3 cellspacing=2>")) << html;
  EXPECT_TRUE(Has(html, "<td colspan=2>")) << html;
  EXPECT_FALSE(Has(html, "rowspan")) << html;
  EXPECT_TRUE(Has(html, "<tr valign=bottom>")) << html;
  EXPECT_TRUE(Has(html, "<td width=40 bgcolor=\"#FF0000\">")) << html;
  // An empty cell holds a line break; covered slots write nothing.
  EXPECT_TRUE(Has(html, "<td><br>\r\n</td>")) << html;
  size_t cells = 0;
  for (size_t p = html.find("<td"); p != std::string::npos; p = html.find("<td", p + 1)) ++cells;
  EXPECT_EQ(cells, 5u);
  EXPECT_FALSE(Has(html, "rules"));
  // XHTML quotes every value and closes the line break.
  const std::string xhtml = TableHTML(doc, rdsoXHTML);
  EXPECT_TRUE(Has(xhtml, "<table width=\"50%\" border=\"1\" cellpadding=\"3\"")) << xhtml;
  EXPECT_TRUE(Has(xhtml, "<br />")) << xhtml;
}

TEST(TableHTML, InlineCSSBordersAndColours) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 2, {"x", "y"});
  table.SetCellBorderWidth(1);
  table.SetCellBorderStyle(rdtbColor);
  table.SetCellBorderColor(clBlue);
  table.Cells(0, 1)->VisibleBorders.Top = false;
  table.Cells(0, 1)->Color = clYellow;
  const std::string css = TableHTML(doc, rdsoInlineCSS, true);
  // No table border but cell borders: border=1 with the table's own border width 0, in
  // the one style attribute of the table.
  EXPECT_TRUE(Has(css,
                  "<table border=1 cellpadding=1 cellspacing=2 style=\"border-width : 0px; "
                  "background-color: #FFFFFF;\">"))
      << css;
  EXPECT_TRUE(Has(css, "border-width : 1px; border-color: #0000FF; border-style: solid;")) << css;
  EXPECT_TRUE(Has(css, "border-top: none;")) << css;
  EXPECT_TRUE(Has(css, "background-color: #FFFF00;")) << css;
  EXPECT_FALSE(Has(css, "bgcolor")) << css;
  const std::string plain = TableHTML(doc);
  EXPECT_TRUE(Has(plain, " border=0 ")) << plain;
  EXPECT_FALSE(Has(plain, "style=")) << plain;
}

TEST(TableHTML, PictureLocationsAreEscaped) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(1, 1, {"x"});
  TBitmap picture;
  picture.SetSize(2, 2);
  table.SetBackgroundImage(&picture);
  table.SetBackgroundStyle(rdbsTiled);
  table.SetBackgroundImageFileName("a\"b<c>'d.bmp");
  const std::string plain = TableHTML(doc, rdsoUseImageFileNames);
  EXPECT_TRUE(Has(plain, "background=\"a%22b&lt;c&gt;'d.bmp\"")) << plain;
  const std::string css = TableHTML(doc, rdsoUseImageFileNames, true);
  EXPECT_TRUE(Has(css, "background-image: url('a")) << css;
  EXPECT_FALSE(Has(css, "a\"b")) << css;
  EXPECT_FALSE(Has(css, "<c>")) << css;
}

std::string PlainText(TCustomRDData& doc) {
  TMemoryStream out;
  SaveTextToStream(doc, out, 80, false, false, false, false);
  return std::string(static_cast<const char*>(out.Memory()), size_t(out.Size()));
}

// Cells joined on a line keep their columns; cells one a line (the default) make no blank
// line but for an empty cell: none where a merged cell covers a slot, after a table nested
// at a cell's end, or after the table.
TEST(TableHTML, TableAsText) {
  TTableDocument doc;
  TRDTableItemInfo& table = doc.AddTable(2, 2, {"a", "b", "c", "d"});
  table.TextColSeparator = "\t";
  table.TextRowSeparator = "\n";
  table.Rows->MergeCells(0, 0, 2, 1, true, false);
  EXPECT_EQ(table.AsText(false), "a\r\nb\t\nc\td");
  EXPECT_EQ(table.AsText(true).size(), 2 * std::string("a\r\nb\t\nc\td").size());
  EXPECT_EQ(PlainText(doc), "a\r\nb\t\nc\td");

  TTableDocument lines;
  lines.AddText("before", 0, 0);
  TRDTableItemInfo& grid = lines.AddTable(2, 3, {"a", "b", "c", "d", "", "f"});
  grid.Rows->MergeCells(0, 0, 2, 1, true, false);  // a|b across two columns
  grid.Rows->MergeCells(0, 2, 1, 2, true, false);  // c|f down two rows
  TRDTableCellData& cell = *grid.Cells(1, 0);
  auto inner = std::make_unique<TRDTableItemInfo>(1, 2, &cell);
  TTableDocument::SetCellText(*inner, 0, 0, "x");
  TTableDocument::SetCellText(*inner, 0, 1, "y");
  cell.AddItemAtEnd("", std::move(inner));
  lines.AddText("after", 0, 0);
  EXPECT_EQ(PlainText(lines), "before\r\na\r\nb\r\nc\r\nf\r\nd\r\nx\r\ny\r\n\r\nafter");
}

// --- peers ------------------------------------------------------------------------------------

// The tables of the peer tests: one with a border of its own and one shaped as
// LibreOffice writes them; a cell holds a control character, which markup cannot carry,
// and the paragraph before the table ends in a raised run.
enum class TPeerShape { Framed, LibreOffice };
constexpr TPeerShape kPeerShapes[] = {TPeerShape::Framed, TPeerShape::LibreOffice};

std::string ShapeName(TPeerShape shape) {
  return shape == TPeerShape::Framed ? "framed_" : "office_";
}

void FillPeerTables(TTableDocument& doc, TPeerShape shape) {
  doc.AddText("Before the tabl", 0, 0);
  doc.AddText("e", doc.AddRaisedStyle(), -1);
  TRDTableItemInfo& table = doc.AddTable(
      3, 3, {"North", "East", "South", "West & <co>\x01", "Centre", "Up", "Down", "Left", "Right"});
  table.Rows->MergeCells(0, 0, 2, 1, true, false);  // North|East across two columns
  table.Rows->MergeCells(1, 2, 1, 2, true, false);  // Up|Right down two rows
  if (shape == TPeerShape::LibreOffice) {
    TTableDocument::ShapeAsLibreOfficeTable(table);
  } else {
    table.SetBorderWidth(1);
    table.SetCellBorderWidth(1);
  }
  doc.AddText("After the table", 0, 0);
}

// The grid as our table holds it: merged cells at their first slot, covered slots empty,
// a cell's paragraphs joined by blanks.
const TGrid kGrid = {
    {"North East", "", "South"}, {"West & <co>", "Centre", "Up Right"}, {"Down", "Left", ""}};

// pandoc's plain grid table: separator lines start with '+', whose '+' mark the columns.
TGrid PandocGrid(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  TGrid grid;
  std::vector<size_t> bounds;
  std::vector<std::string> band;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '+') {
      if (bounds.empty())
        for (size_t i = 0; i < line.size(); ++i)
          if (line[i] == '+') bounds.push_back(i);
      if (!band.empty()) grid.push_back(band);
      band.assign(bounds.size() - 1, "");
      continue;
    }
    if (bounds.empty() || line.empty() || line[0] != '|') continue;
    for (size_t c = 0; c + 1 < bounds.size(); ++c)
      if (line.size() > bounds[c])
        band[c] += " " + line.substr(bounds[c] + 1, bounds[c + 1] - bounds[c] - 1);
  }
  for (auto& row : grid)
    for (auto& cell : row) cell = Collapsed(cell);
  return grid;
}

struct Variant {
  const char* Name;
  bool CSS;
  TRDSaveOptions Options;
};
constexpr Variant kVariants[] = {
    {"plain.html", false, 0},
    {"plain_utf8.html", false, rdsoUTF8},
    {"plain.xhtml", false, rdsoXHTML | rdsoUTF8},
    {"css.html", true, 0},
    {"css_inline.html", true, rdsoInlineCSS | rdsoUTF8},
    {"css.xhtml", true, rdsoXHTML | rdsoUTF8},
};

struct PeerFile {
  std::string Name, Path;
  bool XHTML;
};

// Every form of both table shapes, written once into the scratch folder for a peer to read.
std::vector<PeerFile> WritePeerForms(const std::string& folder) {
  std::vector<PeerFile> files;
  for (const TPeerShape shape : kPeerShapes) {
    TTableDocument doc;
    FillPeerTables(doc, shape);
    for (const Variant& v : kVariants) {
      std::string name = ShapeName(shape) + v.Name;
      std::replace(name.begin(), name.end(), '.', '_');
      files.push_back(
          {name, WriteScratchFile(folder + "/" + name + ".html", HTMLOf(doc, v.Options, v.CSS)),
           (v.Options & rdsoXHTML) != 0});
    }
  }
  return files;
}

TEST(TableHTMLPeers, XmllintAndTidyAcceptTables) {
  const bool xmllint = ProgramAvailable("xmllint"), tidy = ProgramAvailable("tidy");
  if (!xmllint && !tidy) GTEST_SKIP() << "neither xmllint nor tidy is installed";
  for (const PeerFile& f : WritePeerForms("checked_tables"))
    ExpectHTMLCheckersAccept(f.Path, f.XHTML, f.Name);
}

TEST(TableHTMLPeers, PandocReadsTheCells) {
  if (!ProgramAvailable("pandoc")) GTEST_SKIP() << "pandoc is not installed";
  for (const PeerFile& f : WritePeerForms("pandoc_tables")) {
    const std::string text = RunAndCapture("pandoc -f html -t plain --wrap=none '" + f.Path + "'");
    EXPECT_EQ(PandocGrid(text), kGrid) << f.Name << "\n" << text;
  }
}

// Every form of both shapes, read by one start of LibreOffice: as text the cells come one
// a line, row by row, and its own HTML shows the rows and columns it read.
TEST(TableHTMLPeers, LibreOfficeReadsTheCells) {
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  std::vector<std::string> files;
  for (const PeerFile& f : WritePeerForms("office_tables")) files.push_back(f.Path);
  std::string log;
  const std::vector<std::string> texts =
      OfficeConvertAll(files, "txt:Text (encoded):UTF8", "txt", "", &log);
  const std::vector<std::string> pages =
      OfficeConvertAll(files, "html:HTML (StarWriter)", "html", "", &log);
  for (size_t i = 0; i < files.size(); ++i) {
    ASSERT_FALSE(texts[i].empty()) << files[i] << "\n" << log;
    EXPECT_EQ(Collapsed(texts[i]).substr(3),  // after the byte-order mark
              "Before the table North East South West & <co> Centre Up Right Down Left After "
              "the table")
        << files[i];
    EXPECT_EQ(HTMLGrid(pages[i], kGrid[0].size()), kGrid) << files[i] << "\n" << pages[i];
  }
}

// --- pictures from a folder whose name is not ASCII -------------------------------------------

struct TLinkedPage {
  std::string Name, File;
  bool CSS;
};

// A document with a picture, a table with a tiled background and a cell with one of its
// own, written with a tiled page background as pages in folderName below the scratch
// folder, its pictures beside them: plain and with CSS, in Windows-1252 and in UTF-8.
std::vector<TLinkedPage> WriteLinkedPages(const std::string& folderName) {
  TTableDocument doc;
  doc.AddText("Before", 0, 0);
  auto picture =
      TRDGraphicItemInfo::CreateWithGraphic(&doc, SolidPicture(3, 2, clRed), rdvaBaseline);
  picture->ParaNo = -1;
  doc.AddItemAtEnd("", std::move(picture));
  TRDTableItemInfo& table = doc.AddTable(1, 2, {"a", "b"});
  const std::unique_ptr<TBitmap> tile = SolidPicture(4, 4, clBlue);
  table.SetBackgroundImage(tile.get());
  table.SetBackgroundStyle(rdbsTiled);
  table.Cells(0, 1)->SetBackgroundImage(tile.get());
  table.Cells(0, 1)->SetBackgroundStyle(rdbsTiled);
  doc.AddText("After", 0, 0);
  const std::string folder = ScratchFolder() + "/" + folderName + "/";
  std::filesystem::create_directories(folder);
  std::vector<TLinkedPage> pages;
  for (const bool css : {false, true})
    for (const TRDSaveOptions options : {TRDSaveOptions(0), rdsoUTF8}) {
      TMemoryStream stream;
      TRDHTMLSaveParams params;
      params.Path = folder;
      params.Options = options;
      params.BackgroundStyle = bsTiled;
      params.BackgroundPicture = tile.get();
      if (css)
        SaveHTMLExToStream(doc, stream, params);
      else
        SaveHTMLToStream(doc, stream, params);
      const std::string name = std::string(css ? "css" : "plain") + (options ? "_utf8" : "_1252");
      const std::string page(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
      pages.push_back({name, WriteScratchFile(folderName + "/" + name + ".html", page), css});
    }
  return pages;
}

std::string FileContent(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// A link as a reader of the page takes it: character references and CSS escapes undone,
// then percent-encoded bytes.
std::string LinkTarget(std::string link) {
  for (const auto& [reference, character] :
       {std::pair{"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&#39;", "'"}, {"&amp;", "&"}})
    for (size_t at; (at = link.find(reference)) != std::string::npos;)
      link.replace(at, std::string_view(reference).size(), character);
  std::string target;
  for (size_t i = 0; i < link.size(); ++i) {
    if (link[i] == '\\' && i + 1 < link.size()) {
      target += link[++i];
    } else if (link[i] == '%' && i + 2 < link.size()) {
      target += char(std::stoi(link.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      target += link[i];
    }
  }
  return target;
}

// The pictures a page links to, read as a reader by the page's charset does: its text
// decoded by the charset it names, each src, background and url() value taken as a link
// from the page's folder.
std::vector<std::string> LinkedFiles(const std::string& file) {
  std::string page = FileContent(file);
  if (!Has(page, "charset=UTF-8")) page = AnsiToUTF8(1252, page);
  const std::string folder = file.substr(0, file.rfind('/') + 1);
  std::vector<std::string> linked;
  for (const std::string opening : {" src=\"", " background=\"", "url(\"", "url('"}) {
    const char closing = opening.back();
    for (size_t at = page.find(opening); at != std::string::npos; at = page.find(opening, at + 1)) {
      const size_t start = at + opening.size();
      const std::string target = LinkTarget(page.substr(start, page.find(closing, start) - start));
      linked.push_back(target.starts_with("/") ? target : folder + target);
    }
  }
  return linked;
}

}  // namespace

namespace {}  // namespace

// Pictures linked from a page in a folder named with umlauts ("\u00DCbung f\u00FCr J\u00FCrgen"):
// a Windows-1252 page named them by the UTF-8 bytes of the folder's name, a UTF-8 page by
// those bytes converted once more, so that neither a reader by the page's charset nor
// LibreOffice found any of them. Every link of all four pages now names its file: the
// picture, the page's background and the table's and the cell's. LibreOffice shows the
// picture of each page and the three backgrounds of the plain pages (it takes no
// backgrounds from CSS, whatever the folder).
TEST(TableHTMLPeers, PictureLinksNameTheirFilesFromAFolderWithUmlauts) {
  const std::vector<TLinkedPage> pages = WriteLinkedPages(
      "\xC3\x9C"
      "bung f\xC3\xBC"
      "r J\xC3\xBC"
      "rgen");
  std::vector<std::string> files;
  for (const TLinkedPage& page : pages) {
    files.push_back(page.File);
    const std::vector<std::string> linked = LinkedFiles(page.File);
    EXPECT_EQ(linked.size(), 4u) << page.Name << "\n" << FileContent(page.File);
    for (const std::string& target : linked)
      EXPECT_TRUE(std::filesystem::is_regular_file(target)) << page.Name << ": " << target;
  }
  if (!ProgramAvailable("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  std::string log;
  const std::vector<std::string> read =
      OfficeConvertAll(files, "fodt", "fodt", "HTML (StarWriter)", &log);
  const auto count = [](const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  };
  for (size_t i = 0; i < pages.size(); ++i) {
    ASSERT_FALSE(read[i].empty()) << pages[i].Name << "\n" << log;
    EXPECT_EQ(count(read[i], "<draw:image "), 1u) << pages[i].Name;
    EXPECT_EQ(count(read[i], "draw:mime-type=\"image/"), 1u) << pages[i].Name;
    EXPECT_EQ(count(read[i], "<style:background-image>"), pages[i].CSS ? 0u : 3u) << pages[i].Name;
  }
}

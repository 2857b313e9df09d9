// The HTML writers, plain and with a style sheet: head, paragraphs, runs, lists, links,
// anchors, pictures as files, and the escaping and quoting of what comes from names and
// texts. The golden files were written by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/files.h"
#include "richtext/support/export_document.h"
#include "support/scratch_files.h"

namespace {

std::string Golden(const std::string& name) {
  TMemoryStream stream;
  stream.LoadFromFile(std::string(VELMORA_TEST_DATA) + "/richtext/export/" + name);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Write(ExportDocument& doc, const TRDHTMLSaveParams& params, bool css) {
  TMemoryStream stream;
  if (css)
    SaveHTMLExToStream(doc, stream, params);
  else
    SaveHTMLToStream(doc, stream, params);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

void FillGoldenDocument(ExportDocument& doc) {
  doc.Para("Hello ");
  doc.More("bold", kBold);
  doc.Para("a<b & c  d", kRed);
  doc.Para("");
  doc.Para("last", kPlain, 1);
}

TEST(HTMLWriter, PlainDocumentMatchesTheGoldenFile) {
  ExportDocument doc;
  FillGoldenDocument(doc);
  EXPECT_EQ(doc.HTML(0, "T<&>"), Golden("plain.html"));
}

TEST(HTMLWriter, StyleSheetDocumentMatchesTheGoldenFile) {
  ExportDocument doc;
  FillGoldenDocument(doc);
  TRDHTMLSaveParams params;
  params.Title = "T<&>";
  params.Options = rdsoXHTML;
  params.ExternalCSS = "styles\\a&b.css";
  EXPECT_EQ(Write(doc, params, true), Golden("css.xhtml"));
}

TEST(HTMLWriter, PartsAndTheMissingStyleSheet) {
  ExportDocument doc;
  doc.Para("x");
  const std::string head = doc.HTML(rdsoHeadOnly);
  const std::string body = "<body leftmargin=0 topmargin=0 rightmargin=0 bottommargin=0>\r\n";
  EXPECT_EQ(head.substr(head.size() - body.size()), body);
  EXPECT_EQ(doc.HTML(rdsoEndOnly), "</body></html>");
  EXPECT_EQ(doc.HTMLEx(rdsoEndOnly), "\r\n</body></html>");
  EXPECT_EQ(doc.HTML(rdsoBodyOnly | rdsoNoDefaultStyleTags), "<div>x</div>\r\n");
  TCustomRDData bare;
  TMemoryStream stream;
  EXPECT_FALSE(SaveHTMLToStream(bare, stream, TRDHTMLSaveParams()));
  EXPECT_FALSE(SaveHTMLExToStream(bare, stream, TRDHTMLSaveParams()));
  EXPECT_EQ(stream.Size(), 0);
}

TEST(HTMLWriter, CharsetsAndUTF8) {
  ExportDocument doc;
  doc.style.TextStyles().Items(0).Charset = RUSSIAN_CHARSET;
  doc.Para("\xE9");
  EXPECT_TRUE(Contains(doc.HTML(), "charset=Windows-1251\">"));
  const std::string utf8 = doc.HTML(rdsoUTF8 | rdsoXHTML, "\xE9");
  EXPECT_EQ(utf8.substr(0, 40), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
  EXPECT_TRUE(Contains(utf8, "<title>\xC3\xA9</title>"));
  EXPECT_TRUE(Contains(utf8, "content=\"text/html; charset=UTF-8\" />"));
  // 8-bit output always names its code page, that of text style 0 (a reader left to
  // guess takes it for another; XML without an encoding would be UTF-8).
  doc.style.TextStyles().Items(0).Charset = DEFAULT_CHARSET;
  EXPECT_EQ(doc.HTML(rdsoXHTML).substr(0, 47),
            "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n");
  EXPECT_TRUE(Contains(doc.HTML(), "charset=Windows-1252\">"));
  doc.style.DefCodePage = 1253;
  EXPECT_EQ(doc.HTMLEx(rdsoXHTML).substr(0, 47),
            "<?xml version=\"1.0\" encoding=\"Windows-1253\"?>\r\n");
  doc.style.DefCodePage = 1252;
  doc.Clear();
  doc.UnicodePara(u"\u4e2d<");
  EXPECT_TRUE(Contains(doc.HTML(rdsoBodyOnly | rdsoNoDefaultStyleTags), "&#20013;&lt;"));
  EXPECT_TRUE(Contains(doc.HTMLEx(rdsoBodyOnly | rdsoUTF8), "\xE4\xB8\xAD&lt;"));
}

TEST(HTMLWriter, PageBreaksAndParagraphAttributes) {
  ExportDocument doc;
  doc.style.ParaStyles().Items(1).BiDiMode = rdbdRightToLeft;
  doc.Para("a");
  doc.Para("b", kPlain, 1);
  doc.GetItem(1)->SetPageBreakBefore(true);
  EXPECT_TRUE(Contains(doc.HTML(rdsoBodyOnly), "<div align=center dir=RTL>b"));
  EXPECT_TRUE(Contains(doc.HTML(rdsoBodyOnly | rdsoPageBreaks | rdsoXHTML),
                       "<div align=\"center\" dir=\"RTL\" style=\"page-break-before: always;\">b"));
  EXPECT_TRUE(Contains(doc.HTMLEx(rdsoBodyOnly),
                       "<p class=rdps1 style=\"page-break-before: always;\">b</p>"));
  const std::string inlineCSS = doc.HTMLEx(rdsoBodyOnly | rdsoInlineCSS);
  EXPECT_TRUE(Contains(inlineCSS, "page-break-before: always;\"><span style="));
  EXPECT_TRUE(Contains(inlineCSS, "<p style=\"text-align: center;"));
  EXPECT_TRUE(Contains(inlineCSS, "<span style=\""));  // style 0 spelled out inline
  EXPECT_TRUE(
      Contains(doc.HTMLEx(rdsoBodyOnly | rdsoStyle0Class), "<p class=rdps0><span class=rdts0>a"));
}

TEST(HTMLWriter, AnchorsAndLinksAreEscapedAndQuoted) {
  ExportDocument doc;
  doc.style.TextStyles().Items(kRed).Jump = true;
  doc.ExportHooks.OnWriteHyperlink = [](int id, TRDSaveFormat format, std::string& target,
                                        std::string& extras) {
    EXPECT_EQ(format, rdsfHTML);
    target = "http://x/?a=1&b=\"" + std::to_string(id) + "\"";
    extras = "target=_blank";
  };
  doc.SetPendingCheckpoint("say \"hi\" & <go>", false, TRDTag{});
  doc.Para("a");
  doc.SetPendingCheckpoint("", false, TRDTag{});
  doc.Para("link", kRed);
  const std::string plain = doc.HTML(rdsoBodyOnly | rdsoNoDefaultStyleTags);
  EXPECT_TRUE(Contains(plain, "<a name=RichDocCheckpoint0></a>\r\n"));
  EXPECT_TRUE(Contains(plain,
                       "<a href=\"http://x/?a=1&amp;b=&quot;0&quot;\" target=_blank>"
                       "<font color=\"#FF0000\">link</font></a>"));
  const std::string named = doc.HTML(rdsoBodyOnly | rdsoCheckpointNames | rdsoXHTML);
  EXPECT_TRUE(Contains(named, "<a name=\"say &quot;hi&quot; &amp; &lt;go&gt;\"></a>"));
  EXPECT_TRUE(Contains(named, "<a name=\"RichDocCheckpoint0\"></a>"));  // the unnamed one
  EXPECT_TRUE(Contains(doc.HTMLEx(rdsoBodyOnly | rdsoXHTML),
                       "\r\n<a class=\"rdts3\" href=\"http://x/?a=1&amp;b=&quot;0&quot;\" "
                       "target=_blank>link</a></p>"));
}

TEST(HTMLWriter, ListsOpenAndCloseByLevel) {
  ExportDocument doc;
  TRDListInfo& list = doc.style.ListStyles().Add();
  list.AddLevel().ListType = rdlstDecimal;
  list.AddLevel().ListType = rdlstBullet;
  auto marker = [&doc](int level, int counter) {
    auto item = std::make_unique<ExportMarker>(&doc, 0, level, counter);
    item->ParaNo = 0;
    doc.AddItemAtEnd("", std::move(item));
  };
  marker(0, 1);
  doc.More("one", kPlain);
  marker(1, 1);
  doc.More("inner", kPlain);
  marker(0, 2);
  doc.More("two", kPlain);
  doc.Para("after");
  const std::string html = doc.HTML(rdsoBodyOnly | rdsoNoDefaultStyleTags);
  // The inner list stands inside the outer item, which closes after it.
  std::vector<size_t> at;
  for (const char* part : {"<ol", "<li value=1>one", "<ul", "<li>inner</li>", "</ul>", "</li>",
                           "<li value=2>two</li>", "</ol>", "<div>after"})
    at.push_back(html.find(part, at.empty() ? 0 : at.back()));
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end()) && at.back() != std::string::npos) << html;
  // Markers as text: ordinary paragraphs, no list elements.
  const std::string inlined = doc.HTML(rdsoBodyOnly | rdsoMarkersInline);
  EXPECT_FALSE(Contains(inlined, "<li"));
  EXPECT_TRUE(Contains(inlined, "<p style="));
}

TEST(HTMLWriter, BackgroundPictureBecomesAFile) {
  const std::string folder = ExtractFilePath(WriteScratchFile("bg/placeholder", ""));
  TBitmap picture;
  picture.SetSize(2, 2);
  ExportDocument doc;
  doc.Para("x");
  TRDHTMLSaveParams params;
  params.Path = folder;
  params.Options = rdsoHeadOnly;
  params.PageColor = 0x00FF80;
  params.BackgroundPicture = &picture;
  params.BackgroundStyle = bsTiledAndScrolled;
  const std::string plain = Write(doc, params, false);
  EXPECT_TRUE(
      Contains(plain, "<body bgcolor=#80ff00 background=\"" + folder + "img1.bmp\" leftmargin"));
  EXPECT_TRUE(FileExists(folder + "img1.bmp"));
  params.BackgroundStyle = bsTopRight;
  params.Options = rdsoHeadOnly | rdsoXHTML;
  const std::string xhtml = Write(doc, params, false);
  EXPECT_TRUE(Contains(xhtml, "<body bgcolor=\"#80ff00\" background=\"" + folder +
                                  "img2.bmp\" bgproperties=\"fixed\" leftmargin=\"0\""));
  params.BackgroundStyle = bsTiledAndScrolled;
  const std::string css = Write(doc, params, true);
  EXPECT_TRUE(
      Contains(css, "  background-image: url(\"" + folder +
                        "img3.bmp\");\r\n"
                        "  background-repeat: repeat;\r\n  background-attachment: scroll;\r\n}"));
  params.BackgroundStyle = bsBottomLeft;
  EXPECT_TRUE(Contains(Write(doc, params, true), "  background-position: bottom left;\r\n}"));
}

TEST(HTMLWriter, PictureFilesSkipNamesInUse) {
  const std::string folder = ExtractFilePath(WriteScratchFile("pictures/img4.bmp", "taken"));
  TBitmap picture;
  picture.SetSize(3, 1);
  int counter = 3;
  EXPECT_EQ(SaveImageForHTML(picture, folder, "img", counter, clNone, false, false),
            folder + "img5.bmp");
  EXPECT_EQ(counter, 5);
  TMemoryStream taken;
  taken.LoadFromFile(folder + "img4.bmp");
  EXPECT_EQ(taken.Size(), 5);  // left alone
  // A prefix naming a folder, or an absolute place, is where the picture goes and what the
  // link names.
  WriteScratchFile("pictures/sub/.keep", "");
  EXPECT_EQ(SaveImageForHTML(picture, folder, "sub/img", counter, clNone, false, false),
            folder + "sub/img6.bmp");
  EXPECT_TRUE(FileExists(folder + "sub/img6.bmp"));
  EXPECT_EQ(
      SaveImageForHTML(picture, "/elsewhere/", folder + "sub/pic", counter, clNone, false, false),
      folder + "sub/pic7.bmp");
  EXPECT_TRUE(FileExists(folder + "sub/pic7.bmp"));
  // The application may place a picture itself.
  ExportDocument doc;
  doc.ExportHooks.OnHTMLSaveImage = [](const TGraphic&, const std::string&, std::string& location) {
    location = "mine.png";
    return true;
  };
  TRDHTMLSaveContext context;
  EXPECT_EQ(context.SaveImage(doc, picture, false), "mine.png");
  EXPECT_EQ(context.ImageCounter, 0);
}

TEST(HTMLWriter, StyleNamesCannotEndTheStyleSheet) {
  ExportDocument doc;
  doc.style.TextStyles().Items(kBold).SetStyleName("x */ </style><script>");
  doc.Para("a");
  const std::string html = doc.HTMLEx(rdsoHeadOnly);
  EXPECT_TRUE(Contains(html, "span.rdts1 /* x *_ _/style__script_ */"));
  EXPECT_EQ(html.find("</style>"), html.rfind("</style>"));
}

TEST(HTMLWriter, ApplicationExtrasAndItemText) {
  ExportDocument doc;
  doc.ExportHooks.OnSaveHTMLExtra = [](TRDHTMLSaveArea area, bool css) -> std::string {
    switch (area) {
      case rd_thms_Head:
        return css ? "<!--css-->" : "<!--plain-->";
      case rd_thms_BodyAttribute:
        return "onload=\"f()\"";
      case rd_thms_Body:
        return "<!--body-->";
      case rd_thms_End:
        return "<!--end-->";
    }
    return "";
  };
  doc.ExportHooks.OnSaveItemToFile = [](TCustomRDData*, int itemNo, TRDSaveFormat format, bool,
                                        std::string& out) {
    if (format != rdsfHTML || itemNo != 1) return false;
    out = "<em>own</em>";
    return true;
  };
  doc.Para("a");
  doc.Para("b");
  const std::string plain = doc.HTML();
  EXPECT_TRUE(Contains(plain, "<!--plain--></head><body onload=\"f()\" leftmargin="));
  EXPECT_TRUE(Contains(plain, "bottommargin=0>\r\n<!--body-->"));
  EXPECT_TRUE(Contains(plain, "<div><em>own</em></div>"));
  EXPECT_TRUE(Contains(plain, "<!--end--></body></html>"));
  const std::string css = doc.HTMLEx();
  EXPECT_TRUE(Contains(css, "<!--css--></head>\r\n<body onload=\"f()\">\r\n<!--body-->"));
  EXPECT_TRUE(Contains(css, "\r\n<!--end--></body></html>"));
}

}  // namespace

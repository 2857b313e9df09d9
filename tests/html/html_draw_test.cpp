#include "html/html_draw.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "html/html_text.h"
#include "html/picture_container.h"
#include "platform/sys/child_process.h"
#include "platform/text/streams.h"
#include "support/control_snapshot.h"

namespace {

constexpr TColor kPaper = clWhite;

struct Drawing {
  std::unique_ptr<TBitmap> bitmap = SolidPicture(300, 200, kPaper);
  TCanvas& canvas = bitmap->Canvas();
  THtmlDrawParams params;
  THtmlDrawResult result;
  Drawing() {
    canvas.Font().SetName("DejaVu Sans");
    canvas.Font().SetSize(10);
    canvas.Font().SetColor(clBlack);
  }
  bool Draw(const std::string& text, TRect rect = Rect(0, 0, 300, 200)) {
    return DrawHtmlText(canvas, text, rect, params, result);
  }
  bool Measure(const std::string& text, TRect rect = Rect(0, 0, 300, 200)) {
    params.MeasureOnly = true;
    const bool hit = Draw(text, rect);
    params.MeasureOnly = false;
    return hit;
  }
  int Width(const std::string& text) { return canvas.TextWidth(text); }
  int LineHeight() { return canvas.TextHeight("gh"); }
  // Columns holding any pixel other than the paper in the rows Top..Bottom-1.
  std::pair<int, int> InkColumns(int top, int bottom) {
    int first = -1, last = -1;
    for (int x = 0; x < bitmap->Width(); ++x)
      for (int y = top; y < bottom; ++y)
        if (PixelAt(*bitmap, x, y) != kPaper) {
          if (first < 0) first = x;
          last = x;
          break;
        }
    return {first, last};
  }
};

TEST(DrawHtmlText, EmptyAndPlainTextSizes) {
  Drawing d;
  EXPECT_FALSE(d.Draw(""));
  EXPECT_EQ(d.result.YSize, d.LineHeight());
  EXPECT_EQ(d.result.XSize, 0);
  EXPECT_EQ(d.result.MouseLink, -1);
  d.Draw("Hello world");
  EXPECT_EQ(d.result.XSize, d.Width("Hello world") + 2);
  EXPECT_EQ(d.result.YSize, d.LineHeight());
  d.Measure("one<BR>two<br>three");
  EXPECT_EQ(d.result.YSize, 3 * d.LineHeight());
  EXPECT_EQ(d.result.StripVal, "one\rtwo\rthree");
  // The canvas gets its tools back.
  EXPECT_EQ(d.canvas.Font().Color(), clBlack);
  EXPECT_EQ(d.canvas.Brush().Color(), kPaper);
}

TEST(DrawHtmlText, FontSizesMapOneToFiveAndTakeOthersAsPoints) {
  Drawing d;
  const std::pair<const char*, int> sizes[] = {{"1", 8},  {"2", 10}, {"3", 12}, {"4", 14},
                                               {"5", 16}, {"6", 6},  {"20", 20}};
  for (const auto& [size, points] : sizes) {
    d.Measure(std::string("<FONT size=\"") + size + "\">Xg</FONT>");
    TFont font;
    font.Assign(d.canvas.Font());
    font.SetSize(points);
    TBitmap probe;
    probe.Canvas().Font().Assign(font);
    EXPECT_EQ(d.result.YSize, std::max(probe.Canvas().TextHeight("Xg"), d.LineHeight())) << size;
    EXPECT_EQ(d.result.XSize, probe.Canvas().TextWidth("Xg") + 2) << size;
  }
  // Bold changes the width; the closing tag ends it.
  d.Measure("<B>Wide</B>");
  TBitmap bold;
  bold.Canvas().Font().Assign(d.canvas.Font());
  bold.Canvas().Font().SetStyle(fsBold);
  EXPECT_EQ(d.result.XSize, bold.Canvas().TextWidth("Wide") + 2);
}

TEST(DrawHtmlText, LinksReportTargetNumberAndRectangle) {
  Drawing d;
  const std::string text =
      "go <A href=\"Https://Example.org/X\">here</A> and <a href=\"mail\">there</a>";
  const int start = 1 + d.Width("go ");
  d.params.XPos = start + 3;
  d.params.YPos = d.LineHeight() / 2;
  d.params.HitTestOnly = true;
  EXPECT_TRUE(d.Draw(text));
  EXPECT_EQ(d.result.AnchorVal, "Https://Example.org/X");  // as written
  EXPECT_EQ(d.result.MouseLink, 1);
  EXPECT_EQ(d.result.HyperLinks, 2);
  EXPECT_EQ(d.result.HoverRect, Rect(start, 0, start + d.Width("here"), d.LineHeight()));

  d.params.XPos = 1 + d.Width("go here and ") + 2;
  EXPECT_TRUE(d.Draw(text));
  EXPECT_EQ(d.result.AnchorVal, "mail");
  EXPECT_EQ(d.result.MouseLink, 2);

  // Off the links: nothing found, the out-values that say so are left alone.
  d.result.AnchorVal = "kept";
  d.params.XPos = 2;
  EXPECT_FALSE(d.Draw(text));
  EXPECT_EQ(d.result.AnchorVal, "kept");
  EXPECT_EQ(d.result.MouseLink, -1);

  // The focused link (counted from 0) gives its target.
  d.params.HitTestOnly = false;
  d.params.FocusLink = 1;
  d.Draw(text);
  EXPECT_EQ(d.result.FocusAnchor, "mail");
}

TEST(DrawHtmlText, EntitiesNeverOpenTagsAndDecodeOnce) {
  Drawing d;
  d.Measure("&lt;B&gt;x");
  EXPECT_EQ(d.result.XSize, d.Width("<B>x") + 2);
  // "&amp;" shows one '&' ...
  d.Measure("a&amp;b");
  EXPECT_EQ(d.result.XSize, d.Width("a&b") + 2);
  // ... and what it spells is not decoded again.
  d.Measure("&amp;lt;");
  EXPECT_EQ(d.result.XSize, d.Width("&lt;") + 2);
  // With " & " in the text the ampersands are shown as they are.
  d.Measure("x & y &amp;");
  EXPECT_EQ(d.result.XSize, d.Width("x & y &&") + 2);
}

TEST(DrawHtmlText, WrapsAtBlanksButNotInsideAWordSplitByTags) {
  Drawing d;
  const int room = d.Width("alpha beta gam") + 2;
  d.Measure("alpha beta gamma delta", Rect(0, 0, room, 200));
  EXPECT_EQ(d.result.YSize, 2 * d.LineHeight());
  // The blank at a line's end is not counted.
  EXPECT_EQ(d.result.XSize, std::max(d.Width("alpha beta"), d.Width("gamma delta")) + 2);
  // "bo" + "ld" is one word: it moves to the next line whole.
  d.Measure("alpha <B>bo</B>ld", Rect(0, 0, d.Width("alpha b") + 2, 200));
  EXPECT_EQ(d.result.YSize, 2 * d.LineHeight());
  // A word wider than the whole line keeps a line of its own.
  d.Measure("a incomprehensibilities b", Rect(0, 0, 20, 200));
  EXPECT_EQ(d.result.YSize, 3 * d.LineHeight());
}

TEST(DrawHtmlText, WithoutWordWrapALongLineEndsAtTheEdge) {
  Drawing d;
  d.params.WordWrap = false;
  d.Draw("a very long line of text that does not fit", Rect(0, 0, 80, 40));
  EXPECT_EQ(d.result.YSize, d.LineHeight());
  const auto [first, last] = d.InkColumns(0, 40);
  EXPECT_GE(first, 1);
  EXPECT_LT(last, 80);
}

// Runs of several looks cut at the edge: one "..." ends the line, and nothing is drawn
// past the edge.
TEST(DrawHtmlText, WithoutWordWrapOnlyTheCutRunEndsInDots) {
  Drawing d;
  d.params.WordWrap = false;
  d.Draw("first <B>bold</B> and <I>italic</I> and <U>more</U> text that runs on",
         Rect(0, 0, 100, 40));
  EXPECT_LT(d.InkColumns(0, 40).second, 100);
  // A run that starts where not even "..." fits draws nothing.
  Drawing e;
  e.params.WordWrap = false;
  e.Draw("abcdefgh<B>ijk</B>", Rect(0, 0, e.Width("abcdefgh") + 3, 40));
  EXPECT_LT(e.InkColumns(0, 40).second, e.Width("abcdefgh") + 3);
}

namespace {

int CountColour(TBitmap& Bitmap, TColor Colour, int Right = 300) {
  int n = 0;
  for (int x = 0; x < Right; ++x)
    for (int y = 0; y < 40; ++y) n += PixelAt(Bitmap, x, y) == Colour;
  return n;
}

}  // namespace

// HI, a FONT background and the hovered link's colour sit behind their text only.
TEST(DrawHtmlText, TextBackgroundsArePaintedBehindTheirRuns) {
  const TColor highlight = ColorToRGB(clHighlight);
  Drawing hi;
  hi.Draw("plain <HI>marked</HI> plain");
  const int h = hi.canvas.TextHeight("marked");
  EXPECT_GT(CountColour(*hi.bitmap, highlight), hi.Width("marked") * h / 2);
  const int start = 1 + hi.Width("plain ");
  EXPECT_NE(PixelAt(*hi.bitmap, start + 1, h - 2), kPaper);
  EXPECT_EQ(PixelAt(*hi.bitmap, start - 3, h - 2), kPaper);
  EXPECT_EQ(PixelAt(*hi.bitmap, start + hi.Width("marked") + 3, h - 2), kPaper);

  Drawing font;
  font.Draw("<FONT bgcolor=\"#00FF00\">green</FONT> after");
  const int green = CountColour(*font.bitmap, clLime);
  EXPECT_GT(green, font.Width("green") * h / 2);
  EXPECT_LE(green, (font.Width("green") + 1) * (h + 1));
  // Selected text keeps the caller's colours, but HI still marks.
  Drawing selected;
  selected.params.Selected = true;
  selected.Draw("<FONT bgcolor=\"#00FF00\">green</FONT><HI>hi</HI>");
  EXPECT_EQ(CountColour(*selected.bitmap, clLime), 0);
  EXPECT_GT(CountColour(*selected.bitmap, highlight), 0);

  Drawing link;
  link.params.HoverColor = clYellow;
  link.params.HoverOnly = true;
  link.params.HoverLink = 2;
  link.Draw("<A href=\"a\">one</A> <A href=\"b\">two</A>");
  const int yellow = CountColour(*link.bitmap, clYellow);
  EXPECT_GT(yellow, link.Width("two") * h / 2);
  EXPECT_EQ(CountColour(*link.bitmap, clYellow, 1 + link.Width("one ")), 0);
}

// Text on a gradient background shows the gradient behind it, on every line of the
// paragraph: no box of the gradient's last colour, which is blue here, on the red side.
TEST(DrawHtmlText, TextOnAGradientShowsTheGradientBehindIt) {
  auto blueOnTheLeft = [](Drawing& d, int bottom) {
    int blue = 0;
    for (int x = 0; x < 40; ++x) {
      for (int y = 0; y < bottom; ++y) {
        const TColor c = PixelAt(*d.bitmap, x, y);
        blue += GetBValue(c) > GetRValue(c) + 64;
      }
    }
    return blue;
  };
  Drawing para;
  para.Draw("<P bgcolor=\"#FF0000\" bgcolorto=\"#0000FF\">many words on many lines</P>after",
            Rect(0, 0, 120, 200));
  const int h = para.LineHeight();
  EXPECT_EQ(blueOnTheLeft(para, 2 * h), 0);
  EXPECT_NE(PixelAt(*para.bitmap, 1, h + 1), kPaper);        // the second line has it too
  EXPECT_EQ(PixelAt(*para.bitmap, 110, 4 * h - 2), kPaper);  // after the paragraph: none
  Drawing body;
  body.Draw("<BODY bgcolor=\"#FF0000\" bgcolorto=\"#0000FF\">words on it</BODY>");
  EXPECT_EQ(blueOnTheLeft(body, h), 0);
}

TEST(DrawHtmlText, ListsIndentByLevelAndEveryItemStartsALine) {
  Drawing d;
  d.Measure("<UL><LI>a<LI>b</UL>");
  EXPECT_EQ(d.result.YSize, 3 * d.LineHeight());  // the list line and two items
  EXPECT_EQ(d.result.XSize, 12 + d.Width("a") + 2);
  d.Measure("<UL><UL><LI>deep</UL></UL>");
  EXPECT_EQ(d.result.XSize, 24 + d.Width("deep") + 2);
}

TEST(DrawHtmlText, HiddenTextIsStrippedButNotShown) {
  Drawing d;
  d.Measure("<Z>secret</Z>shown");
  EXPECT_EQ(d.result.XSize, d.Width("shown") + 2);
  EXPECT_EQ(d.result.StripVal, "secretshown");
}

TEST(DrawHtmlText, CentredParagraphsStayCentredAfterTheirEnd) {
  Drawing d;
  d.Draw("<P align=\"center\">mid</P>next", Rect(0, 0, 200, 100));
  const int h = d.LineHeight();
  const auto [first1, last1] = d.InkColumns(0, h);
  const auto [first2, last2] = d.InkColumns(h, 2 * h);
  EXPECT_NEAR((first1 + last1) / 2, 100, 4);
  EXPECT_NEAR((first2 + last2) / 2, 100, 4);
}

TEST(DrawHtmlText, SelectedTextKeepsTheCallersColours) {
  Drawing d;
  d.Draw("<FONT color=\"#FF0000\">red</FONT>");
  EXPECT_NE(d.InkColumns(0, 20).first, -1);
  bool red = false;
  for (int x = 0; x < 40; ++x)
    for (int y = 0; y < 20; ++y) red = red || PixelAt(*d.bitmap, x, y) == clRed;
  EXPECT_TRUE(red);
  Drawing s;
  s.params.Selected = true;
  s.Draw("<FONT color=\"#FF0000\">red</FONT>");
  for (int x = 0; x < 40; ++x)
    for (int y = 0; y < 20; ++y) ASSERT_NE(PixelAt(*s.bitmap, x, y), clRed);
}

TEST(DrawHtmlText, DrawingStopsAtTheBottomButMeasuringGoesOn) {
  Drawing d;
  const std::string text = "1<BR>2<BR>3<BR>4<BR>5";
  d.Measure(text, Rect(0, 0, 100, 2 * d.LineHeight()));
  EXPECT_EQ(d.result.YSize, 5 * d.LineHeight());
  d.Draw(text, Rect(0, 0, 100, 2 * d.LineHeight()));
  EXPECT_EQ(d.result.YSize, 2 * d.LineHeight());
}

// A container with one red 10 x 8 picture named "Pic".
struct Pictures {
  TPictureContainer container;
  Pictures() {
    TPictureItem& item = container.Items().Add();
    item.Name = "Pic";
    auto red = SolidPicture(10, 8, clRed);
    TMemoryStream stream;
    red->SaveToStream(stream);
    stream.SetPosition(0);
    item.Picture.LoadFromStream(stream);
  }
};

TEST(DrawHtmlText, ImagesTakeTheRoomTheyAreDrawnIn) {
  Drawing d;
  Pictures pictures;
  d.params.PictureContainer = &pictures.container;
  d.Draw("<IMG src=\"PIC\">");
  EXPECT_EQ(d.result.XSize, 10 + 2);
  EXPECT_EQ(d.result.YSize, std::max(8, d.LineHeight()));
  EXPECT_EQ(PixelAt(*d.bitmap, 1, 0), clRed);
  EXPECT_EQ(PixelAt(*d.bitmap, 10, 7), clRed);
  EXPECT_EQ(PixelAt(*d.bitmap, 11, 0), kPaper);

  Drawing sized;
  sized.params.PictureContainer = &pictures.container;
  sized.Draw("<IMG src=\"pic\" width=\"30\" height=\"25\">");
  EXPECT_EQ(sized.result.XSize, 30 + 2);
  EXPECT_EQ(sized.result.YSize, 25);
  EXPECT_EQ(PixelAt(*sized.bitmap, 30, 24), clRed);
  EXPECT_EQ(PixelAt(*sized.bitmap, 31, 10), kPaper);
  EXPECT_EQ(PixelAt(*sized.bitmap, 10, 25), kPaper);
  // A size beyond any screen is bounded where it is read.
  Drawing huge;
  huge.params.PictureContainer = &pictures.container;
  huge.Draw("<IMG src=\"pic\" width=\"30000000\" height=\"25\">");
  EXPECT_EQ(huge.result.XSize, kMaxHtmlIntValue + 2);

  // An image that does not fit behind the text moves to the next line.
  Drawing wrapped;
  wrapped.params.PictureContainer = &pictures.container;
  const int room = wrapped.Width("text") + 6;
  wrapped.Measure("text<IMG src=\"Pic\">", Rect(0, 0, room, 200));
  EXPECT_EQ(wrapped.result.YSize, wrapped.LineHeight() + std::max(8, wrapped.LineHeight()));

  // A missing picture takes no room.
  Drawing missing;
  missing.Measure("<IMG src=\"nothing\">x");
  EXPECT_EQ(missing.result.XSize, missing.Width("x") + 2);
}

TEST(DrawHtmlText, ALinkedImageUnderTheMouseShowsItsAltPicture) {
  Pictures pictures;
  TPictureItem& blue = pictures.container.Items().Add();
  blue.Name = "Over";
  auto picture = SolidPicture(10, 8, clBlue);
  TMemoryStream stream;
  picture->SaveToStream(stream);
  stream.SetPosition(0);
  blue.Picture.LoadFromStream(stream);
  const std::string text = "<A href=\"x\"><IMG src=\"Pic\" alt=\"Over\"></A>";
  Drawing away;
  away.params.PictureContainer = &pictures.container;
  away.params.XPos = 200;
  away.Draw(text);
  EXPECT_EQ(PixelAt(*away.bitmap, 3, 3), clRed);
  Drawing over;
  over.params.PictureContainer = &pictures.container;
  over.params.XPos = 3;
  over.params.YPos = 3;
  EXPECT_TRUE(over.Draw(text));
  EXPECT_EQ(PixelAt(*over.bitmap, 3, 3), clBlue);
}

TEST(DrawHtmlText, CachedSourcesKeepTheirCaseAndLinkedImagesHit) {
  const auto folder = std::filesystem::temp_directory_path() / "velmora_html_Case";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "Red.BMP").string();
  SolidPicture(6, 5, clRed)->SaveToFile(path);
  SetPictureFolders({folder.string()});
  Drawing d;
  THTMLPictureCache cache;
  d.params.PictureCache = &cache;
  d.params.HitTestOnly = true;
  d.params.XPos = 3;
  d.params.YPos = 2;
  EXPECT_TRUE(d.Draw("<A href=\"pic\"><IMG src=\"FILE://" + path + "\"></A>"));
  EXPECT_EQ(d.result.AnchorVal, "pic");
  EXPECT_EQ(d.result.XSize, 6 + 2);
  ASSERT_EQ(cache.Count(), 1);
  EXPECT_FALSE(cache.FindPicture("FILE://" + path)->IsEmpty());
  SetPictureFolders({});
  std::filesystem::remove_all(folder);
}

// Markup may come from outside: a picture it names is read only when it is a plain file
// in one of our picture folders. A pipe there would block the painting for good.
TEST(DrawHtmlText, FilePicturesComeOnlyFromThePictureFolders) {
  namespace fs = std::filesystem;
  const fs::path base = fs::temp_directory_path() / "velmora_html_folders";
  fs::remove_all(base);
  fs::create_directories(base / "own" / "sub");
  fs::create_directories(base / "other");
  SolidPicture(6, 5, clRed)->SaveToFile((base / "own" / "sub" / "in.bmp").string());
  SolidPicture(6, 5, clRed)->SaveToFile((base / "other" / "out.bmp").string());
  fs::create_symlink(base / "other" / "out.bmp", base / "own" / "link.bmp");
  int made = -1;
  RunAndCapture("mkfifo '" + (base / "own" / "pipe.bmp").string() + "'", &made);
  ASSERT_EQ(made, 0);
  SetPictureFolders({(base / "own").string()});
  const auto loads = [](const fs::path& file) {
    Drawing d;
    THTMLPictureCache cache;
    d.params.PictureCache = &cache;
    d.Draw("<IMG src=\"FILE://" + file.string() + "\">");
    return !cache.FindPicture("FILE://" + file.string())->IsEmpty();
  };
  EXPECT_TRUE(loads(base / "own" / "sub" / "in.bmp"));
  EXPECT_FALSE(loads(base / "other" / "out.bmp"));
  EXPECT_FALSE(loads(base / "own" / ".." / "other" / "out.bmp"));
  EXPECT_FALSE(loads(base / "own" / "link.bmp"));
  EXPECT_FALSE(loads(base / "own" / "pipe.bmp"));
  SetPictureFolders({});
  EXPECT_FALSE(loads(base / "own" / "sub" / "in.bmp"));
  fs::remove_all(base);
}

}  // namespace

namespace {

TEST(DrawHtmlText, RotatedTextRunsUpwards) {
  Drawing d;
  d.Draw("<R a=\"90\">WWWWWW</R>", Rect(0, 100, 300, 200));
  int top = 200, bottom = -1, left = 300, right = -1;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x)
      if (PixelAt(*d.bitmap, x, y) != kPaper) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        left = std::min(left, x);
        right = std::max(right, x);
      }
  ASSERT_GE(bottom, 0);
  EXPECT_GT(bottom - top, 2 * (right - left));
}

TEST(DrawHtmlText, FileIconsTakeTheirSizeAndIconNumbersNone) {
  Drawing d;
  d.Measure("<IMG src=\"SSYS:readme.txt\">");
  EXPECT_EQ(d.result.XSize, 16 + 2);
  d.Measure("<IMG src=\"LSYS:readme.txt\">");
  EXPECT_EQ(d.result.XSize, 32 + 2);
  // A number named an icon of a system list elsewhere; here it names nothing.
  d.Measure("<IMG src=\"SSYS:12\">x");
  EXPECT_EQ(d.result.XSize, d.Width("x") + 2);
}

}  // namespace

// The tags that move or mark text, each drawn alone on fresh paper: how much wider than
// the plain text it measures, whether its line is taller, and where its ink starts (-1:
// none). Blinking text in its off phase is not painted where there is no background.
TEST(DrawHtmlText, TagsThatMoveOrMarkText) {
  struct TCase {
    const char* markup;
    bool blink_on;
    int wider;
    bool taller;
    int ink_left;
  };
  const TCase cases[] = {
      {"ab", false, 0, false, 2},
      {"<IND x=\"50\">ab", false, 50, false, 52},
      {"<OFS x=\"40\">ab", false, 40, false, 42},
      {"<BLINK>ab</BLINK>", false, 0, false, -1},
      {"<BLINK>ab</BLINK>", true, 0, false, 2},
      {"<SHAD>ab</SHAD>", false, 0, false, 2},
      {"<SUB>ab</SUB>", false, 0, true, 2},
      {"<SUP>ab</SUP>", false, 0, true, 2},
      {"ab<HR>", false, 0, false, 1},
  };
  Drawing plain;
  plain.Draw("ab");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.markup);
    Drawing d;
    d.canvas.Brush().SetStyle(bsClear);
    d.params.Blink = c.blink_on;
    d.Draw(c.markup);
    EXPECT_EQ(d.result.XSize - plain.result.XSize, c.wider);
    EXPECT_EQ(d.result.YSize > plain.result.YSize, c.taller);
    EXPECT_EQ(d.InkColumns(0, 200).first, c.ink_left);
  }
}

// The viewer control on the offscreen platform: scroll units and their clamping, the
// wheel, the step limit, following the end with the tail format, selection by mouse and
// double click, painting through the double buffer, and the animators.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/application.h"
#include "platform/sys/files.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/rd_layout_info.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rd_animate.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "support/control_snapshot.h"
#include "support/scratch_files.h"

namespace {

struct Viewer {
  Viewer(int width = 200, int height = 100) : doc(nullptr) {
    doc.SetStyle(&style);
    doc.Name = "rdTest";
    doc.SetBounds(0, 0, width, height);
    doc.SetBorderStyle(bsNone);
  }
  void Lines(int n) {
    for (int i = 0; i < n; ++i) doc.AddTextParagraph("line " + std::to_string(i), 0, 0);
  }
  TRDStyle style;
  TRichDoc doc;
};

TEST(ViewerDefaults, AsCreated) {
  Viewer v;
  EXPECT_EQ(v.doc.Width(), 200);
  EXPECT_EQ(v.doc.Options, TCustomRichDoc::kDefaultOptions);
  // Pictures and controls bodies, binary, document properties saved and loaded.
  EXPECT_EQ(v.doc.RDFOptions, 0xC043u);
  EXPECT_EQ(v.doc.LeftMargin, 5);
  EXPECT_EQ(v.doc.Delimiters.size(), 27u);
  EXPECT_EQ(v.doc.WheelStep, 2);
  EXPECT_EQ(v.doc.VSmallStep(), 10);
  EXPECT_EQ(v.doc.Color(), clNone);
  EXPECT_EQ(v.doc.BackgroundColor(), v.style.Color);
}

std::string FileText(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

// The viewer saves its own document in every form, with its own background colour.
TEST(ViewerSaving, TextRTFAndHTMLFiles) {
  Viewer v;
  v.doc.SetColor(0x123456);
  v.doc.AddTextParagraph("caf\xE9", 0, 0);
  v.doc.AddTextParagraph("end", 0, 0);
  v.doc.FormatDocument();
  const std::string folder = ScratchFolder() + "/viewer_saving/";
  ForceDirectories(folder);
  ASSERT_TRUE(v.doc.SaveText(folder + "a.txt", 80));
  EXPECT_EQ(FileText(folder + "a.txt"), "caf\xE9\r\nend");
  ASSERT_TRUE(v.doc.SaveTextW(folder + "w.txt", 80));
  EXPECT_EQ(FileText(folder + "w.txt"), std::string("\xFF\xFE"
                                                    "c\0a\0f\0\xE9\0\r\0\n\0e\0n\0d\0",
                                                    20));
  ASSERT_TRUE(v.doc.SaveTextUTF8(folder + "u.txt", 80));
  EXPECT_EQ(FileText(folder + "u.txt"), "caf\xC3\xA9\r\nend");
  ASSERT_TRUE(v.doc.SaveRTF(folder + "d.rtf", false));
  const std::string rtf = FileText(folder + "d.rtf");
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("\\red86\\green52\\blue18;"), std::string::npos) << rtf;
  ASSERT_TRUE(v.doc.SaveHTML(folder + "d.html", "Title", "img", 0));
  EXPECT_NE(FileText(folder + "d.html").find("bgcolor=#563412"), std::string::npos);
  ASSERT_TRUE(v.doc.SaveHTMLEx(folder + "x.html", "Title", "img", rdsoXHTML));
  EXPECT_NE(FileText(folder + "x.html").find("<title>Title</title>"), std::string::npos);
  // Without a style sheet nothing is written and the old file stays.
  v.doc.SetStyle(nullptr);
  EXPECT_FALSE(v.doc.SaveRTF(folder + "d.rtf", false));
  EXPECT_EQ(FileText(folder + "d.rtf"), rtf);
}

// The viewer's own RDF carries its colour, layout and document properties beside the
// items; a viewer loading it takes those its options let in.
TEST(ViewerSaving, RDFCarriesColourLayoutAndDocumentProperties) {
  Viewer saving;
  saving.doc.AddTextParagraph("kept", 0, 0);
  saving.doc.SetColor(clYellow);
  saving.doc.LeftMargin = 17;
  saving.doc.MaxTextWidth = 300;
  saving.doc.DocProperties = {"Author=DL1ABC", "Two\r\nlines"};
  saving.doc.RDFOptions |= rdfoSaveBack | rdfoSaveLayout;
  TMemoryStream stream;
  ASSERT_TRUE(saving.doc.SaveRDFToStream(stream, false));

  Viewer loading;
  loading.doc.RDFOptions |= rdfoLoadBack | rdfoLoadLayout;
  stream.SetPosition(0);
  ASSERT_TRUE(loading.doc.LoadRDFFromStream(stream));
  EXPECT_EQ(loading.doc.ItemCount(), 1);
  EXPECT_EQ(loading.doc.ReadItemText(0), "kept");
  EXPECT_EQ(loading.doc.Color(), clYellow);
  EXPECT_EQ(loading.doc.LeftMargin, 17);
  EXPECT_EQ(loading.doc.MaxTextWidth, 300);
  EXPECT_EQ(loading.doc.DocProperties, saving.doc.DocProperties);

  Viewer plain;  // the default options load the properties only
  stream.SetPosition(0);
  ASSERT_TRUE(plain.doc.LoadRDFFromStream(stream));
  EXPECT_EQ(plain.doc.Color(), clNone);
  EXPECT_EQ(plain.doc.LeftMargin, 5);
  EXPECT_EQ(plain.doc.DocProperties, saving.doc.DocProperties);
}

TEST(ViewerScrolling, AShortDocumentCannotBeScrolled) {
  Viewer v;
  v.Lines(2);
  v.doc.FormatDocument();
  EXPECT_EQ(v.doc.GetVScrollMax(), 0);
  int scrolled = 0;
  v.doc.OnVScrolled = [&](TComponent*) { ++scrolled; };
  v.doc.SetVScrollPos(5);
  EXPECT_EQ(v.doc.VScrollPos(), 0);
  EXPECT_EQ(scrolled, 0);
  // Kept, the bar takes its room even with nothing to scroll, also after a scroll.
  const int wide = v.doc.DocClientWidth();
  v.doc.KeepVScrollBar = true;
  v.doc.FormatDocument();
  v.doc.SetVScrollPos(1);
  EXPECT_LT(v.doc.DocClientWidth(), wide);
  EXPECT_EQ(v.doc.VScrollPos(), 0);
}

TEST(ViewerScrolling, PositionsCountStepsAndClampAtTheEnd) {
  Viewer v;
  v.Lines(40);
  v.doc.FormatDocument();
  const int steps = (v.doc.GetDocumentHeight() + 9) / 10;
  EXPECT_EQ(v.doc.ScrollHeight(), steps);
  EXPECT_EQ(v.doc.GetVScrollMax(), steps - v.doc.DocClientHeight() / 10);
  int scrolled = 0;
  v.doc.OnVScrolled = [&](TComponent*) { ++scrolled; };
  v.doc.SetVScrollPos(100000);
  EXPECT_EQ(v.doc.VScrollPos(), v.doc.GetVScrollMax());
  EXPECT_EQ(scrolled, 1);
  v.doc.SetVScrollPos(v.doc.VScrollPos());
  EXPECT_EQ(scrolled, 1);
  TKeyCode home = VK_HOME;
  SimulateKey(v.doc, home);
  EXPECT_EQ(v.doc.VScrollPos(), 0);
  SimulateKey(v.doc, VK_DOWN);
  EXPECT_EQ(v.doc.VScrollPos(), 1);
}

TEST(ViewerScrolling, OneWheelNotchMovesTwoSteps) {
  Viewer v;
  v.Lines(40);
  v.doc.FormatDocument();
  EXPECT_TRUE(v.doc.WheelNotches(-1));  // towards the user: down
  EXPECT_EQ(v.doc.VScrollPos(), 2 * TControlScrollBars::WheelScrollLines() / 3);
  v.doc.WheelStep = 0;
  EXPECT_FALSE(v.doc.WheelNotches(-1));
}

TEST(ViewerScrolling, StepsAreNeverBelowOneAndKeepTheRangeReachable) {
  Viewer v;
  v.doc.SetVSmallStep(0);
  EXPECT_EQ(v.doc.VSmallStep(), 1);
  v.doc.RDData().DocumentHeight = 400000;
  v.doc.TRDScroller::SetVSmallStep(10);
  v.doc.RDData().AdjustVScrollUnits();
  EXPECT_EQ(v.doc.VSmallStep(), 13);
  v.doc.RDData().DocumentHeight = 1000;
  v.doc.RDData().AdjustVScrollUnits();
  EXPECT_EQ(v.doc.VSmallStep(), 10);
  v.doc.RDData().DocumentHeight = 400000;
  v.doc.SetVSmallStep(10);  // refused: 40000 steps
  EXPECT_EQ(v.doc.VSmallStep(), 10);
  // A document at the layout's height bound, in a view far shorter than 1/32000 of it:
  // the last position shows its end.
  const int tall = 1 << 29;
  v.doc.RDData().DocumentHeight = tall;
  v.doc.RDData().AdjustVScrollUnits();
  v.doc.RDData().SetDocumentAreaSize(v.doc.DocClientWidth(), tall, false);
  v.doc.ScrollTo(v.doc.GetVScrollMax(), false);
  const int shownTo = v.doc.VScrollPos() * v.doc.VSmallStep() + v.doc.DocClientHeight();
  EXPECT_GE(shownTo, tall);
  EXPECT_LT(shownTo - v.doc.DocClientHeight(), tall);
}

// A view made only shorter lays nothing out again, yet takes a step no taller than itself:
// with the step of the taller view the last position stood above the end, which never
// showed.
TEST(ViewerScrolling, TheEndOfATallDocumentShowsAfterTheViewIsMadeShorter) {
  Viewer v(200, 620);
  for (int i = 0; i < 1000; ++i) {
    auto picture = TRDGraphicItemInfo::CreateWithGraphic(&v.doc.RDData(), SolidPicture(4, 4, clRed),
                                                         rdvaBaseline);
    ReadRDFExtraProperty(*picture, "height=20000");
    v.doc.RDData().AddItemAtEnd("", std::move(picture));
  }
  v.doc.FormatDocument();
  ASSERT_GT(v.doc.VSmallStep(), 200);
  v.doc.SetBounds(0, 0, 200, 120);
  EXPECT_LE(v.doc.VSmallStep(), v.doc.DocClientHeight());
  v.doc.ScrollTo(v.doc.GetVScrollMax(), false);
  const int shownTo = v.doc.VScrollPos() * v.doc.VSmallStep() + v.doc.DocClientHeight();
  EXPECT_GE(shownTo, v.doc.GetDocumentHeight());
}

TEST(ViewerScrolling, TheTailFormatFollowsTheEnd) {
  Viewer v;
  v.Lines(5);
  v.doc.FormatTail();
  for (int i = 0; i < 30; ++i) {
    v.doc.AddTextParagraph("more", 0, 0);
    v.doc.FormatTail();
    EXPECT_EQ(v.doc.VScrollPos(), v.doc.GetVScrollMax());
  }
  EXPECT_GT(v.doc.GetVScrollMax(), 0);
  // Away from the end the view stays where the user put it.
  v.doc.Options &= ~rdoScrollToEnd;
  v.doc.SetVScrollPos(1);
  v.doc.AddTextParagraph("more", 0, 0);
  v.doc.FormatTail();
  EXPECT_EQ(v.doc.VScrollPos(), 1);
}

// Deleting leading paragraphs keeps the layout of the rest; the format afterwards only
// has the scroll range follow. It must leave the view as a tail format does, also when
// the deletion takes the bar away or cuts a paragraph.
TEST(ViewerScrolling, AFormatAfterDeletionEndsAsATailFormat) {
  struct TCase {
    int lines, first, count;
    bool at_end;
  };
  for (const TCase c : {TCase{40, 0, 3, true}, TCase{40, 0, 5, false}, TCase{12, 0, 8, true},
                        TCase{40, 2, 4, true}}) {
    Viewer kept(200, 100);
    Viewer whole(200, 100);
    for (Viewer* v : {&kept, &whole}) {
      v->Lines(c.lines);
      v->doc.FormatTail();
      if (!c.at_end) v->doc.SetVScrollPos(4);
      // One paragraph continued by a second item: a cut inside it lays out everything.
      v->doc.AddTextContinued(" tail", 0);
      v->doc.FormatTail();
      v->doc.DeleteItemRange(c.first, c.count);
    }
    kept.doc.FormatAfterDeletion();
    whole.doc.FormatTail();
    const TCustomRDFormattedData& a = kept.doc.RDData();
    const TCustomRDFormattedData& b = whole.doc.RDData();
    SCOPED_TRACE(c.lines * 100 + c.count);
    EXPECT_EQ(kept.doc.ItemCount(), whole.doc.ItemCount());
    EXPECT_EQ(a.DocumentHeight, b.DocumentHeight);
    EXPECT_EQ(kept.doc.VScrollPos(), whole.doc.VScrollPos());
    EXPECT_EQ(kept.doc.GetVScrollMax(), whole.doc.GetVScrollMax());
    EXPECT_EQ(kept.doc.VScrollVisible(), whole.doc.VScrollVisible());
    ASSERT_EQ(a.DrawItems.Count(), b.DrawItems.Count());
    for (int d = 0; d < a.DrawItems.Count(); ++d) {
      EXPECT_EQ(a.DrawItems[d]->Top, b.DrawItems[d]->Top);
      EXPECT_EQ(a.DrawItems[d]->ItemNo, b.DrawItems[d]->ItemNo);
      EXPECT_EQ(a.DrawItems[d]->Width, b.DrawItems[d]->Width);
    }
  }
}

TEST(ViewerScrolling, ALongDocumentGetsTheBarAndNarrowerLines) {
  Viewer v(200, 60);
  v.Lines(2);
  v.doc.FormatDocument();
  const int wide = v.doc.RDData().TextWidth;
  v.Lines(20);
  v.doc.FormatDocument();
  EXPECT_LT(v.doc.RDData().TextWidth, wide);
  EXPECT_EQ(v.doc.DocClientWidth(), v.doc.RDData().GetWidth());
}

TEST(ViewerSelection, DraggingSelectsAndDoubleClickSelectsAWord) {
  Viewer v(300, 100);
  v.doc.AddTextParagraph("hello brave world", 0, 0);
  v.doc.FormatDocument();
  SimulateMouseDown(v.doc, mbLeft, 6, 8);
  SimulateMouseMove(v.doc, 40, 8, ssLeft);
  SimulateMouseUp(v.doc, mbLeft, 40, 8);
  EXPECT_TRUE(v.doc.HasSelection());
  SimulateDblClick(v.doc, 60, 8);
  int s, so, e, eo;
  v.doc.GetSelectionRange(s, so, e, eo, true);
  EXPECT_EQ(s, 0);
  const std::string text = v.doc.ReadItemText(0);
  EXPECT_EQ(text.substr(size_t(so - 1), size_t(eo - so)), "brave");
  v.doc.Options &= ~rdoAllowSelection;
  v.doc.Deselect();
  SimulateMouseDown(v.doc, mbLeft, 6, 8);
  SimulateMouseMove(v.doc, 40, 8, ssLeft);
  SimulateMouseUp(v.doc, mbLeft, 40, 8);
  EXPECT_FALSE(v.doc.HasSelection());
}

// The viewer is selected and read by linear character positions, a paragraph's end
// counting one.
TEST(ViewerSelection, LinearPositionsSelectAndReadTheText) {
  Viewer v(300, 100);
  v.doc.AddTextParagraph("ab", 0, 0);
  v.doc.AddTextParagraph("cd", 0, 0);
  v.doc.FormatDocument();
  EXPECT_EQ(v.doc.GetTextRange(0, -1), WideStringToRawUnicode(u"ab\rcd"));
  EXPECT_EQ(v.doc.GetTextRange(1, 3), WideStringToRawUnicode(u"b\r"));
  v.doc.SetLinearSelection(4, 1);
  int start = -1, end = -1;
  v.doc.GetLinearSelection(start, end);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 4);
  EXPECT_EQ(v.doc.GetSelText(), "b\r\nc");
}

TEST(ViewerPainting, TheDocumentIsPaintedInItsStyles) {
  Viewer v;
  v.style.TextStyles()[0].Color = clRed;
  v.style.TextStyles()[0].Size = 14;
  v.style.Color = clWhite;
  v.doc.AddTextParagraph("MMMMMMMM", 0, 0);
  v.doc.FormatDocument();
  auto shot = Snapshot(v.doc);
  int red = 0, white = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x) {
      const TColor c = PixelAt(*shot, x, y);
      red += c == ColorToRGB(clRed);
      white += c == ColorToRGB(clWhite);
    }
  EXPECT_GT(red, 20);
  EXPECT_GT(white, 500);
  v.doc.SelectAll();
  v.style.InactiveSelColor = clBlue;
  auto selected = Snapshot(v.doc);
  EXPECT_EQ(PixelAt(*selected, 6, 6), ColorToRGB(clBlue));
}

// A viewer whose background covers its document area has the window system fill nothing
// first; the face around the document (the frame's inner ring, the corner between the
// scroll bars) still shows what the system filled, also on the paint after the
// background stopped covering and the one after it covered again.
TEST(ViewerPainting, TheFaceAroundTheDocumentLooksAsTheSystemFilledIt) {
  Viewer v;
  v.doc.SetBorderStyle(bsSingle);
  v.doc.MinTextWidth = 400;
  v.style.Color = clWhite;
  v.Lines(30);
  v.doc.FormatDocument();
  const TRect area = v.doc.DocumentRect();
  ASSERT_LT(area.Right, v.doc.Width() - 2);
  ASSERT_LT(area.Bottom, v.doc.Height() - 2);
  for (const TColor background : {clWhite, clNone, clWhite}) {
    SCOPED_TRACE(background);
    v.style.Color = background;
    const TColor unpainted = 0x123456;
    auto first = Snapshot(v.doc, unpainted);
    auto second = Snapshot(v.doc, unpainted);
    for (int y = 0; y < v.doc.Height(); ++y)
      for (int x = 0; x < v.doc.Width(); ++x) {
        ASSERT_NE(PixelAt(*first, x, y), unpainted) << x << "," << y;
        ASSERT_EQ(PixelAt(*second, x, y), PixelAt(*first, x, y)) << x << "," << y;
      }
  }
}

// A style's character scale condenses or expands its characters as word processors do,
// in the layout as on the screen: the same text is measured against itself at 100 %,
// never in pixels, so that it holds with any font.
TEST(ViewerPainting, CharacterScaleNarrowsAndWidensTheText) {
  struct TShown {
    double width, ink;
  };
  const auto shown = [](int scale) {
    Viewer v(600, 60);
    v.style.Color = clWhite;
    v.style.TextStyles()[0].Color = clBlack;
    v.style.TextStyles()[0].Size = 20;
    v.style.TextStyles()[0].CharScale = scale;
    v.doc.AddTextParagraph("mmmmmmmm", 0, 0);
    v.doc.FormatDocument();
    const TRDDrawLineInfo& line = *v.doc.RDData().DrawItems[0];
    auto shot = Snapshot(v.doc);
    int right = line.Left;
    for (int y = 0; y < shot->Height(); ++y)
      for (int x = line.Left; x < shot->Width(); ++x)
        if (PixelAt(*shot, x, y) == ColorToRGB(clBlack)) right = std::max(right, x + 1);
    return TShown{double(line.Width), double(right - line.Left)};
  };
  const TShown plain = shown(100), wide = shown(200), narrow = shown(50);
  ASSERT_GT(plain.ink, 0);
  EXPECT_GE(wide.width, 1.7 * plain.width);
  EXPECT_GE(wide.ink, 1.7 * plain.ink);
  EXPECT_LE(narrow.width, 0.65 * plain.width);
  EXPECT_LE(narrow.ink, 0.65 * plain.ink);
}

TEST(ViewerPainting, ClearedDocumentShowsOnlyTheBackground) {
  Viewer v;
  v.style.Color = clWhite;
  v.Lines(3);
  v.doc.FormatDocument();
  v.doc.ClearDocument();
  v.doc.FormatDocument();
  auto shot = Snapshot(v.doc);
  for (int y = 0; y < 100; y += 7)
    for (int x = 0; x < 180; x += 7) ASSERT_EQ(PixelAt(*shot, x, y), ColorToRGB(clWhite));
  EXPECT_EQ(v.doc.GetDocumentHeight(), 10);
}

// A picture item of four 16 x 16 frames in a row.
class TStripItem : public TRDTextItemInfo, public TRDAnimatedPicture {
 public:
  explicit TStripItem(int interval) : TRDTextItemInfo(nullptr), interval_(interval) {
    bitmap_.SetSize(64, 16);
  }
  const TBitmap* AnimationBitmap() const override { return &bitmap_; }
  int FrameWidth() const override { return 16; }
  int FrameHeight() const override { return 16; }
  int FrameInterval() const override { return interval_; }

 private:
  TBitmap bitmap_;
  int interval_;
};

TEST(Animation, FramesCycleOnTheTimersTicks) {
  TRDAnimatorList list;
  TStripItem item(10);
  RDMakeAnimator(item, nullptr, list);
  ASSERT_EQ(list.Count(), 1);
  auto& animator = static_cast<TRDBitmapAnimator&>(*list.Items(0));
  EXPECT_EQ(animator.GetFrameCount(), 4);
  EXPECT_EQ(list.MinInterval, 100);
  int painted = 0;
  for (int tick = 1; tick <= 4; ++tick) {
    list.Tick([](const TRDAnimator&) { return true; }, [&](const TRDAnimator&) { ++painted; });
    EXPECT_EQ(animator.FrameIndex, tick % 4);
  }
  EXPECT_EQ(painted, 4);
}

TEST(Animation, OneFrameGetsNoAnimatorAndTheShortestIntervalWins) {
  TRDAnimatorList list;
  class TOneFrame : public TStripItem {
   public:
    TOneFrame() : TStripItem(10) {}
    int FrameWidth() const override { return 64; }
  } single;
  RDMakeAnimator(single, nullptr, list);
  EXPECT_EQ(list.Count(), 0);
  TStripItem fast(10), slow(25);
  RDMakeAnimator(fast, nullptr, list);
  RDMakeAnimator(slow, nullptr, list);
  EXPECT_EQ(list.MinInterval, 100);
  list.Tick([](const TRDAnimator&) { return false; }, [](const TRDAnimator&) {});
  EXPECT_EQ(list.Items(1)->Interval, 150);
  list.FreeAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.Active);
}

TEST(Animation, DisablingFreesTheAnimators) {
  Viewer v;
  TStripItem item(10);
  RDMakeAnimator(item, &v.doc.RDData(), v.doc.RDData().Animators());
  v.doc.StartAnimation();
  EXPECT_TRUE(v.doc.RDData().Animators().Active);
  v.doc.SetAnimationMode(rdaniDisabled);
  EXPECT_EQ(v.doc.RDData().Animators().Count(), 0);
  EXPECT_FALSE(v.doc.RDData().Animators().Active);
}

// Started while the picture is still on its way: the animation plays once it comes, and
// a stop in between keeps it still.
TEST(Animation, StartedBeforeThePictureCameItPlaysWhenItComes) {
  Viewer v;
  v.doc.StartAnimation();
  TRDAnimatorList& list = v.doc.RDData().Animators();
  EXPECT_FALSE(list.Active);
  TStripItem item(10);
  RDMakeAnimator(item, &v.doc.RDData(), list);
  EXPECT_TRUE(list.Active);
  v.doc.StopAnimation();
  TStripItem later(10);
  RDMakeAnimator(later, &v.doc.RDData(), list);
  EXPECT_FALSE(list.Active);
}

// A drop on a cell's editor and the end of a drag from it reach the viewer's events once
// the input is handled, at the point in the viewer.
TEST(DeferredEvents, DragNotificationsFireTheViewersDragEvents) {
  Viewer v;
  std::vector<std::string> seen;
  v.doc.OnDragDrop = [&](TCustomRichDoc*, TComponent* source, int x, int y) {
    seen.push_back("drop " + source->Name + " " + std::to_string(x) + "," + std::to_string(y));
  };
  v.doc.OnEndDrag = [&](TCustomRichDoc*, TComponent* target, int x, int y) {
    seen.push_back("end " + target->Name + " " + std::to_string(x) + "," + std::to_string(y));
  };
  TComponent other(nullptr);
  other.Name = "other";
  v.doc.PostDeferredEvent(std::make_unique<TRDDNDMessageData>(true, Point(5, 6), &other));
  v.doc.PostDeferredEvent(std::make_unique<TRDDNDMessageData>(false, Point(7, 8), &other));
  EXPECT_TRUE(seen.empty());  // not while the poster is still at work
  for (int i = 0; i < 200 && seen.size() < 2; ++i) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"drop other 5,6", "end other 7,8"}));
}

}  // namespace

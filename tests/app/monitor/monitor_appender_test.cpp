#include "app/monitor/monitor_appender.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/monitor/monitor_styles.h"
#include "app/receive/test_monitor.h"
#include "core/kiss_link.h"
#include "core/my_tools.h"
#include "platform/text/cp1252.h"
#include "richtext/base/code_pages.h"
#include "support/kiss_link_double.h"

namespace {

void Add(TTestMonitor& view, const std::string& text, int style) {
  int para = -1;
  AddLogText(&view, text, style, para);
}

TEST(MonitorAppender, HeaderAfterDataMakesExactlyOneNewLine) {
  TTestMonitor view;
  Add(view, "\r\nfm A to B ctl UI pid F0", msP1Head);
  Add(view, "\r\n!data", msP1Data);
  const int lines = view.LineCount();
  Add(view, "\r\nfm C to D ctl UI pid F0", msP1Head);
  EXPECT_EQ(view.LineCount(), lines + 1);
  EXPECT_EQ(view.LineText(view.LineCount()), "fm C to D ctl UI pid F0");
  EXPECT_EQ(view.GetItemStyleIndex(view.ItemCount() - 1), msP1Head);
}

TEST(MonitorAppender, ControlCharacters) {
  TTestMonitor view;
  Add(view, "xyz", msRs232);
  Add(view, "\bab\bc", msRs232);  // a BS takes back the character before it
  EXPECT_EQ(view.LineText(1), "xyac");
  Add(view, "b\a1\n2", msRs232);
  EXPECT_EQ(view.LineText(1), "xyacb12");
  EXPECT_EQ(view.LineCount(), 1);
  // Same style and no line break: one run.
  EXPECT_EQ(view.ItemCount(), 2);  // the empty first run and the text
  int para = -1;
  AddLogText(&view, "one\rtwo\r", msRs232, para);
  EXPECT_EQ(para, -1);
  EXPECT_EQ(view.LineText(1), "xyacb12one");
  EXPECT_EQ(view.LineText(2), "two");
  EXPECT_EQ(view.LineText(3), "");
  AddLogText(nullptr, "x", 0, para);
}

// 1-based line Line as shown: each run read in its style's encoding; and the style of
// its last run.
struct TShownLine {
  std::u16string text;
  int style = -1;
};
TShownLine ShownLine(const TTestMonitor& view, int Line) {
  TShownLine shown;
  int line = 0;
  for (int i = 0; i < view.ItemCount() && line <= Line; ++i) {
    if (view.IsItemLineStart(i)) ++line;
    if (line != Line) continue;
    const std::string run = view.ReadItemText(i);
    shown.style = view.GetItemStyleIndex(i);
    const bool unicode = view.Style()->TextStyles()[shown.style].Unicode;
    shown.text += unicode ? RawUnicodeToWideString(run) : Cp1252ToUtf16(run);
  }
  return shown;
}

// Received lines from a TNC talking text and from an APRS-IS server: a line in UTF-8
// shows as its characters in the style's Unicode twin, whatever pieces the serial port
// delivered it in, and a BS takes back a whole character; anything else stays
// Windows-1252 in the style itself.
TEST(MonitorAppender, ReceivedLinesShowUtf8AsUnicode) {
  struct Case {
    TLinkTraffic traffic;
    std::string wire;  // one line as received, without its line end
    std::u16string shown;
    bool unicode;
  };
  const Case cases[] = {
      {TLinkTraffic::TncText,
       "Gr\xC3\xBC\xC3\x9F"
       "e 73",
       u"Gr\u00FC\u00DFe 73", true},
      {TLinkTraffic::TncText, "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC", u"\u0393\u03B5\u03B9\u03AC",
       true},
      {TLinkTraffic::TncText, "Gr\xC3\xBC\bx", u"Grx", true},
      {TLinkTraffic::TncText, "a\xF0\x9F\x98\x80\b\xE2\x82\xAC\b\b\bb", u"b", true},
      {TLinkTraffic::TncText,
       "Gr\xFC\xDF"
       "e",
       u"Gr\u00FC\u00DFe", false},
      {TLinkTraffic::TncText, "Gr\xFC\b\x80", u"Gr\u20AC", false},
      {TLinkTraffic::TncText, "Gr\xC3\xBC\xC3", u"Gr\u00C3\u00BC\u00C3", false},
      {TLinkTraffic::TncText, "cmd:", u"cmd:", false},
      {TLinkTraffic::InternetData,
       "# aprsc 2.1 Gr\xC3\xBC\xC3\x9F"
       "e \xCE\xA3",
       u"# aprsc 2.1 Gr\u00FC\u00DFe \u03A3", true},
      {TLinkTraffic::InternetData, "# logresp N0CALL verified, \xFC",
       u"# logresp N0CALL verified, \u00FC", false},
  };
  for (const Case& c : cases) {
    const int style = MonitorStyleOf(c.traffic);
    const int shown_style = c.unicode ? UnicodeMonitorStyle(style) : style;
    // The line is the last, or before the empty one its line end began.
    auto check = [&](const TTestMonitor& view, int line, const std::string& how) {
      SCOPED_TRACE("case " + std::to_string(&c - cases) + how);
      const TShownLine shown = ShownLine(view, line);
      EXPECT_EQ(shown.text, c.shown);
      EXPECT_EQ(shown.style, shown_style);
    };
    if (c.traffic == TLinkTraffic::InternetData) {
      // The reader hands each line over whole, after a line break.
      TTestMonitor view;
      int para = -1;
      AddReceivedLogText(&view, "\r\n" + c.wire, style, para);
      check(view, view.LineCount(), " whole");
      continue;
    }
    // The TNC's line cut into two reads at every place, after a line already shown.
    for (size_t cut = 0; cut <= c.wire.size(); ++cut) {
      TTestMonitor view;
      TKissLink tnc;
      TKissLinkDouble views;
      int para = -1;
      views.OnLogText = [&](const std::string& text, TLinkTraffic traffic) {
        ASSERT_EQ(traffic, TLinkTraffic::TncText);
        AddReceivedLogText(&view, text, MonitorStyleOf(traffic), para);
      };
      tnc.SetViews(&views);
      auto feed = [&](const std::string& bytes) {
        tnc.KissRxBytes({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
      };
      feed("earlier\r");
      feed(c.wire.substr(0, cut));
      feed(c.wire.substr(cut) + "\r");
      check(view, view.LineCount() - 1, " cut at " + std::to_string(cut));
      EXPECT_EQ(view.LineText(1), "earlier");
      EXPECT_EQ(view.LineText(view.LineCount()), "");
    }
  }
}

TEST(MonitorAppender, ModesDropAnEmptyLastLine) {
  TTestMonitor view;
  Add(view, "line\r", msNormalText);
  ASSERT_EQ(view.LineCount(), 2);
  int para = -1;
  AddLogText(&view, "", msNormalText, para, TEmptyLastLine::DropBefore);
  EXPECT_EQ(view.LineCount(), 1);
  AddLogText(&view, "\r", msNormalText, para, TEmptyLastLine::DropAfter);
  EXPECT_EQ(view.LineCount(), 1);
  EXPECT_EQ(view.LineText(1), "line");
}

TEST(MonitorAppender, TrimsToThreeHundredLinesOnlyWhileFollowing) {
  TTestMonitor view;
  for (int i = 1; i <= 299; ++i) Add(view, "\r\nline " + std::to_string(i), msIgData);
  EXPECT_EQ(view.LineCount(), 300);  // the first line is the empty start of the log
  EXPECT_EQ(view.LineText(1), "");
  Add(view, "\r\nline 300", msIgData);
  EXPECT_EQ(view.LineCount(), 300);
  EXPECT_EQ(view.LineText(1), "line 1");
  EXPECT_EQ(view.VScrollPos(), view.GetVScrollMax());

  // Scrolled up: nothing goes and the view stays where it is.
  view.SetVScrollPos(10);
  for (int i = 0; i < 5; ++i) Add(view, "\r\nmore", msIgData);
  EXPECT_EQ(view.LineCount(), 305);
  EXPECT_EQ(view.VScrollPos(), 10);
  EXPECT_EQ(view.LineText(1), "line 1");
}

// A full feed for hours while the user scrolls up and reads, resizes the window and goes
// back to the end, in a random order: the log stays bounded whatever the user does; the
// line at the top of the view stays there, as it was, while the user reads above the
// end (unless it was among the oldest that went); a view at the end follows the end at
// any size; back at the end, the log is cut to its 300 lines.
TEST(MonitorAppender, AFeedStaysBoundedAndStillWhileTheUserReadsAboveTheEnd) {
  TTestMonitor view;
  std::mt19937 random(93);
  const auto top_line = [&] {
    const TRichDocRDData& data = view.RDData();
    const int top = view.VScrollPos() * view.VSmallStep();
    const int item = data.DrawItems[data.FindFirstVisibleDrawItem(top, 0)]->ItemNo;
    return std::pair{item, data.LineTopOf(data.GetFirstDrawItemOfItem(item)) - top};
  };
  const auto at_end = [&] { return view.VScrollPos() == view.GetVScrollMax(); };
  int packet = 0;
  int reading_trims = 0;
  for (int event = 0; event < 400; ++event) {
    SCOPED_TRACE("event " + std::to_string(event));
    switch (random() % 12) {
      case 0:
      case 1:
      case 2:  // scrolls up a little or far
        view.SetVScrollPos(static_cast<int>(random() % (view.GetVScrollMax() + 1)));
        break;
      case 3:
      case 4: {  // the window (and with it the monitor) changes size
        const bool following = at_end();
        view.SetBounds(0, 0, 400 + static_cast<int>(random() % 400),
                       40 + static_cast<int>(random() % 300));
        if (following) {
          ASSERT_TRUE(at_end());
        }
        break;
      }
      case 5:
        ScrollLogToEnd(view);
        break;
      default:
        break;
    }
    const bool reading = !at_end();
    const auto [item, below_top] = reading ? top_line() : std::pair{0, 0};
    const std::string text = reading ? view.ReadItemText(item) : "";
    const int items_before = view.ItemCount();
    const int packets = 1 + static_cast<int>(random() % 400);
    for (int i = 0; i < packets; ++i, ++packet) {
      const std::string n = std::to_string(packet);
      if (packet % 3 == 0) {
        Add(view, "\r\nfm N" + n + " to APRS ctl UI pid F0", msP1Head);
        Add(view, "\r\n!data " + n, msP1Data);
      } else {
        AddLogLines(&view,
                    {{"ig N" + n + " to APRS", msIgHead},
                     {packet % 50 == 0 ? std::string(300, 'w') + " " + n : "data " + n, msIgData}});
      }
      ASSERT_LE(view.ItemCount(), kMonitorMaxRunsWhileReading);
    }
    if (!reading) {
      EXPECT_TRUE(at_end());
      EXPECT_LE(view.LineCount(), kMonitorMaxLines);
      continue;
    }
    const int gone = items_before + 2 * packets - view.ItemCount();
    if (gone > 0) ++reading_trims;
    if (item >= gone) {
      EXPECT_EQ(view.ReadItemText(item - gone), text);
      EXPECT_EQ(top_line(), std::pair(item - gone, below_top));
    } else {
      EXPECT_EQ(view.VScrollPos(), 0);
    }
  }
  EXPECT_GT(reading_trims, 5);
}

TEST(MonitorAppender, TheHorizontalRangeShrinksWhenTheLongestLineIsTrimmed) {
  TTestMonitor view;
  Add(view, "\r\n" + std::string(400, 'W'), msIgData);
  const int wide = view.ScrollWidth();
  for (int i = 0; i < 300; ++i) Add(view, "\r\nline " + std::to_string(i), msIgData);
  ASSERT_NE(view.LineText(1).substr(0, 4), "WWWW");
  const int kept = view.ScrollWidth();
  const int text_width = view.RDData().TextWidth;
  EXPECT_LT(kept, wide / 4);
  view.FormatDocument();
  EXPECT_EQ(kept, view.ScrollWidth());
  EXPECT_EQ(text_width, view.RDData().TextWidth);
}

TEST(MonitorAppender, UserSelectionSurvivesAppends) {
  TTestMonitor view;
  for (int i = 1; i <= 300; ++i) Add(view, "\r\nline " + std::to_string(i), msIgData);
  const int item = view.ItemCount() - 1;
  ASSERT_EQ(view.ReadItemText(item), "line 300");
  view.SetSelectionRange(item, 3, item, 1);  // selected backwards
  Add(view, "\r\nline 301", msIgData);
  Add(view, "\r\nline 302", msIgData);
  ASSERT_TRUE(view.HasSelection());
  int start, start_offs, end, end_offs;
  view.GetSelectionRange(start, start_offs, end, end_offs, true);
  EXPECT_EQ(view.ReadItemText(start), "line 300");
  EXPECT_EQ(start_offs, 1);
  EXPECT_EQ(end_offs, 3);
  // While text is selected the view does not follow, so nothing is trimmed.
  EXPECT_EQ(view.LineText(1), "line 1");
}

// The log as text: every item's line start, style and text.
std::string Dump(const TTestMonitor& view) {
  std::string dump;
  for (int i = 0; i < view.ItemCount(); ++i) {
    dump += (view.IsItemLineStart(i) ? "\n" : "|") + std::to_string(view.GetItemStyleIndex(i)) +
            ":" + view.ReadItemText(i);
  }
  return dump;
}

// Batches too: while one is open the lines wait, and a raw text written meanwhile comes
// after them.
TEST(MonitorAppender, LinesAppendedTogetherEndAsAppendedOneByOne) {
  TTestMonitor together;
  TTestMonitor apart;
  bool batch = false;
  auto same = [&] {
    ASSERT_EQ(Dump(together), Dump(apart));
    ASSERT_EQ(together.VScrollPos(), apart.VScrollPos());
  };
  auto both = [&](const std::vector<TLogLine>& lines) {
    AddLogLines(&together, lines);
    for (const TLogLine& line : lines) {
      int para = -1;
      AddLogText(&apart, "\r\n" + BlankControlChars(line.Text), line.StyleNo, para);
    }
    if (!batch) same();
  };
  // Through the trimming limit with pairs, single lines, an empty text, control
  // characters and a line long enough to wrap (it counts as the lines it takes).
  for (int i = 0; i < 170; ++i) {
    if (i % 10 == 2) {
      BeginLogBatch(&together);
      batch = true;
    }
    both({{"fm A" + std::to_string(i) + " to B", msP1Head},
          {"!data\r\b" + std::to_string(i), msP1Data}});
    if (i % 37 == 0) both({{"", msIgHead}});
    if (i % 41 == 0) both({{std::string(300, 'w') + " " + std::string(200, 'x'), msIgData}});
    if (i % 53 == 0) both({{"one", msIgHead}, {"two", msIgData}, {"three", msIgHead}});
    if (i % 10 == 5) {
      for (TTestMonitor* view : {&together, &apart})
        Add(*view, "\r\nraw " + std::to_string(i), msIgData);
    }
    if (i % 10 == 8) {
      EndLogBatch(&together);
      batch = false;
      ASSERT_NO_FATAL_FAILURE(same());
    }
  }
  EXPECT_LT(together.LineCount(), 301);
  EXPECT_EQ(together.LineText(together.LineCount()), "!data  169");

  // A selection moves with its text; scrolled up, nothing goes.
  const int item = together.ItemCount() - 1;
  together.SetSelectionRange(item, 1, item, 3);
  apart.SetSelectionRange(item, 1, item, 3);
  for (int i = 0; i < 3; ++i) both({{"sel", msP2Head}, {"data", msP2Data}});
  int start, start_offs, end, end_offs;
  together.GetSelectionRange(start, start_offs, end, end_offs, true);
  EXPECT_EQ(together.ReadItemText(start), "!data  169");
  together.SetSelectionRange(0, 0, 0, 0);
  apart.SetSelectionRange(0, 0, 0, 0);
  together.SetVScrollPos(10);
  apart.SetVScrollPos(10);
  for (int i = 0; i < 3; ++i) both({{"up", msP2Head}, {"data", msP2Data}});
  EXPECT_EQ(together.VScrollPos(), 10);

  // Back at the end, a batch longer than the log, wrapping lines among those that go and
  // those that stay: it ends as its lines one by one leave it.
  ScrollLogToEnd(together);
  ScrollLogToEnd(apart);
  BeginLogBatch(&together);
  batch = true;
  for (int i = 0; i < 450; ++i) {
    both({{i % 97 == 0 ? std::string(300, 'w') + " " + std::string(200, 'x')
                       : "burst " + std::to_string(i),
           msIgData}});
  }
  EndLogBatch(&together);
  batch = false;
  ASSERT_NO_FATAL_FAILURE(same());
  EXPECT_EQ(together.LineText(together.LineCount()), "burst 449");
  AddLogLines(nullptr, {{"x", 0}});
}

TEST(MonitorAppender, ClearLogEmptiesTheView) {
  TTestMonitor view;
  Add(view, "\r\nx", msIgData);
  ClearLog(view);
  EXPECT_EQ(view.ItemCount(), 0);
  Add(view, "y", msIgData);
  EXPECT_EQ(view.LineText(1), "y");
}

}  // namespace

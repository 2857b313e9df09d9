#include "app/monitor/monitor_appender.h"

#include <gtest/gtest.h>

#include "app/monitor/monitor_styles.h"
#include "app/receive/test_monitor.h"

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
  Add(view, "abc\b", msRs232);  // the BS takes back the 'z' first
  EXPECT_EQ(view.LineText(1), "xyabc");
  Add(view, "\a1\n2", msRs232);
  EXPECT_EQ(view.LineText(1), "xyabc12");
  EXPECT_EQ(view.LineCount(), 1);
  // Same style and no line break: one run.
  EXPECT_EQ(view.ItemCount(), 2);  // the empty first run and the text
  int para = -1;
  AddLogText(&view, "one\rtwo\r", msRs232, para);
  EXPECT_EQ(para, -1);
  EXPECT_EQ(view.LineText(1), "xyabc12one");
  EXPECT_EQ(view.LineText(2), "two");
  EXPECT_EQ(view.LineText(3), "");
  AddLogText(nullptr, "x", 0, para);
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

TEST(MonitorAppender, ClearLogEmptiesTheView) {
  TTestMonitor view;
  Add(view, "\r\nx", msIgData);
  ClearLog(view);
  EXPECT_EQ(view.ItemCount(), 0);
  Add(view, "y", msIgData);
  EXPECT_EQ(view.LineText(1), "y");
}

}  // namespace

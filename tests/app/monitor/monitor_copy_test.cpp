// The message lists select by mouse and copy with Ctrl+C: what a user drags over comes
// out of the system clipboard as text; a selection dragged out of a message list lands
// in a drop target as text and RTF. The monitor, a log to watch, selects nothing.
#include <gtest/gtest.h>

#include "../app_windows.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/monitor/monitor_styles.h"
#include "app/program/frm_main.h"
#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/view/rich_doc.h"

namespace {

// Drags from the start of the first line to the end of the last one and presses Ctrl+C.
std::string DragAndCopy(TRichDoc& viewer, int firstItem, int lastItem) {
  TRichDocRDData& data = viewer.RDData();
  const TRDDrawLineInfo& first = *data.DrawItems[data.GetItem(firstItem)->DrawItemNo];
  const TRDDrawLineInfo& last = *data.DrawItems[data.GetItemEndDrawItem(lastItem)];
  const int dy = data.GetVOffs();
  const int x1 = first.Left + 1, y1 = first.Top - dy + first.Height / 2;
  const int x2 = last.Left + last.Width + 40, y2 = last.Top - dy + last.Height / 2;
  SimulateMouseDown(viewer, mbLeft, x1, y1);
  SimulateMouseMove(viewer, x2, y2, ssLeft);
  SimulateMouseUp(viewer, mbLeft, x2, y2);
  SimulateKey(viewer, 'C', "", ssCtrl);
  return ClipboardMimeData("text/plain");
}

class MonitorCopyTest : public AppWindowsTest {
 protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    frmMain->Show();
    frmAprs->Show();
  }
};

TEST_F(MonitorCopyTest, TheMonitorSelectsNothing) {
  TfrmAprs& aprs = *frmAprs;
  aprs.AddMonitorText("\r\nig DL1ABC to APRS", msIgHead);
  aprs.AddMonitorText("\r\n!5000.00N/00800.00E-hello", msIgData);
  TRichDoc& monitor = *aprs.rdMain;
  auto find = [&](const std::string& Text) {
    int item = monitor.ItemCount() - 1;
    while (item > 0 && monitor.ReadItemText(item) != Text) --item;
    return item;
  };
  const int header = find("ig DL1ABC to APRS");
  const int data = find("!5000.00N/00800.00E-hello");
  Clipboard().SetAsBytes(CF_TEXT, "old");
  EXPECT_EQ(DragAndCopy(monitor, header, data), "old");
  EXPECT_FALSE(monitor.HasSelection());
}

TEST(MessageListCopy, AMessageListCopiesWhatTheMouseSelected) {
  TfrmAprsMsg msg{nullptr};
  msg.Show();
  TRichDoc& list = *msg.rdMonitor;
  list.AddTextParagraph("DL1ABC>WU2Z: hello there", 0, 0);
  list.FormatDocument();
  EXPECT_EQ(DragAndCopy(list, 0, 0), "DL1ABC>WU2Z: hello there");
  msg.Hide();
}

// Takes copies and keeps the text and RTF that came.
struct TTextTarget : TDropTarget {
  std::string text, rtf;
  void DragEnter(const TDataObject&, TShiftState, TPoint, TDropEffects& Effect) override {
    Effect &= deCopy;
  }
  void DragOver(TShiftState, TPoint, TDropEffects& Effect) override { Effect &= deCopy; }
  void DragLeave() override {}
  void Drop(const TDataObject& Data, TShiftState, TPoint, TDropEffects& Effect) override {
    Data.GetData("text/plain", text);
    Data.GetData("text/rtf", rtf);
    Effect = deCopy;
  }
};

TEST(MessageListDrag, ASelectionDraggedOutOfAMessageListLandsAsTextAndRtf) {
  TfrmAprsMsg msg{nullptr};
  msg.Show();
  auto* target = new TCustomControl(&msg);
  target->SetBounds(0, 0, 50, 50);
  target->SetParent(&msg);
  TTextTarget sink;
  RegisterDragDrop(*target, sink);
  TRichDoc& list = *msg.rdMyMsg;
  list.AddTextParagraph("DL1ABC>WU2Z: drag me", 0, 0);
  list.FormatDocument();
  list.SelectAll();
  TRichDocRDData& data = list.RDData();
  const TRDDrawLineInfo& line = *data.DrawItems[0];
  const int x = line.Left + line.Width / 2, y = line.Top - data.GetVOffs() + line.Height / 2;
  TScriptedDrags drags({{target, 10, 10}});
  SimulateMouseDown(list, mbLeft, x, y);
  SimulateMouseMove(list, x + 20, y, ssLeft);
  SimulateMouseUp(list, mbLeft, x + 20, y);
  EXPECT_EQ(drags.Count(), 1);
  EXPECT_EQ(sink.text, "DL1ABC>WU2Z: drag me");
  EXPECT_EQ(sink.rtf.substr(0, 6), "{\\rtf1");
  EXPECT_NE(sink.rtf.find("drag me"), std::string::npos);
  RevokeDragDrop(*target);
  msg.Hide();
}

}  // namespace

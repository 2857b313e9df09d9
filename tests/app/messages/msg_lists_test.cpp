// The message lists' index against a walk over the viewer's entries, under random adds,
// updates, state changes and clears.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/messages/msg_lists.h"
#include "app/monitor/station_styles.h"
#include "platform/text/sysutils.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"

namespace {

// The newest entry whose calls and number (trimmed) and text (when given) match, found
// by reading every entry the viewer holds.
int WalkFind(TRichDoc& Viewer, const std::string& Src, const std::string& Dst,
             const std::string& Number, const std::string* Text) {
  for (int first = Viewer.ItemCount() - kMsgEntryItems; first >= 0; first -= kMsgEntryItems) {
    if (Text && Viewer.ReadItemText(first + meiText) != *Text) continue;
    if (Trim(Viewer.ReadItemText(first + meiSender)) == Trim(Src) &&
        Trim(Viewer.ReadItemText(first + meiAddressee)) == Trim(Dst) &&
        Trim(Viewer.ReadItemText(first + meiNumber)) == Trim(Number))
      return first + meiText;
  }
  return -1;
}

class MsgListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeMessageStyles(style);
    SetUpMessageViewer(viewer, style);
    viewer.SetBounds(0, 0, 560, 270);
  }
  void TearDown() override { viewer.SetStyle(nullptr); }

  TRDStyle style;
  TRichDoc viewer{nullptr};
  TMsgList list{viewer};
};

TEST_F(MsgListTest, IndexFindsWhatAWalkFindsUnderRandomChanges) {
  std::mt19937 random(42);
  // Few calls, numbers and texts, so that entries share keys often; blanks around the
  // calls and numbers are not part of what is compared.
  const std::vector<std::string> calls{"DL1ABC", " DL1ABC", "N0CALL", "WU2Z  ", "LONGCALL-15"};
  const std::vector<std::string> numbers{"", "{1", "{2", " {2", "{12345"};
  const std::vector<std::string> texts{"", "hello", "Hello", "hello ", "ack1"};
  auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
  };
  int entries = 0;  // in the list now
  int added = 0;    // over the whole run
  for (int step = 0; step < 1500; ++step) {
    const std::string src = pick(calls), dst = pick(calls), number = pick(numbers);
    const std::string text = pick(texts);
    const int action = std::uniform_int_distribution<int>(0, 99)(random);
    if (action < 60) {
      const bool received = action < 45;
      const int before = viewer.ItemCount();
      list.AddOrUpdate(src, dst, received, received ? -1 : action % 8, number, text, pick(calls));
      if (viewer.ItemCount() > before) {
        ++entries;
        ++added;
      }
    } else if (action < 70) {
      const int item = list.FindAckedLine(src, dst, number);
      if (item >= 0) list.SetState(item, mpsMsgAck);
    } else if (action < 71) {
      list.Clear();
      entries = 0;
    }
    ASSERT_EQ(viewer.ItemCount(), entries * kMsgEntryItems);
    ASSERT_EQ(list.FindMsgLine(src, dst, number, text), WalkFind(viewer, src, dst, number, &text))
        << "step " << step;
    ASSERT_EQ(list.FindAckedLine(src, dst, number), WalkFind(viewer, src, dst, number, nullptr))
        << "step " << step;
  }
  EXPECT_GT(added, 200);
}

TEST_F(MsgListTest, AnEntryIsUpdatedNotAddedAgain) {
  list.AddOrUpdate("DL1ABC", "N0CALL", true, -1, "{7", "hi", "WIDE1-1");
  list.AddOrUpdate("DL1ABC ", "N0CALL", true, -1, "{7", "hi", "DB0XYZ");
  ASSERT_EQ(viewer.ItemCount(), kMsgEntryItems);
  EXPECT_EQ(viewer.ReadItemText(meiRxCount), "2");
  EXPECT_EQ(viewer.ReadItemText(meiTag), "WIDE1-1 DB0XYZ");
  // Another text under the same number is a new entry, and the newest answers the number.
  list.AddOrUpdate("DL1ABC", "N0CALL", true, -1, "{7", "hi again", "WIDE1-1");
  EXPECT_EQ(list.FindAckedLine("DL1ABC", "N0CALL", "{7"), kMsgEntryItems + meiText);
  EXPECT_EQ(list.FindMsgLine("DL1ABC", "N0CALL", "{7", "hi"), meiText);
  list.Clear();
  EXPECT_EQ(viewer.ItemCount(), 0);
  EXPECT_EQ(list.FindAckedLine("DL1ABC", "N0CALL", "{7"), -1);
}

}  // namespace

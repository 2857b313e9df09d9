// The message lists' index against a walk over the viewer's entries, under random adds,
// updates, state changes, trims and clears.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <tuple>

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

// Sender, addressee and number (trimmed) and text of an entry.
using TEntryKey = std::tuple<std::string, std::string, std::string, std::string>;

TEntryKey KeyOf(const std::string& Src, const std::string& Dst, const std::string& Number,
                const std::string& Text) {
  return {Trim(Src), Trim(Dst), Trim(Number), Text};
}

TEntryKey KeyAt(TRichDoc& Viewer, int TextItem) {
  const int first = TextItem - meiText;
  return KeyOf(Viewer.ReadItemText(first + meiSender), Viewer.ReadItemText(first + meiAddressee),
               Viewer.ReadItemText(first + meiNumber), Viewer.ReadItemText(TextItem));
}

class MsgListTest : public ::testing::Test {
 protected:
  // A small list, so that it is trimmed often.
  static constexpr int kRoom = 40;

  void SetUp() override {
    MakeMessageStyles(style);
    SetUpMessageViewer(viewer, style);
    viewer.SetBounds(0, 0, 560, 270);
  }
  void TearDown() override { viewer.SetStyle(nullptr); }

  TRDStyle style;
  TRichDoc viewer{nullptr};
  TMsgList list{viewer, kRoom};
};

// The user's own messages still open (awaiting their ack) stay through every trim; the
// other entries never outgrow the room.
TEST_F(MsgListTest, IndexFindsWhatAWalkFindsUnderRandomChanges) {
  std::mt19937 random(42);
  // Few calls, numbers and texts, so that entries share keys often; blanks around the
  // calls and numbers are not part of what is compared.
  const std::vector<std::string> calls{"DL1ABC", " DL1ABC", "N0CALL", "WU2Z  ", "LONGCALL-15"};
  const std::vector<std::string> numbers{"", "{1", "{2", " {2", "{12345"};
  std::vector<std::string> texts{"", "hello", "Hello", "hello ", "ack1"};
  for (int n = 0; n < 20; ++n) texts.push_back("text " + std::to_string(n));
  auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
  };
  std::set<TEntryKey> open_own;  // own entries awaiting their ack
  int added = 0;                 // over the whole run
  int trims = 0;
  for (int step = 0; step < 3000; ++step) {
    const std::string src = pick(calls), dst = pick(calls), number = pick(numbers);
    const std::string text = pick(texts);
    const int action = std::uniform_int_distribution<int>(0, 99)(random);
    if (action < 60) {
      const bool received = action < 45;
      const int tx_count = received ? -1 : action % 8;
      const bool adds = list.FindMsgLine(src, dst, number, text) < 0;
      const int before = viewer.ItemCount();
      list.AddOrUpdate(src, dst, received, tx_count, number, text, pick(calls));
      added += adds;
      trims += viewer.ItemCount() < before;
      if (adds && !received) open_own.insert(KeyOf(src, dst, number, text));
      if (!adds && tx_count > 5) open_own.erase(KeyOf(src, dst, number, text));
    } else if (action < 70) {
      const int item = list.FindAckedLine(src, dst, number);
      if (item >= 0) {
        list.SetState(item, mpsMsgAck);
        open_own.erase(KeyAt(viewer, item));
      }
    } else if (action < 71) {
      list.Clear();
      open_own.clear();
    }
    ASSERT_EQ(viewer.ItemCount() % kMsgEntryItems, 0);
    ASSERT_LE(viewer.ItemCount() / kMsgEntryItems, kRoom + int(open_own.size()));
    for (const auto& [own_src, own_dst, own_number, own_text] : open_own)
      ASSERT_GE(WalkFind(viewer, own_src, own_dst, own_number, &own_text), 0) << "step " << step;
    ASSERT_EQ(list.FindMsgLine(src, dst, number, text), WalkFind(viewer, src, dst, number, &text))
        << "step " << step;
    ASSERT_EQ(list.FindAckedLine(src, dst, number), WalkFind(viewer, src, dst, number, nullptr))
        << "step " << step;
  }
  EXPECT_GT(added, 400);
  EXPECT_GT(trims, 10);
}

// The oldest entries leave first, from the viewer as from the index, and the view stays
// at its end; an own message awaiting its ack stays at its place, one given up goes.
TEST_F(MsgListTest, TheOldestLeaveFirstButOwnMessagesAwaitingTheirAck) {
  list.AddOrUpdate("N0CALL", "DL1ABC", false, 1, "{1", "waiting", "*");
  list.AddOrUpdate("N0CALL", "DL1ABC", false, 1, "{2", "given up", "*");
  list.AddOrUpdate("N0CALL", "DL1ABC", false, 6, "{2", "given up", "*");
  for (int n = 0; n < kRoom - 2; ++n)
    list.AddOrUpdate("DL1ABC", "N0CALL", true, -1, "{" + std::to_string(n), "hi", "DB0XYZ");
  // The room is full: a quarter goes, the waiting message stays first.
  ASSERT_EQ(viewer.ItemCount(), (kRoom * 3 / 4) * kMsgEntryItems);
  EXPECT_EQ(viewer.ReadItemText(meiText), "waiting");
  EXPECT_EQ(list.FindAckedLine("N0CALL", "DL1ABC", "{1"), meiText);
  EXPECT_EQ(list.FindAckedLine("N0CALL", "DL1ABC", "{2"), -1);
  const int first_received = kRoom / 4 - 1;  // the numbers 0..first_received - 1 went
  EXPECT_EQ(list.FindAckedLine("DL1ABC", "N0CALL", "{" + std::to_string(first_received - 1)), -1);
  EXPECT_EQ(list.FindAckedLine("DL1ABC", "N0CALL", "{" + std::to_string(first_received)),
            kMsgEntryItems + meiText);
  EXPECT_EQ(viewer.ReadItemText(kMsgEntryItems + meiNumber), "{" + std::to_string(first_received));
  EXPECT_EQ(viewer.VScrollPos(), viewer.GetVScrollMax());
  // Acknowledged, it goes with the next trim.
  list.SetState(meiText, mpsMsgAck);
  for (int n = 0; n < kRoom / 4; ++n)
    list.AddOrUpdate("DL1ABC", "N0CALL", true, -1, "{x" + std::to_string(n), "hi", "DB0XYZ");
  EXPECT_EQ(list.FindAckedLine("N0CALL", "DL1ABC", "{1"), -1);
  EXPECT_EQ(viewer.ItemCount(), (kRoom * 3 / 4) * kMsgEntryItems);
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

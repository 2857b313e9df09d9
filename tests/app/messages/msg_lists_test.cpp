// The message lists' index against a walk over the viewer's entries, and what the
// viewer shows after each trim against a viewer that laid out the same entries afresh,
// under random adds, updates, state changes, selections, trims and clears.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/messages/msg_lists.h"
#include "app/monitor/station_styles.h"
#include "platform/text/sysutils.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "support/picture_compare.h"

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

// Where each draw line stands and what it shows, and the document's size and scroll.
struct TLineShape {
  int Left, Top, Width, Height, ItemNo, Offs, Length;
  bool FromNewLine;
  bool operator==(const TLineShape&) const = default;
};

struct TShape {
  std::vector<TLineShape> Lines;
  int DocumentWidth, DocumentHeight, VScrollPos, VScrollMax;
  bool operator==(const TShape&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TShape& shape) {
  out << shape.Lines.size() << " draw lines, width " << shape.DocumentWidth << " height "
      << shape.DocumentHeight << " scrolled " << shape.VScrollPos << " of " << shape.VScrollMax;
  for (const TLineShape& l : shape.Lines)
    out << "\n  item " << l.ItemNo << " at " << l.Left << "," << l.Top << " " << l.Width << "x"
        << l.Height << (l.FromNewLine ? " new line" : "");
  return out;
}

TShape ShapeOf(TRichDoc& Viewer) {
  const TRichDocRDData& data = Viewer.RDData();
  TShape shape{
      {}, data.DocumentWidth, data.DocumentHeight, Viewer.VScrollPos(), Viewer.GetVScrollMax()};
  for (int d = 0; d < data.DrawItems.Count(); ++d) {
    const TRDDrawLineInfo& l = *data.DrawItems[d];
    shape.Lines.push_back(
        {l.Left, l.Top, l.Width, l.Height, l.ItemNo, l.Offs, l.Length, l.FromNewLine});
  }
  return shape;
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

  // The list's viewer must show what a viewer that lays out the same items, styles and
  // selection at once shows at its end: the same lines at the same places, the same
  // pixels.
  void ExpectAsFreshViewer(const std::string& Step) {
    TRichDoc fresh(nullptr);
    SetUpMessageViewer(fresh, style);
    fresh.SetBounds(0, 0, 560, 270);
    for (int i = 0; i < viewer.ItemCount(); ++i) {
      const TCustomRDItemInfo& item = *viewer.GetItemInfo(i);
      if (item.IsParaStart()) {
        fresh.AddTextParagraph(viewer.ReadItemText(i), item.StyleNo, item.ParaNo);
      } else {
        fresh.AddTextContinued(viewer.ReadItemText(i), item.StyleNo);
        fresh.GetItemInfo(i)->ParaNo = item.ParaNo;
      }
    }
    fresh.FormatDocument();
    fresh.SetVScrollPos(fresh.GetVScrollMax());
    int start, start_offs, end, end_offs;
    viewer.GetSelectionRange(start, start_offs, end, end_offs, false);
    if (start >= 0) fresh.SetSelectionRange(start, start_offs, end, end_offs);
    ASSERT_EQ(ShapeOf(viewer), ShapeOf(fresh)) << Step;
    auto shown = Snapshot(viewer);
    auto laid_out = Snapshot(fresh);
    ASSERT_TRUE(SamePicture(*shown, *laid_out)) << Step;
    fresh.SetStyle(nullptr);
  }

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
  std::set<TEntryKey> open_own;       // own entries awaiting their ack
  std::optional<TEntryKey> selected;  // the entry whose text is selected
  int added = 0;                      // over the whole run
  int trims = 0;
  for (int step = 0; step < 3000; ++step) {
    const std::string src = pick(calls), dst = pick(calls), number = pick(numbers);
    const std::string text = pick(texts);
    const int action = std::uniform_int_distribution<int>(0, 99)(random);
    bool trimmed = false;
    if (action < 60) {
      const bool received = action < 45;
      const int tx_count = received ? -1 : action % 8;
      const bool adds = list.FindMsgLine(src, dst, number, text) < 0;
      const int before = viewer.ItemCount();
      list.AddOrUpdate(src, dst, received, tx_count, number, text, pick(calls));
      added += adds;
      trimmed = viewer.ItemCount() < before;
      trims += trimmed;
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
    } else if (action < 74 && viewer.ItemCount() > 0 &&
               !viewer.ReadItemText(viewer.ItemCount() - kMsgEntryItems + meiText).empty()) {
      // The text of the newest entry selected: the selection stays with it until it goes.
      const int item = viewer.ItemCount() - kMsgEntryItems + meiText;
      viewer.SetSelectionRange(item, viewer.GetItemStartOffset(item), item,
                               viewer.GetItemEndOffset(item));
      selected = KeyAt(viewer, item);
    }
    if (selected) {
      const auto& [sel_src, sel_dst, sel_number, sel_text] = *selected;
      const int item = WalkFind(viewer, sel_src, sel_dst, sel_number, &sel_text);
      int start, start_offs, end, end_offs;
      viewer.GetSelectionRange(start, start_offs, end, end_offs, false);
      if (item < 0) {
        ASSERT_FALSE(viewer.HasSelection()) << "step " << step;
        selected.reset();
      } else {
        ASSERT_EQ(std::make_tuple(start, start_offs, end, end_offs),
                  std::make_tuple(item, viewer.GetItemStartOffset(item), item,
                                  viewer.GetItemEndOffset(item)))
            << "step " << step;
      }
    }
    if (trimmed) ExpectAsFreshViewer("step " + std::to_string(step));
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
  // Heard again via ever new stations, it counts on but names only the first few.
  std::string named = "WIDE1-1 DB0XYZ";
  for (int n = 0; n < 40; ++n) {
    const std::string via = "DB" + std::to_string(n) + "X";
    list.AddOrUpdate("DL1ABC", "N0CALL", true, -1, "{7", "hi", via);
    if (n < kMsgTagMaxStations - 2) named += " " + via;
  }
  EXPECT_EQ(viewer.ReadItemText(meiTag), named);
  EXPECT_EQ(viewer.ReadItemText(meiRxCount), "42");
  // Another text under the same number is a new entry, and the newest answers the number.
  list.AddOrUpdate("DL1ABC", "N0CALL", true, -1, "{7", "hi again", "WIDE1-1");
  EXPECT_EQ(list.FindAckedLine("DL1ABC", "N0CALL", "{7"), kMsgEntryItems + meiText);
  EXPECT_EQ(list.FindMsgLine("DL1ABC", "N0CALL", "{7", "hi"), meiText);
  list.Clear();
  EXPECT_EQ(viewer.ItemCount(), 0);
  EXPECT_EQ(list.FindAckedLine("DL1ABC", "N0CALL", "{7"), -1);
}

}  // namespace

// The entries of the messaging window's three lists. One message is twelve runs of one
// viewer, a header line and the text line:
//   "DL1ABC   " ">" "N0CALL   " ":" " [" "WIDE1-1" "] RX-CNT:" "2" "" ""      header
//   "Hello there" "{12"                                                     text
// An own message has the tag "*", "]" and " TX-CNT:" with its send count instead. The
// text line's paragraph style tells the state: open, acknowledged, given up.
#pragma once

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

class TRichDoc;

// Paragraph styles of the message lists (app/monitor/station_styles.h, MakeMessageStyles).
enum TMsgParaStyle { mpsFrameHeader = 0, mpsMsg = 1, mpsMsgAck = 2, mpsMsgNoAck = 3 };
// Text styles of the message lists; a message text in UTF-8, received or our own, is
// held in the heading's Unicode twin.
enum TMsgTextStyle { mtsNormal = 0, mtsHeading = 1, mtsHeadingUnicode = 2 };

// Items per entry and the entry's items, counted from its first.
constexpr int kMsgEntryItems = 12;
enum TMsgEntryItem {
  meiSender = 0,
  meiAddressee = 2,
  meiTag = 5,
  meiRxLabel = 6,
  meiRxCount = 7,
  meiTxLabel = 8,
  meiTxCount = 9,
  meiText = 10,
  meiNumber = 11,
};

// Stations a received entry's tag names at most: the same message heard again via yet
// another station counts up but names it only while the tag holds fewer. A message
// repeated all day via ever new stations would otherwise grow its tag without end, and
// every repeat would copy and lay out the whole of it again.
constexpr int kMsgTagMaxStations = 8;

// Trimmed S followed by blanks up to 9 characters (a longer text stays as it is).
std::string PadAddressee(const std::string& S);
// S without '|', '~' and '{', which the message format reserves.
std::string CleanMsgText(const std::string& S);

// Entries a message list holds at most, as the monitor holds its last 300 lines: a full
// feed brings messages all day, and the program runs for days. Once a list holds them,
// its oldest leave (from the front, a quarter at once: a trim moves up the layout of
// every entry kept, which a quarter of the room's messages pay for together; the view
// shows the end, far below them), but for the user's own messages still waiting for
// their acknowledgement, wherever they are.
constexpr int kMsgListMaxEntries = 4000;

// One message list: its viewer and an index of its entries by sender, addressee and
// number (with and without the text), so that finding an entry costs the same however
// many the list holds. Every entry comes in through AddOrUpdate and leaves through
// DropOldest (called there) or Clear, which keep the index in step with the viewer.
class TMsgList {
 public:
  explicit TMsgList(TRichDoc& Viewer, int MaxEntries = kMsgListMaxEntries)
      : viewer_(Viewer), max_entries_(MaxEntries), trim_at_(MaxEntries) {}
  TMsgList(const TMsgList&) = delete;
  TMsgList& operator=(const TMsgList&) = delete;

  TRichDoc& Viewer() const { return viewer_; }
  // Index of the text item of the newest entry from Src to Dst with this number and
  // text (FindAckedLine: any text); -1 when there is none. Calls and number are
  // compared trimmed.
  int FindMsgLine(const std::string& Src, const std::string& Dst, const std::string& Number,
                  const std::string& Text) const;
  int FindAckedLine(const std::string& Src, const std::string& Dst,
                    const std::string& Number) const;
  // Adds the entry, or updates the one already there: a received one counts up and
  // gains the new tag (up to kMsgTagMaxStations stations); an own one shows its send count, and
  // from count 6 on it is given up ("MSG NOACK"). TxCount -1 for received messages. The view shows
  // its end afterwards.
  void AddOrUpdate(const std::string& Src, const std::string& Dst, bool Received, int TxCount,
                   const std::string& Number, const std::string& Text, const std::string& Tag);
  // Marks the entry whose text item is ItemNo with a paragraph style and shows it.
  void SetState(int ItemNo, TMsgParaStyle State);
  // Empties the list and shows it empty.
  void Clear();

 private:
  // An entry's keys in the index, whether it is the user's own message, and its serial
  // number: entries are numbered as they come, which the index holds, so that entries
  // leaving move no other entry's place in it.
  struct TEntry {
    std::string NumberKey;
    std::string TextKey;
    bool Own = false;
    long long Serial = 0;
  };

  // The text item of the entry with this serial number (-1: none).
  int TextItemOf(long long Serial) const;
  // The entry is the user's own message, still open: it awaits its acknowledgement.
  bool AwaitsAck(size_t Entry) const;
  // The oldest entries go until a quarter of the room is free, but those awaiting an ack.
  void DropOldest();
  // Takes entry Entry out of the index; Kept are the entries before it that stay, which
  // the newest of them with its number then answers for.
  void Unindex(size_t Entry, const std::vector<size_t>& Kept);

  TRichDoc& viewer_;
  const int max_entries_;
  // The list is trimmed when it holds this many: the room, or more while so many own
  // messages await their ack that a trim freed less than a quarter of it.
  size_t trim_at_;
  // The entries in the viewer's order, serial numbers rising: entry n starts at item
  // n * kMsgEntryItems.
  std::deque<TEntry> entries_;
  long long next_serial_ = 0;
  // Serial number of the newest entry by sender, addressee, number (and text).
  std::unordered_map<std::string, long long> by_number_;
  std::unordered_map<std::string, long long> by_text_;
};

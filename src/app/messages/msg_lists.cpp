#include "app/messages/msg_lists.h"

#include <algorithm>
#include <utility>

#include "app/monitor/station_styles.h"
#include "core/my_tools.h"
#include "platform/text/sysutils.h"
#include "richtext/view/rich_doc.h"

namespace {

constexpr size_t kAddresseeWidth = 9;

// The index key of an entry: each part with its length in front, so that no text can
// run into the next part.
void AppendPart(std::string& Key, const std::string& Part) {
  Key += std::to_string(Part.size());
  Key += ':';
  Key += Part;
}

std::string NumberKey(const std::string& Src, const std::string& Dst, const std::string& Number) {
  std::string key;
  AppendPart(key, Trim(Src));
  AppendPart(key, Trim(Dst));
  AppendPart(key, Trim(Number));
  return key;
}

std::string TextKey(std::string NumberKey, const std::string& Text) {
  AppendPart(NumberKey, Text);
  return NumberKey;
}

long long Lookup(const std::unordered_map<std::string, long long>& Index, const std::string& Key) {
  const auto it = Index.find(Key);
  return it == Index.end() ? -1 : it->second;
}

// The blank-separated words of Text.
int WordCount(const std::string& Text) {
  int words = 0;
  bool in_word = false;
  for (char c : Text) {
    const bool blank = c == ' ';
    if (!blank && !in_word) ++words;
    in_word = !blank;
  }
  return words;
}

void ShowEnd(TRichDoc& Viewer) {
  Viewer.SetVScrollPos(Viewer.GetVScrollMax());
}

}  // namespace

std::string PadAddressee(const std::string& S) {
  std::string padded = Trim(S);
  if (padded.size() < kAddresseeWidth) padded.resize(kAddresseeWidth, ' ');
  return padded;
}

std::string CleanMsgText(const std::string& S) {
  std::string clean = S;
  for (char reserved : {'|', '~', '{'}) RemoveChar(reserved, clean);
  return clean;
}

int TMsgList::FindMsgLine(const std::string& Src, const std::string& Dst, const std::string& Number,
                          const std::string& Text) const {
  return TextItemOf(Lookup(by_text_, TextKey(NumberKey(Src, Dst, Number), Text)));
}

int TMsgList::FindAckedLine(const std::string& Src, const std::string& Dst,
                            const std::string& Number) const {
  return TextItemOf(Lookup(by_number_, NumberKey(Src, Dst, Number)));
}

int TMsgList::TextItemOf(long long Serial) const {
  if (Serial < 0) return -1;
  const auto it =
      std::lower_bound(entries_.begin(), entries_.end(), Serial,
                       [](const TEntry& entry, long long serial) { return entry.Serial < serial; });
  if (it == entries_.end() || it->Serial != Serial) return -1;
  return int(it - entries_.begin()) * kMsgEntryItems + meiText;
}

void TMsgList::SetState(int ItemNo, TMsgParaStyle State) {
  viewer_.GetItemInfo(ItemNo)->ParaNo = State;
  viewer_.FormatChangedItems(ItemNo, ItemNo);
}

void TMsgList::Clear() {
  viewer_.ClearDocument();
  viewer_.FormatDocument();
  by_number_.clear();
  by_text_.clear();
  entries_.clear();
  trim_at_ = size_t(max_entries_);
}

bool TMsgList::AwaitsAck(size_t Entry) const {
  return entries_[Entry].Own &&
         viewer_.GetItemInfo(int(Entry) * kMsgEntryItems + meiText)->ParaNo == mpsMsg;
}

void TMsgList::DropOldest() {
  const size_t keep = size_t(max_entries_ - max_entries_ / 4);
  size_t to_go = entries_.size() - keep;
  // The entries that go, oldest first, as runs [first, last) of entries; those awaiting
  // an ack stay between them.
  std::vector<std::pair<size_t, size_t>> runs;
  std::vector<size_t> kept;
  for (size_t n = 0; n < entries_.size() && to_go > 0; ++n) {
    if (AwaitsAck(n)) {
      kept.push_back(n);
      continue;
    }
    Unindex(n, kept);
    if (runs.empty() || runs.back().second != n) runs.emplace_back(n, n);
    ++runs.back().second;
    --to_go;
  }
  // From the back, so that the runs before keep their places; each run is whole
  // paragraphs, so the layout of the rest is kept.
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    viewer_.DeleteItemRange(int(run->first) * kMsgEntryItems,
                            int(run->second - run->first) * kMsgEntryItems);
    entries_.erase(entries_.begin() + std::ptrdiff_t(run->first),
                   entries_.begin() + std::ptrdiff_t(run->second));
  }
  viewer_.FormatAfterDeletion();
  trim_at_ = std::max(size_t(max_entries_), entries_.size() + size_t(max_entries_ / 4));
}

void TMsgList::Unindex(size_t Entry, const std::vector<size_t>& Kept) {
  const TEntry& entry = entries_[Entry];
  if (const auto text = by_text_.find(entry.TextKey);
      text != by_text_.end() && text->second == entry.Serial)
    by_text_.erase(text);
  const auto newest = by_number_.find(entry.NumberKey);
  if (newest == by_number_.end() || newest->second != entry.Serial) return;
  // Older entries with its number that are left can only be ones that stay.
  for (auto k = Kept.rbegin(); k != Kept.rend(); ++k) {
    if (entries_[*k].NumberKey == entry.NumberKey) {
      newest->second = entries_[*k].Serial;
      return;
    }
  }
  by_number_.erase(newest);
}

void TMsgList::AddOrUpdate(const std::string& Src, const std::string& Dst, bool Received,
                           int TxCount, const std::string& Number, const std::string& Text,
                           const std::string& Tag) {
  TRichDoc& viewer = viewer_;
  std::string number_key = NumberKey(Src, Dst, Number);
  std::string text_key = TextKey(number_key, Text);
  const int i = TextItemOf(Lookup(by_text_, text_key));
  if (i < 0) {
    viewer.AddTextParagraph(PadAddressee(Src), mtsNormal, mpsFrameHeader);
    viewer.AddTextContinued(">", mtsNormal);
    viewer.AddTextContinued(PadAddressee(Dst), mtsNormal);
    viewer.AddTextContinued(":", mtsNormal);
    viewer.AddTextContinued(" [", mtsNormal);
    viewer.AddTextContinued(Tag, mtsNormal);
    viewer.AddTextContinued(Received ? "] RX-CNT:" : "]", mtsNormal);
    viewer.AddTextContinued(Received ? "1" : "", mtsNormal);
    viewer.AddTextContinued(Received ? "" : " TX-CNT:", mtsNormal);
    viewer.AddTextContinued(TxCount != -1 ? IntToStr(TxCount) : "", mtsNormal);
    // A text may be UTF-8, received or our own beyond the code page; either reads as it
    // was written.
    const TReceivedRun run = ReceivedRun(Text, mtsHeading, mtsHeadingUnicode);
    viewer.AddTextParagraph(run.Text, run.StyleNo, mpsMsg);
    viewer.AddTextContinued(Number, mtsNormal);
    viewer.FormatTail();
    // Entries only ever follow one another: the one just added is the newest.
    const long long serial = next_serial_++;
    by_number_.insert_or_assign(number_key, serial);
    by_text_.emplace(text_key, serial);
    entries_.push_back({std::move(number_key), std::move(text_key), !Received, serial});
    if (entries_.size() >= trim_at_) DropOldest();
  } else {
    if (!Received) entries_[size_t(i / kMsgEntryItems)].Own = true;
    const int first = i - meiText;
    if (Received) {
      const int count = StrToIntDef(Trim(viewer.ReadItemText(first + meiRxCount)), 0);
      viewer.ReplaceItemText(first + meiRxCount, IntToStr(count + 1));
      viewer.ReplaceItemText(first + meiRxLabel, "] RX-CNT:");
      const std::string old_tag = viewer.ReadItemText(first + meiTag);
      // The tag grows unless it is this station alone (the whole texts compared) or
      // already names as many stations as it may.
      if (UpperCase(" " + old_tag + " ") != UpperCase(" " + Tag + " ") &&
          WordCount(old_tag) < kMsgTagMaxStations) {
        const std::string kept = Trim(old_tag);
        viewer.ReplaceItemText(first + meiTag, kept.empty() ? Tag : kept + " " + Tag);
      }
    }
    if (TxCount != -1) {
      if (TxCount > 5) {
        viewer.GetItemInfo(i)->ParaNo = mpsMsgNoAck;
      } else {
        viewer.ReplaceItemText(first + meiTxCount, IntToStr(TxCount));
      }
    }
    viewer.FormatChangedItems(first, first + kMsgEntryItems - 1);
  }
  ShowEnd(viewer);
}
